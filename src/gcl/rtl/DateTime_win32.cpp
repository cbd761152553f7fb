// Windows clock and format settings: GetLocalTime and the user's locale.
#include "gcl/rtl/DateTime.h"

#include "gcl/rtl/WinApi.h"

namespace gcl::detail {

double SystemNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    double date = 0, time = 0;
    TryEncodeDate(st.wYear, st.wMonth, st.wDay, date);
    TryEncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, time);
    return date + time;
}

namespace {

bool LocaleText(LCTYPE type, std::string& out) {
    char buf[256];
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof buf);
    if (n <= 1) return false;
    out.assign(buf, static_cast<size_t>(n - 1));
    return true;
}

void LocaleChar(LCTYPE type, char& out) {
    std::string s;
    if (LocaleText(type, s)) out = s[0];
}

// Windows time patterns use H for the 24-hour clock and t/tt for the
// AM/PM marker; here h is 24-hour unless an AM/PM specifier follows, and
// the marker is "AMPM" (TimeAMString / TimePMString).
std::string ConvertTimeFormat(const std::string& fmt) {
    std::string out;
    for (size_t i = 0; i < fmt.size();) {
        char c = fmt[i];
        if (c == '\'') {
            size_t j = fmt.find('\'', i + 1);
            size_t end = j == std::string::npos ? fmt.size() : j + 1;
            out.append(fmt, i, end - i);
            i = end;
        } else if (c == 't') {
            while (i < fmt.size() && fmt[i] == 't') ++i;
            out += "AMPM";
        } else {
            out += c == 'H' ? 'h' : c;
            ++i;
        }
    }
    return out;
}

// The long time pattern without its seconds field and the separator before it.
std::string WithoutSeconds(const std::string& fmt) {
    size_t s = std::string::npos;
    bool quoted = false;
    for (size_t i = 0; i < fmt.size(); ++i) {
        if (fmt[i] == '\'') quoted = !quoted;
        else if (!quoted && (fmt[i] == 's' || fmt[i] == 'S')) {
            s = i;
            break;
        }
    }
    if (s == std::string::npos) return fmt;
    size_t end = s;
    while (end < fmt.size() && (fmt[end] == 's' || fmt[end] == 'S')) ++end;
    size_t begin = s;
    while (begin > 0 && fmt[begin - 1] != 'm' && fmt[begin - 1] != 'M' && fmt[begin - 1] != 'n' &&
           fmt[begin - 1] != 'N' && fmt[begin - 1] != ' ')
        --begin;
    return fmt.substr(0, begin) + fmt.substr(end);
}

} // namespace

TFormatSettings LoadLocaleFormatSettings() {
    TFormatSettings fs = DefaultFormatSettings();
    LocaleText(LOCALE_SSHORTDATE, fs.ShortDateFormat);
    LocaleText(LOCALE_SLONGDATE, fs.LongDateFormat);
    std::string timeFormat;
    if (LocaleText(LOCALE_STIMEFORMAT, timeFormat)) fs.LongTimeFormat = ConvertTimeFormat(timeFormat);
    const LCTYPE shortTime = 0x79;  // LOCALE_SSHORTTIME, Windows 7 and later
    if (LocaleText(shortTime, timeFormat)) fs.ShortTimeFormat = ConvertTimeFormat(timeFormat);
    else fs.ShortTimeFormat = WithoutSeconds(fs.LongTimeFormat);
    LocaleChar(LOCALE_SDATE, fs.DateSeparator);
    LocaleChar(LOCALE_STIME, fs.TimeSeparator);
    LocaleChar(LOCALE_SDECIMAL, fs.DecimalSeparator);
    LocaleChar(LOCALE_STHOUSAND, fs.ThousandSeparator);
    LocaleText(LOCALE_S1159, fs.TimeAMString);
    LocaleText(LOCALE_S2359, fs.TimePMString);
    for (int i = 0; i < 12; ++i) {
        LocaleText(LOCALE_SABBREVMONTHNAME1 + i, fs.ShortMonthNames[static_cast<size_t>(i)]);
        LocaleText(LOCALE_SMONTHNAME1 + i, fs.LongMonthNames[static_cast<size_t>(i)]);
    }
    // Windows counts days from Monday (DAYNAME1) to Sunday (DAYNAME7).
    for (int i = 0; i < 7; ++i) {
        size_t index = static_cast<size_t>((i + 1) % 7);
        LocaleText(LOCALE_SABBREVDAYNAME1 + i, fs.ShortDayNames[index]);
        LocaleText(LOCALE_SDAYNAME1 + i, fs.LongDayNames[index]);
    }
    return fs;
}

} // namespace gcl::detail
