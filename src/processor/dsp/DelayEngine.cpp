#include "DelayEngine.h"
#include <algorithm>
#include <cmath>

namespace
{
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
    const float* inputs[2] { left, right };

    for (int ch = 0; ch < 2; ++ch)
    {
        const float* in = inputs[ch];
        auto& hp = lowCut[ch];
        auto& lp = highCut[ch];

        for (int i = 0; i < numSamples; ++i)
        {
            // A NaN or infinite input would stay in the lines and filters for good: the wet path hears silence.
            const float x = std::isfinite (in[i]) ? in[i] * inputGain : 0.0f;
            const float y = driveSample (x, drive);
            const double h = hp.process ((double) y);
            const double g = lp.process ((double) (float) h);
            stagedInput[ch][i] = (float) g;
        }
    }
}

template <bool loopL, bool loopR>
void DelayEngine::processChunk (float* left, float* right, int numSamples, float dry, float wet) noexcept
{
    auto& lineL = channel[0];
    auto& lineR = channel[1];
    const double msToSamples = sampleRate;

    auto delayOf = [msToSamples] (const TimeSmoother& s) noexcept
    {
        return (float) ((double) s.current * msToSamples * 0.001);
    };

    auto readL = [&lineL] (float d) noexcept { return loopL ? lineL.loopRead (d) : lineL.read (d); };
    auto readRWithLeftMode = [&lineR] (float d) noexcept { return loopL ? lineR.loopRead (d) : lineR.read (d); };
    auto readLWithRightMode = [&lineL] (float d) noexcept { return loopR ? lineL.loopRead (d) : lineL.read (d); };
    auto readR = [&lineR] (float d) noexcept { return loopR ? lineR.loopRead (d) : lineR.read (d); };

    const float loopStep = loopReverse ? -loopSpeed : loopSpeed;

    for (int i = 0; i < numSamples; ++i)
    {
        lfo[0].tickShape (lfoShape[0]);
        lfo[1].tickShape (lfoShape[1]);

        const float mL = (float) ((lfo[0].value + 1.0) * 0.5) * 5.0f;
        const float mR = (float) ((lfo[1].value + 1.0) * 0.5) * 5.0f;

        float leftSum = 0.0f;
        float rightSum = 0.0f;

        for (int k = 0; k < 3; ++k)
        {
            auto& sL = timeSmoother[0][k];
            auto& sR = timeSmoother[1][k];

            sL.target = limitTime (modDepth[0][k] * mL + tapTimeMs[0][k]);
            sL.step();
            const float aL = readL (delayOf (sL)) * tapGain[0][k] * tapPanLeft[0][k];

            sR.step();
            const float aR = readRWithLeftMode (delayOf (sR)) * tapGain[1][k] * tapPanLeft[1][k];

            sR.target = limitTime (modDepth[1][k] * mR + tapTimeMs[1][k]);
            sR.step();
            const float bR = readR (delayOf (sR)) * tapGain[1][k] * tapPanRight[1][k];

            sL.step();
            const float bL = readLWithRightMode (delayOf (sL)) * tapGain[0][k] * tapPanRight[0][k];

            leftSum += aL + aR;
            rightSum += bR + bL;
        }

        auto& fL = timeSmoother[0][3];
        fL.target = limitTime (mL * modDepth[0][3] + feedbackTimeMs[0]);
        fL.step();
        float fbL;
        if (loopL)
        {
            fbL = lineL.loopRead (delayOf (fL));
            lineL.advanceLoop (loopStep);
        }
        else
        {
            fbL = lineL.read (delayOf (fL));
        }
        const float fbOutL = feedbackTapGain[0] * fbL;
        const float dampedL = highDamp[0].process (fbL - lowDamp[0].process (fbL));

        auto& fR = timeSmoother[1][3];
        fR.target = limitTime (mR * modDepth[1][3] + feedbackTimeMs[1]);
        fR.step();
        float fbR;
        if (loopR)
        {
            fbR = lineR.loopRead (delayOf (fR));
            lineR.advanceLoop (loopStep);
        }
        else
        {
            fbR = lineR.read (delayOf (fR));
        }
        const float fbOutR = feedbackTapGain[1] * fbR;
        const float dampedR = highDamp[1].process (fbR - lowDamp[1].process (fbR));

        const float fbInL = crossFeedback[0] ? feedbackAmount[1] * dampedR : feedbackAmount[0] * dampedL;
        const float fbInR = crossFeedback[1] ? dampedL * feedbackAmount[0] : dampedR * feedbackAmount[1];

        if (! loopL)
            lineL.write (fbInL + stagedInput[0][i]);
        if (! loopR)
            lineR.write (fbInR + stagedInput[1][i]);

        left[i] = (leftSum + fbOutL) * wet + left[i] * dry;
        right[i] = (rightSum + fbOutR) * wet + right[i] * dry;
    }
}
