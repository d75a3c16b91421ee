#include <gtest/gtest.h>
#include <string>
#include <thread>

#include "newsfeed/JsonWebRequest.h"
#include "LoopbackHttpServer.h"

namespace
{
    LoopbackHttpServer::Reply replyWith (int status, const juce::String& body)
    {
        LoopbackHttpServer::Reply reply;
        reply.status = status;
        reply.body = body;
        return reply;
    }

    JsonWebRequest::Response fetch (const LoopbackHttpServer& server, const juce::String& endpoint = "/items")
    {
        return JsonWebRequest (server.getAddress()).get (endpoint).execute();
    }
}

TEST (JsonWebRequestAddress, JoinsBaseAndEndpointWithExactlyOneSlash)
{
    EXPECT_EQ (JsonWebRequest::joinAddress ("http://host/api/", "/news"), "http://host/api/news");
    EXPECT_EQ (JsonWebRequest::joinAddress ("http://host/api", "news"), "http://host/api/news");
    EXPECT_EQ (JsonWebRequest::joinAddress ("http://host/api/", "news"), "http://host/api/news");
    EXPECT_EQ (JsonWebRequest::joinAddress ("http://host/api", "/news"), "http://host/api/news");
}

TEST (JsonWebRequestAddress, EmptyEndpointLeavesBaseWithFinalSlash)
{
    EXPECT_EQ (JsonWebRequest::joinAddress ("http://host/api", ""), "http://host/api/");
    EXPECT_EQ (JsonWebRequest::joinAddress ("http://host/api/", ""), "http://host/api/");
    EXPECT_EQ (JsonWebRequest::joinAddress ("", "news"), "/news");
}

TEST (JsonWebRequestAddress, OnlyOneLeadingSlashOfTheEndpointIsDropped)
{
    EXPECT_EQ (JsonWebRequest::joinAddress ("http://host/", "//news"), "http://host//news");
}

TEST (JsonWebRequestAddress, TheServerReceivesTheJoinedPath)
{
    LoopbackHttpServer server (replyWith (200, "[]"));
    JsonWebRequest (server.getAddress() + "api").get ("/v2/list").execute();

    ASSERT_EQ (server.getRequests().size(), 1);
    EXPECT_EQ (server.getRequests()[0].path, "/api/v2/list");
}

TEST (JsonWebRequestHeaders, SameKeyInAnotherCaseKeepsFirstSpellingWithSecondValue)
{
    JsonWebRequest request ("http://host/");
    request.header ("Content-Type", "text/plain");
    request.header ("content-type", "application/json");

    ASSERT_EQ (request.headers.size(), 1);
    EXPECT_EQ (request.headers.getAllKeys()[0], "Content-Type");
    EXPECT_EQ (request.headers.getAllValues()[0], "application/json");
}

TEST (JsonWebRequestHeaders, HeaderBlockHasOneLineFeedEndedLinePerKeyInInsertionOrder)
{
    JsonWebRequest request ("http://host/");
    request.header ("Content-Type", "application/json");
    request.header ("Authorization", "Basic dTpw");
    request.header ("CONTENT-TYPE", "text/json");

    EXPECT_EQ (JsonWebRequest::headersToString (request.headers),
               "Content-Type: text/json\nAuthorization: Basic dTpw\n");
    EXPECT_EQ (JsonWebRequest::headersToString ({}), "");
}

TEST (JsonWebRequestHeaders, HeadersReachTheServer)
{
    LoopbackHttpServer server (replyWith (200, "[]"));
    JsonWebRequest (server.getAddress())
        .header ("Content-Type", "application/json")
        .header ("X-Brindlex-Test", "a b c")
        .get ("x")
        .execute();

    ASSERT_EQ (server.getRequests().size(), 1);
    const auto& received = server.getRequests()[0];
    EXPECT_EQ (received.headers["Content-Type"], "application/json");
    EXPECT_EQ (received.headers["X-Brindlex-Test"], "a b c");
}

TEST (JsonWebRequestGet, ReturnsAGetCopyAndLeavesTheOriginalUnchanged)
{
    JsonWebRequest original ("http://host/");
    original.header ("A", "1");
    original.fields.setProperty ("k", 5);

    const auto copy = original.get ("/list");

    EXPECT_EQ (original.verb, "");
    EXPECT_EQ (original.endpoint, "");
    EXPECT_EQ (copy.verb, "GET");
    EXPECT_EQ (copy.endpoint, "/list");
    EXPECT_EQ (copy.headers["A"], "1");
    EXPECT_EQ ((int) copy.fields.getProperty ("k"), 5);
    EXPECT_EQ (copy.url.toString (true), "http://host/");
}

TEST (JsonWebRequestBody, RequestWithoutFieldsSendsNoBody)
{
    LoopbackHttpServer server (replyWith (200, "{}"));
    fetch (server);

    ASSERT_EQ (server.getRequests().size(), 1);
    EXPECT_EQ (server.getRequests()[0].method, "GET");
    EXPECT_EQ (server.getRequests()[0].body.getSize(), 0u);
}

TEST (JsonWebRequestBody, FieldsAreSentAsAMultiLineJsonBody)
{
    LoopbackHttpServer server (replyWith (200, "{}"));
    JsonWebRequest request (server.getAddress());
    request.fields.setProperty ("name", "delay");
    request.fields.setProperty ("taps", 3);
    request.endpoint = "post";
    request.execute();

    ASSERT_EQ (server.getRequests().size(), 1);
    const auto& received = server.getRequests()[0];
    EXPECT_EQ (received.method, "POST");

    const auto text = received.body.toString();
    EXPECT_TRUE (text.contains ("\r\n"));
    const auto json = juce::JSON::parse (text);
    EXPECT_EQ (json["name"].toString(), "delay");
    EXPECT_EQ ((int) json["taps"], 3);
}

TEST (JsonWebRequestBody, VerbIsHandedToTheServer)
{
    LoopbackHttpServer server (replyWith (200, "{}"));
    JsonWebRequest request (server.getAddress());
    request.fields.setProperty ("read", true);
    request.verb = "PUT";
    request.execute();

    ASSERT_EQ (server.getRequests().size(), 1);
    EXPECT_EQ (server.getRequests()[0].method, "PUT");
    EXPECT_GT (server.getRequests()[0].body.getSize(), 0u);
}

TEST (JsonWebRequestResponse, ArrayBodyIsParsedAndHeadersAreKeptWithoutRegardToCase)
{
    auto reply = replyWith (200, R"([{"id": 7, "title": "Hello"}])");
    reply.extraHeaders.set ("X-Served-By", "loopback");
    LoopbackHttpServer server (reply);

    JsonWebRequest request (server.getAddress());
    const auto response = request.get ("items").execute();

    EXPECT_TRUE (response.result.wasOk());
    EXPECT_EQ (response.status, 200);
    ASSERT_TRUE (response.body.isArray());
    EXPECT_EQ ((int) response.body[0]["id"], 7);
    EXPECT_EQ (response.bodyAsString, R"([{"id": 7, "title": "Hello"}])");
    EXPECT_EQ (response.headers["x-served-by"], "loopback");

    // execute also keeps the outcome in the request it ran on.
    EXPECT_EQ (request.response.status, 0);
    auto getRequest = request.get ("items");
    getRequest.execute();
    EXPECT_EQ (getRequest.response.status, 200);
}

TEST (JsonWebRequestResponse, EmptyBodyIsOkWithVoidBody)
{
    LoopbackHttpServer server (replyWith (200, ""));
    const auto response = fetch (server);

    EXPECT_TRUE (response.result.wasOk());
    EXPECT_EQ (response.status, 200);
    EXPECT_TRUE (response.body.isVoid());
}

TEST (JsonWebRequestResponse, NullLiteralFailsWithLineAndColumn)
{
    LoopbackHttpServer server (replyWith (200, "null"));
    const auto response = fetch (server);

    EXPECT_TRUE (response.result.failed());
    EXPECT_EQ (response.result.getErrorMessage(), "1:1: error: Expected '{' or '['");
    EXPECT_EQ (response.status, 200);
}

TEST (JsonWebRequestResponse, PlainTextFailsWithLineAndColumnAndKeepsTheText)
{
    LoopbackHttpServer server (replyWith (200, "\n  Service unavailable"));
    const auto response = fetch (server);

    EXPECT_TRUE (response.result.failed());
    EXPECT_EQ (response.result.getErrorMessage(), "2:3: error: Expected '{' or '['");
    EXPECT_EQ (response.bodyAsString, "\n  Service unavailable");
    EXPECT_TRUE (response.body.isVoid());
}

TEST (JsonWebRequestResponse, ErrorStatusKeepsCodeAndParsesBody)
{
    for (const int status : { 404, 500 })
    {
        LoopbackHttpServer server (replyWith (status, R"({"error": "missing"})"));
        const auto response = fetch (server);

        EXPECT_TRUE (response.result.wasOk()) << status;
        EXPECT_EQ (response.status, status);
        EXPECT_EQ (response.body["error"].toString(), "missing");
    }
}

TEST (JsonWebRequestResponse, RefusedConnectionFailsWithTheConnectionMessage)
{
    const auto response = JsonWebRequest (LoopbackHttpServer::refusingAddress()).get ("items").execute();

    EXPECT_TRUE (response.result.failed());
    EXPECT_EQ (response.result.getErrorMessage(), "HTTP request failed, check your internet connection");
    EXPECT_EQ (response.status, 0);
    EXPECT_TRUE (response.body.isVoid());
}

TEST (JsonWebRequestResponse, ExecutingAgainReplacesTheStatusAndHeadersOfTheLastAnswer)
{
    auto reply = replyWith (200, "[1]");
    reply.extraHeaders.set ("X-Served-By", "loopback");
    LoopbackHttpServer server (reply);

    auto request = JsonWebRequest (server.getAddress()).get ("items");
    ASSERT_EQ (request.execute().status, 200);

    request.url = juce::URL (LoopbackHttpServer::refusingAddress());
    const auto response = request.execute();

    EXPECT_TRUE (response.result.failed());
    EXPECT_EQ (response.status, 0);
    EXPECT_TRUE (response.headers["X-Served-By"].isEmpty());
    EXPECT_EQ (request.response.status, 0);
}

TEST (JsonWebRequestCancellation, CancelledBeforehandNeverConnects)
{
    LoopbackHttpServer server (replyWith (200, "[]"));
    JsonWebRequest::Cancellation cancellation;
    cancellation.cancel();

    const auto response = JsonWebRequest (server.getAddress()).get ("items").execute (&cancellation);

    EXPECT_TRUE (response.result.failed());
    EXPECT_FALSE (server.waitForRequest (200));
}

TEST (JsonWebRequestCancellation, CancelEndsARequestTheServerNeverAnswers)
{
    LoopbackHttpServer::Reply silent;
    silent.neverAnswer = true;
    LoopbackHttpServer server (silent);

    JsonWebRequest::Cancellation cancellation;
    JsonWebRequest::Response response;
    juce::WaitableEvent finished;

    std::thread requester ([&]
    {
        JsonWebRequest request (server.getAddress());
        // A time-out far beyond the wait below, so that only the cancellation can end the exchange.
        request.timeOutMs = 60000;
        response = request.get ("items").execute (&cancellation);
        finished.signal();
    });

    EXPECT_TRUE (server.waitForRequest (10000));
    const auto start = juce::Time::getMillisecondCounterHiRes();
    cancellation.cancel();
    const bool ended = finished.wait (5000);
    const auto elapsed = juce::Time::getMillisecondCounterHiRes() - start;
    requester.join();

    EXPECT_TRUE (ended) << elapsed;
    EXPECT_TRUE (response.result.failed());
}

TEST (JsonWebRequestCancellation, TimeOutEndsARequestTheServerNeverAnswers)
{
    LoopbackHttpServer::Reply silent;
    silent.neverAnswer = true;
    LoopbackHttpServer server (silent);

    JsonWebRequest request (server.getAddress());
    request.timeOutMs = 1000;

    const auto start = juce::Time::getMillisecondCounterHiRes();
    const auto response = request.get ("items").execute();
    const auto elapsed = juce::Time::getMillisecondCounterHiRes() - start;

    EXPECT_TRUE (response.result.failed());
    EXPECT_LT (elapsed, 15000.0);
}

TEST (JsonWebRequestBody, OversizedOrDeeplyNestedBodiesGiveNothing)
{
    std::string longList ("[");
    for (int i = 0; i < 200000; ++i)
        longList += "1234,";
    longList += "1]";

    // Deep nesting well inside the size limit, so that only the depth can refuse it.
    const struct { const char* what; juce::String body; bool parses; } cases[] = {
        { "200,000 nested lists", std::string (200000, '['), false },
        { "a megabyte of numbers", longList, false },
        { "nested a little", "[[[{\"a\":[1]}]]]", true },
    };

    for (const auto& c : cases)
    {
        LoopbackHttpServer server (replyWith (200, c.body));
        const auto response = fetch (server);
        EXPECT_EQ (response.result.wasOk(), c.parses) << c.what;
        EXPECT_EQ (response.body.isArray(), c.parses) << c.what;
    }
}
