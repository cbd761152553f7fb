#include "gcl/Forms.h"

#include <algorithm>
#include <optional>
#include <cstddef>
#include <exception>

#include "gcl/ActnList.h"
#include "gcl/Dialogs.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"

namespace gcl {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

const char kApplicationClass[] = "TApplication";
// Timers of the application window.
constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;


// The distance from the cursor's hot spot to its bottom edge.
int CursorHeightMargin() {
    int result = GetSystemMetrics(SM_CYCURSOR) * 3 / 4;
    ICONINFO info{};
    if (HCURSOR cursor = GetCursor(); cursor && GetIconInfo(cursor, &info)) {
        BITMAP bm{};
        if (GetObjectA(info.hbmMask, sizeof bm, &bm)) {
            int height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
            result = std::max(height - static_cast<int>(info.yHotspot), 0);
        }
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }
    return result;
}

TControl* GetHintControl(TControl* control) {
    while (control && !control->GetShowHint()) control = control->GetParent();
    return control;
}

struct TDisabledWindows {
    HWND Except = nullptr;
    std::vector<HWND> Windows;
};

BOOL CALLBACK DisableTaskWindow(HWND window, LPARAM data) {
    BOOL result = TRUE;
    GCL_GUARD(nullptr, {
        auto* list = reinterpret_cast<TDisabledWindows*>(data);
        if (window != list->Except && IsWindowVisible(window) && IsWindowEnabled(window)) {
            list->Windows.push_back(window);
            EnableWindow(window, FALSE);
        }
    });
    return result;
}

BOOL CALLBACK AddFontFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) {
    GCL_GUARD(nullptr, {
        auto* faces = reinterpret_cast<std::vector<std::string>*>(data);
        faces->push_back(font->lfFaceName);
    });
    return TRUE;
}

} // namespace

// ---- Exception firewall ------------------------------------------------------------

TCustomForm* GetParentForm(TControl* control, bool topForm) {
    return dynamic_cast<TCustomForm*>(GetParentFormHost(control, topForm));
}

TCustomForm* ValidParentForm(TControl* control, bool topForm) {
    return dynamic_cast<TCustomForm*>(ValidParentFormHost(control, topForm));
}

// ---- THintWindow ------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(THintWindow)

THintWindowClass HintWindowClass = THintWindow::StaticClass();

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
    SetColor(clInfoBk);
    SetParentFont(false);
    if (Screen) GetFont()->Assign(Screen->GetHintFont());
    GetFont()->SetColor(clInfoText);
    SetControlStyle(TControlStyle{csOpaque});
    SetVisible(false);
}

void THintWindow::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    params.Style = WS_POPUP | WS_DISABLED;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    params.WndParent = Application ? Application->GetHandle() : nullptr;
    params.WindowClass.style |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& hint, void*) {
    TCanvas& canvas = MeasureCanvas();
    canvas.SetFont(GetFont());
    canvas.RequiredState(TCanvasState{csHandleValid, csFontValid});
    RECT r{0, 0, std::max(maxWidth, 1), 0};
    DrawTextA(canvas.GetHandle(), hint.c_str(), static_cast<int>(hint.size()), &r,
              DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DrawTextBiDiModeFlagsReadingOnly());
    TRect result = FromRECT(r);
    result.Right += 6;
    result.Bottom += 2;
    return result;
}

void THintWindow::ActivateHint(const TRect& rect, const std::string& hint) {
    TFlagScope activating(FActivating);
    SetCaption(hint);
    int width = rect.Width() + 2;
    int height = rect.Height() + 2;
    int x = rect.Left;
    int y = rect.Top;
    if (Screen) {
        // Kept on the desktop; the size never changes.
        TRect desk = Screen->GetDesktopRect();
        if (x + width > desk.Right) x = desk.Right - width;
        if (x < desk.Left) x = desk.Left;
        if (y + height > desk.Bottom) y = desk.Bottom - height;
        if (y < desk.Top) y = desk.Top;
    }
    SetWindowPos(GetHandle(), HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    UpdateBounds();
    Invalidate();
}

void THintWindow::ActivateHintData(const TRect& rect, const std::string& hint, void*) { ActivateHint(rect, hint); }

bool THintWindow::IsHintMsg(const MSG& msg) {
    UINT m = msg.message;
    return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || m == CM_ACTIVATE || m == CM_DEACTIVATE ||
           m == CM_APPKEYDOWN || m == CM_APPSYSCOMMAND || m == WM_COMMAND ||
           (m > WM_MOUSEMOVE && m <= WM_MOUSELAST) || m == WM_NCMOUSEMOVE;
}

void THintWindow::ReleaseHandle() { DestroyHandle(); }

void THintWindow::Paint() {
    TCanvas* canvas = GetCanvas();
    TRect r = GetClientRect();
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(r);
    canvas->GetBrush()->SetColor(clWindowFrame);
    canvas->FrameRect(r);
    canvas->SetFont(GetFont());
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
    RECT text{r.Left + 4, r.Top + 2, r.Right - 4, r.Bottom - 2};
    std::string caption = GetCaption();
    DrawTextA(canvas->GetHandle(), caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DrawTextBiDiModeFlagsReadingOnly());
}

void THintWindow::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_NCHITTEST:
        message.Result = HTTRANSPARENT;
        return;
    case CM_TEXTCHANGED:
        if (!FActivating && HandleAllocated()) {
            // A new text outside ActivateHint: the window follows its size.
            TRect r = CalcHintRect(Screen ? Screen->GetWidth() : 640, GetCaption(), nullptr);
            SetBounds(GetLeft(), GetTop(), r.Width() + 2, r.Height() + 2);
        }
        return;
    default:
        inherited::Dispatch(message);
        return;
    }
}

// ---- TCustomForm ---------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TCustomForm)

TCustomForm::TCustomForm(TComponent* owner) : TCustomForm(owner, 0) {}

TCustomForm::TCustomForm(TComponent* owner, int)
    : TWinControl(owner), FIcon(std::make_unique<TIcon>()), FCanvas(std::make_unique<TControlCanvas>()) {
    FFormState.Include(fsCreating);
    FCanvas->SetControl(this);
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
    SetVisible(false);
    SetParentFont(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
}

TCustomForm::~TCustomForm() = default;

void TCustomForm::AfterConstruction() {
    inherited::AfterConstruction();
    if (Screen) Screen->AddForm(this);
    DoCreate();
    FFormState.Exclude(fsCreating);
    // A form made visible while it was being built shows now.
    if (GetVisible()) UpdateControlState();
}

void TCustomForm::BeforeDestruction() noexcept {
    Destroying();
    try {
        DoDestroy();
    } catch (...) {
        HandleGuardedException(this);
    }
    if (Application && Application->FMainForm == this) Application->FMainForm = nullptr;
    if (Screen) Screen->RemoveForm(this);
    inherited::BeforeDestruction();
    try {
        if (Application) Application->UpdateVisible();
    } catch (...) {
    }
}

void TCustomForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
    if (OnDestroy) OnDestroy(this);
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& action) {
    if (OnClose) OnClose(this, action);
}

void TCustomForm::Activate() {
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::Paint() {
    if (OnPaint) OnPaint(this);
}

TCanvas* TCustomForm::GetCanvas() const noexcept { return FCanvas.get(); }

// ---- Window

void TCustomForm::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    params.Style &= ~static_cast<DWORD>(WS_CHILD | WS_GROUP | WS_TABSTOP);
    params.WindowClass.style |= CS_DBLCLKS;
    if (GetParent()) {
        params.Style |= WS_CHILD;
    } else {
        params.WndParent = GetParentWindow();
        if (!params.WndParent && Application) params.WndParent = Application->GetHandle();
        if (FFormStyle == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
        if (FPosition == poDefault || FPosition == poDefaultPosOnly) params.X = params.Y = CW_USEDEFAULT;
        if (FPosition == poDefault || FPosition == poDefaultSizeOnly) params.Width = params.Height = CW_USEDEFAULT;
    }
    switch (FBorderStyle) {
    case bsNone:
        if (!GetParent()) params.Style |= WS_POPUP;
        break;
    case bsSingle:
        params.Style |= WS_CAPTION;
        break;
    case bsSizeable:
        params.Style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case bsDialog:
        params.Style |= WS_POPUP | WS_CAPTION;
        params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        params.Style |= WS_CAPTION;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        params.Style |= WS_CAPTION | WS_THICKFRAME;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (GetParent() && FBorderStyle == bsDialog) params.Style &= ~static_cast<DWORD>(WS_POPUP);
    if (FBorderStyle != bsNone && FBorderIcons.Contains(biSystemMenu)) {
        params.Style |= WS_SYSMENU;
        bool boxes = FBorderStyle == bsSingle || FBorderStyle == bsSizeable;
        if (boxes && FBorderIcons.Contains(biMinimize)) params.Style |= WS_MINIMIZEBOX;
        if (boxes && FBorderIcons.Contains(biMaximize)) params.Style |= WS_MAXIMIZEBOX;
        if (FBorderIcons.Contains(biHelp) && (FBorderStyle == bsDialog || !(params.Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))))
            params.ExStyle |= WS_EX_CONTEXTHELP;
    }
    // The window class carries the form's icon, the big one for its small
    // icon too, as a window given the icon draws it in its caption: under
    // Wine each icon given to a window is converted for the display at
    // once, which the class's icon is at the window's creation anyway. A
    // dialog frame shows only an icon given to the window.
    if (!(params.ExStyle & WS_EX_DLGMODALFRAME)) {
        params.WindowClass.hIcon = ShownIcon();
        params.WindowClassSmallIcon = params.WindowClass.hIcon;
    }
}

void TCustomForm::CreateWnd() {
    inherited::CreateWnd();
    if (FPendingClientWidth >= 0 || FPendingClientHeight >= 0) {
        TRect client = TWinControl::GetClientRect();
        int width = FPendingClientWidth >= 0 ? FPendingClientWidth : client.Width();
        int height = FPendingClientHeight >= 0 ? FPendingClientHeight : client.Height();
        FPendingClientWidth = FPendingClientHeight = -1;
        TControl::SetClientSize(width, height);
    }
    // The window is given its icon when it has a dialog frame or when its
    // class, registered by an earlier form, carries another.
    const HWND wnd = GetWindowHandle();
    const HICON icon = ShownIcon();
    if (icon && ((GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME) ||
                 reinterpret_cast<HICON>(GetClassLongPtrA(wnd, GCLP_HICON)) != icon))
        SendMessageA(wnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    if (FMenu.GetComponent()) ShowMenuBar(true);
}

HICON TCustomForm::ShownIcon() const {
    HICON icon = FIcon->GetHandle();
    if (!icon && Application) icon = Application->GetIcon()->GetHandle();
    return icon;
}

void TCustomForm::DestroyWnd() {
    if (FMenu.GetComponent()) ShowMenuBar(false);
    FCanvas->FreeHandle();
    inherited::DestroyWnd();
}

void TCustomForm::PaintWindow(HDC dc) {
    TCanvasPaintScope scope(*FCanvas, dc);
    Paint();
}

void TCustomForm::SetClientSize(int width, int height) {
    if (!HandleAllocated()) {
        FPendingClientWidth = width;
        FPendingClientHeight = height;
        return;
    }
    TControl::SetClientSize(width, height);
}

TRect TCustomForm::GetClientRect() {
    if (!HandleAllocated() && (FPendingClientWidth >= 0 || FPendingClientHeight >= 0))
        return Rect(0, 0, FPendingClientWidth >= 0 ? FPendingClientWidth : GetWidth(),
                    FPendingClientHeight >= 0 ? FPendingClientHeight : GetHeight());
    return inherited::GetClientRect();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) { StoreAndRecreateWnd(FBorderStyle, value); }

void TCustomForm::SetBorderIcons(TBorderIcons value) { StoreAndRecreateWnd(FBorderIcons, value); }

void TCustomForm::SetFormStyle(TFormStyle value) {
    if (value == FFormStyle) return;
    FFormStyle = value;
    if (HandleAllocated() && !GetParent()) {
        SetWindowPos(GetWindowHandle(), value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TCustomForm::SetPosition(TPosition value) {
    if (value == FPosition) return;
    FPosition = value;
    if (GetShowing()) ApplyPosition();
}

void TCustomForm::CenterOnScreen(bool desktop) {
    TRect area = !Screen   ? Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN))
                 : desktop ? Screen->GetWorkAreaRect()
                           : Rect(0, 0, Screen->GetWidth(), Screen->GetHeight());
    SetBounds(area.Left + (area.Width() - GetWidth()) / 2, area.Top + (area.Height() - GetHeight()) / 2, GetWidth(),
              GetHeight());
}

void TCustomForm::ApplyPosition() {
    if (GetParent() || FWindowState != wsNormal) return;
    switch (FPosition) {
    case poScreenCenter:
        CenterOnScreen(false);
        break;
    case poDesktopCenter:
        CenterOnScreen(true);
        break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* center = nullptr;
        if (FPosition == poMainFormCenter && Application) center = Application->GetMainForm();
        if (FPosition == poOwnerFormCenter) center = dynamic_cast<TCustomForm*>(GetOwner());
        if (!center || center == this || !center->HandleAllocated()) {
            CenterOnScreen(false);
            break;
        }
        RECT r;
        GetWindowRect(center->GetWindowHandle(), &r);
        SetBounds(r.left + ((r.right - r.left) - GetWidth()) / 2, r.top + ((r.bottom - r.top) - GetHeight()) / 2,
                  GetWidth(), GetHeight());
        break;
    }
    default:
        break;
    }
}

void TCustomForm::SetWindowState(TWindowState value) {
    if (value == FWindowState) return;
    FWindowState = value;
    if (HandleAllocated() && GetShowing() && !GetParent()) {
        static const int commands[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
        ShowWindow(GetWindowHandle(), commands[value]);
    }
}

// ---- Show and close

void TCustomForm::Show() {
    SetVisible(true);
    BringToFront();
}

void TCustomForm::ShowingChanged(TMessage& message) {
    HWND handle = GetWindowHandle();
    if (GetShowing()) {
        DoShow();
        if (!GetShowing() || !GetWindowHandle()) return;  // a handler hid the form again
        if (GetParent()) {
            TWinControl::Dispatch(message);
            return;
        }
        ApplyPosition();
        if (Application && Application->FStartingMinimized && Application->FMainForm == this) {
            // Started minimised: the window keeps its own state (normal or
            // maximised) and is shown when the application is restored.
            Application->FMinimizedForms.emplace_back(this);
            return;
        }
        // The application window (the forms' owner) shows first: shown
        // after the form, it would move the form above itself again, one
        // more pass through the window manager.
        if (Application) Application->UpdateVisible(this);
        static const int commands[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
        ShowWindow(handle, commands[FWindowState]);
    } else {
        DoHide();
        if (!GetWindowHandle()) return;
        if (GetParent()) {
            TWinControl::Dispatch(message);
            return;
        }
        ShowWindow(handle, SW_HIDE);
        if (Screen && Screen->FActiveForm == this) Screen->SetActiveFormValue(nullptr);
    }
    if (Application) Application->UpdateVisible();
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = FFormStyle == fsMDIChild ? caMinimize : caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application && Application->GetMainForm() == this) {
        Application->Terminate();
    } else if (action == caHide) {
        Hide();
    } else if (action == caMinimize) {
        SetWindowState(wsMinimized);
    } else {
        Release();
    }
}

void TCustomForm::Release() { PostMessageA(GetHandle(), CM_RELEASE, 0, 0); }

void TCustomForm::CloseModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    switch (action) {
    case caNone:
        FModalResult = mrNone;
        break;
    case caFree:
        Release();
        break;
    default:
        break;
    }
}

int TCustomForm::ShowModal() {
    if (GetVisible() || !GetEnabled() || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
        throw EInvalidOperation(msg::CannotShowModal);
    if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    if (Application) Application->CancelHint();
    FFormState.Include(fsModal);
    HWND activeWindow = GetActiveWindow();
    TComponentRef<TWinControl> savedFocus(Screen ? Screen->GetActiveControl() : nullptr);
    TDisabledWindows disabled;
    disabled.Except = HandleAllocated() ? GetWindowHandle() : nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &DisableTaskWindow, reinterpret_cast<LPARAM>(&disabled));

    // Whatever happens, the other windows come back.
    struct TModalScope {
        TCustomForm* Form;
        TDisabledWindows& Disabled;
        ~TModalScope() {
            for (HWND window : Disabled.Windows)
                if (IsWindow(window)) EnableWindow(window, TRUE);
            Form->FFormState.Exclude(fsModal);
        }
    } scope{this, disabled};

    TModalResult result = mrNone;
    Show();
    try {
        SendMessageA(GetHandle(), CM_ACTIVATE, 0, 0);
        FModalResult = mrNone;
        do {
            if (Application)
                Application->HandleMessage();
            else
                FModalResult = mrCancel;
            if (Application && Application->GetTerminated())
                FModalResult = mrCancel;
            else if (FModalResult != mrNone)
                CloseModal();
        } while (FModalResult == mrNone);
        result = FModalResult;
        SendMessageA(GetHandle(), CM_DEACTIVATE, 0, 0);
        if (GetActiveWindow() != GetWindowHandle()) activeWindow = nullptr;
    } catch (...) {
        for (HWND window : disabled.Windows)
            if (IsWindow(window)) EnableWindow(window, TRUE);
        Hide();
        throw;
    }
    // The other windows come back before this one goes, so that the system
    // hands the activation to the window that opened it and not to some
    // other top-level window.
    for (HWND window : disabled.Windows)
        if (IsWindow(window)) EnableWindow(window, TRUE);
    disabled.Windows.clear();
    // A window with a sizing frame is no popup, and hiding it would let
    // the system pass the activation down the z-order: hand it back first.
    if (activeWindow && IsWindow(activeWindow) && GetActiveWindow() == GetWindowHandle())
        SetActiveWindow(activeWindow);
    Hide();
    if (activeWindow && IsWindow(activeWindow)) SetActiveWindow(activeWindow);
    // The control that had the keyboard gets it back, unless its form gave
    // the keyboard to another control while the dialog was up.
    TWinControl* control = savedFocus.Get();
    const TCustomForm* owner = control ? GetParentForm(control) : nullptr;
    if (control && (!owner || owner->GetActiveControl() == control)) {
        try {
            if (control->CanFocus()) control->SetFocus();
        } catch (...) {
        }
    }
    return result;
}

// ---- Focus

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (FActiveControl.Get() == control) return;
    if (control && (control == this || GetParentForm(control) != this || !control->CanFocus()))
        throw EInvalidOperation(msg::CannotFocus);
    FActiveControl = control;
    if (!GetComponentState().Contains(csLoading) && FActive) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* control) {
    bool wasActive = FActive;
    SetActiveControl(control);
    if (!wasActive || !control || !control->Focused()) SetFocus();
}

void TCustomForm::SetWindowFocus() {
    TWinControl* control = FActiveControl.Get();
    HWND focus = control && control->CanFocus() ? control->GetHandle() : GetHandle();
    if (focus) ::SetFocus(focus);
}

void TCustomForm::SetFocus() {
    if (!GetVisible() || !GetEnabled()) throw EInvalidOperation(msg::CannotFocus);
    SetWindowFocus();
}

bool TCustomForm::CanFocus() { return GetVisible() && GetEnabled(); }

bool TCustomForm::SetFocusedControl(TWinControl* control) {
    if (GetComponentState().Contains(csDestroying)) return false;
    TWinControl* previous = FFocusedControl.Get();
    if (control != this) FActiveControl = control;
    FFocusedControl = control;
    if (Screen) {
        Screen->SetActiveControlValue(control);
        Screen->SetActiveFormValue(this);
    }
    if (previous == control) return true;
    // The nearest control that contains both the old and the new one.
    TWinControl* common = nullptr;
    if (previous)
        for (TWinControl* p = control; p; p = p->GetParent())
            if (p->ContainsControl(previous)) {
                common = p;
                break;
            }
    // The old control's chain leaves first, while the new control already
    // counts as focused.
    std::vector<TComponentRef<TWinControl>> leaving;
    for (TWinControl* p = previous; p && p != common; p = p->GetParent()) leaving.emplace_back(p);
    for (auto& ref : leaving) {
        if (TWinControl* p = ref.Get()) p->Perform(CM_EXIT);
        if (FFocusedControl.Get() != control) return false;
    }
    std::vector<TComponentRef<TWinControl>> entering;
    for (TWinControl* p = control; p && p != common; p = p->GetParent()) entering.emplace_back(p);
    for (auto it = entering.rbegin(); it != entering.rend(); ++it) {
        if (TWinControl* p = it->Get()) p->Perform(CM_ENTER);
        if (FFocusedControl.Get() != control) return false;
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(control));
    return true;
}

void TCustomForm::DefocusControl(TWinControl* control, bool removing) {
    if (removing && FFocusedControl.Get() && control->ContainsControl(FFocusedControl.Get()))
        FFocusedControl = control->GetParent();
    if (FActiveControl.Get() && control->ContainsControl(FActiveControl.Get())) {
        FActiveControl = nullptr;
        if (FActive && HandleAllocated() && !GetComponentState().Contains(csDestroying)) SetWindowFocus();
    }
}

void TCustomForm::SetActive(bool value) {
    FActive = value;
    if (value) {
        if (!FActiveControl.Get()) {
            if (TWinControl* first = FindNextControl(nullptr, true, true, false)) FActiveControl = first;
        }
        if (Screen) Screen->SetActiveFormValue(this);
        Perform(CM_ACTIVATE);
    } else {
        Perform(CM_DEACTIVATE);
    }
}

void TCustomForm::WMActivate(TMessage& message) {
    bool active = LoWord(message.WParam) != WA_INACTIVE;
    if (active != FActive) SetActive(active);
    if (active && HiWord(message.WParam) == 0) SetWindowFocus();
    message.Result = 0;
}

// ---- Keys

bool TCustomForm::IsShortCut(TMessage& message) {
    bool handled = false;
    if (OnShortCut) {
        TWMKey key(message);
        OnShortCut(key, handled);
        if (handled) return true;
    }
    // Menus and action lists answer CM_ISSHORTCUT: the form's own menu bar
    // first, then its components. A modifier key pressed on its own is no
    // one's shortcut, and asks none of them.
    {
        TWMKey key(message);
        if (IsModifierKey(key.GetCharCode() & 0xFF)) return false;
    }
    if (TComponent* menu = FMenu.GetComponent()) {
        TMessage m = MakeMessage(CM_ISSHORTCUT, message.WParam, message.LParam);
        menu->Dispatch(m);
        if (m.Result != 0) return true;
    }
    // The components in their order, controls left out (they never answer).
    // A handler may free or move components: each one is asked only while
    // the form still owns it. The list seldom changes meanwhile, so each is
    // looked for after the place of the one before, and the whole list is
    // searched only when it is not there: one pass over the list per key.
    std::vector<TComponent*> components;
    components.reserve(static_cast<size_t>(GetComponentCount()));
    for (int i = 0; i < GetComponentCount(); ++i)
        if (TComponent* c = GetComponents(i); !dynamic_cast<TControl*>(c)) components.push_back(c);
    int at = -1;
    for (TComponent* component : components) {
        const int count = GetComponentCount();
        int found = -1;
        for (int i = at + 1; i < count && found < 0; ++i)
            if (GetComponents(i) == component) found = i;
        for (int i = 0; i <= std::min(at, count - 1) && found < 0; ++i)
            if (GetComponents(i) == component) found = i;
        if (found < 0) continue;
        at = found;
        TMessage m = MakeMessage(CM_ISSHORTCUT, message.WParam, message.LParam);
        component->Dispatch(m);
        if (m.Result != 0) return true;
    }
    return false;
}

void TCustomForm::CMDialogKey(TMessage& message) {
    if (GetKeyState(VK_MENU) >= 0) {
        uint16_t key = LoWord(message.WParam);
        switch (key) {
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(FActiveControl.Get(), GetKeyState(VK_SHIFT) >= 0, true);
                message.Result = 1;
                return;
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (TWinControl* active = FActiveControl.Get()) {
                if (TWinControl* parent = active->GetParent()) {
                    parent->SelectNext(active, key == VK_RIGHT || key == VK_DOWN, false);
                    message.Result = 1;
                }
            }
            return;
        default:
            break;
        }
    }
    inherited::Dispatch(message);
}

// ---- Messages

void TCustomForm::WMSysCommand(TMessage& message) {
    switch (message.WParam & 0xFFF0) {
    case SC_MINIMIZE:
        // The main form's minimise goes through the application window, so
        // its hooks see it.
        if (Application && Application->GetMainForm() == this && Application->GetHandle()) {
            SendMessageA(Application->GetHandle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return;
        }
        break;
    case SC_RESTORE:
        if (Application && Application->GetMainForm() == this && Application->GetHandle() &&
            IsIconic(Application->GetHandle())) {
            Application->Restore();
            return;
        }
        break;
    case SC_KEYMENU:
        // Alt let go after a shortcut such as Alt+D: no tap of Alt, so no
        // menu waits for keys (the system may think otherwise when it did
        // not see the shortcut's key).
        if (message.LParam == 0 && Application && Application->FKeyTakenUnderAlt) {
            message.Result = 0;
            return;
        }
        if (Application && Application->GetHandle() &&
            SendMessageA(Application->GetHandle(), CM_APPSYSCOMMAND, 0, reinterpret_cast<LPARAM>(&message)) != 0)
            return;
        break;
    default:
        break;
    }
    DefaultHandler(message);
}

void TCustomForm::WMGetMinMaxInfo(TMessage& message) {
    DefaultHandler(message);
    auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
    TSizeConstraints* c = GetConstraints();
    if (!info || !c) return;
    if (c->GetMinWidth() > 0) info->ptMinTrackSize.x = c->GetMinWidth();
    if (c->GetMinHeight() > 0) info->ptMinTrackSize.y = c->GetMinHeight();
    if (c->GetMaxWidth() > 0) info->ptMaxTrackSize.x = c->GetMaxWidth();
    if (c->GetMaxHeight() > 0) info->ptMaxTrackSize.y = c->GetMaxHeight();
}

namespace {

// A form going out of sight (hidden, minimised) lets go of a mouse capture
// held by one of its windows: the button may be let go where none of them
// hears it, and the holder would keep its pressed or lit look.
void ReleaseCaptureWithin(HWND form) {
    const HWND capture = GetCapture();
    if (capture && (capture == form || IsChild(form, capture))) ReleaseCapture();
}

} // namespace

void TCustomForm::WMSize(TMessage& message) {
    if (message.WParam == SIZE_MINIMIZED && HandleAllocated()) ReleaseCaptureWithin(GetHandle());
    inherited::Dispatch(message);
    if (GetParent() || !HandleAllocated() || !IsWindowVisible(GetWindowHandle())) return;
    switch (message.WParam) {
    case SIZE_MINIMIZED:
        FWindowState = wsMinimized;
        break;
    case SIZE_MAXIMIZED:
        FWindowState = wsMaximized;
        break;
    case SIZE_RESTORED:
        FWindowState = wsNormal;
        break;
    default:
        break;
    }
}

void TCustomForm::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_COMMAND:
    case WM_INITMENUPOPUP:
    case WM_MENUSELECT:
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
        if (FMenu.GetComponent() && MenuMessage(message)) return;
        break;
    default:
        break;
    }
    switch (message.Msg) {
    case CM_RELEASE:
        Free();
        return;
    case WM_CLOSE:
        Close();
        return;
    case WM_SYSCOMMAND:
        WMSysCommand(message);
        return;
    case WM_ACTIVATE:
        WMActivate(message);
        return;
    case WM_GETMINMAXINFO:
        WMGetMinMaxInfo(message);
        return;
    case WM_SIZE:
        WMSize(message);
        return;
    case WM_SHOWWINDOW:
        if (!message.WParam && HandleAllocated()) ReleaseCaptureWithin(GetHandle());
        inherited::Dispatch(message);
        return;
    case WM_QUERYENDSESSION:
        message.Result = CloseQuery() ? 1 : 0;
        return;
    case CM_SHOWINGCHANGED:
        ShowingChanged(message);
        return;
    case CM_VISIBLECHANGED:
        if (FFormState.Contains(fsCreating)) return;  // shown after OnCreate
        inherited::Dispatch(message);
        return;
    case CM_DIALOGKEY:
        CMDialogKey(message);
        return;
    case CM_ACTIVATE:
        Activate();
        return;
    case CM_DEACTIVATE:
        Deactivate();
        return;
    default:
        inherited::Dispatch(message);
        return;
    }
}

GCL_PUBLISHED(TForm,
    GCL_PROP(Caption),
    GCL_PROP(ClientWidth),
    GCL_PROP(ClientHeight),
    GCL_PROP(Color).Default(clBtnFace).Idents(ColorIdents),
    GCL_PROP(BorderIcons).Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize}),
    GCL_PROP(BorderStyle).Default(bsSizeable),
    GCL_PROP(FormStyle).Default(fsNormal),
    GCL_PROP(KeyPreview).Default(false),
    GCL_PROP(Position).Default(poDesigned),
    GCL_PROP(ShowHint).Default(false),
    GCL_PROP(Visible).Default(false),
    GCL_PROP(WindowState).Default(wsNormal))

// ---- TScreen ---------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TScreen)

TScreen::TScreen(TComponent* owner)
    : TComponent(owner),
      FHintFont(std::make_unique<TFont>()),
      FIconFont(std::make_unique<TFont>()),
      FMenuFont(std::make_unique<TFont>()) {
    HDC dc = GetDC(nullptr);
    if (dc) {
        FPixelsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
    }
    LoadSystemFonts();
    // The built-in cursors load when first asked for (GetCursors).
    FCursors.emplace_back(crNone, nullptr);
}

TScreen::~TScreen() = default;

void TScreen::LoadSystemFonts() {
    NONCLIENTMETRICSA metrics{};
    // The size without the Vista field, which older systems refuse.
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        FHintFont->SetLogFont(metrics.lfStatusFont);
        FMenuFont->SetLogFont(metrics.lfMenuFont);
    }
    LOGFONTA icon{};
    if (SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof icon, &icon, 0)) FIconFont->SetLogFont(icon);
    FHintFont->SetColor(clInfoText);
    FMenuFont->SetColor(clMenuText);
}

TScreen::TDisplayValues& TScreen::Display() const {
    const unsigned generation = SystemSettingsGeneration();
    if (FDisplay.Generation != generation) {
        FDisplay = TDisplayValues{};
        FDisplay.Generation = generation;
    }
    return FDisplay;
}

int TScreen::GetWidth() const {
    TDisplayValues& display = Display();
    if (display.Width < 0) display.Width = GetSystemMetrics(SM_CXSCREEN);
    return display.Width;
}

int TScreen::GetHeight() const {
    TDisplayValues& display = Display();
    if (display.Height < 0) display.Height = GetSystemMetrics(SM_CYSCREEN);
    return display.Height;
}

TRect TScreen::GetDesktopRect() const {
    TDisplayValues& display = Display();
    if (!display.HasDesktop) {
        int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
        int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
        int w = GetSystemMetrics(SM_CXVIRTUALSCREEN);
        int h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
        display.Desktop = w <= 0 || h <= 0 ? Rect(0, 0, GetWidth(), GetHeight()) : Bounds(x, y, w, h);
        display.HasDesktop = true;
    }
    return display.Desktop;
}

TRect TScreen::GetWorkAreaRect() const {
    TDisplayValues& display = Display();
    if (!display.HasWorkArea) {
        RECT r{};
        display.WorkArea =
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0) ? FromRECT(r) : Rect(0, 0, GetWidth(), GetHeight());
        display.HasWorkArea = true;
    }
    return display.WorkArea;
}

namespace {

BOOL CALLBACK AddMonitorArea(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        try {
            reinterpret_cast<std::vector<std::pair<TRect, TRect>>*>(param)->emplace_back(FromRECT(info.rcMonitor),
                                                                                       FromRECT(info.rcWork));
        } catch (...) {
            return FALSE;  // out of memory: the monitors found so far
        }
    }
    return TRUE;
}

// How far apart two rectangles lie (0 when they touch or overlap),
// squared.
long long DistanceSquared(const TRect& a, const TRect& b) {
    const long long dx = std::max<long long>({0, static_cast<long long>(b.Left) - a.Right,
                                              static_cast<long long>(a.Left) - b.Right});
    const long long dy = std::max<long long>({0, static_cast<long long>(b.Top) - a.Bottom,
                                              static_cast<long long>(a.Top) - b.Bottom});
    return dx * dx + dy * dy;
}

long long OverlapArea(const TRect& a, const TRect& b) {
    const long long w = static_cast<long long>(std::min(a.Right, b.Right)) - std::max(a.Left, b.Left);
    const long long h = static_cast<long long>(std::min(a.Bottom, b.Bottom)) - std::max(a.Top, b.Top);
    return w > 0 && h > 0 ? w * h : 0;
}

} // namespace

TRect TScreen::GetWorkAreaNear(const TRect& rect) const {
    TDisplayValues& display = Display();
    if (!display.HasMonitors) {
        std::vector<std::pair<TRect, TRect>> found;
        EnumDisplayMonitors(nullptr, nullptr, &AddMonitorArea, reinterpret_cast<LPARAM>(&found));
        display.Monitors.clear();
        for (const auto& [bounds, work] : found) display.Monitors.push_back(TMonitorArea{bounds, work});
        display.HasMonitors = true;
    }
    const TMonitorArea* best = nullptr;
    long long bestOverlap = 0;
    long long bestDistance = 0;
    for (const TMonitorArea& monitor : display.Monitors) {
        const long long overlap = OverlapArea(rect, monitor.Bounds);
        const long long distance = DistanceSquared(rect, monitor.Bounds);
        if (!best || overlap > bestOverlap || (overlap == 0 && bestOverlap == 0 && distance < bestDistance)) {
            best = &monitor;
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    return best ? best->WorkArea : GetWorkAreaRect();
}

int TScreen::GetColorDepth() const {
    HDC dc = GetDC(nullptr);
    if (!dc) return 0;
    int depth = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    ReleaseDC(nullptr, dc);
    return depth;
}

TCustomForm* TScreen::GetForms(int index) const {
    if (index < 0 || index >= GetFormCount()) throw EListError(Format(msg::ListIndexError, {index}));
    return FForms[static_cast<size_t>(index)];
}

const std::vector<std::string>& TScreen::GetFonts() {
    if (!FFonts.empty()) return FFonts;
    HDC dc = GetDC(nullptr);
    if (!dc) return FFonts;
    LOGFONTA filter{};
    filter.lfCharSet = DEFAULT_CHARSET;
    std::vector<std::string> faces;
    EnumFontFamiliesExA(dc, &filter, reinterpret_cast<FONTENUMPROCA>(&AddFontFace), reinterpret_cast<LPARAM>(&faces),
                        0);
    ReleaseDC(nullptr, dc);
    std::sort(faces.begin(), faces.end(),
              [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    faces.erase(std::unique(faces.begin(), faces.end(),
                            [](const std::string& a, const std::string& b) { return SameText(a, b); }),
                faces.end());
    FFonts = std::move(faces);
    return FFonts;
}

void TScreen::SetCursor(TCursor value) {
    if (value == FCursor) return;
    FCursor = value;
    if (value == crDefault) {
        // The windows under the mouse set their own cursor again.
        POINT p;
        if (GetCursorPos(&p)) SetCursorPos(p.x, p.y);
    } else {
        ::SetCursor(GetCursors(value));
    }
}

namespace {

struct TBuiltInCursor {
    TCursor Id;
    const char* Resource;  // the library's own cursor, or null
    LPCSTR System;         // the system cursor (or fallback)
};

const TBuiltInCursor BuiltInCursors[] = {
    {crDefault, nullptr, IDC_ARROW},     {crArrow, nullptr, IDC_ARROW},
    {crCross, nullptr, IDC_CROSS},       {crIBeam, nullptr, IDC_IBEAM},
    {crSizeNESW, nullptr, IDC_SIZENESW}, {crSizeNS, nullptr, IDC_SIZENS},
    {crSizeNWSE, nullptr, IDC_SIZENWSE}, {crSizeWE, nullptr, IDC_SIZEWE},
    {crUpArrow, nullptr, IDC_UPARROW},   {crHourGlass, nullptr, IDC_WAIT},
    {crDrag, "GCL_DRAG", IDC_ARROW},     {crNoDrop, "GCL_NODROP", IDC_NO},
    {crHSplit, "GCL_HSPLIT", IDC_SIZEWE}, {crVSplit, "GCL_VSPLIT", IDC_SIZENS},
    {crMultiDrag, "GCL_MULTIDRAG", IDC_ARROW}, {crNo, nullptr, IDC_NO},
    {crAppStart, nullptr, IDC_APPSTARTING}, {crHelp, nullptr, IDC_HELP},
    {crHandPoint, nullptr, IDC_HAND},    {crSizeAll, nullptr, IDC_SIZEALL},
};

} // namespace

HCURSOR TScreen::GetCursors(TCursor index) const {
    for (const auto& entry : FCursors)
        if (entry.first == index) return entry.second;
    // A cursor of the program's resources, loaded now that it is wanted.
    for (auto it = FCursorResources.begin(); it != FCursorResources.end(); ++it) {
        if (it->Index != index) continue;
        const TCursorResource resource = *it;
        FCursorResources.erase(it);
        if (resource.Alias) {
            // A number naming itself is unknown; a ring of them ends at
            // the first number asked again, which is gone from the list.
            if (resource.Source == index) break;
            HCURSOR cursor = GetCursors(resource.Source);
            FCursors.emplace_back(index, cursor);
            return cursor;
        }
        HCURSOR cursor = LoadCursorA(resource.Module, resource.Name.c_str());
        if (!cursor && resource.Fallback) cursor = LoadCursorA(nullptr, resource.Fallback);
        if (!cursor) break;
        FCursors.emplace_back(index, cursor);
        return cursor;
    }
    // A built-in cursor not asked for before: loading each system cursor
    // costs, and a program needs few of them.
    for (const TBuiltInCursor& b : BuiltInCursors) {
        if (b.Id != index) continue;
        HCURSOR cursor = b.Resource ? LoadCursorA(GclInstance(), b.Resource) : nullptr;
        if (!cursor) cursor = b.System == IDC_ARROW ? ArrowCursor() : LoadCursorA(nullptr, b.System);
        FCursors.emplace_back(index, cursor);
        return cursor;
    }
    return index == crDefault ? ArrowCursor() : GetCursors(crDefault);
}

void TScreen::SetCursorResource(TCursor index, HINSTANCE module, const char* name, LPCSTR fallback) {
    FCursors.erase(std::remove_if(FCursors.begin(), FCursors.end(), [index](const auto& e) { return e.first == index; }),
                   FCursors.end());
    FCursorResources.erase(std::remove_if(FCursorResources.begin(), FCursorResources.end(),
                                          [index](const TCursorResource& r) { return r.Index == index; }),
                           FCursorResources.end());
    FCursorResources.push_back(TCursorResource{index, module, name ? name : "", fallback});
}

void TScreen::SetCursorAlias(TCursor index, TCursor source) {
    SetCursorResource(index, nullptr, nullptr);
    FCursorResources.back().Alias = true;
    FCursorResources.back().Source = source;
}

void TScreen::SetCursors(TCursor index, HCURSOR handle) {
    FCursorResources.erase(std::remove_if(FCursorResources.begin(), FCursorResources.end(),
                                          [index](const TCursorResource& r) { return r.Index == index; }),
                           FCursorResources.end());
    for (auto& entry : FCursors)
        if (entry.first == index) {
            entry.second = handle;
            return;
        }
    FCursors.emplace_back(index, handle);
}

void TScreen::AddForm(TCustomForm* form) {
    if (!Contains(FForms, form)) FForms.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) noexcept {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), form), FForms.end());
    if (FActiveForm == form) FActiveForm = nullptr;
    if (FActiveControl && form->ContainsControl(FActiveControl)) FActiveControl = nullptr;
}

void TScreen::ForgetControl(TWinControl* control) noexcept {
    if (FActiveControl == control) FActiveControl = nullptr;
    if (FActiveForm == control) FActiveForm = nullptr;
}

void TScreen::SetActiveControlValue(TWinControl* control) {
    if (control == FActiveControl) return;
    FActiveControl = control;
    if (OnActiveControlChange) OnActiveControlChange(this);
}

void TScreen::SetActiveFormValue(TCustomForm* form) {
    if (form == FActiveForm) return;
    FActiveForm = form;
    if (OnActiveFormChange) OnActiveFormChange(this);
}

// ---- TApplication -----------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TApplication)

LRESULT CALLBACK ApplicationWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        app = static_cast<TApplication*>(create->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(app));
        if (app) app->FHandle = hwnd;
    }
    if (!app) return DefWindowProcA(hwnd, msg, wParam, lParam);
    TMessage message = MakeMessage(msg, wParam, lParam);
    GCL_GUARD(app, app->WndProc(message););
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        if (app->FHandle == hwnd) app->FHandle = nullptr;
    }
    return message.Result;
}

TApplication::TApplication(TComponent* owner) : TComponent(owner), FIcon(std::make_unique<TIcon>()) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    FTitle = name;
}

TApplication::~TApplication() {
    if (FHandle) DestroyHandle();
}

void TApplication::AfterConstruction() {
    inherited::AfterConstruction();
    HICON icon = LoadIconA(GclInstance(), "MAINICON");
    if (icon) FIcon->SetHandle(icon);
    CreateHandle();
}

void TApplication::BeforeDestruction() noexcept {
    Destroying();
    StopHintTimers();
    FHintControl = nullptr;
    FreeAndNil(FHintWindow);
    DestroyComponents();
    DestroyHandle();
    inherited::BeforeDestruction();
}

void TApplication::CreateHandle() {
    if (FHandle) return;
    WNDCLASSA cls{};
    if (!GetClassInfoA(GclInstance(), kApplicationClass, &cls)) {
        cls = WNDCLASSA{};
        cls.lpfnWndProc = &ApplicationWndProc;
        cls.hInstance = GclInstance();
        cls.hCursor = ArrowCursor();
        cls.hIcon = FIcon->GetHandle() ? FIcon->GetHandle() : LoadIconA(nullptr, IDI_APPLICATION);
        cls.lpszClassName = kApplicationClass;
        if (!RegisterClassA(&cls)) return;  // code copes with a zero Handle
    }
    int x = (Screen ? Screen->GetWidth() : GetSystemMetrics(SM_CXSCREEN)) / 2;
    int y = (Screen ? Screen->GetHeight() : GetSystemMetrics(SM_CYSCREEN)) / 2;
    CreateWindowExA(0, kApplicationClass, FTitle.c_str(),
                    WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0, nullptr,
                    nullptr, GclInstance(), this);
    // The class's icon is the window's while it has none of its own: the
    // window is given the icon only when the class has another (under
    // Wine each icon given is converted for the display at once).
    if (FHandle && FIcon->GetHandle() && cls.hIcon != FIcon->GetHandle())
        SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->GetHandle()));
}

void TApplication::DestroyHandle() noexcept {
    if (!FHandle) return;
    StopHintTimers();
    HWND handle = FHandle;
    DestroyWindow(handle);
    FHandle = nullptr;
}

void TApplication::SetTitle(const std::string& value) {
    if (value == FTitle) return;
    FTitle = value;
    if (FHandle) SetWindowTextA(FHandle, value.c_str());
}

std::string TApplication::GetExeName() const {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

void TApplication::SetIcon(TIcon* value) {
    FIcon->Assign(value);
    if (FHandle) SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->GetHandle()));
}

// ---- Forms

TCustomForm* TApplication::CreateForm(TComponentClass formClass) {
    TComponent* component = formClass->Create(this);
    auto* form = dynamic_cast<TCustomForm*>(component);
    if (form && !FMainForm) {
        form->HandleNeeded();
        FMainForm = form;
    }
    return form;
}

void TApplication::UpdateVisible(TCustomForm* Showing) {
    if (!FHandle || !Screen) return;
    bool any = Showing && !Showing->GetParent() && Showing->HandleAllocated();
    for (TCustomForm* form : Screen->FForms) {
        if (any) break;
        if (!form->GetParent() && form->GetVisible() && form->HandleAllocated() &&
            IsWindowVisible(form->GetWindowHandle())) {
            any = true;
            break;
        }
    }
    if (any == (IsWindowVisible(FHandle) != 0)) return;
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (any ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TApplication::Minimize() {
    if (!FHandle || IsIconic(FHandle)) return;
    NormalizeTopMosts();
    FMinimizedForms.clear();
    if (Screen) {
        for (TCustomForm* form : Screen->FForms) {
            if (form->GetParent() || !form->HandleAllocated() || !IsWindowVisible(form->GetWindowHandle())) continue;
            FMinimizedForms.emplace_back(form);
        }
    }
    // The forms hide themselves; the application window keeps the taskbar
    // button and becomes iconic.
    for (auto& ref : FMinimizedForms)
        if (TCustomForm* form = ref.Get()) ShowWindow(form->GetWindowHandle(), SW_HIDE);
    ShowWindow(FHandle, SW_MINIMIZE);
    if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
    if (!FHandle || !IsIconic(FHandle)) return;
    ShowWindow(FHandle, SW_RESTORE);
    std::vector<TComponentRef<TCustomForm>> forms;
    forms.swap(FMinimizedForms);
    for (auto& ref : forms)
        if (TCustomForm* form = ref.Get())
            if (form->HandleAllocated() && form->GetVisible()) {
                // A form never shown yet (a minimised start) shows in its
                // own state.
                const HWND window = form->GetWindowHandle();
                const bool maximize = form->GetWindowState() == wsMaximized && !IsZoomed(window);
                ShowWindow(window, maximize ? SW_SHOWMAXIMIZED : SW_SHOWNA);
            }
    RestoreTopMosts();
    if (FMainForm && FMainForm->HandleAllocated() && IsWindowVisible(FMainForm->GetWindowHandle()))
        SetActiveWindow(FMainForm->GetWindowHandle());
    if (OnRestore) OnRestore(this);
}

void TApplication::BringToFront() {
    if (!FHandle) return;
    HWND window = GetLastActivePopup(FHandle);
    if (window && IsWindowVisible(window) && IsWindowEnabled(window)) SetForegroundWindow(window);
}

void TApplication::NormalizeTopMosts() {
    if (FTopMostLevel++ > 0 || !Screen) return;
    FTopMostList.clear();
    for (TCustomForm* form : Screen->FForms) {
        if (form->GetFormStyle() != fsStayOnTop || !form->HandleAllocated()) continue;
        HWND window = form->GetWindowHandle();
        if (!IsWindowVisible(window)) continue;
        FTopMostList.push_back(window);
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TApplication::RestoreTopMosts() {
    if (FTopMostLevel == 0 || --FTopMostLevel > 0) return;
    for (HWND window : FTopMostList)
        if (IsWindow(window)) SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    FTopMostList.clear();
}

void TApplication::HookMainWindow(TWindowHook hook) {
    if (hook) FWindowHooks.push_back(hook);
}

void TApplication::UnhookMainWindow(TWindowHook hook) {
    auto it = std::find(FWindowHooks.begin(), FWindowHooks.end(), hook);
    if (it != FWindowHooks.end()) FWindowHooks.erase(it);
}

void TApplication::HookMessageLoop(TLoopHook hook) {
    if (hook) FLoopHooks.push_back(hook);
}

void TApplication::UnhookMessageLoop(TLoopHook hook) {
    auto it = std::find(FLoopHooks.begin(), FLoopHooks.end(), hook);
    if (it != FLoopHooks.end()) FLoopHooks.erase(it);
}

// ---- The message loop

bool TApplication::ProcessMessage(MSG& msg) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    FIdleCursorAsked = false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        // A nested loop hands the quit on to the loop around it.
        if (FDispatchDepth > 0) PostQuitMessage(static_cast<int>(msg.wParam));
        return true;
    }
    TDepth depth(FDispatchDepth);
    std::optional<TKeyMessageScope> keys;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN || msg.message == WM_KEYUP ||
        msg.message == WM_SYSKEYUP)
        keys.emplace(msg.wParam, msg.lParam);
    bool handled = false;
    if (!FLoopHooks.empty()) {
        std::vector<TLoopHook> hooks = FLoopHooks;
        for (const TLoopHook& hook : hooks) {
            if (std::find(FLoopHooks.begin(), FLoopHooks.end(), hook) == FLoopHooks.end()) continue;
            if (hook(msg)) return true;
        }
    }
    if (OnMessage) OnMessage(msg, handled);
    if (!handled && !IsHintMsg(msg) && !IsKeyMsg(msg) && !IsDlgMsg(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

bool TApplication::IsHintMsg(MSG& msg) {
    if (FHintShowing && FHintWindow && FHintWindow->IsHintMsg(msg)) CancelHint();
    return false;
}

bool TApplication::IsKeyMsg(MSG& msg) {
    const bool taken = SendKeyMsg(msg);
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        if (msg.wParam != VK_MENU)
            FKeyTakenUnderAlt = taken;
        else if (!(msg.lParam & (1 << 30)))    // not a repeat
            FKeyTakenUnderAlt = false;
    }
    return taken;
}

bool TApplication::SendKeyMsg(MSG& msg) {
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
        break;
    default:
        // WM_SYSKEYUP is left out on purpose: CN_BASE + WM_SYSKEYUP is a
        // number that belongs to other code.
        return false;
    }
    // While one of our controls holds the mouse (a header tracking the
    // pointer, a press in progress), it hears the keys first, so that
    // shortcuts still work; another program's capture keeps them away.
    HWND target = GetCapture();
    if (!target) target = msg.hwnd;
    // The control of the window, or of the nearest window it is a child of.
    // A top-level window that is no control of ours (the calendar a date
    // picker drops down, a combo box's list) keeps its keys: the controls
    // that own it would take its arrows and Enter as dialog keys.
    TWinControl* control = FindControl(target);
    for (HWND h = target; !control && h && (GetWindowLongA(h, GWL_STYLE) & WS_CHILD);) {
        h = GetParent(h);
        control = FindControl(h);
    }
    if (!control || !control->HandleAllocated()) return false;
    return SendMessageA(control->GetHandle(), CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

bool TApplication::IsDlgMsg(MSG& msg) { return FDialogHandle && IsDialogMessageA(FDialogHandle, &msg); }

bool TApplication::CursorAndWindow(POINT& cursor, HWND& window) {
    if (!FInIdlePass || !FIdleCursorAsked) {
        FIdleCursorFound = ::GetCursorPos(&FIdleCursor) != FALSE;
        FIdleCursorWindow = FIdleCursorFound ? WindowFromPoint(FIdleCursor) : nullptr;
        FIdleCursorAsked = FInIdlePass;
    }
    cursor = FIdleCursor;
    window = FIdleCursorWindow;
    return FIdleCursorFound;
}

void TApplication::Idle(const MSG&) {
    TDepth depth(FDispatchDepth);
    // Until the pass ends or a message is taken from the queue (a loop
    // inside a handler), the cursor is taken to stay where it was found.
    struct TPass {
        TApplication& App;
        const bool Outer;
        explicit TPass(TApplication& app) : App(app), Outer(app.FInIdlePass) {
            App.FInIdlePass = true;
            App.FIdleCursorAsked = false;
        }
        ~TPass() {
            App.FInIdlePass = Outer;
            App.FIdleCursorAsked = false;
        }
    };
    bool done = true;
    {
        const TPass pass(*this);
        if (FHintControl.Get()) {
            POINT p;
            HWND window = nullptr;
            if (CursorAndWindow(p, window) && !FindGclWindow(window)) CancelHint();
        }
        if (OnIdle) OnIdle(this, done);
        if (done) UpdateActions();
    }
    FreeDeviceContexts();
    if (done) WaitMessage();
}

void TApplication::HandleMessage() {
    try {
        MSG msg;
        if (!ProcessMessage(msg)) Idle(msg);
    } catch (...) {
        HandleGuardedException(this);
    }
}

void TApplication::ProcessMessages() {
    MSG msg;
    for (;;) {
        try {
            if (!ProcessMessage(msg) || msg.message == WM_QUIT) return;
        } catch (...) {
            HandleGuardedException(this);
        }
    }
}

void TApplication::Run() {
    if (FMainForm && FShowMainForm) {
        STARTUPINFOA info{};
        info.cb = sizeof info;
        GetStartupInfoA(&info);
        const bool minimized = (info.dwFlags & STARTF_USESHOWWINDOW) &&
                               (info.wShowWindow == SW_SHOWMINNOACTIVE || info.wShowWindow == SW_SHOWMINIMIZED ||
                                info.wShowWindow == SW_MINIMIZE);
        if ((info.dwFlags & STARTF_USESHOWWINDOW) && info.wShowWindow == SW_SHOWMAXIMIZED)
            FMainForm->SetWindowState(wsMaximized);
        if (minimized && FHandle) {
            // Started minimised (a shortcut's "Run: Minimized"): the
            // application is minimised as Minimize leaves it, its window
            // iconic with the taskbar button and the main form hidden in
            // its own state, which Restore shows. The form minimised on
            // its own would be an icon apart from its application, and
            // restoring the application would leave it so.
            FMinimizedForms.clear();
            NormalizeTopMosts();
            {
                const TFlagScope starting(FStartingMinimized);
                FMainForm->SetVisible(true);
            }
            ShowWindow(FHandle, SW_SHOWMINNOACTIVE);
            if (OnMinimize) OnMinimize(this);
        } else {
            FMainForm->SetVisible(true);
        }
    }
    while (!FTerminated) HandleMessage();
}

void TApplication::Terminate() { PostQuitMessage(0); }

// ---- Exceptions

void TApplication::HandleException(TObject* sender) {
    std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
        std::rethrow_exception(current);
    } catch (EAbort&) {
        // Silent by definition.
    } catch (Exception& e) {
        if (OnException)
            OnException(sender, e);
        else
            ShowException(e);
    } catch (std::exception& e) {
        Exception wrapped(e.what());
        if (OnException)
            OnException(sender, wrapped);
        else
            ShowException(wrapped);
    } catch (...) {
        Exception wrapped(msg::UnknownException);
        if (OnException)
            OnException(sender, wrapped);
        else
            ShowException(wrapped);
    }
}

void TApplication::ShowException(const Exception& e) {
    std::string text = e.GetMessage();
    if (!text.empty() && text.back() > '.') text += '.';
    ShowMessageBox(text, DialogCaption(), MB_OK | MB_ICONSTOP);
}

// ---- Window procedure

void TApplication::DefaultWndProc(TMessage& message) {
    message.Result = DefWindowProcA(FHandle, message.Msg, message.WParam, message.LParam);
}

void TApplication::WndProc(TMessage& message) {
    // Hooks first, over a snapshot: a hook may unhook itself.
    std::vector<TWindowHook> hooks = FWindowHooks;
    for (const TWindowHook& hook : hooks) {
        if (std::find(FWindowHooks.begin(), FWindowHooks.end(), hook) == FWindowHooks.end()) continue;
        if (hook(message)) return;
    }
    switch (message.Msg) {
    case WM_SYSCOMMAND:
        switch (message.WParam & 0xFFF0) {
        case SC_MINIMIZE:
            Minimize();
            message.Result = 0;
            return;
        case SC_RESTORE:
            Restore();
            message.Result = 0;
            return;
        default:
            DefaultWndProc(message);
            return;
        }
    case WM_CLOSE:
        if (FMainForm) FMainForm->Close();
        return;
    case WM_ACTIVATEAPP:
        DefaultWndProc(message);
        FActive = message.WParam != 0;
        if (FActive) {
            if (OnActivate) OnActivate(this);
        } else {
            CancelHint();
            if (OnDeactivate) OnDeactivate(this);
        }
        return;
    case WM_QUERYENDSESSION:
        message.Result = (!FMainForm || FMainForm->CloseQuery()) ? 1 : 0;
        return;
    case WM_TIMER:
        if (message.WParam == kHintShowTimer || message.WParam == kHintHideTimer) {
            HintTimerExpired(message.WParam);
            return;
        }
        DefaultWndProc(message);
        return;
    case WM_DISPLAYCHANGE:
    case WM_DPICHANGED:
        // The screen's kept sizes and places are read again, and the kept
        // paint buffers are made anew for the display.
        NoteSystemSettingsChange();
        TPaintBuffer::DisplayChanged();
        DefaultWndProc(message);
        return;
    case WM_FONTCHANGE:
        // Fonts' metrics kept by description may have changed with them.
        NoteSystemSettingsChange();
        DefaultWndProc(message);
        return;
    case WM_SETTINGCHANGE:
        NoteSystemSettingsChange();
        if (Screen) {
            Screen->LoadSystemFonts();
            std::vector<TCustomForm*> forms = Screen->FForms;
            for (TCustomForm* form : forms) {
                if (!Contains(Screen->FForms, form)) continue;
                form->Perform(CM_WININICHANGE, message.WParam, message.LParam);
                form->Perform(CM_SYSFONTCHANGED);
            }
        }
        DefaultWndProc(message);
        return;
    case WM_SYSCOLORCHANGE:
        if (Screen) {
            std::vector<TCustomForm*> forms = Screen->FForms;
            for (TCustomForm* form : forms)
                if (Contains(Screen->FForms, form)) form->Perform(CM_SYSCOLORCHANGE);
        }
        DefaultWndProc(message);
        return;
    case CM_APPKEYDOWN:
        message.Result = IsShortCut(message) ? 1 : 0;
        return;
    case CM_APPSYSCOMMAND:
    case CM_ACTIONEXECUTE:
    case CM_ACTIONUPDATE:
        message.Result = 0;
        return;
    default:
        DefaultWndProc(message);
        return;
    }
}

bool TApplication::IsShortCut(TMessage& message) {
    bool handled = false;
    if (OnShortCut) {
        TWMKey key(message);
        OnShortCut(key, handled);
    }
    return handled;
}

// ---- Actions

void TApplication::UpdateActions() {
    if (!Screen) return;
    struct TWalker {
        static void Walk(TControl* control) {
            if (!control->GetVisible()) return;
            if (control->GetControlStyle().Contains(csActionClient)) control->InitiateAction();
            if (auto* window = dynamic_cast<TWinControl*>(control)) {
                TComponentRef<TWinControl> alive(window);
                for (int i = 0; alive && i < window->GetControlCount(); ++i) Walk(window->GetControls(i));
            }
        }
    };
    std::vector<TComponentRef<TCustomForm>> forms(Screen->FForms.begin(), Screen->FForms.end());
    for (auto& ref : forms)
        if (TCustomForm* form = ref.Get()) TWalker::Walk(form);
}

bool TApplication::ExecuteAction(TObject* action) {
    return FHandle && SendMessageA(FHandle, CM_ACTIONEXECUTE, 0, reinterpret_cast<LPARAM>(action)) != 0;
}

bool TApplication::UpdateAction(TObject* action) {
    return FHandle && SendMessageA(FHandle, CM_ACTIONUPDATE, 0, reinterpret_cast<LPARAM>(action)) != 0;
}

// ---- Hints

void TApplication::SetHint(const std::string& value) {
    if (value == FHint) return;
    FHint = value;
    if (OnHint) {
        OnHint(this);
        return;
    }
    // Without a handler the hint goes out as a hint action, which whoever
    // shows hints (a status bar, the Unicode layer) may take.
    THintAction* action = THintAction::Create(nullptr);
    try {
        action->SetHint(value);
        action->Execute();
    } catch (...) {
        action->Free();
        throw;
    }
    action->Free();
}

void TApplication::SetShowHint(bool value) {
    if (value == FShowHint) return;
    FShowHint = value;
    if (!value) {
        CancelHint();
        FreeAndNil(FHintWindow);
    }
}

void TApplication::StartHintTimer(UINT_PTR id, int milliseconds) {
    if (!FHandle) return;
    if (SetTimer(FHandle, id, static_cast<UINT>(std::max(milliseconds, 1)), nullptr)) FHintTimers |= 1u << id;
}

void TApplication::KillHintTimer(UINT_PTR id) {
    if (!(FHintTimers & (1u << id))) return;
    FHintTimers &= ~(1u << id);
    if (FHandle) KillTimer(FHandle, id);
}

void TApplication::StopHintTimers() {
    KillHintTimer(kHintShowTimer);
    KillHintTimer(kHintHideTimer);
}

void TApplication::HintTimerExpired(UINT_PTR id) {
    KillHintTimer(id);
    if (id == kHintShowTimer) {
        POINT p{0, 0};
        GetCursorPos(&p);
        ActivateHint(Point(p.x, p.y));
    } else {
        HideHint();
    }
}

void TApplication::HideHint() {
    KillHintTimer(kHintHideTimer);
    FHintShowing = false;
    if (FHintWindow && FHintWindow->HandleAllocated()) FHintWindow->ReleaseHandle();
}

void TApplication::CancelHint() {
    StopHintTimers();
    HideHint();
    FHintControl = nullptr;
}

void TApplication::HintMouseMessage(TControl* control, TMessage& message) {
    if (!FShowHint || !control || message.Msg == WM_MOUSEWHEEL || message.Msg == WM_MOUSEHWHEEL) return;
    TPoint pos = LParamToPoint(message.LParam);
    TControl* target = control;
    if (!PtInRect(control->GetClientRect(), pos)) target = FindDragTarget(control->ClientToScreen(pos), true);
    TControl* hintControl = GetHintControl(target);
    if (!hintControl) {
        CancelHint();
        return;
    }
    if (message.Msg != WM_MOUSEMOVE) {
        // Clicks end the hint.
        CancelHint();
        FHintControl = hintControl;
        return;
    }
    TPoint local = hintControl->ScreenToClient(control->ClientToScreen(pos));
    if (hintControl != FHintControl.Get()) {
        bool wasShowing = FHintShowing;
        int pause = wasShowing ? FHintShortPause : FHintPause;
        StopHintTimers();
        HideHint();
        FHintControl = hintControl;
        hintControl->Perform(CM_HINTSHOWPAUSE, wasShowing ? 1 : 0, reinterpret_cast<intptr_t>(&pause));
        if (!FHintControl.Get()) return;
        if (pause <= 0)
            ActivateHint(control->ClientToScreen(pos));
        else
            StartHintTimer(kHintShowTimer, pause);
    } else if (FHintShowing && !PtInRect(FHintCursorRect, local)) {
        // Out of the part the hint was about: show it again for the new part.
        HideHint();
        StartHintTimer(kHintShowTimer, FHintShortPause);
    }
}

void TApplication::ActivateHint(TPoint cursorPos) {
    TControl* control = FHintControl.Get();
    if (!control) {
        control = GetHintControl(FindDragTarget(cursorPos, true));
        FHintControl = control;
    }
    if (!control || !FShowHint) {
        HideHint();
        return;
    }
    THintInfo info;
    info.HintControl = control;
    info.HintWindowClass = HintWindowClass;
    info.HintPos = Point(cursorPos.X, cursorPos.Y + CursorHeightMargin());
    info.HintMaxWidth = Screen ? Screen->GetWidth() : 640;
    info.HintColor = FHintColor;
    info.CursorRect = control->GetClientRect();
    info.CursorPos = control->ScreenToClient(cursorPos);
    info.ReshowTimeout = 0;
    info.HideTimeout = FHintHidePause;
    info.HintStr = GetShortHint(control->GetHint());
    info.HintData = nullptr;
    TComponentRef<TControl> alive(control);
    bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<intptr_t>(&info)) == 0;
    if (canShow && OnShowHint) OnShowHint(info.HintStr, canShow, info);
    if (!alive || !canShow || info.HintStr.empty()) {
        HideHint();
        return;
    }
    // The window class may change from one show to the next.
    THintWindowClass cls = info.HintWindowClass;
    if (!cls || !cls->InheritsFrom(THintWindow::StaticClass())) cls = HintWindowClass;
    if (!FHintWindow || FHintWindow->ClassType() != cls) {
        FreeAndNil(FHintWindow);
        FHintWindow = static_cast<THintWindow*>(cls->Create(nullptr));
    }
    FHintWindow->SetColor(info.HintColor);
    TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    OffsetRect(r, info.HintPos.X, info.HintPos.Y);
    FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
    FHintShowing = true;
    FHintCursorRect = info.CursorRect;
    if (info.HideTimeout > 0) StartHintTimer(kHintHideTimer, info.HideTimeout);
    if (info.ReshowTimeout > 0) StartHintTimer(kHintShowTimer, info.ReshowTimeout);
}

// ---- Unit ----------------------------------------------------------------------------------

namespace {

void InitializeForms() {
    ControlsUnit.Initialize();
    try {
        Screen = TScreen::Create(nullptr);
        Application = TApplication::Create(nullptr);
        ApplicationHost = Application;
        ScreenHost = Screen;
        RegisterClasses({TForm::StaticClass()});
    } catch (...) {
        ApplicationHost = nullptr;
        ScreenHost = nullptr;
        FreeAndNil(Application);
        FreeAndNil(Screen);
        ControlsUnit.Finalize();
        throw;
    }
}

void FinalizeForms() {
    UnRegisterClass(TForm::StaticClass());
    ApplicationHost = nullptr;
    ScreenHost = nullptr;
    FreeAndNil(Application);
    FreeAndNil(Screen);
    ControlsUnit.Finalize();
}

} // namespace

TUnit FormsUnit{"Forms", &InitializeForms, &FinalizeForms};

namespace {

// Scales the children of a container whose own size is scaled already,
// so that anchored children keep their distances to its new edges. A
// container holds its own alignment until its children are scaled: they
// are scaled from where they stood, not from where the grown container's
// anchors would first move them.
void ScaleChildren(TWinControl* parent, int m, int d) {
    for (int i = 0; i < parent->GetControlCount(); ++i) {
        TControl* c = parent->GetControls(i);
        auto* inner = dynamic_cast<TWinControl*>(c);
        if (inner) inner->DisableAlign();
        c->SetBounds(MulDiv(c->GetLeft(), m, d), MulDiv(c->GetTop(), m, d), MulDiv(c->GetWidth(), m, d),
                     MulDiv(c->GetHeight(), m, d));
        if (inner) {
            ScaleChildren(inner, m, d);
            inner->EnableAlign();
        }
    }
}

int ScreenDpi() { return Screen ? Screen->GetPixelsPerInch() : 96; }

} // namespace

void ScaleToScreen(TCustomForm* form) { ScaleForm(form, ScreenDpi(), 96); }

void ScaleControlToScreen(TWinControl* control) { ScaleControl(control, ScreenDpi(), 96); }

void ScaleControl(TWinControl* control, int m, int d) {
    if (!control || m == d || m <= 0 || d <= 0) return;
    control->DisableAlign();
    control->SetBounds(control->GetLeft(), control->GetTop(), MulDiv(control->GetWidth(), m, d),
                       MulDiv(control->GetHeight(), m, d));
    ScaleChildren(control, m, d);
    control->EnableAlign();
}

void ScaleForm(TCustomForm* form, int m, int d) {
    if (!form || m == d || m <= 0 || d <= 0) return;
    form->DisableAlign();
    form->SetClientSize(MulDiv(form->GetClientWidth(), m, d), MulDiv(form->GetClientHeight(), m, d));
    ScaleChildren(form, m, d);
    form->EnableAlign();
}

} // namespace gcl
