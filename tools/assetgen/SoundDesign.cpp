#include "SoundDesign.h"

#include "Biquad.h"
#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace assetgen
{

namespace
{
const float Rate = float(SoundDesign::SampleRate);
const float TwoPi = 6.28318530718f;

size_t Samples(float seconds)
{
    return size_t(seconds * Rate);
}

// White noise in -1..1, the same for the same (seed, index).
float WhiteNoise(uint32_t seed, size_t index)
{
    return Noise::Unit(uint32_t(index), 0, 0, seed) * 2.0f - 1.0f;
}

// Attack-then-exponential-decay envelope.
float Envelope(float t, float attack, float decay)
{
    if (t < 0.0f) return 0.0f;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / decay);
}

// One syllable of a hen's call.
struct Syllable
{
    float start;     // seconds
    float length;    // seconds
    float pitchFrom; // Hz at the start
    float pitchPeak; // Hz at a third of the way
    float pitchTo;   // Hz at the end
    float formant1, formant2, formant3;
    float breath;    // noise share of the source
    float trill;     // depth of a fast amplitude flutter, 0..1
    float trillRate; // Hz
    float loudness;
};

float SyllablePitch(const Syllable& s, float x)
{
    if (x < 0.33f) return s.pitchFrom + (s.pitchPeak - s.pitchFrom) * (x / 0.33f);
    return s.pitchPeak + (s.pitchTo - s.pitchPeak) * ((x - 0.33f) / 0.67f);
}

// A harmonic source (saw-like, band-limited) plus breath noise through three
// formant filters, shaped by a plosive onset and a quick decay.
void AddSyllable(std::vector<float>& out, const Syllable& s, uint32_t seed)
{
    Biquad f1, f2, f3, onset;
    f1.BandPass(s.formant1, 4.0f, Rate);
    f2.BandPass(s.formant2, 5.0f, Rate);
    f3.BandPass(s.formant3, 7.0f, Rate);
    onset.LowPass(900.0f, 0.7f, Rate);
    const size_t first = Samples(s.start);
    const size_t count = Samples(s.length);
    float phase = 0.0f;
    for (size_t i = 0; i < count && first + i < out.size(); ++i)
    {
        const float t = float(i) / Rate;
        const float x = t / s.length;
        const float f0 = SyllablePitch(s, x);
        phase += TwoPi * f0 / Rate;
        if (phase > TwoPi) phase -= TwoPi;
        float source = 0.0f;
        const int harmonics = std::min(20, int(6000.0f / f0));
        // Harmonics falling off a little faster than a saw's: less buzz.
        for (int k = 1; k <= harmonics; ++k)
            source += std::sin(phase * float(k)) / std::pow(float(k), 1.3f);
        source = source * (1.0f - s.breath) + WhiteNoise(seed, i) * s.breath * 1.5f;
        const float voiced =
            f1.Process(source) * 1.0f + f2.Process(source) * 0.7f + f3.Process(source) * 0.35f;
        const float flutter = 1.0f - s.trill * 0.5f * (1.0f + std::sin(TwoPi * s.trillRate * t));
        const float shape = std::min(1.0f, t / 0.006f) * std::pow(1.0f - x, 0.6f) *
                            (0.75f + 0.25f * std::exp(-t / 0.03f));
        const float pluck = onset.Process(WhiteNoise(seed + 7u, i)) * std::exp(-t / 0.008f) * 0.8f;
        out[first + i] += (voiced * flutter * shape + pluck) * s.loudness;
    }
}

// The five calls, as syllable lists.
std::vector<Syllable> CluckPattern(int variant)
{
    // start, length, pitch from/peak/to, formants, breath, trill, rate, loudness
    switch (variant)
    {
    case 0: // "buk ... buk": relaxed
        return {{0.00f, 0.085f, 400, 380, 330, 950, 1900, 3100, 0.12f, 0.0f, 0.0f, 1.0f},
                {0.30f, 0.080f, 380, 360, 320, 930, 1850, 3050, 0.12f, 0.0f, 0.0f, 0.85f}};
    case 1: // "buk-buk-buk ba-GAWK": the classic
        return {{0.00f, 0.070f, 420, 400, 360, 1000, 2000, 3200, 0.14f, 0.0f, 0.0f, 0.8f},
                {0.16f, 0.070f, 420, 400, 360, 1000, 2000, 3200, 0.14f, 0.0f, 0.0f, 0.8f},
                {0.32f, 0.065f, 430, 410, 370, 1000, 2000, 3200, 0.14f, 0.0f, 0.0f, 0.85f},
                {0.52f, 0.060f, 450, 440, 420, 900, 1800, 3000, 0.12f, 0.0f, 0.0f, 0.8f},
                {0.60f, 0.300f, 470, 640, 430, 820, 1350, 2900, 0.18f, 0.15f, 38.0f, 1.0f}};
    case 2: // a low contented trill, "brrrk"
        return {{0.00f, 0.380f, 270, 285, 230, 720, 1500, 2700, 0.10f, 0.85f, 26.0f, 1.0f}};
    case 3: // quick high "bk-bk-bk"
        return {{0.00f, 0.048f, 520, 500, 470, 1100, 2200, 3400, 0.15f, 0.0f, 0.0f, 0.9f},
                {0.11f, 0.048f, 520, 500, 470, 1100, 2200, 3400, 0.15f, 0.0f, 0.0f, 0.9f},
                {0.22f, 0.055f, 540, 510, 460, 1100, 2200, 3400, 0.15f, 0.0f, 0.0f, 1.0f}};
    default: // "buh, buh, BUK?": asking
        return {{0.00f, 0.060f, 340, 330, 310, 900, 1800, 3000, 0.12f, 0.0f, 0.0f, 0.75f},
                {0.16f, 0.060f, 350, 340, 320, 900, 1800, 3000, 0.12f, 0.0f, 0.0f, 0.75f},
                {0.34f, 0.170f, 350, 380, 560, 850, 1700, 3000, 0.14f, 0.1f, 30.0f, 1.0f}};
    }
}
} // namespace

void SoundDesign::Finish(std::vector<float>& samples, float peak)
{
    // No DC, nothing above 7 kHz, no click at either end.
    Biquad dc, top;
    dc.HighPass(40.0f, 0.707f, Rate);
    top.LowPass(7000.0f, 0.707f, Rate);
    float loudest = 0.0f;
    for (float& s : samples)
    {
        s = top.Process(dc.Process(s));
        loudest = std::max(loudest, std::fabs(s));
    }
    const float gain = loudest > 0.0f ? peak / loudest : 0.0f;
    const size_t fadeIn = Samples(0.002f), fadeOut = Samples(0.015f);
    for (size_t i = 0; i < samples.size(); ++i)
    {
        float g = gain;
        if (i < fadeIn) g *= float(i) / float(fadeIn);
        const size_t left = samples.size() - 1 - i;
        if (left < fadeOut) g *= float(left) / float(fadeOut);
        samples[i] *= g;
    }
}

std::vector<float> SoundDesign::Cluck(int variant)
{
    const std::vector<Syllable> pattern = CluckPattern(variant);
    float end = 0.0f;
    for (const Syllable& s : pattern)
        end = std::max(end, s.start + s.length);
    std::vector<float> out(Samples(end + 0.06f), 0.0f);
    uint32_t seed = 100u + uint32_t(variant) * 17u;
    for (const Syllable& s : pattern)
        AddSyllable(out, s, seed++);
    Finish(out, 0.7f);
    return out;
}

std::vector<float> SoundDesign::Splash()
{
    std::vector<float> out(Samples(1.2f), 0.0f);
    Biquad wash;
    // The impact: noise through a low-pass sweeping from 5 kHz down to 350 Hz.
    for (size_t i = 0; i < out.size(); ++i)
    {
        const float t = float(i) / Rate;
        wash.LowPass(350.0f + 4650.0f * std::exp(-t / 0.12f), 0.9f, Rate);
        const float body = wash.Process(WhiteNoise(11u, i)) * Envelope(t, 0.004f, 0.16f);
        const float thump =
            std::sin(TwoPi * (90.0f * t - 200.0f * t * t)) * Envelope(t, 0.003f, 0.07f) * 0.6f;
        out[i] = body * 1.3f + (t < 0.2f ? thump : 0.0f);
    }
    // Bubbles: short rising whistles.
    for (uint32_t b = 0; b < 16; ++b)
    {
        const float start = 0.06f + 0.6f * Noise::Unit(b, 1, 0, 12u);
        const float pitch = 380.0f + 1100.0f * Noise::Unit(b, 2, 0, 12u);
        const float loud = 0.12f + 0.18f * Noise::Unit(b, 3, 0, 12u);
        float phase = 0.0f;
        for (size_t i = 0, at = Samples(start); i < Samples(0.06f) && at + i < out.size(); ++i)
        {
            const float t = float(i) / Rate;
            phase += TwoPi * pitch * (1.0f + 4.0f * t) / Rate;
            out[at + i] += std::sin(phase) * Envelope(t, 0.002f, 0.018f) * loud;
        }
    }
    // Drops falling back: tiny high plinks.
    for (uint32_t d = 0; d < 9; ++d)
    {
        const float start = 0.35f + 0.7f * Noise::Unit(d, 1, 0, 13u);
        const float pitch = 1600.0f + 1400.0f * Noise::Unit(d, 2, 0, 13u);
        for (size_t i = 0, at = Samples(start); i < Samples(0.03f) && at + i < out.size(); ++i)
        {
            const float t = float(i) / Rate;
            out[at + i] += std::sin(TwoPi * pitch * (1.0f + 2.0f * t) * t) *
                           Envelope(t, 0.001f, 0.006f) * 0.08f;
        }
    }
    Finish(out, 0.8f);
    return out;
}

std::vector<float> SoundDesign::Jumped()
{
    std::vector<float> out(Samples(0.55f), 0.0f);
    Biquad whoosh;
    float phase = 0.0f;
    for (size_t i = 0; i < out.size(); ++i)
    {
        const float t = float(i) / Rate;
        // The spring: a quick rise in pitch with a wobble that dies away.
        const float wobble = 1.0f + 0.09f * std::sin(TwoPi * 15.0f * t) * std::exp(-t / 0.18f);
        const float pitch = (210.0f + 280.0f * (1.0f - std::exp(-t / 0.05f))) * wobble;
        phase += TwoPi * pitch / Rate;
        if (phase > TwoPi) phase -= TwoPi;
        const float spring =
            (std::sin(phase) + 0.3f * std::sin(2.0f * phase) + 0.1f * std::sin(3.0f * phase)) *
            Envelope(t, 0.004f, 0.17f);
        // The whoosh: noise in a band that rises with the jump.
        whoosh.BandPass(600.0f + 2200.0f * std::min(1.0f, t / 0.22f), 1.6f, Rate);
        const float air = whoosh.Process(WhiteNoise(21u, i)) * Envelope(t, 0.03f, 0.1f);
        out[i] = spring * 0.75f + air * 0.6f;
    }
    Finish(out, 0.75f);
    return out;
}

std::vector<float> SoundDesign::Pop()
{
    std::vector<float> out(Samples(0.4f), 0.0f);
    Biquad squelch, click;
    click.HighPass(2500.0f, 0.707f, Rate);
    float phase = 0.0f;
    for (size_t i = 0; i < out.size(); ++i)
    {
        const float t = float(i) / Rate;
        // The pop: a sine falling fast from 950 to 170 Hz.
        const float pitch = 170.0f + 780.0f * std::exp(-t / 0.018f);
        phase += TwoPi * pitch / Rate;
        if (phase > TwoPi) phase -= TwoPi;
        const float pop = std::sin(phase) * Envelope(t, 0.001f, 0.045f);
        const float snap = click.Process(WhiteNoise(31u, i)) * Envelope(t, 0.0005f, 0.003f);
        // The squelch: a resonant band drifting down, a little late.
        squelch.BandPass(750.0f - 350.0f * std::min(1.0f, t / 0.2f), 3.0f, Rate);
        const float wet = squelch.Process(WhiteNoise(32u, i)) * Envelope(t - 0.012f, 0.01f, 0.09f);
        const float thud = std::sin(TwoPi * 70.0f * t) * Envelope(t, 0.002f, 0.05f);
        out[i] = pop + snap * 0.5f + wet * 1.6f + thud * 0.35f;
    }
    Finish(out, 0.8f);
    return out;
}

} // namespace assetgen
