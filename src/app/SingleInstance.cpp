// One copy per program folder: a named mutex claims the folder, a small
// named mapping tells a later start which process holds it.
#include "app/SingleInstance.h"

#include <cstdint>

#include "gcl/rtl/Strings.h"

namespace qelvo {

namespace {

// The folder's own part of the object names: a hash of its upper-case
// path (named objects may not hold backslashes).
std::string FolderKey(const std::string& appDir) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : gcl::UpperCase(appDir)) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return gcl::IntToHex(static_cast<std::int64_t>(hash), 16);
}

struct TFindMain {
    DWORD ProcessId;
    HWND Found;
};

BOOL CALLBACK FindMainWindow(HWND w, LPARAM data) {
    auto* find = reinterpret_cast<TFindMain*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char name[32] = {};
    if (pid == find->ProcessId && GetClassNameA(w, name, sizeof name) && std::string(name) == "TMainForm") {
        find->Found = w;
        return FALSE;
    }
    return TRUE;
}

} // namespace

TSingleInstance::TSingleInstance(const std::string& appDir) {
    const std::string key = FolderKey(appDir);
    FMutex = CreateMutexA(nullptr, TRUE, ("Qelvo.Folder." + key).c_str());
    FAnother = FMutex && GetLastError() == ERROR_ALREADY_EXISTS;
    if (FAnother) {
        FMapping = OpenFileMappingA(FILE_MAP_READ, FALSE, ("Qelvo.Owner." + key).c_str());
        return;
    }
    FMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD),
                                  ("Qelvo.Owner." + key).c_str());
    if (!FMapping) return;
    if (void* view = MapViewOfFile(FMapping, FILE_MAP_WRITE, 0, 0, sizeof(DWORD))) {
        *static_cast<DWORD*>(view) = GetCurrentProcessId();
        UnmapViewOfFile(view);
    }
}

TSingleInstance::~TSingleInstance() {
    if (FMapping) CloseHandle(FMapping);
    if (FMutex) {
        if (!FAnother) ReleaseMutex(FMutex);
        CloseHandle(FMutex);
    }
}

bool TSingleInstance::BringOtherForward() const {
    if (!FAnother || !FMapping) return false;
    DWORD owner = 0;
    if (const void* view = MapViewOfFile(FMapping, FILE_MAP_READ, 0, 0, sizeof(DWORD))) {
        owner = *static_cast<const DWORD*>(view);
        UnmapViewOfFile(view);
    }
    if (!owner) return false;
    TFindMain find{owner, nullptr};
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&find));
    if (!find.Found) return false;
    AllowSetForegroundWindow(owner);
    return PostMessageA(find.Found, ShowRunningCopyMessage(), 0, 0) != FALSE;
}

UINT ShowRunningCopyMessage() {
    static const UINT message = RegisterWindowMessageA("Qelvo.ShowRunningCopy");
    return message;
}

} // namespace qelvo
