// A small Windows-side helper for scripts/run: waits for a top-level
// window with a given caption and prints its screen rectangle, or asks it
// to close the way a user would.
//   wintool wait CAPTION TIMEOUT_MS   -> prints "x y width height", exit 0; 1 on timeout
//   wintool close CAPTION TIMEOUT_MS  -> posts WM_CLOSE, waits until the window is gone
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static HWND FindVisible(const char* caption) {
    HWND w = FindWindowA(nullptr, caption);
    return (w && IsWindowVisible(w)) ? w : nullptr;
}

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: wintool wait|close CAPTION TIMEOUT_MS\n");
        return 2;
    }
    const char* caption = argv[2];
    const DWORD timeout = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
    const DWORD start = GetTickCount();
    if (std::strcmp(argv[1], "wait") == 0) {
        for (;;) {
            if (HWND w = FindVisible(caption)) {
                RECT r;
                GetWindowRect(w, &r);
                std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
                return 0;
            }
            if (GetTickCount() - start > timeout) return 1;
            Sleep(100);
        }
    }
    if (std::strcmp(argv[1], "close") == 0) {
        HWND w = FindWindowA(nullptr, caption);
        if (!w) return 1;
        PostMessageA(w, WM_CLOSE, 0, 0);
        while (IsWindow(w)) {
            if (GetTickCount() - start > timeout) return 1;
            Sleep(100);
        }
        return 0;
    }
    return 2;
}
