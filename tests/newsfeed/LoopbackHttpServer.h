#pragma once

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <juce_core/juce_core.h>
#include <sys/socket.h>

/** A tiny HTTP server on 127.0.0.1 for the newsfeed tests: it records every request it receives and
    answers each with one fixed reply, holds it back until released, or holds the connection open without ever
    answering. */
class LoopbackHttpServer : private juce::Thread
{
public:
    struct Reply   { int status = 200; juce::String body; bool neverAnswer = false; bool heldUntilReleased = false; };
    struct Request { juce::String method, path; juce::StringPairArray headers; };

    static Reply silent() { return { 200, {}, true }; }

    explicit LoopbackHttpServer (Reply replyToSend)
        : juce::Thread ("Loopback HTTP server"), reply (std::move (replyToSend))
    {
        // Requests for this server go straight to it, never to a proxy that the environment may name.
        setenv ("no_proxy", "127.0.0.1", 1);
        setenv ("NO_PROXY", "127.0.0.1", 1);
        listener.createListener (0, "127.0.0.1");
        startThread();
    }

    ~LoopbackHttpServer() override { stopThread (5000); }
    juce::String getAddress() const { return "http://127.0.0.1:" + juce::String (listener.getBoundPort()) + "/"; }

    juce::Array<Request> getRequests() const
    {
        const juce::ScopedLock sl (lock);
        return requests;
    }

    /** Lets a reply held until released go out. */
    void release() { released = true; }

    /** Waits until at least one request has arrived. */
    bool waitForRequest (int timeOutMs) { return requestArrived.wait (timeOutMs); }

    /** A loopback address where nothing listens (a port no test machine serves): connections are refused at once. */
    static constexpr const char* refusingAddress = "http://127.0.0.1:1/";

private:
    void run() override
    {
        while (! threadShouldExit())
            if (listener.waitUntilReady (true, 20) == 1)
                if (std::unique_ptr<juce::StreamingSocket> connection { listener.waitForNextConnection() })
                    serve (*connection);
    }

    void serve (juce::StreamingSocket& socket)
    {
        juce::MemoryBlock data;
        char buffer[4096];

        while (! data.toString().contains ("\r\n\r\n"))
        {
            int ready = 0;
            while (ready == 0 && ! threadShouldExit())
                ready = socket.waitUntilReady (true, 20);

            const auto numRead = ready > 0 ? socket.read (buffer, (int) sizeof (buffer), false) : 0;
            if (numRead <= 0)
                return;
            data.append (buffer, (size_t) numRead);
        }

        Request request;
        const auto head = data.toString().upToFirstOccurrenceOf ("\r\n\r\n", false, false);
        const auto lines = juce::StringArray::fromLines (head);
        request.method = lines[0].upToFirstOccurrenceOf (" ", false, false);
        request.path = lines[0].fromFirstOccurrenceOf (" ", false, false).upToFirstOccurrenceOf (" ", false, false);

        for (int i = 1; i < lines.size(); ++i)
            request.headers.set (lines[i].upToFirstOccurrenceOf (":", false, false).trim(),
                                 lines[i].fromFirstOccurrenceOf (":", false, false).trim());

        {
            const juce::ScopedLock sl (lock);
            requests.add (request);
        }
        requestArrived.signal();

        while ((reply.neverAnswer || (reply.heldUntilReleased && ! released)) && ! threadShouldExit())
            wait (20);

        juce::String text;
        text << "HTTP/1.1 " << reply.status << " Status\r\nContent-Type: application/json\r\nContent-Length: "
             << (int) reply.body.getNumBytesAsUTF8() << "\r\nConnection: close\r\n\r\n" << reply.body;
        const auto bytes = text.toStdString();

        // Reading left the socket non-blocking, so a large reply goes out in as many writes as it takes. A client
        // may hang up before the end (an answer too large for it): the write then fails instead of raising SIGPIPE,
        // which would end the whole test process.
        for (size_t sent = 0; sent < bytes.size() && ! reply.neverAnswer && ! threadShouldExit();)
        {
            const auto n = ::send (socket.getRawSocketHandle(), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);

            if (n > 0)
                sent += (size_t) n;
            else if (const bool retry = errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
                     ! retry || socket.waitUntilReady (false, 20) < 0)
                return;
        }
    }

    const Reply reply;
    juce::StreamingSocket listener;
    juce::CriticalSection lock;
    juce::Array<Request> requests;
    juce::WaitableEvent requestArrived { true };
    std::atomic<bool> released { false };
};
