#include "gcl/Buttons.h"

#include <uxtheme.h>
#include <vsstyle.h>

#include <algorithm>

#include "gcl/ActnList.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"

namespace gcl {

GCL_PUBLISHED(TSpeedButton,
    GCL_PROP(Align).Default(alNone),
    GCL_PROP(AllowAllUp).Default(false),
    GCL_PROP(Anchors).Default(TAnchors{akLeft, akTop}),
    GCL_PROP(BiDiMode).Default(bdLeftToRight),
    GCL_PROP(Caption),
    GCL_PROP(Constraints),
    GCL_PROP(Down).Default(false),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Flat).Default(false),
    GCL_PROP(Font),
    GCL_PROP(Glyph),
    GCL_PROP(GroupIndex).Default(0),
    GCL_PROP(Layout).Default(blGlyphLeft),
    GCL_PROP(Margin).Default(-1),
    GCL_PROP(NumGlyphs).Default(1),
    GCL_PROP(ParentBiDiMode).Default(true),
    GCL_PROP(ParentFont).Default(true),
    GCL_PROP(ParentShowHint).Default(true),
    GCL_PROP(ShowHint).Default(false),
    GCL_PROP(Spacing).Default(4),
    GCL_PROP(Transparent).Default(true),
    GCL_PROP(Visible).Default(true))

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), FGlyph(std::make_unique<TBitmap>()) {
    FGlyph->OnChange = TNotifyEvent(this, &TSpeedButton::GlyphChanged);
    SetControlStyle(TControlStyle{csCaptureMouse, csDoubleClicks});
    SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::GlyphChanged(TObject*) {
    if (!FGlyph->GetEmpty() && FGlyph->GetHeight() > 0) {
        int count = FGlyph->GetWidth() / FGlyph->GetHeight();
        if (count >= 1 && count <= 4 && FGlyph->GetWidth() % FGlyph->GetHeight() == 0) FNumGlyphs = count;
    }
    Invalidate();
}

TBasicActionLinkClass TSpeedButton::GetActionLinkClass() const { return TSpeedButtonActionLink::StaticClass(); }

void TSpeedButton::SetGlyph(TBitmap* value) { FGlyph->Assign(value); }

void TSpeedButton::SetNumGlyphs(int value) {
    value = std::clamp(value, 1, 4);
    if (value == FNumGlyphs) return;
    FNumGlyphs = value;
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout value) { StoreAndInvalidate(FLayout, value); }

void TSpeedButton::SetMargin(int value) {
    value = std::max(value, -1);
    if (value == FMargin) return;
    FMargin = value;
    Invalidate();
}

void TSpeedButton::SetSpacing(int value) { StoreAndInvalidate(FSpacing, value); }

void TSpeedButton::SetTransparent(bool value) {
    if (value == FTransparent) return;
    FTransparent = value;
    ApplyTransparent(value);
}

void TSpeedButton::SetFlat(bool value) { StoreAndInvalidate(FFlat, value); }

void TSpeedButton::SetGroupIndex(int value) {
    if (value == FGroupIndex) return;
    FGroupIndex = value;
    UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool value) {
    if (value == FAllowAllUp) return;
    FAllowAllUp = value;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool value) {
    if (FGroupIndex == 0) value = false;
    if (value == FDown) return;
    if (FDown && !FAllowAllUp) return;
    FDown = value;
    FState = value ? bsExclusive : bsUp;
    Invalidate();
    if (value) UpdateExclusive();
}

// Tells the buttons of the group that this one is down (and whether all
// may be up).
void TSpeedButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !GetParent()) return;
    TMessage message = MakeMessage(CM_BUTTONPRESSED, static_cast<uintptr_t>(FGroupIndex),
                                   reinterpret_cast<intptr_t>(this));
    GetParent()->Broadcast(message);
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    inherited::MouseDown(button, shift, x, y);
    if (button != mbLeft || !GetEnabled()) return;
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    inherited::MouseMove(shift, x, y);
    if (!FDragging) return;
    TButtonState state = FDown ? bsExclusive : bsUp;
    if (x >= 0 && x < GetClientWidth() && y >= 0 && y < GetClientHeight()) state = FDown ? bsExclusive : bsDown;
    if (state != FState) {
        FState = state;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    inherited::MouseUp(button, shift, x, y);
    if (!FDragging || button != mbLeft) return;
    FDragging = false;
    bool doClick = x >= 0 && x < GetClientWidth() && y >= 0 && y < GetClientHeight();
    if (FGroupIndex == 0) {
        FState = bsUp;
        Invalidate();
    } else if (doClick) {
        SetDown(!FDown);
        FState = FDown ? bsExclusive : bsUp;
        Invalidate();
    } else {
        FState = FDown ? bsExclusive : bsUp;
        Invalidate();
    }
    if (doClick) Click();
}

void TSpeedButton::DrawFace(HDC dc, const RECT& rect) {
    bool pressed = FState == bsDown || FState == bsExclusive;
    bool hot = FMouseInControl && GetEnabled();
    RECT r = rect;
    if (VisualStylesActive()) {
        HWND window = GetParent() && GetParent()->HandleAllocated() ? GetParent()->GetHandle() : nullptr;
        HTHEME theme = OpenThemeData(window, FFlat ? L"TOOLBAR" : L"BUTTON");
        if (theme) {
            // The toolbar button of a flat button, else the push button.
            auto pick = [&](int toolbar, int push) { return FFlat ? toolbar : push; };
            int part = pick(TP_BUTTON, BP_PUSHBUTTON);
            int state;
            if (!GetEnabled())
                state = pick(TS_DISABLED, PBS_DISABLED);
            else if (FState == bsExclusive)
                state = pick(TS_CHECKED, PBS_PRESSED);
            else if (pressed)
                state = pick(TS_PRESSED, PBS_PRESSED);
            else if (hot)
                state = pick(TS_HOT, PBS_HOT);
            else
                state = pick(TS_NORMAL, PBS_NORMAL);
            if (!FFlat || state != TS_NORMAL) DrawThemeBackground(theme, dc, part, state, &r, nullptr);
            CloseThemeData(theme);
            return;
        }
    }
    if (FFlat) {
        if (pressed)
            DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        else if (hot)
            DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
        return;
    }
    UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (pressed) flags |= DFCS_PUSHED;
    if (!GetEnabled()) flags |= DFCS_INACTIVE;
    DrawFrameControl(dc, &r, DFC_BUTTON, flags);
}

void TSpeedButton::DrawGlyphAndCaption(TRect rect) {
    TCanvas* canvas = GetCanvas();
    std::string caption = GetCaption();
    int glyphWidth = 0;
    int glyphHeight = 0;
    if (!FGlyph->GetEmpty()) {
        glyphWidth = FGlyph->GetWidth() / FNumGlyphs;
        glyphHeight = FGlyph->GetHeight();
    }
    canvas->SetFont(GetFont());
    TSize text = caption.empty() ? TSize{0, 0} : canvas->TextExtent(caption);
    bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    int spacing = glyphWidth > 0 && !caption.empty() ? FSpacing : 0;
    int totalWidth = horizontal ? glyphWidth + spacing + text.cx : std::max(glyphWidth, static_cast<int>(text.cx));
    int totalHeight = horizontal ? std::max(glyphHeight, static_cast<int>(text.cy)) : glyphHeight + spacing + text.cy;
    int left = FMargin >= 0 && horizontal ? rect.Left + FMargin : rect.Left + (rect.Width() - totalWidth) / 2;
    int top = FMargin >= 0 && !horizontal ? rect.Top + FMargin : rect.Top + (rect.Height() - totalHeight) / 2;
    TPoint glyphPos;
    TPoint textPos;
    switch (FLayout) {
    case blGlyphRight:
        textPos = Point(left, top + (totalHeight - text.cy) / 2);
        glyphPos = Point(left + text.cx + spacing, top + (totalHeight - glyphHeight) / 2);
        break;
    case blGlyphTop:
        glyphPos = Point(left + (totalWidth - glyphWidth) / 2, top);
        textPos = Point(left + (totalWidth - text.cx) / 2, top + glyphHeight + spacing);
        break;
    case blGlyphBottom:
        textPos = Point(left + (totalWidth - text.cx) / 2, top);
        glyphPos = Point(left + (totalWidth - glyphWidth) / 2, top + text.cy + spacing);
        break;
    default:
        glyphPos = Point(left, top + (totalHeight - glyphHeight) / 2);
        textPos = Point(left + glyphWidth + spacing, top + (totalHeight - text.cy) / 2);
        break;
    }
    if (FState == bsDown || FState == bsExclusive) {
        glyphPos.X += 1;
        glyphPos.Y += 1;
        textPos.X += 1;
        textPos.Y += 1;
    }
    if (glyphWidth > 0) {
        // Up, disabled, down, exclusive: the image for the state, when there.
        int index = 0;
        if (!GetEnabled())
            index = 1;
        else if (FState == bsDown)
            index = 2;
        else if (FState == bsExclusive)
            index = 3;
        if (index >= FNumGlyphs) index = 0;
        TBitmap part;
        part.SetSize(glyphWidth, glyphHeight);
        part.GetCanvas()->CopyRect(Rect(0, 0, glyphWidth, glyphHeight), FGlyph->GetCanvas(),
                                   Rect(index * glyphWidth, 0, (index + 1) * glyphWidth, glyphHeight));
        part.SetTransparent(true);
        part.SetTransparentColor(FGlyph->GetCanvas()->GetPixels(0, glyphHeight - 1));
        canvas->Draw(glyphPos.X, glyphPos.Y, &part);
    }
    if (!caption.empty()) {
        canvas->GetBrush()->SetStyle(bsClear);
        RECT r{textPos.X, textPos.Y, textPos.X + static_cast<int>(text.cx), textPos.Y + static_cast<int>(text.cy)};
        canvas->GetFont()->SetColor(GetEnabled() ? GetFont()->GetColor() : clGrayText);
        canvas->RequiredState({csHandleValid, csFontValid, csBrushValid});
        DrawTextA(canvas->GetHandle(), caption.c_str(), static_cast<int>(caption.size()), &r,
                  DrawTextBiDiModeFlags(DT_SINGLELINE | DT_CENTER | DT_VCENTER));
    }
}

void TSpeedButton::Paint() {
    TCanvas* canvas = GetCanvas();
    TRect client = GetClientRect();
    if (!FTransparent) {
        canvas->GetBrush()->SetColor(GetColor());
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->FillRect(client);
    }
    RECT r = ToRECT(client);
    DrawFace(canvas->GetHandle(), r);
    canvas->Refresh();
    DrawGlyphAndCaption(client);
}

void TSpeedButton::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CM_BUTTONPRESSED: {
        auto* sender = dynamic_cast<TSpeedButton*>(reinterpret_cast<TObject*>(message.LParam));
        if (static_cast<int>(message.WParam) == FGroupIndex && sender && sender != this) {
            if (sender->FDown && FDown) {
                FDown = false;
                FState = bsUp;
                Invalidate();
            }
            FAllowAllUp = sender->FAllowAllUp;
        }
        break;
    }
    case CM_MOUSEENTER:
        inherited::Dispatch(message);
        if (!FMouseInControl) {
            FMouseInControl = true;
            if (FFlat) Invalidate();
        }
        return;
    case CM_MOUSELEAVE:
        inherited::Dispatch(message);
        if (FMouseInControl) {
            FMouseInControl = false;
            if (FFlat) Invalidate();
        }
        return;
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
        Invalidate();
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char>(message.WParam), GetCaption()) && GetEnabled() && GetVisible() &&
            GetParent() && GetParent()->GetShowing()) {
            Click();
            message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    inherited::Dispatch(message);
}

namespace {
void InitializeButtons() {
    RegisterClass(TSpeedButton::StaticClass());
}
void FinalizeButtons() {
    UnRegisterClass(TSpeedButton::StaticClass());
}
} // namespace

TUnit ButtonsUnit{"Buttons", &InitializeButtons, &FinalizeButtons};

} // namespace gcl
