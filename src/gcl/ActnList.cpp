#include "gcl/ActnList.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"

namespace gcl {

namespace {

[[noreturn]] void RaiseListIndex(int index) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, msg::ListIndexError, index);
    throw EListError(buffer);
}

// The text of a control, through its WindowProc.
std::string ControlText(TControl* control) {
    int length = static_cast<int>(control->Perform(WM_GETTEXTLENGTH));
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = static_cast<int>(
        control->Perform(WM_GETTEXT, text.size(), reinterpret_cast<intptr_t>(text.data())));
    text.resize(static_cast<size_t>(std::clamp(copied, 0, length)));
    return text;
}

void SetControlText(TControl* control, const std::string& value) {
    control->Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>(value.c_str()));
}

// A published ordinal property of a client, when it has one of the kind.
const TPropInfo* OrdinalProp(TObject* client, const char* name, TTypeKind kind) {
    const TPropInfo* info = client ? GetPropInfo(client, name) : nullptr;
    return info && info->Kind() == kind && !info->IsReadOnly() ? info : nullptr;
}

bool GetBoolProp(TObject* client, const char* name, bool& value) {
    const TPropInfo* info = OrdinalProp(client, name, tkEnumeration);
    if (!info || info->EnumInfo() != &EnumInfo<bool>()) return false;
    value = info->GetValue(client).AsOrdinal() != 0;
    return true;
}

bool SetBoolProp(TObject* client, const char* name, bool value) {
    const TPropInfo* info = OrdinalProp(client, name, tkEnumeration);
    if (!info || info->EnumInfo() != &EnumInfo<bool>()) return false;
    // A check box clicks when its state changes; a change made for the
    // action must not run the click (nor the action) again.
    TComponentRef<TControl> control(dynamic_cast<TControl*>(client));
    TNotifyEvent onClick;
    if (control) std::swap(onClick, control->OnClick);
    try {
        info->SetValue(client, TPropValue(value ? 1 : 0));
    } catch (...) {
        if (control && !control->OnClick) control->OnClick = onClick;
        throw;
    }
    if (control && !control->OnClick) control->OnClick = onClick;
    return true;
}

bool GetIntProp(TObject* client, const char* name, int& value) {
    const TPropInfo* info = OrdinalProp(client, name, tkInteger);
    if (!info) return false;
    value = static_cast<int>(info->GetValue(client).AsOrdinal());
    return true;
}

bool SetIntProp(TObject* client, const char* name, int value) {
    const TPropInfo* info = OrdinalProp(client, name, tkInteger);
    if (!info) return false;
    info->SetValue(client, TPropValue(value));
    return true;
}

} // namespace

// ---- Shortcuts ---------------------------------------------------------------------

TShortCut ShortCut(uint16_t key, TShiftState shift) {
    if (key & 0xFF00) return 0;
    TShortCut result = key;
    if (shift.Contains(ssShift)) result |= scShift;
    if (shift.Contains(ssCtrl)) result |= scCtrl;
    if (shift.Contains(ssAlt)) result |= scAlt;
    return result;
}

void ShortCutToKey(TShortCut shortCut, uint16_t& key, TShiftState& shift) {
    key = shortCut & 0xFF;
    shift = TShiftState{};
    if (shortCut & scShift) shift.Include(ssShift);
    if (shortCut & scCtrl) shift.Include(ssCtrl);
    if (shortCut & scAlt) shift.Include(ssAlt);
}

namespace {

const char* const KeyNames[] = {
    // 0x20 .. 0x28
    "Space", "PgUp", "PgDn", "End", "Home", "Left", "Up", "Right", "Down",
};

std::string KeyText(unsigned key) {
    switch (key) {
    case VK_BACK:
        return "BkSp";
    case VK_TAB:
        return "Tab";
    case VK_RETURN:
        return "Enter";
    case VK_ESCAPE:
        return "Esc";
    case VK_INSERT:
        return "Ins";
    case VK_DELETE:
        return "Del";
    default:
        break;
    }
    if (key >= VK_SPACE && key <= VK_DOWN) return KeyNames[key - VK_SPACE];
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return std::string(1, static_cast<char>('0' + key - VK_NUMPAD0));
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    // Any other key by the keyboard layout's own name.
    UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    if (scan == 0) return std::string();
    char name[64] = {};
    int length = GetKeyNameTextA(static_cast<LONG>(scan << 16), name, sizeof name);
    return length > 0 ? std::string(name, static_cast<size_t>(length)) : std::string();
}

} // namespace

std::string ShortCutToText(TShortCut shortCut) {
    std::string key = KeyText(shortCut & 0xFF);
    if (key.empty()) return std::string();
    std::string result;
    if (shortCut & scShift) result += "Shift+";
    if (shortCut & scCtrl) result += "Ctrl+";
    if (shortCut & scAlt) result += "Alt+";
    return result + key;
}

TShortCut TextToShortCut(const std::string& text) {
    static const struct {
        const char* Prefix;
        TShortCut Bit;
    } modifiers[] = {{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}};
    std::string rest = text;
    TShortCut shift = 0;
    for (bool found = true; found;) {
        found = false;
        for (const auto& m : modifiers) {
            const size_t length = std::char_traits<char>::length(m.Prefix);
            if (rest.size() > length && SameText(rest.substr(0, length), m.Prefix)) {
                shift |= m.Bit;
                rest.erase(0, length);
                found = true;
            }
        }
    }
    if (rest.empty()) return 0;
    for (unsigned key = 0x08; key <= 0xFF; ++key) {
        std::string name = KeyText(key);
        if (!name.empty() && SameText(name, rest)) return static_cast<TShortCut>(key | shift);
    }
    return 0;
}

bool IsModifierKey(uintptr_t key) noexcept {
    switch (key) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LSHIFT:
    case VK_RSHIFT:
    case VK_LCONTROL:
    case VK_RCONTROL:
    case VK_LMENU:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
        return true;
    default:
        return false;
    }
}

bool IsTextEditingKey(TShortCut shortCut) noexcept {
    const unsigned key = shortCut & 0xFF;
    const TShortCut mods = shortCut & (scShift | scCtrl | scAlt);
    switch (key) {
    case 'A':
    case 'C':
    case 'X':
    case 'V':
    case 'Z':
    case 'Y':
        return mods == scCtrl;
    case VK_INSERT:
        return mods == scCtrl || mods == scShift;
    case VK_DELETE:
    case VK_BACK:
        return mods == scNone || mods == scShift || mods == scCtrl;
    case VK_HOME:
    case VK_END:
    case VK_LEFT:
    case VK_RIGHT:
        return (mods & scAlt) == 0;
    default:
        return false;
    }
}

bool IsTextBox(HWND window) {
    if (!window) return false;
    if ((SendMessageA(window, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) return true;
    // Every edit and rich edit has a limit of its text; a window of
    // another kind leaves the message to the default procedure, which
    // answers 0.
    return SendMessageA(window, EM_GETLIMITTEXT, 0, 0) != 0;
}

TShortCut ShortCutFromMessage(const TWMKey& message) {
    const unsigned key = message.GetCharCode() & 0xFF;
    // (Without reading the keyboard: Ctrl pressed before its letter asks
    // every menu and action list of the form.)
    if (IsModifierKey(key)) return 0;
    return ShortCut(key, KeyMessageShiftState(message.M.WParam, message.M.LParam));
}

// ---- TBasicActionLink ----------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TBasicActionLink)

TBasicActionLink::TBasicActionLink(TObject* client) { AssignClient(client); }

TBasicActionLink::~TBasicActionLink() {
    if (FAction) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* value) {
    if (value == FAction) return;
    if (FAction) FAction->UnRegisterChanges(this);
    if (value) value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* component) {
    TBasicAction* action = FAction;
    if (!action) return false;
    TComponentRef<TBasicAction> alive(action);
    action->SetActionComponent(component);
    bool result = false;
    try {
        result = action->Execute();
    } catch (...) {
        if (alive) alive->SetActionComponent(nullptr);
        throw;
    }
    if (alive) alive->SetActionComponent(nullptr);
    return result;
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

void TBasicActionLink::Change() {
    if (OnChange) OnChange(FAction);
}

// ---- TActionLink ---------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TActionLink)

TCustomAction* TActionLink::GetCustomAction() const noexcept { return dynamic_cast<TCustomAction*>(FAction); }

bool TActionLink::IsAutoCheckLinked() { return GetCustomAction() != nullptr; }
bool TActionLink::IsCaptionLinked() { return GetCustomAction() != nullptr; }
bool TActionLink::IsCheckedLinked() { return GetCustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() { return GetCustomAction() != nullptr; }
bool TActionLink::IsGroupIndexLinked() { return GetCustomAction() != nullptr; }
bool TActionLink::IsHelpContextLinked() { return GetCustomAction() != nullptr; }
bool TActionLink::IsHintLinked() { return GetCustomAction() != nullptr; }
bool TActionLink::IsImageIndexLinked() { return GetCustomAction() != nullptr; }
bool TActionLink::IsShortCutLinked() { return GetCustomAction() != nullptr; }

bool TActionLink::DoShowHint(std::string& hintStr) {
    TCustomAction* action = GetCustomAction();
    if (!action) return true;
    TComponentRef<TCustomAction> alive(action);
    if (!action->DoHint(hintStr)) return false;
    if (!alive) return true;
    if (ApplicationHost && ApplicationHost->GetHintShortCuts() && action->GetShortCut() != scNone &&
        !hintStr.empty())
        hintStr = Format("%s (%s)", {hintStr, ShortCutToText(action->GetShortCut())});
    return true;
}
bool TActionLink::IsVisibleLinked() { return GetCustomAction() != nullptr; }

// ---- TBasicAction ----------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TBasicAction)

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner) {}

TBasicAction::~TBasicAction() = default;

void TBasicAction::BeforeDestruction() noexcept {
    // Subscribers (the clients' owners) drop their links first; links that
    // remain are cut loose.
    inherited::BeforeDestruction();
    std::vector<TBasicActionLink*> clients;
    clients.swap(FClients);
    for (TBasicActionLink* link : clients) link->FAction = nullptr;
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* value) {
    if (!value) return;
    if (value->FAction && value->FAction != this) value->FAction->UnRegisterChanges(value);
    value->FAction = this;
    if (!Contains(FClients, value)) FClients.push_back(value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* value) noexcept {
    auto it = std::find(FClients.begin(), FClients.end(), value);
    if (it == FClients.end()) return;
    FClients.erase(it);
    value->FAction = nullptr;
}

TBasicActionLink* TBasicAction::GetClients(int index) const {
    if (index < 0 || index >= GetClientCount()) RaiseListIndex(index);
    return FClients[static_cast<size_t>(index)];
}

void TBasicAction::SetOnExecute(TNotifyEvent value) {
    if (value == OnExecute) return;
    const std::vector<TBasicActionLink*> clients = FClients;
    for (TBasicActionLink* link : clients)
        if (Contains(FClients, link)) link->SetOnExecute(value);
    OnExecute = value;
    Change();
}

void TBasicAction::Change() {
    // A link's handler may unlink clients or free them: walk a snapshot and
    // skip those that left.
    const std::vector<TBasicActionLink*> clients = FClients;
    for (TBasicActionLink* link : clients)
        if (Contains(FClients, link)) link->Change();
}

// ---- TContainedAction ------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TContainedAction)

void TContainedAction::BeforeDestruction() noexcept {
    if (FActionList) FActionList->RemoveAction(this);
    inherited::BeforeDestruction();
}

void TContainedAction::SetActionList(TCustomActionList* value) {
    if (value == FActionList) return;
    if (FActionList) FActionList->RemoveAction(this);
    if (value) value->AddAction(this);
}

void TContainedAction::SetCategory(const std::string& value) {
    if (value == FCategory) return;
    FCategory = value;
    if (FActionList) FActionList->Change();
}

int TContainedAction::GetIndex() const noexcept { return FActionList ? FActionList->IndexOfAction(this) : -1; }

void TContainedAction::SetIndex(int value) {
    if (!FActionList) return;
    auto& list = FActionList->FActions;
    const int current = GetIndex();
    value = std::clamp(value, 0, static_cast<int>(list.size()) - 1);
    if (value == current) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + value, this);
    FActionList->Change();
}

TComponent* TContainedAction::GetParentComponent() const { return FActionList; }

void TContainedAction::SetParentComponent(TComponent* value) {
    if (auto* list = dynamic_cast<TCustomActionList*>(value)) SetActionList(list);
}

bool TContainedAction::Execute() {
    TComponentRef<TContainedAction> alive(this);
    if (FActionList && FActionList->ExecuteAction(this)) return true;
    if (!alive) return true;
    if (TBasicAction::Execute()) return true;
    if (!alive) return true;
    return ApplicationHost && ApplicationHost->ExecuteAction(this);
}

bool TContainedAction::Update() {
    TComponentRef<TContainedAction> alive(this);
    if (FActionList && FActionList->UpdateAction(this)) return true;
    if (!alive) return true;
    if (TBasicAction::Update()) return true;
    if (!alive) return true;
    return ApplicationHost && ApplicationHost->UpdateAction(this);
}

void TContainedAction::Change() {
    TComponentRef<TContainedAction> alive(this);
    inherited::Change();
    if (alive && FActionList) FActionList->Change();
}

// ---- TCustomAction ----------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TCustomAction)

bool TCustomAction::Execute() {
    TComponentRef<TCustomAction> alive(this);
    Update();
    if (!alive || !FEnabled) return false;
    // Flipped also for the checked member of a group: executing it again
    // leaves the group with nothing checked.
    if (FAutoCheck) {
        SetChecked(!FChecked);
        if (!alive) return false;
    }
    return inherited::Execute();
}

bool TCustomAction::DoHint(std::string& hintStr) {
    bool canShow = true;
    if (OnHint) OnHint(hintStr, canShow);
    return canShow;
}

void TCustomAction::Assign(TPersistent* source) {
    if (auto* action = dynamic_cast<TCustomAction*>(source)) {
        SetAutoCheck(action->FAutoCheck);
        SetCaption(action->FCaption);
        SetChecked(action->FChecked);
        SetEnabled(action->FEnabled);
        SetGroupIndex(action->FGroupIndex);
        SetHelpContext(action->FHelpContext);
        SetHint(action->FHint);
        SetImageIndex(action->FImageIndex);
        SetShortCut(action->FShortCut);
        SetVisible(action->FVisible);
        return;
    }
    inherited::Assign(source);
}

// Each setter: the links first (they compare with the old value), then
// the field, then Change. The links are walked on a snapshot.
#define GCL_ACTION_TELL_LINKS(Call)                                                  \
    do {                                                                             \
        const std::vector<TBasicActionLink*> clients_ = FClients;                    \
        for (TBasicActionLink* link_ : clients_) {                                   \
            if (!Contains(FClients, link_)) continue;                                \
            if (auto* actionLink_ = dynamic_cast<TActionLink*>(link_)) actionLink_->Call; \
        }                                                                            \
    } while (0)

void TCustomAction::SetCaption(const std::string& value) {
    if (value == FCaption) return;
    GCL_ACTION_TELL_LINKS(SetCaption(value));
    FCaption = value;
    Change();
}

void TCustomAction::SetHint(const std::string& value) {
    if (value == FHint) return;
    GCL_ACTION_TELL_LINKS(SetHint(value));
    FHint = value;
    Change();
}

void TCustomAction::SetChecked(bool value) {
    if (FChecking || value == FChecked) return;
    FChecking = true;
    try {
        GCL_ACTION_TELL_LINKS(SetChecked(value));
        FChecked = value;
        if (value) UncheckGroup();
    } catch (...) {
        FChecking = false;
        throw;
    }
    FChecking = false;
    Change();
}

void TCustomAction::UncheckGroup() {
    if (!GetActionList() || FGroupIndex <= 0) return;
    TComponentRef<TCustomActionList> list(GetActionList());
    const std::vector<TContainedAction*> actions = list->FActions;
    for (TContainedAction* contained : actions) {
        if (!list || !Contains(list->FActions, contained)) continue;
        auto* action = dynamic_cast<TCustomAction*>(contained);
        if (action && action != this && action->FGroupIndex == FGroupIndex) action->SetChecked(false);
    }
}

void TCustomAction::SetEnabled(bool value) {
    if (value == FEnabled) return;
    GCL_ACTION_TELL_LINKS(SetEnabled(value));
    FEnabled = value;
    Change();
}

void TCustomAction::SetVisible(bool value) {
    if (value == FVisible) return;
    GCL_ACTION_TELL_LINKS(SetVisible(value));
    FVisible = value;
    Change();
}

void TCustomAction::SetHelpContext(int value) {
    if (value == FHelpContext) return;
    GCL_ACTION_TELL_LINKS(SetHelpContext(value));
    FHelpContext = value;
    Change();
}

void TCustomAction::SetImageIndex(int value) {
    if (value == FImageIndex) return;
    GCL_ACTION_TELL_LINKS(SetImageIndex(value));
    FImageIndex = value;
    Change();
}

void TCustomAction::SetShortCut(TShortCut value) {
    if (value == FShortCut) return;
    GCL_ACTION_TELL_LINKS(SetShortCut(value));
    FShortCut = value;
    Change();
}

void TCustomAction::SetAutoCheck(bool value) {
    if (value == FAutoCheck) return;
    GCL_ACTION_TELL_LINKS(SetAutoCheck(value));
    FAutoCheck = value;
    Change();
}

void TCustomAction::SetGroupIndex(int value) {
    if (value == FGroupIndex) return;
    GCL_ACTION_TELL_LINKS(SetGroupIndex(value));
    FGroupIndex = value;
    if (FChecked) UncheckGroup();
    Change();
}

#undef GCL_ACTION_TELL_LINKS

GCL_PUBLISHED(TAction,
    GCL_PROP(AutoCheck).Default(false),
    GCL_PROP(Caption),
    GCL_PROP(Category),
    GCL_PROP(Checked).Default(false),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(GroupIndex).Default(0),
    GCL_PROP(HelpContext).Default(0),
    GCL_PROP(Hint),
    GCL_PROP(ImageIndex).Default(-1),
    GCL_PROP(ShortCut).Default(0),
    GCL_PROP(Visible).Default(true),
    GCL_PROP(OnExecute),
    GCL_PROP(OnHint),
    GCL_PROP(OnUpdate))

GCL_PUBLISHED(THintAction,
    GCL_PROP(Hint))

// ---- TCustomActionList ------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TCustomActionList)

TCustomActionList::TCustomActionList(TComponent* owner)
    : TComponent(owner), FImageChangeLink(std::make_unique<TChangeLink>()) {
    FImageChangeLink->OnChange = TNotifyEvent(this, &TCustomActionList::ImageListChange);
}

TCustomActionList::~TCustomActionList() = default;

void TCustomActionList::BeforeDestruction() noexcept {
    // The actions outlive their list when someone else owns them.
    std::vector<TContainedAction*> actions;
    actions.swap(FActions);
    for (TContainedAction* action : actions) action->FActionList = nullptr;
    if (TCustomImageList* images = FImages.Get()) images->UnRegisterChanges(FImageChangeLink.get());
    inherited::BeforeDestruction();
}

TContainedAction* TCustomActionList::GetActions(int index) const {
    if (index < 0 || index >= GetActionCount()) RaiseListIndex(index);
    return FActions[static_cast<size_t>(index)];
}

int TCustomActionList::IndexOfAction(const TContainedAction* action) const noexcept {
    auto it = std::find(FActions.begin(), FActions.end(), action);
    return it == FActions.end() ? -1 : static_cast<int>(it - FActions.begin());
}

void TCustomActionList::AddAction(TContainedAction* action) {
    if (!action || Contains(FActions, action)) return;
    FActions.push_back(action);
    action->FActionList = this;
    FreeNotification(action);
    Change();
}

void TCustomActionList::RemoveAction(TContainedAction* action) noexcept {
    auto it = std::find(FActions.begin(), FActions.end(), action);
    if (it == FActions.end()) return;
    FActions.erase(it);
    action->FActionList = nullptr;
    if (GetComponentState().Contains(csDestroying)) return;
    try {
        Change();
    } catch (...) {
        HandleGuardedException(this);
    }
}

void TCustomActionList::SetImages(TCustomImageList* value) {
    TCustomImageList* old = FImages.Get();
    if (value == old) return;
    if (old) old->UnRegisterChanges(FImageChangeLink.get());
    FImages = value;
    if (value) {
        value->RegisterChanges(FImageChangeLink.get());
        value->FreeNotification(this);
    }
    Change();
}

void TCustomActionList::ImageListChange(TObject* sender) {
    if (sender == FImages.Get()) Change();
}

void TCustomActionList::Notification(TComponent* component, TOperation operation) {
    inherited::Notification(component, operation);
    if (operation != opRemove) return;
    if (auto* action = dynamic_cast<TContainedAction*>(component)) RemoveAction(action);
}

void TCustomActionList::Change() {
    if (OnChange) OnChange(this);
}

bool TCustomActionList::ExecuteAction(TBasicAction* action) {
    bool handled = false;
    if (OnExecute) OnExecute(action, handled);
    return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* action) {
    bool handled = false;
    if (OnUpdate) OnUpdate(action, handled);
    return handled;
}

bool TCustomActionList::IsShortCut(TWMKey& message) {
    const TShortCut shortCut = ShortCutFromMessage(message);
    if ((shortCut & 0xFF) == 0) return false;
    TComponentRef<TCustomActionList> alive(this);
    const std::vector<TContainedAction*> actions = FActions;
    for (size_t k = 0; k < actions.size(); ++k) {
        TContainedAction* contained = actions[k];
        if (!alive) return true;
        // (Still in the list: found at its place unless a handler changed the list.)
        if ((k >= FActions.size() || FActions[k] != contained) && !Contains(FActions, contained)) continue;
        auto* action = dynamic_cast<TCustomAction*>(contained);
        if (!action || action->GetShortCut() != shortCut) continue;
        // Execute updates the action first and refuses a disabled one;
        // the key then goes on to the next match or to the control.
        TComponentRef<TCustomAction> actionAlive(action);
        action->Update();
        if (!actionAlive) return true;
        if (!action->GetEnabled()) continue;
        action->Execute();
        return true;
    }
    return false;
}

void TCustomActionList::Dispatch(TMessage& message) {
    if (message.Msg == CM_ISSHORTCUT) {
        TWMKey key(message);
        message.Result = IsShortCut(key) ? 1 : 0;
        return;
    }
    inherited::Dispatch(message);
}

void TCustomActionList::GetChildren(TGetChildProc proc, TComponent* root) {
    const std::vector<TContainedAction*> actions = FActions;
    for (TContainedAction* action : actions)
        if (action->GetOwner() == root) proc(action);
}

void TCustomActionList::SetChildOrder(TComponent* child, int order) {
    if (auto* action = dynamic_cast<TContainedAction*>(child); action && action->GetActionList() == this)
        action->SetIndex(order);
}

GCL_PUBLISHED(TActionList,
    GCL_PROP(Images),
    GCL_PROP(OnChange),
    GCL_PROP(OnExecute),
    GCL_PROP(OnUpdate))

// ---- Links of controls ----------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TControlActionLink)

namespace {
// The clients being written to on behalf of their action, innermost last.
std::vector<TControl*> GUpdatingClients;
} // namespace

TControlActionLink::TClientUpdate::TClientUpdate(TControl* client) : FClient(client) {
    GUpdatingClients.push_back(client);
}

TControlActionLink::TClientUpdate::~TClientUpdate() {
    auto it = std::find(GUpdatingClients.rbegin(), GUpdatingClients.rend(), FClient);
    if (it != GUpdatingClients.rend()) GUpdatingClients.erase(std::next(it).base());
}

bool TControlActionLink::GetUpdatingClient() const noexcept { return FClient && Contains(GUpdatingClients, FClient); }

void TControlActionLink::AssignClient(TObject* client) { FClient = as<TControl>(client); }

bool TControlActionLink::IsCaptionLinked() {
    TCustomAction* action = GetCustomAction();
    return action && FClient && ControlText(FClient) == action->GetCaption();
}

bool TControlActionLink::IsEnabledLinked() {
    TCustomAction* action = GetCustomAction();
    return action && FClient && FClient->GetEnabled() == action->GetEnabled();
}

bool TControlActionLink::IsHintLinked() {
    TCustomAction* action = GetCustomAction();
    return action && FClient && FClient->GetHint() == action->GetHint();
}

bool TControlActionLink::IsVisibleLinked() {
    TCustomAction* action = GetCustomAction();
    return action && FClient && FClient->GetVisible() == action->GetVisible();
}

bool TControlActionLink::IsOnExecuteLinked() {
    return FAction && FClient && FClient->OnClick == FAction->OnExecute;
}

void TControlActionLink::SetCaption(const std::string& value) {
    if (!IsCaptionLinked()) return;
    TClientUpdate update(FClient);
    SetControlText(FClient, value);
}

void TControlActionLink::SetEnabled(bool value) {
    if (!IsEnabledLinked()) return;
    TClientUpdate update(FClient);
    FClient->SetEnabled(value);
}

void TControlActionLink::SetHint(const std::string& value) {
    if (!IsHintLinked()) return;
    TClientUpdate update(FClient);
    FClient->SetHint(value);
}

void TControlActionLink::SetVisible(bool value) {
    if (!IsVisibleLinked()) return;
    TClientUpdate update(FClient);
    FClient->SetVisible(value);
}

void TControlActionLink::SetOnExecute(TNotifyEvent value) {
    if (IsOnExecuteLinked()) FClient->OnClick = value;
}

GCL_IMPLEMENT_CLASS(TWinControlActionLink)

GCL_IMPLEMENT_CLASS(TButtonActionLink)

bool TButtonActionLink::IsCheckedLinked() {
    TCustomAction* action = GetCustomAction();
    bool checked = false;
    return action && GetBoolProp(FClient, "Checked", checked) && checked == action->GetChecked();
}

void TButtonActionLink::SetChecked(bool value) {
    if (!IsCheckedLinked()) return;
    TClientUpdate update(FClient);
    SetBoolProp(FClient, "Checked", value);
}

GCL_IMPLEMENT_CLASS(TSpeedButtonActionLink)

bool TSpeedButtonActionLink::IsCheckedLinked() {
    TCustomAction* action = GetCustomAction();
    bool down = false;
    return action && GetBoolProp(FClient, "Down", down) && down == action->GetChecked();
}

bool TSpeedButtonActionLink::IsGroupIndexLinked() {
    TCustomAction* action = GetCustomAction();
    int groupIndex = 0;
    return action && GetIntProp(FClient, "GroupIndex", groupIndex) && groupIndex == action->GetGroupIndex();
}

void TSpeedButtonActionLink::SetChecked(bool value) {
    if (!IsCheckedLinked()) return;
    TClientUpdate update(FClient);
    SetBoolProp(FClient, "Down", value);
}

void TSpeedButtonActionLink::SetGroupIndex(int value) {
    if (!IsGroupIndexLinked()) return;
    TClientUpdate update(FClient);
    SetIntProp(FClient, "GroupIndex", value);
}

// ---- TControl's action members ------------------------------------------------------

TBasicAction* TControl::GetAction() const noexcept { return FActionLink ? FActionLink->GetAction() : nullptr; }

void TControl::FreeActionLink() noexcept {
    delete FActionLink;
    FActionLink = nullptr;
}

void TControl::CMHintShow(TMessage& message) {
    auto* info = TCMHintShow(message).GetHintInfo();
    message.Result = FActionLink && info && !FActionLink->DoShowHint(info->HintStr) ? 1 : 0;
}

void TControl::SetAction(TBasicAction* value) {
    if (!value) {
        FreeActionLink();
        FControlStyle.Exclude(csActionClient);
        return;
    }
    if (FActionLink && FActionLink->GetAction() == value) return;
    if (!FActionLink) {
        std::unique_ptr<TBasicActionLink> link(GetActionLinkClass()->Create(this));
        auto* controlLink = dynamic_cast<TControlActionLink*>(link.get());
        if (!controlLink) throw EInvalidCast(msg::InvalidCast);
        link.release();
        FActionLink = controlLink;
        FActionLink->OnChange = TNotifyEvent(this, &TControl::DoActionChange);
    }
    FActionLink->SetAction(value);
    value->FreeNotification(this);
    const bool loading =
        value->GetComponentState().Contains(csLoading) || GetComponentState().Contains(csLoading);
    ActionChange(value, loading);
    FControlStyle.Include(csActionClient);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    inherited::Notification(component, operation);
    if (operation == opRemove && FActionLink && component == FActionLink->GetAction()) SetAction(nullptr);
}

TBasicActionLinkClass TControl::GetActionLinkClass() const { return TControlActionLink::StaticClass(); }

TBasicActionLinkClass TWinControl::GetActionLinkClass() const { return TWinControlActionLink::StaticClass(); }

void TControl::DoActionChange(TObject* sender) {
    if (sender && sender == GetAction()) ActionChange(sender, false);
}

void TControl::ActionChange(TObject* sender, bool checkDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (!action) return;
    TComponentRef<TControl> alive(this);
    TComponentRef<TCustomAction> actionAlive(action);
    // The link counts these writes as its own, so that a check box whose
    // Checked is set here does not execute the action again.
    TControlActionLink::TClientUpdate update(this);

    const std::string text = GetText();
    if ((!checkDefaults || text.empty() || text == GetName()) && text != action->GetCaption())
        SetText(action->GetCaption());
    if (!alive || !actionAlive) return;
    if (!checkDefaults || GetEnabled()) SetEnabled(action->GetEnabled());
    if (!alive || !actionAlive) return;
    if (!checkDefaults || GetHint().empty()) SetHint(action->GetHint());
    if (!alive || !actionAlive) return;
    if (!checkDefaults || GetVisible()) SetVisible(action->GetVisible());
    if (!alive || !actionAlive) return;
    if (!checkDefaults || !OnClick) OnClick = action->OnExecute;

    // The published state of button-like controls.
    bool state = false;
    if (GetBoolProp(this, "Checked", state) && (!checkDefaults || !state))
        SetBoolProp(this, "Checked", action->GetChecked());
    if (!alive || !actionAlive) return;
    int groupIndex = 0;
    if (GetIntProp(this, "GroupIndex", groupIndex) && (!checkDefaults || groupIndex == 0))
        SetIntProp(this, "GroupIndex", action->GetGroupIndex());
    if (!alive || !actionAlive) return;
    if (GetBoolProp(this, "Down", state) && (!checkDefaults || !state))
        SetBoolProp(this, "Down", action->GetChecked());
}

void TControl::Click() {
    if (FActionLink && FActionLink->GetUpdatingClient()) return;
    TBasicAction* action = GetAction();
    if (OnClick && action && !(OnClick == action->OnExecute)) {
        OnClick(this);
    } else if (action) {
        FActionLink->Execute(this);
    } else if (OnClick) {
        OnClick(this);
    }
}

void TControl::InitiateAction() {
    if (FActionLink) FActionLink->Update();
}

// ---- Unit -----------------------------------------------------------------------------

namespace {

void InitializeActnList() {
    ControlsUnit.Initialize();
    RegisterClasses({TAction::StaticClass(), THintAction::StaticClass(), TActionList::StaticClass()});
}

void FinalizeActnList() {
    UnRegisterClass(TActionList::StaticClass());
    UnRegisterClass(THintAction::StaticClass());
    UnRegisterClass(TAction::StaticClass());
    ControlsUnit.Finalize();
}

} // namespace

TUnit ActnListUnit{"ActnList", &InitializeActnList, &FinalizeActnList};

} // namespace gcl
