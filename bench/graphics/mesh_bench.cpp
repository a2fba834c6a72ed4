// A generated OBJ model of over a million triangles (a 256 x 256 grid of
// vertices with texture coordinates and normals, its quads listed eight
// times over so that 16-bit indices still reach every vertex), imported by
// our OBJ importer and by Assimp in the same run, and the same model loaded
// from the engine's static mesh file. Best of three runs each.
#include "graphics/tavMeshBytes.h"
#include "graphics/tavMeshFile.h"
#include "graphics/tavObjReader.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace
{
namespace fs = std::filesystem;

const int Side = 256;
const int Layers = 8;

std::string GridObj()
{
    std::string text;
    text.reserve(64u << 20);
    char line[160];
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
        {
            std::snprintf(line, sizeof(line), "v %.4f %.4f %.4f\n", x * 0.5f,
                          0.25f * float((x * 7 + y * 13) % 5), y * 0.5f);
            text += line;
        }
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
        {
            std::snprintf(line, sizeof(line), "vt %.5f %.5f\n", x / float(Side - 1),
                          y / float(Side - 1));
            text += line;
        }
    for (int i = 0; i < Side * Side; ++i)
        text += "vn 0.0000 1.0000 0.0000\n";
    text += "usemtl Ground\n";
    for (int layer = 0; layer < Layers; ++layer)
        for (int y = 0; y + 1 < Side; ++y)
            for (int x = 0; x + 1 < Side; ++x)
            {
                const int a = y * Side + x + 1, b = a + 1, c = a + Side, d = c + 1;
                std::snprintf(line, sizeof(line), "f %d/%d/%d %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a,
                              a, b, b, b, c, c, c, d, d, d);
                text += line;
            }
    return text;
}

double BestSeconds(const std::function<void()>& work)
{
    double best = 1e9;
    for (int run = 0; run < 3; ++run)
    {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        best = std::min(best, spent.count());
    }
    return best;
}
} // namespace

int main()
{
    const fs::path folder = fs::temp_directory_path() / "tav-bench-meshes";
    fs::create_directories(folder);
    const std::string obj = (folder / "grid.obj").string(), msh = (folder / "grid.msh").string();
    const std::string text = GridObj();
    if (!tavWriteWholeFile(obj.c_str(), std::vector<uint8_t>(text.begin(), text.end()))) return 1;

    size_t triangles = 0;
    tavStaticMeshData model;
    const double ours = BestSeconds(
        [&]
        {
            tavObjReader reader;
            reader.Read(obj.c_str());
            triangles = reader.mesh.indices.size() / 3;
            model = std::move(reader.mesh);
        });
    size_t theirFaces = 0;
    const double theirs = BestSeconds(
        [&]
        {
            Assimp::Importer importer;
            const aiScene* scene = importer.ReadFile(obj, 0);
            theirFaces = scene && scene->mNumMeshes ? scene->mMeshes[0]->mNumFaces : 0;
        });
    tavWriteWholeFile(msh.c_str(), tavMeshFile::WriteStatic(model, tavMeshFile::WithBounds));
    const double load = BestSeconds(
        [&]
        {
            tavStaticMeshData loaded;
            tavMeshFile::LoadStatic(msh.c_str(), tavMeshFile::WithBounds, loaded, nullptr);
        });
    fs::remove_all(folder);

    std::printf("obj: %zu bytes, %zu triangles (Assimp: %zu quads); ours %.3f s, Assimp %.3f s; "
                "engine file %.1f ms\n",
                text.size(), triangles, theirFaces, ours, theirs, load * 1000.0);
    std::printf(
        "BENCH obj-import-mtris %.2f Mtri/s ratio=%.2f vs Assimp's import of the same file\n",
        triangles / ours / 1e6, ours / theirs);
    std::printf(
        "BENCH engine-mesh-load-ms %.1f ms ratio=%.3f vs our OBJ import of the same model\n",
        load * 1000.0, load / ours);
    return 0;
}
