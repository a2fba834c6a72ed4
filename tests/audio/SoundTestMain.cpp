// The sound programs' main. With the sound card open through Wine's
// PulseAudio driver, the process exit after the last test now and again
// hangs (or crashes) inside the platform's own clean-up. GoogleTest's
// report is final once RUN_ALL_TESTS returns, so the process ends right
// there with its verdict, without that clean-up.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv)
{
    testing::InitGoogleMock(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), UINT(result));
    return result;
}
