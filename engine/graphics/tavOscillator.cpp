#include "graphics/tavOscillator.h"

tavOscillator::tavOscillator() : value(0), minimum(0), maximum(0), speed(0), rising(false)
{
}

void tavOscillator::Init(float low, float high, float start, float unitsPerSecond, bool up)
{
    minimum = low;
    maximum = high;
    if (minimum >= maximum) minimum = maximum - 1.0f;
    rising = up;
    speed = unitsPerSecond;
    if (start >= maximum)
    {
        value = maximum;
        rising = false;
    }
    else if (start <= minimum)
    {
        value = minimum;
        rising = true;
    }
    else
        value = start;
}

void tavOscillator::Update(float seconds)
{
    const float step = speed * seconds;
    if (rising)
    {
        value += step;
        if (value > maximum)
        {
            value = maximum;
            rising = false;
        }
    }
    else
    {
        value -= step;
        if (value < minimum)
        {
            value = minimum;
            rising = true;
        }
    }
}

void tavOscillator::SetValue(float v)
{
    if (v >= maximum)
    {
        value = maximum;
        rising = false;
    }
    else if (v <= minimum)
    {
        value = minimum;
        rising = true;
    }
    else
        value = v;
}
