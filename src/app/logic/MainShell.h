// The shell's rules without the window: window captions, auto-save timing,
// saving with its result checked, the close and exit decisions, the
// hot key's decision table and the guard against saving over a database
// that could not be read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/logic/Options.h"
#include "gcl/rtl/Services.h"

namespace gcl {
struct TFileVersion;
}

namespace qelvo {

class TuData;

// The open database of this run (created by the main window at start-up,
// never freed before exit) and whether the exit saves it.
extern TuData* Database;
extern bool SaveOnExit;

// ---- Captions ------------------------------------------------------------------

// "Qelvo v1.1 - " + the file name part of FileName.
std::string FileCaption(const std::string& fileName);
// FileCaption + "   [Last Save at hh:mm]".
std::string LastSaveCaption(const std::string& fileName, double now);
// FileCaption + "  [Saving Database in N seconds ]".
std::string CountdownCaption(const std::string& fileName, int seconds);
// True when Caption shows the auto-save countdown (the options dialog
// then puts the plain file caption back).
bool CaptionHasCountdown(const std::string& caption);

// The process date formats the program runs with: short and long date
// "dd/MM/yyyy" (typed and shown dates, the filter's dates).
void ApplyProgramDateFormats();

// ---- Loading ------------------------------------------------------------------------

// What the open database file held when this run last read or wrote it,
// so that a save can tell when another writer (another copy of the
// program, a synchronising tool, another computer on a shared folder) has
// changed it since: its size and a hash of its bytes.
struct TFileStamp {
    bool Exists = false;
    std::uint64_t Size = 0;
    std::uint64_t Hash = 0;
    bool operator==(const TFileStamp&) const = default;
};

// The moments of a load and a save at which a change by another writer is
// hardest to see: the load has read the file; the save has written the
// new file beside it, which is about to replace it. A test acts there as
// another writer would; in a user's run nothing happens.
enum class TFileMoment { LoadRead, SaveBeforeReplace };
class IFileMoments {
public:
    virtual ~IFileMoments() = default;
    virtual void Reached(TFileMoment moment, const std::string& fileName) = 0;
};
extern gcl::ServiceSlot<IFileMoments> FileMoments;

// Loading a database file with its messages. A missing file or one that
// cannot be read leaves Data exactly as it was (the open database stays
// open) and gives the message to show; on success the caption to show.
// After a successful load the side tree is always rebuilt (an empty table
// gives just "All"), so the previous database's lists never reach the new
// file.
struct TLoadResult {
    bool Loaded = false;
    std::string Message;
    std::string Caption;
    TFileStamp Stamp;  // of the bytes the load read
};
TLoadResult LoadDatabaseFile(TuData& data, const std::string& fileName);
// What a start or an open says of a database file that is not there.
std::string MissingDatabaseMessage(const std::string& fileName);
// Whether the file can be opened for reading now (sharing it with every
// other program), as a load must before it reads anything.
bool FileOpensForReading(const std::string& fileName);
// A name for a copy of FileName beside it that names no file yet:
// "Name (2).ext", "Name (3).ext", ... (Save As offers it when the user
// chose to keep the open file as it is on disk).
std::string FreeCopyName(const std::string& fileName);
// "Set as default database" is checked exactly when the open file is the
// option's default database (exact text comparison).
bool IsDefaultDatabase(const TOptions& options, const std::string& openFileName);

// ---- Auto-save ------------------------------------------------------------------

// True when auto-save is on, the open file is the default database, the
// interval is positive and Minutes is a multiple of it.
bool AutoSaveDue(int minutes, const TOptions& options, const std::string& openFileName);
// The same for the program's options and open database.
bool AutoSaveDue(int minutes);

// The one-second auto-save clock. It counts changes of the wall-clock
// minute (not ticks that happen to land in second 0), so a late or early
// tick neither skips nor doubles a minute.
class TAutoSaveClock {
public:
    struct TTick {
        bool Countdown = false;  // show CountdownCaption (Seconds)
        int Seconds = 0;         // seconds left to the save
        bool SaveNow = false;    // run the save now
    };
    // One timer tick at local time Now. A tick that asks for the save also
    // restarts the count (whatever the save's result).
    TTick Tick(double now, const TOptions& options, const std::string& openFileName);
    int GetMinutes() const { return FMinutes; }
    // Starts the count again (after a save made another way).
    void Restart() { FMinutes = 0; }

private:
    long long FLastMinute = -1;
    int FMinutes = 0;
};

// Why auto-save, while it runs, leaves the open database alone: it saves
// only the default database; a file that could not be read at start-up
// is replaced only when the user says so, and so is one another program
// changed since this run read or wrote it (an auto-save found it so).
enum class TAutoSaveHold { None, NotDefault, Unread, ChangedElsewhere };
TAutoSaveHold AutoSaveHoldOf(const TOptions& options, const std::string& openFileName, bool unread,
                             bool changedElsewhere);
// Caption with the note of Hold at its end (none for None), in place of a
// note it showed before.
std::string CaptionWithHold(const std::string& caption, TAutoSaveHold hold);

// A start whose default database does not exist: what it says, naming
// the file it opened instead.
std::string MissingDefaultDatabaseMessage(const std::string& defaultDatabase, const std::string& opened);
// Options' Ok with a default database that does not exist: the question
// whether to keep it, naming the file a start opens instead.
std::string MissingDefaultDatabaseQuestion(const std::string& defaultDatabase, const std::string& opensInstead);

// ---- Saving ------------------------------------------------------------------------


// A save that reports its result: on success the caption to show (with
// the save time); on failure Modified stays set, the caption stays, and
// Message holds the error text to show.
struct TSaveResult {
    bool Saved = false;
    std::string Caption;
    std::string Message;
    TFileStamp Stamp;  // of what the file holds after the save
    // Not saved because FileName holds something other than Expected
    // said (DiskStateOf is Changed): the file is left as it was, and
    // Message is empty. A file that cannot be read for the check is left
    // too, and that is a failure that Message explains.
    bool Conflict = false;
};
// With Expected, the save replaces FileName only when ChangedOnDisk
// (Expected, FileName) is false; the check reads the file while the new
// content is made and written beside it, and looks at the file once more
// right before the new one replaces it (another version put in place
// meanwhile is a change too).
TSaveResult SaveDatabase(TuData& data, const std::string& fileName, double now,
                         const TFileStamp* expected = nullptr);

// After a failed start-up load the open path holds a file the program
// could not read; writing the (empty) database over it needs the user's
// consent or another name. Close, Ctrl+S, auto-save and the exit save
// ask this guard first.
class TSaveGuard {
public:
    // The start-up load of FileName failed (or succeeded: Clear).
    void StartupLoadFailed(const std::string& fileName) { FBlocked = fileName; }
    // A later successful load, a Save As to the blocked path or the
    // user's consent lifts the block.
    void Clear() { FBlocked.clear(); }
    // True when saving to FileName needs the user's confirmation.
    bool NeedsConfirmation(const std::string& fileName) const;
    // True when an unattended save (auto-save, the exit save without a
    // question) must not write FileName.
    bool Blocks(const std::string& fileName) const { return NeedsConfirmation(fileName); }
    const std::string& GetBlocked() const { return FBlocked; }

private:
    std::string FBlocked;
};

// The stamp of the file as it is now (Exists false when it cannot be read).
TFileStamp StampFile(const std::string& fileName);
// The stamp of bytes (a file that holds them).
TFileStamp StampBytes(std::string_view bytes);
// What FileName holds against what Stamp recorded: the same (a file
// removed since counts as unchanged, as writing it again replaces
// nobody's work), something another writer made or changed, or nothing
// this process can read now (another program holds it open, sharing it
// with no one): no proof that it is unchanged, and no sign of a change.
// Seen, when given, receives the version of the file that was read (none
// for a missing one), taken before its bytes were read.
enum class TDiskState { Unchanged, Changed, Unreadable };
TDiskState DiskStateOf(const TFileStamp& stamp, const std::string& fileName, gcl::TFileVersion* seen = nullptr);
// True when FileName may hold something other than Stamp recorded
// (DiskStateOf is not Unchanged).
bool ChangedOnDisk(const TFileStamp& stamp, const std::string& fileName);

// ---- Close and exit --------------------------------------------------------------------

enum class TAnswer { Yes, No, Cancel };

// Closing the window: only a modified database asks (Yes, No, Cancel).
struct TCloseDecision {
    bool Ask = false;        // the question is shown
    bool Close = true;       // the window closes
    bool SaveOnExit = true;  // the destroy step saves
};
// Modified: the database has unsaved changes; SaveOnExit: the current
// flag; Answer: the user's answer (used only when the question is asked).
TCloseDecision CloseDecision(bool modified, bool saveOnExit, TAnswer answer);
// "Exit without saving": Yes clears SaveOnExit and exits; No stays.
struct TExitDecision {
    bool Exit = false;
    bool SaveOnExit = true;
};
TExitDecision ExitWithoutSavingDecision(bool saveOnExit, TAnswer answer);

// "Clear database": Cancel stops; Yes saves a copy first and stops when
// that copy was not written (dialog cancelled or the write failed); No
// clears at once.
bool ClearDatabaseProceeds(TAnswer answer, bool copySaved);

// ---- Hot key ---------------------------------------------------------------------------------

enum class THotKeyAction { Minimize, RestoreAndFocus, HideToTray, ShowFromTray };
THotKeyAction HotKeyDecision(bool trayActive, bool applicationActive, bool applicationVisible);
// The "Minimize/Restore" menu item.
THotKeyAction MinimizeItemDecision(bool trayActive);

// The global hot key: Shift+Ctrl+O under the atom "Hotkey1".
inline constexpr const char* HotKeyAtomName = "Hotkey1";
inline constexpr unsigned HotKeyVirtualKey = 'O';

} // namespace qelvo
