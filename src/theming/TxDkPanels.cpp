// The panel object's shared hot-tracking timer, pushed state and parent
// background; the text object's measuring, drawing and auto-sizing; the
// margins object.
#include "theming/TxDkPanels.h"

#include <algorithm>

#include "gcl/Forms.h"

namespace qelvo {

using gcl::TMessage;

// ---- TTxControlMargins ----------------------------------------------------------

GCL_PUBLISHED(TTxControlMargins,
    GCL_PROP(Left).Default(0),
    GCL_PROP(Top).Default(0),
    GCL_PROP(Right).Default(0),
    GCL_PROP(Bottom).Default(0))

void TTxControlMargins::SetValue(int32_t& field, int32_t value) {
    if (field == value) return;
    field = value;
    Changed();
}

void TTxControlMargins::Changed() {
    if (OnChange) OnChange(this);
}

void TTxControlMargins::Assign(gcl::TPersistent* source) {
    if (auto* margins = dynamic_cast<TTxControlMargins*>(source)) {
        FLeft = margins->FLeft;
        FTop = margins->FTop;
        FRight = margins->FRight;
        FBottom = margins->FBottom;
        Changed();
        return;
    }
    inherited::Assign(source);
}

// ---- TTxPanelObject ---------------------------------------------------------------

namespace {

// One timer for every panel object; it runs only while one of them is hot.
gcl::TTimer* SharedHotTimer = nullptr;
TTxPanelObject* SharedHotObject = nullptr;
int PanelObjectCount = 0;

gcl::TControl* ControlUnderCursor() {
    POINT p;
    if (!GetCursorPos(&p)) return nullptr;
    return gcl::FindDragTarget(TPoint{p.x, p.y}, true);
}

} // namespace

GCL_IMPLEMENT_CLASS(TTxPanelObject)

TTxPanelObject::TTxPanelObject(gcl::TComponent* owner) : TCustomControl(owner) {
    gcl::TControlStyle style = GetControlStyle();
    style.Include(gcl::csAcceptsControls);
    style.Include(gcl::csClickEvents);
    style.Include(gcl::csDoubleClicks);
    style.Exclude(gcl::csOpaque);
    SetControlStyle(style);
    SetParentColor(false);
    SetColor(clNone);
    if (PanelObjectCount++ == 0) {
        SharedHotTimer = gcl::TTimer::Create(nullptr);
        SharedHotTimer->SetEnabled(false);
        SharedHotTimer->SetInterval(125);
    }
    AddThemeListener(this);
}

TTxPanelObject::~TTxPanelObject() = default;

void TTxPanelObject::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    if (SharedHotObject == this) StopHotTracking();
    if (--PanelObjectCount == 0 && SharedHotTimer) {
        SharedHotTimer->Free();
        SharedHotTimer = nullptr;
    }
    inherited::BeforeDestruction();
}

TTxPanelObject* TTxPanelObject::HotObject() noexcept { return SharedHotObject; }
gcl::TTimer* TTxPanelObject::HotTimer() noexcept { return SharedHotTimer; }

void TTxPanelObject::SetPanelOptions(uint8_t value) {
    if (value == FPanelOptions) return;
    FPanelOptions = value;
    SetDoubleBuffered((value & poDoubleBuffered) != 0);
    if (HandleAllocated()) RecreateWnd();
}

void TTxPanelObject::CreateParams(gcl::TCreateParams& params) {
    inherited::CreateParams(params);
    if (!GetComponentState().Contains(gcl::csDesigning))
        params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TTxPanelObject::StopHotTracking() noexcept {
    if (SharedHotTimer) {
        SharedHotTimer->SetEnabled(false);
        SharedHotTimer->OnTimer = {};
    }
    SharedHotObject = nullptr;
}

void TTxPanelObject::DoMouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TTxPanelObject::DoMouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
}

void TTxPanelObject::MouseEnter() {
    if (!GetEnabled() || FMouseInControl) return;
    FMouseInControl = true;
    DoMouseEnter();
}

void TTxPanelObject::MouseLeave() {
    if (!GetEnabled() || !FMouseInControl) return;
    FMouseInControl = false;
    StopHotTracking();
    DoMouseLeave();
    Invalidate();
}

void TTxPanelObject::HotTimerTick(gcl::TObject*) {
    if (SharedHotObject && ControlUnderCursor() != SharedHotObject) SharedHotObject->MouseLeave();
}

void TTxPanelObject::MouseMove(gcl::TShiftState shift, int x, int y) {
    gcl::TControl* under = ControlUnderCursor();
    if (under == this) {
        if (SharedHotObject != this) {
            if (SharedHotObject) SharedHotObject->MouseLeave();
            SharedHotObject = this;
            SharedHotTimer->OnTimer = gcl::TNotifyEvent(this, &TTxPanelObject::HotTimerTick);
            SharedHotTimer->SetEnabled(true);
            MouseEnter();
        }
    } else if (GetMouseCapture() && FMouseInControl) {
        MouseLeave();
    }
    inherited::MouseMove(shift, x, y);
}

void TTxPanelObject::SetPushedState(bool value) {
    if (FPushed == value) return;
    FPushed = value;
    Invalidate();
}

void TTxPanelObject::MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    if (button == gcl::mbLeft) {
        SetPushedState(true);
        if (GetEnabled()) MouseEnter();
        if (!FFocusOnlyWhenActive) {
            if (GetShowing() && CanFocus()) SetFocus();
        } else {
            gcl::TWinControl* focused = gcl::FindControl(GetFocus());
            if (GetParent() && focused && GetParent()->ContainsControl(focused) && GetShowing() && CanFocus()) {
                FFocusedByMouse = true;
                try {
                    SetFocus();
                } catch (...) {
                    FFocusedByMouse = false;
                    throw;
                }
                FFocusedByMouse = false;
            }
        }
    }
    inherited::MouseDown(button, shift, x, y);
}

void TTxPanelObject::MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    if (FPushed) {
        FPushed = false;
        Invalidate();
    }
    inherited::MouseUp(button, shift, x, y);
}

void TTxPanelObject::KeyDown(uint16_t& key, gcl::TShiftState shift) {
    if (key == VK_SPACE && FSpacePushes) SetPushedState(true);
    inherited::KeyDown(key, shift);
}

void TTxPanelObject::KeyUp(uint16_t& key, gcl::TShiftState shift) {
    if (key == VK_SPACE && FPushed) {
        FPushed = false;
        Click();
        Invalidate();
    }
    inherited::KeyUp(key, shift);
}

void TTxPanelObject::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case gcl::CM_MOUSEENTER:
    case gcl::CM_MOUSELEAVE:
        // Hot tracking is the shared timer's; the events fire from there.
        if (message.LParam == reinterpret_cast<intptr_t>(this) || message.LParam == 0) return;
        break;
    case gcl::CM_ENABLEDCHANGED:
        inherited::Dispatch(message);
        if (FMouseInControl) {
            FMouseInControl = false;
            if (SharedHotObject == this) StopHotTracking();
            DoMouseLeave();
            Invalidate();
            Perform(WM_CANCELMODE);
        }
        return;
    case WM_KILLFOCUS:
        inherited::Dispatch(message);
        FPushed = false;
        Invalidate();
        return;
    case WM_SETFOCUS:
        inherited::Dispatch(message);
        if (!FFocusedByMouse) {
            // Only scrolling containers act on it; the others ignore it.
            for (gcl::TWinControl* p = GetParent(); p; p = p->GetParent()) p->ScrollInView(this);
        }
        Invalidate();
        return;
    case WM_ERASEBKGND: {
        const HDC dc = reinterpret_cast<HDC>(message.WParam);
        if (GetDoubleBuffered() && message.WParam != static_cast<uintptr_t>(message.LParam)) {
            message.Result = 1;
            return;
        }
        const TRect client = GetClientRect();
        if (GetColor() != clNone) {
            FillRectColor(dc, client, GetColor());
        } else {
            qelvo::DrawParentBackground(this, dc, client);
        }
        message.Result = 1;
        return;
    }
    case WM_SKIN_THEMECHANGE:
        if (HandleAllocated()) InvalidateRect(GetHandle(), nullptr, TRUE);
        return;
    case gcl::CM_PARENTCOLORCHANGED:
        if (message.WParam == 0) {
            message.WParam = 1;
            message.LParam = GetParent() ? QueryEffectiveColor(GetParent()) : gcl::clBtnFace;
        }
        inherited::Dispatch(message);
        Invalidate();
        return;
    default: break;
    }
    inherited::Dispatch(message);
}

// ---- TTxTextObject ---------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TTxTextObject)

TTxTextObject::TTxTextObject(gcl::TComponent* owner)
    : TTxPanelObject(owner), FMargins(std::make_unique<TTxControlMargins>()) {
    gcl::TControlStyle style = GetControlStyle();
    style.Include(gcl::csSetCaption);
    style.Include(gcl::csDoubleClicks);
    SetControlStyle(style);
    FMargins->OnChange = gcl::TNotifyEvent(this, &TTxTextObject::MarginsChange);
    SetPanelOptions(static_cast<uint8_t>(GetPanelOptions() | poDoubleBuffered));
    SetAutoSize(true);
    SetWidth(100);
}

TTxTextObject::~TTxTextObject() = default;

void TTxTextObject::CreateParams(gcl::TCreateParams& params) {
    inherited::CreateParams(params);
    if (!GetComponentState().Contains(gcl::csDesigning)) params.WindowClass.style |= CS_HREDRAW;
}

void TTxTextObject::SetAlignment(gcl::TAlignment value) { StoreAndInvalidate(FAlignment, value); }

void TTxTextObject::SetWrapping(TTextWrapping value) {
    if (value == FWrapping) return;
    FWrapping = value;
    Invalidate();
    AdjustHeight();
}

void TTxTextObject::SetShowAccelChar(bool value) {
    if (value == FShowAccelChar) return;
    FShowAccelChar = value;
    Invalidate();
    AdjustHeight();
}

void TTxTextObject::MarginsChange(gcl::TObject*) { MarginsChanged(); }

void TTxTextObject::MarginsChanged() {
    Invalidate();
    AdjustHeight();
}

uint32_t TTxTextObject::GetDrawTextFlags() {
    gcl::TAlignment alignment = GetAlignmentValue();
    if (UseRightToLeftAlignment()) {
        if (alignment == gcl::taLeftJustify) alignment = gcl::taRightJustify;
        else if (alignment == gcl::taRightJustify) alignment = gcl::taLeftJustify;
    }
    uint32_t flags = alignment == gcl::taRightJustify ? DT_RIGHT : alignment == gcl::taCenter ? DT_CENTER : DT_LEFT;
    switch (FWrapping) {
    case twNone: flags |= DT_SINGLELINE; break;
    case twEndEllipsis: flags |= DT_END_ELLIPSIS | DT_SINGLELINE; break;
    case twPathEllipsis: flags |= DT_PATH_ELLIPSIS | DT_SINGLELINE; break;
    case twWrap: flags |= DT_WORDBREAK; break;
    }
    flags |= DT_EXPANDTABS;
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    return flags;
}

int TTxTextObject::DoDrawText(gcl::TCanvas* canvas, TRect& rect, uint32_t flags) {
    std::string text;
    GetTextCaption(text);
    const bool measuring = (flags & DT_CALCRECT) != 0;
    if (measuring && (text.empty() || text == "&")) text += ' ';
    flags = DrawTextBiDiModeFlags(flags);
    canvas->SetFont(GetFont());
    DoAdjustFont(canvas->GetFont());
    canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid});
    const HDC dc = canvas->GetHandle();
    RECT r = gcl::ToRECT(rect);
    int result;
    if (measuring) {
        flags &= ~static_cast<uint32_t>(DT_VCENTER);
        result = DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
        rect = TRect{r.left, r.top, r.right, r.bottom};
    } else if (GetEnabled()) {
        result = DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    } else {
        OffsetRect(&r, 1, 1);
        SetTextColor(dc, gcl::ColorToColorRef(gcl::clBtnHighlight));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
        OffsetRect(&r, -1, -1);
        SetTextColor(dc, gcl::ColorToColorRef(gcl::clBtnShadow));
        result = DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    }
    return result;
}

void TTxTextObject::Paint() {
    gcl::TCanvas* canvas = GetCanvas();
    TRect r = GetClientRect();
    r.Left += FMargins->GetLeft();
    r.Top += FMargins->GetTop();
    r.Right -= FMargins->GetRight();
    r.Bottom -= FMargins->GetBottom();
    if (Focused()) {
        TRect focus;
        GetFocusRect(focus);
        if (focus.Right > focus.Left && focus.Bottom > focus.Top) {
            const HDC dc = canvas->GetHandle();
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, RGB(255, 255, 255));
            RECT fr = gcl::ToRECT(focus);
            ::DrawFocusRect(dc, &fr);
        }
    }
    canvas->GetBrush()->SetStyle(gcl::bsClear);
    TRect margins;
    GetTextMargins(margins);
    r.Left += margins.Left;
    r.Top += margins.Top;
    r.Right -= margins.Right;
    r.Bottom -= margins.Bottom;
    const uint32_t flags = GetDrawTextFlags();
    TRect measure = r;
    DoDrawText(canvas, measure, flags | DT_CALCRECT);
    const int h = measure.Height();
    r.Top = (r.Top + r.Bottom - h) / 2;
    r.Bottom = r.Top + h;
    DoDrawText(canvas, r, flags);
    canvas->GetBrush()->SetStyle(gcl::bsSolid);
}

void TTxTextObject::GetTextHeight(gcl::TCanvas* canvas, int& height) {
    TRect r = GetClientRect();
    r.Right = std::max(r.Right, r.Left + GetWidth());
    TRect margins;
    GetTextMargins(margins);
    r.Left += FMargins->GetLeft() + margins.Left;
    r.Top += FMargins->GetTop() + margins.Top;
    r.Right -= FMargins->GetRight() + margins.Right;
    r.Bottom -= FMargins->GetBottom() + margins.Bottom;
    uint32_t flags = DT_CALCRECT | DT_EXPANDTABS;
    switch (FWrapping) {
    case twNone: break;
    case twEndEllipsis: flags |= DT_END_ELLIPSIS; break;
    case twPathEllipsis: flags |= DT_PATH_ELLIPSIS; break;
    case twWrap: flags |= DT_WORDBREAK; break;
    }
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    DoDrawText(canvas, r, flags);
    height = r.Height() + FMargins->GetTop() + FMargins->GetBottom() + margins.Top + margins.Bottom;
}

int TTxTextObject::MeasureHeight() {
    const HDC dc = CreateCompatibleDC(nullptr);
    gcl::TCanvas canvas;
    canvas.SetHandle(dc);
    int height = GetHeight();
    try {
        GetTextHeight(&canvas, height);
    } catch (...) {
        canvas.SetHandle(nullptr);
        DeleteDC(dc);
        throw;
    }
    canvas.SetHandle(nullptr);
    DeleteDC(dc);
    return height;
}

void TTxTextObject::AdjustHeight() {
    if (!HandleAllocated() || !GetAutoSize() || FAdjusting) return;
    if (GetComponentState().Contains(gcl::csLoading) || GetComponentState().Contains(gcl::csReading)) return;
    FAdjusting = true;
    try {
        const int height = MeasureHeight();
        SetBounds(GetLeft(), GetTop(), GetWidth(), height);
    } catch (...) {
        FAdjusting = false;
        throw;
    }
    FAdjusting = false;
}

bool TTxTextObject::CanAutoSize(int& newWidth, int& newHeight) {
    (void)newWidth;
    if (FAdjusting || !HandleAllocated()) return true;
    FAdjusting = true;
    try {
        newHeight = MeasureHeight();
    } catch (...) {
        FAdjusting = false;
        throw;
    }
    FAdjusting = false;
    return true;
}

void TTxTextObject::Loaded() {
    inherited::Loaded();
    AdjustHeight();
}

void TTxTextObject::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case gcl::CM_FONTCHANGED:
    case gcl::CM_TEXTCHANGED:
        inherited::Dispatch(message);
        Invalidate();
        AdjustHeight();
        return;
    case gcl::CM_ENABLEDCHANGED:
        inherited::Dispatch(message);
        Invalidate();
        return;
    case WM_SIZE:
        inherited::Dispatch(message);
        return;
    default: break;
    }
    inherited::Dispatch(message);
}

} // namespace qelvo
