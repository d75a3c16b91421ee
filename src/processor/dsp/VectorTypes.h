#pragma once

/** Small vectors of the compiler's vector extension: four lanes of float or int, two of double.
    Every lane is computed exactly as the scalar operation would be. */
using float4 = float __attribute__ ((vector_size (16)));
using float2 = float __attribute__ ((vector_size (8)));
using int4 = int __attribute__ ((vector_size (16)));
using double2 = double __attribute__ ((vector_size (16)));
