#include "net/tavVoiceTest.h"

#include "net/tavDPText.h"

void tavVoiceTest::Create()
{
    Release();
    tavDP::Check(CoCreateInstance(CLSID_DirectPlayVoiceTest, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IDirectPlayVoiceTest, reinterpret_cast<void**>(&test)),
                 "Failed to create COM instance of IDirectPlayVoiceTest.\n");
}

HRESULT tavVoiceTest::IsSetupNeeded()
{
    if (!test) return E_FAIL;
    return test->CheckAudioSetup(&DSDEVID_DefaultVoicePlayback, &DSDEVID_DefaultVoiceCapture,
                                 nullptr, DVFLAGS_QUERYONLY);
}

HRESULT tavVoiceTest::RunSetup(HWND window)
{
    if (!test) return E_FAIL;
    return test->CheckAudioSetup(&DSDEVID_DefaultVoicePlayback, &DSDEVID_DefaultVoiceCapture,
                                 window, 0);
}

void tavVoiceTest::Release()
{
    tavDP::ReleaseInterface(test);
}

void tavVoiceTest::RunSetupFlow(HWND window)
{
    tavVoiceTest voiceTest;
    voiceTest.Create();
    RunSetupFlow(voiceTest, window);
}

void tavVoiceTest::RunSetupFlow(tavVoiceTest& voiceTest, HWND window)
{
    // 1. Only a computer whose wizard never ran is asked.
    if (voiceTest.IsSetupNeeded() != DVERR_RUNSETUP)
    {
        voiceTest.Release();
        return;
    }
    // 2. Ask.
    const int answer = MessageBoxA(
        window,
        "To use the DirectPlay voice features, you must first run the wizard.\n Would you like to "
        "run the DirectPlayVoice Setup Wizard now?\nNOTE: You will only have to do this once.",
        "Run setup?", MB_YESNO | MB_ICONQUESTION);
    // 3. Run it and say what it found.
    if (answer == IDYES)
    {
        const HRESULT result = voiceTest.RunSetup(window);
        if (result == DV_FULLDUPLEX)
            MessageBoxA(window,
                        "Your computer supports full duplex. This means you will\nbe able to "
                        "speak and listen at the same time.",
                        "Setup Complete", MB_OK);
        else if (result == DV_HALFDUPLEX)
            MessageBoxA(window,
                        "Your computer only supports half duplex. This means you will\nnot be "
                        "able to speak and listen at the same time.",
                        "Setup Complete", MB_OK);
    }
    // 4. Done with the test object.
    voiceTest.Release();
}
