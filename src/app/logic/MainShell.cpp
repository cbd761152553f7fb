// Captions, auto-save, saving and the close/exit/hot-key decisions.
#include "app/logic/MainShell.h"

#include <cmath>

#include "app/logic/AppMessages.h"
#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

TuData* Database = nullptr;
bool SaveOnExit = false;

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

TLoadResult LoadDatabaseFile(TuData& data, const std::string& fileName) {
    TLoadResult result;
    if (!gcl::FileExists(fileName)) {
        result.Message = std::string(msg::FileMissingHead) + fileName + msg::FileMissingTail;
    } else if (!data.LoadFromFile(fileName)) {
        result.Message = std::string(msg::LoadFailedHead) + fileName + msg::LoadFailedTail;
    } else {
        result.Loaded = true;
        result.Caption = FileCaption(fileName);
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

TSaveResult SaveDatabase(TuData& data, const std::string& fileName, double now) {
    TSaveResult result;
    if (data.SaveToFile(fileName)) {
        result.Saved = true;
        result.Caption = LastSaveCaption(fileName, now);
    } else {
        result.Message = std::string(msg::SaveFailedHead) + fileName + msg::SaveFailedTail;
    }
    return result;
}

TFileStamp StampBytes(const std::string& bytes) {
    // FNV-1a over the whole content.
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return TFileStamp{true, bytes.size(), hash};
}

TFileStamp StampFile(const std::string& fileName) {
    if (!gcl::FileExists(fileName)) return TFileStamp{};
    try {
        return StampBytes(gcl::ReadFileBytes(fileName));
    } catch (const gcl::Exception&) {
        return TFileStamp{};
    }
}

bool ChangedOnDisk(const TFileStamp& stamp, const std::string& fileName) {
    if (!gcl::FileExists(fileName)) return false;
    const TFileStamp now = StampFile(fileName);
    // A file that exists but cannot be read now is not taken for unchanged.
    if (!now.Exists) return true;
    return !(now == stamp);
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
