#include "gcl/rtl/Strings.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <string_view>

#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Exceptions.h"

namespace gcl {

namespace {

inline unsigned char U(char c) { return static_cast<unsigned char>(c); }
inline char UpperAZ(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline char LowerAZ(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

[[noreturn]] void RaiseFormatError(const char* fmt) {
    throw EConvertError(Format(msg::InvalidFormat, {fmt}));
}

} // namespace

// --- 1-based helpers -----------------------------------------------------

int Pos(const std::string& sub, const std::string& s) {
    if (sub.empty()) return 0;
    size_t p = s.find(sub);
    return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

int PosEx(const std::string& sub, const std::string& s, int offset) {
    if (sub.empty() || offset < 1 || offset > Length(s)) return 0;
    size_t p = s.find(sub, static_cast<size_t>(offset - 1));
    return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

std::string Copy(const std::string& s, int index, int count) {
    if (count <= 0) return std::string();
    if (index < 1) index = 1;
    if (index > Length(s)) return std::string();
    return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

void Delete(std::string& s, int index, int count) {
    if (index < 1 || index > Length(s) || count <= 0) return;
    s.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

void Insert(const std::string& sub, std::string& s, int index) {
    if (sub.empty()) return;
    if (index < 1) index = 1;
    if (index > Length(s) + 1) index = Length(s) + 1;
    s.insert(static_cast<size_t>(index - 1), sub);
}

int Length(const std::string& s) { return static_cast<int>(s.size()); }

// --- Trimming, case and comparison ----------------------------------------

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && U(s[b]) <= 0x20) ++b;
    while (e > b && U(s[e - 1]) <= 0x20) --e;
    return s.substr(b, e - b);
}

std::string TrimLeft(const std::string& s) {
    size_t b = 0;
    while (b < s.size() && U(s[b]) <= 0x20) ++b;
    return s.substr(b);
}

std::string TrimRight(const std::string& s) {
    size_t e = s.size();
    while (e > 0 && U(s[e - 1]) <= 0x20) --e;
    return s.substr(0, e);
}

std::string LowerCase(const std::string& s) {
    std::string r(s);
    for (char& c : r) c = LowerAZ(c);
    return r;
}

std::string UpperCase(const std::string& s) {
    std::string r(s);
    for (char& c : r) c = UpperAZ(c);
    return r;
}

int CompareText(std::string_view a, std::string_view b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        int d = static_cast<int>(U(UpperAZ(a[i]))) - static_cast<int>(U(UpperAZ(b[i])));
        if (d != 0) return d;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

int CompareStr(const std::string& a, const std::string& b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        int d = static_cast<int>(U(a[i])) - static_cast<int>(U(b[i]));
        if (d != 0) return d;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool AnsiSameText(const std::string& a, const std::string& b) { return AnsiCompareText(a, b) == 0; }

// --- StringReplace ---------------------------------------------------------

std::string StringReplace(const std::string& s, const std::string& oldPattern,
                          const std::string& newPattern, TReplaceFlags flags) {
    if (oldPattern.empty() || s.empty()) return s;
    const bool all = flags.Contains(TReplaceFlag::rfReplaceAll);
    std::string upperText, upperPattern;
    std::string_view text(s), pattern(oldPattern);
    if (flags.Contains(TReplaceFlag::rfIgnoreCase)) {
        upperText = AnsiUpperCase(s);
        upperPattern = AnsiUpperCase(oldPattern);
        text = upperText;
        pattern = upperPattern;
    }
    std::string result;
    size_t from = 0;
    while (true) {
        size_t found = text.find(pattern, from);
        if (found == std::string_view::npos) break;
        result.append(s, from, found - from);
        result += newPattern;
        from = found + pattern.size();
        if (!all) break;
    }
    if (from == 0) return s;
    result.append(s, from, std::string::npos);
    return result;
}

// --- Integers --------------------------------------------------------------

std::string IntToStr(int64_t value) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

bool TryStrToInt(const std::string& s, int& out) {
    size_t i = 0, n = s.size();
    while (i < n && s[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    if (i >= n) return false;
    uint64_t value = 0;
    if (s[i] == '$' || (s[i] == '0' && i + 1 < n && (s[i + 1] == 'x' || s[i + 1] == 'X'))) {
        i += s[i] == '$' ? 1 : 2;
        if (i >= n) return false;
        for (; i < n; ++i) {
            char c = s[i];
            unsigned d;
            if (c >= '0' && c <= '9') d = static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f') d = static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') d = static_cast<unsigned>(c - 'A' + 10);
            else return false;
            value = value * 16 + d;
            if (value > 0xFFFFFFFFull) return false;
        }
        uint32_t bits = static_cast<uint32_t>(value);
        if (negative) bits = 0u - bits;
        int32_t result;
        std::memcpy(&result, &bits, sizeof result);
        out = result;
        return true;
    }
    for (; i < n; ++i) {
        char c = s[i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > 2147483648ull) return false;
    }
    if (!negative && value > 2147483647ull) return false;
    out = negative ? static_cast<int>(-static_cast<int64_t>(value)) : static_cast<int>(value);
    return true;
}

int StrToInt(const std::string& s) {
    int v;
    if (!TryStrToInt(s, v)) throw EConvertError(Format(msg::InvalidInteger, {s}));
    return v;
}

int StrToIntDef(const std::string& s, int def) {
    int v;
    return TryStrToInt(s, v) ? v : def;
}

int StrToLeadingInt(std::string_view s) {
    size_t i = 0, n = s.size();
    while (i < n && U(s[i]) <= 0x20) ++i;
    bool negative = false;
    if (i < n && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    int64_t value = 0;
    for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (value <= INT_MAX) value = value * 10 + (s[i] - '0');
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

namespace detail {
std::string HexDigits(uint64_t bits, int digits) {
    static const char hex[] = "0123456789ABCDEF";
    char buf[16];
    int n = 0;
    do {
        buf[n++] = hex[bits & 15];
        bits >>= 4;
    } while (bits != 0);
    std::string r;
    if (digits > n) r.assign(static_cast<size_t>(digits - n), '0');
    while (n > 0) r += buf[--n];
    return r;
}
} // namespace detail

std::string IntToHex(int64_t value, int digits) {
    return detail::HexDigits(static_cast<uint64_t>(value), digits);
}

// --- Floating point ------------------------------------------------------------

namespace {

// A finite, non-negative double as decimal digits: value = 0.D1D2... x 10^(Exp+1),
// i.e. Exp is the exponent of the scientific form D1.D2... x 10^Exp.
struct TDecimal {
    char Digits[32];
    int Count = 0;
    int Exp = 0;
};

// Precision <= 0 asks for the shortest digits that read back.
TDecimal ToDecimal(double value, int precision) {
    TDecimal d;
    char buf[64];
    std::to_chars_result r = precision > 0
        ? std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, precision - 1)
        : std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const char* p = buf;
    const char* end = r.ptr;
    for (; p < end && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9' && d.Count < 31) d.Digits[d.Count++] = *p;
    }
    if (p < end) std::from_chars(p + (p[1] == '+' ? 2 : 1), end, d.Exp);
    while (d.Count > 1 && d.Digits[d.Count - 1] == '0') --d.Count;
    return d;
}

bool SpecialValue(double value, std::string& out) {
    if (std::isnan(value)) out = "NAN";
    else if (std::isinf(value)) out = value < 0 ? "-INF" : "INF";
    else return false;
    return true;
}

std::string GeneralText(double value, int precision, char decimalSeparator) {
    std::string out;
    if (SpecialValue(value, out)) return out;
    if (value == 0) return "0";
    if (precision < 1) precision = 1;
    if (precision > 17) precision = 17;
    double mag = std::fabs(value);
    TDecimal d = ToDecimal(mag, 0);
    if (d.Count > precision) d = ToDecimal(mag, precision);
    if (value < 0) out += '-';
    if (d.Exp >= precision || d.Exp < -4) {
        out += d.Digits[0];
        if (d.Count > 1) {
            out += decimalSeparator;
            out.append(d.Digits + 1, static_cast<size_t>(d.Count - 1));
        }
        out += 'E';
        out += IntToStr(d.Exp);
    } else if (d.Exp < 0) {
        out += '0';
        out += decimalSeparator;
        out.append(static_cast<size_t>(-d.Exp - 1), '0');
        out.append(d.Digits, static_cast<size_t>(d.Count));
    } else {
        int intDigits = d.Exp + 1;
        for (int i = 0; i < intDigits; ++i) out += i < d.Count ? d.Digits[i] : '0';
        if (d.Count > intDigits) {
            out += decimalSeparator;
            out.append(d.Digits + intDigits, static_cast<size_t>(d.Count - intDigits));
        }
    }
    return out;
}

std::string FixedText(double value, int precision, int decimals, char decimalSeparator) {
    std::string out;
    if (SpecialValue(value, out)) return out;
    if (precision < 1) precision = 1;
    if (precision > 17) precision = 17;
    if (decimals < 0) decimals = 0;
    if (decimals > 18) decimals = 18;
    double mag = std::fabs(value);
    // Digits of the rounded value, most significant first; Point = number of
    // them before the decimal point (may be <= 0).
    std::string digits;
    int point = 1;
    if (mag != 0) {
        TDecimal d = ToDecimal(mag, precision);
        if (d.Exp >= precision) return GeneralText(value, precision, decimalSeparator);
        digits.assign(d.Digits, static_cast<size_t>(d.Count));
        point = d.Exp + 1;
        // Round to the requested decimals, halves away from zero.
        int keep = point + decimals;
        if (keep < 0) {
            digits.clear();
        } else if (keep < static_cast<int>(digits.size())) {
            bool up = digits[static_cast<size_t>(keep)] >= '5';
            digits.resize(static_cast<size_t>(keep));
            if (up) {
                int i = keep - 1;
                for (; i >= 0; --i) {
                    if (digits[static_cast<size_t>(i)] == '9') {
                        digits[static_cast<size_t>(i)] = '0';
                    } else {
                        ++digits[static_cast<size_t>(i)];
                        break;
                    }
                }
                if (i < 0) {
                    digits.insert(digits.begin(), '1');
                    ++point;
                }
            }
        }
        if (digits.find_first_not_of('0') == std::string::npos) digits.clear();
    }
    if (digits.empty()) point = 1;
    auto digitAt = [&](int i) { return (i >= 0 && i < static_cast<int>(digits.size())) ? digits[static_cast<size_t>(i)] : '0'; };
    if (value < 0 && !digits.empty()) out += '-';
    if (point <= 0) {
        out += '0';
    } else {
        for (int i = 0; i < point; ++i) out += digitAt(i);
    }
    if (decimals > 0) {
        out += decimalSeparator;
        for (int i = 0; i < decimals; ++i) out += digitAt(point + i);
    }
    return out;
}

} // namespace

std::string FloatToStr(double value) {
    return GeneralText(value, 15, FormatSettings().DecimalSeparator);
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
    char sep = FormatSettings().DecimalSeparator;
    if (format == TFloatFormat::ffFixed) return FixedText(value, precision, digits, sep);
    return GeneralText(value, precision, sep);
}

bool TryStrToFloat(const std::string& s, double& out) {
    const char sep = FormatSettings().DecimalSeparator;
    size_t i = 0, n = s.size();
    while (i < n && s[i] == ' ') ++i;
    while (n > i && s[n - 1] == ' ') --n;
    // Rebuild the number in the form from_chars reads: [-]digits[.digits][e[-]digits].
    std::string text;
    if (i < n && (s[i] == '-' || s[i] == '+')) {
        if (s[i] == '-') text += '-';
        ++i;
    }
    size_t digitCount = 0;
    for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i, ++digitCount) text += s[i];
    if (i < n && s[i] == sep) {
        text += '.';
        for (++i; i < n && s[i] >= '0' && s[i] <= '9'; ++i, ++digitCount) text += s[i];
    }
    if (digitCount == 0) return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        text += 'e';
        ++i;
        if (i < n && (s[i] == '-' || s[i] == '+')) {
            if (s[i] == '-') text += '-';
            ++i;
        }
        size_t expDigits = 0;
        for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i, ++expDigits) text += s[i];
        if (expDigits == 0) return false;
    }
    if (i != n) return false;
    double v = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v)) return false;
    out = v;
    return true;
}

double StrToFloat(const std::string& s) {
    double v;
    if (!TryStrToFloat(s, v)) throw EConvertError(Format(msg::InvalidFloat, {s}));
    return v;
}

std::string BoolToStr(bool value) { return value ? "-1" : "0"; }

// --- Format ------------------------------------------------------------------

TFormatArg::TFormatArg(const char* s) noexcept : FKind(Kind::String) {
    FStr = s ? s : "";
    FLength = std::strlen(FStr);
}

uint64_t TFormatArg::AsBits() const noexcept {
    switch (FKind) {
    case Kind::Int: return FBits == 32 ? static_cast<uint32_t>(FInt) : static_cast<uint64_t>(FInt);
    case Kind::UInt: return FUInt;
    case Kind::Pointer: return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(FPtr));
    default: return 0;
    }
}

namespace {

bool IsIntegral(const TFormatArg& a) {
    return a.GetKind() == TFormatArg::Kind::Int || a.GetKind() == TFormatArg::Kind::UInt ||
           a.GetKind() == TFormatArg::Kind::Pointer;
}

std::string LowerHex(uint64_t bits, int digits) {
    std::string r = detail::HexDigits(bits, digits);
    for (char& c : r) c = LowerAZ(c);
    return r;
}

// Pads to the minimum digit count; a leading '-' stays in front.
std::string PadDigits(std::string digits, int precision, bool negative) {
    if (precision > static_cast<int>(digits.size()))
        digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
    if (negative) digits.insert(0, 1, '-');
    return digits;
}

} // namespace

std::string Format(const char* fmt, std::initializer_list<TFormatArg> args) {
    if (!fmt) return std::string();
    std::string out;
    const TFormatArg* next = args.begin();
    const TFormatArg* end = args.end();
    auto takeArg = [&]() -> const TFormatArg& {
        if (next == end) RaiseFormatError(fmt);
        return *next++;
    };
    // Reads digits or "*" (from the next argument); -1 when neither is there.
    auto readNumber = [&](const char*& p) -> int {
        if (*p == '*') {
            ++p;
            const TFormatArg& a = takeArg();
            if (a.GetKind() != TFormatArg::Kind::Int && a.GetKind() != TFormatArg::Kind::UInt) RaiseFormatError(fmt);
            int64_t v = a.GetKind() == TFormatArg::Kind::Int ? a.AsInt() : static_cast<int64_t>(a.AsUInt() & 0x7FFFFFFF);
            return v < 0 ? 0 : static_cast<int>(v > 100000 ? 100000 : v);
        }
        if (*p < '0' || *p > '9') return -1;
        int v = 0;
        for (; *p >= '0' && *p <= '9'; ++p) {
            v = v * 10 + (*p - '0');
            if (v > 100000) RaiseFormatError(fmt);
        }
        return v;
    };
    for (const char* p = fmt; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        ++p;
        if (*p == '%') {
            out += '%';
            continue;
        }
        bool left = false;
        if (*p == '-') {
            left = true;
            ++p;
        }
        int width = readNumber(p);
        int precision = -1;
        if (*p == '.') {
            ++p;
            precision = readNumber(p);
            if (precision < 0) precision = 0;
        }
        char type = *p;
        if (type == '\0') RaiseFormatError(fmt);
        const TFormatArg& a = takeArg();
        std::string piece;
        switch (type) {
        case 'd': case 'D':
            if (a.GetKind() == TFormatArg::Kind::Int) {
                int64_t v = a.AsInt();
                uint64_t mag = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
                char buf[24];
                auto r = std::to_chars(buf, buf + sizeof buf, mag);
                piece = PadDigits(std::string(buf, r.ptr), precision, v < 0);
                break;
            }
            [[fallthrough]];
        case 'u': case 'U': {
            if (!IsIntegral(a)) RaiseFormatError(fmt);
            char buf[24];
            auto r = std::to_chars(buf, buf + sizeof buf, a.AsBits());
            piece = PadDigits(std::string(buf, r.ptr), precision, false);
            break;
        }
        case 'x':
            if (!IsIntegral(a)) RaiseFormatError(fmt);
            piece = LowerHex(a.AsBits(), precision);
            break;
        case 'X':
            if (!IsIntegral(a)) RaiseFormatError(fmt);
            piece = detail::HexDigits(a.AsBits(), precision);
            break;
        case 'p': case 'P':
            if (!IsIntegral(a)) RaiseFormatError(fmt);
            piece = detail::HexDigits(a.AsBits(), a.GetKind() == TFormatArg::Kind::Pointer
                                                      ? static_cast<int>(2 * sizeof(void*))
                                                      : 8);
            break;
        case 's': case 'S':
            if (a.GetKind() != TFormatArg::Kind::String) RaiseFormatError(fmt);
            piece.assign(a.StrData(), precision >= 0 && static_cast<size_t>(precision) < a.StrLength()
                                          ? static_cast<size_t>(precision)
                                          : a.StrLength());
            break;
        case 'f': case 'F':
            if (a.GetKind() != TFormatArg::Kind::Float) RaiseFormatError(fmt);
            piece = FixedText(a.AsFloat(), 15, precision < 0 ? 2 : precision, FormatSettings().DecimalSeparator);
            break;
        default:
            RaiseFormatError(fmt);
        }
        if (width > static_cast<int>(piece.size())) {
            size_t pad = static_cast<size_t>(width) - piece.size();
            if (left) piece.append(pad, ' ');
            else piece.insert(0, pad, ' ');
        }
        out += piece;
    }
    return out;
}

std::string Format(const std::string& fmt, std::initializer_list<TFormatArg> args) {
    return Format(fmt.c_str(), args);
}

// --- Captions, hints, multi-byte stepping ----------------------------------------

bool IsAccel(char c, const std::string& caption) {
    const int n = Length(caption);
    int i = 1;
    while (i <= n) {
        if (caption[static_cast<size_t>(i - 1)] == '&') {
            if (i == n) return false;
            char next = caption[static_cast<size_t>(i)];
            if (next != '&') return AnsiUpperCase(std::string(1, c)) == AnsiUpperCase(std::string(1, next));
            i += 2;
            continue;
        }
        i = NextCharIndex(caption, i);
    }
    return false;
}

std::string GetShortHint(const std::string& hint) {
    size_t p = hint.find('|');
    return p == std::string::npos ? hint : hint.substr(0, p);
}

std::string GetLongHint(const std::string& hint) {
    size_t p = hint.find('|');
    return p == std::string::npos ? hint : hint.substr(p + 1);
}

int NextCharIndex(const std::string& s, int index) {
    if (index >= 1 && index < Length(s) && IsLeadByte(s[static_cast<size_t>(index - 1)])) return index + 2;
    return index + 1;
}

// --- UTF-8 -----------------------------------------------------------------------

std::string Utf8Encode(const std::wstring& ws) {
    std::string out;
    out.reserve(ws.size());
    const size_t n = ws.size();
    for (size_t i = 0; i < n; ++i) {
        uint32_t c = static_cast<uint32_t>(ws[i]);
        if (c >= 0xD800 && c <= 0xDBFF) {
            uint32_t low = i + 1 < n ? static_cast<uint32_t>(ws[i + 1]) : 0;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            } else {
                c = 0xFFFD;
            }
        } else if ((c >= 0xDC00 && c <= 0xDFFF) || c > 0x10FFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring Utf8Decode(const std::string& s) {
    std::wstring out;
    out.reserve(s.size());
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        unsigned char b = U(s[i]);
        if (b < 0x80) {
            out += static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        // Length of the sequence and the allowed range of its second byte
        // (this excludes overlong forms, surrogates and values past U+10FFFF).
        int len;
        unsigned char lo = 0x80, hi = 0xBF;
        uint32_t c;
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            c = b & 0x0F;
            if (b == 0xE0) lo = 0xA0;
            if (b == 0xED) hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            c = b & 0x07;
            if (b == 0xF0) lo = 0x90;
            if (b == 0xF4) hi = 0x8F;
        } else {
            out += static_cast<wchar_t>(0xFFFD);
            ++i;
            continue;
        }
        size_t j = i + 1;
        bool ok = true;
        for (int k = 1; k < len; ++k, ++j) {
            if (j >= n) {
                ok = false;
                break;
            }
            unsigned char t = U(s[j]);
            unsigned char tlo = k == 1 ? lo : 0x80, thi = k == 1 ? hi : 0xBF;
            if (t < tlo || t > thi) {
                ok = false;
                break;
            }
            c = (c << 6) | (t & 0x3F);
        }
        if (!ok) {
            // The maximal valid prefix is replaced by one U+FFFD; the byte
            // that broke it starts the next sequence.
            out += static_cast<wchar_t>(0xFFFD);
            i = j;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (c >> 10));
            out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
        i = j;
    }
    return out;
}

} // namespace gcl
