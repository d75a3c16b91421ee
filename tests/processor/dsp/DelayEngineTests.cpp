#include <gtest/gtest.h>
#include <juce_audio_basics/juce_audio_basics.h>
#include "processor/dsp/DelayEngine.h"
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace
{
    using Signal = std::vector<float>;
    const float y = std::tanh (0.5f); // an impulse of 0.5 after the input saturation

    /** An engine at 48 kHz with every tap silent, no feedback, no modulation and pass-through cut
        filters, each line's taps panned to its own side, so that taps can be read off the output. */
    struct EngineRig
    {
        EngineRig()
        {
            engine.prepare (48000.0);
            for (int ch = 0; ch < 2; ++ch)
            {
                for (int k = 0; k < 3; ++k)
                {
                    engine.tapTimeMs[ch][k] = 100.0f;
                    engine.tapGain[ch][k] = 0.0f;
                    engine.tapPanLeft[ch][k] = ch == 0 ? 1.0f : 0.0f;
                    engine.tapPanRight[ch][k] = ch == 0 ? 0.0f : 1.0f;
                }
                engine.feedbackTimeMs[ch] = 100.0f;
                engine.feedbackTapGain[ch] = engine.feedbackAmount[ch] = 0.0f;
                engine.lowCut[ch] = engine.highCut[ch] = Biquad {};
                engine.lfo[ch].setRate (0.0f);
            }
        }

        /** Runs both signals through the engine in blocks of 512; the results replace them. */
        void run (Signal& l, Signal& r, float dry = 0.0f, float wet = 1.0f)
        {
            juce::ScopedNoDenormals noDenormals;
            for (size_t start = 0; start < l.size(); start += 512)
                engine.process (l.data() + start, r.data() + start, (int) std::min<size_t> (512, l.size() - start), dry, wet);
        }

        /** Lets the tap-time glides settle. */
        void settle()
        {
            Signal l (30000), r (30000);
            run (l, r);
        }

        /** Lets the glides settle, then sends one impulse into the chosen channel. */
        void impulse (size_t numSamples, int channel = 0, float amplitude = 0.5f)
        {
            settle();
            left.assign (numSamples, 0.0f);
            right.assign (numSamples, 0.0f);
            (channel == 0 ? left : right)[0] = amplitude;
            run (left, right);
        }

        DelayEngine engine;
        Signal left, right;
    };

    /** Sum of a sample and its neighbours: a tap between two samples splits its level between them. */
    float around (const Signal& x, size_t i, size_t after = 1) { float s = 0.0f; for (size_t j = i - 2; j <= i + after; ++j) s += x[j]; return s; }
    int peakIndex (const Signal& x) { return (int) (std::max_element (x.begin(), x.end(), [] (float a, float b) { return std::abs (a) < std::abs (b); }) - x.begin()); }
    float peak (const Signal& x, size_t from = 0, size_t to = SIZE_MAX)
    {
        float p = 0.0f;
        for (size_t i = from; i < std::min (to, x.size()); ++i)
            p = std::max (p, std::abs (x[i]));
        return p;
    }
}

TEST (DelayEngine, EveryTapSoundsAtItsTimeWithItsGainAndPan)
{
    for (int ch = 0; ch < 2; ++ch)
        for (int k = 0; k < 4; ++k)
        {
            EngineRig rig;
            auto& e = rig.engine;
            const float ms = 10.0f + 5.0f * (float) (4 * ch + k);
            const size_t at = (size_t) ms * 48;
            if (k < 3)
            {
                e.tapTimeMs[ch][k] = ms;
                e.tapGain[ch][k] = 0.5f;
                e.tapPanLeft[ch][k] = 0.6f;
                e.tapPanRight[ch][k] = 0.8f;
            }
            else
            {
                e.feedbackTimeMs[ch] = ms;
                e.feedbackTapGain[ch] = 0.5f;
            }
            rig.impulse (4000, ch);

            // The feedback tap sounds on its own side only.
            const float toLeft = k < 3 ? 0.3f : (ch == 0 ? 0.5f : 0.0f), toRight = k < 3 ? 0.4f : (ch == 1 ? 0.5f : 0.0f);
            EXPECT_NEAR (around (rig.left, at), toLeft * y, 1e-5f) << ch << k;
            EXPECT_NEAR (around (rig.right, at), toRight * y, 1e-5f) << ch << k;
            EXPECT_LT (peak (rig.left, 0, at - 1) + peak (rig.left, at + 2) + peak (rig.right, 0, at - 1) + peak (rig.right, at + 2), 1e-6f) << ch << k;
        }

    // 10.2 samples: the level splits between the two neighbours.
    EngineRig rig;
    rig.engine.tapTimeMs[1][0] = 0.2125f;
    rig.engine.tapGain[1][0] = 1.0f;
    rig.impulse (100, 1, 0.25f);
    EXPECT_NEAR (rig.right[10], 0.8f * std::tanh (0.25f), 1e-3f);
    EXPECT_NEAR (rig.right[11], 0.2f * std::tanh (0.25f), 1e-3f);
}

TEST (DelayEngine, TapTimesGlideInFromZeroAfterPrepare)
{
    // The output taps' glides step twice per sample, the feedback tap's once, each with the 0.1 s one-pole:
    // an impulse sent while they glide towards 10 ms arrives when the glided delay meets it.
    EngineRig rig;
    rig.engine.tapTimeMs[0][0] = rig.engine.feedbackTimeMs[1] = 10.0f;
    rig.engine.tapGain[0][0] = rig.engine.feedbackTapGain[1] = 1.0f;
    rig.left.assign (2000, 0.0f);
    rig.right.assign (2000, 0.0f);
    rig.left[300] = rig.right[300] = 0.5f;
    rig.run (rig.left, rig.right);

    const double coeff = std::exp (-2.0 * 3.14159265358979 / 4800.0);
    auto arrival = [coeff] (int stepsPerSample)
    {
        for (int t = 300;; ++t)
            if ((double) t - 480.0 * (1.0 - std::pow (coeff, stepsPerSample * t + 1)) >= 300.0)
                return t;
    };
    EXPECT_NEAR (peakIndex (rig.left), arrival (2), 1);
    EXPECT_NEAR (peakIndex (rig.right), arrival (1), 1);
}

TEST (DelayEngine, TimesAreLimitedToTheLine)
{
    EngineRig rig;
    rig.engine.tapTimeMs[0][1] = 8000.0f;
    rig.engine.tapTimeMs[0][2] = 0.0f;
    rig.engine.tapGain[0][1] = 1.0f;
    rig.engine.tapGain[0][2] = 0.5f;
    rig.impulse (241000);

    // The shortest time is 0.1 ms, 4.8 samples; the longest 5 s, where the float glide stops a hair short.
    EXPECT_NEAR (rig.left[4], 0.5f * 0.2f * y, 1e-3f);
    EXPECT_NEAR (rig.left[5], 0.5f * 0.8f * y, 1e-3f);
    const int longest = peakIndex (rig.left);
    EXPECT_TRUE (longest >= 240000 - 24 && longest <= 240000) << longest;
    EXPECT_NEAR (around (rig.left, (size_t) longest), y, 1e-3f);
    EXPECT_LT (peak (rig.left, 6, 240000 - 25), 1e-6f);
}

TEST (DelayEngine, DryAndWetMixAndModulationAddsUpToFiveMilliseconds)
{
    EngineRig rig;
    rig.engine.tapTimeMs[0][0] = 1.0f;
    rig.engine.tapGain[0][0] = 1.0f;
    rig.settle();
    Signal l (100, 0.0f), r (100, 0.0f);
    l[0] = 0.5f;
    r[0] = -0.25f;
    rig.run (l, r, 0.3f, 0.7f);
    EXPECT_FLOAT_EQ (l[0], 0.15f);
    EXPECT_FLOAT_EQ (r[0], -0.075f);
    EXPECT_NEAR (around (l, 48), 0.7f * y, 1e-5f);

    // The square wave held at +1 adds the full 5 ms; held at -1 it adds nothing.
    for (float phase : { 100.0f, 3000.0f })
    {
        EngineRig mod;
        mod.engine.lfoShape[0] = corvantis::KT_QuadratureOsc::square;
        mod.engine.lfo[0].phase = phase;
        mod.engine.modDepth[0][0] = mod.engine.tapGain[0][0] = 1.0f;
        mod.engine.tapTimeMs[0][0] = 10.0f;
        mod.impulse (2000);
        EXPECT_EQ (peakIndex (mod.left), phase < 2048.0f ? 720 : 480) << phase;
    }
}

TEST (DelayEngine, NormalFeedbackRepeatsInItsOwnLineAndCrossInTheOther)
{
    // Feedback taps at 100 ms, amounts 0.5 left and 0.25 right; each line's output tap at 50 ms shows what the line holds.
    const float amount[2] { 0.5f, 0.25f };
    for (bool cross : { false, true })
        for (int from = 0; from < 2; ++from)
        {
            EngineRig rig;
            for (int ch = 0; ch < 2; ++ch)
            {
                rig.engine.crossFeedback[ch] = cross;
                rig.engine.feedbackAmount[ch] = amount[ch];
                rig.engine.highDamp[ch].g = 0.98f;
                rig.engine.tapTimeMs[ch][0] = 50.0f;
                rig.engine.tapGain[ch][0] = 1.0f;
            }
            rig.impulse (15000, from);

            const int other = 1 - from;
            const Signal* out[2] { &rig.left, &rig.right };
            const int firstIn = cross ? other : from;
            const float second = cross ? amount[from] * amount[other] : amount[from] * amount[from];
            EXPECT_NEAR (around (*out[from], 2400), y, 1e-5f) << cross << from;
            EXPECT_NEAR (around (*out[firstIn], 7200, 20), amount[from] * y, 1e-4f) << cross << from;
            EXPECT_LT (peak (*out[1 - firstIn], 7100, 7300), 1e-6f) << cross << from;
            EXPECT_NEAR (around (*out[from], 12000, 40), second * y, 1e-4f) << cross << from;
        }
}

namespace
{
    /** An engine whose left line holds two impulses (0.5 then 0.25, 1000 samples apart), then frozen in loop mode. */
    struct LoopRig : EngineRig
    {
        LoopRig (float speed, bool reverse)
        {
            engine.tapTimeMs[0][0] = 100.0f;
            engine.tapGain[0][0] = 1.0f;
            settle();
            Signal l (2000, 0.0f), r (2000, 0.0f);
            l[0] = 0.5f;
            l[1000] = 0.25f;
            run (l, r);
            engine.loopActive[0] = engine.loopActive[1] = true;
            engine.loopSpeed = speed;
            engine.loopReverse = reverse;
        }

        /** Where the tap plays the big (tanh 0.5) and the small (tanh 0.25) impulse; each is split over two samples. */
        void find (size_t numSamples, std::vector<int>& big, std::vector<int>& small)
        {
            left.assign (numSamples, 0.0f);
            right.assign (numSamples, 0.0f);
            run (left, right);
            for (size_t i = 0; i < numSamples; ++i)
                if (left[i] > 0.15f)
                    (left[i] > 0.3f ? big : small).push_back ((int) i);
        }
    };
}

TEST (DelayEngine, LoopRepeatsTheFrozenLineEveryFivePointOneSecondsAndReversePlaysBackwards)
{
    const int length = 244800;
    LoopRig forward (1.0f, false);
    std::vector<int> big, small;
    forward.find ((size_t) length * 2 + 10, big, small);
    ASSERT_EQ (big.size(), 2u);
    ASSERT_EQ (small.size(), 2u);
    EXPECT_EQ (big[1] - big[0], length);
    EXPECT_EQ (small[0] - big[0], 1000);
    EXPECT_TRUE (std::equal (forward.left.begin(), forward.left.begin() + length, forward.left.begin() + length));

    LoopRig backward (1.0f, true);
    big.clear();
    small.clear();
    backward.find ((size_t) length + 10, big, small);
    ASSERT_EQ (big.size(), 1u);
    ASSERT_EQ (small.size(), 1u);
    EXPECT_EQ (big[0] - small[0], 1000);

    // At speed 0 the loop holds one constant.
    LoopRig held (0.0f, false);
    held.find (5000, big, small);
    EXPECT_TRUE (std::all_of (held.left.begin(), held.left.end(), [&] (float x) { return x == held.left[0]; }));
}

TEST (DelayEngine, LoopKeepsMovingFarBeyondTheFloatRange)
{
    // 71 turns of the line are over 2^24 samples: the loop still plays the same line, not a stalled constant.
    LoopRig rig (1.0f, false);
    Signal first (244800, 0.0f), r (first.size(), 0.0f), l;
    rig.run (first, r);
    for (int i = 0; i < 70; ++i)
    {
        l.assign (first.size(), 0.0f);
        std::fill (r.begin(), r.end(), 0.0f);
        rig.run (l, r);
    }
    EXPECT_EQ (l, first);
}

TEST (DelayEngine, NonFiniteInputDoesNotPoisonTheLines)
{
    EngineRig rig;
    for (int ch = 0; ch < 2; ++ch)
    {
        rig.engine.tapGain[ch][0] = rig.engine.feedbackTapGain[ch] = 1.0f;
        rig.engine.tapTimeMs[ch][0] = 7.0f;
        rig.engine.feedbackTimeMs[ch] = 10.0f;
        rig.engine.feedbackAmount[ch] = rig.engine.highDamp[ch].g = 0.9f;
        rig.engine.lowDamp[ch].g = 0.1f;
    }
    rig.engine.drive = 0.5f;
    rig.settle();

    Signal l (48000 * 4, 0.0f), r (l.size(), 0.0f);
    const float bad[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity() };
    for (size_t i = 0; i < 1300; ++i)
        l[i] = r[i] = i < 1000 ? (float) std::sin ((double) i * 0.05) : bad[i % 3];
    rig.run (l, r);

    EXPECT_TRUE (std::all_of (l.begin() + 1300, l.end(), [] (float x) { return std::isfinite (x); }));
    EXPECT_TRUE (std::all_of (r.begin() + 1300, r.end(), [] (float x) { return std::isfinite (x); }));
    EXPECT_GT (peak (l, 1300, 2000), 0.01f);
    EXPECT_LT (peak (l, l.size() - 4800) + peak (r, r.size() - 4800), 1e-6f);
}

TEST (DelayEngine, SameChannelForBothSidesLeavesTheRightResult)
{
    EngineRig rig;
    rig.engine.tapTimeMs[0][0] = 1.0f;
    rig.engine.tapGain[0][0] = 1.0f;
    rig.engine.tapTimeMs[1][0] = 2.0f;
    rig.engine.tapGain[1][0] = 0.5f;
    rig.settle();

    Signal mono (200, 0.0f);
    mono[0] = 0.5f;
    for (size_t start = 0; start < mono.size(); start += 64)
        rig.engine.process (mono.data() + start, mono.data() + start, (int) std::min<size_t> (64, mono.size() - start), 1.0f, 1.0f);

    // Both lines hear the one channel; the right result, whose dry term is the left result, remains.
    EXPECT_FLOAT_EQ (mono[0], 0.5f);
    EXPECT_NEAR (around (mono, 48), y, 1e-5f);
    EXPECT_NEAR (around (mono, 96), 0.5f * y, 1e-5f);
}

TEST (DelayEngine, BlockSizeDoesNotChangeTheOutput)
{
    juce::Random noise (3);
    Signal in (96000);
    for (auto& x : in)
        x = noise.nextFloat() * 2.0f - 1.0f;

    auto runWithBlocks = [&] (int blockSize, bool loopHalfway)
    {
        EngineRig rig;
        auto& e = rig.engine;
        for (int ch = 0; ch < 2; ++ch)
        {
            for (int k = 0; k < 3; ++k)
            {
                e.tapTimeMs[ch][k] = 3.0f + 40.0f * (float) (k + ch);
                e.tapGain[ch][k] = 0.7f;
                e.modDepth[ch][k] = 0.8f;
            }
            e.feedbackTimeMs[ch] = 25.0f + 10.0f * (float) ch;
            e.feedbackAmount[ch] = 0.9f;
            e.feedbackTapGain[ch] = e.highDamp[ch].g = 0.5f;
            e.lfoShape[ch] = 2 + ch;
            e.lfo[ch].setRate (5.0f);
            e.lowCut[ch].setCoefficients (Biquad::highPass, 0.001);
            e.highCut[ch].setCoefficients (Biquad::lowPass, 0.3);
        }
        e.crossFeedback[1] = true;
        e.drive = 0.4f;

        Signal l (in.begin(), in.begin() + 48000), r (in.begin() + 48000, in.end());
        juce::ScopedNoDenormals noDenormals;
        for (size_t start = 0; start < l.size(); start += (size_t) blockSize)
        {
            if (loopHalfway && start >= l.size() / 2)
                e.loopActive[0] = e.loopActive[1] = true;
            e.process (l.data() + start, r.data() + start, (int) std::min<size_t> ((size_t) blockSize, l.size() - start), 0.5f, 1.0f);
        }
        l.insert (l.end(), r.begin(), r.end());
        return l;
    };

    const auto reference = runWithBlocks (512, false);
    for (int blockSize : { 1, 7, 64, 65, 333, 4096 })
        EXPECT_EQ (runWithBlocks (blockSize, false), reference) << blockSize;
    EXPECT_EQ (runWithBlocks (96, true), runWithBlocks (480, true));
}

TEST (DelayEngine, ABadWorkingValueLastsNoLongerThanItsBlock)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const struct { const char* what; std::function<void (DelayEngine&, bool bad)> set; } poisons[] = {
        { "feedback", [=] (DelayEngine& e, bool bad) { e.feedbackAmount[0] = bad ? nan : 0.5f; } },
        { "drive", [=] (DelayEngine& e, bool bad) { e.drive = bad ? nan : 0.0f; } },
        { "low damping", [=] (DelayEngine& e, bool bad) { e.lowDamp[0].g = bad ? inf : 0.5f; } },
        { "high damping", [=] (DelayEngine& e, bool bad) { e.highDamp[1].g = bad ? nan : 0.5f; } },
        { "LFO rate", [=] (DelayEngine& e, bool bad) { e.lfo[0].increment = bad ? nan : 0.0f; } },
        { "loop speed", [=] (DelayEngine& e, bool bad) { e.loopActive[0] = e.loopActive[1] = true; e.loopSpeed = bad ? nan : 1.0f; } },
    };

    for (const auto& poison : poisons)
    {
        EngineRig rig;
        auto& e = rig.engine;
        for (int ch = 0; ch < 2; ++ch)
        {
            e.tapTimeMs[ch][0] = 5.0f;
            e.tapGain[ch][0] = 1.0f;
            e.feedbackTimeMs[ch] = 7.0f;
            e.feedbackAmount[ch] = e.lowDamp[ch].g = e.highDamp[ch].g = 0.5f;
        }

        // One block of a sine, wet only, closed as the processor closes every block: the RMS, or -1 when not finite.
        double phase = 0.0;
        auto block = [&]
        {
            Signal l (512), r (512);
            for (auto& x : l)
                x = 0.5f * (float) std::sin (phase += 0.05);
            r = l;
            rig.run (l, r);
            e.replaceNonFiniteState (512);
            double sum = 0.0;
            for (size_t i = 0; i < l.size(); ++i)
                sum += (double) l[i] * l[i] + (double) r[i] * r[i];
            return std::isfinite (sum) ? std::sqrt (sum / 1024.0) : -1.0;
        };

        // The whole line filled, so that loop playback has something to play wherever it goes.
        for (int i = 0; i < 500; ++i)
            block();
        poison.set (e, true);
        block();
        poison.set (e, false);
        block();
        EXPECT_GT (block(), 0.01) << poison.what << ": finite and audible again";
    }
}
