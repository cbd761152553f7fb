#include "ProcessWindows.h"

namespace {

struct TFind {
    DWORD Pid;
    const char* Class;  // null: any class
    HWND Wnd;
};

BOOL CALLBACK FindShownWindow(HWND wnd, LPARAM param) {
    auto* find = reinterpret_cast<TFind*>(param);
    if (!OfProcess(wnd, find->Pid) || !IsWindowVisible(wnd)) return TRUE;
    if (find->Class && ClassOf(wnd) != find->Class) return TRUE;
    find->Wnd = wnd;
    return FALSE;
}

struct TPending {
    DWORD Pid;
    bool Found;
};

BOOL CALLBACK FindUnpainted(HWND wnd, LPARAM param) {
    auto* pending = reinterpret_cast<TPending*>(param);
    if (IsWindowVisible(wnd) && GetUpdateRect(wnd, nullptr, FALSE)) {
        pending->Found = true;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindUnpaintedTree(HWND wnd, LPARAM param) {
    auto* pending = reinterpret_cast<TPending*>(param);
    if (!OfProcess(wnd, pending->Pid)) return TRUE;
    FindUnpainted(wnd, param);
    if (!pending->Found) EnumChildWindows(wnd, FindUnpainted, param);
    return pending->Found ? FALSE : TRUE;
}

} // namespace

bool OfProcess(HWND wnd, DWORD pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    return owner == pid;
}

std::string ClassOf(HWND wnd) {
    char name[256] = "";
    GetClassNameA(wnd, name, sizeof name);
    return name;
}

HWND ShownWindow(DWORD pid, const char* cls) {
    TFind find{pid, cls, nullptr};
    EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&find));
    return find.Wnd;
}

bool PaintPending(DWORD pid) {
    TPending pending{pid, false};
    EnumWindows(FindUnpaintedTree, reinterpret_cast<LPARAM>(&pending));
    return pending.Found;
}
