// The main window on the screen a user at the "Larger" text settings has:
// 144 dots per inch and system fonts of 18 pixels. The bars and panels
// whose sizes are set in pixels still hold their text.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

constexpr int LargeFont = 18;

// The program started on the prepared database at 144 dots per inch with
// the system's fonts 18 pixels high (Tahoma).
struct TLargeDisplay {
    TRegistryValues Values;
    TLargeDisplay() {
        SetScreenDpi(Values, 144);
        SetSystemFonts(Values, L"Tahoma", -LargeFont);
    }
};

// The height of a line of Face Height pixels high (bold or not).
int LineHeight(const wchar_t* face, int height, bool bold = true) { return TextExtent(face, height, bold, L"Hg").cy; }

// The caption bar of the dockable panel captioned Caption ("" for the
// side panel, whose bar holds only its tabs).
HWND PanelCaptionBar(HWND main, const std::string& caption) {
    for (HWND panel : ChildrenOfClass(main, "TXtDockablePanel.UnicodeClass"))
        if (TextOf(panel) == caption) {
            const std::vector<HWND> bars = ChildrenOfClass(panel, "TXtDockablePanelToolbar.UnicodeClass");
            return bars.empty() ? nullptr : bars.front();
        }
    return nullptr;
}

// The first shown child of a class of the main window; nullptr when none.
HWND FirstOfClass(HWND main, const std::string& className) {
    const std::vector<HWND> found = ChildrenOfClass(main, className);
    return found.empty() ? nullptr : found.front();
}

// Starts the program on the large display, runs Check on its main window,
// saves the window's picture as Name and ends the program.
void OnLargeDisplay(const std::string& name, const std::function<void(TProgram&, HWND)>& check) {
    TProgram p(name);
    TLargeDisplay display;
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    check(p, main);
    Shot(p, main, name);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The width of a line of the dialogs' font (MS Sans Serif, 8 points) at 144
// dots per inch.
int DialogTextWidth(const std::wstring& text) { return TextExtent(L"MS Sans Serif", 8 * 144 / 72, false, text).cx; }

// A title in the quick-entry box, then the Steps-th entry of the Add:
// button's menu (1 Set Due Date, 2 Set Tags).
void ChooseFromAddMenu(TProgram& p, HWND main, int steps) {
    Key(p, 'N', Ctrl);
    Type(p, "x");
    HWND edit = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (edit = FirstOfClass(main, "TXtEdit.UnicodeClass")) != nullptr; }));
    const RECT box = RectOf(edit);
    Click(p, POINT{box.left - 20, (box.top + box.bottom) / 2});
    for (int i = 0; i < steps; ++i) Key(p, VK_DOWN);
    Key(p, VK_RETURN);
}

} // namespace

// The note panel's caption strip kept the 19 pixels it has for the usual
// caption font: in a font of 18 pixels "Note" lost its lower half. The
// strip grows to a line of its caption.
TEST(ExploreDisplayMoreScenario, TheNotePanelsCaptionHoldsALargerSystemFont) {
    OnLargeDisplay("explore-display-note-caption", [](TProgram&, HWND main) {
        // The system keeps its fonts for 96 dots per inch and hands them
        // out grown to the screen's.
        const int line = LineHeight(L"Tahoma", LargeFont * 144 / 96);
        HWND bar = nullptr;
        const bool holds = WaitUntil([&] {
            bar = PanelCaptionBar(main, "Note");
            return bar && RectOf(bar).bottom - RectOf(bar).top >= line + 2;
        });
        EXPECT_TRUE(holds) << "a caption bar of " << (bar ? RectOf(bar).bottom - RectOf(bar).top : 0)
                           << " pixels for a line of " << line << "\n"
                           << DescribeChildren(main);
    });
}

// The side panel kept its 200 pixels while its tabs grew with the font:
// "Tags" ran past the panel's edge, cut in half. The panel starts wide
// enough for its tabs, and a click on the end of "Tags" shows the tags.
TEST(ExploreDisplayMoreScenario, TheSidePanelsTabsFitItsWidthInALargerSystemFont) {
    OnLargeDisplay("explore-display-side-tabs", [](TProgram& p, HWND main) {
        HWND bar = nullptr;
        const bool fits = WaitUntil([&] {
            bar = PanelCaptionBar(main, "");
            return bar && RectOf(bar).right <= RectOf(GetParent(GetParent(bar))).right;
        });
        ASSERT_TRUE(fits) << DescribeChildren(main);
        const RECT tabs = RectOf(bar);
        Click(p, POINT{tabs.right - 12, (tabs.top + tabs.bottom) / 2});
        EXPECT_TRUE(WaitUntil([&] { return TextOf(FirstOfClass(main, "TXtLabel.UnicodeClass")) == "< New tag >"; }))
            << TextOf(FirstOfClass(main, "TXtLabel.UnicodeClass"));
    });
}

// The quick-entry box kept the width the bar's buttons leave at the usual
// font: with wider "Find" and "Add:" it no longer fitted and went behind
// the bar's chevron, so the bar showed no box to type a task in. It takes
// the room the buttons leave.
TEST(ExploreDisplayMoreScenario, TheQuickEntryBoxStaysOnItsBarInALargerSystemFont) {
    OnLargeDisplay("explore-display-quick-entry", [](TProgram&, HWND main) {
        const bool onBar = WaitUntil([&] {
            HWND edit = FirstOfClass(main, "TXtEdit.UnicodeClass");
            if (!edit) return false;
            const RECT box = RectOf(edit), bar = RectOf(GetParent(edit));
            return box.left >= bar.left && box.right <= bar.right && box.right - box.left > 200;
        });
        EXPECT_TRUE(onBar) << DescribeChildren(main);
    });
}

// The quick tags panel kept its 96 dots per inch pixels while its text
// and check boxes grew. Its 16-pixel rows cut the text's foot, and each box
// ran into the next row, the first one's top cut off; the box beside
// "Tags :" covered the colon, and the button's text touched its edges. The
// rows hold a line and a box, and the panel grows with the screen.
TEST(ExploreDisplayMoreScenario, TheQuickTagsPanelHoldsItsTextAtMoreDotsPerInch) {
    OnLargeDisplay("explore-display-quick-tags", [](TProgram& p, HWND main) {
        ChooseFromAddMenu(p, main, 2);
        HWND list = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (list = FirstOfClass(main, "TXtCheckListBox.UnicodeClass")) != nullptr; }))
            << DescribeChildren(main);
        const int row = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        const int line = LineHeight(L"MS Sans Serif", 8 * 144 / 72, false);
        EXPECT_GE(row, line) << "rows of " << row << " pixels for a line of " << line;
        HWND panel = GetParent(list), label = nullptr;
        for (HWND l : ChildrenOfClass(panel, "TXtLabel.UnicodeClass"))
            if (TextOf(l) == "Tags :") label = l;
        const std::vector<HWND> edits = ChildrenOfClass(panel, "TXtEdit.UnicodeClass");
        const std::vector<HWND> buttons = ChildrenOfClass(panel, "TXtButton.UnicodeClass");
        ASSERT_TRUE(label && !edits.empty() && !buttons.empty()) << DescribeChildren(panel);
        EXPECT_LE(RectOf(label).left + DialogTextWidth(L"Tags :"), RectOf(edits.front()).left);
        const RECT ok = RectOf(buttons.front());
        EXPECT_GE(ok.right - ok.left, DialogTextWidth(L"Click here or press enter...") + 4);
        Key(p, VK_ESCAPE);
        Key(p, VK_ESCAPE);
    });
}

} // namespace qelvo::e2e
