#include "BoundedXml.h"
#include <cstring>

namespace BoundedXml
{

bool isAcceptable (const juce::String& text)
{
    if (text.length() > maxLength)
        return false;

    auto p = text.getCharPointer();
    int depth = 0;

    // Moves p just past the next occurrence of the terminator; false when there is none.
    auto skipPast = [&p] (const char* terminator)
    {
        const auto at = p.indexOf (juce::CharPointer_ASCII (terminator));
        if (at < 0)
            return false;

        p += at + (int) std::strlen (terminator);
        return true;
    };

    for (;;)
    {
        const auto c = p.getAndAdvance();

        if (c == 0)
            return true;

        if (c != '<')
            continue;

        if (p.compareUpTo (juce::CharPointer_ASCII ("!--"), 3) == 0)
        {
            if (! skipPast ("-->"))
                return false;
        }
        else if (p.compareUpTo (juce::CharPointer_ASCII ("![CDATA["), 8) == 0)
        {
            if (! skipPast ("]]>"))
                return false;
        }
        else if (*p == '!')
        {
            // A DTD, an entity declaration or anything else of that kind.
            return false;
        }
        else if (*p == '?')
        {
            if (! skipPast ("?>"))
                return false;
        }
        else if (*p == '/')
        {
            if (! skipPast (">"))
                return false;

            // Never below the top level: closing tags cannot buy room for deeper nesting later on.
            depth = juce::jmax (0, depth - 1);
        }
        else
        {
            // An opening tag: up to its '>' outside quotes; one that ends in "/>" closes itself.
            juce::juce_wchar quote = 0, previous = 0;

            for (;;)
            {
                const auto t = p.getAndAdvance();

                if (t == 0)
                    return false;

                if (quote != 0)
                {
                    if (t == quote)
                        quote = 0;
                }
                else if (t == '"' || t == '\'')
                {
                    quote = t;
                }
                else if (t == '>')
                {
                    break;
                }

                previous = t;
            }

            if (previous != '/' && ++depth > maxDepth)
                return false;
        }
    }
}

std::unique_ptr<juce::XmlElement> parse (const juce::String& text)
{
    if (! isAcceptable (text))
        return {};

    return juce::parseXML (text);
}

juce::String readFile (const juce::File& file)
{
    // Four bytes per character at most: a larger file cannot hold an acceptable document.
    if (! file.existsAsFile() || file.getSize() > (juce::int64) maxLength * 4)
        return {};

    return file.loadFileAsString();
}

std::unique_ptr<juce::XmlElement> parse (const juce::File& file)
{
    return parse (readFile (file));
}

}
