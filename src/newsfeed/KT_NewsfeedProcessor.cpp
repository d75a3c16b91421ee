#include "KT_NewsfeedProcessor.h"
#include "settings/BoundedXml.h"

#include <climits>
#include <cstdlib>

namespace corvantis
{

namespace
{
    /** Reads a decimal integer as atoi does: leading white space, optional sign, digits up to the first
        other character; 0 when there is no number. */
    int readLeadingInteger (const juce::String& text)
    {
        const auto value = std::strtol (text.toRawUTF8(), nullptr, 10);
        return (int) juce::jlimit ((long) INT_MIN, (long) INT_MAX, value);
    }

    int firstNewsId (const NewsItemArray& items)                  { return items.isEmpty() ? 0 : items.getReference (0).newsID; }
    int firstNewsId (const juce::Array<StoredNewsState>& states)  { return states.isEmpty() ? 0 : states.getReference (0).newsID; }
}

KT_NewsfeedProcessor::KT_NewsfeedProcessor (const juce::String& serviceAddress)
    : newsThread (serviceAddress)
{
}

KT_NewsfeedProcessor::~KT_NewsfeedProcessor()
{
    stopTimer();
}

void KT_NewsfeedProcessor::start (const juce::String& cacheFilePath, const juce::String& newsPluginId)
{
    newsfeedFile = cacheFilePath;
    pluginId = newsPluginId;
    newsThread.pluginId = newsPluginId;
    newsThread.startThread();
    startTimer (500);
}

bool KT_NewsfeedProcessor::cacheFileExists() const
{
    return juce::File::isAbsolutePath (newsfeedFile) && juce::File (newsfeedFile).existsAsFile();
}

void KT_NewsfeedProcessor::timerCallback()
{
    if (! newsThread.fetchDone.load (std::memory_order_acquire))
        return;

    newsItems = newsThread.fetchedItems;
    bool changed = false;

    if (! cacheFileExists())
    {
        writeNewsfeedFile (newsItems);
        loadNewsfeedFile();
    }
    else
    {
        loadNewsfeedFile();
        changed = newsItems.size() != storedStates.size() || firstNewsId (newsItems) != firstNewsId (storedStates);
    }

    updateUnreadState (changed);
    newsReady = true;
    stopTimer();
}

void KT_NewsfeedProcessor::writeNewsfeedFile (const NewsItemArray& items)
{
    // Like every file the plug-in writes: a path from a damaged settings file may be relative, and must never
    // put the cache into the host's working folder.
    if (! juce::File::isAbsolutePath (newsfeedFile))
        return;

    const juce::ScopedLock sl (newsLock);

    juce::XmlElement root ("NEWSFEED");

    for (const auto& item : items)
    {
        auto* entry = root.createNewChildElement ("NEWS_ITEM");
        entry->setAttribute ("newsID", item.newsID);
        entry->setAttribute ("newsRead", item.newsRead ? 1 : 0);
        entry->setAttribute ("isForThisPlugin", item.isForThisPlugin ? 1 : 0);
    }

    root.writeTo (juce::File (newsfeedFile));
}

void KT_NewsfeedProcessor::loadNewsfeedFile()
{
    const juce::ScopedLock sl (newsLock);

    if (! cacheFileExists())
        return;

    storedStates.clearQuick();

    const auto root = BoundedXml::parse (juce::File (newsfeedFile));

    if (root == nullptr || ! root->getTagName().equalsIgnoreCase ("NEWSFEED"))
        return;

    for (auto* entry : root->getChildIterator())
    {
        if (! entry->getTagName().equalsIgnoreCase ("NEWS_ITEM"))
            continue;

        StoredNewsState state;
        state.newsID = readLeadingInteger (entry->getStringAttribute ("newsID"));
        state.newsRead = entry->getBoolAttribute ("newsRead");
        state.isForThisPlugin = entry->getBoolAttribute ("isForThisPlugin");
        storedStates.add (state);
    }
}

void KT_NewsfeedProcessor::updateUnreadState (bool changed)
{
    if (! cacheFileExists())
        return;

    unreadCount = 0;

    if (! changed)
    {
        for (const auto& state : storedStates)
            if (! state.newsRead)
                ++unreadCount;
    }
    else
    {
        for (const auto& item : newsItems)
        {
            const bool stored = std::any_of (storedStates.begin(), storedStates.end(),
                                             [&] (const StoredNewsState& s) { return s.newsID == item.newsID; });
            if (! stored)
                ++unreadCount;
        }
    }

    hasUnread = unreadCount > 0;
}

} // namespace corvantis
