// Dockable panels and the multi-dock: sharing a side's length, the
// panel's sizes, frame, caption, hit codes and cursors, the border and
// splitter loops, theme changes, colours and position data.
#include "theming/TxDockPanels.h"

#include <algorithm>
#include <cmath>

#include "gcl/Forms.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "theming/TxBars.h"

namespace qelvo {

using gcl::TPoint;

namespace {

int CaptionHeight() { return GetSystemMetrics(SM_CYSMCAPTION); }

// Repaints a window's frame, where a docked panel shows its caption, and
// leaves its client area alone: nothing there shows the caption, and a
// panel's client can be large.
void RedrawFrame(HWND wnd) {
    RECT window{}, client{};
    GetWindowRect(wnd, &window);
    GetClientRect(wnd, &client);
    POINT origin{0, 0};
    ClientToScreen(wnd, &origin);
    OffsetRect(&window, -origin.x, -origin.y);
    HRGN frame = CreateRectRgnIndirect(&window);
    HRGN inside = CreateRectRgnIndirect(&client);
    if (CombineRgn(frame, frame, inside, RGN_DIFF) != NULLREGION)
        RedrawWindow(wnd, nullptr, frame, RDW_FRAME | RDW_INVALIDATE);
    DeleteObject(inside);
    DeleteObject(frame);
}

// A point of a non-client mouse message.
TPoint MessagePoint(LPARAM LParam) {
    return TPoint{static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
}

// The next message of a border or splitter loop: false when the capture
// went elsewhere or the application is quitting (the quit is posted again).
bool NextMessage(HWND Capture, MSG& Msg) {
    if (GetCapture() != Capture) return false;
    const BOOL got = GetMessageA(&Msg, nullptr, 0, 0);
    if (got == 0) {
        PostQuitMessage(static_cast<int>(Msg.wParam));
        return false;
    }
    return got != -1;
}

// The pointer of a mouse message (client coordinates of its window) on
// the screen.
POINT MessageScreenPoint(const MSG& Msg) {
    POINT p{static_cast<short>(LOWORD(Msg.lParam)), static_cast<short>(HIWORD(Msg.lParam))};
    ClientToScreen(Msg.hwnd, &p);
    return p;
}

// An inverted band on the screen (the outline of a resize or split).
void InvertBand(const gcl::TRect& R) {
    HDC dc = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    if (!dc) dc = GetDC(nullptr);
    PatBlt(dc, R.Left, R.Top, R.Width(), R.Height(), DSTINVERT);
    ReleaseDC(nullptr, dc);
}

} // namespace

// ==== Sharing a length ==========================================================================

void DistributeSplitSizes(std::vector<TTxSplitEntry>& Entries, int Available) {
    if (Entries.empty()) return;
    int total = 0, minSum = 0, maxSum = 0;
    for (const TTxSplitEntry& e : Entries) {
        total += e.Size;
        minSum += e.Min;
        maxSum += e.Max;
    }
    if (total == Available) return;
    if (minSum >= Available) {
        for (TTxSplitEntry& e : Entries) e.Size = e.Min;
        return;
    }
    if (maxSum <= Available) {
        for (TTxSplitEntry& e : Entries) e.Size = e.Max;
        return;
    }
    int delta = Available - total;
    while (delta != 0) {
        std::vector<TTxSplitEntry*> movable;
        for (TTxSplitEntry& e : Entries)
            if (delta > 0 ? e.Size < e.Max : e.Size > e.Min) movable.push_back(&e);
        if (movable.empty()) break;
        const int n = static_cast<int>(movable.size());
        int given = 0;
        int used = 0;
        for (int k = 0; k < n; ++k) {
            const int upTo = static_cast<int>(std::nearbyint(static_cast<double>(delta) * (k + 1) / n));
            const int share = upTo - given;
            given = upTo;
            TTxSplitEntry& e = *movable[static_cast<size_t>(k)];
            const int wanted = std::clamp(e.Size + share, e.Min, e.Max);
            used += wanted - e.Size;
            e.Size = wanted;
        }
        if (used == 0) break;
        delta -= used;
    }
}

void DragSplitter(std::vector<TTxSplitEntry>& Entries, const std::vector<int>& Old, int Splitter, int Delta) {
    const int n = static_cast<int>(Entries.size());
    for (int i = 0; i < n; ++i) Entries[static_cast<size_t>(i)].Size = Old[static_cast<size_t>(i)];
    // The entries on one side take Amount from the nearest on; the part
    // they took.
    auto absorb = [&](int from, int to, int step, int amount) {
        int applied = 0;
        for (int i = from; i != to && amount - applied != 0; i += step) {
            TTxSplitEntry& e = Entries[static_cast<size_t>(i)];
            const int wanted = std::clamp(e.Size + (amount - applied), e.Min, e.Max);
            applied += wanted - e.Size;
            e.Size = wanted;
        }
        return applied;
    };
    const int before = absorb(Splitter, -1, -1, Delta);
    const int after = absorb(Splitter + 1, n, 1, -before);
    if (after != -before) {
        for (int i = 0; i <= Splitter; ++i) Entries[static_cast<size_t>(i)].Size = Old[static_cast<size_t>(i)];
        absorb(Splitter, -1, -1, -after);
    }
}

namespace {

// A panel's limits along a multi-dock's length (no maximum: the whole
// length, never below the minimum).
TTxSplitEntry SplitEntryOf(TTxCustomDockablePanel* Panel, bool Vertical, int Available) {
    int minW, minH, maxW, maxH;
    Panel->ConstrainedResize(minW, minH, maxW, maxH);
    TTxSplitEntry e;
    e.Min = Vertical ? minH : minW;
    e.Max = Vertical ? maxH : maxW;
    if (e.Max < e.Min) e.Max = Available;
    if (e.Max < e.Min) e.Max = e.Min;
    return e;
}

} // namespace

// ==== The multi-dock ===========================================================================

GCL_IMPLEMENT_CLASS(TTxMultiDock)

bool TTxMultiDock::AcceptsBar(TBarCustomDockableWindow* Bar) {
    return dynamic_cast<TTxCustomDockablePanel*>(Bar) != nullptr;
}

int TTxMultiDock::AvailableLength() {
    int available = std::max(0, IsLeftRight() ? GetHeight() - GetNonClientHeight() : GetWidth() - GetNonClientWidth());
    if (IsDesigning(this)) available = std::max(0, available - 16);
    return available;
}

void TTxMultiDock::ArrangeToolbars() {
    if (FArranging || DeferArrange()) return;
    gcl::TFlagScope arranging(FArranging);
    const bool vertical = IsLeftRight();
    const int available = AvailableLength();
    DropDestroyedBars();

    // One row, ordered by position (a dragged panel keeps its place).
    std::vector<TTxCustomDockablePanel*> panels;
    for (TBarCustomDockableWindow* bar : GetDockList()) {
        bar->SetDockRow(0);
        if (auto* panel = dynamic_cast<TTxCustomDockablePanel*>(bar); panel && LiesVisible(bar))
            panels.push_back(panel);
    }
    const bool loading = IsLoading(this);
    std::stable_sort(panels.begin(), panels.end(), [loading](TTxCustomDockablePanel* a, TTxCustomDockablePanel* b) {
        if (a->GetDragging() || b->GetDragging()) return false;
        int pa = a->GetDockPos(), pb = b->GetDockPos();
        if (loading) {
            if (pa < 0) pa = INT32_MAX;
            if (pb < 0) pb = INT32_MAX;
        }
        return pa < pb;
    });

    std::vector<TTxSplitEntry> entries;
    for (TTxCustomDockablePanel* panel : panels) {
        TTxSplitEntry e = SplitEntryOf(panel, vertical, available);
        e.Size = std::clamp(vertical ? panel->GetSplitHeight() : panel->GetSplitWidth(), e.Min, e.Max);
        entries.push_back(e);
    }
    DistributeSplitSizes(entries, available);

    // Positions, and the order the dock keeps.
    std::vector<int> positions;
    int running = 0;
    bool dragged = false;
    for (size_t i = 0; i < panels.size(); ++i) {
        positions.push_back(running);
        panels[i]->SetEffectivePosition(0, running);
        dragged = dragged || panels[i]->GetDragging();
        running += entries[i].Size;
    }
    if (dragged || GetCommitNewPositions()) {
        for (size_t i = 0; i < panels.size(); ++i) {
            panels[i]->SetDockPos(positions[i]);
            panels[i]->SetDockRow(0);
        }
        SetDockListOrder(std::vector<TBarCustomDockableWindow*>(panels.begin(), panels.end()));
    }
    FOrder = panels;

    if (panels.empty()) {
        const int empty = IsDesigning(this) ? 7 : (GetFixAlign() ? 1 : 0);
        // A client-filling dock keeps the size its parent gives it.
        if (GetAlign() != gcl::alClient)
            ChangeWidthHeight(vertical ? empty : GetWidth(), vertical ? GetHeight() : empty);
        return;
    }

    // The thickness across the dock.
    int thickness = 0;
    TTxCustomDockablePanel* resizing = nullptr;
    for (TTxCustomDockablePanel* panel : panels)
        if (panel->GetDockedResizing()) resizing = panel;
    if (resizing) {
        thickness = vertical ? resizing->GetWidth() : resizing->GetHeight();
        int largestMin = 0;
        int smallestMax = INT32_MAX;
        for (TTxCustomDockablePanel* panel : panels) {
            int minW, minH, maxW, maxH;
            panel->ConstrainedResize(minW, minH, maxW, maxH);
            const int mn = vertical ? minW : minH;
            const int mx = vertical ? maxW : maxH;
            largestMin = std::max(largestMin, mn);
            if (mx > 0 && mx >= mn) smallestMax = std::min(smallestMax, mx);
        }
        thickness = std::min(std::max(thickness, largestMin), smallestMax);
    } else {
        for (TTxCustomDockablePanel* panel : panels) {
            const TPoint base = panel->BaseSizeFor(this);
            const TPoint nc = panel->DockedNCSizeFor(vertical);
            thickness = std::max(thickness, vertical ? base.X + nc.X : base.Y + nc.Y);
        }
    }
    if (thickness > 0) FThickness = thickness;

    for (size_t i = 0; i < panels.size(); ++i) {
        TTxCustomDockablePanel* panel = panels[i];
        if (vertical) panel->SetBounds(0, positions[i], thickness, entries[i].Size);
        else panel->SetBounds(positions[i], 0, entries[i].Size, thickness);
    }
    if (GetAlign() == gcl::alClient) return;
    if (vertical) ChangeWidthHeight(GetNonClientWidth() + thickness, GetHeight());
    else ChangeWidthHeight(GetWidth(), GetNonClientHeight() + thickness);
}

void TTxMultiDock::Paint() {
    if (!IsDesigning(this)) return;
    gcl::TCanvas* canvas = GetCanvas();
    canvas->GetPen()->SetStyle(gcl::psSolid);
    canvas->GetPen()->SetColor(gcl::SysColor(20));
    canvas->GetBrush()->SetColor(gcl::SysColor(20));
    canvas->GetBrush()->SetStyle(gcl::bsFDiagonal);
    canvas->Rectangle(GetClientRect());
}

void TTxMultiDock::ValidateInsert(gcl::TControl* Control) {
    if (Control && !dynamic_cast<TTxCustomDockablePanel*>(Control))
        throw gcl::EInvalidOperation(gcl::Format(SMultiDockInsertError, {std::string(Control->ClassName())}));
}

void TTxMultiDock::Dispatch(gcl::TMessage& Message) {
    if (Message.Msg == gcl::CM_CONTROLLISTCHANGE && Message.LParam != 0)
        ValidateInsert(reinterpret_cast<gcl::TControl*>(Message.WParam));
    if (Message.Msg == WM_SIZE && !FArranging) {
        inherited::Dispatch(Message);
        ArrangeToolbars();
        return;
    }
    inherited::Dispatch(Message);
}

// ==== The dockable panel =======================================================================

GCL_PUBLISHED(TTxCustomDockablePanel,
    GCL_PROP(BorderSize).Default(0),
    GCL_PROP(CaptionRotation).Default(dpcrAuto),
    GCL_PROP(DockedWidth).Default(128),
    GCL_PROP(DockedHeight).Default(128),
    GCL_PROP(FloatingWidth).Default(0),
    GCL_PROP(FloatingHeight).Default(0),
    GCL_PROP(MinClientWidth).Default(32),
    GCL_PROP(MinClientHeight).Default(32),
    GCL_PROP(MaxClientWidth).Default(0),
    GCL_PROP(MaxClientHeight).Default(0),
    GCL_PROP(SmoothDockedResize).Default(true),
    GCL_PROP(ShowCaptionWhenDocked).Default(true),
    GCL_PROP(SplitHeight).Default(0),
    GCL_PROP(SplitWidth).Default(0))

GCL_IMPLEMENT_CLASS(TTxDockablePanel)

TTxCustomDockablePanel::TTxCustomDockablePanel(gcl::TComponent* AOwner) : TBarCustomDockableWindow(AOwner) {}

void TTxCustomDockablePanel::AfterConstruction() {
    inherited::AfterConstruction();
    SetCloseButtonWhenDocked(true);
    SetFullSize(true);
    SetColor(clNone);
    SetBounds(GetLeft(), GetTop(), 128, 128);
    AddThemeListener(this);
    UpdateEffectiveColor();
}

void TTxCustomDockablePanel::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    inherited::BeforeDestruction();
}

gcl::TMetaClass const* TTxCustomDockablePanel::GetFloatingWindowParentClass() {
    return TTxFloatingWindowParent::StaticClass();
}

TTxMultiDock* TTxCustomDockablePanel::CurrentMultiDock() {
    return GetDocked() ? dynamic_cast<TTxMultiDock*>(GetCurrentDock()) : nullptr;
}

bool TTxCustomDockablePanel::DockedLeftRight() { return GetDocked() && GetCurrentDock()->IsLeftRight(); }
bool TTxCustomDockablePanel::DockedTopBottom() { return GetDocked() && !GetCurrentDock()->IsLeftRight(); }

uint32_t TTxCustomDockablePanel::ViewType() {
    uint32_t viewType = GetFloating() ? VT_DOCKPANEL | VT_FLOATING : VT_DOCKPANEL;
    if (GetResizable()) viewType |= VT_SIZABLE;
    return viewType;
}

gcl::TPoint TTxCustomDockablePanel::GetFloatingBorderSize() {
    TPoint border;
    CurrentTheme->ViewBorder(ViewType() | VT_FLOATING, border);
    return border;
}

bool TTxCustomDockablePanel::IsVertCaptionOn(TBarDock* Dock) {
    switch (FCaptionRotation) {
    case dpcrAlwaysHorz: return false;
    case dpcrAlwaysVert: return Dock != nullptr;
    default: return Dock != nullptr && !Dock->IsLeftRight();
    }
}

bool TTxCustomDockablePanel::IsVertCaption() { return IsVertCaptionOn(GetDocked() ? GetCurrentDock() : nullptr); }

TPoint TTxCustomDockablePanel::DockedNCSizeFor(bool LeftRight) {
    TPoint tl, br;
    GetDockedNCArea(tl, br, LeftRight);
    return TPoint{tl.X + br.X, tl.Y + br.Y};
}

void TTxCustomDockablePanel::GetDockedNCArea(TPoint& TopLeft, TPoint& BottomRight, bool LeftRight) {
    TopLeft = TPoint{2, 2};
    BottomRight = TPoint{2, 2};
    if (!FShowCaptionWhenDocked) return;
    const bool vertical = FCaptionRotation == dpcrAlwaysVert || (FCaptionRotation == dpcrAuto && !LeftRight);
    if (vertical) TopLeft.X += CaptionHeight();
    else TopLeft.Y += CaptionHeight();
}

void TTxCustomDockablePanel::CalcNCSize(TPoint& Size) {
    if (!GetDocked()) {
        Size = TPoint{0, 0};
        return;
    }
    Size = TPoint{4, 4};
    if (FShowCaptionWhenDocked) {
        if (IsVertCaption()) Size.X += CaptionHeight();
        else Size.Y += CaptionHeight();
    }
}

void TTxCustomDockablePanel::AdjustClientRect(gcl::TRect& Rect) {
    inherited::AdjustClientRect(Rect);
    gcl::InflateRect(Rect, -FBorderSize, -FBorderSize);
}

void TTxCustomDockablePanel::ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {
    TPoint nc;
    CalcNCSize(nc);
    int minClientWidth, minClientHeight, maxClientWidth, maxClientHeight;
    GetMinMaxSize(minClientWidth, minClientHeight, maxClientWidth, maxClientHeight);
    MinWidth = minClientWidth + nc.X;
    MinHeight = minClientHeight + nc.Y;
    MaxWidth = maxClientWidth > 0 ? maxClientWidth + nc.X : 0;
    MaxHeight = maxClientHeight > 0 ? maxClientHeight + nc.Y : 0;
}

void TTxCustomDockablePanel::GetMinMaxSize(int& AMinClientWidth, int& AMinClientHeight, int& AMaxClientWidth,
                                           int& AMaxClientHeight) {
    AMinClientWidth = FMinClientWidth;
    AMinClientHeight = FMinClientHeight;
    AMaxClientWidth = FMaxClientWidth;
    AMaxClientHeight = FMaxClientHeight;
}

TPoint TTxCustomDockablePanel::BaseSizeFor(TBarDock* Dock) {
    if (!Dock) {
        // The floating size, computed once from the current size.
        if (FFloatingWidth == 0)
            FFloatingWidth = DockedTopBottom() ? std::max(FMinClientWidth, GetWidth() - DockedNCSizeFor(false).X)
                                               : FDockedWidth;
        if (FFloatingHeight == 0)
            FFloatingHeight = DockedLeftRight() ? std::max(FMinClientHeight, GetHeight() - DockedNCSizeFor(true).Y)
                                                : FDockedHeight;
        return TPoint{FFloatingWidth, FFloatingHeight};
    }
    const bool lr = Dock->IsLeftRight();
    const TPoint nc = DockedNCSizeFor(lr);
    if (lr) return TPoint{FDockedWidth, std::max(0, Dock->GetClientHeight() - nc.Y)};
    return TPoint{std::max(0, Dock->GetClientWidth() - nc.X), FDockedHeight};
}

void TTxCustomDockablePanel::GetBaseSize(TPoint& Size) {
    Size = BaseSizeFor(GetDocked() ? GetCurrentDock() : nullptr);
}

void TTxCustomDockablePanel::DoArrange(bool, TBarDockType ADockType, TPoint& NewSize, TBarDock* Dock, bool) {
    NewSize = BaseSizeFor(ADockType == dtFloating || ADockType == dtNotDocked ? nullptr : Dock);
    if (ADockType == dtNotDocked) NewSize = TPoint{GetClientWidth(), GetClientHeight()};
}

bool TTxCustomDockablePanel::CanDockTo(TBarDock* Dock) {
    if (!inherited::CanDockTo(Dock)) return false;
    return dynamic_cast<TTxMultiDock*>(Dock) ? FSupportedDocks.Contains(dkMultiDock)
                                             : FSupportedDocks.Contains(dkStandardDock);
}

void TTxCustomDockablePanel::SetOwnBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    gcl::TFlagScope own(FSettingBounds);
    SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TTxCustomDockablePanel::SizeChanging(int AWidth, int AHeight) {
    inherited::SizeChanging(AWidth, AHeight);
    if (FSettingBounds) return;
    if (DockedLeftRight()) {
        FDockedWidth = std::max(FMinClientWidth, AWidth - DockedNCSizeFor(true).X);
    } else if (DockedTopBottom()) {
        FDockedHeight = std::max(FMinClientHeight, AHeight - DockedNCSizeFor(false).Y);
    } else if (GetFloating()) {
        FFloatingWidth = AWidth;
        FFloatingHeight = AHeight;
    }
}

// ---- Property setters -----------------------------------------------------------------------

void TTxCustomDockablePanel::SetBorderSize(int Value) {
    if (Value == FBorderSize) return;
    FBorderSize = Value;
    Realign();
}

void TTxCustomDockablePanel::SetDockedWidth(int Value) {
    Value = std::max(Value, FMinClientWidth);
    if (Value == FDockedWidth && !FDockedResizing) return;
    FDockedWidth = Value;
    if (DockedLeftRight()) {
        SetOwnBounds(GetLeft(), GetTop(), Value + DockedNCSizeFor(true).X, GetHeight());
        GetCurrentDock()->ArrangeToolbars();
    }
}

void TTxCustomDockablePanel::SetDockedHeight(int Value) {
    Value = std::max(Value, FMinClientHeight);
    if (Value == FDockedHeight && !FDockedResizing) return;
    FDockedHeight = Value;
    if (DockedTopBottom()) {
        SetOwnBounds(GetLeft(), GetTop(), GetWidth(), Value + DockedNCSizeFor(false).Y);
        GetCurrentDock()->ArrangeToolbars();
    }
}

void TTxCustomDockablePanel::SetFloatingWidth(int Value) {
    Value = std::max(Value, GetFloating() ? FMinClientWidth : 0);
    if (Value == FFloatingWidth) return;
    FFloatingWidth = Value;
    if (GetFloating()) Arrange();
}

void TTxCustomDockablePanel::SetFloatingHeight(int Value) {
    Value = std::max(Value, GetFloating() ? FMinClientHeight : 0);
    if (Value == FFloatingHeight) return;
    FFloatingHeight = Value;
    if (GetFloating()) Arrange();
}

void TTxCustomDockablePanel::SetSplitHeight(int Value) {
    Value = std::max(Value, 0);
    if (Value == FSplitHeight) return;
    FSplitHeight = Value;
    if (TTxMultiDock* dock = CurrentMultiDock(); dock && dock->IsLeftRight()) dock->ArrangeToolbars();
}

void TTxCustomDockablePanel::SetSplitWidth(int Value) {
    Value = std::max(Value, 0);
    if (Value == FSplitWidth) return;
    FSplitWidth = Value;
    if (TTxMultiDock* dock = CurrentMultiDock(); dock && !dock->IsLeftRight()) dock->ArrangeToolbars();
}

void TTxCustomDockablePanel::SetCaptionRotation(TDPCaptionRotation Value) {
    if (Value == FCaptionRotation) return;
    FCaptionRotation = Value;
    if (GetDocked()) {
        RecalcFrameKeepingClient(this);
        GetCurrentDock()->ArrangeToolbars();
    }
}

void TTxCustomDockablePanel::SetShowCaptionWhenDocked(bool Value) {
    if (Value == FShowCaptionWhenDocked) return;
    FShowCaptionWhenDocked = Value;
    if (GetDocked()) {
        RecalcFrameKeepingClient(this);
        GetCurrentDock()->ArrangeToolbars();
    }
}

void TTxCustomDockablePanel::SetParent(gcl::TWinControl* AParent) {
    inherited::SetParent(AParent);
    if (auto* fp = dynamic_cast<TTxFloatingWindowParent*>(AParent)) fp->SetCaption(GetCaption());
    if (!IsDestroying(this)) UpdateEffectiveColor();
}

void TTxCustomDockablePanel::Loaded() {
    inherited::Loaded();
    UpdateEffectiveColor();
}

// ---- Position data -----------------------------------------------------------------------

void TTxCustomDockablePanel::ReadPositionData(const TBarReadPositionData& Data) {
    inherited::ReadPositionData(Data);
    const std::string& name = GetName();
    FDockedWidth = std::max(FMinClientWidth, ReadPositionInt(Data, name, SPosDPDockedWidth, FDockedWidth));
    FDockedHeight = std::max(FMinClientHeight, ReadPositionInt(Data, name, SPosDPDockedHeight, FDockedHeight));
    FFloatingWidth = std::max(0, ReadPositionInt(Data, name, SPosDPFloatingWidth, FFloatingWidth));
    FFloatingHeight = std::max(0, ReadPositionInt(Data, name, SPosDPFloatingHeight, FFloatingHeight));
    FSplitWidth = std::max(0, ReadPositionInt(Data, name, SPosDPSplitWidth, FSplitWidth));
    FSplitHeight = std::max(0, ReadPositionInt(Data, name, SPosDPSplitHeight, FSplitHeight));
    if (GetDocked()) GetCurrentDock()->ArrangeToolbars();
    else if (GetFloating()) Arrange();
}

void TTxCustomDockablePanel::WritePositionData(const TBarWritePositionData& Data) {
    inherited::WritePositionData(Data);
    const std::string& name = GetName();
    WritePositionInt(Data, name, SPosDPDockedWidth, FDockedWidth);
    WritePositionInt(Data, name, SPosDPDockedHeight, FDockedHeight);
    WritePositionInt(Data, name, SPosDPFloatingWidth, FFloatingWidth);
    WritePositionInt(Data, name, SPosDPFloatingHeight, FFloatingHeight);
    WritePositionInt(Data, name, SPosDPSplitWidth, FSplitWidth);
    WritePositionInt(Data, name, SPosDPSplitHeight, FSplitHeight);
}

// ---- Docked resizing ------------------------------------------------------------------------

bool TTxCustomDockablePanel::FireResizing(bool Vertical, int& NewSize, TTxResizingStage Stage) {
    TBarDock* dock = GetCurrentDock();
    gcl::TWinControl* host = dock ? dock->GetParent() : nullptr;
    if (!host) throw gcl::EAssertionFailed("Dockable panel resized without a host", "TxDkPanels");
    const gcl::TSize hostSize = GetControlClientSize(host);
    const int current = Vertical ? GetHeight() : GetWidth();
    NewSize = std::min(NewSize, (Vertical ? hostSize.cy : hostSize.cx) - 32 + current);
    TPoint nc;
    CalcNCSize(nc);
    const int ncPart = Vertical ? nc.Y : nc.X;
    int minClientWidth, minClientHeight, maxClientWidth, maxClientHeight;
    GetMinMaxSize(minClientWidth, minClientHeight, maxClientWidth, maxClientHeight);
    const int minClient = Vertical ? minClientHeight : minClientWidth;
    const int maxClient = Vertical ? maxClientHeight : maxClientWidth;
    int client = std::max(NewSize - ncPart, minClient);
    if (maxClient > 0 && maxClient >= minClient) client = std::min(client, maxClient);
    NewSize = client + ncPart;
    bool allow = true;
    if (OnDockedResizing) OnDockedResizing(this, Vertical, NewSize, Stage, allow);
    return allow;
}

bool TTxCustomDockablePanel::DockedResizingBegin(bool Vertical, int& NewSize) {
    return FireResizing(Vertical, NewSize, rsBeginResizing);
}
bool TTxCustomDockablePanel::DockedResizing(bool Vertical, int& NewSize) {
    return FireResizing(Vertical, NewSize, rsResizing);
}
bool TTxCustomDockablePanel::DockedResizingEnd(bool Vertical, int& NewSize) {
    return FireResizing(Vertical, NewSize, rsEndResizing);
}

void TTxCustomDockablePanel::ResizeByBorder(int HitCode, TPoint Start) {
    if (!GetDocked() || !HandleAllocated()) return;
    const bool vertical = HitCode == HTTOP || HitCode == HTBOTTOM;
    const int original = vertical ? GetHeight() : GetWidth();
    int size = original;
    if (!DockedResizingBegin(vertical, size)) return;
    const POINT start{Start.X, Start.Y};
    RECT wr{};
    GetWindowRect(GetHandle(), &wr);
    TBarDock* dock = GetCurrentDock();
    const TPoint nc = DockedNCSizeFor(dock->IsLeftRight());
    // The edge being moved, on the screen, for the outline.
    auto band = [&](int s) {
        switch (HitCode) {
        case HTRIGHT: return gcl::TRect{wr.left + s - 1, wr.top, wr.left + s + 1, wr.bottom};
        case HTLEFT: return gcl::TRect{wr.right - s - 1, wr.top, wr.right - s + 1, wr.bottom};
        case HTBOTTOM: return gcl::TRect{wr.left, wr.top + s - 1, wr.right, wr.top + s + 1};
        default: return gcl::TRect{wr.left, wr.bottom - s - 1, wr.right, wr.bottom - s + 1};
        }
    };
    auto apply = [&](int s) {
        dock->BeginUpdate();
        try {
            if (vertical) SetDockedHeight(s - nc.Y);
            else SetDockedWidth(s - nc.X);
        } catch (...) {
            dock->EndUpdate();
            throw;
        }
        dock->EndUpdate();
    };
    const bool smooth = FSmoothDockedResize;
    bool outline = false;
    bool cancelled = false;
    {
        gcl::TFlagScope resizing(FDockedResizing);
        const HWND wnd = GetHandle();
        SetCapture(wnd);
        MSG msg{};
        while (NextMessage(wnd, msg)) {
            if (msg.message == WM_LBUTTONUP) break;
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
                cancelled = true;
                break;
            }
            if (msg.message == WM_MOUSEMOVE) {
                const POINT p = MessageScreenPoint(msg);
                int d = 0;
                switch (HitCode) {
                case HTRIGHT: d = p.x - start.x; break;
                case HTLEFT: d = start.x - p.x; break;
                case HTBOTTOM: d = p.y - start.y; break;
                default: d = start.y - p.y; break;
                }
                int wanted = original + d;
                if (!DockedResizing(vertical, wanted)) continue;
                if (smooth) {
                    apply(wanted);
                } else {
                    if (outline) InvertBand(band(size));
                    InvertBand(band(wanted));
                    outline = true;
                }
                size = wanted;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (GetCapture() == wnd) ReleaseCapture();
        if (outline) InvertBand(band(size));
    }
    if (cancelled) size = original;
    // The final size is applied while the panel still counts as being
    // resized, so the dock takes its thickness from it (the other panels
    // follow) rather than from the widest of them.
    gcl::TFlagScope resizing(FDockedResizing);
    if (DockedResizingEnd(vertical, size)) apply(size);
}

void TTxCustomDockablePanel::DragSplitterAt(int HitCode, TPoint Start) {
    TTxMultiDock* dock = CurrentMultiDock();
    if (!dock || !HandleAllocated()) return;
    for (int i = 0; i < dock->GetToolbarCount(); ++i)
        if (!dynamic_cast<TTxCustomDockablePanel*>(dock->GetToolbars(i))) return;
    const std::vector<TTxCustomDockablePanel*> panels = dock->GetPanelOrder();
    const auto self = std::find(panels.begin(), panels.end(), this);
    if (self == panels.end()) return;
    const int index = static_cast<int>(self - panels.begin());
    const int splitter = HitCode == HT_DP_SPLITLEFT || HitCode == HT_DP_SPLITTOP ? index - 1 : index;
    if (splitter < 0 || splitter + 1 >= static_cast<int>(panels.size())) return;
    const bool vertical = dock->IsLeftRight();
    const int available = dock->AvailableLength();

    std::vector<TTxSplitEntry> entries;
    std::vector<int> old;
    int minSum = 0, maxSum = 0;
    for (TTxCustomDockablePanel* panel : panels) {
        TTxSplitEntry e = SplitEntryOf(panel, vertical, available);
        e.Size = vertical ? panel->GetHeight() : panel->GetWidth();
        entries.push_back(e);
        old.push_back(e.Size);
        minSum += e.Min;
        maxSum += e.Max;
    }
    if (minSum > available || maxSum < available) return;

    const bool live = std::all_of(panels.begin(), panels.end(),
                                  [](TTxCustomDockablePanel* p) { return p->GetSmoothDockedResize(); });
    RECT dockRect{};
    GetWindowRect(dock->GetHandle(), &dockRect);
    POINT origin{0, 0};
    ::ClientToScreen(dock->GetHandle(), &origin);
    auto splitterBand = [&](const std::vector<TTxSplitEntry>& e) {
        int pos = 0;
        for (int i = 0; i <= splitter; ++i) pos += e[static_cast<size_t>(i)].Size;
        if (vertical) return gcl::TRect{dockRect.left, origin.y + pos - 1, dockRect.right, origin.y + pos + 1};
        return gcl::TRect{origin.x + pos - 1, dockRect.top, origin.x + pos + 1, dockRect.bottom};
    };
    auto applyAll = [&]() {
        int pos = 0;
        const int thickness = vertical ? GetWidth() : GetHeight();
        for (size_t i = 0; i < panels.size(); ++i) {
            TTxCustomDockablePanel* p = panels[i];
            const int s = entries[i].Size;
            if (vertical) p->FSplitHeight = s;
            else p->FSplitWidth = s;
            if (vertical) p->SetOwnBounds(0, pos, thickness, s);
            else p->SetOwnBounds(pos, 0, s, thickness);
            pos += s;
        }
    };

    const POINT start{Start.X, Start.Y};
    bool outline = false;
    gcl::TRect shown;
    {
        gcl::TFlagScope splitting(FSplitting);
        const HWND wnd = GetHandle();
        SetCapture(wnd);
        MSG msg{};
        while (NextMessage(wnd, msg)) {
            if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONDOWN || msg.message == WM_MBUTTONDOWN ||
                (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
                break;
            if (msg.message == WM_MOUSEMOVE) {
                const POINT p = MessageScreenPoint(msg);
                DragSplitter(entries, old, splitter, vertical ? p.y - start.y : p.x - start.x);
                if (live) {
                    applyAll();
                } else {
                    if (outline) InvertBand(shown);
                    shown = splitterBand(entries);
                    InvertBand(shown);
                    outline = true;
                }
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (GetCapture() == wnd) ReleaseCapture();
        if (outline) InvertBand(shown);
    }
    if (!live) applyAll();
}

// ---- Hit codes, cursors and the caption ---------------------------------------------------------

gcl::TRect TTxCustomDockablePanel::GetDockedCloseButtonRect(bool) {
    const int s = CaptionHeight() - 1;
    if (IsVertCaption()) return gcl::TRect{2, GetClientHeight() + 2 - s, 2 + s, GetClientHeight() + 2};
    return gcl::TRect{GetClientWidth() + 2 - s, 2, GetClientWidth() + 2, 2 + s};
}

int TTxCustomDockablePanel::HitTest(TPoint ScreenPoint) {
    RECT wr{};
    GetWindowRect(GetHandle(), &wr);
    const int x = ScreenPoint.X - wr.left;
    const int y = ScreenPoint.Y - wr.top;
    const int w = wr.right - wr.left;
    const int h = wr.bottom - wr.top;
    if (x < 0 || y < 0 || x >= w || y >= h) return HTNOWHERE;
    TBarDock* dock = GetCurrentDock();
    if (GetResizable()) {
        switch (dock->GetPosition()) {
        case dpBottom:
            if (y < 2) return HTTOP;
            break;
        case dpTop:
            if (y >= h - 2) return HTBOTTOM;
            break;
        case dpRight:
            if (x < 2) return HTLEFT;
            break;
        case dpLeft:
            if (x >= w - 2) return HTRIGHT;
            break;
        }
    }
    if (TTxMultiDock* multi = CurrentMultiDock()) {
        const auto& order = multi->GetPanelOrder();
        const auto it = std::find(order.begin(), order.end(), this);
        if (it != order.end()) {
            const bool hasNext = it + 1 != order.end();
            const bool hasPrevious = it != order.begin();
            if (multi->IsLeftRight()) {
                if (hasNext && y >= h - 2) return HT_DP_SPLITBOTTOM;
                if (hasPrevious && y < 2) return HT_DP_SPLITTOP;
            } else {
                if (hasNext && x >= w - 2) return HT_DP_SPLITRIGHT;
                if (hasPrevious && x < 2) return HT_DP_SPLITLEFT;
            }
        }
    }
    if (FShowCaptionWhenDocked && !IsDesigning(this)) {
        const int c = CaptionHeight();
        const bool vertCaption = IsVertCaption();
        const bool inBar = vertCaption ? x >= 2 && x < 2 + c : y >= 2 && y < 2 + c;
        if (inBar) {
            if (GetCloseButtonWhenDocked()) {
                const gcl::TRect b = GetDockedCloseButtonRect(dock->IsLeftRight());
                if (x >= b.Left && x < b.Right && y >= b.Top && y < b.Bottom) return HT_TB2K_CLOSEBUTTON;
            }
            return HT_TB2K_DRAGHANDLE;
        }
    }
    return -1;
}

bool TTxCustomDockablePanel::SetCursorFor(int HitCode) {
    gcl::TCursor cursor = 0;
    switch (HitCode) {
    case HTLEFT:
    case HTRIGHT: cursor = FHorzResizeCursor; break;
    case HTTOP:
    case HTBOTTOM: cursor = FVertResizeCursor; break;
    case HT_DP_SPLITLEFT:
    case HT_DP_SPLITRIGHT: cursor = FHorzSplitCursor; break;
    case HT_DP_SPLITTOP:
    case HT_DP_SPLITBOTTOM: cursor = FVertSplitCursor; break;
    case HT_TB2K_DRAGHANDLE:
        if (!FShowCaptionWhenDocked) return false;
        ::SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return true;
    default: return false;
    }
    HCURSOR handle = gcl::Screen ? gcl::Screen->GetCursors(cursor) : nullptr;
    ::SetCursor(handle ? handle : LoadCursorA(nullptr, IDC_ARROW));
    return true;
}

void TTxCustomDockablePanel::GetPanelCaptionInfo(TTxPanelCaptionInfo& Info) {
    Info = TTxPanelCaptionInfo{};
    Info.WindowHandle = HandleAllocated() ? GetHandle() : nullptr;
    Info.ViewType = ViewType();
    Info.IsVertical = !IsVertCaption();
    Info.AllowDrag = GetCurrentDock() && GetCurrentDock()->GetAllowDrag();
    Info.BorderStyle = GetDockedBorderStyle() == gcl::bsSingle ? 1 : 0;
    CurrentTheme->ViewBorder(Info.ViewType, Info.BorderSize);
    Info.ClientWidth = GetClientWidth();
    Info.ClientHeight = GetClientHeight();
    Info.DragHandleStyle = FShowCaptionWhenDocked ? 1 : 0;
    if (FShowCaptionWhenDocked && GetCloseButtonWhenDocked()) {
        Info.CloseButtonState = CDBS_VISIBLE;
        if (FCloseDown) Info.CloseButtonState |= CDBS_PRESSED;
        if (GetCloseButtonHover()) Info.CloseButtonState |= CDBS_HOT;
    }
    Info.Caption = GetCaption();
    Info.EffectiveColor = FEffectiveColor;
}

void TTxCustomDockablePanel::DrawNCArea(HDC DC) {
    if (!GetDocked() || !HandleAllocated()) return;
    if (!DC) throw gcl::EAssertionFailed("TTxToolWindow.DrawNCArea Error", "TxDkPanels");
    PaintFrame(DC);
}

void TTxCustomDockablePanel::PaintFrame(HDC DC) {
    const HWND wnd = GetHandle();
    RECT wr{};
    GetWindowRect(wnd, &wr);
    const gcl::TRect box{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    const int saved = SaveDC(DC);
    POINT origin{0, 0};
    ::ClientToScreen(wnd, &origin);
    const int cx = origin.x - wr.left;
    const int cy = origin.y - wr.top;
    ExcludeClipRect(DC, cx, cy, cx + GetClientWidth(), cy + GetClientHeight());
    TTxPanelCaptionInfo info;
    GetPanelCaptionInfo(info);
    gcl::TCanvas canvas;
    canvas.SetHandle(DC);
    canvas.GetBrush()->SetColor(FEffectiveColor);
    CurrentTheme->PaintPanelCaptionArea(&canvas, box, info);
    canvas.SetHandle(nullptr);
    RestoreDC(DC, saved);
}

void TTxCustomDockablePanel::CloseButtonPressChanged(bool Pressed) {
    FCloseDown = Pressed;
    if (HandleAllocated()) RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

void TTxCustomDockablePanel::Paint() {
    if (!IsDesigning(this)) return;
    gcl::TCanvas* canvas = GetCanvas();
    canvas->GetPen()->SetStyle(gcl::psDot);
    canvas->GetPen()->SetColor(gcl::clBtnShadow);
    canvas->GetBrush()->SetStyle(gcl::bsClear);
    canvas->Rectangle(GetClientRect());
}

// ---- Colour and theme changes ------------------------------------------------------------------

void TTxCustomDockablePanel::UpdateEffectiveColor() {
    FEffectiveColor = GetColor() != clNone ? GetColor() : CurrentTheme->ViewColor(ViewType());
    GetCanvas()->GetBrush()->SetColor(FEffectiveColor);
}

void TTxCustomDockablePanel::ThemeChanged(uintptr_t Step) {
    if (Step == 1) {
        BeginUpdate();
        if (GetDocked()) {
            FThemeDock = GetCurrentDock();
            FThemeDock->BeginUpdate();
        }
        return;
    }
    if (Step != 3) return;
    EndUpdate();
    UpdateEffectiveColor();
    if (auto* fp = dynamic_cast<TTxFloatingWindowParent*>(GetParent())) RecalcFrameKeepingClient(fp);
    else RecalcFrameKeepingClient(this);
    Invalidate();
    BroadcastParentColor(this, FEffectiveColor);
    if (TBarDock* dock = FThemeDock.Get()) {
        FThemeDock = nullptr;
        dock->EndUpdate();
    }
}

void TTxCustomDockablePanel::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_SKIN_THEMECHANGE: ThemeChanged(Message.WParam); return;
    case WM_SKIN_VIEWTYPE: Message.Result = static_cast<LRESULT>(ViewType()); return;
    case WM_SKIN_EFFECTIVECOLOR:
        Message.WParam = static_cast<uintptr_t>(FEffectiveColor);
        Message.Result = 1;
        return;
    case WM_NCCALCSIZE:
        if (GetDocked()) {
            auto* r = reinterpret_cast<RECT*>(Message.LParam);
            InflateRect(r, -2, -2);
            if (FShowCaptionWhenDocked) {
                if (IsVertCaption()) r->left += CaptionHeight();
                else r->top += CaptionHeight();
            }
        }
        Message.Result = 0;
        return;
    case WM_NCHITTEST:
        if (GetDocked() && HandleAllocated()) {
            const int code = HitTest(MessagePoint(Message.LParam));
            if (code >= 0) {
                Message.Result = code;
                return;
            }
        }
        break;
    case WM_SETCURSOR:
        if (GetDocked() && GetCurrentDock()->GetAllowDrag() && SetCursorFor(static_cast<short>(LOWORD(Message.LParam)))) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_NCLBUTTONDOWN: {
        const int code = static_cast<int>(Message.WParam);
        if (GetDocked()) {
            if (code == HTLEFT || code == HTRIGHT || code == HTTOP || code == HTBOTTOM) {
                ResizeByBorder(code, MessagePoint(Message.LParam));
                return;
            }
            if (code >= HT_DP_SPLITLEFT && code <= HT_DP_SPLITBOTTOM) {
                DragSplitterAt(code, MessagePoint(Message.LParam));
                return;
            }
            if (code == HT_TB2K_CLOSEBUTTON) {
                const gcl::TRect b = GetDockedCloseButtonRect(GetCurrentDock()->IsLeftRight());
                TPoint tl, br;
                GetDockedNCArea(tl, br, GetCurrentDock()->IsLeftRight());
                const gcl::TRect client{b.Left - tl.X, b.Top - tl.Y, b.Right - tl.X, b.Bottom - tl.Y};
                if (TrackButtonPress(GetHandle(), client,
                                     TButtonPressEvent(this, &TTxCustomDockablePanel::CloseButtonPressChanged)))
                    Close();
                return;
            }
        }
        break;
    }
    case gcl::CM_TEXTCHANGED:
        inherited::Dispatch(Message);
        if (auto* fp = dynamic_cast<TBarFloatingWindowParent*>(GetParent())) fp->RedrawNCArea(2);
        else if (HandleAllocated()) {
            // Only a frame that shows the caption shows the change.
            TTxPanelCaptionInfo info;
            GetPanelCaptionInfo(info);
            if (info.ShowCaption()) RedrawFrame(GetHandle());
        }
        return;
    case gcl::CM_COLORCHANGED:
        inherited::Dispatch(Message);
        UpdateEffectiveColor();
        if (GetDocked() && HandleAllocated()) RedrawWindow(GetHandle(), nullptr, nullptr, ThemeRedrawFlags);
        Invalidate();
        for (int i = 0; i < GetControlCount(); ++i)
            GetControls(i)->Perform(gcl::CM_PARENTCOLORCHANGED, 1, static_cast<LPARAM>(FEffectiveColor));
        return;
    case gcl::CM_CONTROLCHANGE:
        inherited::Dispatch(Message);
        TellInsertedControlColor(this, Message, FEffectiveColor);
        return;
    case WM_ERASEBKGND:
        FillRectColor(reinterpret_cast<HDC>(Message.WParam), GetClientRect(), FEffectiveColor);
        Message.Result = 1;
        return;
    case WM_WINDOWPOSCHANGED: {
        inherited::Dispatch(Message);
        auto* pos = reinterpret_cast<WINDOWPOS*>(Message.LParam);
        if (!pos) return;
        if (pos->flags & SWP_SHOWWINDOW) {
            UpdateEffectiveColor();
            BroadcastParentColor(this, FEffectiveColor);
        }
        if (!(pos->flags & SWP_NOSIZE)) Realign();
        return;
    }
    default: break;
    }
    inherited::Dispatch(Message);
}

} // namespace qelvo
