#include <gtest/gtest.h>
#include <juce_audio_basics/juce_audio_basics.h>
#include "processor/dsp/DelayEngine.h"
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

// The engine's per-sample arithmetic written out step by step, plainly and slowly, as the delay is
// described (tap-time glides and read positions in double): the fast engine must stay within 1e-6
// of it on every output sample.
namespace
{
    double wrap (double p, double end) { return p >= end ? p - end : p < 0.0 ? p + end : p; }
    float limitTime (float ms) { return std::max (0.1f, std::min (5000.0f, ms)); }

    float plainRead (const DelayChannel& line, double d, bool loop)
    {
        const double p = wrap ((loop ? line.loopPosition : (double) line.writeIndex) - d, (double) line.length);
        const int j = (int) std::floor (p), a = j % line.length, b = (j + 1) % line.length;
        const float f = (float) (p - j);
        return (1.0f - f) * line.buffer[(size_t) a] + f * line.buffer[(size_t) b];
    }

    /** A new target for a tap time's glide, which goes on from where it is. */
    void aim (TimeSmoother& s, float target)
    {
        const double current = s.target + s.offset;
        s.target = target;
        s.offset = current - s.target;
    }

    /** One step of a tap time's glide, which ends on its target, and the delay in samples it gives. */
    double glide (TimeSmoother& s, double sampleRate)
    {
        const double next = s.coeff * (s.target + s.offset) + (1.0 - s.coeff) * s.target;
        s.offset = std::abs (next - s.target) < 1e-9 ? 0.0 : next - s.target;
        return (s.target + s.offset) * sampleRate / 1000.0;
    }

    void plainProcess (DelayEngine& e, float* left, float* right, int n)
    {
        const float dry = 0.6f, wet = 0.9f;
        for (int i = 0; i < n; ++i)
        {
            e.lfo[0].tickShape (e.lfoShape[0]);
            e.lfo[1].tickShape (e.lfoShape[1]);
            const float m[2] { (float) ((e.lfo[0].value + 1.0) * 0.5) * 5.0f, (float) ((e.lfo[1].value + 1.0) * 0.5) * 5.0f };
            // Each output tap's glide steps twice per sample: once for each side's read, the second one's
            // target set only when the other side is read.
            auto tapRead = [&e] (int ch, int k, int side)
            {
                const double d = glide (e.timeSmoother[ch][k], e.sampleRate);
                return plainRead (e.channel[ch], d, e.loopActive[side]) * e.tapGain[ch][k] * (side == 0 ? e.tapPanLeft : e.tapPanRight)[ch][k];
            };
            float leftSum = 0.0f, rightSum = 0.0f;
            for (int k = 0; k < 3; ++k)
            {
                aim (e.timeSmoother[0][k], limitTime (e.modDepth[0][k] * m[0] + e.tapTimeMs[0][k]));
                const float aL = tapRead (0, k, 0), aR = tapRead (1, k, 0);
                aim (e.timeSmoother[1][k], limitTime (e.modDepth[1][k] * m[1] + e.tapTimeMs[1][k]));
                const float bR = tapRead (1, k, 1), bL = tapRead (0, k, 1);
                leftSum += aL + aR;
                rightSum += bR + bL;
            }
            float fbOut[2], damped[2];
            for (int ch = 0; ch < 2; ++ch)
            {
                auto& line = e.channel[ch];
                aim (e.timeSmoother[ch][3], limitTime (m[ch] * e.modDepth[ch][3] + e.feedbackTimeMs[ch]));
                const float fb = plainRead (line, glide (e.timeSmoother[ch][3], e.sampleRate), e.loopActive[ch]);
                if (e.loopActive[ch])
                    line.loopPosition = wrap (line.loopPosition + (e.loopReverse ? -e.loopSpeed : e.loopSpeed), (double) line.length);
                fbOut[ch] = e.feedbackTapGain[ch] * fb;
                damped[ch] = e.highDamp[ch].process (fb - e.lowDamp[ch].process (fb));
            }
            const float fbIn[2] { e.crossFeedback[0] ? e.feedbackAmount[1] * damped[1] : e.feedbackAmount[0] * damped[0],
                                  e.crossFeedback[1] ? damped[0] * e.feedbackAmount[0] : damped[1] * e.feedbackAmount[1] };
            for (int ch = 0; ch < 2; ++ch)
            {
                const float in = ch == 0 ? left[i] : right[i], p = 1.0f - e.drive;
                const float x = std::isfinite (in) ? in * e.inputGain : 0.0f;
                const float y = x > 0.0f ? tanhf (x) : x / powf (powf (std::abs (x), p) + 1.0f, 1.0f / p);
                const double g = e.highCut[ch].process ((double) (float) e.lowCut[ch].process ((double) y));
                if (! e.loopActive[ch])
                {
                    auto& line = e.channel[ch];
                    const int w = line.writeIndex % line.length;
                    line.buffer[(size_t) w] = fbIn[ch] + (float) g;
                    line.loopPosition = line.writeIndex = w + 1;
                }
            }
            left[i] = (leftSum + fbOut[0]) * wet + left[i] * dry;
            right[i] = (rightSum + fbOut[1]) * wet + right[i] * dry;
        }
    }

    /** A loop speed of 0 plays no loop, a negative one plays it in reverse. Hard pans: taps panned hard to
        one side, one of them silent, reads that add nothing. Short times: delays of a few milliseconds,
        some of them shorter than the engine's chunk of samples. */
    struct Scenario
    {
        float drive, loopSpeed;
        bool hardPans = false, shortTimes = false;
    };

    void configure (DelayEngine& e, int seed, const Scenario& scenario, double sampleRate)
    {
        e.prepare (sampleRate);
        // The writes start far along the lines, where a position in float would keep only part of its fraction.
        for (auto& line : e.channel)
            line.writeIndex = line.length - 100000;
        juce::Random r (seed);
        for (int ch = 0; ch < 2; ++ch)
        {
            for (int k = 0; k < 3; ++k)
            {
                e.tapTimeMs[ch][k] = r.nextFloat() * (scenario.shortTimes ? 4.0f : 1200.0f);
                e.tapGain[ch][k] = scenario.hardPans && k == 1 ? 0.0f : r.nextFloat();
                const float angle = (scenario.hardPans ? (float) ((ch + k) % 2) : r.nextFloat()) * 1.5707964f;
                e.tapPanLeft[ch][k] = scenario.hardPans ? 1.0f - (float) ((ch + k) % 2) : std::cos (angle);
                e.tapPanRight[ch][k] = scenario.hardPans ? (float) ((ch + k) % 2) : std::sin (angle);
            }
            for (int k = 0; k < 4; ++k)
                e.modDepth[ch][k] = r.nextFloat();
            e.feedbackTimeMs[ch] = scenario.shortTimes ? r.nextFloat() : 20.0f + r.nextFloat() * 300.0f;
            e.feedbackTapGain[ch] = r.nextFloat();
            e.feedbackAmount[ch] = 0.98f * r.nextFloat();
            e.crossFeedback[ch] = r.nextBool();
            e.lowDamp[ch].g = 0.98f * r.nextFloat();
            e.highDamp[ch].g = 0.98f * r.nextFloat();
            // Shape 11 is none of the eleven: the LFO holds its value.
            e.lfoShape[ch] = r.nextInt (12);
            e.lfo[ch].setRate (r.nextFloat() * 16.0f);
            e.lfo[ch].random.setSeed (77 + ch); // both engines alike: the LFO seeds itself randomly
            e.lowCut[ch].setCoefficients (Biquad::highPass, 200.0 / sampleRate);
            e.highCut[ch].setCoefficients (Biquad::lowPass, 9000.0 / sampleRate);
        }
        e.drive = scenario.drive;
        e.inputGain = 0.8f;
        e.loopReverse = scenario.loopSpeed < 0.0f;
        e.loopSpeed = std::abs (scenario.loopSpeed);
    }

    using Process = std::function<void (DelayEngine&, float*, float*, int)>;
    const Process engineProcess = [] (DelayEngine& e, float* l, float* r, int n) { e.process (l, r, n, 0.6f, 0.9f); };

    /** Feeds two engines, set up alike, the same blocks of noise of random sizes, switches both into the
        scenario's loop at loopBlock, and returns the largest difference between their outputs (bitwise
        different counts as infinite, so that wide and plain builds must agree to the bit). */
    float runSideBySide (DelayEngine& first, DelayEngine& second, const Process& processSecond, const Scenario& scenario,
                         double sampleRate, int seed, int numBlocks, int loopBlock, bool bitwise)
    {
        float worst = 0.0f;
        configure (first, seed, scenario, sampleRate);
        configure (second, seed, scenario, sampleRate);
        juce::ScopedNoDenormals noDenormals;
        juce::Random noise (99);
        for (int block = 0; block < numBlocks; ++block)
        {
            if (block == loopBlock && scenario.loopSpeed != 0.0f)
                first.loopActive[0] = first.loopActive[1] = second.loopActive[0] = second.loopActive[1] = true;
            const int n = 1 + noise.nextInt (700);
            std::vector<float> a ((size_t) n * 2), b;
            for (auto& x : a)
                x = noise.nextFloat() * 2.0f - 1.0f;
            b = a;
            engineProcess (first, a.data(), a.data() + n, n);
            processSecond (second, b.data(), b.data() + n, n);
            if (bitwise && std::memcmp (a.data(), b.data(), a.size() * sizeof (float)) != 0)
                return INFINITY;
            for (size_t i = 0; i < a.size(); ++i)
                worst = std::max (worst, std::abs (a[i] - b[i]));
        }
        return worst;
    }
}

class DelayEngineReference : public ::testing::TestWithParam<double> {};
INSTANTIATE_TEST_SUITE_P (SampleRates, DelayEngineReference, ::testing::Values (44100.0, 48000.0, 96000.0));

TEST_P (DelayEngineReference, FastPathStaysWithinOneMillionthOfThePlainArithmetic)
{
    const Scenario scenarios[] { { 0.0f, 0.0f }, { 0.5f, 1.0f }, { 0.37f, -0.73f }, { 1.0f, 2.0f }, { 0.8f, 0.0f }, { 0.5f, 1.0f, true }, { 0.3f, 1.0f, false, true } };
    for (size_t s = 0; s < std::size (scenarios); ++s)
    {
        DelayEngine fast, plain;
        EXPECT_LE (runSideBySide (fast, plain, plainProcess, scenarios[s], GetParam(), 1234 + (int) s, 400, 250, false), 1e-6f) << "scenario " << s;
    }
}

TEST_P (DelayEngineReference, WideAndPlainBuildsGiveTheSameSamples)
{
    // The last scenario's loop step is not a number and takes the loop origin with it: every read point is
    // then outside the lines and each read falls back to one-by-one, in both builds alike.
    const Scenario scenarios[] { { 0.0f, 1.0f }, { 0.37f, -0.73f }, { 0.5f, 0.0f }, { 0.5f, 1.0f, true }, { 0.3f, 0.0f, false, true }, { 0.5f, std::nanf ("") } };
    for (size_t s = 0; s < std::size (scenarios); ++s)
    {
        DelayEngine wide, plain;
        plain.useWideInstructions = false;
        EXPECT_EQ (runSideBySide (wide, plain, engineProcess, scenarios[s], GetParam(), 55 + (int) s, s < 5 ? 300 : 12, s < 5 ? 200 : 4, true), 0.0f) << "scenario " << s;
        EXPECT_EQ (std::isnan (wide.channel[0].loopPosition), s == 5);
    }
}

TEST_P (DelayEngineReference, BlockSizeDoesNotChangeTheOutput)
{
    // The second engine takes each block in pieces; the loop starts halfway.
    for (int piece : { 1, 7, 64, 333 })
    {
        DelayEngine whole, pieces;
        const Process inPieces = [piece] (DelayEngine& e, float* l, float* r, int n)
        {
            for (int s = 0; s < n; s += piece)
                e.process (l + s, r + s, std::min (piece, n - s), 0.6f, 0.9f);
        };
        EXPECT_EQ (runSideBySide (whole, pieces, inPieces, { 0.4f, 1.0f }, GetParam(), 3 + piece, 80, 40, true), 0.0f) << "pieces of " << piece;
    }
}

TEST (DelayEngineMending, SamplesJustWrittenAcrossTheLineEndAreMended)
{
    // A block of ten samples that ended three samples past the end of the line: seven of them lie
    // at the line's end and three at its start.
    DelayEngine e;
    e.prepare (48000.0);
    auto& line = e.channel[1];
    const int length = line.length, written[] { 0, 1, 2, length - 7, length - 6, length - 2, length - 1 };
    line.writeIndex = 3;
    for (const int position : written)
        line.buffer[(size_t) position] = position % 2 == 0 ? std::nanf ("") : -INFINITY;
    line.buffer[(size_t) length - 4] = 0.25f;
    e.replaceNonFiniteState (10);
    for (const int position : written)
        EXPECT_EQ (0.0f, line.buffer[(size_t) position]) << "position " << position;
    EXPECT_TRUE (line.buffer[(size_t) length - 4] == 0.25f && line.buffer[(size_t) length] == 0.0f);
}
