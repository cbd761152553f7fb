// File-system calls of the Windows build (ANSI API; the atomic writer's
// temporary files, their search and removal go through the wide one,
// which has no MAX_PATH limit).
#include "gcl/rtl/WinApi.h"

#include "gcl/rtl/Files.h"

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Strings.h"

#include <atomic>
#include <vector>

namespace gcl {

namespace {

std::atomic<unsigned> TempCounter{0};

// A file name in the form the wide file functions take whatever its
// length: a name of MAX_PATH characters or more (a temporary file beside a
// database whose own path nearly fills MAX_PATH) is made whole and given
// the "\\?\" prefix, which lifts the limit that the 8-bit functions keep.
std::wstring UnlimitedPath(const std::string& fileName) {
    std::wstring wide = AnsiToWide(fileName);
    if (wide.size() < MAX_PATH) return wide;
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return wide;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return wide;
    full.resize(length);
    if (full.compare(0, 4, L"\\\\?\\") == 0 || full.compare(0, 4, L"\\\\.\\") == 0) return full;
    if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
    return wide;
}

int DosDateTime(const FILETIME& utc) {
    FILETIME local;
    WORD date = 0, time = 0;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time)) return 0;
    return int((unsigned(date) << 16) | time);
}

int FillFromFindData(TSearchRec& f, const WIN32_FIND_DATAW& data) {
    f.Name = WideToAnsi(data.cFileName);
    f.Attr = int(data.dwFileAttributes);
    f.Size = (int64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    f.Time = DosDateTime(data.ftLastWriteTime);
    return 0;
}

// Skips the entries that the search's attribute filter excludes.
int FindMatching(TSearchRec& f, WIN32_FIND_DATAW& data) {
    while (int(data.dwFileAttributes) & f.ExcludeAttr) {
        if (!FindNextFileW(static_cast<HANDLE>(f.FindHandle), &data)) return int(GetLastError());
    }
    return FillFromFindData(f, data);
}

} // namespace

bool FileExists(const std::string& fileName) {
    if (fileName.empty()) return false;
    DWORD attr = GetFileAttributesA(fileName.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& directory) {
    if (directory.empty()) return false;
    DWORD attr = GetFileAttributesA(directory.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateDir(const std::string& directory) {
    return !directory.empty() && CreateDirectoryA(directory.c_str(), nullptr);
}

bool RemoveDir(const std::string& directory) {
    return !directory.empty() && RemoveDirectoryA(directory.c_str());
}

bool DeleteFile(const std::string& fileName) {
    return !fileName.empty() && ::DeleteFileW(UnlimitedPath(fileName).c_str());
}

bool RenameFile(const std::string& oldName, const std::string& newName) {
    return !oldName.empty() && !newName.empty() && MoveFileA(oldName.c_str(), newName.c_str());
}

namespace {

// The volume and the index of an existing file; false when it cannot be
// asked (no such file, a folder).
bool FileIdentity(const std::string& fileName, BY_HANDLE_FILE_INFORMATION& info) {
    if (!FileExists(fileName)) return false;
    // No access is asked, so a file open elsewhere, even for writing, answers.
    const HANDLE h = CreateFileW(UnlimitedPath(fileName).c_str(), 0,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    return ok;
}

} // namespace

namespace {

TFileVersion VersionOf(const BY_HANDLE_FILE_INFORMATION& info) {
    TFileVersion v;
    v.Exists = !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    v.Volume = info.dwVolumeSerialNumber;
    v.Index = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    v.Size = (std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    v.WriteTime = (std::uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
    return v.Exists ? v : TFileVersion{};
}

} // namespace

TFileVersion FileVersionOf(const std::string& fileName) {
    BY_HANDLE_FILE_INFORMATION info{};
    return FileIdentity(fileName, info) ? VersionOf(info) : TFileVersion{};
}

TFileVersion FileVersionOfHandle(std::intptr_t handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileInformationByHandle(reinterpret_cast<HANDLE>(handle), &info) ? VersionOf(info) : TFileVersion{};
}

bool SameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION x{}, y{};
    if (!FileIdentity(a, x) || !FileIdentity(b, y)) return false;
    return x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
           x.nFileIndexLow == y.nFileIndexLow;
}

std::string ExpandFileName(const std::string& fileName) {
    if (fileName.empty()) return std::string();
    std::vector<char> buf(MAX_PATH + 1);
    for (;;) {
        char* filePart = nullptr;
        DWORD n = GetFullPathNameA(fileName.c_str(), DWORD(buf.size()), buf.data(), &filePart);
        if (n == 0) return fileName;
        if (n < buf.size()) return std::string(buf.data(), n);
        buf.resize(n + 1);
    }
}

namespace {

bool FitsCodePage(const std::wstring& text) { return AnsiToWide(WideToAnsi(text)) == text; }

// The short form the file system keeps for an existing file or folder; ""
// when there is none.
std::wstring ShortPathOf(const std::wstring& path) {
    const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) return std::wstring();
    std::wstring out(size, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), out.data(), size);
    if (length == 0 || length >= size) return std::wstring();
    out.resize(length);
    return out;
}

} // namespace

std::string AnsiFilePath(const std::wstring& path) {
    if (FitsCodePage(path)) return WideToAnsi(path);
    const std::wstring whole = ShortPathOf(path);
    if (!whole.empty() && FitsCodePage(whole)) return WideToAnsi(whole);
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return std::string();
    const std::wstring name = path.substr(slash + 1);
    const std::wstring folder = ShortPathOf(path.substr(0, slash + 1));
    if (name.empty() || folder.empty() || !FitsCodePage(name) || !FitsCodePage(folder)) return std::string();
    const bool delimited = folder.back() == L'\\' || folder.back() == L'/';
    return WideToAnsi(folder) + (delimited ? "" : "\\") + WideToAnsi(name);
}

// The program's path as 8-bit text, also in a folder whose name the code
// page cannot hold or longer than MAX_PATH.
std::string ExeFileName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return std::string();
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768) return std::string();
        path.resize(path.size() * 2);
    }
    return AnsiFilePath(path);
}

std::string ReadFileBytes(const std::string& fileName) {
    HANDLE h = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        unsigned long code = GetLastError();
        throw EFOpenError(detail::FormatFileError(msg::FOpenError, fileName, code));
    }
    std::string data;
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h, buf, sizeof buf, &n, nullptr)) {
            CloseHandle(h);
            throw EReadError(msg::ReadError);
        }
        if (n == 0) break;
        data.append(buf, n);
    }
    CloseHandle(h);
    return data;
}

TAtomicFileWriter::TAtomicFileWriter(const std::string& fileName) : FFileName(fileName) {
    if (fileName.empty()) return;
    DWORD oldAttr = GetFileAttributesW(UnlimitedPath(fileName).c_str());
    // A read-only or folder target is never replaced (Windows refuses the
    // replacing move for read-only files; the check makes that certain).
    if (oldAttr != INVALID_FILE_ATTRIBUTES && (oldAttr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return;
    }
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
        FTemp = detail::AtomicTempName(fileName, GetCurrentProcessId(), TempCounter++);
        h = CreateFileW(UnlimitedPath(FTemp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
        if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return;
    }
    if (h != INVALID_HANDLE_VALUE) FHandle = reinterpret_cast<intptr_t>(h);
}

TAtomicFileWriter::~TAtomicFileWriter() {
    Abort();
}

bool TAtomicFileWriter::Write(const void* data, size_t size) {
    if (!IsOpen()) return false;
    const HANDLE h = reinterpret_cast<HANDLE>(FHandle);
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        DWORD chunk = size > 0x40000000u ? 0x40000000u : DWORD(size);
        DWORD written = 0;
        const bool ok = WriteFile(h, p, chunk, &written, nullptr);
        if (!ok || written != chunk) {
            Fail(ok ? ERROR_DISK_FULL : GetLastError());  // a short write: the disk is full
            return false;
        }
        p += written;
        size -= written;
    }
    return true;
}

bool TAtomicFileWriter::Flush() {
    if (!IsOpen()) return false;
    if (FlushFileBuffers(reinterpret_cast<HANDLE>(FHandle))) return true;
    Fail(GetLastError());
    return false;
}

bool TAtomicFileWriter::Commit(const std::function<bool()>& mayReplace) {
    if (FHandle != NoHandle && FFailed) {
        Abort();
        SetLastError(FError == ~0ul ? ERROR_WRITE_FAULT : DWORD(FError));
        return false;
    }
    if (!IsOpen()) return false;
    const HANDLE h = reinterpret_cast<HANDLE>(FHandle);
    FHandle = NoHandle;
    bool ok = FlushFileBuffers(h);
    ok = CloseHandle(h) && ok;
    if (ok && mayReplace && !mayReplace()) {
        ::DeleteFileW(UnlimitedPath(FTemp).c_str());
        FTemp.clear();
        SetLastError(ERROR_CANCELLED);
        return false;
    }
    ok = ok && MoveFileExW(UnlimitedPath(FTemp).c_str(), UnlimitedPath(FFileName).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        DWORD saved = GetLastError();
        ::DeleteFileW(UnlimitedPath(FTemp).c_str());
        SetLastError(saved);
    }
    FTemp.clear();
    return ok;
}

void TAtomicFileWriter::Abort() noexcept {
    if (FHandle == NoHandle) return;
    DWORD saved = GetLastError();
    CloseHandle(reinterpret_cast<HANDLE>(FHandle));
    FHandle = NoHandle;
    ::DeleteFileW(UnlimitedPath(FTemp).c_str());
    FTemp.clear();
    SetLastError(saved);
}

int FindFirst(const std::string& path, int attr, TSearchRec& f) {
    f = TSearchRec();
    f.ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(UnlimitedPath(path).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return int(GetLastError());
    f.FindHandle = h;
    int rc = FindMatching(f, data);
    if (rc != 0) FindClose(f);
    return rc;
}

int FindNext(TSearchRec& f) {
    if (!f.FindHandle) return ERROR_INVALID_HANDLE;
    WIN32_FIND_DATAW data;
    if (!FindNextFileW(static_cast<HANDLE>(f.FindHandle), &data)) return int(GetLastError());
    return FindMatching(f, data);
}

void FindClose(TSearchRec& f) {
    if (!f.FindHandle) return;
    ::FindClose(static_cast<HANDLE>(f.FindHandle));
    f.FindHandle = nullptr;
}

namespace detail {

bool TempFileWriterMayRun(const std::string& path, unsigned long pid) noexcept {
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid);
    if (!h) return GetLastError() != ERROR_INVALID_PARAMETER;  // the only answer for "no such process"
    bool runs = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    if (runs) {
        // The id may have passed to a newer process. Two seconds of slack
        // cover file systems that keep coarse times.
        FILETIME created, exited, kernel, user;
        WIN32_FILE_ATTRIBUTE_DATA file;
        if (GetProcessTimes(h, &created, &exited, &kernel, &user) &&
            GetFileAttributesExW(UnlimitedPath(path).c_str(), GetFileExInfoStandard, &file)) {
            auto ticks = [](const FILETIME& t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
            runs = ticks(created) <= ticks(file.ftLastWriteTime) + 2 * 10000000ull;
        }
    }
    CloseHandle(h);
    return runs;
}

unsigned long LastSystemError() noexcept { return GetLastError(); }

} // namespace detail

std::string SysErrorMessage(unsigned long code) {
    char* buf = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<char*>(&buf), 0, nullptr);
    std::string text = n && buf ? std::string(buf, n) : std::string();
    if (buf) LocalFree(buf);
    return detail::TrimSystemText(text);
}

} // namespace gcl
