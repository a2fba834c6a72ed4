#pragma once
// A scene for tests: it counts what the engine asks of it (in a record the
// test owns, since the engine frees the scene) and fails or waits on request.

#include "core/TAV.h"

#include <atomic>
#include <string>

struct SceneRecord
{
    std::atomic<int> initialized{0};
    std::atomic<int> destroyed{0};
    std::atomic<int> rendered{0};
    std::atomic<int> preRendered{0};
    std::atomic<int> invalidated{0};
    std::atomic<int> reinitialized{0};
    std::atomic<DWORD> loadingThread{0};
    std::string calls; // order of Invalidate (I) and Reinitialize (R)

    HRESULT initializeResult = S_OK;
    HRESULT renderResult = S_OK;
    HRESULT invalidateResult = S_OK;
    float progress = -1;          // reported by Initialize when >= 0
    HANDLE releaseLoading = nullptr; // Initialize waits for this event when set
};

class RecordingScene : public tavScene
{
public:
    RecordingScene(TAV* engine, SceneRecord* record) : engine(engine), record(record) {}

    HRESULT Initialize() override
    {
        record->loadingThread = GetCurrentThreadId();
        if (record->progress >= 0)
            engine->SetLoadingProgress(record->progress);
        if (record->releaseLoading)
            WaitForSingleObject(record->releaseLoading, 10000);
        ++record->initialized;
        return record->initializeResult;
    }
    HRESULT Render() override
    {
        ++record->rendered;
        return record->renderResult;
    }
    HRESULT PreRender() override
    {
        ++record->preRendered;
        return S_OK;
    }
    HRESULT Destroy() override
    {
        ++record->destroyed;
        return S_OK;
    }
    HRESULT Invalidate() override
    {
        ++record->invalidated;
        record->calls += "I";
        return record->invalidateResult;
    }
    HRESULT Reinitialize() override
    {
        ++record->reinitialized;
        record->calls += "R";
        return S_OK;
    }

private:
    TAV* engine;
    SceneRecord* record;
};

inline RecordingScene* NewRecordingScene(TAV* engine, SceneRecord* record)
{
    void* memory = TAV::Alloc(sizeof(RecordingScene));
    return new (memory) RecordingScene(engine, record);
}

// "label" followed by the scene's address, as the engine logs it.
inline std::string SceneLine(const char* label, const void* scene)
{
    return std::string(label) + std::to_string(reinterpret_cast<intptr_t>(scene));
}
