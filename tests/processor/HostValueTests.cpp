#include <gtest/gtest.h>
#include "processor/BrindlexAudioProcessor.h"
#include "TestSupport.h"
#include <cmath>
#include <limits>

using namespace ParameterTable;

// Values a host sends that no control could produce: not a number, infinite, above the top.
namespace
{
    constexpr int blockSize = 512;
    constexpr double sampleRate = 48000.0;

    struct Outcome
    {
        bool finite = true;
        float rms = 0.0f;
    };

    /** Plays a sine through the processor for the given number of blocks. */
    Outcome play (BrindlexAudioProcessor& p, int blocks, double& phase)
    {
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;
        Outcome outcome;
        double sum = 0.0;

        for (int b = 0; b < blocks; ++b)
        {
            for (int i = 0; i < blockSize; ++i, phase += 0.05)
                for (int ch = 0; ch < 2; ++ch)
                    buffer.setSample (ch, i, 0.5f * (float) std::sin (phase));

            p.processBlock (buffer, midi);

            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < blockSize; ++i)
                {
                    const float y = buffer.getSample (ch, i);
                    outcome.finite = outcome.finite && std::isfinite (y);
                    sum += (double) y * y;
                }
        }

        outcome.rms = (float) std::sqrt (sum / (2.0 * blockSize * blocks));
        return outcome;
    }
}

TEST (HostValues, BadValuesNeverSilenceTheDelayForGood)
{
    const float badValues[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 1.5f };
    const int targets[] = { lFeedback, rFeedback, drive, wet, lfbLowDamp, lfbHiDamp, l1Pan, loopSpeed };
    const int secondOfBlocks = (int) sampleRate / blockSize;

    for (const int target : targets)
    {
        for (const float bad : badValues)
        {
            TestProcessor p;
            p->prepareToPlay (sampleRate, blockSize);
            const auto what = p->getParameterAt (target)->getName (64) + " = " + juce::String (bad);

            // Wet signal only, with feedback taps a few ms long so that a runaway loop shows within the second.
            p->getParameterAt (dry)->setValue (0.0f);
            for (const int fb : { lfbTime, rfbTime })
                p->getParameterAt (fb)->setValue (0.05f);
            p->getParameterAt (rfbSync)->setValue (0.0f);

            double phase = 0.0;
            play (*p, secondOfBlocks, phase);
            // Loop playback of the filled lines, for the loop speed.
            p->getParameterAt (loopMode)->setValue (target == loopSpeed ? 1.0f : 0.0f);
            ASSERT_GT (play (*p, 1, phase).rms, 0.01f) << what;

            const float normal = p->getParameterAt (target)->getValue();
            p->getParameterAt (target)->setValue (bad);
            EXPECT_TRUE (play (*p, secondOfBlocks, phase).finite) << what << ": while it lasts";

            p->getParameterAt (target)->setValue (normal);
            play (*p, 1, phase);
            const auto after = play (*p, 1, phase);
            EXPECT_TRUE (after.finite) << what;
            EXPECT_GT (after.rms, 0.01f) << what << ": audible again";
        }
    }
}
