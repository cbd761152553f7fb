// Two copies of the program on one database: a save never replaces,
// unasked, a file that another writer changed since this copy read or
// wrote it; and a second start in the same program folder brings the
// running copy forward instead of opening a second window.
#include <gtest/gtest.h>

#include "e2e/ExitsSupport.h"

namespace qelvo::e2e {

namespace {

using TTitles = std::vector<std::string>;

// A point of a window's caption bar, left of its buttons.
POINT CaptionOf(HWND w, bool nearRight) {
    const RECT r = RectOf(w);
    const int y = r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    return {nearRight ? r.right - 120 : r.left + 120, y};
}

} // namespace

TEST(SaveConflictScenario, TwoCopiesOnOneDatabaseNeverOverwriteEachOtherUnasked) {
    TProgram a("conflict-a");
    TProgram b("conflict-b");
    WriteEmptyDatabase(a.DatabasePath());
    // B opens A's database, from a window placed at the top left (A is
    // centred, so each caption stays in reach).
    WriteFile(b.SettingsPath(), "[Form]\r\nLeft=4\r\nTop=4\r\n[Options]\r\nDefault Database Tasks=" + a.DatabasePath() +
                                    "\r\n");
    a.Start();
    HWND mainA = a.Main();
    ASSERT_NE(mainA, nullptr);
    b.Start();
    HWND mainB = b.Main();
    ASSERT_NE(mainB, nullptr);
    EXPECT_EQ(TextOf(mainB), "Qelvo v1.1 - ActualData.kpx");
    AddTask(b, "From B");
    Click(a, CaptionOf(mainA, true));
    ASSERT_TRUE(BecomesForeground(mainA)) << "A did not come forward";
    AddTask(a, "From A");
    Key(a, 'Q', Ctrl);
    EXPECT_EQ(a.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(a.DatabasePath()), TTitles{"From A"});

    // B's save finds the file changed and asks; Cancel writes nothing.
    Click(b, CaptionOf(mainB, false));
    ASSERT_TRUE(BecomesForeground(mainB)) << "B did not come forward";
    const char* changed = "was changed by another program";
    Key(b, 'Q', Ctrl);
    ASSERT_TRUE(Answer(b, changed, "Cancel"));
    EXPECT_TRUE(b.Running());
    EXPECT_EQ(TitlesIn(a.DatabasePath()), TTitles{"From A"});
    // No keeps A's file and saves B's tasks under another name.
    Key(b, 'Q', Ctrl);
    ASSERT_TRUE(Answer(b, changed, "&No"));
    const std::string copy = b.PathOf("FromB.kpx");
    ASSERT_TRUE(SaveDialogAnswer(b, copy));
    EXPECT_EQ(b.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(a.DatabasePath()), TTitles{"From A"});
    EXPECT_EQ(TitlesIn(copy), TTitles{"From B"});
}

TEST(SaveConflictScenario, ASecondStartInTheSameFolderBringsTheRunningCopyForward) {
    TProgram p("second-start");
    WriteEmptyDatabase(p.DatabasePath());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    Key(p, 'O', Ctrl | Shift);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    TProgram second("second-start", true);
    second.Start();
    EXPECT_EQ(second.WaitExit(), 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && GetForegroundWindow() == main; }));
    AddTask(p, "One window");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{"One window"});
}

} // namespace qelvo::e2e
