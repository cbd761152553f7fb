// Small routines the whole toolbar framework shares: caption and
// accelerator text, vertical captions, list helpers, message pumping,
// WM_PRINT support, monitor rectangles, drag outlines, the button-tracking
// loop, menu timing and sound-scheme queries, and the framework's texts.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <string>

#include "gcl/Graphics.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Libraries.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Maths.h"
#include "gcl/rtl/Objects.h"

namespace gcl {
class TWinControl;
}

namespace qelvo {

// ---- Texts of the framework ------------------------------------------------

inline constexpr const char* SItemIndexError = "Toolbar item index out of range";
inline constexpr const char* SItemReinsertError = "Toolbar item already inserted";
inline constexpr const char* SViewerMissingError =
    "An item viewer associated the specified item could not be found";
inline constexpr const char* SChevronHintText = "More Buttons|";
inline constexpr const char* SDockNestingError =
    "A TBarDock control cannot be placed inside a tool window or another TBarDock";
inline constexpr const char* SDockPositionError =
    "Cannot change Position of a TBarDock if it already contains controls";

// ---- Captions and accelerators --------------------------------------------
// Strings are 8-bit text in the system code page; a lead byte travels with
// its trail byte.

// Removes each "&"; "&&" leaves one "&".
std::string RemoveAccelMarks(const std::string& S);
// Doubles each "&".
std::string DoubleAmpersands(const std::string& S);
// Drops one trailing ":" (length above 1), else a trailing "..." (length
// above 3), unless that character is the trail byte of a double-byte one.
std::string TrimCaptionEnding(const std::string& S);
// The character after the last single "&" ("&&" does not count); '\0'
// when there is none.
char AcceleratorOf(const std::string& S);
// Width of S in the DC's font; of RemoveAccelMarks(S) when Prefix.
int GetTextWidth(HDC DC, const std::string& S, bool Prefix);
// The DC font's tmHeight.
int FontTextHeight(HDC DC);
// X / Y rounded away from zero when there is a remainder (Y not 0).
int DivAwayFromZero(int X, int Y);
using gcl::Max;
using gcl::Min;
// Both halves (object and method) of two events are the same.
template <class E>
bool SameMethod(const E& M1, const E& M2) noexcept {
    return M1.Method() == M2.Method();
}

// ---- Vertical captions ---------------------------------------------------

// A copy of the DC's font turned to read top to bottom (escapement 2700,
// TrueType only); "MS Sans Serif" becomes "Arial", and a vertical "@" face
// is used when the system has one. Null when the DC's font cannot be read.
// The caller deletes the font.
HFONT CreateRotatedFont(HDC DC);
// Draws AText top to bottom, horizontally centred in ARect. AFormat takes
// DT_CENTER (centre along the rectangle's height), DT_NOCLIP, DT_NOPREFIX,
// DT_END_ELLIPSIS and DT_HIDEPREFIX. A text that does not fit even with
// one character keeps its first character and "...".
void DrawRotatedText(HDC DC, const std::string& AText, const gcl::TRect& ARect, UINT AFormat);

// ---- Lists (a null list stands for an empty one) ---------------------------

// Creates the list on demand and appends Item unless present; true when added.
bool ListAddUnique(gcl::TList*& List, void* Item);
// As ListAddUnique, inserting at index 0.
bool ListInsertFirstUnique(gcl::TList*& List, void* Item);
// Removes Item; frees the list and nulls the reference when it becomes empty.
void ListRemoveAndRelease(gcl::TList*& List, void* Item);
// Negative, 0 or positive as Item1 sorts before, with or after Item2.
using TListSortExCompare = int (*)(void* Item1, void* Item2, void* ExtraData);
// Sorts the list in place. Stable: items that compare equal keep their order.
void ListSortEx(gcl::TList* List, TListSortExCompare Compare, void* ExtraData);

// ---- Messages and windows --------------------------------------------------

// Dispatches every pending WM_PAINT of the thread; a WM_QUIT met on the
// way is posted again.
void ProcessPaintMessages();
// Removes the pending messages in AMin..AMax; a WM_QUIT among them is
// posted again.
void DiscardMessages(UINT AMin, UINT AMax);
bool HasActiveWindow();
// Paints the non-client area of Wnd into DC (window coordinates).
using TNCPaintFunc = void (*)(HWND Wnd, HDC DC, void* AppData);
// Answers WM_PRINT (WParam the DC, LParam the PRF_ flags) for a window whose
// non-client area NCPaintFunc paints; Message.Result becomes 1.
void HandleWMPrint(HWND Wnd, gcl::TMessage& Message, TNCPaintFunc NCPaintFunc, void* AppData);
// Answers WM_NCPAINT (NCPaintFunc paints into the window DC clipped to the
// update region), WM_PRINT and WM_PRINTCLIENT for a window that draws its
// own frame; false for any other message.
bool HandleNCPaintAndPrint(gcl::TWinControl* Control, gcl::TMessage& Message, TNCPaintFunc NCPaintFunc,
                           void* AppData);
// Runs Control's paint handler into the DC of a WM_PRINTCLIENT message.
void PaintForPrintClient(gcl::TWinControl* Control, gcl::TMessage& Message);
// For a WM_NCPAINT region other than 0 and 1: selects it as the DC's clip
// region (the window rectangle when that fails), in window coordinates.
void SelectNCUpdateRgn(HWND Wnd, HDC DC, HRGN Rgn);
// A region of an empty rectangle; the caller deletes it.
HRGN MakeEmptyRegion();
// TrackMouseEvent with the flags and hover time 0; false when it failed
// or the system has no such entry point.
bool CallTrackMouseEvent(HWND Wnd, DWORD Flags);

// Tells the caller of TrackButtonPress whether the button is drawn pressed.
using TButtonPressEvent = gcl::TEvent<void(bool Pressed)>;
// Tracks a pressed button of Wnd (ButtonRect in client coordinates): the
// mouse is captured and OnPressChange hears each change of "pressed" (the
// pointer inside the rectangle) until the button is released, Escape is
// pressed or the capture is lost. Starts pressed; ends unpressed. True
// when the button was released inside the rectangle.
bool TrackButtonPress(HWND Wnd, const gcl::TRect& ButtonRect, TButtonPressEvent OnPressChange);

// ---- Screen geometry -------------------------------------------------------

bool HasSeveralMonitors();
// The work area (when WorkArea and the system answers) or the whole
// primary screen.
gcl::TRect PrimaryMonitorRect(bool WorkArea);
// The nearest monitor's work area or whole rectangle; the primary
// monitor's where the system has no multi-monitor support.
gcl::TRect MonitorRectOfRect(const gcl::TRect& R, bool WorkArea);
gcl::TRect MonitorRectOfPoint(gcl::TPoint P, bool WorkArea);

// ---- Drag outlines ---------------------------------------------------------

// A pattern brush of alternating pixels; the caller deletes it.
HBRUSH MakeHalftoneBrush();
// Moves an inverted frame: the frame of OldRect (OldSize thick) is
// inverted away and that of NewRect (NewSize thick) drawn. With one brush
// for both, only the pixels that change flip. Null rectangles stand for
// no frame.
void InvertFrameChange(HDC DC, const gcl::TRect* NewRect, const gcl::TRect* OldRect, HBRUSH NewBrush,
                       HBRUSH OldBrush, gcl::TSize NewSize, gcl::TSize OldSize);
// InvertFrameChange with the halftone brush for both frames.
void DrawHalftoneInvertRect(HDC DC, const gcl::TRect* NewRect, const gcl::TRect* OldRect, gcl::TSize NewSize,
                            gcl::TSize OldSize);

// ---- System settings -------------------------------------------------------

// The delay before a submenu opens, in milliseconds: the system setting,
// else the user's registry value (read once), else 400.
int MenuShowDelay();
// The registry value of the menu show delay, read now: 400 when the key or
// the value is missing, 0 when it is not a string of a decimal number; a
// negative number counts as 0.
int ReadMenuShowDelayFromRegistry();
bool AreKeyboardCuesEnabled();
bool FlatMenusEnabled();
bool IsWindowsXP();
// True when the user's sound scheme gives the event Alias a sound (always
// true before Windows 2000).
bool SoundSchemeHasEvent(const std::string& Alias);
// The ANSI code page of the current keyboard layout's language; 0 when it
// cannot be read or is not a valid code page.
UINT KeyboardLayoutCodePage();

// user32.dll for the toolbar's entry points that older systems lack.
extern gcl::TSystemLibrary BarUser32Library;

} // namespace qelvo
