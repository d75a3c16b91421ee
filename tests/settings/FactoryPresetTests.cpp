#include <gtest/gtest.h>
#include <cstdlib>
#include "processor/BrindlexAudioProcessor.h"
#include "TestSupport.h"

// The factory presets shipped in resources/presets and the installer that puts them in place.
namespace
{
    juce::File repositoryRoot()
    {
        return juce::File (BRINDLEX_TEST_DATA_DIR).getParentDirectory().getParentDirectory();
    }

    juce::File factoryFolder()
    {
        return repositoryRoot().getChildFile ("resources/presets/Factory");
    }

    juce::Array<juce::File> factoryPresets()
    {
        auto files = factoryFolder().findChildFiles (juce::File::findFiles, false, "*.aup");
        files.sort();
        return files;
    }

    /** The preset's parameter values by name, read from the file itself. */
    struct PresetValues
    {
        explicit PresetValues (const juce::File& file) : element (juce::parseXML (file)) {}

        float normalised (const juce::String& parameterName) const
        {
            return (float) element->getDoubleAttribute (parameterName.removeCharacters (" "), -1.0);
        }

        std::unique_ptr<juce::XmlElement> element;
    };

    /** Plain value of a preset's parameter, through the parameter's own range. */
    float plain (BrindlexAudioProcessor& p, const PresetValues& values, const juce::String& name)
    {
        for (auto* parameter : p.paramTable)
            if (parameter->getName (100) == name)
                return parameter->getRange().convertFrom0to1 (values.normalised (name));
        ADD_FAILURE() << "no parameter " << name;
        return 0.0f;
    }

    juce::String divisionOf (BrindlexAudioProcessor& p, const PresetValues& values, const juce::String& timeName)
    {
        return p.syncDivisionNames[(int) (28.0f * values.normalised (timeName))];
    }
}

TEST (FactoryPresets, EveryFileIsAPresetTheEditorCouldHaveSaved)
{
    TestProcessor p;
    const auto files = factoryPresets();
    ASSERT_GE (files.size(), 6);

    for (const auto& file : files)
    {
        SCOPED_TRACE (file.getFileName().toStdString());
        const auto text = file.loadFileAsString();
        EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"));
        EXPECT_TRUE (text.trimEnd().endsWith ("/>"));

        auto element = juce::parseXML (text);
        ASSERT_NE (element, nullptr);
        EXPECT_EQ (element->getTagName(), "Brindlex_Preset");
        ASSERT_EQ (element->getNumAttributes(), 68);
        EXPECT_EQ (element->getStringAttribute ("presetName"), file.getFileNameWithoutExtension());
        EXPECT_EQ (element->getStringAttribute ("majorVersion"), "1");
        EXPECT_EQ (element->getStringAttribute ("minorVersion"), "2");
        EXPECT_EQ (element->getStringAttribute ("revisionVersion"), "0");

        for (int i = 0; i < 64; ++i)
        {
            EXPECT_EQ (element->getAttributeName (4 + i), p->getParameters()[i]->getName (256).removeCharacters (" "));
            const double v = element->getAttributeValue (4 + i).getDoubleValue();
            EXPECT_TRUE (v >= 0.0 && v <= 1.0) << element->getAttributeName (4 + i);
        }

        // Loading it sets exactly the stored values.
        p->loadPresetFile (file);
        EXPECT_EQ (p->presetName, file.getFileNameWithoutExtension());
        for (int i = 0; i < 64; ++i)
            EXPECT_FLOAT_EQ (p->getParameters()[i]->getValue(), (float) element->getAttributeValue (4 + i).getDoubleValue());
    }
}

TEST (FactoryPresets, InitHoldsEveryDefault)
{
    TestProcessor p;
    const auto file = factoryFolder().getChildFile ("00 - INIT.aup");
    ASSERT_TRUE (file.existsAsFile());
    const PresetValues values (file);
    ASSERT_NE (values.element, nullptr);

    for (auto* parameter : p->paramTable)
        EXPECT_FLOAT_EQ (values.normalised (parameter->getName (100)), parameter->getDefaultValue()) << parameter->getName (100);

    EXPECT_FLOAT_EQ (plain (*p, values, "L1 Tap Time"), 883.0f);
    EXPECT_FLOAT_EQ (plain (*p, values, "Wet"), 50.0f);
}

TEST (FactoryPresets, MusicalPresetsDoWhatTheirNamesSay)
{
    TestProcessor p;
    auto values = [] (const char* name) { return PresetValues (factoryFolder().getChildFile (juce::String (name) + ".aup")); };

    const auto dotted = values ("01 - Dotted Eighth");
    ASSERT_NE (dotted.element, nullptr);
    for (auto* tap : { "L1 Tap", "R1 Tap", "LFB Tap", "RFB Tap" })
    {
        EXPECT_EQ (dotted.normalised (juce::String (tap) + " Sync"), 1.0f) << tap;
        EXPECT_EQ (divisionOf (*p, dotted, juce::String (tap) + " Time"), "1/8d") << tap;
    }
    EXPECT_FLOAT_EQ (plain (*p, dotted, "L2 Tap Level"), -60.0f);
    EXPECT_GT (plain (*p, dotted, "L Feedback"), 0.0f);

    const auto pingPong = values ("02 - Ping Pong Cross");
    ASSERT_NE (pingPong.element, nullptr);
    EXPECT_EQ (pingPong.normalised ("LFB Tap Mode"), 1.0f);
    EXPECT_EQ (pingPong.normalised ("RFB Tap Mode"), 1.0f);
    EXPECT_EQ (divisionOf (*p, pingPong, "L1 Tap Time"), "1/4");
    EXPECT_EQ (divisionOf (*p, pingPong, "R1 Tap Time"), "1/2");
    EXPECT_FLOAT_EQ (plain (*p, pingPong, "L1 Tap Pan"), -100.0f);
    EXPECT_FLOAT_EQ (plain (*p, pingPong, "R1 Tap Pan"), 100.0f);

    const auto multiTap = values ("03 - Modulated Multi-Tap");
    ASSERT_NE (multiTap.element, nullptr);
    for (auto* tap : { "L1", "L2", "L3", "R1", "R2", "R3" })
    {
        EXPECT_EQ (multiTap.normalised (juce::String (tap) + " Tap Sync"), 0.0f);
        EXPECT_LT (plain (*p, multiTap, juce::String (tap) + " Tap Time"), 200.0f);
        EXPECT_GT (plain (*p, multiTap, juce::String (tap) + " Tap Mod"), 0.0f);
        EXPECT_GT (plain (*p, multiTap, juce::String (tap) + " Tap Level"), -60.0f);
    }
    EXPECT_NEAR (plain (*p, multiTap, "L1 Tap Time"), 45.0f, 0.01f);

    const auto tape = values ("04 - Dark Tape Echo");
    ASSERT_NE (tape.element, nullptr);
    EXPECT_GT (plain (*p, tape, "Drive"), 0.0f);
    EXPECT_GT (plain (*p, tape, "LFB Hi Damp"), 50.0f);
    EXPECT_LT (plain (*p, tape, "HF Cut"), 5000.0f);
    EXPECT_EQ ((int) plain (*p, tape, "LMOD Shape"), 10);   // smooth random

    const auto freeze = values ("06 - Loop Freeze");
    ASSERT_NE (freeze.element, nullptr);
    EXPECT_EQ (freeze.normalised ("Loop Mode"), 1.0f);
    EXPECT_EQ (freeze.normalised ("Loop Reverse"), 0.0f);
    EXPECT_NEAR (plain (*p, freeze, "Loop Speed"), 100.0f, 0.01f);

    const auto reverse = values ("07 - Reverse Half-Speed Loop");
    ASSERT_NE (reverse.element, nullptr);
    EXPECT_EQ (reverse.normalised ("Loop Reverse"), 1.0f);
    EXPECT_NEAR (plain (*p, reverse, "Loop Speed"), 50.0f, 0.01f);
}

TEST (FactoryPresets, InstallerLaysOutTheTreeAndAFreshInstanceStartsFromInit)
{
    const auto shared = juce::File::createTempFile ("brindlex-shared");
    ASSERT_TRUE (shared.createDirectory());

    const auto script = repositoryRoot().getChildFile ("scripts/install-presets.sh");
    const auto command = "BRINDLEX_SHARED_DOCUMENTS='" + shared.getFullPathName() + "' bash '"
                         + script.getFullPathName() + "' > /dev/null";
    ASSERT_EQ (std::system (command.toRawUTF8()), 0);

    for (auto* folder : { "Corvantis/Settings", "Corvantis/Presets/Brindlex", "Corvantis/IRs/Brindlex", "Corvantis/Samples/Brindlex" })
        EXPECT_TRUE (shared.getChildFile (folder).isDirectory()) << folder;
    EXPECT_EQ (shared.getChildFile ("Corvantis/Presets/Brindlex/Factory").getNumberOfChildFiles (juce::File::findFiles, "*.aup"),
               factoryPresets().size());

    {
        juce::ScopedJuceInitialiser_GUI juceInit;
        BrindlexAudioProcessor processor (shared);

        EXPECT_EQ (processor.settings.startupPresetFile,
                   shared.getChildFile ("Corvantis/Presets/Brindlex/Factory/00 - INIT.aup"));
        EXPECT_TRUE (processor.stateLoadedBeforePrepare);
        EXPECT_EQ (processor.presetName, "");
        for (auto* parameter : processor.getParameters())
            EXPECT_FLOAT_EQ (parameter->getValue(), parameter->getDefaultValue());

        // The first start wrote the settings file into the installed tree.
        EXPECT_TRUE (shared.getChildFile ("Corvantis/Settings/Brindlex.aus").existsAsFile());
    }

    shared.deleteRecursively();
}
