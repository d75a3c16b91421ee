#include "Biquad.h"
#include <cmath>

void Biquad::setCoefficients (int newType, double newFrequency)
{
    type = newType;
    frequency = newFrequency;
    q = 0.7071;
    peakGain = 0.0;

    const double pi = 3.141592653589793;
    const double k = std::tan ((frequency < highestFrequency ? frequency : highestFrequency) * pi);
    const double kk = k * k;
    const double c = k / q;

    switch (type)
    {
        case lowPass:
        {
            const double norm = 1.0 / ((c + 1.0) + kk);
            b0 = kk * norm;
            b1 = 2.0 * b0;
            b2 = b0;
            a1 = 2.0 * (kk - 1.0) * norm;
            a2 = (1.0 - c + kk) * norm;
            break;
        }
        case highPass:
        {
            const double norm = 1.0 / ((c + 1.0) + kk);
            b0 = norm;
            b1 = -2.0 * norm;
            b2 = norm;
            a1 = 2.0 * (kk - 1.0) * norm;
            a2 = (1.0 - c + kk) * norm;
            break;
        }
        case bandPass:
        {
            const double norm = 1.0 / ((c + 1.0) + kk);
            b0 = c * norm;
            b1 = 0.0;
            b2 = -b0;
            a1 = 2.0 * (kk - 1.0) * norm;
            a2 = (1.0 - c + kk) * norm;
            break;
        }
        case notch:
        {
            const double norm = 1.0 / ((c + 1.0) + kk);
            b0 = (1.0 + kk) * norm;
            b1 = 2.0 * (kk - 1.0) * norm;
            b2 = b0;
            a1 = b1;
            a2 = (1.0 - c + kk) * norm;
            break;
        }
        case peak:
        case lowShelf:
        case highShelf:
        {
            // Peak and shelves are evaluated at 0 dB gain, which makes them pass-through designs.
            const double s = type == peak ? 1.0 / q : std::sqrt (2.0);
            const double norm = 1.0 / (1.0 + s * k + kk);
            b0 = (1.0 + s * k + kk) * norm;
            b1 = 2.0 * (kk - 1.0) * norm;
            a1 = b1;
            b2 = (1.0 - s * k + kk) * norm;
            a2 = b2;
            break;
        }
        default:
            break;
    }
}
