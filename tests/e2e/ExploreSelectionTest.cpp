// Where the choice, the keyboard and the view go after each command in a
// long grouped list, found faulty by exploring the real program: the
// chosen tasks show when the list has not the keyboard, the note panel
// names the first chosen task after a sort, and a command that takes the
// chosen task out of the list leaves the user where they were.
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e/ExitsSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The list Work with the tasks "Task 00" to "Task 39" (open, normal, with
// no tags, date or note) and the empty list Home.
HWND StartOnLongDatabase(TProgram& p) {
    WriteWorkDatabase(p.DatabasePath(), NumberedTitles(40), {"Home"});
    p.Start();
    return p.Main();
}

// Whether a pixel has the blue of a chosen row (the selection's colour,
// blended or not), not the white, grey or orange of the rest of the list.
bool ChosenBlue(COLORREF c) { return GetBValue(c) > GetRValue(c) + 40 && GetBValue(c) > GetGValue(c) + 20; }

// The middle of the chosen rows' block as the screen shows it, looked for
// down the empty Tags column; -1 when no row shows chosen.
int ChosenRowY(const TMainWindowParts& parts) {
    const RECT r = RectOf(parts.List);
    const int x = r.left + 400;
    for (int y = r.top; y < r.bottom; ++y) {
        if (!ChosenBlue(PixelAt({x, y}))) continue;
        int end = y;
        while (end + 1 < r.bottom && ChosenBlue(PixelAt({x, end + 1}))) ++end;
        if (end - y >= 10) return (y + end) / 2;
        y = end;
    }
    return -1;
}

bool RowShowsChosen(POINT row) { return ChosenBlue(PixelAt({row.x + 280, row.y})); }

} // namespace

// The chosen tasks vanished from the list the moment it lost the keyboard:
// the question "delete selected item(s)?" came over a list that showed no
// task selected, and typing a note showed no task the note belonged to.
// They stay marked, as the list shows them with the keyboard.
TEST(ExploreSelectionScenario, ChosenTasksShowWhileTheListHasNotTheKeyboard) {
    TProgram p("selection-unfocused");
    HWND main = StartOnLongDatabase(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(1));
    Key(p, VK_DOWN, Shift);
    ASSERT_EQ(parts.ChosenTask(), "Task 01");
    ASSERT_TRUE(WaitUntil([&] { return RowShowsChosen(parts.ListItem(1)) && RowShowsChosen(parts.ListItem(2)); }));

    Key(p, VK_DELETE);
    HWND box = p.WaitDialog();
    ASSERT_NE(box, nullptr) << "Del asked nothing";
    EXPECT_TRUE(WaitUntil([&] { return RowShowsChosen(parts.ListItem(1)) && RowShowsChosen(parts.ListItem(2)); }))
        << "the tasks the question is about do not show chosen";
    EXPECT_FALSE(RowShowsChosen(parts.ListItem(3)));
    Shot(p, main, "selection-unfocused-question");
    Key(p, 'N');
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));

    // Typing the note: the task it belongs to stays marked.
    Click(p, CenterOf(parts.NoteEditor));
    ASSERT_EQ(p.Focus(), parts.NoteEditor.Get());
    EXPECT_TRUE(WaitUntil([&] { return RowShowsChosen(parts.ListItem(1)); }))
        << "the note's task does not show chosen while the note is typed";
    EXPECT_EQ(parts.ChosenTask(), "Task 01");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A click on the header sorted the chosen tasks into another order, but
// the note panel went on showing the note of the task that had been first:
// Shift+N, Ctrl+Up and the date and tags panels act on the first chosen
// task, which the panel no longer named.
TEST(ExploreSelectionScenario, TheNotePanelNamesTheFirstChosenTaskAfterASort) {
    TProgram p("selection-sorted-note");
    HWND main = StartOnLongDatabase(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    Key(p, VK_DOWN, Shift);
    ASSERT_EQ(parts.ChosenTask(), "Task 00");

    POINT header{0, 0};
    ClientToScreen(parts.List, &header);
    // Ascending first (the order stays), then descending: Task 01 now
    // comes before Task 00. (Apart, so the second is no double click.)
    Click(p, {header.x + 60, header.y + 10});
    EXPECT_EQ(parts.ChosenTask(), "Task 00");
    Click(p, {header.x + 140, header.y + 10});
    EXPECT_EQ(parts.ChosenTask(), "Task 01") << "the note panel names a task that is no longer the first chosen";
    // Shift+N goes into the note of the task the panel names.
    Key(p, 'N', Shift);
    ASSERT_EQ(p.Focus(), parts.NoteEditor.Get());
    Type(p, "Sorted");
    Key(p, VK_RETURN, Shift);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    const std::vector<std::string> second = Fields(TaskLine(file, "Task 01"));
    ASSERT_GT(second.size(), 5u);
    EXPECT_EQ(second[5], "Sorted\xF8");
}

// In the list Work, grouped by list, the task moved to Home (Shift+L)
// left the list at its top with no task chosen: the next Down started
// over from the first task. The list now stays where it was with the task
// after the moved one chosen in its row, as after a delete.
TEST(ExploreSelectionScenario, ATaskMovedOutOfTheListLeavesTheNextChosenInPlace) {
    TProgram p("selection-moved-out");
    HWND main = StartOnLongDatabase(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.TreeRow(1));
    Click(p, parts.ListItem(0));
    ASSERT_EQ(parts.ChosenTask(), "Task 00");
    Key(p, VK_NEXT);
    Key(p, VK_NEXT);
    const std::string moved = parts.ChosenTask();
    int number = 0;
    ASSERT_EQ(std::sscanf(moved.c_str(), "Task %d", &number), 1) << moved;
    ASSERT_GT(number, 12) << "the list did not scroll";
    ASSERT_LT(number, 35);
    int row = -1;
    ASSERT_TRUE(WaitUntil([&] { return (row = ChosenRowY(parts)) > 0; }));

    Key(p, 'L', Shift);
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    char next[16];
    std::snprintf(next, sizeof next, "Task %02d", number + 1);
    EXPECT_EQ(parts.ChosenTask(), next) << "after the move to Home";
    EXPECT_TRUE(WaitUntil([&] { return ChosenRowY(parts) == row; }))
        << "the list jumped: the chosen row is at " << ChosenRowY(parts) << ", the moved task's was at " << row;
    Shot(p, main, "selection-moved-out");
    Key(p, VK_DOWN);
    std::snprintf(next, sizeof next, "Task %02d", number + 2);
    EXPECT_EQ(parts.ChosenTask(), next);

    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(ListOf(ReadFile(p.DatabasePath()), moved), "Home");
}

} // namespace qelvo::e2e
