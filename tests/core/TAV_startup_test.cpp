#include "support/TestEngine.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

TEST_F(EngineTest, StartsWindowedWithItsPhasesInOrder)
{
    ASSERT_EQ(StartEngine(), S_OK);
    HWND window = FindWindowA("TAVMainWindow", caption.c_str());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window, engine->GetWindow());
    ASSERT_NE(engine->GetDevice(), nullptr);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Pump());
    std::string missing;
    EXPECT_TRUE(ContainsInOrder(Log(), {"Brindlewood Log Generator", "Initialization Phase",
                                        "TAV::Initialize()", "DirectX Initialization",
                                        "<b>Created a device!</b>", "Console Successfully Created",
                                        "GUI Created", "Game::Initialize",
                                        "TAV Successfully Initialized, Let's Go!"},
                                &missing))
        << missing;
}
