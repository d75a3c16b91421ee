#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>
#include "processor/BrindlexAudioProcessor.h"

// The audio path as a host drives it: 48 kHz stereo noise in blocks of 512 samples. The counter
// "realtime" is seconds of audio processed per CPU second.
namespace
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 512;

    enum class Setting
    {
        defaults,
        everyTapModulated,
        loop
    };

    void setNormalised (BrindlexAudioProcessor& processor, int index, float value)
    {
        processor.getParameterAt (index)->setValue (value);
    }

    void configure (BrindlexAudioProcessor& processor, Setting setting)
    {
        using namespace ParameterTable;

        if (setting == Setting::everyTapModulated)
        {
            for (int ch = 0; ch < 2; ++ch)
            {
                const int offset = ch * channelOffset;
                for (int k = 0; k < 3; ++k)
                {
                    setNormalised (processor, l1Mod + offset + k * tapStride, 1.0f);
                    setNormalised (processor, l1Level + offset + k * tapStride, 1.0f);
                }
                setNormalised (processor, lfbMod + offset, 1.0f);
                setNormalised (processor, lfbMode + offset, 1.0f);
                setNormalised (processor, lFeedback + offset, 0.9f);
                setNormalised (processor, lModRate + offset, 0.5f);
            }
            setNormalised (processor, drive, 0.5f);
        }
        else if (setting == Setting::loop)
        {
            setNormalised (processor, ParameterTable::loopMode, 1.0f);
        }
    }

    void processStereoBlocks (benchmark::State& state, Setting setting)
    {
        juce::ScopedJuceInitialiser_GUI juceInit;
        BrindlexAudioProcessor processor (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("brindlex-bench"));
        processor.prepareToPlay (sampleRate, blockSize);

        // Noise, long enough that the lines fill with something other than a repeated block.
        juce::AudioBuffer<float> noise (2, blockSize * 97);
        juce::Random random (1);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < noise.getNumSamples(); ++i)
                noise.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);

        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;

        // Loop mode plays back what was recorded before it was switched on.
        for (int i = 0; i < 600; ++i)
        {
            buffer.copyFrom (0, 0, noise, 0, (i % 97) * blockSize, blockSize);
            buffer.copyFrom (1, 0, noise, 1, (i % 97) * blockSize, blockSize);
            processor.processBlock (buffer, midi);
        }
        configure (processor, setting);

        int position = 0;
        for (auto _ : state)
        {
            buffer.copyFrom (0, 0, noise, 0, position * blockSize, blockSize);
            buffer.copyFrom (1, 0, noise, 1, position * blockSize, blockSize);
            position = (position + 1) % 97;
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

static void processBlockEveryTapModulatedCrossFeedback (benchmark::State& state) { processStereoBlocks (state, Setting::everyTapModulated); }
BENCHMARK (processBlockEveryTapModulatedCrossFeedback);

static void processBlockLoopMode (benchmark::State& state) { processStereoBlocks (state, Setting::loop); }
BENCHMARK (processBlockLoopMode);

BENCHMARK_MAIN();
