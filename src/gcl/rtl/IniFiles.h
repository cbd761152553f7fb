// INI files: sections of "key=value" lines.
//
// The reading and writing rules are those of the Windows profile
// functions (GetPrivateProfileStringA / WritePrivateProfileStringA), so a
// file written here reads the same through them and the other way round,
// byte for byte after a write:
//   - lines end at CR, LF or CR LF; blanks (space, tab, VT, FF, Ctrl-Z)
//     around lines, section names, key names and values are ignored, and
//     empty lines are dropped when the file is rewritten;
//   - "[name]" starts a section (up to the last "]"); a line with "="
//     is a key and its value; a line without one (a comment, for
//     instance) is kept but has no value;
//   - section and key names compare ignoring A-Z case; the first match
//     wins; keys before the first section belong to the section "";
//   - a value enclosed in matching double or single quotes reads without
//     them;
//   - DeleteKey, EraseSection and ReadSection take the names exactly as
//     given (no blanks are ignored); DeleteKey removes the first such key
//     found in any section of that name, EraseSection the first such
//     section;
//   - a write rewrites the file as "[section]" and "key=value" lines with
//     CR LF; new keys go to the end of their section and new sections to
//     the end of the file, so keys stay in first-write order.
//
// TIniFile writes through: every Write, DeleteKey and EraseSection that
// changes something replaces the file at once (atomically, so a failed
// write leaves the previous file intact and raises EIniFileException).
// Every read looks at the file as it is on the disk at that moment; a
// missing file reads as empty.
//
// TMemIniFile reads the whole file once when created and works in memory;
// UpdateFile writes it back.
//
// The file name is used as given; pass a full path.
#pragma once

#include <memory>
#include <string>

#include "gcl/rtl/Exceptions.h"

namespace gcl {

class TStrings;

namespace msg {
inline constexpr const char* IniFileWriteError = "Unable to write to %s";
} // namespace msg

namespace detail {
class TIniData;
} // namespace detail

class TCustomIniFile {
public:
    explicit TCustomIniFile(std::string fileName);
    virtual ~TCustomIniFile();
    TCustomIniFile(const TCustomIniFile&) = delete;
    TCustomIniFile& operator=(const TCustomIniFile&) = delete;

    const std::string& GetFileName() const noexcept { return FFileName; }

    // The value, or Default when the key or the section is missing or the
    // key has no value. Default is read like a value in the file: its
    // trailing blanks and enclosing quotes are dropped.
    virtual std::string ReadString(const std::string& section, const std::string& ident,
                                   const std::string& defaultValue) = 0;
    virtual void WriteString(const std::string& section, const std::string& ident, const std::string& value) = 0;
    // A decimal or hexadecimal ("$1F", "0x1F") number; Default when the
    // value is missing or not a number.
    int ReadInteger(const std::string& section, const std::string& ident, int defaultValue);
    void WriteInteger(const std::string& section, const std::string& ident, int value);
    // True when the value reads as an integer other than 0; written "1"/"0".
    bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);
    void WriteBool(const std::string& section, const std::string& ident, bool value);

    // The names of the keys with a value in Section, in file order;
    // comments (names starting with ";") and empty names are left out.
    // Strings is cleared first.
    virtual void ReadSection(const std::string& section, TStrings& strings) = 0;
    // The names of all sections, in file order; Strings is cleared first.
    virtual void ReadSections(TStrings& strings) = 0;
    // True when the file has a "[Section]" line.
    virtual bool SectionExists(const std::string& section) = 0;
    // True when ReadSection would list Ident.
    virtual bool ValueExists(const std::string& section, const std::string& ident) = 0;
    virtual void EraseSection(const std::string& section) = 0;
    virtual void DeleteKey(const std::string& section, const std::string& ident) = 0;
    // Writes pending changes (TMemIniFile); nothing to do for TIniFile.
    virtual void UpdateFile() = 0;

private:
    std::string FFileName;
};

class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(std::string fileName);
    ~TIniFile() override;

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& defaultValue) override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    void ReadSection(const std::string& section, TStrings& strings) override;
    void ReadSections(TStrings& strings) override;
    bool SectionExists(const std::string& section) override;
    bool ValueExists(const std::string& section, const std::string& ident) override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
    void UpdateFile() override;
};

class TMemIniFile : public TCustomIniFile {
public:
    // Reads the file now; a missing or unreadable file gives an empty one.
    explicit TMemIniFile(std::string fileName);
    ~TMemIniFile() override;

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& defaultValue) override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    void ReadSection(const std::string& section, TStrings& strings) override;
    void ReadSections(TStrings& strings) override;
    bool SectionExists(const std::string& section) override;
    bool ValueExists(const std::string& section, const std::string& ident) override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
    // Writes the contents to the file (atomically); EIniFileException on failure.
    void UpdateFile() override;
    // Drops the contents (UpdateFile then writes an empty file).
    void Clear();

private:
    std::unique_ptr<detail::TIniData> FData;
};

} // namespace gcl
