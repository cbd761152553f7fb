// Faults a user met while working with more than one file: exports that
// land on files already there, the copy "Clear database..." offers to
// keep, and opening another database.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/PreparedDatabase.h"

namespace qelvo::e2e {

namespace {

constexpr int OpenSteps = 3, SaveAsSteps = 5, ClearDatabaseSteps = 7, ExportToTextSteps = 9, ExportToPendrillaxSteps = 11;

const char* ReplaceQuestion = "already exists";

// The dialog that is up (after a question about it was answered) is the
// save dialog still: Escape closes it.
bool CancelSaveDialog(TProgram& p) {
    HWND dialog = p.WaitDialog();
    if (!dialog || ChildrenOfClass(dialog, "Edit").empty()) {
        ADD_FAILURE() << "the save dialog did not stay";
        return false;
    }
    Key(p, VK_ESCAPE);
    return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
}

} // namespace

// The Pendrillax export's dialog lists the other program's databases, and
// one clicked (or its name typed) was replaced by the export without a
// word: the other program's tasks were gone. The text export did the
// same to any text file. Both ask first now; No leaves the file as it was.
TEST(ExploreFilesScenario, AnExportAsksBeforeItReplacesAFileThatIsThere) {
    TProgram p("files-export-replace");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    const std::string theirs = p.PathOf("Pendrillax.jmw"), notes = p.PathOf("notes.txt");
    WriteFile(theirs, "the other program's own tasks");
    WriteFile(notes, "notes of my own");

    ChooseFromMenu(p, main, FileMenuX, ExportToPendrillaxSteps);
    ASSERT_TRUE(ChooseFileName(p, theirs));
    ASSERT_TRUE(Answer(p, ReplaceQuestion, "&No"));
    ASSERT_TRUE(CancelSaveDialog(p));
    EXPECT_EQ(ReadFile(theirs), "the other program's own tasks");

    ChooseFromMenu(p, main, FileMenuX, ExportToTextSteps);
    ASSERT_TRUE(ChooseFileName(p, notes));
    ASSERT_TRUE(Answer(p, ReplaceQuestion, "&No"));
    ASSERT_TRUE(CancelSaveDialog(p));
    EXPECT_EQ(ReadFile(notes), "notes of my own");

    // A name the text export adds its extension to: the file it writes
    // is asked about too.
    const std::string log = p.PathOf("log.md.txt");
    WriteFile(log, "a log of my own");
    ChooseFromMenu(p, main, FileMenuX, ExportToTextSteps);
    ASSERT_TRUE(ChooseFileName(p, p.PathOf("log.md")));
    ASSERT_TRUE(Answer(p, "log.md.txt already exists", "&No"));
    EXPECT_EQ(ReadFile(log), "a log of my own");

    // Yes replaces it, as asked.
    ChooseFromMenu(p, main, FileMenuX, ExportToPendrillaxSteps);
    ASSERT_TRUE(ChooseFileName(p, theirs));
    ASSERT_TRUE(Answer(p, ReplaceQuestion, "&Yes"));
    EXPECT_TRUE(WaitUntil([&] { return ReadFile(theirs).find("Book the ferry") != std::string::npos; }));

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// An export over an earlier one while another program holds that file
// with part of it locked (as a program reading it may): the write fails,
// and the earlier export stays whole with the user told. The export
// emptied the file first and then failed to write into it, leaving a
// truncated file where the good one was.
TEST(ExploreFilesScenario, AFailedExportLeavesTheEarlierExportWhole) {
    TProgram p("files-export-locked");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    const std::string earlier = p.PathOf("moving.jmw");
    ChooseFromMenu(p, main, FileMenuX, ExportToPendrillaxSteps);
    ASSERT_TRUE(TypeFileName(p, earlier));
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(earlier).find("Book the ferry") != std::string::npos; }));
    const std::string good = ReadFile(earlier);

    HANDLE held = CreateFileA(earlier.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    OVERLAPPED from{};
    ASSERT_TRUE(LockFileEx(held, LOCKFILE_FAIL_IMMEDIATELY, 0, 1 << 20, 0, &from));
    Key(p, 'N', Ctrl);
    Type(p, "One more task");
    Key(p, VK_RETURN);
    if (p.TopWindows().size() > 1) {  // "All" is current: the first list takes it
        Key(p, VK_DOWN);
        Key(p, VK_RETURN);
    }
    ChooseFromMenu(p, main, FileMenuX, ExportToPendrillaxSteps);
    ASSERT_TRUE(ChooseFileName(p, earlier));
    ASSERT_TRUE(Answer(p, ReplaceQuestion, "&Yes"));
    HWND told = p.WaitDialog(5000);
    EXPECT_NE(told, nullptr) << "the failed export was not told";
    if (told) {
        EXPECT_NE(ChildTexts(told).find("moving.jmw"), std::string::npos) << ChildTexts(told);
        Key(p, VK_RETURN);
    }
    UnlockFileEx(held, 0, 1 << 20, 0, &from);
    CloseHandle(held);
    EXPECT_TRUE(ReadFile(earlier) == good) << "the earlier export was damaged: " << ReadFile(earlier).size()
                                           << " bytes of " << good.size();

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// "Clear database..." offers to keep a copy first, and its dialog offered
// the open file's own name: taken, the "copy" was the file being cleared,
// and the next save wrote the empty database over it. The dialog now
// offers a free name beside it, and the open file itself is refused as
// the copy.
TEST(ExploreFilesScenario, TheCopyKeptBeforeClearingIsNotTheFileBeingCleared) {
    TProgram p("files-clear-copy");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    const std::vector<std::string> before = TitlesIn(p.DatabasePath());
    const std::string copy = p.PathOf("Data\\ActualData (2).kpx");

    // The open file's name typed: refused with a word, nothing cleared.
    ChooseFromMenu(p, main, FileMenuX, ClearDatabaseSteps);
    ASSERT_TRUE(Answer(p, "Current database will be erased", "&Yes"));
    ASSERT_TRUE(ChooseFileName(p, p.DatabasePath()));
    ASSERT_TRUE(Answer(p, ReplaceQuestion, "&Yes"));
    ASSERT_TRUE(Answer(p, "is the database being cleared", "OK"));
    EXPECT_TRUE(p.NoDialogFor(300));
    Key(p, 'S', Ctrl);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), before);

    // The name the dialog offers is free, and taken with Enter it keeps
    // the tasks the next save takes from the open file.
    ChooseFromMenu(p, main, FileMenuX, ClearDatabaseSteps);
    ASSERT_TRUE(Answer(p, "Current database will be erased", "&Yes"));
    HWND dialog = p.WaitDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_FALSE(ChildrenOfClass(dialog, "Edit").empty());
    EXPECT_EQ(TextOf(ChildrenOfClass(dialog, "Edit").front()), "ActualData (2).kpx");
    Key(p, VK_RETURN);
    if (HWND box = p.WaitDialog(1000); box && box != dialog && ChildTexts(box).find(ReplaceQuestion) != std::string::npos)
        Answer(p, ReplaceQuestion, "&Yes");
    EXPECT_TRUE(WaitUntil([&] { return p.TopWindows().size() == 2; }));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), std::vector<std::string>{});
    EXPECT_EQ(TitlesIn(copy), before);
}

// A database another program held open (a backup or a synchronising
// tool, with no sharing) was reported as "Possible corrupted database":
// a user told that may well throw a sound file away. The message says the
// file cannot be read now; the open database stays, and once the other
// program lets go the file opens.
TEST(ExploreFilesScenario, ADatabaseAnotherProgramHoldsIsNotCalledCorrupted) {
    TProgram p("files-open-held");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    const std::string other = p.PathOf("Data\\Other.kpx");
    WriteWorkDatabase(other, {"In the other file"});
    HANDLE held = CreateFileA(other.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    ChooseFromMenu(p, main, FileMenuX, OpenSteps);
    ASSERT_TRUE(ChooseFileName(p, other));
    HWND box = p.WaitDialog();
    ASSERT_NE(box, nullptr);
    const std::string said = ChildTexts(box);
    EXPECT_EQ(said.find("corrupted"), std::string::npos) << said;
    EXPECT_NE(said.find("another program may be holding it open"), std::string::npos) << said;
    Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(main), "Qelvo v1.1 - ActualData.kpx");
    CloseHandle(held);

    ChooseFromMenu(p, main, FileMenuX, OpenSteps);
    ASSERT_TRUE(ChooseFileName(p, other));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(main) == "Qelvo v1.1 - Other.kpx"; }));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(other), std::vector<std::string>{"In the other file"});
}

// A copy written with "Save as..." took the changes' unsaved mark away,
// though the open file, which later saves keep writing, did not have
// them: opening another database then asked nothing, and the open file
// never got the task. The question still comes, and Yes saves the task
// into the open file.
TEST(ExploreFilesScenario, ACopySavedAsLeavesTheOpenFilesChangesToBeAskedAbout) {
    TProgram p("files-saveas-then-open");
    const std::string other = p.PathOf("Data\\Other.kpx"), copy = p.PathOf("Data\\Copy.kpx");
    WriteWorkDatabase(p.DatabasePath(), {"Was there"});
    WriteWorkDatabase(other, {"In the other file"});
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    AddTask(p, "Typed today");

    ChooseFromMenu(p, main, FileMenuX, SaveAsSteps);
    ASSERT_TRUE(ChooseFileName(p, copy));
    EXPECT_TRUE(WaitUntil([&] { return TitlesIn(copy).size() == 2; }));
    EXPECT_EQ(TextOf(main), "Qelvo v1.1 - ActualData.kpx");

    ChooseFromMenu(p, main, FileMenuX, OpenSteps);
    ASSERT_TRUE(Answer(p, "You've made changes to this database", "&Yes"));
    ASSERT_TRUE(ChooseFileName(p, other));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(main) == "Qelvo v1.1 - Other.kpx"; }));
    EXPECT_EQ(TitlesIn(p.DatabasePath()), (std::vector<std::string>{"Was there", "Typed today"}));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
