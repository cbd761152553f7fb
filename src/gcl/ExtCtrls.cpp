#include "gcl/ExtCtrls.h"

#include <algorithm>

#include "gcl/rtl/TypInfo.h"

namespace gcl {

void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
    TPen* pen = canvas->GetPen();
    pen->SetWidth(1);
    --rect.Bottom;
    --rect.Right;
    for (int i = 0; i < width; ++i) {
        pen->SetColor(topColor);
        canvas->MoveTo(rect.Left, rect.Bottom);
        canvas->LineTo(rect.Left, rect.Top);
        canvas->LineTo(rect.Right, rect.Top);
        pen->SetColor(bottomColor);
        canvas->LineTo(rect.Right, rect.Bottom);
        canvas->LineTo(rect.Left - 1, rect.Bottom);
        ++rect.Left;
        ++rect.Top;
        --rect.Right;
        --rect.Bottom;
    }
    ++rect.Bottom;
    ++rect.Right;
}

namespace {

void BevelColors(TBevelCut bevel, TColor& top, TColor& bottom) noexcept {
    top = bevel == bvLowered ? clBtnShadow : clBtnHighlight;
    bottom = bevel == bvLowered ? clBtnHighlight : clBtnShadow;
}

} // namespace

GCL_IMPLEMENT_CLASS(TCustomPanel)

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                  csDoubleClicks});
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    if (!FFullRepaint) params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

int TCustomPanel::FrameSize() const noexcept {
    int size = FBorderWidth;
    if (FBevelOuter != bvNone) size += FBevelWidth;
    if (FBevelInner != bvNone) size += FBevelWidth;
    return size;
}

void TCustomPanel::AdjustClientRect(TRect& rect) {
    inherited::AdjustClientRect(rect);
    int size = FrameSize();
    rect.Left += size;
    rect.Top += size;
    rect.Right -= size;
    rect.Bottom -= size;
}

void TCustomPanel::Paint() {
    TCanvas* canvas = GetCanvas();
    TRect rect = GetClientRect();
    bool parentBackground = GetParentBackground() && GetParent();
    if (parentBackground) {
        DrawParentBackground(canvas->GetHandle());
        canvas->Refresh();
    }
    TColor top;
    TColor bottom;
    if (FBevelOuter != bvNone) {
        BevelColors(FBevelOuter, top, bottom);
        Frame3D(canvas, rect, top, bottom, FBevelWidth);
    }
    if (!parentBackground) Frame3D(canvas, rect, GetColor(), GetColor(), FBorderWidth);
    else {
        rect.Left += FBorderWidth;
        rect.Top += FBorderWidth;
        rect.Right -= FBorderWidth;
        rect.Bottom -= FBorderWidth;
    }
    if (FBevelInner != bvNone) {
        BevelColors(FBevelInner, top, bottom);
        Frame3D(canvas, rect, top, bottom, FBevelWidth);
    }
    if (!parentBackground) {
        canvas->GetBrush()->SetColor(GetColor());
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->FillRect(rect);
    }
    std::string caption = GetCaption();
    if (caption.empty()) return;
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->SetFont(GetFont());
    int fontHeight = canvas->TextHeight("W");
    rect.Top = (rect.Bottom + rect.Top - fontHeight) / 2;
    rect.Bottom = rect.Top + fontHeight;
    uint32_t flags = DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE;
    if (FAlignment == taLeftJustify) flags |= DT_LEFT;
    if (FAlignment == taRightJustify) flags |= DT_RIGHT;
    if (FAlignment == taCenter) flags |= DT_CENTER;
    flags = DrawTextBiDiModeFlags(flags);
    canvas->RequiredState({csHandleValid, csFontValid, csBrushValid});
    RECT r = ToRECT(rect);
    DrawTextA(canvas->GetHandle(), caption.c_str(), static_cast<int>(caption.size()), &r, flags);
}

void TCustomPanel::SetAlignment(TAlignment value) { StoreAndInvalidate(FAlignment, value); }

void TCustomPanel::SetBevelInner(TBevelCut value) {
    if (value == FBevelInner) return;
    FBevelInner = value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
    if (value == FBevelOuter) return;
    FBevelOuter = value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(TBevelWidth value) {
    value = std::max(value, 1);
    if (value == FBevelWidth) return;
    FBevelWidth = value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderWidth(TBorderWidth value) {
    value = std::max(value, 0);
    if (value == FBorderWidth) return;
    FBorderWidth = value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetFullRepaint(bool value) { StoreAndRecreateWnd(FFullRepaint, value); }

void TCustomPanel::Dispatch(TMessage& message) {
    if (message.Msg == CM_TEXTCHANGED) Invalidate();
    inherited::Dispatch(message);
}

GCL_PUBLISHED(TPanel,
    GCL_PROP(Align).Default(alNone),
    GCL_PROP(Alignment).Default(taCenter),
    GCL_PROP(Anchors).Default(TAnchors{akLeft, akTop}),
    GCL_PROP(AutoSize).Default(false),
    GCL_PROP(BevelInner).Default(bvNone),
    GCL_PROP(BevelOuter).Default(bvRaised),
    GCL_PROP(BevelWidth).Default(1),
    GCL_PROP(BiDiMode).Default(bdLeftToRight),
    GCL_PROP(BorderStyle).Default(bsNone),
    GCL_PROP(BorderWidth).Default(0),
    GCL_PROP(Caption),
    GCL_PROP(Color).Default(clBtnFace).Idents(ColorIdents),
    GCL_PROP(Constraints),
    GCL_PROP(Ctl3D).Default(true),
    GCL_PROP(DockSite).Default(false),
    GCL_PROP(DragCursor).Default(crDrag),
    GCL_PROP(DragKind).Default(dkDrag),
    GCL_PROP(DragMode).Default(dmManual),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Font),
    GCL_PROP(FullRepaint).Default(true),
    GCL_PROP(Locked).Default(false),
    GCL_PROP(ParentBackground).Default(false),
    GCL_PROP(ParentBiDiMode).Default(true),
    GCL_PROP(ParentColor).Default(false),
    GCL_PROP(ParentCtl3D).Default(true),
    GCL_PROP(ParentFont).Default(true),
    GCL_PROP(ParentShowHint).Default(true),
    GCL_PROP(ShowHint).Default(false),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(false),
    GCL_PROP(UseDockManager).Default(false),
    GCL_PROP(Visible).Default(true))

namespace {
void InitializeExtCtrls() { RegisterClass(TPanel::StaticClass()); }
void FinalizeExtCtrls() { UnRegisterClass(TPanel::StaticClass()); }
} // namespace

TUnit ExtCtrlsUnit{"ExtCtrls", &InitializeExtCtrls, &FinalizeExtCtrls};

} // namespace gcl
