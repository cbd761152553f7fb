// The start a new user meets: an empty folder, the expected message about
// the missing database, then the main window ready for input.
#include <gtest/gtest.h>

#include "e2e/E2eDriver.h"

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
    EXPECT_EQ(p.Active(), main);
    EXPECT_EQ(GetForegroundWindow(), main);
    EXPECT_TRUE(p.NoDialogFor(300));
    Shot(p, main, "start-empty");
    Key(p, 'Q', Ctrl);    // Exit and save
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_TRUE(FileExists(p.SettingsPath()));
}

} // namespace qelvo::e2e
