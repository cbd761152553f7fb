// Deleting tasks from the keyboard in a long list: the question and its
// two answers, deleting without the question, and where the list is left
// for the next key: the place in the list is kept and the task after the
// deleted ones is selected, so Del after Del clears a run of tasks.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/ExitsSupport.h"

namespace qelvo::e2e {

namespace {

using TTitles = std::vector<std::string>;

// The background of the selected row in the first-start theme: the
// highlight blended half into the white.
const COLORREF SelectionBlue = RGB(0x97, 0xCA, 0xFC);

const char* DeleteQuestion = "Are you sure you want to delete selected item(s)? (no undo is possible)";


TTitles Without(TTitles titles, const TTitles& gone) {
    for (const std::string& g : gone) titles.erase(std::remove(titles.begin(), titles.end(), g), titles.end());
    return titles;
}

// The rows of the task list: the lower half of the list view's window.
RECT LowerHalfOf(HWND list) {
    RECT r = RectOf(list);
    r.top = (r.top + r.bottom) / 2;
    r.right -= GetSystemMetrics(SM_CXVSCROLL) + 4;
    return r;
}

} // namespace

TEST(DeleteTasksScenario, DelKeepsThePlaceInALongListAndSelectsTheNextTask) {
    TProgram p("delete-tasks");
    const TTitles all = NumberedTitles(60);
    WriteWorkDatabase(p.DatabasePath(), all);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    ASSERT_EQ(lists.size(), 1u);
    HWND list = lists.front();
    // The last rows: Task 59 at the bottom, Task 57 selected two rows up.
    Click(p, CenterOf(list));
    Key(p, VK_END);
    Key(p, VK_UP);
    Key(p, VK_UP);
    const RECT rows = LowerHalfOf(list);
    Shot(p, main, "delete-tasks-before");
    ASSERT_GT(ShareOf(rows, SelectionBlue), 0.02) << "no selected row near the end of the list";

    // No keeps the task; Yes deletes it.
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, DeleteQuestion, "&No"));
    Key(p, 'S', Ctrl);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), all);
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, DeleteQuestion, "&Yes"));
    p.Settle();
    Shot(p, main, "delete-tasks-after");
    // The list still shows its end, with the next task selected there.
    EXPECT_GT(ShareOf(rows, SelectionBlue), 0.02) << "the selection left the end of the list";
    // Del again deletes that next task.
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, DeleteQuestion, "&Yes"));
    Key(p, 'S', Ctrl);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), Without(all, {"Task 57", "Task 58"}));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);

    // Without the question (an option), Del deletes at once; the last
    // task gone, the one before it is selected.
    ASSERT_TRUE(WritePrivateProfileStringA("Options", "Confirm Delete", "0", p.SettingsPath().c_str()));
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    Click(p, CenterOf(ChildrenOfClass(main, "TGvListview").front()));
    Key(p, VK_END);
    Key(p, VK_DELETE);
    EXPECT_TRUE(p.NoDialogFor(200));
    Key(p, VK_DELETE);
    EXPECT_TRUE(p.NoDialogFor(200));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), Without(all, {"Task 56", "Task 57", "Task 58", "Task 59"}));
}

} // namespace qelvo::e2e
