#include "MachineOffer.h"

const BackBufferOffer* SurfaceOffer::FindBackBuffer(int backBufferFormat) const
{
    for (const BackBufferOffer& b : backBuffers)
        if (b.format == backBufferFormat) return &b;
    return nullptr;
}

const SurfaceOffer* DeviceOffer::FindFormat(int format) const
{
    for (const SurfaceOffer& s : formats)
        if (s.format == format) return &s;
    return nullptr;
}

const DeviceOffer* AdapterOffer::FindDevice(int type) const
{
    for (const DeviceOffer& d : devices)
        if (d.type == type) return &d;
    return nullptr;
}

const AdapterOffer* MachineOffer::FindAdapter(int ordinal) const
{
    if (ordinal < 0 || size_t(ordinal) >= adapters.size()) return nullptr;
    return &adapters[size_t(ordinal)];
}

std::string FormatName(int format)
{
    switch (format)
    {
    case 20:
        return "R8G8B8, 24-bit";
    case 21:
        return "A8R8G8B8, 32-bit";
    case 22:
        return "X8R8G8B8, 32-bit";
    case 23:
        return "R5G6B5, 16-bit";
    case 24:
        return "X1R5G5B5, 16-bit";
    case 25:
        return "A1R5G5B5, 16-bit";
    case 35:
        return "A2R10G10B10, 32-bit";
    default:
        return "format " + std::to_string(format);
    }
}

std::string DepthFormatName(int format)
{
    switch (format)
    {
    case 83:
        return "24-bit depth, 8-bit stencil";
    case 79:
        return "24-bit depth, 4-bit stencil";
    case 77:
        return "24-bit depth";
    case 80:
        return "16-bit depth";
    default:
        return "format " + std::to_string(format);
    }
}

std::string DeviceTypeName(int type)
{
    switch (type)
    {
    case 1:
        return "Hardware";
    case 2:
        return "Reference (slow)";
    case 3:
        return "Software";
    default:
        return "type " + std::to_string(type);
    }
}

std::string FilterName(int filter)
{
    static const char* const names[] = {"Point", "Bilinear", "Trilinear", "Anisotropic"};
    if (filter < 0 || filter > 3) return "filter " + std::to_string(filter);
    return names[filter];
}
