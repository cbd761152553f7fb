// The groups collection with its searches and layout pass, groups and the
// group kinds.
#include "listview/GvInternal.h"

namespace qelvo {

using namespace gvdetail;

// ---- TGvGroups ----------------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvGroups)

TGvGroups::TGvGroups(TCustomGvListview* AOwner) : TGvCollection(AOwner, TGvGroup::StaticClass()) {
    SetItemClass(TGvGroupStored::StaticClass());
}

TGvGroup* TGvGroups::GetGroups(int Index) const { return static_cast<TGvGroup*>(TGvCollection::GetItems(Index)); }

TGvGroup* TGvGroups::Add(void* Data) { return static_cast<TGvGroup*>(TGvCollection::Add(Data)); }

void TGvGroups::Clear(bool FreeItems) {
    TCustomGvListview* lv = GetOwnerListview();
    TGvSelectionManager* selection = lv ? lv->GetSelection() : nullptr;
    if (!selection) return inherited::Clear(FreeItems);
    selection->GroupSelectionBeginUpdate();
    selection->BeginUpdate();
    try {
        inherited::Clear(FreeItems);
    } catch (...) {
        selection->EndUpdate();
        selection->GroupSelectionEndUpdate();
        throw;
    }
    selection->EndUpdate();
    selection->GroupSelectionEndUpdate();
}

TGvGroup* TGvGroups::VisibleGroup(int Index) const { return static_cast<TGvGroup*>(VisibleItems(Index)); }

int TGvGroups::ItemCount() const {
    int count = 0;
    for (int i = 0; i < GetCount(); ++i) count += GetGroups(i)->ItemCount();
    return count;
}

TGvGroup* TGvGroups::FirstGroup() const { return GetCount() > 0 ? GetGroups(0) : nullptr; }
TGvGroup* TGvGroups::LastGroup() const { return GetCount() > 0 ? GetGroups(GetCount() - 1) : nullptr; }

TGvGroup* TGvGroups::FirstVisibleGroup() const {
    for (int i = 0; i < GetCount(); ++i)
        if (GetGroups(i)->GetVisible()) return GetGroups(i);
    return nullptr;
}

TGvGroup* TGvGroups::LastVisibleGroup() const {
    for (int i = GetCount() - 1; i >= 0; --i)
        if (GetGroups(i)->GetVisible()) return GetGroups(i);
    return nullptr;
}

TGvGroup* TGvGroups::NextGroup(TGvGroup* Group) const {
    if (!Group) return nullptr;
    const int i = Group->GetIndex() + 1;
    return i > 0 && i < GetCount() ? GetGroups(i) : nullptr;
}

TGvGroup* TGvGroups::PrevGroup(TGvGroup* Group) const {
    if (!Group) return nullptr;
    const int i = Group->GetIndex() - 1;
    return i >= 0 && i < GetCount() ? GetGroups(i) : nullptr;
}

TGvGroup* TGvGroups::NextVisibleGroup(TGvGroup* Group) const {
    for (TGvGroup* g = NextGroup(Group); g; g = NextGroup(g))
        if (g->GetExpanded() && g->GetVisible()) return g;
    return nullptr;
}

TGvGroup* TGvGroups::PrevVisibleGroup(TGvGroup* Group) const {
    for (TGvGroup* g = PrevGroup(Group); g; g = PrevGroup(g))
        if (g->GetExpanded() && g->GetVisible()) return g;
    return nullptr;
}

bool TGvGroups::ItemQualifies(TGvItem* Item, TGvItemSearch Mode) const {
    switch (Mode) {
    case TGvItemSearch::Any:
        return true;
    case TGvItemSearch::Visible:
        return Item->GetVisible();
    case TGvItemSearch::Initialized:
        return Item->GetInitialized();
    case TGvItemSearch::Editable: {
        if (!Item->GetVisible()) return false;
        TCustomGvListview* lv = GetOwnerListview();
        if (!lv) return true;
        // The handler of this query may only decide Allow.
        int column = 0;
        bool allow = true;
        lv->DoItemEditBegin(Item, column, allow);
        return allow;
    }
    }
    return false;
}

namespace {
// The first (last) item of the given kind over all groups, in order.
template <class Pred>
TGvItem* FirstItemWhere(const TGvGroups* groups, bool forward, Pred pred) {
    const int n = groups->GetCount();
    for (int gi = forward ? 0 : n - 1; forward ? gi < n : gi >= 0; gi += forward ? 1 : -1) {
        TGvGroup* g = groups->GetGroups(gi);
        const int m = g->ItemCount();
        for (int ii = forward ? 0 : m - 1; forward ? ii < m : ii >= 0; ii += forward ? 1 : -1)
            if (pred(g->GetItem(ii))) return g->GetItem(ii);
    }
    return nullptr;
}
} // namespace

TGvItem* TGvGroups::FirstItem() const { return FirstItemWhere(this, true, [](TGvItem*) { return true; }); }
TGvItem* TGvGroups::FirstVisibleItem() const {
    return FirstItemWhere(this, true, [](TGvItem* i) { return i->GetVisible(); });
}
TGvItem* TGvGroups::FirstInitializedItem() const {
    return FirstItemWhere(this, true, [](TGvItem* i) { return i->GetInitialized(); });
}
TGvItem* TGvGroups::LastItem() const { return FirstItemWhere(this, false, [](TGvItem*) { return true; }); }
TGvItem* TGvGroups::LastVisibleItem() const {
    return FirstItemWhere(this, false, [](TGvItem* i) { return i->GetVisible(); });
}
TGvItem* TGvGroups::LastInitializedItem() const {
    return FirstItemWhere(this, false, [](TGvItem* i) { return i->GetInitialized(); });
}

TGvItem* TGvGroups::FirstInGroup(TGvGroup* Group) const {
    if (!Group || Group->ItemCount() == 0) return nullptr;
    return Group->GetItem(0);
}

TGvItem* TGvGroups::FirstVisibleInGroup(TGvGroup* Group) const {
    if (!Group) return nullptr;
    for (int i = 0; i < Group->ItemCount(); ++i)
        if (Group->GetItem(i)->GetVisible()) return Group->GetItem(i);
    return nullptr;
}

TGvItem* TGvGroups::SearchItem(TGvItem* Item, TGvItemSearch Mode, bool Forward) const {
    if (!Item) return nullptr;
    TGvGroup* group = Item->OwnerGroup();
    if (!group) return nullptr;
    int gi = group->GetIndex();
    if (gi < 0) return nullptr;
    int ii = Item->GetIndex() + (Forward ? 1 : -1);
    const int step = Forward ? 1 : -1;
    while (gi >= 0 && gi < GetCount()) {
        TGvGroup* g = GetGroups(gi);
        if (g->GetExpanded() && g->GetEnabled()) {
            const int n = g->ItemCount();
            for (; Forward ? ii < n : ii >= 0; ii += step) {
                if (ii < 0 || ii >= n) continue;
                TGvItem* candidate = g->GetItem(ii);
                if (ItemQualifies(candidate, Mode)) return candidate;
            }
        }
        gi += step;
        if (gi >= 0 && gi < GetCount()) ii = Forward ? 0 : GetGroups(gi)->ItemCount() - 1;
    }
    return nullptr;
}

TGvItem* TGvGroups::NextItem(TGvItem* Item) const { return SearchItem(Item, TGvItemSearch::Any, true); }
TGvItem* TGvGroups::PrevItem(TGvItem* Item) const { return SearchItem(Item, TGvItemSearch::Any, false); }
TGvItem* TGvGroups::NextVisibleItem(TGvItem* Item) const { return SearchItem(Item, TGvItemSearch::Visible, true); }
TGvItem* TGvGroups::PrevVisibleItem(TGvItem* Item) const { return SearchItem(Item, TGvItemSearch::Visible, false); }
TGvItem* TGvGroups::NextInitializedItem(TGvItem* Item) const {
    return SearchItem(Item, TGvItemSearch::Initialized, true);
}
TGvItem* TGvGroups::PrevInitializedItem(TGvItem* Item) const {
    return SearchItem(Item, TGvItemSearch::Initialized, false);
}
TGvItem* TGvGroups::NextEditableItem(TGvItem* Item) const { return SearchItem(Item, TGvItemSearch::Editable, true); }
TGvItem* TGvGroups::PrevEditableItem(TGvItem* Item) const { return SearchItem(Item, TGvItemSearch::Editable, false); }

TGvItem* TGvGroups::NextVisibleInGroup(TGvGroup* Group, TGvItem* Item) const {
    if (!Group || !Item || Item->OwnerGroup() != Group) return nullptr;
    for (int i = Item->GetIndex() + 1; i < Group->ItemCount(); ++i)
        if (Group->GetItem(i)->GetVisible()) return Group->GetItem(i);
    return nullptr;
}

TGvGroup* TGvGroups::GroupByPoint(TPoint ViewPoint) const {
    for (int i = 0; i < GetCount(); ++i) {
        TGvGroup* g = GetGroups(i);
        if (g->GetVisible() && g->GetEnabled() && gcl::PtInRect(g->GetDisplayRect(), ViewPoint)) return g;
    }
    return nullptr;
}

TGvItem* TGvGroups::AdjacentItem(TGvItem* Item, TGvAdjacentDirection Direction) const {
    TGvGroup* group = Item ? Item->OwnerGroup() : nullptr;
    return group ? group->GetGrid()->AdjacentItem(Item, Direction) : nullptr;
}

TGvItem* TGvGroups::ItemByPoint(TPoint ViewPoint) const {
    TGvGroup* group = GroupByPoint(ViewPoint);
    return group ? group->ItemByPoint(ViewPoint) : nullptr;
}

TGvGroup* TGvGroups::FirstGroupInRect(const TRect& ViewRect) const {
    for (int i = 0; i < GetCount(); ++i) {
        TGvGroup* g = GetGroups(i);
        if (g->GetVisible() && Intersects(g->GetDisplayRect(), ViewRect)) return g;
    }
    return nullptr;
}

TGvGroup* TGvGroups::NextGroupInRect(TGvGroup* Group, const TRect& ViewRect) const {
    for (TGvGroup* g = NextGroup(Group); g; g = NextGroup(g)) {
        if (!g->GetVisible()) continue;
        return Intersects(g->GetDisplayRect(), ViewRect) ? g : nullptr;
    }
    return nullptr;
}

namespace {
TRect ItemTestRect(TGvItem* item, TCustomGvListview* lv) {
    TRect r = item->GetDisplayRect();
    if (lv && lv->GetView() == elsReport && lv->GetHeader()) {
        const TRect header = lv->GetHeader()->GetHeaderRect();
        r.Left = header.Left;
        r.Right = header.Right;
    }
    return r;
}
} // namespace

TGvItem* TGvGroups::FirstItemInRect(const TRect& ViewRect) const {
    TCustomGvListview* lv = GetOwnerListview();
    for (TGvGroup* g = FirstGroupInRect(ViewRect); g; g = NextGroupInRect(g, ViewRect)) {
        if (!g->GetExpanded() || g->ItemCount() == 0) continue;
        // Report rows are of one height: skip the rows above the rectangle.
        int from = 0;
        TGvItemList& visible = g->VisibleItems();
        if (!visible.empty() && g->GetGrid()->GetLayout() == 2) {
            const TRect first = visible.front()->GetDisplayRect();
            if (first.Height() > 0 && ViewRect.Top > first.Top) {
                const size_t row = static_cast<size_t>((ViewRect.Top - first.Top) / first.Height());
                from = visible[std::min(row, visible.size() - 1)]->GetIndex();
            }
        }
        for (int i = std::max(from, 0); i < g->ItemCount(); ++i) {
            TGvItem* item = g->GetItem(i);
            if (item->GetVisible() && Intersects(ItemTestRect(item, lv), ViewRect)) return item;
        }
    }
    return nullptr;
}

TGvItem* TGvGroups::NextItemInRect(TGvItem* Item, const TRect& ViewRect) const {
    if (!Item || !Item->OwnerGroup()) return nullptr;
    TCustomGvListview* lv = GetOwnerListview();
    const bool report = lv && lv->GetView() == elsReport;
    const bool horizontal = lv && !ScrollsVertically(lv->GetView());
    TGvGroup* g = Item->OwnerGroup();
    int start = Item->GetIndex() + 1;
    while (g) {
        if (g->GetExpanded()) {
            for (int i = start; i < g->ItemCount(); ++i) {
                TGvItem* item = g->GetItem(i);
                if (!item->GetVisible()) continue;
                const TRect r = ItemTestRect(item, lv);
                if (Intersects(r, ViewRect)) return item;
                if (report) return nullptr;
                const bool beyond = horizontal ? r.Left > ViewRect.Right : r.Top > ViewRect.Bottom;
                if (beyond) return nullptr;
            }
        }
        g = NextGroupInRect(g, ViewRect);
        start = 0;
    }
    return nullptr;
}

int TGvGroups::CellHeight() const {
    TCustomGvListview* lv = GetOwnerListview();
    if (GetCount() == 0 || !lv || !lv->GetCellSizes()) return 0;
    return lv->GetCellSizes()->ForView(lv->GetView())->GetHeight();
}

int TGvGroups::CellWidth() const {
    TCustomGvListview* lv = GetOwnerListview();
    if (GetCount() == 0 || !lv || !lv->GetCellSizes()) return 0;
    return lv->GetCellSizes()->ForView(lv->GetView())->GetWidth();
}

void TGvGroups::GetViewRect(TRect& R) const {
    R = TRect{};
    if (TGvGroup* g = LastVisibleGroup()) {
        const TRect d = g->GetDisplayRect();
        R = TRect{0, 0, d.Right, d.Bottom};
    }
}

void TGvGroups::ExpandAll() {
    TListviewUpdate update(GetOwnerListview());
    for (int i = 0; i < GetCount(); ++i) GetGroups(i)->SetExpanded(true);
}

void TGvGroups::MakeAllVisible() {
    TListviewUpdate update(GetOwnerListview());
    for (int i = 0; i < GetCount(); ++i) {
        TGvGroup* g = GetGroups(i);
        g->SetVisible(true);
        for (int j = 0; j < g->ItemCount(); ++j) g->GetItem(j)->SetVisible(true);
    }
}

void TGvGroups::InvalidateGroup(TGvGroup* Group, bool ImmediateUpdate) {
    if (Group) Group->Invalidate(ImmediateUpdate);
}

void TGvGroups::Rebuild(bool Force) {
    TCustomGvListview* lv = GetOwnerListview();
    if (!lv || FRebuilding) return;
    if (!(lv->GetUpdateCount() == 0 || Force)) return;
    if (lv->IsLoading() || lv->IsDestroying() || !lv->HandleAllocated()) return;
    gcl::TFlagScope rebuilding(FRebuilding);
    // A scroll bar that comes or goes with the new layout changes the
    // client area the header and the groups were laid out for (the bars'
    // own call back into this rebuild finds it running): lay them out once
    // more for the area they are shown in. Once more only, so that a bar
    // that comes and goes with each layout cannot loop.
    const TRect client = ClientRectOf(lv);
    LayOut(lv, Force);
    const TRect after = ClientRectOf(lv);
    if (after.Width() == client.Width() && after.Height() == client.Height()) return;
    if (RowsIgnoreClientSize(lv)) {
        // Every row stands where it stood: only the header's band and the
        // scroll bars' pages follow the new area.
        if (lv->GetHeader()) lv->GetHeader()->Rebuild(Force);
        if (lv->GetScrollbars()) lv->GetScrollbars()->ReCalculateScrollbars(true, false);
        lv->InvalidateView();
        return;
    }
    LayOut(lv, Force);
}

bool TGvGroups::RowsIgnoreClientSize(TCustomGvListview* lv) const {
    // Report rows of the built-in kinds are placed by the header's columns,
    // the cell height and the groups' margins, none of which the client
    // area's size changes, unless one column is made as wide as the area
    // or the cells size themselves to the captions.
    TGvHeader* header = lv->GetHeader();
    if (lv->GetView() != elsReport || !header || header->GetFixedSingleColumn()) return false;
    for (int i = 0; i < GetCount(); ++i) {
        TGvGroup* g = GetGroups(i);
        const gcl::TClass kind = g->ClassType();
        if (kind != TGvGroupVirtual::StaticClass() && kind != TGvGroupStored::StaticClass()) return false;
        // (Asked without making the grids that groups laid out lazily lack.)
        if (g->WantedGridClass() != TGvGridReportGroup::StaticClass()) return false;
    }
    TGvCellSize* size = lv->GetCellSizes() ? lv->GetCellSizes()->GetReport() : nullptr;
    return GetCount() == 0 || !size || !size->GetAutoSize();
}

void TGvGroups::LayOut(TCustomGvListview* lv, bool Force) {
    TGvEntryList& visible = VisibleList();
    visible.clear();
    visible.reserve(static_cast<size_t>(GetCount()));
    if (lv->GetHeader()) lv->GetHeader()->Rebuild(Force);
    TRect view{};
    int nextVisibleIndex = 0;
    TGvGroup* previous = nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        // (Thousands of small groups: their parts are fetched ahead.)
        if (i + 8 < GetCount()) GetGroups(i + 8)->FetchSelf();
        if (i + 4 < GetCount()) GetGroups(i + 4)->FetchParts();
        if (i + 2 < GetCount()) GetGroups(i + 2)->FetchItemList();
        TGvGroup* g = GetGroups(i);
        if (g->GetVisible()) {
            g->SetVisibleIndex(static_cast<int>(visible.size()));
            visible.push_back(g);
        } else {
            g->SetVisibleIndex(-1);
        }
        g->RebuildLayout(previous, nextVisibleIndex);
        gcl::UnionRect(view, view, g->GetDisplayRect());
        view.Left = 0;
        view.Top = 0;
        if (g->GetItems()) g->GetItems()->ReIndexItems(false);
        previous = g;
    }
    // A fold of the focused item's group, by whoever folds it, leaves the
    // item out of the view: the focus moves past the group as a fold by
    // its button moves it (to the next item laid out, or to none), so
    // that no key or caller acts on an item the user cannot see.
    if (TGvSelectionManager* selection = lv->GetSelection()) {
        TGvItem* focused = selection->GetFocusedItem();
        TGvGroup* group = focused ? focused->OwnerGroup() : nullptr;
        if (group && group->GetVisible() && !group->GetExpanded()) selection->FocusPastGroup(group);
    }
    if (lv->GetSelection() && lv->GetSelection()->GetGroupSelections())
        lv->GetSelection()->BuildSelectionGroupings(false);
    if (lv->GetScrollbars()) {
        lv->GetScrollbars()->SetViewRect(view, false);
        lv->GetScrollbars()->ReCalculateScrollbars(true, false);
    }
    // The rows are laid out anew; the header is repainted when it changed.
    lv->InvalidateView();
}

void TGvGroups::LoadFromStream(TStream& S) {
    if (FStreamGroups) ReadItems(S);
}

void TGvGroups::SaveToStream(TStream& S) {
    if (FStreamGroups) WriteItems(S);
}

void TGvGroups::FreeEntries() {
    TCustomGvListview* lv = GetOwnerListview();
    const TGvSelectionManager* selection = lv ? lv->GetSelection() : nullptr;
    const TGvEditManager* edit = lv ? lv->GetEditManager() : nullptr;
    // An edit to take away fires events of its own: the groups are freed
    // one by one.
    if (!lv || !GetEntriesDestroying() || (edit && (edit->Editing() || edit->GetEditItem())))
        return inherited::FreeEntries();
    // So is a focus, at the free of its group: that group is freed on its
    // own, in its turn, and the others in the walk (a task chosen, then
    // thousands of small groups made anew).
    const TGvItem* focused = selection ? selection->GetFocusedItem() : nullptr;
    const TGvGroup* focusGroup = focused ? focused->OwnerGroup() : nullptr;
    if (focused && (!focusGroup || focusGroup->GetCollection() != this)) return inherited::FreeEntries();
    lv->ForgetGroupsOf(this, focusGroup);
    const bool fireFreeing = static_cast<bool>(lv->OnGroupFreeing);
    TGvEntryList& list = List();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        auto* group = static_cast<TGvGroup*>(*it);
        if (group != focusGroup && group->BulkFreeable())
            group->FreeInGroupsWalk(lv, fireFreeing);
        else
            gcl::Free(group);
    }
}

void TGvGroups::DoStructureChange() {
    TCustomGvListview* lv = GetOwnerListview();
    if (!lv || lv->IsDestroying()) return;
    Rebuild(false);
}

// ---- TGvGroup ------------------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvGroup)

TGvGroup::TGvGroup(TGvCollection* ACollection)
    : TGvCollectionItem(ACollection),
      FItems(TGvItems::Create(ACollection ? ACollection->GetOwnerListview() : nullptr, this)) {}

TGvGroup::~TGvGroup() {
    gcl::Free(FItems);
    gcl::Free(FGrid);
}

TGvGridGroupClass TGvGroup::GridClass(TGvListStyle ViewStyle) const {
    switch (ViewStyle) {
    case elsIcon:
        return TGvGridIconGroup::StaticClass();
    case elsSmallIcon:
        return TGvGridSmallIconGroup::StaticClass();
    case elsList:
        return TGvGridListGroup::StaticClass();
    case elsReport:
        return TGvGridReportGroup::StaticClass();
    case elsThumbnail:
        return TGvGridThumbnailGroup::StaticClass();
    case elsTile:
        return TGvGridTileGroup::StaticClass();
    case elsFilmStrip:
        return TGvGridFilmStripGroup::StaticClass();
    case elsGrid:
        return TGvGridGridGroup::StaticClass();
    }
    return TGvGridIconGroup::StaticClass();
}

TGvGridGroupClass TGvGroup::WantedGridClass() const {
    TCustomGvListview* lv = OwnerListview();
    const TGvListStyle view = lv ? lv->GetView() : elsIcon;
    TGvGridGroupClass wanted = nullptr;
    if (lv) lv->DoCustomGrid(const_cast<TGvGroup*>(this), view, wanted);
    return wanted ? wanted : GridClass(view);
}

TGvGridGroup* TGvGroup::GetGrid() const {
    const TGvGridGroupClass wanted = WantedGridClass();
    if (FGrid && FGrid->ClassType() == wanted) return FGrid;
    gcl::Free(FGrid);
    FGrid = nullptr;
    FGrid = wanted->Create(OwnerListview(), const_cast<TGvGroup*>(this));
    // Laid out as report rows before it had a grid: the grid starts with
    // what that layout would have left in it.
    if (FRowsWithoutGrid && wanted == TGvGridReportGroup::StaticClass())
        static_cast<TGvGridReportGroup*>(FGrid)->TakeRows(VisibleItemCount());
    FRowsWithoutGrid = false;
    return FGrid;
}

TGvItem* TGvGroup::GetItem(int Index) const { return FItems->GetItems(Index); }
int TGvGroup::ItemCount() const { return FItems ? FItems->GetCount() : 0; }

TGvItem* TGvGroup::VisibleItem(int Index) const {
    return Index >= 0 && Index < VisibleItemCount() ? FVisibleItems[static_cast<size_t>(Index)] : nullptr;
}

bool TGvGroup::HitTestAt(TPoint ViewPoint, TGvGroupHitTestInfoSet& HitInfo) {
    HitInfo = TGvGroupHitTestInfoSet{};
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return false;
    struct TMarginHit {
        TRect Rect;
        TGvGroupHitTestInfo Info;
        int Edge;
    };
    const TMarginHit margins[] = {{MarginRectTop(), egtOnHeader, gmeTop},
                                  {MarginRectBottom(), egtOnFooter, gmeBottom},
                                  {MarginRectLeft(), egtOnLeftMargin, gmeLeft},
                                  {MarginRectRight(), egtOnRightMargin, gmeRight}};
    for (const TMarginHit& margin : margins) {
        if (!gcl::PtInRect(margin.Rect, ViewPoint)) continue;
        HitInfo.Include(margin.Info);
        TGvRectArrayObject R;
        lv->GroupView()->GroupRectArray(this, margin.Edge, margin.Rect, R);
        TRect icon = R.IconRect;
        if (TGvPaintInfoBaseGroup* info = GroupInfo(this)) icon.Right += info->GetCaptionIndent();
        const std::pair<TRect, TGvGroupHitTestInfo> parts[] = {
            {icon, egtOnIcon},       {R.TextRect, egtOnText}, {R.LabelRect, egtOnLabel},
            {R.ExpandButtonRect, egtOnExpandButton}, {R.BandRect, egtOnBand}, {R.CheckRect, egtOnCheckbox}};
        for (const auto& part : parts) {
            if (gcl::PtInRect(part.first, ViewPoint)) {
                HitInfo.Include(part.second);
                break;
            }
        }
        break;
    }
    return !HitInfo.Empty();
}

TGvItem* TGvGroup::ItemByPoint(TPoint ViewPoint) const {
    TCustomGvListview* lv = OwnerListview();
    if (lv && FGrid && FGrid->GetLayout() == 2 && FGrid->ViewStyle() == lv->GetView()) {
        // One row of equal height per visible item, top to bottom: the row
        // follows from the point.
        if (FVisibleItems.empty()) return nullptr;
        const TRect first = FVisibleItems.front()->GetDisplayRect();
        const int height = first.Height();
        if (height <= 0 || ViewPoint.Y < first.Top) return nullptr;
        const size_t row = static_cast<size_t>((ViewPoint.Y - first.Top) / height);
        if (row >= FVisibleItems.size()) return nullptr;
        TGvItem* item = FVisibleItems[row];
        return gcl::PtInRect(item->GetDisplayRect(), ViewPoint) ? item : nullptr;
    }
    for (int i = 0; i < ItemCount(); ++i)
        if (gcl::PtInRect(GetItem(i)->GetDisplayRect(), ViewPoint)) return GetItem(i);
    return nullptr;
}

void TGvGroup::SetExpanded(bool Value) {
    if (Value == FExpanded) return;
    if (TGvPaintInfoBaseGroup* info = GroupInfo(this); info && !info->GetExpandable()) return;
    TCustomGvListview* lv = OwnerListview();
    // The end of the outermost update lays the groups out: once for a
    // caller that expands or collapses thousands of groups in one bracket.
    TListviewUpdate update(lv);
    FExpanded = Value;
    if (lv) {
        if (Value)
            lv->DoGroupExpand(this);
        else
            lv->DoGroupCollapse(this);
    }
}


TRect TGvGroup::MarginRectTop() const {
    const TMarginSizes m = MarginsOf(this);
    if (!m.TopOn) return {};
    const TRect d = GetDisplayRect();
    return TRect{d.Left + m.Left, d.Top, d.Right - m.Right, d.Top + m.Top};
}

TRect TGvGroup::MarginRectBottom() const {
    const TMarginSizes m = MarginsOf(this);
    if (!m.BottomOn) return {};
    const TRect d = GetDisplayRect();
    return TRect{d.Left + m.Left, d.Bottom - m.Bottom, d.Right - m.Right, d.Bottom};
}

TRect TGvGroup::MarginRectLeft() const {
    const TMarginSizes m = MarginsOf(this);
    if (!m.LeftOn) return {};
    const TRect d = GetDisplayRect();
    return TRect{d.Left, d.Top, d.Left + m.Left, d.Bottom};
}

TRect TGvGroup::MarginRectRight() const {
    const TMarginSizes m = MarginsOf(this);
    if (!m.RightOn) return {};
    const TRect d = GetDisplayRect();
    return TRect{d.Right - m.Right, d.Top, d.Right, d.Bottom};
}

TRect TGvGroup::ClientRect() const {
    const TMarginSizes m = MarginsOf(this);
    TRect r = GetDisplayRect();
    r.Left += m.Left;
    r.Top += m.Top;
    r.Right -= m.Right;
    r.Bottom -= m.Bottom;
    if (r.Top > r.Bottom) r.Bottom = r.Top;
    if (r.Left > r.Right) r.Right = r.Left;
    return r;
}

gcl::TCustomImageList* TGvGroup::DefaultImageList(int) const {
    TCustomGvListview* lv = OwnerListview();
    return lv ? lv->GetImagesGroup() : nullptr;
}

void TGvGroup::RebuildLayout(TGvGroup* PrevGroup, int& NextVisibleIndex) {
    // The visible items are listed in one allocation rather than grown
    // one doubling at a time (thousands of small groups made each time).
    if (GetExpanded() && GetVisible()) FVisibleItems.reserve(static_cast<size_t>(ItemCount()));
    // Report rows of fixed height need nothing of a grid but the rows it
    // counts: a group without one (thousands of small groups made anew)
    // is laid out without making it, and makes it when first asked.
    TCustomGvListview* lv = OwnerListview();
    if (!FGrid && lv && WantedGridClass() == TGvGridReportGroup::StaticClass()) {
        TGvCellSize* size = lv->GetCellSizes() ? lv->GetCellSizes()->GetReport() : nullptr;
        if (size && !size->GetAutoSize()) {
            TGvGridReportGroup::PlaceRows(lv, this, size->GetHeight(), PrevGroup, NextVisibleIndex);
            FRowsWithoutGrid = true;
            return;
        }
    }
    GetGrid()->Rebuild(PrevGroup, NextVisibleIndex);
}

bool TGvGroup::CanChangeSelection() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSelectionChanging(this, allow);
    return allow;
}

bool TGvGroup::CanChangeVisibility() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupVisibilityChanging(this, allow);
    return allow;
}

TGvPaintInfoBasic* TGvGroup::DefaultPaintInfo() const {
    TCustomGvListview* lv = OwnerListview();
    return lv ? lv->GetPaintInfoGroup() : nullptr;
}

void TGvGroup::Freeing() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupFreeing(this);
}

void TGvGroup::CheckGain() {
    for (int i = 0; i < ItemCount(); ++i)
        if (GetItem(i)->GetVisible()) GetItem(i)->SetChecked(true);
    Invalidate(false);
}

void TGvGroup::CheckLose() {
    for (int i = 0; i < ItemCount(); ++i) GetItem(i)->SetChecked(false);
    Invalidate(false);
}

void TGvGroup::EnableGain() {
    for (int i = 0; i < ItemCount(); ++i) GetItem(i)->SetEnabled(true);
    Invalidate(false);
}

void TGvGroup::EnableLose() {
    for (int i = 0; i < ItemCount(); ++i) GetItem(i)->SetEnabled(false);
    Invalidate(false);
}

void TGvGroup::HotTrackGain(TPoint MousePos) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupHotTrack(this, ehsEnable, MousePos);
    Invalidate(true);
}

void TGvGroup::HotTrackLose() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupHotTrack(this, ehsDisable, TPoint{});
    Invalidate(true);
}

void TGvGroup::Initialize() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupInitialize(this);
}

void TGvGroup::SelectionGain() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSelectionChanged(this);
}

void TGvGroup::SelectionLose() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSelectionChanged(this);
}

void TGvGroup::VisibilityGain() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupVisibilityChanged(this);
    for (int i = 0; i < ItemCount(); ++i) GetItem(i)->SetVisible(true);
}

void TGvGroup::VisibilityLose() {
    for (int i = 0; i < ItemCount(); ++i) GetItem(i)->SetVisible(false);
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupVisibilityChanged(this);
}

void TGvGroup::LoadFromStream(TStream& S, int& Version) {
    inherited::LoadFromStream(S, Version);
    if (FItems)
        FItems->Clear(true);
    else
        FItems = TGvItems::Create(OwnerListview(), this);
    FItems->ReadItems(S);
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupLoadFromStream(this, S, Version);
}

void TGvGroup::SaveToStream(TStream& S, int Version) {
    inherited::SaveToStream(S, Version);
    FItems->WriteItems(S);
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSaveToStream(this, S, Version);
}

void TGvGroup::BeforeDestruction() noexcept {
    SetStateBit(esosDestroying, true);
    try {
        SetSelected(false);
        SetFocused(false);
    } catch (...) {
    }
    gcl::FreeAndNil(FItems);
    inherited::BeforeDestruction();
    FVisibleItems.clear();
}

bool TGvGroup::BulkFreeable() const noexcept {
    const gcl::TClass kind = ClassType();
    return (kind == TGvGroupVirtual::StaticClass() || kind == TGvGroupStored::StaticClass()) && !GetDataInf();
}

void TGvGroup::FreeInGroupsWalk(TCustomGvListview* Listview, bool FireFreeing) noexcept {
    // BeforeDestruction of a group that is not selected or focused and
    // has no data object: its items are cleared (and their events fired)
    // inside the brackets the groups' clear holds, and what is left is
    // the freeing event.
    SetStateBit(esosDestroying, true);
    if (FItems) {
        try {
            FItems->ClearInGroupsWalk();
        } catch (...) {
        }
        gcl::FreeAndNil(FItems);
    }
    if (FireFreeing) {
        try {
            Listview->DoGroupFreeing(this);
        } catch (...) {
        }
    }
    FVisibleItems.clear();
    delete this;
}

// ---- Group kinds ---------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvGroupInterfaced)
GCL_IMPLEMENT_CLASS(TGvGroupVirtual)
GCL_IMPLEMENT_CLASS(TGvBaseGroupStored)

GCL_PUBLISHED(TGvGroupStored,
    GCL_PROP(Caption),
    GCL_PROP(Bold).Default(false),
    GCL_PROP(Checked).Default(false),
    GCL_PROP(Cut).Default(false),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Expanded).Default(true),
    GCL_PROP(ImageIndex).Default(-1),
    GCL_PROP(ImageOverlayIndex).Default(-1),
    GCL_PROP_RO(Items),
    GCL_PROP(Tag).Default(0),
    GCL_PROP(Visible).Default(true))

GCL_PUBLISHED(TGvGroupTaskPanel,
    GCL_PROP(Caption),
    GCL_PROP(Bold).Default(false),
    GCL_PROP(Checked).Default(false),
    GCL_PROP(Cut).Default(false),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Expanded).Default(true),
    GCL_PROP(Height).Default(200),
    GCL_PROP(ImageIndex).Default(-1),
    GCL_PROP(ImageOverlayIndex).Default(-1),
    GCL_PROP(Tag).Default(0),
    GCL_PROP_RO(TaskWindowCreated),
    GCL_PROP(Visible).Default(true))

std::wstring TGvGroupInterfaced::GetCaptions(int Column) const { return InterfacedCaption(this, Column); }
void TGvGroupInterfaced::SetCaptions(int Column, const std::wstring& Value) { InterfacedSetCaption(this, Column, Value); }
int TGvGroupInterfaced::GetImageIndexes(int Column) const { return InterfacedImage(this, Column, eikNormal); }
void TGvGroupInterfaced::SetImageIndexes(int Column, int Value) { InterfacedSetImage(this, Column, eikNormal, Value); }
int TGvGroupInterfaced::GetImageOverlayIndexes(int Column) const { return InterfacedImage(this, Column, eikOverlay); }
void TGvGroupInterfaced::SetImageOverlayIndexes(int Column, int Value) {
    InterfacedSetImage(this, Column, eikOverlay, Value);
}
bool TGvGroupInterfaced::ImageDrawIsCustom(TGvColumn* Column) { return InterfacedImageDrawIsCustom(this, Column); }
void TGvGroupInterfaced::ImageGetSize(TGvColumn* Column, int& ImageWidth, int& ImageHeight) {
    InterfacedImageGetSize(this, Column, ImageWidth, ImageHeight);
}
void TGvGroupInterfaced::ImageDraw(TGvColumn* Column, gcl::TCanvas* ACanvas, const TGvRectArrayObject& RectArray,
                      TGvAlphaBlender* AlphaBlender) {
    InterfacedImageDraw(this, Column, ACanvas, RectArray, AlphaBlender);
}

gcl::TCustomImageList* TGvGroupInterfaced::GetImageList(int Column) const {
    return InterfacedImageList(this, Column, DefaultImageList(0));
}
int TGvGroupInterfaced::GetDetailCount() const { return InterfacedDetailCount(this); }
void TGvGroupInterfaced::SetDetailCount(int Value) { InterfacedSetDetailCount(this, Value); }
int TGvGroupInterfaced::GetDetails(int Line) const { return InterfacedDetail(this, Line); }
void TGvGroupInterfaced::SetDetails(int Line, int Value) { InterfacedSetDetail(this, Line, Value); }

std::wstring TGvGroupVirtual::GetCaptions(int) const {
    std::wstring caption;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupGetCaption(const_cast<TGvGroupVirtual*>(this), caption);
    return caption;
}
void TGvGroupVirtual::SetCaptions(int, const std::wstring& Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSetCaption(this, Value);
    Invalidate(false);
}
int TGvGroupVirtual::GetImageIndexes(int) const {
    int index = -1;
    if (TCustomGvListview* lv = OwnerListview())
        lv->DoGroupGetImageIndex(const_cast<TGvGroupVirtual*>(this), eikNormal, index);
    return index;
}
int TGvGroupVirtual::GetImageOverlayIndexes(int) const {
    int index = -1;
    if (TCustomGvListview* lv = OwnerListview())
        lv->DoGroupGetImageIndex(const_cast<TGvGroupVirtual*>(this), eikOverlay, index);
    return index;
}
void TGvGroupVirtual::SetImageIndexes(int, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSetImageIndex(this, eikNormal, Value);
    Invalidate(false);
}
void TGvGroupVirtual::SetImageOverlayIndexes(int, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSetImageIndex(this, eikOverlay, Value);
    Invalidate(false);
}
gcl::TCustomImageList* TGvGroupVirtual::GetImageList(int) const {
    gcl::TCustomImageList* list = nullptr;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupGetImageList(const_cast<TGvGroupVirtual*>(this), list);
    return list ? list : DefaultImageList(0);
}
int TGvGroupVirtual::GetDetailCount() const {
    int count = 0;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupGetDetailCount(const_cast<TGvGroupVirtual*>(this), count);
    return count;
}
void TGvGroupVirtual::SetDetailCount(int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSetDetailCount(this, Value);
}
int TGvGroupVirtual::GetDetails(int Line) const {
    int detail = 0;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupGetDetail(const_cast<TGvGroupVirtual*>(this), Line, detail);
    return detail;
}
void TGvGroupVirtual::SetDetails(int Line, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSetDetail(this, Line, Value);
    Invalidate(false);
}

TGvBaseGroupStored::TGvBaseGroupStored(TGvCollection* ACollection)
    : TGvGroup(ACollection) {}

std::wstring TGvBaseGroupStored::GetCaptions(int Column) const { return FDataHelper.GetCaption(Column); }
void TGvBaseGroupStored::SetCaptions(int Column, const std::wstring& Value) {
    if (FDataHelper.SetCaption(Column, Value)) Invalidate(false);
}
int TGvBaseGroupStored::GetImageIndexes(int Column) const { return FDataHelper.GetImageIndex(Column); }
void TGvBaseGroupStored::SetImageIndexes(int Column, int Value) {
    if (FDataHelper.SetImageIndex(Column, Value)) Invalidate(false);
}
int TGvBaseGroupStored::GetImageOverlayIndexes(int Column) const { return FDataHelper.GetOverlayIndex(Column); }
void TGvBaseGroupStored::SetImageOverlayIndexes(int Column, int Value) {
    if (FDataHelper.SetOverlayIndex(Column, Value)) Invalidate(false);
}
int TGvBaseGroupStored::GetDetailCount() const {
    TCustomGvListview* lv = OwnerListview();
    return lv && lv->GetPaintInfoGroup() ? lv->GetPaintInfoGroup()->GetCaptionLines() : 0;
}
void TGvBaseGroupStored::SetDetailCount(int Value) {
    TCustomGvListview* lv = OwnerListview();
    if (lv && lv->GetPaintInfoGroup()) lv->GetPaintInfoGroup()->SetCaptionLines(Value);
}
int TGvBaseGroupStored::GetDetails(int Line) const { return FDataHelper.GetDetail(Line); }
void TGvBaseGroupStored::SetDetails(int Line, int Value) {
    if (FDataHelper.SetDetail(Line, Value)) Invalidate(false);
}

void TGvBaseGroupStored::LoadFromStream(TStream& S, int& Version) {
    inherited::LoadFromStream(S, Version);
    FDataHelper.LoadFromStream(S, Version);
}

void TGvBaseGroupStored::SaveToStream(TStream& S, int Version) {
    inherited::SaveToStream(S, Version);
    FDataHelper.SaveToStream(S, Version);
}

void TGvGroupTaskPanel::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    TCustomGvListview* lv = OwnerListview();
    if (lv && lv->GetGroups()) lv->GetGroups()->Rebuild(true);
}

void TGvGroupTaskPanel::SetTaskWindow(gcl::TWinControl* Value) {
    if (Value == FTaskWindow) return;
    gcl::Free(FTaskWindow);
    FTaskWindow = Value;
}

void TGvGroupTaskPanel::SetExpanded(bool Value) {
    inherited::SetExpanded(Value);
    if (FTaskWindow) FTaskWindow->SetHeight(GetExpanded() ? FHeight : 0);
}

void TGvGroupTaskPanel::LoadFromStream(TStream& S, int& Version) {
    inherited::LoadFromStream(S, Version);
    FHeight = ReadInt32(S);
}

void TGvGroupTaskPanel::SaveToStream(TStream& S, int Version) {
    inherited::SaveToStream(S, Version);
    WriteInt32(S, FHeight);
}

void TGvGroupTaskPanel::BeforeDestruction() noexcept {
    gcl::FreeAndNil(FTaskWindow);
    inherited::BeforeDestruction();
}

} // namespace qelvo
