// The start a new user meets: an empty folder, the expected message about
// the missing database, then the main window ready for input.
#include <gtest/gtest.h>

#include "e2e/E2eDriver.h"
#include "e2e/ExitsSupport.h"

namespace qelvo::e2e {

TEST(StartScenario, EmptyFolderShowsTheMissingDatabaseOnceThenTheMainWindow) {
    TProgram p("start-empty");
    p.Start();
    HWND box = p.WaitDialog();
    ASSERT_NE(box, nullptr) << "no first-start message";
    EXPECT_NE(ChildTexts(box).find("ActualData.kpx does not exists!"), std::string::npos) << ChildTexts(box);
    Key(p, VK_RETURN);
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(TextOf(main), "Qelvo v1.1");
    EXPECT_TRUE(p.BecomesActive(main));
    EXPECT_TRUE(BecomesForeground(main));
    EXPECT_TRUE(p.NoDialogFor(300));
    Shot(p, main, "start-empty");
    Key(p, 'Q', Ctrl);    // Exit and save
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_TRUE(FileExists(p.SettingsPath()));
}

// A first start changes nothing the user made: closing the window at once
// asks no question, and the next start finds a database and no message.
TEST(StartScenario, AFirstStartClosedAtOnceAsksNothingAndLeavesADatabase) {
    TProgram p("start-close");
    p.Start();
    ASSERT_NE(p.WaitDialog(), nullptr);
    Key(p, VK_RETURN);
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    Click(p, CloseBoxOf(main));
    EXPECT_EQ(p.WaitExit(), 0) << "a question held the exit:\n" << (p.WaitDialog(0) ? ChildTexts(p.WaitDialog(0)) : "");
    p.Kill();
    p.Start();
    ASSERT_NE(p.Main(), nullptr);
    EXPECT_TRUE(p.NoDialogFor(300));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
