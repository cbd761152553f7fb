// One copy per program folder: a named mutex claims the folder, a small
// named mapping tells a later start which process holds it.
#include "app/SingleInstance.h"

#include <algorithm>
#include <cstdint>

#include "gcl/rtl/Strings.h"

namespace qelvo {

namespace {

// The folder's own part of the object names: a hash of its path in its
// long form and in capitals, every letter as the file system compares
// them (so "Prüfung" and "PRÜFUNG", or a short form of the path, name one
// folder); named objects may not hold backslashes.
std::string FolderKey(const std::string& appDir) {
    std::wstring path = gcl::AnsiToWide(appDir);
    const DWORD size = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (size > 0) {
        std::wstring longPath(size, L'\0');
        const DWORD length = GetLongPathNameW(path.c_str(), longPath.data(), size);
        if (length > 0 && length < size) path.assign(longPath.data(), length);
    }
    if (!path.empty()) CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    std::uint64_t hash = 14695981039346656037ull;
    for (const wchar_t c : path)
        for (const unsigned byte : {static_cast<unsigned>(c) & 0xFF, static_cast<unsigned>(c) >> 8}) {
            hash ^= byte;
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
    FKey = key;
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

bool TSingleInstance::BringOtherForward(unsigned WaitMs) const {
    if (!FAnother) return false;
    // The holder writes its id and makes its window while it starts: both
    // are looked for again until it has them, or ends, or the wait is over.
    HANDLE mapping = FMapping;
    HANDLE process = nullptr;
    DWORD owner = 0;
    HWND found = nullptr;
    const ULONGLONG until = GetTickCount64() + WaitMs;
    for (;;) {
        if (!mapping) mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, ("Qelvo.Owner." + FKey).c_str());
        if (mapping && !owner) {
            if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(DWORD))) {
                owner = *static_cast<const DWORD*>(view);
                UnmapViewOfFile(view);
            }
            if (owner) process = OpenProcess(SYNCHRONIZE, FALSE, owner);
        }
        if (owner) {
            TFindMain find{owner, nullptr};
            EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&find));
            found = find.Found;
        }
        const ULONGLONG now = GetTickCount64();
        if (found || now >= until) break;
        const DWORD step = static_cast<DWORD>(std::min<ULONGLONG>(50, until - now));
        // The holder's end stops the wait at once. Waiting for messages
        // too, the process counts as idle, so that a program that started
        // it and waits for that (a shell) goes on.
        const DWORD woke = MsgWaitForMultipleObjects(process ? 1 : 0, &process, FALSE, step, QS_ALLINPUT);
        if (process && woke == WAIT_OBJECT_0) break;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    if (process) CloseHandle(process);
    if (mapping && mapping != FMapping) CloseHandle(mapping);
    if (!found) return false;
    AllowSetForegroundWindow(owner);
    return PostMessageA(found, ShowRunningCopyMessage(), 0, 0) != FALSE;
}

UINT ShowRunningCopyMessage() {
    static const UINT message = RegisterWindowMessageA("Qelvo.ShowRunningCopy");
    return message;
}

} // namespace qelvo
