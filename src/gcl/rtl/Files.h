// Files and paths: existence tests, folders, path splitting, directory
// searches, whole-file reads and the atomic replacement of a file.
//
// All paths are 8-bit text in the system code page. On Windows both "\"
// and "/" separate path components and ":" ends a drive; natively only
// "/" does. PathDelim is the separator this library writes.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "gcl/rtl/Exceptions.h"

// <windows.h> maps DeleteFile to DeleteFileA; the library's own function
// keeps its name (Win32 code names the A function explicitly).
#ifdef DeleteFile
#undef DeleteFile
#endif

namespace gcl {

#ifdef _WIN32
inline constexpr char PathDelim = '\\';
#else
inline constexpr char PathDelim = '/';
#endif

// True when C separates path components on this platform.
bool IsPathDelimiterChar(char c) noexcept;

bool FileExists(const std::string& fileName);        // an existing file, not a folder
bool DirectoryExists(const std::string& directory);
bool CreateDir(const std::string& directory);        // one level; false on failure
bool RemoveDir(const std::string& directory);        // an empty folder
// Creates the folder and every missing parent. True when the folder
// exists afterwards; false for an empty name or when a level fails.
bool ForceDirectories(const std::string& directory);
bool DeleteFile(const std::string& fileName);
// Whether two names lead to one existing file, however each is written
// (another letter case, a short name, a relative path, a link). False
// when either is no existing file.
bool SameFile(const std::string& a, const std::string& b);
// Renames or moves a file; fails (false) when NewName already exists.
bool RenameFile(const std::string& oldName, const std::string& newName);

// What tells one state of a file from another without reading it: the
// file itself (its volume and its number there), its size and its last
// write time. Another file put in its place, or a write to it, gives
// another version; only a write of as many bytes within the time's
// resolution (two seconds on some disks) may go unseen.
struct TFileVersion {
    bool Exists = false;
    std::uint64_t Volume = 0;
    std::uint64_t Index = 0;
    std::uint64_t Size = 0;
    std::uint64_t WriteTime = 0;  // in the system's own units
    bool operator==(const TFileVersion&) const = default;
};
// The version of the file FileName names now (Exists false when there is
// none, or it is a folder or cannot be asked).
TFileVersion FileVersionOf(const std::string& fileName);
// The version of the file open as Handle (a stream's GetHandle()).
TFileVersion FileVersionOfHandle(std::intptr_t handle);

// "C:\a\b.txt" -> "b.txt"
std::string ExtractFileName(const std::string& fileName);
// "C:\a\b.txt" -> "C:\a\"  (with the trailing delimiter)
std::string ExtractFilePath(const std::string& fileName);
// "C:\a\b.txt" -> "C:\a"; a root keeps its delimiter ("C:\", "/").
std::string ExtractFileDir(const std::string& fileName);
// "C:\a\b.txt" -> ".txt"; "" when the name has no dot after its last delimiter.
std::string ExtractFileExt(const std::string& fileName);
// Replaces the extension (or appends one); Extension includes its dot.
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);
// Appends PathDelim unless the text already ends in a delimiter. An empty
// text yields PathDelim alone.
std::string IncludeTrailingPathDelimiter(const std::string& path);
// Removes one trailing delimiter, if any.
std::string ExcludeTrailingPathDelimiter(const std::string& path);
// The full path of FileName against the current folder, with "." and ".."
// resolved. "" for an empty name.
std::string ExpandFileName(const std::string& fileName);
// Full path of the running executable.
std::string ExeFileName();
// A path given in wide text as 8-bit text that names the same file: the
// path itself when the code page holds it, else (on Windows) the short form
// the file system keeps for it, or for a file still to be made its folder's
// short form and its name; "" when none of these fits the code page.
std::string AnsiFilePath(const std::wstring& path);

// Reads a whole file. Raises EFOpenError when it cannot be opened and
// EReadError when reading fails.
std::string ReadFileBytes(const std::string& fileName);

// Replaces FileName with Data in one step: the bytes go to a temporary
// file in the same folder, are flushed to the disk, and the temporary
// file then replaces the target. On any failure the temporary file is
// removed, the previous file stays as it was, and the result is false.
// A read-only target counts as a failure and is left alone.
bool WriteFileAtomic(const std::string& fileName, const void* data, size_t size);

// WriteFileAtomic for content written in pieces: Write appends to the
// temporary file beside FileName, Commit flushes it to the disk and puts
// it in place of FileName in one step. A writer that is not committed
// (or whose Commit fails) removes its temporary file when aborted or
// destroyed, leaving FileName as it was. Every call after a failure
// fails too; the system's error code of the first failure stays for the
// caller (Commit sets it again for its own thread).
//
// Write and Flush may run at the same time on two threads (what is
// written so far goes to the disk while more is written); the
// constructor, Commit and Abort run alone.
class TAtomicFileWriter {
public:
    explicit TAtomicFileWriter(const std::string& fileName);
    ~TAtomicFileWriter();
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

    // False when the temporary file could not be made or FileName may
    // not be replaced (read-only, a folder), or after a failed call.
    bool IsOpen() const noexcept { return FHandle != NoHandle && !FFailed; }
    bool Write(const void* data, size_t size);
    // Puts what was written so far on the disk, so that Commit has only
    // the rest to flush.
    bool Flush();
    // With MayReplace, the temporary file is complete, on the disk and
    // closed when it is asked, right before it would replace FileName:
    // False removes it and leaves FileName as it was (the result False).
    bool Commit(const std::function<bool()>& mayReplace = nullptr);
    // Removes the temporary file; FileName stays as it was.
    void Abort() noexcept;

private:
    static constexpr intptr_t NoHandle = -1;
    // Write or Flush failed with Code: the writer takes no more (the
    // handle stays for Commit or Abort to close).
    void Fail(unsigned long code) noexcept;
    std::string FFileName;
    std::string FTemp;
    intptr_t FHandle = NoHandle;
    unsigned FMode = 0;  // the permissions to keep (natively)
    bool FHadOld = false;
    std::atomic<bool> FFailed{false};
    std::atomic<unsigned long> FError{0};
};

// Removes what WriteFileAtomic calls for FileName left behind when their
// process ended between writing the temporary file and putting it in
// place: the files in FileName's folder named FileName's name, ".", a
// process id, "-", a number and ".tmp" whose process no longer runs (or,
// where the system tells, whose process id now belongs to a process that
// started after the file was last written). Files of running processes
// and every other file stay. Returns how many files went; never raises.
int RemoveStaleTempFiles(const std::string& fileName) noexcept;

// Directory searches.
inline constexpr int faReadOnly = 0x01;
inline constexpr int faHidden = 0x02;
inline constexpr int faSysFile = 0x04;
inline constexpr int faVolumeID = 0x08;
inline constexpr int faDirectory = 0x10;
inline constexpr int faArchive = 0x20;
inline constexpr int faAnyFile = 0x3F;

struct TSearchRec {
    int Time = 0;          // last write time as a local DOS date-time (date in the high word)
    int64_t Size = 0;
    int Attr = 0;
    std::string Name;      // name only, without the folder
    int ExcludeAttr = 0;
    void* FindHandle = nullptr;
};

// Starts a search for Path (a folder plus a pattern with "*" and "?").
// Attr names the special entries wanted besides normal files: faHidden,
// faSysFile and faDirectory. Returns 0 when an entry was found (in F),
// else a system error code; FindClose must follow a successful FindFirst.
int FindFirst(const std::string& path, int attr, TSearchRec& f);
int FindNext(TSearchRec& f);
void FindClose(TSearchRec& f);

namespace detail {
// The temporary file WriteFileAtomic writes for FileName: FileName, ".",
// the process id, "-", N, ".tmp".
std::string AtomicTempName(const std::string& fileName, unsigned long pid, unsigned n);
// False only when process Pid certainly did not write the file at Path
// and cannot write it any more: no such process runs, or it started after
// the file was last written.
bool TempFileWriterMayRun(const std::string& path, unsigned long pid) noexcept;
// The error code of the last failed system call (GetLastError / errno),
// and the system's text for a code in file error messages (SysErrorMessage
// without a closing full stop; "System error N" when there is none).
unsigned long LastSystemError() noexcept;
std::string SystemErrorMessage(unsigned long code);
// Text without leading and trailing blanks and control characters.
std::string TrimSystemText(const std::string& text);
// A file error text: Format (msg::FOpenError or msg::FCreateError) filled
// with the expanded file name and the system's text for Code.
std::string FormatFileError(const char* format, const std::string& fileName, unsigned long code);
} // namespace detail

} // namespace gcl
