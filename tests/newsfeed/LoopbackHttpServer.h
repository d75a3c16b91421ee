#pragma once

#include <cstdlib>
#include <juce_core/juce_core.h>

/** A tiny HTTP server on 127.0.0.1 for the newsfeed tests: it records every request it receives and
    answers each with one fixed reply, or holds the connection open without ever answering. */
class LoopbackHttpServer : private juce::Thread
{
public:
    struct Reply
    {
        int status = 200;
        juce::String body;
        juce::StringPairArray extraHeaders;
        bool neverAnswer = false;
    };

    struct Request
    {
        juce::String method, path;
        juce::StringPairArray headers;
        juce::MemoryBlock body;
    };

    explicit LoopbackHttpServer (Reply replyToSend)
        : juce::Thread ("Loopback HTTP server"), reply (std::move (replyToSend))
    {
        // Requests for this server go straight to it, never to a proxy that the machine's
        // environment may name.
        setenv ("no_proxy", "127.0.0.1", 1);
        setenv ("NO_PROXY", "127.0.0.1", 1);

        listener.createListener (0, "127.0.0.1");
        startThread();
    }

    ~LoopbackHttpServer() override
    {
        stopThread (5000);
    }

    int getPort() const                 { return listener.getBoundPort(); }
    juce::String getAddress() const     { return "http://127.0.0.1:" + juce::String (getPort()) + "/"; }

    juce::Array<Request> getRequests() const
    {
        const juce::ScopedLock sl (lock);
        return requests;
    }

    /** Waits until at least one whole request has arrived. */
    bool waitForRequest (int timeOutMs) { return requestArrived.wait (timeOutMs); }

    /** A base address on the loopback where nothing listens: a connection is refused at once. */
    static juce::String refusingAddress()
    {
        juce::StreamingSocket probe;
        probe.createListener (0, "127.0.0.1");
        const auto port = probe.getBoundPort();
        probe.close();
        return "http://127.0.0.1:" + juce::String (port) + "/";
    }

private:
    void run() override
    {
        while (! threadShouldExit())
        {
            if (listener.waitUntilReady (true, 20) != 1)
                continue;

            std::unique_ptr<juce::StreamingSocket> connection (listener.waitForNextConnection());

            if (connection != nullptr)
                serve (*connection);
        }
    }

    bool readSome (juce::StreamingSocket& socket, juce::MemoryBlock& data)
    {
        while (! threadShouldExit())
        {
            const auto ready = socket.waitUntilReady (true, 20);

            if (ready < 0)
                return false;

            if (ready == 0)
                continue;

            char buffer[4096];
            const auto numRead = socket.read (buffer, (int) sizeof (buffer), false);

            if (numRead <= 0)
                return false;

            data.append (buffer, (size_t) numRead);
            return true;
        }

        return false;
    }

    void serve (juce::StreamingSocket& socket)
    {
        juce::MemoryBlock data;
        int headerEnd = -1;

        while (headerEnd < 0)
        {
            if (! readSome (socket, data))
                return;

            headerEnd = data.toString().indexOf ("\r\n\r\n");
        }

        Request request;
        const auto headerLines = juce::StringArray::fromLines (data.toString().substring (0, headerEnd));
        const auto requestLine = juce::StringArray::fromTokens (headerLines[0], " ", "");
        request.method = requestLine[0];
        request.path = requestLine[1];

        for (int i = 1; i < headerLines.size(); ++i)
            request.headers.set (headerLines[i].upToFirstOccurrenceOf (":", false, false).trim(),
                                 headerLines[i].fromFirstOccurrenceOf (":", false, false).trim());

        const auto bodyStart = (size_t) headerEnd + 4;
        const auto bodyLength = (size_t) request.headers["Content-Length"].getLargeIntValue();

        while (data.getSize() < bodyStart + bodyLength)
            if (! readSome (socket, data))
                return;

        request.body.append (data.begin() + bodyStart, bodyLength);

        {
            const juce::ScopedLock sl (lock);
            requests.add (request);
        }

        requestArrived.signal();

        if (reply.neverAnswer)
        {
            while (! threadShouldExit())
                wait (20);

            return;
        }

        const auto bodyUtf8 = reply.body.toUTF8();
        const auto bodySize = bodyUtf8.sizeInBytes() - 1;

        juce::String head;
        head << "HTTP/1.1 " << reply.status << " " << reasonPhrase (reply.status) << "\r\n"
             << "Content-Type: application/json\r\n"
             << "Content-Length: " << (int) bodySize << "\r\n"
             << "Connection: close\r\n";

        for (const auto& key : reply.extraHeaders.getAllKeys())
            head << key << ": " << reply.extraHeaders[key] << "\r\n";

        head << "\r\n";

        writeAll (socket, head.toRawUTF8(), (int) head.getNumBytesAsUTF8());
        writeAll (socket, bodyUtf8.getAddress(), (int) bodySize);
    }

    /** Reading left the socket non-blocking, so a large reply goes out in as many writes as it takes. */
    void writeAll (juce::StreamingSocket& socket, const char* data, int size)
    {
        for (int sent = 0; sent < size && ! threadShouldExit();)
        {
            const auto n = socket.write (data + sent, size - sent);

            if (n > 0)
                sent += n;
            else if (socket.waitUntilReady (false, 20) < 0)
                return;
        }
    }

    static juce::String reasonPhrase (int status)
    {
        switch (status)
        {
            case 200: return "OK";
            case 404: return "Not Found";
            case 500: return "Internal Server Error";
            default:  return "Status";
        }
    }

    const Reply reply;
    juce::StreamingSocket listener;
    juce::CriticalSection lock;
    juce::Array<Request> requests;
    juce::WaitableEvent requestArrived { true };
};
