#pragma once

/** Second-order filter in double precision (transposed direct form II), designed by the bilinear
    transform from a cutoff given as a fraction of the sample rate. The engine uses it for its low and high cut. */
struct Biquad
{
    enum Type
    {
        lowPass = 0, highPass
    };

    /** Sets the design and recomputes the coefficients; the filter state is kept, so a moving cutoff does not click.
        Any type other than lowPass gives the high-pass. */
    void setCoefficients (int newType, double newFrequency);

    inline double process (double x) noexcept
    {
        const double out = b0 * x + z1;
        z1 = b1 * x + z2 - a1 * out;
        z2 = b2 * x - a2 * out;
        return out;
    }

    /** Highest cutoff the design uses. At or above half the sample rate (HF Cut 16 kHz at 22.05 or 32 kHz)
        the bilinear design turns unstable or aliases, so the cutoff stops just below it. */
    static constexpr double highestFrequency = 0.49;

    /** Butterworth response: 3 dB down at the cutoff. */
    static constexpr double q = 0.7071;

    int type = lowPass;
    double b0 = 1.0, b1 = 0.0, b2 = 0.0;
    double a1 = 0.0, a2 = 0.0;
    double frequency = 0.5;
    double z1 = 0.0, z2 = 0.0;
};
