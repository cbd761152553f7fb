// What the program paints after each change equals what a whole repaint
// of the window shows: the first paint, the bars as modes and filters
// switch, the task list's header and rows, the side tree, the quick-entry
// frame and the note's caption bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/ClockSupport.h"
#include "e2e/E2eDriver.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

TEST(PaintingScenario, CaptionBarsShowTheirNewCaptionsAfterTreeChoicesARenameAndThemes) {
    TProgram p("bar-paint");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> trees = ChildrenOfClass(main, "TUniTreeView.UnicodeClass");
    ASSERT_EQ(trees.size(), 1u);
    const RECT tr = RectOf(trees.front());
    // Every bar: the menu, quick-entry, filter and group-by bars and the
    // panels' caption bars.
    std::vector<RECT> bars;
    for (const char* cls : {"TXtDockablePanelToolbar.UnicodeClass", "TXtToolbar.UnicodeClass"})
        for (HWND bar : ChildrenOfClass(main, cls)) bars.push_back(RectOf(bar));
    ASSERT_GE(bars.size(), 4u);
    // The rows are 24 pixels high: All, then the lists.
    const POINT all{tr.left + 60, tr.top + 12};
    const POINT second{tr.left + 60, tr.top + 12 + 2 * 24};

    // A list, then All: the filter bar names the list, then all lists.
    const std::vector<COLORREF> atStart = PixelsOfAll(bars);
    MoveTo(p, second);
    Click(p, second);
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, bars)) << "after a list was chosen";
    const std::vector<COLORREF> onList = PixelsOfAll(bars);
    EXPECT_NE(onList, atStart) << "the bars still show all lists";
    MoveTo(p, all);
    Click(p, all);
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, bars)) << "after All was chosen";
    EXPECT_NE(PixelsOfAll(bars), onList) << "the bars still name the list";

    // The chosen list renamed in place: the filter bar takes the new name.
    MoveTo(p, second);
    Click(p, second);
    p.Settle();
    const std::vector<COLORREF> beforeRename = PixelsOfAll(bars);
    Key(p, VK_RETURN);
    Type(p, "A much longer name for the list");
    Key(p, VK_RETURN);
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, bars)) << "after the list was renamed";
    EXPECT_NE(PixelsOfAll(bars), beforeRename) << "the filter bar kept the old name";

    // Other themes lay the bars out anew, the classic Default among them.
    for (size_t theme : {size_t{0}, size_t{6}, size_t{17}}) {
        ChooseTheme(p, main, theme);
        EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, bars)) << "after theme " << theme;
        // And a choice in the tree under that theme.
        MoveTo(p, all);
        Click(p, all);
        EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, bars)) << "after All was chosen under theme " << theme;
        MoveTo(p, second);
        Click(p, second);
        EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, bars)) << "after a list was chosen under theme " << theme;
    }

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// The bar's pixels as the program left them, and after the whole bar was
// invalidated and painted again.
struct TRepaint {
    std::vector<COLORREF> Before;
    std::vector<COLORREF> After;
};

TRepaint RepaintOf(const TProgram& p, HWND bar) {
    p.Settle();
    TRepaint r;
    r.Before = PixelsOf(RectOf(bar));
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    p.Settle();
    r.After = PixelsOf(RectOf(bar));
    return r;
}

} // namespace

TEST(PaintingScenario, ModeSwitchesAndFiltersShowTheirBarsAsAFullRepaintDoes) {
    TProgram p("bars");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_NE(parts.TopEdit, nullptr);
    HWND topBar = GetParent(parts.TopEdit);

    // Add mode: "Find" and "Add:" before the edit.
    Click(p, CenterOf(parts.TopEdit));
    const RECT add = RectOf(parts.TopEdit);

    // Find mode: "Add " and "Find:" move the edit, which keeps its size.
    Key(p, 'F', Ctrl);
    const RECT find = RectOf(parts.TopEdit);
    EXPECT_NE(find.left, add.left) << "the edit stayed where the Add captions left it";
    EXPECT_EQ(find.right - find.left, add.right - add.left);
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    Shot(p, topBar, "bars-find-mode");
    TRepaint r = RepaintOf(p, topBar);
    EXPECT_EQ(r.Before, r.After) << "the bar in Find mode is not what a repaint shows";

    // Back to Add mode: the edit returns to its place.
    Key(p, 'N', Ctrl);
    EXPECT_EQ(RectOf(parts.TopEdit).left, add.left);
    r = RepaintOf(p, topBar);
    EXPECT_EQ(r.Before, r.After) << "the bar in Add mode is not what a repaint shows";
    // And once more into Find mode: the same place as the first time.
    Key(p, 'F', Ctrl);
    EXPECT_EQ(RectOf(parts.TopEdit).left, find.left);
    Key(p, 'N', Ctrl);

    // "Today" (in italics) is narrower than "All dates": the filter bar is
    // the bar whose width changes.
    std::vector<HWND> bars = ChildrenOfClass(main, "TXtToolbar.UnicodeClass");
    std::vector<int> widths;
    for (HWND w : bars) widths.push_back(WidthOf(w));
    Key(p, '1', Ctrl);
    HWND filters = nullptr;
    for (size_t i = 0; i < bars.size(); ++i)
        if (WidthOf(bars[i]) != widths[i]) filters = bars[i];
    ASSERT_NE(filters, nullptr) << "no bar changed its width for Today";
    const int allDates = widths[static_cast<size_t>(std::find(bars.begin(), bars.end(), filters) - bars.begin())];
    Shot(p, filters, "bars-today");
    r = RepaintOf(p, filters);
    EXPECT_EQ(r.Before, r.After) << "the filter bar with Today is not what a repaint shows";
    // (Tab takes the keyboard from the quick-entry box, where Ctrl+A
    // selects the box's text, on to the task list.)
    Key(p, VK_TAB);
    Key(p, 'A', Ctrl);
    EXPECT_EQ(WidthOf(filters), allDates);
    r = RepaintOf(p, filters);
    EXPECT_EQ(r.Before, r.After) << "the filter bar with All dates is not what a repaint shows";

    // The priority filter: "Priority: Low" in italics, then back to All.
    Key(p, 'P', Ctrl);
    EXPECT_NE(WidthOf(filters), allDates);
    r = RepaintOf(p, filters);
    EXPECT_EQ(r.Before, r.After) << "the filter bar with a priority is not what a repaint shows";
    for (int i = 0; i < 3; ++i) Key(p, 'P', Ctrl);
    EXPECT_EQ(WidthOf(filters), allDates);

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(PaintingScenario, TheQuickEntryFrameFollowsTheMouseAndTheKeyboardAsAWholeRepaintShowsIt) {
    TProgram p("edit-frame-repaint");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts window(main);
    ASSERT_NE(window.TopEdit, nullptr);
    ASSERT_NE(window.Tree, nullptr);
    const RECT edit = RectOf(window.TopEdit);
    const std::vector<RECT> parts{RectOf(GetParent(window.TopEdit))};
    const POINT over{(edit.left + edit.right) / 2, (edit.top + edit.bottom) / 2};

    // The first-start theme, then Default (the classic look).
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "first-start theme" : "Default theme");
        if (pass == 1) ChooseTheme(p, main, 0);
        // The keyboard goes to the tree, then into the box and out again.
        MoveTo(p, window.TreeRow(0));
        Click(p, window.TreeRow(0));
        EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts)) << "after the tree took the keyboard";
        Key(p, 'F', Ctrl);
        EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts)) << "after Find put the keyboard in the box";
        Key(p, 'N', Ctrl);
        MoveTo(p, window.TreeRow(0));
        Click(p, window.TreeRow(0));
        EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts)) << "after the box lost the keyboard";
        // The mouse over the box and away from it.
        MoveTo(p, over);
        EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts)) << "with the mouse over the box";
        MoveTo(p, window.TreeRow(0));
        EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts)) << "after the mouse left the box";
    }

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// Thirty lists (more than the side tree shows at once, so it scrolls) with
// two tasks each; the first task of every third list is due today.
void WriteManyListsDatabase(const std::string& path) {
    MakeFolderOf(path);
    TuData data;
    SYSTEMTIME today{};
    GetLocalTime(&today);
    double due = 0;
    SystemTimeToVariantTime(&today, &due);
    for (int l = 0; l < 30; ++l) {
        char list[16];
        std::snprintf(list, sizeof list, "List %02d", l);
        data.Folders->Add(std::string(list) + "\xF7" "0\xF7");
        for (int t = 0; t < 2; ++t) {
            TuTask* task = new TuTask();
            task->Title = std::string("Task ") + std::to_string(t) + " of " + list;
            task->Folder = std::string(list);
            if (t == 0 && l % 3 == 0) task->Due = static_cast<double>(static_cast<int>(due));
            data.Tasks->AddObject(task->Title, task);
        }
    }
    data.SaveToFile(path);
}

} // namespace

TEST(PaintingScenario, LeavingTheSideTreeForTheFindBoxShowsWhatAWholeRepaintShows) {
    TProgram p("find-mode-repaint");
    WriteManyListsDatabase(p.DatabasePath());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts window(main);
    ASSERT_NE(window.TopEdit, nullptr);
    const std::vector<HWND> trees = ChildrenOfClass(main, "TUniTreeView.UnicodeClass");
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    ASSERT_EQ(trees.size(), 1u);
    ASSERT_EQ(lists.size(), 1u);
    HWND tree = trees.front();
    HWND list = lists.front();
    ASSERT_TRUE(GetWindowLongA(tree, GWL_STYLE) & WS_VSCROLL) << "the side tree has no scroll bar to keep";
    const RECT tr = RectOf(tree);
    // The tree right of the list icons (the system's tree draws a chosen
    // row's icon one pixel into the row above, which only a paint of that
    // row shows) with its scroll bar, the bars at the top and the list.
    std::vector<RECT> parts{RECT{tr.left + 30, tr.top, tr.right, tr.bottom}, RectOf(list)};
    for (const char* bars : {"TXtDockablePanelToolbar.UnicodeClass", "TXtToolbar.UnicodeClass"})
        for (HWND bar : ChildrenOfClass(main, bars)) parts.push_back(RectOf(bar));
    // The rows are 24 pixels high: All, then the lists.
    const POINT all{tr.left + 60, tr.top + 12};
    const POINT second{tr.left + 60, tr.top + 12 + 2 * 24};
    // The list's rows below its header, left of where its scroll bar goes
    // (the header's last column takes a share of that room in some
    // layouts and not in others, before this scenario was written too).
    RECT rows = RectOf(list);
    rows.top += 24;
    rows.right -= 24;

    // From the tree (a list chosen there) into Find mode and back: an
    // empty find box filters nothing, a search shows fewer tasks, and
    // leaving Find mode shows the list as it was.
    MoveTo(p, second);
    Click(p, second);
    ASSERT_EQ(p.Focus(), tree);
    p.Settle();
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts)) << "a list chosen";
    const std::vector<COLORREF> oneList = PixelsOf(rows);
    const std::vector<COLORREF> focused = PixelsOf(parts.front());
    Key(p, 'F', Ctrl);
    EXPECT_EQ(p.Focus(), window.TopEdit);
    Shot(p, main, "find-mode-from-tree");
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts)) << "Find mode entered from the tree";
    EXPECT_NE(PixelsOf(parts.front()), focused) << "the tree's chosen row still looks focused";
    EXPECT_EQ(PixelsOf(rows), oneList) << "an empty find box changed the list";
    Type(p, std::string("task 1"));
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts)) << "a search typed";
    EXPECT_NE(PixelsOf(rows), oneList) << "the search filtered nothing";
    Key(p, 'N', Ctrl);
    EXPECT_EQ(p.Focus(), window.TopEdit);
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts)) << "Find mode left";
    EXPECT_EQ(PixelsOf(rows), oneList) << "the list after Find mode is not the list before it";

    // All chosen in the tree, then the date filters from the tree: Today
    // shows fewer tasks, All dates every task again (the list's scroll bar
    // comes back); the tree keeps the keyboard.
    MoveTo(p, all);
    Click(p, all);
    ASSERT_EQ(p.Focus(), tree);
    p.Settle();
    const std::vector<COLORREF> everything = PixelsOf(rows);
    Key(p, '1', Ctrl);
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts)) << "Today";
    EXPECT_NE(PixelsOf(rows), everything) << "Today filtered nothing";
    Key(p, 'A', Ctrl);
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts)) << "All dates after Today";
    EXPECT_EQ(PixelsOf(rows), everything) << "All dates after Today is not the list before Today";
    EXPECT_EQ(p.Focus(), tree);

    // Into Find mode with All chosen, and out again from the find box.
    Key(p, 'F', Ctrl);
    EXPECT_EQ(p.Focus(), window.TopEdit);
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts)) << "Find mode entered with All chosen";
    EXPECT_EQ(PixelsOf(rows), everything);
    Key(p, 'N', Ctrl);
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts)) << "Find mode left with All chosen";
    EXPECT_EQ(PixelsOf(rows), everything);

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// The layout the program writes at its first exit, with a theme.
std::string SettingsWithTheme(int theme) {
    return "[Form]\r\nWidth=804\r\nHeight=500\r\nLeft=110\r\nTop=134\r\nMaximized=0\r\nTheme=" + std::to_string(theme) +
           "\r\n[Org Panel]\r\nDockedWidth=200\r\n[Note Panel]\r\nDockedHeight=80\r\nMin=0\r\n"
           "[Group By Panel]\r\nvisible=1\r\n[Filters Panel]\r\nvisible=1\r\n";
}

// How far two colours lie apart, channel by channel.
int Distance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

// Starts the program on 60 tasks in 30 lists (both the task list and the
// side tree scroll) and checks the window once it has painted: active,
// where the layout put it, and showing what a whole repaint shows.
void CheckFirstPaint(int theme) {
    TProgram p("first-paint-" + std::to_string(theme));
    MakeFolderOf(p.DatabasePath());
    {
        TuData data;
        for (int list = 0; list < 30; ++list)
            data.Folders->Add("List " + std::to_string(list) + "\xF7" "0\xF7");
        for (const std::string& title : NumberedTitles(60)) {
            TuTask* task = new TuTask();
            task->Title = title;
            task->Folder = "List " + title.substr(title.size() - 1);
            data.Tasks->AddObject(title, task);
        }
        data.SaveToFile(p.DatabasePath());
    }
    WriteFile(p.SettingsPath(), SettingsWithTheme(theme));
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    p.Settle();
    // Shown as a normal window is: active, in front, with the keyboard.
    EXPECT_TRUE(p.BecomesActive(main));
    EXPECT_TRUE(BecomesForeground(main));
    EXPECT_TRUE(p.Focus() == main || IsChild(main, p.Focus()));
    EXPECT_FALSE(IsIconic(main) || IsZoomed(main));
    const RECT frame = RectOf(main);
    // The caption shows the active look (its gradient's end, beside the
    // buttons), which the activation on the way to showing gave it.
    const COLORREF caption = PixelAt(POINT{frame.right - 90, frame.top + 6});
    EXPECT_LT(Distance(caption, GetSysColor(COLOR_GRADIENTACTIVECAPTION)),
              Distance(caption, GetSysColor(COLOR_GRADIENTINACTIVECAPTION)))
        << std::hex << caption;
    EXPECT_EQ(frame.left, 110);
    EXPECT_EQ(frame.top, 134);
    EXPECT_EQ(frame.right - frame.left, 804);
    EXPECT_EQ(frame.bottom - frame.top, 500);
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_TRUE(HasVerticalBar(lists.front()));
    const std::vector<HWND> trees = ChildrenOfClass(main, "TUniTreeView.UnicodeClass");
    ASSERT_EQ(trees.size(), 1u);
    EXPECT_TRUE(HasVerticalBar(trees.front()));
    // Every window's frame, background and content, the window's own frame
    // and caption among them.
    Shot(p, main, "first-paint-" + std::to_string(theme));
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, {frame})) << "theme " << theme;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace

TEST(PaintingScenario, TheFirstPaintShowsWhatAWholeRepaintShows) {
    CheckFirstPaint(17);
    CheckFirstPaint(0);
}

namespace {

// The list view's client area on the screen.
RECT ClientOnScreen(HWND list) {
    RECT r{};
    GetClientRect(list, &r);
    POINT origin{0, 0};
    ClientToScreen(list, &origin);
    OffsetRect(&r, origin.x, origin.y);
    return r;
}

// The header bar's strip at the top of the client area (the bar is 21
// pixels tall in the first-start font).
RECT HeaderStripOf(HWND list) {
    RECT r = ClientOnScreen(list);
    r.bottom = r.top + 20;
    return r;
}

// Tools > Theme > Default: the first entry of the theme menu.
void ChooseDefaultTheme(TProgram& p, HWND main) {
    const std::vector<HWND> bars = ChildrenOfClass(main, "TXtToolbar.UnicodeClass");
    ASSERT_FALSE(bars.empty());
    const RECT menuBar = RectOf(bars[0]);
    Click(p, POINT{menuBar.left + 88, menuBar.top + 11});
    Key(p, VK_UP);    // Options...
    Key(p, VK_UP);    // Theme
    Key(p, VK_RIGHT);
    Key(p, VK_RETURN);
}

} // namespace

TEST(PaintingScenario, TheHeaderShowsAsAWholeRepaintAfterEachChangeOfTheListOrOfItself) {
    TProgram p("header-repaint");
    WriteWorkDatabase(p.DatabasePath(), NumberedTitles(50));
    WriteFile(p.SettingsPath() + "col",
              "[columns]\r\nC0p=0\r\nC0w=260\r\nC0v=1\r\nC1p=1\r\nC1w=150\r\nC1v=1\r\nC2p=2\r\nC2w=100\r\nC2v=1\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    ASSERT_EQ(lists.size(), 1u);
    HWND list = lists.front();
    const RECT client = ClientOnScreen(list);
    auto header = [&](int x) { return POINT{client.left + x, client.top + 10}; };
    const POINT rows{client.left + 120, client.top + 120};
    // The client area: the header and the rows (a scroll bar's arrow
    // clicked keeps a look of its own until the frame is painted again).
    auto listShowsAsRepaint = [&] { return ShowsAsAWholeRepaint(p, main, {ClientOnScreen(list)}); };

    // Filters refill the list under a header that stays as it was.
    MoveTo(p, rows);
    const std::vector<COLORREF> unsorted = PixelsOf(HeaderStripOf(list));
    Key(p, 'D', Ctrl);
    EXPECT_TRUE(listShowsAsRepaint()) << "Hide Done on";
    Key(p, 'D', Ctrl);
    EXPECT_TRUE(listShowsAsRepaint()) << "Hide Done off";
    EXPECT_TRUE(PixelsOf(HeaderStripOf(list)) == unsorted) << "the header changed with a filter";

    // A click on Title sorts: the sort mark comes, under the mouse; the
    // mouse leaves the header; another click turns the sort round.
    Click(p, header(40));
    Shot(p, main, "header-repaint-sorted");
    EXPECT_TRUE(listShowsAsRepaint()) << "sorted, the mouse over the header";
    MoveTo(p, rows);
    EXPECT_TRUE(listShowsAsRepaint()) << "sorted, the mouse over the rows";
    const std::vector<COLORREF> ascending = PixelsOf(HeaderStripOf(list));
    EXPECT_TRUE(ascending != unsorted) << "no sort mark";
    Click(p, header(80));
    MoveTo(p, rows);
    EXPECT_TRUE(listShowsAsRepaint()) << "sorted the other way";
    EXPECT_TRUE(PixelsOf(HeaderStripOf(list)) != ascending) << "the sort mark did not turn";

    // Title narrowed by its edge.
    Drag(p, header(260), header(200));
    MoveTo(p, rows);
    EXPECT_TRUE(listShowsAsRepaint()) << "a column resized";

    // Today shows no task and no scroll bar, so the header is wider; all
    // dates bring the bar back.
    ASSERT_TRUE(HasVerticalBar(list));
    Key(p, '1', Ctrl);
    EXPECT_FALSE(HasVerticalBar(list));
    EXPECT_TRUE(listShowsAsRepaint()) << "the scroll bar went";
    Key(p, 'A', Ctrl);
    EXPECT_TRUE(HasVerticalBar(list));
    EXPECT_TRUE(listShowsAsRepaint()) << "the scroll bar came";

    // Title wider than the list: a bar to scroll sideways, and a click on
    // its right arrow moves the header with the rows.
    Drag(p, header(200), header(client.right - client.left - 20));
    MoveTo(p, rows);
    ASSERT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);
    const RECT widened = ClientOnScreen(list);
    const std::vector<COLORREF> left = PixelsOf(HeaderStripOf(list));
    Click(p, POINT{widened.right - GetSystemMetrics(SM_CXHSCROLL) / 2,
                   widened.bottom + GetSystemMetrics(SM_CYHSCROLL) / 2});
    MoveTo(p, rows);
    Shot(p, main, "header-repaint-scrolled-sideways");
    EXPECT_TRUE(PixelsOf(HeaderStripOf(list)) != left) << "the header did not scroll";
    EXPECT_TRUE(listShowsAsRepaint()) << "scrolled sideways";
    Key(p, 'D', Ctrl);
    EXPECT_TRUE(listShowsAsRepaint()) << "Hide Done while scrolled sideways";

    // Another theme.
    ChooseDefaultTheme(p, main);
    MoveTo(p, rows);
    Shot(p, main, "header-repaint-default-theme");
    EXPECT_TRUE(listShowsAsRepaint()) << "the Default theme";
    Key(p, 'D', Ctrl);
    EXPECT_TRUE(listShowsAsRepaint()) << "Hide Done in the Default theme";

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The note panel's caption bar lost the lower rows of its look (painted
// white) when choosing a task with a note changed its caption: the bar
// painted the caption alone. Checked with the theme of a first start and
// with the classic Default theme (Tools > Theme, its first entry).
TEST(PaintingScenario, ChoosingATaskRepaintsTheNoteCaptionBarWhole) {
    TProgram p("mend-more-note-caption");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    const std::vector<HWND> captions = ChildrenOfClass(parts.NotePanel, "TXtDockablePanelToolbar.UnicodeClass");
    ASSERT_EQ(captions.size(), 1u);
    const RECT noteBar = RectOf(captions[0]);
    for (const char* theme : {"first start", "Default"}) {
        if (std::string(theme) == "Default") {
            OpenMainMenu(p, main, ToolsMenuX);
            Key(p, VK_UP);    // Options...
            Key(p, VK_UP);    // Theme
            Key(p, VK_RIGHT);
            Key(p, VK_RETURN);    // its first entry
        }
        for (size_t task : {size_t(1), size_t(0), size_t(4)}) {
            Click(p, PreparedTaskPoint(main, task));
            // Painting waits for an empty queue.
            Sleep(150);
            EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, {noteBar})) << theme << ", task " << task;
        }
        Shot(p, main, std::string("mend-more-note-caption-") + theme);
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Form", "Theme"), "0");
}

namespace {

// The lists Work (fifty tasks, more than the list shows at once) and Home
// (two tasks), in that order.
void WriteTwoListsDatabase(const std::string& path) {
    MakeFolderOf(path);
    TuData data;
    data.Folders->Add("Work\xF7" "0\xF7");
    data.Folders->Add("Home\xF7" "0\xF7");
    auto add = [&data](const std::string& title, const char* list) {
        TuTask* task = new TuTask();
        task->Title = title;
        task->Folder = std::string(list);
        data.Tasks->AddObject(title, task);
    };
    for (int i = 0; i < 50; ++i) {
        char title[16];
        std::snprintf(title, sizeof title, "Task %02d", i);
        add(title, "Work");
    }
    add("Sweep", "Home");
    add("Cook", "Home");
    data.SaveToFile(path);
}

} // namespace

TEST(PaintingScenario, TheHeaderFollowsTheScrollBarComingAndGoing) {
    TProgram p("mend-header");
    WriteTwoListsDatabase(p.DatabasePath());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    const std::vector<HWND> trees = ChildrenOfClass(main, "TUniTreeView.UnicodeClass");
    ASSERT_EQ(lists.size(), 1u);
    ASSERT_EQ(trees.size(), 1u);
    HWND list = lists.front();
    const RECT tr = RectOf(trees.front());
    // The rows of the side tree are 24 pixels high: All, Work, Home.
    const POINT all{tr.left + 60, tr.top + 12};
    const POINT work{tr.left + 60, tr.top + 12 + 24};
    const POINT home{tr.left + 60, tr.top + 12 + 48};

    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, {RectOf(list)})) << "at the start";
    struct Step {
        const char* name;
        POINT at;
        bool bar;
    };
    // After each step the list, its header and its groups' bands are laid
    // out for the width the list has now, with or without its bar: as a
    // repaint shows them, and as a second refresh that changes nothing
    // (grouping by nothing and by lists again, which keeps the bar as it
    // is) lays them out.
    auto sameAfterRegrouping = [&](const char* name) {
        EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, {RectOf(list)})) << name;
        const std::vector<COLORREF> shown = PixelsOf(RectOf(list));
        Key(p, 'N', Alt);
        Key(p, 'L', Alt);
        p.Settle();
        EXPECT_TRUE(SamePixels(shown, PixelsOf(RectOf(list)), {RectOf(list)}))
            << name << ": a second refresh lays the list out otherwise";
        Shot(p, main, std::string("mend-header-") + name + "-regrouped");
    };
    for (const Step& step : {Step{"Home", home, false}, Step{"Work", work, true}, Step{"Home again", home, false},
                             Step{"All", all, true}}) {
        Click(p, step.at);
        p.Settle();
        EXPECT_EQ(HasVerticalBar(list), step.bar) << step.name;
        Shot(p, main, std::string("mend-header-") + step.name);
        sameAfterRegrouping(step.name);
    }
    // Today (no task has a date) and all dates again, from the keyboard.
    Key(p, '1', Ctrl);
    EXPECT_FALSE(HasVerticalBar(list));
    sameAfterRegrouping("Today");
    Key(p, 'A', Ctrl);
    EXPECT_TRUE(HasVerticalBar(list));
    sameAfterRegrouping("All dates");

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// The rows of the task list, without the header and the scroll bar.
RECT RowsOf(HWND list) {
    RECT r = RectOf(list);
    r.top += 40;
    r.right -= GetSystemMetrics(SM_CXVSCROLL) + 4;
    return r;
}

// The scroll bar beside the rows, in screen coordinates.
RECT VerticalBarOf(HWND list) {
    RECT r = RectOf(list);
    r.left = r.right - GetSystemMetrics(SM_CXVSCROLL) - 2;
    r.right -= 2;
    r.top += 20;
    r.bottom -= 20;
    return r;
}

// Whether the list shows what a paint of the whole window shows: its
// pixels as the program left them, then after all of it was invalidated.
// Frame: RDW_FRAME to repaint the window's frame too, 0 for its client
// area alone.
::testing::AssertionResult ShowsAsARepaint(const TProgram& p, HWND list, UINT frame = RDW_FRAME) {
    p.Settle();
    const std::vector<COLORREF> before = PixelsOf(RectOf(list));
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | frame | RDW_ALLCHILDREN);
    p.Settle();
    const std::vector<COLORREF> after = PixelsOf(RectOf(list));
    if (after == before) return ::testing::AssertionSuccess();
    // Where it differs, for the one who reads the failure.
    const RECT r = RectOf(list);
    const int width = std::max<int>(r.right - r.left, 1);
    size_t differ = 0;
    size_t first = after.size();
    for (size_t i = 0; i < after.size() && i < before.size(); ++i)
        if (after[i] != before[i]) {
            ++differ;
            if (first == after.size()) first = i;
        }
    auto failure = ::testing::AssertionFailure() << "the window differs from a repaint of it in " << differ << " pixels";
    if (first < after.size())
        failure << ", the first at " << first % width << "," << first / width << " (" << std::hex << before[first]
                << " before, " << after[first] << " after)";
    return failure;
}

} // namespace

TEST(PaintingScenario, FocusFiltersAndDeletingRepaintTheListAsItIsNow) {
    TProgram p("repaint");
    WriteWorkDatabase(p.DatabasePath(), NumberedTitles(50));
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    ASSERT_EQ(lists.size(), 1u);
    HWND list = lists.front();
    const std::vector<HWND> trees = ChildrenOfClass(main, "TUniTreeView.UnicodeClass");
    ASSERT_EQ(trees.size(), 1u);
    HWND tree = trees.front();
    const RECT rows = RowsOf(list);

    // A row selected in the focused list shows the selection's colour.
    Click(p, CenterOf(list));
    Shot(p, main, "repaint-selected");
    const double selected = ShareOf(rows, SelectionBlue);
    ASSERT_GT(selected, 0.01) << "no selected row";
    // The focus in the side tree (on the entry already selected there, so
    // the list keeps its tasks): the row keeps its place and its colour
    // (the chosen task shows without the keyboard too); back in the list,
    // it is still there.
    const RECT tr = RectOf(tree);
    Click(p, POINT{tr.left + 60, tr.top + 12});
    Shot(p, main, "repaint-focus-in-tree");
    EXPECT_TRUE(WaitUntil([&] { return std::abs(ShareOf(rows, SelectionBlue) - selected) < 0.005; }))
        << "the row does not show chosen while the tree has the keyboard";
    Click(p, CenterOf(list));
    EXPECT_NEAR(ShareOf(rows, SelectionBlue), selected, 0.005) << "the selection did not come back";

    // Today shows no task (none has a date) and no scroll bar; all dates
    // bring the tasks and the bar back, drawn.
    ASSERT_TRUE(HasVerticalBar(list));
    const std::vector<COLORREF> bar = PixelsOf(VerticalBarOf(list));
    Key(p, '1', Ctrl);
    Shot(p, main, "repaint-today");
    EXPECT_FALSE(HasVerticalBar(list));
    EXPECT_EQ(ShareOf(rows, SelectionBlue), 0.0);
    Key(p, 'A', Ctrl);
    Shot(p, main, "repaint-all-dates");
    EXPECT_TRUE(HasVerticalBar(list));
    EXPECT_EQ(PixelsOf(VerticalBarOf(list)), bar) << "the scroll bar is not drawn as before";
    EXPECT_TRUE(ShowsAsARepaint(p, list)) << "all dates after today";

    // Del takes the selected task away and selects the next one, painted.
    Click(p, CenterOf(list));
    const double before = ShareOf(rows, SelectionBlue);
    ASSERT_GT(before, 0.01);
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, "Are you sure you want to delete selected item(s)? (no undo is possible)", "&Yes"));
    Shot(p, main, "repaint-deleted");
    EXPECT_NEAR(ShareOf(rows, SelectionBlue), before, 0.005) << "no selected row after Del";

    // A task added by quick entry to the list Work shows in its group.
    Click(p, POINT{tr.left + 60, tr.top + 12 + 24});
    Key(p, 'N', Ctrl);
    Type(p, std::string("Task 99"));
    Key(p, VK_RETURN);
    Shot(p, main, "repaint-added");
    SaveByKeys(p);
    const std::vector<std::string> saved = TitlesIn(p.DatabasePath());
    EXPECT_NE(std::find(saved.begin(), saved.end(), "Task 99"), saved.end());
    Click(p, CenterOf(list));

    // The end of the list and back: the thumb is drawn where it moved.
    Key(p, VK_HOME);
    const std::vector<COLORREF> top = PixelsOf(VerticalBarOf(list));
    Key(p, VK_END);
    Shot(p, main, "repaint-end");
    const std::vector<COLORREF> end = PixelsOf(VerticalBarOf(list));
    EXPECT_NE(end, top) << "the thumb did not move down";
    Key(p, VK_HOME);
    EXPECT_NE(PixelsOf(VerticalBarOf(list)), end) << "the thumb did not move up";

    // Each grouping (date, priority, tags, none, back to lists) shows the
    // list anew, as a repaint of it shows it.
    std::vector<COLORREF> shown = PixelsOf(RectOf(list));
    for (char key : {'D', 'P', 'T', 'N', 'L'}) {
        Key(p, key, Alt);
        EXPECT_TRUE(ShowsAsARepaint(p, list)) << "grouping Alt+" << key;
        const std::vector<COLORREF> now = PixelsOf(RectOf(list));
        EXPECT_NE(now, shown) << "grouping Alt+" << key << " changed nothing";
        shown = now;
    }
    Shot(p, main, "repaint-grouped-by-list");

    // From the list Work with one of its tasks chosen (its note shown) to
    // All: the whole list comes with its header, and the note's caption
    // bar says no task is chosen, each as a repaint of it shows it (the
    // caption bar's client area: a forced repaint of its frame draws its
    // lower edge grey where the program's own paints, before this scenario
    // was written too, leave it white).
    Click(p, POINT{tr.left + 60, tr.top + 12 + 24});
    Click(p, POINT{CenterOf(list).x, RectOf(list).top + 66});
    const std::vector<HWND> captions = ChildrenOfClass(main, "TXtDockablePanelToolbar.UnicodeClass");
    ASSERT_FALSE(captions.empty());
    std::vector<std::vector<COLORREF>> chosen;
    for (HWND caption : captions) chosen.push_back(PixelsOf(RectOf(caption)));
    Click(p, POINT{tr.left + 60, tr.top + 12});
    Shot(p, main, "repaint-all-from-a-list");
    EXPECT_TRUE(ShowsAsARepaint(p, list)) << "All after a list";
    bool captionChanged = false;
    for (size_t i = 0; i < captions.size(); ++i) {
        EXPECT_TRUE(ShowsAsARepaint(p, captions[i], 0)) << "caption bar " << i;
        captionChanged = captionChanged || PixelsOf(RectOf(captions[i])) != chosen[i];
    }
    EXPECT_TRUE(captionChanged) << "no caption bar changed with the choice of All";

    SaveByKeys(p);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(PaintingScenario, ChoosingListsShowsWhatAWholeRepaintShows) {
    TProgram p("side-tree-repaint");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> trees = ChildrenOfClass(main, "TUniTreeView.UnicodeClass");
    ASSERT_EQ(trees.size(), 1u);
    HWND tree = trees.front();
    const RECT tr = RectOf(tree);
    // The tree's rows right of the list icons (the system's tree draws a
    // selected row's icon one pixel into the row above, which only a paint
    // of that row shows), the panel tabs and the bars at the top.
    std::vector<RECT> parts{RECT{tr.left + 30, tr.top, tr.right - 24, tr.bottom}};
    for (const char* bars : {"TXtDockablePanelToolbar.UnicodeClass", "TXtToolbar.UnicodeClass"})
        for (HWND bar : ChildrenOfClass(main, bars)) parts.push_back(RectOf(bar));
    // The rows are 24 pixels high: All, then the lists.
    const POINT all{tr.left + 60, tr.top + 12};
    const POINT first{tr.left + 60, tr.top + 12 + 24};
    const POINT second{tr.left + 60, tr.top + 12 + 2 * 24};
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts)) << "as started";

    const std::vector<COLORREF> atStart = PixelsOfAll(parts);
    for (POINT at : {second, first, all, second}) {
        MoveTo(p, at);
        Click(p, at);
        EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts)) << "after a click on row " << (at.y - tr.top) / 24;
    }
    EXPECT_NE(PixelsOfAll(parts), atStart) << "the tree, tabs and filter bar show the new choice";

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
