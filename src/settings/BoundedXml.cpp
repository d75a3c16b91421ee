#include "BoundedXml.h"
#include <cstring>
#include <utility>

namespace BoundedXml
{

bool isAcceptable (const juce::String& text)
{
    if (text.length() > maxLength)
        return false;

    auto p = text.getCharPointer();
    int depth = 0;
    bool rootOpened = false;
    bool onlyWhitespaceSoFar = true;

    // Moves p just past the next occurrence of the terminator; false when there is none.
    auto skipPast = [&p] (const char* terminator)
    {
        const auto at = p.indexOf (juce::CharPointer_ASCII (terminator));
        if (at < 0)
            return false;

        p += at + (int) std::strlen (terminator);
        return true;
    };

    // Moves p just past the '>' that ends a tag. Quotes must pair up and no '<' may come first: the
    // framework's parser reads such a tag as text or as the start of another element, and a document
    // made of those can keep it busy for seconds on a few hundred bytes.
    auto skipPastTag = [&p] (juce::juce_wchar& last)
    {
        juce::juce_wchar quote = 0;

        for (;;)
        {
            const auto t = p.getAndAdvance();

            if (t == 0 || t == '<')
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
                return true;
            }

            last = t;
        }
    };

    for (;;)
    {
        const auto c = p.getAndAdvance();

        if (c == 0)
            return rootOpened && depth == 0;

        if (c != '<')
        {
            if (! juce::CharacterFunctions::isWhitespace (c))
            {
                // Text before the root element or after it closes.
                if (depth == 0)
                    return false;

                onlyWhitespaceSoFar = false;
            }

            continue;
        }

        const bool atStart = std::exchange (onlyWhitespaceSoFar, false);

        if (p.compareUpTo (juce::CharPointer_ASCII ("!--"), 3) == 0)
        {
            if (! skipPast ("-->"))
                return false;
        }
        else if (p.compareUpTo (juce::CharPointer_ASCII ("![CDATA["), 8) == 0)
        {
            if (depth == 0 || ! skipPast ("]]>"))
                return false;
        }
        else if (*p == '!')
        {
            // A DTD, an entity declaration or anything else of that kind.
            return false;
        }
        else if (*p == '?')
        {
            // The XML declaration, only at the very start.
            juce::juce_wchar last = 0;
            if (! atStart || ! skipPastTag (last) || last != '?')
                return false;
        }
        else if (*p == '/')
        {
            juce::juce_wchar last = 0;
            if (depth == 0 || ! skipPastTag (last))
                return false;

            --depth;
        }
        else
        {
            // An opening tag; one that ends in "/>" closes itself. A second root is refused.
            juce::juce_wchar last = 0;
            if ((depth == 0 && rootOpened) || ! skipPastTag (last))
                return false;

            rootOpened = true;

            if (last != '/' && ++depth > maxDepth)
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

    juce::MemoryBlock bytes;
    if (! file.loadFileAsData (bytes))
        return {};

    // The framework's strings and its parser trust their UTF-8: a byte sequence that is not would be
    // read past its end. Nothing this plug-in writes is anything else.
    const auto* data = static_cast<const char*> (bytes.getData());
    const auto size = (int) bytes.getSize();
    if (! juce::CharPointer_UTF8::isValidString (data, size))
        return {};

    return juce::String::createStringFromData (data, size);
}

std::unique_ptr<juce::XmlElement> parse (const juce::File& file)
{
    return parse (readFile (file));
}

}
