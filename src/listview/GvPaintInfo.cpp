// Group margins and paint infos.
#include "listview/GvInternal.h"

namespace qelvo {

using namespace gvdetail;

// ---- Margins ---------------------------------------------------------------------------

GCL_PUBLISHED(TGvMargin,
    GCL_PROP(Size).Default(30),
    GCL_PROP(Visible).Default(false))

GCL_PUBLISHED(TGvHeaderMargin,
    GCL_PROP(Visible).Default(true))

GCL_IMPLEMENT_CLASS(TCustomGvFooterMargin)

GCL_PUBLISHED(TGvFooterMargin,
    GCL_PROP(Alignment).Default(taLeftJustify),
    GCL_PROP(Caption),
    GCL_PROP(CaptionIndent).Default(2),
    GCL_PROP(CaptionLines).Default(1),
    GCL_PROP(ImageIndent).Default(2),
    GCL_PROP(ImageIndex).Default(-1),
    GCL_PROP(ImageOverlayIndex).Default(-1),
    GCL_PROP(VAlignment).Default(cvaCenter))

void TGvMargin::Assign(gcl::TPersistent* Source) {
    if (auto* margin = dynamic_cast<TGvMargin*>(Source)) {
        SetSize(margin->FSize);
        SetVisible(margin->FVisible);
        return;
    }
    inherited::Assign(Source);
}

void TGvMargin::SetSize(int Value) {
    if (Value < 0) Value = 0;
    if (Value == FSize) return;
    FSize = Value;
    RebuildGroupsOf(FOwnerListview);
}

void TGvMargin::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    RebuildGroupsOf(FOwnerListview);
}

int TGvMargin::RuntimeSize() const {
    return FVisible && FOwnerListview && FOwnerListview->GetShowGroupMargins() ? FSize : 0;
}

void TCustomGvFooterMargin::Assign(gcl::TPersistent* Source) {
    inherited::Assign(Source);
    if (auto* footer = dynamic_cast<TCustomGvFooterMargin*>(Source)) SetCaption(footer->FCaption);
}

void TCustomGvFooterMargin::Repaint() { RepaintListview(FOwnerListview); }

void TCustomGvFooterMargin::SetCaption(const std::wstring& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    RebuildGroupsOf(FOwnerListview);
}

void TCustomGvFooterMargin::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    RebuildGroupsOf(FOwnerListview);
}

#define GV_REPAINT_SETTER(Class, Name, Type) \
    void Class::Set##Name(Type Value) {      \
        if (Value == F##Name) return;        \
        F##Name = Value;                     \
        Repaint();                           \
    }

GV_REPAINT_SETTER(TCustomGvFooterMargin, ImageIndex, int)
GV_REPAINT_SETTER(TCustomGvFooterMargin, ImageOverlayIndex, int)
GV_REPAINT_SETTER(TCustomGvFooterMargin, CaptionIndent, int)
GV_REPAINT_SETTER(TCustomGvFooterMargin, CaptionLines, int)
GV_REPAINT_SETTER(TCustomGvFooterMargin, ImageIndent, int)
GV_REPAINT_SETTER(TCustomGvFooterMargin, VAlignment, TCommonVAlignment)

// ---- Paint info ----------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvPaintInfoBasic)
GCL_IMPLEMENT_CLASS(TGvPaintInfoBaseItem)
GCL_IMPLEMENT_CLASS(TGvPaintInfoBaseColumn)
GCL_IMPLEMENT_CLASS(TCustomGvPaintInfoBaseColumn)
GCL_IMPLEMENT_CLASS(TGvPaintInfoBaseGroup)

GCL_PUBLISHED(TGvPaintInfoItem,
    GCL_PROP(Border).Default(4),
    GCL_PROP(BorderColor).Default(gcl::clHighlight).Idents(gcl::ColorIdents),
    GCL_PROP(CaptionIndent).Default(4),
    GCL_PROP(CaptionLines).Default(1),
    GCL_PROP(CheckFlat).Default(false),
    GCL_PROP(CheckIndent).Default(2),
    GCL_PROP(CheckSize).Default(12),
    GCL_PROP(CheckType).Default(ectNone),
    GCL_PROP(GridLineColor).Default(gcl::clBtnFace).Idents(gcl::ColorIdents),
    GCL_PROP(GridLines).Default(false),
    GCL_PROP(HideCaption).Default(false),
    GCL_PROP(ImageIndent).Default(2),
    GCL_PROP(ShowBorder).Default(true),
    GCL_PROP(TileDetailCount).Default(1),
    GCL_PROP(VAlignment).Default(cvaCenter))

GCL_PUBLISHED(TGvPaintInfoColumn,
    GCL_PROP(Border).Default(4),
    GCL_PROP(BorderColor).Default(gcl::clHighlight).Idents(gcl::ColorIdents),
    GCL_PROP(CaptionIndent).Default(4),
    GCL_PROP(CaptionLines).Default(1),
    GCL_PROP(CheckFlat).Default(false),
    GCL_PROP(CheckIndent).Default(2),
    GCL_PROP(CheckSize).Default(12),
    GCL_PROP(CheckType).Default(ectNone),
    GCL_PROP(Color).Default(gcl::clBtnFace).Idents(gcl::ColorIdents),
    GCL_PROP(HilightFocused).Default(false),
    GCL_PROP(HilightFocusedColor).Default(0xF7F7F7).Idents(gcl::ColorIdents),
    GCL_PROP(HotTrack).Default(true),
    GCL_PROP(ImageIndent).Default(2),
    GCL_PROP(ImagePosition).Default(ehpLeft),
    GCL_PROP(SortGlyphAlign).Default(esgaRight),
    GCL_PROP(SortGlyphIndent).Default(2),
    GCL_PROP(Style).Default(ehbsThick),
    GCL_PROP(VAlignment).Default(cvaCenter))

GCL_PUBLISHED(TGvPaintInfoGroup,
    GCL_PROP(Alignment).Default(taLeftJustify),
    GCL_PROP(BandBlended).Default(true),
    GCL_PROP(BandColor).Default(gcl::clBlue).Idents(gcl::ColorIdents),
    GCL_PROP(BandColorFade).Default(gcl::clWindow).Idents(gcl::ColorIdents),
    GCL_PROP(BandEnabled).Default(true),
    GCL_PROP(BandFullWidth).Default(false),
    GCL_PROP(BandIndent).Default(0),
    GCL_PROP(BandLength).Default(300),
    GCL_PROP(BandMargin).Default(2),
    GCL_PROP(BandRadius).Default(4),
    GCL_PROP(BandThickness).Default(3),
    GCL_PROP(Border).Default(4),
    GCL_PROP(BorderColor).Default(gcl::clHighlight).Idents(gcl::ColorIdents),
    GCL_PROP(CaptionIndent).Default(4),
    GCL_PROP(CaptionLines).Default(1),
    GCL_PROP(CheckFlat).Default(false),
    GCL_PROP(CheckIndent).Default(2),
    GCL_PROP(CheckSize).Default(12),
    GCL_PROP(CheckType).Default(ectNone),
    GCL_PROP(Expandable).Default(true),
    GCL_PROP(ExpandImageIndent).Default(4),
    GCL_PROP(ImageIndent).Default(2),
    GCL_PROP(MarginBottom),
    GCL_PROP(MarginLeft),
    GCL_PROP(MarginRight),
    GCL_PROP(MarginTop),
    GCL_PROP(VAlignment).Default(cvaCenter))

void TGvPaintInfoBasic::Repaint() { RepaintListview(FOwnerListview); }

void TGvPaintInfoBasic::Assign(gcl::TPersistent* Source) {
    auto* source = dynamic_cast<TGvPaintInfoBasic*>(Source);
    if (!source) return inherited::Assign(Source);
    FAlignment = source->FAlignment;
    FBorder = source->FBorder;
    FBorderColor = source->FBorderColor;
    FCaptionIndent = source->FCaptionIndent;
    FCaptionLines = source->FCaptionLines;
    FCheckFlat = source->FCheckFlat;
    FCheckIndent = source->FCheckIndent;
    FCheckSize = source->FCheckSize;
    FCheckType = source->FCheckType;
    FImageIndent = source->FImageIndent;
    FVAlignment = source->FVAlignment;
    Repaint();
}

GV_REPAINT_SETTER(TGvPaintInfoBasic, Alignment, TAlignment)
GV_REPAINT_SETTER(TGvPaintInfoBasic, Border, int)
GV_REPAINT_SETTER(TGvPaintInfoBasic, BorderColor, gcl::TColor)
GV_REPAINT_SETTER(TGvPaintInfoBasic, CaptionIndent, int)
GV_REPAINT_SETTER(TGvPaintInfoBasic, CaptionLines, int)
GV_REPAINT_SETTER(TGvPaintInfoBasic, CheckFlat, bool)
GV_REPAINT_SETTER(TGvPaintInfoBasic, CheckIndent, int)
GV_REPAINT_SETTER(TGvPaintInfoBasic, CheckSize, int)
GV_REPAINT_SETTER(TGvPaintInfoBasic, CheckType, TGvCheckType)
GV_REPAINT_SETTER(TGvPaintInfoBasic, ImageIndent, int)
GV_REPAINT_SETTER(TGvPaintInfoBasic, VAlignment, TCommonVAlignment)

void TGvPaintInfoBaseItem::Assign(gcl::TPersistent* Source) {
    if (auto* source = dynamic_cast<TGvPaintInfoBaseItem*>(Source)) {
        FGridLineColor = source->FGridLineColor;
        FGridLines = source->FGridLines;
        FHideCaption = source->FHideCaption;
        FTileDetailCount = source->FTileDetailCount;
    }
    inherited::Assign(Source);
}

GV_REPAINT_SETTER(TGvPaintInfoBaseItem, GridLineColor, gcl::TColor)
GV_REPAINT_SETTER(TGvPaintInfoBaseItem, GridLines, bool)
GV_REPAINT_SETTER(TGvPaintInfoBaseItem, HideCaption, bool)
GV_REPAINT_SETTER(TGvPaintInfoBaseItem, TileDetailCount, int)

void TGvPaintInfoBaseColumn::Assign(gcl::TPersistent* Source) {
    if (auto* source = dynamic_cast<TGvPaintInfoBaseColumn*>(Source)) {
        FColor = source->FColor;
        FHilightFocused = source->FHilightFocused;
        FHilightFocusedColor = source->FHilightFocusedColor;
        FHotTrack = source->FHotTrack;
        FImagePosition = source->FImagePosition;
        FSortGlyphAlign = source->FSortGlyphAlign;
        FSortGlyphIndent = source->FSortGlyphIndent;
        FStyle = source->FStyle;
    }
    inherited::Assign(Source);
}

void TGvPaintInfoBaseColumn::RepaintHeader() {
    if (FOwnerListview && FOwnerListview->GetHeader()) FOwnerListview->GetHeader()->Invalidate(false);
}

#define GV_HEADER_SETTER(Name, Type)                              \
    void TGvPaintInfoBaseColumn::Set##Name(Type Value) {          \
        if (Value == F##Name) return;                             \
        F##Name = Value;                                          \
        RepaintHeader();                                          \
    }
GV_HEADER_SETTER(Color, gcl::TColor)
GV_HEADER_SETTER(ImagePosition, TGvHeaderImagePosition)
GV_HEADER_SETTER(SortGlyphAlign, TGvSortGlyphAlign)
GV_HEADER_SETTER(SortGlyphIndent, int)
GV_HEADER_SETTER(Style, TGvHeaderButtonStyle)
#undef GV_HEADER_SETTER

GV_REPAINT_SETTER(TGvPaintInfoBaseColumn, HilightFocused, bool)
GV_REPAINT_SETTER(TGvPaintInfoBaseColumn, HilightFocusedColor, gcl::TColor)

TGvPaintInfoBaseGroup::TGvPaintInfoBaseGroup(TCustomGvListview* AOwner)
    : TGvPaintInfoBasic(AOwner),
      FMarginBottom(TGvFooterMargin::Create(AOwner)),
      FMarginLeft(TGvMargin::Create(AOwner)),
      FMarginRight(TGvMargin::Create(AOwner)),
      FMarginTop(TGvHeaderMargin::Create(AOwner)) {}

TGvPaintInfoBaseGroup::~TGvPaintInfoBaseGroup() {
    gcl::Free(FMarginBottom);
    gcl::Free(FMarginLeft);
    gcl::Free(FMarginRight);
    gcl::Free(FMarginTop);
}

void TGvPaintInfoBaseGroup::Assign(gcl::TPersistent* Source) {
    if (auto* source = dynamic_cast<TGvPaintInfoBaseGroup*>(Source)) {
        FBandBlended = source->FBandBlended;
        FBandColor = source->FBandColor;
        FBandColorFade = source->FBandColorFade;
        FBandEnabled = source->FBandEnabled;
        FBandFullWidth = source->FBandFullWidth;
        FBandIndent = source->FBandIndent;
        FBandLength = source->FBandLength;
        FBandMargin = source->FBandMargin;
        FBandRadius = source->FBandRadius;
        FBandThickness = source->FBandThickness;
        FExpandable = source->FExpandable;
        FExpandImageIndent = source->FExpandImageIndent;
        FMarginBottom->Assign(source->FMarginBottom);
        FMarginLeft->Assign(source->FMarginLeft);
        FMarginRight->Assign(source->FMarginRight);
        FMarginTop->Assign(source->FMarginTop);
    }
    inherited::Assign(Source);
}

GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandBlended, bool)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandColor, gcl::TColor)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandColorFade, gcl::TColor)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandEnabled, bool)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandFullWidth, bool)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandIndent, int)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandLength, int)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandMargin, int)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandRadius, uint8_t)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandThickness, int)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, ExpandImageIndent, int)

void TGvPaintInfoBaseGroup::SetExpandable(bool Value) {
    if (Value == FExpandable) return;
    if (!Value && FOwnerListview && FOwnerListview->GetGroups()) FOwnerListview->GetGroups()->ExpandAll();
    FExpandable = Value;
    Repaint();
}

#define GV_MARGIN_SETTER(Name, Type)                          \
    void TGvPaintInfoBaseGroup::Set##Name(Type* Value) {      \
        if (Value == F##Name) return;                         \
        gcl::Free(F##Name);                                   \
        F##Name = Value;                                      \
    }
GV_MARGIN_SETTER(MarginBottom, TGvFooterMargin)
GV_MARGIN_SETTER(MarginLeft, TGvMargin)
GV_MARGIN_SETTER(MarginRight, TGvMargin)
GV_MARGIN_SETTER(MarginTop, TGvHeaderMargin)
#undef GV_MARGIN_SETTER

// ---- Data holders ---------------------------------------------------------------------

} // namespace qelvo
