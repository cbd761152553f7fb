// The task list's menu asked for from the keyboard, and a menu left open
// when the Windows session is held back.
#include <gtest/gtest.h>

#include <sstream>

#include "e2e/E2eDriver.h"
#include "e2e/ExitsSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The context menu that is up (nullptr when none).
HWND ListMenuUp(const TProgram& p) {
    for (HWND w : p.TopWindows())
        if (ClassOf(w) == "TXtPopupWindow") return w;
    return nullptr;
}

// The program's visible top-level windows that cover the screen, other
// than the main window and its boxes, one line each: a census of what is
// left on the screen.
std::string StrayWindows(const TProgram& p, HWND main) {
    std::ostringstream out;
    for (HWND w : p.TopWindows()) {
        const RECT r = RectOf(w);
        if (w == main || ClassOf(w) == "#32770" || r.right <= r.left || r.bottom <= r.top) continue;
        out << ClassOf(w) << " (" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")\n";
    }
    return out.str();
}

} // namespace

// The menu key and Shift+F10 opened the task list's menu at the list's top
// left corner, over the group's caption, far from the task chosen with the
// keyboard. The menu opens at the first chosen task, brought into view when
// the list was scrolled away from it, and acts on the tasks chosen. A menu
// still open when the session was held back closed, but its shadows stayed
// on the screen until the report of the failed save was answered.
TEST(TaskListMenuScenario, TheMenuKeyOpensAtTheChosenTaskAndASessionHeldBackLeavesNoShadow) {
    TProgram p("mend11-list-menu");
    WriteWorkDatabase(p.DatabasePath(), NumberedTitles(40));
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TMainWindowParts w(main);
    ASSERT_NE(w.List, nullptr);
    const RECT list = RectOf(w.List);
    // Task 03 chosen from the keyboard, the pointer resting on the tree.
    Click(p, w.ListItem(1));
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    MoveTo(p, w.TreeRow(1));
    Key(p, VK_F10, Shift);
    HWND menu = ListMenuUp(p);
    ASSERT_NE(menu, nullptr);
    RECT r = RectOf(menu);
    const int rowTop = w.ListItem(3).y - 11;
    EXPECT_GE(r.top, rowTop - 2) << "the menu opens above the chosen task";
    EXPECT_LE(r.top, rowTop + 23) << "the menu opens below the chosen task";
    // The chosen row's colour, right of the menu.
    const int besideMenu = list.right - 40;
    const COLORREF chosen = PixelAt({besideMenu, rowTop + 11});
    Shot(p, main, "mend11-menu-key");
    Key(p, VK_ESCAPE);
    EXPECT_EQ(ListMenuUp(p), nullptr);

    // Tasks 03 to 05 chosen, the list scrolled away from them: the menu
    // key brings the first into view and opens there; Delete takes the
    // three.
    Key(p, VK_DOWN, Shift);
    Key(p, VK_DOWN, Shift);
    Wheel(p, w.ListItem(4), -WHEEL_DELTA * 6);
    MoveTo(p, w.TreeRow(1));
    Key(p, VK_APPS);
    menu = ListMenuUp(p);
    ASSERT_NE(menu, nullptr);
    r = RectOf(menu);
    EXPECT_GE(r.top, list.top + 20) << "the menu opens over the header or above the list";
    EXPECT_LT(r.top, list.bottom - 23) << "the menu opens below the list's rows";
    EXPECT_EQ(PixelAt({besideMenu, r.top + 11}), chosen) << "the menu opens beside the chosen tasks";
    EXPECT_NE(PixelAt({besideMenu, r.top + 4 * 22 + 11}), chosen) << "more tasks chosen than the three";
    Shot(p, main, "mend11-menu-key-scrolled");
    Key(p, VK_DOWN);    // Make Sticky Note
    Key(p, VK_DOWN);    // Delete
    Key(p, VK_RETURN);
    ASSERT_TRUE(Answer(p, "Are you sure you want to delete", "&Yes"));
    std::vector<std::string> left = NumberedTitles(40);
    left.erase(left.begin() + 3, left.begin() + 6);

    // A menu open when the session is held back (the file cannot be
    // written): the report of the failed save shows over the window alone.
    Key(p, 'S', Ctrl);
    ASSERT_TRUE(SetFileAttributesA(p.DatabasePath().c_str(), FILE_ATTRIBUTE_READONLY));
    AddTask(p, "Not to be lost");
    Click(p, w.ListItem(2), true);
    ASSERT_NE(ListMenuUp(p), nullptr);
    EXPECT_FALSE(EndSession(p));
    ASSERT_NE(p.WaitDialog(), nullptr);
    p.Settle();
    Shot(p, main, "mend11-session-menu");
    EXPECT_EQ(StrayWindows(p, main), "") << "windows left over the report";
    ASSERT_TRUE(Answer(p, "The database could not be saved to: ", "OK"));
    EXPECT_EQ(StrayWindows(p, main), "");
    SetFileAttributesA(p.DatabasePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    left.push_back("Not to be lost");
    EXPECT_EQ(TitlesIn(p.DatabasePath()), left);
}

} // namespace qelvo::e2e
