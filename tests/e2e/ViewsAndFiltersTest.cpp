// Views of the task list: sorting by the header, grouping by each key,
// folded groups, the filters (done, priority, due dates, lists, tags, the
// Today filter past midnight) and the find box, each showing exactly the
// tasks that pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "data/uDataMan.h"
#include "e2e/BarItemsSupport.h"
#include "e2e/ClockSupport.h"
#include "e2e/E2eDriver.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/SampleDatabase.h"
#include "e2e/ShownListSupport.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"
#include "gcl/rtl/DateTime.h"

namespace qelvo::e2e {

namespace {

std::string ChosenTaskText(const TMainWindowParts& parts) { return parts.ChosenTask(); }

} // namespace

// The chosen task's priority, due date, list or tags changed while the
// list is grouped by that field (the keys, the menus, the panels, a drop
// on the side tree): the task goes to its new group and stays the chosen
// one there, so the next key goes on from it. Ctrl+Up/Down left the task
// in its old group under the wrong caption, and every other change left
// no task chosen, the next arrow starting over from the top.
TEST(ViewsAndFiltersScenario, TheChangedTaskGoesToItsNewGroupAndStaysChosen) {
    TProgram p("groups-edits");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);

    // By priority: High holds Write report, Fix the tap and Order a lamp.
    Key(p, 'P', Alt);
    Click(p, parts.ListItem(0));
    ASSERT_EQ(ChosenTaskText(parts), "Write report");
    // Ctrl+Down makes it normal: it leads the Normal group (the file's
    // order), right under the last task of High.
    Key(p, VK_DOWN, Ctrl);
    EXPECT_EQ(ChosenTaskText(parts), "Write report") << "after Ctrl+Down";
    Key(p, VK_UP);
    EXPECT_EQ(ChosenTaskText(parts), "Order a lamp") << "Ctrl+Down left the task in the High group";
    Key(p, VK_DOWN);
    ASSERT_EQ(ChosenTaskText(parts), "Write report");
    // Low from the context menu (Priority > Low): the task leads Low,
    // under the last normal task.
    Key(p, VK_APPS);
    for (int i = 0; i < 3; ++i) Key(p, VK_DOWN);
    Key(p, VK_RIGHT);
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    EXPECT_EQ(ChosenTaskText(parts), "Write report") << "after Priority > Low";
    Key(p, VK_UP);
    EXPECT_EQ(ChosenTaskText(parts), "Buy milk");

    // By date: Paint the fence (the last date) loses its date (Shift
    // toggles the panel's check box): it goes to "No Due Date specified",
    // the first group, after Water the plants.
    Key(p, 'D', Alt);
    Click(p, parts.ListItem(0));
    Key(p, VK_END);
    ASSERT_EQ(ChosenTaskText(parts), "Paint the fence");
    Key(p, 'D', Shift);
    Key(p, VK_SHIFT);
    Key(p, VK_RETURN);
    EXPECT_EQ(ChosenTaskText(parts), "Paint the fence") << "after the date was taken away";
    Key(p, VK_UP);
    EXPECT_EQ(ChosenTaskText(parts), "Water the plants");

    // By list: Write report moved to Home (Shift+L, the second list)
    // leads the Home group, under Old invoice, the last of Work.
    Key(p, 'L', Alt);
    Key(p, VK_HOME);
    ASSERT_EQ(ChosenTaskText(parts), "Write report");
    Key(p, 'L', Shift);
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    EXPECT_EQ(ChosenTaskText(parts), "Write report") << "after Move To List";
    Key(p, VK_UP);
    EXPECT_EQ(ChosenTaskText(parts), "Old invoice");

    // Dropped on Shop in the side tree, Call the bank (the first of Work)
    // leads Shop's tasks, under the last of Home.
    Key(p, VK_HOME);
    ASSERT_EQ(ChosenTaskText(parts), "Call the bank");
    // (The press lands where the date step clicked: soon after, it would
    // be the second click of a double click, which edits the title.)
    Sleep(GetDoubleClickTime() + 50);
    Drag(p, parts.ListItem(0), parts.TreeRow(3));
    EXPECT_EQ(ChosenTaskText(parts), "Call the bank") << "after the drop on Shop";
    Key(p, VK_UP);
    EXPECT_EQ(ChosenTaskText(parts), "Paint the fence");

    // By tags: Write report given "diy" too (Shift+T, Space on the first
    // tag, Enter) opens a group of its own, the first (its task comes
    // first in the file), above Call the bank's "phone".
    Key(p, 'T', Alt);
    Key(p, VK_HOME);
    ASSERT_EQ(ChosenTaskText(parts), "Write report");
    Key(p, 'T', Shift);
    Key(p, VK_SPACE);
    Key(p, VK_RETURN);
    EXPECT_EQ(ChosenTaskText(parts), "Write report") << "after the tags' change";
    Key(p, VK_DOWN);
    EXPECT_EQ(ChosenTaskText(parts), "Call the bank");

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(ShortFormOf(file, "Write report"), "-;" + FileDate(0) + ";[diy,office]Write report");
    EXPECT_EQ(ListOf(file, "Write report"), "Home");
    EXPECT_EQ(ShortFormOf(file, "Paint the fence"), "-[diy]Paint the fence");
    EXPECT_EQ(ListOf(file, "Call the bank"), "Shop");
}

// Folding the group of the chosen task, by its button or its caption,
// left that task chosen or under the keyboard out of sight: Del asked to
// delete it and did, Ctrl+Up changed its priority, Space marked it done
// and F2 opened its title's editor over the next group's caption, and
// Down from the quick-entry box chose a task of the folded first group.
TEST(ViewsAndFiltersScenario, AFoldedGroupKeepsItsTasksOutOfTheKeys) {
    TProgram p("groups-folded");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    const RECT list = RectOf(parts.List);
    // The first group's (Work's) fold button and caption, under the header.
    const POINT button{list.left + 11, list.top + 35};
    const POINT caption{list.left + 200, list.top + 35};

    Click(p, parts.ListItem(1));
    ASSERT_EQ(ChosenTaskText(parts), "Call the bank");
    Click(p, button);
    EXPECT_EQ(ChosenTaskText(parts), "Note") << "a task of the folded group is still chosen";
    Key(p, VK_UP, Ctrl);
    Key(p, VK_DELETE);
    if (!p.NoDialogFor(300)) {
        ADD_FAILURE() << "Del asked to delete a task of the folded group";
        Key(p, 'N');
    }
    // Unfolded (a click on the caption: a second click on the button
    // would be a double click), chosen again, folded by a click on the
    // caption: the keyboard leaves the group too.
    Click(p, caption);
    Click(p, parts.ListItem(1));
    ASSERT_EQ(ChosenTaskText(parts), "Call the bank");
    Click(p, caption);
    Key(p, VK_SPACE);
    Key(p, VK_F2);
    if (ClassOf(p.Focus()) != "TGvListview") {
        EXPECT_NE(TextOf(p.Focus()), "Call the bank") << "F2 edits a title in the folded group";
        Key(p, VK_ESCAPE);
    }
    // Down from the quick-entry box, with none chosen, chooses the first
    // task shown, not one of the folded group above it, and the list's
    // keys go on from there.
    Key(p, 'N', Ctrl);
    Key(p, VK_DOWN);
    EXPECT_EQ(ChosenTaskText(parts), "Water the plants") << "Down from the quick-entry box chose a task of the folded group";
    Key(p, VK_DOWN);
    EXPECT_EQ(ChosenTaskText(parts), "Fix the tap");

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(ShortFormOf(file, "Call the bank"), ";" + FileDate(1) + ";[phone]Call the bank");
    const std::vector<std::string> fields = Fields(TaskLine(file, "Call the bank"));
    ASSERT_GT(fields.size(), 1u);
    EXPECT_EQ(fields[1], "--") << "marked done out of sight";
}

namespace {

// Two lists of tasks whose titles hold "c", "ca", "cal" and "call" in
// both cases, and some that hold none.
void WriteSearchDatabase(const std::string& path) {
    MakeFolderOf(path);
    TuData data;
    const char* titles[] = {"Call Tom",        "Recall the book", "Cab to the airport", "Local shop",
                            "CALENDAR for May", "Cancel the gym",  "Scale the wall",     "Tax return",
                            "call back Anna",  "Bob",             "Recall the car",     "Fix the tap"};
    for (const char* list : {"Work", "Home"}) {
        data.Folders->Add(std::string(list) + "\xF7" "0\xF7");
        for (const char* title : titles) {
            TuTask* task = new TuTask();
            task->Title = std::string(title) + (list[0] == 'W' ? "" : " at home");
            task->Folder = list;
            data.Tasks->AddObject(task->Title, task);
        }
    }
    data.SaveToFile(path);
}

} // namespace

TEST(ViewsAndFiltersScenario, ASearchTypedOneCharacterAtATimeShowsWhatTheWholeTextShows) {
    TProgram p("find-search");
    WriteSearchDatabase(p.DatabasePath());
    WriteFile(p.SettingsPath(), "[Options]\r\nConfirm Delete=0\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_NE(parts.TopEdit, nullptr);
    ASSERT_NE(parts.List, nullptr);
    // The list's rows below its header.
    RECT rows = RectOf(parts.List);
    rows.top += 24;
    rows.right -= 24;
    const POINT edit = CenterOf(parts.TopEdit);
    // The list for Text pasted into an emptied find box (a search over
    // every task), and the find box's text put back as it was.
    auto wholeSearch = [&](const std::wstring& text) {
        const std::wstring typed = WideTextOf(parts.TopEdit);
        Click(p, edit);
        Key(p, VK_END);
        for (size_t k = 0; k < typed.size(); ++k) Key(p, VK_BACK);
        EXPECT_EQ(WideTextOf(parts.TopEdit), L"");
        PutOnClipboard(text);
        Key(p, 'V', Ctrl);
        EXPECT_EQ(WideTextOf(parts.TopEdit), text);
        p.Settle();
        return PixelsOf(rows);
    };

    Key(p, 'F', Ctrl);
    ASSERT_EQ(p.Focus(), parts.TopEdit);
    p.Settle();
    const std::vector<COLORREF> everything = PixelsOf(rows);
    Type(p, std::string("ca"));
    p.Settle();
    EXPECT_NE(PixelsOf(rows), everything) << "the search filtered nothing";

    // The first task shown renamed so that it no longer holds the text,
    // then the next character typed.
    Click(p, parts.ListItem(0));
    Key(p, VK_RETURN);
    ASSERT_NE(p.Focus(), parts.List) << "no title editor opened";
    Type(p, std::string("Zebra"));
    Key(p, VK_RETURN);
    EXPECT_EQ(parts.NoteCaption(), "No note - Zebra");
    Click(p, edit);
    Key(p, VK_END);
    Type(p, std::string("l"));
    p.Settle();
    const std::vector<COLORREF> typed = PixelsOf(rows);
    EXPECT_EQ(typed, wholeSearch(L"cal")) << "\"cal\" typed after a rename";

    // A task shown deleted, then the next character.
    Click(p, parts.ListItem(1));
    Key(p, VK_DELETE);
    EXPECT_TRUE(p.NoDialogFor(200));
    Click(p, edit);
    Key(p, VK_END);
    Type(p, std::string("l"));
    p.Settle();
    EXPECT_EQ(PixelsOf(rows), wholeSearch(L"call")) << "\"call\" typed after a delete";

    // Pasted in front of the text, and typed after it.
    Click(p, edit);
    Key(p, VK_HOME);
    PutOnClipboard(L"re");
    Key(p, 'V', Ctrl);
    Key(p, VK_END);
    Type(p, std::string(" t"));
    EXPECT_EQ(WideTextOf(parts.TopEdit), L"recall t");
    p.Settle();
    EXPECT_EQ(PixelsOf(rows), wholeSearch(L"recall t")) << "\"re\" pasted in front, \" t\" typed";

    // Backspace widens the search again.
    Key(p, VK_BACK);
    Key(p, VK_BACK);
    p.Settle();
    EXPECT_EQ(PixelsOf(rows), wholeSearch(L"recall")) << "Backspace";

    Key(p, 'N', Ctrl);
    p.Settle();
    EXPECT_NE(PixelsOf(rows), everything) << "a title was renamed and a task deleted";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// A database of one list whose tasks are due on the day before today,
// today, and on no day.
void WriteDueDatabase(const std::string& path) {
    const std::string sep = "\xF7", eol = "\r\n";
    std::string text = "d_id-4711471148" + eol + "Home" + sep + "1" + sep + eol + "<--<*&^Folders^&*>-->" + eol +
                       "<--<*&^Tags^&*>-->" + eol;
    const std::pair<std::string, std::string> tasks[] = {
        {"Due on the old day", ";" + FileDate(-1) + ";"},
        {"Due on the new day", ";" + FileDate(0) + ";"},
        {"Due some day", ""},
    };
    int id = 1;
    for (const auto& [title, due] : tasks)
        text += due + title + sep + "--" + sep + "000000000" + std::to_string(id++) + sep + "Home" + sep + "1/2/2025" +
                sep + sep + eol;
    WriteFile(path, text);
}

} // namespace

// A program left running overnight with the "Today" filter showed the day
// before's tasks under "Today" until something refreshed the list. The
// program's clock is set to end the day a few seconds after the start.
TEST(ViewsAndFiltersScenario, TheTodayFilterShowsTheNewDaysTasksPastMidnight) {
    TProgram p("mend-more-midnight");
    WriteDueDatabase(p.DatabasePath());
    // The program's midnight comes 10 seconds from now.
    ULONGLONG midnight = 0;
    {
        const TDayEndingSoon day(10);
        midnight = day.Midnight();
        p.Start();
    }
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Key(p, '1', Ctrl);
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Due on the old day");
    ASSERT_LT(GetTickCount64(), midnight) << "the program started too late to see its day end";
    // Midnight, and a tick of the program's one-second timer after it.
    WaitUntil([&] { return GetTickCount64() > midnight + 2000; }, 20000);
    p.Settle();
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Due on the new day");
    Key(p, VK_ESCAPE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// Starts the program with deleting asking no question: its main window,
// or null.
HWND StartDeletingUnasked(TProgram& p) {
    WriteFile(p.SettingsPath(), "[Options]\r\nConfirm Delete=0\r\n");
    p.Start();
    return p.Main(30000);
}

} // namespace

TEST(ViewsAndFiltersScenario, AClickAfterSeveralChosenAndGroupingsSwitchedWithATaskChosenDeleteOnlyWhatIsChosen) {
    TProgram p("regroup-chosen");
    // One list; hundreds of tag sets (some tasks without tags) and dates.
    const int count = 3000;
    {
        MakeFolderOf(p.DatabasePath());
        TuData data;
        data.Folders->Add("Work\xF7" "0\xF7");
        for (int n = 0; n < count; ++n) {
            auto* task = new TuTask();
            char title[16];
            std::snprintf(title, sizeof title, "Task %04d", n);
            task->Title = std::string(title);
            task->Folder = std::string("Work");
            if (n % 7 != 0) task->Tags = "t" + std::to_string(n % 400) + ",u" + std::to_string(n % 3);
            task->Due = n % 3 == 0 ? 0 : gcl::EncodeDate(2031, 1, 1) + n % 50;
            data.Tasks->AddObject(task->Title, task);
        }
        ASSERT_TRUE(data.SaveToFile(p.DatabasePath()));
    }
    HWND main = StartDeletingUnasked(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // Grouped by list: one group, the tasks in file order. Three tasks
    // chosen with Ctrl, then a plain click on another: Del takes that one.
    Click(p, parts.ListItem(1));
    Click(p, parts.ListItem(3), Ctrl);
    Click(p, parts.ListItem(5), Ctrl);
    Click(p, parts.ListItem(2));
    Key(p, VK_DELETE);
    // A task chosen, then grouped by tags, by date and by list again:
    // nothing stays chosen, so Del deletes nothing until a task is chosen.
    Click(p, parts.ListItem(4));
    Key(p, 'T', Alt);
    Key(p, 'D', Alt);
    Key(p, 'L', Alt);
    Key(p, VK_DELETE);
    Click(p, parts.ListItem(0));
    Key(p, VK_DELETE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
    const std::vector<std::string> titles = TitlesIn(p.DatabasePath());
    ASSERT_EQ(titles.size(), size_t(count - 2));
    EXPECT_EQ(titles.front(), "Task 0001");
    for (const char* kept : {"Task 0001", "Task 0003", "Task 0004", "Task 0005"})
        EXPECT_NE(std::find(titles.begin(), titles.end(), kept), titles.end()) << kept;
    EXPECT_EQ(std::find(titles.begin(), titles.end(), "Task 0002"), titles.end());
}

// With done tasks hidden, a task ticked stays in sight, struck out, until
// the list is made anew: a grouping switched then shows the tasks as they
// are after the tick, with the ticked one gone, so a click on the first
// row and Del take the next task, not the one ticked.
TEST(ViewsAndFiltersScenario, ATaskTickedWithDoneHiddenIsGoneOnceTheGroupingSwitches) {
    TProgram p("regroup-ticked");
    const int count = 400;
    WriteWorkDatabase(p.DatabasePath(), NumberedTitles(count));
    HWND main = StartDeletingUnasked(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Key(p, 'D', Ctrl);
    Click(p, parts.ListItem(0, 10));
    Key(p, 'P', Alt);
    Click(p, parts.ListItem(0));
    Key(p, VK_DELETE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
    TuData saved;
    ASSERT_TRUE(saved.LoadFromFile(p.DatabasePath()));
    ASSERT_EQ(saved.Tasks->GetCount(), count - 1);
    EXPECT_EQ(std::string(saved.Tasks->GetTask(0)->Title), "Task 00");
    EXPECT_TRUE(saved.Tasks->GetTask(0)->Done);
    EXPECT_EQ(std::string(saved.Tasks->GetTask(1)->Title), "Task 02");
}

namespace {

constexpr COLORREF HighMark = 0x1E1ED2;
constexpr COLORREF NormalMark = 0x3CA03C;
constexpr COLORREF LowMark = 0xC85A28;

HWND ListOf(HWND main) { return ChildrenOfClass(main, "TGvListview").front(); }

// The priority marks of the rows shown, top to bottom, read from the
// screen in the band [x, x + 12) of the list's client area (the title
// column's left edge plus its check box).
std::string ReadMarks(HWND list, int x) {
    const POINT o = ClientOrigin(list);
    RECT client{};
    GetClientRect(list, &client);
    const RECT band{o.x + x, o.y + 22, o.x + x + 12, o.y + client.bottom};
    const std::vector<COLORREF> pixels = PixelsOf(band);
    std::string marks;
    char last = 0;
    for (size_t row = 0; row * 12 < pixels.size(); ++row) {
        char seen = 0;
        for (size_t dx = 0; dx < 12 && !seen; ++dx) {
            const COLORREF c = pixels[row * 12 + dx];
            seen = c == HighMark ? 'H' : c == NormalMark ? 'N' : c == LowMark ? 'L' : 0;
        }
        if (seen && seen != last) marks += seen;
        last = seen;
    }
    return marks;
}

// The rows' marks once the list has painted what the last input changed
// (the screen read waits for that, and for the display to show it).
std::string Marks(const TProgram& p, HWND list, int x = 20) {
    p.Settle();
    return ReadMarks(list, x);
}

std::string MarkOf(const TSampleTask& t) { return t.Priority == 2 ? "H" : t.Priority == 0 ? "L" : "N"; }

// The sample's tasks that pass a test, in file order, as marks.
template <typename Pass>
std::string SampleMarks(Pass pass) {
    int count = 0;
    const TSampleTask* tasks = SampleTasks(count);
    std::string marks;
    for (int i = 0; i < count; ++i)
        if (pass(tasks[i])) marks += MarkOf(tasks[i]);
    return marks;
}

int Compare(const std::string& a, const std::string& b) {
    std::string la = a, lb = b;
    for (char& c : la) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : lb) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return la.compare(lb);
}

// The list's order after a header click, worked out as the list sorts:
// an exchange sort over the current order, which with descending also
// exchanges equal items.
void SortAsTheListDoes(std::vector<TSampleTask>& rows, int column, bool ascending) {
    auto after = [column](const TSampleTask& a, const TSampleTask& b) {
        if (column == 0) return Compare(a.Title, b.Title) > 0;
        if (column == 1) return Compare(a.Tags, b.Tags) > 0;
        const int da = a.DueInDays == NoDue ? -100000 : a.DueInDays;
        const int db = b.DueInDays == NoDue ? -100000 : b.DueInDays;
        return db < da;
    };
    for (size_t i = 0; i + 1 < rows.size(); ++i)
        for (size_t j = i + 1; j < rows.size(); ++j)
            if (ascending ? after(rows[i], rows[j]) : !after(rows[i], rows[j])) std::swap(rows[i], rows[j]);
}

// The sort key of a row for a column, as the list compares them.
std::string KeyOf(const TSampleTask& t, int column) {
    std::string key = column == 0 ? t.Title : column == 1 ? t.Tags : std::to_string(t.DueInDays == NoDue ? -100000 : t.DueInDays);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

// The marks with each run of rows of equal key put in one order: rows that
// compare equal may come in either order.
std::string TiesSorted(const std::vector<TSampleTask>& rows, const std::string& marks, int column) {
    std::string out = marks;
    size_t start = 0;
    for (size_t i = 1; i <= rows.size() && i <= out.size(); ++i)
        if (i == rows.size() || KeyOf(rows[i], column) != KeyOf(rows[start], column)) {
            std::sort(out.begin() + static_cast<long>(start), out.begin() + static_cast<long>(i));
            start = i;
        }
    return out;
}

std::string MarksOf(const std::vector<TSampleTask>& rows) {
    std::string marks;
    for (const TSampleTask& t : rows) marks += MarkOf(t);
    return marks;
}

std::vector<TSampleTask> SampleRows() {
    int count = 0;
    const TSampleTask* tasks = SampleTasks(count);
    return std::vector<TSampleTask>(tasks, tasks + count);
}

// The screen point of the task list's header at client x.
POINT HeaderAt(HWND list, int x) {
    const POINT o = ClientOrigin(list);
    return {o.x + x, o.y + 10};
}

// Starts over the sample in a window tall enough for every row and group.
HWND StartTall(TProgram& p) {
    WriteSampleDatabase(p);
    WriteFile(p.SettingsPath(), "[Form]\r\nLeft=100\r\nTop=20\r\nWidth=804\r\nHeight=960\r\n");
    p.Start();
    return p.Main();
}

// A node of the side tree by its row (0 is "All").
POINT TreeRow(HWND main, int row) {
    HWND tree = ChildrenOfClass(main, "TUniTreeView.UnicodeClass").front();
    const POINT o = ClientOrigin(tree);
    return {o.x + 60, o.y + 12 + 24 * row};
}

// The groupings shown as chosen: on the group-by bar (the third docked
// bar from the top) and in its twin, View > Group by (opened with the
// mouse and closed again); names joined by "|".
struct TChosenGrouping {
    std::string Bar, Menu;
};
std::string CheckedNames(const std::vector<TBarItem>& items) {
    std::string names;
    for (const TBarItem& item : items)
        if (item.Checked) names += (names.empty() ? "" : "|") + item.Name.substr(0, item.Name.find('\t'));
    return names;
}
TChosenGrouping ChosenGrouping(TProgram& p, HWND main) {
    TChosenGrouping chosen;
    std::vector<HWND> bars = ChildrenOfClass(main, "TXtToolbar.UnicodeClass");
    std::sort(bars.begin(), bars.end(), [](HWND x, HWND y) { return RectOf(x).top < RectOf(y).top; });
    if (bars.size() < 4) return chosen;
    chosen.Bar = CheckedNames(ItemsOf(bars[2]));
    const TBarItem view = ItemNamed(bars.front(), "View");
    if (!view.Visible) return chosen;
    Click(p, Middle(view.Place));
    if (!MenusShown(p, 1)) {
        // What holds the program instead: its windows and the mouse's captor.
        chosen.Menu = "<no View menu; windows:";
        for (HWND w : p.TopWindows())
            if (IsWindowVisible(w)) chosen.Menu += " " + ClassOf(w) + " '" + TextOf(w) + "'";
        chosen.Menu += "; capture: " + ClassOf(p.ThreadInfo().hwndCapture) + ">";
    } else {
        // Group by is the menu's third item: the keys open its submenu at
        // once, where the pointer resting on it waits for a timer that a
        // busy machine may hold back (the pointer's way is checked with
        // the menus and keys).
        Key(p, VK_DOWN);
        Key(p, VK_DOWN);
        Key(p, VK_DOWN);
        Key(p, VK_RIGHT);
        chosen.Menu = MenusShown(p, 2) ? CheckedNames(ItemsOf(PopupMenus(p).back())) : "<no Group by submenu>";
    }
    while (!PopupMenus(p).empty()) Key(p, VK_ESCAPE);
    Key(p, VK_ESCAPE);  // the menu bar's wait for keys
    return chosen;
}

} // namespace

// Each header click sorts by its column, ascending first, then descending,
// starting from the order the list shows at the time.
TEST(ViewsAndFiltersScenario, SortingByHeaderClicks) {
    TProgram p("views-sort");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    HWND list = ListOf(main);
    Key(p, 'N', Alt);    // group by nothing: one run of rows
    std::vector<TSampleTask> rows = SampleRows();
    ASSERT_EQ(Marks(p, list), MarksOf(rows));
    const int centres[] = {160, 395, 520};
    const char* names[] = {"Title", "Tags", "Due"};
    for (bool ascending : {true, false})
        for (int column = 0; column < 3; ++column) {
            Click(p, HeaderAt(list, centres[column]));
            SortAsTheListDoes(rows, column, ascending);
            const std::string shown = Marks(p, list);
            EXPECT_EQ(TiesSorted(rows, shown, column), TiesSorted(rows, MarksOf(rows), column))
                << names[column] << (ascending ? " ascending" : " descending") << ": " << shown;
        }
    Shot(p, main, "views-sorted");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A column dragged by its header to another place, and a column widened
// by its edge, stay so in settings.inicol and in the next start's list.
TEST(ViewsAndFiltersScenario, MovingAndResizingColumnsWithTheMouse) {
    TProgram p("views-columns");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    HWND list = ListOf(main);
    Key(p, 'N', Alt);
    // Due (at 470..570) dragged in front of Title.
    Drag(p, HeaderAt(list, 520), HeaderAt(list, 15), 16);
    // The title column, now second, starts at Due's width: the marks with it.
    EXPECT_EQ(Marks(p, list, 120), SampleMarks([](const TSampleTask&) { return true; }));
    EXPECT_EQ(Marks(p, list, 20), "") << "the title column did not move";
    // Tags (now at 420..570) widened by 40 by its right edge.
    Drag(p, HeaderAt(list, 570), HeaderAt(list, 610), 8);
    Shot(p, main, "views-columns");
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(Inicol(p, "C2p"), "0");
    EXPECT_EQ(Inicol(p, "C0p"), "1");
    EXPECT_EQ(Inicol(p, "C1p"), "2");
    EXPECT_EQ(Inicol(p, "C1w"), "190");
    // The next start shows the same order and widths and keeps them.
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    list = ListOf(main);
    EXPECT_EQ(Marks(p, list, 120), SampleMarks([](const TSampleTask&) { return true; }));
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(Inicol(p, "C2p"), "0");
    EXPECT_EQ(Inicol(p, "C0p"), "1");
    EXPECT_EQ(Inicol(p, "C1w"), "190");
}

// Each grouping key, chosen on the group-by bar with the mouse and by its
// Alt shortcut, groups the rows as its rule says, and the last one chosen
// is the next start's.
TEST(ViewsAndFiltersScenario, GroupingByEachKey) {
    TComScope com;
    TProgram p("views-grouping");
    HWND main = StartTall(p);
    ASSERT_NE(main, nullptr);
    HWND list = ListOf(main);
    HWND bar = nullptr;
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass"))
        if (RectOf(w).right - RectOf(w).left == 272) bar = w;
    ASSERT_NE(bar, nullptr) << DescribeChildren(main);
    const POINT b = ClientOrigin(bar);
    auto at = [&](int x) { return POINT{b.x + x, b.y + 11}; };
    const auto all = [](const TSampleTask&) { return true; };
    struct TMode {
        const char* Name;
        int X;
        WORD Letter;
        std::string Marks;
    };
    const TMode modes[] = {
        {"Nothing", 89, 'N', SampleMarks(all)},
        // Lists in the table's order: Work, Home, Shop.
        {"List", 136, 'L', "HNLN" "NHL" "NLH"},
        // High, then normal, then low priority, each group's caption
        // showing its priority's mark too.
        {"Priority", 208, 'P', "H" "HHH" "N" "NNNN" "L" "LLL"},
        // Dates ascending, no date first: Water, Bread | Invoice | Tap |
        // Report, Milk | Bank | Lamp | Budget | Fence.
        {"Date", 168, 'D', "NL" "N" "H" "HN" "N" "H" "L" "L"},
    };
    for (const TMode& m : modes) {
        Click(p, at(m.X));
        EXPECT_EQ(Marks(p, list), m.Marks) << m.Name << " by the mouse";
        Key(p, 'N', Alt);
        Key(p, m.Letter, Alt);
        EXPECT_EQ(Marks(p, list), m.Marks) << m.Name << " by Alt+" << char(m.Letter);
    }
    // Tags: groups in the order they are met, each task in its tag set's.
    Click(p, at(248));
    const std::string byMouse = Marks(p, list);
    EXPECT_EQ(byMouse.size(), 10u);
    Shot(p, main, "views-grouped-tags");
    Key(p, 'N', Alt);
    Key(p, 'T', Alt);
    EXPECT_EQ(Marks(p, list), byMouse) << "Tags by Alt+T";
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Others", "Group M"), "4");
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Marks(p, ListOf(main)), byMouse) << "the next start groups by tags";

    // Grouped by Nothing and restarted: neither the Nothing button nor View
    // > Group by > Nothing showed as chosen, and Alt+N took the mark off
    // both. The grouping in force is always the one shown as chosen.
    Key(p, 'N', Alt);
    TChosenGrouping chosen = ChosenGrouping(p, main);
    EXPECT_EQ(chosen.Bar, "Nothing");
    EXPECT_EQ(chosen.Menu, "Nothing");
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Marks(p, ListOf(main)), SampleMarks(all)) << "the next start groups by nothing";
    chosen = ChosenGrouping(p, main);
    EXPECT_EQ(chosen.Bar, "Nothing") << "after the restart";
    EXPECT_EQ(chosen.Menu, "Nothing") << "after the restart";
    Key(p, 'N', Alt);
    chosen = ChosenGrouping(p, main);
    EXPECT_EQ(chosen.Bar, "Nothing") << "after Alt+N again";
    EXPECT_EQ(chosen.Menu, "Nothing") << "after Alt+N again";
    EXPECT_EQ(Marks(p, ListOf(main)), SampleMarks(all));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Hide Done, the priority filter, the due-date filters, a list and a tag
// chosen in the side tree, and the find box as it is typed and rubbed out.
TEST(ViewsAndFiltersScenario, EachFilterAndTheFindBox) {
    TProgram p("views-filters");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    HWND list = ListOf(main);
    Key(p, 'N', Alt);
    const std::string everything = SampleMarks([](const TSampleTask&) { return true; });
    ASSERT_EQ(Marks(p, list), everything);
    Key(p, 'D', Ctrl);
    EXPECT_EQ(Marks(p, list), SampleMarks([](const TSampleTask& t) { return !t.Done; })) << "Hide Done";
    Key(p, 'D', Ctrl);
    EXPECT_EQ(Marks(p, list), everything) << "Hide Done off";
    // Ctrl+P runs through Low, Normal, High and back to All.
    for (int priority : {0, 1, 2}) {
        Key(p, 'P', Ctrl);
        EXPECT_EQ(Marks(p, list), SampleMarks([priority](const TSampleTask& t) { return t.Priority == priority; }))
            << "priority " << priority;
    }
    Key(p, 'P', Ctrl);
    EXPECT_EQ(Marks(p, list), everything) << "priority All";
    struct TDates {
        WORD Key;
        const char* Name;
        bool (*Pass)(const TSampleTask&);
    };
    const TDates dates[] = {
        {'0', "Without date set", [](const TSampleTask& t) { return t.DueInDays == NoDue; }},
        {'1', "Today", [](const TSampleTask& t) { return t.DueInDays == 0; }},
        {'2', "Tomorrow", [](const TSampleTask& t) { return t.DueInDays == 1; }},
        {'3', "Yesterday", [](const TSampleTask& t) { return t.DueInDays == -1; }},
        {'O', "Overdue", [](const TSampleTask& t) { return t.DueInDays < 0; }},
        {'A', "All dates", [](const TSampleTask&) { return true; }},
    };
    for (const TDates& d : dates) {
        Key(p, d.Key, Ctrl);
        EXPECT_EQ(Marks(p, list), SampleMarks(d.Pass)) << d.Name;
    }
    // A list, then every list again, in the side tree.
    Click(p, TreeRow(main, 1));
    EXPECT_EQ(Marks(p, list), SampleMarks([](const TSampleTask& t) { return std::string(t.List) == "Work"; }))
        << "the list Work";
    Click(p, TreeRow(main, 0));
    EXPECT_EQ(Marks(p, list), everything) << "All";
    // The find box filters by title as it is typed and rubbed out.
    Key(p, 'F', Ctrl);
    Type(p, "bu");
    auto titled = [](const char* part) {
        return SampleMarks([part](const TSampleTask& t) {
            std::string title = t.Title;
            for (char& c : title) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return title.find(part) != std::string::npos;
        });
    };
    EXPECT_EQ(Marks(p, list), titled("bu")) << "find bu";
    Key(p, VK_BACK);
    EXPECT_EQ(Marks(p, list), titled("b")) << "find b";
    Key(p, VK_BACK);
    EXPECT_EQ(Marks(p, list), everything) << "find rubbed out";
    // A tag in the tags tab: "diy".
    HWND tabs = nullptr;
    for (HWND w : ChildrenOfClass(main, "TXtDockablePanelToolbar.UnicodeClass"))
        if (RectOf(w).right - RectOf(w).left < 300) tabs = w;
    ASSERT_NE(tabs, nullptr);
    const POINT t = ClientOrigin(tabs);
    Click(p, {t.x + 86, t.y + 11});
    Click(p, TreeRow(main, 1));
    Shot(p, main, "views-filter-tag");
    EXPECT_EQ(Marks(p, list), SampleMarks([](const TSampleTask& s) { return std::string(s.Tags) == "diy"; }))
        << "the tag diy";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A Ctrl+click on a group's caption folds every other group, also the one
// holding the focused task; the arrow keys then move among the rows shown
// and raise no error box.
TEST(ViewsAndFiltersScenario, ArrowKeysAfterACtrlClickFoldedTheFocusedTasksGroup) {
    TProgram p("views-folded");
    HWND main = StartTall(p);
    ASSERT_NE(main, nullptr);
    HWND list = ListOf(main);
    // Grouped by list, as at every first start.
    ASSERT_EQ(Marks(p, list), "HNLNNHLNLH");
    const POINT o = ClientOrigin(list);
    // Rows: Work caption at 22, its four tasks from 45; Home's caption
    // below them. A task of Work gets the focus, then Home's caption is
    // Ctrl+clicked.
    Click(p, {o.x + 150, o.y + 107});
    Click(p, {o.x + 100, o.y + 167}, Ctrl);
    Shot(p, main, "views-folded");
    EXPECT_EQ(Marks(p, list), "NHL") << "only Home stays open";
    for (WORD k : {VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR, VK_END, VK_HOME, VK_DOWN, VK_RIGHT}) {
        Key(p, k);
        EXPECT_TRUE(p.NoDialogFor(50)) << "an error box after key " << k;
        if (HWND box = p.WaitDialog(0)) {
            ADD_FAILURE() << ChildTexts(box);
            Key(p, VK_RETURN);
        }
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// The tag table "x", "home"; in Work, "[x]Alpha" (written so in quick
// entry: a title, no tag), Bravo tagged home, Charlie without tags and
// Foxtrot tagged x and home.
std::string OneLetterTagDatabase() {
    const std::string tail = "\xF7Work\xF7" "1/2/2025\xF7\xF7\r\n";
    return "d_id-0123456789\r\nWork\xF7" "0\xF7\r\n<--<*&^Folders^&*>-->\r\nx\r\nhome\r\n<--<*&^Tags^&*>-->\r\n"
           "[x]Alpha\xF7--\xF7" "1000000001" + tail +
           "[home]Bravo\xF7--\xF7" "1000000002" + tail +
           "Charlie\xF7--\xF7" "1000000003" + tail +
           "[x,home]Foxtrot\xF7--\xF7" "1000000004" + tail;
}

} // namespace

// A one-letter tag ticked in the tags panel showed in the Tags column and
// was saved, but choosing it in the side tree left out the tasks that had
// it alone, and grouped by tags they came under a second "No Tags
// specified". It is a tag as any other: the tree's choice shows every
// task that has it, its group is captioned by it, and the title typed as
// "[x]Alpha" stays a title, in the list and in the file.
TEST(ViewsAndFiltersScenario, AOneLetterTagIsChosenAndGroupedAsAnyTag) {
    TProgram p("views-one-letter-tag");
    HWND main = StartOn(p, OneLetterTagDatabase());
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    const std::vector<std::string> titles = {"[x]Alpha", "Bravo", "Charlie", "Foxtrot"};

    // Charlie given "x", the tags panel's first tag.
    Click(p, parts.ListItem(2));
    ASSERT_EQ(parts.ChosenTask(), "Charlie");
    Key(p, 'T', Shift);
    Key(p, VK_SPACE);
    Key(p, VK_RETURN);

    // The tag x chosen in the tree: Charlie and Foxtrot.
    Click(p, TagsTabPoint(main));
    ClickNode(p, parts.Tree, "x");
    Click(p, parts.ListItem(0));
    std::string html = ExportedList(p, main, "tag-x");
    EXPECT_EQ(ExportedTasks(html, titles), (std::vector<std::string>{"Charlie", "Foxtrot"}));

    // Every tag, grouped by tags: one group per set of tags, each its own
    // caption.
    ClickNode(p, parts.Tree, "All");
    Key(p, 'T', Alt);
    Click(p, parts.ListItem(0));
    html = ExportedList(p, main, "by-tags");
    EXPECT_EQ(ExportedGroups(html), (std::vector<std::string>{"No Tags specified", "home", "x", "x, home"}));
    EXPECT_EQ(ExportedTasks(html, titles), titles);

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::map<std::string, TSavedTask> saved = SavedTasks(p.DatabasePath());
    ASSERT_EQ(saved.count("Charlie"), 1u);
    EXPECT_EQ(saved.at("Charlie").Tags, "x");
    ASSERT_EQ(saved.count("[x]Alpha"), 1u);
    EXPECT_EQ(saved.at("[x]Alpha").Tags, "");
    // The lines the program did not change are written as they were read.
    const std::string file = ReadFile(p.DatabasePath());
    for (const char* line : {"[x]Alpha\xF7--\xF7" "1000000001", "[x,home]Foxtrot\xF7--\xF7" "1000000004"})
        EXPECT_NE(file.find(line), std::string::npos) << line;
}

} // namespace qelvo::e2e
