#pragma once
// The engine's own mesh files, read from and written to plain data: the
// static mesh file (version 20) in its two section orders and the dynamic
// mesh file ("EDM", version 396). Every count is checked against the bytes
// that really follow it before anything is allocated for it, so a damaged
// file is refused instead of read past or blown up. Portable.

#include "graphics/tavMeshData.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class tavMeshFileResult
{
    Ok,
    CannotOpen,   // the file is missing or unreadable
    WrongVersion, // the first word is not the format's version
    Damaged,      // cut short, or a count larger than the file allows
};

class tavMeshFile
{
public:
    static constexpr uint16_t StaticVersion = 20;
    static constexpr uint16_t DynamicVersion = 396;
    // Bones nested deeper than this are refused (each level is a recursion
    // of the reader and of every walk over the tree).
    static constexpr int MaxBoneDepth = 64;

    // Which static section order: tavStaticMesh's (parts, materials, then
    // the bounding volumes) or tavSimpleStaticMesh's (materials, then parts,
    // no bounding volumes). The file itself does not say.
    enum Order
    {
        WithBounds,
        Simple,
    };

    // On any result but Ok, `out` is left empty (version 0) and `why` (when
    // given) says what was wrong, in a few words.
    static tavMeshFileResult ParseStatic(const uint8_t* bytes, size_t size, Order order,
                                         tavStaticMeshData& out, std::string* why);
    static tavMeshFileResult ParseDynamic(const uint8_t* bytes, size_t size,
                                          tavDynamicMeshData& out, std::string* why);
    static tavMeshFileResult LoadStatic(const char* path, Order order, tavStaticMeshData& out,
                                        std::string* why);
    static tavMeshFileResult LoadDynamic(const char* path, tavDynamicMeshData& out,
                                         std::string* why);

    // The file image of the data, exactly what the parser reads back. The
    // counts are the sizes of the data's arrays; the version is the format's.
    static std::vector<uint8_t> WriteStatic(const tavStaticMeshData& data, Order order);
    static std::vector<uint8_t> WriteDynamic(const tavDynamicMeshData& data);
};
