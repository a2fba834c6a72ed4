#pragma once
// A textured cube of half-size 2 drawn around the eye before anything else,
// with depth writes off, so everything later draws over it. Six textures,
// one per face; it may turn slowly about the vertical axis.

#include "graphics/tavPrimitiveBuffer.h"

#include <d3dx9.h>

#include <string>

class TAV;

class tavSkyBox
{
public:
    enum Face
    {
        Front = 0, // +z
        Bottom = 1,
        Back = 2, // -z
        Top = 3,
        Left = 4,  // -x
        Right = 5, // +x
        FaceCount = 6
    };

    // Builds the 24 vertices (four per face, normals pointing inwards) into
    // its buffer; without a device the box never draws.
    explicit tavSkyBox(TAV* engine);

    // Radians per second about the vertical axis (0: still).
    void SetRotationSpeed(float radiansPerSecond) { rotationSpeed = radiansPerSecond; }
    // Loads the six face textures: `pattern` with "%d" replaced by 0 to 5
    // ("%%" gives "%"; nothing else in it is special), no mip-maps, no
    // filtering. A face whose file fails keeps -1 and draws untextured.
    void Load(const char* pattern);
    // Centres the box at (x, y, z); the camera keeps it at the eye.
    void SetPosition(float x, float y, float z);
    // Turns by the frame's share of the rotation, then draws the six faces
    // (the bottom only if `drawBottom`). Leaves alpha blending, lighting and
    // depth writes on, sampler 0 wrapping, with the configured filters.
    void Render(bool drawBottom);

    int GetFaceTexture(int face) const;
    float GetAngle() const { return angle; }
    const D3DXMATRIX& GetTransform() const { return transform; }
    // The box's placement, for the camera to keep at the eye
    // (tavCamera::SetFollower); writing a translation here is SetPosition.
    D3DXMATRIX* GetFollowerMatrix() { return &transform; }
    // The face buffer (its texture is the last face's drawn).
    const tavPrimitiveBuffer& GetFaces() const { return faces; }

    // The file name of one face: `pattern` with "%d" replaced by `face`.
    static std::string FaceFileName(const char* pattern, int face);

private:
    void SetSkyStates(IDirect3DDevice9* device);
    void RestoreStates(IDirect3DDevice9* device);

    TAV* engine;
    D3DXMATRIX transform;
    tavPrimitiveBuffer faces;
    int faceTexture[FaceCount];
    float angle;         // radians
    float rotationSpeed; // radians per second
};
