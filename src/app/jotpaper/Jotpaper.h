// The interface of the sticky-note companion library "Jotpaper.dll",
// which the program loads from its own folder on first use: ShowDllForm
// opens one note window and returns its handle; the note tells the
// window it was opened for about itself with WM_COPYDATA (dwData 0: it is
// closing, wParam its handle; 1: close all notes; 2: show all notes).
//
// The recording build of the library (for tests) also keeps every call's
// arguments, read back through JotpaperRecordedCalls, and appends them to
// the record file beside the library when that file exists.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>

namespace qelvo {

inline constexpr const char* JotpaperLibraryName = "Jotpaper.dll";
inline constexpr const char* ShowDllFormName = "ShowDllForm";

// Opens a note window at (Left, Top) showing Title, Note and the due date
// (a date-time; a year before 1902 means none) in DateFormat. The two
// flags are kept for the caller's maker; this program passes False. The
// strings are read only during the call. Returns the new window, or null.
using TShowDllForm = HWND(__stdcall*)(HWND parent, const char* title, const char* note, const char* dateFormat,
                                      bool flag1, bool flag2, double due, std::int32_t left, std::int32_t top);

// WM_COPYDATA codes (COPYDATASTRUCT.dwData) a note window sends.
enum : std::uintptr_t { NoteClosing = 0, NoteCloseAll = 1, NoteShowAll = 2 };

// ---- The recording build -------------------------------------------------------------

inline constexpr const char* JotpaperRecordedCallsName = "JotpaperRecordedCalls";

// One call of ShowDllForm as the recording build saw it.
struct TJotpaperCall {
    HWND Parent;
    char Title[256];
    char Note[1024];
    char DateFormat[64];
    bool Flag1;
    bool Flag2;
    double Due;
    std::int32_t Left;
    std::int32_t Top;
    HWND Result;
    char Shown[64];    // the due date as the note shows it, "" for none
};
// The record file: one line per call, the fields separated by tabs:
// Parent, Title, Note, DateFormat, Flag1, Flag2, Due, Left, Top, Result,
// Shown;
// handles as decimal numbers, flags as 0 or 1, Due with six decimals, and
// in the texts a tab, CR, LF or backslash as \t, \r, \n or \\.
inline constexpr const char* JotpaperRecordFileName = "Jotpaper-calls.txt";
// Copies up to Capacity recorded calls (oldest first) into Calls and
// returns how many calls were recorded in all; Clear forgets them.
using TJotpaperRecordedCalls = int(__stdcall*)(TJotpaperCall* calls, int capacity, bool clear);

} // namespace qelvo
