#include "gcl/rtl/DateTime.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Strings.h"

namespace gcl {

namespace {

constexpr int64_t MinDay = -693593;  // 1 January 0001
constexpr int64_t MaxDay = 2958465;  // 31 December 9999
constexpr int64_t MsPerDay = 86400000;

class TSystemClock final : public IClock {
public:
    double Now() override { return detail::SystemNow(); }
};

TSystemClock GSystemClock;

inline char DateUpperAZ(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

using detail::DaysFromCivil;
using detail::DaysInMonth;
using detail::UnixEpochDay;

// Z counts days from 1 January 1970 and lies in the range of valid dates,
// so 32-bit arithmetic holds every step (64-bit divisions are library
// calls on 32-bit targets).
void CivilFromDays(int64_t days, int& year, int& month, int& day) {
    const int z = static_cast<int>(days) + 719468;  // from 1 March 0000, never negative here
    const int era = z / 146097;
    const int doe = z - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = yoe + era * 400 + (month <= 2 ? 1 : 0);
}

// A date-time as its day number and the time of day in milliseconds.
struct TParts {
    bool Valid;
    int64_t Day;
    int Ms;
};

TParts Split(double dt) {
    if (!(dt > static_cast<double>(MinDay - 1) && dt < static_cast<double>(MaxDay + 1))) return {false, 0, 0};
    double day = std::trunc(dt);
    int64_t ms = std::llround(std::fabs(dt - day) * static_cast<double>(MsPerDay));
    if (ms >= MsPerDay) ms = MsPerDay - 1;
    return {true, static_cast<int64_t>(day), static_cast<int>(ms)};
}

// Day number plus a time of day (0 <= time < 1), following the sign rule.
double Compose(double day, double time) { return day >= 0 ? day + time : day - time; }

double MsToTime(int64_t ms) { return static_cast<double>(ms) / static_cast<double>(MsPerDay); }

int64_t Mod7(int64_t v) { return ((v % 7) + 7) % 7; }

[[noreturn]] void RaiseDateEncode() { throw EConvertError(msg::DateEncodeError); }
[[noreturn]] void RaiseTimeEncode() { throw EConvertError(msg::TimeEncodeError); }

// --- Formatting ---------------------------------------------------------------

bool MatchText(const char* p, size_t avail, const char* word) {
    size_t i = 0;
    for (; word[i]; ++i) {
        if (i >= avail || DateUpperAZ(p[i]) != DateUpperAZ(word[i])) return false;
    }
    return true;
}

void AppendNumber(std::string& out, int value, int width) {
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, value < 0 ? -value : value);
    int len = static_cast<int>(r.ptr - buf);
    if (value < 0) out += '-';
    for (; len < width; --width) out += '0';
    out.append(buf, r.ptr);
}

class TDateFormatter {
public:
    TDateFormatter(double dt, const TFormatSettings& settings) : FSettings(settings) {
        TParts p = Split(dt);
        if (p.Valid) {
            CivilFromDays(p.Day - UnixEpochDay, FYear, FMonth, FDay);
            FDayOfWeek = static_cast<int>(Mod7(p.Day + 6)) + 1;
            FHour = p.Ms / 3600000;
            FMinute = p.Ms / 60000 % 60;
            FSecond = p.Ms / 1000 % 60;
            FMsec = p.Ms % 1000;
        }
    }

    void Append(std::string& out, const std::string& fmt, int depth) {
        // A format that names itself (a short date format holding "ddddd")
        // stops after a few levels instead of recursing for ever.
        if (depth > 3) return;
        const char* f = fmt.data();
        const size_t len = fmt.size();
        bool afterHour = false;
        // Some clocks put the AM/PM marker before the hour ("AMPM h:mm");
        // the first hour after such a marker is on the 12-hour clock too.
        bool hourSeen = false, markerFirst = false;
        size_t i = 0;
        while (i < len) {
            const char c = f[i];
            const char uc = DateUpperAZ(c);
            size_t run = 1;
            while (IsLetter(c) && i + run < len && DateUpperAZ(f[i + run]) == uc) ++run;
            switch (uc) {
            case '"':
            case '\'': {
                size_t j = i + 1;
                while (j < len && f[j] != c) ++j;
                out.append(f + i + 1, j - i - 1);
                i = j < len ? j + 1 : len;
                continue;
            }
            case '/':
                if (FSettings.DateSeparator) out += FSettings.DateSeparator;
                ++i;
                continue;
            case ':':
                if (FSettings.TimeSeparator) out += FSettings.TimeSeparator;
                ++i;
                continue;
            case 'C':
                Append(out, FSettings.ShortDateFormat, depth + 1);
                if (FHour != 0 || FMinute != 0 || FSecond != 0 || FMsec != 0) {
                    out += ' ';
                    Append(out, FSettings.LongTimeFormat, depth + 1);
                }
                break;
            case 'D':
                switch (run) {
                case 1: AppendNumber(out, FDay, 1); break;
                case 2: AppendNumber(out, FDay, 2); break;
                case 3: out += DayName(FSettings.ShortDayNames); break;
                case 4: out += DayName(FSettings.LongDayNames); break;
                case 5: Append(out, FSettings.ShortDateFormat, depth + 1); break;
                default: Append(out, FSettings.LongDateFormat, depth + 1); break;
                }
                break;
            case 'M':
                if (afterHour && run <= 2) AppendNumber(out, FMinute, static_cast<int>(run));
                else if (run <= 2) AppendNumber(out, FMonth, static_cast<int>(run));
                else out += MonthName(run == 3 ? FSettings.ShortMonthNames : FSettings.LongMonthNames);
                break;
            case 'Y':
                if (run <= 2) AppendNumber(out, FYear % 100, 2);
                else AppendNumber(out, FYear, 4);
                break;
            case 'H': {
                int hour = FHour;
                if (TwelveHour(f, i + run, len) || (markerFirst && !hourSeen)) {
                    hour %= 12;
                    if (hour == 0) hour = 12;
                }
                AppendNumber(out, hour, run >= 2 ? 2 : 1);
                i += run;
                afterHour = true;
                hourSeen = true;
                continue;
            }
            case 'N': AppendNumber(out, FMinute, run >= 2 ? 2 : 1); break;
            case 'S': AppendNumber(out, FSecond, run >= 2 ? 2 : 1); break;
            case 'Z': AppendNumber(out, FMsec, run >= 2 ? 3 : 1); break;
            case 'T':
                Append(out, run >= 2 ? FSettings.LongTimeFormat : FSettings.ShortTimeFormat, depth + 1);
                break;
            case 'A': {
                const bool pm = FHour >= 12;
                bool marker = true;
                if (MatchText(f + i, len - i, "am/pm")) {
                    out.append(f + i + (pm ? 3 : 0), 2);
                    i += 5;
                } else if (MatchText(f + i, len - i, "a/p")) {
                    out += f[i + (pm ? 2 : 0)];
                    i += 3;
                } else if (MatchText(f + i, len - i, "ampm")) {
                    out += pm ? FSettings.TimePMString : FSettings.TimeAMString;
                    i += 4;
                } else {
                    out += c;
                    ++i;
                    marker = false;
                }
                if (marker && !hourSeen) markerFirst = true;
                afterHour = false;
                continue;
            }
            default:
                out += c;
                if (IsLetter(c)) afterHour = false;
                ++i;
                continue;
            }
            afterHour = false;
            i += run;
        }
    }

private:
    // True when an am/pm specifier follows the hour, before the next hour.
    static bool TwelveHour(const char* f, size_t from, size_t len) {
        char quote = 0;
        for (size_t j = from; j < len; ++j) {
            char c = f[j];
            if (quote) {
                if (c == quote) quote = 0;
                continue;
            }
            if (c == '"' || c == '\'') {
                quote = c;
                continue;
            }
            char u = DateUpperAZ(c);
            if (u == 'H') return false;
            if (u == 'A')
                return MatchText(f + j, len - j, "am/pm") || MatchText(f + j, len - j, "a/p") ||
                       MatchText(f + j, len - j, "ampm");
        }
        return false;
    }

    const std::string& DayName(const std::array<std::string, 7>& names) const {
        static const std::string empty;
        return FDayOfWeek >= 1 ? names[static_cast<size_t>(FDayOfWeek - 1)] : empty;
    }

    const std::string& MonthName(const std::array<std::string, 12>& names) const {
        static const std::string empty;
        return FMonth >= 1 ? names[static_cast<size_t>(FMonth - 1)] : empty;
    }

    const TFormatSettings& FSettings;
    int FYear = 0, FMonth = 0, FDay = 0, FDayOfWeek = 0;
    int FHour = 0, FMinute = 0, FSecond = 0, FMsec = 0;
};

// --- Parsing -----------------------------------------------------------------------

enum class TDateOrder { MDY, DMY, YMD };

TDateOrder DateOrder(const std::string& fmt) {
    char quote = 0;
    for (char c : fmt) {
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            continue;
        }
        switch (DateUpperAZ(c)) {
        case 'D': return TDateOrder::DMY;
        case 'M': return TDateOrder::MDY;
        case 'Y': return TDateOrder::YMD;
        default: break;
        }
    }
    return TDateOrder::MDY;
}

int CurrentYear() { return YearOf(Clock->Now()); }

// The year in [current - 50, current + 49] that ends in the two digits.
int ExpandTwoDigitYear(int yy) {
    const int current = CurrentYear();
    int year = current - current % 100 + yy;
    if (year < current - 50) year += 100;
    else if (year > current + 49) year -= 100;
    return year;
}

class TScanner {
public:
    explicit TScanner(const std::string& s) : FP(s.data()), FEnd(s.data() + s.size()) {}

    bool AtEnd() const { return FP == FEnd; }
    void SkipBlanks() {
        while (FP < FEnd && *FP == ' ') ++FP;
    }
    bool Char(char c) {
        if (FP < FEnd && *FP == c) {
            ++FP;
            return true;
        }
        return false;
    }
    // 1 to MaxDigits decimal digits; a longer run fails.
    bool Number(int& value, int& digits, int maxDigits = 4) {
        const char* start = FP;
        int v = 0;
        while (FP < FEnd && IsDigit(*FP)) {
            if (FP - start >= maxDigits) return false;
            v = v * 10 + (*FP - '0');
            ++FP;
        }
        digits = static_cast<int>(FP - start);
        value = v;
        return digits > 0;
    }
    // Case-insensitive match of a non-empty word.
    bool Word(const std::string& word) {
        if (word.empty() || !MatchText(FP, static_cast<size_t>(FEnd - FP), word.c_str())) return false;
        FP += word.size();
        return true;
    }
    bool NextIsDigitAfter(size_t offset) const {
        return FEnd - FP > static_cast<std::ptrdiff_t>(offset) && IsDigit(FP[offset]);
    }
    char Peek() const { return FP < FEnd ? *FP : '\0'; }

private:
    const char* FP;
    const char* FEnd;
};

bool ScanDate(TScanner& sc, const TFormatSettings& fs, double& out) {
    const char sep = fs.DateSeparator;
    int n1, d1, n2, d2, n3 = 0, d3 = 0;
    if (!sc.Number(n1, d1) || !sc.Char(sep) || !sc.Number(n2, d2)) return false;
    bool three = false;
    if (sc.Char(sep)) {
        if (!sc.Number(n3, d3)) return false;
        three = true;
    }
    int year, month, day, yearDigits;
    switch (DateOrder(fs.ShortDateFormat)) {
    case TDateOrder::DMY:
        day = n1;
        month = n2;
        year = n3;
        yearDigits = d3;
        break;
    case TDateOrder::YMD:
        // Two numbers are month and day here too.
        year = three ? n1 : 0;
        yearDigits = three ? d1 : 0;
        month = three ? n2 : n1;
        day = three ? n3 : n2;
        break;
    default:
        month = n1;
        day = n2;
        year = n3;
        yearDigits = d3;
        break;
    }
    if (!three) year = CurrentYear();
    else if (yearDigits <= 2) year = ExpandTwoDigitYear(year);
    return TryEncodeDate(year, month, day, out);
}

bool ScanTime(TScanner& sc, const TFormatSettings& fs, double& out) {
    int hour, minute = 0, second = 0, msec = 0, digits;
    if (!sc.Number(hour, digits, 2)) return false;
    bool haveMinutes = false;
    if (sc.Char(fs.TimeSeparator)) {
        if (!sc.Number(minute, digits, 2)) return false;
        haveMinutes = true;
        if (sc.Char(fs.TimeSeparator)) {
            if (!sc.Number(second, digits, 2)) return false;
            char p = sc.Peek();
            if ((p == '.' || p == fs.DecimalSeparator) && sc.NextIsDigitAfter(1)) {
                sc.Char(p);
                if (!sc.Number(msec, digits, 3)) return false;
                for (; digits < 3; ++digits) msec *= 10;
            }
        }
    }
    sc.SkipBlanks();
    int marker = 0;  // 1 AM, 2 PM
    if (sc.Word(fs.TimeAMString)) marker = 1;
    else if (sc.Word(fs.TimePMString)) marker = 2;
    else if (sc.Word("AM")) marker = 1;
    else if (sc.Word("PM")) marker = 2;
    if (!haveMinutes && marker == 0) return false;
    if (marker != 0) {
        if (hour < 1 || hour > 12) return false;
        hour = hour % 12 + (marker == 2 ? 12 : 0);
    }
    return TryEncodeTime(hour, minute, second, msec, out);
}

bool ParseDate(const std::string& s, double& out, const TFormatSettings& fs) {
    TScanner sc(s);
    sc.SkipBlanks();
    double d;
    if (!ScanDate(sc, fs, d)) return false;
    sc.SkipBlanks();
    if (!sc.AtEnd()) return false;
    out = d;
    return true;
}

bool ParseDateTime(const std::string& s, double& out, const TFormatSettings& fs) {
    TScanner sc(s);
    sc.SkipBlanks();
    double d, t = 0;
    if (!ScanDate(sc, fs, d)) return false;
    sc.SkipBlanks();
    if (!sc.AtEnd()) {
        if (!ScanTime(sc, fs, t)) return false;
        sc.SkipBlanks();
        if (!sc.AtEnd()) return false;
    }
    out = Compose(d, t);
    return true;
}

} // namespace

ServiceSlot<IClock> Clock(&GSystemClock);

// --- Format settings --------------------------------------------------------

TFormatSettings& FormatSettings() {
    static TFormatSettings settings = detail::LoadLocaleFormatSettings();
    return settings;
}

TFormatSettings DefaultFormatSettings() {
    TFormatSettings fs;
    fs.ShortDateFormat = "M/d/yyyy";
    fs.LongDateFormat = "dddd, MMMM d, yyyy";
    fs.ShortTimeFormat = "h:mm AMPM";
    fs.LongTimeFormat = "h:mm:ss AMPM";
    fs.DateSeparator = '/';
    fs.TimeSeparator = ':';
    fs.DecimalSeparator = '.';
    fs.ThousandSeparator = ',';
    fs.TimeAMString = "AM";
    fs.TimePMString = "PM";
    fs.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    fs.LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                         "July",    "August",   "September", "October", "November", "December"};
    fs.ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    fs.LongDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    return fs;
}

FormatSettingsOverride::FormatSettingsOverride(const TFormatSettings& settings) : FSaved(FormatSettings()) {
    FormatSettings() = settings;
}

FormatSettingsOverride::~FormatSettingsOverride() { FormatSettings() = std::move(FSaved); }

// --- The clock ------------------------------------------------------------------

double Now() { return Clock->Now(); }
double Date() { return DateOf(Clock->Now()); }
double Time() { return TimeOf(Clock->Now()); }

// --- Encoding and decoding ----------------------------------------------------------

double EncodeDate(int year, int month, int day) {
    double d;
    if (!TryEncodeDate(year, month, day, d)) RaiseDateEncode();
    return d;
}

void DecodeDate(double dt, int& year, int& month, int& day) {
    // Only the day counts: the time of day is not worked out.
    if (!(dt > static_cast<double>(MinDay - 1) && dt < static_cast<double>(MaxDay + 1))) {
        year = month = day = 0;
        return;
    }
    CivilFromDays(static_cast<int64_t>(static_cast<int>(dt)) - UnixEpochDay, year, month, day);
}

bool TryEncodeTime(int hour, int minute, int second, int msec, double& out) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        return false;
    out = MsToTime(((static_cast<int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + msec);
    return true;
}

double EncodeTime(int hour, int minute, int second, int msec) {
    double t;
    if (!TryEncodeTime(hour, minute, second, msec, t)) RaiseTimeEncode();
    return t;
}

void DecodeTime(double dt, int& hour, int& minute, int& second, int& msec) {
    TParts p = Split(dt);
    hour = p.Ms / 3600000;
    minute = p.Ms / 60000 % 60;
    second = p.Ms / 1000 % 60;
    msec = p.Ms % 1000;
}

double DateOf(double dt) { return std::trunc(dt); }

double TimeOf(double dt) { return std::fabs(dt - std::trunc(dt)); }

int YearOf(double dt) {
    int y, m, d;
    DecodeDate(dt, y, m, d);
    return y;
}

// --- Arithmetic ----------------------------------------------------------------------

double IncDay(double dt, int days) { return Compose(std::trunc(dt) + days, TimeOf(dt)); }

double IncWeek(double dt, int weeks) { return IncDay(dt, weeks * 7); }

double IncMonth(double dt, int months) {
    int y, m, d;
    DecodeDate(dt, y, m, d);
    if (y == 0) RaiseDateEncode();
    int64_t total = static_cast<int64_t>(y) * 12 + (m - 1) + months;
    int64_t ny = total >= 0 ? total / 12 : (total - 11) / 12;
    int nm = static_cast<int>(total - ny * 12) + 1;
    if (ny < 1 || ny > 9999) RaiseDateEncode();
    int dim = DaysInMonth(static_cast<int>(ny), nm);
    return Compose(EncodeDate(static_cast<int>(ny), nm, d > dim ? dim : d), TimeOf(dt));
}

int DayOfWeek(double dt) {
    TParts p = Split(dt);
    return p.Valid ? static_cast<int>(Mod7(p.Day + 6)) + 1 : 0;
}

int DayOfTheWeek(double dt) {
    TParts p = Split(dt);
    return p.Valid ? static_cast<int>(Mod7(p.Day + 5)) + 1 : 0;
}

double StartOfTheWeek(double dt) { return std::trunc(dt) - (DayOfTheWeek(dt) - 1); }

double EndOfTheWeek(double dt) { return Compose(StartOfTheWeek(dt) + 6, MsToTime(MsPerDay - 1)); }

double StartOfTheMonth(double dt) {
    int y, m, d;
    DecodeDate(dt, y, m, d);
    return EncodeDate(y, m, 1);
}

double EndOfTheMonth(double dt) {
    int y, m, d;
    DecodeDate(dt, y, m, d);
    return Compose(EncodeDate(y, m, DaysInMonth(y, m)), MsToTime(MsPerDay - 1));
}

double StartOfTheYear(double dt) { return EncodeDate(YearOf(dt), 1, 1); }

double EndOfTheYear(double dt) { return Compose(EncodeDate(YearOf(dt), 12, 31), MsToTime(MsPerDay - 1)); }

double RecodeSecond(double dt, int second) {
    if (second < 0 || second > 59) RaiseTimeEncode();
    TParts p = Split(dt);
    int ms = p.Ms - (p.Ms / 1000 % 60) * 1000 + second * 1000;
    return Compose(std::trunc(dt), MsToTime(ms));
}

double RecodeMilliSecond(double dt, int msec) {
    if (msec < 0 || msec > 999) RaiseTimeEncode();
    TParts p = Split(dt);
    return Compose(std::trunc(dt), MsToTime(p.Ms - p.Ms % 1000 + msec));
}

bool IsSameDay(double a, double b) { return std::trunc(a) == std::trunc(b); }

int CompareDate(double a, double b) {
    double x = std::trunc(a), y = std::trunc(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

// --- Formatting ------------------------------------------------------------------------

std::string FormatDateTime(const std::string& fmt, double dt, const TFormatSettings& settings) {
    std::string out;
    out.reserve(fmt.size() + 16);
    TDateFormatter formatter(dt, settings);
    static const std::string defaultFormat = "c";
    formatter.Append(out, fmt.empty() ? defaultFormat : fmt, 0);
    return out;
}

std::string FormatDateTime(const std::string& fmt, double dt) { return FormatDateTime(fmt, dt, FormatSettings()); }

std::string DateToStr(double dt) {
    static const std::string fmt = "ddddd";
    return FormatDateTime(fmt, dt);
}

std::string TimeToStr(double dt) {
    static const std::string fmt = "tt";
    return FormatDateTime(fmt, dt);
}

std::string DateTimeToStr(double dt) {
    static const std::string fmt = "c";
    return FormatDateTime(fmt, dt);
}

// --- Parsing ----------------------------------------------------------------------------

bool TryStrToDate(const std::string& s, double& out, const TFormatSettings& settings) {
    return ParseDate(s, out, settings);
}

bool TryStrToDate(const std::string& s, double& out) { return ParseDate(s, out, FormatSettings()); }

double StrToDate(const std::string& s, const TFormatSettings& settings) {
    double d;
    if (!ParseDate(s, d, settings)) throw EConvertError(Format(msg::InvalidDate, {s}));
    return d;
}

double StrToDate(const std::string& s) { return StrToDate(s, FormatSettings()); }

bool TryStrToDateTime(const std::string& s, double& out, const TFormatSettings& settings) {
    return ParseDateTime(s, out, settings);
}

bool TryStrToDateTime(const std::string& s, double& out) { return ParseDateTime(s, out, FormatSettings()); }

double StrToDateTime(const std::string& s, const TFormatSettings& settings) {
    double d;
    if (!ParseDateTime(s, d, settings)) throw EConvertError(Format(msg::InvalidDateTime, {s}));
    return d;
}

double StrToDateTime(const std::string& s) { return StrToDateTime(s, FormatSettings()); }

bool TryReadDatePrefix(const std::string& text, double& out, const TFormatSettings& settings) {
    TScanner sc(text);
    sc.SkipBlanks();
    double d;
    if (!ScanDate(sc, settings, d)) return false;
    out = d;
    return true;
}

bool TryReadDatePrefix(const std::string& text, double& out) {
    return TryReadDatePrefix(text, out, FormatSettings());
}

} // namespace gcl
