#pragma once
// The engine's one camera: eye, target and up; the view, perspective and
// screen (orthographic) matrices; 3D and 2D set-up on the device; the 3D
// sound listener kept at the eye.

#include <d3dx9.h>

class TAV;

class tavCamera
{
public:
    tavCamera();

    // Stores the engine and reads its screen size.
    void Attach(TAV* engine);
    // Re-reads the screen size (after a device reset).
    void UpdateScreenSize();
    // Perspective from (fov, aspect, near, far); screen projection from
    // (0, width, 0, height, screenNear, screenFar): 2D y grows upward.
    void SetProjection(float nearPlane, float farPlane, float screenNear, float screenFar,
                       float fieldOfView, float aspectRatio);
    // Stores the vectors and builds the view.
    void SetView(const D3DXVECTOR3& position, const D3DXVECTOR3& target, const D3DXVECTOR3& up);
    // 3D set-up: depth and lighting on, view and projection from the stored vectors.
    HRESULT Apply3D();
    // 2D set-up: depth and lighting off, identity view, screen projection.
    HRESULT Begin2D();
    // As Begin2D, but depth writing is left alone.
    HRESULT Set2D();
    void SetWorldTransform(const D3DXMATRIX& world);
    void ResetWorldTransform();
    // Places the 3D sound listener at the eye (once per frame).
    void UpdateListener();

    const D3DXVECTOR3& GetPosition() const { return position; }
    const D3DXVECTOR3& GetTarget() const { return target; }

private:
    void BuildView(bool full);
    IDirect3DDevice9* Device() const;

    TAV* engine;
    D3DXVECTOR3 target;
    D3DXVECTOR3 position;
    D3DXVECTOR3 up;
    D3DXVECTOR3 side;
    D3DXVECTOR3 velocity;
    float fieldOfView;
    float aspect;
    float nearPlane;
    float farPlane;
    float screenWidth;
    float screenHeight;
    int cursorCentreX;
    int cursorCentreY;
    D3DXMATRIX viewProjection;
    D3DXMATRIX inverseViewProjection;
    D3DXMATRIX projection;
    D3DXMATRIX screenProjection;
    D3DXMATRIX view;
    D3DVIEWPORT9 viewport;
};
