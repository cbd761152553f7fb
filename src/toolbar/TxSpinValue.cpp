// The spin-edit value: reading typed text, formatting, clipping, stepping.
#include "toolbar/TxSpinValue.h"

#include <cmath>

#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Maths.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

namespace {

// 2^63: integer and hexadecimal values stay below it in size.
constexpr double Limit64 = 9223372036854775808.0;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void SkipBlanks(const std::string& s, size_t& i) {
    while (i < s.size() && IsBlank(s[i])) ++i;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Upper-case hexadecimal digits only.
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Where a prefix or postfix ends: blanks and control characters, the
// operators, comma, point and digits ("*" to "9"), "^", and in hexadecimal
// mode the digits A-F.
bool IsStop(char c, bool hex) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u < '!' || (c >= '*' && c <= '9') || c == '^' || (hex && c >= 'A' && c <= 'F');
}

bool HasHexLetter(const std::string& s) {
    for (char c : s)
        if ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')) return true;
    return false;
}

// V to the nearest integer, halves to even, held to the 64-bit range.
int64_t RoundToInt64(double v) {
    if (std::isnan(v)) return 0;
    const double r = std::nearbyint(v);
    if (r >= Limit64) return INT64_MAX;
    if (r <= -Limit64) return INT64_MIN;
    return static_cast<int64_t>(r);
}

void ValidateUnitText(const std::string& value, bool hex, const char* error) {
    for (char c : value)
        if (IsStop(c, false)) throw gcl::EPropertyError(error);
    if (hex && HasHexLetter(value)) throw gcl::EPropertyError(error);
}

} // namespace

// ---- Settings -----------------------------------------------------------------------

void TTxSpinValue::SetDecimal(TDecimal Value) {
    if (Value == FDecimal) return;
    double v = GetValue();
    FDecimal = Value;
    SetValueEx(v, tcrProperty);
}

void TTxSpinValue::SetIncrement(double Value) {
    if (!(Value > 0)) throw gcl::EPropertyError(SIncrementError);
    FIncrement = Value;
}

void TTxSpinValue::SetSpaceAfterPrefix(bool Value) {
    if (Value == FSpaceAfterPrefix) return;
    double v = GetValue();
    FSpaceAfterPrefix = Value;
    SetValueEx(v, tcrProperty);
}

void TTxSpinValue::SetSpaceBeforePostfix(bool Value) {
    if (Value == FSpaceBeforePostfix) return;
    double v = GetValue();
    FSpaceBeforePostfix = Value;
    SetValueEx(v, tcrProperty);
}

void TTxSpinValue::SetPrefix(const std::string& Value) {
    ValidateUnitText(Value, FValueType == evtHex, SInvalidPrefix);
    if (Value == FPrefix) return;
    double v = GetValue();
    FPrefix = Value;
    SetValueEx(v, tcrProperty);
}

void TTxSpinValue::SetPostfix(const std::string& Value) {
    ValidateUnitText(Value, FValueType == evtHex, SInvalidPostfix);
    if (Value == FPostfix) return;
    double v = GetValue();
    FPostfix = Value;
    SetValueEx(v, tcrProperty);
}

void TTxSpinValue::SetValueType(TSEValueType Value) {
    if (Value == FValueType) return;
    if (Value == evtHex) {
        // Letters A-F in the units would make the item's own text unreadable.
        if (HasHexLetter(FPrefix)) throw gcl::EPropertyError(SInvalidPrefix);
        if (HasHexLetter(FPostfix)) throw gcl::EPropertyError(SInvalidPostfix);
    }
    double v = GetValue();
    FValueType = Value;
    SetValueEx(v, tcrProperty);
    if (Value != evtFloat) FIncrement = gcl::Max(1.0, std::nearbyint(FIncrement));
}

// ---- The value ---------------------------------------------------------------------

void TTxSpinValue::ApplyText(const std::string& Text, int) { FText = Text; }

double TTxSpinValue::GetValue() {
    double v = 0;
    return TextToValue(FText, v) ? v : FLastValue;
}

void TTxSpinValue::SetValueEx(double V, int Reason) {
    if (std::isnan(V)) V = 0;
    ApplyText(GetValueText(V), Reason);
    // The value shown is the clipped one; that is what changes and is reported.
    const double clipped = ClipValue(V);
    if (clipped != FLastValue) {
        FLastValue = clipped;
        DoValueChange(clipped);
    }
}

int TTxSpinValue::GetIntValue() { return gcl::Round(GetValue()); }

bool TTxSpinValue::AcceptText(std::string& NewText) {
    double v = 0;
    if (!TextToValue(NewText, v)) return false;
    NewText = GetValueText(v);
    return true;
}

void TTxSpinValue::Step(int Direction) {
    const double old = GetValue();
    double value = StepValue(old, Direction);
    DoStep(Direction, old, value);
    SetValueEx(value, tcrStep);
}

// ---- The rules -----------------------------------------------------------------------

double TTxSpinValue::ClipValue(double V) const noexcept {
    if (FMinValue != FMaxValue) {
        if (V < FMinValue) return FMinValue;
        if (V > FMaxValue) return FMaxValue;
    }
    return V;
}

double TTxSpinValue::StepValue(double V, int Direction) {
    if (!FSnap) return Direction > 0 ? V + FIncrement : V - FIncrement;
    // Onto the next multiple of Increment; the tolerance is on the quotient,
    // so it does not grow with Increment.
    const double q = V / FIncrement;
    return (Direction > 0 ? std::floor(q + 1 + 1e-4) : std::ceil(q - 1 - 1e-4)) * FIncrement;
}

std::string TTxSpinValue::GetValueText(double V) {
    V = ClipValue(V);
    if (!std::isfinite(V)) V = std::isnan(V) ? 0 : (V > 0 ? Limit64 : -Limit64);
    std::string number;
    switch (FValueType) {
    case evtInteger: number = std::to_string(RoundToInt64(V)); break;
    case evtHex: {
        const int64_t r = RoundToInt64(V);
        uint64_t magnitude = r < 0 ? uint64_t(0) - static_cast<uint64_t>(r) : static_cast<uint64_t>(r);
        do {
            number.insert(number.begin(), "0123456789ABCDEF"[magnitude % 16]);
            magnitude /= 16;
        } while (magnitude);
        if (r < 0) number.insert(number.begin(), '-');
        break;
    }
    case evtFloat: number = gcl::FloatToStrF(V, gcl::TFloatFormat::ffFixed, 15, FDecimal); break;
    }
    std::string text = number;
    if (!FPrefix.empty()) text = FPrefix + (FSpaceAfterPrefix ? " " : "") + text;
    if (!FPostfix.empty()) text += (FSpaceBeforePostfix ? " " : "") + FPostfix;
    DoValueToText(V, text);
    return text;
}

bool TTxSpinValue::ReadOperand(const std::string& s, size_t& i, double& V) {
    const bool hex = FValueType == evtHex;
    const size_t n = s.size();
    size_t start = i;
    while (i < n && !IsStop(s[i], hex)) ++i;
    const std::string prefix = s.substr(start, i - start);
    SkipBlanks(s, i);   // the item's own text may have a blank after the prefix

    if (hex) {
        if (i >= n || HexDigit(s[i]) < 0) return false;
        uint64_t value = 0;
        int digits = 0;
        for (; i < n && HexDigit(s[i]) >= 0; ++i) {
            if (++digits > 16) return false;
            value = value * 16 + static_cast<uint64_t>(HexDigit(s[i]));
        }
        V = static_cast<double>(value);
    } else {
        const char separator = gcl::FormatSettings().DecimalSeparator;
        std::string number;
        int digits = 0;
        if (FValueType == evtInteger && (i >= n || !IsDigit(s[i]))) return false;
        for (; i < n && IsDigit(s[i]); ++i, ++digits) number += s[i];
        if (FValueType == evtFloat && i < n && s[i] == separator) {
            number += separator;
            for (++i; i < n && IsDigit(s[i]); ++i, ++digits) number += s[i];
        }
        if (digits == 0) return false;
        if (FValueType == evtFloat && i + 1 < n && (s[i] == 'E' || s[i] == 'e') &&
            (s[i + 1] == '+' || s[i + 1] == '-' || IsDigit(s[i + 1]))) {
            size_t j = i + 1;
            bool negative = false;
            if (s[j] == '+' || s[j] == '-') negative = s[j++] == '-';
            if (j >= n || !IsDigit(s[j])) return false;
            int exponent = 0;
            for (; j < n && IsDigit(s[j]); ++j) {
                exponent = exponent * 10 + (s[j] - '0');
                if (exponent >= 5000) return false;
            }
            number += negative ? "E-" : "E";
            number += std::to_string(exponent);
            i = j;
        }
        // Fails when the value overflows: no infinity gets through.
        if (number.front() == separator) number.insert(number.begin(), '0');
        if (!gcl::TryStrToFloat(number, V)) return false;
    }
    SkipBlanks(s, i);
    start = i;
    while (i < n && !IsStop(s[i], hex)) ++i;
    const std::string postfix = s.substr(start, i - start);
    SkipBlanks(s, i);
    return DoConvert(prefix, postfix, V) && std::isfinite(V);
}

bool TTxSpinValue::TextToValue(const std::string& AText, double& V) {
    double value = 0;
    if (DoTextToValue(AText, value)) {
        if (!std::isfinite(value)) return false;
        V = value;
        return true;
    }
    if (AText.empty()) return false;
    size_t i = 0;
    SkipBlanks(AText, i);
    bool negative = false;
    if (i < AText.size() && (AText[i] == '-' || AText[i] == '+')) {
        negative = AText[i] == '-';
        ++i;
        SkipBlanks(AText, i);
    }
    if (!ReadOperand(AText, i, value)) return false;
    if (negative) value = -value;
    if (i < AText.size()) {
        const char op = AText[i];
        if (op != '*' && op != '+' && op != '-' && op != '/') return false;
        ++i;
        SkipBlanks(AText, i);
        double second = 0;
        if (!ReadOperand(AText, i, second) || i < AText.size()) return false;
        switch (op) {
        case '*': value *= second; break;
        case '+': value += second; break;
        case '-': value -= second; break;
        default:
            if (second == 0) return false;
            value /= second;
            break;
        }
    }
    if (!std::isfinite(value)) return false;
    if (FValueType != evtFloat && (value > Limit64 || value < -Limit64)) return false;
    V = value;
    return true;
}

} // namespace qelvo
