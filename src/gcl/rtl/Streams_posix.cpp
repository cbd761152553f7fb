// File calls of the native build behind THandleStream and TFileStream.
#include "gcl/rtl/Streams.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gcl::detail {

THandle FileCreate(const std::string& fileName) {
    int fd = open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd < 0 ? InvalidHandle : THandle(fd);
}

THandle FileOpen(const std::string& fileName, uint16_t mode) {
    static const int access[] = {O_RDONLY, O_WRONLY, O_RDWR};
    if ((mode & 3) > 2) {
        errno = EINVAL;
        return InvalidHandle;
    }
    int fd = open(fileName.c_str(), access[mode & 3] | O_CLOEXEC);
    if (fd < 0) return InvalidHandle;
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        close(fd);
        errno = EISDIR;
        return InvalidHandle;
    }
    return THandle(fd);
}

int32_t FileRead(THandle handle, void* buffer, int32_t count) {
    ssize_t n;
    do n = read(int(handle), buffer, size_t(count));
    while (n < 0 && errno == EINTR);
    return int32_t(n);
}

int32_t FileWrite(THandle handle, const void* buffer, int32_t count) {
    ssize_t n;
    do n = write(int(handle), buffer, size_t(count));
    while (n < 0 && errno == EINTR);
    return int32_t(n);
}

int64_t FileSeek(THandle handle, int64_t offset, TSeekOrigin origin) {
    static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    off_t r = lseek(int(handle), off_t(offset), whence[origin]);
    return r < 0 ? -1 : int64_t(r);
}

bool FileTruncate(THandle handle) {
    off_t position = lseek(int(handle), 0, SEEK_CUR);
    return position >= 0 && ftruncate(int(handle), position) == 0;
}

void FileClose(THandle handle) { close(int(handle)); }

} // namespace gcl::detail
