// Small routines the whole toolbar framework shares: caption and
// accelerator text, vertical captions, lists, message pumping, WM_PRINT,
// monitors, drag outlines, button tracking and system settings.
#include "toolbar/BarCommon.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <numeric>
#include <vector>

#include "gcl/Controls.h"
#include "gcl/rtl/Libraries.h"
#include "gcl/rtl/Registry.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"

namespace qelvo {

using gcl::TPoint;
using gcl::TRect;
using gcl::TSize;

namespace {

// Byte length of the character at index i (2 for a lead byte followed by
// its trail byte).
size_t CharLen(const std::string& s, size_t i) {
    return (gcl::IsLeadByte(s[i]) && i + 1 < s.size()) ? 2 : 1;
}

// Index of the first byte of the last character of s (s not empty).
size_t LastCharStart(const std::string& s) {
    size_t i = 0, last = 0;
    while (i < s.size()) {
        last = i;
        i += CharLen(s, i);
    }
    return last;
}

// True when the last byte of s is the trail byte of a double-byte character.
bool EndsInTrailByte(const std::string& s) {
    return !s.empty() && LastCharStart(s) != s.size() - 1;
}

int TextExtentWidth(HDC dc, const std::string& s) {
    SIZE size{};
    if (s.empty() || !GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &size)) return 0;
    return size.cx;
}

// The entry points the system may lack, bound once.
gcl::TSystemLibrary ComCtl32Library{"comctl32.dll"};
gcl::TLibraryProc<BOOL(WINAPI*)(LPTRACKMOUSEEVENT)> TrackMouseEventProc{BarUser32Library, "TrackMouseEvent"};
gcl::TLibraryProc<BOOL(WINAPI*)(LPTRACKMOUSEEVENT)> ComCtlTrackMouseEventProc{ComCtl32Library, "_TrackMouseEvent"};
gcl::TLibraryProc<HMONITOR(WINAPI*)(LPCRECT, DWORD)> MonitorFromRectProc{BarUser32Library, "MonitorFromRect"};
gcl::TLibraryProc<HMONITOR(WINAPI*)(POINT, DWORD)> MonitorFromPointProc{BarUser32Library, "MonitorFromPoint"};
gcl::TLibraryProc<BOOL(WINAPI*)(HMONITOR, LPMONITORINFO)> GetMonitorInfoProc{BarUser32Library, "GetMonitorInfoA"};

// The monitor functions, all three or none.
struct TMonitorApi {
    HMONITOR(WINAPI* FromRect)(LPCRECT, DWORD) = nullptr;
    HMONITOR(WINAPI* FromPoint)(POINT, DWORD) = nullptr;
    BOOL(WINAPI* GetInfo)(HMONITOR, LPMONITORINFO) = nullptr;
    bool Complete() const { return FromRect && FromPoint && GetInfo; }
};

TMonitorApi MonitorApi() {
    return TMonitorApi{MonitorFromRectProc.Get(), MonitorFromPointProc.Get(), GetMonitorInfoProc.Get()};
}

TRect MonitorInfoRect(const TMonitorApi& api, HMONITOR monitor, bool workArea) {
    MONITORINFO info{};
    info.cbSize = sizeof info;   // 40 bytes
    if (!monitor || !api.GetInfo(monitor, &info)) return PrimaryMonitorRect(workArea);
    return gcl::FromRECT(workArea ? info.rcWork : info.rcMonitor);
}

void RepostQuit(const MSG& quit) { PostQuitMessage(static_cast<int>(quit.wParam)); }

bool IsNTVersionAtLeast(int major, int minor) {
    gcl::TOSVersionInfo v = gcl::OSVersion->GetVersion();
    if (v.Platform != gcl::PlatformWin32NT) return false;
    return v.MajorVersion > major || (v.MajorVersion == major && v.MinorVersion >= minor);
}

int CALLBACK FontExistsProc(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM data) {
    *reinterpret_cast<bool*>(data) = true;
    return 0;
}

} // namespace

// ---- Captions and accelerators -------------------------------------------------

std::string RemoveAccelMarks(const std::string& S) {
    std::string out;
    out.reserve(S.size());
    for (size_t i = 0; i < S.size();) {
        if (S[i] == '&') {
            if (i + 1 < S.size() && S[i + 1] == '&') out += '&', i += 2;
            else ++i;
            continue;
        }
        size_t n = CharLen(S, i);
        out.append(S, i, n);
        i += n;
    }
    return out;
}

std::string DoubleAmpersands(const std::string& S) {
    std::string out;
    out.reserve(S.size() + 4);
    for (size_t i = 0; i < S.size();) {
        size_t n = CharLen(S, i);
        if (n == 1 && S[i] == '&') out += '&';
        out.append(S, i, n);
        i += n;
    }
    return out;
}

std::string TrimCaptionEnding(const std::string& S) {
    if (S.size() > 1 && S.back() == ':' && !EndsInTrailByte(S)) return S.substr(0, S.size() - 1);
    if (S.size() > 3 && S.compare(S.size() - 3, 3, "...") == 0 && !EndsInTrailByte(S))
        return S.substr(0, S.size() - 3);
    return S;
}

char AcceleratorOf(const std::string& S) {
    char result = '\0';
    for (size_t i = 0; i < S.size();) {
        if (S[i] == '&') {
            if (i + 1 < S.size() && S[i + 1] == '&') {
                i += 2;
                continue;
            }
            if (i + 1 < S.size()) result = S[i + 1];
            ++i;
            continue;
        }
        i += CharLen(S, i);
    }
    return result;
}

int GetTextWidth(HDC DC, const std::string& S, bool Prefix) {
    return TextExtentWidth(DC, Prefix ? RemoveAccelMarks(S) : S);
}

int FontTextHeight(HDC DC) {
    TEXTMETRICA tm{};
    GetTextMetricsA(DC, &tm);
    return tm.tmHeight;
}

int DivAwayFromZero(int X, int Y) {
    int q = X / Y;
    if (X % Y != 0) q += ((X < 0) != (Y < 0)) ? -1 : 1;
    return q;
}

// ---- Vertical captions --------------------------------------------------------------

HFONT CreateRotatedFont(HDC DC) {
    LOGFONTA lf{};
    HGDIOBJ current = GetCurrentObject(DC, OBJ_FONT);
    if (!current || GetObjectA(current, sizeof lf, &lf) != sizeof lf) return nullptr;
    lf.lfEscapement = 2700;
    lf.lfOrientation = 2700;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    if (lstrcmpiA(lf.lfFaceName, "MS Sans Serif") == 0 || lstrcmpiA(lf.lfFaceName, "Microsoft Sans Serif") == 0) {
        std::strcpy(lf.lfFaceName, "Arial");
        TEXTMETRICA tm{};
        GetTextMetricsA(DC, &tm);
        lf.lfHeight = lf.lfHeight > 0 ? tm.tmHeight : tm.tmInternalLeading - tm.tmHeight;
    }
    size_t faceLen = std::strlen(lf.lfFaceName);
    if (faceLen < 31) {
        char vertical[LF_FACESIZE + 1] = "@";
        std::memcpy(vertical + 1, lf.lfFaceName, faceLen + 1);
        bool exists = false;
        EnumFontsA(DC, vertical, FontExistsProc, reinterpret_cast<LPARAM>(&exists));
        if (exists) std::memcpy(lf.lfFaceName, vertical, faceLen + 2);
    }
    return CreateFontIndirectA(&lf);
}

void DrawRotatedText(HDC DC, const std::string& AText, const TRect& ARect, UINT AFormat) {
    if (AText.empty()) return;
    HFONT font = CreateRotatedFont(DC);
    if (!font) return;
    int saved = SaveDC(DC);
    SelectObject(DC, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(DC, &tm);
    int x = ARect.Left + (ARect.Width() - tm.tmHeight) / 2;

    // Without the marks; accel is the 0-based byte index of the accelerator.
    std::string text;
    int accel = -1;
    if (AFormat & DT_NOPREFIX) {
        text = AText;
    } else {
        for (size_t i = 0; i < AText.size();) {
            if (AText[i] == '&') {
                if (i + 1 < AText.size() && AText[i + 1] == '&') {
                    text += '&';
                    i += 2;
                    continue;
                }
                ++i;
                if (i < AText.size()) accel = static_cast<int>(text.size());
                continue;
            }
            size_t n = CharLen(AText, i);
            text.append(AText, i, n);
            i += n;
        }
    }

    int height = ARect.Height();
    if ((AFormat & DT_END_ELLIPSIS) && text.size() > CharLen(text, 0) && TextExtentWidth(DC, text) > height) {
        if (height < 3) {
            text.resize(CharLen(text, 0));
        } else {
            text.resize(LastCharStart(text));
            while (text.size() > CharLen(text, 0) && TextExtentWidth(DC, text + "...") > height)
                text.resize(LastCharStart(text));
        }
        if (accel >= static_cast<int>(text.size())) accel = -1;
        text += "...";
    }

    int width = TextExtentWidth(DC, text);
    int y = (AFormat & DT_CENTER) ? ARect.Top + (height - width) / 2 : ARect.Top;
    if (!(AFormat & DT_NOCLIP)) IntersectClipRect(DC, ARect.Left, ARect.Top, ARect.Right, ARect.Bottom);
    SetTextAlign(DC, TA_BOTTOM);
    TextOutA(DC, x, y, text.c_str(), static_cast<int>(text.size()));

    if (accel >= 0 && !(AFormat & DT_HIDEPREFIX)) {
        int from = TextExtentWidth(DC, text.substr(0, static_cast<size_t>(accel)));
        int to = TextExtentWidth(DC, text.substr(0, static_cast<size_t>(accel) + CharLen(text, size_t(accel))));
        HPEN pen = CreatePen(PS_SOLID, 1, GetTextColor(DC));
        HGDIOBJ oldPen = SelectObject(DC, pen);
        int lineX = x + tm.tmDescent - 2;
        MoveToEx(DC, lineX, y + from, nullptr);
        LineTo(DC, lineX, y + to);
        SelectObject(DC, oldPen);
        DeleteObject(pen);
    }
    RestoreDC(DC, saved);
    DeleteObject(font);
}

// ---- Lists ----------------------------------------------------------------------------

bool ListAddUnique(gcl::TList*& List, void* Item) {
    if (!List) List = new gcl::TList;
    if (List->IndexOf(Item) >= 0) return false;
    List->Add(Item);
    return true;
}

bool ListInsertFirstUnique(gcl::TList*& List, void* Item) {
    if (!List) List = new gcl::TList;
    if (List->IndexOf(Item) >= 0) return false;
    List->Insert(0, Item);
    return true;
}

void ListRemoveAndRelease(gcl::TList*& List, void* Item) {
    if (!List) return;
    List->Remove(Item);
    if (List->GetCount() == 0) {
        delete List;
        List = nullptr;
    }
}

void ListSortEx(gcl::TList* List, TListSortExCompare Compare, void* ExtraData) {
    if (!List || List->GetCount() <= 1) return;
    std::vector<void*> items(static_cast<size_t>(List->GetCount()));
    for (int i = 0; i < List->GetCount(); ++i) items[size_t(i)] = List->GetItem(i);
    std::stable_sort(items.begin(), items.end(),
                     [&](void* a, void* b) { return Compare(a, b, ExtraData) < 0; });
    for (int i = 0; i < List->GetCount(); ++i) List->SetItem(i, items[size_t(i)]);
}

// ---- Messages and windows --------------------------------------------------------------

void ProcessPaintMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            RepostQuit(msg);
            return;
        }
        DispatchMessageA(&msg);
        // A window that leaves its area invalid would be offered again forever.
        if (msg.hwnd && GetUpdateRect(msg.hwnd, nullptr, FALSE)) ValidateRect(msg.hwnd, nullptr);
    }
}

void DiscardMessages(UINT AMin, UINT AMax) {
    MSG msg;
    bool quit = false;
    MSG quitMsg{};
    while (PeekMessageA(&msg, nullptr, AMin, AMax, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            quitMsg = msg;
            break;
        }
    }
    if (quit) RepostQuit(quitMsg);
}

bool HasActiveWindow() { return GetActiveWindow() != nullptr; }

namespace {

// Prints one window (a child or an owned window of Wnd) into dc, at its
// place in Wnd's client coordinates.
void PrintInto(HWND wnd, HWND other, HDC dc, LPARAM flags) {
    RECT r;
    GetWindowRect(other, &r);
    MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&r), 2);
    int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    POINT org;
    OffsetViewportOrgEx(dc, r.left, r.top, &org);
    SendMessageA(other, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags);
    RestoreDC(dc, saved);
}

struct TOwnedPrint {
    HWND Wnd;
    HDC DC;
    LPARAM Flags;
};

BOOL CALLBACK PrintOwnedProc(HWND other, LPARAM data) {
    auto* p = reinterpret_cast<TOwnedPrint*>(data);
    if (other != p->Wnd && GetWindow(other, GW_OWNER) == p->Wnd && IsWindowVisible(other))
        PrintInto(p->Wnd, other, p->DC, p->Flags);
    return TRUE;
}

} // namespace

void HandleWMPrint(HWND Wnd, gcl::TMessage& Message, TNCPaintFunc NCPaintFunc, void* AppData) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    LPARAM flags = static_cast<LPARAM>(Message.LParam);
    Message.Result = 1;
    if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(Wnd)) return;
    int saved = SaveDC(dc);
    if ((flags & PRF_NONCLIENT) && NCPaintFunc) {
        int ncSaved = SaveDC(dc);
        NCPaintFunc(Wnd, dc, AppData);
        RestoreDC(dc, ncSaved);
    }
    RECT window;
    GetWindowRect(Wnd, &window);
    POINT client{0, 0};
    ClientToScreen(Wnd, &client);
    POINT origin{client.x - window.left, client.y - window.top};
    if (flags & PRF_CLIENT) {
        POINT old;
        if (flags & PRF_NONCLIENT) OffsetViewportOrgEx(dc, origin.x, origin.y, &old);
        if (flags & PRF_ERASEBKGND) SendMessageA(Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        SendMessageA(Wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
        if (flags & PRF_CHILDREN) {
            for (HWND child = GetWindow(Wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                if (IsWindowVisible(child))
                    PrintInto(Wnd, child, dc, PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
        }
        if (flags & PRF_OWNED) {
            TOwnedPrint p{Wnd, dc, flags};
            EnumThreadWindows(GetWindowThreadProcessId(Wnd, nullptr), PrintOwnedProc, reinterpret_cast<LPARAM>(&p));
        }
    }
    RestoreDC(dc, saved);
}

bool HandleNCPaintAndPrint(gcl::TWinControl* Control, gcl::TMessage& Message, TNCPaintFunc NCPaintFunc,
                           void* AppData) {
    const HWND wnd = Control->GetHandle();
    switch (Message.Msg) {
    case WM_NCPAINT: {
        HDC dc = GetWindowDC(wnd);
        SelectNCUpdateRgn(wnd, dc, reinterpret_cast<HRGN>(Message.WParam));
        NCPaintFunc(wnd, dc, AppData);
        ReleaseDC(wnd, dc);
        Message.Result = 0;
        return true;
    }
    case WM_PRINT: HandleWMPrint(wnd, Message, NCPaintFunc, AppData); return true;
    case WM_PRINTCLIENT: PaintForPrintClient(Control, Message); return true;
    default: return false;
    }
}

void PaintForPrintClient(gcl::TWinControl* Control, gcl::TMessage& Message) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    int saved = SaveDC(dc);
    try {
        Control->Perform(WM_PAINT, Message.WParam, 0);
    } catch (...) {
        RestoreDC(dc, saved);
        throw;
    }
    RestoreDC(dc, saved);
}

void SelectNCUpdateRgn(HWND Wnd, HDC DC, HRGN Rgn) {
    if (reinterpret_cast<UINT_PTR>(Rgn) <= 1) return;
    RECT r;
    GetWindowRect(Wnd, &r);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (CombineRgn(copy, Rgn, nullptr, RGN_COPY) == ERROR) SetRectRgn(copy, r.left, r.top, r.right, r.bottom);
    OffsetRgn(copy, -r.left, -r.top);
    SelectClipRgn(DC, copy);
    DeleteObject(copy);
}

HRGN MakeEmptyRegion() { return CreateRectRgn(0, 0, 0, 0); }

bool CallTrackMouseEvent(HWND Wnd, DWORD Flags) {
    auto track = TrackMouseEventProc.Get();
    if (!track) track = ComCtlTrackMouseEventProc.Get();
    if (!track) return false;
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof tme;   // 16 bytes
    tme.dwFlags = Flags;
    tme.hwndTrack = Wnd;
    tme.dwHoverTime = 0;
    return track(&tme) != FALSE;
}

bool TrackButtonPress(HWND Wnd, const TRect& ButtonRect, TButtonPressEvent OnPressChange) {
    bool pressed = true;
    bool releasedInside = false;
    SetCapture(Wnd);
    OnPressChange(true);
    MSG msg;
    for (;;) {
        if (GetCapture() != Wnd) break;
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            RepostQuit(msg);
            break;
        }
        bool done = false;
        switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP: {
            TPoint p{static_cast<int16_t>(LOWORD(msg.lParam)), static_cast<int16_t>(HIWORD(msg.lParam))};
            if (msg.hwnd != Wnd) {
                POINT sp{p.X, p.Y};
                MapWindowPoints(msg.hwnd, Wnd, &sp, 1);
                p = {sp.x, sp.y};
            }
            bool inside = gcl::PtInRect(ButtonRect, p);
            if (msg.message == WM_LBUTTONUP) {
                releasedInside = inside;
                done = true;
            } else if (inside != pressed) {
                pressed = inside;
                OnPressChange(pressed);
            }
            break;
        }
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE) done = true;
            break;
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_KEYUP:
        case WM_CHAR:
            break;   // swallowed while the button is held
        default:
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            break;
        }
        if (done) break;
    }
    if (GetCapture() == Wnd) ReleaseCapture();
    if (pressed) OnPressChange(false);
    return releasedInside;
}

// ---- Screen geometry ------------------------------------------------------------------

bool HasSeveralMonitors() { return GetSystemMetrics(SM_CMONITORS) > 1; }

TRect PrimaryMonitorRect(bool WorkArea) {
    RECT r;
    if (WorkArea && SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) return gcl::FromRECT(r);
    return TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

TRect MonitorRectOfRect(const TRect& R, bool WorkArea) {
    if (HasSeveralMonitors()) {
        TMonitorApi api = MonitorApi();
        if (api.Complete()) {
            RECT r = gcl::ToRECT(R);
            return MonitorInfoRect(api, api.FromRect(&r, MONITOR_DEFAULTTONEAREST), WorkArea);
        }
    }
    return PrimaryMonitorRect(WorkArea);
}

TRect MonitorRectOfPoint(TPoint P, bool WorkArea) {
    if (HasSeveralMonitors()) {
        TMonitorApi api = MonitorApi();
        if (api.Complete())
            return MonitorInfoRect(api, api.FromPoint(POINT{P.X, P.Y}, MONITOR_DEFAULTTONEAREST), WorkArea);
    }
    return PrimaryMonitorRect(WorkArea);
}

// ---- Drag outlines --------------------------------------------------------------------

HBRUSH MakeHalftoneBrush() {
    WORD pattern[8];
    for (int i = 0; i < 8; ++i) pattern[i] = (i % 2 == 0) ? 0x5555 : 0xAAAA;
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, pattern);
    HBRUSH brush = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);
    return brush;
}

namespace {

HRGN FrameRegion(const TRect* r, TSize size) {
    if (!r) return CreateRectRgn(0, 0, 0, 0);
    HRGN outer = CreateRectRgn(r->Left, r->Top, r->Right, r->Bottom);
    TRect in{r->Left + size.cx, r->Top + size.cy, r->Right - size.cx, r->Bottom - size.cy};
    if (!gcl::IsRectEmpty(in)) {
        HRGN inner = CreateRectRgn(in.Left, in.Top, in.Right, in.Bottom);
        CombineRgn(outer, outer, inner, RGN_DIFF);
        DeleteObject(inner);
    }
    return outer;
}

// Inverts exactly the pixels of rgn with brush: the region is the clip
// while PatBlt covers its bounding box.
void InvertRegion(HDC dc, HRGN rgn, HBRUSH brush) {
    RECT box;
    if (GetRgnBox(rgn, &box) == NULLREGION) return;
    int saved = SaveDC(dc);
    ExtSelectClipRgn(dc, rgn, RGN_AND);
    RECT clip;
    if (GetClipBox(dc, &clip) != NULLREGION) {
        SelectObject(dc, brush);
        PatBlt(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, PATINVERT);
    }
    RestoreDC(dc, saved);
}

} // namespace

void InvertFrameChange(HDC DC, const TRect* NewRect, const TRect* OldRect, HBRUSH NewBrush, HBRUSH OldBrush,
                       TSize NewSize, TSize OldSize) {
    HRGN newRgn = FrameRegion(NewRect, NewSize);
    HRGN oldRgn = OldRect ? FrameRegion(OldRect, OldSize) : nullptr;
    if (NewBrush == OldBrush) {
        if (oldRgn) CombineRgn(newRgn, newRgn, oldRgn, RGN_XOR);
        InvertRegion(DC, newRgn, NewBrush);
    } else {
        if (oldRgn) InvertRegion(DC, oldRgn, OldBrush);
        InvertRegion(DC, newRgn, NewBrush);
    }
    DeleteObject(newRgn);
    if (oldRgn) DeleteObject(oldRgn);
}

void DrawHalftoneInvertRect(HDC DC, const TRect* NewRect, const TRect* OldRect, TSize NewSize, TSize OldSize) {
    HBRUSH brush = MakeHalftoneBrush();
    InvertFrameChange(DC, NewRect, OldRect, brush, brush, NewSize, OldSize);
    DeleteObject(brush);
}

// ---- System settings ----------------------------------------------------------------

int ReadMenuShowDelayFromRegistry() {
    gcl::TRegDataType type = gcl::TRegDataType::Unknown;
    std::string data;
    if (!gcl::RegistryStore->GetValue(gcl::TRegRootKey::CurrentUser, "Control Panel\\Desktop", "MenuShowDelay", type,
                                      data))
        return 400;
    if (type != gcl::TRegDataType::String || data.empty() || data.size() >= 32) return 0;
    size_t i = 0;
    bool negative = false;
    if (data[0] == '-' || data[0] == '+') negative = data[i++] == '-';
    if (i >= data.size()) return 0;
    long long value = 0;
    for (; i < data.size(); ++i) {
        if (data[i] < '0' || data[i] > '9') return 0;
        value = value * 10 + (data[i] - '0');
        if (value > 0x7FFFFFFF) return 0;
    }
    return negative ? 0 : static_cast<int>(value);
}

int MenuShowDelay() {
    if (gcl::Win32MajorVersion < 4) return 400;
    INT delay = 0;
    if (SystemParametersInfoA(SPI_GETMENUSHOWDELAY, 0, &delay, 0)) return delay < 0 ? 0 : delay;
    static std::atomic<int> cached{-1};
    int value = cached.load(std::memory_order_acquire);
    if (value < 0) {
        value = ReadMenuShowDelayFromRegistry();
        cached.store(value, std::memory_order_release);
    }
    return value;
}

bool AreKeyboardCuesEnabled() {
    if (gcl::Win32MajorVersion < 5) return true;
    // Every caption a toolbar paints or measures asks: the answer is kept
    // until the system announces a change of its settings. Kept as
    // (generation + 1) * 2 + answer, 0 while nothing is kept.
    static std::atomic<unsigned> kept{0};
    const unsigned generation = gcl::SystemSettingsGeneration();
    const unsigned value = kept.load(std::memory_order_acquire);
    if (value != 0 && value / 2 == generation + 1) return (value & 1) != 0;
    BOOL on = FALSE;
    const bool answer = !SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &on, 0) || on != FALSE;
    kept.store((generation + 1) * 2 + (answer ? 1 : 0), std::memory_order_release);
    return answer;
}

bool FlatMenusEnabled() {
    if (!IsWindowsXP()) return false;
    BOOL on = FALSE;
    return SystemParametersInfoA(SPI_GETFLATMENU, 0, &on, 0) && on;
}

bool IsWindowsXP() { return IsNTVersionAtLeast(5, 1); }

bool SoundSchemeHasEvent(const std::string& Alias) {
    if (!IsNTVersionAtLeast(5, 0)) return true;
    gcl::TRegDataType type = gcl::TRegDataType::Unknown;
    std::string data;
    if (!gcl::RegistryStore->GetValue(gcl::TRegRootKey::CurrentUser,
                                      "AppEvents\\Schemes\\Apps\\.Default\\" + Alias + "\\.Current", "", type, data))
        return false;
    while (!data.empty() && data.back() == '\0') data.pop_back();
    return !data.empty();
}

UINT KeyboardLayoutCodePage() {
    HKL layout = GetKeyboardLayout(0);
    LCID locale = MAKELCID(LOWORD(reinterpret_cast<UINT_PTR>(layout)), SORT_DEFAULT);
    char text[16] = {};
    if (!GetLocaleInfoA(locale, LOCALE_IDEFAULTANSICODEPAGE, text, sizeof text)) return 0;
    UINT value = 0;
    if (!text[0]) return 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return 0;
        value = value * 10 + UINT(*p - '0');
        if (value > 0xFFFF) return 0;
    }
    return IsValidCodePage(value) ? value : 0;
}

gcl::TSystemLibrary BarUser32Library{"user32.dll"};

} // namespace qelvo
