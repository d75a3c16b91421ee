#include <gtest/gtest.h>
#include <juce_audio_basics/juce_audio_basics.h>
#include "processor/dsp/DelayEngine.h"
#include <cmath>
#include <cstring>
#include <vector>

// The engine's per-sample arithmetic written out step by step, plainly and slowly, as the delay is
// described: the fast engine must stay within 1e-6 of it on every output sample.
namespace
{
    float reduceInto (float index, float end)
    {
        while (index >= end)
            index -= end;
        while (index < 0.0f)
            index += end;
        return index;
    }

    float plainRead (const DelayChannel& line, float d, bool loop)
    {
        const float end = (float) (int) (1.0f * (float) line.length);
        float p = loop ? (line.loopPosition - d) + 0.0f : (float) line.writeIndex - d;
        if (! (p < end))
            p = p - end;
        if (p < 0.0f)
            p = p + end;
        const int j = (int) p;
        const int a = (int) reduceInto ((float) j, end);
        const int b = (int) reduceInto ((float) (j + 1), end);
        const float f = p - (float) j;
        return (1.0f - f) * line.buffer[(size_t) a] + f * line.buffer[(size_t) b];
    }

    float limitTime (float ms)
    {
        float m = std::min (5000.0f, ms);
        if (m < 0.1f)
            m = 0.1f;
        return m;
    }

    float plainDelay (const TimeSmoother& s, double sampleRate)
    {
        return (float) ((double) s.current * sampleRate * 0.001);
    }

    void plainStep (TimeSmoother& s)
    {
        s.current = s.coeff * s.current + s.gain * s.target;
    }

    void plainProcess (DelayEngine& e, float* left, float* right, int n, float dry, float wet)
    {
        for (int i = 0; i < n; ++i)
        {
            const float inputs[2] { left[i], right[i] };

            e.lfo[0].tickShape (e.lfoShape[0]);
            e.lfo[1].tickShape (e.lfoShape[1]);
            const float m[2] { (float) ((e.lfo[0].value + 1.0) * 0.5) * 5.0f, (float) ((e.lfo[1].value + 1.0) * 0.5) * 5.0f };

            float leftSum = 0.0f, rightSum = 0.0f;
            for (int k = 0; k < 3; ++k)
            {
                auto& sL = e.timeSmoother[0][k];
                auto& sR = e.timeSmoother[1][k];
                sL.target = limitTime (e.modDepth[0][k] * m[0] + e.tapTimeMs[0][k]);
                plainStep (sL);
                const float aL = plainRead (e.channel[0], plainDelay (sL, e.sampleRate), e.loopActive[0]) * e.tapGain[0][k] * e.tapPanLeft[0][k];
                plainStep (sR);
                const float aR = plainRead (e.channel[1], plainDelay (sR, e.sampleRate), e.loopActive[0]) * e.tapGain[1][k] * e.tapPanLeft[1][k];
                sR.target = limitTime (e.modDepth[1][k] * m[1] + e.tapTimeMs[1][k]);
                plainStep (sR);
                const float bR = plainRead (e.channel[1], plainDelay (sR, e.sampleRate), e.loopActive[1]) * e.tapGain[1][k] * e.tapPanRight[1][k];
                plainStep (sL);
                const float bL = plainRead (e.channel[0], plainDelay (sL, e.sampleRate), e.loopActive[1]) * e.tapGain[0][k] * e.tapPanRight[0][k];
                leftSum += aL + aR;
                rightSum += bR + bL;
            }

            float fbOut[2], damped[2];
            for (int ch = 0; ch < 2; ++ch)
            {
                auto& s = e.timeSmoother[ch][3];
                s.target = limitTime (m[ch] * e.modDepth[ch][3] + e.feedbackTimeMs[ch]);
                plainStep (s);
                auto& line = e.channel[ch];
                const float fb = plainRead (line, plainDelay (s, e.sampleRate), e.loopActive[ch]);
                if (e.loopActive[ch])
                {
                    line.loopPosition += e.loopReverse ? -e.loopSpeed : e.loopSpeed;
                    if (line.loopPosition >= (float) line.length)
                        line.loopPosition -= (float) line.length;
                    else if (line.loopPosition < 0.0f)
                        line.loopPosition += (float) line.length;
                }
                fbOut[ch] = e.feedbackTapGain[ch] * fb;
                damped[ch] = e.highDamp[ch].process (fb - e.lowDamp[ch].process (fb));
            }

            const float fbIn[2] { e.crossFeedback[0] ? e.feedbackAmount[1] * damped[1] : e.feedbackAmount[0] * damped[0],
                                  e.crossFeedback[1] ? damped[0] * e.feedbackAmount[0] : damped[1] * e.feedbackAmount[1] };

            for (int ch = 0; ch < 2; ++ch)
            {
                const float x = std::isfinite (inputs[ch]) ? inputs[ch] * e.inputGain : 0.0f;
                float y;
                if (x > 0.0f)
                {
                    y = tanhf (x);
                }
                else
                {
                    const float p = 1.0f - e.drive;
                    y = x / powf (powf (std::abs (x), p) + 1.0f, 1.0f / p);
                }
                const double h = e.lowCut[ch].process ((double) y);
                const double g = e.highCut[ch].process ((double) (float) h);

                auto& line = e.channel[ch];
                if (! e.loopActive[ch])
                {
                    const int w = line.writeIndex % line.length;
                    line.buffer[(size_t) w] = fbIn[ch] + (float) g;
                    line.writeIndex = w + 1;
                    line.loopPosition = (float) line.writeIndex;
                }
            }

            left[i] = (leftSum + fbOut[0]) * wet + left[i] * dry;
            right[i] = (rightSum + fbOut[1]) * wet + right[i] * dry;
        }
    }

    struct Scenario
    {
        float drive;
        bool loopAfterwards;
        bool reverse;
        float loopSpeed;
        // Taps panned hard to one side, one of them silent: reads that add nothing.
        bool hardPans = false;
    };

    void configure (DelayEngine& e, juce::Random& r, const Scenario& scenario, double sampleRate)
    {
        for (int ch = 0; ch < 2; ++ch)
        {
            for (int k = 0; k < 3; ++k)
            {
                e.tapTimeMs[ch][k] = r.nextFloat() * 1200.0f;
                e.tapGain[ch][k] = scenario.hardPans && k == 1 ? 0.0f : r.nextFloat();
                const float angle = scenario.hardPans ? (float) ((ch + k) % 2) * 1.5707964f : r.nextFloat() * 1.5707964f;
                e.tapPanLeft[ch][k] = scenario.hardPans ? 1.0f - (float) ((ch + k) % 2) : std::cos (angle);
                e.tapPanRight[ch][k] = scenario.hardPans ? (float) ((ch + k) % 2) : std::sin (angle);
            }
            for (int k = 0; k < 4; ++k)
                e.modDepth[ch][k] = r.nextFloat();
            e.feedbackTimeMs[ch] = 20.0f + r.nextFloat() * 300.0f;
            e.feedbackTapGain[ch] = r.nextFloat();
            e.feedbackAmount[ch] = 0.98f * r.nextFloat();
            e.crossFeedback[ch] = r.nextBool();
            e.lowDamp[ch].g = 0.98f * r.nextFloat();
            e.highDamp[ch].g = 0.98f * r.nextFloat();
            // Shape 11 is none of the eleven: the LFO holds its value.
            e.lfoShape[ch] = r.nextInt (12);
            e.lfo[ch].setRate (r.nextFloat() * 16.0f);
            e.lfo[ch].random.setSeed (77 + ch);
            e.lowCut[ch].setCoefficients (Biquad::highPass, 200.0 / sampleRate);
            e.highCut[ch].setCoefficients (Biquad::lowPass, 9000.0 / sampleRate);
        }
        e.drive = scenario.drive;
        e.inputGain = 0.8f;
    }
}

/** Feeds two engines, set up alike for the scenario, the same blocks of noise of random sizes,
    switches both into the scenario's loop at loopBlock, and hands each block's two outputs to check. */
template <typename ProcessFirst, typename ProcessSecond, typename Check>
void runSideBySide (DelayEngine& first, DelayEngine& second, ProcessFirst processFirst, ProcessSecond processSecond,
                    const Scenario& scenario, double sampleRate, int settingsSeed, int numBlocks, int loopBlock, Check check)
{
    first.prepare (sampleRate);
    second.prepare (sampleRate);
    juce::Random firstSettings (settingsSeed), secondSettings (settingsSeed);
    configure (first, firstSettings, scenario, sampleRate);
    configure (second, secondSettings, scenario, sampleRate);

    juce::ScopedNoDenormals noDenormals;
    juce::Random noise (99);

    for (int block = 0; block < numBlocks; ++block)
    {
        if (block == loopBlock && scenario.loopAfterwards)
        {
            for (auto* e : { &first, &second })
            {
                e->loopActive[0] = e->loopActive[1] = true;
                e->loopReverse = scenario.reverse;
                e->loopSpeed = scenario.loopSpeed;
            }
        }

        const int n = 1 + noise.nextInt (700);
        std::vector<float> l ((size_t) n), r ((size_t) n);
        for (int i = 0; i < n; ++i)
        {
            l[(size_t) i] = noise.nextFloat() * 2.0f - 1.0f;
            r[(size_t) i] = noise.nextFloat() * 2.0f - 1.0f;
        }
        auto l2 = l, r2 = r;

        processFirst (first, l.data(), r.data(), n);
        processSecond (second, l2.data(), r2.data(), n);
        check (block, l, r, l2, r2);
    }
}

static const auto engineProcess = [] (DelayEngine& e, float* l, float* r, int n) { e.process (l, r, n, 0.6f, 0.9f); };

/** Every case runs at 44.1, 48 and 96 kHz. */
class DelayEngineReference : public ::testing::TestWithParam<double>
{
};

INSTANTIATE_TEST_SUITE_P (SampleRates, DelayEngineReference, ::testing::Values (44100.0, 48000.0, 96000.0));

TEST_P (DelayEngineReference, FastPathStaysWithinOneMillionthOfThePlainArithmetic)
{
    const Scenario scenarios[] { { 0.0f, false, false, 1.0f }, { 0.5f, true, false, 1.0f }, { 0.37f, true, true, 0.73f },
                                 { 1.0f, true, false, 2.0f }, { 0.8f, false, false, 1.0f }, { 0.5f, true, false, 1.0f, true } };

    for (size_t s = 0; s < std::size (scenarios); ++s)
    {
        DelayEngine fast, plain;
        float worst = 0.0f;
        runSideBySide (fast, plain, engineProcess,
                       [] (DelayEngine& e, float* l, float* r, int n) { plainProcess (e, l, r, n, 0.6f, 0.9f); },
                       scenarios[s], GetParam(), 1234 + (int) s, 400, 250,
                       [&worst] (int, const auto& l, const auto& r, const auto& l2, const auto& r2)
                       {
                           for (size_t i = 0; i < l.size(); ++i)
                               worst = std::max ({ worst, std::abs (l[i] - l2[i]), std::abs (r[i] - r2[i]) });
                       });

        EXPECT_LE (worst, 1e-6f) << "scenario " << s;
    }
}

TEST_P (DelayEngineReference, WideAndPlainBuildsGiveTheSameSamples)
{
    if (! DelayEngine().useWideInstructions)
        GTEST_SKIP() << "no AVX2 on this processor";

    const Scenario scenarios[] { { 0.0f, true, false, 1.0f }, { 0.37f, true, true, 0.73f }, { 0.5f, false, false, 1.0f },
                                 { 0.5f, true, false, 1.0f, true } };

    for (size_t s = 0; s < std::size (scenarios); ++s)
    {
        DelayEngine wide, plain;
        wide.useWideInstructions = true;
        plain.useWideInstructions = false;
        runSideBySide (wide, plain, engineProcess, engineProcess, scenarios[s], GetParam(), 55 + (int) s, 300, 200,
                       [s] (int block, const auto& l, const auto& r, const auto& l2, const auto& r2)
                       {
                           ASSERT_EQ (l, l2) << "scenario " << s << ", block " << block;
                           ASSERT_EQ (r, r2) << "scenario " << s << ", block " << block;
                       });
    }
}

TEST_P (DelayEngineReference, LoopPositionThatIsNotANumberReadsInsideTheLines)
{
    // A loop step that is not a number takes the loop origin with it: every read point is then
    // outside the lines and each read falls back to one-by-one, in both builds alike.
    DelayEngine wide, plain;
    wide.useWideInstructions = DelayEngine().useWideInstructions;
    plain.useWideInstructions = false;
    runSideBySide (wide, plain, engineProcess, engineProcess, { 0.5f, true, false, std::nanf ("") }, GetParam(), 7, 12, 4,
                   [] (int block, const auto& l, const auto& r, const auto& l2, const auto& r2)
                   {
                       ASSERT_EQ (0, std::memcmp (l.data(), l2.data(), l.size() * sizeof (float))) << "block " << block;
                       ASSERT_EQ (0, std::memcmp (r.data(), r2.data(), r.size() * sizeof (float))) << "block " << block;
                   });
    EXPECT_TRUE (std::isnan (wide.channel[0].loopPosition));
}
