// Renders the settings window and the about overlay over the editor into two PNG files for the documentation.
// Usage: BrindlexWindowShots <output folder>   (needs a display; scripts/render-windows.sh runs it under Xvfb)

#include <juce_audio_processors/juce_audio_processors.h>
#include <iostream>
#include "ToolSupport.h"
#include "editor/BrindlexAudioProcessorEditor.h"

int main (int argc, char* argv[])
{
    if (argc != 2)
    {
        std::cerr << "Usage: BrindlexWindowShots <output folder>\n";
        return 2;
    }

    const juce::File outputFolder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    if (! outputFolder.createDirectory())
    {
        std::cerr << "Cannot create " << outputFolder.getFullPathName() << "\n";
        return 1;
    }

    juce::ScopedJuceInitialiser_GUI juceInit;
    ToolSupport::ignoreXErrors();

    // A scratch folder instead of the user's settings and presets; no news service.
    const auto scratch = juce::File::createTempFile ("brindlex-shots");
    scratch.createDirectory();

    bool ok = true;
    {
        BrindlexAudioProcessor processor (scratch);
        std::unique_ptr<juce::AudioProcessorEditor> owner (processor.createEditorIfNeeded());
        auto& editor = dynamic_cast<BrindlexAudioProcessorEditor&> (*owner);

        // Prepared and run for one block as a host does; one timer tick brings every control up to date.
        processor.prepareToPlay (48000.0, 64);
        juce::AudioBuffer<float> buffer (2, 64);
        buffer.clear();
        juce::MidiBuffer midi;
        processor.processBlock (buffer, midi);
        editor.timerCallback();

        editor.showAboutOverlay();
        ok = ToolSupport::save (editor.createComponentSnapshot (editor.getLocalBounds()), outputFolder.getChildFile ("about.png"));
        editor.aboutOverlay.setVisible (false);

        // The framework's own title bar stands in for the native one, which a snapshot cannot show; off the desktop,
        // so that no window system answers the resize with the old size.
        // The row shows the presets folder a user has, not the scratch folder.
        editor.settingsWindow.settingsGUI.presetsRow.setPath (
            juce::File::getSpecialLocation (juce::File::commonDocumentsDirectory).getFullPathName()
            + "/Corvantis/Presets/Brindlex/");
        editor.showSettingsWindow();
        auto& window = editor.settingsWindow.documentWindow;
        const auto panelSize = editor.settingsWindow.settingsGUI.getLocalBounds();
        window.removeFromDesktop();
        window.setUsingNativeTitleBar (false);
        window.setContentComponentSize (panelSize.getWidth(), panelSize.getHeight());
        ok = ToolSupport::save (window.createComponentSnapshot (window.getLocalBounds()), outputFolder.getChildFile ("settings.png")) && ok;
        window.setVisible (false);

        processor.editorBeingDeleted (owner.get());
    }

    scratch.deleteRecursively();

    if (! ok)
        std::cerr << "Cannot write the pictures into " << outputFolder.getFullPathName() << "\n";

    return ok ? 0 : 1;
}
