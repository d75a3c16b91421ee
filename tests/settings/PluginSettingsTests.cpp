#include <gtest/gtest.h>
#include "MessagePump.h"
#include "settings/PluginSettings.h"
#include "TestSupport.h"

// The settings file and the folder layout, always inside a temporary base folder.
namespace
{
    /** A fresh temporary base folder, removed again at the end of the test. */
    struct TempBase
    {
        TempBase() { folder.createDirectory(); }
        ~TempBase() { folder.deleteRecursively(); }

        juce::String path() const { return folder.getFullPathName(); }
        juce::File settingsFolder() const { return folder.getChildFile ("Corvantis/Settings"); }
        juce::File settingsFile() const { return settingsFolder().getChildFile ("Brindlex.aus"); }

        void createTree() const
        {
            settingsFolder().createDirectory();
            folder.getChildFile ("Corvantis/Presets/Brindlex").createDirectory();
        }

        void writeSettings (const juce::String& xml) const
        {
            settingsFolder().createDirectory();
            const auto utf8 = xml.toStdString();
            ASSERT_TRUE (settingsFile().replaceWithData (utf8.data(), utf8.size()));
        }

        juce::File folder { juce::File::createTempFile ("brindlex-settings") };
    };

    PluginSettings loaded (const TempBase& base)
    {
        PluginSettings settings (base.folder);
        settings.loadPluginSettings();
        return settings;
    }

    juce::String settingsXml (const juce::String& attributes, const juce::String& children = {},
                              const juce::String& tag = "CRVPLG_1198272631_Plugin_Settings")
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + tag + " " + attributes + ">" + children + "</" + tag + ">\n";
    }
}

TEST (PluginSettings, FolderLayoutUnderTheBaseFolder)
{
    TempBase base;
    const auto settings = loaded (base);
    const auto b = base.path();

    EXPECT_EQ (settings.baseFolder, b);
    EXPECT_EQ (settings.defaultSettingsPath, b + "/Corvantis/Settings/");
    EXPECT_EQ (settings.defaultPresetsPath, b + "/Corvantis/Presets/Brindlex/");
    EXPECT_EQ (settings.defaultIrFilesPath, b + "/Corvantis/IRs/Brindlex/");
    EXPECT_EQ (settings.defaultSamplesPath, b + "/Corvantis/Samples/Brindlex/");
    EXPECT_EQ (settings.settingsPath, settings.defaultSettingsPath);
    EXPECT_EQ (settings.presetsPath, settings.defaultPresetsPath);
    EXPECT_EQ (settings.samplesPath, settings.defaultSamplesPath);
    EXPECT_EQ (settings.irFilesPath, settings.defaultIrFilesPath);
    EXPECT_EQ (settings.settingsVersion, 3);
    EXPECT_EQ (settings.settingsFileName, "Brindlex.aus");
    EXPECT_FALSE (settings.newsfeedDisabled);
    EXPECT_FALSE (settings.usingLegacyParameters);
}

TEST (PluginSettings, WithoutTheFolderTreeNothingIsCreated)
{
    TempBase base;
    loaded (base);
    EXPECT_FALSE (base.folder.getChildFile ("Corvantis").exists());
    EXPECT_EQ (base.folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
}

TEST (PluginSettings, FirstStartWritesTheDefaults)
{
    TempBase base;
    base.createTree();
    loaded (base);

    ASSERT_TRUE (base.settingsFile().existsAsFile());
    const auto text = base.settingsFile().loadFileAsString();
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"));

    auto root = juce::parseXML (text);
    ASSERT_NE (root, nullptr);
    EXPECT_EQ (root->getTagName(), "CRVPLG_1198272631_Plugin_Settings");
    EXPECT_EQ (root->getNumChildElements(), 0);

    const auto b = base.path();
    const juce::StringArray names { "pluginName", "settingsVersion", "presetsPath", "samplesPath",
                                    "settingsPath", "irFilesPath", "newsfeedDisabled", "usingLegacyParameters" };
    const juce::StringArray values { "Brindlex", "3", b + "/Corvantis/Presets/Brindlex/", b + "/Corvantis/Samples/Brindlex/",
                                     b + "/Corvantis/Settings/", b + "/Corvantis/IRs/Brindlex/", "0", "0" };
    ASSERT_EQ (root->getNumAttributes(), names.size());
    for (int i = 0; i < names.size(); ++i)
    {
        EXPECT_EQ (root->getAttributeName (i), names[i]);
        EXPECT_EQ (root->getAttributeValue (i), values[i]) << names[i];
    }
}

TEST (PluginSettings, OlderVersionIsUpgradedWithItsValuesKept)
{
    TempBase base;
    base.writeSettings (settingsXml ("pluginName=\"Brindlex\" settingsVersion=\"2\" presetsPath=\"/data/My Presets\" "
                                     "newsfeedDisabled=\"yes\" usingLegacyParameters=\"no\""));
    const auto settings = loaded (base);

    EXPECT_EQ (settings.settingsVersion, 2);
    EXPECT_EQ (settings.presetsPath, "/data/My Presets/");
    EXPECT_EQ (settings.samplesPath, settings.defaultSamplesPath);
    EXPECT_TRUE (settings.newsfeedDisabled);
    EXPECT_FALSE (settings.usingLegacyParameters);

    auto root = juce::parseXML (base.settingsFile());
    ASSERT_NE (root, nullptr);
    EXPECT_EQ (root->getStringAttribute ("settingsVersion"), "3");
    EXPECT_EQ (root->getStringAttribute ("presetsPath"), "/data/My Presets/");
    EXPECT_EQ (root->getStringAttribute ("newsfeedDisabled"), "1");
    EXPECT_EQ (root->getStringAttribute ("usingLegacyParameters"), "0");
    EXPECT_EQ (root->getStringAttribute ("settingsPath"), base.path() + "/Corvantis/Settings/");
}

TEST (PluginSettings, MissingVersionIsRewrittenCurrentVersionIsLeftAlone)
{
    TempBase base;
    const auto current = settingsXml ("pluginName=\"Brindlex\" settingsVersion=\"3\" usingLegacyParameters=\"true\"");
    base.writeSettings (current);
    auto settings = loaded (base);
    EXPECT_TRUE (settings.usingLegacyParameters);
    EXPECT_EQ (base.settingsFile().loadFileAsString(), current);

    base.writeSettings (settingsXml ("pluginName=\"Brindlex\" newsfeedDisabled=\" T\""));
    settings = loaded (base);
    EXPECT_EQ (settings.settingsVersion, 0);
    EXPECT_TRUE (settings.newsfeedDisabled);
    auto root = juce::parseXML (base.settingsFile());
    ASSERT_NE (root, nullptr);
    EXPECT_EQ (root->getStringAttribute ("settingsVersion"), "3");
    EXPECT_EQ (root->getStringAttribute ("newsfeedDisabled"), "1");
}

TEST (PluginSettings, CustomSettingsPassThrough)
{
    TempBase base;
    base.writeSettings (settingsXml ("pluginName=\"Brindlex\" settingsVersion=\"1\"",
                                     "<custom_settings a=\"1.5\" b=\"x\"/>"));
    const auto settings = loaded (base);

    ASSERT_EQ (settings.customSettings.size(), 2);
    EXPECT_EQ (settings.customSettings[0].name, "a");
    EXPECT_DOUBLE_EQ (settings.customSettings[0].value, 1.5);
    EXPECT_EQ (settings.customSettings[0].index, 0);
    EXPECT_EQ (settings.customSettings[1].name, "b");
    EXPECT_DOUBLE_EQ (settings.customSettings[1].value, 0.0);
    EXPECT_EQ (settings.customSettings[1].index, 1);

    auto root = juce::parseXML (base.settingsFile());
    ASSERT_NE (root, nullptr);
    ASSERT_EQ (root->getNumChildElements(), 1);
    auto* custom = root->getChildElement (0);
    EXPECT_EQ (custom->getTagName(), "CUSTOM_SETTINGS");
    ASSERT_EQ (custom->getNumAttributes(), 2);
    EXPECT_EQ (custom->getAttributeName (0), "a");
    EXPECT_EQ (custom->getAttributeValue (0), "1.5");
    EXPECT_EQ (custom->getAttributeName (1), "b");
    EXPECT_DOUBLE_EQ (custom->getAttributeValue (1).getDoubleValue(), 0.0);
    EXPECT_TRUE (custom->getAttributeValue (1).containsOnly ("0.e+-"));
}

TEST (PluginSettings, OlderRootFormIsDeletedAndReplacedByDefaults)
{
    TempBase base;
    base.writeSettings (settingsXml ("pluginName=\"Brindlex\" settingsVersion=\"3\" presetsPath=\"/elsewhere/\" newsfeedDisabled=\"1\"",
                                     {}, "1198272631_Plugin_Settings"));
    const auto settings = loaded (base);

    EXPECT_EQ (settings.presetsPath, settings.defaultPresetsPath);
    EXPECT_FALSE (settings.newsfeedDisabled);

    auto root = juce::parseXML (base.settingsFile());
    ASSERT_NE (root, nullptr);
    EXPECT_EQ (root->getTagName(), "CRVPLG_1198272631_Plugin_Settings");
    EXPECT_EQ (root->getStringAttribute ("presetsPath"), settings.defaultPresetsPath);
    EXPECT_EQ (root->getStringAttribute ("newsfeedDisabled"), "0");
}

TEST (PluginSettings, ForeignFilesAreLeftAlone)
{
    const juce::String foreignFiles[] = {
        settingsXml ("pluginName=\"brindlex\" settingsVersion=\"1\" presetsPath=\"/x/\" newsfeedDisabled=\"1\""),
        settingsXml ("pluginName=\"Other\" presetsPath=\"/x/\""),
        settingsXml ("presetsPath=\"/x/\""),
        settingsXml ("pluginName=\"Brindlex\" presetsPath=\"/x/\"", {}, "Some_Other_Settings"),
        "this is { not xml"
    };

    for (const auto& text : foreignFiles)
    {
        TempBase base;
        base.writeSettings (text);
        const auto settings = loaded (base);
        EXPECT_EQ (settings.presetsPath, settings.defaultPresetsPath) << text;
        EXPECT_FALSE (settings.newsfeedDisabled) << text;
        EXPECT_EQ (base.settingsFile().loadFileAsString(), text);
    }
}

TEST (PluginSettings, RootTagIsMatchedIgnoringCase)
{
    TempBase base;
    base.writeSettings (settingsXml ("pluginName=\"Brindlex\" settingsVersion=\"3\" presetsPath=\"/p\"", {},
                                     "crvplg_1198272631_plugin_settings"));
    EXPECT_EQ (loaded (base).presetsPath, "/p/");
}

TEST (PluginSettings, AnotherSettingsFolderReceivesLaterWrites)
{
    TempBase base;
    const auto other = base.folder.getChildFile ("Other Settings");
    other.createDirectory();
    const auto original = settingsXml ("pluginName=\"Brindlex\" settingsVersion=\"2\" settingsPath=\""
                                       + other.getFullPathName() + "\"");
    base.writeSettings (original);

    auto settings = loaded (base);
    EXPECT_EQ (settings.settingsPath, other.getFullPathName() + "/");
    EXPECT_TRUE (other.getChildFile ("Brindlex.aus").existsAsFile()) << "written inside the folder, not beside it";
    EXPECT_EQ (base.settingsFile().loadFileAsString(), original);
}

TEST (PluginSettings, EveryPathFromTheFileIsAnAbsoluteFolderOrTheDefault)
{
    TempBase base;
    base.createTree();
    const auto folder = base.folder.getChildFile ("Elsewhere").getFullPathName();
    const char* const attributes[] = { "presetsPath", "samplesPath", "settingsPath", "irFilesPath" };
    const struct { juce::String text; bool isDefault; juce::String expected; } cases[] = {
        { folder + "/", false, folder + "/" },
        { folder, false, folder + "/" },
        { "", true, {} },
        { "sub/", true, {} },
        { "Presets", true, {} },
    };

    for (const auto& c : cases)
    {
        for (int a = 0; a < 4; ++a)
        {
            base.writeSettings (settingsXml ("pluginName=\"Brindlex\" settingsVersion=\"3\" " + juce::String (attributes[a])
                                             + "=\"" + c.text + "\""));
            const auto s = loaded (base);
            const juce::String* const read[] = { &s.presetsPath, &s.samplesPath, &s.settingsPath, &s.irFilesPath };
            const juce::String* const defaults[] = { &s.defaultPresetsPath, &s.defaultSamplesPath,
                                                     &s.defaultSettingsPath, &s.defaultIrFilesPath };
            EXPECT_EQ (*read[a], c.isDefault ? *defaults[a] : c.expected) << attributes[a] << " \"" << c.text << "\"";
        }
    }
}

TEST (PluginSettings, NothingIsWrittenIntoTheWorkingFolder)
{
    const auto oldWorkingFolder = juce::File::getCurrentWorkingDirectory();
    const auto workingFolder = juce::File::createTempFile ("brindlex-working");
    workingFolder.getChildFile ("sub").createDirectory();
    ASSERT_TRUE (workingFolder.setAsCurrentWorkingDirectory());

    for (auto* path : { "", "sub/" })
    {
        // The news request fails at once; the cache is then written into the settings folder in use.
        const auto base = juce::File::createTempFile ("brindlex-settings");
        base.getChildFile ("Corvantis/Settings").createDirectory();
        base.getChildFile ("Corvantis/Settings/Brindlex.aus")
            .replaceWithText (settingsXml ("pluginName=\"Brindlex\" settingsVersion=\"2\" settingsPath=\"" + juce::String (path) + "\""));
        {
            BrindlexAudioProcessor p (base, "http://news.invalid/");
            const auto deadline = juce::Time::getMillisecondCounter() + 5000;
            while (! p.newsProcessor.newsReady && juce::Time::getMillisecondCounter() < deadline)
                pumpMessages (20);
            EXPECT_TRUE (p.newsProcessor.newsReady);
        }
        EXPECT_TRUE (base.getChildFile ("Corvantis/Settings/newsfeed.xml").existsAsFile()) << "\"" << path << "\"";
        base.deleteRecursively();
    }

    EXPECT_EQ (workingFolder.findChildFiles (juce::File::findFiles, true).size(), 0);
    oldWorkingFolder.setAsCurrentWorkingDirectory();
    workingFolder.deleteRecursively();
}

TEST (PluginSettings, SaveWritesTheRecord)
{
    TempBase base;
    base.createTree();
    auto settings = loaded (base);
    settings.newsfeedDisabled = true;
    settings.presetsPath = "/new/presets/";
    settings.customSettings.add ({ "gain", 0.25, 0 });
    settings.writePluginSettings();

    const auto reread = loaded (base);
    EXPECT_TRUE (reread.newsfeedDisabled);
    EXPECT_EQ (reread.presetsPath, "/new/presets/");
    ASSERT_EQ (reread.customSettings.size(), 1);
    EXPECT_EQ (reread.customSettings[0].name, "gain");
    EXPECT_DOUBLE_EQ (reread.customSettings[0].value, 0.25);
}

TEST (PluginSettings, ProcessorFollowsTheNewsfeedSwitch)
{
    const auto disabled = settingsXml ("pluginName=\"Brindlex\" settingsVersion=\"3\" newsfeedDisabled=\"1\"");
    TestProcessor off ([&] (const juce::File& base)
    {
        base.getChildFile ("Corvantis/Settings").createDirectory();
        base.getChildFile ("Corvantis/Settings/Brindlex.aus").replaceWithText (disabled);
    });
    EXPECT_TRUE (off->settings.newsfeedDisabled);
    EXPECT_FALSE (off->newsfeedEnabled);

    TestProcessor on;
    EXPECT_TRUE (on->newsfeedEnabled);
    EXPECT_EQ (on->settings.presetsPath, on.folder.getFullPathName() + "/Corvantis/Presets/Brindlex/");
}
