#include "support/TestEngine.h"

#include "support/TestFiles.h"

#include <map>
#include <sstream>

std::string DefaultTestConfig()
{
    return "[TAV]\n"
           "IsSetup=1\n"
           "Adapter=0\n"
           "Device=1\n"
           "Format=22\n"
           "BackBuffer=22\n"
           "FullScreen=0\n"
           "Resolution=-1\n"
           "VSync=0\n"
           "Filter=2\n"
           "Channels=32\n";
}

namespace
{
// Later "Key=Value" lines replace earlier ones, so a test states only the
// keys it cares about; a line "-Key" leaves the key out altogether.
std::string MergeConfig(const std::string& base, const std::string& extra)
{
    std::map<std::string, std::string> values;
    std::vector<std::string> order;
    for (const std::string* text : {&base, &extra})
    {
        std::istringstream lines(*text);
        std::string line;
        while (std::getline(lines, line))
        {
            if (!line.empty() && line[0] == '-')
            {
                values.erase(line.substr(1));
                continue;
            }
            const size_t eq = line.find('=');
            if (line.empty() || line[0] == '[' || eq == std::string::npos)
                continue;
            const std::string key = line.substr(0, eq);
            if (!values.count(key))
                order.push_back(key);
            values[key] = line.substr(eq + 1);
        }
    }
    std::string merged = "[TAV]\n";
    for (const std::string& key : order)
        if (values.count(key))
            merged += key + "=" + values[key] + "\n";
    return merged;
}
} // namespace

HRESULT EngineTest::StartEngine(const std::string& extraKeys)
{
    WriteTextFile("tav.cfg", MergeConfig(DefaultTestConfig(), extraKeys));
    caption = "TAV Test " + std::to_string(GetCurrentProcessId());
    settings.caption = caption.c_str();
    settings.instance = GetModuleHandleA(nullptr);
    settings.configFile = "./tav.cfg";
    settings.logFile = "./output.html";
    engine.reset(NewEngine());
    return engine->Initialize(settings);
}

bool EngineTest::Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return engine->Step();
}

bool EngineTest::PumpUntil(const std::function<bool()>& done, int frames)
{
    for (int i = 0; i < frames; ++i)
    {
        if (done())
            return true;
        if (!Pump())
            return done();
    }
    return done();
}

void EngineTest::StopEngine()
{
    HWND window = engine ? engine->GetWindow() : nullptr;
    engine.reset();
    // The engine leaves its window to the end of the process; an engine
    // started after this one in the same process must neither find it (as
    // a copy already running) nor take its WM_QUIT for its own.
    if (window && IsWindow(window)) DestroyWindow(window);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
    }
}

void EngineTest::TearDown() { StopEngine(); }

std::string EngineTest::Log() const { return ReadTextFile(folder.File("output.html")); }

std::string EngineTest::ContentPath(const std::string& file)
{
    return std::string(TAV_TEST_BASE_DIR) + "/" + file;
}

int EngineTest::ConfigInt(const char* key) const
{
    return int(GetPrivateProfileIntA("TAV", key, -999, folder.File("tav.cfg").c_str()));
}

std::string EngineTest::SiblingProgram(const char* name)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    dir = dir.substr(0, dir.find_last_of("\\/") + 1);
    return dir + name;
}

TestImage DrawIn2D(TAV& engine, D3DCOLOR background, const std::function<void()>& draw)
{
    IDirect3DDevice9* device = engine.GetDevice();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
    device->BeginScene();
    engine.Begin2D();
    draw();
    device->EndScene();
    TestImage image;
    EXPECT_TRUE(ReadBackBuffer(device, image));
    return image;
}
