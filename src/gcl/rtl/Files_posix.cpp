// File-system calls of the native build (POSIX).
#include "gcl/rtl/Files.h"

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Strings.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace gcl {

namespace {

struct TSearchState {
    DIR* Dir = nullptr;
    std::string Folder;    // with a trailing delimiter, or empty
    std::string Mask;
    int ExcludeAttr = 0;
};

// "*" and "?" matching with the Windows reading of "*.*" (any name).
bool Matches(const char* name, const char* mask) {
    while (*mask) {
        if (*mask == '*') {
            while (*mask == '*') ++mask;
            if (!*mask) return true;
            for (const char* n = name; *n; ++n)
                if (Matches(n, mask)) return true;
            return Matches("", mask);
        }
        if (!*name) {
            // A trailing ".*" or "." also matches a name without a dot.
            return std::strcmp(mask, ".*") == 0 || std::strcmp(mask, ".") == 0;
        }
        if (*mask != '?' && *mask != *name) return false;
        ++mask;
        ++name;
    }
    return *name == 0;
}

int DosDateTime(time_t t) {
    struct tm lt {};
    localtime_r(&t, &lt);
    int year = lt.tm_year + 1900;
    if (year < 1980) return (1 << 5) | 1;    // 1 Jan 1980, the DOS epoch
    unsigned date = unsigned(((year - 1980) << 9) | ((lt.tm_mon + 1) << 5) | lt.tm_mday);
    unsigned time = unsigned((lt.tm_hour << 11) | (lt.tm_min << 5) | (lt.tm_sec / 2));
    return int((date << 16) | time);
}

// Fills F with the next entry of the search that passes its filters.
int NextMatch(TSearchRec& f) {
    auto* state = static_cast<TSearchState*>(f.FindHandle);
    errno = 0;
    while (dirent* e = readdir(state->Dir)) {
        if (!Matches(e->d_name, state->Mask.c_str())) continue;
        struct stat st {};
        std::string full = state->Folder + e->d_name;
        if (stat(full.c_str(), &st) != 0 && lstat(full.c_str(), &st) != 0) continue;
        int attr = 0;
        if (S_ISDIR(st.st_mode)) attr |= faDirectory;
        else attr |= faArchive;
        if (e->d_name[0] == '.' && std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            attr |= faHidden;
        if (access(full.c_str(), W_OK) != 0 && errno == EACCES) attr |= faReadOnly;
        if (attr & state->ExcludeAttr) continue;
        f.Name = e->d_name;
        f.Attr = attr;
        f.Size = S_ISDIR(st.st_mode) ? 0 : int64_t(st.st_size);
        f.Time = DosDateTime(st.st_mtime);
        return 0;
    }
    return errno ? errno : ENOENT;
}

std::atomic<unsigned> TempCounter{0};

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

} // namespace

bool FileExists(const std::string& fileName) {
    struct stat st {};
    return !fileName.empty() && stat(fileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& directory) {
    struct stat st {};
    return !directory.empty() && stat(directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& directory) {
    return !directory.empty() && mkdir(directory.c_str(), 0777) == 0;
}

bool RemoveDir(const std::string& directory) {
    return !directory.empty() && rmdir(directory.c_str()) == 0;
}

bool DeleteFile(const std::string& fileName) {
    if (fileName.empty() || DirectoryExists(fileName)) return false;
    return unlink(fileName.c_str()) == 0;
}

bool RenameFile(const std::string& oldName, const std::string& newName) {
    struct stat st {};
    if (oldName.empty() || newName.empty()) return false;
    if (lstat(newName.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return rename(oldName.c_str(), newName.c_str()) == 0;
}

namespace {

TFileVersion VersionOf(const struct stat& st) {
    if (!S_ISREG(st.st_mode)) return TFileVersion{};
    return TFileVersion{true, static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                        static_cast<std::uint64_t>(st.st_size),
                        static_cast<std::uint64_t>(st.st_mtim.tv_sec) * 1000000000u +
                            static_cast<std::uint64_t>(st.st_mtim.tv_nsec)};
}

} // namespace

TFileVersion FileVersionOf(const std::string& fileName) {
    struct stat st {};
    return stat(fileName.c_str(), &st) == 0 ? VersionOf(st) : TFileVersion{};
}

TFileVersion FileVersionOfHandle(std::intptr_t handle) {
    struct stat st {};
    return fstat(static_cast<int>(handle), &st) == 0 ? VersionOf(st) : TFileVersion{};
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat x {}, y {};
    if (!FileExists(a) || !FileExists(b) || stat(a.c_str(), &x) != 0 || stat(b.c_str(), &y) != 0) return false;
    return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

std::string ExpandFileName(const std::string& fileName) {
    if (fileName.empty()) return std::string();
    std::string path = fileName;
    if (path[0] != '/') {
        std::vector<char> buf(PATH_MAX + 1);
        if (!getcwd(buf.data(), buf.size())) return fileName;
        path = std::string(buf.data()) + "/" + path;
    }
    // Resolve ".", ".." and repeated delimiters textually (no links).
    std::vector<std::string> parts;
    size_t i = 0;
    while (i < path.size()) {
        size_t j = path.find('/', i);
        if (j == std::string::npos) j = path.size();
        std::string part = path.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    std::string result;
    for (const auto& p : parts) result += "/" + p;
    if (result.empty()) result = "/";
    // A trailing delimiter names the folder itself; keep it.
    if (path.back() == '/' && result.back() != '/') result += '/';
    return result;
}

std::string ExeFileName() {
    std::vector<char> buf(PATH_MAX + 1);
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    return n > 0 ? std::string(buf.data(), size_t(n)) : std::string();
}

std::string AnsiFilePath(const std::wstring& path) {
    const std::string text = WideToAnsi(path);
    return AnsiToWide(text) == path ? text : std::string();
}

std::string ReadFileBytes(const std::string& fileName) {
    int fd = open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        close(fd);
        fd = -1;
        errno = EISDIR;
    }
    if (fd < 0) {
        unsigned long code = detail::LastSystemError();
        throw EFOpenError(detail::FormatFileError(msg::FOpenError, fileName, code));
    }
    std::string data;
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            throw EReadError(msg::ReadError);
        }
        if (n == 0) break;
        data.append(buf, size_t(n));
    }
    close(fd);
    return data;
}

TAtomicFileWriter::TAtomicFileWriter(const std::string& fileName) : FFileName(fileName) {
    if (fileName.empty()) return;
    struct stat old {};
    FHadOld = stat(fileName.c_str(), &old) == 0;
    if (FHadOld && S_ISDIR(old.st_mode)) {
        errno = EISDIR;
        return;
    }
    // A read-only target is never replaced, even where the folder would
    // allow the rename (and whoever runs the program, root included).
    if (FHadOld && ((old.st_mode & 0222) == 0 || access(fileName.c_str(), W_OK) != 0)) {
        errno = EACCES;
        return;
    }
    FMode = old.st_mode & 07777;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        FTemp = detail::AtomicTempName(fileName, static_cast<unsigned long>(getpid()), TempCounter++);
        fd = open(FTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return;
    }
    if (fd >= 0) FHandle = fd;
}

TAtomicFileWriter::~TAtomicFileWriter() {
    Abort();
}

bool TAtomicFileWriter::Write(const void* data, size_t size) {
    if (!IsOpen()) return false;
    if (!WriteAll(static_cast<int>(FHandle), static_cast<const char*>(data), size)) {
        Fail(static_cast<unsigned long>(errno));
        return false;
    }
    return true;
}

bool TAtomicFileWriter::Flush() {
    if (!IsOpen()) return false;
    if (fsync(static_cast<int>(FHandle)) == 0) return true;
    Fail(static_cast<unsigned long>(errno));
    return false;
}

bool TAtomicFileWriter::Commit(const std::function<bool()>& mayReplace) {
    if (FHandle != NoHandle && FFailed) {
        Abort();
        errno = FError == ~0ul ? EIO : static_cast<int>(FError);
        return false;
    }
    if (!IsOpen()) return false;
    const int fd = static_cast<int>(FHandle);
    FHandle = NoHandle;
    if (FHadOld) fchmod(fd, FMode);  // keep the previous permissions
    bool ok = fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok && mayReplace && !mayReplace()) {
        unlink(FTemp.c_str());
        FTemp.clear();
        errno = ECANCELED;
        return false;
    }
    ok = ok && rename(FTemp.c_str(), FFileName.c_str()) == 0;
    if (!ok) {
        int saved = errno;
        unlink(FTemp.c_str());
        errno = saved;
        FTemp.clear();
        return false;
    }
    FTemp.clear();
    // Make the rename itself durable.
    std::string dir = ExtractFileDir(ExpandFileName(FFileName));
    int dfd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return true;
}

void TAtomicFileWriter::Abort() noexcept {
    if (FHandle == NoHandle) return;
    int saved = errno;
    close(static_cast<int>(FHandle));
    FHandle = NoHandle;
    unlink(FTemp.c_str());
    FTemp.clear();
    errno = saved;
}

int FindFirst(const std::string& path, int attr, TSearchRec& f) {
    f = TSearchRec();
    std::string folder = ExtractFilePath(path);
    std::string mask = ExtractFileName(path);
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return errno ? errno : ENOENT;
    auto* state = new TSearchState;
    state->Dir = dir;
    state->Folder = folder;
    state->Mask = mask;
    state->ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
    f.ExcludeAttr = state->ExcludeAttr;
    f.FindHandle = state;
    int rc = NextMatch(f);
    if (rc != 0) FindClose(f);
    return rc;
}

int FindNext(TSearchRec& f) {
    if (!f.FindHandle) return EBADF;
    return NextMatch(f);
}

void FindClose(TSearchRec& f) {
    auto* state = static_cast<TSearchState*>(f.FindHandle);
    if (!state) return;
    closedir(state->Dir);
    delete state;
    f.FindHandle = nullptr;
}

namespace {

// The start of process Pid in seconds since 1970, from /proc (0 when the
// system does not say).
double ProcessStartTime(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return 0;
    // The command name in brackets may hold blanks; the fields after it
    // are numbers, and the start time (in clock ticks after boot) is the
    // 20th of them.
    const size_t close = line.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(line.substr(close + 1));
    std::string field;
    unsigned long long ticks = 0;
    for (int i = 0; i < 20 && fields >> field; ++i)
        if (i == 19) ticks = std::strtoull(field.c_str(), nullptr, 10);
    std::ifstream system("/proc/stat");
    unsigned long long boot = 0;
    while (std::getline(system, line))
        if (line.rfind("btime ", 0) == 0) boot = std::strtoull(line.c_str() + 6, nullptr, 10);
    const long hz = sysconf(_SC_CLK_TCK);
    if (boot == 0 || ticks == 0 || hz <= 0) return 0;
    return double(boot) + double(ticks) / double(hz);
}

} // namespace

namespace detail {

bool TempFileWriterMayRun(const std::string& path, unsigned long pid) noexcept {
    // Ids this system never gives a process (kill would reach a group).
    if (pid == 0 || pid > static_cast<unsigned long>(INT_MAX)) return true;
    if (kill(pid_t(pid), 0) != 0 && errno == ESRCH) return false;
    try {
        // The id may have passed to a newer process. Two seconds of slack
        // cover file systems that keep coarse times.
        struct stat st {};
        const double started = ProcessStartTime(pid_t(pid));
        if (started > 0 && stat(path.c_str(), &st) == 0 && started > double(st.st_mtime) + 2) return false;
    } catch (...) {
    }
    return true;
}

unsigned long LastSystemError() noexcept { return static_cast<unsigned long>(errno); }

} // namespace detail

std::string SysErrorMessage(unsigned long code) { return detail::TrimSystemText(std::strerror(int(code))); }

} // namespace gcl
