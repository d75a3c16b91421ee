#pragma once

#include <memory>

/** One channel's delay line: a ring of samples, where the next sample is written, and the read origin
    that loop playback moves through the frozen line. */
struct DelayChannel
{
    /** Frees the old line and allocates a silent one of the given length. The loop position is kept. */
    void allocate (int newLength)
    {
        buffer.reset();
        length = newLength;
        writeIndex = 0;
        buffer.reset (new float[(size_t) newLength]());
    }

    /** Reads d samples behind the write position, linearly interpolated; d = 1 is the newest sample. */
    inline float read (float d) const noexcept
    {
        const float len = (float) length;
        float p = (float) writeIndex - d;
        if (! (p < len))
            p = p - len;
        if (p < 0.0f)
            p = p + len;
        return interpolate (p, len);
    }

    /** Reads d samples behind the loop position, wrapped once into the whole line. */
    inline float loopRead (float d) const noexcept
    {
        const float len = (float) length;
        float p = (loopPosition - d) + 0.0f;
        if (! (p < len))
            p = p - len;
        if (p < 0.0f)
            p = p + len;
        return interpolate (p, len);
    }

    inline void write (float x) noexcept
    {
        const int w = writeIndex % length;
        buffer[(size_t) w] = x;
        writeIndex = w + 1;
        loopPosition = (float) writeIndex;
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
    inline int reduce (int index, float len) const noexcept
    {
        float x = (float) index;
        while (x >= len)
            x -= len;
        while (x < 0.0f)
            x += len;
        return (int) x;
    }

    inline float interpolate (float p, float len) const noexcept
    {
        // Only a read position that is not a number can be outside the line here: read the line's start.
        if (! (p >= 0.0f && p < len))
            p = 0.0f;

        const int j = (int) p;
        const int a = reduce (j, len);
        const int b = reduce (j + 1, len);
        const float f = p - (float) j;
        return (1.0f - f) * buffer[(size_t) a] + f * buffer[(size_t) b];
    }
};
