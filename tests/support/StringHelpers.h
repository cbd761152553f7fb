// Small conversions the tests of several areas share (one definition for
// all: the unity build joins test files, so file-local copies would clash).
#pragma once

#include <string>
#include <vector>

#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Strings.h"

namespace qelvo::test {

// UTF-8 text (a source literal) as wide text.
inline std::wstring W(const std::string& utf8) { return gcl::Utf8Decode(utf8); }

// A string list's entries, in order.
inline std::vector<std::string> Items(const gcl::TStrings& s) {
    std::vector<std::string> r;
    for (int i = 0; i < s.GetCount(); ++i) r.push_back(s[i]);
    return r;
}

} // namespace qelvo::test
