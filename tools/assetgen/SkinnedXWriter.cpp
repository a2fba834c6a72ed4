#include "SkinnedXWriter.h"

#include "XFileWriter.h"

#include <cmath>

namespace assetgen
{

namespace
{

const char* const SkinTemplates =
    "template XSkinMeshHeader {\n"
    " <3CF169CE-FF7C-44ab-93C0-F78F62D172E2>\n"
    " WORD nMaxSkinWeightsPerVertex;\n"
    " WORD nMaxSkinWeightsPerFace;\n"
    " WORD nBones;\n"
    "}\n\n"
    "template VertexDuplicationIndices {\n"
    " <B8D65549-D7C9-4995-89CF-53A9A8B031E3>\n"
    " DWORD nIndices;\n"
    " DWORD nOriginalVertices;\n"
    " array DWORD indices[nIndices];\n"
    "}\n\n"
    "template SkinWeights {\n"
    " <6F0D123B-BAD2-4167-A0D0-80224F25FABB>\n"
    " STRING transformNodeName;\n"
    " DWORD nWeights;\n"
    " array DWORD vertexIndices[nWeights];\n"
    " array FLOAT weights[nWeights];\n"
    " Matrix4x4 matrixOffset;\n"
    "}\n\n"
    "template AnimTicksPerSecond {\n"
    " <9E415A43-7BA6-4a73-8743-B73D47E88476>\n"
    " DWORD AnimTicksPerSecond;\n"
    "}\n\n";

std::string Pad(int depth)
{
    return std::string(size_t(depth), ' ');
}

// A translation matrix, row-major, as a .x Matrix4x4.
std::string Translation(const Vec3& t)
{
    const float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, t.x, t.y, t.z, 1};
    std::string out;
    for (int i = 0; i < 16; ++i)
        out += XFileWriter::Float(m[i]) + (i < 15 ? "," : ";;");
    return out;
}

std::string KeyValues(const std::vector<float>& values)
{
    std::string out = std::to_string(values.size()) + ";";
    for (size_t i = 0; i < values.size(); ++i)
        out += XFileWriter::Float(values[i]) + (i + 1 < values.size() ? "," : ";;");
    return out;
}

} // namespace

void SkinnedXWriter::AppendFrame(std::string& out, const SkinnedModel& model, int bone, int depth)
{
    const std::string pad = Pad(depth);
    out += pad + "Frame " + model.bones[size_t(bone)].name + " {\n";
    out += pad + " FrameTransformMatrix {\n" + pad + "  " +
           Translation(model.LocalOffset(size_t(bone))) + "\n" + pad + " }\n";
    for (size_t child = 0; child < model.bones.size(); ++child)
        if (model.bones[child].parent == bone)
            AppendFrame(out, model, int(child), depth + 1);
    out += pad + "}\n";
}

void SkinnedXWriter::AppendSkin(std::string& out, const SkinnedModel& model)
{
    out += " XSkinMeshHeader {\n  " + std::to_string(model.MaxWeightsPerVertex()) + ";\n  " +
           std::to_string(model.MaxWeightsPerFace()) + ";\n  " +
           std::to_string(model.bones.size()) + ";\n }\n";
    for (const RigBone& bone : model.bones) {
        out += " SkinWeights {\n  \"" + bone.name + "\";\n  " +
               std::to_string(bone.vertices.size()) + ";\n";
        for (size_t i = 0; i < bone.vertices.size(); ++i)
            out += "  " + std::to_string(bone.vertices[i]) +
                   (i + 1 < bone.vertices.size() ? ",\n" : ";\n");
        for (size_t i = 0; i < bone.weights.size(); ++i)
            out += "  " + XFileWriter::Float(bone.weights[i]) +
                   (i + 1 < bone.weights.size() ? ",\n" : ";\n");
        // The offset takes the mesh from model space into the bone's.
        out += "  " + Translation({-bone.pivot.x, -bone.pivot.y, -bone.pivot.z}) + "\n }\n";
    }
}

void SkinnedXWriter::AppendAnimation(std::string& out, const RigTrack& track)
{
    out += " Animation {\n  {" + track.bone + "}\n";
    const char* types[3] = {"0", "1", "2"};
    for (int type = 0; type < 3; ++type) {
        out += "  AnimationKey {\n   " + std::string(types[type]) + ";\n   " +
               std::to_string(track.keys.size()) + ";\n";
        for (size_t k = 0; k < track.keys.size(); ++k) {
            const RigKey& key = track.keys[k];
            std::vector<float> values;
            if (type == 0) // rotation about x, w first
                values = {std::cos(key.pitch * 0.5f), std::sin(key.pitch * 0.5f), 0.0f, 0.0f};
            else if (type == 1)
                values = {1.0f, 1.0f, 1.0f};
            else
                values = {key.translation.x, key.translation.y, key.translation.z};
            out += "   " + std::to_string(key.time) + ";" + KeyValues(values) +
                   (k + 1 < track.keys.size() ? ",\n" : ";\n");
        }
        out += "  }\n";
    }
    out += " }\n";
}

std::string SkinnedXWriter::ToText(const SkinnedModel& model, const std::string& meshName,
                                   const std::string& animationName)
{
    std::string out = "xof 0303txt 0032\n\n";
    out += SkinTemplates;
    out += "AnimTicksPerSecond {\n " + std::to_string(model.ticksPerSecond) + ";\n}\n\n";
    out += "Frame Root {\n FrameTransformMatrix {\n  " + Translation({0, 0, 0}) + "\n }\n";

    // The plain mesh text, its closing brace replaced by the skin.
    std::string mesh = XFileWriter::ToText(model.mesh, meshName);
    mesh = mesh.substr(mesh.find("Mesh "));
    mesh.resize(mesh.rfind('}'));
    out += mesh;
    AppendSkin(out, model);
    out += "}\n";

    for (size_t b = 0; b < model.bones.size(); ++b)
        if (model.bones[b].parent < 0)
            AppendFrame(out, model, int(b), 1);
    out += "}\n\nAnimationSet " + animationName + " {\n";
    for (const RigTrack& track : model.walk)
        AppendAnimation(out, track);
    out += "}\n";
    return out;
}

} // namespace assetgen
