// A long session's menus and small windows: what a user opens and leaves
// hundreds of times a day (the menus of the menu bar, the task list's,
// the side tree's and the note's menus, the filter bar's menu of lists,
// the About box, a question answered No) must leave nothing behind: no
// GDI object, window, kernel handle, thread or memory per round.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

constexpr int HelpMenuX = 125;

// Whether a window of the program opened by the last input goes again.
bool Goes(HWND w) { return WaitUntil([&] { return !IsWindow(w) || !IsWindowVisible(w); }); }

} // namespace

TEST(ExploreLeaksScenario, MenusAndSmallWindowsOpenedAllDayLeaveNothingBehind) {
    TProgram p("leaks-menus-and-small-windows");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    int round = 0;
    auto oneRound = [&] {
        ++round;
        for (int x : {FileMenuX, ViewMenuX, ToolsMenuX, HelpMenuX}) {
            OpenMainMenu(p, main, x);
            if (PopupMenus(p).empty()) {
                ADD_FAILURE() << "no menu at " << x;
                return false;
            }
            Key(p, VK_ESCAPE);
            Key(p, VK_ESCAPE);
        }
        // The task list's and the side tree's menus, and the filter bar's
        // menu of lists (Ctrl+L).
        Click(p, PreparedTaskPoint(main, 1), true);
        const bool listMenu = !PopupMenus(p).empty();
        Key(p, VK_ESCAPE);
        Click(p, parts.TreeRow(1), true);
        const bool treeMenu = !PopupMenus(p).empty();
        Key(p, VK_ESCAPE);
        Key(p, 'L', Ctrl);
        const bool listsMenu = !PopupMenus(p).empty();
        Key(p, VK_ESCAPE);
        if (!listMenu || !treeMenu || !listsMenu) {
            ADD_FAILURE() << "round " << round << ": task menu " << listMenu << ", tree menu " << treeMenu
                          << ", menu of lists " << listsMenu;
            return false;
        }
        // The note's edit menu, on a task with a note.
        Click(p, PreparedTaskPoint(main, 0));
        if (!parts.NoteEditor || !OpenEditMenu(p, parts.NoteEditor)) {
            ADD_FAILURE() << "round " << round << ": no note menu";
            return false;
        }
        Key(p, VK_ESCAPE);
        // Help > About..., and Exit without saving answered No.
        ChooseFromMenu(p, main, HelpMenuX, -1);
        HWND about = p.WaitTopWindow("TAboutF");
        if (!about) {
            ADD_FAILURE() << "round " << round << ": no About box";
            return false;
        }
        Key(p, VK_ESCAPE);
        if (!Goes(about)) {
            ADD_FAILURE() << "the About box stayed";
            return false;
        }
        Key(p, 'X', Ctrl | Shift);
        if (!Answer(p, "exit without saving", "&No")) {
            ADD_FAILURE() << "round " << round << ": the question before exiting without saving";
            return false;
        }
        return true;
    };
    ASSERT_TRUE(oneRound()) << "warm-up";
    const TUsage warm = UsageOf(p);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(oneRound()) << "round " << round;
    ExpectNoLeak(p, warm, "menus, About, a question", [&] {
        for (int i = 0; i < 3; ++i)
            if (!oneRound()) return false;
        return true;
    });
    EXPECT_TRUE(p.Running()) << "the program ended after a question answered No";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
