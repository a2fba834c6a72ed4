#include "graphics/tavFrameAnimator.h"

tavFrameAnimator::tavFrameAnimator()
    : current(0), first(0), last(0), nextTime(0), period(0), step(0)
{
}

void tavFrameAnimator::Init(uint32_t firstFrame, uint32_t lastFrame, int32_t frameStep,
                            uint32_t start, uint32_t now, uint32_t periodMs)
{
    first = firstFrame;
    last = lastFrame;
    step = frameStep;
    period = periodMs;
    nextTime = now + period;
    if (start > last)
        current = last;
    else if (start >= first)
        current = start;
    else
        current = first;
}

void tavFrameAnimator::Update(uint32_t now)
{
    if (now < nextTime) return;
    nextTime = now + period;
    // Unsigned, as frame numbers are: a backward step from a frame smaller
    // than the step wraps round to a huge number, above `last`, and so lands
    // on `first` rather than on `last`.
    current += uint32_t(step);
    if (current > last)
        current = first;
    else if (current < first)
        current = last;
}
