// A small tagged value passed through event handlers and interfaces that
// hand over "any" cell or caption value: empty, integer, double, ANSI
// string or wide string. In-process only.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>

namespace gcl {

enum class TVarType { vtEmpty, vtInteger, vtDouble, vtAnsiString, vtWideString };

class TVariant {
public:
    TVariant() noexcept = default;
    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> &&
                                            !std::is_same_v<T, char> && !std::is_same_v<T, wchar_t>,
                                        int> = 0>
    TVariant(T value) : FValue(static_cast<int64_t>(value)) {}
    TVariant(double value) : FValue(value) {}
    TVariant(const char* s) : FValue(std::string(s ? s : "")) {}
    TVariant(std::string s) : FValue(std::move(s)) {}
    TVariant(const wchar_t* s) : FValue(std::wstring(s ? s : L"")) {}
    TVariant(std::wstring s) : FValue(std::move(s)) {}
    TVariant(bool) = delete;

    TVarType GetType() const noexcept { return static_cast<TVarType>(FValue.index()); }
    bool IsEmpty() const noexcept { return FValue.index() == 0; }
    void Clear() noexcept { FValue = std::monostate(); }

    // Text forms: empty gives "", numbers their decimal text (FloatToStr),
    // strings converted through the system code page.
    std::wstring ToWide() const;
    std::string ToAnsi() const;
    // Empty gives 0, a double its nearest integer (halves to even), a string
    // must hold an integer (StrToInt). EConvertError when the text is not an
    // integer or the value does not fit an int.
    int ToInt() const;

    // Empty equals only empty. Numbers compare by value, strings (ANSI or
    // wide) by their wide text exactly; a number equals a string when the
    // string reads as that number.
    bool operator==(const TVariant& other) const;

private:
    std::variant<std::monostate, int64_t, double, std::string, std::wstring> FValue;
};

} // namespace gcl
