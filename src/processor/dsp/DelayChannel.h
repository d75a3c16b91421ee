#pragma once

#include "VectorTypes.h"
#include <cmath>
#include <cstring>
#include <memory>

/** One channel's delay line: a ring of samples, where the next sample is written, and the read origin
    that loop playback moves through the frozen line. The ring carries one extra slot that mirrors its
    first sample, so that an interpolated read never has to wrap its second point. */
struct DelayChannel
{
    /** Frees the old line and allocates a silent one of the given length. The loop position is kept. */
    void allocate (int newLength)
    {
        buffer.reset();
        length = newLength;
        writeIndex = 0;
        buffer.reset (new float[(size_t) newLength + 1]());
    }

    /** Where eight reads fall: the first of the two interpolated samples and the fraction between
        them, for reads d samples behind an origin (the write index, or the loop position in loop
        mode), the origin less d wrapped once into the line. d = 1 reads the newest sample. */
    struct ReadPoints
    {
        int8 index;
        float8 fraction;
    };

    /** Eight read points, in two halves of four, from origins already raised by the line's length
        (so that a position up to one length behind the origin stays positive and whole parts are
        truncations) and from delays in samples. The positions are worked out in double, whose
        precision leaves each fraction exact to far below a millionth of a sample anywhere in the
        line; in float it would keep only 1/64 of a sample past 2^17. */
    // Always inlined: the wide build passes vectors, which a call compiled for another instruction
    // set would not receive intact.
    [[gnu::always_inline]] static inline void pointsFrom (double4 firstRaisedOrigin, double4 firstDelays, double4 secondRaisedOrigin,
                                                          double4 secondDelays, int length, ReadPoints& points) noexcept
    {
        const double4 first = firstRaisedOrigin - firstDelays;
        const double4 second = secondRaisedOrigin - secondDelays;
        const int4 firstWhole = __builtin_convertvector (first, int4);
        const int4 secondWhole = __builtin_convertvector (second, int4);

        // Widened lane by lane, which compiles to one conversion; __builtin_convertvector takes it apart
        // into pairs of lanes.
        const double4 firstWide { (double) firstWhole[0], (double) firstWhole[1], (double) firstWhole[2], (double) firstWhole[3] };
        const double4 secondWide { (double) secondWhole[0], (double) secondWhole[1], (double) secondWhole[2], (double) secondWhole[3] };
        const float4 firstFraction = __builtin_convertvector (first - firstWide, float4);
        const float4 secondFraction = __builtin_convertvector (second - secondWide, float4);

        const int8 whole = __builtin_shufflevector (firstWhole, secondWhole, 0, 1, 2, 3, 4, 5, 6, 7);
        const int8 lengths = int8 {} + length;
        points.index = whole >= lengths ? whole - lengths : whole;
        points.fraction = __builtin_shufflevector (firstFraction, secondFraction, 0, 1, 2, 3, 4, 5, 6, 7);
    }

    /** The linearly interpolated value of one of eight read points. */
    inline float readPoint (const ReadPoints& points, int lane) const noexcept
    {
        int a = points.index[lane];

        // Only a read position that is not a number gets here. The index was the whole part of the
        // raised position, less the length when that part was the length or more.
        if ((unsigned) a >= (unsigned) length)
            a = reduce (a < 0 ? a : a + length);

        const float f = points.fraction[lane];
        return (1.0f - f) * buffer[(size_t) a] + f * buffer[(size_t) a + 1];
    }

    /** Keeps in farthest, lane by lane, the largest index seen, taken as unsigned so that a negative
        index counts as beyond the line. Every index seen lies in the line when each lane is below
        the length. */
    static inline void markFarthest (const ReadPoints& points, unsigned8& farthest) noexcept
    {
        const unsigned8 index = (unsigned8) points.index;
        farthest = index > farthest ? index : farthest;
    }

    /** The linearly interpolated values of all eight read points, whose indices must lie in the line
        (see markFarthest); each lane is computed as readPoint computes it. */
    inline void readAll (const ReadPoints& points, float8& values) const noexcept
    {
        const float* data = buffer.get();
        float8 first, second;
        for (int lane = 0; lane < 8; ++lane)
        {
            first[lane] = data[points.index[lane]];
            second[lane] = data[points.index[lane] + 1];
        }
        const float8 f = points.fraction;
        values = (1.0f - f) * first + f * second;
    }

    /** The linearly interpolated values of eight samples' read points, lane by lane: values[k] holds
        lane k of points[0] to points[7]. Every index must lie in the line (see markFarthest). A lane
        whose indices follow one another through the eight samples (set in runs) reads two stretches of
        the line; any other lane reads sample by sample. Each value is computed as readPoint computes it. */
    [[gnu::always_inline]] inline void readEightSamples (const ReadPoints* points, const int8& runs, float8 (&values)[8]) const noexcept
    {
        const float8 rows[8] { points[0].fraction, points[1].fraction, points[2].fraction, points[3].fraction,
                               points[4].fraction, points[5].fraction, points[6].fraction, points[7].fraction };
        float8 fractions[8];
        transposeEight (rows, fractions);

        const float* data = buffer.get();
        for (int lane = 0; lane < 8; ++lane)
        {
            float8 first, second;
            if (runs[lane] != 0)
            {
                const float* start = data + points[0].index[lane];
                std::memcpy (&first, start, sizeof (first));
                std::memcpy (&second, start + 1, sizeof (second));
            }
            else
            {
                for (int s = 0; s < 8; ++s)
                {
                    first[s] = data[points[s].index[lane]];
                    second[s] = data[points[s].index[lane] + 1];
                }
            }
            values[lane] = (1.0f - fractions[lane]) * first + fractions[lane] * second;
        }
    }

    /** Where the next sample goes: the write index brought into the line. */
    inline int writePosition() const noexcept
    {
        int w = writeIndex;
        if (w >= length)
            w -= length;
        if ((unsigned) w >= (unsigned) length)
            w = reduce (writeIndex);
        return w;
    }

    /** Stores a sample at a write position, and in the mirror slot when it is the first one. */
    inline void store (int position, float x) noexcept
    {
        buffer[(size_t) position] = x;
        if (position == 0)
            buffer[(size_t) length] = x;
    }

    /** A loop origin moved by one loop step, kept within a line of the given length so that it never stalls. */
    static inline double stepLoop (double position, double step, int length) noexcept
    {
        const double len = (double) length;
        position += step;
        if (position >= len)
            position -= len;
        else if (position < 0.0)
            position += len;
        return position;
    }

    int length = 0;
    int writeIndex = 0;
    // In double, like the read positions, so that a fractional loop speed keeps its fraction.
    double loopPosition = 0.0;
    std::unique_ptr<float[]> buffer;

private:
    /** Any index brought into the line, for the cases the fast paths above do not cover. */
    inline int reduce (int index) const noexcept
    {
        const float len = (float) length;
        float x = std::fmod ((float) index, len);
        if (x < 0.0f)
            x += len;
        const int r = (int) x;
        return (unsigned) r < (unsigned) length ? r : 0;
    }
};
