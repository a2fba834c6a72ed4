#include "core/tavDialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace
{
INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
} // namespace

// Index -1 asks for the selection's data, and answers -1 without one; the
// pump reports the quit message.
TEST(DialogTest, ListsGiveTheSelectionsDataAndThePumpStopsAtTheQuitMessage)
{
    const int Template = 100, List = 101, Combo = 102, Slider = 103, Edit = 105;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    tavDialog dialog;
    ASSERT_NE(dialog.Create(IgnoreMessages, GetModuleHandleA(nullptr), Template, nullptr, 0),
              nullptr);
    EXPECT_EQ(dialog.GetListData(List, -1), -1);
    dialog.AddListString(List, 11, "first %d", 1);
    dialog.AddListString(List, 22, "second %s", "x");
    EXPECT_EQ(dialog.GetListData(List, 1), 22);
    dialog.SetListSel(List, 0);
    EXPECT_EQ(dialog.GetListData(List, -1), 11);
    dialog.ClearList(List);
    EXPECT_EQ(dialog.GetListCount(List), 0);
    EXPECT_EQ(dialog.GetComboData(Combo, -1), -1);
    dialog.AddComboString(Combo, 7, "%s", "only");
    dialog.SetComboSel(Combo, 0);
    EXPECT_EQ(dialog.GetComboData(Combo, -1), 7);
    dialog.SetSliderRange(Slider, 10, 50);
    dialog.SetSliderPos(Slider, 30);
    EXPECT_EQ(dialog.GetSliderPos(Slider), 30);
    dialog.SetItemInt(Edit, UINT(-42), true);
    EXPECT_EQ(dialog.GetItemInt(Edit), -42);
    dialog.SetItemText(Edit, "123");
    EXPECT_EQ(dialog.GetItemUInt(Edit), 123u);
    PostMessageA(dialog.GetWindow(), WM_NULL, 0, 0);
    EXPECT_TRUE(dialog.PumpMessage());
    PostQuitMessage(0);
    EXPECT_FALSE(dialog.PumpMessage());
    dialog.Destroy();
    EXPECT_EQ(dialog.GetWindow(), nullptr);
}
