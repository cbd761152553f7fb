// The stream classes; Streams_win32.cpp / Streams_posix.cpp hold the
// file calls.
#include "gcl/rtl/Streams.h"

#include "gcl/rtl/Files.h"

#include <algorithm>
#include <cstring>

namespace gcl {

GCL_IMPLEMENT_CLASS(TStream)
GCL_IMPLEMENT_CLASS(THandleStream)
GCL_IMPLEMENT_CLASS(TFileStream)
GCL_IMPLEMENT_CLASS(TMemoryStream)

// ---- TStream ------------------------------------------------------------------

void TStream::ReadBuffer(void* buffer, int32_t count) {
    if (count < 0) throw EReadError(msg::ReadError);
    char* p = static_cast<char*>(buffer);
    while (count > 0) {
        int32_t n = Read(p, count);
        if (n <= 0) throw EReadError(msg::ReadError);
        p += n;
        count -= n;
    }
}

void TStream::WriteBuffer(const void* buffer, int32_t count) {
    if (count < 0) throw EWriteError(msg::WriteError);
    const char* p = static_cast<const char*>(buffer);
    while (count > 0) {
        int32_t n = Write(p, count);
        if (n <= 0) throw EWriteError(msg::WriteError);
        p += n;
        count -= n;
    }
}

int64_t TStream::GetSize() {
    int64_t position = Seek(0, soCurrent);
    int64_t size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

void TStream::SetSize(int64_t) {}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.GetSize();
    }
    if (count < 0) throw EReadError(msg::ReadError);
    const int32_t chunk = 64 * 1024;
    std::vector<char> buffer(size_t(std::min<int64_t>(count, chunk)));
    int64_t left = count;
    while (left > 0) {
        int32_t n = int32_t(std::min<int64_t>(left, chunk));
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return count;
}

void TStream::CheckAvailable(int64_t needed) {
    if (needed < 0 || needed > GetSize() - GetPosition()) throw EReadError(msg::ReadError);
}

// ---- THandleStream ------------------------------------------------------------

int32_t THandleStream::Read(void* buffer, int32_t count) {
    if (count <= 0) return 0;
    int32_t n = detail::FileRead(FHandle, buffer, count);
    return n < 0 ? 0 : n;
}

int32_t THandleStream::Write(const void* buffer, int32_t count) {
    if (count <= 0) return 0;
    int32_t n = detail::FileWrite(FHandle, buffer, count);
    return n < 0 ? 0 : n;
}

int64_t THandleStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t position = detail::FileSeek(FHandle, offset, origin);
    if (position < 0) throw EStreamError(msg::SeekError);
    return position;
}

void THandleStream::SetSize(int64_t value) {
    if (value < 0) throw EStreamError(msg::StreamSizeError);
    int64_t position = GetPosition();
    Seek(value, soBeginning);
    if (!detail::FileTruncate(FHandle)) {
        Seek(position, soBeginning);
        throw EStreamError(msg::StreamSizeError);
    }
    if (position < value) Seek(position, soBeginning);
}

// ---- TFileStream ----------------------------------------------------------------

TFileStream::TFileStream(const std::string& fileName, uint16_t mode)
    : THandleStream(InvalidHandle), FFileName(fileName) {
    if (mode == fmCreate) {
        FHandle = detail::FileCreate(fileName);
        if (FHandle == InvalidHandle) {
            unsigned long code = detail::LastSystemError();
            throw EFCreateError(detail::FormatFileError(msg::FCreateError, fileName, code));
        }
    } else {
        FHandle = detail::FileOpen(fileName, mode);
        if (FHandle == InvalidHandle) {
            unsigned long code = detail::LastSystemError();
            throw EFOpenError(detail::FormatFileError(msg::FOpenError, fileName, code));
        }
    }
}

TFileStream::~TFileStream() {
    if (FHandle != InvalidHandle) detail::FileClose(FHandle);
}

// ---- TMemoryStream -------------------------------------------------------------

// The memory stream's own buffer bounds every copy: a subclass may
// override GetSize(), which must never let Read or Write leave FData.
int32_t TMemoryStream::Read(void* buffer, int32_t count) {
    int64_t size = int64_t(FData.size());
    if (count <= 0 || FPosition >= size) return 0;
    int32_t n = int32_t(std::min<int64_t>(count, size - FPosition));
    std::memcpy(buffer, FData.data() + FPosition, size_t(n));
    FPosition += n;
    return n;
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
    if (count <= 0) return 0;
    int64_t end = FPosition + count;
    if (end > int64_t(FData.size())) TMemoryStream::SetSize(end);
    std::memcpy(FData.data() + FPosition, buffer, size_t(count));
    FPosition = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? FPosition : int64_t(FData.size());
    int64_t position = base + offset;
    if (position < 0) throw EStreamError(msg::SeekError);
    FPosition = position;
    return FPosition;
}

void TMemoryStream::SetSize(int64_t value) {
    if (value < 0 || uint64_t(value) > FData.max_size()) throw EStreamError(msg::StreamSizeError);
    // vector::resize grows the capacity geometrically, so writing byte by
    // byte stays linear.
    FData.resize(size_t(value));
    if (FPosition > value) FPosition = value;
}

void TMemoryStream::Clear() {
    std::vector<char>().swap(FData);
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    int64_t size = stream.GetSize();
    std::vector<char> data(static_cast<size_t>(size));
    // Read in pieces: Read and ReadBuffer take 32-bit counts.
    int64_t done = 0;
    while (done < size) {
        int32_t n = int32_t(std::min<int64_t>(size - done, 1 << 30));
        stream.ReadBuffer(data.data() + done, n);
        done += n;
    }
    FData.swap(data);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream) {
    int64_t size = int64_t(FData.size());
    int64_t done = 0;
    while (done < size) {
        int32_t n = int32_t(std::min<int64_t>(size - done, 1 << 30));
        stream.WriteBuffer(FData.data() + done, n);
        done += n;
    }
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

} // namespace gcl
