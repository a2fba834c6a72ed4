#pragma once
// A value that runs back and forth between two bounds at a fixed speed: the
// sea's bob and swirl, the chicken's leg swing. Portable.

class tavOscillator
{
public:
    // All zero, falling.
    tavOscillator();

    // A range that is empty or reversed becomes [maximum - 1, maximum]. A
    // start on or past a bound sits on that bound heading back inside,
    // whatever `rising` says.
    void Init(float minimum, float maximum, float start, float speed, bool rising);
    // Moves by speed x seconds; a step past a bound stops on it and turns
    // back (the rest of the step is not carried over).
    void Update(float seconds);
    // A value on or past a bound sits on it heading back inside; a value
    // within the range keeps the direction.
    void SetValue(float v);
    float Value() const { return value; }
    bool IsRising() const { return rising; }
    float GetMinimum() const { return minimum; }
    float GetMaximum() const { return maximum; }

private:
    float value;
    float minimum;
    float maximum;
    float speed; // units per second
    bool rising;
};
