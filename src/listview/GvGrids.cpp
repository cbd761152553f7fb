// Cell sizes of the eight view styles.
#include "listview/GvInternal.h"

namespace qelvo {

using namespace gvdetail;

// ---- Cell sizes ----------------------------------------------------------------------------

GCL_PUBLISHED(TGvCellSize,
    GCL_PROP(AutoSize).Default(false),
    GCL_PROP(Height).Default(75),
    GCL_PROP(Width).Default(75))
GCL_IMPLEMENT_CLASS(TGvCellSizeIcon)
GCL_PUBLISHED(TGvCellSizeSmallIcon, GCL_PROP(Height).Default(17), GCL_PROP(Width).Default(200))
GCL_PUBLISHED(TGvCellSizeList, GCL_PROP(Height).Default(17), GCL_PROP(Width).Default(200))
GCL_PUBLISHED(TGvCellSizeReport, GCL_PROP(Height).Default(17), GCL_PROP(Width).Default(75))
GCL_PUBLISHED(TGvCellSizeThumbnail, GCL_PROP(Height).Default(143), GCL_PROP(Width).Default(125))
GCL_PUBLISHED(TGvCellSizeTile, GCL_PROP(Height).Default(58), GCL_PROP(Width).Default(218))
GCL_IMPLEMENT_CLASS(TGvCellSizeFilmStrip)
GCL_IMPLEMENT_CLASS(TGvCellGrid)

void TGvCellSize::Assign(gcl::TPersistent* Source) {
    if (auto* source = dynamic_cast<TGvCellSize*>(Source)) {
        FHeight = source->GetHeight();
        FWidth = source->GetWidth();
        return;
    }
    inherited::Assign(Source);
}

int TGvCellSize::GetHeight() const noexcept { return FAutoSize ? FAutoHeight : std::max(FHeight, 1); }
int TGvCellSize::GetWidth() const noexcept { return FAutoSize ? FAutoWidth : std::max(FWidth, 1); }

void TGvCellSize::SetHeight(int Value) { SetSize(FAutoSize ? FAutoWidth : FWidth, Value); }
void TGvCellSize::SetWidth(int Value) { SetSize(Value, FAutoSize ? FAutoHeight : FHeight); }

void TGvCellSize::SetSize(int Width, int Height) {
    Width = std::max(Width, 0);
    Height = std::max(Height, 0);
    if (FAutoSize) {
        if (Width == FWidth && Height == FHeight) return;
        FAutoWidth = Width;
        FAutoHeight = Height;
        return;
    }
    FWidth = Width;
    FHeight = Height;
    RebuildGroupsOf(FOwnerListview);
}

void TGvCellSize::SetAutoSize(bool Value) {
    if (Value == FAutoSize) return;
    FAutoSize = Value;
    if (!Value) {
        FAutoWidth = FWidth;
        FAutoHeight = FHeight;
    }
    RebuildGroupsOf(FOwnerListview);
}

GCL_PUBLISHED(TGvCellSizes,
    GCL_PROP_RO(FilmStrip),
    GCL_PROP_RO(Icon),
    GCL_PROP_RO(SmallIcon),
    GCL_PROP_RO(Grid),
    GCL_PROP_RO(Thumbnail),
    GCL_PROP_RO(Tile),
    GCL_PROP_RO(List),
    GCL_PROP_RO(Report))

TGvCellSizes::TGvCellSizes(TCustomGvListview* AOwner)
    : TGvOwnedPersistent(AOwner),
      FIcon(TGvCellSizeIcon::Create(AOwner)),
      FSmallIcon(TGvCellSizeSmallIcon::Create(AOwner)),
      FThumbnail(TGvCellSizeThumbnail::Create(AOwner)),
      FTile(TGvCellSizeTile::Create(AOwner)),
      FList(TGvCellSizeList::Create(AOwner)),
      FReport(TGvCellSizeReport::Create(AOwner)),
      FFilmStrip(TGvCellSizeFilmStrip::Create(AOwner)),
      FGrid(TGvCellGrid::Create(AOwner)) {}

TGvCellSizes::~TGvCellSizes() {
    for (TGvCellSize* size : {FIcon, FSmallIcon, FThumbnail, FTile, FList, FReport, FFilmStrip, FGrid}) gcl::Free(size);
}

TGvCellSize* TGvCellSizes::ForView(TGvListStyle View) const {
    switch (View) {
    case elsIcon:
        return FIcon;
    case elsSmallIcon:
        return FSmallIcon;
    case elsList:
        return FList;
    case elsReport:
        return FReport;
    case elsThumbnail:
        return FThumbnail;
    case elsTile:
        return FTile;
    case elsFilmStrip:
        return FFilmStrip;
    case elsGrid:
        return FGrid;
    }
    return FIcon;
}

} // namespace qelvo
