// The themed combo box: its look transitions and the themed frame painted
// after the standard painting.
#include "theming/TxcComboBox.h"

#include "theming/TxcPanel.h"

namespace qelvo {

GCL_PUBLISHED(TTxcComboBox,
    GCL_PROP(CoverBorder).Default(false),
    GCL_PROP(HotTracking).Default(true),
    GCL_PROP(Themed).Default(true),
    GCL_PROP(ThemedSelect).Default(false))

TTxcComboBox::TTxcComboBox(gcl::TComponent* owner) : TComboBox(owner) {
    SetParentColor(false);
    SetDoubleBuffered(true);
    AddThemeListener(this);
}

void TTxcComboBox::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    inherited::BeforeDestruction();
}

void TTxcComboBox::SetThemed(bool value) {
    FThemed = value;
    Invalidate();
}

void TTxcComboBox::SetHotTracking(bool value) { StoreAndInvalidate(FHotTracking, value); }

void TTxcComboBox::SetThemedSelect(bool value) {
    FThemedSelect = value;
    Invalidate();
}

void TTxcComboBox::SetCoverBorder(bool value) {
    FCoverBorder = value;
    Invalidate();
}

bool TTxcComboBox::HasFocus() {
    if (Focused()) return true;
    // The edit window of an editable combo box holds the focus for it.
    return HandleAllocated() && GetStyle() != gcl::csDropDownList && GetStyle() != gcl::csOwnerDrawFixed &&
           GetStyle() != gcl::csOwnerDrawVariable && GetEditHandle() && ::GetFocus() == GetEditHandle();
}

std::string TTxcComboBox::FrameStateName() {
    if (GetComponentState().Contains(gcl::csDesigning) || !GetEnabled()) return "normal";
    if (FBorder.Look == TTxcBorderLook::Down) return "down";
    if (HasFocus() || (FBorder.Look == TTxcBorderLook::Over && FHotTracking)) return "over";
    return "normal";
}

void TTxcComboBox::PaintFrame(HDC dc) {
    RECT wr;
    ::GetWindowRect(GetHandle(), &wr);
    TRect r{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    const std::string state = FrameStateName();
    const TTxItemInfo info = TxcStateInfo(state, GetEnabled());
    TTxTheme* theme = CurrentTheme;
    TCanvas canvas;
    canvas.SetHandle(dc);
    const int saved = SaveDC(dc);
    try {
        canvas.GetBrush()->SetColor(GetColor());
        if (GetStyle() == gcl::csSimple) {
            ExcludeClipRect(dc, 2, 2, r.Right - 1, r.Bottom - 1);
            theme->PaintControlFrame(&canvas, r, info);
            PaintTxcBackground(&canvas, r, theme->ViewColor(VT_TOOLBAR));
            theme->PaintButton(&canvas, r, info);
            FillRectColor(dc, TRect{1, 1, r.Right - 1, r.Bottom - 1}, GetColor());
        } else {
            const int b = GetSystemMetrics(SM_CXVSCROLL);
            if (FCoverBorder)
                ExcludeClipRect(dc, 3, 3, r.Right - (b + 3), r.Bottom - 3);
            else
                ExcludeClipRect(dc, 2, 2, r.Right - (b + 2), r.Bottom - 2);
            theme->PaintControlFrame(&canvas, r, info);
            PaintTxcBackground(&canvas, r, theme->ViewColor(VT_TOOLBAR));
            TTxEditFrameInfo frame;
            frame.RightBtnWidth = b;
            frame.RightBtnInfo.ButtonType = EBT_DROPDOWN;
            frame.RightBtnInfo.ButtonState = state == "down" ? EBDS_PRESSED : state == "over" ? EBDS_HOT : 0;
            theme->PaintEditFrame(&canvas, r, info, frame);
            r.Right -= b;
            const int inset = FCoverBorder ? 1 : 2;
            FillRectColor(dc, TRect{r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset}, GetColor());
        }
    } catch (...) {
        RestoreDC(dc, saved);
        canvas.SetHandle(nullptr);
        throw;
    }
    RestoreDC(dc, saved);
    canvas.SetHandle(nullptr);
}

void TTxcComboBox::MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    FBorder.MouseDown();
    Invalidate();
    inherited::MouseDown(button, shift, x, y);
}

void TTxcComboBox::MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    FBorder.MouseUp(GetDroppedDown() || HasFocus());
    Invalidate();
    inherited::MouseUp(button, shift, x, y);
}

void TTxcComboBox::DropDown() {
    inherited::DropDown();
    if (FBorder.Look != TTxcBorderLook::Down) {
        FBorder.Look = TTxcBorderLook::Down;
        Invalidate();
    }
}

void TTxcComboBox::CloseUp() {
    inherited::CloseUp();
    FBorder.Look = FBorder.Inside ? TTxcBorderLook::Over : TTxcBorderLook::Normal;
    Invalidate();
}

void TTxcComboBox::Dispatch(gcl::TMessage& message) {
    switch (message.Msg) {
    case gcl::CM_MOUSEENTER:
    case gcl::CM_MOUSELEAVE: {
        inherited::Dispatch(message);
        if (message.LParam != 0 && message.LParam != reinterpret_cast<intptr_t>(this)) return;
        const bool busy = GetDroppedDown() || HasFocus();
        const bool enter = message.Msg == gcl::CM_MOUSEENTER;
        // The pointer's position counts even while dropped down or focused.
        if (busy) {
            FBorder.Inside = enter;
            return;
        }
        const bool redraw = enter ? FBorder.MouseEnter(false, FHotTracking) : FBorder.MouseLeave(false, FHotTracking);
        if (redraw) Invalidate();
        return;
    }
    case WM_SKIN_THEMECHANGE:
        if (message.WParam == 2) {
            FBorder.Look = TTxcBorderLook::Normal;
            Invalidate();
        }
        return;
    case gcl::CM_ENABLEDCHANGED:
    case gcl::CM_ENTER:
    case gcl::CM_EXIT:
        inherited::Dispatch(message);
        Invalidate();
        return;
    case WM_PAINT:
        inherited::Dispatch(message);
        if (FThemed && HandleAllocated()) WithPaintDC(this, message, [this](HDC dc) { PaintFrame(dc); });
        return;
    default: break;
    }
    inherited::Dispatch(message);
}

} // namespace qelvo
