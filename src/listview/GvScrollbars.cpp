// The scroll-bar manager.
#include "listview/GvInternal.h"

#include <algorithm>
#include <iterator>

namespace qelvo {

using namespace gvdetail;

// ---- TGvScrollbarManager -----------------------------------------------------------------------

GCL_PUBLISHED(TGvScrollbarManager,
    GCL_PROP(HorzEnabled).Default(true),
    GCL_PROP(SnapHorzView).Default(true),
    GCL_PROP(VertEnabled).Default(true))

namespace {
int HeaderHeightOf(TCustomGvListview* lv) { return lv && lv->GetHeader() ? lv->GetHeader()->RuntimeHeight() : 0; }
int ListCellWidth(TCustomGvListview* lv) {
    return lv && lv->GetCellSizes() ? std::max(1, lv->GetCellSizes()->GetList()->GetWidth()) : 1;
}
} // namespace

void TGvScrollbarManager::SetHorzEnabled(bool Value) {
    if (Value == FHorzEnabled) return;
    FHorzEnabled = Value;
    ReCalculateScrollbars(true, false);
    RepaintListview(FOwnerListview);
}

void TGvScrollbarManager::SetVertEnabled(bool Value) {
    if (Value == FVertEnabled) return;
    FVertEnabled = Value;
    ReCalculateScrollbars(true, false);
    RepaintListview(FOwnerListview);
}

bool TGvScrollbarManager::HorzBarVisible() const {
    return FOwnerListview && FOwnerListview->HandleAllocated() &&
           (GetWindowLongA(FOwnerListview->GetHandle(), GWL_STYLE) & WS_HSCROLL) != 0;
}

bool TGvScrollbarManager::VertBarVisible() const {
    return FOwnerListview && FOwnerListview->HandleAllocated() &&
           (GetWindowLongA(FOwnerListview->GetHandle(), GWL_STYLE) & WS_VSCROLL) != 0;
}

int TGvScrollbarManager::MaxOffsetX() const {
    const int clientWidth = ClientRectOf(FOwnerListview).Width();
    int result = ViewWidth() - clientWidth;
    if (FOwnerListview && !ScrollsVertically(FOwnerListview->GetView()) && HorzBarVisible()) {
        const int cell = ListCellWidth(FOwnerListview);
        result = (result / cell) * cell + cell;
    }
    return std::max(result, 0);
}

int TGvScrollbarManager::MaxOffsetY() const {
    const int result = ViewHeight() - ClientRectOf(FOwnerListview).Height() + HeaderHeightOf(FOwnerListview);
    return std::max(result, 0);
}

int TGvScrollbarManager::LineStep() const {
    return FOwnerListview && FOwnerListview->GetGroups() ? FOwnerListview->GetGroups()->CellHeight() : 0;
}

void TGvScrollbarManager::ValidateOffsets(int& X, int& Y) const {
    if (!FOwnerListview) {
        X = 0;
        Y = 0;
        return;
    }
    if (!ScrollsVertically(FOwnerListview->GetView()) && FSnapHorzView) {
        const int cell = ListCellWidth(FOwnerListview);
        const bool beyond = X > ViewWidth() - cell;
        const int remainder = X % cell;
        X -= remainder;
        if (remainder > cell / 2 || beyond) X += cell;
    }
    Y = std::min(Y, MaxOffsetY());
    X = std::min(X, MaxOffsetX());
    X = std::max(X, 0);
    Y = std::max(Y, 0);
}

void TGvScrollbarManager::SetOffsetX(int Value) {
    if (Value != FOffsetX) Scroll(Value - FOffsetX, 0);
}

void TGvScrollbarManager::SetOffsetY(int Value) {
    if (Value != FOffsetY) Scroll(0, Value - FOffsetY);
}

void TGvScrollbarManager::Scroll(int DeltaX, int DeltaY) {
    const int oldX = FOffsetX;
    const int oldY = FOffsetY;
    int x = FOffsetX + DeltaX;
    int y = FOffsetY + DeltaY;
    ValidateOffsets(x, y);
    if (x == oldX && y == oldY) return;
    FOffsetX = x;
    FOffsetY = y;
    ReCalculateScrollbars(true, true);
    if (FOwnerListview) {
        FOwnerListview->DoScroll(oldX - x, oldY - y);
        FOwnerListview->InvalidateView();
        // Another entry may now lie under a pointer that rests.
        FOwnerListview->HotTrackAtPointer();
    }
}

namespace {
int TrackPosition(TCustomGvListview* lv, int Bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS | SIF_POS;
    if (!lv->HandleAllocated() || !GetScrollInfo(lv->GetHandle(), Bar, &info)) return 0;
    return info.nTrackPos;
}
// Rounds Value down to a multiple of Cell.
int WholeCells(int Value, int Cell) {
    if (Cell <= 0) return Value;
    const int cells = Value / Cell - (Value % Cell < 0 ? 1 : 0);
    return cells * Cell;
}
} // namespace

void TGvScrollbarManager::WMVScroll(gcl::TMessage& Msg) {
    if (!FOwnerListview) {
        FOffsetY = 0;
        return;
    }
    const int page = ClientRectOf(FOwnerListview).Height();
    int delta = 0;
    switch (LOWORD(static_cast<uintptr_t>(Msg.WParam))) {
    case SB_LINEUP: delta = -LineStep(); break;
    case SB_LINEDOWN: delta = LineStep(); break;
    case SB_PAGEUP: delta = -page; break;
    case SB_PAGEDOWN: delta = page; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: delta = TrackPosition(FOwnerListview, SB_VERT) - FOffsetY; break;
    case SB_TOP: delta = -FOffsetY; break;
    case SB_BOTTOM: delta = ViewHeight() - FOffsetY; break;
    default: break;
    }
    Scroll(0, delta);
}

void TGvScrollbarManager::WMHScroll(gcl::TMessage& Msg) {
    if (!FOwnerListview) {
        FOffsetX = 0;
        return;
    }
    const int code = LOWORD(static_cast<uintptr_t>(Msg.WParam));
    const int page = ClientRectOf(FOwnerListview).Width();
    int delta = 0;
    if (ScrollsVertically(FOwnerListview->GetView()) || !FSnapHorzView) {
        switch (code) {
        case SB_LINELEFT: delta = -LineStep(); break;
        case SB_LINERIGHT: delta = LineStep(); break;
        case SB_PAGELEFT: delta = -page; break;
        case SB_PAGERIGHT: delta = page; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: delta = TrackPosition(FOwnerListview, SB_HORZ) - FOffsetX; break;
        case SB_LEFT: delta = -FOffsetX; break;
        case SB_RIGHT: delta = ViewWidth() - FOffsetX; break;
        default: break;
        }
    } else {
        const int cell = ListCellWidth(FOwnerListview);
        switch (code) {
        case SB_LINELEFT:
        case SB_PAGELEFT: delta = -cell; break;
        case SB_LINERIGHT:
        case SB_PAGERIGHT: delta = cell; break;
        case SB_THUMBPOSITION: delta = WholeCells(TrackPosition(FOwnerListview, SB_HORZ) - FOffsetX, cell); break;
        case SB_THUMBTRACK: {
            const int track = TrackPosition(FOwnerListview, SB_HORZ);
            delta = track + cell <= MaxOffsetX() ? WholeCells(track - FOffsetX, cell) : MaxOffsetX() - FOffsetX;
            break;
        }
        case SB_LEFT: delta = FViewRect.Left - FViewRect.Right - FOffsetX; break;
        case SB_RIGHT: delta = ViewWidth() - FOffsetX; break;
        default: break;
        }
    }
    Scroll(delta, 0);
}

void TGvScrollbarManager::SetViewRect(const TRect& Value, bool ForceInvalidate) {
    const bool changed = !(Value == FViewRect);
    const bool hadHorz = HorzBarVisible();
    const bool hadVert = VertBarVisible();
    FViewRect = Value;
    bool invalidate = ForceInvalidate;
    if (changed && !invalidate && FOwnerListview) {
        const TRect client = ClientRectOf(FOwnerListview);
        const bool needHorz = ViewWidth() - 1 > client.Width();
        const bool needVert = ViewHeight() + HeaderHeightOf(FOwnerListview) - 1 > client.Height();
        invalidate = (hadHorz && !needHorz) || (hadVert && !needVert);
    }
    if (invalidate) RepaintListview(FOwnerListview);
}

TPoint TGvScrollbarManager::MapWindowToView(TPoint Point, bool IncludeHeader) const {
    return TPoint{Point.X + FOffsetX, Point.Y + FOffsetY - (IncludeHeader ? HeaderHeightOf(FOwnerListview) : 0)};
}

TPoint TGvScrollbarManager::MapViewToWindow(TPoint Point, bool IncludeHeader) const {
    return TPoint{Point.X - FOffsetX, Point.Y - FOffsetY + (IncludeHeader ? HeaderHeightOf(FOwnerListview) : 0)};
}

TRect TGvScrollbarManager::MapWindowRectToViewRect(const TRect& R, bool IncludeHeader) const {
    const TPoint a = MapWindowToView(TPoint{R.Left, R.Top}, IncludeHeader);
    const TPoint b = MapWindowToView(TPoint{R.Right, R.Bottom}, IncludeHeader);
    return TRect{a.X, a.Y, b.X, b.Y};
}

TRect TGvScrollbarManager::MapViewRectToWindowRect(const TRect& R, bool IncludeHeader) const {
    const TPoint a = MapViewToWindow(TPoint{R.Left, R.Top}, IncludeHeader);
    const TPoint b = MapViewToWindow(TPoint{R.Right, R.Bottom}, IncludeHeader);
    return TRect{a.X, a.Y, b.X, b.Y};
}

namespace {

// What a bar looks like: where it is, its thumb and the state of its parts.
bool SameLook(const SCROLLBARINFO& a, const SCROLLBARINFO& b) {
    return EqualRect(&a.rcScrollBar, &b.rcScrollBar) && a.dxyLineButton == b.dxyLineButton &&
           a.xyThumbTop == b.xyThumbTop && a.xyThumbBottom == b.xyThumbBottom &&
           std::equal(std::begin(a.rgstate), std::end(a.rgstate), std::begin(b.rgstate));
}

bool LookOf(HWND wnd, int bar, SCROLLBARINFO& info) {
    info = SCROLLBARINFO{};
    info.cbSize = sizeof info;
    return GetScrollBarInfo(wnd, bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL, &info) != FALSE;
}

// Sets a bar's range, page and position unless it holds them already, and
// redraws it (under Wine a themed bar costs milliseconds) only when it
// looks different: a range that grows or shrinks under a thumb already at
// its smallest and at the top changes nothing on the screen.
void SetScrollInfoIfChanged(HWND wnd, int bar, const SCROLLINFO& wanted, bool redraw) {
    SCROLLINFO now{};
    now.cbSize = sizeof now;
    now.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (GetScrollInfo(wnd, bar, &now) && now.nMin == wanted.nMin && now.nMax == wanted.nMax &&
        now.nPage == wanted.nPage && now.nPos == wanted.nPos)
        return;
    SCROLLINFO info = wanted;
    SCROLLBARINFO before{};
    SCROLLBARINFO after{};
    if (!redraw || !LookOf(wnd, bar, before)) {
        SetScrollInfo(wnd, bar, &info, redraw);
        return;
    }
    SetScrollInfo(wnd, bar, &info, FALSE);
    if (LookOf(wnd, bar, after) && SameLook(before, after)) return;
    info = wanted;
    SetScrollInfo(wnd, bar, &info, TRUE);
}

} // namespace

void TGvScrollbarManager::ReCalculateScrollbars(bool Redraw, bool Force) {
    TCustomGvListview* lv = FOwnerListview;
    if (FRecalculating || !lv || !lv->HandleAllocated()) return;
    if (!Force && lv->GetUpdateCount() > 0) return;
    gcl::TFlagScope recalculating(FRecalculating);
    ValidateOffsets(FOffsetX, FOffsetY);
    HWND wnd = lv->GetHandle();
    const TRect client = ClientRectOf(lv);
    const int headerHeight = HeaderHeightOf(lv);
    const bool needHorz = ViewWidth() - 1 > client.Width() && GetSystemMetrics(SM_CYHSCROLL) < lv->GetHeight();
    const bool needVert =
        ViewHeight() + headerHeight - 1 > client.Height() && GetSystemMetrics(SM_CXVSCROLL) < lv->GetWidth();
    const bool hadHorz = HorzBarVisible();
    const bool hadVert = VertBarVisible();
    bool changed = false;
    if (!FVertEnabled) {
        if (hadVert) ShowScrollBar(wnd, SB_VERT, FALSE);
    } else if (hadVert != needVert) {
        if (needVert) {
            // The bar comes with its range and thumb already set, so that
            // showing it draws it once, as it is.
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            info.nMax = ViewHeight() + headerHeight - 1;
            info.nPage = static_cast<UINT>(std::max(client.Height(), 0));
            info.nPos = std::abs(FOffsetY);
            SetScrollInfo(wnd, SB_VERT, &info, FALSE);
        }
        ShowScrollBar(wnd, SB_VERT, needVert);
        changed = true;
    }
    if (!FHorzEnabled) {
        if (hadHorz) ShowScrollBar(wnd, SB_HORZ, FALSE);
    } else if (hadHorz != needHorz) {
        ShowScrollBar(wnd, SB_HORZ, needHorz);
        changed = true;
    }
    if (changed && lv->GetGroups()) lv->GetGroups()->Rebuild(true);
    const TRect after = ClientRectOf(lv);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (FVertEnabled && VertBarVisible()) {
        info.nMax = ViewHeight() + headerHeight - 1;
        info.nPage = static_cast<UINT>(std::max(after.Height(), 0));
        info.nPos = std::abs(FOffsetY);
    }
    SetScrollInfoIfChanged(wnd, SB_VERT, info, Redraw);
    info = SCROLLINFO{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (FHorzEnabled && HorzBarVisible()) {
        info.nMax = ViewWidth() - 1;
        info.nPage = static_cast<UINT>(std::max(after.Width(), 0));
        info.nPos = std::abs(FOffsetX);
    }
    SetScrollInfoIfChanged(wnd, SB_HORZ, info, Redraw);
    ValidateOffsets(FOffsetX, FOffsetY);
    if ((!hadHorz && HorzBarVisible()) || (!hadVert && VertBarVisible()))
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE);
}

} // namespace qelvo
