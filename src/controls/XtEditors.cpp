// The extended editors: the edit-frame painter, the Unicode edit (wide
// text, selection and password character, margins for its buttons), the
// extended edit's hot tracking and non-client border, the edit button and
// the themed check list box.
#include "controls/XtEditors.h"
#include "controls/XtPaint.h"

#include <algorithm>
#include <array>

#include "gcl/rtl/Scopes.h"
#include "unicode/UniActnList.h"
#include "unicode/UniControls.h"
#include "unicode/UniStdCtrls.h"
#include "unicode/UniWindows.h"

namespace qelvo {

namespace {

// Repaints a control's non-client frame (with flags of RedrawWindow).
void RedrawWindowFrame(gcl::TWinControl* control, UINT flags) {
    if (control->HandleAllocated()) RedrawWindow(control->GetHandle(), nullptr, nullptr, flags);
}

} // namespace

// ==== The edit-frame painter ========================================================================

void DrawEditFrame(TCanvas* canvas, const TRect& rect, bool enabled, bool hotTrack, bool pushed,
                   TXtThemeType themeType, int buttonWidth) {
    const TXtThemeType resolved = ResolvePaintingStyle(themeType);
    if (resolved == thtWindows) {
        canvas->RequiredState({gcl::csHandleValid});
        const HDC dc = canvas->GetHandle();
        const HTHEME theme = VisualStylesHandle(vscComboBox);
        TRect button = rect;
        if (buttonWidth < rect.Width()) {
            DrawVisualStylesPart(theme, dc, 0, 0, rect);
            button = InsetRect(rect, 1, 1);
        }
        if (buttonWidth > 0) {
            button.Left = button.Right - buttonWidth;
            const int state = !enabled ? 4 : pushed ? 3 : hotTrack ? 2 : 1;
            DrawVisualStylesPart(theme, dc, 1, state, button);
        }
        canvas->Refresh();
        return;
    }
    if (resolved != thtTx) return;
    TTxItemInfo info;
    FillButtonItemInfo(enabled, pushed, hotTrack, false, info);
    info.ViewType = 0;
    TTxEditFrameInfo frame{};
    if (buttonWidth > 0) {
        frame.RightBtnWidth = buttonWidth;
        frame.RightBtnInfo.ButtonType = EBT_DROPDOWN;
        frame.RightBtnInfo.ButtonState = !enabled ? EBDS_DISABLED : pushed ? EBDS_PRESSED : hotTrack ? EBDS_HOT : 0;
    }
    const TRect inner = InsetRect(rect, 2, 2);
    if (CurrentTheme->BooleanMetric(5)) {
        const uint32_t viewType = VT_TOOLBAR | 1;
        CurrentTheme->PaintBackground(canvas, inner, inner, inner, CurrentTheme->ViewColor(viewType), false, viewType);
    } else {
        CurrentTheme->PaintDockBackground(canvas, inner, inner, 1);
    }
    CurrentTheme->PaintEditFrame(canvas, rect, info, frame);
}

void DrawEditButtonFrame(TCanvas* canvas, const TRect& rect, bool enabled, bool hotTrack, bool pushed,
                         TXtThemeType themeType) {
    DrawEditFrame(canvas, rect, enabled, hotTrack, pushed, themeType, rect.Width());
}

// ==== TXtUnicodeEdit ===============================================================================

GCL_PUBLISHED(TXtUnicodeEdit,
    gcl::Prop<&TXtUnicodeEdit::GetText, &TXtUnicodeEdit::SetText>("Text"),
    gcl::Prop<&TXtUnicodeEdit::GetHint, static_cast<void (TXtUnicodeEdit::*)(const std::wstring&)>(
                                            &TXtUnicodeEdit::SetHint)>("Hint")
        .StoredBy<&TXtUnicodeEdit::IsHintStored>(),
    GCL_PROP(Alignment).Default(gcl::taLeftJustify),
    gcl::Prop<&TXtUnicodeEdit::GetPasswordChar, &TXtUnicodeEdit::SetPasswordChar>("PasswordChar").Default(0))

std::wstring TXtUnicodeEdit::GetText() const { return WideControlGetText(Self()); }

void TXtUnicodeEdit::SetText(const std::wstring& Value) {
    if (HandleAllocated()) {
        // The window reports the change (EN_CHANGE).
        WideControlSetText(this, Value);
        return;
    }
    const std::wstring old = GetText();
    {
        gcl::TFlagScope quiet(FSettingText);
        WideControlSetText(this, Value);
    }
    if (GetText() != old) Change();
}

std::wstring TXtUnicodeEdit::GetHint() const { return WideControlGetHint(Self()); }
void TXtUnicodeEdit::SetHint(const std::wstring& Value) { WideControlSetHint(this, Value); }
bool TXtUnicodeEdit::IsHintStored() const { return IsWideHintStored(Self()); }

void TXtUnicodeEdit::SetAlignment(gcl::TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    if (HandleAllocated()) RecreateWnd();
}

wchar_t TXtUnicodeEdit::GetPasswordChar() const {
    return WideEditGetPasswordChar(Self(), Self()->FPasswordChar);
}

void TXtUnicodeEdit::SetPasswordChar(wchar_t Value) {
    if (Value == GetPasswordChar()) return;
    WideEditSetPasswordChar(this, FPasswordChar, Value);
}

int TXtUnicodeEdit::GetSelStart() { return WideEditGetSelStart(this); }
void TXtUnicodeEdit::SetSelStart(int Value) { WideEditSetSelStart(this, Value); }
int TXtUnicodeEdit::GetSelLength() { return WideEditGetSelLength(this); }
void TXtUnicodeEdit::SetSelLength(int Value) { WideEditSetSelLength(this, Value); }
std::wstring TXtUnicodeEdit::GetSelText() const { return WideEditGetSelText(Self()); }

void TXtUnicodeEdit::SetSelText(const std::wstring& Value) {
    if (HandleAllocated() && IsWindowUnicode(GetHandle())) {
        SendMessageW(GetHandle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
        return;
    }
    gcl::TCustomEdit::SetSelText(WideToWindowAnsi(Value));
}

void TXtUnicodeEdit::DefineProperties(gcl::TFiler& Filer) {
    inherited::DefineProperties(Filer);
    DefineWideProperties(Filer, this);
}

void TXtUnicodeEdit::CreateParams(gcl::TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.Style &= ~DWORD(ES_RIGHT | ES_CENTER);
    if (FAlignment == gcl::taRightJustify) Params.Style |= ES_RIGHT;
    else if (FAlignment == gcl::taCenter) Params.Style |= ES_CENTER;
    Params.Style |= WS_CLIPCHILDREN;
}

void TXtUnicodeEdit::CreateWindowHandle(const gcl::TCreateParams& Params) { CreateWideEditWindow(this, Params); }

void TXtUnicodeEdit::CreateWnd() {
    inherited::CreateWnd();
    ApplyWidePasswordChar(this, FPasswordChar);
    UpdateEditRect();
}

void TXtUnicodeEdit::ActionChange(gcl::TObject* Sender, bool CheckDefaults) {
    WideActionChange(this, Sender, CheckDefaults);
    inherited::ActionChange(Sender, CheckDefaults);
}

gcl::TBasicActionLinkClass TXtUnicodeEdit::GetActionLinkClass() const {
    return WideActionLinkClassFor(this, inherited::GetActionLinkClass());
}

void TXtUnicodeEdit::UpdateEditRect() {
    if (!HandleAllocated()) return;
    int left = 0, right = 0;
    for (int i = 0; i < GetControlCount(); ++i) {
        auto* button = dynamic_cast<TXtEditButton*>(GetControls(i));
        if (!button || !button->GetVisible()) continue;
        if (button->GetAlign() == gcl::alLeft) left += button->GetWidth();
        else if (button->GetAlign() == gcl::alRight) right += button->GetWidth();
    }
    if (left) left += 2;
    if (right) right += 2;
    Perform(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(left, right));
}

void TXtUnicodeEdit::AlignControls(gcl::TControl* Control, TRect& Rect) {
    inherited::AlignControls(Control, Rect);
    // The buttons may have moved, grown, shown or hidden.
    UpdateEditRect();
}

void TXtUnicodeEdit::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case gcl::CM_ENABLEDCHANGED:
        inherited::Dispatch(Message);
        for (int i = 0; i < GetControlCount(); ++i)
            if (auto* button = dynamic_cast<TXtEditButton*>(GetControls(i))) button->SetEnabled(GetEnabled());
        return;
    case gcl::CM_TEXTCHANGED:
        inherited::Dispatch(Message);
        // Without a window no EN_CHANGE comes: the text set in code reports here.
        if (!HandleAllocated() && !FSettingText) Change();
        return;
    case WM_SETFONT:
    case gcl::CM_CONTROLCHANGE:
    case gcl::CM_CONTROLLISTCHANGE:
        // A new font resets the margins; buttons that come and go change them.
        inherited::Dispatch(Message);
        UpdateEditRect();
        return;
    default: break;
    }
    inherited::Dispatch(Message);
}

// ==== TXtEdit ======================================================================================

GCL_PUBLISHED(TXtEdit,
    GCL_PROP(HotTrack).Default(true),
    GCL_PROP(ThemeType).Default(thtTx))

TXtEdit::TXtEdit(gcl::TComponent* AOwner) : TXtUnicodeEdit(AOwner) { AddThemeListener(this); }

void TXtEdit::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    inherited::BeforeDestruction();
}

void TXtEdit::SetHotTrack(bool Value) {
    if (Value == FHotTrack) return;
    FHotTrack = Value;
    InvalidateFrame();
}

void TXtEdit::SetThemeType(TXtThemeType Value) {
    if (Value == FThemeType) return;
    FThemeType = Value;
    for (int i = 0; i < GetControlCount(); ++i)
        if (auto* button = dynamic_cast<TXtEditButton*>(GetControls(i))) button->SetThemeType(Value);
    InvalidateFrame();
}

void TXtEdit::SetHot(bool Value) {
    if (Value == FHot) return;
    FHot = Value;
    if (FHotTrack) InvalidateFrame();
}

void TXtEdit::DoDrawBackground(TCanvas* ACanvas, const TRect& ARect, TXtPaintStage PaintStage, bool& PaintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, ACanvas, ARect, PaintStage, PaintDefault);
}

void TXtEdit::InvalidateFrame() { RedrawWindowFrame(this, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME); }

void TXtEdit::PaintNonClient() {
    TXtWindowCanvas window(this);
    const TRect& r = window.Rect;
    ExcludeClipRect(window.DC(), r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
    if (FThemeType == thtTx) DrawParentBackgroundAt(this, window.DC(), r, -2, -2);
    bool paintDefault = true;
    DoDrawBackground(&window.Canvas, r, pstPrePaint, paintDefault);
    if (paintDefault)
        DrawThemedEditFrame(&window.Canvas, r, GetEnabled(), false, FThemeType, FHotTrack && (FHot || Focused()));
    DoDrawBackground(&window.Canvas, r, pstPostPaint, paintDefault);
    SelectClipRgn(window.DC(), nullptr);
}

void TXtEdit::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case gcl::CM_ENABLEDCHANGED:
        inherited::Dispatch(Message);
        SetHot(false);
        return;
    case gcl::CM_ENTER:
        inherited::Dispatch(Message);
        SetHot(true);
        return;
    case gcl::CM_EXIT:
        inherited::Dispatch(Message);
        SetHot(false);
        return;
    case gcl::CM_MOUSEENTER:
        inherited::Dispatch(Message);
        if (Message.LParam == 0 || Message.LParam == reinterpret_cast<intptr_t>(this)) SetHot(true);
        return;
    case gcl::CM_MOUSELEAVE:
        inherited::Dispatch(Message);
        if (Message.LParam == 0 || Message.LParam == reinterpret_cast<intptr_t>(this)) SetHot(false);
        return;
    case WM_SKIN_THEMECHANGE:
        inherited::Dispatch(Message);
        if (Message.WParam == 3) InvalidateFrame();
        return;
    case WM_NCPAINT:
        if (ResolvePaintingStyle(FThemeType) == thtNone || !HandleAllocated()) break;
        PaintNonClient();
        Message.Result = 0;
        return;
    default: break;
    }
    inherited::Dispatch(Message);
}

// ==== TXtEditButton ================================================================================

GCL_PUBLISHED(TXtEditButton, GCL_PROP(ThemeType).Default(thtTx))

TXtEditButton::TXtEditButton(gcl::TComponent* AOwner) : TXtSpeedButton(AOwner) {
    FEdit = dynamic_cast<gcl::TWinControl*>(AOwner);
    SetSubComponent(true);
    SetThemeType(thtTx);
}

void TXtEditButton::AfterConstruction() {
    inherited::AfterConstruction();
    gcl::TComponent* owner = GetOwner();
    if (!owner) return;
    for (int n = 0;; ++n) {
        const std::string name = "SubEditButton" + std::to_string(n);
        if (!owner->FindComponent(name)) {
            SetName(name);
            break;
        }
    }
}

void TXtEditButton::Click() {
    if (gcl::TWinControl* edit = GetParent(); edit && edit->CanFocus()) edit->SetFocus();
    inherited::Click();
}

bool TXtEditButton::IsBare() {
    if (!GetCaption().empty()) return false;
    TCustomImageList* images = GetImages();
    return !(images && GetImageIndex() >= 0 && GetImageIndex() < images->GetCount());
}

bool TXtEditButton::DoDraw(TCanvas* Canvas, const TRect& Rect, TXtPaintStage PaintStage) {
    const TXtThemeType resolved = ResolvePaintingStyle(GetThemeType());
    const TRect face = resolved == thtWindows ? InsetRect(GetClientRect(), -1, -1) : GetClientRect();
    gcl::TBitmap* skin = GetBitmap();
    const bool skinned = skin && !skin->GetEmpty() && skin->GetHeight() % 4 == 0;
    if (PaintStage == pstPostPaint || skinned) return inherited::DoDraw(Canvas, Rect, PaintStage);
    // The event at the pre-paint stage, then this button's own face.
    const bool paintDefault = TXtTextObject::DoDraw(Canvas, Rect, pstPrePaint);
    if (!paintDefault) return false;
    if (IsBare() && resolved == thtWindows)
        DrawEditButtonFrame(Canvas, face, GetEnabled(), GetMouseInControl(), GetPushed(), GetThemeType());
    else
        DrawFramedButton(Canvas, face, GetEnabled(), GetPushed(), GetMouseInControl(), GetChecked(), false, false,
                         GetThemeType(), clNone);
    if (GetDropDownArrow() && GetDropDownMenu()) DrawDropDownArrow(Canvas, GetClientRect());
    Canvas->SetFont(GetFont());
    DoAdjustFont(Canvas->GetFont());
    return true;
}

void TXtEditButton::DrawDropDownArrow(TCanvas* Canvas, const TRect& Rect) {
    // The combo box's button carries its own arrow.
    if (IsBare() && ResolvePaintingStyle(GetThemeType()) == thtWindows) return;
    inherited::DrawDropDownArrow(Canvas, Rect);
}

// ==== TXtCheckListBox ==============================================================================

GCL_PUBLISHED(TXtCheckListBox,
    GCL_PROP(Style).Default(gcl::lbOwnerDrawFixed),
    GCL_PROP(HotTrack).Default(true),
    GCL_PROP(ThemeType).Default(thtTx))

TXtCheckListBox::TXtCheckListBox(gcl::TComponent* AOwner) : TUniCheckListBox(AOwner) {
    SetStyle(gcl::lbOwnerDrawFixed);
    AddThemeListener(this);
}

void TXtCheckListBox::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    inherited::BeforeDestruction();
}

void TXtCheckListBox::SetHotTrack(bool Value) {
    if (Value == FHotTrack) return;
    FHotTrack = Value;
    RedrawFrame();
}

void TXtCheckListBox::SetThemeType(TXtThemeType Value) {
    if (Value == FThemeType) return;
    FThemeType = Value;
    RedrawFrame();
    Invalidate();
}

void TXtCheckListBox::RedrawFrame() { RedrawWindowFrame(this, RDW_INVALIDATE | RDW_FRAME); }

void TXtCheckListBox::DrawItemBackground(int Index, const TRect& Rect, gcl::TOwnerDrawState State) {
    if (OnDrawItemBackground) {
        OnDrawItemBackground(this, Index, State, Rect);
        return;
    }
    TCanvas* canvas = GetCanvas();
    if (GetHeader(Index)) {
        canvas->GetFont()->SetColor(GetHeaderColor());
        canvas->GetBrush()->SetColor(GetHeaderBackgroundColor());
        canvas->FillRect(Rect);
        if (State.Contains(gcl::odFocused)) DrawFocusRectangle(canvas, Rect);
        return;
    }
    const int checkWidth = GetCheckWidth();
    TRect check = Rect;
    if (UseRightToLeftAlignment()) {
        check.Left = Rect.Right;
        check.Right = Rect.Right + checkWidth;
    } else {
        check.Left = Rect.Left - checkWidth;
        check.Right = Rect.Left;
    }
    check.Top = Rect.Top + (Rect.Height() - checkWidth) / 2;
    check.Bottom = check.Top + checkWidth;
    check = InsetRect(check, 1, 1);
    const TColor rowBrush = canvas->GetBrush()->GetColor();
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(check);
    DrawThemedCheckBox(canvas, check, GetItemEnabled(Index) && GetEnabled(), GetState(Index), false, false, false,
                       FThemeType);
    canvas->GetBrush()->SetColor(rowBrush);
    if (!GetItemEnabled(Index) || !GetEnabled()) canvas->GetFont()->SetColor(gcl::clGrayText);
    DrawListItemBackground(canvas, Rect, State.Contains(gcl::odSelected), FThemeType, State.Contains(gcl::odFocused),
                           false);
}

int TXtCheckListBox::MeasuredItemHeight() {
    const int height = inherited::MeasuredItemHeight();
    return GetStyle() == gcl::lbOwnerDrawFixed ? std::max(height, LineAndCheckHeight()) : height;
}

void TXtCheckListBox::DrawItem(int Index, TRect Rect, gcl::TOwnerDrawState State) {
    if (gcl::TCustomListBox::OnDrawItem) {
        gcl::TCustomListBox::OnDrawItem(this, Index, Rect, State);
        return;
    }
    if (UseRightToLeftAlignment())
        Rect.Right -= 2;
    else
        Rect.Left += 2;
    TCanvas* canvas = GetCanvas();
    canvas->GetBrush()->SetStyle(gcl::bsClear);
    canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid});
    const std::wstring text = GetItems()->Get(Index);
    RECT r = gcl::ToRECT(Rect);
    WideDrawText(canvas->GetHandle(), text.c_str(), static_cast<int>(text.size()), &r,
                 DrawTextBiDiModeFlags(DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX));
    canvas->GetBrush()->SetStyle(gcl::bsSolid);
}

void TXtCheckListBox::DrawListItem(gcl::TMessage& Message) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    Message.Result = 1;
    if (!item) return;
    auto* canvas = gcl::as<gcl::TControlCanvas>(GetCanvas());
    gcl::TCanvasPaintScope scope(*canvas, item->hDC);
    canvas->SetFont(GetFont());
    canvas->SetBrush(GetBrush());
    const gcl::TOwnerDrawState state = gcl::OwnerDrawStateFromItemState(item->itemState);
    const int index = static_cast<int>(item->itemID);
    TRect rect = gcl::FromRECT(item->rcItem);
    if (index < 0 || index >= GetCount()) {
        canvas->FillRect(rect);
        return;
    }
    if (!GetHeader(index)) {
        if (UseRightToLeftAlignment())
            rect.Right -= GetCheckWidth();
        else
            rect.Left += GetCheckWidth();
    }
    DrawItemBackground(index, rect, state);
    if (UseRightToLeftAlignment())
        rect.Right -= 1;
    else
        rect.Left += 1;
    DrawItem(index, rect, state);
}

void TXtCheckListBox::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case gcl::CN_DRAWITEM:
        if (GetCount() == 0) break;
        DrawListItem(Message);
        return;
    case WM_NCPAINT:
        inherited::Dispatch(Message);
        if (ResolvePaintingStyle(FThemeType) != thtNone) PaintEditNonClient(this, FHot, FThemeType);
        return;
    case gcl::CM_MOUSEENTER:
        inherited::Dispatch(Message);
        if (FHotTrack && !FHot) {
            FHot = true;
            RedrawFrame();
        }
        return;
    case gcl::CM_MOUSELEAVE:
        inherited::Dispatch(Message);
        if (FHotTrack && FHot && !FFocused) {
            FHot = false;
            RedrawFrame();
        }
        return;
    case gcl::CM_FOCUSCHANGED:
        inherited::Dispatch(Message);
        if (FHotTrack && Message.LParam) {
            const bool focused = reinterpret_cast<gcl::TControl*>(Message.LParam) == this;
            if (focused != FFocused) {
                FFocused = focused;
                FHot = focused;
                RedrawFrame();
            }
        }
        return;
    case WM_SKIN_THEMECHANGE:
        inherited::Dispatch(Message);
        if (Message.WParam == 3) RedrawFrame();
        return;
    default: break;
    }
    inherited::Dispatch(Message);
}

// ==== Registration =================================================================================

namespace {
std::array<gcl::TClass, 5> EditorClasses() {
    return {TXtUnicodeEdit::StaticClass(), TXtEdit::StaticClass(), TXtEditButton::StaticClass(),
            TXtCheckListBox::StaticClass(), TXtEditItem::StaticClass()};
}
} // namespace

void RegisterXtEditorClasses() {
    for (gcl::TClass cls : EditorClasses()) gcl::RegisterClass(cls);
}

void UnregisterXtEditorClasses() noexcept {
    for (gcl::TClass cls : EditorClasses()) gcl::UnRegisterClass(cls);
}

} // namespace qelvo
