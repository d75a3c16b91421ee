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
    inline float4 limitTimes (float4 ms) noexcept
    {
        const float4 longest { 5000.0f, 5000.0f, 5000.0f, 5000.0f };
        const float4 shortest { 0.1f, 0.1f, 0.1f, 0.1f };
        const float4 m = ms < longest ? ms : longest;
        return m < shortest ? shortest : m;
    }

    /** Delays in samples of four glide states: each state in ms, widened to double, times the rate and
        0.001, then rounded back to float. */
    inline float4 delaysOf (float4 ms, double rate) noexcept
    {
        const double2 r { rate, rate };
        const double2 milli { 0.001, 0.001 };
        const double2 low = __builtin_convertvector (__builtin_shufflevector (ms, ms, 0, 1), double2) * r * milli;
        const double2 high = __builtin_convertvector (__builtin_shufflevector (ms, ms, 2, 3), double2) * r * milli;
        return __builtin_shufflevector (__builtin_convertvector (low, float2), __builtin_convertvector (high, float2), 0, 1, 2, 3);
    }
}

DelayEngine::DelayEngine()
{
#if BRINDLEX_WIDE_VARIANT
    useWideInstructions = __builtin_cpu_supports ("avx");
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

    auto negativeHalf = [p, inverseP, curve] (float x) noexcept
    {
        if (curve == 0)
            return x / (std::abs (x) + 1.0f);
        if (curve == 1)
        {
            const float s = std::sqrt (std::abs (x)) + 1.0f;
            return x / (s * s);
        }
        return x > 0.0f ? 0.0f : x / std::pow (std::pow (std::abs (x), p) + 1.0f, inverseP);
    };

    // Both channels' cut filters run side by side, one lane each, so their recursions overlap.
    const double2 hpB0 { lowCut[0].b0, lowCut[1].b0 }, hpB1 { lowCut[0].b1, lowCut[1].b1 }, hpB2 { lowCut[0].b2, lowCut[1].b2 };
    const double2 hpA1 { lowCut[0].a1, lowCut[1].a1 }, hpA2 { lowCut[0].a2, lowCut[1].a2 };
    double2 hpZ1 { lowCut[0].z1, lowCut[1].z1 }, hpZ2 { lowCut[0].z2, lowCut[1].z2 };
    const double2 lpB0 { highCut[0].b0, highCut[1].b0 }, lpB1 { highCut[0].b1, highCut[1].b1 }, lpB2 { highCut[0].b2, highCut[1].b2 };
    const double2 lpA1 { highCut[0].a1, highCut[1].a1 }, lpA2 { highCut[0].a2, highCut[1].a2 };
    double2 lpZ1 { highCut[0].z1, highCut[1].z1 }, lpZ2 { highCut[0].z2, highCut[1].z2 };
    const float gain = inputGain;

    // The saturation first, sample by sample with nothing carried over, so that its work overlaps;
    // then the filters' recursions.
    double2 driven[chunkSize];
    for (int i = 0; i < numSamples; ++i)
    {
        // A NaN or infinite input would stay in the lines and filters for good: the wet path hears silence.
        const float xL = std::isfinite (left[i]) ? left[i] * gain : 0.0f;
        const float xR = std::isfinite (right[i]) ? right[i] * gain : 0.0f;

        const float2 x { xL, xR };
        const float2 positive = __builtin_convertvector (Saturation::positiveTanh (__builtin_convertvector (x, double2)), float2);
        const float2 negative { negativeHalf (xL), negativeHalf (xR) };
        const float2 zero {};
        driven[i] = __builtin_convertvector (x > zero ? positive : negative, double2);
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

    // The four time glides of a line (taps 1-3 and the feedback tap) move side by side in one vector.
    auto lanes = [this] (int ch, float TimeSmoother::*field) noexcept
    {
        const auto* s = timeSmoother[ch];
        return float4 { s[0].*field, s[1].*field, s[2].*field, s[3].*field };
    };

    float4 currentL = lanes (0, &TimeSmoother::current), currentR = lanes (1, &TimeSmoother::current);
    float4 targetL = lanes (0, &TimeSmoother::target), targetR = lanes (1, &TimeSmoother::target);
    const float4 coeffL = lanes (0, &TimeSmoother::coeff), coeffR = lanes (1, &TimeSmoother::coeff);
    const float4 gainL = lanes (0, &TimeSmoother::gain), gainR = lanes (1, &TimeSmoother::gain);
    const float4 timesL { tapTimeMs[0][0], tapTimeMs[0][1], tapTimeMs[0][2], feedbackTimeMs[0] };
    const float4 timesR { tapTimeMs[1][0], tapTimeMs[1][1], tapTimeMs[1][2], feedbackTimeMs[1] };
    const float4 depthL { modDepth[0][0], modDepth[0][1], modDepth[0][2], modDepth[0][3] };
    const float4 depthR { modDepth[1][0], modDepth[1][1], modDepth[1][2], modDepth[1][3] };
    const int4 feedbackLane { 0, 0, 0, -1 };

    float level[2][3], panLeft[2][3], panRight[2][3];
    for (int ch = 0; ch < 2; ++ch)
    {
        for (int k = 0; k < 3; ++k)
        {
            level[ch][k] = tapGain[ch][k];
            panLeft[ch][k] = tapPanLeft[ch][k];
            panRight[ch][k] = tapPanRight[ch][k];
        }
    }

    const float fbLevelL = feedbackTapGain[0], fbLevelR = feedbackTapGain[1];
    const float amountL = feedbackAmount[0], amountR = feedbackAmount[1];
    const bool crossL = crossFeedback[0], crossR = crossFeedback[1];
    const int shapeL = lfoShape[0], shapeR = lfoShape[1];
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

    // First pass: LFOs, tap-time glides, and from them and the lines' positions every read point
    // of the chunk; the positions move on as the writes (or the loop) will move them.
    for (int i = 0; i < numSamples; ++i)
    {
        lfo[0].tickShape (shapeL);
        lfo[1].tickShape (shapeR);

        const float mL = (float) ((lfo[0].value + 1.0) * 0.5) * 5.0f;
        const float mR = (float) ((lfo[1].value + 1.0) * 0.5) * 5.0f;

        // Each tap pair's first right read goes with the left loop switch and its second left read
        // with the right one; the switches only ever differ in tests.
        const float originL = loopL ? lineL.loopPosition : (float) lineL.writeIndex;
        const float originR = loopR ? lineR.loopPosition : (float) lineR.writeIndex;
        const float originRForLeftMode = loopL ? lineR.loopPosition : (float) lineR.writeIndex;
        const float originLForRightMode = loopR ? lineL.loopPosition : (float) lineL.writeIndex;

        // Left glides: new targets, one step for the first reads (and the feedback tap), a second
        // step for the taps' second reads.
        targetL = limitTimes (depthL * mL + timesL);
        const float4 firstL = coeffL * currentL + gainL * targetL;
        const float4 secondL = feedbackLane ? firstL : coeffL * firstL + gainL * targetL;
        currentL = secondL;

        // Right glides: the taps first step towards the previous sample's targets, then towards
        // the new ones; the feedback tap steps once, towards its new target.
        const float4 firstR = coeffR * currentR + gainR * targetR;
        targetR = limitTimes (depthR * mR + timesR);
        const float4 secondR = coeffR * (feedbackLane ? currentR : firstR) + gainR * targetR;
        currentR = secondR;

        readPoints[0][i] = lineL.pointsFrom (originL, delaysOf (firstL, rate));
        readPoints[1][i] = lineL.pointsFrom (originLForRightMode, delaysOf (secondL, rate));
        readPoints[2][i] = lineR.pointsFrom (originRForLeftMode, delaysOf (firstR, rate));
        readPoints[3][i] = lineR.pointsFrom (originR, delaysOf (secondR, rate));

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

    // Second pass: the samples. Every read of a sample comes before that sample's writes.
    for (int i = 0; i < numSamples; ++i)
    {
        const auto& leftFirst = readPoints[0][i];
        const auto& leftSecond = readPoints[1][i];
        const auto& rightFirst = readPoints[2][i];
        const auto& rightSecond = readPoints[3][i];

        float leftSum = 0.0f;
        float rightSum = 0.0f;

        for (int k = 0; k < 3; ++k)
        {
            const float aL = lineL.readPoint (leftFirst, k) * level[0][k] * panLeft[0][k];
            const float aR = lineR.readPoint (rightFirst, k) * level[1][k] * panLeft[1][k];
            const float bR = lineR.readPoint (rightSecond, k) * level[1][k] * panRight[1][k];
            const float bL = lineL.readPoint (leftSecond, k) * level[0][k] * panRight[0][k];
            leftSum += aL + aR;
            rightSum += bR + bL;
        }

        const float fbL = lineL.readPoint (leftFirst, 3);
        const float fbR = lineR.readPoint (rightSecond, 3);
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
        timeSmoother[0][k].current = currentL[k];
        timeSmoother[0][k].target = targetL[k];
        timeSmoother[1][k].current = currentR[k];
        timeSmoother[1][k].target = targetR[k];
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
// The same code built for AVX: three-operand instructions spare most register copies. No FMA, so
// every operation rounds exactly as in the plain build.
__attribute__ ((target ("avx"))) void DelayEngine::processChunkWide (float* left, float* right, int numSamples, float dry, float wet) noexcept
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
