// The spin-edit value: typed text in integer, fixed-point and hexadecimal
// modes, prefixes and postfixes, limits, stepping and overflowing input.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Exceptions.h"
#include "toolbar/TxSpinValue.h"

using namespace qelvo;

namespace {

class TTestSpin : public TTxSpinValue {
public:
    std::vector<double> Changes;
    std::vector<int> Reasons;
    bool RefuseUnits = false;
    bool Millis = false;   // "ms" postfix means thousandths

protected:
    void DoValueChange(double v) override { Changes.push_back(v); }
    void ApplyText(const std::string& text, int reason) override {
        Reasons.push_back(reason);
        TTxSpinValue::ApplyText(text, reason);
    }
    bool DoConvert(const std::string& prefix, const std::string& postfix, double& v) override {
        if (RefuseUnits && (!prefix.empty() || !postfix.empty())) return false;
        if (Millis && postfix == "ms") v /= 1000;
        return true;
    }
};

double Read(TTxSpinValue& spin, const std::string& text) {
    double v = -12345;
    return spin.TextToValue(text, v) ? v : NAN;
}

bool Reads(TTxSpinValue& spin, const std::string& text) {
    double v = 0;
    return spin.TextToValue(text, v);
}

TEST(TxSpinValue, TypedExpressions) {
    TTestSpin spin;
    EXPECT_EQ(Read(spin, "12"), 12);
    EXPECT_EQ(Read(spin, "  -  12  "), -12);
    EXPECT_EQ(Read(spin, "$12"), 12) << "any prefix is accepted";
    EXPECT_EQ(Read(spin, "12 kg"), 12);
    EXPECT_EQ(Read(spin, "3*4"), 12);
    EXPECT_EQ(Read(spin, "3 * 4"), 12);
    EXPECT_EQ(Read(spin, "-2+5"), 3) << "the sign belongs to the first operand";
    EXPECT_EQ(Read(spin, "10-4"), 6);
    EXPECT_EQ(Read(spin, "9/2"), 4.5);
    EXPECT_FALSE(Reads(spin, "3*4*5"));
    EXPECT_FALSE(Reads(spin, "7/0"));
    EXPECT_FALSE(Reads(spin, ""));
    EXPECT_FALSE(Reads(spin, "kg"));
    EXPECT_FALSE(Reads(spin, "12.5")) << "no fractions in integer mode";
    EXPECT_FALSE(Reads(spin, "1e3")) << "no exponents in integer mode";
    EXPECT_FALSE(Reads(spin, "4^2"));
    spin.RefuseUnits = true;
    EXPECT_FALSE(Reads(spin, "$12"));
    EXPECT_EQ(Read(spin, "12"), 12);
}

TEST(TxSpinValue, FloatAndHexModes) {
    TTestSpin spin;
    spin.SetValueType(evtFloat);
    EXPECT_EQ(Read(spin, "1.25"), 1.25);
    EXPECT_EQ(Read(spin, ".5"), 0.5);
    EXPECT_EQ(Read(spin, "2.5e2"), 250);
    EXPECT_EQ(Read(spin, "25E-1"), 2.5);
    EXPECT_EQ(Read(spin, "5 EUR"), 5) << "an E not followed by a digit or sign is a unit";
    EXPECT_FALSE(Reads(spin, "1e5000")) << "exponents stay below 5000";
    EXPECT_EQ(Read(spin, "1e"), 1) << "an e alone is a unit";
    spin.Millis = true;
    EXPECT_EQ(Read(spin, "250 ms"), 0.25) << "the convert handler may change the value";
    {
        gcl::TFormatSettings comma = gcl::FormatSettings();
        comma.DecimalSeparator = ',';
        gcl::FormatSettingsOverride use(comma);
        EXPECT_EQ(Read(spin, "1,5"), 1.5) << "the locale's separator";
        spin.SetDecimal(1);
        spin.SetValue(2.25);
        EXPECT_EQ(spin.GetText(), "2,3");
    }

    TTestSpin hex;
    hex.SetValueType(evtHex);
    hex.SetValue(255);
    EXPECT_EQ(hex.GetText(), "FF");
    EXPECT_EQ(Read(hex, "FF"), 255);
    EXPECT_EQ(Read(hex, "10+A"), 26);
    EXPECT_EQ(Read(hex, "7FFFFFFFFFFFFFFF"), 9223372036854775807.0);
    EXPECT_FALSE(Reads(hex, "ff")) << "upper-case digits only";
    EXPECT_FALSE(Reads(hex, "FFFFFFFFFFFFFFFFF")) << "more than 16 digits";
    EXPECT_FALSE(Reads(hex, "FFFFFFFFFFFFFFFF")) << "beyond 64 bits signed";
    hex.SetValue(-26);
    EXPECT_EQ(hex.GetText(), "-1A");
    EXPECT_EQ(Read(hex, hex.GetText()), -26);
    hex.SetValue(0);
    EXPECT_EQ(hex.GetText(), "0");
    hex.SetIncrement(0.5);
    hex.SetValueType(evtInteger);
    EXPECT_EQ(hex.GetIncrement(), 1) << "whole increments in integer mode";
    EXPECT_EQ(hex.GetText(), "0");
}

TEST(TxSpinValue, FormattingPrefixesAndRounding) {
    TTestSpin spin;
    spin.SetPrefix("$");
    spin.SetPostfix("kg");
    spin.SetValue(12);
    EXPECT_EQ(spin.GetText(), "$12kg");
    spin.SetSpaceAfterPrefix(true);
    spin.SetSpaceBeforePostfix(true);
    EXPECT_EQ(spin.GetText(), "$ 12 kg");
    EXPECT_EQ(spin.GetValue(), 12) << "the item's own text reads back";
    spin.SetValue(2.5);
    EXPECT_EQ(spin.GetText(), "$ 2 kg") << "halves to even";
    spin.SetValue(3.5);
    EXPECT_EQ(spin.GetText(), "$ 4 kg");
    spin.SetValue(-2.5);
    EXPECT_EQ(spin.GetText(), "$ -2 kg");
    EXPECT_EQ(spin.GetIntValue(), -2);

    spin.SetValueType(evtFloat);
    spin.SetValue(1.0 / 3);
    EXPECT_EQ(spin.GetText(), "$ 0.33 kg");

    for (const char* bad : {"a b", "1st", "x*", "^", "a.b", "tab\t"}) {
        EXPECT_THROW(spin.SetPrefix(bad), gcl::EPropertyError) << bad;
        EXPECT_THROW(spin.SetPostfix(bad), gcl::EPropertyError) << bad;
    }
    EXPECT_EQ(spin.GetPrefix(), "$");
    try {
        spin.SetPostfix("1");
    } catch (const gcl::EPropertyError& e) {
        EXPECT_EQ(e.GetMessage(), "Invalid postfix");
    }
    try {
        spin.SetIncrement(0);
    } catch (const gcl::EPropertyError& e) {
        EXPECT_EQ(e.GetMessage(), "Increment should be a positive value");
    }
    EXPECT_THROW(spin.SetIncrement(-1), gcl::EPropertyError);
    EXPECT_THROW(spin.SetIncrement(NAN), gcl::EPropertyError);
    EXPECT_EQ(spin.GetIncrement(), 1);
}

TEST(TxSpinValue, HexModeRefusesLetterUnits) {
    TTestSpin spin;
    spin.SetPostfix("Bytes");
    EXPECT_THROW(spin.SetValueType(evtHex), gcl::EPropertyError);
    EXPECT_EQ(spin.GetValueType(), evtInteger);
    spin.SetPostfix("");
    spin.SetValueType(evtHex);
    EXPECT_THROW(spin.SetPrefix("Bank"), gcl::EPropertyError);
    EXPECT_THROW(spin.SetPrefix("bank"), gcl::EPropertyError);
    spin.SetPrefix("#");
    spin.SetPostfix("h");
    spin.SetValue(171);
    EXPECT_EQ(spin.GetText(), "#ABh");
    EXPECT_EQ(spin.GetValue(), 171) << "the text reads back";
}

TEST(TxSpinValue, LimitsAndChanges) {
    TTestSpin spin;
    spin.SetValue(500);   // no range yet: nothing clipped
    EXPECT_EQ(spin.GetText(), "500");
    spin.SetMinValue(0);
    spin.SetMaxValue(100);
    spin.Changes.clear();
    spin.SetValue(250);
    EXPECT_EQ(spin.GetText(), "100");
    ASSERT_EQ(spin.Changes, (std::vector<double>{100})) << "the clipped value is reported";
    EXPECT_EQ(spin.GetLastValue(), 100);
    spin.SetValue(300);
    EXPECT_EQ(spin.Changes.size(), 1u) << "still 100: no change";
    spin.SetValue(-5);
    EXPECT_EQ(spin.GetText(), "0");
    EXPECT_EQ(spin.Changes.back(), 0);

    // Unreadable text falls back to the last value.
    std::string typed = "lots";
    EXPECT_FALSE(spin.AcceptText(typed));
    typed = "6*7";
    EXPECT_TRUE(spin.AcceptText(typed));
    EXPECT_EQ(typed, "42");
}

TEST(TxSpinValue, SteppingSnapsToMultiples) {
    TTestSpin spin;
    spin.SetIncrement(5);
    spin.SetValue(7);
    spin.StepUp();
    EXPECT_EQ(spin.GetValue(), 10);
    spin.SetValue(7);
    spin.StepDown();
    EXPECT_EQ(spin.GetValue(), 5);
    spin.SetValue(10);
    spin.StepUp();
    EXPECT_EQ(spin.GetValue(), 15);
    EXPECT_EQ(spin.Reasons.back(), tcrStep);

    // The snap tolerance does not grow with the increment.
    EXPECT_EQ(spin.StepValue(0, +1), 5);
    spin.SetIncrement(10000);
    EXPECT_EQ(spin.StepValue(0, +1), 10000);
    EXPECT_EQ(spin.StepValue(0, -1), -10000);
    spin.SetIncrement(100);
    EXPECT_EQ(spin.StepValue(99.5, +1), 100);
    EXPECT_EQ(spin.StepValue(100.5, -1), 100);
    spin.SetValueType(evtFloat);
    spin.SetIncrement(0.1);
    EXPECT_NEAR(spin.StepValue(0.3, +1), 0.4, 1e-12) << "0.3 / 0.1 is just under 3";
    spin.SetSnap(false);
    EXPECT_EQ(spin.StepValue(0.25, +1), 0.35);
    spin.SetMinValue(0);
    spin.SetMaxValue(1);
    spin.SetValue(0.95);
    spin.StepUp();
    EXPECT_EQ(spin.GetValue(), 1) << "steps are clipped";
}

TEST(TxSpinValue, OverflowingInputFailsAndNothingOverflowsLater) {
    TTestSpin spin;
    spin.SetValueType(evtFloat);
    EXPECT_FALSE(Reads(spin, "1e4999"));
    EXPECT_FALSE(Reads(spin, "1e300*1e300"));
    EXPECT_FALSE(Reads(spin, "1e4000*1e4000"));
    EXPECT_FALSE(Reads(spin, std::string(400, '9')));
    EXPECT_FALSE(Reads(spin, "-1e308-1e308"));
    EXPECT_EQ(Read(spin, "1e300"), 1e300) << "large but finite is fine in float mode";
    spin.SetValue(1e300);
    EXPECT_EQ(spin.GetIntValue(), 2147483647) << "held to the int range";

    TTestSpin integer;
    EXPECT_FALSE(Reads(integer, "99999999999999999999")) << "beyond 64 bits";
    EXPECT_FALSE(Reads(integer, "9223372036854775807*2"));
    EXPECT_EQ(Read(integer, "9007199254740992"), 9007199254740992.0);
    integer.SetValue(1e30);
    EXPECT_EQ(integer.GetText(), "9223372036854775807") << "formatting clamps before converting";
    integer.SetValue(-1e30);
    EXPECT_EQ(integer.GetText(), "-9223372036854775808");
    integer.SetValue(INFINITY);
    EXPECT_EQ(integer.GetText(), "9223372036854775807");
    integer.SetValue(NAN);
    EXPECT_EQ(integer.GetText(), "0");
    TTestSpin hex;
    hex.SetValueType(evtHex);
    hex.SetValue(-1e30);
    EXPECT_EQ(hex.GetText(), "-8000000000000000");
}

} // namespace
