#pragma once
// An animated, skinned character from a .x file: a frame hierarchy whose
// mesh containers carry skin information, and an animation controller that
// moves the frames. D3DX builds the hierarchy through tavHierarchy's four
// callbacks; each skinned container is converted for the chosen skinning
// method and drawn with its bones' matrices.
//
// Where the platform cannot do a step (a conversion or skinning call that
// is not implemented, keyframed animation sets that give no controller, a
// bounding-sphere call known to end the process), the mesh takes its own
// path to the same result and logs once which: skinning on the processor
// from the skin information's bone influences, its own sampling of the
// keyframes read from the file through ID3DXFile, its own sphere of the
// frames' meshes.

#include "graphics/tavAnimationSet.h"
#include "graphics/tavBoundingSphere.h"
#include "graphics/tavMaterial.h"
#include "graphics/tavMeshModel.h"
#include "graphics/tavSoftwareSkin.h"
#include "physics/tavOrientedBox.h"

#include <d3dx9.h>

#include <string>

class TAV;

// A frame of the hierarchy and its matrix combined with all its parents'.
struct tavFrame : public D3DXFRAME
{
    D3DXMATRIX combined;
};

struct tavMeshContainer : public D3DXMESHCONTAINER
{
    ID3DXMesh* sourceMesh;          // unskinned, as loaded (skinned containers)
    tavMaterial* materials;         // NumMaterials of them
    D3DXMATRIX* boneOffsets;        // one per bone
    D3DXMATRIX** boneMatrices;      // the bones' frames' combined matrices
    ID3DXBuffer* boneCombinations;  // attribute (bone combination) table
    DWORD attributeGroups;
    DWORD influences;               // bone influences per vertex (or face)
    DWORD paletteEntries;
    bool softwareProcessing;
    DWORD firstSoftwareGroup;
    D3DXMATRIX* drawMatrices;       // 16-byte aligned, paletteEntries of them
    // The processor's own skinning: the influences, and the mesh it writes.
    tavSoftwareSkin* softwareSkin;
    ID3DXMesh* skinnedMesh;
    bool ownSkinning;
};

class tavSkinMesh : public ID3DXAnimationCallbackHandler
{
public:
    // How GenerateSkinnedMesh converts a skinned mesh.
    enum Method : int
    {
        NonIndexedBlending = 0,
        IndexedBlending = 1,
        Software = 2,
        VertexShader = 3,
        VertexShaderHlsl = 4,
    };

    class tavHierarchy : public ID3DXAllocateHierarchy
    {
    public:
        explicit tavHierarchy(tavSkinMesh* owner) : owner(owner) {}
        STDMETHOD(CreateFrame)(THIS_ const char* name, D3DXFRAME** newFrame) override;
        STDMETHOD(CreateMeshContainer)(THIS_ const char* name, const D3DXMESHDATA* meshData,
                                       const D3DXMATERIAL* materials,
                                       const D3DXEFFECTINSTANCE* effectInstances,
                                       DWORD materialCount, const DWORD* adjacency,
                                       ID3DXSkinInfo* skinInfo,
                                       D3DXMESHCONTAINER** newContainer) override;
        STDMETHOD(DestroyFrame)(THIS_ D3DXFRAME* frame) override;
        STDMETHOD(DestroyMeshContainer)(THIS_ D3DXMESHCONTAINER* container) override;

    private:
        tavSkinMesh* owner;
    };

    explicit tavSkinMesh(TAV* engine);
    virtual ~tavSkinMesh();
    tavSkinMesh(const tavSkinMesh&) = delete;
    tavSkinMesh& operator=(const tavSkinMesh&) = delete;

    // Loads the hierarchy, links every bone to its frame and computes the
    // bounding sphere; the first failing step's HRESULT. A mesh loaded
    // before is released first.
    HRESULT Load(const char* fileName, const char* textureFolder);
    // Advances the animation by the engine's frame time and updates the
    // frames' combined matrices.
    void AdvanceTime();
    // Advances by `seconds` (the engine's frame time in AdvanceTime).
    void AdvanceTimeBy(double seconds);
    STDMETHOD(HandleCallback)(THIS_ UINT track, LPVOID callbackData) override;
    // combined = frame matrix x parent (the frame matrix alone without a
    // parent), then the siblings with the same parent and the children
    // with this combined matrix.
    void UpdateFrameMatrices(D3DXFRAME* frame, const D3DXMATRIX* parent);
    // Draws every mesh container with the current world transform; the
    // face count drawn.
    uint32_t Draw();
    // Converts a skinned container for the skinning method: E_INVALIDARG
    // for a method outside 0 to 4.
    HRESULT GenerateSkinnedMesh(tavMeshContainer* container);
    // Everything released: hierarchy, controller, own animation.
    void Release();

    void SetSkinningMethod(int method) { skinningMethod = method; }
    int GetSkinningMethod() const { return skinningMethod; }
    D3DXFRAME* GetRootFrame() const { return rootFrame; }
    ID3DXAnimationController* GetAnimationController() const { return controller; }
    // The keyframes sampled by the mesh itself when the platform gave no
    // controller; null otherwise.
    const tavAnimationSet* GetOwnAnimation() const { return ownAnimation; }
    const D3DXVECTOR3& GetSphereCentre() const { return sphereCentre; }
    float GetSphereRadius() const { return sphereRadius; }
    const tavBoundingBox& GetBoundingBox() const { return boundingBox; }
    const tavOrientedBox& GetOrientedBox() const { return orientedBox; }
    // The frame of that name, or null.
    tavFrame* FindFrame(const char* name) const;

    // True when the process runs on Wine, whose bounding-sphere call ends it.
    static bool PlatformEndsOnFrameSphere();

private:
    friend class tavHierarchy;

    HRESULT LinkBones(D3DXFRAME* frame);
    HRESULT ComputeBoundingSphere();
    void OwnBoundingSphere(D3DXFRAME* frame, tavBoundingSphere& sphere);
    HRESULT SetUpOwnSkinning(tavMeshContainer* container);
    HRESULT FallBackToOwnSkinning(tavMeshContainer* container, HRESULT platformResult,
                                  const char* call);
    HRESULT ConvertBlended(tavMeshContainer* container);
    HRESULT ConvertIndexed(tavMeshContainer* container);
    HRESULT ConvertForShader(tavMeshContainer* container);
    HRESULT PrepareSoftware(tavMeshContainer* container);
    void ReadOwnAnimation(const char* fileName);
    void ApplyOwnAnimation();
    void SetFrameMatrix(const std::string& name, const tavMatrix4& matrix);
    void DrawFrame(D3DXFRAME* frame, uint32_t& faces);
    void DrawContainer(tavMeshContainer* container, uint32_t& faces);
    void DrawSubsets(tavMeshContainer* container, ID3DXMesh* mesh, uint32_t& faces);
    void DrawBlended(tavMeshContainer* container, uint32_t& faces);
    void DrawIndexed(tavMeshContainer* container, uint32_t& faces);
    bool SkinOnProcessor(tavMeshContainer* container);
    void LogOnce(bool& logged, const char* text);

    TAV* engine;
    int skinningMethod;
    std::string textureFolder;
    D3DXFRAME* rootFrame;
    ID3DXAnimationController* controller;
    D3DXVECTOR3 sphereCentre;
    float sphereRadius;
    tavBoundingBox boundingBox;
    tavOrientedBox orientedBox;
    tavHierarchy hierarchy;
    tavAnimationSet* ownAnimation;
    double animationSeconds;
    bool loggedOwnSkinning;
    bool loggedOwnAnimation;
    bool loggedOwnSphere;
    bool loggedSoftwareDraw;
};
