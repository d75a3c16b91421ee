#include <gtest/gtest.h>
#include "processor/dsp/Saturation.h"
#include <cmath>

TEST (Saturation, ExponentialIsGoodToDoublePrecision)
{
    double worst = 0.0;
    for (int i = 0; i <= 400000; ++i)
    {
        const double z = i * 1.0e-4;
        const double2 e = Saturation::exponential (double2 { z, 40.0 - z });
        worst = std::max (worst, std::abs (e[0] / std::exp (z) - 1.0));
        worst = std::max (worst, std::abs (e[1] / std::exp (40.0 - z) - 1.0));
    }
    EXPECT_LT (worst, 2e-15);
}

TEST (Saturation, TanhIsTheRoundedTrueValueAndCloseToTheFloatLibrary)
{
    auto ulpsApart = [] (float a, float b)
    {
        int n = 0;
        while (a != b && n < 10)
        {
            a = std::nextafter (a, b);
            ++n;
        }
        return n;
    };

    int worstTrue = 0, worstLibrary = 0;
    for (int i = 0; i < 200000; ++i)
    {
        // Logarithmic sweep from 1e-8 to 30, and a fine linear one over the busy range 0..4.
        const float a = (float) (1.0e-8 * std::pow (3.0e9, i / 200000.0));
        const float b = (float) (i * 2.0e-5);
        const double2 t = Saturation::positiveTanh (double2 { (double) a, (double) b });
        worstTrue = std::max (worstTrue, ulpsApart ((float) t[0], (float) std::tanh ((double) a)));
        worstLibrary = std::max (worstLibrary, ulpsApart ((float) t[0], std::tanh (a)));
        if (b > 0.0f)
        {
            worstTrue = std::max (worstTrue, ulpsApart ((float) t[1], (float) std::tanh ((double) b)));
            worstLibrary = std::max (worstLibrary, ulpsApart ((float) t[1], std::tanh (b)));
        }
    }
    // The float library's own tanh is off by up to a few ulps; both stay far inside 1e-6.
    EXPECT_LE (worstTrue, 1);
    EXPECT_LE (worstLibrary, 4);

    const double2 saturated = Saturation::positiveTanh (double2 { 20.5, 1.0e30 });
    EXPECT_EQ ((float) saturated[0], 1.0f);
    EXPECT_EQ ((float) saturated[1], 1.0f);
}
