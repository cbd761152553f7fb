// The column header bar: the columns, their display order and layout.
#pragma once

#include "listview/GvColumns.h"

namespace qelvo {

// ---- Header ------------------------------------------------------------------------------

// The column header bar: owns the columns, keeps their display order and
// lays out one rectangle per column.
class TGvHeader : public TGvOwnedPersistent {
    GCL_CLASS(TGvHeader, TGvOwnedPersistent)
    friend class TGvColumn;

public:
    explicit TGvHeader(TCustomGvListview* AOwner);
    ~TGvHeader() override;
    void BeforeDestruction() noexcept override;

    TGvColumns* GetColumns() const noexcept { return FColumns; }
    TGvColumn* FirstColumn() const;
    TGvColumn* LastColumn() const;
    TGvColumn* NextColumn(TGvColumn* Column) const;
    TGvColumn* PrevColumn(TGvColumn* Column) const;
    TGvColumn* FirstVisibleColumn() const;
    TGvColumn* LastVisibleColumn() const;
    TGvColumn* NextVisibleColumn(TGvColumn* Column) const;
    TGvColumn* PrevVisibleColumn(TGvColumn* Column) const;
    TGvColumn* FirstColumnByPosition() const;
    TGvColumn* LastColumnByPosition() const;
    // All columns sorted by Position.
    const std::vector<TGvColumn*>& Positions() const noexcept { return FPositions; }
    void ClearLists();
    // Sorts the positions list by Position (stable) and renumbers the
    // columns 0..n-1, so positions never have gaps, with or without a window.
    void RenumberPositions();

    bool GetAutoSizeHeight() const noexcept { return FAutoSizeHeight; }
    void SetAutoSizeHeight(bool Value);
    int GetAutoSizeHeightMargin() const noexcept { return FAutoSizeHeightMargin; }
    void SetAutoSizeHeightMargin(int Value);
    gcl::TColor GetColor() const noexcept { return FColor; }
    void SetColor(gcl::TColor Value);
    bool GetDraggable() const noexcept { return FDraggable; }
    void SetDraggable(bool Value) noexcept { FDraggable = Value; }
    bool GetFixedSingleColumn() const noexcept { return FFixedSingleColumn; }
    void SetFixedSingleColumn(bool Value);
    gcl::TFont* GetFont() const noexcept { return FFont.get(); }
    void SetFont(gcl::TFont* Value) { FFont->Assign(Value); }
    // Under AutoSizeHeight at least the font's text height plus the margin.
    int GetHeight() const;
    // The stored height, without the font fitting.
    int GetNominalHeight() const noexcept { return FHeight; }
    void SetHeight(int Value);
    gcl::TCustomImageList* GetImages() const noexcept { return FImages.Get(); }
    void SetImages(gcl::TCustomImageList* Value);
    bool GetShowInAllViews() const noexcept { return FShowInAllViews; }
    void SetShowInAllViews(bool Value);
    bool GetSizeable() const noexcept { return FSizeable; }
    void SetSizeable(bool Value) noexcept { FSizeable = Value; }
    bool GetVisible() const noexcept { return FVisible; }
    void SetVisible(bool Value);
    bool GetStreamColumns() const noexcept { return FStreamColumns; }
    void SetStreamColumns(bool Value) noexcept { FStreamColumns = Value; }

    // Visible and shown by the view (report and grid, or ShowInAllViews).
    bool Shown() const;
    int RuntimeHeight() const;
    gcl::TRect DisplayRect() const;
    // The union of the column rectangles (view coordinates).
    gcl::TRect GetHeaderRect() const noexcept { return FHeaderRect; }
    bool FollowsHorizontalScroll() const;
    // Sorts the positions list, renumbers Position 0..n-1, rebuilds the
    // visible-column list and the column rectangles.
    void Rebuild(bool Force = false);
    // The window's new client width (WM_SIZE): the fixed single column
    // follows it, otherwise the visible AutoSpring columns share the change.
    void Resize(int ClientWidth);
    void Invalidate(bool ImmediateUpdate);
    // Paints the bar and the column buttons that meet ARect (ARect's top is
    // the header's top).
    void PaintTo(gcl::TCanvas* ACanvas, const gcl::TRect& ARect);
    void LoadFromStream(gcl::TStream& S) override;
    void SaveToStream(gcl::TStream& S) override;

private:
    bool FAutoSizeHeight = true;
    int FAutoSizeHeightMargin = 8;
    gcl::TColor FColor = gcl::clBtnFace;
    TGvColumns* FColumns = nullptr;
    bool FDraggable = true;
    bool FFixedSingleColumn = false;
    std::unique_ptr<gcl::TFont> FFont;
    int FHeight = 21;
    gcl::TComponentRef<gcl::TCustomImageList> FImages;
    bool FShowInAllViews = false;
    bool FSizeable = true;
    bool FVisible = false;
    bool FStreamColumns = true;
    std::vector<TGvColumn*> FPositions;
    gcl::TRect FHeaderRect;
    int FLastHeaderWidth = -1;
};

} // namespace qelvo
