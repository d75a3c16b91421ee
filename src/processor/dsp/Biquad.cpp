#include "Biquad.h"
#include <cmath>

void Biquad::setCoefficients (int newType, double newFrequency)
{
    type = newType;
    frequency = newFrequency;

    const double pi = 3.141592653589793;
    const double k = std::tan ((frequency < highestFrequency ? frequency : highestFrequency) * pi);
    const double kk = k * k;
    const double c = k / q;
    const double norm = 1.0 / ((c + 1.0) + kk);

    if (type == lowPass)
    {
        b0 = kk * norm;
        b1 = 2.0 * b0;
        b2 = b0;
    }
    else
    {
        b0 = norm;
        b1 = -2.0 * norm;
        b2 = norm;
    }

    a1 = 2.0 * (kk - 1.0) * norm;
    a2 = (1.0 - c + kk) * norm;
}
