// The GUI's rules without a device: layout, the first-hit order of clicks,
// check-box debounce, radio groups, sliders, hover, and the edit box.
#include "console/tavWidgetSet.h"

#include "console/tavGlyphSheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
class WidgetSetTest : public ::testing::Test
{
protected:
    void SetUp() override // every character 10 font pixels wide, font height 20
    {
        sheet.texWidth = sheet.texHeight = 256;
        sheet.scale = 1.0f;
        sheet.fontHeight = 20.0f;
        for (tavGlyphRect& glyph : sheet.glyphs)
            glyph = {0, 0, 10.0f / 256, 24.0f / 256};
        set.SetFont(&sheet);
        set.SetScreen(1024.0f, 768.0f);
    }
    // A click in the middle of a widget's rectangle (virtual units).
    tavGuiClick ClickAt(float x, float y, float w, float h, uint32_t now = 1000)
    {
        const tavPixelRect r = set.GetScreen().Rect(x, y, w, h);
        return set.Click((r.x0 + r.x1) * 0.5f, (r.y0 + r.y1) * 0.5f, now);
    }
    void Type(const std::string& text) { for (char c : text) set.KeyInput(uint8_t(c), true); }
    std::string Text(int box) { return set.GetEditBox(box)->line.Text(); }
    tavGlyphSheet sheet;
    tavWidgetSet set;
};
} // namespace

TEST_F(WidgetSetTest, QuadsAreScaledToTheScreenWithTheirCellsTopDown)
{
    // 1280 x 1024 virtual units onto 1024 x 768 pixels: 0.8 across, 0.75 up.
    set.AddButton(640, 512, 128, 64, 7, 3, 4);
    const tavQuadVertex* v = set.GetButton(0)->vertices.v;
    EXPECT_EQ((std::vector<float>{v[0].x, v[0].y, v[0].v, v[5].y}),
              (std::vector<float>{512, 432, 0, 384}));
    set.AddCheckBox(100, 100, 40, 40, "");
    set.GetCheckBox(0)->SetTicked(true); // the ticked cell of the atlas
    set.AddEditBox(100, 500, 8, "Name:"); // past its label: 5 glyphs of 10 font pixels
    set.SetScreen(1280.0f, 1024.0f); // lays everything out again
    const tavQuadVertex& tick = set.GetCheckBox(0)->vertices.v[5];
    EXPECT_EQ((std::vector<float>{tick.u, tick.v}), (std::vector<float>{0.66f, 0.66f}));
    const tavPixelRect r = set.GetEditBox(0)->BoxRect(set.GetScreen()); // 8 characters wide
    EXPECT_EQ((std::vector<float>{r.x0, r.x1, r.y0, r.y1}),
              (std::vector<float>{160, 160 + 20 * 8 * 0.85f, 480, 505}));
}

TEST_F(WidgetSetTest, ClicksAndHoverGoToTheFirstWidgetHitInKindOrder)
{
    // Overlapping buttons: the first added takes the click and the hover
    // until it hides; entering a button is reported once, leaving never.
    set.AddButton(100, 100, 200, 100, 11, 1, 2);
    set.AddButton(150, 150, 200, 100, 22, 3, 4);
    const tavPixelRect r = set.GetScreen().Rect(150, 150, 150, 50);
    const float x = (r.x0 + r.x1) * 0.5f, y = (r.y0 + r.y1) * 0.5f;
    const auto textures = [&]
    { return std::vector{set.GetButton(0)->currentTexture, set.GetButton(1)->currentTexture}; };
    EXPECT_EQ(set.Click(x, y, 0).button, 0);
    EXPECT_TRUE(set.UpdateHover(x, y));
    EXPECT_EQ(textures(), (std::vector<int>{2, 3}));
    EXPECT_FALSE(set.UpdateHover(x, y));
    set.GetButton(0)->hidden = true;
    EXPECT_EQ(set.Click(x, y, 0).button, 1);
    EXPECT_TRUE(set.UpdateHover(x, y));
    EXPECT_EQ(textures(), (std::vector<int>{1, 4}));
    EXPECT_FALSE(set.UpdateHover(1.0f, 1.0f));
    EXPECT_EQ(set.GetHoverButton(), -1);
    EXPECT_EQ(textures(), (std::vector<int>{1, 3}));
    // A button, an edit box, a check box, a radio button and a slider over
    // one point: each takes the click once those before it hide.
    set.Clear();
    EXPECT_EQ(set.GetHoverButton(), -1);
    set.SetScreen(1280.0f, 1024.0f);
    set.SetFont(nullptr); // the box starts 10 right of x
    set.AddButton(0, 0, 400, 400, 5, -1, -1);
    set.AddEditBox(-10, 300, 40, "");
    set.AddCheckBox(0, 0, 400, 400, "");
    set.AddRadioButton(0, 0, 400, 400, "", 1);
    set.AddSlider(0, 290, 400, 0, 1, 0);
    EXPECT_EQ(set.Click(200, 300, 0).button, 0);
    set.GetButton(0)->hidden = true;
    EXPECT_TRUE(set.Click(200, 300, 0).consumed);
    EXPECT_EQ(set.GetEditFocus(), 0);
    set.GetEditBox(0)->hidden = true;
    set.Click(200, 300, 0);
    EXPECT_EQ(set.GetEditFocus(), -1);
    EXPECT_TRUE(set.GetCheckBox(0)->ticked);
    EXPECT_FALSE(set.GetRadioButton(0)->ticked);
    // HideAll leaves labels, sliders and check boxes.
    set.AddLabel(0, 0, 0, "stays");
    set.GetButton(0)->hidden = set.GetEditBox(0)->hidden = false;
    set.HideAll();
    EXPECT_EQ((std::vector<bool>{set.GetButton(0)->hidden, set.GetEditBox(0)->hidden,
                                 set.GetLabel(0)->hidden, set.GetSlider(0)->hidden}),
              (std::vector<bool>{true, true, false, false}));
}

TEST_F(WidgetSetTest, CheckBoxesDebounceAndRadioButtonsTickOnlyTheirGroup)
{
    uint8_t flag = 7;
    set.AddCheckBox(100, 100, 40, 40, "Sound");
    tavCheckBox& box = *set.GetCheckBox(0);
    box.flag = &flag;
    EXPECT_TRUE(ClickAt(100, 100, 40, 40, 5000).consumed);
    EXPECT_TRUE(ClickAt(100, 100, 40, 40, 5199).consumed) << "a bounce is still taken";
    EXPECT_EQ(std::make_pair(box.ticked, flag), std::make_pair(true, uint8_t(1)));
    ClickAt(100, 100, 40, 40, 5200);
    EXPECT_EQ(std::make_pair(box.ticked, flag), std::make_pair(false, uint8_t(0)));
    box.disabled = true; // takes the click and keeps its state
    EXPECT_TRUE(ClickAt(100, 100, 40, 40, 9000).consumed && !box.ticked);
    uint8_t flags[4] = {9, 9, 9, 9};
    const int groups[4] = {2, 2, 3, 2};
    for (int i = 0; i < 4; ++i)
    {
        set.AddRadioButton(100, 200 + 100 * i, 30, 30, "", groups[i]);
        set.GetRadioButton(i)->flag = &flags[i];
    }
    EXPECT_EQ(set.GetSelectedRadio(2), -1);
    ClickAt(100, 400, 30, 30);
    ClickAt(100, 200, 30, 30);
    EXPECT_EQ(set.GetSelectedRadio(2), 0);
    ClickAt(100, 500, 30, 30);
    EXPECT_EQ(set.GetSelectedRadio(2) * 10 + set.GetSelectedRadio(3), 32) << "group 3 left alone";
    EXPECT_EQ(std::vector<uint8_t>(flags, flags + 4), (std::vector<uint8_t>{0, 0, 1, 1}));
    ClickAt(100, 500, 30, 30, 1001); // no debounce: stays ticked
    EXPECT_EQ(set.GetSelectedRadio(2), 3);
}

TEST_F(WidgetSetTest, SliderSnapsDownToItsStepsOrFollowsTheCursor)
{
    // 400 units = 320 pixels at 1024 wide; the bar starts at 80 pixels.
    set.AddSlider(100, 500, 400, 10, 20, 4);
    set.AddSlider(100, 700, 400, -1, 1, 0);
    const float left = 80.0f, y0 = 375.0f + 10.0f, y1 = 525.0f + 10.0f;
    EXPECT_TRUE(set.Click(left + 170.0f, y0, 0).consumed);
    EXPECT_FLOAT_EQ(set.GetSlider(0)->knobPosition, 160.0f);
    EXPECT_FLOAT_EQ(set.GetSliderValue(0), 15.0f);
    set.Click(left + 79.9f, y0, 0);
    EXPECT_FLOAT_EQ(set.GetSliderValue(0), 10.0f);
    set.Click(left + 320.0f, y0, 0); // the right end is a step too
    EXPECT_FLOAT_EQ(set.GetSliderValue(0), 20.0f);
    set.Click(left + 80.0f, y1, 0);
    EXPECT_FLOAT_EQ(set.GetSliderValue(1), -0.5f);
    set.SetScreen(1280.0f, 1024.0f); // the knob keeps its place along the bar
    EXPECT_FLOAT_EQ(set.GetSliderValue(1), -0.5f);
    EXPECT_FLOAT_EQ(set.GetSlider(1)->knobPosition, 100.0f);
    set.GetSlider(1)->hidden = true; // lets clicks through
    EXPECT_FALSE(set.Click(100.0f + 300.0f, 715.0f, 0).consumed);
    set.AddSlider(0, 0, 0, 3, 4, 2); // no width: reads its minimum
    EXPECT_EQ(set.GetSliderValue(2), 3.0f);
    EXPECT_EQ(set.GetSliderValue(3), 0.0f) << "no such slider";
}

TEST_F(WidgetSetTest, EditBoxKeysAndPasteEditAtTheCursorWithinTheMaximum)
{
    const uint32_t Backspace = 8, PageUp = 33, PageDown = 34, Home = 36, Left = 37, Right = 39,
                   Delete = 46;
    const auto focus = [&](int box, float inside)
    {
        const tavPixelRect r = set.GetEditBox(box)->BoxRect(set.GetScreen());
        set.Click(r.x0 + inside, r.y0 + inside, 0);
    };
    set.AddEditBox(100, 500, 6, "");
    focus(0, 1);
    Type("ab\x01\x1F\tcd");
    EXPECT_EQ(Text(0), "abcd") << "characters below 32 are not typed";
    for (uint32_t key : {Left, Left, Backspace, Delete})
        set.KeyInput(key, false);
    EXPECT_EQ(Text(0), "ad");
    set.KeyInput(PageUp, false);
    Type("<");
    set.KeyInput(PageDown, false);
    Type(">");
    set.KeyInput(Home, false); // not one of the box's keys
    set.TypeChar('!');
    EXPECT_EQ(Text(0), "<ad>!");
    Type("xyz");
    set.KeyInput(Right, false);
    set.KeyInput(Delete, false);
    set.KeyInput('A', false); // a key-down of a letter types nothing
    EXPECT_EQ(Text(0), "<ad>!x") << "full at six";
    EXPECT_EQ(set.GetEditBox(0)->line.Cursor(), 6);
    // A paste replaces the text with the first characters that fit.
    set.Clear();
    set.AddEditBox(100, 500, 20, "");
    set.AddEditBox(100, 300, -3, ""); // a negative length takes nothing at all
    focus(0, 1);
    Type("old");
    set.Paste(std::string(100, 'h'));
    EXPECT_EQ(Text(0), std::string(20, 'h'));
    set.Paste("short");
    EXPECT_EQ(Text(0), "short");
    EXPECT_EQ(set.GetEditBox(0)->line.Cursor(), 5);
    focus(1, 0); // the box has no width
    set.Paste("x");
    Type("y");
    EXPECT_EQ(Text(1), "");
}
