#pragma once

/** Small vectors of the compiler's vector extension: four or eight lanes of float or int, two or
    four of double. Every lane is computed exactly as the scalar operation would be; where the
    processor has no register that wide, the compiler splits the operation. */
using float2 = float __attribute__ ((vector_size (8)));
using float4 = float __attribute__ ((vector_size (16)));
using float8 = float __attribute__ ((vector_size (32)));
using int4 = int __attribute__ ((vector_size (16)));
using int8 = int __attribute__ ((vector_size (32)));
using double2 = double __attribute__ ((vector_size (16)));
using double4 = double __attribute__ ((vector_size (32)));
using int64x2 = long long __attribute__ ((vector_size (16)));
using int64x4 = long long __attribute__ ((vector_size (32)));
