// 3DS files: any bytes walk to an end without a read past the image, and
// nothing grows beyond what the image can hold.
#include "graphics/tav3dsReader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tav3dsReader reader;
    reader.Parse(data, size);
    const tavStaticMeshData& m = reader.mesh;
    if (m.vertices.size() * 12 > size || m.indices.size() * 8 > size * 3 ||
        m.parts.size() * 9 > size || m.materials.size() * 6 > size)
        abort();
    for (const tavMaterialData& mat : m.materials)
        if (mat.textures.size() > tavMaterialData::MaxTextures) abort();
    return 0;
}
