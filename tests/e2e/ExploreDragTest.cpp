// Tasks dragged with the mouse as a user drags them, found faulty by
// exploring the real program: a drag given up (Escape, the right button)
// leaves the window under the pointer as it was; a drag under a window
// that went away (the hot key) ends instead of holding the keys; the
// tasks dropped where nothing takes them stay chosen; the column header
// is no drop place.
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

std::string SavedListOf(TProgram& p, const std::string& title) {
    Key(p, 'S', Ctrl);
    return ListOf(ReadFile(p.DatabasePath()), title);
}

// Below the last node of the side tree: no node there.
POINT TreeBlank(const TMainWindowParts& parts) {
    const RECT r = RectOf(parts.Tree);
    return {r.left + 60, r.bottom - 20};
}

// A press no sooner than the double-click time after the one before.
void Pause() { Sleep(GetDoubleClickTime() + 50); }

// The left button pressed at From and held there while the pointer goes
// to To: a drag half way.
void PressAndGlide(const TProgram& p, POINT from, POINT to) {
    ButtonDown(p, from);
    Glide(p, from, to);
}

} // namespace

// A drag of a task towards the side tree given up on the way: with
// Escape, or with a press of the right button. Nothing moves, and the
// buttons let go afterwards are no clicks of their own: the right click
// that cancelled chose the node under the pointer (the list filtered to
// another list, the chosen task gone) and opened the tree's menu.
TEST(DragScenario, ADragGivenUpLeavesTheTreeUnderThePointerAsItWas) {
    TProgram p("drag-given-up");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ClickNode(p, parts.Tree, "Home");
    ASSERT_EQ(Texts(p, parts.Tree), "All|Work|Home*|Shop");
    Pause();

    // Escape over Shop, then the button let go below the nodes.
    PressAndGlide(p, parts.ListItem(0), parts.TreeRow(3));
    Key(p, VK_ESCAPE);
    Glide(p, parts.TreeRow(3), TreeBlank(parts), 4);
    ButtonUp(p, TreeBlank(parts));
    EXPECT_EQ(Texts(p, parts.Tree), "All|Work|Home*|Shop") << "after Escape";
    EXPECT_EQ(parts.ChosenTask(), "Water the plants");
    EXPECT_EQ(p.Focus(), parts.List);
    Pause();

    // The right button over Shop, then the left let go below the nodes.
    PressAndGlide(p, parts.ListItem(0), parts.TreeRow(3));
    Click(p, parts.TreeRow(3), true);
    EXPECT_TRUE(PopupMenus(p).empty()) << "a menu opened";
    Glide(p, parts.TreeRow(3), TreeBlank(parts), 4);
    ButtonUp(p, TreeBlank(parts));
    EXPECT_EQ(Texts(p, parts.Tree), "All|Work|Home*|Shop") << "after the right button";
    EXPECT_EQ(parts.ChosenTask(), "Water the plants");
    EXPECT_EQ(p.Focus(), parts.List);
    Key(p, VK_ESCAPE);

    EXPECT_EQ(SavedListOf(p, "Water the plants"), "Home");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The hot key pressed while a task is dragged puts the window away: the
// drag ends there, and the window brought back takes keys again. The
// drag ran on under the hidden window, swallowing every key (Ctrl+Q did
// not end the program).
TEST(DragScenario, TheHotKeyDuringADragEndsIt) {
    TProgram p("drag-hot-key");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    PressAndGlide(p, parts.ListItem(1), parts.TreeRow(3));
    Key(p, 'O', Ctrl | Shift);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main) || IsIconic(main); }));
    ButtonUp(p, parts.TreeRow(3));
    Key(p, 'O', Ctrl | Shift);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && !IsIconic(main); }));
    EXPECT_EQ(SavedListOf(p, "Call the bank"), "Work");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Tasks dropped on "All" (which takes none) stay as they were and stay
// chosen; the choice was lost, the note panel emptied.
TEST(DragScenario, TasksDroppedOnAllStayChosen) {
    TProgram p("drag-onto-all");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(1));
    Click(p, parts.ListItem(2), Ctrl);
    Pause();
    Drag(p, parts.ListItem(2), parts.TreeRow(0));
    EXPECT_EQ(parts.ChosenTask(), "Call the bank");
    EXPECT_EQ(p.Focus(), parts.List);
    // Both are still chosen: a drop on Shop moves the two.
    Pause();
    Drag(p, parts.ListItem(1), parts.TreeRow(3));
    EXPECT_EQ(SavedListOf(p, "Call the bank"), "Shop");
    EXPECT_EQ(SavedListOf(p, "Plan the budget"), "Shop");
    EXPECT_EQ(SavedListOf(p, "Write report"), "Work");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Grouped by priority, the list scrolled a little: a low task dragged
// onto the column header and let go there stays low. The rows scrolled
// away under the header took the drop, unseen, and the task became high.
TEST(DragScenario, ADropOnTheColumnHeaderChangesNoTask) {
    TProgram p("drag-onto-header");
    const char sep = '\xF7';
    std::string file = "d_id-2718281828\r\nWork" + std::string(1, sep) + "0" + sep +
                       "\r\n<--<*&^Folders^&*>-->\r\n<--<*&^Tags^&*>-->\r\n";
    for (int i = 0; i < 40; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%sTask %02d%c--%c%010d%cWork%c1/2/2025%c%c\r\n", i < 4 ? "+" : "-", i, sep,
                      sep, i + 1, sep, sep, sep, sep);
        file += line;
    }
    CreateDirectoryA(p.PathOf("Data").c_str(), nullptr);
    WriteFile(p.DatabasePath(), file);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Key(p, 'P', Alt);
    // One notch down: the first high tasks go under the header.
    Wheel(p, parts.ListItem(3), -WHEEL_DELTA);
    const RECT list = RectOf(parts.List);
    const POINT task{list.left + 120, list.bottom - 30};
    const POINT header{list.left + 120, list.top + 10};
    PressAndGlide(p, task, header);
    ButtonUp(p, header);
    ASSERT_EQ(parts.ChosenTask(), "Task 10");
    Key(p, 'S', Ctrl);
    EXPECT_EQ(Fields(TaskLine(ReadFile(p.DatabasePath()), "Task 10")).at(0), "-Task 10");
    EXPECT_EQ(p.Focus(), parts.List);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
