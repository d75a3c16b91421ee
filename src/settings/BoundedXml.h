#pragma once

#include <juce_core/juce_core.h>

/** The one gate in front of the framework's XML parser for every document that comes from outside
    (host states, preset files, the settings file, the news cache).

    The parser recurses once per nesting level and expands DTD entities without limit, so a crafted
    document overflows the stack. Nothing this plug-in writes has a DTD, is nested more than a few
    levels or comes near a megabyte: such documents are refused before the parser sees them. */
namespace BoundedXml
{
    /** Longest document text accepted, in characters. */
    constexpr int maxLength = 1024 * 1024;

    /** Deepest element nesting accepted; the root element is level 1. */
    constexpr int maxDepth = 16;

    /** True when the text is within the bounds and carries no DTD or entity declaration. A single pass
        over the text, with no recursion and no allocation. */
    bool isAcceptable (const juce::String& text);

    /** The parsed document, or nothing when the text is refused or does not parse. */
    std::unique_ptr<juce::XmlElement> parse (const juce::String& text);

    /** The text of a file, or nothing when the file is missing or too large to hold an acceptable document. */
    juce::String readFile (const juce::File& file);

    /** The parsed content of a file, or nothing when the file is missing, refused or does not parse. */
    std::unique_ptr<juce::XmlElement> parse (const juce::File& file);
}
