#pragma once
// Oriented bounding boxes and their overlap test (separating axes). Portable:
// plain floats laid out as D3DX's vectors and row-vector matrices, so a
// D3DXVECTOR3 or D3DXMATRIX copies in and out byte for byte.

struct tavOrientedBox
{
    // Zero vectors and identity matrices.
    tavOrientedBox();

    float centroid[3];    // centre in the box's model space (described, not tested)
    float halfExtents[3]; // half sizes along the box's own x, y, z axes
    float position[3];    // world position of the box's centre
    float reserved[3];
    float orientation[4][4];        // rotation of the box into the world
    float inverseOrientation[4][4]; // kept by the owner: the test trusts it
};

// 4 when the boxes overlap (touching counts), 0 when one of the fifteen
// separating axes parts them. Describes both boxes to the debugger output
// on every call (see tavSetDebugOutput).
int OrientedBoxesOverlap(const tavOrientedBox& a, const tavOrientedBox& b);

// Which of the fifteen axes, tested in order, parts the boxes first: 0 to 2
// a's axes, 3 to 5 b's axes, 6 to 14 the cross products a(i) x b(j) at
// 6 + 3i + j; -1 when none does. Writes nothing.
int FindSeparatingAxis(const tavOrientedBox& a, const tavOrientedBox& b);

// Where the overlap test's description goes: the debugger
// (OutputDebugStringA) in the Windows build, nowhere natively. Null
// restores that default. Returns the previous receiver.
using tavDebugOutput = void (*)(const char* text);
tavDebugOutput tavSetDebugOutput(tavDebugOutput output);
