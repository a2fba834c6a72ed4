#pragma once
// Asks Direct3D 9 what the machine's adapters offer: display modes of each
// display format, the back-buffer formats that go with them, depth formats
// in the engine's order, the multisample types of each back buffer (checked
// together with the depth buffer the engine will pick) and the texture
// filters. An empty offer when Direct3D 9 is missing.

#include "MachineOffer.h"

MachineOffer EnumerateMachine();
