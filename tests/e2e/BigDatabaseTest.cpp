// Commands over many tasks at once in a database of tens of thousands:
// selecting a whole list from the keyboard and painting it, and what the
// commands that act on the selection leave in the file after a save.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "data/uDataMan.h"
#include "e2e/BigDatabase.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"
#include "gcl/rtl/DateTime.h"

namespace qelvo::e2e {

namespace {

// How many tasks of a database file are in each list; {"<unreadable>": 1}
// when it cannot be read.
std::map<std::string, int> TasksPerList(const std::string& path) {
    const TFileCounts counts = CountsIn(path);
    if (counts.Tasks < 0) return {{"<unreadable>", 1}};
    return counts.Lists;
}

// How many tasks of a database file have each tag and each priority
// ("p0", "p1", "p2"); {"<unreadable>": 1} when it cannot be read.
std::map<std::string, int> TagsAndPriorities(const std::string& path) {
    TuData data;
    if (!data.LoadFromFile(path)) return {{"<unreadable>", 1}};
    std::map<std::string, int> counts;
    for (int i = 0; i < data.Tasks->GetCount(); ++i) {
        const TuTask* task = data.Tasks->GetTask(i);
        const std::string tags = "," + std::string(task->Tags) + ",";
        for (const char* tag : BigTags)
            if (tags.find("," + std::string(tag) + ",") != std::string::npos) counts[tag]++;
        counts["p" + std::to_string(task->Priority)]++;
    }
    return counts;
}

} // namespace

TEST(BigSelectionScenario, ShiftEndAndShiftHomeOverTwentyThousandTasksAnswerAndTheWholeSelectionShows) {
    TProgram p("big-selection");
    const int count = 20000;
    HWND main = StartOnBigDatabase(p, count);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // The first task chosen: its row takes the selection's colour beyond
    // its title, the next row stays as it was.
    Click(p, parts.ListItem(0));
    const COLORREF selected = PixelAt(parts.ListItem(0, 290));
    ASSERT_NE(selected, PixelAt(parts.ListItem(1, 290)));
    const RECT list = RectOf(parts.List);
    const RECT rows{list.left + 270, list.top + 30, list.left + 310, list.bottom - 30};
    // Shift+End chooses every task down to the last, which comes into
    // view; the rows shown are all chosen, though the first chosen lies
    // thousands of rows above them.
    Key(p, VK_END, Shift);
    EXPECT_GT(ShareOf(rows, selected), 0.8) << "the chosen rows at the end show no selection";
    // Shift+Home gives back all but the first (the program stopped
    // answering for minutes here), Shift+End chooses them all again.
    Key(p, VK_HOME, Shift);
    EXPECT_LT(ShareOf(rows, selected), 0.2);
    Key(p, VK_END, Shift);
    EXPECT_GT(ShareOf(rows, selected), 0.8);
    // Every chosen task moves to Someday (Shift+L, the sixth list).
    Key(p, 'L', Shift);
    for (int i = 0; i < 6; ++i) Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    Key(p, 'S', Ctrl);
    EXPECT_EQ(TasksPerList(p.DatabasePath()), (std::map<std::string, int>{{"Someday", count}}));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
}

TEST(BigDeleteScenario, AListOfThousandsAndThenEveryTaskLeftAreDeletedAndStayDeletedAfterARestart) {
    TProgram p("big-delete");
    const int count = 20000;
    HWND main = StartOnBigDatabase(p, count);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // The list Work (every sixth task) goes with its tasks, after the question.
    Click(p, parts.TreeRow(1));
    Key(p, VK_DOWN);
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, "Are you sure you want to delete this list and all the tasks inside?", "&Yes"));
    Key(p, 'S', Ctrl);
    std::map<std::string, int> left{{"Inbox", 3334}, {"Home", 3333}, {"Errands", 3333}, {"Projects", 3333}, {"Someday", 3333}};
    EXPECT_EQ(TasksPerList(p.DatabasePath()), left);
    EXPECT_EQ(ListsIn(p.DatabasePath()), (std::vector<std::string>{"Inbox", "Home", "Errands", "Projects", "Someday"}));
    // Every task left (All lists shown again: the next list took the
    // deleted one's place), chosen from the first to the last, goes too.
    Click(p, parts.TreeRow(0));
    Click(p, parts.ListItem(0));
    Key(p, VK_END, Shift);
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, "Are you sure you want to delete selected item(s)?", "&Yes"));
    Key(p, 'S', Ctrl);
    EXPECT_EQ(TasksPerList(p.DatabasePath()), (std::map<std::string, int>{}));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
    // The next start finds the empty database with its five lists.
    p.Start();
    ASSERT_NE(p.Main(), nullptr);
    EXPECT_TRUE(p.NoDialogFor(200));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TasksPerList(p.DatabasePath()), (std::map<std::string, int>{}));
    EXPECT_EQ(ListsIn(p.DatabasePath()).size(), 5u);
}

TEST(BigPrintScenario, ThePrintWindowOverFortyThousandTasksOpensClosesAndLeavesNoTaskChosen) {
    TProgram p("big-print");
    HWND main = StartOnBigDatabase(p, 40000);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    const COLORREF selected = PixelAt(parts.ListItem(0, 290));
    // File > Print...: the report of every task chosen (the program
    // stopped answering here for a minute and more).
    ChooseFromMenu(p, main, FileMenuX, 8);
    HWND print = p.WaitTopWindow("TPrintF");
    ASSERT_NE(print, nullptr) << "no print window";
    EXPECT_EQ(TextOf(print), "Print preview....");
    Key(p, VK_F4, Alt);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(print) || !IsWindowVisible(print); }));
    // Back in the main window no task is chosen.
    EXPECT_TRUE(BecomesForeground(main));
    EXPECT_NE(PixelAt(parts.ListItem(0, 290)), selected);
    EXPECT_NE(PixelAt(parts.ListItem(3, 290)), selected);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
}

TEST(BigDragScenario, TwentyThousandChosenTasksDroppedOnATagAndOnAPriorityGroupAllTakeIt) {
    TProgram p("big-drag");
    const int count = 20000;
    HWND main = StartOnBigDatabase(p, count);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    const RECT list = RectOf(parts.List);
    const RECT tree = RectOf(parts.Tree);
    // Every task dropped on the tag "home" (the tags tab's second tag):
    // those that had it lose it, the others gain it.
    Click(p, POINT{tree.left + 100, tree.top - 12});
    Click(p, parts.ListItem(0));
    Key(p, VK_END, Shift);
    std::map<std::string, int> before = TagsAndPriorities(p.DatabasePath());
    Drag(p, POINT{list.left + 150, list.bottom - 60}, parts.TreeRow(2));
    Key(p, 'S', Ctrl);
    std::map<std::string, int> after = TagsAndPriorities(p.DatabasePath());
    EXPECT_EQ(after["home"], count - before["home"]);
    EXPECT_EQ(after["work"], before["work"]);
    // Grouped by priority, every task dropped on a low one becomes low.
    Click(p, parts.TreeRow(0));
    Key(p, 'P', Alt);
    Click(p, parts.ListItem(0));
    Key(p, VK_END, Shift);
    Drag(p, POINT{list.left + 150, list.bottom - 60}, POINT{list.left + 150, list.bottom - 110});
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
    after = TagsAndPriorities(p.DatabasePath());
    EXPECT_EQ(after["p0"], count);
    EXPECT_EQ(after["home"], count - before["home"]);
}

TEST(BigGroupsScenario, ACtrlClickOnOneOfThirtyThousandGroupsFoldsTheOthersAtOnce) {
    TProgram p("big-groups");
    // Each task with a tag of its own: grouped by tags, a group each.
    const int count = 30000;
    WriteTagPerTaskDatabase(p.DatabasePath(), count, 0);
    ASSERT_FALSE(HasFatalFailure());
    WriteFile(p.SettingsPath(), "[Options]\r\nConfirm Delete=0\r\n");
    p.Start();
    HWND main = p.Main(30000);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Key(p, 'T', Alt);
    // Ctrl+click on the first group's caption leaves it alone open (the
    // program stopped answering here for half a minute and more) ...
    const RECT list = RectOf(parts.List);
    Click(p, POINT{list.left + 100, list.top + 35}, Ctrl);
    // ... so End reaches its one task, which Del deletes.
    Click(p, parts.ListItem(0));
    Key(p, VK_END);
    Key(p, VK_DELETE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
    const std::vector<std::string> titles = TitlesIn(p.DatabasePath());
    ASSERT_EQ(titles.size(), size_t(count - 1));
    EXPECT_EQ(titles.front(), "Task 1");
}

TEST(BigStickyNotesScenario, StickyNotesForTwoThousandChosenTasksAreRefusedWithAWordAndForThreeMade) {
    TProgram p("big-sticky-notes");
    HWND main = StartOnBigDatabase(p, 2000);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    const size_t windows = p.TopWindows().size();
    // Every task chosen, then Ctrl+K: a window per task kept the program
    // busy for many seconds (and more than a few thousand run out of the
    // system's window handles); it says why it makes none.
    Click(p, parts.ListItem(0));
    Key(p, VK_END, Shift);
    Key(p, 'K', Ctrl);
    ASSERT_TRUE(Answer(p, "Sticky notes are made for at most 100 tasks at a time, and 2000 tasks are chosen.", "OK"));
    EXPECT_TRUE(WaitUntil([&] { return p.TopWindows().size() == windows; }));
    // Three tasks chosen: three notes.
    Key(p, VK_HOME);
    Key(p, VK_DOWN, Shift);
    Key(p, VK_DOWN, Shift);
    Key(p, 'K', Ctrl);
    EXPECT_TRUE(WaitUntil([&] { return p.TopWindows().size() == windows + 3; })) << p.TopWindows().size();
    Click(p, CaptionPointOf(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
