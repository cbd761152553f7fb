// Options: settings.ini's [Options] section, the Run value and colour text.
#include "app/logic/Options.h"

#include <algorithm>

#include "app/logic/AppMessages.h"
#include "app/logic/LayoutSettings.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/IniFiles.h"
#include "gcl/rtl/Registry.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"

namespace qelvo {

TOptions Options;

namespace {

constexpr const char* SOptions = "Options";

std::string RunKey(bool once) {
    return once ? std::string(RunKeyPath) + "Once" : std::string(RunKeyPath);
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

TOptions DefaultOptions() {
    TOptions o;
    o.DefaultDatabase = DefaultDatabaseFileName();
    return o;
}

bool LoadOptions(const std::string& iniPath, TOptions& options) {
    try {
        options.StartWithWindows = RunEntryExists(RunValueName);
        gcl::TMemIniFile ini(iniPath);
        options.MinimizeToTray = ini.ReadBool(SOptions, "MinToTrayC", true);
        options.ConfirmDelete = ini.ReadBool(SOptions, "Confirm Delete", true);
        options.DateTimeFormat = ini.ReadString(SOptions, "DateTime Format", "ddddd");
        options.DistinguishPriorities = ini.ReadBool(SOptions, "Distinguish Tasks Priorities", true);
        options.GroupsUnderlineColor = ini.ReadString(SOptions, "Groups Underline Color", DefaultUnderlineColorText);
        options.AutoSave = ini.ReadBool(SOptions, "AutoSave", true);
        // Numbers beyond what the dialog offers are fitted to it (font
        // sizes) or taken for garbage (an interval: 0 still means never).
        const int interval = ini.ReadInteger(SOptions, "AutoSave Interval", 5);
        options.AutoSaveInterval = interval >= 0 && interval <= MaxAutoSaveInterval ? interval : 5;
        options.ListFontSize = std::clamp(ini.ReadInteger(SOptions, "List Font Size", 11), MinFontSize, MaxFontSize);
        options.NoteFontSize = std::clamp(ini.ReadInteger(SOptions, "Lists Font Size", 10), MinFontSize, MaxFontSize);
        options.DefaultDatabase =
            UsableDefaultDatabase(ini.ReadString(SOptions, "Default Database Tasks", DefaultDatabaseFileName()));
        return true;
    } catch (const gcl::Exception&) {
        return false;
    }
}

bool LoadOptions(const std::string& iniPath) {
    return LoadOptions(iniPath, Options);
}

namespace {

// A text value as the profile rules read it back unchanged: those rules
// drop blanks at a value's ends and one pair of matching quotes around it,
// so a value that has either (a date format "'by' dd/MM 'latest'", or
// "ddd dd,MM yy " with its blank) is written inside double quotes, which
// the reading takes off again. Other values are written as they are.
std::string StoredText(const std::string& value) {
    if (value.empty()) return value;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; };
    const char first = value.front(), last = value.back();
    const bool quoted = value.size() >= 2 && (first == '"' || first == '\'') && last == first;
    return quoted || blank(first) || blank(last) ? '"' + value + '"' : value;
}

} // namespace

TOptionsSaved SaveOptions(const std::string& iniPath, const TOptions& options) {
    TOptionsSaved saved;
    try {
        if (options.StartWithWindows)
            saved.RunEntry = WriteRunEntry(RunValueName, AppLocation->ExePath());
        else
            saved.RunEntry = DeleteRunEntry(RunValueName);
    } catch (const gcl::Exception&) {
        saved.RunEntry = false;
    }
    try {
        gcl::TMemIniFile ini(iniPath);
        ini.WriteString(SOptions, "DateTime Format", StoredText(options.DateTimeFormat));
        ini.WriteBool(SOptions, "MinToTrayC", options.MinimizeToTray);
        ini.WriteBool(SOptions, "Confirm Delete", options.ConfirmDelete);
        ini.WriteBool(SOptions, "Distinguish Tasks Priorities", options.DistinguishPriorities);
        ini.WriteString(SOptions, "Groups Underline Color", StoredText(options.GroupsUnderlineColor));
        ini.WriteBool(SOptions, "AutoSave", options.AutoSave);
        ini.WriteInteger(SOptions, "AutoSave Interval", options.AutoSaveInterval);
        ini.WriteInteger(SOptions, "List Font Size", options.ListFontSize);
        ini.WriteInteger(SOptions, "Lists Font Size", options.NoteFontSize);
        ini.WriteString(SOptions, "Default Database Tasks", StoredText(options.DefaultDatabase));
        ini.UpdateFile();
    } catch (const gcl::Exception&) {
        saved.File = false;
    }
    return saved;
}

TOptionsSaved SaveOptions(const std::string& iniPath) {
    return SaveOptions(iniPath, Options);
}

std::string OptionsNotSavedMessage(const TOptionsSaved& saved, const std::string& iniPath) {
    std::string text;
    if (!saved.File) text = msg::SettingsNotSavedHead + iniPath + msg::SettingsNotSavedTail;
    if (!saved.RunEntry) text += (text.empty() ? "" : "\r\n\r\n") + std::string(msg::RunEntryNotSaved);
    return text;
}

std::string UsableDefaultDatabase(const std::string& stored) {
    if (stored.empty() || gcl::DirectoryExists(stored)) return DefaultDatabaseFileName();
    return stored;
}

bool RunEntryExists(const std::string& name, bool once, bool deleteIt) {
    gcl::TRegistry reg;
    reg.SetRootKey(gcl::TRegRootKey::CurrentUser);
    if (!reg.OpenKeyReadOnly(RunKey(once))) return false;
    const bool exists = reg.ValueExists(name);
    if (exists && deleteIt) {
        reg.CloseKey();
        if (reg.OpenKey(RunKey(once), false)) reg.DeleteValue(name);
    }
    return exists;
}

bool WriteRunEntry(const std::string& name, const std::string& exePath, bool once) {
    gcl::TRegistry reg;
    reg.SetRootKey(gcl::TRegRootKey::CurrentUser);
    if (!reg.OpenKey(RunKey(once), true)) return false;
    try {
        reg.WriteString(name, "\"" + exePath + "\"");
    } catch (const gcl::Exception&) {
        return false;
    }
    return true;
}

bool DeleteRunEntry(const std::string& name, bool once) {
    RunEntryExists(name, once, true);
    return !RunEntryExists(name, once);
}

bool TryColorTextToColor(const std::string& text, const gcl::TIdentMap& names, std::int32_t& color) {
    const std::string t = gcl::Trim(text);
    if (t.size() == 9 && t[0] == '$') {
        std::uint32_t v = 0;
        for (size_t i = 1; i < t.size(); ++i) {
            if (!IsHexDigit(t[i])) return false;
            const char c = t[i];
            v = v * 16 + static_cast<std::uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
        }
        // Only a colour a window can paint: 00BBGGRR, or a system colour
        // (FF0000nn) the system has (a value such as FFFFFFFF paints black).
        const bool rgb = (v & 0xFF000000u) == 0;
        const bool system = (v & 0xFFFFFF00u) == 0xFF000000u && (v & 0xFFu) <= LastSystemColorIndex;
        if (!rgb && !system) return false;
        color = static_cast<std::int32_t>(v);
        return true;
    }
    if (t.size() > 2 && (t[0] == 'c' || t[0] == 'C') && (t[1] == 'l' || t[1] == 'L')) {
        std::int32_t v = 0;
        if (names.IdentToInt(t, v)) {
            color = v;
            return true;
        }
    }
    return false;
}

std::int32_t UnderlineColorFromText(const std::string& text, const gcl::TIdentMap& names) {
    std::int32_t color = DefaultUnderlineColor;
    TryColorTextToColor(text, names, color);
    return color;
}

std::string ColorToColorText(std::int32_t color, const gcl::TIdentMap& names) {
    std::string ident;
    if (names.IntToIdent(color, ident)) return ident;
    return "$" + gcl::IntToHex(color, 8);
}

std::string DateFormatPreview(const std::string& format, double now) {
    try {
        return gcl::FormatDateTime(format, now);
    } catch (const gcl::Exception&) {
        return std::string();
    }
}

TOptionsSaved ApplyOptionsDialog(const TOptions& edited, const std::string& iniPath) {
    Options = edited;
    return SaveOptions(iniPath, Options);
}

void CancelOptionsDialog(const TOptions& shown) {
    Options = shown;
}

} // namespace qelvo
