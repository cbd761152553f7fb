// The wide-string runtime: UTF-7 and code-page conversions, resource
// strings, null-terminated buffers, the platform flags and the wide/ANSI
// wrappers on both Windows families (the 9x branch through an OS version
// override, since Wine reports the NT family).
#include "gcl/rtl/WinApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"
#include "support/TestEnvironment.h"
#include "unicode/UniSysUtils.h"
#include "unicode/UniSystem.h"
#include "unicode/UniWideStrUtils.h"
#include "unicode/UniWindows.h"
#include "unicode/UniTestSupport.h"

using namespace qelvo;

using qelvo::test::W;
using qelvo::test::Windows98;

namespace {

// Runs the scope as if on Windows 98.
class Win9x {
public:
    Win9x() : FVersion(Windows98), FUse(gcl::OSVersion, FVersion) {}

private:
    gcl::TFixedOSVersion FVersion;
    gcl::ServiceOverride<gcl::IOSVersion> FUse;
};

} // namespace

TEST(UniUtf7, EncodingMatrix) {
    struct Case {
        const wchar_t* Text;
        const char* Utf7;
    };
    const Case cases[] = {
        {L"", ""},
        {L"A+B", "A+-B"},                      // a lone plus sign
        {L"Hi Mom -\x263A-!", "Hi Mom -+Jjo--!"},  // a run before "-" is closed with "-"
        {L"\x65E5\x672C\x8A9E", "+ZeVnLIqe"},  // the end closes a run without "-"
        {L"A\x2262\x0391.", "A+ImIDkQ."},      // no "-" before a non-base64 character
        {L"\xE9", "+AOk"},
        {L"\xE9" L"a", "+AOk-a"},              // "-" before a base64 letter
        {L"\xE9 ", "+AOk "},
        {L"~\\", "+AH4AXA"},                   // ASCII that must be encoded
        {L"!#$%&*;<=>@[]^_`{|}\"", "!#$%&*;<=>@[]^_`{|}\""},  // optionally direct, written directly
        {L"a b\t\r\n'(),-./:?", "a b\t\r\n'(),-./:?"},
        {L"\xD834\xDD1E", "+2DTdHg"},          // a surrogate pair, unit by unit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Utf7);
        EXPECT_EQ(WideStringToUTF7(c.Text), c.Utf7);
        EXPECT_EQ(UTF7ToWideString(c.Utf7), c.Text);
        EXPECT_EQ(WideStringToStringEx(c.Text, 65000), c.Utf7);
        EXPECT_EQ(StringToWideStringEx(c.Utf7, 65000), c.Text);
    }
}

TEST(UniUtf7, DecodingMatrix) {
    struct Case {
        const char* Utf7;
        const wchar_t* Text;
    };
    const Case valid[] = {
        {"+-", L"+"},
        {"a+-+-b", L"a++b"},
        {"+ZeVnLIqe-", L"\x65E5\x672C\x8A9E"},  // "-" after a run is consumed
        {"+AOk--", L"\xE9-"},
        {"+AOk.+AOk", L"\xE9.\xE9"},
        {"+AAA-", L"\0"},
    };
    for (const Case& c : valid) {
        SCOPED_TRACE(c.Utf7);
        EXPECT_EQ(UTF7ToWideString(c.Utf7), std::wstring(c.Text, c.Text[0] ? std::wcslen(c.Text) : 1));
    }
    const char* invalid[] = {"\xE9", "ab\x80", "+AOl", "+", "+!", "+AOk-\xFF"};
    for (const char* s : invalid) {
        SCOPED_TRACE(s);
        try {
            UTF7ToWideString(s);
            ADD_FAILURE() << "accepted";
        } catch (const EUniGeneralError& e) {
            EXPECT_EQ(e.GetMessage(), "Invalid UTF7");
        }
    }
}

TEST(UniCodePages, ConversionsAtAnyCodePage) {
    const std::wstring greek = W("Ωμέγα");
    EXPECT_EQ(WideStringToStringEx(greek, 1253), "\xD9\xEC\xDD\xE3\xE1");
    EXPECT_EQ(StringToWideStringEx("\xD9\xEC\xDD\xE3\xE1", 1253), greek);
    EXPECT_EQ(StringToWideStringEx("Dansk \xE6\xF8\xE5", 1252), W("Dansk æøå"));
    EXPECT_EQ(WideStringToStringEx(W("汉字"), 1252), "??");
    const std::wstring mixed = W("汉字 𝄞 æ");
    EXPECT_EQ(WideStringToStringEx(mixed, 65001), "汉字 𝄞 æ");
    EXPECT_EQ(StringToWideStringEx("汉字 𝄞 æ", 65001), mixed);
    EXPECT_EQ(UTF8ToWideString(WideStringToUTF8(mixed)), mixed);
    EXPECT_EQ(StringToWideStringEx("abc", 4242), L"");  // no such code page
    EXPECT_EQ(StringToWideStringEx("", 1252), L"");

    EXPECT_EQ(LCIDToCodePage(0x0408), 1253u);  // Greek
    EXPECT_EQ(LCIDToCodePage(0x0406), 1252u);  // Danish
    EXPECT_EQ(LCIDToCodePage(0x0411), 932u);   // Japanese

    EXPECT_EQ(static_cast<unsigned>(DefaultSystemCodePage), 3u);  // the thread's ANSI code page
    EXPECT_EQ(StringToWideStringEx("\xE6", DefaultSystemCodePage), W("æ"));
    {
        Win9x win9x;
        EXPECT_EQ(GetDefaultCodePage(), LCIDToCodePage(GetThreadLocale()));
    }

    wchar_t buffer[] = L"\x0102\x4142";
    StrSwapByteOrder(buffer);
    EXPECT_EQ(std::wstring(buffer), L"\x0201\x4241");
}

TEST(UniResources, ResourceStrings) {
    // 8-bit texts addressed by the record.
    static const char utf8[] = "\xEF\xBB\xBF\xCE\xA9 \xE6\xB1\x89";
    static const char markOnly[] = "\xEF\xBB\xBF";
    static const char ansi[] = "Dansk \xE6";
    TResStringRec rec;
    rec.Identifier = reinterpret_cast<uintptr_t>(utf8);
    EXPECT_EQ(WideLoadResString(&rec), W("Ω 汉"));
    rec.Identifier = reinterpret_cast<uintptr_t>(markOnly);
    EXPECT_EQ(WideLoadResString(&rec), L"");
    rec.Identifier = reinterpret_cast<uintptr_t>(ansi);
    EXPECT_EQ(WideLoadResString(&rec), W("Dansk æ"));

    // String tables: the 9x reader must agree with LoadStringW entry by entry.
    HMODULE user32 = GetModuleHandleA("user32.dll");
    ASSERT_NE(user32, nullptr);
    int found = 0;
    for (UINT id = 0; id < 4096; ++id) {
        wchar_t nt[512], w9x[512];
        int n1 = Uni_LoadStringW(user32, id, nt, 512);
        int n2;
        {
            Win9x win9x;
            n2 = Uni_LoadStringW(user32, id, w9x, 512);
            if (n1 > 0) {
                EXPECT_EQ(Uni_LoadStringW(user32, id, nullptr, 0), n1) << id;
                wchar_t small[3];
                ASSERT_EQ(Uni_LoadStringW(user32, id, small, 3), std::min(n1, 2)) << id;
                EXPECT_EQ(std::wstring(small), std::wstring(nt, static_cast<size_t>(std::min(n1, 2))));
            }
        }
        ASSERT_EQ(n1, n2) << id;
        if (n1 > 0) {
            ++found;
            EXPECT_EQ(std::wstring(nt, n1), std::wstring(w9x, n2)) << id;
            void* module = user32;
            TResStringRec table{&module, id};
            EXPECT_EQ(WideLoadResString(&table), std::wstring(nt, n1));
        }
    }
    EXPECT_GT(found, 0);
}

TEST(UniWideStrUtils, NullTerminatedBuffers) {
    wchar_t* buffer = WStrAlloc(10);
    EXPECT_EQ(WStrBufSize(buffer), 24u);
    WStrCopy(buffer, L"abcdef");
    EXPECT_EQ(WStrLen(buffer), 6u);
    EXPECT_EQ(WStrEnd(buffer), buffer + 6);
    EXPECT_EQ(WStrScan(buffer, L'c'), buffer + 2);
    EXPECT_EQ(WStrScan(buffer, L'z'), nullptr);
    EXPECT_EQ(WStrScan(buffer, L'\0'), nullptr);
    WStrMove(buffer + 1, buffer, 6);  // overlapping
    buffer[7] = 0;
    EXPECT_EQ(std::wstring(buffer), L"aabcdef");
    WStrLCopy(buffer, L"0123456789xyz", 4);
    EXPECT_EQ(std::wstring(buffer), L"0123");
    WStrPCopy(buffer, W("Ωμ"));
    EXPECT_EQ(std::wstring(buffer), W("Ωμ"));

    wchar_t* copy = WStrNew(buffer);
    EXPECT_NE(copy, buffer);
    EXPECT_EQ(std::wstring(copy), W("Ωμ"));
    EXPECT_EQ(WStrBufSize(copy), 3u * 2 + 4);
    EXPECT_EQ(WStrNew(nullptr), nullptr);
    WStrDispose(copy);
    WStrDispose(buffer);
    WStrDispose(nullptr);
}

TEST(UniPlatform, FlagsFollowTheOSVersion) {
    EXPECT_TRUE(UnicodePlatform);  // Wine reports the NT family
    struct Case {
        gcl::TOSVersionInfo Version;
        bool Unicode, XP, Server2003, Vista;
    };
    const Case cases[] = {
        {{gcl::PlatformWin32Windows, 4, 10, 2222}, false, false, false, false},
        {{gcl::PlatformWin32NT, 5, 0, 2195}, true, false, false, false},
        {{gcl::PlatformWin32NT, 5, 1, 2600}, true, true, false, false},
        {{gcl::PlatformWin32NT, 5, 2, 3790}, true, true, true, false},
        {{gcl::PlatformWin32NT, 6, 0, 6000}, true, true, true, true},
    };
    for (const Case& c : cases) {
        gcl::TFixedOSVersion version(c.Version);
        gcl::ServiceOverride<gcl::IOSVersion> use(gcl::OSVersion, version);
        EXPECT_EQ(bool(UnicodePlatform), c.Unicode);
        EXPECT_EQ(bool(Win32PlatformIsXP), c.XP);
        EXPECT_EQ(bool(Win32PlatformIs2003), c.Server2003);
        EXPECT_EQ(bool(Win32PlatformIsVista), c.Vista);
    }
}

TEST(UniSysUtils, CaseAndComparisonOnBothFamilies) {
    EXPECT_EQ(WideUpperCase(W("æøå ωμέγα ÿ")), W("ÆØÅ ΩΜΈΓΑ Ÿ"));
    EXPECT_EQ(WideLowerCase(W("ÆØÅ ΩΜΈΓΑ Ÿ")), W("æøå ωμέγα ÿ"));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(Uni_CharUpperW(reinterpret_cast<LPWSTR>(uintptr_t(0x03C9)))), 0x03A9u);
    EXPECT_EQ(WideCompareString(LOCALE_USER_DEFAULT, NORM_IGNORECASE, L"ABC", -1, L"abc", -1), CSTR_EQUAL);
    {
        Win9x win9x;
        // Only characters of the ANSI code page change case on 9x; a
        // mapping that is not one character (none in 1252) is refused.
        EXPECT_EQ(WideUpperCase(W("æøå ωμέγα ÿ")), W("ÆØÅ ωμέγα Ÿ"));
        EXPECT_EQ(WideLowerCase(W("ÆØÅ ΩΜΈΓΑ Ÿ")), W("æøå ΩΜΈΓΑ ÿ"));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(Uni_CharUpperW(reinterpret_cast<LPWSTR>(uintptr_t(0x03C9)))), 0x03C9u);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(Uni_CharUpperW(reinterpret_cast<LPWSTR>(uintptr_t(0xE6)))), 0xC6u);
        wchar_t text[] = L"abc\x03C9";
        EXPECT_EQ(Uni_CharUpperW(text), text);
        EXPECT_EQ(std::wstring(text), L"ABC\x03C9");
        EXPECT_EQ(Uni_CharLowerBuffW(text, 2), 2u);
        EXPECT_EQ(std::wstring(text), L"abC\x03C9");

        // Flags 0: an ordinal comparison of the wide texts.
        EXPECT_EQ(WideCompareString(LOCALE_USER_DEFAULT, 0, L"abc", -1, L"abc", -1), 2);
        EXPECT_EQ(WideCompareString(LOCALE_USER_DEFAULT, 0, L"abc", -1, L"abd", -1), 1);
        EXPECT_EQ(WideCompareString(LOCALE_USER_DEFAULT, 0, L"b", 1, L"abc", 3), 3);
        EXPECT_EQ(WideCompareString(LOCALE_USER_DEFAULT, 0, L"abX", 2, L"abY", 2), 2);
        EXPECT_EQ(WideCompareString(LOCALE_USER_DEFAULT, NORM_IGNORECASE, L"ABC", -1, L"abc", -1), CSTR_EQUAL);
    }
    EXPECT_TRUE(IsWideCharMappableToAnsi(L'A'));
    EXPECT_TRUE(IsWideCharMappableToAnsi(0xE6));
    EXPECT_FALSE(IsWideCharMappableToAnsi(0x03C9));
}

TEST(UniSysUtils, PathsOnBothFamilies) {
    EXPECT_EQ(WideIncludeTrailingPathDelimiter(L""), L"\\");
    EXPECT_EQ(WideIncludeTrailingPathDelimiter(L"C:\\a\\"), L"C:\\a\\");
    EXPECT_EQ(WideIncludeTrailingPathDelimiter(L"C:\\a"), L"C:\\a\\");
    EXPECT_TRUE(WideIsPathDelimiter(L"a\\b", 2));
    EXPECT_FALSE(WideIsPathDelimiter(L"a\\b", 1));
    EXPECT_FALSE(WideIsPathDelimiter(L"a\\b", 0));
    EXPECT_FALSE(WideIsPathDelimiter(L"a\\", 3));

    const std::wstring longName = L"C:\\" + std::wstring(300, L'x') + L"\\..\\y";
    for (bool win9x : {false, true}) {
        SCOPED_TRACE(win9x ? "9x" : "NT");
        std::unique_ptr<Win9x> use(win9x ? new Win9x : nullptr);
        EXPECT_EQ(WideExpandFileName(L"C:\\a\\..\\b\\" + W("æble.txt")), L"C:\\b\\" + W("æble.txt"));
        if (!win9x) {
            // Longer than MAX_PATH (which the ANSI functions do not take):
            // returned whole.
            EXPECT_EQ(WideExpandFileName(longName), L"C:\\y");
            EXPECT_EQ(WideExpandFileName(L"C:\\" + std::wstring(300, L'z')), L"C:\\" + std::wstring(300, L'z'));
        }

        wchar_t buffer[32];
        LPWSTR part = nullptr;
        const std::wstring path = L"C:\\" + W("æø") + L"\\fil.txt";
        DWORD n = Uni_GetFullPathNameW(path.c_str(), 32, buffer, &part);
        EXPECT_EQ(n, path.size());
        EXPECT_EQ(std::wstring(buffer), path);
        EXPECT_EQ(part, buffer + 6);
        // Too small: the size needed, an empty buffer and no file part.
        wchar_t small[8] = L"garbage";
        n = Uni_GetFullPathNameW(path.c_str(), 8, small, &part);
        EXPECT_EQ(n, path.size() + 1);
        if (win9x) {
            EXPECT_EQ(small[0], L'\0');
            EXPECT_EQ(part, nullptr);
        }
    }
}

TEST(UniSysUtils, FilesOnBothFamilies) {
    qelvo::test::TempDir dir;
    const std::wstring folder = gcl::AnsiToWide(dir.Path());
    // NT: a name without any 8-bit form.
    const std::wstring wide = folder + W("ωμέγα 汉字.txt");
    gcl::THandle h = WideFileCreate(wide);
    ASSERT_NE(h, gcl::InvalidHandle);
    DWORD written = 0;
    WriteFile(reinterpret_cast<HANDLE>(h), "abc", 3, &written, nullptr);
    CloseHandle(reinterpret_cast<HANDLE>(h));
    EXPECT_TRUE(WideFileExists(wide));
    EXPECT_FALSE(WideDirectoryExists(wide));
    EXPECT_TRUE(WideDirectoryExists(folder));
    EXPECT_FALSE(WideFileExists(folder.substr(0, folder.size() - 1)));
    EXPECT_FALSE(WideFileExists(folder + L"missing"));
    EXPECT_FALSE(WideDirectoryExists(folder + L"missing"));
    EXPECT_EQ(WideFileGetAttr(folder + L"missing"), 0xFFFFFFFFu);

    // Sharing from bits 4-7; values the modes leave undefined share nothing.
    struct Case {
        uint32_t Mode;
        bool SecondRead, SecondWrite;
    };
    const Case cases[] = {
        {gcl::fmOpenRead | gcl::fmShareCompat, false, false},
        {gcl::fmOpenRead | gcl::fmShareExclusive, false, false},
        {gcl::fmOpenRead | gcl::fmShareDenyWrite, true, false},
        {gcl::fmOpenRead | gcl::fmShareDenyRead, false, true},
        {gcl::fmOpenRead | gcl::fmShareDenyNone, true, true},
        {gcl::fmOpenRead | 0x50, false, false},
        {gcl::fmOpenRead | 0xF0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Mode);
        gcl::THandle first = WideFileOpen(wide, c.Mode);
        ASSERT_NE(first, gcl::InvalidHandle);
        HANDLE r = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(r != INVALID_HANDLE_VALUE, c.SecondRead);
        if (r != INVALID_HANDLE_VALUE) CloseHandle(r);
        HANDLE w = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(w != INVALID_HANDLE_VALUE, c.SecondWrite);
        if (w != INVALID_HANDLE_VALUE) CloseHandle(w);
        CloseHandle(reinterpret_cast<HANDLE>(first));
    }
    EXPECT_EQ(WideFileOpen(wide, 3), gcl::InvalidHandle);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    // 9x: names go through the ANSI code page; the find record comes back wide.
    Win9x win9x;
    const std::wstring danish = folder + W("æble.txt");
    h = WideFileCreate(danish);
    ASSERT_NE(h, gcl::InvalidHandle);
    WriteFile(reinterpret_cast<HANDLE>(h), "12345", 5, &written, nullptr);
    CloseHandle(reinterpret_cast<HANDLE>(h));
    EXPECT_TRUE(WideFileExists(danish));
    WIN32_FIND_DATAW data{};
    HANDLE find = Uni_FindFirstFileW(danish.c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    FindClose(find);
    EXPECT_EQ(std::wstring(data.cFileName), W("æble.txt"));
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_TRUE(WideDirectoryExists(folder));
    EXPECT_FALSE(WideFileExists(folder + L"missing"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(UniSysUtils, ErrorTexts) {
    const std::wstring text = WideSysErrorMessage(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(text.empty());
    EXPECT_GT(text.front(), L' ');
    EXPECT_GT(text.back(), L' ');
    {
        Win9x win9x;
        EXPECT_EQ(WideSysErrorMessage(ERROR_FILE_NOT_FOUND), text);
        EXPECT_EQ(WideSysErrorMessage(99999), L"Unspecified error (99999) from system.");
    }
    EXPECT_EQ(WideSysErrorMessage(99999), L"Unspecified error (99999) from system.");
    EXPECT_EQ(WideLibraryErrorMessage("mylib", GetModuleHandleW(nullptr), 99999),
              L"Unspecified error (99999) from mylib.");

    EXPECT_EQ(Win32Check(7), 7);
    SetLastError(ERROR_ACCESS_DENIED);
    try {
        Win32Check(0);
        ADD_FAILURE() << "no error";
    } catch (const gcl::EOSError& e) {
        EXPECT_EQ(e.ErrorCode, static_cast<unsigned long>(ERROR_ACCESS_DENIED));
        EXPECT_EQ(e.GetMessage(), gcl::WideToAnsi(WideSysErrorMessage(ERROR_ACCESS_DENIED)));
    }
}

TEST(UniWindows, DrawTextAndWindowTextOnBothFamilies) {
    HDC dc = CreateCompatibleDC(nullptr);
    auto width = [&](LPCWSTR s, int n) {
        RECT r{0, 0, 0, 0};
        WideDrawText(dc, s, n, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        return r.right - r.left;
    };
    const int nt = width(L"WWWWWW", -1);
    EXPECT_GT(nt, 0);
    EXPECT_EQ(width(L"WWWWWWiii", 6), nt);
    {
        Win9x win9x;
        EXPECT_EQ(width(L"WWWWWW", -1), nt);
        EXPECT_EQ(width(L"WWWWWWiii", 6), nt);
    }
    DeleteDC(dc);

    HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(wnd, nullptr);
    wchar_t buffer[64];
    const std::wstring greek = W("Ωμέγα æ");
    EXPECT_TRUE(Uni_SetWindowTextW(wnd, greek.c_str()));
    GetWindowTextW(wnd, buffer, 64);
    EXPECT_EQ(std::wstring(buffer), greek);
    {
        Win9x win9x;
        EXPECT_TRUE(Uni_SetWindowTextW(wnd, W("汉字 æ").c_str()));
        GetWindowTextW(wnd, buffer, 64);
        EXPECT_EQ(std::wstring(buffer), W("?? æ"));
    }
    DestroyWindow(wnd);
}
