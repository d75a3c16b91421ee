#include <gtest/gtest.h>
#include "processor/dsp/Biquad.h"
#include "processor/dsp/Saturation.h"
#include <cmath>
#include <complex>

/** Steady-state gain in dB of a filter's answer to a sine at the given fraction of the sample rate. */
static double gainDb (Biquad filter, double frequency)
{
    std::complex<double> sum;
    for (int i = 0; i < 60000; ++i)
    {
        const double w = 2.0 * 3.141592653589793 * frequency * i;
        sum += filter.process (std::sin (w)) * std::polar (i >= 20000 ? 1.0 : 0.0, w);
    }
    return 20.0 * std::log10 (std::abs (sum) / 20000.0);
}

TEST (Biquad, CutsThreeDecibelsAtTheCutoffAndStaysStableAtOrAboveHalfTheRate)
{
    // Cutoff, a pass-band and a stop-band frequency two octaves or more past the cutoff (0: none below Nyquist).
    const struct { int type; double cutoff, pass, stop; } cases[] = {
        { Biquad::lowPass, 30.0, 3.6, 120.0 },    { Biquad::lowPass, 1000.0, 120.0, 4000.0 },   { Biquad::lowPass, 16000.0, 2400.0, 0.0 },
        { Biquad::highPass, 30.0, 240.0, 6.0 },   { Biquad::highPass, 1000.0, 8400.0, 250.0 },  { Biquad::highPass, 16000.0, 22800.0, 4000.0 },
    };
    for (const auto& c : cases)
    {
        Biquad filter;
        filter.setCoefficients (c.type, c.cutoff / 48000.0);
        EXPECT_NEAR (gainDb (filter, c.cutoff / 48000.0), -3.01, 0.02) << c.type << " " << c.cutoff;
        EXPECT_NEAR (gainDb (filter, c.pass / 48000.0), 0.0, 0.02) << c.type << " " << c.cutoff;
        EXPECT_TRUE (c.stop == 0.0 || gainDb (filter, c.stop / 48000.0) < -23.0) << c.type << " " << c.cutoff;
    }

    // HF Cut at 16 kHz with a host running at 22.05, 32 or 12.345 kHz.
    for (double frequency : { 16000.0 / 22050.0, 0.5, 16000.0 / 12345.678 })
    {
        Biquad lp;
        lp.setCoefficients (Biquad::lowPass, frequency);
        double peak = 0.0;
        for (int i = 0; i < 100000; ++i)
            peak = std::max (peak, std::abs (lp.process ((i * 7919) % 2001 / 1000.0 - 1.0)));
        EXPECT_LT (peak, 4.0) << frequency;
        EXPECT_NEAR (gainDb (lp, 0.05), 0.0, 0.1) << frequency;
        // A moving cutoff does not reset the filter (which would click).
        const auto state = std::make_pair (lp.z1, lp.z2);
        lp.setCoefficients (Biquad::lowPass, 0.02);
        EXPECT_EQ (std::make_pair (lp.z1, lp.z2), state);
    }
}

TEST (Saturation, ExponentialAndTanhAreGoodToDoublePrecision)
{
    double worstExp = 0.0, worstTanh = 0.0;
    for (int i = 0; i <= 400000; ++i)
    {
        // exp over 0..40 from both ends; tanh on a logarithmic sweep from 1e-8 to 30 and a linear one over 0..8.
        const double z = i * 1.0e-4, a = 1.0e-8 * std::pow (3.0e9, i / 400000.0), b = i * 2.0e-5;
        const double2 e = Saturation::exponential (double2 { z, 40.0 - z });
        worstExp = std::max ({ worstExp, std::abs (e[0] / std::exp (z) - 1.0), std::abs (e[1] / std::exp (40.0 - z) - 1.0) });
        const double2 t = Saturation::positiveTanh (double2 { a, b });
        worstTanh = std::max ({ worstTanh, std::abs (t[0] / std::tanh (a) - 1.0), b > 0.0 ? std::abs (t[1] / std::tanh (b) - 1.0) : 0.0 });
    }
    EXPECT_LT (worstExp, 2e-15);
    EXPECT_LT (worstTanh, 1e-8);
    const double2 saturated = Saturation::positiveTanh (double2 { 20.5, 1.0e30 });
    EXPECT_TRUE ((float) saturated[0] == 1.0f && (float) saturated[1] == 1.0f);
}
