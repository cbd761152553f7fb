// The program-wide options: the [Options] section of settings.ini, the
// start-with-Windows value under the user's Run key, the colour text of
// the group underline, and the date-format choices of the options dialog.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace gcl {
struct TIdentMap;
}

namespace qelvo {

// The colour of the group underline band when its text cannot be read.
inline constexpr const char* DefaultUnderlineColorText = "$00346DE4";
inline constexpr std::int32_t DefaultUnderlineColor = 0x00346DE4;

struct TOptions {
    bool StartWithWindows = false;             // the Run value exists
    bool MinimizeToTray = true;                // "MinToTrayC"
    bool ConfirmDelete = true;                 // "Confirm Delete"
    std::string DateTimeFormat = "ddddd";      // "DateTime Format"
    bool DistinguishPriorities = true;         // "Distinguish Tasks Priorities"
    std::string GroupsUnderlineColor = DefaultUnderlineColorText;  // "Groups Underline Color"
    bool AutoSave = true;                      // "AutoSave"
    std::int32_t AutoSaveInterval = 5;         // "AutoSave Interval", minutes
    std::int32_t ListFontSize = 11;            // "List Font Size"
    std::int32_t NoteFontSize = 10;            // "Lists Font Size"
    std::string DefaultDatabase;               // "Default Database Tasks"
    bool operator==(const TOptions&) const = default;
};

// The options of this run, read at start-up and changed by the dialog.
extern TOptions Options;

// The options with their defaults; DefaultDatabase is
// DefaultDatabaseFileName (which creates the "Data" folder).
TOptions DefaultOptions();

// StartWithWindows := RunEntryExists ("Qelvo"); then every key of
// [Options] with its default. Font sizes are fitted to MinFontSize..
// MaxFontSize; an interval outside 0..MaxAutoSaveInterval gives the
// default. An error leaves what was read before it and gives False.
bool LoadOptions(const std::string& iniPath, TOptions& options);
bool LoadOptions(const std::string& iniPath);
// What a save of the options could write: the file, the Run value.
struct TOptionsSaved {
    bool File = true;
    bool RunEntry = true;
    explicit operator bool() const { return File && RunEntry; }
};
// Writes or deletes the Run value by StartWithWindows, then the keys of
// [Options] in their fixed order. Tells which could not be written (the
// rest is still attempted).
TOptionsSaved SaveOptions(const std::string& iniPath, const TOptions& options);
TOptionsSaved SaveOptions(const std::string& iniPath);
// What the user is told after a save of the options they asked for; empty
// when everything was written.
std::string OptionsNotSavedMessage(const TOptionsSaved& saved, const std::string& iniPath);

// Auto-save runs: it is on, every so many minutes (an interval of 0, which
// no dialog writes, means never).
inline bool AutoSaveRuns(const TOptions& options) { return options.AutoSave && options.AutoSaveInterval > 0; }
// The database a stored default stands for: one that names none (empty, a
// folder) stands for DefaultDatabaseFileName.
std::string UsableDefaultDatabase(const std::string& stored);

// ---- The Run value ----------------------------------------------------------------

// Name of the program's value under the Run key.
inline constexpr const char* RunValueName = "Qelvo";
// HKEY_CURRENT_USER key of programs started with Windows ("Once" appended
// for the run-once key).
inline constexpr const char* RunKeyPath = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Opens the Run key without creating it; whether the value Name exists;
// deletes it when Delete is set. False when the key cannot be opened.
bool RunEntryExists(const std::string& name, bool once = false, bool deleteIt = false);
// Opens (creating when needed) the Run key and writes Name = ExePath in
// double quotes. False when that failed.
bool WriteRunEntry(const std::string& name, const std::string& exePath, bool once = false);
// Deletes the value Name when present; True when it is absent afterwards.
bool DeleteRunEntry(const std::string& name, bool once = false);

// ---- Colour text --------------------------------------------------------------------

// "$" and eight hexadecimal digits (00BBGGRR, or FF0000nn for the system
// colour of index nn), or a colour name of Names ("clBlue", case ignored).
// Anything else gives False and leaves Color.
inline constexpr std::uint32_t LastSystemColorIndex = 30;  // COLOR_MENUBAR
bool TryColorTextToColor(const std::string& text, const gcl::TIdentMap& names, std::int32_t& color);
// The colour of the group underline: the text read, or $00346DE4 when it
// cannot be read.
std::int32_t UnderlineColorFromText(const std::string& text, const gcl::TIdentMap& names);
// A named colour as its name, any other as "$" + 8 upper-case hex digits.
std::string ColorToColorText(std::int32_t color, const gcl::TIdentMap& names);

// ---- Options dialog ------------------------------------------------------------------

// The choices of the date-format box, in order.
inline constexpr std::array<const char*, 7> DateFormatPresets = {
    "dd MMM yyyy", "dd.MM.yyyy", "ddd d.MM/yyyy", "ddd dd,MM yy ", "ddd dd,MMM yy", "ddddd", "dddddd"};
// The preview label's text: the moment Now formatted with Format (empty
// when the format cannot be applied).
std::string DateFormatPreview(const std::string& format, double now);
// Ranges of the dialog's number boxes.
inline constexpr int MinFontSize = 6, MaxFontSize = 40;
inline constexpr int MinAutoSaveInterval = 1, MaxAutoSaveInterval = 6000;

// The dialog's Ok: the edited options become the program's and are saved.
// Tells what could not be saved (the options are still taken).
TOptionsSaved ApplyOptionsDialog(const TOptions& edited, const std::string& iniPath);
// The dialog's Cancel: the options are those it was opened with (which a
// save that failed left only in memory); nothing is written.
void CancelOptionsDialog(const TOptions& shown);

} // namespace qelvo
