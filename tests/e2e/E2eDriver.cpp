#include "e2e/E2eDriver.h"

#include <gtest/gtest.h>

#include <psapi.h>
#include <shellapi.h>
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include "support/Screenshot.h"

namespace qelvo::e2e {

namespace {

// A folder named by the environment (a Unix path under Wine's Z: drive, or
// a Windows path), as a Windows path without a trailing separator.
std::string FolderFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return {};
    std::string path = value;
    if (path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder.c_str());
}

void CopyFolderFiles(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((from + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            CopyFileA((from + "\\" + found.cFileName).c_str(), (to + "\\" + found.cFileName).c_str(), FALSE);
    } while (FindNextFileA(h, &found));
    FindClose(h);
}

// Kills a program that outlived its bound, so a hung scenario ends.
class TWatchdog {
public:
    TWatchdog(HANDLE process, unsigned boundMs) : FProcess(process) {
        FThread = std::thread([this, boundMs] {
            std::unique_lock<std::mutex> lock(FMutex);
            if (!FDone.wait_for(lock, std::chrono::milliseconds(boundMs), [this] { return FStop; })) {
                FFired = true;
                TerminateProcess(FProcess, 3);
            }
        });
    }
    ~TWatchdog() {
        {
            std::lock_guard<std::mutex> lock(FMutex);
            FStop = true;
        }
        FDone.notify_all();
        FThread.join();
    }
    bool Fired() const { return FFired; }

private:
    HANDLE FProcess;
    std::mutex FMutex;
    std::condition_variable FDone;
    bool FStop = false;
    bool FFired = false;
    std::thread FThread;
};

// One watchdog per program, so a scenario may run two at once.
std::unique_ptr<TWatchdog>& Watchdog(const TProgram* program) {
    static std::map<const TProgram*, std::unique_ptr<TWatchdog>> dogs;
    return dogs[program];
}

// A scenario's whole life with the program.
constexpr unsigned ScenarioBound = 120000;

// The programs of the scenario now, whose painting a look at the screen
// waits for.
std::vector<const TProgram*>& LivePrograms() {
    static std::vector<const TProgram*> programs;
    return programs;
}

// A look at the screen reads again after SteadyGap ms until two reads
// agree, for at most SteadyBound ms (a caret blinks, an animation runs).
constexpr unsigned SteadyGap = 20, SteadyBound = 1000;
// The longest InputTaken waits for the program to take a drag's step.
constexpr unsigned InputBound = 500;
// The longest a look waits for a program's windows to be painted.
constexpr unsigned PaintBound = 3000;

struct TEnumState {
    DWORD ProcessId;
    std::vector<HWND>* Out;
};

BOOL CALLBACK CollectTop(HWND w, LPARAM data) {
    auto* state = reinterpret_cast<TEnumState*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == state->ProcessId && IsWindowVisible(w)) state->Out->push_back(w);
    return TRUE;
}

struct TChildState {
    std::string ClassName;
    std::vector<HWND>* Out;
};

BOOL CALLBACK CollectChild(HWND w, LPARAM data) {
    auto* state = reinterpret_cast<TChildState*>(data);
    if (IsWindowVisible(w) && (state->ClassName.empty() || ClassOf(w) == state->ClassName))
        state->Out->push_back(w);
    return TRUE;
}

void Send(std::vector<INPUT>& inputs) {
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    inputs.clear();
}

bool IsExtended(WORD vk) {
    switch (vk) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_HOME: case VK_END:
    case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_DELETE: case VK_APPS:
        return true;
    default:
        return false;
    }
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0 /* MAPVK_VK_TO_VSC */));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return in;
}

void AddMods(std::vector<INPUT>& in, unsigned mods, bool up) {
    if (!up) {
        if (mods & Ctrl) in.push_back(KeyInput(VK_CONTROL, false));
        if (mods & Shift) in.push_back(KeyInput(VK_SHIFT, false));
        if (mods & Alt) in.push_back(KeyInput(VK_MENU, false));
    } else {
        if (mods & Alt) in.push_back(KeyInput(VK_MENU, true));
        if (mods & Shift) in.push_back(KeyInput(VK_SHIFT, true));
        if (mods & Ctrl) in.push_back(KeyInput(VK_CONTROL, true));
    }
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

// A click as one input event: the move to At, the press and the release.
// Every mouse event here carries its place. One without it lands where
// the pointer is when the window system queues it, and that is not always
// where the last move sent it: Wine moves the X pointer for each move sent,
// and the program's process turns the X server's reports of those moves
// into moves of its own, whenever it next reads its X events. A report
// read late takes the pointer back to an earlier place, between two events
// sent one after the other. One event for the whole click leaves no room
// between its parts.
INPUT ClickInput(POINT at, bool right = false) {
    return MouseInput(MOUSEEVENTF_MOVE | (right ? MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP
                                               : MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP),
                      at);
}

void Mouse(const TProgram& p, DWORD flags, POINT at) {
    std::vector<INPUT> in{MouseInput(flags | MOUSEEVENTF_MOVE, at)};
    Send(in);
    p.Settle(2);
}

} // namespace

bool WaitUntil(const std::function<bool()>& done, unsigned boundMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start > boundMs) return done();
        Sleep(20);
    }
}

bool FileExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string WrittenFile(const std::string& path, unsigned boundMs) {
    WaitUntil([&] { return FileExists(path); }, boundMs);
    return ReadFile(path);
}

void MakeFolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos) CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    MakeFolderOf(path);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string IniValue(const std::string& path, const std::string& section, const std::string& key) {
    char buffer[1024] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof buffer, path.c_str());
    return buffer;
}

std::string ClassOf(HWND w) {
    char name[256] = {};
    GetClassNameA(w, name, sizeof name);
    return name;
}

std::string TextOf(HWND w) {
    char text[4096] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &copied);
    return text;
}

RECT RectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

POINT ClientOrigin(HWND w) {
    POINT o{};
    ClientToScreen(w, &o);
    return o;
}

POINT CenterOf(HWND w) {
    const RECT r = RectOf(w);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::vector<HWND> ChildrenOfClass(HWND parent, const std::string& className) {
    std::vector<HWND> out;
    TChildState state{className, &out};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&state));
    return out;
}

std::string DescribeChildren(HWND parent) {
    std::string all;
    for (HWND w : ChildrenOfClass(parent, "")) {
        const RECT r = RectOf(w);
        char line[512];
        std::snprintf(line, sizeof line, "%p parent=%p %s [%ld,%ld %ldx%ld] '%s'\n", static_cast<void*>(w),
                      static_cast<void*>(GetParent(w)), ClassOf(w).c_str(), r.left, r.top, r.right - r.left,
                      r.bottom - r.top, TextOf(w).c_str());
        all += line;
    }
    return all;
}

std::string ChildTexts(HWND parent) {
    std::string all;
    for (HWND w : ChildrenOfClass(parent, "")) {
        const std::string t = TextOf(w);
        if (!t.empty()) all += t + "\n";
    }
    return all;
}

// ---- Wine's notification area

namespace {

// Wine's notification area, made when there is none yet by an icon of this
// process that goes up and down again; null where the desktop has an area
// of its own (Wine's then never comes).
HWND MadeWineSystemTray() {
    if (HWND tray = WineSystemTray()) return tray;
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = owner;
    icon.uID = 1;
    icon.uFlags = NIF_ICON;
    icon.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // the application icon
    HWND tray = nullptr;
    if (owner && Shell_NotifyIconA(NIM_ADD, &icon)) {
        WaitUntil([&] { return (tray = WineSystemTray()) != nullptr; }, 5000);
        Shell_NotifyIconA(NIM_DELETE, &icon);
        if (tray) WaitUntil([&] { return !IsWindowVisible(tray); });
    }
    if (owner) DestroyWindow(owner);
    return tray;
}

// Moves the notification area's top left corner to (X, Y), without
// activating it, and waits until it is where Placed says.
void MoveTray(HWND tray, int x, int y, const std::function<bool(const RECT&)>& placed) {
    if (placed(RectOf(tray))) return;
    SetWindowPos(tray, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    WaitUntil([&] { return placed(RectOf(tray)); });
}

// Puts Wine's notification area off the screen, making it first when
// there is none, so that no program's icon going up puts it over the
// program.
void PutWineSystemTrayAside() {
    static const bool made = MadeWineSystemTray() != nullptr;
    if (!made) return;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    if (HWND tray = WineSystemTray())
        MoveTray(tray, width + 100, GetSystemMetrics(SM_CYSCREEN) + 100, [&](const RECT& r) { return r.left >= width; });
}

// Wine's notification area is made before the first scenario, while the
// screen has its usual settings: the desktop's process starts with it and
// keeps the dots per inch it found (a scenario on a screen of more dots
// per inch starting it left the notification area's clicks elsewhere than
// its icons showed for the scenarios after).
class TTrayEnvironment : public testing::Environment {
public:
    void SetUp() override { PutWineSystemTrayAside(); }
};
[[maybe_unused]] testing::Environment* const TrayEnvironment = testing::AddGlobalTestEnvironment(new TTrayEnvironment);

BOOL CALLBACK CollectTrayIcons(HWND w, LPARAM out) {
    if (ClassOf(w) == "__winex11_tray_icon" && IsWindowVisible(w)) reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
    return TRUE;
}

} // namespace

HWND WineSystemTray() { return FindWindowA(nullptr, "Wine System Tray"); }

bool TrayShown() {
    return WaitUntil([] { return WineSystemTray() != nullptr && IsWindowVisible(WineSystemTray()); });
}

HWND WineSystemTrayInView() {
    HWND tray = WineSystemTray();
    if (!tray) return nullptr;
    const RECT r = RectOf(tray);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    MoveTray(tray, width - (r.right - r.left), height - (r.bottom - r.top), [&](const RECT& at) {
        return at.left >= width / 2 && at.top >= height / 2 && at.right <= width && at.bottom <= height;
    });
    return tray;
}

POINT TrayIconPoint() {
    HWND tray = WineSystemTrayInView();
    std::vector<HWND> icons;
    if (tray) EnumChildWindows(tray, CollectTrayIcons, reinterpret_cast<LPARAM>(&icons));
    if (icons.empty()) {
        // One icon, where Wine puts the first.
        const RECT r = RectOf(tray);
        return {r.left + GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXSMICON) / 2 + 2, (r.top + r.bottom) / 2 + 4};
    }
    const auto last = std::max_element(icons.begin(), icons.end(),
                                       [](HWND a, HWND b) { return RectOf(a).left < RectOf(b).left; });
    return CenterOf(*last);
}

std::string DescribeTray() {
    const auto place = [](HWND w) {
        const RECT r = RectOf(w);
        return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
               std::to_string(r.bottom) + (IsWindowVisible(w) ? "" : " hidden");
    };
    HWND tray = WineSystemTray();
    if (!tray) return "no notification area";
    std::string out = "notification area at " + place(tray);
    std::vector<HWND> icons;
    EnumChildWindows(tray, CollectTrayIcons, reinterpret_cast<LPARAM>(&icons));
    for (HWND icon : icons) out += "; icon at " + place(icon);
    POINT cursor{};
    GetCursorPos(&cursor);
    const HWND under = WindowFromPoint(cursor);
    out += "; pointer at " + std::to_string(cursor.x) + "," + std::to_string(cursor.y) + " over " + ClassOf(under) +
           "; foreground " + ClassOf(GetForegroundWindow());
    return out;
}

// ---- TProgram

TProgram::TProgram(const std::string& scenario) : TProgram(scenario, false) {}

TProgram::TProgram(const std::string& scenario, bool keepFolder) {
    LivePrograms().push_back(this);
    std::string root = FolderFromEnvironment("QELVO_E2E_SCRATCH");
    if (root.empty()) {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        root = std::string(temp) + "qelvo-e2e";
    }
    CreateDirectoryA(root.c_str(), nullptr);
    // Shards run side by side, and two scenarios may share a name: each
    // shard has a folder of its own.
    if (const char* shard = std::getenv("GTEST_SHARD_INDEX"); shard && *shard) {
        root += "\\shard-" + std::string(shard);
        CreateDirectoryA(root.c_str(), nullptr);
    }
    FFolder = root + "\\" + scenario;
    if (keepFolder && FileExists(PathOf("qelvo.exe"))) return;
    RemoveTree(FFolder);
    CreateDirectoryA(FFolder.c_str(), nullptr);
    const std::string program = FolderFromEnvironment("QELVO_E2E_PROGRAM");
    if (!CopyFileA((program + "\\qelvo.exe").c_str(), PathOf("qelvo.exe").c_str(), FALSE)) {
        const DWORD error = GetLastError();
        ADD_FAILURE() << "cannot copy the program into " << FFolder << " (error " << error << ")";
    }
    CopyFolderFiles(program + "\\Print Templates", PathOf("Print Templates"));
    const std::string jotpaper = FolderFromEnvironment("QELVO_E2E_JOTPAPER");
    if (!jotpaper.empty()) CopyFileA((jotpaper + "\\Jotpaper.dll").c_str(), PathOf("Jotpaper.dll").c_str(), FALSE);
}

TProgram::~TProgram() {
    if (Running()) {
        ADD_FAILURE() << "the program was still running at the end of the scenario";
        Kill();
    }
    Watchdog(this).reset();
    if (FProcess) CloseHandle(FProcess);
    auto& live = LivePrograms();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

namespace {

// Wine now and then fails to bring a new process up on a busy machine
// before any of its code has run: the start answers ERROR_INTERNAL_ERROR.
// Such a start is made again, twice at most, and said on the output; any
// other failure is the scenario's. Error holds the last failure's code.
bool CreateProgramProcess(const std::function<BOOL()>& create, DWORD& error) {
    for (int attempt = 1;; ++attempt) {
        if (create()) return true;
        error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 3) return false;
        std::fprintf(stderr, "e2e: Wine did not bring the program up (error %lu); starting it again\n", error);
    }
}

} // namespace

void TProgram::Start(const std::string& arguments) { StartAs(0xFFFF, arguments); }

void TProgram::StartAs(WORD show, const std::string& arguments, const std::string& folder) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (show != 0xFFFF) {
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = show;
    }
    PROCESS_INFORMATION pi{};
    PutWineSystemTrayAside();
    std::string command = "\"" + PathOf("qelvo.exe") + "\"";
    if (!arguments.empty()) command += " " + arguments;
    DWORD error = 0;
    ASSERT_TRUE(CreateProgramProcess(
        [&] {
            return CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.empty() ? FFolder.c_str() : folder.c_str(), &si, &pi);
        },
        error))
        << "cannot start " << command << " (error " << error << ")";
    Began(pi);
}

void TProgram::Began(const PROCESS_INFORMATION& pi) {
    CloseHandle(pi.hThread);
    if (FProcess) CloseHandle(FProcess);
    FProcess = pi.hProcess;
    FProcessId = pi.dwProcessId;
    FThreadId = pi.dwThreadId;
    FMain = nullptr;
    Watchdog(this).reset();
    Watchdog(this) = std::make_unique<TWatchdog>(FProcess, ScenarioBound);
    WaitForInputIdle(FProcess, WaitBound);
}

void TProgram::StartAt(const std::wstring& program, const std::wstring& currentFolder) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    PutWineSystemTrayAside();
    std::wstring command = L"\"" + program + L"\"";
    DWORD error = 0;
    ASSERT_TRUE(CreateProgramProcess(
        [&] {
            return CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  currentFolder.c_str(), &si, &pi);
        },
        error))
        << "cannot start the program in a folder of its own (error " << error << ")";
    Began(pi);
}

bool TProgram::Running() const {
    return FProcess && WaitForSingleObject(FProcess, 0) == WAIT_TIMEOUT;
}

int TProgram::WaitExit(unsigned boundMs) {
    if (!FProcess) return -1;
    if (WaitForSingleObject(FProcess, boundMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(FProcess, &code);
    Watchdog(this).reset();
    return static_cast<int>(code);
}

void TProgram::Kill() {
    if (!Running()) return;
    TerminateProcess(FProcess, 9);
    WaitForSingleObject(FProcess, WaitBound);
}

std::vector<HWND> TProgram::TopWindows() const {
    std::vector<HWND> out;
    TEnumState state{FProcessId, &out};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&state));
    return out;
}

HWND TProgram::WaitTopWindow(const std::string& className, unsigned boundMs) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : TopWindows())
                if (ClassOf(w) == className) {
                    found = w;
                    return true;
                }
            return !Running();
        },
        boundMs);
    return found;
}

HWND TProgram::WaitActiveWindow(const std::string& className, unsigned boundMs) const {
    const HWND w = WaitTopWindow(className, boundMs);
    if (!w || !BecomesForeground(w, boundMs)) return nullptr;
    Settle();
    return w;
}

HWND TProgram::Main(unsigned boundMs) {
    if (FMain && IsWindow(FMain) && IsWindowVisible(FMain)) return FMain;
    FMain = WaitTopWindow("TMainForm", boundMs);
    // A user's keys go to the window once it is active and the start has
    // run to its end; a loaded machine can show the window well before.
    // Active in its thread is not enough: keys go to the foreground
    // window, which the window system may hand over a moment later (after
    // a message box at start-up, say).
    if (FMain) {
        WaitUntil(
            [&] {
                return (ThreadInfo().hwndActive == FMain && GetForegroundWindow() == FMain) ||
                       WaitTopWindow("#32770", 0);
            },
            boundMs);
        Settle();
    }
    return FMain;
}

bool TProgram::NoDialogFor(unsigned ms) const {
    return !WaitUntil([&] { return WaitTopWindow("#32770", 0) != nullptr; }, ms);
}

HWND TProgram::Target() const {
    if (FMain && IsWindow(FMain)) return FMain;
    const auto tops = TopWindows();
    return tops.empty() ? nullptr : tops.front();
}

bool TProgram::Answered(HWND target) const {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutA(target, WM_NULL, 0, 0, SMTO_NORMAL, FAnswerBound, &result)) return true;
    if (IsWindow(target) && Running()) ADD_FAILURE() << "the program did not answer within " << FAnswerBound << " ms";
    return false;
}

bool TProgram::Settle(unsigned rounds) const {
    const HWND target = Target();
    if (!target) return Running();
    for (unsigned i = 0; i < rounds; ++i) {
        Sleep(8);
        if (!Answered(target)) return !IsWindow(target);
    }
    return true;
}

namespace {

struct TPaintState {
    DWORD ProcessId;
    bool Pending;
};

BOOL CALLBACK FindUnpainted(HWND w, LPARAM data) {
    auto* state = reinterpret_cast<TPaintState*>(data);
    if (IsWindowVisible(w) && GetUpdateRect(w, nullptr, FALSE)) state->Pending = true;
    return state->Pending ? FALSE : TRUE;
}

// A shown, not minimised top-level window of the program or a child of
// one still has a part to paint.
BOOL CALLBACK FindUnpaintedTree(HWND w, LPARAM data) {
    auto* state = reinterpret_cast<TPaintState*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != state->ProcessId || !IsWindowVisible(w) || IsIconic(w)) return TRUE;
    FindUnpainted(w, data);
    if (!state->Pending) EnumChildWindows(w, FindUnpainted, data);
    return state->Pending ? FALSE : TRUE;
}

} // namespace

bool TProgram::Painted() const {
    const HWND target = Target();
    if (!target) return true;
    if (!Answered(target)) return !IsWindow(target);
    // A window's update region goes when its painting begins; the round
    // after that ends once the painting has.
    const bool done = WaitUntil(
        [&] {
            TPaintState state{FProcessId, false};
            EnumWindows(FindUnpaintedTree, reinterpret_cast<LPARAM>(&state));
            return !state.Pending || !Running();
        },
        PaintBound);
    return (Answered(target) || !IsWindow(target)) && done;
}

bool TProgram::InputTaken(POINT at) const {
    const HWND w = WindowFromPoint(at);
    DWORD pid = 0;
    if (w) GetWindowThreadProcessId(w, &pid);
    if (!w || pid != FProcessId) return Settle(2);
    POINT c = at;
    ScreenToClient(w, &c);
    const RECT pixel{c.x, c.y, c.x + 1, c.y + 1};
    InvalidateRect(w, &pixel, FALSE);
    // (A loop that takes only the mouse paints nothing: the bound is short.)
    const DWORD start = GetTickCount();
    bool taken = false;
    while (!(taken = !IsWindow(w) || !GetUpdateRect(w, nullptr, FALSE)) && GetTickCount() - start < InputBound)
        Sleep(1);
    return Settle(1) && taken;
}

HWND TProgram::WaitOpenedWindow(HWND main, unsigned boundMs) const {
    HWND opened = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : TopWindows())
                if (w != main && ClassOf(w) != "TApplication" && IsWindowEnabled(w) && IsWindowVisible(w) &&
                    GetWindowTextLengthA(w) > 0) {
                    opened = w;
                    return true;
                }
            return false;
        },
        boundMs);
    return opened;
}

GUITHREADINFO TProgram::ThreadInfo() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(FThreadId, &info);
    return info;
}

// ---- Input

namespace {

// The key events of a key with modifier keys held around it.
void AddKey(std::vector<INPUT>& in, WORD vk, unsigned mods) {
    AddMods(in, mods, false);
    in.push_back(KeyInput(vk, false));
    in.push_back(KeyInput(vk, true));
    AddMods(in, mods, true);
}

// The key events of one character: its key of the keyboard layout (with
// Shift where needed), else a Unicode key event.
void AddCharacter(std::vector<INPUT>& in, wchar_t c) {
    const SHORT scan = c < 128 ? VkKeyScanA(static_cast<char>(c)) : -1;
    if (scan != -1 && (scan & 0xFF) != 0xFF) {
        unsigned mods = 0;
        if (scan & 0x100) mods |= Shift;
        if (scan & 0x200) mods |= Ctrl;
        if (scan & 0x400) mods |= Alt;
        AddKey(in, static_cast<WORD>(scan & 0xFF), mods);
    } else {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wScan = c;
        down.ki.dwFlags = KEYEVENTF_UNICODE;
        INPUT up = down;
        up.ki.dwFlags |= KEYEVENTF_KEYUP;
        in.push_back(down);
        in.push_back(up);
    }
}

} // namespace

void Key(const TProgram& p, WORD vk, unsigned mods) {
    std::vector<INPUT> in;
    AddKey(in, vk, mods);
    Send(in);
    p.Settle();
}

void Type(const TProgram& p, const std::wstring& text) {
    for (wchar_t c : text) {
        std::vector<INPUT> in;
        AddCharacter(in, c);
        Send(in);
        p.Settle(3);
    }
}

void Type(const TProgram& p, const std::string& ascii) { Type(p, std::wstring(ascii.begin(), ascii.end())); }

void TypeAhead(const TProgram& p, const std::vector<TStroke>& strokes) {
    std::vector<INPUT> in;
    for (const TStroke& stroke : strokes) {
        if (stroke.Clicked) {
            in.push_back(ClickInput(stroke.At));
        } else if (stroke.Text.empty())
            AddKey(in, stroke.Vk, stroke.Mods);
        else
            for (wchar_t c : stroke.Text) AddCharacter(in, c);
    }
    Send(in);
    if (!InputDrained(p)) ADD_FAILURE() << "the program had not taken the input sent ahead within the bound";
}

bool InputDrained(const TProgram& p, unsigned boundMs) {
    const DWORD start = GetTickCount();
    // A window may also be painted at once while input still waits (a
    // window shown paints itself), or go away with its mark: only a few
    // rounds in a row of a mark painted by a window that stays count.
    // A program that has ended took all it was going to take: what it did
    // with the input shows in what it left (its exit code, its files).
    for (int painted = 0; painted < 3;) {
        if (!p.Running()) return true;
        if (!p.Settle(2)) return !p.Running();
        if (GetTickCount() - start > boundMs) return false;
        // The window of the program under the middle of its first window
        // (the dialog shown, else a control of the main window).
        const std::vector<HWND> tops = p.TopWindows();
        if (tops.empty()) return true;    // nothing of it left to take input
        HWND w = WindowFromPoint(CenterOf(tops.front()));
        DWORD pid = 0;
        if (w) GetWindowThreadProcessId(w, &pid);
        if (pid != p.ProcessId()) w = tops.front();
        if (IsIconic(GetAncestor(w, GA_ROOT))) return p.Settle();
        POINT c = CenterOf(w);
        ScreenToClient(w, &c);
        const RECT pixel{c.x, c.y, c.x + 1, c.y + 1};
        InvalidateRect(w, &pixel, FALSE);
        WaitUntil([w] { return !IsWindow(w) || !GetUpdateRect(w, nullptr, FALSE); },
                  boundMs - std::min<DWORD>(boundMs, GetTickCount() - start));
        painted = IsWindow(w) && !GetUpdateRect(w, nullptr, FALSE) ? painted + 1 : 0;
    }
    return p.Settle() || !p.Running();
}

namespace {
// When each database file under Folder (its subfolders too) was last
// written.
void DatabaseStamps(const std::string& folder, std::map<std::string, uint64_t>& stamps) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            DatabaseStamps(path, stamps);
        else if (name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".kpx") == 0)
            stamps[path] = (uint64_t(found.ftLastWriteTime.dwHighDateTime) << 32) | found.ftLastWriteTime.dwLowDateTime;
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
} // namespace

void SaveByKeys(const TProgram& p) {
    std::map<std::string, uint64_t> before;
    DatabaseStamps(p.Folder(), before);
    TypeAhead(p, {TStroke('S', Ctrl)});
    const bool written = WaitUntil([&] {
        std::map<std::string, uint64_t> now;
        DatabaseStamps(p.Folder(), now);
        for (const auto& [path, stamp] : now)
            if (auto was = before.find(path); was == before.end() || was->second != stamp) return true;
        return false;
    }, 3 * WaitBound);
    if (!written) ADD_FAILURE() << "Ctrl+S wrote no database in " << p.Folder() << " within the bound";
}

void MoveTo(const TProgram& p, POINT at) { Mouse(p, 0, at); }

namespace {

// Where and when the last click of the button was sent.
struct TLastClick {
    POINT At{};
    DWORD Tick = 0;
    bool Sent = false;
};

// Waits, when the last click of the same button was at the same place
// within the double-click time, until the click about to be sent can no
// longer pair with it: a click is one click however fast the program took
// the steps between (scenarios ask for a double click by name).
void AwaitSingleClick(POINT at, bool right) {
    static TLastClick last[2];
    TLastClick& l = last[right ? 1 : 0];
    const DWORD span = GetDoubleClickTime();
    const bool samePlace = std::abs(at.x - l.At.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
                      std::abs(at.y - l.At.y) <= GetSystemMetrics(SM_CYDOUBLECLK);
    const DWORD since = GetTickCount() - l.Tick;
    if (l.Sent && samePlace && since <= span) Sleep(span - since + 20);
    l = TLastClick{at, GetTickCount(), true};
}

} // namespace

void Click(const TProgram& p, POINT at, bool right) {
    MoveTo(p, at);
    AwaitSingleClick(at, right);
    std::vector<INPUT> in{ClickInput(at, right)};
    Send(in);
    p.Settle();
}

void DoubleClick(const TProgram& p, POINT at) {
    MoveTo(p, at);
    std::vector<INPUT> in{ClickInput(at), ClickInput(at)};
    Send(in);
    p.Settle();
}

namespace {

// The moves of a glide; with Taken, each is taken before the next.
void GlideSteps(const TProgram& p, POINT from, POINT to, int steps, bool taken) {
    for (int i = 1; i <= steps; ++i) {
        const POINT at{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        MoveTo(p, at);
        if (taken) p.InputTaken(at);
    }
}

} // namespace

void Glide(const TProgram& p, POINT from, POINT to, int steps) { GlideSteps(p, from, to, steps, false); }

void Drag(const TProgram& p, POINT from, POINT to, int steps) {
    MoveTo(p, from);
    Mouse(p, MOUSEEVENTF_LEFTDOWN, from);
    // Each step is taken before the next: a drag starts on a move past the
    // point of the first move after the press.
    p.InputTaken(from);
    GlideSteps(p, from, to, steps, true);
    Mouse(p, MOUSEEVENTF_LEFTUP, to);
    p.Settle();
}

// ---- Screen

COLORREF PixelAt(POINT at) {
    const std::vector<COLORREF> pixel = PixelsOf(RECT{at.x, at.y, at.x + 1, at.y + 1});
    return pixel.empty() ? CLR_INVALID : pixel.front();
}

void Shot(const TProgram& p, HWND w, const std::string& name) {
    p.Settle();
    PixelsOf(RectOf(w));    // once painted and shown
    qelvo::test::SaveWindowScreenshot(w, name + ".bmp");
}

double ShareOf(RECT r, COLORREF colour) {
    const std::vector<COLORREF> pixels = PixelsOf(r);
    if (pixels.empty()) return 0;
    return static_cast<double>(std::count(pixels.begin(), pixels.end(), colour)) / static_cast<double>(pixels.size());
}

// ---- Clicks with modifier keys

void Click(const TProgram& p, POINT at, unsigned mods) {
    MoveTo(p, at);
    AwaitSingleClick(at, false);
    std::vector<INPUT> in;
    AddMods(in, mods, false);
    in.push_back(ClickInput(at));
    AddMods(in, mods, true);
    Send(in);
    p.Settle();
}

// ---- Clicks a double click apart

void StampedClick(const TProgram& p, POINT at, DWORD time) {
    MoveTo(p, at);
    std::vector<INPUT> in{ClickInput(at)};
    in.front().mi.time = time;
    Send(in);
    p.Settle();
}

// ---- Pixels

namespace {

// What the screen shows in a rectangle now, row by row.
std::vector<COLORREF> ReadScreen(RECT r) {
    const int width = r.right - r.left, height = r.bottom - r.top;
    std::vector<COLORREF> out;
    if (width <= 0 || height <= 0) return out;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;    // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        const auto* pixel = static_cast<const DWORD*>(bits);
        const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
        out.reserve(count);
        // Blue, green, red, unused from the lowest byte up.
        for (size_t i = 0; i < count; ++i)
            out.push_back(RGB((pixel[i] >> 16) & 0xFF, (pixel[i] >> 8) & 0xFF, pixel[i] & 0xFF));
        SelectObject(dc, old);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return out;
}

} // namespace

std::vector<COLORREF> PixelsOf(RECT r) {
    for (const TProgram* p : LivePrograms())
        if (p->Running()) p->Painted();
    // The display takes what a program drew a little after the program
    // drew it: read until two looks a moment apart agree.
    std::vector<COLORREF> last = ReadScreen(r);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < SteadyBound) {
        Sleep(SteadyGap);
        std::vector<COLORREF> now = ReadScreen(r);
        if (now == last) break;
        last = std::move(now);
    }
    return last;
}

// ---- Dates

SYSTEMTIME DayFromToday(int days) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    now.wHour = 12;
    now.wMinute = now.wSecond = now.wMilliseconds = 0;
    FILETIME ft{};
    SystemTimeToFileTime(&now, &ft);
    ULARGE_INTEGER t{};
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    t.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(days) * 24LL * 3600LL * 10000000LL);
    ft.dwLowDateTime = t.LowPart;
    ft.dwHighDateTime = t.HighPart;
    SYSTEMTIME out{};
    FileTimeToSystemTime(&ft, &out);
    return out;
}

std::string FileDate(int days) {
    const SYSTEMTIME d = DayFromToday(days);
    char text[32];
    std::snprintf(text, sizeof text, "%u/%u/%u", d.wMonth, d.wDay, d.wYear);
    return text;
}

std::string ShownDate(int days) {
    const SYSTEMTIME d = DayFromToday(days);
    char text[32];
    std::snprintf(text, sizeof text, "%02u/%02u/%04u", d.wDay, d.wMonth, d.wYear);
    return text;
}

// ---- Menus

void FileMenuItem(TProgram& p, int index) {
    Key(p, 'N', Ctrl);
    Key(p, VK_MENU);
    Key(p, 'F');
    for (int i = 0; i < index; ++i) Key(p, VK_DOWN);
    Key(p, VK_RETURN);
}

// ---- The end of the Windows session

namespace {

BOOL CALLBACK CollectEveryTop(HWND w, LPARAM data) {
    auto* state = reinterpret_cast<TEnumState*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == state->ProcessId) state->Out->push_back(w);
    return TRUE;
}

} // namespace

bool EndSession(TProgram& p) {
    std::vector<HWND> windows;
    TEnumState state{p.ProcessId(), &windows};
    EnumWindows(CollectEveryTop, reinterpret_cast<LPARAM>(&state));
    bool agreed = true;
    for (HWND w : windows) {
        DWORD_PTR answer = 1;
        if (!IsWindow(w)) continue;
        if (!SendMessageTimeoutA(w, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, WaitBound, &answer)) {
            ADD_FAILURE() << "no answer to WM_QUERYENDSESSION from " << ClassOf(w);
            answer = 0;
        }
        if (!answer) {
            agreed = false;
            break;
        }
    }
    for (HWND w : windows) {
        DWORD_PTR ignored = 0;
        if (IsWindow(w))
            SendMessageTimeoutA(w, WM_ENDSESSION, agreed, ENDSESSION_LOGOFF, SMTO_NORMAL, WaitBound, &ignored);
    }
    if (agreed) p.Kill();
    return agreed;
}

// ---- The wheel

void Wheel(const TProgram& p, POINT at, int delta) {
    MoveTo(p, at);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.mouseData = static_cast<DWORD>(delta);
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    SendInput(1, &in, sizeof in);
    p.Settle();
}

void HorizontalWheel(const TProgram& p, POINT at, int delta) {
    MoveTo(p, at);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.mouseData = static_cast<DWORD>(delta);
    in.mi.dwFlags = MOUSEEVENTF_HWHEEL;
    SendInput(1, &in, sizeof in);
    p.Settle();
}

// ---- The other buttons

void MouseEvent(const TProgram& p, POINT at, DWORD flags, DWORD data) {
    MoveTo(p, at);
    INPUT in = MouseInput(flags | MOUSEEVENTF_MOVE, at);
    in.mi.mouseData = data;
    SendInput(1, &in, sizeof in);
    p.Settle();
}

namespace {

// Clicks of a button: its press and release flags, Data as for MouseEvent.
void ButtonClicks(const TProgram& p, POINT at, DWORD down, DWORD up, DWORD data, int clicks) {
    MoveTo(p, at);
    std::vector<INPUT> in;
    for (int i = 0; i < clicks; ++i)
        for (DWORD flags : {down, up}) {
            in.push_back(MouseInput(flags, at));
            in.back().mi.mouseData = data;
        }
    Send(in);
    p.Settle();
}

} // namespace

void MiddleClick(const TProgram& p, POINT at, int clicks) {
    ButtonClicks(p, at, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, 0, clicks);
}

void SideClick(const TProgram& p, POINT at, DWORD button, int clicks) {
    ButtonClicks(p, at, MOUSEEVENTF_XDOWN, MOUSEEVENTF_XUP, button, clicks);
}

// ---- A key held down

void KeyDown(const TProgram& p, WORD vk) {
    std::vector<INPUT> in{KeyInput(vk, false)};
    Send(in);
    p.Settle();
}

void KeyUp(const TProgram& p, WORD vk) {
    std::vector<INPUT> in{KeyInput(vk, true)};
    Send(in);
    p.Settle();
}

// ---- The left button held down

void ButtonDown(const TProgram& p, POINT at) {
    Mouse(p, MOUSEEVENTF_LEFTDOWN, at);
    p.Settle();
}

void ButtonUp(const TProgram& p, POINT at) {
    Mouse(p, MOUSEEVENTF_LEFTUP, at);
    p.Settle();
}


// ---- What the program holds, read from outside

namespace {

// An entry of a process's GDI handle table, which the process's PEB points
// at: a used entry has a type.
#pragma pack(push, 1)
struct TGdiEntry {
    unsigned long long Object;
    unsigned long Owner;
    unsigned short Unique;
    unsigned char Type;
    unsigned char Flags;
    unsigned long long UserPointer;
};
#pragma pack(pop)
static_assert(sizeof(TGdiEntry) == 24);
constexpr size_t GdiTableEntries = 0x10000;
#ifdef _WIN64
constexpr size_t PebGdiTableOffset = 0xF8;    // of a 64-bit PEB
#else
constexpr size_t PebGdiTableOffset = 0x94;    // of a 32-bit PEB
#endif

// The GDI objects of a process by type (empty when the table is unreadable).
std::map<int, int> GdiObjectsOf(DWORD pid) {
    std::map<int, int> counts;
    HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!h) return counts;
    PROCESS_BASIC_INFORMATION info{};
    ULONG got = 0;
    void* table = nullptr;
    SIZE_T read = 0;
    if (NtQueryInformationProcess(h, ProcessBasicInformation, &info, sizeof info, &got) == 0 && info.PebBaseAddress)
        ReadProcessMemory(h, reinterpret_cast<const char*>(info.PebBaseAddress) + PebGdiTableOffset, &table,
                          sizeof table, &read);
    if (table) {
        std::vector<TGdiEntry> entries(GdiTableEntries);
        if (ReadProcessMemory(h, table, entries.data(), entries.size() * sizeof(TGdiEntry), &read))
            for (const TGdiEntry& e : entries)
                if (e.Type) ++counts[e.Type];
    }
    CloseHandle(h);
    return counts;
}

struct TWindowCount {
    DWORD Pid = 0;
    size_t Count = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM state) {
    ++reinterpret_cast<TWindowCount*>(state)->Count;
    return TRUE;
}

BOOL CALLBACK CountTop(HWND w, LPARAM state) {
    auto* s = reinterpret_cast<TWindowCount*>(state);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == s->Pid) {
        ++s->Count;
        EnumChildWindows(w, CountChild, state);
    }
    return TRUE;
}

size_t FileCountIn(const std::string& folder) {
    size_t n = 0;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    while (FindNextFileA(h, &found));
    FindClose(h);
    return n;
}

// The kernel handles a process holds, from the system's list of every
// handle (exact, where the process's own count moves in steps of its
// table's size).
unsigned long HandlesOf(DWORD pid) {
    constexpr auto SystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
    struct TEntry {
        ULONG Pid;
        BYTE Type;
        BYTE Flags;
        USHORT Value;
        PVOID Object;
        ULONG Access;
    };
    // The count, then the entries at their own alignment (8 bytes in a
    // 64-bit process).
    struct TList {
        ULONG Count;
        TEntry First;
    };
    constexpr size_t first = offsetof(TList, First);
    std::vector<char> buffer(1 << 20);
    ULONG size = 0;
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(SystemHandleInformation, buffer.data(),
                                              static_cast<ULONG>(buffer.size()), &size)) ==
               static_cast<NTSTATUS>(0xC0000004L) &&    // too small
           buffer.size() < (64u << 20))
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const TEntry*>(buffer.data() + first);
    unsigned long n = 0;
    for (ULONG i = 0; i < count && first + (i + 1) * sizeof(TEntry) <= buffer.size(); ++i)
        n += entries[i].Pid == pid;
    return n;
}

} // namespace

int TUsage::GdiObjects() const {
    int n = 0;
    for (const auto& [type, count] : Gdi) n += count;
    return n;
}

int TUsage::GdiObjectsOfType(int type) const {
    const auto found = Gdi.find(type);
    return found == Gdi.end() ? 0 : found->second;
}

TUsage UsageOf(const TProgram& p) {
    p.Settle();
    TUsage u;
    u.Gdi = GdiObjectsOf(p.ProcessId());
    TWindowCount windows{p.ProcessId(), 0};
    EnumWindows(CountTop, reinterpret_cast<LPARAM>(&windows));
    for (HWND m = nullptr; (m = FindWindowExA(HWND_MESSAGE, m, nullptr, nullptr)) != nullptr;)
        CountTop(m, reinterpret_cast<LPARAM>(&windows));
    u.Windows = windows.Count;
    if (HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, p.ProcessId())) {
        PROCESS_MEMORY_COUNTERS pmc{};
        pmc.cb = sizeof pmc;
        if (GetProcessMemoryInfo(h, &pmc, sizeof pmc)) u.Memory = pmc.PagefileUsage;
        CloseHandle(h);
    }
    std::vector<char> buffer(1 << 20);
    ULONG size = 0;
    if (NtQuerySystemInformation(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &size) ==
        0)
        for (size_t at = 0;;) {
            const auto* info = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
            if (reinterpret_cast<uintptr_t>(info->UniqueProcessId) == p.ProcessId())
                u.Threads = info->NumberOfThreads;
            if (!info->NextEntryOffset) break;
            at += info->NextEntryOffset;
        }
    u.Handles = HandlesOf(p.ProcessId());
    u.Files = FileCountIn(p.PathOf("Data"));
    return u;
}

std::string DescribeUsage(const TUsage& u) {
    static const std::map<int, const char*> names = {{1, "DC"},       {4, "region"}, {9, "bitmap"},
                                                      {6, "metafile"}, {8, "palette"}, {10, "font"},
                                                      {16, "brush/pen"}};
    std::string s = "GDI objects " + std::to_string(u.GdiObjects()) + " (";
    for (const auto& [type, count] : u.Gdi) {
        const auto name = names.find(type);
        s += (s.back() == '(' ? "" : " ") + (name == names.end() ? std::to_string(type) : std::string(name->second)) +
             ":" + std::to_string(count);
    }
    return s + "), windows " + std::to_string(u.Windows) + ", handles " + std::to_string(u.Handles) + ", threads " +
           std::to_string(u.Threads) + ", private " + std::to_string(u.Memory / 1024) + " KB, files " +
           std::to_string(u.Files);
}

namespace {

// Nothing grew from Before to After beyond what a run may keep (a kept
// picture or buffer made on a first use the warm-up missed), and not by
// one object per round. Saves run on threads the process keeps for them,
// as many as ever ran at one time: one more may come, with its stack and
// its handles (up to five seen on a loaded machine).
constexpr unsigned long ThreadHandles = 5;
struct TGrowthLimits {
    int Gdi;
    size_t Windows;
    unsigned long Handles, Threads;
    size_t Memory, Files;
};

TGrowthLimits LimitsAfter(const TUsage& before, const TUsage& after) {
    const unsigned long newThreads = after.Threads > before.Threads ? after.Threads - before.Threads : 0;
    return {before.GdiObjects() + 2, before.Windows, before.Handles + ThreadHandles * newThreads,
            before.Threads + 1, before.Memory + 2 * 1024 * 1024, 1u};
}

bool WithinLimits(const TUsage& before, const TUsage& after) {
    const TGrowthLimits l = LimitsAfter(before, after);
    return after.GdiObjects() <= l.Gdi && after.Windows <= l.Windows && after.Handles <= l.Handles &&
           after.Threads <= l.Threads && after.Memory <= l.Memory && after.Files == l.Files;
}

} // namespace

void ExpectNoGrowth(const TUsage& before, const TUsage& after, const std::string& what) {
    const std::string both =
        "\n  after the warm-up: " + DescribeUsage(before) + "\n  at the end:        " + DescribeUsage(after);
    ASSERT_GT(before.GdiObjects(), 0) << what << ": the program's GDI table could not be read";
    ASSERT_GT(before.Handles, 0u) << what << ": the system's handle list could not be read";
    const TGrowthLimits l = LimitsAfter(before, after);
    EXPECT_LE(after.GdiObjects(), l.Gdi) << what << ": GDI objects grew" << both;
    EXPECT_LE(after.Windows, l.Windows) << what << ": windows were left" << both;
    EXPECT_LE(after.Handles, l.Handles) << what << ": kernel handles grew" << both;
    EXPECT_LE(after.Threads, l.Threads) << what << ": threads were left" << both;
    EXPECT_LE(after.Memory, l.Memory) << what << ": private memory grew" << both;
    EXPECT_EQ(after.Files, l.Files) << what << ": files beside the database" << both;
}

// The usage at the end, read again for a while when it is past the limits:
// work the last input started (a save on its thread, with the file and
// its event open) may still hold what it will give back; a leak stays.
// A loaded machine may keep such a thread from ending for seconds.
TUsage UsageAtTheEnd(const TProgram& p, const TUsage& before) {
    TUsage after = UsageOf(p);
    for (int i = 0; i < 30 && !WithinLimits(before, after); ++i) {
        Sleep(200);
        after = UsageOf(p);
    }
    return after;
}

// Nothing leaks from Before on: what the rounds run since then grew is
// within the limits. On a loaded machine a round may draw something the
// warm-up did not (a hot look met only by a late pointer) and keep its
// picture once: past the limits, More runs the same rounds again, and
// from then on nothing may grow, as a leak would, round after round.
void ExpectNoLeak(const TProgram& p, const TUsage& before, const std::string& what,
                  const std::function<bool()>& more) {
    const TUsage after = UsageAtTheEnd(p, before);
    if (WithinLimits(before, after)) return;
    ASSERT_TRUE(more()) << what << ": the rounds run again did not end";
    ExpectNoGrowth(after, UsageAtTheEnd(p, after), what + " (the rounds run again)");
}

// ---- The display's and the user's settings

TRegistryValues::~TRegistryValues() {
    // The last change first, so a value set twice gets its first state back.
    for (auto it = FSaved.rbegin(); it != FSaved.rend(); ++it) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(it->Root, it->Key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS) {
            ADD_FAILURE() << "could not put back " << it->Key << "\\" << it->Name;
            continue;
        }
        if (it->Existed)
            RegSetValueExA(key, it->Name.c_str(), 0, it->Type, it->Bytes.data(), static_cast<DWORD>(it->Bytes.size()));
        else
            RegDeleteValueA(key, it->Name.c_str());
        RegCloseKey(key);
    }
}

void TRegistryValues::Set(HKEY root, const std::string& key, const std::string& name, DWORD type,
                          const std::vector<BYTE>& bytes) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &k, nullptr),
              ERROR_SUCCESS)
        << key;
    TSaved saved{root, key, name, false, REG_NONE, {}};
    DWORD size = 0;
    if (RegQueryValueExA(k, name.c_str(), nullptr, &saved.Type, nullptr, &size) == ERROR_SUCCESS) {
        saved.Bytes.resize(size);
        saved.Existed = RegQueryValueExA(k, name.c_str(), nullptr, &saved.Type, saved.Bytes.data(), &size) ==
                        ERROR_SUCCESS;
        saved.Bytes.resize(size);
    }
    FSaved.push_back(saved);
    const LONG set = RegSetValueExA(k, name.c_str(), 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
    RegCloseKey(k);
    ASSERT_EQ(set, ERROR_SUCCESS) << key << "\\" << name;
}

void TRegistryValues::SetDword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
    const BYTE* b = reinterpret_cast<const BYTE*>(&value);
    Set(root, key, name, REG_DWORD, std::vector<BYTE>(b, b + sizeof value));
}

void TRegistryValues::SetString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
    const BYTE* b = reinterpret_cast<const BYTE*>(value.c_str());
    Set(root, key, name, REG_SZ, std::vector<BYTE>(b, b + value.size() + 1));
}

void SetScreenDpi(TRegistryValues& values, int dpi) {
    values.SetDword(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", static_cast<DWORD>(dpi));
    values.SetDword(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts",
                    "LogPixels", static_cast<DWORD>(dpi));
}

void SetSystemFonts(TRegistryValues& values, const std::wstring& face, int height) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
    const BYTE* b = reinterpret_cast<const BYTE*>(&font);
    const std::vector<BYTE> bytes(b, b + sizeof font);
    for (const char* name : {"CaptionFont", "SmCaptionFont", "MenuFont", "StatusFont", "MessageFont", "IconFont"})
        values.Set(HKEY_CURRENT_USER, "Control Panel\\Desktop\\WindowMetrics", name, REG_BINARY, bytes);
}

SIZE TextExtent(const std::wstring& face, int pixels, bool bold, const std::wstring& text) {
    HFONT font = CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                             face.c_str());
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return size;
}

// ---- The X display beside Wine

std::string UnixCommandOutput(const std::string& command, unsigned boundMs) {
    // The shell writes beside the output's final name and renames it when
    // the command has ended, so the file comes whole. Wine's drive Z: is
    // the Unix root.
    static int serial = 0;
    const std::string name = "/tmp/qelvo-e2e-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    std::string windowsName = "Z:" + name;
    std::replace(windowsName.begin(), windowsName.end(), '/', '\\');
    DeleteFileA((windowsName + ".out").c_str());
    std::string line = "sh -c \"(" + command + ") >" + name + ".part 2>/dev/null; /bin/mv " + name + ".part " + name + ".out\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // Wine starts the Unix program and then answers that the file is no
    // Windows program: the answer says nothing of the start.
    if (CreateProcessA("Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    if (!WaitUntil([&] { return FileExists(windowsName + ".out"); }, boundMs)) return "";
    const std::string out = ReadFile(windowsName + ".out");
    DeleteFileA((windowsName + ".out").c_str());
    return out;
}

unsigned long XFocusWindow() {
    return std::strtoul(UnixCommandOutput("/usr/bin/xdotool getwindowfocus").c_str(), nullptr, 10);
}

unsigned long XWindowOf(HWND w) {
    return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(GetPropA(w, "__wine_x11_whole_window")));
}

void XClick(const TProgram& p, POINT at) {
    UnixCommandOutput("/usr/bin/xdotool mousemove " + std::to_string(at.x) + " " + std::to_string(at.y) +
                      " click 1; echo clicked");
    p.Settle();
}

void SetRegional(TRegistryValues& values, const std::map<std::string, std::string>& settings) {
    for (const auto& [name, value] : settings)
        values.SetString(HKEY_CURRENT_USER, "Control Panel\\International", name, value);
}

} // namespace qelvo::e2e
