#pragma once
// A scene for tests: makes the bindings asked for while it loads, records
// what the engine asks and tells it (in a record the test owns: the engine
// frees the scene and runs no destructor), and fails or waits on request.

#include "core/TAV.h"

#include <atomic>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using Heard = std::vector<std::pair<uint32_t, int32_t>>; // actions; GUI events with state 0

struct SceneRecord
{
    std::atomic<int> initialized{0}, destroyed{0}, rendered{0}, preRendered{0};
    std::atomic<DWORD> loadingThread{0};
    std::string calls; // order of Invalidate (I) and Reinitialize (R)
    HRESULT initializeResult = S_OK, renderResult = S_OK, invalidateResult = S_OK;
    float progress = -1;                         // reported by Initialize when >= 0
    HANDLE releaseLoading = nullptr;             // Initialize waits for this event when set
    std::vector<std::vector<uint32_t>> bindings; // code, action, repeat delay
    bool drawGui = false;                        // Render draws the GUI
    Heard heard;
    std::function<void()> onGuiEvent;
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
        if (!record->bindings.empty())
        {
            tavLockGuard frameLock(*engine);
            for (const std::vector<uint32_t>& b : record->bindings)
                engine->Bind(b[0], b[1], b[2]);
        }
        ++record->initialized;
        return record->initializeResult;
    }
    HRESULT Render() override
    {
        ++record->rendered;
        if (record->drawGui)
        {
            engine->Begin2D();
            engine->tavGUI::Draw();
        }
        return record->renderResult;
    }
    HRESULT PreRender() override { return ++record->preRendered, S_OK; }
    HRESULT Destroy() override { return ++record->destroyed, S_OK; }
    HRESULT Invalidate() override { return record->calls += "I", record->invalidateResult; }
    HRESULT Reinitialize() override { return record->calls += "R", S_OK; }
    void OnKey(uint32_t action, int32_t state) override { record->heard.push_back({action, state}); }
    void OnGuiEvent(uint32_t id) override
    {
        record->heard.push_back({id, 0});
        if (record->onGuiEvent) record->onGuiEvent();
    }

private:
    TAV* engine;
    SceneRecord* record;
};

// Queues a new recording scene as the engine's next.
inline RecordingScene* QueueScene(TAV& engine, SceneRecord& record)
{
    RecordingScene* scene =
        new (TAV::Alloc(sizeof(RecordingScene))) RecordingScene(&engine, &record);
    engine.SetNextScene(scene);
    return scene;
}

// "label" followed by the scene's address, as the engine logs it.
inline std::string SceneLine(const char* label, const void* scene)
{
    return std::string(label) + std::to_string(reinterpret_cast<intptr_t>(scene));
}
