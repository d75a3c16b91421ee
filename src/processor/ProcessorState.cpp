#include "BrindlexAudioProcessor.h"

namespace
{
    juce::String attributeNameOf (const juce::AudioProcessorParameter& parameter)
    {
        return parameter.getName (256).removeCharacters (" ");
    }
}

void BrindlexAudioProcessor::writePresetXml (juce::XmlElement& element)
{
    element.setAttribute ("presetName", presetName);
    element.setAttribute ("majorVersion", 1);
    element.setAttribute ("minorVersion", 2);
    element.setAttribute ("revisionVersion", 0);

    for (auto* parameter : getParameters())
        element.setAttribute (attributeNameOf (*parameter), (double) parameter->getValue());

    if (! writingPresetFile)
    {
        element.setAttribute ("CurrentWidth", (int) currentWidth);
        element.setAttribute ("CurrentHeight", (int) currentHeight);
    }
}

void BrindlexAudioProcessor::readPresetXml (const juce::XmlElement& element)
{
    stateLoadedBeforePrepare = firstPrepare;

    if (! element.getTagName().equalsIgnoreCase ("Brindlex_Preset"))
        return;

    presetName = element.getStringAttribute ("presetName");

    if (! writingPresetFile && juce::Time::getMillisecondCounter() - lastStateLoadTime < 200u)
    {
        if (const int width = element.getIntAttribute ("CurrentWidth"); width > 0)
            currentWidth = width;
        if (const int height = element.getIntAttribute ("CurrentHeight"); height > 0)
            currentHeight = height;
    }

    for (auto* parameter : getParameters())
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
            parameter->setValue ((float) value);
            parameter->sendValueChangedMessageToListeners ((float) value);
        }
    }
}

void BrindlexAudioProcessor::loadPresetFile (const juce::File& file)
{
    if (auto element = juce::parseXML (file))
        if (element->getTagName().equalsIgnoreCase ("Brindlex_Preset"))
            readPresetXml (*element);
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

    if (data == nullptr)
        return;

    if (auto element = getXmlFromBinary (data, sizeInBytes))
        readPresetXml (*element);
}
