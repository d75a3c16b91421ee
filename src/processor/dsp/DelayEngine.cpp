#include "DelayEngine.h"
#include "Saturation.h"
#include <algorithm>
#include <cmath>
#include <cstring>

#if (defined (__GNUC__) || defined (__clang__)) && (defined (__x86_64__) || defined (__i386__))
 #define BRINDLEX_WIDE_VARIANT 1
#else
 #define BRINDLEX_WIDE_VARIANT 0
#endif

#if BRINDLEX_WIDE_VARIANT
 #include <immintrin.h>
#endif

namespace
{
    /** Each lane widened to double, exactly as __builtin_convertvector widens it. Written lane by lane,
        which the compiler turns into one conversion instruction; it takes __builtin_convertvector apart
        into pairs of lanes. */
    [[gnu::always_inline]] inline double2 widen (float2 x) noexcept { return double2 { x[0], x[1] }; }
    [[gnu::always_inline]] inline double4 widen (float4 x) noexcept { return double4 { x[0], x[1], x[2], x[3] }; }

    /** Modulated tap times, limited to what the line can hold. A NaN time lands on the longest time. */
    [[gnu::always_inline]] inline float8 limitTimes (float8 ms) noexcept
    {
        const float8 longest = float8 {} + 5000.0f;
        const float8 shortest = float8 {} + 0.1f;
        const float8 m = ms < longest ? ms : longest;
        return m < shortest ? shortest : m;
    }

    /** The square root of each lane, correctly rounded as std::sqrt rounds it. */
    inline float4 squareRoots (float4 x) noexcept
    {
#if BRINDLEX_WIDE_VARIANT
        return (float4) _mm_sqrt_ps ((__m128) x);
#else
        float4 r;
        for (int lane = 0; lane < 4; ++lane)
            r[lane] = std::sqrt (x[lane]);
        return r;
#endif
    }

    /** count (at most eight) samples from x, zeros in the places after them. */
    [[gnu::always_inline]] inline float8 loadEight (const float* x, int count) noexcept
    {
        float8 v {};
        if (count == 8)
            std::memcpy (&v, x, sizeof (v));
        else
            for (int s = 0; s < count; ++s)
                v[s] = x[s];
        return v;
    }

    [[gnu::always_inline]] inline void storeEight (float* x, float8 v, int count) noexcept
    {
        if (count == 8)
            std::memcpy (x, &v, sizeof (v));
        else
            for (int s = 0; s < count; ++s)
                x[s] = v[s];
    }

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
            smoother.target = (double) 0.1f;
            smoother.offset = -smoother.target;
        }
    }

    for (auto& osc : lfo)
        osc.setSampleRate (newSampleRate);

    for (auto& filter : highCut)
        filter.setCoefficients (Biquad::lowPass, 16000.0 / newSampleRate);
    for (auto& filter : lowCut)
        filter.setCoefficients (Biquad::highPass, 30.0 / newSampleRate);
}

[[gnu::always_inline]] inline void DelayEngine::driveInput (const float* left, const float* right, int numSamples) noexcept
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
            const float4 s = squareRoots (magnitude) + 1.0f;
            return x / (s * s);
        }
        float4 y;
        for (int lane = 0; lane < 4; ++lane)
            y[lane] = x[lane] > 0.0f ? 0.0f : x[lane] / std::pow (std::pow (magnitude[lane], p) + 1.0f, inverseP);
        return y;
    };

    const float gain = inputGain;

    // Two samples at a time, with nothing carried over, so that the work overlaps. The cut filters
    // come later, sample by sample beside the feedback's damping, so that the two recursions overlap.
    for (int i = 0; i < numSamples; i += 2)
    {
        // A NaN or infinite input would stay in the lines and filters for good: the wet path hears
        // silence. x - x is 0 exactly when x is finite.
        const bool pair = i + 1 < numSamples;
        const float4 raw { left[i], right[i], pair ? left[i + 1] : 0.0f, pair ? right[i + 1] : 0.0f };
        const float4 x = raw - raw == float4 {} ? raw * gain : float4 {};
        const float4 positive = __builtin_convertvector (Saturation::positiveTanh (widen (x)), float4);
        const double4 y = widen (x > float4 {} ? positive : negativeHalf (x));

        drivenInput[i] = __builtin_shufflevector (y, y, 0, 1);
        if (pair)
            drivenInput[i + 1] = __builtin_shufflevector (y, y, 2, 3);
    }
}

template <bool loopL, bool loopR>
[[gnu::always_inline]] inline void DelayEngine::processChunk (float* left, float* right, int numSamples, float dry, float wet) noexcept
{
    auto& lineL = channel[0];
    auto& lineR = channel[1];

    // The eight time glides, left taps 1-3 and feedback tap in one vector and the right ones in another:
    // their targets and their distances from them.
    // Filled through a reference: a lambda is not compiled for the wide build's instruction set, and a
    // vector returned by value between the two would not arrive intact where it is not inlined.
    auto lanes = [this] (int ch, double TimeSmoother::*field, double4& out) noexcept
    {
        const auto* s = timeSmoother[ch];
        out = double4 { s[0].*field, s[1].*field, s[2].*field, s[3].*field };
    };
    double4 targetL, targetR, offsetL, offsetR, coeffL, coeffR;
    lanes (0, &TimeSmoother::target, targetL);
    lanes (1, &TimeSmoother::target, targetR);
    lanes (0, &TimeSmoother::offset, offsetL);
    lanes (1, &TimeSmoother::offset, offsetR);
    lanes (0, &TimeSmoother::coeff, coeffL);
    lanes (1, &TimeSmoother::coeff, coeffR);

    // A sample's steps in one: the taps step twice, the feedback taps once. The left glides step towards
    // their new targets; the right taps step first towards the previous targets, then towards the new ones.
    const double4 tapLanes { 1.0, 1.0, 1.0, 0.0 }, feedbackLane { 0.0, 0.0, 0.0, 1.0 };
    const double4 shrinkL = coeffL * (coeffL * tapLanes + feedbackLane);
    const double4 shrinkR = coeffR * (coeffR * tapLanes + feedbackLane);
    const float8 times { tapTimeMs[0][0], tapTimeMs[0][1], tapTimeMs[0][2], feedbackTimeMs[0],
                         tapTimeMs[1][0], tapTimeMs[1][1], tapTimeMs[1][2], feedbackTimeMs[1] };
    const float8 depth { modDepth[0][0], modDepth[0][1], modDepth[0][2], modDepth[0][3],
                         modDepth[1][0], modDepth[1][1], modDepth[1][2], modDepth[1][3] };

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
    const double samplesPerMs = sampleRate * 0.001;

    // Both channels' damping stages, one lane each; the division by g + 1 becomes a multiplication
    // by its reciprocal, which changes a result by at most one float rounding. The state's update
    // stays in float: 2y is exact, and a float difference rounded once is the double difference
    // rounded to float, since double carries more than twice float's precision.
    float2 lowState { lowDamp[0].state, lowDamp[1].state };
    float2 highState { highDamp[0].state, highDamp[1].state };
    const float2 lowG { lowDamp[0].g, lowDamp[1].g };
    const float2 highG { highDamp[0].g, highDamp[1].g };
    const double2 lowReciprocal = 1.0 / (widen (lowG) + 1.0);
    const double2 highReciprocal = 1.0 / (widen (highG) + 1.0);

    auto dampStage = [] (float2 x, float2 g, double2 reciprocal, float2& state) noexcept
    {
        const float2 y = __builtin_convertvector (widen (x * g + state) * reciprocal, float2);
        state = (y + y) - state;
        return y;
    };

    // The LFOs run ahead through the chunk: nothing in it feeds back into them.
    double lfoValues[2][chunkSize];
    lfo[0].tickShapeBlock (lfoShape[0], lfoValues[0], numSamples);
    lfo[1].tickShapeBlock (lfoShape[1], lfoValues[1], numSamples);

    // Each LFO value as a modulation of 0 to 5, four samples at a time (a last, partial four
    // takes zeros in the unused places).
    alignas (32) float modulationOf[2][chunkSize];
    for (int ch = 0; ch < 2; ++ch)
    {
        for (int i = numSamples; i % 4 != 0; ++i)
            lfoValues[ch][i] = 0.0;

        for (int i = 0; i < numSamples; i += 4)
        {
            double4 v;
            std::memcpy (&v, lfoValues[ch] + i, sizeof (v));
            const float4 m = __builtin_convertvector ((v + 1.0) * 0.5, float4) * 5.0f;
            std::memcpy (modulationOf[ch] + i, &m, sizeof (m));
        }
    }

    // The glides first, on their own so that their state stays in registers. A distance d from the
    // previous target is d + change from the new one; the left glides' first steps give (d + change) c,
    // their last ones (d + change) c^2 for the taps; the right taps' first steps, towards the previous
    // targets, give d c, their last ones (d c + change) c.
    // Each line's delays in samples: in [line][0] its glides' first steps, in [line][1] their last
    // steps.
    //
    // A step never takes a glide beyond its target, so no time read in the chunk is shorter than the
    // shortest of the glides' times and targets at its start and the targets within it.
    double4 lineDelays[2][2][chunkSize];
    const double4 zero {};
    const double4 startShortestL = targetL + (offsetL < zero ? offsetL : zero);
    const double4 startShortestR = targetR + (offsetR < zero ? offsetR : zero);
    float8 shortestTarget = float8 {} + INFINITY;
    for (int i = 0; i < numSamples; ++i)
    {
        const float mL = modulationOf[0][i];
        const float mR = modulationOf[1][i];
        const float8 modulation { mL, mL, mL, mL, mR, mR, mR, mR };

        const float8 newTarget = limitTimes (depth * modulation + times);
        shortestTarget = newTarget < shortestTarget ? newTarget : shortestTarget;
        const double4 newTargetL = widen (__builtin_shufflevector (newTarget, newTarget, 0, 1, 2, 3));
        const double4 newTargetR = widen (__builtin_shufflevector (newTarget, newTarget, 4, 5, 6, 7));

        const double4 fromL = offsetL + (targetL - newTargetL);
        const double4 firstL = newTargetL + coeffL * fromL;
        offsetL = shrinkL * fromL;

        const double4 firstR = targetR + coeffR * offsetR;
        offsetR = shrinkR * offsetR + coeffR * (targetR - newTargetR);

        targetL = newTargetL;
        targetR = newTargetR;

        lineDelays[0][0][i] = firstL * samplesPerMs;
        lineDelays[0][1][i] = (targetL + offsetL) * samplesPerMs;
        lineDelays[1][0][i] = firstR * samplesPerMs;
        lineDelays[1][1][i] = (targetR + offsetR) * samplesPerMs;
    }

    unsigned8 farthestL {}, farthestR {};

    double nearest = INFINITY;
    for (int lane = 0; lane < 4; ++lane)
        nearest = std::min ({ nearest, startShortestL[lane], startShortestR[lane], (double) shortestTarget[lane], (double) shortestTarget[4 + lane] });
    nearest *= samplesPerMs;

    // Per eight samples of the chunk, the lanes whose read index steps on by exactly one from sample
    // to sample. They decide, with the shortest delay, how the reads can be made.
    const int8 everyLane = int8 {} - 1;
    int8 previousL {}, previousR {};

    // The lines' positions in locals, so that the stores of the read points do not make the compiler
    // fetch them anew for every sample. nextL is the write index, the origin of the reads.
    const int lengthL = lineL.length, lengthR = lineR.length;
    int nextL = lineL.writeIndex, nextR = lineR.writeIndex;
    int positionL = lineL.writePosition(), positionR = lineR.writePosition();
    double loopOriginL = lineL.loopPosition, loopOriginR = lineR.loopPosition;

    // A line's positions past a sample: the loop origin one step on, or the write position one on.
    auto moveOn = [loopStep] (bool loop, double& loopOrigin, int& next, int& position, int length, int& written) noexcept
    {
        if (loop)
        {
            loopOrigin = DelayChannel::stepLoop (loopOrigin, loopStep, length);
        }
        else
        {
            written = position;
            next = position + 1;
            position = next >= length ? next - length : next;
        }
    };

    // Then from the glides and the lines' positions every read point of the chunk; the positions
    // move on as the writes (or the loop) will move them.
    for (int start = 0; start < numSamples; start += 8)
    {
        int8 runL = everyLane, runR = everyLane;
        const int end = std::min (numSamples, start + 8);
        for (int i = start; i < end; ++i)
        {
            // Each line's first reads (its first halves) go with the left loop switch and its second
            // reads with the right one; the switches only ever differ in tests.
            const double raisedL = (loopL ? loopOriginL : (double) nextL) + lengthL;
            const double raisedR = (loopR ? loopOriginR : (double) nextR) + lengthR;
            const double raisedRForLeftMode = (loopL ? loopOriginR : (double) nextR) + lengthR;
            const double raisedLForRightMode = (loopR ? loopOriginL : (double) nextL) + lengthL;
            const double4 originsL { raisedL, raisedL, raisedL, raisedL };
            const double4 originsR { raisedR, raisedR, raisedR, raisedR };
            const double4 originsRForLeftMode { raisedRForLeftMode, raisedRForLeftMode, raisedRForLeftMode, raisedRForLeftMode };
            const double4 originsLForRightMode { raisedLForRightMode, raisedLForRightMode, raisedLForRightMode, raisedLForRightMode };

            auto& pointsL = readPoints[0][i];
            auto& pointsR = readPoints[1][i];
            DelayChannel::pointsFrom (originsL, lineDelays[0][0][i], originsLForRightMode, lineDelays[0][1][i], lengthL, pointsL);
            DelayChannel::pointsFrom (originsRForLeftMode, lineDelays[1][0][i], originsR, lineDelays[1][1][i], lengthR, pointsR);
            DelayChannel::markFarthest (pointsL, farthestL);
            DelayChannel::markFarthest (pointsR, farthestR);

            if (i > start)
            {
                runL &= pointsL.index == previousL + 1;
                runR &= pointsR.index == previousR + 1;
            }
            previousL = pointsL.index;
            previousR = pointsR.index;

            moveOn (loopL, loopOriginL, nextL, positionL, lengthL, writePositions[0][i]);
            moveOn (loopR, loopOriginR, nextR, positionR, lengthR, writePositions[1][i]);
        }

        runs[0][start / 8] = runL;
        runs[1][start / 8] = runR;
    }

    // The write index past the chunk's last write, and the loop origin past its last step.
    if (loopL)
        lineL.loopPosition = loopOriginL;
    else if (numSamples > 0)
        lineL.loopPosition = (double) (lineL.writeIndex = nextL);
    if (loopR)
        lineR.loopPosition = loopOriginR;
    else if (numSamples > 0)
        lineR.loopPosition = (double) (lineR.writeIndex = nextR);

    bool allInside = true;
    for (int lane = 0; lane < 8; ++lane)
        allInside = allInside && farthestL[lane] < (unsigned) lineL.length && farthestR[lane] < (unsigned) lineR.length;

    // Both channels' cut filters run side by side, one lane each, so their recursions overlap.
    const double2 hpB0 { lowCut[0].b0, lowCut[1].b0 }, hpB1 { lowCut[0].b1, lowCut[1].b1 }, hpB2 { lowCut[0].b2, lowCut[1].b2 };
    const double2 hpA1 { lowCut[0].a1, lowCut[1].a1 }, hpA2 { lowCut[0].a2, lowCut[1].a2 };
    double2 hpZ1 { lowCut[0].z1, lowCut[1].z1 }, hpZ2 { lowCut[0].z2, lowCut[1].z2 };
    const double2 lpB0 { highCut[0].b0, highCut[1].b0 }, lpB1 { highCut[0].b1, highCut[1].b1 }, lpB2 { highCut[0].b2, highCut[1].b2 };
    const double2 lpA1 { highCut[0].a1, highCut[1].a1 }, lpA2 { highCut[0].a2, highCut[1].a2 };
    double2 lpZ1 { highCut[0].z1, highCut[1].z1 }, lpZ2 { highCut[0].z2, highCut[1].z2 };

    // A sample's input through the cut filters, and its damped feedback, go into the lines (nothing
    // is written in loop mode, but the filters run on).
    auto feedBack = [&] (int i, float fbL, float fbR) noexcept
    {
        const double2 y = drivenInput[i];
        const double2 h = hpB0 * y + hpZ1;
        hpZ1 = hpB1 * y + hpZ2 - hpA1 * h;
        hpZ2 = hpB2 * y - hpA2 * h;

        const double2 x = widen (__builtin_convertvector (h, float2));
        const double2 g = lpB0 * x + lpZ1;
        lpZ1 = lpB1 * x + lpZ2 - lpA1 * g;
        lpZ2 = lpB2 * x - lpA2 * g;
        const float2 input = __builtin_convertvector (g, float2);

        const float2 feedback { fbL, fbR };
        const float2 damped = dampStage (feedback - dampStage (feedback, lowG, lowReciprocal, lowState),
                                         highG, highReciprocal, highState);
        const float dampedL = damped[0], dampedR = damped[1];

        const float fbInL = crossL ? amountR * dampedR : amountL * dampedL;
        const float fbInR = crossR ? dampedL * amountL : dampedR * amountR;

        if (! loopL)
            lineL.store (writePositions[0][i], fbInL + input[0]);
        if (! loopR)
            lineR.store (writePositions[1][i], fbInR + input[1]);
    };

    // Second pass: the samples. Every read of a sample comes before that sample's writes. The left
    // line's points hold its first reads in lanes 0-3 and its second reads in lanes 4-7; so do the
    // right line's. Lane 3 of the left first reads and lane 7 of the right second reads are the
    // feedback taps.
    //
    // All reads of the chunk can come first, eight samples at a time, when none of them reaches a sample
    // that the chunk itself writes: when every delay is longer than the chunk, or nothing is written.
    // A delay shorter than 5 s never reaches round the line to the chunk's writes.
    const bool writesAheadOfReads = (loopL && loopR) || (! loopL && ! loopR && nearest > (double) (numSamples + 2));
    if (allInside && writesAheadOfReads)
    {
        // A last, partial eight reads its lanes one by one from padded points, which stay in the line.
        if (numSamples % 8 != 0)
        {
            for (int i = numSamples; i % 8 != 0; ++i)
                readPoints[0][i] = readPoints[1][i] = DelayChannel::ReadPoints {};
            runs[0][numSamples / 8] = runs[1][numSamples / 8] = int8 {};
        }

        for (int i = 0; i < numSamples; i += 8)
        {
            float8 valuesL[8], valuesR[8];
            lineL.readEightSamples (readPoints[0] + i, runs[0][i / 8], valuesL);
            lineR.readEightSamples (readPoints[1] + i, runs[1][i / 8], valuesR);

            // Tap k's pair into the left output from lanes k, into the right one from lanes 4 + k. The
            // left output is stored before the right input is read: they may be the same samples.
            const int count = std::min (8, numSamples - i);
            const float8 leftSum = ((0.0f + (valuesL[0] * gainsL[0] + valuesR[0] * gainsR[0]))
                                    + (valuesL[1] * gainsL[1] + valuesR[1] * gainsR[1]))
                                 + (valuesL[2] * gainsL[2] + valuesR[2] * gainsR[2]);
            const float8 outL = (leftSum + fbLevelL * valuesL[3]) * wet + loadEight (left + i, count) * dry;
            storeEight (left + i, outL, count);

            const float8 rightSum = ((0.0f + (valuesL[4] * gainsL[4] + valuesR[4] * gainsR[4]))
                                     + (valuesL[5] * gainsL[5] + valuesR[5] * gainsR[5]))
                                  + (valuesL[6] * gainsL[6] + valuesR[6] * gainsR[6]);
            const float8 outR = (rightSum + fbLevelR * valuesR[7]) * wet + loadEight (right + i, count) * dry;
            storeEight (right + i, outR, count);

            // The feedback's recursions of these eight samples, which the next eight's reads can overlap.
            for (int s = 0; s < count; ++s)
                feedBack (i + s, valuesL[3][s], valuesR[7][s]);
        }
    }
    else
    {
        // Short delays read what the chunk has just written: sample by sample. Only a read position
        // that is not a number needs the one-by-one reads.
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

            feedBack (i, valuesL[3], valuesR[7]);

            left[i] = (leftSum + fbLevelL * valuesL[3]) * wet + left[i] * dry;
            right[i] = (rightSum + fbLevelR * valuesR[7]) * wet + right[i] * dry;
        }
    }

    for (int k = 0; k < 4; ++k)
    {
        timeSmoother[0][k].target = targetL[k];
        timeSmoother[0][k].offset = offsetL[k];
        timeSmoother[1][k].target = targetR[k];
        timeSmoother[1][k].offset = offsetR[k];
    }

    for (int ch = 0; ch < 2; ++ch)
    {
        lowDamp[ch].state = lowState[ch];
        highDamp[ch].state = highState[ch];
        lowCut[ch].z1 = hpZ1[ch];
        lowCut[ch].z2 = hpZ2[ch];
        highCut[ch].z1 = lpZ1[ch];
        highCut[ch].z2 = lpZ2[ch];
    }
}

[[gnu::always_inline]] inline void DelayEngine::runChunk (float* left, float* right, int numSamples, float dry, float wet) noexcept
{
    driveInput (left, right, numSamples);

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
            // The samples just behind the write index, as at most two spans that the loop can take
            // several at a time: x - x is 0 exactly when x is finite.
            auto mendSpan = [&line] (int start, int end) noexcept
            {
                float* data = line.buffer.get();
                for (int i = start; i < end; ++i)
                    data[i] = data[i] - data[i] == 0.0f ? data[i] : 0.0f;
            };
            const int count = std::min (numSamplesJustProcessed, line.length);
            const int w = std::clamp (line.writeIndex, 0, line.length);
            mendSpan (std::max (0, w - count), w);
            if (count > w)
                mendSpan (line.length - (count - w), line.length);
            mend (line.buffer[(size_t) line.length], line.buffer[0]);
            mend (line.loopPosition, (double) line.writePosition());
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
            mend (smoother.target, (double) 0.1f);
            mend (smoother.offset, 0.0);
        }

        auto& osc = lfo[ch];
        mend (osc.phase, 0.0f);
        mend (osc.value, 0.0);
        mend (osc.randomValue, 0.0);
        mend (osc.randomSmoother.current, 0.0f);
        mend (osc.randomSmoother.target, 0.0f);
    }
}
