// Cell sizes of the eight view styles.
#include "listview/GvInternal.h"

namespace qelvo {

using namespace gvdetail;

// ---- Cell sizes ----------------------------------------------------------------------------

GCL_PUBLISHED(TGvCellSize,
    GCL_PROP(AutoSize).Default(false),
    GCL_PROP(Height).Default(75),
    GCL_PROP(Width).Default(75))
GCL_IMPLEMENT_CLASS(TGvCellSizeIcon)
GCL_PUBLISHED(TGvCellSizeSmallIcon, GCL_PROP(Height).Default(17), GCL_PROP(Width).Default(200))
GCL_PUBLISHED(TGvCellSizeList, GCL_PROP(Height).Default(17), GCL_PROP(Width).Default(200))
GCL_PUBLISHED(TGvCellSizeReport, GCL_PROP(Height).Default(17), GCL_PROP(Width).Default(75))
GCL_PUBLISHED(TGvCellSizeThumbnail, GCL_PROP(Height).Default(143), GCL_PROP(Width).Default(125))
GCL_PUBLISHED(TGvCellSizeTile, GCL_PROP(Height).Default(58), GCL_PROP(Width).Default(218))
GCL_IMPLEMENT_CLASS(TGvCellSizeFilmStrip)
GCL_IMPLEMENT_CLASS(TGvCellGrid)

void TGvCellSize::Assign(gcl::TPersistent* Source) {
    if (auto* source = dynamic_cast<TGvCellSize*>(Source)) {
        FHeight = source->GetHeight();
        FWidth = source->GetWidth();
        return;
    }
    inherited::Assign(Source);
}

// At least 1 in both modes: the layouts divide by them.
int TGvCellSize::GetHeight() const noexcept { return std::max(FAutoSize ? FAutoHeight : FHeight, 1); }
int TGvCellSize::GetWidth() const noexcept { return std::max(FAutoSize ? FAutoWidth : FWidth, 1); }

void TGvCellSize::SetHeight(int Value) { SetSize(FAutoSize ? FAutoWidth : FWidth, Value); }
void TGvCellSize::SetWidth(int Value) { SetSize(Value, FAutoSize ? FAutoHeight : FHeight); }

void TGvCellSize::SetSize(int Width, int Height) {
    Width = std::max(Width, 0);
    Height = std::max(Height, 0);
    if (FAutoSize) {
        if (Width == FWidth && Height == FHeight) return;
        FAutoWidth = Width;
        FAutoHeight = Height;
        return;
    }
    FWidth = Width;
    FHeight = Height;
    RebuildGroupsOf(FOwnerListview);
}

void TGvCellSize::SetAutoSize(bool Value) {
    if (Value == FAutoSize) return;
    FAutoSize = Value;
    if (!Value) {
        FAutoWidth = FWidth;
        FAutoHeight = FHeight;
    }
    RebuildGroupsOf(FOwnerListview);
}

GCL_PUBLISHED(TGvCellSizes,
    GCL_PROP_RO(FilmStrip),
    GCL_PROP_RO(Icon),
    GCL_PROP_RO(SmallIcon),
    GCL_PROP_RO(Grid),
    GCL_PROP_RO(Thumbnail),
    GCL_PROP_RO(Tile),
    GCL_PROP_RO(List),
    GCL_PROP_RO(Report))

TGvCellSizes::TGvCellSizes(TCustomGvListview* AOwner)
    : TGvOwnedPersistent(AOwner),
      FIcon(TGvCellSizeIcon::Create(AOwner)),
      FSmallIcon(TGvCellSizeSmallIcon::Create(AOwner)),
      FThumbnail(TGvCellSizeThumbnail::Create(AOwner)),
      FTile(TGvCellSizeTile::Create(AOwner)),
      FList(TGvCellSizeList::Create(AOwner)),
      FReport(TGvCellSizeReport::Create(AOwner)),
      FFilmStrip(TGvCellSizeFilmStrip::Create(AOwner)),
      FGrid(TGvCellGrid::Create(AOwner)) {}

TGvCellSizes::~TGvCellSizes() {
    for (TGvCellSize* size : {FIcon, FSmallIcon, FThumbnail, FTile, FList, FReport, FFilmStrip, FGrid}) gcl::Free(size);
}

TGvCellSize* TGvCellSizes::ForView(TGvListStyle View) const {
    switch (View) {
    case elsIcon:
        return FIcon;
    case elsSmallIcon:
        return FSmallIcon;
    case elsList:
        return FList;
    case elsReport:
        return FReport;
    case elsThumbnail:
        return FThumbnail;
    case elsTile:
        return FTile;
    case elsFilmStrip:
        return FFilmStrip;
    case elsGrid:
        return FGrid;
    }
    return FIcon;
}

// ---- Grid layouts ----------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvGridGroup)
GCL_IMPLEMENT_CLASS(TGvGridIconGroup)
GCL_IMPLEMENT_CLASS(TGvGridSmallIconGroup)
GCL_IMPLEMENT_CLASS(TGvGridThumbnailGroup)
GCL_IMPLEMENT_CLASS(TGvGridTileGroup)
GCL_IMPLEMENT_CLASS(TGvGridReportGroup)
GCL_IMPLEMENT_CLASS(TGvGridGridGroup)
GCL_IMPLEMENT_CLASS(TGvGridListGroup)
GCL_IMPLEMENT_CLASS(TGvGridFilmStripGroup)

TGvCellSize* TGvGridGroup::CellSize() const {
    return FOwnerListview && FOwnerListview->GetCellSizes() ? FOwnerListview->GetCellSizes()->ForView(ViewStyle())
                                                            : nullptr;
}

void TGvGridGroup::SetCellSize(TGvCellSize* Value) {
    if (TGvCellSize* size = CellSize()) size->Assign(Value);
}

int TGvGridGroup::CalcColumnCount(TGvGroup* Group, int Width) const {
    const TMarginSizes m = MarginsOf(Group);
    const int cell = CellSize() ? CellSize()->GetWidth() : 1;
    return std::max((Width - m.Left - m.Right) / cell, 1);
}

void TGvGridGroup::PrepareLayout() {
    TGvCellSize* size = CellSize();
    if (!size || !size->GetAutoSize() || !FOwnerGroup || !FOwnerListview) return;
    TGvItem* longest = nullptr;
    size_t length = 0;
    for (TGvItem* item : FOwnerGroup->VisibleItems()) {
        const size_t n = item->GetCaption().size();
        if (!longest || n > length) {
            longest = item;
            length = n;
        }
    }
    if (!longest) return;
    // Measured with the item's own view: its check box, state image and
    // image, and the caption in its font.
    TGvViewItem* view = FOwnerListview->ItemView(longest);
    gcl::TCanvas* canvas = FOwnerListview->MeasureCanvas();
    TGvRectArrayObject R;
    view->CalcRects(longest, nullptr, canvas, R);
    view->SetupFont(longest, 0, false, canvas);
    gcl::TSize text{0, 0};
    TextExtentW(longest->GetCaption(), canvas, text);
    size->SetAutoWidth(R.CheckRect.Width() + R.StateRect.Width() + R.IconRect.Width() + text.cx + 18);
}

void TGvGridGroup::FindInsertPosition(TPoint ViewPoint, TGvGroup*& Group, int& Index) {
    Group = nullptr;
    Index = -1;
    if (!FOwnerListview || !FOwnerListview->GetGroups()) return;
    Group = FOwnerListview->GetGroups()->GroupByPoint(ViewPoint);
    TGvItem* item = Group ? Group->ItemByPoint(ViewPoint) : nullptr;
    if (!item) return;
    // Before or after the item by its midpoint along the stacking axis.
    const TRect r = item->GetDisplayRect();
    const bool before = FLayout == 1 ? ViewPoint.X < r.Left + r.Width() / 2 : ViewPoint.Y < r.Top + r.Height() / 2;
    Index = before ? item->GetIndex() : item->GetIndex() + 1;
}

void TGvGridGroup::PlaceVisible(TGvItem* Item, int& NextVisibleIndex) {
    TGvItemList& visible = FOwnerGroup->VisibleItems();
    Item->SetVisibleIndex(NextVisibleIndex++);
    Item->SetVisibleIndexInGroup(static_cast<int>(visible.size()));
    visible.push_back(Item);
}

void TGvGridGroup::PlaceHidden(TGvItem* Item) {
    Item->SetVisibleIndex(-1);
    Item->SetVisibleIndexInGroup(-1);
}

TGvItem* TGvGridGroup::StepItem(int Index, bool Forward) const {
    if (Forward) {
        if (Index + 1 < FOwnerGroup->VisibleItemCount()) return FOwnerGroup->VisibleItem(Index + 1);
        TGvGroup* next = NextGroupWithItems();
        return next ? next->VisibleItem(0) : nullptr;
    }
    if (Index > 0) return FOwnerGroup->VisibleItem(Index - 1);
    TGvGroup* prev = PrevGroupWithItems();
    return prev ? prev->VisibleItem(prev->VisibleItemCount() - 1) : nullptr;
}

TGvGroup* TGvGridGroup::PrevGroupWithItems() const {
    TGvGroups* groups = FOwnerListview ? FOwnerListview->GetGroups() : nullptr;
    if (!groups || !FOwnerGroup) return nullptr;
    for (int i = FOwnerGroup->GetIndex() - 1; i >= 0; --i)
        if (groups->GetGroups(i)->VisibleItemCount() > 0) return groups->GetGroups(i);
    return nullptr;
}

TGvGroup* TGvGridGroup::NextGroupWithItems() const {
    TGvGroups* groups = FOwnerListview ? FOwnerListview->GetGroups() : nullptr;
    if (!groups || !FOwnerGroup) return nullptr;
    for (int i = FOwnerGroup->GetIndex() + 1; i < groups->GetCount(); ++i)
        if (groups->GetGroups(i)->VisibleItemCount() > 0) return groups->GetGroups(i);
    return nullptr;
}

TRect TGvGridGroup::ClientViewRect() const {
    TRect client = ClientRectOf(FOwnerListview);
    if (FOwnerListview && FOwnerListview->GetHeader()) client.Top += FOwnerListview->GetHeader()->RuntimeHeight();
    if (FOwnerListview && FOwnerListview->GetScrollbars())
        return FOwnerListview->GetScrollbars()->MapWindowRectToViewRect(client);
    return client;
}

TGvItem* TGvGridGroup::ItemAt(TPoint ViewPoint) const {
    return FOwnerListview && FOwnerListview->GetGroups() ? FOwnerListview->GetGroups()->ItemByPoint(ViewPoint)
                                                         : nullptr;
}

void TGvGridGroup::Rebuild(TGvGroup* PrevGroup, int& NextVisibleIndex) {
    TGvGroup* group = FOwnerGroup;
    if (!group) return;
    PrepareLayout();
    TGvCellSize* size = CellSize();
    const int cellWidth = size ? size->GetWidth() : 1;
    const int cellHeight = size ? size->GetHeight() : 1;
    const TMarginSizes m = MarginsOf(group);
    int width = ClientRectOf(FOwnerListview).Width() - 1;
    TGvScrollbarManager* bars = FOwnerListview ? FOwnerListview->GetScrollbars() : nullptr;
    if (bars && bars->VertBarVisible()) width -= GetSystemMetrics(SM_CXVSCROLL);
    width = std::max(width, cellWidth + m.Left + m.Right);
    TRect groupRect{0, 0, width, 0};
    TGvItemList& visible = group->VisibleItems();
    visible.clear();
    const int prevBottom = PrevGroup ? PrevGroup->GetDisplayRect().Bottom : 0;
    TGvSelectionManager* selection = FOwnerListview ? FOwnerListview->GetSelection() : nullptr;
    TGvItem* focused = selection ? selection->GetFocusedItem() : nullptr;
    int lastBottom = 0;
    FColumnCount = CalcColumnCount(group, width);
    if (group->GetVisible() && group->GetExpanded() && group->ItemCount() > 0) {
        int x = 0;
        int y = 0;
        for (int i = 0; i < group->ItemCount(); ++i) {
            TGvItem* item = group->GetItem(i);
            if (x + cellWidth > FColumnCount * cellWidth) {
                x = 0;
                y += cellHeight;
            }
            TRect r;
            if (item->GetVisible()) {
                PlaceVisible(item, NextVisibleIndex);
                r = TRect{x, y, x + cellWidth, y + cellHeight};
                x += cellWidth;
            } else {
                PlaceHidden(item);
                r = TRect{x, y, x, y + cellHeight};
            }
            gcl::OffsetRect(r, m.Left, m.Top + prevBottom);
            item->SetDisplayRect(r);
            lastBottom = r.Bottom - prevBottom;
        }
    } else {
        for (int i = 0; i < group->ItemCount(); ++i) PlaceHidden(group->GetItem(i));
        if (group->GetVisible() && focused && focused->OwnerGroup() == group && FOwnerListview->GetGroups())
            selection->SetFocusedItem(FOwnerListview->GetGroups()->NextVisibleItem(focused));
    }
    const int placed = static_cast<int>(visible.size());
    FRowCount = FColumnCount < 1 ? 0 : placed / FColumnCount + (placed % FColumnCount ? 1 : 0);
    groupRect.Bottom += m.Bottom + (placed > 0 ? lastBottom : m.Top);
    if (!group->GetVisible() && selection) {
        for (int i = 0; i < group->ItemCount() && selection->GetCount() > 0; ++i) group->GetItem(i)->SetSelected(false);
        if (focused && focused->OwnerGroup() == group) selection->SetFocusedItem(nullptr);
    }
    if (placed == 0) {
        FColumnCount = 0;
        FRowCount = 0;
    }
    gcl::OffsetRect(groupRect, 0, prevBottom);
    // The whole caption of the focused item stays inside its group (in the
    // last group, or in every group under ResizeGroupOnFocus).
    TGvGroups* groups = FOwnerListview ? FOwnerListview->GetGroups() : nullptr;
    if (focused && focused->OwnerGroup() == group && focused->GetVisibleIndexInGroup() >= 0 && groups &&
        (group == groups->LastGroup() || selection->GetResizeGroupOnFocus())) {
        TGvRectArrayObject R;
        FOwnerListview->ItemView(focused)->CalcRects(focused, nullptr, FOwnerListview->MeasureCanvas(), R);
        const int contentBottom = groupRect.Bottom - m.Bottom;
        if (R.FullTextRect.Bottom > contentBottom) groupRect.Bottom += R.FullTextRect.Bottom - contentBottom;
    }
    group->SetDisplayRect(groupRect);
}

TGvItem* TGvGridGroup::AdjacentItem(TGvItem* Item, TGvAdjacentDirection Direction) {
    if (!Item || !FOwnerGroup) return nullptr;
    if (Item->GetVisibleIndexInGroup() < 0) throw gcl::Exception(msg::GvAdjacentOfHiddenItem);
    const int i = Item->GetVisibleIndexInGroup();
    const int n = FOwnerGroup->VisibleItemCount();
    const int columns = std::max(FColumnCount, 1);
    const int column = i % columns;
    switch (Direction) {
    case adjLeft:
        return StepItem(i, false);
    case adjRight:
        return StepItem(i, true);
    case adjUp: {
        if (i - columns >= 0) return FOwnerGroup->VisibleItem(i - columns);
        TGvGroup* g = PrevGroupWithItems();
        for (int c = column; g && c >= 0; --c) {
            for (TGvGroup* h = g; h; h = h->GetGrid()->PrevGroupWithItems()) {
                const int count = h->VisibleItemCount();
                if (count <= c) continue;
                const int hColumns = std::max(h->GetGrid()->GetColumnCount(), 1);
                int last = (count - 1) / hColumns * hColumns + c;
                if (last >= count) last -= hColumns;
                return h->VisibleItem(last);
            }
        }
        return nullptr;
    }
    case adjDown: {
        if (i + columns < n) return FOwnerGroup->VisibleItem(i + columns);
        for (int c = column; c >= 0; --c)
            for (TGvGroup* h = NextGroupWithItems(); h; h = h->GetGrid()->NextGroupWithItems())
                if (h->VisibleItemCount() > c) return h->VisibleItem(c);
        return nullptr;
    }
    case adjPageDown:
    case adjPageUp: {
        const TRect client = ClientViewRect();
        const TRect r = Item->GetDisplayRect();
        const int cellWidth = CellSize() ? CellSize()->GetWidth() : 1;
        const int cellHeight = CellSize() ? CellSize()->GetHeight() : 1;
        TRect view{};
        if (FOwnerListview && FOwnerListview->GetGroups()) FOwnerListview->GetGroups()->GetViewRect(view);
        TPoint probe = Direction == adjPageDown ? TPoint{r.Left, r.Top + client.Height()}
                                                : TPoint{r.Right - 1, std::max(r.Bottom - client.Height(), 0)};
        if (Direction == adjPageDown) probe.Y = std::min(probe.Y, std::max(view.Bottom - 1, 0));
        for (int guard = 0; guard < 100000; ++guard) {
            TPoint p = probe;
            for (int step = 0; step <= column + 1; ++step, p.X -= cellWidth)
                if (TGvItem* found = ItemAt(p)) return found;
            if (Direction == adjPageDown) {
                probe.Y += cellHeight;
                if (probe.Y >= view.Bottom) return nullptr;
            } else {
                probe.Y += cellHeight;
                if (probe.Y >= r.Top) return nullptr;
            }
        }
        return nullptr;
    }
    }
    return nullptr;
}

void TGvGridReportGroup::Rebuild(TGvGroup* PrevGroup, int& NextVisibleIndex) {
    if (!FOwnerGroup) return;
    PrepareLayout();
    FColumnCount = 1;
    TGvCellSize* size = CellSize();
    FRowCount = PlaceRows(FOwnerListview, FOwnerGroup, size ? size->GetHeight() : 1, PrevGroup, NextVisibleIndex);
}

int TGvGridReportGroup::PlaceRows(TCustomGvListview* Listview, TGvGroup* Group, int CellHeight, TGvGroup* PrevGroup,
                                  int& NextVisibleIndex) {
    TGvGroup* group = Group;
    const int top = PrevGroup ? PrevGroup->GetDisplayRect().Bottom : 2;
    TGvHeader* header = Listview ? Listview->GetHeader() : nullptr;
    TGvColumn* lastColumn = header ? header->LastColumnByPosition() : nullptr;
    const int headerWidth = lastColumn ? lastColumn->GetDisplayRect().Right : 0;
    TRect groupRect{0, top, headerWidth, top};
    TGvItemList& visible = group->VisibleItems();
    visible.clear();
    const TMarginSizes m = MarginsOf(group);
    const int left = m.Left;
    const int right = lastColumn ? headerWidth - m.Right : 0;
    const int h = CellHeight;
    TGvGroups* groups = Listview ? Listview->GetGroups() : nullptr;
    const bool lastGroup = groups && groups->LastGroup() == group;
    // The items straight from their collection's list: every item of
    // every group passes here at each layout.
    const TGvCollection* entries = group->GetItems();
    const int count = group->ItemCount();
    auto itemAt = [entries](int i) { return static_cast<TGvItem*>(entries->GetItems(i)); };
    if (group->GetVisible() && group->GetExpanded() && count > 0) {
        int y = top + m.Top;
        int visibleIndex = static_cast<int>(visible.size());
        for (int i = 0; i < count; ++i) {
            // Items lie scattered over the heap: fetch ahead.
            if (i + 16 < count) __builtin_prefetch(itemAt(i + 16), 1);
            TGvItem* item = itemAt(i);
            TRect r;
            if (item->GetVisible()) {
                item->SetVisibleIndex(NextVisibleIndex++);
                item->SetVisibleIndexInGroup(visibleIndex++);
                visible.push_back(item);
                r = TRect{left, y, right, y + h};
                y += h;
            } else {
                PlaceHidden(item);
                r = TRect{left, y, right, y};
            }
            item->SetDisplayRect(r);
        }
        // (The last item's rectangle ends at y.)
        groupRect.Bottom = y + (lastGroup ? 4 : m.Bottom);
    } else {
        for (int i = 0; i < count; ++i) PlaceHidden(itemAt(i));
        if (group->GetVisible()) groupRect.Bottom = top + m.Top + m.Bottom;
    }
    group->SetDisplayRect(groupRect);
    return static_cast<int>(visible.size());
}

TGvItem* TGvGridReportGroup::AdjacentItem(TGvItem* Item, TGvAdjacentDirection Direction) {
    if (!Item) return nullptr;
    if (Item->GetVisibleIndexInGroup() < 0) throw gcl::Exception(msg::GvAdjacentOfHiddenItem);
    TGvGroups* groups = FOwnerListview ? FOwnerListview->GetGroups() : nullptr;
    if (!groups) return nullptr;
    switch (Direction) {
    case adjUp:
        return groups->PrevVisibleItem(Item);
    case adjDown:
        return groups->NextVisibleItem(Item);
    case adjPageDown:
    case adjPageUp: {
        const TRect client = ClientViewRect();
        const int h = std::max(CellSize() ? CellSize()->GetHeight() : 1, 1);
        const bool down = Direction == adjPageDown;
        TGvItem* found = nullptr;
        for (int y = down ? client.Bottom - 2 : client.Top + 1; !found && (down ? y > client.Top : y < client.Bottom);
             y += down ? -h : h)
            found = ItemAt(TPoint{0, y});
        if (found == Item) {
            found = nullptr;
            const TRect r = Item->GetDisplayRect();
            const int start = down ? r.Top + client.Height() - 1 : r.Bottom - client.Height() - 1;
            TRect view{};
            groups->GetViewRect(view);
            for (int y = start; !found && (down ? y > r.Top : y < r.Bottom); y += down ? -h : h)
                found = ItemAt(TPoint{0, std::clamp(y, 0, std::max(view.Bottom - 1, 0))});
        }
        return found == Item ? nullptr : found;
    }
    default:
        return TGvGridGroup::AdjacentItem(Item, Direction);
    }
}

void TGvGridGridGroup::Rebuild(TGvGroup* PrevGroup, int& NextVisibleIndex) {
    TGvGroup* group = FOwnerGroup;
    if (!group) return;
    PrepareLayout();
    const int top = PrevGroup ? PrevGroup->GetDisplayRect().Bottom : 0;
    TGvHeader* header = FOwnerListview ? FOwnerListview->GetHeader() : nullptr;
    TGvColumn* lastColumn = header ? header->LastColumnByPosition() : nullptr;
    TRect groupRect{0, top, lastColumn ? lastColumn->GetDisplayRect().Right : 0, top};
    TGvItemList& visible = group->VisibleItems();
    visible.clear();
    visible.reserve(static_cast<size_t>(group->ItemCount()));
    const TMarginSizes m = MarginsOf(group);
    // Only visible columns take cells; without one every item gets an
    // empty rectangle.
    std::vector<TGvColumn*> columns;
    if (header && header->GetColumns())
        for (TGvCollectionItem* column : header->GetColumns()->VisibleList())
            columns.push_back(static_cast<TGvColumn*>(column));
    const int h = CellSize() ? CellSize()->GetHeight() : 1;
    if (group->GetVisible() && group->GetExpanded() && group->ItemCount() > 0) {
        int rowTop = top + m.Top;
        size_t k = 0;
        for (int i = 0; i < group->ItemCount(); ++i) {
            TGvItem* item = group->GetItem(i);
            TRect r{m.Left, rowTop, m.Left, rowTop};
            if (item->GetVisible()) {
                PlaceVisible(item, NextVisibleIndex);
                if (!columns.empty()) {
                    const TRect cell = columns[k]->GetDisplayRect();
                    r = TRect{m.Left + cell.Left, rowTop, m.Left + cell.Left + columns[k]->GetWidth(), rowTop + h};
                    if (++k == columns.size()) {
                        k = 0;
                        rowTop += h;
                    }
                }
            } else {
                PlaceHidden(item);
            }
            item->SetDisplayRect(r);
            groupRect.Bottom = std::max(r.Bottom, rowTop) + m.Bottom;
        }
    } else {
        for (int i = 0; i < group->ItemCount(); ++i) PlaceHidden(group->GetItem(i));
        groupRect.Bottom = top + m.Top + m.Bottom;
    }
    FColumnCount = static_cast<int>(columns.size());
    const int placed = static_cast<int>(visible.size());
    FRowCount = FColumnCount == 0 ? 0 : placed / FColumnCount + (placed % FColumnCount ? 1 : 0);
    group->SetDisplayRect(groupRect);
}

void TGvGridListGroup::Rebuild(TGvGroup* PrevGroup, int& NextVisibleIndex) {
    TGvGroup* group = FOwnerGroup;
    if (!group) return;
    PrepareLayout();
    TGvCellSize* size = CellSize();
    const int cellWidth = size ? size->GetWidth() : 1;
    const int cellHeight = size ? size->GetHeight() : 1;
    const TMarginSizes m = MarginsOf(group);
    const int headerHeight = FOwnerListview && FOwnerListview->GetHeader() ? FOwnerListview->GetHeader()->RuntimeHeight() : 0;
    int height = ClientRectOf(FOwnerListview).Height() - GetSystemMetrics(SM_CYHSCROLL) - headerHeight;
    height = std::max(height, m.Top + m.Bottom + cellHeight);
    const int x0 = PrevGroup ? PrevGroup->GetDisplayRect().Right : 0;
    TRect groupRect{x0, 0, x0, height};
    TGvItemList& visible = group->VisibleItems();
    visible.clear();
    FColumnCount = 0;
    FRowCount = 0;
    if (group->GetVisible() && group->GetExpanded() && group->ItemCount() > 0) {
        FRowCount = std::max((height - 1 - (m.Bottom + m.Top)) / cellHeight, 1);
        FColumnCount = 1;
        int x = x0 + m.Left;
        int y = m.Top;
        for (int i = 0; i < group->ItemCount(); ++i) {
            TGvItem* item = group->GetItem(i);
            if (y + cellHeight > height - m.Bottom && y > m.Top) {
                x += cellWidth;
                y = m.Top;
                ++FColumnCount;
            }
            if (item->GetVisible()) {
                PlaceVisible(item, NextVisibleIndex);
                item->SetDisplayRect(TRect{x, y, x + cellWidth, y + cellHeight});
                y += cellHeight;
            } else {
                PlaceHidden(item);
                item->SetDisplayRect(TRect{x, y, x, y + cellHeight});
            }
        }
        groupRect.Right = x + cellWidth + m.Right;
    } else {
        for (int i = 0; i < group->ItemCount(); ++i) PlaceHidden(group->GetItem(i));
        if (group->GetVisible() && FOwnerListview) {
            gcl::TSize text{0, 0};
            TextExtentW(group->GetCaption(), FOwnerListview->GetFont(), text);
            const int textWidth = text.cx;
            const int indent = group->PaintInfo() ? group->PaintInfo()->GetCaptionIndent() : 0;
            groupRect.Right = x0 + m.Left + m.Right + textWidth + indent;
        }
    }
    if (visible.empty()) {
        FColumnCount = 0;
        FRowCount = 0;
    }
    group->SetDisplayRect(groupRect);
}

TGvItem* TGvGridListGroup::AdjacentItem(TGvItem* Item, TGvAdjacentDirection Direction) {
    if (!Item || !FOwnerGroup) return nullptr;
    if (Item->GetVisibleIndexInGroup() < 0) throw gcl::Exception(msg::GvAdjacentOfHiddenItem);
    const int i = Item->GetVisibleIndexInGroup();
    const int n = FOwnerGroup->VisibleItemCount();
    const int rows = std::max(FRowCount, 1);
    const int row = i % rows;
    switch (Direction) {
    case adjUp:
        return StepItem(i, false);
    case adjDown:
        return StepItem(i, true);
    case adjLeft:
        if (i - rows >= 0) return FOwnerGroup->VisibleItem(i - rows);
        for (int r = row; r >= 0; --r)
            for (TGvGroup* g = PrevGroupWithItems(); g; g = g->GetGrid()->PrevGroupWithItems()) {
                const int gRows = std::max(g->GetGrid()->GetRowCount(), 1);
                const int lastColumnStart = (g->VisibleItemCount() - 1) / gRows * gRows;
                if (lastColumnStart + r < g->VisibleItemCount()) return g->VisibleItem(lastColumnStart + r);
            }
        return nullptr;
    case adjRight:
        if (i + rows < n) return FOwnerGroup->VisibleItem(i + rows);
        for (int r = row; r >= 0; --r)
            for (TGvGroup* g = NextGroupWithItems(); g; g = g->GetGrid()->NextGroupWithItems())
                if (r < g->VisibleItemCount()) return g->VisibleItem(r);
        return nullptr;
    case adjPageDown:
        return FOwnerGroup->VisibleItem(std::min(i - row + rows, n) - 1);
    case adjPageUp:
        return FOwnerGroup->VisibleItem(i - row);
    }
    return nullptr;
}

} // namespace qelvo
