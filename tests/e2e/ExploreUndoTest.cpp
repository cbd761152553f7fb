// Undo and the edit menus in the places a user types, and what the window
// and the file show afterwards: the title editor changed from its own menu.
#include <gtest/gtest.h>

#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

int WidthOf(HWND w) {
    const RECT r = RectOf(w);
    return r.right - r.left;
}

} // namespace

// A title changed from the editor's own menu (Undo, Paste) kept the
// editor at the size of the text before: the title taken back by Undo
// showed only its last letters ("ort" of "Write report"), a long title
// pasted likewise. The editor now fits its text however the text changed.
TEST(ExploreUndoScenario, TheTitleEditorFitsATitleTheEditMenuPutBack) {
    TProgram p("undo-title-menu");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(1));
    Key(p, VK_F2);
    const HWND editor = p.Focus();
    ASSERT_NE(editor, parts.List) << "no title editor opened";
    ASSERT_EQ(TextOf(editor), "Write report");
    const int fitting = WidthOf(editor);
    Type(p, "X");
    // The editor fits its text a moment after the change: waited for.
    ASSERT_TRUE(WaitUntil([&] { return WidthOf(editor) < fitting; }))
        << "the editor did not fit the short text typed: " << WidthOf(editor) << " wide";

    ChooseFromEditMenu(p, editor, 'U');
    EXPECT_EQ(TextOf(editor), "Write report");
    EXPECT_TRUE(WaitUntil([&] { return WidthOf(editor) == fitting; }))
        << "the title put back by Undo does not fit its editor: " << WidthOf(editor) << " against " << fitting;
    Shot(p, main, "undo-title-menu-undo");

    Key(p, 'A', Ctrl);
    PutOnClipboard(L"Write the report for the board");
    ChooseFromEditMenu(p, editor, 'P');
    EXPECT_EQ(TextOf(editor), "Write the report for the board");
    EXPECT_TRUE(WaitUntil([&] { return WidthOf(editor) > fitting + 60; }))
        << "the pasted title does not fit its editor: " << WidthOf(editor) << " wide";
    Key(p, VK_RETURN);
    EXPECT_EQ(p.Focus(), parts.List);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_NE(TaskLine(ReadFile(p.DatabasePath()), "Write the report for the board"), "");
}

} // namespace qelvo::e2e
