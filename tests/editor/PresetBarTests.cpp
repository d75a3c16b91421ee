#include "MessagePump.h"
#include "EditorTestSupport.h"
#include "FakeEditorDialogs.h"

// The preset bar, the preset browser and the logo menu, driven through the real editor over real preset files.
namespace
{
    const char* const presetNames[] = { "00 - INIT", "01 - One", "02 - Two", "03 - Three", "04 - Four" };

    float wetOfPreset (int index) { return 0.1f + 0.2f * (float) index; }

    juce::File presetsFolderIn (const juce::File& base) { return base.getChildFile ("Corvantis/Presets/Brindlex"); }

    void writePresets (const juce::File& base)
    {
        for (int i = 0; i < 5; ++i)
        {
            const auto file = presetsFolderIn (base).getChildFile ("Factory").getChildFile (juce::String (presetNames[i]) + ".aup");
            file.getParentDirectory().createDirectory();
            file.replaceWithText ("<Brindlex_Preset presetName=\"" + juce::String (presetNames[i]) + "\" Wet=\""
                                  + juce::String (wetOfPreset (i)) + "\"/>");
        }
    }
}

class PresetBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        owner.reset (processor->createEditorIfNeeded());
        editor = dynamic_cast<BrindlexAudioProcessorEditor*> (owner.get());
        ASSERT_NE (editor, nullptr);
        editor->dialogs.reset (dialogs = new FakeEditorDialogs());
        settle();
    }

    void TearDown() override
    {
        processor->editorBeingDeleted (owner.get());
        owner.reset();
    }

    /** Lets the browser's asynchronous change messages arrive. */
    static void settle() { pumpMessages (30); }

    void click (std::unique_ptr<KT_TextButton>& button)
    {
        editor->buttonClicked (button.get());
        settle();
    }

    juce::AudioProcessorParameter* parameter (const juce::String& id)
    {
        for (auto* p : processor->getParameters())
            if (auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (p); withId->paramID == id)
                return p;

        ADD_FAILURE() << "no parameter " << id;
        return nullptr;
    }

    float wet() { return parameter ("WET")->getValue(); }

    void expectSelected (int index)
    {
        EXPECT_EQ (editor->presetMenu.currentIndex, index);
        EXPECT_EQ (editor->presetMenu.getText(), editor->presetMenu.nameAt (index));
        EXPECT_EQ (processor->currentPresetIndex.load(), (float) index);
    }

    TestProcessor processor { writePresets };
    std::unique_ptr<juce::AudioProcessorEditor> owner;
    BrindlexAudioProcessorEditor* editor = nullptr;
    FakeEditorDialogs* dialogs = nullptr;
};

TEST_F (PresetBarTest, OpensOnTheInitPresetInAReadableColour)
{
    expectSelected (0);
    EXPECT_EQ (editor->presetMenu.getText(), "00 - INIT");
    EXPECT_EQ (editor->presetMenu.presetNames.size(), 5);

    // "Default" with nothing selected is drawn in the box's text colour, not the look-and-feel's dark default.
    editor->presetMenu.setText ({}, juce::dontSendNotification);
    editor->presetMenu.setBounds (0, 0, 225, 27);
    const auto image = editor->presetMenu.createComponentSnapshot (editor->presetMenu.getLocalBounds());
    float brightest = 0.0f;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            brightest = juce::jmax (brightest, image.getPixelAt (x, y).getBrightness() * image.getPixelAt (x, y).getFloatAlpha());
    EXPECT_GT (brightest, 0.35f);
}

TEST_F (PresetBarTest, PreviousAndNextWrapAndLoadThroughTheBrowser)
{
    click (editor->prevButton);
    expectSelected (4);
    EXPECT_NEAR (wet(), wetOfPreset (4), 1e-6f);
    EXPECT_EQ (editor->currentPresetName, "04 - Four");

    click (editor->nextButton);
    expectSelected (0);
    EXPECT_NEAR (wet(), wetOfPreset (0), 1e-6f);
}

TEST_F (PresetBarTest, AChoiceInTheBrowserMenuLoadsThatFile)
{
    corvantis::KT_PresetMenu::menuCallback (3, &editor->presetMenu);
    settle();
    expectSelected (2);
    EXPECT_NEAR (wet(), wetOfPreset (2), 1e-6f);

    // Dismissed: nothing changes.
    corvantis::KT_PresetMenu::menuCallback (0, &editor->presetMenu);
    settle();
    expectSelected (2);
}

TEST_F (PresetBarTest, SaveWritesAPresetWithoutEditorSizeListsAndSelectsIt)
{
    // Typed without the extension, as a user may: the preset still gets it, or the browser would not list it.
    const auto target = juce::File (processor->settings.presetsPath).getChildFile ("My Echo.aup");
    dialogs->fileToChoose = target.withFileExtension ({});
    parameter ("WET")->setValue (0.33f);
    click (editor->saveButton);

    EXPECT_EQ (dialogs->chooserTitles, juce::StringArray ("Save Preset"));
    const auto xml = juce::parseXML (target);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "Brindlex_Preset");
    EXPECT_EQ (xml->getNumAttributes(), 68);
    EXPECT_FALSE (xml->hasAttribute ("CurrentWidth") || xml->hasAttribute ("CurrentHeight"));
    EXPECT_NEAR (xml->getDoubleAttribute ("Wet"), 0.33, 1e-6);

    EXPECT_EQ (processor->presetName, "My Echo");
    const int index = editor->presetMenu.presetNames.indexOf ("My Echo");
    ASSERT_GE (index, 0);
    expectSelected (index);
    EXPECT_TRUE (dialogs->messages.empty());
}

TEST_F (PresetBarTest, ACancelledSaveWritesNothingAndAFailedOneSaysSo)
{
    const auto before = editor->presetMenu.presetNames;
    click (editor->saveButton);
    EXPECT_EQ (editor->presetMenu.presetNames, before);

    const auto unwritable = processor.folder.getChildFile ("missing/Lost.aup");
    dialogs->fileToChoose = unwritable;
    click (editor->saveButton);

    EXPECT_FALSE (unwritable.exists());
    ASSERT_EQ (dialogs->messages.size(), 1u);
    EXPECT_TRUE (dialogs->messages[0].message.contains ("Lost.aup"));
    EXPECT_TRUE (dialogs->messages[0].message.contains ("not saved"));
    EXPECT_EQ (editor->presetMenu.presetNames, before);
    expectSelected (0);
    EXPECT_NE (processor->presetName, "Lost");
}

TEST_F (PresetBarTest, DeleteOfTheFirstOfThreeMovesToTheLastAndCancelKeepsTheFile)
{
    for (int i = 3; i < 5; ++i)
        juce::File (editor->presetMenu.pathAt (i)).deleteFile();
    editor->presetMenu.setPresetFolder (processor->settings.presetsPath);
    const juce::File first (editor->presetMenu.pathAt (0));

    dialogs->answerOk = false;
    click (editor->delButton);
    EXPECT_TRUE (first.existsAsFile());

    dialogs->answerOk = true;
    click (editor->delButton);
    ASSERT_EQ (dialogs->questions.size(), 2u);
    EXPECT_EQ (dialogs->questions[1].message, "Do you want to permanently delete 00 - INIT?");
    EXPECT_FALSE (first.exists());
    EXPECT_EQ (editor->presetMenu.presetNames, juce::StringArray ({ "01 - One", "02 - Two" }));
    expectSelected (1);
    EXPECT_NEAR (wet(), wetOfPreset (2), 1e-6f);
}

TEST_F (PresetBarTest, AFailedDeleteSaysSoAndChangesNothing)
{
    // A folder now stands where the preset was, with a file in it: the preset cannot be removed.
    const juce::File current (editor->presetMenu.pathAt (0));
    current.deleteFile();
    current.getChildFile ("keep").create();

    const auto before = editor->presetMenu.presetNames;
    click (editor->delButton);

    ASSERT_EQ (dialogs->messages.size(), 1u);
    EXPECT_TRUE (dialogs->messages[0].message.contains ("00 - INIT.aup"));
    EXPECT_TRUE (dialogs->messages[0].message.contains ("not deleted"));
    EXPECT_EQ (editor->presetMenu.presetNames, before);
    expectSelected (0);
}

TEST_F (PresetBarTest, RandomKeepsLockedLoopAndLinkValuesAndEndsSyncSwitchesOnOrOff)
{
    const juce::StringArray kept { "L1TIME", "LINK", "LOOP", "LPSPEED", "LPREV" };
    const juce::StringArray syncs { "L1SYNC", "L2SYNC", "L3SYNC", "R1SYNC", "R2SYNC",
                                    "R3SYNC", "LFSYNC", "RFSYNC", "LMSYNC", "RMSYNC" };

    auto* l1Time = parameter ("L1TIME");
    processor->parameterLocks[(size_t) l1Time->getParameterIndex()] = true;
    for (auto* knob : editor->knobList)
        knob->locked = knob->paramIndex == l1Time->getParameterIndex();
    for (auto* slider : editor->sliderList)
        slider->locked = slider->paramIndex == l1Time->getParameterIndex();

    for (int round = 0; round < 3; ++round)
    {
        std::map<juce::String, float> before;
        for (auto* p : processor->getParameters())
            before[dynamic_cast<juce::AudioProcessorParameterWithID*> (p)->paramID] = p->getValue();

        click (editor->randButton);

        for (const auto& [id, value] : before)
        {
            const float now = parameter (id)->getValue();
            if (kept.contains (id))
                EXPECT_EQ (now, value) << id;
            else if (syncs.contains (id))
                EXPECT_TRUE (now == 0.0f || now == 1.0f) << id << " " << now;
            else
                EXPECT_NE (now, value) << id;
        }
    }
}

TEST_F (PresetBarTest, ReloadRestoresTheFileOnOkOnly)
{
    parameter ("WET")->setValue (0.9f);

    dialogs->answerOk = false;
    click (editor->reloadButton);
    EXPECT_FLOAT_EQ (wet(), 0.9f);

    dialogs->answerOk = true;
    click (editor->reloadButton);
    EXPECT_NEAR (wet(), wetOfPreset (0), 1e-6f);
    expectSelected (0);
    EXPECT_EQ (dialogs->questions.size(), 2u);
}
