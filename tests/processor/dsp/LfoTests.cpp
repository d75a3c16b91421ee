#include <gtest/gtest.h>
#include "processor/dsp/KT_QuadratureOsc.h"
#include <cmath>

using corvantis::KT_QuadratureOsc;

namespace
{
    constexpr double pi = 3.14159265358979323846;

    /** Value of a shape at a given phase, with the oscillator standing still. */
    double valueAt (KT_QuadratureOsc& osc, int shape, float phase)
    {
        osc.increment = 0.0f;
        osc.phase = phase;
        osc.tickShape (shape);
        return osc.value;
    }
}

TEST (Lfo, TablesHoldTheirShapes)
{
    KT_QuadratureOsc osc;
    ASSERT_EQ (osc.tableSize, 4096);

    EXPECT_NEAR (osc.sineTable[1024], 1.0, 1e-15);
    EXPECT_NEAR (osc.sineTable[3072], -1.0, 1e-15);
    EXPECT_NEAR (osc.cosineTable[0], 1.0, 1e-15);
    EXPECT_NEAR (osc.cosineTable[2048], -1.0, 1e-15);

    EXPECT_EQ (osc.triangleTable[0], 0.0);
    EXPECT_EQ (osc.triangleTable[1024], 1.0);
    EXPECT_EQ (osc.triangleTable[3072], -1.0);
    EXPECT_NEAR (osc.triangleTable[512], 0.5, 1e-15);

    // The ramp's second half runs from just above -1 to exactly 0.
    EXPECT_NEAR (osc.rampUpTable[2047], 2047.0 / 2048.0, 1e-15);
    EXPECT_NEAR (osc.rampUpTable[2048], 1.0 / 2048.0 - 1.0, 1e-15);
    EXPECT_EQ (osc.rampUpTable[4095], 0.0);
    EXPECT_EQ (osc.rampDownTable[1000], -osc.rampUpTable[1000]);

    EXPECT_EQ (osc.squareTable[0], 1.0);
    EXPECT_EQ (osc.squareTable[2047], 1.0);
    EXPECT_EQ (osc.squareTable[2048], -1.0);
    EXPECT_EQ (osc.squareTable[4095], -1.0);
}

TEST (Lfo, BlipTablesStartAndEndOnZero)
{
    KT_QuadratureOsc osc;

    EXPECT_EQ (osc.blipDownTable[0], 0.0);
    const double x1 = pi / 4096.0;
    EXPECT_NEAR (osc.blipDownTable[1], 2.0 * std::sin (x1) / x1 - 1.0, 1e-12);
    EXPECT_GT (osc.blipDownTable[1], 0.9999);
    const double xLast = 4095.0 / 4096.0 * pi;
    EXPECT_NEAR (osc.blipDownTable[4095], 2.0 * std::sin (xLast) / xLast - 1.0, 1e-12);
    EXPECT_NEAR (osc.blipDownTable[2048], 2.0 * std::sin (pi / 2.0) / (pi / 2.0) - 1.0, 1e-12);

    EXPECT_EQ (osc.blipUpTable[4095], 0.0);
    EXPECT_EQ (osc.blipUpTable[0], osc.blipDownTable[4095]);
    EXPECT_EQ (osc.blipUpTable[4094], osc.blipDownTable[1]);
}

TEST (Lfo, SmoothSquareStartsNearZeroAndFallsFromTheMiddle)
{
    KT_QuadratureOsc osc;

    float s = 0.0f;
    s = (1.0f - s) * 0.005f + s;
    EXPECT_EQ (osc.smoothSquareTable[0], (double) s);
    EXPECT_EQ (osc.smoothSquareTable[0], (double) 0.005f);
    s = (1.0f - s) * 0.005f + s;
    EXPECT_EQ (osc.smoothSquareTable[1], (double) s);

    // Rises towards +1 over the first half, the falling edge begins at the middle.
    EXPECT_GT (osc.smoothSquareTable[2047], 0.99);
    EXPECT_LT (osc.smoothSquareTable[2048], osc.smoothSquareTable[2047]);
    EXPECT_LT (osc.smoothSquareTable[4095], -0.99);
    for (int i = 1; i < 2048; ++i)
        ASSERT_GE (osc.smoothSquareTable[(size_t) i], osc.smoothSquareTable[(size_t) i - 1]);
}

TEST (Lfo, ShapesReadTheirTablesWithInterpolation)
{
    KT_QuadratureOsc osc;

    EXPECT_EQ (valueAt (osc, KT_QuadratureOsc::sine, 1024.0f), (double) (float) osc.sineTable[1024]);
    EXPECT_EQ (valueAt (osc, KT_QuadratureOsc::blipDown, 0.0f), 0.0);
    EXPECT_GT (valueAt (osc, KT_QuadratureOsc::blipDown, 1.0f), 0.9999);
    EXPECT_EQ (valueAt (osc, KT_QuadratureOsc::square, 100.0f), 1.0);
    EXPECT_EQ (valueAt (osc, KT_QuadratureOsc::square, 3000.0f), -1.0);

    // Halfway between two points of the triangle: the mean of both, rounded to float.
    const double expected = (double) (float) (0.5 * osc.triangleTable[10] + 0.5 * osc.triangleTable[11]);
    EXPECT_EQ (valueAt (osc, KT_QuadratureOsc::triangle, 10.5f), expected);
    EXPECT_NEAR (expected, 10.5 / 1024.0, 1e-7);
}

TEST (Lfo, PhaseJustBelowTheEndInterpolatesTowardsTheFirstEntry)
{
    KT_QuadratureOsc osc;

    const double last = osc.rampUpTable[4095];
    const double first = osc.rampUpTable[0];
    ASSERT_EQ (last, 0.0);
    ASSERT_EQ (first, 0.0);

    // Square: the last entry is -1, the first +1, so a quarter of the way across gives -0.5.
    EXPECT_NEAR (valueAt (osc, KT_QuadratureOsc::square, 4095.25f), -0.5, 1e-7);
    EXPECT_NEAR (valueAt (osc, KT_QuadratureOsc::square, 4095.75f), 0.5, 1e-7);
    EXPECT_NEAR (valueAt (osc, KT_QuadratureOsc::sine, 4095.5f), 0.5 * std::sin (2.0 * pi * 4095.0 / 4096.0), 1e-9);
}

TEST (Lfo, RatesBecomeTablePointsPerSample)
{
    KT_QuadratureOsc osc;
    osc.setSampleRate (44100.0);
    EXPECT_EQ (osc.rate, 1.0f);
    EXPECT_FLOAT_EQ (osc.increment, 0.09287982f);
    EXPECT_FLOAT_EQ (osc.randomSmoother.coeff, std::exp (-2.0f * (float) pi / 44100.0f));
    EXPECT_FLOAT_EQ (osc.randomSmoother.gain, 1.0f - osc.randomSmoother.coeff);

    osc.setRate (1.0f);
    EXPECT_FLOAT_EQ (osc.increment, 0.09287982f);

    osc.setSampleRate (48000.0);
    osc.setRate (2.0f);
    EXPECT_NEAR (osc.increment, 4096.0 * 2.0 / 48000.0, 1e-6);
    EXPECT_EQ (osc.rate, 2.0f);
}

TEST (Lfo, PhaseWrapsOnceACycle)
{
    KT_QuadratureOsc osc;
    osc.setSampleRate (4096.0);
    osc.setRate (1.0f);
    ASSERT_EQ (osc.increment, 1.0f);

    // One cycle of the square: 2048 samples at +1, then 2048 at -1, then +1 again.
    for (int i = 0; i < 4096; ++i)
    {
        osc.tickShape (KT_QuadratureOsc::square);
        ASSERT_EQ (osc.value, i < 2048 ? 1.0 : -1.0) << i;
    }
    EXPECT_EQ (osc.phase, 0.0f);
    osc.tickShape (KT_QuadratureOsc::square);
    EXPECT_EQ (osc.value, 1.0);
}

TEST (Lfo, RateZeroStandsStill)
{
    KT_QuadratureOsc osc;
    osc.setSampleRate (48000.0);
    osc.setRate (0.0f);
    osc.phase = 700.0f;

    osc.tickShape (KT_QuadratureOsc::sine);
    const double first = osc.value;
    const double held = osc.randomValue;
    for (int i = 0; i < 10000; ++i)
    {
        osc.tickShape (KT_QuadratureOsc::sine);
        ASSERT_EQ (osc.value, first);
        osc.tickShape (KT_QuadratureOsc::randomHold);
        ASSERT_EQ (osc.value, held);
    }
}

TEST (Lfo, RandomHoldsOneValuePerCycleAndSmoothRandomGlidesToIt)
{
    KT_QuadratureOsc osc;
    osc.setSampleRate (1000.0);
    osc.setRate (100.0f);
    const int samplesPerCycle = 10;

    std::vector<double> values;
    for (int i = 0; i < samplesPerCycle * 50; ++i)
    {
        osc.tickShape (KT_QuadratureOsc::randomHold);
        values.push_back (osc.value);
        ASSERT_GE (osc.value, -1.0);
        ASSERT_LT (osc.value, 1.0);
    }

    int changes = 0;
    for (size_t i = 1; i < values.size(); ++i)
        if (values[i] != values[i - 1])
            ++changes;
    EXPECT_LE (changes, 51);
    EXPECT_GE (changes, 40);

    // The smoother's target is the value drawn at the last wrap; at a 1 Hz cutoff it gets close in a few seconds.
    osc.setRate (0.0f);
    const float target = osc.randomSmoother.target;
    for (int i = 0; i < 5000; ++i)
        osc.tickShape (KT_QuadratureOsc::smoothRandom);
    EXPECT_NEAR (osc.value, target, 1e-4);
}

TEST (Lfo, GetValueCanBeUnipolar)
{
    KT_QuadratureOsc osc;
    osc.phase = 3000.0f;
    osc.shape = KT_QuadratureOsc::square;
    osc.tick();
    EXPECT_EQ (osc.getValue(), -1.0f);
    osc.unipolar = true;
    EXPECT_EQ (osc.getValue(), 0.0f);

    corvantis::KT_ModSource base;
    EXPECT_EQ (base.getValue(), 0.0f);
}

TEST (Lfo, RatesAtOrAboveTheSampleRateAndNonNumbersStayHarmless)
{
    KT_QuadratureOsc osc;
    osc.setSampleRate (1000.0);
    osc.setRate (25000.0f);
    ASSERT_GT (osc.increment, 4096.0f);
    for (int i = 0; i < 100000; ++i)
    {
        osc.tickShape (KT_QuadratureOsc::sine);
        ASSERT_GE (osc.phase, 0.0f);
        ASSERT_LT (osc.phase, 4096.0f);
        ASSERT_TRUE (std::isfinite (osc.value));
    }

    osc.setRate (std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ (osc.increment, 0.0f);
    osc.tickShape (KT_QuadratureOsc::triangle);
    EXPECT_TRUE (std::isfinite (osc.value));
    osc.setRate (2.0f);
    EXPECT_GT (osc.increment, 0.0f);
}
