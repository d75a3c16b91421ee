#include "MessagePump.h"
#include <gtest/gtest.h>

#include "newsfeed/KT_NewsfeedProcessor.h"
#include "LoopbackHttpServer.h"

namespace
{
    NewsItem item (int id, const juce::String& tags = "news")
    {
        NewsItem n;
        n.newsID = id;
        n.title = "Item " + juce::String (id);
        n.url = "https://news.example/" + juce::String (id);
        n.tags = tags;
        n.isForThisPlugin = tags == "CRVPLG8";
        return n;
    }

    juce::String cacheText (const juce::String& entries)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<NEWSFEED>\r\n" + entries + "</NEWSFEED>\r\n";
    }

    juce::String entry (int id, bool read, bool forThisPlugin = false)
    {
        return "  <NEWS_ITEM newsID=\"" + juce::String (id) + "\" newsRead=\"" + (read ? "1" : "0")
               + "\" isForThisPlugin=\"" + (forThisPlugin ? "1" : "0") + "\"/>\r\n";
    }

    /** A news processor whose fetch has "ended" with the given items, with its cache file in a temporary
        folder; the thread itself is never started, so nothing goes near the network. */
    struct NewsCache : public ::testing::Test
    {
        NewsCache()
        {
            folder.createDirectory();
            news.newsfeedFile = cacheFile.getFullPathName();
            news.pluginId = "CRVPLG8";
        }

        ~NewsCache() override { folder.deleteRecursively(); }

        void fetchEnds (std::initializer_list<NewsItem> items)
        {
            news.newsThread.fetchedItems.addArray (items);
            news.newsThread.fetchDone = true;
            news.startTimer (500);
            news.timerCallback();
        }

        juce::Array<int> storedIds() const
        {
            juce::Array<int> ids;
            for (const auto& s : news.storedStates)
                ids.add (s.newsID);
            return ids;
        }

        juce::File folder { juce::File::createTempFile ("brindlex-news") };
        juce::File cacheFile { folder.getChildFile ("newsfeed.xml") };
        corvantis::KT_NewsfeedProcessor news;
    };
}

TEST_F (NewsCache, WaitsWhileTheFetchIsRunning)
{
    news.startTimer (500);
    news.timerCallback();

    EXPECT_FALSE (news.newsReady);
    EXPECT_TRUE (news.isTimerRunning());
    EXPECT_FALSE (cacheFile.exists());
}

TEST_F (NewsCache, FirstRunWritesEveryItemUnreadInTheDefaultXmlForm)
{
    fetchEnds ({ item (31), item (30, "CRVPLG8"), item (29) });

    EXPECT_EQ (cacheFile.loadFileAsString(),
               cacheText (entry (31, false) + entry (30, false, true) + entry (29, false)));
    EXPECT_EQ (news.unreadCount, 3);
    EXPECT_TRUE (news.hasUnread);
    EXPECT_TRUE (news.newsReady);
    EXPECT_FALSE (news.isTimerRunning());
    EXPECT_EQ (news.newsItems.size(), 3);
    EXPECT_EQ (news.newsItems[1].title, "Item 30");
    EXPECT_EQ (storedIds(), juce::Array<int> ({ 31, 30, 29 }));
}

TEST_F (NewsCache, FailedFetchOnFirstRunWritesAnEmptyCache)
{
    fetchEnds ({});

    ASSERT_TRUE (cacheFile.existsAsFile());
    const auto xml = juce::XmlDocument::parse (cacheFile);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "NEWSFEED");
    EXPECT_EQ (xml->getNumChildElements(), 0);
    EXPECT_EQ (news.unreadCount, 0);
    EXPECT_FALSE (news.hasUnread);
    EXPECT_TRUE (news.newsReady);
}

TEST_F (NewsCache, SameListAsBeforeCountsTheStoredUnreadEntries)
{
    cacheFile.replaceWithText (cacheText (entry (31, true) + entry (30, false) + entry (29, true)));
    fetchEnds ({ item (31), item (30), item (29) });

    EXPECT_EQ (news.unreadCount, 1);
    EXPECT_TRUE (news.hasUnread);

    cacheFile.replaceWithText (cacheText (entry (31, true) + entry (30, true) + entry (29, true)));
    corvantis::KT_NewsfeedProcessor later;
    later.newsfeedFile = cacheFile.getFullPathName();
    later.newsThread.fetchedItems.addArray ({ item (31), item (30), item (29) });
    later.newsThread.fetchDone = true;
    later.timerCallback();

    EXPECT_EQ (later.unreadCount, 0);
    EXPECT_FALSE (later.hasUnread);
    EXPECT_TRUE (later.newsReady);
}

TEST_F (NewsCache, NewItemAtTheFrontCountsOnlyTheNewIdAndLeavesTheFile)
{
    const auto before = cacheText (entry (31, true) + entry (30, true) + entry (29, true));
    cacheFile.replaceWithText (before);

    fetchEnds ({ item (32), item (31), item (30), item (29) });

    EXPECT_EQ (news.unreadCount, 1);
    EXPECT_TRUE (news.hasUnread);
    EXPECT_EQ (cacheFile.loadFileAsString(), before);
}

TEST_F (NewsCache, SameCountWithAnotherFirstIdCountsIdsMissingFromTheFile)
{
    cacheFile.replaceWithText (cacheText (entry (31, false) + entry (30, false) + entry (29, false)));
    fetchEnds ({ item (40), item (30), item (29) });

    // The stored flags are not consulted after a change: 30 and 29 are known, only 40 is new.
    EXPECT_EQ (news.unreadCount, 1);
}

TEST_F (NewsCache, SameCountAndFirstIdFollowsTheStoredFlags)
{
    cacheFile.replaceWithText (cacheText (entry (31, true) + entry (30, false) + entry (29, true)));
    fetchEnds ({ item (31), item (30), item (77) });

    EXPECT_EQ (news.unreadCount, 1);
}

TEST_F (NewsCache, FailedFetchWithStoredEntriesCountsNothing)
{
    cacheFile.replaceWithText (cacheText (entry (31, false) + entry (30, false)));
    fetchEnds ({});

    EXPECT_EQ (news.unreadCount, 0);
    EXPECT_FALSE (news.hasUnread);
    EXPECT_TRUE (news.newsReady);
}

TEST_F (NewsCache, AttributeValuesAreReadLeniently)
{
    cacheFile.replaceWithText (R"(<?xml version="1.0" encoding="UTF-8"?>
<NEWSFEED>
  <NEWS_ITEM newsID="  42abc" newsRead="true" isForThisPlugin="yes"/>
  <NEWS_ITEM newsID="-7" newsRead="Yes" isForThisPlugin="no"/>
  <NEWS_ITEM newsID="x1" newsRead="0" isForThisPlugin="false"/>
  <NEWS_ITEM newsRead=" 1"/>
  <NEWS_ITEM NEWSID="5" NewsRead="1"/>
</NEWSFEED>
)");
    news.loadNewsfeedFile();

    ASSERT_EQ (news.storedStates.size(), 5);
    EXPECT_EQ (storedIds(), juce::Array<int> ({ 42, -7, 0, 0, 0 }));
    EXPECT_TRUE (news.storedStates[0].newsRead);
    EXPECT_TRUE (news.storedStates[0].isForThisPlugin);
    EXPECT_TRUE (news.storedStates[1].newsRead);
    EXPECT_FALSE (news.storedStates[1].isForThisPlugin);
    EXPECT_FALSE (news.storedStates[2].newsRead);
    EXPECT_TRUE (news.storedStates[3].newsRead);
    EXPECT_FALSE (news.storedStates[4].newsRead);
}

TEST_F (NewsCache, TagNamesAreMatchedWithoutRegardToCase)
{
    cacheFile.replaceWithText (R"(<newsfeed>
  <news_item newsID="3" newsRead="1" isForThisPlugin="0"/>
  <NEWS_ITEM newsID="4" newsRead="0" isForThisPlugin="1"/>
  <ITEM newsID="5" newsRead="0" isForThisPlugin="0"/>
  <GROUP><NEWS_ITEM newsID="6" newsRead="0" isForThisPlugin="0"/></GROUP>
</newsfeed>)");
    news.loadNewsfeedFile();

    EXPECT_EQ (storedIds(), juce::Array<int> ({ 3, 4 }));
}

TEST_F (NewsCache, ForeignRootYieldsNoEntries)
{
    news.storedStates.add ({ 99, true, true });
    cacheFile.replaceWithText (R"(<NEWS><NEWS_ITEM newsID="3" newsRead="1" isForThisPlugin="0"/></NEWS>)");
    news.loadNewsfeedFile();

    EXPECT_TRUE (news.storedStates.isEmpty());
}

TEST_F (NewsCache, EmptyOrTruncatedFileYieldsNoEntries)
{
    const auto whole = cacheText (entry (31, true) + entry (30, true));

    for (const auto& text : { juce::String(), whole.substring (0, whole.indexOf ("newsRe")),
                              whole.substring (0, whole.indexOf ("<NEWS_ITEM newsID=\"30\"") + 5) })
    {
        news.storedStates.add ({ 99, true, true });
        cacheFile.replaceWithText (text);
        news.loadNewsfeedFile();

        EXPECT_TRUE (news.storedStates.isEmpty()) << text;
    }

    fetchEnds ({ item (1), item (2) });
    EXPECT_TRUE (news.newsReady);
    EXPECT_EQ (news.unreadCount, 2);
}

TEST_F (NewsCache, MissingFileLeavesStatesAndCountUnchanged)
{
    news.storedStates.add ({ 99, false, false });
    news.loadNewsfeedFile();
    EXPECT_EQ (storedIds(), juce::Array<int> ({ 99 }));

    news.unreadCount = 5;
    news.updateUnreadState (false);
    EXPECT_EQ (news.unreadCount, 5);
}

TEST_F (NewsCache, RelativeCachePathWritesNothingIntoTheWorkingFolder)
{
    const auto previous = juce::File::getCurrentWorkingDirectory();
    folder.setAsCurrentWorkingDirectory();
    news.newsfeedFile = "newsfeed.xml";

    fetchEnds ({ item (31), item (30) });
    news.writeNewsfeedFile (news.newsItems);
    previous.setAsCurrentWorkingDirectory();

    EXPECT_FALSE (cacheFile.exists());
    EXPECT_TRUE (news.newsReady);
    EXPECT_EQ (news.unreadCount, 0);
}

TEST_F (NewsCache, ADirectoryInPlaceOfTheFileCountsAsNoFile)
{
    cacheFile.createDirectory();
    news.storedStates.add ({ 99, false, false });
    news.loadNewsfeedFile();

    EXPECT_EQ (storedIds(), juce::Array<int> ({ 99 }));
}

TEST (NewsfeedProcessor, StartFetchesFromTheServiceAndFillsTheCache)
{
    LoopbackHttpServer::Reply reply;
    reply.body = R"([{ "id": 9, "title": "Ours", "url": "https://news.example/9", "tags": "CRVPLG8" },
                     { "id": 8, "title": "Theirs", "url": "https://news.example/8", "tags": "CRVPLG1" },
                     { "id": 7, "title": "General", "url": "https://news.example/7", "tags": "news" }])";
    LoopbackHttpServer server (reply);

    const auto folder = juce::File::createTempFile ("brindlex-news");
    folder.createDirectory();
    const auto cacheFile = folder.getChildFile ("newsfeed.xml");

    {
        corvantis::KT_NewsfeedProcessor news (server.getAddress());
        news.start (cacheFile.getFullPathName(), "CRVPLG8");

        EXPECT_EQ (news.pluginId, "CRVPLG8");
        EXPECT_EQ (news.newsThread.pluginId, "CRVPLG8");
        EXPECT_TRUE (news.isTimerRunning());

        const auto deadline = juce::Time::getMillisecondCounter() + 10000;
        while (! news.newsReady && juce::Time::getMillisecondCounter() < deadline)
            pumpMessages (20);

        ASSERT_TRUE (news.newsReady);
        ASSERT_EQ (news.newsItems.size(), 2);
        EXPECT_EQ (news.newsItems[0].newsID, 9);
        EXPECT_TRUE (news.newsItems[0].isForThisPlugin);
        EXPECT_EQ (news.newsItems[1].newsID, 7);
        EXPECT_EQ (news.unreadCount, 2);
        EXPECT_FALSE (news.isTimerRunning());
        EXPECT_EQ (cacheFile.loadFileAsString(), cacheText (entry (9, false, true) + entry (7, false)));
    }

    folder.deleteRecursively();
}
