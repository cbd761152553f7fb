// Path splitting and the platform-independent file helpers.
#include "gcl/rtl/Files.h"

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Strings.h"

#include <vector>

namespace gcl {

namespace {

bool IsDriveDelimiterChar(char c) noexcept {
#ifdef _WIN32
    return c == ':';
#else
    (void)c;
    return false;
#endif
}

// Index of the last path or drive delimiter, or npos.
size_t LastPathDelimiter(const std::string& s) noexcept {
    for (size_t i = s.size(); i > 0; --i) {
        char c = s[i - 1];
        if (IsPathDelimiterChar(c) || IsDriveDelimiterChar(c)) return i - 1;
    }
    return std::string::npos;
}

// Index of the dot that starts the extension, or npos.
size_t ExtensionDot(const std::string& s) noexcept {
    for (size_t i = s.size(); i > 0; --i) {
        char c = s[i - 1];
        if (c == '.') return i - 1;
        if (IsPathDelimiterChar(c) || IsDriveDelimiterChar(c)) break;
    }
    return std::string::npos;
}

} // namespace

bool IsPathDelimiterChar(char c) noexcept {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

std::string ExtractFileName(const std::string& fileName) {
    size_t i = LastPathDelimiter(fileName);
    return i == std::string::npos ? fileName : fileName.substr(i + 1);
}

std::string ExtractFilePath(const std::string& fileName) {
    size_t i = LastPathDelimiter(fileName);
    return i == std::string::npos ? std::string() : fileName.substr(0, i + 1);
}

std::string ExtractFileDir(const std::string& fileName) {
    size_t i = LastPathDelimiter(fileName);
    if (i == std::string::npos) return std::string();
    // Drop the delimiter unless it belongs to a root ("\", "C:\", "/") or
    // follows another delimiter.
    if (i > 0 && IsPathDelimiterChar(fileName[i]) && !IsPathDelimiterChar(fileName[i - 1]) &&
        !IsDriveDelimiterChar(fileName[i - 1]))
        return fileName.substr(0, i);
    return fileName.substr(0, i + 1);
}

std::string ExtractFileExt(const std::string& fileName) {
    size_t i = ExtensionDot(fileName);
    return i == std::string::npos ? std::string() : fileName.substr(i);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& extension) {
    size_t i = ExtensionDot(fileName);
    return (i == std::string::npos ? fileName : fileName.substr(0, i)) + extension;
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
    if (!path.empty() && IsPathDelimiterChar(path.back())) return path;
    return path + PathDelim;
}

std::string ExcludeTrailingPathDelimiter(const std::string& path) {
    if (!path.empty() && IsPathDelimiterChar(path.back())) return path.substr(0, path.size() - 1);
    return path;
}

bool ForceDirectories(const std::string& directory) {
    if (directory.empty()) return false;
    std::string dir = ExcludeTrailingPathDelimiter(ExpandFileName(directory));
    if (dir.empty()) return true;    // the root
    if (DirectoryExists(dir)) return true;
    std::string parent = ExtractFileDir(dir);
    // A root or a drive has no parent to create; stop there.
    if (!parent.empty() && parent != dir && !ForceDirectories(parent)) return false;
    return CreateDir(dir) || DirectoryExists(dir);
}

namespace {

// The process id of a name Base + "." + digits + "-" + digits + ".tmp"
// (the name compared ignoring case on Windows, whose names are), or 0.
unsigned long TempNameProcess(const std::string& name, const std::string& base) {
    const std::string suffix = ".tmp";
    if (name.size() < base.size() + 1 + 1 + 1 + 1 + suffix.size()) return 0;
#ifdef _WIN32
    if (!SameText(name.substr(0, base.size()), base) || !SameText(name.substr(name.size() - suffix.size()), suffix))
        return 0;
#else
    if (name.compare(0, base.size(), base) != 0 || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
#endif
    if (name[base.size()] != '.') return 0;
    const std::string middle = name.substr(base.size() + 1, name.size() - base.size() - 1 - suffix.size());
    const size_t dash = middle.find('-');
    if (dash == std::string::npos || dash == 0 || dash > 10 || middle.size() - dash - 1 == 0 ||
        middle.size() - dash - 1 > 10)
        return 0;
    unsigned long long pid = 0;
    for (size_t i = 0; i < middle.size(); ++i) {
        const char c = middle[i];
        if (i == dash) continue;
        if (c < '0' || c > '9') return 0;
        if (i < dash) pid = pid * 10 + unsigned(c - '0');
    }
    return pid > 0 && pid <= 0xFFFFFFFFull ? static_cast<unsigned long>(pid) : 0;
}

} // namespace

int RemoveStaleTempFiles(const std::string& fileName) noexcept {
    try {
        const std::string folder = ExtractFilePath(fileName);
        const std::string base = ExtractFileName(fileName);
        if (base.empty()) return 0;
        std::vector<std::string> stale;
        TSearchRec f;
        if (FindFirst(folder + base + ".*.tmp", 0, f) == 0) {
            do {
                const unsigned long pid = TempNameProcess(f.Name, base);
                if (pid != 0 && !detail::TempFileWriterMayRun(folder + f.Name, pid)) stale.push_back(folder + f.Name);
            } while (FindNext(f) == 0);
            FindClose(f);
        }
        int removed = 0;
        for (const std::string& path : stale)
            if (DeleteFile(path)) ++removed;
        return removed;
    } catch (...) {
        return 0;
    }
}

void TAtomicFileWriter::Fail(unsigned long code) noexcept {
    unsigned long none = 0;
    FError.compare_exchange_strong(none, code == 0 ? ~0ul : code);
    FFailed = true;
}

bool WriteFileAtomic(const std::string& fileName, const void* data, size_t size) {
    TAtomicFileWriter file(fileName);
    return file.Write(data, size) && file.Commit();
}

namespace detail {

std::string AtomicTempName(const std::string& fileName, unsigned long pid, unsigned n) {
    return fileName + "." + std::to_string(pid) + "-" + std::to_string(n) + ".tmp";
}

std::string TrimSystemText(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    return text.substr(first, last - first);
}

std::string SystemErrorMessage(unsigned long code) {
    std::string text = SysErrorMessage(code);
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) text.pop_back();
    if (text.empty()) text = "System error " + std::to_string(code);
    return text;
}

std::string FormatFileError(const char* format, const std::string& fileName, unsigned long code) {
    std::string expanded = ExpandFileName(fileName);
    if (expanded.empty()) expanded = fileName;
    return Format(format, {expanded, SystemErrorMessage(code)});
}

} // namespace detail

} // namespace gcl
