// Themed popups, toolbars, docks and floating windows: frames and
// backgrounds through the theme, view types and effective colours,
// theme-change steps, popup shadows and animation, the popup menu opened
// for a rectangle, snapping floating windows and the class registration.
#include "theming/TxBars.h"

#include <algorithm>
#include <random>

#include "gcl/Forms.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/SysInfo.h"
#include "theming/TxDockPanels.h"
#include "theming/TxExtItems.h"
#include "theming/TxUtils.h"
#include "toolbar/BarAnim.h"

namespace qelvo {

using gcl::TCanvas;

namespace {

// The window rectangle of Wnd moved to (0, 0).
TRect WindowBox(HWND Wnd) {
    RECT r{};
    GetWindowRect(Wnd, &r);
    return TRect{0, 0, r.right - r.left, r.bottom - r.top};
}

// Excludes the client area of Wnd (in window coordinates) from DC's clip.
void ExcludeClient(HWND Wnd, HDC DC) {
    RECT wr{}, cr{};
    GetWindowRect(Wnd, &wr);
    GetClientRect(Wnd, &cr);
    POINT origin{0, 0};
    ClientToScreen(Wnd, &origin);
    const int x = origin.x - wr.left;
    const int y = origin.y - wr.top;
    ExcludeClipRect(DC, x, y, x + cr.right, y + cr.bottom);
}

TRect ScreenRectOf(gcl::TWinControl* Window, TRect R) {
    if (Window && Window->HandleAllocated())
        MapWindowPoints(Window->GetHandle(), nullptr, reinterpret_cast<POINT*>(&R), 2);
    return R;
}

bool NTFamilyFrom5() {
    return gcl::Win32Platform == gcl::PlatformWin32NT && gcl::Win32MajorVersion >= 5;
}

// A system switch that counts as on when the query succeeds and answers
// a non-zero Boolean.
bool SystemSwitch(UINT Action) {
    BOOL value = FALSE;
    return SystemParametersInfoA(Action, 0, &value, 0) && value;
}

TTxMenuAnimation* GMenuAnimation = nullptr;

} // namespace

void BroadcastParentColor(gcl::TWinControl* Control, TColor Color) {
    for (int i = 0; i < Control->GetControlCount(); ++i)
        Control->GetControls(i)->Perform(gcl::CM_PARENTCOLORCHANGED, 1, static_cast<LPARAM>(Color));
}

void TellInsertedControlColor(gcl::TWinControl* Control, const gcl::TMessage& Message, TColor Color) {
    if (Message.LParam && Control->GetColor() == clNone)
        if (auto* control = reinterpret_cast<gcl::TControl*>(Message.WParam))
            control->Perform(gcl::CM_PARENTCOLORCHANGED, 1, static_cast<LPARAM>(Color));
}

// ==== Popup windows =============================================================================

GCL_IMPLEMENT_CLASS(TTxPopupView)
GCL_IMPLEMENT_CLASS(TTxPopupWindow)
GCL_IMPLEMENT_CLASS(TTxChevronPopupWindow)

TTxPopupWindow::~TTxPopupWindow() = default;

void TTxPopupWindow::AfterConstruction() {
    inherited::AfterConstruction();
    AddThemeListener(this);
}

void TTxPopupWindow::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    DestroyShadow();
    inherited::BeforeDestruction();
}

uint32_t TTxPopupWindow::ViewType() {
    if (gcl::is<TTxChevronPopupWindow>(this)) return VT_CHEVRONPOPUP;
    TBarCustomItem* item = GetView() ? GetView()->GetParentItem() : nullptr;
    if (gcl::is<TTxEditItem>(item)) return VT_TOOLBOXPOPUP;
    if (auto* ti = dynamic_cast<TTxCustomItem*>(item); ti && ti->GetToolBoxPopup()) return VT_TOOLBOXPOPUP;
    return VT_POPUPMENU;
}

bool TTxPopupWindow::CanDrawShadow() { return !IsViewKind(ViewType(), VT_LISTPOPUP); }

void TTxPopupWindow::CreateParams(gcl::TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.WindowClass.style &= ~(CS_DROPSHADOW | CS_DBLCLKS);
    if (CanDrawShadow() && CurrentTheme->PopupShadowKind() == 1 && IsWindowsXP()) {
        Params.WindowClass.style |= CS_DROPSHADOW;
        const size_t len = strlen(Params.WinClassName);
        if (len + 1 < sizeof Params.WinClassName) {
            Params.WinClassName[len] = 'S';
            Params.WinClassName[len + 1] = '\0';
        }
    }
}

void TTxPopupWindow::GetNCSize(gcl::TPoint& Size) {
    inherited::GetNCSize(Size);
    CurrentTheme->ViewBorder(ViewType(), Size);
}

TBarItemViewer* TTxPopupWindow::OpeningViewer(bool ForShadow) {
    TBarView* parent = GetView() ? GetView()->GetParentView() : nullptr;
    if (!parent || parent->GetOpenChildWindow() != this) return nullptr;
    TBarItemViewer* viewer = parent->GetOpenViewer();
    if (!viewer) return nullptr;
    if (gcl::is<TTxChevronPopupWindow>(this)) return viewer;
    auto* themed = dynamic_cast<TTxItemViewer*>(viewer);
    if (!themed) return nullptr;
    if (themed->IsToolbarStyle()) return viewer;
    return ForShadow && !parent->GetIsPopup() ? viewer : nullptr;
}

void TTxPopupWindow::PaintNC(HDC DC) {
    const HWND wnd = GetHandle();
    TTxPopupFrameInfo info;
    info.WindowHandle = wnd;
    info.ViewType = ViewType();
    RECT wr{};
    GetWindowRect(wnd, &wr);
    TRect parentRect;
    if (TBarItemViewer* viewer = OpeningViewer(false))
        parentRect = ScreenRectOf(viewer->GetView()->GetWindow(), viewer->BoundsRect);
    else if (!gcl::IsRectEmpty(FParentRect))
        parentRect = FParentRect;
    if (!gcl::IsRectEmpty(parentRect)) {
        gcl::OffsetRect(parentRect, -wr.left, -wr.top);
        info.ParentItemRect = parentRect;
    }
    CurrentTheme->ViewBorder(info.ViewType, info.BorderSize);
    const int saved = SaveDC(DC);
    ExcludeClient(wnd, DC);
    TDCCanvas canvas(DC);
    CurrentTheme->PaintPopupFrame(canvas.Get(), WindowBox(wnd), info);
    RestoreDC(DC, saved);
}

void TTxPopupWindow::EraseBackground(HDC DC) {
    const uint32_t viewType = ViewType();
    const TColor colour = CurrentTheme->ViewColor(viewType);
    if (GetView()) GetView()->SetBackgroundColor(colour);
    const TRect client = GetClientRect();
    RECT clip{};
    GetClipBox(DC, &clip);
    TDCCanvas canvas(DC);
    CurrentTheme->PaintBackground(canvas.Get(), client, client, gcl::FromRECT(clip), colour, false, viewType);
}

void TTxPopupWindow::PaintScrollArrows() {
    TBarPopupView* view = GetView();
    if (view && view->GetViewerCount() > 0 && (view->GetShowUpArrow() || view->GetShowDownArrow())) {
        TBarItemViewer* first = view->GetViewers(0);
        const int margin = first ? GetPopupMargin(first) : -1;
        if (margin >= 1) {
            TTxItemInfo info{};
            info.ViewType = VT_POPUPMENU;
            info.Enabled = true;
            info.PopupMargin = margin;
            const TRect cr = GetClientRect();
            if (view->GetShowUpArrow())
                CurrentTheme->PaintMenuItemFrame(GetCanvas(), TRect{0, 0, cr.Right, ScrollArrowHeight}, info);
            if (view->GetShowDownArrow())
                CurrentTheme->PaintMenuItemFrame(GetCanvas(),
                                                 TRect{0, cr.Bottom - ScrollArrowHeight, cr.Right, cr.Bottom}, info);
        }
    }
    inherited::PaintScrollArrows();
}

void TTxPopupWindow::CreateShadow() {
    const int kind = CurrentTheme->PopupShadowKind();
    if (kind == 3 && !NTFamilyFrom5()) return;
    TRect parentRect;
    if (kind == 2) {
        if (TBarItemViewer* viewer = OpeningViewer(true))
            parentRect = ScreenRectOf(viewer->GetView()->GetWindow(), viewer->BoundsRect);
        else if (!gcl::IsRectEmpty(FParentRect))
            parentRect = FParentRect;
    }
    RECT wr{};
    GetWindowRect(GetHandle(), &wr);
    DestroyShadow();
    FShadows = std::make_unique<TShadows>(parentRect, gcl::FromRECT(wr), 4, 61, LowColorDepth);
    FShadows->Show(GetHandle());
}

void TTxPopupWindow::DestroyShadow() noexcept { FShadows.reset(); }

void TTxPopupWindow::ShowingChanged() {
    const HWND wnd = GetHandle();
    TTxMenuAnimation* animation = MenuAnimation();
    if (MayAnimateShow() && animation && animation->GetAnimationMode() != 0 &&
        SendMessageA(wnd, WM_POPUP_SHOWING, 1, 0) == 0) {
        const uint8_t kind = animation->GetAnimation();
        if (kind != 0) {
            uint8_t direction = GetSlideDirection();
            if (kind == 1) direction |= (direction & (tbadDownward | tbadUpward)) == 0 ? tbadDownward : tbadRightward;
            StartPopupAnimation(wnd, kind == 3, direction);
            return;
        }
    }
    ShowWithoutAnimation(GetShowing());
}

void TTxPopupWindow::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_POPUP_SHOWING:
        inherited::Dispatch(Message);
        if ((Message.WParam == 2 || Message.WParam == 3) && !IsDestroying(this) && CanDrawShadow()) {
            const int kind = CurrentTheme->PopupShadowKind();
            if (kind == 2 || kind == 3) CreateShadow();
        }
        return;
    case WM_WINDOWPOSCHANGED: {
        inherited::Dispatch(Message);
        auto* pos = reinterpret_cast<WINDOWPOS*>(Message.LParam);
        // The shadows go with the popup: one hidden while it lives on (a
        // menu closed by a box that a handler shows from inside the menu's
        // loop) would leave them standing on the screen until the loop
        // ends and frees it.
        if (FShadows && pos && (pos->flags & SWP_HIDEWINDOW)) {
            DestroyShadow();
        } else if (FShadows && pos && !(pos->flags & SWP_SHOWWINDOW)) {
            DestroyShadow();
            CreateShadow();
        }
        return;
    }
    case gcl::CM_SHOWINGCHANGED: ShowingChanged(); return;
    case WM_SKIN_VIEWTYPE: Message.Result = static_cast<LRESULT>(ViewType()); return;
    case WM_SKIN_THEMECHANGE:
        // An open popup takes the new theme's frame and colours.
        if (Message.WParam == 3 && HandleAllocated()) {
            if (GetView()) GetView()->InvalidatePositions();
            SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            RedrawWindow(GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        }
        return;
    case WM_ERASEBKGND:
        CancelPopupAnimation(GetWindowHandle());
        EraseBackground(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return;
    case gcl::CM_HINTSHOW:
        inherited::Dispatch(Message);
        if (GetView() && GetView()->GetSelected()) GetView()->GetSelected()->Dispatch(Message);
        return;
    default: break;
    }
    inherited::Dispatch(Message);
}

// ==== Menu animation ============================================================================

TTxMenuAnimation::TTxMenuAnimation(uint8_t Mode) { SetAnimationMode(Mode); }

uint8_t TTxMenuAnimation::GetAvailableModes() {
    uint8_t modes = 1;
    const bool nt5 = NTFamilyFrom5();
    const bool win98 = gcl::Win32Platform == gcl::PlatformWin32Windows &&
                       (gcl::Win32MajorVersion > 4 || (gcl::Win32MajorVersion == 4 && gcl::Win32MinorVersion >= 10));
    if (nt5 || win98) modes |= 0x1E;
    if (nt5) modes |= 0x20;
    return modes;
}

void TTxMenuAnimation::SetAnimationMode(uint8_t Mode) {
    Mode = std::min<uint8_t>(Mode, 5);
    const uint8_t available = GetAvailableModes();
    while (Mode > 0 && !(available & (1u << Mode))) --Mode;
    if (Mode == 1 && !SystemSwitch(SPI_GETMENUANIMATION)) Mode = 0;
    FAnimationMode = Mode;
}

uint8_t TTxMenuAnimation::GetAnimation() {
    switch (FAnimationMode) {
    case 1:
        if (!SystemSwitch(SPI_GETMENUANIMATION)) return 0;
        return SystemSwitch(SPI_GETMENUFADE) ? 3 : 2;
    case 2: {
        static std::minstd_rand generator{std::random_device{}()};
        const int top = (GetAvailableModes() & 0x20) ? 3 : 2;
        return static_cast<uint8_t>(std::uniform_int_distribution<int>(1, top)(generator));
    }
    case 3: return 1;
    case 4: return 2;
    case 5: return 3;
    default: return 0;
    }
}

TTxMenuAnimation* MenuAnimation() noexcept { return GMenuAnimation; }

// ==== Toolbar view, chevron ======================================================================

GCL_IMPLEMENT_CLASS(TTxToolbarView)
GCL_IMPLEMENT_CLASS(TTxChevronItem)
GCL_IMPLEMENT_CLASS(TTxChevronItemViewer)

void TTxToolbarView::GetMargins(TBarViewOrientation AOrientation, gcl::TRect& Margins) {
    uint32_t viewType = QueryControlViewType(GetWindow());
    if (!(IsViewKind(viewType, VT_DOCKPANELGROUP) && !(viewType & VT_TOOLBARGROUP))) {
        if (AOrientation == tbvoFloating) viewType |= VT_FLOATING;
        else viewType &= ~VT_FLOATING;
    }
    TTxMarginRect m;
    CurrentTheme->ViewMargins(viewType, m);
    Margins = TRect{m.LeftWidth, m.TopHeight, m.RightWidth, m.BottomHeight};
}

TBarItemViewerClass TTxChevronItem::GetItemViewerClass(TBarView*) { return TTxChevronItemViewer::StaticClass(); }
TBarPopupWindowClass TTxChevronItem::GetPopupWindowClass() { return TTxChevronPopupWindow::StaticClass(); }

void TTxChevronItem::GetPopupPosition(TBarView* ParentView, TBarPopupWindow* PopupWindow, TBarPopupPositionRec& Rec) {
    ThemedPopupPosition(ParentView, PopupWindow, Rec, false, &BaseItemPlacement, this);
}

void TTxChevronItemViewer::Paint(TCanvas* Canvas, TRect R, bool IsSelected, bool IsPushed, bool) {
    TTxItemInfo info{};
    info.ViewType = QueryViewType(FView);
    info.ItemOptions = IO_TOOLBARSTYLE;
    if (FItem->GetComponentState().Contains(gcl::csDesigning)) info.ItemOptions |= IO_DESIGNING;
    info.Enabled = FItem->GetEnabled() || FView->GetCustomizing();
    info.Pushed = IsPushed;
    info.PopupOpen = IsPushed;
    info.HoverKind = ViewerHoverKind(this, IsSelected, FItem->GetEnabled());
    info.IsVertical = FView->GetOrientation() == tbvoVertical;
    CurrentTheme->PaintChevron(Canvas, R, info);
}

// ==== The toolbar ================================================================================

GCL_PUBLISHED(TTxToolbar,
    GCL_PROP(Color).Default(clNone).Idents(gcl::ColorIdents),
    GCL_PROP(ItemTransparency).Default(itAuto),
    GCL_PROP(SnapDistance).Default(0))

void TTxToolbar::AfterConstruction() {
    inherited::AfterConstruction();
    AddThemeListener(this);
    FEffectiveColor = GetColor();
    SetColor(clNone);
    gcl::TControlStyle style = GetControlStyle();
    style.Exclude(gcl::csOpaque);
    SetControlStyle(style);
    UpdateEffectiveColor();
}

void TTxToolbar::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    inherited::BeforeDestruction();
}

TBarToolbarView* TTxToolbar::CreateView() {
    return TTxToolbarView::Create(this, nullptr, GetRootItem(), this, true, false,
                                  !GetComponentState().Contains(gcl::csDesigning));
}

gcl::TMetaClass const* TTxToolbar::GetFloatingWindowParentClass() { return TTxFloatingWindowParent::StaticClass(); }

uint32_t TTxToolbar::ViewType() {
    uint32_t viewType = GetMenuBar() ? VT_MENUBAR : VT_TOOLBAR;
    if (GetFloating()) viewType |= VT_FLOATING;
    if (GetResizable()) viewType |= VT_SIZABLE;
    if (FItemTransparency == itDisable || (FItemTransparency == itAuto && !GetFloating() && !GetDocked()))
        viewType |= VT_OPAQUE;
    return viewType;
}

void TTxToolbar::UpdateEffectiveColor() {
    if (GetColor() != clNone) FEffectiveColor = GetColor();
    else if (!GetFloating() && !GetDocked() && GetParent()) FEffectiveColor = QueryEffectiveColor(GetParent());
    else FEffectiveColor = CurrentTheme->ViewColor(ViewType());
    if (GetView()) GetView()->SetBackgroundColor(FEffectiveColor);
}

void TTxToolbar::SetItemTransparency(TTxItemTransparency Value) { StoreAndInvalidate(FItemTransparency, Value); }

void TTxToolbar::SetSnapDistance(int Value) {
    Value = std::max(Value, 0);
    if (Value == FSnapDistance) return;
    FSnapDistance = Value;
    if (auto* fp = dynamic_cast<TTxFloatingWindowParent*>(GetParent())) fp->SetSnapDistance(Value);
}

void TTxToolbar::SetParent(gcl::TWinControl* AParent) {
    inherited::SetParent(AParent);
    if (auto* fp = dynamic_cast<TTxFloatingWindowParent*>(AParent)) fp->SetSnapDistance(FSnapDistance);
    if (!IsDestroying(this)) UpdateEffectiveColor();
}

void TTxToolbar::Loaded() {
    inherited::Loaded();
    UpdateEffectiveColor();
}

gcl::TPoint TTxToolbar::GetFloatingBorderSize() {
    gcl::TPoint border;
    CurrentTheme->ViewBorder(ViewType() | VT_FLOATING, border);
    return border;
}

void TTxToolbar::GetToolbarFrameInfo(TTxToolbarFrameInfo& Info) {
    Info = TTxToolbarFrameInfo{};
    Info.WindowHandle = HandleAllocated() ? GetHandle() : nullptr;
    Info.ViewType = ViewType();
    TBarDock* dock = GetCurrentDock();
    Info.IsVertical = dock && dock->IsLeftRight();
    Info.AllowDrag = dock && dock->GetAllowDrag();
    Info.BorderStyle = GetDockedBorderStyle() == gcl::bsSingle ? 1 : 0;
    CurrentTheme->ViewBorder(Info.ViewType, Info.BorderSize);
    Info.ClientWidth = GetClientWidth();
    Info.ClientHeight = GetClientHeight();
    Info.DragHandleStyle = static_cast<int>(GetDragHandleStyle());
    if (Info.AllowDrag && GetCloseButtonWhenDocked()) {
        Info.CloseButtonState = CDBS_VISIBLE;
        if (GetCloseButtonDown()) Info.CloseButtonState |= CDBS_PRESSED;
        else if (GetCloseButtonHover()) Info.CloseButtonState |= CDBS_HOT;
    }
    Info.EffectiveColor = FEffectiveColor;
}

void TTxToolbar::DrawNCArea(HDC DC) {
    if (!GetDocked() || !HandleAllocated()) return;
    const HWND wnd = GetHandle();
    const int saved = SaveDC(DC);
    ExcludeClient(wnd, DC);
    TDCCanvas canvas(DC);
    canvas->GetBrush()->SetColor(FEffectiveColor);
    const TRect box = WindowBox(wnd);
    TBarDock* dock = GetCurrentDock();
    if (!CurrentTheme->BooleanMetric(6)) {
        if (dock->UsingBackground()) {
            // The dock's background under the frame (the window's corner
            // lies at the bar's position on the dock).
            dock->DrawBackgroundAt(DC, TPoint{GetLeft(), GetTop()}, box);
            if (GetColor() == clNone && dock->GetBackgroundOnToolbars()) canvas->GetBrush()->SetStyle(gcl::bsClear);
        } else {
            FillRectColor(DC, box, QueryEffectiveColor(dock));
        }
    }
    TTxToolbarFrameInfo info;
    GetToolbarFrameInfo(info);
    CurrentTheme->PaintToolbarFrame(canvas.Get(), box, info);
    RestoreDC(DC, saved);
}

void TTxToolbar::EraseBackground(HDC DC) {
    const TRect client = GetClientRect();
    TRect dockRect;
    bool transparent = false;
    TBarDock* dock = GetDocked() ? GetCurrentDock() : nullptr;
    TPoint origin;   // the client origin on the dock
    if (dock) {
        dockRect = dock->GetClientRect();
        origin = dock->ScreenToClient(ClientToScreen(TPoint{0, 0}));
        gcl::OffsetRect(dockRect, -origin.X, -origin.Y);
    }
    if (GetColor() == clNone) {
        if (dock && dock->UsingBackground() && dock->GetBackgroundOnToolbars() && !CurrentTheme->BooleanMetric(7)) {
            // The colour first: a background the system cannot draw into a
            // memory bitmap (an item painted off-screen) leaves it showing.
            FillRectColor(DC, client, FEffectiveColor);
            dock->DrawBackgroundAt(DC, origin, client);
            transparent = true;
        } else if (!GetDocked() && !GetFloating()) {
            qelvo::DrawParentBackground(this, DC, client);
            transparent = true;
        }
    }
    TDCCanvas canvas(DC);
    CurrentTheme->PaintBackground(canvas.Get(), dockRect, client, client, FEffectiveColor, transparent, ViewType());
}

void TTxToolbar::ThemeChanged(uintptr_t Step) {
    switch (Step) {
    case 1:
        BeginUpdate();
        // The dock arranges its bars once, after the last of them.
        if (GetDocked()) {
            FThemeDock = GetCurrentDock();
            FThemeDock->BeginUpdate();
        }
        break;
    case 3: {
        EndUpdate();
        UpdateEffectiveColor();
        if (GetFloating() && GetFloatParent()) RefreshFrame(GetFloatParent());
        else if (HandleAllocated())
            SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (GetView()) GetView()->InvalidatePositions();
        Invalidate();
        Arrange();
        BroadcastParentColor(this, FEffectiveColor);
        if (TBarDock* dock = FThemeDock.Get()) {
            FThemeDock = nullptr;
            dock->EndUpdate();
        }
        break;
    }
    case 4:
    case 5:
        if (GetMenuBar()) Invalidate();
        break;
    default: break;
    }
}

void TTxToolbar::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_SKIN_VIEWTYPE: Message.Result = static_cast<LRESULT>(ViewType()); return;
    case WM_SKIN_EFFECTIVECOLOR:
        Message.WParam = static_cast<uintptr_t>(FEffectiveColor);
        Message.Result = 1;
        return;
    case WM_SKIN_THEMECHANGE: ThemeChanged(Message.WParam); return;
    case gcl::CM_COLORCHANGED:
        inherited::Dispatch(Message);
        UpdateEffectiveColor();
        if (GetDocked() && HandleAllocated()) RedrawWindow(GetHandle(), nullptr, nullptr, ThemeRedrawFlags);
        BroadcastParentColor(this, FEffectiveColor);
        Invalidate();
        return;
    case gcl::CM_CONTROLCHANGE:
        inherited::Dispatch(Message);
        TellInsertedControlColor(this, Message, FEffectiveColor);
        return;
    case gcl::CM_PARENTCOLORCHANGED:
        if (!GetDocked() && !GetFloating() && GetColor() == clNone) {
            UpdateEffectiveColor();
            if (Message.WParam == 0) {
                Message.WParam = 1;
                Message.LParam = static_cast<intptr_t>(FEffectiveColor);
            }
        }
        inherited::Dispatch(Message);
        Invalidate();
        return;
    case WM_ERASEBKGND:
        EraseBackground(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return;
    case WM_SIZE: {
        inherited::Dispatch(Message);
        auto* dock = dynamic_cast<TTxDock*>(GetDocked() ? GetCurrentDock() : nullptr);
        if (dock && dock->UsingBackground() && dock->GetBackgroundOnToolbars() && !dock->GetSizing() &&
            HandleAllocated()) {
            HRGN region = CreateRectRgn(0, 0, GetClientWidth(), GetClientHeight());
            for (int i = 0; i < GetControlCount(); ++i) {
                gcl::TControl* c = GetControls(i);
                if (!c->GetVisible()) continue;
                HRGN hole = CreateRectRgn(c->GetLeft(), c->GetTop(), c->GetLeft() + c->GetWidth(),
                                          c->GetTop() + c->GetHeight());
                CombineRgn(region, region, hole, RGN_DIFF);
                DeleteObject(hole);
            }
            InvalidateRgn(GetHandle(), region, TRUE);
            DeleteObject(region);
        }
        return;
    }
    default: break;
    }
    inherited::Dispatch(Message);
}

// ==== The popup menu =============================================================================

GCL_IMPLEMENT_CLASS(TTxRootItem)
GCL_IMPLEMENT_CLASS(TTxPopupMenu)

TBarPopupWindowClass TTxRootItem::GetPopupWindowClass() { return TTxPopupWindow::StaticClass(); }

namespace {
void RootItemBasePlacement(void* Item, TBarView* ParentView, TBarPopupWindow* PopupWindow, TBarPopupPositionRec& Rec) {
    auto* root = static_cast<TTxRootItem*>(Item);
    const TRect& pr = root->GetPopupRect();
    if (gcl::IsRectEmpty(pr)) {
        root->TBarCustomItem::GetPopupPosition(ParentView, PopupWindow, Rec);
        return;
    }
    const TRect work = MonitorRectOfRect(pr, true);
    if (Rec.Y + Rec.H > work.Bottom && pr.Top - Rec.H >= work.Top) Rec.Y = pr.Top - Rec.H;
    Rec.Y = std::max(work.Top, std::min(Rec.Y, work.Bottom - Rec.H));
    if (Rec.Alignment == tbpaRight) Rec.X = pr.Right - Rec.W;
    Rec.X = std::max(work.Left, std::min(Rec.X, work.Right - Rec.W));
}
} // namespace

void TTxRootItem::GetPopupPosition(TBarView* ParentView, TBarPopupWindow* PopupWindow, TBarPopupPositionRec& Rec) {
    ThemedPopupPosition(ParentView, PopupWindow, Rec, true, &RootItemBasePlacement, this);
}

TBarPopupWindow* TTxRootItem::CreatePopupEx(bool SelectFirstItem, const TRect& ExcludeRect,
                                            TBarPopupAnchor Alignment) {
    const TRect saved = FPopupRect;
    FPopupRect = ExcludeRect;
    TBarPopupWindow* window = nullptr;
    try {
        window = CreatePopup(nullptr, nullptr, false, SelectFirstItem, false,
                             gcl::TPoint{ExcludeRect.Left, ExcludeRect.Bottom}, Alignment);
    } catch (...) {
        FPopupRect = saved;
        throw;
    }
    if (auto* themed = dynamic_cast<TTxPopupWindow*>(window)) themed->SetParentRect(FPopupRect);
    FPopupRect = saved;
    return window;
}

TBarCustomItem* TTxRootItem::PopupEx(const TRect& ExcludeRect, TBarPopupAnchor Alignment, bool ReturnClickedItemOnly,
                                     bool TrackRightButton) {
    TBarDoneActionData data;
    {
        TBarModalHandler handler(nullptr);
        TBarPopupWindow* window = CreatePopupEx(false, ExcludeRect, Alignment);
        try {
            TBarPopupView* view = window->GetView();
            view->SetState(view->GetState() | vsIgnoreFirstMouseUp);
            handler.SetTopPopup(window);
            InitPopupView(view);
            handler.RunMenuLoop(view, false, false, false, TrackRightButton);
            view->SetState(static_cast<TBarViewState>(view->GetState() & ~vsIgnoreFirstMouseUp));
            data = view->DoneAction();
        } catch (...) {
            handler.SetTopPopup(nullptr);
            window->Free();
            throw;
        }
        handler.SetTopPopup(nullptr);
        window->Free();
    }
    return ProcessDoneAction(data, ReturnClickedItemOnly);
}

TBarCustomItem* TTxPopupMenu::PopupAtRect(const TRect& Rect, bool ReturnClickedItemOnly) {
    static constexpr TBarPopupAnchor anchors[] = {tbpaLeft, tbpaRight, tbpaCenter};
    // The menu's popup point is the rectangle's bottom-left corner.
    SetPopupPoint(gcl::Point(Rect.Left, Rect.Bottom));
    auto* root = gcl::as<TTxRootItem>(GetItems());
    return root->PopupEx(Rect, anchors[GetAlignment()], ReturnClickedItemOnly);
}

// ==== The floating window =======================================================================

GCL_IMPLEMENT_CLASS(TTxFloatingWindowParent)

void SnapToWorkArea(int& X, int& Y, int W, int H, const TRect& WorkArea, int Snap) {
    if (Snap <= 0) return;
    if (std::abs(X + W - WorkArea.Right) < Snap) X = WorkArea.Right - W;
    if (std::abs(Y + H - WorkArea.Bottom) < Snap) Y = WorkArea.Bottom - H;
    if (std::abs(X - WorkArea.Left) < Snap) X = WorkArea.Left;
    if (std::abs(Y - WorkArea.Top) < Snap) Y = WorkArea.Top;
}

uint32_t DockableViewType(TBarCustomDockableWindow* Bar) { return QueryControlViewType(Bar); }

TColor DockableEffectiveColor(TBarCustomDockableWindow* Bar) { return QueryEffectiveColor(Bar); }

std::string TTxFloatingWindowParent::FrameCaption() {
    TBarCustomDockableWindow* bar = GetDockableWindow();
    return bar ? gcl::TControlSeam::GetText(bar) : std::string();
}

void TTxFloatingWindowParent::DrawNCArea(HDC DC, int RedrawWhat) {
    TBarCustomDockableWindow* bar = GetDockableWindow();
    if (!bar || !HandleAllocated()) return;
    const HWND wnd = GetHandle();
    const int saved = SaveDC(DC);
    TTxFloatingFrameInfo info;
    info.WindowHandle = wnd;
    info.ParentHandle = bar->HandleAllocated() ? bar->GetHandle() : nullptr;
    info.ViewType = DockableViewType(bar);
    info.ClientWidth = GetClientWidth();
    info.ClientHeight = GetClientHeight();
    info.ShowCaption = bar->GetShowCaption();
    info.BorderSize = bar->GetFloatingBorderSize();
    if (bar->GetCloseButton() && bar->GetShowCaption()) {
        info.CloseButtonState = CDBS_VISIBLE;
        if (GetCloseButtonDown()) info.CloseButtonState |= CDBS_PRESSED;
        else if (FCloseButtonHot) info.CloseButtonState |= CDBS_HOT;
    }
    info.RedrawPart = static_cast<uint32_t>(RedrawWhat);
    info.Caption = FrameCaption();
    info.EffectiveColor = DockableEffectiveColor(bar);
    info.Active = !bar->GetInactiveCaption();
    ExcludeClient(wnd, DC);
    TDCCanvas canvas(DC);
    CurrentTheme->PaintFloatingFrame(canvas.Get(), WindowBox(wnd), info);
    RestoreDC(DC, saved);
}

void TTxFloatingWindowParent::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCMOUSEMOVE: {
        inherited::Dispatch(Message);
        if (!GetDockableWindow()) return;
        if (NTFamilyFrom5() || gcl::Win32Platform == gcl::PlatformWin32Windows)
            CallTrackMouseEvent(GetHandle(), TME_LEAVE | TME_NONCLIENT);
        const bool hot = Message.WParam == HT_TB2K_CLOSEBUTTON;
        if (hot != FCloseButtonHot) {
            FCloseButtonHot = hot;
            if (HandleAllocated() && IsWindowVisible(GetHandle())) RedrawNCArea(RP_CLOSEBUTTON);
        }
        return;
    }
    case WM_NCMOUSELEAVE:
    case gcl::CM_MOUSELEAVE:
        inherited::Dispatch(Message);
        if (FCloseButtonHot) {
            FCloseButtonHot = false;
            RedrawNCArea(RP_CLOSEBUTTON);
        }
        return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(Message.LParam);
        if (FSnapDistance > 0 && pos && !(pos->flags & SWP_NOMOVE) && HandleAllocated()) {
            RECT wr{};
            GetWindowRect(GetHandle(), &wr);
            const int w = wr.right - wr.left;
            const int h = wr.bottom - wr.top;
            if ((pos->flags & SWP_NOSIZE) || (pos->cx == w && pos->cy == h)) {
                const TRect work = MonitorRectOfRect(gcl::FromRECT(wr), true);
                SnapToWorkArea(pos->x, pos->y, w, h, work, FSnapDistance);
            }
        }
        break;
    }
    default: break;
    }
    inherited::Dispatch(Message);
}

// ==== Docks =====================================================================================

GCL_PUBLISHED(TTxDock,
    GCL_PROP(Color).Default(clNone).Idents(gcl::ColorIdents),
    GCL_PROP(UseParentBackground).Default(false))

void TTxDock::AfterConstruction() {
    inherited::AfterConstruction();
    SetColor(clNone);
    AddThemeListener(this);
}

void TTxDock::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    inherited::BeforeDestruction();
}

bool TTxDock::ThemedBackground() {
    if ((GetBackground() && GetBackground()->UsingBackground()) || GetColor() != clNone) return false;
    return CurrentTheme->BooleanMetric(5);
}

bool TTxDock::UsingBackground() {
    return FUseParentBackground || (ThemedBackground() && !FMoving) || inherited::UsingBackground();
}

void TTxDock::DrawBackground(HDC DC, const TRect& DrawRect) {
    if (!FUseParentBackground && !ThemedBackground()) {
        inherited::DrawBackground(DC, DrawRect);
        return;
    }
    // DrawRect's corner is the parent's client origin in DC coordinates:
    // the dock's own client area lies at its position from there.
    TPoint offset{GetLeft(), GetTop()};
    if (HandleAllocated() && GetParent() && GetParent()->HandleAllocated())
        offset = GetParent()->ScreenToClient(ClientToScreen(TPoint{0, 0}));
    const TPoint corner{DrawRect.Left + offset.X, DrawRect.Top + offset.Y};
    const int saved = SaveDC(DC);
    OffsetViewportOrgEx(DC, corner.X, corner.Y, nullptr);
    try {
        if (FUseParentBackground) {
            qelvo::DrawParentBackground(this, DC, GetClientRect());
        } else {
            TRect drawRect = DrawRect;
            gcl::OffsetRect(drawRect, -corner.X, -corner.Y);
            TDCCanvas canvas(DC);
            CurrentTheme->PaintDockBackground(canvas.Get(), GetClientRect(), drawRect,
                                              static_cast<int>(GetPosition()) + 1);
        }
    } catch (...) {
        RestoreDC(DC, saved);
        throw;
    }
    RestoreDC(DC, saved);
}

void TTxDock::SetUseParentBackground(bool Value) {
    if (Value == FUseParentBackground) return;
    FUseParentBackground = Value;
    if (HandleAllocated())
        RedrawWindow(GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void TTxDock::RepaintToolbars() {
    if (!HandleAllocated()) return;
    InvalidateRect(GetHandle(), nullptr, TRUE);
    for (int i = 0; i < GetToolbarCount(); ++i) {
        auto* bar = dynamic_cast<TTxToolbar*>(GetToolbars(i));
        if (!bar || !bar->HandleAllocated() || !bar->GetView()) continue;
        TBarView* view = bar->GetView();
        std::vector<RECT> rects;
        for (int k = 0; k < view->GetViewerCount(); ++k) {
            TBarItemViewer* v = view->GetViewers(k);
            if (!v->Show || gcl::is<TBarControlItem>(v->GetItem()) || gcl::IsRectEmpty(v->BoundsRect)) continue;
            rects.push_back(gcl::ToRECT(v->BoundsRect));
            InvalidateRect(bar->GetHandle(), &rects.back(), FALSE);
        }
        UpdateWindow(bar->GetHandle());
        RedrawWindow(bar->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        for (const RECT& r : rects) ValidateRect(bar->GetHandle(), &r);
    }
}

void TTxDock::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOVE: {
        gcl::TFlagScope moving(FMoving);
        inherited::Dispatch(Message);
        return;
    }
    case WM_SIZE: {
        {
            gcl::TFlagScope sizing(FSizing);
            inherited::Dispatch(Message);
        }
        if (UsingBackground()) RepaintToolbars();
        return;
    }
    case WM_ERASEBKGND: {
        const HDC dc = reinterpret_cast<HDC>(Message.WParam);
        if (!UsingBackground()) {
            const TColor colour = GetColor() != clNone ? GetColor() : QueryEffectiveColor(GetParent());
            FillRectColor(dc, GetClientRect(), colour);
        } else {
            DrawBackgroundAt(dc, TPoint{0, 0}, GetClientRect());
        }
        Message.Result = 1;
        return;
    }
    case WM_SKIN_EFFECTIVECOLOR:
        Message.WParam = static_cast<uintptr_t>(GetColor() != clNone ? GetColor()
                                                : GetParent()  ? QueryEffectiveColor(GetParent())
                                                               : gcl::clBtnFace);
        Message.Result = 1;
        return;
    case WM_SKIN_THEMECHANGE:
        if (Message.WParam == 3) Invalidate();
        return;
    case gcl::CM_COLORCHANGED:
        inherited::Dispatch(Message);
        for (int i = 0; i < GetControlCount(); ++i) RedrawWindowFrame(GetControls(i));
        return;
    default: break;
    }
    inherited::Dispatch(Message);
}

// ==== Theme-change frames ========================================================================

void RecalcFrameKeepingClient(gcl::TWinControl* Control) {
    if (!Control || !Control->HandleAllocated()) return;
    const HWND wnd = Control->GetHandle();
    RECT before{};
    GetClientRect(wnd, &before);
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    RECT after{};
    GetClientRect(wnd, &after);
    const int dx = (before.right - before.left) - (after.right - after.left);
    const int dy = (before.bottom - before.top) - (after.bottom - after.top);
    if (dx != 0 || dy != 0)
        Control->SetBounds(Control->GetLeft() - dx / 2, Control->GetTop() - dy / 2, Control->GetWidth() + dx,
                           Control->GetHeight() + dy);
    RedrawWindow(wnd, nullptr, nullptr, ThemeRedrawFlags);
}

// ==== The unit ===================================================================================

namespace {

void InitializeTxBars() {
    gcl::RegisterClasses({TTxItem::StaticClass(), TTxSubmenuItem::StaticClass(), TTxSeparatorItem::StaticClass(),
                          TTxToolbar::StaticClass(), TTxDock::StaticClass(), TTxPopupMenu::StaticClass(),
                          TTxMultiDock::StaticClass(), TTxDockablePanel::StaticClass(),
                          TTxEditItem::StaticClass(), TTxSpinEditItem::StaticClass(),
                          TTxLabelItem::StaticClass()});
    GMenuAnimation = new TTxMenuAnimation(1);
}

void FinalizeTxBars() {
    delete GMenuAnimation;
    GMenuAnimation = nullptr;
}

} // namespace

gcl::TUnit TxBarsUnit{"TxBars", &InitializeTxBars, &FinalizeTxBars};

} // namespace qelvo
