#include "gcl/rtl/WinApi.h"

#include "unicode/UniWindows.h"

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "gcl/rtl/Strings.h"
#include "unicode/UniSysUtils.h"
#include "unicode/UniSystem.h"

namespace qelvo {

namespace {

std::string ToAnsiOrEmpty(LPCWSTR s) { return s ? gcl::WideToAnsi(std::wstring(s)) : std::string(); }

// Converts Ansi into the wide array Dest of DestSize characters, cut to
// fit, always terminated.
void AnsiToField(const char* ansi, wchar_t* dest, size_t destSize) {
    std::wstring w = gcl::AnsiToWide(std::string(ansi));
    size_t n = w.size() < destSize ? w.size() : destSize - 1;
    std::memcpy(dest, w.data(), n * sizeof(wchar_t));
    dest[n] = 0;
}

// The one-character case rule of the 9x branch.
wchar_t MapCharAnsi(wchar_t c, bool upper) {
    if (!IsWideCharMappableToAnsi(c)) return c;
    std::string a = WideStringToStringEx(std::wstring(1, c), DefaultSystemCodePage);
    if (a.empty()) return c;
    if (upper)
        CharUpperBuffA(a.data(), static_cast<DWORD>(a.size()));
    else
        CharLowerBuffA(a.data(), static_cast<DWORD>(a.size()));
    std::wstring back = StringToWideStringEx(a, DefaultSystemCodePage);
    return back.size() == 1 ? back[0] : c;
}

LPWSTR MapStrAnsi(LPWSTR str, bool upper) {
    if ((reinterpret_cast<uintptr_t>(str) >> 16) == 0) {
        wchar_t c = static_cast<wchar_t>(reinterpret_cast<uintptr_t>(str) & 0xFFFF);
        return reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(static_cast<uint16_t>(MapCharAnsi(c, upper))));
    }
    for (wchar_t* p = str; *p; ++p) *p = MapCharAnsi(*p, upper);
    return str;
}

DWORD MapBuffAnsi(LPWSTR str, DWORD length, bool upper) {
    for (DWORD i = 0; i < length; ++i) str[i] = MapCharAnsi(str[i], upper);
    return length;
}

size_t CountedLength(LPCWSTR s, int count) {
    if (!s) return 0;
    if (count < 0) return std::wcslen(s);
    return static_cast<size_t>(count);
}

// Puts back the error code recorded in Code when it goes, so that the
// temporary texts of a 9x call, released after it, cannot change what the
// caller reads from GetLastError.
struct TLastErrorKeeper {
    DWORD Code = 0;
    ~TLastErrorKeeper() { SetLastError(Code); }
};

} // namespace

BOOL Uni_SetWindowTextW(HWND wnd, LPCWSTR text) {
    if (UnicodePlatform) return SetWindowTextW(wnd, text);
    TLastErrorKeeper keep;
    std::string a = ToAnsiOrEmpty(text);
    BOOL result = SetWindowTextA(wnd, a.c_str());
    keep.Code = GetLastError();
    return result;
}

HANDLE Uni_CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                       LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                       DWORD flagsAndAttributes, HANDLE templateFile) {
    if (UnicodePlatform)
        return CreateFileW(fileName, desiredAccess, shareMode, securityAttributes, creationDisposition,
                           flagsAndAttributes, templateFile);
    TLastErrorKeeper keep;
    std::string a = ToAnsiOrEmpty(fileName);
    HANDLE h = CreateFileA(a.c_str(), desiredAccess, shareMode, securityAttributes, creationDisposition,
                           flagsAndAttributes, templateFile);
    keep.Code = GetLastError();
    return h;
}

HANDLE Uni_FindFirstFileW(LPCWSTR fileName, WIN32_FIND_DATAW* findData) {
    if (UnicodePlatform) return FindFirstFileW(fileName, findData);
    TLastErrorKeeper keep;
    std::string a = ToAnsiOrEmpty(fileName);
    WIN32_FIND_DATAA ansi{};
    HANDLE h = FindFirstFileA(a.c_str(), &ansi);
    keep.Code = GetLastError();
    if (h != INVALID_HANDLE_VALUE) {
        // Attributes, the three times and the sizes: the 44 bytes that both
        // records begin with.
        static_assert(offsetof(WIN32_FIND_DATAA, cFileName) == 44 && offsetof(WIN32_FIND_DATAW, cFileName) == 44);
        std::memcpy(findData, &ansi, 44);
        ansi.cFileName[MAX_PATH - 1] = 0;
        ansi.cAlternateFileName[13] = 0;
        AnsiToField(ansi.cFileName, findData->cFileName, MAX_PATH);
        AnsiToField(ansi.cAlternateFileName, findData->cAlternateFileName, 14);
    }
    return h;
}

DWORD Uni_GetFileAttributesW(LPCWSTR fileName) {
    if (UnicodePlatform) return GetFileAttributesW(fileName);
    TLastErrorKeeper keep;
    std::string a = ToAnsiOrEmpty(fileName);
    DWORD result = GetFileAttributesA(a.c_str());
    keep.Code = GetLastError();
    return result;
}

DWORD Uni_GetFullPathNameW(LPCWSTR fileName, DWORD bufferLength, LPWSTR buffer, LPWSTR* filePart) {
    if (UnicodePlatform) return GetFullPathNameW(fileName, bufferLength, buffer, filePart);
    if (filePart) *filePart = nullptr;
    TLastErrorKeeper keep;
    std::string a = ToAnsiOrEmpty(fileName);
    // The ANSI result goes into a buffer sized in bytes; a longer path is
    // fetched again into a buffer of the size the system asks for.
    std::vector<char> ansi(520);
    char* ansiPart = nullptr;
    DWORD n = GetFullPathNameA(a.c_str(), static_cast<DWORD>(ansi.size()), ansi.data(), &ansiPart);
    keep.Code = GetLastError();
    if (n >= ansi.size()) {
        ansi.assign(n + 1, 0);
        ansiPart = nullptr;
        n = GetFullPathNameA(a.c_str(), static_cast<DWORD>(ansi.size()), ansi.data(), &ansiPart);
        keep.Code = GetLastError();
        if (n >= ansi.size()) return 0;
    }
    if (n == 0) return 0;
    std::wstring result = gcl::AnsiToWide(std::string(ansi.data(), n));
    if (result.size() >= bufferLength || !buffer) {
        if (buffer && bufferLength > 0) buffer[0] = 0;
        return static_cast<DWORD>(result.size() + 1);
    }
    std::memcpy(buffer, result.data(), result.size() * sizeof(wchar_t));
    buffer[result.size()] = 0;
    if (filePart && ansiPart && ansiPart >= ansi.data() && ansiPart < ansi.data() + n) {
        size_t prefix = gcl::AnsiToWide(std::string(ansi.data(), static_cast<size_t>(ansiPart - ansi.data()))).size();
        *filePart = buffer + prefix;
    }
    return static_cast<DWORD>(result.size());
}

int WideDrawText(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format) {
    format &= ~static_cast<UINT>(DT_MODIFYSTRING);
    if (UnicodePlatform) return DrawTextW(dc, text, count, rect, format);
    std::string a = gcl::WideToAnsi(std::wstring(text, CountedLength(text, count)));
    return DrawTextA(dc, a.c_str(), -1, rect, format);
}

int WideCompareString(LCID locale, DWORD flags, LPCWSTR s1, int count1, LPCWSTR s2, int count2) {
    if (UnicodePlatform) return CompareStringW(locale, flags, s1, count1, s2, count2);
    std::wstring w1(s1, CountedLength(s1, count1));
    std::wstring w2(s2, CountedLength(s2, count2));
    if (flags != 0) {
        std::string a1 = gcl::WideToAnsi(w1);
        std::string a2 = gcl::WideToAnsi(w2);
        return CompareStringA(locale, flags, a1.data(), static_cast<int>(a1.size()), a2.data(),
                              static_cast<int>(a2.size()));
    }
    int c = w1.compare(w2);
    return c < 0 ? CSTR_LESS_THAN : (c == 0 ? CSTR_EQUAL : CSTR_GREATER_THAN);
}

LPWSTR Uni_CharUpperW(LPWSTR str) {
    if (UnicodePlatform) return CharUpperW(str);
    return MapStrAnsi(str, true);
}

LPWSTR Uni_CharLowerW(LPWSTR str) {
    if (UnicodePlatform) return CharLowerW(str);
    return MapStrAnsi(str, false);
}

DWORD Uni_CharUpperBuffW(LPWSTR str, DWORD length) {
    if (UnicodePlatform) return CharUpperBuffW(str, length);
    return MapBuffAnsi(str, length, true);
}

DWORD Uni_CharLowerBuffW(LPWSTR str, DWORD length) {
    if (UnicodePlatform) return CharLowerBuffW(str, length);
    return MapBuffAnsi(str, length, false);
}

int Uni_LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax) {
    if (UnicodePlatform) return LoadStringW(instance, id, buffer, bufferMax);
    HRSRC info = FindResourceA(instance, MAKEINTRESOURCEA((id >> 4) + 1), MAKEINTRESOURCEA(6));
    if (!info) return 0;
    HGLOBAL res = LoadResource(instance, info);
    if (!res) return 0;
    const auto* p = static_cast<const uint8_t*>(LockResource(res));
    if (!p) return 0;
    // Every length is checked against the block's size: a damaged table
    // reads as a missing entry.
    const size_t size = SizeofResource(instance, info);
    size_t pos = 0;
    auto readLength = [&](size_t& length) {
        if (size - pos < 2) return false;
        length = static_cast<size_t>(p[pos] | p[pos + 1] << 8);
        pos += 2;
        return size - pos >= length * 2;
    };
    size_t length = 0;
    for (UINT skip = id & 15; skip > 0; --skip) {
        if (!readLength(length)) return 0;
        pos += length * 2;
    }
    if (!readLength(length)) return 0;
    if (!buffer || bufferMax < 1) return static_cast<int>(length);
    size_t n = length < static_cast<size_t>(bufferMax - 1) ? length : static_cast<size_t>(bufferMax - 1);
    std::memcpy(buffer, p + pos, n * sizeof(wchar_t));
    buffer[n] = 0;
    return static_cast<int>(n);
}

} // namespace qelvo
