// Lists and tags renamed, made and deleted in the side panel while tasks
// use them: a name another list or tag already has, names with blanks
// around them, a list name longer than a task keeps, and tags that tasks
// write in other letters. Each change is checked in the saved file.
#include <gtest/gtest.h>

#include "e2e/ExitsSupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

const std::string Sep = "\xF7";

void Save(const TProgram& p) { Key(p, 'S', Ctrl); }

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
    return WaitUntil([&] { return Texts(p, tree) == want; }, 3000);
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
TEST(ExploreListsScenario, AListOrTagRenamedToAnothersNameJoinsIt) {
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

    Save(p);
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
TEST(ExploreListsScenario, ANewListOrTagNamedAsOneThereIsIsRefused) {
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

    Save(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Section(file, true), (std::vector<std::string>{"Work" + Sep + "0" + Sep, "Home" + Sep + "3" + Sep}));
    EXPECT_EQ(Section(file, false), (std::vector<std::string>{"work", "home"}));
    EXPECT_FALSE(SavedTask(file, "Buy milk").empty()) << file;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A task keeps the first 50 characters of its list's name, and the list
// is chosen by them: a longer name stays chosen when the tabs change.
TEST(ExploreListsScenario, AListWithALongNameStaysChosenAcrossTheTabs) {
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
    if (HWND box = p.WaitDialog(3000)) {
        (void)box;
        Key(p, 'N');
    }
    EXPECT_EQ(p.WaitExit(), 0);
}

// The filter and new tasks take tags in any letter case ("[Work]" typed
// joins the tag work): renaming and deleting the tag reach such a task.
TEST(ExploreListsScenario, RenamingOrDeletingATagReachesTasksThatWriteItInOtherLetters) {
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
    Save(p);
    std::string file = ReadFile(p.DatabasePath());
    ASSERT_FALSE(SavedTask(file, "Plan").empty()) << file;
    EXPECT_EQ(SavedTask(file, "Plan")[0], "[job]Plan");
    EXPECT_EQ(SavedTask(file, "Both")[0], "[job,home]Both");

    Key(p, VK_DELETE);  // job, still chosen
    EXPECT_EQ(Texts(p, tree), "All*|home");
    Save(p);
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
TEST(ExploreListsScenario, ListsAndTagsDifferingOnlyInLetterCaseStayApart) {
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
    EXPECT_TRUE(WaitUntil([&] { return unmarked() == "All|Work"; }, 3000)) << Texts(p, tree);

    Save(p);
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

} // namespace qelvo::e2e
