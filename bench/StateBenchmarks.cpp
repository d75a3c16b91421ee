#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>
#include "processor/BrindlexAudioProcessor.h"

// Saving and restoring the host state, as a host does when it saves or opens a project.
namespace
{
    juce::File scratchFolder()
    {
        return juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("brindlex-bench");
    }
}

static void saveHostState (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juceInit;
    BrindlexAudioProcessor processor (scratchFolder());
    juce::MemoryBlock block;

    for (auto _ : state)
    {
        processor.getStateInformation (block);
        benchmark::DoNotOptimize (block.getData());
    }
    state.SetBytesProcessed (state.iterations() * (int64_t) block.getSize());
}
BENCHMARK (saveHostState);

static void restoreHostState (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juceInit;
    BrindlexAudioProcessor processor (scratchFolder());
    juce::MemoryBlock block;
    processor.getStateInformation (block);

    for (auto _ : state)
        processor.setStateInformation (block.getData(), (int) block.getSize());
    state.SetBytesProcessed (state.iterations() * (int64_t) block.getSize());
}
BENCHMARK (restoreHostState);
