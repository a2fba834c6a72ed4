#pragma once
// Helpers shared by the DirectPlay wrappers (not part of the engine's API).

#include <windows.h>

#include <stdexcept>

namespace tavDP
{
// Texts go to DirectPlay as UTF-16, in buffers of 511 characters.
const int TextLength = 511;

// `text` from the ANSI code page into `out` (cut to fit, always ended).
inline void Widen(const char* text, wchar_t (&out)[TextLength])
{
    out[0] = L'\0';
    if (text && !MultiByteToWideChar(CP_ACP, 0, text, -1, out, TextLength))
    {
        const int n = MultiByteToWideChar(CP_ACP, 0, text, TextLength - 1, out, TextLength - 1);
        out[n > 0 ? n : 0] = L'\0';
    }
}

// Throws the creation failure `what` when `hr` failed.
inline void Check(HRESULT hr, const char* what)
{
    if (FAILED(hr)) throw std::runtime_error(what);
}

template <class T> void ReleaseInterface(T*& p)
{
    if (p) p->Release();
    p = nullptr;
}
} // namespace tavDP
