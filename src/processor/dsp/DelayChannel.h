#pragma once

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

    /** Reads d samples behind the write position, linearly interpolated; d = 1 is the newest sample. */
    inline float read (float d) const noexcept { return readFrom ((float) writeIndex, d); }

    /** Reads d samples behind the loop position, wrapped once into the whole line. */
    inline float loopRead (float d) const noexcept { return readFrom (loopPosition, d); }

    /** Reads d samples behind a read origin (the write index or the loop position). */
    inline float readFrom (float origin, float d) const noexcept
    {
        const float len = (float) length;
        float p = origin - d;
        if (! (p < len))
            p = p - len;
        if (p < 0.0f)
            p = p + len;

        const int j = (int) p;
        const float f = p - (float) j;
        int a = j;
        if (a >= length)
            a -= length;
        if ((unsigned) a >= (unsigned) length)
            a = reduce (j);

        return (1.0f - f) * buffer[(size_t) a] + f * buffer[(size_t) a + 1];
    }

    inline void write (float x) noexcept
    {
        int w = writeIndex;
        if (w >= length)
            w -= length;
        if ((unsigned) w >= (unsigned) length)
            w = reduce (writeIndex);

        buffer[(size_t) w] = x;
        if (w == 0)
            buffer[(size_t) length] = x;

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
    /** Any index brought into the line, for the cases the fast paths above do not cover. */
    inline int reduce (int index) const noexcept
    {
        const float len = (float) length;
        float x = (float) index;
        while (x >= len)
            x -= len;
        while (x < 0.0f)
            x += len;
        const int r = (int) x;
        return r < length ? r : 0;
    }
};
