// Themed edit, spin-edit and label items: editing with change reports and
// auto-completion, the spin value wired to the item's text and events,
// sizes from the theme's metrics, painting through the theme, the spin
// buttons' repeat and the keys of the in-place editor.
#include "theming/TxExtItems.h"

#include <algorithm>

#include "gcl/Forms.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "theming/TxBars.h"

namespace qelvo {

using gcl::TCanvas;

namespace {

// Space, letters and digits, the numeric pad and the punctuation keys.
bool IsPrintableKey(WPARAM Key) {
    return Key == VK_SPACE || (Key >= 0x30 && Key <= 0x5A) || (Key >= 0x60 && Key <= 0x6F) ||
           (Key >= 0xBA && Key <= 0xF5);
}

// A text height and width of Font (with Settings applied) on a memory DC.
gcl::TSize MeasureText(gcl::TFont* Font, const TFontSettings* Settings, const std::string& Text, bool Prefix) {
    gcl::TFont font;
    if (Font) font.Assign(Font);
    if (Settings) Settings->Apply(&font);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font.GetHandle());
    const gcl::TSize size{Text.empty() ? 0 : GetTextWidth(dc, Text, Prefix), FontTextHeight(dc)};
    SelectObject(dc, old);
    DeleteDC(dc);
    return size;
}

} // namespace

// ==== The layout of a themed edit field ==========================================================

int EditCaptionPartWidth(TBarItemViewer* Viewer, int CaptionWidth) {
    int part = CaptionWidth;
    if (CaptionWidth != 0) part += ThemeMetric(33) + ThemeMetric(34) + ThemeMetric(32);
    return part + ThemeMetric(32) + GetPopupMargin(Viewer);
}

void EditViewerSize(bool ToolbarStyle, int EditWidth, int CaptionPart, int CaptionHeight, int TextHeight,
                    int& AWidth, int& AHeight) {
    AWidth = EditWidth;
    if (!ToolbarStyle) AWidth += CaptionPart + ThemeMetric(66);
    AHeight = std::max(ToolbarStyle ? 0 : CaptionHeight, TextHeight + 1 + 2 * (ThemeMetric(62) + ThemeMetric(60)));
    const bool even = CurrentTheme->BooleanMetric(4);
    if ((AHeight % 2 == 0) != even) ++AHeight;
}

TRect EditViewerEditRect(TRect Bounds, bool ToolbarStyle, int CaptionPart, int LeftIndent, int RightIndent) {
    if (!ToolbarStyle) {
        Bounds.Left += CaptionPart;
        Bounds.Right -= ThemeMetric(66);
    }
    const int dx = ThemeMetric(60) - 3 + ThemeMetric(61);
    const int dy = ThemeMetric(60) - 3 + ThemeMetric(62);
    gcl::InflateRect(Bounds, -dx, -dy);
    Bounds.Left += LeftIndent;
    Bounds.Right -= RightIndent;
    return Bounds;
}

void FillEditViewerInfo(TBarItemViewer* Viewer, bool ToolbarStyle, bool IsSelected, bool IsPushed,
                        TTxItemInfo& ItemInfo) {
    TBarCustomItem* item = Viewer->GetItem();
    ItemInfo = TTxItemInfo{};
    ItemInfo.ViewType = QueryViewType(Viewer->GetView());
    if (ToolbarStyle) ItemInfo.ItemOptions |= IO_TOOLBARSTYLE;
    if (IsDesigning(item)) ItemInfo.ItemOptions |= IO_DESIGNING;
    ItemInfo.Enabled = item->GetEnabled() || Viewer->GetView()->GetCustomizing();
    ItemInfo.Pushed = IsPushed;
    ItemInfo.HoverKind = ViewerHoverKind(Viewer, IsSelected, item->GetEnabled());
    if (!ToolbarStyle) ItemInfo.PopupMargin = GetPopupMargin(Viewer);
}

TRect PaintEditViewerField(TCanvas* Canvas, const TRect& R, const TTxItemInfo& ItemInfo,
                           const TTxEditFrameInfo& FrameInfo, bool ToolbarStyle, int CaptionPart) {
    TRect box = R;
    if (!ToolbarStyle) {
        CurrentTheme->PaintMenuItemFrame(Canvas, TRect{R.Left, R.Top, R.Left + CaptionPart, R.Bottom}, ItemInfo);
        box.Left += CaptionPart;
        box.Right -= ThemeMetric(66);
    }
    CurrentTheme->PaintEditFrame(Canvas, box, ItemInfo, FrameInfo);
    gcl::InflateRect(box, -(ThemeMetric(60) + ThemeMetric(61) - 1), -(ThemeMetric(60) + ThemeMetric(62) - 1));
    return box;
}

TRect EditCaptionRect(const TRect& R, const TTxItemInfo& ItemInfo, int CaptionPart) {
    return TRect{R.Left + ThemeMetric(32) + ItemInfo.PopupMargin + ThemeMetric(33), R.Top, R.Left + CaptionPart, R.Bottom};
}

// ==== The editor =================================================================================

GCL_IMPLEMENT_CLASS(TTxEdit)

void TTxEdit::SetAlignment(gcl::TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TTxEdit::CreateParams(gcl::TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.Style &= ~DWORD(ES_RIGHT | ES_CENTER);
    if (FAlignment == gcl::taRightJustify) Params.Style |= ES_RIGHT;
    else if (FAlignment == gcl::taCenter) Params.Style |= ES_CENTER;
}

// ==== The edit item ==============================================================================

GCL_PUBLISHED(TTxEditItem,
    GCL_PROP(Alignment).Default(gcl::taLeftJustify),
    GCL_PROP(ExtendedAccept).Default(false),
    GCL_PROP(ReadOnly).Default(false),
    GCL_PROP(ShowImage).Default(false))

TTxEditItem::TTxEditItem(gcl::TComponent* AOwner)
    : TBarEditItem(AOwner),
      FEditorFontSettings(std::make_unique<TFontSettings>()),
      FFontSettings(std::make_unique<TFontSettings>()) {
    FEditorFontSettings->OnChange = gcl::TNotifyEvent(this, &TTxEditItem::FontSettingsChanged);
    FFontSettings->OnChange = gcl::TNotifyEvent(this, &TTxEditItem::FontSettingsChanged);
}

TTxEditItem::~TTxEditItem() = default;

void TTxEditItem::FontSettingsChanged(gcl::TObject*) { Changed(true); }

void TTxEditItem::SetAlignment(gcl::TAlignment Value) { StoreAndChange(FAlignment, Value, false); }

void TTxEditItem::SetPasswordChar(char Value) { StoreAndChange(FPasswordChar, Value, false); }

void TTxEditItem::SetShowImage(bool Value) { StoreAndChange(FShowImage, Value, true); }

bool TTxEditItem::DoAutoComplete(std::string&) { return false; }

void TTxEditItem::DoChange(const std::string& AText) {
    if (OnChange) OnChange(this, AText);
}

void TTxEditItem::EditorChanged(gcl::TObject* Sender) {
    if (auto* edit = dynamic_cast<gcl::TCustomEdit*>(Sender)) HandleEditChange(edit);
}

void TTxEditItem::HandleEditChange(gcl::TCustomEdit* EditCtl) {
    if (FInChange || !EditCtl) return;
    gcl::TFlagScope inChange(FInChange);
    std::string s = EditCtl->GetText();
    if (!s.empty() && FKeyCount > 0) {
        std::string completed = s;
        if (DoAutoComplete(completed) && completed != s) {
            EditCtl->SetText(completed);
            EditCtl->SetSelStart(static_cast<int>(s.size()));
            EditCtl->SetSelLength(static_cast<int>(completed.size() - s.size()));
            s = completed;
        }
    }
    if (!gcl::SameText(s, FLastChangeText)) {
        FLastChangeText = s;
        DoChange(s);
    }
}

void TTxEditItem::DoBeginEdit(TBarEditItemViewer* Viewer) {
    gcl::TEdit* editor = Viewer->GetEditControl();
    if (editor) {
        if (auto* txEdit = dynamic_cast<TTxEdit*>(editor)) txEdit->SetAlignment(FAlignment);
        editor->SetPasswordChar(FPasswordChar);
        editor->SelectAll();
        editor->SetReadOnly(FReadOnly);
        editor->OnKeyDown = OnKeyDown;
        editor->OnKeyUp = OnKeyUp;
        editor->OnKeyPress = OnKeyPress;
        FEditorFontSettings->Apply(editor->GetFont());
        if (dynamic_cast<TTxEditItemViewer*>(Viewer))
            editor->OnChange = gcl::TNotifyEvent(this, &TTxEditItem::EditorChanged);
    }
    FKeyCount = 0;
    TBarEditItem::DoBeginEdit(Viewer);
}

void TTxEditItem::DoTextChanged(TBarEditTextSource Source) {
    if (Source == tbetsEditControl && GetText() == FLastChangeText) return;
    DoChange(GetText());
}

TBarItemViewerClass TTxEditItem::GetItemViewerClass(TBarView* View) {
    if (GetEditOptions().Contains(tboUseEditWhenVertical) || !View || View->GetOrientation() != tbvoVertical)
        return TTxEditItemViewer::StaticClass();
    return TTxItemViewer::StaticClass();
}

void TTxEditItem::GetPopupPosition(TBarView* ParentView, TBarPopupWindow* PopupWindow, TBarPopupPositionRec& Rec) {
    TBarEditItem::GetPopupPosition(ParentView, PopupWindow, Rec);
    Rec.PlaySound = !IsViewKind(QueryViewType(ParentView), VT_LISTPOPUP);
}

TBarPopupWindowClass TTxEditItem::GetPopupWindowClass() { return TTxPopupWindow::StaticClass(); }

// ==== The spin-edit item =========================================================================

// The spin value whose hooks are the item's events and whose text is the
// item's text.
class TTxCustomSpinEditItem::TCore : public TTxSpinValue {
public:
    explicit TCore(TTxCustomSpinEditItem* Owner) : FOwner(Owner) {}
    // Takes the item's text as the value's text.
    void Store(const std::string& Text) { TTxSpinValue::ApplyText(Text, tcrProperty); }

protected:
    bool DoTextToValue(const std::string& Text, double& V) override { return FOwner->DoTextToValue(Text, V); }
    bool DoConvert(const std::string& Prefix, const std::string& Postfix, double& V) override {
        return FOwner->DoConvert(Prefix, Postfix, V);
    }
    void DoValueToText(double V, std::string& Text) override { FOwner->DoValueToText(V, Text); }
    void DoStep(int Step, double Old, double& New) override { FOwner->DoStep(Step, Old, New); }
    void DoValueChange(double V) override { FOwner->DoValueChange(V); }
    void ApplyText(const std::string& Text, int Reason) override {
        TTxSpinValue::ApplyText(Text, Reason);
        FOwner->SetTextEx(Text, static_cast<TBarEditTextSource>(Reason));
    }

private:
    TTxCustomSpinEditItem* FOwner;
};

GCL_PUBLISHED(TTxCustomSpinEditItem,
    GCL_PROP(Alignment).Default(gcl::taRightJustify),
    GCL_PROP(Decimal).Default(2),
    GCL_PROP(Snap).Default(true),
    GCL_PROP(SpaceAfterPrefix).Default(false),
    GCL_PROP(SpaceBeforePostfix).Default(false),
    GCL_PROP(Prefix),
    GCL_PROP(Postfix),
    GCL_PROP(ValueType).Default(evtInteger))

GCL_IMPLEMENT_CLASS(TTxSpinEditItem)

TTxCustomSpinEditItem::TTxCustomSpinEditItem(gcl::TComponent* AOwner)
    : TTxEditItem(AOwner), FCore(std::make_unique<TCore>(this)) {
    SetAlignment(gcl::taRightJustify);
    SetText("0");
}

TTxCustomSpinEditItem::~TTxCustomSpinEditItem() = default;

bool TTxCustomSpinEditItem::DoConvert(const std::string& APrefix, const std::string& APostfix, double& AValue) {
    bool can = true;
    if (OnConvert) OnConvert(this, APrefix, APostfix, AValue, can);
    return can;
}

void TTxCustomSpinEditItem::DoStep(int Step, double OldValue, double& NewValue) {
    if (OnStep) OnStep(this, Step, OldValue, NewValue);
}

bool TTxCustomSpinEditItem::DoTextToValue(const std::string& AText, double& AValue) {
    bool can = false;
    if (OnTextToValue) OnTextToValue(this, AText, AValue, can);
    return can;
}

void TTxCustomSpinEditItem::DoValueChange(double V) {
    if (OnValueChange) OnValueChange(this, V);
}

void TTxCustomSpinEditItem::DoValueToText(double V, std::string& Text) {
    if (OnValueToText) OnValueToText(this, V, Text);
}

bool TTxCustomSpinEditItem::DoAcceptText(std::string& NewText) { return FCore->AcceptText(NewText); }

void TTxCustomSpinEditItem::DoTextChanging(const std::string& OldText, std::string& NewText,
                                           TBarEditTextSource Source) {
    TTxEditItem::DoTextChanging(OldText, NewText, Source);
}

void TTxCustomSpinEditItem::DoTextChanged(TBarEditTextSource Source) {
    if (FCore) static_cast<TCore*>(FCore.get())->Store(GetText());
    if (Source == tbetsEditControl && FCore) FCore->SetValueEx(FCore->GetValue(), tcrProperty);
}

TBarItemViewerClass TTxCustomSpinEditItem::GetItemViewerClass(TBarView* View) {
    if (GetEditOptions().Contains(tboUseEditWhenVertical) || !View || View->GetOrientation() != tbvoVertical)
        return TTxSpinEditViewer::StaticClass();
    return TTxItemViewer::StaticClass();
}

// ==== The label item =============================================================================

GCL_PUBLISHED(TTxLabelItem,
    GCL_PROP(Caption),
    GCL_PROP(Margin).Default(0),
    GCL_PROP(ShowAccelChar).Default(true),
    GCL_PROP(Orientation).Default(txoAuto),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Visible).Default(true))

TTxLabelItem::TTxLabelItem(gcl::TComponent* AOwner)
    : TBarCustomItem(AOwner), FFontSettings(std::make_unique<TFontSettings>()) {
    FFontSettings->OnChange = gcl::TNotifyEvent(this, &TTxLabelItem::FontSettingsChanged);
    SetItemStyle(static_cast<TBarItemStyle>((GetItemStyle() & ~tbisSelectable) | tbisClicksTransparent | tbisStretch));
}

TTxLabelItem::~TTxLabelItem() = default;

void TTxLabelItem::FontSettingsChanged(gcl::TObject*) { Changed(true); }

void TTxLabelItem::SetMargin(int Value) { StoreAndChange(FMargin, Value, true); }

void TTxLabelItem::SetShowAccelChar(bool Value) { StoreAndChange(FShowAccelChar, Value, true); }

void TTxLabelItem::SetOrientation(TTxLabelOrientation Value) { StoreAndChange(FOrientation, Value, true); }

TBarItemViewerClass TTxLabelItem::GetItemViewerClass(TBarView*) { return TTxLabelItemViewer::StaticClass(); }

// ==== The edit viewer ============================================================================

GCL_IMPLEMENT_CLASS(TTxEditItemViewer)
GCL_IMPLEMENT_CLASS(TTxSpinEditViewer)
GCL_IMPLEMENT_CLASS(TTxLabelItemViewer)

bool TTxEditItemViewer::IsToolbarStyle() { return TBarEditItemViewer::IsToolbarStyle() || IsToolBoxView(FView); }
bool TTxEditItemViewer::IsToolbarSize() { return TBarEditItemViewer::IsToolbarSize() || IsToolBoxView(FView); }

bool TTxEditItemViewer::HandleEditMessage(gcl::TMessage& Message) {
    if ((Message.Msg == WM_KEYDOWN || Message.Msg == WM_KEYUP) && IsPrintableKey(Message.WParam))
        TxItem()->KeyPressed(Message.Msg == WM_KEYDOWN);
    return false;
}

bool TTxEditItemViewer::ShowImage() { return TxItem()->GetShowImage() && GetImageList() != nullptr; }

int TTxEditItemViewer::GetIndentBefore() {
    gcl::TCustomImageList* images = GetImageList();
    return TxItem()->GetShowImage() && images ? images->GetWidth() + 2 : 0;
}

int TTxEditItemViewer::GetIndentAfter() { return 0; }

int TTxEditItemViewer::CaptionPartWidth() {
    if (IsToolbarStyle()) return 0;
    const std::string caption = RemoveAccelMarks(TxItem()->GetEditCaption());
    return EditCaptionPartWidth(this, MeasureText(FView->GetFont(), TxItem()->GetFontSettings(), caption, false).cx);
}

void TTxEditItemViewer::CalcSize(TCanvas*, int& AWidth, int& AHeight) {
    TTxEditItem* item = TxItem();
    const bool toolbarStyle = IsToolbarStyle();
    const int captionHeight =
        toolbarStyle ? 0 : MeasureText(FView->GetFont(), item->GetFontSettings(), item->GetEditCaption(), true).cy;
    const int textHeight = MeasureText(FView->GetFont(), item->GetEditorFontSettings(), "", false).cy;
    EditViewerSize(toolbarStyle, item->GetEditWidth(), CaptionPartWidth(), captionHeight, textHeight, AWidth, AHeight);
}

void TTxEditItemViewer::GetEditRect(gcl::TRect& R) {
    R = EditViewerEditRect(BoundsRect, IsToolbarStyle(), CaptionPartWidth(), GetIndentBefore(), GetIndentAfter());
}

void TTxEditItemViewer::GetItemInfo(TTxItemInfo& ItemInfo, bool IsHoverItem, bool IsPushed) {
    FillEditViewerInfo(this, IsToolbarStyle(), IsHoverItem, IsPushed, ItemInfo);
}

void TTxEditItemViewer::GetEditFrameInfo(TTxEditFrameInfo& FrameInfo) {
    FrameInfo = TTxEditFrameInfo{};
    FrameInfo.LeftBtnWidth = GetIndentBefore();
    FrameInfo.RightBtnWidth = GetIndentAfter();
}

bool TTxEditItemViewer::DoExecute() {
    TTxEditItem* item = TxItem();
    item->SetLastChangeText("");
    const bool result = TBarEditItemViewer::DoExecute();
    if (item->GetLastChangeText() != item->GetText()) {
        item->SetLastChangeText(item->GetText());
        item->DoChange(item->GetText());
    }
    return result;
}

void TTxEditItemViewer::Paint(TCanvas* Canvas, TRect R, bool IsSelected, bool IsPushed, bool) {
    TTxEditItem* item = TxItem();
    TTxItemInfo info;
    GetItemInfo(info, IsSelected, IsPushed);
    TTxEditFrameInfo frame;
    GetEditFrameInfo(frame);
    if (gcl::TFont* font = FView->GetFont()) Canvas->GetFont()->Assign(font);
    HDC dc = Canvas->GetHandle();
    SetBkMode(dc, TRANSPARENT);

    const int part = CaptionPartWidth();
    TRect box = PaintEditViewerField(Canvas, R, info, frame, IsToolbarStyle(), part);
    if (!IsToolbarStyle() && !item->GetEditCaption().empty()) {
        item->GetFontSettings()->Apply(Canvas->GetFont());
        Canvas->GetFont()->SetColor(CurrentTheme->ItemTextColor(info));
        CurrentTheme->PaintCaption(Canvas, EditCaptionRect(R, info, part), info, item->GetEditCaption(),
                                   DT_VCENTER | DT_SINGLELINE, false);
    }

    gcl::TCustomImageList* images = GetImageList();
    if (item->GetShowImage() && images && item->GetImageIndex() >= 0) {
        const int y = (box.Top + box.Bottom - images->GetHeight()) / 2;
        images->Draw(Canvas, box.Left, y, item->GetImageIndex(), item->GetEnabled());
    }
    box.Left += frame.LeftBtnWidth;
    box.Right -= frame.RightBtnWidth + 1;

    if (!item->GetText().empty()) {
        const std::string shown =
            item->GetPasswordChar() ? std::string(item->GetText().size(), item->GetPasswordChar()) : item->GetText();
        gcl::TFont font;
        if (gcl::TFont* viewFont = FView->GetFont()) font.Assign(viewFont);
        item->GetEditorFontSettings()->Apply(&font);
        HGDIOBJ old = SelectObject(dc, font.GetHandle());
        const COLORREF oldColour =
            SetTextColor(dc, gcl::ColorToRGB(gcl::SysColor(item->GetEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT)));
        UINT align = item->GetAlignment() == gcl::taRightJustify ? DT_RIGHT
                     : item->GetAlignment() == gcl::taCenter     ? DT_CENTER
                                                                 : DT_LEFT;
        RECT r = gcl::ToRECT(box);
        DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &r,
                  align | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
        SetTextColor(dc, oldColour);
        SelectObject(dc, old);
    }
}

// ==== The spin viewer ============================================================================

TTxSpinEditViewer::TTxSpinEditViewer(TBarView* AView, TBarCustomItem* AItem, int AGroupLevel)
    : TTxEditItemViewer(AView, AItem, AGroupLevel) {}

TTxSpinEditViewer::~TTxSpinEditViewer() {
    if (FTimer) FTimer->Free();
}

int TTxSpinEditViewer::GetIndentAfter() {
    return IsToolbarStyle() ? ThemeMetric(65) + 2 : GetSystemMetrics(SM_CXMENUCHECK) + 2;
}

void TTxSpinEditViewer::GetEditFrameInfo(TTxEditFrameInfo& FrameInfo) {
    TTxEditItemViewer::GetEditFrameInfo(FrameInfo);
    FrameInfo.RightBtnInfo.ButtonType = EBT_SPIN;
    uint32_t state = 0;
    if (!FItem->GetEnabled()) state |= EBDS_DISABLED;
    if (FView->GetSelected() == this) state |= EBDS_HOT;
    if (FPressedPart == 1) state |= EBSS_UP;
    if (FPressedPart == 2) state |= EBSS_DOWN;
    FrameInfo.RightBtnInfo.ButtonState = state;
}

bool TTxSpinEditViewer::HandleEditMessage(gcl::TMessage& Message) {
    TTxCustomSpinEditItem* item = SpinItem();
    gcl::TEdit* editor = GetEditControl();
    if (Message.Msg == WM_KEYDOWN && (Message.WParam == VK_UP || Message.WParam == VK_DOWN) && editor) {
        double v = 0;
        if (item->TextToValue(editor->GetText(), v)) item->SetValue(v);
        if (Message.WParam == VK_UP) item->StepUp();
        else item->StepDown();
        editor->SetText(item->GetText());
        editor->SelectAll();
        Message.Result = 0;
        return true;
    }
    if (Message.Msg == WM_CHAR && (Message.WParam == VK_TAB || Message.WParam == VK_RETURN) && editor) {
        double v = 0;
        item->SetValue(item->TextToValue(editor->GetText(), v) ? v : item->GetLastValue());
        editor->SetText(item->GetText());
    }
    return TTxEditItemViewer::HandleEditMessage(Message);
}

bool TTxSpinEditViewer::IsPtInButtonPart(int X, int) {
    TRect edit;
    GetEditRect(edit);
    return X < edit.Right - BoundsRect.Left;
}

void TTxSpinEditViewer::InvalidateSpinArea() {
    gcl::TWinControl* window = FView->GetWindow();
    if (!window || !window->HandleAllocated()) return;
    TRect edit;
    GetEditRect(edit);
    RECT r{edit.Right, BoundsRect.Top, BoundsRect.Right, BoundsRect.Bottom};
    InvalidateRect(window->GetHandle(), &r, FALSE);
}

void TTxSpinEditViewer::MouseDown(gcl::TShiftState Shift, int X, int Y, bool& MouseDownOnMenu) {
    TRect edit;
    GetEditRect(edit);
    const int spinLeft = edit.Right - BoundsRect.Left;
    if (!FItem->GetEnabled() || X < spinLeft) {
        TTxEditItemViewer::MouseDown(Shift, X, Y, MouseDownOnMenu);
        return;
    }
    FView->BeginCapture();
    FPressedPart = Y >= BoundsRect.Height() / 2 ? 2 : 1;
    if (FPressedPart == 2) SpinItem()->StepDown();
    else SpinItem()->StepUp();
    if (!FTimer) {
        FTimer = gcl::TTimer::Create(static_cast<gcl::TComponent*>(nullptr));
        FTimer->OnTimer = gcl::TNotifyEvent(this, &TTxSpinEditViewer::TimerTick);
    }
    FTimer->SetInterval(400);
    FTimer->SetEnabled(true);
    InvalidateSpinArea();
}

void TTxSpinEditViewer::TimerTick(gcl::TObject*) {
    if (FPressedPart == 0) {
        Release();
        return;
    }
    if (FTimer) FTimer->SetInterval(100);
    if (FPressedPart == 2) SpinItem()->StepDown();
    else SpinItem()->StepUp();
}

void TTxSpinEditViewer::Release() {
    const bool wasPressed = FPressedPart != 0;
    FPressedPart = 0;
    if (FTimer) {
        gcl::TTimer* timer = FTimer;
        FTimer = nullptr;
        timer->SetEnabled(false);
        timer->Free();
    }
    if (wasPressed) InvalidateSpinArea();
}

void TTxSpinEditViewer::MouseUp(int X, int Y, bool MouseWasDownOnMenu) {
    if (FPressedPart != 0) {
        Release();
        FView->CancelCapture();
        if (!FView->GetParentView() && !FView->GetIsPopup()) FView->EndModal();
        return;
    }
    TTxEditItemViewer::MouseUp(X, Y, MouseWasDownOnMenu);
}

void TTxSpinEditViewer::LosingCapture() {
    Release();
    TTxEditItemViewer::LosingCapture();
}

// ==== The label viewer ===========================================================================

bool TTxLabelItemViewer::IsToolbarStyle() { return TBarItemViewer::IsToolbarStyle() || IsToolBoxView(FView); }
bool TTxLabelItemViewer::IsToolbarSize() { return TBarItemViewer::IsToolbarSize() || IsToolBoxView(FView); }

bool TTxLabelItemViewer::IsOrientationHorizontal() {
    auto* item = static_cast<TTxLabelItem*>(FItem);
    switch (item->GetOrientation()) {
    case txoHorizontal: return true;
    case txoVertical: return false;
    default: return FView->GetOrientation() != tbvoVertical;
    }
}

void TTxLabelItemViewer::DoAdjustFont(gcl::TFont* Font, int StateFlags) {
    auto* item = static_cast<TTxLabelItem*>(FItem);
    item->GetFontSettings()->Apply(Font);
    if (item->OnAdjustFont) item->OnAdjustFont(item, this, Font, StateFlags);
}

std::string TTxLabelItemViewer::LabelText() {
    std::string text = FItem->GetCaption().substr(0, FItem->GetCaption().find('\t'));
    return text.empty() ? "0" : text;
}

void TTxLabelItemViewer::CalcSize(TCanvas* Canvas, int& AWidth, int& AHeight) {
    auto* item = static_cast<TTxLabelItem*>(FItem);
    if (gcl::TFont* font = FView->GetFont()) Canvas->GetFont()->Assign(font);
    DoAdjustFont(Canvas->GetFont(), FItem->GetEnabled() ? 0 : ISF_DISABLED);
    Canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
    HDC dc = Canvas->GetHandle();
    const std::string text = LabelText();
    const bool prefix = item->GetShowAccelChar();
    const int lineHeight = FontTextHeight(dc);
    const int margin = item->GetMargin();
    if (IsToolbarStyle()) {
        AWidth = margin;
        AHeight = margin;
        if (IsOrientationHorizontal()) {
            AWidth += GetTextWidth(dc, text, prefix);
            AHeight += lineHeight;
        } else {
            HFONT rotated = CreateRotatedFont(dc);
            HGDIOBJ old = rotated ? SelectObject(dc, rotated) : nullptr;
            AWidth += lineHeight;
            AHeight += GetTextWidth(dc, text, prefix);
            if (rotated) {
                SelectObject(dc, old);
                DeleteObject(rotated);
            }
        }
    } else {
        AWidth = GetTextWidth(dc, text, prefix);
        AHeight = lineHeight;
    }
    AWidth = std::max(AWidth, 6) + 2 * margin + 1;
    AHeight = std::max(AHeight, 6) + 2 * margin + 1;
}

void TTxLabelItemViewer::Paint(TCanvas* Canvas, TRect R, bool, bool, bool) {
    auto* item = static_cast<TTxLabelItem*>(FItem);
    const bool horizontal = IsOrientationHorizontal();
    TTxItemInfo info{};
    info.ViewType = QueryViewType(FView);
    info.ItemOptions = IO_TOOLBARSTYLE;
    if (IsDesigning(FItem)) info.ItemOptions |= IO_DESIGNING;
    info.Enabled = FItem->GetEnabled() || FView->GetCustomizing();
    info.IsVertical = !horizontal;
    if (gcl::TFont* font = FView->GetFont()) Canvas->GetFont()->Assign(font);
    Canvas->GetFont()->SetColor(CurrentTheme->ItemTextColor(info));
    DoAdjustFont(Canvas->GetFont(), info.Enabled ? 0 : ISF_DISABLED);
    Canvas->GetBrush()->SetStyle(gcl::bsClear);
    UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (!item->GetShowAccelChar()) format |= DT_NOPREFIX;
    CurrentTheme->PaintCaption(Canvas, R, info, item->GetCaption().substr(0, item->GetCaption().find('\t')), format,
                               !horizontal);
}

} // namespace qelvo
