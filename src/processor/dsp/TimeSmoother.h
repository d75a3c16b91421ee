#pragma once

/** One-pole glide of a tap time in milliseconds towards its target, so that time changes do not
    click. It keeps, in double, the distance still to go: each step shrinks it by coeff, and a new
    target moves it by the target's change. The glided time is the target plus that distance, so it
    never stops short: it reaches its target exactly once the distance falls below the target's
    last bit, wherever the glide started. */
struct TimeSmoother
{
    double coeff = 0.0;
    double target = 0.0;
    /** The glided time less the target. */
    double offset = 0.0;
};
