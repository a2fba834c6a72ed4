#include "audio/SoundTest.h"

#include "support/TestFiles.h"

#include <windows.h>

void SoundTest::SetUp()
{
    CreateDirectoryA("base", nullptr);
}

HRESULT SoundTest::StartSound(const std::string& extraKeys, bool music)
{
    StopEngine();
    settings.useMusic = music;
    return StartEngine(extraKeys);
}

std::string SoundTest::WriteEffect(const std::string& name, double hz, double seconds,
                                   const WaveLayout& layout, double amplitude)
{
    WriteBytes("base/" + name, WaveImage(layout, ToneSamples(layout, hz, seconds, amplitude)));
    return "./base/" + name;
}

std::string SoundTest::CopyMp3(const std::string& name)
{
    std::string source = std::string("Z:") + TAV_TEST_MP3;
    for (char& c : source)
        if (c == '/') c = '\\';
    EXPECT_TRUE(CopyFileA(source.c_str(), ("base\\" + name).c_str(), FALSE)) << source;
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

void SoundTest::ExpectLog(const std::vector<std::string>& lines)
{
    std::string missing;
    EXPECT_TRUE(ContainsInOrder(Log(), lines, &missing)) << "missing: " << missing;
}

void SoundTest::ExpectNotInLog(const std::string& text)
{
    EXPECT_EQ(Log().find(text), std::string::npos) << text;
}

std::vector<std::string> SoundTest::ConsoleFrom(const std::string& first) const
{
    std::vector<std::string> out;
    for (const ConsoleLine& line : engine->GetLines())
        if (!out.empty() || line.text == first) out.push_back(line.text);
    return out;
}

bool SoundTest::ConsoleHas(const std::string& text) const
{
    for (const ConsoleLine& line : engine->GetLines())
        if (line.text == text) return true;
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
