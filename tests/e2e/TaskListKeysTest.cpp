// The task list's keys: the arrows, Space and Del acting on the tasks
// shown (folded groups, filtered lists) and keys typed ahead while the
// program is still busy with the first ones.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e/BigDatabase.h"
#include "e2e/ExitsSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The titles of a database file that start with Prefix, in file order.
std::vector<std::string> TitlesStarting(const std::string& path, const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& title : TitlesIn(path))
        if (title.compare(0, prefix.size(), prefix) == 0) out.push_back(title);
    return out;
}

// The caption and texts of the dialog or message box the program shows
// now, "" when none.
std::string OpenDialog(const TProgram& p) {
    const HWND dialog = p.WaitTopWindow("#32770", 0);
    return dialog ? TextOf(dialog) + ": " + ChildTexts(dialog) : "";
}

std::string Joined(const std::vector<std::string>& titles) {
    std::string out;
    for (const std::string& t : titles) out += "[" + t + "]";
    return out;
}

// The program started over a database of Count tasks: the small one of
// two lists (Work, Home) when Count is 0, else a big one of six lists.
struct TTypeAheadStart {
    TProgram P;
    HWND Main;
    TTypeAheadStart(const std::string& scenario, int count)
        : P(scenario), Main(count ? StartOnBigDatabase(P, count) : StartOnTwoLists(P)) {}
};

// Whether task N of the big database is done in the file, "gone" when it
// is not there.
std::string DoneState(const TuData& data, int n) {
    char title[32];
    std::snprintf(title, sizeof title, "Task %06d", n);
    for (int i = 0; i < data.Tasks->GetCount(); ++i)
        if (std::string(data.Tasks->GetTask(i)->Title) == title) return data.Tasks->GetTask(i)->Done ? "done" : "open";
    return "gone";
}

} // namespace

// A burst sends the keys of several tasks at once while the first is
// still going into the list: at a few tasks and at a hundred thousand,
// each task reaches the file whole and in order, with the date and tags
// panels its text opens (";;", "[[") taking the keys meant for them, and
// the lists menu of Enter (every list shown) its choice.
TEST(TaskListKeysScenario, TasksTypedAheadInTheQuickEntryBoxGoInWholeAndInOrder) {
    for (int count : {0, 100000}) {
        SCOPED_TRACE(count);
        TTypeAheadStart start(count ? "typeahead-entry-big" : "typeahead-entry", count);
        ASSERT_NE(start.Main, nullptr);
        TProgram& p = start.P;
        const TMainWindowParts parts(start.Main);
        Click(p, parts.TreeRow(1));    // Work, or Inbox
        TypeAhead(p, {{'N', Ctrl}, "Zed one", VK_RETURN, "Zed two", VK_RETURN, "Zed dated;;", VK_DOWN, VK_RETURN, "[[",
                      "home", VK_RETURN, VK_RETURN, "Zed last", VK_RETURN});
        SaveByKeys(p);
        EXPECT_EQ(Joined(TitlesStarting(p.DatabasePath(), "Zed")), "[Zed one][Zed two][Zed dated][Zed last]");
        const std::string file = ReadFile(p.DatabasePath());
        EXPECT_EQ(Fields(TaskLine(file, "Zed dated")).at(0), ";" + FileDate(7) + ";[home]Zed dated");
        EXPECT_EQ(ListOf(file, "Zed last"), count ? "Inbox" : "Work");
        EXPECT_EQ(p.Focus(), parts.TopEdit);
        if (count) {
            // Every list shown, grouped by list: Enter opens the lists
            // menu, Down and Enter take its first list, Down twice the
            // second.
            Click(p, parts.TreeRow(0));
            Key(p, 'L', Alt);
            TypeAhead(p, {{'N', Ctrl}, "Zed first list", VK_RETURN, VK_DOWN, VK_RETURN, "Zed second list", VK_RETURN,
                          VK_DOWN, VK_DOWN, VK_RETURN});
            SaveByKeys(p);
            const std::string again = ReadFile(p.DatabasePath());
            EXPECT_EQ(ListOf(again, "Zed first list"), "Inbox");
            EXPECT_EQ(ListOf(again, "Zed second list"), "Work");
            EXPECT_TRUE(PopupMenus(p).empty());
        }
        Key(p, 'Q', Ctrl);
        EXPECT_EQ(p.WaitExit(30000), 0);
    }
}

// Titles typed ahead over a hundred thousand tasks, each list step
// refilling nothing but moving the choice: every new title lands on the
// task the keys before it reached, F2 or Enter opening the editor, and
// Esc gives an edit up without touching the task.
TEST(TaskListKeysScenario, TitlesTypedAheadLandOnTheTasksMeant) {
    TTypeAheadStart start("typeahead-titles", 100000);
    ASSERT_NE(start.Main, nullptr);
    TProgram& p = start.P;
    const TMainWindowParts parts(start.Main);
    Key(p, 'N', Alt);
    Click(p, parts.ListItem(0));
    TypeAhead(p, {VK_HOME, VK_F2, "Renamed A", VK_RETURN, VK_DOWN, VK_F2, "Renamed B", VK_RETURN, VK_DOWN, VK_RETURN,
                  "Renamed C", VK_RETURN, VK_DOWN, VK_F2, "Given up", VK_ESCAPE, VK_ESCAPE, VK_DOWN, VK_F2, "Renamed E",
                  VK_RETURN});
    SaveByKeys(p);
    EXPECT_EQ(p.Focus(), parts.List);
    const std::vector<std::string> titles = TitlesIn(p.DatabasePath());
    ASSERT_EQ(titles.size(), 100000u);
    EXPECT_EQ(Joined({titles.begin(), titles.begin() + 6}),
              "[Renamed A][Renamed B][Renamed C][Task 000003][Renamed E][Task 000005]");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
}

// A filter key refills a list of a hundred thousand tasks; the arrows,
// Space and Del typed after it at once act on the list as it is after
// the filter, not on the rows it showed before.
TEST(TaskListKeysScenario, KeysTypedAfterAFilterActOnTheFilteredList) {
    TTypeAheadStart start("typeahead-filter", 100000);
    ASSERT_NE(start.Main, nullptr);
    TProgram& p = start.P;
    const TMainWindowParts parts(start.Main);
    Key(p, 'N', Alt);
    Click(p, parts.ListItem(0));
    // Done hidden (every fourth task is done): Home is Task 1, Down Task
    // 2, which Space marks done. Done shown again and only the tasks
    // without a date (every other one): Home is Task 0, Down twice Task 4,
    // which Del and Enter (the question's Yes) delete.
    TypeAhead(p, {{'D', Ctrl}, VK_HOME, VK_DOWN, VK_SPACE, {'D', Ctrl}, {'0', Ctrl}, VK_HOME, VK_DOWN, VK_DOWN,
                  VK_DELETE, VK_RETURN});
    SaveByKeys(p);
    EXPECT_TRUE(p.NoDialogFor(200));
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(p.DatabasePath()));
    EXPECT_EQ(data.Tasks->GetCount(), 99999);
    EXPECT_EQ(DoneState(data, 0) + " " + DoneState(data, 1) + " " + DoneState(data, 2) + " " + DoneState(data, 3) + " " +
                  DoneState(data, 4),
              "done open done open gone");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
}

// The delete question, a message box and the find box opened by keys of a
// burst take the keys typed after them (Y, Enter, Alt+Y; OK; the word),
// and the keys after those go back to the list: each delete takes the
// task meant, and nothing is left open.
TEST(TaskListKeysScenario, AnswersTypedAheadReachTheWindowsTheyAreFor) {
    TTypeAheadStart start("typeahead-answers", 100000);
    ASSERT_NE(start.Main, nullptr);
    TProgram& p = start.P;
    const TMainWindowParts parts(start.Main);
    Key(p, 'N', Alt);
    Click(p, parts.ListItem(0));
    TypeAhead(p, {VK_HOME, VK_DOWN, VK_DELETE, 'Y', VK_DOWN, VK_DELETE, VK_RETURN, VK_DOWN, VK_DELETE, {'Y', Alt}});
    // Sticky notes for every task from there down asked for: a message box
    // says there are too many, Enter closes it, and Home and Space go to
    // the list.
    TypeAhead(p, {{VK_END, Shift}, {'K', Ctrl}, VK_RETURN, VK_HOME, VK_SPACE});
    // A word found, the first task found deleted.
    TypeAhead(p, {{'F', Ctrl}, "Task 0123", VK_DOWN, VK_DELETE, 'Y'});
    SaveByKeys(p);
    EXPECT_TRUE(p.NoDialogFor(200)) << OpenDialog(p);
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(p.DatabasePath()));
    ASSERT_EQ(data.Tasks->GetCount(), 99996);
    EXPECT_EQ(DoneState(data, 0) + " " + DoneState(data, 1) + " " + DoneState(data, 2) + " " + DoneState(data, 3) + " " +
                  DoneState(data, 4) + " " + DoneState(data, 5) + " " + DoneState(data, 6),
              "open gone open gone done gone open");
    EXPECT_EQ(Joined(TitlesStarting(p.DatabasePath(), "Task 01230")),
              "[Task 012301][Task 012302][Task 012303][Task 012304][Task 012305][Task 012306][Task 012307][Task 012308]"
              "[Task 012309]");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
}

// Alt and a menu's letter typed ahead open the menu and take its item;
// Esc typed twice leaves the menus, and the arrows after it go to the
// list.
TEST(TaskListKeysScenario, MenuLettersTypedAheadTakeTheItemMeant) {
    TTypeAheadStart start("typeahead-menus", 100000);
    ASSERT_NE(start.Main, nullptr);
    TProgram& p = start.P;
    const TMainWindowParts parts(start.Main);
    Key(p, 'N', Alt);
    Click(p, parts.ListItem(0));
    // View > Hide Done: Home is Task 1, which Space marks done; View and
    // Esc twice: Down goes to Task 2.
    TypeAhead(p, {VK_MENU, 'V', 'H', VK_HOME, VK_SPACE, VK_MENU, 'V', VK_ESCAPE, VK_ESCAPE, VK_DOWN});
    SaveByKeys(p);
    EXPECT_TRUE(PopupMenus(p).empty());
    EXPECT_EQ(p.Focus(), parts.List);
    EXPECT_TRUE(WaitUntil([&] { return parts.ChosenTask() == "Task 000002"; })) << parts.ChosenTask();
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(p.DatabasePath()));
    EXPECT_EQ(DoneState(data, 0) + " " + DoneState(data, 1) + " " + DoneState(data, 2), "done done open");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
}

} // namespace qelvo::e2e
