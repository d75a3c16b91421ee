#include <gtest/gtest.h>
#include <juce_audio_basics/juce_audio_basics.h>
#include "processor/dsp/DelayEngine.h"
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace
{
    constexpr double rate = 48000.0;

    /** An engine at 48 kHz with every tap silent, no feedback, no modulation and the cut filters
        replaced by pass-through designs, so that tap positions and gains can be read off the output. */
    struct EngineRig
    {
        EngineRig()
        {
            engine.prepare (rate);
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
                engine.feedbackTapGain[ch] = 0.0f;
                engine.feedbackAmount[ch] = 0.0f;
                engine.lowCut[ch].setCoefficients (Biquad::peak, 0.01);
                engine.highCut[ch].setCoefficients (Biquad::peak, 0.01);
                engine.lfo[ch].setRate (0.0f);
            }
        }

        /** Runs the given input through the engine in blocks of 512 (wet only); the result replaces it. */
        void run (std::vector<float>& l, std::vector<float>& r, float dry = 0.0f, float wet = 1.0f)
        {
            juce::ScopedNoDenormals noDenormals;
            for (size_t start = 0; start < l.size(); start += 512)
            {
                const int n = (int) std::min<size_t> (512, l.size() - start);
                engine.process (l.data() + start, r.data() + start, n, dry, wet);
            }
        }

        void runSilence (int numSamples)
        {
            std::vector<float> l ((size_t) numSamples), r ((size_t) numSamples);
            run (l, r);
        }

        /** Lets the tap-time glides settle, then sends one impulse into the chosen channel. */
        void impulse (int numSamples, float amplitude, int channel = 0, int settle = 30000)
        {
            runSilence (settle);
            left.assign ((size_t) numSamples, 0.0f);
            right.assign ((size_t) numSamples, 0.0f);
            (channel == 0 ? left : right)[0] = amplitude;
            run (left, right);
        }

        DelayEngine engine;
        std::vector<float> left, right;
    };

    /** Sum of a sample and its neighbours: a tap between two samples splits its level between them. */
    float around (const std::vector<float>& x, size_t i)
    {
        return x[i - 1] + x[i] + x[i + 1];
    }

    int peakIndex (const std::vector<float>& x)
    {
        size_t best = 0;
        for (size_t i = 1; i < x.size(); ++i)
            if (std::abs (x[i]) > std::abs (x[best]))
                best = i;
        return (int) best;
    }

    float peak (const std::vector<float>& x, size_t from = 0, size_t to = SIZE_MAX)
    {
        float p = 0.0f;
        for (size_t i = from; i < std::min (to, x.size()); ++i)
            p = std::max (p, std::abs (x[i]));
        return p;
    }
}

TEST (DelayEngine, PrepareSizesTheLinesForFivePointOneSeconds)
{
    DelayEngine engine;
    engine.prepare (44100.0);
    EXPECT_EQ (engine.channel[0].length, 224910);
    EXPECT_EQ (engine.channel[1].length, 224910);
    EXPECT_FLOAT_EQ (engine.timeSmoother[0][0].coeff, 0.99857628f);
    EXPECT_EQ (engine.timeSmoother[1][3].current, 0.0f);
    EXPECT_EQ (engine.timeSmoother[1][3].target, 0.1f);

    engine.prepare (48000.0);
    EXPECT_EQ (engine.channel[0].length, 244800);
    EXPECT_EQ (engine.channel[0].writeIndex, 0);
    EXPECT_NEAR (engine.highCut[0].frequency, 16000.0 / 48000.0, 1e-15);
    EXPECT_NEAR (engine.lowCut[1].frequency, 30.0 / 48000.0, 1e-15);
    EXPECT_EQ (engine.lowCut[1].type, Biquad::highPass);
    EXPECT_EQ (engine.lfo[0].rate, 1.0f);
}

TEST (DelayEngine, TapSoundsAtItsTimeWithTheDrivenLevel)
{
    EngineRig rig;
    rig.engine.tapTimeMs[0][0] = 250.0f;
    rig.engine.tapGain[0][0] = 1.0f;
    rig.impulse (20000, 0.5f);

    // 250 ms at 48 kHz; the positive half of the input passes through tanh. The float glide settles a
    // hair short of its target, so a little of the level lands on the sample before.
    EXPECT_EQ (peakIndex (rig.left), 12000);
    EXPECT_NEAR (rig.left[12000], std::tanh (0.5f), 0.1f * std::tanh (0.5f));
    EXPECT_NEAR (rig.left[11999] + rig.left[12000], std::tanh (0.5f), 1e-4f);
    EXPECT_EQ (peak (rig.left, 0, 11999), 0.0f);
    EXPECT_EQ (peak (rig.left, 12001), 0.0f);
    EXPECT_EQ (peak (rig.right), 0.0f);
}

TEST (DelayEngine, TapTimesGlideInFromZeroAfterPrepare)
{
    // Straight after prepare every glide starts at 0 ms. The output taps' glides step twice per sample,
    // the feedback tap's once, each with the 0.1 s one-pole coefficient: an impulse sent while they are
    // still gliding reaches the output when the glided delay meets it.
    EngineRig rig;
    rig.engine.tapTimeMs[0][0] = 10.0f;
    rig.engine.tapGain[0][0] = 1.0f;
    rig.engine.feedbackTimeMs[1] = 10.0f;
    rig.engine.feedbackTapGain[1] = 1.0f;

    const size_t sent = 300;
    rig.left.assign (2000, 0.0f);
    rig.right.assign (2000, 0.0f);
    rig.left[sent] = 0.5f;
    rig.right[sent] = 0.5f;
    rig.run (rig.left, rig.right);

    // First sample t whose read position t - D(t) has passed the impulse; D(t) is the delay after the
    // given number of glide steps towards 480 samples.
    const double coeff = std::exp (-2.0 * 3.14159265358979 / 4800.0);
    auto arrival = [coeff, sent] (int stepsPerSample)
    {
        for (int t = (int) sent;; ++t)
            if ((double) t - 480.0 * (1.0 - std::pow (coeff, stepsPerSample * t + 1)) >= (double) sent)
                return t;
    };

    EXPECT_NEAR (peakIndex (rig.left), arrival (2), 1);
    EXPECT_NEAR (peakIndex (rig.right), arrival (1), 1);
}

TEST (DelayEngine, FractionalTimesInterpolateBetweenNeighbours)
{
    EngineRig rig;
    rig.engine.tapTimeMs[1][0] = 0.2125f; // 10.2 samples
    rig.engine.tapGain[1][0] = 1.0f;
    rig.impulse (100, 0.25f, 1);

    const float y = std::tanh (0.25f);
    EXPECT_NEAR (rig.right[10], 0.8f * y, 1e-3f);
    EXPECT_NEAR (rig.right[11], 0.2f * y, 1e-3f);
    EXPECT_EQ (peak (rig.left), 0.0f);
}

TEST (DelayEngine, TimesAreLimitedToTheLine)
{
    EngineRig rig;
    rig.engine.tapTimeMs[0][1] = 8000.0f;
    rig.engine.tapTimeMs[0][2] = 0.0f;
    rig.engine.tapGain[0][1] = 1.0f;
    rig.engine.tapGain[0][2] = 0.5f;
    rig.impulse (241000, 0.5f);

    const float y = std::tanh (0.5f);
    // The shortest time is 0.1 ms, 4.8 samples: split between samples 4 and 5.
    EXPECT_NEAR (rig.left[4], 0.5f * 0.2f * y, 1e-3f);
    EXPECT_NEAR (rig.left[5], 0.5f * 0.8f * y, 1e-3f);
    // The longest is aimed at 5000 ms; the float glide stops a fraction of a millisecond short of it.
    EXPECT_EQ (rig.engine.timeSmoother[0][1].target, 5000.0f);
    const int longest = peakIndex (rig.left);
    EXPECT_GE (longest, 240000 - 24);
    EXPECT_LE (longest, 240000);
    EXPECT_NEAR (around (rig.left, (size_t) longest), y, 1e-3f);
    EXPECT_LT (peak (rig.left, 6, 240000 - 25), 1e-6f);
}

TEST (DelayEngine, PansSendEachTapToBothOutputs)
{
    EngineRig rig;
    rig.engine.tapTimeMs[0][0] = 10.0f;
    rig.engine.tapGain[0][0] = 0.5f;
    rig.engine.tapPanLeft[0][0] = 0.25f;
    rig.engine.tapPanRight[0][0] = 0.75f;
    rig.engine.tapTimeMs[1][2] = 20.0f;
    rig.engine.tapGain[1][2] = 1.0f;
    rig.engine.tapPanLeft[1][2] = 0.6f;
    rig.engine.tapPanRight[1][2] = 0.8f;
    rig.runSilence (30000);

    std::vector<float> l (2000, 0.0f), r (2000, 0.0f);
    l[0] = 0.5f;
    r[0] = 0.5f;
    rig.run (l, r);

    const float y = std::tanh (0.5f);
    EXPECT_NEAR (around (l, 480), 0.5f * 0.25f * y, 1e-5f);
    EXPECT_NEAR (around (r, 480), 0.5f * 0.75f * y, 1e-5f);
    EXPECT_NEAR (around (l, 960), 0.6f * y, 1e-5f);
    EXPECT_NEAR (around (r, 960), 0.8f * y, 1e-5f);
}

TEST (DelayEngine, DryAndWetMix)
{
    EngineRig rig;
    rig.engine.tapTimeMs[0][0] = 1.0f;
    rig.engine.tapGain[0][0] = 1.0f;
    rig.runSilence (30000);

    std::vector<float> l (100, 0.0f), r (100, 0.0f);
    l[0] = 0.5f;
    r[0] = -0.25f;
    rig.run (l, r, 0.3f, 0.7f);

    EXPECT_FLOAT_EQ (l[0], 0.15f);
    EXPECT_FLOAT_EQ (r[0], -0.075f);
    EXPECT_NEAR (around (l, 48), 0.7f * std::tanh (0.5f), 1e-5f);
}

TEST (DelayEngine, ModulationAddsUpToFiveMilliseconds)
{
    // The square wave held at +1 adds the full 5 ms; held at -1 it adds nothing.
    for (float phase : { 100.0f, 3000.0f })
    {
        EngineRig rig;
        rig.engine.lfoShape[0] = corvantis::KT_QuadratureOsc::square;
        rig.engine.lfo[0].phase = phase;
        rig.engine.modDepth[0][0] = 1.0f;
        rig.engine.tapTimeMs[0][0] = 10.0f;
        rig.engine.tapGain[0][0] = 1.0f;
        rig.impulse (2000, 0.5f);

        EXPECT_EQ (peakIndex (rig.left), phase < 2048.0f ? 720 : 480) << phase;
    }
}

TEST (DelayEngine, WithoutDepthTheLfoDoesNotMatter)
{
    std::vector<float> outputs[2];
    for (int variant = 0; variant < 2; ++variant)
    {
        EngineRig rig;
        for (int ch = 0; ch < 2; ++ch)
        {
            rig.engine.lfoShape[ch] = variant == 0 ? 0 : 9;
            rig.engine.lfo[ch].setRate (variant == 0 ? 3.0f : 11.0f);
            for (int k = 0; k < 3; ++k)
                rig.engine.tapGain[ch][k] = 1.0f;
            rig.engine.feedbackAmount[ch] = 0.5f;
        }
        rig.impulse (30000, 0.5f);
        outputs[variant] = rig.left;
    }
    EXPECT_EQ (outputs[0], outputs[1]);
    EXPECT_GT (peak (outputs[0]), 0.1f);
}

TEST (DelayEngine, FullFeedbackDecaysByTheFeedbackAmount)
{
    EngineRig rig;
    rig.engine.feedbackTimeMs[0] = 10.0f;
    rig.engine.feedbackTapGain[0] = 1.0f;
    rig.engine.feedbackAmount[0] = 0.98f;
    rig.engine.lowDamp[0].g = 0.0f;
    rig.engine.highDamp[0].g = 0.98f;
    rig.impulse (480 * 200, 0.5f);

    // Each repeat is the last one, low-passed (unity at DC) and scaled by 0.98: its sum shrinks by 0.98.
    std::vector<double> sums;
    for (size_t repeat = 1; repeat < 200; ++repeat)
    {
        double sum = 0.0;
        for (size_t i = repeat * 480 - 2; i < repeat * 480 + 478; ++i)
            sum += rig.left[i];
        sums.push_back (sum);
    }

    EXPECT_NEAR (sums[0], std::tanh (0.5f), 1e-5);
    for (size_t i = 1; i < sums.size(); ++i)
    {
        ASSERT_NEAR (sums[i] / sums[i - 1], 0.98, 1e-3) << i;
        ASSERT_LE (peak (rig.left, (i + 1) * 480 - 2, (i + 1) * 480 + 478), peak (rig.left, i * 480 - 2, i * 480 + 478));
    }
}

TEST (DelayEngine, HighDampAtFullCutsTheFeedback)
{
    EngineRig rig;
    rig.engine.feedbackTimeMs[0] = 10.0f;
    rig.engine.feedbackTapGain[0] = 1.0f;
    rig.engine.feedbackAmount[0] = 0.98f;
    rig.engine.lowDamp[0].g = 0.49f;
    rig.engine.highDamp[0].g = 0.0f;
    rig.impulse (2000, 0.5f);

    EXPECT_NEAR (around (rig.left, 480), std::tanh (0.5f), 1e-5f);
    EXPECT_EQ (peak (rig.left, 482), 0.0f);
}

TEST (DelayEngine, CrossFeedbackMovesTheRepeatsToTheOtherLine)
{
    for (bool cross : { false, true })
    {
        EngineRig rig;
        rig.engine.crossFeedback[0] = cross;
        rig.engine.crossFeedback[1] = cross;
        rig.engine.feedbackTimeMs[0] = 100.0f;
        rig.engine.feedbackAmount[0] = 0.98f;
        rig.engine.feedbackAmount[1] = 0.98f;
        rig.engine.highDamp[0].g = 0.98f;
        rig.engine.highDamp[1].g = 0.98f;
        rig.engine.tapTimeMs[1][0] = 50.0f;
        rig.engine.tapGain[1][0] = 1.0f;
        rig.engine.tapTimeMs[0][0] = 50.0f;
        rig.engine.tapGain[0][0] = 1.0f;
        rig.engine.tapPanLeft[0][0] = 0.0f;
        rig.engine.tapPanRight[0][0] = 0.0f;
        rig.impulse (20000, 0.5f, 0);

        if (cross)
        {
            // The left line's feedback tap (100 ms) is written into the right line, whose tap reads it 50 ms later.
            EXPECT_NEAR (peakIndex (rig.right), 4800 + 2400, 1);
            EXPECT_EQ (peak (rig.right, 0, 4800 + 2400 - 3), 0.0f);
        }
        else
        {
            EXPECT_EQ (peak (rig.right), 0.0f);
        }
    }
}

TEST (DelayEngine, DriveSaturatesBothHalvesDifferently)
{
    // What enters the line for an input sample, read back through one tap.
    auto throughDrive = [] (float x, float drive)
    {
        EngineRig rig;
        rig.engine.drive = drive;
        rig.engine.tapTimeMs[0][0] = 1.0f;
        rig.engine.tapGain[0][0] = 1.0f;
        rig.impulse (100, x);
        return around (rig.left, 48);
    };

    for (float drive : { 0.0f, 0.3f, 0.5f, 1.0f })
    {
        EXPECT_NEAR (throughDrive (0.5f, drive), std::tanh (0.5f), 1e-6f) << drive;
        EXPECT_NEAR (throughDrive (3.0f, drive), std::tanh (3.0f), 1e-6f) << drive;
    }

    EXPECT_NEAR (throughDrive (-0.5f, 0.0f), -0.5f / 1.5f, 1e-6f);
    EXPECT_NEAR (throughDrive (-0.5f, 0.5f), -0.5f / ((std::sqrt (0.5f) + 1.0f) * (std::sqrt (0.5f) + 1.0f)), 1e-6f);
    EXPECT_NEAR (throughDrive (-0.5f, 0.3f), -0.5f / std::pow (std::pow (0.5f, 0.7f) + 1.0f, 1.0f / 0.7f), 1e-6f);

    // Drive 100 % cuts the negative half off completely.
    EXPECT_EQ (throughDrive (-0.5f, 1.0f), 0.0f);
    EXPECT_EQ (throughDrive (-3.0f, 1.0f), 0.0f);
}

TEST (DelayEngine, InputGainActsBeforeTheDrive)
{
    EngineRig rig;
    rig.engine.inputGain = 0.5f;
    rig.engine.tapTimeMs[0][0] = 1.0f;
    rig.engine.tapGain[0][0] = 1.0f;
    rig.runSilence (30000);

    std::vector<float> l (100, 0.0f), r (100, 0.0f);
    l[0] = 0.8f;
    rig.run (l, r, 1.0f, 1.0f);

    EXPECT_EQ (l[0], 0.8f);
    EXPECT_NEAR (around (l, 48), std::tanh (0.4f), 1e-5f);
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
            runSilence (30000);

            std::vector<float> l (2000, 0.0f), r (2000, 0.0f);
            l[0] = 0.5f;
            l[1000] = 0.25f;
            run (l, r);

            engine.loopActive[0] = engine.loopActive[1] = true;
            engine.loopSpeed = speed;
            engine.loopReverse = reverse;
        }
    };
}

TEST (DelayEngine, LoopRepeatsTheFrozenLineEveryLength)
{
    LoopRig rig (1.0f, false);
    const int length = rig.engine.channel[0].length;
    ASSERT_EQ (length, 244800);
    const int writeIndex = rig.engine.channel[0].writeIndex;

    std::vector<float> l ((size_t) length * 2 + 10, 0.0f), r (l.size(), 0.0f);
    rig.run (l, r);

    // Nothing is written while looping.
    EXPECT_EQ (rig.engine.channel[0].writeIndex, writeIndex);

    // The tap splits each impulse over two neighbouring samples; the larger part of the big one
    // (tanh 0.5) stands above 0.3, the larger part of the small one (tanh 0.25) between 0.15 and 0.3.
    std::vector<int> bigAt, smallAt;
    for (size_t i = 0; i < l.size(); ++i)
    {
        if (l[i] > 0.3f)
            bigAt.push_back ((int) i);
        else if (l[i] > 0.15f)
            smallAt.push_back ((int) i);
    }
    ASSERT_EQ (bigAt.size(), 2u);
    ASSERT_EQ (smallAt.size(), 2u);
    EXPECT_EQ (bigAt[1] - bigAt[0], length);
    EXPECT_EQ (smallAt[0] - bigAt[0], 1000);
    for (size_t i = 0; i < (size_t) length; ++i)
        ASSERT_EQ (l[i], l[i + (size_t) length]) << i;
}

TEST (DelayEngine, ReverseLoopPlaysBackwards)
{
    LoopRig rig (1.0f, true);
    const int length = rig.engine.channel[0].length;
    std::vector<float> l ((size_t) length + 10, 0.0f), r (l.size(), 0.0f);
    rig.run (l, r);

    int bigAt = -1, smallAt = -1;
    for (size_t i = 0; i < l.size(); ++i)
    {
        if (l[i] > 0.3f && bigAt < 0)
            bigAt = (int) i;
        else if (l[i] > 0.15f && l[i] <= 0.3f && smallAt < 0)
            smallAt = (int) i;
    }
    ASSERT_GE (bigAt, 0);
    ASSERT_GE (smallAt, 0);
    // Backwards, the later (smaller) impulse comes first, the same distance ahead.
    EXPECT_EQ (bigAt - smallAt, 1000);
}

TEST (DelayEngine, LoopAtSpeedZeroHoldsAConstant)
{
    EngineRig rig;
    rig.engine.tapTimeMs[0][0] = 100.0f;
    rig.engine.tapGain[0][0] = 1.0f;
    rig.runSilence (30000);

    std::vector<float> l (6000, 0.0f), r (6000, 0.0f);
    for (size_t i = 0; i < l.size(); ++i)
        l[i] = 0.5f + 0.25f * (float) std::sin ((double) i * 0.01);
    rig.run (l, r);

    rig.engine.loopActive[0] = rig.engine.loopActive[1] = true;
    rig.engine.loopSpeed = 0.0f;
    const float position = rig.engine.channel[0].loopPosition;
    std::vector<float> held (5000, 0.0f), heldR (held.size(), 0.0f);
    rig.run (held, heldR);

    EXPECT_EQ (rig.engine.channel[0].loopPosition, position);
    EXPECT_GT (held[0], 0.2f);
    for (size_t i = 1; i < held.size(); ++i)
        ASSERT_EQ (held[i], held[0]);
}

TEST (DelayEngine, LoopKeepsMovingFarBeyondTheFloatRange)
{
    LoopRig rig (1.0f, false);
    const size_t length = (size_t) rig.engine.channel[0].length;

    std::vector<float> first (length, 0.0f), r (length, 0.0f);
    rig.run (first, r);

    // Over 2^24 samples later the loop still plays the same line, not a stalled constant.
    for (int i = 0; i < 70; ++i)
    {
        std::vector<float> l (length, 0.0f);
        std::fill (r.begin(), r.end(), 0.0f);
        rig.run (l, r);
        if (i == 69)
        {
            EXPECT_EQ (l, first);
        }
    }
    EXPECT_GT ((double) length * 71.0, 16777216.0);
    EXPECT_GE (rig.engine.channel[0].loopPosition, 0.0f);
    EXPECT_LT (rig.engine.channel[0].loopPosition, (float) length);
}

TEST (DelayEngine, NonFiniteInputDoesNotPoisonTheLines)
{
    EngineRig rig;
    for (int ch = 0; ch < 2; ++ch)
    {
        rig.engine.tapGain[ch][0] = 1.0f;
        rig.engine.tapTimeMs[ch][0] = 7.0f;
        rig.engine.feedbackTimeMs[ch] = 10.0f;
        rig.engine.feedbackTapGain[ch] = 1.0f;
        rig.engine.feedbackAmount[ch] = 0.9f;
        rig.engine.lowDamp[ch].g = 0.1f;
        rig.engine.highDamp[ch].g = 0.9f;
    }
    rig.engine.drive = 0.5f;
    rig.runSilence (30000);

    std::vector<float> l (48000, 0.0f), r (48000, 0.0f);
    for (size_t i = 0; i < 1000; ++i)
        l[i] = r[i] = (float) std::sin ((double) i * 0.05);
    const float bad[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity() };
    for (size_t i = 1000; i < 1300; ++i)
        l[i] = r[i] = bad[i % 3];
    rig.run (l, r);

    for (size_t i = 1300; i < l.size(); ++i)
    {
        ASSERT_TRUE (std::isfinite (l[i])) << i;
        ASSERT_TRUE (std::isfinite (r[i])) << i;
    }
    EXPECT_GT (peak (l, 1300, 2000), 0.01f);

    std::vector<float> tail (48000 * 3, 0.0f), tailR (tail.size(), 0.0f);
    rig.run (tail, tailR);
    EXPECT_LT (peak (tail, tail.size() - 4800), 1e-6f);
    EXPECT_LT (peak (tailR, tail.size() - 4800), 1e-6f);
}

TEST (DelayEngine, SameChannelForBothSidesLeavesTheRightResult)
{
    EngineRig rig;
    rig.engine.tapTimeMs[0][0] = 1.0f;
    rig.engine.tapGain[0][0] = 1.0f;
    rig.engine.tapTimeMs[1][0] = 2.0f;
    rig.engine.tapGain[1][0] = 0.5f;
    rig.engine.tapPanLeft[1][0] = 0.0f;
    rig.engine.tapPanRight[1][0] = 1.0f;
    rig.runSilence (30000);

    std::vector<float> mono (200, 0.0f);
    mono[0] = 0.5f;
    for (size_t start = 0; start < mono.size(); start += 64)
    {
        const int n = (int) std::min<size_t> (64, mono.size() - start);
        rig.engine.process (mono.data() + start, mono.data() + start, n, 1.0f, 1.0f);
    }

    // Both lines hear the one channel; the right result, whose dry term is the left result, remains.
    const float y = std::tanh (0.5f);
    EXPECT_FLOAT_EQ (mono[0], 0.5f);
    EXPECT_NEAR (around (mono, 48), y, 1e-5f);
    EXPECT_NEAR (around (mono, 96), 0.5f * y, 1e-5f);
}

TEST (DelayEngine, BlockSizeDoesNotChangeTheOutput)
{
    juce::Random noise (3);
    std::vector<float> inL (48000), inR (48000);
    for (size_t i = 0; i < inL.size(); ++i)
    {
        inL[i] = noise.nextFloat() * 2.0f - 1.0f;
        inR[i] = noise.nextFloat() * 2.0f - 1.0f;
    }

    auto runWithBlocks = [&] (int blockSize, bool loopHalfway)
    {
        EngineRig rig;
        for (int ch = 0; ch < 2; ++ch)
        {
            for (int k = 0; k < 3; ++k)
            {
                rig.engine.tapTimeMs[ch][k] = 3.0f + 40.0f * (float) (k + ch);
                rig.engine.tapGain[ch][k] = 0.7f;
                rig.engine.modDepth[ch][k] = 0.8f;
            }
            rig.engine.feedbackTimeMs[ch] = 25.0f + 10.0f * (float) ch;
            rig.engine.feedbackAmount[ch] = 0.9f;
            rig.engine.feedbackTapGain[ch] = 0.5f;
            rig.engine.highDamp[ch].g = 0.5f;
            rig.engine.lfoShape[ch] = 2 + ch;
            rig.engine.lfo[ch].setRate (5.0f);
            rig.engine.lowCut[ch].setCoefficients (Biquad::highPass, 0.001);
            rig.engine.highCut[ch].setCoefficients (Biquad::lowPass, 0.3);
        }
        rig.engine.crossFeedback[1] = true;
        rig.engine.drive = 0.4f;

        std::vector<float> l = inL, r = inR;
        juce::ScopedNoDenormals noDenormals;
        for (size_t start = 0; start < l.size(); start += (size_t) blockSize)
        {
            if (loopHalfway && start >= l.size() / 2)
                rig.engine.loopActive[0] = rig.engine.loopActive[1] = true;
            const int n = (int) std::min<size_t> ((size_t) blockSize, l.size() - start);
            rig.engine.process (l.data() + start, r.data() + start, n, 0.5f, 1.0f);
        }
        l.insert (l.end(), r.begin(), r.end());
        return l;
    };

    const auto reference = runWithBlocks (512, false);
    for (int blockSize : { 1, 7, 64, 65, 333, 4096 })
        EXPECT_EQ (runWithBlocks (blockSize, false), reference) << blockSize;

    const auto looped = runWithBlocks (480, true);
    EXPECT_EQ (runWithBlocks (96, true), looped);
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
            std::vector<float> l (512), r (512);
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
