// The themed panel and the state records and background pass shared by
// the themed standard controls.
#include "theming/TxcPanel.h"

namespace qelvo {

TTxItemInfo TxcStateInfo(const std::string& stateName, bool enabled) {
    TTxItemInfo info{};
    info.ViewType = VT_TOOLBAR;
    info.ItemOptions = IO_TOOLBARSTYLE | IO_APPACTIVE;
    info.Enabled = enabled;
    if (stateName == "over") {
        info.HoverKind = 2;
    } else if (stateName == "down") {
        info.Pushed = true;
        info.HoverKind = 2;
    } else if (stateName == "checked") {
        info.Selected = true;
    } else if (stateName == "checked-hot" || stateName == "checkedhot") {
        info.HoverKind = 2;
        info.Selected = true;
    } else if (stateName == "checked-down") {
        info.Pushed = true;
        info.Selected = true;
    }
    return info;
}

void PaintTxcBackground(TCanvas* canvas, const TRect& rect, TColor secondColor) {
    TTxTheme* theme = CurrentTheme;
    theme->PaintBackground(canvas, rect, rect, rect, theme->ViewColor(VT_TOOLBAR), false, VT_TOOLBAR);
    theme->PaintDockBackground(canvas, rect, rect, 1);
    if (theme->BooleanMetric(5))
        theme->PaintBackground(canvas, rect, rect, rect, secondColor, false, VT_TOOLBAR);
    else
        theme->PaintDockBackground(canvas, rect, rect, 1);
}

void PaintTxcClippedBackground(TCanvas* canvas, const TRect& rect, int dx, int dy) {
    const HDC dc = canvas->GetHandle();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
    const TRect grown{rect.Left - dx, rect.Top - dy, rect.Right + dx, rect.Bottom + dy};
    try {
        PaintTxcBackground(canvas, grown, CurrentTheme->ViewColor(VT_TOOLBAR));
    } catch (...) {
        RestoreDC(dc, saved);
        throw;
    }
    RestoreDC(dc, saved);
    canvas->Refresh();
}

void ReplaceImageList(gcl::TComponent* control, gcl::TCustomImageList*& field, gcl::TCustomImageList* value,
                      gcl::TChangeLink* link) {
    if (field) {
        field->UnRegisterChanges(link);
        field->RemoveFreeNotification(control);
    }
    field = value;
    if (field) {
        field->RegisterChanges(link);
        field->FreeNotification(control);
    }
}

// ---- TTxcPanel ---------------------------------------------------------------------

GCL_PUBLISHED(TTxcPanel,
    GCL_PROP(ThemeBackground).Default(false),
    GCL_PROP(Themed).Default(true))

TTxcPanel::TTxcPanel(gcl::TComponent* owner) : TPanel(owner) {
    SetDoubleBuffered(true);
    AddThemeListener(this);
}

void TTxcPanel::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    inherited::BeforeDestruction();
}

void TTxcPanel::SetThemed(bool value) {
    FThemed = value;
    Invalidate();
}

void TTxcPanel::SetThemeBackground(bool value) {
    FThemeBackground = value;
    Invalidate();
}

void TTxcPanel::Paint() {
    TCanvas* canvas = GetCanvas();
    if (!GetParentColor()) {
        canvas->GetBrush()->SetColor(GetColor());
        canvas->GetBrush()->SetStyle(gcl::bsSolid);
        canvas->FillRect(GetClientRect());
    }
    inherited::Paint();
    if (!FThemed) return;
    TTxTheme* theme = CurrentTheme;
    const TTxItemInfo info = TxcStateInfo("normal", GetEnabled());
    TRect r = GetClientRect();
    const HDC dc = canvas->GetHandle();
    const int saved = SaveDC(dc);
    try {
        if (!FThemeBackground) ExcludeClipRect(dc, 1, 1, r.Right - 1, r.Bottom - 1);
        theme->PaintControlFrame(canvas, r, info);
        PaintTxcBackground(canvas, r, gcl::clBtnShadow);
        theme->PaintButton(canvas, r, info);
    } catch (...) {
        RestoreDC(dc, saved);
        canvas->Refresh();
        throw;
    }
    RestoreDC(dc, saved);
    canvas->Refresh();
    if (!FThemeBackground) return;
    r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    PaintTxcBackground(canvas, r, theme->ViewColor(VT_TOOLBAR));
    theme->PaintButton(canvas, r, info);
    const std::string caption = GetCaption();
    canvas->GetBrush()->SetStyle(gcl::bsClear);
    canvas->SetFont(GetFont());
    canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid});
    RECT rr = gcl::ToRECT(r);
    DrawTextA(canvas->GetHandle(), caption.c_str(), static_cast<int>(caption.size()), &rr,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    canvas->GetBrush()->SetStyle(gcl::bsSolid);
}

void TTxcPanel::Dispatch(gcl::TMessage& message) {
    switch (message.Msg) {
    case WM_ERASEBKGND:
        if (FThemeBackground) {
            message.Result = 1;
            return;
        }
        break;
    case WM_SKIN_THEMECHANGE:
        if (message.WParam == 2) Invalidate();
        return;
    case gcl::CM_ENABLEDCHANGED:
        inherited::Dispatch(message);
        Invalidate();
        return;
    default: break;
    }
    inherited::Dispatch(message);
}

} // namespace qelvo
