// The camera's matrices, device set-up, sound listener, follower and report.
#include "graphics/tavCamera.h"

#include "core/TAV.h"

namespace
{
const D3DCOLOR ReportColour = 0xFFFFFFB8;
const float DegreesPerRadian = 57.29578f;
} // namespace

tavCamera::tavCamera()
    : engine(nullptr), follower(nullptr), target(0, 0, 0), position(0, 0, 0), up(0, 1, 0),
      side(0, 0, 0), pitchAxis(0, 0, 0), velocity(0, 0, 0), fieldOfView(3.14159274f), aspect(0.75f),
      nearPlane(0.0f), farPlane(1.0f), collisionRadius(1.0f), lastPitchStep(0), yaw(0),
      screenWidth(0), screenHeight(0), pitchUpper(1.2f), pitchLower(-1.2f), cursorCentreX(0),
      cursorCentreY(0), viewport()
{
    D3DXMatrixIdentity(&viewProjection);
    D3DXMatrixIdentity(&inverseViewProjection);
    D3DXMatrixIdentity(&projection);
    D3DXMatrixIdentity(&screenProjection);
    D3DXMatrixIdentity(&view);
}

IDirect3DDevice9* tavCamera::Device() const
{
    return engine ? engine->GetDevice() : nullptr;
}

void tavCamera::Attach(TAV* e)
{
    engine = e;
    UpdateScreenSize();
}

void tavCamera::UpdateScreenSize()
{
    if (!engine) return;
    screenWidth = engine->GetWidth();
    screenHeight = engine->GetHeight();
    cursorCentreX = int(screenWidth * 0.5f);
    cursorCentreY = int(0.5f * screenHeight);
}

void tavCamera::SetProjection(float nearZ, float farZ, float screenNear, float screenFar, float fov,
                              float aspectRatio)
{
    fieldOfView = fov;
    aspect = aspectRatio;
    nearPlane = nearZ;
    farPlane = farZ;
    D3DXMatrixPerspectiveFovLH(&projection, fov, aspectRatio, nearZ, farZ);
    D3DXMatrixOrthoOffCenterLH(&screenProjection, 0.0f, screenWidth, 0.0f, screenHeight, screenNear,
                               screenFar);
}

void tavCamera::SetPitchLimits(float upper, float lower)
{
    pitchUpper = upper;
    pitchLower = lower;
}

void tavCamera::SetView(const D3DXVECTOR3& p, const D3DXVECTOR3& t, const D3DXVECTOR3& u)
{
    position = p;
    target = t;
    up = u;
    BuildView(false);
}

HRESULT tavCamera::Apply3D()
{
    BuildView(true);
    return S_OK;
}

// The view build shared by SetView and (full) Apply3D.
void tavCamera::BuildView(bool full)
{
    IDirect3DDevice9* device = Device();
    // 1.
    if (device && full)
    {
        device->SetRenderState(D3DRS_ZENABLE, TRUE);
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
    }
    // 2.
    D3DXMatrixLookAtLH(&view, &position, &target, &up);
    if (device)
    {
        device->SetTransform(D3DTS_VIEW, &view);
        device->SetTransform(D3DTS_PROJECTION, &projection);
    }
    // 3.
    if (full)
    {
        const D3DXVECTOR3 direction = target - position;
        D3DXVec3Cross(&side, &direction, &up);
        D3DXVec3Normalize(&side, &side);
    }
    // 4.
    UpdateFollower();
    // 5.
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
    D3DXMatrixInverse(&inverseViewProjection, nullptr, &viewProjection);
    // 6-7.
    if (device)
    {
        engine->SetZ(true);
        device->GetViewport(&viewport);
    }
}

HRESULT tavCamera::Set2D()
{
    IDirect3DDevice9* device = Device();
    if (!device) return E_FAIL;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTransform(D3DTS_VIEW, &identity);
    device->SetTransform(D3DTS_PROJECTION, &screenProjection);
    device->GetViewport(&viewport);
    return S_OK;
}

HRESULT tavCamera::Begin2D()
{
    if (FAILED(Set2D())) return E_FAIL;
    engine->SetZ(false);
    return FAILED(Device()->GetViewport(&viewport)) ? E_FAIL : S_OK;
}

void tavCamera::SetWorldTransform(const D3DXMATRIX& world)
{
    if (IDirect3DDevice9* device = Device()) device->SetTransform(D3DTS_WORLD, &world);
}

void tavCamera::ResetWorldTransform()
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    SetWorldTransform(identity);
}

void tavCamera::UpdateListener()
{
    if (IDirectSound3DListener* listener = engine ? engine->GetListener() : nullptr)
    {
        D3DXVECTOR3 front = target - position;
        D3DXVec3Normalize(&front, &front);
        listener->SetPosition(position.x, position.y, position.z, DS3D_DEFERRED);
        listener->SetVelocity(velocity.x, velocity.y, velocity.z, DS3D_DEFERRED);
        listener->SetOrientation(front.x, front.y, front.z, up.x, up.y, up.z, DS3D_DEFERRED);
        listener->CommitDeferredSettings();
    }
    // One frame's displacement was reported; the next frame starts from rest.
    velocity = D3DXVECTOR3(0, 0, 0);
}

void tavCamera::SetFollower(D3DXMATRIX* followerWorld)
{
    follower = followerWorld;
    UpdateFollower();
}

void tavCamera::UpdateFollower()
{
    if (follower) D3DXMatrixTranslation(follower, position.x, position.y, position.z);
}

void tavCamera::ReportPosition()
{
    if (!engine) return;
    tavConsole& console = *engine;
    const float pitch = GetPitch();
    console.Printf(ReportColour, "=== Camera Position ===");
    console.Printf(ReportColour, "Position: (%.3f, %.3f, %.3f)", position.x, position.y,
                   position.z);
    console.Printf(ReportColour, "Angle Y: %.3fr / %.3f*", yaw, yaw * DegreesPerRadian);
    console.Printf(ReportColour, "Angle X: %.3fr / %.3f*", pitch, pitch * DegreesPerRadian);
    console.Printf(ReportColour, "Limit X: Lower: %.4f, Upper: %.4f", pitchLower, pitchUpper);
    console.Print("", ReportColour);
    console.Print("", ReportColour);
}
