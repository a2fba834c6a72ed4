#pragma once
// Little-endian field readers and writers shared by the mesh file formats,
// and whole-file reads and writes through C stdio. A reader never looks past
// its image: a field that does not fit fails the reader, and every later
// read fails too. Portable.

#include "graphics/tavMeshData.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class tavByteReader
{
public:
    tavByteReader(const uint8_t* bytes, size_t size) : bytes(bytes), size(size) {}

    bool Ok() const { return ok; }
    size_t Remaining() const { return ok ? size - at : 0; }
    size_t Offset() const { return at; }
    // False (and the reader failed) unless `count` items of `itemSize` bytes
    // still follow: a count from the file is checked with it before anything
    // is allocated for it.
    bool Has(uint64_t count, uint64_t itemSize);

    uint16_t U16();
    uint32_t U32();
    float F32();
    void Bytes(void* out, size_t n);
    std::string Text(size_t n);
    void Skip(size_t n);
    // Up to and without the next 0 byte, which is passed; fails without one.
    std::string ZeroTerminated();

    void Vertices(std::vector<tavMeshVertex>& out, uint32_t count);
    void Indices(std::vector<uint16_t>& out, uint32_t count);
    tavMeshPart Part();
    // One material block: colours, power and the texture list (L = 0 or
    // L >= 64 ends it; names past the eighth are read and dropped).
    tavMaterialData Material();
    void Bounds(tavMeshBounds& out, bool withBox);

private:
    const uint8_t* bytes;
    size_t size;
    size_t at = 0;
    bool ok = true;
};

class tavByteWriter
{
public:
    std::vector<uint8_t> bytes;

    void U16(uint16_t v);
    void U32(uint32_t v);
    void F32(float v);
    void Bytes(const void* p, size_t n);
    void Vertices(const std::vector<tavMeshVertex>& v);
    void Indices(const std::vector<uint16_t>& v);
    void Part(const tavMeshPart& p);
    // Writes at most eight names, as they are (see tavTextureFileName).
    void Material(const tavMaterialData& m);
    void Bounds(const tavMeshBounds& b);
};

// The name a texture is written under: its display name without the
// enclosing quotes and without everything up to the last "/" (or "\").
std::string tavTextureFileName(const std::string& displayName);

// The whole file, read with fopen "rb" and fread. False when it cannot be
// opened or read.
bool tavReadWholeFile(const char* path, std::vector<uint8_t>& out);
// Writes the bytes with fopen "wb" and fwrite. False when it cannot.
bool tavWriteWholeFile(const char* path, const std::vector<uint8_t>& bytes);
