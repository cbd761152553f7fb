// Views: the viewer list and its upkeep from the items' change
// notifications, queries, selection, keyboard and accelerators, the end of
// a modal menu, view timers, scrolling, painting and the toolbar font.
#include "toolbar/BarItem.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "gcl/Forms.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

using gcl::is;

using gcl::TCanvas;
using gcl::TComponent;
using gcl::TPoint;
using gcl::TRect;

GCL_IMPLEMENT_CLASS(TBarView)

// ---- Construction ---------------------------------------------------------------------

TBarView::TBarView(TComponent* Owner, TBarView* ParentView, TBarCustomItem* ParentItem, gcl::TWinControl* Window,
                   bool IsToolbar, bool Customizing, bool UsePriorityList)
    : TComponent(Owner),
      FCustomizing(Customizing),
      FIsPopup(!IsToolbar),
      FIsToolbar(IsToolbar),
      FParentView(ParentView),
      FParentItem(ParentItem),
      FUsePriorityList(UsePriorityList),
      FWindow(Window) {}

TBarView::~TBarView() = default;

void TBarView::AfterConstruction() {
    inherited::AfterConstruction();
    if (FParentItem) {
        FParentItem->RegisterNotification(TBarItemChangeHandler(this, &TBarView::ParentItemChanged));
        FParentItem->FreeNotification(this);
    }
    RefreshShownItem();
}

void TBarView::BeforeDestruction() noexcept {
    try {
        CloseChildPopups();
    } catch (...) {
    }
    ReleaseAccObject();
    if (FParentView && FParentView->FIsToolbar) {
        FParentView->FState |= vsNoAnimation;
        if (FParentView->FOpenViewer) FParentView->Invalidate(FParentView->FOpenViewer);
    }
    if (FParentItem) FParentItem->UnregisterNotification(TBarItemChangeHandler(this, &TBarView::ParentItemChanged));
    if (FShownItem) FShownItem->UnregisterNotification(TBarItemChangeHandler(this, &TBarView::ShownItemChanged));
    inherited::BeforeDestruction();
    FPriorityList.clear();
    FSelected = nullptr;
    FreeViewers();
    if (FParentView) {
        try {
            FParentView->RaiseAccFocus();
        } catch (...) {
        }
    }
}

void TBarView::FreeViewers() noexcept {
    std::vector<TBarItemViewer*> viewers;
    viewers.swap(FViewers);
    for (TBarItemViewer* v : viewers) v->Free();
}

void TBarView::Notification(TComponent* AComponent, gcl::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation != gcl::opRemove) return;
    if (AComponent == FOpenChildWindow) {
        FOpenChildWindow = nullptr;
        FOpenChildView = nullptr;
        FOpenViewer = nullptr;
    }
    if (AComponent == FChevronParentView) FChevronParentView = nullptr;
    if (AComponent == FShownItem && AComponent != FParentItem) {
        FShownItem = nullptr;
        RebuildViewers();
    }
    if (AComponent == FParentItem) {
        FParentItem = nullptr;
        if (FShownItem) FShownItem->UnregisterNotification(TBarItemChangeHandler(this, &TBarView::ShownItemChanged));
        FShownItem = nullptr;
        RebuildViewers();
        if (FParentView) FParentView->CloseChildPopups();
    }
}

void TBarView::SetChevronParentView(TBarView* Value) {
    if (Value == FChevronParentView) return;
    if (FChevronParentView) FChevronParentView->RemoveFreeNotification(this);
    FChevronParentView = Value;
    if (Value) Value->FreeNotification(this);
}

void TBarView::RecordOpenPopup(gcl::TWinControl* Window, TBarView* View, TBarItemViewer* Viewer) {
    FOpenChildWindow = Window;
    FOpenChildView = View;
    FOpenViewer = Viewer;
    if (Window) Window->FreeNotification(this);
}

// ---- The viewer list ------------------------------------------------------------------

void TBarView::RefreshShownItem() {
    TBarCustomItem* item = FParentItem ? FParentItem->SubitemsSource() : nullptr;
    if (item == FShownItem) return;
    CloseChildPopups();
    if (FShownItem) {
        FShownItem->UnregisterNotification(TBarItemChangeHandler(this, &TBarView::ShownItemChanged));
        if (FShownItem != FParentItem) FShownItem->RemoveFreeNotification(this);
    }
    FShownItem = item;
    if (item) {
        item->RegisterNotification(TBarItemChangeHandler(this, &TBarView::ShownItemChanged));
        item->FreeNotification(this);
    }
    RebuildViewers();
    if (item && !item->GetComponentState().Contains(gcl::csLoading)) InitiateActions();
}

void TBarView::InitiateActions() {
    std::vector<TBarItemViewer*> viewers = FViewers;
    for (TBarItemViewer* v : viewers)
        if (std::find(FViewers.begin(), FViewers.end(), v) != FViewers.end()) v->GetItem()->InitiateAction();
}

void TBarView::RebuildViewers() {
    CloseChildPopups();
    Select(nullptr, false);
    InvalidatePositions();
    FPriorityList.clear();
    FOpenViewer = nullptr;
    FreeViewers();
    FLeadingExtraViewers = 0;
    FTrailingExtraViewers = 0;
    if (TBarCustomItem* sysMenu = GetMDISystemMenuItem())
        FLeadingExtraViewers = AddItemViewers(GetViewerCount(), sysMenu, 0, false, false);
    if (FShownItem)
        for (int i = 0; i < FShownItem->GetCount(); ++i)
            AddItemViewers(GetViewerCount(), FShownItem->GetItem(i), 0, true, false);
    if (TBarCustomItem* buttons = GetMDIButtonsItem())
        for (int i = 0; i < buttons->GetCount(); ++i)
            FTrailingExtraViewers += AddItemViewers(GetViewerCount(), buttons->GetItem(i), 0, false, false);
    if (TBarCustomItem* chevron = GetChevronItem())
        FTrailingExtraViewers += AddItemViewers(GetViewerCount(), chevron, 0, false, false);
}

int TBarView::AddItemViewers(int Index, TBarCustomItem* Item, int GroupLevel, bool AddToPriorityList,
                             bool TopOfPriorityList) {
    if (GroupLevel > 10) return 0;
    TBarItemViewer* viewer = Item->GetItemViewerClass(this)->Create(this, Item, GroupLevel);
    FViewers.insert(FViewers.begin() + Index, viewer);
    if (AddToPriorityList && FUsePriorityList) {
        if (TopOfPriorityList) FPriorityList.insert(FPriorityList.begin(), viewer);
        else FPriorityList.push_back(viewer);
    }
    int count = 1;
    if (!FCustomizing && Item->HasStyle(tbisEmbeddedGroup)) {
        TBarCustomItem* source = Item->SubitemsSource();
        for (int i = 0; i < source->GetCount(); ++i)
            count += AddItemViewers(Index + count, source->GetItem(i), GroupLevel + 1, AddToPriorityList,
                                    TopOfPriorityList);
    }
    return count;
}

void TBarView::AddViewersOfItem(TBarCustomItem* Sender, int Index, TBarCustomItem* Item) {
    InvalidatePositions();
    const bool top = !Item->GetComponentState().Contains(gcl::csLoading) && FNewViewersOnTop;
    TBarCustomItem* next = Index + 1 < Sender->GetCount() ? Sender->GetItem(Index + 1) : nullptr;
    const int count = GetViewerCount();
    // Inserts the viewers in the range [start, end) of level; false when
    // the item already has a viewer there.
    auto insertIn = [&](int start, int end, int level) {
        for (int i = start; i < end; ++i)
            if (FViewers[size_t(i)]->GetItem() == Item && FViewers[size_t(i)]->GetGroupLevel() == level) return false;
        int at = end;
        if (next)
            for (int i = start; i < end; ++i)
                if (FViewers[size_t(i)]->GetItem() == next && FViewers[size_t(i)]->GetGroupLevel() == level) {
                    at = i;
                    break;
                }
        AddItemViewers(at, Item, level, true, top);
        return true;
    };
    if (Sender == FShownItem) {
        insertIn(FLeadingExtraViewers, count - FTrailingExtraViewers, 0);
        return;
    }
    if (FCustomizing) return;   // groups are not expanded
    for (int g = 0; g < count; ++g) {
        TBarItemViewer* group = FViewers[size_t(g)];
        if (group->GetItem() != Sender) continue;
        const int level = group->GetGroupLevel();
        int end = g + 1;
        while (end < count && FViewers[size_t(end)]->GetGroupLevel() > level) ++end;
        if (level + 1 <= 10 && insertIn(g + 1, end, level + 1)) return;
    }
}

void TBarView::RemoveViewersOfItem(TBarCustomItem* Item) {
    InvalidatePositions();
    for (int i = 0; i < GetViewerCount();) {
        if (FViewers[size_t(i)]->GetItem() != Item) {
            ++i;
            continue;
        }
        const int level = FViewers[size_t(i)]->GetGroupLevel();
        RemoveViewerAt(i);
        while (i < GetViewerCount() && FViewers[size_t(i)]->GetGroupLevel() > level) RemoveViewerAt(i);
    }
}

void TBarView::ForgetViewer(TBarItemViewer* Viewer) {
    if (FSelected == Viewer) FSelected = nullptr;
    if (FOpenViewer == Viewer) CloseChildPopups();
}

void TBarView::RemoveViewerAt(int Index) {
    TBarItemViewer* viewer = FViewers[size_t(Index)];
    ForgetViewer(viewer);
    FPriorityList.erase(std::remove(FPriorityList.begin(), FPriorityList.end(), viewer), FPriorityList.end());
    FViewers.erase(std::find(FViewers.begin(), FViewers.end(), viewer));
    viewer->Free();
}

void TBarView::RenewViewer(int Index) {
    TBarItemViewer* old = FViewers[size_t(Index)];
    ForgetViewer(old);
    TBarItemViewer* viewer = old->GetItem()->GetItemViewerClass(this)->Create(this, old->GetItem(),
                                                                             old->GetGroupLevel());
    FViewers[size_t(Index)] = viewer;
    std::replace(FPriorityList.begin(), FPriorityList.end(), old, viewer);
    old->Free();
}

void TBarView::RaisePriority(TBarItemViewer* Viewer) {
    if (FChevronParentView) {
        int index = IndexOf(Viewer) + FChevronParentView->FLeadingExtraViewers;
        if (index >= 0 && index < FChevronParentView->GetViewerCount())
            FChevronParentView->RaisePriority(FChevronParentView->GetViewers(index));
    } else if (FUsePriorityList) {
        auto it = std::find(FPriorityList.begin(), FPriorityList.end(), Viewer);
        if (it != FPriorityList.end()) {
            FPriorityList.erase(it);
            FPriorityList.insert(FPriorityList.begin(), Viewer);
            if (!(FValidated && !Viewer->OffEdge)) UpdatePositions();
        }
    }
    if (FParentView && FParentView->FOpenViewer) FParentView->RaisePriority(FParentView->FOpenViewer);
}

void TBarView::SetUsePriorityList(bool Value) {
    if (Value == FUsePriorityList) return;
    FUsePriorityList = Value;
    RebuildViewers();
}

void TBarView::ParentItemChanged(TBarCustomItem*, bool, TBarItemChangedAction Action, int, TBarCustomItem*) {
    if (Action == tbicSubitemsChanged) RefreshShownItem();
    else if (Action == tbicSubMenuImagesChanged && FShownItem != FParentItem) InvalidateChain();
}

void TBarView::ShownItemChanged(TBarCustomItem* Sender, bool Relayed, TBarItemChangedAction Action, int Index,
                                TBarCustomItem* Item) {
    switch (Action) {
    case tbicInserted: AddViewersOfItem(Sender, Index, Item); break;
    case tbicDeleting: RemoveViewersOfItem(Item); break;
    case tbicSubitemsChanged:
        if (Relayed) RebuildViewers();
        break;
    case tbicSubitemsBeginUpdate: BeginUpdate(); break;
    case tbicSubitemsEndUpdate: EndUpdate(); return;   // EndUpdate validates itself
    case tbicInvalidate:
        for (TBarItemViewer* v : std::vector<TBarItemViewer*>(FViewers))
            if (v->GetItem() == Item) Invalidate(v);
        break;
    case tbicInvalidateAndResize:
        // Laid out at once, the bar repaints whole only when a viewer
        // moved (the layout pass paints it then); otherwise the item alone
        // repaints (a caption in italics, a new glyph of the same size). An
        // item not shown here in a viewer of its own (a group, whose
        // sub-items show in its place) repaints the whole bar.
        if (FValidated && CanValidateNow()) {
            FValidated = false;
            FLayoutMoved = false;
            UpdatePositions();
            if (FLayoutMoved) return;
            bool shown = false;
            for (TBarItemViewer* v : std::vector<TBarItemViewer*>(FViewers))
                if (v->GetItem() == Item && v->Show && !gcl::IsRectEmpty(v->BoundsRect)) {
                    Invalidate(v);
                    shown = true;
                }
            if (!shown && FWindow && FWindow->HandleAllocated()) InvalidateRect(FWindow->GetHandle(), nullptr, TRUE);
            return;
        }
        InvalidatePositions();
        break;
    case tbicRecreateItemViewers:
        InvalidatePositions();
        for (int i = 0; i < GetViewerCount(); ++i)
            if (FViewers[size_t(i)]->GetItem() == Item) RenewViewer(i);
        break;
    case tbicNameChanged: return;
    case tbicSubMenuImagesChanged: InvalidateChain(); break;
    }
    ValidateWhenIdle();
}

void TBarView::InvalidateChain() {
    InvalidatePositions();
    ValidateWhenIdle();
    if (FOpenChildView) FOpenChildView->InvalidateChain();
}

// ---- Queries ---------------------------------------------------------------------------

TBarItemViewer* TBarView::Find(TBarCustomItem* Item) {
    for (TBarItemViewer* v : FViewers)
        if (v->GetItem() == Item) return v;
    throw EBarItemError(SViewerMissingError);
}

int TBarView::IndexOf(const TBarItemViewer* Viewer) const noexcept {
    if (!Viewer) return -1;
    auto it = std::find(FViewers.begin(), FViewers.end(), Viewer);
    return it == FViewers.end() ? -1 : static_cast<int>(it - FViewers.begin());
}

TBarItemViewer* TBarView::ViewerFromPoint(TPoint P) {
    ValidatePositions();
    for (TBarItemViewer* v : FViewers)
        if (v->Show && gcl::PtInRect(v->BoundsRect, P)) return v;
    return nullptr;
}

TBarItemViewer* TBarView::NextSelectable(TBarItemViewer* Start, bool GoForward) {
    ValidatePositions();
    const int n = GetViewerCount();
    if (n == 0) return nullptr;
    int i = IndexOf(Start);
    if (i < 0 && !GoForward) i = n;
    for (int k = 0; k < n; ++k) {
        i = GoForward ? (i + 1 >= n ? 0 : i + 1) : (i - 1 < 0 ? n - 1 : i - 1);
        TBarItemViewer* v = FViewers[size_t(i)];
        if ((v->Show || v->Clipped) && v->GetItem()->GetVisible() && v->GetItem()->HasStyle(tbisSelectable))
            return v;
    }
    return nullptr;
}

TBarItemViewer* TBarView::FirstSelectable() {
    TBarItemViewer* first = NextSelectable(nullptr, true);
    TBarItemViewer* v = first;
    while (v && v->GetItem()->HasStyle(tbisDontSelectFirst)) {
        v = NextSelectable(v, true);
        if (v == first) break;
    }
    return v;
}

TBarItemViewer* TBarView::TopPriorityViewer() {
    ValidatePositions();
    auto candidate = [](TBarItemViewer* v) { return v->Show && !v->GetItem()->HasStyle(tbisSeparator); };
    if (!FUsePriorityList) {
        for (TBarItemViewer* v : FViewers)
            if (candidate(v)) return v;
        return nullptr;
    }
    for (TBarItemViewer* v : FPriorityList)
        if (candidate(v)) return v;
    return nullptr;
}

TBarView* TBarView::GetRootView() noexcept {
    TBarView* v = this;
    while (v->FParentView) v = v->FParentView;
    return v;
}

TBarView* TBarView::GetToolbarAncestor() noexcept {
    for (TBarView* v = this; v; v = v->FParentView)
        if (v->FIsToolbar) return v;
    return nullptr;
}

bool TBarView::ContainsView(const TBarView* Other) const noexcept {
    for (const TBarView* v = Other; v; v = v->FParentView)
        if (v == this) return true;
    return false;
}

HWND TBarView::GetCaptureWnd() noexcept { return GetRootView()->FCaptureWnd; }

bool TBarView::IsEnding() noexcept { return GetRootView()->FDoneAction.DoneAction != tbdaNone; }

void TBarView::GetHostedControls(std::vector<gcl::TWinControl*>& List) {
    for (TBarItemViewer* v : FViewers)
        if (v->Show)
            if (auto* item = dynamic_cast<TBarControlItem*>(v->GetItem()))
                if (auto* control = dynamic_cast<gcl::TWinControl*>(item->GetControl())) List.push_back(control);
}

TBarItemViewer* TBarView::FindAccelViewer(TBarItemViewer* Start, char Key, bool RequirePrimaryAccel,
                                          bool& IsOnlyItemWithAccel) {
    IsOnlyItemWithAccel = false;
    ValidatePositions();
    const int n = GetViewerCount();
    if (n == 0) return nullptr;
    const std::string key(1, Key);
    auto matches = [&](TBarItemViewer* v, bool primary, bool enabled) {
        TBarCustomItem* item = v->GetItem();
        if (!(v->Show || v->Clipped) || !item->HasStyle(tbisSelectable) || item->GetEnabled() != enabled ||
            !item->GetVisible() || !v->CaptionShown())
            return false;
        std::string caption = v->GetCaptionText();
        if (caption.empty()) return false;
        char accel = AcceleratorOf(caption);
        if (primary) return accel != '\0' && gcl::AnsiCompareText(std::string(1, accel), key) == 0;
        return accel == '\0' && Key != ' ' && gcl::AnsiCompareText(caption.substr(0, 1), key) == 0;
    };
    auto search = [&](int from, bool primary, bool enabled) -> TBarItemViewer* {
        int i = from;
        for (int k = 0; k < n; ++k) {
            i = i + 1 >= n ? 0 : i + 1;
            if (matches(FViewers[size_t(i)], primary, enabled)) return FViewers[size_t(i)];
        }
        return nullptr;
    };
    const int start = IndexOf(Start);
    for (int p = 0; p < (RequirePrimaryAccel ? 1 : 2); ++p) {
        const bool primary = p == 0;
        for (int e = 0; e < 2; ++e) {
            const bool enabled = e == 0;
            TBarItemViewer* hit = search(start, primary, enabled);
            if (!hit) continue;
            IsOnlyItemWithAccel = !enabled || search(IndexOf(hit), primary, enabled) == hit;
            return hit;
        }
    }
    return nullptr;
}

// ---- Layout entry points ----------------------------------------------------------------

void TBarView::InvalidatePositions() {
    if (!FValidated) return;
    FValidated = false;
    if (FWindow && FWindow->HandleAllocated()) InvalidateRect(FWindow->GetHandle(), nullptr, TRUE);
}

void TBarView::ValidatePositions() {
    if (!FValidated) UpdatePositions();
}

TPoint TBarView::UpdatePositions() {
    TPoint size{0, 0};
    DoUpdatePositions(size);
    return size;
}

bool TBarView::CanValidateNow() const {
    if (FUpdateCount != 0) return false;
    if (FParentItem) {
        if (FParentItem->GetComponentState().Contains(gcl::csLoading)) return false;
        if (TComponent* owner = FParentItem->GetOwner())
            if (owner->GetComponentState().Contains(gcl::csLoading)) return false;
    }
    return true;
}

void TBarView::ValidateWhenIdle() {
    if (CanValidateNow()) ValidatePositions();
}

void TBarView::BeginUpdate() { ++FUpdateCount; }

void TBarView::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) ValidateWhenIdle();
}

void TBarView::SetOrientation(TBarViewOrientation Value) {
    if (Value == FOrientation) return;
    FOrientation = Value;
    InvalidatePositions();
}

void TBarView::SetWrapOffset(int Value) {
    if (Value == FWrapOffset) return;
    FWrapOffset = Value;
    InvalidatePositions();
}

void TBarView::SetChevronOffset(int Value) {
    if (Value == FChevronOffset) return;
    FChevronOffset = Value;
    InvalidatePositions();
}

void TBarView::SetChevronSize(int Value) {
    if (Value == FChevronSize) return;
    FChevronSize = Value;
    InvalidatePositions();
}

void TBarView::SetMaxHeight(int Value) {
    if (Value == FMaxHeight) return;
    FMaxHeight = Value;
    InvalidatePositions();
}

void TBarView::AutoSize(int, int) {}

void TBarView::GetMargins(TBarViewOrientation AOrientation, TRect& Margins) {
    Margins = AOrientation == tbvoFloating ? TRect{4, 2, 4, 1} : TRect{0, 0, 0, 0};
}

// ---- Selection ---------------------------------------------------------------------------

bool TBarView::MouseIsOver(TBarItemViewer* Viewer) {
    if (!Viewer || !FWindow || !FWindow->HandleAllocated()) return false;
    DWORD pos = GetMessagePos();
    POINT p{static_cast<int16_t>(LOWORD(pos)), static_cast<int16_t>(HIWORD(pos))};
    HWND wnd = FWindow->GetHandle();
    if (WindowFromPoint(p) != wnd) return false;
    ::ScreenToClient(wnd, &p);
    if (ViewerFromPoint({p.x, p.y}) != Viewer) return false;
    if (FCapture)
        return Viewer->IsPtInButtonPart(p.x - Viewer->BoundsRect.Left, p.y - Viewer->BoundsRect.Top);
    return true;
}

void TBarView::Select(TBarItemViewer* Value, bool ViaMouse) {
    TBarItemViewer* old = FSelected;
    if (Value != old) {
        if (Value && FParentView && FParentView->FOpenViewer && FParentView->FOpenViewer != FParentView->FSelected) {
            FParentView->Select(FParentView->FOpenViewer, false);
            FParentView->StopTimer(tiClose);
            FParentView->StopTimer(tiOpen);
        }
        if (FState & vsModal) {
            if (FIsToolbar || !ViaMouse) {
                StopTimer(tiClose);
                if (Value != FOpenViewer) CloseChildPopups();
            } else if (FOpenViewer && !FActiveTimers.Contains(tiClose)) {
                StartTimer(tiClose, static_cast<UINT>(MenuShowDelay()));
            }
        }
        CancelCapture();
        if (old) old->Leaving();
        FSelected = Value;
        FSelectedViaMouse = ViaMouse;
    }
    const bool mouseOver = MouseIsOver(Value);
    if (Value != old) {
        FMouseOverSelected = mouseOver;
        if (old && old->GetItem()->HasStyle(tbisRedrawOnSelChange) && IndexOf(old) >= 0) Invalidate(old);
        if (Value && Value->GetItem()->HasStyle(tbisRedrawOnSelChange)) Invalidate(Value);
        if (Value) Value->Entering(old);
        RaiseAccFocus();
        if (FState & vsModal) {
            if (FIsPopup) {
                StopTimer(tiOpen);
                if (Value && ViaMouse && Value->GetItem()->HasStyle(tbisSubmenu))
                    StartTimer(tiOpen, static_cast<UINT>(MenuShowDelay()));
            } else if (Value) {
                if (ViaMouse && FParentView) FState |= vsDropDownMenus;
                if ((FState & vsDropDownMenus) && !(!ViaMouse && Value->GetItem()->HasStyle(tbisNoAutoOpen)))
                    OpenChildPopup(!ViaMouse);
            }
        }
    } else if (mouseOver != FMouseOverSelected) {
        FMouseOverSelected = mouseOver;
        if (Value && FCapture && Value->GetItem()->HasStyle(tbisRedrawOnMouseOverChange)) Invalidate(Value);
    }
}

void TBarView::SelectNextItem(bool GoForward) {
    Select(NextSelectable(FSelected, GoForward), false);
    ScrollSelectedIntoView();
}

void TBarView::UpdateSelection(const TPoint* P, bool AllowNewSelection) {
    ValidatePositions();
    TBarItemViewer* candidate = (FState & vsModal) ? FSelected : nullptr;
    const bool wasInWindow = (FState & vsMouseInWindow) != 0;
    HWND wnd = FWindow && FWindow->HandleAllocated() ? FWindow->GetHandle() : nullptr;
    POINT client{0, 0};
    bool inWindow = false;
    if (P && wnd && WindowFromPoint(POINT{P->X, P->Y}) == wnd) {
        inWindow = true;
        if (FIsPopup) candidate = nullptr;
        FState |= vsMouseInWindow;
        client = POINT{P->X, P->Y};
        ::ScreenToClient(wnd, &client);
        if (AllowNewSelection || FSelected)
            if (TBarItemViewer* under = ViewerFromPoint({client.x, client.y})) candidate = under;
    } else {
        FState &= static_cast<TBarViewState>(~vsMouseInWindow);
    }
    if (FCapture) candidate = FSelected;
    if (FIsPopup && wasInWindow && !inWindow && !FCapture &&
        !(FOpenViewer && candidate && candidate->GetItem()->HasStyle(tbisSubmenu)))
        candidate = nullptr;
    Select(candidate, true);

    RECT cr{0, 0, 0, 0};
    if (wnd) GetClientRect(wnd, &cr);
    const bool inClient = inWindow && client.x >= cr.left && client.x < cr.right && client.y >= cr.top &&
                          client.y < cr.bottom;
    const bool modal = (FState & vsModal) != 0;
    if (modal && inClient && FShowUpArrow && client.y < ScrollArrowHeight) {
        StopTimer(tiScrollDown);
        if (!FActiveTimers.Contains(tiScrollUp)) StartTimer(tiScrollUp, 100);
    } else if (modal && inClient && FShowDownArrow && client.y >= cr.bottom - ScrollArrowHeight) {
        StopTimer(tiScrollUp);
        if (!FActiveTimers.Contains(tiScrollDown)) StartTimer(tiScrollDown, 100);
    } else {
        StopTimer(tiScrollUp);
        StopTimer(tiScrollDown);
    }
}

void TBarView::BeginCapture() { FCapture = true; }

void TBarView::CancelCapture() {
    if (!FCapture) return;
    FCapture = false;
    if (gcl::TPoint* pos = GetRootView()->MenuLoopMousePos) pos->X = INT32_MIN;
    if (FSelected) FSelected->LosingCapture();
}

void TBarView::ExecuteSelected(bool RaisePriority) {
    if (FSelected && FSelected->GetItem()->GetEnabled()) {
        TBarCustomItem* item = FSelected->GetItem();
        if (!item->HasStyle(tbisCombo) && OpenChildPopup(true)) return;
        if (item->HasStyle(tbisSelectable)) FSelected->Execute(RaisePriority);
        else EndModal();
        return;
    }
    EndModal();
}

bool TBarView::OpenChildPopup(bool SelectFirstItem) {
    StopTimer(tiClose);
    StopTimer(tiOpen);
    if (FSelected != FOpenViewer) {
        CloseChildPopups();
        if (FSelected && FSelected->GetItem()->GetEnabled() && FSelected->GetItem()->HasStyle(tbisSubmenu))
            FSelected->GetItem()->CreatePopup(this, FSelected, !FIsToolbar, SelectFirstItem, false, TPoint{0, 0},
                                              tbpaLeft);
    }
    FWheelAccum = 0;
    return FOpenChildView != nullptr;
}

void TBarView::CloseChildPopups() {
    if (FOpenChildView) FOpenChildView->CloseChildPopups();
    StopTimer(tiClose);
    gcl::TWinControl* window = FOpenChildWindow;
    FOpenChildWindow = nullptr;
    FOpenChildView = nullptr;
    FOpenViewer = nullptr;
    if (window) {
        window->RemoveFreeNotification(this);
        window->Free();
    }
}

void TBarView::CancelChildPopups() {
    if (FIsToolbar) FState &= static_cast<TBarViewState>(~vsDropDownMenus);
    CloseChildPopups();
}

void TBarView::BeginModalState() {
    FState = static_cast<TBarViewState>((FState & vsShowAccels) | vsModal);
    FDoneAction = TBarDoneActionData{};
}

// ---- Keyboard ------------------------------------------------------------------------------

void TBarView::KeyDown(uint16_t& Key, gcl::TShiftState) {
    TBarView* t = GetToolbarAncestor();
    const bool tVertical = t && t->FOrientation == tbvoVertical;
    switch (Key) {
    case VK_TAB: SelectNextItem(GetKeyState(VK_SHIFT) >= 0); break;
    case VK_RETURN: ExecuteSelected(true); break;
    case VK_MENU:
    case VK_F10: EndModal(); break;
    case VK_ESCAPE:
        if (FParentView) FParentView->CancelChildPopups();
        else EndModal();
        break;
    case VK_HOME:
    case VK_END:
        Select(NextSelectable(nullptr, Key == VK_HOME), false);
        ScrollSelectedIntoView();
        break;
    case VK_UP:
    case VK_DOWN:
        if (t == this && !tVertical) OpenChildPopup(true);
        else SelectNextItem(Key == VK_DOWN);
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if (t == this && tVertical) {
            OpenChildPopup(true);
        } else if (Key == VK_LEFT) {
            if (t && !tVertical) {
                if (t == this || FParentView == t) t->SelectNextItem(false);
                else if (FParentView) FParentView->CloseChildPopups();
            } else if (FParentView) {
                FParentView->CancelChildPopups();
            }
        } else {
            if (t != this && OpenChildPopup(true)) break;
            if (t && !tVertical) t->SelectNextItem(true);
        }
        break;
    case VK_F1: {
        for (TBarView* v = this; v; v = v->FParentView)
            if (v->FSelected && v->FSelected->GetItem()->GetHelpContext() != 0) {
                EndWithHelp(v->FSelected->GetItem()->GetHelpContext());
                break;
            }
        break;
    }
    default: return;
    }
    Key = 0;
}

void TBarView::ShowAccelUnderlines(bool Show) {
    if (!(FStyle & vsUseHiddenAccels) || AreKeyboardCuesEnabled()) Show = true;
    if (((FState & vsShowAccels) != 0) == Show) return;
    if (Show) FState |= vsShowAccels;
    else FState &= static_cast<TBarViewState>(~vsShowAccels);
    if (FWindow && FWindow->HandleAllocated() && IsWindowVisible(FWindow->GetHandle()))
        for (TBarItemViewer* v : FViewers)
            if (v->CaptionShown() && AcceleratorOf(v->GetCaptionText()) != '\0') Invalidate(v);
}

// ---- The end of a menu ------------------------------------------------------------------

void TBarView::EndModal() { GetRootView()->FDoneAction.DoneAction = tbdaCancel; }

void TBarView::EndWithClick(TBarItemViewer* Viewer) {
    TBarDoneActionData& d = GetRootView()->FDoneAction;
    d.DoneAction = tbdaClickItem;
    d.ClickItem = Viewer->GetItem();
    d.Sound = Viewer->GetView()->FIsPopup;
}

void TBarView::EndWithSystemMenu(HWND Wnd, WPARAM Key) {
    TBarDoneActionData& d = GetRootView()->FDoneAction;
    d.DoneAction = tbdaOpenSystemMenu;
    d.Wnd = Wnd;
    d.Key = Key;
}

void TBarView::EndWithHelp(int HelpContext) {
    TBarDoneActionData& d = GetRootView()->FDoneAction;
    d.DoneAction = tbdaHelpContext;
    d.HelpContext = HelpContext;
}

void TBarView::CancelMode() {
    EndModal();
    TBarView* deepest = this;
    while (deepest->FOpenChildView) deepest = deepest->FOpenChildView;
    for (TBarView* v = deepest; v; v = v->FParentView) {
        v->StopAllTimers();
        if (v->IsPopupWindow() && v->FWindow && v->FWindow->HandleAllocated())
            ShowWindow(v->FWindow->GetHandle(), SW_HIDE);
    }
}

// ---- Timers and scrolling ---------------------------------------------------------------

void TBarView::StartTimer(TBarViewTimerID Kind, UINT Interval) {
    StopTimer(Kind);
    if (!IsPopupWindow() || !FWindow || !FWindow->HandleAllocated()) return;
    if (SetTimer(FWindow->GetHandle(), ViewTimerBaseID + Kind, Interval, nullptr)) FActiveTimers.Include(Kind);
}

void TBarView::StopTimer(TBarViewTimerID Kind) {
    if (!FActiveTimers.Contains(Kind)) return;
    if (FWindow && FWindow->HandleAllocated()) KillTimer(FWindow->GetHandle(), ViewTimerBaseID + Kind);
    FActiveTimers.Exclude(Kind);
}

void TBarView::StopAllTimers() {
    for (TBarViewTimerID kind : {tiOpen, tiClose, tiScrollUp, tiScrollDown}) StopTimer(kind);
}

void TBarView::TimerFired(TBarViewTimerID Kind) {
    switch (Kind) {
    case tiOpen:
        CloseChildPopups();
        OpenChildPopup(false);
        break;
    case tiClose: CloseChildPopups(); break;
    case tiScrollUp:
        if (FShowUpArrow) Scroll(false);
        else StopTimer(tiScrollUp);
        break;
    case tiScrollDown:
        if (FShowDownArrow) Scroll(true);
        else StopTimer(tiScrollDown);
        break;
    }
}

void TBarView::Scroll(bool Down) {
    ValidatePositions();
    bool found = false;
    int best = 0;
    for (TBarItemViewer* v : FViewers) {
        if (!v->Clipped || v->GetItem()->HasStyle(tbisSeparator)) continue;
        if (Down) {
            if (v->BoundsRect.Bottom > FMaxHeight - ScrollArrowHeight && (!found || v->BoundsRect.Bottom < best)) {
                best = v->BoundsRect.Bottom;
                found = true;
            }
        } else if (v->BoundsRect.Top < ScrollArrowHeight && (!found || v->BoundsRect.Top > best)) {
            best = v->BoundsRect.Top;
            found = true;
        }
    }
    if (!found) return;
    FScrollOffset += Down ? best - (FMaxHeight - ScrollArrowHeight) : best - ScrollArrowHeight;
    UpdatePositions();
}

void TBarView::ScrollSelectedIntoView() {
    if (!FSelected || !FSelected->Clipped) return;
    if (FSelected->BoundsRect.Top < ScrollArrowHeight)
        FScrollOffset += FSelected->BoundsRect.Top - ScrollArrowHeight;
    else if (FSelected->BoundsRect.Bottom > FMaxHeight - ScrollArrowHeight)
        FScrollOffset += FSelected->BoundsRect.Bottom - (FMaxHeight - ScrollArrowHeight);
    UpdatePositions();
}

void TBarView::MouseWheel(int WheelDelta, int, int) {
    if (!FShowUpArrow && !FShowDownArrow) return;
    FWheelAccum += WheelDelta;
    UINT setting = 3;
    if (!SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &setting, 0)) setting = 3;
    // The page setting scrolls by one page: the items the popup shows.
    int lines;
    if (setting == WHEEL_PAGESCROLL) {
        lines = 0;
        for (TBarItemViewer* v : FViewers)
            if (v->Show && !v->GetItem()->HasStyle(tbisSeparator)) ++lines;
    } else {
        lines = static_cast<int>(gcl::Min<UINT>(setting, 120));
    }
    lines = gcl::Max(1, gcl::Min(lines, 120));
    const int accum = FWheelAccum;
    const int steps = (accum < 0 ? -accum : accum) * lines / 120;
    if (steps <= 0) return;
    const int drain = (120 / lines) * steps;
    FWheelAccum += accum < 0 ? drain : -drain;
    const bool down = accum < 0;
    if (down ? !FShowDownArrow : !FShowUpArrow) return;
    CloseChildPopups();
    for (int i = 0; i < steps; ++i) Scroll(down);
}

// ---- Painting ----------------------------------------------------------------------------

void TBarView::DrawViewers(TCanvas* Canvas) {
    const bool inOrder = (FState & vsDrawInOrder) != 0;
    std::vector<TBarItemViewer*> viewers = FViewers;
    for (TBarItemViewer* v : viewers)
        if (inOrder || v != FSelected) DrawViewer(v, Canvas, false);
    if (!inOrder && FSelected && IndexOf(FSelected) >= 0) DrawViewer(FSelected, Canvas, false);
    FState &= static_cast<TBarViewState>(~vsDrawInOrder);
}

void TBarView::DrawViewer(TBarItemViewer* Viewer, TCanvas* Canvas, bool Offscreen) {
    ValidatePositions();
    if (Viewer->State & tbvsRepaintPending) {
        if (!FPaintingWhole) Offscreen = true;
        Viewer->State &= static_cast<uint8_t>(~tbvsRepaintPending);
    }
    const TRect r = Viewer->BoundsRect;
    if (!Viewer->Show || gcl::IsRectEmpty(r) || is<TBarControlItem>(Viewer->GetItem())) return;
    const bool selected = Viewer == FSelected;
    const bool pushed = selected && (Viewer == FOpenViewer || (FMouseOverSelected && FCapture));
    const bool toolbarStyle = Viewer->IsToolbarStyle();

    HDC dc = Canvas->GetHandle();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    RECT clip;
    if (GetClipBox(dc, &clip) == NULLREGION || IsRectEmpty(&clip)) {
        RestoreDC(dc, saved);
        return;
    }

    // Off-screen: a bitmap of the viewer's size that first gets the window's
    // background, then the viewer.
    std::unique_ptr<TCanvas> offscreen;
    std::optional<gcl::TPaintBuffer> buffer;
    HDC memDC = nullptr;
    TCanvas* target = Canvas;
    if (Offscreen) {
        buffer.emplace(dc, r.Width(), r.Height());
        memDC = buffer->GetDC();
        SetWindowOrgEx(memDC, r.Left, r.Top, nullptr);
        if (FWindow && FWindow->HandleAllocated())
            SendMessageA(FWindow->GetHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC), 0);
        SetWindowOrgEx(memDC, 0, 0, nullptr);
        offscreen = std::make_unique<TCanvas>();
        offscreen->SetHandle(memDC);
        target = offscreen.get();
    } else {
        OffsetWindowOrgEx(dc, -r.Left, -r.Top, nullptr);
        SetBrushOrgEx(dc, r.Left & 1, r.Top & 1, nullptr);
        Canvas->Refresh();
    }

    const bool enabled = Viewer->GetItem()->GetEnabled();
    if (selected && !toolbarStyle) {
        target->GetBrush()->SetColor(gcl::SysColor(FlatMenusEnabled() ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT));
        target->GetBrush()->SetStyle(gcl::bsSolid);
    } else {
        target->GetBrush()->SetStyle(gcl::bsClear);
    }
    if (gcl::TFont* font = GetFont()) target->GetFont()->Assign(font);
    bool useDisabledShadow = false;
    gcl::TColor textColour;
    if (enabled) {
        textColour = (selected && !toolbarStyle) ? gcl::clHighlightText : toolbarStyle ? gcl::clBtnText : gcl::clMenuText;
    } else {
        textColour = gcl::clGrayText;
        const gcl::TColor windowColour = FWindow ? gcl::ColorToRGB(FWindow->GetColor()) : gcl::ColorToRGB(gcl::clBtnFace);
        useDisabledShadow = toolbarStyle || (!selected && windowColour == gcl::ColorToRGB(gcl::clBtnFace)) ||
                            windowColour == gcl::ColorToRGB(gcl::clGrayText);
    }
    target->GetFont()->SetColor(textColour);
    target->RequiredState({gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid});
    SetTextColor(target->GetHandle(), static_cast<COLORREF>(gcl::ColorToRGB(textColour)));

    Viewer->Paint(target, TRect{0, 0, r.Width(), r.Height()}, selected, pushed, useDisabledShadow);

    if (Offscreen) {
        offscreen.reset();
        BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), memDC, 0, 0, SRCCOPY);
        buffer.reset();
    }
    RestoreDC(dc, saved);
    Canvas->Refresh();
}

void TBarView::Invalidate(TBarItemViewer* Viewer) {
    if (!Viewer || !FValidated || !FWindow || !FWindow->HandleAllocated()) return;
    if (!Viewer->Show || gcl::IsRectEmpty(Viewer->BoundsRect) || is<TBarControlItem>(Viewer->GetItem())) return;
    Viewer->State |= tbvsRepaintPending;
    RECT r = gcl::ToRECT(Viewer->BoundsRect);
    InvalidateRect(FWindow->GetHandle(), &r, FALSE);
}

void TBarView::RaiseAccFocus() {
    TBarView* root = GetRootView();
    if (!(FState & vsModal) || !(root->FState & vsModal) || root->FDoneAction.DoneAction != tbdaNone) return;
    if (!FWindow || !FWindow->HandleAllocated() || !IsWindowVisible(FWindow->GetHandle())) return;
    LONG child = 0;
    if (FSelected && FSelected->AccPresent()) {
        child = 1;
        for (TBarItemViewer* v : FViewers) {
            if (v == FSelected) break;
            if (v->AccPresent()) ++child;
        }
    } else if (FParentView) {
        FParentView->RaiseAccFocus();
        return;
    }
    CallNotifyWinEvent(EVENT_OBJECT_FOCUS, FWindow->GetHandle(), OBJID_CLIENT, child);
}

// ---- The shared toolbar font -----------------------------------------------------------

namespace {

gcl::TFont* GToolbarFont = nullptr;

void InitBarItemUnit() {
    gcl::RegisterClasses({TBarCustomItem::StaticClass(), TBarRootItem::StaticClass(), TBarGroupItem::StaticClass(),
                          TBarSeparatorItem::StaticClass(), TBarControlItem::StaticClass(),
                          TBarPopupMenu::StaticClass()});
    GToolbarFont = new gcl::TFont;
    LoadMenuFont();
}

void FinalizeBarItemUnit() {
    delete GToolbarFont;
    GToolbarFont = nullptr;
}

} // namespace

gcl::TFont* ToolbarFont() noexcept { return GToolbarFont; }

void LoadMenuFont() {
    if (!GToolbarFont) return;
    // The structure as Windows before Vista knew it (340 bytes): every
    // version answers it.
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return;
    GToolbarFont->SetLogFont(metrics.lfMenuFont);
}

gcl::TFont* TBarView::GetFont() {
    if (GToolbarFont) return GToolbarFont;
    return FWindow ? FWindow->GetFont() : nullptr;
}

gcl::TUnit BarItemUnit{"BarItem", &InitBarItemUnit, &FinalizeBarItemUnit};

} // namespace qelvo
