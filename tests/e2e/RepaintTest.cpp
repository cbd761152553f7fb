// What the task list shows after the actions that change only part of it
// or change it twice in one go: the selection's colour when the focus
// leaves the list and comes back, the scroll bar when a filter empties the
// list and fills it again and when the list moves to its end, the list
// after a task is deleted or added, the list grouped anew, all tasks
// chosen in the side tree (with the note's caption bar). Each of these
// is painted once, when the action is done, and must show the same as
// after any other paint.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "e2e/ExitsSupport.h"
#include "e2e/RepaintSupport.h"

namespace qelvo::e2e {

namespace {

// The background of the selected row in the first-start theme: the
// highlight blended half into the white, with the focus or without.
const COLORREF SelectionBlue = RGB(0x97, 0xCA, 0xFC);

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

TEST(RepaintScenario, FocusFiltersAndDeletingRepaintTheListAsItIsNow) {
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
    Key(p, 'S', Ctrl);
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

    Key(p, 'S', Ctrl);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
