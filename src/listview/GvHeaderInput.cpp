// The header's mouse handling: hit tests, hot tracking, pressing and
// clicking columns (with the sort cycle), resizing by the column edge,
// check boxes, drop-down buttons, starting a column drag and the context
// menu.
#include "listview/GvInternal.h"

#include <cstdlib>

namespace qelvo {

using namespace gvdetail;

namespace {

TCommonKeyStates MessageKeys(const gcl::TMessage& Message) {
    return KeyStatesFromMK(static_cast<uint32_t>(Message.WParam));
}

gcl::TShiftState MessageShift(const gcl::TMessage& Message) {
    const auto keys = static_cast<uint32_t>(Message.WParam);
    gcl::TShiftState shift;
    if (keys & MK_SHIFT) shift.Include(gcl::ssShift);
    if (keys & MK_CONTROL) shift.Include(gcl::ssCtrl);
    if (keys & MK_LBUTTON) shift.Include(gcl::ssLeft);
    if (keys & MK_RBUTTON) shift.Include(gcl::ssRight);
    if (keys & MK_MBUTTON) shift.Include(gcl::ssMiddle);
    if (GetKeyState(VK_MENU) < 0) shift.Include(gcl::ssAlt);
    return shift;
}

// The drop-down button's state bits.
constexpr uint8_t DropDownHot = 0x01;
constexpr uint8_t DropDownPressed = 0x02;
constexpr uint8_t DropDownCaptured = 0x04;

void SetDropDownBits(TGvColumn* Column, uint8_t Bits, bool On) {
    if (!Column) return;
    uint8_t& state = Column->GetDropDownButton()->State;
    const uint8_t old = state;
    state = On ? static_cast<uint8_t>(state | Bits) : static_cast<uint8_t>(state & ~Bits);
    if (state != old) Column->Invalidate(false);
}

} // namespace

// ---- Hit tests ---------------------------------------------------------------------------------

bool TGvHeader::HitCheckBox(TPoint ViewPt, TGvColumn*& Column) const {
    Column = nullptr;
    TCustomGvListview* lv = FOwnerListview;
    if (!lv || !FColumns || !lv->GetPaintInfoColumn() || lv->GetPaintInfoColumn()->GetCheckType() == ectNone)
        return false;
    TGvColumn* column = FColumns->ColumnByPoint(ViewPt);
    if (!column || !column->GetVisible()) return false;
    TGvRectArrayObject r;
    lv->ColumnView()->CalcRects(column, nullptr, r);
    if (gcl::IsRectEmpty(r.CheckRect) || !gcl::PtInRect(r.CheckRect, ViewPt)) return false;
    Column = column;
    return true;
}

bool TGvHeader::HitDropDownButton(TPoint ViewPt, TGvColumn*& Column) const {
    Column = nullptr;
    TCustomGvListview* lv = FOwnerListview;
    if (!lv || !FColumns) return false;
    TGvColumn* column = FColumns->ColumnByPoint(ViewPt);
    if (!column || !column->GetVisible() || !column->GetDropDownButton()->GetVisible()) return false;
    TGvRectArrayObject r;
    lv->ColumnView()->CalcRects(column, nullptr, r);
    if (gcl::IsRectEmpty(r.DropDownRect) || !gcl::PtInRect(r.DropDownRect, ViewPt)) return false;
    Column = column;
    return true;
}

bool TGvHeader::HitClickableColumn(TPoint ViewPt, TGvColumn*& Column) const {
    Column = nullptr;
    for (auto it = FPositions.rbegin(); it != FPositions.rend(); ++it) {
        if ((*it)->GetVisible() && gcl::PtInRect((*it)->GetDisplayRect(), ViewPt)) {
            Column = *it;
            return Column->GetClickable();
        }
    }
    return false;
}

bool TGvHeader::HitResizeZone(TPoint ViewPt, TGvColumn*& Column) const {
    Column = nullptr;
    TCustomGvListview* lv = FOwnerListview;
    if (!FSizeable || !lv) return false;
    const int offsetX = lv->GetScrollbars() && FollowsHorizontalScroll() ? lv->GetScrollbars()->GetOffsetX() : 0;
    const int clientRight = ClientRectOf(lv).Width() + offsetX;
    const int height = GetHeight();
    for (auto it = FPositions.rbegin(); it != FPositions.rend(); ++it) {
        TGvColumn* column = *it;
        if (!column->GetVisible()) continue;
        const int right = column->GetDisplayRect().Right;
        if (ViewPt.X > right - 4 && ViewPt.X <= right + 4 && ViewPt.Y >= 1 && ViewPt.Y < height &&
            right <= clientRight) {
            Column = column;
            return true;
        }
    }
    return false;
}

bool TGvHeader::HitHotTrack(TPoint ViewPt, TGvColumn*& Column) const {
    Column = nullptr;
    TCustomGvListview* lv = FOwnerListview;
    if (!lv || !lv->GetPaintInfoColumn() || !lv->GetPaintInfoColumn()->GetHotTrack()) return false;
    const int offsetX = lv->GetScrollbars() && FollowsHorizontalScroll() ? lv->GetScrollbars()->GetOffsetX() : 0;
    TRect client = ClientRectOf(lv);
    gcl::OffsetRect(client, offsetX, 0);
    for (auto it = FPositions.rbegin(); it != FPositions.rend(); ++it) {
        if (!(*it)->GetVisible()) continue;
        TRect r = (*it)->GetDisplayRect();
        r.Right += 5;
        TRect clipped;
        if (gcl::IntersectRect(clipped, r, client) && gcl::PtInRect(clipped, ViewPt)) {
            Column = *it;
            return true;
        }
    }
    return FHotTrackColumn != nullptr;
}

// ---- Mouse state -------------------------------------------------------------------------------

bool TGvHeader::OwnsMouse(TPoint WindowPt) const {
    if (HoldsMouse()) return true;
    if (!Shown() || !FOwnerListview) return false;
    return WindowPt.X >= 0 && WindowPt.X < ClientRectOf(FOwnerListview).Width() && WindowPt.Y >= 0 &&
           WindowPt.Y < GetHeight();
}

TPoint TGvHeader::ViewPoint(TPoint WindowPt) const {
    TCustomGvListview* lv = FOwnerListview;
    if (lv && lv->GetScrollbars() && FollowsHorizontalScroll()) WindowPt.X += lv->GetScrollbars()->GetOffsetX();
    return WindowPt;
}

void TGvHeader::Capture() {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv || !lv->HandleAllocated()) return;
    SetCapture(lv->GetHandle());
    FStates.Include(ehsCaptured);
}

void TGvHeader::ReleaseMouse() {
    FStates.Exclude(ehsCaptured);
    TCustomGvListview* lv = FOwnerListview;
    if (lv && lv->HandleAllocated() && GetCapture() == lv->GetHandle()) ReleaseCapture();
}

void TGvHeader::SetCursor(gcl::TCursor Cursor) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv) return;
    lv->SetCursor(Cursor);
    if (gcl::Screen && lv->HandleAllocated()) ::SetCursor(gcl::Screen->GetCursors(Cursor));
}

void TGvHeader::ResetStates() {
    const bool checkPressed = FStates.Contains(ehsCheckPressed);
    FStates = TGvHeaderStates();
    if (checkPressed) FStates.Include(ehsCheckPressed);
    ReleaseMouse();
    // A hot-tracked column keeps the capture, so that it hears the mouse
    // leave the bar.
    if (FHotTrackColumn) Capture();
}

void TGvHeader::MouseTakenAway() {
    // Its own release clears ehsCaptured first; a column drag runs the
    // drag loop, which takes the capture on purpose.
    if (!FStates.Contains(ehsCaptured) || FStates.Contains(ehsDragging)) return;
    FStates.Exclude(ehsCaptured);
    TCustomGvListview* lv = FOwnerListview;
    if (TGvColumn* pressed = FPressedColumn) {
        pressed->SetClicking(false);
        pressed->Invalidate(false);
    }
    FPressedColumn = nullptr;
    if (FStates.Contains(ehsCheckPressed) && lv && lv->GetCheckManager()) {
        TGvCheckManager* checks = lv->GetCheckManager();
        if (TGvCollectionItem* pending = checks->GetPendingObject()) {
            pending->SetClicking(false);
            pending->SetCheckHot(false);
            checks->SetPendingObject(nullptr);
        }
    }
    if (FHotDropDownColumn) SetDropDownBits(FHotDropDownColumn, DropDownCaptured | DropDownPressed, false);
    const bool resizing = FStates.Contains(ehsResizing) || FStates.Contains(ehsResizeArmed);
    TGvColumn* resized = FStates.Contains(ehsResizing) ? FResizeColumn : nullptr;
    FStates = TGvHeaderStates();
    if (resizing) {
        FResizeColumn = nullptr;
        SetCursor(gcl::crDefault);
    }
    SetHotTrackColumn(nullptr);
    // A resize ends where the column was left.
    if (resized && lv && HasColumn(resized)) lv->DoColumnSizeChanged(resized);
}

void TGvHeader::Forget(TGvCollectionItem* Obj) noexcept {
    if (!Obj) return;
    if (FHotDropDownColumn == Obj) FHotDropDownColumn = nullptr;
    if (FHotTrackColumn == Obj) FHotTrackColumn = nullptr;
    if (FPressedColumn == Obj) FPressedColumn = nullptr;
    if (FResizeColumn == Obj) {
        FResizeColumn = nullptr;
        FStates.Exclude(ehsResizing);
        FStates.Exclude(ehsResizeArmed);
    }
}

void TGvHeader::SetHotTrackColumn(TGvColumn* Column) {
    if (Column == FHotTrackColumn) return;
    TGvColumn* old = FHotTrackColumn;
    FHotTrackColumn = Column;
    if (old) {
        old->SetHotTracking(false);
        if (!Column) ReleaseMouse();
        old->Invalidate(false);
    }
    if (Column) {
        Column->SetHotTracking(true);
        Capture();
        Column->Invalidate(false);
    }
}

void TGvHeader::UpdateHotTrack(TPoint ViewPt, bool Force) {
    if (Force) {
        SetHotTrackColumn(nullptr);
        return;
    }
    if (FHotDropDownColumn && (FHotDropDownColumn->GetDropDownButton()->State & DropDownCaptured)) return;
    if (FStates.Contains(ehsResizing) || FStates.Contains(ehsDragging) || FStates.Contains(ehsClickPending) ||
        FStates.Contains(ehsResizeArmed))
        return;
    TGvColumn* column = nullptr;
    HitHotTrack(ViewPt, column);
    SetHotTrackColumn(column);
}

void TGvHeader::SetHotDropDownColumn(TGvColumn* Column) {
    if (Column == FHotDropDownColumn) return;
    if (FHotDropDownColumn) SetDropDownBits(FHotDropDownColumn, DropDownHot | DropDownPressed | DropDownCaptured, false);
    FHotDropDownColumn = Column;
    if (Column) SetDropDownBits(Column, DropDownHot, true);
}

// ---- Messages -----------------------------------------------------------------------------------

void TGvHeader::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        Resize(static_cast<int>(LOWORD(static_cast<uintptr_t>(Message.LParam))));
        break;
    case WM_CONTEXTMENU:
        WMContextMenu(Message);
        break;
    case WM_LBUTTONDOWN:
        WMLButtonDown(Message);
        break;
    case WM_LBUTTONUP:
        WMLButtonUp(Message);
        break;
    case WM_LBUTTONDBLCLK:
        WMLButtonDblClk(Message);
        break;
    case WM_MOUSEMOVE:
        WMMouseMove(Message);
        break;
    case WM_RBUTTONDOWN:
        WMRButtonDown(Message);
        break;
    case WM_RBUTTONUP:
        WMRButtonUp(Message);
        break;
    default:
        inherited::Dispatch(Message);
        break;
    }
}

void TGvHeader::WMLButtonDown(gcl::TMessage& Message) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv) return;
    const TPoint windowPt = MessagePoint(Message);
    const TPoint pt = ViewPoint(windowPt);
    FStates.Include(ehsLeftDown);
    TGvColumn* column = nullptr;
    // The press resizes the column whose edge it lands on; an edge armed by
    // an earlier move elsewhere does not count.
    if (FStates.Contains(ehsResizeArmed) && (!HitResizeZone(pt, column) || column != FResizeColumn)) {
        SetCursor(gcl::crDefault);
        FResizeColumn = column;
        if (!column) FStates.Exclude(ehsResizeArmed);
        column = nullptr;
    }
    if (FStates.Contains(ehsResizeArmed)) {
        FStates.Exclude(ehsResizeArmed);
        FStates.Include(ehsResizing);
        Capture();
    } else if (HitCheckBox(pt, column)) {
        FStates.Include(ehsCheckPressed);
        if (lv->GetHotTrack()) lv->GetHotTrack()->SetPendingObjectCheck(nullptr);
        if (lv->GetCheckManager()) lv->GetCheckManager()->SetPendingObject(column);
        Capture();
    } else if (HitDropDownButton(pt, column) && column->GetDropDownButton()->GetEnabled()) {
        SetHotDropDownColumn(column);
        SetDropDownBits(column, DropDownCaptured | DropDownPressed, true);
        Capture();
    } else if (HitClickableColumn(pt, column)) {
        FPressedColumn = column;
        UpdateHotTrack(pt, true);
        Capture();
        FStates.Include(ehsClickPending);
        column->SetClicking(true);
        if (GetDraggable()) FStates.Include(ehsDragPending);
        column->Invalidate(false);
        lv->DoHeaderMouseDown(cmbLeft, MessageShift(Message), windowPt.X, windowPt.Y, column);
    }
}

void TGvHeader::WMMouseMove(gcl::TMessage& Message) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv) return;
    gcl::TComponentRef<TCustomGvListview> alive(lv);
    const TPoint windowPt = MessagePoint(Message);
    const TPoint pt = ViewPoint(windowPt);
    if (!FStates.Contains(ehsCaptured) && FHotTrackColumn) Capture();
    if (lv->GetPaintInfoColumn() && lv->GetPaintInfoColumn()->GetHotTrack()) UpdateHotTrack(pt, false);
    TGvColumn* checkHot = nullptr;
    bool keepDropDown = false;
    TGvColumn* column = nullptr;
    if (FStates.Contains(ehsResizing)) {
        if (TGvColumn* resizing = FResizeColumn) {
            const int newWidth = std::max(pt.X - resizing->GetDisplayRect().Left, 0);
            bool allow = true;
            lv->DoColumnSizeChanging(resizing, resizing->GetWidth(), newWidth, allow);
            if (!alive) return;
            if (allow && FResizeColumn == resizing) {
                resizing->SetWidth(newWidth);
                if (lv->GetGroups()) lv->GetGroups()->Rebuild(true);
            }
        }
        keepDropDown = true;
    } else if (FStates.Contains(ehsDragging)) {
        TCommonDropEffect effect = cdeNone;
        if (FDragManager) FDragManager->Drag(MessageKeys(Message), windowPt, TCommonDropEffects(), effect);
    } else if (FStates.Contains(ehsResizeArmed)) {
        // The pointer may jump from one edge straight to another: the armed
        // edge is always the one under it.
        if (!HitResizeZone(pt, column) || column != FResizeColumn) {
            FResizeColumn = nullptr;
            FStates.Exclude(ehsResizeArmed);
            ReleaseMouse();
            if (column) {
                bool allow = true;
                lv->DoColumnSizeChanging(column, column->GetWidth(), column->GetWidth(), allow);
                if (!alive) return;
                if (allow && HasColumn(column)) {
                    FStates.Include(ehsResizeArmed);
                    FResizeColumn = column;
                    Capture();
                    column = nullptr;
                }
            }
            if (!FStates.Contains(ehsResizeArmed)) {
                SetCursor(gcl::crDefault);
                // Hot tracking waited while the edge was armed; catch up.
                if (lv->GetPaintInfoColumn() && lv->GetPaintInfoColumn()->GetHotTrack()) UpdateHotTrack(pt, false);
                if (FHotTrackColumn) Capture();
            }
        }
    } else if (FStates.Contains(ehsDragPending) && FDragManager && FDragManager->GetEnabled()) {
        POINT screen{windowPt.X, windowPt.Y};
        if (lv->HandleAllocated()) ClientToScreen(lv->GetHandle(), &screen);
        if (lv->HandleAllocated() && DragDetectPlus(lv->GetHandle(), TPoint{screen.x, screen.y})) {
            FStates.Exclude(ehsDragPending);
            FStates.Exclude(ehsClickPending);
            FStates.Include(ehsDragging);
            TGvColumn* pressed = FPressedColumn;
            FDragManager->SetColumn(pressed);
            if (pressed) {
                pressed->SetClicking(false);
                pressed->Invalidate(false);
            }
            FPressedColumn = nullptr;
            // The system's drag loop takes the button release; the states
            // are put back when it returns.
            try {
                FDragManager->ExecuteDrag(windowPt, MessageKeys(Message));
            } catch (...) {
                FDragManager->SetColumn(nullptr);
                FStates = TGvHeaderStates();
                ReleaseMouse();
                throw;
            }
            FDragManager->SetColumn(nullptr);
            FStates.Exclude(ehsDragging);
            FStates.Exclude(ehsLeftDown);
            ResetStates();
        }
    } else if (FStates.Contains(ehsClickPending)) {
        // Like a push button, the pressed column shows pressed (and
        // clicks on release) only while the mouse is over it.
        if (TGvColumn* pressed = FPressedColumn) {
            const bool over = gcl::PtInRect(pressed->GetDisplayRect(), pt);
            if (over != pressed->GetClicking()) {
                pressed->SetClicking(over);
                pressed->Invalidate(false);
            }
        }
    } else {
        if (FHotDropDownColumn && (FHotDropDownColumn->GetDropDownButton()->State & DropDownCaptured)) {
            TGvColumn* over = nullptr;
            SetDropDownBits(FHotDropDownColumn, DropDownPressed,
                            HitDropDownButton(pt, over) && over == FHotDropDownColumn);
            keepDropDown = true;
        } else if (HitCheckBox(pt, column)) {
            checkHot = column;
        } else if (HitResizeZone(pt, column)) {
            bool allow = true;
            lv->DoColumnSizeChanging(column, column->GetWidth(), column->GetWidth(), allow);
            if (!alive) return;
            if (allow && HasColumn(column)) {
                ReleaseMouse();
                FStates.Include(ehsResizeArmed);
                FResizeColumn = column;
                SetCursor(crGvHeaderSplit);
                Capture();
            }
        } else if (HitDropDownButton(pt, column)) {
            SetHotDropDownColumn(column);
            keepDropDown = true;
        } else {
            SetCursor(gcl::crDefault);
            lv->DoHeaderMouseMove(MessageShift(Message), windowPt.X, windowPt.Y);
            if (!alive) return;
        }
    }
    if (FStates.Contains(ehsCheckPressed)) {
        TGvCollectionItem* pending = lv->GetCheckManager() ? lv->GetCheckManager()->GetPendingObject() : nullptr;
        TGvColumn* over = nullptr;
        if (pending) pending->SetClicking(HitCheckBox(pt, over) && over == pending);
    }
    if (TGvHotTrackManager* hot = lv->GetHotTrack()) {
        TGvCollectionItem* pending = lv->GetCheckManager() ? lv->GetCheckManager()->GetPendingObject() : nullptr;
        hot->SetPendingObjectCheck(checkHot != pending ? checkHot : nullptr);
    }
    if (!keepDropDown) SetHotDropDownColumn(nullptr);
}

void TGvHeader::WMLButtonUp(gcl::TMessage& Message) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv) return;
    // The events below may free columns, or the whole list view.
    gcl::TComponentRef<TCustomGvListview> alive(lv);
    const TPoint windowPt = MessagePoint(Message);
    const TPoint pt = ViewPoint(windowPt);
    const bool resizing = FStates.Contains(ehsResizing);
    const bool dragging = FStates.Contains(ehsDragging);
    TGvColumn* pressed = FPressedColumn;
    TGvColumn* dropDown = FHotDropDownColumn && (FHotDropDownColumn->GetDropDownButton()->State & DropDownCaptured)
                              ? FHotDropDownColumn
                              : nullptr;
    // Whatever happens in the events, the press is over: no pressed
    // column, no captured button, no capture (unless hot tracking needs it).
    FPressedColumn = nullptr;
    if (FStates.Contains(ehsCheckPressed)) {
        TGvCheckManager* checks = lv->GetCheckManager();
        TGvCollectionItem* pending = checks ? checks->GetPendingObject() : nullptr;
        TGvColumn* over = nullptr;
        FStates.Exclude(ehsCheckPressed);
        if (pending) {
            pending->SetClicking(false);
            pending->SetCheckHot(false);
            checks->SetPendingObject(nullptr);
        }
        if (HitCheckBox(pt, over) && over == pending) over->SetChecked(!over->GetChecked());
    } else if (resizing) {
        if (FResizeColumn) lv->DoColumnSizeChanged(FResizeColumn);
    } else if (!dropDown) {
        if (pressed && pressed->GetClicking()) {
            ColumnClick(pressed);
            if (HasColumn(pressed)) lv->DoColumnClick(cmbLeft, pressed);
        } else if (pressed) {
            pressed->Invalidate(false);
        }
    } else {
        const bool shownPressed = (dropDown->GetDropDownButton()->State & DropDownPressed) != 0;
        SetDropDownBits(dropDown, DropDownCaptured | DropDownPressed, false);
        if (shownPressed) {
            bool doDefault = true;
            lv->DoColumnDropDownButtonClick(dropDown, cmbLeft, MessageShift(Message), windowPt, doDefault);
            if (!alive) return;
            gcl::TPopupMenu* menu = HasColumn(dropDown) ? dropDown->GetDropDownButton()->GetMenu() : nullptr;
            if (doDefault && menu) {
                TGvRectArrayObject r;
                lv->ColumnView()->CalcRects(dropDown, nullptr, r);
                TPoint at{r.DropDownRect.Left, r.DropDownRect.Bottom};
                if (lv->GetScrollbars() && FollowsHorizontalScroll()) at.X -= lv->GetScrollbars()->GetOffsetX();
                if (lv->HandleAllocated()) at = lv->ClientToScreen(at);
                ReleaseMouse();
                menu->Popup(at.X, at.Y);
            }
        }
    }
    if (!alive) return;
    if (pressed && !HasColumn(pressed)) pressed = nullptr;
    if (pressed) {
        pressed->SetClicking(false);
        pressed->Invalidate(false);
    }
    if (!resizing && !dragging) lv->DoHeaderMouseUp(cmbLeft, MessageShift(Message), windowPt.X, windowPt.Y, pressed);
    if (!alive) return;
    FStates.Exclude(ehsLeftDown);
    FStates.Exclude(ehsResizing);
    FStates.Exclude(ehsClickPending);
    FStates.Exclude(ehsDragging);
    FStates.Exclude(ehsDragPending);
    FStates.Exclude(ehsCheckPressed);
    if (resizing) {
        FResizeColumn = nullptr;
        SetCursor(gcl::crDefault);
    }
    ResetStates();
}

bool TGvHeader::HasColumn(TGvColumn* Column) const {
    if (!Column || !FColumns) return false;
    for (int i = 0; i < FColumns->GetCount(); ++i)
        if (FColumns->GetColumns(i) == Column) return true;
    return false;
}

void TGvHeader::ColumnClick(TGvColumn* Column) {
    TCustomGvListview* lv = FOwnerListview;
    if (!Column || !lv) return;
    Column->SetClicking(false);
    if (!Column->GetAutoToggleSortGlyph()) return;
    {
        TListviewUpdate update(lv, true);
        TGvSelectionManager* selection = lv->GetSelection();
        TGvColumn* previous = selection ? selection->PeekFocusedColumn() : nullptr;
        if (selection) selection->SetFocusedColumn(Column);
        if (previous && previous != Column) previous->SetSortDirection(esdNone);
        switch (Column->GetSortDirection()) {
        case esdAscending:
            Column->SetSortDirection(esdDescending);
            break;
        default:
            Column->SetSortDirection(esdAscending);
            break;
        }
    }
    TGvSortManager* sort = lv->GetSort();
    const bool grouping = sort && sort->GetAutoRegroup() && lv->GetPaintInfoGroup() &&
                          lv->GetPaintInfoGroup()->GetMarginTop()->GetVisible();
    if (sort && !grouping && (sort->GetAutoSort() || Column->GetAutoSortOnClick()))
        sort->SortAll(Column->GetAutoSortOnClick());
}

void TGvHeader::WMLButtonDblClk(gcl::TMessage& Message) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv) return;
    const TPoint windowPt = MessagePoint(Message);
    const TPoint pt = ViewPoint(windowPt);
    TGvColumn* column = nullptr;
    if (FStates.Contains(ehsResizeArmed) && HitResizeZone(pt, column) && column->GetAutoSizeOnDblClk()) {
        column->AutoSizeToFit();
    } else {
        // Anywhere else the second click presses as the first did: a column
        // sorts again (the other way), a check box or a drop-down button
        // acts again.
        gcl::TComponentRef<TCustomGvListview> alive(lv);
        WMLButtonDown(Message);
        if (!alive) return;
    }
    lv->DoHeaderDblClick(cmbLeft, windowPt, MessageShift(Message));
    if (FColumns && (column = FColumns->ColumnByPoint(pt)) != nullptr) lv->DoColumnDblClick(cmbLeft, windowPt, column);
}

void TGvHeader::WMRButtonDown(gcl::TMessage& Message) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv) return;
    const TPoint windowPt = MessagePoint(Message);
    FStates.Include(ehsRightDown);
    TGvColumn* column = FColumns ? FColumns->ColumnByPoint(ViewPoint(windowPt)) : nullptr;
    lv->DoHeaderMouseDown(cmbRight, MessageShift(Message), windowPt.X, windowPt.Y, column);
}

void TGvHeader::WMRButtonUp(gcl::TMessage& Message) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv) return;
    const TPoint windowPt = MessagePoint(Message);
    for (TGvHeaderState s : {ehsRightDown, ehsResizing, ehsClickPending, ehsDragging, ehsDragPending})
        FStates.Exclude(s);
    TGvColumn* column = FColumns ? FColumns->ColumnByPoint(ViewPoint(windowPt)) : nullptr;
    lv->DoHeaderMouseUp(cmbRight, MessageShift(Message), windowPt.X, windowPt.Y, column);
}

void TGvHeader::WMContextMenu(gcl::TMessage& Message) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv) return;
    const TPoint screen = MessagePoint(Message);
    TPoint client = screen;
    if (lv->HandleAllocated()) client = lv->ScreenToClient(screen);
    const TPoint pt = ViewPoint(client);
    TGvHitInfoColumn hit;
    TGvColumn* column = nullptr;
    if (HitCheckBox(pt, column)) hit.HitInfo.Include(ectOnCheckbox);
    if (HitDropDownButton(pt, column)) hit.HitInfo.Include(ectOnDropDownButton);
    hit.Column = FColumns ? FColumns->ColumnByPoint(pt) : nullptr;
    if (hit.Column) hit.HitInfo.Include(ectOnLabel);
    gcl::TPopupMenu* menu = nullptr;
    lv->DoColumnContextMenu(hit, client, menu);
    if (!menu) menu = lv->GetPopupMenuHeader();
    if (menu) {
        menu->Popup(screen.X, screen.Y);
        Message.Result = 1;
    }
}

} // namespace qelvo
