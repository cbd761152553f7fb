// The extended docks, toolbars, floating windows and popups, the layout
// routines over a view, the extended popup menu and its root item; the
// system menu as items.
#include "controls/XtBars.h"

#include <algorithm>

#include "gcl/Controls.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "theming/TxUtils.h"
#include "unicode/UniControls.h"

namespace qelvo {

// ==== Docks =====================================================================================

GCL_PUBLISHED(TXtDock, GCL_PROP(OnCanResize), GCL_PROP(OnDrawBackground))

void TXtDock::SetOnDrawBackground(TXtDrawEvent Value) {
    if (Value == OnDrawBackground) return;
    OnDrawBackground = Value;
    if (HandleAllocated()) Invalidate();
}

void TXtDock::DoDrawBackground(gcl::TCanvas* Canvas, const TRect& Rect, TXtPaintStage PaintStage,
                               bool& PaintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, Canvas, Rect, PaintStage, PaintDefault);
}

bool TXtDock::UsingBackground() { return OnDrawBackground ? true : inherited::UsingBackground(); }

void TXtDock::DrawBackground(HDC DC, const TRect& DrawRect) {
    if (IsDestroying(this)) return;
    TDCCanvas canvas(DC);
    bool paintDefault = true;
    DoDrawBackground(canvas.Get(), DrawRect, pstPrePaint, paintDefault);
    if (paintDefault) inherited::DrawBackground(DC, DrawRect);
    DoDrawBackground(canvas.Get(), DrawRect, pstPostPaint, paintDefault);
}

bool TXtDock::CanResize(int& NewWidth, int& NewHeight) {
    // Bounds set again unchanged keep the size before the last real resize.
    if (NewWidth != GetWidth() || NewHeight != GetHeight()) {
        FPrevWidth = GetWidth();
        FPrevHeight = GetHeight();
    }
    return inherited::CanResize(NewWidth, NewHeight);
}

void TXtDock::Resize() {
    inherited::Resize();
    const bool shorter = IsLeftRight() ? GetHeight() < FPrevHeight : GetWidth() < FPrevWidth;
    if (!shorter || IsDestroying(this)) return;
    std::vector<gcl::TComponentRef<TXtToolbar>> bars;
    for (int i = 0; i < GetToolbarCount(); ++i)
        if (auto* bar = dynamic_cast<TXtToolbar*>(GetToolbars(i))) bars.emplace_back(bar);
    for (auto& bar : bars)
        if (bar) bar->Resize();
}

// ==== Toolbars ===================================================================================

GCL_IMPLEMENT_CLASS(TXtToolbarView)

void TXtToolbarView::SetMaxSize(int Value) {
    if (Value == FMaxSize) return;
    FMaxSize = Value;
    InvalidatePositions();
    UpdatePositions();
}

GCL_IMPLEMENT_CLASS(TXtChevronItem)

TBarPopupWindowClass TXtChevronItem::GetPopupWindowClass() { return TXtChevronPopupWindow::StaticClass(); }

GCL_PUBLISHED(TXtToolbar,
    gcl::Prop<&TXtToolbar::GetCaption, &TXtToolbar::SetCaption>("Caption").StoredBy<&TXtToolbar::IsCaptionStored>(),
    gcl::Prop<&TXtToolbar::GetHint, &TXtToolbar::SetHint>("Hint").Stored(false),
    GCL_PROP(ChevronVertical).Default(true),
    GCL_PROP(Customizable).Default(true),
    GCL_PROP(DisplayMode).Default(tbdmSelectiveCaption),
    GCL_PROP(OnDrawBackground),
    GCL_PROP(OnItemNotification))

TXtToolbar::TXtToolbar(gcl::TComponent* AOwner)
    : TTxToolbar(AOwner), FItemCache(std::make_unique<TXtItemCacheCollection>()) {}

TXtToolbar::~TXtToolbar() = default;

void TXtToolbar::AfterConstruction() {
    inherited::AfterConstruction();
    GetRootItem()->RegisterNotification(TBarItemChangeHandler(this, &TXtToolbar::ItemNotification));
}

void TXtToolbar::BeforeDestruction() noexcept {
    if (TBarRootItem* root = GetRootItem())
        root->UnregisterNotification(TBarItemChangeHandler(this, &TXtToolbar::ItemNotification));
    FDragItemViewer = nullptr;
    FItemCache.reset();
    inherited::BeforeDestruction();
}

TBarToolbarView* TXtToolbar::CreateView() {
    return TXtToolbarView::Create(this, nullptr, GetRootItem(), this, true, false, !IsDesigning(this));
}

TXtToolbarView* TXtToolbar::GetXtView() const noexcept { return dynamic_cast<TXtToolbarView*>(GetView()); }

gcl::TMetaClass const* TXtToolbar::GetFloatingWindowParentClass() { return TXtFloatingWindowParent::StaticClass(); }

std::wstring TXtToolbar::GetCaption() { return WideControlGetText(this); }
void TXtToolbar::SetCaption(const std::wstring& Value) { WideControlSetText(this, Value); }
std::wstring TXtToolbar::GetHint() { return WideControlGetHint(this); }
void TXtToolbar::SetHint(const std::wstring& Value) { WideControlSetHint(this, Value); }
bool TXtToolbar::IsCaptionStored() { return IsWideCaptionStored(this); }

void TXtToolbar::DefineProperties(gcl::TFiler& Filer) {
    inherited::DefineProperties(Filer);
    DefineWideProperties(Filer, this);
}

void TXtToolbar::CreateWindowHandle(const gcl::TCreateParams& Params) { CreateWideWindowHandle(this, Params, nullptr); }

void TXtToolbar::SetDisplayMode(TXtToolbarDisplayMode Value) {
    if (Value == FDisplayMode) return;
    FDisplayMode = Value;
    TBarItemOptions options = GetOptions();
    if (Value == tbdmImageAboveCaption) {
        options.Include(tboImageAboveCaption);
        options.Include(tboSameWidth);
    } else {
        options.Exclude(tboImageAboveCaption);
        options.Exclude(tboSameWidth);
    }
    SetOptions(options);
    if (TBarToolbarView* view = GetView()) {
        view->InvalidatePositions();
        view->UpdatePositions();
    }
    Invalidate();
}

// ---- Anchoring and right alignment ---------------------------------------------------------------

namespace {

// The length of a rectangle along a bar (its height on a vertical dock).
int LengthOf(const TRect& R, bool Vertical) { return Vertical ? R.Bottom - R.Top : R.Right - R.Left; }
int FarEdgeOf(const TRect& R, bool Vertical) { return Vertical ? R.Bottom : R.Right; }

// Item viewers shown on the bar (the chevron is not one of the bar's items).
bool ShownItemViewer(TBarItemViewer* Viewer) {
    return Viewer->Show && !gcl::is<TBarChevronItem>(Viewer->GetItem());
}

TBarItemViewer* LastVisibleViewer(TBarView* View) {
    for (int i = View->GetViewerCount() - 1; i >= 0; --i)
        if (ShownItemViewer(View->GetViewers(i))) return View->GetViewers(i);
    return nullptr;
}

} // namespace

namespace {

// The first right-align spacer among the visible items, shown or not.
TBarCustomItem* FirstSpacerItem(TBarView* View) {
    for (int i = 0; i < View->GetViewerCount(); ++i) {
        TBarCustomItem* item = View->GetViewers(i)->GetItem();
        if (gcl::is<TXtRightAlignSpacerItem>(item) && item->GetVisible()) return item;
    }
    return nullptr;
}

} // namespace

bool TXtToolbar::CanAnchor() {
    if (IsDestroying(this) || !GetVisible() || !GetView() || !GetDocked()) return false;
    TBarDock* dock = GetCurrentDock();
    return dock && dock->GetWidth() > 0 && dock->GetHeight() > 0;
}

int TXtToolbar::GetNonClientLength() {
    TBarDock* dock = GetDocked() ? GetCurrentDock() : nullptr;
    const bool vertical = dock && dock->IsLeftRight();
    const TPoint nc = DockedNCSize(vertical);
    return vertical ? nc.Y : nc.X;
}

void TXtToolbar::AnchorItems(bool UpdateAnchors) {
    if (!CanAnchor()) return;
    TBarDock* dock = GetCurrentDock();
    TBarView* view = GetView();
    const bool vertical = dock->GetPosition() == dpLeft || dock->GetPosition() == dpRight;
    const int dockLength = vertical ? dock->GetHeight() : dock->GetWidth();
    gcl::TFlagScope anchoring(FAnchoringInProgress);
    {
        TViewUpdateScope update(view);
        view->ValidatePositions();
        int delta = 0;
        TBarItemViewer* last = LastVisibleViewer(view);
        if (UpdateAnchors && FLastAnchorEdge >= 1 && last) delta = FLastAnchorEdge - FarEdgeOf(last->BoundsRect, vertical);
        for (int i = 0; i < view->GetViewerCount(); ++i) {
            TBarItemViewer* viewer = view->GetViewers(i);
            if (auto* xv = dynamic_cast<TXtItemViewer*>(viewer)) {
                auto* item = dynamic_cast<TXtCustomItem*>(viewer->GetItem());
                if (!item || !item->GetAnchored()) continue;
                if (xv->AnchorOrigin.X == 0 && xv->AnchorOrigin.Y == 0)
                    xv->AnchorOrigin = TPoint{dock->GetWidth(), dock->GetHeight()};
                int& origin = vertical ? xv->AnchorOrigin.Y : xv->AnchorOrigin.X;
                origin -= delta;
                xv->AnchorExtra = dockLength - origin;
                continue;
            }
            auto* controlItem = dynamic_cast<TBarControlItem*>(viewer->GetItem());
            if (!controlItem) continue;
            gcl::TControl* control = controlItem->GetControl();
            const int index = FItemCache->IndexOfItem(controlItem);
            const bool follows =
                control && (control->GetAlign() == gcl::alClient || control->GetAnchors().Contains(gcl::akRight));
            if (!follows) {
                if (index >= 0) FItemCache->Delete(index);
                continue;
            }
            TXtItemCache* cache = nullptr;
            if (index >= 0) {
                cache = FItemCache->GetItems(index);
            } else {
                cache = FItemCache->GetItems(
                    FItemCache->AddItem(controlItem, TRect{0, 0, control->GetWidth(), control->GetHeight()}));
                cache->SetParentWidth(dock->GetWidth());
                cache->SetParentHeight(dock->GetHeight());
            }
            // The control follows the dock's length: its width on a
            // horizontal dock, its height on a vertical one.
            if (vertical) {
                cache->SetHeight(cache->GetHeight() + delta);
                control->SetHeight(cache->GetHeight() + (dock->GetHeight() - cache->GetParentHeight()));
            } else {
                cache->SetWidth(cache->GetWidth() + delta);
                control->SetWidth(cache->GetWidth() + (dock->GetWidth() - cache->GetParentWidth()));
            }
        }
        view->InvalidatePositions();
        view->UpdatePositions();
    }
    TBarItemViewer* last = LastVisibleViewer(view);
    FLastAnchorEdge = last ? FarEdgeOf(last->BoundsRect, vertical) : 0;
}

void TXtToolbar::RightAlignItems() {
    if (!CanAnchor() || GetRootItem()->GetCount() == 0) return;
    TBarDock* dock = GetCurrentDock();
    TBarView* view = GetView();
    const bool vertical = dock->IsLeftRight();
    gcl::TFlagScope anchoring(FAnchoringInProgress);
    TViewUpdateScope update(view);
    view->ValidatePositions();
    auto* item = dynamic_cast<TXtCustomItem*>(FirstSpacerItem(view));
    if (!item) return;
    // Measured with the spacer at 0, so that no item is hidden behind the
    // chevron by an earlier, wider spacer. That layout is not painted: the
    // bar shows only the one laid out below (or, when there is none, the
    // measured one at its next paint).
    struct TMeasuring {
        TBarView* View;
        explicit TMeasuring(TBarView* V) : View(V) { View->SetDeferPaint(true); }
        ~TMeasuring() { View->SetDeferPaint(false); }
    };
    int afterSpacer = 0;
    int total = 0;
    TBarItemViewer* spacer = nullptr;
    {
        TMeasuring measuring(view);
        item->SetCustomWidth(0);
        view->InvalidatePositions();
        view->UpdatePositions();
        spacer = MeasureRightAlignedItems(view, nullptr, vertical, afterSpacer, total);
    }
    if (!spacer) return;
    TRect margins;
    view->GetMargins(vertical ? tbvoVertical : tbvoHorizontal, margins);
    const int available = (vertical ? dock->GetHeight() - GetNonClientLength() - 6 : dock->GetWidth() - GetNonClientLength()) -
                          (vertical ? margins.Top + margins.Bottom : margins.Left + margins.Right) -
                          GetRightAlignMargin();
    // Clamped: a negative width would read as "natural width".
    item->SetCustomWidth(std::max(0, available - (total - LengthOf(spacer->BoundsRect, vertical))));
    view->InvalidatePositions();
    view->UpdatePositions();
}

TXtToolbarChanges::TXtToolbarChanges(TXtToolbar* Bar) : FBar(Bar) {
    if (!FBar) return;
    FBar->BeginUpdate();
    FBar->BeginItemNotificationLock();
}

TXtToolbarChanges::~TXtToolbarChanges() {
    if (!FBar) return;
    FBar->EndItemNotificationLock();
    // What the last change that moved items would have done: align them
    // (which lays them out and paints the bar); the end of the update then
    // finds the view valid. A destructor cannot pass an error on: the bar
    // lays itself out again at its next change.
    try {
        if (FBar->GetView() && !FBar->GetView()->GetValidated()) FBar->RightAlignItems();
    } catch (...) {
    }
    try {
        FBar->EndUpdate();
    } catch (...) {
    }
}

void TXtToolbar::Resize() {
    if (!FAnchoringInProgress) {
        gcl::TFlagScope anchoring(FAnchoringInProgress);
        RightAlignItems();
        AnchorItems(true);
    }
    inherited::Resize();
}

// ---- Item notifications, clicks and accelerators ---------------------------------------------------

void TXtToolbar::ItemNotification(TBarCustomItem* Sender, bool Relayed, TBarItemChangedAction Action, int Index,
                                  TBarCustomItem* Item) {
    DoItemNotification(Sender, Relayed, Action, Index, Item);
}

void TXtToolbar::DoItemNotification(TBarCustomItem* Ancestor, bool Relayed, TBarItemChangedAction Action, int Index,
                                    TBarCustomItem* Item) {
    if (IsDesigning(this) || IsDestroying(this) || FAnchoringInProgress || FItemNotificationLock > 0) return;
    if (OnItemNotification) OnItemNotification(this, Ancestor, Relayed, Action, Index, Item);
    switch (Action) {
    case tbicDeleting: {
        if (FDragItemViewer && FDragItemViewer->GetItem() == Item) FDragItemViewer = nullptr;
        const int cached = FItemCache ? FItemCache->IndexOfItem(Item) : -1;
        if (cached >= 0) FItemCache->Delete(cached);
        RightAlignItems();
        AnchorItems(true);
        break;
    }
    case tbicInserted:
        RightAlignItems();
        AnchorItems(true);
        break;
    case tbicInvalidateAndResize: RightAlignItems(); break;
    default: break;
    }
}

bool TXtToolbar::CanItemClick(TBarCustomItem*, gcl::TMouseButton, gcl::TShiftState, int, int) { return true; }

void TXtToolbar::DoDrawBackground(gcl::TCanvas* Canvas, const TRect& Rect, TXtPaintStage PaintStage,
                                  bool& PaintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, Canvas, Rect, PaintStage, PaintDefault);
}

void TXtToolbar::DoItemClick(TBarCustomItem* Item, bool Cancelled, gcl::TMouseButton, gcl::TShiftState, int, int) {
    if (Cancelled || !Item || !Item->GetEnabled() || !Item->HasStyle(tbisClicksTransparent) || !Item->OnClick) return;
    Item->OnClick(Item);
}

bool TXtToolbar::StartCustomizeDrag(gcl::TMouseButton, gcl::TShiftState, int X, int Y) {
    if (IsDesigning(this) || FCustomizingCount <= 0) return false;
    if (FCustomizable && GetView()) {
        TBarItemViewer* viewer = GetView()->ViewerFromPoint(TPoint{X, Y});
        if (viewer && viewer->GetItem() != GetChevronItem()) {
            FDragItemViewer = viewer;
            gcl::TComponentRef<TXtToolbar> self(this);
            BeginDrag(false, -1);
            if (self) FDragItemViewer = nullptr;
        }
    }
    return true;
}

void TXtToolbar::MouseDown(gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y) {
    if (IsDesigning(this)) {
        inherited::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (StartCustomizeDrag(Button, Shift, X, Y)) return;
    TBarItemViewer* selected = GetView()->GetSelected();
    if (selected && !CanItemClick(selected->GetItem(), Button, Shift, X, Y)) return;
    gcl::TComponentRef<TXtToolbar> self(this);
    const TPoint before = ClientToScreen(TPoint{0, 0});
    inherited::MouseDown(Button, Shift, X, Y);
    if (!self || !GetView()) return;
    const TPoint after = ClientToScreen(TPoint{0, 0});
    if (after.X != before.X || after.Y != before.Y) return;
    if (TBarItemViewer* viewer = GetView()->GetSelected()) DoItemClick(viewer->GetItem(), false, Button, Shift, X, Y);
}

void TXtToolbar::MouseMove(gcl::TShiftState Shift, int X, int Y) {
    inherited::MouseMove(Shift, X, Y);
    if (IsDesigning(this) || !GetView()) return;
    std::wstring hint;
    if (TBarItemViewer* viewer = GetView()->GetSelected()) {
        TBarCustomItem* item = viewer->GetItem();
        if (!item->GetEffectiveOptions().Contains(tboLongHintInMenuOnly)) {
            if (auto* xt = dynamic_cast<TXtCustomItem*>(item)) hint = xt->GetHint();
            else hint = gcl::AnsiToWide(item->GetHint());
        }
    }
    if (hint != GetHint()) SetHint(hint);
}

bool TXtToolbar::DialogChar(uint16_t CharCode) {
    TBarRootItem* root = GetRootItem();
    for (int i = 0; root && i < root->GetCount(); ++i)
        if (auto* item = dynamic_cast<TXtCustomItem*>(root->GetItem(i)))
            if (item->DialogChar(CharCode)) return true;
    return false;
}

bool TXtToolbar::WrapInsertedControl(const gcl::TMessage& Message) {
    auto* control = reinterpret_cast<gcl::TControl*>(Message.WParam);
    if (!FCompoundToolbar || !Message.LParam || !control || IsLoading(this) ||
        FindRootControlItem(GetRootItem(), control))
        return false;
    TBarControlItem* item = TBarControlItem::CreateControlItem(GetOwner(), control);
    if (IsDesigning(this) && GetOwner()) {
        for (int n = 1;; ++n) {
            const std::string name = "TBControlItem" + std::to_string(n);
            if (!GetOwner()->FindComponent(name)) {
                item->SetName(name);
                break;
            }
        }
    }
    GetRootItem()->Add(item);
    return true;
}

// ---- Hints ---------------------------------------------------------------------------------------------

void TXtToolbar::HintShow(gcl::TMessage& Message) {
    auto* info = reinterpret_cast<gcl::THintInfo*>(Message.LParam);
    TBarItemViewer* viewer = GetView() ? GetView()->GetSelected() : nullptr;
    if (!viewer && GetView()) viewer = GetView()->ViewerFromPoint(info->CursorPos);
    if (!viewer || gcl::IsRectEmpty(viewer->BoundsRect)) {
        info->HintStr.clear();
        return;
    }
    info->CursorRect = viewer->BoundsRect;
    info->HintStr = gcl::WideToAnsi(XtViewerHintText(viewer));
    viewer->Dispatch(Message);
}

// ---- Backgrounds -----------------------------------------------------------------------------------

void TXtToolbar::EraseBackground(gcl::TMessage& Message) {
    const HDC dc = reinterpret_cast<HDC>(Message.WParam);
    auto* dock = GetDocked() ? dynamic_cast<TXtDock*>(GetCurrentDock()) : nullptr;
    TRect dockRect;
    TPoint origin;   // the bar's client origin on the dock
    if (dock) {
        origin = dock->ScreenToClient(ClientToScreen(TPoint{0, 0}));
        dockRect = dock->GetClientRect();
        gcl::OffsetRect(dockRect, -origin.X, -origin.Y);
    }
    if (dock && dock->OnDrawBackground) {
        TDCCanvas canvas(dc);
        bool paintDefault = true;
        dock->DoDrawBackground(canvas.Get(), dockRect, pstPrePaint, paintDefault);
        if (!paintDefault) {
            Message.Result = 1;
            return;
        }
        dock->DrawBackgroundAt(dc, origin, GetClientRect());
    }
    if (!OnDrawBackground) {
        inherited::Dispatch(Message);
        return;
    }
    const TRect rect = dock ? dockRect : GetClientRect();
    bool paintDefault = true;
    {
        TDCCanvas canvas(dc);
        DoDrawBackground(canvas.Get(), rect, pstPrePaint, paintDefault);
    }
    if (paintDefault) inherited::Dispatch(Message);
    TDCCanvas canvas(dc);
    DoDrawBackground(canvas.Get(), rect, pstPostPaint, paintDefault);
    Message.Result = 1;
}

// ---- The customising drag ------------------------------------------------------------------------------

void TXtToolbar::DoStartDrag(gcl::TDragObject*& DragObject) {
    if (FDragItemViewer && !DragObject) {
        DragObject = TXtItemDragObject::Create(this, FDragItemViewer->GetItem());
        return;
    }
    inherited::DoStartDrag(DragObject);
}

void TXtToolbar::SetDropMark(const TRect& Rect) {
    if (Rect == FDropMarkRect) return;
    if (HandleAllocated() && !gcl::IsRectEmpty(FDropMarkRect)) {
        const RECT old = gcl::ToRECT(FDropMarkRect);
        InvalidateRect(GetHandle(), &old, TRUE);
        UpdateWindow(GetHandle());
    }
    FDropMarkRect = Rect;
    if (HandleAllocated() && !gcl::IsRectEmpty(Rect)) {
        gcl::TCanvas* canvas = GetCanvas();
        canvas->GetBrush()->SetColor(gcl::clWindowText);
        DrawDropMark(canvas, Rect);
    }
}

void TXtToolbar::DragOver(gcl::TObject* Source, int X, int Y, gcl::TDragState State, bool& Accept) {
    auto* drag = dynamic_cast<TXtItemDragObject*>(Source);
    if (!drag || FCustomizingCount <= 0) {
        inherited::DragOver(Source, X, Y, State, Accept);
        return;
    }
    Accept = true;
    TRect mark;
    if (State != gcl::dsDragLeave) {
        int index = -1;
        TBarItemViewer* viewer = nullptr;
        if (!CalcDropPosition(GetRootItem(), GetView(), TPoint{X, Y}, mark, index, viewer)) mark = TRect{};
    }
    SetDropMark(mark);
}

void TXtToolbar::DragDrop(gcl::TObject* Source, int X, int Y) {
    auto* drag = dynamic_cast<TXtItemDragObject*>(Source);
    TBarCustomItem* item = drag ? drag->GetSourceItem() : nullptr;
    if (item && FCustomizingCount > 0) {
        TRect mark;
        int index = -1;
        TBarItemViewer* viewer = nullptr;
        TBarRootItem* root = GetRootItem();
        if (CalcDropPosition(root, GetView(), TPoint{X, Y}, mark, index, viewer) && item != root) {
            TBarCustomItem* parent = item->GetParent();
            const int old = parent == root ? root->IndexOf(item) : -1;
            if (old >= 0 && index > old) --index;
            if (old >= 0) {
                if (index != old) root->Move(old, index);
            } else {
                if (parent) parent->Remove(item);
                root->Insert(std::clamp(index, 0, root->GetCount()), item);
            }
            item->SetVisible(true);
        }
        SetDropMark(TRect{});
    }
    inherited::DragDrop(Source, X, Y);
}

// ---- Messages -----------------------------------------------------------------------------------------

void TXtToolbar::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (IsDestroying(this)) break;
        EraseBackground(Message);
        return;
    case WM_SIZE:
        inherited::Dispatch(Message);
        // A size set by a layout pass that moved items is painted by that
        // pass, whole and at once.
        if (HandleAllocated() && !(GetView() && GetView()->GetSizingBeforePaint())) Update();
        return;
    case gcl::CM_DIALOGCHAR:
        if (DialogChar(static_cast<uint16_t>(Message.WParam))) {
            Message.Result = 1;
            return;
        }
        break;
    case gcl::CM_CONTROLCHANGE: WrapInsertedControl(Message); break;
    case gcl::CM_HINTSHOW: HintShow(Message); return;
    case gcl::CM_MOUSELEAVE:
        if (FCustomizingCount > 0 && FCustomizable) SetDropMark(TRect{});
        break;
    default: break;
    }
    inherited::Dispatch(Message);
}

// ==== Floating windows and popups ===================================================================

GCL_IMPLEMENT_CLASS(TXtFloatingWindowParent)

namespace {

TTxItemInfo FloatingCaptionInfo(TBarCustomDockableWindow* Bar) {
    TTxItemInfo info{};
    info.ViewType = DockableViewType(Bar) | VT_FLOATING;
    info.Enabled = true;
    return info;
}

} // namespace

std::string TXtFloatingWindowParent::FrameCaption() { return std::string(); }

void TXtFloatingWindowParent::DrawNCArea(HDC DC, int RedrawWhat) {
    inherited::DrawNCArea(DC, RedrawWhat);
    TBarCustomDockableWindow* bar = GetDockableWindow();
    if (!bar || !bar->GetShowCaption() || !HandleAllocated()) return;
    const HWND wnd = GetHandle();
    RECT wr{};
    GetWindowRect(wnd, &wr);
    POINT client{0, 0};
    ::ClientToScreen(wnd, &client);
    const TPoint border = bar->GetFloatingBorderSize();
    TRect strip{border.X, border.Y, (wr.right - wr.left) - border.X, client.y - wr.top};
    gcl::OffsetRect(strip, 2, -1);
    if (bar->GetCloseButton()) strip.Right -= GetSystemMetrics(SM_CXSMSIZE) + 2;
    if (strip.Right <= strip.Left || strip.Bottom <= strip.Top) return;
    auto* xtBar = dynamic_cast<TXtToolbar*>(bar);
    const std::wstring caption = xtBar ? xtBar->GetCaption() : std::wstring();
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    const int saved = SaveDC(DC);
    TDCCanvas canvas(DC);
    try {
        gcl::TCanvas* c = canvas.Get();
        c->GetFont()->SetHandle(CreateFontIndirectW(&metrics.lfSmCaptionFont));
        const std::string theme = CurrentThemeName();
        c->GetFont()->SetColor(theme == "Default" || theme == "Miranda" || theme == "Zezio"
                                   ? gcl::clCaptionText
                                   : CurrentTheme->ItemTextColor(FloatingCaptionInfo(bar)));
        c->GetBrush()->SetStyle(gcl::bsClear);
        DrawGlowText(c, caption, strip, 0, gcl::clNone, gldNone,
                     DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_HIDEPREFIX);
    } catch (...) {
        RestoreDC(DC, saved);
        throw;
    }
    RestoreDC(DC, saved);
}

void TXtFloatingWindowParent::VisibleChanging() {
    inherited::VisibleChanging();
    // The caption is drawn wide here; the system must not draw an 8-bit one.
    if (HandleAllocated()) SetWindowTextA(GetHandle(), "");
}

void TXtFloatingWindowParent::Dispatch(gcl::TMessage& Message) {
    if (Message.Msg == WM_SETTEXT) {
        // The window keeps no text of its own; the new caption is drawn wide.
        static const char empty[] = "";
        Message.LParam = reinterpret_cast<intptr_t>(empty);
        inherited::Dispatch(Message);
        if (HandleAllocated() && IsWindowVisible(GetHandle())) RedrawNCArea(RP_CAPTION);
        return;
    }
    if (Message.Msg == WM_ACTIVATEAPP) {
        inherited::Dispatch(Message);
        TBarCustomDockableWindow* bar = GetDockableWindow();
        if (bar && !bar->GetHideWhenInactive() && CurrentThemeName() == "Default" && HandleAllocated())
            RedrawWindow(GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
        return;
    }
    inherited::Dispatch(Message);
}

GCL_PUBLISHED(TXtPopupWindowView, GCL_PROP(IsToolbar).Default(false))

GCL_IMPLEMENT_CLASS(TXtPopupWindow)

TXtPopupWindow::TXtPopupWindow(gcl::TComponent* Owner, TBarView* ParentView, TBarCustomItem* Item, bool Customizing)
    : TTxPopupWindow(Owner, ParentView, Item, Customizing), FPopupItem(Item) {}

void TXtPopupWindow::AfterConstruction() {
    inherited::AfterConstruction();
    auto* item = dynamic_cast<TXtCustomItem*>(FPopupItem);
    if (item && item->GetToolbarStylePopup() && GetView()) GetView()->SetIsToolbar(true);
}

void TXtPopupWindow::BeforeDestruction() noexcept {
    auto* item = dynamic_cast<TXtCustomItem*>(FPopupItem);
    if (item && item->OnClosePopup && !IsDestroying(item)) {
        TBarCustomItem* clicked = nullptr;
        if (TBarView* view = GetView()) {
            const TBarDoneActionData& done = view->GetRootView()->DoneAction();
            if (done.DoneAction == tbdaClickItem) clicked = done.ClickItem;
        }
        try {
            item->OnClosePopup(item, clicked);
        } catch (...) {
            gcl::HandleGuardedException(this);
        }
    }
    inherited::BeforeDestruction();
}

GCL_IMPLEMENT_CLASS(TXtChevronPopupWindow)

void TXtChevronPopupWindow::Dispatch(gcl::TMessage& Message) {
    inherited::Dispatch(Message);
    if (Message.Msg != gcl::CM_COLORCHANGED || GetColor() != gcl::clBtnFace || !GetView() ||
        !GetView()->GetIsToolbar())
        return;
    auto* chevron = dynamic_cast<TBarChevronItem*>(GetView()->GetParentItem());
    auto* bar = chevron ? dynamic_cast<TXtToolbar*>(chevron->GetToolbar()) : nullptr;
    if (bar && bar->GetChevronVertical()) GetView()->SetIsToolbar(false);
}

// ==== Layout routines over a view ===================================================================

namespace {

bool IsVerticalView(TBarView* View) { return View->GetOrientation() == tbvoVertical; }

// The nearest viewer before Index whose item is an embedded group, preferring
// one that belongs directly to Root.
TBarItemViewer* GroupViewerBefore(TBarCustomItem* Root, TBarView* View, int Index) {
    TBarItemViewer* nearest = nullptr;
    for (int i = Index - 1; i >= 0; --i) {
        TBarItemViewer* v = View->GetViewers(i);
        if (!v->GetItem()->HasStyle(tbisEmbeddedGroup)) continue;
        if (v->GetItem()->GetParent() == Root) return v;
        if (!nearest) nearest = v;
    }
    return nearest;
}

// Before or after Viewer (by the half of Bounds the point is in): the index
// among Root's items, or -1 when the viewer's item is not one of them.
int HalfIndex(TBarCustomItem* Root, TBarView* View, TBarItemViewer* Viewer, TPoint Point, TRect& Bounds,
              bool& After) {
    GetGroupViewerBounds(Viewer, Root, Bounds);
    After = IsVerticalView(View) ? Point.Y >= (Bounds.Top + Bounds.Bottom) / 2
                                 : Point.X >= (Bounds.Left + Bounds.Right) / 2;
    const int index = Root->IndexOf(Viewer->GetItem());
    return index < 0 ? -1 : index + (After ? 1 : 0);
}

} // namespace

TBarItemViewer* FindRightAlignSpacerViewer(TBarView* View) {
    if (!View) return nullptr;
    for (int i = View->GetViewerCount() - 1; i >= 0; --i) {
        TBarItemViewer* v = View->GetViewers(i);
        if (v->Show && gcl::is<TXtRightAlignSpacerItem>(v->GetItem())) return v;
    }
    return nullptr;
}

TBarItemViewer* MeasureRightAlignedItems(TBarView* View, std::vector<TBarItemViewer*>* List, bool Vertical,
                                         int& AfterSpacer, int& Total) {
    AfterSpacer = 0;
    Total = 0;
    TBarItemViewer* spacer = nullptr;
    if (!View) return nullptr;
    for (int i = 0; i < View->GetViewerCount(); ++i) {
        TBarItemViewer* v = View->GetViewers(i);
        if (!ShownItemViewer(v)) continue;
        const int length = LengthOf(v->BoundsRect, Vertical);
        Total += length;
        if (!spacer && gcl::is<TXtRightAlignSpacerItem>(v->GetItem())) spacer = v;
        if (!spacer) continue;
        AfterSpacer += length;
        if (List) List->push_back(v);
    }
    return spacer;
}

TBarItemViewer* FindViewerOfItem(TBarView* View, TBarCustomItem* Item) {
    if (!View || !Item) return nullptr;
    for (int i = 0; i < View->GetViewerCount(); ++i)
        if (View->GetViewers(i)->GetItem() == Item) return View->GetViewers(i);
    return nullptr;
}

TBarItemViewer* FindAdjacentViewer(TBarView* View, TBarItemViewer* Viewer, bool Forward, TXtItemTest Test) {
    if (!View) return nullptr;
    const int start = View->IndexOf(Viewer);
    if (start < 0) return nullptr;
    for (int i = start + (Forward ? 1 : -1); i >= 0 && i < View->GetViewerCount(); i += Forward ? 1 : -1) {
        TBarItemViewer* v = View->GetViewers(i);
        if (!Test || Test(v->GetItem())) return v;
    }
    return nullptr;
}

TBarControlItem* FindRootControlItem(TBarCustomItem* Root, gcl::TControl* Control) {
    if (!Root || !Control) return nullptr;
    for (int i = 0; i < Root->GetCount(); ++i)
        if (auto* item = dynamic_cast<TBarControlItem*>(Root->GetItem(i)))
            if (item->GetControl() == Control) return item;
    return nullptr;
}

TBarItemViewer* ViewerAtPoint(TBarCustomItem* Root, TBarView* View, TPoint Point, bool ResolveGroups) {
    if (!View) return nullptr;
    TBarItemViewer* viewer = View->ViewerFromPoint(Point);
    if (!viewer || gcl::is<TBarChevronItem>(viewer->GetItem())) return nullptr;
    if (ResolveGroups && Root && viewer->GetItem()->GetParent() != Root) {
        if (TBarItemViewer* group = GroupViewerBefore(Root, View, View->IndexOf(viewer))) return group;
    }
    return viewer;
}

void GetGroupViewerBounds(TBarItemViewer* Viewer, TBarCustomItem* Root, TRect& Rect) {
    Rect = Viewer ? Viewer->BoundsRect : TRect{};
    if (!Viewer || !Viewer->GetItem()->HasStyle(tbisEmbeddedGroup)) return;
    TBarView* view = Viewer->GetView();
    bool first = true;
    for (int i = view->IndexOf(Viewer) + 1; i < view->GetViewerCount(); ++i) {
        TBarItemViewer* v = view->GetViewers(i);
        if (v->GetItem()->GetParent() == Root) break;
        if (!v->Show || v->GetItem()->HasStyle(tbisEmbeddedGroup)) continue;
        if (first) Rect = v->BoundsRect;
        else gcl::UnionRect(Rect, Rect, v->BoundsRect);
        first = false;
    }
}

bool CalcDropPosition(TBarCustomItem* Root, TBarView* View, TPoint Point, TRect& DropMark, int& Index,
                      TBarItemViewer*& Viewer) {
    DropMark = TRect{};
    Index = -1;
    Viewer = ViewerAtPoint(Root, View, Point, true);
    if (!Viewer || !Root) return false;
    TRect bounds;
    bool after = false;
    Index = HalfIndex(Root, View, Viewer, Point, bounds, after);
    if (Index < 0) return false;
    const TRect client = View->GetWindow() ? View->GetWindow()->GetClientRect() : bounds;
    if (IsVerticalView(View)) {
        const int y = after ? bounds.Bottom : bounds.Top;
        DropMark = TRect{client.Left, y, client.Right, y + 4};
    } else {
        const int x = after ? bounds.Right : bounds.Left;
        DropMark = TRect{x, client.Top, x + 4, client.Bottom};
    }
    return true;
}

bool CalcTabDropIndex(TBarCustomItem* Root, TBarView* View, TPoint Point, int& Index, TBarItemViewer*& Viewer,
                      int DraggedIndex) {
    Index = -1;
    Viewer = ViewerAtPoint(Root, View, Point, true);
    if (!Viewer || !Root) return false;
    TRect bounds;
    bool after = false;
    Index = HalfIndex(Root, View, Viewer, Point, bounds, after);
    if (Index < 0) return false;
    if (DraggedIndex >= 0 && Index > DraggedIndex) --Index;
    return true;
}

void DrawDropMark(gcl::TCanvas* Canvas, const TRect& Rect) {
    if (!Canvas || gcl::IsRectEmpty(Rect)) return;
    const int l = Rect.Left, t = Rect.Top, r = Rect.Right, b = Rect.Bottom;
    Canvas->FillRect(TRect{l + 1, t, r - 1, t + 2});
    Canvas->FillRect(TRect{l + 1, b - 2, r - 1, b});
    Canvas->FillRect(TRect{l, t + 1, r, t + 3});
    Canvas->FillRect(TRect{l, b - 3, r, b - 1});
    Canvas->FillRect(TRect{l + 1, t + 4, r - 1, b - 4});
}

// ==== The popup menu ===============================================================================

GCL_IMPLEMENT_CLASS(TXtRootItem)
GCL_PUBLISHED(TXtPopupMenu, GCL_PROP(OnInitPopup))

TBarPopupWindowClass TXtRootItem::GetPopupWindowClass() { return TXtPopupWindow::StaticClass(); }

void TXtRootItem::InitPopupView(TBarPopupView* View) {
    if (auto* menu = dynamic_cast<TXtPopupMenu*>(GetOwner())) menu->DoInitPopup(View);
}

void TXtPopupMenu::DoInitPopup(TBarView* PopupView) {
    if (OnInitPopup) OnInitPopup(this, PopupView);
}

bool TXtPopupMenu::InternalPopup(int X, int Y, gcl::TControl* PopupControl, bool ReturnClickedItemOnly,
                                 TBarCustomItem*& ClickedItem) {
    static constexpr TBarPopupAnchor anchors[] = {tbpaLeft, tbpaRight, tbpaCenter};
    ClickedItem = nullptr;
    TRect exclude{X, Y, X, Y};
    if (PopupControl && PopupControl->GetParent()) {
        const TPoint topLeft = PopupControl->ClientToScreen(TPoint{0, 0});
        exclude = TRect{topLeft.X, topLeft.Y, topLeft.X + PopupControl->GetWidth(),
                        topLeft.Y + PopupControl->GetHeight()};
    }
    auto* root = gcl::as<TTxRootItem>(GetItems());
    auto* control = dynamic_cast<gcl::TWinControl*>(PopupControl);
    // The control hears of the close also when the menu loop raised.
    auto tellClosed = [this, control] {
        if (!control || !control->HandleAllocated()) return;
        PostMessageA(control->GetHandle(), CM_POPUPMENUCLOSED, reinterpret_cast<WPARAM>(this), 0);
        gcl::TMessage message{CM_POPUPMENUCLOSED, reinterpret_cast<uintptr_t>(this), 0, 0};
        control->Broadcast(message);
    };
    try {
        ClickedItem = root->PopupEx(exclude, anchors[GetAlignment()], ReturnClickedItemOnly,
                                    GetTrackButton() != gcl::tbLeftButton);
    } catch (...) {
        tellClosed();
        throw;
    }
    tellClosed();
    return true;
}

TBarCustomItem* TXtPopupMenu::PopupEx(int X, int Y, gcl::TControl* PopupControl, bool ReturnClickedItemOnly) {
    TBarCustomItem* clicked = nullptr;
    InternalPopup(X, Y, PopupControl, ReturnClickedItemOnly, clicked);
    return clicked;
}

void TXtPopupMenu::Popup(int X, int Y) { PopupEx(X, Y, nullptr, false); }

// ==== The system menu as items ==================================================================

bool CopyMenuToItems(HMENU Menu, TBarCustomItem* ParentItem) {
    if (!ParentItem || !Menu || !IsMenu(Menu)) return false;
    const int count = GetMenuItemCount(Menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;   // 23
        if (!GetMenuItemInfoW(Menu, static_cast<UINT>(i), TRUE, &info)) continue;
        if (info.fType & MFT_SEPARATOR) {
            ParentItem->Add(TXtSeparatorItem::Create(ParentItem->GetOwner()));
            continue;
        }
        TXtCustomItem* item = info.hSubMenu ? static_cast<TXtCustomItem*>(TXtSubmenuItem::Create(ParentItem->GetOwner()))
                                            : TXtItem::Create(ParentItem->GetOwner());
        item->SetCaption(GetWideMenuString(Menu, i));
        item->SetTag(static_cast<intptr_t>(info.wID));
        if (info.fState & (MFS_GRAYED | MFS_DISABLED)) item->SetEnabled(false);
        if (info.fState & MFS_CHECKED) item->SetChecked(true);
        if (info.fState & MFS_DEFAULT) {
            TBarItemOptions options = item->GetOptions();
            options.Include(tboDefault);
            item->SetOptions(options);
        }
        ParentItem->Add(item);
    }
    return true;
}

bool FillSystemMenuItems(gcl::TCustomForm* Form, bool ShowSize, bool ShowMinimize, TXtPopupMenu* Popup,
                         bool ShowClose, bool ShowMaximize) {
    if (!Form || !Popup) return false;
    if (!CopyMenuToItems(GetSystemMenu(Form->GetHandle(), FALSE), Popup->GetItems())) return false;
    Popup->SetImages(XtGlyphs);
    const bool maximized = IsZoomed(Form->GetHandle()) != 0;
    const bool normal = !maximized && !IsIconic(Form->GetHandle());
    TBarRootItem* items = Popup->GetItems();
    for (int i = 0; i < items->GetCount(); ++i) {
        TBarCustomItem* item = items->GetItem(i);
        item->SetEnabled(true);
        switch (item->GetTag()) {
        case SC_CLOSE: {
            item->SetVisible(ShowClose);
            TBarItemOptions options = item->GetOptions();
            options.Include(tboDefault);
            item->SetOptions(options);
            item->SetImageIndex(0);
            break;
        }
        case SC_MAXIMIZE:
            item->SetVisible(ShowMaximize);
            item->SetEnabled(!maximized);
            item->SetImageIndex(1);
            break;
        case SC_MINIMIZE:
            item->SetVisible(ShowMinimize);
            item->SetImageIndex(2);
            break;
        case SC_RESTORE:
            item->SetVisible(ShowMaximize);
            item->SetEnabled(!normal);
            item->SetImageIndex(3);
            break;
        case SC_MOVE: item->SetEnabled(!maximized); break;
        case SC_SIZE:
            item->SetVisible(ShowSize);
            item->SetEnabled(!maximized);
            break;
        default: break;
        }
    }
    Popup->SetPopupComponent(Form);
    return true;
}

int ShowSystemMenuPopup(gcl::TCustomForm* Form, TPoint Point, bool ShowSize, bool Execute,
                        TXtPopupEvent InitPopupEvent, bool ShowClose, bool ShowMaximize, bool ShowMinimize) {
    ReleaseCapture();
    std::unique_ptr<TXtPopupMenu, void (*)(TXtPopupMenu*)> popup(TXtPopupMenu::Create(nullptr),
                                                                [](TXtPopupMenu* menu) { menu->Free(); });
    if (!FillSystemMenuItems(Form, ShowSize, ShowMinimize, popup.get(), ShowClose, ShowMaximize)) return 0;
    if (InitPopupEvent) popup->OnInitPopup = InitPopupEvent;
    TBarCustomItem* clicked = popup->PopupEx(Point.X, Point.Y, nullptr, true);
    if (!clicked) return 0;
    const int command = static_cast<int>(clicked->GetTag());
    // An entry the program added to the system menu is an ordinary item.
    if (command < SC_SIZE || command > SC_CONTEXTHELP) clicked->Click();
    if (!Execute || command < 1) return command;
    switch (command) {
    case SC_MAXIMIZE: Form->SetWindowState(gcl::wsMaximized); break;
    case SC_RESTORE: Form->SetWindowState(gcl::wsNormal); break;
    case SC_CLOSE:
    case SC_SIZE:
    case SC_MOVE:
    case SC_MINIMIZE: Form->Perform(WM_SYSCOMMAND, static_cast<uintptr_t>(command), 0); break;
    default: break;
    }
    return command;
}

} // namespace qelvo
