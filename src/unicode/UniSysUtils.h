// Platform flags, the layer's exceptions and the wide file, path, case and
// error-text routines.
//
// Every routine that has a wide and an 8-bit road tests UnicodePlatform at
// each call: on the NT family it calls the system's wide ("W") function,
// on the 9x family it converts to the ANSI code page, calls the "A"
// function and converts the result back.
#pragma once

#include <cstdint>
#include <string>

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Streams.h"

namespace qelvo {

namespace msg {
inline constexpr const char* InvalidUTF7 = "Invalid UTF7";
inline constexpr const char* BufferOverflow = "Buffer overflow";
inline constexpr const char* UnspecifiedError = "Unspecified error (%d) from %s.";
} // namespace msg

// Malformed input ("Invalid UTF7").
class EUniGeneralError : public gcl::Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EUniGeneralError"; }
};

// A broken invariant of the layer.
class EUniInternalError : public gcl::Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EUniInternalError"; }
};

// A platform flag: reads like a bool and answers from the OS version
// service (gcl::OSVersion), so a test can pretend to run on another
// Windows family.
class TUniPlatformFlag {
public:
    using TTest = bool (*)(int platform, int major, int minor);
    constexpr explicit TUniPlatformFlag(TTest test) noexcept : FTest(test) {}
    operator bool() const;

private:
    TTest FTest;
};

// The Windows NT family (platform id 2).
extern const TUniPlatformFlag UnicodePlatform;
// Version 5.1 or later.
extern const TUniPlatformFlag Win32PlatformIsXP;
// Version 5.2 or later.
extern const TUniPlatformFlag Win32PlatformIs2003;
// Version 6 or later.
extern const TUniPlatformFlag Win32PlatformIsVista;

// The system's default locale is Chinese, Japanese or Korean.
bool IsFarEastLocale();

// Case mapping: CharUpperBuffW/CharLowerBuffW on NT, one character at a
// time through the ANSI code page on 9x (characters without an ANSI form
// stay as they are).
std::wstring WideUpperCase(const std::wstring& s);
std::wstring WideLowerCase(const std::wstring& s);

// S with "\" appended unless it already ends in "\" ("" gives "\").
std::wstring WideIncludeTrailingPathDelimiter(const std::wstring& s);
// True when 1 <= Index <= length and character Index (1-based) is "\".
bool WideIsPathDelimiter(const std::wstring& s, int index);
// The full path of FileName; a path of any length is returned whole.
std::wstring WideExpandFileName(const std::wstring& fileName);

// Creates (or empties) a file for reading and writing, without sharing.
// gcl::InvalidHandle on failure.
gcl::THandle WideFileCreate(const std::wstring& fileName);
// Opens an existing file: access from the low 2 bits of Mode (0 read,
// 1 write, 2 both; 3 fails), sharing from bits 4-7 (0, 1: none, 2: share
// read, 3: share write, 4: share both; any other value: none).
// gcl::InvalidHandle on failure.
gcl::THandle WideFileOpen(const std::wstring& fileName, uint32_t mode);
// The file's attributes, 0xFFFFFFFF when it cannot be read.
uint32_t WideFileGetAttr(const std::wstring& fileName);
bool WideDirectoryExists(const std::wstring& name);
// True for an existing file, false for a folder.
bool WideFileExists(const std::wstring& name);

// The system's text for an error code: WideLibraryErrorMessage("system",
// nullptr, ErrorCode).
std::wstring WideSysErrorMessage(unsigned long errorCode);
// The text of ErrorCode from the system (and from the module Dll when not
// null), without surrounding blanks and control characters; when there is
// none, "Unspecified error (<code>) from <LibName>.".
std::wstring WideLibraryErrorMessage(const std::string& libName, void* dll, unsigned long errorCode);

// The run-time library's operating-system errors (gcl/rtl/Exceptions.h):
// RaiseLastOSError raises gcl::EOSError, Win32Check raises the last error
// when Value is 0 and returns Value otherwise.
using gcl::RaiseLastOSError;
using gcl::Win32Check;

// True when the character converts to the default system code page
// without the default character.
bool IsWideCharMappableToAnsi(wchar_t wc);

} // namespace qelvo
