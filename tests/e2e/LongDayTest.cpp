// A long day of use: what a user repeats all day (the dialogs, the panels,
// find mode, the filters and groupings, the notification area, sticky
// notes, themes, font sizes, a toolbar floated and docked again, titles
// typed and saved), round after round, with the program's resources
// counted from outside after a warm-up round and again at the end. What
// one round leaves behind (a DC, bitmap, font, brush, pen or region, a
// window, a kernel handle, a thread, a file beside the database) shows as
// growth; the window must also look as it did after the warm-up.
#include <gtest/gtest.h>

#include "gcl/rtl/WinApi.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// ---- What a process holds, read from outside

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
constexpr size_t PebGdiTableOffset = 0x94;    // of a 32-bit PEB

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

int Total(const std::map<int, int>& counts) {
    int n = 0;
    for (const auto& [type, count] : counts) n += count;
    return n;
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

size_t FilesIn(const std::string& folder) {
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
    const auto* entries = reinterpret_cast<const TEntry*>(buffer.data() + sizeof(ULONG));
    unsigned long n = 0;
    for (ULONG i = 0; i < count && sizeof(ULONG) + (i + 1) * sizeof(TEntry) <= buffer.size(); ++i)
        n += entries[i].Pid == pid;
    return n;
}

struct TUsage {
    std::map<int, int> Gdi;    // by type
    size_t Windows = 0;        // top-level, message-only and child windows
    unsigned long Handles = 0, Threads = 0;
    size_t Memory = 0;         // private bytes
    size_t Files = 0;          // in the database's folder
};

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
    u.Files = FilesIn(p.PathOf("Data"));
    return u;
}

std::string Describe(const TUsage& u) {
    std::string s = "GDI objects " + std::to_string(Total(u.Gdi)) + " (by type";
    for (const auto& [type, count] : u.Gdi) s += " " + std::to_string(type) + ":" + std::to_string(count);
    return s + "), windows " + std::to_string(u.Windows) + ", handles " + std::to_string(u.Handles) + ", threads " +
           std::to_string(u.Threads) + ", private " + std::to_string(u.Memory / 1024) + " KB, files " +
           std::to_string(u.Files);
}

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
    return {Total(before.Gdi) + 2,        before.Windows, before.Handles + ThreadHandles * newThreads,
            before.Threads + 1,           before.Memory + 2 * 1024 * 1024, 1u};
}
bool WithinLimits(const TUsage& before, const TUsage& after) {
    const TGrowthLimits l = LimitsAfter(before, after);
    return Total(after.Gdi) <= l.Gdi && after.Windows <= l.Windows && after.Handles <= l.Handles &&
           after.Threads <= l.Threads && after.Memory <= l.Memory && after.Files == l.Files;
}
void ExpectNoGrowth(const TUsage& before, const TUsage& after, const std::string& what) {
    const std::string both = "\n  after the warm-up: " + Describe(before) + "\n  at the end:        " + Describe(after);
    ASSERT_GT(Total(before.Gdi), 0) << what << ": the program's GDI table could not be read";
    ASSERT_GT(before.Handles, 0u) << what << ": the system's handle list could not be read";
    const TGrowthLimits l = LimitsAfter(before, after);
    EXPECT_LE(Total(after.Gdi), l.Gdi) << what << ": GDI objects grew" << both;
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

// The main window's client area as it shows on the screen (the caption
// names the last save's time, which moves on).
std::vector<COLORREF> ClientPixels(const TProgram& p, HWND main) {
    p.Settle();
    Sleep(150);    // painting waits for an empty queue
    p.Settle();
    RECT r{};
    GetClientRect(main, &r);
    MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return PixelsOf(r);
}

size_t Differing(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    if (a.size() != b.size()) return std::max(a.size(), b.size());
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

// ---- What a user repeats

constexpr int PrintSteps = 8, OptionsSteps = -1;
constexpr int ShowTagsColumnSteps = 8, ShowNotePanelSteps = 7;

// A window the program opens modally, closed with Keys; false when it did
// not come or did not go.
bool OpensAndCloses(TProgram& p, const std::string& className, const std::function<void()>& close) {
    HWND w = p.WaitTopWindow(className);
    if (!w) {
        ADD_FAILURE() << "no " << className;
        return false;
    }
    close();
    const bool gone = WaitUntil([&] { return !IsWindow(w) || !IsWindowVisible(w); });
    EXPECT_TRUE(gone) << className << " stayed";
    return gone;
}

// The group-by toolbar: the narrowest bar below the quick-entry bar.
HWND GroupByBar(HWND main, const TMainWindowParts& parts) {
    HWND groupBy = nullptr;
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass")) {
        const RECT r = RectOf(w);
        if (r.right - r.left < 300 && r.top > RectOf(parts.TopEdit).bottom &&
            (!groupBy || r.top < RectOf(groupBy).top))
            groupBy = w;
    }
    return groupBy;
}

} // namespace

TEST(LongDayScenario, WindowsPanelsViewsAndNotesOpenedAllDayLeaveNothingBehind) {
    TProgram p("long-day-windows");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    ASSERT_NE(parts.List, nullptr);
    int round = 0;
    auto oneRound = [&] {
        ++round;
        // Tools > Options, looked at and left with Esc; File > Print...,
        // closed with Alt+F4.
        ChooseFromMenu(p, main, ToolsMenuX, OptionsSteps);
        if (!OpensAndCloses(p, "TOptionsF", [&] { Key(p, VK_ESCAPE); })) return false;
        ChooseFromMenu(p, main, FileMenuX, PrintSteps);
        if (!OpensAndCloses(p, "TPrintF", [&] { Key(p, VK_F4, Alt); })) return false;
        // A task's tags, due date and list panels opened and left; its
        // priority up and down again; a sticky note made and closed.
        Click(p, PreparedTaskPoint(main, 1));
        for (WORD panel : {'T', 'D', 'L'}) {
            Key(p, panel, Shift);
            Key(p, VK_ESCAPE);
        }
        Key(p, VK_UP, Ctrl);
        Key(p, VK_DOWN, Ctrl);
        Key(p, 'K', Ctrl);
        if (!WaitUntil([&] { return VisibleTops(p, "QelvoJotpaperNote").size() == 1; })) {
            ADD_FAILURE() << "no sticky note";
            return false;
        }
        OpenMainMenu(p, main, ToolsMenuX);    // Sticky Notes > Close All
        for (int i = 0; i < 3; ++i) Key(p, VK_DOWN);
        Key(p, VK_RIGHT);
        Key(p, VK_DOWN);
        Key(p, VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return VisibleTops(p, "QelvoJotpaperNote").empty(); }));
        // Find mode on and off; the filters and groupings through their
        // keys, each back where it was.
        Key(p, 'F', Ctrl);
        Type(p, "the");
        Key(p, 'N', Ctrl);
        for (WORD filter : {'1', '4', '0', 'O', 'A'}) Key(p, filter, Ctrl);
        Key(p, 'D', Ctrl);
        Key(p, 'D', Ctrl);
        for (int i = 0; i < 4; ++i) Key(p, 'P', Ctrl);
        for (WORD grouping : {'D', 'P', 'T', 'N', 'L'}) Key(p, grouping, Alt);
        // The Tags column and the note panel hidden and shown again.
        for (int steps : {ShowTagsColumnSteps, ShowTagsColumnSteps, ShowNotePanelSteps, ShowNotePanelSteps})
            ChooseFromMenu(p, main, ViewMenuX, steps);
        // To the notification area with the hot key, and back.
        Key(p, 'O', Ctrl | Shift);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); })) << "round " << round;
        Key(p, 'O', Ctrl | Shift);
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main); })) << "round " << round;
        // The group-by bar floated and docked again.
        HWND groupBy = GroupByBar(main, parts);
        if (!groupBy) {
            ADD_FAILURE() << "no group-by bar\n" << DescribeChildren(main);
            return false;
        }
        const RECT docked = RectOf(groupBy);
        Drag(p, POINT{docked.left + 3, (docked.top + docked.bottom) / 2}, POINT{500, 560});
        HWND floating = GetAncestor(groupBy, GA_ROOT);
        if (ClassOf(floating) != "TXtFloatingWindowParent") {
            ADD_FAILURE() << "the group-by bar did not float";
            return false;
        }
        const RECT f = RectOf(floating);
        const RECT quickBar = RectOf(GetParent(parts.TopEdit));
        Drag(p, POINT{f.left + 30, f.top + 8}, POINT{quickBar.left + 30, quickBar.bottom + 4});
        if (!WaitUntil([&] { return VisibleTops(p, "TXtFloatingWindowParent").empty(); })) {
            ADD_FAILURE() << "the group-by bar did not dock again";
            return false;
        }
        Click(p, PreparedTaskPoint(main, 5));
        return true;
    };
    // Two rounds of warm-up: the first moves the group-by bar below the
    // filter bar for good, and the task list keeps its paint bitmap for the
    // height that leaves it.
    ASSERT_TRUE(oneRound()) << "warm-up";
    ASSERT_TRUE(oneRound()) << "warm-up";
    const TUsage warm = UsageOf(p);
    const std::vector<COLORREF> look = ClientPixels(p, main);
    const RECT place = RectOf(main);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(oneRound()) << "round " << round;
    ExpectNoLeak(p, warm, "dialogs, panels, views, notes, tray, toolbar", [&] {
        for (int i = 0; i < 3; ++i)
            if (!oneRound()) return false;
        return true;
    });
    EXPECT_EQ(Differing(look, ClientPixels(p, main)), 0u) << "the window looks other than after the warm-up";
    const RECT now = RectOf(main);
    EXPECT_TRUE(EqualRect(&place, &now)) << "the window moved to " << now.left << "," << now.top << " "
                                         << now.right - now.left << "x" << now.bottom - now.top;
    // The keyboard is still the main window's: a shortcut works.
    EXPECT_TRUE(IsChild(main, p.Focus()));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(LongDayScenario, ThemesFontSizesAndTitlesChangedAllDayLeaveNothingBehind) {
    TProgram p("long-day-themes");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // The rounds start with a task chosen, and so the note editor made
    // (which a first choice makes): so does the warm-up.
    Click(p, PreparedTaskPoint(main, 5));
    const std::vector<size_t> themes = {1, 16, 12, 0};    // Aluminum, Stripes, OfficeC, Default
    int round = 0;
    auto oneRound = [&] {
        ++round;
        for (size_t theme : themes) ChooseTheme(p, main, theme);
        // The list's and the note's font sizes set in Tools > Options,
        // then set back.
        for (int size : {12, 11}) {
            const TOptionsDialog options = OpenOptionsDialog(p, main);
            if (!options.NoteFontSize) return false;
            TypeNumber(p, options.ListFontSize, size);
            TypeNumber(p, options.NoteFontSize, size - 1);
            Key(p, VK_RETURN);
            if (!WaitUntil([&] { return !IsWindow(options.Window) || !IsWindowVisible(options.Window); })) {
                ADD_FAILURE() << "Options stayed";
                return false;
            }
        }
        // A title typed in place and saved, and typed back and saved.
        for (const char* title : {"Book the ferry early", "Book the ferry"}) {
            Click(p, PreparedTaskPoint(main, 5));
            Key(p, VK_HOME);
            Key(p, VK_RETURN);
            Type(p, title);
            Key(p, VK_RETURN);
            Key(p, 'S', Ctrl);
            const std::vector<std::string> fields = Fields(TaskLine(ReadFile(p.DatabasePath()), title));
            if (fields.empty() || fields[0] != std::string("+;7/14/2031;") + title) {
                ADD_FAILURE() << "\"" << title << "\" was not saved";
                return false;
            }
        }
        return true;
    };
    ASSERT_TRUE(oneRound()) << "warm-up";
    const TUsage warm = UsageOf(p);
    const std::vector<COLORREF> look = ClientPixels(p, main);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(oneRound()) << "round " << round;
    ExpectNoGrowth(warm, UsageAtTheEnd(p, warm), "themes, font sizes, titles saved");
    EXPECT_EQ(Differing(look, ClientPixels(p, main)), 0u) << "the window looks other than after the warm-up";
    EXPECT_NE(TextOf(main).find("[Last Save at"), std::string::npos) << TextOf(main);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
