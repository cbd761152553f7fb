// The caption-bar buttons: making them, their order, images, visibility,
// the caption label's text and the caption bar's thickness.
#include "controls/XtButtonOptions.h"

#include <algorithm>


namespace qelvo {

GCL_PUBLISHED(TXtButtonOptions,
    GCL_PROP(ButtonBorders).Default(false),
    GCL_PROP(Caption).Default(true),
    GCL_PROP(Close).Default(true),
    GCL_PROP(Minimize).Default(true),
    GCL_PROP(Maximize).Default(true),
    GCL_PROP(CaptionImageIndex).Default(-1),
    GCL_PROP(CloseImageIndex).Default(-1),
    GCL_PROP(MinimizeImageIndex).Default(-1),
    GCL_PROP(MaximizeImageIndex).Default(-1),
    GCL_PROP(RestoreImageIndex).Default(-1),
    GCL_PROP(TitleBarSize).Default(17))

TXtButtonOptions::TXtButtonOptions(gcl::TWinControl* AParentControl, TXtToolbar* AToolbar)
    : FParentControl(AParentControl), FToolbar(AToolbar) {}

TXtButtonOptions::~TXtButtonOptions() = default;

void TXtButtonOptions::AfterConstruction() {
    inherited::AfterConstruction();
    CreateButtons();
}

void TXtButtonOptions::Assign(gcl::TPersistent* Source) {
    auto* source = dynamic_cast<TXtButtonOptions*>(Source);
    if (!source) {
        inherited::Assign(Source);
        return;
    }
    SetButtonBorders(source->FButtonBorders);
    SetCaption(source->FCaption);
    SetClose(source->FClose);
    SetMinimize(source->FMinimize);
    SetMaximize(source->FMaximize);
    SetCaptionImageIndex(source->FCaptionImageIndex);
    SetCloseImageIndex(source->FCloseImageIndex);
    SetMinimizeImageIndex(source->FMinimizeImageIndex);
    SetMaximizeImageIndex(source->FMaximizeImageIndex);
    SetRestoreImageIndex(source->FRestoreImageIndex);
    SetTitleBarSize(source->FTitleBarSize);
}

// ---- Making the buttons ----------------------------------------------------------------

TXtItem* TXtButtonOptions::MakeButton(gcl::TComponentRef<TXtItem>& Field, bool Visible) {
    TXtItem* button = TXtItem::Create(nullptr);
    Field = button;
    SetupButton(button);
    button->SetVisible(Visible);
    return button;
}

void TXtButtonOptions::CreateButtons() {
    if (!FToolbar) return;
    TXtRightAlignSpacerItem* label = TXtRightAlignSpacerItem::Create(nullptr);
    FCaptionLabel = label;
    FToolbar->GetItems()->Add(label);
    MakeButton(FCloseButton, FClose);
    MakeButton(FMaximizeButton, FMaximize);
    MakeButton(FMinimizeButton, FMinimize);
    UpdateCaptionVisibility();
}

void TXtButtonOptions::SetupButton(TXtItem* Button) {
    Button->SetCustomWidth(FButtonWidth);
    Button->SetCustomHeight(FTitleBarSize);
    Button->SetDisplayMode(nbdmImageAndText);
    Button->OnDrawImage = TXtDrawImageEvent(this, &TXtButtonOptions::DrawButtonImage);
    Button->OnDrawItem = TXtDrawItemEvent(this, &TXtButtonOptions::ButtonsDrawItem);
    Button->OnClick = gcl::TNotifyEvent(this, &TXtButtonOptions::ButtonsClick);
    FToolbar->GetItems()->Add(Button);
    Button->SetVisible(false);
    UpdateButtonImage(Button);
}

void TXtButtonOptions::ReorderButtons() {
    if (!FToolbar) return;
    TBarCustomItem* items = FToolbar->GetItems();
    if (TXtRightAlignSpacerItem* label = FCaptionLabel.Get()) {
        label->GetFontSettings()->SetBold(tsTrue);
        label->SetWrapping(twEndEllipsis);
    }
    ApplyTitleBarSize();
    if (TXtRightAlignSpacerItem* label = FCaptionLabel.Get(); label && items->IndexOf(label) >= 0)
        items->Move(items->IndexOf(label), 0);
    for (TXtItem* button : {FMinimizeButton.Get(), FMaximizeButton.Get(), FCloseButton.Get()})
        if (button && items->IndexOf(button) >= 0) items->Move(items->IndexOf(button), items->GetCount() - 1);
    FToolbar->GetView()->InvalidatePositions();
    FToolbar->Arrange();
}

// ---- Images, visibility and painting ----------------------------------------------------

void TXtButtonOptions::ApplyImage(TXtCustomItem* Item, int Index, int Glyph) {
    if (Index >= 0 || Glyph < 0) {
        Item->SetImages(nullptr);
        Item->SetImageIndex(Index);
    } else {
        Item->SetImages(XtGlyphs);
        Item->SetImageIndex(Glyph);
    }
}

void TXtButtonOptions::UpdateButtonImage(TXtItem* Button) {
    if (!Button) return;
    if (Button == FCloseButton.Get()) {
        ApplyImage(Button, FCloseImageIndex, XtGlyphClose);
    } else if (Button == FMaximizeButton.Get()) {
        if (Restoring(Button)) ApplyImage(Button, FRestoreImageIndex, XtGlyphRestore);
        else ApplyImage(Button, FMaximizeImageIndex, XtGlyphMaximize);
    } else if (Button == FMinimizeButton.Get()) {
        if (Restoring(Button)) ApplyImage(Button, FRestoreImageIndex, XtGlyphRestore);
        else ApplyImage(Button, FMinimizeImageIndex, XtGlyphMinimize);
    }
}

bool TXtButtonOptions::Restoring(TXtItem*) { return false; }

void TXtButtonOptions::UpdateCaptionVisibility() {
    ShowItem(FCaptionLabel.Get(), FCaption || FClose || FMinimize || FMaximize);
}

void TXtButtonOptions::ShowItem(TBarCustomItem* Item, bool Visible) {
    if (Item) Item->SetVisible(Visible);
}

void TXtButtonOptions::DrawButtonImage(gcl::TObject*, TCanvas*, const TTxItemInfo&, TXtPaintStage,
                                       TCustomImageList*&, int&, TRect&, bool&) {}

void TXtButtonOptions::ButtonsDrawItem(gcl::TObject*, TCanvas*, const TRect&, const TTxItemInfo&,
                                       TXtPaintStage PaintStage, bool& PaintDefault) {
    if (PaintStage == pstPrePaint) PaintDefault = FButtonBorders && CurrentThemeName() != "Default";
}

void TXtButtonOptions::ButtonsClick(gcl::TObject*) {}

// ---- Setters ----------------------------------------------------------------------------

void TXtButtonOptions::SetButtonBorders(bool Value) {
    if (Value == FButtonBorders) return;
    FButtonBorders = Value;
    if (FToolbar) FToolbar->Invalidate();
}

void TXtButtonOptions::SetCaption(bool Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    if (TXtRightAlignSpacerItem* label = FCaptionLabel.Get()) label->SetCaption(FCaption ? FCaptionText : L"");
    UpdateCaptionVisibility();
}

void TXtButtonOptions::SetClose(bool Value) {
    if (Value == FClose) return;
    FClose = Value;
    ShowItem(FCloseButton.Get(), Value);
    UpdateCaptionVisibility();
}

void TXtButtonOptions::SetMinimize(bool Value) {
    if (Value == FMinimize) return;
    FMinimize = Value;
    ShowItem(FMinimizeButton.Get(), Value);
    UpdateCaptionVisibility();
}

void TXtButtonOptions::SetMaximize(bool Value) {
    if (Value == FMaximize) return;
    FMaximize = Value;
    ShowItem(FMaximizeButton.Get(), Value);
    UpdateCaptionVisibility();
}

void TXtButtonOptions::StoreImageIndex(int& Field, int Value, TXtItem* Button) {
    Value = std::max(Value, -1);
    if (Value == Field) return;
    Field = Value;
    UpdateButtonImage(Button);
}

void TXtButtonOptions::SetCaptionImageIndex(int Value) {
    Value = std::max(Value, -1);
    if (Value == FCaptionImageIndex) return;
    FCaptionImageIndex = Value;
    if (TXtRightAlignSpacerItem* label = FCaptionLabel.Get()) ApplyImage(label, Value, -1);
}

void TXtButtonOptions::SetCloseImageIndex(int Value) { StoreImageIndex(FCloseImageIndex, Value, FCloseButton.Get()); }

void TXtButtonOptions::SetMinimizeImageIndex(int Value) {
    StoreImageIndex(FMinimizeImageIndex, Value, FMinimizeButton.Get());
}

void TXtButtonOptions::SetMaximizeImageIndex(int Value) {
    StoreImageIndex(FMaximizeImageIndex, Value, FMaximizeButton.Get());
}

void TXtButtonOptions::SetRestoreImageIndex(int Value) {
    Value = std::max(Value, -1);
    if (Value == FRestoreImageIndex) return;
    FRestoreImageIndex = Value;
    UpdateButtonImage(FMinimizeButton.Get());
    UpdateButtonImage(FMaximizeButton.Get());
}

void TXtButtonOptions::SetTitleBarSize(int Value) {
    if (Value == FTitleBarSize) return;
    FTitleBarSize = Value;
    ApplyTitleBarSize();
}

void TXtButtonOptions::ApplyTitleBarSize() {
    for (TXtItem* button : {FCloseButton.Get(), FMaximizeButton.Get(), FMinimizeButton.Get()})
        if (button) button->SetCustomHeight(FTitleBarSize);
    if (FToolbar)
        if (auto* view = dynamic_cast<TXtToolbarView*>(FToolbar->GetView())) view->SetMaxSize(FTitleBarSize);
}

void TXtButtonOptions::SetCaptionText(const std::wstring& Value) {
    if (Value == FCaptionText) return;
    FCaptionText = Value;
    if (TXtRightAlignSpacerItem* label = FCaptionLabel.Get(); label && FCaption) label->SetCaption(Value);
}

} // namespace qelvo
