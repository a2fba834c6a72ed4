#pragma once
// The static mesh file in its other section order: materials before parts,
// and no bounding volumes stored (they are computed from the vertices when
// loaded). Everything else is tavStaticMesh's.

#include "graphics/tavStaticMesh.h"

class tavSimpleStaticMesh : public tavStaticMesh
{
public:
    explicit tavSimpleStaticMesh(TAV* engine) : tavStaticMesh(engine) {}

protected:
    tavMeshFile::Order FileOrder() const override { return tavMeshFile::Simple; }
};
