// The menus and the keys that reach commands: the menu bar opened by Alt,
// F10 and its letters, every way out of a menu, context menus and the
// menu key, the keys shown beside commands, menus opened over an edit in
// progress, a screen reader working the menus from another process, and
// the keys every text box keeps for itself beside the shortcuts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <oleacc.h>
#include <sstream>
#include <string>
#include <vector>

#include "app/jotpaper/Jotpaper.h"
#include "data/uDataMan.h"
#include "e2e/BarItemsSupport.h"
#include "e2e/E2eDriver.h"
#include "e2e/ExitsSupport.h"
#include "e2e/OtherProgramSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

// Opens the title editor on task Index of the first group and types Title
// over the title.
void TypeTitle(TProgram& p, const TMainWindowParts& parts, int index, const std::string& title) {
    Click(p, parts.ListItem(index));
    Key(p, VK_F2);
    ASSERT_EQ(ClassOf(p.Focus()), "TGvEdit") << "no title editor opened";
    Type(p, title);
}

// A tap of Alt, then the menu bar's letter: the menu opens at its first entry.
void OpenMenuByKeys(TProgram& p, WORD letter) {
    Key(p, VK_MENU);
    Key(p, letter);
    ASSERT_FALSE(PopupMenus(p).empty()) << "no menu opened for " << char(letter);
}

} // namespace

// A menu opened with the keys (a tap of Alt and a menu's letter, or Alt
// held with the letter) left the title editor open, as the keyboard had
// not left it; a command chosen there that fills the task list anew (Hide
// Done, Count Items, the Options dialog's OK) dropped the editor and the
// title typed in it, which a click on the menu bar or the command's own
// shortcut would have taken first.
TEST(MenusAndKeysScenario, ATitleBeingTypedIsKeptByACommandFromAMenuOpenedWithTheKeys) {
    TProgram p("combo-title-menu-keys");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);

    // View > Hide Done (the second entry).
    TypeTitle(p, parts, 1, "Ring the bank");
    OpenMenuByKeys(p, 'V');
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    p.Settle();
    EXPECT_NE(ClassOf(p.Focus()), "TGvEdit") << "the editor kept the keyboard";
    if (ClassOf(p.Focus()) == "TGvEdit") Key(p, VK_ESCAPE);
    Click(p, parts.ListItem(1));
    EXPECT_EQ(parts.ChosenTask(), "Ring the bank") << "the title typed before Hide Done was dropped";

    // Alt+V held with its letter, then Count Items (the fourth entry).
    TypeTitle(p, parts, 0, "Write the report");
    Key(p, 'V', Alt);
    ASSERT_FALSE(PopupMenus(p).empty()) << "no menu opened for Alt+V";
    for (int i = 0; i < 3; ++i) Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    p.Settle();
    EXPECT_NE(ClassOf(p.Focus()), "TGvEdit") << "the editor kept the keyboard";
    if (ClassOf(p.Focus()) == "TGvEdit") Key(p, VK_ESCAPE);
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.ChosenTask(), "Write the report") << "the title typed before Count Items was dropped";

    // Tools > Options... (the last entry), OK.
    TypeTitle(p, parts, 2, "Plan the whole budget");
    OpenMenuByKeys(p, 'O');
    Key(p, VK_UP);
    Key(p, VK_RETURN);
    const TOptionsDialog dialog = WaitOptionsDialog(p);
    ASSERT_NE(dialog.Window, nullptr);
    Click(p, CenterOf(dialog.Ok));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog.Window); }));
    p.Settle();
    EXPECT_NE(ClassOf(p.Focus()), "TGvEdit") << "the editor kept the keyboard";
    if (ClassOf(p.Focus()) == "TGvEdit") Key(p, VK_ESCAPE);
    Click(p, parts.ListItem(2));
    EXPECT_EQ(parts.ChosenTask(), "Plan the whole budget") << "the title typed before the options was dropped";

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(TaskLine(file, "Ring the bank"), "") << "the title typed before Hide Done is not saved";
    EXPECT_NE(TaskLine(file, "Plan the whole budget"), "") << "the title typed before the options is not saved";
    EXPECT_NE(TaskLine(file, "Write the report"), "") << "the title typed before Count Items is not saved";
    EXPECT_EQ(TaskLines(file).size(), 10u);
}

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
TEST(MenusAndKeysScenario, InANarrowWindowTheToolbarsCommandsStayInReach) {
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
TEST(MenusAndKeysScenario, EveryWayOutOfAMenuLeavesTheKeyboardWhereItWas) {
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
        ASSERT_TRUE(MenusShown(p, 1)) << caption;
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
    EXPECT_TRUE(MenusShown(p, 2)) << "Right on Group by opens its submenu";
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(MenusShown(p, 1));
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(MenusShown(p, 0));
    EXPECT_EQ(p.ThreadInfo().hwndCapture, bars.MenuBar) << "the menu bar waits for keys";
    Key(p, VK_ESCAPE);
    EXPECT_EQ(p.ThreadInfo().hwndCapture, nullptr);
    EXPECT_EQ(p.Focus(), w.Tree);

    // A right click inside a menu runs nothing and leaves it open.
    openMenu("Tools");
    const TBarItem find = ItemNamed(PopupMenus(p).front(), "Find");
    ASSERT_TRUE(find.Visible);
    Click(p, Middle(find.Place), true);
    EXPECT_TRUE(MenusShown(p, 1));
    EXPECT_TRUE(ItemNamed(bars.QuickEntry, "Find").Visible) << "the quick-entry bar went into find mode";
    Key(p, VK_ESCAPE);
    Key(p, VK_ESCAPE);
    EXPECT_EQ(p.Focus(), w.Tree);

    // A click on a task ends the menu and chooses the task.
    openMenu("Help");
    Click(p, PreparedTaskPoint(main, 4));
    EXPECT_TRUE(MenusShown(p, 0));
    EXPECT_EQ(p.ThreadInfo().hwndCapture, nullptr);
    EXPECT_EQ(p.Focus(), w.List);
    EXPECT_NE(TextOf(w.NotePanel).find(PreparedTasks()[4].Title), std::string::npos) << TextOf(w.NotePanel);

    // The task's menu closed by Esc and asked for again at once: the second
    // right click comes as a double click, which opened the title editor,
    // with the editor's own menu, instead of the task's menu.
    Click(p, PreparedTaskPoint(main, 4), true);
    ASSERT_TRUE(MenusShown(p, 1)) << "no menu for a right click on a task";
    Key(p, VK_ESCAPE);
    Click(p, PreparedTaskPoint(main, 4), true);
    EXPECT_TRUE(MenusShown(p, 1)) << "no task menu for the second right click";
    EXPECT_NE(ClassOf(p.Focus()), "TGvEdit") << "the title editor opened";
    Key(p, VK_ESCAPE);
    if (ClassOf(p.Focus()) == "TGvEdit") Key(p, VK_ESCAPE);
    EXPECT_EQ(p.Focus(), w.List);

    // The submenu by the pointer resting on Group by; Date in it.
    openMenu("View");
    MoveTo(p, Middle(groupBy.Place));
    ASSERT_TRUE(WaitUntil([&] { return PopupMenus(p).size() == 2; })) << "Group by opened no submenu";
    const TBarItem date = ItemNamed(PopupMenus(p).back(), "Date");
    ASSERT_TRUE(date.Visible);
    Click(p, Middle(date.Place));
    EXPECT_TRUE(MenusShown(p, 0));
    EXPECT_TRUE(ItemNamed(bars.GroupBy, "Date").Checked);
    EXPECT_EQ(p.Focus(), w.List);

    // The same in the side tree: its menu again, not the name's editor.
    Click(p, w.TreeRow(2), true);
    ASSERT_TRUE(MenusShown(p, 1)) << "no menu for a right click on a list";
    Key(p, VK_ESCAPE);
    Click(p, w.TreeRow(2), true);
    EXPECT_TRUE(MenusShown(p, 1)) << "no list menu for the second right click";
    EXPECT_EQ(p.Focus(), w.Tree) << "the list's name editor opened";
    Key(p, VK_ESCAPE);
    if (p.Focus() != w.Tree) Key(p, VK_ESCAPE);

    // Another program brought to the front ends the menu; back in the
    // window, the keyboard is in the side tree again.
    {
        TOtherProgram other;
        openMenu("File");
        EXPECT_TRUE(other.Activate(p)) << "the other program did not come to the front";
        EXPECT_TRUE(MenusShown(p, 0));
        EXPECT_EQ(p.ThreadInfo().hwndCapture, nullptr);
        Click(p, CaptionPointOf(main));
        EXPECT_TRUE(p.BecomesActive(main));
        EXPECT_EQ(p.Focus(), w.Tree);
    }

    // The hot key with a menu open: to the notification area and back,
    // no menu left, the keyboard in the quick-entry box.
    Key(p, 'F', Alt);
    ASSERT_TRUE(MenusShown(p, 1));
    Key(p, 'O', Ctrl | Shift);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    EXPECT_TRUE(MenusShown(p, 0));
    Key(p, 'O', Ctrl | Shift);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && p.Active() == main; }));
    EXPECT_TRUE(MenusShown(p, 0));
    EXPECT_EQ(p.Focus(), w.TopEdit);

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

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

// The context menus' commands show their keys beside them ("Delete  Del",
// "Move Up  Ctrl+Up"). The side tree's menu showed none of them, and the
// task list's lost the key of Delete once Delete had been greyed (a right
// click on a group, with no task chosen) and never showed it again.
TEST(MenusAndKeysScenario, ContextMenusKeepTheKeysBesideTheirCommands) {
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

namespace {

IAccessible* AccessibleOf(HWND w) {
    IAccessible* acc = nullptr;
    AccessibleObjectFromWindow(w, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&acc));
    return acc;
}
VARIANT ChildId(long id) {
    VARIANT v{};
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}
IAccessible* ChildOf(IAccessible* parent, long index) {
    IDispatch* d = nullptr;
    if (FAILED(parent->get_accChild(ChildId(index), &d)) || !d) return nullptr;
    IAccessible* child = nullptr;
    d->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&child));
    d->Release();
    return child;
}
std::string NameOf(IAccessible* acc) {
    BSTR name = nullptr;
    if (acc->get_accName(ChildId(CHILDID_SELF), &name) != S_OK) return "<none>";
    std::string out;
    for (const wchar_t* c = name; c && *c; ++c) out += *c == L'\t' ? '|' : static_cast<char>(*c);
    SysFreeString(name);
    return out;
}
long StateOf(IAccessible* acc) {
    VARIANT state{};
    return acc->get_accState(ChildId(CHILDID_SELF), &state) == S_OK ? state.lVal : -1;
}

} // namespace

// A screen reader in another process reads the menu bar and a menu, opens
// a menu with an item's default action, and gets errors, never a hang or
// a crash, from items of a closed menu, under a dialog and after the
// program ended. Started with a file and switches, as the shell passes a
// file dropped on the program's icon, while another program holds the hot
// key: the program opens its own database and leaves the file alone.
TEST(MenusAndKeysScenario, AScreenReaderWorksTheMenusAndArgumentsChangeNothing) {
    TComScope com;
    TProgram p("shell-reader-arguments");
    WritePreparedDatabase(p.DatabasePath());
    const std::string dropped = p.PathOf("My Tasks.kpx");
    WriteWorkDatabase(dropped, {"Dropped on the icon"});
    const std::string droppedBytes = ReadFile(dropped);
    ASSERT_TRUE(RegisterHotKey(nullptr, 0x51, MOD_CONTROL | MOD_SHIFT, 'O'));
    p.Start("\"" + dropped + "\" /unknown -x");
    const HWND main = p.Main();
    UnregisterHotKey(nullptr, 0x51);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(TextOf(main), "Qelvo v1.1 - ActualData.kpx");

    const std::vector<HWND> bars = ChildrenOfClass(main, "TXtToolbar.UnicodeClass");
    ASSERT_FALSE(bars.empty());
    IAccessible* menuBar = AccessibleOf(bars.front());
    ASSERT_NE(menuBar, nullptr) << "no accessible object across processes";
    VARIANT role{};
    menuBar->get_accRole(ChildId(CHILDID_SELF), &role);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_MENUBAR);
    IAccessible* file = ChildOf(menuBar, 1);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(NameOf(file), "File");
    EXPECT_EQ(StateOf(file) & STATE_SYSTEM_HASPOPUP, STATE_SYSTEM_HASPOPUP);

    // File opens by its default action; an item read while it is open,
    // then again once it closed.
    EXPECT_EQ(file->accDoDefaultAction(ChildId(CHILDID_SELF)), S_OK);
    HWND popup = p.WaitTopWindow("TXtPopupWindow");
    ASSERT_NE(popup, nullptr);
    IAccessible* menu = AccessibleOf(popup);
    ASSERT_NE(menu, nullptr);
    menu->get_accRole(ChildId(CHILDID_SELF), &role);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_MENUPOPUP);
    IAccessible* save = ChildOf(menu, 5);
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(NameOf(save), "Save|Ctrl+S");
    Key(p, VK_ESCAPE);
    Key(p, VK_ESCAPE);
    EXPECT_EQ(NameOf(save), "<none>");
    EXPECT_EQ(save->accDoDefaultAction(ChildId(CHILDID_SELF)), E_FAIL);

    // A question open: the reader is answered, and the menu bar under it
    // does nothing.
    Key(p, 'X', Ctrl | Shift);
    ASSERT_NE(p.WaitDialog(), nullptr);
    EXPECT_EQ(NameOf(file), "File");
    EXPECT_EQ(file->accDoDefaultAction(ChildId(CHILDID_SELF)), E_FAIL);
    ASSERT_TRUE(Answer(p, "Are you sure you want to exit without saving your changes ?", "&No"));

    // Under the Options dialog the menu bar does nothing.
    const HWND options = OpenOptionsDialog(p, main).Window;
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(file->accDoDefaultAction(ChildId(CHILDID_SELF)), E_FAIL);
    EXPECT_TRUE(p.BecomesActive(options));
    Key(p, VK_ESCAPE);

    // A second start with the file brings this copy forward and ends.
    TProgram second("shell-reader-arguments", true);
    second.Start("\"" + dropped + "\"");
    EXPECT_EQ(second.WaitExit(), 0);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_NE(NameOf(file), "File");
    for (IAccessible* acc : {save, menu, file, menuBar}) acc->Release();
    EXPECT_EQ(ReadFile(dropped), droppedBytes);
    EXPECT_EQ(TitlesIn(p.DatabasePath()).size(), PreparedTasks().size());
}

namespace {

// One key event at a time with a pause after it, as fingers type.
void KeyEvent(const TProgram& p, WORD vk, bool up, unsigned pauseMs = 40) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
    Sleep(pauseMs);
    p.Settle(1);
}

// Alt+letter typed at typing speed; with altFirst Alt is let go before
// the letter, as a quick hand does.
void TypeAlt(const TProgram& p, WORD letter, bool altFirst) {
    KeyEvent(p, VK_MENU, false);
    KeyEvent(p, letter, false);
    KeyEvent(p, altFirst ? VK_MENU : letter, true);
    KeyEvent(p, altFirst ? letter : VK_MENU, true);
    p.Settle();
}

// The menu bar waits for keys (a tap of Alt or F10) while the program
// holds the mouse capture for its menu loop.
bool MenuBarWaits(const TProgram& p) { return p.ThreadInfo().hwndCapture != nullptr; }

struct TTargets {
    HWND List, Edit, Tree;
};

TTargets TargetsOf(HWND main) {
    return {ChildrenOfClass(main, "TGvListview").front(), ChildrenOfClass(main, "TXtEdit.UnicodeClass").front(),
            ChildrenOfClass(main, "TUniTreeView.UnicodeClass").front()};
}

// Gives the keyboard to one of the three places a user types in: the side
// tree, the task list or the quick-entry box (clicked on an empty part).
void FocusOn(TProgram& p, HWND target) {
    const RECT r = RectOf(target);
    Click(p, {r.right - 12, r.bottom - 8});
    ASSERT_EQ(p.Focus(), target) << ClassOf(target);
}

const char* NameOf(const TTargets& t, HWND w) {
    return w == t.List ? "the task list" : w == t.Edit ? "the quick-entry box" : "the side tree";
}

} // namespace

TEST(MenusAndKeysScenario, AltF10AndTheMenuLettersOpenTheMenusWhereverTheFocusIs) {
    TProgram p("keys-menus");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TTargets t = TargetsOf(main);
    for (HWND target : {t.Tree, t.List, t.Edit}) {
        FocusOn(p, target);
        const char* where = NameOf(t, target);
        // A tap of Alt: "File" is highlighted and waits for keys; Esc ends it.
        Key(p, VK_MENU);
        EXPECT_TRUE(MenuBarWaits(p)) << "Alt in " << where;
        EXPECT_FALSE((PopupOf(p) != nullptr)) << "Alt in " << where;
        Key(p, VK_DOWN);
        EXPECT_TRUE((PopupOf(p) != nullptr)) << "Alt, Down in " << where;
        Key(p, VK_ESCAPE);
        Key(p, VK_ESCAPE);
        EXPECT_FALSE(MenuBarWaits(p)) << "Esc after Alt in " << where;
        // F10 as Alt.
        Key(p, VK_F10);
        EXPECT_TRUE(MenuBarWaits(p)) << "F10 in " << where;
        Key(p, VK_ESCAPE);
        EXPECT_FALSE(MenuBarWaits(p)) << "Esc after F10 in " << where;
        // The menu bar's own letters open their menus.
        for (WORD letter : {'F', 'V', 'O', 'H'}) {
            Key(p, letter, Alt);
            EXPECT_TRUE((PopupOf(p) != nullptr)) << "Alt+" << char(letter) << " in " << where;
            Key(p, VK_ESCAPE);
            Key(p, VK_ESCAPE);
            EXPECT_FALSE((PopupOf(p) != nullptr) || MenuBarWaits(p)) << "Esc Esc after Alt+" << char(letter) << " in " << where;
        }
        EXPECT_EQ(p.Focus(), target) << "the keyboard went back to " << where;
    }
    // Alt+F4 in the side tree closes the window; nothing was changed, so
    // no question, and the program ends.
    FocusOn(p, t.Tree);
    Key(p, VK_F4, Alt);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(MenusAndKeysScenario, AltF4ClosesThroughTheWindowsCloseWhichAsksAboutChanges) {
    TProgram p("keys-altf4");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TTargets t = TargetsOf(main);
    AddTask(p, "Typed before Alt+F4");
    for (HWND target : {t.Tree, t.List}) {
        FocusOn(p, target);
        Key(p, VK_F4, Alt);
        ASSERT_TRUE(Answer(p, "You've made changes to this database, do you want to save before exiting?", "Cancel"))
            << "Alt+F4 in " << NameOf(t, target);
        EXPECT_TRUE(p.Running());
    }
    Click(p, CenterOf(t.Edit));
    Key(p, VK_F4, Alt);
    ASSERT_TRUE(Answer(p, "You've made changes to this database", "&Yes"));
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_NE(ReadFile(p.DatabasePath()).find("Typed before Alt+F4"), std::string::npos);
}

// Alt+D groups by date, Alt+Z folds the note panel, Alt+L groups by list:
// each acts, and the next Down moves in the window instead of opening the
// File menu, whichever key the hand lets go first.
TEST(MenusAndKeysScenario, AnActionsAltShortcutLeavesNoMenuWaitingForKeys) {
    TProgram p("keys-alt-actions");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TTargets t = TargetsOf(main);
    for (HWND target : {t.List, t.Edit, t.Tree}) {
        FocusOn(p, target);
        for (bool altFirst : {false, true})
            for (WORD letter : {'D', 'Z', 'L', 'Z'}) {
                TypeAlt(p, letter, altFirst);
                Key(p, VK_DOWN);
                EXPECT_FALSE((PopupOf(p) != nullptr) || MenuBarWaits(p))
                    << "Down after Alt+" << char(letter) << (altFirst ? " (Alt let go first)" : "") << " in "
                    << NameOf(t, target);
                if ((PopupOf(p) != nullptr) || MenuBarWaits(p)) {
                    Key(p, VK_ESCAPE);
                    Key(p, VK_ESCAPE);
                }
            }
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

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
TEST(MenusAndKeysScenario, TheMenuKeyOpensAtTheChosenTaskAndASessionHeldBackLeavesNoShadow) {
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
    HWND menu = PopupOf(p);
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
    EXPECT_EQ(PopupOf(p), nullptr);

    // Tasks 03 to 05 chosen, the list scrolled away from them: the menu
    // key brings the first into view and opens there; Delete takes the
    // three.
    Key(p, VK_DOWN, Shift);
    Key(p, VK_DOWN, Shift);
    Wheel(p, w.ListItem(4), -WHEEL_DELTA * 6);
    MoveTo(p, w.TreeRow(1));
    Key(p, VK_APPS);
    menu = PopupOf(p);
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
    SaveByKeys(p);
    ASSERT_TRUE(SetFileAttributesA(p.DatabasePath().c_str(), FILE_ATTRIBUTE_READONLY));
    AddTask(p, "Not to be lost");
    Click(p, w.ListItem(2), true);
    ASSERT_NE(PopupOf(p), nullptr);
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

// Escape in a drop-down opened from a bar by a click closes the drop-down
// and leaves the bar's item chosen, as a menu bar's item stays chosen
// when Escape closes its menu; a second Escape leaves the bar and the
// keyboard is back where it was, so the next shortcut works.
TEST(MenusAndKeysScenario, EscapeClosesTheDropDownThenLeavesTheBar) {
    TProgram p("mend-escape");
    WriteEmptyDatabase(p.DatabasePath());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_NE(parts.TopEdit, nullptr);
    // The arrow of the quick-entry bar's Add item.
    const POINT addArrow = parts.AddButton();
    const HWND focus = p.Focus();
    ASSERT_NE(focus, nullptr);
    const size_t windows = p.TopWindows().size();
    Click(p, addArrow);
    EXPECT_GT(p.TopWindows().size(), windows) << "no drop-down opened";
    Key(p, VK_ESCAPE);
    EXPECT_EQ(p.TopWindows().size(), windows) << "the drop-down is still open";
    EXPECT_NE(p.ThreadInfo().hwndCapture, nullptr) << "the bar let go of the keyboard at the first Escape";
    Key(p, VK_ESCAPE);
    EXPECT_EQ(p.ThreadInfo().hwndCapture, nullptr) << "the bar still holds the keyboard";
    EXPECT_EQ(p.Focus(), focus);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

bool MenuOpen(const TProgram& p) { return !VisibleTops(p, "TXtPopupWindow").empty(); }

// Alt, F10 and Alt+F open the menu bar from the focused control, and
// Escape gives the keyboard back to it.
void MenuKeysWorkIn(TProgram& p, const char* where) {
    const HWND target = p.Focus();
    Key(p, VK_MENU);
    EXPECT_TRUE(MenuBarWaits(p)) << "Alt in " << where;
    Key(p, VK_ESCAPE);
    EXPECT_FALSE(MenuBarWaits(p)) << "Esc after Alt in " << where;
    Key(p, VK_F10);
    EXPECT_TRUE(MenuBarWaits(p)) << "F10 in " << where;
    Key(p, VK_ESCAPE);
    Key(p, 'F', Alt);
    EXPECT_TRUE(MenuOpen(p)) << "Alt+F in " << where;
    Key(p, VK_ESCAPE);
    Key(p, VK_ESCAPE);
    EXPECT_FALSE(MenuOpen(p) || MenuBarWaits(p)) << "Esc Esc after Alt+F in " << where;
    EXPECT_EQ(p.Focus(), target) << "the keyboard did not go back to " << where;
}

} // namespace

TEST(MenusAndKeysScenario, MenuKeysWorkInTheNoteTheDatePanelAndTheTagsPanel) {
    TProgram p("polish-menu-keys");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));

    Key(p, 'N', Shift);
    ASSERT_EQ(p.Focus(), parts.NoteEditor);
    MenuKeysWorkIn(p, "the note editor");

    // The date panel, its calendar closed.
    Click(p, parts.TreeRow(1));
    Click(p, CenterOf(parts.TopEdit));
    Type(p, "Read;;");
    Key(p, VK_ESCAPE);
    ASSERT_EQ(ClassOf(p.Focus()), "TDateTimePicker");
    MenuKeysWorkIn(p, "the date panel");
    Key(p, VK_ESCAPE);

    // The tags panel's list of tags.
    Click(p, CenterOf(parts.TopEdit));
    Type(p, "[[");
    Key(p, VK_TAB);
    ASSERT_EQ(ClassOf(p.Focus()), "TXtCheckListBox.UnicodeClass");
    MenuKeysWorkIn(p, "the tags panel");

    // Alt+F4 from there closes the window; nothing was changed.
    Key(p, VK_F4, Alt);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// The window of the side tree's name editor, when one is open.
HWND TreeEditorOf(HWND tree) {
    const std::vector<HWND> editors = ChildrenOfClass(tree, "Edit");
    return editors.empty() ? nullptr : editors.front();
}

// The saved file's lines between the list names' end and the tags' end.
std::vector<std::string> SavedTags(const std::string& file) {
    const size_t from = file.find("<--<*&^Folders^&*>-->\r\n");
    const size_t to = file.find("<--<*&^Tags^&*>-->");
    if (from == std::string::npos || to == std::string::npos) return {};
    const size_t start = from + std::string("<--<*&^Folders^&*>-->\r\n").size();
    return Lines(file.substr(start, to - start));
}

} // namespace

// Ctrl+A in a text box showed all dates (the date filter's shortcut) and
// selected nothing, so the text typed next went beside the old text: a tag
// got the file's section markers for a name that way. In every text box
// Ctrl+A selects the box's text, as everywhere on Windows; elsewhere it
// stays the shortcut of "All dates".
TEST(MenusAndKeysScenario, CtrlASelectsTheTextOfTheBoxWithTheKeyboardAndElsewhereShowsAllDates) {
    TProgram p("menus-keys-ctrl-a");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);

    // Today, in Home (a new task goes there without a question): no task
    // of the database is due today, so the list is empty for as long as
    // Ctrl+A keeps out of the date filter.
    ClickNode(p, parts.Tree, "Home");
    Key(p, '1', Ctrl);
    Key(p, 'N', Ctrl);
    Type(p, "old words");
    Key(p, 'A', Ctrl);
    Type(p, "Fresh task");
    EXPECT_EQ(TextOf(parts.TopEdit), "Fresh task") << "Ctrl+A in the quick-entry box";
    Key(p, VK_RETURN);
    Key(p, 'F', Ctrl);
    Type(p, "plumber");
    Key(p, 'A', Ctrl);
    Type(p, "milk");
    EXPECT_EQ(TextOf(parts.TopEdit), "milk") << "Ctrl+A in the find box";
    Key(p, 'N', Ctrl);    // out of the find
    Click(p, CenterOf(parts.List));
    Key(p, VK_DOWN);
    EXPECT_EQ(parts.NoteCaption(), "Note") << "Ctrl+A in a box showed all dates";

    // In the side tree Ctrl+A shows all dates.
    ClickNode(p, parts.Tree, "Home");
    Key(p, 'A', Ctrl);
    Click(p, parts.ListItem(0));
    ASSERT_EQ(parts.NoteCaption(), "No note - Call the plumber") << "Ctrl+A in the side tree";

    // The title's editor.
    Key(p, VK_F2);
    HWND titleEditor = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (titleEditor = p.Focus()) != parts.List; }));
    Key(p, VK_END);
    Key(p, 'A', Ctrl);
    Type(p, "Call the electrician");
    Key(p, VK_RETURN);
    EXPECT_EQ(parts.ChosenTask(), "Call the electrician") << "Ctrl+A in the title's editor";

    // The note.
    Click(p, parts.ListItem(1));
    ASSERT_EQ(parts.NoteCaption(), "Note: Pay rent && <fees>");
    Key(p, 'N', Shift);
    ASSERT_EQ(p.Focus(), parts.NoteEditor.Get());
    Key(p, 'A', Ctrl);
    Type(p, "Direct debit");
    Key(p, VK_RETURN, Shift);

    // A tag's name editor, and the box of a new tag's name.
    ClickNode(p, parts.Tree, "Home");
    Key(p, VK_RIGHT, Ctrl);
    ClickNode(p, parts.Tree, "phone");
    Key(p, VK_RETURN);
    ASSERT_NE(TreeEditorOf(parts.Tree), nullptr);
    Key(p, VK_END);
    Key(p, 'A', Ctrl);
    Type(p, "mobile");
    Key(p, VK_RETURN);
    Key(p, 'N', Ctrl | Shift);
    Type(p, "old");
    Key(p, 'A', Ctrl);
    Type(p, "garden");
    Key(p, VK_RETURN);
    Key(p, VK_ESCAPE);
    EXPECT_EQ(Texts(p, parts.Tree).find("old"), std::string::npos) << Texts(p, parts.Tree);

    // The Options dialog's boxes.
    TOptionsDialog d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    const RECT box = RectOf(d.ListFontSize);
    Click(p, {box.left + 12, (box.top + box.bottom) / 2});
    Key(p, VK_END);
    Key(p, 'A', Ctrl);
    Type(p, "12");
    Click(p, CenterOf(d.Ok));
    ASSERT_TRUE(Closed(d.Window));
    EXPECT_EQ(Option(p, "List Font Size"), "12") << "Ctrl+A in the Options dialog";

    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(TaskLine(file, "Fresh task"), "");
    EXPECT_EQ(TaskLine(file, "old words"), "");
    EXPECT_NE(TaskLine(file, "Call the electrician"), "");
    const std::vector<std::string> rent = Fields(TaskLine(file, "Pay rent"));
    ASSERT_GE(rent.size(), 6u);
    EXPECT_EQ(rent[5].substr(0, 12), "Direct debit") << rent[5];
    EXPECT_EQ(rent[5].find("Standing order"), std::string::npos) << rent[5];
    EXPECT_EQ(SavedTags(file), (std::vector<std::string>{"bills", "food", "mobile", "shop", "garden"}));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Alt and a menu's letter opened no menu while a name was typed over a
// node of the side tree: the keys that followed went on in the editor.
// From the tree's name editor and from the box of a new list's or tag's
// name, Alt+F opens the File menu, as it does from the title's editor,
// and the name typed is taken first.
TEST(MenusAndKeysScenario, AltAndAMenusLetterOpenTheMenuWhileANameIsTyped) {
    TProgram p("menus-keys-alt-letter-names");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    ClickNode(p, parts.Tree, "Home");
    Key(p, VK_RIGHT, Ctrl);
    ClickNode(p, parts.Tree, "bills");
    Key(p, VK_RETURN);
    ASSERT_NE(TreeEditorOf(parts.Tree), nullptr);
    Type(p, "X");
    Key(p, 'F', Alt);
    EXPECT_FALSE(PopupMenus(p).empty()) << "Alt+F in the tree's name editor opened no menu";
    EXPECT_EQ(TreeEditorOf(parts.Tree), nullptr) << "the name typed was not taken";
    Key(p, VK_ESCAPE);
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(MenusShown(p, 0));
    EXPECT_EQ(Texts(p, parts.Tree), "All|X*|food|phone|shop");

    Key(p, 'N', Ctrl | Shift);
    Type(p, "garden");
    Key(p, 'F', Alt);
    EXPECT_FALSE(PopupMenus(p).empty()) << "Alt+F in the new tag's name box opened no menu";
    Key(p, VK_ESCAPE);
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(MenusShown(p, 0));
    EXPECT_NE(Texts(p, parts.Tree).find("garden"), std::string::npos) << Texts(p, parts.Tree);

    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(SavedTags(file), (std::vector<std::string>{"X", "food", "phone", "shop", "garden"}));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
