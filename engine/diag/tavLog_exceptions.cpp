// Exception reports of the run log: caught standard exceptions and
// structured exception records.
#include "diag/tavLog.h"

#include <cxxabi.h>

#include <cstdlib>
#include <new>
#include <stdexcept>
#include <typeinfo>

namespace
{
std::string TypeName(const std::type_info& type)
{
    int status = 0;
    char* readable = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string name = (status == 0 && readable) ? readable : type.name();
    std::free(readable);
    return name;
}

// Matched by exact type: a class derived from one of these gets the fallback.
const char* ExtraText(const std::type_info& type)
{
    struct Entry
    {
        const std::type_info& type;
        const char* text;
    };
    static const Entry table[] = {
        {typeid(std::bad_alloc), "Ran out of Memory."},
        {typeid(std::domain_error), "Domain error."},
        {typeid(std::invalid_argument), "Invalid Argument."},
        {typeid(std::length_error), "Length Error: Object too long to be specified."},
        {typeid(std::out_of_range), "Out of Range (argument)."},
        {typeid(std::logic_error), "Logic Error."},
        {typeid(std::overflow_error), "Arithmatic Overflow Error."},
        {typeid(std::range_error), "Range Error."},
        {typeid(std::underflow_error), "Underflow Error."},
        {typeid(std::runtime_error), "Run-Time Error."},
    };
    for (const Entry& e : table)
        if (e.type == type)
            return e.text;
    return "No extra information provided.";
}

const char* StructuredDescription(DWORD code)
{
    switch (code)
    {
    case 0xC0000005:
        return "The thread attempted to read from or write to a virtual address for which it does "
               "not have the appropriate access.";
    case 0x80000003:
        return "A breakpoint was encountered.";
    case 0x80000002:
        return "The thread attempted to read or write data that is misaligned on hardware that "
               "does not provide alignment.";
    case 0x80000004:
        return "A trace trap or other single-instruction mechanism signaled that one instruction "
               "has been executed.";
    case 0xC000008C:
        return "The thread attempted to access an array element that is out of bounds, and the "
               "underlying hardware supports bounds checking.";
    case 0xC000008D:
        return "One of the operands in a floating-point operation is denormal.";
    case 0xC000008E:
        return "The thread attempted to divide a floating-point value by a floating-point divisor "
               "of zero.";
    case 0xC000008F:
        return "The result of a floating-point operation cannot be represented exactly as a "
               "decimal fraction.";
    case 0xC0000090:
        return "Generic invalid floating point operation.";
    case 0xC0000091:
        return "The exponent of a floating-point operation is greater than the magnitude allowed "
               "by the corresponding type.";
    case 0xC0000092:
        return "The stack overflowed or underflowed as the result of a floating-point operation.";
    case 0xC0000093:
        return "The exponent of a floating-point operation is less than the magnitude allowed by "
               "the corresponding type.";
    case 0xC0000094:
        return "The thread attempted to divide an integer value by an integer divisor of zero.";
    case 0xC0000095:
        return "The result of an integer operation caused a carry out of the most significant bit "
               "of the result.";
    case 0xC0000096:
        return "The thread attempted to execute an instruction whose operation is not allowed in "
               "the current machine mode.";
    case 0xC0000025:
        return "The thread attempted to continue execution after a noncontinuable exception "
               "occurred.";
    case 0xC0000006:
        return "The thread tried to access a page that was not present, and the system was unable "
               "to load the page.";
    case 0xC0000026:
        return "An exception handler returned an invalid disposition to the exception "
               "dispatcher.";
    default:
        return "Unknown, generic, or application-defined exception.";
    }
}
} // namespace

void tavLog::WriteException(const std::exception& e)
{
    const std::type_info& type = typeid(e);
    BeginSection("Exception Information:");
    WriteValue("Caught: ", e.what());
    WriteValue("Type: ", TypeName(type));
    Write(std::string("Extra: ") + ExtraText(type));
    EndSection();
}

bool tavLog::WriteStructuredException(const EXCEPTION_RECORD* record)
{
    if (!record)
        return false;
    bool fatal = record->ExceptionFlags == EXCEPTION_NONCONTINUABLE;
    BeginSection("Exception Information");
    WriteValue("Fatal: ", fatal);
    WriteValue("Code: ", uint32_t(record->ExceptionCode));
    WriteValue("Address: ", static_cast<const void*>(record->ExceptionAddress));
    WriteValue("Flags: ", uint32_t(record->ExceptionFlags));
    WriteValue("Description: ", StructuredDescription(record->ExceptionCode));
    const DWORD count = record->NumberParameters < EXCEPTION_MAXIMUM_PARAMETERS
                            ? record->NumberParameters
                            : EXCEPTION_MAXIMUM_PARAMETERS;
    if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && count >= 2)
    {
        WriteValue("Access Violation: Thread attempted to ",
                   record->ExceptionInformation[0] == 1 ? "WRITE" : "READ");
        Write("Access Violation: from memory at address " +
              std::to_string(uint64_t(record->ExceptionInformation[1])));
    }
    else
    {
        for (DWORD i = 0; i < count; ++i)
            Write("Paramter #" + std::to_string(i) +
                  std::to_string(uint64_t(record->ExceptionInformation[i])));
    }
    if (record->ExceptionRecord && WriteStructuredException(record->ExceptionRecord))
        fatal = true;
    EndSection();
    return fatal;
}
