#include "DelayEngine.h"
#include "Saturation.h"
#include <algorithm>
#include <cmath>

#if (defined (__GNUC__) || defined (__clang__)) && (defined (__x86_64__) || defined (__i386__))
 #define BRINDLEX_WIDE_VARIANT 1
#else
 #define BRINDLEX_WIDE_VARIANT 0
#endif

namespace
{
    /** Modulated tap times, limited to what the line can hold. A NaN time lands on the longest time. */
    inline float8 limitTimes (float8 ms) noexcept
    {
        const float8 longest = float8 {} + 5000.0f;
        const float8 shortest = float8 {} + 0.1f;
        const float8 m = ms < longest ? ms : longest;
        return m < shortest ? shortest : m;
    }

    /** Delays in samples of the glide states that one line reads, four from a and four from b: each
        state in ms, widened to double, times the rate and 0.001, then rounded back to float. */
    inline float8 delaysOf (float4 a, float4 b, double rate) noexcept
    {
        const double4 r = double4 {} + rate;
        const float4 first = __builtin_convertvector (__builtin_convertvector (a, double4) * r * 0.001, float4);
        const float4 second = __builtin_convertvector (__builtin_convertvector (b, double4) * r * 0.001, float4);
        return __builtin_shufflevector (first, second, 0, 1, 2, 3, 4, 5, 6, 7);
    }

    inline float4 lowHalf (float8 x) noexcept { return __builtin_shufflevector (x, x, 0, 1, 2, 3); }
    inline float4 highHalf (float8 x) noexcept { return __builtin_shufflevector (x, x, 4, 5, 6, 7); }
}

DelayEngine::DelayEngine()
{
#if BRINDLEX_WIDE_VARIANT
    useWideInstructions = __builtin_cpu_supports ("avx2");
#endif
}

void DelayEngine::prepare (double newSampleRate)
{
    sampleRate = newSampleRate;

    const int length = (int) ((newSampleRate * 5100.0) * 0.001);
    for (auto& line : channel)
        line.allocate (length);

    const float coeff = std::exp (-6.2831855f / ((float) newSampleRate * 0.1f));
    for (auto& channelSmoothers : timeSmoother)
    {
        for (auto& smoother : channelSmoothers)
        {
            smoother.coeff = coeff;
            smoother.gain = 1.0f - coeff;
            smoother.current = 0.0f;
            smoother.target = 0.1f;
        }
    }

    for (auto& osc : lfo)
        osc.setSampleRate (newSampleRate);

    for (auto& filter : highCut)
        filter.setCoefficients (Biquad::lowPass, 16000.0 / newSampleRate);
    for (auto& filter : lowCut)
        filter.setCoefficients (Biquad::highPass, 30.0 / newSampleRate);
}

[[gnu::always_inline]] inline void DelayEngine::processInputStage (const float* left, const float* right, int numSamples) noexcept
{
    // Exponent of the negative half's soft clip; drive 0 and 50 % have exact shortcuts (a power
    // of 1 is the number itself, powers of 1/2 and 2 are a square root and a square).
    const float p = 1.0f - drive;
    const float inverseP = 1.0f / p;
    const int curve = p == 1.0f ? 0 : (p == 0.5f ? 1 : 2);

    // Four lanes: both channels of two samples.
    auto negativeHalf = [p, inverseP, curve] (float4 x) noexcept
    {
        const float4 magnitude = (float4) ((int4) x & 0x7fffffff);
        if (curve == 0)
            return x / (magnitude + 1.0f);
        if (curve == 1)
        {
            float4 s;
            for (int lane = 0; lane < 4; ++lane)
                s[lane] = std::sqrt (magnitude[lane]) + 1.0f;
            return x / (s * s);
        }
        float4 y;
        for (int lane = 0; lane < 4; ++lane)
            y[lane] = x[lane] > 0.0f ? 0.0f : x[lane] / std::pow (std::pow (magnitude[lane], p) + 1.0f, inverseP);
        return y;
    };

    // Both channels' cut filters run side by side, one lane each, so their recursions overlap.
    const double2 hpB0 { lowCut[0].b0, lowCut[1].b0 }, hpB1 { lowCut[0].b1, lowCut[1].b1 }, hpB2 { lowCut[0].b2, lowCut[1].b2 };
    const double2 hpA1 { lowCut[0].a1, lowCut[1].a1 }, hpA2 { lowCut[0].a2, lowCut[1].a2 };
    double2 hpZ1 { lowCut[0].z1, lowCut[1].z1 }, hpZ2 { lowCut[0].z2, lowCut[1].z2 };
    const double2 lpB0 { highCut[0].b0, highCut[1].b0 }, lpB1 { highCut[0].b1, highCut[1].b1 }, lpB2 { highCut[0].b2, highCut[1].b2 };
    const double2 lpA1 { highCut[0].a1, highCut[1].a1 }, lpA2 { highCut[0].a2, highCut[1].a2 };
    double2 lpZ1 { highCut[0].z1, highCut[1].z1 }, lpZ2 { highCut[0].z2, highCut[1].z2 };
    const float gain = inputGain;

    // The saturation first, two samples at a time with nothing carried over, so that its work
    // overlaps; then the filters' recursions.
    double2 driven[chunkSize];
    for (int i = 0; i < numSamples; i += 2)
    {
        // A NaN or infinite input would stay in the lines and filters for good: the wet path hears silence.
        auto input = [gain] (const float* channelData, int index) noexcept
        {
            return std::isfinite (channelData[index]) ? channelData[index] * gain : 0.0f;
        };

        const bool pair = i + 1 < numSamples;
        const float4 x { input (left, i), input (right, i), pair ? input (left, i + 1) : 0.0f, pair ? input (right, i + 1) : 0.0f };
        const float4 positive = __builtin_convertvector (Saturation::positiveTanh (__builtin_convertvector (x, double4)), float4);
        const double4 y = __builtin_convertvector (x > float4 {} ? positive : negativeHalf (x), double4);

        driven[i] = __builtin_shufflevector (y, y, 0, 1);
        if (pair)
            driven[i + 1] = __builtin_shufflevector (y, y, 2, 3);
    }

    for (int i = 0; i < numSamples; ++i)
    {
        const double2 y = driven[i];
        const double2 h = hpB0 * y + hpZ1;
        hpZ1 = hpB1 * y + hpZ2 - hpA1 * h;
        hpZ2 = hpB2 * y - hpA2 * h;

        const double2 x = __builtin_convertvector (__builtin_convertvector (h, float2), double2);
        const double2 g = lpB0 * x + lpZ1;
        lpZ1 = lpB1 * x + lpZ2 - lpA1 * g;
        lpZ2 = lpB2 * x - lpA2 * g;

        stagedInput[0][i] = (float) g[0];
        stagedInput[1][i] = (float) g[1];
    }

    for (int ch = 0; ch < 2; ++ch)
    {
        lowCut[ch].z1 = hpZ1[ch];
        lowCut[ch].z2 = hpZ2[ch];
        highCut[ch].z1 = lpZ1[ch];
        highCut[ch].z2 = lpZ2[ch];
    }
}

template <bool loopL, bool loopR>
[[gnu::always_inline]] inline void DelayEngine::processChunk (float* left, float* right, int numSamples, float dry, float wet) noexcept
{
    auto& lineL = channel[0];
    auto& lineR = channel[1];

    // The eight time glides (left taps 1-3 and feedback tap, then the right ones) move side by side
    // in one vector.
    auto lanes = [this] (float TimeSmoother::*field) noexcept
    {
        const auto* l = timeSmoother[0];
        const auto* r = timeSmoother[1];
        return float8 { l[0].*field, l[1].*field, l[2].*field, l[3].*field, r[0].*field, r[1].*field, r[2].*field, r[3].*field };
    };

    float8 current = lanes (&TimeSmoother::current);
    float8 target = lanes (&TimeSmoother::target);
    const float8 coeff = lanes (&TimeSmoother::coeff);
    const float8 gain = lanes (&TimeSmoother::gain);
    const float8 times { tapTimeMs[0][0], tapTimeMs[0][1], tapTimeMs[0][2], feedbackTimeMs[0],
                         tapTimeMs[1][0], tapTimeMs[1][1], tapTimeMs[1][2], feedbackTimeMs[1] };
    const float8 depth { modDepth[0][0], modDepth[0][1], modDepth[0][2], modDepth[0][3],
                         modDepth[1][0], modDepth[1][1], modDepth[1][2], modDepth[1][3] };
    const int8 leftFeedbackLane { 0, 0, 0, -1, 0, 0, 0, 0 };
    const int8 rightFeedbackLane { 0, 0, 0, 0, 0, 0, 0, -1 };
    const int8 leftLanes { -1, -1, -1, -1, 0, 0, 0, 0 };

    // Each tap read's level and pan in one gain (a tap that does not sound reads times 0), lane by
    // lane as the reads come: first reads with the left pans, second reads with the right ones.
    // The feedback lanes are not mixed.
    const float8 gainsL { tapGain[0][0] * tapPanLeft[0][0], tapGain[0][1] * tapPanLeft[0][1], tapGain[0][2] * tapPanLeft[0][2], 0.0f,
                          tapGain[0][0] * tapPanRight[0][0], tapGain[0][1] * tapPanRight[0][1], tapGain[0][2] * tapPanRight[0][2], 0.0f };
    const float8 gainsR { tapGain[1][0] * tapPanLeft[1][0], tapGain[1][1] * tapPanLeft[1][1], tapGain[1][2] * tapPanLeft[1][2], 0.0f,
                          tapGain[1][0] * tapPanRight[1][0], tapGain[1][1] * tapPanRight[1][1], tapGain[1][2] * tapPanRight[1][2], 0.0f };

    const float fbLevelL = feedbackTapGain[0], fbLevelR = feedbackTapGain[1];
    const float amountL = feedbackAmount[0], amountR = feedbackAmount[1];
    const bool crossL = crossFeedback[0], crossR = crossFeedback[1];
    const float loopStep = loopReverse ? -loopSpeed : loopSpeed;
    const double rate = sampleRate;

    // Both channels' damping stages, one lane each; the division by g + 1 becomes a multiplication
    // by its reciprocal, which changes a result by at most one float rounding.
    float2 lowState { lowDamp[0].state, lowDamp[1].state };
    float2 highState { highDamp[0].state, highDamp[1].state };
    const float2 lowG { lowDamp[0].g, lowDamp[1].g };
    const float2 highG { highDamp[0].g, highDamp[1].g };
    const double2 lowReciprocal = 1.0 / (__builtin_convertvector (lowG, double2) + 1.0);
    const double2 highReciprocal = 1.0 / (__builtin_convertvector (highG, double2) + 1.0);

    auto dampStage = [] (float2 x, float2 g, double2 reciprocal, float2& state) noexcept
    {
        const float2 y = __builtin_convertvector (__builtin_convertvector (x * g + state, double2) * reciprocal, float2);
        state = __builtin_convertvector (2.0 * __builtin_convertvector (y, double2) - __builtin_convertvector (state, double2), float2);
        return y;
    };

    // The LFOs run ahead through the chunk: nothing in it feeds back into them.
    double lfoValues[2][chunkSize];
    lfo[0].tickShapeBlock (lfoShape[0], lfoValues[0], numSamples);
    lfo[1].tickShapeBlock (lfoShape[1], lfoValues[1], numSamples);

    int8 outside {};

    // First pass: tap-time glides, and from them and the lines' positions every read point of the
    // chunk; the positions move on as the writes (or the loop) will move them.
    for (int i = 0; i < numSamples; ++i)
    {
        const float mL = (float) ((lfoValues[0][i] + 1.0) * 0.5) * 5.0f;
        const float mR = (float) ((lfoValues[1][i] + 1.0) * 0.5) * 5.0f;
        const float8 modulation { mL, mL, mL, mL, mR, mR, mR, mR };

        // The left glides step towards their new targets, once for the first reads (and the
        // feedback tap) and again for the taps' second reads. The right taps first step towards the
        // previous sample's targets, then towards the new ones; the right feedback tap steps once,
        // towards its new target.
        const float8 newTarget = limitTimes (depth * modulation + times);
        const float8 first = coeff * current + gain * (leftLanes ? newTarget : target);
        const float8 second = coeff * (rightFeedbackLane ? current : first) + gain * newTarget;
        current = leftFeedbackLane ? first : second;
        target = newTarget;

        // Each tap pair's first right read goes with the left loop switch and its second left read
        // with the right one; the switches only ever differ in tests.
        const float originL = loopL ? lineL.loopPosition : (float) lineL.writeIndex;
        const float originR = loopR ? lineR.loopPosition : (float) lineR.writeIndex;
        const float originRForLeftMode = loopL ? lineR.loopPosition : (float) lineR.writeIndex;
        const float originLForRightMode = loopR ? lineL.loopPosition : (float) lineL.writeIndex;

        readPoints[0][i] = lineL.pointsFrom (float8 { originL, originL, originL, originL, originLForRightMode,
                                                      originLForRightMode, originLForRightMode, originLForRightMode },
                                             delaysOf (lowHalf (first), lowHalf (current), rate));
        readPoints[1][i] = lineR.pointsFrom (float8 { originRForLeftMode, originRForLeftMode, originRForLeftMode,
                                                      originRForLeftMode, originR, originR, originR, originR },
                                             delaysOf (highHalf (first), highHalf (current), rate));
        lineL.markOutside (readPoints[0][i], outside);
        lineR.markOutside (readPoints[1][i], outside);

        if (loopL)
        {
            lineL.advanceLoop (loopStep);
        }
        else
        {
            writePositions[0][i] = lineL.writePosition();
            lineL.advanceWrite();
        }

        if (loopR)
        {
            lineR.advanceLoop (loopStep);
        }
        else
        {
            writePositions[1][i] = lineR.writePosition();
            lineR.advanceWrite();
        }
    }

    bool allInside = true;
    for (int lane = 0; lane < 8; ++lane)
        allInside = allInside && outside[lane] == 0;

    // Second pass: the samples. Every read of a sample comes before that sample's writes. The left
    // line's points hold its first reads in lanes 0-3 and its second reads in lanes 4-7; so do the
    // right line's. Lane 3 of the left first reads and lane 7 of the right second reads are the
    // feedback taps. Only a read position that is not a number needs the one-by-one reads.
    for (int i = 0; i < numSamples; ++i)
    {
        const auto& pointsL = readPoints[0][i];
        const auto& pointsR = readPoints[1][i];

        float8 valuesL, valuesR;
        if (allInside)
        {
            lineL.readAll (pointsL, valuesL);
            lineR.readAll (pointsR, valuesR);
        }
        else
        {
            for (int lane = 0; lane < 8; ++lane)
            {
                valuesL[lane] = lineL.readPoint (pointsL, lane);
                valuesR[lane] = lineR.readPoint (pointsR, lane);
            }
        }

        // Lane k holds tap k's pair into the left output, lane 4 + k its pair into the right one.
        const float8 pairs = valuesL * gainsL + valuesR * gainsR;
        const float leftSum = ((0.0f + pairs[0]) + pairs[1]) + pairs[2];
        const float rightSum = ((0.0f + pairs[4]) + pairs[5]) + pairs[6];

        const float fbL = valuesL[3];
        const float fbR = valuesR[7];
        const float fbOutL = fbLevelL * fbL;
        const float fbOutR = fbLevelR * fbR;

        const float2 feedback { fbL, fbR };
        const float2 damped = dampStage (feedback - dampStage (feedback, lowG, lowReciprocal, lowState),
                                         highG, highReciprocal, highState);
        const float dampedL = damped[0], dampedR = damped[1];

        const float fbInL = crossL ? amountR * dampedR : amountL * dampedL;
        const float fbInR = crossR ? dampedL * amountL : dampedR * amountR;

        if (! loopL)
            lineL.store (writePositions[0][i], fbInL + stagedInput[0][i]);
        if (! loopR)
            lineR.store (writePositions[1][i], fbInR + stagedInput[1][i]);

        left[i] = (leftSum + fbOutL) * wet + left[i] * dry;
        right[i] = (rightSum + fbOutR) * wet + right[i] * dry;
    }

    for (int k = 0; k < 4; ++k)
    {
        timeSmoother[0][k].current = current[k];
        timeSmoother[0][k].target = target[k];
        timeSmoother[1][k].current = current[4 + k];
        timeSmoother[1][k].target = target[4 + k];
    }

    for (int ch = 0; ch < 2; ++ch)
    {
        lowDamp[ch].state = lowState[ch];
        highDamp[ch].state = highState[ch];
    }
}

[[gnu::always_inline]] inline void DelayEngine::runChunk (float* left, float* right, int numSamples, float dry, float wet) noexcept
{
    processInputStage (left, right, numSamples);

    if (loopActive[0])
    {
        if (loopActive[1])
            processChunk<true, true> (left, right, numSamples, dry, wet);
        else
            processChunk<true, false> (left, right, numSamples, dry, wet);
    }
    else
    {
        if (loopActive[1])
            processChunk<false, true> (left, right, numSamples, dry, wet);
        else
            processChunk<false, false> (left, right, numSamples, dry, wet);
    }
}

void DelayEngine::processChunkPlain (float* left, float* right, int numSamples, float dry, float wet) noexcept
{
    runChunk (left, right, numSamples, dry, wet);
}

#if BRINDLEX_WIDE_VARIANT
// The same code built for AVX2: eight-lane vectors in one register, and three-operand instructions
// that spare most register copies. No FMA, so every operation rounds exactly as in the plain build.
__attribute__ ((target ("avx2"))) void DelayEngine::processChunkWide (float* left, float* right, int numSamples, float dry, float wet) noexcept
{
    runChunk (left, right, numSamples, dry, wet);
}
#endif

void DelayEngine::process (float* left, float* right, int numSamples, float dry, float wet) noexcept
{
    if (channel[0].length <= 0 || channel[1].length <= 0)
        return;

    for (int start = 0; start < numSamples; start += chunkSize)
    {
        const int n = std::min (chunkSize, numSamples - start);
#if BRINDLEX_WIDE_VARIANT
        if (useWideInstructions)
        {
            processChunkWide (left + start, right + start, n, dry, wet);
            continue;
        }
#endif
        processChunkPlain (left + start, right + start, n, dry, wet);
    }
}

void DelayEngine::replaceNonFiniteState (int numSamplesJustProcessed) noexcept
{
    auto mend = [] (auto& value, auto replacement) noexcept
    {
        if (! std::isfinite (value))
            value = replacement;
    };

    for (int ch = 0; ch < 2; ++ch)
    {
        // Only the samples of this block can be new; earlier ones were looked at after their own block.
        auto& line = channel[ch];
        if (line.length > 0)
        {
            for (int i = 1; i <= std::min (numSamplesJustProcessed, line.length); ++i)
            {
                const int position = line.writeIndex - i < 0 ? line.writeIndex - i + line.length : line.writeIndex - i;
                mend (line.buffer[(size_t) position], 0.0f);
            }
            mend (line.buffer[(size_t) line.length], line.buffer[0]);
            mend (line.loopPosition, (float) line.writePosition());
        }

        mend (lowDamp[ch].state, 0.0f);
        mend (highDamp[ch].state, 0.0f);
        for (auto* filter : { &lowCut[ch], &highCut[ch] })
        {
            mend (filter->z1, 0.0);
            mend (filter->z2, 0.0);
        }

        for (auto& smoother : timeSmoother[ch])
        {
            mend (smoother.current, 0.1f);
            mend (smoother.target, 0.1f);
        }

        auto& osc = lfo[ch];
        mend (osc.phase, 0.0f);
        mend (osc.value, 0.0);
        mend (osc.randomValue, 0.0);
        mend (osc.randomSmoother.current, 0.0f);
        mend (osc.randomSmoother.target, 0.0f);
    }
}
