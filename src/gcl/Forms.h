// Forms, the application object, the screen, hints and the exception
// firewall.
//
// The exception firewall
// ----------------------
// No C++ exception may leave a function that Windows calls: this
// toolchain cannot unwind through system frames, so an escaping exception
// ends the process. Every window procedure, hook, timer, enumeration and
// thread callback wraps its body:
//
//     LRESULT CALLBACK MyProc(HWND h, UINT m, WPARAM w, LPARAM l) {
//         LRESULT result = 0;
//         GCL_GUARD(nullptr, result = Work(h, m, w, l););
//         return result;
//     }
//
// A caught exception goes to Application->HandleException: OnException
// when assigned, else a message box; EAbort is silent. The message loop
// then goes on.
//
// The application window
// ----------------------
// A hidden top-level window, made with the application object, owns every
// top-level form and carries the taskbar button. Its messages pass the
// HookMainWindow hooks first. Minimize and Restore hide and show the forms
// explicitly.
//
// The message loop
// ----------------
// HandleMessage takes one message with PeekMessageA(PM_REMOVE) and runs the
// pre-processing: OnMessage, the hint, key messages (CN_KEYDOWN and friends
// to the control, where shortcuts run before the control sees the key),
// IsDialogMessageA for DialogHandle, then TranslateMessage and
// DispatchMessageA. Loops may nest (ShowModal, ProcessMessages in a
// handler); a nested loop that meets WM_QUIT posts it again and ends.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <memory>
#include <string>
#include <vector>

#include "gcl/Controls.h"
#include "gcl/Graphics.h"
#include "gcl/rtl/Components.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Init.h"

namespace gcl {

class TApplication;
class TCustomForm;
class TScreen;
class THintWindow;
class TMainMenu;

namespace msg {
inline constexpr const char* CannotShowModal = "Cannot make a visible window modal";
inline constexpr const char* UnknownException = "Unknown exception";
} // namespace msg

// The top-level form of a control (or, with topForm false, the nearest
// form up the parent chain); null when there is none.
TCustomForm* GetParentForm(TControl* control, bool topForm = true);
// As GetParentForm, raising EInvalidOperation "Control '%s' has no parent
// window" when there is none.
TCustomForm* ValidParentForm(TControl* control, bool topForm = true);

// ---- Hints ---------------------------------------------------------------------

// The hint window: a borderless pop-up that paints its own one-pixel frame
// inside its client area. ActivateHint(R) puts its top-left corner at R's
// and makes it exactly two pixels wider and taller than R.
class THintWindow : public TCustomControl {
    GCL_CLASS(THintWindow, TCustomControl)
public:
    // The rectangle (at 0, 0) for the hint text, before ActivateHint adds
    // the frame: text extent + (6, 2), wrapped at maxWidth.
    virtual TRect CalcHintRect(int maxWidth, const std::string& hint, void* data);
    virtual void ActivateHint(const TRect& rect, const std::string& hint);
    virtual void ActivateHintData(const TRect& rect, const std::string& hint, void* data);
    // True for the messages that end a hint (keys, clicks, leaving).
    virtual bool IsHintMsg(const MSG& msg);
    // Hides the window by destroying it.
    void ReleaseHandle();

    using TControl::GetCaption;
    using TControl::SetCaption;

protected:
    explicit THintWindow(TComponent* owner);

    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    void Dispatch(TMessage& message) override;
    // True while ActivateHint runs.
    bool GetActivating() const noexcept { return FActivating; }

private:
    bool FActivating = false;
};

// The hint window class the application uses unless CM_HINTSHOW names
// another.
extern THintWindowClass HintWindowClass;

// ---- Forms ----------------------------------------------------------------------

GCL_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
         poDesktopCenter, poMainFormCenter, poOwnerFormCenter)
GCL_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
GCL_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
using TBorderIcons = TSet<TBorderIcon>;
GCL_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
GCL_ENUM(TFormStateItem, fsCreating, fsVisible, fsShowing, fsModal, fsActivated)
using TFormState = TSet<TFormStateItem>;

using TShortCutEvent = TEvent<void(TWMKey& Msg, bool& Handled)>;

// A form. Forms built in code create their controls in their constructor;
// OnCreate runs after that (in AfterConstruction), OnDestroy runs while the
// controls still exist.
class TCustomForm : public TWinControl, public IFormHost {
    GCL_CLASS(TCustomForm, TWinControl)
public:
    using TControl::GetCaption;
    using TControl::SetCaption;

    void Show();
    void Hide() { SetVisible(false); }
    // Asks OnCloseQuery, then OnClose decides: caNone keeps the form, caHide
    // hides it, caFree releases it, caMinimize minimises it. Closing the
    // main form terminates the application.
    void Close();
    virtual bool CloseQuery();
    // Shows the form modally: the other windows of the thread are disabled
    // until ModalResult becomes non-zero (or the application terminates);
    // returns ModalResult.
    virtual int ShowModal();
    TModalResult GetModalResult() const noexcept { return FModalResult; }
    void SetModalResult(TModalResult value) noexcept { FModalResult = value; }
    // Frees the form once the messages pending now are handled.
    void Release();

    // ---- Focus
    TWinControl* GetActiveControl() const noexcept { return FActiveControl; }
    void SetActiveControl(TWinControl* control);
    void FocusControl(TWinControl* control) override;
    // Called on WM_SETFOCUS of a control: records it as the active control
    // (of the form and of the screen), then CM_EXIT up the old control's
    // chain, CM_ENTER down the new one's, then CM_FOCUSCHANGED. False when a
    // handler moved the focus elsewhere meanwhile.
    bool SetFocusedControl(TWinControl* control) override;
    // Takes the focus away from control (and, removing, from its children).
    void DefocusControl(TWinControl* control, bool removing) override;
    void SetFocus() override;
    bool GetActive() const noexcept { return FActive; }
    bool CanFocus() override;

    // ---- Keys
    bool GetKeyPreview() const noexcept override { return FKeyPreview; }
    TWinControl* GetFormControl() noexcept override { return this; }
    void SetKeyPreview(bool value) noexcept { FKeyPreview = value; }
    // The form's shortcut phase: OnShortCut, then its components (popup
    // menus, action lists) through CM_ISSHORTCUT. True when one ran.
    bool IsShortCut(TMessage& message) override;

    // ---- Window
    TFormBorderStyle GetBorderStyle() const noexcept { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle value);
    TBorderIcons GetBorderIcons() const noexcept { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons value);
    TFormStyle GetFormStyle() const noexcept { return FFormStyle; }
    void SetFormStyle(TFormStyle value);
    TPosition GetPosition() const noexcept { return FPosition; }
    void SetPosition(TPosition value);
    TWindowState GetWindowState() const noexcept { return FWindowState; }
    void SetWindowState(TWindowState value);
    // Centres the form on the desktop work area (desktop) or the screen.
    void CenterOnScreen(bool desktop = true);
    TFormState GetFormState() const noexcept { return FFormState; }
    TIcon* GetIcon() const noexcept { return FIcon.get(); }
    void SetIcon(TIcon* value) { FIcon->Assign(value); }
    // The icon the window shows: its own, else the application's.
    HICON ShownIcon() const;
    // The menu bar. The form hands the menu its commands, submenus,
    // owner-drawn items and item hints; a new window shows it again. The
    // members are in Menus.cpp.
    TMainMenu* GetMenu() const noexcept;
    void SetMenu(TMainMenu* value);
    TCanvas* GetCanvas() const noexcept;
    void SetClientSize(int width, int height) override;
    TRect GetClientRect() override;

    // MDI is not supported: these answer "none".
    HWND GetClientHandle() const noexcept { return nullptr; }
    TCustomForm* GetActiveMDIChild() const noexcept { return nullptr; }
    // There is no form designer.
    TObject* GetDesigner() const noexcept { return nullptr; }

    void Dispatch(TMessage& message) override;

    // ---- Events
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TShortCutEvent OnShortCut;

    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;

protected:
    explicit TCustomForm(TComponent* owner);
    // An empty form; descendants built in code use this one too.
    TCustomForm(TComponent* owner, int dummy);
    ~TCustomForm() override;

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    bool IsTopLevelControl() const override { return GetParent() == nullptr; }
    void PaintWindow(HDC dc) override;
    void DestroyWnd() override;

    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    virtual void Activate();
    virtual void Deactivate();
    virtual void Paint();

private:
    friend class TApplication;
    friend class TScreen;

    void CloseModal();
    void SetActive(bool value);
    void SetWindowFocus();
    void ApplyPosition();
    void ShowingChanged(TMessage& message);
    void WMActivate(TMessage& message);
    void WMSysCommand(TMessage& message);
    void WMGetMinMaxInfo(TMessage& message);
    void WMSize(TMessage& message);
    void CMDialogKey(TMessage& message);
    // The menu's part of WM_COMMAND, WM_INITMENUPOPUP, WM_MENUSELECT,
    // WM_MEASUREITEM and WM_DRAWITEM; true when the menu took the message.
    bool MenuMessage(TMessage& message);
    // Puts the menu bar on the form's window, or takes it off before the
    // window goes (a window destroys the menu it shows).
    void ShowMenuBar(bool show);

    TComponentRef<TMainMenu> FMenu;
    TComponentRef<TWinControl> FActiveControl;
    TComponentRef<TWinControl> FFocusedControl;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    TFormState FFormState;
    TModalResult FModalResult = mrNone;
    bool FActive = false;
    bool FKeyPreview = false;
    bool FPositioned = false;
    int FPendingClientWidth = -1;
    int FPendingClientHeight = -1;
    std::unique_ptr<TIcon> FIcon;
    std::unique_ptr<TControlCanvas> FCanvas;
};

class TForm : public TCustomForm {
    GCL_CLASS(TForm, TCustomForm)
protected:
    explicit TForm(TComponent* owner) : TCustomForm(owner) {}
    TForm(TComponent* owner, int dummy) : TCustomForm(owner, dummy) {}
};

// ---- Screen ------------------------------------------------------------------------

// The display, the forms, the focus and the cursors.
class TScreen : public TComponent, public IScreenHost {
    GCL_CLASS(TScreen, TComponent)
public:
    // The display's sizes and places are read from the system once and
    // kept until the system announces a change of its settings, its
    // display or its DPI (SystemSettingsGeneration): under Wine each such
    // question is several trips to the window server. Each value is read
    // when first asked for.
    // The primary monitor's size.
    int GetWidth() const;
    int GetHeight() const;
    // The whole desktop (all monitors) and the part of the primary monitor
    // not covered by task bars.
    TRect GetDesktopRect() const;
    TRect GetWorkAreaRect() const;
    // The work area of the monitor nearest to rect: the one it overlaps
    // most, else the closest one (the primary one's work area when the
    // system names no monitor).
    TRect GetWorkAreaNear(const TRect& rect) const;
    int GetPixelsPerInch() const noexcept { return FPixelsPerInch; }
    // Bits per pixel of the display (BITSPIXEL x PLANES).
    int GetColorDepth() const;

    // The control and form that have the focus (the new ones already while
    // the old control's OnExit runs).
    TWinControl* GetActiveControl() const noexcept { return FActiveControl; }
    TCustomForm* GetActiveForm() const noexcept { return FActiveForm; }
    int GetFormCount() const noexcept { return static_cast<int>(FForms.size()); }
    TCustomForm* GetForms(int index) const;

    TFont* GetHintFont() const noexcept { return FHintFont.get(); }
    TFont* GetIconFont() const noexcept override { return FIconFont.get(); }
    TFont* GetMenuFont() const noexcept { return FMenuFont.get(); }
    // The installed font faces (vertical "@" faces included), sorted.
    const std::vector<std::string>& GetFonts();

    // A cursor forced over every control; crDefault forces none.
    TCursor GetCursor() const noexcept override { return FCursor; }
    void SetCursor(TCursor value);
    // The cursor of a number: built-in numbers are negative (crArrow, ...),
    // the program adds its own. An unknown number gives the arrow.
    HCURSOR GetCursors(TCursor index) const override;
    void SetCursors(TCursor index, HCURSOR handle);
    // The cursor of a number is the resource name of the module, loaded
    // when first asked for (the system cursor fallback when the module has
    // none; with no fallback the number then answers as unknown).
    void SetCursorResource(TCursor index, HINSTANCE module, const char* name, LPCSTR fallback = nullptr);
    // The cursor of a number is another number's, taken when first asked
    // for (a built-in one is loaded only then).
    void SetCursorAlias(TCursor index, TCursor source);

    TNotifyEvent OnActiveControlChange;
    TNotifyEvent OnActiveFormChange;

protected:
    explicit TScreen(TComponent* owner);
    ~TScreen() override;

private:
    friend class TCustomForm;
    friend class TApplication;
    friend class TWinControl;

    void AddForm(TCustomForm* form);
    void RemoveForm(TCustomForm* form) noexcept;
    void SetActiveControlValue(TWinControl* control);
    void SetActiveFormValue(TCustomForm* form);
    void ForgetControl(TWinControl* control) noexcept override;
    void LoadSystemFonts();

    std::vector<TCustomForm*> FForms;
    TWinControl* FActiveControl = nullptr;
    TCustomForm* FActiveForm = nullptr;
    std::unique_ptr<TFont> FHintFont;
    std::unique_ptr<TFont> FIconFont;
    std::unique_ptr<TFont> FMenuFont;
    std::vector<std::string> FFonts;
    // The program's cursors and the built-in ones loaded so far.
    mutable std::vector<std::pair<TCursor, HCURSOR>> FCursors;
    // Cursors named by SetCursorResource and not asked for yet.
    struct TCursorResource {
        TCursor Index;
        HINSTANCE Module;
        std::string Name;
        LPCSTR Fallback;
        bool Alias = false;   // the cursor of Source instead of a resource
        TCursor Source = 0;
    };
    mutable std::vector<TCursorResource> FCursorResources;
    // What the display answered, with the settings generation it was read
    // in; a value is read again in a later generation.
    struct TMonitorArea {
        TRect Bounds;
        TRect WorkArea;
    };
    struct TDisplayValues {
        unsigned Generation = 0;
        int Width = -1;
        int Height = -1;
        bool HasDesktop = false;
        bool HasWorkArea = false;
        bool HasMonitors = false;
        TRect Desktop;
        TRect WorkArea;
        std::vector<TMonitorArea> Monitors;
    };
    // The values of the current generation (those of an older one dropped).
    TDisplayValues& Display() const;
    mutable TDisplayValues FDisplay;
    TCursor FCursor = crDefault;
    int FPixelsPerInch = 96;
};

// ---- Application -------------------------------------------------------------------

using TMessageEvent = TEvent<void(MSG& Msg, bool& Handled)>;
using TExceptionEvent = TEvent<void(TObject* Sender, Exception& E)>;
using TIdleEvent = TEvent<void(TObject* Sender, bool& Done)>;
using TShowHintEvent = TEvent<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;
// A hook on the application window: true means the message is handled.
using TWindowHook = TEvent<bool(TMessage& Message)>;

class TApplication : public TComponent, public IApplicationHost {
    GCL_CLASS(TApplication, TComponent)
public:
    void Initialize() {}
    // Shows the main form (unless ShowMainForm is off) and runs the message
    // loop until the application terminates.
    void Run();
    // Handles all pending messages and returns.
    void ProcessMessages();
    // Handles one message, or idles (and waits) when there is none.
    void HandleMessage();
    // The cursor position and the window under it (WindowFromPoint); false
    // when the position is not to be had. An idle pass (the hint check, the
    // action updates) asks the system once and shares the answer: under
    // Wine each ask is several trips to the window server.
    bool CursorAndWindow(POINT& cursor, HWND& window);
    // Ends the loop by posting WM_QUIT. It does not end the process.
    void Terminate();
    bool GetTerminated() const noexcept { return FTerminated; }

    // Creates a form owned by the application; the first one becomes the
    // main form.
    TCustomForm* CreateForm(TComponentClass formClass);
    template <class T>
    void CreateForm(T*& reference) {
        reference = static_cast<T*>(CreateForm(T::StaticClass()));
    }
    TCustomForm* GetMainForm() const noexcept { return FMainForm; }
    bool GetShowMainForm() const noexcept { return FShowMainForm; }
    void SetShowMainForm(bool value) noexcept { FShowMainForm = value; }

    // The hidden application window (0 only while it cannot be made).
    HWND GetHandle() const noexcept override { return FHandle; }
    const std::string& GetTitle() const noexcept override { return FTitle; }
    void SetTitle(const std::string& value);
    std::string GetExeName() const;
    TIcon* GetIcon() const noexcept { return FIcon.get(); }
    void SetIcon(TIcon* value);
    bool GetActive() const noexcept { return FActive; }
    // A dialog window whose keys go through IsDialogMessageA.
    HWND GetDialogHandle() const noexcept { return FDialogHandle; }
    void SetDialogHandle(HWND value) noexcept { FDialogHandle = value; }

    void Minimize();
    void Restore();
    void BringToFront();
    // Takes the topmost style off the stay-on-top forms (for a message box)
    // and gives it back; the calls nest.
    void NormalizeTopMosts() override;
    void RestoreTopMosts() override;

    // Hooks see every message of the application window first, newest
    // last; a hook may remove itself (or another) while it runs.
    void HookMainWindow(TWindowHook hook);
    void UnhookMainWindow(TWindowHook hook);
    // Loop hooks see every message the loop takes, first of all (before
    // OnMessage, hints, keys and dialog keys); true means handled, and the
    // message goes no further. Hosted controls offer keys to their
    // in-place object this way.
    void HookMessageLoop(TLoopHook hook) override;
    void UnhookMessageLoop(TLoopHook hook) override;

    // ---- Exceptions
    // Handles the exception being handled now (call inside a catch block):
    // OnException when assigned, else ShowException; EAbort is silent.
    void HandleException(TObject* sender) override;
    void ShowException(const Exception& e);

    // ---- Hints
    const std::string& GetHint() const noexcept { return FHint; }
    // A change fires OnHint; without a handler a THintAction carrying the
    // hint is executed (its CM_ACTIONEXECUTE reaches the application window).
    void SetHint(const std::string& value);
    bool GetShowHint() const noexcept { return FShowHint; }
    void SetShowHint(bool value);
    TColor GetHintColor() const noexcept { return FHintColor; }
    void SetHintColor(TColor value) noexcept { FHintColor = value; }
    int GetHintPause() const noexcept { return FHintPause; }
    void SetHintPause(int value) noexcept { FHintPause = value; }
    int GetHintShortPause() const noexcept { return FHintShortPause; }
    void SetHintShortPause(int value) noexcept { FHintShortPause = value; }
    int GetHintHidePause() const noexcept { return FHintHidePause; }
    void SetHintHidePause(int value) noexcept { FHintHidePause = value; }
    bool GetHintShortCuts() const noexcept override { return FHintShortCuts; }
    void SetHintShortCuts(bool value) noexcept { FHintShortCuts = value; }
    // Hides the hint and forgets the hint control.
    void CancelHint();
    // Controls call this for their mouse messages: it starts, moves and
    // ends hints.
    void HintMouseMessage(TControl* control, TMessage& message) override;
    // Shows the hint of the current hint control (or of the control under
    // cursorPos) now.
    void ActivateHint(TPoint cursorPos);
    // The hint window of the last show, or null.
    THintWindow* GetHintWindow() const noexcept { return FHintWindow; }

    // ---- Idle processing and actions
    // InitiateAction on every visible control with csActionClient of every
    // visible form.
    void UpdateActions();
    // Sends CM_ACTIONEXECUTE (or CM_ACTIONUPDATE) for action to the
    // application window; true when something handled it.
    bool ExecuteAction(TObject* action) override;
    bool UpdateAction(TObject* action) override;

    bool HelpCommand(int, intptr_t) { return false; }
    bool HelpContext(int) { return false; }

    // Shows or hides the application window's taskbar button with the
    // visible forms; Showing counts as visible (a form about to show).
    void UpdateVisible(TCustomForm* Showing = nullptr);
    // The application's shortcut phase (OnShortCut), run for CM_APPKEYDOWN.
    bool IsShortCut(TMessage& message);

    virtual void WndProc(TMessage& message);

    TMessageEvent OnMessage;
    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    TNotifyEvent OnHint;
    TShowHintEvent OnShowHint;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    TShortCutEvent OnShortCut;

    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;

protected:
    explicit TApplication(TComponent* owner);
    ~TApplication() override;

private:
    friend class TCustomForm;
    friend LRESULT CALLBACK ApplicationWndProc(HWND, UINT, WPARAM, LPARAM);

    bool ProcessMessage(MSG& msg);
    void Idle(const MSG& msg);
    bool IsKeyMsg(MSG& msg);
    bool SendKeyMsg(MSG& msg);
    bool IsHintMsg(MSG& msg);
    bool IsDlgMsg(MSG& msg);
    void CreateHandle();
    void DestroyHandle() noexcept;
    void StartHintTimer(UINT_PTR id, int milliseconds);
    void StopHintTimers();
    void KillHintTimer(UINT_PTR id);
    void HintTimerExpired(UINT_PTR id);
    void HideHint();
    void DefaultWndProc(TMessage& message);

    HWND FHandle = nullptr;
    TCustomForm* FMainForm = nullptr;
    std::string FTitle;
    std::string FHint;
    std::unique_ptr<TIcon> FIcon;
    HWND FDialogHandle = nullptr;
    // The last key pressed, other than Alt, was taken by the program (a
    // shortcut): the system did not see it, so the release of Alt that
    // follows is no tap of Alt, whatever the system thinks.
    bool FKeyTakenUnderAlt = false;
    bool FTerminated = false;
    bool FShowMainForm = true;
    bool FActive = false;
    bool FShowHint = true;
    bool FHintShortCuts = true;
    bool FHintShowing = false;
    // The hint timers set and not yet killed (bit = timer id): every
    // click and key cancels the hint, and killing a timer that is not set
    // would still ask the window system.
    unsigned FHintTimers = 0;
    bool FHandleCreated = false;
    int FDispatchDepth = 0;
    int FTopMostLevel = 0;
    TColor FHintColor = clInfoBk;
    int FHintPause = 500;
    int FHintShortPause = 50;
    int FHintHidePause = 2500;
    TComponentRef<TControl> FHintControl;
    // The answer of CursorAndWindow for the idle pass under way, once asked.
    bool FInIdlePass = false;
    bool FIdleCursorAsked = false;
    bool FIdleCursorFound = false;
    POINT FIdleCursor{};
    HWND FIdleCursorWindow = nullptr;
    TRect FHintCursorRect;
    THintWindow* FHintWindow = nullptr;
    std::vector<TWindowHook> FWindowHooks;
    std::vector<TLoopHook> FLoopHooks;
    std::vector<TComponentRef<TCustomForm>> FMinimizedForms;
    // Run is showing the main form of a start asked to be minimised: the
    // form waits, hidden, for the application to be restored.
    bool FStartingMinimized = false;
    std::vector<HWND> FTopMostList;
};

// Grows a form laid out in pixels for 96 dots per inch to the screen's:
// its client size and every control's place and size by the screen's dots
// per inch over 96. Fonts stay as they are: sized in points, they follow
// the screen already. Nothing changes on a 96 dots per inch screen.
void ScaleToScreen(TCustomForm* form);
// The same by M over D.
void ScaleForm(TCustomForm* form, int m, int d);
// A control made in pixels for 96 dots per inch (a panel shown over a
// form), grown likewise: its size and everything on it; it keeps its place,
// which whoever shows it chooses.
void ScaleControlToScreen(TWinControl* control);
// The same by M over D.
void ScaleControl(TWinControl* control, int m, int d);

// Valid while FormsUnit is initialised.
extern TApplication* Application;
extern TScreen* Screen;

// The application object, the screen and the form classes. Initialises
// ControlsUnit first.
extern TUnit FormsUnit;

} // namespace gcl
