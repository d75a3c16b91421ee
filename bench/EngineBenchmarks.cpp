#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>
#include "processor/BrindlexAudioProcessor.h"

static void processStereoBlock (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juceInit;
    BrindlexAudioProcessor processor (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("brindlex-bench"));
    processor.prepareToPlay (48000.0, (int) state.range (0));
    juce::AudioBuffer<float> buffer (2, (int) state.range (0));
    juce::MidiBuffer midi;
    juce::Random random (1);

    for (auto _ : state)
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                buffer.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);
        processor.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }
    state.SetItemsProcessed (state.iterations() * state.range (0));
}
BENCHMARK (processStereoBlock)->Arg (64)->Arg (512);

BENCHMARK_MAIN();
