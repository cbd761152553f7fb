// Extended panels with their buffered background, text objects and labels
// (wide captions, glyphs, glow, links, drawn hints), and the buttons,
// check boxes and speed buttons built on them.
#include "controls/XtControls.h"
#include "controls/XtPaint.h"

#include <algorithm>
#include <vector>

#include "controls/XtEditors.h"
#include "controls/XtTabs.h"
#include "gcl/Forms.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"
#include "theming/TxBars.h"
#include "theming/TxcPanel.h"
#include "unicode/UniActnList.h"
#include "unicode/UniClasses.h"
#include "unicode/UniControls.h"

namespace qelvo {

gcl::TImageList* XtCheckGlyphs = nullptr;

namespace {

// A canvas on a memory DC compatible with the screen, for measuring.
class TMeasureCanvas {
public:
    TMeasureCanvas() : FDC(CreateCompatibleDC(nullptr)) { FCanvas.SetHandle(FDC); }
    ~TMeasureCanvas() {
        FCanvas.SetHandle(nullptr);
        DeleteDC(FDC);
    }
    TMeasureCanvas(const TMeasureCanvas&) = delete;
    TMeasureCanvas& operator=(const TMeasureCanvas&) = delete;
    TCanvas* operator->() { return &FCanvas; }
    TCanvas* Get() { return &FCanvas; }

private:
    HDC FDC;
    TCanvas FCanvas;
};

} // namespace

// ---- Panel face ---------------------------------------------------------------------------

void DrawPanelFace(TCanvas* canvas, const TRect& rect, bool enabled, TXtPanelBorder borderType,
                   TXtThemeType themeType, bool txStyleBackground) {
    TXtThemeType resolved = ResolvePaintingStyle(themeType);
    canvas->RequiredState({gcl::csHandleValid, gcl::csBrushValid, gcl::csPenValid});
    const HDC dc = canvas->GetHandle();
    if (resolved == thtWindows &&
        !DrawVisualStylesPart(VisualStylesHandle(vscButton), dc, 4, enabled ? 1 : 2, rect))
        resolved = thtNone;
    if (resolved == thtNone) {
        static constexpr UINT Edges[] = {BDR_RAISEDINNER, EDGE_RAISED, BDR_SUNKENOUTER, EDGE_SUNKEN, EDGE_BUMP,
                                         EDGE_ETCHED};
        if (borderType == pbrFramed) {
            TRect r = rect;
            FrameRectColor(dc, r, gcl::clBtnFace, false);
        } else {
            RECT r = gcl::ToRECT(rect);
            DrawEdge(dc, &r, Edges[static_cast<int>(borderType)], BF_RECT);
        }
    } else if (resolved == thtTx) {
        TTxItemInfo info;
        if (txStyleBackground && CurrentThemeName() != "Default") {
            FillButtonItemInfo(enabled, false, false, true, info);
            CurrentTheme->PaintButton(canvas, rect, info);
        } else {
            const int saved = SaveDC(dc);
            ExcludeClipRect(dc, rect.Left + 2, rect.Top + 2, rect.Right - 2, rect.Bottom - 2);
            FillButtonItemInfo(enabled, true, true, false, info);
            try {
                CurrentTheme->PaintControlFrame(canvas, rect, info);
            } catch (...) {
                RestoreDC(dc, saved);
                throw;
            }
            RestoreDC(dc, saved);
        }
    }
    canvas->Refresh();
}

// ---- TXtCustomPanel ----------------------------------------------------------------------------

GCL_PUBLISHED(TXtCustomPanel,
    gcl::Prop<&TXtCustomPanel::GetCaption, &TXtCustomPanel::SetCaption>("Caption")
        .StoredBy<&TXtCustomPanel::IsCaptionStored>(),
    gcl::Prop<&TXtCustomPanel::GetHint, &TXtCustomPanel::SetHint>("Hint").StoredBy<&TXtCustomPanel::IsHintStored>(),
    GCL_PROP(ThemeType).Default(thtTx))

TXtCustomPanel::TXtCustomPanel(gcl::TComponent* owner)
    : TCustomControl(owner),
      FBuffer(std::make_unique<gcl::TBitmap>()),
      FMargins(std::make_unique<TTxControlMargins>()) {
    gcl::TControlStyle style = GetControlStyle();
    style.Include(gcl::csAcceptsControls);
    SetControlStyle(style);
    FMargins->OnChange = gcl::TNotifyEvent(this, &TXtCustomPanel::MarginsChange);
    // Themed containers show what lies behind them unless given a colour.
    SetParentColor(false);
    SetColor(clNone);
    AddThemeListener(this);
}

TXtCustomPanel::~TXtCustomPanel() = default;

void TXtCustomPanel::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    inherited::BeforeDestruction();
}

std::wstring TXtCustomPanel::GetCaption() { return WideControlGetText(this); }
void TXtCustomPanel::SetCaption(const std::wstring& value) { WideControlSetText(this, value); }
std::wstring TXtCustomPanel::GetHint() { return WideControlGetHint(this); }
void TXtCustomPanel::SetHint(const std::wstring& value) { WideControlSetHint(this, value); }
bool TXtCustomPanel::IsCaptionStored() { return IsWideCaptionStored(this); }
bool TXtCustomPanel::IsHintStored() { return IsWideHintStored(this); }

void TXtCustomPanel::DefineProperties(gcl::TFiler& filer) {
    inherited::DefineProperties(filer);
    DefineWideProperties(filer, this);
}

void TXtCustomPanel::CreateParams(gcl::TCreateParams& params) {
    inherited::CreateParams(params);
    if (!GetComponentState().Contains(gcl::csDesigning))
        params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TXtCustomPanel::CreateWindowHandle(const gcl::TCreateParams& params) {
    CreateWideWindowHandle(this, params, nullptr);
}

void TXtCustomPanel::AdjustClientRect(TRect& rect) {
    inherited::AdjustClientRect(rect);
    rect = InsetRect(rect, 1, 1);
    rect.Left += FMargins->GetLeft();
    rect.Top += FMargins->GetTop();
    rect.Right -= FMargins->GetRight();
    rect.Bottom -= FMargins->GetBottom();
}

void TXtCustomPanel::MarginsChange(gcl::TObject*) {
    Realign();
    Invalidate();
}

void TXtCustomPanel::SetBorders(bool value) {
    if (value == FBorders) return;
    FBorders = value;
    InvalidateBackground(true);
}

void TXtCustomPanel::SetBorderType(TXtPanelBorder value) {
    if (value == FBorderType) return;
    FBorderType = value;
    InvalidateBackground(true);
}

void TXtCustomPanel::SetTxStyleBackground(bool value) {
    if (value == FTxStyleBackground) return;
    FTxStyleBackground = value;
    InvalidateBackground(true);
}

void TXtCustomPanel::SetThemeType(TXtThemeType value) {
    if (value == FThemeType) return;
    FThemeType = value;
    InvalidateBackground(false);
}

void TXtCustomPanel::InvalidateBackground(bool invalidateChildren) {
    FBufferValid = false;
    if (GetComponentState().Contains(gcl::csDestroying) || !HandleAllocated()) return;
    RedrawWindow(GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    if (!invalidateChildren) return;
    for (int i = 0; i < GetControlCount(); ++i) {
        auto* child = dynamic_cast<gcl::TWinControl*>(GetControls(i));
        if (!child || !child->HandleAllocated()) continue;
        if (child->InheritsFrom(TTxPanelObject::StaticClass()))
            RedrawWindow(child->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
        else
            PostMessageA(child->GetHandle(), CM_XTINVALIDATEBACKGROUND, static_cast<WPARAM>(child->GetWidth()),
                         child->GetHeight());
    }
}

void TXtCustomPanel::DoDrawBackground(TCanvas* canvas, const TRect& rect, TXtPaintStage paintStage,
                                      bool& paintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, canvas, rect, paintStage, paintDefault);
}

void TXtCustomPanel::DrawBackground(TCanvas* canvas, const TRect& rect) {
    DrawPanelFace(canvas, rect, true, FBorderType, FThemeType, FTxStyleBackground);
}

void TXtCustomPanel::PaintBackgroundTo(TCanvas* canvas, const TRect& rect) {
    if (GetComponentState().Contains(gcl::csDestroying) || IsEmptyRect(rect)) return;
    const int w = rect.Width(), h = rect.Height();
    gcl::TBitmap bitmap;
    bitmap.SetPixelFormat(gcl::pf32bit);
    bitmap.SetSize(w, h);
    TCanvas* target = bitmap.GetCanvas();
    const TRect local{0, 0, w, h};
    const HDC dc = target->GetHandle();
    if (GetColor() != clNone) {
        FillRectColor(dc, local, GetColor());
    } else {
        FillRectColor(dc, local, gcl::clWhite);
        DrawParentBackgroundAt(this, dc, local, rect.Left, rect.Top);
    }
    target->SetFont(GetFont());
    target->GetBrush()->SetColor(GetColor());
    bool paintDefault = true;
    DoDrawBackground(target, local, pstPrePaint, paintDefault);
    if (paintDefault) DrawBackground(target, FBorders ? local : InsetRect(local, -3, -3));
    paintDefault = true;
    DoDrawBackground(target, local, pstPostPaint, paintDefault);
    canvas->Draw(rect.Left, rect.Top, &bitmap);
}

void TXtCustomPanel::Dispatch(gcl::TMessage& message) {
    switch (message.Msg) {
    case WM_ERASEBKGND: {
        if (GetDoubleBuffered() && message.WParam != static_cast<uintptr_t>(message.LParam)) {
            message.Result = 1;
            return;
        }
        const int w = GetClientWidth(), h = GetClientHeight();
        if (!FBufferValid) {
            FBuffer->SetPixelFormat(gcl::pf32bit);
            FBuffer->SetSize(w, h);
            PaintBackgroundTo(FBuffer->GetCanvas(), TRect{0, 0, w, h});
            FBufferValid = true;
        }
        if (w > 0 && h > 0)
            BitBlt(reinterpret_cast<HDC>(message.WParam), 0, 0, w, h, FBuffer->GetCanvas()->GetHandle(), 0, 0,
                   SRCCOPY);
        message.Result = 1;
        return;
    }
    case WM_WINDOWPOSCHANGED:
        inherited::Dispatch(message);
        InvalidateBackground(true);
        return;
    case WM_SKIN_THEMECHANGE:
        if (message.WParam == 3) InvalidateBackground(true);
        return;
    case CM_XTINVALIDATEBACKGROUND:
        InvalidateBackground(true);
        message.Result = 1;
        return;
    default: break;
    }
    inherited::Dispatch(message);
}

// ---- TXtPanel ---------------------------------------------------------------------------------

GCL_PUBLISHED(TXtPanel,
    GCL_PROP(Align).Default(gcl::alNone),
    GCL_PROP(Anchors).Default(gcl::TAnchors{gcl::akLeft, gcl::akTop}),
    GCL_PROP(AutoSize).Default(false),
    GCL_PROP(Borders).Default(true),
    GCL_PROP(BorderType).Default(pbrEtched),
    GCL_PROP(Color).Default(clNone).Idents(gcl::ColorIdents),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP_RO(Font),
    GCL_PROP(HotTrack).Default(false),
    GCL_PROP_RO(Margins),
    GCL_PROP(ParentColor).Default(false),
    GCL_PROP(ParentFont).Default(true),
    GCL_PROP(ShowHint).Default(false),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(false),
    GCL_PROP(TxStyleBackground).Default(false),
    GCL_PROP(Visible).Default(true))

void TXtPanel::AdjustClientRect(TRect& rect) {
    inherited::AdjustClientRect(rect);
    rect = InsetRect(rect, 1, 1);
}

void TXtPanel::SetHotTrack(bool value) {
    if (value == FHotTrack) return;
    FHotTrack = value;
    InvalidateBackground(false);
}

void TXtPanel::SetHot(bool value) {
    if (ResolvePaintingStyle(GetThemeType()) == thtWindows) return;
    if (value == FHot) return;
    FHot = value;
    InvalidateBackground(false);
}

void TXtPanel::DrawBackground(TCanvas* canvas, const TRect& rect) {
    if (ResolvePaintingStyle(GetThemeType()) != thtNone && !GetTxStyleBackground() && FHotTrack) {
        DrawThemedEditFrame(canvas, rect, GetEnabled(), true, GetThemeType(), FHot);
        return;
    }
    inherited::DrawBackground(canvas, rect);
}

void TXtPanel::Dispatch(gcl::TMessage& message) {
    switch (message.Msg) {
    case gcl::CM_MOUSEENTER:
        inherited::Dispatch(message);
        if (FHotTrack && !FHot) SetHot(true);
        return;
    case gcl::CM_MOUSELEAVE:
        inherited::Dispatch(message);
        if (FHotTrack && FHot && !FChildFocused) SetHot(false);
        return;
    case gcl::CM_FOCUSCHANGED: {
        inherited::Dispatch(message);
        auto* focused = reinterpret_cast<gcl::TControl*>(message.LParam);
        if (focused && FHotTrack) {
            FChildFocused = IndexOfChildControl(this, focused) != -1;
            if (FChildFocused != FHot) SetHot(FChildFocused);
        }
        return;
    }
    default: break;
    }
    inherited::Dispatch(message);
}

// ---- TXtTextObject --------------------------------------------------------------------------

GCL_PUBLISHED(TXtTextObject,
    gcl::Prop<&TXtTextObject::GetCaption, &TXtTextObject::SetCaption>("Caption")
        .StoredBy<&TXtTextObject::IsCaptionStored>(),
    gcl::Prop<&TXtTextObject::GetHint, &TXtTextObject::SetHint>("Hint").StoredBy<&TXtTextObject::IsHintStored>(),
    GCL_PROP(Align).Default(gcl::alNone),
    GCL_PROP(Alignment).Default(gcl::taLeftJustify),
    GCL_PROP(Anchors).Default(gcl::TAnchors{gcl::akLeft, gcl::akTop}),
    GCL_PROP(AutoSize).Default(true),
    GCL_PROP(CaptionGlow).Default(gldNone),
    GCL_PROP(CaptionGlowColor).Default(gcl::clYellow).Idents(gcl::ColorIdents),
    GCL_PROP(Color).Default(clNone).Idents(gcl::ColorIdents),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP_RO(Font),
    GCL_PROP(ImageIndex).Default(-1),
    GCL_PROP(Images),
    GCL_PROP_RO(LinkFont),
    GCL_PROP(LinkText),
    GCL_PROP(LinkTextParams),
    GCL_PROP_RO(Margins),
    GCL_PROP(ParentFont).Default(true),
    GCL_PROP(ShowAccelChar).Default(true),
    GCL_PROP(ShowHint).Default(false),
    GCL_PROP(ThemeType).Default(thtTx),
    GCL_PROP(Visible).Default(true),
    GCL_PROP(Wrapping).Default(twNone))

TXtTextObject::TXtTextObject(gcl::TComponent* owner)
    : TTxTextObject(owner),
      FImageChangeLink(std::make_unique<gcl::TChangeLink>()),
      FLinkFont(std::make_unique<gcl::TFont>()) {
    gcl::TControlStyle style = GetControlStyle();
    style.Exclude(gcl::csAcceptsControls);
    style.Include(gcl::csDoubleClicks);
    SetControlStyle(style);
    FImageChangeLink->OnChange = gcl::TNotifyEvent(this, &TXtTextObject::ImageListChange);
    FLinkFont->SetColor(gcl::clBlue);
    FLinkFont->SetStyle(gcl::TFontStyles{gcl::fsUnderline});
    SetAutoSize(true);
    SetTabStop(true);
}

TXtTextObject::~TXtTextObject() = default;

void TXtTextObject::BeforeDestruction() noexcept {
    if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
    inherited::BeforeDestruction();
}

std::wstring TXtTextObject::GetCaption() { return WideControlGetText(this); }
void TXtTextObject::SetCaption(const std::wstring& value) { WideControlSetText(this, value); }
std::wstring TXtTextObject::GetHint() { return WideControlGetHint(this); }
void TXtTextObject::SetHint(const std::wstring& value) { WideControlSetHint(this, value); }
bool TXtTextObject::IsCaptionStored() { return IsWideCaptionStored(this); }
bool TXtTextObject::IsHintStored() { return IsWideHintStored(this); }

void TXtTextObject::DefineProperties(gcl::TFiler& filer) {
    inherited::DefineProperties(filer);
    DefineWideProperties(filer, this);
}

void TXtTextObject::CreateWindowHandle(const gcl::TCreateParams& params) {
    CreateWideWindowHandle(this, params, nullptr);
}

bool TXtTextObject::CanFocus() { return false; }

void TXtTextObject::SetCaptionGlow(TXtGlowDirection value) { StoreAndInvalidate(FCaptionGlow, value); }

void TXtTextObject::SetCaptionGlowColor(TColor value) { StoreAndInvalidate(FCaptionGlowColor, value); }

void TXtTextObject::SetDrawPushedCaption(bool value) { StoreAndInvalidate(FDrawPushedCaption, value); }

void TXtTextObject::SetChecked(bool value) { StoreAndInvalidate(FChecked, value); }

void TXtTextObject::SetThemeType(TXtThemeType value) { StoreAndInvalidate(FThemeType, value); }

void TXtTextObject::SetLinkText(const std::wstring& value) { StoreAndInvalidate(FLinkText, value); }

void TXtTextObject::ContentChanged() {
    // Auto-sized with or without a window.
    if (GetAutoSize()) AdjustSize();
}

void TXtTextObject::SetImageIndex(int value) {
    if (value == FImageIndex) return;
    FImageIndex = value;
    if (FImages) Invalidate();
    ContentChanged();
}

void TXtTextObject::SetImages(TCustomImageList* value) {
    if (value == FImages) return;
    ReplaceImageList(this, FImages, value, FImageChangeLink.get());
    Invalidate();
    ContentChanged();
}

void TXtTextObject::ImageListChange(gcl::TObject*) {
    Invalidate();
    ContentChanged();
}

void TXtTextObject::Notification(gcl::TComponent* component, gcl::TOperation operation) {
    inherited::Notification(component, operation);
    if (operation == gcl::opRemove && component == FImages) {
        FImages = nullptr;
        Invalidate();
        if (!GetComponentState().Contains(gcl::csDestroying)) ContentChanged();
    }
}

void TXtTextObject::ActionChange(gcl::TObject* sender, bool checkDefaults) {
    inherited::ActionChange(sender, checkDefaults);
    if (auto* uni = dynamic_cast<TUniAction*>(sender)) {
        if (!checkDefaults || GetCaption().empty()) SetCaption(uni->GetCaption());
        if (!checkDefaults || GetHint().empty()) SetHint(uni->GetHint());
    }
    if (auto* action = dynamic_cast<gcl::TCustomAction*>(sender)) {
        if (!checkDefaults || !GetChecked()) SetChecked(action->GetChecked());
        if (!checkDefaults || GetImageIndex() == -1) SetImageIndex(action->GetImageIndex());
    }
}

gcl::TBasicActionLinkClass TXtTextObject::GetActionLinkClass() const {
    return TXtTextObjectActionLink::StaticClass();
}

bool TXtTextObject::GetPushed() { return TTxPanelObject::GetPushed() && GetMouseInControl(); }

bool TXtTextObject::IsFocused() { return Focused(); }

uint32_t TXtTextObject::GetTextFormat() { return DrawTextBiDiModeFlags(GetDrawTextFlags()); }

void TXtTextObject::DoGetImageIndex(TCustomImageList*& images, int& index) {
    if (OnGetImageIndex) OnGetImageIndex(this, images, index);
}

bool TXtTextObject::DoDraw(TCanvas* canvas, const TRect& rect, TXtPaintStage paintStage) {
    bool paintDefault = true;
    if (OnDraw) OnDraw(this, canvas, rect, paintStage, paintDefault);
    return paintDefault;
}

bool TXtTextObject::DoDrawHint(gcl::TBitmap* bitmap, std::wstring& hint) {
    bool paintDefault = true;
    if (OnDrawHint) OnDrawHint(this, bitmap, hint, paintDefault);
    return paintDefault;
}

void TXtTextObject::DoAdjustFont(gcl::TFont* font) {
    if (GetLinkShown()) font->Assign(FLinkFont.get());
}

void TXtTextObject::DoMouseEnter() {
    inherited::DoMouseEnter();
    Invalidate();
}

void TXtTextObject::DoMouseLeave() {
    inherited::DoMouseLeave();
    Invalidate();
}

void TXtTextObject::GetFocusRect(TRect& rect) {
    rect = GetCaption().empty() || IsEmptyRect(FCaptionRect) ? TRect{} : InsetRect(FCaptionRect, -1, -1);
}

void TXtTextObject::CalcContentRect(TRect& content, TRect& caption, TRect& glyph) {
    TMeasureCanvas canvas;
    canvas->SetFont(GetFont());
    DoAdjustFont(canvas->GetFont());
    TRect r{0, 0, std::max(GetWidth(), 1), std::max(GetHeight(), 1)};
    const TTxControlMargins* m = GetMargins();
    TRect textMargins;
    GetTextMargins(textMargins);
    r.Left += m->GetLeft() + textMargins.Left;
    r.Top += m->GetTop() + textMargins.Top;
    r.Right -= m->GetRight() + textMargins.Right;
    r.Bottom -= m->GetBottom() + textMargins.Bottom;
    TXtCaptionAndImage item;
    item.Caption = GetCaption();
    item.Images = FImages;
    item.ImageIndex = FImageIndex;
    DoGetImageIndex(item.Images, item.ImageIndex);
    item.Format = GetTextFormat();
    item.Alignment = GetAlignment();
    item.MeasureOnly = true;
    if (item.Caption.empty()) item.Caption = L" ";  // the height of one line
    DrawCaptionAndImage(canvas.Get(), r, item, caption, glyph);
    content = caption;
    if (!IsEmptyRect(glyph)) {
        content.Left = std::min(content.Left, glyph.Left);
        content.Top = std::min(content.Top, glyph.Top);
        content.Right = std::max(content.Right, glyph.Right);
        content.Bottom = std::max(content.Bottom, glyph.Bottom);
    }
    if (GetAutoSize()) {
        content.Right += m->GetLeft() + m->GetRight() + textMargins.Left + textMargins.Right;
        content.Bottom += m->GetTop() + m->GetBottom() + textMargins.Top + textMargins.Bottom;
    }
}

bool TXtTextObject::CanAutoSize(int& newWidth, int& newHeight) {
    if (GetComponentState().Contains(gcl::csLoading) || GetComponentState().Contains(gcl::csReading)) return true;
    if (!GetAutoSize()) return true;
    TRect content, caption, glyph;
    CalcContentRect(content, caption, glyph);
    newHeight = content.Height();
    if (GetWrapping() == twNone) newWidth = content.Width();
    return true;
}

void TXtTextObject::GetTextHeight(gcl::TCanvas*, int& height) {
    TRect content, caption, glyph;
    CalcContentRect(content, caption, glyph);
    height = content.Height();
}

void TXtTextObject::Paint() {
    TCanvas* canvas = GetCanvas();
    const TRect client = GetClientRect();
    const TTxControlMargins* m = GetMargins();
    const TRect r{client.Left + m->GetLeft(), client.Top + m->GetTop(), client.Right - m->GetRight(),
                  client.Bottom - m->GetBottom()};
    canvas->SetFont(GetFont());
    DoAdjustFont(canvas->GetFont());
    DoDraw(canvas, r, pstPrePaint);
    TRect textMargins;
    GetTextMargins(textMargins);
    const TRect r2{r.Left + textMargins.Left, r.Top + textMargins.Top, r.Right - textMargins.Right,
                   r.Bottom - textMargins.Bottom};
    DrawCaptionStep(canvas, r, r2, GetTextFormat());
    DoDraw(canvas, r, pstPostPaint);
}

void TXtTextObject::DrawCaptionStep(TCanvas* canvas, const TRect& clientRect, const TRect& rect, uint32_t format) {
    TXtCaptionAndImage item;
    item.Caption = GetCaption();
    item.Format = format;
    item.Alignment = GetAlignment();
    if (format & DT_CALCRECT) {
        item.MeasureOnly = true;
        DrawCaptionAndImage(canvas, rect, item, FCaptionRect, FGlyphRect);
        return;
    }
    canvas->GetBrush()->SetStyle(gcl::bsClear);
    bool paintDefault = true;
    TRect captionRect = rect;
    uint32_t captionFormat = format;
    if (OnDrawCaption)
        OnDrawCaption(this, canvas, clientRect, item.Caption, captionRect, captionFormat, false, pstPrePaint,
                      paintDefault);
    item.Format = captionFormat;
    if (paintDefault) {
        item.Images = FImages;
        item.ImageIndex = FImageIndex;
        DoGetImageIndex(item.Images, item.ImageIndex);
        item.Pushed = FDrawPushedCaption && GetPushed();
        if (GetEnabled()) {
            item.Glow = FCaptionGlow;
            item.GlowColor = FCaptionGlowColor;
            DrawCaptionAndImage(canvas, rect, item, FCaptionRect, FGlyphRect);
        } else {
            const TColor fontColor = canvas->GetFont()->GetColor();
            if (ResolvePaintingStyle(FThemeType) == thtNone && !item.Caption.empty()) {
                TXtCaptionAndImage layout = item;
                layout.MeasureOnly = true;
                TRect cr, ir;
                DrawCaptionAndImage(canvas, rect, layout, cr, ir);
                gcl::OffsetRect(cr, 1, 1);
                canvas->GetFont()->SetColor(gcl::clBtnHighlight);
                DrawGlowText(canvas, item.Caption, cr, 0, clNone, gldNone,
                             captionFormat & ~static_cast<uint32_t>(DT_CENTER | DT_VCENTER | DT_RIGHT));
            }
            canvas->GetFont()->SetColor(gcl::clBtnShadow);
            item.DisabledImage = FGreyDisabledGlyph;
            DrawCaptionAndImage(canvas, rect, item, FCaptionRect, FGlyphRect);
            canvas->GetFont()->SetColor(fontColor);
        }
    }
    if (OnDrawCaption)
        OnDrawCaption(this, canvas, clientRect, item.Caption, FCaptionRect, captionFormat, false, pstPostPaint,
                      paintDefault);
    if (paintDefault && IsFocused()) {
        TRect focus;
        GetFocusRect(focus);
        gcl::IntersectRect(focus, focus, clientRect);
        DrawFocusRectangle(canvas, focus);
    }
}

void TXtTextObject::Click() {
    if (GetComponentState().Contains(gcl::csDestroying)) return;
    Invalidate();
    inherited::Click();
    DoLink();
}

void TXtTextObject::DoLink() {
    if (FLinkText.empty()) return;
    // A target that cannot be opened is ignored: no message from the shell.
    try {
        gcl::Shell->OpenSilently(FLinkText, FLinkTextParams);
    } catch (const gcl::Exception&) {
    }
}

void TXtTextObject::ShowDrawnHint(gcl::TMessage& message) {
    auto* info = reinterpret_cast<gcl::THintInfo*>(message.LParam);
    if (!info || !XtHintBitmap) return;
    std::wstring hint = WideGetLongHint(GetHint());
    const gcl::TSize size = BeginBitmapHint(hint, GetFont(), info->HintMaxWidth);
    if (DoDrawHint(XtHintBitmap, hint)) return;  // the standard hint
    DrawBitmapHintText(hint, size);
    UseBitmapHint(*info, hint);
}

void TXtTextObject::Dispatch(gcl::TMessage& message) {
    switch (message.Msg) {
    case WM_ERASEBKGND: {
        if (GetDoubleBuffered() && message.WParam != static_cast<uintptr_t>(message.LParam)) {
            message.Result = 1;
            return;
        }
        const HDC dc = reinterpret_cast<HDC>(message.WParam);
        const TRect client = GetClientRect();
        if (GetColor() != clNone)
            FillRectColor(dc, client, GetColor());
        else
            DrawParentBackgroundAt(this, dc, client, 0, 0);
        message.Result = 1;
        return;
    }
    case WM_SETCURSOR:
        if (GetLinkShown() && !GetComponentState().Contains(gcl::csDesigning) && gcl::Screen &&
            gcl::Screen->GetCursor() == gcl::crDefault) {
            const HCURSOR hand = XtHandCursor();
            ::SetCursor(hand ? hand : gcl::Screen->GetCursors(GetCursor()));
            message.Result = 1;
            return;
        }
        break;
    case gcl::CM_HINTSHOW:
        inherited::Dispatch(message);
        if (OnDrawHint && message.Result == 0) ShowDrawnHint(message);
        return;
    case gcl::CM_TEXTCHANGED:
    case gcl::CM_FONTCHANGED:
        inherited::Dispatch(message);
        ContentChanged();
        return;
    default: break;
    }
    inherited::Dispatch(message);
}

// ---- TXtTextObjectActionLink ------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TXtTextObjectActionLink)

bool TXtTextObjectActionLink::IsCheckedLinked() {
    auto* action = dynamic_cast<gcl::TCustomAction*>(GetAction());
    return inherited::IsCheckedLinked() && action && Client()->GetChecked() == action->GetChecked();
}

void TXtTextObjectActionLink::SetCaption(const std::string& value) {
    if (!IsCaptionLinked()) return;
    TClientUpdate update(FClient);
    Client()->SetCaption(GetActionWideCaption(GetAction(), gcl::AnsiToWide(value)));
}

void TXtTextObjectActionLink::SetHint(const std::string& value) {
    if (!IsHintLinked()) return;
    TClientUpdate update(FClient);
    Client()->SetHint(GetActionWideHint(GetAction(), gcl::AnsiToWide(value)));
}

void TXtTextObjectActionLink::SetChecked(bool value) {
    if (!IsCheckedLinked()) return;
    TClientUpdate update(FClient);
    Client()->SetChecked(value);
}

void TXtTextObjectActionLink::SetImageIndex(int value) {
    if (!IsImageIndexLinked()) return;
    Client()->SetImageIndex(value);
}

// ---- TXtCustomLabel ---------------------------------------------------------------------------

GCL_PUBLISHED(TXtCustomLabel,
    GCL_PROP(FocusControl),
    GCL_PROP(Underline).Default(false),
    GCL_PROP(UnderlineColor).Default(gcl::clBtnShadow).Idents(gcl::ColorIdents))

void TXtCustomLabel::SetFocusControl(gcl::TWinControl* value) {
    if (value == FFocusControl) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = value;
    if (FFocusControl) FFocusControl->FreeNotification(this);
}

void TXtCustomLabel::SetUnderline(bool value) {
    if (value == FUnderline) return;
    FUnderline = value;
    Invalidate();
    ContentChanged();
}

void TXtCustomLabel::SetUnderlineColor(TColor value) { StoreAndInvalidate(FUnderlineColor, value); }

void TXtCustomLabel::Notification(gcl::TComponent* component, gcl::TOperation operation) {
    inherited::Notification(component, operation);
    if (operation == gcl::opRemove && component == FFocusControl) FFocusControl = nullptr;
}

void TXtCustomLabel::CalcContentRect(TRect& content, TRect& caption, TRect& glyph) {
    inherited::CalcContentRect(content, caption, glyph);
    if (FUnderline) content.Bottom += 1;
}

bool TXtCustomLabel::DoDraw(TCanvas* canvas, const TRect& rect, TXtPaintStage paintStage) {
    const bool paintDefault = inherited::DoDraw(canvas, rect, paintStage);
    if (paintStage == pstPrePaint && paintDefault && FUnderline) {
        canvas->RequiredState({gcl::csHandleValid});
        DrawLineColor(canvas->GetHandle(), rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom - 1, FUnderlineColor);
    }
    return paintDefault;
}

void TXtCustomLabel::Dispatch(gcl::TMessage& message) {
    if (message.Msg == gcl::CM_DIALOGCHAR && FFocusControl) {
        const wchar_t accel = GetAcceleratorChar(GetCaption());
        const wchar_t key = WideUpperCase(std::wstring(1, gcl::AnsiToWide(std::string(1, static_cast<char>(
                                                                                              message.WParam)))[0]))[0];
        if (accel != 0 && accel == key && GetShowAccelChar() && CanFocusForAccel(FFocusControl)) {
            FFocusControl->SetFocus();
            message.Result = 1;
            return;
        }
    }
    inherited::Dispatch(message);
}

GCL_IMPLEMENT_CLASS(TXtLabel)

// ---- TXtButtonControl -------------------------------------------------------------------------

namespace {

bool IsAccelKey(uintptr_t charCode, const std::wstring& caption) {
    const wchar_t accel = GetAcceleratorChar(caption);
    if (accel == 0) return false;
    const std::wstring key = gcl::AnsiToWide(std::string(1, static_cast<char>(charCode)));
    return !key.empty() && WideUpperCase(key)[0] == accel;
}

} // namespace

GCL_PUBLISHED(TXtButtonControl, GCL_PROP(GroupIndex).Default(0))

bool TXtButtonControl::CanFocus() {
    gcl::TCustomForm* form = gcl::GetParentForm(this);
    if (!form || !form->GetVisible() || !form->GetEnabled()) return false;
    for (gcl::TWinControl* c = this; c; c = c->GetParent()) {
        if (!c->GetVisible() || !c->GetEnabled()) return false;
        if (c == form) break;
    }
    return true;
}

void TXtButtonControl::SetGroupIndex(int value) {
    if (value == FGroupIndex) return;
    FGroupIndex = value;
    AnnounceCheck();
}

void TXtButtonControl::SetChecked(bool value) {
    if (value == GetChecked()) return;
    inherited::SetChecked(value);
    if (value) AnnounceCheck();
}

void TXtButtonControl::AnnounceCheck() {
    gcl::TWinControl* parent = GetParent();
    if (FGroupIndex == -1 || !parent) return;
    // A snapshot: a receiver may move itself meanwhile.
    std::vector<gcl::TControl*> siblings;
    for (int i = 0; i < parent->GetControlCount(); ++i) siblings.push_back(parent->GetControls(i));
    for (gcl::TControl* sibling : siblings)
        sibling->Perform(CM_BUTTONGROUPCHECK, static_cast<uintptr_t>(FGroupIndex), reinterpret_cast<intptr_t>(this));
}

void TXtButtonControl::Dispatch(gcl::TMessage& message) {
    switch (message.Msg) {
    case CM_BUTTONGROUPCHECK: {
        auto* sender = reinterpret_cast<TXtButtonControl*>(message.LParam);
        if (sender && sender != this && static_cast<int>(message.WParam) == FGroupIndex &&
            sender->ClassType() == ClassType() && sender->GetChecked() && GetChecked())
            SetChecked(false);
        return;
    }
    case gcl::CM_DIALOGKEY:
        if (gcl::LoWord(message.WParam) == VK_RETURN && gcl::KeyDataToShiftState(message.LParam).Empty() &&
            Focused()) {
            Click();
            message.Result = 1;
            return;
        }
        break;
    case gcl::CM_DIALOGCHAR:
        if (GetEnabled() && GetShowAccelChar() && IsAccelKey(message.WParam, GetCaption()) && CanFocus() &&
            GetVisible()) {
            SetFocus();
            Click();
            message.Result = 1;
            return;
        }
        break;
    default: break;
    }
    inherited::Dispatch(message);
}

// ---- TXtCustomCheckBox ------------------------------------------------------------------------

GCL_PUBLISHED(TXtCustomCheckBox,
    GCL_PROP(GroupIndex).Default(-1),
    GCL_PROP(AllowGrayed).Default(false),
    GCL_PROP(Checked).Default(false),
    GCL_PROP(State).Default(gcl::cbUnchecked),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(true))

TXtCustomCheckBox::TXtCustomCheckBox(gcl::TComponent* owner) : TXtButtonControl(owner) {
    SetGroupIndexRaw(-1);
    SetGreyDisabledGlyph(false);
}

void TXtCustomCheckBox::Toggle() {
    switch (FState) {
    case gcl::cbUnchecked: SetState(FAllowGrayed ? gcl::cbGrayed : gcl::cbChecked); break;
    case gcl::cbChecked: SetState(gcl::cbUnchecked); break;
    case gcl::cbGrayed: SetState(gcl::cbChecked); break;
    }
}

void TXtCustomCheckBox::Click() {
    if (!FChangingState) {
        Toggle();
        return;
    }
    inherited::Click();
}

void TXtCustomCheckBox::SetState(gcl::TCheckBoxState value) {
    if (value == FState) return;
    FState = value;
    Invalidate();
    FChangingState = true;
    try {
        Click();
    } catch (...) {
        FChangingState = false;
        throw;
    }
    FChangingState = false;
}

void TXtCustomCheckBox::SetChecked(bool value) {
    if (value == GetChecked()) return;
    inherited::SetChecked(value);
    SetState(value ? gcl::cbChecked : gcl::cbUnchecked);
}

void TXtCustomCheckBox::DoGetImageIndex(TCustomImageList*& images, int& index) {
    if (!images && XtCheckGlyphs) {
        gcl::TBitmap glyph;
        glyph.SetPixelFormat(gcl::pf32bit);
        glyph.SetSize(13, 13);
        TCanvas* canvas = glyph.GetCanvas();
        FillRectColor(canvas->GetHandle(), TRect{0, 0, 13, 13}, 0xFF00FF);
        XtCheckGlyphs->Clear();
        XtCheckGlyphs->SetSize(13, 13);
        DrawThemedCheckBox(canvas, TRect{0, 0, 13, 13}, GetEnabled(), static_cast<int>(FState),
                           GetMouseInControl(), GetPushed(), IsFocused(), GetThemeType());
        XtCheckGlyphs->AddMasked(&glyph, 0xFF00FF);
        images = XtCheckGlyphs;
        index = 0;
    }
    inherited::DoGetImageIndex(images, index);
}

void TXtCustomCheckBox::CalcContentRect(TRect& content, TRect& caption, TRect& glyph) {
    inherited::CalcContentRect(content, caption, glyph);
    if (GetAutoSize()) {
        content.Right += 1;
        content.Bottom += 2;
    }
}

GCL_PUBLISHED(TXtCheckBox)

// ---- TXtCustomButton ----------------------------------------------------------------------------

void DrainButtonClicks(gcl::TControl* control) {
    // Taken out first, posted again after: peeking and re-posting in one
    // loop would find the re-posted messages again.
    std::vector<MSG> taken;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE)) taken.push_back(msg);
    const bool quit = PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    const int exitCode = quit ? static_cast<int>(msg.wParam) : 0;
    for (const MSG& m : taken) {
        const bool press = m.message == WM_LBUTTONDOWN || m.message == WM_LBUTTONDBLCLK ||
                           m.message == WM_RBUTTONDOWN || m.message == WM_RBUTTONDBLCLK ||
                           m.message == WM_MBUTTONDOWN || m.message == WM_MBUTTONDBLCLK;
        if (press && control && gcl::FindDragTarget(TPoint{m.pt.x, m.pt.y}, true) == control) continue;
        PostMessageA(m.hwnd, m.message, m.wParam, m.lParam);
    }
    if (quit) PostQuitMessage(exitCode);
}

GCL_PUBLISHED(TXtCustomButton,
    GCL_PROP(Checked).Default(false),
    GCL_PROP(Alignment).Default(gcl::taCenter),
    GCL_PROP(AutoSize).Default(false),
    GCL_PROP_RO(Bitmap),
    GCL_PROP(BitmapTransparent).Default(true),
    GCL_PROP(Cancel).Default(false),
    GCL_PROP(Default).Default(false),
    GCL_PROP(DrawPushedCaption).Default(true),
    GCL_PROP(DropDownArrow).Default(true),
    GCL_PROP(DropDownMenu),
    GCL_PROP(Repeating).Default(false),
    GCL_PROP(ThemeType).Default(thtWindows))

TXtCustomButton::TXtCustomButton(gcl::TComponent* owner)
    : TXtButtonControl(owner), FBitmap(std::make_unique<gcl::TBitmap>()) {
    gcl::TControlStyle style = GetControlStyle();
    style.Exclude(gcl::csDoubleClicks);
    SetControlStyle(style);
    FBitmap->OnChange = gcl::TNotifyEvent(this, &TXtCustomButton::BitmapChange);
    SetAlignment(gcl::taCenter);
    SetAutoSize(false);
    SetDrawPushedCaption(true);
    SetThemeType(thtWindows);
    SetBounds(GetLeft(), GetTop(), 75, 25);
}

TXtCustomButton::~TXtCustomButton() = default;

void TXtCustomButton::BeforeDestruction() noexcept {
    StopRepeat();
    inherited::BeforeDestruction();
}

void TXtCustomButton::BitmapChange(gcl::TObject*) { Invalidate(); }

void TXtCustomButton::SetBitmap(gcl::TBitmap* value) {
    FBitmap->Assign(value);
    Invalidate();
}

void TXtCustomButton::SetBitmapTransparent(bool value) { StoreAndInvalidate(FBitmapTransparent, value); }

void TXtCustomButton::SetDefault(bool value) { StoreAndInvalidate(FDefault, value); }

void TXtCustomButton::SetDropDownArrow(bool value) { StoreAndInvalidate(FDropDownArrow, value); }

void TXtCustomButton::SetDropDownMenu(gcl::TPopupMenu* value) {
    if (value == FDropDownMenu) return;
    if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
    FDropDownMenu = value;
    if (FDropDownMenu) FDropDownMenu->FreeNotification(this);
    Invalidate();
}

void TXtCustomButton::Notification(gcl::TComponent* component, gcl::TOperation operation) {
    inherited::Notification(component, operation);
    if (operation == gcl::opRemove && component == FDropDownMenu) {
        FDropDownMenu = nullptr;
        Invalidate();
    }
}

bool TXtCustomButton::GetPushed() { return FDroppedDown || inherited::GetPushed(); }

void TXtCustomButton::GetTextMargins(TRect& rect) {
    rect = TRect{8, 2, 8, 2};
    if (FDropDownArrow && FDropDownMenu) {
        const int metric = CurrentTheme->IntegerMetric(20);
        rect.Right += (metric >= 0 ? metric : 10) + 1;
    }
}

void TXtCustomButton::GetFocusRect(TRect& rect) {
    const int inset = ResolvePaintingStyle(GetThemeType()) == thtNone ? 4 : 3;
    rect = InsetRect(GetClientRect(), inset, inset);
}

void TXtCustomButton::DoAdjustFont(gcl::TFont* font) {
    inherited::DoAdjustFont(font);
    if (GetThemeType() == thtTx) {
        TTxItemInfo info;
        FillButtonItemInfo(GetEnabled(), GetPushed(), GetMouseInControl(), GetChecked(), info);
        font->SetColor(CurrentTheme->ItemTextColor(info));
    }
}

bool TXtCustomButton::DrawBitmapSkin(TCanvas* canvas, const TRect& rect) {
    if (FBitmap->GetEmpty() || FBitmap->GetHeight() % 4 != 0 || FBitmap->GetHeight() == 0) return false;
    const int q = FBitmap->GetHeight() / 4;
    const int w = FBitmap->GetWidth();
    int row = 0;
    if (!GetEnabled()) row = 3 * q;
    else if (GetChecked() || GetPushed()) row = 2 * q;
    else if (GetMouseInControl()) row = q;
    gcl::TBitmap slice;
    slice.SetSize(rect.Width(), rect.Height());
    const HDC dc = slice.GetCanvas()->GetHandle();
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, rect.Width(), rect.Height(), FBitmap->GetCanvas()->GetHandle(), 0, row, w, q, SRCCOPY);
    slice.SetTransparent(FBitmapTransparent);
    canvas->Draw(rect.Left, rect.Top, &slice);
    return true;
}

void TXtCustomButton::DrawDropDownArrow(TCanvas* canvas, const TRect& rect) {
    const int metric = CurrentTheme->IntegerMetric(20);
    const int width = metric >= 0 ? metric : 10;
    const TRect strip{rect.Right - width - 1, rect.Top, rect.Right - 1, rect.Bottom};
    TTxItemInfo info;
    FillButtonItemInfo(GetEnabled(), GetPushed() && GetDrawPushedCaption(), true, GetChecked(), info);
    CurrentTheme->PaintDropDownArrow(canvas, strip, info);
}

bool TXtCustomButton::DoDraw(TCanvas* canvas, const TRect& rect, TXtPaintStage paintStage) {
    const bool paintDefault = inherited::DoDraw(canvas, rect, paintStage);
    if (paintStage != pstPrePaint || !paintDefault) return paintDefault;
    const TRect client = GetClientRect();
    if (!DrawBitmapSkin(canvas, client)) {
        DrawThemedButton(canvas, client, GetEnabled(), GetPushed(), GetMouseInControl(), GetChecked(), false,
                         FActive || FDefault || IsFocused(), GetThemeType(), 0);
    }
    if (FDropDownArrow && FDropDownMenu) DrawDropDownArrow(canvas, client);
    canvas->SetFont(GetFont());
    DoAdjustFont(canvas->GetFont());
    return paintDefault;
}

void TXtCustomButton::ShowDropDownMenu() {
    FDroppedDown = true;
    MouseLeave();
    if (GetMouseCapture()) SetMouseCapture(false);
    FDropDownMenu->SetPopupComponent(this);
    if (auto* extended = dynamic_cast<TXtPopupMenu*>(FDropDownMenu)) {
        // Open until the menu's CM_POPUPMENUCLOSED arrives.
        const TPoint p = ClientToScreen(TPoint{0, GetHeight()});
        TBarCustomItem* clicked = nullptr;
        try {
            if (!extended->InternalPopup(p.X, p.Y, this, false, clicked)) FDroppedDown = false;
        } catch (...) {
            FDroppedDown = false;
            throw;
        }
        return;
    }
    try {
        if (auto* themed = dynamic_cast<TTxPopupMenu*>(FDropDownMenu)) {
            // Below the button, or above it when there is no room.
            const TPoint topLeft = ClientToScreen(TPoint{0, 0});
            themed->PopupAtRect(TRect{topLeft.X, topLeft.Y, topLeft.X + GetWidth(), topLeft.Y + GetHeight()}, false);
        } else {
            const TPoint p = ClientToScreen(TPoint{0, GetHeight()});
            FDropDownMenu->Popup(p.X, p.Y);
        }
    } catch (...) {
        FDroppedDown = false;
        throw;
    }
    FDroppedDown = false;
}

void TXtCustomButton::Click() {
    if (FRepeating) {
        inherited::Click();
        return;
    }
    if (FDropDownMenu) {
        ShowDropDownMenu();
        Invalidate();
        DrainButtonClicks(this);
        return;
    }
    if (gcl::TCustomForm* form = gcl::GetParentForm(this)) form->SetModalResult(FModalResult);
    inherited::Click();
}

void TXtCustomButton::MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    inherited::MouseDown(button, shift, x, y);
    if (button != gcl::mbLeft || !GetEnabled() || !FRepeating) return;
    Click();
    // The press clicked already: the release must not click again.
    gcl::TControlState state = GetControlState();
    state.Exclude(gcl::csClicked);
    SetControlState(state);
    if (!FRepeatTimer) {
        FRepeatTimer = gcl::TTimer::Create(this);
        FRepeatTimer->OnTimer = gcl::TNotifyEvent(this, &TXtCustomButton::RepeatTimerTick);
    }
    FRepeatTimer->SetInterval(400);
    FRepeatTimer->SetEnabled(true);
}

void TXtCustomButton::MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    if (button == gcl::mbLeft) StopRepeat();
    inherited::MouseUp(button, shift, x, y);
}

void TXtCustomButton::RepeatTimerTick(gcl::TObject*) {
    FRepeatTimer->SetInterval(100);
    if (FRepeating && GetPushed()) {
        Click();
        return;
    }
    StopRepeat();
}

void TXtCustomButton::StopRepeat() {
    if (!FRepeatTimer) return;
    gcl::TTimer* timer = FRepeatTimer;
    FRepeatTimer = nullptr;
    timer->SetEnabled(false);
    timer->Free();
}

void TXtCustomButton::Dispatch(gcl::TMessage& message) {
    switch (message.Msg) {
    case WM_CANCELMODE:
        inherited::Dispatch(message);
        StopRepeat();
        MouseLeave();
        return;
    case gcl::CM_FOCUSCHANGED: {
        auto* focused = reinterpret_cast<gcl::TControl*>(message.LParam);
        const bool active = focused && focused->InheritsFrom(TXtCustomButton::StaticClass()) ? focused == this
                                                                                              : FDefault;
        if (active != FActive) {
            FActive = active;
            Invalidate();
        }
        break;
    }
    case gcl::CM_DIALOGKEY: {
        const uint16_t key = gcl::LoWord(message.WParam);
        if (((key == VK_RETURN && FActive) || (key == VK_ESCAPE && FCancel)) &&
            gcl::KeyDataToShiftState(message.LParam).Empty() && CanFocus()) {
            Click();
            message.Result = 1;
            return;
        }
        break;
    }
    case CM_POPUPMENUCLOSED:
        FDroppedDown = false;
        Invalidate();
        break;
    default: break;
    }
    inherited::Dispatch(message);
}

GCL_PUBLISHED(TXtButton,
    GCL_PROP(ModalResult).Default(0),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(true))

// ---- TXtCustomSpeedButton ---------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TXtCustomSpeedButton)

TXtCustomSpeedButton::TXtCustomSpeedButton(gcl::TComponent* owner) : TXtCustomButton(owner) {
    gcl::TControlStyle style = GetControlStyle();
    style.Exclude(gcl::csSetCaption);
    SetControlStyle(style);
    SetBounds(GetLeft(), GetTop(), 23, 22);
}

void TXtCustomSpeedButton::Click() {
    if (GetGroupIndex() != 0) SetChecked(!GetChecked());
    inherited::Click();
}

GCL_PUBLISHED(TXtSpeedButton)

// ---- Unit ---------------------------------------------------------------------------------------

namespace {

void FinalizeXtControls() {
    UnregisterXtEditorClasses();
    for (gcl::TClass cls : {TXtPanel::StaticClass(), TXtLabel::StaticClass(), TXtCheckBox::StaticClass(),
                            TXtButton::StaticClass(), TXtSpeedButton::StaticClass()})
        gcl::UnRegisterClass(cls);
    if (XtCheckGlyphs) XtCheckGlyphs->Free();
    XtCheckGlyphs = nullptr;
    XtItemUnit.Finalize();
}

void InitializeXtControls() {
    XtItemUnit.Initialize();
    try {
        XtCheckGlyphs = gcl::TImageList::Create(nullptr);
        RegisterXtEditorClasses();
        gcl::RegisterClasses({TXtPanel::StaticClass(), TXtLabel::StaticClass(), TXtCheckBox::StaticClass(),
                              TXtButton::StaticClass(), TXtSpeedButton::StaticClass(), TXtItem::StaticClass(),
                              TXtSubmenuItem::StaticClass(), TXtLabelItem::StaticClass(),
                              TXtRightAlignSpacerItem::StaticClass(), TXtSeparatorItem::StaticClass(),
                              TXtRadioGroupItem::StaticClass(), TXtThemeGroupItem::StaticClass(),
                              TXtPopupMenu::StaticClass(), TXtTabItem::StaticClass(), TXtDock::StaticClass(),
                              TXtToolbar::StaticClass(), TXtTabToolbar::StaticClass(), TXtTabSet::StaticClass(),
                              TXtCompoundBar::StaticClass(), TXtStatusToolbar::StaticClass(),
                              TXtTitleToolbar::StaticClass(), TXtTitleBar::StaticClass()});
    } catch (...) {
        FinalizeXtControls();
        throw;
    }
}

} // namespace

gcl::TUnit XtControlsUnit{"XtControls", &InitializeXtControls, &FinalizeXtControls};

} // namespace qelvo
