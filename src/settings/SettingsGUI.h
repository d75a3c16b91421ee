#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>
#include <utility>
#include "PluginSettings.h"
#include "pathSetting.h"
#include "editor/EditorDialogs.h"

namespace corvantis
{
    /** The settings panel: one row per folder, the two switches, Save and Cancel. Only the presets row and the
        newsfeed switch are shown; the other rows and the legacy switch keep their values and are written with
        them. The panel keeps the user's edits between showings until they are saved. */
    class SettingsGUI : public juce::Component,
                        public juce::Button::Listener
    {
    public:
        SettingsGUI();
        ~SettingsGUI() override;

        void paint (juce::Graphics&) override;
        void resized() override;
        void buttonClicked (juce::Button*) override;

        /** Points the panel at the processor's record and shows the record's folders and switches. */
        void showSettings (PluginSettings& record);

        /** Shows or hides the rows and the legacy switch as the visibility flags say. */
        void applyVisibility();

        /** Replaces the dialogs that Browse and Save open (tests answer them themselves). */
        void setDialogs (std::unique_ptr<EditorDialogs> newDialogs);

        bool settingsRowVisible = false;
        bool presetsRowVisible = true;
        bool samplesRowVisible = false;
        bool irRowVisible = false;
        bool legacyToggleVisible = false;

        PluginSettings* settings = nullptr;

        juce::Label pathsLabel;
        juce::Label noteLabel;
        pathSetting settingsRow;
        pathSetting presetsRow;
        pathSetting samplesRow;
        pathSetting irRow;
        juce::TextButton saveButton;
        juce::TextButton cancelButton;
        juce::ToggleButton disableNewsfeedToggle;
        juce::ToggleButton legacyParametersToggle;

    private:
        void save();
        void hideWindow();

        std::unique_ptr<EditorDialogs> dialogs;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SettingsGUI)
    };
}
