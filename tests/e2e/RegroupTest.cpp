// Choosing tasks and switching the grouping in a list of thousands: a
// plain click leaves only the task clicked chosen, however many were
// chosen before, and a grouping switched while a task is chosen (the
// list's focus on it) makes the list anew with nothing chosen.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "data/uDataMan.h"
#include "e2e/ExitsSupport.h"
#include "e2e/TaskEntrySupport.h"
#include "gcl/rtl/DateTime.h"

namespace qelvo::e2e {

namespace {

// Starts the program with deleting asking no question: its main window,
// or null.
HWND StartDeletingUnasked(TProgram& p) {
    WriteFile(p.SettingsPath(), "[Options]\r\nConfirm Delete=0\r\n");
    p.Start();
    return p.Main(30000);
}

} // namespace

TEST(RegroupScenario, AClickAfterSeveralChosenAndGroupingsSwitchedWithATaskChosenDeleteOnlyWhatIsChosen) {
    TProgram p("regroup-chosen");
    // One list; hundreds of tag sets (some tasks without tags) and dates.
    const int count = 3000;
    {
        MakeFolderOf(p.DatabasePath());
        TuData data;
        data.Folders->Add("Work\xF7" "0\xF7");
        for (int n = 0; n < count; ++n) {
            auto* task = new TuTask();
            char title[16];
            std::snprintf(title, sizeof title, "Task %04d", n);
            task->Title = std::string(title);
            task->Folder = std::string("Work");
            if (n % 7 != 0) task->Tags = "t" + std::to_string(n % 400) + ",u" + std::to_string(n % 3);
            task->Due = n % 3 == 0 ? 0 : gcl::EncodeDate(2031, 1, 1) + n % 50;
            data.Tasks->AddObject(task->Title, task);
        }
        ASSERT_TRUE(data.SaveToFile(p.DatabasePath()));
    }
    HWND main = StartDeletingUnasked(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // Grouped by list: one group, the tasks in file order. Three tasks
    // chosen with Ctrl, then a plain click on another: Del takes that one.
    Click(p, parts.ListItem(1));
    Click(p, parts.ListItem(3), Ctrl);
    Click(p, parts.ListItem(5), Ctrl);
    Click(p, parts.ListItem(2));
    Key(p, VK_DELETE);
    // A task chosen, then grouped by tags, by date and by list again:
    // nothing stays chosen, so Del deletes nothing until a task is chosen.
    Click(p, parts.ListItem(4));
    Key(p, 'T', Alt);
    Key(p, 'D', Alt);
    Key(p, 'L', Alt);
    Key(p, VK_DELETE);
    Click(p, parts.ListItem(0));
    Key(p, VK_DELETE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
    const std::vector<std::string> titles = TitlesIn(p.DatabasePath());
    ASSERT_EQ(titles.size(), size_t(count - 2));
    EXPECT_EQ(titles.front(), "Task 0001");
    for (const char* kept : {"Task 0001", "Task 0003", "Task 0004", "Task 0005"})
        EXPECT_NE(std::find(titles.begin(), titles.end(), kept), titles.end()) << kept;
    EXPECT_EQ(std::find(titles.begin(), titles.end(), "Task 0002"), titles.end());
}

// With done tasks hidden, a task ticked stays in sight, struck out, until
// the list is made anew: a grouping switched then shows the tasks as they
// are after the tick, with the ticked one gone, so a click on the first
// row and Del take the next task, not the one ticked.
TEST(RegroupScenario, ATaskTickedWithDoneHiddenIsGoneOnceTheGroupingSwitches) {
    TProgram p("regroup-ticked");
    const int count = 400;
    WriteWorkDatabase(p.DatabasePath(), NumberedTitles(count));
    HWND main = StartDeletingUnasked(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Key(p, 'D', Ctrl);
    Click(p, parts.ListItem(0, 10));
    Key(p, 'P', Alt);
    Click(p, parts.ListItem(0));
    Key(p, VK_DELETE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
    TuData saved;
    ASSERT_TRUE(saved.LoadFromFile(p.DatabasePath()));
    ASSERT_EQ(saved.Tasks->GetCount(), count - 1);
    EXPECT_EQ(std::string(saved.Tasks->GetTask(0)->Title), "Task 00");
    EXPECT_TRUE(saved.Tasks->GetTask(0)->Done);
    EXPECT_EQ(std::string(saved.Tasks->GetTask(1)->Title), "Task 02");
}

} // namespace qelvo::e2e
