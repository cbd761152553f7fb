// The themed spin button: looks, the repeat timer and the painting through
// the theme's edit frame.
#include "theming/TxcSpinButton.h"

#include "gcl/rtl/Strings.h"
#include "theming/TxcPanel.h"

namespace qelvo {

GCL_PUBLISHED(TTxcSpinButton,
    GCL_PROP(HotTracking).Default(true))

TTxcSpinButton::TTxcSpinButton(gcl::TComponent* owner) : TWinControl(owner) {
    gcl::TControlStyle style = GetControlStyle();
    style.Include(gcl::csOpaque);
    SetControlStyle(style);
    SetParentColor(false);
    SetTabStop(true);
    FTimer = gcl::TTimer::Create(this);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(120);
    FTimer->OnTimer = gcl::TNotifyEvent(this, &TTxcSpinButton::TimerTick);
    SetBounds(GetLeft(), GetTop(), GetSystemMetrics(SM_CXVSCROLL), 22);
    SetDoubleBuffered(true);
    AddThemeListener(this);
}

void TTxcSpinButton::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    inherited::BeforeDestruction();
}

void TTxcSpinButton::SetHotTracking(bool value) { StoreAndInvalidate(FHotTracking, value); }

void TTxcSpinButton::TimerTick(gcl::TObject*) {
    if (FPressedHalf == HalfLower) {
        if (OnDownClick) OnDownClick(this);
    } else if (FPressedHalf == HalfUpper) {
        if (OnUpClick) OnUpClick(this);
    }
    if (FPressedHalf != HalfNone) FFired = true;
}

void TTxcSpinButton::MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    FPressed = true;
    FLook = LookDown;
    FPressedHalf = HalfAt(y);
    FFired = false;
    FTimer->SetEnabled(true);
    Invalidate();
    inherited::MouseDown(button, shift, x, y);
}

void TTxcSpinButton::MouseMove(gcl::TShiftState shift, int x, int y) {
    FInside = true;
    FLook = FPressed ? LookDown : LookOver;
    if (shift.Contains(gcl::ssLeft)) {
        FPressedHalf = HalfAt(y);
        if (!FTimer->GetEnabled()) FTimer->SetEnabled(true);
    }
    if (FHotTracking) Invalidate();
    inherited::MouseMove(shift, x, y);
}

void TTxcSpinButton::MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    FPressed = false;
    FTimer->SetEnabled(false);
    if (!FFired) TimerTick(this);
    FLook = FInside ? LookOver : LookNormal;
    FPressedHalf = HalfNone;
    Invalidate();
    inherited::MouseUp(button, shift, x, y);
}

void TTxcSpinButton::PaintButtons(HDC dc) {
    if (GetComponentState().Contains(gcl::csDesigning)) FLook = LookNormal;
    const int width = GetWidth();
    const int height = GetHeight();
    const bool isDefault = gcl::SameText(CurrentThemeName(), "Default");
    const char* state = FLook == LookDown                                 ? "down"
                        : FLook == LookOver && (FHotTracking || Focused()) ? "over"
                                                                           : "normal";
    const TTxItemInfo info = TxcStateInfo(state, GetEnabled());
    TTxEditFrameInfo frame;
    frame.RightBtnWidth = width;
    frame.RightBtnInfo.ButtonType = EBT_SPIN;
    if (FLook == LookOver) frame.RightBtnInfo.ButtonState = EBDS_HOT;
    else if (FLook == LookDown)
        frame.RightBtnInfo.ButtonState = FPressedHalf == HalfLower   ? EBSS_DOWN
                                         : FPressedHalf == HalfUpper ? EBSS_UP
                                                                     : 0;
    gcl::TBitmap bitmap;
    bitmap.SetSize(width + 20, height);
    TCanvas* canvas = bitmap.GetCanvas();
    TTxTheme* theme = CurrentTheme;
    TRect r{0, 0, width + 20, height};
    theme->PaintButton(canvas, r, info);
    theme->PaintBackground(canvas, r, r, r, gcl::clBtnFace, false, VT_TOOLBARGROUP);
    theme->PaintDockBackground(canvas, r, r, 1);
    if (isDefault) {
        r.Top -= 2;
        r.Bottom += 1;
    } else {
        r.Left += 1;
        r.Right -= 1;
    }
    theme->PaintEditFrame(canvas, r, info, frame);
    BitBlt(dc, isDefault ? -18 : -19, 0, width + 20, height, canvas->GetHandle(), 0, 0, SRCCOPY);
    if (!isDefault && FLook != LookNormal) {
        TCanvas target;
        target.SetHandle(dc);
        const int saved = SaveDC(dc);
        const TRect ring{0, 0, width, height - 1};
        ExcludeClipRect(dc, 2, 2, ring.Right - 2, ring.Bottom - 1);
        theme->PaintControlFrame(&target, ring, info);
        RestoreDC(dc, saved);
        target.SetHandle(nullptr);
    }
}

void TTxcSpinButton::Dispatch(gcl::TMessage& message) {
    switch (message.Msg) {
    case gcl::CM_MOUSEENTER:
        if (message.LParam == 0 || message.LParam == reinterpret_cast<intptr_t>(this)) {
            FInside = true;
            FLook = LookOver;
            if (FHotTracking) Invalidate();
        }
        break;
    case gcl::CM_MOUSELEAVE:
        if (message.LParam == 0 || message.LParam == reinterpret_cast<intptr_t>(this)) {
            FInside = false;
            FLook = FPressed ? LookDown : LookNormal;
            if (FHotTracking) Invalidate();
        }
        break;
    case WM_SKIN_THEMECHANGE:
        if (message.WParam == 2) {
            FLook = LookNormal;
            Invalidate();
        }
        return;
    case gcl::CM_ENABLEDCHANGED:
        inherited::Dispatch(message);
        Invalidate();
        return;
    case WM_ERASEBKGND: message.Result = 1; return;
    case WM_SETFOCUS:
        // The edit it sits in draws its face anew as it loses the keyboard
        // to the button: the arrows are drawn again after it.
        inherited::Dispatch(message);
        Invalidate();
        return;
    case WM_PAINT:
        if (message.WParam == 0 && GetDoubleBuffered()) break;  // comes back with the buffer's DC
        inherited::Dispatch(message);
        WithPaintDC(this, message, [this](HDC dc) { PaintButtons(dc); });
        return;
    default: break;
    }
    inherited::Dispatch(message);
}

} // namespace qelvo
