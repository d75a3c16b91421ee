// Renders the settings window and the about overlay over the editor into two PNG files for the documentation.
// Usage: BrindlexWindowShots <output folder>   (needs a display; scripts/render-windows.sh runs it under Xvfb)

#include <juce_audio_processors/juce_audio_processors.h>
#include <iostream>
#include "editor/BrindlexAudioProcessorEditor.h"

namespace
{
    bool writePng (const juce::Image& image, const juce::File& file)
    {
        file.deleteFile();
        juce::FileOutputStream out (file);
        return out.openedOk() && juce::PNGImageFormat().writeImageToStream (image, out);
    }
}

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

    // A scratch folder instead of the user's settings and presets; no news service.
    const auto scratch = juce::File::createTempFile ("brindlex-shots");
    scratch.createDirectory();

    bool ok = true;
    {
        BrindlexAudioProcessor processor (scratch);
        std::unique_ptr<juce::AudioProcessorEditor> owner (processor.createEditorIfNeeded());
        auto& editor = dynamic_cast<BrindlexAudioProcessorEditor&> (*owner);

        // One audio block derives what the choice boxes show; one timer tick brings every control up to date.
        processor.prepareToPlay (48000.0, 64);
        juce::AudioBuffer<float> buffer (2, 64);
        buffer.clear();
        juce::MidiBuffer midi;
        processor.processBlock (buffer, midi);
        editor.timerCallback();

        editor.showAboutOverlay();
        ok = writePng (editor.createComponentSnapshot (editor.getLocalBounds()), outputFolder.getChildFile ("about.png"));
        editor.aboutOverlay.setVisible (false);

        // The framework's own title bar stands in for the native one, which a snapshot cannot show.
        editor.showSettingsWindow();
        auto& window = editor.settingsWindow.documentWindow;
        window.setUsingNativeTitleBar (false);
        window.setContentNonOwned (&editor.settingsWindow.settingsGUI, true);
        ok = writePng (window.createComponentSnapshot (window.getLocalBounds()), outputFolder.getChildFile ("settings.png")) && ok;
        window.setVisible (false);

        processor.editorBeingDeleted (owner.get());
    }

    scratch.deleteRecursively();

    if (! ok)
        std::cerr << "Cannot write the pictures into " << outputFolder.getFullPathName() << "\n";

    return ok ? 0 : 1;
}
