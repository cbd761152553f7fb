// The program file: the resources it carries, and the program started as a
// user runs it, in a folder of its own with a database and settings.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <cstring>
#include <string>

#include "../support/TestEnvironment.h"
#include "data/uDataMan.h"

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

// Closing the main window saves the database and the layout and ends the
// program with code 0: the window and its controls go before the libraries
// they use are released.
TEST(ProgramFile, ClosingTheWindowSavesAndEndsCleanly) {
    TempDir dir;
    const std::string exe = dir.File("qelvo.exe"), database = dir.File("Data\\ActualData.kpx");
    ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), exe.c_str(), FALSE)) << ProgramPath();
    ASSERT_TRUE(CreateDirectoryA(dir.File("Data").c_str(), nullptr));
    ASSERT_TRUE(CopyFileA((TestDataDir() + "app\\report.kpx").c_str(), database.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((TestDataDir() + "app\\first-run-settings.ini").c_str(), dir.File("settings.ini").c_str(),
                          FALSE));
    // An old date on the database shows whether the program wrote it.
    HANDLE file = CreateFileA(database.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    SYSTEMTIME old{2001, 1, 1, 1, 12, 0, 0, 0};
    FILETIME oldTime{};
    SystemTimeToFileTime(&old, &oldTime);
    SetFileTime(file, nullptr, nullptr, &oldTime);
    CloseHandle(file);
    const ULONGLONG before = LastWrite(database);

    std::string command = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.Path().c_str(), &si,
                               &pi));
    TFind find{pi.dwProcessId, nullptr};
    const ULONGLONG start = GetTickCount64();
    while (!find.Wnd && GetTickCount64() - start < 30000 && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&find));
        if (!find.Wnd) Sleep(20);
    }
    EXPECT_NE(find.Wnd, nullptr) << "no main window within 30 s";
    if (find.Wnd) PostMessageA(find.Wnd, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(pi.hProcess, 99);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ASSERT_TRUE(ended);
    EXPECT_EQ(code, 0u);
    EXPECT_GT(LastWrite(database), before);
    EXPECT_NE(LastWrite(dir.File("settings.ini")), 0u);
    qelvo::TuData saved;
    ASSERT_TRUE(saved.LoadFromFile(database));
    qelvo::TuData original;
    ASSERT_TRUE(original.LoadFromFile(TestDataDir() + "app\\report.kpx"));
    EXPECT_EQ(saved.Tasks->GetCount(), original.Tasks->GetCount());
}
