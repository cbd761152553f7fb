// INI files with the rules of the Windows profile functions.
#include "gcl/rtl/IniFiles.h"

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Strings.h"

#include <vector>

namespace gcl {

namespace {

// The blanks the profile functions skip: space, tab, the line breaks,
// VT, FF and Ctrl-Z (bytes such as 0xA0 are text).
bool IsBlank(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1A';
}

std::string TrimLeftBlanks(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    return s.substr(i);
}

std::string TrimRightBlanks(const std::string& s) {
    size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1])) --n;
    return s.substr(0, n);
}

std::string TrimBlanks(const std::string& s) { return TrimRightBlanks(TrimLeftBlanks(s)); }

// Names and values travel as C strings through the profile functions:
// anything after a NUL byte is not part of them.
std::string UpToNul(const std::string& s) {
    size_t i = s.find('\0');
    return i == std::string::npos ? s : s.substr(0, i);
}

// A text in matching double or single quotes reads without them.
std::string StripQuotes(const std::string& s) {
    if (s.size() >= 2 && (s[0] == '"' || s[0] == '\'') && s.back() == s[0]) return s.substr(1, s.size() - 2);
    return s;
}

std::string WriteErrorText(const std::string& fileName) { return Format(msg::IniFileWriteError, {fileName}); }

} // namespace

namespace detail {

// The contents of an INI file. Section 0 is the nameless section that
// holds the keys before the first header; it always exists unless erased.
class TIniData {
public:
    struct TKey {
        std::string Name;
        bool HasValue = false;    // false for a line without "="
        std::string Value;
    };
    struct TSection {
        std::string Name;
        std::vector<TKey> Keys;
    };

    TIniData() { Sections.push_back(TSection()); }

    void Parse(const std::string& bytes) {
        Sections.assign(1, TSection());
        size_t pos = 0;
        FUtf8Mark = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
        if (FUtf8Mark) pos = 3;
        while (pos < bytes.size()) {
            size_t end = bytes.find_first_of("\r\n", pos);
            if (end == std::string::npos) end = bytes.size();
            std::string line = TrimBlanks(bytes.substr(pos, end - pos));
            pos = end + 1;
            if (line.empty()) continue;
            size_t close = line[0] == '[' ? line.rfind(']') : std::string::npos;
            if (close != std::string::npos) {
                Sections.push_back(TSection{UpToNul(TrimBlanks(line.substr(1, close - 1))), {}});
                continue;
            }
            TKey key;
            size_t eq = line.find('=');
            if (eq == std::string::npos) {
                key.Name = UpToNul(line);
            } else {
                key.Name = UpToNul(TrimRightBlanks(line.substr(0, eq)));
                key.HasValue = true;
                key.Value = UpToNul(TrimLeftBlanks(line.substr(eq + 1)));
            }
            // Of consecutive keys without a name only the first counts (the
            // profile functions read them that way).
            auto& keys = Sections.back().Keys;
            if (key.Name.empty() && !keys.empty() && keys.back().Name.empty()) continue;
            keys.push_back(std::move(key));
        }
    }

    std::string Serialize() const {
        std::string out = FUtf8Mark ? "\xEF\xBB\xBF" : "";
        for (const auto& section : Sections) {
            if (!section.Name.empty()) out += "[" + section.Name + "]\r\n";
            for (const auto& key : section.Keys) {
                out += key.Name;
                if (key.HasValue) out += "=" + key.Value;
                out += "\r\n";
            }
        }
        return out;
    }

    // The first section named Name (blanks around either side ignored).
    TSection* FindSection(const std::string& name) {
        std::string wanted = TrimBlanks(UpToNul(name));
        for (auto& section : Sections)
            if (SameText(TrimBlanks(section.Name), wanted)) return &section;
        return nullptr;
    }

    // The first section named Name as given, blanks included (listing
    // keys and erasing take names this way).
    TSection* FindSectionExactly(const std::string& name) {
        std::string wanted = UpToNul(name);
        for (auto& section : Sections)
            if (SameText(TrimBlanks(section.Name), wanted)) return &section;
        return nullptr;
    }

    static TKey* FindKey(TSection& section, const std::string& name) {
        std::string wanted = TrimBlanks(UpToNul(name));
        for (auto& key : section.Keys)
            if (SameText(TrimBlanks(key.Name), wanted)) return &key;
        return nullptr;
    }

    bool Read(const std::string& section, const std::string& ident, std::string& value) {
        TSection* s = FindSection(section);
        TKey* k = s ? FindKey(*s, ident) : nullptr;
        if (!k || !k->HasValue) return false;
        value = StripQuotes(TrimRightBlanks(k->Value));
        return true;
    }

    // Sets a value; false when it already had exactly that value. New
    // names and values lose their leading blanks, as the profile
    // functions store them.
    bool Write(const std::string& section, const std::string& ident, const std::string& value) {
        TSection* s = FindSection(section);
        if (!s) {
            Sections.push_back(TSection{TrimLeftBlanks(UpToNul(section)), {}});
            s = &Sections.back();
        }
        std::string newValue = TrimLeftBlanks(UpToNul(value));
        if (TKey* k = FindKey(*s, ident)) {
            if (k->HasValue && k->Value == newValue) return false;
            k->HasValue = true;
            k->Value = newValue;
            return true;
        }
        s->Keys.push_back(TKey{TrimLeftBlanks(UpToNul(ident)), true, newValue});
        return true;
    }

    // Deleting looks for the names exactly as given (blanks included): the
    // key is looked for in every section of that name, the first found
    // goes; erasing removes the first section of that name.
    bool DeleteKey(const std::string& section, const std::string& ident) {
        std::string sectionName = UpToNul(section), keyName = UpToNul(ident);
        for (auto& s : Sections) {
            if (!SameText(TrimBlanks(s.Name), sectionName)) continue;
            for (auto it = s.Keys.begin(); it != s.Keys.end(); ++it) {
                if (SameText(TrimBlanks(it->Name), keyName)) {
                    s.Keys.erase(it);
                    return true;
                }
            }
        }
        return false;
    }

    bool EraseSection(const std::string& section) {
        TSection* s = FindSectionExactly(section);
        if (!s) return false;
        Sections.erase(Sections.begin() + (s - Sections.data()));
        return true;
    }

    // Keys with a value and a name, except comments (names starting with ";").
    static bool Listed(const TKey& key) {
        std::string name = TrimBlanks(key.Name);
        return key.HasValue && !name.empty() && name[0] != ';';
    }

    void KeyNames(const std::string& section, TStrings& strings) {
        strings.BeginUpdate();
        try {
            strings.Clear();
            if (TSection* s = FindSectionExactly(section))
                for (const auto& key : s->Keys)
                    if (Listed(key)) strings.Add(TrimBlanks(key.Name));
        } catch (...) {
            strings.EndUpdate();
            throw;
        }
        strings.EndUpdate();
    }

    void SectionNames(TStrings& strings) {
        strings.BeginUpdate();
        try {
            strings.Clear();
            for (const auto& section : Sections) {
                std::string name = TrimBlanks(section.Name);
                if (!name.empty()) strings.Add(name);
            }
        } catch (...) {
            strings.EndUpdate();
            throw;
        }
        strings.EndUpdate();
    }

    bool HasSection(const std::string& section) {
        TSection* s = FindSection(section);
        return s && !TrimBlanks(s->Name).empty();
    }

    bool HasValue(const std::string& section, const std::string& ident) {
        TSection* s = FindSection(section);
        TKey* k = s ? FindKey(*s, ident) : nullptr;
        return k && Listed(*k);
    }

    std::vector<TSection> Sections;

private:
    bool FUtf8Mark = false;
};

} // namespace detail

using detail::TIniData;

namespace {

TIniData LoadIni(const std::string& fileName) {
    TIniData data;
    std::string bytes;
    try {
        bytes = ReadFileBytes(fileName);
    } catch (const EStreamError&) {
        // Missing or unreadable: read as an empty file.
    }
    data.Parse(bytes);
    return data;
}

void SaveIni(const std::string& fileName, const TIniData& data) {
    std::string bytes = data.Serialize();
    if (!WriteFileAtomic(fileName, bytes.data(), bytes.size())) throw EIniFileException(WriteErrorText(fileName));
}

std::string DefaultText(const std::string& defaultValue) {
    // The profile functions treat the default like a value found in the
    // file: trailing blanks go, and so do enclosing quotes.
    return StripQuotes(TrimRightBlanks(UpToNul(defaultValue)));
}

} // namespace

// ---- TCustomIniFile ---------------------------------------------------------

TCustomIniFile::TCustomIniFile(std::string fileName) : FFileName(std::move(fileName)) {}
TCustomIniFile::~TCustomIniFile() = default;

int TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident, int defaultValue) {
    return StrToIntDef(ReadString(section, ident, ""), defaultValue);
}

void TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
    WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident, bool defaultValue) {
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

// ---- TIniFile -----------------------------------------------------------------

TIniFile::TIniFile(std::string fileName) : TCustomIniFile(std::move(fileName)) {}
TIniFile::~TIniFile() = default;

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) {
    TIniData data = LoadIni(GetFileName());
    std::string value;
    return data.Read(section, ident, value) ? value : DefaultText(defaultValue);
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    TIniData data = LoadIni(GetFileName());
    if (data.Write(section, ident, value)) SaveIni(GetFileName(), data);
}

void TIniFile::ReadSection(const std::string& section, TStrings& strings) {
    LoadIni(GetFileName()).KeyNames(section, strings);
}

void TIniFile::ReadSections(TStrings& strings) {
    LoadIni(GetFileName()).SectionNames(strings);
}

bool TIniFile::SectionExists(const std::string& section) {
    return LoadIni(GetFileName()).HasSection(section);
}

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) {
    return LoadIni(GetFileName()).HasValue(section, ident);
}

void TIniFile::EraseSection(const std::string& section) {
    TIniData data = LoadIni(GetFileName());
    if (data.EraseSection(section)) SaveIni(GetFileName(), data);
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    TIniData data = LoadIni(GetFileName());
    if (data.DeleteKey(section, ident)) SaveIni(GetFileName(), data);
}

void TIniFile::UpdateFile() {
    // Every change is already on the disk.
}

// ---- TMemIniFile -------------------------------------------------------------

TMemIniFile::TMemIniFile(std::string fileName)
    : TCustomIniFile(std::move(fileName)), FData(std::make_unique<TIniData>(LoadIni(GetFileName()))) {}

TMemIniFile::~TMemIniFile() = default;

std::string TMemIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& defaultValue) {
    std::string value;
    return FData->Read(section, ident, value) ? value : DefaultText(defaultValue);
}

void TMemIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    FData->Write(section, ident, value);
}

void TMemIniFile::ReadSection(const std::string& section, TStrings& strings) { FData->KeyNames(section, strings); }

void TMemIniFile::ReadSections(TStrings& strings) { FData->SectionNames(strings); }

bool TMemIniFile::SectionExists(const std::string& section) { return FData->HasSection(section); }

bool TMemIniFile::ValueExists(const std::string& section, const std::string& ident) {
    return FData->HasValue(section, ident);
}

void TMemIniFile::EraseSection(const std::string& section) { FData->EraseSection(section); }

void TMemIniFile::DeleteKey(const std::string& section, const std::string& ident) { FData->DeleteKey(section, ident); }

void TMemIniFile::UpdateFile() { SaveIni(GetFileName(), *FData); }

void TMemIniFile::Clear() { *FData = TIniData(); }

} // namespace gcl
