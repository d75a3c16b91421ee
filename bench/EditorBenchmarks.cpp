#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>
#include "editor/BrindlexAudioProcessorEditor.h"

/** A full repaint of the editor with every control, as the host's window asks for it, at the given width. */
static void repaintWholeEditor (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juceInit;
    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("brindlex-bench-editor");
    folder.createDirectory();

    {
        BrindlexAudioProcessor processor (folder);
        BrindlexAudioProcessorEditor editor (processor);
        const int width = (int) state.range (0);
        editor.setSize (width, width * 500 / 980);
        editor.timerCallback();

        juce::Image image (juce::Image::ARGB, editor.getWidth(), editor.getHeight(), true);

        for (auto _ : state)
        {
            juce::Graphics g (image);
            editor.paintEntireComponent (g, true);
            benchmark::DoNotOptimize (image.getPixelAt (1, 1));
        }
    }

    folder.deleteRecursively();
}
BENCHMARK (repaintWholeEditor)->Arg (980)->Arg (1960)->Unit (benchmark::kMillisecond);
