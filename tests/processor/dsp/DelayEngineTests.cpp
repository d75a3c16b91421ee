#include <gtest/gtest.h>
#include <juce_audio_basics/juce_audio_basics.h>
#include "processor/dsp/DelayEngine.h"
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace
{
    using Signal = std::vector<float>;
    const float y = std::tanh (0.5f); // an impulse of 0.5 after the input saturation

    /** An engine at 48 kHz with silent taps (no pans), no feedback, no modulation and pass-through cut
        filters, so that taps can be read off the output. A tap set here is panned to its own line's side. */
    struct EngineRig
    {
        explicit EngineRig (double sampleRate = 48000.0)
        {
            engine.prepare (sampleRate);
            for (int ch = 0; ch < 2; ++ch)
            {
                engine.feedbackTimeMs[ch] = 100.0f;
                engine.feedbackTapGain[ch] = engine.feedbackAmount[ch] = 0.0f;
                engine.lowCut[ch] = engine.highCut[ch] = Biquad {};
            }
        }

        void tap (int ch, int k, float ms, float gain, float panLeft = -1.0f, float panRight = -1.0f)
        {
            engine.tapTimeMs[ch][k] = ms;
            engine.tapGain[ch][k] = gain;
            engine.tapPanLeft[ch][k] = panLeft < 0.0f ? (float) (1 - ch) : panLeft;
            engine.tapPanRight[ch][k] = panRight < 0.0f ? (float) ch : panRight;
        }

        void run (Signal& l, Signal& r, float dry = 0.0f, float wet = 1.0f)
        {
            juce::ScopedNoDenormals noDenormals;
            for (size_t start = 0; start < l.size(); start += 512)
                engine.process (l.data() + start, r.data() + start, (int) std::min<size_t> (512, l.size() - start), dry, wet);
        }

        /** Lets the tap-time glides settle, then sends one impulse of 0.5 into the chosen channel. */
        void impulse (size_t numSamples, int channel = 0, float dry = 0.0f, float wet = 1.0f)
        {
            run (left = Signal (30000), right = Signal (30000));
            left = right = Signal (numSamples);
            (channel == 0 ? left : right)[0] = 0.5f;
            run (left, right, dry, wet);
        }

        DelayEngine engine;
        Signal left, right;
    };

    /** Level around a sample: a tap between two samples splits its level between them, damping smears it. */
    float around (const Signal& x, size_t i, size_t after = 1) { return std::accumulate (x.begin() + (long) i - 2, x.begin() + (long) (i + after + 1), 0.0f); }
    int peakIndex (const Signal& x, size_t from = 0, size_t to = SIZE_MAX)
    {
        const auto louder = [] (float a, float b) { return std::abs (a) < std::abs (b); };
        return (int) (std::max_element (x.begin() + (long) from, x.begin() + (long) std::min (to, x.size()), louder) - x.begin());
    }
    float peak (const Signal& x, size_t from = 0, size_t to = SIZE_MAX) { return std::abs (x[(size_t) peakIndex (x, from, to)]); }
}

TEST (DelayEngine, EveryTapSoundsAtItsTimeWithItsGainAndPanAndTheDryWetMix)
{
    for (int ch = 0; ch < 2; ++ch)
        for (int k = 0; k < 4; ++k)
        {
            EngineRig rig;
            const float ms = 10.0f + 5.0f * (float) (4 * ch + k);
            const size_t at = (size_t) ms * 48;
            if (k < 3)
                rig.tap (ch, k, ms, 0.5f, 0.6f, 0.8f);
            rig.engine.feedbackTimeMs[ch] = k < 3 ? 100.0f : ms;
            rig.engine.feedbackTapGain[ch] = k < 3 ? 0.0f : 0.5f;
            rig.impulse (4000, ch, 0.3f, 0.7f);
            // The feedback tap sounds on its own line's side only.
            EXPECT_FLOAT_EQ ((ch == 0 ? rig.left : rig.right)[0], 0.15f) << ch << k;
            EXPECT_NEAR (around (rig.left, at), (k < 3 ? 0.3f : ch == 0 ? 0.5f : 0.0f) * 0.7f * y, 1e-5f) << ch << k;
            EXPECT_NEAR (around (rig.right, at), (k < 3 ? 0.4f : ch == 1 ? 0.5f : 0.0f) * 0.7f * y, 1e-5f) << ch << k;
            EXPECT_LT (peak (rig.left, 1, at - 2) + peak (rig.left, at + 2) + peak (rig.right, 1, at - 2) + peak (rig.right, at + 2), 1e-6f);
        }
}

TEST (DelayEngine, TapTimesGlideInFromZeroAfterPrepare)
{
    // The output taps' glides step twice per sample, the feedback tap's once, each with the 0.1 s one-pole:
    // an impulse sent while they glide towards 10 ms (480 samples) arrives when the glided delay meets it.
    EngineRig rig;
    rig.tap (0, 0, 10.0f, 1.0f);
    rig.engine.feedbackTimeMs[1] = 10.0f;
    rig.engine.feedbackTapGain[1] = 1.0f;
    Signal l (2000), r (2000);
    l[300] = r[300] = 0.5f;
    rig.run (l, r);
    auto arrival = [] (int stepsPerSample)
    {
        for (int t = 300;; ++t)
            if (t - 480.0 * (1.0 - std::pow (std::exp (-2.0 * 3.14159265358979 / 4800.0), stepsPerSample * t + 1)) >= 300.0)
                return t;
    };
    EXPECT_NEAR (peakIndex (l), arrival (2), 1);
    EXPECT_NEAR (peakIndex (r), arrival (1), 1);
}

TEST (DelayEngine, TimesAreLimitedToTheLineAndReadBetweenSamples)
{
    EngineRig rig;
    rig.tap (0, 1, 8000.0f, 1.0f);
    rig.tap (0, 2, 0.0f, 0.5f);
    rig.impulse (241000);
    // The shortest time is 0.1 ms, 4.8 samples; the longest 5 s, which the glide reaches exactly.
    EXPECT_NEAR (rig.left[4], 0.5f * 0.2f * y, 1e-6f);
    EXPECT_NEAR (rig.left[5], 0.5f * 0.8f * y, 1e-6f);
    EXPECT_EQ (peakIndex (rig.left), 240000);
    EXPECT_EQ (rig.left[240000], y);
    EXPECT_LT (peak (rig.left, 6, 240000), 1e-6f);
}

TEST (DelayEngine, AFractionalDelayIsReadBetweenTheRightSamplesAnywhereInTheLine)
{
    // Impulses written past 2^17 (past 2^18 at 96 kHz), where a position held in float keeps only 1/64 (1/32) of
    // a sample: through a tap of d samples, each is split between samples floor(d) and floor(d) + 1 as d's fraction says.
    struct Row { double rate; int writeIndex; float ms; };
    for (const auto& [rate, writeIndex, ms] : { Row { 48000.0, 140000, 1234.5678f }, Row { 48000.0, 200000, 37.0111f },
                                                Row { 96000.0, 300000, 3210.987f }, Row { 96000.0, 440000, 4999.9951f } })
    {
        EngineRig rig (rate);
        rig.engine.channel[0].writeIndex = writeIndex;
        rig.tap (0, 0, ms, 0.8f);
        rig.impulse ((size_t) (ms * rate * 0.001) + 10);
        const double d = (double) ms * rate / 1000.0, whole = std::floor (d), fraction = d - whole;
        const size_t at = (size_t) whole;
        EXPECT_NEAR (rig.left[at], (1.0 - fraction) * 0.8 * y, 1e-6 * y) << ms;
        EXPECT_NEAR (rig.left[at + 1], fraction * 0.8 * y, 1e-6 * y) << ms;
        EXPECT_LT (peak (rig.left, 1, at) + peak (rig.left, at + 2), 1e-6f) << ms;
    }
}

TEST (DelayEngine, NormalFeedbackRepeatsInItsOwnLineAndCrossInTheOther)
{
    // Feedback taps at 100 ms, amounts 0.5 left and 0.25 right; each line's output tap at 50 ms shows what the line holds.
    const float amount[2] { 0.5f, 0.25f };
    for (int cross = 0; cross < 2; ++cross)
        for (int from = 0; from < 2; ++from)
        {
            EngineRig rig;
            for (int ch = 0; ch < 2; ++ch)
            {
                rig.engine.crossFeedback[ch] = cross == 1;
                rig.engine.feedbackAmount[ch] = amount[ch];
                rig.engine.highDamp[ch].g = 0.98f;
                rig.tap (ch, 0, 50.0f, 1.0f);
            }
            rig.impulse (15000, from);
            const Signal* out[2] { &rig.left, &rig.right };
            const int firstIn = cross == 1 ? 1 - from : from;
            EXPECT_NEAR (around (*out[from], 2400), y, 1e-5f) << cross << from;
            EXPECT_NEAR (around (*out[firstIn], 7200, 20), amount[from] * y, 1e-4f) << cross << from;
            EXPECT_LT (peak (*out[1 - firstIn], 7100, 7300), 1e-6f) << cross << from;
            EXPECT_NEAR (around (*out[from], 12000, 40), amount[from] * amount[firstIn] * y, 1e-4f) << cross << from;
        }
}

TEST (DelayEngine, LoopPlaysTheFrozenLineForwardsBackwardsOrHeld)
{
    // The left line holds 0.5, then 0.25 1000 samples later; the loop plays its 5.1 s through a 100 ms tap. Each
    // impulse splits over two samples: the larger part of the big one stands above 0.3, of the small one above 0.15.
    for (float speed : { 1.0f, -1.0f, 0.0f })
    {
        EngineRig rig;
        rig.tap (0, 0, 100.0f, 1.0f);
        rig.impulse (1000);
        Signal first (1000), last;
        first[0] = 0.25f;
        rig.run (first, rig.right = Signal (1000));
        rig.engine.loopActive[0] = rig.engine.loopActive[1] = true;
        rig.engine.loopSpeed = std::abs (speed);
        rig.engine.loopReverse = speed < 0.0f;
        first.assign (244810, 0.0f);
        rig.run (first, rig.right = first);
        // 70 turns later, over 2^24 samples, the loop still plays the same line.
        for (int turn = 0; turn < 70 && speed > 0.0f; ++turn)
            rig.run (last = Signal (244800), rig.right = Signal (244800));
        std::vector<int> big, small;
        for (size_t i = 0; i < first.size(); ++i)
            if (first[i] > 0.15f)
                (first[i] > 0.3f ? big : small).push_back ((int) i);
        // Held at speed 0, the loop reads the silence before the impulses for good.
        ASSERT_EQ (big.size(), speed == 0.0f ? 0u : 1u) << speed;
        ASSERT_EQ (small.size(), big.size()) << speed;
        EXPECT_TRUE (speed == 0.0f || small[0] - big[0] == (speed > 0.0f ? 1000 : -1000));
        EXPECT_TRUE (speed <= 0.0f || std::equal (last.begin(), last.end(), first.begin() + 10));
    }
}

TEST (DelayEngine, ABadWorkingValueLastsNoLongerThanItsBlock)
{
    const std::pair<const char*, void (*) (DelayEngine&, bool bad)> poisons[] = {
        { "feedback", [] (DelayEngine& e, bool bad) { e.feedbackAmount[0] = bad ? NAN : 0.5f; } },
        { "drive", [] (DelayEngine& e, bool bad) { e.drive = bad ? NAN : 0.0f; } },
        { "low damping", [] (DelayEngine& e, bool bad) { e.lowDamp[0].g = bad ? INFINITY : 0.5f; } },
        { "high damping", [] (DelayEngine& e, bool bad) { e.highDamp[1].g = bad ? NAN : 0.5f; } },
        { "LFO rate", [] (DelayEngine& e, bool bad) { e.lfo[0].increment = bad ? NAN : 0.0f; } },
        { "loop speed", [] (DelayEngine& e, bool bad) { e.loopActive[0] = e.loopActive[1] = true; e.loopSpeed = bad ? NAN : 1.0f; } },
    };
    for (const auto& [what, set] : poisons)
    {
        EngineRig rig;
        for (int ch = 0; ch < 2; ++ch)
        {
            rig.tap (ch, 0, 5.0f, 1.0f);
            rig.engine.feedbackTimeMs[ch] = 7.0f;
            rig.engine.feedbackAmount[ch] = rig.engine.lowDamp[ch].g = rig.engine.highDamp[ch].g = 0.5f;
        }
        // Blocks of a sine, each closed as the processor closes every block: the last one's energy, or -1 when not finite.
        // The whole line is filled first, so that loop playback has something to play wherever it goes.
        double phase = 0.0;
        auto blocks = [&] (int count)
        {
            Signal l (512), r (512);
            for (int b = 0; b < count; ++b)
            {
                for (size_t i = 0; i < 512; ++i)
                    l[i] = r[i] = 0.5f * (float) std::sin (phase += 0.05);
                rig.run (l, r);
                rig.engine.replaceNonFiniteState (512);
            }
            const double sum = std::inner_product (l.begin(), l.end(), l.begin(), 0.0) + std::inner_product (r.begin(), r.end(), r.begin(), 0.0);
            return std::isfinite (sum) ? sum : -1.0;
        };
        blocks (500);
        set (rig.engine, true);
        blocks (1);
        set (rig.engine, false);
        EXPECT_GT (blocks (2), 0.1) << what << ": finite and audible again";
    }
}
