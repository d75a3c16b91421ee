#include "BrindlexAudioProcessorEditor.h"

void BrindlexAudioProcessorEditor::showAboutOverlay()
{
    aboutOverlay.setVisible (true);
}

void BrindlexAudioProcessorEditor::showSettingsWindow()
{
    settingsWindow.show();
}
