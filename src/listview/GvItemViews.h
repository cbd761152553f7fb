// Item views: the stateless painter and geometry engine of the items of each
// view style (icon, small icon, list, report, thumbnail, tile, film strip,
// grid), and the selection painter they share.
#pragma once

#include "listview/GvViews.h"

namespace qelvo {

// One rectangle set per header column.
using TGvRectArrayObjectArray = std::vector<TGvRectArrayObject>;

// The rectangle kinds of TGvViewItem::ImageRect.
inline constexpr int ekrBounds = 0;
inline constexpr int ekrIcon = 1;
inline constexpr int ekrLabel = 2;
inline constexpr int ekrClickSelect = 3;
inline constexpr int ekrCheck = 4;
inline constexpr int ekrText = 5;
inline constexpr int ekrFullText = 6;

// The base of the item views: the base geometry (every rectangle the
// item's bounds), the paint pipeline and its steps, hit tests and the
// image look-ups. Column is null outside report view.
class TGvViewItem : public TGvOwnedPersistentView {
    GCL_CLASS_META(TGvViewItem, TGvOwnedPersistentView, TGvViewItemMetaClass)
public:
    using TGvOwnedPersistentView::TGvOwnedPersistentView;

    // The cell of the item (under Column in report view).
    virtual gcl::TRect CellRect(TGvItem* Item, TGvColumn* Column) const;
    // The rectangle set; without a canvas the text measures 0 x 0.
    virtual void CalcRects(TGvItem* Item, TGvColumn* Column, gcl::TCanvas* Canvas, TGvRectArrayObject& R);
    // One rectangle of the set by kind (ekrBounds ... ekrFullText).
    gcl::TRect ImageRect(TGvItem* Item, TGvColumn* Column, int Kind);
    virtual TAlignment TextAlignment(TGvColumn* Column) const;
    // How many caption lines are drawn (-1: all).
    virtual int TextLineCount(TGvItem* Item) const;
    virtual TCommonVAlignment VAlignment(TGvItem* Item, TGvColumn* Column) const;
    virtual bool HasStateImage(TGvItem* Item, TGvColumn* Column) const;
    // The state image list for eikState, else the item's list for the
    // column (the list view's list of the view's image size).
    gcl::TCustomImageList* ImageList(TGvItem* Item, TGvColumn* Column, TGvImageKind Kind) const;
    virtual gcl::TSize ImageSize(TGvItem* Item, TGvColumn* Column, TGvImageKind Kind) const;
    // Whether the view selects whole rows (report view under FullRowSelect).
    virtual bool SelectsFullRow() const { return false; }
    // Whether the focused item is painted after all others, so that its
    // focus rectangle and long caption lie on top.
    virtual bool PaintFocusedLast() const { return false; }

    // Hit tests (view coordinates); only enabled items are hit. Captions
    // are measured with the control's canvas while its window exists.
    bool HitOnText(TGvItem* Item, gcl::TPoint ViewPoint);
    virtual bool SelectionHitRect(TGvItem* Item, const gcl::TRect& ViewRect, TGvColumn* Column);
    bool SelectionHitPoint(TGvItem* Item, gcl::TPoint ViewPoint, TGvColumn* Column);
    // For binary searches over items in rows: 1 when the point lies above
    // (or left of) the item, -1 below (or right of) it, 0 inside.
    int ComparePoint(TGvItem* Item, gcl::TPoint ViewPoint) const;
    // One entry per header column (at least one), new entries zeroed.
    void SizeRectArray(TGvRectArrayObjectArray& Sets) const;

    // The text font and colour of the item on Canvas.
    virtual void SetupFont(TGvItem* Item, int ColumnPos, bool Selected, gcl::TCanvas* Canvas);
    // Paints a visible item: selection, image, text, focus, check box.
    virtual void Paint(TGvItem* Item, TGvColumn* Column, gcl::TCanvas* Canvas, bool ForceSelectionRectDraw);

protected:
    // The canvas hit tests measure captions with (none without a window).
    gcl::TCanvas* HitTestCanvas() const;
    // The text and icon areas a selection hit test looks at.
    virtual gcl::TRect TextHitArea(TGvItem* Item, const TGvRectArrayObject& R) const;
    virtual gcl::TRect IconHitArea(const TGvRectArrayObject& R) const;
    // The paint steps.
    virtual void PaintBefore(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R, gcl::TCanvas* Canvas,
                             bool& Handled);
    virtual void PaintSelectionRect(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R,
                                    gcl::TCanvas* Canvas, bool Force);
    virtual void PaintImage(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R, gcl::TCanvas* Canvas);
    virtual void PaintText(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R, gcl::TCanvas* Canvas,
                           int LineCount);
    virtual void PaintFocusRect(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R,
                                gcl::TCanvas* Canvas);
    virtual void PaintCheckBox(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R, gcl::TCanvas* Canvas);
    virtual void PaintAfter(TGvItem*, TGvColumn*, const TGvRectArrayObject&, gcl::TCanvas*) {}
    // Hooks that let a style change the focus and selection areas.
    virtual void AdjustFocusRect(TGvItem*, gcl::TRect&) {}
    virtual void AdjustSelectionRect(TGvItem*, gcl::TRect&) {}
    // The item shows the active selection colours: the control has the
    // focus (and ShowInactive is off), the item is a drop target, or the
    // selection is in popup mode.
    bool ActiveLook(TGvItem* Item) const;
    // The same, drop targets aside: the look of the selected rows.
    bool ActiveSelectionLook() const;
    // The selected look applies to the caption of this column.
    bool SelectedLook(TGvItem* Item, TGvColumn* Column) const;
    // From Text (the caption's rectangle that selection marks): the
    // selection and focus rectangles (Text widened by 2), the click
    // rectangle (with the icon, or the bounds in a full-row view) and the
    // drag rectangle (15 % of its width narrower on each side).
    void SelectionRects(TGvRectArrayObject& R, const gcl::TRect& Text) const;
    // The span of column 0 in report view (the whole rectangle otherwise).
    gcl::TRect FirstColumnSpan(TGvItem* Item, const gcl::TRect& R) const;
    // The item's image drawn centred in R (shrunk keeping its aspect ratio
    // when R is smaller), blended as the item's state asks.
    void DrawItemImage(TGvItem* Item, gcl::TCustomImageList* Images, int Index, int Overlay, const gcl::TRect& R,
                       gcl::TCanvas* Canvas);
};

// The small-icon geometry: check box, state image, image and caption in a
// row. The list, report and grid views use it too.
class TGvViewSmallIconItem : public TGvViewItem {
    GCL_CLASS(TGvViewSmallIconItem, TGvViewItem)
public:
    using TGvViewItem::TGvViewItem;
    void CalcRects(TGvItem* Item, TGvColumn* Column, gcl::TCanvas* Canvas, TGvRectArrayObject& R) override;
    TAlignment TextAlignment(TGvColumn* Column) const override;
    TCommonVAlignment VAlignment(TGvItem* Item, TGvColumn* Column) const override;

protected:
    void PaintBefore(TGvItem*, TGvColumn*, const TGvRectArrayObject&, gcl::TCanvas*, bool&) override {}
    gcl::TRect TextHitArea(TGvItem* Item, const TGvRectArrayObject& R) const override;
    gcl::TRect IconHitArea(const TGvRectArrayObject&) const override { return gcl::TRect{}; }
};

class TGvViewListItem : public TGvViewSmallIconItem {
    GCL_CLASS(TGvViewListItem, TGvViewSmallIconItem)
public:
    using TGvViewSmallIconItem::TGvViewSmallIconItem;
};

class TGvViewGridItem : public TGvViewSmallIconItem {
    GCL_CLASS(TGvViewGridItem, TGvViewSmallIconItem)
public:
    using TGvViewSmallIconItem::TGvViewSmallIconItem;
};

// The report view's items: one cell per column; under FullRowSelect the
// selection spans the row.
class TGvViewReportItem : public TGvViewSmallIconItem {
    GCL_CLASS(TGvViewReportItem, TGvViewSmallIconItem)
public:
    using TGvViewSmallIconItem::TGvViewSmallIconItem;
    // The item's row narrowed to the column (the first column by position
    // without one); the first column starts at the group's left margin,
    // the last ends at the group's right margin.
    gcl::TRect CellRect(TGvItem* Item, TGvColumn* Column) const override;
    void CalcRects(TGvItem* Item, TGvColumn* Column, gcl::TCanvas* Canvas, TGvRectArrayObject& R) override;
    bool SelectsFullRow() const override { return FullRowSelect(); }
    // A state image shows when the item has a state image list.
    bool HasStateImage(TGvItem* Item, TGvColumn* Column) const override;
    // Tested against the rectangles of the header's first column.
    bool SelectionHitRect(TGvItem* Item, const gcl::TRect& ViewRect, TGvColumn* Column) override;
    bool FullRowSelect() const;
};

// Large icons with the caption centred below, two lines (all lines for the
// focused item of a focused control).
class TGvViewIconItem : public TGvViewItem {
    GCL_CLASS(TGvViewIconItem, TGvViewItem)
public:
    using TGvViewItem::TGvViewItem;
    void CalcRects(TGvItem* Item, TGvColumn* Column, gcl::TCanvas* Canvas, TGvRectArrayObject& R) override;
    int TextLineCount(TGvItem* Item) const override;
    TAlignment TextAlignment(TGvColumn*) const override { return taCenter; }
    bool PaintFocusedLast() const override { return true; }

protected:
    void PaintBefore(TGvItem*, TGvColumn*, const TGvRectArrayObject&, gcl::TCanvas*, bool&) override {}
    void AdjustFocusRect(TGvItem* Item, gcl::TRect& R) override;
    void AdjustSelectionRect(TGvItem* Item, gcl::TRect& R) override;
};

// A large image area above a one-line caption; the item may draw its
// thumbnail itself; with ShowBorder the image area is framed.
class TGvViewThumbnailItem : public TGvViewItem {
    GCL_CLASS(TGvViewThumbnailItem, TGvViewItem)
public:
    using TGvViewItem::TGvViewItem;
    void CalcRects(TGvItem* Item, TGvColumn* Column, gcl::TCanvas* Canvas, TGvRectArrayObject& R) override;
    TAlignment TextAlignment(TGvColumn*) const override { return taCenter; }
    bool PaintFocusedLast() const override { return true; }

protected:
    void PaintBefore(TGvItem*, TGvColumn*, const TGvRectArrayObject&, gcl::TCanvas*, bool&) override {}
    gcl::TRect TextHitArea(TGvItem* Item, const TGvRectArrayObject& R) const override;
    void PaintImage(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R, gcl::TCanvas* Canvas) override;
    void PaintAfter(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R, gcl::TCanvas* Canvas) override;
};

class TGvViewFilmStripItem : public TGvViewThumbnailItem {
    GCL_CLASS(TGvViewFilmStripItem, TGvViewThumbnailItem)
public:
    using TGvViewThumbnailItem::TGvViewThumbnailItem;
};

// The image at the left; beside it the caption and the detail lines (the
// captions of the columns the item's details name).
class TGvViewTileItem : public TGvViewItem {
    GCL_CLASS(TGvViewTileItem, TGvViewItem)
public:
    using TGvViewItem::TGvViewItem;
    void CalcRects(TGvItem* Item, TGvColumn* Column, gcl::TCanvas* Canvas, TGvRectArrayObject& R) override;
    // The captions of the tile's lines: the item's caption, then one per
    // detail line (up to the paint info's TileDetailCount).
    std::vector<std::wstring> Lines(TGvItem* Item) const;

protected:
    void PaintBefore(TGvItem*, TGvColumn*, const TGvRectArrayObject&, gcl::TCanvas*, bool&) override {}
    void PaintText(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R, gcl::TCanvas* Canvas,
                   int LineCount) override;
};

// The selection block of an item: fill and frame in the look the selection
// manager asks for (blended, gradient, rounded), painted into Area (view
// coordinates, on a canvas whose origin maps the view).
void PaintSelectionBlock(TCustomGvListview* Listview, gcl::TCanvas* Canvas, const gcl::TRect& Area, bool Active,
                         bool FocusedItem);

} // namespace qelvo
