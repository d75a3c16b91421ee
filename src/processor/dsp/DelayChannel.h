#pragma once

#include "VectorTypes.h"
#include <cmath>
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

    inline ReadPoints pointsFrom (float8 origin, float8 d) const noexcept
    {
        const float8 lengths = float8 {} + (float) length;
        const float8 zero {};
        float8 p = origin - d;
        p = p < lengths ? p : p - lengths;
        p = p < zero ? p + lengths : p;

        const int8 whole = __builtin_convertvector (p, int8);
        const float8 fraction = p - __builtin_convertvector (whole, float8);
        const int8 intLengths = int8 {} + length;
        const int8 index = whole >= intLengths ? whole - intLengths : whole;
        return { index, fraction };
    }

    /** The linearly interpolated value of one of eight read points. */
    inline float readPoint (const ReadPoints& points, int lane) const noexcept
    {
        int a = points.index[lane];

        // Only a read position that is not a number gets here. The index was the whole part of the
        // position, less the length when that part was the length or more.
        if ((unsigned) a >= (unsigned) length)
            a = reduce (a < 0 ? a : a + length);

        const float f = points.fraction[lane];
        return (1.0f - f) * buffer[(size_t) a] + f * buffer[(size_t) a + 1];
    }

    /** Marks in outside the lanes whose index does not lie in the line. */
    inline void markOutside (const ReadPoints& points, int8& outside) const noexcept
    {
        outside |= (points.index < 0) | (points.index >= length);
    }

    /** The linearly interpolated values of all eight read points, whose indices must lie in the line
        (see markOutside); each lane is computed as readPoint computes it. */
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

    /** Moves the write index past the sample that goes to writePosition(). */
    inline void advanceWrite() noexcept
    {
        writeIndex = writePosition() + 1;
        loopPosition = (float) writeIndex;
    }

    /** Stores a sample at a write position, and in the mirror slot when it is the first one. */
    inline void store (int position, float x) noexcept
    {
        buffer[(size_t) position] = x;
        if (position == 0)
            buffer[(size_t) length] = x;
    }

    /** Moves the loop origin by one loop step, keeping it within the line so that it never stalls. */
    inline void advanceLoop (float step) noexcept
    {
        const float len = (float) length;
        loopPosition += step;
        if (loopPosition >= len)
            loopPosition -= len;
        else if (loopPosition < 0.0f)
            loopPosition += len;
    }

    int length = 0;
    int writeIndex = 0;
    float loopPosition = 0.0f;
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
