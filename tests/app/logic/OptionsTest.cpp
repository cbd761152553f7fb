// The [Options] section, the Run value and the colour text.
#include <gtest/gtest.h>

#include "AppLogicTest.h"
#include "app/logic/Options.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/IniFiles.h"
#include "gcl/rtl/Registry.h"
#include "gcl/rtl/TypInfo.h"

namespace qelvo {
namespace {

using test::ReadFile;
using test::TProgramFolder;

// The Run value as the registry holds it ("" when missing).
std::string RunValue() {
    gcl::TRegistry reg;
    if (!reg.OpenKeyReadOnly(RunKeyPath)) return std::string();
    return reg.ValueExists(RunValueName) ? reg.ReadString(RunValueName) : std::string();
}

// Leaves the Run value as it found it (under Wine the registry is real).
class RunValueGuard {
public:
    RunValueGuard() : FWas(RunEntryExists(RunValueName)), FValue(RunValue()) {}
    ~RunValueGuard() {
        DeleteRunEntry(RunValueName);
        if (FWas) {
            gcl::TRegistry reg;
            if (reg.OpenKey(RunKeyPath, true)) reg.WriteString(RunValueName, FValue);
        }
    }

private:
    bool FWas;
    std::string FValue;
};

TEST(Options, DefaultsWithoutAFile) {
    TProgramFolder app;
    RunValueGuard guard;
    DeleteRunEntry(RunValueName);
    TOptions o;
    o.ListFontSize = 30;
    EXPECT_TRUE(LoadOptions(SettingsFileName(), o));
    TOptions expected = DefaultOptions();
    EXPECT_EQ(expected, o);
    EXPECT_EQ(app.Dir() + "Data" + gcl::PathDelim + "ActualData.kpx", o.DefaultDatabase);
    EXPECT_EQ("ddddd", o.DateTimeFormat);
    EXPECT_EQ("$00346DE4", o.GroupsUnderlineColor);
    EXPECT_EQ(5, o.AutoSaveInterval);
    EXPECT_EQ(11, o.ListFontSize);
    EXPECT_EQ(10, o.NoteFontSize);
    EXPECT_TRUE(o.MinimizeToTray && o.ConfirmDelete && o.DistinguishPriorities && o.AutoSave);
    EXPECT_FALSE(o.StartWithWindows);
}

TEST(Options, SaveWritesTheKeysInOrder) {
    TProgramFolder app;
    RunValueGuard guard;
    TOptions o = DefaultOptions();
    o.DefaultDatabase = "C:\\Tasks\\mine.kpx";
    o.AutoSave = false;
    o.AutoSaveInterval = 12;
    ASSERT_TRUE(SaveOptions(SettingsFileName(), o));
    EXPECT_EQ("[Options]\r\n"
              "DateTime Format=ddddd\r\n"
              "MinToTrayC=1\r\n"
              "Confirm Delete=1\r\n"
              "Distinguish Tasks Priorities=1\r\n"
              "Groups Underline Color=$00346DE4\r\n"
              "AutoSave=0\r\n"
              "AutoSave Interval=12\r\n"
              "List Font Size=11\r\n"
              "Lists Font Size=10\r\n"
              "Default Database Tasks=C:\\Tasks\\mine.kpx\r\n",
              ReadFile(SettingsFileName()));

    TOptions read;
    ASSERT_TRUE(LoadOptions(SettingsFileName(), read));
    EXPECT_EQ(o, read);
}

// Text values come back as they were saved, also those the profile rules
// would change: quotes at both ends (a date format with words of its own
// in quotes) and blanks at an end (the offered "ddd dd,MM yy ").
TEST(Options, TextValuesComeBackAsSaved) {
    TProgramFolder app;
    RunValueGuard guard;
    for (const std::string& text :
         {std::string("'by' dd/MM/yyyy 'latest'"), std::string("ddd dd,MM yy "), std::string(" dd"),
          std::string("\"dd\""), std::string("'"), std::string("dd 'x'"), std::string("\tdd\t")}) {
        TOptions o = DefaultOptions();
        o.DateTimeFormat = text;
        o.GroupsUnderlineColor = text;
        o.DefaultDatabase = text;
        ASSERT_TRUE(SaveOptions(SettingsFileName(), o));
        TOptions read;
        ASSERT_TRUE(LoadOptions(SettingsFileName(), read));
        EXPECT_EQ(read.DateTimeFormat, text);
        EXPECT_EQ(read.GroupsUnderlineColor, text);
        EXPECT_EQ(read.DefaultDatabase, text);
    }
    // Values the rules keep are written as they are.
    TOptions o = DefaultOptions();
    o.DateTimeFormat = "dd 'x'";
    ASSERT_TRUE(SaveOptions(SettingsFileName(), o));
    EXPECT_NE(ReadFile(SettingsFileName()).find("DateTime Format=dd 'x'\r\n"), std::string::npos);
}

TEST(Options, RunValueFollowsStartWithWindows) {
    TProgramFolder app;
    RunValueGuard guard;
    TOptions o = DefaultOptions();
    o.StartWithWindows = true;
    ASSERT_TRUE(SaveOptions(SettingsFileName(), o));
    EXPECT_TRUE(RunEntryExists(RunValueName));
    EXPECT_EQ("\"" + app.File("qelvo.exe") + "\"", RunValue());
    TOptions read;
    ASSERT_TRUE(LoadOptions(SettingsFileName(), read));
    EXPECT_TRUE(read.StartWithWindows);

    // Unchecked and Ok: the value goes.
    o.StartWithWindows = false;
    ASSERT_TRUE(ApplyOptionsDialog(o, SettingsFileName()));
    EXPECT_FALSE(RunEntryExists(RunValueName));
    EXPECT_FALSE(Options.StartWithWindows);
    // Deleting an absent value is fine; the run-once key is another key.
    EXPECT_TRUE(DeleteRunEntry(RunValueName));
    EXPECT_FALSE(RunEntryExists(RunValueName, true));
}

TEST(Options, CancelWritesNothing) {
    TProgramFolder app;
    RunValueGuard guard;
    DeleteRunEntry(RunValueName);
    TOptions o = DefaultOptions();
    ASSERT_TRUE(ApplyOptionsDialog(o, SettingsFileName()));
    const std::string before = ReadFile(SettingsFileName());

    TOptions edited = Options;
    edited.StartWithWindows = true;
    edited.ListFontSize = 20;
    edited.DateTimeFormat = "yyyy";
    Options = edited;  // the dialog's controls were read into the options
    CancelOptionsDialog(o);  // the options the dialog opened with
    EXPECT_EQ(o, Options);
    EXPECT_EQ(before, ReadFile(SettingsFileName()));
    EXPECT_FALSE(RunEntryExists(RunValueName));
}

TEST(Options, UnreadableValuesKeepTheirDefaults) {
    TProgramFolder app;
    gcl::TIniFile ini(SettingsFileName());
    ini.WriteString("Options", "AutoSave Interval", "often");
    ini.WriteString("Options", "List Font Size", "14");
    ini.WriteString("Options", "AutoSave", "0");
    TOptions read;
    ASSERT_TRUE(LoadOptions(SettingsFileName(), read));
    EXPECT_EQ(5, read.AutoSaveInterval);
    EXPECT_EQ(14, read.ListFontSize);
    EXPECT_FALSE(read.AutoSave);
    // Numbers beyond the dialog's: font sizes fitted to its range, an
    // interval taken for garbage (0, never, stays).
    ini.WriteString("Options", "List Font Size", "-2147483648");
    ini.WriteString("Options", "Lists Font Size", "2147483647");
    ini.WriteString("Options", "AutoSave Interval", "-7");
    ASSERT_TRUE(LoadOptions(SettingsFileName(), read));
    EXPECT_EQ(MinFontSize, read.ListFontSize);
    EXPECT_EQ(MaxFontSize, read.NoteFontSize);
    EXPECT_EQ(5, read.AutoSaveInterval);
    ini.WriteInteger("Options", "AutoSave Interval", 0);
    ini.WriteInteger("Options", "List Font Size", 40);
    ASSERT_TRUE(LoadOptions(SettingsFileName(), read));
    EXPECT_EQ(0, read.AutoSaveInterval);
    EXPECT_EQ(40, read.ListFontSize);
    ini.WriteInteger("Options", "AutoSave Interval", MaxAutoSaveInterval + 1);
    ASSERT_TRUE(LoadOptions(SettingsFileName(), read));
    EXPECT_EQ(5, read.AutoSaveInterval);
}

// A default database that names no file (left empty, or a folder) stands
// for the standard one, which the start opens in its place; a file that
// is missing now (a drive not there) stays the user's choice.
TEST(Options, ADefaultDatabaseNamingNoFileIsTheStandardOne) {
    TProgramFolder app;
    const std::string standard = app.Dir() + "Data" + gcl::PathDelim + "ActualData.kpx";
    gcl::TIniFile ini(SettingsFileName());
    TOptions read;
    for (const std::string& stored : {std::string(), app.Dir(), app.Dir() + "Data"}) {
        ini.WriteString("Options", "Default Database Tasks", stored);
        ASSERT_TRUE(LoadOptions(SettingsFileName(), read));
        EXPECT_EQ(standard, read.DefaultDatabase) << stored;
    }
    const std::string away = app.Dir() + "Gone" + gcl::PathDelim + "Tasks.kpx";
    ini.WriteString("Options", "Default Database Tasks", away);
    ASSERT_TRUE(LoadOptions(SettingsFileName(), read));
    EXPECT_EQ(away, read.DefaultDatabase);
    EXPECT_EQ(away, UsableDefaultDatabase(away));
    EXPECT_EQ(standard, UsableDefaultDatabase(""));
}

// A settings file that cannot be written is told apart from the Run value,
// and the message names what was not saved.
TEST(Options, ASaveThatCannotWriteTheFileSaysWhat) {
    TProgramFolder app;
    RunValueGuard guard;
    DeleteRunEntry(RunValueName);
    ASSERT_TRUE(gcl::ForceDirectories(SettingsFileName()));  // a folder in its place
    const TOptionsSaved saved = ApplyOptionsDialog(DefaultOptions(), SettingsFileName());
    EXPECT_FALSE(saved);
    EXPECT_FALSE(saved.File);
    EXPECT_TRUE(saved.RunEntry);
    const std::string text = OptionsNotSavedMessage(saved, SettingsFileName());
    EXPECT_EQ(0u, text.find("The settings could not be saved to: " + SettingsFileName() + "\r\n")) << text;
    EXPECT_EQ(std::string::npos, text.find("registry"));
    EXPECT_EQ(std::string(), OptionsNotSavedMessage(TOptionsSaved{}, SettingsFileName()));
    EXPECT_NE(std::string::npos, OptionsNotSavedMessage({true, false}, SettingsFileName()).find("registry"));
}

const gcl::TIdentMapEntry TestColorEntries[] = {{0x000000, "clBlack"}, {0xFF0000, "clBlue"}, {-16777201, "clBtnFace"}};
const gcl::TIdentMap TestColors{TestColorEntries, 3};

TEST(Options, ColourText) {
    std::int32_t c = 7;
    EXPECT_TRUE(TryColorTextToColor("$00346DE4", TestColors, c));
    EXPECT_EQ(0x00346DE4, c);
    EXPECT_TRUE(TryColorTextToColor("$00ff00aa", TestColors, c));
    EXPECT_EQ(0x00FF00AA, c);
    EXPECT_TRUE(TryColorTextToColor("clBlue", TestColors, c));
    EXPECT_EQ(0xFF0000, c);
    EXPECT_TRUE(TryColorTextToColor("CLBTNFACE", TestColors, c));
    EXPECT_EQ(-16777201, c);
    c = 7;
    EXPECT_TRUE(TryColorTextToColor("$FF00000F", TestColors, c));
    EXPECT_EQ(-16777201, c);
    c = 7;
    // Values that name no colour a window paints (they painted black).
    for (const char* bad : {"", "$346DE4", "$00346DE4X", "00346DE4", "clNoSuch", "$0034 6DE", "red", "$00346DEG",
                            "$FFFFFFFF", "$12345678", "$FF0000FF", "$FF00010F", "$80000005", "$1FFFFFFF"})
        EXPECT_FALSE(TryColorTextToColor(bad, TestColors, c)) << bad;
    EXPECT_EQ(7, c);
    EXPECT_EQ(0x00346DE4, UnderlineColorFromText("pink", TestColors));
    EXPECT_EQ(0xFF0000, UnderlineColorFromText("clBlue", TestColors));
    EXPECT_EQ(0x00346DE4, UnderlineColorFromText("$FFFFFFFF", TestColors));

    EXPECT_EQ("$00346DE4", ColorToColorText(0x00346DE4, TestColors));
    EXPECT_EQ("clBlue", ColorToColorText(0xFF0000, TestColors));
    EXPECT_EQ("$FF00000F", ColorToColorText(static_cast<std::int32_t>(0xFF00000Fu), gcl::TIdentMap{nullptr, 0}));
}

TEST(Options, DateFormatPreview) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    const double now = gcl::EncodeDate(2025, 3, 5) + gcl::EncodeTime(14, 7, 0, 0);
    EXPECT_EQ("2025", DateFormatPreview("yyyy", now));
    EXPECT_EQ("05/03/2025", DateFormatPreview(DateFormatPresets[5], now));
    EXPECT_EQ("05 Mar 2025", DateFormatPreview(DateFormatPresets[0], now));
    EXPECT_EQ("Wed 5.03/2025", DateFormatPreview(DateFormatPresets[2], now));
    EXPECT_EQ(7u, DateFormatPresets.size());
}

} // namespace
} // namespace qelvo
