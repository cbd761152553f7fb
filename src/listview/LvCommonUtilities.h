// Free-standing helpers of the list view and its base units: wide-text
// measuring, shortening, wrapping and drawing; a row gradient; Marlett
// check-box and radio glyphs; 32-bit alpha blending of device contexts;
// drag detection; conversions between the platform's key, mouse-button and
// drop-effect bits and the library's own sets; rectangle helpers;
// case-insensitive wide comparison; a reference-counted library cache and
// an executable thunk that turns an object and a function into a plain
// stdcall callback.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gcl/Graphics.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Sets.h"
#include "gcl/rtl/Types.h"

namespace qelvo {

// Horizontal text alignment of captions, columns and hints.
using gcl::TAlignment;
using gcl::taCenter;
using gcl::taLeftJustify;
using gcl::taRightJustify;

GCL_ENUM(TCommonKeyState, cksControl, cksLButton, cksMButton, cksRButton, cksShift, cksAlt, cksButton)
using TCommonKeyStates = gcl::TSet<TCommonKeyState>;

GCL_ENUM(TCommonMouseButton, cmbNone, cmbLeft, cmbRight, cmbMiddle)
using TCommonMouseButtons = gcl::TSet<TCommonMouseButton>;

GCL_ENUM(TCommonDropEffect, cdeNone, cdeCopy, cdeMove, cdeLink, cdeScroll)
using TCommonDropEffects = gcl::TSet<TCommonDropEffect>;

GCL_ENUM(TCommonOLEDragResult, cdrDrop, cdrCancel, cdrError)
GCL_ENUM(TCommonVAlignment, cvaTop, cvaBottom, cvaCenter)
GCL_ENUM(TCommonBlendMode, cbmConstantAlpha, cbmPerPixelAlpha, cbmMasterAlpha, cbmConstantAlphaAndColor)

using TCommonWideCharArray = std::vector<wchar_t>;
using TCommonWideStringDynArray = std::vector<std::wstring>;
using TCommonIntegerDynArray = std::vector<int32_t>;

// Flags of DrawTextWEx (a 16-bit set).
using TCommonDrawTextWFlags = uint16_t;
inline constexpr TCommonDrawTextWFlags dtSingleLine = 0x0001;
inline constexpr TCommonDrawTextWFlags dtLeft = 0x0002;
inline constexpr TCommonDrawTextWFlags dtRight = 0x0004;
inline constexpr TCommonDrawTextWFlags dtCenter = 0x0008;
inline constexpr TCommonDrawTextWFlags dtTop = 0x0010;
inline constexpr TCommonDrawTextWFlags dtBottom = 0x0020;
inline constexpr TCommonDrawTextWFlags dtVCenter = 0x0040;
inline constexpr TCommonDrawTextWFlags dtCalcRect = 0x0080;
inline constexpr TCommonDrawTextWFlags dtEndEllipsis = 0x0400;
inline constexpr TCommonDrawTextWFlags dtRTLReading = 0x2000;
inline constexpr TCommonDrawTextWFlags dtNoClip = 0x4000;

namespace msg {
inline constexpr const char* AlphaBlendBpp = "Alpha blending error: bitmap must use 32 bpp.";
inline constexpr const char* AlphaBlendNoBitmap = "Alpha blending DC error: no bitmap available.";
} // namespace msg

// ---- Text ------------------------------------------------------------------

// Extent of Text in the DC's current font.
void TextExtentW(const std::wstring& Text, HDC DC, gcl::TSize& Size);
// (0, 0) for an empty text or no canvas; the canvas is locked while measuring.
void TextExtentW(const std::wstring& Text, gcl::TCanvas* Canvas, gcl::TSize& Size);
// (0, 0) for an empty text; measured on the screen with a copy of Font.
void TextExtentW(const std::wstring& Text, gcl::TFont* Font, gcl::TSize& Size);
// Leaves Text unchanged when it fits MaxWidth; otherwise keeps the longest
// prefix that fits together with "..." and appends "...". A MaxWidth
// narrower than "..." gives "...".
void ShortenStringEx(HDC DC, std::wstring& Text, int MaxWidth);
// The same; the text's width when it fitted as it was, -1 when it was
// shortened.
int FitWithEllipsis(HDC DC, std::wstring& Text, int MaxWidth);
// The same for a text whose width the caller measured (KnownWidth) and
// a font whose "..." it measured (EllipsisWidth); a negative one is
// measured here.
int FitWithEllipsis(HDC DC, std::wstring& Text, int MaxWidth, int KnownWidth, int EllipsisWidth);
// Splits Text into lines no wider than MaxWidth and answers their number.
// Buffer receives the lines, each followed by a zero character, and one
// more zero after the last. MaxLines -1 means no limit; the last allowed
// line takes the rest of the text.
int WrapTextW(HDC DC, const std::wstring& Text, int MaxWidth, int MaxLines, TCommonWideCharArray& Buffer);
// Draws Text into Rect (see the dt* flags); Lines limits the number of
// wrapped lines (-1: no limit). With dtCalcRect nothing is drawn and Rect
// grows to the text's rectangle. Answers the height of the text drawn.
int DrawTextWEx(HDC DC, const std::wstring& Text, gcl::TRect& Rect, int Lines, TCommonDrawTextWFlags Flags);
// What a caller that draws many lines in one font knows of it already, so
// that no line asks the font again: its height and ascent and, for a font
// with outline metrics, where its strike-out line lies (StrikePosition
// pixels above the baseline, StrikeSize thick; 0 without), and the
// width of "..." in it.
struct TTextLineMetrics {
    int Height = 0;
    int Ascent = 0;
    int EllipsisWidth = -1;
    int StrikePosition = 0;
    int StrikeSize = 0;
};
// The metrics of the font selected into DC.
TTextLineMetrics ReadTextLineMetrics(HDC DC);
// DrawTextWEx with the selected font's metrics given. With StrikeOut each
// line gets the strike-out line that a struck-out copy of the selected
// font would draw, in the text colour, from the line's start to its
// advance (the caller sees to it that Metrics has a StrikeSize, the DC's
// text is aligned at its top left and not moved by the current position).
// KnownWidth, when not negative, is the width of the whole Text in the
// selected font, which a single line then does not measure again.
int DrawTextWEx(HDC DC, const std::wstring& Text, gcl::TRect& Rect, int Lines, TCommonDrawTextWFlags Flags,
                const TTextLineMetrics& Metrics, bool StrikeOut, int KnownWidth = -1);
std::wstring WideStrLower(const std::wstring& Text);
// One character lower-cased as WideStrLower lower-cases it.
wchar_t WideCharLower(wchar_t C);
// The platform's case-insensitive comparison: negative, 0 or positive as
// S1 sorts before, with or after S2.
int WideStrIComp(const std::wstring& S1, const std::wstring& S2);
// The sort key of S: byte strings whose plain (unsigned) order is the order
// WideStrIComp gives their texts, so a sort can prepare each text once.
std::string WideStrSortKey(const std::wstring& S);
// Sort keys of a set of texts, comparable among themselves as above. Texts
// of ASCII letters, digits and spaces only order like their lower-case
// letters; when all texts are such, those are the keys (much cheaper).
std::vector<std::string> WideStrSortKeys(const std::vector<std::wstring>& Texts);
std::vector<std::string> WideStrSortKeys(const std::vector<const std::wstring*>& Texts);
// The same keys held in one block, for sorting many texts without a string
// per key: key i is the bytes [Start[i], Start[i + 1]) of Bytes.
struct TWideSortKeySet {
    std::string Bytes;
    std::vector<uint32_t> Start;

    size_t Count() const noexcept { return Start.empty() ? 0 : Start.size() - 1; }
    std::string_view Key(size_t I) const noexcept {
        return std::string_view(Bytes).substr(Start[I], Start[I + 1] - Start[I]);
    }
    // Negative, 0 or positive as key A sorts before, with or after key B.
    int Compare(size_t A, size_t B) const noexcept { return Key(A).compare(Key(B)); }
    // Eight bytes of key I from From on (zero-padded) as one number; keys
    // that agree before From order like these numbers where they differ.
    uint64_t Lead(size_t I, size_t From = 0) const noexcept;
};
TWideSortKeySet WideStrSortKeySet(const std::vector<std::wstring_view>& Texts);
// WideStrIComp with the operands taken in the order S2, S1: its sign is the
// reverse of WideStrIComp(S1, S2).
int WideCompareText(const std::wstring& S1, const std::wstring& S2);

// ---- Drawing -------------------------------------------------------------------

// For every row from Top to Bottom inside ClipTop..ClipBottom (when
// ClipBottom >= 1): a line from Left to Right in the colour mixed between
// FromColor and ToColor by the row's distance from Top.
void FillGradientRows(gcl::TCanvas* Canvas, int Left, int Top, int Right, int Bottom, gcl::TColor FromColor,
                      gcl::TColor ToColor, int ClipTop, int ClipBottom);
// (0, 0, w, h): the extent of the Marlett glyph "g" at point size Size.
gcl::TRect CheckBounds(int Size);
// A check box (radio button) of Marlett glyphs at Pos, font size Size.
void DrawCheckBox(gcl::TCanvas* Canvas, gcl::TPoint Pos, int Size, gcl::TColor OuterLight,
                  gcl::TColor OuterDark, gcl::TColor InnerLight, gcl::TColor InnerDark, gcl::TColor Face,
                  gcl::TColor Background, bool Checked, bool Enabled);
void DrawRadioButton(gcl::TCanvas* Canvas, gcl::TPoint Pos, int Size, gcl::TColor OuterLight,
                     gcl::TColor OuterDark, gcl::TColor InnerLight, gcl::TColor InnerDark, gcl::TColor Face,
                     gcl::TColor Background, bool Checked, bool Enabled);
// Blends SrcRect of SrcDC onto DstDC at DstPoint; both DCs must hold
// 32-bit DIB sections. Bias is a signed 16-bit value; in
// cbmConstantAlphaAndColor it carries the colour (only DstDC is used then).
void AlphaBlend(HDC SrcDC, HDC DstDC, const gcl::TRect& SrcRect, int32_t Bias, int Alpha, TCommonBlendMode Mode,
                gcl::TPoint DstPoint);
void CenterRectInRect(const gcl::TRect& Inner, const gcl::TRect& Outer, gcl::TRect& R);
inline int RectWidth(const gcl::TRect& R) noexcept { return R.Right - R.Left; }
inline int RectHeight(const gcl::TRect& R) noexcept { return R.Bottom - R.Top; }
void ProperRect(const gcl::TRect& R, gcl::TRect& Result);
inline bool IsRectProper(const gcl::TRect& R) noexcept { return R.Right >= R.Left && R.Bottom >= R.Top; }
bool ContainsRect(const gcl::TRect& Outer, const gcl::TRect& Inner);
inline bool PointsEqual(gcl::TPoint P1, gcl::TPoint P2) noexcept { return P1.X == P2.X && P1.Y == P2.Y; }

// ---- Input and platform -----------------------------------------------------------

// Runs a modal loop until the pointer leaves the system drag rectangle
// around Point (screen coordinates): True; a button release, cancel mode
// or quit ends it with False (the message is posted back).
bool DragDetectPlus(HWND Window, gcl::TPoint Point);
gcl::TShiftState KeyToShiftState(intptr_t KeyData);
TCommonKeyStates KeyStatesFromMK(uint32_t Flags);
TCommonMouseButton MouseButtonFromMK(uint32_t Flags);
uint32_t MouseButtonToMask(TCommonMouseButton Button);
TCommonDropEffects DropEffectsFromDropEffect(uint32_t Effect);
uint32_t DropEffectsToDropEffect(TCommonDropEffects Effects);
TCommonDropEffect KeyStatesToDropEffect(TCommonKeyStates KeyStates);
bool IsUnicode();
bool IsWin2kOrUp();
bool IsWinNT4();
// True when Intf answers IID (Obj then holds an added reference).
bool CommonSupports(::IUnknown* Intf, const IID& IID, void** Obj);
// The library cache: loads Name once and counts further requests; 0 on
// failure (nothing cached then).
HMODULE CommonLoadLibrary(const std::string& Name);
void FreeCommonLibraries();
// A small executable block through which a stdcall callback reaches Method
// with Obj as its first argument: on i386 it pushes Obj in front of the
// stack arguments; on x64 (test builds) it moves the first three register
// arguments up one place.
void* CreateStub(void* Obj, void* Method);
void DisposeStub(void* Stub);

// Platform flag and library cache of this unit.
extern gcl::TUnit LvCommonUtilitiesUnit;

} // namespace qelvo
