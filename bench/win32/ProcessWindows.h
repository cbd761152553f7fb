// The windows of another process as the Wine benchmark harnesses watch
// them: the shown top-level window of a class, and whether any shown
// window still has a part to paint.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <string>

// Whether wnd belongs to the process pid.
bool OfProcess(HWND wnd, DWORD pid);
// The class name of a window.
std::string ClassOf(HWND wnd);
// The first shown top-level window of the process of a class (any class
// for null); nullptr when none.
HWND ShownWindow(DWORD pid, const char* cls);
// True when a shown window of the process, or a child of one, still has a
// part to paint.
bool PaintPending(DWORD pid);
