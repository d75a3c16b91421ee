#include <benchmark/benchmark.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include "../BenchSettings.h"
#include <cstdlib>

// The built VST3 loaded through the framework's plug-in hosting and driven as a DAW drives it, so
// that the wrapper's own work counts too. The counter "realtime" is seconds of audio per CPU second.
namespace
{
    using BenchSettings::Setting;

    /** The VST3 of this build, or the one named by BRINDLEX_BENCH_VST3 (to compare with another build). */
    std::unique_ptr<juce::AudioPluginInstance> loadBuiltPlugin (juce::String& error)
    {
        const auto* chosen = std::getenv ("BRINDLEX_BENCH_VST3");
        const juce::String path = chosen != nullptr ? juce::String (chosen) : juce::String (BRINDLEX_VST3_PATH);

        juce::VST3PluginFormat format;
        juce::OwnedArray<juce::PluginDescription> types;
        format.findAllTypesForFile (types, path);
        if (types.isEmpty())
        {
            error = "no plug-in in " + path;
            return {};
        }
        return format.createInstanceFromDescription (*types[0], BenchSettings::sampleRate, BenchSettings::blockSize, error);
    }

    void processHostedBlocks (benchmark::State& state, Setting setting)
    {
        using namespace BenchSettings;
        juce::ScopedJuceInitialiser_GUI juceInit;

        juce::String error;
        auto instance = loadBuiltPlugin (error);
        if (instance == nullptr)
        {
            state.SkipWithError (error.toRawUTF8());
            return;
        }

        instance->enableAllBuses();
        instance->setPlayConfigDetails (2, 2, sampleRate, blockSize);
        instance->prepareToPlay (sampleRate, blockSize);

        const auto noise = makeNoise();
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;

        for (int i = 0; i < warmUpBlocks; ++i)
        {
            fillBlock (buffer, noise, i);
            instance->processBlock (buffer, midi);
        }

        // The host lists the plug-in's parameters in its own order; the names say which is which.
        const auto& parameters = instance->getParameters();
        for (const auto& [index, value] : changesFor (setting))
        {
            const juce::String name (ParameterTable::parameters[(size_t) index].name);
            auto* parameter = index < parameters.size() ? parameters[index] : nullptr;
            if (parameter == nullptr || parameter->getName (100) != name)
            {
                state.SkipWithError (("the host does not list " + name + " where expected").toRawUTF8());
                return;
            }
            parameter->setValueNotifyingHost (value);
        }

        int position = 0;
        for (auto _ : state)
        {
            fillBlock (buffer, noise, position++);
            instance->processBlock (buffer, midi);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
            benchmark::ClobberMemory();
        }

        state.SetItemsProcessed (state.iterations() * blockSize);
        state.counters["realtime"] = benchmark::Counter ((double) blockSize / sampleRate,
                                                         benchmark::Counter::kIsIterationInvariantRate);
        instance->releaseResources();
    }
}

static void hostedVst3Defaults (benchmark::State& state) { processHostedBlocks (state, Setting::defaults); }
BENCHMARK (hostedVst3Defaults);

static void hostedVst3Busiest (benchmark::State& state) { processHostedBlocks (state, Setting::busiest); }
BENCHMARK (hostedVst3Busiest);

static void hostedVst3LoopMode (benchmark::State& state) { processHostedBlocks (state, Setting::loop); }
BENCHMARK (hostedVst3LoopMode);

BENCHMARK_MAIN();
