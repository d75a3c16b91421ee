#include "JsonWebRequest.h"

#include <limits>

void JsonWebRequest::Cancellation::cancel()
{
    const juce::ScopedLock sl (lock);
    cancelled = true;

    if (openStream != nullptr)
        openStream->cancel();
}

bool JsonWebRequest::Cancellation::isCancelled() const
{
    const juce::ScopedLock sl (lock);
    return cancelled;
}

bool JsonWebRequest::Cancellation::attach (juce::WebInputStream& stream)
{
    const juce::ScopedLock sl (lock);

    if (cancelled)
        return false;

    openStream = &stream;
    return true;
}

void JsonWebRequest::Cancellation::detach()
{
    const juce::ScopedLock sl (lock);
    openStream = nullptr;
}

//==============================================================================
namespace
{
    /** Names in the reserved "invalid" domain never resolve. A request for one fails at once, like
        any name that does not resolve, without asking a name server or a proxy: a lookup that is
        never answered would otherwise hold up the plug-in's deletion for many seconds. */
    bool isInReservedInvalidDomain (const juce::URL& address)
    {
        const auto host = address.getDomain().trimCharactersAtEnd (".").toLowerCase();
        return host == "invalid" || host.endsWith (".invalid");
    }

    /** Refuses what the framework's parser cannot take safely: lists and objects nested deeper than
        the limit (it recurses once per level), and runs of digits beyond the largest 64-bit integer
        (it reads a number's whole part into one, which would overflow). Digits after a decimal point
        are exempt: the parser reads those as a double. Strings, which the parser also accepts in
        single quotes, are skipped. */
    juce::Result checkForm (const juce::String& text, int depthLimit)
    {
        constexpr auto largest = std::numeric_limits<juce::int64>::max();
        const auto isDigit = [] (juce::juce_wchar c) { return c >= '0' && c <= '9'; };
        int depth = 0;
        juce::int64 whole = 0;
        bool fraction = false;
        juce::juce_wchar quote = 0, previous = 0;

        for (auto p = text.getCharPointer(); ! p.isEmpty();)
        {
            const auto c = p.getAndAdvance();

            if (quote != 0)
            {
                if (c == '\\' && ! p.isEmpty())
                    ++p;
                else if (c == quote)
                    quote = 0;
            }
            else if (isDigit (c))
            {
                if (! isDigit (previous))
                {
                    fraction = previous == '.';
                    whole = 0;
                }

                if (! fraction)
                {
                    const int digit = (int) (c - '0');

                    if (whole > (largest - digit) / 10)
                        return juce::Result::fail ("Answer holds a number too long");

                    whole = whole * 10 + digit;
                }
            }
            else if (c == '"' || c == '\'')
            {
                quote = c;
            }
            else if (c == '[' || c == '{')
            {
                if (++depth > depthLimit)
                    return juce::Result::fail ("Answer nested too deeply");
            }
            else if (c == ']' || c == '}')
            {
                depth = juce::jmax (0, depth - 1);
            }

            previous = c;
        }

        return juce::Result::ok();
    }
}

juce::Result JsonWebRequest::parseBody (const juce::String& text, juce::var& result)
{
    result = juce::var();

    if (text.getNumBytesAsUTF8() > (size_t) maxBodyBytes)
        return juce::Result::fail ("Answer too large");

    if (const auto form = checkForm (text, maxBodyDepth); form.failed())
        return form;

    return juce::JSON::parse (text, result);
}

JsonWebRequest::JsonWebRequest (const juce::String& baseAddress)
    : url (baseAddress)
{
}

JsonWebRequest& JsonWebRequest::header (const juce::String& key, const juce::String& value)
{
    headers.set (key, value);
    return *this;
}

JsonWebRequest JsonWebRequest::get (const juce::String& endpointToUse) const
{
    auto copy = *this;
    copy.verb = "GET";
    copy.endpoint = endpointToUse;
    return copy;
}

juce::String JsonWebRequest::headersToString (const juce::StringPairArray& pairs)
{
    juce::String text;

    for (const auto& key : pairs.getAllKeys())
        text << key << ": " << pairs[key] << "\n";

    return text;
}

juce::String JsonWebRequest::joinAddress (const juce::String& base, const juce::String& endpointPath)
{
    auto joined = base;

    if (joined.isEmpty() || ! joined.endsWithChar ('/'))
        joined << "/";

    joined << (endpointPath.startsWithChar ('/') ? endpointPath.substring (1) : endpointPath);
    return joined;
}

JsonWebRequest::Response JsonWebRequest::execute (Cancellation* cancellation)
{
    auto target = juce::URL (joinAddress (url.toString (true), endpoint));
    const bool hasBody = fields.getProperties().size() > 0;

    if (hasBody)
    {
        juce::MemoryOutputStream json;
        fields.writeAsJSON (json, 0, false, 20);
        target = target.withPOSTData (json.getMemoryBlock());
    }

    juce::WebInputStream stream (target, hasBody);

    const auto headerBlock = headersToString (headers);
    if (headerBlock.isNotEmpty())
        stream.withExtraHeaders (headerBlock);

    if (timeOutMs != 0)
        stream.withConnectionTimeout (timeOutMs);

    if (verb.isNotEmpty())
        stream.withCustomRequestCommand (verb);

    stream.withNumRedirectsToFollow (5);

    // Every exchange replaces the status and headers of the last one, also when it never reaches
    // the server: such a stream reports no status of its own (-1), which reads as 0.
    bool opened = false;
    response.status = 0;
    response.headers.clear();

    if (! isInReservedInvalidDomain (target) && (cancellation == nullptr || cancellation->attach (stream)))
    {
        opened = stream.connect (nullptr) && ! stream.isError();
        response.status = juce::jmax (0, stream.getStatusCode());
        response.headers = stream.getResponseHeaders();
    }

    if (! opened)
    {
        response.result = juce::Result::fail ("HTTP request failed, check your internet connection");
    }
    else
    {
        // One byte more than the limit is enough to tell an answer that is too large.
        juce::MemoryBlock data;
        stream.readIntoMemoryBlock (data, (ssize_t) maxBodyBytes + 1);

        if (data.getSize() > (size_t) maxBodyBytes)
        {
            response.bodyAsString.clear();
            response.body = juce::var();
            response.result = juce::Result::fail ("Answer too large");
        }
        else
        {
            response.bodyAsString = juce::String::createStringFromData (data.getData(), (int) data.getSize());
            response.result = parseBody (response.bodyAsString, response.body);
        }
    }

    if (cancellation != nullptr)
        cancellation->detach();

    return response;
}
