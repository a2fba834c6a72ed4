#pragma once
// The run log: a small HTML page ("./output.html" by default) written as a
// tree of bold section titles, nested lists of lines and phase banners.
// Every write is flushed, so the page is complete up to the last line even
// when the program dies. Callers embed their own HTML (a red font element
// around a failure); nothing is escaped. Every operation does nothing while
// the log is closed (no path, or the file could not be created).

#include <windows.h>

#include <cstdint>
#include <exception>
#include <fstream>
#include <mutex>
#include <string>

class tavLog
{
public:
    tavLog();
    // Closes the file if still open, without the page tail.
    ~tavLog();

    // Stores the path (not copied: it must outlive the log) and resets the depth.
    void SetPath(const char* path);
    // Creates (truncates) the file and writes the page head; with `banner`
    // also the generator section. A failure leaves the log closed for the run.
    void Open(const char* title, bool banner);
    // Writes the page tail and closes the file. After a failed run (run state
    // 2) the page is opened in the user's viewer; returns the shell's result
    // then (above 32 = opened), else 0.
    intptr_t Close(uint8_t runState);
    bool IsOpen() const { return stream.is_open(); }

    void Banner(const char* text);
    void Write(const char* text);
    void Write(const std::string& text) { Write(text.c_str()); }
    // printf rules into 512 bytes; longer text is cut.
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void BeginSection(const char* title);
    // Closes the innermost list; nothing at depth 0.
    void EndSection();

    // Label immediately followed by the value's text.
    void WriteValue(const char* label, uint32_t value);
    void WriteValue(const char* label, int32_t value);
    void WriteValue(const char* label, unsigned long value) { WriteValue(label, uint32_t(value)); }
    void WriteValue(const char* label, long value) { WriteValue(label, int32_t(value)); }
    void WriteValue(const char* label, int64_t value);
    void WriteValue(const char* label, double value);
    void WriteValue(const char* label, bool value);
    // An address or handle, as a signed decimal number.
    void WriteValue(const char* label, const void* value);
    // A string, between double quotes.
    void WriteValue(const char* label, const char* value);
    void WriteValue(const char* label, const std::string& value);

    // The count scaled to Bytes, KiloBytes, MegaBytes or GigaBytes.
    void WriteSize(const char* label, uint64_t bytes);

    // "Exception Information:" with the message, type and a word on the type.
    void WriteException(const std::exception& e);
    // A structured exception record (and its nested records); true when any
    // of them is not continuable. A null record writes nothing.
    bool WriteStructuredException(const EXCEPTION_RECORD* record);

    uint16_t GetDepth() const { return depth; }

private:
    void Put(const std::string& text); // writes and flushes, under the lock
    static std::string Indent(int blanks) { return std::string(size_t(blanks), ' '); }

    const char* path;
    uint16_t depth;
    std::ofstream stream;
    // The loading thread may log while the main thread does: one lock keeps
    // each line whole.
    std::recursive_mutex lock;
};
