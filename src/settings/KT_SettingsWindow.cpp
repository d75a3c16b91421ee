#include "KT_SettingsWindow.h"

namespace corvantis
{
    KT_SettingsWindow::KT_SettingsWindow (juce::Component& ownerToCentreOn, PluginSettings& record)
        : owner (ownerToCentreOn),
          settings (&record)
    {
        settingsGUI.showSettings (record);
        settingsGUI.applyVisibility();
    }

    // The panel goes first (members are destroyed in reverse), so the window never holds a deleted content.
    KT_SettingsWindow::~KT_SettingsWindow() = default;

    void KT_SettingsWindow::show()
    {
        if (! documentWindow.isOnDesktop())
            documentWindow.addToDesktop();

        documentWindow.setAlwaysOnTop (true);
        documentWindow.setContentNonOwned (&settingsGUI, true);
        documentWindow.centreAroundComponent (&owner, settingsGUI.getWidth(), settingsGUI.getHeight());
        documentWindow.setVisible (true);
    }
}
