#include "diag/tavPCount.h"

#include <windows.h>

int64_t tavPCount::ReadCounter()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

tavPCount::tavPCount()
    : fps(0), reserved(0), secondsPerTick(0), startTicks(0), lastEndTicks(0), frameStartTicks(0),
      frameTime(0), fpsTimer(0.25), milliseconds(1.0), timeScale(1.0f), available(false),
      frequency(0), callOverhead(0), markTicks(0), fixedFrameTime(0)
{
    LARGE_INTEGER f;
    if (!QueryPerformanceFrequency(&f) || f.QuadPart == 0)
        return;
    frequency = f.QuadPart;
    secondsPerTick = 1.0 / double(frequency);
    startTicks = lastEndTicks = frameStartTicks = double(ReadCounter());
    available = true;
    frameStartTicks = double(ReadCounter());

    const int64_t first = ReadCounter();
    ReadCounter();
    const int64_t last = ReadCounter();
    callOverhead = (last - first) / 2;
    markTicks = ReadCounter();
}

void tavPCount::Integrate(float* position, const float* velocity) const
{
    for (int i = 0; i < 3; ++i)
        position[i] += float(velocity[i] * frameTime);
}

float tavPCount::Damp(float value, float rate) const
{
    const float step = float(rate * GetFrameTime());
    if (value > 0.0f)
        return value - step > 0.0f ? value - step : 0.0f;
    if (value < 0.0f)
        return value + step < 0.0f ? value + step : 0.0f;
    return 0.0f;
}

uint32_t tavPCount::GetMilliseconds() const { return uint32_t(int64_t(milliseconds)); }

double tavPCount::GetElapsed() const
{
    return double(ReadCounter() - markTicks - callOverhead) * secondsPerTick;
}

void tavPCount::Mark() { markTicks = ReadCounter(); }

void tavPCount::FrameStart() { frameStartTicks = double(ReadCounter()); }

void tavPCount::FrameEnd()
{
    if (fixedFrameTime > 0.0)
        FrameEndAt(int64_t(lastEndTicks) + int64_t(fixedFrameTime * double(frequency)));
    else
        FrameEndAt(ReadCounter());
}

void tavPCount::FrameEndAt(int64_t ticks)
{
    frameStartTicks = lastEndTicks;
    lastEndTicks = double(ticks);
    const double delta = lastEndTicks - frameStartTicks;
    if (delta != 0.0 && fpsTimer >= 0.5)
    {
        fps = double(frequency) / delta;
        fpsTimer = 0.0;
    }
    const double seconds = delta * secondsPerTick;
    fpsTimer += seconds;
    frameTime = seconds * timeScale;
    milliseconds += frameTime * 1000.0;
    if (milliseconds > 4200000000.0)
        milliseconds = 1.0;
}
