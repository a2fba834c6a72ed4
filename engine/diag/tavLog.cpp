#include "diag/tavLog.h"

#include "util/tavText.h"
#include "util/tavUtil.h"

#include <sstream>

tavLog::tavLog() : path(nullptr), depth(0) {}

tavLog::~tavLog()
{
    if (stream.is_open())
        stream.close();
}

void tavLog::SetPath(const char* p)
{
    path = p;
    depth = 0;
}

void tavLog::Open(const char* title, bool banner)
{
    if (path)
        stream.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!stream.is_open())
        return;
    Put(std::string("<html>\n<head>\n  <title>") + (title ? title : "") + "</title>\n<style>\n" +
        "  body { font-size: x-small; font-family: Verdana; }\n" +
        "  .banner { font-size: 16px; font-weight: bold; }\n" + "</style>\n<body>\n");
    if (banner)
    {
        BeginSection("Brindlewood Log Generator");
        Write("BWLG Version 1.07");
        Write("Log Created at " + TimeText());
        EndSection();
    }
}

intptr_t tavLog::Close(uint8_t runState)
{
    if (!stream.is_open())
        return 0;
    Put("</body>\n</html>");
    stream.close();
    if (runState == 2 && path)
        return ShellOpen(path);
    return 0;
}

void tavLog::Put(const std::string& text)
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    if (!stream.is_open())
        return;
    stream << text;
    stream.flush();
}

void tavLog::Banner(const char* text)
{
    Put(std::string("<br /><br /><span class=\"banner\">") + text + "</span><br />\n<hr><br />\n");
}

void tavLog::Write(const char* text)
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    if (depth > 0)
        Put(Indent(depth + 4) + "<li>" + text + "</li>\n");
    else
        Put(std::string(text) + "<br />\n");
}

void tavLog::Printf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = FormatBounded(512, format, args);
    va_end(args);
    Write(text);
}

void tavLog::BeginSection(const char* title)
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    if (!stream.is_open())
        return;
    const std::string pad = Indent(depth + 2);
    if (depth > 0)
        Put(pad + "<li><b>" + title + "</b></li>\n");
    else
        Put(pad + "<b>" + title + "</b><br />\n");
    Put(pad + "<ul>\n");
    ++depth;
}

void tavLog::EndSection()
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    if (!stream.is_open() || depth == 0)
        return;
    --depth;
    Put(Indent(depth + 2) + "</ul>\n");
}

void tavLog::WriteValue(const char* label, uint32_t value)
{
    Write(std::string(label) + std::to_string(value));
}

void tavLog::WriteValue(const char* label, int32_t value)
{
    Write(std::string(label) + std::to_string(value));
}

void tavLog::WriteValue(const char* label, int64_t value)
{
    Write(std::string(label) + std::to_string(value));
}

void tavLog::WriteValue(const char* label, double value)
{
    std::ostringstream text;
    text << label << value;
    Write(text.str());
}

void tavLog::WriteValue(const char* label, bool value)
{
    Write(std::string(label) + (value ? "true" : "false"));
}

void tavLog::WriteValue(const char* label, const void* value)
{
    Write(std::string(label) + std::to_string(reinterpret_cast<intptr_t>(value)));
}

void tavLog::WriteValue(const char* label, const char* value)
{
    Write(std::string(label) + "\"" + (value ? value : "") + "\"");
}

void tavLog::WriteValue(const char* label, const std::string& value)
{
    Write(std::string(label) + "\"" + value + "\"");
}

void tavLog::WriteSize(const char* label, uint64_t bytes)
{
    std::ostringstream text;
    text << label;
    if (bytes > 1000000000ull)
        text << double(bytes) / double(1ull << 30) << " GigaBytes";
    else if (bytes > 1000000ull)
        text << double(bytes) / double(1ull << 20) << " MegaBytes";
    else if (bytes > 1000ull)
        text << double(bytes) / double(1ull << 10) << " KiloBytes";
    else
        text << bytes << " Bytes";
    Write(text.str());
}
