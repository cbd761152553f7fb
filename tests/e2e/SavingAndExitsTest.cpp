// Saving and every way out: the close box, File > Exit, Alt+F4, Ctrl+Q,
// the tray menu's exit and the end of the session, each asking about
// changes and doing what the answer says; saves that fail (a read-only
// file, a folder gone, a killed program) losing no task; the auto-save
// amid an edit; and Save as.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "e2e/ClockSupport.h"
#include "e2e/E2eDriver.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

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

TEST(SavingAndExitsScenario, TheCloseBoxAsksAndEachAnswerDoesWhatItSays) {
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

TEST(SavingAndExitsScenario, FileMenuExitAndSaveAndExitWithoutSaving) {
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

TEST(SavingAndExitsScenario, TheHotKeyHidesToTheTrayAndBackAndTheTrayMenuExitSaves) {
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

TEST(SavingAndExitsScenario, AnExitWhoseSaveFailsKeepsTheWindowAndTheChanges) {
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

TEST(SavingAndExitsScenario, NewWorkAfterAFailedLoadIsNotDroppedInSilence) {
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

namespace {

const char* SaveFailed = "The database could not be saved to: ";

// A database of the list Work and Count tasks "Task n" with a note each,
// as the program writes it.
std::string LargeDatabase(int count) {
    std::string text = "d_id-5550001111\r\nWork\xF7" "0\xF7\r\n<--<*&^Folders^&*>-->\r\nhome\r\n<--<*&^Tags^&*>-->\r\n";
    text.reserve(size_t(count) * 70);
    char line[128];
    for (int i = 0; i < count; ++i) {
        std::snprintf(line, sizeof line, "[home]Task %d\xF7--\xF7%010d\xF7Work\xF7" "1/2/2025\xF7Note of %d\xF8\xF7\r\n", i, i + 1,
                      i);
        text += line;
    }
    return text;
}

// The names of the files in a folder.
std::vector<std::string> FolderFileNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
}

} // namespace

TEST(SavingAndExitsScenario, TheSessionEndingWithAQuestionOpenKeepsTheChangesTheNoteAndTheLayout) {
    TProgram p("fail-session-end");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    AddTask(p, "Typed before the log-off");
    // A note typed and not yet taken by a click elsewhere.
    Click(p, parts.ListItem(1));
    EXPECT_EQ(parts.NoteCaption(), "Note: Write report");
    Click(p, CenterOf(parts.NoteEditor));
    Key(p, VK_END, Ctrl);
    Type(p, "more");
    // The close box's question is up when the session ends.
    Click(p, CloseBoxOf(main));
    ASSERT_NE(p.WaitDialog(), nullptr);
    EXPECT_TRUE(EndSession(p));
    EXPECT_EQ(p.WaitExit(), 9);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(TaskLine(file, "Typed before the log-off"), "");
    EXPECT_EQ(Fields(TaskLine(file, "Write report")).at(5), "Two pages\xF8more\xF8");
    EXPECT_EQ(IniValue(p.SettingsPath(), "Others", "Group M"), "1") << "the layout was not written";
}

TEST(SavingAndExitsScenario, ASessionEndThatCannotSaveWaitsAndSaysSoAndTheNextTakesTheTitleBeingTyped) {
    TProgram p("fail-session-end-unwritable");
    WriteEmptyDatabase(p.DatabasePath());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    AddTask(p, "Not to be lost at the log-off");
    ASSERT_TRUE(SetFileAttributesA(p.DatabasePath().c_str(), FILE_ATTRIBUTE_READONLY));
    // The session does not end over changes that cannot be written: the
    // program says why and keeps them.
    EXPECT_FALSE(EndSession(p));
    EXPECT_TRUE(p.Running());
    ASSERT_TRUE(Answer(p, SaveFailed, "OK"));
    p.Settle();
    EXPECT_TRUE(p.BecomesActive(main)) << "the keyboard did not come back to the window";
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{});
    // Once the file can be written, the next end of the session saves,
    // with the title being typed in the list's editor.
    SetFileAttributesA(p.DatabasePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    Key(p, VK_RETURN);
    ASSERT_NE(p.Focus(), parts.List) << "no editor opened";
    Key(p, VK_END);
    Type(p, " (renamed)");
    EXPECT_TRUE(EndSession(p));
    EXPECT_EQ(p.WaitExit(), 9);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{"Not to be lost at the log-off (renamed)"});
}

TEST(SavingAndExitsScenario, AProgramKilledWhileSavingLeavesTheOldFileOrTheNewAndTheNextStartOpensIt) {
    TProgram p("fail-killed-save");
    const int count = 100000;
    WriteFile(p.DatabasePath(), LargeDatabase(count));
    const unsigned seed = unsigned(std::chrono::steady_clock::now().time_since_epoch().count());
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    // Started twice at once (a double click too many): one copy runs.
    TProgram second("fail-killed-save", true);
    p.Start();
    second.Start();
    ASSERT_TRUE(WaitUntil([&] { return !p.Running() || !second.Running(); }, 30000)) << "both copies run";
    TProgram& runs = p.Running() ? p : second;
    EXPECT_EQ((p.Running() ? second : p).WaitExit(), 0);
    ASSERT_NE(runs.Main(30000), nullptr);
    EXPECT_TRUE(runs.NoDialogFor(200));
    if (&runs != &p) {
        Key(runs, 'Q', Ctrl);
        EXPECT_EQ(runs.WaitExit(), 0);
        p.Start();
        ASSERT_NE(p.Main(30000), nullptr);
    }
    // How long one save takes here.
    AddTask(p, "Added 0");
    const auto start = std::chrono::steady_clock::now();
    Key(p, 'S', Ctrl);
    const int saveMs = int(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
    int saved = 1;
    for (int round = 1; round <= 3; ++round) {
        // A task more, and the program killed at a random moment of its save.
        AddTask(p, "Added " + std::to_string(round));
        const int delay = std::uniform_int_distribution<int>(0, saveMs + 20)(random);
        std::thread killer([&] {
            Sleep(DWORD(delay));
            p.Kill();
        });
        Key(p, 'S', Ctrl);
        killer.join();
        EXPECT_EQ(p.WaitExit(), 9);
        const TTitles titles = TitlesIn(p.DatabasePath());
        ASSERT_TRUE(titles.size() == size_t(count + saved) || titles.size() == size_t(count + saved + 1))
            << "killed " << delay << " ms into a save of " << saveMs << " ms: " << titles.size() << " tasks";
        saved = int(titles.size()) - count;
        // The next start opens the file, whatever the save left beside it.
        p.Start();
        ASSERT_NE(p.Main(30000), nullptr);
        EXPECT_TRUE(p.NoDialogFor(200)) << "killed " << delay << " ms into a save of " << saveMs << " ms";
    }
    AddTask(p, "Added last");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(WaitBound * 2), 0);
    const TTitles titles = TitlesIn(p.DatabasePath());
    EXPECT_EQ(titles.size(), size_t(count + saved + 1));
    EXPECT_EQ(titles.back(), "Added last");
    EXPECT_EQ(FolderFileNames(p.PathOf("Data")), TTitles{"ActualData.kpx"}) << "a save's leftovers stayed";
}

TEST(SavingAndExitsScenario, ADatabaseHeldOpenByAnotherProgramIsNotCalledChangedAndIsSavedOnceLetGo) {
    TProgram p("fail-locked-file");
    WriteWorkDatabase(p.DatabasePath(), {"Old"});
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    AddTask(p, "Kept while locked");
    // Another program holds the file open and shares it with no one.
    HANDLE lock = CreateFileA(p.DatabasePath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    // Ctrl+S: the save fails and says why; nobody changed the file.
    Key(p, 'S', Ctrl);
    ASSERT_TRUE(Answer(p, "another program may be holding it open", "OK"));
    // The exit's save fails the same; No keeps the window and the task.
    Key(p, 'Q', Ctrl);
    ASSERT_TRUE(Answer(p, SaveFailed, "&No"));
    EXPECT_TRUE(p.NoDialogFor(300));
    EXPECT_TRUE(p.Running());
    CloseHandle(lock);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{"Old"});
    EXPECT_EQ(FolderFileNames(p.PathOf("Data")), TTitles{"ActualData.kpx"});
    // Let go: the exit saves without a question.
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), (TTitles{"Old", "Kept while locked"}));
}

TEST(SavingAndExitsScenario, TheDatabasesFolderRenamedUnderTheProgramCostsNoTask) {
    TProgram p("fail-folder-gone");
    WriteWorkDatabase(p.DatabasePath(), {"Old"});
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    AddTask(p, "Kept without a folder");
    ASSERT_TRUE(MoveFileA(p.PathOf("Data").c_str(), p.PathOf("Moved").c_str()));
    Key(p, 'S', Ctrl);
    ASSERT_TRUE(Answer(p, SaveFailed, "OK"));
    // The exit offers Save as; the copy is written and the program ends.
    Key(p, 'Q', Ctrl);
    ASSERT_TRUE(Answer(p, SaveFailed, "&Yes"));
    ASSERT_TRUE(SaveDialogAnswer(p, p.PathOf("Elsewhere.kpx")));
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.PathOf("Elsewhere.kpx")), (TTitles{"Old", "Kept without a folder"}));
    EXPECT_FALSE(FileExists(p.PathOf("Data")));
    EXPECT_EQ(TitlesIn(p.PathOf("Moved\\ActualData.kpx")), TTitles{"Old"});
}

// A copy written with "Save as..." took the changes' unsaved mark away,
// though the open file, which later saves keep writing, did not have
// them: opening another database then asked nothing, and the open file
// never got the task. The question still comes, and Yes saves the task
// into the open file.
TEST(SavingAndExitsScenario, ACopySavedAsLeavesTheOpenFilesChangesToBeAskedAbout) {
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
    EXPECT_TRUE(WaitUntil([&] { return TextOf(main) == "Qelvo v1.1 - Other.kpx" + std::string(NotAutoSavedNote); }));
    EXPECT_EQ(TitlesIn(p.DatabasePath()), (std::vector<std::string>{"Was there", "Typed today"}));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// Starts the program on TwoListsDatabase with an auto-save every minute,
// the first one due some eight seconds after the start; its main window.
HWND StartWithAutoSaveSoon(TProgram& p) {
    TEnvironmentScope shift("QELVO_CLOCK_SHIFT", ShiftToSecond(52));
    WriteFile(p.DatabasePath(), TwoListsDatabase());
    WriteFile(p.SettingsPath(), "[Options]\r\nAutoSave=1\r\nAutoSave Interval=1\r\n");
    p.Start();
    return p.Main();
}

bool CaptionSaysSaved(HWND main) { return TextOf(main).find("[Last Save at ") != std::string::npos; }

} // namespace

// The auto-save wrote the side tree back by ending the rename being typed:
// the list took the half-typed name ("Wor"), the rest of the name went to
// the tree's search, and Enter opened the editor again. The clock's save now
// leaves the editor alone: the file keeps the old name until the rename is
// done, which the next save writes.
TEST(SavingAndExitsScenario, TheAutoSaveLeavesAListBeingRenamedInItsEditor) {
    TProgram p("interrupt-rename-autosave");
    HWND main = StartWithAutoSaveSoon(p);
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ClickNode(p, tree, "Work");
    Key(p, VK_RETURN);
    Type(p, "Wor");
    ASSERT_FALSE(CaptionSaysSaved(main)) << "the auto-save came before the rename began";

    ASSERT_TRUE(WaitUntil([&] { return CaptionSaysSaved(main); }, 15000)) << "no auto-save came";
    EXPECT_EQ(ChildrenOfClass(tree, "Edit").size(), 1u) << "the auto-save closed the name's editor";
    EXPECT_EQ(Fields(TaskLine(ReadFile(p.DatabasePath()), "Call Tom")).at(3), "Work")
        << "the auto-save wrote a name still being typed";
    Type(p, "shop");
    Key(p, VK_RETURN);
    EXPECT_EQ(Texts(p, tree), "All|Worshop*|Home");
    EXPECT_EQ(p.Focus(), tree);

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom")).at(3), "Worshop");
    EXPECT_EQ(Fields(TaskLine(file, "Write report")).at(3), "Worshop");
}

// A note being typed when the auto-save came was taken into its task as if
// the user had left the note: the file has it (a save is a save), but Esc
// afterwards dropped only what was typed since the save, leaving the first
// half of an edit the user meant to drop. Esc now drops the whole edit.
TEST(SavingAndExitsScenario, EscAfterTheAutoSaveDropsTheWholeNoteEdit) {
    TProgram p("interrupt-note-autosave");
    HWND main = StartWithAutoSaveSoon(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(1));
    ASSERT_EQ(parts.NoteCaption(), "Note: Write report");
    const std::wstring stored = WideTextOf(parts.NoteEditor);
    Click(p, CenterOf(parts.NoteEditor));
    Key(p, VK_END, Ctrl);
    Type(p, " and a table");
    ASSERT_FALSE(CaptionSaysSaved(main)) << "the auto-save came before the note was typed";

    ASSERT_TRUE(WaitUntil([&] { return CaptionSaysSaved(main); }, 15000)) << "no auto-save came";
    EXPECT_EQ(Fields(TaskLine(ReadFile(p.DatabasePath()), "Write report")).at(5), "Two pages\xF8 and a table\xF8")
        << "the note typed so far is not in the auto-saved file";
    EXPECT_EQ(p.Focus(), parts.NoteEditor.Get());
    Type(p, " for Ann");
    Key(p, VK_ESCAPE);
    EXPECT_EQ(WideTextOf(parts.NoteEditor), stored) << "Esc left part of the edit";
    EXPECT_EQ(p.Focus(), parts.List);

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(Fields(TaskLine(ReadFile(p.DatabasePath()), "Write report")).at(5), "Two pages\xF8");
}

namespace {

// The program's boxes up now (message boxes and dialogs).
size_t BoxesUp(const TProgram& p) {
    size_t n = 0;
    for (HWND w : p.TopWindows())
        if (ClassOf(w) == "#32770") ++n;
    return n;
}

} // namespace

// The session held back for changes that cannot be written said so in a
// box of its own each time, stacked over a question left open and over
// the box of the time before. It says so once, when the question is
// answered, and a session held back again while it says so adds nothing.
TEST(SavingAndExitsScenario, ASessionHeldBackSaysWhyOnceAndNotOverAnOpenQuestion) {
    TProgram p("mend10-session-boxes");
    WriteWorkDatabase(p.DatabasePath(), {"Keep me"});
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    AddTask(p, "Not to be lost");
    ASSERT_TRUE(SetFileAttributesA(p.DatabasePath().c_str(), FILE_ATTRIBUTE_READONLY));
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    Key(p, VK_DELETE);
    ASSERT_NE(p.WaitDialog(), nullptr);
    // Two tries to log off with the deletion question open.
    EXPECT_FALSE(EndSession(p));
    EXPECT_FALSE(EndSession(p));
    p.Settle();
    EXPECT_EQ(BoxesUp(p), 1u) << "a box came over the question";
    ASSERT_TRUE(Answer(p, "Are you sure you want to delete", "&No"));
    ASSERT_TRUE(Answer(p, "The database could not be saved to: ", "OK"));
    EXPECT_TRUE(p.NoDialogFor(300)) << "the failure was reported twice";
    // Held back again while the report is up: still one box.
    EXPECT_FALSE(EndSession(p));
    ASSERT_NE(p.WaitDialog(), nullptr);
    EXPECT_FALSE(EndSession(p));
    p.Settle();
    EXPECT_EQ(BoxesUp(p), 1u) << "the report came twice";
    ASSERT_TRUE(Answer(p, "The database could not be saved to: ", "OK"));
    EXPECT_TRUE(p.NoDialogFor(300)) << "the failure was reported again";
    EXPECT_TRUE(p.BecomesActive(main)) << "the keyboard did not come back to the window";
    // Once the file can be written, the session ends with every task kept.
    SetFileAttributesA(p.DatabasePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(EndSession(p));
    EXPECT_EQ(p.WaitExit(), 9);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), (std::vector<std::string>{"Keep me", "Not to be lost"}));
}

namespace {

// Chooses the task in the list's row Index and opens its title's editor
// with Enter; false when no editor took the keyboard.
bool EditTitleOfRow(TProgram& p, const TMainWindowParts& parts, int index) {
    Click(p, parts.ListItem(index));
    Key(p, VK_RETURN);
    return p.Focus() != parts.List && p.Focus() != nullptr;
}

} // namespace

// Ctrl+Q and Alt+F4 take a title being typed before the exit's save.
TEST(SavingAndExitsScenario, TheExitKeysTakeTheTitleBeforeTheSave) {
    struct Exit {
        const char* name;
        WORD key;
        unsigned mods;
    };
    for (const Exit& exit : {Exit{"ctrl-q", 'Q', Ctrl}, Exit{"alt-f4", VK_F4, Alt}}) {
        TProgram p(std::string("mend-title-exit-") + exit.name);
        WriteWorkDatabase(p.DatabasePath(), NumberedTitles(50));
        p.Start();
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        const TMainWindowParts parts(main);
        ASSERT_TRUE(EditTitleOfRow(p, parts, 0)) << exit.name;
        Type(p, std::string("Typed before the exit"));
        Key(p, exit.key, exit.mods);
        // Alt+F4 asks about the changes first; Ctrl+Q saves them.
        if (exit.key == VK_F4) {
            EXPECT_TRUE(
                Answer(p, "You've made changes to this database, do you want to save before exiting?", "&Yes"));
        }
        EXPECT_EQ(p.WaitExit(), 0) << exit.name;
        EXPECT_TRUE(Holds(TitlesIn(p.DatabasePath()), "Typed before the exit")) << exit.name;
    }
}

} // namespace qelvo::e2e
