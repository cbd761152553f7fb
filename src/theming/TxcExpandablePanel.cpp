// The expandable panel: header metrics, painting through the theme, the
// arrow button and collapsing.
#include "theming/TxcExpandablePanel.h"

#include <cstdlib>

#include "gcl/rtl/Exceptions.h"
#include "theming/TxcPanel.h"

namespace qelvo {

const char* HeaderPaintStyleStateName(THeaderPaintStyle style) noexcept {
    switch (style) {
    case hpsHot: return "over";
    case hpsDown: return "down";
    case hpsChecked: return "checked";
    case hpsCheckedHot: return "checked-hot";
    case hpsCheckedDown: return "checked-down";
    default: return "normal";
    }
}

GCL_PUBLISHED(TTxcExpandablePanel,
    GCL_PROP(Align).Default(gcl::alNone),
    GCL_PROP(Anchors).Default(gcl::TAnchors{gcl::akLeft, gcl::akTop}),
    GCL_PROP(ArrowAlign).Default(aaLeft),
    GCL_PROP(ArrowPosition).Default(apWithCaption),
    GCL_PROP(Caption),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Expanded).Default(true),
    GCL_PROP(HeaderPaintStyle).Default(hpsNormal),
    GCL_PROP(OriginalHeight).Default(150),
    GCL_PROP(PanelPaintStyle).Default(hpsNormal),
    GCL_PROP(ParentShowHint).Default(true),
    GCL_PROP(ShowArrow).Default(true),
    GCL_PROP(ShowHint).Default(false),
    GCL_PROP(Visible).Default(true))

TTxcExpandablePanel::TTxcExpandablePanel(gcl::TComponent* owner)
    : TTxPanelObject(owner), FCaptionLines(std::make_unique<gcl::TStringList>()) {
    gcl::TControlStyle style = GetControlStyle();
    style.Include(gcl::csOpaque);
    SetControlStyle(style);
    SetDoubleBuffered(true);
    SetColor(gcl::clBtnFace);
    SetParentColor(true);
    SetBounds(GetLeft(), GetTop(), 150, 150);
}

TTxcExpandablePanel::~TTxcExpandablePanel() = default;

void TTxcExpandablePanel::SetOriginalHeight(int value) {
    FOriginalHeight = value;
    SetHeight(value);
}

void TTxcExpandablePanel::SetCaption(const std::string& value) { StoreAndInvalidate(FCaption, value); }

void TTxcExpandablePanel::SetArrowPosition(TPanelArrowPosition value) { StoreAndInvalidate(FArrowPosition, value); }

void TTxcExpandablePanel::SetArrowAlign(TPanelArrowAlignment value) { StoreAndInvalidate(FArrowAlign, value); }

void TTxcExpandablePanel::SetShowArrow(bool value) { StoreAndInvalidate(FShowArrow, value); }

void TTxcExpandablePanel::SetHeaderPaintStyle(THeaderPaintStyle value) { StoreAndInvalidate(FHeaderPaintStyle, value); }

void TTxcExpandablePanel::SetPanelPaintStyle(THeaderPaintStyle value) { StoreAndInvalidate(FPanelPaintStyle, value); }

void TTxcExpandablePanel::SetExpanded(bool value) {
    if (value == FExpanded) return;
    FExpanded = value;
    Invalidate();
    // The height follows at once, not only at the next paint, so a panel
    // that is not shown yet has its size too.
    SetHeight(FExpanded ? FOriginalHeight : CollapsedHeight());
    ShowContents();
    if (FExpanded) {
        if (OnExpand) OnExpand(this);
    } else if (OnCollapse) {
        OnCollapse(this);
    }
    Invalidate();
}

void TTxcExpandablePanel::Toggle() {
    if (!FShowArrow) return;
    // The field is set directly, so each toggle fires one event.
    if (GetHeight() != CollapsedHeight()) {
        FExpanded = false;
        SetHeight(CollapsedHeight());
        ShowContents();
        if (OnCollapse) OnCollapse(this);
    } else {
        FExpanded = true;
        SetHeight(FOriginalHeight);
        ShowContents();
        if (OnExpand) OnExpand(this);
    }
    Invalidate();
    if (OnBtnClick) OnBtnClick(this);
}

void TTxcExpandablePanel::ShowContents() {
    if (FExpanded) {
        std::vector<gcl::TComponentRef<gcl::TControl>> hidden;
        hidden.swap(FHiddenContents);
        for (const gcl::TComponentRef<gcl::TControl>& control : hidden)
            if (gcl::TControl* c = control.Get(); c && c->GetParent() == this) c->SetVisible(true);
        return;
    }
    // The keyboard, when one of the controls has it, stays on the panel.
    if (HandleAllocated() && IsChild(GetHandle(), GetFocus()) && CanFocus()) {
        try {
            SetFocus();
        } catch (const gcl::Exception&) {
            // A form that cannot take the keyboard now keeps it where it is.
        }
    }
    for (int i = 0; i < GetControlCount(); ++i) {
        gcl::TControl* control = GetControls(i);
        if (!control->GetVisible()) continue;
        FHiddenContents.emplace_back(control);
        control->SetVisible(false);
    }
}

TRect TTxcExpandablePanel::GetArrowRect() const noexcept {
    int top;
    switch (FArrowPosition) {
    case apTop: top = 6; break;
    case apMiddle: top = (FHeaderHeight - 10) / 2 + 4; break;
    case apBottom: top = FHeaderHeight - 9; break;
    default: top = FCaptionOffset + 6; break;
    }
    const int left = FArrowAlign == aaLeft ? 7 : GetWidth() - 17;
    return TRect{left, top, left + 10, top + 10};
}

bool TTxcExpandablePanel::InArrow(int x, int y) const noexcept {
    const TRect r = GetArrowRect();
    return x > r.Left && x < r.Right && y > r.Top && y < r.Bottom;
}

void TTxcExpandablePanel::AdjustClientRect(TRect& rect) {
    inherited::AdjustClientRect(rect);
    rect.Top += FHeaderHeight + 6;
}

void TTxcExpandablePanel::UpdateHeaderMetrics(TCanvas* canvas) {
    gcl::TFontStyles styles = canvas->GetFont()->GetStyle();
    styles.Include(gcl::fsBold);
    canvas->GetFont()->SetStyle(styles);
    const int oldHeader = FHeaderHeight;
    if (!FCaption.empty()) {
        FCaptionLines->SetText(FCaption);
        const int n = std::max(FCaptionLines->GetCount(), 1);
        const int t = canvas->TextHeight(FCaption);
        if (FHeaderHeight != n * t) FHeaderHeight = n * t + 4;
        FCaptionOffset = (FHeaderHeight - n * t) / 2;
    } else {
        FCaptionLines->Clear();
        FHeaderHeight = 18;
        FCaptionOffset = (18 - canvas->TextHeight("l")) / 2;
    }
    if (oldHeader != FHeaderHeight) Realign();
}

void TTxcExpandablePanel::PaintBox(TCanvas* canvas, TRect r, THeaderPaintStyle style) {
    TTxTheme* theme = CurrentTheme;
    if (style == hpsNormal) {
        theme->PaintControlFrame(canvas, r, TxcStateInfo("over", GetEnabled()));
        r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
    const TTxItemInfo info = TxcStateInfo(HeaderPaintStyleStateName(style), GetEnabled());
    PaintTxcClippedBackground(canvas, r, std::abs(GetHeight() - GetWidth()) + 10, 10);
    if (style != hpsNormal) theme->PaintButton(canvas, r, info);
}

void TTxcExpandablePanel::Paint() {
    TCanvas* canvas = GetCanvas();
    canvas->SetFont(GetFont());
    UpdateHeaderMetrics(canvas);
    const int wanted = FExpanded ? FOriginalHeight : CollapsedHeight();
    if (GetHeight() != wanted) SetHeight(wanted);
    const TRect client = GetClientRect();
    qelvo::DrawParentBackground(this, canvas->GetHandle(), client);
    canvas->Refresh();
    PaintBox(canvas, client, FPanelPaintStyle);
    PaintBox(canvas, TRect{3, 3, GetWidth() - 3, FHeaderHeight + 6}, FHeaderPaintStyle);
    TTxTheme* theme = CurrentTheme;
    if (!FCaption.empty()) {
        const TRect r{3, FCaptionOffset + 3, GetWidth() - 3, FHeaderHeight + FCaptionOffset + 6};
        theme->PaintCaption(canvas, r, TxcStateInfo("normal", GetEnabled()), FCaption, DT_CENTER, false);
    }
    FArrowRect = GetArrowRect();
    if (FShowArrow) {
        const char* state = FArrowHot && FArrowDown ? "down" : FArrowHot ? "over" : "normal";
        const TTxItemInfo info = TxcStateInfo(state, GetEnabled());
        theme->PaintButton(canvas, FArrowRect, info);
        theme->PaintDropDownArrow(canvas, FArrowRect, info);
    }
}

void TTxcExpandablePanel::MouseMove(gcl::TShiftState shift, int x, int y) {
    FArrowHot = InArrow(x, y);
    Invalidate();
    inherited::MouseMove(shift, x, y);
}

void TTxcExpandablePanel::MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    FArrowDown = InArrow(x, y);
    Invalidate();
    inherited::MouseDown(button, shift, x, y);
}

void TTxcExpandablePanel::MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    FArrowDown = false;
    const bool inArrow = InArrow(x, y);
    if (inArrow) {
        FArrowHot = true;
        Toggle();
    } else {
        FArrowHot = false;
    }
    if (!inArrow && x > 3 && x < GetWidth() - 3 && y > 3 && y < FHeaderHeight + 3) {
        FArrowHot = false;
        if (OnCaptionClick) OnCaptionClick(this);
    }
    Invalidate();
    inherited::MouseUp(button, shift, x, y);
}

void TTxcExpandablePanel::Resize() {
    if (GetHeight() != CollapsedHeight() && FExpanded) FOriginalHeight = GetHeight();
    Invalidate();
    inherited::Resize();
}

void TTxcExpandablePanel::SetBounds(int left, int top, int width, int height) {
    inherited::SetBounds(left, top, width, height);
    // A panel without a window gets no resize notice: its expanded height
    // is kept here, so the first paint does not undo it.
    if (!HandleAllocated() && GetHeight() != CollapsedHeight() && FExpanded) FOriginalHeight = GetHeight();
}

void TTxcExpandablePanel::Dispatch(gcl::TMessage& message) {
    switch (message.Msg) {
    case gcl::CM_MOUSELEAVE:
        FArrowHot = false;
        FArrowDown = false;
        Invalidate();
        break;
    case gcl::CM_MOUSEENTER: Invalidate(); break;
    case gcl::CM_ENABLEDCHANGED:
        inherited::Dispatch(message);
        Invalidate();
        return;
    case WM_ERASEBKGND: message.Result = 1; return;
    default: break;
    }
    inherited::Dispatch(message);
}

} // namespace qelvo
