#pragma once

#include "KT_ModSource.h"
#include "VectorTypes.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace corvantis
{

/** The delay line's low-frequency oscillator: nine interpolated wave tables of 4096 points and two
    random shapes (a value held per cycle, and the same glided through a 1 Hz one-pole). */
class KT_QuadratureOsc : public KT_ModSource
{
public:
    enum Shape
    {
        sine = 0, cosine, triangle, rampUp, rampDown, square, smoothSquare, blipDown, blipUp, randomHold, smoothRandom
    };

    KT_QuadratureOsc();
    ~KT_QuadratureOsc() override = default;

    void tick() override { tickShape (shape); }
    void tick (float) override {}
    float getValue() override { return unipolar ? (float) ((value + 1.0) * 0.5) : (float) value; }

    void setSampleRate (double sr);
    void setRate (float hz);

    /** Computes the value of the given shape at the current phase, then advances the phase. */
    inline void tickShape (int shapeToUse) noexcept
    {
        if (readsTable (shapeToUse))
            value = readTable (tables[(size_t) shapeToUse]->data(), phase);
        else if (shapeToUse == randomHold)
            value = randomValue;
        else if (shapeToUse == smoothRandom)
            value = stepRandomSmoother();

        advancePhase();
    }

    /** numTicks calls of tickShape with one shape, each value stored in values: the shape is
        chosen once for the lot, and the phase stays in a register between the ticks. */
    inline void tickShapeBlock (int shapeToUse, double* values, int numTicks) noexcept
    {
        if (numTicks <= 0)
            return;

        if (readsTable (shapeToUse))
        {
            const double* table = tables[(size_t) shapeToUse]->data();
            for (int start = 0; start < numTicks; start += maxTicksAtOnce)
                readTableBlock (table, values + start, std::min (maxTicksAtOnce, numTicks - start));

            value = values[numTicks - 1];
            return;
        }

        for (int i = 0; i < numTicks; ++i)
        {
            if (shapeToUse == randomHold)
                value = randomValue;
            else if (shapeToUse == smoothRandom)
                value = stepRandomSmoother();

            values[i] = value;
            advancePhase();
        }
    }

    /** One-pole glide of the random value towards the value drawn at each cycle. */
    struct RandomSmoother
    {
        float coeff = 0.0f, gain = 0.0f, current = 0.0f, target = 0.0f;
    };

    int tableSize = 4096;
    int shape = 0;
    bool unipolar = false;
    std::vector<double> sineTable, cosineTable, triangleTable, rampUpTable, rampDownTable,
                        squareTable, smoothSquareTable, blipDownTable, blipUpTable;
    juce::Random random { 1 };
    double sampleRate = 44100.0;
    float increment = 0.0f;
    float phase = 0.0f;
    float rate = 0.0f;
    double value = 0.0;
    double randomValue = 0.0;
    RandomSmoother randomSmoother;

private:
    /** Shapes 0 to 8 read their own wave table; the random shapes and any other index do not. */
    static constexpr bool readsTable (int s) noexcept { return s >= sine && s <= blipUp; }

    inline double stepRandomSmoother() noexcept
    {
        randomSmoother.current = randomSmoother.current * randomSmoother.coeff + randomSmoother.target * randomSmoother.gain;
        return (double) randomSmoother.current;
    }

    /** One step of the phase; each completed cycle draws a new random value. */
    inline void advancePhase() noexcept
    {
        phase += increment;

        if (phase >= (float) tableSize)
            phase = completeCycle (phase);
    }

    /** The phase of a cycle just completed (p at or past the table's end) brought back into the
        table, and a new random value drawn. */
    float completeCycle (float p) noexcept
    {
        const float size = (float) tableSize;
        p -= size;

        // Only a rate at or above the sample rate gets here; the phase must not run away.
        if (p >= size)
            p = std::fmod (p, size);

        const float r = 2.0f * random.nextFloat() - 1.0f;
        randomValue = (double) r;
        randomSmoother.target = r;
        return p;
    }

    /** A table index brought into [0, tableSize); indices already inside take the quick way. */
    inline int wrapIndex (int index) const noexcept
    {
        if ((unsigned) index < (unsigned) tableSize)
            return index;

        const float n = (float) tableSize;
        float p = std::fmod ((float) index, n);
        if (p < 0.0f)
            p += n;
        const int wrapped = (int) p;
        return (unsigned) wrapped < (unsigned) tableSize ? wrapped : 0;
    }

    static constexpr int maxTicksAtOnce = 64;

    /** Up to maxTicksAtOnce table ticks. The phase runs on serially first; then the table is read
        four points at a time, each lane as readTable reads it, where all four lie in the table. */
    inline void readTableBlock (const double* table, double* values, int numTicks) noexcept
    {
        alignas (16) float positions[maxTicksAtOnce + 3];
        const float size = (float) tableSize;
        const float step = increment;
        float p = phase;
        for (int i = 0; i < numTicks; ++i)
        {
            positions[i] = p;
            p += step;

            if (p >= size)
                p = completeCycle (p);
        }
        phase = p;

        for (int i = numTicks; i % 4 != 0; ++i)
            positions[i] = 0.0f;

        const int4 sizes = int4 {} + tableSize;
        for (int i = 0; i < numTicks; i += 4)
        {
            float4 at;
            std::memcpy (&at, positions + i, sizeof (at));
            const int4 inside = at >= float4 {} && at < float4 {} + size;
            double4 result;

            if ((inside[0] & inside[1] & inside[2] & inside[3]) != 0)
            {
                const int4 a = __builtin_convertvector (at, int4);
                const int4 next = a + 1;
                const int4 b = next == sizes ? int4 {} : next;
                const float4 f = at - __builtin_convertvector (a, float4);
                const double4 first { table[a[0]], table[a[1]], table[a[2]], table[a[3]] };
                const double4 second { table[b[0]], table[b[1]], table[b[2]], table[b[3]] };
                // Widened lane by lane: the compiler makes one conversion of it, but pairs of lanes of
                // __builtin_convertvector.
                const float4 g = 1.0f - f;
                const double4 mix = double4 { f[0], f[1], f[2], f[3] } * second + double4 { g[0], g[1], g[2], g[3] } * first;
                const float4 rounded = __builtin_convertvector (mix, float4);
                result = double4 { rounded[0], rounded[1], rounded[2], rounded[3] };
            }
            else
            {
                for (int lane = 0; lane < 4; ++lane)
                    result[lane] = readTable (table, at[lane]);
            }

            if (numTicks - i >= 4)
                std::memcpy (values + i, &result, sizeof (result));
            else
                std::memcpy (values + i, &result, sizeof (double) * (size_t) (numTicks - i));
        }
    }

    inline double readTable (const double* table, float at) const noexcept
    {
        // A position that is not a number, or beyond what an int holds, has no integer part: it reads the start.
        if (! (at > -2.0e9f && at < 2.0e9f))
            at = 0.0f;

        const int j = (int) at;
        const int a = wrapIndex (j);
        const int b = wrapIndex (j + 1);
        const float f = at - (float) j;
        return (double) (float) ((double) f * table[b] + (double) (1.0f - f) * table[a]);
    }

    const std::vector<double>* tables[9] { &sineTable, &cosineTable, &triangleTable, &rampUpTable, &rampDownTable,
                                           &squareTable, &smoothSquareTable, &blipDownTable, &blipUpTable };

    JUCE_DECLARE_NON_COPYABLE (KT_QuadratureOsc)
};

} // namespace corvantis
