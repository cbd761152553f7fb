// settings.ini from other hands: values no dialog of the program would
// write, and a file the program may not write. The Options dialog shows
// what the program does with them, and a save the user asked for that
// could not be made is told, not passed over.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"

namespace qelvo::e2e {

namespace {

bool Checked(HWND check) { return SendMessageA(check, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The "Default Database :" box.
HWND DefaultDatabaseEdit(HWND dialog) {
    const std::vector<HWND> edits = ChildrenOfClass(dialog, "TTxcEdit");
    return edits.size() == 1 ? edits.front() : nullptr;
}

} // namespace

// An interval of 0 minutes (an older copy, a hand edit) means no auto-save:
// the dialog shows auto-save off, and Ok on it leaves auto-save off rather
// than saving every minute.
TEST(ExploreSettingsScenario, AnAutoSaveIntervalOfNoneShowsAutoSaveOffAndOkKeepsItOff) {
    TProgram p("settings-interval-none");
    WriteWorkDatabase(p.DatabasePath(), {"Old"});
    WriteFile(p.SettingsPath(), "[Options]\r\nAutoSave=1\r\nAutoSave Interval=0\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TOptionsDialog d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    const std::vector<HWND> checks = ChecksOf(d.Window);
    ASSERT_EQ(checks.size(), 5u);
    EXPECT_FALSE(Checked(checks.back())) << "auto-save shown on, every " << TextOf(d.AutoSaveInterval) << " minutes";
    EXPECT_FALSE(IsWindowEnabled(d.AutoSaveInterval));
    Click(p, CenterOf(d.Ok));
    ASSERT_TRUE(Closed(d.Window));
    EXPECT_TRUE(Option(p, "AutoSave") == "0" || Option(p, "AutoSave Interval") == "0")
        << "AutoSave=" << Option(p, "AutoSave") << " every " << Option(p, "AutoSave Interval");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A default database left empty or naming a folder cannot be opened: the
// program opens the standard one, and it is the default of this run too,
// so auto-save and "Set as default database" go by it.
TEST(ExploreSettingsScenario, ADefaultDatabaseEmptyOrAFolderIsTheStandardOne) {
    TProgram p("settings-default-empty");
    WriteWorkDatabase(p.DatabasePath(), {"Old"});
    for (const std::string& stored : {std::string(), p.PathOf("Data")}) {
        WriteFile(p.SettingsPath(), "[Options]\r\nDefault Database Tasks=" + stored + "\r\n");
        p.Start();
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(TextOf(main), "Qelvo v1.1 - ActualData.kpx");
        TOptionsDialog d = OpenOptionsDialog(p, main);
        ASSERT_NE(d.Ok, nullptr);
        HWND edit = DefaultDatabaseEdit(d.Window);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(TextOf(edit), p.DatabasePath()) << "stored: " << stored;
        Click(p, CenterOf(d.Ok));
        ASSERT_TRUE(Closed(d.Window));
        EXPECT_EQ(Option(p, "Default Database Tasks"), p.DatabasePath());
        Key(p, 'Q', Ctrl);
        EXPECT_EQ(p.WaitExit(), 0);
    }
}

// A settings file the program may not write: Ok in Options and "Set as
// default database" say that the settings were not saved, what Ok took
// holds until the end (a later Cancel does not take it back), and the
// tasks are saved all the same.
TEST(ExploreSettingsScenario, SettingsThatCannotBeSavedAreToldAndHoldForTheRun) {
    TProgram p("settings-read-only");
    WriteWorkDatabase(p.DatabasePath(), {"Old", "Kept"});
    WriteFile(p.SettingsPath(), "[Options]\r\nConfirm Delete=1\r\n");
    SetFileAttributesA(p.SettingsPath().c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string before = ReadFile(p.SettingsPath());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TOptionsDialog d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    constexpr size_t ConfirmDeleteCheck = 2;
    Click(p, CenterOf(ChecksOf(d.Window)[ConfirmDeleteCheck]));
    Click(p, CenterOf(d.Ok));
    EXPECT_TRUE(Answer(p, "The settings could not be saved to: " + p.SettingsPath(), "OK"));
    ASSERT_TRUE(Closed(d.Window));
    FileMenuItem(p, 5);  // Set as default database
    EXPECT_TRUE(Answer(p, "The settings could not be saved to: " + p.SettingsPath(), "OK"));
    d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    EXPECT_FALSE(Checked(ChecksOf(d.Window)[ConfirmDeleteCheck]));
    Key(p, VK_ESCAPE);
    ASSERT_TRUE(Closed(d.Window));
    // Delete asks no question, as Ok left it.
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    ASSERT_EQ(lists.size(), 1u);
    Click(p, CenterOf(lists.front()));
    Key(p, VK_HOME);
    Key(p, VK_DELETE);
    EXPECT_TRUE(p.NoDialogFor(500)) << ChildTexts(p.WaitDialog(0));
    if (p.WaitDialog(0)) Answer(p, "delete", "&Yes");
    AddTask(p, "Added");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    SetFileAttributesA(p.SettingsPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFile(p.SettingsPath()), before);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), (std::vector<std::string>{"Kept", "Added"}));
}

// Panel sizes from a larger window (or a hand edit) in a small window: the
// panels give way until the task list and the side panel's tree both have
// room to show rows; neither is left a sliver.
TEST(ExploreSettingsScenario, PanelsStoredLargerThanTheWindowLeaveTheListAndTheTreeRoom) {
    TProgram p("settings-panels-large");
    WriteWorkDatabase(p.DatabasePath(), {"Old"});
    WriteFile(p.SettingsPath(), "[Form]\r\nWidth=804\r\nHeight=500\r\n[Org Panel]\r\nDockedWidth=790\r\n"
                                "[Note Panel]\r\nDockedHeight=480\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    const std::vector<HWND> trees = ChildrenOfClass(main, "TUniTreeView.UnicodeClass");
    ASSERT_EQ(lists.size(), 1u);
    ASSERT_EQ(trees.size(), 1u);
    auto height = [](HWND w) { return RectOf(w).bottom - RectOf(w).top; };
    // Two rows of the tree at least ("All" and the list).
    const bool roomy = WaitUntil([&] { return height(trees.front()) >= 40 && height(lists.front()) >= 60; });
    Shot(p, main, "settings-panels-large");
    EXPECT_TRUE(roomy) << "tree " << height(trees.front()) << " high, list " << height(lists.front());
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    // The sizes given stay for a window that has room for them.
    EXPECT_EQ(IniValue(p.SettingsPath(), "Note Panel", "DockedHeight"), "480");
}

} // namespace qelvo::e2e
