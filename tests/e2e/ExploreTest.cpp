// A third day of use: toolbars floated and closed by their close box,
// typing in the note with and without a task chosen, bars too short for
// their buttons.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The group-by toolbar: the narrow one right under the quick-entry bar.
HWND GroupByBar(HWND main, const TMainWindowParts& parts) {
    HWND groupBy = nullptr;
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass"))
        if (RectOf(w).right - RectOf(w).left < 300 && RectOf(w).top > RectOf(parts.TopEdit).bottom &&
            (!groupBy || RectOf(w).top < RectOf(groupBy).top))
            groupBy = w;
    return groupBy;
}

// A toolbar dragged off its dock by its grip to Where; the floating
// window that holds it (nullptr when it did not float).
HWND FloatBar(TProgram& p, HWND bar, POINT where) {
    const RECT r = RectOf(bar);
    Drag(p, POINT{r.left + 3, (r.top + r.bottom) / 2}, where);
    HWND root = GetAncestor(bar, GA_ROOT);
    return ClassOf(root) == "TXtFloatingWindowParent" ? root : nullptr;
}

// Where a floating window shows its close box.
POINT CloseBoxOfFloating(HWND floating) {
    const RECT f = RectOf(floating);
    return {f.right - 10, f.top + 10};
}

constexpr int ViewMenuX = 52;
constexpr int ShowGroupBySteps = 5, ShowFiltersSteps = 6;  // View menu entries

} // namespace

TEST(ExploreScenario, ToolbarsClosedWhileFloatingComeBackOrCannotBeClosed) {
    TProgram p("explore-bars-closed");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    HWND groupBy = GroupByBar(main, parts);
    ASSERT_NE(groupBy, nullptr);
    HWND filters = nullptr;
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass"))
        if (RectOf(w).right - RectOf(w).left < 400 && w != groupBy) filters = w;
    ASSERT_NE(filters, nullptr);
    // The group-by bar closed by its close box: View > Show Group By panel
    // brings it back at once.
    HWND floating = FloatBar(p, groupBy, POINT{500, 560});
    ASSERT_NE(floating, nullptr);
    Click(p, CloseBoxOfFloating(floating));
    ASSERT_FALSE(IsWindowVisible(groupBy));
    ChooseFromMenu(p, main, ViewMenuX, ShowGroupBySteps);
    EXPECT_TRUE(IsWindowVisible(groupBy)) << "Show Group By panel hid the closed bar once more";

    // The filter bar closed so: the next start keeps it closed, and the
    // View menu shows it.
    floating = FloatBar(p, filters, POINT{500, 700});
    ASSERT_NE(floating, nullptr);
    Click(p, CloseBoxOfFloating(floating));
    ASSERT_FALSE(IsWindowVisible(filters));
    // The menu bar and the quick-entry bar have no command that shows them
    // again: floating, they keep no close box.
    HWND menuBar = ChildrenOfClass(main, "TXtToolbar.UnicodeClass").at(0);
    floating = FloatBar(p, menuBar, POINT{40, 120});
    ASSERT_NE(floating, nullptr) << "the menu bar did not float";
    Click(p, CloseBoxOfFloating(floating));
    EXPECT_TRUE(IsWindowVisible(menuBar)) << "the menu bar was closed";
    HWND quickBar = GetParent(parts.TopEdit);
    floating = FloatBar(p, quickBar, POINT{40, 200});
    ASSERT_NE(floating, nullptr) << "the quick-entry bar did not float";
    Click(p, CloseBoxOfFloating(floating));
    EXPECT_TRUE(IsWindowVisible(parts.TopEdit)) << "the quick-entry bar was closed";

    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Filters Panel", "visible"), "0");
    EXPECT_EQ(IniValue(p.SettingsPath(), "Group By Panel", "visible"), "1");

    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    ChooseFromMenu(p, main, ViewMenuX, ShowFiltersSteps);
    size_t shown = 0;
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass"))
        if (IsWindowVisible(w)) ++shown;
    EXPECT_EQ(shown, 4u) << DescribeChildren(main);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(ExploreScenario, TypingInTheNoteGoesToItsTaskOrIsRefused) {
    TProgram p("explore-note-typing");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // Typed into Write report's note, then straight to Call Tom: its note
    // is empty and undo there brings nothing of the other note back.
    Click(p, parts.ListItem(1));
    Click(p, CenterOf(parts.NoteEditor));
    Key(p, VK_END, Ctrl);
    Type(p, "more");
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Call Tom");
    Click(p, CenterOf(parts.NoteEditor));
    Key(p, 'Z', Ctrl);
    EXPECT_EQ(TextOf(parts.NoteEditor), "");
    // No task chosen (a click under the tasks): the note belongs to none,
    // and what is typed there would be lost, so it is not taken.
    Click(p, parts.ListItem(8));
    EXPECT_EQ(parts.NoteCaption(), "Note");
    Click(p, CenterOf(parts.NoteEditor));
    Type(p, "lost");
    EXPECT_EQ(TextOf(parts.NoteEditor), "") << "the note took text that belongs to no task";
    // A task chosen again takes typing as before.
    Click(p, parts.ListItem(0));
    Click(p, CenterOf(parts.NoteEditor));
    Type(p, "ring");
    Key(p, VK_RETURN, Shift);
    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Write report")).at(5), "Two pages\xF8more\xF8");
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom")).at(5), "ring\xF8");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The pixels of a toolbar's first Width pixels, a few rows off its edges.
std::vector<COLORREF> BarStart(HWND bar, int width) {
    const RECT b = RectOf(bar);
    return PixelsOf(RECT{b.left, b.top + 3, b.left + width, b.bottom - 3});
}

TEST(ExploreScenario, ABarTooShortForItsButtonsHidesItsLastOnes) {
    TProgram p("explore-bar-chevron");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    // The print window's bar does not fit the window as it opens; maximised,
    // it does. Its first buttons (Print Now first) are the same either way.
    ChooseFromMenu(p, main, FileMenuX, 8);
    HWND print = p.WaitTopWindow("TPrintF");
    ASSERT_NE(print, nullptr);
    HWND bar = ChildrenOfClass(print, "TXtToolbar.UnicodeClass").at(0);
    const std::vector<COLORREF> narrow = BarStart(bar, 160);
    Shot(p, print, "explore-print-bar");
    DoubleClick(p, CaptionPointOf(print));
    ASSERT_TRUE(IsZoomed(print));
    EXPECT_TRUE(BarStart(bar, 160) == narrow) << "the print window's bar hid its first buttons";
    Key(p, VK_F4, Alt);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(print) || !IsWindowVisible(print); }));
    // The main window's filter bar likewise, with the window made narrow.
    TMainWindowParts parts(main);
    HWND filters = nullptr;
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass"))
        if (RectOf(w).right - RectOf(w).left < 400 && w != GroupByBar(main, parts)) filters = w;
    ASSERT_NE(filters, nullptr);
    const std::vector<COLORREF> wide = BarStart(filters, 60);
    const RECT r = RectOf(main);
    Drag(p, POINT{r.right - 2, (r.top + r.bottom) / 2}, POINT{r.left + 330, (r.top + r.bottom) / 2});
    Shot(p, main, "explore-narrow-main");
    EXPECT_TRUE(BarStart(filters, 60) == wide) << "the filter bar hid its first item";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
namespace qelvo::e2e {
TEST(ExploreProbe, Probe) {
    TProgram p("explore-probe");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.TreeRow(3));
    Key(p, VK_UP, Ctrl);
    Key(p, VK_UP, Ctrl);
    Key(p, VK_UP, Ctrl);
    Key(p, 'I', Ctrl);
    Shot(p, main, "explore-probe-icon");
    std::printf("focus %s\n", ClassOf(p.Focus()).c_str());
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    std::printf("focus after %s\n", ClassOf(p.Focus()).c_str());
    Key(p, VK_DOWN, Ctrl);
    Key(p, VK_DOWN, Ctrl);
    Key(p, VK_DOWN, Ctrl);
    Key(p, VK_DOWN, Ctrl);
    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    std::printf("%s\n", file.substr(0, file.find("<--")).c_str());
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}
} // namespace qelvo::e2e
