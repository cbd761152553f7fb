#include "gcl/rtl/WinApi.h"

#include "unicode/UniControls.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "gcl/ActnList.h"
#include "gcl/Messages.h"
#include "gcl/rtl/Strings.h"
#include "unicode/UniSysUtils.h"
#include "unicode/UniWindows.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TWideControlHelper)

namespace {

void SetAnsiText(gcl::TObject* obj, const std::string& value) {
    gcl::TControlSeam::SetText(static_cast<gcl::TControl*>(obj), value);
}

void SetAnsiHint(gcl::TObject* obj, const std::string& value) {
    gcl::TControlSeam::SetHintRaw(static_cast<gcl::TControl*>(obj), value);
}

TWideComponentHelperList* GControlHelpers = nullptr;

TWideComponentHelperList* ControlHelpers() {
    if (!GControlHelpers) GControlHelpers = new TWideComponentHelperList();
    return GControlHelpers;
}

TWideControlHelper* NeedWideControlHelper(gcl::TControl* control) {
    if (TWideControlHelper* helper = FindWideControlHelper(control)) return helper;
    return TWideControlHelper::Create(control, ControlHelpers());
}

// The window of a windowed control, or null when there is none (yet).
HWND ExistingHandle(gcl::TControl* control) {
    auto* win = dynamic_cast<gcl::TWinControl*>(control);
    return win && win->HandleAllocated() ? win->GetHandle() : nullptr;
}


UINT GDestroyWindowMessage = 0;
ATOM GWindowAtom = 0;
ATOM GControlAtom = 0;
bool GFinished = false;
HWND GWindowBeingCreated = nullptr;
// Traps waiting for their control's next window (not owned).
std::vector<TWinControlTrap*> GPendingTraps;
// Every trap alive, by control, and the subclassing ones by window.
std::map<const gcl::TWinControl*, TWinControlTrap*> GTrapsByControl;
std::map<HWND, TWinControlTrap*> GTrapsByWindow;

void RemovePending(TWinControlTrap* trap) noexcept {
    GPendingTraps.erase(std::remove(GPendingTraps.begin(), GPendingTraps.end(), trap), GPendingTraps.end());
}

void AddPending(TWinControlTrap* trap) {
    if (std::find(GPendingTraps.begin(), GPendingTraps.end(), trap) == GPendingTraps.end())
        GPendingTraps.push_back(trap);
}

std::wstring WindowTextW(HWND handle) {
    int length = GetWindowTextLengthW(handle);
    std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    int n = GetWindowTextW(handle, text.data(), static_cast<int>(text.size()));
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

ATOM AddAtomOrRaise(const std::string& name) {
    ATOM atom = GlobalAddAtomA(name.c_str());
    if (!atom) RaiseLastOSError(GetLastError());
    return atom;
}

void InitializeUniControls() {
    ControlHelpers();
    GFinished = false;
    GDestroyWindowMessage = RegisterWindowMessageA("UniControls.DestroyWindow");
    GWindowAtom = AddAtomOrRaise(gcl::WindowAtomName());
    GControlAtom = AddAtomOrRaise(gcl::ControlAtomName());
}

void FinalizeUniControls() {
    if (GWindowAtom) GlobalDeleteAtom(GWindowAtom);
    if (GControlAtom) GlobalDeleteAtom(GControlAtom);
    GWindowAtom = GControlAtom = 0;
    delete GControlHelpers;
    GControlHelpers = nullptr;
    GPendingTraps.clear();
    GFinished = true;
}

} // namespace

gcl::TUnit UniControlsUnit{"UniControls", &InitializeUniControls, &FinalizeUniControls};

TWideControlHelper* FindWideControlHelper(const gcl::TControl* control) {
    return static_cast<TWideControlHelper*>(FindWideComponentHelper(GControlHelpers, control));
}

std::wstring WideControlGetText(gcl::TControl* control) {
    HWND handle = ExistingHandle(control);
    if (!UnicodePlatform || (handle && !IsWindowUnicode(handle)))
        return gcl::AnsiToWide(gcl::TControlSeam::GetText(control));
    if (handle) {
        int length = GetWindowTextLengthW(handle);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        int n = GetWindowTextW(handle, text.data(), length + 1);
        text.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return text;
    }
    // No window (a windowless control, or one whose window is not made
    // yet): the kept wide caption, unless 8-bit code changed the caption.
    std::string ansi = gcl::TControlSeam::GetText(control);
    if (TWideControlHelper* helper = FindWideControlHelper(control))
        return GetSyncedWideString(helper->WideCaption(), ansi);
    return gcl::AnsiToWide(ansi);
}

void WideControlSetText(gcl::TControl* control, const std::wstring& value) {
    HWND handle = ExistingHandle(control);
    if (!UnicodePlatform || (handle && !IsWindowUnicode(handle))) {
        gcl::TControlSeam::SetText(control, gcl::WideToAnsi(value));
        return;
    }
    if (handle) {
        if (WideControlGetText(control) != value) {
            Uni_SetWindowTextW(handle, value.c_str());
            control->Perform(gcl::CM_TEXTCHANGED, 0, 0);
        }
        return;
    }
    TWideControlHelper* helper = NeedWideControlHelper(control);
    if (dynamic_cast<gcl::TWinControl*>(control)) {
        helper->WideCaption() = value;
        gcl::TControlSeam::SetText(control, gcl::WideToAnsi(value));
    } else {
        SetSyncedWideString(value, helper->WideCaption(), gcl::TControlSeam::GetText(control), &SetAnsiText, control);
    }
}

std::wstring WideControlGetHint(gcl::TControl* control) {
    if (UnicodePlatform)
        if (TWideControlHelper* helper = FindWideControlHelper(control))
            return GetSyncedWideString(helper->WideHint(), control->GetHint());
    return gcl::AnsiToWide(control->GetHint());
}

void WideControlSetHint(gcl::TControl* control, const std::wstring& value) {
    if (UnicodePlatform) {
        TWideControlHelper* helper = NeedWideControlHelper(control);
        SetSyncedWideString(value, helper->WideHint(), control->GetHint(), &SetAnsiHint, control);
    } else {
        gcl::TControlSeam::SetHintRaw(control, gcl::WideToAnsi(value));
    }
}

bool IsWideCaptionStored(gcl::TControl* control) {
    gcl::TControlActionLink* link = gcl::TControlSeam::GetActionLink(control);
    return !link || !link->IsCaptionLinked();
}

bool IsWideHintStored(gcl::TControl* control) {
    gcl::TControlActionLink* link = gcl::TControlSeam::GetActionLink(control);
    return !link || !link->IsHintLinked();
}

std::wstring WideGetHintOfControlChain(gcl::TControl* control) {
    for (gcl::TControl* c = control; c; c = c->GetParent()) {
        std::wstring hint = WideControlGetHint(c);
        if (!hint.empty()) return hint;
    }
    return std::wstring();
}

std::wstring WideGetShortHint(const std::wstring& hint) {
    size_t bar = hint.find(L'|');
    return bar == std::wstring::npos ? hint : hint.substr(0, bar);
}

std::wstring WideGetLongHint(const std::wstring& hint) {
    size_t bar = hint.find(L'|');
    return bar == std::wstring::npos ? hint : hint.substr(bar + 1);
}

// ---- Unicode windows -----------------------------------------------------------

TUniHintShowProc UniHintShowProc = nullptr;

UINT UniDestroyWindowMessage() noexcept { return GDestroyWindowMessage; }

void MakeWMCharMsgSafeForAnsi(gcl::TMessage& message) noexcept {
    if (message.Msg != WM_CHAR) return;
    uintptr_t ch = message.WParam & 0xFFFF;
    if (ch > 255) message.WParam = (ch << 16) | 255;
}

void RestoreWMCharMsg(gcl::TMessage& message) noexcept {
    if (message.Msg != WM_CHAR) return;
    uintptr_t high = (message.WParam >> 16) & 0xFFFF;
    if ((message.WParam & 0xFFFF) == 255 && high != 0) message.WParam = high;
}

GCL_IMPLEMENT_CLASS(TWinControlTrap)

TWinControlTrap::TWinControlTrap(gcl::TWinControl* control) : gcl::TComponent(nullptr), FControl(control) {
    GTrapsByControl[control] = this;
    control->FreeNotification(this);
}

TWinControlTrap::~TWinControlTrap() {
    if (FHandle) {
        // The control went while the window still lives: hand the window
        // back to the procedure it had.
        GTrapsByWindow.erase(FHandle);
        SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FWinProc));
        FHandle = nullptr;
    }
    RemovePending(this);
    auto it = GTrapsByControl.find(FControl);
    if (it != GTrapsByControl.end() && it->second == this) GTrapsByControl.erase(it);
    if (FControl) FControl->RemoveFreeNotification(this);
}

TWinControlTrap* TWinControlTrap::FindByWindow(HWND handle) noexcept {
    auto it = GTrapsByWindow.find(handle);
    return it == GTrapsByWindow.end() ? nullptr : it->second;
}

TWinControlTrap* TWinControlTrap::FindByControl(const gcl::TWinControl* control) noexcept {
    auto it = GTrapsByControl.find(control);
    return it == GTrapsByControl.end() ? nullptr : it->second;
}

void TWinControlTrap::ControlGone() noexcept {
    if (FNestCount > 0) {
        FDestroyTrap = true;
        return;
    }
    Free();
}

void TWinControlTrap::Notification(gcl::TComponent* component, gcl::TOperation operation) {
    inherited::Notification(component, operation);
    if (operation == gcl::opRemove && component == FControl) {
        // The control's window is gone by now (windowed controls destroy
        // it before their subscribers hear of them).
        if (FHandle) {
            GTrapsByWindow.erase(FHandle);
            SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FWinProc));
            FHandle = nullptr;
        }
        auto it = GTrapsByControl.find(FControl);
        if (it != GTrapsByControl.end() && it->second == this) GTrapsByControl.erase(it);
        RemovePending(this);
        FControl = nullptr;
        ControlGone();
    }
}

TWinControlTrap* TakeTrap(gcl::TWinControl* control) {
    if (TWinControlTrap* trap = TWinControlTrap::FindByControl(control)) {
        RemovePending(trap);
        return trap;
    }
    return TWinControlTrap::Create(control);
}

bool TWinControlTrap::IsFilterInChain() {
    gcl::TWndMethod filter(this, &TWinControlTrap::FilterMessage);
    if (FControl->GetWindowProc() == filter) return true;
    // Another hook may sit in front of the filter: send a probe through
    // the chain and see whether the filter gets it.
    FProbing = true;
    FProbeFound = false;
    gcl::TMessage probe{};
    probe.Msg = WM_NULL;
    try {
        FControl->GetWindowProc()(probe);
    } catch (...) {
    }
    FProbing = false;
    return FProbeFound;
}

void TWinControlTrap::SubClassControl(HWND handle, bool ideWindow) {
    RemovePending(this);
    FHandle = handle;
    FIDEWindow = ideWindow;
    FWinProc = reinterpret_cast<WNDPROC>(static_cast<uintptr_t>(GetWindowLongPtrW(handle, GWLP_WNDPROC)));
    FPrevDefWndProc = FControl->GetDefWndProc();
    GTrapsByWindow[handle] = this;
    SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TrapWindowProc));
    FControl->SetDefWndProc(&TrapDefWindowProc);
    if (!IsFilterInChain()) {
        FPrevWindowProc = FControl->GetWindowProc();
        FControl->SetWindowProc(gcl::TWndMethod(this, &TWinControlTrap::FilterMessage));
    }
}

void TWinControlTrap::UnSubClassUnicodeControl() {
    if (!FHandle) return;
    HWND handle = FHandle;
    bool destroying = !FControl || FControl->GetComponentState().Contains(gcl::csDestroying);
    if (!destroying) {
        // The wide text outlives the window in the companion.
        NeedWideControlHelper(FControl)->WideCaption() = WindowTextW(handle);
    }
    if (FControl) {
        if (FControl->GetWindowProc() == gcl::TWndMethod(this, &TWinControlTrap::FilterMessage))
            FControl->SetWindowProc(FPrevWindowProc);
        // A window that lives on is handled by the class library's 8-bit
        // code again (CallWindowProcA): it gets the 8-bit form of the
        // default procedure, which no wide procedure would fill 8-bit
        // buffers with wide text.
        FControl->SetDefWndProc(FAnsiDefWndProc ? FAnsiDefWndProc : FPrevDefWndProc);
    }
    SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FWinProc));
    GTrapsByWindow.erase(handle);
    FHandle = nullptr;
    if (FIDEWindow)
        FDestroyTrap = true;
    else if (!destroying)
        AddPending(this);
}

void TWinControlTrap::FilterMessage(gcl::TMessage& message) {
    if (FProbing && message.Msg == WM_NULL) {
        FProbeFound = true;
        return;
    }
    if (!FControl->HandleAllocated()) {
        FControl->WndProc(message);
        return;
    }
    const bool fromWindow = FLastMsg == message.Msg;
    FLastMsg = 0;
    switch (message.Msg) {
    case gcl::CM_HINTSHOW:
        if (UniHintShowProc) UniHintShowProc(FControl, message);
        break;
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        if (!fromWindow) {
            // The class library's own 8-bit request: the system converts.
            message.Result = SendMessageA(FHandle, message.Msg, message.WParam, message.LParam);
            return;
        }
        break;
    case WM_CHAR:
        MakeWMCharMsgSafeForAnsi(message);
        break;
    default:
        break;
    }
    FPrevWindowProc(message);
    if (message.Msg == WM_CHAR) RestoreWMCharMsg(message);
    if (GDestroyWindowMessage && message.Msg == GDestroyWindowMessage) UnSubClassUnicodeControl();
}

LRESULT TWinControlTrap::WindowProcedure(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (GFinished) {
        // The layer is gone: only the end of the window matters.
        if ((msg == WM_DESTROY || (GDestroyWindowMessage && msg == GDestroyWindowMessage)) && FControl)
            gcl::TControlSeam::SetWindowHandle(FControl, nullptr);
        return DefWindowProcW(handle, msg, wParam, lParam);
    }
    ++FNestCount;
    FLastMsg = msg;
    LRESULT result = 0;
    try {
        result = CallWindowProcW(FWinProc, handle, msg, wParam, lParam);
    } catch (...) {
    }
    --FNestCount;
    return result;
}

LRESULT CALLBACK TWinControlTrap::TrapWindowProc(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControlTrap* trap = FindByWindow(handle);
    if (!trap) return DefWindowProcW(handle, msg, wParam, lParam);
    LRESULT result = 0;
    try {
        result = trap->WindowProcedure(handle, msg, wParam, lParam);
        // The last message of a window whose WM_DESTROY did not reach the
        // default procedure: let go of it now.
        if (msg == WM_NCDESTROY && trap->FHandle == handle) trap->UnSubClassUnicodeControl();
    } catch (...) {
    }
    if (trap->FNestCount == 0 && trap->FDestroyTrap) trap->Free();
    return result;
}

LRESULT TWinControlTrap::DefWindowProcedure(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NOTIFYFORMAT: {
        HWND asking = reinterpret_cast<HWND>(wParam);
        if (UnicodePlatform && (IsWindowUnicode(asking) || (asking && asking == GWindowBeingCreated)))
            return NFR_UNICODE;
        return NFR_ANSI;
    }
    case WM_CHAR: {
        gcl::TMessage message{};
        message.Msg = msg;
        message.WParam = wParam;
        message.LParam = lParam;
        RestoreWMCharMsg(message);
        wParam = message.WParam;
        break;
    }
    case WM_IME_CHAR:
        if (!Win32PlatformIsXP) {
            SendMessageW(handle, WM_CHAR, wParam, lParam);
            return 0;
        }
        break;
    case WM_DESTROY: {
        WNDPROC previous = FPrevDefWndProc;
        UnSubClassUnicodeControl();
        return CallWindowProcW(previous, handle, msg, wParam, lParam);
    }
    default:
        break;
    }
    return CallWindowProcW(FPrevDefWndProc, handle, msg, wParam, lParam);
}

LRESULT CALLBACK TWinControlTrap::TrapDefWindowProc(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        if (TWinControlTrap* trap = FindByWindow(handle))
            return trap->DefWindowProcedure(handle, msg, wParam, lParam);
        return DefWindowProcW(handle, msg, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT CALLBACK InitWndProcW(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
    gcl::TWinControl* control = gcl::CreationControl;
    if (!control) return DefWindowProcW(handle, msg, wParam, lParam);
    try {
        gcl::CreationControl = nullptr;
        GWindowBeingCreated = handle;
        gcl::TControlSeam::SetWindowHandle(control, handle);
        AddPending(TakeTrap(control));
        SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&gcl::GclWindowProc));
        gcl::AttachControlToWindow(handle, control);
    } catch (...) {
        return 0;
    }
    return gcl::GclWindowProc(handle, msg, wParam, lParam);
}

namespace {

// Registers (or re-registers) the wide twin of Params' window class.
std::wstring RegisterUnicodeClass(const gcl::TCreateParams& params, bool ideWindow) {
    std::string ansiName(params.WinClassName, strnlen(params.WinClassName, sizeof params.WinClassName));
    std::wstring name = gcl::AnsiToWide(ansiName + ".UnicodeClass");
    WNDPROC initial = ideWindow ? &gcl::InitWndProc : &InitWndProcW;
    HINSTANCE instance = gcl::GclInstance();
    WNDCLASSW existing{};
    if (GetClassInfoW(instance, name.c_str(), &existing)) {
        if (existing.lpfnWndProc == initial) return name;
        UnregisterClassW(name.c_str(), instance);
    }
    const WNDCLASSA& source = params.WindowClass;
    std::wstring menuName;
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.hIconSm = params.WindowClassSmallIcon;
    cls.style = source.style;
    cls.cbClsExtra = source.cbClsExtra;
    cls.cbWndExtra = source.cbWndExtra;
    cls.hIcon = source.hIcon;
    cls.hCursor = source.hCursor;
    cls.hbrBackground = source.hbrBackground;
    if (source.lpszMenuName) {
        if (IS_INTRESOURCE(source.lpszMenuName)) {
            cls.lpszMenuName = reinterpret_cast<LPCWSTR>(source.lpszMenuName);
        } else {
            menuName = gcl::AnsiToWide(source.lpszMenuName);
            cls.lpszMenuName = menuName.c_str();
        }
    }
    cls.hInstance = instance;
    cls.lpfnWndProc = initial;
    cls.lpszClassName = name.c_str();
    if (!RegisterClassExW(&cls)) RaiseLastOSError(GetLastError());
    return name;
}

} // namespace

void CreateWideWindowHandle(gcl::TWinControl* control, const gcl::TCreateParams& params, const wchar_t* subClass,
                            bool ideWindow) {
    if (!UnicodePlatform) {
        // The class library's own creation.
        HWND handle = CreateWindowExA(params.ExStyle, params.WinClassName, params.Caption, params.Style, params.X,
                                      params.Y, params.Width, params.Height, params.WndParent, nullptr,
                                      params.WindowClass.hInstance, params.Param);
        if (handle) gcl::TControlSeam::SetWindowHandle(control, handle);
        return;
    }
    WNDCLASSW systemClass{};
    WNDPROC ansiDefWndProc = &DefWindowProcA;
    if (subClass && GetClassInfoW(nullptr, subClass, &systemClass)) {
        control->SetDefWndProc(systemClass.lpfnWndProc);
        WNDCLASSA ansiClass{};
        ansiDefWndProc = GetClassInfoA(nullptr, gcl::WideToAnsi(subClass).c_str(), &ansiClass)
                             ? ansiClass.lpfnWndProc
                             : nullptr;
    } else {
        control->SetDefWndProc(&DefWindowProcW);
    }
    std::wstring className = RegisterUnicodeClass(params, ideWindow);
    gcl::CreationControl = control;
    HWND handle = CreateWindowExW(params.ExStyle, className.c_str(), nullptr, params.Style, params.X, params.Y,
                                  params.Width, params.Height, params.WndParent, nullptr, gcl::GclInstance(),
                                  params.Param);
    const DWORD error = GetLastError();
    GWindowBeingCreated = nullptr;
    if (gcl::CreationControl == control) gcl::CreationControl = nullptr;
    if (!handle) RaiseLastOSError(error);
    gcl::TControlSeam::SetWindowHandle(control, handle);
    // The class library's initial procedure installed the main procedure
    // through the 8-bit call; installed again through the wide one, the
    // window stays Unicode.
    if (ideWindow)
        SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&gcl::GclWindowProc));
    SubClassUnicodeControl(control, params.Caption, ideWindow);
    if (TWinControlTrap* trap = TWinControlTrap::FindByWindow(handle)) trap->FAnsiDefWndProc = ansiDefWndProc;
}

void CreateUnicodeHandle_ComCtl(gcl::TWinControl* control, const gcl::TCreateParams& params,
                                const wchar_t* subClass) {
    if (!subClass || !*subClass)
        throw EUniInternalError("UNI Internal Error: Only call CreateUnicodeHandle_ComCtl for Common Controls.");
    CreateWideWindowHandle(control, params, subClass, false);
    if (UnicodePlatform) SendMessageW(control->GetHandle(), 0x2005 /* CCM_SETUNICODEFORMAT */, 1, 0);
}

void SubClassUnicodeControl(gcl::TWinControl* control, const char* caption, bool ideWindow) {
    HWND handle = control->GetHandle();
    if (!IsWindowUnicode(handle))
        throw EUniInternalError("Internal Error: SubClassUnicodeControl.Control is not Unicode.");
    TWinControlTrap* trap = TakeTrap(control);
    trap->SubClassControl(handle, ideWindow);
    std::string ansiCaption = caption ? caption : "";
    std::wstring text;
    if (TWideControlHelper* helper = FindWideControlHelper(control))
        text = GetSyncedWideString(helper->WideCaption(), ansiCaption);
    else
        text = gcl::AnsiToWide(ansiCaption);
    if (WindowTextW(handle) != text) SetWindowTextW(handle, text.c_str());
}

} // namespace qelvo
