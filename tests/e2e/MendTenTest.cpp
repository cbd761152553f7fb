// A keyboard user's menu in the side tree, and the end of the Windows
// session held back while a question is open.
#include <gtest/gtest.h>

#include "e2e/E2eDriver.h"
#include "e2e/ExitsSupport.h"
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

// The program's boxes up now (message boxes and dialogs).
size_t BoxesUp(const TProgram& p) {
    size_t n = 0;
    for (HWND w : p.TopWindows())
        if (ClassOf(w) == "#32770") ++n;
    return n;
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

// The session held back for changes that cannot be written said so in a
// box of its own each time, stacked over a question left open and over
// the box of the time before. It says so once, when the question is
// answered, and a session held back again while it says so adds nothing.
TEST(SessionBoxesScenario, ASessionHeldBackSaysWhyOnceAndNotOverAnOpenQuestion) {
    TProgram p("mend10-session-boxes");
    WriteWorkDatabase(p.DatabasePath(), {"Keep me"});
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    AddTask(p, "Not to be lost");
    ASSERT_TRUE(SetFileAttributesA(p.DatabasePath().c_str(), FILE_ATTRIBUTE_READONLY));
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    Key(p, VK_DELETE);
    ASSERT_NE(p.WaitDialog(), nullptr);
    // Two tries to log off with the deletion question open.
    EXPECT_FALSE(EndSession(p));
    EXPECT_FALSE(EndSession(p));
    p.Settle();
    EXPECT_EQ(BoxesUp(p), 1u) << "a box came over the question";
    ASSERT_TRUE(Answer(p, "Are you sure you want to delete", "&No"));
    ASSERT_TRUE(Answer(p, "The database could not be saved to: ", "OK"));
    EXPECT_TRUE(p.NoDialogFor(300)) << "the failure was reported twice";
    // Held back again while the report is up: still one box.
    EXPECT_FALSE(EndSession(p));
    ASSERT_NE(p.WaitDialog(), nullptr);
    EXPECT_FALSE(EndSession(p));
    p.Settle();
    EXPECT_EQ(BoxesUp(p), 1u) << "the report came twice";
    ASSERT_TRUE(Answer(p, "The database could not be saved to: ", "OK"));
    EXPECT_TRUE(p.NoDialogFor(300)) << "the failure was reported again";
    EXPECT_TRUE(p.BecomesActive(main)) << "the keyboard did not come back to the window";
    // Once the file can be written, the session ends with every task kept.
    SetFileAttributesA(p.DatabasePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(EndSession(p));
    EXPECT_EQ(p.WaitExit(), 9);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), (std::vector<std::string>{"Keep me", "Not to be lost"}));
}

} // namespace qelvo::e2e
