// 8-bit strings (std::string holds bytes in the system code page), number
// conversions, Format, hints and accelerators, and wide text (std::wstring
// holds UTF-16 code units, one unit per element on every platform).
//
// Positions taken or returned by Pos, PosEx, Copy, Delete, Insert and
// NextCharIndex are 1-based; Pos returns 0 for "not found".
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace gcl {

namespace msg {
inline constexpr const char* InvalidFloat = "'%s' is not a valid floating point value";
inline constexpr const char* InvalidFormat = "Format '%s' invalid or incompatible with argument";
inline constexpr const char* UnsupportedCodePage = "Code page %u is not supported";
} // namespace msg

// --- 1-based helpers -----------------------------------------------------

// Position of the first occurrence of Sub in S, 0 when absent or Sub is empty.
int Pos(const std::string& sub, const std::string& s);
// As Pos, starting the search at Offset; 0 when Offset is outside 1..Length(S).
int PosEx(const std::string& sub, const std::string& s, int offset = 1);
// Count bytes from Index. Index below 1 counts from 1, a Count running past
// the end stops there, Index past the end or Count <= 0 gives "".
std::string Copy(const std::string& s, int index, int count);
// Removes Count bytes from Index; nothing when Index is outside 1..Length(S)
// or Count <= 0.
void Delete(std::string& s, int index, int count);
// Inserts Sub before Index; Index below 1 inserts at the front, past the end
// appends.
void Insert(const std::string& sub, std::string& s, int index);
int Length(const std::string& s);

// --- Trimming, case and comparison ----------------------------------------

// Strip every byte <= 0x20 (blanks and control characters).
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);

// A-Z / a-z only; other bytes are left alone.
std::string LowerCase(const std::string& s);
std::string UpperCase(const std::string& s);
// Byte comparisons with A-Z folded: < 0, 0 or > 0 (views, so texts of
// other string types compare without a copy).
int CompareText(std::string_view a, std::string_view b);
bool SameText(const std::string& a, const std::string& b);
// Exact byte comparison: < 0, 0 or > 0.
int CompareStr(const std::string& a, const std::string& b);

// Locale rules: the user's code page and collation on Windows
// (CharUpperBuffA, CompareStringA); natively code page 1252 with a collation
// table that orders like Windows' for that code page.
std::string AnsiUpperCase(const std::string& s);
std::string AnsiLowerCase(const std::string& s);
int AnsiCompareText(const std::string& a, const std::string& b);
bool AnsiSameText(const std::string& a, const std::string& b);
int AnsiCompareStr(const std::string& a, const std::string& b);

// --- StringReplace ---------------------------------------------------------

enum class TReplaceFlag { rfReplaceAll, rfIgnoreCase };

// A small set of TReplaceFlag values: TReplaceFlags{}, a single flag, or
// {TReplaceFlag::rfReplaceAll, TReplaceFlag::rfIgnoreCase}.
class TReplaceFlags {
public:
    constexpr TReplaceFlags() noexcept = default;
    constexpr TReplaceFlags(TReplaceFlag flag) noexcept : FBits(Bit(flag)) {}
    constexpr TReplaceFlags(std::initializer_list<TReplaceFlag> flags) noexcept {
        for (TReplaceFlag f : flags) FBits |= Bit(f);
    }
    constexpr bool Contains(TReplaceFlag flag) const noexcept { return (FBits & Bit(flag)) != 0; }
    constexpr void Include(TReplaceFlag flag) noexcept { FBits |= Bit(flag); }
    constexpr void Exclude(TReplaceFlag flag) noexcept { FBits &= ~Bit(flag); }
    constexpr bool operator==(const TReplaceFlags&) const noexcept = default;

private:
    static constexpr unsigned Bit(TReplaceFlag f) noexcept { return 1u << static_cast<unsigned>(f); }
    unsigned FBits = 0;
};

// Replaces the first (or with rfReplaceAll every) occurrence of OldPattern.
// rfIgnoreCase matches with the locale's upper-case mapping (AnsiUpperCase).
// An empty OldPattern changes nothing.
std::string StringReplace(const std::string& s, const std::string& oldPattern,
                          const std::string& newPattern, TReplaceFlags flags = TReplaceFlags());

// --- Integers --------------------------------------------------------------

std::string IntToStr(int64_t value);
// Reads a whole text as a 32-bit integer: optional leading spaces, an
// optional sign, then decimal digits, or "$"/"0x" and hexadecimal digits
// (hexadecimal values up to FFFFFFFF wrap into the negative range, so
// "$FFFFFFFF" is -1). Nothing may follow. StrToInt raises EConvertError
// (msg::InvalidInteger) where TryStrToInt returns false.
int StrToInt(const std::string& s);
int StrToIntDef(const std::string& s, int def);
bool TryStrToInt(const std::string& s, int& out);
// Reads the leading integer of a text: blanks are skipped, then an optional
// sign and the decimal digits that follow. No digits gives 0; values beyond
// the int range saturate. Anything after the digits is ignored.
int StrToLeadingInt(std::string_view s);

// Upper-case hexadecimal, at least Digits digits. Negative values are shown
// in two's complement of the argument's own width: IntToHex(-1, 2) with an
// int argument gives "FFFFFFFF", with an int64_t argument 16 digits.
std::string IntToHex(int64_t value, int digits);
namespace detail {
std::string HexDigits(uint64_t bits, int digits);
}
template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, int> = 0>
std::string IntToHex(T value, int digits) {
    return detail::HexDigits(static_cast<uint64_t>(static_cast<std::make_unsigned_t<T>>(value)), digits);
}

// --- Format ------------------------------------------------------------------

// One argument of Format. Converts implicitly from the integer and
// enumeration types, char (a one-character string), double, C strings,
// std::string and pointers.
// String arguments are referenced, not copied: a TFormatArg lives only as
// long as the call it is passed to.
class TFormatArg {
public:
    enum class Kind { Int, UInt, Float, String, Pointer };

    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> &&
                                            !std::is_same_v<T, char> && !std::is_same_v<T, wchar_t>,
                                        int> = 0>
    TFormatArg(T value) noexcept : FBits(sizeof(T) <= 4 ? 32 : 64) {
        if constexpr (std::is_signed_v<T>) {
            FKind = Kind::Int;
            FInt = value;
        } else {
            FKind = Kind::UInt;
            FUInt = value;
        }
    }
    template <class T, std::enable_if_t<std::is_enum_v<T>, int> = 0>
    TFormatArg(T value) noexcept : TFormatArg(static_cast<std::underlying_type_t<T>>(value)) {}
    TFormatArg(char c) noexcept : FKind(Kind::String), FChar(c), FLength(1) {}
    TFormatArg(double value) noexcept : FKind(Kind::Float), FFloat(value) {}
    TFormatArg(const char* s) noexcept;
    TFormatArg(const std::string& s) noexcept : FKind(Kind::String), FStr(s.data()), FLength(s.size()) {}
    TFormatArg(const void* p) noexcept : FKind(Kind::Pointer), FPtr(p) {}
    TFormatArg(bool) = delete;

    Kind GetKind() const noexcept { return FKind; }
    int64_t AsInt() const noexcept { return FInt; }
    uint64_t AsUInt() const noexcept { return FUInt; }
    double AsFloat() const noexcept { return FFloat; }
    const void* AsPointer() const noexcept { return FPtr; }
    // The argument's integer bits in two's complement of its own width.
    uint64_t AsBits() const noexcept;
    // Text of a string argument.
    const char* StrData() const noexcept { return FStr ? FStr : &FChar; }
    size_t StrLength() const noexcept { return FLength; }

private:
    Kind FKind;
    union {
        int64_t FInt;
        uint64_t FUInt;
        double FFloat;
        const void* FPtr;
        const char* FStr = nullptr;
    };
    char FChar = 0;
    unsigned char FBits = 64;
    size_t FLength = 0;
};

// printf-style formatting of the library's own texts:
//   %[-][width][.precision]type, width and precision may be "*" (taken from
//   the next integer argument);
//   d  signed decimal, precision = minimum digits (zero padded);
//   u  unsigned decimal (negative arguments in two's complement of their width);
//   x  lower-case hexadecimal, X upper-case, precision = minimum digits;
//   p  pointer as plain upper-case hexadecimal, 8 digits (16 in 64-bit builds);
//   s  string, precision = maximum length;
//   f  fixed point, precision = decimals (default 2), 15 significant digits,
//      the process DecimalSeparator;
//   %% a percent sign.
// Integers and pointers may be shown with d, u, x, X and p; a missing
// argument, an unknown type or a mismatch raises EConvertError
// (msg::InvalidFormat).
std::string Format(const char* fmt, std::initializer_list<TFormatArg> args);
std::string Format(const std::string& fmt, std::initializer_list<TFormatArg> args);

// --- Floating point and Boolean ----------------------------------------------

enum class TFloatFormat { ffGeneral, ffFixed };

// The shortest text that reads back to the same double, at most 15
// significant digits; scientific ("1.5E20", "1E-5") when the decimal exponent
// is below -4 or above 14. FloatToStr(0) = "0". NaN and infinities give
// "NAN", "INF", "-INF". The decimal separator comes from FormatSettings().
std::string FloatToStr(double value);
// ffGeneral: as FloatToStr with Precision significant digits (Digits unused).
// ffFixed: rounded to Precision significant digits, then to Digits decimals
// (halves away from zero); a value with more than Precision integer digits
// falls back to ffGeneral.
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);
// Reads optional blanks, a sign, digits with the process DecimalSeparator
// and an optional exponent ("E" or "e", sign, digits), optional blanks.
// Overflow fails.
bool TryStrToFloat(const std::string& s, double& out);
double StrToFloat(const std::string& s);
// "-1" for true, "0" for false.
std::string BoolToStr(bool value);

// --- Captions, hints, multi-byte stepping ----------------------------------------

// True when Caption's accelerator (the character after the first single "&";
// "&&" is a literal "&") equals C, ignoring case.
bool IsAccel(char c, const std::string& caption);
// The part of a hint before the first "|", or the whole hint without one.
std::string GetShortHint(const std::string& hint);
// The part of a hint after the first "|", or the whole hint without one.
std::string GetLongHint(const std::string& hint);
// True for the first byte of a two-byte character in the system code page
// (always false in single-byte code pages and natively).
bool IsLeadByte(char c);
// 1-based index of the character after the one at Index (Index + 2 after a
// lead byte that has its trail byte, else Index + 1).
int NextCharIndex(const std::string& s, int index);

// --- Wide text ------------------------------------------------------------------

// The system code page, which 8-bit text is in (GetACP; natively 1252).
unsigned AnsiCodePage();

// Code pages: 0 = CP_ACP (the system code page; natively 1252), 65001 = UTF-8.
// Windows converts with MultiByteToWideChar / WideCharToMultiByte; natively
// 0, 1252, 28591 (Latin-1) and 65001 are supported, others raise
// EConvertError (msg::UnsupportedCodePage). Characters the target code page
// lacks become "?" (Windows may pick a similar letter instead).
std::wstring AnsiToWide(const std::string& s, unsigned codePage = 0);
std::string WideToAnsi(const std::wstring& ws, unsigned codePage = 0);
// UTF-8 from UTF-16; an unpaired surrogate becomes U+FFFD.
std::string Utf8Encode(const std::wstring& ws);
// UTF-16 from UTF-8; each invalid or truncated sequence becomes U+FFFD
// (one per maximal ill-formed part), characters above U+FFFF a surrogate
// pair. Never reads past the end.
std::wstring Utf8Decode(const std::string& s);
// Locale comparison of wide text, ignoring case or exact (CompareStringW on
// Windows; natively the ANSI collation for Latin-1 and code page 1252
// characters, code unit order for the rest).
int WideCompareText(const std::wstring& a, const std::wstring& b);
int WideCompareStr(const std::wstring& a, const std::wstring& b);

} // namespace gcl
