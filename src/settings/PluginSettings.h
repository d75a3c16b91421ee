#pragma once

#include <juce_core/juce_core.h>

/** The plug-in's configuration: the folder layout under the shared documents folder, the folders in use,
    two user switches and the named values of the settings file's "CUSTOM_SETTINGS" element.
    The processor owns one record, fills it once at construction and never re-reads the file. */
class PluginSettings
{
public:
    /** One named number carried by the settings file; passed through unchanged from one file to the next. */
    struct CustomSetting
    {
        juce::String name;
        double value = 0.0;
        juce::int32 index = 0;
    };

    /** Without a folder, the layout lies under the system's shared documents folder. Tests pass a folder
        of their own so that they never touch a real user's files. */
    explicit PluginSettings (const juce::File& baseFolderOverride = {});
    ~PluginSettings();

    /** Builds the folder layout and reads the settings file, writing it when it is missing or older
        than this build's version. Never creates a folder and never reports anything. */
    void loadPluginSettings();

    /** Writes the record to settingsPath + settingsFileName. Returns false when the file could not be
        written; start-up ignores that, the settings window reports it. */
    bool writePluginSettings();

    /** The file that writePluginSettings writes to. */
    juce::File settingsFile() const;

    juce::String baseFolder;
    juce::String defaultSettingsPath;
    juce::String defaultPresetsPath;
    juce::String defaultSamplesPath;
    juce::String settingsPath;
    juce::String presetsPath;
    juce::String samplesPath;
    juce::String defaultIrFilesPath;
    juce::String irFilesPath;
    juce::int32 currentSettingsVersion = 3;
    juce::int32 settingsVersion = 0;
    juce::String settingsFileName { "Brindlex.aus" };
    juce::File startupPresetFile;
    bool newsfeedDisabled = false;
    bool usingLegacyParameters = false;
    juce::Array<CustomSetting> customSettings;

    static constexpr const char* companyFolderName = "Corvantis";
    static constexpr const char* productName = "Brindlex";
    static constexpr const char* rootTag = "CRVPLG_1198272631_Plugin_Settings";
    static constexpr const char* olderRootTag = "1198272631_Plugin_Settings";
    static constexpr const char* customSettingsTag = "CUSTOM_SETTINGS";

    /** The rule for every folder read from the settings file: an absolute path, with its trailing separator
        added, or else the default folder. */
    static juce::String folderOrDefault (const juce::String& path, const juce::String& defaultFolder);

private:
    void readSettingsElement (const juce::XmlElement& root);

    juce::File baseFolderOverride;

    JUCE_LEAK_DETECTOR (PluginSettings)
};
