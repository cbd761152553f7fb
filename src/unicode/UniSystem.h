// Code pages and conversions of the Unicode layer.
//
// Inside the layer text is UTF-16 (std::wstring). Every conversion takes a
// code page; 65000 and 65001 always mean UTF-7 and UTF-8, coded by the
// layer itself, whatever the system offers.
#pragma once

#include <cstdint>
#include <string>

namespace qelvo {

inline constexpr unsigned CodePageUTF7 = 65000;
inline constexpr unsigned CodePageUTF8 = 65001;

// The code page of every ANSI conversion of the layer: on the NT family
// from version 5 on the thread's ANSI code page (3, CP_THREAD_ACP),
// otherwise the default ANSI code page of the thread's locale. Read like
// a number; it follows the OS version service, so a test that pretends
// to run on Windows 9x sees that family's value.
class TDefaultSystemCodePage {
public:
    constexpr TDefaultSystemCodePage() noexcept = default;
    operator unsigned() const;
};
extern const TDefaultSystemCodePage DefaultSystemCodePage;
unsigned GetDefaultCodePage();

// 65000: UTF-7 decoding; 65001: UTF-8 decoding; any other code page
// through the system's conversion. A code page the system lacks gives "".
std::wstring StringToWideStringEx(const std::string& s, unsigned codePage);
// 65000: UTF-7 encoding; 65001: UTF-8 encoding; any other code page
// through the system's conversion (characters the code page lacks take the
// system's default character). A code page the system lacks gives "".
std::string WideStringToStringEx(const std::wstring& ws, unsigned codePage);

std::wstring UTF8ToWideString(const std::string& s);
std::string WideStringToUTF8(const std::wstring& ws);

// The UTF-7 coder (RFC 2152). Encoding writes the optionally direct
// characters directly. Decoding raises EUniGeneralError "Invalid UTF7" for
// malformed input (any byte above 127 included).
std::wstring UTF7ToWideString(const std::string& s);
std::string WideStringToUTF7(const std::wstring& ws);

// The default ANSI code page of a locale, or the system's (GetACP) when
// the locale names none.
unsigned LCIDToCodePage(unsigned long locale);

// Swaps the two bytes of every character of a null-terminated buffer.
void StrSwapByteOrder(wchar_t* str) noexcept;

// A resource string: the cell holding the module it lives in (null: the
// executable) and its identifier. An identifier of 65536 or more is the
// address of a null-terminated 8-bit text that holds the string itself.
struct TResStringRec {
    void* const* Module = nullptr;
    uintptr_t Identifier = 0;
};

// The wide text of a resource string. An 8-bit text that begins with the
// bytes EF BB BF is UTF-8 (the three bytes alone are an empty text);
// otherwise it is converted from the system code page. A string-table
// entry is read up to 4096 characters.
std::wstring WideLoadResString(const TResStringRec* resStringRec);

} // namespace qelvo
