// Another program's window, for scenarios that take the activation away
// from the program and give it back.
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "e2e/E2eDriver.h"

namespace qelvo::e2e {

// An edit box in a window of its own, on a thread of the test's own with
// its message loop: to the window system, another program.
class TOtherProgram {
public:
    TOtherProgram() {
        FThread = std::thread([this] {
            FThreadId = GetCurrentThreadId();
            HWND w = CreateWindowExA(0, "EDIT", "Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 200,
                                     150, nullptr, nullptr, nullptr, nullptr);
            FWindow = w;
            MSG m;
            while (GetMessageA(&m, nullptr, 0, 0) > 0) {
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
            DestroyWindow(w);
        });
        WaitUntil([this] { return FWindow.load() != nullptr; });
    }
    ~TOtherProgram() {
        PostThreadMessageA(FThreadId, WM_QUIT, 0, 0);
        FThread.join();
    }
    TOtherProgram(const TOtherProgram&) = delete;
    TOtherProgram& operator=(const TOtherProgram&) = delete;

    // Whether the window's text comes to hold Part (bounded): keys typed
    // here are taken by the window's own thread, which nothing waits for.
    bool Shows(const std::string& part) const {
        return WaitUntil([&] { return TextOf(FWindow).find(part) != std::string::npos; });
    }
    // Brings the window to the front, as a click on it in the taskbar does;
    // whether it came to the front with the keyboard within the bound. The
    // window system names the new foreground window once the window's own
    // thread has made it active, a moment before the window takes the
    // keyboard: keys sent in between reach it as system keys, which type
    // nothing.
    bool Activate(const TProgram& p) {
        SetForegroundWindow(FWindow);
        const bool active = WaitUntil([this] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetForegroundWindow() == FWindow.load() && GetGUIThreadInfo(FThreadId, &info) &&
                   info.hwndFocus == FWindow.load();
        });
        p.Settle();
        return active;
    }

private:
    std::thread FThread;
    std::atomic<DWORD> FThreadId{0};
    std::atomic<HWND> FWindow{nullptr};
};

} // namespace qelvo::e2e
