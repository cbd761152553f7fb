// The notification-area icon: shell calls with retries, the callback
// messages of its message window, hiding and showing the application,
// balloons and the icon animation.
#include "components/KitTrayIcon.h"

#include <algorithm>

#include "components/KitSysUtils.h"
#include "components/KitUnitVersioning.h"
#include "gcl/Controls.h"
#include "gcl/Forms.h"
#include "gcl/ShellNotify.h"
#include "gcl/rtl/Libraries.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"

namespace qelvo {

using namespace gcl;

namespace {

constexpr uint32_t Shell5 = 0x00050000;

gcl::TLibraryProc<DWORD(WINAPI*)(DWORD, DWORD)> RegisterServiceProcessProc{KitKernel32Library, "RegisterServiceProcess"};

bool ShellIsVersion5() { return GetShellVersion() >= Shell5; }

HWND ApplicationHandle() { return Application ? Application->GetHandle() : nullptr; }

// The rectangle of the taskbar's notification area, when there is one.
bool TrayRect(RECT& rect) {
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    HWND notify = tray ? FindWindowExA(tray, nullptr, "TrayNotifyWnd", nullptr) : nullptr;
    return notify && GetWindowRect(notify, &rect);
}

} // namespace

TKitTrayIcon::TKitTrayIcon(TComponent* owner)
    : TKitComponent(owner), FIcon(std::make_unique<TIcon>()), FCurrentIcon(std::make_unique<TIcon>()) {
    FData.cbSize = NOTIFYICONDATAA_V1_SIZE;
}

TKitTrayIcon::~TKitTrayIcon() = default;

void TKitTrayIcon::AfterConstruction() {
    inherited::AfterConstruction();
    FIcon->OnChange = TNotifyEvent(this, &TKitTrayIcon::IconChanged);
    FTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");
}

HWND TKitTrayIcon::GetHandle() {
    if (!FHandle) FHandle = AllocateHWndEx(TWndMethod(this, &TKitTrayIcon::WndProc));
    return FHandle;
}

void TKitTrayIcon::BeforeDestruction() noexcept {
    FinishPendingAdd();
    try {
        if (FHandle) {
            KillTimer(FHandle, TrayClickTimer);
            KillTimer(FHandle, TrayBalloonTimer);
        }
        SetActive(false);
        // Kept as it always was: only systems with RegisterServiceProcess
        // (9x) notice.
        if (Application && !Application->GetComponentState().Contains(csDestroying)) ApplyTaskListVisibility(false);
    } catch (...) {
    }
    FIcon->OnChange = TNotifyEvent();
    DeallocateHWndEx(FHandle);
    FHandle = nullptr;
    inherited::BeforeDestruction();
}

// ---- Shell calls -----------------------------------------------------------------

namespace {

// Shell_NotifyIconA (through the service) with retries while the shell is
// busy; on the calling thread, which may be a worker.
bool NotifyWithRetries(NOTIFYICONDATAA& data, UINT flags, DWORD command, bool retry) {
    data.uFlags = flags;
    bool ok = ShellNotifyIcon(command, data);
    if (ok || !retry) return ok;
    DWORD error = GetLastError();
    if (error != 0 && error != ERROR_TIMEOUT) return false;
    // The shell was busy: try again for half a minute.
    for (int attempt = 0; attempt < 31 && !ok; ++attempt) {
        Sleep(1000);
        if (command == NIM_ADD) {
            ok = ShellNotifyIcon(NIM_MODIFY, data) || ShellNotifyIcon(NIM_ADD, data);
        } else if (command == NIM_DELETE) {
            ok = !ShellNotifyIcon(NIM_MODIFY, data) || ShellNotifyIcon(NIM_DELETE, data);
        } else {
            ok = ShellNotifyIcon(command, data);
        }
    }
    return ok;
}

} // namespace

// What the worker of ActivateWithoutWaiting gets and gives back; shared,
// so a worker that outlives the icon still has it.
struct TKitTrayIcon::TPendingAdd {
    NOTIFYICONDATAA Data{};
    bool Retry = true;
    bool SetVersion = false;
    volatile LONG Added = 0;
};

bool TKitTrayIcon::NotifyIcon(UINT flags, DWORD command) {
    FinishPendingAdd();
    return NotifyWithRetries(FData, flags, command, !FVisibility.Contains(tvNoRetryOnFailure));
}

void TKitTrayIcon::ActivateWithoutWaiting() {
    if (FActive || Designing() || GetComponentState().Contains(csLoading)) {
        SetActive(true);
        return;
    }
    FActive = true;
    FillData();
    HookApplication(true);
    if (FIconShown || (FVisibility.Contains(tvAutoHideIcon) && IsApplicationVisible())) return;
    auto job = std::make_shared<TPendingAdd>();
    job->Data = FData;
    job->Retry = !FVisibility.Contains(tvNoRetryOnFailure);
    job->SetVersion = ShellIsVersion5();
    auto* handed = new std::shared_ptr<TPendingAdd>(job);
    FPendingThread = CreateThread(nullptr, 0, &TKitTrayIcon::AddWorker, handed, 0, nullptr);
    if (!FPendingThread) {
        delete handed;
        ShowIcon();
        return;
    }
    FPendingAdd = std::move(job);
}

DWORD WINAPI TKitTrayIcon::AddWorker(LPVOID param) {
    std::unique_ptr<std::shared_ptr<TPendingAdd>> own(static_cast<std::shared_ptr<TPendingAdd>*>(param));
    TPendingAdd& add = **own;
    try {
        if (NotifyWithRetries(add.Data, NIF_MESSAGE | NIF_ICON | NIF_TIP, NIM_ADD, add.Retry)) {
            InterlockedExchange(&add.Added, 1);
            if (add.SetVersion) NotifyWithRetries(add.Data, 0, NIM_SETVERSION, add.Retry);
        }
    } catch (...) {
        // Not added: the icon counts as not shown.
    }
    return 0;
}

void TKitTrayIcon::FinishPendingAdd() noexcept {
    if (!FPendingThread) return;
    // The shell may send to this thread's windows while it adds the icon.
    while (MsgWaitForMultipleObjects(1, &FPendingThread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(FPendingThread);
    FPendingThread = nullptr;
    FIconShown = InterlockedCompareExchange(&FPendingAdd->Added, 0, 0) != 0;
    FPendingAdd.reset();
    if (FIconShown && FAnimated) StartAnimation();
}

void TKitTrayIcon::FillData() {
    bool shell5 = ShellIsVersion5();
    HICON icon = FData.hIcon;
    FData = NOTIFYICONDATAA{};
    FData.cbSize = shell5 ? NOTIFYICONDATAA_V2_SIZE : NOTIFYICONDATAA_V1_SIZE;
    if (shell5) FData.uVersion = NOTIFYICON_VERSION;
    FData.hWnd = GetHandle();
    FData.uID = TrayIconId;
    FData.uCallbackMessage = WM_TRAYICONCALLBACK;
    FData.hIcon = icon;
    UpdateCurrentIcon();
    lstrcpynA(FData.szTip, FHint.c_str(), shell5 ? 128 : 64);
    FData.uFlags = 0;
}

void TKitTrayIcon::ShowIcon() {
    FinishPendingAdd();
    if (FIconShown || !FActive) return;
    if (Designing()) {
        if (!FVisibility.Contains(tvVisibleDesign)) return;
    } else if (FVisibility.Contains(tvAutoHideIcon) && IsApplicationVisible()) {
        return;
    }
    if (!NotifyIcon(NIF_MESSAGE | NIF_ICON | NIF_TIP, NIM_ADD)) return;
    FIconShown = true;
    if (ShellIsVersion5()) NotifyIcon(0, NIM_SETVERSION);
    if (FAnimated) StartAnimation();
}

void TKitTrayIcon::RemoveIcon() {
    FinishPendingAdd();
    if (!FIconShown) return;
    StopAnimation();
    if (NotifyIcon(0, NIM_DELETE)) FIconShown = false;
}

// ---- Properties ---------------------------------------------------------------------

void TKitTrayIcon::SetActive(bool value) {
    if (GetComponentState().Contains(csLoading)) {
        FStreamedActive = value;
        return;
    }
    if (value == FActive) return;
    FActive = value;
    if (value) {
        FillData();
        HookApplication(true);
        ShowIcon();
    } else {
        StopAnimation();
        HookApplication(false);
        RemoveIcon();
    }
}

void TKitTrayIcon::SetAnimated(bool value) {
    if (value == FAnimated) return;
    FAnimated = value;
    if (value)
        StartAnimation();
    else
        StopAnimation();
}

void TKitTrayIcon::SetIcon(TIcon* value) { FIcon->Assign(value); }

void TKitTrayIcon::IconChanged(TObject*) { UpdateCurrentIcon(); }

void TKitTrayIcon::SetIconIndex(int value) {
    if (value == FIconIndex) return;
    FIconIndex = value;
    UpdateCurrentIcon();
}

void TKitTrayIcon::SetIcons(TCustomImageList* value) {
    if (value == FIcons.Get()) return;
    FIcons = value;
    UpdateCurrentIcon();
}

void TKitTrayIcon::SetHint(const std::string& value) {
    std::string hint = value;
    if (!ShellIsVersion5()) hint = StringReplace(hint, "\r\n", " - ", TReplaceFlags{TReplaceFlag::rfReplaceAll});
    if (hint == FHint) return;
    FHint = hint;
    FHintChanged = true;
    lstrcpynA(FData.szTip, FHint.c_str(), ShellIsVersion5() ? 128 : 64);
}

void TKitTrayIcon::SetDelay(unsigned value) {
    bool wasAnimating = FAnimating;
    StopAnimation();
    FDelay = value;
    if (wasAnimating) StartAnimation();
}

void TKitTrayIcon::SetVisibility(TTrayVisibilities value) {
    TTrayVisibilities old = FVisibility;
    FVisibility = value;
    if (!FActive) return;
    TTrayVisibilities added = value - old;
    TTrayVisibilities removed = old - value;
    if (Designing()) {
        if (added.Contains(tvVisibleDesign)) ShowIcon();
        if (removed.Contains(tvVisibleDesign)) RemoveIcon();
        return;
    }
    ApplyTaskListVisibility(value.Contains(tvVisibleTaskList));
    if (added.Contains(tvAutoHide) && !IsApplicationVisible()) HideApplication();
    if (added.Contains(tvVisibleTaskBar))
        ShowApplication();
    else if (removed.Contains(tvVisibleTaskBar))
        HideApplication();
    HWND application = ApplicationHandle();
    bool minimized = application && IsIconic(application);
    if (added.Contains(tvAutoHideIcon) && !minimized) RemoveIcon();
    if (removed.Contains(tvAutoHideIcon) && !minimized) ShowIcon();
}

void TKitTrayIcon::ApplyTaskListVisibility(bool visible) {
    if (visible == FTaskListVisible) return;
    FTaskListVisible = visible;
    if (Designing()) return;
    if (auto registerServiceProcess = RegisterServiceProcessProc.Get())
        registerServiceProcess(GetCurrentProcessId(), visible ? 0 : 1);
}

// ---- Icon -----------------------------------------------------------------------------------

void TKitTrayIcon::UpdateCurrentIcon() {
    if (GetComponentState().Contains(csLoading)) return;
    // A pending add still reads the current icon; the change goes to the
    // shell after it.
    FinishPendingAdd();
    TCustomImageList* icons = FIcons.Get();
    if (icons && FIconIndex >= 0 && FIconIndex < icons->GetCount()) {
        TIcon image;
        icons->GetIcon(FIconIndex, &image);
        FCurrentIcon->Assign(&image);
    } else if (!FIcon->GetEmpty()) {
        FCurrentIcon->Assign(FIcon.get());
    } else if (Application && !Application->GetIcon()->GetEmpty()) {
        FCurrentIcon->Assign(Application->GetIcon());
    } else {
        FCurrentIcon->Assign(nullptr);
    }
    FData.hIcon = FCurrentIcon->GetEmpty() ? LoadIconA(nullptr, MAKEINTRESOURCEA(32512)) : FCurrentIcon->GetHandle();
    if (FIconShown) NotifyIcon(NIF_ICON, NIM_MODIFY);
}

void TKitTrayIcon::StartAnimation() {
    FinishPendingAdd();
    if (!FIconShown || FAnimating) return;
    FAnimating = true;
    SetTimer(GetHandle(), TrayAnimationTimer, std::max(FDelay, 1u), nullptr);
}

void TKitTrayIcon::StopAnimation() {
    if (!FAnimating) return;
    FAnimating = false;
    KillTimer(FHandle, TrayAnimationTimer);
}

void TKitTrayIcon::AnimationStep() {
    TCustomImageList* icons = FIcons.Get();
    if (!FIconShown || !icons || icons->GetCount() == 0) return;
    FIconIndex = FIconIndex < 0 ? 0 : (FIconIndex + 1) % icons->GetCount();
    UpdateCurrentIcon();
    if (OnAnimate) OnAnimate(this, FIconIndex);
}

// ---- The application --------------------------------------------------------------------------

bool TKitTrayIcon::IsApplicationVisible() {
    if (FHiddenAtStart) return false;
    HWND application = ApplicationHandle();
    return !(application && IsIconic(application));
}

void TKitTrayIcon::HookApplication(bool hook) {
    if (!Application || hook == FApplicationHooked) return;
    if (hook)
        Application->HookMainWindow(TWindowHook(this, &TKitTrayIcon::ApplicationHook));
    else
        Application->UnhookMainWindow(TWindowHook(this, &TKitTrayIcon::ApplicationHook));
    FApplicationHooked = hook;
}

bool TKitTrayIcon::ApplicationHook(TMessage& message) {
    if (message.Msg == WM_SYSCOMMAND && (message.WParam & 0xFFF0) == SC_MINIMIZE &&
        FVisibility.Contains(tvAutoHide) && FActive)
        HideApplication();
    return false;
}

void TKitTrayIcon::HideApplication() {
    if (!Application) return;
    if (IsApplicationVisible()) {
        if (FSnap || FVisibility.Contains(tvAnimateToTray)) {
            if (TCustomForm* mainForm = Application->GetMainForm()) {
                RECT from{};
                RECT to{};
                if (FVisibility.Contains(tvAnimateToTray) && mainForm->HandleAllocated() && TrayRect(to) &&
                    GetWindowRect(mainForm->GetHandle(), &from))
                    DrawAnimatedRects(mainForm->GetHandle(), IDANI_CAPTION, &from, &to);
                mainForm->Hide();
            }
            Application->SetShowMainForm(false);
        }
        Application->Minimize();
    }
    if (HWND application = ApplicationHandle()) ShowWindow(application, SW_HIDE);
    FVisibility.Exclude(tvVisibleTaskBar);
    if (FVisibility.Contains(tvAutoHideIcon)) ShowIcon();
}

void TKitTrayIcon::ShowApplication() {
    if (!Application) return;
    HWND application = ApplicationHandle();
    if (FHiddenAtStart) {
        if (application) ShowWindowNoAnimate(application, SW_MINIMIZE);
        if (!FSnap && !FVisibility.Contains(tvAnimateToTray)) Application->SetShowMainForm(true);
    }
    FVisibility.Include(tvVisibleTaskBar);
    if (application) ShowWindow(application, SW_SHOW);
    if (!IsApplicationVisible() || (application && IsIconic(application))) {
        TCustomForm* mainForm = Application->GetMainForm();
        RECT from{};
        RECT to{};
        if (FVisibility.Contains(tvAnimateToTray) && mainForm && mainForm->HandleAllocated() && TrayRect(from) &&
            GetWindowRect(mainForm->GetHandle(), &to))
            DrawAnimatedRects(mainForm->GetHandle(), IDANI_CAPTION, &from, &to);
        Application->Restore();
        if (mainForm) mainForm->Show();
    }
    FHiddenAtStart = false;
    if (FVisibility.Contains(tvAutoHideIcon)) RemoveIcon();
}

// ---- Balloons ------------------------------------------------------------------------------------

void TKitTrayIcon::BalloonHint(const std::string& title, const std::string& text, TBalloonHintType kind,
                               unsigned delay, bool cancelPrevious) {
    FinishPendingAdd();
    if (!FIconShown || !ShellIsVersion5()) return;
    // The previous balloon goes first, so its hiding does not overwrite
    // the time and time-out of this one.
    if (cancelPrevious) HideBalloon();
    FBalloonShownAt = GetTickCount();
    FBalloonTimeout = delay / 1000;
    static constexpr DWORD infoFlags[] = {NIIF_NONE, NIIF_ERROR, NIIF_INFO, NIIF_WARNING};
    lstrcpynA(FData.szInfoTitle, title.c_str(), 64);
    lstrcpynA(FData.szInfo, text.c_str(), 256);
    FData.uTimeout = delay;
    FData.dwInfoFlags = infoFlags[kind];
    if (!NotifyIcon(NIF_INFO, NIM_MODIFY)) return;
    bool empty = title.empty() && text.empty();
    if (empty)
        FBalloonCount = std::max(FBalloonCount - 1, 0);
    else
        ++FBalloonCount;
    if (delay < 10000 && !empty) SetTimer(GetHandle(), TrayBalloonTimer, delay, nullptr);
    if (OnBalloonShow) OnBalloonShow(this);
}

void TKitTrayIcon::HideBalloon() {
    for (int i = FBalloonCount + 1; i > 0; --i) BalloonHint("", "", btNone, 5000, false);
}

// ---- Messages --------------------------------------------------------------------------------------

void TKitTrayIcon::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_QUERYENDSESSION:
        message.Result = 1;
        return;
    case WM_ENDSESSION:
        if (message.WParam)
            RemoveIcon();
        else if (FActive)
            ShowIcon();
        return;
    case WM_TIMER:
        switch (message.WParam) {
        case TrayAnimationTimer:
            AnimationStep();
            break;
        case TrayBalloonTimer:
            KillTimer(FHandle, TrayBalloonTimer);
            HideBalloon();
            break;
        case TrayClickTimer:
            KillTimer(FHandle, TrayClickTimer);
            if (FClickPending) {
                FClickPending = false;
                DoClick(FClickButton, FClickShift, FClickX, FClickY);
            }
            break;
        default:
            break;
        }
        return;
    case WM_TRAYICONCALLBACK:
        if (!Designing()) CallbackMessage(message);
        return;
    default:
        break;
    }
    if (message.Msg == FTaskbarCreated && FTaskbarCreated != 0) {
        FinishPendingAdd();
        // The old taskbar took the icon with it: one delete (no waiting for
        // a shell that no longer knows it), then the icon goes in again.
        if (FIconShown) {
            StopAnimation();
            FData.uFlags = 0;
            ShellNotifyIcon(NIM_DELETE, FData);
            FIconShown = false;
        }
        if (FActive) ShowIcon();
        return;
    }
    message.Result = DefWindowProcA(FHandle, message.Msg, message.WParam, message.LParam);
}

void TKitTrayIcon::CallbackMessage(TMessage& message) {
    POINT cursor{};
    GetCursorPos(&cursor);
    TShiftState shift = GetShiftState();
    int x = cursor.x;
    int y = cursor.y;
    switch (static_cast<UINT>(message.LParam & 0xFFFF)) {
    case WM_MOUSEMOVE:
        if (FHintChanged && FIconShown && NotifyIcon(NIF_TIP, NIM_MODIFY)) FHintChanged = false;
        if (OnMouseMove) OnMouseMove(this, shift, x, y);
        break;
    case WM_LBUTTONDOWN:
        ButtonPress(mbLeft, shift, x, y);
        break;
    case WM_RBUTTONDOWN:
        ButtonPress(mbRight, shift, x, y);
        break;
    case WM_MBUTTONDOWN:
        ButtonPress(mbMiddle, shift, x, y);
        break;
    case WM_LBUTTONUP:
        MouseUp(mbLeft, shift, x, y);
        break;
    case WM_RBUTTONUP:
        MouseUp(mbRight, shift, x, y);
        break;
    case WM_MBUTTONUP:
        MouseUp(mbMiddle, shift, x, y);
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
        const UINT msg = static_cast<UINT>(message.LParam & 0xFFFF);
        const TMouseButton button = msg == WM_LBUTTONDBLCLK ? mbLeft : msg == WM_RBUTTONDBLCLK ? mbRight : mbMiddle;
        // A quick second click that no double click is wanted for is a
        // click of its own (one that restores the window hidden by the
        // first, say), not lost.
        if (DoubleClickWanted(button))
            DoDoubleClick(button, shift, x, y);
        else
            ButtonPress(button, shift, x, y);
        break;
    }
    case WM_CONTEXTMENU:
    case NIN_KEYSELECT:
        DoContextPopup(x, y);
        break;
    case NIN_BALLOONHIDE:
        try {
            if (OnBalloonHide) OnBalloonHide(this);
        } catch (...) {
        }
        message.Result = 1;
        break;
    case NIN_BALLOONTIMEOUT:
        if ((GetTickCount() - FBalloonShownAt) / 1000 > FBalloonTimeout) HideBalloon();
        message.Result = 1;
        break;
    case NIN_BALLOONUSERCLICK:
        try {
            if (OnBalloonClick) OnBalloonClick(this);
        } catch (...) {
        }
        message.Result = 1;
        HideBalloon();
        break;
    default:
        break;
    }
}

void TKitTrayIcon::ButtonPress(TMouseButton button, TShiftState shift, int x, int y) {
    FButtonDown = true;
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

bool TKitTrayIcon::DoubleClickWanted(TMouseButton button) const {
    if (OnDblClick) return true;
    if (button != mbLeft) return false;
    if (FVisibility.Contains(tvRestoreDbClick) || FVisibility.Contains(tvMinimizeDbClick)) return true;
    if (TPopupMenu* menu = FPopupMenu.Get()) {
        TMenuItem* items = menu->GetItems();
        for (int i = 0; i < items->GetCount(); ++i)
            if (items->GetItems(i)->GetDefault()) return true;
    }
    return false;
}

void TKitTrayIcon::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (FButtonDown) {
        FButtonDown = false;
        bool clickWanted =
            OnClick || (button == mbLeft && (FDropDownMenu.Get() || FVisibility.Contains(tvRestoreClick) ||
                                             FVisibility.Contains(tvMinimizeClick)));
        if (clickWanted) {
            bool doubleWanted = OnDblClick || FVisibility.Contains(tvRestoreDbClick) ||
                                FVisibility.Contains(tvMinimizeDbClick);
            if (doubleWanted) {
                FClickButton = button;
                FClickShift = shift;
                FClickX = x;
                FClickY = y;
                if (!FClickPending) {
                    FClickPending = true;
                    SetTimer(GetHandle(), TrayClickTimer, GetDoubleClickTime(), nullptr);
                }
            } else {
                DoClick(button, shift, x, y);
            }
        }
    }
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
    if (button == mbRight && !ShellIsVersion5()) DoContextPopup(x, y);
}

void TKitTrayIcon::PopupAt(TPopupMenu* menu, int x, int y) {
    SetForegroundWindow(GetHandle());
    menu->Popup(x, y);
    PostMessageA(GetHandle(), WM_NULL, 0, 0);
    // The menu took the foreground for this hidden window; when nothing it
    // ran took the keyboard, the application's window (shown, not in the
    // tray) gets it back, so that keys typed next do not go to no window.
    if (GetActiveWindow() != FHandle || !Application || !IsApplicationVisible()) return;
    TCustomForm* mainForm = Application->GetMainForm();
    if (mainForm && mainForm->HandleAllocated() && IsWindowVisible(mainForm->GetHandle()))
        SetForegroundWindow(mainForm->GetHandle());
}

void TKitTrayIcon::DoClick(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnClick) OnClick(this, button, shift, x, y);
    if (button != mbLeft) return;
    if (TPopupMenu* menu = FDropDownMenu.Get()) PopupAt(menu, x, y);
    bool visible = IsApplicationVisible();
    if (visible && FVisibility.Contains(tvMinimizeClick))
        HideApplication();
    else if (!visible && FVisibility.Contains(tvRestoreClick))
        ShowApplication();
}

void TKitTrayIcon::DoDoubleClick(TMouseButton button, TShiftState shift, int x, int y) {
    FClickPending = false;
    KillTimer(FHandle, TrayClickTimer);
    if (OnDblClick) {
        OnDblClick(this, button, shift, x, y);
        return;
    }
    if (button != mbLeft) return;
    if (TPopupMenu* menu = FPopupMenu.Get()) {
        TMenuItem* items = menu->GetItems();
        for (int i = 0; i < items->GetCount(); ++i) {
            if (items->GetItems(i)->GetDefault()) {
                items->GetItems(i)->Click();
                break;
            }
        }
    }
    bool visible = IsApplicationVisible();
    if (visible && FVisibility.Contains(tvMinimizeDbClick))
        HideApplication();
    else if (!visible && FVisibility.Contains(tvRestoreDbClick))
        ShowApplication();
}

void TKitTrayIcon::DoContextPopup(int x, int y) {
    bool handled = false;
    if (OnContextPopup) OnContextPopup(this, Point(x, y), handled);
    if (!handled)
        if (TPopupMenu* menu = FPopupMenu.Get()) PopupAt(menu, x, y);
}

void TKitTrayIcon::Loaded() {
    inherited::Loaded();
    UpdateCurrentIcon();
    if (!FStreamedActive) return;
    SetActive(true);
    if (Designing() || !Application) return;
    if (!FVisibility.Contains(tvVisibleTaskBar)) {
        Application->SetShowMainForm(false);
        Application->NormalizeTopMosts();
        if (HWND application = ApplicationHandle()) {
            SetActiveWindow(application);
            ShowWindowNoAnimate(application, SW_HIDE);
        }
        FHiddenAtStart = true;
    }
    if (!FVisibility.Contains(tvVisibleTaskList)) ApplyTaskListVisibility(false);
}

namespace {
const TUnitVersionInfo TrayIconUnitVersion{"KitTrayIcon.cpp", "1.0", "2026-12-07", "components", "", nullptr};
void InitTrayIcon() { RegisterUnitVersion(UnitVersionInstance(), TrayIconUnitVersion); }
void DoneTrayIcon() { UnregisterModuleUnitVersions(UnitVersionInstance()); }
} // namespace

gcl::TUnit KitTrayIconUnit{"KitTrayIcon", &InitTrayIcon, &DoneTrayIcon};

GCL_PUBLISHED(TKitTrayIcon,
    GCL_PROP(Active).Default(false),
    GCL_PROP(Animated).Default(false),
    GCL_PROP(Delay).Default(100),
    GCL_PROP(DropDownMenu),
    GCL_PROP(Hint),
    GCL_PROP(IconIndex).Default(0),
    GCL_PROP(Icons),
    GCL_PROP(PopupMenu),
    GCL_PROP(Snap).Default(false),
    GCL_PROP(Visibility).Default(TTrayVisibilities{tvVisibleTaskBar, tvVisibleTaskList, tvAutoHide}))

} // namespace qelvo
