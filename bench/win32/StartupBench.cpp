// Start-up times of two window programs, run in turn: each run starts the
// program, waits until its first window shows and its message loop waits
// for input, and then closes it. Prints every run and the medians.
//   startup_bench RUNS PROGRAM FLOOR_PROGRAM
#include "gcl/rtl/WinApi.h"

#include "BenchClock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct TFind {
    DWORD Pid;
    HWND Wnd;
};

BOOL CALLBACK FindShownWindow(HWND wnd, LPARAM param) {
    auto* find = reinterpret_cast<TFind*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == find->Pid && IsWindowVisible(wnd)) {
        find->Wnd = wnd;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from starting Program until its window shows and it waits
// for input; negative when it did not get there within 60 seconds.
double StartOnce(const std::string& program) {
    std::string command = "\"" + program + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double t0 = Now();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", program.c_str(), GetLastError());
        return -1;
    }
    TFind find{pi.dwProcessId, nullptr};
    double elapsed = -1;
    if (WaitForInputIdle(pi.hProcess, 60000) == 0) {
        while (Now() - t0 < 60) {
            EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&find));
            if (find.Wnd) break;
            Sleep(1);
        }
        if (find.Wnd) elapsed = (Now() - t0) * 1000;
    }
    if (find.Wnd) PostMessageA(find.Wnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 10000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return elapsed;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: startup_bench RUNS PROGRAM FLOOR_PROGRAM\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    // One untimed start of each first, so that both find the system
    // libraries and their own file in the cache.
    StartOnce(argv[2]);
    StartOnce(argv[3]);
    std::vector<double> program, floor;
    for (int i = 0; i < runs; ++i) {
        const double a = StartOnce(argv[2]);
        const double b = StartOnce(argv[3]);
        if (a < 0 || b < 0) return 1;
        program.push_back(a);
        floor.push_back(b);
        std::printf("run %2d  program %7.1f ms  floor %7.1f ms\n", i + 1, a, b);
    }
    const double mp = Median(program), mf = Median(floor);
    std::printf("median  program %7.1f ms  floor %7.1f ms  ratio %.2f\n", mp, mf, mp / mf);
    return 0;
}
