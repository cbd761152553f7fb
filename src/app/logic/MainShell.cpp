// Captions, auto-save, saving and the close/exit/hot-key decisions.
#include "app/logic/MainShell.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "app/logic/AppMessages.h"
#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Jobs.h"
#include "gcl/rtl/Streams.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

TuData* Database = nullptr;
bool SaveOnExit = false;

namespace {
class TNoFileMoments final : public IFileMoments {
public:
    void Reached(TFileMoment, const std::string&) override {}
};
TNoFileMoments NoFileMoments;
} // namespace

gcl::ServiceSlot<IFileMoments> FileMoments(&NoFileMoments);

std::string FileCaption(const std::string& fileName) {
    return std::string(msg::MainCaption) + " - " + gcl::ExtractFileName(fileName);
}

std::string LastSaveCaption(const std::string& fileName, double now) {
    return FileCaption(fileName) + msg::LastSaveHead + gcl::FormatDateTime("hh:mm", now) + "]";
}

std::string CountdownCaption(const std::string& fileName, int seconds) {
    return FileCaption(fileName) + msg::CountdownHead + gcl::IntToStr(seconds) + msg::CountdownTail;
}

bool CaptionHasCountdown(const std::string& caption) {
    return caption.size() > 1 && caption.find(msg::CountdownMarker, 1) != std::string::npos;
}

void ApplyProgramDateFormats() {
    gcl::FormatSettings().ShortDateFormat = "dd/MM/yyyy";
    gcl::FormatSettings().LongDateFormat = "dd/MM/yyyy";
}

std::string MissingDatabaseMessage(const std::string& fileName) {
    return std::string(msg::FileMissingHead) + fileName + msg::FileMissingTail;
}

bool FileOpensForReading(const std::string& fileName) {
    try {
        gcl::TFileStream stream(fileName, gcl::fmOpenRead | gcl::fmShareDenyNone);
        return true;
    } catch (const gcl::Exception&) {
        return false;
    }
}

std::string FreeCopyName(const std::string& fileName) {
    const std::string ext = gcl::ExtractFileExt(fileName);
    const std::string stem = fileName.substr(0, fileName.size() - ext.size());
    for (int n = 2;; ++n) {
        std::string candidate = stem + " (" + std::to_string(n) + ")" + ext;
        if (!gcl::FileExists(candidate) && !gcl::DirectoryExists(candidate)) return candidate;
    }
}

TAutoSaveHold AutoSaveHoldOf(const TOptions& options, const std::string& openFileName, bool unread,
                             bool changedElsewhere) {
    if (!AutoSaveRuns(options)) return TAutoSaveHold::None;
    if (!IsDefaultDatabase(options, openFileName)) return TAutoSaveHold::NotDefault;
    if (unread) return TAutoSaveHold::Unread;
    if (changedElsewhere) return TAutoSaveHold::ChangedElsewhere;
    return TAutoSaveHold::None;
}

std::string CaptionWithHold(const std::string& caption, TAutoSaveHold hold) {
    std::string text = caption;
    for (const char* note : {msg::NotDefaultNote, msg::UnreadNote, msg::ChangedElsewhereNote}) {
        const std::string_view n(note);
        if (text.size() >= n.size() && text.compare(text.size() - n.size(), n.size(), n) == 0) {
            text.erase(text.size() - n.size());
            break;
        }
    }
    switch (hold) {
    case TAutoSaveHold::None: break;
    case TAutoSaveHold::NotDefault: text += msg::NotDefaultNote; break;
    case TAutoSaveHold::Unread: text += msg::UnreadNote; break;
    case TAutoSaveHold::ChangedElsewhere: text += msg::ChangedElsewhereNote; break;
    }
    return text;
}

std::string MissingDefaultDatabaseMessage(const std::string& defaultDatabase, const std::string& opened) {
    return msg::DefaultMissingHead + defaultDatabase + msg::DefaultMissingOpenedMiddle + opened +
           msg::DefaultMissingOpenedTail;
}

std::string MissingDefaultDatabaseQuestion(const std::string& defaultDatabase, const std::string& opensInstead) {
    return msg::DefaultMissingHead + defaultDatabase + msg::DefaultMissingOpensMiddle + opensInstead +
           msg::DefaultMissingOpensTail;
}

namespace {

// The hash of a file stamp, fed the bytes in pieces of any size: two
// independent 32-bit lanes over 8-byte blocks (each lane mixes its word
// as MurmurHash3 does), so a 10 MB file takes a few milliseconds even on
// a 32-bit processor.
class TStampHasher {
public:
    void Add(const char* p, size_t n) noexcept {
        FSize += n;
        if (FCarried) {
            const size_t take = std::min(n, sizeof FCarry - FCarried);
            std::memcpy(FCarry + FCarried, p, take);
            FCarried += take;
            p += take;
            n -= take;
            if (FCarried < sizeof FCarry) return;
            Block(FCarry);
            FCarried = 0;
        }
        for (; n >= 8; p += 8, n -= 8) Block(p);
        std::memcpy(FCarry, p, n);
        FCarried = n;
    }

    TFileStamp Result() const noexcept {
        std::uint32_t a = FA, b = FB;
        if (FCarried) {
            char last[8] = {};
            std::memcpy(last, FCarry, FCarried);
            a ^= Mix(Load(last));
            b ^= Mix(Load(last + 4));
        }
        const auto size = static_cast<std::uint32_t>(FSize) ^ static_cast<std::uint32_t>(FSize >> 32);
        a = Final(a ^ size);
        b = Final(b ^ size ^ a);
        return TFileStamp{true, FSize, (std::uint64_t(a) << 32) | b};
    }

private:
    static std::uint32_t Rotl(std::uint32_t x, int r) noexcept { return (x << r) | (x >> (32 - r)); }
    static std::uint32_t Load(const char* p) noexcept {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    static std::uint32_t Mix(std::uint32_t k) noexcept { return Rotl(k * 0xcc9e2d51u, 15) * 0x1b873593u; }
    static std::uint32_t Final(std::uint32_t h) noexcept {
        h ^= h >> 16;
        h *= 0x85ebca6bu;
        h ^= h >> 13;
        h *= 0xc2b2ae35u;
        return h ^ (h >> 16);
    }
    void Block(const char* p) noexcept {
        FA = Rotl(FA ^ Mix(Load(p)), 13) * 5 + 0xe6546b64u;
        FB = Rotl(FB ^ Mix(Load(p + 4)), 17) * 5 + 0x561ccd1bu;
    }

    std::uint32_t FA = 0x9747b28cu;
    std::uint32_t FB = 0x3c6ef372u;
    std::uint64_t FSize = 0;
    char FCarry[8] = {};
    size_t FCarried = 0;
};

} // namespace

TLoadResult LoadDatabaseFile(TuData& data, const std::string& fileName) {
    TLoadResult result;
    // Stamped from the bytes the load read, not from another read after it:
    // a version another writer puts in place meanwhile is a change.
    TStampHasher read;
    if (!gcl::FileExists(fileName)) {
        result.Message = MissingDatabaseMessage(fileName);
    } else if (!data.LoadFromFile(fileName, [&read](std::string_view bytes) { read.Add(bytes.data(), bytes.size()); })) {
        // A file that cannot even be opened (another program holds it with
        // no sharing, or it may not be read) is not a damaged one.
        result.Message = std::string(msg::LoadFailedHead) + fileName +
                         (FileOpensForReading(fileName) ? msg::LoadFailedTail : msg::LoadFileInUseTail);
    } else {
        result.Loaded = true;
        result.Caption = FileCaption(fileName);
        FileMoments->Reached(TFileMoment::LoadRead, fileName);
        result.Stamp = read.Result();
    }
    return result;
}

bool IsDefaultDatabase(const TOptions& options, const std::string& openFileName) {
    return options.DefaultDatabase == openFileName;
}

bool AutoSaveDue(int minutes, const TOptions& options, const std::string& openFileName) {
    if (!options.AutoSave) return false;
    if (options.DefaultDatabase != openFileName) return false;
    if (options.AutoSaveInterval <= 0) return false;
    return minutes % options.AutoSaveInterval == 0;
}

bool AutoSaveDue(int minutes) {
    return Database != nullptr && AutoSaveDue(minutes, Options, Database->FileName);
}

TAutoSaveClock::TTick TAutoSaveClock::Tick(double now, const TOptions& options, const std::string& openFileName) {
    TTick tick;
    int h = 0, m = 0, s = 0, ms = 0;
    gcl::DecodeTime(now, h, m, s, ms);
    if (AutoSaveDue(FMinutes + 1, options, openFileName) && s > 44) {
        tick.Countdown = true;
        tick.Seconds = 60 - s;
    }
    const long long minute = static_cast<long long>(std::floor(now * 1440.0 + 1e-7));
    if (FLastMinute >= 0 && minute != FLastMinute) {
        ++FMinutes;
        if (AutoSaveDue(FMinutes, options, openFileName)) {
            tick.SaveNow = true;
            FMinutes = 0;
        }
    }
    FLastMinute = minute;
    return tick;
}

TSaveResult SaveDatabase(TuData& data, const std::string& fileName, double now, const TFileStamp* expected) {
    TSaveResult result;
    // Stamped from the bytes written rather than read back.
    TStampHasher written;
    // The check reads the old file on a thread kept for such jobs while
    // the new file is written. It starts with the first bytes written, so
    // that making the temporary file does not wait behind the reading of
    // the old one. Without a thread it runs when its answer is wanted. A
    // check that fails leaves the file as one that cannot be read does.
    TDiskState state = TDiskState::Unchanged;
    gcl::TFileVersion seen;  // of the file the check read
    const auto check = [&state, &seen, expected, &fileName]() noexcept {
        try {
            state = DiskStateOf(*expected, fileName, &seen);
        } catch (...) {
            state = TDiskState::Unreadable;
        }
    };
    gcl::TJobGroup checking;
    // Set on the thread that writes, read once the save is done.
    bool tried = false, started = false;
    bool answered = !expected;
    const auto startCheck = [&] {
        if (answered || tried) return;
        tried = true;
        started = checking.Start(check);
    };
    const auto answer = [&] {
        if (!answered) {
            if (started)
                checking.Wait();
            else
                check();
            answered = true;
        }
        return state;
    };
    // Right before the replace the file is looked at once more, since
    // another writer may have put another file in its place, or written
    // it, while the new one was written. Its version tells without a
    // read; only a version that moved has its bytes compared again (a
    // tool may have written the same bytes back), and a file that moves
    // under every look is taken for changed.
    const auto unchangedAtTheReplace = [&] {
        for (int look = 0; look < 3; ++look) {
            if (gcl::FileVersionOf(fileName) == seen) return true;
            check();
            if (state != TDiskState::Unchanged) return false;
        }
        state = TDiskState::Changed;
        return false;
    };
    const bool saved = data.SaveToFile(
        fileName,
        [&](std::string_view piece) {
            startCheck();
            written.Add(piece.data(), piece.size());
        },
        [&] {
            if (answer() != TDiskState::Unchanged) return false;
            FileMoments->Reached(TFileMoment::SaveBeforeReplace, fileName);
            return !expected || unchangedAtTheReplace();
        });
    // A save that failed before the check was asked still takes its
    // answer: a file another writer changed comes first, as when the
    // check came before the save.
    result.Conflict = answer() == TDiskState::Changed;
    if (saved) {
        result.Saved = true;
        result.Stamp = written.Result();
        result.Caption = LastSaveCaption(fileName, now);
    } else if (!result.Conflict) {
        result.Message = std::string(msg::SaveFailedHead) + fileName +
                         (state == TDiskState::Unreadable ? msg::SaveFileInUse : "") + msg::SaveFailedTail;
    }
    return result;
}

TFileStamp StampBytes(std::string_view bytes) {
    TStampHasher hasher;
    hasher.Add(bytes.data(), bytes.size());
    return hasher.Result();
}

namespace {

// The stamp of the file as it is now; when the file's size is not
// SizeWanted (-1: any), only its size is read (a stamp with that size).
// Unreadable (when given) tells a file that could not be opened; Seen
// (when given) receives the version of the file opened, taken before its
// bytes are read, so that a write during the read shows as a change of it.
TFileStamp ReadStamp(const std::string& fileName, std::int64_t sizeWanted, bool* unreadable = nullptr,
                     gcl::TFileVersion* seen = nullptr) {
    if (!gcl::FileExists(fileName)) return TFileStamp{};
    try {
        std::unique_ptr<gcl::TFileStream> opened;
        try {
            opened = std::make_unique<gcl::TFileStream>(fileName, gcl::fmOpenRead | gcl::fmShareDenyNone);
        } catch (const gcl::Exception&) {
            if (unreadable) *unreadable = true;
            return TFileStamp{};
        }
        gcl::TFileStream& stream = *opened;
        if (seen) *seen = gcl::FileVersionOfHandle(stream.GetHandle());
        if (sizeWanted >= 0 && stream.GetSize() != sizeWanted)
            return TFileStamp{true, static_cast<std::uint64_t>(stream.GetSize()), 0};
        // Read a block at a time: the whole file is never held.
        std::vector<char> block(256 * 1024);
        TStampHasher hasher;
        for (;;) {
            const std::int32_t n = stream.Read(block.data(), static_cast<std::int32_t>(block.size()));
            if (n <= 0) break;
            hasher.Add(block.data(), static_cast<size_t>(n));
        }
        // A read that failed part way (or a file growing under it) is no
        // stamp of the file.
        const TFileStamp stamp = hasher.Result();
        if (static_cast<std::int64_t>(stamp.Size) != stream.GetSize()) return TFileStamp{};
        return stamp;
    } catch (const gcl::Exception&) {
        return TFileStamp{};
    }
}

} // namespace

TFileStamp StampFile(const std::string& fileName) {
    return ReadStamp(fileName, -1);
}

TDiskState DiskStateOf(const TFileStamp& stamp, const std::string& fileName, gcl::TFileVersion* seen) {
    if (seen) *seen = gcl::TFileVersion{};
    if (!gcl::FileExists(fileName)) return TDiskState::Unchanged;
    // Another size is a change, seen without reading the file. The same
    // size (and the same last-write time) is no proof of the same bytes:
    // another writer may put other bytes of that size within the time's
    // resolution (two seconds on some disks and shares) or set the time
    // back, as copying and synchronising tools do; so then the bytes are
    // compared.
    bool unreadable = false;
    const TFileStamp now =
        ReadStamp(fileName, stamp.Exists ? static_cast<std::int64_t>(stamp.Size) : -1, &unreadable, seen);
    if (unreadable) return TDiskState::Unreadable;
    // A file that exists but was not read whole (it grew or shrank under
    // the reading) is not taken for unchanged.
    if (!now.Exists) return TDiskState::Changed;
    return now == stamp ? TDiskState::Unchanged : TDiskState::Changed;
}

bool ChangedOnDisk(const TFileStamp& stamp, const std::string& fileName) {
    return DiskStateOf(stamp, fileName) != TDiskState::Unchanged;
}

bool TSaveGuard::NeedsConfirmation(const std::string& fileName) const {
    return !FBlocked.empty() && gcl::SameText(FBlocked, fileName);
}

TCloseDecision CloseDecision(bool modified, bool saveOnExit, TAnswer answer) {
    TCloseDecision d;
    d.SaveOnExit = saveOnExit;
    if (!modified) return d;
    d.Ask = true;
    switch (answer) {
    case TAnswer::Yes: d.SaveOnExit = true; break;
    case TAnswer::No: d.SaveOnExit = false; break;
    case TAnswer::Cancel: d.Close = false; break;
    }
    return d;
}

TExitDecision ExitWithoutSavingDecision(bool saveOnExit, TAnswer answer) {
    TExitDecision d;
    d.SaveOnExit = saveOnExit;
    if (answer == TAnswer::Yes) {
        d.Exit = true;
        d.SaveOnExit = false;
    }
    return d;
}

bool ClearDatabaseProceeds(TAnswer answer, bool copySaved) {
    switch (answer) {
    case TAnswer::Yes: return copySaved;
    case TAnswer::No: return true;
    case TAnswer::Cancel: return false;
    }
    return false;
}

THotKeyAction HotKeyDecision(bool trayActive, bool applicationActive, bool applicationVisible) {
    if (!trayActive) return applicationActive ? THotKeyAction::Minimize : THotKeyAction::RestoreAndFocus;
    return applicationVisible ? THotKeyAction::HideToTray : THotKeyAction::ShowFromTray;
}

THotKeyAction MinimizeItemDecision(bool trayActive) {
    return trayActive ? THotKeyAction::HideToTray : THotKeyAction::Minimize;
}

} // namespace qelvo
