// File calls of the Windows build behind THandleStream and TFileStream.
#include "gcl/rtl/WinApi.h"

#include "gcl/rtl/Streams.h"

namespace gcl::detail {

namespace {
HANDLE H(THandle handle) { return reinterpret_cast<HANDLE>(handle); }
} // namespace

THandle FileCreate(const std::string& fileName) {
    HANDLE h = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? InvalidHandle : reinterpret_cast<THandle>(h);
}

THandle FileOpen(const std::string& fileName, uint16_t mode) {
    static const DWORD access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    // Compatibility and exclusive modes share nothing.
    static const DWORD share[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
    unsigned a = mode & 3, s = (mode & 0xF0) >> 4;
    if (a > 2 || s > 4) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return InvalidHandle;
    }
    HANDLE h = CreateFileA(fileName.c_str(), access[a], share[s], nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    return h == INVALID_HANDLE_VALUE ? InvalidHandle : reinterpret_cast<THandle>(h);
}

int32_t FileRead(THandle handle, void* buffer, int32_t count) {
    DWORD n = 0;
    return ReadFile(H(handle), buffer, DWORD(count), &n, nullptr) ? int32_t(n) : -1;
}

int32_t FileWrite(THandle handle, const void* buffer, int32_t count) {
    DWORD n = 0;
    return WriteFile(H(handle), buffer, DWORD(count), &n, nullptr) ? int32_t(n) : -1;
}

int64_t FileSeek(THandle handle, int64_t offset, TSeekOrigin origin) {
    static const DWORD method[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER distance, result;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(H(handle), distance, &result, method[origin])) return -1;
    return result.QuadPart;
}

bool FileTruncate(THandle handle) { return SetEndOfFile(H(handle)) != 0; }

void FileClose(THandle handle) { CloseHandle(H(handle)); }

} // namespace gcl::detail
