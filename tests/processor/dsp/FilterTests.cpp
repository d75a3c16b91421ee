#include <gtest/gtest.h>
#include "processor/dsp/Biquad.h"
#include "processor/dsp/DampingFilter.h"
#include <cmath>
#include <type_traits>
#include <vector>

namespace
{
    constexpr double pi = 3.14159265358979323846;

    /** Steady-state amplitude of a filter's answer to a sine at the given fraction of the sample rate,
        measured by correlating the output with the sine and the cosine. */
    template <typename Filter>
    double sineGain (Filter& filter, double frequency)
    {
        const int settle = 20000;
        const int measure = 40000;
        double re = 0.0, im = 0.0;
        for (int i = 0; i < settle + measure; ++i)
        {
            const double w = 2.0 * pi * frequency * i;
            double y;
            if constexpr (std::is_same_v<Filter, DampingFilter>)
                y = (double) filter.process ((float) std::sin (w));
            else
                y = filter.process (std::sin (w));
            if (i >= settle)
            {
                re += y * std::sin (w);
                im += y * std::cos (w);
            }
        }
        return 2.0 * std::sqrt (re * re + im * im) / measure;
    }

    double decibels (double gain) { return 20.0 * std::log10 (gain); }
}

TEST (Biquad, CoefficientsFollowTheBilinearDesign)
{
    const double f = 1000.0 / 48000.0;
    const double k = std::tan (pi * f);
    const double q = 0.7071;
    const double norm = 1.0 / (1.0 + k / q + k * k);

    Biquad lp;
    lp.setCoefficients (Biquad::lowPass, f);
    EXPECT_NEAR (lp.b0, k * k * norm, 1e-15);
    EXPECT_NEAR (lp.b1, 2.0 * k * k * norm, 1e-15);
    EXPECT_NEAR (lp.b2, k * k * norm, 1e-15);
    EXPECT_NEAR (lp.a1, 2.0 * (k * k - 1.0) * norm, 1e-15);
    EXPECT_NEAR (lp.a2, (1.0 - k / q + k * k) * norm, 1e-15);
    EXPECT_EQ (lp.q, 0.7071);
    EXPECT_EQ (lp.frequency, f);

    Biquad hp;
    hp.setCoefficients (Biquad::highPass, f);
    EXPECT_NEAR (hp.b0, norm, 1e-15);
    EXPECT_NEAR (hp.b1, -2.0 * norm, 1e-15);
    EXPECT_NEAR (hp.b2, norm, 1e-15);

    Biquad bp;
    bp.setCoefficients (Biquad::bandPass, f);
    EXPECT_NEAR (bp.b0, k / q * norm, 1e-15);
    EXPECT_EQ (bp.b1, 0.0);
    EXPECT_EQ (bp.b2, -bp.b0);

    Biquad notch;
    notch.setCoefficients (Biquad::notch, f);
    EXPECT_NEAR (notch.b0, (1.0 + k * k) * norm, 1e-15);
    EXPECT_EQ (notch.a1, notch.b1);
}

TEST (Biquad, CutoffIsThreeDecibelsDown)
{
    for (double hz : { 30.0, 1000.0, 16000.0 })
    {
        Biquad lp;
        lp.setCoefficients (Biquad::lowPass, hz / 48000.0);
        EXPECT_NEAR (decibels (sineGain (lp, hz / 48000.0)), -3.01, 0.02) << hz;

        Biquad hp;
        hp.setCoefficients (Biquad::highPass, hz / 48000.0);
        EXPECT_NEAR (decibels (sineGain (hp, hz / 48000.0)), -3.01, 0.02) << hz;
    }

    // Far from the cutoff: the pass band is flat, the stop band falls at 12 dB per octave.
    Biquad lp;
    lp.setCoefficients (Biquad::lowPass, 1000.0 / 48000.0);
    EXPECT_NEAR (decibels (sineGain (lp, 100.0 / 48000.0)), 0.0, 0.03);
    Biquad lp2;
    lp2.setCoefficients (Biquad::lowPass, 1000.0 / 48000.0);
    const double warped = std::tan (pi * 8000.0 / 48000.0) / std::tan (pi * 1000.0 / 48000.0);
    EXPECT_NEAR (decibels (sineGain (lp2, 8000.0 / 48000.0)), -10.0 * std::log10 (1.0 + std::pow (warped, 4.0)), 0.1);
}

TEST (Biquad, CutoffsAtOrAboveHalfTheRateStayStableAndPassTheBand)
{
    // HF Cut at 16 kHz with a host running at 22.05, 32 or 12.345 kHz.
    for (double frequency : { 16000.0 / 22050.0, 0.5, 16000.0 / 12345.678 })
    {
        Biquad lp;
        lp.setCoefficients (Biquad::lowPass, frequency);
        EXPECT_DOUBLE_EQ (lp.frequency, frequency);

        double peak = 0.0;
        unsigned int noise = 1;
        for (int i = 0; i < 100000; ++i)
        {
            noise = noise * 1664525u + 1013904223u;
            peak = std::max (peak, std::abs (lp.process ((double) (noise >> 8) / 8388608.0 - 1.0)));
        }
        EXPECT_LT (peak, 4.0) << frequency;

        Biquad tone;
        tone.setCoefficients (Biquad::lowPass, frequency);
        EXPECT_NEAR (decibels (sineGain (tone, 0.05)), 0.0, 0.1) << frequency;
    }
}

TEST (Biquad, PeakAndShelvesAtZeroDecibelsPassTheSignal)
{
    for (int type : { Biquad::peak, Biquad::lowShelf, Biquad::highShelf })
    {
        Biquad filter;
        filter.setCoefficients (type, 0.05);
        EXPECT_NEAR (filter.b0, 1.0, 1e-15);
        EXPECT_EQ (filter.b1, filter.a1);
        EXPECT_EQ (filter.b2, filter.a2);

        for (int i = 0; i < 1000; ++i)
        {
            const double x = std::sin (i * 0.37) + 0.3 * std::cos (i * 1.9);
            ASSERT_NEAR (filter.process (x), x, 1e-12) << type;
        }
    }
}

TEST (Biquad, ChangingTheFrequencyKeepsTheState)
{
    Biquad filter;
    filter.setCoefficients (Biquad::lowPass, 0.01);
    for (int i = 0; i < 100; ++i)
        filter.process (1.0);

    const double z1 = filter.z1, z2 = filter.z2;
    ASSERT_NE (z1, 0.0);
    filter.setCoefficients (Biquad::lowPass, 0.02);
    EXPECT_EQ (filter.z1, z1);
    EXPECT_EQ (filter.z2, z2);

    // A type outside the designs keeps the coefficients.
    const double b0 = filter.b0;
    filter.setCoefficients (9, 0.3);
    EXPECT_EQ (filter.type, 9);
    EXPECT_EQ (filter.frequency, 0.3);
    EXPECT_EQ (filter.b0, b0);
}

TEST (Biquad, DefaultFilterPassesTheSignal)
{
    Biquad filter;
    EXPECT_EQ (filter.process (0.25), 0.25);
    EXPECT_EQ (filter.process (-0.5), -0.5);
}

TEST (DampingFilter, ZeroGainHoldsItsState)
{
    DampingFilter filter;
    EXPECT_EQ (filter.process (1.0f), 0.0f);
    EXPECT_EQ (filter.process (-0.7f), 0.0f);

    filter.state = 0.25f;
    for (float x : { 1.0f, -1.0f, 0.5f, 3.0f })
    {
        EXPECT_EQ (filter.process (x), 0.25f);
        EXPECT_EQ (filter.state, 0.25f);
    }
}

TEST (DampingFilter, StepFollowsTheTrapezoidalForm)
{
    // x g + state in float, divided in double by g + 1, rounded to float: with these values a float
    // division, or a multiplication by the reciprocal, lands one float away.
    DampingFilter filter;
    const float g = 0.04f * 0.98f;
    filter.g = g;
    filter.state = 0.62f;
    const float y = (float) ((double) (-0.709f * g + 0.62f) / ((double) g + 1.0));
    EXPECT_EQ (filter.process (-0.709f), y);
    EXPECT_NE (y, (-0.709f * g + 0.62f) / (g + 1.0f));
    EXPECT_NE (y, (-0.709f * g + 0.62f) * (1.0f / (g + 1.0f)));
    EXPECT_EQ (filter.state, (float) (2.0 * (double) y - (double) 0.62f));
}

TEST (DampingFilter, HighestGainPutsTheCutoffNearAQuarterOfTheRate)
{
    DampingFilter filter;
    filter.g = 0.98f;
    const double cutoff = std::atan (0.98) / pi;
    EXPECT_NEAR (cutoff, 0.2468, 0.001);
    EXPECT_NEAR (decibels (sineGain (filter, cutoff)), -3.01, 0.05);

    DampingFilter lowFreq;
    lowFreq.g = 0.98f;
    EXPECT_NEAR (decibels (sineGain (lowFreq, 0.001)), 0.0, 0.01);
}
