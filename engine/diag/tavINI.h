#pragma once
// The configuration file: a Windows private-profile (INI) file, "./tav.cfg"
// by default. Keys are read when needed, never cached; a missing file or key
// gives the default.

#include <string>

class tavINI
{
public:
    tavINI() : path(nullptr) {}

    // Stores the path (not copied: it must outlive this object).
    void SetFile(const char* file) { path = file; }
    const char* GetFile() const { return path; }

    // The platform's integer rules: a missing key gives the default, text
    // that is no number gives 0.
    int GetInt(const char* section, const char* key, int defaultValue) const;
    // An integer read as a bool: non-zero is true.
    bool GetBool(const char* section, const char* key, bool defaultValue) const;
    // Reads at most 19 characters; text that is no number gives 0.0.
    float GetFloat(const char* section, const char* key, float defaultValue) const;
    // Copies at most size - 1 characters. A missing or empty key copies the
    // default and returns false. With no file set: true, buffer untouched.
    bool GetString(char* buffer, unsigned size, const char* section, const char* key,
                   const char* defaultValue) const;
    // The same into a string (at most 254 characters).
    bool GetString(std::string& out, const char* section, const char* key,
                   const char* defaultValue) const;

    // Writers; nothing happens with no file set.
    void SetString(const char* section, const char* key, const char* value) const;
    void SetInt(const char* section, const char* key, int value) const;
    void SetFloat(const char* section, const char* key, float value) const;

private:
    const char* path;
};
