#include "MessagePump.h"
#include <gtest/gtest.h>

#include "newsfeed/KT_NewsfeedProcessor.h"
#include "processor/BrindlexAudioProcessor.h"
#include "LoopbackHttpServer.h"

namespace
{
    /** Items from a list such as "31 30* 29r": an id, "*" for an item of this plug-in, "r" for a read one. */
    NewsItemArray itemsOf (const juce::String& list)
    {
        NewsItemArray items;
        for (const auto& token : juce::StringArray::fromTokens (list, false))
            items.add ({ token.getIntValue(), "Item " + token, {}, {}, token.containsChar ('r'), token.containsChar ('*') });
        return items;
    }

    juce::String describe (const juce::Array<StoredNewsState>& states)
    {
        juce::StringArray parts;
        for (const auto& s : states)
            parts.add (juce::String (s.newsID) + (s.isForThisPlugin ? "*" : "") + (s.newsRead ? "r" : ""));
        return parts.joinIntoString (" ");
    }

    struct TempFolder
    {
        TempFolder() { folder.createDirectory(); }
        ~TempFolder() { folder.deleteRecursively(); }
        juce::File folder { juce::File::createTempFile ("brindlex-news") };
    };

    /** Runs one news thread against the given address until its fetch ends or `waitMs` passes. */
    struct FetchRun
    {
        explicit FetchRun (const juce::String& address, int timeOutMs = 5000, juce::uint32 waitMs = 10000) : thread (address)
        {
            thread.pluginId = "CRVPLG8";
            thread.requestTimeOutMs = timeOutMs;
            thread.startThread();
            const auto deadline = juce::Time::getMillisecondCounter() + waitMs;
            while (! thread.fetchDone.load() && juce::Time::getMillisecondCounter() < deadline)
                juce::Thread::sleep (5);
        }

        corvantis::KT_NewsfeedThread thread;
    };
}

TEST (NewsfeedThread, KeepsNewsFeaturedAndOwnItemsAndDropsTheRest)
{
    LoopbackHttpServer server ({ 200, R"([
        { "id": 1, "title": "General", "url": "https://news.example/a", "tags": "news" },
        { "id": "12", "title": "Ours", "url": "https://news.example/b?ref=mail", "tags": "CRVPLG8" },
        { "id": 3, "title": "Case", "url": "u", "tags": "News" },
        { "id": 5, "title": "Both", "url": "u", "tags": "news,CRVPLG8" },
        { "id": 6, "title": "Other", "url": "u", "tags": "CRVPLG9" },
        { "title": "No id", "url": "u", "tags": "news" },
        { "id": 7, "title": "Featured", "url": "https://news.example/c?x=1#part", "tags": "featured" },
        { "id": 8, "title": "Untagged", "url": "u" },
        42 ])" });

    FetchRun run (server.getAddress() + "svc/");
    ASSERT_TRUE (run.thread.waitForThreadToExit (10000));

    juce::StringArray kept;
    for (const auto& item : run.thread.fetchedItems)
        kept.add (juce::String (item.newsID) + " " + item.title + (item.isForThisPlugin ? "*" : "") + (item.newsRead ? "r" : ""));
    EXPECT_EQ (kept.joinIntoString (", "), "1 General, 12 Ours*, 0 No id, 7 Featured*");
    // The tracking suffix starts the query or joins the one there, ahead of a fragment.
    const juce::String suffix ("utm_source=CRVPLG8&utm_medium=newsfeed&utm_campaign=plugin_newsfeed");
    EXPECT_EQ (run.thread.fetchedItems[0].url, "https://news.example/a?" + suffix);
    EXPECT_EQ (run.thread.fetchedItems[1].url, "https://news.example/b?ref=mail&" + suffix);
    EXPECT_EQ (run.thread.fetchedItems[3].url, "https://news.example/c?x=1&" + suffix + "#part");

    // One authorised JSON GET without a body, below the service's address.
    const auto requests = server.getRequests();
    ASSERT_EQ (requests.size(), 1);
    EXPECT_TRUE (requests[0].method == "GET" && requests[0].path.startsWith ("/svc/") && requests[0].path.length() > 5);
    EXPECT_EQ (requests[0].headers["Content-Type"], "application/json");
    const auto authorization = requests[0].headers["Authorization"];
    juce::MemoryOutputStream credentials;
    EXPECT_TRUE (authorization.startsWith ("Basic ") && juce::Base64::convertFromBase64 (credentials, authorization.substring (6))
                 && credentials.toString().containsChar (':')) << authorization;
}

TEST (NewsfeedThread, AnythingButAListWithStatus200EndsAfterOneAttemptWithoutItems)
{
    const juce::String list = R"([{ "id": 1, "title": "t", "url": "u", "tags": "news" }])";
    const LoopbackHttpServer::Reply answers[] = { { 404, list }, { 500, list }, { 200, "Service down" }, { 200, "" },
                                                  { 200, list.substring (1, list.length() - 1) },
                                                  { 200, list.dropLastCharacters (1) }, LoopbackHttpServer::silent() };
    for (const auto& answer : answers)
    {
        // Only the thread's own short time-out can end the fetch the server never answers: the framework sets none.
        LoopbackHttpServer server (answer);
        FetchRun run (server.getAddress(), 300, 5000);

        EXPECT_TRUE (run.thread.fetchDone.load() && run.thread.fetchedItems.isEmpty()) << answer.status << " " << answer.body;
        EXPECT_TRUE (run.thread.waitForThreadToExit (10000));
        EXPECT_EQ (server.getRequests().size(), 1);
    }
}

TEST (NewsfeedThread, TheBuiltInServiceIsNeverContactedNotEvenThroughAProxy)
{
    // The built-in address lies in the reserved "invalid" domain: no name server, proxy or host may ever see it.
    LoopbackHttpServer proxy ({ 200, R"([{ "id": 1, "title": "t", "url": "u", "tags": "news" }])" });
    const char* const names[] = { "http_proxy", "https_proxy" };
    const juce::StringArray saved (juce::SystemStats::getEnvironmentVariable (names[0], {}),
                                   juce::SystemStats::getEnvironmentVariable (names[1], {}));
    for (auto* name : names)
        setenv (name, proxy.getAddress().toRawUTF8(), 1);

    FetchRun run ({});
    EXPECT_TRUE (run.thread.fetchDone.load() && run.thread.fetchedItems.isEmpty());
    EXPECT_FALSE (proxy.waitForRequest (500)); // the fetch has ended: a request it made would be there by now
    for (int i = 0; i < 2; ++i)
        saved[i].isEmpty() ? unsetenv (names[i]) : setenv (names[i], saved[i].toRawUTF8(), 1);
}

// tests/data/newsfeed/newsfeed.xml was written by KT_NewsfeedProcessor::writeNewsfeedFile on the first run below.
TEST (NewsCache, EndOfTheFetchCountsUnreadItemsAndLeavesAnExistingCacheAlone)
{
    const auto golden = juce::File (BRINDLEX_TEST_DATA_DIR).getChildFile ("newsfeed/newsfeed.xml").loadFileAsString();
    const struct { const char* what; const char* stored; const char* fetched; int unread; } cases[] = {
        { "first run", nullptr, "31 30* 29", 3 },
        { "first run, failed fetch", nullptr, "", 0 },
        { "same list: the stored flags count", "31r 30 29r", "31 30 29", 1 },
        { "same list, all read", "31r 30r 29r", "31 30 29", 0 },
        { "a new item at the front", "31r 30r 29r", "32 31 30 29", 1 },
        { "same count, another first id: only ids new to the file", "31 30 29", "40 30 29", 1 },
        { "same count and first id: the stored flags count", "31r 30 29r", "31 30 77", 1 },
        { "failed fetch after an earlier one", "31 30", "", 0 },
    };

    for (const auto& c : cases)
    {
        TempFolder temp;
        const auto cacheFile = temp.folder.getChildFile ("newsfeed.xml");
        corvantis::KT_NewsfeedProcessor news;
        news.newsfeedFile = cacheFile.getFullPathName();
        if (c.stored != nullptr)
            news.writeNewsfeedFile (itemsOf (c.stored));
        const auto before = cacheFile.loadFileAsString();

        news.newsThread.fetchedItems = itemsOf (c.fetched);
        news.newsThread.fetchDone = true;
        news.startTimer (500);
        news.timerCallback();

        EXPECT_EQ (news.unreadCount, c.unread) << c.what;
        EXPECT_TRUE (news.hasUnread == (c.unread > 0) && news.newsReady && ! news.isTimerRunning()) << c.what;
        if (c.stored != nullptr || c.unread > 0)
        {
            EXPECT_EQ (cacheFile.loadFileAsString(), c.stored != nullptr ? before : golden) << c.what;
        }

        // A cache path that is not absolute would name the host's working folder: nothing is written.
        const auto previous = juce::File::getCurrentWorkingDirectory();
        temp.folder.setAsCurrentWorkingDirectory();
        news.newsfeedFile = "relative.xml";
        news.writeNewsfeedFile (news.newsItems);
        previous.setAsCurrentWorkingDirectory();
        EXPECT_FALSE (temp.folder.getChildFile ("relative.xml").exists());
    }
}

TEST (NewsCache, TheReaderIsLenientWithValuesAndStrictWithTheForm)
{
    TempFolder temp;
    const auto file = temp.folder.getChildFile ("newsfeed.xml");
    corvantis::KT_NewsfeedProcessor news;
    news.newsfeedFile = file.getFullPathName();

    for (const auto& [text, expected] : { std::pair<juce::String, const char*> (R"(<NEWSFEED><NEWS_ITEM newsID="  42abc" newsRead="true"
            isForThisPlugin="yes"/><NEWS_ITEM newsID="-7" newsRead="Yes"/><NEWS_ITEM newsID="x1"/><NEWS_ITEM NEWSID="5"/></NEWSFEED>)", "42*r -7r 0 0"),
        { R"(<newsfeed><news_item newsID="3"/><ITEM newsID="5"/><GROUP><NEWS_ITEM newsID="6"/></GROUP></newsfeed>)", "3" },
        { R"(<NEWS><NEWS_ITEM newsID="3"/></NEWS>)", "" }, { R"(<NEWSFEED><NEWS_ITEM newsID="31" newsRea)", "" }, { "", "" },
        { juce::File (BRINDLEX_TEST_DATA_DIR).getChildFile ("newsfeed/newsfeed.xml").loadFileAsString(), "31 30* 29" } })
    {
        news.storedStates.add ({ 99, false, false });
        file.replaceWithText (text);
        news.loadNewsfeedFile();
        EXPECT_EQ (describe (news.storedStates), expected) << text;
    }

    // No file, or a folder in its place: the states stay as they were.
    file.deleteFile();
    news.loadNewsfeedFile();
    file.createDirectory();
    news.loadNewsfeedFile();
    EXPECT_EQ (describe (news.storedStates), "31 30* 29");
}

TEST (ProcessorNewsfeed, StartsAtConstructionAndCachesInTheSettingsFolderUnlessSwitchedOff)
{
    for (const bool disabled : { false, true })
    {
        LoopbackHttpServer server ({ 200, R"([{ "id": 21, "title": "Update", "url": "u", "tags": "CRVPLG8" },
                                       { "id": 20, "title": "Sale", "url": "u", "tags": "news" }])" });
        TempFolder base;
        PluginSettings stored (base.folder);
        stored.loadPluginSettings();
        juce::File (stored.settingsPath).createDirectory();
        stored.newsfeedDisabled = disabled;
        stored.writePluginSettings();

        BrindlexAudioProcessor processor (base.folder, server.getAddress());

        // Switched off, nothing must start: the shorter wait still covers the request and the 500 ms poll of a
        // fetch started anyway.
        pumpUntil ([&] { return processor.newsProcessor.newsReady; }, disabled ? 1000 : 30000);

        EXPECT_EQ (processor.newsProcessor.newsReady, ! disabled);
        EXPECT_EQ (processor.newsProcessor.unreadCount, disabled ? 0 : 2);
        EXPECT_EQ (server.getRequests().size(), disabled ? 0 : 1);
        EXPECT_EQ (juce::File (stored.settingsPath).getChildFile ("newsfeed.xml").existsAsFile(), ! disabled);
    }
}

TEST (ProcessorNewsfeed, DeletingTheProcessorWhileTheServerNeverAnswersTakesLessThanOneSecond)
{
    LoopbackHttpServer server (LoopbackHttpServer::silent());
    TempFolder base;
    auto processor = std::make_unique<BrindlexAudioProcessor> (base.folder, server.getAddress());
    ASSERT_TRUE (server.waitForRequest (10000));

    const auto start = juce::Time::getMillisecondCounterHiRes();
    processor.reset();
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, 1000.0);
}
