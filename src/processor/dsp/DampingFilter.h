#pragma once

/** One-pole low-pass in trapezoidal (zero-delay-feedback) form; two of them damp each feedback path.
    With g = 0 it holds its state and lets nothing new through. */
struct DampingFilter
{
    inline float process (float x) noexcept
    {
        const float y = (float) ((double) (x * g + state) / ((double) g + 1.0));
        state = (float) (2.0 * (double) y - (double) state);
        return y;
    }

    float state = 0.0f;
    float g = 0.0f;
};
