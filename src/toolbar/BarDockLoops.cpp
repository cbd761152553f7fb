// The drag loop that moves a bar within its dock, to another dock or into
// a floating window, and the size loop of a floating window's frame. Both
// capture the mouse and pump the thread's messages until the button goes
// up, Escape, a lost capture or WM_QUIT (which is posted again).
#include "toolbar/BarDock.h"

#include <algorithm>

namespace qelvo {

using gcl::TPoint;
using gcl::TRect;

// A dock a dragged bar may land in (a member of TDragState, which
// TBarDock's header names, so not file-local).
struct TBarDockTarget {
    TBarDock* Dock = nullptr;
    TRect DockRect;
    int BarWidth = 0;
    int BarHeight = 0;
    // Per row: the thickness in the low 16 bits, bit 16 a full-size row.
    std::vector<int> RowSizes;
};

namespace {

TRect ScreenRectOfControl(gcl::TWinControl* c) {
    RECT r{};
    GetWindowRect(c->GetHandle(), &r);
    return TRect{r.left, r.top, r.right, r.bottom};
}

bool RectsMeet(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

TPoint CursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return TPoint{p.x, p.y};
}

int Scale(int size, int offset, int startSize) {
    return startSize > 1 ? MulDiv(size - 1, offset, startSize - 1) : offset;
}

// Collects, depth first, the docks of a control that the bar may join.
void CollectDocks(gcl::TWinControl* control, TBarCustomDockableWindow* bar, std::vector<TBarDock*>& docks) {
    std::vector<gcl::TWinControl*> children;
    for (int i = 0; i < control->GetControlCount(); ++i)
        if (auto* w = dynamic_cast<gcl::TWinControl*>(control->GetControls(i)))
            if (w != bar && !bar->ContainsControl(w) && w->GetShowing()) children.push_back(w);
    for (TBarDockPosition pos : {dpTop, dpBottom, dpLeft, dpRight})
        for (gcl::TWinControl* w : children)
            if (auto* dock = dynamic_cast<TBarDock*>(w); dock && dock->GetPosition() == pos)
                CollectDocks(dock, bar, docks);
    for (gcl::TWinControl* w : children)
        if (!dynamic_cast<TBarDock*>(w)) CollectDocks(w, bar, docks);
    if (auto* dock = dynamic_cast<TBarDock*>(control))
        if (dock->GetAllowDragOf() && dock->AcceptsBar(bar) && bar->CanDockTo(dock) &&
            std::find(docks.begin(), docks.end(), dock) == docks.end())
            docks.push_back(dock);
}

// The next message of a drag or size loop: false when the loop must end
// because the capture went elsewhere or the application is quitting (Quit,
// with the code, to post again).
bool NextLoopMessage(HWND Capture, MSG& Msg, bool& Quit) {
    if (GetCapture() != Capture) return false;
    const BOOL got = GetMessageA(&Msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        Quit = got == 0;
        return false;
    }
    return true;
}

} // namespace

struct TDragState {
    std::vector<TBarDockTarget> Recs;   // the floating target first
    TRect StartRect;
    TPoint StartOffset;
    TPoint StartPoint;
    bool Ctrl = false;
    bool CannotFloat = false;
    TBarDock* StartDock = nullptr;
    bool StartLR = false;
    int StartRow = -1;
    bool MayMoveInRow = false;
    bool TestDocks = false;
    int Target = 0;   // index into Recs, -1 none
    TRect Outline;
    bool OutlineEmpty = true;
    HDC ScreenDC = nullptr;
    HCURSOR StartCursor = nullptr;
    TPoint LastPoint{INT32_MIN, INT32_MIN};
};

namespace {

void DrawOutline(TDragState& s, const TRect* newRect, bool newFloating, const TRect* oldRect, bool oldFloating,
                 TBarCustomDockableWindow* bar) {
    if (!s.ScreenDC) return;
    const TPoint fb = bar->GetFloatingBorderSize();
    const gcl::TSize ns = newFloating ? gcl::TSize{fb.X, fb.Y} : gcl::TSize{1, 1};
    const gcl::TSize os = oldFloating ? gcl::TSize{fb.X, fb.Y} : gcl::TSize{1, 1};
    DrawHalftoneInvertRect(s.ScreenDC, newRect, oldRect, ns, os);
}

} // namespace

void TBarCustomDockableWindow::ApplyMoveStep(TDragState& S, TPoint P, bool Final) {
    (void)Final;
    if (S.Target < 0 || S.OutlineEmpty) return;
    TBarDockTarget& rec = S.Recs[static_cast<size_t>(S.Target)];
    if (rec.Dock) {
        TBarDock* dock = rec.Dock;
        const bool lr = dock->IsLeftRight();
        POINT tl{S.Outline.Left, S.Outline.Top};
        ::ScreenToClient(dock->GetHandle(), &tl);
        TRect r{tl.x, tl.y, tl.x + S.Outline.Width(), tl.y + S.Outline.Height()};
        int row = FDockRow;
        bool newRow = false;
        if (!FMovingInRow) {
            const int centre = lr ? (r.Left + r.Right) / 2 : (r.Top + r.Bottom) / 2;
            int offset = 0;
            bool found = false;
            row = 0;
            for (size_t i = 0; i < rec.RowSizes.size(); ++i) {
                const int thickness = static_cast<int16_t>(rec.RowSizes[i] & 0xFFFF);
                if (thickness == 0) continue;
                const bool full = (rec.RowSizes[i] & 0x10000) || FFullSize;
                const int threshold = full ? thickness / 2 : thickness / 4;
                if (centre < offset + threshold) {
                    row = static_cast<int>(i);
                    newRow = true;
                    found = true;
                    break;
                }
                offset += thickness;
                if (!full && centre < offset - threshold) {
                    row = static_cast<int>(i);
                    found = true;
                    break;
                }
            }
            if (!found) {
                row = static_cast<int>(rec.RowSizes.size());
                newRow = true;
            }
            if (newRow) S.MayMoveInRow = false;
            // Moving inside the row once the pointer travelled along it.
            if (S.MayMoveInRow) {
                if (dock != S.StartDock || row != S.StartRow) {
                    S.MayMoveInRow = false;
                } else if (std::abs(lr ? P.Y - S.StartPoint.Y : P.X - S.StartPoint.X) >= 10) {
                    FMovingInRow = true;
                    S.MayMoveInRow = false;
                    ::SetCursor(LoadCursorA(nullptr, lr ? IDC_SIZENS : IDC_SIZEWE));
                }
            }
        }
        FDockRow = row;
        FDockPos = lr ? r.Top : r.Left;
        if (GetParent() != dock) SetParent(dock);
        if (!FSmoothDragging) dock->SetCommitNewPositions(true);
        FDragNewRow = newRow;
        dock->ArrangeToolbars();
        FDragNewRow = false;
    } else {
        FFloatingPosition = TPoint{S.Outline.Left, S.Outline.Top};
        if (!FFloating) SetFloating(true);
        SetFloatingPosition(FFloatingPosition);
        MoveOnScreen(true);
    }
    if (HandleAllocated()) UpdateWindow(GetHandle());
}

void TBarCustomDockableWindow::BeginMoving(int InitX, int InitY) {
    TDragState s;
    FDragging = true;
    FMovingInRow = false;
    const int oldRow = FDockRow;
    const int oldPos = FDockPos;
    if (FDocked) {
        FPushed = false;
        FCurrentDock->SetCommitNewPositions(true);
        FCurrentDock->ArrangeToolbars();
        s.StartDock = FCurrentDock;
        s.StartLR = FCurrentDock->IsLeftRight();
        s.StartRow = FDockRow;
        s.MayMoveInRow = FPushed;
    }
    FSmoothDragging = FSmoothDrag;
    // The window that holds the keyboard inside the bar: the bar hides while
    // it moves between docks and floating windows, which sends the keyboard
    // to the form.
    const HWND focusBefore = ::GetFocus();
    const bool heldFocus = focusBefore && HandleAllocated() &&
                           (focusBefore == GetHandle() || ::IsChild(GetHandle(), focusBefore));
    // An edit's caret and selection, which taking the keyboard back would
    // turn into all of its text selected.
    DWORD selStart = 0, selEnd = 0;
    const bool keepsSelection = heldFocus && (::SendMessageW(focusBefore, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL);
    if (keepsSelection)
        ::SendMessageW(focusBefore, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
    // A floating bar is held by its floating window's caption: the pointer's
    // place is taken inside that window, whose size the floating target's
    // outline has, so a press without a move leaves the window where it is.
    TBarFloatingWindowParent* floatingParent = dynamic_cast<TBarFloatingWindowParent*>(GetParent());
    s.StartRect = FFloating && floatingParent && floatingParent->HandleAllocated() ? ScreenRectOfControl(floatingParent)
                                                                                    : ScreenRectOfControl(this);
    POINT p{InitX, InitY};
    ::ClientToScreen(GetHandle(), &p);
    s.StartPoint = TPoint{p.x, p.y};
    s.StartOffset = TPoint{p.x - s.StartRect.Left, p.y - s.StartRect.Top};
    s.Ctrl = GetKeyState(VK_CONTROL) < 0;
    s.CannotFloat = FDockMode != dmCanFloat;
    s.StartCursor = ::GetCursor();

    // The candidate docks.
    std::vector<TBarDock*> docks;
    if (FDockMode == dmCannotFloatOrChangeDocks) {
        if (FDocked) docks.push_back(FCurrentDock);
    } else {
        if (FDocked && FCurrentDock->GetAllowDragOf() && CanDockTo(FCurrentDock)) docks.push_back(FCurrentDock);
        std::vector<gcl::TCustomForm*> forms;
        if (gcl::TCustomForm* f = ToolWindowParentForm()) forms.push_back(f);
        for (gcl::TCustomForm* f : FDockForms)
            if (std::find(forms.begin(), forms.end(), f) == forms.end()) forms.push_back(f);
        for (gcl::TCustomForm* f : forms)
            if (f->HandleAllocated()) CollectDocks(f, this, docks);
    }
    for (TBarDock* d : docks) d->CommitPositions();

    {
        TBarDockTarget floating;
        TPoint size;
        DoArrange(false, dtFloating, size, nullptr, true);
        const TPoint nc = FloatingNCSize();
        floating.BarWidth = size.X + nc.X;
        floating.BarHeight = size.Y + nc.Y;
        s.Recs.push_back(floating);
    }
    for (TBarDock* d : docks) {
        TBarDockTarget rec;
        rec.Dock = d;
        rec.DockRect = ScreenRectOfControl(d);
        if (d == FCurrentDock) {
            rec.BarWidth = GetWidth();
            rec.BarHeight = GetHeight();
        } else {
            TPoint size;
            DoArrange(false, d->IsLeftRight() ? dtLeftRight : dtTopBottom, size, d, false);
            const TPoint nc = DockedNCSize(d->IsLeftRight());
            rec.BarWidth = size.X + nc.X;
            rec.BarHeight = size.Y + nc.Y;
        }
        const int highest = d->GetHighestRow(true);
        for (int row = 0; row <= highest; ++row) {
            bool full = false;
            const int thickness = d->GetRowSize(row, full);
            rec.RowSizes.push_back((thickness & 0xFFFF) | (full ? 0x10000 : 0));
        }
        s.Recs.push_back(std::move(rec));
    }

    if (!FSmoothDrag) {
        LockWindowUpdate(GetDesktopWindow());
        s.ScreenDC = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    }
    ProcessPaintMessages();
    SetCapture(GetHandle());
    const HWND wnd = GetHandle();

    bool accepted = false;
    auto step = [&](TPoint P) {
        s.LastPoint = P;
        int target = -1;
        if (FMovingInRow) {
            for (size_t i = 1; i < s.Recs.size(); ++i)
                if (s.Recs[i].Dock == FCurrentDock) target = static_cast<int>(i);
        } else if (!s.Ctrl) {
            for (size_t i = s.Recs.size(); i-- > 1;) {
                TBarDockTarget& rec = s.Recs[i];
                if (!s.TestDocks && !(s.StartDock)) break;
                TRect d = rec.DockRect;
                d = TRect{d.Left - 3, d.Top - 3, d.Right + 3, d.Bottom + 3};
                const int sx = s.StartRect.Width() > 1 ? MulDiv(25, s.StartOffset.X, s.StartRect.Width() - 1) : 0;
                const int sy = s.StartRect.Height() > 1 ? MulDiv(25, s.StartOffset.Y, s.StartRect.Height() - 1) : 0;
                bool inside = P.X >= d.Left - (25 - sx) && P.X < d.Right + sx;
                if (rec.Dock->IsLeftRight()) inside = inside && P.Y >= d.Top && P.Y < d.Bottom;
                inside = inside && P.Y >= d.Top - (25 - sy) && P.Y < d.Bottom + sy;
                if (inside) {
                    const int ox = Scale(rec.BarWidth, s.StartOffset.X, s.StartRect.Width());
                    const int oy = Scale(rec.BarHeight, s.StartOffset.Y, s.StartRect.Height());
                    const TRect outline{P.X - ox, P.Y - oy, P.X - ox + rec.BarWidth, P.Y - oy + rec.BarHeight};
                    inside = RectsMeet(outline, d);
                }
                if (!inside) continue;
                bool accept = true;
                if (rec.Dock->OnRequestDock) rec.Dock->OnRequestDock(rec.Dock, this, accept);
                if (accept) {
                    target = static_cast<int>(i);
                    break;
                }
            }
        }
        const TRect oldOutline = s.Outline;
        const bool oldEmpty = s.OutlineEmpty;
        const bool oldFloating = s.Target == 0;
        if (target < 0) {
            target = 0;
            const TRect work = MonitorRectOfPoint(P, true);
            P.X = std::clamp(P.X, work.Left, work.Right - 1);
            P.Y = std::clamp(P.Y, work.Top, work.Bottom - 1);
        }
        s.Target = target;
        TBarDockTarget& rec = s.Recs[static_cast<size_t>(target)];
        const int ox = Scale(rec.BarWidth, s.StartOffset.X, s.StartRect.Width());
        const int oy = Scale(rec.BarHeight, s.StartOffset.Y, s.StartRect.Height());
        s.Outline = TRect{P.X - ox, P.Y - oy, P.X - ox + rec.BarWidth, P.Y - oy + rec.BarHeight};
        if (target == 0) {
            const TRect work = MonitorRectOfPoint(P, true);
            const TPoint fb = GetFloatingBorderSize();
            const TRect w{work.Left + fb.X + 4, work.Top + fb.Y + 4, work.Right - fb.X - 4, work.Bottom - fb.Y - 4};
            int dx = 0, dy = 0;
            if (s.Outline.Right <= w.Left) dx = w.Left - s.Outline.Right + 1;
            else if (s.Outline.Left >= w.Right) dx = w.Right - s.Outline.Left - 1;
            if (s.Outline.Bottom <= w.Top) dy = w.Top - s.Outline.Bottom + 1;
            else if (s.Outline.Top >= w.Bottom) dy = w.Bottom - s.Outline.Top - 1;
            TPoint tl, br;
            GetFloatingNCArea(tl, br);
            if (s.Outline.Top + dy + tl.Y < work.Top + 4) dy = work.Top + 4 - tl.Y - s.Outline.Top;
            s.Outline = TRect{s.Outline.Left + dx, s.Outline.Top + dy, s.Outline.Right + dx, s.Outline.Bottom + dy};
        }
        s.OutlineEmpty = s.CannotFloat && target == 0;
        if (s.OutlineEmpty) {
            ::SetCursor(LoadCursorA(nullptr, IDC_NO));
        } else if (FMovingInRow) {
            ::SetCursor(LoadCursorA(nullptr, s.StartLR ? IDC_SIZENS : IDC_SIZEWE));
        } else if (s.StartCursor) {
            ::SetCursor(s.StartCursor);
        }
        if (!FSmoothDrag) {
            DrawOutline(s, s.OutlineEmpty ? nullptr : &s.Outline, target == 0, oldEmpty ? nullptr : &oldOutline,
                        oldFloating, this);
        } else if (!s.OutlineEmpty) {
            ApplyMoveStep(s, P, false);
        }
    };

    s.TestDocks = FDocked;
    step(CursorPos());
    s.TestDocks = true;
    MSG msg{};
    bool quit = false;
    while (NextLoopMessage(wnd, msg, quit)) {
        if (msg.message == WM_LBUTTONUP) {
            accepted = true;
            break;
        }
        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK) break;
        if (msg.message >= WM_RBUTTONDOWN && msg.message <= WM_MBUTTONDBLCLK) continue;
        if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_CONTROL) {
            const bool ctrl = msg.message == WM_KEYDOWN;
            if (ctrl != s.Ctrl) {
                s.Ctrl = ctrl;
                step(CursorPos());
            }
            continue;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) break;
        if (msg.message == WM_MOUSEMOVE) {
            const TPoint pt = CursorPos();
            if (pt != s.LastPoint) step(pt);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (quit) PostQuitMessage(static_cast<int>(msg.wParam));

    if (GetCapture() == wnd) ReleaseCapture();
    if (!FSmoothDrag) {
        DrawOutline(s, nullptr, false, s.OutlineEmpty ? nullptr : &s.Outline, s.Target == 0, this);
        LockWindowUpdate(nullptr);
        if (s.ScreenDC) ReleaseDC(GetDesktopWindow(), s.ScreenDC);
    }
    FSmoothDragging = false;
    if (accepted && !s.OutlineEmpty && !FSmoothDrag) ApplyMoveStep(s, s.LastPoint, true);
    if (FUseLastDock && FCurrentDock) SetLastDock(FCurrentDock);
    if (FFloatParent && FFloatParent != GetParent()) {
        TBarFloatingWindowParent* fp = FFloatParent;
        FFloatParent = nullptr;
        fp->FDockableWindow = nullptr;
        fp->Free();
    }
    if (FFloating) {
        FDockRow = oldRow;
        FDockPos = oldPos;
    }
    FDragging = false;
    FMovingInRow = false;
    if (FDocked) FCurrentDock->ArrangeToolbars();
    // A bar that changed docks, or rows or places in its dock, moved the
    // others of the docks: windows that hold windows of their own (a panel
    // among the bars, the edit of a bar it passed over) are drawn anew
    // whole, as toolbars draw themselves.
    if (s.StartDock != (FDocked ? FCurrentDock : nullptr) || (FDocked && ScreenRectOfControl(this) != s.StartRect)) {
        for (TBarDock* d : {s.StartDock, FDocked ? FCurrentDock : nullptr})
            if (d && d->HandleAllocated())
                RedrawWindow(d->GetHandle(), nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    // A smooth drag leaves the floating window as large as the bar was
    // docked (a full-size bar spans its row): it takes the bar's own size.
    if (FFloating) Arrange();
    // What was typed into the bar goes on there.
    if (heldFocus && ::IsWindow(focusBefore) && ::GetFocus() != focusBefore && ::IsWindowVisible(focusBefore) &&
        ::IsWindowEnabled(focusBefore) && HandleAllocated() &&
        (focusBefore == GetHandle() || ::IsChild(GetHandle(), focusBefore))) {
        ::SetFocus(focusBefore);
        if (keepsSelection && ::GetFocus() == focusBefore) ::SendMessageW(focusBefore, EM_SETSEL, selStart, selEnd);
    }
}

// ---- The size loop ---------------------------------------------------------------------------

void TBarCustomDockableWindow::BeginSizing(TBarSizeHandle SizeHandle) {
    TBarFloatingWindowParent* fp = dynamic_cast<TBarFloatingWindowParent*>(GetParent());
    if (!fp) return;
    int minW = 0, minH = 0, maxW = 0, maxH = 0;
    GetMinMaxSize(minW, minH, maxW, maxH);
    const TPoint nc = FloatingNCSize();
    minW += nc.X;
    minH += nc.Y;
    if (maxW > 0) maxW += nc.X;
    if (maxH > 0) maxH += nc.Y;

    ResizeBegin(SizeHandle);
    HDC screenDC = nullptr;
    if (!FSmoothDrag) {
        LockWindowUpdate(GetDesktopWindow());
        screenDC = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    }
    const HWND wnd = fp->GetHandle();
    SetCapture(wnd);
    bool clipped = false;
    if (FSizeOptions.Contains(tbsoClipCursor) && !HasSeveralMonitors()) {
        const TRect m = PrimaryMonitorRect(false);
        RECT r{m.Left, m.Top, m.Right, m.Bottom};
        clipped = ClipCursor(&r) != FALSE;
    }
    const TRect orgRect = ScreenRectOfControl(fp);
    TRect rect = orgRect;
    const TPoint fb = GetFloatingBorderSize();
    const gcl::TSize frame{fb.X, fb.Y};
    if (screenDC) DrawHalftoneInvertRect(screenDC, &rect, nullptr, frame, frame);
    const TPoint start = CursorPos();
    TPoint last = start;

    const bool horz = SizeHandle != twshTop && SizeHandle != twshBottom;
    const bool vert = SizeHandle != twshLeft && SizeHandle != twshRight;
    const bool leftSide = SizeHandle == twshLeft || SizeHandle == twshTopLeft || SizeHandle == twshBottomLeft;
    const bool topSide = SizeHandle == twshTop || SizeHandle == twshTopLeft || SizeHandle == twshTopRight;

    auto apply = [&](const TRect& r) {
        ++FArrangeUpdateCount;
        ResizeTrackAccept();
        fp->SetBounds(r.Left, r.Top, r.Width(), r.Height());
        const TPoint ncNow = FloatingNCSize();
        inherited::SetBounds(0, 0, r.Width() - ncNow.X, r.Height() - ncNow.Y);
        EndUpdate();
        MoveOnScreen(true);
    };

    bool accepted = false;
    bool quit = false;
    MSG msg{};
    while (NextLoopMessage(wnd, msg, quit)) {
        if (msg.message == WM_LBUTTONUP) {
            accepted = true;
            break;
        }
        if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
            if (msg.wParam == VK_ESCAPE) break;
            continue;
        }
        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK) break;
        if (msg.message >= WM_RBUTTONDOWN && msg.message <= WM_MBUTTONDBLCLK) continue;
        if (msg.message == WM_MOUSEMOVE) {
            const TPoint p = CursorPos();
            if (p == last) continue;
            last = p;
            TRect r = orgRect;
            const int dx = p.X - start.X;
            const int dy = p.Y - start.Y;
            if (horz) {
                if (leftSide) r.Left += dx;
                else r.Right += dx;
            }
            if (vert) {
                if (topSide) r.Top += dy;
                else r.Bottom += dy;
            }
            auto fix = [](int& moving, int fixed, int size, bool movingIsLow) {
                if (movingIsLow) moving = fixed - size;
                else moving = fixed + size;
            };
            if (r.Width() < minW) fix(leftSide ? r.Left : r.Right, leftSide ? r.Right : r.Left, minW, leftSide);
            if (maxW > 0 && r.Width() > maxW) fix(leftSide ? r.Left : r.Right, leftSide ? r.Right : r.Left, maxW, leftSide);
            if (r.Height() < minH) fix(topSide ? r.Top : r.Bottom, topSide ? r.Bottom : r.Top, minH, topSide);
            if (maxH > 0 && r.Height() > maxH) fix(topSide ? r.Top : r.Bottom, topSide ? r.Bottom : r.Top, maxH, topSide);
            ResizeTrack(r, orgRect);
            if (FSmoothDrag) {
                if (r != rect) apply(r);
            } else if (screenDC) {
                DrawHalftoneInvertRect(screenDC, &r, &rect, frame, frame);
            }
            rect = r;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
    if (GetCapture() == wnd) ReleaseCapture();
    if (clipped) ClipCursor(nullptr);
    if (screenDC) {
        DrawHalftoneInvertRect(screenDC, nullptr, &rect, frame, frame);
        LockWindowUpdate(nullptr);
        ReleaseDC(GetDesktopWindow(), screenDC);
    }
    if (accepted && !FSmoothDrag && rect != orgRect) apply(rect);
    ResizeEnd();
}

} // namespace qelvo
