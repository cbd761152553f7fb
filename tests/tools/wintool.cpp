// A small Windows-side helper for scripts/run and scripts/test: finds the program's main
// window, answering the program's own message boxes on the way (the
// first start in an empty folder shows one), prints its screen rectangle,
// and closes the program the way a user would. Every wait has a bound.
// It also holds the prefix's desktop while scripts/test runs.
//   wintool wait CAPTION TIMEOUT_MS   -> prints "x y width height", exit 0; 1 on timeout
//   wintool close CAPTION TIMEOUT_MS  -> posts WM_CLOSE, waits until the window is gone
//   wintool main TIMEOUT_MS           -> waits for Qelvo's main window, taking the
//                                        default button of any message box titled
//                                        "Qelvo" meanwhile; prints its rectangle
//   wintool closemain TIMEOUT_MS      -> closes the main window, answering message
//                                        boxes with their default button, and waits
//                                        until it is gone
//   wintool hold TIMEOUT_MS           -> stays on the desktop for TIMEOUT_MS (0: until
//                                        killed), so that Wine's desktop process keeps
//                                        running between programs
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static HWND FindVisible(const char* className, const char* caption) {
    HWND w = FindWindowA(className, caption);
    return (w && IsWindowVisible(w)) ? w : nullptr;
}

// The program's message box, if one is up: its default button is pressed.
static void AnswerMessageBox() {
    HWND box = FindVisible("#32770", "Qelvo");
    if (!box) return;
    const LRESULT def = SendMessageA(box, DM_GETDEFID, 0, 0);
    const int id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

static void PrintRect(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: wintool wait|close CAPTION TIMEOUT_MS | main|closemain|hold TIMEOUT_MS\n");
        return 2;
    }
    const bool captioned = std::strcmp(argv[1], "wait") == 0 || std::strcmp(argv[1], "close") == 0;
    if (captioned && argc < 4) return 2;
    const char* caption = captioned ? argv[2] : nullptr;
    const DWORD timeout = static_cast<DWORD>(std::strtoul(argv[captioned ? 3 : 2], nullptr, 10));
    const DWORD start = GetTickCount();
    auto late = [&] { return GetTickCount() - start > timeout; };
    if (std::strcmp(argv[1], "wait") == 0) {
        for (;;) {
            if (HWND w = FindVisible(nullptr, caption)) {
                PrintRect(w);
                return 0;
            }
            if (late()) return 1;
            Sleep(100);
        }
    }
    if (std::strcmp(argv[1], "hold") == 0) {
        GetDesktopWindow();
        Sleep(timeout ? timeout : INFINITE);
        return 0;
    }
    if (std::strcmp(argv[1], "close") == 0) {
        HWND w = FindWindowA(nullptr, caption);
        if (!w) return 1;
        PostMessageA(w, WM_CLOSE, 0, 0);
        while (IsWindow(w)) {
            if (late()) return 1;
            Sleep(100);
        }
        return 0;
    }
    if (std::strcmp(argv[1], "main") == 0) {
        for (;;) {
            if (HWND w = FindVisible("TMainForm", nullptr)) {
                // Shown, and done with what it was sent (its first paint).
                DWORD_PTR result = 0;
                SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
                PrintRect(w);
                return 0;
            }
            AnswerMessageBox();
            if (late()) return 1;
            Sleep(100);
        }
    }
    if (std::strcmp(argv[1], "closemain") == 0) {
        HWND w = FindWindowA("TMainForm", nullptr);
        if (!w) return 1;
        PostMessageA(w, WM_CLOSE, 0, 0);
        while (IsWindow(w)) {
            AnswerMessageBox();
            if (late()) return 1;
            Sleep(100);
        }
        return 0;
    }
    return 2;
}
