// The shell's captions, auto-save clock, saving, close/exit decisions and
// the hot key.
#include <gtest/gtest.h>

#include "AppLogicTest.h"
#include "app/logic/MainShell.h"
#include "data/uDataMan.h"
#include "gcl/rtl/Files.h"

#include <set>

#ifdef _WIN32
#include "gcl/rtl/WinApi.h"
#else
#include <sys/stat.h>
#endif

namespace qelvo {
namespace {

double At(int h, int m, int s) {
    return gcl::EncodeDate(2025, 3, 5) + gcl::EncodeTime(h, m, s, 0);
}

TEST(MainShell, Captions) {
    const std::string file = std::string("C:") + gcl::PathDelim + "Data" + gcl::PathDelim + "ActualData.kpx";
    EXPECT_EQ("Qelvo v1.1 - ActualData.kpx", FileCaption(file));
    EXPECT_EQ("Qelvo v1.1 - ActualData.kpx   [Last Save at 09:05]", LastSaveCaption(file, At(9, 5, 59)));
    EXPECT_EQ("Qelvo v1.1 - ActualData.kpx  [Saving Database in 15 seconds ]", CountdownCaption(file, 15));
    EXPECT_TRUE(CaptionHasCountdown(CountdownCaption(file, 3)));
    EXPECT_FALSE(CaptionHasCountdown(LastSaveCaption(file, 0)));
    EXPECT_FALSE(CaptionHasCountdown("[Saving Database in"));  // looked for after the first character
}

TEST(MainShell, AFreeCopyNameNamesNoFileBesideTheOriginal) {
    test::TempDir dir;
    const std::string file = dir.Path() + "ActualData.kpx";
    test::WriteTestFile(file, "x");
    EXPECT_EQ(dir.Path() + "ActualData (2).kpx", FreeCopyName(file));
    // Names taken (by a file or a folder) are passed over.
    test::WriteTestFile(dir.Path() + "ActualData (2).kpx", "x");
    gcl::ForceDirectories(dir.Path() + "ActualData (3).kpx");
    EXPECT_EQ(dir.Path() + "ActualData (4).kpx", FreeCopyName(file));
    // A name without an extension, and a dot in a folder's name.
    const std::string plain = dir.Path() + "v1.5" + gcl::PathDelim + "tasks";
    EXPECT_EQ(plain + " (2)", FreeCopyName(plain));
}

TEST(MainShell, AutoSaveDue) {
    TOptions o;
    o.DefaultDatabase = "a.kpx";
    o.AutoSaveInterval = 5;
    EXPECT_TRUE(AutoSaveDue(10, o, "a.kpx"));
    EXPECT_FALSE(AutoSaveDue(11, o, "a.kpx"));
    EXPECT_FALSE(AutoSaveDue(10, o, "b.kpx"));  // only the default database
    EXPECT_FALSE(AutoSaveDue(10, o, "A.kpx"));
    o.AutoSave = false;
    EXPECT_FALSE(AutoSaveDue(10, o, "a.kpx"));
    o.AutoSave = true;
    o.AutoSaveInterval = 0;  // never due
    EXPECT_FALSE(AutoSaveDue(0, o, "a.kpx"));
    o.AutoSaveInterval = -3;
    EXPECT_FALSE(AutoSaveDue(3, o, "a.kpx"));

    // The program's own options and database.
    EXPECT_FALSE(AutoSaveDue(5));  // no database yet
    TuData data;
    data.FileName = "a.kpx";
    Database = &data;
    const TOptions saved = Options;
    Options = TOptions();
    Options.DefaultDatabase = "a.kpx";
    EXPECT_TRUE(AutoSaveDue(5));
    EXPECT_FALSE(AutoSaveDue(6));
    Options = saved;
    Database = nullptr;
}

// While auto-save is on, the caption says why it leaves the open
// database, and a note replaces the one shown before rather than piling
// up after the last save's time.
TEST(MainShell, TheCaptionSaysWhyAutoSaveLeavesTheOpenDatabase) {
    TOptions o;
    o.DefaultDatabase = "a.kpx";
    EXPECT_EQ(TAutoSaveHold::None, AutoSaveHoldOf(o, "a.kpx", false, false));
    EXPECT_EQ(TAutoSaveHold::NotDefault, AutoSaveHoldOf(o, "b.kpx", false, false));
    EXPECT_EQ(TAutoSaveHold::Unread, AutoSaveHoldOf(o, "a.kpx", true, false));
    EXPECT_EQ(TAutoSaveHold::ChangedElsewhere, AutoSaveHoldOf(o, "a.kpx", false, true));
    // Off (or never due), it leaves every database: nothing to say.
    o.AutoSaveInterval = 0;
    EXPECT_EQ(TAutoSaveHold::None, AutoSaveHoldOf(o, "b.kpx", true, true));
    o.AutoSaveInterval = 5;
    o.AutoSave = false;
    EXPECT_EQ(TAutoSaveHold::None, AutoSaveHoldOf(o, "b.kpx", false, true));

    const std::string saved = LastSaveCaption(std::string("C:") + gcl::PathDelim + "b.kpx", At(9, 5, 0));
    const std::string other = CaptionWithHold(saved, TAutoSaveHold::NotDefault);
    EXPECT_EQ("Qelvo v1.1 - b.kpx   [Last Save at 09:05]  [Not auto-saved: not the default database]", other);
    EXPECT_EQ(other, CaptionWithHold(other, TAutoSaveHold::NotDefault));
    const std::string changed = CaptionWithHold(other, TAutoSaveHold::ChangedElsewhere);
    EXPECT_EQ("Qelvo v1.1 - b.kpx   [Last Save at 09:05]  [Not saved: changed by another program, Ctrl+S decides]",
              changed);
    EXPECT_EQ(saved, CaptionWithHold(changed, TAutoSaveHold::None));
    EXPECT_EQ(saved, CaptionWithHold(saved, TAutoSaveHold::None));
}

TEST(MainShell, AutoSaveClockCountsWallClockMinutes) {
    TOptions o;
    o.DefaultDatabase = "a.kpx";
    o.AutoSaveInterval = 1;
    TAutoSaveClock clock;
    // Countdown from 15 to 1 in the last seconds of the minute.
    EXPECT_FALSE(clock.Tick(At(10, 0, 44), o, "a.kpx").Countdown);
    TAutoSaveClock::TTick t = clock.Tick(At(10, 0, 45), o, "a.kpx");
    EXPECT_TRUE(t.Countdown);
    EXPECT_EQ(15, t.Seconds);
    EXPECT_FALSE(t.SaveNow);
    EXPECT_EQ(1, clock.Tick(At(10, 0, 59), o, "a.kpx").Seconds);
    // A tick that misses second 0 still counts the new minute.
    t = clock.Tick(At(10, 1, 1), o, "a.kpx");
    EXPECT_TRUE(t.SaveNow);
    EXPECT_FALSE(t.Countdown);
    EXPECT_EQ(0, clock.GetMinutes());
    // Two ticks in one minute count it once.
    o.AutoSaveInterval = 2;
    EXPECT_FALSE(clock.Tick(At(10, 2, 0), o, "a.kpx").SaveNow);
    EXPECT_FALSE(clock.Tick(At(10, 2, 0) + 0.4 / 86400, o, "a.kpx").SaveNow);
    EXPECT_EQ(1, clock.GetMinutes());
    EXPECT_TRUE(clock.Tick(At(10, 3, 0), o, "a.kpx").SaveNow);
    // Another database open: no countdown and no save.
    clock.Restart();
    for (int m = 4; m < 9; ++m) {
        const TAutoSaveClock::TTick x = clock.Tick(At(10, m, 50), o, "b.kpx");
        EXPECT_FALSE(x.Countdown || x.SaveNow);
    }
}

TEST(MainShell, SaveReportsItsResult) {
    test::TProgramFolder app;
    TuData data;
    data.DbId = "d_id-0000000001";
    data.Modified = true;
    const std::string file = app.File("db.kpx");
    TSaveResult r = SaveDatabase(data, file, At(12, 34, 0));
    EXPECT_TRUE(r.Saved);
    EXPECT_EQ("Qelvo v1.1 - db.kpx   [Last Save at 12:34]", r.Caption);
    EXPECT_FALSE(data.Modified);

    data.Modified = true;
    const std::string bad = app.File("missing-folder") + gcl::PathDelim + "db.kpx";
    r = SaveDatabase(data, bad, At(12, 35, 0));
    EXPECT_FALSE(r.Saved);
    EXPECT_EQ("", r.Caption);
    EXPECT_NE(std::string::npos, r.Message.find(bad));
    EXPECT_TRUE(data.Modified);
}

// A save that checks the file first: another writer's change (even of
// the same size) stops it before the file is replaced, and says so
// without an error text; the stamp of a save is that of the file it made.
TEST(MainShell, ASaveLeavesAFileAnotherWriterChanged) {
    test::TProgramFolder app;
    TuData data;
    data.DbId = "d_id-0000000001";
    for (int i = 0; i < 20000; ++i) {
        auto* t = new TuTask();
        t->Title = "Task " + std::to_string(i);
        data.Tasks->AddObject(t->Title, t);
    }
    const std::string file = app.File("db.kpx");
    // No file yet: nothing to replace unasked.
    const TFileStamp none = StampFile(file);
    TSaveResult r = SaveDatabase(data, file, At(9, 0, 0), &none);
    ASSERT_TRUE(r.Saved);
    EXPECT_FALSE(r.Conflict);
    EXPECT_EQ(r.Stamp, StampFile(file));
    const TFileStamp mine = r.Stamp;

    // Unchanged since: saved.
    data.Modified = true;
    r = SaveDatabase(data, file, At(9, 1, 0), &mine);
    EXPECT_TRUE(r.Saved);
    EXPECT_FALSE(data.Modified);

    std::string other = gcl::ReadFileBytes(file);
    other[other.size() / 2] ^= 1;
    for (const std::string& theirs : {other, other + "more"}) {
        ASSERT_TRUE(gcl::WriteFileAtomic(file, theirs.data(), theirs.size()));
        data.Modified = true;
        r = SaveDatabase(data, file, At(9, 2, 0), &mine);
        EXPECT_FALSE(r.Saved);
        EXPECT_TRUE(r.Conflict);
        EXPECT_EQ("", r.Message);
        EXPECT_EQ("", r.Caption);
        EXPECT_TRUE(data.Modified);
        EXPECT_TRUE(gcl::ReadFileBytes(file) == theirs);
        EXPECT_EQ(gcl::RemoveStaleTempFiles(file), 0);
    }
    // Saved without the check (the user said so): replaced.
    r = SaveDatabase(data, file, At(9, 3, 0));
    EXPECT_TRUE(r.Saved);
    EXPECT_EQ(r.Stamp, StampFile(file));
    EXPECT_TRUE(gcl::ReadFileBytes(file) == data.GetFileText());
}

// Another writer that puts its own version of the database in place of
// the file, as a rename over it does, at one moment of a load or a save.
class TOtherWriterAt final : public IFileMoments {
public:
    TOtherWriterAt(TFileMoment moment, std::string theirs) : FMoment(moment), FTheirs(std::move(theirs)) {}
    void Reached(TFileMoment moment, const std::string& fileName) override {
        if (moment != FMoment || Acted) return;
        Acted = true;
        EXPECT_TRUE(gcl::WriteFileAtomic(fileName, FTheirs.data(), FTheirs.size()));
    }
    bool Acted = false;

private:
    const TFileMoment FMoment;
    const std::string FTheirs;
};

// Another writer's version put in place of the database while the save
// writes its own, however late: up to the moment the new file is about to
// replace the old one, it is seen, and their file stays (the new one goes).
// The same bytes put back in place (a synchronising tool writing the file
// again) replace nobody's work: saved.
TEST(MainShell, ASaveSeesAnotherWriterUpToTheReplace) {
    test::TProgramFolder app;
    TuData data;
    data.DbId = "d_id-0000000001";
    for (int i = 0; i < 20000; ++i) test::AddTask(data, "Task " + std::to_string(i));
    const std::string file = app.File("db.kpx");
    TSaveResult r = SaveDatabase(data, file, At(9, 0, 0));
    ASSERT_TRUE(r.Saved);
    const TFileStamp mine = r.Stamp;
    const std::string mineBytes = gcl::ReadFileBytes(file);
    test::AddTask(data, "Mine");
    data.Modified = true;
    std::string theirs = mineBytes;
    theirs[theirs.size() / 2] ^= 1;
    const auto saveMeeting = [&](const std::string& version) {
        TOtherWriterAt other(TFileMoment::SaveBeforeReplace, version);
        gcl::ServiceOverride<IFileMoments> use(FileMoments, other);
        const TSaveResult result = SaveDatabase(data, file, At(9, 1, 0), &mine);
        EXPECT_TRUE(other.Acted);
        return result;
    };
    r = saveMeeting(theirs);
    EXPECT_FALSE(r.Saved);
    EXPECT_TRUE(r.Conflict);
    EXPECT_EQ("", r.Message);
    EXPECT_TRUE(data.Modified);
    EXPECT_TRUE(gcl::ReadFileBytes(file) == theirs);
    EXPECT_EQ(test::FileNamesIn(app.Dir()), std::set<std::string>{"db.kpx"});

    ASSERT_TRUE(gcl::WriteFileAtomic(file, mineBytes.data(), mineBytes.size()));
    r = saveMeeting(mineBytes);
    EXPECT_TRUE(r.Saved);
    EXPECT_FALSE(r.Conflict);
    EXPECT_TRUE(gcl::ReadFileBytes(file) == data.GetFileText());
    EXPECT_EQ(test::FileNamesIn(app.Dir()), std::set<std::string>{"db.kpx"});
}

// A load's stamp is of the bytes the load read (of a file in UTF-16 too,
// which the load takes in the code page): another version put in place
// right after the read is a change that the next save sees.
TEST(MainShell, ALoadStampsTheBytesItRead) {
    test::TProgramFolder app;
    const std::string file = app.File("db.kpx");
    TuData data;
    data.DbId = "d_id-0000000001";
    test::AddTask(data, "Ours");
    const std::string ours = data.GetFileText();
    std::string utf16 = "\xFF\xFE";
    for (char c : ours) utf16 += std::string{c, '\0'};
    const std::string theirs = "d_id-0000000002\r\n<--<*&^Folders^&*>-->\r\n<--<*&^Tags^&*>-->\r\n";
    for (const std::string& read : {ours, utf16}) {
        ASSERT_TRUE(gcl::WriteFileAtomic(file, read.data(), read.size()));
        TuData loaded;
        TLoadResult load;
        {
            TOtherWriterAt other(TFileMoment::LoadRead, theirs);
            gcl::ServiceOverride<IFileMoments> use(FileMoments, other);
            load = LoadDatabaseFile(loaded, file);
            EXPECT_TRUE(other.Acted);
        }
        ASSERT_TRUE(load.Loaded);
        EXPECT_EQ(loaded.Tasks->GetCount(), 1);
        EXPECT_EQ(load.Stamp, StampBytes(read));
        EXPECT_EQ(DiskStateOf(load.Stamp, file), TDiskState::Changed);
        loaded.Modified = true;
        const TSaveResult r = SaveDatabase(loaded, file, At(9, 0, 0), &load.Stamp);
        EXPECT_TRUE(r.Conflict);
        EXPECT_TRUE(gcl::ReadFileBytes(file) == theirs);
    }
}

// A save that fails before it writes a byte (the file was made read-only)
// still reports another writer's change first, rather than the failure.
TEST(MainShell, AFailedSaveStillReportsAnotherWritersChange) {
    test::TProgramFolder app;
    TuData data;
    data.DbId = "d_id-0000000001";
    const std::string file = app.File("db.kpx");
    TSaveResult r = SaveDatabase(data, file, At(9, 0, 0));
    ASSERT_TRUE(r.Saved);
    const TFileStamp mine = r.Stamp;
    const std::string theirs = "d_id-0000000002\r\n";
    ASSERT_TRUE(gcl::WriteFileAtomic(file, theirs.data(), theirs.size()));
    auto setReadOnly = [&](bool on) {
#ifdef _WIN32
        SetFileAttributesA(file.c_str(), on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
        chmod(file.c_str(), on ? 0444 : 0644);
#endif
    };
    setReadOnly(true);
    data.Modified = true;
    r = SaveDatabase(data, file, At(9, 1, 0), &mine);
    EXPECT_FALSE(r.Saved);
    EXPECT_TRUE(r.Conflict);
    EXPECT_EQ("", r.Message);
    EXPECT_TRUE(data.Modified);
    EXPECT_TRUE(gcl::ReadFileBytes(file) == theirs);
    // Unchanged since it was last read: the failure is reported.
    const TFileStamp now = StampFile(file);
    r = SaveDatabase(data, file, At(9, 2, 0), &now);
    setReadOnly(false);
    EXPECT_FALSE(r.Saved);
    EXPECT_FALSE(r.Conflict);
    EXPECT_NE("", r.Message);
    EXPECT_EQ(gcl::RemoveStaleTempFiles(file), 0);
}

TEST(MainShell, SaveGuardAfterAFailedStartupLoad) {
    TSaveGuard guard;
    EXPECT_FALSE(guard.NeedsConfirmation("a.kpx"));
    guard.StartupLoadFailed("C:\\Data\\a.kpx");
    EXPECT_TRUE(guard.NeedsConfirmation("C:\\Data\\a.kpx"));
    EXPECT_TRUE(guard.Blocks("c:\\data\\A.KPX"));
    EXPECT_FALSE(guard.Blocks("C:\\Data\\copy.kpx"));
    guard.Clear();
    EXPECT_FALSE(guard.Blocks("C:\\Data\\a.kpx"));
}

TEST(MainShell, AFileChangedByAnotherWriterIsSeen) {
    test::TProgramFolder app;
    const std::string file = app.Dir() + "a.kpx";
    // Absent when read: another writer making it is a change; nothing is not.
    const TFileStamp none = StampFile(file);
    EXPECT_FALSE(none.Exists);
    EXPECT_FALSE(ChangedOnDisk(none, file));
    ASSERT_TRUE(gcl::WriteFileAtomic(file, "tasks A", 7));
    EXPECT_TRUE(ChangedOnDisk(none, file));
    const TFileStamp read = StampFile(file);
    EXPECT_EQ(read, StampBytes("tasks A"));
    EXPECT_FALSE(ChangedOnDisk(read, file));
    // Written again with the same bytes: no change; other bytes of the
    // same size, or another size: a change.
    ASSERT_TRUE(gcl::WriteFileAtomic(file, "tasks A", 7));
    EXPECT_FALSE(ChangedOnDisk(read, file));
    ASSERT_TRUE(gcl::WriteFileAtomic(file, "tasks B", 7));
    EXPECT_TRUE(ChangedOnDisk(read, file));
    ASSERT_TRUE(gcl::WriteFileAtomic(file, "tasks A and B", 13));
    EXPECT_TRUE(ChangedOnDisk(read, file));
    // Removed: writing it again replaces nobody's work.
    ASSERT_TRUE(gcl::DeleteFile(file));
    EXPECT_FALSE(ChangedOnDisk(read, file));
    EXPECT_NE(StampBytes("ab"), StampBytes("ba"));
}

#ifdef _WIN32
// A file another program holds open without sharing cannot be checked:
// the save leaves it and says why, rather than calling it changed, and a
// load says why rather than calling it damaged.
TEST(MainShell, AFileHeldOpenByAnotherProgramIsNotTakenForAChangedOne) {
    test::TProgramFolder app;
    TuData data;
    data.DbId = "d_id-0000000001";
    const std::string file = app.File("db.kpx");
    TSaveResult r = SaveDatabase(data, file, At(9, 0, 0));
    ASSERT_TRUE(r.Saved);
    const TFileStamp mine = r.Stamp;
    const std::string before = gcl::ReadFileBytes(file);
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(DiskStateOf(mine, file), TDiskState::Unreadable);
    EXPECT_TRUE(ChangedOnDisk(mine, file));
    data.DbId = "d_id-0000000002";
    data.Modified = true;
    r = SaveDatabase(data, file, At(9, 1, 0), &mine);
    // Nor does opening it call it damaged; the open database stays.
    EXPECT_FALSE(FileOpensForReading(file));
    const TLoadResult load = LoadDatabaseFile(data, file);
    CloseHandle(held);
    EXPECT_FALSE(load.Loaded);
    EXPECT_EQ(load.Message.find("corrupted"), std::string::npos) << load.Message;
    EXPECT_NE(load.Message.find("another program may be holding it open"), std::string::npos) << load.Message;
    EXPECT_EQ(data.DbId, "d_id-0000000002");
    EXPECT_TRUE(FileOpensForReading(file));
    EXPECT_FALSE(r.Saved);
    EXPECT_FALSE(r.Conflict);
    EXPECT_NE(r.Message.find("another program may be holding it open"), std::string::npos) << r.Message;
    EXPECT_TRUE(data.Modified);
    EXPECT_TRUE(gcl::ReadFileBytes(file) == before);
    EXPECT_EQ(gcl::RemoveStaleTempFiles(file), 0);
    // Let go, it is the file this run wrote: saved.
    EXPECT_EQ(DiskStateOf(mine, file), TDiskState::Unchanged);
    r = SaveDatabase(data, file, At(9, 2, 0), &mine);
    EXPECT_TRUE(r.Saved);
}
#endif

TEST(MainShell, ABigFileIsStampedWhole) {
    // Larger than one read block and of an odd size, so that blocks and the
    // last few bytes are all stamped; one byte changed anywhere is seen.
    test::TProgramFolder app;
    const std::string file = app.Dir() + "big.kpx";
    std::string bytes(600'003, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>('a' + i * 7 % 26);
    ASSERT_TRUE(gcl::WriteFileAtomic(file, bytes.data(), bytes.size()));
    const TFileStamp read = StampFile(file);
    EXPECT_EQ(read, StampBytes(bytes));
    EXPECT_EQ(read.Size, bytes.size());
    for (size_t at : {size_t(0), size_t(300'000), size_t(524'289), bytes.size() - 1}) {
        std::string other = bytes;
        other[at] = static_cast<char>(other[at] ^ 1);
        ASSERT_TRUE(gcl::WriteFileAtomic(file, other.data(), other.size()));
        EXPECT_TRUE(ChangedOnDisk(read, file)) << at;
    }
    // Bytes that differ only in the last, partial block, or by a zero byte
    // added at the end, stamp differently too.
    EXPECT_NE(StampBytes("12345678abc"), StampBytes("12345678abd"));
    EXPECT_NE(StampBytes("12345678abc"), StampBytes(std::string("12345678abc\0", 12)));
    ASSERT_TRUE(gcl::WriteFileAtomic(file, bytes.data(), bytes.size()));
    EXPECT_FALSE(ChangedOnDisk(read, file));
}

TEST(MainShell, CloseAndExitDecisions) {
    TCloseDecision d = CloseDecision(false, true, TAnswer::Cancel);
    EXPECT_FALSE(d.Ask);
    EXPECT_TRUE(d.Close && d.SaveOnExit);  // unchanged data is saved anyway
    d = CloseDecision(true, true, TAnswer::Yes);
    EXPECT_TRUE(d.Ask && d.Close && d.SaveOnExit);
    d = CloseDecision(true, true, TAnswer::No);
    EXPECT_TRUE(d.Close);
    EXPECT_FALSE(d.SaveOnExit);
    d = CloseDecision(true, true, TAnswer::Cancel);
    EXPECT_FALSE(d.Close);
    EXPECT_TRUE(d.SaveOnExit);

    TExitDecision e = ExitWithoutSavingDecision(true, TAnswer::No);
    EXPECT_FALSE(e.Exit);
    EXPECT_TRUE(e.SaveOnExit);
    e = ExitWithoutSavingDecision(true, TAnswer::Yes);
    EXPECT_TRUE(e.Exit);
    EXPECT_FALSE(e.SaveOnExit);

    EXPECT_FALSE(ClearDatabaseProceeds(TAnswer::Cancel, true));
    EXPECT_TRUE(ClearDatabaseProceeds(TAnswer::No, false));
    EXPECT_TRUE(ClearDatabaseProceeds(TAnswer::Yes, true));
    EXPECT_FALSE(ClearDatabaseProceeds(TAnswer::Yes, false));  // copy cancelled or failed
}

TEST(MainShell, HotKey) {
    EXPECT_EQ(THotKeyAction::Minimize, HotKeyDecision(false, true, true));
    EXPECT_EQ(THotKeyAction::RestoreAndFocus, HotKeyDecision(false, false, true));
    EXPECT_EQ(THotKeyAction::HideToTray, HotKeyDecision(true, false, true));
    EXPECT_EQ(THotKeyAction::ShowFromTray, HotKeyDecision(true, true, false));
    EXPECT_EQ(THotKeyAction::Minimize, MinimizeItemDecision(false));
    EXPECT_EQ(THotKeyAction::HideToTray, MinimizeItemDecision(true));
}

} // namespace
} // namespace qelvo

namespace qelvo {
namespace {

TEST(MainShell, LoadingKeepsTheOpenDatabaseOnFailure) {
    test::TProgramFolder app;
    TuData data;
    data.DbId = "d_id-0000000007";
    data.Folders->Add("Work");
    data.FileName = app.File("open.kpx");
    ASSERT_TRUE(data.SaveToFile(data.FileName));

    const std::string missing = app.File("missing.kpx");
    TLoadResult r = LoadDatabaseFile(data, missing);
    EXPECT_FALSE(r.Loaded);
    EXPECT_EQ("The file: " + missing + " does not exists!", r.Message);
    ASSERT_TRUE(gcl::WriteFileAtomic(app.File("bad.kpx"), "one line\r\n", 10));
    r = LoadDatabaseFile(data, app.File("bad.kpx"));
    EXPECT_FALSE(r.Loaded);
    EXPECT_EQ("The database: " + app.File("bad.kpx") + " cannot be loaded. Possible corrupted database.", r.Message);
    // The open database is untouched.
    EXPECT_EQ(app.File("open.kpx"), data.FileName);
    EXPECT_EQ(1, data.Folders->GetCount());

    TuData other;
    r = LoadDatabaseFile(other, app.File("open.kpx"));
    EXPECT_TRUE(r.Loaded);
    EXPECT_EQ("Qelvo v1.1 - open.kpx", r.Caption);
    EXPECT_EQ("d_id-0000000007", other.DbId);

    TOptions o;
    o.DefaultDatabase = app.File("open.kpx");
    EXPECT_TRUE(IsDefaultDatabase(o, other.FileName));
    EXPECT_FALSE(IsDefaultDatabase(o, missing));
}

TEST(MainShell, ProgramDateFormats) {
    gcl::FormatSettingsOverride keep(gcl::DefaultFormatSettings());
    ApplyProgramDateFormats();
    EXPECT_EQ("05/03/2025", gcl::DateToStr(gcl::EncodeDate(2025, 3, 5)));
    EXPECT_EQ("dd/MM/yyyy", gcl::FormatSettings().LongDateFormat);
}

} // namespace
} // namespace qelvo
