// Toolbars and the menu bar: the toolbar view and the chevron, the
// toolbar's layout inputs from its dock, hosted controls, hot tracking,
// the menu-bar keys, the program-wide shortcut list and the floating
// resize between wrap widths.
#include "toolbar/BarToolbar.h"

#include <algorithm>

#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

using gcl::TPoint;
using gcl::TRect;

namespace {

// Toolbars that answer shortcuts for their form.
std::vector<TBarCustomToolbar*> GShortCutList;

bool AppShortCutHook(gcl::TMessage& Message);

// Menu bars' get-message hook: Alt+letter typed while the main form's MDI
// client (or, for Alt+hyphen, one of its children) has the focus goes to
// the main form, whose menu bar answers it. The class library has no MDI
// client window, so for its forms the hook lets every message pass as it
// is.
void MenuBarMessageHook(TThreadHookCode Code, HWND, WPARAM WParam, LPARAM LParam) {
    if (Code != thcGetMessage || !(WParam & PM_REMOVE)) return;
    auto* msg = reinterpret_cast<MSG*>(LParam);
    if (!msg || msg->message != WM_SYSCHAR || !msg->hwnd) return;
    gcl::TCustomForm* main = gcl::Application ? gcl::Application->GetMainForm() : nullptr;
    if (!main || !main->HandleAllocated() || GetCapture()) return;
    const HWND client = main->GetClientHandle();
    if (!client) return;
    if (msg->hwnd == client || (msg->wParam == '-' && IsChild(client, msg->hwnd))) msg->hwnd = main->GetHandle();
}

} // namespace

// ==== The toolbar view ===========================================================================

GCL_IMPLEMENT_CLASS(TBarToolbarView)

TBarToolbarView::TBarToolbarView(gcl::TComponent* Owner, TBarView* ParentView, TBarCustomItem* ParentItem,
                                 gcl::TWinControl* Window, bool IsToolbar, bool Customizing, bool UsePriorityList)
    : TBarView(Owner, ParentView, ParentItem, Window, IsToolbar, Customizing, UsePriorityList),
      FToolbar(dynamic_cast<TBarCustomToolbar*>(Owner)) {}

void TBarToolbarView::AutoSize(int AWidth, int AHeight) {
    if (!FToolbar) return;
    FToolbar->FBaseSize = GetBaseSize();
    if (FToolbar->GetAutoResize() && !FToolbar->FInArrange) FToolbar->ChangeSize(TPoint{AWidth, AHeight});
}

void TBarToolbarView::DoUpdatePositions(TPoint& Size) {
    if (!FToolbar) {
        TBarView::DoUpdatePositions(Size);
        return;
    }
    Size = TPoint{0, 0};
    if (TBarDock* dock = FToolbar->GetCurrentDock()) {
        bool full = false;
        const int row = dock->GetRowSize(FToolbar->GetEffectiveDockRow(), full);
        const TPoint nc = FToolbar->DockedNCSize(dock->IsLeftRight());
        const int across = std::max(0, row - (dock->IsLeftRight() ? nc.X : nc.Y));
        if (dock->IsLeftRight()) Size.X = across;
        else Size.Y = across;
    }
    if (FToolbar->GetFullSize()) {
        if (GetOrientation() == tbvoVertical) Size.Y = std::max(Size.Y, GetWrapOffset());
        else Size.X = std::max(Size.X, GetWrapOffset());
    }
    ++FToolbar->FLayoutDepth;
    try {
        TBarView::DoUpdatePositions(Size);
    } catch (...) {
        --FToolbar->FLayoutDepth;
        throw;
    }
    --FToolbar->FLayoutDepth;
}

void TBarToolbarView::InvalidatePositions() { TBarView::InvalidatePositions(); }

gcl::TFont* TBarToolbarView::GetFont() {
    if (!FToolbar || FToolbar->GetSystemFont()) return TBarView::GetFont();
    return FToolbar->GetFont();
}

TBarCustomItem* TBarToolbarView::GetChevronItem() { return FToolbar ? FToolbar->GetChevronItem() : nullptr; }
TBarCustomItem* TBarToolbarView::GetMDIButtonsItem() { return nullptr; }
TBarCustomItem* TBarToolbarView::GetMDISystemMenuItem() { return nullptr; }

// ==== The chevron =================================================================================

GCL_IMPLEMENT_CLASS(TBarChevronItem)

TBarChevronItem::TBarChevronItem(gcl::TComponent* AOwner)
    : TBarCustomItem(AOwner), FToolbar(dynamic_cast<TBarCustomToolbar*>(AOwner)) {
    SetItemStyle(GetItemStyle() | tbisSubmenu | tbisNoAutoOpen);
    SetHint(SChevronHintText);
    SetCaption(DoubleAmpersands(gcl::GetShortHint(SChevronHintText)));
}

TBarView* TBarChevronItem::GetChevronParentView() { return FToolbar ? FToolbar->GetView() : nullptr; }

TBarItemViewerClass TBarChevronItem::GetItemViewerClass(TBarView*) { return TBarChevronItemViewer::StaticClass(); }

GCL_IMPLEMENT_CLASS(TBarChevronItemViewer)

void TBarChevronItemViewer::Paint(gcl::TCanvas* Canvas, TRect R, bool IsSelected, bool IsPushed, bool) {
    HDC dc = Canvas->GetHandle();
    RECT r{R.Left, R.Top, R.Right, R.Bottom};
    const bool enabled = GetItem()->GetEnabled();
    if (enabled) {
        if (IsPushed) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        else if (IsSelected && !gcl::IsDesigning(GetView())) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    }
    DrawChevronGlyph(dc, R, GetView()->GetOrientation() == tbvoVertical, IsPushed, enabled);
}

// ==== The toolbar ==================================================================================

struct TBarCustomToolbar::TSizeData {
    TBarSizeHandle Edge;
    std::vector<TPoint> Sizes;   // frame sizes, sorted along the edge's axis, largest first
    TRect Start;                 // the floating frame at the start
    int LeftBorder;
    int PendingWrapWidth;
    bool SizeChanged = false;
    bool Shrinking = false;
    bool Started = false;
    int Snap = 12;
};

GCL_PUBLISHED(TBarCustomToolbar,
    GCL_PROP(ChevronMoveItems).Default(true),
    GCL_PROP(ChevronPriorityForNewItems).Default(tbcpHighest),
    GCL_PROP(Images),
    GCL_PROP(LinkSubitems),
    GCL_PROP(Options).Default(TBarItemOptions{}),
    GCL_PROP(MenuBar).Default(false),
    GCL_PROP(ProcessShortCuts).Default(false),
    GCL_PROP(SystemFont).Default(true),
    GCL_PROP(UpdateActions).Default(true))

TBarCustomToolbar::TBarCustomToolbar(gcl::TComponent* AOwner) : TBarCustomDockableWindow(AOwner) {}

const gcl::TComponent::TMetaClassType* TBarCustomToolbar::RootItemClass() { return TBarRootItem::StaticClass(); }
const gcl::TComponent::TMetaClassType* TBarCustomToolbar::ChevronClass() { return TBarChevronItem::StaticClass(); }

TBarToolbarView* TBarCustomToolbar::CreateView() {
    return TBarToolbarView::Create(this, nullptr, FItem, this, true, false, !gcl::IsDesigning(this));
}

void TBarCustomToolbar::AfterConstruction() {
    inherited::AfterConstruction();
    gcl::TControlStyle style = GetControlStyle();
    style.Include(gcl::csAcceptsControls);
    style.Include(gcl::csActionClient);
    style.Exclude(gcl::csCaptureMouse);
    SetControlStyle(style);
    // Toolbars size only by their edges and leave the pointer free.
    SetSizeOptions(TBarSizeOptions{});
    FItem = gcl::as<TBarRootItem>(RootItemClass()->Create(this));
    FItem->SetParentComponentField(this);
    FChevronItem = gcl::as<TBarChevronItem>(ChevronClass()->Create(this));
    FChevronItem->SetLinkSubitems(FItem);
    FView = CreateView();
    FView->SetWholePaintInCycle(true);
    FView->SetBackgroundColor(gcl::clBtnFace);
    SetColor(gcl::clBtnFace);
    SetBounds(GetLeft(), GetTop(), 23, 22);
}

void TBarCustomToolbar::BeforeDestruction() noexcept {
    FProcessShortCuts = false;
    FMenuBar = false;
    try {
        SyncMenuBarHook();
        SyncShortCutList();
    } catch (...) {
    }
    if (FView) {
        TBarToolbarView* view = FView;
        FView = nullptr;
        view->Free();
    }
    if (FChevronItem) {
        TBarChevronItem* chevron = FChevronItem;
        FChevronItem = nullptr;
        chevron->Free();
    }
    if (FItem) {
        TBarRootItem* item = FItem;
        FItem = nullptr;
        item->Free();
    }
    delete FSizeData;
    FSizeData = nullptr;
    inherited::BeforeDestruction();
}

void TBarCustomToolbar::Loaded() {
    for (int i = 0; i < GetControlCount(); ++i)
        if (!FindControlItem(GetControls(i))) WrapControl(FItem->GetCount(), GetControls(i));
    inherited::Loaded();
}

void TBarCustomToolbar::GetChildren(gcl::TGetChildProc Proc, gcl::TComponent* Root) {
    FItem->GetChildren(Proc, Root);
    inherited::GetChildren(Proc, Root);
}

void TBarCustomToolbar::SetChildOrder(gcl::TComponent* Child, int Order) {
    if (dynamic_cast<TBarCustomItem*>(Child)) FItem->SetChildOrder(Child, Order);
}

void TBarCustomToolbar::AlignControls(gcl::TControl*, TRect&) {
    if (FLayoutDepth == 0 && FView) Arrange();
}

void TBarCustomToolbar::InitiateAction() {
    inherited::InitiateAction();
    if (!FUpdateActions || !FView) return;
    std::vector<TBarCustomItem*> items;
    for (int i = 0; i < FView->GetViewerCount(); ++i) items.push_back(FView->GetViewers(i)->GetItem());
    for (TBarCustomItem* item : items) item->InitiateAction();
}

void TBarCustomToolbar::Paint() {
    if (FView) FView->DrawViewers(GetCanvas());
}

// ---- Layout inputs ------------------------------------------------------------------------------

int TBarCustomToolbar::WrapOffsetForDock(TBarDock* Dock) {
    if (!Dock) {
        // The floating width is the bar's whole client width: the items wrap
        // before the right margin.
        if (FFloatingWrapWidth <= 0) return 0;
        TRect margins;
        FView->GetMargins(tbvoFloating, margins);
        return std::max(1, FFloatingWrapWidth - margins.Right);
    }
    if (FShrinkMode != tbsmWrap) return 0;
    const bool lr = Dock->IsLeftRight();
    const TPoint nc = DockedNCSize(lr);
    const int inner = lr ? Dock->GetClientHeight() : Dock->GetClientWidth();
    return std::max(0, inner - (lr ? nc.Y : nc.X));
}

int TBarCustomToolbar::ChevronOffsetForDock(TBarDock* Dock) {
    if (FShrinkMode != tbsmChevron || !GetDocked() || Dock != GetCurrentDock()) return 0;
    const TPoint nc = DockedNCSize(Dock->IsLeftRight());
    return std::max(0, GetCurrentSize() - (Dock->IsLeftRight() ? nc.Y : nc.X));
}

namespace {
TBarViewOrientation OrientationOf(TBarDockType type) {
    switch (type) {
    case dtFloating: return tbvoFloating;
    case dtLeftRight: return tbvoVertical;
    default: return tbvoHorizontal;
    }
}
} // namespace

void TBarCustomToolbar::ApplyDockToView() {
    FView->SetOrientation(OrientationOf(DockType()));
    FView->SetChevronSize(12);
    if (!GetDocked() && !GetFloating()) {
        int chevron = 0;
        int wrap = 0;
        const gcl::TAnchors a = GetAnchors();
        if (!GetAutoResize() || (a.Contains(gcl::akLeft) && a.Contains(gcl::akRight))) {
            TPoint nc;
            CalcNCSize(nc);
            if (FShrinkMode == tbsmChevron) chevron = GetWidth() - nc.X;
            else if (FShrinkMode == tbsmWrap) wrap = GetWidth() - nc.X;
        }
        FView->SetChevronOffset(chevron);
        FView->SetWrapOffset(wrap);
    } else {
        FView->SetChevronOffset(ChevronOffsetForDock(GetCurrentDock()));
        FView->SetWrapOffset(WrapOffsetForDock(GetCurrentDock()));
    }
}

void TBarCustomToolbar::DoArrange(bool CanMoveControls, TBarDockType ADockType, TPoint& NewSize, TBarDock* Dock,
                                  bool AFloating) {
    if (CanMoveControls) {
        FInArrange = true;
        try {
            ApplyDockToView();
            NewSize = FView->UpdatePositions();
        } catch (...) {
            FInArrange = false;
            throw;
        }
        FInArrange = false;
        return;
    }
    TPoint base;
    TPoint size{0, 0};
    int lines = 1;
    const int wrap = WrapOffsetForDock(AFloating ? nullptr : Dock);
    FView->ComputeLayout(false, OrientationOf(ADockType), wrap, ChevronOffsetForDock(Dock), 12, base, size, lines);
    FLastWrappedLines = lines;
    NewSize = size;
}

void TBarCustomToolbar::GetBaseSize(TPoint& Size) {
    FView->ValidatePositions();
    Size = FBaseSize;
}

void TBarCustomToolbar::GetMinShrinkSize(int& AMinimumSize) {
    TBarDock* dock = GetCurrentDock();
    const bool lr = dock && dock->IsLeftRight();
    int length = 0;
    if (TBarItemViewer* v = FView->TopPriorityViewer())
        length = lr ? v->BoundsRect.Height() : v->BoundsRect.Width();
    const TPoint nc = DockedNCSize(lr);
    AMinimumSize = length + (lr ? nc.Y : nc.X) + 12;
    // An item longer than the dock's room (a caption that grew) does not
    // hold the bar past the dock's end, where its chevron could not be
    // reached: the bar shrinks to the room and the item gives its end to
    // the chevron.
    if (dock) {
        const int room = lr ? dock->GetClientHeight() : dock->GetClientWidth();
        if (room > 0) AMinimumSize = std::min(AMinimumSize, std::max(room, (lr ? nc.Y : nc.X) + 12));
    }
}

void TBarCustomToolbar::ControlExistsAtPos(TPoint P, bool& Exists) {
    inherited::ControlExistsAtPos(P, Exists);
    if (Exists || gcl::IsDesigning(this)) return;
    TBarItemViewer* v = FView->ViewerFromPoint(P);
    Exists = v && !v->GetItem()->HasStyle(tbisClicksTransparent);
}

// ---- Properties -----------------------------------------------------------------------------------

void TBarCustomToolbar::SetChevronHint(const std::string& Value) {
    FChevronItem->SetHint(Value);
    FChevronItem->SetCaption(DoubleAmpersands(gcl::GetShortHint(Value)));
}

void TBarCustomToolbar::SetChevronMoveItems(bool Value) {
    if (Value == FChevronMoveItems) return;
    FChevronMoveItems = Value;
    FView->SetUsePriorityList(Value && !gcl::IsDesigning(this));
}

void TBarCustomToolbar::SetChevronPriorityForNewItems(TBarChevronPriorityForNewItems Value) {
    FChevronPriority = Value;
    FView->SetNewViewersOnTop(Value == tbcpHighest);
}

void TBarCustomToolbar::SetShrinkMode(TBarShrinkMode Value) {
    if (Value == FShrinkMode) return;
    FShrinkMode = Value;
    if (GetDocked()) GetCurrentDock()->ArrangeToolbars();
    else if (!GetFloating()) Arrange();
}

void TBarCustomToolbar::SetSystemFont(bool Value) {
    if (Value == FSystemFont) return;
    FSystemFont = Value;
    FView->InvalidatePositions();
    Arrange();
}

void TBarCustomToolbar::SetFloatingWrapWidth(int Value) {
    if (Value == FFloatingWrapWidth) return;
    FFloatingWrapWidth = Value;
    if (GetFloating()) {
        ApplyDockToView();
        Arrange();
    }
}

void TBarCustomToolbar::SetProcessShortCuts(bool Value) {
    if (Value == FProcessShortCuts) return;
    FProcessShortCuts = Value;
    SyncShortCutList();
}

void TBarCustomToolbar::SetMenuBar(bool Value) {
    if (Value == FMenuBar) return;
    FMenuBar = Value;
    gcl::TControlStyle style = GetControlStyle();
    if (Value) {
        style.Include(gcl::csMenuEvents);
        FView->SetStyle(FView->GetStyle() | vsMenuBar | vsUseHiddenAccels);
    } else {
        style.Exclude(gcl::csMenuEvents);
        FView->SetStyle(static_cast<TBarViewStyle>(FView->GetStyle() & ~(vsMenuBar | vsUseHiddenAccels)));
    }
    SetControlStyle(style);
    if (!gcl::IsLoading(this)) {
        SetFullSize(Value);
        SetShrinkMode(Value ? tbsmWrap : tbsmChevron);
        SetCloseButton(!Value);
        SetProcessShortCuts(Value);
    }
    SyncMenuBarHook();
    SyncShortCutList();
}

void TBarCustomToolbar::SyncMenuBarHook() {
    const bool wanted = FMenuBar && !gcl::IsDesigning(this);
    if (wanted == FMenuBarHooked) return;
    FMenuBarHooked = wanted;
    if (wanted) InstallThreadHook(this, &MenuBarMessageHook, TThreadHookCodes{thcGetMessage});
    else RemoveThreadHook(this, &MenuBarMessageHook);
}

// ---- Keys ----------------------------------------------------------------------------------------

bool TBarCustomToolbar::OpenByKey(char Key, bool RequirePrimaryAccel) {
    FView->ShowAccelUnderlines(true);
    bool found = false;
    if (Key != '\0') {
        bool isOnly = false;
        TBarItemViewer* v = FView->FindAccelViewer(nullptr, Key, RequirePrimaryAccel, isOnly);
        if (v && v->GetItem()->GetEnabled()) {
            if (isOnly) {
                found = true;
                FView->Select(v, false);
                FView->RunToolbarMenu(tbrmExecuteSelected);
            } else if (FMenuBar) {
                found = true;
                FView->Select(v, false);
                FView->RunToolbarMenu(0);
            }
        }
    } else if (TBarItemViewer* first = FView->FirstSelectable()) {
        found = true;
        FView->Select(first, false);
        FView->RunToolbarMenu(0);
    }
    if (found) FView->ShowAccelUnderlines(false);
    return found;
}

bool TBarCustomToolbar::TryShortCut(gcl::TMessage& Message) {
    gcl::TWMKey key(Message);
    bool handled = false;
    if (OnShortCut) OnShortCut(key, handled);
    return handled || FItem->HandleShortCutKey(key);
}

bool TBarCustomToolbar::WMSysCommand(gcl::TMessage& Message) {
    if (!FMenuBar || !GetEnabled() || !GetShowing()) return false;
    if ((Message.WParam & 0xFFF0) != SC_KEYMENU || Message.LParam == ' ' || GetCapture()) return false;
    char key = '\0';
    if (Message.LParam != 0) {
        const wchar_t wide = static_cast<wchar_t>(Message.LParam & 0xFFFF);
        char bytes[4] = {};
        const UINT codePage = KeyboardLayoutCodePage();
        const int n = WideCharToMultiByte(codePage ? codePage : CP_ACP, 0, &wide, 1, bytes, sizeof bytes, nullptr,
                                          nullptr);
        if (n != 1) return true;   // not one character of the code page: nothing opens
        key = bytes[0];
    }
    if (!OpenByKey(key, false)) {
        if (key == '-') {
            Message.Result = 0;
            return true;
        }
        MessageBeep(0);
    }
    Message.Result = 1;
    return true;
}

void TBarCustomToolbar::SyncShortCutList() {
    const bool wanted = (FProcessShortCuts || FMenuBar) && !gcl::IsDesigning(this);
    if (wanted == FShortCutsHooked) return;
    FShortCutsHooked = wanted;
    if (wanted) {
        if (GShortCutList.empty() && gcl::Application) gcl::Application->HookMainWindow(&AppShortCutHook);
        GShortCutList.push_back(this);
    } else {
        GShortCutList.erase(std::remove(GShortCutList.begin(), GShortCutList.end(), this), GShortCutList.end());
        if (GShortCutList.empty() && gcl::Application) gcl::Application->UnhookMainWindow(&AppShortCutHook);
    }
}

namespace {

bool AppShortCutHook(gcl::TMessage& Message) {
    if (Message.Msg == gcl::CM_APPKEYDOWN) {
        if (GShortCutList.empty()) return false;
        auto* form = dynamic_cast<gcl::TCustomForm*>(gcl::FindControl(GetActiveWindow()));
        auto tryForm = [&Message](gcl::TCustomForm* f) {
            // A form under a modal window is disabled as a window, not as
            // a control: its shortcuts wait until the modal one is gone.
            if (!f || !f->GetEnabled() || (f->HandleAllocated() && !IsWindowEnabled(f->GetHandle()))) return false;
            const std::vector<TBarCustomToolbar*> list = GShortCutList;
            for (TBarCustomToolbar* bar : list) {
                if (std::find(GShortCutList.begin(), GShortCutList.end(), bar) == GShortCutList.end()) continue;
                if (!bar->GetProcessShortCuts() || bar->ToolWindowParentForm() != f) continue;
                if (bar->TryShortCut(Message)) {
                    Message.Result = 1;
                    return true;
                }
            }
            return false;
        };
        if (tryForm(form)) return true;
        gcl::TCustomForm* main = gcl::Application ? gcl::Application->GetMainForm() : nullptr;
        if (main != form && tryForm(main)) return true;
        return false;
    }
    if (Message.Msg == gcl::CM_APPSYSCOMMAND) {
        gcl::TCustomForm* form = gcl::Screen ? gcl::Screen->GetActiveForm() : nullptr;
        if (!form || !form->GetEnabled() || !form->GetVisible()) return false;
        auto* sys = reinterpret_cast<gcl::TMessage*>(Message.LParam);
        if (!sys) return false;
        struct TSearch {
            static bool Run(gcl::TWinControl* parent, gcl::TMessage* sys) {
                for (int i = 0; i < parent->GetControlCount(); ++i) {
                    auto* w = dynamic_cast<gcl::TWinControl*>(parent->GetControls(i));
                    if (!w || !w->GetVisible() || !w->GetEnabled()) continue;
                    if ((dynamic_cast<TBarDock*>(w) || dynamic_cast<TBarCustomToolbar*>(w)) &&
                        w->GetControlStyle().Contains(gcl::csMenuEvents)) {
                        if (w->Perform(WM_SYSCOMMAND, sys->WParam, sys->LParam) != 0) return true;
                    }
                    if (Run(w, sys)) return true;
                }
                return false;
            }
        };
        if (TSearch::Run(form, sys)) {
            Message.Result = 1;
            return true;
        }
    }
    return false;
}

} // namespace

// ---- Controls hosted as items ----------------------------------------------------------------------

void TBarCustomToolbar::WrapControl(int Index, gcl::TControl* Control) {
    TBarControlItem* item = TBarControlItem::CreateControlItem(GetOwner(), Control);
    if (gcl::IsDesigning(this) && GetOwner()) {
        for (int n = 1;; ++n) {
            const std::string name = "TBControlItem" + std::to_string(n);
            if (!GetOwner()->FindComponent(name)) {
                item->SetName(name);
                break;
            }
        }
    }
    FItem->Insert(Index, item);
}

TBarControlItem* TBarCustomToolbar::FindControlItem(gcl::TControl* Control) {
    for (int i = 0; i < FItem->GetCount(); ++i)
        if (auto* ci = dynamic_cast<TBarControlItem*>(FItem->GetItem(i)); ci && ci->GetControl() == Control)
            return ci;
    return nullptr;
}

void TBarCustomToolbar::GetTabOrderList(std::vector<gcl::TWinControl*>& List) {
    inherited::GetTabOrderList(List);
    if (!FView) return;
    FView->ValidatePositions();
    for (int i = 0; i < FView->GetViewerCount(); ++i) {
        TBarItemViewer* v = FView->GetViewers(i);
        auto* ci = dynamic_cast<TBarControlItem*>(v->GetItem());
        gcl::TControl* hosted = ci && v->Show ? ci->GetControl() : nullptr;
        if (!hosted) continue;
        auto inside = [hosted](gcl::TWinControl* c) {
            for (gcl::TControl* p = c; p; p = p->GetParent())
                if (p == hosted) return true;
            return false;
        };
        List.erase(std::remove_if(List.begin(), List.end(), inside), List.end());
    }
}

// ---- The mouse ---------------------------------------------------------------------------------

void TBarCustomToolbar::DoContextPopup(TPoint MousePos, bool& Handled) {
    EndHotTracking();
    inherited::DoContextPopup(MousePos, Handled);
}

void TBarCustomToolbar::MouseDown(gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y) {
    gcl::TWinControl* parent = GetParent();
    inherited::MouseDown(Button, Shift, X, Y);
    if (GetParent() != parent || gcl::IsDesigning(this) || Button != gcl::mbLeft) return;
    TBarItemViewer* v = FView->ViewerFromPoint(TPoint{X, Y});
    FView->Select(v, true);
    if (v && !v->GetItem()->HasStyle(tbisClicksTransparent)) {
        FInMouseMenu = true;
        try {
            FView->RunToolbarMenu(tbrmMouseDown);
        } catch (...) {
            FInMouseMenu = false;
            throw;
        }
        FInMouseMenu = false;
    }
}

void TBarCustomToolbar::MouseMove(gcl::TShiftState Shift, int X, int Y) {
    if (!gcl::IsDesigning(this) && !(FView->GetState() & vsModal)) {
        POINT p{X, Y};
        ::ClientToScreen(GetHandle(), &p);
        const TPoint pt{p.x, p.y};
        FView->UpdateSelection(&pt, true);
        TBarItemViewer* v = FView->GetSelected();
        std::string hint;
        if (v && !v->GetItem()->GetEffectiveOptions().Contains(tboLongHintInMenuOnly)) hint = v->GetItem()->GetHint();
        SetHint(hint);
        CallTrackMouseEvent(GetHandle(), TME_LEAVE);
    }
    inherited::MouseMove(Shift, X, Y);
}

void TBarCustomToolbar::EndHotTracking() {
    // A press on this bar keeps its item hot while the mouse is away; a
    // capture elsewhere (another bar's drag) does not: the leave is the
    // last notice this bar gets.
    if (::GetCapture() != GetHandle() && FView && !(FView->GetState() & vsModal)) FView->UpdateSelection(nullptr, true);
}

void TBarCustomToolbar::WndProc(gcl::TMessage& Message) {
    if (FView && FView->GetWholePaintPending() && HandleAllocated()) {
        const HWND wnd = GetHandle();
        if (Message.Msg == WM_ERASEBKGND && WindowFromDC(reinterpret_cast<HDC>(Message.WParam)) == wnd) {
            Message.Result = 1;
            return;
        }
        if (Message.Msg == WM_PAINT && Message.WParam == 0) {
            PAINTSTRUCT ps{};
            const HDC dc = BeginPaint(wnd, &ps);
            FView->TakeWholePaint();
            RECT client{};
            ::GetClientRect(wnd, &client);
            try {
                if (client.right > 0 && client.bottom > 0) {
                    const gcl::TPaintBuffer buffer(dc, client.right, client.bottom);
                    const HDC memDC = buffer.GetDC();
                    SendMessageA(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC), 0);
                    const gcl::TFlagScope whole(FView->PaintingWholeFlag());
                    SendMessageA(wnd, WM_PAINT, reinterpret_cast<WPARAM>(memDC), 0);
                    BitBlt(dc, 0, 0, client.right, client.bottom, memDC, 0, 0, SRCCOPY);
                }
            } catch (...) {
                EndPaint(wnd, &ps);
                throw;
            }
            // A layout or repaint asked for while it painted gets a paint of
            // its own.
            EndPaint(wnd, &ps);
            return;
        }
    }
    inherited::WndProc(Message);
}

void TBarCustomToolbar::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETOBJECT:
        if (FView && FView->HandleWMGetObject(Message)) return;
        break;
    case WM_SYSCOMMAND:
        if (WMSysCommand(Message)) return;
        Message.Result = 0;
        return;
    case gcl::CM_DIALOGKEY:
        if (FMenuBar && Message.WParam == VK_MENU) FView->ShowAccelUnderlines(true);
        break;
    case gcl::CM_DIALOGCHAR:
        if (!FMenuBar && GetEnabled() && GetShowing() && Message.WParam != 0 &&
            OpenByKey(static_cast<char>(Message.WParam), true)) {
            Message.Result = 1;
            return;
        }
        break;
    case gcl::CM_COLORCHANGED:
        if (FView) FView->SetBackgroundColor(GetColor());
        break;
    case gcl::CM_FONTCHANGED:
        inherited::Dispatch(Message);
        if (!FSystemFont) Arrange();
        return;
    case gcl::CM_WININICHANGE:
        inherited::Dispatch(Message);
        if (Message.WParam == SPI_SETNONCLIENTMETRICS) {
            LoadMenuFont();
            FView->InvalidatePositions();
            Arrange();
        }
        return;
    case gcl::CM_SHOWHINTCHANGED:
        inherited::Dispatch(Message);
        FView->SetStyle(static_cast<TBarViewStyle>((FView->GetStyle() & ~vsAlwaysShowHints) |
                                                   (GetShowHint() ? vsAlwaysShowHints : 0)));
        return;
    case gcl::CM_HINTSHOW: {
        auto* info = reinterpret_cast<gcl::THintInfo*>(Message.LParam);
        TBarItemViewer* v = FView->ViewerFromPoint(info->CursorPos);
        if (v && !gcl::IsRectEmpty(v->BoundsRect)) {
            info->CursorRect = v->BoundsRect;
            info->HintStr = v->GetHintText();
            // The viewer may prepare a hint of its own (a drawn one).
            v->Dispatch(Message);
        } else {
            info->HintStr.clear();
        }
        return;
    }
    case gcl::CM_CONTROLCHANGE:
        inherited::Dispatch(Message);
        if (Message.LParam && !gcl::IsLoading(this)) {
            auto* control = reinterpret_cast<gcl::TControl*>(Message.WParam);
            if (control && !FindControlItem(control)) WrapControl(FItem->GetCount(), control);
        }
        return;
    case gcl::CM_CONTROLLISTCHANGE:
        inherited::Dispatch(Message);
        if (!Message.LParam && FItem) {
            auto* control = reinterpret_cast<gcl::TControl*>(Message.WParam);
            while (TBarControlItem* ci = control ? FindControlItem(control) : nullptr) {
                ci->SetKeepControl(true);
                ci->Free();
            }
        }
        return;
    case WM_SETCURSOR:
        if (!gcl::IsDesigning(this) && LOWORD(Message.LParam) == HTCLIENT &&
            reinterpret_cast<HWND>(Message.WParam) == GetHandle()) {
            POINT p{};
            GetCursorPos(&p);
            const TPoint pt{p.x, p.y};
            if (!(FView->GetState() & vsModal)) FView->UpdateSelection(&pt, true);
            HCURSOR cursor = nullptr;
            if (TBarItemViewer* v = FView->GetSelected()) v->GetCursor(v->ScreenToClient(pt), cursor);
            if (cursor) {
                ::SetCursor(cursor);
                Message.Result = 1;
                return;
            }
        }
        break;
    case gcl::CM_MOUSELEAVE:
        EndHotTracking();
        break;
    case WM_MOUSELEAVE:
        if (!FInMouseMenu) EndHotTracking();
        break;
    case WM_NCMOUSEMOVE:
        EndHotTracking();
        SetHint("");
        break;
    case WM_CANCELMODE:
        inherited::Dispatch(Message);
        if (FView && (FView->GetState() & vsModal)) FView->CancelMode();
        return;
    default: break;
    }
    inherited::Dispatch(Message);
}

// ---- Position data ----------------------------------------------------------------------------------

void TBarCustomToolbar::ReadPositionData(const TBarReadPositionData& Data) {
    inherited::ReadPositionData(Data);
    SetFloatingWrapWidth(ReadPositionInt(Data, GetName(), SPosFloatRightX, 0));
}

void TBarCustomToolbar::WritePositionData(const TBarWritePositionData& Data) {
    inherited::WritePositionData(Data);
    WritePositionInt(Data, GetName(), SPosFloatRightX, FFloatingWrapWidth);
}

// ---- Resizing a floating bar -----------------------------------------------------------------------

void TBarCustomToolbar::ListFloatingSizes(std::vector<TPoint>& List) {
    List.clear();
    std::vector<int> lines;
    const int saved = FFloatingWrapWidth;
    FFloatingWrapWidth = 0;
    try {
        TPoint size;
        DoArrange(false, dtFloating, size, nullptr, true);
        List.push_back(size);
        lines.push_back(FLastWrappedLines);
        TRect margins;
        FView->GetMargins(tbvoFloating, margins);
        const int minWidth = margins.Left + margins.Right;
        int trial = size.X - 1;
        while (trial >= minWidth && trial > 0) {
            FFloatingWrapWidth = trial;
            TPoint s;
            DoArrange(false, dtFloating, s, nullptr, true);
            if (s.X > trial) break;
            if (s.X == trial) {
                if (FLastWrappedLines == lines.back() && List.size() > 1) {
                    List.back() = s;
                } else {
                    List.push_back(s);
                    lines.push_back(FLastWrappedLines);
                }
                --trial;
            } else {
                trial = s.X;
            }
        }
    } catch (...) {
        FFloatingWrapWidth = saved;
        throw;
    }
    FFloatingWrapWidth = saved;
}

void TBarCustomToolbar::ResizeBegin(TBarSizeHandle SizeHandle) {
    delete FSizeData;
    FSizeData = nullptr;
    if (SizeHandle != twshLeft && SizeHandle != twshRight && SizeHandle != twshTop && SizeHandle != twshBottom) return;
    TBarFloatingWindowParent* fp = GetFloatParent();
    if (!fp) return;
    auto* d = new TSizeData;
    FSizeData = d;
    d->Edge = SizeHandle;
    d->Start = TRect{fp->GetLeft(), fp->GetTop(), fp->GetLeft() + fp->GetWidth(), fp->GetTop() + fp->GetHeight()};
    d->LeftBorder = GetFloatingBorderSize().X;
    d->PendingWrapWidth = FFloatingWrapWidth;
    ListFloatingSizes(d->Sizes);
    const TPoint nc = FloatingNCSize();
    for (TPoint& p : d->Sizes) p = TPoint{p.X + nc.X, p.Y + nc.Y};
    const bool byHeight = SizeHandle == twshTop || SizeHandle == twshBottom;
    std::stable_sort(d->Sizes.begin(), d->Sizes.end(),
                     [byHeight](TPoint a, TPoint b) { return byHeight ? a.Y > b.Y : a.X > b.X; });
    const int cur = byHeight ? d->Start.Height() : d->Start.Width();
    for (size_t i = 0; i < d->Sizes.size(); ++i) {
        const int v = byHeight ? d->Sizes[i].Y : d->Sizes[i].X;
        if (v != cur) continue;
        if (i > 0) d->Snap = std::min(d->Snap, std::abs((byHeight ? d->Sizes[i - 1].Y : d->Sizes[i - 1].X) - cur) - 1);
        if (i + 1 < d->Sizes.size())
            d->Snap = std::min(d->Snap, std::abs((byHeight ? d->Sizes[i + 1].Y : d->Sizes[i + 1].X) - cur) - 1);
    }
    d->Snap = std::max(d->Snap, 0);
}

void TBarCustomToolbar::ResizeTrack(TRect& Rect, const TRect& OrgRect) {
    TSizeData* d = FSizeData;
    if (!d || d->Sizes.empty()) return;
    POINT c{};
    GetCursorPos(&c);
    const int x = c.x - d->Start.Left;
    const int y = c.y - d->Start.Top;
    const bool byHeight = d->Edge == twshTop || d->Edge == twshBottom;
    int desired = 0;
    switch (d->Edge) {
    case twshLeft: desired = d->Start.Width() - x; break;
    case twshTop: desired = d->Start.Height() - y; break;
    case twshRight: desired = x; break;
    default: desired = y; break;
    }
    const int startSize = byHeight ? d->Start.Height() : d->Start.Width();
    const bool shrinking = desired < startSize;
    if (!d->Started || shrinking != d->Shrinking) {
        if (std::abs(desired - startSize) <= d->Snap) desired = startSize;
    }
    d->Started = true;
    d->Shrinking = shrinking;
    auto along = [byHeight](TPoint p) { return byHeight ? p.Y : p.X; };
    const TPoint* pick = nullptr;
    if (!shrinking) {
        for (size_t i = d->Sizes.size(); i-- > 0;)
            if (along(d->Sizes[i]) > desired) {
                pick = &d->Sizes[i];
                break;
            }
        if (!pick) pick = &d->Sizes.front();
    } else {
        for (const TPoint& p : d->Sizes)
            if (along(p) <= desired) {
                pick = &p;
                break;
            }
        if (!pick) pick = &d->Sizes.back();
    }
    Rect = OrgRect;
    if (d->Edge == twshLeft) Rect.Left = Rect.Right - pick->X;
    else Rect.Right = Rect.Left + pick->X;
    if (d->Edge == twshTop) Rect.Top = Rect.Bottom - pick->Y;
    else Rect.Bottom = Rect.Top + pick->Y;
    d->SizeChanged = Rect != OrgRect;
    // The widest entry is the one-line layout.
    const int widest = std::max_element(d->Sizes.begin(), d->Sizes.end(), [](TPoint a, TPoint b) {
                           return a.X < b.X;
                       })->X;
    d->PendingWrapWidth = pick->X == widest ? 0 : pick->X - 2 * d->LeftBorder;
}

void TBarCustomToolbar::ResizeTrackAccept() {
    if (FSizeData) SetFloatingWrapWidth(FSizeData->PendingWrapWidth);
}

void TBarCustomToolbar::ResizeEnd() {
    delete FSizeData;
    FSizeData = nullptr;
}

namespace {
void InitBarToolbar() { gcl::RegisterClass(TBarCustomToolbar::StaticClass()); }
void FinalizeBarToolbar() { gcl::UnRegisterClass(TBarCustomToolbar::StaticClass()); }
} // namespace

gcl::TUnit BarToolbarUnit{"BarToolbar", &InitBarToolbar, &FinalizeBarToolbar};

} // namespace qelvo
