#pragma once
// What the test session's sound card played: the headless session records
// the card's whole output, in real time, to the file named by
// TAV_AUDIO_CAPTURE (s16le, 48 kHz, stereo). A test marks the end of the
// recording, plays, and reads what was recorded after the mark.

#include "audio/ToneAnalysis.h"

#include <cstdint>
#include <functional>
#include <string>

class AudioCapture
{
public:
    static constexpr int Rate = 48000;
    static constexpr int FrameBytes = 4;

    // False when the session records no sound card (no TAV_AUDIO_CAPTURE).
    bool Open();
    // Later reads start at what is recorded by now.
    void Mark();
    // Waits, calling `idle` between looks, until `seconds` of sound after
    // the mark are recorded, and returns them. False when the recording
    // does not grow that far within `seconds` + 10 s.
    bool Read(double seconds, StereoSignal& out, const std::function<void()>& idle);

private:
    int64_t Size() const;

    std::string path;
    int64_t mark = 0;
};
