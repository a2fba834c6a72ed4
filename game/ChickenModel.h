#pragma once
// The player's chicken: a static mesh drawn subset by subset, so that the
// legs (subsets 1 and 8) swing and the body parts (0 and 2 to 7) bob with
// the walk oscillator. Subsets past 8 are drawn still.

#include "graphics/tavMeshModel.h"
#include "graphics/tavOscillator.h"

class ChickenModel : public tavMeshModel
{
public:
    enum : uint32_t
    {
        LeftLeg = 1,
        RightLeg = 8,
    };

    // Empty, with `walk` at rest: [-0.75, 0.75], value 0, 6 per second,
    // rising first.
    explicit ChickenModel(TAV* engine);

    using tavMeshModel::Draw;
    // Draws at `position` facing `orientation` (culling counter-clockwise,
    // the static vertex format), each subset with its material applied on
    // all eight stages. The mesh's face count (0 for an empty model).
    uint32_t Draw(const D3DXVECTOR3& position, const D3DXQUATERNION& orientation);

    // The walk cycle: the legs swing by its value in radians, the body bobs
    // by a twentieth of it.
    tavOscillator walk;

private:
    // Subset `i`'s own motion, before the model's placement.
    void SubsetMotion(uint32_t i, D3DXMATRIX& out) const;
};
