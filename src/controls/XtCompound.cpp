// The compound items control and bar, the status toolbar's size grip, and
// the title bar: its activation, the form's window hook, the resize
// borders, the title toolbar's mouse, the caption buttons and painting.
#include "controls/XtCompound.h"
#include "controls/XtPaint.h"

#include <shellapi.h>

#include <algorithm>

#include "gcl/rtl/Filer.h"
#include "theming/TxUtils.h"
#include "unicode/UniClasses.h"
#include "unicode/UniControls.h"

namespace qelvo {

namespace {

// Window-frame parts of the "WINDOW" visual-styles class.
constexpr int WP_CAPTION = 1;
constexpr int WP_FRAMELEFT = 7;
constexpr int WP_FRAMERIGHT = 8;
constexpr int WP_FRAMEBOTTOM = 9;

// Runs Paint with a class-library canvas over DC.
template <class Paint>
void PaintOnDC(HDC DC, Paint paint) {
    gcl::TCanvas canvas;
    canvas.SetHandle(DC);
    paint(&canvas);
    canvas.SetHandle(nullptr);
}

HWND FormHandle(gcl::TCustomForm* form) { return form && form->HandleAllocated() ? form->GetHandle() : nullptr; }

void SendSysCommand(gcl::TCustomForm* form, unsigned command) {
    if (const HWND wnd = FormHandle(form)) {
        ReleaseCapture();
        SendMessageA(wnd, WM_SYSCOMMAND, command, 0);
    }
}

gcl::TCursor SizeCursor(int command) {
    switch (command) {
    case 0xF001:
    case 0xF002: return gcl::crSizeWE;
    case 0xF003:
    case 0xF006: return gcl::crSizeNS;
    case 0xF004:
    case 0xF008: return gcl::crSizeNWSE;
    default: return gcl::crSizeNESW;
    }
}

bool ShowScreenCursor(gcl::TCursor cursor) {
    if (!gcl::Screen) return false;
    SetCursor(gcl::Screen->GetCursors(cursor));
    return true;
}

TPoint CursorPoint() {
    POINT p{};
    GetCursorPos(&p);
    return TPoint{p.x, p.y};
}

} // namespace

// ==== The compound items control ===================================================================

GCL_PUBLISHED(TXtCompoundItemsControl)

TXtCompoundItemsControl::TXtCompoundItemsControl(gcl::TComponent* AOwner) : gcl::TCustomControl(AOwner) {}

void TXtCompoundItemsControl::AfterConstruction() {
    inherited::AfterConstruction();
    FDock = gcl::as<TXtDock>(GetDockClass()->Create(this));
    FDock->SetParent(this);
    FDock->OnRequestDock = TBarRequestDockEvent(this, &TXtCompoundItemsControl::DockRequestDock);
    FToolbar = gcl::as<TXtToolbar>(GetToolbarClass()->Create(this));
    FToolbar->SetCompoundToolbar(true);
    FToolbar->SetDockedBorderStyle(gcl::bsNone);
    FToolbar->SetDockMode(dmCannotFloatOrChangeDocks);
    FToolbar->SetDragHandleStyle(dhNone);
    FToolbar->SetStretch(true);
    FToolbar->SetShrinkMode(tbsmNone);
    FToolbar->TBarCustomDockableWindow::SetShowCaption(false);
    FToolbar->SetParent(FDock);
    FToolbar->SetCurrentDock(FDock);
    AddThemeListener(this);
}

void TXtCompoundItemsControl::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    inherited::BeforeDestruction();
}

const gcl::TComponent::TMetaClassType* TXtCompoundItemsControl::GetDockClass() { return TXtDock::StaticClass(); }

const gcl::TComponent::TMetaClassType* TXtCompoundItemsControl::GetToolbarClass() {
    return TXtToolbar::StaticClass();
}

TBarCustomItem* TXtCompoundItemsControl::GetItems() const { return FToolbar ? FToolbar->GetItems() : nullptr; }

void TXtCompoundItemsControl::DockRequestDock(gcl::TObject*, TBarCustomDockableWindow* Bar, bool& Accept) {
    Accept = Bar == FToolbar;
}

void TXtCompoundItemsControl::InvalidateBackground(bool) {
    if (gcl::InState(this, gcl::csDestroying) || !HandleAllocated()) return;
    RedrawWindow(GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TXtCompoundItemsControl::CreateParams(gcl::TCreateParams& Params) {
    inherited::CreateParams(Params);
    // Sizing repaints only what changed.
    if (!gcl::InState(this, gcl::csDesigning)) Params.WindowClass.style &= ~UINT(CS_VREDRAW | CS_HREDRAW);
}

void TXtCompoundItemsControl::Loaded() {
    inherited::Loaded();
    TBarCustomItem* items = GetItems();
    for (int i = 0; items && i < items->GetCount(); ++i)
        if (auto* item = dynamic_cast<TBarControlItem*>(items->GetItem(i)))
            if (gcl::TControl* control = item->GetControl(); control && control->GetParent() != FToolbar)
                control->SetParent(FToolbar);
}

void TXtCompoundItemsControl::GetChildren(gcl::TGetChildProc Proc, gcl::TComponent* Root) {
    TBarCustomItem* items = GetItems();
    if (!items) return;
    items->GetChildren(Proc, Root);
    for (int i = 0; i < items->GetCount(); ++i)
        if (auto* item = dynamic_cast<TBarControlItem*>(items->GetItem(i)))
            if (gcl::TControl* control = item->GetControl(); control && control->GetOwner() == Root) Proc(control);
}

void TXtCompoundItemsControl::Dispatch(gcl::TMessage& Message) {
    if (Message.Msg == WM_SKIN_THEMECHANGE && Message.WParam == 3 && HandleAllocated()) InvalidateBackground(false);
    inherited::Dispatch(Message);
}

// ==== The compound bar ============================================================================

GCL_PUBLISHED(TXtCompoundBar)

void TXtCompoundBar::AfterConstruction() {
    inherited::AfterConstruction();
    GetDock()->OnResize = gcl::TNotifyEvent(this, &TXtCompoundBar::DockResize);
    GetDock()->SetOnDrawBackground(TXtDrawEvent(this, &TXtCompoundBar::DockDrawBackground));
    DockResize(GetDock());
}

void TXtCompoundBar::DockResize(gcl::TObject*) {
    if (GetDock() && GetHeight() != GetDock()->GetHeight()) SetHeight(GetDock()->GetHeight());
}

void TXtCompoundBar::DockDrawBackground(gcl::TObject*, gcl::TCanvas* Canvas, const TRect& Rect,
                                        TXtPaintStage PaintStage, bool& PaintDefault) {
    Canvas->GetBrush()->SetColor(gcl::clBtnFace);
    DoDrawDockBackground(Canvas, Rect, PaintStage, PaintDefault);
}

void TXtCompoundBar::DoDrawDockBackground(gcl::TCanvas* Canvas, const TRect& Rect, TXtPaintStage PaintStage,
                                          bool& PaintDefault) {
    if (OnDrawDockBackground) OnDrawDockBackground(this, Canvas, Rect, PaintStage, PaintDefault);
}

// ==== The status toolbar ==========================================================================

GCL_PUBLISHED(TXtStatusToolbar, GCL_PROP(SizeGrip).Default(true))

void TXtStatusToolbar::SetSizeGrip(bool Value) {
    if (Value == FSizeGrip) return;
    FSizeGrip = Value;
    RightAlignItems();
    if (HandleAllocated()) Invalidate();
}

void TXtStatusToolbar::SetThemeType(TXtThemeType Value) {
    if (Value == FThemeType) return;
    FThemeType = Value;
    if (HandleAllocated()) Invalidate();
}

gcl::TCustomForm* TXtStatusToolbar::ParentForm() {
    if (!FParentForm) FParentForm = gcl::GetParentForm(this);
    return FParentForm.Get();
}

TRect TXtStatusToolbar::GetGripRect() {
    if (gcl::InState(this, gcl::csDestroying) || !FSizeGrip || !GetDocked() || !GetCurrentDock()) return TRect{};
    gcl::TCustomForm* form = ParentForm();
    if (!form || !form->HandleAllocated()) return TRect{};
    TRect placement;
    if (GetWindowPlacementRect(form, placement) != 0) return TRect{};
    // The nearest title bar sizes the form while it stands for its frame;
    // without one the form must have a sizing frame of its own.
    auto* bar = dynamic_cast<TXtCustomTitleBar*>(FindParentOfClass(this, TXtCustomTitleBar::StaticClass()));
    const bool sizable = bar ? bar->GetActive() && !bar->GetFixedSize()
                             : (GetWindowLongA(form->GetHandle(), GWL_STYLE) & WS_THICKFRAME) != 0;
    if (!sizable) return TRect{};
    TBarDock* dock = GetCurrentDock();
    TRect r = dock->GetClientRect();
    const TPoint origin = dock->ScreenToClient(ClientToScreen(TPoint{0, 0}));
    gcl::OffsetRect(r, -origin.X, -origin.Y);
    r.Left = r.Right - GetSystemMetrics(SM_CXVSCROLL);
    return r;
}

int TXtStatusToolbar::GetRightAlignMargin() {
    const TRect grip = GetGripRect();
    return gcl::IsRectEmpty(grip) ? 4 : grip.Width();
}

bool TXtStatusToolbar::HidesSeparator(TBarItemViewer* Viewer) {
    const TRect grip = GetGripRect();
    if (!Viewer || !Viewer->GetItem()->HasStyle(tbisSeparator) || gcl::IsRectEmpty(grip)) return false;
    return Viewer->BoundsRect.Right > grip.Left;
}

bool TXtStatusToolbar::GripPress(TPoint ClientPoint) {
    if (!gcl::PtInRect(GetGripRect(), ClientPoint)) return false;
    SendSysCommand(ParentForm(), 0xF008);
    return true;
}

void TXtStatusToolbar::MouseDown(gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y) {
    if (Button == gcl::mbLeft && GripPress(TPoint{X, Y})) return;
    inherited::MouseDown(Button, Shift, X, Y);
}

void TXtStatusToolbar::PaintGrip(HDC DC) {
    const TRect grip = GetGripRect();
    if (gcl::IsRectEmpty(grip)) return;
    TXtThemeType style = ResolvePaintingStyle(FThemeType);
    if (style == thtWindows && !DrawVisualStylesPart(VisualStylesHandle(vscStatus), DC, 3, 0, grip))
        style = thtNone;   // SP_GRIPPER
    if (FClassicGrip || style == thtNone) {
        RECT r = gcl::ToRECT(grip);
        DrawFrameControl(DC, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    } else if (style == thtTx) {
        PaintOnDC(DC, [&](gcl::TCanvas* canvas) { CurrentTheme->PaintStatusBarPart(canvas, grip, 3); });
    }
}

void TXtStatusToolbar::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCLBUTTONDOWN: {
        const TPoint p = ScreenToClient(TPoint{int16_t(LOWORD(Message.LParam)), int16_t(HIWORD(Message.LParam))});
        if (GripPress(p)) return;
        break;
    }
    case WM_SETCURSOR:
        if (gcl::Screen && gcl::Screen->GetCursor() == gcl::crDefault &&
            gcl::PtInRect(GetGripRect(), ScreenToClient(CursorPoint())) && ShowScreenCursor(gcl::crSizeNWSE)) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_PAINT:
        inherited::Dispatch(Message);
        if (HandleAllocated()) {
            const HDC dc = GetDC(GetHandle());
            PaintGrip(dc);
            ReleaseDC(GetHandle(), dc);
        }
        return;
    case WM_SKIN_THEMECHANGE:
        if (Message.WParam == 3) FClassicGrip = CurrentThemeName() == "Office11Adaptive";
        break;
    default: break;
    }
    inherited::Dispatch(Message);
}

// ==== The title toolbar ============================================================================

GCL_PUBLISHED(TXtTitleToolbar)

TXtTitleToolbar::TXtTitleToolbar(gcl::TComponent* AOwner) : TXtToolbar(AOwner) { SetCompoundToolbar(true); }

TXtCustomTitleBar* TXtTitleToolbar::TitleBar() const {
    return dynamic_cast<TXtCustomTitleBar*>(FindParentOfClass(const_cast<TXtTitleToolbar*>(this),
                                                              TXtCustomTitleBar::StaticClass()));
}

void TXtTitleToolbar::MouseDown(gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y) {
    TXtCustomTitleBar* bar = TitleBar();
    gcl::TCustomForm* form = bar ? bar->GetParentForm() : nullptr;
    if (!form || !GetView()) {
        inherited::MouseDown(Button, Shift, X, Y);
        return;
    }
    // The bar's resize borders reach over its caption strip.
    const TPoint onBar = bar->ScreenToClient(ClientToScreen(TPoint{X, Y}));
    if (Button == gcl::mbLeft) {
        if (const int command = bar->SizeCommandAt(onBar)) {
            SendSysCommand(form, command);
            return;
        }
    }
    TXtTitleBarButtonOptions* options = bar->GetOptions();
    TBarItemViewer* viewer = GetView()->ViewerFromPoint(TPoint{X, Y});
    TBarCustomItem* item = viewer ? viewer->GetItem() : nullptr;
    const bool empty = !item || item->HasStyle(tbisClicksTransparent);
    const bool twice = Shift.Contains(gcl::ssDouble);
    if (Button == gcl::mbLeft) {
        if (twice && item && item == options->GetSystemMenuButton()) {
            form->Close();
            return;
        }
        if (empty) {
            if (twice) {
                if (options->GetMaximize() && !bar->GetFixedSize())
                    if (TXtItem* maximize = options->GetMaximizeButton()) maximize->Click();
            } else if (!bar->IsFormMaximized()) {
                SendSysCommand(form, 0xF012);   // SC_MOVE by the caption
            }
            return;
        }
    } else if (Button == gcl::mbRight && empty && options->GetSystemMenu()) {
        bar->ShowSystemMenu(CursorPoint());
        return;
    }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TXtTitleToolbar::Dispatch(gcl::TMessage& Message) {
    if (Message.Msg == WM_SETCURSOR) {
        if (TXtCustomTitleBar* bar = TitleBar()) {
            const int command = bar->SizeCommandAt(bar->ScreenToClient(CursorPoint()));
            if (command && ShowScreenCursor(SizeCursor(command))) {
                Message.Result = 1;
                return;
            }
        }
    }
    inherited::Dispatch(Message);
}

// ==== The title bar's buttons ======================================================================

GCL_PUBLISHED(TXtTitleBarButtonOptions,
    GCL_PROP(SystemMenu).Default(true),
    GCL_PROP(SystemImageIndex).Default(-1))

TXtTitleBarButtonOptions::TXtTitleBarButtonOptions(TXtCustomTitleBar* ATitleBar, TXtToolbar* AToolbar)
    : TXtButtonOptions(ATitleBar, AToolbar), FIcon(std::make_unique<gcl::TIcon>()), FTitleBar(ATitleBar) {
    if (ATitleBar && !gcl::InState(ATitleBar, gcl::csDesigning)) {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        SHFILEINFOA info{};
        if (SHGetFileInfoA(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON) && info.hIcon)
            FIcon->SetHandle(info.hIcon);
    }
}

TXtTitleBarButtonOptions::~TXtTitleBarButtonOptions() = default;

void TXtTitleBarButtonOptions::CreateButtons() {
    if (GetToolbar()) MakeButton(FSystemMenuButton, FSystemMenu);
    inherited::CreateButtons();
    ReorderButtons();
}

void TXtTitleBarButtonOptions::ReorderButtons() {
    inherited::ReorderButtons();
    TBarCustomItem* items = GetToolbar() ? GetToolbar()->GetItems() : nullptr;
    if (TXtItem* button = FSystemMenuButton.Get(); items && button && items->IndexOf(button) > 0)
        items->Move(items->IndexOf(button), 0);
}

void TXtTitleBarButtonOptions::SetSystemMenu(bool Value) {
    if (Value == FSystemMenu) return;
    FSystemMenu = Value;
    ShowItem(FSystemMenuButton.Get(), Value);
}

void TXtTitleBarButtonOptions::SetSystemImageIndex(int Value) {
    Value = std::max(Value, -1);
    if (Value == FSystemImageIndex) return;
    FSystemImageIndex = Value;
    UpdateButtonImage(FSystemMenuButton.Get());
}

void TXtTitleBarButtonOptions::UpdateButtonImage(TXtItem* Button) {
    if (Button && Button == FSystemMenuButton.Get()) {
        ApplyImage(Button, FSystemImageIndex, -1);
        Button->Invalidate();
        return;
    }
    inherited::UpdateButtonImage(Button);
}

bool TXtTitleBarButtonOptions::Restoring(TXtItem* Button) {
    return Button && Button == GetMaximizeButton() && FTitleBar && FTitleBar->IsFormMaximized();
}

void TXtTitleBarButtonOptions::ButtonsDrawItem(gcl::TObject* Sender, TCanvas* ACanvas, const TRect& ARect,
                                               const TTxItemInfo& ItemInfo, TXtPaintStage PaintStage,
                                               bool& PaintDefault) {
    inherited::ButtonsDrawItem(Sender, ACanvas, ARect, ItemInfo, PaintStage, PaintDefault);
    // Without an image of its own the system button shows the program's icon.
    if (PaintStage != pstPostPaint || Sender != FSystemMenuButton.Get() || FSystemImageIndex >= 0 ||
        FIcon->GetEmpty())
        return;
    const int size = std::min({16, ARect.Width(), ARect.Height()});
    const int x = ARect.Left + (ARect.Width() - size) / 2;
    const int y = ARect.Top + (ARect.Height() - size) / 2;
    DrawIconEx(ACanvas->GetHandle(), x, y, FIcon->GetHandle(), size, size, 0, nullptr, DI_NORMAL);
}

void TXtTitleBarButtonOptions::ButtonsClick(gcl::TObject* Sender) {
    gcl::TCustomForm* form = FTitleBar ? FTitleBar->GetParentForm() : nullptr;
    if (!form) return;
    if (Sender == FSystemMenuButton.Get()) {
        TPoint below = FTitleBar->ClientToScreen(TPoint{0, FTitleBar->GetDock()->GetHeight()});
        if (TBarView* view = GetToolbar()->GetView())
            if (TBarItemViewer* viewer = FindViewerOfItem(view, FSystemMenuButton.Get()))
                below = GetToolbar()->ClientToScreen(TPoint{viewer->BoundsRect.Left, viewer->BoundsRect.Bottom});
        FTitleBar->ShowSystemMenu(below);
    } else if (Sender == GetMinimizeButton()) {
        SendSysCommand(form, SC_MINIMIZE);
    } else if (Sender == GetMaximizeButton()) {
        form->SetWindowState(FTitleBar->IsFormMaximized() ? gcl::wsNormal : gcl::wsMaximized);
        UpdateButtonImage(GetMaximizeButton());
    } else if (Sender == GetCloseButton()) {
        form->Close();
    }
}

void TXtTitleBarButtonOptions::ThemeChanged() {
    if (TXtRightAlignSpacerItem* label = GetCaptionLabel())
        label->GetFontSettings()->SetColor(CurrentThemeName() == "Default" ? gcl::clCaptionText : clNone);
}

// ==== The title bar ================================================================================

GCL_PUBLISHED(TXtCustomTitleBar)
GCL_PUBLISHED(TXtTitleBar,
    gcl::Prop<&TXtCustomTitleBar::GetCaption, &TXtCustomTitleBar::SetCaption>("Caption"),
    GCL_PROP(Align),
    GCL_PROP(Color),
    GCL_PROP(Visible),
    GCL_PROP(Active).Default(true),
    GCL_PROP(FixedSize).Default(false),
    GCL_PROP(FullScreenMaximize).Default(false),
    GCL_PROP(Images),
    GCL_PROP(Options),
    GCL_PROP(TxStyleBackground).Default(false))

TXtCustomTitleBar::TXtCustomTitleBar(gcl::TComponent* AOwner)
    : TXtCompoundBar(AOwner), FBackgroundBitmap(std::make_unique<gcl::TBitmap>()),
      FFrameSize(GetSystemMetrics(SM_CYFRAME)) {
    SetControlStyle(GetControlStyle().Include(gcl::csAcceptsControls));
}

TXtCustomTitleBar::~TXtCustomTitleBar() = default;

void TXtCustomTitleBar::AfterConstruction() {
    inherited::AfterConstruction();
    // The form's size is the bar's, not the dock's.
    GetDock()->OnResize = {};
    SetAlign(gcl::alClient);
    FOptions.reset(TXtTitleBarButtonOptions::Create(this, GetToolbar()));
    FOptions->ThemeChanged();
}

void TXtCustomTitleBar::BeforeDestruction() noexcept {
    UnhookForm();
    inherited::BeforeDestruction();
}

const gcl::TComponent::TMetaClassType* TXtCustomTitleBar::GetToolbarClass() {
    return TXtTitleToolbar::StaticClass();
}

std::wstring TXtCustomTitleBar::GetCaption() { return WideControlGetText(this); }

void TXtCustomTitleBar::SetCaption(const std::wstring& Value) { WideControlSetText(this, Value); }

void TXtCustomTitleBar::CreateWindowHandle(const gcl::TCreateParams& Params) {
    CreateWideWindowHandle(this, Params, nullptr);
}

void TXtCustomTitleBar::DefineProperties(gcl::TFiler& Filer) {
    inherited::DefineProperties(Filer);
    DefineWideProperties(Filer, this);
}

gcl::TCustomForm* TXtCustomTitleBar::GetParentForm() const {
    return gcl::GetParentForm(const_cast<TXtCustomTitleBar*>(this));
}

bool TXtCustomTitleBar::IsFormMaximized() const {
    gcl::TCustomForm* form = GetParentForm();
    if (!form) return false;
    if (const HWND wnd = FormHandle(form)) return IsZoomed(wnd) != 0;
    return form->GetWindowState() == gcl::wsMaximized;
}

gcl::TCustomImageList* TXtCustomTitleBar::GetImages() const { return GetToolbar()->GetImages(); }

void TXtCustomTitleBar::SetImages(gcl::TCustomImageList* Value) { GetToolbar()->SetImages(Value); }

void TXtCustomTitleBar::SetTxStyleBackground(bool Value) {
    if (Value == FTxStyleBackground) return;
    FTxStyleBackground = Value;
    InvalidateBackground(true);
}

void TXtCustomTitleBar::Loaded() {
    inherited::Loaded();
    HookForm();
    FOptions->ReorderButtons();
    // The form may still be finishing its own loading.
    ApplyActive(true);
}

void TXtCustomTitleBar::SetActive(bool Value) {
    if (Value == FActive) return;
    FActive = Value;
    if (!gcl::InState(this, gcl::csLoading)) ApplyActive(false);
}

void TXtCustomTitleBar::ApplyActive(bool Loading) {
    gcl::TCustomForm* form = GetParentForm();
    if (!form || (!Loading && gcl::InState(form, gcl::csLoading)) || gcl::InState(form, gcl::csDestroying)) return;
    HookForm();
    // The form's own resize handler hears nothing of the change.
    const gcl::TNotifyEvent onResize = form->OnResize;
    form->OnResize = {};
    const bool maximized = IsFormMaximized();
    TRect placement;
    const int state = form->HandleAllocated() ? GetWindowPlacementRect(form, placement) : 0;
    const int dx = 2 * GetSystemMetrics(SM_CXFRAME);
    const int dy = GetSystemMetrics(SM_CYCAPTION) + 2 * FFrameSize;
    if (FActive && form->GetBorderStyle() != gcl::bsNone) {
        form->SetBorderStyle(gcl::bsNone);
        form->HandleNeeded();
        if (!maximized) form->SetBounds(form->GetLeft(), form->GetTop(), form->GetWidth() - dx, form->GetHeight() - dy);
    } else if (!FActive && form->GetBorderStyle() == gcl::bsNone) {
        form->SetBorderStyle(gcl::bsSizeable);
        if (!maximized) form->SetBounds(form->GetLeft(), form->GetTop(), form->GetWidth() + dx, form->GetHeight() + dy);
    }
    if (maximized) SetWindowPlacementRect(form, state, TRect{});
    GetDock()->SetVisible(FActive);
    form->OnResize = onResize;
    FBackgroundBitmap->SetSize(0, 0);
    Realign();
    InvalidateBackground(true);
}

void TXtCustomTitleBar::AdjustClientRect(TRect& Rect) {
    inherited::AdjustClientRect(Rect);
    if (FActive && !IsFormMaximized()) gcl::InflateRect(Rect, -FFrameSize, -FFrameSize);
}

int TXtCustomTitleBar::SizeCommandAt(TPoint Point) {
    if (!FActive || FFixedSize || IsFormMaximized() || !GetParentForm()) return 0;
    const TRect r{0, 0, GetWidth(), GetHeight()};
    if (!gcl::PtInRect(r, Point)) return 0;
    const bool left = Point.X < r.Left + ResizeBorder;
    const bool right = Point.X >= r.Right - ResizeBorder;
    const bool top = Point.Y < r.Top + ResizeBorder;
    const bool bottom = Point.Y >= r.Bottom - ResizeBorder;
    if (top) return left ? 0xF004 : right ? 0xF005 : 0xF003;
    if (bottom) return left ? 0xF007 : right ? 0xF008 : 0xF006;
    return left ? 0xF001 : right ? 0xF002 : 0;
}

bool TXtCustomTitleBar::SetSizeCursor(TPoint ClientPoint) {
    const int command = SizeCommandAt(ClientPoint);
    return command && ShowScreenCursor(SizeCursor(command));
}

void TXtCustomTitleBar::MouseDown(gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y) {
    if (Button == gcl::mbLeft)
        if (const int command = SizeCommandAt(TPoint{X, Y})) {
            SendSysCommand(GetParentForm(), command);
            return;
        }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TXtCustomTitleBar::ShowSystemMenu(TPoint ScreenPoint) {
    gcl::TCustomForm* form = GetParentForm();
    if (!form) return;
    ShowSystemMenuPopup(form, ScreenPoint, !FFixedSize, true,
                        TXtPopupEvent(this, &TXtCustomTitleBar::SystemMenuInitPopup), FOptions->GetClose(),
                        FOptions->GetMaximize() && !FFixedSize, FOptions->GetMinimize());
}

void TXtCustomTitleBar::SystemMenuInitPopup(gcl::TObject*, TBarView* PopupView) {
    if (OnSystemMenuPopup) OnSystemMenuPopup(this, PopupView);
}

// ---- The form's window hook -----------------------------------------------------------------------

void TXtCustomTitleBar::HookForm() {
    gcl::TCustomForm* form = GetParentForm();
    if (!form || FHookedForm.Get() == form || gcl::InState(this, gcl::csDesigning)) return;
    UnhookForm();
    FHookedForm = form;
    FPrevFormProc = form->GetWindowProc();
    form->SetWindowProc(gcl::TWndMethod(this, &TXtCustomTitleBar::FormWindowProc));
}

void TXtCustomTitleBar::UnhookForm() noexcept {
    gcl::TCustomForm* form = FHookedForm.Get();
    FHookedForm = nullptr;
    // Another hook installed after this one keeps its place.
    if (form && form->GetWindowProc() == gcl::TWndMethod(this, &TXtCustomTitleBar::FormWindowProc))
        form->SetWindowProc(FPrevFormProc);
    FPrevFormProc = {};
}

void TXtCustomTitleBar::FormWindowProc(gcl::TMessage& Message) {
    const gcl::TWndMethod prev = FPrevFormProc;
    switch (Message.Msg) {
    case WM_GETMINMAXINFO:
        if (FActive && !FFullScreenMaximize && FHookedForm && FHookedForm->HandleAllocated()) {
            // Maximised, the form fills the work area, and leaves a pixel
            // for a taskbar that hides itself.
            auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
            MONITORINFO monitor{};
            monitor.cbSize = sizeof(monitor);
            if (GetMonitorInfoA(MonitorFromWindow(FHookedForm->GetHandle(), MONITOR_DEFAULTTONEAREST), &monitor)) {
                const TRect screen = gcl::FromRECT(monitor.rcMonitor);
                TRect work;
                if (!gcl::IntersectRect(work, MaximizedWindowRect(screen), gcl::FromRECT(monitor.rcWork)))
                    work = gcl::FromRECT(monitor.rcWork);
                info->ptMaxPosition = POINT{work.Left - screen.Left, work.Top - screen.Top};
                info->ptMaxSize = POINT{work.Width(), work.Height()};
            }
        }
        break;
    case WM_SYSCOMMAND:
        if ((Message.WParam & 0xFFF0) == SC_KEYMENU && Message.LParam == ' ' && FActive && FOptions->GetSystemMenu()) {
            // Alt+Space: the system menu under the system button.
            FOptions->ButtonsClick(FOptions->GetSystemMenuButton());
            return;
        }
        break;
    case WM_CREATE:
        if (prev) prev(Message);
        // A new window of the form keeps the system menu the frame gave it.
        if (FActive && FHookedForm && FHookedForm->HandleAllocated()) {
            const HWND wnd = FHookedForm->GetHandle();
            SetWindowLongA(wnd, GWL_STYLE, GetWindowLongA(wnd, GWL_STYLE) | WS_SYSMENU);
        }
        return;
    case WM_ACTIVATE:
    case WM_SIZE:
        FBackgroundBitmap->SetSize(0, 0);
        if (FOptions) FOptions->UpdateButtonImage(FOptions->GetMaximizeButton());
        if (HandleAllocated()) InvalidateBackground(true);
        break;
    default: break;
    }
    if (prev) prev(Message);
}

// ---- Painting -----------------------------------------------------------------------------------------

void TXtCustomTitleBar::InvalidateBackground(bool Repaint) {
    FBackgroundBitmap->SetSize(0, 0);
    inherited::InvalidateBackground(Repaint);
}

void TXtCustomTitleBar::EraseBackground(gcl::TMessage& Message) {
    const HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const TRect client{0, 0, GetWidth(), GetHeight()};
    PaintOnDC(dc, [&](gcl::TCanvas* canvas) {
        bool paintDefault = true;
        if (OnDrawBackground) OnDrawBackground(this, canvas, client, pstPrePaint, paintDefault);
        if (paintDefault) {
            FillRectColor(dc, client, GetColor() == clNone ? gcl::clBtnFace : GetColor());
            const HTHEME frame = VisualStylesHandle(vscWindow);
            if (CurrentThemeName() == "Default" && VisualStylesUsable() && frame && FActive && !IsFormMaximized()) {
                gcl::TCustomForm* form = GetParentForm();
                const int state = form && form->GetActive() ? 1 : 2;
                const int f = FFrameSize;
                DrawVisualStylesPart(frame, dc, WP_CAPTION, state, TRect{0, 0, client.Right, f});
                DrawVisualStylesPart(frame, dc, WP_FRAMELEFT, state, TRect{0, f, f, client.Bottom - f});
                DrawVisualStylesPart(frame, dc, WP_FRAMERIGHT, state,
                                     TRect{client.Right - f, f, client.Right, client.Bottom - f});
                DrawVisualStylesPart(frame, dc, WP_FRAMEBOTTOM, state,
                                     TRect{0, client.Bottom - f, client.Right, client.Bottom});
            }
        }
        if (OnDrawBackground) OnDrawBackground(this, canvas, client, pstPostPaint, paintDefault);
    });
    Message.Result = 1;
}

void TXtCustomTitleBar::DoDrawDockBackground(gcl::TCanvas* Canvas, const TRect& Rect, TXtPaintStage PaintStage,
                                             bool& PaintDefault) {
    inherited::DoDrawDockBackground(Canvas, Rect, PaintStage, PaintDefault);
    if (PaintStage != pstPrePaint || !PaintDefault || gcl::IsRectEmpty(Rect)) return;
    PaintDefault = false;
    const int w = Rect.Width(), h = Rect.Height();
    if (FBackgroundBitmap->GetWidth() != w || FBackgroundBitmap->GetHeight() != h) {
        // The caption strip, painted again only when its size changes.
        FBackgroundBitmap->SetPixelFormat(gcl::pf32bit);
        FBackgroundBitmap->SetSize(w, h);
        gcl::TCustomForm* form = GetParentForm();
        const bool active = !form || form->GetActive() || GetActiveWindow() == FormHandle(form);
        TCanvas* canvas = FBackgroundBitmap->GetCanvas();
        const TRect r{0, 0, w, h};
        const HTHEME frame = VisualStylesHandle(vscWindow);
        if (FTxStyleBackground || CurrentThemeName() != "Default") {
            // The theme's caption of a floating window, one small caption
            // high, stretched over the strip.
            const int captionHeight = std::max(2, GetSystemMetrics(SM_CYSMCAPTION));
            gcl::TBitmap caption;
            caption.SetPixelFormat(gcl::pf32bit);
            caption.SetSize(w, captionHeight);
            FillRectColor(caption.GetCanvas()->GetHandle(), TRect{0, 0, w, captionHeight}, gcl::clBtnFace);
            const TRect whole{0, 0, w, captionHeight};
            PaintFloatingTitleBar(caption.GetCanvas(), whole, whole, active,
                                  active ? gcl::clActiveCaption : gcl::clInactiveCaption, FormHandle(form));
            GdiFlush();
            SetStretchBltMode(canvas->GetHandle(), COLORONCOLOR);
            StretchBlt(canvas->GetHandle(), 0, 0, w, h, caption.GetCanvas()->GetHandle(), 0, 0, w, captionHeight - 1,
                       SRCCOPY);
        } else if (!VisualStylesUsable() || !frame ||
                   !DrawVisualStylesPart(frame, canvas->GetHandle(), WP_CAPTION, active ? 1 : 2, r)) {
            DrawWindowCaptionBar(canvas, r, active);
        }
    }
    Canvas->Draw(Rect.Left, Rect.Top, FBackgroundBitmap.get());
}

void TXtCustomTitleBar::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (gcl::InState(this, gcl::csDestroying)) break;
        EraseBackground(Message);
        return;
    case WM_SETCURSOR:
        if (SetSizeCursor(ScreenToClient(CursorPoint()))) {
            Message.Result = 1;
            return;
        }
        break;
    case gcl::CM_TEXTCHANGED:
        inherited::Dispatch(Message);
        if (FOptions) FOptions->SetCaptionText(GetCaption());
        return;
    case WM_SKIN_THEMECHANGE:
        if (Message.WParam == 3) {
            FBackgroundBitmap->SetSize(0, 0);
            if (FOptions) FOptions->ThemeChanged();
        }
        break;
    default: break;
    }
    inherited::Dispatch(Message);
}

} // namespace qelvo
