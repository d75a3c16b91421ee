#include <gtest/gtest.h>
#include <string>
#include <thread>

#include "newsfeed/JsonWebRequest.h"
#include "LoopbackHttpServer.h"

TEST (JsonWebRequest, JoinsAddressesWithOneSlashAndSendsTheHeadersMergedByKeyInAnyCase)
{
    const char* const joins[][3] = { { "http://host/api/", "/news", "http://host/api/news" },
                                     { "http://host/api", "news", "http://host/api/news" },
                                     { "http://host/api", "", "http://host/api/" },
                                     { "http://host/", "//news", "http://host//news" } };
    for (const auto& j : joins)
        EXPECT_EQ (JsonWebRequest::joinAddress (j[0], j[1]), j[2]) << j[0] << " + " << j[1];

    LoopbackHttpServer server ({ 200, "{}" });
    JsonWebRequest request (server.getAddress() + "api");
    request.header ("Content-Type", "text/plain").header ("X-Brindlex-Test", "a b c").header ("CONTENT-TYPE", "text/json");
    EXPECT_EQ (JsonWebRequest::headersToString (request.headers), "Content-Type: text/json\nX-Brindlex-Test: a b c\n");
    request.get ("/v2/list").execute();

    const auto requests = server.getRequests();
    ASSERT_EQ (requests.size(), 1);
    EXPECT_EQ (requests[0].method + " " + requests[0].path, "GET /api/v2/list");
    EXPECT_EQ (requests[0].headers["X-Brindlex-Test"], "a b c");
}

TEST (JsonWebRequest, AnswersAreParsedWithinBoundsOfSizeDepthAndDigits)
{
    std::string megabyte ("[");
    for (int i = 0; i < 200000; ++i)
        megabyte += "1234,";

    const struct { const char* what; int status; juce::String body; bool ok; const char* error; } cases[] = {
        { "a list", 200, R"([{"id": 7}])", true, "" },
        { "nothing", 200, "", true, "" },
        { "an error page with JSON", 404, R"({"error": "missing"})", true, "" },
        { "null", 200, "null", false, "1:1: error: Expected '{' or '['" },
        { "plain text", 200, "\n  Service unavailable", false, "2:3: error: Expected '{' or '['" },
        { "200,000 nested lists", 200, std::string (200000, '['), false, "Answer nested too deeply" },
        { "a megabyte of numbers", 200, megabyte + "1]", false, "Answer too large" },
        { "nested a little", 200, "[[[{\"a\":[1]}]]]", true, "" },
        { "a whole part beyond 64 bits", 200, "[-9223372036854775808]", false, "Answer holds a number too long" },
        { "long digits in 64 bits, strings and fractions", 200,
          R"([{"id": 9223372036854775807, "t": "12345678901234567890", "x": -123456789.12345678901234567890}])", true, "" },
    };

    for (const auto& c : cases)
    {
        LoopbackHttpServer server ({ c.status, c.body });
        const auto response = JsonWebRequest (server.getAddress()).get ("items").execute();
        EXPECT_EQ (response.status, c.status) << c.what;
        EXPECT_EQ (response.result.getErrorMessage(), c.error) << c.what;
        EXPECT_EQ (response.body.isVoid(), ! c.ok || c.body.isEmpty()) << c.what;
    }
}

TEST (JsonWebRequest, ARefusedConnectionFailsAndClearsTheLastAnswer)
{
    LoopbackHttpServer server ({ 200, "[1]" });
    auto request = JsonWebRequest (server.getAddress()).get ("items");
    ASSERT_EQ (request.execute().status, 200);
    request.url = juce::URL (LoopbackHttpServer::refusingAddress);

    const auto response = request.execute();
    EXPECT_EQ (response.result.getErrorMessage(), "HTTP request failed, check your internet connection");
    EXPECT_TRUE (response.status == 0 && response.headers.getAllKeys().isEmpty());
}

TEST (JsonWebRequestCancellation, CancelBeforeOrDuringOrTimeOutEndsARequestTheServerNeverAnswers)
{
    for (const juce::String how : { "cancelled before", "cancelled during", "timed out" })
    {
        LoopbackHttpServer server (LoopbackHttpServer::silent());
        JsonWebRequest::Cancellation cancellation;
        auto result = juce::Result::ok();
        juce::WaitableEvent finished;
        if (how == "cancelled before")
            cancellation.cancel();

        // When cancelled, a time-out far beyond the waits below, so that only the cancellation can end the exchange.
        std::thread requester ([&]
        {
            JsonWebRequest request (server.getAddress());
            request.timeOutMs = how == "timed out" ? 1000 : 60000;
            result = request.get ("items").execute (&cancellation).result;
            finished.signal();
        });

        EXPECT_EQ (server.waitForRequest (how == "cancelled before" ? 200 : 10000), how != "cancelled before") << how;
        if (how == "cancelled during")
            cancellation.cancel();
        EXPECT_TRUE (finished.wait (how == "timed out" ? 20000 : 10000)) << how;
        cancellation.cancel();
        requester.join();
        EXPECT_TRUE (result.failed()) << how;
    }
}

TEST (LoopbackHttpServer, AClientHangingUpInTheMiddleOfAReplyCannotEndTheTestProcess)
{
    // Far more than the loopback's socket buffers hold, so the server is still writing when the client goes.
    LoopbackHttpServer server ({ 200, juce::String::repeatedString ("x", 32 * 1024 * 1024) });
    juce::StreamingSocket client;
    ASSERT_TRUE (client.connect ("127.0.0.1", juce::URL (server.getAddress()).getPort(), 5000));
    const juce::String request ("GET /items HTTP/1.1\r\n\r\n");
    ASSERT_EQ (client.write (request.toRawUTF8(), (int) request.length()), (int) request.length());

    char start[16];
    ASSERT_EQ (client.waitUntilReady (true, 5000), 1);
    EXPECT_GT (client.read (start, (int) sizeof (start), false), 0);
    client.close();
    ASSERT_TRUE (server.waitForRequest (0));
}
