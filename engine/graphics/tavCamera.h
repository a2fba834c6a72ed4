#pragma once
// The engine's one camera: eye, target and up; the view, perspective and
// screen (orthographic) matrices; 3D and 2D set-up on the device; the 3D
// sound listener kept at the eye; free-flight movement, mouse look with
// pitch limits, collision of the eye with triangles, visibility tests and
// projection to and from the screen.
//
// Vectors are in Direct3D's left-handed world space, angles in radians.
// "Direction" is always target - position, not normalised. The vectors are
// undefined until SetView (or SetPosition, SetTarget and SetUp).

#include <d3dx9.h>

class TAV;

class tavCamera
{
public:
    tavCamera();

    // Stores the engine and reads its screen size.
    void Attach(TAV* engine);
    // Re-reads the screen size and cursor centre (after a device reset; the
    // screen projection follows at the next SetProjection).
    void UpdateScreenSize();
    // Perspective from (fov, aspect, near, far); screen projection from
    // (0, width, 0, height, screenNear, screenFar): 2D y grows upward.
    void SetProjection(float nearPlane, float farPlane, float screenNear, float screenFar,
                       float fieldOfView, float aspectRatio);
    // Stores the vectors and builds the view (depth on; lighting untouched).
    void SetView(const D3DXVECTOR3& position, const D3DXVECTOR3& target, const D3DXVECTOR3& up);
    // 3D set-up: depth and lighting on, view and projection from the stored
    // vectors; refreshes the side vector and moves the follower to the eye.
    HRESULT Apply3D();
    // 2D set-up for overlays: depth and lighting off, identity view, screen
    // projection. E_FAIL when the viewport cannot be read.
    HRESULT Begin2D();
    // As Begin2D, but depth writing is left alone.
    HRESULT Set2D();
    void SetWorldTransform(const D3DXMATRIX& world);
    void ResetWorldTransform();

    // ---- Vectors (no matrix is rebuilt until the next set-up) ----
    void SetPosition(const D3DXVECTOR3& v) { position = v; }
    void SetPosition(float x, float y, float z) { position = D3DXVECTOR3(x, y, z); }
    void SetTarget(const D3DXVECTOR3& v) { target = v; }
    void SetTarget(float x, float y, float z) { target = D3DXVECTOR3(x, y, z); }
    void SetUp(const D3DXVECTOR3& v) { up = v; }
    void SetUp(float x, float y, float z) { up = D3DXVECTOR3(x, y, z); }
    void SetVelocity(const D3DXVECTOR3& v) { velocity = v; }
    void SetVelocity(float x, float y, float z) { velocity = D3DXVECTOR3(x, y, z); }
    void GetPosition(D3DXVECTOR3& out) const { out = position; }
    void GetTarget(D3DXVECTOR3& out) const { out = target; }
    // Movement summed since the last UpdateListener.
    void GetVelocity(D3DXVECTOR3& out) const { out = velocity; }
    // normalize(direction x up) as of the last Apply3D.
    void GetSide(D3DXVECTOR3& out) const { out = side; }
    // normalize(direction x up) as of the last MouseLook that pitched.
    void GetPitchAxis(D3DXVECTOR3& out) const { out = pitchAxis; }
    void GetDirection(D3DXVECTOR3& out) const { out = target - position; }
    const D3DXVECTOR3& GetPosition() const { return position; }
    const D3DXVECTOR3& GetTarget() const { return target; }

    void GetView(D3DXMATRIX& out) const { out = view; }
    void GetProjection(D3DXMATRIX& out) const { out = projection; }
    void GetInverseViewProjection(D3DXMATRIX& out) const { out = inverseViewProjection; }
    // The field only: the matrix changes at the next SetProjection.
    void SetFieldOfView(float radians) { fieldOfView = radians; }
    float GetFieldOfView() const { return fieldOfView; }
    void SetCollisionRadius(float radius) { collisionRadius = radius; }
    float GetCollisionRadius() const { return collisionRadius; }
    // MouseLook keeps the pitch strictly between them (default +-1.2).
    void SetPitchLimits(float upper, float lower);
    float GetLastPitchStep() const { return lastPitchStep; }
    // The heading measured by the last MouseLook that had movement.
    float GetYaw() const { return yaw; }

    // The angle of the direction above the horizontal (negative below).
    float GetPitch() const;
    // The heading of the direction from +z (negative toward -x).
    float MeasureYaw() const;

    // ---- Movement: speed x the frame time; eye, target and velocity move
    // together, so the view direction never changes ----
    // Along the direction, 20 units per unit of speed.
    void MoveForward(float speed);
    // Along the direction flattened to the ground, 20 units per speed.
    void Walk(float speed);
    // Along the side vector (its y ignored), 10 units per speed.
    void Strafe(float speed);
    // Straight up (down for a negative speed).
    void MoveUp(float speed);
    // Turns the target about the eye by `angle` around a unit axis
    // (quaternion rotation matrix).
    void RotateTarget(float angle, float axisX, float axisY, float axisZ);
    // The same turn through the explicit axis-angle formula.
    void RotateTargetAxisAngle(float angle, float axisX, float axisY, float axisZ);

    // Turns with this frame's mouse movement from the input system: yaw
    // about +y always, pitch only while it stays strictly inside the
    // limits. No movement changes nothing at all. The cursor is not moved
    // (see CenterCursor).
    void MouseLook(float sensitivity);
    // MouseLook with the movement given (mouse units).
    void Look(float dx, float dy, float sensitivity);
    // The system cursor to the middle of the screen.
    void CenterCursor() const;

    // Pushes the eye's sphere (collision radius) out of the triangles
    // (vertexCount / 3 triangles of xyz float triples); target moves with
    // it. True when any triangle was touched.
    bool Collide(const float* vertices, unsigned vertexCount);

    // Against the view-projection of the last view build.
    bool IsPointVisible(const D3DXVECTOR3& point) const;
    bool IsSphereVisible(const D3DXVECTOR3& centre, float radius) const;
    // `sphere`: centre x, y, z and radius.
    bool IsSphereVisible(const float* sphere) const;
    // World to screen pixels (and back) with the last viewport, projection
    // and view, and an identity world.
    void ProjectToScreen(D3DXVECTOR3& out, const D3DXVECTOR3& in) const;
    void UnprojectFromScreen(D3DXVECTOR3& out, const D3DXVECTOR3& in) const;

    // Once per frame: the 3D sound listener (if any) takes the eye, the
    // summed movement and the orientation; the movement is then cleared.
    void UpdateListener();

    // A world matrix kept at the eye (the game's sky box): set to a
    // translation to the eye now and at every view build. Null: none.
    void SetFollower(D3DXMATRIX* followerWorld);
    void UpdateFollower();

    // "=== Camera Position ===" and the eye, yaw, pitch and limits, into
    // the console.
    void ReportPosition();

private:
    void BuildView(bool full);
    void Move(const D3DXVECTOR3& displacement);
    IDirect3DDevice9* Device() const;

    TAV* engine;
    D3DXMATRIX* follower;
    D3DXVECTOR3 target;
    D3DXVECTOR3 position;
    D3DXVECTOR3 up;
    D3DXVECTOR3 side;
    D3DXVECTOR3 pitchAxis;
    D3DXVECTOR3 velocity;
    float fieldOfView;
    float aspect;
    float nearPlane;
    float farPlane;
    float collisionRadius;
    float lastPitchStep;
    float yaw;
    float screenWidth;
    float screenHeight;
    float pitchUpper;
    float pitchLower;
    int cursorCentreX;
    int cursorCentreY;
    D3DXMATRIX viewProjection;
    D3DXMATRIX inverseViewProjection;
    D3DXMATRIX projection;
    D3DXMATRIX screenProjection;
    D3DXMATRIX view;
    D3DVIEWPORT9 viewport;
};
