// Extended dockable panels: the multi-dock's position, arrangement and
// questions; the panel's caption bar (panel, dock, toolbar, buttons,
// painted bitmap), its minimise, maximise and restore rules, what follows
// a parent change or a caption drag, and the unit's registration.
#include "controls/XtDkPanels.h"

#include <algorithm>
#include <vector>

#include "gcl/rtl/Scopes.h"
#include "unicode/UniClasses.h"
#include "unicode/UniControls.h"

namespace qelvo {

namespace {

// The length a dock shares among its panels (its height on a left or
// right side, else its width).
int DockLength(TBarDock* Dock) {
    if (auto* multi = dynamic_cast<TTxMultiDock*>(Dock)) return multi->AvailableLength();
    return Dock->IsLeftRight() ? Dock->GetClientHeight() : Dock->GetClientWidth();
}

TXtDockablePanel* AsXtPanel(gcl::TControl* Control) { return dynamic_cast<TXtDockablePanel*>(Control); }

} // namespace

// ==== The multi-dock ===========================================================================

GCL_PUBLISHED(TXtMultiDock, GCL_PROP(Position).Default(dpxTop))

void TXtMultiDock::AfterConstruction() {
    inherited::AfterConstruction();
    TBarDock::OnRequestDock = TBarRequestDockEvent(this, &TXtMultiDock::RequestDock);
}

void TXtMultiDock::SetPosition(TXtDockPosition Value) {
    if (Value == FPosition) return;
    if (GetControlCount() > 0) throw gcl::EInvalidOperation(SXtMultiDockPositionError);
    FPosition = Value;
    static constexpr TBarDockPosition positions[] = {dpLeft, dpTop, dpRight, dpBottom, dpRight};
    TBarDock::SetPosition(positions[Value]);
    if (Value == dpxClient) SetAlign(gcl::alClient);
    ArrangeToolbars();
}

void TXtMultiDock::ArrangeToolbars() {
    if (FPosition == dpxClient)
        for (int i = 0; i < GetControlCount(); ++i) {
            gcl::TControl* control = GetControls(i);
            if (control->GetWidth() != GetWidth())
                control->SetBounds(control->GetLeft(), control->GetTop(), GetWidth(), control->GetHeight());
        }
    inherited::ArrangeToolbars();
}

void TXtMultiDock::RequestDock(gcl::TObject* Sender, TBarCustomDockableWindow* Bar, bool& Accept) {
    auto* dock = dynamic_cast<TXtMultiDock*>(Sender);
    if (!dock) {
        if (OnRequestDock) OnRequestDock(Sender, Bar, Accept);
        return;
    }
    if (dock->FPosition == dpxClient && dock->HandleAllocated()) {
        RECT r{};
        GetWindowRect(dock->GetHandle(), &r);
        InflateRect(&r, -1, -1);
        POINT p{};
        GetCursorPos(&p);
        Accept = PtInRect(&r, p) != 0;
    }
    if (dock->OnRequestDock) dock->OnRequestDock(Sender, Bar, Accept);
    // A dock holding one bar on the right (bottom) pulls a splitter control
    // lying just beyond its edge up to it; no control of this program offers
    // one, so there is nothing to move.
}

bool TXtMultiDock::DockedResizing(bool Vertical, int& NewSize) {
    bool allow = true;
    if (OnDockedResizing) OnDockedResizing(this, Vertical, NewSize, rsResizing, allow);
    return allow;
}

// ==== The docking state ========================================================================

GCL_IMPLEMENT_CLASS(TXtDockingState)

void TXtDockingState::Assign(const TXtDockingState* Source) {
    if (!Source) return;
    DockedTo = Source->DockedTo.Get();
    RestoreSibling = Source->RestoreSibling.Get();
    DockedRestoreWidth = Source->DockedRestoreWidth;
    DockedRestoreHeight = Source->DockedRestoreHeight;
    FloatingRestoreWidth = Source->FloatingRestoreWidth;
    FloatingRestoreHeight = Source->FloatingRestoreHeight;
    Maximized = Source->Maximized;
    DockedMinimized = Source->DockedMinimized;
    FloatingMinimized = Source->FloatingMinimized;
}

// ==== The panel's buttons ======================================================================

GCL_PUBLISHED(TXtDockablePanelButtonOptions,
    GCL_PROP(ButtonBorders).Default(true),
    GCL_PROP(Maximize).Default(false),
    GCL_PROP(Minimize).Default(false),
    GCL_PROP(TitleBarSize).Default(15))

TXtDockablePanelButtonOptions::TXtDockablePanelButtonOptions(TXtDockablePanel* APanel, TXtToolbar* AToolbar)
    : TXtButtonOptions(APanel, AToolbar), FPanel(APanel) {
    FMaximize = false;
    FMinimize = false;
    FButtonBorders = true;
    FTitleBarSize = 15;
    FButtonWidth = 15;
}

bool TXtDockablePanelButtonOptions::Restoring(TXtItem* Button) {
    if (!FPanel) return false;
    if (Button == GetMinimizeButton()) return FPanel->IsMinimized();
    if (Button == GetMaximizeButton()) return FPanel->IsMaximized();
    return false;
}

void TXtDockablePanelButtonOptions::ButtonsClick(gcl::TObject* Sender) {
    if (!FPanel) return;
    if (Sender == GetMinimizeButton()) FPanel->ToggleState(false);
    else if (Sender == GetMaximizeButton()) FPanel->ToggleState(true);
    else if (Sender == GetCloseButton()) FPanel->Close();
}

void TXtDockablePanelButtonOptions::ReorderButtons() {
    inherited::ReorderButtons();
    if (FPanel) SetCaptionText(FPanel->GetCaption());
}

// ==== The caption toolbar ======================================================================

GCL_IMPLEMENT_CLASS(TXtDockablePanelToolbar)

void TXtDockablePanelToolbar::AfterConstruction() {
    inherited::AfterConstruction();
    SetCompoundToolbar(true);
}

TTxDockablePanel* TXtDockablePanelToolbar::FindPanel() const {
    for (gcl::TWinControl* p = GetParent(); p; p = p->GetParent())
        if (auto* panel = dynamic_cast<TTxDockablePanel*>(p)) return panel;
    return nullptr;
}

void TXtDockablePanelToolbar::MouseDown(gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y) {
    TTxDockablePanel* panel = FindPanel();
    if (Button == gcl::mbLeft && panel && panel->IsMovable() && panel->HandleAllocated() && HandleAllocated()) {
        TBarItemViewer* viewer = GetView()->ViewerFromPoint(TPoint{X, Y});
        if (!viewer || viewer->GetItem()->HasStyle(tbisClicksTransparent)) {
            if (Shift.Contains(gcl::ssDouble)) {
                panel->DoubleClick();
            } else {
                POINT p{X, Y};
                ::ClientToScreen(GetHandle(), &p);
                panel->Perform(WM_NCLBUTTONDOWN, HT_TB2K_DRAGHANDLE, MAKELPARAM(p.x, p.y));
            }
            return;
        }
    }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TXtDockablePanelToolbar::DrawNCArea(HDC DC) {
    inherited::DrawNCArea(DC);
    // The panel draws the ring around its caption bar from its caption
    // bitmap, and its lower edge lies on this bar's frame: drawn here too,
    // the edge looks the same whichever of the two windows paints last.
    auto* panel = dynamic_cast<TXtDockablePanel*>(FindPanel());
    if (!panel || !GetDocked() || !HandleAllocated()) return;
    const HWND wnd = GetHandle();
    RECT window{};
    GetWindowRect(wnd, &window);
    POINT client{0, 0};
    ::ClientToScreen(wnd, &client);
    RECT inner{};
    ::GetClientRect(wnd, &inner);
    const int saved = SaveDC(DC);
    const int cx = client.x - window.left, cy = client.y - window.top;
    ExcludeClipRect(DC, cx, cy, cx + inner.right, cy + inner.bottom);
    panel->DrawRingOnCaptionBar(DC, wnd);
    RestoreDC(DC, saved);
}

// ==== The panel ================================================================================

GCL_PUBLISHED(TXtDockablePanel,
    gcl::Prop<&TXtDockablePanel::GetCaption, &TXtDockablePanel::SetCaption>("Caption")
        .StoredBy<&TXtDockablePanel::IsCaptionStored>(),
    gcl::Prop<&TXtDockablePanel::GetHint, &TXtDockablePanel::SetHint>("Hint")
        .StoredBy<&TXtDockablePanel::IsHintStored>(),
    GCL_PROP(ShowCaption).Default(true),
    GCL_PROP(ShowCaptionWhenDocked).Default(true),
    GCL_PROP(CaptionRotation).Default(dpcrAlwaysHorz),
    GCL_PROP(MinClientHeight).Default(8),
    GCL_PROP(MinClientWidth).Default(8),
    GCL_PROP(DefaultDockedHeight).Default(150),
    GCL_PROP(DefaultDockedWidth).Default(150),
    GCL_PROP(Images),
    GCL_PROP(FixedDockedSize).Default(false),
    GCL_PROP(Options))

TXtDockablePanel::TXtDockablePanel(gcl::TComponent* AOwner)
    : TTxDockablePanel(AOwner), FCaptionBitmap(std::make_unique<gcl::TBitmap>()),
      FState(std::make_unique<TXtDockingState>()), FSavedState(std::make_unique<TXtDockingState>()) {}

TXtDockablePanel::~TXtDockablePanel() = default;

void TXtDockablePanel::AfterConstruction() {
    inherited::AfterConstruction();
    FState->DockedRestoreWidth = FState->FloatingRestoreWidth = GetWidth();
    FState->DockedRestoreHeight = FState->FloatingRestoreHeight = GetHeight();

    // The caption bar's dock lies on the panel itself (top-aligned, as a
    // dock on the top is): one window less than a dock inside a panel.
    FCaptionDock = TXtDock::Create(this);
    FCaptionDock->SetParent(this);
    FCaptionDock->OnRequestDock = TBarRequestDockEvent(this, &TXtDockablePanel::CaptionDockRequestDock);
    FCaptionDock->SetOnDrawBackground(TXtDrawEvent(this, &TXtDockablePanel::CaptionAreaPaint));

    FCaptionToolbar = TXtDockablePanelToolbar::Create(this);
    FCaptionToolbar->SetDockedBorderStyle(gcl::bsNone);
    FCaptionToolbar->SetDockMode(dmCannotFloatOrChangeDocks);
    FCaptionToolbar->SetDragHandleStyle(dhNone);
    TBarItemOptions options = FCaptionToolbar->GetOptions();
    options.Include(tboNoAutoHint);
    FCaptionToolbar->SetOptions(options);
    FCaptionToolbar->SetStretch(true);
    FCaptionToolbar->SetShrinkMode(tbsmNone);
    FCaptionToolbar->TBarCustomDockableWindow::SetShowCaption(false);
    FCaptionToolbar->SetParent(FCaptionDock);
    FCaptionToolbar->SetCurrentDock(FCaptionDock);

    SetMinClientHeight(8);
    SetMinClientWidth(8);
    TBarCustomDockableWindow::SetShowCaption(false);
    TTxCustomDockablePanel::SetShowCaptionWhenDocked(false);
    TTxCustomDockablePanel::SetCaptionRotation(dpcrAlwaysHorz);

    FOptions.reset(TXtDockablePanelButtonOptions::Create(this, FCaptionToolbar));
    FOptions->ReorderButtons();
}

void TXtDockablePanel::BeforeDestruction() noexcept {
    FOptions.reset();
    inherited::BeforeDestruction();
}

// ---- Caption and hint -------------------------------------------------------------------------

std::wstring TXtDockablePanel::GetCaption() { return WideControlGetText(this); }
void TXtDockablePanel::SetCaption(const std::wstring& Value) { WideControlSetText(this, Value); }
std::wstring TXtDockablePanel::GetHint() { return WideControlGetHint(this); }
void TXtDockablePanel::SetHint(const std::wstring& Value) { WideControlSetHint(this, Value); }
bool TXtDockablePanel::IsCaptionStored() { return IsWideCaptionStored(this); }
bool TXtDockablePanel::IsHintStored() { return IsWideHintStored(this); }

void TXtDockablePanel::DefineProperties(gcl::TFiler& Filer) {
    inherited::DefineProperties(Filer);
    DefineWideProperties(Filer, this);
}

void TXtDockablePanel::CreateWindowHandle(const gcl::TCreateParams& Params) {
    CreateWideWindowHandle(this, Params, nullptr);
}

gcl::TCustomImageList* TXtDockablePanel::GetImages() const {
    return FCaptionToolbar ? FCaptionToolbar->GetImages() : nullptr;
}

void TXtDockablePanel::SetImages(gcl::TCustomImageList* Value) {
    if (FCaptionToolbar && FCaptionToolbar->GetImages() != Value) FCaptionToolbar->SetImages(Value);
}

TBarCustomItem* TXtDockablePanel::GetItems() const { return FCaptionToolbar ? FCaptionToolbar->GetItems() : nullptr; }

// ---- The caption bar --------------------------------------------------------------------------

void TXtDockablePanel::UpdateCaptionVisibility() {
    if (FCaptionDock) FCaptionDock->SetVisible(GetFloating() ? FShowCaption : FShowCaptionWhenDocked);
}

void TXtDockablePanel::SetShowCaption(bool Value) {
    if (Value == FShowCaption) return;
    FShowCaption = Value;
    UpdateCaptionVisibility();
}

void TXtDockablePanel::SetShowCaptionWhenDocked(bool Value) {
    if (Value == FShowCaptionWhenDocked) return;
    FShowCaptionWhenDocked = Value;
    UpdateCaptionVisibility();
    if (GetDocked() && HandleAllocated()) RedrawWindow(GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void TXtDockablePanel::CaptionDockRequestDock(gcl::TObject*, TBarCustomDockableWindow* Bar, bool& Accept) {
    Accept = Bar == FCaptionToolbar;
}

void TXtDockablePanel::InvalidateBackground(bool IncludeChildren) {
    if (!HandleAllocated()) return;
    FCaptionBitmap->SetSize(1, 1);
    RedrawWindow(GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | (IncludeChildren ? RDW_ALLCHILDREN : 0));
}

// ---- Sizes and siblings ---------------------------------------------------------------------

TPoint TXtDockablePanel::GetMinimizedSize() {
    const int bar = FCaptionToolbar ? FCaptionToolbar->GetHeight() : 0;
    if (GetFloating()) return TPoint{GetWidth() + 4, bar + 4};
    return TPoint{GetWidth(), bar + 2};
}

bool TXtDockablePanel::IsMinimized() {
    return (GetFloating() && FState->FloatingMinimized) || (GetDocked() && FState->DockedMinimized);
}

void TXtDockablePanel::GetTabOrderList(std::vector<gcl::TWinControl*>& List) {
    if (!IsMinimized()) inherited::GetTabOrderList(List);
}

bool TXtDockablePanel::IsMaximized() { return !GetFloating() && GetDocked() && FState->Maximized; }

TXtMultiDock* TXtDockablePanel::XtMultiDock() {
    return GetDocked() ? dynamic_cast<TXtMultiDock*>(GetCurrentDock()) : nullptr;
}

bool TXtDockablePanel::VerticalMultiDock() { return GetDocked() && GetCurrentDock()->IsLeftRight(); }

TXtSiblingsInfo TXtDockablePanel::GetSiblingsInfo() {
    TXtSiblingsInfo info;
    if (!GetDocked()) return info;
    TBarDock* dock = GetCurrentDock();
    for (int i = 0; i < dock->GetControlCount(); ++i) {
        gcl::TControl* control = dock->GetControls(i);
        if (control == this) continue;
        ++info.Count;
        TXtDockablePanel* panel = AsXtPanel(control);
        if (!panel) continue;
        if (panel->IsMinimized()) {
            ++info.MinimizedCount;
            if (!info.FirstMinimized) info.FirstMinimized = panel;
        } else if (panel->IsMaximized() && !info.FirstMaximized) {
            info.FirstMaximized = panel;
        }
    }
    return info;
}

void TXtDockablePanel::SetSplitHeightsToHeights(TBarDock* Dock) {
    for (int i = 0; i < Dock->GetControlCount(); ++i)
        if (auto* panel = dynamic_cast<TTxCustomDockablePanel*>(Dock->GetControls(i)))
            panel->SetSplitHeight(panel->GetHeight());
}

TTxCustomDockablePanel* TXtDockablePanel::FindResizableSibling() {
    if (!VerticalMultiDock()) return nullptr;
    TBarDock* dock = GetCurrentDock();
    const int count = dock->GetControlCount();
    if (count < 2) return nullptr;
    int self = -1;
    for (int i = 0; i < count; ++i)
        if (dock->GetControls(i) == this) self = i;
    if (self < 0) return nullptr;
    auto fits = [this](gcl::TControl* control) -> TTxCustomDockablePanel* {
        auto* panel = dynamic_cast<TTxCustomDockablePanel*>(control);
        if (!panel || panel->GetSplitHeight() <= GetSplitHeight()) return nullptr;
        int minW, minH, maxW, maxH;
        panel->GetMinMaxSize(minW, minH, maxW, maxH);
        return minH != maxH ? panel : nullptr;
    };
    for (int i = self + 1; i < count; ++i)
        if (TTxCustomDockablePanel* panel = fits(dock->GetControls(i))) return panel;
    for (int i = self - 1; i >= 0; --i)
        if (TTxCustomDockablePanel* panel = fits(dock->GetControls(i))) return panel;
    return nullptr;
}

bool TXtDockablePanel::SetPanelSize(int NewHeight, bool Proportional) {
    if (GetFloating()) {
        SetFloatingHeight(NewHeight);
        return true;
    }
    if (!GetDocked() || GetCurrentDock()->GetControlCount() < 1) return false;
    TBarDock* dock = GetCurrentDock();
    dock->BeginUpdate();
    try {
        SetSplitHeightsToHeights(dock);
        const int oldHeight = GetHeight();
        SetSplitHeight(NewHeight);
        const int count = dock->GetControlCount();
        if (Proportional) {
            if (count > 1) {
                // Shared from the height the panel is given.
                const int share = std::max(0, (DockLength(dock) - NewHeight) / (count - 1));
                for (int i = 0; i < count; ++i)
                    if (auto* panel = dynamic_cast<TTxCustomDockablePanel*>(dock->GetControls(i)); panel && panel != this)
                        panel->SetSplitHeight(share);
            }
        } else if (TTxCustomDockablePanel* sibling = FindResizableSibling()) {
            sibling->SetSplitHeight(sibling->GetSplitHeight() + oldHeight - NewHeight);
        }
    } catch (...) {
        dock->EndUpdate();
        throw;
    }
    dock->EndUpdate();
    if (dock->IsLeftRight()) SetSplitHeight(GetHeight());
    else SetDockedHeight(NewHeight - DockedNCSizeFor(false).Y);
    return true;
}

bool TXtDockablePanel::MinimizeOrRestoreSiblings(bool ARestore) {
    if (GetFloating() || !VerticalMultiDock() || GetCurrentDock()->GetControlCount() < 1) return false;
    TBarDock* dock = GetCurrentDock();
    std::vector<gcl::TComponentRef<TXtDockablePanel>> touched;
    dock->BeginUpdate();
    try {
        SetSplitHeightsToHeights(dock);
        int siblingsLength = 0;
        for (int i = 0; i < dock->GetControlCount(); ++i) {
            gcl::TControl* control = dock->GetControls(i);
            if (control == this) continue;
            if (TXtDockablePanel* panel = AsXtPanel(control)) {
                TXtDockingState* state = panel->FState.get();
                if (ARestore && panel->IsMinimized()) {
                    panel->FBusy = true;
                    state->DockedMinimized = false;
                    panel->SetSplitHeight(state->DockedRestoreHeight);
                    touched.emplace_back(panel);
                    panel->RefreshButtons();
                } else if (!ARestore && !panel->IsMinimized()) {
                    if (panel->IsMaximized()) state->Maximized = false;
                    else state->DockedRestoreHeight = panel->GetHeight();
                    panel->FBusy = true;
                    state->DockedMinimized = true;
                    panel->SetSplitHeight(panel->GetMinimizedSize().Y);
                    touched.emplace_back(panel);
                    panel->RefreshButtons();
                }
            }
            if (auto* panel = dynamic_cast<TTxCustomDockablePanel*>(control)) siblingsLength += panel->GetSplitHeight();
        }
        int h = DockLength(dock) - siblingsLength;
        if (h == GetHeight()) h = FState->DockedRestoreHeight;
        else FState->DockedRestoreHeight = GetHeight();
        // Never less than the caption bar: a dock too short for its panels
        // would otherwise hand this one a zero or negative height.
        const int minimized = GetMinimizedSize().Y;
        h = std::max(h, minimized);
        FState->DockedRestoreHeight = std::max(FState->DockedRestoreHeight, minimized);
        SetSplitHeight(h);
    } catch (...) {
        dock->EndUpdate();
        for (auto& panel : touched)
            if (panel) panel->FBusy = false;
        throw;
    }
    dock->EndUpdate();
    for (auto& panel : touched)
        if (panel) panel->FBusy = false;
    return true;
}

// ---- Minimise, maximise, restore --------------------------------------------------------------

void TXtDockablePanel::RefreshButtons() {
    if (!FOptions) return;
    FOptions->UpdateButtonImage(FOptions->GetMinimizeButton());
    FOptions->UpdateButtonImage(FOptions->GetMaximizeButton());
}

void TXtDockablePanel::SetFloatingHeightLimits(int Height) {
    TBarFloatingWindowParent* window = GetFloatParent();
    if (!window) return;
    window->GetConstraints()->SetMinHeight(Height);
    window->GetConstraints()->SetMaxHeight(Height);
}

bool TXtDockablePanel::Minimize(bool Proportional) {
    if (GetFloating() && !FState->FloatingMinimized) {
        return RunBusy([&] {
            FState->FloatingMinimized = true;
            FState->FloatingRestoreHeight = GetFloatingHeight();
            const bool r = SetPanelSize(GetMinimizedSize().Y, false);
            FState->FloatingMinimized = r;
            RefreshButtons();
            SetFloatingHeightLimits(GetMinimizedSize().Y);
            return r;
        });
    }
    if (GetFloating() || IsMinimized()) return false;
    const bool horizontalDock = GetDocked() && !GetCurrentDock()->IsLeftRight();
    const TXtSiblingsInfo info = GetSiblingsInfo();
    const bool act = horizontalDock ? info.Count == 0 : info.Count > 0 && info.Count != info.MinimizedCount;
    if (!act) return false;
    return RunBusy([&] {
        if (GetMinimizedSize().Y < GetHeight()) FState->DockedRestoreHeight = GetHeight();
        const bool r = SetPanelSize(GetMinimizedSize().Y, Proportional);
        FState->DockedMinimized = r;
        if (r) FState->Maximized = false;
        RefreshButtons();
        return r;
    });
}

bool TXtDockablePanel::Maximize() {
    if (IsMaximized() || GetSiblingCount() < 1) return false;
    return RunBusy([&] {
        FState->Maximized = true;
        const bool r = MinimizeOrRestoreSiblings(false);
        FState->Maximized = r;
        if (r) FState->DockedMinimized = false;
        RefreshButtons();
        return r;
    });
}

bool TXtDockablePanel::Restore(bool Proportional) {
    return RunBusy([&] {
        bool r = false;
        if (GetFloating() && FState->FloatingMinimized) {
            SetFloatingHeightLimits(0);
            r = SetPanelSize(FState->FloatingRestoreHeight, false);
            if (r) FState->FloatingMinimized = false;
        } else if (IsMaximized()) {
            r = MinimizeOrRestoreSiblings(true);
            if (r) FState->Maximized = false;
        } else if (IsMinimized()) {
            r = SetPanelSize(FState->DockedRestoreHeight, Proportional);
            if (r) {
                FState->DockedMinimized = false;
                if (TXtDockablePanel* maximized = GetSiblingsInfo().FirstMaximized) {
                    maximized->FState->Maximized = false;
                    if (maximized->FOptions && maximized->FOptions->GetMaximize())
                        maximized->FOptions->UpdateButtonImage(maximized->FOptions->GetMaximizeButton());
                }
            }
        }
        RefreshButtons();
        return r;
    });
}

template <class F>
bool TXtDockablePanel::RunBusy(F Step) {
    bool r;
    {
        gcl::TFlagScope busy(FBusy);
        r = Step();
    }
    // While busy the panel's own limits were loose; a multi-dock now fits
    // every panel into them again (a minimised one keeps its caption bar).
    if (r && !FBusy)
        if (auto* dock = dynamic_cast<TTxMultiDock*>(GetDocked() ? GetCurrentDock() : nullptr)) dock->ArrangeToolbars();
    return r;
}

bool TXtDockablePanel::RestoreAll(bool Proportional) {
    if (GetFloating() || !GetDocked()) return false;
    TBarDock* dock = GetCurrentDock();
    std::vector<gcl::TComponentRef<TXtDockablePanel>> panels;
    for (int i = 0; i < dock->GetControlCount(); ++i)
        if (TXtDockablePanel* panel = AsXtPanel(dock->GetControls(i))) panels.emplace_back(panel);
    for (auto& panel : panels)
        if (panel) panel->Restore(Proportional);
    return true;
}

void TXtDockablePanel::ToggleState(bool AMaximize) {
    if (AMaximize) {
        if (IsMaximized()) Restore(false);
        else Maximize();
    } else {
        if (IsMinimized()) Restore(false);
        else Minimize(false);
    }
}

// ---- Docking ----------------------------------------------------------------------------------

void TXtDockablePanel::SetParent(gcl::TWinControl* AParent) {
    gcl::TWinControl* old = GetParent();
    const bool changing = AParent != old && AParent && !IsDestroying(this);
    {
        gcl::TRestore<bool> docking(FDockingNow, changing);
        inherited::SetParent(AParent);
    }
    if (GetParent() == old || IsDestroying(this) || !GetParent() || !FOptions) return;
    UpdateCaptionVisibility();
    if (dynamic_cast<TBarFloatingWindowParent*>(GetParent())) {
        if (GetFloatingHeight() < 18) SetFloatingHeight(FState->FloatingRestoreHeight);
        if (FState->FloatingMinimized) SetFloatingHeightLimits(0);
        FState->FloatingMinimized = false;
    }
    UpdateDockedState();
    RefreshButtons();
}

void TXtDockablePanel::UpdateDockedState() {
    if (GetFloating() || !GetDocked()) return;
    TBarDock* dock = GetCurrentDock();
    TXtDockablePanel* restoreSibling = FSavedState->RestoreSibling.Get();
    if (FSavedState->DockedTo.Get() == dock) {
        FState->Assign(FSavedState.get());
        if (restoreSibling) restoreSibling->Minimize(false);
        return;
    }
    const TXtSiblingsInfo info = GetSiblingsInfo();
    if (IsMaximized()) {
        if (!info.FirstMaximized) {
            FState->Maximized = false;
            SetPanelSize(FState->DockedRestoreHeight, false);
        } else {
            Minimize(false);
        }
        if (restoreSibling && !restoreSibling->Maximize()) restoreSibling->RestoreAll(false);
    } else if (!info.FirstMaximized) {
        if (restoreSibling && !restoreSibling->Maximize()) restoreSibling->RestoreAll(false);
        if (dock->IsLeftRight()) {
            if (IsMinimized() && info.Count == 0) Restore(false);
        } else if (info.Count == 0) {
            if (FSavedState->DockedMinimized) Minimize(false);
        } else {
            RestoreAll(false);
        }
    } else {
        Minimize(false);
    }
}

void TXtDockablePanel::GetBaseSize(TPoint& Size) {
    inherited::GetBaseSize(Size);
    if (!FDockingNow || IsDesigning(this) || !GetDocked()) return;
    TBarDock* dock = GetCurrentDock();
    const bool others = std::any_of(dock->GetDockList().begin(), dock->GetDockList().end(),
                                    [this](TBarCustomDockableWindow* bar) { return bar != this; });
    if (others) {
        if (dock->IsLeftRight()) Size.X = 10;
        else Size.Y = 10;
    } else if (dock->IsLeftRight()) {
        Size.X = FDefaultDockedWidth;
    } else {
        int minW, minH, maxW, maxH;
        GetMinMaxSize(minW, minH, maxW, maxH);
        Size.Y = IsMinimized() ? minH : FDefaultDockedHeight;
    }
}

void TXtDockablePanel::GetMinMaxSize(int& AMinClientWidth, int& AMinClientHeight, int& AMaxClientWidth,
                                     int& AMaxClientHeight) {
    inherited::GetMinMaxSize(AMinClientWidth, AMinClientHeight, AMaxClientWidth, AMaxClientHeight);
    if (FBusy || !GetDocked() || GetFloating()) return;
    // The limits are the whole height's, told as client heights.
    const int nc = DockedNCSizeFor(GetCurrentDock()->IsLeftRight()).Y;
    if (FFixedDockedSize && !IsDesigning(this)) {
        AMinClientHeight = AMaxClientHeight = std::max(0, GetHeight() - nc);
        return;
    }
    AMinClientHeight = std::max(0, GetMinimizedSize().Y - nc);
    if (IsMinimized()) AMaxClientHeight = AMinClientHeight;
}

bool TXtDockablePanel::DockedResizing(bool Vertical, int& NewSize) {
    const bool allow = inherited::DockedResizing(Vertical, NewSize);
    if (TXtMultiDock* dock = XtMultiDock()) return dock->DockedResizing(Vertical, NewSize);
    return allow;
}

gcl::TMetaClass const* TXtDockablePanel::GetFloatingWindowParentClass() {
    return TXtFloatingWindowParent::StaticClass();
}

// ---- Painting ---------------------------------------------------------------------------------

void TXtDockablePanel::GetPanelCaptionInfo(TTxPanelCaptionInfo& Info) {
    inherited::GetPanelCaptionInfo(Info);
    // The caption is the caption toolbar's, never the theme's.
    Info.DragHandleStyle = 0;
    Info.CloseButtonState = 0;
}

void TXtDockablePanel::DrawCaptionBitmap(HDC DC, int X, int Y) {
    if (!GetParent() || !DC) return;
    TPoint size = GetMinimizedSize();
    if (GetFloating()) {
        size.X -= 2;
        size.Y -= 3;
    }
    if (size.X <= 0 || size.Y <= 0) return;
    if (FCaptionBitmap->GetWidth() != size.X || FCaptionBitmap->GetHeight() != size.Y) {
        FCaptionBitmap->SetSize(size.X, size.Y);
        TCanvas* canvas = FCaptionBitmap->GetCanvas();
        const TRect r{0, 0, size.X, size.Y};
        PaintPanelTitleBar(canvas, r, true, GetEffectiveColor(), std::string());
        bool paintDefault = true;
        DoDrawCaptionPanel(canvas, r, pstPrePaint, paintDefault);
        DoDrawCaptionPanel(canvas, r, pstPostPaint, paintDefault);
    }
    BitBlt(DC, X, Y, size.X, size.Y, FCaptionBitmap->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
}

void TXtDockablePanel::DoDrawCaptionPanel(TCanvas* ACanvas, const TRect& ARect, TXtPaintStage PaintStage,
                                          bool& PaintDefault) {
    if (OnDrawCaptionPanel) OnDrawCaptionPanel(this, ACanvas, ARect, PaintStage, PaintDefault);
}

void TXtDockablePanel::CaptionAreaPaint(gcl::TObject*, TCanvas* ACanvas, const TRect& ARect,
                                        TXtPaintStage PaintStage, bool& PaintDefault) {
    if (PaintStage != pstPrePaint) return;
    PaintDefault = false;
    int dx = -2, dy = -2;
    if (GetFloating()) dx = dy = ARect.Top == 0 ? -1 : -3;
    DrawCaptionBitmap(ACanvas->GetHandle(), ARect.Left + dx, ARect.Top + dy);
}

void TXtDockablePanel::DrawNCArea(HDC DC) {
    if (!GetDocked() || !HandleAllocated()) return;
    const HWND wnd = GetHandle();
    const HDC dc = DC ? DC : GetWindowDC(wnd);
    if (!dc) return;   // nothing to paint on: the next WM_NCPAINT paints the frame
    PaintFrame(dc);
    if (FCaptionDock && FCaptionDock->GetVisible()) {
        // Only the ring around the caption bar comes from the bitmap.
        const int saved = SaveDC(dc);
        const TPoint minimized = GetMinimizedSize();
        ExcludeClipRect(dc, 2, 2, minimized.X - 2, minimized.Y - 2);
        DrawCaptionBitmap(dc, 0, 0);
        RestoreDC(dc, saved);
    }
    if (!DC) ReleaseDC(wnd, dc);
}

void TXtDockablePanel::DrawRingOnCaptionBar(HDC DC, HWND Bar) {
    if (!GetDocked() || !HandleAllocated() || !FCaptionDock || !FCaptionDock->GetVisible()) return;
    RECT panel{}, bar{};
    GetWindowRect(GetHandle(), &panel);
    GetWindowRect(Bar, &bar);
    const int dx = bar.left - panel.left, dy = bar.top - panel.top;
    const TPoint minimized = GetMinimizedSize();
    const int saved = SaveDC(DC);
    ExcludeClipRect(DC, 2 - dx, 2 - dy, minimized.X - 2 - dx, minimized.Y - 2 - dy);
    DrawCaptionBitmap(DC, -dx, -dy);
    RestoreDC(DC, saved);
}

void TXtDockablePanel::Resize() {
    inherited::Resize();
    if (HandleAllocated()) RedrawWindow(GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

// ---- Streaming --------------------------------------------------------------------------------

void TXtDockablePanel::GetChildren(gcl::TGetChildProc Proc, gcl::TComponent* Root) {
    if (TBarCustomItem* items = GetItems()) {
        items->GetChildren(Proc, Root);
        for (int i = 0; i < items->GetCount(); ++i)
            if (auto* item = dynamic_cast<TBarControlItem*>(items->GetItem(i)))
                if (gcl::TControl* control = item->GetControl(); control && control->GetParent() != this &&
                                                                  control->GetOwner() == Root)
                    Proc(control);
    }
    for (int i = 0; i < GetControlCount(); ++i) {
        gcl::TControl* control = GetControls(i);
        if (control != FCaptionDock && control->GetOwner() == Root) Proc(control);
    }
}

void TXtDockablePanel::Loaded() {
    inherited::Loaded();
    if (TBarCustomItem* items = GetItems())
        for (int i = 0; i < items->GetCount(); ++i)
            if (auto* item = dynamic_cast<TBarControlItem*>(items->GetItem(i)))
                if (gcl::TControl* control = item->GetControl(); control && control->GetParent() != FCaptionToolbar)
                    control->SetParent(FCaptionToolbar);
    if (FOptions) FOptions->ReorderButtons();
    InvalidateBackground(true);
}

// ---- Messages ---------------------------------------------------------------------------------

void TXtDockablePanel::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case gcl::CM_TEXTCHANGED:
        inherited::Dispatch(Message);
        if (FOptions) FOptions->SetCaptionText(GetCaption());
        return;
    case WM_NCHITTEST:
        inherited::Dispatch(Message);
        if (Message.Result == HTNOWHERE && HandleAllocated()) {
            RECT r{};
            GetWindowRect(GetHandle(), &r);
            const POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
            if (PtInRect(&r, p)) Message.Result = HTTRANSPARENT;
        }
        return;
    case WM_SKIN_THEMECHANGE:
        if (Message.WParam == 3) InvalidateBackground(true);
        break;
    case WM_CAPTURECHANGED:
        inherited::Dispatch(Message);
        FSavedState->DockedTo = nullptr;
        FSavedState->RestoreSibling = nullptr;
        return;
    case WM_NCLBUTTONDOWN: {
        TXtMultiDock* dock = XtMultiDock();
        if (!dock) break;
        if (Message.WParam == HT_TB2K_DRAGHANDLE) {
            FSavedState->Assign(FState.get());
            FSavedState->DockedTo = dock;
            FSavedState->RestoreSibling = nullptr;
            if (dock->IsLeftRight()) {
                const TXtSiblingsInfo info = GetSiblingsInfo();
                if (info.MinimizedCount > 0 && info.MinimizedCount == info.Count)
                    FSavedState->RestoreSibling = info.FirstMinimized;
            }
        } else if (Message.WParam == HTLEFT && dock->GetPosition() == dpxClient) {
            // The border between a client-filling dock and a left dock
            // resizes the panel of the left dock.
            POINT p{static_cast<short>(LOWORD(Message.LParam)) - 20, static_cast<short>(HIWORD(Message.LParam))};
            if (gcl::TCustomForm* form = gcl::GetParentForm(this); form && form->HandleAllocated()) {
                POINT fp = p;
                ::ScreenToClient(form->GetHandle(), &fp);
                auto* left = dynamic_cast<TTxMultiDock*>(form->ControlAtPos(TPoint{fp.x, fp.y}, false, true));
                if (left && left->GetPosition() == dpLeft && left->HandleAllocated()) {
                    POINT lp = p;
                    ::ScreenToClient(left->GetHandle(), &lp);
                    if (auto* panel = dynamic_cast<TTxCustomDockablePanel*>(
                            left->ControlAtPos(TPoint{lp.x, lp.y}, false, true))) {
                        panel->ResizeByBorder(HTRIGHT, TPoint{p.x + 20, p.y});
                        return;
                    }
                }
            }
        }
        break;
    }
    default: break;
    }
    inherited::Dispatch(Message);
}

// ==== Registration =============================================================================

namespace {

void FinalizeXtDkPanels() {
    for (gcl::TClass cls : {TXtMultiDock::StaticClass(), TXtDockablePanel::StaticClass(),
                            TXtDockablePanelToolbar::StaticClass()})
        gcl::UnRegisterClass(cls);
    XtItemUnit.Finalize();
}

void InitializeXtDkPanels() {
    XtItemUnit.Initialize();
    try {
        gcl::RegisterClasses({TXtMultiDock::StaticClass(), TXtDockablePanel::StaticClass(),
                              TXtDockablePanelToolbar::StaticClass()});
    } catch (...) {
        FinalizeXtDkPanels();
        throw;
    }
}

} // namespace

gcl::TUnit XtDkPanelsUnit{"XtDkPanels", &InitializeXtDkPanels, &FinalizeXtDkPanels};

} // namespace qelvo
