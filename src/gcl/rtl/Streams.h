// Streams: the abstract byte stream, streams over system file handles,
// file streams and memory streams.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gcl/rtl/Objects.h"

namespace gcl {

namespace msg {
inline constexpr const char* SeekError = "Stream seek error";
inline constexpr const char* StreamSizeError = "Invalid stream size";
} // namespace msg

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
    GCL_CLASS(TStream, TObject)
public:
    // Reads up to Count bytes; returns how many were read (fewer at the
    // end of the data, 0 for Count <= 0).
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    // Writes up to Count bytes; returns how many were written.
    virtual int32_t Write(const void* buffer, int32_t count) = 0;
    // Moves the position and returns the new one. A target before the
    // start raises EStreamError; a target past the end is allowed.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    // Exactly Count bytes, or EReadError / EWriteError.
    void ReadBuffer(void* buffer, int32_t count);
    void WriteBuffer(const void* buffer, int32_t count);

    int64_t GetPosition() { return Seek(0, soCurrent); }
    void SetPosition(int64_t value) { Seek(value, soBeginning); }
    virtual int64_t GetSize();
    // Changes the size (the base class cannot and does nothing).
    virtual void SetSize(int64_t value);

    // Copies Count bytes from Source's position; Count 0 copies the whole
    // of Source from its start. Returns the number of bytes copied;
    // EReadError when Source has fewer.
    int64_t CopyFrom(TStream& source, int64_t count);

    // For readers of counts and lengths: raises EReadError unless 0 <=
    // Needed <= Size - Position, so a corrupt length never leads to a
    // huge allocation or a read past the end.
    void CheckAvailable(int64_t needed);
};

// A system file handle: a Win32 HANDLE in the Windows build, a file
// descriptor natively.
using THandle = intptr_t;
inline constexpr THandle InvalidHandle = -1;

// A stream over a handle it does not own.
class THandleStream : public TStream {
    GCL_CLASS(THandleStream, TStream)
public:
    explicit THandleStream(THandle handle) noexcept : FHandle(handle) {}
    THandle GetHandle() const noexcept { return FHandle; }

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    // Truncates or extends the file; the position stays unless it would
    // be past the new end. EStreamError on failure.
    void SetSize(int64_t value) override;

protected:
    THandle FHandle;
};

// File modes: fmCreate, or an access value combined with a share mode.
inline constexpr uint16_t fmCreate = 0xFFFF;
inline constexpr uint16_t fmOpenRead = 0x0000;
inline constexpr uint16_t fmOpenWrite = 0x0001;
inline constexpr uint16_t fmOpenReadWrite = 0x0002;
inline constexpr uint16_t fmShareCompat = 0x0000;
inline constexpr uint16_t fmShareExclusive = 0x0010;
inline constexpr uint16_t fmShareDenyWrite = 0x0020;
inline constexpr uint16_t fmShareDenyRead = 0x0030;
inline constexpr uint16_t fmShareDenyNone = 0x0040;

// A stream over a file it opens and closes. fmCreate creates the file
// (or empties an existing one) for reading and writing; other modes open
// an existing file. Failure raises EFCreateError / EFOpenError naming the
// expanded path and the system's error text. Share modes take effect in
// the Windows build only.
class TFileStream : public THandleStream {
    GCL_CLASS(TFileStream, THandleStream)
public:
    TFileStream(const std::string& fileName, uint16_t mode);
    ~TFileStream() override;
    const std::string& GetFileName() const noexcept { return FFileName; }

private:
    std::string FFileName;
};

// A stream kept in memory. Writing past the end grows it; the gap left
// by a seek past the end reads as zero bytes.
class TMemoryStream : public TStream {
    GCL_CLASS(TMemoryStream, TStream)
public:
    TMemoryStream() = default;

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t GetSize() override { return int64_t(FData.size()); }
    // New bytes are zero; the position moves back to the new end when it
    // was past it.
    void SetSize(int64_t value) override;

    // The bytes (valid until the size changes); null when empty.
    void* GetMemory() noexcept { return FData.empty() ? nullptr : FData.data(); }
    const void* GetMemory() const noexcept { return FData.empty() ? nullptr : FData.data(); }
    void Clear();

    // Replaces the contents by the whole of Stream / the file; the
    // position becomes 0.
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    // Writes the whole contents at Stream's position / to a new file.
    void SaveToStream(TStream& stream);
    void SaveToFile(const std::string& fileName);

private:
    std::vector<char> FData;
    int64_t FPosition = 0;
};

namespace detail {
// The platform's file calls behind THandleStream and TFileStream.
THandle FileCreate(const std::string& fileName);                 // InvalidHandle on failure
THandle FileOpen(const std::string& fileName, uint16_t mode);    // InvalidHandle on failure
int32_t FileRead(THandle handle, void* buffer, int32_t count);    // -1 on failure
int32_t FileWrite(THandle handle, const void* buffer, int32_t count);
int64_t FileSeek(THandle handle, int64_t offset, TSeekOrigin origin);    // -1 on failure
bool FileTruncate(THandle handle);    // ends the file at the current position
void FileClose(THandle handle);
} // namespace detail

} // namespace gcl
