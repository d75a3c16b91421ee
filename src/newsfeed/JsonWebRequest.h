#pragma once

#include <juce_core/juce_core.h>

/** One HTTP request to a JSON web service: base address, headers, method, endpoint and optional
    JSON body properties. execute() blocks the calling thread until the whole answer is read and parsed. */
class JsonWebRequest
{
public:
    /** The outcome of execute(). */
    struct Response
    {
        juce::Result result = juce::Result::ok();
        juce::StringPairArray headers;
        juce::var body;
        juce::String bodyAsString;
        int status = 0;
    };

    /** Lets another thread abandon a request that is under way: cancel() closes the open stream at
        once, and a request that has not yet opened its stream never opens one. */
    class Cancellation
    {
    public:
        Cancellation() = default;

        void cancel();
        bool isCancelled() const;

    private:
        friend class JsonWebRequest;

        bool attach (juce::WebInputStream& stream);
        void detach();

        juce::CriticalSection lock;
        juce::WebInputStream* openStream = nullptr;
        bool cancelled = false;

        JUCE_DECLARE_NON_COPYABLE (Cancellation)
    };

    explicit JsonWebRequest (const juce::String& baseAddress);

    /** Sets a request header, replacing the value of a key already present in any letter case. */
    JsonWebRequest& header (const juce::String& key, const juce::String& value);

    /** A copy of this request that GETs the endpoint; this request is unchanged. */
    JsonWebRequest get (const juce::String& endpointToUse) const;

    /** Sends the request, reads and parses the answer, keeps it in `response` and returns a copy.
        When a cancellation is given, another thread can use it to abandon the exchange. */
    Response execute (Cancellation* cancellation = nullptr);

    /** The header block handed to the stream: "key: value" lines, each ended by a line feed. */
    static juce::String headersToString (const juce::StringPairArray& pairs);

    /** Longest answer read, in bytes; a news list is a small fraction of it. */
    static constexpr int maxBodyBytes = 512 * 1024;

    /** Deepest nesting of lists and objects accepted in an answer. */
    static constexpr int maxBodyDepth = 32;

    /** Parses an answer's text. The framework's parser recurses once per nesting level and reads a
        number's whole part into a 64-bit integer, so text nested deeper than maxBodyDepth, a whole
        part beyond that integer's range, or text longer than maxBodyBytes is refused before it gets there. */
    static juce::Result parseBody (const juce::String& text, juce::var& result);

    /** The base address joined with an endpoint path by exactly one "/". */
    static juce::String joinAddress (const juce::String& base, const juce::String& endpointPath);

    Response response;
    juce::URL url;
    juce::StringPairArray headers;
    juce::String verb;
    juce::String endpoint;
    juce::DynamicObject fields;

    /** Connection and read time-out in milliseconds; 0 keeps the framework's default. */
    int timeOutMs = 0;
};
