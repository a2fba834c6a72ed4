#pragma once
// One opening of tav.cfg by the setup utility: the bytes as found, the
// settings made of them (already fixed to what the machine offers), the note
// the dialog shows about them, and the bytes that OK writes.

#include "Settings.h"

#include <string>

struct MachineOffer;

class SettingsFile
{
public:
    // `exists` false: there was no file (the bytes are ignored).
    SettingsFile(const std::string& bytes, bool exists, const MachineOffer& offer);

    const Settings& GetSettings() const { return settings; }
    // What the player should know before changing anything: a file that was
    // missing, damaged or cut short, values that were no numbers, values the
    // machine cannot do. One line each; "" when the file was sound.
    const std::string& GetNote() const { return note; }
    // The file with `chosen` and "IsSetup"=1: the found file edited in place
    // when it was readable, a new file otherwise.
    std::string Save(const Settings& chosen) const;

private:
    void AddNote(const std::string& line);

    std::string bytes;
    bool readable;
    Settings settings;
    std::string note;
};
