// Path splitting and the platform-independent file helpers.
#include "gcl/rtl/Files.h"

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Strings.h"

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

namespace detail {

std::string FormatFileError(const char* format, const std::string& fileName, unsigned long code) {
    std::string expanded = ExpandFileName(fileName);
    if (expanded.empty()) expanded = fileName;
    return Format(format, {expanded, SystemErrorMessage(code)});
}

} // namespace detail

} // namespace gcl
