// The window's layout: toolbars and panels docked, floated, dragged and
// closed, the window's states (maximised, restored, small, off the
// screen), panel sizes stored and brought back, and the task list's
// columns moved, resized and narrowed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/jotpaper/Jotpaper.h"
#include "e2e/DockSupport.h"
#include "e2e/E2eDriver.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

// The size of the floating window the side panel ends in, dragged off by its
// tab strip to a point beside the main window along a path that first
// rises to height Via (crossing the toolbars when that is their height).
SIZE SidePanelFloatedVia(TProgram& p, int via) {
    p.Start();
    HWND main = p.Main();
    if (!main) return SIZE{};
    const RECT window = RectOf(main);
    const POINT from = PanelCaptionPoint(Panel(main, false));
    const POINT rise{from.x + 40, via};
    const POINT to{window.right + 120, window.top + 200};
    ButtonDown(p, from);
    Glide(p, from, rise, 8);
    Glide(p, rise, to, 12);
    ButtonUp(p, to);
    HWND floating = FloatingWindow(p);
    const RECT r = floating ? RectOf(floating) : RECT{};
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

} // namespace

TEST(WindowLayoutScenario, ABarDroppedOnAnotherRowLeavesTheBarsItPassedWhole) {
    TProgram p("arrange-row-repaint");
    HWND main = StartOnOneTask(p);
    ASSERT_NE(main, nullptr);
    std::vector<HWND> bars = DockedBars(main);
    ASSERT_EQ(bars.size(), 4u);
    // The filter bar dragged by its grip up over the quick-entry bar and
    // dropped on the menu bar's row, part way along it.
    const POINT grip = GripOf(bars[3]);
    const RECT menu = RectOf(bars[0]);
    Drag(p, grip, POINT{grip.x + 300, (menu.top + menu.bottom) / 2});
    bars = DockedBars(main);
    ASSERT_EQ(bars.size(), 4u) << "the filter bar left the dock";
    Shot(p, main, "arrange-row-repaint");
    // Every bar of the dock shows what a repaint of the whole window shows.
    std::vector<RECT> parts;
    for (HWND bar : bars) parts.push_back(RectOf(bar));
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(WindowLayoutScenario, TheSidePanelFloatsWithOneSizeWhetherOrNotItCrossedTheToolbars) {
    TProgram p("arrange-panel-float-size");
    WriteWorkDatabase(p.DatabasePath(), {"Alpha task"});
    // Straight out over the task list, then (the next start) up through the
    // toolbars first: the floating panel has the same size both times.
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const POINT caption = PanelCaptionPoint(Panel(main, false));
    const int toolbars = (RectOf(DockedBars(main)[1]).top + RectOf(DockedBars(main)[1]).bottom) / 2;
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const SIZE straight = SidePanelFloatedVia(p, caption.y + 60);
    ASSERT_GT(straight.cx, 0) << "the side panel did not float";
    const SIZE crossing = SidePanelFloatedVia(p, toolbars);
    ASSERT_GT(crossing.cx, 0) << "the side panel did not float";
    EXPECT_EQ(crossing.cx, straight.cx) << "floated through the toolbars it is " << crossing.cx << "x" << crossing.cy
                                        << ", straight out " << straight.cx << "x" << straight.cy;
    EXPECT_EQ(crossing.cy, straight.cy);
}

// The menu bar's item under the mouse is lit; the mouse goes straight on to
// another bar's grip and drags that bar along its row. The system notices
// the mouse left the menu bar only once the drag holds the mouse: the item
// must go out all the same.
TEST(WindowLayoutScenario, AMenuItemLitByTheMouseGoesOutWhenAnotherBarIsDraggedAtOnce) {
    TProgram p("arrange-hot-item");
    HWND main = StartOnOneTask(p);
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> bars = DockedBars(main);
    ASSERT_EQ(bars.size(), 4u);
    const RECT menu = RectOf(bars[0]);
    p.Settle();
    const std::vector<COLORREF> unlit = PixelsOf(menu);
    MoveTo(p, POINT{menu.left + 24, (menu.top + menu.bottom) / 2});
    p.Settle();
    ASSERT_NE(PixelsOf(menu), unlit) << "no menu item lit under the mouse";
    const POINT grip = GripOf(bars[3]);
    ButtonDown(p, grip);    // the pointer jumps there and presses at once
    Glide(p, grip, POINT{grip.x + 60, grip.y});
    Sleep(600);
    ButtonUp(p, POINT{grip.x + 60, grip.y});
    Sleep(600);    // the system's look at where the mouse went
    p.Settle();
    Shot(p, main, "arrange-hot-item");
    EXPECT_EQ(PixelsOf(menu), unlit) << "a menu item stayed lit";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

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
TEST(WindowLayoutScenario, TheSortMarkShowsTheDirectionTheTasksAreSortedIn) {
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
TEST(WindowLayoutScenario, ANarrowOrShutColumnKeepsItsCheckBoxesAndPicturesInside) {
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
TEST(WindowLayoutScenario, TheDropMarkStandsWhereTheDraggedColumnLands) {
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

TEST(WindowLayoutScenario, AFloatingBarStaysUnderItsCaptionDocksBackOnADoubleClickAndKeepsTheKeyboard) {
    TProgram p("dock-floating-bars");
    HWND main = StartOnOneTask(p);
    ASSERT_NE(main, nullptr);
    std::vector<HWND> bars = DockedBars(main);
    ASSERT_EQ(bars.size(), 4u);
    HWND groupBy = bars[2];

    // The group-by bar off its dock by its grip; a press on its floating
    // caption without a move leaves the window where it is, twice.
    const POINT grip = GripOf(groupBy);
    Drag(p, grip, POINT{grip.x + 320, grip.y - 200});
    HWND floating = FloatingWindow(p);
    ASSERT_NE(floating, nullptr) << "the group-by bar did not float";
    const RECT floated = RectOf(floating);
    Click(p, POINT{floated.left + 40, floated.top + 8});
    EXPECT_TRUE(SameRect(RectOf(floating), floated)) << "a click on the caption moved the bar from "
                                                     << Describe(floated) << " to " << Describe(RectOf(floating));
    Click(p, POINT{floated.left + 80, floated.top + 8});
    EXPECT_TRUE(SameRect(RectOf(floating), floated)) << "a second click moved it to " << Describe(RectOf(floating));

    // A double-click on the caption docks it back where it was.
    const RECT now = RectOf(floating);
    DoubleClick(p, POINT{now.left + 60, now.top + 8});
    EXPECT_TRUE(WaitUntil([&] { return FloatingWindow(p) == nullptr; }))
        << "the double-click left the bar floating at " << Describe(RectOf(floating));
    bars = DockedBars(main);
    EXPECT_EQ(bars.size(), 4u);

    // A task half typed when its bar is dragged off: the rest typed goes on
    // after what was there, and Enter adds the whole title.
    Key(p, 'N', Ctrl);
    Type(p, "Half");
    HWND box = p.Focus();
    ASSERT_EQ(ClassOf(box), "TXtEdit.UnicodeClass");
    const POINT entryGrip = GripOf(GetParent(box));
    Drag(p, entryGrip, POINT{entryGrip.x + 260, entryGrip.y - 190});
    ASSERT_NE(FloatingWindow(p), nullptr) << "the quick-entry bar did not float";
    EXPECT_EQ(p.Focus(), box) << "the keyboard went to " << ClassOf(p.Focus());
    Type(p, " typed");
    EXPECT_EQ(TextOf(box), "Half typed");
    EnterTask(p, "");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::vector<std::string> titles = TitlesIn(p.DatabasePath());
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Half typed"), titles.end());
}

TEST(WindowLayoutScenario, PanelsMovedAmongTheBarsAreDrawnAndTheNoteKeepsItsHeightFromTheSide) {
    TProgram p("dock-panels");
    WriteWorkDatabase(p.DatabasePath(), {"Alpha task", "Beta task"});
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    HWND side = Panel(main, false);
    HWND note = Panel(main, true);
    ASSERT_NE(side, nullptr);
    ASSERT_NE(note, nullptr);

    // The side panel dragged by its tab strip in among the toolbars, then
    // the note panel above it: each is drawn where it lands, tabs and tree,
    // the "< New List >" strip and the note's caption.
    const RECT filters = RectOf(DockedBars(main).back());
    Drag(p, PanelCaptionPoint(side), POINT{(filters.left + filters.right) / 2 + 200, filters.bottom - 4});
    ASSERT_EQ(ClassOf(GetParent(side)), "TXtDock") << "the side panel did not join the bars";
    Shot(p, main, "dock-side-among-bars");
    const RECT tabs = RectOf(ChildrenOfClass(side, "TXtDockablePanelToolbar.UnicodeClass").front());
    EXPECT_LT(ShareOf(tabs, RGB(255, 255, 255)), 0.9) << "the side panel's tabs were not drawn";
    Drag(p, PanelCaptionPoint(note), POINT{(filters.left + filters.right) / 2, RectOf(DockedBars(main)[1]).bottom + 2});
    ASSERT_EQ(ClassOf(GetParent(note)), "TXtDock") << "the note panel did not join the bars";
    Shot(p, main, "dock-note-among-bars");
    const RECT noteCaption = RectOf(ChildrenOfClass(note, "TXtDockablePanelToolbar.UnicodeClass").front());
    EXPECT_LT(ShareOf(noteCaption, RGB(255, 255, 255)), 0.9) << "the note's caption was not drawn";
    const std::vector<HWND> strip = ChildrenOfClass(side, "TXtLabel.UnicodeClass");
    ASSERT_FALSE(strip.empty());
    // Its text is short against a strip as wide as the window: a blank
    // strip is all white, a drawn one keeps its text's pixels.
    EXPECT_LT(ShareOf(RectOf(strip.front()), RGB(255, 255, 255)), 0.998) << "the side panel's strip was not drawn";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);

    // Next start: the note panel dragged under the side panel and folded
    // there (Alt+Z). The height it is given across the window stays.
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    side = Panel(main, false);
    note = Panel(main, true);
    const RECT sideRect = RectOf(side);
    Drag(p, PanelCaptionPoint(note), POINT{sideRect.left + 60, sideRect.bottom - 30});
    ASSERT_EQ(GetParent(note), GetParent(side)) << "the note panel did not join the side panel";
    Key(p, 'Z', Alt);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Note Panel", "Min"), "1");
    EXPECT_EQ(IniInt(p.SettingsPath(), "Note Panel", "DockedHeight"), 80);

    // And the start after: the note unfolded below the list leaves the list
    // most of the window.
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    Key(p, 'Z', Alt);
    const RECT list = RectOf(ChildrenOfClass(main, "TGvListview").front());
    const RECT window = RectOf(main);
    EXPECT_GT(list.bottom - list.top, (window.bottom - window.top) / 2) << Describe(list);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(WindowLayoutScenario, AListClickedInTheFloatingPanelThenLeftForTheQuickEntryKeepsItsName) {
    TProgram p("dock-tree-click");
    HWND main = StartOnOneTask(p);
    ASSERT_NE(main, nullptr);
    // The list "Work" (the row below "All") chosen, then its panel dragged
    // off to float by its tab strip.
    RECT tree = RectOf(ChildrenOfClass(main, "TUniTreeView.UnicodeClass").front());
    Click(p, POINT{tree.left + 60, tree.top + 36});
    Drag(p, PanelCaptionPoint(Panel(main, false)), POINT{tree.left + 660, tree.top + 200});
    ASSERT_NE(FloatingWindow(p), nullptr) << "the side panel did not float";
    // "Work" clicked once more there (the tree would rename it in a
    // moment), and New task (Ctrl+N) taking the keyboard to the quick-entry
    // box at once: what is typed there stays there, and the list keeps its
    // name.
    const std::vector<HWND> trees = ChildrenOfClass(FloatingWindow(p), "TUniTreeView.UnicodeClass");
    ASSERT_EQ(trees.size(), 1u);
    tree = RectOf(trees.front());
    Click(p, POINT{tree.left + 60, tree.top + 36});
    Key(p, 'N', Ctrl);
    Sleep(GetDoubleClickTime() + 300);
    Type(p, "Milk");
    EXPECT_EQ(ClassOf(p.Focus()), "TXtEdit.UnicodeClass");
    EXPECT_EQ(TextOf(p.Focus()), "Milk");
    Key(p, VK_ESCAPE);
    SaveByKeys(p);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(ListsIn(p.DatabasePath()), std::vector<std::string>{"Work"});
}

TEST(WindowLayoutScenario, PanelsSqueezedByASmallWindowComeBackWithItsRoomInThisRunAndTheNext) {
    TProgram p("dock-small-window");
    WriteWorkDatabase(p.DatabasePath(), {"Alpha task"});
    WriteFile(p.SettingsPath(), "[Org Panel]\r\nDockedWidth=250\r\n[Note Panel]\r\nDockedHeight=120\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const RECT start = RectOf(main);
    const int sideWidth = RectOf(Panel(main, false)).right - RectOf(Panel(main, false)).left;
    const int noteHeight = RectOf(Panel(main, true)).bottom - RectOf(Panel(main, true)).top;
    // The window dragged by its corner as small as it goes and back: the
    // panels give the list room while it is small, and take the sizes they
    // had once it is large again.
    Drag(p, POINT{start.right - 2, start.bottom - 2}, POINT{start.left + 150, start.top + 100}, 8);
    const RECT small = RectOf(main);
    Drag(p, POINT{small.right - 2, small.bottom - 2}, POINT{start.right - 2, start.bottom - 2}, 8);
    EXPECT_EQ(RectOf(Panel(main, false)).right - RectOf(Panel(main, false)).left, sideWidth);
    EXPECT_EQ(RectOf(Panel(main, true)).bottom - RectOf(Panel(main, true)).top, noteHeight);
    // Left small: the next start has them back too once the window is as
    // large as before.
    Drag(p, POINT{start.right - 2, start.bottom - 2}, POINT{start.left + 150, start.top + 100}, 8);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniInt(p.SettingsPath(), "Org Panel", "DockedWidth"), 250);
    EXPECT_EQ(IniInt(p.SettingsPath(), "Note Panel", "DockedHeight"), 120);
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    const RECT again = RectOf(main);
    Drag(p, POINT{again.right - 2, again.bottom - 2}, POINT{again.left + 804, again.top + 500}, 8);
    Shot(p, main, "dock-small-window-again");
    EXPECT_EQ(RectOf(Panel(main, false)).right - RectOf(Panel(main, false)).left, sideWidth);
    EXPECT_EQ(RectOf(Panel(main, true)).bottom - RectOf(Panel(main, true)).top, noteHeight);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(WindowLayoutScenario, TheQuickPanelsOfAFloatingQuickEntryBarOpenInsideTheWindow) {
    TProgram p("dock-quick-panels");
    HWND main = StartOnOneTask(p);
    ASSERT_NE(main, nullptr);
    const RECT window = RectOf(main);
    // The quick-entry bar floated below the window and left of it.
    const POINT grip = GripOf(DockedBars(main)[1]);
    Drag(p, grip, POINT{window.left - 200, window.bottom + 120});
    HWND floating = FloatingWindow(p);
    ASSERT_NE(floating, nullptr) << "the quick-entry bar did not float";
    ASSERT_GT(RectOf(floating).top, window.bottom) << Describe(RectOf(floating));
    // "[[" and ";;" typed after a title open the tags and the date panel:
    // each opens inside the window, whole.
    RECT client{};
    GetClientRect(main, &client);
    MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&client), 2);
    auto inside = [&](const RECT& r) {
        return r.left >= client.left && r.top >= client.top && r.right <= client.right && r.bottom <= client.bottom;
    };
    auto openPanel = [&] {
        for (HWND w : ChildrenOfClass(main, "TXtPanel.UnicodeClass"))
            if (GetParent(w) == main) return w;
        return HWND{};
    };
    Key(p, 'N', Ctrl);
    Type(p, "Buy milk[[");
    HWND tags = openPanel();
    ASSERT_NE(tags, nullptr) << "no tags panel";
    EXPECT_TRUE(inside(RectOf(tags))) << "the tags panel at " << Describe(RectOf(tags)) << " outside "
                                      << Describe(client);
    Key(p, VK_ESCAPE);
    Type(p, ";;");
    HWND date = openPanel();
    ASSERT_NE(date, nullptr) << "no date panel";
    EXPECT_TRUE(inside(RectOf(date))) << "the date panel at " << Describe(RectOf(date)) << " outside "
                                      << Describe(client);
    Key(p, VK_ESCAPE);
    Key(p, VK_ESCAPE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Panel sizes from a larger window (or a hand edit) in a small window: the
// panels give way until the task list and the side panel's tree both have
// room to show rows; neither is left a sliver.
TEST(WindowLayoutScenario, PanelsStoredLargerThanTheWindowLeaveTheListAndTheTreeRoom) {
    TProgram p("settings-panels-large");
    WriteWorkDatabase(p.DatabasePath(), {"Old"});
    WriteFile(p.SettingsPath(), "[Form]\r\nWidth=804\r\nHeight=500\r\n[Org Panel]\r\nDockedWidth=790\r\n"
                                "[Note Panel]\r\nDockedHeight=480\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    const std::vector<HWND> trees = ChildrenOfClass(main, "TUniTreeView.UnicodeClass");
    ASSERT_EQ(lists.size(), 1u);
    ASSERT_EQ(trees.size(), 1u);
    auto height = [](HWND w) { return RectOf(w).bottom - RectOf(w).top; };
    // Two rows of the tree at least ("All" and the list).
    const bool roomy = WaitUntil([&] { return height(trees.front()) >= 40 && height(lists.front()) >= 60; });
    Shot(p, main, "settings-panels-large");
    EXPECT_TRUE(roomy) << "tree " << height(trees.front()) << " high, list " << height(lists.front());
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    // The sizes given stay for a window that has room for them.
    EXPECT_EQ(IniValue(p.SettingsPath(), "Note Panel", "DockedHeight"), "480");
}

namespace {

// Waits until the task list has at least half the main window's width.
bool ListHasHalf(TProgram& p, HWND main, HWND list) {
    return WaitUntil([&] {
        p.Settle();
        return WidthOf(list) * 2 >= WidthOf(main) - 40;
    }, 3000);
}

} // namespace

// A side panel wider than the window (stored on a larger screen, or dragged
// wide in a maximised window that was then restored) left the task list
// about 60 pixels: a column of row numbers. The panel gives way to half the
// window, and the width the user gave it comes back where it fits.
TEST(WindowLayoutScenario, ASidePanelWiderThanTheWindowLeavesTheListHalfAndComesBackWhereItFits) {
    TProgram p("explore-stale-side-width");
    WriteFile(p.DatabasePath(), TwoListsDatabase());
    WriteFile(p.SettingsPath(), "[Form]\r\nWidth=804\r\nHeight=500\r\n[Org Panel]\r\nDockedWidth=3000\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    EXPECT_TRUE(ListHasHalf(p, main, parts.List)) << "a list " << WidthOf(parts.List) << " wide";
    EXPECT_GE(WidthOf(parts.Tree), 100);
    Shot(p, main, "explore-stale-side-width-stored");
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    // A width no screen here shows beside a list is not kept.
    EXPECT_LE(std::atoi(IniValue(p.SettingsPath(), "Org Panel", "DockedWidth").c_str()), 804);

    // Maximised, the panel dragged wide; then restored and maximised again.
    WritePrivateProfileStringA("Org Panel", "DockedWidth", "200", p.SettingsPath().c_str());
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    parts = TMainWindowParts(main);
    DoubleClick(p, CaptionPointOf(main));
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) != FALSE; }));
    p.Settle();
    const RECT m = RectOf(main), side = RectOf(parts.SidePanel);
    Drag(p, POINT{side.right - 1, (side.top + side.bottom) / 2}, POINT{m.right - 300, (side.top + side.bottom) / 2});
    p.Settle();
    const int given = WidthOf(parts.SidePanel);
    ASSERT_GT(given, 804) << "the drag did not widen the panel";
    DoubleClick(p, CaptionPointOf(main));
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) == FALSE; }));
    EXPECT_TRUE(ListHasHalf(p, main, parts.List)) << "a list " << WidthOf(parts.List) << " wide";
    Shot(p, main, "explore-stale-side-width-restored");
    DoubleClick(p, CaptionPointOf(main));
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) != FALSE; }));
    EXPECT_TRUE(WaitUntil([&] {
        p.Settle();
        return WidthOf(parts.SidePanel) == given;
    }, 3000)) << "the panel came back " << WidthOf(parts.SidePanel) << " wide, not " << given;
    DoubleClick(p, CaptionPointOf(main));
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) == FALSE; }));
    p.Settle();
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    // The user's width is the one kept for a window that has room for it.
    const int stored = std::atoi(IniValue(p.SettingsPath(), "Org Panel", "DockedWidth").c_str());
    EXPECT_GT(stored, 804);
    EXPECT_LE(stored, given);
}

namespace {

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

} // namespace

TEST(WindowLayoutScenario, ToolbarsClosedWhileFloatingComeBackOrCannotBeClosed) {
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
    // No command brings back the print window's bar: floating, it keeps no
    // close box.
    ChooseFromMenu(p, main, FileMenuX, 8);
    HWND print = p.WaitTopWindow("TPrintF");
    ASSERT_NE(print, nullptr);
    HWND printBar = ChildrenOfClass(print, "TXtToolbar.UnicodeClass").at(0);
    HWND floating = FloatBar(p, printBar, POINT{300, 300});
    ASSERT_NE(floating, nullptr) << "the print window's bar did not float";
    Click(p, CloseBoxOfFloating(floating));
    EXPECT_TRUE(IsWindowVisible(printBar)) << "the print window's bar was closed";
    Key(p, VK_F4, Alt);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(print) || !IsWindowVisible(print); }));

    // The group-by bar closed by its close box: View > Show Group By panel
    // brings it back at once.
    floating = FloatBar(p, groupBy, POINT{500, 560});
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
    // Its floating window fits its items, with no unpainted room beside
    // them (docked, it spanned the window).
    const RECT f = RectOf(floating), m = RectOf(menuBar);
    EXPECT_LT((f.right - f.left) - (m.right - m.left), 20) << "floating window " << f.right - f.left
                                                            << " wide, menu bar " << m.right - m.left;
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

TEST(WindowLayoutScenario, PanelsDraggedLargeLeaveTheTaskListInSight) {
    TProgram p("explore-panel-sizes");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    const RECT m = RectOf(main);
    // The side panel's edge dragged to the window's right edge.
    const RECT side = RectOf(GetParent(GetParent(parts.Tree)));
    Drag(p, POINT{side.right - 1, (side.top + side.bottom) / 2}, POINT{m.right - 5, (side.top + side.bottom) / 2});
    RECT list = RectOf(parts.List);
    EXPECT_GE(list.right - list.left, 50) << "the task list was squeezed away";
    EXPECT_GT(RectOf(GetParent(parts.Tree)).right - side.right, 100) << "the side panel did not grow";
    // The note panel's edge dragged to the window's top.
    const RECT note = RectOf(GetParent(parts.NotePanel));
    Drag(p, POINT{(note.left + note.right) / 2, note.top + 1}, POINT{(note.left + note.right) / 2, m.top + 40});
    list = RectOf(parts.List);
    EXPECT_GE(list.bottom - list.top, 50) << "the task list was squeezed away";
    EXPECT_TRUE(IsWindowVisible(parts.TopEdit) && RectOf(parts.TopEdit).bottom > RectOf(parts.TopEdit).top);
    Shot(p, main, "explore-panel-sizes");
    // Maximised, the note panel made tall, then restored: the smaller
    // window keeps the list in sight too.
    DoubleClick(p, CaptionPointOf(main));
    ASSERT_TRUE(IsZoomed(main));
    const RECT big = RectOf(GetParent(parts.NotePanel));
    const RECT whole = RectOf(main);
    Drag(p, POINT{(big.left + big.right) / 2, big.top + 1}, POINT{(big.left + big.right) / 2, whole.top + 260});
    DoubleClick(p, CaptionPointOf(main));
    ASSERT_FALSE(IsZoomed(main));
    ASSERT_TRUE(WaitUntil([&] {
        p.Settle();
        const RECT l = RectOf(parts.List);
        return l.bottom - l.top >= 50;
    }, 3000)) << "the restored window squeezed the task list away";
    // And so they come back.
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    // A note panel stored taller than the window (a larger screen's).
    WritePrivateProfileStringA("Note Panel", "DockedHeight", "2000", p.SettingsPath().c_str());
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    WaitUntil([&] {
        p.Settle();
        const RECT l = RectOf(TMainWindowParts(main).List);
        return l.bottom - l.top >= 50;
    }, 3000);
    list = RectOf(TMainWindowParts(main).List);
    EXPECT_GE(list.bottom - list.top, 50);
    EXPECT_GE(list.right - list.left, 50);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// The window has the place and size 700 x 450 at 100, 80.
bool AtItsOwnPlace(HWND w) {
    const RECT r = RectOf(w);
    return r.left == 100 && r.top == 80 && r.right - r.left == 700 && r.bottom - r.top == 450;
}

int HeightOf(HWND w) {
    const RECT r = RectOf(w);
    return r.bottom - r.top;
}

// A command of the window's system menu by its underlined letter.
void SystemMenu(TProgram& p, WORD letter) {
    Key(p, VK_SPACE, Alt);
    Key(p, letter);
}

} // namespace

// Left maximised, the window comes back maximised; taken out of it, by the
// caption or the system menu, it takes the place and size it had before it
// was maximised, however many runs ago, and the file keeps them.
TEST(WindowLayoutScenario, AWindowClosedMaximisedComesBackToItsOwnPlaceWhenRestored) {
    TProgram p("window-states-maximised");
    WriteWorkDatabase(p.DatabasePath(), {"Alpha task"});
    WriteFile(p.SettingsPath(), "[Form]\r\nWidth=700\r\nHeight=450\r\nLeft=100\r\nTop=80\r\nMaximized=1\r\n"
                                "[Options]\r\nMinToTrayC=0\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(IsZoomed(main));
    DoubleClick(p, CaptionPointOf(main));
    ASSERT_TRUE(WaitUntil([&] { return !IsZoomed(main); }));
    EXPECT_TRUE(AtItsOwnPlace(main)) << "restored to a place the user never gave it";

    // Maximised from the system menu and closed (from it, or by Ctrl+Q);
    // the next start is maximised and restored from the system menu.
    const auto closeMaximisedAndRestoreAfterAStart = [&](bool fromSystemMenu) {
        SystemMenu(p, 'X');
        ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) != 0; }));
        if (fromSystemMenu)
            SystemMenu(p, 'C');
        else
            Key(p, 'Q', Ctrl);
        ASSERT_EQ(p.WaitExit(), 0);
        EXPECT_EQ(IniValue(p.SettingsPath(), "Form", "Maximized"), "1");
        p.Start();
        main = p.Main();
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(IsZoomed(main));
        SystemMenu(p, 'R');
        ASSERT_TRUE(WaitUntil([&] { return !IsZoomed(main); }));
    };
    // Restore there gives the same place.
    closeMaximisedAndRestoreAfterAStart(true);
    if (HasFatalFailure()) return;
    EXPECT_TRUE(AtItsOwnPlace(main));

    // Moved and resized, then maximised and closed: restoring it after the
    // next start gave the older place and size from settings.ini. The ones
    // it is restored to are kept with the maximised state.
    const POINT caption = CaptionPointOf(main);
    Drag(p, caption, {caption.x + 40, caption.y + 30});
    ASSERT_TRUE(WaitUntil([&] { return RectOf(main).left == 140 && RectOf(main).top == 110; }))
        << "not moved: " << Describe(RectOf(main));
    const RECT moved = RectOf(main);
    Drag(p, {moved.right - 3, moved.bottom - 3}, {moved.right + 57, moved.bottom + 37});
    ASSERT_TRUE(WaitUntil([&] { return Describe(RectOf(main)) == "140,110 760x490"; }))
        << "not resized: " << Describe(RectOf(main));
    closeMaximisedAndRestoreAfterAStart(false);
    if (HasFatalFailure()) return;
    EXPECT_EQ(Describe(RectOf(main)), "140,110 760x490") << "restored to an older run's place and size";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Form", "Maximized"), "0");
    EXPECT_EQ(IniValue(p.SettingsPath(), "Form", "Left"), "140");
    EXPECT_EQ(IniValue(p.SettingsPath(), "Form", "Width"), "760");
}

// The side panel dropped beside the note for a while and then floated
// off: the note, which shared its dock's height meanwhile, gets back the
// height the user gave it, in this run and the next.
TEST(WindowLayoutScenario, ANoteThatSharedItsDockWithTheSidePanelGetsItsHeightBack) {
    TProgram p("window-states-note-height");
    WriteWorkDatabase(p.DatabasePath(), {"Alpha task"});
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    ASSERT_TRUE(parts.SidePanel && parts.NotePanel);
    const int noteHeight = HeightOf(parts.NotePanel);
    const RECT note = RectOf(parts.NotePanel);
    Drag(p, PanelCaptionPoint(parts.SidePanel), POINT{note.right - 80, (note.top + note.bottom) / 2});
    // (A panel moved to another dock may be made again, with a new window.)
    const TMainWindowParts joined(main);
    ASSERT_NE(joined.SidePanel, nullptr);
    ASSERT_EQ(GetParent(joined.SidePanel), GetParent(joined.NotePanel)) << "the side panel did not join the note";
    const RECT window = RectOf(main);
    Drag(p, PanelCaptionPoint(joined.SidePanel), POINT{window.right + 150, window.top + 60});
    parts = TMainWindowParts(main);
    ASSERT_EQ(parts.SidePanel, nullptr) << "the side panel did not float off";
    Shot(p, main, "window-states-note-height");
    EXPECT_EQ(HeightOf(parts.NotePanel), noteHeight) << "the note kept the height of the panel that left";

    // Back beside the note when the program ends: the next start has the
    // side panel on its side and the note its own height.
    HWND floating = nullptr;
    for (HWND w : p.TopWindows())
        if (ClassOf(w) == "TXtFloatingWindowParent") floating = w;
    ASSERT_NE(floating, nullptr);
    const std::vector<HWND> floated = ChildrenOfClass(floating, "TXtDockablePanel.UnicodeClass");
    ASSERT_EQ(floated.size(), 1u);
    Drag(p, PanelCaptionPoint(floated.front()), POINT{note.right - 80, (note.top + note.bottom) / 2});
    ASSERT_NE(TMainWindowParts(main).SidePanel, nullptr) << "the side panel did not dock again";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Note Panel", "DockedHeight"), "80");
}

namespace {

// The header of the task list: the list view's client origin on the
// screen and the middle height of its header bar.
struct THeader {
    HWND List = nullptr;
    POINT Origin{};
    int Y = 0;
    // The screen point on the header at client x.
    POINT At(int x) const { return {Origin.x + x, Y}; }
};

THeader HeaderOf(HWND main) {
    THeader h;
    const auto lists = ChildrenOfClass(main, "TGvListview");
    if (lists.empty()) return h;
    h.List = lists.front();
    ClientToScreen(h.List, &h.Origin);
    h.Y = h.Origin.y + 10;
    return h;
}

void WriteWidths(const TProgram& p, int title, int tags, int due) {
    WriteFile(p.SettingsPath() + "col", "[columns]\r\nC0p=0\r\nC0w=" + std::to_string(title) +
                                           "\r\nC0v=1\r\nC1p=1\r\nC1w=" + std::to_string(tags) +
                                           "\r\nC1v=1\r\nC2p=2\r\nC2w=" + std::to_string(due) + "\r\nC2v=1\r\n");
}

} // namespace

// Each column edge resizes its own column, whatever was dragged before:
// here the widths come from an earlier session, Title is narrowed by its
// own edge, then the pointer goes straight to Due's edge and drags it.
TEST(WindowLayoutScenario, EachColumnEdgeResizesItsOwnColumn) {
    TProgram p("header-resize");
    WriteSampleDatabase(p);
    WriteWidths(p, 260, 150, 100);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    THeader h = HeaderOf(main);
    ASSERT_NE(h.List, nullptr);
    Drag(p, h.At(260), h.At(200));
    Drag(p, h.At(450), h.At(500));
    Shot(p, main, "header-resize");
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(Inicol(p, "C0w"), "200");
    EXPECT_EQ(Inicol(p, "C1w"), "150");
    EXPECT_EQ(Inicol(p, "C2w"), "150");
}

namespace {

RECT WorkArea() {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

bool Inside(const RECT& r, const RECT& area) {
    return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom &&
           r.right - r.left >= 200 && r.bottom - r.top >= 150;
}

} // namespace

TEST(WindowLayoutScenario, AWindowStoredOffTheScreenOrLargerThanItComesBackOnIt) {
    TProgram p("settings-off-screen");
    WriteEmptyDatabase(p.DatabasePath());
    const RECT work = WorkArea();
    // A position of a second monitor that is no longer there.
    WriteFile(p.SettingsPath(), "[Form]\r\nWidth=804\r\nHeight=500\r\nLeft=3000\r\nTop=2000\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(Inside(RectOf(main), work)) << Describe(RectOf(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_LE(IniInt(p.SettingsPath(), "Form", "Left") + IniInt(p.SettingsPath(), "Form", "Width"), work.right);
    EXPECT_LE(IniInt(p.SettingsPath(), "Form", "Top") + IniInt(p.SettingsPath(), "Form", "Height"), work.bottom);

    // A size no screen has.
    WriteFile(p.SettingsPath(), "[Form]\r\nWidth=100000\r\nHeight=70000\r\nLeft=0\r\nTop=0\r\n");
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(Inside(RectOf(main), work)) << Describe(RectOf(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_LE(IniInt(p.SettingsPath(), "Form", "Width"), work.right - work.left);
}

TEST(WindowLayoutScenario, GarbageNumbersInTheSettingsFilesLeaveTheWindowReadable) {
    TProgram p("settings-garbage");
    WriteEmptyDatabase(p.DatabasePath());
    WriteFile(p.SettingsPath(),
              "[Options]\r\nList Font Size=-2147483648\r\nLists Font Size=2147483647\r\nAutoSave Interval=-7\r\n"
              "[Org Panel]\r\nDockedWidth=-100000\r\n[Note Panel]\r\nDockedHeight=99999999\r\n");
    WriteFile(p.PathOf("settings.inicol"),
              "[columns]\r\nC0p=77\r\nC0w=-2147483648\r\nC1p=-3\r\nC1w=99999999\r\nC2p=2\r\nC2w=100\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    AddTask(p, "First readable task");
    AddTask(p, "Second readable task");
    const RECT window = RectOf(main);
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    ASSERT_EQ(lists.size(), 1u);
    const RECT list = RectOf(lists.front());
    Shot(p, main, "settings-garbage");
    // The task list takes a fair part of the window, and its titles are
    // drawn: dark text covers a share of its rows.
    EXPECT_GT(list.right - list.left, (window.right - window.left) / 3) << Describe(list);
    EXPECT_GT(list.bottom - list.top, (window.bottom - window.top) / 4) << Describe(list);
    const RECT rows{list.left + 2, list.top + 24, list.right - 2, list.top + 90};
    EXPECT_LT(ShareOf(rows, RGB(255, 255, 255)), 0.97);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string columns = p.PathOf("settings.inicol");
    for (const char* key : {"C0w", "C1w", "C2w"}) {
        EXPECT_GE(IniInt(columns, "columns", key), 8) << key;
        EXPECT_LE(IniInt(columns, "columns", key), 4000) << key;
    }
    for (const char* key : {"C0p", "C1p", "C2p"}) {
        EXPECT_GE(IniInt(columns, "columns", key), 0) << key;
        EXPECT_LE(IniInt(columns, "columns", key), 2) << key;
    }
    EXPECT_GT(IniInt(p.SettingsPath(), "Org Panel", "DockedWidth"), 0);
    EXPECT_LT(IniInt(p.SettingsPath(), "Note Panel", "DockedHeight"), window.bottom - window.top);
}

TEST(WindowLayoutScenario, AToolbarHintGoesWhenTheToolbarMoves) {
    TProgram p("usemore-hint-move");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // The group-by toolbar: the narrow one right under the quick-entry bar.
    HWND groupBy = nullptr;
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass"))
        if (RectOf(w).right - RectOf(w).left < 300 && RectOf(w).top > RectOf(parts.TopEdit).bottom &&
            (!groupBy || RectOf(w).top < RectOf(groupBy).top))
            groupBy = w;
    ASSERT_NE(groupBy, nullptr);
    const RECT bar = RectOf(groupBy);
    auto hint = [&] {
        for (HWND w : p.TopWindows())
            if (ClassOf(w) == "TBitmapHint") return w;
        return HWND{};
    };
    auto floatingWindow = [&] {
        for (HWND w : p.TopWindows())
            if (ClassOf(w) == "TXtFloatingWindowParent") return w;
        return HWND{};
    };
    // Off its dock by its grip: it floats, and its buttons show hints.
    Drag(p, POINT{bar.left + 3, (bar.top + bar.bottom) / 2}, POINT{bar.left + 300, bar.top + 200});
    HWND floating = floatingWindow();
    ASSERT_NE(floating, nullptr) << "the toolbar did not float";
    auto restOnNothing = [&] {
        const RECT f = RectOf(floating);
        MoveTo(p, POINT{f.left + 90, f.bottom - 10});
        MoveTo(p, POINT{f.left + 92, f.bottom - 10});
        return WaitUntil([&] { return hint() != nullptr; });
    };
    // Resting on "Nothing" shows its hint; moved by its caption, the hint
    // goes with the move.
    ASSERT_TRUE(restOnNothing()) << "no hint on the floating toolbar";
    EXPECT_EQ(TextOf(hint()), "Nothing (Alt+N)");
    const RECT f = RectOf(floating);
    Drag(p, POINT{f.left + 30, f.top + 5}, POINT{f.left + 90, f.top + 85}, 3);
    EXPECT_EQ(hint(), nullptr) << "the hint stayed after the toolbar moved";
    // Likewise when the other toolbar is dragged off its dock.
    ASSERT_TRUE(restOnNothing());
    HWND filters = nullptr;
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass"))
        if (RectOf(w).right - RectOf(w).left < 400 && w != groupBy) filters = w;
    ASSERT_NE(filters, nullptr);
    const RECT fr = RectOf(filters);
    Drag(p, POINT{fr.left + 3, (fr.top + fr.bottom) / 2}, POINT{fr.left + 200, fr.top + 250}, 3);
    EXPECT_EQ(hint(), nullptr) << "the hint stayed after a toolbar floated";
    Shot(p, GetDesktopWindow(), "usemore-hint-moved");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
