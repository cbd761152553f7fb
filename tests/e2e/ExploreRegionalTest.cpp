// The user's regional settings, found faulty by exploring the real
// program: date separators and orders, time formats and the first day of
// the week, also changed between one run and the next.
#include <gtest/gtest.h>

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

} // namespace

// A clock whose AM/PM marker comes before the hour (Korean and Chinese
// settings write "tt h:mm:ss") showed the hour of the 24-hour clock beside
// the marker: a due date shown with its time read "AM 0:00:00" for
// midnight, and the Options preview "PM 16:31:23".
TEST(RegionalTimeScenario, MarkerBeforeTheHourKeepsTheTwelveHourClock) {
    TRegionalSettings regional({{"sShortDate", "dd.MM.yyyy"}, {"sDate", "."}, {"sTimeFormat", "tt h:mm:ss"},
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
