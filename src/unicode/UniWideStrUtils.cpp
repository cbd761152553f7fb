#include "unicode/UniWideStrUtils.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace qelvo {

namespace {

constexpr uint32_t HeaderSize = 4;

uint32_t* Header(const wchar_t* str) noexcept {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(const_cast<wchar_t*>(str)) - HeaderSize);
}

} // namespace

wchar_t* WStrAlloc(uint32_t size) {
    // The recorded size must fit the 32-bit header.
    if (size > (UINT32_MAX - HeaderSize) / 2) throw std::bad_alloc();
    uint32_t bytes = size * 2 + HeaderSize;
    auto* block = static_cast<uint32_t*>(std::malloc(bytes));
    if (!block) throw std::bad_alloc();
    *block = bytes;
    return reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(block) + HeaderSize);
}

void WStrDispose(wchar_t* str) noexcept {
    if (str) std::free(Header(str));
}

uint32_t WStrBufSize(const wchar_t* str) noexcept { return str ? *Header(str) : 0; }

wchar_t* WStrMove(wchar_t* dest, const wchar_t* source, size_t count) noexcept {
    if (count) std::memmove(dest, source, count * sizeof(wchar_t));
    return dest;
}

wchar_t* WStrNew(const wchar_t* str) {
    if (!str) return nullptr;
    size_t n = WStrLen(str);
    if (n >= (UINT32_MAX - HeaderSize) / 2) throw std::bad_alloc();
    wchar_t* result = WStrAlloc(static_cast<uint32_t>(n + 1));
    WStrMove(result, str, n + 1);
    return result;
}

size_t WStrLen(const wchar_t* str) noexcept {
    const wchar_t* p = str;
    while (*p) ++p;
    return static_cast<size_t>(p - str);
}

wchar_t* WStrEnd(wchar_t* str) noexcept { return str + WStrLen(str); }
const wchar_t* WStrEnd(const wchar_t* str) noexcept { return str + WStrLen(str); }

wchar_t* WStrCopy(wchar_t* dest, const wchar_t* source) noexcept { return WStrLCopy(dest, source, 2147483647); }

wchar_t* WStrLCopy(wchar_t* dest, const wchar_t* source, size_t maxLen) noexcept {
    size_t i = 0;
    while (i < maxLen && source[i]) {
        dest[i] = source[i];
        ++i;
    }
    dest[i] = 0;
    return dest;
}

wchar_t* WStrPCopy(wchar_t* dest, const std::wstring& source) noexcept {
    WStrMove(dest, source.data(), source.size());
    dest[source.size()] = 0;
    return dest;
}

wchar_t* WStrScan(wchar_t* str, wchar_t chr) noexcept {
    return const_cast<wchar_t*>(WStrScan(static_cast<const wchar_t*>(str), chr));
}

const wchar_t* WStrScan(const wchar_t* str, wchar_t chr) noexcept {
    for (; *str; ++str)
        if (*str == chr) return str;
    return nullptr;
}

} // namespace qelvo
