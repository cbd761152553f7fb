// Item views: the base view with its paint pipeline and hit tests, the
// small-icon geometry (list, report and grid views use it), the icon,
// thumbnail, film-strip and tile views, and the selection painter.
#include "listview/GvInternal.h"

#include <uxtheme.h>

#include <cmath>
#include <cstring>

#include "gcl/rtl/Maths.h"

namespace qelvo {

using namespace gvdetail;

GCL_IMPLEMENT_CLASS(TGvViewItem)
GCL_IMPLEMENT_CLASS(TGvViewSmallIconItem)
GCL_IMPLEMENT_CLASS(TGvViewListItem)
GCL_IMPLEMENT_CLASS(TGvViewGridItem)
GCL_IMPLEMENT_CLASS(TGvViewReportItem)
GCL_IMPLEMENT_CLASS(TGvViewIconItem)
GCL_IMPLEMENT_CLASS(TGvViewThumbnailItem)
GCL_IMPLEMENT_CLASS(TGvViewFilmStripItem)
GCL_IMPLEMENT_CLASS(TGvViewTileItem)

TRect gvdetail::DeviceRect(HDC DC, const TRect& R) {
    POINT points[2] = {{R.Left, R.Top}, {R.Right, R.Bottom}};
    LPtoDP(DC, points, 2);
    return TRect{points[0].x, points[0].y, points[1].x, points[1].y};
}

gcl::TSize gvdetail::DibSize(HDC DC) {
    BITMAP info{};
    HGDIOBJ bitmap = GetCurrentObject(DC, OBJ_BITMAP);
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info) || info.bmBitsPixel != 32 || !info.bmBits)
        return gcl::TSize{0, 0};
    return gcl::TSize{info.bmWidth, std::abs(info.bmHeight)};
}

namespace {

TGvPaintInfoBaseItem* ItemInfo(TGvItem* Item) { return dynamic_cast<TGvPaintInfoBaseItem*>(Item->PaintInfo()); }

// The rectangle Size centred in R, moved to R's top-left when it is larger.
TRect CentredIn(const TRect& R, gcl::TSize Size) {
    const int left = R.Left + std::max(0, (R.Width() - Size.cx) / 2);
    const int top = R.Top + std::max(0, (R.Height() - Size.cy) / 2);
    return TRect{left, top, left + Size.cx, top + Size.cy};
}


void FillGradient(gcl::TCanvas* Canvas, const TRect& R, gcl::TColor Top, gcl::TColor Bottom) {
    if (R.Height() <= 1) {
        Canvas->GetBrush()->SetStyle(gcl::bsSolid);
        Canvas->GetBrush()->SetColor(Top);
        Canvas->FillRect(R);
        return;
    }
    FillGradientRows(Canvas, R.Left, R.Top, R.Right, R.Bottom - 1, Top, Bottom, R.Top, R.Bottom - 1);
}

} // namespace

// ---- Selection painter -----------------------------------------------------------------------

void PaintSelectionBlock(TCustomGvListview* Listview, gcl::TCanvas* Canvas, const TRect& Area, bool Active,
                         bool FocusedItem) {
    if (!Listview || !Canvas || gcl::IsRectEmpty(Area)) return;
    TGvSelectionManager* selection = Listview->GetSelection();
    const gcl::TColor border = !Active ? selection->GetInactiveBorderColor()
                               : FocusedItem && selection->GetUseFocusRect() ? gcl::clSilver
                                                                             : selection->GetBorderColor();
    const gcl::TColor fill = Active ? selection->GetColor() : selection->GetInactiveColor();
    const gcl::TColor gradientTop = Active ? selection->GetGradientColorTop() : Listview->GetColor();
    const gcl::TColor gradientBottom = Active ? selection->GetGradientColorBottom() : selection->GetInactiveColor();
    const int radius = selection->GetRoundRectRadius();
    HDC dc = Canvas->GetHandle();
    const gcl::TSize dib = DibSize(dc);
    const TRect device = DeviceRect(dc, Area);
    TRect inside{};
    const bool canBlend = selection->GetAlphaBlend() && dib.cx > 0 &&
                          gcl::IntersectRect(inside, device, TRect{0, 0, dib.cx, dib.cy});
    gcl::TPen* pen = Canvas->GetPen();
    pen->SetStyle(gcl::psSolid);
    pen->SetWidth(1);
    pen->SetColor(border);
    if (canBlend && (selection->GetRoundRect() || selection->GetGradient())) {
        // Blend into a copy of what lies under the area, then copy it back.
        const int w = Area.Width();
        const int h = Area.Height();
        gcl::TBitmap copy;
        copy.SetPixelFormat(gcl::pf32bit);
        copy.SetSize(w, h);
        HDC copyDC = copy.GetCanvas()->GetHandle();
        BitBlt(copyDC, 0, 0, w, h, dc, Area.Left, Area.Top, SRCCOPY);
        if (selection->GetRoundRect()) {
            gcl::TCanvas* c = copy.GetCanvas();
            c->GetPen()->Assign(pen);
            c->GetBrush()->SetStyle(gcl::bsClear);
            c->RoundRect(0, 0, w, h, radius, radius);
        }
        if (selection->GetGradient()) {
            gcl::TBitmap gradient;
            gradient.SetPixelFormat(gcl::pf32bit);
            gradient.SetSize(w, h);
            FillGradient(gradient.GetCanvas(), TRect{0, 0, w, h}, gradientTop, gradientBottom);
            BlendBitmaps(&gradient, &copy, 80, selection->GetBlurAlphaBkGnd(), 20);
        } else {
            AlphaBlend(copyDC, copyDC, TRect{0, 0, w, h}, static_cast<int32_t>(gcl::ColorToRGB(fill)),
                       selection->GetBlendAlphaTextRect(), cbmConstantAlphaAndColor, TPoint{0, 0});
        }
        const int saved = SaveDC(dc);
        HRGN region = nullptr;
        if (selection->GetRoundRect()) {
            region = CreateRoundRectRgn(device.Left, device.Top, device.Right + 1, device.Bottom + 1, radius, radius);
            ExtSelectClipRgn(dc, region, RGN_AND);
        }
        BitBlt(dc, Area.Left, Area.Top, w, h, copyDC, 0, 0, SRCCOPY);
        RestoreDC(dc, saved);
        if (region) DeleteObject(region);
        return;
    }
    if (canBlend) {
        AlphaBlend(dc, dc, inside, static_cast<int32_t>(gcl::ColorToRGB(fill)), selection->GetBlendAlphaTextRect(),
                   cbmConstantAlphaAndColor, TPoint{inside.Left, inside.Top});
        Canvas->GetBrush()->SetStyle(gcl::bsClear);
        Canvas->Rectangle(Area);
        return;
    }
    if (!selection->GetAlphaBlend() && selection->GetGradient()) {
        if (Area.Height() > 0) {
            FillGradient(Canvas, Area, gradientTop, gradientBottom);
            pen->SetColor(border);
            Canvas->GetBrush()->SetStyle(gcl::bsClear);
            Canvas->Rectangle(Area);
        }
        return;
    }
    Canvas->GetBrush()->SetStyle(gcl::bsSolid);
    Canvas->GetBrush()->SetColor(fill);
    if (selection->GetRoundRect())
        Canvas->RoundRect(Area.Left, Area.Top, Area.Right, Area.Bottom, radius, radius);
    else
        Canvas->Rectangle(Area);
}

// ---- TGvViewItem -------------------------------------------------------------------------------

TRect TGvViewItem::CellRect(TGvItem* Item, TGvColumn*) const { return Item->GetDisplayRect(); }

void TGvViewItem::CalcRects(TGvItem* Item, TGvColumn* Column, gcl::TCanvas*, TGvRectArrayObject& R) {
    if (!Item->GetInitialized()) Item->SetInitialized(true);
    R = TGvRectArrayObject{};
    TGvPaintInfoBaseItem* info = ItemInfo(Item);
    R.BoundsRect = CellRect(Item, Column);
    if (info) gcl::InflateRect(R.BoundsRect, -info->GetBorder(), -info->GetBorder());
    R.LabelRect = R.IconRect = R.TextRect = R.ClickSelectRect = R.DragSelectRect = R.SelectionRect =
        R.FocusInvalidRect = R.BoundsRect;
    R.EditRect = R.FullTextRect;
}

TRect TGvViewItem::ImageRect(TGvItem* Item, TGvColumn* Column, int Kind) {
    TGvRectArrayObject R;
    CalcRects(Item, Column, nullptr, R);
    switch (Kind) {
    case ekrIcon:
        return R.IconRect;
    case ekrLabel:
        return R.LabelRect;
    case ekrClickSelect:
        return R.ClickSelectRect;
    case ekrCheck:
        return R.CheckRect;
    case ekrText:
        return R.TextRect;
    case ekrFullText:
        return R.FullTextRect;
    default:
        return R.BoundsRect;
    }
}

TAlignment TGvViewItem::TextAlignment(TGvColumn* Column) const {
    return Column ? Column->GetAlignment() : taLeftJustify;
}

int TGvViewItem::TextLineCount(TGvItem*) const { return 1; }

TCommonVAlignment TGvViewItem::VAlignment(TGvItem* Item, TGvColumn*) const {
    TGvPaintInfoBaseItem* info = ItemInfo(Item);
    return info ? info->GetVAlignment() : cvaCenter;
}

bool TGvViewItem::HasStateImage(TGvItem*, TGvColumn*) const { return false; }

gcl::TCustomImageList* TGvViewItem::ImageList(TGvItem* Item, TGvColumn* Column, TGvImageKind Kind) const {
    const int c = Column ? Column->GetIndex() : 0;
    return Kind == eikState ? Item->GetStateImageList(c) : Item->GetImageList(c);
}

gcl::TSize TGvViewItem::ImageSize(TGvItem* Item, TGvColumn* Column, TGvImageKind Kind) const {
    const int c = Column ? Column->GetIndex() : 0;
    if (Kind == eikState) {
        gcl::TCustomImageList* states = ImageList(Item, Column, eikState);
        return states ? gcl::TSize{states->GetWidth(), states->GetHeight()} : gcl::TSize{0, 0};
    }
    if (Item->GetImageIndexes(c) < 0) return gcl::TSize{0, 0};
    if (Item->ImageDrawIsCustom(Column)) {
        gcl::TSize size{0, 0};
        Item->ImageGetSize(Column, size.cx, size.cy);
        return size;
    }
    gcl::TCustomImageList* images = ImageList(Item, Column, Kind);
    return images ? gcl::TSize{images->GetWidth(), images->GetHeight()} : gcl::TSize{0, 0};
}

bool TGvViewItem::HitOnText(TGvItem* Item, TPoint ViewPoint) {
    if (!Item->GetEnabled()) return false;
    TGvRectArrayObject R;
    TGvHeader* header = FOwnerListview->GetHeader();
    CalcRects(Item, header ? header->FirstColumnByPosition() : nullptr, HitTestCanvas(), R);
    return gcl::PtInRect(R.TextRect, ViewPoint);
}

gcl::TCanvas* TGvViewItem::HitTestCanvas() const {
    return FOwnerListview->HandleAllocated() ? FOwnerListview->GetCanvas() : nullptr;
}

TRect TGvViewItem::TextHitArea(TGvItem* Item, const TGvRectArrayObject& R) const {
    TGvSelectionManager* selection = FOwnerListview->GetSelection();
    const bool focusedLook = Item->GetFocused() && (ListviewFocused(FOwnerListview) || selection->GetPopupMode());
    return focusedLook ? R.FullTextRect : R.TextRect;
}

TRect TGvViewItem::IconHitArea(const TGvRectArrayObject& R) const { return R.IconRect; }

bool TGvViewItem::SelectionHitRect(TGvItem* Item, const TRect& ViewRect, TGvColumn* Column) {
    if (!Item->GetEnabled()) return false;
    TGvRectArrayObject R;
    CalcRects(Item, Column, HitTestCanvas(), R);
    return Intersects(TextHitArea(Item, R), ViewRect) || Intersects(IconHitArea(R), ViewRect);
}

bool TGvViewItem::SelectionHitPoint(TGvItem* Item, TPoint ViewPoint, TGvColumn* Column) {
    return SelectionHitRect(Item, TRect{ViewPoint.X, ViewPoint.Y, ViewPoint.X + 1, ViewPoint.Y + 1}, Column);
}

int TGvViewItem::ComparePoint(TGvItem* Item, TPoint ViewPoint) const {
    const TRect r = Item->GetDisplayRect();
    if (ViewPoint.Y < r.Top) return 1;
    if (ViewPoint.Y > r.Bottom) return -1;
    if (ViewPoint.X < r.Left) return 1;
    if (ViewPoint.X > r.Right) return -1;
    return 0;
}

void TGvViewItem::SizeRectArray(TGvRectArrayObjectArray& Sets) const {
    TGvHeader* header = FOwnerListview->GetHeader();
    const int count = std::max(1, header ? header->GetColumns()->GetCount() : 0);
    Sets.resize(static_cast<size_t>(count));
}

void TGvViewItem::SetupFont(TGvItem* Item, int ColumnPos, bool Selected, gcl::TCanvas* Canvas) {
    TCustomGvListview* lv = FOwnerListview;
    TGvSelectionManager* selection = lv->GetSelection();
    Canvas->SetFont(lv->GetFont());
    Canvas->GetBrush()->SetStyle(gcl::bsClear);
    if (lv->GetShowInactive()) {
        Canvas->GetFont()->SetColor(gcl::clGrayText);
    } else if (Selected) {
        const bool active = ListviewFocused(lv) || selection->GetPopupMode() || Item->GetDropTarget();
        Canvas->GetFont()->SetColor(active ? selection->GetTextColor() : selection->GetInactiveTextColor());
    }
    TGvHotTrackManager* hot = lv->GetHotTrack();
    if (hot && hot->GetEnabled() && hot->GetHotObject() == Item && !Item->GetDropTarget() && !Item->GetSelected()) {
        Canvas->GetFont()->SetColor(hot->GetColor());
        if (hot->GetUnderline()) {
            gcl::TFontStyles style = Canvas->GetFont()->GetStyle();
            style.Include(gcl::fsUnderline);
            Canvas->GetFont()->SetStyle(style);
        }
    }
    if (Item->GetBold()) {
        gcl::TFontStyles style = Canvas->GetFont()->GetStyle();
        style.Include(gcl::fsBold);
        Canvas->GetFont()->SetStyle(style);
    }
    lv->DoItemPaintText(Item, ColumnPos, Canvas);
}

bool TGvViewItem::ActiveLook(TGvItem* Item) const { return Item->GetDropTarget() || ActiveSelectionLook(); }

bool TGvViewItem::ActiveSelectionLook() const {
    TCustomGvListview* lv = FOwnerListview;
    return (ListviewFocused(lv) && !lv->GetShowInactive()) || lv->GetSelection()->GetPopupMode();
}

bool TGvViewItem::SelectedLook(TGvItem* Item, TGvColumn* Column) const {
    const int c = Column ? Column->GetIndex() : 0;
    return (Item->GetSelected() || Item->GetDropTarget()) &&
           (c == 0 || SelectsFullRow() || FOwnerListview->GetSelection()->GetGroupSelections());
}

void TGvViewItem::SelectionRects(TGvRectArrayObject& R, const TRect& Text) const {
    R.SelectionRect = Text;
    gcl::InflateRect(R.SelectionRect, 2, 2);
    R.FocusRect = R.SelectionRect;
    if (SelectsFullRow())
        R.ClickSelectRect = R.BoundsRect;
    else
        gcl::UnionRect(R.ClickSelectRect, R.IconRect, R.SelectionRect);
    R.DragSelectRect = R.ClickSelectRect;
    const int narrow = gcl::Round(R.ClickSelectRect.Width() * 0.15);
    R.DragSelectRect.Left += narrow;
    R.DragSelectRect.Right -= narrow;
}

TRect TGvViewItem::FirstColumnSpan(TGvItem* Item, const TRect& R) const {
    if (FOwnerListview->GetView() != elsReport) return R;
    TGvHeader* header = FOwnerListview->GetHeader();
    TGvColumn* first = header ? header->GetColumns()->GetCount() > 0 ? header->GetColumns()->GetColumns(0) : nullptr
                              : nullptr;
    if (!first) return R;
    const TRect cell = CellRect(Item, first);
    TRect span = R;
    span.Left = std::max(span.Left, cell.Left);
    span.Right = std::min(span.Right, cell.Right);
    return span;
}

void TGvViewItem::Paint(TGvItem* Item, TGvColumn* Column, gcl::TCanvas* Canvas, bool ForceSelectionRectDraw) {
    if (!Item || !Item->GetVisible() || !Canvas) return;
    TCustomGvListview* lv = FOwnerListview;
    TGvCanvasStore store;
    store.StoreCanvas(Canvas);
    TGvRectArrayObject R;
    CalcRects(Item, Column, Canvas, R);
    bool handled = false;
    PaintBefore(Item, Column, R, Canvas, handled);
    if (!handled) {
        TGvEditManager* edit = lv->GetEditManager();
        const bool editingItem = edit && edit->GetEditItem() == Item;
        const bool editingCell = editingItem && (!Column || edit->GetEditColumn() == Column);
        if (!editingItem) PaintSelectionRect(Item, Column, R, Canvas, ForceSelectionRectDraw);
        // A cell narrower than its check box and pictures keeps them inside
        // it, as it keeps its caption: they would lie over the next column.
        const TRect& b = R.BoundsRect;
        const bool overflows = Column && (R.CheckRect.Right > b.Right || R.StateRect.Right > b.Right ||
                                          R.IconRect.Right > b.Right);
        // (Only the clip is kept and put back: the canvas's objects stay
        // as the steps select them.)
        HDC dc = Canvas->GetHandle();
        HRGN clip = overflows ? CreateRectRgn(0, 0, 0, 0) : nullptr;
        const bool clipped = clip && GetClipRgn(dc, clip) == 1;
        if (overflows) IntersectClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
        PaintImage(Item, Column, R, Canvas);
        const bool editedText = lv->GetView() == elsReport ? editingCell : editingItem;
        if (!editedText) {
            PaintText(Item, Column, R, Canvas, TextLineCount(Item));
            if (lv->GetSelection()->GetUseFocusRect()) PaintFocusRect(Item, Column, R, Canvas);
        }
        PaintCheckBox(Item, Column, R, Canvas);
        if (overflows) {
            SelectClipRgn(dc, clipped ? clip : nullptr);
            if (clip) DeleteObject(clip);
        }
        PaintAfter(Item, Column, R, Canvas);
    }
    store.RestoreCanvas(Canvas);
}

void TGvViewItem::PaintBefore(TGvItem* Item, TGvColumn*, const TGvRectArrayObject& R, gcl::TCanvas* Canvas,
                              bool&) {
    TGvPaintInfoBaseItem* info = ItemInfo(Item);
    if (!info || info->GetBorder() <= 0) return;
    Canvas->GetBrush()->SetStyle(gcl::bsSolid);
    Canvas->GetBrush()->SetColor(info->GetBorderColor());
    Canvas->FrameRect(R.BoundsRect);
}

void TGvViewItem::PaintSelectionRect(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R,
                                     gcl::TCanvas* Canvas, bool Force) {
    TCustomGvListview* lv = FOwnerListview;
    TGvSelectionManager* selection = lv->GetSelection();
    const int c = Column ? Column->GetIndex() : 0;
    if (c != 0 && !Force) return;
    // Only a selected or hilighted item has a block; forcing lets a view
    // that selects full rows paint it from the row's first cell.
    const bool marked = Item->GetSelected() || Item->GetDropTarget();
    if (!marked || (!Force && SelectsFullRow())) return;
    const bool focusLook = Item->GetFocused() && (ListviewFocused(lv) || selection->GetPopupMode());
    const bool fullCell = selection->GetFullCellPaint();
    const bool fullItem = selection->GetFullItemPaint();
    // Paints a block over Area (view coordinates), below the header only.
    auto paintBlock = [&](TRect area, bool active) {
        AdjustSelectionRect(Item, area);
        if (TGvScrollbarManager* scroll = lv->GetScrollbars()) {
            TRect visible = scroll->MapWindowRectToViewRect(ClientRectOf(lv), true);
            visible.Top = std::max(visible.Top, scroll->GetOffsetY());
            if (!gcl::IntersectRect(area, area, visible)) return;
        }
        if (gcl::IsRectEmpty(area)) return;
        PaintSelectionBlock(lv, Canvas, area, active, Item == selection->GetFocusedItem());
    };
    TRect area{};
    if (selection->GetGroupSelections() && lv->GetView() == elsReport && marked) {
        // The first row of a run that a paint draws paints the run's whole
        // block, a drop target among them too (which then marks itself on
        // it): the rows after it in the paint paint none.
        TGvSelectionGroupList* run = Item->GetSelectionGroup();
        const bool paintsRun = run && (run->FirstItem() == Item || Item->GetDisplayRect().Top <= lv->PaintedTop());
        if (paintsRun) {
            area = run->DisplayRect;
            if (!fullItem && !fullCell) area.Left = R.SelectionRect.Left;
            if (!Item->GetDropTarget()) return paintBlock(area, ActiveLook(Item));
            paintBlock(area, ActiveSelectionLook());
        }
        if (run && !Item->GetDropTarget()) return;
        area = Item->GetDisplayRect();
        if (!fullItem && !fullCell) area.Left = Item->GetDropTarget() ? R.TextRect.Left : R.SelectionRect.Left;
    } else if (SelectsFullRow() && marked) {
        area = Item->GetDisplayRect();
        if (!fullCell && !fullItem) area.Left = R.SelectionRect.Left;
    } else if (focusLook) {
        if (fullCell) {
            gcl::UnionRect(area, FirstColumnSpan(Item, Item->GetDisplayRect()), R.FocusRect);
        } else {
            area = R.FocusRect;
            if (fullItem) gcl::UnionRect(area, area, R.IconRect);
        }
    } else if (fullCell) {
        area = FirstColumnSpan(Item, Item->GetDisplayRect());
    } else {
        area = R.SelectionRect;
        if (fullItem) gcl::UnionRect(area, area, R.IconRect);
    }
    paintBlock(area, ActiveLook(Item));
}

void TGvViewItem::DrawItemImage(TGvItem* Item, gcl::TCustomImageList* Images, int Index, int Overlay,
                                const TRect& R, gcl::TCanvas* Canvas) {
    if (!Images || Index < 0 || gcl::IsRectEmpty(R)) return;
    TCustomGvListview* lv = FOwnerListview;
    TGvSelectionManager* selection = lv->GetSelection();
    UINT style = ILD_TRANSPARENT;
    COLORREF blend = CLR_NONE;
    const bool active = ListviewFocused(lv) || selection->GetPopupMode();
    if (selection->GetBlendIcon() && ((Item->GetSelected() && active) || Item->GetDropTarget())) {
        style |= ILD_BLEND25;
        blend = selection->GetForceDefaultBlend() ? CLR_DEFAULT : gcl::ColorToColorRef(selection->GetColor());
    }
    if (!Item->GetEnabled() || Item->GetCut() || Item->GetGhosted() || lv->GetShowInactive()) {
        style |= ILD_BLEND25;
        blend = gcl::ColorToColorRef(lv->GetDisabledBlendColor());
    }
    if (Overlay >= 0 && Images->Overlay(Overlay, 0)) style |= INDEXTOOVERLAYMASK(1);
    const int w = Images->GetWidth();
    const int h = Images->GetHeight();
    HDC dc = Canvas->GetHandle();
    if (w <= R.Width() && h <= R.Height()) {
        // The same picture recurs on many rows of a paint: kept.
        TKeptDrawingKey key;
        key.Parts[0] = 2 | (static_cast<uintptr_t>(Overlay + 1) << 8);  // a picture of an image list, its overlay
        key.Parts[1] = reinterpret_cast<uintptr_t>(Images->GetHandle());
        key.Parts[2] = static_cast<uintptr_t>(static_cast<uint32_t>(Index));
        key.Parts[3] = style;
        // The default blend is the system's highlight colour.
        key.Parts[4] = blend == CLR_DEFAULT ? 0x01000000u | GetSysColor(COLOR_HIGHLIGHT) : blend;
        key.Parts[5] = PictureStamp(Images);
        const TRect at{R.Left + (R.Width() - w) / 2, R.Top + (R.Height() - h) / 2, 0, 0};
        DrawKept(dc, TRect{at.Left, at.Top, at.Left + w, at.Top + h}, key,
                 [&](HDC target, int x, int y) { Images->DrawEx(target, x, y, Index, style, CLR_NONE, blend); });
        return;
    }
    // Shrink into R keeping the aspect ratio: draw over what lies beneath
    // at full size, then stretch that down.
    const double scale = std::min(static_cast<double>(R.Width()) / w, static_cast<double>(R.Height()) / h);
    const gcl::TSize size{std::max(1, static_cast<int>(w * scale)), std::max(1, static_cast<int>(h * scale))};
    const TRect target = CentredIn(R, size);
    gcl::TBitmap full;
    full.SetPixelFormat(gcl::pf32bit);
    full.SetSize(w, h);
    HDC fullDC = full.GetCanvas()->GetHandle();
    SetStretchBltMode(fullDC, HALFTONE);
    StretchBlt(fullDC, 0, 0, w, h, dc, target.Left, target.Top, size.cx, size.cy, SRCCOPY);
    Images->DrawEx(fullDC, 0, 0, Index, style, CLR_NONE, blend);
    const int mode = SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, target.Left, target.Top, size.cx, size.cy, fullDC, 0, 0, w, h, SRCCOPY);
    SetStretchBltMode(dc, mode);
}

void TGvViewItem::PaintImage(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R, gcl::TCanvas* Canvas) {
    HDC dc = Canvas->GetHandle();
    const int c = Column ? Column->GetIndex() : 0;
    const bool custom = Item->ImageDrawIsCustom(Column);
    gcl::TCustomImageList* states = nullptr;
    gcl::TCustomImageList* images = nullptr;
    int stateIndex = -1, index = -1, overlay = -1;
    if (!custom) {
        states = ImageList(Item, Column, eikState);
        if (states) stateIndex = Item->GetStateImageIndexes(c);
        images = ImageList(Item, Column, eikNormal);
        index = Item->GetImageIndexes(c);
        overlay = Item->GetImageOverlayIndexes(c);
        // A cell without a picture (most cells of a report) needs no clip
        // of its own: each is a few trips to the system.
        const bool drawsState = states && stateIndex >= 0 && R.StateRect.Width() > 0;
        const bool drawsImage = images && index >= 0 && !gcl::IsRectEmpty(R.IconRect);
        if (!drawsState && !drawsImage) return;
        if (!drawsState) states = nullptr;
    }
    const int saved = SaveDC(dc);
    TRect clip;
    gcl::UnionRect(clip, R.StateRect, R.IconRect);
    gcl::UnionRect(clip, clip, R.TextRect);
    IntersectClipRect(dc, clip.Left, clip.Top, clip.Right, clip.Bottom);
    if (custom) {
        TGvBackgroundManager* background = FOwnerListview->GetBackGround();
        Item->ImageDraw(Column, Canvas, R, background ? background->GetAlphaBlender() : nullptr);
    } else {
        if (states)
            states->DrawEx(dc, R.StateRect.Left + (R.StateRect.Width() - states->GetWidth()) / 2,
                           R.StateRect.Top + (R.StateRect.Height() - states->GetHeight()) / 2, stateIndex,
                           ILD_TRANSPARENT);
        DrawItemImage(Item, images, index, overlay, R.IconRect, Canvas);
    }
    RestoreDC(dc, saved);
}

void TGvViewItem::PaintText(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R, gcl::TCanvas* Canvas,
                            int LineCount) {
    if (gcl::IsRectEmpty(R.TextRect)) return;
    TGvPaintInfoBaseItem* info = ItemInfo(Item);
    if (info && info->GetHideCaption()) return;
    const int c = Column ? Column->GetIndex() : 0;
    SetupFont(Item, Column ? Column->GetPosition() : 0, SelectedLook(Item, Column), Canvas);
    auto flags = static_cast<TCommonDrawTextWFlags>(dtEndEllipsis | AlignFlags(TextAlignment(Column)) |
                                                    VAlignFlags(VAlignment(Item, Column)));
    if (LineCount == 1) flags = static_cast<TCommonDrawTextWFlags>(flags | dtSingleLine);
    // Every line (LineCount -1) goes into the full text rectangle.
    const TRect& area = LineCount < 0 ? R.FullTextRect : R.TextRect;
    if (R.CaptionWidth < 0) {
        DrawCaption(Canvas, Item->GetCaptions(c), area, LineCount, flags);
        return;
    }
    // The caption measured for the geometry; its width holds in a font
    // that differs only in its lines (underline, strike-out).
    LOGFONTA now = Canvas->GetFont()->GetLogFont();
    LOGFONTA measured = R.CaptionFont;
    now.lfUnderline = measured.lfUnderline = 0;
    now.lfStrikeOut = measured.lfStrikeOut = 0;
    const bool sameWidths = std::memcmp(&now, &measured, sizeof now) == 0;
    DrawCaption(Canvas, R.Caption, area, LineCount, flags, sameWidths ? R.CaptionWidth : -1);
}

void TGvViewItem::PaintFocusRect(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R,
                                 gcl::TCanvas* Canvas) {
    TCustomGvListview* lv = FOwnerListview;
    const int c = Column ? Column->GetIndex() : 0;
    if (c != 0 || !Item->GetFocused() || !ListviewFocused(lv) || SelectsFullRow()) return;
    TRect focus;
    if (lv->GetSelection()->GetFullCellPaint()) {
        gcl::UnionRect(focus, FirstColumnSpan(Item, Item->GetDisplayRect()), R.FocusInvalidRect);
    } else {
        focus = R.FocusRect;
        if (lv->GetSelection()->GetFullItemPaint()) gcl::UnionRect(focus, focus, R.IconRect);
    }
    AdjustFocusRect(Item, focus);
    if (gcl::IsRectEmpty(focus)) return;
    Canvas->GetBrush()->SetStyle(gcl::bsSolid);
    Canvas->GetBrush()->SetColor(lv->GetColor());
    Canvas->GetFont()->SetColor(gcl::clBlack);
    Canvas->DrawFocusRect(focus);
}

void TGvViewItem::PaintCheckBox(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R,
                                gcl::TCanvas* Canvas) {
    const int c = Column ? Column->GetIndex() : 0;
    TGvPaintInfoBaseItem* info = ItemInfo(Item);
    if (c != 0 || !info) return;
    TCustomGvListview* lv = FOwnerListview;
    TGvHotTrackManager* hot = lv->GetHotTrack();
    TGvCheckManager* check = lv->GetCheckManager();
    qelvo::PaintCheckBox(info->GetCheckType(), lv, R.CheckRect, Canvas, Item->GetEnabled(), Item->GetChecked(),
                         hot && hot->GetHotCheckItem() == Item, check && check->GetPendingObject() == Item,
                         info->GetCheckFlat(), info->GetCheckSize());
}

// ---- Small-icon geometry -----------------------------------------------------------------------

void TGvViewSmallIconItem::CalcRects(TGvItem* Item, TGvColumn* Column, gcl::TCanvas* Canvas,
                                     TGvRectArrayObject& R) {
    if (!Item->GetInitialized()) Item->SetInitialized(true);
    R = TGvRectArrayObject{};
    TGvPaintInfoBaseItem* info = ItemInfo(Item);
    const int p = Column ? Column->GetPosition() : 0;
    if (!info || p < 0) return;
    const int c = Column ? Column->GetIndex() : 0;
    R.BoundsRect = CellRect(Item, Column);
    const TRect b = R.BoundsRect;
    R.CheckRect = c != 0 ? TRect{b.Left, b.Top, b.Left, b.Bottom} : CheckRectIn(info, b);
    if (HasStateImage(Item, Column) && Item->GetStateImageIndexes(c) >= 0) {
        const gcl::TSize size = ImageSize(Item, Column, eikState);
        const int left = R.CheckRect.Right + info->GetImageIndent();
        const int top = b.Top + (b.Height() - size.cy) / 2;
        R.StateRect = TRect{left, top, left + size.cx, top + size.cy};
    } else {
        R.StateRect = TRect{R.CheckRect.Right, b.Top, R.CheckRect.Right, b.Bottom};
    }
    const gcl::TSize image = ImageSize(Item, Column, eikNormal);
    if (Item->GetImageIndexes(c) >= 0 && image.cx > 0) {
        const int left = R.StateRect.Right + info->GetImageIndent();
        const int top = b.Top + (b.Height() - image.cy) / 2;
        R.IconRect = TRect{left, top, left + image.cx, top + image.cy};
    } else {
        R.IconRect = TRect{R.StateRect.Right, b.Top, R.StateRect.Right, b.Bottom};
    }
    const int x = R.IconRect.Right + info->GetCaptionIndent();
    // A cell too narrow for a caption keeps an empty label at its right
    // edge, on the item's row: an editor opened there is placed by it.
    R.LabelRect = x < b.Right - 1 ? TRect{x, b.Top, b.Right, b.Bottom} : TRect{b.Right, b.Top, b.Right, b.Bottom};
    gcl::TSize text{0, 0};
    if (Canvas) {
        SetupFont(Item, p, false, Canvas);
        R.Caption = Item->GetCaptions(c);
        if (R.Caption.empty()) {
            TextExtentW(std::wstring(L" "), Canvas, text);
        } else {
            TextExtentW(R.Caption, Canvas, text);
            R.CaptionWidth = text.cx;
            R.CaptionFont = Canvas->GetFont()->GetLogFont();
        }
    }
    TRect inner = R.LabelRect;
    gcl::InflateRect(inner, -2, -2);
    TRect t = inner;
    if (text.cx < inner.Width()) {
        t.Left = inner.Left + (inner.Width() - text.cx) / 2;
        t.Right = t.Left + text.cx;
    }
    if (text.cy < inner.Height()) {
        t.Top = inner.Top + (inner.Height() - text.cy) / 2;
        t.Bottom = t.Top + text.cy;
    }
    const TAlignment alignment = TextAlignment(Column);
    if (alignment == taLeftJustify) gcl::OffsetRect(t, R.LabelRect.Left - t.Left, 0);
    if (alignment == taRightJustify) gcl::OffsetRect(t, R.LabelRect.Right - 8 - t.Right, 0);
    R.TextRect = t;
    R.FullTextRect = t;
    SelectionRects(R, t);
    gcl::UnionRect(R.FocusInvalidRect, R.IconRect, R.FullTextRect);
    R.EditRect = R.FullTextRect;
}

TAlignment TGvViewSmallIconItem::TextAlignment(TGvColumn* Column) const {
    return Column ? Column->GetAlignment() : taLeftJustify;
}

TCommonVAlignment TGvViewSmallIconItem::VAlignment(TGvItem* Item, TGvColumn* Column) const {
    return Column ? TGvViewItem::VAlignment(Item, Column) : cvaCenter;
}

TRect TGvViewSmallIconItem::TextHitArea(TGvItem*, const TGvRectArrayObject& R) const {
    TRect area;
    gcl::UnionRect(area, R.IconRect, R.TextRect);
    area.Top = R.BoundsRect.Top;
    area.Bottom = R.BoundsRect.Bottom;
    return area;
}

// ---- Report view -------------------------------------------------------------------------------

bool TGvViewReportItem::FullRowSelect() const {
    return FOwnerListview->GetSelection() && FOwnerListview->GetSelection()->GetFullRowSelect();
}

TRect TGvViewReportItem::CellRect(TGvItem* Item, TGvColumn* Column) const {
    TRect r = Item->GetDisplayRect();
    TGvHeader* header = FOwnerListview->GetHeader();
    if (!Column) Column = header->FirstColumnByPosition();
    if (!Column) return r;
    const TRect c = Column->GetDisplayRect();
    if (Column != header->FirstColumnByPosition()) r.Left = c.Left;
    if (Column != header->LastColumnByPosition()) r.Right = c.Right;
    return r;
}

void TGvViewReportItem::CalcRects(TGvItem* Item, TGvColumn* Column, gcl::TCanvas* Canvas, TGvRectArrayObject& R) {
    TGvViewSmallIconItem::CalcRects(Item, Column, Canvas, R);
    // A full row is selected from the group's left margin to the row's end.
    if (FullRowSelect()) {
        const TRect row = Item->GetDisplayRect();
        R.ClickSelectRect = row;
        R.DragSelectRect = row;
    }
}

bool TGvViewReportItem::HasStateImage(TGvItem* Item, TGvColumn* Column) const {
    return ImageList(Item, Column, eikState) != nullptr;
}

bool TGvViewReportItem::SelectionHitRect(TGvItem* Item, const TRect& ViewRect, TGvColumn*) {
    if (!Item->GetEnabled()) return false;
    TGvHeader* header = FOwnerListview->GetHeader();
    // A full row needs no measuring.
    if (FullRowSelect()) return Intersects(Item->GetDisplayRect(), ViewRect);
    TGvRectArrayObject R;
    CalcRects(Item, header ? header->FirstColumnByPosition() : nullptr, HitTestCanvas(), R);
    return Intersects(TextHitArea(Item, R), ViewRect) || Intersects(IconHitArea(R), ViewRect);
}

// ---- Icon view ---------------------------------------------------------------------------------

int TGvViewIconItem::TextLineCount(TGvItem* Item) const {
    return Item->GetFocused() && ListviewFocused(FOwnerListview) ? -1 : 2;
}

void TGvViewIconItem::CalcRects(TGvItem* Item, TGvColumn* Column, gcl::TCanvas* Canvas, TGvRectArrayObject& R) {
    if (!Item->GetInitialized()) Item->SetInitialized(true);
    R = TGvRectArrayObject{};
    TGvPaintInfoBaseItem* info = ItemInfo(Item);
    if (!info) return;
    R.BoundsRect = CellRect(Item, Column);
    R.BoundsRect.Left += 1;
    const TRect b = R.BoundsRect;
    // The image, centred 2 pixels below the top; the icon area reaches 4
    // pixels below it.
    const gcl::TSize image = ImageSize(Item, Column, eikNormal);
    const int imageLeft = b.Left + (b.Width() - image.cx) / 2;
    R.IconRect = TRect{imageLeft, b.Top + 2, imageLeft + image.cx, b.Top + 2 + image.cy + 4};
    R.StateRect = TRect{R.IconRect.Left, R.IconRect.Top, R.IconRect.Left, R.IconRect.Top};
    // A check box under it at the left.
    const int below = R.IconRect.Bottom + 1;
    if (info->GetCheckType() != ectNone) {
        const TRect bounds = CheckBoundsOf(info->GetCheckSize());
        const int left = b.Left + info->GetCheckIndent();
        R.CheckRect = TRect{left, below, left + bounds.Width(), below + bounds.Height()};
    } else {
        R.CheckRect = TRect{b.Left, below, b.Left, below};
    }
    R.LabelRect = TRect{R.CheckRect.Right, below, b.Right, b.Bottom};
    // The caption centred, two lines in TextRect, every line in FullTextRect.
    TRect inner = R.LabelRect;
    gcl::InflateRect(inner, -2, 0);
    TRect text{inner.Left, inner.Top, inner.Left, inner.Top};
    TRect full = text;
    if (Canvas && inner.Width() > 0) {
        SetupFont(Item, 0, false, Canvas);
        std::wstring caption = Item->GetCaption();
        if (caption.empty()) caption = L" ";
        const auto flags = static_cast<TCommonDrawTextWFlags>(dtCalcRect | dtCenter | dtTop);
        text = inner;
        DrawTextWEx(Canvas->GetHandle(), caption, text, 2, flags);
        full = inner;
        DrawTextWEx(Canvas->GetHandle(), caption, full, -1, flags);
        // A line longer than the label (the last of two takes the rest of
        // the caption) is cut to it; drawing shortens it with an ellipsis.
        for (TRect* r : {&text, &full}) {
            r->Left = std::max(r->Left, inner.Left);
            r->Right = std::min(r->Right, inner.Right);
        }
        text.Bottom = std::min(text.Bottom, b.Bottom);
    }
    R.TextRect = text;
    R.FullTextRect = full;
    R.TextLines.assign(1, text);
    SelectionRects(R, TextLineCount(Item) < 0 ? full : text);
    TRect fullSelection = full;
    gcl::InflateRect(fullSelection, 2, 2);
    gcl::UnionRect(R.FocusInvalidRect, R.IconRect, fullSelection);
    R.EditRect = full;
}

void TGvViewIconItem::AdjustFocusRect(TGvItem*, TRect& R) {
    if (FOwnerListview->GetSelection()->GetFullCellPaint()) gcl::InflateRect(R, -2, -2);
}

void TGvViewIconItem::AdjustSelectionRect(TGvItem*, TRect& R) {
    if (FOwnerListview->GetSelection()->GetFullCellPaint()) gcl::InflateRect(R, -2, -2);
}

// ---- Thumbnail and film-strip views ------------------------------------------------------------

void TGvViewThumbnailItem::CalcRects(TGvItem* Item, TGvColumn* Column, gcl::TCanvas* Canvas,
                                     TGvRectArrayObject& R) {
    if (!Item->GetInitialized()) Item->SetInitialized(true);
    R = TGvRectArrayObject{};
    TGvPaintInfoBaseItem* info = ItemInfo(Item);
    if (!info) return;
    R.BoundsRect = CellRect(Item, Column);
    gcl::InflateRect(R.BoundsRect, -1, -1);
    const TRect b = R.BoundsRect;
    // A square image area at the top (as wide as the cell, less a frame of
    // 3 pixels), the caption line below it.
    const int side = std::max(0, std::min(b.Width(), b.Height()) - 6);
    R.IconRect = TRect{b.Left + (b.Width() - side) / 2, b.Top + 3, b.Left + (b.Width() - side) / 2 + side,
                       b.Top + 3 + side};
    R.StateRect = TRect{R.IconRect.Left, R.IconRect.Top, R.IconRect.Left, R.IconRect.Top};
    const TRect below{b.Left, R.IconRect.Bottom + 3, b.Right, b.Bottom};
    R.CheckRect = CheckRectIn(info, below);
    R.LabelRect = TRect{R.CheckRect.Right, below.Top, below.Right, below.Bottom};
    gcl::TSize text{0, 0};
    if (Canvas) {
        SetupFont(Item, 0, false, Canvas);
        std::wstring caption = Item->GetCaption();
        if (caption.empty()) caption = L" ";
        TextExtentW(caption, Canvas, text);
    }
    TRect inner = R.LabelRect;
    gcl::InflateRect(inner, -2, 0);
    const gcl::TSize fitted{std::min(text.cx, std::max(0, inner.Width())),
                            std::min(text.cy, std::max(0, inner.Height()))};
    R.TextRect = CentredIn(inner, fitted);
    R.FullTextRect = R.TextRect;
    R.TextLines.assign(1, R.TextRect);
    SelectionRects(R, R.TextRect);
    gcl::UnionRect(R.FocusInvalidRect, R.IconRect, R.SelectionRect);
    gcl::InflateRect(R.FocusInvalidRect, 3, 3);
    R.EditRect = R.FullTextRect;
}

TRect TGvViewThumbnailItem::TextHitArea(TGvItem*, const TGvRectArrayObject& R) const {
    // The caption line across the cell.
    return TRect{R.BoundsRect.Left, R.LabelRect.Top, R.BoundsRect.Right, R.LabelRect.Bottom};
}

void TGvViewThumbnailItem::PaintImage(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R,
                                      gcl::TCanvas* Canvas) {
    TGvBackgroundManager* background = FOwnerListview->GetBackGround();
    bool doDefault = true;
    HDC dc = Canvas->GetHandle();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, R.IconRect.Left, R.IconRect.Top, R.IconRect.Right, R.IconRect.Bottom);
    Item->ThumbnailDraw(Canvas, R.IconRect, background ? background->GetAlphaBlender() : nullptr, doDefault);
    RestoreDC(dc, saved);
    if (doDefault) TGvViewItem::PaintImage(Item, Column, R, Canvas);
}

void TGvViewThumbnailItem::PaintAfter(TGvItem* Item, TGvColumn*, const TGvRectArrayObject& R,
                                      gcl::TCanvas* Canvas) {
    TGvPaintInfoBaseItem* info = ItemInfo(Item);
    if (!info || !info->GetShowBorder() || gcl::IsRectEmpty(R.IconRect)) return;
    TCustomGvListview* lv = FOwnerListview;
    TGvSelectionManager* selection = lv->GetSelection();
    TRect frame = R.IconRect;
    gcl::InflateRect(frame, 1, 1);
    Canvas->GetBrush()->SetStyle(gcl::bsSolid);
    if ((Item->GetSelected() || Item->GetDropTarget()) && !selection->GetGradient()) {
        const bool inactive = !ListviewFocused(lv) && !selection->GetPopupMode() && !Item->GetDropTarget();
        Canvas->GetBrush()->SetColor(inactive ? selection->GetInactiveColor() : selection->GetColor());
        for (int i = 0; i < 3; ++i) {
            Canvas->FrameRect(frame);
            gcl::InflateRect(frame, 1, 1);
        }
    } else {
        Canvas->GetBrush()->SetColor(info->GetBorderColor());
        Canvas->FrameRect(frame);
    }
}

// ---- Tile view ---------------------------------------------------------------------------------

std::vector<std::wstring> TGvViewTileItem::Lines(TGvItem* Item) const {
    std::vector<std::wstring> lines{Item->GetCaption()};
    TGvPaintInfoBaseItem* info = ItemInfo(Item);
    const int count = info ? std::min(Item->GetDetailCount(), info->GetTileDetailCount()) : 0;
    for (int i = 0; i < count; ++i) {
        // A detail naming column 0 (the caption itself) adds no line.
        const int column = Item->GetDetails(i);
        if (column > 0) lines.push_back(Item->GetCaptions(column));
    }
    return lines;
}

void TGvViewTileItem::CalcRects(TGvItem* Item, TGvColumn* Column, gcl::TCanvas* Canvas, TGvRectArrayObject& R) {
    if (!Item->GetInitialized()) Item->SetInitialized(true);
    R = TGvRectArrayObject{};
    TGvPaintInfoBaseItem* info = ItemInfo(Item);
    if (!info) return;
    R.BoundsRect = CellRect(Item, Column);
    gcl::InflateRect(R.BoundsRect, -1, -1);
    const TRect b = R.BoundsRect;
    R.CheckRect = CheckRectIn(info, b);
    R.StateRect = TRect{R.CheckRect.Right, b.Top, R.CheckRect.Right, b.Bottom};
    const gcl::TSize image = ImageSize(Item, Column, eikNormal);
    if (Item->GetImageIndex() >= 0 && image.cx > 0) {
        const int left = R.CheckRect.Right + info->GetImageIndent();
        const gcl::TSize fitted{std::min(image.cx, b.Height()), std::min(image.cy, b.Height())};
        const int top = b.Top + (b.Height() - fitted.cy) / 2;
        R.IconRect = TRect{left, top, left + fitted.cx, top + fitted.cy};
    } else {
        R.IconRect = TRect{R.CheckRect.Right, b.Top, R.CheckRect.Right, b.Bottom};
    }
    R.LabelRect = TRect{R.IconRect.Right + info->GetCaptionIndent(), b.Top, b.Right, b.Bottom};
    TRect area = R.LabelRect;
    gcl::InflateRect(area, -2, -2);
    // One line per caption, stacked; a line that would pass the bottom of
    // the text area is dropped.
    int top = area.Top;
    int widest = 0;
    if (Canvas) {
        const std::vector<std::wstring> lines = Lines(Item);
        for (size_t i = 0; i < lines.size(); ++i) {
            SetupFont(Item, 0, false, Canvas);
            gcl::TSize size{0, 0};
            TextExtentW(lines[i].empty() ? std::wstring(L" ") : lines[i], Canvas, size);
            if (top + size.cy > area.Bottom) break;
            const int width = std::min(size.cx, std::max(0, area.Width()));
            R.TextLines.push_back(TRect{area.Left, top, area.Left + width, top + size.cy});
            widest = std::max(widest, width);
            top += size.cy;
        }
    }
    const int height = top - area.Top;
    int shift = 0;
    switch (VAlignment(Item, Column)) {
    case cvaCenter:
        shift = (area.Height() - height) / 2;
        break;
    case cvaBottom:
        shift = area.Height() - height;
        break;
    default:
        break;
    }
    for (TRect& line : R.TextLines) gcl::OffsetRect(line, 0, shift);
    R.TextRect = TRect{area.Left, area.Top + shift, area.Left + widest, area.Top + shift + height};
    R.FullTextRect = R.TextRect;
    SelectionRects(R, R.TextRect);
    gcl::UnionRect(R.FocusInvalidRect, R.IconRect, R.SelectionRect);
    R.EditRect = R.TextLines.empty() ? R.TextRect : R.TextLines.front();
}

void TGvViewTileItem::PaintText(TGvItem* Item, TGvColumn* Column, const TGvRectArrayObject& R,
                                gcl::TCanvas* Canvas, int) {
    TGvPaintInfoBaseItem* info = ItemInfo(Item);
    if (R.TextLines.empty() || (info && info->GetHideCaption())) return;
    const std::vector<std::wstring> lines = Lines(Item);
    const bool selected = SelectedLook(Item, Column);
    for (size_t i = 0; i < R.TextLines.size() && i < lines.size(); ++i) {
        SetupFont(Item, 0, selected, Canvas);
        // Detail lines in the grey of secondary text unless selected.
        if (i > 0 && !selected) Canvas->GetFont()->SetColor(gcl::clGrayText);
        DrawCaption(Canvas, lines[i], R.TextLines[i], 1,
                    static_cast<TCommonDrawTextWFlags>(dtEndEllipsis | dtSingleLine | dtLeft | dtVCenter));
    }
}

} // namespace qelvo
