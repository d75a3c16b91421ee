#pragma once

#include <atomic>
#include <juce_core/juce_core.h>

#include "JsonWebRequest.h"
#include "NewsItem.h"

namespace corvantis
{

/** Fetches the news list once from the news service in the background, keeps the items meant for
    this plug-in, raises fetchDone whatever the outcome, and ends. */
class KT_NewsfeedThread : public juce::Thread
{
public:
    /** serviceAddress replaces the built-in service address when not empty; tests point it at a
        server of their own on the loopback address. */
    explicit KT_NewsfeedThread (const juce::String& serviceAddress = {});

    /** Stops the thread, abandoning a request that is still under way. */
    ~KT_NewsfeedThread() override;

    void run() override;
    void fetchNewsfeed();

    /** Connection and read time-out of the news request; set before the thread starts. */
    int requestTimeOutMs = 5000;

    NewsItemArray fetchedItems;
    juce::String pluginId;

    /** Raised after the last item has been stored; readers see the items once they see it true. */
    std::atomic<bool> fetchDone { false };

private:
    juce::String serviceAddressOverride;
    JsonWebRequest::Cancellation cancellation;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_NewsfeedThread)
};

} // namespace corvantis
