#pragma once
// What the machine's display adapters offer, as plain data: filled from
// Direct3D 9 by the setup utility, by hand in tests. Formats are Direct3D
// format codes, device types Direct3D device types (1 hardware).

#include <string>
#include <vector>

struct DisplayMode
{
    int width;
    int height;
    int refresh; // Hz; 0 when the adapter does not say
};

struct SampleOffer
{
    int type;   // multisample type: the number of samples (1 non-maskable)
    int levels; // quality levels of that type, at least 1
};

// One full-screen back-buffer format of a display format, with the
// multisample types it and the depth buffer support together.
struct BackBufferOffer
{
    int format;
    std::vector<SampleOffer> samples;
};

// One display format on one device.
struct SurfaceOffer
{
    int format;
    std::vector<DisplayMode> modes; // in the adapter's order: "Resolution" indexes it
    std::vector<BackBufferOffer> backBuffers;
    std::vector<int> depthFormats; // in the engine's order of preference; it takes the first
    // In a window the back buffer takes the desktop's format.
    std::vector<SampleOffer> windowedSamples;

    const BackBufferOffer* FindBackBuffer(int backBufferFormat) const;
};

struct DeviceOffer
{
    int type;
    bool pure;      // a pure device can be asked for
    int bestFilter; // the best "Filter" value the texture units do (0 to 3)
    std::vector<SurfaceOffer> formats;

    const SurfaceOffer* FindFormat(int format) const;
};

struct AdapterOffer
{
    std::string name;
    int desktopFormat;
    DisplayMode desktop;
    std::vector<DeviceOffer> devices;

    const DeviceOffer* FindDevice(int type) const;
};

struct MachineOffer
{
    std::vector<AdapterOffer> adapters;

    const AdapterOffer* FindAdapter(int ordinal) const;
};

// The player's name of a format code ("X8R8G8B8, 32-bit"), of a depth
// format, of a device type and of a "Filter" value.
std::string FormatName(int format);
std::string DepthFormatName(int format);
std::string DeviceTypeName(int type);
std::string FilterName(int filter);
