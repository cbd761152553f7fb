// Nothing lost whatever fails: the Windows session ending under the
// program (with changes unsaved, with a question or a dialog open, with a
// database that cannot be written), the program killed in the middle of
// a save, the database's folder gone or its file held by another program,
// settings files that cannot be read or written.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#include "e2e/ExitsSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

using TTitles = std::vector<std::string>;

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
std::vector<std::string> FilesIn(const std::string& folder) {
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

TEST(SessionEndScenario, TheSessionEndingWithAQuestionOpenKeepsTheChangesTheNoteAndTheLayout) {
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

TEST(SessionEndScenario, ASessionEndThatCannotSaveWaitsAndSaysSoAndTheNextTakesTheTitleBeingTyped) {
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

TEST(KilledSaveScenario, AProgramKilledWhileSavingLeavesTheOldFileOrTheNewAndTheNextStartOpensIt) {
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
    EXPECT_EQ(FilesIn(p.PathOf("Data")), TTitles{"ActualData.kpx"}) << "a save's leftovers stayed";
}

TEST(LockedFileScenario, ADatabaseHeldOpenByAnotherProgramIsNotCalledChangedAndIsSavedOnceLetGo) {
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
    EXPECT_EQ(FilesIn(p.PathOf("Data")), TTitles{"ActualData.kpx"});
    // Let go: the exit saves without a question.
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), (TTitles{"Old", "Kept while locked"}));
}

TEST(FolderGoneScenario, TheDatabasesFolderRenamedUnderTheProgramCostsNoTask) {
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

TEST(BrokenSettingsScenario, SettingsFilesOfGarbageOutOfRangeOrUnwritableNeverCostTheTasks) {
    TProgram p("fail-settings");
    WriteWorkDatabase(p.DatabasePath(), {"Old"});
    // Binary garbage with a line of two megabytes, and values no window wrote.
    std::string garbage("\xFF\xFE[Form]\x00\x1A\r\nWidth=\x00\x01\r\n", 26);
    garbage += std::string(2 << 20, 'A') + "\r\n[Others]\r\nGroup M=99\r\nCount items=7\r\n[Form]\r\nTheme=999999\r\n"
               "[Options]\r\nGroups Underline Color=$ZZ\r\nDateTime Format=" + std::string(3000, 'y') +
               "\r\nDefault Database Tasks=C:\\\r\n[Note Panel]\r\nMin=-1\r\n[Options";
    WriteFile(p.SettingsPath(), garbage);
    WriteFile(p.PathOf("settings.inicol"), std::string("[columns]\r\nC0v=0\r\nC1v=0\r\nC2v=0\r\n"));
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(p.NoDialogFor(200));
    AddTask(p, "Added on garbage");
    // The tasks show: a column file that hides every column keeps the
    // titles (no command could bring them back).
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    ASSERT_EQ(lists.size(), 1u);
    const RECT list = RectOf(lists.front());
    Shot(p, main, "fail-settings-garbage");
    EXPECT_LT(ShareOf({list.left + 2, list.top + 24, list.right - 2, list.top + 90}, RGB(255, 255, 255)), 0.97)
        << "no task is shown";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), (TTitles{"Old", "Added on garbage"}));
    EXPECT_NE(ReadFile(p.SettingsPath()).find("\r\nGroup M=1\r\n"), std::string::npos);
    EXPECT_EQ(IniValue(p.PathOf("settings.inicol"), "columns", "C0v"), "1");

    // Settings files that cannot be written (read-only; a folder in the
    // place of the column file).
    SetFileAttributesA(p.SettingsPath().c_str(), FILE_ATTRIBUTE_READONLY);
    DeleteFileA(p.PathOf("settings.inicol").c_str());
    CreateDirectoryA(p.PathOf("settings.inicol").c_str(), nullptr);
    const std::string before = ReadFile(p.SettingsPath());
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    AddTask(p, "Added read-only");
    Key(p, 'P', Alt);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), (TTitles{"Old", "Added on garbage", "Added read-only"}));
    EXPECT_EQ(ReadFile(p.SettingsPath()), before);
    SetFileAttributesA(p.SettingsPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(p.PathOf("settings.inicol").c_str());

    // Held open by a program that lets others remove or replace the file
    // but not read it: what cannot be read is not replaced by the few keys
    // written.
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    HANDLE held = CreateFileA(p.SettingsPath().c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    CloseHandle(held);
    EXPECT_EQ(ReadFile(p.SettingsPath()), before);
}

} // namespace qelvo::e2e
