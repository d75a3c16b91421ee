#include "DelayEngine.h"
#include <algorithm>
#include <cmath>

namespace
{
    /** tanh of a positive float, through the double-precision exponential: within an ulp or two of the
        float library's tanh and several times faster. */
    inline float positiveTanh (float x) noexcept
    {
        const double d = (double) x;
        if (d < 0x1p-12)
            return (float) (d - d * d * d * (1.0 / 3.0));
        if (d > 20.0)
            return 1.0f;
        const double e = std::exp (2.0 * d);
        return (float) ((e - 1.0) / (e + 1.0));
    }

    /** A modulated tap time, limited to what the line can hold. A NaN time lands on the longest time. */
    inline float limitTime (float ms) noexcept
    {
        float m = ms < 5000.0f ? ms : 5000.0f;
        if (m < 0.1f)
            m = 0.1f;
        return m;
    }
}

DelayEngine::DelayEngine() = default;

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

void DelayEngine::process (float* left, float* right, int numSamples, float dry, float wet) noexcept
{
    if (channel[0].length <= 0 || channel[1].length <= 0)
        return;

    for (int start = 0; start < numSamples; start += chunkSize)
    {
        const int n = std::min (chunkSize, numSamples - start);
        processInputStage (left + start, right + start, n);

        if (loopActive[0])
        {
            if (loopActive[1])
                processChunk<true, true> (left + start, right + start, n, dry, wet);
            else
                processChunk<true, false> (left + start, right + start, n, dry, wet);
        }
        else
        {
            if (loopActive[1])
                processChunk<false, true> (left + start, right + start, n, dry, wet);
            else
                processChunk<false, false> (left + start, right + start, n, dry, wet);
        }
    }
}

void DelayEngine::processInputStage (const float* left, const float* right, int numSamples) noexcept
{
    // Exponents of the negative half's soft clip; drive 0 and 50 % have exact shortcuts
    // (a power of 1 is the number itself, powers of 1/2 and 2 are a square root and a square).
    const float p = 1.0f - drive;
    const float inverseP = 1.0f / p;
    const int curve = p == 1.0f ? 0 : (p == 0.5f ? 1 : 2);

    auto driven = [p, inverseP, curve] (float x) noexcept
    {
        if (x > 0.0f)
            return positiveTanh (x);
        if (curve == 0)
            return x / (std::abs (x) + 1.0f);
        if (curve == 1)
        {
            const float s = std::sqrt (std::abs (x)) + 1.0f;
            return x / (s * s);
        }
        return x / std::pow (std::pow (std::abs (x), p) + 1.0f, inverseP);
    };

    auto& hpL = lowCut[0];
    auto& lpL = highCut[0];
    auto& hpR = lowCut[1];
    auto& lpR = highCut[1];
    const float gain = inputGain;

    // Both channels in one pass, so that their filter recursions overlap.
    for (int i = 0; i < numSamples; ++i)
    {
        // A NaN or infinite input would stay in the lines and filters for good: the wet path hears silence.
        const float xL = std::isfinite (left[i]) ? left[i] * gain : 0.0f;
        const float xR = std::isfinite (right[i]) ? right[i] * gain : 0.0f;
        const double hL = hpL.process ((double) driven (xL));
        const double hR = hpR.process ((double) driven (xR));
        stagedInput[0][i] = (float) lpL.process ((double) (float) hL);
        stagedInput[1][i] = (float) lpR.process ((double) (float) hR);
    }
}

template <bool loopL, bool loopR>
void DelayEngine::processChunk (float* left, float* right, int numSamples, float dry, float wet) noexcept
{
    auto& lineL = channel[0];
    auto& lineR = channel[1];
    const double rate = sampleRate;

    // Working values and glide states in locals: the output stores cannot alias them.
    float current[2][4], target[2][4], coeff[2][4], gain[2][4];
    for (int ch = 0; ch < 2; ++ch)
    {
        for (int k = 0; k < 4; ++k)
        {
            current[ch][k] = timeSmoother[ch][k].current;
            target[ch][k] = timeSmoother[ch][k].target;
            coeff[ch][k] = timeSmoother[ch][k].coeff;
            gain[ch][k] = timeSmoother[ch][k].gain;
        }
    }

    float times[2][4], depth[2][4], level[2][3], panLeft[2][3], panRight[2][3];
    for (int ch = 0; ch < 2; ++ch)
    {
        for (int k = 0; k < 3; ++k)
        {
            times[ch][k] = tapTimeMs[ch][k];
            level[ch][k] = tapGain[ch][k];
            panLeft[ch][k] = tapPanLeft[ch][k];
            panRight[ch][k] = tapPanRight[ch][k];
        }
        times[ch][3] = feedbackTimeMs[ch];
        for (int k = 0; k < 4; ++k)
            depth[ch][k] = modDepth[ch][k];
    }

    const float fbLevelL = feedbackTapGain[0], fbLevelR = feedbackTapGain[1];
    const float amountL = feedbackAmount[0], amountR = feedbackAmount[1];
    const bool crossL = crossFeedback[0], crossR = crossFeedback[1];
    const int shapeL = lfoShape[0], shapeR = lfoShape[1];
    const float loopStep = loopReverse ? -loopSpeed : loopSpeed;

    auto step = [&current, &target, &coeff, &gain, rate] (int ch, int k) noexcept
    {
        current[ch][k] = coeff[ch][k] * current[ch][k] + gain[ch][k] * target[ch][k];
        return (float) ((double) current[ch][k] * rate * 0.001);
    };

    float lowState[2] { lowDamp[0].state, lowDamp[1].state };
    float highState[2] { highDamp[0].state, highDamp[1].state };
    const float lowG[2] { lowDamp[0].g, lowDamp[1].g };
    const float highG[2] { highDamp[0].g, highDamp[1].g };
    const double lowReciprocal[2] { 1.0 / ((double) lowG[0] + 1.0), 1.0 / ((double) lowG[1] + 1.0) };
    const double highReciprocal[2] { 1.0 / ((double) highG[0] + 1.0), 1.0 / ((double) highG[1] + 1.0) };

    auto damp = [&] (int ch, float x) noexcept
    {
        const float low = DampingFilter::step (x, lowG[ch], lowReciprocal[ch], lowState[ch]);
        return DampingFilter::step (x - low, highG[ch], highReciprocal[ch], highState[ch]);
    };

    float originL = loopL ? lineL.loopPosition : (float) lineL.writeIndex;
    float originR = loopR ? lineR.loopPosition : (float) lineR.writeIndex;

    for (int i = 0; i < numSamples; ++i)
    {
        lfo[0].tickShape (shapeL);
        lfo[1].tickShape (shapeR);

        const float mL = (float) ((lfo[0].value + 1.0) * 0.5) * 5.0f;
        const float mR = (float) ((lfo[1].value + 1.0) * 0.5) * 5.0f;

        // Reads of the left line follow the left loop switch, and the right line's the right one,
        // except that each tap pair's first right read goes with the left switch and its second
        // left read with the right switch; the switches only ever differ in tests.
        const float originRForLeftMode = loopL ? lineR.loopPosition : (float) lineR.writeIndex;
        const float originLForRightMode = loopR ? lineL.loopPosition : (float) lineL.writeIndex;

        float leftSum = 0.0f;
        float rightSum = 0.0f;

        for (int k = 0; k < 3; ++k)
        {
            target[0][k] = limitTime (depth[0][k] * mL + times[0][k]);
            const float aL = lineL.readFrom (originL, step (0, k)) * level[0][k] * panLeft[0][k];

            const float aR = lineR.readFrom (originRForLeftMode, step (1, k)) * level[1][k] * panLeft[1][k];

            target[1][k] = limitTime (depth[1][k] * mR + times[1][k]);
            const float bR = lineR.readFrom (originR, step (1, k)) * level[1][k] * panRight[1][k];

            const float bL = lineL.readFrom (originLForRightMode, step (0, k)) * level[0][k] * panRight[0][k];

            leftSum += aL + aR;
            rightSum += bR + bL;
        }

        target[0][3] = limitTime (mL * depth[0][3] + times[0][3]);
        const float fbL = lineL.readFrom (originL, step (0, 3));
        if (loopL)
        {
            lineL.advanceLoop (loopStep);
            originL = lineL.loopPosition;
        }
        const float fbOutL = fbLevelL * fbL;
        const float dampedL = damp (0, fbL);

        target[1][3] = limitTime (mR * depth[1][3] + times[1][3]);
        const float fbR = lineR.readFrom (originR, step (1, 3));
        if (loopR)
        {
            lineR.advanceLoop (loopStep);
            originR = lineR.loopPosition;
        }
        const float fbOutR = fbLevelR * fbR;
        const float dampedR = damp (1, fbR);

        const float fbInL = crossL ? amountR * dampedR : amountL * dampedL;
        const float fbInR = crossR ? dampedL * amountL : dampedR * amountR;

        if (! loopL)
        {
            lineL.write (fbInL + stagedInput[0][i]);
            originL = (float) lineL.writeIndex;
        }
        if (! loopR)
        {
            lineR.write (fbInR + stagedInput[1][i]);
            originR = (float) lineR.writeIndex;
        }

        left[i] = (leftSum + fbOutL) * wet + left[i] * dry;
        right[i] = (rightSum + fbOutR) * wet + right[i] * dry;
    }

    for (int ch = 0; ch < 2; ++ch)
    {
        for (int k = 0; k < 4; ++k)
        {
            timeSmoother[ch][k].current = current[ch][k];
            timeSmoother[ch][k].target = target[ch][k];
        }
        lowDamp[ch].state = lowState[ch];
        highDamp[ch].state = highState[ch];
    }
}
