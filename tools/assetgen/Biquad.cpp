#include "Biquad.h"

#include <algorithm>
#include <cmath>

namespace assetgen
{

namespace
{
struct Shape
{
    float cosw, alpha;
};

Shape Prepare(float frequency, float q, float sampleRate)
{
    const float f = std::clamp(frequency, 10.0f, sampleRate * 0.49f);
    const float w = 6.28318530718f * f / sampleRate;
    return {std::cos(w), std::sin(w) / (2.0f * std::max(q, 0.05f))};
}
} // namespace

void Biquad::Set(float nb0, float nb1, float nb2, float a0, float na1, float na2)
{
    b0 = nb0 / a0;
    b1 = nb1 / a0;
    b2 = nb2 / a0;
    a1 = na1 / a0;
    a2 = na2 / a0;
}

void Biquad::LowPass(float frequency, float q, float sampleRate)
{
    const Shape s = Prepare(frequency, q, sampleRate);
    Set((1.0f - s.cosw) * 0.5f, 1.0f - s.cosw, (1.0f - s.cosw) * 0.5f, 1.0f + s.alpha,
        -2.0f * s.cosw, 1.0f - s.alpha);
}

void Biquad::HighPass(float frequency, float q, float sampleRate)
{
    const Shape s = Prepare(frequency, q, sampleRate);
    Set((1.0f + s.cosw) * 0.5f, -(1.0f + s.cosw), (1.0f + s.cosw) * 0.5f, 1.0f + s.alpha,
        -2.0f * s.cosw, 1.0f - s.alpha);
}

void Biquad::BandPass(float frequency, float q, float sampleRate)
{
    const Shape s = Prepare(frequency, q, sampleRate);
    Set(s.alpha, 0.0f, -s.alpha, 1.0f + s.alpha, -2.0f * s.cosw, 1.0f - s.alpha);
}

float Biquad::Process(float in)
{
    const float out = b0 * in + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = in;
    y2 = y1;
    y1 = out;
    return out;
}

void Biquad::Reset()
{
    x1 = x2 = y1 = y2 = 0.0f;
}

} // namespace assetgen
