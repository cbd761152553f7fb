// The user's regional settings, found faulty by exploring the real
// program: date separators and orders, time formats and the first day of
// the week, also changed between one run and the next.
#include <gtest/gtest.h>

#include <tuple>

#include "app/jotpaper/Jotpaper.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The list "Work" with the task "Dentist", due 5 March 2030.
std::string DentistDatabase() {
    return "d_id-0123456789\r\n"
           "Work\xF7" "0\xF7\r\n"
           "<--<*&^Folders^&*>-->\r\n"
           "<--<*&^Tags^&*>-->\r\n"
           ";3/5/2030;Dentist\xF7--\xF7" "1111111111\xF7Work\xF7" "1/2/2025\xF7\xF7\r\n";
}

// The due text of the sticky note made last ("" when none was made).
std::string LastNoteDue(const TProgram& p) {
    const std::string record = ReadFile(p.PathOf(JotpaperRecordFileName));
    const size_t at = record.rfind("Due: ");
    return at == std::string::npos ? std::string() : record.substr(at, record.find('\r', at) - at);
}

// Makes a sticky note of task Index of the list Work and waits for it.
std::string NoteOfWorkTask(TProgram& p, const TMainWindowParts& parts, int index) {
    WriteFile(p.PathOf(JotpaperRecordFileName), "");
    Click(p, parts.TreeRow(1));
    Click(p, parts.ListItem(index));
    Key(p, 'K', Ctrl);
    WaitUntil([&] { return !LastNoteDue(p).empty(); });
    return LastNoteDue(p);
}

} // namespace

// A date typed under one date form, kept, and read back by a start under
// another (the user changed the settings or took the file to a computer
// set otherwise): the day stays the same and each start shows it in its
// own separator.
TEST(RegionalDatesScenario, DueDatesOutliveAChangeOfDateForm) {
    TRegistryValues regional;
    SetRegional(regional, {{"sShortDate", "dd.MM.yyyy"}, {"sDate", "."}});
    {
        TProgram p("regional-dates");
        WriteFile(p.DatabasePath(), DentistDatabase());
        p.Start();
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        const TMainWindowParts parts(main);
        Click(p, parts.TreeRow(1));
        Key(p, 'N', Ctrl);
        Type(p, ";20.12.2030;Winter");
        Key(p, VK_RETURN);
        EXPECT_EQ(NoteOfWorkTask(p, parts, 1), "Due: 20.12.2030");
        Key(p, 'Q', Ctrl);
        EXPECT_EQ(p.WaitExit(), 0);
        EXPECT_EQ(Fields(TaskLine(ReadFile(p.DatabasePath()), "Winter"))[0], ";12/20/2030;Winter");
    }
    for (const auto& [shortDate, separator, shown] :
         {std::tuple<const char*, const char*, const char*>{"M/d/yyyy", "/", "Due: 20/12/2030"},
          {"yyyy-MM-dd", "-", "Due: 20-12-2030"}}) {
        SetRegional(regional, {{"sShortDate", shortDate}, {"sDate", separator}});
        TProgram p("regional-dates", true);
        p.Start();
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        const TMainWindowParts parts(main);
        EXPECT_EQ(NoteOfWorkTask(p, parts, 0), "Due: 05" + std::string(separator) + "03" + separator + "2030");
        EXPECT_EQ(NoteOfWorkTask(p, parts, 1), shown);
        // Typed in this start's own form, the day goes into the file as
        // every other.
        Key(p, 'N', Ctrl);
        Type(p, std::string(";1") + separator + "2" + separator + "2031;Feb " + separator);
        Key(p, VK_RETURN);
        Key(p, 'Q', Ctrl);
        EXPECT_EQ(p.WaitExit(), 0);
        const std::string file = ReadFile(p.DatabasePath());
        EXPECT_EQ(Fields(TaskLine(file, "Winter"))[0], ";12/20/2030;Winter");
        EXPECT_EQ(Fields(TaskLine(file, std::string("Feb ") + separator))[0], std::string(";2/1/2031;Feb ") + separator);
    }
}

// A clock whose AM/PM marker comes before the hour (Korean and Chinese
// settings write "tt h:mm:ss") showed the hour of the 24-hour clock beside
// the marker: a due date shown with its time read "AM 0:00:00" for
// midnight, and the Options preview "PM 16:31:23".
TEST(RegionalTimeScenario, MarkerBeforeTheHourKeepsTheTwelveHourClock) {
    TRegistryValues regional;
    SetRegional(regional, {{"sShortDate", "dd.MM.yyyy"}, {"sDate", "."}, {"sTimeFormat", "tt h:mm:ss"},
                           {"s1159", "AM"}, {"s2359", "PM"}});
    TProgram p("regional-time");
    WriteFile(p.DatabasePath(), DentistDatabase());
    WriteFile(p.SettingsPath(), "[Options]\r\nDateTime Format=ddddd tt\r\n");
    WriteFile(p.PathOf(JotpaperRecordFileName), "");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.TreeRow(1));
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Dentist");
    Key(p, 'K', Ctrl);
    EXPECT_TRUE(WaitUntil([&] { return ReadFile(p.PathOf(JotpaperRecordFileName)).find("Due:") != std::string::npos; }));
    // The day in the user's separator, the time on the 12-hour clock.
    EXPECT_NE(ReadFile(p.PathOf(JotpaperRecordFileName)).find("Due: 05.03.2030 AM 12:00:00"), std::string::npos)
        << ReadFile(p.PathOf(JotpaperRecordFileName));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
