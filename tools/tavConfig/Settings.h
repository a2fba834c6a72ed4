#pragma once
// Every key of tav.cfg as a value, read from the file's text with a record
// of what was missing or no value at all, and written back so that a key
// whose line already says the same keeps its line untouched.

#include <string>
#include <vector>

class ConfigText;

struct Settings
{
    // The engine's own defaults, used for a missing key.
    int isSetup = 0;
    std::string setup;
    int vsync = 0;
    int adapter = 0;
    int device = 1;
    int format = 0;
    int backBuffer = 0;
    bool fullScreen = false;
    int resolution = -1;
    bool hasPure = false;
    bool useAA = false;
    int samples = 0;
    int quality = 0; // "Quality1": the engine asks for this level minus one
    bool showFPS = false;
    int filter = 0;
    float gui = 5.0f;
    bool hwSound = false;
    int channels = 32;
    bool music = true;
    bool sound = true;
};

// What reading found besides the values.
struct SettingsReport
{
    std::vector<std::string> missing; // keys the file lacks
    std::vector<std::string> invalid; // "key: value" of each value that is no number
};

// The section every key lives in.
extern const char* const SettingsSection;
// How many keys a complete file holds.
extern const int SettingsKeyCount;

// Reads every key; a missing key or one that is no number (the platform
// would read such text as 0) keeps its default and is reported.
Settings ReadSettings(const ConfigText& text, SettingsReport& report);
// Writes every key; a line whose value already reads as the same value is
// left as it is.
void WriteSettings(const Settings& settings, ConfigText& text);
// A complete file of the defaults.
std::string DefaultSettingsText();
