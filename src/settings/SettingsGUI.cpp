#include "SettingsGUI.h"

namespace corvantis
{
    namespace
    {
        const juce::Colour white (0xffffffff);
    }

    SettingsGUI::SettingsGUI()
        // Its messages are centred on this panel, so a failed Save is reported over the settings window.
        : dialogs (std::make_unique<AsyncEditorDialogs> (*this))
    {
        pathsLabel.setText ("PATHS", juce::dontSendNotification);
        pathsLabel.setFont (juce::Font (12.0f, juce::Font::bold));
        pathsLabel.setJustificationType (juce::Justification::centred);
        pathsLabel.setColour (juce::Label::textColourId, white);
        addAndMakeVisible (pathsLabel);

        noteLabel.setName ("noteLabel");
        noteLabel.setText ("(Please restart the plugin after saving)", juce::dontSendNotification);
        noteLabel.setFont (juce::Font (10.0f, juce::Font::italic));
        noteLabel.setJustificationType (juce::Justification::centred);
        noteLabel.setColour (juce::Label::textColourId, white);
        addAndMakeVisible (noteLabel);

        const std::pair<pathSetting*, const char*> rows[] = {
            { &settingsRow, "Settings:" }, { &presetsRow, "Presets:" }, { &samplesRow, "Samples:" }, { &irRow, "IR:" }
        };
        for (const auto& [row, title] : rows)
        {
            addAndMakeVisible (*row);
            row->titleLabel.setText (title, juce::dontSendNotification);
            row->dialogs = dialogs.get();
        }

        saveButton.setName ("saveButton");
        saveButton.setButtonText ("Save");
        saveButton.addListener (this);
        addAndMakeVisible (saveButton);

        cancelButton.setName ("cancelButton");
        cancelButton.setButtonText ("Cancel");
        cancelButton.addListener (this);
        addAndMakeVisible (cancelButton);

        disableNewsfeedToggle.setButtonText ("Disable Newsfeed");
        addAndMakeVisible (disableNewsfeedToggle);
        legacyParametersToggle.setButtonText ("Use Legacy Parameters");
        addAndMakeVisible (legacyParametersToggle);

        setSize (400, 300);
    }

    SettingsGUI::~SettingsGUI()
    {
        saveButton.removeListener (this);
        cancelButton.removeListener (this);
    }

    void SettingsGUI::showSettings (PluginSettings& record)
    {
        settings = &record;
        settingsRow.setPath (record.settingsPath);
        presetsRow.setPath (record.presetsPath);
        samplesRow.setPath (record.samplesPath);
        irRow.setPath (record.irFilesPath);
        disableNewsfeedToggle.setToggleState (record.newsfeedDisabled, juce::dontSendNotification);
        legacyParametersToggle.setToggleState (record.usingLegacyParameters, juce::dontSendNotification);
    }

    void SettingsGUI::applyVisibility()
    {
        settingsRow.setVisible (settingsRowVisible);
        presetsRow.setVisible (presetsRowVisible);
        samplesRow.setVisible (samplesRowVisible);
        irRow.setVisible (irRowVisible);
        legacyParametersToggle.setVisible (legacyToggleVisible);
    }

    void SettingsGUI::setDialogs (std::unique_ptr<EditorDialogs> newDialogs)
    {
        dialogs = std::move (newDialogs);
        for (auto* row : { &settingsRow, &presetsRow, &samplesRow, &irRow })
            row->dialogs = dialogs.get();
    }

    void SettingsGUI::paint (juce::Graphics& g)
    {
        g.fillAll (juce::Colour (0xff393a3c));
    }

    void SettingsGUI::resized()
    {
        const int w = getWidth();
        pathsLabel.setBounds (0, 10, w, 15);
        noteLabel.setBounds (0, 25, w, 15);
        settingsRow.setBounds (0, 50, settingsRow.getWidth(), settingsRow.getHeight());
        presetsRow.setBounds (0, 80, presetsRow.getWidth(), presetsRow.getHeight());
        samplesRow.setBounds (0, 140, presetsRow.getWidth(), presetsRow.getHeight());
        irRow.setBounds (0, 170, presetsRow.getWidth(), presetsRow.getHeight());
        legacyParametersToggle.setBounds (10, 190, 200, 20);
        disableNewsfeedToggle.setBounds (10, 220, 200, 20);
        saveButton.setBounds (110, 260, 80, 24);
        cancelButton.setBounds (saveButton.getX() + 90, 260, 80, 24);
    }

    void SettingsGUI::buttonClicked (juce::Button* button)
    {
        if (button == &saveButton)
            save();
        else if (button == &cancelButton)
            hideWindow(); // the edits stay in the rows and toggles for the next showing
    }

    void SettingsGUI::save()
    {
        if (settings == nullptr)
            return;

        const auto previous = *settings;
        settings->settingsPath = settingsRow.path;
        settings->presetsPath = presetsRow.path;
        settings->samplesPath = samplesRow.path;
        settings->irFilesPath = irRow.path;
        settings->newsfeedDisabled = disableNewsfeedToggle.getToggleState();
        settings->usingLegacyParameters = legacyParametersToggle.getToggleState();

        if (settings->writePluginSettings())
        {
            hideWindow();
            dialogs->inform ("Brindlex", "Please, restart your DAW to apply the new saved settings.");
            return;
        }

        // Nothing of an unsaved change takes effect: the record goes back to what the file still says, and the
        // window stays open with the user's edits so that another folder can be tried.
        const auto target = settings->settingsPath + settings->settingsFileName;
        *settings = previous;
        dialogs->inform ("Brindlex", "The settings were not saved: " + target + " could not be written.");
    }

    void SettingsGUI::hideWindow()
    {
        if (auto* window = getParentComponent())
            window->setVisible (false);
    }
}
