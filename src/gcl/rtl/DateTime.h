// Dates and times. A date-time is a double: the integer part counts days
// since 30 December 1899, the fraction is the time of day. Before that day
// the integer part is still the day and the fraction is the time counted
// away from zero: -1.25 is 29 December 1899, 06:00.
//
// The valid range is 1 January 0001 (-693593) to 31 December 9999
// (2958465). Decoding a value outside it (or NaN) gives zeros.
//
// Process-wide format settings drive DateToStr, StrToDate and the decimal
// separator of the number conversions. The clock is a replaceable service.
#pragma once

#include <cstdint>

#include <array>
#include <string>

#include "gcl/rtl/Services.h"

namespace gcl {

using TDateTime = double;

namespace msg {
inline constexpr const char* DateEncodeError = "Invalid argument to date encode";
inline constexpr const char* TimeEncodeError = "Invalid argument to time encode";
} // namespace msg

// --- Format settings --------------------------------------------------------

struct TFormatSettings {
    std::string ShortDateFormat;
    std::string LongDateFormat;
    std::string ShortTimeFormat;
    std::string LongTimeFormat;
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    std::string TimeAMString;
    std::string TimePMString;
    std::array<std::string, 12> ShortMonthNames;
    std::array<std::string, 12> LongMonthNames;
    std::array<std::string, 7> ShortDayNames;  // Sunday first
    std::array<std::string, 7> LongDayNames;   // Sunday first

    bool operator==(const TFormatSettings&) const = default;
};

// The process-wide settings. On Windows they are read from the user's
// locale (GetLocaleInfoA) at first use; natively they start as
// DefaultFormatSettings(). Changing them never touches the OS locale.
TFormatSettings& FormatSettings();

// Fixed English settings, the same everywhere (the tests run with them):
//   ShortDateFormat "M/d/yyyy", LongDateFormat "dddd, MMMM d, yyyy",
//   ShortTimeFormat "h:mm AMPM", LongTimeFormat "h:mm:ss AMPM",
//   separators '/', ':', '.', ',', "AM"/"PM", English month and day names.
TFormatSettings DefaultFormatSettings();

// Installs a copy of the given settings as the process settings and puts
// the previous ones back on destruction.
class FormatSettingsOverride {
public:
    explicit FormatSettingsOverride(const TFormatSettings& settings);
    ~FormatSettingsOverride();
    FormatSettingsOverride(const FormatSettingsOverride&) = delete;
    FormatSettingsOverride& operator=(const FormatSettingsOverride&) = delete;

private:
    TFormatSettings FSaved;
};

// --- The clock ------------------------------------------------------------------

struct IClock {
    virtual ~IClock() = default;
    // Local date and time.
    virtual double Now() = 0;
};

// The production clock reads the system's local time.
extern ServiceSlot<IClock> Clock;

// A clock that stands still unless moved, for tests.
class FixedClock : public IClock {
public:
    explicit FixedClock(double now = 0) noexcept : FNow(now) {}
    double Now() override { return FNow; }
    void Set(double now) noexcept { FNow = now; }
    void Advance(double days) noexcept { FNow += days; }

private:
    double FNow;
};

double Now();   // Clock->Now()
double Date();  // today at midnight
double Time();  // time of day

// --- Encoding and decoding ----------------------------------------------------------

namespace detail {
constexpr std::int64_t UnixEpochDay = 25569;  // 1 January 1970

constexpr bool IsLeapYear(int year) noexcept {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

inline int DaysInMonth(int year, int month) noexcept {
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days since 1 January 1970 of a proleptic Gregorian date (H. Hinnant's
// civil-date algorithms).
inline std::int64_t DaysFromCivil(std::int64_t y, int m, int d) noexcept {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}
} // namespace detail

// Encoding is inline: readers of dates in bulk (the task database) call
// it for every date they read.
inline bool IsValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= detail::DaysInMonth(year, month);
}
// Raises EConvertError (msg::DateEncodeError) for an invalid date.
double EncodeDate(int year, int month, int day);

namespace detail {
// The day numbers of 1 January of the years 1900 to 2156, for the dates
// read by the hundred thousand: a date of those years is its year's day
// number plus the days before its month, found without a branch on the
// month or the leap year.
struct TYearTable {
    static constexpr int First = 1900;
    static constexpr unsigned Count = 256;  // years with a day number after them
    std::int32_t Start[Count + 1] = {};
    constexpr TYearTable() {
        Start[0] = 2;  // 30 December 1899 is day 0
        for (unsigned i = 0; i < Count; ++i) {
            const int y = First + static_cast<int>(i);
            Start[i + 1] = Start[i] + (IsLeapYear(y) ? 366 : 365);
        }
    }
};
inline constexpr TYearTable YearTable;
// Days before each month (1-12) of a common year, and the months' lengths.
inline constexpr std::int32_t DaysBeforeMonth[13] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
inline constexpr std::int32_t DaysOfMonth[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
} // namespace detail

inline bool TryEncodeDate(int year, int month, int day, double& out) {
    const unsigned y = static_cast<unsigned>(year - detail::TYearTable::First);
    const unsigned m = static_cast<unsigned>(month);
    if (y < detail::TYearTable::Count && m - 1 < 12) {
        const std::int32_t leap = detail::YearTable.Start[y + 1] - detail::YearTable.Start[y] - 365;
        const std::int32_t length = detail::DaysOfMonth[m] + (m == 2 ? leap : 0);
        if (static_cast<unsigned>(day - 1) >= static_cast<unsigned>(length)) return false;
        out = detail::YearTable.Start[y] + detail::DaysBeforeMonth[m] + (m > 2 ? leap : 0) + day - 1;
        return true;
    }
    if (!IsValidDate(year, month, day)) return false;
    out = static_cast<double>(detail::DaysFromCivil(year, month, day) + detail::UnixEpochDay);
    return true;
}
void DecodeDate(double dt, int& year, int& month, int& day);
// Hour 0-23, minute and second 0-59, millisecond 0-999; raises
// EConvertError (msg::TimeEncodeError) otherwise.
double EncodeTime(int hour, int minute, int second, int msec);
bool TryEncodeTime(int hour, int minute, int second, int msec, double& out);
// Rounds to the nearest millisecond (at most 23:59:59.999).
void DecodeTime(double dt, int& hour, int& minute, int& second, int& msec);

double DateOf(double dt);  // the day at midnight
double TimeOf(double dt);  // the time of day, 0 <= result < 1
int YearOf(double dt);

// --- Arithmetic ----------------------------------------------------------------------

double IncDay(double dt, int days = 1);
double IncWeek(double dt, int weeks = 1);
// Same day of another month, clamped to that month's length; raises
// EConvertError when the year leaves 1..9999.
double IncMonth(double dt, int months = 1);
int DayOfTheWeek(double dt);  // ISO: 1 Monday ... 7 Sunday
int DayOfWeek(double dt);     // 1 Sunday ... 7 Saturday
// Starts are midnight of the first day; ends are 23:59:59.999 of the last.
// Weeks run Monday to Sunday.
double StartOfTheWeek(double dt);
double EndOfTheWeek(double dt);
double StartOfTheMonth(double dt);
double EndOfTheMonth(double dt);
double StartOfTheYear(double dt);
double EndOfTheYear(double dt);
// Replace the seconds (0-59) or milliseconds (0-999), keeping the rest;
// EConvertError for a value out of range.
double RecodeSecond(double dt, int second);
double RecodeMilliSecond(double dt, int msec);
bool IsSameDay(double a, double b);
// Compares the calendar days only: -1, 0 or 1.
int CompareDate(double a, double b);

// --- Formatting ------------------------------------------------------------------------

// Specifiers (letters in any case):
//   c       short date, then a blank and the long time unless it is midnight
//   d dd    day without / with a leading zero; ddd dddd short / long day name;
//           ddddd the short date format; dddddd the long date format
//   m mm    month without / with leading zero; mmm mmmm short / long month
//           name. Right after an h or hh (only non-letters between), m and mm
//           are minutes.
//   yy      two-digit year (also y); yyyy four-digit year (any longer run)
//   h hh    hour; 12-hour when an am/pm specifier follows before the next h
//   n nn    minute; s ss second; z zzz millisecond (zzz: three digits)
//   t tt    short / long time format
//   am/pm a/p   "am"/"pm" or "a"/"p", in the case written in the format
//   ampm    TimeAMString / TimePMString
//   /  :    date separator / time separator
//   "..." '...'  literal text
// Anything else is copied. An empty format means "c".
std::string FormatDateTime(const std::string& fmt, double dt);
std::string FormatDateTime(const std::string& fmt, double dt, const TFormatSettings& settings);
std::string DateToStr(double dt);      // short date format
std::string TimeToStr(double dt);      // long time format
std::string DateTimeToStr(double dt);  // "c"

// --- Parsing ----------------------------------------------------------------------------
//
// A date is read as numbers separated by DateSeparator, in the order the
// short date format names day, month and year (its first d, m or y letter
// decides: d gives day/month/year, y year/month/day, m month/day/year).
// Each number has 1 to 4 digits; month names are not read. A date of two
// numbers (day and month in the format's order) falls in the current year.
//
// Two-digit years (a year written with one or two digits) are placed in the
// 100-year window from 50 years before to 49 years after the current year,
// which comes from the Clock service: in 2025, "75" is 1975 and "74" is
// 2074.

// The whole text (blanks around it allowed) must be a date; raises
// EConvertError (msg::InvalidDate).
double StrToDate(const std::string& s);
double StrToDate(const std::string& s, const TFormatSettings& settings);
bool TryStrToDate(const std::string& s, double& out);
bool TryStrToDate(const std::string& s, double& out, const TFormatSettings& settings);
// A date optionally followed by blanks and a time: hour, then TimeSeparator
// and minute, optionally TimeSeparator and second, optionally "." (or the
// decimal separator) and milliseconds; an AM/PM marker (TimeAMString,
// TimePMString, "AM" or "PM", any case) may follow. Raises EConvertError
// (msg::InvalidDateTime).
double StrToDateTime(const std::string& s);
double StrToDateTime(const std::string& s, const TFormatSettings& settings);
bool TryStrToDateTime(const std::string& s, double& out);
bool TryStrToDateTime(const std::string& s, double& out, const TFormatSettings& settings);
// Lenient reader: true when the text begins (after blanks) with a date in
// the process format; whatever follows it is ignored ("05/03/2025 call"
// and "05/03/2025;x" read as dates, "05/03/20251" does not).
bool TryReadDatePrefix(const std::string& text, double& out);
bool TryReadDatePrefix(const std::string& text, double& out, const TFormatSettings& settings);

namespace detail {
// Implemented per platform (DateTime_win32.cpp / DateTime_posix.cpp).
double SystemNow();
TFormatSettings LoadLocaleFormatSettings();
} // namespace detail

} // namespace gcl
