// 8-bit string helpers, conversions, Format and wide text. Every
// expectation holds natively and under Wine (code page 1252, English
// settings), which is what keeps the two builds in step.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
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

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

std::string AllBytes() {
    std::string s;
    for (int i = 1; i < 256; ++i) s += static_cast<char>(i);
    return s;
}

} // namespace

TEST(Strings, OneBasedPositionsAndBoundaries) {
    EXPECT_EQ(Pos("c", "abc"), 3);
    EXPECT_EQ(Pos("ab", "abab"), 1);
    EXPECT_EQ(Pos("x", "abc"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(Pos("abcd", "abc"), 0);
    EXPECT_EQ(Pos("a", ""), 0);

    EXPECT_EQ(PosEx("a", "aXa", 1), 1);
    EXPECT_EQ(PosEx("a", "aXa", 2), 3);
    EXPECT_EQ(PosEx("a", "aXa", 3), 3);
    EXPECT_EQ(PosEx("a", "aXa", 4), 0);
    EXPECT_EQ(PosEx("a", "aXa", 0), 0);
    EXPECT_EQ(PosEx("a", "aXa", -1), 0);
    EXPECT_EQ(PosEx("", "aXa", 1), 0);

    EXPECT_EQ(Copy("abc", 1, 2), "ab");
    EXPECT_EQ(Copy("abc", 0, 2), "ab");
    EXPECT_EQ(Copy("abc", -5, 2), "ab");
    EXPECT_EQ(Copy("abc", 2, 100), "bc");
    EXPECT_EQ(Copy("abc", 3, 1), "c");
    EXPECT_EQ(Copy("abc", 4, 1), "");
    EXPECT_EQ(Copy("abc", 2, 0), "");
    EXPECT_EQ(Copy("abc", 2, -1), "");
    EXPECT_EQ(Copy("", 1, 1), "");
    EXPECT_EQ(Copy("abc", 1, INT_MAX), "abc");

    std::string s = "abcde";
    Delete(s, 2, 2);
    EXPECT_EQ(s, "ade");
    Delete(s, 0, 1);
    Delete(s, 4, 1);
    Delete(s, 1, 0);
    Delete(s, 1, -3);
    EXPECT_EQ(s, "ade");
    Delete(s, 2, 100);
    EXPECT_EQ(s, "a");
    std::string empty;
    Delete(empty, 1, 1);
    EXPECT_EQ(empty, "");

    s = "abc";
    Insert("X", s, 2);
    EXPECT_EQ(s, "aXbc");
    Insert("<", s, 0);
    Insert("[", s, -7);
    EXPECT_EQ(s, "[<aXbc");
    Insert(">", s, 7);
    Insert("]", s, 100);
    EXPECT_EQ(s, "[<aXbc>]");
    Insert("", s, 1);
    EXPECT_EQ(s, "[<aXbc>]");
    Insert("x", empty, 5);
    EXPECT_EQ(empty, "x");

    EXPECT_EQ(Length(""), 0);
    EXPECT_EQ(Length(std::string("a\0b", 3)), 3);
}

TEST(Strings, TrimCaseAndOrdinalComparison) {
    EXPECT_EQ(Trim(" \t\x01 ab c\r\n\x1f "), "ab c");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a \x20\x0d"), "  a");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // a no-break space is data
    EXPECT_EQ(Trim("\xF7\xF8"), "\xF7\xF8");

    EXPECT_EQ(UpperCase("abz AZ \xE9\xFF 1_"), "ABZ AZ \xE9\xFF 1_");
    EXPECT_EQ(LowerCase("ABZ az \xC9 1_"), "abz az \xC9 1_");

    EXPECT_EQ(CompareText("abc", "ABC"), 0);
    EXPECT_TRUE(SameText("Hello", "hELLO"));
    EXPECT_FALSE(SameText("\xE9", "\xC9"));  // A-Z only
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0);
    EXPECT_GT(CompareText("b", "A"), 0);
    EXPECT_LT(CompareText("a", "_"), 0);  // letters fold to upper case, below "_"
    EXPECT_GT(CompareText("\xE9", "z"), 0);  // bytes compare unsigned
    EXPECT_EQ(CompareStr("abc", "abc"), 0);
    EXPECT_GT(CompareStr("a", "B"), 0);
    EXPECT_LT(CompareStr("A", "a"), 0);
    EXPECT_LT(CompareStr("", "a"), 0);
}

TEST(Strings, LocaleCaseMappingAndCollation) {
    // Code page 1252 case pairs, including the ones outside Latin-1.
    EXPECT_EQ(AnsiUpperCase("abc \xE0\xE9\xFE\xFF\x9A\x9C\x9E"), "ABC \xC0\xC9\xDE\x9F\x8A\x8C\x8E");
    EXPECT_EQ(AnsiLowerCase("ABC \xC0\xC9\xDE\x9F\x8A\x8C\x8E"), "abc \xE0\xE9\xFE\xFF\x9A\x9C\x9E");
    // No single-byte upper case: sharp s, micro sign, division sign.
    EXPECT_EQ(AnsiUpperCase("\xDF\xB5\xF7"), "\xDF\xB5\xF7");
    EXPECT_EQ(AnsiLowerCase("\xD7"), "\xD7");

    EXPECT_EQ(AnsiCompareText("a", "A"), 0);
    EXPECT_TRUE(AnsiSameText("\xC9" "COLE", "\xE9" "cole"));
    EXPECT_LT(AnsiCompareStr("a", "A"), 0);  // lower case first
    EXPECT_LT(AnsiCompareStr("a", "B"), 0);  // alphabet before case
    EXPECT_GT(AnsiCompareStr("\xC9", "\xE9"), 0);
    EXPECT_EQ(AnsiCompareText("\xC9", "\xE9"), 0);
    // Accents weigh less than letters: e < e-acute < f, and "ae" < e-acute.
    EXPECT_GT(AnsiCompareText("\xE9", "e"), 0);
    EXPECT_LT(AnsiCompareText("\xE9", "f"), 0);
    EXPECT_LT(AnsiCompareText("ae", "\xE9"), 0);
    EXPECT_GT(AnsiCompareText("\x8A", "S"), 0);
    EXPECT_LT(AnsiCompareText("\x8A", "T"), 0);
    // Ligatures sort as their letters.
    EXPECT_EQ(AnsiCompareStr("\xE6", "ae"), 0);
    EXPECT_EQ(AnsiCompareStr("\xDF", "ss"), 0);
    EXPECT_EQ(AnsiCompareText("\x8C", "oe"), 0);
    // Hyphen and apostrophe only break ties.
    EXPECT_GT(AnsiCompareText("co-op", "coop"), 0);
    EXPECT_LT(AnsiCompareText("co-op", "cop"), 0);
    EXPECT_GT(AnsiCompareStr("it's", "its"), 0);
    EXPECT_GT(AnsiCompareStr("-a", "a-"), 0);
    // Blanks, punctuation and digits come before letters; no numeric order.
    EXPECT_LT(AnsiCompareStr("a b", "ab"), 0);
    EXPECT_LT(AnsiCompareStr("!", "1"), 0);
    EXPECT_LT(AnsiCompareStr("9", "a"), 0);
    EXPECT_LT(AnsiCompareStr("10", "9"), 0);
    EXPECT_EQ(AnsiCompareText("", ""), 0);
    EXPECT_LT(AnsiCompareText("", "a"), 0);
}

TEST(Strings, StringReplace) {
    const std::string s = "a-b-A-b";
    EXPECT_EQ(StringReplace(s, "b", "x", {}), "a-x-A-b");
    EXPECT_EQ(StringReplace(s, "b", "x", TReplaceFlag::rfReplaceAll), "a-x-A-x");
    EXPECT_EQ(StringReplace(s, "a", "<>", TReplaceFlag::rfIgnoreCase), "<>-b-A-b");
    EXPECT_EQ(StringReplace(s, "a", "<>", {TReplaceFlag::rfReplaceAll, TReplaceFlag::rfIgnoreCase}), "<>-b-<>-b");
    EXPECT_EQ(StringReplace(s, "-", "", TReplaceFlag::rfReplaceAll), "abAb");
    EXPECT_EQ(StringReplace(s, "", "x", TReplaceFlag::rfReplaceAll), s);
    EXPECT_EQ(StringReplace(s, "zz", "x", TReplaceFlag::rfReplaceAll), s);
    EXPECT_EQ(StringReplace("", "a", "x", TReplaceFlag::rfReplaceAll), "");
    // Replacements are not searched again.
    EXPECT_EQ(StringReplace("aaa", "a", "aa", TReplaceFlag::rfReplaceAll), "aaaaaa");
    EXPECT_EQ(StringReplace("aaaa", "aa", "a", TReplaceFlag::rfReplaceAll), "aa");
    // Ignoring case follows the code page: e-acute matches E-acute.
    EXPECT_EQ(StringReplace("caf\xC9 caf\xE9", "\xE9", "e", {TReplaceFlag::rfReplaceAll, TReplaceFlag::rfIgnoreCase}),
              "cafe cafe");
    EXPECT_EQ(StringReplace("caf\xC9", "\xE9", "e", TReplaceFlag::rfReplaceAll), "caf\xC9");

    TReplaceFlags flags;
    EXPECT_FALSE(flags.Contains(TReplaceFlag::rfReplaceAll));
    flags.Include(TReplaceFlag::rfIgnoreCase);
    EXPECT_TRUE(flags.Contains(TReplaceFlag::rfIgnoreCase));
    EXPECT_EQ(flags, TReplaceFlags(TReplaceFlag::rfIgnoreCase));
    flags.Exclude(TReplaceFlag::rfIgnoreCase);
    EXPECT_EQ(flags, TReplaceFlags{});
}

TEST(Strings, IntegerConversions) {
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");

    EXPECT_EQ(StrToInt("123"), 123);
    EXPECT_EQ(StrToInt("  -7"), -7);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("2147483647"), INT_MAX);
    EXPECT_EQ(StrToInt("-2147483648"), INT_MIN);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("0x1f"), 31);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("-$10"), -16);
    EXPECT_CONVERT_ERROR("'abc' is not a valid integer value", StrToInt("abc"));
    EXPECT_CONVERT_ERROR("'' is not a valid integer value", StrToInt(""));
    for (const char* bad : {"2147483648", "-2147483649", "99999999999999999999", "12a", "12 ", "1.0", " ", "-",
                            "$", "0x", "$100000000", "--1"}) {
        int v = 99;
        EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
        EXPECT_EQ(v, 99) << bad;
        EXPECT_EQ(StrToIntDef(bad, -5), -5) << bad;
    }
    int v = 0;
    EXPECT_TRUE(TryStrToInt("0012", v));
    EXPECT_EQ(v, 12);

    EXPECT_EQ(StrToLeadingInt("12abc"), 12);
    EXPECT_EQ(StrToLeadingInt(" \t-5/3"), -5);
    EXPECT_EQ(StrToLeadingInt("+3"), 3);
    EXPECT_EQ(StrToLeadingInt("abc"), 0);
    EXPECT_EQ(StrToLeadingInt(""), 0);
    EXPECT_EQ(StrToLeadingInt("-"), 0);
    EXPECT_EQ(StrToLeadingInt("- 5"), 0);
    EXPECT_EQ(StrToLeadingInt("99999999999999999999"), INT_MAX);
    EXPECT_EQ(StrToLeadingInt("-99999999999999999999"), INT_MIN);
    EXPECT_EQ(StrToLeadingInt("-2147483648"), INT_MIN);

    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(0, 0), "0");
    EXPECT_EQ(IntToHex(0xABCDEF, 2), "ABCDEF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(int64_t(-1), 2), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(static_cast<short>(-2), 1), "FFFE");
    EXPECT_EQ(IntToHex(static_cast<unsigned char>(200), 1), "C8");
    EXPECT_EQ(IntToHex(0xFFFFFFFFu, 10), "00FFFFFFFF");
    EXPECT_EQ(BoolToStr(true), "-1");
    EXPECT_EQ(BoolToStr(false), "0");
}

TEST(Strings, Format) {
    EXPECT_EQ(Format("%d|%5d|%-5d|%.3d|%.3d", {42, 42, 42, 7, -7}), "42|   42|42   |007|-007");
    EXPECT_EQ(Format("%d %d", {INT64_MIN, 4000000000u}), "-9223372036854775808 4000000000");
    EXPECT_EQ(Format("%u %u", {-1, int64_t(-1)}), "4294967295 18446744073709551615");
    EXPECT_EQ(Format("%x %X %.2x %.8x %x", {255, 255, 10, 0x1234, -1}), "ff FF 0a 00001234 ffffffff");
    EXPECT_EQ(Format("#%.2x%.2x%.2x", {0xE4, 0x6D, 0x34}), "#e46d34");
    EXPECT_EQ(Format("%s|%.2s|%5s|%-5s|%s|%s", {"abc", "abc", "abc", "abc", std::string("str"), 'c'}),
              "abc|ab|  abc|abc  |str|c");
    EXPECT_EQ(Format("%s", {static_cast<const char*>(nullptr)}), "");
    EXPECT_EQ(Format("100%% %*d|%-*s|", {4, 7, 3, "a"}), "100%    7|a  |");
    EXPECT_EQ(Format("no args", {}), "no args");
    enum TLocalKind { lkFirst = 3 };
    enum class TScopedKind : uint8_t { skSecond = 200 };
    EXPECT_EQ(Format("%d %d", {lkFirst, TScopedKind::skSecond}), "3 200");

    const void* p = reinterpret_cast<const void*>(static_cast<uintptr_t>(0x1234ABCD));
    const std::string pointerText = std::string(2 * sizeof(void*) - 8, '0') + "1234ABCD";
    EXPECT_EQ(Format("%p", {p}), pointerText);
    EXPECT_EQ(Format("%s_edit_control_%p", {"Qelvo", p}), "Qelvo_edit_control_" + pointerText);
    EXPECT_EQ(Format("NBFloatingWindowParent_%.8x", {0xBEEF}), "NBFloatingWindowParent_0000beef");
    EXPECT_EQ(Format("%p", {0x1F}), "0000001F");

    EXPECT_EQ(Format("%f|%.0f|%.0f|%.3f|%8.1f", {1.5, 2.5, -2.5, -0.0005, 3.14159}), "1.50|3|-3|-0.001|     3.1");
    {
        TFormatSettings fs = DefaultFormatSettings();
        fs.DecimalSeparator = ',';
        FormatSettingsOverride o(fs);
        EXPECT_EQ(Format("%.2f", {1.5}), "1,50");
    }

    const std::string badD = "Format '%d' invalid or incompatible with argument";
    EXPECT_CONVERT_ERROR(badD, Format("%d", {"x"}));
    EXPECT_CONVERT_ERROR(badD, Format("%d", {1.5}));
    EXPECT_CONVERT_ERROR(badD, Format("%d", {}));
    EXPECT_CONVERT_ERROR("Format '%s' invalid or incompatible with argument", Format("%s", {5}));
    EXPECT_CONVERT_ERROR("Format '%f' invalid or incompatible with argument", Format("%f", {1}));
    EXPECT_CONVERT_ERROR("Format '%q' invalid or incompatible with argument", Format("%q", {1}));
    EXPECT_CONVERT_ERROR("Format 'a%' invalid or incompatible with argument", Format("a%", {1}));
    EXPECT_CONVERT_ERROR("Format '%*d' invalid or incompatible with argument", Format("%*d", {"x", 1}));
    EXPECT_THROW(Format("%999999999d", {1}), EConvertError);
}

TEST(Strings, FloatConversions) {
    EXPECT_EQ(FloatToStr(0), "0");
    EXPECT_EQ(FloatToStr(-0.0), "0");
    EXPECT_EQ(FloatToStr(1), "1");
    EXPECT_EQ(FloatToStr(-1.5), "-1.5");
    EXPECT_EQ(FloatToStr(0.1), "0.1");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(FloatToStr(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FloatToStr(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(FloatToStr(100), "100");
    EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
    EXPECT_EQ(FloatToStr(1e15), "1E15");
    EXPECT_EQ(FloatToStr(1.5e20), "1.5E20");
    EXPECT_EQ(FloatToStr(0.0001), "0.0001");
    EXPECT_EQ(FloatToStr(0.00001), "1E-5");
    EXPECT_EQ(FloatToStr(-1.25e-7), "-1.25E-7");
    EXPECT_EQ(FloatToStr(1.7976931348623157e308), "1.79769313486232E308");
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity()), "-INF");

    EXPECT_EQ(FloatToStrF(1.005, TFloatFormat::ffFixed, 15, 2), "1.01");
    EXPECT_EQ(FloatToStrF(0.125, TFloatFormat::ffFixed, 15, 2), "0.13");
    EXPECT_EQ(FloatToStrF(99.995, TFloatFormat::ffFixed, 15, 2), "100.00");
    EXPECT_EQ(FloatToStrF(1234.5, TFloatFormat::ffFixed, 15, 2), "1234.50");
    EXPECT_EQ(FloatToStrF(-0.001, TFloatFormat::ffFixed, 15, 2), "0.00");
    EXPECT_EQ(FloatToStrF(0, TFloatFormat::ffFixed, 15, 3), "0.000");
    EXPECT_EQ(FloatToStrF(2.5, TFloatFormat::ffFixed, 15, 0), "3");
    EXPECT_EQ(FloatToStrF(0.00049, TFloatFormat::ffFixed, 15, 3), "0.000");
    EXPECT_EQ(FloatToStrF(1234.5678, TFloatFormat::ffFixed, 4, 2), "1235.00");
    EXPECT_EQ(FloatToStrF(123456.789, TFloatFormat::ffFixed, 4, 2), "1.235E5");  // too many integer digits
    EXPECT_EQ(FloatToStrF(1e20, TFloatFormat::ffFixed, 15, 2), "1E20");
    EXPECT_EQ(FloatToStrF(2.0 / 3, TFloatFormat::ffGeneral, 4, 0), "0.6667");

    double d = 0;
    EXPECT_TRUE(TryStrToFloat("1.5", d));
    EXPECT_EQ(d, 1.5);
    EXPECT_TRUE(TryStrToFloat("  -2.5e3 ", d));
    EXPECT_EQ(d, -2500);
    EXPECT_TRUE(TryStrToFloat(".5", d));
    EXPECT_EQ(d, 0.5);
    EXPECT_TRUE(TryStrToFloat("+5.", d));
    EXPECT_EQ(d, 5);
    EXPECT_TRUE(TryStrToFloat("1E-5", d));
    EXPECT_EQ(d, 1e-5);
    for (const char* bad : {"", " ", "abc", "1e", "1e+", ".", "1,5", "1.5x", "1e400", "0x10", "inf", "nan", "1 5"}) {
        d = 7;
        EXPECT_FALSE(TryStrToFloat(bad, d)) << bad;
        EXPECT_EQ(d, 7) << bad;
    }
    EXPECT_CONVERT_ERROR("'x' is not a valid floating point value", StrToFloat("x"));
    for (double v : {0.1, 123456.789, -9.87654321e-12, 6.02214076e23, 1e-300})
        EXPECT_EQ(StrToFloat(FloatToStr(v)), v);
    {
        TFormatSettings fs = DefaultFormatSettings();
        fs.DecimalSeparator = ',';
        FormatSettingsOverride o(fs);
        EXPECT_EQ(FloatToStr(1.5), "1,5");
        EXPECT_EQ(FloatToStr(1.5e-9), "1,5E-9");
        EXPECT_EQ(FloatToStrF(1.5, TFloatFormat::ffFixed, 15, 2), "1,50");
        EXPECT_EQ(StrToFloat("1,5"), 1.5);
        EXPECT_FALSE(TryStrToFloat("1.5", d));
    }
}

TEST(Strings, HintsAcceleratorsAndCharacterStepping) {
    EXPECT_EQ(GetShortHint("Open|Open a file"), "Open");
    EXPECT_EQ(GetLongHint("Open|Open a file"), "Open a file");
    EXPECT_EQ(GetShortHint("Plain"), "Plain");
    EXPECT_EQ(GetLongHint("Plain"), "Plain");
    EXPECT_EQ(GetShortHint("|long"), "");
    EXPECT_EQ(GetLongHint("short|"), "");
    EXPECT_EQ(GetLongHint("a|b|c"), "b|c");
    EXPECT_EQ(GetShortHint(""), "");

    EXPECT_TRUE(IsAccel('o', "&Open"));
    EXPECT_TRUE(IsAccel('O', "&open"));
    EXPECT_FALSE(IsAccel('p', "&Open"));
    EXPECT_TRUE(IsAccel('q', "Save && &Quit"));
    EXPECT_FALSE(IsAccel('&', "Save && Quit"));
    EXPECT_FALSE(IsAccel('j', "Tom && Jerry"));
    EXPECT_FALSE(IsAccel('x', "Open&"));
    EXPECT_FALSE(IsAccel('x', ""));
    EXPECT_TRUE(IsAccel('a', "&A &B"));
    EXPECT_FALSE(IsAccel('b', "&A &B"));
    EXPECT_TRUE(IsAccel('\xC9', "&\xE9" "cran"));

    // Code page 1252 has no lead bytes: every byte is one character.
    EXPECT_FALSE(IsLeadByte('\x81'));
    EXPECT_EQ(NextCharIndex("a\x81z", 1), 2);
    EXPECT_EQ(NextCharIndex("a\x81z", 2), 3);
    EXPECT_EQ(NextCharIndex("abc", 3), 4);
    EXPECT_EQ(NextCharIndex("", 1), 2);
}

TEST(WideText, CodePageConversions) {
    const std::string bytes = AllBytes();
    const std::wstring wide = AnsiToWide(bytes);
    ASSERT_EQ(wide.size(), bytes.size());
    EXPECT_EQ(WideToAnsi(wide), bytes);
    EXPECT_EQ(AnsiToWide(bytes, 1252), wide);
    EXPECT_EQ(wide[0x80 - 1], static_cast<wchar_t>(0x20AC));
    EXPECT_EQ(wide[0x81 - 1], static_cast<wchar_t>(0x0081));
    EXPECT_EQ(wide[0x8A - 1], static_cast<wchar_t>(0x0160));
    EXPECT_EQ(wide[0x96 - 1], static_cast<wchar_t>(0x2013));
    EXPECT_EQ(wide[0x9F - 1], static_cast<wchar_t>(0x0178));
    EXPECT_EQ(wide[0xE9 - 1], static_cast<wchar_t>(0x00E9));
    EXPECT_EQ(wide[0xF7 - 1], static_cast<wchar_t>(0x00F7));
    EXPECT_EQ(AnsiToWide(""), L"");
    EXPECT_EQ(WideToAnsi(L""), "");
    EXPECT_EQ(AnsiToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));

    // Characters the code page lacks become "?", one per UTF-16 unit.
    std::wstring cjk(1, static_cast<wchar_t>(0x4E2D));
    EXPECT_EQ(WideToAnsi(cjk), "?");
    std::wstring emoji{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    EXPECT_EQ(WideToAnsi(emoji), "??");

    // UTF-8 through the code-page functions matches the library's own codec.
    const std::string utf8 = Utf8Encode(wide);
    EXPECT_EQ(AnsiToWide(utf8, 65001), wide);
    EXPECT_EQ(WideToAnsi(wide, 65001), utf8);
    EXPECT_EQ(WideToAnsi(Utf8Decode(utf8)), bytes);
    EXPECT_EQ(AnsiToWide("\xC3\xA9", 65001), std::wstring(1, static_cast<wchar_t>(0xE9)));
}

TEST(WideText, Utf8EncodeAndDecode) {
    const std::wstring text{L'A', static_cast<wchar_t>(0xE9), static_cast<wchar_t>(0x20AC),
                            static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00), L'z'};
    const std::string utf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";
    EXPECT_EQ(Utf8Encode(text), utf8);
    EXPECT_EQ(Utf8Decode(utf8), text);
    EXPECT_EQ(Utf8Decode(""), L"");
    EXPECT_EQ(Utf8Encode(L""), "");
    // Boundaries of each sequence length.
    const std::wstring edges{0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0xD800, 0xDC00, 0xDBFF, 0xDFFF};
    EXPECT_EQ(Utf8Decode(Utf8Encode(edges)), edges);
    EXPECT_EQ(Utf8Encode(edges), "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF");

    // Unpaired surrogates are encoded as U+FFFD.
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(Utf8Encode(std::wstring{0xD800, L'x'}), replacement + "x");
    EXPECT_EQ(Utf8Encode(std::wstring{L'x', 0xDC00}), "x" + replacement);
    EXPECT_EQ(Utf8Encode(std::wstring{0xD800}), replacement);

    // Each maximal ill-formed part decodes to one U+FFFD; nothing is read
    // past the end.
    auto fffd = [](size_t n) { return std::wstring(n, static_cast<wchar_t>(0xFFFD)); };
    EXPECT_EQ(Utf8Decode("\x80"), fffd(1));
    EXPECT_EQ(Utf8Decode("\xC0\x80"), fffd(2));            // overlong
    EXPECT_EQ(Utf8Decode("\xE0\x80\x80"), fffd(3));        // overlong
    EXPECT_EQ(Utf8Decode("\xED\xA0\x80"), fffd(3));        // encoded surrogate
    EXPECT_EQ(Utf8Decode("\xF4\x90\x80\x80"), fffd(4));    // above U+10FFFF
    EXPECT_EQ(Utf8Decode("\xF5\xFF"), fffd(2));
    EXPECT_EQ(Utf8Decode("\xE2\x82"), fffd(1));            // truncated at the end
    EXPECT_EQ(Utf8Decode("\xF0\x9F\x98"), fffd(1));
    EXPECT_EQ(Utf8Decode("\xE2\x82" "A"), fffd(1) + L"A");
    EXPECT_EQ(Utf8Decode("a\xC3"), L"a" + fffd(1));
    EXPECT_EQ(Utf8Decode("\xC3\xC3\xA9"), fffd(1) + std::wstring(1, static_cast<wchar_t>(0xE9)));
    // Code page 1252 text is not UTF-8: the bytes 0xF7, 0xF8 and 0xBD-0xBF
    // are plain data in ANSI and survive the ANSI round trip untouched.
    EXPECT_EQ(WideToAnsi(AnsiToWide("\xF7\xF8\xBD\xBE\xBF")), "\xF7\xF8\xBD\xBE\xBF");
}

TEST(WideText, Comparison) {
    EXPECT_EQ(WideCompareText(L"Hello", L"hELLO"), 0);
    EXPECT_LT(WideCompareStr(L"a", L"A"), 0);
    EXPECT_LT(WideCompareStr(L"a", L"B"), 0);
    EXPECT_EQ(WideCompareStr(L"abc", L"abc"), 0);
    EXPECT_GT(Sign(WideCompareText(std::wstring(1, 0xE9), L"E")), 0);
    EXPECT_LT(Sign(WideCompareText(std::wstring(1, 0xE9), L"f")), 0);
    EXPECT_EQ(WideCompareText(std::wstring(1, 0xC9), std::wstring(1, 0xE9)), 0);
    EXPECT_LT(WideCompareText(L"z", std::wstring(1, 0x4E2D)), 0);
    EXPECT_LT(WideCompareText(std::wstring(1, 0x4E2D), std::wstring(1, 0x4E2E)), 0);
    EXPECT_LT(WideCompareText(L"", L"a"), 0);
}
