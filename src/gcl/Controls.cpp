#include "gcl/Controls.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"

namespace gcl {

TWinControl* CreationControl = nullptr;
TMouse* Mouse = nullptr;
IApplicationHost* ApplicationHost = nullptr;
IScreenHost* ScreenHost = nullptr;

void HandleGuardedException(TObject* sender) noexcept {
    try {
        if (ApplicationHost) ApplicationHost->HandleException(sender);
    } catch (...) {
        // An exception from the handler itself has nowhere left to go.
    }
}

namespace {

ATOM GWindowAtom = 0;
ATOM GControlAtom = 0;
TControl* GCaptureControl = nullptr;
// Canvases that got a DC of their own; FreeDeviceContexts lets them go.
std::vector<TControlCanvas*> GCanvasesWithDC;

std::string Hex8(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%08X", static_cast<unsigned>(value));
    return buffer;
}

bool IsWindowed(const TControl* control) noexcept { return dynamic_cast<const TWinControl*>(control) != nullptr; }

bool IsMiddleEast() noexcept { return GetSystemMetrics(SM_MIDEASTENABLED) != 0; }

} // namespace

// ---- Shift states ----------------------------------------------------------------

namespace {

TShiftState ModifierKeys() {
    // One read of the whole keyboard state: each GetKeyState is a round
    // trip to the window system under Wine.
    BYTE keys[256] = {};
    TShiftState result;
    GetKeyboardState(keys);
    if (keys[VK_SHIFT] & 0x80) result.Include(ssShift);
    if (keys[VK_CONTROL] & 0x80) result.Include(ssCtrl);
    return result;
}

thread_local TKeyMessageScope* GKeyMessageScope = nullptr;

} // namespace

TKeyMessageScope::TKeyMessageScope(uintptr_t key, intptr_t keyData)
    : FKey(key), FKeyData(keyData), FTime(GetMessageTime()), FModifiers(ModifierKeys()), FOuter(GKeyMessageScope) {
    GKeyMessageScope = this;
}

TKeyMessageScope::~TKeyMessageScope() { GKeyMessageScope = FOuter; }

bool InKeyMessageScope(uintptr_t key, intptr_t keyData) {
    const TKeyMessageScope* scope = GKeyMessageScope;
    return scope && scope->FKey == key && scope->FKeyData == keyData && scope->FTime == GetMessageTime();
}

TShiftState KeyMessageShiftState(uintptr_t key, intptr_t keyData) {
    if (!InKeyMessageScope(key, keyData)) return KeyDataToShiftState(keyData);
    TShiftState result = GKeyMessageScope->FModifiers;
    if (keyData & 0x20000000) result.Include(ssAlt);
    return result;
}

TShiftState KeyDataToShiftState(intptr_t keyData) {
    TShiftState result = ModifierKeys();
    if (keyData & 0x20000000) result.Include(ssAlt);
    return result;
}

TShiftState KeysToShiftState(uint32_t keys) {
    TShiftState result;
    if (keys & MK_SHIFT) result.Include(ssShift);
    if (keys & MK_CONTROL) result.Include(ssCtrl);
    if (keys & MK_LBUTTON) result.Include(ssLeft);
    if (keys & MK_RBUTTON) result.Include(ssRight);
    if (keys & MK_MBUTTON) result.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) result.Include(ssAlt);
    return result;
}

TShiftState GetShiftState() {
    // One read of the keyboard state rather than six.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    TShiftState result;
    if (keys[VK_SHIFT] & 0x80) result.Include(ssShift);
    if (keys[VK_CONTROL] & 0x80) result.Include(ssCtrl);
    if (keys[VK_MENU] & 0x80) result.Include(ssAlt);
    if (keys[VK_LBUTTON] & 0x80) result.Include(ssLeft);
    if (keys[VK_RBUTTON] & 0x80) result.Include(ssRight);
    if (keys[VK_MBUTTON] & 0x80) result.Include(ssMiddle);
    return result;
}

// ---- Window binding ------------------------------------------------------------------

HINSTANCE GclInstance() noexcept { return GetModuleHandleA(nullptr); }

bool HasNonClientArea(HWND wnd) noexcept {
    RECT window{}, client{};
    if (!GetWindowRect(wnd, &window) || !::GetClientRect(wnd, &client)) return true;
    return window.right - window.left != client.right || window.bottom - window.top != client.bottom;
}

void AddScrollBarsToClientRect(HWND wnd, RECT& client) noexcept {
    const LONG style = GetWindowLongA(wnd, GWL_STYLE);
    if (style & WS_VSCROLL) {
        if (GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR)
            client.left -= GetSystemMetrics(SM_CXVSCROLL);
        else
            client.right += GetSystemMetrics(SM_CXVSCROLL);
    }
    if (style & WS_HSCROLL) client.bottom += GetSystemMetrics(SM_CYHSCROLL);
}

HCURSOR ArrowCursor() noexcept {
    static const HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    return arrow;
}

std::string WindowAtomName() { return "GclWindow" + Hex8(GetCurrentProcessId()); }

std::string ControlAtomName() {
    return "GclControl" + Hex8(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GclInstance()))) +
           Hex8(GetCurrentThreadId());
}

ATOM WindowAtom() noexcept { return GWindowAtom; }
ATOM ControlAtom() noexcept { return GControlAtom; }

namespace {
std::atomic<unsigned> GSystemSettingsGeneration{0};
} // namespace

unsigned SystemSettingsGeneration() noexcept { return GSystemSettingsGeneration.load(std::memory_order_acquire); }
void NoteSystemSettingsChange() noexcept { GSystemSettingsGeneration.fetch_add(1, std::memory_order_acq_rel); }

namespace {

// The windows bound to controls in this process, the same bindings the
// window properties hold. Every message and every FindControl reads it, so
// it answers without asking the window server; windows of any thread
// share it. Never freed: windows may still get messages while the process
// ends.
struct TWindowBindings {
    SRWLOCK Lock = SRWLOCK_INIT;
    std::unordered_map<HWND, TWinControl*> Controls;
};

TWindowBindings& Bindings() noexcept {
    static TWindowBindings* bindings = new TWindowBindings;
    return *bindings;
}

void Unbind(HWND hwnd) noexcept {
    TWindowBindings& b = Bindings();
    AcquireSRWLockExclusive(&b.Lock);
    b.Controls.erase(hwnd);
    ReleaseSRWLockExclusive(&b.Lock);
}

TWinControl* ControlOfWindow(HWND hwnd) noexcept {
    if (!hwnd || !GControlAtom) return nullptr;
    TWindowBindings& b = Bindings();
    AcquireSRWLockShared(&b.Lock);
    auto it = b.Controls.find(hwnd);
    TWinControl* control = it == b.Controls.end() ? nullptr : it->second;
    ReleaseSRWLockShared(&b.Lock);
    return control;
}

} // namespace

void AttachControlToWindow(HWND hwnd, TWinControl* control) noexcept {
    SetPropA(hwnd, MAKEINTATOM(GWindowAtom), control);
    SetPropA(hwnd, MAKEINTATOM(GControlAtom), control);
    TWindowBindings& b = Bindings();
    AcquireSRWLockExclusive(&b.Lock);
    try {
        b.Controls[hwnd] = control;
    } catch (...) {
        // Out of memory: the window goes unbound, as when its properties
        // could not be set.
    }
    ReleaseSRWLockExclusive(&b.Lock);
    if ((GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) && GetWindowLongA(hwnd, GWL_ID) == 0)
        SetWindowLongA(hwnd, GWL_ID, static_cast<LONG>(reinterpret_cast<uintptr_t>(hwnd)));
}

void DetachControlFromWindow(HWND hwnd) noexcept {
    RemovePropA(hwnd, MAKEINTATOM(GControlAtom));
    RemovePropA(hwnd, MAKEINTATOM(GWindowAtom));
    Unbind(hwnd);
}

LRESULT CALLBACK GclWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = ControlOfWindow(hwnd);
    if (!control) return DefWindowProcA(hwnd, msg, wParam, lParam);
    TMessage message = MakeMessage(msg, wParam, lParam);
    control->MainWndProc(message);  // never throws
    // The window is gone whatever its control made of the message: its
    // binding goes with it, as its properties do.
    if (msg == WM_NCDESTROY) Unbind(hwnd);
    return message.Result;
}

LRESULT CALLBACK InitWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = CreationControl;
    if (!control) return DefWindowProcA(hwnd, msg, wParam, lParam);
    CreationControl = nullptr;
    control->FHandle = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&GclWindowProc));
    AttachControlToWindow(hwnd, control);
    return GclWindowProc(hwnd, msg, wParam, lParam);
}

TWinControl* FindControl(HWND handle) noexcept {
    if (!handle) return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(handle, &process);
    if (process != GetCurrentProcessId()) return nullptr;
    return ControlOfWindow(handle);
}

bool IsGclWindow(HWND handle) noexcept { return FindControl(handle) != nullptr; }

TWinControl* FindGclWindow(HWND handle) noexcept {
    while (handle) {
        if (TWinControl* control = FindControl(handle)) return control;
        handle = GetParent(handle);
    }
    return nullptr;
}

TControl* FindDragTarget(TPoint screenPos, bool allowDisabled) {
    return FindDragTarget(WindowFromPoint(POINT{screenPos.X, screenPos.Y}), screenPos, allowDisabled);
}

TControl* FindDragTarget(HWND windowAtPos, TPoint screenPos, bool allowDisabled) {
    TWinControl* window = FindGclWindow(windowAtPos);
    if (!window) return nullptr;
    if (TControl* control = window->ControlAtPos(window->ScreenToClient(screenPos), allowDisabled))
        return control;
    return window;
}

IFormHost* GetParentFormHost(TControl* control, bool topForm) {
    IFormHost* result = nullptr;
    for (TControl* c = control; c; c = c->GetParent()) {
        if (auto* form = dynamic_cast<IFormHost*>(c)) {
            result = form;
            if (!topForm) break;
        }
    }
    if (topForm && result && result->GetFormControl()->GetParent()) return nullptr;
    return result;
}

IFormHost* ValidParentFormHost(TControl* control, bool topForm) {
    IFormHost* form = GetParentFormHost(control, topForm);
    if (!form) throw EInvalidOperation(Format(msg::ParentRequired, {control ? control->GetName() : ""}));
    return form;
}

TControl* GetCaptureControl() noexcept {
    TWinControl* window = FindControl(GetCapture());
    if (window && GCaptureControl && GCaptureControl->GetParent() == window) return GCaptureControl;
    return window;
}

void SetCaptureControl(TControl* control) {
    GCaptureControl = nullptr;
    if (!control) {
        ReleaseCapture();
        return;
    }
    auto* window = dynamic_cast<TWinControl*>(control);
    if (!window) {
        if (!control->GetParent()) return;
        GCaptureControl = control;
        window = control->GetParent();
    }
    SetCapture(window->GetHandle());
}

void FreeDeviceContexts() noexcept {
    std::vector<TControlCanvas*> canvases;
    canvases.swap(GCanvasesWithDC);
    for (TControlCanvas* canvas : canvases) {
        if (canvas->GetLockCount() == 0) {
            canvas->FreeHandle();
        } else {
            GCanvasesWithDC.push_back(canvas);
        }
    }
}

// ---- TSizeConstraints ------------------------------------------------------------

GCL_PUBLISHED(TSizeConstraints,
    GCL_PROP(MaxHeight).Default(0),
    GCL_PROP(MaxWidth).Default(0),
    GCL_PROP(MinHeight).Default(0),
    GCL_PROP(MinWidth).Default(0))

void TSizeConstraints::Assign(TPersistent* source) {
    if (auto* other = dynamic_cast<TSizeConstraints*>(source)) {
        FMinHeight = other->FMinHeight;
        FMaxHeight = other->FMaxHeight;
        FMinWidth = other->FMinWidth;
        FMaxWidth = other->FMaxWidth;
        Change();
        return;
    }
    inherited::Assign(source);
}

void TSizeConstraints::SetMaxHeight(int value) {
    value = std::max(value, 0);
    if (value == FMaxHeight) return;
    FMaxHeight = value;
    if (value > 0 && value < FMinHeight) FMinHeight = value;
    Change();
}

void TSizeConstraints::SetMaxWidth(int value) {
    value = std::max(value, 0);
    if (value == FMaxWidth) return;
    FMaxWidth = value;
    if (value > 0 && value < FMinWidth) FMinWidth = value;
    Change();
}

void TSizeConstraints::SetMinHeight(int value) {
    value = std::max(value, 0);
    if (value == FMinHeight) return;
    FMinHeight = value;
    if (FMaxHeight > 0 && value > FMaxHeight) FMaxHeight = value;
    Change();
}

void TSizeConstraints::SetMinWidth(int value) {
    value = std::max(value, 0);
    if (value == FMinWidth) return;
    FMinWidth = value;
    if (FMaxWidth > 0 && value > FMaxWidth) FMaxWidth = value;
    Change();
}

void TSizeConstraints::Change() {
    if (OnChange) OnChange(this);
}

// ---- TControl ----------------------------------------------------------------------

GCL_PUBLISHED(TControl,
    GCL_PROP(Left),
    GCL_PROP(Top),
    GCL_PROP(Width),
    GCL_PROP(Height),
    GCL_PROP(Cursor).Default(crDefault),
    GCL_PROP(Hint))

TControl::TControl(TComponent* owner)
    : TComponent(owner),
      FWindowProc(this, &TControl::WndProc),
      FFont(std::make_unique<TFont>()),
      FConstraints(std::make_unique<TSizeConstraints>(this)) {
    FFont->OnChange = TNotifyEvent(this, &TControl::FontChanged);
    FConstraints->OnChange = TNotifyEvent(this, &TControl::ConstraintsChanged);
}

TControl::~TControl() {
    if (GCaptureControl == this) GCaptureControl = nullptr;
}

void TControl::BeforeDestruction() noexcept {
    Destroying();
    FreeActionLink();
    if (GCaptureControl == this) {
        GCaptureControl = nullptr;
        ReleaseCapture();
    }
    if (FParent) {
        try {
            FParent->RemoveControl(this);
        } catch (...) {
            if (FParent) {
                FParent->RemoveFromLists(this);
                FParent = nullptr;
            }
        }
    }
    inherited::BeforeDestruction();
}

void TControl::Loaded() {
    inherited::Loaded();
    UpdateAnchorRules();
}

intptr_t TControl::Perform(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    TMessage message = MakeMessage(msg, wParam, lParam);
    FWindowProc(message);
    return message.Result;
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* value) {
    if (auto* parent = dynamic_cast<TWinControl*>(value)) SetParent(parent);
}

void TControl::SetParent(TWinControl* value) {
    if (FParent == value) return;
    for (TControl* p = value; p; p = p->FParent)
        if (p == this) throw EInvalidOperation(msg::ControlParentSetToSelf);
    if (FParent) FParent->RemoveControl(this);
    if (value) value->InsertControl(this);
}

// ---- Geometry

bool TControl::CanResize(int& newWidth, int& newHeight) {
    bool result = true;
    if (OnCanResize) OnCanResize(this, newWidth, newHeight, result);
    return result;
}

bool TControl::CanAutoSize(int&, int&) { return true; }

void TControl::ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) {
    if (OnConstrainedResize) OnConstrainedResize(this, minWidth, minHeight, maxWidth, maxHeight);
}

void TControl::DoConstrainedResize(int& newWidth, int& newHeight) {
    int minWidth = FConstraints->GetMinWidth();
    int minHeight = FConstraints->GetMinHeight();
    int maxWidth = FConstraints->GetMaxWidth();
    int maxHeight = FConstraints->GetMaxHeight();
    ConstrainedResize(minWidth, minHeight, maxWidth, maxHeight);
    if (maxWidth > 0 && newWidth > maxWidth)
        newWidth = maxWidth;
    else if (minWidth > 0 && newWidth < minWidth)
        newWidth = minWidth;
    if (maxHeight > 0 && newHeight > maxHeight)
        newHeight = maxHeight;
    else if (minHeight > 0 && newHeight < minHeight)
        newHeight = minHeight;
}

bool TControl::CheckNewSize(int& newWidth, int& newHeight) {
    int w = newWidth;
    int h = newHeight;
    if (!CanResize(w, h)) return false;
    if (FAutoSize) {
        int aw = w;
        int ah = h;
        if (CanAutoSize(aw, ah)) {
            w = aw;
            h = ah;
        }
    }
    DoConstrainedResize(w, h);
    newWidth = std::max(w, 0);
    newHeight = std::max(h, 0);
    return true;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (!CheckNewSize(width, height)) return;
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    bool sized = width != FWidth || height != FHeight;
    InvalidateControl(FVisible, false);
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    UpdateAnchorRules();
    Invalidate();
    RequestAlign();
    if (sized && !IsLoading(this)) Resize();
}

void TControl::SetAnchoredBounds(int left, int top, int width, int height) {
    TFlagScope moving(FAnchorMove);
    SetBounds(left, top, width, height);
}

TRect TControl::GetClientRect() { return Rect(0, 0, FWidth, FHeight); }

void TControl::SetClientSize(int width, int height) {
    TRect client = GetClientRect();
    SetBounds(FLeft, FTop, FWidth - client.Width() + width, FHeight - client.Height() + height);
}

TPoint TControl::GetClientOrigin() {
    if (!FParent) return Point(FLeft, FTop);
    TPoint origin = FParent->GetClientOrigin();
    return Point(origin.X + FLeft, origin.Y + FTop);
}

TPoint TControl::ClientToScreen(TPoint point) {
    TPoint origin = GetClientOrigin();
    return Point(point.X + origin.X, point.Y + origin.Y);
}

TPoint TControl::ScreenToClient(TPoint point) {
    TPoint origin = GetClientOrigin();
    return Point(point.X - origin.X, point.Y - origin.Y);
}

TPoint TControl::ClientToParent(TPoint point, TWinControl* parent) {
    if (!parent) parent = FParent;
    if (!parent) throw EInvalidOperation(Format(msg::ParentRequired, {GetName()}));
    return parent->ScreenToClient(ClientToScreen(point));
}

TPoint TControl::ParentToClient(TPoint point, TWinControl* parent) {
    if (!parent) parent = FParent;
    if (!parent) throw EInvalidOperation(Format(msg::ParentRequired, {GetName()}));
    return ScreenToClient(parent->ClientToScreen(point));
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

void TControl::UpdateAnchorRules() {
    if (FAnchorMove || !FParent) return;
    FAnchorBounds = GetBoundsRect();
    TRect client = FParent->GetClientRect();
    FAnchorParentSize = Point(client.Width(), client.Height());
}

void TControl::RequestAlign() {
    if (!FParent) return;
    if (FAlign != alNone || FAnchors != TAnchors{akLeft, akTop}) FParent->AlignControl(this);
    if (FParent->FAutoSize) FParent->AdjustSize();
}

void TControl::SetAlign(TAlign value) {
    if (value == FAlign) return;
    TAlign old = FAlign;
    FAlign = value;
    if (old != alNone && value == alNone) UpdateAnchorRules();
    RequestAlign();
    if (FParent && old != alNone && value == alNone) FParent->AlignControl(this);
}

void TControl::SetAnchors(TAnchors value) {
    if (value == FAnchors) return;
    FAnchors = value;
    UpdateAnchorRules();
}

void TControl::SetAutoSize(bool value) {
    if (value == FAutoSize) return;
    FAutoSize = value;
    if (value) AdjustSize();
}

void TControl::AdjustSize() {
    if (IsLoading(this)) return;
    SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::ConstraintsChanged(TObject*) { AdjustSize(); }

void TControl::ChangeScale(int m, int d) {
    if (m == d || d == 0) return;
    SetBounds(MulDiv(FLeft, m, d), MulDiv(FTop, m, d), MulDiv(FWidth, m, d), MulDiv(FHeight, m, d));
    if (!FParentFont) FFont->SetHeight(MulDiv(FFont->GetHeight(), m, d));
}

// ---- State

void TControl::SetVisible(bool value) {
    if (value == FVisible) return;
    VisibleChanging();
    FVisible = value;
    Perform(CM_VISIBLECHANGED, value ? 1 : 0);
    if (FParent) {
        // Aligned and anchored siblings take up the space (or give it back).
        if (FAlign != alNone) FParent->AlignControl(this);
        if (FParent->FAutoSize) FParent->AdjustSize();
    }
}

void TControl::Show() { SetVisible(true); }

void TControl::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    Perform(CM_ENABLEDCHANGED);
}

bool TControl::GetShowing() const noexcept { return FVisible && FParent && FParent->GetShowing(); }

void TControl::SetColor(TColor value) {
    if (value == FColor) return;
    FColor = value;
    FParentColor = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
    if (value == FParentColor) return;
    FParentColor = value;
    if (value && FParent && !IsLoading(this)) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::FontChanged(TObject*) {
    FParentFont = false;
    FDesktopFont = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool value) {
    if (value == FParentFont) return;
    FParentFont = value;
    if (value && FParent && !IsLoading(this)) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetDesktopFont(bool value) {
    if (value == FDesktopFont) return;
    FDesktopFont = value;
    if (value) Perform(CM_SYSFONTCHANGED);
}

void TControl::SetCursor(TCursor value) {
    if (value == FCursor) return;
    FCursor = value;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetHint(const std::string& value) { FHint = value; }

void TControl::SetShowHint(bool value) {
    if (value == FShowHint) return;
    FShowHint = value;
    FParentShowHint = false;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool value) {
    if (value == FParentShowHint) return;
    FParentShowHint = value;
    if (value && FParent && !IsLoading(this)) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode value) {
    if (value == FBiDiMode) return;
    FBiDiMode = value;
    FParentBiDiMode = false;
    Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool value) {
    if (value == FParentBiDiMode) return;
    FParentBiDiMode = value;
    if (value && FParent && !IsLoading(this)) Perform(CM_PARENTBIDIMODECHANGED);
}

bool TControl::UseRightToLeftAlignment() const { return IsMiddleEast() && FBiDiMode == bdRightToLeft; }

bool TControl::UseRightToLeftReading() const { return IsMiddleEast() && FBiDiMode != bdLeftToRight; }

bool TControl::UseRightToLeftScrollBar() const {
    return IsMiddleEast() && (FBiDiMode == bdRightToLeft || FBiDiMode == bdRightToLeftNoAlign);
}

uint32_t TControl::DrawTextBiDiModeFlags(uint32_t flags) const {
    uint32_t result = flags;
    if (UseRightToLeftAlignment()) {
        if ((flags & (DT_RIGHT | DT_CENTER)) == 0)
            result |= DT_RIGHT;
        else if (flags & DT_RIGHT)
            result &= ~static_cast<uint32_t>(DT_RIGHT);
    }
    return result | DrawTextBiDiModeFlagsReadingOnly();
}

uint32_t TControl::DrawTextBiDiModeFlagsReadingOnly() const { return UseRightToLeftReading() ? DT_RTLREADING : 0; }

// ---- Text

std::string TControl::GetText() {
    int length = static_cast<int>(Perform(WM_GETTEXTLENGTH));
    if (length <= 0) return std::string();
    std::string result(static_cast<size_t>(length) + 1, '\0');
    int copied = static_cast<int>(Perform(WM_GETTEXT, result.size(), reinterpret_cast<intptr_t>(result.data())));
    result.resize(static_cast<size_t>(std::clamp(copied, 0, length)));
    return result;
}

void TControl::SetText(const std::string& value) {
    if (GetText() == value) return;
    Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>(value.c_str()));
    Perform(CM_TEXTCHANGED);
}

int TControl::GetTextLen() { return static_cast<int>(Perform(WM_GETTEXTLENGTH)); }

// ---- Painting

HWND TControl::GetDeviceContextWindow() { return FParent ? FParent->GetHandle() : nullptr; }

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
    if (!isVisible || !FParent || !FParent->FHandle) return;
    RECT r = ToRECT(GetBoundsRect());
    InvalidateRect(FParent->FHandle, &r, !(isOpaque || FParent->FControlStyle.Contains(csOpaque)));
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update() {
    if (auto* window = dynamic_cast<TWinControl*>(this)) {
        if (window->FHandle) UpdateWindow(window->FHandle);
    } else if (FParent) {
        FParent->Update();
    }
}

void TControl::Repaint() {
    if (!FVisible || !FParent || !FParent->FHandle) return;
    Invalidate();
    FParent->Update();
}

void TControl::SetZOrder(bool topMost) {
    if (!FParent) return;
    auto& list = FParent->FControls;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (topMost)
        list.push_back(this);
    else
        list.insert(list.begin(), this);
    Invalidate();
}

// ---- Mouse

bool TControl::GetMouseCapture() const noexcept { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool value) {
    if (GetMouseCapture() == value) return;
    SetCaptureControl(value ? this : nullptr);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
    if (!handled) {
        if (wheelDelta < 0)
            handled = DoMouseWheelDown(shift, mousePos);
        else if (wheelDelta > 0)
            handled = DoMouseWheelUp(shift, mousePos);
    }
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
    bool handled = false;
    if (OnMouseWheelDown) OnMouseWheelDown(this, shift, mousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
    bool handled = false;
    if (OnMouseWheelUp) OnMouseWheelUp(this, shift, mousePos, handled);
    return handled;
}

void TControl::DoContextPopup(TPoint mousePos, bool& handled) {
    if (OnContextPopup) OnContextPopup(this, mousePos, handled);
}

void TControl::MouseButtonDown(TMessage& message, TMouseButton button, bool isDouble) {
    DefaultHandler(message);
    TComponentRef<TControl> alive(this);
    if (FControlStyle.Contains(csCaptureMouse) && button == mbLeft) SetMouseCapture(true);
    if (button == mbLeft && FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
    // OnDblClick is the left button's: a second right click soon after
    // the first (a context menu asked for again) is a right click.
    if (isDouble && button == mbLeft && FControlStyle.Contains(csDoubleClicks)) {
        DblClick();
        if (!alive) return;
    }
    TShiftState shift = KeysToShiftState(static_cast<uint32_t>(message.WParam));
    if (isDouble) shift.Include(ssDouble);
    TWMMouse mouse(message);
    MouseDown(button, shift, mouse.GetXPos(), mouse.GetYPos());
}

void TControl::MouseButtonUp(TMessage& message, TMouseButton button) {
    DefaultHandler(message);
    TComponentRef<TControl> alive(this);
    TWMMouse mouse(message);
    if (button == mbLeft) {
        // Taken before the capture goes: losing the capture cancels a
        // click, letting go of it here does not.
        const bool clicked = FControlState.Contains(csClicked);
        FControlState.Exclude(csClicked);
        if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
        if (!alive) return;
        if (clicked && PtInRect(GetClientRect(), Point(mouse.GetXPos(), mouse.GetYPos()))) {
            Click();
            if (!alive) return;
        }
    }
    MouseUp(button, KeysToShiftState(static_cast<uint32_t>(message.WParam)), mouse.GetXPos(), mouse.GetYPos());
}

void TControl::WMMouseMove(TMessage& message) {
    DefaultHandler(message);
    TWMMouse mouse(message);
    MouseMove(KeysToShiftState(static_cast<uint32_t>(message.WParam)), mouse.GetXPos(), mouse.GetYPos());
}

void TControl::WMContextMenu(TMessage& message) {
    if (message.Result != 0) return;
    TPoint pos = LParamToPoint(message.LParam);
    // A request from the keyboard comes as (-1, -1): it counts as the
    // client origin.
    TPoint client = (pos.X == -1 && pos.Y == -1) ? Point(0, 0) : ScreenToClient(pos);
    bool handled = false;
    DoContextPopup(client, handled);
    if (handled) {
        message.Result = 1;
        return;
    }
    if (ShowPopupMenu(pos)) {
        message.Result = 1;
        return;
    }
    DefaultHandler(message);
}

// ---- Parent notifications

void TControl::CMParentColorChanged(TMessage& message) {
    if (!FParentColor) return;
    TCMParentColorChanged m(message);
    TColor color = m.GetHasColor() ? m.GetColor() : (FParent ? FParent->FColor : FColor);
    SetColor(color);
    FParentColor = true;
}

void TControl::CMParentFontChanged(TMessage& message) {
    if (!FParentFont) return;
    TCMParentFontChanged m(message);
    TFont* font = m.GetFont();
    if (!font && FParent) font = FParent->FFont.get();
    if (font) FFont->Assign(font);
    FParentFont = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
    if (!FParentShowHint || !FParent) return;
    SetShowHint(FParent->FShowHint);
    FParentShowHint = true;
}

void TControl::CMParentBiDiModeChanged(TMessage&) {
    if (!FParentBiDiMode || !FParent) return;
    SetBiDiMode(FParent->FBiDiMode);
    FParentBiDiMode = true;
}

// ---- Messages

void TControl::WndProc(TMessage& message) {
    if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST) {
        if (ApplicationHost) ApplicationHost->HintMouseMessage(this, message);
        switch (message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (FDragMode == dmAutomatic && FDragKind == dkDrag) {
                BeginAutoDrag();
                return;
            }
            FControlState.Include(csLButtonDown);
            break;
        case WM_LBUTTONUP:
            FControlState.Exclude(csLButtonDown);
            break;
        default:
            break;
        }
    }
    Dispatch(message);
}

void TControl::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
        MouseButtonDown(message, mbLeft, false);
        break;
    case WM_LBUTTONDBLCLK:
        MouseButtonDown(message, mbLeft, true);
        break;
    case WM_RBUTTONDOWN:
        MouseButtonDown(message, mbRight, false);
        break;
    case WM_RBUTTONDBLCLK:
        MouseButtonDown(message, mbRight, true);
        break;
    case WM_MBUTTONDOWN:
        MouseButtonDown(message, mbMiddle, false);
        break;
    case WM_MBUTTONDBLCLK:
        MouseButtonDown(message, mbMiddle, true);
        break;
    case WM_LBUTTONUP:
        MouseButtonUp(message, mbLeft);
        break;
    case WM_RBUTTONUP:
        MouseButtonUp(message, mbRight);
        break;
    case WM_MBUTTONUP:
        MouseButtonUp(message, mbMiddle);
        break;
    case WM_MOUSEMOVE:
        WMMouseMove(message);
        break;
    case WM_CONTEXTMENU:
        WMContextMenu(message);
        break;
    case CM_DRAG:
        DoDragMsg(message);
        break;
    case WM_CANCELMODE:
        DefaultHandler(message);
        // A box or a disabled window ends a drag running meanwhile.
        CancelDrag();
        if (GetMouseCapture()) SetMouseCapture(false);
        FControlState.Exclude(csLButtonDown);
        FControlState.Exclude(csClicked);
        break;
    case CM_HITTEST:
        message.Result = HTCLIENT;
        break;
    case CM_MOUSEENTER:
        if (message.LParam == 0 || message.LParam == reinterpret_cast<intptr_t>(this)) {
            if (OnMouseEnter) OnMouseEnter(this);
        }
        break;
    case CM_MOUSELEAVE:
        if (message.LParam == 0 || message.LParam == reinterpret_cast<intptr_t>(this)) {
            if (OnMouseLeave) OnMouseLeave(this);
        }
        break;
    case CM_MOUSEWHEEL: {
        TCMMouseWheel wheel(message);
        message.Result = DoMouseWheel(wheel.GetShiftState(), wheel.GetWheelDelta(), wheel.GetPos()) ? 1 : 0;
        break;
    }
    case CM_VISIBLECHANGED:
        InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque));
        break;
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
        Invalidate();
        break;
    case CM_HINTSHOW:
        CMHintShow(message);
        break;
    case CM_PARENTCOLORCHANGED:
        CMParentColorChanged(message);
        break;
    case CM_PARENTFONTCHANGED:
        CMParentFontChanged(message);
        break;
    case CM_PARENTSHOWHINTCHANGED:
        CMParentShowHintChanged(message);
        break;
    case CM_PARENTBIDIMODECHANGED:
        CMParentBiDiModeChanged(message);
        break;
    case CM_SYSFONTCHANGED:
        if (FDesktopFont && ScreenHost) {
            FFont->Assign(ScreenHost->GetIconFont());
            FDesktopFont = true;
            FParentFont = false;
        }
        break;
    default:
        inherited::Dispatch(message);
        break;
    }
}

void TControl::DefaultHandler(TMessage& message) {
    switch (message.Msg) {
    case WM_GETTEXT: {
        if (message.WParam == 0 || message.LParam == 0) {
            message.Result = 0;
            break;
        }
        size_t count = std::min(FText.size(), static_cast<size_t>(message.WParam) - 1);
        std::memcpy(reinterpret_cast<char*>(message.LParam), FText.data(), count);
        reinterpret_cast<char*>(message.LParam)[count] = '\0';
        message.Result = static_cast<intptr_t>(count);
        break;
    }
    case WM_GETTEXTLENGTH:
        message.Result = static_cast<intptr_t>(FText.size());
        break;
    case WM_SETTEXT:
        FText = message.LParam ? reinterpret_cast<const char*>(message.LParam) : "";
        message.Result = 1;
        break;
    default:
        break;
    }
}

// ---- TWinControl ---------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TWinControl)

TWinControl::TWinControl(TComponent* owner) : TControl(owner), FBrush(std::make_unique<TBrush>()) {
    FBrush->SetColor(GetColor());
    FDefWndProc = DefWindowProcA;
}

TWinControl::~TWinControl() {
    // Normally gone in BeforeDestruction; this covers a failed construction.
    if (FHandle) {
        // The window class's own procedure cleans up after the window.
        HWND h = FHandle;
        FHandle = nullptr;
        DetachControlFromWindow(h);
        SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc));
        DestroyWindow(h);
    }
    if (CreationControl == this) CreationControl = nullptr;
}

void TWinControl::BeforeDestruction() noexcept {
    Destroying();
    if (CreationControl == this) CreationControl = nullptr;
    DestroyComponents();
    // Children this control does not own stay alive without a parent.
    while (!FControls.empty()) {
        TControl* child = FControls.back();
        try {
            child->SetParent(nullptr);
        } catch (...) {
        }
        if (!FControls.empty() && FControls.back() == child) {
            RemoveFromLists(child);
            child->FParent = nullptr;
        }
    }
    if (ScreenHost) ScreenHost->ForgetControl(this);
    try {
        DestroyHandle();
    } catch (...) {
        if (FHandle) {
            HWND h = FHandle;
            DestroyWindow(h);
            FHandle = nullptr;
        }
    }
    inherited::BeforeDestruction();
}

// ---- The window

HWND TWinControl::GetHandle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle) return;
    if (FParent) FParent->HandleNeeded();
    CreateHandle();
}

void TWinControl::SetParentWindow(HWND value) {
    if (value == FParentWindow) return;
    FParentWindow = value;
    if (FParent) return;
    if (FHandle) {
        LONG style = GetWindowLongA(FHandle, GWL_STYLE);
        if (style & WS_CHILD) {
            if (value)
                ::SetParent(FHandle, value);
            else
                DestroyHandle();
        } else {
            // A top-level window: the parent window is its owner.
            SetWindowLongPtrA(FHandle, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(value));
        }
    }
    UpdateControlState();
}

void TWinControl::CreateParams(TCreateParams& params) {
    params = TCreateParams{};
    params.Caption = FText.c_str();
    params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FControlStyle.Contains(csAcceptsControls)) {
        params.Style |= WS_CLIPCHILDREN;
        params.ExStyle |= WS_EX_CONTROLPARENT;
    }
    if (!GetEnabled()) params.Style |= WS_DISABLED;
    if (FTabStop) params.Style |= WS_TABSTOP;
    if (FBorderStyle == bsSingle) {
        if (FCtl3D)
            params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            params.Style |= WS_BORDER;
    }
    params.X = GetLeft();
    params.Y = GetTop();
    params.Width = GetWidth();
    params.Height = GetHeight();
    params.WndParent = GetParent() ? GetParent()->GetHandle() : FParentWindow;
    params.WindowClass.style = CS_VREDRAW | CS_HREDRAW;
    if (FControlStyle.Contains(csDoubleClicks)) params.WindowClass.style |= CS_DBLCLKS;
    params.WindowClass.lpfnWndProc = DefWindowProcA;
    params.WindowClass.hCursor = ArrowCursor();
    params.WindowClass.hInstance = GclInstance();
    std::string name = ClassName();
    std::strncpy(params.WinClassName, name.c_str(), sizeof params.WinClassName - 1);
}

void TWinControl::CreateSubClass(TCreateParams& params, const char* controlClassName) {
    if (!controlClassName) return;
    HINSTANCE instance = params.WindowClass.hInstance;
    WNDCLASSA cls{};
    if (!GetClassInfoA(GclInstance(), controlClassName, &cls) && !GetClassInfoA(nullptr, controlClassName, &cls) &&
        !GetClassInfoA(instance, controlClassName, &cls))
        throw EInvalidOperation(Format(msg::UnknownWindowClass, {std::string(controlClassName)}));
    params.WindowClass = cls;
    params.WindowClass.hInstance = instance;
    params.WindowClass.lpszClassName = nullptr;
    params.WindowClass.style =
        (cls.style & ~static_cast<UINT>(CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS)) | CS_VREDRAW |
        CS_HREDRAW;
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && !params.WndParent)
        throw EInvalidOperation(Format(msg::ParentRequired, {GetName()}));
    if (FMadeShowing && (params.Style & WS_CHILD)) params.Style |= WS_VISIBLE;
    else FMadeShowing = false;
    FDefWndProc = params.WindowClass.lpfnWndProc ? params.WindowClass.lpfnWndProc : DefWindowProcA;
    WNDCLASSA existing{};
    bool registered = GetClassInfoA(params.WindowClass.hInstance, params.WinClassName, &existing) != 0;
    if (!registered || existing.lpfnWndProc != &InitWndProc) {
        if (registered) UnregisterClassA(params.WinClassName, params.WindowClass.hInstance);
        const WNDCLASSA& base = params.WindowClass;
        WNDCLASSEXA cls{sizeof cls,        base.style,   &InitWndProc,        base.cbClsExtra,
                        base.cbWndExtra,    base.hInstance, base.hIcon,        base.hCursor,
                        base.hbrBackground, base.lpszMenuName, params.WinClassName, params.WindowClassSmallIcon};
        if (!RegisterClassExA(&cls))
            throw EOutOfResources(Format(msg::WindowClassFailed, {std::string(params.WinClassName)}));
    }
    CreationControl = this;
    try {
        CreateWindowHandle(params);
    } catch (...) {
        if (CreationControl == this) CreationControl = nullptr;
        throw;
    }
    if (CreationControl == this) CreationControl = nullptr;
    if (!FHandle) RaiseLastOSError();
    UpdateBounds();
    Perform(WM_SETFONT, reinterpret_cast<uintptr_t>(GetFont()->GetHandle()), 1);
    // The system may keep only a few thousand characters of a creation
    // text (an edit given a long title would hold it cut short): a text cut
    // so is given again whole.
    if (!FText.empty() && static_cast<size_t>(GetWindowTextLengthA(FHandle)) < FText.size())
        Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>(FText.c_str()));
    FText.clear();
    if (GetAutoSize()) AdjustSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
    HWND handle = CreateWindowExA(params.ExStyle, params.WinClassName, params.Caption, params.Style, params.X,
                                  params.Y, params.Width, params.Height, params.WndParent, nullptr,
                                  params.WindowClass.hInstance, params.Param);
    if (handle) FHandle = handle;
}

void TWinControl::DestroyWnd() {
    std::string text = GetText();
    FText = text;
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
    FControlState.Include(csDestroyingHandle);
    HWND handle = FHandle;
    if (handle) DestroyWindow(handle);
    FControlState.Exclude(csDestroyingHandle);
    if (FHandle == handle) {
        // WM_NCDESTROY did not reach the control (a hook swallowed it).
        if (handle) DetachControlFromWindow(handle);
        FHandle = nullptr;
        FShowing = false;
    }
}

void TWinControl::CreateHandle() {
    if (FHandle) return;
    CreateWnd();
    if (GetParent() && FHandle) {
        HWND after = GetParent()->PrecedingWindow(this);
        if (!IsInZOrderPlace(after))
            SetWindowPos(FHandle, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (TControl* child : FControls) child->UpdateAnchorRules();
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    FControlState.Include(csDestroyingHandle);
    std::vector<TControl*> children = FControls;
    for (TControl* child : children) {
        if (!Contains(FControls, child)) continue;
        if (auto* window = dynamic_cast<TWinControl*>(child)) window->DestroyHandle();
    }
    FControlState.Exclude(csDestroyingHandle);
    DestroyWnd();
}

void TWinControl::RecreateWnd() {
    if (FHandle) Perform(CM_RECREATEWND);
}

void TWinControl::CMRecreateWnd(TMessage&) {
    bool wasFocused = Focused();
    FControlState.Include(csRecreating);
    try {
        DestroyHandle();
        UpdateControlState();
    } catch (...) {
        FControlState.Exclude(csRecreating);
        throw;
    }
    FControlState.Exclude(csRecreating);
    if (wasFocused && FHandle) ::SetFocus(FHandle);
}

void TWinControl::MainWndProc(TMessage& message) noexcept {
    try {
        GetWindowProc()(message);
    } catch (...) {
        HandleGuardedException(this);
    }
}

void TWinControl::DefaultHandler(TMessage& message) {
    if (!FHandle) {
        TControl::DefaultHandler(message);
        return;
    }
    if (message.Msg >= CN_CTLCOLORMSGBOX && message.Msg <= CN_CTLCOLORSTATIC) {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        SetTextColor(dc, ColorToColorRef(GetFont()->GetColor()));
        SetBkColor(dc, ColorToColorRef(GetColor()));
        message.Result = reinterpret_cast<intptr_t>(FBrush->GetHandle());
        return;
    }
    message.Result = CallWindowProcA(FDefWndProc, FHandle, message.Msg, message.WParam, message.LParam);
}

// ---- Parent and showing

namespace {

// Whether control has, or can get, a window: it has one, or its parent
// chain ends in a form or a plain parent window.
bool CanHaveHandle(TWinControl* control) {
    for (TWinControl* c = control; c; c = c->GetParent()) {
        if (c->HandleAllocated() || c->GetParentWindow()) return true;
        if (!c->GetParent()) return dynamic_cast<IFormHost*>(c) != nullptr;
    }
    return false;
}

} // namespace

void TWinControl::SetParent(TWinControl* value) {
    if (GetParent() == value) return;
    for (TControl* p = value; p; p = p->GetParent())
        if (p == this) throw EInvalidOperation(msg::ControlParentSetToSelf);
    if (FHandle && value && !CanHaveHandle(value)) DestroyHandle();
    if (GetParent()) GetParent()->RemoveControl(this);
    if (value) {
        value->InsertControl(this);
    } else if (FHandle) {
        if (FParentWindow) {
            ApplyParent(nullptr);
            UpdateControlState();
        } else if (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) {
            DestroyHandle();
        }
    }
}

// Moves the existing window under the new parent's window (or the parent
// window), keeping the handle.
void TWinControl::ApplyParent(TWinControl* newParent) {
    HWND parentWindow = newParent ? newParent->GetHandle() : FParentWindow;
    LONG style = GetWindowLongA(FHandle, GWL_STYLE);
    if (parentWindow && !(style & WS_CHILD)) {
        style = (style & ~static_cast<LONG>(WS_POPUP)) | WS_CHILD;
        SetWindowLongA(FHandle, GWL_STYLE, style);
    }
    ::SetParent(FHandle, parentWindow);
    HWND after = newParent ? newParent->PrecedingWindow(this) : HWND_TOP;
    SetWindowPos(FHandle, after, GetLeft(), GetTop(), 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinControl::UpdateControlState() {
    TWinControl* root = this;
    while (root->GetParent()) {
        root = root->GetParent();
        if (!root->FShowing) {
            // A hidden ancestor: this control is not showing either.
            if (FShowing) UpdateShowing();
            return;
        }
    }
    if (root->IsTopLevelControl() || root->FParentWindow || root != this) UpdateShowing();
}

void TWinControl::UpdateShowing() {
    if (GetParent())
        UpdateShowingAs(GetParent()->FShowing);
    else
        UpdateShowingAs(IsTopLevelControl() || FParentWindow != nullptr);
}

// The children learn the new state before the parent's window changes, so
// they appear together with it.
void TWinControl::UpdateShowingAs(bool parentShowing) {
    bool show = GetVisible() && parentShowing && !IsDestroying(this);
    if (show) {
        if (!FHandle) {
            // A window made inside a parent window that is still hidden
            // is made visible at once: nothing paints until the parent
            // shows, and showing it afterwards would cost one more pass
            // through the window manager for each window.
            FMadeShowing = GetParent() && GetParent()->FHandle && !IsWindowVisible(GetParent()->FHandle);
            try {
                CreateHandle();
            } catch (...) {
                FMadeShowing = false;
                throw;
            }
        }
        std::vector<TControl*> children = FControls;
        for (TControl* child : children) {
            if (!Contains(FControls, child)) continue;
            if (auto* window = dynamic_cast<TWinControl*>(child)) window->UpdateShowingAs(true);
        }
    }
    if (FHandle && FShowing != show) {
        FShowing = show;
        try {
            Perform(CM_SHOWINGCHANGED);
        } catch (...) {
            FShowing = !show;
            throw;
        }
    }
    if (!show) {
        FShowing = false;
        std::vector<TControl*> children = FControls;
        for (TControl* child : children) {
            if (!Contains(FControls, child)) continue;
            if (auto* window = dynamic_cast<TWinControl*>(child)) window->UpdateShowingAs(false);
        }
    }
}

void TWinControl::CMShowingChanged(TMessage&) {
    // A window made visible for this showing is there already, with the
    // frame it was made with.
    const bool madeShowing = FMadeShowing;
    FMadeShowing = false;
    if (madeShowing && FShowing && (GetWindowLongA(FHandle, GWL_STYLE) & WS_VISIBLE)) return;
    // Showing also renews the frame (a control may have changed its
    // non-client area while hidden).
    const UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, flags | (FShowing ? SWP_SHOWWINDOW | SWP_FRAMECHANGED : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage& message) {
    if (!GetVisible() && GetParent()) RemoveFocus(false);
    TControl::Dispatch(message);
    UpdateControlState();
}

void TWinControl::CMEnabledChanged(TMessage& message) {
    if (!GetEnabled() && GetParent()) RemoveFocus(false);
    if (FHandle) EnableWindow(FHandle, GetEnabled());
    TControl::Dispatch(message);
}

// ---- Children

TControl* TWinControl::GetControls(int index) const {
    if (index < 0 || index >= GetControlCount()) throw EListError(Format(msg::ListIndexError, {index}));
    return FControls[static_cast<size_t>(index)];
}

void TWinControl::InsertToLists(TControl* control) {
    FControls.push_back(control);
    if (auto* window = dynamic_cast<TWinControl*>(control)) FTabList.push_back(window);
    control->FParent = this;
}

void TWinControl::RemoveFromLists(TControl* control) {
    FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), control), FTabList.end());
    if (FMouseControl == control) FMouseControl = nullptr;
    if (GCaptureControl == control) {
        GCaptureControl = nullptr;
        if (FHandle && GetCapture() == FHandle) ReleaseCapture();
    }
    control->FParent = nullptr;
}

void TWinControl::InsertControl(TControl* control) {
    if (!control || control->FParent == this) return;
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<uintptr_t>(control), 1);
    InsertToLists(control);
    auto* window = dynamic_cast<TWinControl*>(control);
    if (window && window->FHandle) window->ApplyParent(this);
    if (!control->GetComponentState().Contains(csReading)) {
        control->Perform(CM_PARENTCOLORCHANGED);
        control->Perform(CM_PARENTFONTCHANGED);
        control->Perform(CM_PARENTSHOWHINTCHANGED);
        control->Perform(CM_PARENTBIDIMODECHANGED);
        if (window) {
            window->Perform(CM_PARENTCTL3DCHANGED);
            window->UpdateControlState();
        } else {
            control->Invalidate();
        }
        control->UpdateAnchorRules();
        if (control->FAlign != alNone) AlignControl(control);
    }
    Perform(CM_CONTROLCHANGE, reinterpret_cast<uintptr_t>(control), 1);
}

void TWinControl::RemoveControl(TControl* control) {
    if (!control || control->FParent != this) return;
    Perform(CM_CONTROLCHANGE, reinterpret_cast<uintptr_t>(control), 0);
    if (control->FParent != this) return;
    if (auto* window = dynamic_cast<TWinControl*>(control)) {
        window->RemoveFocus(true);
    } else {
        control->InvalidateControl(control->FVisible, false);
    }
    RemoveFromLists(control);
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<uintptr_t>(control), 0);
    if (control->FAlign != alNone) Realign();
}

void TWinControl::Broadcast(TMessage& message) {
    std::vector<TControl*> children = FControls;
    for (TControl* child : children) {
        if (!Contains(FControls, child)) continue;
        child->FWindowProc(message);
        if (message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    std::vector<TControl*> children = FControls;
    for (TControl* child : children) {
        if (!Contains(FControls, child)) continue;
        TMessage message = MakeMessage(msg, wParam, lParam);
        child->FWindowProc(message);
    }
}

bool TWinControl::ContainsControl(TControl* control) const noexcept {
    while (control && control != this) control = control->GetParent();
    return control != nullptr;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls) {
    auto hit = [&](TControl* c) {
        if (!c->GetVisible() || (!c->GetEnabled() && !allowDisabled)) return false;
        if (!PtInRect(c->GetBoundsRect(), pos)) return false;
        return c->Perform(CM_HITTEST, 0, PointToLParam(Point(pos.X - c->GetLeft(), pos.Y - c->GetTop()))) != 0;
    };
    std::vector<TControl*> children = FControls;
    if (allowWinControls) {
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            if (IsWindowed(*it) && hit(*it)) return *it;
    }
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (!IsWindowed(*it) && hit(*it)) return *it;
    return nullptr;
}

TControl* TWinControl::FindChildControl(const std::string& name) const {
    for (TControl* child : FControls)
        if (SameText(child->GetName(), name)) return child;
    return nullptr;
}

// Whether the window already lies right below after (at the top for
// HWND_TOP). A new child window comes below its siblings, so the first
// window of a parent is in place and the later ones are not.
bool TWinControl::IsInZOrderPlace(HWND after) const {
    if (after == HWND_TOP) {
        for (TControl* sibling : GetParent()->FControls) {
            auto* window = dynamic_cast<TWinControl*>(sibling);
            if (window && window != this && window->FHandle) return false;
        }
        return !GetWindow(FHandle, GW_HWNDPREV);
    }
    return GetWindow(FHandle, GW_HWNDPREV) == after;
}

HWND TWinControl::PrecedingWindow(TWinControl* control) const {
    auto it = std::find(FControls.begin(), FControls.end(), control);
    if (it == FControls.end()) return HWND_TOP;
    for (++it; it != FControls.end(); ++it) {
        auto* window = dynamic_cast<TWinControl*>(*it);
        if (window && window->FHandle) return window->FHandle;
    }
    return HWND_TOP;
}

void TWinControl::SetZOrder(bool topMost) {
    if (GetParent()) {
        auto& list = GetParent()->FControls;
        auto it = std::find(list.begin(), list.end(), this);
        if (it != list.end()) {
            list.erase(it);
            if (topMost)
                list.push_back(this);
            else
                list.insert(list.begin(), this);
        }
    }
    if (FHandle)
        SetWindowPos(FHandle, topMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---- Geometry

void TWinControl::SetBounds(int left, int top, int width, int height) {
    if (!CheckNewSize(width, height)) return;
    if (left == GetLeft() && top == GetTop() && width == GetWidth() && height == GetHeight()) return;
    if (FHandle && !IsIconic(FHandle)) {
        SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        // The fields follow from WM_WINDOWPOSCHANGED; a window that did not
        // move (hidden owner, hooks) still gets the new values.
        UpdateBounds();
    } else {
        FLeft = left;
        FTop = top;
        FWidth = width;
        FHeight = height;
        if (FHandle) {
            WINDOWPLACEMENT placement{};
            placement.length = sizeof placement;
            GetWindowPlacement(FHandle, &placement);
            placement.rcNormalPosition = RECT{left, top, left + width, top + height};
            SetWindowPlacement(FHandle, &placement);
        }
    }
    UpdateAnchorRules();
    RequestAlign();
}

void TWinControl::UpdateBounds() {
    if (!FHandle) return;
    RECT r;
    LONG style = GetWindowLongA(FHandle, GWL_STYLE);
    if (!(style & WS_CHILD) && IsIconic(FHandle)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(FHandle, &placement);
        r = placement.rcNormalPosition;
    } else {
        GetWindowRect(FHandle, &r);
        if (style & WS_CHILD) {
            HWND parent = ::GetParent(FHandle);
            if (parent) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
        }
    }
    if (r.left == GetLeft() && r.top == GetTop() && r.right - r.left == GetWidth() && r.bottom - r.top == GetHeight())
        return;
    FLeft = r.left;
    FTop = r.top;
    FWidth = r.right - r.left;
    FHeight = r.bottom - r.top;
    UpdateAnchorRules();
}

TRect TWinControl::GetClientRect() {
    if (!FHandle) return TControl::GetClientRect();
    RECT r;
    ::GetClientRect(FHandle, &r);
    return FromRECT(r);
}

TPoint TWinControl::GetClientOrigin() {
    if (!FHandle && !CanHaveHandle(this)) return TControl::GetClientOrigin();
    POINT p{0, 0};
    ::ClientToScreen(GetHandle(), &p);
    return Point(p.x, p.y);
}

bool TWinControl::CanAutoSize(int& newWidth, int& newHeight) {
    bool any = false;
    int right = 0;
    int bottom = 0;
    for (TControl* child : FControls) {
        if (!child->GetVisible()) continue;
        any = true;
        right = std::max(right, child->GetLeft() + child->GetWidth());
        bottom = std::max(bottom, child->GetTop() + child->GetHeight());
    }
    if (!any) return true;
    TRect client = GetClientRect();
    newWidth = right + (GetWidth() - client.Width());
    newHeight = bottom + (GetHeight() - client.Height());
    return true;
}

void TWinControl::ChangeScale(int m, int d) {
    if (m == d || d == 0) return;
    DisableAlign();
    std::vector<TControl*> children = FControls;
    for (TControl* child : children) child->ChangeScale(m, d);
    TControl::ChangeScale(m, d);
    EnableAlign();
}

// ---- Alignment

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0) --FAlignLevel;
    if (FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded) && !IsLoading(this)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* control) {
    if (!FHandle || IsDestroying(this)) return;
    if (FAlignLevel != 0 || IsLoading(this)) {
        FControlState.Include(csAlignmentNeeded);
        return;
    }
    DisableAlign();
    try {
        TRect rect = GetClientRect();
        AlignControls(control, rect);
    } catch (...) {
        FControlState.Exclude(csAlignmentNeeded);
        --FAlignLevel;
        throw;
    }
    FControlState.Exclude(csAlignmentNeeded);
    EnableAlign();
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::AlignControls(TControl*, TRect& rect) {
    TRect client = rect;
    AdjustClientRect(rect);
    std::vector<TControl*> children = FControls;
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : children) {
            if (!Contains(FControls, c) || c->FAlign != align || !c->FVisible) continue;
            int w = c->FWidth;
            int h = c->FHeight;
            switch (align) {
            case alTop:
                c->SetAnchoredBounds(rect.Left, rect.Top, rect.Width(), h);
                rect.Top += c->FHeight;
                break;
            case alBottom:
                c->SetAnchoredBounds(rect.Left, rect.Bottom - h, rect.Width(), h);
                rect.Bottom -= c->FHeight;
                break;
            case alLeft:
                c->SetAnchoredBounds(rect.Left, rect.Top, w, rect.Height());
                rect.Left += c->FWidth;
                break;
            case alRight:
                c->SetAnchoredBounds(rect.Right - w, rect.Top, w, rect.Height());
                rect.Right -= c->FWidth;
                break;
            case alClient:
                c->SetAnchoredBounds(rect.Left, rect.Top, std::max(rect.Width(), 0), std::max(rect.Height(), 0));
                break;
            default:
                break;
            }
        }
    }
    // Anchored controls keep their distances to the anchored edges.
    for (TControl* c : children) {
        if (!Contains(FControls, c) || c->FAlign != alNone) continue;
        TAnchors anchors = c->FAnchors;
        if (anchors == TAnchors{akLeft, akTop}) continue;
        if (c->FAnchorParentSize.X <= 0 && c->FAnchorParentSize.Y <= 0) continue;
        int dx = client.Width() - c->FAnchorParentSize.X;
        int dy = client.Height() - c->FAnchorParentSize.Y;
        const TRect& b = c->FAnchorBounds;
        int left = b.Left;
        int width = b.Width();
        if (anchors.Contains(akRight)) {
            if (anchors.Contains(akLeft))
                width += dx;
            else
                left += dx;
        } else if (!anchors.Contains(akLeft)) {
            left += dx / 2;
        }
        int top = b.Top;
        int height = b.Height();
        if (anchors.Contains(akBottom)) {
            if (anchors.Contains(akTop))
                height += dy;
            else
                top += dy;
        } else if (!anchors.Contains(akTop)) {
            top += dy / 2;
        }
        c->SetAnchoredBounds(left, top, std::max(width, 0), std::max(height, 0));
    }
}

// ---- Focus

bool TWinControl::CanFocus() {
    IFormHost* form = GetParentFormHost(this);
    TControl* stop = form ? form->GetFormControl() : nullptr;
    for (TControl* c = this; c && c != stop; c = c->GetParent())
        if (!c->GetVisible() || !c->GetEnabled()) return false;
    if (form) return true;
    // Without a form: a plain parent window is enough.
    for (TWinControl* c = this; c; c = c->GetParent())
        if (!c->GetParent()) return c->FParentWindow != nullptr;
    return false;
}

bool TWinControl::Focused() const noexcept { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
    if (IFormHost* form = GetParentFormHost(this)) {
        form->FocusControl(this);
    } else if (FParentWindow) {
        ::SetFocus(GetHandle());
    } else {
        ValidParentFormHost(this);
    }
}

void TWinControl::RemoveFocus(bool removing) {
    IFormHost* form = GetParentFormHost(this);
    if (form && form->GetFormControl() != this && !IsDestroying(form->GetFormControl()))
        form->DefocusControl(this, removing);
}

void TWinControl::SetTabStop(bool value) {
    if (value == FTabStop) return;
    FTabStop = value;
    if (FHandle) {
        LONG style = GetWindowLongA(FHandle, GWL_STYLE);
        SetWindowLongA(FHandle, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG>(WS_TABSTOP)));
    }
    Perform(CM_TABSTOPCHANGED);
}

int TWinControl::GetTabOrder() const noexcept {
    if (!GetParent()) return -1;
    const auto& list = GetParent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
    if (!GetParent()) return;
    auto& list = GetParent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    value = std::clamp(value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
    for (TWinControl* child : FTabList) {
        list.push_back(child);
        child->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int count = static_cast<int>(list.size());
    auto it = std::find(list.begin(), list.end(), current);
    int start = it == list.end() ? (goForward ? count - 1 : 0) : static_cast<int>(it - list.begin());
    int i = start;
    do {
        if (goForward) {
            i = (i + 1) % count;
        } else {
            i = (i == 0 ? count : i) - 1;
        }
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c != current && c->CanFocus() && (!checkTabStop || c->FTabStop) &&
            (!checkParent || c->GetParent() == this))
            return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop)) next->SetFocus();
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::CMEnter(TMessage&) { DoEnter(); }

void TWinControl::CMExit(TMessage&) { DoExit(); }

// ---- Keys

void TWinControl::KeyDown(uint16_t& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(uint16_t& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

// The key-down and key-up steps: the form sees the key first when it
// previews keys, then the control's handler; a handler that clears the key
// swallows it, one that changes it changes the message.
bool TWinControl::DoKeyEvent(TMessage& message, bool (TWinControl::*step)(TMessage&),
                             void (TWinControl::*handler)(uint16_t&, TShiftState)) {
    IFormHost* form = GetParentFormHost(this);
    if (form && form->GetFormControl() != this && form->GetKeyPreview() && (form->GetFormControl()->*step)(message))
        return true;
    uint16_t key = LoWord(message.WParam);
    const uint16_t original = key;
    (this->*handler)(key, KeyMessageShiftState(message.WParam, message.LParam));
    if (key == 0) return true;
    if (key != original) message.WParam = key;
    return false;
}

bool TWinControl::DoKeyDown(TMessage& message) {
    return DoKeyEvent(message, &TWinControl::DoKeyDown, &TWinControl::KeyDown);
}

bool TWinControl::DoKeyUp(TMessage& message) {
    return DoKeyEvent(message, &TWinControl::DoKeyUp, &TWinControl::KeyUp);
}

bool TWinControl::DoKeyPress(TMessage& message) {
    IFormHost* form = GetParentFormHost(this);
    if (form && form->GetFormControl() != this && form->GetKeyPreview() && form->GetFormControl()->DoKeyPress(message))
        return true;
    char key = static_cast<char>(message.WParam & 0xFF);
    const char original = key;
    KeyPress(key);
    if (key == 0) return true;
    // Only a changed character is written back: the high word of WParam
    // may carry a character beyond 8 bits that the handler did not see.
    if (key != original) message.WParam = static_cast<unsigned char>(key);
    return false;
}

void TWinControl::WMKeyDown(TMessage& message) {
    if (!DoKeyDown(message)) DefaultHandler(message);
}

void TWinControl::WMKeyUp(TMessage& message) {
    if (!DoKeyUp(message)) DefaultHandler(message);
}

void TWinControl::WMChar(TMessage& message) {
    if (!DoKeyPress(message)) DefaultHandler(message);
}

bool TWinControl::IsMenuKey(TMessage& message) {
    // The popup menus of the control and its parents are asked by the
    // menus unit through the form's components (CM_ISSHORTCUT).
    // Sent by the message loop, the key has its scope already.
    std::optional<TKeyMessageScope> keys;
    if (!InKeyMessageScope(message.WParam, message.LParam)) keys.emplace(message.WParam, message.LParam);
    if (IFormHost* form = GetParentFormHost(this)) {
        if (form->IsShortCut(message)) return true;
    }
    if (ApplicationHost && ApplicationHost->GetHandle() &&
        SendMessageA(ApplicationHost->GetHandle(), CM_APPKEYDOWN, message.WParam, message.LParam) != 0)
        return true;
    return false;
}

void TWinControl::CNKeyDown(TMessage& message) {
    message.Result = 1;
    TComponentRef<TControl> alive(this);
    if (IsMenuKey(message)) return;
    if (!alive) return;
    uint16_t key = LoWord(message.WParam);
    uint32_t mask = 0;
    switch (key) {
    case VK_TAB:
        mask = DLGC_WANTTAB;
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        mask = DLGC_WANTARROWS;
        break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL:
        mask = DLGC_WANTALLKEYS;
        break;
    default:
        break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, key, message.LParam) == 0 &&
        (static_cast<uint32_t>(Perform(WM_GETDLGCODE)) & mask) == 0) {
        if (IFormHost* form = GetParentFormHost(this)) {
            if (form->GetFormControl()->Perform(CM_DIALOGKEY, key, message.LParam) != 0) return;
        }
    }
    message.Result = 0;
}

void TWinControl::CNChar(TMessage& message) {
    message.Result = 1;
    if ((static_cast<uint32_t>(Perform(WM_GETDLGCODE)) & DLGC_WANTCHARS) == 0) {
        if (IFormHost* form = GetParentFormHost(this)) {
            if (form->GetFormControl()->Perform(CM_DIALOGCHAR, message.WParam, message.LParam) != 0) return;
        }
    }
    message.Result = 0;
}

void TWinControl::CNSysChar(TMessage& message) {
    message.Result = 0;
    if (LoWord(message.WParam) == VK_SPACE) return;
    if (IFormHost* form = GetParentFormHost(this))
        message.Result = form->GetFormControl()->Perform(CM_DIALOGCHAR, message.WParam, message.LParam) != 0 ? 1 : 0;
}

bool SendKeyMenuToRoot(HWND window, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
    if ((wParam & 0xFFF0) != SC_KEYMENU || !window || !(GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) return false;
    HWND root = GetAncestor(window, GA_ROOT);
    if (!root || root == window || !IsWindowEnabled(root)) return false;
    result = SendMessageA(root, WM_SYSCOMMAND, wParam, lParam);
    return true;
}

// The window's menu is its form's: the form hears Alt+letter typed in a
// control, as it hears a tap of Alt, so that its menu bar opens the menu
// of that letter.
void TWinControl::WMSysCommand(TMessage& message) {
    if (!SendKeyMenuToRoot(FHandle, message.WParam, message.LParam, message.Result)) DefaultHandler(message);
}

void TWinControl::CMDialogKey(TMessage& message) { Broadcast(message); }

void TWinControl::CMDialogChar(TMessage& message) { Broadcast(message); }

// ---- Mouse

void TWinControl::TrackMouse() {
    if (!FMouseTracking && FHandle) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = FHandle;
        FMouseTracking = TrackMouseEvent(&track) != 0;
    }
    if (!FMouseInside) {
        FMouseInside = true;
        Perform(CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(this));
    }
}

void TWinControl::UpdateMouseControl(TControl* control) {
    if (control == FMouseControl) return;
    TControl* old = FMouseControl;
    FMouseControl = control;
    if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(old));
    if (control && FMouseControl == control)
        control->Perform(CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(control));
}

bool TWinControl::IsControlMouseMsg(TMessage& message) {
    TControl* control = nullptr;
    TPoint pos = LParamToPoint(message.LParam);
    if (FHandle && GetCapture() == FHandle) {
        if (GCaptureControl && GCaptureControl->GetParent() == this) control = GCaptureControl;
    } else {
        control = ControlAtPos(pos, false);
    }
    if (message.Msg == WM_MOUSEMOVE) UpdateMouseControl(control);
    if (!control) return false;
    TPoint local = Point(pos.X - control->GetLeft(), pos.Y - control->GetTop());
    message.Result = control->Perform(message.Msg, message.WParam, PointToLParam(local));
    return true;
}

void TWinControl::WMMouseWheel(TMessage& message) {
    TWMMouseWheel wheel(message);
    TShiftState shift = KeysToShiftState(wheel.GetKeys());
    for (TControl* c = this; c; c = c->GetParent()) {
        TMessage m = TCMMouseWheel::Make(shift, wheel.GetWheelDelta(), wheel.GetPos());
        c->FWindowProc(m);
        if (m.Result != 0) {
            message.Result = 1;
            return;
        }
    }
    // Every GCL parent was asked; a plain window has nothing to add.
    if (FDefWndProc != DefWindowProcA) DefaultHandler(message);
}

void TWinControl::WMSetCursor(TMessage& message) {
    TWMSetCursor m(message);
    if (ScreenHost && ScreenHost->GetCursor() != crDefault) {
        ::SetCursor(ScreenHost->GetCursors(ScreenHost->GetCursor()));
        message.Result = 1;
        return;
    }
    if (m.GetHitTest() == HTCLIENT && m.GetCursorWnd() == FHandle && ScreenHost) {
        POINT p;
        ::GetCursorPos(&p);
        ::ScreenToClient(FHandle, &p);
        TCursor cursor = GetCursor();
        if (TControl* child = ControlAtPos(Point(p.x, p.y), false)) cursor = child->GetCursor();
        if (cursor != crDefault) {
            ::SetCursor(ScreenHost->GetCursors(cursor));
            message.Result = 1;
            return;
        }
    }
    DefaultHandler(message);
}

// ---- Painting

void TWinControl::Invalidate() { Perform(CM_INVALIDATE); }

void TWinControl::CMInvalidate(TMessage&) {
    if (FHandle) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::SetParentBackground(bool value) {
    if (value == GetParentBackground()) return;
    if (value)
        FControlStyle.Include(csParentBackground);
    else
        FControlStyle.Exclude(csParentBackground);
    Invalidate();
}

void TWinControl::PaintWindow(HDC dc) {
    TMessage message = MakeMessage(WM_PAINT, reinterpret_cast<uintptr_t>(dc), 0);
    DefaultHandler(message);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
    auto it = first ? std::find(FControls.begin(), FControls.end(), first) : FControls.begin();
    std::vector<TControl*> children(it, FControls.end());
    for (TControl* c : children) {
        if (IsWindowed(c) || !c->GetVisible() || !Contains(FControls, c)) continue;
        RECT r = ToRECT(c->GetBoundsRect());
        if (!RectVisible(dc, &r)) continue;
        int saved = SaveDC(dc);
        OffsetWindowOrgEx(dc, -c->GetLeft(), -c->GetTop(), nullptr);
        IntersectClipRect(dc, 0, 0, c->GetWidth(), c->GetHeight());
        try {
            c->Perform(WM_PAINT, reinterpret_cast<uintptr_t>(dc), 0);
        } catch (...) {
            RestoreDC(dc, saved);
            throw;
        }
        RestoreDC(dc, saved);
    }
}

void TWinControl::PaintHandler(TMessage& message) {
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    PAINTSTRUCT ps{};
    if (!dc) dc = BeginPaint(FHandle, &ps);
    try {
        int saved = SaveDC(dc);
        for (TControl* c : FControls) {
            if (IsWindowed(c) || !c->GetVisible() || !c->FControlStyle.Contains(csOpaque)) continue;
            ExcludeClipRect(dc, c->GetLeft(), c->GetTop(), c->GetLeft() + c->GetWidth(), c->GetTop() + c->GetHeight());
        }
        try {
            PaintWindow(dc);
        } catch (...) {
            RestoreDC(dc, saved);
            throw;
        }
        RestoreDC(dc, saved);
        PaintControls(dc, nullptr);
    } catch (...) {
        if (!message.WParam) EndPaint(FHandle, &ps);
        throw;
    }
    if (!message.WParam) EndPaint(FHandle, &ps);
}

void TWinControl::WMPaint(TMessage& message) {
    if (!FDoubleBuffered || message.WParam != 0) {
        PaintHandler(message);
        return;
    }
    // Double buffering: erase and paint into a memory DC, then copy it.
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(FHandle, &ps);
    RECT client;
    ::GetClientRect(FHandle, &client);
    try {
        const TPaintBuffer buffer(dc, client.right, client.bottom);
        HDC memory = buffer.GetDC();
        Perform(WM_ERASEBKGND, reinterpret_cast<uintptr_t>(memory), reinterpret_cast<intptr_t>(memory));
        Perform(WM_PAINT, reinterpret_cast<uintptr_t>(memory), 0);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    } catch (...) {
        EndPaint(FHandle, &ps);
        throw;
    }
    EndPaint(FHandle, &ps);
}

void TWinControl::DrawParentBackground(HDC dc) {
    TWinControl* parent = GetParent();
    if (!parent || !parent->FHandle) return;
    int saved = SaveDC(dc);
    OffsetWindowOrgEx(dc, GetLeft(), GetTop(), nullptr);
    try {
        parent->Perform(WM_ERASEBKGND, reinterpret_cast<uintptr_t>(dc), reinterpret_cast<intptr_t>(dc));
        parent->Perform(WM_PRINTCLIENT, reinterpret_cast<uintptr_t>(dc), PRF_CLIENT);
    } catch (...) {
        RestoreDC(dc, saved);
        throw;
    }
    RestoreDC(dc, saved);
}

void TWinControl::WMEraseBkgnd(TMessage& message) {
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    message.Result = 1;
    // The buffered paint erases into its memory DC (WParam = LParam); the
    // system's erase of the screen would only flicker.
    if (FDoubleBuffered && message.WParam != static_cast<uintptr_t>(message.LParam)) return;
    if (FControlStyle.Contains(csOpaque) || !dc) return;
    if (FControlStyle.Contains(csParentBackground) && GetParent()) {
        DrawParentBackground(dc);
        return;
    }
    RECT r = ToRECT(GetClientRect());
    FillRect(dc, &r, FBrush->GetHandle());
}

void TWinControl::WMPrintClient(TMessage& message) {
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    if (!dc || ((message.LParam & PRF_CHECKVISIBLE) && !GetVisible())) {
        DefaultHandler(message);
        return;
    }
    int saved = SaveDC(dc);
    TMessage paint = MakeMessage(WM_PAINT, message.WParam, 0);
    try {
        PaintHandler(paint);
    } catch (...) {
        RestoreDC(dc, saved);
        throw;
    }
    RestoreDC(dc, saved);
}

// ---- Frame

int TWinControl::BevelEdgeSize() const noexcept {
    if (FBevelKind == bkNone) return 0;
    int size = 0;
    if (FBevelInner != bvNone) size += FBevelWidth;
    if (FBevelOuter != bvNone) size += FBevelWidth;
    return size;
}

void TWinControl::FrameChanged() {
    if (FHandle)
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}

void TWinControl::SetBevelEdges(TBevelEdges value) {
    if (value == FBevelEdges) return;
    FBevelEdges = value;
    FrameChanged();
}

void TWinControl::SetBevelInner(TBevelCut value) {
    if (value == FBevelInner) return;
    FBevelInner = value;
    FrameChanged();
}

void TWinControl::SetBevelOuter(TBevelCut value) {
    if (value == FBevelOuter) return;
    FBevelOuter = value;
    FrameChanged();
}

void TWinControl::SetBevelKind(TBevelKind value) {
    if (value == FBevelKind) return;
    FBevelKind = value;
    FrameChanged();
}

void TWinControl::SetBevelWidth(TBevelWidth value) {
    value = std::max(value, 1);
    if (value == FBevelWidth) return;
    FBevelWidth = value;
    FrameChanged();
}

void TWinControl::SetBorderWidth(TBorderWidth value) {
    value = std::max(value, 0);
    if (value == FBorderWidth) return;
    FBorderWidth = value;
    FrameChanged();
}

void TWinControl::SetBorderStyle(TBorderStyle value) { StoreAndRecreateWnd(FBorderStyle, value); }

void TWinControl::SetCtl3D(bool value) {
    if (value == FCtl3D) return;
    FCtl3D = value;
    FParentCtl3D = false;
    Perform(CM_CTL3DCHANGED);
}

void TWinControl::SetParentCtl3D(bool value) {
    if (value == FParentCtl3D) return;
    FParentCtl3D = value;
    if (value && GetParent() && !IsLoading(this)) Perform(CM_PARENTCTL3DCHANGED);
}

void TWinControl::CMParentCtl3DChanged(TMessage&) {
    if (!FParentCtl3D || !GetParent()) return;
    SetCtl3D(GetParent()->FCtl3D);
    FParentCtl3D = true;
}

void TWinControl::WMNCCalcSize(TMessage& message) {
    DefaultHandler(message);
    int edge = BevelEdgeSize();
    if (edge == 0 && FBorderWidth == 0) return;
    // With or without NCCALCSIZE_PARAMS the first rectangle comes first.
    RECT* r = reinterpret_cast<RECT*>(message.LParam);
    if (!r) return;
    if (FBevelEdges.Contains(beLeft)) r->left += edge;
    if (FBevelEdges.Contains(beTop)) r->top += edge;
    if (FBevelEdges.Contains(beRight)) r->right -= edge;
    if (FBevelEdges.Contains(beBottom)) r->bottom -= edge;
    InflateRect(r, -FBorderWidth, -FBorderWidth);
    if (r->right < r->left) r->right = r->left;
    if (r->bottom < r->top) r->bottom = r->top;
}

void TWinControl::WMNCPaint(TMessage& message) {
    // The system's default draws nothing on a window without a frame, and
    // the window's DC it gets for that costs a round trip to the server.
    if (FHandle && (FDefWndProc == &DefWindowProcA || FDefWndProc == &DefWindowProcW) &&
        !HasNonClientArea(FHandle)) {
        message.Result = 0;
        return;
    }
    DefaultHandler(message);
    int edge = BevelEdgeSize();
    if ((edge == 0 && FBorderWidth == 0) || !FHandle) return;
    HDC dc = GetWindowDC(FHandle);
    if (!dc) return;
    RECT window;
    GetWindowRect(FHandle, &window);
    RECT client;
    ::GetClientRect(FHandle, &client);
    MapWindowPoints(FHandle, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -window.left, -window.top);
    // The system places scroll bars beside the client area, inside the
    // frame: the frame surrounds both.
    AddScrollBarsToClientRect(FHandle, client);
    RECT outer = client;
    InflateRect(&outer, FBorderWidth, FBorderWidth);
    if (FBevelEdges.Contains(beLeft)) outer.left -= edge;
    if (FBevelEdges.Contains(beTop)) outer.top -= edge;
    if (FBevelEdges.Contains(beRight)) outer.right += edge;
    if (FBevelEdges.Contains(beBottom)) outer.bottom += edge;
    int saved = SaveDC(dc);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    FillRect(dc, &outer, FBrush->GetHandle());
    if (edge > 0) {
        UINT inner = FBevelInner == bvLowered ? BDR_SUNKENINNER : FBevelInner == bvRaised ? BDR_RAISEDINNER : 0;
        UINT outerEdge = FBevelOuter == bvLowered ? BDR_SUNKENOUTER : FBevelOuter == bvRaised ? BDR_RAISEDOUTER : 0;
        UINT flags = 0;
        if (FBevelEdges.Contains(beLeft)) flags |= BF_LEFT;
        if (FBevelEdges.Contains(beTop)) flags |= BF_TOP;
        if (FBevelEdges.Contains(beRight)) flags |= BF_RIGHT;
        if (FBevelEdges.Contains(beBottom)) flags |= BF_BOTTOM;
        if (FBevelKind == bkSoft) flags |= BF_SOFT;
        if (FBevelKind == bkFlat) flags |= BF_FLAT;
        if (inner | outerEdge) DrawEdge(dc, &outer, inner | outerEdge, flags);
    }
    RestoreDC(dc, saved);
    ReleaseDC(FHandle, dc);
}

// ---- Messages

void TWinControl::ReflectNotification(TMessage& message, HWND child) {
    TWinControl* control = child ? FindControl(child) : nullptr;
    if (control && control != this) {
        message.Result = control->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
        return;
    }
    DefaultHandler(message);
}

void TWinControl::CMColorChanged(TMessage& message) {
    FBrush->SetColor(GetColor());
    NotifyControls(CM_PARENTCOLORCHANGED);
    TControl::Dispatch(message);
}

void TWinControl::CMFontChanged(TMessage& message) {
    if (FHandle) Perform(WM_SETFONT, reinterpret_cast<uintptr_t>(GetFont()->GetHandle()), 0);
    NotifyControls(CM_PARENTFONTCHANGED);
    TControl::Dispatch(message);
}

void TWinControl::CMSysColorChange(TMessage&) {
    NotifyControls(CM_SYSCOLORCHANGE);
    Invalidate();
}

void TWinControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_SETFOCUS: {
        IFormHost* form = GetParentFormHost(this);
        if (form && !form->SetFocusedControl(this)) return;
        break;
    }
    case WM_KILLFOCUS:
        if (FControlState.Contains(csFocusing)) return;
        break;
    case WM_NCHITTEST:
        TControl::WndProc(message);
        if (message.Result == HTTRANSPARENT && ControlAtPos(ScreenToClient(LParamToPoint(message.LParam)), false))
            message.Result = HTCLIENT;
        return;
    case WM_MOUSEMOVE:
        TrackMouse();
        break;
    case WM_MOUSELEAVE:
        FMouseTracking = false;
        UpdateMouseControl(nullptr);
        if (FMouseInside) {
            FMouseInside = false;
            Perform(CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(this));
        }
        break;
    case WM_CANCELMODE:
        if (FHandle && GetCapture() == FHandle && GCaptureControl && GCaptureControl->GetParent() == this)
            GCaptureControl->Perform(WM_CANCELMODE);
        break;
    default:
        break;
    }
    // The wheels' points are on the screen: they go to no graphic child.
    if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST && message.Msg != WM_MOUSEWHEEL &&
        message.Msg != WM_MOUSEHWHEEL) {
        if (IsControlMouseMsg(message)) {
            // The window itself still turns clicks into WM_CONTEXTMENU and
            // the like.
            if (message.Result == 0 && FHandle)
                DefWindowProcA(FHandle, message.Msg, message.WParam, message.LParam);
            return;
        }
    }
    TControl::WndProc(message);
}

void TWinControl::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_PAINT:
        WMPaint(message);
        break;
    case WM_ERASEBKGND:
        WMEraseBkgnd(message);
        break;
    case WM_PRINTCLIENT:
        WMPrintClient(message);
        break;
    case WM_NCCALCSIZE:
        WMNCCalcSize(message);
        break;
    case WM_NCPAINT:
        WMNCPaint(message);
        break;
    case WM_SETCURSOR:
        WMSetCursor(message);
        break;
    case WM_MOUSEWHEEL:
        WMMouseWheel(message);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        WMKeyDown(message);
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        WMKeyUp(message);
        break;
    case WM_CHAR:
        WMChar(message);
        break;
    case WM_SIZE:
        UpdateBounds();
        DefaultHandler(message);
        Realign();
        if (!IsLoading(this)) Resize();
        break;
    case WM_MOVE:
    case WM_WINDOWPOSCHANGED:
        DefaultHandler(message);
        UpdateBounds();
        break;
    case WM_NCDESTROY: {
        DefaultHandler(message);
        HWND handle = FHandle;
        if (handle) DetachControlFromWindow(handle);
        FHandle = nullptr;
        FShowing = false;
        FMouseTracking = false;
        FMouseInside = false;
        break;
    }
    case WM_CONTEXTMENU: {
        if (message.Result == 0) {
            TPoint pos = LParamToPoint(message.LParam);
            if (!(pos.X == -1 && pos.Y == -1)) {
                if (TControl* child = ControlAtPos(ScreenToClient(pos), false)) {
                    message.Result = child->Perform(WM_CONTEXTMENU, message.WParam, message.LParam);
                    if (message.Result != 0) break;
                }
            }
        }
        TControl::Dispatch(message);
        break;
    }
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(message.LParam) != FHandle) {
            if (GCaptureControl && GCaptureControl->GetParent() == this) {
                TControl* control = GCaptureControl;
                GCaptureControl = nullptr;
                control->FControlState.Exclude(csLButtonDown);
                control->FControlState.Exclude(csClicked);
            }
            FControlState.Exclude(csClicked);
        }
        DefaultHandler(message);
        break;
    case WM_COMMAND:
        ReflectNotification(message, reinterpret_cast<HWND>(message.LParam));
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(message.LParam);
        ReflectNotification(message, header ? header->hwndFrom : nullptr);
        break;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
        ReflectNotification(message, item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr);
        break;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
        HWND child = item && item->CtlType != ODT_MENU && FHandle ? GetDlgItem(FHandle, item->CtlID) : nullptr;
        ReflectNotification(message, child);
        break;
    }
    case WM_DELETEITEM: {
        auto* item = reinterpret_cast<DELETEITEMSTRUCT*>(message.LParam);
        ReflectNotification(message, item ? item->hwndItem : nullptr);
        break;
    }
    case WM_COMPAREITEM: {
        auto* item = reinterpret_cast<COMPAREITEMSTRUCT*>(message.LParam);
        ReflectNotification(message, item ? item->hwndItem : nullptr);
        break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        ReflectNotification(message, reinterpret_cast<HWND>(message.LParam));
        break;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
        CNKeyDown(message);
        break;
    case CN_CHAR:
        CNChar(message);
        break;
    case CN_SYSCHAR:
        CNSysChar(message);
        break;
    case WM_SYSCOMMAND:
        WMSysCommand(message);
        break;
    case CM_SHOWINGCHANGED:
        CMShowingChanged(message);
        break;
    case CM_VISIBLECHANGED:
        CMVisibleChanged(message);
        break;
    case CM_ENABLEDCHANGED:
        CMEnabledChanged(message);
        break;
    case CM_COLORCHANGED:
        CMColorChanged(message);
        break;
    case CM_FONTCHANGED:
        CMFontChanged(message);
        break;
    case CM_DIALOGKEY:
        CMDialogKey(message);
        break;
    case CM_DIALOGCHAR:
        CMDialogChar(message);
        break;
    case CM_ENTER:
        CMEnter(message);
        break;
    case CM_EXIT:
        CMExit(message);
        break;
    case CM_FOCUSCHANGED:
        Broadcast(message);
        break;
    case CM_SHOWHINTCHANGED:
        NotifyControls(CM_PARENTSHOWHINTCHANGED);
        break;
    case CM_BIDIMODECHANGED:
        NotifyControls(CM_PARENTBIDIMODECHANGED);
        Invalidate();
        break;
    case CM_CTL3DCHANGED:
        NotifyControls(CM_PARENTCTL3DCHANGED);
        if (FBorderStyle == bsSingle) RecreateWnd();
        break;
    case CM_PARENTCTL3DCHANGED:
        CMParentCtl3DChanged(message);
        break;
    case CM_RECREATEWND:
        CMRecreateWnd(message);
        break;
    case CM_INVALIDATE:
        CMInvalidate(message);
        break;
    case CM_SYSCOLORCHANGE:
        CMSysColorChange(message);
        break;
    case CM_WININICHANGE:
        NotifyControls(CM_WININICHANGE, message.WParam, message.LParam);
        break;
    case CM_SYSFONTCHANGED:
        TControl::Dispatch(message);
        NotifyControls(CM_SYSFONTCHANGED);
        break;
    case CM_CURSORCHANGED:
        if (FHandle) {
            POINT p;
            ::GetCursorPos(&p);
            if (WindowFromPoint(p) == FHandle)
                Perform(WM_SETCURSOR, reinterpret_cast<uintptr_t>(FHandle), MAKELONG(HTCLIENT, WM_MOUSEMOVE));
        }
        break;
    default:
        TControl::Dispatch(message);
        break;
    }
}

// ---- TControlCanvas ----------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TControlCanvas)

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* value) {
    if (value == FControl) return;
    FreeHandle();
    FControl = value;
}

void TControlCanvas::CreateHandle() {
    if (!FControl) return;
    HWND window = FControl->GetDeviceContextWindow();
    if (!window) return;
    HDC dc = GetDCEx(window, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (!dc) return;
    if (!dynamic_cast<TWinControl*>(FControl)) {
        // A windowless control draws on its parent's window, moved to its
        // position and clipped to its bounds.
        SetWindowOrgEx(dc, -FControl->GetLeft(), -FControl->GetTop(), nullptr);
        IntersectClipRect(dc, 0, 0, FControl->GetWidth(), FControl->GetHeight());
    }
    FDeviceContext = dc;
    FWindowHandle = window;
    GCanvasesWithDC.push_back(this);
    SetHandle(dc);
}

void TControlCanvas::FreeHandle() noexcept {
    if (!FDeviceContext) return;
    HDC dc = FDeviceContext;
    HWND window = FWindowHandle;
    FDeviceContext = nullptr;
    FWindowHandle = nullptr;
    GCanvasesWithDC.erase(std::remove(GCanvasesWithDC.begin(), GCanvasesWithDC.end(), this), GCanvasesWithDC.end());
    try {
        SetHandle(nullptr);
    } catch (...) {
    }
    ReleaseDC(window, dc);
}

// ---- TCustomControl -------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TCustomControl)

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), FCanvas(std::make_unique<TControlCanvas>()) {
    FCanvas->SetControl(this);
}

TCanvasPaintScope::TCanvasPaintScope(TControlCanvas& canvas, HDC dc) : FCanvas(canvas) {
    FCanvas.FreeHandle();
    FCanvas.Lock();
    FCanvas.SetHandle(dc);
}

TCanvasPaintScope::~TCanvasPaintScope() {
    FCanvas.SetHandle(nullptr);
    FCanvas.Unlock();
}

TCustomControl::~TCustomControl() = default;

TCanvas* TCustomControl::GetCanvas() const noexcept { return FCanvas.get(); }

void TCustomControl::PaintWindow(HDC dc) {
    TCanvasPaintScope scope(*FCanvas, dc);
    Paint();
}

void TCustomControl::DestroyWnd() {
    FCanvas->FreeHandle();
    TWinControl::DestroyWnd();
}

// ---- TGraphicControl -------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGraphicControl)

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), FCanvas(std::make_unique<TControlCanvas>()) {
    FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() = default;

TCanvas* TGraphicControl::GetCanvas() const noexcept { return FCanvas.get(); }

void TGraphicControl::ApplyTransparent(bool transparent) {
    TControlStyle style = GetControlStyle();
    if (transparent)
        style.Exclude(csOpaque);
    else
        style.Include(csOpaque);
    SetControlStyle(style);
    Invalidate();
}

void TGraphicControl::Dispatch(TMessage& message) {
    if (message.Msg == WM_PAINT && message.WParam != 0) {
        FCanvas->FreeHandle();
        FCanvas->Lock();
        try {
            FCanvas->SetHandle(reinterpret_cast<HDC>(message.WParam));
            Paint();
        } catch (...) {
            FCanvas->SetHandle(nullptr);
            FCanvas->Unlock();
            throw;
        }
        FCanvas->SetHandle(nullptr);
        FCanvas->Unlock();
        return;
    }
    TControl::Dispatch(message);
}

// ---- TMouse -----------------------------------------------------------------------------

TMouse::TMouse() : FDragThreshold(GetSystemMetrics(SM_CXDRAG)) {
    if (FDragThreshold <= 0) FDragThreshold = 4;
}

TPoint TMouse::GetCursorPos() const {
    POINT p{0, 0};
    ::GetCursorPos(&p);
    return Point(p.x, p.y);
}

void TMouse::SetCursorPos(TPoint value) { ::SetCursorPos(value.X, value.Y); }

void TMouse::SetCapture(HWND value) {
    if (value)
        ::SetCapture(value);
    else
        ReleaseCapture();
}

int TMouse::GetWheelScrollLines() const {
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return static_cast<int>(lines);
}

// ---- Unit ---------------------------------------------------------------------------------

namespace {

void InitializeControls() {
    GWindowAtom = GlobalAddAtomA(WindowAtomName().c_str());
    GControlAtom = GlobalAddAtomA(ControlAtomName().c_str());
    if (!GWindowAtom || !GControlAtom) RaiseLastOSError();
    Mouse = new TMouse();
}

void FinalizeControls() {
    FreeDeviceContexts();
    delete Mouse;
    Mouse = nullptr;
    if (GControlAtom) GlobalDeleteAtom(GControlAtom);
    if (GWindowAtom) GlobalDeleteAtom(GWindowAtom);
    GControlAtom = 0;
    GWindowAtom = 0;
}

} // namespace

TUnit ControlsUnit{"Controls", &InitializeControls, &FinalizeControls};

namespace {

void InitializeCommonControls() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
}

} // namespace

TUnit CommonControlsUnit{"CommonControls", &InitializeCommonControls};

} // namespace gcl
