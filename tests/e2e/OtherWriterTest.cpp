// Another program or a second copy of this one at the same database: the
// file changed on disk is never overwritten unasked, a file held open is
// not called corrupted, and "keep mine" offers another name.
//
// Another program that renames its own version over the file while this
// one loads or saves it: the program lets a scenario act at the moments
// where such a change is hardest to see (QELVO_FILE_MOMENTS), right after
// the start has read the file and right before a save's new file replaces
// the old one.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "e2e/ClockSupport.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

// A database another program held open (a backup or a synchronising
// tool, with no sharing) was reported as "Possible corrupted database":
// a user told that may well throw a sound file away. The message says the
// file cannot be read now; the open database stays, and once the other
// program lets go the file opens.
TEST(OtherWriterScenario, ADatabaseAnotherProgramHoldsIsNotCalledCorrupted) {
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
    EXPECT_TRUE(WaitUntil([&] { return TextOf(main) == "Qelvo v1.1 - Other.kpx" + std::string(NotAutoSavedNote); }));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(other), std::vector<std::string>{"In the other file"});
}

// After a save found the database changed on disk and the user answered
// No ("keep it and save the tasks shown under another name"), the save
// dialog offered the very file the user had chosen to keep: Enter and the
// replace question's Yes wrote over it. The dialog now offers a name of
// its own beside it.
TEST(OtherWriterScenario, NoToReplacingAChangedFileOffersAnotherName) {
    TProgram p("mend-more-save-as");
    WriteWorkDatabase(p.DatabasePath(), {"Mine"});
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    AddTask(p, "Added here");
    // Another writer changes the file.
    WriteWorkDatabase(p.DatabasePath(), {"Theirs"});
    Key(p, 'S', Ctrl);
    ASSERT_TRUE(Answer(p, "was changed by another program", "&No"));
    HWND dialog = p.WaitDialog();
    ASSERT_NE(dialog, nullptr) << "no save dialog";
    const std::vector<HWND> edits = ChildrenOfClass(dialog, "Edit");
    ASSERT_FALSE(edits.empty());
    const std::string offered = TextOf(edits.front());
    EXPECT_EQ(offered, "ActualData (2).kpx");
    // Taken as offered, the copy goes beside the kept file.
    Key(p, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
    EXPECT_EQ(TitlesIn(p.DatabasePath()), std::vector<std::string>{"Theirs"});
    std::vector<std::string> copied = TitlesIn(p.PathOf("Data\\ActualData (2).kpx"));
    std::sort(copied.begin(), copied.end());
    EXPECT_EQ(copied, (std::vector<std::string>{"Added here", "Mine"}));
    // With the tasks saved in the copy, the exit leaves the kept file alone.
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), std::vector<std::string>{"Theirs"});
}

namespace {

// A point of a window's caption bar, left of its buttons.
POINT CaptionOf(HWND w, bool nearRight) {
    const RECT r = RectOf(w);
    const int y = r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    return {nearRight ? r.right - 120 : r.left + 120, y};
}

} // namespace

TEST(OtherWriterScenario, TwoCopiesOnOneDatabaseNeverOverwriteEachOtherUnasked) {
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

namespace {

// Another writer, on a thread of the test: waits until the program has
// reached a moment (Moment: "load-read" or "save-before-replace"), renames
// its version (a database of the task Theirs) over Path, and lets the
// program go on.
class TOtherWriter {
public:
    TOtherWriter(const std::string& prefix, const std::string& moment, const std::string& path,
                 const std::string& theirs)
        : FReached(CreateEventA(nullptr, FALSE, FALSE, (prefix + "-" + moment + "-reached").c_str())),
          FGo(CreateEventA(nullptr, FALSE, FALSE, (prefix + "-" + moment + "-go").c_str())) {
        const std::string side = path + ".theirs";
        WriteWorkDatabase(side, {theirs});
        FThread = std::thread([this, side, path] {
            if (WaitForSingleObject(FReached, WaitBound) == WAIT_OBJECT_0)
                FActed = MoveFileExA(side.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
            SetEvent(FGo);
        });
    }
    ~TOtherWriter() {
        Acted();
        CloseHandle(FReached);
        CloseHandle(FGo);
    }
    TOtherWriter(const TOtherWriter&) = delete;
    TOtherWriter& operator=(const TOtherWriter&) = delete;

    // Whether the version was put in place (false when the program never
    // reached the moment within the bound).
    bool Acted() {
        if (FThread.joinable()) FThread.join();
        return FActed;
    }

private:
    HANDLE FReached;
    HANDLE FGo;
    std::thread FThread;
    bool FActed = false;
};

} // namespace

TEST(OtherWriterScenario, AVersionRenamedOverTheDatabaseWhileItIsLoadedOrSavedIsNeverReplacedUnasked) {
    TProgram p("other-writer");
    const std::string db = p.DatabasePath();
    WriteWorkDatabase(db, {"Ours"});
    const std::string prefix = "qelvo-e2e-other-writer-" + std::to_string(GetCurrentProcessId());
    TEnvironmentScope moments("QELVO_FILE_MOMENTS", prefix);
    const char* changed = "was changed by another program";

    // Their version comes once the start has read ours: the window shows
    // ours, and the first save asks before it replaces theirs.
    HWND main = nullptr;
    {
        TOtherWriter atLoad(prefix, "load-read", db, "Theirs at the start");
        p.Start();
        main = p.Main();
        ASSERT_TRUE(atLoad.Acted()) << "the start never reached the moment after its read";
    }
    ASSERT_NE(main, nullptr);
    AddTask(p, "Mine");
    Key(p, 'S', Ctrl);
    ASSERT_TRUE(Answer(p, changed, "Cancel"));
    EXPECT_EQ(TitlesIn(db), TTitles{"Theirs at the start"});
    Key(p, 'S', Ctrl);
    ASSERT_TRUE(Answer(p, changed, "&Yes"));
    EXPECT_TRUE(WaitUntil([&] { return TitlesIn(db) == TTitles{"Ours", "Mine"}; }));

    // Their version comes once a save has written its new file beside the
    // old, right before the replace: asked again, and Cancel keeps theirs
    // and leaves nothing of the save behind.
    AddTask(p, "Mine too");
    {
        TOtherWriter atSave(prefix, "save-before-replace", db, "Theirs during the save");
        Key(p, 'S', Ctrl);
        ASSERT_TRUE(atSave.Acted()) << "the save never reached the moment before its replace";
    }
    ASSERT_TRUE(Answer(p, changed, "Cancel"));
    EXPECT_EQ(TitlesIn(db), TTitles{"Theirs during the save"});
    WIN32_FIND_DATAA found;
    const HANDLE left = FindFirstFileA(p.PathOf("Data\\*.tmp").c_str(), &found);
    EXPECT_EQ(left, INVALID_HANDLE_VALUE) << "left behind: " << found.cFileName;
    if (left != INVALID_HANDLE_VALUE) FindClose(left);

    // The exit asks as well; Yes replaces their version with the tasks shown.
    Key(p, 'Q', Ctrl);
    ASSERT_TRUE(Answer(p, changed, "&Yes"));
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(db), (TTitles{"Ours", "Mine", "Mine too"}));
}

// With auto-save every minute and the file changed by another program,
// the caption counted "Saving Database in 15 ... 2 seconds" and fell back
// with nothing saved and no word until Ctrl+S or the exit. The file is
// still left alone, and the caption now says it was not saved and why;
// Ctrl+S asks and, answered Yes, saves and takes the word away.
TEST(OtherWriterScenario, AnAutoSaveThatLeavesAFileAnotherProgramChangedSaysSo) {
    TProgram p("other-writer-autosave");
    WriteWorkDatabase(p.DatabasePath(), {"Mine"});
    WriteFile(p.SettingsPath(), "[Options]\r\nMinToTrayC=0\r\nAutoSave=1\r\nAutoSave Interval=1\r\n");
    // The first auto-save comes some twenty seconds after the start; one
    // that comes before the other program writes saves the tasks as read,
    // and the next minute's finds the file changed.
    TEnvironmentScope shift("QELVO_CLOCK_SHIFT", ShiftToSecond(40));
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    // The other program writes while no auto-save counts down (a start
    // slowed past the first one's moment), never in the middle of a save.
    const auto countsDown = [&] { return TextOf(main).find("[Saving Database in") != std::string::npos; };
    ASSERT_TRUE(WaitUntil([&] { return !countsDown(); }, 30000)) << TextOf(main);
    WriteWorkDatabase(p.DatabasePath(), {"Theirs"});
    const std::string theirs = ReadFile(p.DatabasePath());

    const auto saysLeft = [&] { return TextOf(main).find("changed by another program") != std::string::npos; };
    EXPECT_TRUE(WaitUntil(saysLeft, 75000)) << "the auto-save left the file without a word: " << TextOf(main);
    EXPECT_EQ(ReadFile(p.DatabasePath()), theirs) << "the auto-save wrote over the other program's work";
    EXPECT_NE(TextOf(main).find("Ctrl+S"), std::string::npos) << TextOf(main);

    Key(p, 'S', Ctrl);
    ASSERT_TRUE(Answer(p, "was changed by another program", "&Yes"));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(main).find("[Last Save at") != std::string::npos && !saysLeft(); }))
        << TextOf(main);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{"Mine"});
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
