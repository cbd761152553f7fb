// Date arithmetic, FormatDateTime and the date readers. The process runs
// with DefaultFormatSettings() (test main); tests that need the program's
// "dd/MM/yyyy" setting or a fixed "today" install them for their scope.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Strings.h"

using namespace gcl;

namespace {

#define EXPECT_CONVERT_ERROR(text, stmt)                 \
    do {                                                 \
        try {                                            \
            stmt;                                        \
            ADD_FAILURE() << "no exception: " #stmt;     \
        } catch (const EConvertError& e) {               \
            EXPECT_EQ(e.GetMessage(), text) << #stmt;    \
        }                                                \
    } while (0)

const double OneMs = 1.0 / 86400000.0;

// The program's own setting: both date formats "dd/MM/yyyy".
TFormatSettings ProgramSettings() {
    TFormatSettings fs = DefaultFormatSettings();
    fs.ShortDateFormat = "dd/MM/yyyy";
    fs.LongDateFormat = "dd/MM/yyyy";
    return fs;
}

std::string Ymd(double dt) {
    int y, m, d;
    DecodeDate(dt, y, m, d);
    return Format("%d-%.2d-%.2d", {y, m, d});
}

std::string Hms(double dt) {
    int h, n, s, ms;
    DecodeTime(dt, h, n, s, ms);
    return Format("%.2d:%.2d:%.2d.%.3d", {h, n, s, ms});
}

} // namespace

TEST(DateTime, EncodeDecodeAndRange) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1899, 12, 31), 1);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1);
    EXPECT_EQ(EncodeDate(2025, 3, 5), 45721);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
    EXPECT_EQ(Ymd(45721), "2025-03-05");
    EXPECT_EQ(Ymd(-693593), "1-01-01");
    EXPECT_EQ(Ymd(2958465.99), "9999-12-31");
    EXPECT_EQ(Ymd(2958466), "0-00-00");
    EXPECT_EQ(Ymd(-693594), "0-00-00");
    EXPECT_EQ(Ymd(std::numeric_limits<double>::quiet_NaN()), "0-00-00");

    EXPECT_TRUE(IsValidDate(2024, 2, 29));
    EXPECT_TRUE(IsValidDate(2000, 2, 29));
    EXPECT_FALSE(IsValidDate(1900, 2, 29));
    EXPECT_FALSE(IsValidDate(2025, 2, 29));
    EXPECT_FALSE(IsValidDate(2025, 4, 31));
    EXPECT_FALSE(IsValidDate(2025, 13, 1));
    EXPECT_FALSE(IsValidDate(2025, 0, 1));
    EXPECT_FALSE(IsValidDate(0, 1, 1));
    EXPECT_FALSE(IsValidDate(10000, 1, 1));
    double d = 7;
    EXPECT_FALSE(TryEncodeDate(2025, 2, 29, d));
    EXPECT_EQ(d, 7);
    EXPECT_CONVERT_ERROR("Invalid argument to date encode", EncodeDate(2025, 2, 29));

    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    EXPECT_EQ(Hms(EncodeTime(23, 59, 59, 999)), "23:59:59.999");
    EXPECT_EQ(Hms(EncodeTime(10, 30, 15, 250)), "10:30:15.250");
    EXPECT_CONVERT_ERROR("Invalid argument to time encode", EncodeTime(24, 0, 0, 0));
    EXPECT_FALSE(TryEncodeTime(1, 60, 0, 0, d));
    EXPECT_FALSE(TryEncodeTime(1, 0, 0, 1000, d));
    EXPECT_FALSE(TryEncodeTime(-1, 0, 0, 0, d));

    // Times decode to the nearest millisecond, never to 24:00.
    EXPECT_EQ(Hms(45721 + EncodeTime(8, 15, 0, 0)), "08:15:00.000");
    EXPECT_EQ(Hms(45721.99999999999), "23:59:59.999");
    EXPECT_EQ(Hms(EncodeTime(1, 2, 3, 4) + 0.4 * OneMs), "01:02:03.004");

    // Before 30 Dec 1899 the fraction still counts forward from midnight.
    EXPECT_EQ(Ymd(-1.25), "1899-12-29");
    EXPECT_EQ(Hms(-1.25), "06:00:00.000");
    EXPECT_EQ(Ymd(-0.5), "1899-12-30");
    EXPECT_EQ(DateOf(-1.25), -1);
    EXPECT_EQ(TimeOf(-1.25), 0.25);
    EXPECT_EQ(DateOf(45721.75), 45721);
    EXPECT_EQ(TimeOf(45721.75), 0.75);
    EXPECT_EQ(YearOf(45721.75), 2025);
    EXPECT_EQ(YearOf(-1), 1899);
}

TEST(DateTime, Arithmetic) {
    const double wed = EncodeDate(2025, 3, 5) + EncodeTime(14, 30, 45, 500);
    EXPECT_EQ(IncDay(wed), wed + 1);
    EXPECT_EQ(IncDay(wed, -45721), 0 + TimeOf(wed));
    EXPECT_EQ(IncWeek(wed, 2), wed + 14);
    // Crossing day 0 keeps the time of day.
    EXPECT_EQ(IncDay(-1.25, 2), 1.25);
    EXPECT_EQ(IncDay(0.5, -1), -1.5);
    EXPECT_EQ(IncDay(0.5, -2), -2.5);

    EXPECT_EQ(Ymd(IncMonth(EncodeDate(2024, 1, 31))), "2024-02-29");
    EXPECT_EQ(Ymd(IncMonth(EncodeDate(2025, 1, 31))), "2025-02-28");
    EXPECT_EQ(Ymd(IncMonth(EncodeDate(2025, 3, 31), -1)), "2025-02-28");
    EXPECT_EQ(Ymd(IncMonth(EncodeDate(2025, 1, 15), -13)), "2023-12-15");
    EXPECT_EQ(Ymd(IncMonth(EncodeDate(2025, 11, 30), 3)), "2026-02-28");
    EXPECT_EQ(Ymd(IncMonth(EncodeDate(2025, 5, 10), 0)), "2025-05-10");
    EXPECT_EQ(TimeOf(IncMonth(wed, 1)), TimeOf(wed));
    EXPECT_EQ(Ymd(IncMonth(-1.25, 1)), "1900-01-29");
    EXPECT_EQ(Hms(IncMonth(-1.25, 1)), "06:00:00.000");
    EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), EConvertError);
    EXPECT_THROW(IncMonth(EncodeDate(1, 1, 1), -1), EConvertError);

    EXPECT_EQ(DayOfTheWeek(wed), 3);  // Wednesday
    EXPECT_EQ(DayOfWeek(wed), 4);
    EXPECT_EQ(DayOfTheWeek(EncodeDate(2025, 3, 9)), 7);  // Sunday
    EXPECT_EQ(DayOfWeek(EncodeDate(2025, 3, 9)), 1);
    EXPECT_EQ(DayOfWeek(0), 7);  // 30 Dec 1899 was a Saturday
    EXPECT_EQ(DayOfTheWeek(-1.5), 5);
    EXPECT_EQ(DayOfWeek(-693593), 2);  // 1 Jan 0001, a Monday

    const double endOfDay = EncodeTime(23, 59, 59, 999);
    EXPECT_EQ(StartOfTheWeek(wed), EncodeDate(2025, 3, 3));
    EXPECT_EQ(EndOfTheWeek(wed), EncodeDate(2025, 3, 9) + endOfDay);
    EXPECT_EQ(StartOfTheWeek(EncodeDate(2025, 3, 9) + 0.9), EncodeDate(2025, 3, 3));
    EXPECT_EQ(StartOfTheWeek(EncodeDate(2025, 3, 10)), EncodeDate(2025, 3, 10));
    EXPECT_EQ(StartOfTheMonth(wed), EncodeDate(2025, 3, 1));
    EXPECT_EQ(EndOfTheMonth(EncodeDate(2024, 2, 10)), EncodeDate(2024, 2, 29) + endOfDay);
    EXPECT_EQ(StartOfTheYear(wed), EncodeDate(2025, 1, 1));
    EXPECT_EQ(EndOfTheYear(wed), EncodeDate(2025, 12, 31) + endOfDay);
    EXPECT_EQ(Hms(EndOfTheWeek(wed)), "23:59:59.999");
    EXPECT_EQ(Ymd(EndOfTheMonth(-10.5)), "1899-12-31");
    EXPECT_EQ(Hms(EndOfTheMonth(-10.5)), "23:59:59.999");

    EXPECT_EQ(Hms(RecodeSecond(wed, 0)), "14:30:00.500");
    EXPECT_EQ(Hms(RecodeMilliSecond(RecodeSecond(wed, 0), 0)), "14:30:00.000");
    EXPECT_EQ(DateOf(RecodeSecond(wed, 59)), DateOf(wed));
    EXPECT_EQ(Hms(RecodeSecond(-1.25, 30)), "06:00:30.000");
    EXPECT_EQ(Ymd(RecodeSecond(-1.25, 30)), "1899-12-29");
    EXPECT_THROW(RecodeSecond(wed, 60), EConvertError);
    EXPECT_THROW(RecodeMilliSecond(wed, 1000), EConvertError);

    EXPECT_TRUE(IsSameDay(wed, DateOf(wed)));
    EXPECT_TRUE(IsSameDay(-1.1, -1.9));
    EXPECT_FALSE(IsSameDay(wed, wed + 1));
    EXPECT_FALSE(IsSameDay(0.5, -0.5 - 1));
    EXPECT_EQ(CompareDate(wed, DateOf(wed) + 0.01), 0);
    EXPECT_EQ(CompareDate(wed, wed + 1), -1);
    EXPECT_EQ(CompareDate(wed + 1, wed), 1);
}

TEST(DateTime, ClockService) {
    FixedClock clock(EncodeDate(2025, 3, 5) + EncodeTime(9, 15, 0, 0));
    {
        ServiceOverride<IClock> o(Clock, clock);
        EXPECT_EQ(Now(), clock.Now());
        EXPECT_EQ(Date(), EncodeDate(2025, 3, 5));
        EXPECT_EQ(Hms(Time()), "09:15:00.000");
        clock.Advance(1);
        EXPECT_EQ(Date(), EncodeDate(2025, 3, 6));
    }
    // The system clock is back: some time after this code was written.
    EXPECT_GT(Now(), EncodeDate(2024, 1, 1));
    EXPECT_LT(Now(), EncodeDate(2200, 1, 1));
}

TEST(DateFormat, Specifiers) {
    const double dt = EncodeDate(2025, 3, 5) + EncodeTime(14, 5, 9, 7);
    auto f = [&](const char* fmt) { return FormatDateTime(fmt, dt); };
    EXPECT_EQ(f("dd mmmm yyyy, dddd"), "05 March 2025, Wednesday");
    EXPECT_EQ(f("hh:mm"), "14:05");
    EXPECT_EQ(f("d/m/yy"), "5/3/25");
    EXPECT_EQ(f("dd/mm/yyyy"), "05/03/2025");
    EXPECT_EQ(f("DD MMMM YYYY"), "05 March 2025");
    EXPECT_EQ(f("ddd mmm"), "Wed Mar");
    EXPECT_EQ(f("y yyy yyyyy"), "25 2025 2025");
    EXPECT_EQ(f("ddddd"), "3/5/2025");
    EXPECT_EQ(f("dddddd"), "Wednesday, March 5, 2025");
    EXPECT_EQ(f("h:n:s.z"), "14:5:9.7");
    EXPECT_EQ(f("hh:nn:ss.zzz"), "14:05:09.007");
    EXPECT_EQ(f("h:m"), "14:5");
    EXPECT_EQ(f("hh mm"), "14 05");
    EXPECT_EQ(f("hhmm"), "1405");
    EXPECT_EQ(f("mm hh"), "03 14");   // m before any hour is the month
    EXPECT_EQ(f("hh:mmm"), "14:Mar");  // three m's are always the month
    EXPECT_EQ(f("h:mm am/pm"), "2:05 pm");
    EXPECT_EQ(f("h:mm AM/PM"), "2:05 PM");
    EXPECT_EQ(f("h:mm Am/Pm"), "2:05 Pm");
    EXPECT_EQ(f("h a/p"), "2 p");
    EXPECT_EQ(f("h A/P"), "2 P");
    EXPECT_EQ(f("hh ampm"), "02 PM");
    EXPECT_EQ(f("hh 'x' am/pm hh"), "02 x pm 14");  // 12-hour reaches the next am/pm only
    // A marker before the hour, as some clocks write it, holds for the
    // first hour after it only.
    EXPECT_EQ(f("ampm h:mm"), "PM 2:05");
    EXPECT_EQ(f("a/p hh 'x' hh"), "p 02 x 14");
    EXPECT_EQ(f("t"), "2:05 PM");
    EXPECT_EQ(f("tt"), "2:05:09 PM");
    EXPECT_EQ(f("c"), "3/5/2025 2:05:09 PM");
    EXPECT_EQ(f(""), "3/5/2025 2:05:09 PM");
    EXPECT_EQ(f("\"at\" hh 'o''clock'"), "at 14 oclock");
    EXPECT_EQ(f("'dd/mm' dd"), "dd/mm 05");
    EXPECT_EQ(f("\"unterminated"), "unterminated");
    EXPECT_EQ(f("Week: ww"), "Week: ww");  // other letters are copied
    EXPECT_EQ(f("a"), "a");

    const double morning = EncodeDate(2025, 3, 5) + EncodeTime(0, 30, 0, 0);
    EXPECT_EQ(FormatDateTime("h:nn am/pm", morning), "12:30 am");
    EXPECT_EQ(FormatDateTime("hh:nn", morning), "00:30");
    EXPECT_EQ(FormatDateTime("h ampm", EncodeTime(12, 0, 0, 0)), "12 PM");
    EXPECT_EQ(FormatDateTime("h ampm", EncodeTime(11, 59, 0, 0)), "11 AM");
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2025, 3, 5)), "3/5/2025");

    EXPECT_EQ(DateToStr(dt), "3/5/2025");
    EXPECT_EQ(TimeToStr(dt), "2:05:09 PM");
    EXPECT_EQ(DateTimeToStr(dt), "3/5/2025 2:05:09 PM");
    EXPECT_EQ(DateTimeToStr(0), "12/30/1899");
    EXPECT_EQ(DateTimeToStr(-1.25), "12/29/1899 6:00:00 AM");
    EXPECT_EQ(FormatDateTime("yyyy", EncodeDate(25, 1, 1)), "0025");

    // Values outside the calendar format as zeros instead of failing.
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy ddd mmm", std::numeric_limits<double>::quiet_NaN()), "00/00/0000  ");
    EXPECT_EQ(FormatDateTime("yyyy", 1e300), "0000");
}

TEST(DateFormat, SettingsDriveTheOutput) {
    const double dt = EncodeDate(2025, 3, 5) + EncodeTime(14, 5, 9, 0);
    {
        FormatSettingsOverride o(ProgramSettings());
        EXPECT_EQ(DateToStr(dt), "05/03/2025");
        EXPECT_EQ(DateTimeToStr(dt), "05/03/2025 2:05:09 PM");
        EXPECT_EQ(DateTimeToStr(0), "30/12/1899");
        EXPECT_EQ(FormatDateTime("dddddd", dt), "05/03/2025");
        EXPECT_EQ(FormatDateTime("dd mmmm yyyy, dddd", dt), "05 March 2025, Wednesday");
    }
    EXPECT_EQ(DateToStr(dt), "3/5/2025");

    TFormatSettings fs = DefaultFormatSettings();
    fs.DateSeparator = '.';
    fs.TimeSeparator = '-';
    fs.LongTimeFormat = "hh:nn";
    fs.TimeAMString = "vorm.";
    fs.TimePMString = "nachm.";
    fs.LongMonthNames[2] = "M\xE4rz";
    fs.ShortDayNames[3] = "Mi";
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", dt, fs), "05.03.2025 14-05");
    EXPECT_EQ(FormatDateTime("c", dt, fs), "3.5.2025 14-05");
    EXPECT_EQ(FormatDateTime("mmmm ddd h ampm", dt, fs), "M\xE4rz Mi 2 nachm.");
    EXPECT_EQ(FormatDateTime("'/'", dt, fs), "/");  // quoted separators stay literal
    fs.DateSeparator = '\0';
    EXPECT_EQ(FormatDateTime("dd/mm", dt, fs), "0503");

    // A format that refers to itself stops instead of recursing for ever.
    fs = DefaultFormatSettings();
    fs.ShortDateFormat = "ddddd|c";
    fs.LongTimeFormat = "tt";
    const std::string out = FormatDateTime("c", dt, fs);
    EXPECT_FALSE(out.empty());
    EXPECT_LT(out.size(), 200u);

    EXPECT_EQ(FormatSettings(), DefaultFormatSettings());  // what the test main installs
    EXPECT_EQ(detail::LoadLocaleFormatSettings().LongMonthNames.size(), 12u);
#ifndef _WIN32
    EXPECT_EQ(detail::LoadLocaleFormatSettings(), DefaultFormatSettings());
#else
    // Windows patterns are translated: no "tt" marker and no 24-hour "H" left.
    const TFormatSettings locale = detail::LoadLocaleFormatSettings();
    EXPECT_EQ(locale.LongTimeFormat.find('t'), std::string::npos) << locale.LongTimeFormat;
    EXPECT_EQ(locale.LongTimeFormat.find('H'), std::string::npos) << locale.LongTimeFormat;
    EXPECT_EQ(locale.ShortTimeFormat.find('s'), std::string::npos) << locale.ShortTimeFormat;
    for (const std::string& name : locale.LongDayNames) EXPECT_FALSE(name.empty());
#endif
}

TEST(DateParse, StrictReader) {
    FixedClock clock(EncodeDate(2025, 6, 1) + 0.5);
    ServiceOverride<IClock> useClock(Clock, clock);

    // Defaults: month/day/year.
    EXPECT_EQ(StrToDate("3/5/2025"), EncodeDate(2025, 3, 5));
    EXPECT_EQ(StrToDate(" 03/05/2025 "), EncodeDate(2025, 3, 5));
    EXPECT_EQ(StrToDate("12/30/1899"), 0);
    EXPECT_EQ(StrToDate("2/29/2024"), EncodeDate(2024, 2, 29));
    EXPECT_EQ(StrToDate("3/5"), EncodeDate(2025, 3, 5));  // current year
    EXPECT_EQ(StrToDate("3/5/0025"), EncodeDate(25, 3, 5));
    EXPECT_EQ(StrToDate(DateToStr(EncodeDate(1, 1, 1))), -693593);
    // Two-digit years: the window 1975..2074 around 2025.
    EXPECT_EQ(StrToDate("3/5/25"), EncodeDate(2025, 3, 5));
    EXPECT_EQ(StrToDate("3/5/5"), EncodeDate(2005, 3, 5));
    EXPECT_EQ(StrToDate("3/5/00"), EncodeDate(2000, 3, 5));
    EXPECT_EQ(StrToDate("3/5/75"), EncodeDate(1975, 3, 5));
    EXPECT_EQ(StrToDate("3/5/74"), EncodeDate(2074, 3, 5));
    EXPECT_EQ(StrToDate("3/5/99"), EncodeDate(1999, 3, 5));
    clock.Set(EncodeDate(2090, 1, 1));
    EXPECT_EQ(StrToDate("3/5/39"), EncodeDate(2139, 3, 5));
    EXPECT_EQ(StrToDate("3/5/40"), EncodeDate(2040, 3, 5));
    clock.Set(EncodeDate(2025, 6, 1));

    for (const char* bad : {"", " ", "3", "3/", "3/5/", "3//2025", "/3/5/2025", "13/5/2025", "2/29/2025", "0/5/2025",
                            "3/0/2025", "3-5-2025", "3/5/2025x", "3/5/2025 10:00", "3/5/20251", "x3/5/2025",
                            "00003/5/2025", "+3/5/2025", "3 /5/2025", "-3/5/2025"}) {
        double d = 42;
        EXPECT_FALSE(TryStrToDate(bad, d)) << bad;
        EXPECT_EQ(d, 42) << bad;
    }
    EXPECT_CONVERT_ERROR("'abc' is not a valid date", StrToDate("abc"));
    EXPECT_CONVERT_ERROR("'2/30/2025' is not a valid date", StrToDate("2/30/2025"));

    // The program's setting: day/month/year.
    {
        FormatSettingsOverride o(ProgramSettings());
        EXPECT_EQ(StrToDate("05/03/2025"), EncodeDate(2025, 3, 5));
        EXPECT_EQ(StrToDate("5/3/2025"), EncodeDate(2025, 3, 5));
        EXPECT_EQ(StrToDate("31/12/1899"), 1);
        EXPECT_EQ(StrToDate("5/3"), EncodeDate(2025, 3, 5));
        EXPECT_EQ(StrToDate("5/3/74"), EncodeDate(2074, 3, 5));
        EXPECT_CONVERT_ERROR("'03/31/2025' is not a valid date", StrToDate("03/31/2025"));
        for (double d : {0.0, 1.0, 45721.0, -693593.0, 2958465.0, -10.0})
            EXPECT_EQ(StrToDate(DateToStr(d)), d) << d;
    }

    // Other orders and separators come from the settings too.
    TFormatSettings iso = DefaultFormatSettings();
    iso.ShortDateFormat = "yyyy-MM-dd";
    iso.DateSeparator = '-';
    EXPECT_EQ(StrToDate("2025-03-05", iso), EncodeDate(2025, 3, 5));
    EXPECT_EQ(StrToDate("03-05", iso), EncodeDate(2025, 3, 5));
    EXPECT_THROW(StrToDate("2025/03/05", iso), EConvertError);
    TFormatSettings dotted = DefaultFormatSettings();
    dotted.ShortDateFormat = "'Day' dd.MM.yyyy";
    dotted.DateSeparator = '.';
    EXPECT_EQ(StrToDate("5.3.2025", dotted), EncodeDate(2025, 3, 5));
}

TEST(DateParse, LenientPrefixReader) {
    FixedClock clock(EncodeDate(2025, 6, 1));
    ServiceOverride<IClock> useClock(Clock, clock);
    FormatSettingsOverride o(ProgramSettings());
    const double march5 = EncodeDate(2025, 3, 5);

    double d = 0;
    for (const char* text : {"05/03/2025", "05/03/2025 call Tom", "05/03/2025;x", "  5/3/2025", "5/3/25abc",
                             "05/03", "05/03 is a date", "5/3/2025/7"}) {
        d = 0;
        EXPECT_TRUE(TryReadDatePrefix(text, d)) << text;
        EXPECT_EQ(d, march5) << text;
    }
    for (const char* text : {"", "x05/03/2025", "05/03/20251", "31/02/2025", "05", "05-03-2025", "t+2", "05/03/x",
                             "05/", "Buy milk"}) {
        d = 42;
        EXPECT_FALSE(TryReadDatePrefix(text, d)) << text;
        EXPECT_EQ(d, 42) << text;
    }
    // The same reader with the default month/day/year order.
    FormatSettingsOverride defaults(DefaultFormatSettings());
    EXPECT_TRUE(TryReadDatePrefix("3/5/2025 and more", d));
    EXPECT_EQ(d, march5);
    EXPECT_FALSE(TryReadDatePrefix("13/5/2025", d));
}

TEST(DateParse, DateTimeText) {
    FixedClock clock(EncodeDate(2025, 6, 1));
    ServiceOverride<IClock> useClock(Clock, clock);
    const double march5 = EncodeDate(2025, 3, 5);

    EXPECT_EQ(StrToDateTime("3/5/2025"), march5);
    EXPECT_EQ(StrToDateTime("3/5/2025 2:05:09 PM"), march5 + EncodeTime(14, 5, 9, 0));
    EXPECT_EQ(StrToDateTime("3/5/2025 14:05"), march5 + EncodeTime(14, 5, 0, 0));
    EXPECT_EQ(StrToDateTime(" 3/5/2025  14:05:09.5 "), march5 + EncodeTime(14, 5, 9, 500));
    EXPECT_EQ(StrToDateTime("3/5/2025 12:00 am"), march5);
    EXPECT_EQ(StrToDateTime("3/5/2025 12 PM"), march5 + 0.5);
    EXPECT_EQ(StrToDateTime("3/5/2025 7 am"), march5 + EncodeTime(7, 0, 0, 0));
    for (const char* bad : {"3/5/2025 x", "3/5/2025 13:00 PM", "3/5/2025 0 AM", "3/5/2025 24:00", "3/5/2025 10",
                            "3/5/2025 10:60", "3/5/2025 10:00:00.1234", "3/5/2025 10:", "10:00"}) {
        double d = 42;
        EXPECT_FALSE(TryStrToDateTime(bad, d)) << bad;
        EXPECT_EQ(d, 42) << bad;
    }
    EXPECT_CONVERT_ERROR("'soon' is not a valid date and time", StrToDateTime("soon"));

    // DateTimeToStr reads back, also before 1900 and at midnight.
    for (double dt : {march5 + EncodeTime(14, 5, 9, 0), march5, -1.25, 0.0, 0.75, -693593.5})
        EXPECT_EQ(StrToDateTime(DateTimeToStr(dt)), dt) << dt;
    FormatSettingsOverride o(ProgramSettings());
    EXPECT_EQ(StrToDateTime("05/03/2025 2:05 pm"), march5 + EncodeTime(14, 5, 0, 0));
    EXPECT_EQ(StrToDateTime(DateTimeToStr(march5 + 0.25)), march5 + 0.25);
}
