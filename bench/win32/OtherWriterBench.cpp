// Another writer against the real program, run under Wine: it renames its
// own version of the database over the file at a random moment of a save
// or of the start's load, and the harness counts how often the program
// asked before it replaced that version, and how often the version was
// lost without a question.
//   other_writer_bench FOLDER save|load windows|linux TRIES SEED
// FOLDER (bench/other-writer.sh makes it) holds qelvo.exe, its settings,
// ours.kpx (the database each try starts from) and theirs.kpx (ours with
// one more task, "Their extra task").
//   save: once the window is up, Ctrl+S; the other version is renamed over
//         the database 5-25 ms after the save's temporary file appears.
//   load: the other version is renamed over the database 0-50 ms after
//         the start-up log's "FormCreate: layout and theme" (the moment
//         is found from an earlier start's log, and each try's own log
//         gives the rename's real distance from it); once the window is
//         up, Ctrl+S.
// The windows writer is this harness (MoveFileEx, retried every
// millisecond while the program holds the file); the linux writer is a
// process outside Wine (bench/other-writer.sh starts it), which this
// harness arms through the file FOLDER\arm and hears from through
// FOLDER\acted: it renames with rename(2), which nothing holds up.
#include "gcl/rtl/WinApi.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "ProcessWindows.h"

namespace {

constexpr const char* Marker = "Their extra task";
constexpr const char* LoadMark = "FormCreate: layout and theme";

std::string RunFolder;
std::string Db() { return RunFolder + "\\Data\\ActualData.kpx"; }
std::string Pending() { return RunFolder + "\\Data\\theirs-pending.kpx"; }
std::string Log() { return RunFolder + "\\startup.log"; }

// The wall clock in milliseconds since 1601 (the clock Linux's time()
// shows too, from another origin).
double WallMs() {
    FILETIME t;
    GetSystemTimeAsFileTime(&t);
    return double((unsigned long long)t.dwHighDateTime << 32 | t.dwLowDateTime) / 1e4;
}
constexpr double UnixEpochMs = 11644473600000.0;  // 1970 on that clock

void SleepUntilWall(double wallMs) {
    for (;;) {
        const double left = wallMs - WallMs();
        if (left <= 0) return;
        if (left > 3) Sleep(DWORD(left - 2));
        else Sleep(0);
    }
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool TempFileThere() {
    WIN32_FIND_DATAA found;
    const HANDLE h = FindFirstFileA((Db() + ".*.tmp").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    return true;
}

void RemoveTempFiles() {
    WIN32_FIND_DATAA found;
    const HANDLE h = FindFirstFileA((Db() + ".*.tmp").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return;
    do DeleteFileA((RunFolder + "\\Data\\" + found.cFileName).c_str());
    while (FindNextFileA(h, &found));
    FindClose(h);
}

// The milliseconds since the process was made at which the start-up log
// marks the moment before the load; -1 when absent.
double MarkInLog() {
    std::istringstream lines(ReadAll(Log()));
    std::string line;
    while (std::getline(lines, line))
        if (line.find(LoadMark) != std::string::npos) return std::atof(line.c_str());
    return -1;
}

double CreatedWallMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    return double((unsigned long long)created.dwHighDateTime << 32 | created.dwLowDateTime) / 1e4;
}

// The windows writer: renames the pending version over the database at
// Target on the wall clock, or (Target 0) DelayMs after the save's
// temporary file appears; retries every millisecond while that fails.
// Returns the wall time of the rename, 0 when it never came.
double WindowsWriter(double target, double delayMs) {
    const double bound = WallMs() + 60000;
    if (target == 0) {
        while (!TempFileThere())
            if (WallMs() > bound) return 0;
        target = WallMs() + delayMs;
    }
    SleepUntilWall(target);
    while (!MoveFileExA(Pending().c_str(), Db().c_str(), MOVEFILE_REPLACE_EXISTING)) {
        if (WallMs() > bound) return 0;
        Sleep(1);
    }
    return WallMs();
}

// The linux writer, armed through FOLDER\arm: "save DELAY" or "load
// TARGET" (TARGET in Unix milliseconds); it answers in FOLDER\acted with
// the Unix milliseconds of its rename (0: it failed).
void ArmLinuxWriter(const std::string& arm) {
    DeleteFileA((RunFolder + "\\acted").c_str());
    {
        std::ofstream out(RunFolder + "\\arm.part");
        out << arm << "\n";
    }
    MoveFileExA((RunFolder + "\\arm.part").c_str(), (RunFolder + "\\arm").c_str(), MOVEFILE_REPLACE_EXISTING);
}
// The wall time of its rename; 0 when it never came.
double LinuxWriterActed() {
    const double bound = WallMs() + 60000;
    while (!Exists(RunFolder + "\\acted"))
        if (WallMs() > bound) return 0;
        else Sleep(1);
    Sleep(5);
    const double at = std::atof(ReadAll(RunFolder + "\\acted").c_str());
    return at > 0 ? at + UnixEpochMs : 0;
}

struct TRun {
    PROCESS_INFORMATION Pi{};
    HWND Main = nullptr;
};

bool Start(TRun& run) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string command = "\"" + RunFolder + "\\qelvo.exe\"";
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, RunFolder.c_str(), &si, &run.Pi))
        return false;
    return true;
}

// Waits for the main window, shown, painted and taking input.
bool WaitMain(TRun& run) {
    const double bound = WallMs() + 120000;
    while (!(run.Main = ShownWindow(run.Pi.dwProcessId, "TMainForm")) || PaintPending(run.Pi.dwProcessId)) {
        if (WallMs() > bound) return false;
        Sleep(5);
    }
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(run.Main, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer) != 0;
}

void CtrlS(HWND main) {
    SetForegroundWindow(main);
    INPUT keys[4] = {};
    for (INPUT& k : keys) k.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_CONTROL;
    keys[1].ki.wVk = 'S';
    keys[2].ki.wVk = 'S';
    keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
    keys[3].ki.wVk = VK_CONTROL;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
}

std::string CaptionOf(HWND w) {
    char text[512] = "";
    GetWindowTextA(w, text, sizeof text);
    return text;
}

// What came of Ctrl+S: "asked" (the question about another program's
// change), "saved" (the caption tells of the save), "failed" (another
// message) or "none" (nothing within the bound).
std::string Outcome(TRun& run) {
    const double bound = WallMs() + 120000;
    while (WallMs() < bound) {
        if (HWND box = ShownWindow(run.Pi.dwProcessId, "#32770")) {
            char text[2048] = "";
            HWND label = FindWindowExA(box, nullptr, "Static", nullptr);
            while (label && !GetWindowTextA(label, text, sizeof text)) label = FindWindowExA(box, label, "Static", nullptr);
            return std::string(text).find("changed by another program") != std::string::npos ? "asked" : "failed";
        }
        if (CaptionOf(run.Main).find("[Last Save at") != std::string::npos) return "saved";
        Sleep(2);
    }
    return "none";
}

void End(TRun& run) {
    TerminateProcess(run.Pi.hProcess, 9);
    WaitForSingleObject(run.Pi.hProcess, 30000);
    CloseHandle(run.Pi.hProcess);
    CloseHandle(run.Pi.hThread);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: other_writer_bench FOLDER save|load windows|linux TRIES SEED\n");
        return 2;
    }
    RunFolder = argv[1];
    const std::string mode = argv[2], writer = argv[3];
    const int tries = std::atoi(argv[4]);
    std::mt19937 random(unsigned(std::atoi(argv[5])));
    const bool load = mode == "load";
    SetEnvironmentVariableA("QELVO_STARTUP_LOG", Log().c_str());

    // Where the load begins, from a start of its own.
    double markMs = 0;
    if (load) {
        CopyFileA((RunFolder + "\\ours.kpx").c_str(), Db().c_str(), FALSE);
        DeleteFileA(Log().c_str());
        TRun run;
        if (!Start(run) || !WaitMain(run)) return 1;
        End(run);
        markMs = MarkInLog();
        std::printf("calibration: the load begins %.1f ms after the process is made\n", markMs);
    }

    int asked = 0, lost = 0, kept = 0, other = 0;
    for (int t = 0; t < tries; ++t) {
        RemoveTempFiles();
        CopyFileA((RunFolder + "\\ours.kpx").c_str(), Db().c_str(), FALSE);
        CopyFileA((RunFolder + "\\theirs.kpx").c_str(), Pending().c_str(), FALSE);
        DeleteFileA(Log().c_str());
        const double delay = load ? std::uniform_real_distribution<double>(0, 50)(random)
                                  : std::uniform_real_distribution<double>(5, 25)(random);
        TRun run;
        if (!Start(run)) return 1;
        const double created = CreatedWallMs(run.Pi.hProcess);
        double renamed = 0;
        std::thread windows;
        const bool fromLinux = writer == "linux";
        if (load) {
            const double target = created + markMs + delay;
            if (fromLinux)
                ArmLinuxWriter("load " + std::to_string(target - UnixEpochMs));
            else
                windows = std::thread([&] { renamed = WindowsWriter(target, 0); });
        }
        if (!WaitMain(run)) {
            std::printf("try %d: the window did not come\n", t + 1);
            if (windows.joinable()) windows.join();
            End(run);
            continue;
        }
        if (!load) {
            // Armed first: it waits for the save's temporary file.
            if (fromLinux)
                ArmLinuxWriter("save " + std::to_string(delay));
            else
                windows = std::thread([&] { renamed = WindowsWriter(0, delay); });
        }
        CtrlS(run.Main);
        if (windows.joinable()) windows.join();
        if (fromLinux) renamed = LinuxWriterActed();
        const std::string outcome = Outcome(run);
        const bool theirsThere = ReadAll(Db()).find(Marker) != std::string::npos;
        End(run);
        std::string line = "try " + std::to_string(t + 1) + ": ";
        char figure[128];
        if (load) {
            const double mark = created + MarkInLog();
            std::snprintf(figure, sizeof figure, "renamed %+.1f ms from the mark (aimed %+.1f)", renamed - mark, delay);
        } else {
            std::snprintf(figure, sizeof figure, "renamed %.1f ms after the temporary file", delay);
        }
        line += renamed ? figure : "never renamed";
        if (outcome == "asked") {
            ++asked;
            line += ": asked";
        } else if (outcome == "saved" && theirsThere) {
            ++kept;
            line += ": no question, their version kept (renamed before the read or after the replace)";
        } else if (outcome == "saved") {
            ++lost;
            line += ": no question, their version LOST";
        } else {
            ++other;
            line += ": " + outcome;
        }
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
    std::printf("%s, %s writer: %d tries, %d asked, %d lost, %d kept without a question, %d other\n", mode.c_str(),
                writer.c_str(), tries, asked, lost, kept, other);
    return 0;
}
