// Windows locale pieces of Strings.h: the user's code page and collation.
#include "gcl/rtl/Strings.h"

#include "gcl/rtl/WinApi.h"

#include <climits>

#include "gcl/rtl/Exceptions.h"

static_assert(sizeof(wchar_t) == 2, "WideString holds UTF-16 code units");

namespace gcl {

namespace {

int Len(size_t n) { return n > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n); }

int CompareA(const std::string& a, const std::string& b, DWORD flags) {
    int r = CompareStringA(LOCALE_USER_DEFAULT, flags, a.data(), Len(a.size()), b.data(), Len(b.size()));
    return r == 0 ? CompareStr(a, b) : r - CSTR_EQUAL;
}

int CompareW(const std::wstring& a, const std::wstring& b, DWORD flags) {
    int r = CompareStringW(LOCALE_USER_DEFAULT, flags, a.data(), Len(a.size()), b.data(), Len(b.size()));
    if (r != 0) return r - CSTR_EQUAL;
    return a < b ? -1 : (b < a ? 1 : 0);
}

[[noreturn]] void RaiseCodePage(unsigned codePage) {
    throw EConvertError(Format(msg::UnsupportedCodePage, {codePage}));
}

} // namespace

std::string AnsiUpperCase(const std::string& s) {
    std::string r(s);
    if (!r.empty()) CharUpperBuffA(r.data(), static_cast<DWORD>(r.size()));
    return r;
}

std::string AnsiLowerCase(const std::string& s) {
    std::string r(s);
    if (!r.empty()) CharLowerBuffA(r.data(), static_cast<DWORD>(r.size()));
    return r;
}

int AnsiCompareText(const std::string& a, const std::string& b) { return CompareA(a, b, NORM_IGNORECASE); }

int AnsiCompareStr(const std::string& a, const std::string& b) { return CompareA(a, b, 0); }

bool IsLeadByte(char c) { return IsDBCSLeadByte(static_cast<BYTE>(c)) != FALSE; }

unsigned AnsiCodePage() { return GetACP(); }

std::wstring AnsiToWide(const std::string& s, unsigned codePage) {
    if (s.empty()) return std::wstring();
    int n = MultiByteToWideChar(codePage, 0, s.data(), Len(s.size()), nullptr, 0);
    if (n <= 0) RaiseCodePage(codePage);
    std::wstring r(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, s.data(), Len(s.size()), r.data(), n);
    return r;
}

std::string WideToAnsi(const std::wstring& ws, unsigned codePage) {
    if (ws.empty()) return std::string();
    int n = WideCharToMultiByte(codePage, 0, ws.data(), Len(ws.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) RaiseCodePage(codePage);
    std::string r(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, ws.data(), Len(ws.size()), r.data(), n, nullptr, nullptr);
    return r;
}

int WideCompareText(const std::wstring& a, const std::wstring& b) { return CompareW(a, b, NORM_IGNORECASE); }

int WideCompareStr(const std::wstring& a, const std::wstring& b) { return CompareW(a, b, 0); }

} // namespace gcl
