#include "core/tavDialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace
{
enum
{
    Template = 100,
    List = 101,
    Combo = 102,
    Slider = 103,
    Check = 104,
    Edit = 105
};

INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        ASSERT_NE(dialog.Create(IgnoreMessages, GetModuleHandleA(nullptr), Template, nullptr, 0),
                  nullptr);
    }
    tavDialog dialog;
};
} // namespace

TEST_F(DialogTest, ListsKeepDataAndAnswerMinusOneWithoutASelection)
{
    EXPECT_EQ(dialog.IsVisible(), 0);
    dialog.Show(SW_SHOW);
    EXPECT_EQ(dialog.IsVisible(), SW_SHOW);
    EXPECT_EQ(dialog.GetListData(List, -1), -1); // no selection: data is not asked for
    dialog.AddListString(List, 11, "first %d", 1);
    dialog.AddListString(List, 22, "second %s", "x");
    EXPECT_EQ(dialog.GetListCount(List), 2);
    EXPECT_EQ(dialog.GetListData(List, 1), 22);
    dialog.SetListSel(List, 0);
    EXPECT_EQ(dialog.GetListSel(List), 0);
    EXPECT_EQ(dialog.GetListData(List, -1), 11);
    dialog.ClearList(List);
    EXPECT_EQ(dialog.GetListCount(List), 0);

    dialog.AddComboString(Combo, 7, "%s", "only");
    dialog.SetComboSel(Combo, 0);
    EXPECT_EQ(dialog.GetComboCount(Combo), 1);
    EXPECT_EQ(dialog.GetComboSel(Combo), 0);
    EXPECT_EQ(dialog.GetComboData(Combo, -1), 7);
}

TEST_F(DialogTest, SlidersChecksAndNumbers)
{
    dialog.SetSliderRange(Slider, 10, 50);
    dialog.SetSliderPos(Slider, 30);
    EXPECT_EQ(dialog.GetSliderPos(Slider), 30);
    dialog.SetSliderPos(Slider, 99); // clamped by the control
    EXPECT_EQ(dialog.GetSliderPos(Slider), 50);

    EXPECT_FALSE(dialog.IsChecked(Check));
    CheckDlgButton(dialog.GetWindow(), Check, BST_CHECKED);
    EXPECT_TRUE(dialog.IsChecked(Check));

    dialog.SetItemInt(Edit, UINT(-42), true);
    EXPECT_EQ(dialog.GetItemInt(Edit), -42);
    dialog.SetItemText(Edit, "123");
    EXPECT_EQ(dialog.GetItemUInt(Edit), 123u);
    EXPECT_NE(dialog.GetItem(Edit), nullptr);
}

TEST_F(DialogTest, PumpStopsAtTheQuitMessage)
{
    PostMessageA(dialog.GetWindow(), WM_NULL, 0, 0);
    EXPECT_TRUE(dialog.PumpMessage());
    PostQuitMessage(0);
    EXPECT_FALSE(dialog.PumpMessage());
    dialog.Destroy();
    EXPECT_EQ(dialog.GetWindow(), nullptr);
}
