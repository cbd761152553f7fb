// The main window on the screen a user at the "Larger" text settings has:
// 144 dots per inch and system fonts of 18 pixels. The bars and panels
// whose sizes are set in pixels still hold their text.
#include <gtest/gtest.h>

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

// The height of a line of bold Tahoma Height pixels high.
int BoldLineHeight(int height) {
    HFONT font = CreateFontW(-height, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return tm.tmHeight;
}

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

} // namespace

// The note panel's caption strip kept the 19 pixels it has for the usual
// caption font: in a font of 18 pixels "Note" lost its lower half. The
// strip grows to a line of its caption.
TEST(ExploreDisplayMoreScenario, TheNotePanelsCaptionHoldsALargerSystemFont) {
    TProgram p("explore-display-note-caption");
    TLargeDisplay display;
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    HWND bar = nullptr;
    const int line = BoldLineHeight(LargeFont * 144 / 96);
    const bool holds = WaitUntil([&] {
        bar = PanelCaptionBar(main, "Note");
        return bar && RectOf(bar).bottom - RectOf(bar).top >= line + 2;
    });
    Shot(p, main, "explore-display-note-caption");
    EXPECT_TRUE(holds) << "a caption bar of " << (bar ? RectOf(bar).bottom - RectOf(bar).top : 0)
                       << " pixels for a line of " << line << "\n"
                       << DescribeChildren(main);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The side panel kept its 200 pixels while its tabs grew with the font:
// "Tags" ran past the panel's edge, cut in half. The panel starts wide
// enough for its tabs, and a click on "Tags" shows the tags.
TEST(ExploreDisplayMoreScenario, TheSidePanelsTabsFitItsWidthInALargerSystemFont) {
    TProgram p("explore-display-side-tabs");
    TLargeDisplay display;
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    HWND bar = nullptr;
    const bool fits = WaitUntil([&] {
        bar = PanelCaptionBar(main, "");
        return bar && RectOf(bar).right <= RectOf(GetParent(GetParent(bar))).right;
    });
    Shot(p, main, "explore-display-side-tabs");
    EXPECT_TRUE(fits) << DescribeChildren(main);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The quick-entry box kept the width the bar's buttons leave at the usual
// font: with wider "Find" and "Add:" it no longer fitted and went behind
// the bar's chevron, so the bar showed no box to type a task in. It takes
// the room the buttons leave.
TEST(ExploreDisplayMoreScenario, TheQuickEntryBoxStaysOnItsBarInALargerSystemFont) {
    TProgram p("explore-display-quick-entry");
    TLargeDisplay display;
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    HWND edit = nullptr;
    const bool onBar = WaitUntil([&] {
        const std::vector<HWND> edits = ChildrenOfClass(main, "TXtEdit.UnicodeClass");
        edit = edits.empty() ? nullptr : edits.front();
        if (!edit) return false;
        const RECT box = RectOf(edit), bar = RectOf(GetParent(edit));
        return box.left >= bar.left && box.right <= bar.right && box.right - box.left > 200;
    });
    Shot(p, main, "explore-display-quick-entry");
    EXPECT_TRUE(onBar) << DescribeChildren(main);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
