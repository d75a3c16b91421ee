#include <gtest/gtest.h>
#include "processor/dsp/KT_QuadratureOsc.h"
#include <cmath>
#include <limits>
#include <vector>

using corvantis::KT_QuadratureOsc;

namespace
{
    /** One cycle of a shape at one table point per sample, as the engine reads it (a block at a time). */
    std::vector<double> cycle (int shape)
    {
        KT_QuadratureOsc osc;
        osc.setSampleRate (4096.0);
        osc.setRate (1.0f);
        std::vector<double> values (4096);
        osc.tickShapeBlock (shape, values.data(), 4096);
        return values;
    }

    enum Direction { rises, falls, flat };
    struct Segment { int from, to; Direction direction; };
}

TEST (Lfo, EachShapeReadsItsOwnWave)
{
    const double r = std::sqrt (0.5);
    // Values at phases 0, 1/8, 1/4, 1/2 and 3/4 of the cycle, their tolerance, and the monotonic segments.
    const struct { int shape; double at[5]; double tolerance; std::vector<Segment> segments; } cases[] = {
        { KT_QuadratureOsc::sine,         { 0.0, r, 1.0, 0.0, -1.0 },     1e-6, { { 0, 1024, rises }, { 1024, 3072, falls }, { 3072, 4095, rises } } },
        { KT_QuadratureOsc::cosine,       { 1.0, r, 0.0, -1.0, 0.0 },     1e-6, { { 0, 2048, falls }, { 2048, 4095, rises } } },
        { KT_QuadratureOsc::triangle,     { 0.0, 0.5, 1.0, 0.0, -1.0 },   1e-6, { { 0, 1024, rises }, { 1024, 3072, falls }, { 3072, 4095, rises } } },
        { KT_QuadratureOsc::rampUp,       { 0.0, 0.25, 0.5, -1.0, -0.5 }, 1e-3, { { 0, 2047, rises }, { 2048, 4095, rises } } },
        { KT_QuadratureOsc::rampDown,     { 0.0, -0.25, -0.5, 1.0, 0.5 }, 1e-3, { { 0, 2047, falls }, { 2048, 4095, falls } } },
        { KT_QuadratureOsc::square,       { 1.0, 1.0, 1.0, -1.0, -1.0 },  0.0,  { { 0, 2047, flat }, { 2048, 4095, flat } } },
        { KT_QuadratureOsc::smoothSquare, { 0.0, 0.9, 1.0, 1.0, -1.0 },   0.1,  { { 0, 2047, rises }, { 2047, 4095, falls } } },
        { KT_QuadratureOsc::blipDown,     { 0.0, 0.95, 0.8, 0.27, -0.4 }, 0.02, { { 1, 4095, falls } } },
        { KT_QuadratureOsc::blipUp,       { -1.0, -0.72, -0.4, 0.27, 0.8 }, 0.02, { { 0, 4094, rises } } },
    };
    const int phases[] = { 0, 512, 1024, 2048, 3072 };

    for (const auto& c : cases)
    {
        const auto values = cycle (c.shape);
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR (values[(size_t) phases[i]], c.at[i], c.tolerance) << "shape " << c.shape << " at " << phases[i];

        for (const auto& s : c.segments)
            for (int i = s.from + 1; i <= s.to; ++i)
            {
                const double step = values[(size_t) i] - values[(size_t) i - 1];
                ASSERT_TRUE (s.direction == rises ? step >= 0.0 : s.direction == falls ? step <= 0.0 : step == 0.0)
                    << "shape " << c.shape << " at " << i;
            }

        // The sample-by-sample path reads the same wave.
        KT_QuadratureOsc osc;
        osc.setSampleRate (4096.0);
        osc.setRate (1.0f);
        for (int i = 0; i < 4096; ++i)
        {
            osc.tickShape (c.shape);
            ASSERT_EQ (osc.value, values[(size_t) i]) << "shape " << c.shape << " at " << i;
        }
    }

    // The two ends of the cycle that the blips meet; between the last point and the first the square interpolates.
    EXPECT_GT (cycle (KT_QuadratureOsc::blipDown)[1], 0.9999);
    EXPECT_EQ (cycle (KT_QuadratureOsc::blipUp)[4095], 0.0);
    KT_QuadratureOsc osc;
    osc.phase = 4095.25f;
    osc.shape = KT_QuadratureOsc::square;
    osc.unipolar = true;
    osc.tick();
    EXPECT_NEAR (osc.getValue(), 0.25f, 1e-6f);
}

TEST (Lfo, RandomHoldsOneValuePerCycleAndSmoothRandomGlidesToIt)
{
    KT_QuadratureOsc osc;
    osc.setSampleRate (1000.0);
    osc.setRate (100.0f);
    int changes = 0;
    for (int i = 0; i < 500; ++i)
    {
        const double last = osc.value;
        osc.tickShape (KT_QuadratureOsc::randomHold);
        ASSERT_TRUE (osc.value >= -1.0 && osc.value < 1.0);
        changes += osc.value != last ? 1 : 0;
    }
    EXPECT_TRUE (changes >= 40 && changes <= 51) << changes;

    // At rate 0 (or a rate that is not a number) the phase stands still: Random never changes, and
    // Smooth Random reaches it through its 1 Hz glide.
    osc.setRate (std::numeric_limits<float>::quiet_NaN());
    osc.tickShape (KT_QuadratureOsc::randomHold);
    const double held = osc.value;
    for (int i = 0; i < 5000; ++i)
    {
        osc.tickShape (KT_QuadratureOsc::randomHold);
        ASSERT_EQ (osc.value, held);
        osc.tickShape (KT_QuadratureOsc::smoothRandom);
    }
    EXPECT_NEAR (osc.value, held, 1e-4);
}

TEST (Lfo, RatesAtOrAboveTheSampleRateKeepThePhaseInTheTable)
{
    KT_QuadratureOsc osc;
    osc.setSampleRate (1000.0);
    osc.setRate (25000.0f);
    for (int i = 0; i < 100000; ++i)
    {
        osc.tickShape (KT_QuadratureOsc::sine);
        ASSERT_TRUE (osc.phase >= 0.0f && osc.phase < 4096.0f && std::isfinite (osc.value));
    }
}
