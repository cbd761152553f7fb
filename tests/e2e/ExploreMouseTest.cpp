// A day at the mouse: the task list, its menus and zones, the toolbars,
// the side tree and the window's frame used with the pointer, and what
// the keyboard and the screen are left with after each.
#include <gtest/gtest.h>

#include "e2e/E2eDriver.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// Field Index of the task line whose title part holds Title ("" when none).
std::string FieldOf(const std::string& file, const std::string& title, size_t index) {
    const std::vector<std::string> fields = Fields(TaskLine(file, title));
    return index < fields.size() ? fields[index] : std::string();
}

// The context menu that is up (nullptr when none).
HWND PopupOf(const TProgram& p) {
    for (HWND w : p.TopWindows())
        if (ClassOf(w) == "TXtPopupWindow") return w;
    return nullptr;
}

// Whether the row of a popup menu Y pixels below its top shows text in the
// right half, where a command's key stands ("Enter", "Del", "Ctrl+Up").
bool RowShowsKey(HWND popup, int y) {
    if (!popup) return false;
    const RECT r = RectOf(popup);
    const RECT band{(r.left + r.right) / 2, r.top + y - 4, r.right - 8, r.top + y + 4};
    int dark = 0;
    for (COLORREF c : PixelsOf(band))
        if (GetRValue(c) < 150 && GetGValue(c) < 150 && GetBValue(c) < 150) ++dark;
    return dark > 5;
}

} // namespace

// A click elsewhere ends a title edit and takes the title; the control
// clicked keeps the keyboard. It went back to the task list: a task typed
// into the quick-entry box went to the list's search and Enter opened the
// title again, a click on a list in the side tree left Up and Down moving
// among the tasks, and typing after a click into the note was lost.
TEST(ExploreMouseScenario, AClickElsewhereEndsATitleEditAndKeepsTheKeyboardThere) {
    TProgram p("mouse-click-ends-edit");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts w(main);
    Click(p, PreparedTaskPoint(main, 1));
    Key(p, VK_RETURN);
    Type(p, "Call Bob");
    Click(p, CenterOf(w.TopEdit));
    EXPECT_EQ(p.Focus(), w.TopEdit);
    Type(p, "Milk");
    Key(p, VK_RETURN);    // a menu of the lists: the last
    Key(p, VK_UP);
    Key(p, VK_RETURN);

    Click(p, PreparedTaskPoint(main, 0));
    Key(p, VK_RETURN);
    Type(p, "Book the boat");
    Click(p, w.TreeRow(3));    // Work
    EXPECT_EQ(p.Focus(), w.Tree);
    Click(p, w.TreeRow(0));    // All

    Click(p, PreparedTaskPoint(main, 1));
    Key(p, VK_RETURN);
    Type(p, "Call Ann");
    Click(p, CenterOf(w.NoteEditor));
    EXPECT_EQ(p.Focus(), w.NoteEditor);

    // A toolbar takes no keyboard: after a filter chosen from its menu
    // the keys go to the list again.
    Click(p, PreparedTaskPoint(main, 0));
    Key(p, VK_RETURN);
    Type(p, "Book the ship");
    const RECT list = RectOf(w.List);
    Click(p, POINT{list.left + 60, list.top - 12});    // "Priority: All"
    HWND menu = PopupOf(p);
    ASSERT_NE(menu, nullptr);
    Click(p, POINT{RectOf(menu).left + 40, RectOf(menu).top + 34});    // High
    EXPECT_EQ(p.Focus(), w.List);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(FieldOf(file, "Book the", 0), "+;7/14/2031;Book the ship");
    EXPECT_EQ(FieldOf(file, "Call", 0), "[phone]Call Ann");
    EXPECT_EQ(FieldOf(file, "Milk", 3), "Work") << "the task typed was not added";
}

// The context menus' commands show their keys beside them ("Delete  Del",
// "Move Up  Ctrl+Up"). The side tree's menu showed none of them, and the
// task list's lost the key of Delete once Delete had been greyed (a right
// click on a group, with no task chosen) and never showed it again.
TEST(ExploreMouseScenario, ContextMenusKeepTheKeysBesideTheirCommands) {
    TProgram p("mouse-menu-keys");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts w(main);
    const RECT list = RectOf(w.List);
    Click(p, POINT{list.left + 200, list.top + 38}, true);    // the Holidays group
    ASSERT_NE(PopupOf(p), nullptr);
    Key(p, VK_ESCAPE);
    Click(p, PreparedTaskPoint(main, 1), true);
    EXPECT_TRUE(RowShowsKey(PopupOf(p), 34)) << "Delete";
    EXPECT_TRUE(RowShowsKey(PopupOf(p), 56)) << "Priority";
    EXPECT_TRUE(RowShowsKey(PopupOf(p), 78)) << "Edit Title";
    Key(p, VK_ESCAPE);

    Click(p, w.TreeRow(2), true);    // Home
    HWND menu = PopupOf(p);
    EXPECT_TRUE(RowShowsKey(menu, 12)) << "Edit";
    EXPECT_TRUE(RowShowsKey(menu, 34)) << "Delete";
    EXPECT_TRUE(RowShowsKey(menu, 57)) << "Change icon";
    EXPECT_TRUE(RowShowsKey(menu, 82)) << "Move Up";
    EXPECT_TRUE(RowShowsKey(menu, 104)) << "Move Down";
    // Move Down from the menu: Home goes below Work.
    Click(p, POINT{RectOf(menu).left + 40, RectOf(menu).top + 104});
    // Change icon from the menu opens the list's icon chooser.
    Click(p, w.TreeRow(3), true);
    menu = PopupOf(p);
    Click(p, POINT{RectOf(menu).left + 40, RectOf(menu).top + 57});
    EXPECT_EQ(ClassOf(p.Focus()), "TTxcImageListCombo");
    Key(p, VK_ESCAPE);
    Key(p, VK_ESCAPE);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(file.find("Holidays\xF7" "3\xF7\r\nWork\xF7" "0\xF7\r\nHome\xF7" "1\xF7"), std::string::npos) << file;
}

// A double click on a task's due date or tags opened the title editor
// on top of the panel the click had opened: two editors of one task at
// once, and after the date was taken with Enter the title editor stayed
// open over the list, with the keyboard in the list under it. The click
// on a cell's mark is that mark's: the panel opens, and the title stays.
TEST(ExploreMouseScenario, ADoubleClickOnADueDateOrTagsOpensOnlyItsPanel) {
    TProgram p("mouse-double-click-zones");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts w(main);
    const POINT o = ClientOrigin(w.List);
    auto titleEditors = [&] { return ChildrenOfClass(w.List, "TGvEdit").size(); };
    const int plumber = PreparedTaskPoint(main, 1).y;
    Click(p, PreparedTaskPoint(main, 1));
    Sleep(GetDoubleClickTime() + 50);
    DoubleClick(p, POINT{o.x + 476, plumber});    // the Due cell's mark
    EXPECT_EQ(ClassOf(p.Focus()), "TDateTimePicker");
    EXPECT_EQ(titleEditors(), 0u) << "a title editor opened too";
    Key(p, VK_RETURN);
    EXPECT_EQ(p.Focus(), w.List);
    EXPECT_EQ(titleEditors(), 0u);

    Sleep(GetDoubleClickTime() + 50);
    DoubleClick(p, POINT{o.x + 326, plumber});    // the Tags cell's mark
    EXPECT_EQ(titleEditors(), 0u) << "a title editor opened too";
    Key(p, VK_ESCAPE);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(FieldOf(ReadFile(p.DatabasePath()), "plumber", 0), ";" + FileDate(0) + ";[phone]Call the plumber");
}

// A list renamed in place and left by a click on the Tags tab: the tags
// came in under the open editor, and the click that then closed it
// renamed the tag that lay under it ("phone" became "Job" on every task
// that had it) while the list kept its name. The name typed is taken for
// the list before the tab changes, as a click into the task list takes it.
TEST(ExploreMouseScenario, ATabClickedWhileAListIsRenamedRenamesTheList) {
    TProgram p("mouse-rename-then-tab");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts w(main);
    const RECT tree = RectOf(w.Tree);
    DoubleClick(p, w.TreeRow(3));    // Work
    Type(p, "Job");
    Click(p, POINT{tree.left + 90, tree.top - 10});    // the Tags tab
    EXPECT_EQ(p.Focus(), w.Tree) << "the name editor stayed open";
    Click(p, PreparedTaskPoint(main, 0));
    Sleep(GetDoubleClickTime() + 50);
    Click(p, POINT{tree.left + 30, tree.top - 10});    // back to the lists
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(file.find("\r\nJob\xF7" "0\xF7\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\r\nphone\r\n"), std::string::npos) << file;
    EXPECT_EQ(FieldOf(file, "plumber", 0), "[phone]Call the plumber");
    EXPECT_EQ(FieldOf(file, "quarterly", 3), "Job");
}

// A right click on the empty part of the side tree left the list chosen
// before selected, and Delete from the menu that opened asked to delete
// "this list and all the tasks inside": the one the user had not pointed
// at. The right click, as a left click there, chooses no list, and the
// menu's commands have nothing to act on. The same menu asked for from the
// keyboard chose "All" instead of the list chosen.
TEST(ExploreMouseScenario, TheTreeMenuActsOnTheListPointedAtOrChosen) {
    TProgram p("mouse-right-click-below-lists");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts w(main);
    const RECT tree = RectOf(w.Tree);
    Click(p, w.TreeRow(1));    // Holidays
    Click(p, POINT{tree.left + 60, tree.bottom - 10}, true);
    HWND menu = PopupOf(p);
    ASSERT_NE(menu, nullptr);
    Click(p, POINT{RectOf(menu).left + 40, RectOf(menu).top + 34});    // Delete
    EXPECT_TRUE(p.NoDialogFor(500)) << "a list was offered for deletion";
    if (HWND question = p.WaitDialog(100)) {
        Key(p, VK_ESCAPE);
        WaitUntil([&] { return !IsWindow(question); });
    }
    EXPECT_EQ(TextOf(p.Focus()), "") << "an editor is open";

    // The menu asked for from the keyboard acts on the list chosen: Move
    // Down takes Home below Work (it chose "All" first, which never moves).
    Click(p, w.TreeRow(2));    // Home
    Key(p, VK_F10, Shift);
    ASSERT_NE(PopupOf(p), nullptr);
    Key(p, VK_UP);             // Move Down, the last
    Key(p, VK_RETURN);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(FieldOf(file, "ferry", 3), "Holidays");
    EXPECT_NE(file.find("Holidays\xF7" "3\xF7\r\nWork\xF7" "0\xF7\r\nHome\xF7" "1\xF7"), std::string::npos) << file;
}

// A quick second click on the task under the pointer after the list had
// changed under it comes as a double click: after a filter refilled the
// list (nothing chosen) it chose nothing, and after a turn of the wheel it
// opened the title editor of the task clicked first, scrolled away. A
// second press on a task that is not chosen is a press of its own.
TEST(ExploreMouseScenario, AQuickSecondClickAfterTheListChangedChoosesTheTaskUnderIt) {
    TProgram p("mouse-quick-second-click");
    WriteWorkDatabase(p.DatabasePath(), NumberedTitles(50));
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    ASSERT_EQ(lists.size(), 1u);
    HWND list = lists.front();
    const RECT r = RectOf(list);
    const POINT at = CenterOf(list);
    // The row under the pointer, beside the title, in the colour of a
    // chosen row of the focused list.
    auto chosenAtPointer = [&] {
        return ShareOf(RECT{at.x, at.y - 2, r.right - 30, at.y + 2}, RGB(0x97, 0xCA, 0xFC)) > 0.5;
    };
    auto titleEditors = [&] { return ChildrenOfClass(list, "TGvEdit").size(); };

    // Refilled by two filters between the clicks.
    const DWORD first = GetTickCount();
    StampedClick(p, at, first);
    ASSERT_TRUE(chosenAtPointer());
    Key(p, '1', Ctrl);
    Key(p, 'A', Ctrl);
    ASSERT_FALSE(chosenAtPointer());
    StampedClick(p, at, first + 100);
    EXPECT_TRUE(chosenAtPointer()) << "the second click chose nothing";
    EXPECT_EQ(titleEditors(), 0u);

    // Scrolled by the wheel between the clicks.
    Sleep(GetDoubleClickTime() + 50);
    const DWORD second = GetTickCount();
    StampedClick(p, at, second);
    Wheel(p, at, -WHEEL_DELTA);
    StampedClick(p, at, second + 100);
    EXPECT_EQ(titleEditors(), 0u) << "the title editor opened on the task clicked first";
    EXPECT_TRUE(chosenAtPointer());
    EXPECT_EQ(p.Focus(), list) << ClassOf(p.Focus());

    // The one task chosen is the one deleted.
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, "Are you sure you want to delete selected item(s)? (no undo is possible)", "&Yes"));
    Key(p, 'S', Ctrl);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()).size(), 49u);
}

} // namespace qelvo::e2e
