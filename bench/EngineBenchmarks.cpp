#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>
#include "processor/BrindlexAudioProcessor.h"

#include "BenchSettings.h"

// The audio path called directly, as the plug-in's wrapper calls it. The counter "realtime" is
// seconds of audio processed per CPU second.
namespace
{
    using BenchSettings::Setting;

    void processStereoBlocks (benchmark::State& state, Setting setting)
    {
        using namespace BenchSettings;
        juce::ScopedJuceInitialiser_GUI juceInit;
        BrindlexAudioProcessor processor (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("brindlex-bench"));
        processor.prepareToPlay (sampleRate, blockSize);

        const auto noise = makeNoise();
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;

        for (int i = 0; i < warmUpBlocks; ++i)
        {
            fillBlock (buffer, noise, i);
            processor.processBlock (buffer, midi);
        }

        for (const auto& [index, value] : changesFor (setting))
            processor.getParameterAt (index)->setValue (value);

        int position = 0;
        for (auto _ : state)
        {
            fillBlock (buffer, noise, position++);
            processor.processBlock (buffer, midi);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
            benchmark::ClobberMemory();
        }

        state.SetItemsProcessed (state.iterations() * blockSize);
        state.counters["realtime"] = benchmark::Counter ((double) blockSize / sampleRate,
                                                         benchmark::Counter::kIsIterationInvariantRate);
    }
}

static void processBlockDefaults (benchmark::State& state) { processStereoBlocks (state, Setting::defaults); }
BENCHMARK (processBlockDefaults);

static void processBlockBusiest (benchmark::State& state) { processStereoBlocks (state, Setting::busiest); }
BENCHMARK (processBlockBusiest);

static void processBlockLoopMode (benchmark::State& state) { processStereoBlocks (state, Setting::loop); }
BENCHMARK (processBlockLoopMode);

BENCHMARK_MAIN();
