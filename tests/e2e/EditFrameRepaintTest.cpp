// The quick-entry box lights its frame while the mouse is over it or it has
// the keyboard, and puts the light out when both have left. After each of
// these steps, in the first-start theme and in the classic Default one,
// the box and the bar around it show what a paint of the whole window
// shows.
#include <gtest/gtest.h>

#include <vector>

#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

TEST(EditFrameRepaintScenario, TheQuickEntryFrameFollowsTheMouseAndTheKeyboardAsAWholeRepaintShowsIt) {
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

} // namespace qelvo::e2e
