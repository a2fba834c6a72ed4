#include "audio/SoundTest.h"

#include <windows.h>

void SoundTest::SetUp()
{
    CreateDirectoryA("base", nullptr);
}

HRESULT SoundTest::StartSound(const std::string& extraKeys, bool music)
{
    settings.useMusic = music;
    return StartEngine(extraKeys);
}

HRESULT SoundTest::RestartSound(const std::string& extraKeys, bool music)
{
    StopEngine();
    if (HWND old = FindWindowA("TAVMainWindow", caption.c_str()))
        DestroyWindow(old);
    return StartSound(extraKeys, music);
}

std::string SoundTest::WriteEffect(const std::string& name, double hz, double seconds,
                                   const WaveLayout& layout, double amplitude)
{
    WriteBytes("base/" + name, WaveImage(layout, ToneSamples(layout, hz, seconds, amplitude)));
    return "./base/" + name;
}

void SoundTest::Frames(int count)
{
    for (int i = 0; i < count; ++i)
    {
        Pump();
        Sound().Update();
    }
}

void SoundTest::RunFor(double seconds)
{
    const double until = Now() + seconds;
    while (Now() < until)
    {
        Frames(1);
        Sleep(2);
    }
}

std::vector<std::string> SoundTest::ConsoleFrom(const std::string& first) const
{
    std::vector<std::string> out;
    for (const ConsoleLine& line : engine->GetLines())
    {
        if (out.empty() && line.text != first)
            continue;
        out.push_back(line.text);
    }
    return out;
}

bool SoundTest::ConsoleHas(const std::string& text) const
{
    for (const ConsoleLine& line : engine->GetLines())
        if (line.text == text)
            return true;
    return false;
}

std::vector<int32_t> SoundTest::PlayingPriorities()
{
    std::vector<int32_t> out;
    for (const SoundChannel& channel : Sound().GetPlaying())
        out.push_back(channel.priority);
    return out;
}

double Now()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return double(count.QuadPart) / double(frequency.QuadPart);
}
