#pragma once
// Writes a Mesh as a text DirectX .x file that D3DXLoadMeshFromX reads:
// one Mesh (several meshes in one file do not load reliably), its vertex
// positions, MeshNormals, MeshTextureCoords and a MeshMaterialList with one
// Material per subset. Faces are written grouped by material, in material
// order, so subset i is material i. Every FLOAT is written with a decimal
// point: an integer literal in a FLOAT field fails the whole load.

#include "Mesh.h"

#include <string>

namespace assetgen
{

class XFileWriter
{
public:
    // The file text.
    static std::string ToText(const Mesh& mesh, const std::string& meshName);
    // False when the file could not be written.
    static bool Write(const Mesh& mesh, const std::string& meshName, const std::string& path);
    // One float as written: fixed point, six decimals, no negative zero.
    static std::string Float(float value);

private:
    static void AppendVectors(std::string& out, const Mesh& mesh, bool normals);
    static void AppendFaces(std::string& out, const Mesh& mesh);
    static void AppendTextureCoords(std::string& out, const Mesh& mesh);
    static void AppendMaterials(std::string& out, const Mesh& mesh);
};

} // namespace assetgen
