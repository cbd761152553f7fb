// Choosing lists in the side tree repaints only what the choice changed
// (the rows of the old and the new choice, the tab whose caption turns to
// italics, the filter bar's caption): after each click the tree, the tabs
// and the bars show the same as after a paint of the whole window.
#include <gtest/gtest.h>

#include "e2e/ExitsSupport.h"
#include "e2e/RepaintSupport.h"
#include "e2e/SampleDatabase.h"

namespace qelvo::e2e {

TEST(SideTreeRepaintScenario, ChoosingListsShowsWhatAWholeRepaintShows) {
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
