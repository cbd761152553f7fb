#include "gcl/Menus.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "gcl/Forms.h"
#include "gcl/Timers.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"

namespace gcl {

namespace {

[[noreturn]] void RaiseMenuIndex() { throw EListError(msg::MenuIndexError); }

// ---- Command identifiers: 1..0xFFFF, the lowest free one first.

std::vector<bool>& CommandPool() {
    static std::vector<bool> pool(1, true);  // 0 is never used
    return pool;
}

uint16_t AllocateCommand() {
    auto& pool = CommandPool();
    for (size_t i = 1; i < pool.size(); ++i) {
        if (!pool[i]) {
            pool[i] = true;
            return static_cast<uint16_t>(i);
        }
    }
    if (pool.size() > 0xFFFF) throw EOutOfResources(msg::NoMenuCommand);
    pool.push_back(true);
    return static_cast<uint16_t>(pool.size() - 1);
}

void ReleaseCommand(uint16_t command) noexcept {
    auto& pool = CommandPool();
    if (command != 0 && command < pool.size()) pool[command] = false;
}


} // namespace

std::string StripHotkey(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == cHotkeyPrefix) {
            if (i + 1 < text.size()) result += text[++i];
        } else {
            result += text[i];
        }
    }
    return result;
}

// ---- TMenuItem ---------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), FCommand(AllocateCommand()) {}

TMenuItem::~TMenuItem() {
    ReleaseCommand(FCommand);
    if (FHandle) DestroyMenu(FHandle);
}

void TMenuItem::BeforeDestruction() noexcept {
    Destroying();
    if (FParent) {
        try {
            FParent->Remove(this);
        } catch (...) {
            HandleGuardedException(this);
        }
    }
    // The children go with their parent.
    while (!FItems.empty()) {
        TMenuItem* child = FItems.back();
        FItems.pop_back();
        child->FParent = nullptr;
        child->Free();
    }
    FActionLink.reset();
    DestroyMenuHandle();
    inherited::BeforeDestruction();
}

void TMenuItem::DestroyMenuHandle() noexcept {
    if (!FHandle) return;
    // The children's submenus are theirs: take them out before the menu goes.
    while (GetMenuItemCount(FHandle) > 0)
        if (!RemoveMenu(FHandle, 0, MF_BYPOSITION)) break;
    DestroyMenu(FHandle);
    FHandle = nullptr;
}

template <class F>
TMenuItem* TMenuItem::Walk(F&& fn) {
    if (fn(this)) return this;
    const std::vector<TMenuItem*> items = FItems;
    for (TMenuItem* item : items)
        if (TMenuItem* found = item->Walk(fn)) return found;
    return nullptr;
}

// ---- State

void TMenuItem::SetCaption(const std::string& value) {
    if (value == FCaption) return;
    FCaption = value;
    MenuChanged(false);
}

void TMenuItem::SetShortCut(TShortCut value) {
    if (value == FShortCut) return;
    FShortCut = value;
    MenuChanged(false);
}

void TMenuItem::SetChecked(bool value) {
    if (value == FChecked) return;
    FChecked = value;
    if (value && FRadioItem) TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetRadioItem(bool value) {
    if (value == FRadioItem) return;
    FRadioItem = value;
    if (FChecked && FRadioItem) TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetGroupIndex(int value) {
    if (value == FGroupIndex) return;
    FGroupIndex = value;
    if (FChecked && FRadioItem) TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::TurnSiblingsOff() {
    if (!FParent) return;
    const std::vector<TMenuItem*> siblings = FParent->FItems;
    for (TMenuItem* item : siblings)
        if (item != this && item->FRadioItem && item->FGroupIndex == FGroupIndex) item->SetChecked(false);
}

void TMenuItem::SetDefault(bool value) {
    if (value == FDefault) return;
    // One default item per menu.
    if (value && FParent) {
        const std::vector<TMenuItem*> siblings = FParent->FItems;
        for (TMenuItem* item : siblings)
            if (item != this && item->FDefault) item->SetDefault(false);
    }
    FDefault = value;
    MenuChanged(false);
}

void TMenuItem::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    MenuChanged(false);
}

void TMenuItem::SetVisible(bool value) {
    if (value == FVisible) return;
    FVisible = value;
    MenuChanged(true);
}

void TMenuItem::SetImageIndex(int value) {
    if (value == FImageIndex) return;
    FImageIndex = value;
    MenuChanged(false);
}

void TMenuItem::SetAutoCheck(bool value) { FAutoCheck = value; }

// ---- Action

TBasicAction* TMenuItem::GetAction() const noexcept { return FActionLink ? FActionLink->GetAction() : nullptr; }

TMenuActionLink* TMenuItem::GetActionLink() const noexcept {
    return dynamic_cast<TMenuActionLink*>(FActionLink.get());
}

TBasicActionLinkClass TMenuItem::GetActionLinkClass() { return TMenuActionLink::StaticClass(); }

void TMenuItem::SetAction(TBasicAction* value) {
    if (!value) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) {
        FActionLink.reset(GetActionLinkClass()->Create(this));
        FActionLink->OnChange = TNotifyEvent(this, &TMenuItem::DoActionChange);
    }
    FActionLink->SetAction(value);
    ActionChange(value, value->GetComponentState().Contains(csLoading) ||
                            GetComponentState().Contains(csLoading));
    value->FreeNotification(this);
}

void TMenuItem::DoActionChange(TObject* sender) {
    if (sender && sender == GetAction()) ActionChange(sender, false);
}

void TMenuItem::ActionChange(TObject* sender, bool checkDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (!action) return;
    TComponentRef<TMenuItem> alive(this);
    if (!checkDefaults || !FAutoCheck) SetAutoCheck(action->GetAutoCheck());
    if (!checkDefaults || FCaption.empty()) SetCaption(action->GetCaption());
    if (!alive) return;
    if (!checkDefaults || !FChecked) SetChecked(action->GetChecked());
    if (!alive) return;
    if (!checkDefaults || FEnabled) SetEnabled(action->GetEnabled());
    if (!alive) return;
    if (!checkDefaults || FGroupIndex == 0) SetGroupIndex(action->GetGroupIndex());
    if (!alive) return;
    if (!checkDefaults || FHelpContext == 0) SetHelpContext(action->GetHelpContext());
    if (!checkDefaults || FHint.empty()) SetHint(action->GetHint());
    if (!checkDefaults || FImageIndex == -1) SetImageIndex(action->GetImageIndex());
    if (!alive) return;
    if (!checkDefaults || FShortCut == 0) SetShortCut(action->GetShortCut());
    if (!alive) return;
    if (!checkDefaults || FVisible) SetVisible(action->GetVisible());
    if (!alive) return;
    if (!checkDefaults || !OnClick) OnClick = action->OnExecute;
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
    inherited::Notification(component, operation);
    if (operation == opRemove && FActionLink && component == FActionLink->GetAction()) SetAction(nullptr);
}

void TMenuItem::Loaded() {
    inherited::Loaded();
    if (TBasicAction* action = GetAction()) ActionChange(action, true);
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    TComponentRef<TMenuItem> alive(this);
    TMenuActionLink* link = GetActionLink();
    if (FAutoCheck && !(link && link->IsAutoCheckLinked())) {
        SetChecked(!FChecked);
        if (!alive) return;
    }
    TBasicAction* action = GetAction();
    if (OnClick && action && !(OnClick == action->OnExecute)) {
        OnClick(this);
    } else if (FActionLink && action) {
        FActionLink->Execute(this);
    } else if (OnClick) {
        OnClick(this);
    }
}

void TMenuItem::InitiateAction() {
    if (FActionLink) FActionLink->Update();
}

void TMenuItem::InitiateActions() {
    TComponentRef<TMenuItem> alive(this);
    const std::vector<TMenuItem*> items = FItems;
    for (TMenuItem* item : items) {
        if (!alive) return;
        if (Contains(FItems, item)) item->InitiateAction();
    }
}

// ---- The tree

TMenuItem* TMenuItem::GetItems(int index) const {
    if (index < 0 || index >= GetCount()) RaiseMenuIndex();
    return FItems[static_cast<size_t>(index)];
}

void TMenuItem::Add(TMenuItem* item) { Insert(GetCount(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    if (item->FParent) throw EInvalidOperation(msg::MenuReinserted);
    if (item == this || item->Walk([this](TMenuItem* i) { return i == this; })) throw EInvalidOperation(msg::MenuReinserted);
    if (index < 0 || index > GetCount()) RaiseMenuIndex();
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
    RebuildHandle();
    MenuChanged(false);
}

void TMenuItem::Delete(int index) {
    if (index < 0 || index >= GetCount()) RaiseMenuIndex();
    TMenuItem* item = FItems[static_cast<size_t>(index)];
    FItems.erase(FItems.begin() + index);
    item->FParent = nullptr;
    if (GetComponentState().Contains(csDestroying)) return;
    RebuildHandle();
    MenuChanged(false);
}

void TMenuItem::Remove(TMenuItem* item) {
    int index = IndexOf(item);
    if (index < 0) throw EInvalidOperation(msg::MenuNotFound);
    Delete(index);
}

void TMenuItem::Clear() {
    while (!FItems.empty()) FItems.back()->Free();
}

int TMenuItem::IndexOf(const TMenuItem* item) const noexcept {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
    const std::string wanted = StripHotkey(caption);
    for (TMenuItem* item : FItems)
        if (AnsiSameText(StripHotkey(item->FCaption), wanted)) return item;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const noexcept {
    const TMenuItem* root = this;
    while (root->FParent) root = root->FParent;
    return root->FMenu;
}

void TMenuItem::SetMenuIndex(int value) {
    if (!FParent) return;
    TMenuItem* parent = FParent;
    const int current = GetMenuIndex();
    value = std::clamp(value, 0, parent->GetCount() - 1);
    if (value == current) return;
    parent->FItems.erase(parent->FItems.begin() + current);
    parent->FItems.insert(parent->FItems.begin() + value, this);
    parent->RebuildHandle();
    parent->MenuChanged(false);
}

// ---- Streaming

TComponent* TMenuItem::GetParentComponent() const {
    if (FParent && FParent->FMenu) return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* value) {
    if (FParent) FParent->Remove(this);
    if (auto* menu = dynamic_cast<TMenu*>(value)) {
        menu->GetItems()->Add(this);
    } else if (auto* item = dynamic_cast<TMenuItem*>(value)) {
        item->Add(this);
    }
}

void TMenuItem::GetChildren(TGetChildProc proc, TComponent* root) {
    const std::vector<TMenuItem*> items = FItems;
    for (TMenuItem* item : items)
        if (item->GetOwner() == root) proc(item);
}

void TMenuItem::SetChildOrder(TComponent* child, int order) {
    if (auto* item = dynamic_cast<TMenuItem*>(child); item && item->FParent == this) item->SetMenuIndex(order);
}

// ---- The Windows menu

HMENU TMenuItem::GetHandle() {
    if (!FHandle) {
        FHandle = FMenu ? FMenu->CreateMenuHandle() : CreatePopupMenu();
        if (!FHandle) throw EOutOfResources(msg::NoMenuHandle);
        RebuildHandle();
    }
    return FHandle;
}

bool TMenuItem::IsTopLevelOfMainMenu() const noexcept {
    return FParent && FParent->FMenu && dynamic_cast<TMainMenu*>(FParent->FMenu) != nullptr;
}

bool TMenuItem::IsOwnerDraw() const noexcept {
    if (IsLine()) return false;
    TMenu* menu = GetParentMenu();
    if (!menu) return false;
    if (menu->FOwnerDraw) return true;
    return menu->FImages.Get() && !IsTopLevelOfMainMenu();
}

std::string TMenuItem::GetMenuString() const {
    std::string text = FCaption;
    if (FShortCut != 0 && FItems.empty() && !IsTopLevelOfMainMenu()) {
        std::string shortCut = ShortCutToText(FShortCut);
        if (!shortCut.empty()) text += "\t" + shortCut;
    }
    return text;
}

int TMenuItem::VisibleIndex() const noexcept {
    if (!FParent || !FVisible) return -1;
    int index = 0;
    for (TMenuItem* item : FParent->FItems) {
        if (item == this) return index;
        if (item->FVisible) ++index;
    }
    return -1;
}

uint32_t TMenuItem::DrawTextBiDiModeFlags(uint32_t flags) const {
    TMenu* menu = GetParentMenu();
    if (!menu || !menu->IsRightToLeft()) return flags;
    if (flags & DT_RIGHT) {
        flags &= ~static_cast<uint32_t>(DT_RIGHT);
    } else if (!(flags & DT_CENTER)) {
        flags |= DT_RIGHT;
    }
    return flags | DT_RTLREADING;
}

void TMenuItem::WriteEntry(HMENU menu, int position, bool insert) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
    std::string text;
    if (IsLine()) {
        info.fType = MFT_SEPARATOR;
    } else if (IsOwnerDraw()) {
        info.fType = MFT_OWNERDRAW;
    } else {
        info.fType = MFT_STRING;
        info.fMask |= MIIM_STRING;
        text = GetMenuString();
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
    }
    if (FRadioItem) info.fType |= MFT_RADIOCHECK;
    if (TMenu* parentMenu = GetParentMenu(); parentMenu && parentMenu->IsRightToLeft()) info.fType |= MFT_RIGHTORDER;
    info.fState = (FChecked ? MFS_CHECKED : MFS_UNCHECKED) | (FEnabled ? MFS_ENABLED : MFS_GRAYED) |
                  (FDefault ? MFS_DEFAULT : 0);
    info.wID = FCommand;
    info.hSubMenu = FItems.empty() ? nullptr : GetHandle();
    info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    if (insert)
        InsertMenuItemA(menu, static_cast<UINT>(position), TRUE, &info);
    else
        SetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
}

void TMenuItem::RebuildHandle() {
    if (!FHandle || GetComponentState().Contains(csDestroying)) return;
    TFlagScope updating(FUpdatingMenu);
    while (GetMenuItemCount(FHandle) > 0)
        if (!RemoveMenu(FHandle, 0, MF_BYPOSITION)) break;
    std::vector<TMenuItem*> written;
    int position = 0;
    for (TMenuItem* item : FItems) {
        if (!item->FVisible) continue;
        item->WriteEntry(FHandle, position++, true);
        written.push_back(item);
    }
    // Descendants that add to their Windows item do it again now.
    for (TMenuItem* item : written)
        if (Contains(FItems, item)) item->MenuChanged(false);
}

bool TMenuItem::GetUpdatingMenu() const noexcept { return FUpdatingMenu || (FParent && FParent->FUpdatingMenu); }

void TMenuItem::MenuChanged(bool rebuild) {
    // Written just now by the parent, or re-entered from our own write.
    if (GetUpdatingMenu() || GetComponentState().Contains(csDestroying)) return;
    TComponentRef<TMenuItem> alive(this);
    {
        TFlagScope updating(FUpdatingMenu);
        if (FParent) {
            if (rebuild) {
                FParent->RebuildHandle();
            } else if (FParent->FHandle) {
                int position = VisibleIndex();
                if (position >= 0) WriteEntry(FParent->FHandle, position, false);
            }
        }
    }
    if (!alive) return;
    if (TMenu* menu = GetParentMenu()) menu->MenuChanged(this, FParent ? this : nullptr, rebuild);
}

// ---- Owner draw

void TMenuItem::MeasureItem(TCanvas* canvas, int& width, int& height) {
    if (IsLine()) {
        width = 0;
        height = GetSystemMetrics(SM_CYMENU) / 2;
    } else {
        TMenu* menu = GetParentMenu();
        TCustomImageList* images = menu ? menu->GetImages() : nullptr;
        const int imageWidth = images ? images->GetWidth() : 0;
        const int imageHeight = images ? images->GetHeight() : 0;
        const bool topLevel = IsTopLevelOfMainMenu();
        TFontStyles style = canvas->GetFont()->GetStyle();
        if (FDefault) canvas->GetFont()->SetStyle(style | TFontStyles{fsBold});
        const uint32_t flags = DrawTextBiDiModeFlags(DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_LEFT | DT_NOCLIP);
        // An empty caption (or one of only the mark) is measured as a space.
        std::string caption = FCaption;
        if (StripHotkey(caption).empty()) caption += ' ';
        TRect text;
        DoDrawText(canvas, caption, text, false, flags);
        if (topLevel) {
            width = text.Width() + 12;
        } else {
            const int column = std::max(imageWidth, GetSystemMetrics(SM_CXMENUCHECK)) + 8;
            width = column + text.Width() + 8;
            if (FShortCut != 0 && FItems.empty()) {
                TRect shortCut;
                DoDrawText(canvas, ShortCutToText(FShortCut), shortCut, false, flags);
                width += shortCut.Width() + 16;
            }
            // Windows adds room for a check mark of its own.
            width -= GetSystemMetrics(SM_CXMENUCHECK) - 1;
        }
        height = std::max(text.Height() + 6, imageHeight + 4);
        canvas->GetFont()->SetStyle(style);
    }
    if (OnMeasureItem) OnMeasureItem(this, canvas, width, height);
}

void TMenuItem::DoDrawText(TCanvas* canvas, const std::string& text, TRect& rect, bool selected, uint32_t flags) {
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
    HDC dc = canvas->GetHandle();
    SetBkMode(dc, TRANSPARENT);
    RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    if (flags & DT_CALCRECT) {
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
        rect = Rect(r.left, r.top, r.right, r.bottom);
        return;
    }
    TFont* font = canvas->GetFont();
    const TColor old = font->GetColor();
    auto draw = [&](TColor color, int offset) {
        font->SetColor(color);
        canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
        RECT shifted{r.left + offset, r.top + offset, r.right + offset, r.bottom + offset};
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &shifted, flags);
    };
    if (!FEnabled) {
        if (!selected) {
            draw(clBtnHighlight, 1);
            draw(clBtnShadow, 0);
        } else {
            draw(ColorToRGB(clHighlight) == ColorToRGB(clBtnShadow) ? clBtnHighlight : clBtnShadow, 0);
        }
    } else {
        draw(selected ? clHighlightText : clMenuText, 0);
    }
    font->SetColor(old);
}

void TMenuItem::AdvancedDrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state, bool topLevel) {
    if (OnAdvancedDrawItem) {
        OnAdvancedDrawItem(this, canvas, rect, state);
        return;
    }
    const bool selected = state.Contains(odSelected);
    if (OnDrawItem) {
        OnDrawItem(this, canvas, rect, selected);
        return;
    }
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(selected ? clHighlight : clMenu);
    canvas->FillRect(rect);
    HDC dc = canvas->GetHandle();
    if (IsLine()) {
        RECT line{rect.Left, rect.Top + rect.Height() / 2 - 1, rect.Right, rect.Top + rect.Height() / 2 + 1};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    TMenu* menu = GetParentMenu();
    TCustomImageList* images = menu ? menu->GetImages() : nullptr;
    const uint32_t prefix = state.Contains(odNoAccel) ? DT_HIDEPREFIX : 0;
    TFontStyles style = canvas->GetFont()->GetStyle();
    if (FDefault) canvas->GetFont()->SetStyle(style | TFontStyles{fsBold});
    if (topLevel) {
        TRect text = rect;
        DoDrawText(canvas, FCaption, text, selected,
                   DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER | DT_SINGLELINE) | prefix);
    } else {
        const int checkWidth = GetSystemMetrics(SM_CXMENUCHECK);
        const int column = std::max(images ? images->GetWidth() : 0, checkWidth) + 8;
        const bool rtl = menu && menu->IsRightToLeft();
        TRect glyph = rtl ? Rect(rect.Right - column, rect.Top, rect.Right, rect.Bottom)
                          : Rect(rect.Left, rect.Top, rect.Left + column, rect.Bottom);
        if (images && FImageIndex >= 0 && FImageIndex < images->GetCount()) {
            const int x = glyph.Left + (glyph.Width() - images->GetWidth()) / 2;
            const int y = glyph.Top + (glyph.Height() - images->GetHeight()) / 2;
            images->Draw(canvas, x, y, FImageIndex, FEnabled);
            if (FChecked) {
                RECT frame{x - 2, y - 2, x + images->GetWidth() + 2, y + images->GetHeight() + 2};
                DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
            }
        } else if (FChecked) {
            const int size = std::min(checkWidth, glyph.Height());
            RECT mark{glyph.Left + (glyph.Width() - size) / 2, glyph.Top + (glyph.Height() - size) / 2, 0, 0};
            mark.right = mark.left + size;
            mark.bottom = mark.top + size;
            DrawFrameControl(dc, &mark, DFC_MENU, FRadioItem ? DFCS_MENUBULLET : DFCS_MENUCHECK);
        }
        TRect text = rtl ? Rect(rect.Left + 8, rect.Top, rect.Right - column, rect.Bottom)
                         : Rect(rect.Left + column, rect.Top, rect.Right - 8, rect.Bottom);
        DoDrawText(canvas, FCaption, text, selected,
                   DrawTextBiDiModeFlags(DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS) | prefix);
        if (FShortCut != 0 && FItems.empty()) {
            TRect shortCut = text;
            DoDrawText(canvas, ShortCutToText(FShortCut), shortCut, selected,
                       DrawTextBiDiModeFlags(DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX));
        }
    }
    canvas->GetFont()->SetStyle(style);
}

namespace {

// A canvas on a DC for the length of one owner-draw message.
class TMenuCanvas {
public:
    explicit TMenuCanvas(HDC dc) : FDC(dc), FSaved(SaveDC(dc)) {
        FCanvas.SetHandle(dc);
        if (Screen) FCanvas.GetFont()->Assign(Screen->GetMenuFont());
    }
    ~TMenuCanvas() {
        FCanvas.SetHandle(nullptr);
        RestoreDC(FDC, FSaved);
    }
    TMenuCanvas(const TMenuCanvas&) = delete;
    TMenuCanvas& operator=(const TMenuCanvas&) = delete;
    TCanvas* Get() noexcept { return &FCanvas; }

private:
    HDC FDC;
    int FSaved;
    TCanvas FCanvas;
};

} // namespace

bool MeasureMenuItem(TMenuItem* item, MEASUREITEMSTRUCT& measure) {
    if (!item || measure.CtlType != ODT_MENU) return false;
    HDC dc = GetDC(nullptr);
    if (!dc) return false;
    try {
        int width = static_cast<int>(measure.itemWidth);
        int height = static_cast<int>(measure.itemHeight);
        {
            TMenuCanvas canvas(dc);
            item->MeasureItem(canvas.Get(), width, height);
        }
        measure.itemWidth = static_cast<UINT>(std::max(width, 0));
        measure.itemHeight = static_cast<UINT>(std::max(height, 0));
    } catch (...) {
        ReleaseDC(nullptr, dc);
        throw;
    }
    ReleaseDC(nullptr, dc);
    return true;
}

bool DrawMenuItem(TMenuItem* item, const DRAWITEMSTRUCT& draw) {
    if (!item || draw.CtlType != ODT_MENU || !draw.hDC) return false;
    TOwnerDrawState state;
    if (draw.itemState & ODS_SELECTED) state.Include(odSelected);
    if (draw.itemState & ODS_GRAYED) state.Include(odGrayed);
    if (draw.itemState & ODS_DISABLED) state.Include(odDisabled);
    if (draw.itemState & ODS_CHECKED) state.Include(odChecked);
    if (draw.itemState & ODS_FOCUS) state.Include(odFocused);
    if (draw.itemState & ODS_DEFAULT) state.Include(odDefault);
    if (draw.itemState & ODS_HOTLIGHT) state.Include(odHotLight);
    if (draw.itemState & ODS_INACTIVE) state.Include(odInactive);
    if (draw.itemState & ODS_NOACCEL) state.Include(odNoAccel);
    TMenuCanvas canvas(draw.hDC);
    const RECT& r = draw.rcItem;
    item->AdvancedDrawItem(canvas.Get(), Rect(r.left, r.top, r.right, r.bottom), state, item->IsTopLevelOfMainMenu());
    return true;
}

GCL_PUBLISHED(TMenuItem,
    GCL_PROP(Action),
    GCL_PROP(AutoCheck).Default(false),
    GCL_PROP(Caption),
    GCL_PROP(Checked).Default(false),
    GCL_PROP(Default).Default(false),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(GroupIndex).Default(0),
    GCL_PROP(HelpContext).Default(0),
    GCL_PROP(Hint),
    GCL_PROP(ImageIndex).Default(-1),
    GCL_PROP(RadioItem).Default(false),
    GCL_PROP(ShortCut).Default(0),
    GCL_PROP(Visible).Default(true),
    GCL_PROP(OnClick),
    GCL_PROP(OnDrawItem),
    GCL_PROP(OnAdvancedDrawItem),
    GCL_PROP(OnMeasureItem))

// ---- TMenu ------------------------------------------------------------------------------------

GCL_PUBLISHED(TMenu,
    GCL_PROP(BiDiMode).Default(bdLeftToRight),
    GCL_PROP(Images),
    GCL_PROP(OwnerDraw).Default(false),
    GCL_PROP(OnChange))

TMenu::TMenu(TComponent* owner)
    : TComponent(owner), FItems(TMenuItem::Create(nullptr)), FImageChangeLink(std::make_unique<TChangeLink>()) {
    FItems->FMenu = this;
    FImageChangeLink->OnChange = TNotifyEvent(this, &TMenu::ImageListChange);
}

TMenu::~TMenu() = default;

void TMenu::BeforeDestruction() noexcept {
    if (TCustomImageList* images = FImages.Get()) images->UnRegisterChanges(FImageChangeLink.get());
    // The items go with the menu.
    TMenuItem* items = FItems;
    items->FMenu = nullptr;
    items->Free();
    inherited::BeforeDestruction();
}

HMENU TMenu::CreateMenuHandle() { return CreatePopupMenu(); }

namespace {

// Rewrites every Windows menu below item (owner draw or reading order
// changed).
void RebuildAll(TMenuItem* item, void (*rebuild)(TMenuItem*)) {
    rebuild(item);
    for (int i = 0; i < item->GetCount(); ++i) RebuildAll(item->GetItems(i), rebuild);
}

} // namespace

void TMenu::SetOwnerDraw(bool value) {
    if (value == FOwnerDraw) return;
    FOwnerDraw = value;
    RebuildAll(FItems, [](TMenuItem* item) { item->RebuildHandle(); });
    MenuChanged(this, nullptr, true);
}

void TMenu::SetBiDiMode(TBiDiMode value) {
    if (value == FBiDiMode) return;
    FBiDiMode = value;
    RebuildAll(FItems, [](TMenuItem* item) { item->RebuildHandle(); });
    MenuChanged(this, nullptr, true);
}

void TMenu::SetImages(TCustomImageList* value) {
    TCustomImageList* old = FImages.Get();
    if (value == old) return;
    if (old) old->UnRegisterChanges(FImageChangeLink.get());
    FImages = value;
    if (value) {
        value->RegisterChanges(FImageChangeLink.get());
        value->FreeNotification(this);
    }
    RebuildAll(FItems, [](TMenuItem* item) { item->RebuildHandle(); });
    MenuChanged(this, nullptr, true);
}

void TMenu::ImageListChange(TObject* sender) {
    if (sender == FImages.Get()) MenuChanged(this, nullptr, false);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
    inherited::Notification(component, operation);
    // The image list has gone (its reference is already clear): the items
    // are string items again.
    if (operation == opRemove && dynamic_cast<TCustomImageList*>(component) && !FImages.Get() && FItems &&
        !GetComponentState().Contains(csDestroying)) {
        RebuildAll(FItems, [](TMenuItem* item) { item->RebuildHandle(); });
    }
}

void TMenu::Loaded() {
    inherited::Loaded();
    if (FItems->HandleAllocated()) RebuildAll(FItems, [](TMenuItem* item) { item->RebuildHandle(); });
}

void TMenu::MenuChanged(TObject* sender, TMenuItem* source, bool rebuild) {
    if (OnChange) OnChange(sender, source, rebuild);
}

TMenuItem* TMenu::FindItem(uintptr_t value, TFindItemKind kind) const {
    return FItems->Walk([value, kind](TMenuItem* item) {
        switch (kind) {
        case fkCommand:
            return item->FCommand == value;
        case fkHandle:
            return item->FHandle && reinterpret_cast<uintptr_t>(item->FHandle) == value;
        case fkShortCut:
            return item->FShortCut != 0 && item->FShortCut == value;
        }
        return false;
    });
}

bool TMenu::IsShortCut(TWMKey& message) {
    const TShortCut shortCut = ShortCutFromMessage(message);
    if ((shortCut & 0xFF) == 0) return false;
    std::vector<TMenuItem*> matches;
    FItems->Walk([&](TMenuItem* item) {
        if (item->FShortCut == shortCut) matches.push_back(item);
        return false;
    });
    for (TMenuItem* match : matches) {
        TComponentRef<TMenuItem> item(match);
        match->InitiateAction();
        if (!item) continue;
        // The item and the items above it must be enabled.
        bool enabled = true;
        for (TMenuItem* i = match; i && enabled; i = i->FParent) enabled = i->FEnabled;
        if (!enabled) continue;
        match->Click();
        return true;
    }
    return false;
}

bool TMenu::DispatchCommand(uint16_t command) {
    TMenuItem* item = FindItem(command, fkCommand);
    if (!item) return false;
    item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU submenu) {
    TMenuItem* item = submenu ? FindItem(reinterpret_cast<uintptr_t>(submenu), fkHandle) : nullptr;
    if (!item) return false;
    TComponentRef<TMenuItem> alive(item);
    item->InitiateActions();
    if (alive && item != FItems) item->Click();
    return true;
}

void TMenu::Dispatch(TMessage& message) {
    if (message.Msg == CM_ISSHORTCUT) {
        TWMKey key(message);
        message.Result = IsShortCut(key) ? 1 : 0;
        return;
    }
    inherited::Dispatch(message);
}

void TMenu::GetChildren(TGetChildProc proc, TComponent* root) { FItems->GetChildren(proc, root); }

void TMenu::SetChildOrder(TComponent* child, int order) { FItems->SetChildOrder(child, order); }

namespace {

// WM_MENUSELECT: the application's hint becomes the long part of the
// selected item's hint (an item with a submenu is named by its submenu),
// empty when the menu closes or the item is not the finder's.
template <class TFinder>
void ShowMenuSelectHint(const TFinder& finder, const TMessage& message) {
    const uint16_t flags = HiWord(message.WParam);
    auto handle = reinterpret_cast<HMENU>(message.LParam);
    TMenuItem* item = nullptr;
    if (!(flags == 0xFFFF && !handle)) {
        if (flags & MF_POPUP) {
            if (HMENU submenu = GetSubMenu(handle, LoWord(message.WParam)))
                item = finder.FindItem(reinterpret_cast<uintptr_t>(submenu), fkHandle);
        } else {
            item = finder.FindItem(LoWord(message.WParam), fkCommand);
        }
    }
    if (Application) Application->SetHint(item ? GetLongHint(item->GetHint()) : std::string());
}

} // namespace

// ---- TMainMenu ---------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TMainMenu)

HMENU TMainMenu::CreateMenuHandle() { return CreateMenu(); }

void TMainMenu::SetWindowHandle(HWND value) {
    if (value == FWindowHandle) return;
    if (FWindowHandle && IsWindow(FWindowHandle) && ::GetMenu(FWindowHandle) == GetItems()->FHandle)
        ::SetMenu(FWindowHandle, nullptr);
    FWindowHandle = value;
    if (value) {
        ::SetMenu(value, GetHandle());
        DrawMenuBar(value);
    }
}

void TMainMenu::MenuChanged(TObject* sender, TMenuItem* source, bool rebuild) {
    inherited::MenuChanged(sender, source, rebuild);
    if (FWindowHandle && IsWindow(FWindowHandle)) DrawMenuBar(FWindowHandle);
}

void TMainMenu::BeforeDestruction() noexcept {
    // The window lets go of the menu before the menu's handle goes.
    SetWindowHandle(nullptr);
    inherited::BeforeDestruction();
}

// ---- TCustomForm's menu -----------------------------------------------------------------

TMainMenu* TCustomForm::GetMenu() const noexcept { return FMenu.Get(); }

void TCustomForm::SetMenu(TMainMenu* value) {
    TMainMenu* old = FMenu.Get();
    if (old == value) return;
    if (old) old->SetWindowHandle(nullptr);
    FMenu = value;
    if (HandleAllocated()) ShowMenuBar(true);
}

void TCustomForm::ShowMenuBar(bool show) {
    if (TMainMenu* menu = FMenu.Get()) menu->SetWindowHandle(show && HandleAllocated() ? GetHandle() : nullptr);
}

bool TCustomForm::MenuMessage(TMessage& message) {
    TMainMenu* menu = FMenu.Get();
    switch (message.Msg) {
    case WM_COMMAND:
        // A menu command has no control window and notification code 0.
        if (message.LParam != 0 || HiWord(message.WParam) != 0) return false;
        if (!menu->DispatchCommand(LoWord(message.WParam))) return false;
        message.Result = 0;
        return true;
    case WM_INITMENUPOPUP:
        if (!menu->DispatchPopup(reinterpret_cast<HMENU>(message.WParam))) return false;
        message.Result = 0;
        return true;
    case WM_MENUSELECT:
        ShowMenuSelectHint(*menu, message);
        return false;  // the window's own handling goes on
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
        if (!measure || measure->CtlType != ODT_MENU) return false;
        if (!MeasureMenuItem(menu->FindItem(measure->itemID, fkCommand), *measure)) return false;
        message.Result = 1;
        return true;
    }
    case WM_DRAWITEM: {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
        if (!draw || draw->CtlType != ODT_MENU) return false;
        if (!DrawMenuItem(menu->FindItem(draw->itemID, fkCommand), *draw)) return false;
        message.Result = 1;
        return true;
    }
    default:
        return false;
    }
}

// ---- TPopupMenu ---------------------------------------------------------------------------

GCL_PUBLISHED(TPopupMenu,
    GCL_PROP(Alignment).Default(paLeft),
    GCL_PROP(AutoPopup).Default(true),
    GCL_PROP(TrackButton).Default(tbRightButton),
    GCL_PROP(OnPopup))

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {
    if (PopupList) PopupList->Add(this);
}

void TPopupMenu::BeforeDestruction() noexcept {
    if (PopupList) PopupList->Remove(this);
    inherited::BeforeDestruction();
}

void TPopupMenu::DoPopup(TObject* sender) {
    if (OnPopup) OnPopup(sender);
}

void TPopupMenu::Popup(int x, int y) {
    TComponentRef<TPopupMenu> alive(this);
    FPopupPoint = Point(x, y);
    DoPopup(this);
    if (!alive) return;
    GetItems()->InitiateActions();
    if (!alive) return;
    HMENU menu = GetHandle();
    TPopupAlignment alignment = FAlignment;
    if (IsRightToLeft() && alignment != paCenter) alignment = alignment == paLeft ? paRight : paLeft;
    UINT flags = alignment == paRight ? TPM_RIGHTALIGN : alignment == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
    flags |= FTrackButton == tbLeftButton ? TPM_LEFTBUTTON : TPM_RIGHTBUTTON;
    HWND owner = PopupList ? PopupList->GetWindow() : nullptr;
    if (!owner) return;
    TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
}

// ---- TPopupList ----------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TPopupList)

TPopupList* PopupList = nullptr;

TPopupList::~TPopupList() { DeallocateHWnd(FWindow); }

HWND TPopupList::GetWindow() {
    if (!FWindow) FWindow = AllocateHWnd(TWndMethod(this, &TPopupList::MainWndProc));
    return FWindow;
}

void TPopupList::Add(TPopupMenu* menu) {
    if (menu && !Contains(FMenus, menu)) FMenus.push_back(menu);
}

void TPopupList::Remove(TPopupMenu* menu) noexcept {
    auto it = std::find(FMenus.begin(), FMenus.end(), menu);
    if (it != FMenus.end()) FMenus.erase(it);
}

TPopupMenu* TPopupList::GetItems(int index) const {
    if (index < 0 || index >= GetCount()) RaiseMenuIndex();
    return FMenus[static_cast<size_t>(index)];
}

TMenuItem* TPopupList::FindItem(uintptr_t value, TFindItemKind kind) const {
    for (TPopupMenu* menu : FMenus)
        if (TMenuItem* item = menu->FindItem(value, kind)) return item;
    return nullptr;
}

void TPopupList::MainWndProc(TMessage& message) { WndProc(message); }

void TPopupList::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_COMMAND: {
        const std::vector<TPopupMenu*> menus = FMenus;
        for (TPopupMenu* menu : menus) {
            if (!Contains(FMenus, menu)) continue;
            if (menu->DispatchCommand(LoWord(message.WParam))) {
                message.Result = 0;
                return;
            }
        }
        break;
    }
    case WM_INITMENUPOPUP: {
        FPopupHandle = reinterpret_cast<HMENU>(message.WParam);
        const std::vector<TPopupMenu*> menus = FMenus;
        for (TPopupMenu* menu : menus)
            if (Contains(FMenus, menu) && menu->DispatchPopup(FPopupHandle)) break;
        message.Result = 0;
        return;
    }
    case WM_MENUSELECT:
        ShowMenuSelectHint(*this, message);
        message.Result = 0;
        return;
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
        if (measure && measure->CtlType == ODT_MENU) {
            if (MeasureMenuItem(FindItem(measure->itemID, fkCommand), *measure)) {
                message.Result = 1;
                return;
            }
        }
        break;
    }
    case WM_DRAWITEM: {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
        if (draw && draw->CtlType == ODT_MENU) {
            if (DrawMenuItem(FindItem(draw->itemID, fkCommand), *draw)) {
                message.Result = 1;
                return;
            }
        }
        break;
    }
    default:
        break;
    }
    message.Result = DefWindowProcA(FWindow, message.Msg, message.WParam, message.LParam);
}

TPopupList* SetPopupList(TPopupList* value) {
    TPopupList* old = PopupList;
    if (value == old) return nullptr;
    if (old && value) {
        for (TPopupMenu* menu : old->FMenus) value->Add(menu);
        old->FMenus.clear();
    }
    PopupList = value;
    return old;
}

// ---- TControl's popup menu ----------------------------------------------------------------

TPopupMenu* TControl::GetPopupMenu() const { return FPopupMenu.Get(); }

void TControl::SetPopupMenu(TPopupMenu* value) { FPopupMenu = value; }

bool TControl::ShowPopupMenu(TPoint screenPos) {
    TPopupMenu* menu = GetPopupMenu();
    if (!menu || !menu->GetAutoPopup()) return false;
    if (screenPos.X == -1 && screenPos.Y == -1) screenPos = ClientToScreen(Point(0, 0));
    menu->SetPopupComponent(this);
    menu->Popup(screenPos.X, screenPos.Y);
    return true;
}

// ---- TMenuActionLink --------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TMenuActionLink)

void TMenuActionLink::AssignClient(TObject* client) { FClient = as<TMenuItem>(client); }

bool TMenuActionLink::IsAutoCheckLinked() {
    TCustomAction* action = GetCustomAction();
    return action && FClient && FClient->GetAutoCheck() == action->GetAutoCheck();
}

bool TMenuActionLink::IsCaptionLinked() {
    TCustomAction* action = GetCustomAction();
    return action && FClient && FClient->GetCaption() == action->GetCaption();
}

bool TMenuActionLink::IsCheckedLinked() {
    TCustomAction* action = GetCustomAction();
    return action && FClient && FClient->GetChecked() == action->GetChecked();
}

bool TMenuActionLink::IsEnabledLinked() {
    TCustomAction* action = GetCustomAction();
    return action && FClient && FClient->GetEnabled() == action->GetEnabled();
}

bool TMenuActionLink::IsGroupIndexLinked() {
    TCustomAction* action = GetCustomAction();
    return action && FClient && FClient->GetGroupIndex() == action->GetGroupIndex();
}

bool TMenuActionLink::IsHelpContextLinked() {
    TCustomAction* action = GetCustomAction();
    return action && FClient && FClient->GetHelpContext() == action->GetHelpContext();
}

bool TMenuActionLink::IsHintLinked() {
    TCustomAction* action = GetCustomAction();
    return action && FClient && FClient->GetHint() == action->GetHint();
}

bool TMenuActionLink::IsImageIndexLinked() {
    TCustomAction* action = GetCustomAction();
    return action && FClient && FClient->GetImageIndex() == action->GetImageIndex();
}

bool TMenuActionLink::IsShortCutLinked() {
    TCustomAction* action = GetCustomAction();
    return action && FClient && FClient->GetShortCut() == action->GetShortCut();
}

bool TMenuActionLink::IsVisibleLinked() {
    TCustomAction* action = GetCustomAction();
    return action && FClient && FClient->GetVisible() == action->GetVisible();
}

bool TMenuActionLink::IsOnExecuteLinked() {
    return FAction && FClient && FClient->OnClick == FAction->OnExecute;
}

void TMenuActionLink::SetAutoCheck(bool value) {
    if (IsAutoCheckLinked()) FClient->SetAutoCheck(value);
}

void TMenuActionLink::SetCaption(const std::string& value) {
    if (IsCaptionLinked()) FClient->SetCaption(value);
}

void TMenuActionLink::SetChecked(bool value) {
    if (IsCheckedLinked()) FClient->SetChecked(value);
}

void TMenuActionLink::SetEnabled(bool value) {
    if (IsEnabledLinked()) FClient->SetEnabled(value);
}

void TMenuActionLink::SetGroupIndex(int value) {
    if (IsGroupIndexLinked()) FClient->SetGroupIndex(value);
}

void TMenuActionLink::SetHelpContext(int value) {
    if (IsHelpContextLinked()) FClient->SetHelpContext(value);
}

void TMenuActionLink::SetHint(const std::string& value) {
    if (IsHintLinked()) FClient->SetHint(value);
}

void TMenuActionLink::SetImageIndex(int value) {
    if (IsImageIndexLinked()) FClient->SetImageIndex(value);
}

void TMenuActionLink::SetShortCut(TShortCut value) {
    if (IsShortCutLinked()) FClient->SetShortCut(value);
}

void TMenuActionLink::SetVisible(bool value) {
    if (IsVisibleLinked()) FClient->SetVisible(value);
}

void TMenuActionLink::SetOnExecute(TNotifyEvent value) {
    if (IsOnExecuteLinked()) FClient->OnClick = value;
}

// ---- Unit -----------------------------------------------------------------------------------

namespace {

void InitializeMenus() {
    ActnListUnit.Initialize();
    try {
        if (!PopupList) PopupList = new TPopupList;
        RegisterClasses({TMenuItem::StaticClass(), TMainMenu::StaticClass(), TPopupMenu::StaticClass()});
    } catch (...) {
        delete PopupList;
        PopupList = nullptr;
        ActnListUnit.Finalize();
        throw;
    }
}

void FinalizeMenus() {
    UnRegisterClass(TPopupMenu::StaticClass());
    UnRegisterClass(TMainMenu::StaticClass());
    UnRegisterClass(TMenuItem::StaticClass());
    TPopupList* list = PopupList;
    PopupList = nullptr;
    delete list;
    ActnListUnit.Finalize();
}

} // namespace

TUnit MenusUnit{"Menus", &InitializeMenus, &FinalizeMenus};

} // namespace gcl
