#include "KT_QuadratureOsc.h"
#include <cmath>

namespace corvantis
{

KT_QuadratureOsc::KT_QuadratureOsc()
{
    const int n = tableSize;
    const int h = n / 2;
    const int q = n / 4;
    const double twoPi = 2.0 * juce::MathConstants<double>::pi;
    const double pi = juce::MathConstants<double>::pi;

    for (auto* table : { &sineTable, &cosineTable, &triangleTable, &rampUpTable, &rampDownTable,
                         &squareTable, &smoothSquareTable, &blipDownTable, &blipUpTable })
        table->resize ((size_t) n);

    float smooth = 0.0f;

    for (int i = 0; i < n; ++i)
    {
        const auto idx = (size_t) i;
        const double x = i * (1.0 / n);

        sineTable[idx] = std::sin (x * twoPi);
        cosineTable[idx] = std::cos (x * twoPi);

        if (i < q)
            triangleTable[idx] = i * (1.0 / q);
        else if (i < h + q)
            triangleTable[idx] = 1.0 - (i - q) * (2.0 / h);
        else
            triangleTable[idx] = (i - (h + q)) * (1.0 / q) - 1.0;

        rampUpTable[idx] = i < h ? i * (1.0 / h) : (i - (h - 1)) * (1.0 / h) - 1.0;
        rampDownTable[idx] = -rampUpTable[idx];

        squareTable[idx] = i < h ? 1.0 : -1.0;

        // One pass of a float one-pole over the square: the table starts near 0, not at the wrapped-round state.
        smooth = ((float) squareTable[idx] - smooth) * 0.005f + smooth;
        smoothSquareTable[idx] = (double) smooth;

        blipDownTable[idx] = 2.0 * std::sin (x * pi) / (x * pi) - 1.0;
    }

    blipDownTable[0] = 0.0;

    for (int i = 0; i < n; ++i)
        blipUpTable[(size_t) i] = blipDownTable[(size_t) (n - 1 - i)];

    random.setSeedRandomly();
}

void KT_QuadratureOsc::setSampleRate (double sr)
{
    sampleRate = sr;
    randomSmoother.coeff = std::exp (-6.2831855f / (float) sr);
    randomSmoother.gain = 1.0f - randomSmoother.coeff;
    randomSmoother.current = 0.0f;
    rate = 1.0f;
    increment = (float) ((double) (float) tableSize / sr);
}

void KT_QuadratureOsc::setRate (float hz)
{
    rate = hz;
    increment = (float) ((double) ((float) tableSize * hz) / sampleRate);

    // A rate that is not a number would leave the phase, and with it every tap time, stuck for good.
    if (! std::isfinite (increment))
        increment = 0.0f;
}

} // namespace corvantis
