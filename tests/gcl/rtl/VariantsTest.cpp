// The tagged value used by event handlers and cell/caption interfaces.
#include <gtest/gtest.h>

#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Variants.h"

using namespace gcl;

TEST(Variants, TypesAndConversions) {
    TVariant empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.GetType(), TVarType::vtEmpty);
    EXPECT_EQ(empty.ToAnsi(), "");
    EXPECT_EQ(empty.ToWide(), L"");
    EXPECT_EQ(empty.ToInt(), 0);

    TVariant i(42);
    EXPECT_EQ(i.GetType(), TVarType::vtInteger);
    EXPECT_EQ(i.ToAnsi(), "42");
    EXPECT_EQ(i.ToWide(), L"42");
    EXPECT_EQ(i.ToInt(), 42);
    EXPECT_EQ(TVariant(static_cast<unsigned char>(7)).GetType(), TVarType::vtInteger);
    EXPECT_THROW(TVariant(int64_t(1) << 40).ToInt(), EConvertError);

    TVariant d(2.5);
    EXPECT_EQ(d.GetType(), TVarType::vtDouble);
    EXPECT_EQ(d.ToAnsi(), "2.5");
    EXPECT_EQ(d.ToInt(), 2);  // halves to even
    EXPECT_EQ(TVariant(3.5).ToInt(), 4);
    EXPECT_EQ(TVariant(-0.4).ToInt(), 0);
    EXPECT_THROW(TVariant(1e12).ToInt(), EConvertError);

    TVariant a("caf\xE9");
    EXPECT_EQ(a.GetType(), TVarType::vtAnsiString);
    EXPECT_EQ(a.ToWide(), (std::wstring{L'c', L'a', L'f', 0xE9}));
    TVariant w(std::wstring{L'n', 0xE9, 0x20AC});
    EXPECT_EQ(w.GetType(), TVarType::vtWideString);
    EXPECT_EQ(w.ToAnsi(), "n\xE9\x80");
    EXPECT_EQ(TVariant(std::string(" 12")).ToInt(), 12);
    EXPECT_EQ(TVariant(L"-3").ToInt(), -3);
    try {
        TVariant("twelve").ToInt();
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.GetMessage(), "'twelve' is not a valid integer value");
    }

    i.Clear();
    EXPECT_TRUE(i.IsEmpty());

    TFormatSettings fs = DefaultFormatSettings();
    fs.DecimalSeparator = ',';
    FormatSettingsOverride o(fs);
    EXPECT_EQ(d.ToAnsi(), "2,5");
}

TEST(Variants, Equality) {
    EXPECT_EQ(TVariant(), TVariant());
    EXPECT_NE(TVariant(), TVariant(0));
    EXPECT_NE(TVariant(""), TVariant());
    EXPECT_EQ(TVariant(5), TVariant(5));
    EXPECT_NE(TVariant(5), TVariant(6));
    EXPECT_EQ(TVariant(5), TVariant(5.0));
    EXPECT_NE(TVariant(5), TVariant(5.5));
    EXPECT_EQ(TVariant("abc"), TVariant(L"abc"));
    EXPECT_NE(TVariant("abc"), TVariant("ABC"));
    EXPECT_EQ(TVariant("\x80"), TVariant(std::wstring(1, 0x20AC)));
    EXPECT_EQ(TVariant(5), TVariant("5"));
    EXPECT_EQ(TVariant(L"2.5"), TVariant(2.5));
    EXPECT_NE(TVariant(5), TVariant("five"));
}
