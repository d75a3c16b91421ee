#pragma once

#include <juce_core/juce_core.h>

/** The settings record: folders in use and switches, kept in the settings file. */
struct PluginSettings
{
    explicit PluginSettings (const juce::File& baseFolderForTests = {}) : baseFolder (baseFolderForTests) {}

    void loadPluginSettings() {}

    juce::File baseFolder;
    juce::String settingsFileName;
    juce::String presetsPath;
    juce::File startupPresetFile;
};
