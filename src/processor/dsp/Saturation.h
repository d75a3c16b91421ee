#pragma once

#include "VectorTypes.h"
#include <cmath>

/** The input's asymmetric saturation, for the two channels at once: tanh above zero and, below
    zero, x / (|x|^p + 1)^(1/p) with p = 1 - drive. The tanh comes from a double-precision
    exponential evaluated in vector lanes without branches; it stays within an ulp of the float
    library's tanh. */
namespace Saturation
{
    using int64x2 = long long __attribute__ ((vector_size (16)));

    /** e^z for 0 <= z <= 40, good to a few double roundings. */
    inline double2 exponential (double2 z) noexcept
    {
        // z = k ln 2 + r with |r| <= ln 2 / 2; the shifter rounds k into the low bits of t.
        const double2 shifter { 0x1.8p52, 0x1.8p52 };
        const double2 t = z * 1.4426950408889634 + shifter;
        const double2 k = t - shifter;
        const double2 r = (z - k * 0x1.62e42fee00000p-1) - k * 0x1.a39ef35793c76p-33;

        // Taylor series to r^12: the first term left out is below 2e-16 of the result.
        double2 p = r * (1.0 / 479001600.0) + 1.0 / 39916800.0;
        p = p * r + 1.0 / 3628800.0;
        p = p * r + 1.0 / 362880.0;
        p = p * r + 1.0 / 40320.0;
        p = p * r + 1.0 / 5040.0;
        p = p * r + 1.0 / 720.0;
        p = p * r + 1.0 / 120.0;
        p = p * r + 1.0 / 24.0;
        p = p * r + 1.0 / 6.0;
        p = p * r + 0.5;
        p = p * r + 1.0;
        p = p * r + 1.0;

        const int64x2 shifterBits { 0x4338000000000000LL, 0x4338000000000000LL };
        const int64x2 scaleBits = (((int64x2) t - shifterBits) + 1023) << 52;
        return p * (double2) scaleBits;
    }

    /** tanh of each lane, for lanes above zero (other lanes give a finite value that is not used). */
    inline double2 positiveTanh (double2 x) noexcept
    {
        const double2 zero {};
        const double2 limit { 20.0, 20.0 };
        const double2 clamped = x < zero ? zero : (x > limit ? limit : x);
        const double2 e = exponential (clamped * 2.0);
        const double2 large = (e - 1.0) / (e + 1.0);
        const double2 small = x - x * x * x * (1.0 / 3.0);
        const double2 tiny { 0x1p-12, 0x1p-12 };
        return x < tiny ? small : large;
    }
}
