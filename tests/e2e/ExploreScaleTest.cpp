// The mouse over a database of tens of thousands of tasks: the list's
// scroll-bar thumb dragged from end to end, slowly and at once, the wheel
// spun, a check box ticked and a row Shift+clicked far down, and a choice
// of every task dropped on a list. Every step answers at once, and the
// file after a save holds what the user did, nothing more or less.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "e2e/BigDatabase.h"
#include "e2e/ExitsSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The list's vertical scroll bar: the middle of its track across, and its
// thumb's place at the top (just under the upper arrow).
struct TScrollBar {
    explicit TScrollBar(HWND list) : List(RectOf(list)) {}
    int X() const { return List.right - GetSystemMetrics(SM_CXVSCROLL) / 2 - 2; }
    POINT ThumbAtTop() const { return {X(), List.top + GetSystemMetrics(SM_CYVSCROLL) + 5}; }
    POINT AtBottom() const { return {X(), List.bottom - 5}; }
    POINT Middle() const { return {X(), (List.top + List.bottom) / 2}; }
    RECT List;
};

} // namespace

TEST(ExploreScaleScenario, TheThumbDraggedToTheEndAndAShiftClickThereDeleteEveryTaskFromTheFirstDown) {
    TProgram p("explore-scale-thumb");
    const int count = 30000;
    HWND main = StartOnBigDatabase(p, count);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    const TScrollBar bar(parts.List);
    const RECT list = RectOf(parts.List);
    // Not grouped: the rows in file order, the first chosen.
    Key(p, 'N', Alt);
    Click(p, POINT{list.left + 150, list.top + 40});
    // The thumb taken down the track by the hand, each step answered, and
    // back up and down again at one go.
    ButtonDown(p, bar.ThumbAtTop());
    for (int y = bar.ThumbAtTop().y; y < bar.AtBottom().y; y += 20) {
        MoveTo(p, POINT{bar.X(), y});
        ASSERT_TRUE(p.InputTaken(POINT{list.left + 150, list.top + 100}));
    }
    ButtonUp(p, bar.AtBottom());
    Drag(p, bar.AtBottom(), bar.ThumbAtTop());
    Drag(p, bar.ThumbAtTop(), bar.AtBottom());
    // The wheel spun hard downwards at the end changes nothing.
    for (int i = 0; i < 10; ++i) Wheel(p, CenterOf(parts.List), -WHEEL_DELTA * 3);
    // Shift+click on a row near the end chooses every task from the first
    // down to it; Del deletes them after the question.
    Click(p, POINT{list.left + 150, list.bottom - 40}, Shift);
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, "Are you sure you want to delete selected item(s)?", "&Yes"));
    Key(p, 'S', Ctrl);
    const std::vector<std::string> left = TitlesIn(p.DatabasePath());
    ASSERT_GE(left.size(), 1u);
    ASSERT_LE(left.size(), 3u);
    // What is left is the end of the list, in order, up to the last task.
    for (size_t i = 0; i < left.size(); ++i) {
        char title[32];
        std::snprintf(title, sizeof title, "Task %06d", int(count - left.size() + i));
        EXPECT_EQ(left[i], title);
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
}

TEST(ExploreScaleScenario, ACheckBoxTickedHalfWayDownAndEveryTaskDroppedOnAListAreAllTheFileHolds) {
    TProgram p("explore-scale-drop");
    const int count = 40000;
    HWND main = StartOnBigDatabase(p, count);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    const TScrollBar bar(parts.List);
    const RECT list = RectOf(parts.List);
    const TFileCounts before = CountsIn(p.DatabasePath());
    ASSERT_EQ(before.Tasks, count);
    // Grouped by date (hundreds of groups), the thumb taken half way down.
    Key(p, 'D', Alt);
    Drag(p, bar.ThumbAtTop(), bar.Middle(), 30);
    // A task's check box ticked there: that task alone is done.
    Click(p, POINT{list.left + 10, list.top + 150});
    Key(p, 'S', Ctrl);
    TFileCounts after = CountsIn(p.DatabasePath());
    EXPECT_EQ(after.Tasks, count);
    EXPECT_EQ(after.Done, before.Done + 1);
    // Every task chosen with the mouse: the thumb back at the top, a click
    // on the first task, the thumb at the bottom, a Shift+click on the
    // last; the choice dragged onto the list Work: every task is in Work.
    Drag(p, bar.Middle(), bar.ThumbAtTop());
    Click(p, parts.ListItem(0));
    Drag(p, bar.ThumbAtTop(), bar.AtBottom());
    Click(p, POINT{list.left + 150, list.bottom - 18}, Shift);
    Drag(p, POINT{list.left + 150, list.bottom - 40}, parts.TreeRow(2));
    Key(p, 'S', Ctrl);
    after = CountsIn(p.DatabasePath());
    EXPECT_EQ(after.Tasks, count);
    EXPECT_EQ(after.Done, before.Done + 1);
    EXPECT_EQ(after.Lists, (std::map<std::string, int>{{"Work", count}}));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
}

} // namespace qelvo::e2e
