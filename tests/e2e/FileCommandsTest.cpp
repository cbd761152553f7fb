// The File menu as a user takes it from the keyboard: opening another
// database with changes not yet saved (each answer to the question),
// opening without changes, and "Set as default database", which the next
// start follows.
#include <gtest/gtest.h>

#include "e2e/ExitsSupport.h"

namespace qelvo::e2e {

namespace {

using TTitles = std::vector<std::string>;

const char* SaveBeforeOpenQuestion = "You've made changes to this database, do you want to save before opening another?";

constexpr int OpenItem = 2;          // New task, New List, Open...
constexpr int SetAsDefaultItem = 5;  // ... Save, Save as..., Set as default database

// The file dialog that is up, or nullptr when a message box came instead.
HWND FileDialog(TProgram& p) {
    HWND dialog = p.WaitDialog();
    return dialog && !ChildrenOfClass(dialog, "Edit").empty() ? dialog : nullptr;
}

} // namespace

TEST(FileCommandsScenario, OpenAsksBeforeUnsavedChangesAreDropped) {
    TProgram p("file-open-unsaved");
    const std::string other = p.PathOf("Data\\Other.kpx");
    WriteWorkDatabase(p.DatabasePath(), {});
    WriteWorkDatabase(other, {"In the other file"});
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    AddTask(p, "Typed before Open");

    // Cancel: no open dialog, the change stays unsaved in the window.
    FileMenuItem(p, OpenItem);
    ASSERT_TRUE(Answer(p, SaveBeforeOpenQuestion, "Cancel"));
    EXPECT_TRUE(p.NoDialogFor(300));
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{});

    // Yes: the change is saved, then the other file opens.
    FileMenuItem(p, OpenItem);
    ASSERT_TRUE(Answer(p, SaveBeforeOpenQuestion, "&Yes"));
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{"Typed before Open"});
    ASSERT_NE(FileDialog(p), nullptr);
    ASSERT_TRUE(SaveDialogAnswer(p, other));
    // The file opens once the dialog has gone.
    EXPECT_TRUE(WaitUntil([&] { return TextOf(main) == "Qelvo v1.1 - Other.kpx"; })) << TextOf(main);

    // No: the change is dropped on purpose, and the first file opens again.
    AddTask(p, "Dropped by No");
    FileMenuItem(p, OpenItem);
    ASSERT_TRUE(Answer(p, SaveBeforeOpenQuestion, "&No"));
    ASSERT_NE(FileDialog(p), nullptr);
    ASSERT_TRUE(SaveDialogAnswer(p, p.DatabasePath()));
    // The file opens once the dialog has gone.
    EXPECT_TRUE(WaitUntil([&] { return TextOf(main) == "Qelvo v1.1 - ActualData.kpx"; })) << TextOf(main);
    EXPECT_EQ(TitlesIn(other), TTitles{"In the other file"});

    // Nothing unsaved: the open dialog comes without a question.
    FileMenuItem(p, OpenItem);
    HWND dialog = FileDialog(p);
    ASSERT_NE(dialog, nullptr) << ChildTexts(p.WaitDialog());
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{"Typed before Open"});
}

TEST(FileCommandsScenario, SetAsDefaultDatabaseIsTheOneTheNextStartOpens) {
    TProgram p("file-set-default");
    const std::string other = p.PathOf("Data\\Other.kpx");
    WriteWorkDatabase(p.DatabasePath(), {"In the first file"});
    WriteWorkDatabase(other, {"In the other file"});
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    FileMenuItem(p, OpenItem);
    ASSERT_NE(FileDialog(p), nullptr);
    ASSERT_TRUE(SaveDialogAnswer(p, other));
    FileMenuItem(p, SetAsDefaultItem);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Options", "Default Database Tasks"), other);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);

    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(TextOf(main), "Qelvo v1.1 - Other.kpx");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(other), TTitles{"In the other file"});
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{"In the first file"});
}

} // namespace qelvo::e2e
