// The bars whose captions follow the user's choices (the filter bar naming
// the chosen list, the note panel's caption naming the chosen task, the
// side panel's tabs) are painted with the rest of the window once the
// choice is made: after choices in the side tree, a list renamed in place
// and other themes they show their new captions, as a paint of the whole
// window shows them, with nothing left unpainted.
#include <gtest/gtest.h>

#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/SampleDatabase.h"

namespace qelvo::e2e {

TEST(BarPaintScenario, CaptionBarsShowTheirNewCaptionsAfterTreeChoicesARenameAndThemes) {
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

} // namespace qelvo::e2e
