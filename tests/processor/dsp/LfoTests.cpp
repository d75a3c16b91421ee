#include <gtest/gtest.h>
#include "processor/dsp/KT_QuadratureOsc.h"
#include <cmath>
#include <vector>

using corvantis::KT_QuadratureOsc;

namespace
{
    /** An oscillator that steps one table point per sample. */
    struct SlowOsc : KT_QuadratureOsc
    {
        SlowOsc() { setSampleRate (4096.0); setRate (1.0f); }
    };
}

TEST (Lfo, EachShapeReadsItsOwnWave)
{
    // Per shape: the values at phases 0, 1/8, 1/4, 1/2 and 3/4 of the cycle within a tolerance, and per
    // eighth of the cycle whether the wave rises (+), falls (-) or stays (=) inside it.
    const double r = std::sqrt (0.5);
    const struct { int shape; double at[5]; double tolerance; const char* eighths; } cases[] = {
        { KT_QuadratureOsc::sine,         { 0.0, r, 1.0, 0.0, -1.0 },       1e-6, "++----++" },
        { KT_QuadratureOsc::cosine,       { 1.0, r, 0.0, -1.0, 0.0 },       1e-6, "----++++" },
        { KT_QuadratureOsc::triangle,     { 0.0, 0.5, 1.0, 0.0, -1.0 },     1e-6, "++----++" },
        { KT_QuadratureOsc::rampUp,       { 0.0, 0.25, 0.5, -1.0, -0.5 },   1e-3, "++++++++" },
        { KT_QuadratureOsc::rampDown,     { 0.0, -0.25, -0.5, 1.0, 0.5 },   1e-3, "--------" },
        { KT_QuadratureOsc::square,       { 1.0, 1.0, 1.0, -1.0, -1.0 },    0.0,  "========" },
        { KT_QuadratureOsc::smoothSquare, { 0.0, 0.9, 1.0, 1.0, -1.0 },     0.1,  "++++----" },
        { KT_QuadratureOsc::blipDown,     { 0.0, 0.95, 0.8, 0.27, -0.4 },   0.02, "--------" },
        { KT_QuadratureOsc::blipUp,       { -1.0, -0.72, -0.4, 0.27, 0.8 }, 0.02, "++++++++" },
    };
    const size_t phases[] { 0, 512, 1024, 2048, 3072 };
    for (const auto& c : cases)
    {
        // A cycle as the engine reads it. Inside each eighth: its ends are left out, where the ramps and blips jump.
        SlowOsc osc;
        std::vector<double> values (4096);
        osc.tickShapeBlock (c.shape, values.data(), 4096);
        for (size_t i = 0; i < 4096; ++i)
        {
            const char direction = c.eighths[i / 512];
            const double step = i > 0 ? values[i] - values[i - 1] : 0.0;
            if (i % 512 >= 2 && i % 512 <= 510)
                ASSERT_TRUE (direction == '+' ? step >= 0.0 : direction == '-' ? step <= 0.0 : step == 0.0) << "shape " << c.shape << " at " << i;
        }
        for (size_t i = 0; i < 5; ++i)
            EXPECT_NEAR (values[phases[i]], c.at[i], c.tolerance) << "shape " << c.shape << " at " << phases[i];
        // The blips meet the ends of the cycle.
        EXPECT_TRUE (c.shape != KT_QuadratureOsc::blipDown || values[1] > 0.9999);
        EXPECT_TRUE (c.shape != KT_QuadratureOsc::blipUp || values[4095] == 0.0);
    }

    // From the last point to the first the square interpolates.
    SlowOsc square;
    square.phase = 4095.25f;
    square.tickShape (KT_QuadratureOsc::square);
    EXPECT_DOUBLE_EQ (square.value, -0.5);
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

    // A rate that is not a number stands still like rate 0: Random never changes, Smooth Random glides to it at 1 Hz.
    osc.setRate (NAN);
    std::vector<double> held (5000), smooth (5000);
    osc.tickShapeBlock (KT_QuadratureOsc::randomHold, held.data(), 5000);
    osc.tickShapeBlock (KT_QuadratureOsc::smoothRandom, smooth.data(), 5000);
    EXPECT_EQ (held, std::vector<double> (5000, held[0]));
    EXPECT_NEAR (smooth.back(), held[0], 1e-4);

    // A rate above the sample rate keeps the phase inside the table.
    osc.setRate (250000.0f);
    osc.tickShapeBlock (KT_QuadratureOsc::sine, smooth.data(), 5000);
    EXPECT_TRUE (osc.phase >= 0.0f && osc.phase < 4096.0f && std::isfinite (osc.value));
}

TEST (Lfo, TicksInBlocksGiveWhatSingleTicksGive)
{
    // A negative rate walks the phase below the table, where reads take the one-by-one way.
    for (float rate : { 3.7f, -2.5f })
    {
        for (int shape = KT_QuadratureOsc::sine; shape <= KT_QuadratureOsc::smoothRandom; ++shape)
        {
            KT_QuadratureOsc single, block;
            for (auto* osc : { &single, &block })
            {
                osc->setSampleRate (1000.0);
                osc->setRate (rate);
                osc->random.setSeed (5);
                osc->phase = rate > 0.0f ? 4000.5f : 100.5f;
            }
            std::vector<double> expected (301), values (301);
            for (auto& v : expected)
            {
                single.tickShape (shape);
                v = single.value;
            }
            block.tickShapeBlock (shape, values.data(), 301);
            EXPECT_EQ (values, expected) << "shape " << shape << " at rate " << rate;
        }
    }
}
