// The task list's columns as a user meets them: header clicks that sort
// by one column, then another, then the first again (the sort mark shows
// the order the tasks are in) and the sort left behind by a restart;
// columns dragged narrow or shut, whose check boxes, pictures, clicks and
// title editor stay with their own cells; columns dragged to another
// place, with the mark showing where they land.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/E2eDriver.h"
#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The task list's client area on the screen, and points on its header bar.
struct TListClient {
    HWND List = nullptr;
    POINT Origin{};
    explicit TListClient(HWND list) : List(list) { ClientToScreen(list, &Origin); }
    POINT Header(int x) const { return {Origin.x + x, Origin.y + 10}; }
    POINT At(int x, int y) const { return {Origin.x + x, Origin.y + y}; }
    // A place on the rows where the pointer leaves nothing lit.
    POINT Rest() const { return At(100, 250); }
};

// The first task of the list: Home chooses it and the note panel names it.
std::string FirstTask(TProgram& p, const TMainWindowParts& parts) {
    Key(p, VK_HOME);
    return parts.ChosenTask();
}

// The pixels of client rows that are not the list's white: grid lines and
// anything painted there.
int InkIn(const TListClient& c, int left, int right, int top, int bottom) {
    int ink = 0;
    for (COLORREF px : PixelsOf(RECT{c.Origin.x + left, c.Origin.y + top, c.Origin.x + right, c.Origin.y + bottom}))
        if (px != RGB(255, 255, 255)) ++ink;
    return ink;
}

// The client x of each blue pixel across the header bar's middle row: the
// mark a column dragged over the header shows where it would land.
std::vector<int> DropMarkAt(const TListClient& c, int width) {
    std::vector<int> xs;
    const std::vector<COLORREF> row = PixelsOf(RECT{c.Origin.x, c.Origin.y + 10, c.Origin.x + width, c.Origin.y + 11});
    for (int x = 0; x < static_cast<int>(row.size()); ++x)
        if (row[static_cast<size_t>(x)] == RGB(0, 0, 255)) xs.push_back(x);
    return xs;
}

} // namespace

// Each column keeps its own direction: Title, Due, then Title again sorts
// the titles descending. The mark on the header says so, as it does for
// each click after; the next start shows the tasks in the file's order
// again, with no mark, and the columns as they were left.
TEST(ColumnsSortScenario, TheSortMarkShowsTheDirectionTheTasksAreSortedIn) {
    TProgram p("columns-sort-mark");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_NE(parts.List, nullptr);
    const TListClient list(parts.List);
    // Title ends at 320, Tags at 470, Due at 570. Clicks on one column
    // land a little apart, so that no two make a double click.
    constexpr int TitleEnd = 320, DueEnd = 570;
    struct TStep {
        int X;
        const char* First;  // the Work group's first task after the click
        int TitleMark, DueMark;
    };
    const TStep steps[] = {
        {40, "Call the bank", 1, 0},     // Title, ascending
        {500, "Old invoice", 0, 1},      // Due, ascending
        {60, "Write report", -1, 0},     // Title again: its own next direction
        {80, "Call the bank", 1, 0},     // and back
        {520, "Plan the budget", 0, -1}, // Due again: descending
    };
    for (const TStep& step : steps) {
        Click(p, list.Header(step.X));
        MoveTo(p, list.Rest());
        p.Settle();
        EXPECT_EQ(SortMarkOf(list.Origin, TitleEnd), step.TitleMark) << "Title's mark after the click at " << step.X;
        EXPECT_EQ(SortMarkOf(list.Origin, DueEnd), step.DueMark) << "Due's mark after the click at " << step.X;
        EXPECT_EQ(FirstTask(p, parts), step.First) << "after the click at " << step.X;
    }
    Shot(p, main, "columns-sort-mark");
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath() + "col", "columns", "C0w"), "320");
    EXPECT_EQ(IniValue(p.SettingsPath() + "col", "columns", "C2p"), "2");

    // The sort is the run's own: the next start lists the file's order.
    TProgram again("columns-sort-mark", true);
    again.Start();
    HWND main2 = again.Main();
    ASSERT_NE(main2, nullptr);
    const TMainWindowParts parts2(main2);
    const TListClient list2(parts2.List);
    MoveTo(again, list2.Rest());
    again.Settle();
    EXPECT_EQ(SortMarkOf(list2.Origin, TitleEnd), 0);
    EXPECT_EQ(SortMarkOf(list2.Origin, DueEnd), 0);
    Click(again, parts2.ListItem(1));
    EXPECT_EQ(FirstTask(again, parts2), "Write report");
    Key(again, 'Q', Ctrl);
    EXPECT_EQ(again.WaitExit(), 0);
}

// Title dragged shut, then opened a little by its edge at the list's left:
// the Tags cells beside it show no check box or priority picture of the
// title's, shut or narrow, a click on them is theirs (the priority menu
// of the title's picture no longer pops up over Tags' text), the title
// editor still opens on its task's row, and the widths are kept for the
// next start.
TEST(ColumnsWidthScenario, ANarrowOrShutColumnKeepsItsCheckBoxesAndPicturesInside) {
    TProgram p("columns-narrow");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_NE(parts.List, nullptr);
    const TListClient list(parts.List);
    // The Work group's four rows, a little in from their grid lines (the
    // first row's middle is 64 pixels below the list's top, 23 apart).
    auto workRowsInk = [&](int left, int right, int firstRow = 0) {
        int ink = 0;
        for (int row = firstRow; row < 4; ++row) ink += InkIn(list, left, right, 55 + 23 * row, 65 + 23 * row);
        return ink;
    };
    auto row = [&](int x, int index) { return list.At(x, 62 + 23 * index); };
    auto popups = [&] { return VisibleTops(p, "TXtPopupWindow").size(); };
    auto tagsPanelShown = [&] { return !ChildrenOfClass(main, "TXtCheckListBox.UnicodeClass").empty(); };
    // Before: Title's check boxes and pictures lie in its first 40 pixels.
    EXPECT_GT(workRowsInk(2, 40), 0) << "no check boxes to see at the start";

    Drag(p, list.Header(320), list.Header(-40));
    MoveTo(p, list.Rest());
    p.Settle();
    Shot(p, main, "columns-narrow-shut");
    // Tags now starts at the left edge; its text begins some 30 pixels in.
    EXPECT_EQ(workRowsInk(2, 20), 0) << "the shut Title column's check boxes or pictures show over Tags";
    // A click on the first task's tags, past the place that opens their
    // panel: it chooses the task and opens nothing.
    Click(p, row(24, 0));
    EXPECT_EQ(popups(), 0u) << "a click on Tags' text popped up the shut Title column's priority menu";
    EXPECT_FALSE(tagsPanelShown());
    EXPECT_EQ(parts.NoteCaption(), "No note - Write report");
    if (popups() > 0) Key(p, VK_ESCAPE);
    // Its title edited with the column shut: the editor opens on its row
    // (from 51 to 74 below the list's top), not over the group's caption.
    Key(p, VK_RETURN);
    ASSERT_NE(p.Focus(), parts.List) << "Enter opened no title editor";
    Shot(p, main, "columns-narrow-editor");
    const RECT editor = RectOf(p.Focus());
    EXPECT_GE(editor.top, list.Origin.y + 48) << "the title editor opened above its task's row";
    EXPECT_LE(editor.top, list.Origin.y + 62) << "the title editor opened below its task's row";
    Key(p, VK_ESCAPE);
    ASSERT_EQ(p.Focus(), parts.List);

    Drag(p, list.Header(2), list.Header(14));
    MoveTo(p, list.Rest());
    p.Settle();
    Shot(p, main, "columns-narrow-14");
    EXPECT_GT(workRowsInk(2, 12, 1), 0) << "the narrow Title column shows nothing of its check boxes";
    EXPECT_EQ(workRowsInk(16, 32, 1), 0) << "the narrow Title column's pictures show over Tags";
    // There the same place is the start of Tags, which opens their panel.
    Click(p, row(24, 2));
    EXPECT_EQ(popups(), 0u) << "a click at the start of Tags popped up the narrow Title column's priority menu";
    EXPECT_TRUE(tagsPanelShown()) << "a click at the start of Tags opened no tags panel";
    Key(p, VK_ESCAPE);
    if (popups() > 0) Key(p, VK_ESCAPE);
    EXPECT_FALSE(tagsPanelShown());

    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath() + "col", "columns", "C0w"), "14");
    EXPECT_EQ(IniValue(p.SettingsPath() + "col", "columns", "C1w"), "150");
}

// A column dragged onto another takes its place: dragged leftwards it
// lands before that column, rightwards after it. The mark on the header
// stands at the edge where it will land while the button is held.
TEST(ColumnsDragScenario, TheDropMarkStandsWhereTheDraggedColumnLands) {
    TProgram p("columns-drag");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_NE(parts.List, nullptr);
    const TListClient list(parts.List);
    const std::vector<int> before{0, 1};
    // Due (470 to 570) over Title (0 to 320): it will land first.
    ButtonDown(p, list.Header(520));
    for (int x = 500; x >= 100; x -= 40) MoveTo(p, list.Header(x));
    p.Settle();
    Shot(p, main, "columns-drag-left");
    EXPECT_EQ(DropMarkAt(list, 570), before) << "the mark of a drag leftwards onto Title";
    ButtonUp(p, list.Header(100));
    MoveTo(p, list.Rest());
    p.Settle();
    EXPECT_TRUE(DropMarkAt(list, 570).empty()) << "the mark stayed after the drop";
    // Now Due, Title (100 to 420), Tags (420 to 570): Title over Tags
    // lands last, and the mark stands at Tags' right edge.
    ButtonDown(p, list.Header(200));
    for (int x = 240; x <= 520; x += 40) MoveTo(p, list.Header(x));
    p.Settle();
    EXPECT_EQ(DropMarkAt(list, 570), (std::vector<int>{568, 569})) << "the mark of a drag rightwards onto Tags";
    ButtonUp(p, list.Header(520));
    MoveTo(p, list.Rest());
    p.Settle();
    Shot(p, main, "columns-drag-right");
    EXPECT_TRUE(DropMarkAt(list, 570).empty()) << "the mark stayed after the drop";
    // Title, dragged back over Due, lands first again.
    ButtonDown(p, list.Header(400));
    for (int x = 360; x >= 40; x -= 40) MoveTo(p, list.Header(x));
    p.Settle();
    EXPECT_EQ(DropMarkAt(list, 570), before) << "the mark of a drag leftwards onto Due";
    Key(p, VK_ESCAPE);
    ButtonUp(p, list.Header(40));
    MoveTo(p, list.Rest());
    p.Settle();
    EXPECT_TRUE(DropMarkAt(list, 570).empty()) << "the mark stayed after Esc";
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    // Esc left the columns as they were: Due, Tags, Title.
    EXPECT_EQ(IniValue(p.SettingsPath() + "col", "columns", "C2p"), "0");
    EXPECT_EQ(IniValue(p.SettingsPath() + "col", "columns", "C1p"), "1");
    EXPECT_EQ(IniValue(p.SettingsPath() + "col", "columns", "C0p"), "2");
}

} // namespace qelvo::e2e
