// Small pieces the database's sources share (the task file, the filter and
// the Pendrillax export): splitting a text into lines as TStrings does,
// appending a number, trimming, A-Z folding and comparing short texts.
// Internal to the data unit's sources.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace qelvo {

// Lines of Text as TStrings splits them (CR LF, CR or LF; a break at the
// very end adds no empty line), each passed to F.
template <class F>
void ForEachLine(std::string_view text, F&& f) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        size_t j = i;
        while (j < n && text[j] != '\r' && text[j] != '\n') ++j;
        f(text.substr(i, j - i));
        if (j < n) j += (text[j] == '\r' && j + 1 < n && text[j + 1] == '\n') ? 2 : 1;
        i = j;
    }
}

inline void AppendInt(std::string& out, int value) {
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

inline bool IsBlank(char c) noexcept {
    return static_cast<unsigned char>(c) <= 0x20;
}

// The bytes From to To (From <= To <= V's size) of V, unchecked, for the
// paths that run once per task line.
inline std::string_view Slice(std::string_view v, size_t from, size_t to) noexcept {
    return std::string_view(v.data() + from, to - from);
}

// A-Z folded to a-z, as a table (the filter folds every title byte).
struct TFoldTable {
    unsigned char Of[256] = {};
    constexpr TFoldTable() {
        for (int c = 0; c < 256; ++c) Of[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
};
constexpr TFoldTable FoldTable;

inline unsigned char FoldAZ(char c) noexcept {
    return FoldTable.Of[static_cast<unsigned char>(c)];
}

// Trim's rule (bytes <= 0x20 off both ends) on a view, for the paths that
// run once per task line and should not copy.
inline std::string_view TrimmedRange(std::string_view v) noexcept {
    size_t b = 0, e = v.size();
    while (b < e && IsBlank(v[b])) ++b;
    while (e > b && IsBlank(v[e - 1])) --e;
    return Slice(v, b, e);
}

// String equality for the short operand texts the filter checks for every
// task: eight bytes at a time, cheaper than a library call at these
// lengths.
inline bool SameText(const std::string& a, const std::string& b) noexcept {
    size_t n = a.size();
    if (n != b.size()) return false;
    const char* p = a.data();
    const char* q = b.data();
    for (; n >= 8; n -= 8, p += 8, q += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, p, 8);
        std::memcpy(&y, q, 8);
        if (x != y) return false;
    }
    for (; n > 0; --n, ++p, ++q)
        if (*p != *q) return false;
    return true;
}

} // namespace qelvo
