#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "KT_SettingsDocumentWindow.h"
#include "PluginSettings.h"
#include "SettingsGUI.h"

namespace corvantis
{
    /** Holds the settings window and its panel for the editor's whole life; never shown itself. Built hidden and
        filled from the processor's record once; every showing reuses the same panel with its current edits. */
    class KT_SettingsWindow : public juce::Component
    {
    public:
        KT_SettingsWindow (juce::Component& ownerToCentreOn, PluginSettings& record);
        ~KT_SettingsWindow() override;

        /** Brings the window up in front of everything, centred on the owner. */
        void show();

        juce::Component& owner;
        PluginSettings* settings;
        KT_SettingsDocumentWindow documentWindow;
        SettingsGUI settingsGUI;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_SettingsWindow)
    };
}
