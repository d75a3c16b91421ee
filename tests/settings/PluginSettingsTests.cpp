#include <gtest/gtest.h>
#include "settings/PluginSettings.h"

// The settings file and the folder layout, always inside a temporary base folder.
namespace
{
    struct TempBase
    {
        TempBase() { settingsFolder.createDirectory(); }
        ~TempBase() { folder.deleteRecursively(); }

        PluginSettings loaded() const
        {
            PluginSettings settings (folder);
            settings.loadPluginSettings();
            return settings;
        }
        void write (const juce::String& text) const { settingsFile.replaceWithData (text.toRawUTF8(), text.getNumBytesAsUTF8()); }

        juce::File folder { juce::File::createTempFile ("brindlex-settings") };
        juce::File settingsFolder { folder.getChildFile ("Corvantis/Settings") };
        juce::File settingsFile { settingsFolder.getChildFile ("Brindlex.aus") };
    };

    /** tests/data/settings/Brindlex.aus was written by PluginSettings::writePluginSettings with every value away
        from its default and the settings folder "/tmp/brindlex-golden/Settings/"; here that folder is replaced. */
    juce::String goldenSettings (const juce::File& settingsFolder)
    {
        return juce::File (BRINDLEX_TEST_DATA_DIR).getChildFile ("settings/Brindlex.aus").loadFileAsString()
                   .replace ("/tmp/brindlex-golden/Settings/", settingsFolder.getFullPathName() + "/");
    }
}

TEST (PluginSettings, AFileIsReadWholeAndAnOlderOneRewrittenIntoTheSettingsFolderItNames)
{
    const struct { const char* version; bool rewritten; } cases[] = { { "3", false }, { "2", true }, { nullptr, true } };

    for (const auto& c : cases)
    {
        TempBase base;
        const auto other = base.folder.getChildFile ("OtherSettings");
        other.createDirectory();
        const auto current = goldenSettings (other);
        const auto text = c.version == nullptr ? current.replace ("settingsVersion=\"3\" ", "")
                                               : current.replace ("settingsVersion=\"3\"", "settingsVersion=\"" + juce::String (c.version) + "\"");
        base.write (text);

        auto settings = base.loaded();
        EXPECT_EQ (base.settingsFile.loadFileAsString(), text) << "the file read is left alone";
        EXPECT_EQ (other.getChildFile ("Brindlex.aus").existsAsFile(), c.rewritten) << (c.version ? c.version : "no version");

        // Writing the record back gives the current form with every value kept.
        ASSERT_TRUE (settings.writePluginSettings());
        EXPECT_TRUE (juce::parseXML (other.getChildFile ("Brindlex.aus"))->isEquivalentTo (juce::parseXML (current).get(), false));
    }
}

TEST (PluginSettings, OnlyAFreshTreeGetsTheDefaultsWrittenAndForeignFilesAreLeftAlone)
{
    const TempBase fresh, noTree;
    noTree.settingsFolder.getParentDirectory().deleteRecursively();
    noTree.loaded();
    fresh.loaded();
    EXPECT_TRUE (fresh.settingsFile.existsAsFile() && noTree.folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories) == 0);

    // The older root form is replaced by the defaults; any other document is left as it is.
    const auto golden = goldenSettings (fresh.settingsFolder);
    const std::pair<juce::String, bool> files[] = {
        { golden.replace ("CRVPLG_1198272631_Plugin_Settings", "1198272631_Plugin_Settings"), true },
        { golden.replace ("pluginName=\"Brindlex\"", "pluginName=\"brindlex\""), false },
        { golden.replace ("pluginName=\"Brindlex\"", ""), false },
        { golden.replace ("CRVPLG_1198272631_Plugin_Settings", "Some_Other_Settings"), false },
        { "this is { not xml", false },
    };

    for (const auto& [text, replaced] : files)
    {
        const TempBase base;
        base.write (text);
        const auto settings = base.loaded();
        EXPECT_EQ (settings.presetsPath, settings.defaultPresetsPath) << text;
        EXPECT_FALSE (settings.newsfeedDisabled) << text;
        EXPECT_EQ (base.settingsFile.loadFileAsString() != text, replaced) << text;
    }
}

TEST (PluginSettings, EveryPathFromTheFileIsAnAbsoluteFolderOrTheDefault)
{
    TempBase base;
    const auto folder = base.folder.getChildFile ("Elsewhere").getFullPathName();
    const char* const attributes[] = { "presetsPath", "samplesPath", "settingsPath", "irFilesPath" };
    const std::pair<juce::String, juce::String> cases[] = { { folder + "/", folder + "/" }, { folder, folder + "/" },
                                                            { "", {} }, { "sub/", {} }, { "Presets", {} } };

    for (const auto& [text, expected] : cases)
    {
        for (int a = 0; a < 4; ++a)
        {
            base.write ("<CRVPLG_1198272631_Plugin_Settings pluginName=\"Brindlex\" settingsVersion=\"3\" " + juce::String (attributes[a]) + "=\"" + text + "\"/>");
            const auto s = base.loaded();
            const juce::String read[] = { s.presetsPath, s.samplesPath, s.settingsPath, s.irFilesPath };
            const juce::String defaults[] = { s.defaultPresetsPath, s.defaultSamplesPath, s.defaultSettingsPath, s.defaultIrFilesPath };
            EXPECT_EQ (read[a], expected.isEmpty() ? defaults[a] : expected) << attributes[a] << " \"" << text << "\"";
        }
    }

    // Nor does a relative folder set later put the file into the host's working folder.
    const auto previous = juce::File::getCurrentWorkingDirectory();
    base.folder.getChildFile ("sub").createDirectory();
    base.folder.setAsCurrentWorkingDirectory();
    auto settings = base.loaded();
    settings.settingsPath = "sub/";
    EXPECT_FALSE (settings.writePluginSettings());
    previous.setAsCurrentWorkingDirectory();
    EXPECT_FALSE (base.folder.getChildFile ("sub/Brindlex.aus").exists());
}
