// The program on the display a user has: more dots per inch (the "Larger"
// text settings give 120 and 144), larger system fonts, and a layout
// stored for another screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The pitch of the task list's first group (Holidays, one task): from the
// band under its caption to the band closing it, which is its one row and
// a band. 0 when the bands are not there.
int FirstGroupPitch(TProgram& p, int dpi) {
    TRegistryValues values;
    if (dpi != 96) SetScreenDpi(values, dpi);
    HWND main = StartOnPrepared(p);
    if (!main) return 0;
    std::vector<int> bands;
    WaitUntil([&] {
        bands = GroupBandRows(main);
        return bands.size() >= 2;
    });
    Shot(p, main, "explore-display-rows-" + std::to_string(dpi));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    return bands.size() >= 2 ? bands[1] - bands[0] : 0;
}

// The size of a line of text in a face of points on a screen of Dpi dots
// per inch.
SIZE TextSizeAt(const wchar_t* face, int points, int dpi, const std::wstring& text) {
    return TextExtent(face, MulDiv(points, dpi, 72), false, text);
}

// The height of a line of the list's text (Arial, 11 points, the size the
// options start with).
int ListTextHeight(int dpi) { return TextSizeAt(L"Arial", 11, dpi, L"Hg").cy; }

// The width of a line of text in the dialogs' font (MS Sans Serif, 8 points).
int DialogTextWidth(const std::wstring& text, int dpi) { return TextSizeAt(L"MS Sans Serif", 8, dpi, text).cx; }

} // namespace

// At 144 dots per inch the list's text, sized in points, came out half
// as tall again, but the rows kept their height in pixels: every task's
// text was cut at the bottom, descenders gone and the line under a done
// task's title hidden. The rows grow with the text.
TEST(ExploreDisplayScenario, TheTaskListsRowsGrowWithTheTextAtMoreDotsPerInch) {
    TProgram p("explore-display-rows");
    const int normal = FirstGroupPitch(p, 96);
    ASSERT_GT(normal, 0);
    for (const int dpi : {120, 144}) {
        const int larger = FirstGroupPitch(p, dpi);
        const int textGrowth = ListTextHeight(dpi) - ListTextHeight(96);
        ASSERT_GT(textGrowth, 0);
        EXPECT_GE(larger - normal, textGrowth) << dpi << " dots per inch: a group " << larger << " pixels high where 96 have "
                                               << normal << ", and the text grew by " << textGrowth;
    }
}

// The Options dialog at 120 and 144 dots per inch: its text grew with the
// screen, its boxes kept their places in pixels, so the number boxes and
// the database's path covered the ends of their labels ("Note panel font
// si", "Default Databa") and the longest check box's text ran out of its
// panel. The dialog grows with the screen: every label ends before its
// box, and the buttons stay inside the dialog.
TEST(ExploreDisplayScenario, TheOptionsDialogsLabelsStayClearOfTheirBoxesAtMoreDotsPerInch) {
    TProgram p("explore-display-options");
    for (const int dpi : {120, 144}) {
        TRegistryValues values;
        SetScreenDpi(values, dpi);
        HWND main = StartOnPrepared(p);
        ASSERT_NE(main, nullptr);
        // Tools > Options from the keyboard: the menu bar's captions
        // grew with the screen.
        Key(p, 'O', Alt);
        Key(p, VK_UP);
        Key(p, VK_RETURN);
        TOptionsDialog d = WaitOptionsDialog(p);
        ASSERT_NE(d.Ok, nullptr);
        Shot(p, d.Window, "explore-display-options-" + std::to_string(dpi));
        // The check boxes stand where the labels of the left column start.
        std::vector<HWND> checks = ChildrenOfClass(d.Window, "TCheckBox");
        ASSERT_FALSE(checks.empty());
        const LONG column = RectOf(checks.front()).left;
        EXPECT_GE(RectOf(d.NoteFontSize).left, column + DialogTextWidth(L"Note panel font size :", dpi))
            << dpi << " dots per inch";
        EXPECT_GE(RectOf(d.ListFontSize).left, column + DialogTextWidth(L"Task List font size : ", dpi));
        HWND path = nullptr;
        for (HWND e : ChildrenOfClass(d.Window, "TTxcEdit"))
            if (RectOf(e).top > RectOf(d.AutoSaveInterval).bottom) path = e;
        ASSERT_NE(path, nullptr) << DescribeChildren(d.Window);
        EXPECT_GE(RectOf(path).left, column + DialogTextWidth(L"Default Database :", dpi));
        // The longest check box's text inside the panel it is on.
        const RECT panel = RectOf(GetParent(checks.front()));
        EXPECT_LE(column + 20 + DialogTextWidth(L"Confirm before deleting items (no undo is possible)", dpi),
                  panel.right);
        RECT client{};
        GetClientRect(d.Window, &client);
        MapWindowPoints(d.Window, nullptr, reinterpret_cast<POINT*>(&client), 2);
        const RECT ok = RectOf(d.Ok);
        EXPECT_TRUE(ok.right <= client.right && ok.bottom <= client.bottom);
        Key(p, VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(d.Window) || !IsWindowVisible(d.Window); }));
        Key(p, 'Q', Ctrl);
        ASSERT_EQ(p.WaitExit(), 0);
    }
}

} // namespace qelvo::e2e
