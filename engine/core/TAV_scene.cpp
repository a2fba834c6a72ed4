// Scenes: queueing, switching, the loading thread, the per-frame render
// call, device invalidation and restoration, and the last-chance deletion.
#include "core/TAV.h"

#include "console/tavFader.h"

#include <objbase.h>

#include <stdexcept>

bool TAV::SetNextScene(tavScene* next)
{
    nextScene = next;
    switchPending = true;
    sceneReady = false;
    loadingProgress = 0;
    return true;
}

void TAV::FreeScene(tavScene*& s)
{
    Free(s);
    s = nullptr;
}

bool TAV::SwitchScene()
{
    // 1.
    if (!switchPending)
        return false;
    switchPending = false;

    // 2. The old scene goes, with everything it held in the engine's pools.
    if (scene)
    {
        try
        {
            // A scene still loading must finish before it can be destroyed.
            loader.Join();
            if (device)
                device->EvictManagedResources();
            tavDSound::ReleaseAll();
            tavGUI::Clear();
            InvalidateAll();
            ClearBindings();
            if (FAILED(scene->Destroy()))
            {
                WriteValue("Failed destroying scene ", static_cast<const void*>(scene));
                FreeScene(scene);
                quit = true;
                runState = 2;
                return false;
            }
            WriteValue("Destroyed scene ", static_cast<const void*>(scene));
            FreeScene(scene);
        }
        catch (const std::exception& e)
        {
            Write("Exception caught while destroying the scene.");
            WriteException(e);
            FreeScene(scene);
            quit = true;
            runState = 2;
            return false;
        }
        catch (...)
        {
            Write("Generic exception caught while destroying the scene.");
            FreeScene(scene);
            quit = true;
            runState = 2;
            return false;
        }
    }

    // 3. The next one becomes current.
    scene = nextScene;
    nextScene = nullptr;
    if (!scene)
        return true;

    // 4. It loads on its own thread.
    OnSceneChange();
    loader.SetRoutine(&TAV::LoadingThread, this);
    loader.Start();
    return true;
}

DWORD WINAPI TAV::LoadingThread(void* argument)
{
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    TAV* engine = static_cast<TAV*>(argument);
    if (!engine || !engine->scene)
    {
        if (com)
            CoUninitialize();
        return 0;
    }
    tavScene* loading = engine->scene;

    HRESULT hr = E_FAIL;
    try
    {
        hr = loading->Initialize();
    }
    catch (const std::exception& e)
    {
        engine->WriteException(e);
    }
    catch (...)
    {
    }

    if (FAILED(hr))
    {
        engine->WriteValue("Failed initializing scene ", static_cast<const void*>(loading));
        if (FAILED(loading->Destroy()))
            engine->WriteValue("Failed destroying scene ", static_cast<const void*>(loading));
        engine->runState = 2;
        engine->quit = true;
        if (com)
            CoUninitialize();
        return 0;
    }

    // Ready: frames start rendering the scene from the next one on.
    Sleep(100);
    tavLockGuard frameLock(*engine);
    engine->sceneReady = true;
    if (com)
        CoUninitialize();
    return 0;
}

HRESULT TAV::RenderScene()
{
    if (runState == 2)
        return E_FAIL;
    if (FAILED(scene->Render()))
    {
        WriteValue("Rendering failed on scene ", static_cast<const void*>(scene));
        runState = 2;
        return E_FAIL;
    }
    return S_OK;
}

HRESULT TAV::InvalidateObjects()
{
    try
    {
        if (fader)
            fader->Invalidate();
        InvalidateAll();
        tavConsole::Invalidate();
        tavGUI::Invalidate();
        if (scene && FAILED(scene->Invalidate()))
        {
            WriteValue("Failed invalidating scene ", static_cast<const void*>(scene));
            runState = 2;
            return E_FAIL;
        }
        Write("Objects Invalidated...");
        return S_OK;
    }
    catch (const std::exception& e)
    {
        Write("Exception caught during invalidation.");
        WriteException(e);
    }
    catch (...)
    {
        Write("Exception caught while invalidating.");
    }
    runState = 2;
    return E_FAIL;
}

HRESULT TAV::RestoreObjects()
{
    try
    {
        UpdateScreenSize();
        if (FAILED(SetDefaultRenderStates()))
            return E_FAIL;
        tavConsole::Restore();
        if (fader)
            fader->Restore();
        tavGUI::Restore();
        if (scene && FAILED(scene->Reinitialize()))
        {
            WriteValue("Failed reinitializing scene ", static_cast<const void*>(scene));
            runState = 2;
            return E_FAIL;
        }
        AcquireAll();
        Write("Objects reinitialized...");
        return S_OK;
    }
    catch (const std::exception& e)
    {
        Write("Exception caught during reinitialization.");
        WriteException(e);
    }
    catch (...)
    {
        Write("Exception caught while reinitializating.");
    }
    runState = 2;
    return E_FAIL;
}

void TAV::DeleteScenesAtShutdown()
{
    loader.Join();
    try
    {
        if (scene)
        {
            WriteValue("Last-Chance Deleted Scene ", static_cast<const void*>(scene));
            scene->Destroy();
            FreeScene(scene);
        }
        if (nextScene)
        {
            WriteValue("Last-Chance Deleting Next Scene ", static_cast<const void*>(nextScene));
            nextScene->Destroy();
            FreeScene(nextScene);
        }
    }
    catch (...)
    {
        if (scene)
            FreeScene(scene);
        Write("Exception caught while deleting the present or next scene memory.");
    }
}
