#pragma once
// One keyframed animation of a frame hierarchy, as a .x file's AnimationSet
// holds it: per animated frame a track of rotation, scale, translation and
// matrix keys at times in ticks. Sampling gives each frame's local matrix at
// a time; the animation repeats with the period of its last key. Portable:
// the Windows side reads the AnimationKey records (through ID3DXFile) and
// hands their bytes to ReadKeys.

#include "graphics/tavMatrix4.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class tavAnimationSet
{
public:
    // The key types of an AnimationKey record; 3 and 4 are both matrices.
    enum KeyType : uint32_t
    {
        RotationKeys = 0,
        ScaleKeys = 1,
        TranslationKeys = 2,
        MatrixKeys3 = 3,
        MatrixKeys = 4,
    };

    struct VectorKey
    {
        uint32_t time;
        float value[3];
    };
    // A rotation as the file stores it: w first.
    struct RotationKey
    {
        uint32_t time;
        float w, x, y, z;
    };
    struct MatrixKey
    {
        uint32_t time;
        tavMatrix4 value;
    };

    struct Track
    {
        std::string frameName;
        std::vector<RotationKey> rotations;
        std::vector<VectorKey> scales;
        std::vector<VectorKey> translations;
        std::vector<MatrixKey> matrices;
        bool Empty() const;
    };

    // A file without AnimTicksPerSecond runs at this rate.
    static constexpr double DefaultTicksPerSecond = 4800.0;

    explicit tavAnimationSet(const std::string& name = std::string());

    // Reads the bytes of one AnimationKey record (key type, key count, then
    // per key its time, value count and values, all 32-bit little-endian)
    // into `track`, keys sorted by time. False, with the reason in `error`
    // and the track unchanged, when the bytes end early or carry more than
    // the record, the type is unknown, or a key's value count does not fit
    // its type.
    static bool ReadKeys(const uint8_t* data, size_t size, Track& track, std::string& error);

    // The track of `frameName`, made empty on first use.
    Track& TrackFor(const std::string& frameName);
    const std::vector<Track>& GetTracks() const { return tracks; }
    const std::string& GetName() const { return name; }

    // Rates that are not positive and finite keep the default.
    void SetTicksPerSecond(double ticks);
    double GetTicksPerSecond() const { return ticksPerSecond; }
    // The time of the latest key of any track, in ticks: 0 for no keys.
    uint32_t GetPeriod() const;
    // `seconds` from the start as ticks within one period.
    double TicksAt(double seconds) const;

    // The track's local matrix at `ticks`: its matrix keys when it has any,
    // else scale x rotation x translation, each part linear between its two
    // nearest keys (rotations spherically), held at the first and last key,
    // and identity for a part without keys.
    static tavMatrix4 Sample(const Track& track, double ticks);

private:
    std::string name;
    double ticksPerSecond;
    std::vector<Track> tracks;
};
