// Error reports: HRESULT codes of the DirectX components and the system's
// last error, written to the run log.
#include "core/TAV.h"

#include "util/tavText.h"

bool TAV::ReportComponentError(const char* prefix, HRESULT code)
{
    if (code == S_OK)
        return false;
    Write(std::string(prefix) + FormatBoundedF(64, "Error 0x%x Occurred.", unsigned(code)) +
          "</font>");
    return code < 0;
}

bool TAV::ReportD3DError(HRESULT code)
{
    return ReportComponentError("Direct3D: <font color=\"#770000\">", code);
}

bool TAV::ReportDSoundError(HRESULT code)
{
    return ReportComponentError("DirectSound: <font color=\"#770000\">", code);
}

bool TAV::ReportDPlayVoiceError(HRESULT code)
{
    return ReportComponentError("DirectPlayVoice: <font color=\"#770000\">", code);
}

bool TAV::ReportDPlayError(HRESULT code)
{
    return ReportComponentError("DirectPlay: <font color=\"#770000\">", code);
}

bool TAV::ReportDInputError(HRESULT code)
{
    return ReportComponentError("DirectInput: <font color=\"#770000\">", code);
}

bool TAV::ReportDMusicError(HRESULT code)
{
    return ReportComponentError("DirectMusic: <font color=\"#770000\">", code);
}

void TAV::ReportWindowsError()
{
    const DWORD code = GetLastError();
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = text ? text : "";
    // The system's texts end in a line break; the log line does not need it.
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    WriteValue("Windows Reports Error: ", message);
    if (text)
        LocalFree(text);
}
