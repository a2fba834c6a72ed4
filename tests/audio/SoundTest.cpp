#include "audio/SoundTest.h"

#include <windows.h>

double Now()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return double(count.QuadPart) / double(frequency.QuadPart);
}

std::string SoundTest::CopyMp3(const std::string& name)
{
    std::string source = std::string("Z:") + TAV_TEST_MP3;
    for (char& c : source)
        if (c == '/') c = '\\';
    EXPECT_TRUE(CopyFileA(source.c_str(), ("base\\" + name).c_str(), FALSE)) << source;
    return "./base/" + name;
}

std::string SoundTest::ConsoleFrom(const std::string& first) const
{
    std::string out;
    for (const ConsoleLine& line : engine->GetLines())
        if (line.text == first)
            out = line.text + "\n";
        else if (!out.empty())
            out += line.text + "\n";
    return out;
}

::testing::AssertionResult PassesInChildProcess(const std::string& suite, const std::string& test)
{
    char program[MAX_PATH] = {}, dir[MAX_PATH] = {}, report[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, "tav", 0, report);
    std::string commandLine = std::string("\"") + program + "\" --gtest_filter=" + suite +
                              ".DISABLED_" + test +
                              " --gtest_also_run_disabled_tests --gtest_output=xml:" + report;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    DWORD code = DWORD(-1); // a child that hangs at its exit is ended: its report tells
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process))
    {
        if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 1);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    const std::string xml = ReadTextFile(report);
    DeleteFileA(report);
    if (xml.find("<testsuites tests=\"1\" failures=\"0\"") != std::string::npos &&
        xml.find("<failure") == std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the child test failed (exit code " << code << "); its report:\n"
           << xml;
}
