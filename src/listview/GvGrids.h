// Cell sizes of the eight view styles.
#pragma once

#include "listview/GvSearch.h"

#include "gcl/rtl/SlotPool.h"

namespace qelvo {

// One cell size; Width and Height read the auto pair under AutoSize, else
// the fixed pair (at least 1 in both modes).
class TGvCellSize : public TGvOwnedPersistent {
    GCL_CLASS(TGvCellSize, TGvOwnedPersistent)
public:
    explicit TGvCellSize(TCustomGvListview* AOwner) : TGvCellSize(AOwner, 75, 75) {}
    void Assign(gcl::TPersistent* Source) override;
    bool GetAutoSize() const noexcept { return FAutoSize; }
    void SetAutoSize(bool Value);
    int GetHeight() const noexcept;
    void SetHeight(int Value);
    int GetWidth() const noexcept;
    void SetWidth(int Value);
    void SetSize(int Width, int Height);
    int GetAutoWidth() const noexcept { return FAutoWidth; }
    void SetAutoWidth(int Value) noexcept { FAutoWidth = Value; }

protected:
    TGvCellSize(TCustomGvListview* AOwner, int Width, int Height)
        : TGvOwnedPersistent(AOwner), FAutoHeight(Height), FAutoWidth(Width), FHeight(Height), FWidth(Width) {}

private:
    bool FAutoSize = false;
    int FAutoHeight;
    int FAutoWidth;
    int FHeight;
    int FWidth;
};

#define GV_CELL_SIZE(Class, Base, W, H)                                                   \
    class Class : public Base {                                                           \
        GCL_CLASS(Class, Base)                                                            \
    public:                                                                               \
        explicit Class(TCustomGvListview* AOwner) : Base(AOwner, W, H) {}                 \
                                                                                          \
    protected:                                                                            \
        Class(TCustomGvListview* AOwner, int Width, int Height) : Base(AOwner, Width, Height) {} \
    };
GV_CELL_SIZE(TGvCellSizeIcon, TGvCellSize, 75, 75)
GV_CELL_SIZE(TGvCellSizeSmallIcon, TGvCellSize, 200, 17)
GV_CELL_SIZE(TGvCellSizeList, TGvCellSize, 200, 17)
GV_CELL_SIZE(TGvCellSizeReport, TGvCellSize, 75, 17)
GV_CELL_SIZE(TGvCellSizeThumbnail, TGvCellSize, 125, 143)
GV_CELL_SIZE(TGvCellSizeTile, TGvCellSize, 218, 58)
GV_CELL_SIZE(TGvCellSizeFilmStrip, TGvCellSizeThumbnail, 125, 143)
GV_CELL_SIZE(TGvCellGrid, TGvCellSizeReport, 75, 17)
#undef GV_CELL_SIZE

class TGvCellSizes : public TGvOwnedPersistent {
    GCL_CLASS(TGvCellSizes, TGvOwnedPersistent)
public:
    explicit TGvCellSizes(TCustomGvListview* AOwner);
    ~TGvCellSizes() override;
    TGvCellSize* GetFilmStrip() const noexcept { return FFilmStrip; }
    TGvCellSize* GetIcon() const noexcept { return FIcon; }
    TGvCellSize* GetSmallIcon() const noexcept { return FSmallIcon; }
    TGvCellSize* GetGrid() const noexcept { return FGrid; }
    TGvCellSize* GetThumbnail() const noexcept { return FThumbnail; }
    TGvCellSize* GetTile() const noexcept { return FTile; }
    TGvCellSize* GetList() const noexcept { return FList; }
    TGvCellSize* GetReport() const noexcept { return FReport; }
    // The cell size of a view style.
    TGvCellSize* ForView(TGvListStyle View) const;

private:
    TGvCellSize* FIcon;
    TGvCellSize* FSmallIcon;
    TGvCellSize* FThumbnail;
    TGvCellSize* FTile;
    TGvCellSize* FList;
    TGvCellSize* FReport;
    TGvCellSize* FFilmStrip;
    TGvCellSize* FGrid;
};

// ---- Grid layouts --------------------------------------------------------------------------

// Places the items of one group in cells of its view's cell size: their
// display rectangles, the group's rectangle, its visible-item list and the
// running visible index; and answers the neighbour of an item for the
// arrow and page keys. The base lays items out in rows (icon-like views).
class TGvGridGroup : public TGvOwnedPersistent {
    GCL_CLASS_META(TGvGridGroup, TGvOwnedPersistent, TGvGridGroupMetaClass)
public:
    // One per group: in the small-block pools, as the groups.
    static void* operator new(std::size_t Size) { return gcl::SmallSlots().Take(Size); }
    static void operator delete(void* P, std::size_t Size) noexcept { gcl::SmallSlots().Give(P, Size); }
    TGvGridGroup(TCustomGvListview* AOwner, TGvGroup* AGroup) : TGvOwnedPersistent(AOwner), FOwnerGroup(AGroup) {}

    virtual TGvItem* AdjacentItem(TGvItem* Item, TGvAdjacentDirection Direction);
    // The list view's cell size of the grid's view style.
    virtual TGvCellSize* CellSize() const;
    virtual int CalcColumnCount(TGvGroup* Group, int Width) const;
    virtual int StaticTopItemMargin() const { return 0; }
    virtual int StaticTopMargin() const { return 0; }
    // Under AutoSize: the auto width from the longest visible caption.
    virtual void PrepareLayout();
    void SetCellSize(TGvCellSize* Value);
    // The group and the insert index at a point (-1 without an item there).
    virtual void FindInsertPosition(gcl::TPoint ViewPoint, TGvGroup*& Group, int& Index);
    virtual void Rebuild(TGvGroup* PrevGroup, int& NextVisibleIndex);
    // The view style whose cell size the grid reads.
    virtual TGvListStyle ViewStyle() const { return elsIcon; }

    TGvGroup* GetOwnerGroup() const noexcept { return FOwnerGroup; }
    int GetColumnCount() const noexcept { return FColumnCount; }
    int GetRowCount() const noexcept { return FRowCount; }
    // 1 rows of cells (icon-like), 2 one row per item (report), 0 columns
    // of cells (list).
    uint8_t GetLayout() const noexcept { return FLayout; }
    // The nearest earlier / later group that has visible items.
    TGvGroup* PrevGroupWithItems() const;
    TGvGroup* NextGroupWithItems() const;

protected:
    // The window's client area below the header, in view coordinates.
    gcl::TRect ClientViewRect() const;
    TGvItem* ItemAt(gcl::TPoint ViewPoint) const;
    // Numbers Item as the group's next visible item and lists it.
    void PlaceVisible(TGvItem* Item, int& NextVisibleIndex);
    static void PlaceHidden(TGvItem* Item);
    // The visible item before / after the one at Index in the group,
    // across groups at the ends.
    TGvItem* StepItem(int Index, bool Forward) const;

    int FColumnCount = 0;
    uint8_t FLayout = 1;
    TGvGroup* FOwnerGroup;
    int FRowCount = 0;
};

#define GV_GRID(Class, Base, Style)                                                                              \
    class Class : public Base {                                                                                  \
        GCL_CLASS(Class, Base)                                                                                   \
    public:                                                                                                      \
        Class(TCustomGvListview* AOwner, TGvGroup* AGroup) : Base(AOwner, AGroup) {}                             \
        TGvListStyle ViewStyle() const override { return Style; }                                                \
    };
GV_GRID(TGvGridIconGroup, TGvGridGroup, elsIcon)
GV_GRID(TGvGridSmallIconGroup, TGvGridGroup, elsSmallIcon)
GV_GRID(TGvGridThumbnailGroup, TGvGridGroup, elsThumbnail)
GV_GRID(TGvGridTileGroup, TGvGridGroup, elsTile)
#undef GV_GRID

// One row per item across the header's columns (the report view).
class TGvGridReportGroup : public TGvGridGroup {
    GCL_CLASS(TGvGridReportGroup, TGvGridGroup)
public:
    TGvGridReportGroup(TCustomGvListview* AOwner, TGvGroup* AGroup) : TGvGridGroup(AOwner, AGroup) { FLayout = 2; }
    TGvItem* AdjacentItem(TGvItem* Item, TGvAdjacentDirection Direction) override;
    void Rebuild(TGvGroup* PrevGroup, int& NextVisibleIndex) override;
    TGvListStyle ViewStyle() const override { return elsReport; }
    // What Rebuild does to the group's rows, rows CellHeight high, with no
    // grid at hand: a group laid out so makes its grid when first asked
    // (TakeRows gives it what Rebuild would have left). The visible rows.
    static int PlaceRows(TCustomGvListview* Listview, TGvGroup* Group, int CellHeight, TGvGroup* PrevGroup,
                         int& NextVisibleIndex);
    void TakeRows(int Rows) noexcept {
        FColumnCount = 1;
        FRowCount = Rows;
    }
};

// The grid view: items flow through the header's visible columns, one cell
// per column, a new row after the last column.
class TGvGridGridGroup : public TGvGridGroup {
    GCL_CLASS(TGvGridGridGroup, TGvGridGroup)
public:
    TGvGridGridGroup(TCustomGvListview* AOwner, TGvGroup* AGroup) : TGvGridGroup(AOwner, AGroup) {}
    void Rebuild(TGvGroup* PrevGroup, int& NextVisibleIndex) override;
    TGvListStyle ViewStyle() const override { return elsGrid; }
};

// Column-major flow, groups side by side (the list view style).
class TGvGridListGroup : public TGvGridGroup {
    GCL_CLASS(TGvGridListGroup, TGvGridGroup)
public:
    TGvGridListGroup(TCustomGvListview* AOwner, TGvGroup* AGroup) : TGvGridGroup(AOwner, AGroup) { FLayout = 0; }
    TGvItem* AdjacentItem(TGvItem* Item, TGvAdjacentDirection Direction) override;
    void Rebuild(TGvGroup* PrevGroup, int& NextVisibleIndex) override;
    TGvListStyle ViewStyle() const override { return elsList; }
};

class TGvGridFilmStripGroup : public TGvGridListGroup {
    GCL_CLASS(TGvGridFilmStripGroup, TGvGridListGroup)
public:
    TGvGridFilmStripGroup(TCustomGvListview* AOwner, TGvGroup* AGroup) : TGvGridListGroup(AOwner, AGroup) {}
    TGvListStyle ViewStyle() const override { return elsFilmStrip; }
};

} // namespace qelvo
