#pragma once
// OBJ text into a static mesh's plain data. One vertex per "v" line; the
// n-th "vt" and "vn" lines give the n-th vertex its texture coordinates and
// normal; "usemtl" names make one material each (first use creates it);
// every face goes into the one part, drawn with material 0. Other lines are
// ignored, "mtllib" included. Portable.
//
// Lines are taken 255 characters at a time, as a 256-byte fgets reads them
// (a longer line goes on as a line of its own). A face corner is the first
// number of its group ("7", "7/1", "7//2", "7/1/2"); negative numbers count
// back from the last vertex read. Three corners make one triangle; four
// make the triangles a, b, c and c, b, d; more are fanned from the first
// corner. A face naming a vertex that is not there (0, past the vertices
// read so far, or past the reach of 16-bit indices) is skipped whole.

#include "graphics/tavMeshData.h"

#include <cstddef>
#include <string>
#include <vector>

class tavObjReader
{
public:
    // Reads the whole file (fopen; carriage returns count as white space,
    // as in text mode). False when it cannot be opened; the log
    // then holds "Failed opening .OBJ file: " and the name.
    bool Read(const char* path);
    // Parses a file image. Always succeeds: lines that mean nothing are
    // ignored.
    void Parse(const char* text, size_t size);

    tavStaticMeshData mesh;       // version 20, one part, bounds computed
    std::vector<std::string> log; // the import's log lines, in order
    size_t skippedFaces = 0;

private:
    void Line(const char* p, const char* end);
    void Face(const char* p, const char* end);
    void UseMaterial(const std::string& name);
    void Finish();

    size_t texCoordLines = 0;
    size_t normalLines = 0;
    std::vector<uint32_t> corners;
};
