#include "KT_SettingsDocumentWindow.h"

namespace corvantis
{
    KT_SettingsDocumentWindow::KT_SettingsDocumentWindow()
        : juce::DocumentWindow ("Settings", juce::Colour (0xff808080), juce::DocumentWindow::closeButton, false)
    {
        setUsingNativeTitleBar (true);
        setTitleBarTextCentred (true);
        setVisible (false);
    }

    KT_SettingsDocumentWindow::~KT_SettingsDocumentWindow() = default;

    void KT_SettingsDocumentWindow::closeButtonPressed()
    {
        setVisible (false);
    }
}
