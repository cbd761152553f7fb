#include "support/WindowTest.h"

#include "gcl/rtl/WinApi.h"

namespace qelvo::test {

bool PumpMessages(unsigned milliseconds, const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(m.wParam));
                return done ? done() : true;
            }
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        if (done && done()) return true;
        if (GetTickCount() - start >= milliseconds) return !done;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void MovePointerOutside(void* window) {
    RECT r{};
    GetWindowRect(static_cast<HWND>(window), &r);
    const int right = GetSystemMetrics(SM_CXSCREEN) - 1, bottom = GetSystemMetrics(SM_CYSCREEN) - 1;
    for (const POINT corner : {POINT{right, bottom}, POINT{0, bottom}, POINT{right, 0}, POINT{0, 0}}) {
        if (!PtInRect(&r, corner)) {
            SetCursorPos(corner.x, corner.y);
            return;
        }
    }
}

HiddenTestWindow::HiddenTestWindow() {
    static ATOM cls = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QelvoHiddenTestWindow";
        return RegisterClassA(&wc);
    }();
    FHandle = CreateWindowExA(0, MAKEINTATOM(cls), "test", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
}

HiddenTestWindow::~HiddenTestWindow() {
    if (FHandle) DestroyWindow(static_cast<HWND>(FHandle));
}

} // namespace qelvo::test
