// Null-terminated wide (UTF-16) buffers. All lengths and counts are in
// characters (16-bit code units).
//
// WStrAlloc hands out a buffer with a hidden 4-byte header that holds the
// buffer's size in bytes (header included); such a buffer, and every one
// made by WStrNew or by a routine documented to return a new buffer, is
// released with WStrDispose and nothing else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qelvo {

// A buffer of Size characters plus the 4-byte size header; returns the
// address after the header. The characters are not initialised.
wchar_t* WStrAlloc(uint32_t size);
// Releases a buffer of WStrAlloc/WStrNew; null is allowed.
void WStrDispose(wchar_t* str) noexcept;
// The size in bytes that WStrAlloc recorded (header included), or 0 for null.
uint32_t WStrBufSize(const wchar_t* str) noexcept;

// Copies Count characters (2*Count bytes); the areas may overlap. Returns Dest.
wchar_t* WStrMove(wchar_t* dest, const wchar_t* source, size_t count) noexcept;
// Null for null; else a new buffer of WStrLen(Str)+1 characters holding a
// copy with its terminator.
wchar_t* WStrNew(const wchar_t* str);
// Number of characters before the first 0.
size_t WStrLen(const wchar_t* str) noexcept;
// The address of the terminating 0.
wchar_t* WStrEnd(wchar_t* str) noexcept;
const wchar_t* WStrEnd(const wchar_t* str) noexcept;
// WStrLCopy(Dest, Source, 2147483647).
wchar_t* WStrCopy(wchar_t* dest, const wchar_t* source) noexcept;
// Copies characters until a 0 or MaxLen characters, then writes a 0.
// Dest must hold MaxLen+1 characters. Returns Dest.
wchar_t* WStrLCopy(wchar_t* dest, const wchar_t* source, size_t maxLen) noexcept;
// Copies the whole of Source (embedded zeros included) and a terminator.
// Dest must hold Source.size()+1 characters. Returns Dest.
wchar_t* WStrPCopy(wchar_t* dest, const std::wstring& source) noexcept;
// The first Chr before the terminator, or null.
wchar_t* WStrScan(wchar_t* str, wchar_t chr) noexcept;
const wchar_t* WStrScan(const wchar_t* str, wchar_t chr) noexcept;

} // namespace qelvo
