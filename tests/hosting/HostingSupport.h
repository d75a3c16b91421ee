#pragma once

#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

/** Loads the first plug-in type found in a file (VST3) or under an identifier (LV2), as a host's scan does. */
inline std::unique_ptr<juce::AudioPluginInstance> load (juce::AudioPluginFormat& format, const juce::String& fileOrId,
                                                        double sampleRate = 48000.0, int blockSize = 512)
{
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, fileOrId);
    if (types.isEmpty())
        return {};

    juce::String error;
    auto instance = format.createInstanceFromDescription (*types[0], sampleRate, blockSize, error);
    EXPECT_TRUE (error.isEmpty()) << error;
    return instance;
}
