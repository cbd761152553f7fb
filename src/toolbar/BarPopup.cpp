// Popup windows and the popup menu: opening an item's sub-items as a popup
// window (placement, sound, accessibility event), the item's modal popup at
// a point, the popup window (frame, scroll arrows, showing with or without
// animation) and its view, and the popup-menu component.
#include "toolbar/BarItem.h"

#include <memory>

#include "gcl/Forms.h"
#include "toolbar/BarAnim.h"

namespace qelvo {

using gcl::TComponent;
using gcl::TPoint;
using gcl::TRect;

// ---- Opening an item's sub-items as a popup --------------------------------------------

TBarPopupWindowClass TBarCustomItem::GetPopupWindowClass() { return TBarPopupWindow::StaticClass(); }

namespace {
bool GPopupSoundPlayedOnce = false;
}

TBarPopupWindow* TBarCustomItem::CreatePopup(TBarView* ParentView, TBarItemViewer* ParentViewer,
                                             bool PositionAsSubmenu, bool SelectFirstItem, bool Customizing,
                                             TPoint APopupPoint, TBarPopupAnchor Alignment) {
    // 1. Popup handlers may fill in the sub-items.
    if (SubitemsSource() != this) SubitemsSource()->DoPopup(this, true);
    DoPopup(this, false);

    // 2. A chevron's popup shows the hidden items of its toolbar.
    TBarView* chevronParent = GetChevronParentView();
    TBarCustomItem* popupItem = chevronParent ? chevronParent->GetParentItem() : this;
    const bool opposite = ParentView && (ParentView->GetState() & vsOppositePopup);

    // 3. The window.
    TBarPopupWindow* window = GetPopupWindowClass()->Create(nullptr, ParentView, popupItem, Customizing);
    try {
        TBarPopupView* view = window->GetView();
        if (chevronParent) {
            view->SetChevronParentView(chevronParent);
            view->SetIsToolbar(true);
            view->SetStyle(static_cast<TBarViewStyle>((view->GetStyle() & ~vsAlwaysShowHints) |
                                                      (chevronParent->GetStyle() & vsAlwaysShowHints)));
            window->SetColor(gcl::clBtnFace);
        }

        // 4. Where it opens from, and on which monitor.
        TBarPopupPositionRec rec;
        rec.PositionAsSubmenu = PositionAsSubmenu;
        rec.Alignment = Alignment;
        rec.Opposite = opposite;
        if (ParentView && ParentViewer) {
            ParentView->ValidatePositions();
            TRect r = ParentViewer->BoundsRect;
            if (gcl::TWinControl* pw = ParentView->GetWindow(); pw && pw->HandleAllocated())
                MapWindowPoints(pw->GetHandle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
            rec.ParentItemRect = r;
            rec.MonitorRect = !gcl::IsRectEmpty(ParentView->GetMonitorRect()) ? ParentView->GetMonitorRect()
                                                                               : MonitorRectOfRect(r, true);
        } else {
            rec.ParentItemRect = TRect{APopupPoint.X, APopupPoint.Y, APopupPoint.X, APopupPoint.Y};
            rec.MonitorRect = MonitorRectOfPoint(APopupPoint, true);
        }
        TPoint nc;
        window->GetNCSize(nc);
        rec.NCSizeX = nc.X;
        rec.NCSizeY = nc.Y;
        view->SetMonitorRect(rec.MonitorRect);
        if (chevronParent)
            view->SetWrapOffset(rec.MonitorRect.Width() - 2 * nc.X);
        else
            view->SetMaxHeight(rec.MonitorRect.Height() - 2 * nc.Y);

        // 5. First item and layout.
        if (SelectFirstItem) view->Select(view->FirstSelectable(), false);
        TPoint size = view->UpdatePositions();
        rec.W = size.X + 2 * nc.X;
        rec.H = size.Y + 2 * nc.Y;

        // 6. Start position.
        const TRect& pr = rec.ParentItemRect;
        if (!ParentViewer) {
            rec.X = APopupPoint.X;
            rec.Y = APopupPoint.Y;
            if (Alignment == tbpaRight) rec.X -= rec.W;
            else if (Alignment == tbpaCenter) rec.X -= rec.W / 2;
        } else if (PositionAsSubmenu) {
            rec.X = pr.Right - nc.X;
            rec.Y = pr.Top - nc.Y;
        } else if (chevronParent) {
            if (chevronParent->GetOrientation() == tbvoVertical) {
                rec.X = pr.Left - rec.W;
                rec.Y = pr.Top;
            } else {
                rec.X = pr.Right - rec.W;
                rec.Y = pr.Bottom;
            }
        } else if (ParentView->GetOrientation() == tbvoVertical) {
            rec.X = pr.Left - rec.W;
            rec.Y = pr.Top;
        } else {
            rec.Y = pr.Bottom;
            rec.X = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? pr.Right - rec.W : pr.Left;
        }

        // 7. Placement rules, then the bounds.
        rec.AnimDir = 0;
        rec.PlaySound = true;
        GetPopupPosition(ParentView, window, rec);
        if (rec.Opposite) view->SetState(view->GetState() | vsOppositePopup);
        window->SetSlideDirection(rec.AnimDir);
        window->SetBounds(rec.X, rec.Y, rec.W, rec.H);

        // 8. The parent view records its open popup.
        if (ParentView && ParentViewer) {
            ParentView->RecordOpenPopup(window, view, ParentViewer);
            if (ParentView->GetIsToolbar()) {
                ParentView->SetState(ParentView->GetState() | vsDropDownMenus);
                ParentView->Invalidate(ParentViewer);
                if (ParentView->GetWindow() && ParentView->GetWindow()->HandleAllocated())
                    UpdateWindow(ParentView->GetWindow()->GetHandle());
            }
        }

        // 9. Show, with the popup sound when the scheme has one.
        view->SetState(view->GetState() | vsDrawInOrder);
        if (rec.PlaySound && SoundSchemeHasEvent("MenuPopup")) {
            const UINT flags = SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_NOSTOP;
            if (!GPopupSoundPlayedOnce) {
                GPopupSoundPlayedOnce = true;
                window->SetVisible(true);
                UpdateWindow(window->GetHandle());
                PlaySoundA("MenuPopup", nullptr, flags);
            } else {
                PlaySoundA("MenuPopup", nullptr, flags);
                window->SetVisible(true);
            }
        } else {
            window->SetVisible(true);
        }

        // 10. Accessibility.
        CallNotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, window->GetHandle(), OBJID_CLIENT, CHILDID_SELF);
        if (view->GetSelected()) view->RaiseAccFocus();
    } catch (...) {
        if (ParentView && ParentView->GetOpenChildWindow() == window) ParentView->CloseChildPopups();
        else window->Free();
        throw;
    }
    return window;
}

TBarCustomItem* TBarCustomItem::Popup(int X, int Y, bool TrackRightButton, TBarPopupAnchor Alignment,
                                      bool ReturnClickedItemOnly) {
    TBarDoneActionData data;
    {
        TBarModalHandler handler(nullptr);
        TBarPopupWindow* window = CreatePopup(nullptr, nullptr, false, false, false, TPoint{X, Y}, Alignment);
        try {
            TBarPopupView* view = window->GetView();
            view->SetState(view->GetState() | vsIgnoreFirstMouseUp);
            handler.SetTopPopup(window);
            handler.RunMenuLoop(view, false, false, false, TrackRightButton);
            data = view->DoneAction();
            view->SetState(static_cast<TBarViewState>(view->GetState() & ~vsModal));
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

// ---- The popup window's view ------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TBarPopupView)

void TBarPopupView::AutoSize(int AWidth, int AHeight) {
    gcl::TWinControl* window = GetWindow();
    auto* popup = dynamic_cast<TBarPopupWindow*>(window);
    if (!popup) return;
    TPoint nc;
    popup->GetNCSize(nc);
    popup->SetBounds(popup->GetLeft(), popup->GetTop(), AWidth + 2 * nc.X, AHeight + 2 * nc.Y);
}

gcl::TFont* TBarPopupView::GetFont() { return GetWindow() ? GetWindow()->GetFont() : TBarView::GetFont(); }

// ---- The popup window -------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TBarPopupWindow)

TBarPopupWindow::TBarPopupWindow(TComponent* Owner, TBarView* ParentView, TBarCustomItem* Item, bool Customizing)
    : gcl::TCustomControl(Owner), FParentView(ParentView), FItem(Item), FCustomizing(Customizing) {}

TBarPopupWindow::~TBarPopupWindow() = default;

void TBarPopupWindow::AfterConstruction() {
    inherited::AfterConstruction();
    SetVisible(false);
    SetBounds(0, 0, 320, 240);
    gcl::TControlStyle style = GetControlStyle();
    style.Exclude(gcl::csCaptureMouse);
    SetControlStyle(style);
    SetShowHint(true);
    SetColor(gcl::clMenu);
    FView = ViewClass()->Create(this, FParentView, FItem, this, false, FCustomizing, false);
    FView->SetState(FView->GetState() | vsModal);
    if (!FParentView) {
        if (gcl::TFont* font = ToolbarFont()) GetFont()->Assign(font);
        FView->SetStyle(FView->GetStyle() | vsUseHiddenAccels);
    } else {
        if (gcl::TFont* font = FParentView->GetFont()) GetFont()->Assign(font);
        FView->SetStyle(static_cast<TBarViewStyle>((FView->GetStyle() & ~vsUseHiddenAccels) |
                                                   (FParentView->GetStyle() & vsUseHiddenAccels)));
        FView->SetState(static_cast<TBarViewState>((FView->GetState() & ~vsShowAccels) |
                                                   (FParentView->GetState() & vsShowAccels)));
    }
    HWND app = gcl::Application ? gcl::Application->GetHandle() : nullptr;
    SetParentWindow(app ? app : GetDesktopWindow());
}

void TBarPopupWindow::BeforeDestruction() noexcept {
    if (FView) {
        try {
            FView->CloseChildPopups();
        } catch (...) {
        }
    }
    if (HandleAllocated()) {
        try {
            DestroyHandle();
        } catch (...) {
        }
    }
    if (FView) {
        TBarPopupView* view = FView;
        FView = nullptr;
        view->Free();
    }
    inherited::BeforeDestruction();
}

void TBarPopupWindow::GetNCSize(TPoint& Size) { Size = TPoint{3, 3}; }

void TBarPopupWindow::CreateParams(gcl::TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.Style = (Params.Style & 0xBFFCFFFF) | WS_POPUP;
    Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WindowClass.style |= CS_SAVEBITS;
    if (IsWindowsXP()) Params.WindowClass.style |= CS_DROPSHADOW;
}

void TBarPopupWindow::CreateWnd() {
    inherited::CreateWnd();
    if (!FAccelsInitialized && FView && !FView->GetParentView()) {
        FAccelsInitialized = true;
        SendMessageA(GetHandle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
        const LRESULT state = SendMessageA(GetHandle(), WM_QUERYUISTATE, 0, 0);
        FView->ShowAccelUnderlines((state & UISF_HIDEACCEL) == 0);
    }
}

void TBarPopupWindow::DestroyWindowHandle() {
    CancelPopupAnimation(GetWindowHandle());
    if (FView) FView->StopAllTimers();
    CallNotifyWinEvent(EVENT_SYSTEM_MENUPOPUPEND, GetWindowHandle(), OBJID_CLIENT, CHILDID_SELF);
    inherited::DestroyWindowHandle();
}

void TBarPopupWindow::Paint() {
    if (!FView) return;
    FView->DrawViewers(GetCanvas());
    PaintScrollArrows();
}

void TBarPopupWindow::PaintScrollArrows() {
    if (!FView || (!FView->GetShowUpArrow() && !FView->GetShowDownArrow())) return;
    gcl::TCanvas* canvas = GetCanvas();
    canvas->GetBrush()->SetColor(gcl::clMenuText);
    canvas->GetPen()->SetColor(gcl::clMenuText);
    const TRect cr = GetClientRect();
    const int cx = cr.Width() / 2;
    if (FView->GetShowUpArrow()) {
        const int cy = ScrollArrowHeight / 2 - 1;
        const TPoint pts[3] = {{cx - 3, cy + 3}, {cx + 3, cy + 3}, {cx, cy}};
        canvas->Polygon(pts, 3);
    }
    if (FView->GetShowDownArrow()) {
        const int cy = (cr.Height() - ScrollArrowHeight + cr.Height()) / 2 - 1;
        const TPoint pts[3] = {{cx - 3, cy}, {cx + 3, cy}, {cx, cy + 3}};
        canvas->Polygon(pts, 3);
    }
}

void TBarPopupWindow::PaintNC(HDC DC) {
    RECT r{};
    GetWindowRect(GetHandle(), &r);
    OffsetRect(&r, -r.left, -r.top);
    auto frame = [DC](RECT& rc, gcl::TColor colour) {
        HBRUSH brush = CreateSolidBrush(gcl::ColorToRGB(colour));
        FrameRect(DC, &rc, brush);
        DeleteObject(brush);
        InflateRect(&rc, -1, -1);
    };
    if (FlatMenusEnabled()) {
        frame(r, gcl::clBtnShadow);
        frame(r, GetColor());
        frame(r, GetColor());
    } else {
        DrawEdge(DC, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        frame(r, gcl::clBtnFace);
    }
}

void TBarPopupWindow::NCPaintProc(HWND, HDC DC, void* AppData) {
    static_cast<TBarPopupWindow*>(AppData)->PaintNC(DC);
}

bool TBarPopupWindow::MayAnimateShow() {
    TBarView* parent = FView ? FView->GetParentView() : nullptr;
    return (!parent || !(parent->GetState() & vsNoAnimation)) && GetShowing() && FView && !FView->GetSelected() &&
           !IsWindowVisible(GetHandle());
}

void TBarPopupWindow::ShowWithoutAnimation(bool Showing) {
    const HWND wnd = GetHandle();
    if (!Showing) CancelPopupAnimation(wnd);
    const UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0, flags | (Showing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    if (Showing) SendNotifyMessageA(wnd, WM_POPUP_SHOWING, 3, 0);
}

void TBarPopupWindow::CMShowingChanged(gcl::TMessage&) {
    const HWND wnd = GetHandle();
    if (MayAnimateShow()) {
        BOOL animate = FALSE;
        BOOL fade = FALSE;
        SystemParametersInfoA(SPI_GETMENUANIMATION, 0, &animate, 0);
        if (animate) {
            SystemParametersInfoA(SPI_GETMENUFADE, 0, &fade, 0);
            if ((fade || FSlideDirection != 0) && SendMessageA(wnd, WM_POPUP_SHOWING, 1, 0) == 0) {
                StartPopupAnimation(wnd, fade != FALSE, FSlideDirection);
                return;
            }
        }
    }
    ShowWithoutAnimation(GetShowing());
}

void TBarPopupWindow::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_CLOSE: return;   // never closed by the system while a menu runs
    case WM_ERASEBKGND:
    case WM_PAINT:
        CancelPopupAnimation(GetWindowHandle());
        break;
    case WM_NCCALCSIZE: {
        TPoint nc;
        GetNCSize(nc);
        auto* r = reinterpret_cast<RECT*>(Message.LParam);
        InflateRect(r, -nc.X, -nc.Y);
        break;
    }
    case WM_NCPAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT: HandleNCPaintAndPrint(this, Message, &NCPaintProc, this); return;
    case WM_GETOBJECT:
        if (FView && FView->HandleWMGetObject(Message)) return;
        break;
    case gcl::CM_SHOWINGCHANGED: CMShowingChanged(Message); return;
    case gcl::CM_HINTSHOW: {
        auto* info = reinterpret_cast<gcl::THintInfo*>(Message.LParam);
        if (FView && FView->GetSelected()) {
            info->CursorRect = FView->GetSelected()->BoundsRect;
            info->HintStr = FView->GetSelected()->GetHintText();
        } else {
            info->HintStr.clear();
        }
        return;
    }
    case WM_ANIM_STEP: StepPopupAnimation(Message); return;
    case WM_ANIM_DONE: SendNotifyMessageA(GetHandle(), WM_POPUP_SHOWING, 2, 0); return;
    default: break;
    }
    inherited::Dispatch(Message);
}

// ---- The popup menu ---------------------------------------------------------------------

GCL_PUBLISHED(TBarPopupMenu,
    GCL_PROP(Images),
    GCL_PROP(LinkSubitems),
    GCL_PROP(Options).Default(TBarItemOptions{}))

TBarPopupMenu::TBarPopupMenu(TComponent* AOwner) : gcl::TPopupMenu(AOwner) {}

const TComponent::TMetaClassType* TBarPopupMenu::RootItemClass() { return TBarRootItem::StaticClass(); }

void TBarPopupMenu::AfterConstruction() {
    inherited::AfterConstruction();
    FItem = gcl::as<TBarRootItem>(RootItemClass()->Create(this));
    FItem->SetParentComponentField(this);
    FItem->OnClick = gcl::TNotifyEvent(this, &TBarPopupMenu::RootClicked);
}

void TBarPopupMenu::BeforeDestruction() noexcept {
    if (FItem) {
        TBarRootItem* item = FItem;
        FItem = nullptr;
        item->Free();
    }
    inherited::BeforeDestruction();
}

void TBarPopupMenu::RootClicked(gcl::TObject* Sender) {
    if (Sender == FItem) Sender = this;
    DoPopup(Sender);
}

void TBarPopupMenu::Popup(int X, int Y) { PopupReturning(X, Y, false); }

TBarCustomItem* TBarPopupMenu::PopupReturning(int X, int Y, bool ReturnClickedItemOnly) {
    static constexpr TBarPopupAnchor anchors[] = {tbpaLeft, tbpaRight, tbpaCenter};
    SetPopupPoint(gcl::Point(X, Y));
    return FItem->Popup(X, Y, GetTrackButton() == gcl::tbRightButton, anchors[GetAlignment()],
                        ReturnClickedItemOnly);
}

bool TBarPopupMenu::IsShortCut(gcl::TWMKey& Message) { return FItem->HandleShortCutKey(Message); }

void TBarPopupMenu::GetChildren(gcl::TGetChildProc Proc, TComponent* Root) { FItem->GetChildren(Proc, Root); }

void TBarPopupMenu::SetChildOrder(TComponent* Child, int Order) { FItem->SetChildOrder(Child, Order); }

} // namespace qelvo
