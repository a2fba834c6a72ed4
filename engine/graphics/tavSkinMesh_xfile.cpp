// The keyframes of a skinned mesh's file, read through ID3DXFile for the
// mesh's own sampling when the platform returned no animation controller.
#include "graphics/tavSkinMesh.h"

#include "core/TAV.h"

#include <d3dx9xof.h>

#include <string>

namespace
{

// The templates a skinned mesh's file uses, as the .x format defines them.
const char Templates[] =
    "xof 0303txt 0032\n"
    "template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }\n"
    "template Coords2d { <F6F23F44-7686-11cf-8F52-0040333594A3> FLOAT u; FLOAT v; }\n"
    "template Matrix4x4 { <F6F23F45-7686-11cf-8F52-0040333594A3> array FLOAT matrix[16]; }\n"
    "template ColorRGBA { <35FF44E0-6C7C-11cf-8F52-0040333594A3> FLOAT red; FLOAT green; "
    "FLOAT blue; FLOAT alpha; }\n"
    "template ColorRGB { <D3E16E81-7835-11cf-8F52-0040333594A3> FLOAT red; FLOAT green; "
    "FLOAT blue; }\n"
    "template TextureFilename { <A42790E1-7810-11cf-8F52-0040333594A3> STRING filename; }\n"
    "template Material { <3D82AB4D-62DA-11cf-AB39-0020AF71E433> ColorRGBA faceColor; "
    "FLOAT power; ColorRGB specularColor; ColorRGB emissiveColor; [...] }\n"
    "template MeshFace { <3D82AB5F-62DA-11cf-AB39-0020AF71E433> DWORD nFaceVertexIndices; "
    "array DWORD faceVertexIndices[nFaceVertexIndices]; }\n"
    "template MeshTextureCoords { <F6F23F40-7686-11cf-8F52-0040333594A3> DWORD nTextureCoords; "
    "array Coords2d textureCoords[nTextureCoords]; }\n"
    "template MeshMaterialList { <F6F23F42-7686-11cf-8F52-0040333594A3> DWORD nMaterials; "
    "DWORD nFaceIndexes; array DWORD faceIndexes[nFaceIndexes]; "
    "[Material <3D82AB4D-62DA-11cf-AB39-0020AF71E433>] }\n"
    "template MeshNormals { <F6F23F43-7686-11cf-8F52-0040333594A3> DWORD nNormals; "
    "array Vector normals[nNormals]; DWORD nFaceNormals; array MeshFace faceNormals[nFaceNormals]; }\n"
    "template Mesh { <3D82AB44-62DA-11cf-AB39-0020AF71E433> DWORD nVertices; "
    "array Vector vertices[nVertices]; DWORD nFaces; array MeshFace faces[nFaces]; [...] }\n"
    "template FrameTransformMatrix { <F6F23F41-7686-11cf-8F52-0040333594A3> "
    "Matrix4x4 frameMatrix; }\n"
    "template Frame { <3D82AB46-62DA-11cf-AB39-0020AF71E433> [...] }\n"
    "template FloatKeys { <10DD46A9-775B-11cf-8F52-0040333594A3> DWORD nValues; "
    "array FLOAT values[nValues]; }\n"
    "template TimedFloatKeys { <F406B180-7B3B-11cf-8F52-0040333594A3> DWORD time; "
    "FloatKeys tfkeys; }\n"
    "template AnimationKey { <10DD46A8-775B-11cf-8F52-0040333594A3> DWORD keyType; "
    "DWORD nKeys; array TimedFloatKeys keys[nKeys]; }\n"
    "template AnimationOptions { <E2BF56C0-840F-11cf-8F52-0040333594A3> DWORD openclosed; "
    "DWORD positionquality; }\n"
    "template Animation { <3D82AB4F-62DA-11cf-AB39-0020AF71E433> [...] }\n"
    "template AnimationSet { <3D82AB50-62DA-11cf-AB39-0020AF71E433> "
    "[Animation <3D82AB4F-62DA-11cf-AB39-0020AF71E433>] }\n"
    "template XSkinMeshHeader { <3CF169CE-FF7C-44ab-93C0-F78F62D172E2> "
    "WORD nMaxSkinWeightsPerVertex; WORD nMaxSkinWeightsPerFace; WORD nBones; }\n"
    "template VertexDuplicationIndices { <B8D65549-D7C9-4995-89CF-53A9A8B031E3> "
    "DWORD nIndices; DWORD nOriginalVertices; array DWORD indices[nIndices]; }\n"
    "template SkinWeights { <6F0D123B-BAD2-4167-A0D0-80224F25FABB> "
    "STRING transformNodeName; DWORD nWeights; array DWORD vertexIndices[nWeights]; "
    "array FLOAT weights[nWeights]; Matrix4x4 matrixOffset; }\n"
    "template AnimTicksPerSecond { <9E415A43-7BA6-4a73-8743-B73D47E88476> "
    "DWORD AnimTicksPerSecond; }\n";

const GUID AnimationSetType = {0x3D82AB50, 0x62DA, 0x11cf, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
const GUID AnimationType = {0x3D82AB4F, 0x62DA, 0x11cf, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
const GUID AnimationKeyType = {0x10DD46A8, 0x775B, 0x11cf, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
const GUID TicksPerSecondType = {0x9E415A43, 0x7BA6, 0x4a73, {0x87, 0x43, 0xB7, 0x3D, 0x47, 0xE8, 0x84, 0x76}};

std::string NameOf(ID3DXFileData* data)
{
    SIZE_T size = 0;
    if (FAILED(data->GetName(nullptr, &size)) || size == 0)
        return std::string();
    std::string name(size, '\0');
    if (FAILED(data->GetName(&name[0], &size)))
        return std::string();
    name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
    return name;
}

GUID TypeOf(ID3DXFileData* data)
{
    GUID type = GUID_NULL;
    data->GetType(&type);
    return type;
}

// One Animation: the frame it moves (a reference, or a frame's name given
// inside it) and its key records.
bool ReadAnimation(ID3DXFileData* animation, tavAnimationSet& set, std::string& error)
{
    SIZE_T children = 0;
    animation->GetChildren(&children);
    std::string frame;
    std::vector<ID3DXFileData*> keys;
    for (SIZE_T i = 0; i < children; ++i) {
        ID3DXFileData* child = nullptr;
        if (FAILED(animation->GetChild(i, &child)))
            continue;
        if (TypeOf(child) == AnimationKeyType) {
            keys.push_back(child);
            continue;
        }
        if (child->IsReference() || frame.empty())
            frame = NameOf(child);
        child->Release();
    }
    bool ok = !frame.empty();
    if (!ok)
        error = "an animation names no frame";
    tavAnimationSet::Track* track = ok ? &set.TrackFor(frame) : nullptr;
    for (ID3DXFileData* key : keys) {
        SIZE_T size = 0;
        const void* bytes = nullptr;
        if (ok && SUCCEEDED(key->Lock(&size, &bytes))) {
            ok = tavAnimationSet::ReadKeys(static_cast<const uint8_t*>(bytes), size, *track, error);
            key->Unlock();
        }
        key->Release();
    }
    return ok;
}

} // namespace

void tavSkinMesh::ReadOwnAnimation(const char* fileName)
{
    ID3DXFile* file = nullptr;
    ID3DXFileEnumObject* objects = nullptr;
    HRESULT hr = D3DXFileCreate(&file);
    if (SUCCEEDED(hr))
        hr = file->RegisterTemplates(Templates, sizeof Templates - 1);
    if (SUCCEEDED(hr))
        hr = file->CreateEnumObject(fileName, D3DXF_FILELOAD_FROMFILE, &objects);
    if (FAILED(hr)) {
        engine->tavLog::Printf("tavSkinMesh: the keyframes of %s could not be read (0x%08lX)", fileName,
                       static_cast<unsigned long>(hr));
        if (file)
            file->Release();
        return;
    }

    tavAnimationSet* set = nullptr;
    double ticksPerSecond = tavAnimationSet::DefaultTicksPerSecond;
    std::string error;
    SIZE_T count = 0;
    objects->GetChildren(&count);
    for (SIZE_T i = 0; i < count && error.empty(); ++i) {
        ID3DXFileData* object = nullptr;
        if (FAILED(objects->GetChild(i, &object)))
            continue;
        const GUID type = TypeOf(object);
        SIZE_T size = 0;
        const void* bytes = nullptr;
        if (type == TicksPerSecondType && SUCCEEDED(object->Lock(&size, &bytes))) {
            if (size >= sizeof(DWORD))
                ticksPerSecond = *static_cast<const DWORD*>(bytes);
            object->Unlock();
        } else if (type == AnimationSetType && !set) {
            // The first set is the one that plays.
            set = new tavAnimationSet(NameOf(object));
            SIZE_T animations = 0;
            object->GetChildren(&animations);
            for (SIZE_T a = 0; a < animations && error.empty(); ++a) {
                ID3DXFileData* animation = nullptr;
                if (FAILED(object->GetChild(a, &animation)))
                    continue;
                if (TypeOf(animation) == AnimationType)
                    ReadAnimation(animation, *set, error);
                animation->Release();
            }
        }
        object->Release();
    }
    objects->Release();
    file->Release();

    if (!error.empty()) {
        engine->tavLog::Printf("tavSkinMesh: the keyframes of %s are damaged: %s", fileName, error.c_str());
        delete set;
        return;
    }
    if (!set)
        return; // a mesh without animation
    set->SetTicksPerSecond(ticksPerSecond);
    ownAnimation = set;
    LogOnce(loggedOwnAnimation, "tavSkinMesh: the platform gave no animation controller; the "
                                "engine samples the file's keyframes itself");
    ApplyOwnAnimation();
    UpdateFrameMatrices(rootFrame, nullptr);
}
