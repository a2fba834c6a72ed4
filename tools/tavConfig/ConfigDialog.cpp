#include "ConfigDialog.h"

#include "SettingsFix.h"
#include "SetupResources.h"

#include <commctrl.h>

namespace
{
// The dialog procedure has no other way to its object: the utility shows
// one dialog at a time.
ConfigDialog* active = nullptr;

std::string SampleName(int type)
{
    return type == 1 ? std::string("Non-maskable") : std::to_string(type) + " samples";
}
} // namespace

ConfigDialog::ConfigDialog(const MachineOffer& machine, const Settings& start,
                           const std::string& text)
    : offer(machine), settings(start), note(text), done(false), accepted(false)
{
}

bool ConfigDialog::Run(HINSTANCE instance)
{
    active = this;
    if (!dialog.Create(&ConfigDialog::Procedure, instance, IDD_SETUP, nullptr, 0))
    {
        active = nullptr;
        return false;
    }
    dialog.SetItemText(IDC_NOTE, note.empty() ? "Settings from tav.cfg." : note.c_str());
    SendDlgItemMessageA(dialog.GetWindow(), IDC_CHANNELS_SPIN, UDM_SETRANGE32, MinChannels,
                        MaxChannels);
    Fill();
    dialog.Show(SW_SHOWNORMAL);
    SetForegroundWindow(dialog.GetWindow());
    while (!done && dialog.PumpMessage())
    {
    }
    dialog.Destroy();
    active = nullptr;
    return accepted;
}

INT_PTR CALLBACK ConfigDialog::Procedure(HWND, UINT message, WPARAM wParam, LPARAM)
{
    switch (message)
    {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (active) active->OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        if (active) active->Finish(false);
        return TRUE;
    default:
        return FALSE;
    }
}

void ConfigDialog::OnCommand(int id, int code)
{
    if (id == IDOK || id == IDCANCEL)
        Finish(id == IDOK);
    else if ((code == CBN_SELCHANGE && id != IDC_CHANNELS) || code == BN_CLICKED)
        OnChange(id);
}

void ConfigDialog::Finish(bool ok)
{
    if (ok)
    {
        BOOL translated = FALSE;
        const UINT channels = GetDlgItemInt(dialog.GetWindow(), IDC_CHANNELS, &translated, FALSE);
        if (translated)
            settings.channels = channels > UINT(MaxChannels) ? MaxChannels : int(channels);
        FixSettings(settings, offer);
    }
    accepted = ok;
    done = true;
}

// Only the choice that changed is read back: the others keep their values
// (a "Resolution" of -1 stays -1 unless the player picks a mode).
void ConfigDialog::OnChange(int id)
{
    switch (id)
    {
    case IDC_ADAPTER:
        settings.adapter = Selected(id);
        break;
    case IDC_DEVICE:
        settings.device = Selected(id);
        break;
    case IDC_FORMAT:
        settings.format = Selected(id);
        break;
    case IDC_BACKBUFFER:
        settings.backBuffer = Selected(id);
        break;
    case IDC_RESOLUTION:
        settings.resolution = Selected(id);
        break;
    case IDC_FILTER:
        settings.filter = Selected(id);
        break;
    case IDC_QUALITY:
        settings.quality = Selected(id);
        break;
    case IDC_SAMPLES:
        settings.useAA = Selected(id) != 0;
        if (settings.useAA)
        {
            settings.samples = Selected(id);
            if (settings.quality < 1) settings.quality = 1;
        }
        break;
    case IDC_FULLSCREEN:
        settings.fullScreen = dialog.IsChecked(id);
        break;
    case IDC_VSYNC:
        settings.vsync = dialog.IsChecked(id) ? 1 : 0;
        break;
    case IDC_PURE:
        settings.hasPure = dialog.IsChecked(id);
        break;
    case IDC_SHOWFPS:
        settings.showFPS = dialog.IsChecked(id);
        break;
    case IDC_SOUND:
        settings.sound = dialog.IsChecked(id);
        break;
    case IDC_MUSIC:
        settings.music = dialog.IsChecked(id);
        break;
    case IDC_HWSOUND:
        settings.hwSound = dialog.IsChecked(id);
        break;
    default:
        return;
    }
    FixSettings(settings, offer);
    Fill();
}

void ConfigDialog::Fill()
{
    Clear(IDC_ADAPTER);
    for (size_t i = 0; i < offer.adapters.size(); ++i)
        dialog.AddComboString(IDC_ADAPTER, LPARAM(i), "%s", offer.adapters[i].name.c_str());
    FillCombo(IDC_ADAPTER, settings.adapter);
    if (const AdapterOffer* adapter = offer.FindAdapter(settings.adapter)) FillDisplay(*adapter);

    Check(IDC_FULLSCREEN, settings.fullScreen);
    Check(IDC_VSYNC, settings.vsync != 0);
    Check(IDC_SHOWFPS, settings.showFPS);
    Check(IDC_SOUND, settings.sound);
    Check(IDC_MUSIC, settings.music);
    Check(IDC_HWSOUND, settings.hwSound);
    dialog.SetItemInt(IDC_CHANNELS, UINT(settings.channels), false);
}

void ConfigDialog::FillDisplay(const AdapterOffer& adapter)
{
    Clear(IDC_DEVICE);
    for (const DeviceOffer& d : adapter.devices)
        dialog.AddComboString(IDC_DEVICE, d.type, "%s", DeviceTypeName(d.type).c_str());
    FillCombo(IDC_DEVICE, settings.device);
    const DeviceOffer* device = adapter.FindDevice(settings.device);
    if (!device) return;

    Clear(IDC_FILTER);
    for (int f = 0; f <= device->bestFilter; ++f)
        dialog.AddComboString(IDC_FILTER, f, "%s", FilterName(f).c_str());
    FillCombo(IDC_FILTER, settings.filter);
    Check(IDC_PURE, settings.hasPure);
    EnableWindow(dialog.GetItem(IDC_PURE), device->pure);

    Clear(IDC_FORMAT);
    for (const SurfaceOffer& s : device->formats)
        dialog.AddComboString(IDC_FORMAT, s.format, "%s", FormatName(s.format).c_str());
    FillCombo(IDC_FORMAT, settings.format);
    const SurfaceOffer* surface = device->FindFormat(settings.format);
    if (!surface) return;

    Clear(IDC_BACKBUFFER);
    for (const BackBufferOffer& b : surface->backBuffers)
        dialog.AddComboString(IDC_BACKBUFFER, b.format, "%s", FormatName(b.format).c_str());
    FillCombo(IDC_BACKBUFFER, settings.backBuffer);

    Clear(IDC_RESOLUTION);
    for (size_t i = 0; i < surface->modes.size(); ++i)
    {
        const DisplayMode& m = surface->modes[i];
        if (m.refresh)
            dialog.AddComboString(IDC_RESOLUTION, LPARAM(i), "%d x %d, %d Hz", m.width, m.height,
                                  m.refresh);
        else
            dialog.AddComboString(IDC_RESOLUTION, LPARAM(i), "%d x %d", m.width, m.height);
    }
    // -1 means the last mode of the list.
    FillCombo(IDC_RESOLUTION,
              settings.resolution < 0 ? int(surface->modes.size()) - 1 : settings.resolution);

    // The engine takes the first depth format the display format has.
    std::string depth = surface->depthFormats.empty() ? "Depth buffer: none" : "Depth buffer: ";
    for (size_t i = 0; i < surface->depthFormats.size(); ++i)
        depth += (i == 1 ? " (also offered: "
                  : i    ? ", "
                         : "") +
                 DepthFormatName(surface->depthFormats[i]);
    if (surface->depthFormats.size() > 1) depth += ")";
    dialog.SetItemText(IDC_DEPTH, depth.c_str());
    FillSamples();
}

void ConfigDialog::FillSamples()
{
    Clear(IDC_SAMPLES);
    Clear(IDC_QUALITY);
    dialog.AddComboString(IDC_SAMPLES, 0, "None");
    const std::vector<SampleOffer>* samples = SamplesFor(settings, offer);
    int levels = 0;
    for (const SampleOffer& s : samples ? *samples : std::vector<SampleOffer>())
    {
        dialog.AddComboString(IDC_SAMPLES, s.type, "%s", SampleName(s.type).c_str());
        if (s.type == settings.samples) levels = s.levels;
    }
    FillCombo(IDC_SAMPLES, settings.useAA ? settings.samples : 0);
    for (int q = 1; settings.useAA && q <= levels; ++q)
        dialog.AddComboString(IDC_QUALITY, q, "%d", q);
    FillCombo(IDC_QUALITY, settings.quality);
    EnableWindow(dialog.GetItem(IDC_QUALITY), settings.useAA && levels > 1);
}

// Selects the entry whose data is `selectedData` (none when no entry has it).
void ConfigDialog::FillCombo(int id, int selectedData)
{
    const int count = int(dialog.GetComboCount(id));
    int index = -1;
    for (int i = 0; i < count && index < 0; ++i)
        if (int(dialog.GetComboData(id, i)) == selectedData) index = i;
    dialog.SetComboSel(id, index);
}
