#pragma once
// Finding test tones in captured sound: the share of a window's energy that
// one frequency holds (Goertzel), and where a tone starts and ends.
// Portable.

#include <cstddef>
#include <cstdint>
#include <vector>

// Interleaved s16le stereo, as the capture holds it, split into channels
// scaled to -1..1.
struct StereoSignal
{
    int rate = 48000;
    std::vector<float> left, right;

    static StereoSignal FromS16(const std::vector<uint8_t>& raw, int rate);
    // (left + right) / 2.
    std::vector<float> Mix() const;
    double Seconds() const { return double(left.size()) / rate; }
};

double Rms(const std::vector<float>& x, size_t first, size_t count);
double Peak(const std::vector<float>& x);
// 0..1: about 1 when the window holds nothing but a sine at `hz`.
double ToneShare(const std::vector<float>& x, size_t first, size_t count, double hz, int rate);

// The first and last window (in seconds from the signal's start) in which
// the tone holds most of a window's energy and the window is not silent,
// and how many seconds of such windows there are.
struct ToneRun
{
    bool found = false;
    double start = 0;   // start of the first window
    double end = 0;     // end of the last window
    double seconds = 0; // of the windows in which the tone holds
    double Length() const { return end - start; }
};
ToneRun FindTone(const std::vector<float>& x, int rate, double hz, double window = 0.02);
