#include "KT_NewsfeedThread.h"

namespace corvantis
{

namespace
{
    // The service's address, credentials and endpoint are kept out of plain view in the binary:
    // each text is stored exclusive-or'ed with a one-byte key of its own. Until a news service is
    // online the address lies in the reserved ".invalid" domain, so a fetch ends at the name lookup
    // and never sends anything to a host on the network.
    constexpr unsigned char addressKey = 0x57;
    constexpr unsigned char scrambledAddress[] = { 0x3f, 0x23, 0x23, 0x27, 0x24, 0x6d, 0x78, 0x78, 0x39, 0x32, 0x20,
                                                   0x24, 0x79, 0x35, 0x25, 0x3e, 0x39, 0x33, 0x3b, 0x32, 0x2f, 0x79,
                                                   0x3e, 0x39, 0x21, 0x36, 0x3b, 0x3e, 0x33, 0x78 };

    constexpr unsigned char credentialsKey = 0xc3;
    constexpr unsigned char scrambledCredentials[] = { 0xa1, 0xb1, 0xaa, 0xad, 0xa7, 0xaf, 0xa6, 0xbb, 0xee, 0xb3, 0xaf,
                                                       0xb6, 0xa4, 0xaa, 0xad, 0xf9, 0xf2, 0x84, 0xa1, 0xa2, 0x8e, 0x82,
                                                       0xf7, 0x84, 0x94, 0x91, 0x8a, 0xb6, 0xf1, 0x96, 0xa1, 0xfb };

    constexpr unsigned char endpointKey = 0x8e;
    constexpr unsigned char scrambledEndpoint[] = { 0xa1, 0xf8, 0xbf, 0xa1, 0xe0, 0xeb, 0xf9, 0xfd,
                                                    0xa1, 0xfe, 0xe2, 0xfb, 0xe9, 0xe7, 0xe0, 0xfd };

    /** The tracking suffix joins the address's query, or starts one, ahead of any fragment; the rest of the
        address stays as the service gave it. */
    juce::String withTrackingSuffix (const juce::String& address, const juce::String& pluginId)
    {
        const auto fragmentStart = address.indexOfChar ('#');
        const auto beforeFragment = fragmentStart < 0 ? address : address.substring (0, fragmentStart);
        const auto fragment = fragmentStart < 0 ? juce::String() : address.substring (fragmentStart);

        return beforeFragment + (beforeFragment.containsChar ('?') ? "&" : "?") + "utm_source=" + pluginId
               + "&utm_medium=newsfeed&utm_campaign=plugin_newsfeed" + fragment;
    }

    template <size_t size>
    juce::String unscramble (const unsigned char (&stored)[size], unsigned char key)
    {
        juce::String text;

        for (auto c : stored)
            text += (juce::juce_wchar) (c ^ key);

        return text;
    }
}

KT_NewsfeedThread::KT_NewsfeedThread (const juce::String& serviceAddress)
    : juce::Thread ("Newsfeed Thread"),
      serviceAddressOverride (serviceAddress)
{
}

KT_NewsfeedThread::~KT_NewsfeedThread()
{
    // A request blocked in the network does not look at the exit flag: close its stream so that
    // the thread ends at once instead of holding up the host.
    signalThreadShouldExit();
    cancellation.cancel();
    stopThread (14000);
}

void KT_NewsfeedThread::run()
{
    if (threadShouldExit())
        return;

    while (! fetchDone.load (std::memory_order_acquire))
    {
        fetchNewsfeed();
        wait (500);

        if (threadShouldExit())
            return;
    }
}

void KT_NewsfeedThread::fetchNewsfeed()
{
    const auto baseAddress = serviceAddressOverride.isNotEmpty() ? serviceAddressOverride
                                                                 : unscramble (scrambledAddress, addressKey);
    JsonWebRequest request (baseAddress);
    request.timeOutMs = requestTimeOutMs;
    request.header ("Content-Type", "application/json");

    request.header ("Authorization", "Basic " + juce::Base64::toBase64 (unscramble (scrambledCredentials, credentialsKey)));

    const auto endpoint = unscramble (scrambledEndpoint, endpointKey);
    const auto response = request.get (endpoint).execute (&cancellation);

    if (response.status == 200 && response.body.isArray())
    {
        for (const auto& element : *response.body.getArray())
        {
            NewsItem item;
            item.newsID = (int) element["id"];
            item.title = element["title"].toString();
            item.url = withTrackingSuffix (element["url"].toString(), pluginId);
            item.tags = element["tags"].toString();

            // Featured items concern every plug-in, so they are kept and starred like our own.
            const bool forThisPlugin = (pluginId.isNotEmpty() && item.tags == pluginId) || item.tags == "featured";

            if (forThisPlugin || item.tags == "news")
            {
                item.newsRead = false;
                item.isForThisPlugin = forThisPlugin;
                fetchedItems.add (item);
            }
        }
    }

    fetchDone.store (true, std::memory_order_release);
}

} // namespace corvantis
