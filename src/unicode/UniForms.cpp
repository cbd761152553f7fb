#include "gcl/rtl/WinApi.h"

#include "unicode/UniForms.h"

#include <algorithm>

#include "gcl/ActnList.h"
#include "gcl/MessageHooks.h"
#include "gcl/Messages.h"
#include "gcl/rtl/Strings.h"
#include "unicode/UniActnList.h"
#include "unicode/UniClasses.h"
#include "unicode/UniControls.h"
#include "unicode/UniSysUtils.h"
#include "unicode/UniWindows.h"

namespace qelvo {

TUniApplication* UniApplication = nullptr;

GCL_IMPLEMENT_CLASS(TUniApplication)
GCL_IMPLEMENT_CLASS(TUniCustomHintWindow)
GCL_IMPLEMENT_CLASS(TUniAppIdleEventControl)

namespace {

bool GMessageFilterAdded = false;

void SetApplicationHint(gcl::TObject* obj, const std::string& value) {
    static_cast<gcl::TApplication*>(obj)->SetHint(value);
}

void SetApplicationTitle(gcl::TObject* obj, const std::string& value) {
    static_cast<gcl::TApplication*>(obj)->SetTitle(value);
}

std::wstring DefWindowText(HWND handle) {
    LRESULT length = DefWindowProcW(handle, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    LRESULT n = DefWindowProcW(handle, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

// The long wide hint of the control chain under the mouse.
std::wstring WideHintUnderMouse() {
    POINT p{};
    HWND window = nullptr;
    if (gcl::Application) {
        if (!gcl::Application->CursorAndWindow(p, window)) return std::wstring();
    } else {
        if (!GetCursorPos(&p)) return std::wstring();
        window = WindowFromPoint(p);
    }
    gcl::TControl* control = gcl::FindDragTarget(window, gcl::TPoint{p.x, p.y}, true);
    return control ? WideGetLongHint(WideGetHintOfControlChain(control)) : std::wstring();
}

void GetMessageFilter(int code, WPARAM wParam, LPARAM lParam) {
    try {
        if (code == HC_ACTION && wParam == PM_REMOVE && UniApplication && lParam) {
            MSG& msg = *reinterpret_cast<MSG*>(lParam);
            if (UniApplication->ProcessMessage(msg)) msg.message = WM_NULL;
        }
    } catch (...) {
        gcl::HandleGuardedException(UniApplication);
    }
}

// CM_HINTSHOW of a Unicode control: the wide hint window and the 8-bit
// form of the long wide hint.
void UniHintShow(gcl::TControl* control, gcl::TMessage& message) {
    if (!UnicodePlatform || !message.LParam || !UniApplication) return;
    auto* info = reinterpret_cast<gcl::THintInfo*>(message.LParam);
    if (info->HintWindowClass == gcl::THintWindow::StaticClass()) info->HintWindowClass = TUniCustomHintWindow::StaticClass();
    gcl::TControl* hintControl = info->HintControl ? info->HintControl : control;
    UniApplication->SetHintControl(hintControl);
    info->HintStr = gcl::WideToAnsi(WideGetLongHint(WideGetHintOfControlChain(hintControl)));
}

void InitializeUniForms() {
    UniApplication = TUniApplication::Create(nullptr);
    UniHintShowProc = &UniHintShow;
    if (UnicodePlatform) {
        GMessageFilterAdded = gcl::AddGetMessageFilter(&GetMessageFilter);
        if (!GMessageFilterAdded) {
            const DWORD error = GetLastError();
            UniHintShowProc = nullptr;
            UniApplication->Free();
            UniApplication = nullptr;
            RaiseLastOSError(error);
        }
    }
}

void FinalizeUniForms() {
    if (GMessageFilterAdded) gcl::RemoveGetMessageFilter(&GetMessageFilter);
    GMessageFilterAdded = false;
    UniHintShowProc = nullptr;
    if (UniApplication) UniApplication->Free();
    UniApplication = nullptr;
}

} // namespace

gcl::TUnit UniFormsUnit{"UniForms", &InitializeUniForms, &FinalizeUniForms};

// ---- TUniApplication --------------------------------------------------------------

TUniApplication::TUniApplication(gcl::TComponent* owner) : gcl::TComponent(owner) {
    if (gcl::Application) {
        gcl::Application->HookMainWindow(gcl::TWindowHook(this, &TUniApplication::MainWindowHook));
        FHooked = true;
    }
}

TUniApplication::~TUniApplication() {
    if (FHooked && gcl::Application)
        gcl::Application->UnhookMainWindow(gcl::TWindowHook(this, &TUniApplication::MainWindowHook));
    SetHintControl(nullptr);
}

void TUniApplication::SetHintControl(gcl::TControl* value) {
    if (value == FHintControl) return;
    if (FHintControl) FHintControl->RemoveFreeNotification(this);
    FHintControl = value;
    if (FHintControl) FHintControl->FreeNotification(this);
}

void TUniApplication::Notification(gcl::TComponent* component, gcl::TOperation operation) {
    inherited::Notification(component, operation);
    if (operation == gcl::opRemove && component == FHintControl) FHintControl = nullptr;
}

std::wstring TUniApplication::GetHint() {
    if (!gcl::Application) return FHint;
    std::wstring underMouse = WideHintUnderMouse();
    if (!underMouse.empty() && gcl::WideToAnsi(underMouse) == gcl::Application->GetHint()) FHint = underMouse;
    return GetSyncedWideString(FHint, gcl::Application->GetHint());
}

void TUniApplication::SetHint(const std::wstring& value) {
    if (!gcl::Application) {
        FHint = value;
        return;
    }
    SetSyncedWideString(value, FHint, gcl::Application->GetHint(), &SetApplicationHint, gcl::Application);
}

std::wstring TUniApplication::GetTitle() {
    if (!gcl::Application) return FTitle;
    HWND handle = gcl::Application->GetHandle();
    if (UnicodePlatform && handle) return DefWindowText(handle);
    return GetSyncedWideString(FTitle, gcl::Application->GetTitle());
}

void TUniApplication::FollowHintUnderMouse() {
    if (!gcl::Application) return;
    // Asking for the cursor is a round trip to the window system (two
    // under Wine); with both hints empty, only an empty hint under the
    // mouse would match, and setting it changes nothing.
    if (FHint.empty() && gcl::Application->GetHint().empty()) return;
    const std::wstring hint = WideHintUnderMouse();
    if (gcl::WideToAnsi(hint) == gcl::Application->GetHint()) SetHint(hint);
}

void TUniApplication::SetTitle(const std::wstring& value) {
    if (!gcl::Application) {
        FTitle = value;
        return;
    }
    HWND handle = gcl::Application->GetHandle();
    if (!UnicodePlatform || !handle) {
        SetSyncedWideString(value, FTitle, gcl::Application->GetTitle(), &SetApplicationTitle, gcl::Application);
        return;
    }
    if (DefWindowText(handle) == value && FTitle.empty()) return;
    FTitle = value;
    // The 8-bit title follows, then the window gets the whole wide text.
    gcl::Application->SetTitle(gcl::WideToAnsi(value));
    DefWindowProcW(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

bool TUniApplication::MainWindowHook(gcl::TMessage& message) {
    if (message.Msg == WM_CREATE && !FTitle.empty() && gcl::Application && gcl::Application->GetHandle())
        DefWindowProcW(gcl::Application->GetHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(FTitle.c_str()));
    if (message.Msg == gcl::CM_ACTIONEXECUTE) return ExecuteWideHintAction(message);
    return false;
}

bool TUniApplication::ExecuteWideHintAction(gcl::TMessage& message) {
    auto* object = reinterpret_cast<gcl::TObject*>(message.LParam);
    if (!object || object->ClassType() != gcl::THintAction::StaticClass()) return false;
    const std::wstring hint = GetHint();
    if (static_cast<gcl::THintAction*>(object)->GetHint() != gcl::WideToAnsi(hint)) return false;
    TUniHintAction* action = TUniHintAction::Create(nullptr);
    try {
        action->SetHint(hint);
        action->Execute();
    } catch (...) {
        action->Free();
        throw;
    }
    action->Free();
    message.Result = 1;
    return true;
}

void TUniApplication::PlaceIdleControl() {
    gcl::TCustomForm* mainForm = gcl::Application->GetMainForm();
    if (!mainForm || FIdleControl || mainForm->GetComponentState().Contains(gcl::csDestroying)) return;
    TUniAppIdleEventControl* control = TUniAppIdleEventControl::Create(mainForm);
    FIdleControl = control;
    control->SetParent(mainForm);
}

bool TUniApplication::ProcessMessage(MSG& msg) {
    if (gcl::Application && !FIdleControl) PlaceIdleControl();
    if (msg.message != WM_CHAR || msg.wParam < 256 || !msg.hwnd || !IsWindowUnicode(msg.hwnd)) return false;
    if (!gcl::Application) return false;
    HWND dialog = gcl::Application->GetDialogHandle();
    if (dialog && !IsWindowUnicode(dialog)) return false;
    try {
        bool handled = false;
        if (gcl::Application->OnMessage) gcl::Application->OnMessage(msg, handled);
        gcl::Application->CancelHint();
        if (!handled && !(dialog && IsDialogMessageW(dialog, &msg))) DispatchMessageW(&msg);
    } catch (...) {
        gcl::HandleGuardedException(this);
    }
    return true;
}

// ---- TUniAppIdleEventControl ---------------------------------------------------------

void TUniAppIdleEventControl::AfterConstruction() {
    inherited::AfterConstruction();
    SetBounds(0, 0, 0, 0);
    gcl::TAction* action = gcl::TAction::Create(this);
    action->SetOnUpdate(gcl::TNotifyEvent(this, &TUniAppIdleEventControl::AppIdle));
    SetAction(action);
}

void TUniAppIdleEventControl::AppIdle(gcl::TObject*) {
    if (UniApplication) UniApplication->FollowHintUnderMouse();
}

// ---- TUniCustomHintWindow ------------------------------------------------------------

void TUniCustomHintWindow::CreateWindowHandle(const gcl::TCreateParams& params) {
    CreateWideWindowHandle(this, params, nullptr);
}

std::wstring TUniCustomHintWindow::WideHintFor(const std::string& hint) {
    gcl::TControl* control = UniApplication ? UniApplication->GetHintControl() : nullptr;
    if (control) {
        std::wstring wide = WideGetLongHint(WideGetHintOfControlChain(control));
        const std::string ansi = gcl::WideToAnsi(wide);
        if (ansi == hint) return wide;
        // The class library added the shortcut of the control's action.
        auto* action = dynamic_cast<gcl::TCustomAction*>(control->GetAction());
        if (gcl::Application && gcl::Application->GetHintShortCuts() && action && action->GetShortCut() != 0 &&
            gcl::Format("%s (%s)", {ansi, gcl::ShortCutToText(action->GetShortCut())}) == hint)
            return wide + L" (" + WideShortCutToText(action->GetShortCut()) + L")";
    }
    return gcl::AnsiToWide(hint);
}

UINT TUniCustomHintWindow::TextFlags() const {
    return DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DrawTextBiDiModeFlagsReadingOnly();
}

gcl::TRect TUniCustomHintWindow::CalcHintRect(int maxWidth, const std::string& hint, void*) {
    // Measured the way Paint draws it: word break within the width.
    std::wstring text = WideHintFor(hint);
    RECT r{0, 0, std::max(maxWidth, 1), 0};
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc) {
        HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
        WideDrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, TextFlags() | DT_CALCRECT);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    gcl::TRect result{r.left, r.top, r.right, r.bottom};
    result.Right += 6;
    result.Bottom += 6;
    return result;
}

void TUniCustomHintWindow::Paint() {
    gcl::TCanvas* canvas = GetCanvas();
    gcl::TRect r = GetClientRect();
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(r);
    canvas->GetBrush()->SetColor(gcl::clWindowFrame);
    canvas->FrameRect(r);
    canvas->SetFont(GetFont());
    if (gcl::Screen) canvas->GetFont()->SetColor(gcl::Screen->GetHintFont()->GetColor());
    canvas->GetBrush()->SetStyle(gcl::bsClear);
    canvas->RequiredState(gcl::TCanvasState{gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid});
    RECT text{r.Left + 2, r.Top + 2, r.Right + 2, r.Bottom + 2};
    std::wstring wide = WideHintFor(GetCaption());
    WideDrawText(canvas->GetHandle(), wide.c_str(), static_cast<int>(wide.size()), &text, TextFlags());
}

} // namespace qelvo
