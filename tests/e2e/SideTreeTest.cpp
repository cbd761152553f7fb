// The side tree's lists and tags: adding, renaming (in place and across
// tabs), joining, deleting and moving them, names it refuses, the tree's
// menu and keys, the list menu (Ctrl+L) that mirrors it, and tasks dragged
// onto a list or tag.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "e2e/BarItemsSupport.h"
#include "e2e/BigDatabase.h"
#include "e2e/E2eDriver.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

TEST(SideTreeScenario, NewListsBeforeAndAfterTheIconDropDown) {
    TProgram p("editing-new-lists");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);

    // A list whose icon is chosen with the keyboard in the drop-down.
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, "Shop");
    Key(p, VK_DOWN);
    const std::vector<HWND> lists = VisibleTops(p, "ComboLBox");
    ASSERT_EQ(lists.size(), 1u) << "the icon drop-down did not open";
    HWND combo = p.Focus();
    const RECT list = RectOf(lists[0]), field = RectOf(combo), window = RectOf(main);
    // Wide enough for an icon and its number, short enough for the window,
    // and on the screen.
    EXPECT_GT(list.right - list.left, field.right - field.left) << "the drop-down is no wider than its field";
    EXPECT_LT(list.bottom - list.top, (window.bottom - window.top) / 2);
    EXPECT_GE(list.top, 0);
    EXPECT_LE(list.bottom, GetSystemMetrics(SM_CYSCREEN));
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    EXPECT_TRUE(VisibleTops(p, "ComboLBox").empty());
    EXPECT_EQ(p.Focus(), parts.Tree);

    // The next list: the name typed goes into the name editor and Enter
    // adds it; nothing of the drop-down comes back.
    Click(p, CenterOf(parts.NewListLabel));
    EXPECT_TRUE(VisibleTops(p, "ComboLBox").empty()) << "the drop-down opened again";
    Type(p, "Garden");
    EXPECT_EQ(TextOf(p.Focus()), "Garden");
    Key(p, VK_RETURN);
    EXPECT_EQ(p.Focus(), parts.Tree);
    // Escape closes an editor opened and left empty.
    Click(p, CenterOf(parts.NewListLabel));
    Key(p, VK_ESCAPE);
    EXPECT_EQ(p.Focus(), parts.Tree);
    EXPECT_TRUE(IsWindowVisible(parts.NewListLabel));

    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(file.find("Home\xF7" "3\xF7\r\nShop\xF7" "1\xF7\r\nGarden\xF7"), std::string::npos) << file;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// Types Name under "< New List >" (or "< New tag >") and presses Enter.
void AddNode(TProgram& p, const TMainWindowParts& parts, const std::string& name) {
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, name);
    Key(p, VK_RETURN);
}

// Saves (Ctrl+S) and tells whether the file holds Line as a whole line.
bool SavedWithLine(TProgram& p, const std::string& line) {
    SaveByKeys(p);
    const std::vector<std::string> lines = Lines(ReadFile(p.DatabasePath()));
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Whether the tree shows the node of that text inside its window.
bool NodeInSight(const TProgram& p, HWND tree, const std::string& text) {
    const RECT box = RectOf(tree);
    for (const TNodeInfo& n : Nodes(p, tree))
        if (n.Text == text)
            return n.Rect.top >= box.top && n.Rect.bottom <= box.bottom && n.Rect.bottom > n.Rect.top;
    return false;
}

} // namespace

// A list or tag added under "< New List >" / "< New tag >" goes last in the
// tree. With more lists than the tree shows it went below the rows in
// sight: Enter seemed to do nothing, and the user added it again.
TEST(SideTreeScenario, ANewListOrTagInALongTreeComesIntoSight) {
    TProgram p("limits-new-node-in-sight");
    HWND main = StartOnCrowded(p, 40, 40, 0);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_FALSE(NodeInSight(p, parts.Tree, "List 39")) << "the tree shows every list: the scenario needs more";

    AddNode(p, parts, "Groceries");
    EXPECT_TRUE(NodeInSight(p, parts.Tree, "Groceries")) << "the new list is out of sight";

    Key(p, VK_RIGHT, Ctrl);  // the tags
    AddNode(p, parts, "urgent");
    EXPECT_TRUE(NodeInSight(p, parts.Tree, "urgent")) << "the new tag is out of sight";

    EXPECT_TRUE(SavedWithLine(p, "Groceries" + FieldEnd + "0" + FieldEnd));
    EXPECT_TRUE(SavedWithLine(p, "urgent"));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A name of blanks only gave a list or tag that shows as an empty row; a
// blank tag chosen filtered every task away under a filter caption of
// blanks. Such a name adds nothing, as an empty one does.
TEST(SideTreeScenario, ANameOfBlanksAddsNoListAndNoTag) {
    TProgram p("limits-blank-names");
    HWND main = StartOnCrowded(p, 2, 2, 2);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);

    AddNode(p, parts, "   ");
    Key(p, VK_ESCAPE);
    EXPECT_EQ(Texts(p, parts.Tree), "All*|List 0|List 1");

    Key(p, VK_RIGHT, Ctrl);
    AddNode(p, parts, "   ");
    Key(p, VK_ESCAPE);
    EXPECT_EQ(Texts(p, parts.Tree), "All*|tag0|tag1");
    // Every task is still shown: click the first row.
    Click(p, parts.ListItem(0));
    EXPECT_NE(parts.ChosenTask(), "Note") << "the tasks are filtered away";

    EXPECT_FALSE(SavedWithLine(p, "   ")) << "a blank tag was saved";
    EXPECT_FALSE(SavedWithLine(p, "   " + FieldEnd + "0" + FieldEnd)) << "a blank list was saved";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

const std::string Sep = "\xF7";

HWND StartOnThreeTasks(TProgram& p) { return StartOn(p, ThreeTasksDatabase()); }

// The lines of a saved file between the first line and the lists marker
// (the lists), and between the two markers (the tags).
std::vector<std::string> Section(const std::string& file, bool lists) {
    std::vector<std::string> out;
    bool in = lists;
    const auto lines = Lines(file);
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i] == "<--<*&^Folders^&*>-->") {
            if (lists) break;
            in = true;
            continue;
        }
        if (lines[i] == "<--<*&^Tags^&*>-->") break;
        if (in) out.push_back(lines[i]);
    }
    return out;
}

// The tree shows Want, waited for (some changes show once the name's
// editor has gone).
bool TreeShows(const TProgram& p, HWND tree, const std::string& want) {
    return WaitUntil([&] { return Texts(p, tree) == want; });
}

// Renames the node showing From in place: Enter, the name, Enter.
void RenameInPlace(const TProgram& p, HWND tree, const std::string& from, const std::string& to) {
    ClickNode(p, tree, from);
    Key(p, VK_RETURN);
    Type(p, to);
    Key(p, VK_RETURN);
}

} // namespace

// A list renamed to another list's name in other letters, and a tag renamed
// to another's name with blanks around it, join that list or tag: the
// panel shows one, still chosen, and the file holds one, with every task.
TEST(SideTreeScenario, AListOrTagRenamedToAnothersNameJoinsIt) {
    TProgram p("explore-lists-join");
    HWND main = StartOnThreeTasks(p);
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ASSERT_EQ(Texts(p, tree), "All*|Work|Home");

    RenameInPlace(p, tree, "Work", "home");
    EXPECT_TRUE(TreeShows(p, tree, "All|Home*")) << Texts(p, tree);

    Key(p, VK_RIGHT, Ctrl);
    Sleep(GetDoubleClickTime() + 50);  // the next click falls where the last one did
    RenameInPlace(p, tree, "work", " HOME ");
    EXPECT_TRUE(TreeShows(p, tree, "All|home*")) << Texts(p, tree);
    // The tree goes on working: back to the lists, where Home is chosen.
    Key(p, VK_LEFT, Ctrl);
    EXPECT_EQ(Texts(p, tree), "All|Home*");

    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Section(file, true), std::vector<std::string>{"Home" + Sep + "3" + Sep}) << file;
    EXPECT_EQ(Section(file, false), std::vector<std::string>{"home"}) << file;
    for (const char* title : {"Write report", "Buy milk", "Both"}) {
        const auto task = SavedTask(file, title);
        ASSERT_FALSE(task.empty()) << title << " was lost: " << file;
        EXPECT_EQ(task[0], std::string("[home]") + title);
        EXPECT_EQ(task[3], "Home");
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A new list or tag named as one there is would be told apart from it by
// nothing (deleting the new, empty list took the other's tasks): it is
// refused with a word. A name of blanks adds nothing.
TEST(SideTreeScenario, ANewListOrTagNamedAsOneThereIsIsRefused) {
    TProgram p("explore-lists-taken");
    HWND main = StartOnThreeTasks(p);
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ClickNode(p, tree, "Home");

    Key(p, 'N', Ctrl | Shift);
    Type(p, "HOME");
    Key(p, VK_RETURN);
    ASSERT_TRUE(NameRefused(p, "a new list named HOME", "There is already a list"));
    Key(p, VK_ESCAPE);
    Key(p, 'N', Ctrl | Shift);
    Type(p, "   ");
    Key(p, VK_RETURN);
    EXPECT_TRUE(p.NoDialogFor(200));
    Key(p, VK_ESCAPE);
    EXPECT_EQ(Texts(p, tree), "All|Work|Home*");

    Key(p, VK_RIGHT, Ctrl);
    Key(p, 'N', Ctrl | Shift);
    Type(p, " Work");
    Key(p, VK_RETURN);
    ASSERT_TRUE(NameRefused(p, "a new tag named Work", "There is already a tag"));
    Key(p, VK_ESCAPE);
    EXPECT_EQ(Texts(p, tree), "All*|work|home");

    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Section(file, true), (std::vector<std::string>{"Work" + Sep + "0" + Sep, "Home" + Sep + "3" + Sep}));
    EXPECT_EQ(Section(file, false), (std::vector<std::string>{"work", "home"}));
    EXPECT_FALSE(SavedTask(file, "Buy milk").empty()) << file;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A task keeps the first 50 characters of its list's name, and the list
// is chosen by them: a longer name stays chosen when the tabs change.
TEST(SideTreeScenario, AListWithALongNameStaysChosenAcrossTheTabs) {
    TProgram p("explore-lists-long");
    HWND main = StartOnThreeTasks(p);
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    const std::string longName(60, 'x');
    RenameInPlace(p, tree, "Work", longName);
    ASSERT_EQ(Texts(p, tree), "All|" + longName + "*|Home");
    Key(p, VK_RIGHT, Ctrl);
    Key(p, VK_LEFT, Ctrl);
    EXPECT_EQ(Texts(p, tree), "All|" + longName + "*|Home");
    Key(p, 'Q', Ctrl);
    if (HWND box = p.WaitDialog()) {
        (void)box;
        Key(p, 'N');
    }
    EXPECT_EQ(p.WaitExit(), 0);
}

// The filter and new tasks take tags in any letter case ("[Work]" typed
// joins the tag work): renaming and deleting the tag reach such a task.
TEST(SideTreeScenario, RenamingOrDeletingATagReachesTasksThatWriteItInOtherLetters) {
    TProgram p("explore-lists-tag-case");
    HWND main = StartOnThreeTasks(p);
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ClickNode(p, tree, "Work");
    Key(p, 'N', Ctrl);
    Type(p, "[Work]Plan");
    Key(p, VK_RETURN);
    ClickNode(p, tree, "Home");
    Key(p, VK_RIGHT, Ctrl);
    ASSERT_EQ(Texts(p, tree), "All*|work|home");

    RenameInPlace(p, tree, "work", "job");
    SaveByKeys(p);
    std::string file = ReadFile(p.DatabasePath());
    ASSERT_FALSE(SavedTask(file, "Plan").empty()) << file;
    EXPECT_EQ(SavedTask(file, "Plan")[0], "[job]Plan");
    EXPECT_EQ(SavedTask(file, "Both")[0], "[job,home]Both");

    Key(p, VK_DELETE);  // job, still chosen
    EXPECT_EQ(Texts(p, tree), "All*|home");
    SaveByKeys(p);
    file = ReadFile(p.DatabasePath());
    EXPECT_EQ(SavedTask(file, "Plan")[0], "Plan");
    EXPECT_EQ(SavedTask(file, "Both")[0], "[home]Both");
    EXPECT_EQ(Section(file, false), std::vector<std::string>{"home"});
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A database from before names were told apart regardless of letter case
// holds lists Work and work and tags Home and home. Each node stands for
// its own spelling: choosing, renaming and deleting one leaves the other
// and its tasks as they were. The first spelling was taken for both: the
// tags tab came back with both tags chosen, deleting the list work took
// Work's entry (its tasks left in no list the panel shows after a
// restart), and renaming the tag home renamed Home's tasks too.
TEST(SideTreeScenario, ListsAndTagsDifferingOnlyInLetterCaseStayApart) {
    TProgram p("explore-lists-case-twins");
    const std::string eol = "\r\n";
    auto task = [&](const std::string& tags, const std::string& title, const std::string& id, const std::string& list) {
        return "[" + tags + "]" + title + Sep + "--" + Sep + id + Sep + list + Sep + "1/2/2025" + Sep + Sep + eol;
    };
    HWND main = StartOn(p, "d_id-0123456789" + eol + "Work" + Sep + "0" + Sep + eol + "work" + Sep + "0" + Sep + eol +
                               "<--<*&^Folders^&*>-->" + eol + "Home" + eol + "home" + eol + "<--<*&^Tags^&*>-->" +
                               eol + task("Home", "Alpha", "1000000001", "Work") +
                               task("home", "Beta", "1000000002", "work") + task("home", "Gamma", "1000000003", "Work"));
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ASSERT_EQ(Texts(p, tree), "All*|Work|work");

    // The tag home chosen stays the only one chosen across the tabs.
    ClickNode(p, tree, "Work");
    Key(p, VK_RIGHT, Ctrl);
    Sleep(GetDoubleClickTime() + 50);
    ClickNode(p, tree, "home");
    Key(p, VK_LEFT, Ctrl);
    Key(p, VK_RIGHT, Ctrl);
    EXPECT_EQ(Texts(p, tree), "All|Home|home*");
    Sleep(GetDoubleClickTime() + 50);
    RenameInPlace(p, tree, "home", "Garden");
    EXPECT_TRUE(TreeShows(p, tree, "All|Home|Garden*")) << Texts(p, tree);

    Key(p, VK_LEFT, Ctrl);
    Sleep(GetDoubleClickTime() + 50);
    ClickNode(p, tree, "work");
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, "Are you sure you want to delete this list and all the tasks inside?", "&Yes"));
    auto unmarked = [&] {
        std::string texts = Texts(p, tree);
        std::erase(texts, '*');
        return texts;
    };
    EXPECT_TRUE(WaitUntil([&] { return unmarked() == "All|Work"; })) << Texts(p, tree);

    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Section(file, true), std::vector<std::string>{"Work" + Sep + "0" + Sep}) << file;
    EXPECT_EQ(Section(file, false), (std::vector<std::string>{"Home", "Garden"})) << file;
    EXPECT_TRUE(SavedTask(file, "Beta").empty()) << file;
    ASSERT_FALSE(SavedTask(file, "Alpha").empty()) << file;
    ASSERT_FALSE(SavedTask(file, "Gamma").empty()) << file;
    EXPECT_EQ(SavedTask(file, "Alpha")[0], "[Home]Alpha");
    EXPECT_EQ(SavedTask(file, "Alpha")[3], "Work");
    EXPECT_EQ(SavedTask(file, "Gamma")[0], "[Garden]Gamma");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// A database an older version left with a list without a name first, then
// Home (the task "Fix the tap") and Work (the task "Plan").
std::string NamelessListDatabase() {
    const std::string sep = "\xF7", eol = "\r\n";
    return "d_id-0123456789" + eol + sep + "1" + sep + eol + "Home" + sep + "3" + sep + eol + "Work" + sep + "0" +
           sep + eol + "<--<*&^Folders^&*>-->" + eol + "<--<*&^Tags^&*>-->" + eol + "Fix the tap" + sep + "--" +
           sep + "1000000001" + sep + "Home" + sep + "1/2/2025" + sep + sep + eol + "Plan" + sep + "--" + sep +
           "1000000002" + sep + "Work" + sep + "1/2/2025" + sep + sep + eol;
}

// Chooses the list Name in the list menu (Ctrl+L) with a click.
void ChooseInListMenu(TProgram& p, const std::string& name) {
    Key(p, 'L', Ctrl);
    ASSERT_TRUE(WaitUntil([&] { return !PopupMenus(p).empty(); })) << "no list menu";
    const TBarItem item = ItemNamed(PopupMenus(p).front(), name);
    ASSERT_TRUE(item.Visible) << "no item " << name;
    Click(p, Middle(item.Place));
    EXPECT_TRUE(WaitUntil([&] { return PopupMenus(p).empty(); }));
}

} // namespace

// The list menu lists what the side tree lists. A list without a name,
// which the tree leaves out, took a row of the menu, and every list after
// it chose the tree's next node: Home chose Work; the last list chose
// nothing. Moving a task (Shift+L) offered the empty row too, which took
// the task out of every list.
TEST(SideTreeScenario, TheListMenuChoosesTheListItShowsBesideANamelessList) {
    TProgram p("mend-nameless-list-menu");
    HWND main = StartOn(p, NamelessListDatabase());
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ASSERT_EQ(Texts(p, tree), "All*|Home|Work");

    TComScope com;
    ChooseInListMenu(p, "Home");
    EXPECT_EQ(Texts(p, tree), "All|Home*|Work") << "Home chose another list";
    ChooseInListMenu(p, "Work");
    EXPECT_EQ(Texts(p, tree), "All|Home|Work*") << "Work chose another list";
    ChooseInListMenu(p, "All");
    EXPECT_EQ(Texts(p, tree), "All*|Home|Work");

    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    Key(p, 'L', Shift);
    ASSERT_TRUE(WaitUntil([&] { return !PopupMenus(p).empty(); })) << "no Move To List menu";
    std::string names;
    for (const TBarItem& item : ItemsOf(PopupMenus(p).front())) names += item.Name + "|";
    EXPECT_EQ(names, "Home|Work|");
    Key(p, VK_ESCAPE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// The dark pixels of the first row ("All") of the list menu that Ctrl+L
// opens; the menu is closed again. Bold letters have more of them.
int InkOfAllInListMenu(TProgram& p) {
    Key(p, 'L', Ctrl);
    int dark = -1;
    if (WaitUntil([&] { return !PopupMenus(p).empty(); })) {
        p.Settle();
        Sleep(150);
        const RECT menu = RectOf(PopupMenus(p).front());
        const RECT row{menu.left + 2, menu.top + 3, menu.right - 2, menu.top + 20};
        dark = 0;
        for (COLORREF c : PixelsOf(row)) dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100;
    }
    Key(p, VK_ESCAPE);
    return dark;
}

} // namespace

// The list menu (Ctrl+L) shows the chosen list in bold. A list whose name
// is longer than the 50 characters a task keeps, chosen, lost its mark to
// "All" once the side tree was built again (here after another list was
// joined to it by a rename).
TEST(SideTreeScenario, TheListMenuMarksAChosenListWithALongName) {
    TProgram p("mend-long-list-menu");
    const std::string sep = "\xF7", eol = "\r\n", longName(60, 'L');
    WriteFile(p.DatabasePath(), "d_id-0123456789" + eol + "Work" + sep + "0" + sep + eol + longName + sep + "2" +
                                    sep + eol + "<--<*&^Folders^&*>-->" + eol + "<--<*&^Tags^&*>-->" + eol +
                                    "Plan" + sep + "--" + sep + "1000000001" + sep + "Work" + sep + "1/2/2025" +
                                    sep + sep + eol);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    const int bold = InkOfAllInListMenu(p);
    ClickNode(p, tree, longName);
    const int plain = InkOfAllInListMenu(p);
    ASSERT_GT(bold, plain) << "All chosen is not told from All not chosen";

    Sleep(GetDoubleClickTime() + 50);
    ClickNode(p, tree, "Work");
    Key(p, VK_RETURN);
    Type(p, longName);
    Key(p, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return Texts(p, tree) == "All|" + longName + "*"; })) << Texts(p, tree);
    EXPECT_EQ(InkOfAllInListMenu(p), plain) << "All is marked while the long list is chosen";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A list renamed in place and left by a click on the Tags tab: the tags
// came in under the open editor, and the click that then closed it
// renamed the tag that lay under it ("phone" became "Job" on every task
// that had it) while the list kept its name. The name typed is taken for
// the list before the tab changes, as a click into the task list takes it.
TEST(SideTreeScenario, ATabClickedWhileAListIsRenamedRenamesTheList) {
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
TEST(SideTreeScenario, TheTreeMenuActsOnTheListPointedAtOrChosen) {
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

namespace {

// Shows the tags in the side tree and chooses Tag.
void ChooseTag(const TProgram& p, const TMainWindowParts& parts, const std::string& tag) {
    Click(p, TagsTabPoint(parts.Main));
    ClickNode(p, parts.Tree, tag);
}

// Whether the list shows First at its top and Last at its end, chosen
// with Home and End from the keyboard (the note panel's caption names the
// task chosen); Seen gets the names read.
bool ShowsFromTo(const TProgram& p, const TMainWindowParts& parts, const std::string& first, const std::string& last,
                 std::string& seen) {
    Click(p, CenterOf(parts.TopEdit));
    Key(p, VK_END);
    Key(p, VK_DOWN);    // the keyboard goes to the list
    Key(p, VK_HOME);
    std::string top, end;
    const bool topRight = WaitUntil([&] { return (top = parts.ChosenTask()) == first; });
    Key(p, VK_END);
    const bool endRight = WaitUntil([&] { return (end = parts.ChosenTask()) == last; });
    seen = top + " .. " + end;
    return topRight && endRight;
}

// The dark pixels of each entry of the list menu that Ctrl+L opens, by
// the entry's name; the menu is closed again. The chosen list's entry is
// bold: it has more of them than it has plain.
std::map<std::string, int> InkOfListMenuEntries(TProgram& p) {
    const TComScope com;
    std::map<std::string, int> ink;
    Key(p, 'L', Ctrl);
    if (WaitUntil([&] { return !PopupMenus(p).empty(); })) {
        p.Settle();
        for (const TBarItem& item : ItemsOf(PopupMenus(p).front())) {
            if (item.Name.empty() || !item.Visible) continue;
            int& dark = ink[item.Name];
            for (COLORREF c : PixelsOf(item.Place)) dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100;
        }
    }
    Key(p, VK_ESCAPE);
    return ink;
}

} // namespace

TEST(SideTreeScenario, ASearchAfterATagJoinOrATickShowsExactlyTheTasksThatPass) {
    TProgram p("narrowed-join");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    // The tag "diy" chosen and "p" searched: Fix the tap, Paint the fence.
    ChooseTag(p, parts, "diy");
    Key(p, 'F', Ctrl);
    Type(p, "p");
    std::string seen;
    EXPECT_TRUE(ShowsFromTo(p, parts, "Fix the tap", "Paint the fence", seen)) << seen;
    // "office" renamed to "diy" joins it: its two tasks, which the list did
    // not show, now carry the chosen tag, and "pl" finds one of them.
    ClickNode(p, parts.Tree, "office");
    Key(p, VK_RETURN);
    Type(p, "diy");
    Key(p, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return Texts(p, parts.Tree).find("office") == std::string::npos; }))
        << Texts(p, parts.Tree);
    Click(p, CenterOf(parts.TopEdit));
    Key(p, VK_END);
    Type(p, "l");
    EXPECT_TRUE(ShowsFromTo(p, parts, "Plan the budget", "Plan the budget", seen)) << seen;

    // Done tasks hidden, every tag, "b" searched: Call the bank, Plan the
    // budget, Buy milk. The first ticked with Space stays until the list
    // is built again; grouping by tags builds it without the done task.
    ClickNode(p, parts.Tree, "All");
    Key(p, 'D', Ctrl);
    Click(p, CenterOf(parts.TopEdit));
    Key(p, VK_BACK);
    Key(p, VK_BACK);
    Type(p, "b");
    EXPECT_TRUE(ShowsFromTo(p, parts, "Call the bank", "Buy milk", seen)) << seen;
    Key(p, VK_HOME);
    Key(p, VK_SPACE);
    Key(p, 'T', Alt);
    EXPECT_TRUE(ShowsFromTo(p, parts, "Plan the budget", "Buy milk", seen)) << "the ticked task stays: " << seen;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::vector<std::string> ticked = SavedTask(ReadFile(p.DatabasePath()), "Call the bank");
    ASSERT_GE(ticked.size(), 2u);
    EXPECT_EQ(ticked[1], "-d-") << "the tick was not saved";
}

// The list menu (Ctrl+L) marks the chosen list in bold. The chosen list
// moved up in the side tree (Ctrl+Up) left the mark on the list that took
// its old place, while the filter bar and the tasks shown still named the
// moved one.
TEST(SideTreeScenario, TheListMenuMarksTheChosenListAfterItMoved) {
    TProgram p("narrowed-moved-list");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Key(p, 'F', Ctrl);
    Type(p, "b");
    ClickNode(p, parts.Tree, "Shop");
    const std::map<std::string, int> before = InkOfListMenuEntries(p);
    ASSERT_GT(before.at("Shop"), 0);
    ASSERT_GT(before.at("Home"), 0);
    Key(p, VK_UP, Ctrl);
    ASSERT_TRUE(WaitUntil([&] { return Texts(p, parts.Tree) == "All|Work|Shop*|Home"; }))
        << Texts(p, parts.Tree);
    const std::map<std::string, int> after = InkOfListMenuEntries(p);
    EXPECT_EQ(after.at("Shop"), before.at("Shop")) << "the chosen list lost its mark";
    EXPECT_EQ(after.at("Home"), before.at("Home")) << "the list below it took the mark";
    EXPECT_EQ(TextOf(parts.TopEdit), "b");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A tag chosen and then let go with Ctrl+click leaves no tag chosen in
// the tree, but the list went on showing that tag's tasks alone; and the
// tree's keyboard place stayed on the tag: Delete took it off every task
// without a word, and Ctrl+Up moved it. The list follows the tree, and
// keys act on a chosen tag only.
TEST(SideTreeScenario, KeysLeaveATagAloneThatWasLetGo) {
    TProgram p("narrowed-tag-let-go");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ChooseTag(p, parts, "food");
    ASSERT_TRUE(WaitUntil([&] { return Texts(p, parts.Tree) == "All|diy|food*|money|office|phone"; }))
        << Texts(p, parts.Tree);
    Sleep(GetDoubleClickTime() + 50);
    for (const TNodeInfo& n : Nodes(p, parts.Tree))
        if (n.Text == "food") Click(p, Middle(n.Rect), Ctrl);
    ASSERT_TRUE(WaitUntil([&] { return Texts(p, parts.Tree) == "All|diy|food|money|office|phone"; }))
        << Texts(p, parts.Tree);
    std::string seen;
    EXPECT_TRUE(ShowsFromTo(p, parts, "Write report", "Order a lamp", seen)) << "no tag chosen: " << seen;
    Key(p, VK_LEFT);    // the keyboard goes back to the tree
    ASSERT_EQ(p.Focus(), parts.Tree);
    Key(p, VK_DELETE);
    Key(p, VK_UP, Ctrl);
    p.Settle();
    EXPECT_EQ(Texts(p, parts.Tree), "All|diy|food|money|office|phone");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(file.find("diy\r\nfood\r\nmoney\r\n"), std::string::npos) << "the tag food was deleted or moved";
    EXPECT_NE(file.find("[food]Buy milk"), std::string::npos) << "Buy milk lost its tag";
}

namespace {

// Thirty lists ("List 01" ...) of one task each ("Task 01" ...): more than
// the side tree shows, so the wheel scrolls it.
void WriteThirtyLists(const TProgram& p) {
    std::string file = "d_id-0123456789\r\n";
    char line[160];
    for (int i = 1; i <= 30; ++i) {
        std::snprintf(line, sizeof line, "List %02d\xF7" "0\xF7\r\n", i);
        file += line;
    }
    file += "<--<*&^Folders^&*>-->\r\n<--<*&^Tags^&*>-->\r\n";
    for (int i = 1; i <= 30; ++i) {
        std::snprintf(line, sizeof line, "Task %02d\xF7--\xF7%010d\xF7List %02d\xF7" "1/2/2025\xF7\xF7\r\n", i, i, i);
        file += line;
    }
    MakeFolderOf(p.DatabasePath());
    WriteFile(p.DatabasePath(), file);
}

// The filter bar: the fourth docked toolbar from the top; its list menu
// names the list the task list shows.
HWND FilterBar(HWND main) {
    std::vector<HWND> bars = ChildrenOfClass(main, "TXtToolbar.UnicodeClass");
    std::sort(bars.begin(), bars.end(), [](HWND x, HWND y) { return RectOf(x).top < RectOf(y).top; });
    return bars.size() >= 4 ? bars[3] : nullptr;
}

} // namespace

// A list clicked, the side tree scrolled by the wheel, and a quick click
// at the same place: that click lands on another list, which it chooses.
// It opened the name's editor on the list clicked first, scrolled away. A
// double click on a list still renames that list.
TEST(SideTreeScenario, AQuickClickOnAListTheWheelBroughtUnderThePointerChoosesIt) {
    TComScope com;
    TProgram p("quick-clicks-tree");
    WriteThirtyLists(p);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    HWND filters = FilterBar(main);
    ASSERT_NE(filters, nullptr);
    const POINT row = parts.TreeRow(3);
    const DWORD first = GetTickCount();
    StampedClick(p, row, first);
    ASSERT_TRUE(ItemNamed(filters, "List 03 >").Visible);
    Wheel(p, row, -WHEEL_DELTA);
    StampedClick(p, row, first + 100);
    EXPECT_EQ(p.Focus(), parts.Tree) << "an editor opened holding " << TextOf(p.Focus());
    EXPECT_TRUE(ItemNamed(filters, "List 06 >").Visible) << "the list under the pointer was not chosen";
    Key(p, VK_ESCAPE);

    Sleep(GetDoubleClickTime() + 50);
    DoubleClick(p, row);
    EXPECT_EQ(TextOf(p.Focus()), "List 06");
    Key(p, VK_ESCAPE);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(file.find("List 03\xF7"), std::string::npos);
    EXPECT_NE(file.find("List 06\xF7"), std::string::npos);
}

namespace {

// ThreeTasksDatabase with more lists (Shop, then List A to List T) and a
// third tag, shop.
std::string ThreeListsDatabase() {
    std::string file = ThreeTasksDatabase();
    std::string more = "Shop\xF7" "5\xF7\r\n";
    // Enough lists below it for the tree to scroll.
    for (char c = 'A'; c <= 'T'; ++c) more += std::string("List ") + c + "\xF7" "1\xF7\r\n";
    file.replace(file.find("<--<*&^Folders"), 0, more);
    file.replace(file.find("<--<*&^Tags"), 0, "shop\r\n");
    return file;
}

// Enter on the chosen node, Name typed over it, then Ctrl with Arrow:
// the tree as it shows then, its first Length characters; the editor
// must be gone and the keyboard back in the tree.
std::string NameAndMove(const TProgram& p, HWND tree, const std::string& name, WORD arrow, size_t length) {
    Key(p, VK_RETURN);
    EXPECT_EQ(ChildrenOfClass(tree, "Edit").size(), 1u) << "Enter opened no editor for " << name;
    Type(p, name);
    Key(p, arrow, Ctrl);
    EXPECT_TRUE(ChildrenOfClass(tree, "Edit").empty()) << name;
    EXPECT_EQ(p.Focus(), tree) << name;
    return Texts(p, tree).substr(0, length);
}

} // namespace

// Ctrl+Up and Ctrl+Down reach the tree from the name's editor and move the
// node; the name typed went with the editor when the node moved down past
// one that was not the last, while the node moved. The name typed goes
// with the node; one that joins another list or tag moves nothing.
TEST(SideTreeScenario, MovingANodeWhileItsNameIsTypedTakesTheName) {
    TProgram p("explore-sidekeys-move-editing");
    WriteFile(p.DatabasePath(), ThreeListsDatabase());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ASSERT_EQ(Texts(p, tree).substr(0, 20), "All*|Work|Home|Shop|");

    ClickNode(p, tree, "Home");
    EXPECT_EQ(NameAndMove(p, tree, "House", VK_UP, 21), "All|House*|Work|Shop|");
    EXPECT_EQ(NameAndMove(p, tree, "Flat", VK_DOWN, 20), "All|Work|Flat*|Shop|");

    // The tags tab the same way; a name that joins another tag leaves
    // nothing to move.
    Key(p, VK_RIGHT, Ctrl);
    ClickNode(p, tree, "work");
    EXPECT_EQ(NameAndMove(p, tree, "job", VK_DOWN, 99), "All|home|job*|shop");
    Key(p, VK_UP);
    EXPECT_EQ(NameAndMove(p, tree, "shop", VK_DOWN, 99), "All|job|shop*");
    Shot(p, main, "explore-sidekeys-move-editing");

    SaveByKeys(p);
    const std::string saved = ReadFile(p.DatabasePath());
    EXPECT_NE(saved.find("\r\nWork\xF7" "0\xF7\r\nFlat\xF7" "3\xF7\r\nShop\xF7" "5\xF7\r\n"), std::string::npos)
        << saved;
    EXPECT_NE(saved.find("\r\njob\r\nshop\r\n<--"), std::string::npos) << saved;
    const auto milk = SavedTask(saved, "Buy milk");
    ASSERT_FALSE(milk.empty()) << saved;
    EXPECT_EQ(milk[0], "[shop]Buy milk");
    EXPECT_EQ(milk[3], "Flat");
    const auto both = SavedTask(saved, "Both");
    ASSERT_FALSE(both.empty()) << saved;
    EXPECT_EQ(both[0], "[job,shop]Both");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(SideTreeScenario, AnEditEndedByEscLeavesTheTreesKeysWorking) {
    TProgram p("explore-tree-esc");
    WriteFile(p.DatabasePath(), ThreeTasksDatabase());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ASSERT_EQ(Texts(p, tree), "All*|Work|Home");

    // Lists: Enter opens the name's editor, Esc closes it unchanged; then
    // Delete asks, Enter edits again, Ctrl+Right shows the tags.
    ClickNode(p, tree, "Work");
    Key(p, VK_RETURN);
    ASSERT_EQ(ChildrenOfClass(tree, "Edit").size(), 1u);
    Type(p, "Office");
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(ChildrenOfClass(tree, "Edit").empty());
    EXPECT_EQ(Texts(p, tree), "All|Work*|Home");
    Key(p, VK_DELETE);
    HWND box = p.WaitDialog();
    EXPECT_NE(box, nullptr) << "Delete did nothing after an edit ended by Esc";
    if (box) {
        Key(p, 'N');
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    }
    Key(p, VK_RETURN);
    EXPECT_EQ(ChildrenOfClass(tree, "Edit").size(), 1u) << "Enter did not edit the name again";
    Key(p, VK_ESCAPE);
    Key(p, VK_RIGHT, Ctrl);
    EXPECT_EQ(Texts(p, tree), "All*|work|home") << "Ctrl+Right did not show the tags";

    // Tags: the same after Esc, and Right gives the keyboard to the tasks.
    ClickNode(p, tree, "home");
    Key(p, VK_RETURN);
    Type(p, "house");
    Key(p, VK_ESCAPE);
    EXPECT_EQ(Texts(p, tree), "All|work|home*");
    Key(p, VK_DELETE);  // a tag goes without a question
    EXPECT_EQ(Texts(p, tree), "All*|work") << "Delete did nothing after an edit ended by Esc";
    Key(p, VK_LEFT, Ctrl);
    EXPECT_EQ(Texts(p, tree), "All|Work*|Home");
    SaveByKeys(p);
    const std::string saved = ReadFile(p.DatabasePath());
    const auto both = SavedTask(saved, "Both");
    ASSERT_FALSE(both.empty()) << saved;
    EXPECT_EQ(both[0], "[work]Both");
    EXPECT_EQ(both[3], "Work");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

HWND ChildWithText(HWND main, const std::string& className, const std::string& text) {
    for (HWND w : ChildrenOfClass(main, className))
        if (TextOf(w) == text) return w;
    return nullptr;
}

// The filter bar: the lowest bar of the top dock ("Filters :" and the
// caption of the chosen list and tags).
RECT FilterBarRect(HWND main) {
    RECT best{};
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass")) {
        const RECT r = RectOf(w);
        if (r.top > best.top) best = r;
    }
    return best;
}

RECT TaskList(HWND main) {
    const auto lists = ChildrenOfClass(main, "TGvListview");
    return lists.empty() ? RECT{} : RectOf(lists.front());
}

// What the filter bar and the task list show, once the program has painted.
struct TView {
    std::vector<COLORREF> Filter, List;
};

TView ViewOf(const TProgram& p, HWND main) {
    p.Settle();
    Sleep(150);  // painting waits for an empty queue
    p.Settle();
    return {PixelsOf(FilterBarRect(main)), PixelsOf(TaskList(main))};
}

// Top-level windows of the program besides the main and application
// windows and menu shadows: open menus and message boxes.
std::vector<HWND> Popups(const TProgram& p) {
    std::vector<HWND> out;
    for (HWND w : p.TopWindows()) {
        const std::string name = ClassOf(w);
        if (name != "TMainForm" && name != "TApplication" && name != "THorzShadow" && name != "TVertShadow")
            out.push_back(w);
    }
    return out;
}

// The lists of a saved database (name and icon entries, as stored).
std::vector<std::string> SavedLists(const std::string& file) {
    std::vector<std::string> lists;
    const auto lines = Lines(file);
    for (size_t i = 1; i < lines.size() && lines[i] != "<--<*&^Folders^&*>-->"; ++i) lists.push_back(lines[i]);
    return lists;
}

// Two lists (Work with icon 0, Home with icon 3), two tags and a task in
// each list.
std::string TwoListsAndTagsDatabase() {
    return "d_id-0123456789\r\nWork" + Sep + "0" + Sep + "\r\nHome" + Sep + "3" + Sep +
           "\r\n<--<*&^Folders^&*>-->\r\nwork\r\nhome\r\n<--<*&^Tags^&*>-->\r\n"
           "[work]Write report" + Sep + "--" + Sep + "1000000001" + Sep + "Work" + Sep + "1/2/2025" + Sep + Sep +
           "\r\n[home]Buy milk" + Sep + "--" + Sep + "1000000002" + Sep + "Home" + Sep + "1/2/2025" + Sep + Sep +
           "\r\n";
}

// Starts the program on TwoListsAndTagsDatabase; its main window (nullptr when
// none came).
HWND StartOnTwoListsAndTags(TProgram& p) {
    WriteFile(p.DatabasePath(), TwoListsAndTagsDatabase());
    p.Start();
    return p.Main();
}

} // namespace

TEST(SideTreeScenario, FirstStartThenListsAndTasksSurviveARestart) {
    TProgram p("lists-first-start");
    p.Start();
    ASSERT_NE(p.WaitDialog(), nullptr) << "no first-start message";
    Key(p, VK_RETURN);
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ASSERT_NE(tree, nullptr);
    // As after loading an empty database: "All" is there and chosen.
    EXPECT_EQ(Texts(p, tree), "All*");
    const TView allLists = ViewOf(p, main);

    HWND newList = ChildWithText(main, "TXtLabel.UnicodeClass", "< New List >");
    ASSERT_NE(newList, nullptr);
    Click(p, CenterOf(newList));
    Type(p, "Work");
    Key(p, VK_RETURN);
    EXPECT_EQ(Texts(p, tree), "All*|Work") << "the new list took the place of All";
    Click(p, CenterOf(newList));
    Type(p, "Home");
    Key(p, VK_RETURN);
    EXPECT_EQ(Texts(p, tree), "All*|Work|Home");

    ClickNode(p, tree, "Work");
    EXPECT_EQ(Texts(p, tree), "All|Work*|Home");
    EXPECT_FALSE(ViewOf(p, main).Filter == allLists.Filter) << "the filter caption stayed at All lists";
    HWND edit = ChildrenOfClass(main, "TXtEdit.UnicodeClass").at(0);
    Click(p, CenterOf(edit));
    Type(p, "Call Bob");
    Key(p, VK_RETURN);
    EXPECT_TRUE(Popups(p).empty()) << "Enter opened a menu instead of adding the task";
    Key(p, VK_ESCAPE);
    SaveByKeys(p);
    std::string saved = ReadFile(p.DatabasePath());
    EXPECT_EQ(SavedLists(saved), (std::vector<std::string>{"Work" + Sep + "0" + Sep, "Home" + Sep + "0" + Sep}));
    auto task = SavedTask(saved, "Call Bob");
    ASSERT_FALSE(task.empty()) << saved;
    EXPECT_EQ(task[3], "Work");

    // The tags tab and back show the same lists.
    ClickNode(p, tree, "Work");
    Key(p, VK_RIGHT, Ctrl);
    EXPECT_EQ(Texts(p, tree), "All*");
    Key(p, VK_RIGHT, Ctrl);
    EXPECT_EQ(Texts(p, tree), "All|Work*|Home");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);

    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(p.NoDialogFor(200));
    tree = TreeOf(main);
    EXPECT_EQ(Texts(p, tree), "All*|Work|Home");
    saved = ReadFile(p.DatabasePath());
    task = SavedTask(saved, "Call Bob");
    ASSERT_FALSE(task.empty()) << saved;
    EXPECT_EQ(task[3], "Work");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Renaming the chosen list or tag in place keeps it chosen under its new
// name; clearing the database leaves "All" as the current list.
TEST(SideTreeScenario, RenamingTheChosenListOrTagThenClearingTheDatabase) {
    TProgram p("lists-rename");
    HWND main = StartOnTwoListsAndTags(p);
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ASSERT_EQ(Texts(p, tree), "All*|Work|Home");

    ClickNode(p, tree, "Work");
    const TView work = ViewOf(p, main);
    Key(p, VK_RETURN);
    Type(p, "Office");
    Key(p, VK_RETURN);
    EXPECT_EQ(Texts(p, tree), "All|Office*|Home");
    const TView renamed = ViewOf(p, main);
    ClickNode(p, tree, "Home");
    ClickNode(p, tree, "Office");
    const TView office = ViewOf(p, main);
    EXPECT_FALSE(office.Filter == work.Filter) << "the caption does not name the list";
    EXPECT_TRUE(renamed.Filter == office.Filter) << "after the rename the caption kept the old name";
    EXPECT_TRUE(renamed.List == office.List) << "after the rename the task list went blank";

    Key(p, VK_RIGHT, Ctrl);  // the tags tab
    ASSERT_EQ(Texts(p, tree), "All*|work|home");
    ClickNode(p, tree, "home");  // the same row as Office would make a double click
    ClickNode(p, tree, "work");
    const TView workTag = ViewOf(p, main);
    Key(p, VK_RETURN);
    Type(p, "job");
    Key(p, VK_RETURN);
    EXPECT_EQ(Texts(p, tree), "All|job*|home");
    const TView renamedTag = ViewOf(p, main);
    ClickNode(p, tree, "home");
    ClickNode(p, tree, "job");
    const TView job = ViewOf(p, main);
    EXPECT_FALSE(job.Filter == workTag.Filter);
    EXPECT_TRUE(renamedTag.Filter == job.Filter) << "after the rename the caption kept the old tag";
    EXPECT_TRUE(renamedTag.List == job.List) << "after the rename the task list went blank";

    SaveByKeys(p);
    std::string saved = ReadFile(p.DatabasePath());
    auto task = SavedTask(saved, "Write report");
    ASSERT_FALSE(task.empty()) << saved;
    EXPECT_EQ(task[0], "[job]Write report");
    EXPECT_EQ(task[3], "Office");

    // Clear database, no copy: the tree shows "All" alone and a new task
    // does not go to the list that is gone.
    Key(p, VK_RIGHT, Ctrl);  // back to the lists
    ClickNode(p, tree, "Office");
    ASSERT_EQ(Texts(p, tree), "All|Office*|Home");
    const RECT bar = RectOf(ChildrenOfClass(main, "TXtToolbar.UnicodeClass").at(0));
    Click(p, {bar.left + 22, (bar.top + bar.bottom) / 2});  // File
    Type(p, "c");
    HWND box = p.WaitDialog();
    ASSERT_NE(box, nullptr) << "no question before clearing";
    Key(p, 'N');
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(Texts(p, tree), "All*");
    const TView cleared = ViewOf(p, main);
    HWND edit = ChildrenOfClass(main, "TXtEdit.UnicodeClass").at(0);
    Click(p, CenterOf(edit));
    Type(p, "After clearing");
    Key(p, VK_RETURN);
    Key(p, VK_ESCAPE);
    ClickNode(p, tree, "All");
    EXPECT_TRUE(ViewOf(p, main).Filter == cleared.Filter) << "the caption still names the cleared list";
    SaveByKeys(p);
    saved = ReadFile(p.DatabasePath());
    EXPECT_EQ(saved.find("Office"), std::string::npos) << saved;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A right click on a node opens the tree's menu for that node, in both
// tabs.
TEST(SideTreeScenario, RightClickOnANodeSelectsItAndOpensTheTreeMenu) {
    TProgram p("lists-right-click");
    HWND main = StartOnTwoListsAndTags(p);
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ASSERT_EQ(Texts(p, tree), "All*|Work|Home");

    ClickNode(p, tree, "Home", true);
    EXPECT_EQ(Texts(p, tree), "All|Work|Home*");
    ASSERT_EQ(Popups(p).size(), 1u) << "no menu";
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);  // Edit
    EXPECT_TRUE(Popups(p).empty());
    EXPECT_EQ(ChildrenOfClass(tree, "Edit").size(), 1u) << "Edit did not start editing the node";
    Type(p, "House");
    Key(p, VK_RETURN);
    EXPECT_EQ(Texts(p, tree), "All|Work|House*");

    Key(p, VK_RIGHT, Ctrl);  // the tags tab
    ASSERT_EQ(Texts(p, tree), "All*|work|home");
    ClickNode(p, tree, "home", true);
    EXPECT_EQ(Texts(p, tree), "All|work|home*");
    EXPECT_EQ(Popups(p).size(), 1u) << "no menu in the tags tab";
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(Popups(p).empty());
    SaveByKeys(p);
    auto task = SavedTask(ReadFile(p.DatabasePath()), "Buy milk");
    ASSERT_FALSE(task.empty());
    EXPECT_EQ(task[3], "House");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(SideTreeScenario, DraggingATaskOntoAnotherList) {
    TProgram p("lists-drag");
    HWND main = StartOnTwoListsAndTags(p);
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ClickNode(p, tree, "Home");
    ASSERT_EQ(Texts(p, tree), "All|Work|Home*");
    // The list shows the column header, the group of Home and its task.
    const RECT list = TaskList(main);
    const POINT task{list.left + 100, list.top + 64};
    POINT work{};
    for (const TNodeInfo& n : Nodes(p, tree))
        if (n.Text == "Work") work = Middle(n.Rect);
    Drag(p, task, work);
    SaveByKeys(p);
    auto saved = SavedTask(ReadFile(p.DatabasePath()), "Buy milk");
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(saved[3], "Work");
    EXPECT_EQ(SavedTask(ReadFile(p.DatabasePath()), "Write report").at(3), "Work");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The menu key and Shift+F10 in the side tree opened the menu at the
// tree's top left corner, over "All", far from the list chosen; with the
// pointer resting there, the menu was taken for a click on "All" and its
// commands acted on it. The menu asked for from the keyboard opens just
// below the focused list and acts on it, wherever the pointer is.
TEST(SideTreeScenario, TheMenuKeyOpensAtTheFocusedListAndActsOnIt) {
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
    HWND menu = PopupOf(p);
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
    menu = PopupOf(p);
    ASSERT_NE(menu, nullptr);
    r = RectOf(menu);
    EXPECT_GE(r.top, w.TreeRow(3).y);
    EXPECT_LT(r.top, w.TreeRow(3).y + 24);
    Key(p, VK_UP);
    Key(p, VK_UP);    // Move Up
    Key(p, VK_RETURN);
    Key(p, VK_F10, Shift);
    ASSERT_NE(PopupOf(p), nullptr);
    Key(p, VK_UP);    // Move Down once more: Home ends last
    Key(p, VK_RETURN);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(file.find("Holidays\xF7" "3\xF7\r\nWork\xF7" "0\xF7\r\nHome\xF7" "1\xF7"), std::string::npos) << file;
}

namespace {

// The tags of a database file.
std::vector<std::string> TagsIn(const std::string& path) {
    TuData data;
    std::vector<std::string> tags;
    if (!data.LoadFromFile(path)) return tags;
    for (int i = 0; i < data.Tags->GetCount(); ++i) tags.push_back(data.Tags->Get(i));
    return tags;
}

} // namespace

// A name typed into the side tree's "< New List >" editor and left by a
// click on the Tags tab is taken as a new list, as a list's name being
// changed in place is taken; the editor closes with the tab change, so
// Enter afterwards adds no tag. An empty editor closes without a list.
TEST(SideTreeScenario, ATabClickTakesTheNewListsName) {
    TProgram p("mend-new-list-tab");
    WriteEmptyDatabase(p.DatabasePath());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_NE(parts.NewListLabel, nullptr);
    const RECT tree = RectOf(parts.Tree);
    const POINT tagsTab{tree.left + 90, tree.top - 10};
    const POINT listsTab{tree.left + 30, tree.top - 10};

    Click(p, CenterOf(parts.NewListLabel));
    const HWND editor = p.Focus();
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(editor, parts.Tree);
    Type(p, std::string("Errands"));
    Click(p, tagsTab);
    EXPECT_FALSE(IsWindowVisible(editor)) << "the new list's editor stayed open in the tags tab";
    Key(p, VK_RETURN);
    SaveByKeys(p);
    const std::vector<std::string> lists = ListsIn(p.DatabasePath());
    EXPECT_TRUE(Holds(lists, "Errands")) << "the typed name made no list";
    const std::vector<std::string> tags = TagsIn(p.DatabasePath());
    EXPECT_FALSE(Holds(tags, "Errands")) << "the list's name became a tag";

    // Opened and left empty: nothing is added, in either tab.
    Click(p, CenterOf(parts.NewListLabel));
    Click(p, listsTab);
    EXPECT_FALSE(IsWindowVisible(editor)) << "the new tag's editor stayed open in the lists tab";

    // A name that cannot be saved is refused, and the tab stays with its
    // editor open on the name, for the user to mend it.
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, std::wstring(L"Caf\u00e9 \u03a9"));
    Click(p, tagsTab);
    ASSERT_TRUE(Answer(p, "This name holds characters that cannot be saved", "OK"));
    EXPECT_TRUE(IsWindowVisible(editor)) << "the refused name's editor closed";
    EXPECT_EQ(TextOf(parts.NewListLabel), "< New List >") << "the tab changed under a refused name";
    Key(p, VK_ESCAPE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(ListsIn(p.DatabasePath()), (std::vector<std::string>{"Work", "Errands"}));
    EXPECT_TRUE(TagsIn(p.DatabasePath()).empty());
}

namespace {

// The tag lines of a saved database.
std::vector<std::string> TagLines(const std::string& file) {
    std::vector<std::string> tags;
    const std::string start = "<--<*&^Folders^&*>-->\r\n", end = "<--<*&^Tags^&*>-->";
    size_t at = file.find(start);
    const size_t stop = file.find(end);
    if (at == std::string::npos || stop == std::string::npos) return tags;
    for (at += start.size(); at < stop;) {
        const size_t eol = file.find("\r\n", at);
        tags.push_back(file.substr(at, eol - at));
        at = eol + 2;
    }
    return tags;
}

} // namespace

TEST(SideTreeScenario, ListAndTagNamesKeepOutWhatSeparatesThemInTheFile) {
    TProgram p("usemore-name-separators");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // A list's name ends at "\xF7" in the file: a new list or a list
    // renamed in place with one is refused.
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, std::wstring(L"10\u00f72"));
    Key(p, VK_RETURN);
    ASSERT_TRUE(NameRefused(p, "a new list named 10/2", "A list name cannot hold"));
    Key(p, VK_ESCAPE);
    Click(p, parts.TreeRow(1));  // Work
    Key(p, VK_RETURN);
    Type(p, std::wstring(L"W\u00f7rk"));
    Key(p, VK_RETURN);
    ASSERT_TRUE(NameRefused(p, "Work renamed with a division sign", "A list name cannot hold"));

    // A task carries the tag "home".
    Click(p, parts.ListItem(0));
    Key(p, 'T', Shift);
    Key(p, VK_UP);  // from the tags' list to their edit
    Type(p, "home");
    Key(p, VK_RETURN);

    // To the tags, and rename "home" in place to "a,b": refused, the tag
    // keeps its name.
    Click(p, parts.TreeRow(0));
    Key(p, VK_RIGHT, Ctrl);
    ASSERT_EQ(TextOf(parts.NewListLabel), "< New tag >");
    Click(p, parts.TreeRow(1));
    Key(p, VK_RETURN);
    Type(p, "a,b");
    Key(p, VK_RETURN);
    ASSERT_TRUE(NameRefused(p, "a tag renamed to a,b"));
    // "[", "]" and ";" likewise.
    Key(p, VK_RETURN);
    Type(p, "x;y");
    Key(p, VK_RETURN);
    ASSERT_TRUE(NameRefused(p, "a tag renamed to x;y"));
    // A plain name goes in.
    Key(p, VK_RETURN);
    Type(p, "house");
    Key(p, VK_RETURN);
    EXPECT_TRUE(p.NoDialogFor(300));

    // A new tag pasted with a comma: the same word.
    PutOnClipboard(L"c,d");
    Click(p, CenterOf(parts.NewListLabel));
    Key(p, 'V', Ctrl);
    Key(p, VK_RETURN);
    ASSERT_TRUE(NameRefused(p, "a new tag pasted as c,d"));
    Key(p, VK_ESCAPE);

    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(TagLines(file), std::vector<std::string>{"house"}) << file;
    EXPECT_EQ(ListsIn(p.DatabasePath()), (std::vector<std::string>{"Work", "Home"}));
    EXPECT_NE(Fields(TaskLine(file, "Call Tom")).at(0).find("[house]"), std::string::npos) << file;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(SideTreeScenario, ANameWithAnAmpersandIsShownAndChosenAsItIs) {
    TProgram p("use-ampersand");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, "R&D");
    Key(p, VK_RETURN);

    // A task titled with an ampersand: the note panel names it as it is.
    Click(p, parts.TreeRow(3));
    Click(p, CenterOf(parts.TopEdit));
    Type(p, "Pay rent & fees");
    Key(p, VK_RETURN);
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Pay rent && fees") << "the caption makes \"& \" a shortcut mark";
    Shot(p, main, "use-ampersand-list");

    // "Move To List": the list's "&" marks no shortcut, so D chooses
    // nothing; the arrows choose "R&D" itself.
    Click(p, parts.TreeRow(1));  // Work
    Click(p, parts.ListItem(0));
    Key(p, 'L', Shift);
    Key(p, 'D');
    Key(p, VK_ESCAPE);
    // From the quick-entry's lists menu likewise ("All" chosen, so the
    // menu asks for the list).
    Click(p, parts.TreeRow(0));
    Click(p, CenterOf(parts.TopEdit));
    Type(p, "Plan the budget");
    Key(p, VK_RETURN);
    Key(p, VK_UP);
    Key(p, VK_RETURN);
    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom")).at(3), "Work") << "D chose the list R&D";
    EXPECT_EQ(Fields(TaskLine(file, "Plan the budget")).at(3), "R&D") << file;
    EXPECT_EQ(Fields(TaskLine(file, "Pay rent & fees")).at(3), "R&D") << file;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
