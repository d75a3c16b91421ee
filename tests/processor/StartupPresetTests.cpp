#include <gtest/gtest.h>
#include "processor/BrindlexAudioProcessor.h"
#include "TestSupport.h"

// The preset named "00 - INIT" that a new instance looks for one level below the presets folder.
namespace
{
    constexpr int wetIndex = 59;

    juce::File presetsFolderIn (const juce::File& base)
    {
        return base.getChildFile ("Corvantis/Presets/Brindlex");
    }

    void writePreset (const juce::File& file, const juce::String& name, float wet)
    {
        file.getParentDirectory().createDirectory();
        const auto text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<Brindlex_Preset presetName=\"" + name
                          + "\" majorVersion=\"1\" minorVersion=\"2\" revisionVersion=\"0\"\r\n                 Wet=\""
                          + juce::String (wet) + "\" Drive=\"0.5\"/>\r\n";
        ASSERT_TRUE (file.replaceWithText (text));
    }

    float wetOf (TestProcessor& p) { return p->getParameters()[wetIndex]->getValue(); }
}

TEST (StartupPreset, FoundInASubFolderAppliedAndItsNameEmptied)
{
    TestProcessor p ([] (const juce::File& base)
    {
        writePreset (presetsFolderIn (base).getChildFile ("Factory/00 - INIT.aup"), "00 - INIT", 0.25f);
        writePreset (presetsFolderIn (base).getChildFile ("Factory/Other.aup"), "Other", 0.75f);
    });

    EXPECT_FLOAT_EQ (wetOf (p), 0.25f);
    EXPECT_FLOAT_EQ (p->getParameters()[57]->getValue(), 0.5f);
    // Attributes the file lacks take their defaults.
    EXPECT_FLOAT_EQ (p->getParameters()[58]->getValue(), 1.0f);
    EXPECT_EQ (p->presetName, "");
    EXPECT_EQ (p->currentPresetIndex.load(), 0.0f);
    EXPECT_EQ (p->settings.startupPresetFile, presetsFolderIn (p.folder).getChildFile ("Factory/00 - INIT.aup"));
    EXPECT_TRUE (p->stateLoadedBeforePrepare);

    // The first prepare keeps the start-up values instead of pushing the defaults.
    p->prepareToPlay (44100.0, 128);
    EXPECT_FLOAT_EQ (wetOf (p), 0.25f);
}

TEST (StartupPreset, OnlyOneLevelDownAndOnlyTheExactName)
{
    const std::function<void (const juce::File&)> layouts[] = {
        [] (const juce::File& base) { writePreset (presetsFolderIn (base).getChildFile ("00 - INIT.aup"), "top", 0.25f); },
        [] (const juce::File& base) { writePreset (presetsFolderIn (base).getChildFile ("A/B/00 - INIT.aup"), "deep", 0.25f); },
        [] (const juce::File& base) { writePreset (presetsFolderIn (base).getChildFile ("A/00 - init.aup"), "lower", 0.25f); },
        [] (const juce::File& base) { writePreset (presetsFolderIn (base).getChildFile ("A/00 - INIT.xml"), "ext", 0.25f); },
        [] (const juce::File& base) { writePreset (presetsFolderIn (base).getChildFile ("A/00 - INIT .aup"), "space", 0.25f); },
        [] (const juce::File&) {},
    };

    for (const auto& layout : layouts)
    {
        TestProcessor p (layout);
        EXPECT_FLOAT_EQ (wetOf (p), 0.5f);
        EXPECT_EQ (p->settings.startupPresetFile, juce::File());
        EXPECT_FALSE (p->stateLoadedBeforePrepare);
        EXPECT_EQ (p->presetName, "");
    }
}

TEST (StartupPreset, FirstListedSubFolderWins)
{
    TestProcessor p ([] (const juce::File& base)
    {
        writePreset (presetsFolderIn (base).getChildFile ("A/00 - INIT.aup"), "A", 0.25f);
        writePreset (presetsFolderIn (base).getChildFile ("B/00 - INIT.aup"), "B", 0.75f);
    });

    const auto chosen = p->settings.startupPresetFile;
    ASSERT_TRUE (chosen.existsAsFile());
    const auto firstListed = presetsFolderIn (p.folder).findChildFiles (juce::File::findDirectories, false, "*")[0];
    EXPECT_EQ (chosen.getParentDirectory(), firstListed);
    EXPECT_FLOAT_EQ (wetOf (p), chosen.getParentDirectory().getFileName() == "A" ? 0.25f : 0.75f);
}

TEST (StartupPreset, SearchedInThePresetsFolderTheSettingsFileNames)
{
    TestProcessor p ([] (const juce::File& base)
    {
        const auto custom = base.getChildFile ("My Presets");
        writePreset (custom.getChildFile ("Mine/00 - INIT.aup"), "mine", 0.125f);
        writePreset (presetsFolderIn (base).getChildFile ("Factory/00 - INIT.aup"), "factory", 0.75f);
        base.getChildFile ("Corvantis/Settings").createDirectory();
        base.getChildFile ("Corvantis/Settings/Brindlex.aus")
            .replaceWithText ("<CRVPLG_1198272631_Plugin_Settings pluginName=\"Brindlex\" settingsVersion=\"3\" presetsPath=\""
                              + custom.getFullPathName() + "\"/>");
    });

    EXPECT_FLOAT_EQ (wetOf (p), 0.125f);
}

TEST (StartupPreset, UnreadableStartupPresetLeavesTheDefaults)
{
    TestProcessor p ([] (const juce::File& base)
    {
        const auto file = presetsFolderIn (base).getChildFile ("Factory/00 - INIT.aup");
        file.getParentDirectory().createDirectory();
        file.replaceWithText ("<Something_Else Wet=\"0.1\"/>");
    });

    EXPECT_FLOAT_EQ (wetOf (p), 0.5f);
    for (auto* parameter : p->getParameters())
        EXPECT_FLOAT_EQ (parameter->getValue(), parameter->getDefaultValue());
}

TEST (StartupPreset, RelativePresetsPathIsNotSearched)
{
    // A relative path would name a folder below the host's working folder: put a start-up preset there.
    const auto oldWorkingFolder = juce::File::getCurrentWorkingDirectory();
    const auto workingFolder = juce::File::createTempFile ("brindlex-cwd");
    writePreset (workingFolder.getChildFile ("Presets/A/00 - INIT.aup"), "relative", 0.25f);
    ASSERT_TRUE (workingFolder.setAsCurrentWorkingDirectory());

    {
        TestProcessor p ([] (const juce::File& base)
        {
            base.getChildFile ("Corvantis/Settings").createDirectory();
            base.getChildFile ("Corvantis/Settings/Brindlex.aus")
                .replaceWithText ("<CRVPLG_1198272631_Plugin_Settings pluginName=\"Brindlex\" settingsVersion=\"3\" presetsPath=\"Presets\"/>");
        });

        EXPECT_EQ (p->settings.presetsPath, p->settings.defaultPresetsPath);
        EXPECT_EQ (p->settings.startupPresetFile, juce::File());
        EXPECT_FLOAT_EQ (wetOf (p), 0.5f);
    }

    oldWorkingFolder.setAsCurrentWorkingDirectory();
    workingFolder.deleteRecursively();
}
