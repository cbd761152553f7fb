// Every way out of the program as a user takes it: the close box with
// each answer to the save question, File > Exit and save, Exit without
// saving, the notification area's menu; the hot key that hides the window
// to the notification area and brings it back; and exits whose save
// cannot be written, which keep the window and the changes.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/ExitsSupport.h"

namespace qelvo::e2e {

namespace {

using TTitles = std::vector<std::string>;

const char* SaveQuestion = "You've made changes to this database, do you want to save before exiting?";

// A program on a database of one list and no task, its main window up.
HWND StartOnEmptyDatabase(TProgram& p) {
    if (!FileExists(p.DatabasePath())) WriteEmptyDatabase(p.DatabasePath());
    p.Start();
    HWND main = p.Main();
    EXPECT_NE(main, nullptr);
    EXPECT_TRUE(p.NoDialogFor(200));
    return main;
}

} // namespace

TEST(ExitPathsScenario, TheCloseBoxAsksAndEachAnswerDoesWhatItSays) {
    TProgram p("exit-close-box");
    HWND main = StartOnEmptyDatabase(p);
    ASSERT_NE(main, nullptr);
    AddTask(p, "Dropped by No");
    // Cancel keeps the window and writes nothing.
    Click(p, CloseBoxOf(main));
    ASSERT_TRUE(Answer(p, SaveQuestion, "Cancel"));
    EXPECT_TRUE(p.Running());
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{});
    // No ends the program without the change.
    Click(p, CloseBoxOf(main));
    ASSERT_TRUE(Answer(p, SaveQuestion, "&No"));
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{});

    main = StartOnEmptyDatabase(p);
    ASSERT_NE(main, nullptr);
    AddTask(p, "Kept by Yes");
    Click(p, CloseBoxOf(main));
    ASSERT_TRUE(Answer(p, SaveQuestion, "&Yes"));
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{"Kept by Yes"});
}

TEST(ExitPathsScenario, FileMenuExitAndSaveAndExitWithoutSaving) {
    TProgram p("exit-file-menu");
    HWND main = StartOnEmptyDatabase(p);
    ASSERT_NE(main, nullptr);
    AddTask(p, "Kept by the menu");
    // File is the first item of the menu bar; Exit and save its last.
    HWND menuBar = nullptr;
    for (HWND w : ChildrenOfClass(main, ""))
        if (TextOf(w) == "MenuBar") menuBar = w;
    const RECT bar = menuBar ? RectOf(menuBar) : RectOf(main);
    const POINT file = menuBar ? POINT{bar.left + 18, (bar.top + bar.bottom) / 2}
                               : POINT{bar.left + 22, bar.top + GetSystemMetrics(SM_CYCAPTION) + 14};
    Click(p, file);
    Key(p, VK_UP);
    Key(p, VK_RETURN);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{"Kept by the menu"});

    main = StartOnEmptyDatabase(p);
    ASSERT_NE(main, nullptr);
    AddTask(p, "Dropped on purpose");
    Key(p, 'X', Ctrl | Shift);
    ASSERT_TRUE(Answer(p, "Are you sure you want to exit without saving your changes ?", "&No"));
    EXPECT_TRUE(p.Running());
    Key(p, 'X', Ctrl | Shift);
    ASSERT_TRUE(Answer(p, "Are you sure you want to exit without saving your changes ?", "&Yes"));
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{"Kept by the menu"});
}

TEST(ExitPathsScenario, TheHotKeyHidesToTheTrayAndBackAndTheTrayMenuExitSaves) {
    TProgram p("exit-tray");
    HWND main = StartOnEmptyDatabase(p);
    ASSERT_NE(main, nullptr);
    AddTask(p, "Kept by the tray");
    ASSERT_TRUE(WaitUntil([] { return WineSystemTray() != nullptr && IsWindowVisible(WineSystemTray()); }))
        << "no notification area";
    // Shift+Ctrl+O hides the window to the notification area...
    Key(p, 'O', Ctrl | Shift);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    // ... and brings it back, active, with the quick-entry box focused.
    Key(p, 'O', Ctrl | Shift);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main); }));
    p.Settle();
    EXPECT_TRUE(p.BecomesActive(main));
    EXPECT_EQ(ClassOf(p.Focus()), "TXtEdit.UnicodeClass");
    EnterTask(p, "Typed after the hot key");
    // Hidden again, the icon's menu ends the program with a save.
    ExitFromTheTray(p, main);
    EXPECT_EQ(p.WaitExit(), 0);
    TTitles saved = TitlesIn(p.DatabasePath());
    std::sort(saved.begin(), saved.end());
    EXPECT_EQ(saved, (TTitles{"Kept by the tray", "Typed after the hot key"}));
}

TEST(ExitPathsScenario, AnExitWhoseSaveFailsKeepsTheWindowAndTheChanges) {
    TProgram p("exit-save-fails");
    HWND main = StartOnEmptyDatabase(p);
    ASSERT_NE(main, nullptr);
    AddTask(p, "Not to be lost");
    // The database file becomes read-only: every save of it fails.
    ASSERT_TRUE(SetFileAttributesA(p.DatabasePath().c_str(), FILE_ATTRIBUTE_READONLY));
    const char* failed = "The database could not be saved to: ";
    // The close box, Yes: the failure is told and the window stays.
    Click(p, CloseBoxOf(main));
    ASSERT_TRUE(Answer(p, SaveQuestion, "&Yes"));
    ASSERT_TRUE(Answer(p, failed, "&No"));
    EXPECT_TRUE(p.NoDialogFor(300));
    EXPECT_TRUE(p.Running());
    EXPECT_TRUE(IsWindowVisible(main));
    // Exit and save (Ctrl+Q) the same.
    Key(p, 'Q', Ctrl);
    ASSERT_TRUE(Answer(p, failed, "&No"));
    EXPECT_TRUE(p.NoDialogFor(300));
    EXPECT_TRUE(p.Running());
    // The notification area's exit brings the window back with the
    // question; Yes saves the changes elsewhere and the program ends.
    ExitFromTheTray(p, main);
    ASSERT_TRUE(Answer(p, failed, "&Yes"));
    EXPECT_TRUE(IsWindowVisible(main));
    const std::string copy = p.PathOf("Kept.kpx");
    ASSERT_TRUE(SaveDialogAnswer(p, copy));
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(copy), TTitles{"Not to be lost"});
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{});
    SetFileAttributesA(p.DatabasePath().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ExitPathsScenario, NewWorkAfterAFailedLoadIsNotDroppedInSilence) {
    TProgram p("exit-after-failed-load");
    const std::string junk("\x13\x9A\x00\xFFrandom\xF7" "bytes\x01\x02", 18);
    WriteFile(p.DatabasePath(), junk);
    p.Start();
    ASSERT_TRUE(Answer(p, "cannot be loaded. Possible corrupted database.", "OK"));
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    Key(p, 'N', Ctrl | Shift);    // New List
    Type(p, "Errands");
    Key(p, VK_RETURN);
    // Closing asks; the unreadable file stays, and Save as keeps the list.
    Click(p, CloseBoxOf(main));
    ASSERT_TRUE(Answer(p, SaveQuestion, "&Yes"));
    ASSERT_TRUE(Answer(p, "could not be loaded at start-up", "&No"));
    const std::string copy = p.PathOf("Rescued.kpx");
    ASSERT_TRUE(SaveDialogAnswer(p, copy));
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(ReadFile(p.DatabasePath()), junk);
    const std::vector<std::string> lists = ListsIn(copy);
    EXPECT_NE(std::find(lists.begin(), lists.end(), "Errands"), lists.end());
}

} // namespace qelvo::e2e
