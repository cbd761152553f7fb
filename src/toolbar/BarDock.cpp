// Docks: the bar lists, the arrangement of bars in rows, bound lines and
// backgrounds. Dockable windows: the docking protocol, the docked frame,
// floating and its visibility rules. The floating window's frame. The drag
// and size loops live in BarDockLoops.cpp.
#include "toolbar/BarDock.h"

#include <algorithm>

#include "gcl/rtl/Strings.h"
#include "toolbar/BarItem.h"

namespace qelvo {

using gcl::TPoint;
using gcl::TRect;

namespace {

void Reframe(gcl::TWinControl* c) {
    if (c->HandleAllocated())
        SetWindowPos(c->GetHandle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Compare3(int a, int b) noexcept { return a < b ? -1 : a > b ? 1 : 0; }

// Bars ordered by row, then position; equal keys keep their list order.
void SortBars(std::vector<TBarCustomDockableWindow*>& list) {
    std::stable_sort(list.begin(), list.end(), [](TBarCustomDockableWindow* a, TBarCustomDockableWindow* b) {
        const int byRow = Compare3(a->GetDockRow(), b->GetDockRow());
        return byRow != 0 ? byRow < 0 : Compare3(a->GetDockPos(), b->GetDockPos()) < 0;
    });
}

// The floating bars of the GUI thread (their visibility follows
// activation).
std::vector<TBarCustomDockableWindow*> GFloatingList;

// Drag handle sizes and grip offsets by (close button, handle style).
constexpr int DragHandleSizes[2][3] = {{9, 0, 6}, {14, 14, 14}};
constexpr int DragHandleOffsets[2][3] = {{2, 0, 1}, {3, 0, 5}};

} // namespace

// ==== Docks ===================================================================================

GCL_IMPLEMENT_CLASS(TBarBasicBackground)

GCL_PUBLISHED(TBarDock,
    GCL_PROP(Position).Default(dpTop),
    GCL_PROP(AllowDrag).Default(true),
    GCL_PROP(BoundLines).Default(TBarDockBoundLines{}),
    GCL_PROP(Background),
    GCL_PROP(BackgroundOnToolbars).Default(true),
    GCL_PROP(FixAlign).Default(false),
    GCL_PROP(LimitToOneRow).Default(false))

TBarDock::TBarDock(gcl::TComponent* AOwner) : gcl::TCustomControl(AOwner) {}

void TBarDock::AfterConstruction() {
    inherited::AfterConstruction();
    gcl::TControlStyle style = GetControlStyle();
    style.Include(gcl::csAcceptsControls);
    style.Include(gcl::csMenuEvents);
    style.Exclude(gcl::csCaptureMouse);
    style.Exclude(gcl::csClickEvents);
    style.Exclude(gcl::csOpaque);
    SetControlStyle(style);
    SetColor(gcl::clBtnFace);
    SetAlign(gcl::alTop);
}

void TBarDock::BeforeDestruction() noexcept {
    if (FBackground) {
        try {
            FBackground->UnregisterChanges(gcl::TNotifyEvent(this, &TBarDock::InvalidateBackgrounds));
        } catch (...) {
        }
    }
    inherited::BeforeDestruction();
    FDockList.clear();
    FDockVisibleList.clear();
}

void TBarDock::SetParent(gcl::TWinControl* Value) {
    // Only the direct parent counts: a panel inside a dockable window may
    // hold a dock, and a window may hold its own (a dockable panel's
    // caption bar).
    auto* window = dynamic_cast<TBarCustomDockableWindow*>(Value);
    if (dynamic_cast<TBarDock*>(Value) || (window && !window->HoldsOwnDock(this)))
        throw gcl::EInvalidOperation(SDockNestingError);
    inherited::SetParent(Value);
}

void TBarDock::SetPosition(TBarDockPosition Value) {
    if (Value == FPosition) return;
    if (GetControlCount() > 0) throw gcl::EInvalidOperation(SDockPositionError);
    FPosition = Value;
    static constexpr gcl::TAlign aligns[] = {gcl::alTop, gcl::alBottom, gcl::alLeft, gcl::alRight};
    SetAlign(aligns[Value]);
}

void TBarDock::SetAllowDrag(bool Value) {
    if (Value == FAllowDrag) return;
    FAllowDrag = Value;
    for (int i = 0; i < GetControlCount(); ++i)
        if (auto* bar = dynamic_cast<TBarCustomDockableWindow*>(GetControls(i))) Reframe(bar);
    ArrangeToolbars();
}

void TBarDock::SetBoundLines(TBarDockBoundLines Value) {
    if (Value == FBoundLines) return;
    FBoundLines = Value;
    FNonClientWidth = (Value.Contains(blLeft) ? 1 : 0) + (Value.Contains(blRight) ? 1 : 0);
    FNonClientHeight = (Value.Contains(blTop) ? 1 : 0) + (Value.Contains(blBottom) ? 1 : 0);
    Reframe(this);
    ArrangeToolbars();
}

void TBarDock::SetBackground(TBarBasicBackground* Value) {
    if (Value == FBackground) return;
    if (FBackground) FBackground->UnregisterChanges(gcl::TNotifyEvent(this, &TBarDock::InvalidateBackgrounds));
    FBackground = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->RegisterChanges(gcl::TNotifyEvent(this, &TBarDock::InvalidateBackgrounds));
    }
    InvalidateBackgrounds();
}

void TBarDock::SetBackgroundOnToolbars(bool Value) {
    if (Value == FBackgroundOnToolbars) return;
    FBackgroundOnToolbars = Value;
    InvalidateBackgrounds();
}

void TBarDock::SetFixAlign(bool Value) {
    if (Value == FFixAlign) return;
    FFixAlign = Value;
    ArrangeToolbars();
}

void TBarDock::EndUpdate() {
    if (FDisableArrangeToolbars > 0 && --FDisableArrangeToolbars == 0 && FArrangeToolbarsNeeded) ArrangeToolbars();
}

void TBarDock::DrawBackground(HDC DC, const TRect& DrawRect) {
    if (FBackground) FBackground->Draw(DC, DrawRect);
}

bool TBarDock::UsingBackground() { return FBackground && FBackground->UsingBackground(); }

void TBarDock::DrawBackgroundAt(HDC DC, TPoint Origin, const TRect& Area) {
    TPoint offset{GetLeft(), GetTop()};
    if (HandleAllocated() && GetParent() && GetParent()->HandleAllocated())
        offset = GetParent()->ScreenToClient(ClientToScreen(TPoint{0, 0}));
    const int x = offset.X + Origin.X;
    const int y = offset.Y + Origin.Y;
    const int saved = SaveDC(DC);
    IntersectClipRect(DC, Area.Left, Area.Top, Area.Right, Area.Bottom);
    try {
        DrawBackground(DC, TRect{-x, -y, std::max(Area.Right, -x), std::max(Area.Bottom, -y)});
    } catch (...) {
        RestoreDC(DC, saved);
        throw;
    }
    RestoreDC(DC, saved);
}

bool TBarDock::LiesVisible(TBarCustomDockableWindow* Bar) {
    return Bar->GetParent() == this && (Bar->GetVisible() || gcl::IsDesigning(this));
}

bool TBarDock::HasVisibleToolbars() {
    return std::any_of(FDockList.begin(), FDockList.end(), [this](auto* b) { return LiesVisible(b); });
}

int TBarDock::GetRowSize(int Row, bool& FullSizeRow) {
    FullSizeRow = false;
    int size = 0;
    for (TBarCustomDockableWindow* bar : FDockList) {
        if (!LiesVisible(bar) || bar->GetEffectiveDockRow() != Row) continue;
        size = std::max(size, IsLeftRight() ? bar->GetWidth() : bar->GetHeight());
        if (bar->GetFullSize()) FullSizeRow = true;
    }
    return size;
}

int TBarDock::GetRowOf(int Offset) {
    const int highest = GetHighestRow(true);
    int total = 0;
    for (int row = 0; row <= highest + 1; ++row) {
        bool full = false;
        total += GetRowSize(row, full);
        if (total > Offset) return row;
    }
    return highest + 1;
}

int TBarDock::GetHighestRow(bool UseEffectiveRow) {
    int highest = -1;
    for (TBarCustomDockableWindow* bar : FDockList)
        highest = std::max(highest, UseEffectiveRow ? bar->GetEffectiveDockRow() : bar->GetDockRow());
    return highest;
}

void TBarDock::ChangeWidthHeight(int NewWidth, int NewHeight) {
    int left = GetLeft();
    int top = GetTop();
    if (FPosition == dpBottom) top += GetHeight() - NewHeight;
    if (FPosition == dpRight) left += GetWidth() - NewWidth;
    SetBounds(left, top, NewWidth, NewHeight);
}

void TBarDock::ChangeDockList(bool Insert, TBarCustomDockableWindow* Bar) {
    auto it = std::find(FDockList.begin(), FDockList.end(), Bar);
    if (Insert) {
        if (it == FDockList.end()) {
            FDockList.push_back(Bar);
            Bar->FreeNotification(this);
        }
    } else if (it != FDockList.end()) {
        FDockList.erase(it);
    }
    ToolbarVisibilityChanged(Bar, false);
}

void TBarDock::ToolbarVisibilityChanged(TBarCustomDockableWindow* Bar, bool ForceRemove) {
    auto it = std::find(FDockVisibleList.begin(), FDockVisibleList.end(), Bar);
    const bool shouldList = !ForceRemove && LiesVisible(Bar) &&
                            std::find(FDockList.begin(), FDockList.end(), Bar) != FDockList.end();
    const bool listed = it != FDockVisibleList.end();
    if (shouldList == listed) return;
    if (shouldList) FDockVisibleList.push_back(Bar);
    else FDockVisibleList.erase(it);
    ArrangeToolbars();
    if (OnInsertRemoveBar) OnInsertRemoveBar(this, shouldList, Bar);
}

void TBarDock::CommitPositions() {
    for (TBarCustomDockableWindow* bar : FDockVisibleList) {
        bar->FDockRow = bar->GetEffectiveDockRow();
        bar->FDockPos = bar->GetEffectiveDockPos();
    }
}

void TBarDock::InvalidateBackgrounds(gcl::TObject*) {
    if (!HandleAllocated()) return;
    InvalidateRect(GetHandle(), nullptr, TRUE);
    for (TBarCustomDockableWindow* bar : FDockList)
        if (LiesVisible(bar) && bar->HandleAllocated())
            RedrawWindow(bar->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_NOCHILDREN);
}

void TBarDock::Loaded() {
    inherited::Loaded();
    ArrangeToolbars();
}

void TBarDock::Notification(gcl::TComponent* AComponent, gcl::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation != gcl::opRemove) return;
    if (AComponent == FBackground) FBackground = nullptr;
    auto drop = [AComponent](std::vector<TBarCustomDockableWindow*>& list) {
        list.erase(std::remove(list.begin(), list.end(), AComponent), list.end());
    };
    drop(FDockList);
    drop(FDockVisibleList);
}

void TBarDock::AlignControls(gcl::TControl*, TRect&) { ArrangeToolbars(); }

void TBarDock::CreateParams(gcl::TCreateParams& Params) {
    inherited::CreateParams(Params);
    if (!gcl::IsDesigning(this)) Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

bool TBarDock::DeferArrange() {
    if (FDisableArrangeToolbars > 0 || gcl::IsLoading(this)) {
        FArrangeToolbarsNeeded = true;
        return true;
    }
    FArrangeToolbarsNeeded = false;
    return false;
}

void TBarDock::DropDestroyedBars() {
    auto gone = [](TBarCustomDockableWindow* b) { return gcl::IsDestroying(b); };
    FDockList.erase(std::remove_if(FDockList.begin(), FDockList.end(), gone), FDockList.end());
    FDockVisibleList.erase(std::remove_if(FDockVisibleList.begin(), FDockVisibleList.end(), gone),
                           FDockVisibleList.end());
}

void TBarDock::SetDockListOrder(const std::vector<TBarCustomDockableWindow*>& Order) {
    std::vector<TBarCustomDockableWindow*> list;
    for (TBarCustomDockableWindow* bar : Order)
        if (std::find(FDockList.begin(), FDockList.end(), bar) != FDockList.end()) list.push_back(bar);
    for (TBarCustomDockableWindow* bar : FDockList)
        if (std::find(list.begin(), list.end(), bar) == list.end()) list.push_back(bar);
    FDockList = list;
}

// ---- The arrangement ----------------------------------------------------------------------

namespace {
struct TLayoutRec {
    TBarCustomDockableWindow* Bar;
    int Row, OrigRow, GapBefore, FullLength, MinLength, Length, Overlap, Pos;
    TBarShrinkMode ShrinkMode;
    bool NeedArrange;
};
} // namespace

void TBarDock::ArrangeToolbars() {
    if (FDisableArrangeToolbars > 0 || gcl::IsLoading(this)) {
        FArrangeToolbarsNeeded = true;
        return;
    }
    ++FDisableArrangeToolbars;
    struct TDone {
        TBarDock* D;
        ~TDone() {
            --D->FDisableArrangeToolbars;
            D->FArrangeToolbarsNeeded = false;
            D->FCommitNewPositions = false;
        }
    } done{this};
    const bool lr = IsLeftRight();

    if (!HasVisibleToolbars()) {
        const int thickness = gcl::IsDesigning(this) ? 9 : (FFixAlign ? 1 : 0);
        ChangeWidthHeight(lr ? thickness : GetWidth(), lr ? GetHeight() : thickness);
        return;
    }
    const int room = std::max(0, lr ? GetHeight() - FNonClientHeight : GetWidth() - FNonClientWidth);

    DropDestroyedBars();
    if (FLimitToOneRow)
        for (TBarCustomDockableWindow* bar : FDockList) bar->FDockRow = 0;

    // Work list by row and position; a bar moving inside its row keeps its
    // place from before the sort.
    std::vector<TBarCustomDockableWindow*> work = FDockList;
    TBarCustomDockableWindow* dragged = nullptr;
    int draggedIndex = -1;
    for (size_t i = 0; i < work.size(); ++i)
        if (work[i]->FDragging) {
            dragged = work[i];
            draggedIndex = static_cast<int>(i);
        }
    SortBars(work);
    if (dragged && dragged->FMovingInRow) {
        work.erase(std::find(work.begin(), work.end(), dragged));
        work.insert(work.begin() + std::min<int>(draggedIndex, static_cast<int>(work.size())), dragged);
    }
    SortBars(FDockVisibleList);

    std::vector<TLayoutRec> recs;
    int highest = -1;
    for (TBarCustomDockableWindow* bar : work) {
        TLayoutRec r{};
        r.Bar = bar;
        r.OrigRow = bar->FDockRow;
        r.Row = LiesVisible(bar) ? bar->FDockRow : -1;
        r.Pos = bar->FDockPos;
        recs.push_back(r);
        highest = std::max(highest, r.OrigRow);
    }

    // Rows of their own: a bar starting a new row in a drag, then full-size
    // bars that share their row.
    for (int pass = FLimitToOneRow ? 1 : 0; pass < 2; ++pass) {
        for (int row = 0; row <= highest; ++row) {
            for (TLayoutRec& r : recs) {
                if (r.Row != row) continue;
                const bool wants = pass == 0 ? r.Bar->FDragNewRow : r.Bar->FFullSize;
                if (!wants) continue;
                const bool shared = std::any_of(recs.begin(), recs.end(),
                                                [&](const TLayoutRec& o) { return &o != &r && o.Row == row; });
                if (!shared) continue;
                for (TLayoutRec& o : recs) {
                    if (&o == &r) continue;
                    if (o.OrigRow >= row) ++o.OrigRow;
                    if (o.Row >= row) ++o.Row;
                }
                ++highest;
                break;
            }
        }
    }
    // Empty rows go.
    for (int row = 0; row <= highest;) {
        const bool used = std::any_of(recs.begin(), recs.end(), [row](const TLayoutRec& r) { return r.OrigRow == row; });
        if (used) {
            ++row;
            continue;
        }
        for (TLayoutRec& r : recs) {
            if (r.OrigRow > row) --r.OrigRow;
            if (r.Row > row) --r.Row;
        }
        --highest;
    }

    for (int row = 0; row <= highest; ++row) {
        std::vector<TLayoutRec*> bars;
        int total = 0;
        for (TLayoutRec& r : recs) {
            if (r.Row != row) continue;
            TPoint base;
            r.Bar->GetBaseSize(base);
            const TPoint nc = r.Bar->DockedNCSize(lr);
            r.FullLength = (lr ? base.Y : base.X) + (lr ? nc.Y : nc.X);
            r.Length = r.FullLength;
            r.ShrinkMode = r.Bar->GetShrinkMode();
            r.MinLength = r.FullLength;
            r.Bar->GetMinShrinkSize(r.MinLength);
            r.MinLength = std::min(r.MinLength, r.FullLength);
            r.GapBefore = 0;
            r.Overlap = 0;
            total += r.ShrinkMode == tbsmChevron ? r.MinLength : r.FullLength;
            if (!bars.empty() && total > room && !FLimitToOneRow) {
                // This bar and the later ones of this row or higher start a new row.
                bool later = false;
                for (TLayoutRec& o : recs) {
                    if (&o == &r) later = true;
                    if (later && o.Row >= row) ++o.Row;
                }
                ++highest;
                break;
            }
            bars.push_back(&r);
        }
        if (bars.empty()) continue;
        int overflow = -room;
        for (TLayoutRec* r : bars) overflow += r->FullLength;

        // Positions.
        int packEnd = 0;
        int minSum = 0;
        int draggedWanted = 0;
        TLayoutRec* prev = nullptr;
        int prevWanted = 0;
        for (size_t k = 0; k < bars.size(); ++k) {
            TLayoutRec* r = bars[k];
            int wanted = r->Bar->FDockPos;
            if (k == 0 && wanted == 0 && (r->Bar->FFullSize || r->Bar->FStretch)) wanted = 0;
            wanted = std::max(wanted, minSum);
            if (wanted <= packEnd) {
                if (prev) r->Overlap = std::max(0, prevWanted + prev->FullLength - wanted);
            } else if (overflow <= 0) {
                r->GapBefore = wanted - packEnd;
            }
            if (r->Bar == dragged) draggedWanted = wanted;
            packEnd += r->GapBefore + r->FullLength;
            minSum += r->MinLength;
            prev = r;
            prevWanted = wanted;
        }
        auto extent = [&bars] {
            int e = 0;
            for (TLayoutRec* r : bars) e += r->GapBefore + r->Length;
            return e;
        };
        // The dragged bar stays where the pointer put it.
        if (overflow < 0 && dragged) {
            auto it = std::find_if(bars.begin(), bars.end(), [&](TLayoutRec* r) { return r->Bar == dragged; });
            if (it != bars.end()) {
                int end = 0;
                for (auto j = bars.begin(); j != it; ++j) end += (*j)->GapBefore + (*j)->Length;
                int taken = 0;
                for (auto j = it; j != bars.begin() && end > draggedWanted;) {
                    --j;
                    const int take = std::min((*j)->GapBefore, end - draggedWanted);
                    (*j)->GapBefore -= take;
                    end -= take;
                    taken += take;
                }
                if (taken > 0 && it + 1 != bars.end()) (*(it + 1))->GapBefore += taken;
            }
        }
        // Fitting: gaps go, right to left.
        for (size_t k = bars.size(); k-- > 0 && extent() > room;)
            bars[k]->GapBefore -= std::min(bars[k]->GapBefore, extent() - room);
        // Shrinking on overlap.
        if (overflow > 0) {
            int accumulated = 0;
            for (size_t k = 0; k < bars.size(); ++k) {
                accumulated = std::min(accumulated + bars[k]->Overlap, overflow);
                for (size_t j = k; j-- > 0 && accumulated > 0;) {
                    TLayoutRec* e = bars[j];
                    if (e->ShrinkMode != tbsmChevron) continue;
                    const int give = std::min(accumulated, e->Length - e->MinLength);
                    e->Length -= give;
                    accumulated -= give;
                    overflow -= give;
                }
                if (bars[k]->Bar == dragged) break;
            }
            if (dragged && bars.size() > 1)
                for (TLayoutRec* r : bars)
                    if (r->Bar == dragged) dragged->FPushed = true;
        }
        // Shrinking the rest.
        overflow = extent() - room;
        for (size_t k = bars.size(); k-- > 0 && overflow > 0;) {
            TLayoutRec* r = bars[k];
            if (r->ShrinkMode == tbsmNone || (r->ShrinkMode == tbsmWrap && bars.size() > 1)) continue;
            const int give = std::min(overflow, r->Length - r->MinLength);
            r->Length -= give;
            overflow -= give;
        }
        // Final positions.
        int start = 0;
        for (size_t k = 0; k < bars.size(); ++k) {
            TLayoutRec* r = bars[k];
            if (r->Bar->FFullSize || r->Bar->FStretch) {
                r->Length += r->GapBefore;
                r->GapBefore = 0;
                if (!r->Bar->FFullSize) {
                    if (k + 1 < bars.size()) {
                        r->Length += bars[k + 1]->GapBefore;
                        bars[k + 1]->GapBefore = 0;
                    } else {
                        r->Length = std::max(r->Length, room - start);
                    }
                }
                if (r->Bar->FFullSize) r->Length = std::max(r->Length, room);
            }
            r->Pos = start + r->GapBefore;
            start = r->Pos + r->Length;
        }
    }

    for (TLayoutRec& r : recs) {
        r.Bar->SetEffectivePosition(r.Row, r.Pos);
        if (FCommitNewPositions && r.Row >= 0) {
            r.Bar->FDockRow = r.Row;
            r.Bar->FDockPos = r.Pos;
        }
    }
    if (FCommitNewPositions) FDockList = work;

    // Placing.
    int offset = 0;
    const TBarDockType dockType = lr ? dtLeftRight : dtTopBottom;
    for (int row = 0; row <= highest; ++row) {
        int thickness = 0;
        bool any = false;
        for (TLayoutRec& r : recs) {
            if (r.Row != row) continue;
            any = true;
            const int shrunk = r.Length < r.FullLength ? r.Length : 0;
            TPoint client;
            if (r.ShrinkMode != tbsmNone && shrunk != r.Bar->FCurrentSize) {
                r.Bar->FCurrentSize = shrunk;
                r.Bar->DoArrange(false, dockType, client, this, false);
                r.NeedArrange = true;
            } else if (r.ShrinkMode == tbsmWrap && shrunk != 0) {
                client = TPoint{r.Bar->GetClientWidth(), r.Bar->GetClientHeight()};
            } else {
                r.Bar->GetBaseSize(client);
            }
            thickness = std::max(thickness, lr ? client.X : client.Y);
        }
        if (!any) continue;
        thickness = thickness > 0 ? thickness + 4 : 0;
        for (TLayoutRec& r : recs) {
            if (r.Row != row) continue;
            if (lr) r.Bar->SetBoundsArranging(offset, r.Pos, thickness, r.Length);
            else r.Bar->SetBoundsArranging(r.Pos, offset, r.Length, thickness);
            if (r.NeedArrange) r.Bar->Arrange();
        }
        offset += thickness;
    }
    if (lr) ChangeWidthHeight(offset + FNonClientWidth, GetHeight());
    else ChangeWidthHeight(GetWidth(), offset + FNonClientHeight);
}

// ---- Painting and messages -----------------------------------------------------------------

bool TBarDock::DrawsBoundLines() {
    return !FBoundLines.Empty() && (HasVisibleToolbars() || gcl::IsDesigning(this));
}

void TBarDock::PaintNC(HDC DC) {
    if (!DrawsBoundLines()) return;
    RECT r{};
    GetWindowRect(GetHandle(), &r);
    OffsetRect(&r, -r.left, -r.top);
    auto line = [DC](int x1, int y1, int x2, int y2, int colour) {
        HPEN pen = CreatePen(PS_SOLID, 1, gcl::ColorToRGB(gcl::SysColor(colour)));
        HGDIOBJ old = SelectObject(DC, pen);
        MoveToEx(DC, x1, y1, nullptr);
        LineTo(DC, x2, y2);
        SelectObject(DC, old);
        DeleteObject(pen);
    };
    if (FBoundLines.Contains(blTop)) {
        line(r.left, r.top, r.right, r.top, COLOR_BTNSHADOW);
        ++r.top;
    }
    if (FBoundLines.Contains(blLeft)) {
        line(r.left, r.top, r.left, r.bottom, COLOR_BTNSHADOW);
        ++r.left;
    }
    if (FBoundLines.Contains(blBottom)) {
        line(r.left, r.bottom - 1, r.right, r.bottom - 1, COLOR_BTNHIGHLIGHT);
        --r.bottom;
    }
    if (FBoundLines.Contains(blRight)) {
        line(r.right - 1, r.top, r.right - 1, r.bottom, COLOR_BTNHIGHLIGHT);
        --r.right;
    }
}

void TBarDock::NCPaintProc(HWND, HDC DC, void* AppData) { static_cast<TBarDock*>(AppData)->PaintNC(DC); }

void TBarDock::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE: {
        auto* r = reinterpret_cast<RECT*>(Message.LParam);
        if (FBoundLines.Contains(blTop)) ++r->top;
        if (FBoundLines.Contains(blBottom)) --r->bottom;
        if (FBoundLines.Contains(blLeft)) ++r->left;
        if (FBoundLines.Contains(blRight)) --r->right;
        Message.Result = 0;
        return;
    }
    case WM_NCPAINT:
        // Without bound lines to draw (PaintNC) the window's DC, a round
        // trip to the server, is not needed.
        if (!DrawsBoundLines()) {
            Message.Result = 0;
            return;
        }
        HandleNCPaintAndPrint(this, Message, &NCPaintProc, this);
        return;
    case WM_PRINT:
    case WM_PRINTCLIENT: HandleNCPaintAndPrint(this, Message, &NCPaintProc, this); return;
    case WM_ERASEBKGND:
        if (UsingBackground()) {
            DrawBackgroundAt(reinterpret_cast<HDC>(Message.WParam), TPoint{0, 0}, GetClientRect());
            Message.Result = 1;
            return;
        }
        break;
    case WM_MOVE:
        if (UsingBackground()) InvalidateBackgrounds();
        break;
    case gcl::CM_SYSCOLORCHANGE:
        if (FBackground) FBackground->SysColorChanged();
        break;
    case WM_SYSCOMMAND:
    case gcl::CM_DIALOGKEY:
    case gcl::CM_DIALOGCHAR: {
        const std::vector<TBarCustomDockableWindow*> bars = FDockList;
        for (TBarCustomDockableWindow* bar : bars) {
            if (!bar->GetFloating() || !bar->GetShowing() || !bar->GetEnabled()) continue;
            Message.Result = bar->Perform(Message.Msg, Message.WParam, Message.LParam);
            if (Message.Result != 0) return;
        }
        if (Message.Msg == WM_SYSCOMMAND) return;
        break;
    }
    default: break;
    }
    inherited::Dispatch(Message);
}

// ==== Dockable windows ==========================================================================

GCL_IMPLEMENT_CLASS(TBarCustomDockableWindow)

TBarCustomDockableWindow::TBarCustomDockableWindow(gcl::TComponent* AOwner) : gcl::TCustomControl(AOwner) {}

void TBarCustomDockableWindow::AfterConstruction() {
    inherited::AfterConstruction();
    gcl::TControlStyle style = GetControlStyle();
    style.Include(gcl::csAcceptsControls);
    style.Include(gcl::csClickEvents);
    style.Include(gcl::csDoubleClicks);
    style.Exclude(gcl::csCaptureMouse);
    style.Exclude(gcl::csOpaque);
    SetControlStyle(style);
    SetColor(gcl::clBtnFace);
}

void TBarCustomDockableWindow::BeforeDestruction() noexcept {
    RemoveFromFloatingList();
    if (FCurrentDock) {
        try {
            FCurrentDock->ChangeDockList(false, this);
        } catch (...) {
        }
    }
    if (FLastDock && FLastDock != FCurrentDock) FLastDock->ChangeDockList(false, this);
    inherited::BeforeDestruction();
    if (TBarFloatingWindowParent* fp = FFloatParent) {
        FFloatParent = nullptr;
        fp->FDockableWindow = nullptr;
        fp->Free();
    }
    FDockForms.clear();
}

void TBarCustomDockableWindow::CreateParams(gcl::TCreateParams& Params) {
    inherited::CreateParams(Params);
    if (!gcl::IsDesigning(this)) Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

TBarDockType TBarCustomDockableWindow::GetDockTypeOf(TBarDock* Dock, bool AFloating) const noexcept {
    if (AFloating) return dtFloating;
    if (!Dock) return dtNotDocked;
    return Dock->IsLeftRight() ? dtLeftRight : dtTopBottom;
}

int TBarCustomDockableWindow::DragHandleSize() const noexcept {
    if (!FCurrentDock || !FCurrentDock->GetAllowDragOf()) return 0;
    return DragHandleSizes[FCloseButtonWhenDocked ? 1 : 0][FDragHandleStyle];
}

void TBarCustomDockableWindow::CalcNCSize(TPoint& Size) {
    Size = TPoint{0, 0};
    if (!FDocked) return;
    Size = TPoint{4, 4};
    if (FCurrentDock->IsLeftRight()) Size.Y += DragHandleSize();
    else Size.X += DragHandleSize();
}

bool TBarCustomDockableWindow::CanDockTo(TBarDock* Dock) { return FDockableTo.Contains(Dock->GetPosition()); }

void TBarCustomDockableWindow::ControlExistsAtPos(TPoint P, bool& Exists) {
    for (int i = 0; i < GetControlCount(); ++i) {
        gcl::TControl* c = GetControls(i);
        if (!c->GetVisible() || ChildControlTransparent(c)) continue;
        if (P.X >= c->GetLeft() && P.X < c->GetLeft() + c->GetWidth() && P.Y >= c->GetTop() &&
            P.Y < c->GetTop() + c->GetHeight()) {
            Exists = true;
            return;
        }
    }
}

bool TBarCustomDockableWindow::ChildControlTransparent(gcl::TControl*) { return false; }

TRect TBarCustomDockableWindow::GetDockedCloseButtonRect(bool LeftRight) {
    const int s = DragHandleSize() - 3;
    const int x = LeftRight ? GetClientWidth() + 2 - s : 3;
    const int y = LeftRight ? 3 : 2;
    return TRect{x, y, x + s, y + s};
}

void TBarCustomDockableWindow::GetMinShrinkSize(int&) {}
void TBarCustomDockableWindow::GetMinMaxSize(int&, int&, int&, int&) {}
void TBarCustomDockableWindow::SizeChanging(int, int) {}
void TBarCustomDockableWindow::ReadPositionData(const TBarReadPositionData&) {}
void TBarCustomDockableWindow::WritePositionData(const TBarWritePositionData&) {}
void TBarCustomDockableWindow::ResizeBegin(TBarSizeHandle) {}
void TBarCustomDockableWindow::ResizeTrack(TRect&, const TRect&) {}
void TBarCustomDockableWindow::ResizeTrackAccept() {}
void TBarCustomDockableWindow::ResizeEnd() {}

TPoint TBarCustomDockableWindow::GetFloatingBorderSize() {
    if (FResizable) return TPoint{GetSystemMetrics(SM_CXSIZEFRAME), GetSystemMetrics(SM_CYSIZEFRAME)};
    return TPoint{GetSystemMetrics(SM_CXFIXEDFRAME), GetSystemMetrics(SM_CYFIXEDFRAME)};
}

void TBarCustomDockableWindow::GetDockedNCArea(TPoint& TopLeft, TPoint& BottomRight, bool LeftRight) {
    TopLeft = TPoint{2, 2};
    BottomRight = TPoint{2, 2};
    const int handle = DragHandleSizes[FCloseButtonWhenDocked ? 1 : 0][FDragHandleStyle];
    if (LeftRight) TopLeft.Y += handle;
    else TopLeft.X += handle;
}

void TBarCustomDockableWindow::GetFloatingNCArea(TPoint& TopLeft, TPoint& BottomRight) {
    TopLeft = BottomRight = GetFloatingBorderSize();
    if (FShowCaption) TopLeft.Y += GetSystemMetrics(SM_CYSMCAPTION);
}

TPoint TBarCustomDockableWindow::DockedNCSize(bool LeftRight) {
    TPoint tl, br;
    GetDockedNCArea(tl, br, LeftRight);
    return TPoint{tl.X + br.X, tl.Y + br.Y};
}

TPoint TBarCustomDockableWindow::FloatingNCSize() {
    TPoint tl, br;
    GetFloatingNCArea(tl, br);
    return TPoint{tl.X + br.X, tl.Y + br.Y};
}

// ---- Layout ----------------------------------------------------------------------------------

void TBarCustomDockableWindow::EndUpdate() {
    if (FArrangeUpdateCount > 0 && --FArrangeUpdateCount == 0 && FArrangeNeeded) Arrange();
}

void TBarCustomDockableWindow::Arrange() {
    if (FArrangeUpdateCount > 0 || gcl::IsLoading(this) || !GetParent()) {
        FArrangeNeeded = true;
        return;
    }
    FArrangeNeeded = false;
    TPoint size;
    DoArrange(true, DockType(), size, FCurrentDock, FFloating);
    if (FAutoResize || FDocked || FFloating) ChangeSize(size);
}

void TBarCustomDockableWindow::ChangeSize(TPoint NewClientSize) {
    if (FDocked) {
        FCurrentDock->ArrangeToolbars();
        return;
    }
    TPoint nc;
    CalcNCSize(nc);
    int w = NewClientSize.X + nc.X;
    int h = NewClientSize.Y + nc.Y;
    const gcl::TAnchors anchors = GetAnchors();
    if (!FFloating && anchors.Contains(gcl::akLeft) && anchors.Contains(gcl::akRight)) w = GetWidth();
    if (!FFloating && anchors.Contains(gcl::akTop) && anchors.Contains(gcl::akBottom)) h = GetHeight();
    SetBoundsArranging(GetLeft(), GetTop(), w, h);
}

void TBarCustomDockableWindow::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!gcl::IsDesigning(this) && FFloating && FFloatParent && !FSmoothDragging) {
        ALeft = 0;
        ATop = 0;
        const TPoint nc = FloatingNCSize();
        if (FFloatParent->GetParent() == nullptr)
            FFloatParent->SetBounds(FFloatParent->GetLeft(), FFloatParent->GetTop(), AWidth + nc.X, AHeight + nc.Y);
    }
    if (FUpdatingBounds == 0 && (AWidth != GetWidth() || AHeight != GetHeight())) SizeChanging(AWidth, AHeight);
    inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TBarCustomDockableWindow::SetBoundsArranging(int ALeft, int ATop, int AWidth, int AHeight) {
    ++FUpdatingBounds;
    try {
        SetBounds(ALeft, ATop, AWidth, AHeight);
    } catch (...) {
        --FUpdatingBounds;
        throw;
    }
    --FUpdatingBounds;
}

// ---- Properties -------------------------------------------------------------------------------

void TBarCustomDockableWindow::SetAutoResize(bool Value) {
    if (Value == FAutoResize) return;
    FAutoResize = Value;
    if (Value) Arrange();
}

void TBarCustomDockableWindow::SetDockPos(int Value) {
    if (Value == FDockPos) return;
    FDockPos = Value;
    if (FDocked) FCurrentDock->ArrangeToolbars();
}

void TBarCustomDockableWindow::SetDockRow(int Value) {
    if (Value == FDockRow) return;
    FDockRow = Value;
    if (FDocked) FCurrentDock->ArrangeToolbars();
}

void TBarCustomDockableWindow::SetFullSize(bool Value) {
    if (Value == FFullSize) return;
    FFullSize = Value;
    if (FDocked) FCurrentDock->ArrangeToolbars();
}

void TBarCustomDockableWindow::SetStretch(bool Value) {
    if (Value == FStretch) return;
    FStretch = Value;
    if (FDocked) FCurrentDock->ArrangeToolbars();
}

void TBarCustomDockableWindow::SetDockedBorderStyle(gcl::TBorderStyle Value) {
    if (Value == FDockedBorderStyle) return;
    FDockedBorderStyle = Value;
    if (FDocked) Reframe(this);
}

void TBarCustomDockableWindow::SetDragHandleStyle(TBarDragHandleStyle Value) {
    if (Value == FDragHandleStyle) return;
    FDragHandleStyle = Value;
    if (FDocked) {
        Reframe(this);
        FCurrentDock->ArrangeToolbars();
    }
}

void TBarCustomDockableWindow::SetCloseButtonWhenDocked(bool Value) {
    if (Value == FCloseButtonWhenDocked) return;
    FCloseButtonWhenDocked = Value;
    if (FDocked) {
        Reframe(this);
        FCurrentDock->ArrangeToolbars();
    }
}

void TBarCustomDockableWindow::SetCloseButton(bool Value) {
    if (Value == FCloseButton) return;
    FCloseButton = Value;
    if (FFloatParent) FFloatParent->RedrawNCArea(2 | 4);
}

void TBarCustomDockableWindow::SetResizable(bool Value) {
    if (Value == FResizable) return;
    FResizable = Value;
    if (FFloatParent && FFloatParent->HandleAllocated()) FFloatParent->RecreateWnd();
}

void TBarCustomDockableWindow::SetShowCaption(bool Value) {
    if (Value == FShowCaption) return;
    FShowCaption = Value;
    if (FFloatParent) {
        Reframe(FFloatParent);
        Arrange();
    }
}

void TBarCustomDockableWindow::SetHideWhenInactive(bool Value) {
    if (Value == FHideWhenInactive) return;
    FHideWhenInactive = Value;
    UpdateVisibility();
}

void TBarCustomDockableWindow::SetFloatingMode(TBarFloatingMode Value) {
    if (Value == FFloatingMode) return;
    FFloatingMode = Value;
    if (HandleAllocated()) ApplyShowing();
}

void TBarCustomDockableWindow::SetDefaultDock(TBarDock* Value) {
    if (Value == FDefaultDock) return;
    FDefaultDock = Value;
    if (Value) Value->FreeNotification(this);
}

void TBarCustomDockableWindow::SetUseLastDock(bool Value) {
    if (Value == FUseLastDock) return;
    FUseLastDock = Value;
    SetLastDock(Value ? FCurrentDock : nullptr);
}

void TBarCustomDockableWindow::SetLastDock(TBarDock* Value) {
    if (FUseLastDock && FCurrentDock) Value = FCurrentDock;
    if (Value == FLastDock) return;
    if (FLastDock && FLastDock != GetParent()) FLastDock->ChangeDockList(false, this);
    FLastDock = Value;
    if (Value) {
        FUseLastDock = true;
        Value->FreeNotification(this);
        Value->ChangeDockList(true, this);
    }
}

void TBarCustomDockableWindow::SetCurrentDock(TBarDock* Value) {
    if (Value) SetParent(Value);
    else SetParent(ToolWindowParentForm());
}

void TBarCustomDockableWindow::SetFloatingPosition(TPoint Value) {
    FFloatingPosition = Value;
    if (FFloating && FFloatParent)
        FFloatParent->SetBounds(Value.X, Value.Y, FFloatParent->GetWidth(), FFloatParent->GetHeight());
}

gcl::TCustomForm* TBarCustomDockableWindow::ToolWindowParentForm() {
    gcl::TWinControl* p = GetParent();
    if (auto* fp = dynamic_cast<TBarFloatingWindowParent*>(p)) return fp->FParentForm;
    for (; p; p = p->GetParent())
        if (auto* form = dynamic_cast<gcl::TCustomForm*>(p)) return form;
    return nullptr;
}

gcl::TMetaClass const* TBarCustomDockableWindow::GetFloatingWindowParentClass() {
    return TBarFloatingWindowParent::StaticClass();
}

void TBarCustomDockableWindow::DoDockChangingHidden(bool NewFloating, TBarDock* DockingTo) {
    if (OnDockChangingHidden) OnDockChangingHidden(this, NewFloating, DockingTo);
}

void TBarCustomDockableWindow::SetFloating(bool Value) {
    if (Value == FFloating || gcl::IsDesigning(this)) return;
    gcl::TCustomForm* form = ToolWindowParentForm();
    if (!form) throw gcl::EInvalidOperation(gcl::Format("Control '%s' has no parent window", {GetName()}));
    if (!Value) {
        SetParent(form);
        return;
    }
    if (!FFloatParent || FFloatParent->FParentForm != form) {
        auto* cls = static_cast<const TBarFloatingWindowParent::TMetaClassType*>(GetFloatingWindowParentClass());
        auto* fp = gcl::as<TBarFloatingWindowParent>(cls->Create(static_cast<gcl::TComponent*>(nullptr)));
        fp->FParentForm = form;
        fp->FDockableWindow = this;
        char name[64];
        snprintf(name, sizeof name, "NBFloatingWindowParent_%.8X",
                 static_cast<unsigned>(reinterpret_cast<uintptr_t>(fp)));
        fp->SetName(name);
        fp->SetCaption(GetCaption());
        fp->SetBorderStyle(gcl::bsToolWindow);
        const TPoint nc = FloatingNCSize();
        fp->SetBounds(FFloatingPosition.X, FFloatingPosition.Y, GetClientWidth() + nc.X, GetClientHeight() + nc.Y);
        fp->SetShowHint(true);
        if (TBarFloatingWindowParent* old = FFloatParent) {
            FFloatParent = nullptr;
            old->FDockableWindow = nullptr;
            old->Free();
        }
        FFloatParent = fp;
        fp->SetVisible(true);
    }
    form->FreeNotification(this);
    const int w = GetClientWidth();
    const int h = GetClientHeight();
    SetParent(FFloatParent);
    // The size it had where it was docked only carries it into the floating
    // window until it is arranged there: no floating size of its own.
    SetBoundsArranging(0, 0, w, h);
}

// ---- The docking protocol ---------------------------------------------------------------------

void TBarCustomDockableWindow::SetParent(gcl::TWinControl* AParent) {
    TBarDock* oldDock = dynamic_cast<TBarDock*>(GetParent());
    TBarDock* newDock = dynamic_cast<TBarDock*>(AParent);
    auto* newFloatWindow = dynamic_cast<TBarFloatingWindowParent*>(AParent);
    auto* oldFloatWindow = dynamic_cast<TBarFloatingWindowParent*>(GetParent());
    const bool newFloating = newFloatWindow != nullptr;
    if (AParent == GetParent()) {
        FCurrentDock = newDock;
        FFloating = newFloating;
        FDocked = newDock != nullptr;
        if (FFloating) AddToFloatingList();
        else RemoveFromFloatingList();
        return;
    }
    const bool destroying = gcl::IsDestroying(this);
    if (newDock && !destroying) newDock->ValidateInsert(this);
    if (!destroying && AParent) {
        if (OnDockChanging) OnDockChanging(this, newFloating, newDock);
        if (OnRecreating) OnRecreating(this);
    }
    ++FHidden;
    ++FDisableOnMove;
    UpdateVisibility();
    if (oldDock) oldDock->BeginUpdate();
    if (newDock) newDock->BeginUpdate();
    ++FUpdatingBounds;
    if (AParent) DoDockChangingHidden(newFloating, newDock);
    ++FArrangeUpdateCount;
    FCurrentSize = 0;
    struct TAfter {
        TBarCustomDockableWindow* W;
        TBarDock* OldDock;
        TBarDock* NewDock;
        ~TAfter() {
            try {
                W->EndUpdate();
            } catch (...) {
            }
            --W->FUpdatingBounds;
            try {
                if (OldDock) OldDock->EndUpdate();
                if (NewDock) NewDock->EndUpdate();
            } catch (...) {
            }
            --W->FDisableOnMove;
            --W->FHidden;
            try {
                W->UpdateVisibility();
            } catch (...) {
            }
        }
    } after{this, oldDock, newDock};

    if (oldDock) {
        if (!(FUseLastDock && FLastDock == oldDock)) oldDock->ChangeDockList(false, this);
        oldDock->ToolbarVisibilityChanged(this, true);
    }
    // The window keeps its handle: the class library moves it under the
    // new parent's window.
    FCurrentDock = newDock;
    FFloating = newFloating;
    FDocked = newDock != nullptr;
    inherited::SetParent(AParent);
    FEffectiveDockRow = -1;
    Reframe(this);
    if (!FSmoothDragging && oldFloatWindow && oldFloatWindow != newFloatWindow) {
        if (oldFloatWindow == FFloatParent) FFloatParent = nullptr;
        oldFloatWindow->FDockableWindow = nullptr;
        oldFloatWindow->Free();
    }
    if (newDock) {
        if (FUseLastDock && !FSmoothDragging) {
            SetLastDock(newDock);
            newDock->ToolbarVisibilityChanged(this, false);
        } else {
            newDock->ChangeDockList(true, this);
        }
    }
    if (FFloating) {
        AddToFloatingList();
        if (FFloatParent)
            FFloatParent->SetBounds(FFloatingPosition.X, FFloatingPosition.Y, FFloatParent->GetWidth(),
                                    FFloatParent->GetHeight());
    } else {
        RemoveFromFloatingList();
    }
    Arrange();
    // (TAfter lowers the counters, arranges the docks and shows the window.)
    if (!destroying && AParent) {
        if (GetParent() && OnMove && !gcl::IsLoading(this)) OnMove(this);
        if (OnRecreated) OnRecreated(this);
        if (OnDockChanged) OnDockChanged(this);
    }
}

// The thread hooks serve the floating windows only (HookProc walks the
// floating list), so a window holds them while it floats: a thread whose
// bars are all docked sends its messages without a hook in the way.
void TBarCustomDockableWindow::AddToFloatingList() {
    if (std::find(GFloatingList.begin(), GFloatingList.end(), this) == GFloatingList.end())
        GFloatingList.push_back(this);
    if (!FHookInstalled && !gcl::IsDesigning(this)) {
        InstallThreadHook(this, &HookProc,
                          TThreadHookCodes{thcActivate, thcActivateApp, thcWindowPosChanged, thcPreDestroy});
        FHookInstalled = true;
    }
}

void TBarCustomDockableWindow::RemoveFromFloatingList() noexcept {
    GFloatingList.erase(std::remove(GFloatingList.begin(), GFloatingList.end(), this), GFloatingList.end());
    if (!FHookInstalled) return;
    FHookInstalled = false;
    try {
        RemoveThreadHook(this, &HookProc);
    } catch (...) {
    }
}

// ---- Visibility of floating bars ----------------------------------------------------------------

bool TBarCustomDockableWindow::ShouldBeVisible() {
    if (!GetVisible() || FHidden > 0) return false;
    if (!FFloating || gcl::IsDesigning(this)) return true;
    if (FFloatingMode == fmOnTopOfParentForm) {
        TBarFloatingWindowParent* fp = dynamic_cast<TBarFloatingWindowParent*>(GetParent());
        gcl::TCustomForm* form = fp ? fp->FParentForm : nullptr;
        if (!form || !form->HandleAllocated() || !IsWindowVisible(form->GetHandle()) || IsIconic(form->GetHandle()))
            return false;
    }
    return !FHideWhenInactive || !gcl::Application || gcl::Application->GetActive();
}

void TBarCustomDockableWindow::UpdateVisibility() {
    if (!HandleAllocated()) return;
    if (!FFloating) {
        if (FHidden > 0 && IsWindowVisible(GetHandle())) ShowWindow(GetHandle(), SW_HIDE);
        else if (FHidden == 0 && GetShowing() && !IsWindowVisible(GetHandle()))
            SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                         SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    ApplyShowing();
    if (IsWindowVisible(GetHandle())) UpdateCaptionState();
}

void TBarCustomDockableWindow::ApplyShowing() {
    auto* fp = dynamic_cast<TBarFloatingWindowParent*>(GetParent());
    const bool show = ShouldBeVisible();
    if (FFloating && fp) {
        gcl::TCustomForm* owner = fp->FParentForm;
        HWND ownerWnd = FFloatingMode == fmOnTopOfAllForms || !owner || !owner->HandleAllocated()
                            ? (gcl::Application ? gcl::Application->GetHandle() : nullptr)
                            : owner->GetHandle();
        if (fp->HandleAllocated() && ownerWnd)
            SetWindowLongPtrA(fp->GetHandle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerWnd));
        fp->SetShouldShow(show);
    }
    const UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0, flags | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TBarCustomDockableWindow::UpdateCaptionState() {
    auto* fp = dynamic_cast<TBarFloatingWindowParent*>(GetParent());
    if (!fp) return;
    HWND active = GetActiveWindow();
    // While a menu of the framework is active, the caption stays as it is.
    if (active && dynamic_cast<TBarPopupWindow*>(gcl::FindControl(active))) return;
    bool inactive = gcl::Application && !gcl::Application->GetActive();
    if (!inactive && FFloatingMode == fmOnTopOfParentForm && fp->FParentForm && fp->FParentForm->HandleAllocated()) {
        HWND owner = fp->FParentForm->GetHandle();
        if (auto* afp = dynamic_cast<TBarFloatingWindowParent*>(gcl::FindControl(active)))
            if (afp->FParentForm && afp->FParentForm->HandleAllocated()) active = afp->FParentForm->GetHandle();
        inactive = active != owner && !IsChild(owner, active);
    }
    if (inactive != FInactiveCaption) {
        FInactiveCaption = inactive;
        fp->RedrawNCArea(2 | 4);
    }
}

void TBarCustomDockableWindow::HookProc(TThreadHookCode Code, HWND Wnd, WPARAM WParam, LPARAM LParam) {
    const std::vector<TBarCustomDockableWindow*> list = GFloatingList;
    auto alive = [](TBarCustomDockableWindow* w) {
        return std::find(GFloatingList.begin(), GFloatingList.end(), w) != GFloatingList.end();
    };
    switch (Code) {
    case thcActivate:
    case thcActivateApp:
        for (TBarCustomDockableWindow* w : list)
            if (alive(w)) w->UpdateVisibility();
        break;
    case thcWindowPosChanged: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(LParam);
        if (!pos || !(pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED))) break;
        for (TBarCustomDockableWindow* w : list) {
            if (!alive(w) || w->FFloatingMode != fmOnTopOfParentForm) continue;
            auto* fp = dynamic_cast<TBarFloatingWindowParent*>(w->GetParent());
            if (fp && fp->FParentForm && fp->FParentForm->HandleAllocated() &&
                (fp->FParentForm->GetHandle() == Wnd || IsChild(Wnd, fp->FParentForm->GetHandle())))
                w->UpdateVisibility();
        }
        break;
    }
    case thcPreDestroy:
        for (TBarCustomDockableWindow* w : list) {
            if (!alive(w)) continue;
            auto* fp = dynamic_cast<TBarFloatingWindowParent*>(w->GetParent());
            if (fp && fp->HandleAllocated() &&
                reinterpret_cast<HWND>(GetWindowLongPtrA(fp->GetHandle(), GWLP_HWNDPARENT)) == Wnd)
                SetWindowLongPtrA(fp->GetHandle(), GWLP_HWNDPARENT,
                                  reinterpret_cast<LONG_PTR>(gcl::Application ? gcl::Application->GetHandle()
                                                                              : nullptr));
        }
        break;
    default: break;
    }
    (void)WParam;
}

// ---- Actions ---------------------------------------------------------------------------------

bool TBarCustomDockableWindow::IsMovable() {
    return (FDocked && FCurrentDock->GetAllowDrag()) || FFloating;
}

void TBarCustomDockableWindow::DoubleClick() {
    if (FDocked) {
        if (FDblClickUndock && FDockMode == dmCanFloat) {
            SetFloating(true);
            MoveOnScreen(true);
        }
    } else if (FFloating) {
        if (FLastDock) {
            SetParent(FLastDock);
        } else if (FDefaultDock) {
            FDockRow = 0;
            FDockPos = -8;
            SetParent(FDefaultDock);
        }
    }
}

void TBarCustomDockableWindow::Close() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    if (!canClose) return;
    SetVisible(false);
    if (OnClose) OnClose(this);
}

void TBarCustomDockableWindow::MoveOnScreen(bool OnlyIfFullyOffscreen) {
    if (!FFloating || !FFloatParent) return;
    TRect r{FFloatParent->GetLeft(), FFloatParent->GetTop(), FFloatParent->GetLeft() + FFloatParent->GetWidth(),
            FFloatParent->GetTop() + FFloatParent->GetHeight()};
    const TRect w = MonitorRectOfRect(r, true);
    RECT a{r.Left, r.Top, r.Right, r.Bottom}, b{w.Left, w.Top, w.Right, w.Bottom}, x{};
    if (OnlyIfFullyOffscreen && IntersectRect(&x, &a, &b)) return;
    int dx = 0, dy = 0;
    if (r.Right > w.Right) dx = w.Right - r.Right;
    if (r.Bottom > w.Bottom) dy = w.Bottom - r.Bottom;
    if (r.Left + dx < w.Left) dx = w.Left - r.Left;
    if (r.Top + dy < w.Top) dy = w.Top - r.Top;
    FFloatParent->SetBounds(r.Left + dx, r.Top + dy, r.Width(), r.Height());
    FFloatingPosition = TPoint{r.Left + dx, r.Top + dy};
}

// ---- Streaming, notifications ----------------------------------------------------------------

void TBarCustomDockableWindow::Loaded() {
    inherited::Loaded();
    // A form made at design time (or in code) gives a floating bar its
    // place relative to the form's client area.
    if (FFloating && !FSavedAtRunTime && !gcl::IsDesigning(this)) {
        gcl::TCustomForm* form = ToolWindowParentForm();
        if (form) SetFloatingPosition(form->ClientToScreen(FFloatingPosition));
        MoveOnScreen(false);
    }
    Arrange();
}

bool TBarCustomDockableWindow::HasParent() const { return !FFloating && inherited::HasParent(); }

gcl::TComponent* TBarCustomDockableWindow::GetParentComponent() const {
    return FFloating ? nullptr : inherited::GetParentComponent();
}

void TBarCustomDockableWindow::DefineProperties(gcl::TFiler& Filer) {
    inherited::DefineProperties(Filer);
    const gcl::TComponent* root = Filer.GetRoot();
    const bool runTime = !(root ? gcl::IsDesigning(root) : gcl::IsDesigning(this));
    Filer.DefineProperty("SavedAtRunTime", gcl::TReaderProc(this, &TBarCustomDockableWindow::ReadSavedAtRunTime),
                         gcl::TWriterProc(this, &TBarCustomDockableWindow::WriteSavedAtRunTime), runTime);
}

void TBarCustomDockableWindow::ReadSavedAtRunTime(gcl::TReader& Reader) { FSavedAtRunTime = Reader.ReadBoolean(); }

void TBarCustomDockableWindow::WriteSavedAtRunTime(gcl::TWriter& Writer) { Writer.WriteBoolean(true); }

void TBarCustomDockableWindow::Notification(gcl::TComponent* AComponent, gcl::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation != gcl::opRemove) return;
    if (AComponent == FDefaultDock) FDefaultDock = nullptr;
    if (AComponent == FLastDock) FLastDock = nullptr;
    FDockForms.erase(std::remove(FDockForms.begin(), FDockForms.end(), AComponent), FDockForms.end());
    if (FFloatParent && FFloatParent->FParentForm == AComponent) {
        if (FFloatParent != GetParent()) {
            TBarFloatingWindowParent* fp = FFloatParent;
            FFloatParent = nullptr;
            fp->FDockableWindow = nullptr;
            fp->Free();
        } else if (FFloatingMode == fmOnTopOfAllForms) {
            FFloatParent->FParentForm = nullptr;
        } else {
            SetParent(nullptr);
        }
    }
}

// ---- The docked frame ---------------------------------------------------------------------------

void TBarCustomDockableWindow::DrawNCArea(HDC DC) {
    if (!FDocked || !HandleAllocated()) return;
    RECT r{};
    GetWindowRect(GetHandle(), &r);
    OffsetRect(&r, -r.left, -r.top);
    HBRUSH brush = CreateSolidBrush(gcl::ColorToRGB(GetColor()));
    const bool background = FCurrentDock->BackgroundShownOnBars();
    if (FDockedBorderStyle == gcl::bsSingle) {
        DrawEdge(DC, &r, BDR_RAISEDINNER, BF_RECT);
    } else {
        FrameRect(DC, &r, brush);
    }
    InflateRect(&r, -1, -1);
    if (background) {
        // The ring inside the outer pixel, drag handle included, shows the
        // dock's background.
        const TRect client = ClientRectInWindow();
        const int saved = SaveDC(DC);
        ExcludeClipRect(DC, client.Left, client.Top, client.Right, client.Bottom);
        try {
            FCurrentDock->DrawBackgroundAt(DC, TPoint{GetLeft(), GetTop()}, TRect{r.left, r.top, r.right, r.bottom});
        } catch (...) {
            RestoreDC(DC, saved);
            DeleteObject(brush);
            throw;
        }
        RestoreDC(DC, saved);
    } else {
        FrameRect(DC, &r, brush);
    }
    InflateRect(&r, -1, -1);
    const bool lr = FCurrentDock->IsLeftRight();
    const int handle = DragHandleSize();
    if (handle > 0) {
        RECT hr = r;
        if (lr) hr.bottom = hr.top + handle;
        else hr.right = hr.left + handle;
        if (!background) FillRect(DC, &hr, brush);
        if (FDragHandleStyle != dhNone) {
            const int offset = DragHandleOffsets[FCloseButtonWhenDocked ? 1 : 0][FDragHandleStyle] + 2;
            const int lines = FDragHandleStyle == dhDouble ? 2 : 1;
            for (int i = 0; i < lines; ++i) {
                RECT g = hr;
                if (lr) {
                    g.top = hr.top + offset + i * 3 - 2;
                    g.bottom = g.top + 3;
                    if (FCloseButtonWhenDocked) g.right -= handle;
                } else {
                    g.left = hr.left + offset + i * 3 - 2;
                    g.right = g.left + 3;
                    if (FCloseButtonWhenDocked) g.top += handle;
                }
                DrawEdge(DC, &g, BDR_RAISEDINNER, BF_RECT);
            }
        }
        if (FCloseButtonWhenDocked) {
            TRect cb = GetDockedCloseButtonRect(lr);
            RECT c{cb.Left, cb.Top, cb.Right, cb.Bottom};
            if (FCloseButtonDown) DrawEdge(DC, &c, BDR_SUNKENOUTER, BF_RECT);
            else if (FCloseButtonHover) DrawEdge(DC, &c, BDR_RAISEDINNER, BF_RECT);
            static const uint8_t cross[8] = {0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00, 0x00};
            HBRUSH text = CreateSolidBrush(gcl::ColorToRGB(gcl::SysColor(COLOR_BTNTEXT)));
            const int d = FCloseButtonDown ? 1 : 0;
            DrawMonoPattern(DC, c.left + 2 + d, c.top + 2 + d, cross, 8, text);
            DeleteObject(text);
        }
    }
    DeleteObject(brush);
}

TRect TBarCustomDockableWindow::ClientRectInWindow() {
    RECT w{};
    GetWindowRect(GetHandle(), &w);
    POINT c{0, 0};
    ::ClientToScreen(GetHandle(), &c);
    const int x = c.x - w.left;
    const int y = c.y - w.top;
    return TRect{x, y, x + GetClientWidth(), y + GetClientHeight()};
}

bool TBarCustomDockableWindow::ShowsDockBackground() {
    return FDocked && HandleAllocated() && FCurrentDock->BackgroundShownOnBars();
}

void TBarCustomDockableWindow::RepaintThroughBitmap() {
    const HWND wnd = GetHandle();
    if (!IsWindowVisible(wnd)) return;
    // Nothing to do when the whole client area waits for its paint anyway.
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    RECT box{};
    const int kind = GetUpdateRgn(wnd, update, FALSE);
    GetRgnBox(update, &box);
    DeleteObject(update);
    const RECT client{0, 0, GetClientWidth(), GetClientHeight()};
    if (kind == SIMPLEREGION && EqualRect(&box, &client)) return;
    RECT w{};
    GetWindowRect(wnd, &w);
    const int width = w.right - w.left;
    const int height = w.bottom - w.top;
    if (width <= 0 || height <= 0) return;
    HDC windowDC = GetWindowDC(wnd);
    HDC memDC = CreateCompatibleDC(windowDC);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDC, width, height);
    HGDIOBJ old = SelectObject(memDC, bitmap);
    SendMessageA(wnd, WM_PRINT, reinterpret_cast<WPARAM>(memDC), PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT);
    BitBlt(windowDC, 0, 0, width, height, memDC, 0, 0, SRCCOPY);
    SelectObject(memDC, old);
    DeleteObject(bitmap);
    DeleteDC(memDC);
    ReleaseDC(wnd, windowDC);
    ValidateRect(wnd, nullptr);
}

void TBarCustomDockableWindow::NCPaintProc(HWND, HDC DC, void* AppData) {
    static_cast<TBarCustomDockableWindow*>(AppData)->DrawNCArea(DC);
}

void TBarCustomDockableWindow::RedrawNC() {
    if (HandleAllocated()) RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

void TBarCustomDockableWindow::CloseButtonPressChanged(bool Pressed) {
    FCloseButtonDown = Pressed;
    RedrawNC();
}

void TBarCustomDockableWindow::MouseDown(gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y) {
    if (Button == gcl::mbLeft && IsMovable() && !gcl::IsDesigning(this)) {
        bool exists = false;
        ControlExistsAtPos(TPoint{X, Y}, exists);
        if (!exists) {
            if (Shift.Contains(gcl::ssDouble)) {
                DoubleClick();
            } else {
                BeginMoving(X, Y);
                MouseUp(gcl::mbLeft, gcl::TShiftState{}, -1, -1);
            }
            return;
        }
    }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TBarCustomDockableWindow::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
        if (FDocked) {
            auto* r = reinterpret_cast<RECT*>(Message.LParam);
            InflateRect(r, -2, -2);
            if (FCurrentDock->IsLeftRight()) r->top += DragHandleSize();
            else r->left += DragHandleSize();
            Message.Result = 0;
            return;
        }
        break;
    case WM_NCPAINT:
        if (FDocked) {
            HandleNCPaintAndPrint(this, Message, &NCPaintProc, this);
            return;
        }
        break;
    case WM_PRINT:
    case WM_PRINTCLIENT: HandleNCPaintAndPrint(this, Message, &NCPaintProc, this); return;
    case WM_NCHITTEST:
        if (FDocked) {
            inherited::Dispatch(Message);
            if (Message.Result == HTCLIENT) return;
            POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
            RECT wr{};
            GetWindowRect(GetHandle(), &wr);
            p.x -= wr.left;
            p.y -= wr.top;
            const TRect cb = GetDockedCloseButtonRect(FCurrentDock->IsLeftRight());
            Message.Result = FCloseButtonWhenDocked && FCurrentDock->GetAllowDragOf() && p.x >= cb.Left &&
                                     p.x < cb.Right && p.y >= cb.Top && p.y < cb.Bottom
                                 ? HT_TB2K_CLOSEBUTTON
                                 : HT_TB2K_DRAGHANDLE;
            return;
        }
        break;
    case WM_SETCURSOR:
        if (FDocked && LOWORD(Message.LParam) == HT_TB2K_DRAGHANDLE && FCurrentDock->GetAllowDragOf() &&
            FDragHandleStyle != dhNone) {
            POINT p{};
            GetCursorPos(&p);
            RECT wr{};
            GetWindowRect(GetHandle(), &wr);
            const int lead = FCurrentDock->IsLeftRight() ? p.y - wr.top : p.x - wr.left;
            if (lead < DragHandleSize() + 2) {
                ::SetCursor(LoadCursorA(nullptr, IDC_SIZEALL));
                Message.Result = 1;
                return;
            }
        }
        break;
    case WM_NCLBUTTONDOWN:
        if (Message.WParam == HT_TB2K_DRAGHANDLE && IsMovable()) {
            POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
            ::ScreenToClient(GetHandle(), &p);
            BeginMoving(p.x, p.y);
            return;
        }
        if (Message.WParam == HT_TB2K_CLOSEBUTTON && FDocked) {
            TRect cb = GetDockedCloseButtonRect(FCurrentDock->IsLeftRight());
            TPoint tl, br;
            GetDockedNCArea(tl, br, FCurrentDock->IsLeftRight());
            cb = TRect{cb.Left - tl.X, cb.Top - tl.Y, cb.Right - tl.X, cb.Bottom - tl.Y};
            if (TrackButtonPress(GetHandle(), cb, TButtonPressEvent(this, &TBarCustomDockableWindow::CloseButtonPressChanged)))
                Close();
            return;
        }
        break;
    case WM_NCLBUTTONDBLCLK:
        if (Message.WParam == HT_TB2K_DRAGHANDLE && IsMovable()) {
            DoubleClick();
            return;
        }
        break;
    case WM_NCMOUSEMOVE: {
        const bool hover = Message.WParam == HT_TB2K_CLOSEBUTTON;
        if (hover != FCloseButtonHover) {
            FCloseButtonHover = hover;
            if (hover) CallTrackMouseEvent(GetHandle(), TME_LEAVE | TME_NONCLIENT);
            RedrawNC();
        }
        break;
    }
    case WM_NCMOUSELEAVE:
    case WM_MOUSEMOVE:
    case gcl::CM_MOUSELEAVE:
        if (FCloseButtonHover && !(Message.Msg == WM_NCMOUSELEAVE && GetCapture())) {
            FCloseButtonHover = false;
            RedrawNC();
        }
        break;
    case gcl::CM_VISIBLECHANGED:
        if (FCurrentDock) FCurrentDock->ToolbarVisibilityChanged(this, false);
        inherited::Dispatch(Message);
        if (FCurrentDock) FCurrentDock->ToolbarVisibilityChanged(this, false);
        UpdateVisibility();
        if (OnVisibleChanged) OnVisibleChanged(this);
        return;
    case gcl::CM_SHOWINGCHANGED:
        if (FFloating) {
            ApplyShowing();
            return;
        }
        break;
    case gcl::CM_TEXTCHANGED:
        if (FFloatParent) FFloatParent->SetCaption(GetCaption());
        break;
    case gcl::CM_COLORCHANGED: RedrawNC(); break;
    case WM_ERASEBKGND:
        if (ShowsDockBackground()) {
            const TPoint origin = FCurrentDock->ScreenToClient(ClientToScreen(TPoint{0, 0}));
            FCurrentDock->DrawBackgroundAt(reinterpret_cast<HDC>(Message.WParam), origin, GetClientRect());
            Message.Result = 1;
            return;
        }
        break;
    case WM_MOVE:
        inherited::Dispatch(Message);
        // The background moved under the bar: repaint all of it at once,
        // without flicker.
        if (ShowsDockBackground()) RepaintThroughBitmap();
        if (!gcl::IsLoading(this) && FDisableOnMove == 0 && OnMove) OnMove(this);
        return;
    default: break;
    }
    inherited::Dispatch(Message);
}

// ==== The floating window =======================================================================

GCL_IMPLEMENT_CLASS(TBarFloatingWindowParent)

void TBarFloatingWindowParent::CreateParams(gcl::TCreateParams& Params) {
    inherited::CreateParams(Params);
    if (gcl::IsDesigning(this)) {
        Params.Style |= WS_BORDER;
        return;
    }
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
    Params.Style = WS_POPUP | WS_BORDER | ((FDockableWindow && FDockableWindow->FResizable) ? WS_THICKFRAME : 0);
    Params.ExStyle = WS_EX_TOOLWINDOW;
}

void TBarFloatingWindowParent::SetShouldShow(bool Value) {
    if (Value == FShouldShow) return;
    FShouldShow = Value;
    if (HandleAllocated()) Perform(gcl::CM_SHOWINGCHANGED);
}

void TBarFloatingWindowParent::RedrawNCArea(int RedrawWhat) {
    if (!HandleAllocated() || !IsWindowVisible(GetHandle())) return;
    HDC dc = GetWindowDC(GetHandle());
    DrawNCArea(dc, RedrawWhat);
    ReleaseDC(GetHandle(), dc);
}

TRect TBarFloatingWindowParent::GetCaptionRect(bool AdjustForBorder, bool MinusCloseButton) {
    const int ch = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    TRect r{0, 0, GetClientWidth(), ch};
    if (MinusCloseButton) r.Right -= ch;
    if (AdjustForBorder && FDockableWindow) {
        const TPoint b = FDockableWindow->GetFloatingBorderSize();
        r = TRect{r.Left + b.X, r.Top + b.Y, r.Right + b.X, r.Bottom + b.Y};
    }
    return r;
}

TRect TBarFloatingWindowParent::GetCloseButtonRect(bool AdjustForBorder) {
    TRect r = GetCaptionRect(AdjustForBorder, false);
    r.Left = r.Right - (GetSystemMetrics(SM_CYSMCAPTION) - 1);
    return r;
}

void TBarFloatingWindowParent::DrawNCArea(HDC DC, int RedrawWhat) {
    if (!FDockableWindow) return;
    RECT r{};
    GetWindowRect(GetHandle(), &r);
    OffsetRect(&r, -r.left, -r.top);
    BOOL gradient = FALSE;
    SystemParametersInfoA(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
    const TPoint b = FDockableWindow->GetFloatingBorderSize();
    if (RedrawWhat & 1) {
        DrawEdge(DC, &r, EDGE_RAISED, BF_RECT);
        RECT inner = r;
        InflateRect(&inner, -2, -2);
        const int save = SaveDC(DC);
        ExcludeClipRect(DC, b.X, b.Y, r.right - b.X, r.bottom - b.Y);
        HBRUSH face = CreateSolidBrush(gcl::ColorToRGB(gcl::clBtnFace));
        FillRect(DC, &inner, face);
        DeleteObject(face);
        RestoreDC(DC, save);
    }
    if (!FDockableWindow->FShowCaption) return;
    const bool inactive = FDockableWindow->FInactiveCaption;
    const bool close = FDockableWindow->FCloseButton;
    TRect cr = GetCaptionRect(true, close);
    if (RedrawWhat & 2) {
        RECT c{cr.Left, cr.Top, cr.Right, cr.Bottom};
        UINT flags = DC_SMALLCAP | DC_TEXT | (inactive ? 0 : DC_ACTIVE) | (gradient ? DC_GRADIENT : 0);
        DrawCaption(GetHandle(), DC, &c, flags);
        TRect full = GetCaptionRect(true, false);
        HPEN pen = CreatePen(PS_SOLID, 1, gcl::ColorToRGB(gcl::clBtnFace));
        HGDIOBJ old = SelectObject(DC, pen);
        MoveToEx(DC, full.Left, full.Bottom, nullptr);
        LineTo(DC, full.Right, full.Bottom);
        SelectObject(DC, old);
        DeleteObject(pen);
    }
    if (close) {
        TRect btn = GetCloseButtonRect(true);
        RECT sq{btn.Left, btn.Top, btn.Right, btn.Bottom};
        RECT glyph{sq.left, sq.top + 2, sq.right - 2, sq.bottom - 2};
        if (RedrawWhat & 2) {
            const int colour = gradient ? (inactive ? COLOR_GRADIENTINACTIVECAPTION : COLOR_GRADIENTACTIVECAPTION)
                                        : (inactive ? COLOR_INACTIVECAPTION : COLOR_ACTIVECAPTION);
            HBRUSH cap = CreateSolidBrush(gcl::ColorToRGB(gcl::SysColor(colour)));
            const int save = SaveDC(DC);
            ExcludeClipRect(DC, glyph.left, glyph.top, glyph.right, glyph.bottom);
            FillRect(DC, &sq, cap);
            RestoreDC(DC, save);
            DeleteObject(cap);
        }
        if (RedrawWhat & 4)
            DrawFrameControl(DC, &glyph, DFC_CAPTION, DFCS_CAPTIONCLOSE | (FCloseButtonDown ? DFCS_PUSHED : 0));
    }
}

void TBarFloatingWindowParent::NCPaintProc(HWND, HDC DC, void* AppData) {
    static_cast<TBarFloatingWindowParent*>(AppData)->DrawNCArea(DC, 7);
}

void TBarFloatingWindowParent::CloseButtonPressChanged(bool Pressed) {
    FCloseButtonDown = Pressed;
    RedrawNCArea(4);
}

int TBarFloatingWindowParent::HitTest(TPoint P) {
    TBarCustomDockableWindow* bar = FDockableWindow;
    if (bar->FShowCaption) {
        const TRect cap = GetCaptionRect(true, false);
        if (P.X >= cap.Left && P.X < cap.Right && P.Y >= cap.Top && P.Y < cap.Bottom) {
            if (!bar->FCloseButton) return HT_TB2K_CAPTION;
            const TRect btn = GetCloseButtonRect(true);
            return P.X >= btn.Left ? HT_TB2K_CLOSEBUTTON : HT_TB2K_CAPTION;
        }
    }
    if (!bar->FResizable) return 0;
    const TPoint b = bar->GetFloatingBorderSize();
    const int k = b.X + GetSystemMetrics(SM_CYSMCAPTION) - 1;
    const int w = GetWidth();
    const int h = GetHeight();
    if (bar->FSizeOptions.Contains(tbsoCornerSizing)) {
        if (P.X < b.X) return P.Y < k ? HTTOPLEFT : P.Y >= h - k ? HTBOTTOMLEFT : HTLEFT;
        if (P.X >= w - b.X - 1) return P.Y < k ? HTTOPRIGHT : P.Y >= h - k ? HTBOTTOMRIGHT : HTRIGHT;
        if (P.Y < b.Y) return P.X < k ? HTTOPLEFT : P.X >= w - k ? HTTOPRIGHT : HTTOP;
        if (P.Y >= h - b.Y - 1) return P.X < k ? HTBOTTOMLEFT : P.X >= w - k ? HTBOTTOMRIGHT : HTBOTTOM;
    } else {
        if (P.Y < b.Y) return HTTOP;
        if (P.Y >= h - b.Y - 1) return HTBOTTOM;
        if (P.X < b.X) return HTLEFT;
        if (P.X >= w - b.X - 1) return HTRIGHT;
    }
    return 0;
}

void TBarFloatingWindowParent::Dispatch(gcl::TMessage& Message) {
    if (gcl::IsDesigning(this) || !FDockableWindow) {
        inherited::Dispatch(Message);
        return;
    }
    TBarCustomDockableWindow* bar = FDockableWindow;
    switch (Message.Msg) {
    case WM_NCCALCSIZE: {
        auto* r = reinterpret_cast<RECT*>(Message.LParam);
        TPoint tl, br;
        bar->GetFloatingNCArea(tl, br);
        r->left += tl.X;
        r->top += tl.Y;
        r->right -= br.X;
        r->bottom -= br.Y;
        Message.Result = 0;
        return;
    }
    case WM_NCPAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT: HandleNCPaintAndPrint(this, Message, &NCPaintProc, this); return;
    case WM_NCHITTEST: {
        inherited::Dispatch(Message);
        if (Message.Result == HTCLIENT) return;
        RECT wr{};
        GetWindowRect(GetHandle(), &wr);
        const TPoint p{static_cast<short>(LOWORD(Message.LParam)) - wr.left,
                       static_cast<short>(HIWORD(Message.LParam)) - wr.top};
        if (const int code = HitTest(p)) Message.Result = code;
        return;
    }
    case WM_NCLBUTTONDOWN: {
        const int code = static_cast<int>(Message.WParam);
        if (code >= HTLEFT && code <= HTBOTTOMRIGHT && bar->FResizable) {
            bar->BeginSizing(static_cast<TBarSizeHandle>(code - HTLEFT));
            return;
        }
        if (code == HT_TB2K_CAPTION) {
            POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
            ::ScreenToClient(bar->GetHandle(), &p);
            bar->BeginMoving(p.x, p.y);
            return;
        }
        if (code == HT_TB2K_CLOSEBUTTON) {
            TRect btn = GetCloseButtonRect(true);
            TPoint tl, br;
            bar->GetFloatingNCArea(tl, br);
            btn = TRect{btn.Left - tl.X, btn.Top - tl.Y, btn.Right - tl.X, btn.Bottom - tl.Y};
            if (TrackButtonPress(GetHandle(), btn,
                                 TButtonPressEvent(this, &TBarFloatingWindowParent::CloseButtonPressChanged)))
                bar->Close();
            return;
        }
        break;
    }
    case WM_NCLBUTTONDBLCLK:
        if (Message.WParam == HT_TB2K_CAPTION) {
            bar->DoubleClick();
            return;
        }
        break;
    case WM_NCRBUTTONUP:
        if (bar->HandleAllocated()) SendMessageA(bar->GetHandle(), WM_CONTEXTMENU, 0, Message.LParam);
        return;
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        SetWindowPos(GetHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        if (bar->FFloatingMode == fmOnTopOfParentForm && bar->FActivateParent && FParentForm &&
            FParentForm->HandleAllocated() && GetActiveWindow() != FParentForm->GetHandle())
            SetActiveWindow(FParentForm->GetHandle());
        return;
    case WM_ACTIVATE:
        if (FParentForm && FParentForm->HandleAllocated()) {
            SendMessageA(FParentForm->GetHandle(), WM_NCACTIVATE, LOWORD(Message.WParam) != WA_INACTIVE, 0);
            if (LOWORD(Message.WParam) != WA_INACTIVE && reinterpret_cast<HWND>(Message.LParam) != FParentForm->GetHandle() &&
                IsWindowVisible(GetHandle()))
                SetActiveWindow(FParentForm->GetHandle());
        }
        Message.Result = 0;
        return;
    case WM_CLOSE:
        if (FParentForm && FParentForm->HandleAllocated()) PostMessageA(FParentForm->GetHandle(), WM_CLOSE, 0, 0);
        return;
    case gcl::CM_DIALOGKEY:
        if (Message.WParam == VK_ESCAPE && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 &&
            GetKeyState(VK_MENU) >= 0 && FParentForm) {
            FParentForm->SetFocus();
            Message.Result = 1;
            return;
        }
        break;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
        info->ptMinTrackSize = POINT{1, 1};
        info->ptMaxTrackSize = POINT{32767, 32767};
        Message.Result = 0;
        return;
    }
    case gcl::CM_SHOWINGCHANGED: {
        const bool show = GetShowing() && FShouldShow;
        const UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
        SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0, flags | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        return;
    }
    case gcl::CM_TEXTCHANGED: RedrawNCArea(2); break;
    case WM_MOVE:
        inherited::Dispatch(Message);
        if (bar->OnMove && bar->FDisableOnMove == 0) bar->OnMove(bar);
        return;
    default: break;
    }
    inherited::Dispatch(Message);
}

namespace {
void InitBarDock() { gcl::RegisterClass(TBarDock::StaticClass()); }
void FinalizeBarDock() { gcl::UnRegisterClass(TBarDock::StaticClass()); }
} // namespace

gcl::TUnit BarDockUnit{"BarDock", &InitBarDock, &FinalizeBarDock};

} // namespace qelvo
