// Opens the sound card once and plays a moment of silence, then exits.
// The test session runs it before any test: the first program of a fresh
// session to open the card pays for the platform's first-use set-up
// (devices registered, the PulseAudio stream opened), and a test that
// happens to be that program would see its first sounds late.
#include <windows.h>
#include <mmreg.h>
#include <dsound.h>

#include <cstdio>

int main()
{
    IDirectSound8* sound = nullptr;
    if (FAILED(DirectSoundCreate8(nullptr, &sound, nullptr)))
    {
        std::printf("no sound card\n");
        return 0; // the sound tests say what is missing
    }
    sound->SetCooperativeLevel(GetDesktopWindow(), DSSCL_PRIORITY);

    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 44100 * 4;
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwBufferBytes = format.nAvgBytesPerSec / 10; // silence on creation
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    if (SUCCEEDED(sound->CreateSoundBuffer(&desc, &buffer, nullptr)))
    {
        buffer->Play(0, 0, 0);
        Sleep(200);
        buffer->Stop();
        buffer->Release();
    }
    sound->Release();
    return 0;
}
