#pragma once
// The setup utility's dialog. It shows settings that are already within
// the machine's offer and keeps them so: each change of a choice fixes the
// choices that depend on it (a new format brings its own modes, a window its
// own anti-aliasing types) and fills the lists again.

#include "MachineOffer.h"
#include "Settings.h"
#include "core/tavDialog.h"

#include <string>

class ConfigDialog
{
public:
    ConfigDialog(const MachineOffer& offer, const Settings& settings, const std::string& note);

    // Shows the dialog and pumps its messages until OK, Cancel or closing;
    // true for OK. -1 style failures (no template) also give false.
    bool Run(HINSTANCE instance);
    // The choice, valid for the machine, after Run returned true.
    const Settings& GetSettings() const { return settings; }

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);
    void OnChange(int id);
    void Finish(bool ok);

    void Fill();
    void FillDisplay(const AdapterOffer& adapter);
    void FillSamples();
    void FillCombo(int id, int selectedData);
    void Check(int id, bool on)
    {
        CheckDlgButton(dialog.GetWindow(), id, on ? BST_CHECKED : BST_UNCHECKED);
    }
    void Clear(int id) { SendDlgItemMessageA(dialog.GetWindow(), id, CB_RESETCONTENT, 0, 0); }
    int Selected(int id) const { return int(dialog.GetComboData(id, -1)); }

    const MachineOffer& offer;
    Settings settings;
    std::string note;
    tavDialog dialog;
    bool done;
    bool accepted;
};
