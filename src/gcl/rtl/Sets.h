// Named enumerations and sets over them.
//
// GCL_ENUM declares an unscoped enumeration whose ordinals run from 0 and
// records the names of its values, which streaming and the published
// property tables use:
//
//     GCL_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient)
//
// It may be used in any namespace; the names are found by argument-
// dependent lookup of GclEnumInfo(E*). Values may not be given explicit
// numbers.
//
// TSet<E> is a set of such an enumeration over a 32- or 64-bit mask;
// bit n is the value of ordinal n.
#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace gcl {

// The names of an enumeration's values, by ordinal.
struct TEnumInfo {
    std::string_view TypeName;
    const std::string_view* Names;
    int Count;

    // The name of ordinal value, or "" when out of range.
    std::string_view Name(int64_t value) const noexcept {
        return value >= 0 && value < Count ? Names[value] : std::string_view();
    }
    // The ordinal named name (case ignored), or -1.
    constexpr int Value(std::string_view name) const noexcept {
        for (int i = 0; i < Count; ++i)
            if (SameText(Names[i], name)) return i;
        return -1;
    }

private:
    static constexpr bool SameText(std::string_view a, std::string_view b) noexcept {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i) {
            char x = a[i], y = b[i];
            if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
            if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
            if (x != y) return false;
        }
        return true;
    }
};

namespace detail {

constexpr bool IsNameChar(char c) noexcept {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

constexpr int CountEnumNames(std::string_view list) noexcept {
    int count = 1;
    for (char c : list) {
        if (c == ',') ++count;
        if (c == '=') return -1;  // explicit values are not allowed
    }
    return count;
}

template <int N>
constexpr std::array<std::string_view, N> SplitEnumNames(std::string_view list) noexcept {
    std::array<std::string_view, N> names{};
    size_t pos = 0;
    for (int i = 0; i < N; ++i) {
        while (pos < list.size() && !IsNameChar(list[pos])) ++pos;
        size_t start = pos;
        while (pos < list.size() && IsNameChar(list[pos])) ++pos;
        names[i] = list.substr(start, pos - start);
    }
    return names;
}

} // namespace detail

#define GCL_ENUM(Name, ...)                                                                    \
    enum Name { __VA_ARGS__ };                                                                 \
    static_assert(::gcl::detail::CountEnumNames(#__VA_ARGS__) > 0,                            \
                  #Name ": enumeration values may not be given explicit numbers");             \
    inline constexpr auto GclEnumNames_##Name =                                                \
        ::gcl::detail::SplitEnumNames<::gcl::detail::CountEnumNames(#__VA_ARGS__)>(#__VA_ARGS__); \
    inline constexpr ::gcl::TEnumInfo GclEnumInfo_##Name{                                     \
        #Name, GclEnumNames_##Name.data(), static_cast<int>(GclEnumNames_##Name.size())};      \
    constexpr const ::gcl::TEnumInfo& GclEnumInfo(Name*) noexcept { return GclEnumInfo_##Name; }

// Booleans stream and publish as the enumeration (False, True).
inline constexpr std::string_view BooleanNames[] = {"False", "True"};
inline constexpr TEnumInfo BooleanInfo{"Boolean", BooleanNames, 2};
constexpr const TEnumInfo& GclEnumInfo(bool*) noexcept { return BooleanInfo; }

template <class E>
concept NamedEnum = requires(E* e) {
    { GclEnumInfo(e) } -> std::same_as<const TEnumInfo&>;
};

template <NamedEnum E>
constexpr const TEnumInfo& EnumInfo() noexcept {
    return GclEnumInfo(static_cast<E*>(nullptr));
}

template <NamedEnum E>
std::string GetEnumName(E value) {
    return std::string(EnumInfo<E>().Name(static_cast<int>(value)));
}

template <NamedEnum E>
class TSet {
public:
    static constexpr int Size = EnumInfo<E>().Count;
    static_assert(Size <= 64, "a set holds at most 64 values");
    using TMask = std::conditional_t<(Size <= 32), uint32_t, uint64_t>;
    static constexpr TMask FullMask = Size == int(sizeof(TMask) * 8) ? ~TMask(0) : (TMask(1) << Size) - 1;

    constexpr TSet() noexcept = default;
    constexpr TSet(std::initializer_list<E> items) noexcept {
        for (E e : items) Include(e);
    }
    // Bits beyond the enumeration are dropped.
    static constexpr TSet FromMask(uint64_t mask) noexcept {
        TSet s;
        s.FMask = static_cast<TMask>(mask) & FullMask;
        return s;
    }
    constexpr TMask Mask() const noexcept { return FMask; }

    constexpr TSet& Include(E e) noexcept { FMask |= Bit(e); return *this; }
    constexpr TSet& Exclude(E e) noexcept { FMask &= ~Bit(e); return *this; }
    constexpr bool Contains(E e) const noexcept { return (FMask & Bit(e)) != 0; }
    constexpr bool Empty() const noexcept { return FMask == 0; }

    friend constexpr TSet operator|(TSet a, TSet b) noexcept { return FromMask(a.FMask | b.FMask); }
    friend constexpr TSet operator&(TSet a, TSet b) noexcept { return FromMask(a.FMask & b.FMask); }
    friend constexpr TSet operator-(TSet a, TSet b) noexcept { return FromMask(a.FMask & ~b.FMask); }
    constexpr TSet& operator|=(TSet b) noexcept { FMask |= b.FMask; return *this; }
    constexpr TSet& operator&=(TSet b) noexcept { FMask &= b.FMask; return *this; }
    constexpr TSet& operator-=(TSet b) noexcept { FMask &= ~b.FMask; return *this; }
    friend constexpr bool operator==(TSet a, TSet b) noexcept = default;

private:
    // Out-of-range values give an empty bit, so they are never members.
    static constexpr TMask Bit(E e) noexcept {
        int n = static_cast<int>(e);
        return n >= 0 && n < Size ? TMask(TMask(1) << n) : TMask(0);
    }

    TMask FMask = 0;
};

// "[a,b]" from the value names, as sets are written in text form.
template <NamedEnum E>
std::string SetToString(TSet<E> set) {
    std::string result = "[";
    const TEnumInfo& info = EnumInfo<E>();
    for (int i = 0; i < info.Count; ++i) {
        if (!set.Contains(static_cast<E>(i))) continue;
        if (result.size() > 1) result += ',';
        result += info.Names[i];
    }
    return result + "]";
}

} // namespace gcl
