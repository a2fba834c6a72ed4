#pragma once
// A machine for the settings tests: one adapter on a 1024 x 768 desktop in
// X8R8G8B8, a hardware device with two display formats, and anti-aliasing
// that differs between a window and full screen.
#include "MachineOffer.h"

inline MachineOffer TestOffer()
{
    SurfaceOffer x8{22,
                    {{640, 480, 60}, {800, 600, 60}, {1024, 768, 60}, {1024, 768, 75}},
                    {{22, {{2, 1}, {4, 3}, {8, 1}}}, {21, {{2, 1}}}},
                    {83, 80},
                    {{2, 1}, {4, 3}}};
    SurfaceOffer r5{23, {{640, 480, 60}, {800, 600, 60}}, {{23, {}}}, {80}, {}};
    DeviceOffer hal{1, false, 2, {x8, r5}};
    AdapterOffer adapter{"Test adapter", 22, {1024, 768, 60}, {hal}};
    return MachineOffer{{adapter}};
}
