// A keyboard user's menu in the side tree.
#include <gtest/gtest.h>

#include "e2e/E2eDriver.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The context menu that is up (nullptr when none).
HWND MenuUp(const TProgram& p) {
    for (HWND w : p.TopWindows())
        if (ClassOf(w) == "TXtPopupWindow") return w;
    return nullptr;
}

} // namespace

// The menu key and Shift+F10 in the side tree opened the menu at the
// tree's top left corner, over "All", far from the list chosen; with the
// pointer resting there, the menu was taken for a click on "All" and its
// commands acted on it. The menu asked for from the keyboard opens just
// below the focused list and acts on it, wherever the pointer is.
TEST(KeyboardTreeMenuScenario, TheMenuKeyOpensAtTheFocusedListAndActsOnIt) {
    TProgram p("mend10-tree-menu");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts w(main);
    const POINT home = w.TreeRow(2);
    Click(p, home);
    // The pointer rests at the tree's client origin, on "All".
    POINT origin{1, 1};
    ClientToScreen(w.Tree, &origin);
    MoveTo(p, origin);
    Key(p, VK_F10, Shift);
    HWND menu = MenuUp(p);
    ASSERT_NE(menu, nullptr);
    RECT r = RectOf(menu);
    EXPECT_GE(r.top, home.y) << "the menu covers the list it belongs to or opens above it";
    EXPECT_LT(r.top, home.y + 24) << "the menu opens far below the focused list";
    Key(p, VK_UP);    // Move Down, the last
    Key(p, VK_RETURN);
    // The menu key, with the pointer far away on Holidays: Home, now the
    // third list, moves up again below Holidays.
    MoveTo(p, w.TreeRow(1));
    Key(p, VK_APPS);
    menu = MenuUp(p);
    ASSERT_NE(menu, nullptr);
    r = RectOf(menu);
    EXPECT_GE(r.top, w.TreeRow(3).y);
    EXPECT_LT(r.top, w.TreeRow(3).y + 24);
    Key(p, VK_UP);
    Key(p, VK_UP);    // Move Up
    Key(p, VK_RETURN);
    Key(p, VK_F10, Shift);
    ASSERT_NE(MenuUp(p), nullptr);
    Key(p, VK_UP);    // Move Down once more: Home ends last
    Key(p, VK_RETURN);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(file.find("Holidays\xF7" "3\xF7\r\nWork\xF7" "0\xF7\r\nHome\xF7" "1\xF7"), std::string::npos) << file;
}

} // namespace qelvo::e2e
