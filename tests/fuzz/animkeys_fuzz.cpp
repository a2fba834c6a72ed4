// Key records of a skinned mesh's animation: any bytes either become keys
// that account for every byte, sorted by time, or are refused with a reason
// and leave the track as it was. Sampling what was read never reads past it.
#include "graphics/tavAnimationSet.h"

#include <cstdlib>

namespace
{
template <typename Key>
bool Sorted(const std::vector<Key>& keys)
{
    for (size_t i = 1; i < keys.size(); ++i)
        if (keys[i - 1].time > keys[i].time)
            return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tavAnimationSet::Track track;
    track.frameName = "Leg";
    track.scales.push_back({7, {1, 1, 1}});
    std::string error;
    if (!tavAnimationSet::ReadKeys(data, size, track, error)) {
        if (error.empty() || track.scales.size() != 1 || !track.rotations.empty() ||
            !track.translations.empty() || !track.matrices.empty())
            abort();
        return 0;
    }
    const size_t values = track.rotations.size() * 4 + (track.scales.size() - 1) * 3 +
                          track.translations.size() * 3 + track.matrices.size() * 16;
    const size_t keys = track.rotations.size() + track.scales.size() - 1 +
                        track.translations.size() + track.matrices.size();
    if (8 + keys * 8 + values * 4 != size || track.frameName != "Leg")
        abort();
    if (!Sorted(track.rotations) || !Sorted(track.scales) || !Sorted(track.translations) ||
        !Sorted(track.matrices))
        abort();
    for (double t : {-1.0, 0.0, 3.5, 1e9})
        tavAnimationSet::Sample(track, t);
    return 0;
}
