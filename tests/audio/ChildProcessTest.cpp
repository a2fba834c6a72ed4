#include "audio/ChildProcessTest.h"

#include "support/TestFiles.h"

#include <windows.h>

namespace
{
std::string TempFile(const char* prefix)
{
    char dir[MAX_PATH] = {};
    char file[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, prefix, 0, file);
    return file;
}

// Exit code, or -1 when the child could not start or did not end in time.
long RunAndWait(std::string commandLine, DWORD timeoutMs)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    DWORD code = DWORD(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return long(code);
}
} // namespace

::testing::AssertionResult PassesInChildProcess(const std::string& suite, const std::string& test)
{
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    const std::string report = TempFile("tav");
    const std::string commandLine = std::string("\"") + program + "\" --gtest_filter=" + suite +
                                    ".DISABLED_" + test +
                                    " --gtest_also_run_disabled_tests --gtest_output=xml:" + report;
    const long code = RunAndWait(commandLine, 60000);
    const std::string xml = ReadTextFile(report);
    DeleteFileA(report.c_str());
    const bool ran = xml.find("<testsuites tests=\"1\" failures=\"0\"") != std::string::npos;
    if (ran && xml.find("<failure") == std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the child test failed (exit code " << code << "); its report:\n"
           << xml;
}
