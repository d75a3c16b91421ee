#pragma once

#include "VectorTypes.h"
#include <cmath>

/** The input's asymmetric saturation, for the two channels at once: tanh above zero and, below
    zero, x / (|x|^p + 1)^(1/p) with p = 1 - drive. The tanh comes from a double-precision
    exponential evaluated in vector lanes without branches; it stays within an ulp of the float
    library's tanh. */
namespace Saturation
{
    template <typename Vector> struct BitsOf;
    template <> struct BitsOf<double2> { using type = int64x2; };
    template <> struct BitsOf<double4> { using type = int64x4; };

    /** e^z for 0 <= z <= 40 in each lane (double2 or double4), good to a few double roundings. */
    template <typename Vector>
    inline Vector exponential (Vector z) noexcept
    {
        using Bits = typename BitsOf<Vector>::type;

        // z = k ln 2 + r with |r| <= ln 2 / 2; the shifter rounds k into the low bits of t.
        const Vector shifter = Vector {} + 0x1.8p52;
        const Vector t = z * 1.4426950408889634 + shifter;
        const Vector k = t - shifter;
        const Vector r = (z - k * 0x1.62e42fee00000p-1) - k * 0x1.a39ef35793c76p-33;

        // Taylor series to r^12: the first term left out is below 2e-16 of the result.
        Vector p = r * (1.0 / 479001600.0) + 1.0 / 39916800.0;
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

        const Bits shifterBits = Bits {} + 0x4338000000000000LL;
        const Bits scaleBits = (((Bits) t - shifterBits) + 1023) << 52;
        return p * (Vector) scaleBits;
    }

    /** tanh of each lane, for lanes above zero (other lanes give a finite value that is not used). */
    template <typename Vector>
    inline Vector positiveTanh (Vector x) noexcept
    {
        const Vector zero {};
        const Vector limit = zero + 20.0;
        const Vector clamped = x < zero ? zero : (x > limit ? limit : x);
        const Vector e = exponential (clamped * 2.0);
        const Vector large = (e - 1.0) / (e + 1.0);
        const Vector small = x - x * x * x * (1.0 / 3.0);
        const Vector tiny = zero + 0x1p-12;
        return x < tiny ? small : large;
    }
}
