// Small pieces the database's file writers share (the task file and the
// Pendrillax export): splitting a text into lines as TStrings does and
// appending a number. Internal to the data unit's sources.
#pragma once

#include <charconv>
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

} // namespace qelvo
