#pragma once

/** Small vectors of the compiler's vector extension: four or eight lanes of float or int, two or
    four of double. Every lane is computed exactly as the scalar operation would be; where the
    processor has no register that wide, the compiler splits the operation. */
using float2 = float __attribute__ ((vector_size (8)));
using float4 = float __attribute__ ((vector_size (16)));
using float8 = float __attribute__ ((vector_size (32)));
using int4 = int __attribute__ ((vector_size (16)));
using int8 = int __attribute__ ((vector_size (32)));
using unsigned8 = unsigned __attribute__ ((vector_size (32)));
using double2 = double __attribute__ ((vector_size (16)));
using double4 = double __attribute__ ((vector_size (32)));
using int64x2 = long long __attribute__ ((vector_size (16)));
using int64x4 = long long __attribute__ ((vector_size (32)));

/** The columns of eight rows of eight lanes: columns[k][s] = rows[s][k]. */
[[gnu::always_inline]] inline void transposeEight (const float8 (&rows)[8], float8 (&columns)[8]) noexcept
{
    float8 pairs[8], quads[8];
    for (int r = 0; r < 8; r += 2)
    {
        pairs[r] = __builtin_shufflevector (rows[r], rows[r + 1], 0, 8, 1, 9, 4, 12, 5, 13);
        pairs[r + 1] = __builtin_shufflevector (rows[r], rows[r + 1], 2, 10, 3, 11, 6, 14, 7, 15);
    }
    for (int r = 0; r < 8; r += 4)
    {
        for (int h = 0; h < 2; ++h)
        {
            quads[r + 2 * h] = __builtin_shufflevector (pairs[r + h], pairs[r + h + 2], 0, 1, 8, 9, 4, 5, 12, 13);
            quads[r + 2 * h + 1] = __builtin_shufflevector (pairs[r + h], pairs[r + h + 2], 2, 3, 10, 11, 6, 7, 14, 15);
        }
    }
    for (int k = 0; k < 4; ++k)
    {
        columns[k] = __builtin_shufflevector (quads[k], quads[k + 4], 0, 1, 2, 3, 8, 9, 10, 11);
        columns[k + 4] = __builtin_shufflevector (quads[k], quads[k + 4], 4, 5, 6, 7, 12, 13, 14, 15);
    }
}
