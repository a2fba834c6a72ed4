#include "audio/ToneAnalysis.h"

#include <algorithm>
#include <cmath>

namespace
{
// A window quieter than this (RMS, full scale 1) counts as silence.
constexpr double SilenceRms = 0.005;
// Share of a window's energy a tone needs to count as the one heard. A
// clean window of the tone gives about 1; one with a glitch in it (a gap,
// a repeated period) still well above this.
constexpr double DominantShare = 0.3;
} // namespace

StereoSignal StereoSignal::FromS16(const std::vector<uint8_t>& raw, int rate)
{
    StereoSignal s;
    s.rate = rate;
    const size_t frames = raw.size() / 4;
    s.left.resize(frames);
    s.right.resize(frames);
    for (size_t i = 0; i < frames; ++i)
    {
        const uint8_t* p = &raw[i * 4];
        s.left[i] = float(int16_t(p[0] | (p[1] << 8))) / 32768.0f;
        s.right[i] = float(int16_t(p[2] | (p[3] << 8))) / 32768.0f;
    }
    return s;
}

std::vector<float> StereoSignal::Mix() const
{
    std::vector<float> mix(left.size());
    for (size_t i = 0; i < mix.size(); ++i)
        mix[i] = 0.5f * (left[i] + right[i]);
    return mix;
}

double Rms(const std::vector<float>& x, size_t first, size_t count)
{
    const size_t last = std::min(x.size(), first + count);
    double sum = 0;
    for (size_t i = first; i < last; ++i)
        sum += double(x[i]) * x[i];
    return last > first ? std::sqrt(sum / double(last - first)) : 0.0;
}

double Peak(const std::vector<float>& x)
{
    double peak = 0;
    for (float v : x)
        peak = std::max(peak, double(std::fabs(v)));
    return peak;
}

double ToneShare(const std::vector<float>& x, size_t first, size_t count, double hz, int rate)
{
    const size_t last = std::min(x.size(), first + count);
    if (last <= first) return 0.0;
    const double w = 2.0 * 3.14159265358979323846 * hz / rate;
    const double coeff = 2.0 * std::cos(w);
    double s1 = 0, s2 = 0, energy = 0;
    for (size_t i = first; i < last; ++i)
    {
        const double s0 = x[i] + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
        energy += double(x[i]) * x[i];
    }
    const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    const double n = double(last - first);
    return energy > 0 ? std::min(1.0, 2.0 * power / (n * energy)) : 0.0;
}

namespace
{
bool ToneHolds(const std::vector<float>& x, size_t first, size_t size, double hz, int rate)
{
    return Rms(x, first, size) >= SilenceRms &&
           ToneShare(x, first, size, hz, rate) >= DominantShare;
}
} // namespace

ToneRun FindTone(const std::vector<float>& x, int rate, double hz, double window)
{
    ToneRun run;
    const size_t size = size_t(window * rate);
    for (size_t first = 0; first + size <= x.size(); first += size)
    {
        if (!ToneHolds(x, first, size, hz, rate)) continue;
        if (!run.found) run.start = double(first) / rate;
        run.found = true;
        run.end = double(first + size) / rate;
        run.seconds += double(size) / rate;
    }
    return run;
}
