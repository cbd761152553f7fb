// Columns, their drop-down button and the column kinds.
#include "listview/GvInternal.h"

namespace qelvo {

using namespace gvdetail;

// ---- TGvColumnDropDownButton -----------------------------------------------------------------

GCL_PUBLISHED(TGvColumnDropDownButton,
    GCL_PROP(AlwaysShow).Default(false),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Menu),
    GCL_PROP(Visible).Default(false))

void TGvColumnDropDownButton::Repaint() {
    if (FOwner) FOwner->Invalidate(false);
}

void TGvColumnDropDownButton::SetAlwaysShow(bool Value) {
    if (Value == FAlwaysShow) return;
    FAlwaysShow = Value;
    Repaint();
}

void TGvColumnDropDownButton::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    Repaint();
}

void TGvColumnDropDownButton::SetMenu(gcl::TPopupMenu* Value) {
    if (Value == FMenu.Get()) return;
    FMenu = Value;
    Repaint();
}

void TGvColumnDropDownButton::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    Repaint();
}

// ---- TGvColumn ---------------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvColumn)

TGvColumn::TGvColumn(TGvCollection* ACollection)
    : TGvCollectionItem(ACollection),
      FDropDownButton(std::make_unique<TGvColumnDropDownButton>(this)),
      FPosition(ACollection ? ACollection->GetCount() : 0) {}

TGvColumn::~TGvColumn() = default;

void TGvColumn::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Invalidate(false);
}

gcl::TColor TGvColumn::GetColor() const {
    auto* info = dynamic_cast<TGvPaintInfoBaseColumn*>(PaintInfo());
    return info ? info->GetColor() : gcl::clBtnFace;
}

void TGvColumn::SetColor(gcl::TColor Value) {
    if (auto* info = dynamic_cast<TGvPaintInfoBaseColumn*>(PaintInfo())) info->SetColor(Value);
}

void TGvColumn::SetPosition(int Value) {
    TGvCollection* columns = GetCollection();
    const int count = columns ? columns->GetCount() : 1;
    Value = std::clamp(Value, 0, std::max(count - 1, 0));
    if (count <= 1) {
        FPosition = 0;
        return;
    }
    TCustomGvListview* lv = OwnerListview();
    if (lv && lv->GetHeader()) lv->GetHeader()->RenumberPositions();
    const int oldPosition = FPosition;
    for (int i = 0; i < count; ++i) {
        auto* column = static_cast<TGvColumn*>(columns->GetItems(i));
        if (Value <= oldPosition) {
            if (column->FPosition >= Value && column->FPosition <= oldPosition) ++column->FPosition;
        } else if (column->FPosition >= oldPosition && column->FPosition <= Value) {
            --column->FPosition;
        }
    }
    FPosition = Value;
    if (lv && lv->GetHeader()) {
        lv->GetHeader()->RenumberPositions();
        lv->GetHeader()->Rebuild(false);
        lv->GetHeader()->Invalidate(false);
    }
}

void TGvColumn::SetSortDirection(TGvSortDirection Value) {
    if (Value == FSortDirection) return;
    FSortDirection = Value;
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return;
    if (lv->GetHeader()) lv->GetHeader()->Invalidate(false);
    if (Value != esdNone) {
        if (lv->GetSelection()) lv->GetSelection()->SetFocusedColumn(this);
        if (lv->GetSort() && lv->GetSort()->GetAutoSort()) lv->GetSort()->SortAll(false);
    }
}

void TGvColumn::SetWidth(int Value) {
    if (Value < 0) Value = 0;
    if (Value == FWidth) return;
    FWidth = Value;
    TCustomGvListview* lv = OwnerListview();
    if (!lv || !lv->GetHeader()) return;
    lv->GetHeader()->Rebuild(false);
    if (lv->GetView() == elsReport && lv->GetScrollbars()) {
        TRect r = lv->GetScrollbars()->GetViewRect();
        r.Right = lv->GetHeader()->GetHeaderRect().Right;
        lv->GetScrollbars()->SetViewRect(r, true);
    }
}

void TGvColumn::Invalidate(bool ImmediateUpdate) {
    TCustomGvListview* lv = OwnerListview();
    // Inside an update bracket the layout that ends it repaints the bar.
    if (lv && lv->GetHeader()) lv->GetHeader()->ForgetPainted();
    if (!lv || lv->GetUpdateCount() > 0 || !lv->HandleAllocated() || !lv->GetHeader()) return;
    TRect strip{0, 0, ClientRectOf(lv).Width(), lv->GetHeader()->GetHeight()};
    lv->SafeInvalidateRect(&strip, ImmediateUpdate);
}

void TGvColumn::MakeVisible(TGvMakeVisiblePos Position) {
    TCustomGvListview* lv = OwnerListview();
    if (!GetVisible() || !lv || !lv->GetScrollbars()) return;
    TGvScrollbarManager* bars = lv->GetScrollbars();
    const int visibleWidth = ClientRectOf(lv).Width();
    const int left = bars->GetOffsetX();
    const TRect r = GetDisplayRect();
    if (r.Left >= left && r.Right <= left + visibleWidth) return;
    switch (Position) {
    case emvMiddle:
        if (visibleWidth > r.Width())
            bars->SetOffsetX(r.Left - (visibleWidth - r.Width()) / 2);
        else
            bars->SetOffsetX(r.Left);
        break;
    default:
        // The column's left edge becomes the view's left edge, whichever
        // side the column lies off.
        bars->SetOffsetX(r.Left);
        break;
    }
}

gcl::TCustomImageList* TGvColumn::DefaultImageList(int) const {
    TCustomGvListview* lv = OwnerListview();
    return lv && lv->GetHeader() ? lv->GetHeader()->GetImages() : nullptr;
}

void TGvColumn::LoadFromStream(TStream& S, int& Version) {
    inherited::LoadFromStream(S, Version);
    FAlignment = ReadEnum(S, taLeftJustify);
    FAutoSizeOnDblClk = ReadByte(S) != 0;
    if (Version > 1) FAutoSortOnClick = ReadByte(S) != 0;
    FAutoSpring = ReadByte(S) != 0;
    FAutoToggleSortGlyph = ReadByte(S) != 0;
    FPosition = ReadInt32(S);
    FSortDirection = ReadEnum(S, esdNone);
    FStreamByte = ReadByte(S);
    FClickable = ReadByte(S) != 0;
    FWidth = ReadInt32(S);
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnLoadFromStream(this, S, Version);
}

void TGvColumn::SaveToStream(TStream& S, int Version) {
    inherited::SaveToStream(S, Version);
    WriteByte(S, static_cast<uint8_t>(FAlignment));
    WriteByte(S, FAutoSizeOnDblClk ? 1 : 0);
    WriteByte(S, FAutoSortOnClick ? 1 : 0);
    WriteByte(S, FAutoSpring ? 1 : 0);
    WriteByte(S, FAutoToggleSortGlyph ? 1 : 0);
    WriteInt32(S, FPosition);
    WriteByte(S, static_cast<uint8_t>(FSortDirection));
    WriteByte(S, FStreamByte);
    WriteByte(S, FClickable ? 1 : 0);
    WriteInt32(S, FWidth);
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSaveToStream(this, S, Version);
}

bool TGvColumn::CanChangeCheck() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnCheckChanging(this, allow);
    return allow;
}

bool TGvColumn::CanChangeEnable() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnEnableChanging(this, allow);
    return allow;
}

bool TGvColumn::CanChangeFocus() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnFocusChanging(this, allow);
    return allow;
}

bool TGvColumn::CanChangeSelection() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSelectionChanging(this, allow);
    return allow;
}

bool TGvColumn::CanChangeVisibility() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnVisibilityChanging(this, allow);
    return allow;
}

TGvPaintInfoBasic* TGvColumn::DefaultPaintInfo() const {
    TCustomGvListview* lv = OwnerListview();
    return lv ? lv->GetPaintInfoColumn() : nullptr;
}

void TGvColumn::Freeing() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnFreeing(this);
}

void TGvColumn::CheckGain() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnCheckChanged(this);
}
void TGvColumn::CheckLose() { CheckGain(); }
void TGvColumn::EnableGain() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnEnableChanged(this);
}
void TGvColumn::EnableLose() { EnableGain(); }
void TGvColumn::FocusGain() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnFocusChanged(this);
}
void TGvColumn::FocusLose() { FocusGain(); }
void TGvColumn::SelectionGain() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSelectionChanged(this);
}
void TGvColumn::SelectionLose() { SelectionGain(); }
void TGvColumn::Initialize() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnInitialize(this);
}

void TGvColumn::VisibilityChanged() {
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return;
    TListviewUpdate update(lv, false);
    lv->DoColumnVisibilityChanged(this);
}
void TGvColumn::VisibilityGain() { VisibilityChanged(); }
void TGvColumn::VisibilityLose() { VisibilityChanged(); }

void TGvColumn::BeforeDestruction() noexcept {
    SetStateBit(esosDestroying, true);
    if (TCustomGvListview* lv = OwnerListview()) {
        if (TGvSelectionManager* selection = lv->GetSelection())
            if (selection->FFocusedColumn == this) selection->FFocusedColumn = nullptr;
        if (TGvHeader* header = lv->GetHeader()) {
            auto& positions = header->FPositions;
            positions.erase(std::remove(positions.begin(), positions.end(), this), positions.end());
        }
    }
    inherited::BeforeDestruction();
}

// ---- Column kinds ----------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvColumnInterfaced)
GCL_IMPLEMENT_CLASS(TGvColumnVirtual)

GCL_PUBLISHED(TGvColumnStored,
    GCL_PROP(Alignment).Default(taLeftJustify),
    GCL_PROP(AutoSizeOnDblClk).Default(true),
    GCL_PROP(AutoSortOnClick).Default(false),
    GCL_PROP(AutoSpring).Default(false),
    GCL_PROP(AutoToggleSortGlyph).Default(true),
    GCL_PROP(Bold).Default(false),
    GCL_PROP(Caption),
    GCL_PROP(Checked).Default(false),
    GCL_PROP(Clickable).Default(true),
    GCL_PROP(Color).Idents(gcl::ColorIdents),
    GCL_PROP_RO(DropDownButton),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(ImageIndex).Default(-1),
    GCL_PROP(ImageOverlayIndex).Default(-1),
    GCL_PROP(Position),
    GCL_PROP(Selected).Default(false),
    GCL_PROP(SortDirection).Default(esdNone),
    GCL_PROP(Width).Default(50),
    GCL_PROP(Visible).Default(true))

std::wstring TGvColumnInterfaced::GetCaptions(int Column) const { return InterfacedCaption(this, Column); }
void TGvColumnInterfaced::SetCaptions(int Column, const std::wstring& Value) {
    InterfacedSetCaption(this, Column, Value);
}
int TGvColumnInterfaced::GetImageIndexes(int Column) const { return InterfacedImage(this, Column, eikNormal); }
void TGvColumnInterfaced::SetImageIndexes(int Column, int Value) { InterfacedSetImage(this, Column, eikNormal, Value); }
int TGvColumnInterfaced::GetImageOverlayIndexes(int Column) const { return InterfacedImage(this, Column, eikOverlay); }
void TGvColumnInterfaced::SetImageOverlayIndexes(int Column, int Value) {
    InterfacedSetImage(this, Column, eikOverlay, Value);
}
bool TGvColumnInterfaced::ImageDrawIsCustom(TGvColumn* Column) { return InterfacedImageDrawIsCustom(this, Column); }
void TGvColumnInterfaced::ImageGetSize(TGvColumn* Column, int& ImageWidth, int& ImageHeight) {
    InterfacedImageGetSize(this, Column, ImageWidth, ImageHeight);
}
void TGvColumnInterfaced::ImageDraw(TGvColumn* Column, gcl::TCanvas* ACanvas, const TGvRectArrayObject& RectArray,
                      TGvAlphaBlender* AlphaBlender) {
    InterfacedImageDraw(this, Column, ACanvas, RectArray, AlphaBlender);
}

gcl::TCustomImageList* TGvColumnInterfaced::GetImageList(int Column) const {
    return InterfacedImageList(this, Column, DefaultImageList(0));
}
int TGvColumnInterfaced::GetDetailCount() const { return InterfacedDetailCount(this); }
void TGvColumnInterfaced::SetDetailCount(int Value) { InterfacedSetDetailCount(this, Value); }
int TGvColumnInterfaced::GetDetails(int Line) const { return InterfacedDetail(this, Line); }
void TGvColumnInterfaced::SetDetails(int Line, int Value) { InterfacedSetDetail(this, Line, Value); }

TGvColumnStored::TGvColumnStored(TGvCollection* ACollection)
    : TGvColumn(ACollection), FDataHelper(std::make_unique<TGvDynamicDataHelper>()) {}

std::wstring TGvColumnStored::GetCaptions(int Column) const { return FDataHelper->GetCaption(Column); }
void TGvColumnStored::SetCaptions(int Column, const std::wstring& Value) {
    FDataHelper->SetCaption(Column, Value);
    Invalidate(false);
}
int TGvColumnStored::GetImageIndexes(int Column) const { return FDataHelper->GetImageIndex(Column); }
void TGvColumnStored::SetImageIndexes(int Column, int Value) {
    FDataHelper->SetImageIndex(Column, Value);
    Invalidate(false);
}
int TGvColumnStored::GetImageOverlayIndexes(int Column) const { return FDataHelper->GetOverlayIndex(Column); }
void TGvColumnStored::SetImageOverlayIndexes(int Column, int Value) {
    FDataHelper->SetOverlayIndex(Column, Value);
    Invalidate(false);
}
int TGvColumnStored::GetDetailCount() const {
    TCustomGvListview* lv = OwnerListview();
    return lv && lv->GetPaintInfoColumn() ? lv->GetPaintInfoColumn()->GetCaptionLines() : 0;
}
void TGvColumnStored::SetDetailCount(int Value) {
    TCustomGvListview* lv = OwnerListview();
    if (lv && lv->GetPaintInfoColumn()) lv->GetPaintInfoColumn()->SetCaptionLines(Value);
}
int TGvColumnStored::GetDetails(int Line) const { return FDataHelper->GetDetail(Line); }
void TGvColumnStored::SetDetails(int Line, int Value) {
    FDataHelper->SetDetail(Line, Value);
    Invalidate(false);
}

void TGvColumnStored::LoadFromStream(TStream& S, int& Version) {
    inherited::LoadFromStream(S, Version);
    FDataHelper->LoadFromStream(S, Version);
}

void TGvColumnStored::SaveToStream(TStream& S, int Version) {
    inherited::SaveToStream(S, Version);
    FDataHelper->SaveToStream(S, Version);
}

std::wstring TGvColumnVirtual::GetCaptions(int Column) const {
    std::wstring caption;
    if (TCustomGvListview* lv = OwnerListview())
        lv->DoColumnGetCaption(const_cast<TGvColumnVirtual*>(this), Column, caption);
    return caption;
}
void TGvColumnVirtual::SetCaptions(int, const std::wstring& Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSetCaption(this, Value);
    Invalidate(false);
}
int TGvColumnVirtual::GetImageIndexes(int) const {
    int index = -1;
    if (TCustomGvListview* lv = OwnerListview())
        lv->DoColumnGetImageIndex(const_cast<TGvColumnVirtual*>(this), eikNormal, index);
    return index;
}
int TGvColumnVirtual::GetImageOverlayIndexes(int) const {
    int index = -1;
    if (TCustomGvListview* lv = OwnerListview())
        lv->DoColumnGetImageIndex(const_cast<TGvColumnVirtual*>(this), eikOverlay, index);
    return index;
}
void TGvColumnVirtual::SetImageIndexes(int, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSetImageIndex(this, eikNormal, Value);
    Invalidate(false);
}
void TGvColumnVirtual::SetImageOverlayIndexes(int, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSetImageIndex(this, eikOverlay, Value);
    Invalidate(false);
}
gcl::TCustomImageList* TGvColumnVirtual::GetImageList(int) const {
    gcl::TCustomImageList* list = nullptr;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnGetImageList(const_cast<TGvColumnVirtual*>(this), list);
    return list ? list : DefaultImageList(0);
}
int TGvColumnVirtual::GetDetailCount() const {
    int count = 0;
    if (TCustomGvListview* lv = OwnerListview())
        lv->DoColumnGetDetailCount(const_cast<TGvColumnVirtual*>(this), count);
    return count;
}
void TGvColumnVirtual::SetDetailCount(int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSetDetailCount(this, Value);
}
int TGvColumnVirtual::GetDetails(int Line) const {
    int detail = 0;
    if (TCustomGvListview* lv = OwnerListview())
        lv->DoColumnGetDetail(const_cast<TGvColumnVirtual*>(this), Line, detail);
    return detail;
}
void TGvColumnVirtual::SetDetails(int Line, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSetDetail(this, Line, Value);
    Invalidate(false);
}

} // namespace qelvo
