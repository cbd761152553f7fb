// Choosing tasks: Shift and Ctrl with the arrows and clicks, over folded
// groups, what the chosen tasks show while the list has not the keyboard,
// the choice after a sort or a task moved out of the list, and commands on
// several chosen tasks, which reach every one of them.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "e2e/ExitsSupport.h"
#include "e2e/SampleDatabase.h"
#include "e2e/ShownListSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

struct TTaskState {
    std::string List;
    int Priority = 0;
    std::string Notes;
};

// Every task of a database file by title.
std::map<std::string, TTaskState> TasksIn(const std::string& path) {
    std::map<std::string, TTaskState> tasks;
    TuData data;
    if (!data.LoadFromFile(path)) return tasks;
    for (int i = 0; i < data.Tasks->GetCount(); ++i) {
        const TuTask* t = data.Tasks->GetTask(i);
        tasks[std::string(t->Title)] = {std::string(t->Folder), t->Priority, std::string(t->Notes)};
    }
    return tasks;
}

// The caption of the note panel ("Note", "No note - Title" ...).
std::string NoteCaption(HWND main) {
    for (HWND w : ChildrenOfClass(main, "TXtDockablePanel.UnicodeClass")) {
        const std::string text = TextOf(w);
        if (text.rfind("No", 0) == 0) return text;
    }
    return "<no note panel>";
}

// The titles of the open sticky notes.
std::vector<std::string> StickyTitles(const TProgram& p) {
    std::vector<std::string> titles;
    for (HWND w : p.TopWindows())
        if (ClassOf(w) == "QelvoJotpaperNote") titles.push_back(TextOf(w));
    std::sort(titles.begin(), titles.end());
    return titles;
}

// Places in the main window of the sample database grouped by list, at
// the first start (window coordinates; every group open).
struct TSampleRows {
    explicit TSampleRows(HWND main) : Main(RectOf(main)) {}
    POINT At(int x, int y) const { return POINT{Main.left + x, Main.top + y}; }
    POINT Row(int y) const { return At(610, y); }  // in the Tags column
    RECT Main;
    static constexpr int WriteReport = 187, CallTheBank = 209;
    static constexpr int HomeHeader = 292;
};

} // namespace

TEST(TaskListSelectionScenario, ShiftArrowsChooseTasksForPriorityStickyNotesAndMoveToList) {
    TProgram p("explore-many-commands");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TSampleRows rows(main);
    const std::map<std::string, TTaskState> before = TasksIn(p.DatabasePath());
    ASSERT_EQ(before.size(), 10u);

    Click(p, rows.Row(TSampleRows::WriteReport));
    Key(p, VK_DOWN, Shift);
    Key(p, VK_DOWN, Shift);
    EXPECT_EQ(NoteCaption(main), "No note - Write report");

    // Priority by key: the first chosen task's next one (high wraps to
    // low), for every chosen task.
    Key(p, VK_UP, Ctrl);
    // A sticky note for each chosen task.
    Key(p, 'K', Ctrl);
    EXPECT_EQ(StickyTitles(p), (std::vector<std::string>{"Call the bank", "Plan the budget", "Write report"}));
    // Back to the main window by its caption; the three stay chosen.
    Click(p, rows.At(400, 10));
    ASSERT_TRUE(p.BecomesActive(main));
    // Move To List (Shift+L): every chosen task goes to Shop.
    Key(p, 'L', Shift);
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    SaveByKeys(p);

    std::map<std::string, TTaskState> expected = before;
    for (const char* moved : {"Write report", "Call the bank", "Plan the budget"}) {
        expected[moved].List = "Shop";
        expected[moved].Priority = 0;
    }
    const std::map<std::string, TTaskState> after = TasksIn(p.DatabasePath());
    ASSERT_EQ(after.size(), expected.size());
    for (const auto& [title, state] : expected) {
        ASSERT_TRUE(after.count(title)) << title << " is gone";
        EXPECT_EQ(after.at(title).List, state.List) << title;
        EXPECT_EQ(after.at(title).Priority, state.Priority) << title;
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(TaskListSelectionScenario, CtrlClickAndShiftClickOverAFoldedGroupKeepNotesAndHiddenTasks) {
    TProgram p("explore-many-folded");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TSampleRows rows(main);
    const POINT note = rows.At(400, 460);

    // Two tasks chosen; the note typed goes to the first of them.
    Click(p, rows.Row(TSampleRows::CallTheBank));
    Key(p, VK_DOWN, Shift);
    Click(p, note);
    Type(p, "hello");
    // Ctrl+click on a task above makes it the first chosen: the panel
    // shows its note, and what is typed now is its note.
    Click(p, rows.Row(TSampleRows::WriteReport), Ctrl);
    EXPECT_EQ(NoteCaption(main), "No note - Write report");
    Click(p, note);
    Type(p, "world");
    Click(p, rows.Row(TSampleRows::WriteReport), Ctrl);
    EXPECT_EQ(NoteCaption(main), "Note: Call the bank");
    SaveByKeys(p);
    std::map<std::string, TTaskState> tasks = TasksIn(p.DatabasePath());
    EXPECT_EQ(tasks["Call the bank"].Notes.substr(0, 5), "hello");
    EXPECT_EQ(tasks["Write report"].Notes.substr(0, 5), "world");
    EXPECT_EQ(tasks["Plan the budget"].Notes, "");

    // Home folded; Shift+click from Work's first task to Shop's first
    // takes the tasks shown between them, not Home's, and Del deletes
    // those alone.
    Click(p, rows.At(220, TSampleRows::HomeHeader));
    Click(p, rows.Row(TSampleRows::WriteReport));
    Click(p, rows.Row(366), Shift);  // Buy milk, below the folded Home
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, "Are you sure you want to delete selected item(s)?", "&Yes"));
    SaveByKeys(p);
    tasks = TasksIn(p.DatabasePath());
    std::vector<std::string> titles;
    for (const auto& entry : tasks) titles.push_back(entry.first);
    EXPECT_EQ(titles, (std::vector<std::string>{"Buy bread", "Fix the tap", "Order a lamp", "Paint the fence",
                                                "Water the plants"}));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(TaskListSelectionScenario, ShiftArrowsGrowTheChoiceFromTheTaskTheProgramChose) {
    TProgram p("explore-many-anchor");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TSampleRows rows(main);
    const char* question = "Are you sure you want to delete selected item(s)?";

    // After Del the next task is chosen; Shift+Down twice takes it and the
    // two below it, and Del deletes the three.
    Click(p, rows.Row(TSampleRows::WriteReport));
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, question, "&Yes"));
    EXPECT_EQ(NoteCaption(main), "No note - Call the bank");
    Key(p, VK_DOWN, Shift);
    Key(p, VK_DOWN, Shift);
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, question, "&Yes"));
    SaveByKeys(p);
    std::vector<std::string> titles;
    for (const auto& entry : TasksIn(p.DatabasePath())) titles.push_back(entry.first);
    EXPECT_EQ(titles, (std::vector<std::string>{"Buy bread", "Buy milk", "Fix the tap", "Order a lamp",
                                                "Paint the fence", "Water the plants"}));

    // A new grouping leaves nothing chosen: the first arrow key chooses the
    // first task, and Shift+Down then takes the one below it too.
    Key(p, 'N', Alt);
    Key(p, VK_DOWN);
    Key(p, VK_DOWN, Shift);
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, question, "&Yes"));
    SaveByKeys(p);
    titles.clear();
    for (const auto& entry : TasksIn(p.DatabasePath())) titles.push_back(entry.first);
    // The first two of the list in file order: Water the plants, Fix the tap.
    EXPECT_EQ(titles, (std::vector<std::string>{"Buy bread", "Buy milk", "Order a lamp", "Paint the fence"}));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// The list Work with the tasks "Task 00" to "Task 39" (open, normal, with
// no tags, date or note) and the empty list Home.
HWND StartOnLongDatabase(TProgram& p) {
    WriteWorkDatabase(p.DatabasePath(), NumberedTitles(40), {"Home"});
    p.Start();
    return p.Main();
}

// Whether a pixel has the blue of a chosen row (the selection's colour,
// blended or not), not the white, grey or orange of the rest of the list.
bool ChosenBlue(COLORREF c) { return GetBValue(c) > GetRValue(c) + 40 && GetBValue(c) > GetGValue(c) + 20; }

// The middle of the chosen rows' block as the screen shows it, looked for
// down the empty Tags column; -1 when no row shows chosen.
int ChosenRowY(const TMainWindowParts& parts) {
    const RECT r = RectOf(parts.List);
    const int x = r.left + 400;
    for (int y = r.top; y < r.bottom; ++y) {
        if (!ChosenBlue(PixelAt({x, y}))) continue;
        int end = y;
        while (end + 1 < r.bottom && ChosenBlue(PixelAt({x, end + 1}))) ++end;
        if (end - y >= 10) return (y + end) / 2;
        y = end;
    }
    return -1;
}

bool RowShowsChosen(POINT row) { return ChosenBlue(PixelAt({row.x + 280, row.y})); }

} // namespace

// The chosen tasks vanished from the list the moment it lost the keyboard:
// the question "delete selected item(s)?" came over a list that showed no
// task selected, and typing a note showed no task the note belonged to.
// They stay marked, as the list shows them with the keyboard.
TEST(TaskListSelectionScenario, ChosenTasksShowWhileTheListHasNotTheKeyboard) {
    TProgram p("selection-unfocused");
    HWND main = StartOnLongDatabase(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(1));
    Key(p, VK_DOWN, Shift);
    ASSERT_EQ(parts.ChosenTask(), "Task 01");
    ASSERT_TRUE(WaitUntil([&] { return RowShowsChosen(parts.ListItem(1)) && RowShowsChosen(parts.ListItem(2)); }));

    Key(p, VK_DELETE);
    HWND box = p.WaitDialog();
    ASSERT_NE(box, nullptr) << "Del asked nothing";
    EXPECT_TRUE(WaitUntil([&] { return RowShowsChosen(parts.ListItem(1)) && RowShowsChosen(parts.ListItem(2)); }))
        << "the tasks the question is about do not show chosen";
    EXPECT_FALSE(RowShowsChosen(parts.ListItem(3)));
    Shot(p, main, "selection-unfocused-question");
    Key(p, 'N');
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));

    // Typing the note: the task it belongs to stays marked.
    Click(p, CenterOf(parts.NoteEditor));
    ASSERT_EQ(p.Focus(), parts.NoteEditor.Get());
    EXPECT_TRUE(WaitUntil([&] { return RowShowsChosen(parts.ListItem(1)); }))
        << "the note's task does not show chosen while the note is typed";
    EXPECT_EQ(parts.ChosenTask(), "Task 01");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A click on the header sorted the chosen tasks into another order, but
// the note panel went on showing the note of the task that had been first:
// Shift+N, Ctrl+Up and the date and tags panels act on the first chosen
// task, which the panel no longer named.
TEST(TaskListSelectionScenario, TheNotePanelNamesTheFirstChosenTaskAfterASort) {
    TProgram p("selection-sorted-note");
    HWND main = StartOnLongDatabase(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    Key(p, VK_DOWN, Shift);
    ASSERT_EQ(parts.ChosenTask(), "Task 00");

    POINT header{0, 0};
    ClientToScreen(parts.List, &header);
    // Ascending first (the order stays), then descending: Task 01 now
    // comes before Task 00. (Apart, so the second is no double click.)
    Click(p, {header.x + 60, header.y + 10});
    EXPECT_EQ(parts.ChosenTask(), "Task 00");
    Click(p, {header.x + 140, header.y + 10});
    EXPECT_EQ(parts.ChosenTask(), "Task 01") << "the note panel names a task that is no longer the first chosen";
    // Shift+N goes into the note of the task the panel names.
    Key(p, 'N', Shift);
    ASSERT_EQ(p.Focus(), parts.NoteEditor.Get());
    Type(p, "Sorted");
    Key(p, VK_RETURN, Shift);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    const std::vector<std::string> second = Fields(TaskLine(file, "Task 01"));
    ASSERT_GT(second.size(), 5u);
    EXPECT_EQ(second[5], "Sorted\xF8");
}

// In the list Work, grouped by list, the task moved to Home (Shift+L)
// left the list at its top with no task chosen: the next Down started
// over from the first task. The list now stays where it was with the task
// after the moved one chosen in its row, as after a delete.
TEST(TaskListSelectionScenario, ATaskMovedOutOfTheListLeavesTheNextChosenInPlace) {
    TProgram p("selection-moved-out");
    HWND main = StartOnLongDatabase(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.TreeRow(1));
    Click(p, parts.ListItem(0));
    ASSERT_EQ(parts.ChosenTask(), "Task 00");
    Key(p, VK_NEXT);
    Key(p, VK_NEXT);
    const std::string moved = parts.ChosenTask();
    int number = 0;
    ASSERT_EQ(std::sscanf(moved.c_str(), "Task %d", &number), 1) << moved;
    ASSERT_GT(number, 12) << "the list did not scroll";
    ASSERT_LT(number, 35);
    int row = -1;
    ASSERT_TRUE(WaitUntil([&] { return (row = ChosenRowY(parts)) > 0; }));

    Key(p, 'L', Shift);
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    char next[16];
    std::snprintf(next, sizeof next, "Task %02d", number + 1);
    EXPECT_EQ(parts.ChosenTask(), next) << "after the move to Home";
    EXPECT_TRUE(WaitUntil([&] { return ChosenRowY(parts) == row; }))
        << "the list jumped: the chosen row is at " << ChosenRowY(parts) << ", the moved task's was at " << row;
    Shot(p, main, "selection-moved-out");
    Key(p, VK_DOWN);
    std::snprintf(next, sizeof next, "Task %02d", number + 2);
    EXPECT_EQ(parts.ChosenTask(), next);

    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(ListOf(ReadFile(p.DatabasePath()), moved), "Home");
}

// Space, Ctrl+Up, the task menu's Priority, Shift+D, Shift+T and a row's
// tags mark on three chosen tasks changed one of them alone. Now each
// changes all three: Space ticks them all (and, once all are done,
// unticks them all), Ctrl+Up steps the first one's priority and gives it
// to every one, the date and tags panels' Ok give every one the date and
// the tags. Grouped by priority, tasks given another one all go to its
// group and stay chosen.
TEST(TaskListSelectionScenario, CommandsOnSeveralChosenTasksChangeThemAll) {
    TProgram p("selection-commands");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    const std::map<std::string, TSavedTask> before = SavedTasks(p.DatabasePath());
    ASSERT_EQ(before.size(), 10u);
    const std::vector<std::string> chosen = {"Write report", "Call the bank", "Plan the budget"};

    // Work's first three tasks: high, normal and low, due today, tomorrow
    // and in five days, none done.
    Click(p, parts.ListItem(0));
    Key(p, VK_DOWN, Shift);
    Key(p, VK_DOWN, Shift);
    Key(p, VK_SPACE);
    // Write report is high: Ctrl+Up makes it low, and the others with it.
    Key(p, VK_UP, Ctrl);
    // The task menu (the menu key): Priority > Normal.
    Key(p, VK_APPS);
    for (int i = 0; i < 3; ++i) Key(p, VK_DOWN);
    Key(p, VK_RIGHT);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    // The date panel starts from Write report's day, today; Enter gives it
    // to all three.
    Key(p, 'D', Shift);
    Key(p, VK_RETURN);
    // The tags panel starts from Write report's "office"; "diy", the first
    // tag, ticked too.
    Key(p, 'T', Shift);
    Key(p, VK_SPACE);
    Key(p, VK_RETURN);
    SaveByKeys(p);

    std::map<std::string, TSavedTask> expected = before;
    for (const std::string& title : chosen) {
        expected[title].Done = true;
        expected[title].Priority = 1;
        expected[title].Due = before.at("Write report").Due;
        expected[title].Tags = "diy,office";
    }
    std::map<std::string, TSavedTask> after = SavedTasks(p.DatabasePath());
    ASSERT_EQ(after.size(), expected.size());
    for (const auto& [title, task] : expected) {
        EXPECT_EQ(after[title].Done, task.Done) << title;
        EXPECT_EQ(after[title].Priority, task.Priority) << title;
        EXPECT_EQ(after[title].Due, task.Due) << title;
        EXPECT_EQ(after[title].Tags, task.Tags) << title;
    }

    // All three done: Space unticks all three. A click on the tags mark of
    // the third leaves the three chosen; the panel starts from the first
    // one's tags, and "diy" unticked there leaves all three "office".
    Key(p, VK_SPACE);
    Click(p, POINT{ClientOrigin(parts.List).x + 326, parts.ListItem(2).y});
    Key(p, VK_SPACE);
    Key(p, VK_RETURN);
    SaveByKeys(p);
    after = SavedTasks(p.DatabasePath());
    for (const std::string& title : chosen) {
        EXPECT_FALSE(after[title].Done) << title;
        EXPECT_EQ(after[title].Tags, "office") << title;
    }
    EXPECT_TRUE(after["Old invoice"].Done);
    EXPECT_EQ(after["Old invoice"].Tags, "money");

    // By priority, High first: Fix the tap and Order a lamp made normal
    // with Ctrl+Down go to Normal together and stay the chosen ones,
    // which is what the export of a list with several chosen holds.
    Key(p, 'P', Alt);
    Click(p, parts.ListItem(0));
    Key(p, VK_DOWN, Shift);
    Key(p, VK_DOWN, Ctrl);
    const std::string html = ExportedList(p, main, "by-priority");
    EXPECT_EQ(ExportedGroups(html), (std::vector<std::string>{"Priority: Normal"}));
    EXPECT_EQ(ExportedTasks(html, {"Fix the tap", "Order a lamp", "Write report"}),
              (std::vector<std::string>{"Fix the tap", "Order a lamp"}));

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    after = SavedTasks(p.DatabasePath());
    EXPECT_EQ(after["Fix the tap"].Priority, 1);
    EXPECT_EQ(after["Order a lamp"].Priority, 1);
}

} // namespace qelvo::e2e
