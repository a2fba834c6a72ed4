#pragma once
// A second-order filter section (the usual "cookbook" low-pass, high-pass
// and band-pass shapes) for the sound synthesiser. Coefficients can be
// changed between samples for sweeps; the state carries over.

namespace assetgen
{

class Biquad
{
public:
    // Cut-off or centre `frequency` in Hz at `sampleRate`; `q` the resonance
    // (0.707 is flat). The band-pass has a peak gain of 1.
    void LowPass(float frequency, float q, float sampleRate);
    void HighPass(float frequency, float q, float sampleRate);
    void BandPass(float frequency, float q, float sampleRate);

    float Process(float in);
    void Reset();

private:
    void Set(float b0, float b1, float b2, float a0, float a1, float a2);

    float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
    float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
};

} // namespace assetgen
