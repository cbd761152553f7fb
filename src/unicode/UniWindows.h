// Wide/ANSI dispatch wrappers. Each takes the arguments and gives the
// result of the wide Windows function it is named after. On the NT family
// it calls that function; on the 9x family it converts the wide arguments
// to the system code page, calls the ANSI function and converts the
// results back.
#pragma once

#include "gcl/rtl/WinApi.h"

namespace qelvo {

BOOL Uni_SetWindowTextW(HWND wnd, LPCWSTR text);
HANDLE Uni_CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                       LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                       DWORD flagsAndAttributes, HANDLE templateFile);
// On 9x the ANSI record is copied into the wide one: attributes, times and
// sizes as they are, the two names converted (cut to their fields).
HANDLE Uni_FindFirstFileW(LPCWSTR fileName, WIN32_FIND_DATAW* findData);
DWORD Uni_GetFileAttributesW(LPCWSTR fileName);
// As GetFullPathNameW: the length of the path when it fits in Buffer
// (BufferLength characters, terminator included), else the size needed
// (terminator included) with an empty Buffer. FilePart, when asked for,
// points at the file name inside Buffer, or is null when there is none or
// the path did not fit.
DWORD Uni_GetFullPathNameW(LPCWSTR fileName, DWORD bufferLength, LPWSTR buffer, LPWSTR* filePart);
// DrawTextW, or DrawTextA with the first Count characters converted (all
// when Count is -1). The text is never written to (DT_MODIFYSTRING is
// ignored).
int WideDrawText(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format);
// CompareStringW. On 9x with Flags: CompareStringA on ANSI copies of the
// given lengths (-1: up to the terminator); with Flags 0: an ordinal
// comparison giving 1 (less), 2 (equal) or 3 (greater).
int WideCompareString(LCID locale, DWORD flags, LPCWSTR s1, int count1, LPCWSTR s2, int count2);
// Str is a pointer to a null-terminated string (converted in place and
// returned) or, when its high word is 0, one character (returned
// converted).
LPWSTR Uni_CharUpperW(LPWSTR str);
LPWSTR Uni_CharLowerW(LPWSTR str);
// Converts Length characters in place; returns Length.
DWORD Uni_CharUpperBuffW(LPWSTR str, DWORD length);
DWORD Uni_CharLowerBuffW(LPWSTR str, DWORD length);
// LoadStringW. On 9x the string table is read directly: with a null
// Buffer or BufferMax below 1 the entry's length, otherwise the number of
// characters copied (at most BufferMax - 1, then a terminator); 0 when
// the block is missing or cannot be loaded.
int Uni_LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax);

} // namespace qelvo
