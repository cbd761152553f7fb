// The notification-area icon: puts one icon into the taskbar's
// notification area, hides the application there and brings it back,
// shows balloon tips, animates through an image list and comes back by
// itself when the taskbar is re-created. It talks to the shell only
// through gcl::ShellNotifyIcon (a replaceable service) and a hidden message
// window that receives the icon's callback messages.
#pragma once

#include "gcl/rtl/WinApi.h"
#include <shellapi.h>

#include <memory>
#include <string>

#include "components/KitComponentBase.h"
#include "gcl/Graphics.h"
#include "gcl/ImgList.h"
#include "gcl/Menus.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Sets.h"

namespace qelvo {

GCL_ENUM(TTrayVisibility, tvVisibleTaskBar, tvVisibleTaskList, tvAutoHide, tvAutoHideIcon, tvVisibleDesign,
         tvRestoreClick, tvRestoreDbClick, tvMinimizeClick, tvMinimizeDbClick, tvAnimateToTray, tvNoRetryOnFailure)
using TTrayVisibilities = gcl::TSet<TTrayVisibility>;
GCL_ENUM(TBalloonHintType, btNone, btError, btInfo, btWarning)

using TTrayAnimateEvent = gcl::TEvent<void(gcl::TObject* Sender, int ImageIndex)>;
using TTrayContextPopupEvent = gcl::TEvent<void(gcl::TObject* Sender, gcl::TPoint MousePos, bool& Handled)>;

// The icon's identifier and callback message.
inline constexpr UINT TrayIconId = 1;
inline constexpr UINT WM_TRAYICONCALLBACK = WM_USER + 1;
// Timers of the message window.
inline constexpr UINT_PTR TrayAnimationTimer = 1;
inline constexpr UINT_PTR TrayBalloonTimer = 2;
inline constexpr UINT_PTR TrayClickTimer = 3;

class TKitTrayIcon : public TKitComponent {
    GCL_CLASS(TKitTrayIcon, TKitComponent)
public:
    bool GetActive() const noexcept { return FActive; }
    void SetActive(bool value);
    // SetActive(true) without waiting for the shell: the icon is added from
    // a worker thread, since the taskbar's process draws it before it
    // answers. Whatever talks to the shell next waits for that add first,
    // so the calls reach the shell in order (GetIconShown waits too).
    void ActivateWithoutWaiting();
    bool GetAnimated() const noexcept { return FAnimated; }
    void SetAnimated(bool value);
    gcl::TIcon* GetIcon() const noexcept { return FIcon.get(); }
    void SetIcon(gcl::TIcon* value);
    int GetIconIndex() const noexcept { return FIconIndex; }
    void SetIconIndex(int value);
    gcl::TCustomImageList* GetIcons() const noexcept { return FIcons.Get(); }
    void SetIcons(gcl::TCustomImageList* value);
    const std::string& GetHint() const noexcept { return FHint; }
    void SetHint(const std::string& value);
    gcl::TPopupMenu* GetDropDownMenu() const noexcept { return FDropDownMenu.Get(); }
    void SetDropDownMenu(gcl::TPopupMenu* value) { FDropDownMenu = value; }
    gcl::TPopupMenu* GetPopupMenu() const noexcept { return FPopupMenu.Get(); }
    void SetPopupMenu(gcl::TPopupMenu* value) { FPopupMenu = value; }
    unsigned GetDelay() const noexcept { return FDelay; }
    void SetDelay(unsigned value);
    bool GetSnap() const noexcept { return FSnap; }
    void SetSnap(bool value) noexcept { FSnap = value; }
    TTrayVisibilities GetVisibility() const noexcept { return FVisibility; }
    void SetVisibility(TTrayVisibilities value);

    // False while the application is hidden or minimised.
    bool IsApplicationVisible();
    virtual void HideApplication();
    virtual void ShowApplication();
    // Shows a balloon tip (shell 5 or later, icon shown): title up to 63,
    // text up to 255 characters; delay in milliseconds.
    void BalloonHint(const std::string& title, const std::string& text, TBalloonHintType kind = btNone,
                     unsigned delay = 3000, bool cancelPrevious = false);
    void HideBalloon();

    // The state the shell sees.
    // The hidden window of the icon's callbacks and timers, made on first
    // use (when the icon first goes up): a program whose icon stays off
    // makes none.
    HWND GetHandle();
    // Waits for an add ActivateWithoutWaiting began.
    bool GetIconShown() noexcept {
        FinishPendingAdd();
        return FIconShown;
    }
    int GetBalloonCount() const noexcept { return FBalloonCount; }
    // Whole seconds the current balloon stays.
    unsigned GetBalloonTimeout() const noexcept { return FBalloonTimeout; }
    HICON GetCurrentIconHandle() const noexcept { return FData.hIcon; }
    const NOTIFYICONDATAA& GetNotifyIconData() const noexcept { return FData; }
    UINT GetTaskbarCreatedMessage() const noexcept { return FTaskbarCreated; }

    TTrayAnimateEvent OnAnimate;
    gcl::TMouseEvent OnClick;
    gcl::TMouseEvent OnDblClick;
    gcl::TMouseMoveEvent OnMouseMove;
    gcl::TMouseEvent OnMouseDown;
    gcl::TMouseEvent OnMouseUp;
    gcl::TNotifyEvent OnBalloonShow;
    gcl::TNotifyEvent OnBalloonHide;
    gcl::TNotifyEvent OnBalloonClick;
    TTrayContextPopupEvent OnContextPopup;

    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;

protected:
    explicit TKitTrayIcon(gcl::TComponent* owner);
    ~TKitTrayIcon() override;

    void Loaded() override;
    // A click, after the double-click wait when one is wanted.
    virtual void DoClick(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y);
    virtual void DoDoubleClick(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y);
    virtual void DoContextPopup(int x, int y);

private:
    void WndProc(gcl::TMessage& message);
    void CallbackMessage(gcl::TMessage& message);
    void MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y);
    // Whether a double click of the button does anything: the event, a
    // double-click option or a default item of the menu (left button).
    bool DoubleClickWanted(gcl::TMouseButton button) const;
    // A press of the button: the release after it may click.
    void ButtonPress(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y);
    // Shell_NotifyIconA with retries while the shell is busy.
    bool NotifyIcon(UINT flags, DWORD command);
    // Waits for an add begun by ActivateWithoutWaiting, answering the
    // messages other threads send meanwhile, and takes its outcome.
    void FinishPendingAdd() noexcept;
    static DWORD WINAPI AddWorker(LPVOID param);
    void FillData();
    void ShowIcon();
    void RemoveIcon();
    void StartAnimation();
    void StopAnimation();
    void AnimationStep();
    void UpdateCurrentIcon();
    void IconChanged(gcl::TObject* sender);
    bool ApplicationHook(gcl::TMessage& message);
    void HookApplication(bool hook);
    void ApplyTaskListVisibility(bool visible);
    void PopupAt(gcl::TPopupMenu* menu, int x, int y);
    bool Designing() const noexcept { return GetComponentState().Contains(gcl::csDesigning); }

    NOTIFYICONDATAA FData{};
    HWND FHandle = nullptr;
    UINT FTaskbarCreated = 0;
    std::unique_ptr<gcl::TIcon> FIcon;
    std::unique_ptr<gcl::TIcon> FCurrentIcon;
    gcl::TComponentRef<gcl::TCustomImageList> FIcons;
    gcl::TComponentRef<gcl::TPopupMenu> FDropDownMenu;
    gcl::TComponentRef<gcl::TPopupMenu> FPopupMenu;
    std::string FHint;
    int FIconIndex = 0;
    unsigned FDelay = 100;
    TTrayVisibilities FVisibility{tvVisibleTaskBar, tvVisibleTaskList, tvAutoHide};
    bool FActive = false;
    bool FStreamedActive = false;
    bool FAnimated = false;
    bool FSnap = false;
    bool FIconShown = false;
    // The worker thread of ActivateWithoutWaiting while it may still run,
    // and what it reports.
    struct TPendingAdd;
    HANDLE FPendingThread = nullptr;
    std::shared_ptr<TPendingAdd> FPendingAdd;
    bool FAnimating = false;
    bool FApplicationHooked = false;
    bool FHintChanged = false;
    bool FClickPending = false;
    bool FHiddenAtStart = false;
    bool FButtonDown = false;
    bool FTaskListVisible = true;
    gcl::TMouseButton FClickButton = gcl::mbLeft;
    gcl::TShiftState FClickShift;
    int FClickX = 0;
    int FClickY = 0;
    DWORD FBalloonShownAt = 0;     // GetTickCount of the last balloon
    unsigned FBalloonTimeout = 0;  // whole seconds
    int FBalloonCount = 0;
};

extern gcl::TUnit KitTrayIconUnit;

} // namespace qelvo
