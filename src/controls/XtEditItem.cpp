// The extended edit item: wide texts and their case, the change reports
// of an edit (once per change), auto-completion while character keys are
// down, acceptance of the wide text, and the viewer's size, edit
// rectangle, painting through the theme and bitmap hint.
#include "controls/XtEditItem.h"

#include <algorithm>

#include "gcl/Forms.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "theming/TxBars.h"
#include "theming/TxExtItems.h"
#include "unicode/UniClasses.h"
#include "unicode/UniSysUtils.h"

namespace qelvo {

namespace {

// Space, digits and letters, the numeric pad and the punctuation keys.
bool IsCharacterKey(WPARAM key) {
    return key == VK_SPACE || (key >= 48 && key <= 90) || (key >= 96 && key <= 111) || (key >= 186 && key <= 245);
}

// The font of the view adjusted by settings.
void ViewFont(TBarView* view, const TFontSettings* settings, gcl::TFont& font) {
    if (gcl::TFont* viewFont = view->GetFont()) font.Assign(viewFont);
    if (settings) settings->Apply(&font);
}

// Width and height of a wide text (accelerator marks removed), and the
// font's line height (tmHeight + tmExternalLeading) when the text is empty.
gcl::TSize MeasureWide(const gcl::TFont& font, const std::wstring& text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, const_cast<gcl::TFont&>(font).GetHandle());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    gcl::TSize size{0, tm.tmHeight + tm.tmExternalLeading};
    if (!text.empty()) {
        SIZE extent{};
        GetWideTextExtent(dc, text, true, extent);
        size.cx = extent.cx;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return size;
}

} // namespace

// ==== TXtEditItem ==================================================================================

GCL_PUBLISHED(TXtEditItem,
    GCL_PROP(Alignment).Default(gcl::taLeftJustify),
    gcl::Prop<&TXtEditItem::GetCharCaseProp, &TXtEditItem::SetCharCase>("CharCase").Default(gcl::ecNormal),
    GCL_PROP_RO(EditorFontSettings),
    GCL_PROP(ExtendedAccept).Default(false),
    GCL_PROP_RO(FontSettings),
    GCL_PROP(ImageIndex).Default(-1),
    GCL_PROP(Images),
    GCL_PROP(PasswordChar).Default(0),
    GCL_PROP(ReadOnly).Default(false),
    GCL_PROP(ShowImage).Default(false),
    gcl::Prop<&TXtEditItem::GetEditCaption, &TXtEditItem::SetEditCaption>("EditCaption"),
    gcl::Prop<&TXtEditItem::GetHint, static_cast<void (TXtEditItem::*)(const std::wstring&)>(&TXtEditItem::SetHint)>(
        "Hint"),
    gcl::Prop<&TXtEditItem::GetText, static_cast<void (TXtEditItem::*)(const std::wstring&)>(&TXtEditItem::SetText)>(
        "Text"))

TXtEditItem::TXtEditItem(gcl::TComponent* AOwner)
    : TBarEditItem(AOwner),
      FEditorFontSettings(std::make_unique<TFontSettings>()),
      FFontSettings(std::make_unique<TFontSettings>()) {
    FEditorFontSettings->OnChange = gcl::TNotifyEvent(this, &TXtEditItem::FontSettingsChanged);
    FFontSettings->OnChange = gcl::TNotifyEvent(this, &TXtEditItem::FontSettingsChanged);
}

TXtEditItem::~TXtEditItem() = default;

void TXtEditItem::BeforeDestruction() noexcept {
    FEditingViewer = nullptr;
    inherited::BeforeDestruction();
}

void TXtEditItem::DefineProperties(gcl::TFiler& Filer) {
    inherited::DefineProperties(Filer);
    DefineWideProperties(Filer, this);
}

void TXtEditItem::FontSettingsChanged(gcl::TObject*) { Changed(true); }

std::wstring TXtEditItem::GetEditCaption() const {
    const std::string& ansi = TBarEditItem::GetEditCaption();
    return gcl::WideToAnsi(FEditCaption) == ansi ? FEditCaption : gcl::AnsiToWide(ansi);
}

void TXtEditItem::SetEditCaption(const std::wstring& Value) {
    if (Value == GetEditCaption()) return;
    FEditCaption = Value;
    const std::string ansi = gcl::WideToAnsi(Value);
    if (ansi != TBarEditItem::GetEditCaption())
        TBarEditItem::SetEditCaption(ansi);
    else
        Changed(true);
}

std::wstring TXtEditItem::GetHint() const {
    const std::string& ansi = TBarCustomItem::GetHint();
    return gcl::WideToAnsi(FHint) == ansi ? FHint : gcl::AnsiToWide(ansi);
}

void TXtEditItem::SetHint(const std::wstring& Value) {
    if (Value == GetHint()) return;
    FHint = Value;
    TBarCustomItem::SetHint(gcl::WideToAnsi(Value));
}

void TXtEditItem::SetText(const std::wstring& Value) { SetTextEx(Value, tbetsTextProperty); }

void TXtEditItem::SetTextEx(const std::wstring& Value, TBarEditTextSource Reason) {
    std::wstring text = Value;
    DoTextChanging(FText, text, Reason);
    if (text == FText) return;
    FText = text;
    Changed(false);
    DoTextChanged(Reason);
}

void TXtEditItem::SetCharCase(gcl::TEditCharCase Value) {
    if (Value == GetCharCase()) return;
    TBarEditItem::SetCharCase(Value);
    SetText(FText);
}

void TXtEditItem::DoTextChanging(const std::wstring&, std::wstring& NewText, TBarEditTextSource) {
    if (GetCharCase() == gcl::ecUpperCase) NewText = WideUpperCase(NewText);
    else if (GetCharCase() == gcl::ecLowerCase) NewText = WideLowerCase(NewText);
}

void TXtEditItem::DoTextChanged(TBarEditTextSource Source) {
    if (Source == tbetsEditControl) {
        // The edit reported this text already.
        if (FText == FLastEditChange) return;
        FLastEditChange = FText;
    }
    DoChange(FText);
}

void TXtEditItem::SetAlignment(gcl::TAlignment Value) { StoreAndChange(FAlignment, Value, true); }

void TXtEditItem::SetPasswordChar(wchar_t Value) { StoreAndChange(FPasswordChar, Value, true); }

void TXtEditItem::SetShowImage(bool Value) { StoreAndChange(FShowImage, Value, true); }

bool TXtEditItem::DoAcceptTextWide(std::wstring& NewText) {
    bool accept = true;
    if (OnAcceptText) OnAcceptText(this, NewText, accept);
    return accept;
}

bool TXtEditItem::DoAutoComplete(std::wstring&) { return false; }

void TXtEditItem::DoChange(const std::wstring& AText) {
    if (OnChange) OnChange(this, AText);
}

void TXtEditItem::DoDrawHint(gcl::TBitmap* HintBitmap, std::wstring& Hint, bool& PaintDefault) {
    if (OnDrawHint) OnDrawHint(this, HintBitmap, Hint, PaintDefault);
}

int TXtEditItem::GetEditImageIndex() { return GetImageIndex(); }

void TXtEditItem::EditorChanged(gcl::TObject* Sender) {
    if (auto* editor = dynamic_cast<TXtUnicodeEdit*>(Sender)) HandleEditChange(editor);
}

void TXtEditItem::HandleEditChange(TXtUnicodeEdit* Editor) {
    if (FInEditChange || !Editor) return;
    gcl::TFlagScope inChange(FInEditChange);
    const std::wstring typed = Editor->GetText();
    std::wstring completed = typed;
    if (!typed.empty() && FKeysDown >= 1 && DoAutoComplete(completed)) {
        // The completion stays selected, so typing on replaces it.
        Editor->SetText(completed);
        Editor->SetSelStart(static_cast<int>(typed.size()));
        Editor->SetSelLength(std::max(0, static_cast<int>(completed.size()) - static_cast<int>(typed.size())));
    }
    const std::wstring text = Editor->GetText();
    // Before the first report the item's own text is no change (the editor
    // taking it, or typing back to it); after it, the last report's text.
    if (text == (FEditReported ? FLastEditChange : FText)) return;
    FLastEditChange = text;
    FEditReported = true;
    DoChange(text);
}

void TXtEditItem::DoBeginEdit(TBarEditItemViewer* Viewer) {
    FEditingViewer = dynamic_cast<TXtEditItemViewer*>(Viewer);
    auto* editor = dynamic_cast<TXtUnicodeEdit*>(Viewer->GetEditControl());
    if (editor) {
        editor->SetAlignment(FAlignment);
        editor->SetPasswordChar(FPasswordChar);
        editor->SetText(FText);
        editor->SelectAll();
        editor->SetReadOnly(FReadOnly);
        FEditorFontSettings->Apply(editor->GetFont());
    }
    FKeysDown = 0;
    TBarEditItem::DoBeginEdit(Viewer);
    if (editor) editor->OnChange = gcl::TNotifyEvent(this, &TXtEditItem::EditorChanged);
}

bool TXtEditItem::DoAcceptText(std::string&) {
    if (!FEditingViewer) return false;
    std::wstring newText;
    if (TXtUnicodeEdit* editor = FEditingViewer->GetEditor(); editor || !GetExtendedAccept()) {
        if (!editor) return false;
        newText = editor->GetText();
    } else if (!FEditReported) {
        // The edit ended elsewhere without a change: nothing to accept.
        FLastEditChange = FText;
        return false;
    } else {
        newText = FLastEditChange;
    }
    if (DoAcceptTextWide(newText)) SetTextEx(newText, tbetsEditControl);
    return false;
}

TBarItemViewerClass TXtEditItem::GetItemViewerClass(TBarView* View) {
    if (!GetEditOptions().Contains(tboUseEditWhenVertical) && View && View->GetOrientation() == tbvoVertical)
        return TTxItemViewer::StaticClass();
    return TXtEditItemViewer::StaticClass();
}

TBarPopupWindowClass TXtEditItem::GetPopupWindowClass() { return TTxPopupWindow::StaticClass(); }

// ==== TXtEditItemViewer ==============================================================================

GCL_IMPLEMENT_CLASS(TXtEditItemViewer)

void TXtEditItemViewer::BeforeDestruction() noexcept {
    if (auto* item = dynamic_cast<TXtEditItem*>(FItem); item && item->FEditingViewer == this)
        item->FEditingViewer = nullptr;
    inherited::BeforeDestruction();
}

TXtUnicodeEdit* TXtEditItemViewer::GetEditor() const noexcept {
    return dynamic_cast<TXtUnicodeEdit*>(GetEditControl());
}

bool TXtEditItemViewer::EditWndProcHook(gcl::TMessage& Message) {
    TXtEditItem* item = XtItem();
    item->FEditingViewer = this;
    if ((Message.Msg == WM_KEYDOWN || Message.Msg == WM_KEYUP) && IsCharacterKey(Message.WParam)) {
        if (Message.Msg == WM_KEYDOWN)
            ++item->FKeysDown;
        else if (item->FKeysDown > 0)
            --item->FKeysDown;
    }
    return false;
}

bool TXtEditItemViewer::IsToolbarStyle() { return inherited::IsToolbarStyle() || IsToolBoxView(FView); }
bool TXtEditItemViewer::IsToolbarSize() { return inherited::IsToolbarSize() || IsToolBoxView(FView); }

bool TXtEditItemViewer::ShowImageInField() { return XtItem()->GetShowImage(); }

int TXtEditItemViewer::GetLeftButtonWidth() {
    gcl::TCustomImageList* images = GetImageList();
    return ShowImageInField() && images ? images->GetWidth() + 2 : 0;
}

int TXtEditItemViewer::CaptionPartWidth() {
    if (IsToolbarStyle()) return 0;
    gcl::TFont font;
    ViewFont(FView, XtItem()->GetFontSettings(), font);
    return EditCaptionPartWidth(this, MeasureWide(font, XtItem()->GetEditCaption()).cx);
}

void TXtEditItemViewer::CalcSize(gcl::TCanvas*, int& AWidth, int& AHeight) {
    TXtEditItem* item = XtItem();
    gcl::TFont captionFont, editorFont;
    ViewFont(FView, item->GetFontSettings(), captionFont);
    ViewFont(FView, item->GetEditorFontSettings(), editorFont);
    EditViewerSize(IsToolbarStyle(), item->GetEditWidth(), CaptionPartWidth(),
                   MeasureWide(captionFont, item->GetEditCaption()).cy, MeasureWide(editorFont, L"").cy, AWidth,
                   AHeight);
}

void TXtEditItemViewer::GetEditRect(gcl::TRect& R) {
    R = EditViewerEditRect(BoundsRect, IsToolbarStyle(), CaptionPartWidth(), GetLeftButtonWidth(),
                           GetRightButtonWidth());
}

void TXtEditItemViewer::GetItemInfo(TTxItemInfo& ItemInfo, bool IsSelected, bool IsPushed) {
    FillEditViewerInfo(this, IsToolbarStyle(), IsSelected, IsPushed, ItemInfo);
    ItemInfo.Selected = FItem->GetChecked();
}

void TXtEditItemViewer::GetEditFrameInfo(TTxEditFrameInfo& FrameInfo) {
    FrameInfo = TTxEditFrameInfo{};
    FrameInfo.LeftBtnWidth = GetLeftButtonWidth();
    FrameInfo.RightBtnWidth = GetRightButtonWidth();
}

bool TXtEditItemViewer::DoExecute() {
    TXtEditItem* item = XtItem();
    item->FLastEditChange.clear();
    item->FEditReported = false;
    const bool result = inherited::DoExecute();
    // The last text reported while editing was not the one kept: report it.
    if (item->FEditReported && item->FLastEditChange != item->GetText()) item->DoChange(item->GetText());
    item->FLastEditChange.clear();
    item->FEditReported = false;
    return result;
}

bool TXtEditItemViewer::GetAccValue(std::wstring& Value) {
    Value = XtItem()->GetText();
    return true;
}

void TXtEditItemViewer::Paint(gcl::TCanvas* Canvas, TRect R, bool IsSelected, bool IsPushed, bool) {
    TXtEditItem* item = XtItem();
    TTxItemInfo info;
    GetItemInfo(info, IsSelected, IsPushed);
    TTxEditFrameInfo frame;
    GetEditFrameInfo(frame);

    const int part = CaptionPartWidth();
    TRect box = PaintEditViewerField(Canvas, R, info, frame, IsToolbarStyle(), part);
    const std::wstring caption = item->GetEditCaption();
    if (!IsToolbarStyle() && !caption.empty()) {
        ViewFont(FView, item->GetFontSettings(), *Canvas->GetFont());
        const TColor color = item->GetFontSettings()->GetColor();
        Canvas->GetFont()->SetColor(color == clNone ? CurrentTheme->ItemTextColor(info) : color);
        TRect text = EditCaptionRect(R, info, part);
        DrawGlowText(Canvas, caption, text, 0, clNone, gldNone, DT_SINGLELINE | DT_VCENTER);
    }

    gcl::TCustomImageList* images = GetImageList();
    if (ShowImageInField() && images && item->GetEditImageIndex() >= 0) {
        const int y = (box.Top + box.Bottom - images->GetHeight()) / 2;
        images->Draw(Canvas, box.Left, y, item->GetEditImageIndex(), info.Enabled);
    }
    box.Left += frame.LeftBtnWidth;
    box.Right -= frame.RightBtnWidth + 1;
    // The editor lies over the field while it is open.
    if (GetEditControl() || item->GetText().empty()) return;

    const std::wstring shown = item->GetPasswordChar() ? std::wstring(item->GetText().size(), item->GetPasswordChar())
                                                       : item->GetText();
    ViewFont(FView, item->GetEditorFontSettings(), *Canvas->GetFont());
    const TColor settingsColor = item->GetEditorFontSettings()->GetColor();
    TColor color = info.Enabled ? gcl::clWindowText : gcl::clGrayText;
    if (info.Enabled && settingsColor != clNone) color = settingsColor;
    Canvas->GetFont()->SetColor(color);
    Canvas->GetBrush()->SetColor(info.Enabled ? gcl::clWindow : gcl::clBtnFace);
    Canvas->GetBrush()->SetStyle(gcl::bsClear);
    Canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid});
    const UINT align = item->GetAlignment() == gcl::taRightJustify ? DT_RIGHT
                       : item->GetAlignment() == gcl::taCenter     ? DT_CENTER
                                                                   : DT_LEFT;
    // The user's text as it stands (no caption conventions apply).
    DrawWideTextRaw(Canvas->GetHandle(), shown, box, 0, align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    Canvas->GetBrush()->SetStyle(gcl::bsSolid);
}

std::wstring TXtEditItemViewer::GetWideHintText() {
    return XtViewerHintText(this, XtItem()->GetHint(), gcl::AnsiToWide(FItem->GetCaption()));
}

void TXtEditItemViewer::ShowHint(gcl::TMessage& Message) {
    auto* info = reinterpret_cast<gcl::THintInfo*>(Message.LParam);
    if (!info) return;
    std::wstring hint = GetWideHintText();
    if (hint.empty() || !XtHintBitmap) {
        info->HintStr.clear();
        return;
    }
    const gcl::TSize size =
        BeginBitmapHint(hint, gcl::Screen ? gcl::Screen->GetHintFont() : nullptr, info->HintMaxWidth);
    bool paintDefault = true;
    XtItem()->DoDrawHint(XtHintBitmap, hint, paintDefault);
    if (paintDefault) DrawBitmapHintText(hint, size);
    UseBitmapHint(*info, hint);
}

void TXtEditItemViewer::Dispatch(gcl::TMessage& Message) {
    if (Message.Msg == gcl::CM_HINTSHOW) {
        ShowHint(Message);
        return;
    }
    inherited::Dispatch(Message);
}

} // namespace qelvo
