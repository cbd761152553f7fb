// The floor of the program's start-up: a window and a message loop, and
// nothing else, in a program that loads the same system libraries as
// qelvo.exe (bench/startup.sh checks that the two import the same DLLs)
// and carries the same manifest, so the same common controls load.
#include "gcl/rtl/WinApi.h"

#include <commctrl.h>
#include <commdlg.h>
#include <mmsystem.h>
#include <ole2.h>
#include <oleauto.h>
#include <oledlg.h>
#include <shellapi.h>
#include <uxtheme.h>
#include <winspool.h>
#include <winver.h>

namespace {

LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

// One function of each library the program imports, so the loader maps
// them all at start, as it does for the program.
void* volatile Imports[] = {
    reinterpret_cast<void*>(&InitCommonControlsEx), reinterpret_cast<void*>(&CommDlgExtendedError),
    reinterpret_cast<void*>(&GetStockObject),       reinterpret_cast<void*>(&AlphaBlend),
    reinterpret_cast<void*>(&CoTaskMemFree),        reinterpret_cast<void*>(&ShellExecuteA),
    reinterpret_cast<void*>(&IsThemeActive),        reinterpret_cast<void*>(&RegCloseKey),
    reinterpret_cast<void*>(&SysFreeString),        reinterpret_cast<void*>(&timeGetTime),
    reinterpret_cast<void*>(&OleUIBusyA),           reinterpret_cast<void*>(&GetFileVersionInfoSizeA),
    reinterpret_cast<void*>(&ClosePrinter),
};

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    (void)Imports[0];
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "BareWindow";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(0, "BareWindow", "Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 480,
                               nullptr, nullptr, instance, nullptr);
    ShowWindow(wnd, show);
    UpdateWindow(wnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
