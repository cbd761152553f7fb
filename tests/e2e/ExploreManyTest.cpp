// Commands on several tasks chosen at once, as a user chooses them: by
// Shift+arrows, Shift+click across a folded group and Ctrl+click. Each
// command reaches every chosen task or only the first, as the command
// says, and never a task the user did not choose (one in a folded group
// above all); the note panel follows the first chosen task.
#include <gtest/gtest.h>

#include <map>

#include "e2e/ExitsSupport.h"
#include "e2e/SampleDatabase.h"

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

TEST(ExploreManyScenario, ShiftArrowsChooseTasksForPriorityStickyNotesAndMoveToList) {
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

    // Priority by key: the first chosen task only (high wraps to low).
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
    Key(p, 'S', Ctrl);

    std::map<std::string, TTaskState> expected = before;
    expected["Write report"].Priority = 0;
    for (const char* moved : {"Write report", "Call the bank", "Plan the budget"}) expected[moved].List = "Shop";
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

TEST(ExploreManyScenario, CtrlClickAndShiftClickOverAFoldedGroupKeepNotesAndHiddenTasks) {
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
    Key(p, 'S', Ctrl);
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
    Key(p, 'S', Ctrl);
    tasks = TasksIn(p.DatabasePath());
    std::vector<std::string> titles;
    for (const auto& entry : tasks) titles.push_back(entry.first);
    EXPECT_EQ(titles, (std::vector<std::string>{"Buy bread", "Fix the tap", "Order a lamp", "Paint the fence",
                                                "Water the plants"}));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(ExploreManyScenario, ShiftArrowsGrowTheChoiceFromTheTaskTheProgramChose) {
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
    Key(p, 'S', Ctrl);
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
    Key(p, 'S', Ctrl);
    titles.clear();
    for (const auto& entry : TasksIn(p.DatabasePath())) titles.push_back(entry.first);
    // The first two of the list in file order: Water the plants, Fix the tap.
    EXPECT_EQ(titles, (std::vector<std::string>{"Buy bread", "Buy milk", "Order a lamp", "Paint the fence"}));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
