#include "core/tavDialog.h"

#include "util/tavText.h"

#include <commctrl.h>

HWND tavDialog::Create(DLGPROC procedure, HINSTANCE module, int templateId, HWND parent,
                       int acceleratorId)
{
    Destroy();
    instance = module;
    window = CreateDialogParamA(module, MAKEINTRESOURCEA(templateId), parent, procedure, 0);
    if (acceleratorId)
        accelerators = LoadAcceleratorsA(module, MAKEINTRESOURCEA(acceleratorId));
    visible = 0;
    return window;
}

BOOL tavDialog::Show(int command)
{
    visible = uint8_t(command);
    return ShowWindow(window, command);
}

void tavDialog::Destroy()
{
    if (window)
        DestroyWindow(window);
    window = nullptr;
}

BOOL tavDialog::PumpMessage()
{
    MSG msg;
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1)
        return 0;
    if (accelerators)
    {
        if (TranslateAcceleratorA(window, accelerators, &msg))
            return TRUE;
    }
    else if (IsDialogMessageA(window, &msg))
    {
        return TRUE;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return TRUE;
}

bool tavDialog::SetIcons(int first, int second)
{
    SendMessageA(window, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadIconA(instance, MAKEINTRESOURCEA(first))));
    SendMessageA(window, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconA(instance, MAKEINTRESOURCEA(second))));
    return true;
}

LRESULT tavDialog::GetData(int item, int index, UINT selMessage, UINT dataMessage) const
{
    if (index == -1)
    {
        index = int(Send(item, selMessage, 0, 0));
        if (index == -1)
            return -1;
    }
    return Send(item, dataMessage, WPARAM(index), 0);
}

LRESULT tavDialog::GetListData(int item, int index) const
{
    return GetData(item, index, LB_GETCURSEL, LB_GETITEMDATA);
}

LRESULT tavDialog::GetComboData(int item, int index) const
{
    return GetData(item, index, CB_GETCURSEL, CB_GETITEMDATA);
}

LRESULT tavDialog::GetSliderPos(int item) const { return Send(item, TBM_GETPOS, 0, 0); }

LRESULT tavDialog::AddString(int item, LPARAM data, UINT addMessage, UINT dataMessage,
                             const char* format, va_list args)
{
    const std::string text = FormatBounded(1024, format, args);
    const LRESULT index = Send(item, addMessage, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0)
        Send(item, dataMessage, WPARAM(index), data);
    return index;
}

LRESULT tavDialog::AddListString(int item, LPARAM data, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const LRESULT r = AddString(item, data, LB_ADDSTRING, LB_SETITEMDATA, format, args);
    va_end(args);
    return r;
}

LRESULT tavDialog::AddComboString(int item, LPARAM data, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const LRESULT r = AddString(item, data, CB_ADDSTRING, CB_SETITEMDATA, format, args);
    va_end(args);
    return r;
}

bool tavDialog::SetSliderRange(int item, int min, int max)
{
    Send(item, TBM_SETRANGEMAX, FALSE, max);
    return Send(item, TBM_SETRANGEMIN, TRUE, min) != 0;
}

bool tavDialog::SetSliderPos(int item, int position)
{
    return Send(item, TBM_SETPOS, TRUE, position) != 0;
}

bool tavDialog::SetSliderTicks(int item, int frequency)
{
    return Send(item, TBM_SETTICFREQ, WPARAM(frequency), 0) != 0;
}
