#pragma once

/** One-pole glide of a tap time towards its target, so that time changes do not click. */
struct TimeSmoother
{
    inline float step() noexcept
    {
        current = coeff * current + gain * target;
        return current;
    }

    float coeff = 0.0f;
    float gain = 0.0f;
    float current = 0.0f;
    float target = 0.0f;
};
