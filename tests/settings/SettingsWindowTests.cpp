#include "MessagePump.h"
#include "editor/EditorTestSupport.h"

namespace
{
    /** Answers the folder chooser at once and records the messages, with whether the window was up at the time. */
    class AnsweringDialogs : public corvantis::EditorDialogs
    {
    public:
        struct Message
        {
            juce::String title, text;
            bool windowShown;
        };

        AnsweringDialogs (juce::File& folderToChoose, std::vector<Message>& shownMessages, juce::Component& window)
            : folder (folderToChoose), messages (shownMessages), settingsWindow (window)
        {
        }

        void chooseFile (const juce::String&, const juce::File&, const juce::String&, int flags,
                         std::function<void (const juce::File&)> onChosen) override
        {
            EXPECT_NE (flags & juce::FileBrowserComponent::canSelectDirectories, 0);
            onChosen (folder);
        }

        void confirm (const juce::String&, const juce::String&, std::function<void (bool)>) override
        {
            ADD_FAILURE() << "the settings window asks no question";
        }

        void inform (const juce::String& title, const juce::String& text, std::function<void()>) override
        {
            messages.push_back ({ title, text, settingsWindow.isVisible() });
        }

    private:
        juce::File& folder;
        std::vector<Message>& messages;
        juce::Component& settingsWindow;
    };

    enum class Closing
    {
        cancelButton,
        closeButton
    };
}

/** The real editor with its settings window; the record carries non-default values in the rows and toggle that
    the window hides, so that a Save that dropped them would show. */
class SettingsWindowTest : public EditorTest
{
protected:
    void SetUp() override
    {
        auto& record = processor->settings;
        record.samplesPath = "/srv/brindlex-samples/";
        record.irFilesPath = "/srv/brindlex-irs/";
        record.usingLegacyParameters = true;
        settingsFolder = juce::File (record.settingsPath);
        ASSERT_TRUE (settingsFolder.createDirectory());
        chosenFolder = processor.folder.getChildFile ("My Presets");
        ASSERT_TRUE (chosenFolder.createDirectory());

        // Showing the settings window puts it on the bare test display.
        WidgetTest::ignoreXErrors();
        openEditor();
        gui().setDialogs (std::make_unique<AnsweringDialogs> (chosenFolder, messages, window()));
    }

    corvantis::SettingsGUI& gui() { return editor->settingsWindow.settingsGUI; }
    juce::DocumentWindow& window() { return editor->settingsWindow.documentWindow; }
    juce::File settingsFile() const { return settingsFolder.getChildFile ("Brindlex.aus"); }

    void click (juce::Button& button)
    {
        button.triggerClick();
        pumpMessages (30);
    }

    /** Chooses the folder in the presets row and switches the newsfeed off. */
    void editPresetsFolderAndNewsSwitch()
    {
        click (gui().presetsRow.browseButton);
        click (gui().disableNewsfeedToggle);
    }

    juce::String expectedPresetsPath() const { return chosenFolder.getFullPathName() + "/"; }

    juce::File settingsFolder, chosenFolder;
    std::vector<AnsweringDialogs::Message> messages;
};

TEST_F (SettingsWindowTest, SaveWritesTheChosenFolderAndSwitchWithTheHiddenValuesUnchanged)
{
    editor->showSettingsWindow();
    ASSERT_TRUE (window().isVisible());
    editPresetsFolderAndNewsSwitch();
    EXPECT_EQ (gui().presetsRow.pathBox.getText(), expectedPresetsPath());

    click (gui().saveButton);

    auto written = juce::parseXML (settingsFile());
    ASSERT_NE (written, nullptr);
    EXPECT_EQ (written->getStringAttribute ("presetsPath"), expectedPresetsPath());
    EXPECT_EQ (written->getStringAttribute ("newsfeedDisabled"), "1");
    EXPECT_EQ (written->getStringAttribute ("samplesPath"), "/srv/brindlex-samples/");
    EXPECT_EQ (written->getStringAttribute ("irFilesPath"), "/srv/brindlex-irs/");
    EXPECT_EQ (written->getStringAttribute ("usingLegacyParameters"), "1");
    EXPECT_EQ (written->getStringAttribute ("settingsPath"), settingsFolder.getFullPathName() + "/");
    EXPECT_EQ (processor->settings.presetsPath, expectedPresetsPath());

    EXPECT_FALSE (window().isVisible());
    ASSERT_EQ (messages.size(), 1u);
    EXPECT_EQ (messages[0].title, "Brindlex");
    EXPECT_EQ (messages[0].text, "Please, restart your DAW to apply the new saved settings.");
    EXPECT_FALSE (messages[0].windowShown);
}

class SettingsWindowClosingTest : public SettingsWindowTest,
                                  public ::testing::WithParamInterface<Closing>
{
};

TEST_P (SettingsWindowClosingTest, HidesWithoutSavingAndKeepsTheEditsForTheNextShowing)
{
    editor->showSettingsWindow();
    editPresetsFolderAndNewsSwitch();

    if (GetParam() == Closing::cancelButton)
        click (gui().cancelButton);
    else
        window().closeButtonPressed();

    EXPECT_FALSE (window().isVisible());
    EXPECT_FALSE (settingsFile().exists());
    EXPECT_TRUE (messages.empty());
    EXPECT_NE (processor->settings.presetsPath, expectedPresetsPath());

    editor->showSettingsWindow();
    EXPECT_TRUE (window().isVisible());
    EXPECT_EQ (gui().presetsRow.pathBox.getText(), expectedPresetsPath());
    EXPECT_TRUE (gui().disableNewsfeedToggle.getToggleState());

    click (gui().saveButton);
    auto written = juce::parseXML (settingsFile());
    ASSERT_NE (written, nullptr);
    EXPECT_EQ (written->getStringAttribute ("presetsPath"), expectedPresetsPath());
    EXPECT_EQ (written->getStringAttribute ("newsfeedDisabled"), "1");
}

INSTANTIATE_TEST_SUITE_P (CancelAndCloseButton, SettingsWindowClosingTest,
                          ::testing::Values (Closing::cancelButton, Closing::closeButton));

TEST_F (SettingsWindowTest, FailedSaveSaysWhereTheFileWasToGoAndLeavesEverythingAsItWas)
{
    // A folder below a regular file cannot be created or written, whoever runs the test.
    const auto blocker = processor.folder.getChildFile ("not-a-folder");
    ASSERT_TRUE (blocker.replaceWithText ("x"));
    const auto unwritable = blocker.getFullPathName() + "/Settings/";
    const auto recordBefore = processor->settings.presetsPath;

    editor->showSettingsWindow();
    gui().settingsRow.setPath (unwritable);
    editPresetsFolderAndNewsSwitch();
    click (gui().saveButton);

    EXPECT_TRUE (window().isVisible());
    ASSERT_EQ (messages.size(), 1u);
    EXPECT_TRUE (messages[0].text.contains ("not saved")) << messages[0].text;
    EXPECT_TRUE (messages[0].text.contains (unwritable + "Brindlex.aus")) << messages[0].text;
    EXPECT_FALSE (messages[0].text.contains ("restart"));

    EXPECT_EQ (blocker.loadFileAsString(), "x");
    EXPECT_FALSE (settingsFile().exists());
    EXPECT_EQ (processor->settings.presetsPath, recordBefore);
    EXPECT_FALSE (processor->settings.newsfeedDisabled);
    EXPECT_EQ (gui().presetsRow.pathBox.getText(), expectedPresetsPath());
}
