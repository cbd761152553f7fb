#include "gcl/rtl/WinApi.h"

#include "unicode/UniSysUtils.h"

#include <vector>

#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"
#include "unicode/UniSystem.h"
#include "unicode/UniWindows.h"

namespace qelvo {

TUniPlatformFlag::operator bool() const {
    gcl::TOSVersionInfo v = gcl::OSVersion->GetVersion();
    return FTest(v.Platform, v.MajorVersion, v.MinorVersion);
}

const TUniPlatformFlag UnicodePlatform{[](int platform, int, int) { return platform == gcl::PlatformWin32NT; }};
const TUniPlatformFlag Win32PlatformIsXP{
    [](int, int major, int minor) { return (major == 5 && minor >= 1) || major >= 6; }};
const TUniPlatformFlag Win32PlatformIs2003{
    [](int, int major, int minor) { return (major == 5 && minor >= 2) || major >= 6; }};
const TUniPlatformFlag Win32PlatformIsVista{[](int, int major, int) { return major >= 6; }};

bool IsFarEastLocale() {
    switch (PRIMARYLANGID(LANGIDFROMLCID(GetSystemDefaultLCID()))) {
    case LANG_CHINESE:
    case LANG_JAPANESE:
    case LANG_KOREAN:
        return true;
    default:
        return false;
    }
}

namespace {

std::wstring MapCase(const std::wstring& s, bool upper) {
    std::wstring r(s);
    if (r.empty()) return r;
    if (upper)
        Uni_CharUpperBuffW(r.data(), static_cast<DWORD>(r.size()));
    else
        Uni_CharLowerBuffW(r.data(), static_cast<DWORD>(r.size()));
    return r;
}

gcl::THandle ToTHandle(HANDLE h) {
    return h == INVALID_HANDLE_VALUE ? gcl::InvalidHandle : reinterpret_cast<gcl::THandle>(h);
}

std::wstring TrimControls(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && s[b] < 33) ++b;
    while (e > b && s[e - 1] < 33) --e;
    return s.substr(b, e - b);
}

} // namespace

std::wstring WideUpperCase(const std::wstring& s) { return MapCase(s, true); }

std::wstring WideLowerCase(const std::wstring& s) { return MapCase(s, false); }

std::wstring WideIncludeTrailingPathDelimiter(const std::wstring& s) {
    if (!s.empty() && s.back() == L'\\') return s;
    return s + L'\\';
}

bool WideIsPathDelimiter(const std::wstring& s, int index) {
    return index >= 1 && static_cast<size_t>(index) <= s.size() && s[static_cast<size_t>(index) - 1] == L'\\';
}

std::wstring WideExpandFileName(const std::wstring& fileName) {
    std::vector<wchar_t> buffer(MAX_PATH);
    LPWSTR part = nullptr;
    DWORD n = Uni_GetFullPathNameW(fileName.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), &part);
    if (n >= buffer.size()) {
        // Longer than the usual limit: ask again with the size it needs.
        buffer.assign(n + 1, 0);
        n = Uni_GetFullPathNameW(fileName.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), &part);
        if (n >= buffer.size()) n = 0;
    }
    return std::wstring(buffer.data(), n);
}

gcl::THandle WideFileCreate(const std::wstring& fileName) {
    return ToTHandle(Uni_CreateFileW(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
}

gcl::THandle WideFileOpen(const std::wstring& fileName, uint32_t mode) {
    static const DWORD access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    static const DWORD share[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
    unsigned a = mode & 3, s = (mode & 0xF0) >> 4;
    if (a > 2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return gcl::InvalidHandle;
    }
    DWORD shareMode = s <= 4 ? share[s] : 0;
    return ToTHandle(Uni_CreateFileW(fileName.c_str(), access[a], shareMode, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
}

uint32_t WideFileGetAttr(const std::wstring& fileName) { return Uni_GetFileAttributesW(fileName.c_str()); }

bool WideDirectoryExists(const std::wstring& name) {
    DWORD attr = WideFileGetAttr(name);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool WideFileExists(const std::wstring& name) {
    WIN32_FIND_DATAW data{};
    HANDLE h = Uni_FindFirstFileW(name.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring WideSysErrorMessage(unsigned long errorCode) { return WideLibraryErrorMessage("system", nullptr, errorCode); }

std::wstring WideLibraryErrorMessage(const std::string& libName, void* dll, unsigned long errorCode) {
    DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY;
    if (dll) flags |= FORMAT_MESSAGE_FROM_HMODULE;
    std::wstring text;
    if (UnicodePlatform) {
        wchar_t buffer[256];
        DWORD n = FormatMessageW(flags, dll, errorCode, 0, buffer, 256, nullptr);
        if (n > 0 && n < 256) {
            text.assign(buffer, n);
        } else if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            // A text longer than the buffer is fetched whole.
            wchar_t* allocated = nullptr;
            n = FormatMessageW(flags | FORMAT_MESSAGE_ALLOCATE_BUFFER, dll, errorCode, 0,
                               reinterpret_cast<LPWSTR>(&allocated), 0, nullptr);
            if (n > 0 && allocated) text.assign(allocated, n);
            if (allocated) LocalFree(allocated);
        }
    } else {
        char buffer[256];
        DWORD n = FormatMessageA(flags, dll, errorCode, 0, buffer, 256, nullptr);
        if (n > 0 && n < 256) {
            text = StringToWideStringEx(std::string(buffer, n), DefaultSystemCodePage);
        } else if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            char* allocated = nullptr;
            n = FormatMessageA(flags | FORMAT_MESSAGE_ALLOCATE_BUFFER, dll, errorCode, 0,
                               reinterpret_cast<LPSTR>(&allocated), 0, nullptr);
            if (n > 0 && allocated) text = StringToWideStringEx(std::string(allocated, n), DefaultSystemCodePage);
            if (allocated) LocalFree(allocated);
        }
    }
    text = TrimControls(text);
    if (text.empty())
        text = gcl::AnsiToWide(gcl::Format(msg::UnspecifiedError, {static_cast<int64_t>(errorCode), libName}));
    return text;
}

bool IsWideCharMappableToAnsi(wchar_t wc) {
    const unsigned codePage = DefaultSystemCodePage;
    char buffer[8];
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(codePage, 0, &wc, 1, buffer, sizeof buffer, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    // A "best fit" stand-in (Greek alpha written as "a") is no ANSI form of
    // the character: it must come back as itself.
    wchar_t back[4];
    int m = MultiByteToWideChar(codePage, 0, buffer, n, back, 4);
    return m == 1 && back[0] == wc;
}

} // namespace qelvo
