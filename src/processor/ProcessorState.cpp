#include "BrindlexAudioProcessor.h"
#include "BrindlexVersion.h"
#include "settings/BoundedXml.h"
#include <utility>

namespace
{
    juce::String attributeNameOf (const juce::AudioProcessorParameter& parameter)
    {
        return parameter.getName (256).removeCharacters (" ");
    }
}

std::unique_ptr<juce::XmlElement> BrindlexAudioProcessor::parseHostState (const void* data, int sizeInBytes)
{
    constexpr juce::uint32 magic = 0x21324356;

    if (data == nullptr || sizeInBytes <= 8 || juce::ByteOrder::littleEndianInt (data) != magic)
        return {};

    const auto length = (int) juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4));
    if (length <= 0)
        return {};

    // Text that is not UTF-8 was not written by this plug-in: a damaged state is applied nowhere.
    const auto* text = static_cast<const char*> (data) + 8;
    const int textLength = juce::jmin (sizeInBytes - 8, length);
    if (textLength > BoundedXml::maxLength * 4 || ! juce::CharPointer_UTF8::isValidString (text, textLength))
        return {};

    return parsePresetText (juce::String::fromUTF8 (text, textLength));
}

std::unique_ptr<juce::XmlElement> BrindlexAudioProcessor::parsePresetText (const juce::String& text)
{
    // The framework's reader accepts text that ends inside the opening tag and returns the attributes read
    // so far; applying such a cut-off state would reset every parameter after the cut to its default.
    if (! text.trimEnd().endsWithChar ('>'))
        return {};

    return BoundedXml::parse (text);
}

void BrindlexAudioProcessor::writePresetXml (juce::XmlElement& element)
{
    element.setAttribute ("presetName", playingPreset().name);
    element.setAttribute ("majorVersion", BrindlexVersion::majorNumber);
    element.setAttribute ("minorVersion", BrindlexVersion::minorNumber);
    element.setAttribute ("revisionVersion", BrindlexVersion::revisionNumber);

    for (auto* parameter : getParameters())
        element.setAttribute (attributeNameOf (*parameter), (double) parameter->getValue());

    if (! writingPresetFile)
    {
        element.setAttribute ("CurrentWidth", (int) currentWidth);
        element.setAttribute ("CurrentHeight", (int) currentHeight);
    }
}

bool BrindlexAudioProcessor::readPresetXml (const juce::XmlElement& element)
{
    stateLoadedBeforePrepare = firstPrepare;

    if (! element.getTagName().equalsIgnoreCase ("Brindlex_Preset"))
        return false;

    {
        const juce::ScopedLock sl (presetLock);
        presetName = element.getStringAttribute ("presetName");
    }

    if (! writingPresetFile && juce::Time::getMillisecondCounter() - lastStateLoadTime < 200u)
    {
        if (const int width = element.getIntAttribute ("CurrentWidth"); width > 0)
            currentWidth = width;
        if (const int height = element.getIntAttribute ("CurrentHeight"); height > 0)
            currentHeight = height;
    }

    for (auto* parameter : paramTable)
    {
        const auto attributeName = attributeNameOf (*parameter);
        double value = parameter->getDefaultValue();

        if (element.hasAttribute (attributeName))
        {
            const double stored = element.getStringAttribute (attributeName).getDoubleValue();
            // A non-finite value counts as missing; anything else is kept inside the host's 0..1.
            if (std::isfinite (stored))
                value = juce::jlimit (0.0, 1.0, stored);
        }

        if (! parameterLocks[(size_t) parameter->getParameterIndex()].load (std::memory_order_relaxed))
        {
            parameter->applyOwnValue ((float) value);
            announceApplied (*parameter);
        }
    }

    return true;
}

bool BrindlexAudioProcessor::loadPresetFile (const juce::File& file)
{
    // A foreign element is refused before it is read, so that it counts as no preset applied at all.
    auto element = parsePresetText (BoundedXml::readFile (file));
    if (element == nullptr || ! element->getTagName().equalsIgnoreCase ("Brindlex_Preset") || ! readPresetXml (*element))
        return false;

    rememberPresetFile (file);
    return true;
}

bool BrindlexAudioProcessor::savePresetFile (const juce::File& file)
{
    juce::String previousName;
    {
        const juce::ScopedLock sl (presetLock);
        previousName = std::exchange (presetName, file.getFileNameWithoutExtension());
    }

    juce::XmlElement element ("Brindlex_Preset");
    writingPresetFile = true;
    writePresetXml (element);
    writingPresetFile = false;

    if (! element.writeTo (file, juce::XmlElement::TextFormat()))
    {
        const juce::ScopedLock sl (presetLock);
        presetName = previousName;
        return false;
    }

    rememberPresetFile (file);
    return true;
}

void BrindlexAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    juce::XmlElement element ("Brindlex_Preset");
    writePresetXml (element);
    copyXmlToBinary (element, destData);
}

void BrindlexAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    lastStateLoadTime = juce::Time::getMillisecondCounter();

    if (auto element = parseHostState (data, sizeInBytes))
    {
        // A state holds only a preset's name: the file that played before no longer tells what plays.
        if (readPresetXml (*element))
        {
            const juce::ScopedLock sl (presetLock);
            presetFile = juce::File();
            hostStateCount.fetch_add (1, std::memory_order_release);
        }

        // The wrappers drop what a plug-in announces while its state is being set: the host hears the
        // restored values with the next block.
        announceAllLater();
    }
}

void BrindlexAudioProcessor::rememberPresetFile (const juce::File& file)
{
    const juce::ScopedLock sl (presetLock);
    presetFile = file;
}

BrindlexAudioProcessor::PlayingPreset BrindlexAudioProcessor::playingPreset() const
{
    const juce::ScopedLock sl (presetLock);
    return { presetName, presetFile, hostStateCount.load (std::memory_order_relaxed) };
}
