#include "gcl/rtl/Variants.h"

#include <climits>
#include <cmath>

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Maths.h"
#include "gcl/rtl/Strings.h"

namespace gcl {

namespace {

inline constexpr const char* InvalidVariantInteger = "Could not convert variant of type (%s) into type (Integer)";

const char* TypeName(TVarType t) {
    switch (t) {
    case TVarType::vtEmpty: return "Empty";
    case TVarType::vtInteger: return "Integer";
    case TVarType::vtDouble: return "Double";
    case TVarType::vtAnsiString: return "String";
    default: return "OleStr";
    }
}

} // namespace

std::string TVariant::ToAnsi() const {
    switch (GetType()) {
    case TVarType::vtInteger: return IntToStr(std::get<int64_t>(FValue));
    case TVarType::vtDouble: return FloatToStr(std::get<double>(FValue));
    case TVarType::vtAnsiString: return std::get<std::string>(FValue);
    case TVarType::vtWideString: return WideToAnsi(std::get<std::wstring>(FValue));
    default: return std::string();
    }
}

std::wstring TVariant::ToWide() const {
    switch (GetType()) {
    case TVarType::vtWideString: return std::get<std::wstring>(FValue);
    case TVarType::vtAnsiString: return AnsiToWide(std::get<std::string>(FValue));
    default: return AnsiToWide(ToAnsi());
    }
}

int TVariant::ToInt() const {
    switch (GetType()) {
    case TVarType::vtEmpty: return 0;
    case TVarType::vtInteger: {
        int64_t v = std::get<int64_t>(FValue);
        if (v < INT_MIN || v > INT_MAX) break;
        return static_cast<int>(v);
    }
    case TVarType::vtDouble: {
        double v = std::get<double>(FValue);
        if (!(v > static_cast<double>(INT_MIN) - 0.5 && v < static_cast<double>(INT_MAX) + 0.5)) break;
        return Round(v);
    }
    case TVarType::vtAnsiString: return StrToInt(std::get<std::string>(FValue));
    case TVarType::vtWideString: return StrToInt(WideToAnsi(std::get<std::wstring>(FValue)));
    }
    throw EConvertError(Format(InvalidVariantInteger, {TypeName(GetType())}));
}

bool TVariant::operator==(const TVariant& other) const {
    const TVarType a = GetType(), b = other.GetType();
    if (a == TVarType::vtEmpty || b == TVarType::vtEmpty) return a == b;
    const bool aText = a == TVarType::vtAnsiString || a == TVarType::vtWideString;
    const bool bText = b == TVarType::vtAnsiString || b == TVarType::vtWideString;
    if (aText && bText) {
        if (a == b) return FValue == other.FValue;
        return ToWide() == other.ToWide();
    }
    if (a == TVarType::vtInteger && b == TVarType::vtInteger)
        return std::get<int64_t>(FValue) == std::get<int64_t>(other.FValue);
    // At least one double, or a number against a text.
    auto number = [](const TVariant& v, double& out) {
        switch (v.GetType()) {
        case TVarType::vtInteger: out = static_cast<double>(std::get<int64_t>(v.FValue)); return true;
        case TVarType::vtDouble: out = std::get<double>(v.FValue); return true;
        default: return TryStrToFloat(Trim(v.ToAnsi()), out);
        }
    };
    double x, y;
    return number(*this, x) && number(other, y) && x == y;
}

} // namespace gcl
