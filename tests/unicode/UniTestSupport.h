// Helpers the tests of the Unicode layer share: a wide window's text, a
// wide list's lines, an owner that frees a component, the 9x system the
// layer's 8-bit branches are tested on.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <string>
#include <vector>

#include "gcl/rtl/Objects.h"
#include "gcl/rtl/SysInfo.h"
#include "support/StringHelpers.h"
#include "unicode/UniWideStrings.h"

namespace qelvo::test {

// A window's text read through the wide message (up to 255 characters).
inline std::wstring TextOf(HWND handle) {
    wchar_t buffer[256] = {};
    LRESULT n = SendMessageW(handle, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
    return std::wstring(buffer, static_cast<size_t>(n));
}

// A wide string list's entries, in order.
inline std::vector<std::wstring> Lines(const TWideStrings& list) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < list.GetCount(); ++i) lines.push_back(list.Get(i));
    return lines;
}

// Frees a component at the end of a scope.
template <class T>
struct TOwned {
    T* P;
    explicit TOwned(T* p) : P(p) {}
    ~TOwned() { gcl::Free(P); }
    T* operator->() const { return P; }
    T* Get() const { return P; }
};

inline const gcl::TOSVersionInfo Windows98{gcl::PlatformWin32Windows, 4, 10, 2222};

} // namespace qelvo::test
