// The window core: controls with and without windows.
//
// TControl       everything on a form: geometry, alignment, visibility,
//                text, font and colour, hints, mouse, message routing.
// TWinControl    a control with a window: creation protocol, window
//                binding, child controls, alignment engine, focus, keys,
//                painting rules, non-client bevels.
// TCustomControl a windowed control with a canvas and Paint.
// TGraphicControl a windowless control painted by its parent.
//
// Messages
// --------
// Perform(Msg, WParam, LParam) builds a TMessage and calls WindowProc, a
// replaceable and comparable TWndMethod that starts as the control's
// virtual WndProc. WndProc does the mouse and key pre-processing and calls
// Dispatch, whose overrides switch on the messages they handle and pass
// the rest to their base class; what no class handles ends in
// DefaultHandler. For a control with a window DefaultHandler calls the
// window class's own procedure (DefWndProc) through CallWindowProcA.
//
// Windows
// -------
// Handles are made on demand (GetHandle, HandleNeeded, showing). CreateWnd
// runs CreateParams, registers the window class (its procedure is
// InitWndProc), then CreateWindowHandle; InitWndProc attaches the control
// to its window during CreateWindowExA (the CreationControl global says
// which control) and installs GclWindowProc, the one procedure of all GCL
// windows, which finds the control through a window property. Every
// message is handled inside the exception firewall. DestroyWnd keeps the
// window's state (text) in the control, so RecreateWnd loses nothing, and
// moving a control to another parent keeps its window.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "gcl/Graphics.h"
#include "gcl/Messages.h"
#include "gcl/rtl/Components.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Sets.h"
#include "gcl/rtl/Types.h"

namespace gcl {

class TControl;
class TWinControl;
class TControlCanvas;
class IFormHost;
// Defined by the units built on the window core (ActnList, Menus, DragDrop).
class TBasicAction;
class TBasicActionLink;
class TControlActionLink;
class TPopupMenu;
class TDragObject;
class TDragControlObject;
struct TDragSession;
// Cancels the drag that runs, if any (the drag loop is in DragDrop.cpp).
void CancelDrag();

// A class reference to an action link class; Create(Client) makes a link.
using TBasicActionLinkMetaClass = TClassOf<TBasicActionLink, TMetaClass, TObject*>;
using TBasicActionLinkClass = const TBasicActionLinkMetaClass*;

namespace msg {
inline constexpr const char* ControlParentSetToSelf = "A control cannot have itself as its parent";
inline constexpr const char* CannotFocus = "Cannot focus a disabled or invisible window";
inline constexpr const char* WindowClassFailed = "Cannot register the window class %s";
inline constexpr const char* UnknownWindowClass = "Window class %s not found";
} // namespace msg

// ---- Vocabulary ------------------------------------------------------------

GCL_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient)
using TAlignSet = TSet<TAlign>;

GCL_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
using TAnchors = TSet<TAnchorKind>;

GCL_ENUM(TControlStyleItem, csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque,
         csSetCaption, csActionClient, csMenuEvents, csNeedsBorderPaint, csParentBackground)
using TControlStyle = TSet<TControlStyleItem>;

GCL_ENUM(TControlStateItem, csLButtonDown, csClicked, csAlignmentNeeded, csFocusing, csCreating,
         csPaintCopy, csCustomPaint, csDestroyingHandle, csRecreating)
using TControlState = TSet<TControlStateItem>;

GCL_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)
GCL_ENUM(TDragMode, dmManual, dmAutomatic)
GCL_ENUM(TDragKind, dkDrag, dkDock)

// Window frames: controls use bsNone and bsSingle, forms all six.
GCL_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
using TBorderStyle = TFormBorderStyle;

GCL_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)
GCL_ENUM(TBevelKind, bkNone, bkTile, bkSoft, bkFlat)
GCL_ENUM(TBevelEdge, beLeft, beTop, beRight, beBottom)
using TBevelEdges = TSet<TBevelEdge>;
using TBevelWidth = int;
using TBorderWidth = int;

// Results of modal forms and message dialogs.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = IDOK;
inline constexpr TModalResult mrCancel = IDCANCEL;
inline constexpr TModalResult mrAbort = IDABORT;
inline constexpr TModalResult mrRetry = IDRETRY;
inline constexpr TModalResult mrIgnore = IDIGNORE;
inline constexpr TModalResult mrYes = IDYES;
inline constexpr TModalResult mrNo = IDNO;
inline constexpr TModalResult mrAll = mrNo + 1;
inline constexpr TModalResult mrNoToAll = mrAll + 1;
inline constexpr TModalResult mrYesToAll = mrNoToAll + 1;

// Cursor numbers for Screen->GetCursors. Non-negative numbers are free for
// the program's own cursors.
using TCursor = int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
inline constexpr TCursor crSize = crSizeAll;

// ---- Shift states --------------------------------------------------------------

// Shift, Ctrl from the keyboard state, Alt from bit 29 of a key message's
// LParam.
TShiftState KeyDataToShiftState(intptr_t keyData);
// The MK_* flags of a mouse message, plus Alt from the keyboard state.
TShiftState KeysToShiftState(uint32_t keys);
// The shift, control, alt and mouse-button state right now.
TShiftState GetShiftState();

// While a key message is handled (offered as a shortcut to the menus,
// action lists and toolbars of a form, previewed by the form, handled by
// the control), Shift and Ctrl are read from the keyboard once for all who
// ask: under Wine every read is a trip to the window server. The message
// loop holds one for each key message it takes from the queue.
// KeyMessageShiftState answers from the innermost scope only for the very
// key message it was made for (key, key data and message time), so a key
// taken from the queue inside a handler (a dialog a shortcut opens) still
// reads the keyboard, or its own scope.
class TKeyMessageScope {
public:
    TKeyMessageScope(uintptr_t key, intptr_t keyData);
    ~TKeyMessageScope();
    TKeyMessageScope(const TKeyMessageScope&) = delete;
    TKeyMessageScope& operator=(const TKeyMessageScope&) = delete;

private:
    friend TShiftState KeyMessageShiftState(uintptr_t key, intptr_t keyData);
    friend bool InKeyMessageScope(uintptr_t key, intptr_t keyData);

    uintptr_t FKey;
    intptr_t FKeyData;
    long FTime;
    TShiftState FModifiers;
    TKeyMessageScope* FOuter;
};

// KeyDataToShiftState for the key message with this WParam and LParam,
// from the innermost TKeyMessageScope made for it when there is one.
TShiftState KeyMessageShiftState(uintptr_t key, intptr_t keyData);
// Whether the innermost TKeyMessageScope was made for this key message.
bool InKeyMessageScope(uintptr_t key, intptr_t keyData);
// Alt with a letter typed in a child window comes back to it as
// WM_SYSCOMMAND SC_KEYMENU from the default handling of WM_SYSCHAR; the
// menu is its top-level window's. For such a command to a child window
// whose top-level window is enabled: sends it on there, puts the answer in
// Result and returns true; otherwise false.
bool SendKeyMenuToRoot(HWND window, uintptr_t wParam, intptr_t lParam, intptr_t& result);

// ---- Window binding (also used by code that wraps GCL windows) ----------------

// Names of the two global atoms under which a GCL window carries its
// control as window properties. They are deterministic: code outside the
// GCL can add atoms with the same names and get the same atoms.
//   WindowAtomName():  "GclWindow" + the process id, 8 upper-case hex digits
//   ControlAtomName(): "GclControl" + the module instance and the thread id,
//                      8 upper-case hex digits each
std::string WindowAtomName();
std::string ControlAtomName();
// The atoms themselves (valid while ControlsUnit is initialised).
ATOM WindowAtom() noexcept;
ATOM ControlAtom() noexcept;

// The count of the system's announcements that its settings, its display
// or its DPI changed (WM_SETTINGCHANGE, WM_DISPLAYCHANGE or WM_DPICHANGED
// reaching the application window), or that fonts were added or taken
// away (WM_FONTCHANGE). A value read from
// the system's parameters may be kept while the count stays the same:
// under Wine every such question is several trips to the window server.
unsigned SystemSettingsGeneration() noexcept;
// Counts one announcement (the application calls it).
void NoteSystemSettingsChange() noexcept;

// The control whose window is being created: set by CreateWnd right before
// CreateWindowHandle, taken (and cleared) by the first message the new
// window receives.
extern TWinControl* CreationControl;

// Ties hwnd to control: both window properties, and a child window without
// an identifier gets its own handle as identifier. The process also keeps
// the binding in a table of its own, from which FindControl and the window
// procedure read it (reading a window property asks the window server).
void AttachControlToWindow(HWND hwnd, TWinControl* control) noexcept;
// Removes the properties and the table's entry again.
void DetachControlFromWindow(HWND hwnd) noexcept;

// The window procedure of every GCL window: finds the control bound to the
// window and calls its MainWndProc. Code that subclasses a GCL window may
// call it with CallWindowProcA/W.
LRESULT CALLBACK GclWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The initial procedure of GCL window classes: attaches CreationControl to
// the new window, installs GclWindowProc and passes the message on.
LRESULT CALLBACK InitWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The GCL control of a window, or null.
TWinControl* FindControl(HWND handle) noexcept;
// True when the window belongs to a GCL control.
bool IsGclWindow(HWND handle) noexcept;
// The nearest GCL control at or above the window.
TWinControl* FindGclWindow(HWND handle) noexcept;
// The control under a screen point, windowless ones included.
TControl* FindDragTarget(TPoint screenPos, bool allowDisabled);
// The same, with the window under the point already known (the answer of
// WindowFromPoint for it).
TControl* FindDragTarget(HWND windowAtPos, TPoint screenPos, bool allowDisabled);
// The form part of the top-level form of a control (or, with topForm
// false, of the nearest form up the parent chain); null when there is
// none. GetParentForm (Forms.h) gives the form itself.
IFormHost* GetParentFormHost(TControl* control, bool topForm = true);
// As GetParentFormHost, raising EInvalidOperation "Control '%s' has no
// parent window" when there is none.
IFormHost* ValidParentFormHost(TControl* control, bool topForm = true);

// The module the GCL registers its window classes for.
HINSTANCE GclInstance() noexcept;
// Whether the window has a frame, scroll bars or other parts outside its
// client area (true when it cannot tell).
bool HasNonClientArea(HWND wnd) noexcept;
// Widens a client rectangle by the scroll bars the window's styles give it
// (the system places them beside the client area, inside any frame): the
// vertical bar on the left with WS_EX_LEFTSCROLLBAR, else on the right,
// the horizontal bar below.
void AddScrollBarsToClientRect(HWND wnd, RECT& client) noexcept;
// The system's arrow cursor, loaded once (the system's shared cursors live
// as long as the process).
HCURSOR ArrowCursor() noexcept;

// Lets go of the DCs that control canvases got outside painting (the
// application does this when it idles).
void FreeDeviceContexts() noexcept;

// The control that has the mouse captured (a windowless control captures
// through its parent's window), or null.
TControl* GetCaptureControl() noexcept;
void SetCaptureControl(TControl* control);

// ---- Size constraints ----------------------------------------------------------

class TSizeConstraints : public TPersistent {
    GCL_CLASS(TSizeConstraints, TPersistent)
public:
    explicit TSizeConstraints(TControl* control) : FControl(control) {}

    void Assign(TPersistent* source) override;
    // 0 means no limit.
    int GetMaxHeight() const noexcept { return FMaxHeight; }
    void SetMaxHeight(int value);
    int GetMaxWidth() const noexcept { return FMaxWidth; }
    void SetMaxWidth(int value);
    int GetMinHeight() const noexcept { return FMinHeight; }
    void SetMinHeight(int value);
    int GetMinWidth() const noexcept { return FMinWidth; }
    void SetMinWidth(int value);
    TControl* GetControl() const noexcept { return FControl; }

    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    TControl* FControl;
    int FMaxHeight = 0;
    int FMaxWidth = 0;
    int FMinHeight = 0;
    int FMinWidth = 0;
};

// ---- The forms unit's part ------------------------------------------------------
//
// The window core and the units below the forms unit (actions, dialogs)
// never include Forms.h. What they need of the
// application object, the screen and a control's form they reach through
// these interfaces: TApplication, TScreen and TCustomForm implement them,
// and FormsUnit installs ApplicationHost and ScreenHost while it is
// initialised (null before and after; the core then does without).

// A hook on the message loop: true means the message is handled.
using TLoopHook = TEvent<bool(MSG& Msg)>;

class IApplicationHost {
public:
    // The application window (null before it exists).
    virtual HWND GetHandle() const noexcept = 0;
    // The exception being handled goes to the application's handler.
    virtual void HandleException(TObject* sender) = 0;
    // Every mouse message of a control passes here first for the hints.
    virtual void HintMouseMessage(TControl* control, TMessage& message) = 0;
    // Actions no list handled (CM_ACTIONEXECUTE / CM_ACTIONUPDATE to the
    // application window); true when something handled them.
    virtual bool ExecuteAction(TObject* action) = 0;
    virtual bool UpdateAction(TObject* action) = 0;
    // Whether hints show the shortcut of the control's action.
    virtual bool GetHintShortCuts() const noexcept = 0;
    // The program's title (message boxes take it as their caption).
    virtual const std::string& GetTitle() const noexcept = 0;
    // Around a system dialog: stay-on-top forms step back, then return.
    virtual void NormalizeTopMosts() = 0;
    virtual void RestoreTopMosts() = 0;
    // Loop hooks see every message the loop takes before anything else
    // (modeless dialogs route their keys this way).
    virtual void HookMessageLoop(TLoopHook hook) = 0;
    virtual void UnhookMessageLoop(TLoopHook hook) = 0;

protected:
    ~IApplicationHost() = default;
};
extern IApplicationHost* ApplicationHost;

class IScreenHost {
public:
    // The font of icon titles (controls with DesktopFont follow it).
    virtual TFont* GetIconFont() const noexcept = 0;
    // The screen's cursor (crDefault: each control shows its own) and the
    // handle of a cursor.
    virtual TCursor GetCursor() const noexcept = 0;
    virtual HCURSOR GetCursors(TCursor index) const = 0;
    // A windowed control is going: the screen drops it from its records.
    virtual void ForgetControl(TWinControl* control) noexcept = 0;

protected:
    ~IScreenHost() = default;
};
extern IScreenHost* ScreenHost;

// A form, as the controls on it see it.
class IFormHost {
public:
    virtual TWinControl* GetFormControl() noexcept = 0;
    virtual void FocusControl(TWinControl* control) = 0;
    virtual void DefocusControl(TWinControl* control, bool removing) = 0;
    // WM_SETFOCUS of a control on the form; false cancels the focus step.
    virtual bool SetFocusedControl(TWinControl* control) = 0;
    virtual bool GetKeyPreview() const noexcept = 0;
    // The form's shortcuts (its menus and action lists).
    virtual bool IsShortCut(TMessage& message) = 0;

protected:
    ~IFormHost() = default;
};

// ---- Exception firewall ------------------------------------------------------

// Hands the exception being handled to ApplicationHost->HandleException
// (or, without an application, drops it). Call only inside a catch block.
void HandleGuardedException(TObject* sender) noexcept;

// Runs the statements; an exception ends them and goes to
// HandleGuardedException.
#define GCL_GUARD(Sender, ...)                                  \
    do {                                                        \
        try {                                                   \
            __VA_ARGS__                                         \
        } catch (...) {                                         \
            ::gcl::HandleGuardedException(Sender);              \
        }                                                       \
    } while (0)

// ---- The seam for wrapping layers ---------------------------------------------------
//
// A layer that wraps the library's controls from outside (the Unicode
// layer keeps wide texts beside the 8-bit ones and gives a control a
// window of its own) needs a few protected members of any control, not
// only of its own descendants. TControlSeam is that seam: TControl and
// TWinControl befriend it, and it passes on exactly these members. Code
// outside the library reaches protected members of controls it does not
// derive through it only (StdCtrls.h has TStdCtrlsSeam for the standard
// controls).
class TControlSeam {
public:
    // TControl::GetText / SetText: the text through the window messages.
    static std::string GetText(TControl* control);
    static void SetText(TControl* control, const std::string& value);
    // TControl::SetHintRaw: stores the hint without any further effect.
    static void SetHintRaw(TControl* control, const std::string& value);
    // TControl::GetActionLink: the control's action link, or null.
    static TControlActionLink* GetActionLink(const TControl* control) noexcept;
    // TWinControl::SetWindowHandle: the stored window handle, set without
    // creating or destroying anything.
    static void SetWindowHandle(TWinControl* control, HWND value) noexcept;
};

// ---- Hints ---------------------------------------------------------------------------

// A class reference to THintWindow (Forms.h) or a descendant.
using THintWindowClass = TComponentClass;

// What CM_HINTSHOW hands the control about to show a hint; the control may
// change any field, and a non-zero result suppresses the hint.
struct THintInfo {
    TControl* HintControl = nullptr;
    THintWindowClass HintWindowClass = nullptr;   // the window class for this show
    TPoint HintPos;                               // screen position of the hint
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect;                             // moving out of it hides the hint
    TPoint CursorPos;                             // in the control's client coordinates
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    std::string HintStr;
    void* HintData = nullptr;
};

// ---- TControl -------------------------------------------------------------------

class TControl : public TComponent {
    GCL_CLASS(TControl, TComponent)
public:
    // ---- Messages
    // Sends a message through WindowProc and returns its Result.
    intptr_t Perform(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);
    TWndMethod GetWindowProc() const noexcept { return FWindowProc; }
    // Replaces the message entry point; code that hooks a control keeps the
    // old value and calls it for the messages it does not want.
    void SetWindowProc(TWndMethod value) noexcept { FWindowProc = value; }
    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    // The first step of every message: pre-processing, then Dispatch.
    virtual void WndProc(TMessage& message);

    // ---- Hierarchy
    TWinControl* GetParent() const noexcept { return FParent; }
    // Moves the control to another parent (null takes it out). Overrides
    // may refuse some parents by raising.
    virtual void SetParent(TWinControl* value);
    bool HasParent() const override { return FParent != nullptr; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* value) override;

    // ---- Geometry (parent client coordinates)
    int GetLeft() const noexcept { return FLeft; }
    void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
    int GetTop() const noexcept { return FTop; }
    void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
    int GetWidth() const noexcept { return FWidth; }
    void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
    int GetHeight() const noexcept { return FHeight; }
    void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
    // Does nothing when the bounds, after the size checks (CanResize,
    // AutoSize, constraints), equal the current ones.
    virtual void SetBounds(int left, int top, int width, int height);
    TRect GetBoundsRect() const noexcept { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    virtual TRect GetClientRect();
    int GetClientWidth() { return GetClientRect().Width(); }
    void SetClientWidth(int value) { SetClientSize(value, GetClientHeight()); }
    int GetClientHeight() { return GetClientRect().Height(); }
    void SetClientHeight(int value) { SetClientSize(GetClientWidth(), value); }
    // The screen position of the client area's top-left corner.
    virtual TPoint GetClientOrigin();
    TPoint ClientToScreen(TPoint point);
    TPoint ScreenToClient(TPoint point);
    // Client point to the client coordinates of parent (default: Parent).
    TPoint ClientToParent(TPoint point, TWinControl* parent = nullptr);
    TPoint ParentToClient(TPoint point, TWinControl* parent = nullptr);

    // ---- Layout
    TAlign GetAlign() const noexcept { return FAlign; }
    void SetAlign(TAlign value);
    TAnchors GetAnchors() const noexcept { return FAnchors; }
    void SetAnchors(TAnchors value);
    TSizeConstraints* GetConstraints() const noexcept { return FConstraints.get(); }
    void SetConstraints(TSizeConstraints* value) { FConstraints->Assign(value); }
    bool GetAutoSize() const noexcept { return FAutoSize; }
    virtual void SetAutoSize(bool value);
    // Scales bounds and font by m / d.
    virtual void ChangeScale(int m, int d);

    // ---- State
    bool GetVisible() const noexcept { return FVisible; }
    void SetVisible(bool value);
    void Show();
    void Hide() { SetVisible(false); }
    bool GetEnabled() const noexcept { return FEnabled; }
    virtual void SetEnabled(bool value);
    // Visible with every parent, up to a shown top-level window.
    virtual bool GetShowing() const noexcept;
    TControlStyle GetControlStyle() const noexcept { return FControlStyle; }
    void SetControlStyle(TControlStyle value) noexcept { FControlStyle = value; }
    TControlState GetControlState() const noexcept { return FControlState; }
    void SetControlState(TControlState value) noexcept { FControlState = value; }

    // ---- Appearance
    TColor GetColor() const noexcept { return FColor; }
    void SetColor(TColor value);
    bool GetParentColor() const noexcept { return FParentColor; }
    void SetParentColor(bool value);
    TFont* GetFont() const noexcept { return FFont.get(); }
    void SetFont(TFont* value) { FFont->Assign(value); }
    bool GetParentFont() const noexcept { return FParentFont; }
    void SetParentFont(bool value);
    // The control uses the desktop (icon title) font.
    bool GetDesktopFont() const noexcept { return FDesktopFont; }
    void SetDesktopFont(bool value);
    TCursor GetCursor() const noexcept { return FCursor; }
    void SetCursor(TCursor value);

    // ---- Text: every read and write goes through WM_GETTEXTLENGTH,
    // WM_GETTEXT and WM_SETTEXT, so hooks on WindowProc see it; every change
    // ends in CM_TEXTCHANGED.
    int GetTextLen();

    // ---- Hints
    const std::string& GetHint() const noexcept { return FHint; }
    virtual void SetHint(const std::string& value);
    bool GetShowHint() const noexcept { return FShowHint; }
    void SetShowHint(bool value);
    bool GetParentShowHint() const noexcept { return FParentShowHint; }
    void SetParentShowHint(bool value);

    // ---- Drag. The drag loop and these members are in DragDrop.cpp.
    // Starts a drag of this control and returns when it has ended: at once,
    // or (not immediate) once the mouse has moved more than threshold
    // pixels with the button down (-1: Mouse->DragThreshold). A second drag
    // while one runs is ignored.
    void BeginDrag(bool immediate, int threshold = -1);
    // Ends this control's drag: with drop as if the button were released
    // at the current point, otherwise cancelled.
    void EndDrag(bool drop);
    // True while this control is the source of a drag.
    bool Dragging() const noexcept;
    // A drop onto this control: OnDragDrop (x, y in client coordinates;
    // source is the source control of a control drag, else the drag object).
    virtual void DragDrop(TObject* source, int x, int y);
    TCursor GetDragCursor() const noexcept { return FDragCursor; }
    void SetDragCursor(TCursor value) noexcept { FDragCursor = value; }
    TDragMode GetDragMode() const noexcept { return FDragMode; }
    virtual void SetDragMode(TDragMode value) { FDragMode = value; }
    TDragKind GetDragKind() const noexcept { return FDragKind; }
    void SetDragKind(TDragKind value) noexcept { FDragKind = value; }

    // ---- Bidirectional text
    TBiDiMode GetBiDiMode() const noexcept { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode value);
    bool GetParentBiDiMode() const noexcept { return FParentBiDiMode; }
    void SetParentBiDiMode(bool value);
    virtual bool UseRightToLeftAlignment() const;
    virtual bool UseRightToLeftReading() const;
    virtual bool UseRightToLeftScrollBar() const;
    // DT_ flags adjusted for the reading order and alignment.
    uint32_t DrawTextBiDiModeFlags(uint32_t flags) const;
    // DT_RTLREADING or 0.
    uint32_t DrawTextBiDiModeFlagsReadingOnly() const;

    // ---- Painting
    virtual void Invalidate();
    void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront() { SetZOrder(true); }
    void SendToBack() { SetZOrder(false); }

    // ---- Mouse
    bool GetMouseCapture() const noexcept;
    void SetMouseCapture(bool value);

    // ---- Action. The control shows the action's caption, enabled state,
    // hint and visibility (ActionChange) and runs it when clicked. The links
    // and these members are in ActnList.cpp. Setting an action makes the
    // link (GetActionLinkClass) and applies the action, keeping values the
    // control already has while either is loading; null frees the link, and
    // so does freeing the action.
    TBasicAction* GetAction() const noexcept;
    void SetAction(TBasicAction* value);
    // Runs the idle update of the control's action.
    virtual void InitiateAction();

    // ---- Popup menu, shown on WM_CONTEXTMENU (members in Menus.cpp).
    // GetPopupMenu is the menu the control shows: the PopupMenu property,
    // unless a control with a menu of its own (a rich edit) overrides it.
    virtual TPopupMenu* GetPopupMenu() const;
    void SetPopupMenu(TPopupMenu* value);

    // ---- Events
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TCanResizeEvent OnCanResize;
    TConstrainedResizeEvent OnConstrainedResize;
    TContextPopupEvent OnContextPopup;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;

    void BeforeDestruction() noexcept override;

protected:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // Stores a property value that changes the look, then repaints;
    // nothing when the value is unchanged.
    template <class T>
    void StoreAndInvalidate(T& field, const std::type_identity_t<T>& value) {
        if (value == field) return;
        field = value;
        Invalidate();
    }

    void Loaded() override;

    // Text, through the window messages (see above). Descendants that
    // publish the text make these accessible as Caption or Text.
    virtual std::string GetText();
    virtual void SetText(const std::string& value);
    std::string GetCaption() { return GetText(); }
    void SetCaption(const std::string& value) { SetText(value); }
    // Stores the hint without any further effect.
    void SetHintRaw(const std::string& value) { FHint = value; }

    // Size rules, consulted by SetBounds.
    virtual bool CanResize(int& newWidth, int& newHeight);
    virtual bool CanAutoSize(int& newWidth, int& newHeight);
    virtual void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight);
    // Re-applies AutoSize and the constraints to the current size.
    virtual void AdjustSize();
    virtual void SetClientSize(int width, int height);
    // Fires OnResize.
    virtual void Resize();
    // Records the distances the anchors keep; called when the bounds are
    // set from outside the alignment engine.
    void UpdateAnchorRules();
    // Asks the parent to re-align its children.
    void RequestAlign();

    virtual void SetZOrder(bool topMost);
    virtual void VisibleChanging() {}

    // ---- Action steps (ActnList.cpp)
    // A freed action leaves the control without one.
    void Notification(TComponent* component, TOperation operation) override;
    TControlActionLink* GetActionLink() const noexcept { return FActionLink; }
    // Copies Caption, Enabled, Hint, Visible and OnExecute (into OnClick)
    // from a TCustomAction sender, and Checked, Down and GroupIndex to
    // controls that publish them. With checkDefaults only the properties
    // that still have their default value are set.
    virtual void ActionChange(TObject* sender, bool checkDefaults);
    // The class of the link SetAction makes: TControlActionLink here,
    // TWinControlActionLink for windowed controls; descendants name theirs.
    virtual TBasicActionLinkClass GetActionLinkClass() const;
    // The link's OnChange: ActionChange(sender, false) for the action.
    void DoActionChange(TObject* sender);

    // ---- Drag steps (DragDrop.cpp)
    // OnStartDrag; the handler may supply a drag object.
    virtual void DoStartDrag(TDragObject*& dragObject);
    // accept starts as "OnDragOver is assigned", then OnDragOver decides.
    virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
    // OnEndDrag; target is null when the drag was cancelled.
    virtual void DoEndDrag(TObject* target, int x, int y);
    // A drag of this control was cancelled (before DoEndDrag).
    virtual void DragCanceled();
    // DragMode dmAutomatic on a left button press:
    // BeginDrag(Mouse->DragImmediate, Mouse->DragThreshold).
    void BeginAutoDrag();
    // For controls that start their own drags under dmAutomatic (a list
    // box selects first, a tree view waits for its window's report): gives
    // a left press straight to Dispatch, so the window core does not start
    // the drag. True when it took the message; WndProc overrides call it.
    bool DispatchOwnDragPress(TMessage& message);
    // The handling of CM_DRAG: dmFindTarget answers the control;
    // dmDragEnter/Move/Leave run DragOver and answer "accepted";
    // dmDragDrop runs DragDrop.
    void DoDragMsg(TMessage& message);

    // Mouse and keys. Click fires OnClick, or executes the action while
    // OnClick is the action's OnExecute (or unassigned); a click the action
    // link itself causes while updating the control runs nothing.
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // The wheel: OnMouseWheel first, then OnMouseWheelDown/Up; true = handled.
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
    virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
    virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
    // OnContextPopup; mousePos in client coordinates.
    virtual void DoContextPopup(TPoint mousePos, bool& handled);

    // Font and colour notifications.
    virtual void FontChanged(TObject* sender);
    void ConstraintsChanged(TObject* sender);

    // The window that draws this control: its own, or the parent's for a
    // windowless control.
    virtual HWND GetDeviceContextWindow();

    // Moves the control to (x, y) without touching the anchor rules.
    void SetAnchoredBounds(int left, int top, int width, int height);

private:
    friend class TWinControl;
    friend class TControlCanvas;
    friend class TDragControlObject;
    friend class TControlSeam;
    friend struct TDragSession;

    bool CheckNewSize(int& newWidth, int& newHeight);
    void DoConstrainedResize(int& newWidth, int& newHeight);
    void InvalidateControl(bool isVisible, bool isOpaque);
    void MouseButtonDown(TMessage& message, TMouseButton button, bool isDouble);
    void MouseButtonUp(TMessage& message, TMouseButton button);
    void WMMouseMove(TMessage& message);
    void WMContextMenu(TMessage& message);
    // The popup-menu step of WM_CONTEXTMENU, after OnContextPopup declined
    // (Menus.cpp): shows PopupMenu when it pops up automatically. The
    // position is in screen coordinates, (-1, -1) for a keyboard request.
    bool ShowPopupMenu(TPoint screenPos);
    // Frees the action link (ActnList.cpp).
    void FreeActionLink() noexcept;
    // CM_HINTSHOW (ActnList.cpp): the action link may change the hint
    // (its shortcut, the action's OnHint) or suppress it.
    void CMHintShow(TMessage& message);
    void CMParentColorChanged(TMessage& message);
    void CMParentFontChanged(TMessage& message);
    void CMParentShowHintChanged(TMessage& message);
    void CMParentBiDiModeChanged(TMessage& message);

    TWinControl* FParent = nullptr;
    TWndMethod FWindowProc;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState FControlState;
    bool FVisible = true;
    bool FEnabled = true;
    bool FAutoSize = false;
    bool FParentFont = true;
    bool FParentColor = true;
    bool FDesktopFont = false;
    bool FShowHint = false;
    bool FParentShowHint = true;
    bool FParentBiDiMode = true;
    bool FAnchorMove = false;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    TRect FAnchorBounds;           // the bounds the anchor rules refer to
    TPoint FAnchorParentSize;      // the parent's client size at that time
    TColor FColor = clWindow;
    TCursor FCursor = crDefault;
    TCursor FDragCursor = crDrag;
    TDragMode FDragMode = dmManual;
    TDragKind FDragKind = dkDrag;
    TBiDiMode FBiDiMode = bdLeftToRight;
    std::string FText;             // the text while there is no window
    std::string FHint;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TSizeConstraints> FConstraints;
    TControlActionLink* FActionLink = nullptr;  // owned; freed by SetAction(nullptr)
    TComponentRef<TPopupMenu> FPopupMenu;
};

// ---- TCreateParams -----------------------------------------------------------

// Everything CreateWindowExA and RegisterClassA need for a control's window.
// CreateParams fills it; descendants change what they need.
struct TCreateParams {
    const char* Caption = nullptr;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSA WindowClass{};
    // The class's small icon; none lets the system make one from the
    // class's icon (its small image from the resource).
    HICON WindowClassSmallIcon = nullptr;
    char WinClassName[64] = {};
};

// ---- TWinControl --------------------------------------------------------------

class TWinControl : public TControl {
    GCL_CLASS(TWinControl, TControl)
public:
    // ---- The window
    // The window, made now when there is none.
    HWND GetHandle();
    bool HandleAllocated() const noexcept { return FHandle != nullptr; }
    void HandleNeeded();
    // A plain window to live in when the control has no parent control.
    HWND GetParentWindow() const noexcept { return FParentWindow; }
    void SetParentWindow(HWND value);
    // Destroys the window (keeping the control's state in the control) and
    // makes a new one when the control shows.
    void RecreateWnd();
    // The window class's own procedure, which DefaultHandler calls.
    WNDPROC GetDefWndProc() const noexcept { return FDefWndProc; }
    void SetDefWndProc(WNDPROC value) noexcept { FDefWndProc = value; }
    // The entry point GclWindowProc calls, inside the exception firewall.
    void MainWndProc(TMessage& message) noexcept;
    void DefaultHandler(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    void WndProc(TMessage& message) override;

    void SetParent(TWinControl* value) override;
    void SetBounds(int left, int top, int width, int height) override;
    TRect GetClientRect() override;
    TPoint GetClientOrigin() override;
    bool GetShowing() const noexcept override { return FShowing; }
    void Invalidate() override;
    void Repaint() override;

    // ---- Children, in z-order (the first is at the bottom)
    int GetControlCount() const noexcept { return static_cast<int>(FControls.size()); }
    TControl* GetControls(int index) const;
    // Adds or removes a child (SetParent does this). The parent gets
    // CM_CONTROLLISTCHANGE before a child joins and after it left, and
    // CM_CONTROLCHANGE after it joined and before it leaves.
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    // Sends the message to every child until one answers non-zero.
    void Broadcast(TMessage& message);
    // Sends the message to every child whose Parent* property asks for it.
    void NotifyControls(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);
    bool ContainsControl(TControl* control) const noexcept;
    // The topmost visible child at a client point (windowless ones; windowed
    // too when allowWinControls).
    TControl* ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls = false);
    TControl* FindChildControl(const std::string& name) const;

    // ---- Alignment
    void DisableAlign() noexcept { ++FAlignLevel; }
    void EnableAlign();
    void Realign();
    // Aligns the children inside rect (the adjusted client rectangle):
    // alTop, alBottom, alLeft, alRight, alClient, each kind in Controls[]
    // order; then the anchored children.
    virtual void AlignControls(TControl* control, TRect& rect);
    // The part of the client area the children may use.
    virtual void AdjustClientRect(TRect& rect);
    virtual void ScrollInView(TControl*) {}

    // ---- Focus
    virtual bool CanFocus();
    bool Focused() const noexcept;
    virtual void SetFocus();
    bool GetTabStop() const noexcept { return FTabStop; }
    void SetTabStop(bool value);
    int GetTabOrder() const noexcept;
    void SetTabOrder(int value);
    // The windowed descendants in tab order, depth first. Containers whose
    // children keyboard navigation must skip override it.
    virtual void GetTabOrderList(std::vector<TWinControl*>& list);
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

    // ---- Painting
    bool GetDoubleBuffered() const noexcept { return FDoubleBuffered; }
    void SetDoubleBuffered(bool value) noexcept { FDoubleBuffered = value; }
    bool GetParentBackground() const noexcept { return FControlStyle.Contains(csParentBackground); }
    void SetParentBackground(bool value);
    // The brush that erases the background (the control's Color).
    TBrush* GetBrush() const noexcept { return FBrush.get(); }
    // ---- Frame (non-client area)
    TBevelEdges GetBevelEdges() const noexcept { return FBevelEdges; }
    void SetBevelEdges(TBevelEdges value);
    TBevelCut GetBevelInner() const noexcept { return FBevelInner; }
    void SetBevelInner(TBevelCut value);
    TBevelCut GetBevelOuter() const noexcept { return FBevelOuter; }
    void SetBevelOuter(TBevelCut value);
    TBevelKind GetBevelKind() const noexcept { return FBevelKind; }
    void SetBevelKind(TBevelKind value);
    TBevelWidth GetBevelWidth() const noexcept { return FBevelWidth; }
    void SetBevelWidth(TBevelWidth value);
    TBorderWidth GetBorderWidth() const noexcept { return FBorderWidth; }
    void SetBorderWidth(TBorderWidth value);
    bool GetCtl3D() const noexcept { return FCtl3D; }
    void SetCtl3D(bool value);
    bool GetParentCtl3D() const noexcept { return FParentCtl3D; }
    void SetParentCtl3D(bool value);

    // Docking is not supported; the properties exist for form files.
    bool GetDockSite() const noexcept { return FDockSite; }
    void SetDockSite(bool value) noexcept { FDockSite = value; }
    bool GetUseDockManager() const noexcept { return FUseDockManager; }
    void SetUseDockManager(bool value) noexcept { FUseDockManager = value; }

    // ---- Events
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    void BeforeDestruction() noexcept override;

protected:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // Stores a property value the window is made with, then makes the
    // window again; nothing when the value is unchanged.
    template <class T>
    void StoreAndRecreateWnd(T& field, const std::type_identity_t<T>& value) {
        if (value == field) return;
        field = value;
        RecreateWnd();
    }

    TBasicActionLinkClass GetActionLinkClass() const override;

    // ---- Creation protocol (each step virtual)
    virtual void CreateParams(TCreateParams& params);
    // Superclassing: takes the window class of a system control ("EDIT",
    // "BUTTON", "SysTreeView32", ...); its procedure becomes DefWndProc.
    void CreateSubClass(TCreateParams& params, const char* controlClassName);
    // CreateParams, class registration, CreateWindowHandle, then the
    // set-up that follows (font, z-order).
    virtual void CreateWnd();
    // CreateWindowExA with the parameters; sets the handle.
    virtual void CreateWindowHandle(const TCreateParams& params);
    // Keeps the window's state (text) in the control, then
    // DestroyWindowHandle.
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    // CreateWnd plus the z-order among the siblings.
    virtual void CreateHandle();
    // Destroys the windows of the children first, then its own.
    virtual void DestroyHandle();
    // The stored window handle, set without creating or destroying
    // anything: for code that detaches a window and attaches it again.
    HWND GetWindowHandle() const noexcept { return FHandle; }
    void SetWindowHandle(HWND value) noexcept { FHandle = value; }

    // ---- Showing
    // Shows or hides the window when Visible or a parent's showing changed.
    void UpdateControlState();
    void UpdateShowing();
    // Whether the control may show without a parent control (forms).
    virtual bool IsTopLevelControl() const { return false; }

    // ---- Keys
    virtual void KeyDown(uint16_t& key, TShiftState shift);
    virtual void KeyUp(uint16_t& key, TShiftState shift);
    virtual void KeyPress(char& key);
    // True when the key was used up (a handler set it to 0).
    virtual bool DoKeyDown(TMessage& message);
    virtual bool DoKeyUp(TMessage& message);
    bool DoKeyEvent(TMessage& message, bool (TWinControl::*step)(TMessage&),
                    void (TWinControl::*handler)(uint16_t&, TShiftState));
    virtual bool DoKeyPress(TMessage& message);
    virtual void DoEnter();
    virtual void DoExit();
    // The control's popup menus and its form's shortcuts, then
    // CM_APPKEYDOWN to the application window; true when the key ran one.
    virtual bool IsMenuKey(TMessage& message);

    // ---- Painting
    // WM_PAINT with a DC in WParam paints into it; without, between
    // BeginPaint and EndPaint.
    void PaintHandler(TMessage& message);
    // Paints the window itself: by default the window class's procedure
    // with WM_PAINT and the DC.
    virtual void PaintWindow(HDC dc);
    // The windowless children, from first (or the bottom one) upwards.
    void PaintControls(HDC dc, TControl* first);
    // Paints the parent's background into dc (ParentBackground).
    void DrawParentBackground(HDC dc);

    // ---- Alignment
    void AlignControl(TControl* control);
    // The window that a new child window must go behind.
    HWND PrecedingWindow(TWinControl* control) const;
    // Whether this control's window already lies right behind after.
    bool IsInZOrderPlace(HWND after) const;

    void SetZOrder(bool topMost) override;
    bool CanAutoSize(int& newWidth, int& newHeight) override;
    void ChangeScale(int m, int d) override;
    HWND GetDeviceContextWindow() override { return GetHandle(); }

    // Reads the window's bounds back into the fields after a move or size.
    void UpdateBounds();
    // Moves focus away from this control and its children.
    void RemoveFocus(bool removing);

    // The edge size of the bevels.
    int BevelEdgeSize() const noexcept;

    // bsSingle gives the window a sunken client edge (Ctl3D) or a thin
    // border; descendants that have a border publish these.
    TBorderStyle GetBorderStyle() const noexcept { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);

private:
    friend class TControl;
    friend class TCustomForm;
    friend class TControlSeam;
    friend LRESULT CALLBACK InitWndProc(HWND, UINT, WPARAM, LPARAM);

    void InsertToLists(TControl* control);
    void RemoveFromLists(TControl* control);
    bool IsControlMouseMsg(TMessage& message);
    void ReflectNotification(TMessage& message, HWND child);
    void WMPaint(TMessage& message);
    void WMEraseBkgnd(TMessage& message);
    void WMPrintClient(TMessage& message);
    void WMNCCalcSize(TMessage& message);
    void WMNCPaint(TMessage& message);
    void WMSetCursor(TMessage& message);
    void WMMouseWheel(TMessage& message);
    void WMKeyDown(TMessage& message);
    void WMKeyUp(TMessage& message);
    void WMChar(TMessage& message);
    void CNKeyDown(TMessage& message);
    void CNChar(TMessage& message);
    void CNSysChar(TMessage& message);
    void WMSysCommand(TMessage& message);
    void CMShowingChanged(TMessage& message);
    void CMVisibleChanged(TMessage& message);
    void CMEnabledChanged(TMessage& message);
    void CMColorChanged(TMessage& message);
    void CMFontChanged(TMessage& message);
    void CMDialogKey(TMessage& message);
    void CMDialogChar(TMessage& message);
    void CMEnter(TMessage& message);
    void CMExit(TMessage& message);
    void CMParentCtl3DChanged(TMessage& message);
    void CMRecreateWnd(TMessage& message);
    void CMInvalidate(TMessage& message);
    void CMSysColorChange(TMessage& message);
    void TrackMouse();
    void UpdateMouseControl(TControl* control);
    void FrameChanged();
    void ApplyParent(TWinControl* newParent);
    void UpdateShowingAs(bool parentShowing);

    HWND FHandle = nullptr;
    HWND FParentWindow = nullptr;
    WNDPROC FDefWndProc = nullptr;
    std::vector<TControl*> FControls;     // all children, z-order
    std::vector<TWinControl*> FTabList;   // windowed children, tab order
    std::unique_ptr<TBrush> FBrush;
    int FAlignLevel = 0;
    bool FShowing = false;
    // The window is being made, or was made, visible for showing, inside a
    // parent window that is still hidden (CreateWnd, CMShowingChanged).
    bool FMadeShowing = false;
    bool FTabStop = false;
    bool FDoubleBuffered = false;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    bool FDockSite = false;
    bool FUseDockManager = false;
    bool FMouseTracking = false;
    bool FMouseInside = false;
    TBevelEdges FBevelEdges{beLeft, beTop, beRight, beBottom};
    TBevelCut FBevelInner = bvRaised;
    TBevelCut FBevelOuter = bvLowered;
    TBevelKind FBevelKind = bkNone;
    TBevelWidth FBevelWidth = 1;
    TBorderWidth FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    TControl* FMouseControl = nullptr;    // windowless child under the mouse
};

// ---- Canvases bound to controls -------------------------------------------------

// A canvas on a control's window (or, for a windowless control, on its
// parent's window clipped to the control). It gets its DC when drawing
// starts and lets it go with FreeHandle, so it survives the window being
// re-created. While a control paints, its canvas wraps the paint DC.
class TControlCanvas : public TCanvas {
    GCL_CLASS(TControlCanvas, TCanvas)
public:
    TControlCanvas() = default;
    ~TControlCanvas() override;

    TControl* GetControl() const noexcept { return FControl; }
    void SetControl(TControl* value);
    // Releases a DC the canvas got itself.
    void FreeHandle() noexcept;

protected:
    void CreateHandle() override;

private:
    TControl* FControl = nullptr;
    HDC FDeviceContext = nullptr;
    HWND FWindowHandle = nullptr;
};

// Lends a paint DC (from WM_PAINT or a double buffer) to a control canvas
// for one scope: the canvas drops any DC of its own, is locked and draws
// on the lent DC, and lets go of it at the end, also when painting raises.
class TCanvasPaintScope {
public:
    TCanvasPaintScope(TControlCanvas& canvas, HDC dc);
    ~TCanvasPaintScope();
    TCanvasPaintScope(const TCanvasPaintScope&) = delete;
    TCanvasPaintScope& operator=(const TCanvasPaintScope&) = delete;

private:
    TControlCanvas& FCanvas;
};

// ---- TCustomControl --------------------------------------------------------------

// A windowed control that paints itself on Canvas in Paint.
class TCustomControl : public TWinControl {
    GCL_CLASS(TCustomControl, TWinControl)
public:
    TCanvas* GetCanvas() const noexcept;

protected:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;

    virtual void Paint() {}
    void PaintWindow(HDC dc) override;
    void DestroyWnd() override;

private:
    std::unique_ptr<TControlCanvas> FCanvas;
};

// ---- TGraphicControl --------------------------------------------------------------

// A control without a window: its parent paints it (in z-order, clipped to
// its bounds) and routes the mouse to it.
class TGraphicControl : public TControl {
    GCL_CLASS(TGraphicControl, TControl)
public:
    TCanvas* GetCanvas() const noexcept;
    void Dispatch(TMessage& message) override;

protected:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;

    virtual void Paint() {}
    // A transparent control leaves its background to its parent (it drops
    // csOpaque); either way it paints again.
    void ApplyTransparent(bool transparent);

private:
    std::unique_ptr<TControlCanvas> FCanvas;
};

// ---- Mouse ---------------------------------------------------------------------------

class TMouse {
public:
    TMouse();
    TPoint GetCursorPos() const;
    void SetCursorPos(TPoint value);
    HWND GetCapture() const { return ::GetCapture(); }
    void SetCapture(HWND value);
    // How far the mouse must move with the button down before a drag starts.
    int GetDragThreshold() const noexcept { return FDragThreshold; }
    void SetDragThreshold(int value) noexcept { FDragThreshold = value; }
    bool GetDragImmediate() const noexcept { return FDragImmediate; }
    void SetDragImmediate(bool value) noexcept { FDragImmediate = value; }
    int GetWheelScrollLines() const;
    bool GetMousePresent() const { return GetSystemMetrics(SM_MOUSEPRESENT) != 0; }

private:
    int FDragThreshold;
    bool FDragImmediate = true;
};

// ---- TControlSeam ----------------------------------------------------------------------

inline std::string TControlSeam::GetText(TControl* control) { return control->GetText(); }
inline void TControlSeam::SetText(TControl* control, const std::string& value) { control->SetText(value); }
inline void TControlSeam::SetHintRaw(TControl* control, const std::string& value) { control->SetHintRaw(value); }
inline TControlActionLink* TControlSeam::GetActionLink(const TControl* control) noexcept {
    return control->GetActionLink();
}
inline void TControlSeam::SetWindowHandle(TWinControl* control, HWND value) noexcept {
    control->SetWindowHandle(value);
}

// Valid while ControlsUnit is initialised.
extern TMouse* Mouse;

// The window-property atoms and the Mouse object.
extern TUnit ControlsUnit;
// Calls InitCommonControlsEx once (the window-95, date and standard
// classes). It stands last in the program's unit table, after every unit
// that may bind visual styles or register classes of its own.
extern TUnit CommonControlsUnit;

} // namespace gcl
