// Cell sizes of the eight view styles.
#pragma once

#include "listview/GvScrollbars.h"

namespace qelvo {

// One cell size; Width and Height read the auto pair under AutoSize, else
// the fixed pair (at least 1).
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

} // namespace qelvo
