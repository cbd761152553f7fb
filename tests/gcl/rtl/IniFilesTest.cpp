#ifdef _WIN32
#include "gcl/rtl/WinApi.h"
#endif

#include <gtest/gtest.h>

#include "gcl/rtl/Files.h"
#include "gcl/rtl/IniFiles.h"
#include "gcl/rtl/Lists.h"
#include "support/TestEnvironment.h"
#include "support/StringHelpers.h"

#include <cstdio>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace gcl;

using qelvo::test::Items;

namespace {

std::string Get(const std::string& name) { return FileExists(name) ? ReadFileBytes(name) : "<none>"; }

using V = std::vector<std::string>;

} // namespace

TEST(TIniFileTest, ReadingRules) {
    qelvo::test::TempDir dir;
    std::string name = dir.File("settings.ini");
    qelvo::test::WriteTestFile(name,
        "top=before sections\r\n"
        "; a comment\r\n"
        "\r\n"
        "[Form]\r\n"
        "  Width = 804 \r\n"
        "Height=500\n"
        "Left=-3\r"
        "Maximized=1\r\n"
        "Quoted=\"  padded  \"\r\n"
        "Single='x'\r\n"
        "Half=\"x\r\n"
        "Inline=v ; not a comment\r\n"
        "NoValue\r\n"
        ";Hidden=1\r\n"
        "Hex=$1F\r\n"
        "Empty=\r\n"
        "Tabs=\t\x0b" "a\x0c\x1a\r\n"
        "[ Org Panel ]  trailing\r\n"
        "DockedWidth=200\r\n"
        "[form]\r\n"
        "Width=1\r\n"
        "[Note Panel\r\n"
        "Min=1\r\n");
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadInteger("Form", "Width", 0), 804);
    EXPECT_EQ(ini.ReadInteger("FORM", "height", 0), 500);    // names ignore case
    EXPECT_EQ(ini.ReadInteger("Form", "Left", 0), -3);        // a lone CR ends a line
    EXPECT_TRUE(ini.ReadBool("Form", "Maximized", false));
    EXPECT_EQ(ini.ReadString("Form", "Quoted", ""), "  padded  ");
    EXPECT_EQ(ini.ReadString("Form", "Single", ""), "x");
    EXPECT_EQ(ini.ReadString("Form", "Half", ""), "\"x");
    EXPECT_EQ(ini.ReadString("Form", "Inline", ""), "v ; not a comment");
    EXPECT_EQ(ini.ReadString("Form", "NoValue", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Form", ";Hidden", ""), "1");
    EXPECT_EQ(ini.ReadInteger("Form", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadString("Form", "Empty", "dflt"), "");
    EXPECT_EQ(ini.ReadInteger("Form", "Empty", 7), 7);
    EXPECT_EQ(ini.ReadString("Form", "Tabs", ""), "a");
    EXPECT_EQ(ini.ReadString(" Form ", " Width ", ""), "804");
    EXPECT_EQ(ini.ReadString("", "top", ""), "before sections");
    EXPECT_EQ(ini.ReadInteger("Org Panel", "DockedWidth", 0), 200);
    EXPECT_EQ(ini.ReadInteger("Note Panel", "Min", 0), 0);    // "[Note Panel" is no header
    EXPECT_EQ(ini.ReadString("Form", "Missing", " default  "), " default");    // trailing blanks go
    EXPECT_TRUE(ini.ReadBool("Form", "Missing", true));
    EXPECT_FALSE(ini.ReadBool("Form", "Inline", false));
    EXPECT_EQ(ini.ReadInteger("Nowhere", "x", 17), 17);

    TStringList list;
    list.Add("stale");
    ini.ReadSections(list);
    EXPECT_EQ(Items(list), (V{"Form", "Org Panel", "form"}));
    ini.ReadSection("form", list);
    EXPECT_EQ(Items(list),
              (V{"Width", "Height", "Left", "Maximized", "Quoted", "Single", "Half", "Inline", "Hex", "Empty", "Tabs"}));
    ini.ReadSection("Nowhere", list);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(ini.SectionExists("org panel"));
    EXPECT_FALSE(ini.SectionExists("Note Panel"));
    EXPECT_FALSE(ini.SectionExists(""));
    EXPECT_TRUE(ini.ValueExists("Form", "Empty"));
    EXPECT_FALSE(ini.ValueExists("Form", "NoValue"));
    EXPECT_FALSE(ini.ValueExists("Form", ";Hidden"));

    TIniFile missing(dir.File("none.ini"));
    EXPECT_EQ(missing.ReadString("a", "b", "c"), "c");
    missing.ReadSections(list);
    EXPECT_EQ(list.GetCount(), 0);
    missing.DeleteKey("a", "b");    // nothing to change: no file appears
    missing.EraseSection("a");
    EXPECT_FALSE(FileExists(dir.File("none.ini")));
}

TEST(TIniFileTest, WritingLayout) {
    qelvo::test::TempDir dir;
    std::string name = dir.File("settings.ini");
    TIniFile ini(name);
    ini.WriteInteger("Form", "Width", 804);
    EXPECT_EQ(Get(name), "[Form]\r\nWidth=804\r\n");
    ini.WriteBool("Options", "MinToTrayC", true);
    ini.WriteBool("Options", "Confirm Delete", false);
    ini.WriteString("Form", "Height", "500");
    ini.WriteString("form", "WIDTH", "1024");    // replaced in place, spelling kept
    EXPECT_EQ(Get(name),
              "[Form]\r\nWidth=1024\r\nHeight=500\r\n"
              "[Options]\r\nMinToTrayC=1\r\nConfirm Delete=0\r\n");
    EXPECT_FALSE(ini.ReadBool("Options", "Confirm Delete", true));

    // Values lose their leading blanks when written; a trailing blank is
    // written but not read back. New names lose leading blanks only.
    ini.WriteString("Options", "DateTime Format", "  ddddd ");
    EXPECT_EQ(Get(name),
              "[Form]\r\nWidth=1024\r\nHeight=500\r\n"
              "[Options]\r\nMinToTrayC=1\r\nConfirm Delete=0\r\nDateTime Format=ddddd \r\n");
    ini.WriteString(" New\t", "\tkey ", "v");    // the file is read again: "ddddd " loses its blank
    EXPECT_EQ(Get(name),
              "[Form]\r\nWidth=1024\r\nHeight=500\r\n"
              "[Options]\r\nMinToTrayC=1\r\nConfirm Delete=0\r\nDateTime Format=ddddd\r\n"
              "[New\t]\r\nkey =v\r\n");
    EXPECT_EQ(ini.ReadString("Options", "DateTime Format", ""), "ddddd");
    EXPECT_EQ(ini.ReadString("New", "key", ""), "v");

    ini.DeleteKey("Options", "minToTrayC");
    ini.EraseSection("new");
    ini.WriteString("", "loose", "1");
    EXPECT_EQ(Get(name),
              "loose=1\r\n[Form]\r\nWidth=1024\r\nHeight=500\r\n"
              "[Options]\r\nConfirm Delete=0\r\nDateTime Format=ddddd\r\n");

    // A rewrite drops blank lines and blanks around names, keeps comments
    // and lines without "=", and leaves the first of duplicate entries in charge.
    qelvo::test::WriteTestFile(name, "\r\n; head\r\n[A]\r\n\r\n  x = 1 \r\nflag\r\n[a]\r\nx=2\r\n\r\n[B]\r\nk=v\r\n");
    ini.WriteString("A", "y", "2");
    EXPECT_EQ(Get(name), "; head\r\n[A]\r\nx=1\r\nflag\r\ny=2\r\n[a]\r\nx=2\r\n[B]\r\nk=v\r\n");
    // Writing the value a key already has changes nothing on the disk.
    qelvo::test::WriteTestFile(name, "[A]\r\n\r\nx = 1\r\n");
    ini.WriteString("A", "x", " 1");
    ini.DeleteKey("A", "nothing");
    ini.EraseSection("Nothing");
    EXPECT_EQ(Get(name), "[A]\r\n\r\nx = 1\r\n");
    ini.EraseSection("A");
    EXPECT_EQ(Get(name), "");

    // A UTF-8 mark survives rewrites.
    qelvo::test::WriteTestFile(name, "\xEF\xBB\xBF[A]\r\nk=v\r\n");
    EXPECT_EQ(ini.ReadString("A", "k", ""), "v");
    ini.WriteString("A", "x", "1");
    EXPECT_EQ(Get(name), "\xEF\xBB\xBF[A]\r\nk=v\r\nx=1\r\n");
}

TEST(TIniFileTest, FailedWritesKeepTheFile) {
    qelvo::test::TempDir dir;
    TIniFile nowhere(dir.File("missing") + PathDelim + "settings.ini");
    try {
        nowhere.WriteString("a", "b", "c");
        ADD_FAILURE();
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.GetMessage(), "Unable to write to " + nowhere.GetFileName());
    }

    std::string name = dir.File("locked.ini");
    qelvo::test::WriteTestFile(name, "[A]\r\nk=v\r\n");
#ifdef _WIN32
    SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY);
#else
    chmod(name.c_str(), 0444);
#endif
    TIniFile locked(name);
    EXPECT_THROW(locked.WriteString("A", "k", "w"), EIniFileException);
    EXPECT_EQ(Get(name), "[A]\r\nk=v\r\n");
#ifdef _WIN32
    SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
}

TEST(TMemIniFileTest, ReadsOnceWritesOnUpdate) {
    qelvo::test::TempDir dir;
    std::string name = dir.File("Skin.Ini");
    TMemIniFile empty(name);    // missing file: empty
    EXPECT_EQ(empty.ReadString("Dock", "Normal.Body", ""), "");
    EXPECT_EQ(empty.ReadString("Dock", "Normal.EffectiveColor", "clNone"), "clNone");

    qelvo::test::WriteTestFile(name, "[Dock]\r\nNormal.Body=1,clRed,\"$00FF00\"\r\n Normal.Borders = 2 \r\n");
    TMemIniFile ini(name);
    qelvo::test::WriteTestFile(name, "[Dock]\r\nNormal.Body=changed on disk\r\n");
    EXPECT_EQ(ini.ReadString("dock", "normal.body", ""), "1,clRed,\"$00FF00\"");
    EXPECT_EQ(ini.ReadInteger("Dock", "Normal.Borders", 0), 2);

    ini.WriteString(" Toolbar ", " Normal.Body ", " 3 ");
    EXPECT_EQ(ini.ReadString("Toolbar", "Normal.Body", ""), "3");    // as after a round trip
    EXPECT_TRUE(ini.ValueExists("toolbar", "normal.body"));
    ini.DeleteKey("Dock", "Normal.Borders");
    EXPECT_EQ(Get(name), "[Dock]\r\nNormal.Body=changed on disk\r\n");    // nothing written yet
    ini.UpdateFile();
    EXPECT_EQ(Get(name), "[Dock]\r\nNormal.Body=1,clRed,\"$00FF00\"\r\n[Toolbar ]\r\nNormal.Body =3 \r\n");
    TIniFile check(name);
    EXPECT_EQ(check.ReadString("Toolbar", "Normal.Body", ""), "3");
    TStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(Items(sections), (V{"Dock", "Toolbar"}));
    ini.Clear();
    ini.UpdateFile();
    EXPECT_EQ(Get(name), "");
}

#ifdef _WIN32
// The same operations through the Windows profile functions and through
// TIniFile, on twin copies of each file: every read must agree, and the
// files must be byte-identical after every write.
namespace {

struct TOp {
    char Kind;    // 'r' read, 'w' write, 'd' delete key, 'e' erase section, 'k' keys, 's' sections
    const char* Section;
    const char* Key;
    const char* Value;    // value to write, or default to read
};

std::string ProfileRead(const std::string& file, const char* section, const char* key, const char* def) {
    std::vector<char> buf(8192);
    DWORD n = GetPrivateProfileStringA(section, key, def, buf.data(), DWORD(buf.size()), file.c_str());
    return std::string(buf.data(), n);
}

// The double-NUL list of the profile functions, as the names it holds
// (empty names are not listed by TIniFile).
std::vector<std::string> ProfileList(const std::string& file, const char* section) {
    std::string raw = ProfileRead(file, section, nullptr, "");
    std::vector<std::string> r;
    size_t i = 0;
    while (i < raw.size()) {
        size_t end = raw.find('\0', i);
        if (end == std::string::npos) end = raw.size();
        if (end > i) r.push_back(raw.substr(i, end - i));
        i = end + 1;
    }
    return r;
}

// ReadSection against the key list of the profile functions. Wine reports
// no keys at all when the first key of the section has an empty name;
// TIniFile lists the others then.
void ExpectSameKeys(TIniFile& ini, const std::string& file, const char* section) {
    TStringList list;
    ini.ReadSection(section, list);
    std::vector<std::string> profile = ProfileList(file, section);
    if (profile.empty() && list.GetCount() > 0 && ProfileRead(file, section, "", "<none>") != "<none>") return;
    EXPECT_EQ(Items(list), profile) << "[" << section << "]";
}

} // namespace

TEST(TIniFileTest, AgreesWithProfileFunctions) {
    qelvo::test::TempDir dir;
    const std::vector<std::string> files = {
        "",
        "[Form]\r\nWidth=804\r\nHeight=500\r\n[Options]\r\nMinToTrayC=1\r\n",
        "; head comment\r\n\r\n[A]\r\n; c1\r\nx = 1 \r\n\r\n  y=2\r\nnoeq\r\n[B]\r\nz=3\r\n\r\n\r\n",
        "[A]\nx=1\n[B]\ny=2",
        "[A]\rx=1\r[B]\ry=2",
        "[A]\r\nx=1\r\n[a]\r\nx=2\r\ny=3\r\n[A]\r\nq=9\r\n",
        "[A]\r\nx=1\r\nx=2\r\nx\r\n",
        "k0=v0\r\n[A]\r\nx=1\r\n[]\r\nq=1\r\n[ ]\r\nr=2\r\n",
        "[ A b ]  tail\r\n  k  =  v v  \r\n[A]b]c\r\nm=1\r\n[Open\r\nn=2\r\n",
        "[A]\r\nk=\"v\" \r\nk2='s'\r\nk3=\"x\r\nk4=\"\r\nk5=\"\"\r\nk6=\" a \"\r\nk7='a\"\r\n",
        "[A]\r\nk=v ; c\r\n;k5=5\r\n  ;k6=6\r\n#k7=7\r\n=empty\r\n",
        "[A]\r\nk=\xa0v\xa0\r\n\x0bj\x0c=w\x1a\r\n\tt\t=\tu\t\r\n",
        "[A]\r\nk=caf\xe9\r\n[\xc9t\xe9]\r\nx=1\r\n",
        "\r\n\r\n[Empty]\r\n[Full]\r\na=1\r\n[Empty2]\r\n",
        "[A]\r\n[a]\r\nx=2\r\n[A]\r\ny=3\r\n[ ]\r\nq=1\r\n[B]\r\n",
    };
    const std::vector<TOp> ops = {
        {'s', nullptr, nullptr, nullptr},
        {'k', "A", nullptr, nullptr},
        {'k', "", nullptr, nullptr},
        {'k', "Empty", nullptr, nullptr},
        {'r', "A", "x", "<d>"},
        {'r', "a", "y", "<d>"},
        {'r', " A ", " x ", "<d>"},
        {'r', "A", "k", "<d>"},
        {'r', "A", "k2", "<d>"},
        {'r', "A", "k3", "<d>"},
        {'r', "A", "k4", "<d>"},
        {'r', "A", "k5", "<d>"},
        {'r', "A", "k6", "<d>"},
        {'r', "A", "k7", "<d>"},
        {'r', "A", ";k5", "<d>"},
        {'r', "A", "", "<d>"},
        {'r', "A", "j", "<d>"},
        {'r', "A", "t", "<d>"},
        {'r', "A", "noeq", "<d>"},
        {'r', "A b", "k", "<d>"},
        {'r', "A]b", "m", "<d>"},
        {'r', "[Open", "n", "<d>"},
        {'r', "", "k0", "<d>"},
        {'r', "", "q", "<d>"},
        {'r', "Form", "Width", " spaced default "},
        {'r', "\xe9t\xe9", "x", "<d>"},
        {'r', "B", "y", "<d>"},
        {'w', "A", "x", "10"},
        {'w', "A", "x", "10"},
        {'w', "A", "x", " 10"},
        {'w', "A", "x", "10 "},
        {'w', "Form", "Width", "1024"},
        {'w', "form", "HEIGHT", "600"},
        {'w', "Options", "Confirm Delete", "0"},
        {'w', " New Section\t", " new key\t", "  value with blanks  "},
        {'r', "New Section", "new key", "<d>"},
        {'w', "A", "noeq", "now"},
        {'w', "A", "quoted", "\"q\""},
        {'r', "A", "quoted", "<d>"},
        {'w', "", "loose", "1"},
        {'w', "A", "", "empty name"},
        {'w', "Empty", "a", "1"},
        {'d', " A ", "x", nullptr},
        {'d', "A", " x", nullptr},
        {'e', " B ", nullptr, nullptr},
        {'d', "A", "y", nullptr},
        {'d', "A", "missing", nullptr},
        {'d', "Missing", "x", nullptr},
        {'d', "A", "; c1", nullptr},
        {'e', "B", nullptr, nullptr},
        {'e', "Missing", nullptr, nullptr},
        {'s', nullptr, nullptr, nullptr},
        {'k', "A", nullptr, nullptr},
        {'e', "Form", nullptr, nullptr},
        {'e', "A", nullptr, nullptr},
        {'e', "Options", nullptr, nullptr},
        {'s', nullptr, nullptr, nullptr},
        {'e', " ", nullptr, nullptr},
        {'e', "", nullptr, nullptr},
        {'w', "Z", "z", "1"},
    };
    int fileNo = 0;
    for (const std::string& content : files) {
        // Fresh names for every case, so no cached state can carry over.
        std::string profileFile = dir.File("p" + std::to_string(fileNo) + ".ini");
        std::string ownFile = dir.File("o" + std::to_string(fileNo) + ".ini");
        ++fileNo;
        if (!content.empty()) {
            qelvo::test::WriteTestFile(profileFile, content);
            qelvo::test::WriteTestFile(ownFile, content);
        }
        TIniFile ini(ownFile);
        int opNo = 0;
        for (const TOp& op : ops) {
            SCOPED_TRACE("file " + std::to_string(fileNo - 1) + ", op " + std::to_string(opNo++));
            TStringList list;
            switch (op.Kind) {
            case 'r':
                ASSERT_EQ(ini.ReadString(op.Section, op.Key, op.Value),
                          ProfileRead(profileFile, op.Section, op.Key, op.Value));
                break;
            case 'w':
                ASSERT_TRUE(WritePrivateProfileStringA(op.Section, op.Key, op.Value, profileFile.c_str()));
                ini.WriteString(op.Section, op.Key, op.Value);
                break;
            case 'd':
                WritePrivateProfileStringA(op.Section, op.Key, nullptr, profileFile.c_str());
                ini.DeleteKey(op.Section, op.Key);
                break;
            case 'e':
                WritePrivateProfileStringA(op.Section, nullptr, nullptr, profileFile.c_str());
                ini.EraseSection(op.Section);
                break;
            case 'k':
                ExpectSameKeys(ini, profileFile, op.Section);
                break;
            case 's':
                ini.ReadSections(list);
                ASSERT_EQ(Items(list), ProfileList(profileFile, nullptr));
                break;
            }
            ASSERT_EQ(Get(ownFile), Get(profileFile));
        }
    }
}
#endif

#ifdef _WIN32
// Generated files and operations from a fixed seed: lines built from odd
// fragments and mixed line ends, then random reads, writes and deletions.
TEST(TIniFileTest, AgreesWithProfileFunctionsOnGeneratedFiles) {
    qelvo::test::TempDir dir;
    const char* lines[] = {"[A]", "[ a ]", "[B] tail", "[", "[]", "[A]b]", "x=1", " y = 2 ", "noeq", ";c=1",
                           "=e", "k=\"q\"", "\t", "", "z='s' ", "x=dup", "#h=1", "[x y]", "  ", "w=a=b",
                           "[k=v]", "[=]", "x\t=\t\"1\" ", "\x1a", "[Z]\x0c"};
    const char* breaks[] = {"\r\n", "\n", "\r"};
    const char* sections[] = {"A", "a", " A ", "B", "", "x y", "Z", "A]b", " "};
    const char* keys[] = {"x", "y", " x", "noeq", ";c", "", "k", "z", "new", "w", "#h"};
    const char* values[] = {"1", " 2", "3 ", "\"q\"", "", "a b", "=", "'", "a\r\nb=c", "[Z]"};
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int fileNo = 0; fileNo < 100; ++fileNo) {
        std::string content;
        for (uint32_t i = 0, n = next(12); i < n; ++i)
            content += std::string(lines[next(std::size(lines))]) + breaks[next(3)];
        std::string profileFile = dir.File("gp" + std::to_string(fileNo) + ".ini");
        std::string ownFile = dir.File("go" + std::to_string(fileNo) + ".ini");
        qelvo::test::WriteTestFile(profileFile, content);
        qelvo::test::WriteTestFile(ownFile, content);
        TIniFile ini(ownFile);
        for (int opNo = 0; opNo < 20; ++opNo) {
            SCOPED_TRACE("file " + std::to_string(fileNo) + " [" + content + "], op " + std::to_string(opNo));
            const char* section = sections[next(std::size(sections))];
            const char* key = keys[next(std::size(keys))];
            const char* value = values[next(std::size(values))];
            TStringList list;
            switch (next(6)) {
            case 0:
            case 1:
                ASSERT_EQ(ini.ReadString(section, key, value), ProfileRead(profileFile, section, key, value))
                    << section << "/" << key;
                break;
            case 2:
                WritePrivateProfileStringA(section, key, value, profileFile.c_str());
                ini.WriteString(section, key, value);
                break;
            case 3:
                WritePrivateProfileStringA(section, key, nullptr, profileFile.c_str());
                ini.DeleteKey(section, key);
                break;
            case 4:
                if (next(4) == 0) {
                    WritePrivateProfileStringA(section, nullptr, nullptr, profileFile.c_str());
                    ini.EraseSection(section);
                } else {
                    ini.ReadSections(list);
                    ASSERT_EQ(Items(list), ProfileList(profileFile, nullptr));
                }
                break;
            case 5:
                ExpectSameKeys(ini, profileFile, section);
                break;
            }
            ASSERT_EQ(Get(ownFile), Get(profileFile));
        }
    }
}
#endif
