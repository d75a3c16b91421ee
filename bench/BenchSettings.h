#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include "processor/ParameterTable.h"
#include <utility>
#include <vector>

/** What the engine benchmarks measure, shared by the in-process and the hosted programs: 48 kHz
    stereo noise in blocks of 512 samples, and the settings as normalised parameter values. */
namespace BenchSettings
{
    constexpr double sampleRate = 48000.0;
    constexpr int blockSize = 512;
    constexpr int noiseBlocks = 97;
    // Blocks run before a setting is applied, so that loop mode plays back something recorded.
    constexpr int warmUpBlocks = 600;

    enum class Setting
    {
        defaults,
        busiest,
        loop
    };

    /** (parameter index, normalised value) pairs that turn the defaults into the setting. The busiest
        setting modulates every tap fully, with drive 50 %, feedback 90 % and both channels on Cross. */
    inline std::vector<std::pair<int, float>> changesFor (Setting setting)
    {
        using namespace ParameterTable;
        std::vector<std::pair<int, float>> changes;

        if (setting == Setting::busiest)
        {
            for (int ch = 0; ch < 2; ++ch)
            {
                const int offset = ch * channelOffset;
                for (int k = 0; k < 3; ++k)
                {
                    changes.push_back ({ l1Mod + offset + k * tapStride, 1.0f });
                    changes.push_back ({ l1Level + offset + k * tapStride, 1.0f });
                }
                changes.push_back ({ lfbMod + offset, 1.0f });
                changes.push_back ({ lfbMode + offset, 1.0f });
                changes.push_back ({ lFeedback + offset, 0.9f });
                changes.push_back ({ lModRate + offset, 0.5f });
            }
            changes.push_back ({ drive, 0.5f });
        }
        else if (setting == Setting::loop)
        {
            changes.push_back ({ loopMode, 1.0f });
        }

        return changes;
    }

    /** Noise long enough that the lines fill with something other than a repeated block. */
    inline juce::AudioBuffer<float> makeNoise()
    {
        juce::AudioBuffer<float> noise (2, blockSize * noiseBlocks);
        juce::Random random (1);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < noise.getNumSamples(); ++i)
                noise.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);
        return noise;
    }

    /** Copies block number `index` (wrapping) of the noise into the first two channels of buffer. */
    inline void fillBlock (juce::AudioBuffer<float>& buffer, const juce::AudioBuffer<float>& noise, int index)
    {
        const int start = (index % noiseBlocks) * blockSize;
        buffer.copyFrom (0, 0, noise, 0, start, blockSize);
        buffer.copyFrom (1, 0, noise, 1, start, blockSize);
    }
}
