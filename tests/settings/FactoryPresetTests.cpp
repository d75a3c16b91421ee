#include <gtest/gtest.h>
#include <cstdlib>
#include "processor/BrindlexAudioProcessor.h"
#include "TestSupport.h"

// The factory presets shipped in resources/presets and the installer that puts them in place.
namespace
{
    const auto repositoryRoot = juce::File (BRINDLEX_TEST_DATA_DIR).getParentDirectory().getParentDirectory();
    const auto factoryPresets = repositoryRoot.getChildFile ("resources/presets/Factory").findChildFiles (juce::File::findFiles, false, "*.aup");
}

TEST (FactoryPresets, EveryFileLoadsWithItsNameAndExactlyItsStoredValues)
{
    TestProcessor p;
    ASSERT_GE (factoryPresets.size(), 6);

    for (const auto& file : factoryPresets)
    {
        SCOPED_TRACE (file.getFileName().toStdString());
        const auto element = juce::parseXML (file);
        ASSERT_NE (element, nullptr);
        p->loadPresetFile (file);
        EXPECT_EQ (p->presetName, file.getFileNameWithoutExtension());

        for (auto* parameter : p->getParameters())
        {
            const auto name = parameter->getName (256).removeCharacters (" ");
            ASSERT_TRUE (element->hasAttribute (name)) << name;
            EXPECT_FLOAT_EQ (parameter->getValue(), (float) element->getDoubleAttribute (name)) << name;
        }
    }
}

TEST (FactoryPresets, InstallerLaysOutTheTreeAndAFreshInstanceStartsFromInit)
{
    const auto shared = juce::File::createTempFile ("brindlex-shared");
    ASSERT_TRUE (shared.createDirectory());

    const auto command = "BRINDLEX_SHARED_DOCUMENTS='" + shared.getFullPathName() + "' bash '"
                         + repositoryRoot.getChildFile ("scripts/install-presets.sh").getFullPathName() + "' > /dev/null";
    ASSERT_EQ (std::system (command.toRawUTF8()), 0);

    {
        juce::ScopedJuceInitialiser_GUI juceInit;
        BrindlexAudioProcessor processor (shared);

        EXPECT_EQ (processor.settings.startupPresetFile,
                   shared.getChildFile ("Corvantis/Presets/Brindlex/Factory/00 - INIT.aup"));
        EXPECT_EQ (juce::File (processor.settings.presetsPath).getChildFile ("Factory")
                       .getNumberOfChildFiles (juce::File::findFiles, "*.aup"), factoryPresets.size());
        EXPECT_EQ (processor.presetName, "");
        for (auto* parameter : processor.getParameters())
            EXPECT_FLOAT_EQ (parameter->getValue(), parameter->getDefaultValue()) << parameter->getName (100);

        // The first start wrote the settings file into the installed tree.
        EXPECT_TRUE (shared.getChildFile ("Corvantis/Settings/Brindlex.aus").existsAsFile());
    }

    shared.deleteRecursively();
}
