// Entering and leaving Find mode while the side tree has the keyboard, and
// the date filters chosen from there: the tree loses the focus (its chosen
// row turns to the inactive colour, its scroll bar stays as it was), the
// quick-entry bar changes its captions and the list is filled anew. After
// each step the tree, the bars and the list show what a paint of the whole
// window shows, and the keyboard is where the step puts it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e/ExitsSupport.h"
#include "e2e/RepaintSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

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

TEST(FindModeRepaintScenario, LeavingTheSideTreeForTheFindBoxShowsWhatAWholeRepaintShows) {
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

} // namespace qelvo::e2e
