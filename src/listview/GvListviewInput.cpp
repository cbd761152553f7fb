// The list view's input state machine: presses, releases and moves of the
// mouse (selection, check boxes, group buttons, drag detection, hot
// tracking), double clicks, keys, the wheel, the context menu, focus,
// scrolling, the Tab hand-over of editing and the worker results.
#include "listview/GvInternal.h"

#include "gcl/Forms.h"

namespace qelvo {

using namespace gvdetail;

namespace {

// The whole notches (WHEEL_DELTA units) of Rest plus Delta, taken out of
// Rest: the parts of a notch a fine wheel sends add up, and a turn the
// other way starts afresh.
int WholeNotches(int& Rest, int Delta) {
    if ((Rest < 0) != (Delta < 0)) Rest = 0;
    Rest += Delta;
    const int units = Rest / WHEEL_DELTA;
    Rest -= units * WHEEL_DELTA;
    return units;
}

TCommonKeyStates MessageKeyStates(const gcl::TMessage& M) {
    TCommonKeyStates states = KeyStatesFromMK(static_cast<uint32_t>(M.WParam));
    if (GetKeyState(VK_MENU) < 0) states.Include(cksAlt);
    return states;
}

bool AnyButton(TCommonKeyStates States) {
    return States.Contains(cksLButton) || States.Contains(cksMButton) || States.Contains(cksRButton);
}

// The states that losing the focus drops: pending and running drags.
constexpr uint16_t gcsDragStates = gcsItemDragPending | gcsItemDragging | gcsGclDragging | gcsRectSelectPending |
                                   gcsRectSelecting;

} // namespace

// ---- States and tests ----------------------------------------------------------------------

void TCustomGvListview::ClearStates() {
    FStates &= static_cast<uint16_t>(gcsScrolling | gcsDropTargetRegistered | gcsSuppressContextMenu);
    // A press of a check box that never saw its release leaves no pressed
    // box behind, themed or not.
    if (FCheckManager && FCheckManager->GetPendingObject()) {
        FCheckManager->GetPendingObject()->SetCheckHot(false);
        FCheckManager->SetPendingObject(nullptr);
    }
}

bool TCustomGvListview::IsOverHeader(TPoint WindowPoint, bool Force) {
    if (!FHeader) return false;
    // A running drag keeps the mouse, over the header too.
    if (!Force && ((FDragRectManager && FDragRectManager->Dragging()) || (FDragManager && FDragManager->Dragging()) ||
                   (FHeader->GetDragManager() && FHeader->GetDragManager()->Dragging())))
        return false;
    return FHeader->OwnsMouse(WindowPoint) || HasState(gcsHeaderCapture);
}

TGvHitInfoItem TCustomGvListview::ItemHitInfo(TGvItem* Item, TPoint ViewPoint) {
    TGvHitInfoItem info;
    if (!Item) return info;
    info.Item = Item;
    info.Group = Item->OwnerGroup();
    if (HeaderShown()) {
        for (TGvColumn* column : FHeader->Positions()) {
            const TRect c = column->GetDisplayRect();
            if (column->GetVisible() && ViewPoint.X >= c.Left && ViewPoint.X < c.Right) info.Column = column;
        }
    }
    Item->HitTestAt(ViewPoint, info.HitInfo);
    return info;
}

// ---- Mouse down ----------------------------------------------------------------------------

void TCustomGvListview::BeginDragDetect(TCommonKeyStates KeyStates, TPoint WindowPoint, bool AllowRect,
                                        bool AllowDrag) {
    SetFocusIfAllowed();
    if (HandleAllocated()) SetCapture(GetHandle());
    const TCommonMouseButton button = KeyStates.Contains(cksLButton)   ? cmbLeft
                                      : KeyStates.Contains(cksRButton) ? cmbRight
                                      : KeyStates.Contains(cksMButton) ? cmbMiddle
                                                                       : cmbNone;
    const bool band = AllowRect && FDragRectManager && FDragRectManager->DragStartTest(button, WindowPoint);
    const bool drag = AllowDrag && FDragManager && FDragManager->DragStartTest(button, WindowPoint);
    if (drag && FDragManager->GetDragItem()) {
        FStates |= gcsItemDragPending;
        if (FDragRectManager) FDragRectManager->CancelPending();
    } else if (band) {
        FStates |= gcsRectSelectPending;
        if (FDragManager) FDragManager->SetDragItem(nullptr);
    }
}

namespace {
// Whether Button may start a drag of Manager (or a band).
bool ButtonStarts(TCustomGvDragManagerBase* Manager, TCommonMouseButton Button) {
    return Manager && Manager->GetMouseButton().Contains(Button);
}
} // namespace

void TCustomGvListview::HandleMouseDown(TCommonMouseButton Button, gcl::TMessage& Msg) {
    const TCommonKeyStates keys = MessageKeyStates(Msg);
    const TPoint windowPt = MessagePoint(Msg);
    const TPoint pt = FScrollbars->MapWindowToView(windowPt);
    const bool ctrl = keys.Contains(cksControl);
    const bool shift = keys.Contains(cksShift);
    const bool buttonDown = AnyButton(keys);

    FGesturePath.clear();
    // A press after the click that asked for an edit gives that edit up
    // (it may fold the item's group or choose another item, which the
    // edit would then land on); a second click on the item asks anew.
    if (FEditManager) FEditManager->StopAutoEditTimer();
    // A press that can only start a rubber band.
    auto bandOnly = [&] {
        if (buttonDown && ButtonStarts(FDragRectManager, Button)) BeginDragDetect(keys, windowPt, true, false);
    };
    // A press of a check box: the box looks pressed until the release.
    auto pressCheck = [this](TGvCollectionItem* Obj) {
        FStates |= gcsCheckPending;
        FHotTrack->SetPendingObjectCheck(nullptr);
        FCheckManager->SetPendingObject(Obj);
    };
    TGvGroup* group = FGroups->GroupByPoint(pt);
    if (!group) {
        bandOnly();
        return;
    }
    TGvGroupHitTestInfoSet groupHit;
    group->HitTestAt(pt, groupHit);
    if (Button == cmbLeft && groupHit.Contains(egtOnExpandButton)) {
        const bool expanded = group->GetExpanded();
        bool allow = true;
        if (expanded)
            DoGroupCollapsing(group, allow);
        else
            DoGroupExpanding(group, allow);
        if (!allow) return;
        TListviewUpdate update(this);
        FStates |= gcsGroupToggled;
        // (A fold moves the focus past the group as the update ends.)
        group->SetExpanded(!expanded);
        return;
    }
    if (Button == cmbLeft && groupHit.Contains(egtOnCheckbox)) {
        pressCheck(group);
        return;
    }
    if (!group->GetExpanded()) {
        bandOnly();
        return;
    }
    TGvItem* item = group->ItemByPoint(pt);
    if (!item) {
        bandOnly();
        return;
    }
    TGvItemHitTestInfoSet hit;
    item->HitTestAt(pt, hit);
    bool doDefault = true;
    DoItemMouseDown(item, Button, doDefault);
    if (!doDefault) return;
    if (Button == cmbLeft && hit.Contains(ehtOnCheck)) {
        pressCheck(item);
        return;
    }
    if (!FSelection->GetEnabled()) {
        if (FSelection->GetUseFocusRect() && item->SelectionHitPt(pt)) FSelection->SetFocusedItem(item);
        return;
    }
    FSelection->Change([&] {
        if (!item->SelectionHitPt(pt)) {
            bandOnly();
        } else if (buttonDown && FSelection->GetMouseButton().Contains(Button)) {
            const bool armEdit = Button == cmbLeft && FSelection->GetCount() == 1 &&
                                 FSelection->GetFocusedItem() == item && item->GetSelected() &&
                                 FGroups->ItemEditable(item) && Focused();
            if (!FSelection->GetMultiSelect()) {
                if (!item->GetFocused()) FSelection->SetFocusedItem(item);
                FSelection->SetAnchorItem(item);
                FSelection->ClearAll();
            } else {
                if (!item->GetSelected() && !ctrl && !shift) FSelection->ClearAll();
                if (!item->GetFocused() && !ctrl) FSelection->SetFocusedItem(item);
                if (!shift) FSelection->SetAnchorItem(item);
                if (shift)
                    FSelection->SelectRange(FSelection->GetAnchorItem(), item, FSelection->GetRectSelect(), !ctrl);
            }
            // With Ctrl the item flips on release.
            if (!ctrl) item->SetSelected(true);
            if (buttonDown && (ButtonStarts(FDragManager, Button) || ButtonStarts(FDragRectManager, Button)))
                BeginDragDetect(keys, windowPt, true, item->CanDrag());
            if (armEdit && FEditManager) {
                FEditManager->SetClickPoint(windowPt);
                FEditManager->StartAutoEditTimer();
            }
        } else if (buttonDown && ButtonStarts(FDragManager, Button)) {
            BeginDragDetect(keys, windowPt, false, item->CanDrag());
        }
    });
}

// ---- Mouse up ------------------------------------------------------------------------------

void TCustomGvListview::EndDragging(TPoint) {
    if (HasState(gcsItemDragging)) {
        FStates &= static_cast<uint16_t>(~gcsItemDragging);
        if (FDragManager && FDragManager->Dragging()) FDragManager->DragEnd();
    }
    if (HasState(gcsRectSelecting)) {
        FStates &= static_cast<uint16_t>(~gcsRectSelecting);
        if (FDragRectManager) FDragRectManager->DragEnd();
    }
    ClearStates();
    if (HandleAllocated() && GetCapture() == GetHandle()) ReleaseCapture();
}

void TCustomGvListview::HandleMouseUp(TCommonMouseButton Button, gcl::TMessage& Msg) {
    bool gestureHandled = false;
    if (FGesture && FGesture->GetEnabled() && !FGesturePath.empty() &&
        !(FStates & (gcsItemDragging | gcsRectSelecting | gcsCheckPending | gcsGroupToggled))) {
        const std::wstring gesture = FGesturePath;
        DoMouseGesture(gesture, gestureHandled);
    }
    if (!(FStates & (gcsLeftButtonDown | gcsRightButtonDown | gcsMiddleButtonDown))) return;
    const TCommonKeyStates keys = MessageKeyStates(Msg);
    const TPoint windowPt = MessagePoint(Msg);
    const TPoint pt = FScrollbars->MapWindowToView(windowPt);
    if (HasState(gcsGroupToggled)) return;
    if (HasState(gcsCheckPending)) {
        TGvCollectionItem* pending = FCheckManager->GetPendingObject();
        if (auto* pendingGroup = dynamic_cast<TGvGroup*>(pending)) {
            TGvGroupHitTestInfoSet hit;
            if (FGroups->GroupByPoint(pt) == pendingGroup && pendingGroup->HitTestAt(pt, hit) &&
                hit.Contains(egtOnCheckbox))
                pendingGroup->SetChecked(!pendingGroup->GetChecked());
        } else if (auto* pendingItem = dynamic_cast<TGvItem*>(pending)) {
            TGvItemHitTestInfoSet hit;
            if (FGroups->ItemByPoint(pt) == pendingItem && pendingItem->HitTestAt(pt, hit) &&
                hit.Contains(ehtOnCheck))
                pendingItem->SetChecked(!pendingItem->GetChecked());
        }
        // The toggle's handlers may have freed the object.
        if (TGvCollectionItem* still = FCheckManager->GetPendingObject()) {
            still->SetCheckHot(false);
            FCheckManager->SetPendingObject(nullptr);
        }
        return;
    }
    if (HasState(gcsRectSelecting) || HasState(gcsItemDragging)) {
        if (!HasState(gcsGclDragging)) EndDragging(windowPt);
        return;
    }
    // A plain click, unless the gesture took it.
    if (gestureHandled) return;
    TGvItem* item = FGroups->ItemByPoint(pt);
    if (!item) {
        if (TGvGroup* group = FGroups->GroupByPoint(pt)) {
            TGvGroupHitTestInfoSet hit;
            group->HitTestAt(pt, hit);
            DoGroupClick(group, keys, hit);
        }
        FSelection->ClearAll();
        return;
    }
    bool doDefault = true;
    DoItemMouseUp(item, Button, doDefault);
    if (!doDefault) return;
    TGvItemHitTestInfoSet hit;
    item->HitTestAt(pt, hit);
    DoItemClick(item, keys, hit);
    // The click handler may have rebuilt the list.
    item = FGroups->ItemByPoint(pt);
    if (!item) return;
    if (!item->SelectionHitPt(pt)) {
        FSelection->ClearAll();
        return;
    }
    if (!FSelection->GetMultiSelect()) return;
    const bool ctrl = keys.Contains(cksControl);
    const bool shift = keys.Contains(cksShift);
    FSelection->BeginUpdate();
    try {
        if (!ctrl && !shift) {
            if (!(item->GetSelected() && Button != cmbLeft)) FSelection->ClearAllExcept(item);
        } else if (ctrl) {
            if (FEditManager) FEditManager->StopAutoEditTimer();
            if (!shift) item->SetSelected(!item->GetSelected());
            FSelection->SetFocusedItem(item);
        }
    } catch (...) {
        FSelection->EndUpdate();
        throw;
    }
    FSelection->EndUpdate();
}

// ---- Double click --------------------------------------------------------------------------

void TCustomGvListview::ButtonPress(bool Left, gcl::TMessage& Msg) {
    const TPoint windowPt = MessagePoint(Msg);
    FStates |= Left ? gcsLeftButtonDown : gcsRightButtonDown;
    SetFocusIfAllowed();
    if (!IsOverHeader(windowPt)) {
        inherited::Dispatch(Msg);
        HandleMouseDown(Left ? cmbLeft : cmbRight, Msg);
    }
    FLastMousePoint = windowPt;
}

bool TCustomGvListview::DoubleClickIsPress(bool Left, const gcl::TMessage& Msg) {
    const TPoint windowPt = MessagePoint(Msg);
    if (IsOverHeader(windowPt)) return false;
    const TPoint pt = FScrollbars->MapWindowToView(windowPt);
    TGvGroup* group = FGroups->GroupByPoint(pt);
    if (!group) return false;
    if (Left) {
        TGvGroupHitTestInfoSet groupHit;
        group->HitTestAt(pt, groupHit);
        if (groupHit.Contains(egtOnExpandButton) || groupHit.Contains(egtOnCheckbox)) return true;
    }
    TGvItem* item = group->GetExpanded() ? group->ItemByPoint(pt) : nullptr;
    if (!item) return false;
    if (!item->GetSelected()) return true;
    TGvItemHitTestInfoSet hit;
    item->HitTestAt(pt, hit);
    return Left && hit.Contains(ehtOnCheck);
}

void TCustomGvListview::HandleDblClick(TCommonMouseButton Button, gcl::TMessage& Msg) {
    const TPoint windowPt = MessagePoint(Msg);
    if (HeaderShown() && windowPt.Y < FHeader->RuntimeHeight()) return;
    const TPoint pt = FScrollbars->MapWindowToView(windowPt);
    DoDblClick(Button, windowPt, gcl::KeysToShiftState(static_cast<uint32_t>(Msg.WParam)));
    if (TGvItem* item = FGroups->ItemByPoint(pt)) {
        DoItemDblClick(Button, windowPt, ItemHitInfo(item, pt));
    } else if (TGvGroup* group = FGroups->GroupByPoint(pt)) {
        TGvHitInfoGroup info;
        info.Group = group;
        group->HitTestAt(pt, info.HitInfo);
        DoGroupDblClick(Button, windowPt, info);
    }
}

// ---- Mouse move ----------------------------------------------------------------------------

void TCustomGvListview::RecordGesture(TCommonKeyStates Keys, TPoint WindowPt) {
    if (!FGesture || !FGesture->GetEnabled()) return;
    const TCommonMouseButtons buttons = FGesture->GetButton();
    if (!((Keys.Contains(cksLButton) && buttons.Contains(cmbLeft)) ||
          (Keys.Contains(cksRButton) && buttons.Contains(cmbRight)) ||
          (Keys.Contains(cksMButton) && buttons.Contains(cmbMiddle))))
        return;
    const int dx = WindowPt.X - FLastMousePoint.X;
    const int dy = WindowPt.Y - FLastMousePoint.Y;
    const int tolerance = FGesture->GetTolerance();
    wchar_t direction = 0;
    if (dx > tolerance && std::abs(dy) < 2 * tolerance)
        direction = L'R';
    else if (-dx > tolerance && std::abs(dy) < 2 * tolerance)
        direction = L'L';
    else if (dy > tolerance && std::abs(dx) < 2 * tolerance)
        direction = L'D';
    else if (-dy > tolerance && std::abs(dx) < 2 * tolerance)
        direction = L'U';
    if (direction && (FGesturePath.empty() || FGesturePath.back() != direction)) FGesturePath += direction;
}

void TCustomGvListview::DragMove(TCommonKeyStates Keys, TPoint WindowPt) {
    TCommonDropEffect effect = cdeNone;
    if (HasState(gcsRectSelecting)) {
        if (FDragRectManager) FDragRectManager->Drag(Keys, WindowPt, TCommonDropEffects{}, effect);
        return;
    }
    if (HasState(gcsItemDragging)) {
        if (FDragManager && FDragManager->Dragging()) FDragManager->Drag(Keys, WindowPt, TCommonDropEffects{}, effect);
        return;
    }
    // A press waits for the pointer to leave the system's drag rectangle.
    POINT cursor{};
    GetCursorPos(&cursor);
    if (!HandleAllocated() || !DragDetectPlus(GetHandle(), TPoint{cursor.x, cursor.y})) return;
    GetCursorPos(&cursor);
    const TPoint now = ScreenToClient(TPoint{cursor.x, cursor.y});
    if (HasState(gcsItemDragPending)) {
        TGvItem* item = FGroups->ItemByPoint(FScrollbars->MapWindowToView(now));
        if (!item) {
            FSelection->ClearAll();
            FStates &= static_cast<uint16_t>(~gcsItemDragPending);
            if (FDragRectManager && FDragRectManager->GetEnabled()) FStates |= gcsRectSelectPending;
            return;
        }
        if (Keys.Contains(cksControl)) {
            item->SetSelected(true);
            FSelection->SetFocusedItem(item);
        }
        FStates |= gcsItemDragging;
        if (FDragManager->GetDragType() == edtGCL) FStates |= gcsGclDragging;
        FStates &= static_cast<uint16_t>(~gcsItemDragPending);
        if (FEditManager) FEditManager->StopAutoEditTimer();
        const bool right = Keys.Contains(cksRButton) && !Keys.Contains(cksLButton);
        // The OLE drag runs the system's loop inside this call; the class
        // library's drag goes on through CM_DRAG.
        gcl::TComponentRef<TCustomGvListview> alive(this);
        FDragManager->ExecuteDrag(WindowPt, Keys);
        if (!alive || HasState(gcsGclDragging)) return;
        if (right) FStates |= gcsSuppressContextMenu;
        SendMessageA(GetHandle(), right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, MAKELPARAM(now.X, now.Y));
        return;
    }
    if (HasState(gcsRectSelectPending) && FDragRectManager) {
        FStates |= gcsRectSelecting;
        FStates &= static_cast<uint16_t>(~gcsRectSelectPending);
        if (!Keys.Contains(cksControl) && !Keys.Contains(cksShift)) FSelection->ClearAll();
        if (FEditManager) FEditManager->StopAutoEditTimer();
        FDragRectManager->DragStart(nullptr, Keys, WindowPt);
        TCommonDropEffect effect2 = cdeNone;
        FDragRectManager->Drag(Keys, now, TCommonDropEffects{}, effect2);
    }
}

void TCustomGvListview::MouseMoveMessage(gcl::TMessage& Msg) {
    const TCommonKeyStates keys = MessageKeyStates(Msg);
    const TPoint windowPt = MessagePoint(Msg);
    RecordGesture(keys, windowPt);
    if (IsOverHeader(windowPt)) {
        FHotTrack->SetPendingObject(nullptr, windowPt);
        FLastMousePoint = windowPt;
        return;
    }
    if (!FHotTrack->GetHotObject() && GetCursor() != gcl::crDefault) SetCursor(gcl::crDefault);
    if (FStates & (gcsItemDragPending | gcsItemDragging | gcsRectSelectPending | gcsRectSelecting)) {
        DragMove(keys, windowPt);
        // The drag may have ended the control's existence in a handler; the
        // point is only stored while it still has its window.
        FLastMousePoint = windowPt;
        return;
    }
    HotTrackAt(windowPt);
    inherited::Dispatch(Msg);
    FLastMousePoint = windowPt;
}

void TCustomGvListview::HotTrackAt(TPoint WindowPt) {
    const TPoint pt = FScrollbars->MapWindowToView(WindowPt);
    TGvCollectionItem* candidate = nullptr;
    TGvItem* checkItem = nullptr;
    TGvGroup* group = FGroups->GroupByPoint(pt);
    if (group) {
        TGvGroupHitTestInfoSet hit;
        group->HitTestAt(pt, hit);
        const TGvHotTrackRectGroups track = FHotTrack->GetGroupTrack();
        if ((track.Contains(htgAnyWhere) && !hit.Empty()) || (track.Contains(htgIcon) && hit.Contains(egtOnIcon)) ||
            (track.Contains(htgText) && hit.Contains(egtOnText)) ||
            (track.Contains(htgTopMargin) && hit.Contains(egtOnHeader)) ||
            (track.Contains(htgBottomMargin) && hit.Contains(egtOnFooter)) ||
            (track.Contains(htgLeftMargin) && hit.Contains(egtOnLeftMargin)) ||
            (track.Contains(htgRightMargin) && hit.Contains(egtOnRightMargin)))
            candidate = group;
    }
    if (!candidate && group && group->GetExpanded()) {
        if (TGvItem* item = group->ItemByPoint(pt)) {
            TGvItemHitTestInfoSet hit;
            item->HitTestAt(pt, hit);
            if (hit.Contains(ehtOnCheck)) {
                checkItem = item;
            } else {
                const TGvHotTrackRectItems track = FHotTrack->GetItemTrack();
                if (track.Contains(htiAnyWhere) || (track.Contains(htiIcon) && hit.Contains(ehtOnIcon)) ||
                    (track.Contains(htiText) && hit.Contains(ehtOnText)))
                    candidate = item;
            }
        }
    }
    if (HasState(gcsCheckPending)) {
        if (TGvCollectionItem* pending = FCheckManager->GetPendingObject()) {
            TGvCollectionItem* under = FGroups->ItemByPoint(pt);
            if (!under) under = group;
            pending->SetCheckHot(under == pending);
        }
    } else {
        const bool inside = gcl::PtInRect(ClientRectOf(this), WindowPt);
        auto* candidateItem = dynamic_cast<TGvItem*>(candidate);
        if (FHotTrack->GetOnlyFocused() && !Focused())
            FHotTrack->SetPendingObject(nullptr, WindowPt);
        else if (inside && candidate && (!candidateItem || candidateItem->GetEnabled()))
            FHotTrack->SetPendingObject(candidate, WindowPt);
        else
            FHotTrack->SetPendingObject(nullptr, WindowPt);
        FHotTrack->SetPendingObjectCheck(checkItem);
    }
}

void TCustomGvListview::HotTrackAtPointer() {
    if (!HandleAllocated() || IsDestroying() || GetUpdateCount() > 0) return;
    if (FStates & (gcsLeftButtonDown | gcsRightButtonDown | gcsMiddleButtonDown | gcsItemDragPending |
                   gcsItemDragging | gcsRectSelectPending | gcsRectSelecting | gcsCheckPending | gcsHeaderCapture))
        return;
    if (FHeader && FHeader->HoldsMouse()) return;
    POINT screen{};
    if (!GetCursorPos(&screen)) return;
    POINT client = screen;
    ::ScreenToClient(GetHandle(), &client);
    const TPoint windowPt{client.x, client.y};
    // Over the list's entries: not over another window in front of it, one
    // of its own (an editor), its scroll bars or its header.
    const bool over = WindowFromPoint(screen) == GetHandle() && gcl::PtInRect(ClientRectOf(this), windowPt);
    if (over && !IsOverHeader(windowPt)) {
        HotTrackAt(windowPt);
    } else {
        FHotTrack->SetPendingObject(nullptr, windowPt);
        FHotTrack->SetPendingObjectCheck(nullptr);
    }
}

// ---- Keys ----------------------------------------------------------------------------------

namespace {
// The first (last) item laid out in the view: items of collapsed or hidden
// groups have no place to move to.
TGvItem* LaidOutItem(const TGvGroups* Groups, bool First) {
    const int n = Groups->GetCount();
    for (int g = First ? 0 : n - 1; First ? g < n : g >= 0; g += First ? 1 : -1) {
        const TGvGroup* group = Groups->GetGroups(g);
        if (const int count = group->VisibleItemCount(); count > 0) return group->VisibleItem(First ? 0 : count - 1);
    }
    return nullptr;
}
} // namespace

void TCustomGvListview::MoveFocusTo(TGvItem* Target, gcl::TShiftState Shift) {
    TGvItem* focused = FSelection->GetFocusedItem();
    if (!Target || Target == focused) return;
    // Nothing is painted until the focus has moved and the item is in view.
    SuspendPainting();
    try {
        if (Shift.Contains(gcl::ssCtrl)) {
            FSelection->SetFocusedItem(Target);
        } else if (!Shift.Contains(gcl::ssShift) || !FSelection->GetAnchorItem()) {
            FSelection->ClearAll();
            FSelection->SetFocusedItem(Target);
            Target->SetSelected(true);
            if (!Shift.Contains(gcl::ssShift)) FSelection->SetAnchorItem(Target);
        } else {
            FSelection->SelectRange(FSelection->GetAnchorItem(), Target, FSelection->GetRectSelect(), true);
            FSelection->SetFocusedItem(Target);
            Target->SetSelected(true);
        }
        if (TGvItem* now = FSelection->GetFocusedItem()) now->MakeVisible(emvAuto);
    } catch (...) {
        ResumePainting();
        throw;
    }
    ResumePainting();
    InvalidateView();
    // The move may have scrolled other entries under a resting pointer.
    HotTrackAtPointer();
}

void TCustomGvListview::HandleKeyDown(uint16_t CharCode, gcl::TShiftState Shift) {
    const bool ctrl = Shift.Contains(gcl::ssCtrl);
    const bool noSelection = !FSelection->GetEnabled() && !FSelection->GetUseFocusRect();
    FSelection->BeginUpdate();
    try {
        switch (CharCode) {
        case VK_ESCAPE:
            for (int g = 0; g < FGroups->GetCount(); ++g) {
                TGvGroup* group = FGroups->GetGroups(g);
                for (int i = 0; i < group->ItemCount(); ++i) group->GetItem(i)->SetCut(false);
            }
            InvalidateView();
            break;
        case VK_SPACE:
            if (TGvItem* item = FSelection->GetFocusedItem()) {
                auto* info = dynamic_cast<TGvPaintInfoBaseItem*>(item->PaintInfo());
                if (info && (info->GetCheckType() == ectBox || info->GetCheckType() == ectRadio))
                    item->SetChecked(!item->GetChecked());
            }
            break;
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: {
            if (noSelection) {
                const TRect client = ClientRectOf(this);
                switch (CharCode) {
                case VK_PRIOR: FScrollbars->SetOffsetY(FScrollbars->GetOffsetY() - client.Height()); break;
                case VK_NEXT: FScrollbars->SetOffsetY(FScrollbars->GetOffsetY() + client.Height()); break;
                case VK_END:
                    FScrollbars->SetOffsetX(FScrollbars->MaxOffsetX());
                    FScrollbars->SetOffsetY(FScrollbars->MaxOffsetY());
                    break;
                case VK_HOME:
                    FScrollbars->SetOffsetX(0);
                    FScrollbars->SetOffsetY(0);
                    break;
                case VK_LEFT: FScrollbars->SetOffsetX(FScrollbars->GetOffsetX() - 1); break;
                case VK_RIGHT: FScrollbars->SetOffsetX(FScrollbars->GetOffsetX() + 1); break;
                case VK_UP: FScrollbars->SetOffsetY(FScrollbars->GetOffsetY() - 1); break;
                default: FScrollbars->SetOffsetY(FScrollbars->GetOffsetY() + 1); break;
                }
                break;
            }
            // Only items laid out in an expanded group take part: a focused
            // item in a group collapsed meanwhile counts as none.
            TGvItem* focused = FSelection->GetFocusedItem();
            if (focused && (!focused->GetVisible() || focused->GetVisibleIndexInGroup() < 0)) focused = nullptr;
            if (!focused) {
                if (TGvItem* first = LaidOutItem(FGroups, true)) {
                    FSelection->SetFocusedItem(first);
                    first->MakeVisible(emvAuto);
                }
                break;
            }
            TGvItem* target = nullptr;
            switch (CharCode) {
            case VK_PRIOR: target = FGroups->AdjacentItem(focused, adjPageUp); break;
            case VK_NEXT: target = FGroups->AdjacentItem(focused, adjPageDown); break;
            case VK_END: target = LaidOutItem(FGroups, false); break;
            case VK_HOME: target = LaidOutItem(FGroups, true); break;
            case VK_LEFT: target = FGroups->AdjacentItem(focused, adjLeft); break;
            case VK_RIGHT: target = FGroups->AdjacentItem(focused, adjRight); break;
            case VK_UP: target = FGroups->AdjacentItem(focused, adjUp); break;
            default:
                target = FGroups->AdjacentItem(focused, adjDown);
                if (!target && FSelection->GetCount() == 0 && FItems->GetCount() == 1) {
                    FSelection->SetFocusedItem(nullptr);
                    target = LaidOutItem(FGroups, true);
                }
                break;
            }
            MoveFocusTo(target, Shift);
            break;
        }
        case 'A':
            if (ctrl) FSelection->SelectAll();
            break;
        case 'C':
            if (ctrl) ClipboardCopyCommand();
            break;
        case 'X':
            if (ctrl) ClipboardCutCommand();
            break;
        case 'V':
            if (ctrl) ClipboardPasteCommand();
            break;
        case VK_ADD:
            if (ctrl) AutoFitAllCells(true);
            break;
        case VK_F2:
            if (TGvItem* item = FSelection->GetFocusedItem(); item && FEditManager)
                FEditManager->BeginEdit(item, nullptr);
            break;
        default:
            break;
        }
    } catch (...) {
        FSelection->EndUpdate();
        throw;
    }
    FSelection->EndUpdate();
}

// ---- Wheel ---------------------------------------------------------------------------------

bool TCustomGvListview::DoMouseWheel(gcl::TShiftState Shift, int WheelDelta, TPoint MousePos) {
    UINT lines = 3;
    if (!SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) lines = 3;
    inherited::DoMouseWheel(Shift, WheelDelta, MousePos);
    bool vertical = FWheelMouseDefaultScroll == edwsVert;
    bool page = lines == WHEEL_PAGESCROLL;
    if (FWheelMouseScrollModifierEnabled) {
        if (Shift.Contains(gcl::ssShift)) vertical = !vertical;
        if (Shift.Contains(gcl::ssCtrl)) page = true;
    }
    // A notch scrolls the lines of the system's setting (a cell across),
    // a page with Ctrl; a delta of several notches scrolls them all, and
    // the parts of a notch a fine wheel sends add up until they make a
    // line. A turn the other way starts afresh.
    const int perNotch = page || !vertical ? 1 : static_cast<int>(std::min<UINT>(lines, 100));
    const int units = WholeNotches(FWheelRest, WheelDelta * perNotch);
    if (units == 0) return true;
    int unit;
    if (page) {
        const TRect client = ClientRectOf(this);
        unit = vertical ? client.Height() - FHeader->RuntimeHeight() : client.Width();
    } else {
        unit = vertical ? FGroups->CellHeight() : FGroups->CellWidth();
    }
    const int step = unit * units;
    if (vertical)
        FScrollbars->Scroll(0, -step);
    else
        FScrollbars->Scroll(-step, 0);
    return true;
}

// ---- Context menu --------------------------------------------------------------------------

void TCustomGvListview::ContextMenuMessage(gcl::TMessage& Msg) {
    if (FEditManager && FEditManager->Editing()) {
        DefaultHandler(Msg);
        return;
    }
    if (FGesture && FGesture->GetEnabled() && !FGesturePath.empty()) {
        // The right button drew a gesture: no menu.
        FGesturePath.clear();
        DefaultHandler(Msg);
        FStates &= static_cast<uint16_t>(~gcsSuppressContextMenu);
        return;
    }
    if (HasState(gcsSuppressContextMenu)) {
        FStates &= static_cast<uint16_t>(~gcsSuppressContextMenu);
        Msg.Result = 1;
        return;
    }
    const TPoint screenPt = MessagePoint(Msg);
    const bool keyboard = screenPt.X == -1 && screenPt.Y == -1;
    TPoint windowPt{0, 0};
    gcl::TPopupMenu* menu = nullptr;
    bool handled = false;
    if (keyboard) {
        if (TGvItem* item = FSelection->First()) {
            // The menu belongs to the first selected item and opens at its
            // corner, which is brought on screen first: a list scrolled
            // away from it would open the menu outside the window. While
            // its group is collapsed the item does not show (its place
            // is another row's now), and the group's corner stands for it.
            TGvGroup* group = item->OwnerGroup();
            TRect place;
            if (group && !group->GetExpanded()) {
                place = group->GetDisplayRect();
                const TRect client = GetClientRect();
                const int rows = client.Height() - (GetHeader() ? GetHeader()->RuntimeHeight() : 0);
                const int top = FScrollbars->GetOffsetY(), left = FScrollbars->GetOffsetX();
                if (place.Top < top || place.Bottom > top + rows) FScrollbars->SetOffsetY(place.Top);
                if (place.Left < left || place.Left >= left + client.Width()) FScrollbars->SetOffsetX(place.Left);
            } else {
                item->MakeVisible(emvAuto);
                place = item->GetDisplayRect();
            }
            windowPt = FScrollbars->MapViewToWindow(TPoint{place.Left, place.Top});
            TGvHitInfoItem info;
            info.Item = item;
            info.Group = item->OwnerGroup();
            DoItemContextMenu(info, windowPt, menu, handled);
            // The general event and PopupMenu below take the item's corner
            // as the menu point, not the client origin that a request from
            // the keyboard otherwise stands for.
            const TPoint at = ClientToScreen(windowPt);
            Msg.LParam = static_cast<intptr_t>(MAKELPARAM(static_cast<short>(at.X), static_cast<short>(at.Y)));
        }
    } else {
        windowPt = ScreenToClient(screenPt);
        if (IsOverHeader(windowPt)) {
            FStates &= static_cast<uint16_t>(~gcsSuppressContextMenu);
            return;
        }
        const TPoint pt = FScrollbars->MapWindowToView(windowPt);
        if (TGvItem* item = FGroups->ItemByPoint(pt)) DoItemContextMenu(ItemHitInfo(item, pt), windowPt, menu, handled);
        if (!menu) {
            if (TGvGroup* group = FGroups->GroupByPoint(pt)) {
                TGvHitInfoGroup info;
                info.Group = group;
                group->HitTestAt(pt, info.HitInfo);
                DoGroupContextMenu(info, windowPt, menu, handled);
            }
        }
    }
    if (menu) {
        if (!handled) DoContextPopup(windowPt, handled);
        const TPoint at = ClientToScreen(windowPt);
        menu->SetPopupComponent(this);
        menu->Popup(at.X, at.Y);
        Msg.Result = 1;
    } else if (handled) {
        Msg.Result = 1;
    } else {
        // The general event and the control's PopupMenu.
        inherited::Dispatch(Msg);
    }
    FStates &= static_cast<uint16_t>(~gcsSuppressContextMenu);
}

// ---- Hints ---------------------------------------------------------------------------------

void TCustomGvListview::HintShowMessage(gcl::TMessage& Msg) {
    auto* info = reinterpret_cast<gcl::THintInfo*>(Msg.LParam);
    if (!info || !FHintData) {
        inherited::Dispatch(Msg);
        return;
    }
    const TPoint pt = FScrollbars->MapWindowToView(info->CursorPos);
    TGvCollectionItem* target = nullptr;
    TGvItem* item = FGroups->ItemByPoint(pt);
    TGvGroup* group = nullptr;
    TGvItemHitTestInfoSet hit;
    if (item && item->HitTestAt(pt, hit) && hit.Contains(ehtOnClickSelectBounds)) {
        target = item;
    } else {
        item = nullptr;
        group = FGroups->GroupByPoint(pt);
        target = group;
    }
    std::wstring text = gcl::AnsiToWide(GetHint());
    int hide = info->HideTimeout;
    int reshow = info->ReshowTimeout;
    bool allow = false;
    DoHintPopup(target, FHintType, info->CursorPos, text, hide, reshow, allow);
    allow = allow && !text.empty();
    info->HintMaxWidth = GetSystemMetrics(SM_CXSCREEN);
    if (FHintType == ehtToolTip) {
        // A tool tip shows a caption that does not fit, never a group's.
        allow = false;
        if (item && item != FSelection->GetFocusedItem()) {
            TGvRectArrayObject R;
            item->RectArray(nullptr, R);
            gcl::TSize size{0, 0};
            if (gcl::TCanvas* canvas = HandleAllocated() ? GetCanvas() : nullptr) {
                ReportItemView()->SetupFont(item, 0, false, canvas);
                TextExtentW(item->GetCaption(), canvas, size);
            }
            if (size.cx > R.TextRect.Width() || size.cy > R.TextRect.Height()) {
                allow = true;
                text = item->GetCaption();
            }
        }
    }
    if (!allow) {
        Msg.Result = 1;
        return;
    }
    TRect cursorRect = info->CursorRect;
    if (item) {
        cursorRect = FScrollbars->MapViewRectToWindowRect(item->GetDisplayRect());
    } else if (group) {
        for (const TRect& margin : {group->MarginRectRight(), group->MarginRectLeft(), group->MarginRectTop(),
                                    group->MarginRectBottom()}) {
            if (gcl::PtInRect(margin, pt)) {
                cursorRect = FScrollbars->MapViewRectToWindowRect(margin);
                break;
            }
        }
    }
    FHintData->Listview = this;
    FHintData->TargetObj = target;
    FHintData->HintType = FHintType;
    FHintData->CursorPos = info->CursorPos;
    FHintData->Text = text;
    FHintData->CursorRect = cursorRect;
    info->HintWindowClass = TGvHintWindow::StaticClass();
    info->HintData = FHintData.get();
    // The platform shows a hint only for a text that is not empty.
    info->HintStr = text.empty() ? std::string("Dummy") : gcl::WideToAnsi(text);
    info->CursorRect = cursorRect;
    info->HideTimeout = hide;
    info->ReshowTimeout = reshow;
    inherited::Dispatch(Msg);
}

// ---- Message dispatch ----------------------------------------------------------------------

bool TCustomGvListview::DispatchInput(gcl::TMessage& Msg) {
    switch (Msg.Msg) {
    case WM_ERASEBKGND:
        // Everything is painted through the off-screen bitmap.
        Msg.Result = 1;
        return true;
    case WM_NCCALCSIZE:
        WMNCCalcSize(Msg);
        return true;
    case WM_NCPAINT:
        WMNCPaint(Msg);
        return true;
    case WM_WINDOWPOSCHANGING: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(Msg.LParam);
        // The window's own size: the control's bounds may already hold the new one.
        RECT window{};
        if (HandleAllocated()) GetWindowRect(GetHandle(), &window);
        const int oldWidth = window.right - window.left;
        const int oldHeight = window.bottom - window.top;
        const bool sized = pos && !(pos->flags & SWP_NOSIZE) && (pos->cx != oldWidth || pos->cy != oldHeight);
        const int dx = sized ? pos->cx - oldWidth : 0;
        const int dy = sized ? pos->cy - oldHeight : 0;
        inherited::Dispatch(Msg);
        if (sized && !IsDestroying()) DoResize(dx, dy);
        return true;
    }
    case WM_WINDOWPOSCHANGED: {
        inherited::Dispatch(Msg);
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(Msg.LParam);
        if (pos && !(pos->flags & SWP_NOSIZE) && !IsDestroying()) {
            FGroups->Rebuild(true);
            FScrollbars->ReCalculateScrollbars(true, false);
            GrowBufferBitmap(GetClientWidth(), GetClientHeight());
            if (FEditManager) FEditManager->OwnerResized();
        }
        return true;
    }
    case WM_GETDLGCODE:
        inherited::Dispatch(Msg);
        Msg.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS;
        return true;
    case WM_SYSKEYDOWN:
        // A key the user presses after the click (Alt to the menus, Down
        // to the next item) gives up the edit the click asked for.
        if (FEditManager) FEditManager->StopAutoEditTimer();
        inherited::Dispatch(Msg);
        return true;
    case WM_KEYDOWN: {
        if (FEditManager) FEditManager->StopAutoEditTimer();
        inherited::Dispatch(Msg);
        uint16_t key = static_cast<uint16_t>(Msg.WParam);
        if (HasState(gcsRectSelecting)) {
            // Keys scroll under a running band.
            if (FDragRectManager) FDragRectManager->KeyScroll(key);
            return true;
        }
        if (FIncrementalSearch) FIncrementalSearch->HandleKeyDown();
        gcl::TShiftState shift = gcl::KeyMessageShiftState(Msg.WParam, Msg.LParam);
        bool doDefault = true;
        DoKeyAction(key, shift, doDefault);
        if (doDefault && key != 0) HandleKeyDown(key, shift);
        return true;
    }
    case WM_CHAR:
        inherited::Dispatch(Msg);
        // Typed characters find items.
        if (FIncrementalSearch) FIncrementalSearch->KeyPress(Msg);
        return true;
    case WM_SETFOCUS:
        inherited::Dispatch(Msg);
        InvalidateView();
        return true;
    case WM_KILLFOCUS:
        // The keyboard going elsewhere (a dialog, another control) gives
        // up the edit a click asked for; it does not come back with it.
        if (FEditManager) FEditManager->StopAutoEditTimer();
        inherited::Dispatch(Msg);
        if (FHotTrack && FHotTrack->GetOnlyFocused()) FHotTrack->SetPendingObject(nullptr, TPoint{});
        InvalidateView();
        FStates &= static_cast<uint16_t>(~gcsDragStates);
        return true;
    case WM_HSCROLL:
    case WM_VSCROLL:
        inherited::Dispatch(Msg);
        if (LOWORD(static_cast<uintptr_t>(Msg.WParam)) == SB_ENDSCROLL)
            FStates &= static_cast<uint16_t>(~gcsScrolling);
        else
            FStates |= gcsScrolling;
        if (Msg.Msg == WM_VSCROLL)
            FScrollbars->WMVScroll(Msg);
        else
            FScrollbars->WMHScroll(Msg);
        InvalidateView();
        return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        ButtonPress(Msg.Msg == WM_LBUTTONDOWN, Msg);
        return true;
    case WM_MBUTTONDOWN:
        FStates |= gcsMiddleButtonDown;
        SetFocusIfAllowed();
        inherited::Dispatch(Msg);
        HandleMouseDown(cmbMiddle, Msg);
        FLastMousePoint = MessagePoint(Msg);
        return true;
    case WM_LBUTTONUP: {
        const bool gclDragging = HasState(gcsGclDragging);
        if (!IsOverHeader(MessagePoint(Msg))) {
            if (!gclDragging) FStates &= static_cast<uint16_t>(~(gcsItemDragPending | gcsRectSelectPending));
            inherited::Dispatch(Msg);
            HandleMouseUp(cmbLeft, Msg);
            if (HandleAllocated() && GetCapture() == GetHandle()) ReleaseCapture();
        }
        if (!gclDragging) ClearStates();
        return true;
    }
    case WM_RBUTTONUP:
        if (!IsOverHeader(MessagePoint(Msg))) {
            if (FStates & (gcsItemDragging | gcsGclDragging | gcsRectSelecting)) FStates |= gcsSuppressContextMenu;
            HandleMouseUp(cmbRight, Msg);
            FStates &= static_cast<uint16_t>(~(gcsItemDragPending | gcsRectSelectPending));
            inherited::Dispatch(Msg);
            if (HandleAllocated() && GetCapture() == GetHandle()) ReleaseCapture();
        } else {
            inherited::Dispatch(Msg);
        }
        ClearStates();
        return true;
    case WM_MBUTTONUP:
        HandleMouseUp(cmbMiddle, Msg);
        FStates &= static_cast<uint16_t>(~(gcsItemDragPending | gcsRectSelectPending));
        inherited::Dispatch(Msg);
        if (HandleAllocated() && GetCapture() == GetHandle()) ReleaseCapture();
        ClearStates();
        return true;
    case WM_LBUTTONDBLCLK:
        if (FEditManager) FEditManager->StopEdit();
        if (DoubleClickIsPress(true, Msg)) {
            ButtonPress(true, Msg);
            return true;
        }
        inherited::Dispatch(Msg);
        HandleDblClick(cmbLeft, Msg);
        return true;
    case WM_RBUTTONDBLCLK:
        if (DoubleClickIsPress(false, Msg)) {
            ButtonPress(false, Msg);
            return true;
        }
        [[fallthrough]];
    case WM_MBUTTONDBLCLK:
        inherited::Dispatch(Msg);
        HandleDblClick(Msg.Msg == WM_RBUTTONDBLCLK ? cmbRight : cmbMiddle, Msg);
        return true;
    case WM_MOUSEMOVE:
        MouseMoveMessage(Msg);
        return true;
    case WM_MOUSEHWHEEL: {
        // The wheel tilted sideways scrolls across a cell a notch, as
        // Shift with the wheel does: a tilt right (a positive delta) as a
        // turn down. Its point is on the screen, so it goes to no child.
        const int units = WholeNotches(FTiltRest, GET_WHEEL_DELTA_WPARAM(Msg.WParam));
        if (units != 0) FScrollbars->Scroll(FGroups->CellWidth() * units, 0);
        Msg.Result = 0;
        return true;
    }
    case WM_CAPTURECHANGED:
        inherited::Dispatch(Msg);
        if (FHeader && reinterpret_cast<HWND>(Msg.LParam) != GetHandle()) FHeader->MouseTakenAway();
        return true;
    case gcl::CM_MOUSELEAVE:
        // The pointer may leave in one move, with no move over the list on
        // the way: what it lit goes dark now.
        inherited::Dispatch(Msg);
        HotTrackAtPointer();
        return true;
    case WM_MOUSEACTIVATE:
        DefaultHandler(Msg);
        if (FEditManager && FEditManager->Editing()) {
            Msg.Result = MA_NOACTIVATE;
        } else {
            SetFocusIfAllowed();
            Msg.Result = MA_ACTIVATE;
        }
        return true;
    case WM_CONTEXTMENU:
        ContextMenuMessage(Msg);
        return true;
    case WM_CLOSE:
        if (FEditManager) FEditManager->StopEdit();
        DefaultHandler(Msg);
        return true;
    case WM_DESTROY:
        if (FEditManager) FEditManager->StopEdit();
        inherited::Dispatch(Msg);
        return true;
    case gcl::CM_HINTSHOW:
        HintShowMessage(Msg);
        return true;
    case gcl::CM_HINTSHOWPAUSE:
        if (auto* pause = reinterpret_cast<int*>(Msg.LParam)) DoHintPauseTime(Msg.WParam != 0, *pause);
        inherited::Dispatch(Msg);
        return true;
    case GvMsgThreadCallBack:
        DoThreadCallBack(Msg);
        return true;
    case GvMsgEditContinue:
        if (FEditManager) FEditManager->ContinueAfterTab();
        return true;
    default:
        return false;
    }
}

} // namespace qelvo
