// The quick-entry bar and find mode as a user meets them together with the
// task list, found faulty by exploring the real program: where a new task
// shows, and what editing from the find results leaves behind.
#include <gtest/gtest.h>

#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The task shown in the list's lowest row: a click on each row from the
// bottom up until one chooses a task ("Note" when none did).
std::string TaskInLowestRow(TProgram& p, const TMainWindowParts& parts) {
    const RECT list = RectOf(parts.List);
    for (int y = list.bottom - 13; y > list.top + 30; y -= 23) {
        Sleep(GetDoubleClickTime() + 50);
        Click(p, POINT{list.left + 150, y});
        if (parts.ChosenTask() != "Note") return parts.ChosenTask();
    }
    return parts.ChosenTask();
}

} // namespace

// A task added from the quick-entry bar goes last in its list or group,
// below the rows the list shows once it has a few tasks: the list stayed
// where it was (a grouped one at its top), so Enter seemed to do nothing.
// The new task is now scrolled into sight, grouped or not, the keyboard
// staying in the box for the next task.
TEST(NewTaskInSightScenario, ATaskAddedBelowTheRowsShownComesIntoSight) {
    TProgram p("entry-in-sight");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_NE(parts.TopEdit, nullptr);

    // Grouped by list with every list shown, Shop's group lies below the
    // rows shown: Enter opens the lists menu, Up takes its last, Shop.
    Click(p, CenterOf(parts.TopEdit));
    Type(p, std::string("Buy stamps"));
    Key(p, VK_RETURN);
    Key(p, VK_UP);
    Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(parts.TopEdit), "");
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    EXPECT_EQ(TaskInLowestRow(p, parts), "Buy stamps") << "the task added to Shop is out of sight";

    // Not grouped (Alt+L takes the grouping by list off): the task goes
    // last.
    Key(p, 'L', Alt);
    Click(p, CenterOf(parts.TopEdit));
    for (const char* title : {"Buy envelopes", "Buy a pen", "Post the letters"}) {
        Type(p, std::string(title));
        Key(p, VK_RETURN);
        Key(p, VK_UP);
        Key(p, VK_RETURN);
    }
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    EXPECT_EQ(TaskInLowestRow(p, parts), "Post the letters") << "the task added last is out of sight";

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Post the letters")).at(3), "Shop");
}

} // namespace qelvo::e2e
