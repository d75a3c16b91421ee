#include <gtest/gtest.h>
#include <cstdlib>

#include "newsfeed/KT_NewsfeedThread.h"
#include "LoopbackHttpServer.h"

namespace
{
    const juce::String suffix = "?utm_source=CRVPLG8&utm_medium=newsfeed&utm_campaign=plugin_newsfeed";

    LoopbackHttpServer::Reply replyWith (int status, const juce::String& body)
    {
        LoopbackHttpServer::Reply reply;
        reply.status = status;
        reply.body = body;
        return reply;
    }

    /** Runs one news thread against the given address and waits for its fetch to end. */
    struct FetchRun
    {
        explicit FetchRun (const juce::String& address) : thread (address)
        {
            thread.pluginId = "CRVPLG8";
            thread.startThread();
            const auto deadline = juce::Time::getMillisecondCounter() + 10000;

            while (! thread.fetchDone.load() && juce::Time::getMillisecondCounter() < deadline)
                juce::Thread::sleep (5);
        }

        corvantis::KT_NewsfeedThread thread;
    };

    /** Routes every web request of this process through the given proxy while it lives, then puts
        the environment back as it was. */
    struct ScopedProxyEnvironment
    {
        explicit ScopedProxyEnvironment (const juce::String& proxy)
        {
            for (auto* name : { "http_proxy", "https_proxy", "no_proxy", "NO_PROXY" })
                if (const auto* value = std::getenv (name))
                    saved.set (name, value);

            setenv ("http_proxy", proxy.toRawUTF8(), 1);
            setenv ("https_proxy", proxy.toRawUTF8(), 1);
            unsetenv ("no_proxy");
            unsetenv ("NO_PROXY");
        }

        ~ScopedProxyEnvironment()
        {
            for (auto* name : { "http_proxy", "https_proxy", "no_proxy", "NO_PROXY" })
            {
                if (saved.containsKey (name))
                    setenv (name, saved[name].toRawUTF8(), 1);
                else
                    unsetenv (name);
            }
        }

        juce::StringPairArray saved { false };
    };

    juce::Array<int> idsOf (const NewsItemArray& items)
    {
        juce::Array<int> ids;
        for (const auto& item : items)
            ids.add (item.newsID);
        return ids;
    }
}

TEST (NewsfeedThread, IsNamedNewsfeedThread)
{
    corvantis::KT_NewsfeedThread thread;
    EXPECT_EQ (thread.getThreadName(), "Newsfeed Thread");
    EXPECT_FALSE (thread.fetchDone.load());
}

TEST (NewsfeedThread, KeepsNewsAndOwnItemsAndDropsTheRest)
{
    LoopbackHttpServer server (replyWith (200, R"([
        { "id": 1, "title": "General", "url": "https://news.example/a", "tags": "news" },
        { "id": "12", "title": "Ours", "url": "https://news.example/b?ref=mail", "tags": "CRVPLG8" },
        { "id": 3, "title": "Case", "url": "u", "tags": "News" },
        { "id": 4, "title": "Case", "url": "u", "tags": "crvplg8" },
        { "id": 5, "title": "Both", "url": "u", "tags": "news,CRVPLG8" },
        { "id": 6, "title": "Other", "url": "u", "tags": "CRVPLG9" },
        { "title": "No id", "url": "https://news.example/c", "tags": "news" },
        { "id": 7, "title": "Featured", "url": "https://news.example/f", "tags": "featured" },
        { "id": 8, "title": "Untagged", "url": "u" },
        42
    ])"));

    FetchRun run (server.getAddress());
    ASSERT_TRUE (run.thread.fetchDone.load());

    const auto& items = run.thread.fetchedItems;
    ASSERT_EQ (idsOf (items), juce::Array<int> ({ 1, 12, 0, 7 }));

    EXPECT_EQ (items[0].title, "General");
    EXPECT_EQ (items[0].url, "https://news.example/a" + suffix);
    EXPECT_EQ (items[0].tags, "news");
    EXPECT_FALSE (items[0].isForThisPlugin);

    EXPECT_EQ (items[1].title, "Ours");
    EXPECT_EQ (items[1].url, "https://news.example/b?ref=mail" + suffix);
    EXPECT_TRUE (items[1].isForThisPlugin);

    EXPECT_EQ (items[2].title, "No id");
    EXPECT_FALSE (items[2].isForThisPlugin);

    EXPECT_TRUE (items[3].isForThisPlugin);

    for (const auto& item : items)
        EXPECT_FALSE (item.newsRead);
}

TEST (NewsfeedThread, SendsOneAuthorisedJsonGetWithoutBody)
{
    LoopbackHttpServer server (replyWith (200, "[]"));
    FetchRun run (server.getAddress() + "svc/");
    ASSERT_TRUE (run.thread.waitForThreadToExit (10000));

    const auto requests = server.getRequests();
    ASSERT_EQ (requests.size(), 1);
    const auto& request = requests[0];

    EXPECT_EQ (request.method, "GET");
    EXPECT_TRUE (request.path.startsWith ("/svc/")) << request.path;
    EXPECT_GT (request.path.length(), 5);
    EXPECT_FALSE (request.path.startsWith ("/svc//"));
    EXPECT_EQ (request.body.getSize(), 0u);
    EXPECT_EQ (request.headers["Content-Type"], "application/json");

    const auto authorization = request.headers["Authorization"];
    ASSERT_TRUE (authorization.startsWith ("Basic ")) << authorization;
    juce::MemoryOutputStream decoded;
    ASSERT_TRUE (juce::Base64::convertFromBase64 (decoded, authorization.substring (6)));
    const auto credentials = decoded.toString();
    EXPECT_TRUE (credentials.containsChar (':')) << credentials;
    EXPECT_EQ (juce::Base64::toBase64 (credentials), authorization.substring (6));
}

TEST (NewsfeedThread, EmptyArrayGivesNoItems)
{
    LoopbackHttpServer server (replyWith (200, "[]"));
    FetchRun run (server.getAddress());

    EXPECT_TRUE (run.thread.fetchDone.load());
    EXPECT_TRUE (run.thread.fetchedItems.isEmpty());
}

TEST (NewsfeedThread, ErrorStatusWithAValidArrayGivesNoItems)
{
    for (const int status : { 404, 500 })
    {
        LoopbackHttpServer server (replyWith (status, R"([{ "id": 1, "title": "t", "url": "u", "tags": "news" }])"));
        FetchRun run (server.getAddress());

        EXPECT_TRUE (run.thread.fetchDone.load()) << status;
        EXPECT_TRUE (run.thread.fetchedItems.isEmpty()) << status;
        EXPECT_EQ (server.getRequests().size(), 1);
    }
}

TEST (NewsfeedThread, BodiesThatAreNoArrayGiveNoItems)
{
    for (const auto* body : { "Service down", "", R"({ "id": 1, "title": "t", "url": "u", "tags": "news" })",
                              R"([{ "id": 1, "tags": "news" })" })
    {
        LoopbackHttpServer server (replyWith (200, body));
        FetchRun run (server.getAddress());

        EXPECT_TRUE (run.thread.fetchDone.load()) << body;
        EXPECT_TRUE (run.thread.fetchedItems.isEmpty()) << body;
    }
}

TEST (NewsfeedThread, RefusedConnectionEndsTheFetchWithoutItems)
{
    FetchRun run (LoopbackHttpServer::refusingAddress());

    EXPECT_TRUE (run.thread.fetchDone.load());
    EXPECT_TRUE (run.thread.fetchedItems.isEmpty());
    EXPECT_TRUE (run.thread.waitForThreadToExit (10000));
}

TEST (NewsfeedThread, MakesOneAttemptAndEnds)
{
    LoopbackHttpServer server (replyWith (500, "[]"));
    FetchRun run (server.getAddress());

    EXPECT_TRUE (run.thread.waitForThreadToExit (10000));
    EXPECT_EQ (server.getRequests().size(), 1);

    FetchRun second (server.getAddress());
    EXPECT_TRUE (second.thread.waitForThreadToExit (10000));
    EXPECT_EQ (server.getRequests().size(), 2);
}

TEST (NewsfeedThread, DestructionEndsARequestTheServerNeverAnswersWithinOneSecond)
{
    LoopbackHttpServer::Reply silent;
    silent.neverAnswer = true;
    LoopbackHttpServer server (silent);

    auto thread = std::make_unique<corvantis::KT_NewsfeedThread> (server.getAddress());
    thread->pluginId = "CRVPLG8";
    thread->startThread();
    ASSERT_TRUE (server.waitForRequest (10000));

    const auto start = juce::Time::getMillisecondCounterHiRes();
    thread.reset();
    const auto elapsed = juce::Time::getMillisecondCounterHiRes() - start;

    EXPECT_LT (elapsed, 1000.0);
}

TEST (NewsfeedThread, TheBuiltInServiceIsNeverContactedNotEvenThroughAProxy)
{
    // The built-in address lies in the reserved "invalid" domain: no name server, proxy or host may
    // ever see a request for it, and no lookup may hold up the plug-in.
    LoopbackHttpServer proxy (replyWith (200, R"([{ "id": 1, "title": "t", "url": "u", "tags": "news" }])"));
    ScopedProxyEnvironment environment (proxy.getAddress());

    FetchRun run ({});

    EXPECT_TRUE (run.thread.fetchDone.load());
    EXPECT_TRUE (run.thread.fetchedItems.isEmpty());
    EXPECT_FALSE (proxy.waitForRequest (500));
}
