// The item tree: sub-item lists, change notifications and their relay,
// properties, effective options, radio groups, images, action links,
// clicks, shortcuts, the deferred click and popup placement.
#include "toolbar/BarItem.h"

#include <algorithm>

#include "gcl/Forms.h"
#include "gcl/Menus.h"
#include "gcl/Timers.h"
#include "gcl/rtl/ThreadVars.h"
#include "gcl/rtl/TypInfo.h"

namespace qelvo {

using gcl::TComponent;
using gcl::TObject;

// ---- Per-thread state: live items and viewers, the deferred clicks ------------------

namespace {

constexpr UINT DeferredClickMessage = 0x500;
// Marks a cancelled slot of the deferred-click list.
TObject* const CancelledClick = reinterpret_cast<TObject*>(1);

class TDeferredClicks : public TObject {
public:
    void WndProc(gcl::TMessage& Message);

    int LiveCount = 0;
    HWND Window = nullptr;
    std::vector<TObject*> Pending;
};

// The calling thread's state; lives while the thread has live items or
// viewers.
struct TDeferredClicksRef {
    TDeferredClicks* State;
};
constinit thread_local gcl::TThreadVar<TDeferredClicksRef> GDeferredClicks;

void TDeferredClicks::WndProc(gcl::TMessage& Message) {
    if (Message.Msg != DeferredClickMessage) {
        Message.Result = DefWindowProcA(Window, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    TObject* target = nullptr;
    size_t slot = static_cast<size_t>(Message.LParam);
    if (Message.LParam >= 0 && slot < Pending.size()) {
        target = Pending[slot];
        Pending[slot] = nullptr;
    }
    while (!Pending.empty() && !Pending.back()) Pending.pop_back();
    if (!target || target == CancelledClick) return;
    if (auto* item = dynamic_cast<TBarCustomItem*>(target)) item->Click();
    else if (auto* viewer = dynamic_cast<TBarItemViewer*>(target)) viewer->RunAccSelect(Message.WParam != 0);
}

} // namespace

void CountLiveObject(int delta) noexcept {
    if (delta > 0) {
        if (!GDeferredClicks->State) GDeferredClicks->State = new TDeferredClicks;
        ++GDeferredClicks->State->LiveCount;
        return;
    }
    TDeferredClicks* state = GDeferredClicks->State;
    if (!state || --state->LiveCount > 0) return;
    GDeferredClicks->State = nullptr;
    gcl::DeallocateHWnd(state->Window);
    delete state;
}

void PostDeferredClick(TObject* Object, WPARAM Arg) {
    if (!GDeferredClicks->State) GDeferredClicks->State = new TDeferredClicks;
    TDeferredClicks& state = *GDeferredClicks->State;
    if (!state.Window) state.Window = gcl::AllocateHWnd(gcl::TWndMethod(&state, &TDeferredClicks::WndProc));
    auto free = std::find(state.Pending.begin(), state.Pending.end(), nullptr);
    size_t slot = static_cast<size_t>(free - state.Pending.begin());
    if (free == state.Pending.end()) state.Pending.push_back(Object);
    else *free = Object;
    PostMessageA(state.Window, DeferredClickMessage, Arg, static_cast<LPARAM>(slot));
}

void CancelDeferredClicks(TObject* Object) noexcept {
    if (!GDeferredClicks->State) return;
    for (TObject*& p : GDeferredClicks->State->Pending)
        if (p == Object) p = CancelledClick;
}

HWND DeferredClickWindow() noexcept { return GDeferredClicks->State ? GDeferredClicks->State->Window : nullptr; }

// ---- TBarCustomItemActionLink ---------------------------------------------------------

GCL_IMPLEMENT_CLASS(TBarImageChangeLink)
GCL_IMPLEMENT_CLASS(TBarCustomItemActionLink)

TBarCustomItemActionLink::TBarCustomItemActionLink(TObject* client) : gcl::TActionLink(client) {
    AssignClient(client);
}

void TBarCustomItemActionLink::AssignClient(TObject* client) { FClient = dynamic_cast<TBarCustomItem*>(client); }

bool TBarCustomItemActionLink::IsAutoCheckLinked() {
    gcl::TCustomAction* action = GetCustomAction();
    return action && FClient && FClient->GetAutoCheck() == action->GetAutoCheck();
}
bool TBarCustomItemActionLink::IsCaptionLinked() {
    return inherited::IsCaptionLinked() && FClient && FClient->GetCaption() == GetCustomAction()->GetCaption();
}
bool TBarCustomItemActionLink::IsCheckedLinked() {
    return inherited::IsCheckedLinked() && FClient && FClient->GetChecked() == GetCustomAction()->GetChecked();
}
bool TBarCustomItemActionLink::IsEnabledLinked() {
    return inherited::IsEnabledLinked() && FClient && FClient->GetEnabled() == GetCustomAction()->GetEnabled();
}
bool TBarCustomItemActionLink::IsHelpContextLinked() {
    return inherited::IsHelpContextLinked() && FClient &&
           FClient->GetHelpContext() == GetCustomAction()->GetHelpContext();
}
bool TBarCustomItemActionLink::IsHintLinked() {
    return inherited::IsHintLinked() && FClient && FClient->GetHint() == GetCustomAction()->GetHint();
}
bool TBarCustomItemActionLink::IsImageIndexLinked() {
    return inherited::IsImageIndexLinked() && FClient &&
           FClient->GetImageIndex() == GetCustomAction()->GetImageIndex();
}
bool TBarCustomItemActionLink::IsShortCutLinked() {
    return inherited::IsShortCutLinked() && FClient && FClient->GetShortCut() == GetCustomAction()->GetShortCut();
}
bool TBarCustomItemActionLink::IsVisibleLinked() {
    return inherited::IsVisibleLinked() && FClient && FClient->GetVisible() == GetCustomAction()->GetVisible();
}
bool TBarCustomItemActionLink::IsOnExecuteLinked() {
    return inherited::IsOnExecuteLinked() && FClient && FAction && FClient->OnClick == FAction->OnExecute;
}

void TBarCustomItemActionLink::SetAutoCheck(bool value) {
    if (IsAutoCheckLinked()) FClient->FAutoCheck = value;
}
void TBarCustomItemActionLink::SetCaption(const std::string& value) {
    if (IsCaptionLinked()) FClient->SetCaption(value);
}
void TBarCustomItemActionLink::SetChecked(bool value) {
    if (IsCheckedLinked()) FClient->SetChecked(value);
}
void TBarCustomItemActionLink::SetEnabled(bool value) {
    if (IsEnabledLinked()) FClient->SetEnabled(value);
}
void TBarCustomItemActionLink::SetHelpContext(int value) {
    if (IsHelpContextLinked()) FClient->SetHelpContext(value);
}
void TBarCustomItemActionLink::SetHint(const std::string& value) {
    if (IsHintLinked()) FClient->SetHint(value);
}
void TBarCustomItemActionLink::SetImageIndex(int value) {
    if (IsImageIndexLinked()) FClient->SetImageIndex(value);
}
void TBarCustomItemActionLink::SetShortCut(gcl::TShortCut value) {
    if (IsShortCutLinked()) FClient->SetShortCut(value);
}
void TBarCustomItemActionLink::SetVisible(bool value) {
    if (IsVisibleLinked()) FClient->SetVisible(value);
}
void TBarCustomItemActionLink::SetOnExecute(gcl::TNotifyEvent value) {
    if (IsOnExecuteLinked()) FClient->OnClick = value;
}

// ---- TBarCustomItem: life ----------------------------------------------------------

// A notification walk over one item; the item's destruction marks it dead
// so the walk stops before touching the freed item.
struct TBarCustomItem::TNotifyWalk {
    explicit TNotifyWalk(TBarCustomItem* item) : Item(item), Next(item->FNotifyWalks) { item->FNotifyWalks = this; }
    ~TNotifyWalk() {
        if (Dead) return;
        for (TNotifyWalk** p = &Item->FNotifyWalks; *p; p = &(*p)->Next)
            if (*p == this) {
                *p = Next;
                break;
            }
    }
    TNotifyWalk(const TNotifyWalk&) = delete;
    TNotifyWalk& operator=(const TNotifyWalk&) = delete;

    TBarCustomItem* Item;
    TNotifyWalk* Next;
    bool Dead = false;
};

GCL_IMPLEMENT_CLASS(TBarCustomItem)

TBarCustomItem::TBarCustomItem(TComponent* AOwner) : TComponent(AOwner) { CountLiveObject(+1); }

TBarCustomItem::~TBarCustomItem() {
    delete FImagesChangeLink;
    delete FSubMenuImagesChangeLink;
    CountLiveObject(-1);
}

void TBarCustomItem::BeforeDestruction() noexcept {
    Destroying();
    CancelDeferredClicks(this);
    // Each sub-item leaves this list in its own destruction.
    while (!FItems.empty()) {
        TBarCustomItem* child = FItems.back();
        child->Free();
        if (!FItems.empty() && FItems.back() == child) FItems.pop_back();
    }
    if (FParent) {
        try {
            FParent->Remove(this);
        } catch (...) {
        }
        if (FParent) {
            auto& siblings = FParent->FItems;
            siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
            FParent = nullptr;
        }
    }
    FreeActionLink();
    if (FImages && FImagesChangeLink) FImages->UnRegisterChanges(FImagesChangeLink);
    if (FSubMenuImages && FSubMenuImagesChangeLink) FSubMenuImages->UnRegisterChanges(FSubMenuImagesChangeLink);
    if (FLinkSubitems) {
        auto& links = FLinkSubitems->FLinkingItems;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
    }
    for (TNotifyWalk* walk = FNotifyWalks; walk; walk = walk->Next) walk->Dead = true;
    FNotifyWalks = nullptr;
    inherited::BeforeDestruction();
    FChangeHandlers.clear();
    FLinkingItems.clear();
}

// ---- Sub-items ------------------------------------------------------------------------

TBarCustomItem* TBarCustomItem::GetItem(int Index) const {
    if (Index < 0 || Index >= GetCount()) throw EBarItemError(SItemIndexError);
    return FItems[static_cast<size_t>(Index)];
}

void TBarCustomItem::Insert(int NewIndex, TBarCustomItem* AItem) {
    if (AItem->FParent) throw EBarItemError(SItemReinsertError);
    // An item inside itself would make the tree a loop.
    for (TBarCustomItem* p = this; p; p = p->FParent)
        if (p == AItem) throw EBarItemError(SItemReinsertError);
    if (NewIndex < 0 || NewIndex > GetCount()) throw EBarItemError(SItemIndexError);
    FItems.insert(FItems.begin() + NewIndex, AItem);
    AItem->FParent = this;
    Notify(tbicSubitemsBeginUpdate, -1, nullptr);
    Notify(tbicInserted, NewIndex, AItem);
    AItem->UpdateEffectiveOptions();
    Notify(tbicSubitemsEndUpdate, -1, nullptr);
}

void TBarCustomItem::Delete(int Index) {
    if (Index < 0 || Index >= GetCount()) throw EBarItemError(SItemIndexError);
    TBarCustomItem* item = FItems[static_cast<size_t>(Index)];
    Notify(tbicDeleting, Index, item);
    // A handler may have moved things about: take out the item itself.
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end()) return;
    item->FParent = nullptr;
    FItems.erase(it);
}

int TBarCustomItem::IndexOf(const TBarCustomItem* AItem) const noexcept {
    auto it = std::find(FItems.begin(), FItems.end(), AItem);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TBarCustomItem::Remove(TBarCustomItem* AItem) {
    int i = IndexOf(AItem);
    if (i >= 0) Delete(i);
}

void TBarCustomItem::Clear() {
    while (!FItems.empty()) {
        TBarCustomItem* child = FItems.back();
        child->Free();
        if (!FItems.empty() && FItems.back() == child) FItems.pop_back();
    }
}

void TBarCustomItem::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    if (NewIndex < 0 || NewIndex >= GetCount()) throw EBarItemError(SItemIndexError);
    TBarCustomItem* item = GetItem(CurIndex);
    Notify(tbicSubitemsBeginUpdate, -1, nullptr);
    try {
        Delete(CurIndex);
        Insert(NewIndex, item);
    } catch (...) {
        Notify(tbicSubitemsEndUpdate, -1, nullptr);
        throw;
    }
    Notify(tbicSubitemsEndUpdate, -1, nullptr);
}

void TBarCustomItem::BeginSubitemsUpdate() { Notify(tbicSubitemsBeginUpdate, -1, nullptr); }
void TBarCustomItem::EndSubitemsUpdate() { Notify(tbicSubitemsEndUpdate, -1, nullptr); }

// ---- Notifications -------------------------------------------------------------------

void TBarCustomItem::RegisterNotification(TBarItemChangeHandler Handler) {
    for (THandlerRec& rec : FChangeHandlers)
        if (rec.Handler == Handler) {
            ++rec.RefCount;
            return;
        }
    FChangeHandlers.push_back({Handler, 1});
}

void TBarCustomItem::UnregisterNotification(TBarItemChangeHandler Handler) {
    for (size_t i = 0; i < FChangeHandlers.size(); ++i)
        if (FChangeHandlers[i].Handler == Handler) {
            if (--FChangeHandlers[i].RefCount <= 0) FChangeHandlers.erase(FChangeHandlers.begin() + long(i));
            return;
        }
}

void TBarCustomItem::Notify(TBarItemChangedAction Action, int Index, TBarCustomItem* Item) {
    RelayNotify(this, 0, Action, Index, Item);
}

void TBarCustomItem::RelayNotify(TBarCustomItem* Ancestor, int NestingLevel, TBarItemChangedAction Action,
                                 int Index, TBarCustomItem* Item) {
    TNotifyWalk walk(this);
    // Embedded groups and linking items pass the news to the items that
    // show them; the nesting bound also stops link cycles.
    if (NestingLevel < 11) {
        if (HasStyle(tbisEmbeddedGroup) && FParent) {
            FParent->RelayNotify(Ancestor != this ? Ancestor : this, NestingLevel + 1, Action, Index, Item);
            if (walk.Dead) return;
        }
        std::vector<TBarCustomItem*> links = FLinkingItems;
        for (TBarCustomItem* link : links) {
            if (link == FParent || std::find(FLinkingItems.begin(), FLinkingItems.end(), link) == FLinkingItems.end())
                continue;
            link->RelayNotify(Ancestor != this ? Ancestor : link, NestingLevel + 1, Action, Index, Item);
            if (walk.Dead) return;
        }
    }
    const bool relayed = Ancestor != this;
    size_t i = 0;
    while (i < FChangeHandlers.size()) {
        TBarItemChangeHandler handler = FChangeHandlers[i].Handler;
        handler(Ancestor, relayed, Action, Index, Item);
        if (walk.Dead) return;
        // A handler that unregistered itself leaves the next one at i.
        if (i < FChangeHandlers.size() && FChangeHandlers[i].Handler == handler) ++i;
    }
}

void TBarCustomItem::Changed(bool NeedResize) {
    if (FParent) FParent->Notify(NeedResize ? tbicInvalidateAndResize : tbicInvalidate, -1, this);
}

void TBarCustomItem::SetName(const std::string& Value) {
    if (Value == GetName()) return;
    inherited::SetName(Value);
    if (FParent) FParent->Notify(tbicNameChanged, -1, this);
}

// ---- Properties -------------------------------------------------------------------------

gcl::TBasicAction* TBarCustomItem::GetAction() const noexcept {
    return FActionLink ? FActionLink->GetAction() : nullptr;
}

void TBarCustomItem::SetAction(gcl::TBasicAction* Value) {
    if (!Value) {
        FreeActionLink();
        return;
    }
    if (FActionLink && FActionLink->GetAction() == Value) return;
    if (!FActionLink) {
        gcl::TBasicActionLink* link = GetActionLinkClass()->Create(this);
        FActionLink = dynamic_cast<TBarCustomItemActionLink*>(link);
        if (!FActionLink) {
            delete link;
            throw gcl::EInvalidCast(gcl::msg::InvalidCast);
        }
        FActionLink->OnChange = gcl::TNotifyEvent(this, &TBarCustomItem::DoActionChange);
    }
    FActionLink->SetAction(Value);
    const bool loading = Value->GetComponentState().Contains(gcl::csLoading) ||
                         GetComponentState().Contains(gcl::csLoading);
    ActionChange(Value, loading);
    Value->FreeNotification(this);
}

void TBarCustomItem::FreeActionLink() noexcept {
    delete FActionLink;
    FActionLink = nullptr;
}

void TBarCustomItem::DoActionChange(TObject* Sender) {
    if (FActionLink && Sender == FActionLink->GetAction()) ActionChange(Sender, false);
}

gcl::TBasicActionLinkClass TBarCustomItem::GetActionLinkClass() { return TBarCustomItemActionLink::StaticClass(); }

void TBarCustomItem::ActionChange(TObject* Sender, bool CheckDefaults) {
    auto* action = dynamic_cast<gcl::TCustomAction*>(Sender);
    if (!action) return;
    if (!CheckDefaults || !FAutoCheck) SetAutoCheck(action->GetAutoCheck());
    if (!CheckDefaults || FCaption.empty()) SetCaption(action->GetCaption());
    if (!CheckDefaults || !FChecked) SetChecked(action->GetChecked());
    if (!CheckDefaults || FEnabled) SetEnabled(action->GetEnabled());
    if (!CheckDefaults || FHelpContext == 0) SetHelpContext(action->GetHelpContext());
    if (!CheckDefaults || FHint.empty()) SetHint(action->GetHint());
    if (!CheckDefaults || FImageIndex == -1) SetImageIndex(action->GetImageIndex());
    if (!CheckDefaults || FShortCut == 0) SetShortCut(action->GetShortCut());
    if (!CheckDefaults || FVisible) SetVisible(action->GetVisible());
    if (!CheckDefaults || !OnClick) OnClick = action->OnExecute;
}

void TBarCustomItem::Loaded() {
    inherited::Loaded();
    if (GetAction()) ActionChange(GetAction(), true);
}

void TBarCustomItem::InitiateAction() {
    if (FActionLink) FActionLink->Update();
}

void TBarCustomItem::SetAutoCheck(bool Value) { FAutoCheck = Value; }

void TBarCustomItem::SetCaption(const std::string& Value) { StoreAndChange(FCaption, Value, true); }

void TBarCustomItem::SetChecked(bool Value) {
    if (Value == FChecked) return;
    FChecked = Value;
    Changed(false);
    if (Value) UncheckRadioGroup();
}

void TBarCustomItem::SetDisplayMode(TBarItemDisplayMode Value) { StoreAndChange(FDisplayMode, Value, true); }

void TBarCustomItem::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    EnabledChanged();
}

void TBarCustomItem::EnabledChanged() { Changed(false); }

void TBarCustomItem::SetGroupIndex(int Value) {
    if (Value == FGroupIndex) return;
    FGroupIndex = Value;
    if (FChecked) UncheckRadioGroup();
}

void TBarCustomItem::SetHelpContext(int Value) { FHelpContext = Value; }

void TBarCustomItem::SetHint(const std::string& Value) { FHint = Value; }

void TBarCustomItem::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    const bool needResize = (FImageIndex < 0) != (Value < 0);
    FImageIndex = Value;
    Changed(needResize);
}

void TBarCustomItem::SetRadioItem(bool Value) { StoreAndChange(FRadioItem, Value, false); }

void TBarCustomItem::SetShortCut(gcl::TShortCut Value) { FShortCut = Value; }

void TBarCustomItem::SetVisible(bool Value) { StoreAndChange(FVisible, Value, true); }

void TBarCustomItem::UncheckRadioGroup() {
    if (FGroupIndex == 0 || !FParent) return;
    std::vector<TBarCustomItem*> siblings = FParent->FItems;
    for (TBarCustomItem* sibling : siblings)
        if (sibling != this && sibling->FGroupIndex == FGroupIndex && FParent &&
            FParent->IndexOf(sibling) >= 0)
            sibling->SetChecked(false);
}

namespace {

TBarItemOptions CleanOptions(TBarItemOptions value) {
    if (!value.Contains(tboToolbarStyle)) value.Exclude(tboToolbarSize);
    return value;
}

// Options whose change alters the size of the item.
constexpr uint32_t ResizingOptionsMask = 0x367;

} // namespace

void TBarCustomItem::SetOptions(TBarItemOptions Value) {
    Value = CleanOptions(Value);
    if (Value == FOptions) return;
    FOptions = Value;
    UpdateEffectiveOptions();
}

void TBarCustomItem::SetMaskOptions(TBarItemOptions Value) {
    if (Value == FMaskOptions) return;
    FMaskOptions = Value;
    UpdateEffectiveOptions();
}

void TBarCustomItem::SetInheritOptions(bool Value) {
    if (Value == FInheritOptions) return;
    FInheritOptions = Value;
    UpdateEffectiveOptions();
}

void TBarCustomItem::UpdateEffectiveOptions() {
    TBarItemOptions inheritedOptions;
    if (FInheritOptions && FParent) inheritedOptions = FParent->FEffectiveOptions - TBarItemOptions{tboDefault};
    TBarItemOptions value = CleanOptions((inheritedOptions - FMaskOptions) | FOptions);
    if (value == FEffectiveOptions) return;
    const uint32_t changed = value.Mask() ^ FEffectiveOptions.Mask();
    FEffectiveOptions = value;
    if (changed & ResizingOptionsMask) Changed(true);
    std::vector<TBarCustomItem*> items = FItems;
    for (TBarCustomItem* item : items)
        if (item->FInheritOptions && IndexOf(item) >= 0) item->UpdateEffectiveOptions();
}

void TBarCustomItem::SetLinkSubitems(TBarCustomItem* Value) {
    if (Value == this) Value = nullptr;
    if (Value == FLinkSubitems) return;
    if (FLinkSubitems) {
        auto& links = FLinkSubitems->FLinkingItems;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
        FLinkSubitems->RemoveFreeNotification(this);
    }
    FLinkSubitems = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->FLinkingItems.push_back(this);
    }
    Notify(tbicSubitemsChanged, -1, nullptr);
}

void TBarCustomItem::SetImagesLink(gcl::TCustomImageList*& Field, TBarImageChangeLink*& Link,
                                   gcl::TCustomImageList* Value, void (TBarCustomItem::*OnChange)(TObject*),
                                   bool& NeedResize) {
    gcl::TCustomImageList* old = Field;
    NeedResize = (old == nullptr) != (Value == nullptr) ||
                 (old && Value && (old->GetWidth() != Value->GetWidth() || old->GetHeight() != Value->GetHeight()));
    if (old && Link) old->UnRegisterChanges(Link);
    Field = Value;
    if (!Value) {
        delete Link;
        Link = nullptr;
        return;
    }
    if (!Link) {
        Link = new TBarImageChangeLink;
        Link->OnChange = gcl::TNotifyEvent(this, OnChange);
    }
    Link->SeenWidth = Value->GetWidth();
    Link->SeenHeight = Value->GetHeight();
    Value->RegisterChanges(Link);
    Value->FreeNotification(this);
}

void TBarCustomItem::SetImages(gcl::TCustomImageList* Value) {
    if (Value == FImages) return;
    bool needResize = false;
    SetImagesLink(FImages, FImagesChangeLink, Value, &TBarCustomItem::ImageListChanged, needResize);
    Changed(needResize);
}

void TBarCustomItem::SetSubMenuImages(gcl::TCustomImageList* Value) {
    if (Value == FSubMenuImages) return;
    bool needResize = false;
    SetImagesLink(FSubMenuImages, FSubMenuImagesChangeLink, Value, &TBarCustomItem::SubMenuImageListChanged,
                  needResize);
    Notify(tbicSubMenuImagesChanged, -1, nullptr);
}

void TBarCustomItem::ImageListChanged(TObject*) {
    if (!FImages || !FImagesChangeLink) return;
    if (FImages->GetWidth() != FImagesChangeLink->SeenWidth || FImages->GetHeight() != FImagesChangeLink->SeenHeight) {
        FImagesChangeLink->SeenWidth = FImages->GetWidth();
        FImagesChangeLink->SeenHeight = FImages->GetHeight();
        Changed(true);
    } else {
        Changed(false);
    }
}

void TBarCustomItem::SubMenuImageListChanged(TObject*) {
    if (!FSubMenuImages || !FSubMenuImagesChangeLink) return;
    FSubMenuImagesChangeLink->SeenWidth = FSubMenuImages->GetWidth();
    FSubMenuImagesChangeLink->SeenHeight = FSubMenuImages->GetHeight();
    Notify(tbicSubMenuImagesChanged, -1, nullptr);
}

void TBarCustomItem::Notification(TComponent* AComponent, gcl::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation != gcl::opRemove) return;
    if (FActionLink && AComponent == FActionLink->GetAction()) SetAction(nullptr);
    if (AComponent == FImages) SetImages(nullptr);
    if (AComponent == FSubMenuImages) SetSubMenuImages(nullptr);
    if (AComponent == FLinkSubitems) SetLinkSubitems(nullptr);
    FLinkingItems.erase(std::remove(FLinkingItems.begin(), FLinkingItems.end(), AComponent), FLinkingItems.end());
}

gcl::TComponent* TBarCustomItem::GetParentComponent() const {
    return FParentComponent ? FParentComponent : FParent;
}

void TBarCustomItem::SetParentComponent(gcl::TComponent* Value) {
    if (FParent) FParent->Remove(this);
    if (!Value) return;
    if (auto* item = dynamic_cast<TBarCustomItem*>(Value)) item->Add(this);
    else if (auto* container = dynamic_cast<IBarItemContainer*>(Value))
        if (TBarCustomItem* root = container->GetItems()) root->Add(this);
}

bool TBarCustomItem::IsAutoCheckStored() const { return !IsActionLinked(&gcl::TActionLink::IsAutoCheckLinked); }
bool TBarCustomItem::IsCaptionStored() const { return !IsActionLinked(&gcl::TActionLink::IsCaptionLinked); }
bool TBarCustomItem::IsCheckedStored() const { return !IsActionLinked(&gcl::TActionLink::IsCheckedLinked); }
bool TBarCustomItem::IsEnabledStored() const { return !IsActionLinked(&gcl::TActionLink::IsEnabledLinked); }
bool TBarCustomItem::IsHelpContextStored() const {
    return !IsActionLinked(&gcl::TActionLink::IsHelpContextLinked);
}
bool TBarCustomItem::IsHintStored() const { return !IsActionLinked(&gcl::TActionLink::IsHintLinked); }
bool TBarCustomItem::IsImageIndexStored() const { return !IsActionLinked(&gcl::TActionLink::IsImageIndexLinked); }
bool TBarCustomItem::IsShortCutStored() const { return !IsActionLinked(&gcl::TActionLink::IsShortCutLinked); }
bool TBarCustomItem::IsVisibleStored() const { return !IsActionLinked(&gcl::TActionLink::IsVisibleLinked); }
bool TBarCustomItem::IsOnClickStored() const { return !FActionLink || !FActionLink->IsOnExecuteLinked(); }

void TBarCustomItem::GetChildren(gcl::TGetChildProc Proc, gcl::TComponent* Root) {
    std::vector<TBarCustomItem*> items = FItems;
    for (TBarCustomItem* item : items)
        if (item->GetOwner() == Root) Proc(item);
}

// ---- Clicks and shortcuts ---------------------------------------------------------------

bool TBarCustomItem::IsActionLinked(bool (gcl::TActionLink::*Test)()) const {
    return FActionLink && (FActionLink->*Test)();
}

void TBarCustomItem::Click() {
    if (!FEnabled) return;
    if (FAutoCheck && !IsActionLinked(&gcl::TActionLink::IsAutoCheckLinked)) SetChecked(!FChecked);
    gcl::TBasicAction* action = GetAction();
    if (OnClick && action && !(OnClick == action->OnExecute)) {
        OnClick(this);
    } else if (!GetComponentState().Contains(gcl::csDesigning) && FActionLink) {
        FActionLink->Execute(this);
    } else if (OnClick) {
        OnClick(this);
    }
}

void TBarCustomItem::DoPopup(TBarCustomItem* Sender, bool FromLink) {
    if (OnPopup) OnPopup(Sender, FromLink);
    if (!HasStyle(tbisCombo)) Click();
}

std::string TBarCustomItem::GetShortCutText() const {
    size_t tab = FCaption.find('\t');
    if (tab != std::string::npos && tab + 1 < FCaption.size()) return FCaption.substr(tab + 1);
    if (FShortCut != 0) return gcl::ShortCutToText(FShortCut);
    return "";
}

namespace {

// Looks for the item with ShortCut among the effective sub-items of Root,
// depth first; Path receives the child of Root on the way to it.
TBarCustomItem* FindShortCut(TBarCustomItem* Root, gcl::TShortCut ShortCut, TBarCustomItem*& Path, int Level) {
    if (Level > 25) return nullptr;
    TBarCustomItem* source = Root->SubitemsSource();
    const int level = source != Root ? Level + 1 : Level;
    if (level > 25) return nullptr;
    for (int i = 0; i < source->GetCount(); ++i) {
        TBarCustomItem* child = source->GetItem(i);
        if (child->GetShortCut() == ShortCut) {
            Path = child;
            return child;
        }
        TBarCustomItem* below = nullptr;
        if (TBarCustomItem* found = FindShortCut(child, ShortCut, below, level + 1)) {
            Path = child;
            return found;
        }
    }
    return nullptr;
}

} // namespace

bool TBarCustomItem::HandleShortCutKey(gcl::TWMKey& Message) {
    const gcl::TShortCut shortCut = gcl::ShortCutFromMessage(Message);
    if (shortCut == 0) return false;
    // Popup handlers may rebuild menus on the way down; the walk then starts
    // again from the top. Each level's popup handlers run once per key, so
    // a handler that builds fresh items every time it runs ends the walk
    // too (the bound is a last safety net).
    std::vector<TBarCustomItem*> poppedUp;
    for (int restarts = 0; restarts < 64; ++restarts) {
        TBarCustomItem* path = nullptr;
        TBarCustomItem* found = FindShortCut(this, shortCut, path, 0);
        if (!found) return false;
        TBarCustomItem* level = this;
        for (;;) {
            if (!level->GetEnabled()) return false;
            TBarCustomItem* source = level->SubitemsSource();
            if (!level->GetComponentState().Contains(gcl::csDesigning)) {
                std::vector<TBarCustomItem*> items = source->FItems;
                for (TBarCustomItem* item : items)
                    if (source->IndexOf(item) >= 0) item->InitiateAction();
            }
            if (!level->HasStyle(tbisEmbeddedGroup) &&
                std::find(poppedUp.begin(), poppedUp.end(), level) == poppedUp.end()) {
                poppedUp.push_back(level);
                if (source != level) source->DoPopup(level, true);
                level->DoPopup(level, false);
            }
            TBarCustomItem* next = nullptr;
            if (FindShortCut(level, shortCut, next, 0) != found) break;   // rebuilt: start again
            if (next == found) {
                if (!found->GetEnabled()) return false;
                found->Click();
                return true;
            }
            level = next;
        }
    }
    return false;
}

// ---- Popup placement -----------------------------------------------------------------

namespace {

bool RectsOverlap(const gcl::TRect& a, const gcl::TRect& b) {
    gcl::TRect r;
    return gcl::IntersectRect(r, a, b);
}

// How many of the parent view's shown viewers lie wholly inside a popup
// placed at (X, Y).
int CoveredViewers(TBarView* parentView, int x, int y, int w, int h) {
    if (!parentView || !parentView->GetWindow() || !parentView->GetWindow()->HandleAllocated()) return 0;
    HWND wnd = parentView->GetWindow()->GetHandle();
    const gcl::TRect popup{x, y, x + w, y + h};
    int count = 0;
    for (int i = 0; i < parentView->GetViewerCount(); ++i) {
        TBarItemViewer* v = parentView->GetViewers(i);
        if (!v->Show) continue;
        POINT pts[2] = {{v->BoundsRect.Left, v->BoundsRect.Top}, {v->BoundsRect.Right, v->BoundsRect.Bottom}};
        MapWindowPoints(wnd, nullptr, pts, 2);
        if (pts[0].x >= popup.Left && pts[0].y >= popup.Top && pts[1].x <= popup.Right && pts[1].y <= popup.Bottom)
            ++count;
    }
    return count;
}

} // namespace

void AdjustPopupPosition(TBarView* ParentView, TBarPopupPositionRec& R) {
    const gcl::TRect& mon = R.MonitorRect;
    const gcl::TRect& pr = R.ParentItemRect;
    const bool parentVertical = ParentView && ParentView->GetOrientation() == tbvoVertical;

    // 1. Vertically: flip above when it would pass the monitor's bottom.
    if (R.Y + R.H > mon.Bottom && !parentVertical) {
        int y = (R.PositionAsSubmenu ? pr.Bottom + R.NCSizeY : pr.Top) - R.H;
        if (y >= mon.Top) R.Y = y;
    }
    if (R.Y + R.H > mon.Bottom) R.Y = mon.Bottom - R.H;
    if (R.Y < mon.Top) R.Y = mon.Top;

    if (R.PositionAsSubmenu) {
        // 2. Beside the parent item, on the other side when needed.
        for (;;) {
            if (!R.Opposite && R.X + R.W <= mon.Right) break;
            int x = (ParentView ? pr.Left + R.NCSizeX : R.X) - R.W;
            if (R.Opposite && x < mon.Left) {
                R.Opposite = false;
                continue;
            }
            R.Opposite = true;
            R.X = x;
            break;
        }
        if (R.X < mon.Left) R.X = mon.Left;
    } else {
        // 3. At a point or below a bar.
        if (!ParentView && R.Alignment == tbpaRight && R.X < mon.Left) R.X += R.W;
        if (R.X + R.W > mon.Right) R.X = (ParentView || R.Alignment != tbpaLeft) ? mon.Right - R.W : R.X - R.W;
        if (R.X < mon.Left) R.X = mon.Left;

        const gcl::TRect current{R.X, R.Y, R.X + R.W, R.Y + R.H};
        if (parentVertical) {
            // 4. Beside a vertical bar rather than over it.
            if (pr.Right + R.W <= mon.Right) {
                int there = CoveredViewers(ParentView, pr.Right, R.Y, R.W, R.H);
                int here = CoveredViewers(ParentView, R.X, R.Y, R.W, R.H);
                if (there < here || RectsOverlap(current, pr)) R.X = pr.Right;
            }
            if (RectsOverlap(gcl::TRect{R.X, R.Y, R.X + R.W, R.Y + R.H}, pr)) {
                R.Y = pr.Bottom + R.H > mon.Bottom ? pr.Top - R.H : pr.Bottom;
                if (R.Y < mon.Top) R.Y = mon.Top;
            }
        } else {
            // 5. Above a horizontal bar when the popup would cover fewer of its
            // items there, then beside the item when it still covers it.
            int y = pr.Top - R.H;
            if (y >= mon.Top) {
                int there = CoveredViewers(ParentView, R.X, y, R.W, R.H);
                int here = CoveredViewers(ParentView, R.X, R.Y, R.W, R.H);
                if (there < here || RectsOverlap(current, pr)) R.Y = y;
            }
            if (RectsOverlap(gcl::TRect{R.X, R.Y, R.X + R.W, R.Y + R.H}, pr)) {
                R.X = pr.Right + R.W > mon.Right ? pr.Left - R.W : pr.Right;
                if (R.X < mon.Left) R.X = mon.Left;
            }
        }
    }

    // 6. The direction the popup unfolds in.
    if (R.PositionAsSubmenu) {
        R.AnimDir = (R.X + R.W / 2 < pr.Left + (pr.Right - pr.Left) / 2) ? tbadLeftward : tbadRightward;
    } else {
        R.AnimDir = 0;
        if (R.Y >= pr.Bottom) R.AnimDir |= tbadDownward;
        else if (R.Y + R.H <= pr.Top) R.AnimDir |= tbadUpward;
        if (R.X + R.W <= pr.Left) R.AnimDir |= tbadLeftward;
        else if (R.X >= pr.Right) R.AnimDir |= tbadRightward;
    }
}

void TBarCustomItem::GetPopupPosition(TBarView* ParentView, TBarPopupWindow*, TBarPopupPositionRec& Rec) {
    AdjustPopupPosition(ParentView, Rec);
}

TBarItemViewerClass TBarCustomItem::GetItemViewerClass(TBarView*) { return TBarItemViewer::StaticClass(); }

// ---- The end of a menu ------------------------------------------------------------------

TBarCustomItem* ProcessDoneAction(const TBarDoneActionData& Data, bool ReturnClickedItemOnly) {
    switch (Data.DoneAction) {
    case tbdaClickItem:
        if (Data.Sound && SoundSchemeHasEvent("MenuCommand"))
            PlaySoundA("MenuCommand", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_NOSTOP);
        if (!ReturnClickedItemOnly && Data.ClickItem) PostDeferredClick(Data.ClickItem, 0);
        return Data.ClickItem;
    case tbdaOpenSystemMenu:
        SendMessageA(Data.Wnd, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(Data.Key));
        return nullptr;
    case tbdaHelpContext:
        if (gcl::Application) {
            gcl::TCustomForm* form = gcl::Screen ? gcl::Screen->GetActiveForm() : nullptr;
            if (form && form->GetBorderIcons().Contains(gcl::biHelp))
                gcl::Application->HelpCommand(HELP_CONTEXTPOPUP, Data.HelpContext);
            else
                gcl::Application->HelpContext(Data.HelpContext);
        }
        return nullptr;
    default:
        return nullptr;
    }
}

// ---- Descendants ----------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TBarRootItem)

GCL_PUBLISHED(TBarGroupItem,
    GCL_PROP(InheritOptions).Default(true),
    GCL_PROP(LinkSubitems),
    GCL_PROP(MaskOptions).Default(TBarItemOptions{}),
    GCL_PROP(Options).Default(TBarItemOptions{}))

GCL_PUBLISHED(TBarSeparatorItem,
    GCL_PROP(Blank).Default(false),
    GCL_PROP(Hint).StoredBy<&TBarCustomItem::IsHintStored>(),
    GCL_PROP(Visible).Default(true).StoredBy<&TBarCustomItem::IsVisibleStored>())

GCL_PUBLISHED(TBarControlItem,
    GCL_PROP(Control))

TBarGroupItem::TBarGroupItem(TComponent* AOwner) : TBarCustomItem(AOwner) {
    SetItemStyle(GetItemStyle() | tbisEmbeddedGroup | tbisSubitemsEditable);
}

TBarSeparatorItem::TBarSeparatorItem(TComponent* AOwner) : TBarCustomItem(AOwner) {
    SetItemStyle(static_cast<TBarItemStyle>(
        (GetItemStyle() & ~(tbisSelectable | tbisRedrawOnSelChange | tbisRedrawOnMouseOverChange)) | tbisSeparator |
        tbisClicksTransparent));
}

void TBarSeparatorItem::SetBlank(bool Value) { StoreAndChange(FBlank, Value, false); }

TBarItemViewerClass TBarSeparatorItem::GetItemViewerClass(TBarView*) {
    return TBarSeparatorItemViewer::StaticClass();
}

TBarControlItem::TBarControlItem(TComponent* AOwner) : TBarCustomItem(AOwner) {
    SetItemStyle(static_cast<TBarItemStyle>((GetItemStyle() & ~tbisSelectable) | tbisClicksTransparent));
}

TBarControlItem* TBarControlItem::CreateControlItem(TComponent* AOwner, gcl::TControl* AControl) {
    TBarControlItem* item = Create(AOwner);
    item->SetControl(AControl);
    return item;
}

void TBarControlItem::SetControl(gcl::TControl* Value) {
    if (Value == FControl.Get()) return;
    FControl = Value;
    if (Value) Value->FreeNotification(this);
    Changed(true);
}

void TBarControlItem::Notification(TComponent* AComponent, gcl::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == gcl::opRemove && AComponent == FControl.Get()) SetControl(nullptr);
}

void TBarControlItem::BeforeDestruction() noexcept {
    inherited::BeforeDestruction();
    gcl::TControl* control = FControl.Get();
    if (control && !FKeepControl && !control->GetComponentState().Contains(gcl::csAncestor)) {
        FControl = nullptr;
        control->Free();
    }
}

} // namespace qelvo
