#pragma once

/** One-pole glide of a tap time in milliseconds towards its target, so that time changes do not
    click. It runs in double and shrinks the distance left by coeff each step; steps too small to
    move it any more end the glide on its target, so that a settled tap sits exactly where its
    control says, whatever the glide started from. */
struct TimeSmoother
{
    /** One step from current towards target, for a single glide or for several side by side. */
    template <typename Value>
    static inline Value stepTowards (Value current, Value target, Value coeff) noexcept
    {
        return target + coeff * (current - target);
    }

    /** What a glide's steps from before gave, or the target once they could not move it any more.
        Steps towards one target never overshoot it, so a glide that stands still is on it but for
        a few roundings. */
    template <typename Value>
    static inline Value landed (Value before, Value after, Value target) noexcept
    {
        return after == before ? target : after;
    }

    double coeff = 0.0;
    double current = 0.0;
    double target = 0.0;
};
