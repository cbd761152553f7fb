// The layout pass of a view: which viewers show, their sizes and places,
// wrapping and line separators, the chevron, same-width, centred,
// stretched and right-aligned items, vertical mirroring and the scroll
// bands of tall popups.
#include "toolbar/BarItem.h"

#include <memory>

#include "gcl/rtl/Scopes.h"

namespace qelvo {

using gcl::is;

using gcl::TPoint;
using gcl::TRect;

struct TBarView::TPosition {
    TRect Bounds;
    bool Show = false;
    bool OffEdge = false;
    bool LineSep = false;
    bool Clipped = false;
    bool SameWidth = false;
};

void TBarView::DoUpdatePositions(TPoint& Size) {
    int lines = 0;
    const bool changed =
        ComputeLayout(true, FOrientation, FWrapOffset, FChevronOffset, FChevronSize, FBaseSize, Size, lines);
    FValidated = true;
    if (changed) FLayoutMoved = true;
    if (!changed) {
        AutoSize(Size.X, Size.Y);
        return;
    }
    if (GetComponentState().Contains(gcl::csDesigning)) {
        InvalidatePositions();
        FValidated = true;
        AutoSize(Size.X, Size.Y);
        return;
    }
    HWND wnd = FWindow && FWindow->HandleAllocated() ? FWindow->GetHandle() : nullptr;
    if (wnd) ValidateRect(wnd, nullptr);
    // Painted whole in the window's next paint: the size below erases
    // nothing on the screen meanwhile.
    const bool inCycle = FWholePaintInCycle && !FDeferPaint && wnd && IsWindowVisible(wnd);
    if (inCycle) FWholePaintPending = true;
    {
        gcl::TFlagScope sizing(FSizingBeforePaint);
        AutoSize(Size.X, Size.Y);
    }
    if (FDeferPaint) {
        if (wnd) InvalidateRect(wnd, nullptr, TRUE);
        return;
    }
    if (inCycle) {
        InvalidateRect(wnd, nullptr, FALSE);
        return;
    }
    if (!wnd || !IsWindowVisible(wnd)) return;
    RECT client;
    GetClientRect(wnd, &client);
    if (client.right < 1 || client.bottom < 1) return;
    // The whole window at once through one bitmap: no flicker.
    HDC dc = GetDC(wnd);
    {
        const gcl::TPaintBuffer buffer(dc, client.right, client.bottom);
        HDC memDC = buffer.GetDC();
        SendMessageA(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC), 0);
        SendMessageA(wnd, WM_PAINT, reinterpret_cast<WPARAM>(memDC), 0);
        BitBlt(dc, 0, 0, client.right, client.bottom, memDC, 0, 0, SRCCOPY);
    }
    ReleaseDC(wnd, dc);
    ValidateRect(wnd, nullptr);
}

bool TBarView::ComputeLayout(bool CanMoveControls, TBarViewOrientation AOrientation, int AWrapOffset,
                             int AChevronOffset, int AChevronSize, TPoint& BaseSize, TPoint& TotalSize,
                             int& WrappedLines) {
    gcl::TValueScope<TBarViewOrientation> orientation(FOrientation, AOrientation);
    const int n = GetViewerCount();
    std::vector<TPosition> pos(static_cast<size_t>(n));
    std::vector<TPoint> size(static_cast<size_t>(n));
    const bool vertical = AOrientation == tbvoVertical;
    const bool designing = GetComponentState().Contains(gcl::csDesigning);
    TBarCustomItem* chevronItem = GetChevronItem();
    auto viewer = [&](int i) { return FViewers[static_cast<size_t>(i)]; };
    auto isSep = [&](int i) { return viewer(i)->GetItem()->HasStyle(tbisSeparator); };
    auto controlOf = [&](int i) -> gcl::TControl* {
        auto* item = dynamic_cast<TBarControlItem*>(viewer(i)->GetItem());
        return item ? item->GetControl() : nullptr;
    };
    auto isControlItem = [&](int i) { return is<TBarControlItem>(viewer(i)->GetItem()); };
    auto along = [&](int i) { return vertical ? size[size_t(i)].Y : size[size_t(i)].X; };
    auto across = [&](int i) { return vertical ? size[size_t(i)].X : size[size_t(i)].Y; };
    auto P = [&](int i) -> TPosition& { return pos[static_cast<size_t>(i)]; };

    // 1. Which viewers show.
    WrappedLines = 1;
    bool prevSep = true;
    for (int i = 0; i < n; ++i) {
        TBarCustomItem* item = viewer(i)->GetItem();
        if (chevronItem && item == chevronItem) continue;
        const bool control = isControlItem(i);
        if (FChevronParentView) {
            if (control) continue;
            const int pi = i + FChevronParentView->FLeadingExtraViewers;
            const bool parentOffEdge =
                pi >= 0 && pi < FChevronParentView->GetViewerCount() && FChevronParentView->GetViewers(pi)->OffEdge;
            if (!parentOffEdge && !isSep(i)) continue;
        }
        if (control) {
            gcl::TControl* c = controlOf(i);
            P(i).Show = c && c->GetParent() == FWindow && (c->GetVisible() || designing);
            prevSep = false;
        } else if (!(item->HasStyle(tbisEmbeddedGroup) && !FCustomizing)) {
            if (item->GetVisible()) {
                const bool sep = isSep(i);
                P(i).Show = !(sep && prevSep);
                prevSep = sep;
            }
        }
    }
    auto hideEndSeparators = [&]() {
        for (int i = n - 1; i >= 0; --i) {
            if (!P(i).Show) continue;
            if (!isSep(i)) break;
            P(i).Show = false;
        }
    };
    hideEndSeparators();

    // 2. Sizes.
    gcl::TMemoryCanvas canvas;
    if (gcl::TFont* font = GetFont()) canvas.GetFont()->Assign(font);
    int sameWidth = 0;
    for (int i = 0; i < n; ++i) {
        if (!P(i).Show) continue;
        if (isControlItem(i)) {
            gcl::TControl* c = controlOf(i);
            size[size_t(i)] = {c->GetWidth(), c->GetHeight()};
            continue;
        }
        TBarCustomItem* item = viewer(i)->GetItem();
        const bool bold = item->GetEffectiveOptions().Contains(tboDefault);
        gcl::TFontStyles styles = canvas.GetFont()->GetStyle();
        if (bold) canvas.GetFont()->SetStyle(styles | gcl::TFontStyles{gcl::fsBold});
        TBarItemViewer* measure = viewer(i);
        TBarItemViewer* temporary = nullptr;
        if (item->NeedToRecreateViewer(measure)) {
            if (CanMoveControls) {
                RenewViewer(i);
                measure = viewer(i);
            } else {
                temporary = item->GetItemViewerClass(this)->Create(this, item, measure->GetGroupLevel());
                measure = temporary;
            }
        }
        int w = 0, h = 0;
        measure->CalcSize(&canvas, w, h);
        if (measure->UsesSameWidth()) {
            P(i).SameWidth = true;
            sameWidth = gcl::Max(sameWidth, w);
        }
        gcl::Free(temporary);
        if (bold) canvas.GetFont()->SetStyle(styles);
        size[size_t(i)] = {w, h};
    }

    // 3. Same-width items, the base length.
    int total = 0;
    for (int i = 0; i < n; ++i) {
        if (!P(i).Show) continue;
        if (P(i).SameWidth && size[size_t(i)].X < sameWidth) size[size_t(i)].X = sameWidth;
        total += along(i);
    }
    BaseSize = vertical ? TPoint{0, total} : TPoint{total, 0};

    // 4. The chevron: items give way, last in priority first.
    const bool chevronNeeded = chevronItem && AChevronOffset > 0 && total > AChevronOffset;
    const int limit = AChevronOffset - AChevronSize;
    bool hiddenNonControl = false;
    if (chevronNeeded) {
        while (total > limit) {
            int shownItems = 0, last = -1;
            for (int i = 0; i < n; ++i)
                if (P(i).Show) {
                    last = i;
                    if (!isSep(i)) ++shownItems;
                }
            if (shownItems < 2) break;
            if (isSep(last)) {
                P(last).Show = false;
                total -= along(last);
            } else {
                int victim = -1;
                if (FUsePriorityList && !FPriorityList.empty()) {
                    for (auto it = FPriorityList.rbegin(); it != FPriorityList.rend() && victim < 0; ++it) {
                        int i = IndexOf(*it);
                        if (i >= 0 && P(i).Show && !isSep(i)) victim = i;
                    }
                }
                for (int i = n - 1; i >= 0 && victim < 0; --i)
                    if (P(i).Show && !isSep(i)) victim = i;
                if (victim < 0) break;
                P(victim).Show = false;
                P(victim).OffEdge = true;
                total -= along(victim);
                if (!isControlItem(victim)) hiddenNonControl = true;
            }
            bool sepBefore = true;
            for (int i = 0; i < n; ++i) {
                if (!P(i).Show) continue;
                if (isSep(i) && sepBefore) {
                    P(i).Show = false;
                    total -= along(i);
                    continue;
                }
                sepBefore = isSep(i);
            }
        }
    }

    // 5. Separators at the end once more; the base size across.
    hideEndSeparators();
    int acrossMax = 0;
    for (int i = 0; i < n; ++i)
        if (P(i).Show) acrossMax = gcl::Max(acrossMax, across(i));
    if (vertical) BaseSize.X = acrossMax;
    else BaseSize.Y = acrossMax;

    // 6. Placement.
    TRect margins;
    GetMargins(AOrientation, margins);
    TPoint cursor{margins.Left, margins.Top};
    TPoint tot = TotalSize;
    bool prevToolbarStyle = FIsToolbar;
    bool wrapped = false;
    bool overflowBreak = false;
    bool newLine = true;
    int lineStart = 0, lineW = 0, lineH = 0;

    auto finishLine = [&](int first, int last, bool final) {
        if (wrapped && !FChevronParentView) {
            if (AOrientation == tbvoHorizontal) tot.X = gcl::Max(tot.X, AWrapOffset);
            else if (vertical) tot.Y = gcl::Max(tot.Y, AWrapOffset);
        }
        int lineWidth = lineW, lineHeight = lineH;
        if (FIsToolbar && final && !wrapped && AOrientation != tbvoFloating) {
            lineWidth = tot.X;
            lineHeight = tot.Y;
        }
        int rightAlign = -1, lastShown = -1;
        for (int i = first; i <= last; ++i) {
            if (!P(i).Show) continue;
            lastShown = i;
            TBarCustomItem* item = viewer(i)->GetItem();
            if (rightAlign < 0 && item->HasStyle(tbisRightAlign)) rightAlign = i;
            TRect& r = P(i).Bounds;
            if (FIsToolbar) {
                if (item->HasStyle(tbisSeparator | tbisStretch)) {
                    if (vertical) r.Right = r.Left + lineWidth;
                    else r.Bottom = r.Top + lineHeight;
                } else if (vertical) {
                    gcl::OffsetRect(r, (lineWidth - r.Width()) / 2, 0);
                } else {
                    gcl::OffsetRect(r, 0, (lineHeight - r.Height()) / 2);
                }
            } else if (!item->GetEffectiveOptions().Contains(tboToolbarSize)) {
                r.Right = r.Left + lineWidth;
            }
        }
        if (rightAlign >= 0 && lastShown >= 0) {
            const int gap = vertical ? gcl::Min(AWrapOffset, tot.Y) - P(lastShown).Bounds.Bottom
                                     : gcl::Min(AWrapOffset, tot.X) - P(lastShown).Bounds.Right;
            if (gap >= 1)
                for (int i = rightAlign; i <= last; ++i)
                    if (P(i).Show) gcl::OffsetRect(P(i).Bounds, vertical ? 0 : gap, vertical ? gap : 0);
        }
    };

    int lastShownOverall = -1;
    for (int i = 0; i < n; ++i) {
        if (!P(i).Show) continue;
        lastShownOverall = i;
        TBarCustomItem* item = viewer(i)->GetItem();
        const bool toolbarStyle = FIsToolbar || item->GetEffectiveOptions().Contains(tboToolbarSize);
        if (!toolbarStyle && prevToolbarStyle) cursor = {margins.Left, tot.Y};
        prevToolbarStyle = toolbarStyle;

        if (newLine) {
            lineStart = i;
            lineW = lineH = 0;
            newLine = false;
        }
        bool placed = false;
        const int alongCursor = vertical ? cursor.Y : cursor.X;
        if (AWrapOffset > 0 && alongCursor > 0) {
            const int end = alongCursor + along(i);
            if (isSep(i)) {
                bool stays = false;
                if (!(overflowBreak && !item->HasStyle(tbisNoLineBreak))) {
                    int e = end;
                    for (int j = i + 1; j < n; ++j) {
                        if (!P(j).Show) continue;
                        if (isSep(j)) break;
                        e += along(j);
                    }
                    stays = e <= AWrapOffset;
                }
                if (!stays) {
                    wrapped = true;
                    ++WrappedLines;
                    finishLine(lineStart, i - 1, false);
                    if (vertical) {
                        cursor.Y = 0;
                        cursor.X += lineW;
                    } else {
                        cursor.X = 0;
                        cursor.Y += lineH;
                    }
                    P(i).LineSep = true;
                    P(i).Bounds = gcl::Bounds(gcl::Max(0, cursor.X), gcl::Max(0, cursor.Y), vertical ? 6 : 0,
                                              vertical ? 0 : 6);
                    if (vertical) {
                        cursor.Y = margins.Top;
                        cursor.X += 6;
                    } else {
                        cursor.X = margins.Left;
                        cursor.Y += 6;
                    }
                    overflowBreak = false;
                    newLine = true;
                    placed = true;
                }
            } else if (end > AWrapOffset) {
                wrapped = true;
                ++WrappedLines;
                finishLine(lineStart, i - 1, false);
                if (vertical) {
                    cursor.Y = margins.Top;
                    cursor.X += lineW;
                } else {
                    cursor.X = margins.Left;
                    cursor.Y += lineH;
                }
                overflowBreak = true;
                lineStart = i;
                lineW = lineH = 0;
            }
        }
        if (!placed) {
            lineW = gcl::Max(lineW, size[size_t(i)].X);
            lineH = gcl::Max(lineH, size[size_t(i)].Y);
            P(i).Bounds = gcl::Bounds(gcl::Max(0, cursor.X), gcl::Max(0, cursor.Y), size[size_t(i)].X,
                                      size[size_t(i)].Y);
            if (!toolbarStyle || vertical) cursor.Y += size[size_t(i)].Y;
            else cursor.X += size[size_t(i)].X;
        }
        tot.X = gcl::Max(tot.X, P(i).Bounds.Right);
        tot.Y = gcl::Max(tot.Y, P(i).Bounds.Bottom);
    }
    if (lastShownOverall >= 0 && !newLine) finishLine(lineStart, lastShownOverall, true);
    tot.X += margins.Right;
    tot.Y += margins.Bottom;

    // 7. A vertical bar's first column is at the right.
    if (vertical)
        for (int i = 0; i < n; ++i)
            if (P(i).Show) {
                TRect& r = P(i).Bounds;
                const int left = r.Left;
                r.Left = tot.X - r.Right;
                r.Right = tot.X - left;
            }

    // 8. Tall popups scroll between 19-pixel arrow bands.
    bool showUp = false, showDown = false;
    int scrollOffset = FScrollOffset;
    if (FMaxHeight >= 1 && FMaxHeight < tot.Y) {
        const int excess = tot.Y - FMaxHeight;
        scrollOffset = gcl::Max(0, gcl::Min(scrollOffset, excess));
        showUp = scrollOffset > 0;
        showDown = excess > scrollOffset;
        const int top = showUp ? ScrollArrowHeight : 0;
        const int bottom = showDown ? FMaxHeight - ScrollArrowHeight : FMaxHeight;
        for (int i = 0; i < n; ++i) {
            TPosition& p = P(i);
            if (!gcl::IsRectEmpty(p.Bounds)) gcl::OffsetRect(p.Bounds, 0, -scrollOffset);
            if (p.Show && (p.Bounds.Top < top || p.Bounds.Bottom > bottom)) {
                p.Show = false;
                p.Clipped = true;
            }
        }
        tot.Y = FMaxHeight;
    } else {
        scrollOffset = 0;
    }
    if (CanMoveControls) {
        FShowUpArrow = showUp;
        FShowDownArrow = showDown;
        FScrollOffset = scrollOffset;
    }

    // 9. Hosted controls follow their items.
    if (CanMoveControls) {
        for (int i = 0; i < n; ++i) {
            gcl::TControl* c = isControlItem(i) ? controlOf(i) : nullptr;
            if (!c) continue;
            const TRect& r = P(i).Bounds;
            if (P(i).Show) {
                if (c->GetBoundsRect() != r) c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
            } else if ((P(i).OffEdge || P(i).Clipped) && FWindow) {
                c->SetBounds(FWindow->GetClientWidth(), FWindow->GetClientHeight(), c->GetWidth(), c->GetHeight());
            }
        }
    }

    // 10. Line separators of a toolbar run across the whole bar.
    if (FIsToolbar)
        for (int i = 0; i < n; ++i)
            if (P(i).Show && P(i).LineSep && isSep(i)) {
                if (vertical) P(i).Bounds.Bottom = tot.Y;
                else P(i).Bounds.Right = tot.X;
            }

    // 11. The chevron button at the end of the room left for items. The one
    // item the chevron never takes may be longer than that room (a caption
    // that grew): it gives its end to the chevron, which would otherwise lie
    // past the room, where the bar is cut off, with the hidden items out of
    // reach.
    if (chevronNeeded) {
        auto from = [&](TPosition& p) -> int& { return vertical ? p.Bounds.Top : p.Bounds.Left; };
        auto to = [&](TPosition& p) -> int& { return vertical ? p.Bounds.Bottom : p.Bounds.Right; };
        auto clippable = [&](int i) {
            return P(i).Show && !isControlItem(i) && viewer(i)->GetItem() != chevronItem;
        };
        bool overlong = false;
        for (int i = 0; i < n; ++i)
            if (clippable(i) && to(P(i)) > limit) overlong = true;
        int& end = vertical ? tot.Y : tot.X;
        int at = gcl::Max(limit, end);
        if (overlong) {
            for (int i = 0; i < n; ++i) {
                if (!clippable(i)) continue;
                TPosition& p = P(i);
                if (from(p) >= limit) {
                    p.Show = false;
                    p.OffEdge = true;
                    hiddenNonControl = true;
                } else if (to(p) > limit) {
                    to(p) = limit;
                }
            }
            at = limit;
            end = AChevronOffset;
        }
        if (CanMoveControls) chevronItem->SetEnabled(hiddenNonControl);
        for (int i = n - 1; i >= 0; --i)
            if (viewer(i)->GetItem() == chevronItem) {
                P(i).Show = true;
                P(i).Bounds =
                    vertical ? gcl::Bounds(0, at, tot.X, AChevronSize) : gcl::Bounds(at, 0, AChevronSize, tot.Y);
                break;
            }
    }

    TotalSize = tot;
    // 12. Into the viewers.
    bool changed = false;
    if (CanMoveControls) {
        for (int i = 0; i < n; ++i) {
            TBarItemViewer* v = viewer(i);
            const TPosition& p = P(i);
            if (v->BoundsRect != p.Bounds || v->Show != p.Show || v->IsLineSep() != p.LineSep) changed = true;
            v->BoundsRect = p.Bounds;
            v->Show = p.Show;
            v->OffEdge = p.OffEdge;
            v->Clipped = p.Clipped;
            if (p.LineSep) v->State |= tbvsLineSep;
            else v->State &= static_cast<uint8_t>(~tbvsLineSep);
        }
    }
    return changed;
}

} // namespace qelvo
