#include "SettingsFix.h"

#include "MachineOffer.h"
#include "Settings.h"

namespace
{
using Notes = std::vector<std::string>;

std::string ModeName(const DisplayMode& mode)
{
    return std::to_string(mode.width) + " x " + std::to_string(mode.height);
}

const AdapterOffer& FixAdapter(Settings& s, const MachineOffer& offer, Notes& notes)
{
    if (!offer.FindAdapter(s.adapter))
    {
        notes.push_back("Adapter " + std::to_string(s.adapter) +
                        " does not exist: the first adapter is shown.");
        s.adapter = 0;
    }
    return *offer.FindAdapter(s.adapter);
}

const DeviceOffer* FixDevice(Settings& s, const AdapterOffer& adapter, Notes& notes)
{
    if (adapter.devices.empty()) return nullptr;
    if (!adapter.FindDevice(s.device))
    {
        const int type = adapter.devices.front().type;
        notes.push_back("Device type " + std::to_string(s.device) +
                        " is not offered: " + DeviceTypeName(type) + " is shown.");
        s.device = type;
    }
    return adapter.FindDevice(s.device);
}

const SurfaceOffer* FixFormat(Settings& s, const AdapterOffer& adapter, const DeviceOffer& device,
                              Notes& notes)
{
    if (device.formats.empty()) return nullptr;
    if (!device.FindFormat(s.format))
    {
        const int format = device.FindFormat(adapter.desktopFormat) ? adapter.desktopFormat
                                                                    : device.formats.front().format;
        notes.push_back("Display format " + std::to_string(s.format) +
                        " has no modes: " + FormatName(format) + " is shown.");
        s.format = format;
    }
    return device.FindFormat(s.format);
}

void FixBackBuffer(Settings& s, const SurfaceOffer& surface, Notes& notes)
{
    if (surface.backBuffers.empty() || surface.FindBackBuffer(s.backBuffer)) return;
    const int format =
        surface.FindBackBuffer(s.format) ? s.format : surface.backBuffers.front().format;
    notes.push_back("Back buffer format " + std::to_string(s.backBuffer) +
                    " does not go with the display format: " + FormatName(format) + " is shown.");
    s.backBuffer = format;
}

// -1 (the last mode) is a valid choice; anything else must index the list.
void FixResolution(Settings& s, const AdapterOffer& adapter, const SurfaceOffer& surface,
                   Notes& notes)
{
    const int count = int(surface.modes.size());
    if (s.resolution == -1 || (s.resolution >= 0 && s.resolution < count) || count == 0) return;
    int pick = -1;
    for (int i = 0; i < count; ++i)
        if (surface.modes[size_t(i)].width == adapter.desktop.width &&
            surface.modes[size_t(i)].height == adapter.desktop.height)
            pick = i;
    const std::string shown = ModeName(surface.modes[size_t(pick >= 0 ? pick : count - 1)]);
    notes.push_back("Resolution " + std::to_string(s.resolution) + " is not one of the " +
                    std::to_string(count) + " modes: " + shown + " is shown.");
    s.resolution = pick;
}

const SampleOffer* FindSamples(const std::vector<SampleOffer>& offers, int type)
{
    for (const SampleOffer& o : offers)
        if (o.type == type) return &o;
    return nullptr;
}

// With anti-aliasing on, the type must be offered and "Quality1" (the level
// plus one) within its levels; with it off, the pair is kept when it would
// be valid and cleared otherwise.
void FixSamples(Settings& s, const std::vector<SampleOffer>& offers, Notes& notes)
{
    const SampleOffer* offer = s.samples == 0 ? nullptr : FindSamples(offers, s.samples);
    if (s.samples != 0 && !offer)
    {
        notes.push_back(std::to_string(s.samples) + " samples are not offered for this mode: " +
                        (s.useAA ? "anti-aliasing is off." : "none are shown."));
        s.samples = 0;
        s.quality = 0;
        s.useAA = false;
        return;
    }
    if (s.useAA && !offer)
    {
        notes.push_back("Anti-aliasing is on without a sample count: it is off.");
        s.useAA = false;
    }
    const int levels = offer ? offer->levels : 0;
    const int low = s.useAA ? 1 : 0;
    if (s.quality < low || s.quality > levels)
    {
        const int quality = s.quality < low ? low : levels;
        notes.push_back("Quality " + std::to_string(s.quality) + " is out of range (" +
                        std::to_string(low) + " to " + std::to_string(levels) +
                        "): " + std::to_string(quality) + " is shown.");
        s.quality = quality;
    }
}

void FixFilter(Settings& s, const DeviceOffer& device, Notes& notes)
{
    if (s.filter >= 0 && s.filter <= device.bestFilter) return;
    const int filter = s.filter < 0 ? 0 : device.bestFilter;
    notes.push_back("Filter " + std::to_string(s.filter) +
                    " is not offered: " + FilterName(filter) + " is shown.");
    s.filter = filter;
}

void FixSound(Settings& s, Notes& notes)
{
    if (s.channels >= MinChannels && s.channels <= MaxChannels) return;
    const int channels = s.channels < MinChannels ? MinChannels : MaxChannels;
    notes.push_back("Channels " + std::to_string(s.channels) + " is out of range (" +
                    std::to_string(MinChannels) + " to " + std::to_string(MaxChannels) +
                    "): " + std::to_string(channels) + " is shown.");
    s.channels = channels;
}
} // namespace

const std::vector<SampleOffer>* SamplesFor(const Settings& s, const MachineOffer& offer)
{
    const AdapterOffer* adapter = offer.FindAdapter(s.adapter);
    const DeviceOffer* device = adapter ? adapter->FindDevice(s.device) : nullptr;
    const SurfaceOffer* surface = device ? device->FindFormat(s.format) : nullptr;
    if (!surface) return nullptr;
    if (!s.fullScreen) return &surface->windowedSamples;
    const BackBufferOffer* backBuffer = surface->FindBackBuffer(s.backBuffer);
    return backBuffer ? &backBuffer->samples : nullptr;
}

std::vector<std::string> FixSettings(Settings& s, const MachineOffer& offer)
{
    Notes notes;
    FixSound(s, notes);
    if (offer.adapters.empty())
    {
        notes.push_back(
            "Direct3D 9 found no display adapter: the display settings are shown as read.");
        return notes;
    }
    const AdapterOffer& adapter = FixAdapter(s, offer, notes);
    const DeviceOffer* device = FixDevice(s, adapter, notes);
    if (!device) return notes;
    if (s.hasPure && !device->pure)
    {
        notes.push_back("This device cannot be a pure device: that option is off.");
        s.hasPure = false;
    }
    FixFilter(s, *device, notes);
    const SurfaceOffer* surface = FixFormat(s, adapter, *device, notes);
    if (!surface) return notes;
    FixBackBuffer(s, *surface, notes);
    FixResolution(s, adapter, *surface, notes);
    static const std::vector<SampleOffer> none;
    const std::vector<SampleOffer>* samples = SamplesFor(s, offer);
    FixSamples(s, samples ? *samples : none, notes);
    return notes;
}
