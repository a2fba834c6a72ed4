#pragma once
// A 3DS model file into a static mesh's plain data: the first triangle mesh
// of the file, its face-material groups as parts, texture coordinates, and
// the materials with their colours, shininess, transparency and texture
// file names. The file is one flat walk over chunk headers (16-bit id,
// 32-bit length counting the header): the chunks read here are entered by
// reading on, all others are skipped whole. Every step goes to the log.
// Portable.
//
// Within the bytes actually present: a count or a name that runs past the
// end stops the walk there ("Abnormal termination"), a chunk whose length
// is shorter than its header stops it too, and positions, normals and
// texture coordinates are only written to vertices that exist.

#include "graphics/tavMeshData.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class tavByteReader;

class tav3dsReader
{
public:
    // Reads the file (fopen "rb"). False when it cannot be opened; the log
    // then holds "Failed opening .3DS file: " and the name.
    bool Read(const char* path);
    // Walks a file image. Always succeeds with whatever was read before the
    // walk stopped.
    void Parse(const uint8_t* bytes, size_t size);

    tavStaticMeshData mesh; // version 20, bounds computed
    std::vector<std::string> log;

private:
    enum Colour
    {
        NoColour,
        Ambient,
        Diffuse,
        Specular
    };
    enum Percentage
    {
        NoPercentage,
        Shininess,
        Transparency
    };

    // False when the walk ends here.
    bool Chunk(tavByteReader& in, uint16_t id, uint32_t length);
    // False when the walk ends here; `handled` false for an id it does not read.
    bool MeshChunk(tavByteReader& in, uint16_t id, bool& handled);
    // False for an id it does not read.
    bool MaterialChunk(tavByteReader& in, uint16_t id);
    void Vertices(tavByteReader& in);
    void Faces(tavByteReader& in);
    void Group(tavByteReader& in);
    void TextureCoordinates(tavByteReader& in);
    void SetColour(tavByteReader& in);
    void SetPercentage(tavByteReader& in, bool asFloat);
    tavMaterialData* Current();
    void Finish();

    Colour colour = NoColour;
    Percentage percentage = NoPercentage;
    size_t textureSlot = 0;
    int triangleMeshes = 0;
};
