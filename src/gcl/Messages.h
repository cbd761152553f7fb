// Control message numbers (CM_*, CN_*) and typed views over TMessage.
//
// Every private message number of the GCL lives in this header. The
// compile-time checks at the end make sure that no two share a value,
// that the numbers other code relies on stay where they are, and that
// none lands on a number that code outside the GCL has taken for itself.
//
// CM_* messages (CM_BASE .. CM_BASE + 0xFF) are sent between the GCL's
// controls, forms and the application window. CN_* messages are window
// notifications that a parent reflects back to the child that sent them:
// CN_BASE + the original message number.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <array>
#include <cstdint>

#include "gcl/rtl/Objects.h"
#include "gcl/rtl/Types.h"

namespace gcl {

class TControl;
class TWinControl;
class TFont;
struct THintInfo;
struct TDragRec;

inline constexpr uint32_t CM_BASE = 0xB000;
inline constexpr uint32_t CN_BASE = 0xBC00;

// ---- CM_* ----------------------------------------------------------------
inline constexpr uint32_t CM_ACTIVATE = CM_BASE + 0;
inline constexpr uint32_t CM_DEACTIVATE = CM_BASE + 1;
inline constexpr uint32_t CM_GOTFOCUS = CM_BASE + 2;
inline constexpr uint32_t CM_LOSTFOCUS = CM_BASE + 3;
inline constexpr uint32_t CM_CANCELMODE = CM_BASE + 4;          // LParam = the control that asks
inline constexpr uint32_t CM_DIALOGKEY = CM_BASE + 5;           // TCMDialogKey; non-zero = handled
inline constexpr uint32_t CM_DIALOGCHAR = CM_BASE + 6;          // TCMDialogChar; non-zero = handled
inline constexpr uint32_t CM_FOCUSCHANGED = CM_BASE + 7;        // LParam = the new focused control
inline constexpr uint32_t CM_PARENTFONTCHANGED = CM_BASE + 8;   // WParam != 0: LParam is a TFont*
inline constexpr uint32_t CM_PARENTCOLORCHANGED = CM_BASE + 9;  // WParam 1: LParam colour; 0: parent's
inline constexpr uint32_t CM_HITTEST = CM_BASE + 10;            // LParam = client point; Result != 0 hit
inline constexpr uint32_t CM_VISIBLECHANGED = CM_BASE + 11;     // WParam = new Visible
inline constexpr uint32_t CM_ENABLEDCHANGED = CM_BASE + 12;
inline constexpr uint32_t CM_COLORCHANGED = CM_BASE + 13;
inline constexpr uint32_t CM_FONTCHANGED = CM_BASE + 14;
inline constexpr uint32_t CM_CURSORCHANGED = CM_BASE + 15;
inline constexpr uint32_t CM_CTL3DCHANGED = CM_BASE + 16;
inline constexpr uint32_t CM_PARENTCTL3DCHANGED = CM_BASE + 17;
inline constexpr uint32_t CM_TEXTCHANGED = CM_BASE + 18;
inline constexpr uint32_t CM_MOUSEENTER = CM_BASE + 19;         // LParam = the control (or 0)
inline constexpr uint32_t CM_MOUSELEAVE = CM_BASE + 20;         // LParam = the control (or 0)
inline constexpr uint32_t CM_MENUCHANGED = CM_BASE + 21;
inline constexpr uint32_t CM_APPKEYDOWN = CM_BASE + 22;         // TWMKey; non-zero swallows the key
inline constexpr uint32_t CM_APPSYSCOMMAND = CM_BASE + 23;      // LParam = TMessage* of WM_SYSCOMMAND
inline constexpr uint32_t CM_BUTTONPRESSED = CM_BASE + 24;      // WParam GroupIndex, LParam sender
inline constexpr uint32_t CM_SHOWINGCHANGED = CM_BASE + 25;
inline constexpr uint32_t CM_ENTER = CM_BASE + 26;
inline constexpr uint32_t CM_EXIT = CM_BASE + 27;
inline constexpr uint32_t CM_DESIGNHITTEST = CM_BASE + 28;      // never answered: nothing is designed
inline constexpr uint32_t CM_ICONCHANGED = CM_BASE + 29;
inline constexpr uint32_t CM_WANTSPECIALKEY = CM_BASE + 30;     // TWMKey; non-zero keeps the key
inline constexpr uint32_t CM_RELEASE = CM_BASE + 33;            // posted by TCustomForm::Release
inline constexpr uint32_t CM_SHOWHINTCHANGED = CM_BASE + 34;
inline constexpr uint32_t CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
inline constexpr uint32_t CM_SYSCOLORCHANGE = CM_BASE + 36;
inline constexpr uint32_t CM_WININICHANGE = CM_BASE + 37;
inline constexpr uint32_t CM_FONTCHANGE = CM_BASE + 38;
inline constexpr uint32_t CM_TIMECHANGE = CM_BASE + 39;
inline constexpr uint32_t CM_TABSTOPCHANGED = CM_BASE + 40;
inline constexpr uint32_t CM_CONTROLLISTCHANGE = CM_BASE + 44;  // WParam control, LParam inserting
inline constexpr uint32_t CM_CHILDKEY = CM_BASE + 46;           // WParam key, LParam the control
inline constexpr uint32_t CM_DRAG = CM_BASE + 47;               // WParam TDragMessage, LParam TDragRec*
inline constexpr uint32_t CM_HINTSHOW = CM_BASE + 48;           // LParam THintInfo*; non-zero = no hint
inline constexpr uint32_t CM_DIALOGHANDLE = CM_BASE + 49;
inline constexpr uint32_t CM_RECREATEWND = CM_BASE + 51;        // re-creates the window
inline constexpr uint32_t CM_INVALIDATE = CM_BASE + 52;         // WParam 1: the control is opaque
inline constexpr uint32_t CM_SYSFONTCHANGED = CM_BASE + 53;
inline constexpr uint32_t CM_CONTROLCHANGE = CM_BASE + 54;      // WParam control, LParam inserting
inline constexpr uint32_t CM_CHANGED = CM_BASE + 55;
inline constexpr uint32_t CM_BORDERCHANGED = CM_BASE + 59;
inline constexpr uint32_t CM_BIDIMODECHANGED = CM_BASE + 60;
inline constexpr uint32_t CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
inline constexpr uint32_t CM_ACTIONUPDATE = CM_BASE + 63;       // LParam = the action; non-zero handled
inline constexpr uint32_t CM_ACTIONEXECUTE = CM_BASE + 64;      // LParam = the action; non-zero handled
inline constexpr uint32_t CM_HINTSHOWPAUSE = CM_BASE + 65;      // WParam shown, LParam int* pause
inline constexpr uint32_t CM_MOUSEWHEEL = CM_BASE + 67;         // TCMMouseWheel; non-zero = handled
inline constexpr uint32_t CM_ISSHORTCUT = CM_BASE + 68;         // TWMKey; non-zero = a shortcut ran
inline constexpr uint32_t CM_FITDROPPEDLIST = CM_BASE + 69;     // posted by a combo box after its list dropped

// ---- CN_*: reflected notifications ---------------------------------------
// There is deliberately no CN_SYSKEYUP: CN_BASE + WM_SYSKEYUP (0xBD05) is
// used by other code as a private message and must mean nothing here.
inline constexpr uint32_t CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
inline constexpr uint32_t CN_COMMAND = CN_BASE + WM_COMMAND;
inline constexpr uint32_t CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
inline constexpr uint32_t CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
inline constexpr uint32_t CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
inline constexpr uint32_t CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
inline constexpr uint32_t CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
inline constexpr uint32_t CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
inline constexpr uint32_t CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
inline constexpr uint32_t CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
inline constexpr uint32_t CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
inline constexpr uint32_t CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
inline constexpr uint32_t CN_HSCROLL = CN_BASE + WM_HSCROLL;
inline constexpr uint32_t CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
inline constexpr uint32_t CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
inline constexpr uint32_t CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
inline constexpr uint32_t CN_VSCROLL = CN_BASE + WM_VSCROLL;
inline constexpr uint32_t CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
inline constexpr uint32_t CN_KEYUP = CN_BASE + WM_KEYUP;
inline constexpr uint32_t CN_CHAR = CN_BASE + WM_CHAR;
inline constexpr uint32_t CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
inline constexpr uint32_t CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
inline constexpr uint32_t CN_NOTIFY = CN_BASE + WM_NOTIFY;

// ---- Numbers taken by code outside the GCL ---------------------------------
// The GCL never sends these and gives them no meaning; they reach a
// control's default window procedure untouched.
inline constexpr uint32_t ReservedMessages[] = {
    0xB457,  // CM_BASE + 1111: popup-menu closed notice of the extended menus
    0xB7D0,  // CM_BASE + 2000: interface query of the rich editor
    0xB8AE,  // button-group check of the extended buttons
    0xBD05,  // CN_BASE + WM_SYSKEYUP: panel background invalidation
    0x2261,
    0x0401,  // WM_USER + 1: tray icon callback
    0x04ED, 0x04EE, 0x0538, 0x053A,
    0x0500,
    0x062A,
    0x0955, 0x0956,
    0x80CC, 0x80CD, 0x80CE, 0x8164,
};

// Every CM_/CN_ number of the GCL, for the checks below.
inline constexpr uint32_t GclMessages[] = {
    CM_ACTIVATE, CM_DEACTIVATE, CM_GOTFOCUS, CM_LOSTFOCUS, CM_CANCELMODE, CM_DIALOGKEY,
    CM_DIALOGCHAR, CM_FOCUSCHANGED, CM_PARENTFONTCHANGED, CM_PARENTCOLORCHANGED, CM_HITTEST,
    CM_VISIBLECHANGED, CM_ENABLEDCHANGED, CM_COLORCHANGED, CM_FONTCHANGED, CM_CURSORCHANGED,
    CM_CTL3DCHANGED, CM_PARENTCTL3DCHANGED, CM_TEXTCHANGED, CM_MOUSEENTER, CM_MOUSELEAVE,
    CM_MENUCHANGED, CM_APPKEYDOWN, CM_APPSYSCOMMAND, CM_BUTTONPRESSED, CM_SHOWINGCHANGED, CM_ENTER,
    CM_EXIT, CM_DESIGNHITTEST, CM_ICONCHANGED, CM_WANTSPECIALKEY, CM_RELEASE, CM_SHOWHINTCHANGED,
    CM_PARENTSHOWHINTCHANGED, CM_SYSCOLORCHANGE, CM_WININICHANGE, CM_FONTCHANGE, CM_TIMECHANGE,
    CM_TABSTOPCHANGED, CM_CONTROLLISTCHANGE, CM_CHILDKEY, CM_DRAG, CM_HINTSHOW, CM_DIALOGHANDLE,
    CM_RECREATEWND, CM_INVALIDATE, CM_SYSFONTCHANGED, CM_CONTROLCHANGE, CM_CHANGED,
    CM_BORDERCHANGED, CM_BIDIMODECHANGED, CM_PARENTBIDIMODECHANGED, CM_ACTIONUPDATE,
    CM_ACTIONEXECUTE, CM_HINTSHOWPAUSE, CM_MOUSEWHEEL, CM_ISSHORTCUT,
    CN_CHARTOITEM, CN_COMMAND, CN_COMPAREITEM, CN_CTLCOLORBTN, CN_CTLCOLORDLG, CN_CTLCOLOREDIT,
    CN_CTLCOLORLISTBOX, CN_CTLCOLORMSGBOX, CN_CTLCOLORSCROLLBAR, CN_CTLCOLORSTATIC, CN_DELETEITEM,
    CN_DRAWITEM, CN_HSCROLL, CN_MEASUREITEM, CN_PARENTNOTIFY, CN_VKEYTOITEM, CN_VSCROLL, CN_KEYDOWN,
    CN_KEYUP, CN_CHAR, CN_SYSKEYDOWN, CN_SYSCHAR, CN_NOTIFY,
};

namespace detail {

template <size_t N>
constexpr bool AllDistinct(const uint32_t (&values)[N]) {
    for (size_t i = 0; i < N; ++i)
        for (size_t j = i + 1; j < N; ++j)
            if (values[i] == values[j]) return false;
    return true;
}

template <size_t N, size_t M>
constexpr bool NoneReserved(const uint32_t (&values)[N], const uint32_t (&reserved)[M]) {
    for (size_t i = 0; i < N; ++i)
        for (size_t j = 0; j < M; ++j)
            if (values[i] == reserved[j]) return false;
    return true;
}

template <size_t N>
constexpr bool InMessageRanges(const uint32_t (&values)[N]) {
    for (uint32_t v : values) {
        bool cm = v >= CM_BASE && v <= CM_BASE + 0xFF;
        bool cn = v >= CN_BASE && v <= CN_BASE + 0x3FF;
        if (!cm && !cn) return false;
    }
    return true;
}

} // namespace detail

static_assert(detail::AllDistinct(GclMessages), "two GCL messages share a number");
static_assert(detail::NoneReserved(GclMessages, ReservedMessages),
              "a GCL message uses a number taken by other code");
static_assert(detail::InMessageRanges(GclMessages), "a GCL message lies outside the CM/CN ranges");

// The numbers other code depends on.
static_assert(CM_DIALOGCHAR == 0xB006);
static_assert(CM_COLORCHANGED == 0xB00D);
static_assert(CM_TEXTCHANGED == 0xB012 && CM_TEXTCHANGED == 45074);
static_assert(CM_MOUSELEAVE == 0xB014);
static_assert(CM_APPKEYDOWN == 0xB016);
static_assert(CM_APPSYSCOMMAND == 0xB017);
static_assert(CM_BUTTONPRESSED == 0xB018);
static_assert(CM_SHOWINGCHANGED == 0xB019);
static_assert(CM_HINTSHOW == 0xB030 && CM_HINTSHOW == 45104);
static_assert(CM_CONTROLCHANGE == 0xB036);
static_assert(CM_ACTIONEXECUTE == 0xB040 && CM_ACTIONEXECUTE == 45120);
static_assert(CM_MOUSEWHEEL == 0xB043);
static_assert(CN_KEYDOWN == 0xBD00 && CN_KEYDOWN == 48384);
static_assert(CN_CHAR == 0xBD02 && CN_CHAR == 48386);
static_assert(CN_SYSKEYDOWN == 0xBD04 && CN_SYSKEYDOWN == 48388);
static_assert(CN_SYSCHAR == 0xBD06 && CN_SYSCHAR == 48390);
static_assert(CN_COMMAND == CN_BASE + 0x0111 && CN_NOTIFY == CN_BASE + 0x004E);

// ---- Building and sending messages ---------------------------------------

inline TMessage MakeMessage(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0) noexcept {
    TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    return m;
}

inline int16_t LoSmallInt(uintptr_t v) noexcept { return static_cast<int16_t>(LoWord(v)); }
inline int16_t HiSmallInt(uintptr_t v) noexcept { return static_cast<int16_t>(HiWord(v)); }
inline intptr_t PointToLParam(TPoint p) noexcept {
    return static_cast<intptr_t>(static_cast<uint32_t>(static_cast<uint16_t>(p.X)) |
                                 (static_cast<uint32_t>(static_cast<uint16_t>(p.Y)) << 16));
}
inline TPoint LParamToPoint(intptr_t l) noexcept {
    return {LoSmallInt(static_cast<uintptr_t>(l)), HiSmallInt(static_cast<uintptr_t>(l))};
}

// ---- Typed views -----------------------------------------------------------
// Each holds a reference to the message it reads and writes. TWMKey,
// TWMMouse, TCMControlChange and TCMFocusChanged are in Objects.h.

// WM_PAINT / WM_ERASEBKGND / WM_PRINTCLIENT: WParam is the DC, if any.
class TWMPaint {
public:
    explicit TWMPaint(TMessage& m) noexcept : M(m) {}
    HDC GetDC() const noexcept { return reinterpret_cast<HDC>(M.WParam); }
    TMessage& M;
};
using TWMEraseBkgnd = TWMPaint;
using TWMPrintClient = TWMPaint;

class TWMSize {
public:
    explicit TWMSize(TMessage& m) noexcept : M(m) {}
    uint32_t GetSizeType() const noexcept { return static_cast<uint32_t>(M.WParam); }
    int GetWidth() const noexcept { return LoWord(static_cast<uintptr_t>(M.LParam)); }
    int GetHeight() const noexcept { return HiWord(static_cast<uintptr_t>(M.LParam)); }
    TMessage& M;
};

class TWMMove {
public:
    explicit TWMMove(TMessage& m) noexcept : M(m) {}
    int GetXPos() const noexcept { return LoSmallInt(static_cast<uintptr_t>(M.LParam)); }
    int GetYPos() const noexcept { return HiSmallInt(static_cast<uintptr_t>(M.LParam)); }
    TMessage& M;
};

// WM_COMMAND and CN_COMMAND.
class TWMCommand {
public:
    explicit TWMCommand(TMessage& m) noexcept : M(m) {}
    uint16_t GetItemID() const noexcept { return LoWord(M.WParam); }
    uint16_t GetNotifyCode() const noexcept { return HiWord(M.WParam); }
    HWND GetCtl() const noexcept { return reinterpret_cast<HWND>(M.LParam); }
    TMessage& M;
};

// WM_NOTIFY and CN_NOTIFY.
class TWMNotify {
public:
    explicit TWMNotify(TMessage& m) noexcept : M(m) {}
    uintptr_t GetIDCtrl() const noexcept { return M.WParam; }
    NMHDR* GetNMHdr() const noexcept { return reinterpret_cast<NMHDR*>(M.LParam); }
    TMessage& M;
};

class TWMDrawItem {
public:
    explicit TWMDrawItem(TMessage& m) noexcept : M(m) {}
    uintptr_t GetCtl() const noexcept { return M.WParam; }
    DRAWITEMSTRUCT* GetDrawItemStruct() const noexcept { return reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam); }
    TMessage& M;
};

class TWMMeasureItem {
public:
    explicit TWMMeasureItem(TMessage& m) noexcept : M(m) {}
    uintptr_t GetIDCtl() const noexcept { return M.WParam; }
    MEASUREITEMSTRUCT* GetMeasureItemStruct() const noexcept {
        return reinterpret_cast<MEASUREITEMSTRUCT*>(M.LParam);
    }
    TMessage& M;
};

// WM_CTLCOLOR* and CN_CTLCOLOR*: answer with a brush in Result.
class TWMCtlColor {
public:
    explicit TWMCtlColor(TMessage& m) noexcept : M(m) {}
    HDC GetChildDC() const noexcept { return reinterpret_cast<HDC>(M.WParam); }
    HWND GetChildWnd() const noexcept { return reinterpret_cast<HWND>(M.LParam); }
    TMessage& M;
};

class TWMSetCursor {
public:
    explicit TWMSetCursor(TMessage& m) noexcept : M(m) {}
    HWND GetCursorWnd() const noexcept { return reinterpret_cast<HWND>(M.WParam); }
    int16_t GetHitTest() const noexcept { return LoSmallInt(static_cast<uintptr_t>(M.LParam)); }
    uint16_t GetMouseMsg() const noexcept { return HiWord(static_cast<uintptr_t>(M.LParam)); }
    TMessage& M;
};

// WM_HSCROLL / WM_VSCROLL (and their CN_ forms).
class TWMScroll {
public:
    explicit TWMScroll(TMessage& m) noexcept : M(m) {}
    int GetScrollCode() const noexcept { return LoSmallInt(M.WParam); }
    int GetPos() const noexcept { return LoSmallInt(HiWord(M.WParam)); }
    HWND GetScrollBar() const noexcept { return reinterpret_cast<HWND>(M.LParam); }
    TMessage& M;
};

// WM_MOUSEWHEEL: keys and delta in WParam, the screen point in LParam.
class TWMMouseWheel {
public:
    explicit TWMMouseWheel(TMessage& m) noexcept : M(m) {}
    uint16_t GetKeys() const noexcept { return LoWord(M.WParam); }
    int GetWheelDelta() const noexcept { return HiSmallInt(M.WParam); }
    TPoint GetPos() const noexcept { return LParamToPoint(M.LParam); }
    TMessage& M;
};

// CM_MOUSEWHEEL: shift-state mask in the low word of WParam, the wheel
// delta in its high word, the screen point in LParam; non-zero = handled.
class TCMMouseWheel {
public:
    explicit TCMMouseWheel(TMessage& m) noexcept : M(m) {}
    TShiftState GetShiftState() const noexcept { return TShiftState::FromMask(LoWord(M.WParam)); }
    int GetWheelDelta() const noexcept { return HiSmallInt(M.WParam); }
    TPoint GetPos() const noexcept { return LParamToPoint(M.LParam); }
    static TMessage Make(TShiftState shift, int delta, TPoint screenPos) noexcept {
        return MakeMessage(CM_MOUSEWHEEL,
                           (static_cast<uintptr_t>(static_cast<uint16_t>(delta)) << 16) |
                               static_cast<uint16_t>(shift.Mask()),
                           PointToLParam(screenPos));
    }
    TMessage& M;
};

// WM_CONTEXTMENU: the screen point, or (-1, -1) for a keyboard request.
class TWMContextMenu {
public:
    explicit TWMContextMenu(TMessage& m) noexcept : M(m) {}
    HWND GetWnd() const noexcept { return reinterpret_cast<HWND>(M.WParam); }
    TPoint GetPos() const noexcept { return LParamToPoint(M.LParam); }
    TMessage& M;
};

class TWMWindowPosMsg {
public:
    explicit TWMWindowPosMsg(TMessage& m) noexcept : M(m) {}
    WINDOWPOS* GetWindowPos() const noexcept { return reinterpret_cast<WINDOWPOS*>(M.LParam); }
    TMessage& M;
};

// WM_SETFOCUS / WM_KILLFOCUS: the other window.
class TWMFocus {
public:
    explicit TWMFocus(TMessage& m) noexcept : M(m) {}
    HWND GetFocusedWnd() const noexcept { return reinterpret_cast<HWND>(M.WParam); }
    TMessage& M;
};

// CM_HINTSHOW: LParam points to the hint's description, which the
// control may change; a non-zero Result suppresses the hint.
class TCMHintShow {
public:
    explicit TCMHintShow(TMessage& m) noexcept : M(m) {}
    THintInfo* GetHintInfo() const noexcept { return reinterpret_cast<THintInfo*>(M.LParam); }
    TMessage& M;
};

// CM_HINTSHOWPAUSE: WParam = a hint was showing; LParam = the pause in
// milliseconds, which the control may change.
class TCMHintShowPause {
public:
    explicit TCMHintShowPause(TMessage& m) noexcept : M(m) {}
    bool GetWasShown() const noexcept { return M.WParam != 0; }
    int* GetPause() const noexcept { return reinterpret_cast<int*>(M.LParam); }
    TMessage& M;
};

// CM_CONTROLLISTCHANGE: WParam = the control, LParam = inserting.
class TCMControlListChange {
public:
    explicit TCMControlListChange(TMessage& m) noexcept : M(m) {}
    TControl* GetControl() const noexcept { return reinterpret_cast<TControl*>(M.WParam); }
    bool GetInserting() const noexcept { return M.LParam != 0; }
    TMessage& M;
};

// CM_HITTEST: LParam = a client point; a non-zero Result is a hit.
class TCMHitTest {
public:
    explicit TCMHitTest(TMessage& m) noexcept : M(m) {}
    TPoint GetPos() const noexcept { return LParamToPoint(M.LParam); }
    TMessage& M;
};

// CM_PARENTCOLORCHANGED: WParam 1 = LParam carries the colour, 0 = take
// the parent's.
class TCMParentColorChanged {
public:
    explicit TCMParentColorChanged(TMessage& m) noexcept : M(m) {}
    bool GetHasColor() const noexcept { return M.WParam != 0; }
    int32_t GetColor() const noexcept { return static_cast<int32_t>(M.LParam); }
    TMessage& M;
};

// CM_PARENTFONTCHANGED: a non-zero WParam means LParam carries a TFont*.
class TCMParentFontChanged {
public:
    explicit TCMParentFontChanged(TMessage& m) noexcept : M(m) {}
    TFont* GetFont() const noexcept { return M.WParam ? reinterpret_cast<TFont*>(M.LParam) : nullptr; }
    TMessage& M;
};

// CM_BUTTONPRESSED: WParam = group index, LParam = the pressed control.
class TCMButtonPressed {
public:
    explicit TCMButtonPressed(TMessage& m) noexcept : M(m) {}
    int GetIndex() const noexcept { return static_cast<int>(M.WParam); }
    TControl* GetControl() const noexcept { return reinterpret_cast<TControl*>(M.LParam); }
    TMessage& M;
};

// CM_DRAG: WParam = the drag message kind, LParam = the drag record.
class TCMDrag {
public:
    explicit TCMDrag(TMessage& m) noexcept : M(m) {}
    int GetDragMessage() const noexcept { return static_cast<int>(M.WParam); }
    TDragRec* GetDragRec() const noexcept { return reinterpret_cast<TDragRec*>(M.LParam); }
    TMessage& M;
};

// CM_CANCELMODE / CM_MOUSEENTER / CM_MOUSELEAVE: LParam = the control.
class TCMControlParam {
public:
    explicit TCMControlParam(TMessage& m) noexcept : M(m) {}
    TControl* GetControl() const noexcept { return reinterpret_cast<TControl*>(M.LParam); }
    TMessage& M;
};
using TCMCancelMode = TCMControlParam;
using TCMMouseEnterLeave = TCMControlParam;

} // namespace gcl
