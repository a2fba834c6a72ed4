#pragma once
// A full-screen coloured overlay that fades the picture out and in.

#include <windows.h>

class TAV;

class tavFader
{
public:
    explicit tavFader(TAV* owner);
    // False when the device objects could not be made.
    bool IsValid() const { return valid; }
    void Restore();
    void Invalidate();
    void Destroy();

private:
    TAV* owner;
    bool valid;
};
