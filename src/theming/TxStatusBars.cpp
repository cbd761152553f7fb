// The themed status bar: panels and their collection, the layout by view
// and stretch priorities, painting through the theme, hosted controls and
// the size grip.
#include "theming/TxStatusBars.h"

#include <algorithm>
#include <vector>

#include "gcl/Forms.h"
#include "theming/TxcPanel.h"
#include "toolbar/BarItem.h"

namespace qelvo {

namespace {
inline constexpr const char* SCantInsertOwnParent = "Can't insert own parent";
}

// ---- TTxStatusPanel ---------------------------------------------------------------

GCL_PUBLISHED(TTxStatusPanel,
    GCL_PROP(Alignment).Default(gcl::taLeftJustify),
    GCL_PROP(Caption),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Framed).Default(true),
    GCL_PROP(FontSettings),
    GCL_PROP(Hint),
    GCL_PROP(ImageIndex).Default(-1),
    GCL_PROP(MaxSize).Default(0),
    GCL_PROP(Size).Default(50),
    GCL_PROP(StretchPriority).Default(0),
    GCL_PROP(TextTruncation).Default(ttNone),
    GCL_PROP(Tag).Default(0),
    GCL_PROP(ViewPriority).Default(100))

TTxStatusPanel::TTxStatusPanel(gcl::TCollection* collection)
    : TCollectionItem(collection), FFontSettings(std::make_unique<TFontSettings>()) {
    FFontSettings->OnChange = gcl::TNotifyEvent(this, &TTxStatusPanel::FontSettingsChange);
}

TTxStatusPanel::~TTxStatusPanel() = default;

void TTxStatusPanel::BeforeDestruction() noexcept {
    ReleaseControl();
    inherited::BeforeDestruction();
}

TTxCustomStatusBar* TTxStatusPanel::StatusBar() const noexcept {
    auto* panels = dynamic_cast<TTxStatusPanels*>(GetCollection());
    return panels ? panels->StatusBar() : nullptr;
}

std::string TTxStatusPanel::GetDisplayName() const {
    if (!FCaption.empty()) return FCaption;
    if (FControl) return "[ " + FControl->GetName() + " ]";
    return inherited::GetDisplayName();
}

void TTxStatusPanel::Assign(gcl::TPersistent* source) {
    auto* panel = dynamic_cast<TTxStatusPanel*>(source);
    if (!panel) {
        inherited::Assign(source);
        return;
    }
    FAlignment = panel->FAlignment;
    FCaption = panel->FCaption;
    FEnabled = panel->FEnabled;
    FFramed = panel->FFramed;
    FFontSettings->Assign(panel->FFontSettings.get());
    FHint = panel->FHint;
    FImageIndex = panel->FImageIndex;
    FMaxSize = panel->FMaxSize;
    FSize = panel->FSize;
    FStretchPriority = panel->FStretchPriority;
    FTextTruncation = panel->FTextTruncation;
    FTag = panel->FTag;
    FViewPriority = panel->FViewPriority;
    gcl::TControl* control = nullptr;
    TTxCustomStatusBar* bar = StatusBar();
    if (panel->FControl && bar && bar->GetOwner()) {
        gcl::TComponent* found = bar->GetOwner()->FindComponent(panel->FControl->GetName());
        if (found) {
            control = dynamic_cast<gcl::TControl*>(found);
            if (!control) throw gcl::EInvalidCast(gcl::msg::InvalidCast);
        }
    }
    SetControl(control);
    Changed(false);
}

void TTxStatusPanel::FontSettingsChange(gcl::TObject*) { Changed(false); }

void TTxStatusPanel::SetAlignment(gcl::TAlignment value) { StoreAndChange(FAlignment, value, false); }

void TTxStatusPanel::SetCaption(const std::string& value) { StoreAndChange(FCaption, value, false); }

void TTxStatusPanel::SetEnabled(bool value) { StoreAndChange(FEnabled, value, false); }

void TTxStatusPanel::SetFramed(bool value) { StoreAndChange(FFramed, value, false); }

void TTxStatusPanel::SetImageIndex(int value) {
    if (value == FImageIndex) return;
    FImageIndex = value;
    TTxCustomStatusBar* bar = StatusBar();
    if (bar && bar->GetImages()) Changed(false);
}

void TTxStatusPanel::SetMaxSize(int value) { StoreAndChange(FMaxSize, value, false); }

void TTxStatusPanel::SetSize(int value) { StoreAndChange(FSize, value, false); }

void TTxStatusPanel::SetStretchPriority(uint8_t value) { StoreAndChange(FStretchPriority, value, false); }

void TTxStatusPanel::SetTextTruncation(TTextTruncation value) { StoreAndChange(FTextTruncation, value, false); }

void TTxStatusPanel::SetViewPriority(uint8_t value) { StoreAndChange(FViewPriority, value, false); }

void TTxStatusPanel::ReleaseControl() noexcept {
    if (!FControl) return;
    gcl::TControl* old = FControl;
    FControl = nullptr;
    try {
        if (TTxCustomStatusBar* bar = StatusBar()) old->RemoveFreeNotification(bar);
        if (!old->GetComponentState().Contains(gcl::csDestroying)) old->Perform(gcl::CM_SHOWINGCHANGED);
    } catch (...) {
        // a control that fails to re-evaluate its visibility stays as it is
    }
}

void TTxStatusPanel::SetControl(gcl::TControl* value) {
    if (value == FControl) return;
    TTxCustomStatusBar* bar = StatusBar();
    if (value && bar) {
        for (gcl::TWinControl* p = bar; p; p = p->GetParent())
            if (p == value) throw gcl::EInvalidOperation(SCantInsertOwnParent);
        if (TTxStatusPanel* other = bar->PanelOfControl(value)) {
            other->FControl = nullptr;
            other->Changed(false);
        }
    }
    ReleaseControl();
    FControl = value;
    if (value && bar) {
        gcl::TControl* saved = bar->FControlBeingHosted;
        bar->FControlBeingHosted = value;
        try {
            value->SetParent(bar);
        } catch (...) {
            bar->FControlBeingHosted = saved;
            throw;
        }
        bar->FControlBeingHosted = saved;
        value->FreeNotification(bar);
    }
    Changed(false);
}

// ---- TTxStatusPanels --------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TTxStatusPanels)

TTxStatusPanels::TTxStatusPanels(TTxCustomStatusBar* statusBar)
    : TCollection(TTxStatusPanel::StaticClass()), FStatusBar(statusBar) {}

gcl::TPersistent* TTxStatusPanels::GetOwner() const { return FStatusBar; }

void TTxStatusPanels::Update(gcl::TCollectionItem*) {
    if (FStatusBar && !FStatusBar->GetComponentState().Contains(gcl::csDestroying)) FStatusBar->UpdateStatusBar();
}

// ---- TTxCustomStatusBar -----------------------------------------------------------

GCL_IMPLEMENT_CLASS(TTxCustomStatusBar)

GCL_PUBLISHED(TTxStatusBar,
    GCL_PROP(Align).Default(gcl::alBottom),
    GCL_PROP(Color),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(FixAlign).Default(false),
    GCL_PROP(Font),
    GCL_PROP(Images),
    GCL_PROP(Panels),
    GCL_PROP(ParentFont).Default(true),
    GCL_PROP(ParentShowHint).Default(true),
    GCL_PROP(ShowHint).Default(false),
    GCL_PROP(SimplePanel).Default(false),
    GCL_PROP(SimpleText),
    GCL_PROP(SizeGrip).Default(true),
    GCL_PROP(UseSystemFont).Default(false),
    GCL_PROP(Visible).Default(true))

TTxCustomStatusBar::TTxCustomStatusBar(gcl::TComponent* owner)
    : TCustomControl(owner), FPanels(std::make_unique<TTxStatusPanels>(this)),
      FImageChangeLink(std::make_unique<gcl::TChangeLink>()) {
    FImageChangeLink->OnChange = gcl::TNotifyEvent(this, &TTxCustomStatusBar::ImageListChange);
    gcl::TControlStyle style = GetControlStyle();
    style.Include(gcl::csAcceptsControls);
    SetControlStyle(style);
    SetBounds(GetLeft(), GetTop(), 150, 22);
    SetAlign(gcl::alBottom);
    AddThemeListener(this);
}

TTxCustomStatusBar::~TTxCustomStatusBar() = default;

void TTxCustomStatusBar::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
    inherited::BeforeDestruction();
}

void TTxCustomStatusBar::CreateParams(gcl::TCreateParams& params) {
    inherited::CreateParams(params);
    params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TTxCustomStatusBar::CreateWnd() {
    inherited::CreateWnd();
    UpdatePanels();
    PlaceControls();
}

void TTxCustomStatusBar::Loaded() {
    inherited::Loaded();
    UpdateStatusBar();
}

void TTxCustomStatusBar::Notification(gcl::TComponent* component, gcl::TOperation operation) {
    inherited::Notification(component, operation);
    if (operation != gcl::opRemove) return;
    if (component == FImages) {
        FImages = nullptr;
        Invalidate();
    }
    if (FPanels)
        for (int i = 0; i < FPanels->GetCount(); ++i) {
            TTxStatusPanel* panel = FPanels->GetItems(i);
            if (panel->FControl == component) {
                panel->FControl = nullptr;
                panel->Changed(false);
            }
        }
}

void TTxCustomStatusBar::SetImages(gcl::TCustomImageList* value) {
    if (value == FImages) return;
    ReplaceImageList(this, FImages, value, FImageChangeLink.get());
    UpdateStatusBar();
}

void TTxCustomStatusBar::ImageListChange(gcl::TObject*) { Invalidate(); }

void TTxCustomStatusBar::SetSimplePanel(bool value) {
    if (value == FSimplePanel) return;
    FSimplePanel = value;
    UpdateStatusBar();
}

void TTxCustomStatusBar::SetSimpleText(const std::string& value) { StoreAndInvalidate(FSimpleText, value); }

void TTxCustomStatusBar::SetSizeGrip(bool value) { StoreAndInvalidate(FSizeGrip, value); }

void TTxCustomStatusBar::SetUseSystemFont(bool value) {
    if (value == FUseSystemFont) return;
    FUseSystemFont = value;
    UpdateStatusBar();
}

TTxStatusPanel* TTxCustomStatusBar::PanelOfControl(gcl::TControl* control) const {
    if (!control) return nullptr;
    for (int i = 0; i < FPanels->GetCount(); ++i)
        if (FPanels->GetItems(i)->FControl == control) return FPanels->GetItems(i);
    return nullptr;
}

TTxStatusPanel* TTxCustomStatusBar::PanelAt(int x, int y) const {
    for (int i = 0; i < FPanels->GetCount(); ++i) {
        TTxStatusPanel* panel = FPanels->GetItems(i);
        const TRect& r = panel->FBoundsRect;
        if (panel->FVisible && x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return panel;
    }
    return nullptr;
}

TTxStatusPanel* TTxCustomStatusBar::PanelAtCursor() const {
    if (!HandleAllocated()) return nullptr;
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(const_cast<TTxCustomStatusBar*>(this)->GetWindowHandle(), &p);
    return PanelAt(p.x, p.y);
}

// ---- Layout

void TTxCustomStatusBar::UpdatePanels() {
    const int count = FPanels->GetCount();
    if (count == 0) return;
    CurrentTheme->ThemeMargins(3, FPaneMargins);
    TRect usable = GetClientRect();
    usable.Top += 2;
    const int available = usable.Width();
    std::vector<TTxStatusPanel*> candidates;
    int total = 0;
    for (int i = 0; i < count; ++i) {
        TTxStatusPanel* panel = FPanels->GetItems(i);
        panel->FIsLast = false;
        panel->FVisible = panel->FViewPriority != 0;
        if (!panel->FVisible) continue;
        panel->FEffectiveSize = panel->FSize;
        total += panel->FSize;
        candidates.push_back(panel);
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](TTxStatusPanel* a, TTxStatusPanel* b) {
        return a->FViewPriority > b->FViewPriority;
    });
    while (total > available && candidates.size() > 1 && candidates.back()->FViewPriority < 100) {
        candidates.back()->FVisible = false;
        total -= candidates.back()->FSize;
        candidates.pop_back();
    }
    int extra = available - total;
    if (extra > 0) {
        std::erase_if(candidates, [](TTxStatusPanel* p) { return p->FStretchPriority == 0; });
        std::stable_sort(candidates.begin(), candidates.end(), [](TTxStatusPanel* a, TTxStatusPanel* b) {
            return a->FStretchPriority > b->FStretchPriority;
        });
        for (TTxStatusPanel* panel : candidates) {
            if (extra <= 0) break;
            const int size = panel->FEffectiveSize;
            if (panel->FMaxSize == 0) {
                // No bound: the panel takes all that is left.
                panel->FEffectiveSize += extra;
                extra = 0;
            } else if (panel->FMaxSize > size) {
                const int growth = std::min(panel->FMaxSize - size, extra);
                panel->FEffectiveSize += growth;
                extra -= growth;
            }
            // A bound at or below the size means no growth.
        }
    }
    int x = 0;
    for (int i = 0; i < count; ++i) {
        TTxStatusPanel* panel = FPanels->GetItems(i);
        if (panel->FVisible && x >= available) panel->FVisible = false;
        if (!panel->FVisible) {
            panel->FBoundsRect = TRect{};
            continue;
        }
        panel->FBoundsRect = TRect{x, usable.Top, x + panel->FEffectiveSize, usable.Bottom};
        x += panel->FEffectiveSize;
        panel->FIsLast = panel->FBoundsRect.Right == available;
    }
}

void TTxCustomStatusBar::PlaceControls() {
    for (int i = 0; i < FPanels->GetCount(); ++i) {
        TTxStatusPanel* panel = FPanels->GetItems(i);
        if (!panel->FControl) continue;
        TRect r;
        if (panel->FVisible) {
            r = panel->FBoundsRect;
            if (panel->FFramed) {
                r.Left += FPaneMargins.LeftWidth;
                r.Top += FPaneMargins.TopHeight;
                r.Right -= FPaneMargins.RightWidth;
                r.Bottom -= FPaneMargins.BottomHeight;
            }
        }
        panel->FControl->SetBoundsRect(r);
    }
}

void TTxCustomStatusBar::UpdateStatusBar() {
    if (GetComponentState().Contains(gcl::csLoading) || GetComponentState().Contains(gcl::csDestroying)) return;
    Invalidate();
    UpdatePanels();
    PlaceControls();
}

void TTxCustomStatusBar::Resize() {
    UpdateStatusBar();
    Invalidate();
    inherited::Resize();
}

void TTxCustomStatusBar::ChangeScale(int m, int d) {
    inherited::ChangeScale(m, d);
    UpdateStatusBar();
}

// ---- Painting

bool TTxCustomStatusBar::IsGripShown() {
    if (!FSizeGrip || !HandleAllocated()) return false;
    gcl::TCustomForm* form = gcl::GetParentForm(this);
    if (!form || !form->HandleAllocated()) return false;
    if (form->GetWindowState() == gcl::wsMaximized || IsZoomed(form->GetHandle())) return false;
    const TRect client = GetClientRect();
    const TPoint mine = ClientToScreen(TPoint{client.Right, client.Bottom});
    const TRect formClient = form->GetClientRect();
    const TPoint theirs = form->ClientToScreen(TPoint{formClient.Right, formClient.Bottom});
    return mine.X == theirs.X && mine.Y == theirs.Y;
}

TRect TTxCustomStatusBar::GetGripRect() {
    if (!IsGripShown()) return TRect{};
    TRect r = GetClientRect();
    r.Top += 3;
    r.Left = r.Right - GetSystemMetrics(SM_CXVSCROLL);
    return r;
}

void TTxCustomStatusBar::SetupFont(TCanvas* canvas) {
    if (FUseSystemFont) canvas->SetFont(ToolbarFont());
    else canvas->SetFont(GetFont());
}

void TTxCustomStatusBar::AdjustContentRect(TTxStatusPanel* panel, TRect& rect) {
    if (OnAdjustContentRect) OnAdjustContentRect(this, panel, rect);
}

void TTxCustomStatusBar::AdjustPanelFont(TTxStatusPanel* panel, gcl::TFont* font) {
    if (OnAdjustPanelFont) OnAdjustPanelFont(this, panel, font);
}

void TTxCustomStatusBar::PanelClick(TTxStatusPanel* panel) {
    if (OnPanelClick) OnPanelClick(this, panel);
}

void TTxCustomStatusBar::PanelDblClick(TTxStatusPanel* panel) {
    if (OnPanelDblClick) OnPanelDblClick(this, panel);
}

void TTxCustomStatusBar::DrawPanel(TCanvas* canvas, const TRect& rect, TTxStatusPanel* panel, bool) {
    const int state = ISF_STATUSBAR | (panel->FEnabled ? 0 : ISF_DISABLED);
    TRect r{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
    if (panel->FImageIndex >= 0 && FImages) {
        const int iw = FImages->GetWidth();
        const int ih = FImages->GetHeight();
        const int y = (r.Top + r.Bottom - ih) / 2;
        int x;
        switch (panel->FAlignment) {
        case gcl::taRightJustify:
            x = r.Right - iw;
            r.Right = x - 4;
            break;
        case gcl::taCenter: x = (r.Left + r.Right - iw) / 2; break;
        default:
            x = r.Left;
            r.Left = x + iw + 4;
            break;
        }
        if (panel->FEnabled) FImages->Draw(canvas, x, y, panel->FImageIndex, true);
        else PaintThemedImage(canvas, TRect{x, y, x + iw, y + ih}, FImages, panel->FImageIndex, state);
    }
    unsigned flags = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    flags |= panel->FAlignment == gcl::taRightJustify ? DT_RIGHT : panel->FAlignment == gcl::taCenter ? DT_CENTER : DT_LEFT;
    if (panel->FTextTruncation == ttEndEllipsis) flags |= DT_END_ELLIPSIS;
    else if (panel->FTextTruncation == ttPathEllipsis) flags |= DT_PATH_ELLIPSIS;
    canvas->GetBrush()->SetStyle(gcl::bsClear);
    PaintThemedCaption(canvas, r, panel->FCaption, flags, state);
}

void TTxCustomStatusBar::Paint() {
    TCanvas* canvas = GetCanvas();
    TTxTheme* theme = CurrentTheme;
    const TRect client = GetClientRect();
    theme->PaintStatusBarPart(canvas, client, 0);
    if (!FSimplePanel) {
        RECT clip;
        GetClipBox(canvas->GetHandle(), &clip);
        for (int i = 0; i < FPanels->GetCount(); ++i) {
            TTxStatusPanel* panel = FPanels->GetItems(i);
            const TRect& b = panel->FBoundsRect;
            if (!panel->FVisible || b.Right <= clip.left || b.Left >= clip.right) continue;
            if (panel->FFramed) theme->PaintStatusBarPart(canvas, b, panel->FIsLast ? 2 : 1);
            SetupFont(canvas);
            gcl::TFont* font = canvas->GetFont();
            font->SetColor(GetThemedItemTextColor(ISF_STATUSBAR | (panel->FEnabled ? 0 : ISF_DISABLED)));
            panel->FFontSettings->Apply(font);
            AdjustPanelFont(panel, font);
            TRect content = b;
            if (panel->FFramed) {
                content.Left += FPaneMargins.LeftWidth;
                content.Top += FPaneMargins.TopHeight;
                content.Right -= FPaneMargins.RightWidth;
                content.Bottom -= FPaneMargins.BottomHeight;
            }
            AdjustContentRect(panel, content);
            DrawPanel(canvas, content, panel, panel->FIsLast);
        }
    } else if (!FSimpleText.empty()) {
        SetupFont(canvas);
        canvas->GetFont()->SetColor(GetThemedItemTextColor(ISF_STATUSBAR | (GetEnabled() ? 0 : ISF_DISABLED)));
        canvas->GetBrush()->SetStyle(gcl::bsClear);
        canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid});
        TRect r{client.Left + 4, client.Top + 2, client.Right - 4, client.Bottom};
        RECT rr = gcl::ToRECT(r);
        DrawTextA(canvas->GetHandle(), FSimpleText.c_str(), static_cast<int>(FSimpleText.size()), &rr,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
    const TRect grip = GetGripRect();
    if (grip.Right > grip.Left) theme->PaintStatusBarPart(canvas, grip, 3);
}

// ---- Mouse and messages

void TTxCustomStatusBar::Click() {
    inherited::Click();
    if (TTxStatusPanel* panel = PanelAtCursor()) PanelClick(panel);
}

void TTxCustomStatusBar::DblClick() {
    inherited::DblClick();
    if (TTxStatusPanel* panel = PanelAtCursor()) PanelDblClick(panel);
}

void TTxCustomStatusBar::Dispatch(gcl::TMessage& message) {
    switch (message.Msg) {
    case WM_ERASEBKGND: message.Result = 1; return;
    case WM_NCHITTEST: {
        inherited::Dispatch(message);
        const TRect grip = GetGripRect();
        if (grip.Right > grip.Left) {
            POINT p{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
            ::ScreenToClient(GetHandle(), &p);
            if (p.x >= grip.Left && p.x < grip.Right && p.y >= grip.Top && p.y < grip.Bottom)
                message.Result = HTBOTTOMRIGHT;
        }
        return;
    }
    case WM_NCLBUTTONDOWN:
        // The grip sizes the form, not the bar: the form runs its own
        // sizing loop from its bottom-right corner.
        if (message.WParam == HTBOTTOMRIGHT) {
            if (gcl::TCustomForm* form = gcl::GetParentForm(this)) {
                ReleaseCapture();
                SendMessageA(form->GetHandle(), WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, message.LParam);
                message.Result = 0;
                return;
            }
        }
        break;
    case gcl::CM_CONTROLCHANGE: {
        inherited::Dispatch(message);
        if (GetComponentState().Contains(gcl::csLoading)) return;
        auto* control = reinterpret_cast<gcl::TControl*>(message.WParam);
        const bool inserting = message.LParam != 0;
        if (inserting) {
            // A control a panel hosts, or is being given, has its panel.
            if (control == FControlBeingHosted || PanelOfControl(control)) return;
            if (dynamic_cast<gcl::TWinControl*>(control)) FPanels->Add()->SetControl(control);
        } else if (TTxStatusPanel* panel = PanelOfControl(control)) {
            panel->FControl = nullptr;
            panel->Free();
        }
        return;
    }
    case gcl::CM_HINTSHOW: {
        auto* info = reinterpret_cast<gcl::THintInfo*>(message.LParam);
        if (TTxStatusPanel* panel = info ? PanelAt(info->CursorPos.X, info->CursorPos.Y) : nullptr) {
            info->HintStr = panel->FHint;
            info->CursorRect = panel->FBoundsRect;
        }
        inherited::Dispatch(message);
        return;
    }
    case WM_SKIN_THEMECHANGE:
    case gcl::CM_FONTCHANGED:
    case gcl::CM_SYSFONTCHANGED:
        if (message.Msg != WM_SKIN_THEMECHANGE) inherited::Dispatch(message);
        UpdateStatusBar();
        return;
    case gcl::CM_VISIBLECHANGED:
        if (message.WParam != 0 && FFixAlign && GetParent())
            SetTop(GetParent()->GetClientRect().Bottom);
        inherited::Dispatch(message);
        UpdateStatusBar();
        return;
    default: break;
    }
    inherited::Dispatch(message);
}

} // namespace qelvo
