// The themed edit and the border looks and painter shared with the
// themed tree view.
#include "theming/TxcEdit.h"

#include "theming/TxcPanel.h"

namespace qelvo {

// ---- Border looks and painting --------------------------------------------------

bool TTxcBorderLook::MouseEnter(bool focused, bool hotTracking) noexcept {
    if (focused) return false;
    Inside = true;
    Look = Over;
    return hotTracking;
}

bool TTxcBorderLook::MouseLeave(bool focused, bool hotTracking) noexcept {
    if (focused) return false;
    Inside = false;
    Look = Normal;
    return hotTracking;
}

void TTxcBorderLook::MouseUp(bool focused) noexcept {
    if (!focused) Look = Inside ? Over : Normal;
}

std::string TTxcBorderLook::StateName(bool hotTracking, bool focused, bool designing, bool enabled) const {
    if (designing || !enabled) return "normal";
    if (focused) return "over";
    if (Look == Over) return hotTracking ? "over" : "normal";
    if (Look == Down) return "down";
    return "normal";
}

void PaintTxcBorder(gcl::TWinControl* control, TCanvas* canvas, const std::string& stateName, TColor color) {
    const HWND wnd = control->GetHandle();
    RECT wr;
    ::GetWindowRect(wnd, &wr);
    const TRect r{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    const HDC dc = canvas->GetHandle();
    ExcludeClipRect(dc, 2, 2, r.Right - 1, r.Bottom - 1);
    TTxTheme* theme = CurrentTheme;
    const TTxItemInfo info = TxcStateInfo(stateName, control->GetEnabled());
    theme->PaintControlFrame(canvas, r, info);
    PaintTxcBackground(canvas, r, theme->ViewColor(VT_TOOLBAR));
    theme->PaintButton(canvas, r, info);
    canvas->GetBrush()->SetColor(color);
    canvas->GetBrush()->SetStyle(gcl::bsSolid);
    canvas->FillRect(TRect{1, 1, r.Right - 1, r.Bottom - 1});
}

void RedrawTxcFrame(gcl::TWinControl* control) {
    if (!control->HandleAllocated()) return;
    const TRect c = control->GetClientRect();
    RECT r = gcl::ToRECT(c);
    RedrawWindow(control->GetHandle(), &r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME | RDW_ALLCHILDREN);
}

void TxcBorderMessage(gcl::TWinControl* control, TTxcBorderLook& look, TCanvas* canvas, bool themed,
                      bool hotTracking, gcl::TMessage& message) {
    switch (message.Msg) {
    case gcl::CM_MOUSEENTER:
    case gcl::CM_MOUSELEAVE: {
        if (message.LParam != 0 && message.LParam != reinterpret_cast<intptr_t>(control)) return;
        const bool redraw = message.Msg == gcl::CM_MOUSEENTER ? look.MouseEnter(control->Focused(), hotTracking)
                                                              : look.MouseLeave(control->Focused(), hotTracking);
        if (redraw) RedrawTxcFrame(control);
        return;
    }
    case gcl::CM_ENTER:
    case gcl::CM_EXIT:
        look.Look = message.Msg == gcl::CM_ENTER ? TTxcBorderLook::Over : TTxcBorderLook::Normal;
        RedrawTxcFrame(control);
        return;
    case gcl::CM_ENABLEDCHANGED: RedrawTxcFrame(control); return;
    case WM_NCPAINT: {
        if (!themed || !control->HandleAllocated()) return;
        const HWND wnd = control->GetHandle();
        const HDC dc = GetWindowDC(wnd);
        canvas->SetHandle(dc);
        try {
            PaintTxcBorder(control, canvas,
                           look.StateName(hotTracking, control->Focused(),
                                          control->GetComponentState().Contains(gcl::csDesigning),
                                          control->GetEnabled()),
                           control->GetColor());
        } catch (...) {
            canvas->SetHandle(nullptr);
            ReleaseDC(wnd, dc);
            throw;
        }
        canvas->SetHandle(nullptr);
        ReleaseDC(wnd, dc);
        return;
    }
    default: return;
    }
}

// ---- TTxcEdit ----------------------------------------------------------------------

GCL_PUBLISHED(TTxcEdit,
    GCL_PROP(Alignment).Default(gcl::taLeftJustify),
    GCL_PROP(DefaultPasswordSymbol).Default(false),
    GCL_PROP(HotTracking).Default(true),
    GCL_PROP(Themed).Default(true))

TTxcEdit::TTxcEdit(gcl::TComponent* owner) : TEdit(owner) {
    SetParentColor(false);
    SetDoubleBuffered(true);
    AddThemeListener(this);
}

void TTxcEdit::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    inherited::BeforeDestruction();
}

void TTxcEdit::SetThemed(bool value) {
    if (value == FThemed) return;
    FThemed = value;
    RedrawFrame();
}

void TTxcEdit::SetAlignment(gcl::TAlignment value) {
    if (value == FAlignment) return;
    FAlignment = value;
    RecreateWnd();
    Invalidate();
}

void TTxcEdit::SetDefaultPasswordSymbol(bool value) {
    if (value == FDefaultPasswordSymbol) return;
    FDefaultPasswordSymbol = value;
    RecreateWnd();
    Invalidate();
}

void TTxcEdit::SetHotTracking(bool value) { StoreAndInvalidate(FHotTracking, value); }

void TTxcEdit::CreateParams(gcl::TCreateParams& params) {
    inherited::CreateParams(params);
    params.Style &= ~static_cast<DWORD>(ES_RIGHT | ES_CENTER);
    params.Style |= FAlignment == gcl::taRightJustify ? ES_RIGHT : FAlignment == gcl::taCenter ? ES_CENTER : ES_LEFT;
    if (FDefaultPasswordSymbol) params.Style |= ES_PASSWORD;
}

void TTxcEdit::MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    FBorder.MouseDown();
    RedrawFrame();
    inherited::MouseDown(button, shift, x, y);
}

void TTxcEdit::MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    FBorder.MouseUp(Focused());
    RedrawFrame();
    inherited::MouseUp(button, shift, x, y);
}

void TTxcEdit::Resize() {
    RedrawFrame();
    inherited::Resize();
}

void TTxcEdit::Dispatch(gcl::TMessage& message) {
    if (message.Msg == WM_SKIN_THEMECHANGE) {
        if (message.WParam == 2) RedrawFrame();
        return;
    }
    inherited::Dispatch(message);
    TCanvas canvas;
    TxcBorderMessage(this, FBorder, &canvas, FThemed, FHotTracking, message);
}

} // namespace qelvo
