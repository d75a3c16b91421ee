#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvantis
{
    /** The desktop window "Settings" that shows the settings panel. Closing it only hides it; nothing is saved.
        It goes on the desktop when it is first shown, so an editor whose settings are never opened makes no
        window of the operating system for them. */
    class KT_SettingsDocumentWindow : public juce::DocumentWindow
    {
    public:
        KT_SettingsDocumentWindow();
        ~KT_SettingsDocumentWindow() override;

        void closeButtonPressed() override;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KT_SettingsDocumentWindow)
    };
}
