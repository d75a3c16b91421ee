#include <gtest/gtest.h>
#include "processor/dsp/Saturation.h"
#include <cmath>

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
    EXPECT_EQ ((float) saturated[0], 1.0f);
    EXPECT_EQ ((float) saturated[1], 1.0f);
}
