#pragma once
// A modeless dialog from a dialog template, with thin wrappers for its
// controls, for tools built on the engine (the game shows no dialog). Every
// wrapper returns the Win32 result unchanged and logs nothing.

#include <windows.h>

#include <cstdint>

class tavDialog
{
public:
    tavDialog() : window(nullptr), instance(nullptr), accelerators(nullptr), visible(0) {}
    ~tavDialog() { Destroy(); }
    tavDialog(const tavDialog&) = delete;
    tavDialog& operator=(const tavDialog&) = delete;

    // Replaces any existing dialog window; loads the accelerator table
    // `acceleratorId` from the same module when it is not 0.
    HWND Create(DLGPROC procedure, HINSTANCE module, int templateId, HWND parent,
                int acceleratorId);
    BOOL Show(int command);
    void Destroy();
    HWND GetWindow() const { return window; }
    HWND GetItem(int item) const { return GetDlgItem(window, item); }
    BOOL SetText(const char* text) { return SetWindowTextA(window, text); }
    HMENU GetMenu() const { return ::GetMenu(window); }
    int IsVisible() const { return visible; }
    // One message for the dialog; 0 when the quit message arrived.
    BOOL PumpMessage();
    // Small icon `first`, big icon `second`, from the dialog's module.
    bool SetIcons(int first, int second);

    UINT GetItemUInt(int item) const { return GetDlgItemInt(window, item, nullptr, FALSE); }
    int GetItemInt(int item) const { return int(GetDlgItemInt(window, item, nullptr, TRUE)); }
    // Index -1 asks for the current selection first (-1 comes back as it is).
    LRESULT GetListData(int item, int index) const;
    LRESULT GetComboData(int item, int index) const;
    LRESULT GetListSel(int item) const { return Send(item, LB_GETCURSEL, 0, 0); }
    LRESULT GetComboSel(int item) const { return Send(item, CB_GETCURSEL, 0, 0); }
    LRESULT GetSliderPos(int item) const;
    LRESULT GetListCount(int item) const { return Send(item, LB_GETCOUNT, 0, 0); }
    LRESULT GetComboCount(int item) const { return Send(item, CB_GETCOUNT, 0, 0); }
    BOOL SetItemText(int item, const char* text) { return SetDlgItemTextA(window, item, text); }
    BOOL SetItemInt(int item, UINT value, bool isSigned)
    {
        return SetDlgItemInt(window, item, value, isSigned);
    }
    // printf rules into 1024 bytes; the data is attached when the add worked.
    LRESULT AddListString(int item, LPARAM data, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    LRESULT AddComboString(int item, LPARAM data, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    LRESULT SetListSel(int item, int index) { return Send(item, LB_SETCURSEL, WPARAM(index), 0); }
    LRESULT SetComboSel(int item, int index) { return Send(item, CB_SETCURSEL, WPARAM(index), 0); }
    bool SetSliderRange(int item, int min, int max);
    bool SetSliderPos(int item, int position);
    bool SetSliderTicks(int item, int frequency);
    bool IsChecked(int item) const { return Send(item, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool ClearList(int item) { return Send(item, LB_RESETCONTENT, 0, 0) != 0; }

private:
    LRESULT Send(int item, UINT message, WPARAM wParam, LPARAM lParam) const
    {
        return SendDlgItemMessageA(window, item, message, wParam, lParam);
    }
    LRESULT GetData(int item, int index, UINT selMessage, UINT dataMessage) const;
    LRESULT AddString(int item, LPARAM data, UINT addMessage, UINT dataMessage, const char* format,
                      va_list args);

    HWND window;
    HINSTANCE instance;
    HACCEL accelerators;
    uint8_t visible;
};
