// The sticky-note companion library: ShowDllForm opens a small note window
// with the task's title as its caption, the note text and the due date;
// its context menu shows or closes every note through the window it was
// opened for, and closing it tells that window (WM_COPYDATA code 0).
// Built with JOTPAPER_RECORDING it also records every call for tests, in
// memory and in a record file beside it when one is there.
#include "app/jotpaper/Jotpaper.h"

#include <cstdio>
#include <string>
#include <vector>

#include "gcl/rtl/DateTime.h"

namespace {

using namespace qelvo;

HINSTANCE Instance = nullptr;
constexpr const char* NoteClassName = "QelvoJotpaperNote";
constexpr int NoteWidth = 240, NoteHeight = 180;
constexpr COLORREF NotePaper = RGB(255, 247, 166);
constexpr COLORREF NoteInk = RGB(60, 50, 20);

enum : UINT { CmdShowAll = 1, CmdCloseAll = 2, CmdClose = 3 };

// What one note window shows and whom it tells.
struct TNote {
    HWND Owner = nullptr;
    std::string Note;
    std::string Due;
};

TNote* NoteOf(HWND window) {
    return reinterpret_cast<TNote*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void Tell(HWND owner, HWND note, std::uintptr_t code) {
    if (!owner || !IsWindow(owner)) return;
    COPYDATASTRUCT data{};
    data.dwData = code;
    SendMessageA(owner, WM_COPYDATA, reinterpret_cast<WPARAM>(note), reinterpret_cast<LPARAM>(&data));
}

void Paint(HWND window, TNote& note) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT r;
    GetClientRect(window, &r);
    HBRUSH paper = CreateSolidBrush(NotePaper);
    FillRect(dc, &r, paper);
    DeleteObject(paper);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, NoteInk);
    InflateRect(&r, -8, -6);
    if (!note.Due.empty()) {
        RECT due = r;
        DrawTextA(dc, note.Due.c_str(), static_cast<int>(note.Due.size()), &due, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE |
                                                                                    DT_NOPREFIX);
        r.bottom -= 18;
    }
    DrawTextA(dc, note.Note.c_str(), static_cast<int>(note.Note.size()), &r,
              DT_LEFT | DT_TOP | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_END_ELLIPSIS | DT_EXPANDTABS);
    SelectObject(dc, oldFont);
    EndPaint(window, &ps);
}

void ContextMenu(HWND window, TNote& note, LPARAM position) {
    POINT p{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    if (position == static_cast<LPARAM>(-1)) {
        RECT r;
        GetWindowRect(window, &r);
        p = POINT{r.left + 8, r.top + 8};
    }
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, CmdShowAll, "Show all notes");
    AppendMenuA(menu, MF_STRING, CmdCloseAll, "Close all notes");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, CmdClose, "Close");
    const UINT command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, p.x, p.y, 0, window, nullptr);
    DestroyMenu(menu);
    switch (command) {
    case CmdShowAll: Tell(note.Owner, window, NoteShowAll); break;
    case CmdCloseAll: Tell(note.Owner, window, NoteCloseAll); break;
    case CmdClose: DestroyWindow(window); break;
    default: break;
    }
}

LRESULT CALLBACK NoteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        TNote* note = NoteOf(window);
        switch (message) {
        case WM_NCCREATE:
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
            break;
        case WM_PAINT:
            if (note) {
                Paint(window, *note);
                return 0;
            }
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            InvalidateRect(window, nullptr, FALSE);
            break;
        case WM_CONTEXTMENU:
            if (note) {
                ContextMenu(window, *note, lParam);
                return 0;
            }
            break;
        case WM_DESTROY:
            if (note) Tell(note->Owner, window, NoteClosing);
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            delete note;
            break;
        default:
            break;
        }
    } catch (...) {
        // Nothing may unwind into the system's frames.
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterNoteClass() {
    WNDCLASSA existing{};
    if (GetClassInfoA(Instance, NoteClassName, &existing)) return true;
    WNDCLASSA wc{};
    wc.lpfnWndProc = &NoteProc;
    wc.hInstance = Instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = NoteClassName;
    return RegisterClassA(&wc) != 0;
}

// The note shows dates as the program does, day first, whatever the
// system's own order: the library keeps date settings of its own.
void UseProgramDateForms() {
    static bool done = false;
    if (done) return;
    gcl::FormatSettings().ShortDateFormat = "dd/MM/yyyy";
    gcl::FormatSettings().LongDateFormat = "dd/MM/yyyy";
    done = true;
}

// The due date as the note shows it; none before 1902.
std::string DueText(double due, const char* dateFormat) {
    if (due < gcl::EncodeDate(1902, 1, 1)) return std::string();
    UseProgramDateForms();
    try {
        return "Due: " + gcl::FormatDateTime(dateFormat && *dateFormat ? dateFormat : "ddddd", due);
    } catch (...) {
        return std::string();
    }
}

#ifdef JOTPAPER_RECORDING
std::vector<TJotpaperCall> Recorded;

void Copy(char* target, std::size_t size, const char* text) {
    lstrcpynA(target, text ? text : "", static_cast<int>(size));
}

// A text field of a record line: tabs, line breaks and backslashes as
// \t, \r, \n and \\.
std::string Field(const char* text) {
    std::string out;
    for (const char* c = text; *c; ++c) {
        switch (*c) {
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\\': out += "\\\\"; break;
        default: out += *c; break;
        }
    }
    return out;
}

// Appends a call to the record file beside the library, when that file
// is there: a program driven from outside cannot ask the library itself.
void AppendToRecordFile(const TJotpaperCall& call) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(Instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    std::string file(path, length);
    file = file.substr(0, file.find_last_of("\\/") + 1) + JotpaperRecordFileName;
    HANDLE out = CreateFileA(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return;
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, "\t%d\t%d\t%.6f\t%ld\t%ld\t%lu\r\n", call.Flag1 ? 1 : 0, call.Flag2 ? 1 : 0,
                  call.Due, static_cast<long>(call.Left), static_cast<long>(call.Top),
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(call.Result)));
    std::string line = std::to_string(reinterpret_cast<std::uintptr_t>(call.Parent)) + "\t" + Field(call.Title) +
                             "\t" + Field(call.Note) + "\t" + Field(call.DateFormat) + numbers;
    line.insert(line.size() - 2, "\t" + Field(call.Shown));
    DWORD written = 0;
    WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(out);
}
#endif

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        Instance = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        UnregisterClassA(NoteClassName, instance);
    }
    return TRUE;
}

__declspec(dllexport) HWND __stdcall ShowDllForm(HWND parent, const char* title, const char* note,
                                                 const char* dateFormat, bool flag1, bool flag2, double due,
                                                 std::int32_t left, std::int32_t top) {
    HWND window = nullptr;
    try {
        if (RegisterNoteClass()) {
            auto* data = new TNote;
            data->Owner = parent;
            data->Note = note ? note : "";
            data->Due = DueText(due, dateFormat);
            window = CreateWindowExA(WS_EX_TOOLWINDOW, NoteClassName, title ? title : "",
                                     WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, left, top, NoteWidth,
                                     NoteHeight, nullptr, nullptr, Instance, data);
            if (window)
                ShowWindow(window, SW_SHOWNOACTIVATE);
            else
                delete data;
        }
    } catch (...) {
        window = nullptr;
    }
#ifdef JOTPAPER_RECORDING
    try {
        TJotpaperCall call{};
        call.Parent = parent;
        Copy(call.Title, sizeof call.Title, title);
        Copy(call.Note, sizeof call.Note, note);
        Copy(call.DateFormat, sizeof call.DateFormat, dateFormat);
        call.Flag1 = flag1;
        call.Flag2 = flag2;
        call.Due = due;
        call.Left = left;
        call.Top = top;
        call.Result = window;
        if (const TNote* shown = window ? NoteOf(window) : nullptr) Copy(call.Shown, sizeof call.Shown, shown->Due.c_str());
        Recorded.push_back(call);
        AppendToRecordFile(call);
    } catch (...) {
    }
#else
    (void)flag1;
    (void)flag2;
#endif
    return window;
}

#ifdef JOTPAPER_RECORDING
__declspec(dllexport) int __stdcall JotpaperRecordedCalls(TJotpaperCall* calls, int capacity, bool clear) {
    const int count = static_cast<int>(Recorded.size());
    for (int i = 0; i < count && i < capacity; ++i) calls[i] = Recorded[i];
    if (clear) Recorded.clear();
    return count;
}
#endif

} // extern "C"
