// The side panel of lists and tags as a user meets it: a first start in an
// empty folder, lists and tags renamed in place, the database cleared, the
// tree's own menu, and tasks dragged from the task list onto a list.
#include <gtest/gtest.h>

#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

HWND ChildWithText(HWND main, const std::string& className, const std::string& text) {
    for (HWND w : ChildrenOfClass(main, className))
        if (TextOf(w) == text) return w;
    return nullptr;
}

// The filter bar: the lowest bar of the top dock ("Filters :" and the
// caption of the chosen list and tags).
RECT FilterBar(HWND main) {
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
    return {PixelsOf(FilterBar(main)), PixelsOf(TaskList(main))};
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

const std::string Sep = "\xF7";

// The lists of a saved database (name and icon entries, as stored).
std::vector<std::string> SavedLists(const std::string& file) {
    std::vector<std::string> lists;
    const auto lines = Lines(file);
    for (size_t i = 1; i < lines.size() && lines[i] != "<--<*&^Folders^&*>-->"; ++i) lists.push_back(lines[i]);
    return lists;
}

// Two lists (Work with icon 0, Home with icon 3), two tags and a task in
// each list.
std::string TwoListsDatabase() {
    return "d_id-0123456789\r\nWork" + Sep + "0" + Sep + "\r\nHome" + Sep + "3" + Sep +
           "\r\n<--<*&^Folders^&*>-->\r\nwork\r\nhome\r\n<--<*&^Tags^&*>-->\r\n"
           "[work]Write report" + Sep + "--" + Sep + "1000000001" + Sep + "Work" + Sep + "1/2/2025" + Sep + Sep +
           "\r\n[home]Buy milk" + Sep + "--" + Sep + "1000000002" + Sep + "Home" + Sep + "1/2/2025" + Sep + Sep +
           "\r\n";
}

void Save(const TProgram& p) { Key(p, 'S', Ctrl); }

// Starts the program on TwoListsDatabase; its main window (nullptr when
// none came).
HWND StartOnTwoListsAndTags(TProgram& p) {
    WriteFile(p.DatabasePath(), TwoListsDatabase());
    p.Start();
    return p.Main();
}

} // namespace

TEST(ListsTreeScenario, FirstStartThenListsAndTasksSurviveARestart) {
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
    Save(p);
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
TEST(ListsTreeScenario, RenamingTheChosenListOrTagThenClearingTheDatabase) {
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

    Save(p);
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
    Save(p);
    saved = ReadFile(p.DatabasePath());
    EXPECT_EQ(saved.find("Office"), std::string::npos) << saved;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A right click on a node opens the tree's menu for that node, in both
// tabs.
TEST(ListsTreeScenario, RightClickOnANodeSelectsItAndOpensTheTreeMenu) {
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
    Save(p);
    auto task = SavedTask(ReadFile(p.DatabasePath()), "Buy milk");
    ASSERT_FALSE(task.empty());
    EXPECT_EQ(task[3], "House");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(ListsTreeScenario, DraggingATaskOntoAnotherList) {
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
    Save(p);
    auto saved = SavedTask(ReadFile(p.DatabasePath()), "Buy milk");
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(saved[3], "Work");
    EXPECT_EQ(SavedTask(ReadFile(p.DatabasePath()), "Write report").at(3), "Work");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
