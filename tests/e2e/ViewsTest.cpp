// The task list's views as a user changes them: sorting by header clicks,
// moving and resizing columns with the mouse, grouping by each key, the
// filters and the find box, and a group folded by a Ctrl+click while one
// of its items has the focus. What the list shows is read from the screen:
// each task row shows its priority as an arrow or dot of its own colour,
// so the column of those marks, top to bottom, spells the rows' order
// ("H" high, "N" normal, "L" low).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "e2e/E2eDriver.h"
#include "e2e/SampleDatabase.h"

namespace qelvo::e2e {

namespace {

constexpr COLORREF HighMark = 0x1E1ED2, NormalMark = 0x3CA03C, LowMark = 0xC85A28;

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

std::string Inicol(const TProgram& p, const char* key) {
    return IniValue(p.SettingsPath() + "col", "columns", key);
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

} // namespace

// Each header click sorts by its column, ascending first, then descending,
// starting from the order the list shows at the time.
TEST(ViewsScenario, SortingByHeaderClicks) {
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
TEST(ViewsScenario, MovingAndResizingColumnsWithTheMouse) {
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
TEST(ViewsScenario, GroupingByEachKey) {
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
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Hide Done, the priority filter, the due-date filters, a list and a tag
// chosen in the side tree, and the find box as it is typed and rubbed out.
TEST(ViewsScenario, EachFilterAndTheFindBox) {
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
TEST(ViewsScenario, ArrowKeysAfterACtrlClickFoldedTheFocusedTasksGroup) {
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

} // namespace qelvo::e2e
