// The engine's mesh files: any bytes either parse or are refused, never a
// read past the image nor an allocation beyond what the image can hold; and
// whatever parses writes an image that parses back to itself.
#include "graphics/tavMeshFile.h"

#include <cstdlib>

namespace
{
void Check(bool holds)
{
    if (!holds) abort();
}

void Static(const uint8_t* data, size_t size, tavMeshFile::Order order)
{
    tavStaticMeshData mesh;
    if (tavMeshFile::ParseStatic(data, size, order, mesh, nullptr) != tavMeshFileResult::Ok)
    {
        Check(mesh.version == 0 && mesh.vertices.empty());
        return;
    }
    Check(mesh.vertices.size() * 32 + mesh.indices.size() * 2 <= size);
    const std::vector<uint8_t> image = tavMeshFile::WriteStatic(mesh, order);
    tavStaticMeshData again;
    Check(tavMeshFile::ParseStatic(image.data(), image.size(), order, again, nullptr) ==
          tavMeshFileResult::Ok);
    Check(tavMeshFile::WriteStatic(again, order) == image);
}

void Dynamic(const uint8_t* data, size_t size)
{
    tavDynamicMeshData mesh;
    if (tavMeshFile::ParseDynamic(data, size, mesh, nullptr) != tavMeshFileResult::Ok)
    {
        Check(mesh.fileVersion == 0 && mesh.vertices.empty());
        return;
    }
    Check(tavCountBones(mesh.root) * 72 <= size);
    const std::vector<uint8_t> image = tavMeshFile::WriteDynamic(mesh);
    tavDynamicMeshData again;
    Check(tavMeshFile::ParseDynamic(image.data(), image.size(), again, nullptr) ==
          tavMeshFileResult::Ok);
    Check(tavMeshFile::WriteDynamic(again) == image);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Static(data, size, tavMeshFile::WithBounds);
    Static(data, size, tavMeshFile::Simple);
    Dynamic(data, size);
    return 0;
}
