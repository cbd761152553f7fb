// The real program (qelvo.exe) as a user meets it, on generated databases
// of growing size: the start until the main window is shown and idle, the
// memory of the process at rest, and each interaction a user repeats,
// driven with real input (SendInput, so focus, menus and the program's own
// loops take part) and timed until the program has handled it and painted:
// until its threads last used the processor before a quiet span, read from
// Linux's /proc (the driver runs under Wine only). The program runs on the
// upper half of the processors the bench is given, the driver on the lower.
// Each time is printed with its floor, measured in this run on the same
// database: the task filter over every task plus one paint of the visible
// rows of a list view of the program's size, both by the program's own
// code in this process. Also the growth of each time from the previous
// database to this one.
//   program_bench RUNS FOLDER...      (bench/program.sh prepares the folders)
// Each FOLDER holds qelvo.exe, settings.ini and Data/ActualData.kpx.
// With --explore FOLDER the program is started once and its child windows
// are listed (for finding one's way when the window changes).
#include "gcl/rtl/WinApi.h"

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "ProcessWindows.h"
#include "app/logic/FilterBar.h"
#include "data/uDataMan.h"
#include "gcl/Forms.h"
#include "gcl/rtl/Strings.h"
#include "listview/GvListview.h"

using namespace qelvo;

namespace {

constexpr double Bound = 120;  // seconds any one wait may take
// Processor time (ns) beyond any wake of the program at rest, which takes
// a fraction of a millisecond.
constexpr uint64_t WakeWork = 2'000'000;

HANDLE GRunning = nullptr;  // the program started, ended by a failure

// The processors the program runs on: the upper half of those the bench was
// given, while the driver keeps the lower half (SplitProcessors). The
// driver reads the program's processor time without pause; on the same
// processors it would take them from the program it times, whose work
// would then wait for a processor and read slower than it is. All of them
// when the bench was given only one.
DWORD_PTR GProgramProcessors = 0;

void SplitProcessors() {
    DWORD_PTR own = 0, system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &own, &system)) return;
    std::vector<DWORD_PTR> bits;
    for (DWORD_PTR bit = 1; bit != 0; bit <<= 1)
        if (own & bit) bits.push_back(bit);
    if (bits.size() < 2) return;
    DWORD_PTR driver = 0, program = 0;
    for (size_t i = 0; i < bits.size(); ++i) (i < bits.size() / 2 ? driver : program) |= bits[i];
    if (!SetProcessAffinityMask(GetCurrentProcess(), driver)) return;
    GProgramProcessors = program;
}

[[noreturn]] void Fail(const std::string& what) {
    if (GRunning) TerminateProcess(GRunning, 1);
    std::fprintf(stderr, "program_bench: %s\n", what.c_str());
    std::fflush(stdout);
    std::exit(1);
}

// ---- Windows of the program

struct TChildren {
    std::string Class;
    std::vector<HWND> Out;
};

BOOL CALLBACK CollectChild(HWND w, LPARAM param) {
    auto* c = reinterpret_cast<TChildren*>(param);
    if (IsWindowVisible(w) && (c->Class.empty() || ClassOf(w) == c->Class)) c->Out.push_back(w);
    return TRUE;
}

std::vector<HWND> Children(HWND parent, const std::string& cls) {
    TChildren c{cls, {}};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&c));
    return c.Out;
}

// ---- The program

class TProgram {
public:
    explicit TProgram(const std::string& folder) : FFolder(folder) {}
    ~TProgram() { Stop(); }

    // Starts the program; the seconds until its main window shows and it is idle.
    double Start() {
        std::string command = "\"" + FFolder + "\\qelvo.exe\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        // QELVO_PROGRAM_WINEDEBUG: Wine's debug channels for the program alone.
        if (const char* channels = std::getenv("QELVO_PROGRAM_WINEDEBUG")) SetEnvironmentVariableA("WINEDEBUG", channels);
        const double t0 = Now();
        // Started held, so that its first thread already runs on its own
        // processors.
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                            FFolder.c_str(), &si, &FPi))
            Fail("cannot start " + command);
        GRunning = FPi.hProcess;
        if (GProgramProcessors && !SetProcessAffinityMask(FPi.hProcess, GProgramProcessors))
            Fail("cannot give the program its processors");
        ResumeThread(FPi.hThread);
        while ((FUnixPid = FindUnixPid(command)).empty()) {
            if (Now() - t0 > Bound || WaitForSingleObject(FPi.hProcess, 0) == WAIT_OBJECT_0)
                Fail("cannot find the processor time of " + command + " in /proc (Z:\\proc)");
            Sleep(1);
        }
        while (!(FMain = ShownWindow(FPi.dwProcessId, "TMainForm"))) {
            if (Now() - t0 > Bound || WaitForSingleObject(FPi.hProcess, 0) == WAIT_OBJECT_0)
                Fail("no main window from " + command);
            Sleep(1);
        }
        FCpuAtRest = 0;
        // The start may wait on Wine's other processes longer than an
        // interaction's pauses.
        return Idle(t0, Quiet);
    }

    // The moment the program's work on input sent at t0 ended, in seconds
    // from t0, once it is at rest again: its threads have used no
    // processor time for a quiet span and no window of it waits to be
    // painted. Its processor time is read from Linux (/proc, through Wine's
    // drive Z:), in nanoseconds: a question sent to the program (a message
    // it must answer) is no sign of rest, since it answers sent messages
    // in the middle of its work wherever it looks at its queue. The work
    // is the stretch of activity from the input on whose pauses are
    // shorter than Gap: the program also wakes now and then at rest for a
    // fraction of a millisecond (its timers), and such a wake after a
    // pause belongs to no input (its count per run is kept in FWakes).
    // Activity after a pause that uses more processor time than a wake
    // ever does (WakeWork) is the input's work going on after a wait (for
    // a processor, another process or the window system): the work then
    // ends with it, and the wakes counted since that pause were none.
    // Negative when the program did nothing at all after t0 (the input
    // was lost).
    double Idle(double t0, double Gap = 0.015) const {
        uint64_t last = FCpuAtRest;
        double active = -1, end = -1;
        bool paused = false;
        uint64_t pausedAt = 0;  // processor time when the last pause began
        int wakes = 0;          // counted since then
        // QELVO_BENCH_TRACE: each interaction's uses of the processor, per
        // thread (ms from the input: microseconds used), on stderr.
        const bool trace = std::getenv("QELVO_BENCH_TRACE") != nullptr;
        std::map<std::string, uint64_t> threads, before;
        std::string log;
        if (trace) CpuNanoseconds(&before);
        for (;;) {
            const double now = Now();
            if (now - t0 > Bound) Fail("the program did not come to rest");
            const uint64_t cpu = CpuNanoseconds(trace ? &threads : nullptr);
            if (cpu != last) {
                if (trace) {
                    char text[64];
                    std::snprintf(text, sizeof text, " %.1f:", (now - t0) * 1e3);
                    log += text;
                    for (const auto& [id, ns] : threads)
                        if (ns != before[id]) {
                            std::snprintf(text, sizeof text, "%s%s=%.0f", log.back() == ':' ? "" : ",", id.c_str(),
                                          (ns - before[id]) / 1e3);
                            log += text;
                        }
                    before = threads;
                }
                if (end >= 0 && now - active >= Gap) {
                    if (!paused) pausedAt = last;
                    paused = true;
                    ++FWakes;
                    ++wakes;
                }
                if (paused && cpu - pausedAt > WakeWork) {
                    paused = false;
                    FWakes -= wakes;
                    wakes = 0;
                }
                if (!paused) end = now;
                active = now;
                last = cpu;
            } else if (now - std::max(active, t0) > Quiet && !PaintPending(FPi.dwProcessId)) {
                // The span was quiet and nothing waits to be painted: the
                // program is at rest (its processor time is read again,
                // in case the look at its windows raced with its work).
                if (CpuNanoseconds() == last) break;
            }
            // Each look at the program's time is a round of Wine server
            // requests, which the program's own work waits behind: a
            // look a millisecond, not as often as the driver can.
            Sleep(1);
        }
        if (trace) std::fprintf(stderr, "  work until %.1f ms:%s\n", (end - t0) * 1e3, log.c_str());
        FCpuAtRest = last;
        return end < 0 ? -1 : end - t0;
    }

    void Stop() {
        CloseThreadFiles();
        if (FProcStat) CloseHandle(FProcStat);
        FProcStat = nullptr;
        if (!FPi.hProcess) return;
        if (WaitForSingleObject(FPi.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(FPi.hProcess, 1);
            WaitForSingleObject(FPi.hProcess, 10000);
        }
        CloseHandle(FPi.hProcess);
        CloseHandle(FPi.hThread);
        GRunning = nullptr;
        FPi = {};
    }

    // Private bytes of the process.
    double MemoryBytes() const {
        PROCESS_MEMORY_COUNTERS pmc{};
        pmc.cb = sizeof pmc;
        if (!GetProcessMemoryInfo(FPi.hProcess, &pmc, sizeof pmc))
            std::fprintf(stderr, "memory: error %lu\n", GetLastError());
        return static_cast<double>(pmc.PagefileUsage);
    }

    HWND Main() const { return FMain; }
    DWORD Pid() const { return FPi.dwProcessId; }

    // How often the program wakes per second while nobody touches it.
    double WakesAtRest(double seconds) const {
        int wakes = 0;
        uint64_t last = CpuNanoseconds();
        double active = 0;
        for (const double t0 = Now(); Now() - t0 < seconds; Sleep(0)) {
            const uint64_t cpu = CpuNanoseconds();
            if (cpu == last) continue;
            if (Now() - active > 0.002) ++wakes;
            active = Now();
            last = cpu;
        }
        FCpuAtRest = last;
        return wakes / seconds;
    }

private:
    // The processor time of every thread of the program so far. The files
    // Linux keeps it in stay open and are read again from their start:
    // opening, listing and closing them on every look was some thirty Wine
    // server requests, each a wait for the server the program's own
    // requests queue at. The threads are listed again when their number in
    // the process's status changes or a thread's file can no longer be read
    // (the thread ended).
    uint64_t CpuNanoseconds(std::map<std::string, uint64_t>* threads = nullptr) const {
        if (FUnixPid.empty()) return 0;
        if (threads) threads->clear();
        if (!FProcStat) FProcStat = OpenProcFile("Z:\\proc\\" + FUnixPid + "\\stat");
        const std::string status = ReadFromStart(FProcStat);
        if (status.empty()) return FCpuAtRest;  // the process has ended
        const int count = ThreadCount(status);
        for (int pass = 0; pass < 2; ++pass) {
            if (count != FThreadCount) ListThreads(count);
            uint64_t sum = 0;
            bool gone = false;
            for (const auto& [id, file] : FThreadFiles) {
                const std::string stat = ReadFromStart(file);
                if (stat.empty()) {
                    gone = true;
                    break;
                }
                const uint64_t ns = std::strtoull(stat.c_str(), nullptr, 10);
                if (threads) (*threads)[id] = ns;
                sum += ns;
            }
            if (!gone) return sum;
            FThreadCount = -1;
            if (threads) threads->clear();
        }
        return FCpuAtRest;
    }

    // The program's threads and their open stat files, listed anew.
    void ListThreads(int count) const {
        CloseThreadFiles();
        const std::string tasks = "Z:\\proc\\" + FUnixPid + "\\task\\";
        WIN32_FIND_DATAA found{};
        HANDLE find = FindFirstFileA((tasks + "*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return;
        do {
            if (found.cFileName[0] < '0' || found.cFileName[0] > '9') continue;
            const HANDLE file = OpenProcFile(tasks + found.cFileName + "\\schedstat");
            if (file) FThreadFiles[found.cFileName] = file;
        } while (FindNextFileA(find, &found));
        FindClose(find);
        FThreadCount = count;
    }

    void CloseThreadFiles() const {
        for (const auto& entry : FThreadFiles) CloseHandle(entry.second);
        FThreadFiles.clear();
        FThreadCount = -1;
    }

    static HANDLE OpenProcFile(const std::string& path) {
        const HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
        return f == INVALID_HANDLE_VALUE ? nullptr : f;
    }

    // The whole of a small file read from its start (empty when it cannot
    // be read): Linux makes a status file's text anew for a read there.
    // (A plain read after a seek: Wine answers both in the process, while
    // a read given its offset in an OVERLAPPED asks the server to post its
    // completion.)
    static std::string ReadFromStart(HANDLE file) {
        if (!file || SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return {};
        char buffer[4096];
        DWORD read = 0;
        if (!ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr)) read = 0;
        return std::string(buffer, read);
    }

    // The number of threads in a /proc/PID/stat line: the 20th field, the
    // 18th after the command name's closing parenthesis.
    static int ThreadCount(const std::string& status) {
        size_t at = status.rfind(')');
        if (at == std::string::npos) return -1;
        for (int field = 0; field < 18 && at != std::string::npos; ++field) at = status.find(' ', at + 1);
        return at == std::string::npos ? -1 : std::atoi(status.c_str() + at + 1);
    }

    static std::string ReadSmallFile(const std::string& path) {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return {};
        char buffer[4096];
        DWORD read = 0;
        if (!ReadFile(f, buffer, sizeof buffer - 1, &read, nullptr)) read = 0;
        CloseHandle(f);
        return std::string(buffer, read);
    }

    // The Linux process id of the program: the process in /proc whose
    // command line is the one the program was started with.
    std::string FindUnixPid(const std::string& command) const {
        WIN32_FIND_DATAA found{};
        HANDLE find = FindFirstFileA("Z:\\proc\\*", &found);
        if (find == INVALID_HANDLE_VALUE) return {};
        std::string pid;
        do {
            if (found.cFileName[0] < '0' || found.cFileName[0] > '9') continue;
            const std::string line = ReadSmallFile(std::string("Z:\\proc\\") + found.cFileName + "\\cmdline");
            // Wine shows the command line without the quotes around the program.
            if (line.compare(0, command.size(), command) == 0 ||
                line.compare(0, command.size() - 2, command.substr(1, command.size() - 2)) == 0) {
                pid = found.cFileName;
                break;
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
        return pid;
    }

    std::string FFolder;
    PROCESS_INFORMATION FPi{};
    HWND FMain = nullptr;
    std::string FUnixPid;
    mutable uint64_t FCpuAtRest = 0;
    mutable HANDLE FProcStat = nullptr;
    mutable std::map<std::string, HANDLE> FThreadFiles;
    mutable int FThreadCount = -1;

public:
    static constexpr double Quiet = 0.025;  // seconds of no processor use that end a wait
    mutable int FWakes = 0;                 // wakes after a pause, left out of the times
};

// ---- Input

enum : unsigned { None = 0, Shift = 1, Ctrl = 2, Alt = 4 };

bool IsExtended(WORD vk) {
    switch (vk) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_HOME: case VK_END:
    case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_DELETE:
        return true;
    default:
        return false;
    }
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return in;
}

void Send(std::vector<INPUT>& in) {
    if (!in.empty()) SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    in.clear();
}

void SendKey(WORD vk, unsigned mods) {
    std::vector<INPUT> in;
    if (mods & Ctrl) in.push_back(KeyInput(VK_CONTROL, false));
    if (mods & Shift) in.push_back(KeyInput(VK_SHIFT, false));
    if (mods & Alt) in.push_back(KeyInput(VK_MENU, false));
    in.push_back(KeyInput(vk, false));
    in.push_back(KeyInput(vk, true));
    if (mods & Alt) in.push_back(KeyInput(VK_MENU, true));
    if (mods & Shift) in.push_back(KeyInput(VK_SHIFT, true));
    if (mods & Ctrl) in.push_back(KeyInput(VK_CONTROL, true));
    Send(in);
}

void SendChar(char c) {
    const SHORT scan = VkKeyScanA(c);
    SendKey(static_cast<WORD>(scan & 0xFF), (scan & 0x100) ? Shift : None);
}

INPUT MouseInput(DWORD flags, POINT at) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = static_cast<LONG>((at.x * 65535LL + (w - 1) / 2) / (w - 1));
    in.mi.dy = static_cast<LONG>((at.y * 65535LL + (h - 1) / 2) / (h - 1));
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return in;
}

void SendMove(POINT at) {
    std::vector<INPUT> in{MouseInput(MOUSEEVENTF_MOVE, at)};
    Send(in);
}

void SendClick(POINT at) {
    std::vector<INPUT> in{MouseInput(MOUSEEVENTF_LEFTDOWN, at), MouseInput(MOUSEEVENTF_LEFTUP, at)};
    Send(in);
}

// ---- Timing

struct TRow {
    std::string Name;
    std::vector<double> Times;  // seconds, one per repetition that caused work
    int Lost = 0;               // repetitions after which the program did nothing
};

class TSession {
public:
    explicit TSession(TProgram& p) : P(p) {}
    // Sends input untimed and waits until the program is idle.
    template <class F>
    void Do(F&& send) {
        const double t0 = Now();
        send();
        P.Idle(t0);
    }
    // QELVO_BENCH_SKIP names interactions left out (a part of a name each,
    // comma-separated); an interaction that needs untimed input first asks
    // this before sending it, so a row left out leaves nothing behind.
    static bool Skipped(const std::string& name) {
        if (const char* skip = std::getenv("QELVO_BENCH_SKIP")) {
            std::string list = std::string(skip) + ",";
            for (size_t pos = 0, q; (q = list.find(',', pos)) != std::string::npos; pos = q + 1)
                if (q > pos && name.find(list.substr(pos, q - pos)) != std::string::npos) return true;
        }
        return false;
    }
    template <class F>
    void Time(const std::string& name, F&& send) {
        if (Skipped(name)) return;
        // QELVO_BENCH_MARKS=MS puts a global atom naming the interaction
        // before its input and another MS milliseconds later, with no
        // question sent to the program in between: a Wine server trace
        // (WINEDEBUG=+server) then shows which requests each interaction
        // made (bench/server-calls.sh tallies them).
        const char* marks = std::getenv("QELVO_BENCH_MARKS");
        if (marks) {
            GlobalDeleteAtom(GlobalAddAtomA(("qmark begin " + name).c_str()));
        }
        if (marks || std::getenv("QELVO_BENCH_TRACE")) {
            std::fprintf(stderr, "qmark begin %s\n", name.c_str());
            std::fflush(stderr);
        }
        const double t0 = Now();
        send();
        if (marks) {
            Sleep(static_cast<DWORD>(std::atoi(marks)));
            GlobalDeleteAtom(GlobalAddAtomA(("qmark end " + name).c_str()));
            std::fprintf(stderr, "qmark end %s\n", name.c_str());
            std::fflush(stderr);
        }
        const double t = P.Idle(t0);
        auto it = std::find_if(Rows.begin(), Rows.end(), [&](const TRow& r) { return r.Name == name; });
        if (it == Rows.end()) {
            Rows.push_back({name, {}});
            it = Rows.end() - 1;
        }
        if (t < 0)
            ++it->Lost;
        else
            it->Times.push_back(t);
        // QELVO_BENCH_PAUSE names an interaction after which the run waits
        // five seconds, for a look at the screen.
        if (const char* pause = std::getenv("QELVO_BENCH_PAUSE"))
            if (name.find(pause) != std::string::npos) Sleep(5000);
    }
    TProgram& P;
    std::vector<TRow> Rows;
};

// ---- The floor

// The task filter over every task (Hide Done, as the program builds it)
// and one paint of a report view of the program's list view size holding
// the rows it shows; seconds each, medians of RUNS.
struct TFloor {
    double Filter = 0;
    double Paint = 0;
    int Tasks = 0;
    double FileBytes = 0;
    double Save = 0;  // the save's own floor: the disk's part of it
};

// A plain save of the database's bytes, as the disk takes them: written in
// pieces of a megabyte to a new file beside the database, put on the disk
// and renamed onto a file of the same size (made first, never the
// database itself); seconds, the median of RUNS.
double MeasureSaveFloor(const std::string& database, int runs) {
    std::string bytes;
    {
        HANDLE f = CreateFileA(database.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) Fail("cannot read " + database);
        bytes.resize(GetFileSize(f, nullptr));
        DWORD read = 0;
        if (!ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
            Fail("cannot read " + database);
        CloseHandle(f);
    }
    const std::string target = database + ".floor";
    const std::string temporary = database + ".floor.tmp";
    const auto write = [&](const std::string& name) {
        HANDLE f = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f == INVALID_HANDLE_VALUE) Fail("cannot write " + name);
        constexpr size_t Piece = 1 << 20;
        for (size_t at = 0; at < bytes.size(); at += Piece) {
            const DWORD n = static_cast<DWORD>(std::min(Piece, bytes.size() - at));
            DWORD written = 0;
            if (!WriteFile(f, bytes.data() + at, n, &written, nullptr) || written != n) Fail("cannot write " + name);
        }
        if (!FlushFileBuffers(f)) Fail("cannot flush " + name);
        CloseHandle(f);
    };
    write(target);
    std::vector<double> times;
    for (int r = 0; r < std::max(runs, 5); ++r) {
        const double t0 = Now();
        write(temporary);
        if (!MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            Fail("cannot rename " + temporary);
        times.push_back(Now() - t0);
    }
    DeleteFileA(target.c_str());
    return Median(times);
}

TFloor MeasureFloor(const std::string& database, int runs, int width, int height) {
    TFloor floor;
    TuData data;
    if (!data.LoadFromFile(database)) Fail("cannot load " + database);
    floor.Tasks = data.Tasks->GetCount();
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    GetFileAttributesExA(database.c_str(), GetFileExInfoStandard, &attributes);
    floor.FileBytes = static_cast<double>(attributes.nFileSizeLow);
    TFilterBarState bar;
    bar.HideDone = true;
    std::vector<double> filter;
    int matches = 0;
    for (int r = 0; r < std::max(runs, 5); ++r) {
        const double t0 = Now();
        TFilterSystem system;
        BuildFilter(system, bar);
        system.Data = &data;
        matches = 0;
        for (int i = 0; i < data.Tasks->GetCount(); ++i) matches += system.Match(i, nullptr);
        filter.push_back(Now() - t0);
    }
    floor.Filter = Median(filter);

    HWND host = CreateWindowExA(0, "STATIC", "floor", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    TGvListview* lv = TGvListview::Create(nullptr);
    lv->SetBounds(0, 0, width, height);
    lv->SetParentWindow(host);
    lv->HandleNeeded();
    lv->SetView(elsReport);
    lv->GetHeader()->SetVisible(true);
    lv->GetCellSizes()->GetReport()->SetHeight(20);
    lv->GetPaintInfoItem()->SetCheckType(ectBox);
    lv->GetPaintInfoItem()->SetGridLines(true);
    lv->GetSelection()->SetFullRowSelect(true);
    TGvColumns* columns = lv->GetHeader()->GetColumns();
    columns->Add(nullptr)->SetWidth(320);
    columns->Add(nullptr)->SetWidth(150);
    columns->Add(nullptr)->SetWidth(100);
    const int rows = std::min(height / 20 + 1, floor.Tasks);
    lv->BeginUpdate();
    for (int i = 0; i < rows; ++i) {
        const TuTask* task = data.Tasks->GetTask(i);
        TGvItem* item = lv->GetItems()->Add(nullptr);
        item->SetCaptions(0, gcl::AnsiToWide(std::string(task->Title)));
        item->SetCaptions(1, gcl::AnsiToWide(std::string(task->Tags)));
        item->SetCaptions(2, L"6/1/2025");
        item->SetChecked(task->Done);
    }
    lv->EndUpdate();
    gcl::TBitmap bitmap;
    bitmap.SetPixelFormat(gcl::pf32bit);
    bitmap.SetSize(width, height);
    std::vector<double> paint;
    for (int r = 0; r < std::max(runs, 5) * 2; ++r) {
        const double t0 = Now();
        lv->PaintRect(bitmap.GetCanvas(), gcl::TRect{0, 0, lv->GetClientWidth(), lv->GetClientHeight()}, false);
        paint.push_back(Now() - t0);
    }
    floor.Paint = Median(paint);
    gcl::Free(lv);
    DestroyWindow(host);
    if (matches < 0) Fail("impossible");
    return floor;
}

// ---- The interactions

RECT RectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

struct TResult {
    int Tasks = 0;
    double FileBytes = 0;
    TFloor Floor;
    double Start = 0;
    double Memory = 0;
    double RestWakes = 0;
    int LeftOut = 0;
    int Inputs = 0;
    std::vector<TRow> Rows;
};

HWND FindList(HWND main) {
    const auto lists = Children(main, "TGvListview");
    if (lists.empty()) Fail("no list view");
    return lists.front();
}

HWND FindTree(HWND main) {
    for (const char* cls : {"TUniTreeView.UnicodeClass", "TTxcTreeView", "TTreeView"}) {
        const auto trees = Children(main, cls);
        if (!trees.empty()) return trees.front();
    }
    return nullptr;
}

// The menu bar: the topmost of the main window's bars.
HWND FindMenuBar(HWND main) {
    const auto bars = Children(main, "TXtToolbar.UnicodeClass");
    if (bars.empty()) return nullptr;
    return *std::min_element(bars.begin(), bars.end(), [](HWND a, HWND b) {
        const RECT ra = RectOf(a), rb = RectOf(b);
        return ra.top < rb.top || (ra.top == rb.top && ra.left < rb.left);
    });
}

// The theme menu's entries (Default first): the theme a first start
// shows, and another drawn by a colour table of its own.
constexpr int FirstStartTheme = 17, OtherTheme = 11;
const std::string WholeRepaint = "repaint of the whole window";

// Opens Tools > Theme with the mouse and the keys, untimed, and leaves the
// keyboard on entry Index: the Enter that follows is what a user waits for.
void OpenThemeMenuAt(TSession& s, HWND menuBar, int index) {
    const RECT bar = RectOf(menuBar);
    const POINT tools{bar.left + 88, bar.top + 11};
    s.Do([&] { SendMove(tools); });
    s.Do([&] { SendClick(tools); });
    s.Do([] { SendKey(VK_UP, None); });  // Options...
    s.Do([] { SendKey(VK_UP, None); });  // Theme
    s.Do([] { SendKey(VK_RIGHT, None); });
    for (int i = 0; i < index; ++i) s.Do([] { SendKey(VK_DOWN, None); });
}

TResult RunFolder(const std::string& folder, int runs) {
    TResult result;
    std::vector<double> starts;
    std::vector<double> memory;
    // Starts: the first warms the file cache and Wine.
    for (int r = 0; r <= runs; ++r) {
        TProgram p(folder);
        const double t = p.Start();
        if (r > 0) starts.push_back(t);
        memory.push_back(p.MemoryBytes());
        p.Stop();
    }
    result.Start = Median(starts);
    result.Memory = Median(memory);

    TProgram p(folder);
    p.Start();
    HWND main = p.Main();
    HWND list = FindList(main);
    RECT client{};
    GetClientRect(list, &client);
    result.Floor = MeasureFloor(folder + "\\Data\\ActualData.kpx", runs, client.right, client.bottom);
    result.Floor.Save = MeasureSaveFloor(folder + "\\Data\\ActualData.kpx", runs);
    result.Tasks = result.Floor.Tasks;
    result.RestWakes = p.WakesAtRest(2);
    result.FileBytes = result.Floor.FileBytes;

    TSession s(p);
    const RECT lr = RectOf(list);
    const POINT titleHeader{lr.left + 150, lr.top + 10};
    HWND tree = FindTree(main);
    const RECT tr = tree ? RectOf(tree) : RECT{};
    for (int r = 0; r < runs; ++r) {
        s.Time("Hide Done on (Ctrl+D)", [] { SendKey('D', Ctrl); });
        s.Time("Hide Done off (Ctrl+D)", [] { SendKey('D', Ctrl); });
        for (int k = 0; k < 4; ++k) s.Time("priority filter, next (Ctrl+P)", [] { SendKey('P', Ctrl); });
        s.Time("date filter Today (Ctrl+1)", [] { SendKey('1', Ctrl); });
        s.Time("date filter All dates (Ctrl+A)", [] { SendKey('A', Ctrl); });
        s.Time("enter find mode (Ctrl+F)", [] { SendKey('F', Ctrl); });
        for (char c : std::string("call")) s.Time("find box: one character", [c] { SendChar(c); });
        for (int k = 0; k < 4; ++k) s.Time("find box: Backspace", [] { SendKey(VK_BACK, None); });
        s.Time("leave find mode (Ctrl+N)", [] { SendKey('N', Ctrl); });
        s.Time("group by date (Alt+D)", [] { SendKey('D', Alt); });
        s.Time("group by priority (Alt+P)", [] { SendKey('P', Alt); });
        s.Time("group by tags (Alt+T)", [] { SendKey('T', Alt); });
        s.Time("group by list (Alt+L)", [] { SendKey('L', Alt); });
        s.Do([&] { SendMove(titleHeader); });
        s.Time("header click sort (Title)", [&] { SendClick(titleHeader); });
        s.Time("header click sort (Title)", [&] { SendClick(titleHeader); });
        if (tree) {
            const POINT second{tr.left + 60, tr.top + 12 + 2 * 24};
            const POINT first{tr.left + 60, tr.top + 12};
            s.Do([&] { SendMove(second); });
            s.Time("select a list in the side tree", [&] { SendClick(second); });
            s.Do([] { SendKey('N', Ctrl); });
            s.Do([] {
                for (char c : std::string("bench task")) SendChar(c);
            });
            s.Time("quick entry: add a task (Enter)", [] { SendKey(VK_RETURN, None); });
            // The new task is scrolled into sight: back to the top, so the
            // clicks below meet the first task as before.
            s.Do([&] { SendMessageA(list, WM_VSCROLL, SB_TOP, 0); });
            // The check box of the first row, below the header and the first group's caption.
            const POINT check{lr.left + 11, lr.top + 66};
            s.Do([&] { SendMove(check); });
            s.Time("mark done (check box click)", [&] { SendClick(check); });
            s.Time("mark done (check box click)", [&] { SendClick(check); });
            const POINT title{lr.left + 150, lr.top + 66};
            s.Do([&] { SendMove(title); });
            s.Do([&] { SendClick(title); });
            s.Time("delete one task (Del)", [] { SendKey(VK_DELETE, None); });
            s.Do([&] { SendMove(first); });
            s.Time("select All in the side tree", [&] { SendClick(first); });
            // Over all tasks, a click on the title of the second row, then on
            // the first row's: each chooses one task in place of the one before.
            const POINT below{lr.left + 150, lr.top + 66 + 20};
            s.Do([&] { SendMove(below); });
            s.Time("click a task (All)", [&] { SendClick(below); });
            s.Do([&] { SendMove(title); });
            s.Time("click a task (All)", [&] { SendClick(title); });
        }
        // A theme switch draws every window again: its own floor is one
        // repaint of the whole window, frames and all, asked from outside.
        s.Time(WholeRepaint, [&] {
            RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        });
        const std::string switchTheme = "switch theme (Tools, Theme)";
        if (HWND menuBar = FindMenuBar(main); menuBar && !TSession::Skipped(switchTheme)) {
            for (int theme : {OtherTheme, FirstStartTheme}) {
                OpenThemeMenuAt(s, menuBar, theme);
                s.Time(switchTheme, [] { SendKey(VK_RETURN, None); });
            }
        }
        s.Time("save (Ctrl+S)", [] { SendKey('S', Ctrl); });
    }
    result.Rows = s.Rows;
    result.LeftOut = p.FWakes;
    for (const TRow& row : s.Rows) result.Inputs += row.Lost + static_cast<int>(row.Times.size());
    p.Stop();
    return result;
}

void Explore(const std::string& folder) {
    TProgram p(folder);
    std::printf("start: %.0f ms\n", p.Start() * 1000);
    for (HWND w : Children(p.Main(), "")) {
        const RECT r = RectOf(w);
        char text[256] = "";
        GetWindowTextA(w, text, sizeof text);
        std::printf("%p parent=%p %s [%ld,%ld %ldx%ld] '%s'\n", static_cast<void*>(w),
                    static_cast<void*>(GetParent(w)), ClassOf(w).c_str(), r.left, r.top, r.right - r.left,
                    r.bottom - r.top, text);
    }
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::atoi(std::getenv("EXPLORE_MS") ? std::getenv("EXPLORE_MS") : "0")));
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--explore") {
        Explore(argv[2]);
        return 0;
    }
    if (argc < 3) Fail("usage: program_bench RUNS FOLDER...");
    const int runs = std::max(std::atoi(argv[1]), 1);
    SplitProcessors();
    gcl::FormsUnit.Initialize();
    GvListviewUnit.Initialize();
    std::vector<TResult> results;
    for (int i = 2; i < argc; ++i) {
        results.push_back(RunFolder(argv[i], runs));
        const TResult& r = results.back();
        const double floor = r.Floor.Filter + r.Floor.Paint;
        std::printf("== %d tasks (file %.1f MB): floor %.2f ms (filter %.2f + paint %.2f)\n", r.Tasks,
                    r.FileBytes / 1e6, floor * 1e3, r.Floor.Filter * 1e3, r.Floor.Paint * 1e3);
        std::printf("  %-34s %9.1f ms\n", "start until idle", r.Start * 1e3);
        std::printf("  %-34s %9.1f MiB (%.2f x the file)\n", "memory at rest (committed bytes)", r.Memory / 1048576,
                    r.Memory / r.FileBytes);
        std::printf("  %-34s %9.1f a second; %d after a pause of %.0f ms in %d timed inputs, left out\n",
                    "wakes at rest (timers)", r.RestWakes, r.LeftOut, 15.0, r.Inputs);
        const TResult* before = results.size() > 1 ? &results[results.size() - 2] : nullptr;
        std::printf("  %-34s %9s %9s %8s %8s\n", "interaction", "median ms", "worst ms", "x floor", "growth");
        for (const TRow& row : r.Rows) {
            if (row.Times.empty()) {
                std::printf("  %-34s the program did nothing after any of %d inputs\n", row.Name.c_str(), row.Lost);
                continue;
            }
            const double m = Median(row.Times);
            double growth = 0;
            if (before)
                for (const TRow& b : before->Rows)
                    if (b.Name == row.Name && !b.Times.empty()) growth = m / Median(b.Times);
            std::printf("  %-34s %9.1f %9.1f %8.1f %8s\n", row.Name.c_str(), m * 1e3,
                        *std::max_element(row.Times.begin(), row.Times.end()) * 1e3, m / floor,
                        before ? (std::to_string(growth).substr(0, 5) + "x").c_str() : "-");
            // The save also against the disk's own cost of its bytes.
            if (row.Name.rfind("save", 0) == 0 && r.Floor.Save > 0)
                std::printf("  %-34s %9.1f ms (plain write, flush and rename of the file: save is %.1f x that)\n",
                            "  save floor", r.Floor.Save * 1e3, m / r.Floor.Save);
            if (row.Name.rfind("switch theme", 0) == 0)
                for (const TRow& w : r.Rows)
                    if (w.Name == WholeRepaint && !w.Times.empty())
                        std::printf("  %-34s %9.1f ms (a repaint of the whole window: the switch is %.1f x that)\n",
                                    "  theme floor", Median(w.Times) * 1e3, m / Median(w.Times));
            if (row.Lost) std::printf("  %-34s (the program did nothing after %d of %d inputs)\n", "", row.Lost,
                                      row.Lost + static_cast<int>(row.Times.size()));
        }
        std::fflush(stdout);
    }
    GvListviewUnit.Finalize();
    gcl::FormsUnit.Finalize();
    return 0;
}
