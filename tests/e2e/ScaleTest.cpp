// Large databases: tens of thousands of tasks and groups, a hundred
// thousand tags and more, megabytes of tags or of a note. Every step
// answers at once and acts on every task it should.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "data/uDataMan.h"
#include "e2e/BigDatabase.h"
#include "e2e/E2eDriver.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"
#include "gcl/rtl/DateTime.h"

namespace qelvo::e2e {

namespace {

// The program over a very large database: a step (the Tags tab filled
// with a quarter of a million tags, a save) may take a loaded machine tens
// of seconds; a program deaf for minutes, as these scenarios once found
// it, still fails.
class TScaleProgram : public TProgram {
public:
    explicit TScaleProgram(const std::string& scenario) : TProgram(scenario) { SetAnswerBound(60000); }
};

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

TEST(ScaleScenario, ShiftEndAndShiftHomeOverTwentyThousandTasksAnswerAndTheWholeSelectionShows) {
    TScaleProgram p("big-selection");
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
    SaveByKeys(p);
    EXPECT_EQ(TasksPerList(p.DatabasePath()), (std::map<std::string, int>{{"Someday", count}}));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
}

TEST(ScaleScenario, AListOfThousandsAndThenEveryTaskLeftAreDeletedAndStayDeletedAfterARestart) {
    TScaleProgram p("big-delete");
    const int count = 20000;
    HWND main = StartOnBigDatabase(p, count);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // The list Work (every sixth task) goes with its tasks, after the question.
    Click(p, parts.TreeRow(1));
    Key(p, VK_DOWN);
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, "Are you sure you want to delete this list and all the tasks inside?", "&Yes"));
    SaveByKeys(p);
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
    SaveByKeys(p);
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

TEST(ScaleScenario, ThePrintWindowOverFortyThousandTasksOpensClosesAndLeavesNoTaskChosen) {
    TScaleProgram p("big-print");
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

TEST(ScaleScenario, TwentyThousandChosenTasksDroppedOnATagAndOnAPriorityGroupAllTakeIt) {
    TScaleProgram p("big-drag");
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
    SaveByKeys(p);
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

TEST(ScaleScenario, ACtrlClickOnOneOfThirtyThousandGroupsFoldsTheOthersAtOnce) {
    TScaleProgram p("big-groups");
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

TEST(ScaleScenario, StickyNotesForTwoThousandChosenTasksAreRefusedWithAWordAndForThreeMade) {
    TScaleProgram p("big-sticky-notes");
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

namespace {

// Starts the program on a database of Tasks tasks and Tags tags (see
// WriteTagPerTaskDatabase) and shows the side panel's Tags tab; the main
// window (nullptr when none came).
HWND StartOnTagsTab(TProgram& p, int tasks, int tags) {
    WriteTagPerTaskDatabase(p.DatabasePath(), tasks, tags);
    if (::testing::Test::HasFatalFailure()) return nullptr;
    p.Start();
    HWND main = p.Main(30000);
    if (!main) return nullptr;
    const RECT tree = RectOf(TMainWindowParts(main).Tree);
    Click(p, POINT{tree.left + 100, tree.top - 12});  // fails when the program does not answer
    return main;
}

} // namespace

// The Tags tab among a hundred thousand tags: it opened after a quarter
// of a minute with no sign of work, and each choice in it (a click, a
// Ctrl+click, an arrow key) held the program for seconds. It answers at
// once, and the last tag, reached with End and deleted with Del, goes
// alone: the file keeps every other tag and every task.
TEST(ScaleScenario, TheTagsTabAmongAHundredThousandTagsOpensAndChoosesAtOnce) {
    TScaleProgram p("explore-bigout-tags-tab");
    const int tasks = 20000, tags = 100000;
    HWND main = StartOnTagsTab(p, tasks, tags);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.TreeRow(2));
    Click(p, parts.TreeRow(4), Ctrl);
    // The last tag, chosen from the keyboard alone; Del deletes it.
    Key(p, VK_END);
    Key(p, VK_UP);
    Key(p, VK_DOWN);
    Key(p, VK_DELETE);
    SaveByKeys(p);
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(p.DatabasePath()));
    EXPECT_EQ(data.Tasks->GetCount(), tasks);
    ASSERT_EQ(data.Tags->GetCount(), tags - 1);
    EXPECT_EQ(data.Tags->Get(tags - 2), "t99998");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
}

// A tag moved with Ctrl+Down and Ctrl+Up among a quarter of a million:
// each step took the tree's row out and back in, which made the tree lay
// out every row below again (seconds a key, the program deaf meanwhile).
// Each step answers at once, the tag lands where the keys took it, stays
// chosen there (a rename reaches it) and the file keeps every tag once.
TEST(ScaleScenario, ATagMovedAmongAQuarterMillionTagsMovesAtOnceAndStaysChosen) {
    TScaleProgram p("explore-bigout-tag-move");
    const int tasks = 2000, tags = 250000;
    HWND main = StartOnTagsTab(p, tasks, tags);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    // "t1" two down and one up: it comes after "t2".
    Click(p, parts.TreeRow(2));
    Key(p, VK_DOWN, Ctrl);  // fails when the program does not answer
    Key(p, VK_DOWN, Ctrl);
    Key(p, VK_UP, Ctrl);
    // Still chosen: the label editor renames it.
    Key(p, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return ClassOf(p.Focus()) == "Edit"; })) << ClassOf(p.Focus());
    Type(p, std::string("moved"));
    Key(p, VK_RETURN);
    SaveByKeys(p);
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(p.DatabasePath()));
    EXPECT_EQ(data.Tasks->GetCount(), tasks);
    ASSERT_EQ(data.Tags->GetCount(), tags);
    EXPECT_EQ(data.Tags->Get(0), "t0");
    EXPECT_EQ(data.Tags->Get(1), "t2");
    EXPECT_EQ(data.Tags->Get(2), "moved");
    EXPECT_EQ(data.Tags->Get(3), "t3");
    EXPECT_EQ(std::string(data.Tasks->GetTask(1)->Tags), "moved");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
}

namespace {

// The size of a long note (a pasted log): short lines, so that loading it
// takes the editor a second or two under Wine and emptying it in place far
// longer than any wait of a scenario.
constexpr size_t LongNoteSize = 300000;

} // namespace

// The tags panel of a task (Shift+T) lists every tag of the database. With
// two thousand tags it took some fifteen seconds to open, the window
// neither painting nor answering meanwhile.
TEST(ScaleScenario, TheTagsPanelOpensAtOnceAmongThousandsOfTags) {
    TScaleProgram p("limits-tags-panel");
    HWND main = StartOnCrowded(p, 2, 2000, 200);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    ASSERT_EQ(parts.ChosenTask(), "Many tags");

    Key(p, 'T', Shift);  // fails when the program does not answer
    EXPECT_NE(ClassOf(p.Focus()).find("CheckList"), std::string::npos) << ClassOf(p.Focus());
    // Up from the first line reaches the tags text: one more tag, Enter.
    Key(p, VK_UP);
    Type(p, std::string(",tag1999"));
    Key(p, VK_RETURN);
    EXPECT_EQ(p.Focus(), parts.List);

    SaveByKeys(p);
    const std::vector<std::string> task = SavedTask(ReadFile(p.DatabasePath()), "Many tags");
    ASSERT_FALSE(task.empty());
    std::string expected = "[";
    for (int i = 0; i < 200; ++i) expected += "tag" + std::to_string(i) + ",";
    EXPECT_EQ(task[0], expected + "tag1999]Many tags");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A long note in the note panel (a few hundred thousand characters to a
// few megabytes): choosing another task emptied the editor holding it,
// which took minutes; the window did not answer meanwhile, so a save or an
// exit asked for did not happen. The next task's note comes at once, the
// long one is saved whole, and it shows again when its task is chosen.
TEST(ScaleScenario, ALongNoteGivesWayToAnotherTaskAtOnce) {
    TScaleProgram p("limits-megabyte-note");
    std::string note;
    for (int i = 0; note.size() < LongNoteSize; ++i) note += "Line " + std::to_string(i) + " of the minutes\xF8";
    WriteFile(p.DatabasePath(), "d_id-0123456789\r\nWork" + FieldEnd + "0" + FieldEnd + "\r\n<--<*&^Folders^&*>-->\r\n"
                                "<--<*&^Tags^&*>-->\r\n" + TaskLineOf("Minutes", "Work", 1, note) +
                                TaskLineOf("Call Tom", "Work", 2, "Ask about Friday\xF8"));
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ClickNode(p, parts.Tree, "Work");
    Click(p, parts.ListItem(0));
    ASSERT_EQ(parts.NoteCaption(), "Note: Minutes");

    Click(p, parts.ListItem(1));  // fails when the program does not answer
    if (HasFailure()) return;
    EXPECT_EQ(parts.NoteCaption(), "Note: Call Tom");
    EXPECT_EQ(TextOf(parts.NoteEditor), "Ask about Friday\r\n");
    SaveByKeys(p);
    if (HasFailure()) return;
    EXPECT_EQ(SavedTask(ReadFile(p.DatabasePath()), "Minutes").at(5), note) << "the long note was not kept whole";

    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "Note: Minutes");
    DWORD_PTR length = 0;
    SendMessageTimeoutA(parts.NoteEditor, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, WaitBound, &length);
    EXPECT_GE(length, note.size());
    EXPECT_EQ(TextOf(parts.NoteEditor).substr(0, 30), "Line 0 of the minutes\r\nLine 1 ") << length;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// The list's vertical scroll bar: the middle of its track across, and its
// thumb's place at the top (just under the upper arrow).
struct TScrollBar {
    explicit TScrollBar(HWND list) : List(RectOf(list)) {}
    int X() const { return List.right - GetSystemMetrics(SM_CXVSCROLL) / 2 - 2; }
    POINT ThumbAtTop() const { return {X(), List.top + GetSystemMetrics(SM_CYVSCROLL) + 5}; }
    POINT AtBottom() const { return {X(), List.bottom - 5}; }
    POINT Middle() const { return {X(), (List.top + List.bottom) / 2}; }
    RECT List;
};

} // namespace

TEST(ScaleScenario, TheThumbDraggedToTheEndAndAShiftClickThereDeleteEveryTaskFromTheFirstDown) {
    TScaleProgram p("explore-scale-thumb");
    const int count = 30000;
    HWND main = StartOnBigDatabase(p, count);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    const TScrollBar bar(parts.List);
    const RECT list = RectOf(parts.List);
    // Not grouped: the rows in file order, the first chosen.
    Key(p, 'N', Alt);
    Click(p, POINT{list.left + 150, list.top + 40});
    // The thumb taken down the track by the hand, each step answered, and
    // back up and down again at one go.
    ButtonDown(p, bar.ThumbAtTop());
    for (int y = bar.ThumbAtTop().y; y < bar.AtBottom().y; y += 20) {
        MoveTo(p, POINT{bar.X(), y});
        ASSERT_TRUE(p.InputTaken(POINT{list.left + 150, list.top + 100}));
    }
    ButtonUp(p, bar.AtBottom());
    Drag(p, bar.AtBottom(), bar.ThumbAtTop());
    Drag(p, bar.ThumbAtTop(), bar.AtBottom());
    // The wheel spun hard downwards at the end changes nothing.
    for (int i = 0; i < 10; ++i) Wheel(p, CenterOf(parts.List), -WHEEL_DELTA * 3);
    // Shift+click on a row near the end chooses every task from the first
    // down to it; Del deletes them after the question.
    Click(p, POINT{list.left + 150, list.bottom - 40}, Shift);
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, "Are you sure you want to delete selected item(s)?", "&Yes"));
    SaveByKeys(p);
    const std::vector<std::string> left = TitlesIn(p.DatabasePath());
    ASSERT_GE(left.size(), 1u);
    ASSERT_LE(left.size(), 3u);
    // What is left is the end of the list, in order, up to the last task.
    for (size_t i = 0; i < left.size(); ++i) {
        char title[32];
        std::snprintf(title, sizeof title, "Task %06d", int(count - left.size() + i));
        EXPECT_EQ(left[i], title);
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
}

TEST(ScaleScenario, ACheckBoxTickedHalfWayDownAndEveryTaskDroppedOnAListAreAllTheFileHolds) {
    TScaleProgram p("explore-scale-drop");
    const int count = 40000;
    HWND main = StartOnBigDatabase(p, count);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    const TScrollBar bar(parts.List);
    const RECT list = RectOf(parts.List);
    const TFileCounts before = CountsIn(p.DatabasePath());
    ASSERT_EQ(before.Tasks, count);
    // Grouped by date (hundreds of groups), the thumb taken half way down.
    Key(p, 'D', Alt);
    Drag(p, bar.ThumbAtTop(), bar.Middle(), 30);
    // A task's check box ticked there: that task alone is done.
    Click(p, POINT{list.left + 10, list.top + 150});
    SaveByKeys(p);
    TFileCounts after = CountsIn(p.DatabasePath());
    EXPECT_EQ(after.Tasks, count);
    EXPECT_EQ(after.Done, before.Done + 1);
    // Every task chosen with the mouse: the thumb back at the top, a click
    // on the first task, the thumb at the bottom, a Shift+click on the
    // last; the choice dragged onto the list Work: every task is in Work.
    Drag(p, bar.Middle(), bar.ThumbAtTop());
    Click(p, parts.ListItem(0));
    Drag(p, bar.ThumbAtTop(), bar.AtBottom());
    Click(p, POINT{list.left + 150, list.bottom - 18}, Shift);
    Drag(p, POINT{list.left + 150, list.bottom - 40}, parts.TreeRow(2));
    SaveByKeys(p);
    after = CountsIn(p.DatabasePath());
    EXPECT_EQ(after.Tasks, count);
    EXPECT_EQ(after.Done, before.Done + 1);
    EXPECT_EQ(after.Lists, (std::map<std::string, int>{{"Work", count}}));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
}

// Space, Ctrl+Down, the task menu's Priority, Shift+T and Shift+D on ten
// thousand chosen tasks grouped by priority: each answers at once and
// reaches every chosen task, not the first alone.
TEST(ScaleScenario, CommandsOnTenThousandChosenTasksReachEveryOne) {
    TScaleProgram p("big-chosen-commands");
    const int count = 10000;
    HWND main = StartOnBigDatabase(p, count);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // By priority, every task chosen.
    Key(p, 'P', Alt);
    Click(p, parts.ListItem(0));
    Key(p, VK_END, Shift);
    // Once all are low, one group in the file's order leads with Task
    // 000000, whose tags the tags panel starts from. The panel's lines are
    // the tag table's; ticking one writes the ticked lines in the table's
    // order.
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(p.DatabasePath()));
    const TuTask* lead = data.Tasks->GetTask(0);
    std::string tags;
    for (const char* tag : BigTags) {
        const bool had = ("," + std::string(lead->Tags) + ",").find("," + std::string(tag) + ",") != std::string::npos;
        if (had != (std::string(tag) == "work")) tags += (tags.empty() ? "" : ",") + std::string(tag);
    }
    // Space: a quarter are done, so all become done.
    Key(p, VK_SPACE);
    // Ctrl+Down: High's next is Normal, for all, in one group.
    Key(p, VK_DOWN, Ctrl);
    // The task menu: Priority > Low.
    Key(p, VK_APPS);
    for (int i = 0; i < 3; ++i) Key(p, VK_DOWN);
    Key(p, VK_RIGHT);
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    // The tags panel: "work", the first tag, toggled on the lead's tags.
    Key(p, 'T', Shift);
    Key(p, VK_SPACE);
    Key(p, VK_RETURN);
    // The date panel: the lead has no date, so today.
    Key(p, 'D', Shift);
    Key(p, VK_RETURN);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);

    ASSERT_TRUE(data.LoadFromFile(p.DatabasePath()));
    ASSERT_EQ(data.Tasks->GetCount(), count);
    const double today = std::trunc(gcl::Now());
    std::map<std::string, int> seen;
    for (int i = 0; i < count; ++i) {
        const TuTask* task = data.Tasks->GetTask(i);
        if (!task->Done) seen["not done"]++;
        if (task->Priority != 0) seen["not low"]++;
        if (std::string(task->Tags) != tags) seen["other tags"]++;
        if (std::trunc(task->Due) != today) seen["other day"]++;
    }
    EXPECT_EQ(seen, (std::map<std::string, int>{}));
}

} // namespace qelvo::e2e
