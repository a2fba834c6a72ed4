#pragma once
// A scene for tests: it counts what the engine asks of it (in a record the
// test owns, since the engine frees the scene) and fails or waits on request.

#include "core/TAV.h"

#include <atomic>
#include <string>

struct SceneRecord
{
    std::atomic<int> initialized{0}, destroyed{0}, rendered{0}, preRendered{0};
    std::atomic<DWORD> loadingThread{0};
    std::string calls; // order of Invalidate (I) and Reinitialize (R)
    HRESULT initializeResult = S_OK, renderResult = S_OK, invalidateResult = S_OK;
    float progress = -1;             // reported by Initialize when >= 0
    HANDLE releaseLoading = nullptr; // Initialize waits for this event when set
};

class RecordingScene : public tavScene
{
public:
    RecordingScene(TAV* engine, SceneRecord* record) : engine(engine), record(record) {}
    HRESULT Initialize() override
    {
        record->loadingThread = GetCurrentThreadId();
        if (record->progress >= 0) engine->SetLoadingProgress(record->progress);
        if (record->releaseLoading) WaitForSingleObject(record->releaseLoading, 10000);
        ++record->initialized;
        return record->initializeResult;
    }
    HRESULT Render() override { return ++record->rendered, record->renderResult; }
    HRESULT PreRender() override { return ++record->preRendered, S_OK; }
    HRESULT Destroy() override { return ++record->destroyed, S_OK; }
    HRESULT Invalidate() override { return record->calls += "I", record->invalidateResult; }
    HRESULT Reinitialize() override { return record->calls += "R", S_OK; }

private:
    TAV* engine;
    SceneRecord* record;
};

inline RecordingScene* NewRecordingScene(TAV* engine, SceneRecord* record)
{
    return new (TAV::Alloc(sizeof(RecordingScene))) RecordingScene(engine, record);
}

// "label" followed by the scene's address, as the engine logs it.
inline std::string SceneLine(const char* label, const void* scene)
{
    return std::string(label) + std::to_string(reinterpret_cast<intptr_t>(scene));
}
