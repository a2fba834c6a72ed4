// OBJ text: any bytes import without a read past the image, and every
// index the importer keeps names a vertex it read.
#include "graphics/tavObjReader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tavObjReader obj;
    obj.Parse(reinterpret_cast<const char*>(data), size);
    const tavStaticMeshData& m = obj.mesh;
    if (m.parts.size() != 1 || m.indices.size() % 3 != 0 ||
        !tavPartFits(m.parts[0], m.vertices, m.indices))
        abort();
    return 0;
}
