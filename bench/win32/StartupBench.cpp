// Start-up times of a program against a floor program, run in turn. A run
// starts the program and ends when a window of the given class shows and
// the program is idle: no window of the process waits to be painted and
// the window answers a sent message, so every paint queued before it is
// done. Then the harness closes the program (every window it shows, until
// it ends) and starts the next. Prints every run and the medians.
//   startup_bench RUNS PROGRAM CLASS FLOOR_PROGRAM FLOOR_CLASS [--fresh]
// With --fresh, everything in the program's folder but the program itself
// is removed before each of its runs (a first start every time).
//   startup_bench RUNS PROGRAM CLASS FLOOR_PROGRAM FLOOR_CLASS --same SAME_PROGRAM SAME_ARGUMENT
// also starts SAME_PROGRAM SAME_ARGUMENT in each round (its window class is
// the program's) and prints its median as a third figure.
//   startup_bench --windows PROGRAM CLASS FILE
// starts the program once, and when it is idle writes the window tree of
// its window of that class to FILE (WindowTree.h), for same_windows.exe.
#include "gcl/rtl/WinApi.h"

#include <commctrl.h>
#include <richedit.h>

#include "BenchClock.h"
#include "ProcessWindows.h"
#include "WindowTree.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr double TimeoutSeconds = 60;

// Waits until the process has painted everything and handles messages
// again: nothing to paint, a sent message answered, still nothing to
// paint (a paint that began before the first look has ended by the time
// the message is answered).
bool WaitPaintedAndIdle(DWORD pid, HWND wnd, double t0) {
    while (Now() - t0 < TimeoutSeconds) {
        if (!PaintPending(pid)) {
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result)) return false;
            if (!PaintPending(pid)) return true;
        }
        Sleep(1);
    }
    return false;
}

BOOL CALLBACK CloseShownWindow(HWND wnd, LPARAM param) {
    if (OfProcess(wnd, static_cast<DWORD>(param)) && IsWindowVisible(wnd)) PostMessageA(wnd, WM_CLOSE, 0, 0);
    return TRUE;
}

// Closes the program as a user would, window after window (a message box
// first, then the window behind it), and ends it when it will not end.
void Close(const PROCESS_INFORMATION& pi) {
    const double t0 = Now();
    while (Now() - t0 < 20) {
        EnumWindows(CloseShownWindow, static_cast<LPARAM>(pi.dwProcessId));
        if (WaitForSingleObject(pi.hProcess, 200) == WAIT_OBJECT_0) return;
    }
    std::fprintf(stderr, "the program did not end; ending it\n");
    TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 10000);
}

// Removes everything beside the program in its folder.
void ClearFolderOf(const std::string& program) {
    namespace fs = std::filesystem;
    const fs::path exe(program);
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(exe.parent_path(), ec)) {
        if (entry.path().filename() == exe.filename()) continue;
        fs::remove_all(entry.path(), ec);
    }
}

LRESULT Ask(HWND wnd, UINT msg, WPARAM wParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(wnd, msg, wParam, 0, SMTO_ABORTIFHUNG, 2000, &result)) return 0;
    return static_cast<LRESULT>(result);
}

// The system class a window of a class the program registered is made
// from, told by questions only that class answers (the default procedure
// answers 0 to each); empty when none.
std::string BaseClassOf(HWND wnd) {
    if (Ask(wnd, TVM_GETINDENT)) return WC_TREEVIEWA;
    if (Ask(wnd, EM_GETTEXTMODE)) return "RichEdit20A";
    if (Ask(wnd, EM_GETLIMITTEXT)) return "EDIT";
    if (Ask(wnd, LVM_GETITEMSPACING)) return WC_LISTVIEWA;
    if (Ask(wnd, LB_GETITEMHEIGHT)) return "LISTBOX";
    if (Ask(wnd, CB_GETITEMHEIGHT)) return "COMBOBOX";
    if (Ask(wnd, DTM_GETMCCOLOR, MCSC_BACKGROUND)) return DATETIMEPICK_CLASSA;
    if (Ask(wnd, WM_GETDLGCODE) & (DLGC_BUTTON | DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_RADIOBUTTON))
        return "BUTTON";
    return "";
}

// The window tree of wnd: wnd and its descendants, each child list from
// the top of the z-order down.
void AddWindowTree(HWND wnd, int depth, std::vector<TWindowRecord>& tree) {
    TWindowRecord r;
    r.Depth = depth;
    char name[256] = "";
    GetClassNameA(wnd, name, sizeof name);
    r.Class = name;
    WNDCLASSA system{};
    if (!GetClassInfoA(nullptr, name, &system)) r.Base = BaseClassOf(wnd);
    r.ClassStyle = static_cast<unsigned>(GetClassLongA(wnd, GCL_STYLE));
    r.Style = static_cast<unsigned>(GetWindowLongA(wnd, GWL_STYLE));
    r.ExStyle = static_cast<unsigned>(GetWindowLongA(wnd, GWL_EXSTYLE));
    RECT rect;
    GetWindowRect(wnd, &rect);
    if (depth > 0) MapWindowPoints(nullptr, GetParent(wnd), reinterpret_cast<POINT*>(&rect), 2);
    r.X = rect.left;
    r.Y = rect.top;
    r.Width = rect.right - rect.left;
    r.Height = rect.bottom - rect.top;
    char text[512] = "";
    GetWindowTextA(wnd, text, sizeof text);
    r.Text = text;
    tree.push_back(r);
    for (HWND child = GetWindow(wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        AddWindowTree(child, depth + 1, tree);
}

// Milliseconds from starting the command until a window of class Cls
// shows and the program is idle; negative when it did not get there in
// time. With treeFile, the window's tree is written there once it is idle.
double StartOnce(const std::string& program, const std::string& arguments, const std::string& cls, bool fresh,
                 const char* treeFile = nullptr) {
    if (fresh) ClearFolderOf(program);
    std::string command = "\"" + program + "\"";
    if (!arguments.empty()) command += " \"" + arguments + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double t0 = Now();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", program.c_str(), GetLastError());
        return -1;
    }
    double elapsed = -1;
    WaitForInputIdle(pi.hProcess, static_cast<DWORD>(TimeoutSeconds * 1000));
    HWND wnd = nullptr;
    while (!wnd && Now() - t0 < TimeoutSeconds) {
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;
        wnd = ShownWindow(pi.dwProcessId, cls.c_str());
        if (!wnd) Sleep(1);
    }
    if (wnd && WaitPaintedAndIdle(pi.dwProcessId, wnd, t0)) elapsed = (Now() - t0) * 1000;
    if (elapsed < 0) std::fprintf(stderr, "%s: no idle window of class %s\n", program.c_str(), cls.c_str());
    if (elapsed >= 0 && treeFile) {
        std::vector<TWindowRecord> tree;
        AddWindowTree(wnd, 0, tree);
        if (!WriteWindowTree(treeFile, tree)) {
            std::fprintf(stderr, "cannot write %s\n", treeFile);
            elapsed = -1;
        }
    }
    Close(pi);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return elapsed;
}

int Usage() {
    std::fprintf(stderr, "usage: startup_bench RUNS PROGRAM CLASS FLOOR_PROGRAM FLOOR_CLASS [--fresh]\n"
                         "         [--same SAME_PROGRAM SAME_ARGUMENT]\n"
                         "       startup_bench --windows PROGRAM CLASS FILE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--windows") == 0)
        return StartOnce(argv[2], "", argv[3], false, argv[4]) < 0 ? 1 : 0;
    if (argc < 6 || std::atoi(argv[1]) < 1) return Usage();
    const int runs = std::atoi(argv[1]);
    const std::string program = argv[2], programClass = argv[3], floorProgram = argv[4], floorClass = argv[5];
    bool fresh = false;
    std::string sameProgram, sameArgument;
    for (int i = 6; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fresh") == 0) {
            fresh = true;
        } else if (std::strcmp(argv[i], "--same") == 0 && i + 2 < argc) {
            sameProgram = argv[i + 1];
            sameArgument = argv[i + 2];
            i += 2;
        } else {
            return Usage();
        }
    }
    const bool same = !sameProgram.empty();
    // One untimed start of each first, so that all find the system
    // libraries and their own file in the cache.
    StartOnce(program, "", programClass, fresh);
    StartOnce(floorProgram, "", floorClass, false);
    if (same) StartOnce(sameProgram, sameArgument, programClass, false);
    std::vector<double> times, floorTimes, sameTimes;
    for (int i = 0; i < runs; ++i) {
        const double a = StartOnce(program, "", programClass, fresh);
        const double b = StartOnce(floorProgram, "", floorClass, false);
        const double c = same ? StartOnce(sameProgram, sameArgument, programClass, false) : 0;
        if (a < 0 || b < 0 || c < 0) return 1;
        times.push_back(a);
        floorTimes.push_back(b);
        sameTimes.push_back(c);
        std::printf("run %2d  program %7.1f ms  floor %7.1f ms", i + 1, a, b);
        if (same) std::printf("  same windows, bare %7.1f ms", c);
        std::printf("\n");
        std::fflush(stdout);
    }
    const double mp = Median(times), mf = Median(floorTimes);
    std::printf("median  program %7.1f ms  floor %7.1f ms  ratio %.2f\n", mp, mf, mp / mf);
    if (same) {
        const double ms = Median(sameTimes);
        std::printf("same windows, bare %7.1f ms  ratio to the floor %.2f  program to it %.2f\n", ms, ms / mf,
                    mp / ms);
    }
    return 0;
}
