// Quick second clicks, found faulty by exploring the real program: a click
// at the place of the one before, within the double-click time, comes from
// the window system as a double click. Where the thing under the pointer
// acts on every press (a column to sort by, a fold button, a check box) or
// changed since the first click (the tree scrolled), the second click must
// still do what a click does there.
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e/BarItemsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// A point of the task list where the pointer leaves nothing lit.
POINT RestOf(HWND list) {
    const RECT r = RectOf(list);
    return {r.left + 100, r.bottom - 20};
}

// Thirty lists ("List 01" ...) of one task each ("Task 01" ...): more than
// the side tree shows, so the wheel scrolls it.
void WriteThirtyLists(const TProgram& p) {
    std::string file = "d_id-0123456789\r\n";
    char line[160];
    for (int i = 1; i <= 30; ++i) {
        std::snprintf(line, sizeof line, "List %02d\xF7" "0\xF7\r\n", i);
        file += line;
    }
    file += "<--<*&^Folders^&*>-->\r\n<--<*&^Tags^&*>-->\r\n";
    for (int i = 1; i <= 30; ++i) {
        std::snprintf(line, sizeof line, "Task %02d\xF7--\xF7%010d\xF7List %02d\xF7" "1/2/2025\xF7\xF7\r\n", i, i, i);
        file += line;
    }
    MakeFolderOf(p.DatabasePath());
    WriteFile(p.DatabasePath(), file);
}

// The filter bar: the fourth docked toolbar from the top; its list menu
// names the list the task list shows.
HWND FilterBar(HWND main) {
    std::vector<HWND> bars = ChildrenOfClass(main, "TXtToolbar.UnicodeClass");
    std::sort(bars.begin(), bars.end(), [](HWND x, HWND y) { return RectOf(x).top < RectOf(y).top; });
    return bars.size() >= 4 ? bars[3] : nullptr;
}

} // namespace

// Two quick clicks on the Title column sort by it ascending, then
// descending, as two slow ones do: the second click was taken only as a
// double click on the header, and the order stayed ascending.
TEST(ExploreQuickClicksScenario, TwoQuickClicksOnAColumnSortItOneWayThenTheOther) {
    TProgram p("quick-clicks-header");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_NE(parts.List, nullptr);
    POINT origin{};
    ClientToScreen(parts.List, &origin);
    const POINT title{origin.x + 40, origin.y + 10};
    constexpr int TitleEnd = 320;
    const DWORD first = GetTickCount();
    StampedClick(p, title, first);
    MoveTo(p, RestOf(parts.List));
    ASSERT_EQ(SortMarkOf(ClientOrigin(parts.List), TitleEnd), 1);
    StampedClick(p, title, first + 100);
    MoveTo(p, RestOf(parts.List));
    EXPECT_EQ(SortMarkOf(ClientOrigin(parts.List), TitleEnd), -1) << "the second click did not reverse the order";
    Key(p, VK_HOME);
    EXPECT_EQ(parts.ChosenTask(), "Write report");
    EXPECT_EQ(p.Focus(), parts.List);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Two quick clicks on a group's fold button fold the group and open it
// again; the second click was lost and the group stayed folded.
TEST(ExploreQuickClicksScenario, TwoQuickClicksOnAFoldButtonFoldTheGroupAndOpenItAgain) {
    TProgram p("quick-clicks-fold");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    const RECT list = RectOf(parts.List);
    const POINT workButton{list.left + 11, list.top + 35};
    const DWORD first = GetTickCount();
    StampedClick(p, workButton, first);
    Key(p, VK_HOME);
    ASSERT_EQ(parts.ChosenTask(), "Water the plants") << "the first click did not fold Work";
    StampedClick(p, workButton, first + 100);
    Key(p, VK_HOME);
    EXPECT_EQ(parts.ChosenTask(), "Write report") << "Work stayed folded";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The chosen task ticked and unticked by two quick clicks on its check
// box: the second click opened the title's editor on the task instead and
// the task stayed done in the file.
TEST(ExploreQuickClicksScenario, TwoQuickClicksOnTheChosenTasksCheckBoxTickItAndUntickIt) {
    TProgram p("quick-clicks-check");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    ASSERT_EQ(parts.ChosenTask(), "Write report");
    Sleep(GetDoubleClickTime() + 50);    // the next click starts anew
    const POINT box = parts.ListItem(0, 10);
    const DWORD first = GetTickCount();
    StampedClick(p, box, first);
    StampedClick(p, box, first + 100);
    EXPECT_EQ(p.Focus(), parts.List) << "an editor opened on " << TextOf(p.Focus());
    EXPECT_TRUE(ChildrenOfClass(parts.List, "TGvEdit").empty());
    Key(p, VK_ESCAPE);
    Key(p, 'S', Ctrl);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const std::vector<std::string> fields = Fields(TaskLine(ReadFile(p.DatabasePath()), "Write report"));
    ASSERT_GT(fields.size(), 1u);
    EXPECT_EQ(fields[1], "--") << "the task stayed done";
}

// A list clicked, the side tree scrolled by the wheel, and a quick click
// at the same place: that click lands on another list, which it chooses.
// It opened the name's editor on the list clicked first, scrolled away. A
// double click on a list still renames that list.
TEST(ExploreQuickClicksScenario, AQuickClickOnAListTheWheelBroughtUnderThePointerChoosesIt) {
    TComScope com;
    TProgram p("quick-clicks-tree");
    WriteThirtyLists(p);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    HWND filters = FilterBar(main);
    ASSERT_NE(filters, nullptr);
    const POINT row = parts.TreeRow(3);
    const DWORD first = GetTickCount();
    StampedClick(p, row, first);
    ASSERT_TRUE(ItemNamed(filters, "List 03 >").Visible);
    Wheel(p, row, -WHEEL_DELTA);
    StampedClick(p, row, first + 100);
    EXPECT_EQ(p.Focus(), parts.Tree) << "an editor opened holding " << TextOf(p.Focus());
    EXPECT_TRUE(ItemNamed(filters, "List 06 >").Visible) << "the list under the pointer was not chosen";
    Key(p, VK_ESCAPE);

    Sleep(GetDoubleClickTime() + 50);
    DoubleClick(p, row);
    EXPECT_EQ(TextOf(p.Focus()), "List 06");
    Key(p, VK_ESCAPE);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(file.find("List 03\xF7"), std::string::npos);
    EXPECT_NE(file.find("List 06\xF7"), std::string::npos);
}

// The window sent to the notification area by a click on the icon, and a
// quick second click to bring it back: the second click came as a double
// click, which the icon has no use for, and the window stayed hidden.
TEST(ExploreQuickClicksScenario, AQuickSecondClickOnTheTrayIconBringsTheWindowBack) {
    TProgram p("quick-clicks-tray");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(TrayShown());
    const POINT icon = TrayIconPoint();
    const DWORD first = GetTickCount();
    StampedClick(p, icon, first);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    StampedClick(p, icon, first + 100);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != 0; }, 3000)) << "the second click was lost";
    if (!IsWindowVisible(main)) {
        Sleep(GetDoubleClickTime() + 50);
        Click(p, icon);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != 0; }));
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
