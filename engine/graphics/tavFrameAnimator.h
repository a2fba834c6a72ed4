#pragma once
// A number that steps through [first, last] once per period of the engine
// clock, wrapping at either end: the sea's caustic texture numbers. Portable.

#include <cstdint>

class tavFrameAnimator
{
public:
    // All zero.
    tavFrameAnimator();

    // `now` and `period` are engine-clock milliseconds; the first step is due
    // one period from now. A start above `last` begins at `last`, one below
    // `first` at `first`.
    void Init(uint32_t first, uint32_t last, int32_t step, uint32_t start, uint32_t now,
              uint32_t period);
    // Takes one step when due (now >= the due time), then schedules the next
    // a period from `now`: a late call does not catch up on missed steps.
    // Stepping past `last` wraps to `first`, below `first` to `last`.
    void Update(uint32_t now);
    uint32_t Current() const { return current; }
    uint32_t GetNextTime() const { return nextTime; }

private:
    uint32_t current;
    uint32_t first;
    uint32_t last;
    uint32_t nextTime; // engine clock, ms
    uint32_t period;   // ms
    int32_t step;
};
