// The themed button: looks, check state and groups, auto-size, and the
// painting through the current theme.
#include "theming/TxcButton.h"

#include <algorithm>

#include "gcl/ActnList.h"
#include "theming/TxcPanel.h"

namespace qelvo {

gcl::TSize MeasureTextInFont(gcl::TFont* font, const std::string& text) {
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font->GetHandle());
    RECT r{0, 0, 0, 0};
    const std::string measured = text.empty() ? std::string(" ") : text;
    DrawTextA(dc, measured.c_str(), static_cast<int>(measured.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteDC(dc);
    return gcl::TSize{text.empty() ? 0 : r.right - r.left, r.bottom - r.top};
}

GCL_PUBLISHED(TTxcButton,
    GCL_PROP(AllowAllUp).Default(false),
    GCL_PROP(AutoSize).Default(false),
    GCL_PROP(Checkable).Default(false),
    GCL_PROP(Checked).Default(false),
    GCL_PROP(EllipsisStyle).Default(esNone),
    GCL_PROP(ExtraFrame).Default(false),
    GCL_PROP(Framed).Default(true),
    GCL_PROP(GlyphLayout).Default(glyLeft),
    GCL_PROP(GlyphSpacing).Default(4),
    GCL_PROP(GroupIndex).Default(0),
    GCL_PROP(HotTracking).Default(true),
    GCL_PROP(ImageIndex).Default(-1),
    GCL_PROP(Images),
    GCL_PROP(ShowFocus).Default(true),
    GCL_PROP(Themed).Default(true))

TTxcButton::TTxcButton(gcl::TComponent* owner)
    : TButton(owner), FImageChangeLink(std::make_unique<gcl::TChangeLink>()),
      FCanvas(std::make_unique<gcl::TControlCanvas>()) {
    AddThemeListener(this);
    FCanvas->SetControl(this);
    FImageChangeLink->OnChange = gcl::TNotifyEvent(this, &TTxcButton::ImageListChange);
    SetDoubleBuffered(true);
    gcl::TControlStyle style = GetControlStyle();
    style.Exclude(gcl::csAcceptsControls);
    style.Include(gcl::csOpaque);
    SetControlStyle(style);
    SetBounds(GetLeft(), GetTop(), 85, 25);
    SetTabStop(true);
}

TTxcButton::~TTxcButton() = default;

void TTxcButton::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
    inherited::BeforeDestruction();
}

void TTxcButton::Notification(gcl::TComponent* component, gcl::TOperation operation) {
    inherited::Notification(component, operation);
    if (operation == gcl::opRemove && component == FImages) {
        FImages = nullptr;
        ApplyAutoSize();
        Invalidate();
    }
}

void TTxcButton::ActionChange(gcl::TObject* sender, bool checkDefaults) {
    inherited::ActionChange(sender, checkDefaults);
    if (auto* action = dynamic_cast<gcl::TCustomAction*>(sender))
        if (!checkDefaults || FGroupIndex == 0) SetGroupIndex(action->GetGroupIndex());
}

// ---- Properties

void TTxcButton::SetChecked(bool value) {
    if (FAllowAllUp && FChecked && value) value = false;
    if (FCheckable) {
        FChecked = value;
        if (!value) FLook = FMouseInside ? blOver : blNormal;
        if (auto* action = dynamic_cast<gcl::TCustomAction*>(GetAction())) action->SetChecked(value);
    }
    Invalidate();
    Announce();
    if (OnChange) OnChange(this);
}

void TTxcButton::SetGroupIndex(int value) {
    if (value == FGroupIndex) return;
    FGroupIndex = value;
    Announce();
}

void TTxcButton::SetImages(gcl::TCustomImageList* value) {
    if (value == FImages) return;
    ReplaceImageList(this, FImages, value, FImageChangeLink.get());
    ApplyAutoSize();
    Invalidate();
}

void TTxcButton::SetImageIndex(int value) {
    if (value == FImageIndex) return;
    FImageIndex = value;
    ApplyAutoSize();
    Invalidate();
}

void TTxcButton::SetAutoSize(bool value) {
    FAutoSize = value;
    ApplyAutoSize();
}

void TTxcButton::SetGlyphLayout(TGlyphLayout value) {
    FGlyphLayout = value;
    ApplyAutoSize();
    Invalidate();
}

void TTxcButton::SetGlyphSpacing(int value) {
    FGlyphSpacing = value;
    ApplyAutoSize();
    Invalidate();
}

void TTxcButton::SetEllipsisStyle(TEllipsisStyle value) {
    FEllipsisStyle = value;
    Invalidate();
}

void TTxcButton::SetFramed(bool value) {
    FFramed = value;
    Invalidate();
}

void TTxcButton::SetThemed(bool value) {
    FThemed = value;
    Invalidate();
}

void TTxcButton::SetShowFocus(bool value) {
    FShowFocus = value;
    Invalidate();
}

void TTxcButton::SetHotTracking(bool value) { StoreAndInvalidate(FHotTracking, value); }

void TTxcButton::SetExtraFrame(bool value) { StoreAndInvalidate(FExtraFrame, value); }

void TTxcButton::ImageListChange(gcl::TObject*) {
    ApplyAutoSize();
    Invalidate();
}

// ---- Groups and size

void TTxcButton::Announce() {
    if (FGroupIndex != 0 && GetParent()) {
        gcl::TMessage m;
        m.Msg = gcl::CM_BUTTONPRESSED;
        m.WParam = static_cast<uintptr_t>(FGroupIndex);
        m.LParam = reinterpret_cast<intptr_t>(this);
        GetParent()->Broadcast(m);
    }
    Invalidate();
}

void TTxcButton::ApplyAutoSize() {
    if (!FAutoSize) return;
    const gcl::TSize text = MeasureTextInFont(GetFont(), GetCaption());
    int w = text.cx + 12;
    int h = text.cy + 12;
    if (HasGlyph()) {
        const int iw = FImages->GetWidth();
        const int ih = FImages->GetHeight();
        if (FGlyphLayout == glyLeft || FGlyphLayout == glyRight) {
            w = text.cx + iw + FGlyphSpacing + 12;
            h = std::max(ih, static_cast<int>(text.cy)) + 12;
        } else {
            w = std::max(iw, static_cast<int>(text.cx)) + 12;
            h = text.cy + ih + FGlyphSpacing + 12;
        }
    }
    SetBounds(GetLeft(), GetTop(), w, h);
    Invalidate();
}

// ---- Looks

void TTxcButton::MouseMove(gcl::TShiftState shift, int x, int y) {
    if (FLook == blNormal || FLook == blChecked || !FMouseInside) {
        FMouseInside = true;
        FLook = blOver;
    }
    inherited::MouseMove(shift, x, y);
}

void TTxcButton::MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    FPressed = button == gcl::mbLeft;
    if (FPressed) {
        if (GetShowing() && CanFocus()) SetFocus();
        FLook = blDown;
    } else {
        FLook = blOver;
    }
    Announce();
    inherited::MouseDown(button, shift, x, y);
}

void TTxcButton::MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    FPressed = false;
    if (button == gcl::mbLeft) {
        FLook = FMouseInside ? blOver : blNormal;
        if (x >= 0 && y >= 0 && x < GetWidth() && y < GetHeight()) SetChecked(true);
    }
    Announce();
    inherited::MouseUp(button, shift, x, y);
}

void TTxcButton::KeyDown(uint16_t& key, gcl::TShiftState shift) {
    if (key == VK_SPACE && FLook != blDown) {
        FPressed = true;
        FLook = blDown;
        SetChecked(true);
    }
    Announce();
    inherited::KeyDown(key, shift);
}

void TTxcButton::KeyUp(uint16_t& key, gcl::TShiftState shift) {
    if (key == VK_SPACE) {
        FPressed = false;
        FLook = FMouseInside ? blOver : blNormal;
        Invalidate();
    }
    inherited::KeyUp(key, shift);
}

void TTxcButton::Dispatch(gcl::TMessage& message) {
    switch (message.Msg) {
    case gcl::CM_MOUSEENTER:
        if (message.LParam == 0 || message.LParam == reinterpret_cast<intptr_t>(this)) {
            FMouseInside = true;
            FLook = FPressed ? blDown : blOver;
            Invalidate();
        }
        break;
    case gcl::CM_MOUSELEAVE:
        if (message.LParam == 0 || message.LParam == reinterpret_cast<intptr_t>(this)) {
            FMouseInside = false;
            FLook = FPressed ? blDown : blNormal;
            Invalidate();
        }
        break;
    case gcl::CM_ENTER:
        if (FShowFocus) FLook = blOver;
        Invalidate();
        break;
    case gcl::CM_EXIT:
        FLook = FMouseInside ? blOver : blNormal;
        Invalidate();
        break;
    case gcl::CM_ENABLEDCHANGED:
        inherited::Dispatch(message);
        Invalidate();
        return;
    case WM_SKIN_THEMECHANGE:
        if (message.WParam == 2) Invalidate();
        return;
    case gcl::CM_BUTTONPRESSED: {
        auto* sender = reinterpret_cast<gcl::TObject*>(message.LParam);
        if (static_cast<int>(message.WParam) == FGroupIndex && sender != this) {
            auto* other = dynamic_cast<TTxcButton*>(sender);
            if (other && other->FChecked && FChecked) SetChecked(false);
        }
        return;
    }
    case WM_SETTEXT:
        inherited::Dispatch(message);
        ApplyAutoSize();
        Invalidate();
        return;
    case WM_SIZE:
        inherited::Dispatch(message);
        ApplyAutoSize();
        Invalidate();
        return;
    case WM_ERASEBKGND: message.Result = 1; return;
    case WM_PAINT:
        if (message.WParam == 0 && GetDoubleBuffered()) break;  // comes back with the buffer's DC
        inherited::Dispatch(message);
        if (FThemed) WithPaintDC(this, message, [this](HDC dc) { PaintThemed(dc); });
        return;
    default: break;
    }
    inherited::Dispatch(message);
}

// ---- Painting

std::string TTxcButton::PaintStateName() {
    const bool designing = GetComponentState().Contains(gcl::csDesigning);
    if (FShowFocus && Focused() && FLook != blDown && !FPressed) FLook = blOver;
    if (FChecked) {
        if (FMouseInside && !designing) FLook = FHotTracking ? blCheckedHot : blChecked;
        else FLook = blChecked;
    } else if (designing || !GetEnabled()) {
        FLook = blNormal;
    }
    switch (FLook) {
    case blOver: return FHotTracking || (Focused() && FShowFocus) ? "over" : "normal";
    case blDown: return "down";
    case blChecked: return "checked";
    case blCheckedHot: return FHotTracking ? "checkedhot" : "checked";
    default: return "normal";
    }
}

void TTxcButton::PaintThemed(HDC dc) {
    gcl::TCanvasPaintScope scope(*FCanvas, dc);
    TCanvas* canvas = FCanvas.get();
    TTxTheme* theme = CurrentTheme;
    TRect r = GetClientRect();
    qelvo::DrawParentBackground(this, dc, r);
    if (GetComponentState().Contains(gcl::csDesigning)) {
        FPressed = false;
        FMouseInside = false;
    }
    if (FFramed) theme->PaintControlFrame(canvas, r, TxcStateInfo("over", true));
    const TTxItemInfo info = TxcStateInfo(PaintStateName(), GetEnabled());
    theme->PaintControlFrame(canvas, r, info);
    if (FFramed) r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    PaintTxcClippedBackground(canvas, r, 10, 10);
    if (FFramed) r = TRect{r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1};
    theme->PaintButton(canvas, r, info);

    // Glyph and caption.
    const std::string caption = GetCaption();
    const gcl::TSize text = MeasureTextInFont(GetFont(), caption);
    const int w = text.cx;
    const int h = text.cy;
    const int width = GetWidth();
    const int height = GetHeight();
    TRect captionRect;
    if (!HasGlyph()) {
        captionRect = GetClientRect();
        captionRect = TRect{captionRect.Left + 3, captionRect.Top + 3, captionRect.Right - 3, captionRect.Bottom - 3};
    } else {
        const int iw = FImages->GetWidth();
        const int ih = FImages->GetHeight();
        const int s = FGlyphSpacing;
        int gx = 0, gy = 0, cx = 0, cy = 0;
        switch (FGlyphLayout) {
        case glyLeft:
            gx = (width - (w + iw + s)) / 2;
            gy = (height - ih) / 2;
            cx = gx + s + iw;
            cy = (height - h) / 2;
            break;
        case glyRight: {
            const int b = (width - (w + iw + s)) / 2;
            gx = b + s + w;
            gy = (height - ih) / 2;
            cx = b;
            cy = (height - h) / 2;
            break;
        }
        case glyTop:
            gx = (width - iw) / 2;
            gy = (height - (h + ih + s)) / 2;
            cx = (width - w) / 2;
            cy = gy + ih + s;
            break;
        case glyBottom:
            gx = (width - iw) / 2;
            gy = (height - (h + ih + s)) / 2 + s + h;
            cx = (width - w) / 2;
            cy = gy - (h + s);
            break;
        }
        captionRect = TRect{cx, cy, cx + w, cy + h};
        theme->PaintImage(canvas, TRect{gx, gy, gx + iw, gy + ih}, info, FImages, FImageIndex);
    }
    canvas->GetBrush()->SetStyle(gcl::bsClear);
    GetFont()->SetColor(theme->ItemTextColor(info));
    canvas->SetFont(GetFont());
    canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid});
    const UINT flags = FEllipsisStyle == esEndEllipsis    ? 0x8024
                       : FEllipsisStyle == esPathEllipsis ? 0x4024
                                                          : 0x25;
    RECT cr = gcl::ToRECT(captionRect);
    DrawTextA(canvas->GetHandle(), caption.c_str(), static_cast<int>(caption.size()), &cr, flags);
    if (FExtraFrame) {
        ExcludeClipRect(dc, r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
        theme->PaintControlFrame(canvas, r, info);
    }
    RestoreDC(dc, saved);
    canvas->Refresh();
}

} // namespace qelvo
