#pragma once
// Makes one DirectMusic class unavailable to this process for as long as
// the object lives: a class object registered for its CLSID refuses every
// instance, and COM asks registered class objects before the registry.

#include <windows.h>

class DirectMusicRefusal
{
public:
    explicit DirectMusicRefusal(REFCLSID classId);
    ~DirectMusicRefusal();
    bool IsActive() const { return cookie != 0; }

private:
    DWORD cookie = 0;
    bool comStarted = false;
};
