#include "MessagePump.h"
#include <gtest/gtest.h>

#include "processor/BrindlexAudioProcessor.h"
#include "LoopbackHttpServer.h"
#include "TestSupport.h"

namespace
{
    /** A base folder whose settings folder exists, so that the news cache can be written there. */
    struct BaseFolder
    {
        BaseFolder()
        {
            PluginSettings layout (folder);
            layout.loadPluginSettings();
            juce::File (layout.settingsPath).createDirectory();
        }

        ~BaseFolder() { folder.deleteRecursively(); }

        juce::File folder { juce::File::createTempFile ("brindlex-news") };
    };

    bool pumpUntilNewsReady (BrindlexAudioProcessor& processor)
    {
        const auto deadline = juce::Time::getMillisecondCounter() + 10000;
        while (! processor.newsProcessor.newsReady && juce::Time::getMillisecondCounter() < deadline)
            pumpMessages (20);

        return processor.newsProcessor.newsReady;
    }
}

TEST (ProcessorNewsfeed, StartsAtTheEndOfConstructionAndCachesInTheSettingsFolder)
{
    LoopbackHttpServer::Reply reply;
    reply.body = R"([{ "id": 21, "title": "Update", "url": "https://news.example/21", "tags": "CRVPLG8" },
                     { "id": 20, "title": "Sale", "url": "https://news.example/20", "tags": "news" }])";
    LoopbackHttpServer server (reply);
    BaseFolder base;

    BrindlexAudioProcessor processor (base.folder, server.getAddress());
    auto& news = processor.newsProcessor;

    EXPECT_TRUE (processor.newsfeedEnabled);
    EXPECT_EQ (news.newsfeedFile, processor.settings.settingsPath + "newsfeed.xml");
    EXPECT_EQ (news.pluginId, "CRVPLG8");
    EXPECT_EQ (news.newsThread.pluginId, "CRVPLG8");
    EXPECT_EQ (news.getTimerInterval(), 500);

    ASSERT_TRUE (pumpUntilNewsReady (processor));
    ASSERT_EQ (news.newsItems.size(), 2);
    EXPECT_TRUE (news.newsItems[0].isForThisPlugin);
    EXPECT_EQ (news.unreadCount, 2);
    EXPECT_TRUE (juce::File (processor.settings.settingsPath).getChildFile ("newsfeed.xml").existsAsFile());
    EXPECT_EQ (server.getRequests().size(), 1);
}

TEST (ProcessorNewsfeed, DisabledNewsfeedNeverStarts)
{
    LoopbackHttpServer server ({});
    BaseFolder base;

    {
        PluginSettings stored (base.folder);
        stored.loadPluginSettings();
        stored.newsfeedDisabled = true;
        stored.writePluginSettings();
    }

    BrindlexAudioProcessor processor (base.folder, server.getAddress());

    EXPECT_FALSE (processor.newsfeedEnabled);
    EXPECT_FALSE (processor.newsProcessor.isTimerRunning());
    EXPECT_FALSE (processor.newsProcessor.newsThread.isThreadRunning());
    EXPECT_FALSE (server.waitForRequest (300));
}

TEST (ProcessorNewsfeed, DeletingTheProcessorWhileTheServerNeverAnswersTakesLessThanOneSecond)
{
    LoopbackHttpServer::Reply silent;
    silent.neverAnswer = true;
    LoopbackHttpServer server (silent);
    BaseFolder base;

    auto processor = std::make_unique<BrindlexAudioProcessor> (base.folder, server.getAddress());
    ASSERT_TRUE (server.waitForRequest (10000));

    const auto start = juce::Time::getMillisecondCounterHiRes();
    processor.reset();
    const auto elapsed = juce::Time::getMillisecondCounterHiRes() - start;

    EXPECT_LT (elapsed, 1000.0);
}

TEST (ProcessorNewsfeed, WithoutAServiceAddressATestProcessorLeavesTheNewsfeedIdle)
{
    TestProcessor processor;
    auto& news = processor->newsProcessor;

    EXPECT_TRUE (processor->newsfeedEnabled);
    EXPECT_FALSE (news.isTimerRunning());
    EXPECT_FALSE (news.newsThread.isThreadRunning());
    EXPECT_TRUE (news.newsfeedFile.isEmpty());
    EXPECT_FALSE (news.newsReady);
}
