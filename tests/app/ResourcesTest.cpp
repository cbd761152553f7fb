// The program file: the resources it carries, and the program started as a
// user runs it, in a folder of its own with a database and settings.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "../support/TestEnvironment.h"
#include "app/ProgramUnits.h"
#include "data/uDataMan.h"
#include "gcl/rtl/Files.h"

namespace {

using qelvo::test::TempDir;
using qelvo::test::TestDataDir;

// The program file, built beside the tests.
std::string ProgramPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string result(path);
    result.erase(result.find_last_of('\\') + 1);
    return result + "..\\src\\app\\qelvo.exe";
}

struct TFind {
    DWORD Pid;
    HWND Wnd;
};

BOOL CALLBACK FindMainWindow(HWND wnd, LPARAM param) {
    auto* find = reinterpret_cast<TFind*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    char name[64] = "";
    GetClassNameA(wnd, name, sizeof name);
    if (pid == find->Pid && IsWindowVisible(wnd) && std::strcmp(name, "TMainForm") == 0) {
        find->Wnd = wnd;
        return FALSE;
    }
    return TRUE;
}

// qelvo.exe copied into a folder of its own with a database and the
// settings of a first exit, started there (with one more environment
// variable when Env is given) and closed as a user closes it.
class TProgramRun {
public:
    TProgramRun() {
        Exe = Dir.File("qelvo.exe");
        Database = Dir.File("Data\\ActualData.kpx");
        EXPECT_TRUE(CopyFileA(ProgramPath().c_str(), Exe.c_str(), FALSE)) << ProgramPath();
        EXPECT_TRUE(CreateDirectoryA(Dir.File("Data").c_str(), nullptr));
        EXPECT_TRUE(CopyFileA((TestDataDir() + "app\\report.kpx").c_str(), Database.c_str(), FALSE));
        EXPECT_TRUE(CopyFileA((TestDataDir() + "app\\first-run-settings.ini").c_str(),
                              Dir.File("settings.ini").c_str(), FALSE));
    }
    ~TProgramRun() {
        if (!FProcess.hProcess) return;
        TerminateProcess(FProcess.hProcess, 99);
        WaitForSingleObject(FProcess.hProcess, 10000);
        CloseHandle(FProcess.hThread);
        CloseHandle(FProcess.hProcess);
    }

    // Starts the program and waits up to 30 s for its main window; null
    // when none showed.
    HWND Start(const std::string& Env = std::string()) {
        std::string environment;
        if (!Env.empty()) {
            char* block = GetEnvironmentStringsA();
            char* end = block;
            while (*end) end += std::strlen(end) + 1;
            environment.assign(block, end);
            FreeEnvironmentStringsA(block);
            environment.append(Env).push_back('\0');
            environment.push_back('\0');
        }
        std::string command = "\"" + Exe + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                            environment.empty() ? nullptr : environment.data(), Dir.Path().c_str(), &si, &FProcess))
            return nullptr;
        TFind find{FProcess.dwProcessId, nullptr};
        const ULONGLONG start = GetTickCount64();
        while (!find.Wnd && GetTickCount64() - start < 30000 &&
               WaitForSingleObject(FProcess.hProcess, 0) == WAIT_TIMEOUT) {
            EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&find));
            if (!find.Wnd) Sleep(20);
        }
        return find.Wnd;
    }
    // Closes the main window and waits up to 30 s for the program to end;
    // its exit code, or -1 when it had to be ended.
    long Close(HWND Window) {
        if (Window) PostMessageA(Window, WM_CLOSE, 0, 0);
        const bool ended = WaitForSingleObject(FProcess.hProcess, 30000) == WAIT_OBJECT_0;
        if (!ended) TerminateProcess(FProcess.hProcess, 99);
        DWORD code = 0;
        GetExitCodeProcess(FProcess.hProcess, &code);
        CloseHandle(FProcess.hThread);
        CloseHandle(FProcess.hProcess);
        FProcess = PROCESS_INFORMATION{};
        return ended ? static_cast<long>(code) : -1;
    }

    TempDir Dir;
    std::string Exe;
    std::string Database;

private:
    PROCESS_INFORMATION FProcess{};
};

ULONGLONG LastWrite(const std::string& file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

} // namespace

// The program carries its manifest and the cursors the class library
// loads by name; without them dragging would show a plain arrow.
TEST(ProgramResources, ManifestAndCursorsAreInTheProgramFile) {
    HMODULE program = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr) << ProgramPath();
    EXPECT_NE(FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)), nullptr);
    for (const char* name :
         {"GCL_DRAG", "GCL_MULTIDRAG", "GCL_NODROP", "GCL_HSPLIT", "GCL_VSPLIT", "CURSOR_HAND", "CURSOR_GRAB"}) {
        HRSRC group = FindResourceA(program, name, MAKEINTRESOURCEA(12));  // RT_GROUP_CURSOR
        ASSERT_NE(group, nullptr) << name;
        // One 32x32 image whose hot spot lies inside it.
        const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(program, group)));
        ASSERT_NE(dir, nullptr) << name;
        WORD count = 0;
        std::memcpy(&count, dir + 4, sizeof count);
        EXPECT_EQ(count, 1) << name;
        WORD id = 0;
        std::memcpy(&id, dir + 6 + 12, sizeof id);
        HRSRC image = FindResourceA(program, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(1));  // RT_CURSOR
        ASSERT_NE(image, nullptr) << name;
        const auto* bits = static_cast<const BYTE*>(LockResource(LoadResource(program, image)));
        WORD hotX = 0, hotY = 0;
        std::memcpy(&hotX, bits, sizeof hotX);
        std::memcpy(&hotY, bits + 2, sizeof hotY);
        EXPECT_LT(hotX, 32) << name;
        EXPECT_LT(hotY, 32) << name;
    }
    FreeLibrary(program);
}

// The program's own icon: one icon group, the first and only one, so it
// is the program file's too, with the sizes the caption, the notification
// area and the shell ask for, and a picture of the program's own colours.
TEST(ProgramResources, TheProgramIconIsInTheProgramFileInEverySize) {
    HMODULE program = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr) << ProgramPath();
    HRSRC group = FindResourceA(program, "MAINICON", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    auto* dir = static_cast<BYTE*>(LockResource(LoadResource(program, group)));
    ASSERT_NE(dir, nullptr);
    WORD count = 0;
    std::memcpy(&count, dir + 4, sizeof count);
    std::vector<int> sizes;
    for (int i = 0; i < count; ++i) sizes.push_back(dir[6 + 14 * i] ? dir[6 + 14 * i] : 256);
    EXPECT_EQ((std::vector<int>{16, 24, 32, 48}), sizes);
    for (int size : {16, 32}) {
        const int id = LookupIconIdFromDirectoryEx(dir, TRUE, size, size, LR_DEFAULTCOLOR);
        HRSRC image = FindResourceA(program, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));  // RT_ICON
        ASSERT_NE(image, nullptr) << size;
        HICON icon = CreateIconFromResourceEx(static_cast<BYTE*>(LockResource(LoadResource(program, image))),
                                              SizeofResource(program, image), TRUE, 0x00030000, size, size,
                                              LR_DEFAULTCOLOR);
        ASSERT_NE(icon, nullptr) << size;
        // Drawn on white: the corners stay white, the tile's rim is blue.
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all{0, 0, size, size};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 0, 0)) << size;
        EXPECT_EQ(RGB(36, 104, 196), GetPixel(dc, size / 8, size / 4)) << size;
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        DestroyIcon(icon);
    }
    FreeLibrary(program);
}

// Closing the main window saves the database and the layout and ends the
// program with code 0: the window and its controls go before the libraries
// they use are released.
TEST(ProgramFile, ClosingTheWindowSavesAndEndsCleanly) {
    TProgramRun run;
    const std::string& database = run.Database;
    // An old date on the database shows whether the program wrote it.
    HANDLE file = CreateFileA(database.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    SYSTEMTIME old{2001, 1, 1, 1, 12, 0, 0, 0};
    FILETIME oldTime{};
    SystemTimeToFileTime(&old, &oldTime);
    SetFileTime(file, nullptr, nullptr, &oldTime);
    CloseHandle(file);
    const ULONGLONG before = LastWrite(database);

    const HWND window = run.Start();
    EXPECT_NE(window, nullptr) << "no main window within 30 s";
    EXPECT_EQ(run.Close(window), 0);
    EXPECT_GT(LastWrite(database), before);
    EXPECT_NE(LastWrite(run.Dir.File("settings.ini")), 0u);
    qelvo::TuData saved;
    ASSERT_TRUE(saved.LoadFromFile(database));
    qelvo::TuData original;
    ASSERT_TRUE(original.LoadFromFile(TestDataDir() + "app\\report.kpx"));
    EXPECT_EQ(saved.Tasks->GetCount(), original.Tasks->GetCount());
}

// With QELVO_STARTUP_LOG naming a file, the program writes a line for each
// unit it starts and each step of its main window's start, ending with its
// first idle moment, with the times rising.
TEST(ProgramFile, TheStartupLogTimesEachStepWhenAskedFor) {
    TProgramRun run;
    const std::string log = run.Dir.File("start.log");
    const HWND window = run.Start("QELVO_STARTUP_LOG=" + log);
    ASSERT_NE(window, nullptr) << "no main window within 30 s";
    std::string text;
    const ULONGLONG start = GetTickCount64();
    while (text.find("first idle") == std::string::npos && GetTickCount64() - start < 30000) {
        Sleep(20);
        text = gcl::ReadFileBytes(log);
    }
    EXPECT_EQ(run.Close(window), 0);
    std::vector<std::string> steps;
    std::vector<double> times;
    std::istringstream lines(gcl::ReadFileBytes(log));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // "   123.45 ms     +1.23 ms  what"
        const size_t what = line.find(" ms  ", line.find(" ms") + 3);
        ASSERT_NE(what, std::string::npos) << line;
        times.push_back(std::stod(line));
        steps.push_back(line.substr(what + 5));
    }
    ASSERT_GT(steps.size(), qelvo::ProgramUnits().size());
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
    // Every unit in the table's order, then the window's steps.
    auto at = steps.begin();
    for (const gcl::TUnit* unit : qelvo::ProgramUnits()) {
        at = std::find(at, steps.end(), unit->Name());
        ASSERT_NE(at, steps.end()) << unit->Name();
    }
    for (const char* step : {"main window: images", "FormCreate: layout and theme", "database: task list",
                             "main window made, with its window handle"})
        EXPECT_NE(std::find(steps.begin(), steps.end(), step), steps.end()) << step;
    EXPECT_EQ(steps.back().substr(0, 10), "first idle");
}
