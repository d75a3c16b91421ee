#pragma once

#include <juce_events/juce_events.h>

#include "KT_NewsfeedThread.h"
#include "NewsItem.h"

namespace corvantis
{

/** The message-thread side of the newsfeed: waits for the news thread's single fetch, reconciles the
    items with the cache file "newsfeed.xml" and works out how many of them are unread. */
class KT_NewsfeedProcessor : public juce::Timer
{
public:
    /** serviceAddress is handed to the news thread; empty means the built-in service. */
    explicit KT_NewsfeedProcessor (const juce::String& serviceAddress = {});
    ~KT_NewsfeedProcessor() override;

    /** Points the newsfeed at its cache file, starts the fetch and the 500 ms poll. Called once. */
    void start (const juce::String& cacheFilePath, const juce::String& newsPluginId);

    void timerCallback() override;

    /** Reads the cache file's entries into storedStates. */
    void loadNewsfeedFile();

    /** Recomputes unreadCount and hasUnread; after a changed list only items new to the file count. */
    void updateUnreadState (bool changed);

    /** Writes the cache file with one entry per item, carrying each item's own flags; a cache path that is not
        absolute writes nothing. */
    void writeNewsfeedFile (const NewsItemArray& items);

    juce::CriticalSection newsLock;
    KT_NewsfeedThread newsThread;
    NewsItemArray newsItems;
    juce::Array<StoredNewsState> storedStates;
    juce::String newsfeedFile;
    juce::String pluginId;
    int unreadCount = 0;
    bool hasUnread = false;
    bool newsReady = false;

private:
    bool cacheFileExists() const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_NewsfeedProcessor)
};

} // namespace corvantis
