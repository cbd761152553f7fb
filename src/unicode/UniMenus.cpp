#include "gcl/rtl/WinApi.h"

#include "unicode/UniMenus.h"

#include <vector>

#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"
#include "unicode/UniActnList.h"
#include "unicode/UniClasses.h"
#include "unicode/UniControls.h"
#include "unicode/UniForms.h"
#include "unicode/UniSysUtils.h"
#include "unicode/UniWindows.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TUniPopupList)
GCL_IMPLEMENT_CLASS(TUniMenuActionLink)

namespace {

bool IsFarEastMark(const std::wstring& s, size_t i) {
    return i + 3 < s.size() && s[i] == L'(' && s[i + 1] == L'&' && s[i + 3] == L')';
}

void SetItemHint(gcl::TObject* obj, const std::string& value) { static_cast<gcl::TMenuItem*>(obj)->SetHint(value); }

void SetItemCaption(gcl::TObject* obj, const std::string& value) {
    static_cast<gcl::TMenuItem*>(obj)->SetCaption(value);
}

bool IsMiddleEastLocale() {
    switch (PRIMARYLANGID(LANGIDFROMLCID(GetSystemDefaultLCID()))) {
    case LANG_ARABIC:
    case LANG_HEBREW:
    case LANG_FARSI:
    case LANG_URDU:
        return true;
    default:
        return false;
    }
}

void InitializeUniMenus() {
    gcl::MenusUnit.Initialize();
    try {
        UniActnListUnit.Initialize();
    } catch (...) {
        gcl::MenusUnit.Finalize();
        throw;
    }
    gcl::TPopupList* old = gcl::SetPopupList(TUniPopupList::Create());
    if (old) old->Free();
    gcl::RegisterClass(TUniMenuItem::StaticClass());
}

void FinalizeUniMenus() {
    gcl::UnRegisterClass(TUniMenuItem::StaticClass());
    if (dynamic_cast<TUniPopupList*>(gcl::PopupList)) {
        gcl::TPopupList* old = gcl::SetPopupList(gcl::TPopupList::Create());
        if (old) old->Free();
    }
    UniActnListUnit.Finalize();
    gcl::MenusUnit.Finalize();
}

} // namespace

gcl::TUnit UniMenusUnit{"UniMenus", &InitializeUniMenus, &FinalizeUniMenus};

std::wstring WideStripHotKey(const std::wstring& text) {
    const bool farEast = IsFarEastLocale();
    std::wstring result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (farEast && IsFarEastMark(text, i)) {
            i += 3;
            continue;
        }
        if (text[i] == L'&') {
            ++i;  // the mark goes; the character after it stays
            if (i >= text.size()) break;
        }
        result += text[i];
    }
    return result;
}

// ---- TUniMenuItem ---------------------------------------------------------------

void TUniMenuItem::SyncHotKeyPosition() {
    const std::string& ansi = GetCaption();
    if (gcl::WideToAnsi(FWideCaption) == ansi) return;
    const std::wstring converted = gcl::AnsiToWide(ansi);
    const std::wstring stripped = WideStripHotKey(FWideCaption);
    if (stripped != WideStripHotKey(converted) &&
        gcl::WideToAnsi(stripped) != gcl::WideToAnsi(WideStripHotKey(converted)))
        return;  // another caption: GetSyncedWideString takes the 8-bit one
    const bool farEast = IsFarEastLocale();
    std::wstring result;
    size_t j = 0;
    for (size_t i = 0; i < converted.size(); ++i) {
        if (farEast && IsFarEastMark(converted, i)) {
            result.append(converted, i, 4);
            i += 3;
        } else if (converted[i] == L'&') {
            result += L'&';
            if (i + 1 < converted.size() && converted[i + 1] == L'&') {
                // A literal mark: stands once in the stripped text.
                result += L'&';
                ++i;
                if (j < stripped.size()) ++j;
            }
        } else if (j < stripped.size()) {
            result += stripped[j++];
        }
    }
    if (j < stripped.size()) result.append(stripped, j, std::wstring::npos);
    if (gcl::WideToAnsi(result) != ansi)
        throw EUniInternalError(gcl::Format("Internal Error: SyncHotKeyPosition Failed (\"%s\" <> \"%s\").",
                                            {gcl::WideToAnsi(result), ansi}));
    FWideCaption = result;
}

std::wstring TUniMenuItem::GetWideCaption() {
    SyncHotKeyPosition();
    return GetSyncedWideString(FWideCaption, GetCaption());
}

void TUniMenuItem::SetWideCaption(const std::wstring& value) {
    SetSyncedWideString(value, FWideCaption, GetCaption(), &SetItemCaption, this);
    // Another wide text with the same 8-bit form changes no 8-bit caption.
    UpdateMenuString();
}

std::wstring TUniMenuItem::GetWideHint() { return GetSyncedWideString(FWideHint, GetHint()); }

void TUniMenuItem::SetWideHint(const std::wstring& value) {
    SetSyncedWideString(value, FWideHint, GetHint(), &SetItemHint, this);
}

bool TUniMenuItem::IsCaptionStored() {
    gcl::TMenuActionLink* link = GetActionLink();
    return !link || !link->IsCaptionLinked();
}

bool TUniMenuItem::IsHintStored() {
    gcl::TMenuActionLink* link = GetActionLink();
    return !link || !link->IsHintLinked();
}

void TUniMenuItem::DefineProperties(gcl::TFiler& filer) {
    inherited::DefineProperties(filer);
    DefineWideProperties(filer, this);
}

void TUniMenuItem::ActionChange(gcl::TObject* sender, bool checkDefaults) {
    auto* action = dynamic_cast<gcl::TCustomAction*>(sender);
    if (action && IsWideAction(action)) {
        gcl::TComponentRef<TUniMenuItem> alive(this);
        gcl::TComponentRef<gcl::TCustomAction> actionAlive(action);
        if (!checkDefaults || GetWideCaption().empty()) SetWideCaption(UniActionGetCaption(action));
        if (!alive || !actionAlive) return;
        if (!checkDefaults || GetWideHint().empty()) SetWideHint(UniActionGetHint(action));
    }
    inherited::ActionChange(sender, checkDefaults);
}

gcl::TBasicActionLinkClass TUniMenuItem::GetActionLinkClass() { return TUniMenuActionLink::StaticClass(); }

void TUniMenuItem::UpdateMenuString() {
    if (!UnicodePlatform) return;
    TMenuItem* parent = GetParent();
    if (!parent || !parent->HandleAllocated() || !GetVisible() || IsLine()) return;
    HMENU menu = parent->GetHandle();
    FKeyboardLayout = GetKeyboardLayout(0);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STRING;
    if (!GetMenuItemInfoW(menu, GetCommand(), FALSE, &info)) return;
    if (info.fType & (MFT_SEPARATOR | MFT_OWNERDRAW | MFT_BITMAP)) return;
    std::wstring current(static_cast<size_t>(info.cch) + 1, L'\0');
    info.dwTypeData = current.data();
    info.cch = static_cast<UINT>(current.size());
    if (!GetMenuItemInfoW(menu, GetCommand(), FALSE, &info)) return;
    current.resize(info.cch);

    std::wstring text = GetWideCaption();
    gcl::TMenu* parentMenu = GetParentMenu();
    auto* mainMenu = dynamic_cast<gcl::TMainMenu*>(parentMenu);
    const bool onMenuBar = mainMenu && parent == mainMenu->GetItems();
    // Only a real shortcut text follows a tab: no tab without one.
    if (GetShortCut() != 0 && GetCount() == 0 && !onMenuBar) {
        std::wstring shortCut = WideShortCutToText(GetShortCut());
        if (!shortCut.empty()) text += L"\t" + shortCut;
    }
    if (text == current) return;
    MENUITEMINFOW write{};
    write.cbSize = sizeof write;
    write.fMask = MIIM_STRING;
    write.dwTypeData = text.data();
    write.cch = static_cast<UINT>(text.size());
    SetMenuItemInfoW(menu, GetCommand(), FALSE, &write);
    if (onMenuBar && mainMenu->GetWindowHandle()) DrawMenuBar(mainMenu->GetWindowHandle());
}

void TUniMenuItem::UpdateMenuStrings() {
    UpdateMenuString();
    for (int i = 0; i < GetCount(); ++i)
        if (auto* item = dynamic_cast<TUniMenuItem*>(GetItems(i))) item->UpdateMenuStrings();
}

void TUniMenuItem::MenuChanged(bool rebuild) {
    inherited::MenuChanged(rebuild);
    if (GetComponentState().Contains(gcl::csDestroying)) return;
    UpdateMenuStrings();
}

void TUniMenuItem::Loaded() {
    inherited::Loaded();
    UpdateMenuStrings();
}

void TUniMenuItem::DoDrawText(gcl::TCanvas* canvas, const std::string& text, gcl::TRect& rect, bool selected,
                              uint32_t flags) {
    if (!UnicodePlatform) {
        inherited::DoDrawText(canvas, text, rect, selected, flags);
        return;
    }
    std::wstring wide;
    const std::string& caption = GetCaption();
    if (text == caption) {
        wide = GetWideCaption();
    } else if (text == caption + " ") {
        wide = GetWideCaption() + L" ";   // an empty caption is measured as a space
    } else if (GetShortCut() != 0 && text == gcl::ShortCutToText(GetShortCut())) {
        wide = WideShortCutToText(GetShortCut());
    } else {
        wide = gcl::AnsiToWide(text);
    }
    canvas->GetBrush()->SetStyle(gcl::bsClear);
    canvas->RequiredState(gcl::TCanvasState{gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid});
    HDC dc = canvas->GetHandle();
    SetBkMode(dc, TRANSPARENT);
    RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    if (flags & DT_CALCRECT) {
        WideDrawText(dc, wide.c_str(), static_cast<int>(wide.size()), &r, flags);
        rect = gcl::TRect{r.left, r.top, r.right, r.bottom};
        return;
    }
    gcl::TFont* font = canvas->GetFont();
    const gcl::TColor old = font->GetColor();
    auto draw = [&](gcl::TColor color, int offset) {
        font->SetColor(color);
        canvas->RequiredState(gcl::TCanvasState{gcl::csHandleValid, gcl::csFontValid});
        RECT shifted{r.left + offset, r.top + offset, r.right + offset, r.bottom + offset};
        WideDrawText(dc, wide.c_str(), static_cast<int>(wide.size()), &shifted, flags);
    };
    if (!GetEnabled()) {
        if (!selected) {
            draw(gcl::clBtnHighlight, 1);
            draw(gcl::clBtnShadow, 0);
        } else {
            draw(gcl::ColorToRGB(gcl::clHighlight) == gcl::ColorToRGB(gcl::clBtnShadow) ? gcl::clBtnHighlight
                                                                                       : gcl::clBtnShadow,
                 0);
        }
    } else {
        draw(selected ? gcl::clHighlightText : gcl::clMenuText, 0);
    }
    font->SetColor(old);
}

void TUniMenuItem::InitiateAction() {
    // A new keyboard layout names the shortcut keys differently.
    if (FKeyboardLayout && FKeyboardLayout != GetKeyboardLayout(0)) MenuChanged(false);
    inherited::InitiateAction();
}

GCL_PUBLISHED(TUniMenuItem,
    gcl::Prop<&TUniMenuItem::GetWideCaption, &TUniMenuItem::SetWideCaption>("Caption")
        .StoredBy<&TUniMenuItem::IsCaptionStored>(),
    gcl::Prop<&TUniMenuItem::GetWideHint, &TUniMenuItem::SetWideHint>("Hint").StoredBy<&TUniMenuItem::IsHintStored>())

// ---- TUniMenuActionLink ---------------------------------------------------------

namespace {

std::wstring ItemCaption(gcl::TMenuItem* item) {
    auto* uniItem = dynamic_cast<TUniMenuItem*>(item);
    return uniItem ? uniItem->GetWideCaption() : gcl::AnsiToWide(item->GetCaption());
}

std::wstring ItemHint(gcl::TMenuItem* item) {
    auto* uniItem = dynamic_cast<TUniMenuItem*>(item);
    return uniItem ? uniItem->GetWideHint() : gcl::AnsiToWide(item->GetHint());
}

} // namespace

bool TUniMenuActionLink::IsCaptionLinked() {
    // The menu may place the hot-key marks by itself, and a caption of the
    // same letters counts as the action's.
    return inherited::IsCaptionLinked() &&
           gcl::WideCompareText(WideStripHotKey(UniActionGetCaption(GetCustomAction())),
                                WideStripHotKey(ItemCaption(FClient))) == 0;
}

bool TUniMenuActionLink::IsHintLinked() {
    return inherited::IsHintLinked() && UniActionGetHint(GetCustomAction()) == ItemHint(FClient);
}

void TUniMenuActionLink::SetCaption(const std::string& value) {
    if (!IsCaptionLinked()) return;
    const std::wstring wide = GetActionWideCaption(FAction, gcl::AnsiToWide(value));
    if (auto* item = dynamic_cast<TUniMenuItem*>(FClient))
        item->SetWideCaption(wide);
    else
        FClient->SetCaption(gcl::WideToAnsi(wide));
}

void TUniMenuActionLink::SetHint(const std::string& value) {
    if (!IsHintLinked()) return;
    const std::wstring wide = GetActionWideHint(FAction, gcl::AnsiToWide(value));
    if (auto* item = dynamic_cast<TUniMenuItem*>(FClient))
        item->SetWideHint(wide);
    else
        FClient->SetHint(gcl::WideToAnsi(wide));
}

// ---- TUniPopupList --------------------------------------------------------------

void TUniPopupList::WndProc(gcl::TMessage& message) {
    switch (message.Msg) {
    case WM_MENUSELECT: {
        const unsigned flags = (message.WParam >> 16) & 0xFFFF;
        auto menu = reinterpret_cast<HMENU>(message.LParam);
        gcl::TMenuItem* item = nullptr;
        if (!(flags == 0xFFFF && !menu)) {
            if (flags & MF_POPUP) {
                HMENU submenu = GetSubMenu(menu, static_cast<int>(message.WParam & 0xFFFF));
                if (submenu) item = FindItem(reinterpret_cast<uintptr_t>(submenu), gcl::fkHandle);
            } else {
                item = FindItem(message.WParam & 0xFFFF, gcl::fkCommand);
            }
        }
        if (UniApplication) {
            std::wstring hint;
            if (auto* uniItem = dynamic_cast<TUniMenuItem*>(item))
                hint = uniItem->GetWideHint();
            else if (item)
                hint = gcl::AnsiToWide(item->GetHint());
            UniApplication->SetHint(WideGetLongHint(hint));
        }
        break;
    }
    case WM_INITMENUPOPUP:
        if (UnicodePlatform && IsMiddleEastLocale()) {
            for (int m = 0; m < GetCount(); ++m) {
                gcl::TMenuItem* root = GetItems(m)->GetItems();
                for (int i = 0; i < root->GetCount(); ++i) {
                    if (!root->GetItems(i)->GetVisible()) continue;
                    if (auto* first = dynamic_cast<TUniMenuItem*>(root->GetItems(i))) first->UpdateMenuStrings();
                    break;
                }
            }
        }
        break;
    default:
        break;
    }
    inherited::WndProc(message);
}

} // namespace qelvo
