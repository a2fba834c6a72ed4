#include "audio/AudioCapture.h"

#include <windows.h>

#include <vector>

bool AudioCapture::Open()
{
    char unixPath[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("TAV_AUDIO_CAPTURE", unixPath, MAX_PATH) || unixPath[0] != '/')
        return false;
    // Wine's drive Z: is the Unix root.
    path = std::string("Z:") + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return Size() >= 0;
}

int64_t AudioCapture::Size() const
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (int64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void AudioCapture::Mark()
{
    const int64_t size = Size();
    mark = size < 0 ? 0 : size - size % FrameBytes;
}

bool AudioCapture::Read(double seconds, StereoSignal& out, const std::function<void()>& idle)
{
    const int64_t wanted = int64_t(seconds * Rate) * FrameBytes;
    const DWORD deadline = GetTickCount() + DWORD((seconds + 10.0) * 1000.0);
    while (Size() < mark + wanted)
    {
        if (int32_t(GetTickCount() - deadline) > 0)
            return false;
        if (idle)
            idle();
        Sleep(5);
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER at;
    at.QuadPart = mark;
    std::vector<uint8_t> raw(static_cast<size_t>(wanted));
    DWORD got = 0;
    const bool ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
                    ReadFile(file, raw.data(), DWORD(raw.size()), &got, nullptr) &&
                    got == raw.size();
    CloseHandle(file);
    if (ok)
        out = StereoSignal::FromS16(raw, Rate);
    return ok;
}
