#include "MessagePump.h"
#include "editor/EditorTestSupport.h"
#include "editor/FakeEditorDialogs.h"

namespace
{
    /** Marks each message that is shown while the settings window is still up. */
    struct AnsweringDialogs : public FakeEditorDialogs
    {
        void inform (const juce::String& title, const juce::String& text, std::function<void()> onClosed) override
        {
            FakeEditorDialogs::inform (title, text + (window->isVisible() ? " [over the window]" : ""), onClosed);
        }

        juce::Component* window = nullptr;
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
        record.usingLegacyParameters = true;
        settingsFile = juce::File (record.settingsPath).getChildFile ("Brindlex.aus");
        ASSERT_TRUE (settingsFile.getParentDirectory().createDirectory());

        // Showing the settings window puts it on the bare test display.
        WidgetTest::ignoreXErrors();
        openEditor();
        auto owned = std::make_unique<AnsweringDialogs>();
        dialogs = owned.get();
        dialogs->fileToChoose = processor.folder.getChildFile ("My Presets");
        dialogs->window = &window();
        ASSERT_TRUE (dialogs->fileToChoose.createDirectory());
        gui().setDialogs (std::move (owned));
    }

    corvantis::SettingsGUI& gui() { return editor->settingsWindow.settingsGUI; }
    juce::DocumentWindow& window() { return editor->settingsWindow.documentWindow; }
    juce::String chosenPath() const { return dialogs->fileToChoose.getFullPathName() + "/"; }

    void click (juce::Button& button)
    {
        // The click arrives as a message; the fake dialogs answer within it.
        button.triggerClick();
        ASSERT_TRUE (pumpPosted());
    }

    /** Shows the window, chooses the folder in the presets row and switches the newsfeed off. */
    void showAndEdit()
    {
        editor->showSettingsWindow();
        click (gui().presetsRow.browseButton);
        click (gui().disableNewsfeedToggle);
    }

    juce::File settingsFile;
    AnsweringDialogs* dialogs = nullptr;
};

TEST_F (SettingsWindowTest, CancelAndCloseKeepTheEditsUnsavedAndSaveWritesThemWithTheHiddenValues)
{
    showAndEdit();
    click (gui().cancelButton);
    editor->showSettingsWindow();
    window().closeButtonPressed();

    EXPECT_FALSE (window().isVisible() || settingsFile.exists());
    EXPECT_NE (processor->settings.presetsPath, chosenPath());

    editor->showSettingsWindow();
    EXPECT_EQ (gui().presetsRow.pathBox.getText(), chosenPath());
    EXPECT_TRUE (gui().disableNewsfeedToggle.getToggleState());
    click (gui().saveButton);

    PluginSettings written (processor.folder);
    written.loadPluginSettings();
    EXPECT_TRUE (written.presetsPath == chosenPath() && written.newsfeedDisabled) << written.presetsPath;
    EXPECT_TRUE (written.samplesPath == "/srv/brindlex-samples/" && written.usingLegacyParameters) << "hidden values kept";
    EXPECT_TRUE (processor->settings.presetsPath == chosenPath() && ! window().isVisible());
    ASSERT_EQ (dialogs->messages.size(), 1);
    EXPECT_EQ (dialogs->messages[0], "Please, restart your DAW to apply the new saved settings.");
    EXPECT_NE (dialogs->chooserFlags & juce::FileBrowserComponent::canSelectDirectories, 0);
    EXPECT_TRUE (dialogs->questions.isEmpty());
}

TEST_F (SettingsWindowTest, FailedSaveSaysWhereTheFileWasToGoAndLeavesEverythingAsItWas)
{
    // A folder below a regular file cannot be created or written, whoever runs the test.
    const auto blocker = processor.folder.getChildFile ("not-a-folder");
    ASSERT_TRUE (blocker.replaceWithText ("x"));
    const auto unwritable = blocker.getFullPathName() + "/Settings/";
    const auto recordBefore = processor->settings.presetsPath;

    showAndEdit();
    gui().settingsRow.setPath (unwritable);
    click (gui().saveButton);

    EXPECT_TRUE (window().isVisible());
    ASSERT_EQ (dialogs->messages.size(), 1);
    const auto message = dialogs->messages[0];
    EXPECT_TRUE (message.contains ("not saved") && message.contains (unwritable + "Brindlex.aus") && ! message.contains ("restart"))
        << message;

    EXPECT_TRUE (blocker.loadFileAsString() == "x" && ! settingsFile.exists());
    EXPECT_TRUE (processor->settings.presetsPath == recordBefore && ! processor->settings.newsfeedDisabled);
    EXPECT_EQ (gui().presetsRow.pathBox.getText(), chosenPath());
}

TEST_F (SettingsWindowTest, SaveWritesTheNewsfeedSwitchAsShownWhateverTheHiddenLegacyToggleHolds)
{
    for (const bool disabled : { true, false })
    {
        // The hidden toggle holds the opposite, as it does for a record read from a file that says so.
        editor->showSettingsWindow();
        gui().legacyParametersToggle.setToggleState (! disabled, juce::dontSendNotification);
        if (gui().disableNewsfeedToggle.getToggleState() != disabled)
            click (gui().disableNewsfeedToggle);
        click (gui().saveButton);

        const auto written = juce::parseXML (settingsFile);
        ASSERT_NE (written, nullptr);
        EXPECT_EQ (written->getStringAttribute ("newsfeedDisabled"), juce::String (disabled ? "1" : "0"));
        EXPECT_EQ (written->getStringAttribute ("usingLegacyParameters"), juce::String (disabled ? "0" : "1"));
    }
}
