#pragma once
// The frame timer: frame time, frame rate, a millisecond clock and
// frame-time scaling, all from the high-resolution performance counter.
// The engine calls FrameStart before drawing and FrameEnd after presenting,
// so a frame time runs from one present to the next. Main thread only.

#include <cstdint>

class tavPCount
{
public:
    tavPCount();

    // Frames per second of one frame, sampled at most twice a second.
    double GetFPS() const { return fps; }
    // Seconds of the last frame (times the time scale); 0.0001 when exactly 0.
    double GetFrameTime() const { return frameTime != 0.0 ? frameTime : 0.0001; }
    // v x the frame time (0.0001 s when the frame time is 0).
    float Scale(float v) const { return float(v * GetFrameTime()); }
    // position += velocity x frame time, for three components.
    void Integrate(float* position, const float* velocity) const;
    // Moves value toward 0 by rate x frame time without passing 0.
    float Damp(float value, float rate) const;
    // The millisecond clock advanced by the frame times (wraps to 1 after
    // 4 200 000 000 ms).
    uint32_t GetMilliseconds() const;
    int64_t GetFrequency() const { return frequency; }
    bool IsAvailable() const { return available; }

    // Seconds since the last Mark, less the cost of one counter query.
    double GetElapsed() const;
    void Mark();
    void SetTimeScale(float factor) { timeScale = factor; }

    void FrameStart();
    void FrameEnd();
    // FrameEnd with the counter reading given: replays and tests drive the
    // clock through this.
    void FrameEndAt(int64_t ticks);
    // A host that owns the loop may fix every frame's length (seconds before
    // the time scale); 0 returns to measuring.
    void SetFixedFrameTime(double seconds) { fixedFrameTime = seconds; }

private:
    static int64_t ReadCounter();

    double fps;
    double reserved;
    double secondsPerTick;
    double startTicks;
    double lastEndTicks;
    double frameStartTicks;
    double frameTime;
    double fpsTimer;
    double milliseconds;
    float timeScale;
    bool available;
    int64_t frequency;
    int64_t callOverhead;
    int64_t markTicks;
    double fixedFrameTime;
};
