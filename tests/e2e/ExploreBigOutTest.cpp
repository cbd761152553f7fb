// Commands over many tasks and many tags at once, in databases of tens of
// thousands: each answers at once, and the file after a save holds every
// task and tag the user kept, once.
#include <gtest/gtest.h>

#include <string>

#include "data/uDataMan.h"
#include "e2e/BigDatabase.h"
#include "e2e/E2eDriver.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// Starts the program on a database of Tasks tasks and Tags tags (see
// WriteTagPerTaskDatabase) and shows the side panel's Tags tab; the main
// window (nullptr when none came).
HWND StartOnTagsTab(TProgram& p, int tasks, int tags) {
    WriteTagPerTaskDatabase(p.DatabasePath(), tasks, tags);
    if (::testing::Test::HasFatalFailure()) return nullptr;
    p.Start();
    HWND main = p.Main(30000);
    if (!main) return nullptr;
    const RECT tree = RectOf(TMainWindowParts(main).Tree);
    Click(p, POINT{tree.left + 100, tree.top - 12});  // fails when the program does not answer
    return main;
}

} // namespace

// The Tags tab among a hundred thousand tags: it opened after a quarter
// of a minute with no sign of work, and each choice in it (a click, a
// Ctrl+click, an arrow key) held the program for seconds. It answers at
// once, and the last tag, reached with End and deleted with Del, goes
// alone: the file keeps every other tag and every task.
TEST(ExploreBigOutScenario, TheTagsTabAmongAHundredThousandTagsOpensAndChoosesAtOnce) {
    TProgram p("explore-bigout-tags-tab");
    const int tasks = 20000, tags = 100000;
    HWND main = StartOnTagsTab(p, tasks, tags);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.TreeRow(2));
    Click(p, parts.TreeRow(4), Ctrl);
    // The last tag, chosen from the keyboard alone; Del deletes it.
    Key(p, VK_END);
    Key(p, VK_UP);
    Key(p, VK_DOWN);
    Key(p, VK_DELETE);
    Key(p, 'S', Ctrl);
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(p.DatabasePath()));
    EXPECT_EQ(data.Tasks->GetCount(), tasks);
    ASSERT_EQ(data.Tags->GetCount(), tags - 1);
    EXPECT_EQ(data.Tags->Get(tags - 2), "t99998");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
}


// A tag moved with Ctrl+Down and Ctrl+Up among a quarter of a million:
// each step took the tree's row out and back in, which made the tree lay
// out every row below again (seconds a key, the program deaf meanwhile).
// Each step answers at once, the tag lands where the keys took it, stays
// chosen there (a rename reaches it) and the file keeps every tag once.
TEST(ExploreBigOutScenario, ATagMovedAmongAQuarterMillionTagsMovesAtOnceAndStaysChosen) {
    TProgram p("explore-bigout-tag-move");
    const int tasks = 2000, tags = 250000;
    HWND main = StartOnTagsTab(p, tasks, tags);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    // "t1" two down and one up: it comes after "t2".
    Click(p, parts.TreeRow(2));
    Key(p, VK_DOWN, Ctrl);  // fails when the program does not answer
    Key(p, VK_DOWN, Ctrl);
    Key(p, VK_UP, Ctrl);
    // Still chosen: the label editor renames it.
    Key(p, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return ClassOf(p.Focus()) == "Edit"; })) << ClassOf(p.Focus());
    Type(p, std::string("moved"));
    Key(p, VK_RETURN);
    Key(p, 'S', Ctrl);
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(p.DatabasePath()));
    EXPECT_EQ(data.Tasks->GetCount(), tasks);
    ASSERT_EQ(data.Tags->GetCount(), tags);
    EXPECT_EQ(data.Tags->Get(0), "t0");
    EXPECT_EQ(data.Tags->Get(1), "t2");
    EXPECT_EQ(data.Tags->Get(2), "moved");
    EXPECT_EQ(data.Tags->Get(3), "t3");
    EXPECT_EQ(std::string(data.Tasks->GetTask(1)->Tags), "moved");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
}

} // namespace qelvo::e2e
