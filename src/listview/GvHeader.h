// The column header bar: the columns, their display order and layout.
#pragma once

#include "listview/GvColumns.h"

namespace qelvo {

class TGvHeaderDragManager;

// The header's mouse states; bit i is value i (ehsCaptured 0x0001 ...
// ehsRightDown 0x0100).
GCL_ENUM(TGvHeaderState, ehsCaptured, ehsResizing, ehsDragging, ehsDragPending, ehsClickPending, ehsCheckPressed,
         ehsResizeArmed, ehsLeftDown, ehsRightDown)
using TGvHeaderStates = gcl::TSet<TGvHeaderState>;
// The screen cursor the header shows over a column divider.
inline constexpr gcl::TCursor crGvHeaderSplit = 768;

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
    // Kept in the drag manager.
    bool GetDraggable() const;
    void SetDraggable(bool Value);
    TGvHeaderDragManager* GetDragManager() const noexcept { return FDragManager; }
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
    // Repaints the bar (after the update bracket, when inside one: the
    // bar counts as changed either way).
    void Invalidate(bool ImmediateUpdate);
    // ---- What the window shows of the bar. A new layout or a change of
    // the rows repaints the bar only when it no longer shows as it was
    // last painted whole (TCustomGvListview::InvalidateView).
    // A number standing for everything the bar's paint draws from: its
    // place, colours, font, theme and each column's rectangle, caption,
    // images, sort mark and states.
    uint64_t LookKey() const;
    // Whether the window last painted the whole bar as it would paint it
    // now, and nothing asked for it to be painted again since. Never while
    // a handler of the list view draws into the bar.
    bool ShowsAsPainted() const;
    // The window painted the bar: the whole of it, or only part of it.
    void NotePainted(bool Whole);
    // The window's picture of the bar counts as out of date.
    void ForgetPainted() noexcept { FLookPainted = false; }
    // Paints the bar and the column buttons that meet ARect (ARect's top is
    // the header's top).
    void PaintTo(gcl::TCanvas* ACanvas, const gcl::TRect& ARect);
    void LoadFromStream(gcl::TStream& S) override;
    void SaveToStream(gcl::TStream& S) override;

    // ---- Mouse input (GvHeaderInput.cpp). The list view hands the header
    // WM_CONTEXTMENU and the mouse messages that land on the bar to
    // Dispatch; points are the messages' window points.
    void Dispatch(gcl::TMessage& Message) override;
    // Whether the header takes a mouse message at WindowPt: over the bar,
    // or while it holds the capture or a pressed column.
    bool OwnsMouse(gcl::TPoint WindowPt) const;
    // Whether it holds the capture or a pressed column.
    bool HoldsMouse() const noexcept { return FStates.Contains(ehsCaptured) || FPressedColumn != nullptr; }
    TGvHeaderStates GetStates() const noexcept { return FStates; }
    TGvColumn* GetPressedColumn() const noexcept { return FPressedColumn; }
    TGvColumn* GetResizeColumn() const noexcept { return FResizeColumn; }
    TGvColumn* GetHotTrackColumn() const noexcept { return FHotTrackColumn; }
    TGvColumn* GetHotDropDownColumn() const noexcept { return FHotDropDownColumn; }
    // Hit tests at a point in view coordinates.
    bool HitCheckBox(gcl::TPoint ViewPt, TGvColumn*& Column) const;
    bool HitDropDownButton(gcl::TPoint ViewPt, TGvColumn*& Column) const;
    bool HitClickableColumn(gcl::TPoint ViewPt, TGvColumn*& Column) const;
    bool HitResizeZone(gcl::TPoint ViewPt, TGvColumn*& Column) const;
    bool HitHotTrack(gcl::TPoint ViewPt, TGvColumn*& Column) const;
    // A click on Column: the sort direction cycles and the list sorts.
    void ColumnClick(TGvColumn* Column);
    // Clears the header states (all but ehsCheckPressed) and releases the
    // capture unless a hot-tracked column still needs it.
    void ResetStates();
    // The capture it held went elsewhere (the window hidden or minimised, a
    // menu or another window took the mouse): a press, resize or hot column
    // ends, with no click, as the button may be let go where the header
    // never hears it.
    void MouseTakenAway();
    // Drops every reference to the column (it is going away).
    void Forget(TGvCollectionItem* Obj) noexcept;
    // Whether Column is (still) one of the header's columns.
    bool HasColumn(TGvColumn* Column) const;

private:
    void WMLButtonDown(gcl::TMessage& Message);
    void WMLButtonUp(gcl::TMessage& Message);
    void WMLButtonDblClk(gcl::TMessage& Message);
    void WMMouseMove(gcl::TMessage& Message);
    void WMRButtonDown(gcl::TMessage& Message);
    void WMRButtonUp(gcl::TMessage& Message);
    void WMContextMenu(gcl::TMessage& Message);
    gcl::TPoint ViewPoint(gcl::TPoint WindowPt) const;
    void Capture();
    void ReleaseMouse();
    void SetCursor(gcl::TCursor Cursor);
    // The hot-tracked column under ViewPt (Force: drop the current one).
    void UpdateHotTrack(gcl::TPoint ViewPt, bool Force);
    void SetHotTrackColumn(TGvColumn* Column);
    void SetHotDropDownColumn(TGvColumn* Column);

    TGvColumn* FHotDropDownColumn = nullptr;
    TGvColumn* FHotTrackColumn = nullptr;
    TGvColumn* FPressedColumn = nullptr;
    TGvColumn* FResizeColumn = nullptr;
    TGvHeaderStates FStates;

private:
    bool FAutoSizeHeight = true;
    int FAutoSizeHeightMargin = 8;
    gcl::TColor FColor = gcl::clBtnFace;
    TGvColumns* FColumns = nullptr;
    TGvHeaderDragManager* FDragManager = nullptr;
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
    // LookKey of the last paint of the whole bar, and whether the window
    // still shows it.
    uint64_t FPaintedLook = 0;
    bool FLookPainted = false;
    // The font description last measured for AutoSizeHeight and its text
    // height (-1: not measured yet).
    mutable LOGFONTA FMeasuredFont{};
    mutable int FMeasuredTextHeight = -1;
};

} // namespace qelvo
