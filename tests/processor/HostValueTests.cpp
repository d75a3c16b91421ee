#include <gtest/gtest.h>
#include "TestSupport.h"
#include <cmath>
#include <limits>

using namespace ParameterTable;

TEST (HostValues, NoValueAHostSendsSilencesTheDelayForGood)
{
    constexpr int blockSize = 512, secondOfBlocks = 94;
    const float badValues[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 1.5f };

    for (const int target : { lFeedback, rFeedback, drive, wet, lfbLowDamp, lfbHiDamp, l1Pan, loopSpeed })
    {
        for (const float bad : badValues)
        {
            TestProcessor p;
            p->prepareToPlay (48000.0, blockSize);
            const auto what = p->getParameterAt (target)->getName (64) + " = " + juce::String (bad);

            // A sine in, the wet signal out: the RMS of some blocks, or -1 when any sample is not finite.
            double phase = 0.0;
            auto play = [&] (int blocks)
            {
                juce::AudioBuffer<float> buffer (2, blockSize);
                juce::MidiBuffer midi;
                double sum = 0.0;
                for (int b = 0; b < blocks; ++b)
                {
                    for (int i = 0; i < blockSize; ++i, phase += 0.05)
                        buffer.setSample (0, i, 0.5f * (float) std::sin (phase));
                    buffer.copyFrom (1, 0, buffer, 0, 0, blockSize);
                    p->processBlock (buffer, midi);
                    for (int ch = 0; ch < 2; ++ch)
                        for (int i = 0; i < blockSize; ++i)
                            sum += (double) buffer.getSample (ch, i) * buffer.getSample (ch, i);
                }
                return std::isfinite (sum) ? std::sqrt (sum / (2.0 * blockSize * blocks)) : -1.0;
            };

            // Feedback taps a few ms long, so that a runaway loop shows within a second.
            p->getParameterAt (dry)->setValue (0.0f);
            p->getParameterAt (lfbTime)->setValue (0.05f);
            p->getParameterAt (rfbTime)->setValue (0.05f);
            p->getParameterAt (rfbSync)->setValue (0.0f);
            play (secondOfBlocks);
            p->getParameterAt (loopMode)->setValue (target == loopSpeed ? 1.0f : 0.0f);

            const float normal = p->getParameterAt (target)->getValue();
            p->getParameterAt (target)->setValue (bad);
            EXPECT_GE (play (secondOfBlocks), 0.0) << what << ": while it lasts";

            p->getParameterAt (target)->setValue (normal);
            play (1);
            EXPECT_GT (play (1), 0.01) << what << ": finite and audible again";
        }
    }
}
