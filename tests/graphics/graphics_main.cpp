// The graphics tests' program. Started with --cube-resource-child it loads
// one cube texture from its own resources and reports on stdout instead:
// the texture pool tests run that in a child process, because Wine ends
// the process inside that D3DX call.
#include <gtest/gtest.h>

#include <cstring>

int CubeResourceChild();

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--cube-resource-child") == 0) return CubeResourceChild();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
