// Menus and toolbars as a user meets them: the menu bar and its menus by
// mouse and keys and every way out of them, and the toolbars of a narrow
// window, whose chevrons keep every hidden command within reach.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "data/uDataMan.h"
#include "e2e/BarItemsSupport.h"
#include "e2e/E2eDriver.h"
#include "e2e/OtherProgramSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The docked toolbars of the main window from the top: the menu bar, the
// quick-entry bar, the group-by bar and the filter bar.
struct TBars {
    HWND Dock = nullptr;
    HWND MenuBar = nullptr, QuickEntry = nullptr, GroupBy = nullptr, Filters = nullptr;
};

TBars BarsOf(HWND main) {
    TBars b;
    std::vector<HWND> bars = ChildrenOfClass(main, "TXtToolbar.UnicodeClass");
    std::sort(bars.begin(), bars.end(), [](HWND x, HWND y) { return RectOf(x).top < RectOf(y).top; });
    if (bars.size() < 4) {
        ADD_FAILURE() << "the main window shows " << bars.size() << " toolbars";
        return b;
    }
    b.MenuBar = bars[0];
    b.QuickEntry = bars[1];
    b.GroupBy = bars[2];
    b.Filters = bars[3];
    b.Dock = GetParent(b.Filters);
    return b;
}

// Drags the window's right edge to make it Width pixels wide.
void MakeWide(TProgram& p, HWND main, int width) {
    const RECT r = RectOf(main);
    const int y = (r.top + r.bottom) / 2;
    Drag(p, {r.right - 2, y}, {r.left + width - 2, y});
    p.Settle();
}

// A window of the program's of a class, shown now (nullptr when none).
HWND Shown(const TProgram& p, const std::string& className) {
    for (HWND w : p.TopWindows())
        if (ClassOf(w) == className) return w;
    return nullptr;
}

POINT Middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

const char* const LongList = "Renovations of the summer house by the lake";

// Two lists, one with a long name, and a task in each; the one in the
// long-named list is done.
void WriteLongListDatabase(const std::string& path) {
    MakeFolderOf(path);
    TuData data;
    data.Folders->Add("Home\xF7" "1\xF7");
    data.Folders->Add(std::string(LongList) + "\xF7" "2\xF7");
    for (const char* folder : {"Home", LongList}) {
        TuTask* task = new TuTask();
        task->Title = std::string(folder == std::string("Home") ? "Call the plumber" : "Paint the fence");
        task->Folder = std::string(folder);
        task->Done = folder != std::string("Home");
        data.Tasks->AddObject(task->Title, task);
    }
    data.SaveToFile(path);
}

} // namespace

// A narrow window. A list with a long name chosen from the filter bar's
// list menu took the bar's room, and the bar's chevron went past the
// window's edge with it, so Hide Done, the priority and the dates could no
// longer be reached with the mouse: the chevron stays at the end of the
// bar's room, and the commands behind it work from its popup, by mouse and
// by keys. The quick-entry bar's date and tags panels stood out to the
// left of a window narrower than they are.
TEST(ExploreMenusScenario, InANarrowWindowTheToolbarsCommandsStayInReach) {
    TComScope com;
    TProgram p("menus-narrow-window");
    WriteLongListDatabase(p.DatabasePath());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    MakeWide(p, main, 560);
    TBars bars = BarsOf(main);
    ASSERT_NE(bars.Filters, nullptr);

    // The list menu of the filter bar, opened by a click on its caption;
    // the long-named list is its last entry. Then the window is made
    // narrower.
    const TBarItem lists = ItemNamed(bars.Filters, "All lists > All tags");
    ASSERT_TRUE(lists.Visible);
    Click(p, Middle(lists.Place));
    ASSERT_NE(Shown(p, "TXtPopupWindow"), nullptr);
    Key(p, VK_END);
    Key(p, VK_RETURN);
    MakeWide(p, main, 300);
    ASSERT_TRUE(ItemNamed(bars.Filters, LongList).Visible);

    // The chevron lies inside the window, at the end of the bar's room.
    const RECT room = RectOf(bars.Dock);
    const TBarItem chevron = ItemNamed(bars.Filters, "More Buttons");
    ASSERT_TRUE(chevron.Visible);
    EXPECT_LE(chevron.Place.right, room.right) << "the chevron lies past the window's edge";
    EXPECT_GT(chevron.Place.left, room.left);

    // Its popup by a click at the end of the bar: Hide Done by mouse.
    const POINT end{room.right - 5, (chevron.Place.top + chevron.Place.bottom) / 2};
    Click(p, end);
    HWND popup = Shown(p, "TXtChevronPopupWindow");
    ASSERT_NE(popup, nullptr) << "no chevron popup at the end of the filter bar";
    const TBarItem hideDone = ItemNamed(popup, "Hide Done");
    ASSERT_TRUE(hideDone.Visible);
    Click(p, Middle(hideDone.Place));
    EXPECT_EQ(Shown(p, "TXtChevronPopupWindow"), nullptr);
    EXPECT_TRUE(ItemNamed(bars.Filters, "Hide Done").Checked);

    // The priority by keys: Right past the list menu to the priority, its
    // menu with Down, High.
    Click(p, end);
    ASSERT_NE(Shown(p, "TXtChevronPopupWindow"), nullptr);
    Key(p, VK_RIGHT);
    Key(p, VK_RIGHT);
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    EXPECT_EQ(ItemNamed(bars.Filters, "Priority").Name, "Priority: High");
    EXPECT_EQ(p.Focus(), ChildrenOfClass(main, "TGvListview").front());

    // Narrower than the quick-entry bar's date and tags panels: "Add:",
    // Set Due Date and Set Tags show them from the window's left edge, with
    // the box that takes the keys in view; they stood out to the left of
    // the window, where the tick box and the start of the date and the
    // tags typed could not be seen.
    MakeWide(p, main, 200);
    const RECT client = RectOf(bars.Dock);
    for (int entry : {1, 2}) {
        const TBarItem add = ItemNamed(bars.QuickEntry, "Add:");
        ASSERT_TRUE(add.Visible);
        Click(p, Middle(add.Place));
        for (int i = 0; i < entry; ++i) Key(p, VK_DOWN);
        Key(p, VK_RETURN);
        // The date picker (its calendar dropped down has the keyboard) or
        // the tags box.
        const std::vector<HWND> pickers = ChildrenOfClass(main, "TDateTimePicker");
        HWND typed = entry == 1 ? (pickers.empty() ? nullptr : pickers.front()) : p.Focus();
        ASSERT_NE(typed, nullptr) << "no quick panel after Add: entry " << entry;
        HWND panel = GetParent(typed);
        ASSERT_EQ(ClassOf(panel), "TXtPanel.UnicodeClass");
        EXPECT_EQ(RectOf(panel).left, client.left) << ClassOf(typed);
        EXPECT_GE(RectOf(typed).left, client.left) << ClassOf(typed);
        Key(p, VK_ESCAPE);
        if (Shown(p, "SysMonthCal32") || IsWindowVisible(panel)) Key(p, VK_ESCAPE);
        EXPECT_FALSE(IsWindowVisible(panel));
    }

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Every way out of a menu leaves the keyboard where it was, or where the
// click that ended it put it, and leaves no menu behind: Esc level by
// level, a command from a submenu reached by the pointer, a right click
// inside a menu (which runs nothing), a click on a task, another program
// brought to the front, and the hot key to the notification area and
// back. A task's or a list's menu asked for again at once is that menu
// again.
TEST(ExploreMenusScenario, EveryWayOutOfAMenuLeavesTheKeyboardWhereItWas) {
    TComScope com;
    TProgram p("menus-ways-out");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts w(main);
    const TBars bars = BarsOf(main);
    ASSERT_NE(bars.MenuBar, nullptr);
    auto openMenu = [&](const char* caption) {
        const TBarItem item = ItemNamed(bars.MenuBar, caption);
        ASSERT_TRUE(item.Visible) << caption;
        Click(p, Middle(item.Place));
        ASSERT_EQ(PopupMenus(p).size(), 1u) << caption;
    };
    Click(p, w.TreeRow(0));
    ASSERT_EQ(p.Focus(), w.Tree);

    // Esc level by level: the submenu, the menu, the menu bar.
    openMenu("View");
    const TBarItem groupBy = ItemNamed(PopupMenus(p).front(), "Group by");
    ASSERT_TRUE(groupBy.Visible);
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_RIGHT);
    EXPECT_EQ(PopupMenus(p).size(), 2u) << "Right on Group by opens its submenu";
    Key(p, VK_ESCAPE);
    EXPECT_EQ(PopupMenus(p).size(), 1u);
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(PopupMenus(p).empty());
    EXPECT_EQ(p.ThreadInfo().hwndCapture, bars.MenuBar) << "the menu bar waits for keys";
    Key(p, VK_ESCAPE);
    EXPECT_EQ(p.ThreadInfo().hwndCapture, nullptr);
    EXPECT_EQ(p.Focus(), w.Tree);

    // A right click inside a menu runs nothing and leaves it open.
    openMenu("Tools");
    const TBarItem find = ItemNamed(PopupMenus(p).front(), "Find");
    ASSERT_TRUE(find.Visible);
    Click(p, Middle(find.Place), true);
    EXPECT_EQ(PopupMenus(p).size(), 1u);
    EXPECT_TRUE(ItemNamed(bars.QuickEntry, "Find").Visible) << "the quick-entry bar went into find mode";
    Key(p, VK_ESCAPE);
    Key(p, VK_ESCAPE);
    EXPECT_EQ(p.Focus(), w.Tree);

    // A click on a task ends the menu and chooses the task.
    openMenu("Help");
    Click(p, PreparedTaskPoint(main, 4));
    EXPECT_TRUE(PopupMenus(p).empty());
    EXPECT_EQ(p.ThreadInfo().hwndCapture, nullptr);
    EXPECT_EQ(p.Focus(), w.List);
    EXPECT_NE(TextOf(w.NotePanel).find(PreparedTasks()[4].Title), std::string::npos) << TextOf(w.NotePanel);

    // The task's menu closed by Esc and asked for again at once: the second
    // right click comes as a double click, which opened the title editor,
    // with the editor's own menu, instead of the task's menu.
    Click(p, PreparedTaskPoint(main, 4), true);
    ASSERT_EQ(PopupMenus(p).size(), 1u) << "no menu for a right click on a task";
    Key(p, VK_ESCAPE);
    Click(p, PreparedTaskPoint(main, 4), true);
    EXPECT_EQ(PopupMenus(p).size(), 1u) << "no task menu for the second right click";
    EXPECT_NE(ClassOf(p.Focus()), "TGvEdit") << "the title editor opened";
    Key(p, VK_ESCAPE);
    if (ClassOf(p.Focus()) == "TGvEdit") Key(p, VK_ESCAPE);
    EXPECT_EQ(p.Focus(), w.List);

    // The submenu by the pointer resting on Group by; Date in it.
    openMenu("View");
    MoveTo(p, Middle(groupBy.Place));
    ASSERT_TRUE(WaitUntil([&] { return PopupMenus(p).size() == 2; }, 3000)) << "Group by opened no submenu";
    const TBarItem date = ItemNamed(PopupMenus(p).back(), "Date");
    ASSERT_TRUE(date.Visible);
    Click(p, Middle(date.Place));
    EXPECT_TRUE(PopupMenus(p).empty());
    EXPECT_TRUE(ItemNamed(bars.GroupBy, "Date").Checked);
    EXPECT_EQ(p.Focus(), w.List);

    // The same in the side tree: its menu again, not the name's editor.
    Click(p, w.TreeRow(2), true);
    ASSERT_EQ(PopupMenus(p).size(), 1u) << "no menu for a right click on a list";
    Key(p, VK_ESCAPE);
    Click(p, w.TreeRow(2), true);
    EXPECT_EQ(PopupMenus(p).size(), 1u) << "no list menu for the second right click";
    EXPECT_EQ(p.Focus(), w.Tree) << "the list's name editor opened";
    Key(p, VK_ESCAPE);
    if (p.Focus() != w.Tree) Key(p, VK_ESCAPE);

    // Another program brought to the front ends the menu; back in the
    // window, the keyboard is in the side tree again.
    {
        TOtherProgram other;
        openMenu("File");
        other.Activate(p);
        EXPECT_TRUE(PopupMenus(p).empty());
        EXPECT_EQ(p.ThreadInfo().hwndCapture, nullptr);
        Click(p, CaptionPointOf(main));
        EXPECT_TRUE(p.BecomesActive(main));
        EXPECT_EQ(p.Focus(), w.Tree);
    }

    // The hot key with a menu open: to the notification area and back,
    // no menu left, the keyboard in the quick-entry box.
    Key(p, 'F', Alt);
    ASSERT_EQ(PopupMenus(p).size(), 1u);
    Key(p, 'O', Ctrl | Shift);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    EXPECT_TRUE(PopupMenus(p).empty());
    Key(p, 'O', Ctrl | Shift);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && p.Active() == main; }));
    EXPECT_TRUE(PopupMenus(p).empty());
    EXPECT_EQ(p.Focus(), w.TopEdit);

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
