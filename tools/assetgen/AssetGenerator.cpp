#include "AssetGenerator.h"

#include "ChickenDesign.h"
#include "LevelDesign.h"
#include "MeshSamples.h"
#include "PropDesign.h"
#include "ScreenPainter.h"
#include "SeaPainter.h"
#include "SkyPainter.h"
#include "SoundDesign.h"
#include "SurfacePainter.h"
#include "BinaryFile.h"
#include "ImageFile.h"
#include "WaveFile.h"
#include "HenRig.h"
#include "SkinnedXWriter.h"
#include "XFileWriter.h"
#include "graphics/tavMeshFile.h"

#include <filesystem>

namespace assetgen
{

namespace
{
const int SkySize = 512;
const int WaterSize = 512;
const int CausticSize = 256;
const int CausticFrames = 32;
const int SurfaceSize = 256;
const int SmallSize = 128;
} // namespace

bool AssetGenerator::Generate(const std::string& target, std::string& failure)
{
    folder = target;
    error.clear();
    written.clear();
    const bool ok = WriteMeshes() && WriteSounds() && WriteSky() && WriteSea() && WriteSurfaces() &&
                    WriteScreens() && WriteSamples();
    failure = error;
    return ok;
}

bool AssetGenerator::Save(const std::string& name, const std::vector<unsigned char>& bytes)
{
    if (!BinaryFile::Write(folder + "/" + name, bytes))
    {
        error = "cannot write " + folder + "/" + name;
        return false;
    }
    written.push_back(name);
    return true;
}

bool AssetGenerator::Save(const std::string& name, const std::string& text)
{
    return Save(name, std::vector<unsigned char>(text.begin(), text.end()));
}

bool AssetGenerator::WriteMeshes()
{
    return Save("level.x", XFileWriter::ToText(LevelDesign::Build(), "Level")) &&
           Save("chixen.x", XFileWriter::ToText(ChickenDesign::Build(), "Chicken")) &&
           Save("egg.x", XFileWriter::ToText(PropDesign::Egg(), "Egg")) &&
           Save("blood.x", XFileWriter::ToText(PropDesign::BloodDrop(), "BloodDrop"));
}

// One model of each format the engine reads, for its loaders and importers
// to be run on.
bool AssetGenerator::WriteSampleModels()
{
    const tavStaticMeshData crate = MeshSamples::Crate();
    return Save("samples/crate.msh", tavMeshFile::WriteStatic(crate, tavMeshFile::WithBounds)) &&
           Save("samples/crate-simple.msh", tavMeshFile::WriteStatic(crate, tavMeshFile::Simple)) &&
           Save("samples/arm.edm", tavMeshFile::WriteDynamic(MeshSamples::Arm())) &&
           Save("samples/crate.3ds", MeshSamples::Crate3ds()) && Save("samples/crate.obj", MeshSamples::CrateObj()) &&
           Save("samples/crate.mtl", MeshSamples::CrateMtl());
}

// Content the game does not load but the engine's loaders are tried on, in
// samples/ so that base/ itself holds only what the game opens.
bool AssetGenerator::WriteSamples()
{
    std::error_code failed;
    std::filesystem::create_directories(folder + "/samples", failed);
    if (failed)
    {
        error = "cannot make " + folder + "/samples";
        return false;
    }
    return Save("samples/hen.x", SkinnedXWriter::ToText(HenRig::Build(), "HenMesh", "Walk")) &&
           WriteSampleModels();
}

bool AssetGenerator::WriteSounds()
{
    const uint32_t rate = SoundDesign::SampleRate;
    if (!Save("splash.sfx", WaveFile::Encode(SoundDesign::Splash(), rate)) ||
        !Save("jumped.sfx", WaveFile::Encode(SoundDesign::Jumped(), rate)) ||
        !Save("pop.sfx", WaveFile::Encode(SoundDesign::Pop(), rate)))
        return false;
    for (int i = 0; i < SoundDesign::CluckCount; ++i)
        if (!Save("idle" + std::to_string(i + 1) + ".sfx",
                  WaveFile::Encode(SoundDesign::Cluck(i), rate)))
            return false;
    return true;
}

bool AssetGenerator::WriteSky()
{
    for (int face = 0; face < 6; ++face)
        if (!Save("sky1-" + std::to_string(face) + ".tex",
                  ImageFile::EncodeDDS(SkyPainter::Face(face, SkySize))))
            return false;
    return true;
}

bool AssetGenerator::WriteSea()
{
    if (!Save("water.tex", ImageFile::EncodeDDS(SeaPainter::Water(WaterSize)))) return false;
    for (int frame = 0; frame < CausticFrames; ++frame)
        if (!Save("caust" + std::to_string(frame) + ".tga",
                  ImageFile::EncodeTGA(SeaPainter::Caustic(frame, CausticFrames, CausticSize),
                                       false)))
            return false;
    return true;
}

bool AssetGenerator::WriteSurfaces()
{
    struct Surface
    {
        const char* name;
        Image (*paint)(int);
        int size;
    };
    const Surface surfaces[] = {
        {"grass.tex", SurfacePainter::Grass, SurfaceSize},
        {"rock.tex", SurfacePainter::Rock, SurfaceSize},
        {"planks.tex", SurfacePainter::Planks, SurfaceSize},
        {"flagstone.tex", SurfacePainter::Flagstones, SurfaceSize},
        {"wall.tex", SurfacePainter::Wall, SurfaceSize},
        {"goldtile.tex", SurfacePainter::GoldTiles, SurfaceSize},
        {"bark.tex", SurfacePainter::Bark, SmallSize},
        {"leaves.tex", SurfacePainter::Leaves, SmallSize},
        {"feather.tex", SurfacePainter::Feathers, SmallSize},
        {"skin.tex", SurfacePainter::Skin, SmallSize},
        {"comb.tex", SurfacePainter::Comb, SmallSize},
        {"eye.tex", SurfacePainter::Eye, SmallSize},
        {"eggshell.tex", SurfacePainter::EggShell, SmallSize},
        {"blood.tex", SurfacePainter::Blood, SmallSize},
    };
    for (const Surface& s : surfaces)
        if (!Save(s.name, ImageFile::EncodeDDS(s.paint(s.size)))) return false;
    return true;
}

bool AssetGenerator::WriteScreens()
{
    return Save("console.tex", ImageFile::EncodeDDS(ScreenPainter::Console(512, 256))) &&
           Save("gui.tex", ImageFile::EncodeDDS(ScreenPainter::Gui(256)));
}

} // namespace assetgen
