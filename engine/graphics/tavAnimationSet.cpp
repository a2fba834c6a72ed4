#include "graphics/tavAnimationSet.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{

// Reads 32-bit little-endian words from a byte range, never past its end.
class WordReader
{
public:
    WordReader(const uint8_t* data, size_t size) : data(data), size(size), at(0) {}

    bool Word(uint32_t& out)
    {
        if (size - at < 4)
            return false;
        out = uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 |
              uint32_t(data[at + 3]) << 24;
        at += 4;
        return true;
    }

    bool Float(float& out)
    {
        uint32_t bits;
        if (!Word(bits))
            return false;
        std::memcpy(&out, &bits, sizeof out);
        return true;
    }

    size_t Left() const { return size - at; }

private:
    const uint8_t* data;
    size_t size;
    size_t at;
};

uint32_t ValuesOf(uint32_t type)
{
    switch (type) {
    case tavAnimationSet::RotationKeys:
        return 4;
    case tavAnimationSet::ScaleKeys:
    case tavAnimationSet::TranslationKeys:
        return 3;
    case tavAnimationSet::MatrixKeys3:
    case tavAnimationSet::MatrixKeys:
        return 16;
    default:
        return 0;
    }
}

template <typename Key>
void SortByTime(std::vector<Key>& keys)
{
    std::stable_sort(keys.begin(), keys.end(),
                     [](const Key& a, const Key& b) { return a.time < b.time; });
}

// The two keys around `ticks` and the blend between them (0 at the first).
template <typename Key>
float Bracket(const std::vector<Key>& keys, double ticks, size_t& a, size_t& b)
{
    a = b = 0;
    if (keys.size() < 2 || ticks <= keys.front().time)
        return 0.0f;
    if (ticks >= keys.back().time) {
        a = b = keys.size() - 1;
        return 0.0f;
    }
    b = 1;
    while (keys[b].time <= ticks)
        ++b;
    a = b - 1;
    const double span = double(keys[b].time) - keys[a].time;
    return float((ticks - keys[a].time) / span);
}

void Lerp(const float* a, const float* b, float t, float* out, int n)
{
    for (int i = 0; i < n; ++i)
        out[i] = a[i] + (b[i] - a[i]) * t;
}

// Spherical blend of two unit quaternions along the shorter arc, as
// (x, y, z, w).
void Slerp(const tavAnimationSet::RotationKey& a, const tavAnimationSet::RotationKey& b, float t,
           float out[4])
{
    float qa[4] = {a.x, a.y, a.z, a.w};
    float qb[4] = {b.x, b.y, b.z, b.w};
    float cosine = qa[0] * qb[0] + qa[1] * qb[1] + qa[2] * qb[2] + qa[3] * qb[3];
    if (cosine < 0.0f) {
        cosine = -cosine;
        for (float& v : qb)
            v = -v;
    }
    float wa = 1.0f - t, wb = t;
    if (cosine < 0.9995f) {
        const float angle = std::acos(cosine);
        const float sine = std::sin(angle);
        wa = std::sin((1.0f - t) * angle) / sine;
        wb = std::sin(t * angle) / sine;
    }
    float length = 0.0f;
    for (int i = 0; i < 4; ++i) {
        out[i] = qa[i] * wa + qb[i] * wb;
        length += out[i] * out[i];
    }
    length = std::sqrt(length);
    if (length > 0.0f)
        for (int i = 0; i < 4; ++i)
            out[i] /= length;
}

} // namespace

bool tavAnimationSet::Track::Empty() const
{
    return rotations.empty() && scales.empty() && translations.empty() && matrices.empty();
}

tavAnimationSet::tavAnimationSet(const std::string& name)
    : name(name), ticksPerSecond(DefaultTicksPerSecond)
{
}

bool tavAnimationSet::ReadKeys(const uint8_t* data, size_t size, Track& track, std::string& error)
{
    WordReader in(data, size);
    uint32_t type = 0, count = 0;
    if (!in.Word(type) || !in.Word(count)) {
        error = "the key record ends before its key count";
        return false;
    }
    const uint32_t values = ValuesOf(type);
    if (values == 0) {
        error = "unknown key type " + std::to_string(type);
        return false;
    }
    // Each key takes two words and its values: a count the bytes cannot
    // hold is refused before anything is allocated.
    if (count > in.Left() / ((2 + values) * 4)) {
        error = "the key record ends before its " + std::to_string(count) + " keys";
        return false;
    }
    Track read = track;
    for (uint32_t k = 0; k < count; ++k) {
        uint32_t time = 0, n = 0;
        float v[16];
        in.Word(time);
        in.Word(n);
        if (n != values) {
            error = "key " + std::to_string(k) + " has " + std::to_string(n) + " values, not " +
                    std::to_string(values);
            return false;
        }
        for (uint32_t i = 0; i < n; ++i)
            in.Float(v[i]);
        if (type == RotationKeys)
            read.rotations.push_back({time, v[0], v[1], v[2], v[3]});
        else if (type == ScaleKeys)
            read.scales.push_back({time, {v[0], v[1], v[2]}});
        else if (type == TranslationKeys)
            read.translations.push_back({time, {v[0], v[1], v[2]}});
        else {
            MatrixKey key{time, {}};
            std::memcpy(key.value.m, v, sizeof key.value.m);
            read.matrices.push_back(key);
        }
    }
    if (in.Left() != 0) {
        error = "the key record carries " + std::to_string(in.Left()) + " bytes after its keys";
        return false;
    }
    SortByTime(read.rotations);
    SortByTime(read.scales);
    SortByTime(read.translations);
    SortByTime(read.matrices);
    track = std::move(read);
    return true;
}

tavAnimationSet::Track& tavAnimationSet::TrackFor(const std::string& frameName)
{
    for (Track& track : tracks)
        if (track.frameName == frameName)
            return track;
    tracks.push_back(Track{frameName, {}, {}, {}, {}});
    return tracks.back();
}

void tavAnimationSet::SetTicksPerSecond(double ticks)
{
    if (std::isfinite(ticks) && ticks > 0.0)
        ticksPerSecond = ticks;
}

uint32_t tavAnimationSet::GetPeriod() const
{
    uint32_t last = 0;
    for (const Track& t : tracks) {
        if (!t.rotations.empty())
            last = std::max(last, t.rotations.back().time);
        if (!t.scales.empty())
            last = std::max(last, t.scales.back().time);
        if (!t.translations.empty())
            last = std::max(last, t.translations.back().time);
        if (!t.matrices.empty())
            last = std::max(last, t.matrices.back().time);
    }
    return last;
}

double tavAnimationSet::TicksAt(double seconds) const
{
    const uint32_t period = GetPeriod();
    if (period == 0 || !std::isfinite(seconds))
        return 0.0;
    double ticks = std::fmod(seconds * ticksPerSecond, double(period));
    if (ticks < 0.0)
        ticks += period;
    return ticks;
}

tavMatrix4 tavAnimationSet::Sample(const Track& track, double ticks)
{
    if (!std::isfinite(ticks))
        ticks = 0.0;
    size_t a, b;
    if (!track.matrices.empty()) {
        const float t = Bracket(track.matrices, ticks, a, b);
        tavMatrix4 out;
        Lerp(&track.matrices[a].value.m[0][0], &track.matrices[b].value.m[0][0], t, &out.m[0][0],
             16);
        return out;
    }
    tavMatrix4 scale = tavMatrix4::Identity(), rotation = scale, translation = scale;
    if (!track.scales.empty()) {
        float s[3];
        const float t = Bracket(track.scales, ticks, a, b);
        Lerp(track.scales[a].value, track.scales[b].value, t, s, 3);
        scale = tavMatrix4::Scaling(s[0], s[1], s[2]);
    }
    if (!track.rotations.empty()) {
        float q[4];
        const float t = Bracket(track.rotations, ticks, a, b);
        Slerp(track.rotations[a], track.rotations[b], t, q);
        rotation = tavMatrix4::Rotation(q[0], q[1], q[2], q[3]);
    }
    if (!track.translations.empty()) {
        float p[3];
        const float t = Bracket(track.translations, ticks, a, b);
        Lerp(track.translations[a].value, track.translations[b].value, t, p, 3);
        translation = tavMatrix4::Translation(p[0], p[1], p[2]);
    }
    return scale * rotation * translation;
}
