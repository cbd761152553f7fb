#include "gcl/rtl/Components.h"

#include <algorithm>
#include <cstdio>

#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/TypInfo.h"

namespace gcl {

namespace {

template <class T>
void EraseOne(std::vector<T*>& list, const T* item) noexcept {
    auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end()) list.erase(it);
}

[[noreturn]] void RaiseComponentError(const char* format, const std::string& name) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, name.c_str());
    throw EComponentError(buffer);
}

} // namespace

TComponentClass AsComponentClass(TClass cls) {
    if (!cls || !cls->InheritsFrom(TComponent::StaticClass())) throw EInvalidCast(msg::InvalidCast);
    return static_cast<TComponentClass>(cls);
}

bool IsValidIdent(const std::string& name) noexcept {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
    return std::all_of(name.begin(), name.end(), [](char c) { return detail::IsNameChar(c); });
}

// ---- TComponentRefBase -------------------------------------------------

TComponentRefBase::~TComponentRefBase() { Detach(); }

void TComponentRefBase::Attach(TComponent* component) {
    if (component == FComponent) return;
    if (component) component->FRefs.push_back(this);
    Detach();
    FComponent = component;
}

void TComponentRefBase::Detach() noexcept {
    if (FComponent) EraseOne(FComponent->FRefs, this);
    FComponent = nullptr;
}

// ---- TComponent --------------------------------------------------------

GCL_PUBLISHED(TComponent,
    GCL_PROP(Name).Stored(false),
    GCL_PROP(Tag).Default(0))

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
    TFormLoadScope::ComponentCreated(this);
}

// Normally everything is undone by BeforeDestruction already. This covers
// a component whose construction failed or whose override skipped the
// inherited call: no notifications, only unlinking.
TComponent::~TComponent() {
    while (!FComponents.empty()) FComponents.back()->Free();
    for (TComponentRefBase* ref : FRefs) ref->FComponent = nullptr;
    FRefs.clear();
    Unlink();
    if (FOwner) FOwner->Remove(this);
}

void TComponent::BeforeDestruction() noexcept {
    Destroying();
    DestroyComponents();
    for (TComponentRefBase* ref : FRefs) ref->FComponent = nullptr;
    FRefs.clear();
    const std::vector<TComponent*> subscribers = FFreeNotifies;
    for (TComponent* c : subscribers) {
        if (!Contains(FFreeNotifies, c)) continue;  // left meanwhile
        RemoveFreeNotification(c);
        c->Notification(this, opRemove);
    }
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::Unlink() noexcept {
    for (TComponent* c : FFreeNotifies) EraseOne(c->FFreeNotifies, this);
    FFreeNotifies.clear();
}

TComponent* TComponent::GetComponents(int index) const {
    if (index < 0 || index >= GetComponentCount()) {
        char buffer[128];
        std::snprintf(buffer, sizeof buffer, msg::ListIndexError, index);
        throw EListError(buffer);
    }
    return FComponents[index];
}

int TComponent::GetComponentIndex() const noexcept {
    if (!FOwner) return -1;
    auto& list = FOwner->FComponents;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TComponent::SetComponentIndex(int value) {
    if (!FOwner) return;
    auto& list = FOwner->FComponents;
    int current = GetComponentIndex();
    value = std::clamp(value, 0, static_cast<int>(list.size()) - 1);
    if (value == current) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + value, this);
}

void TComponent::Insert(TComponent* component) {
    FComponents.push_back(component);
    component->FOwner = this;
}

void TComponent::Remove(TComponent* component) noexcept {
    EraseOne(FComponents, component);
    ++FRemovals;
    component->FOwner = nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->FOwner == this) return;
    ValidateRename(component, "", component->FName);
    if (component->FOwner) component->FOwner->RemoveComponent(component);
    Insert(component);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (!component || component->FOwner != this) return;
    Notification(component, opRemove);
    // The notification may have freed the component, so look it up by
    // address only.
    auto it = std::find(FComponents.begin(), FComponents.end(), component);
    if (it != FComponents.end()) Remove(component);
}

void TComponent::DestroyComponents() noexcept {
    // Each component leaves the list in its own BeforeDestruction (or, at
    // the latest, in its destructor).
    while (!FComponents.empty()) FComponents.back()->Free();
}

TComponent* TComponent::FindComponent(const std::string& name) const noexcept {
    if (name.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (detail::SameIdent(c->FName, name)) return c;
    return nullptr;
}

void TComponent::SetName(const std::string& value) {
    if (FName == value) return;
    if (!value.empty() && !IsValidIdent(value)) RaiseComponentError(msg::InvalidName, value);
    if (FOwner)
        FOwner->ValidateRename(this, FName, value);
    else
        ValidateRename(nullptr, FName, value);
    FName = value;
}

void TComponent::ValidateRename(TComponent* component, const std::string& curName,
                                const std::string& newName) {
    if (!component || newName.empty()) return;
    if (component->FOwner == this && detail::SameIdent(curName, newName)) return;  // case only
    TComponent* other = FindComponent(newName);
    if (other && other != component) RaiseComponentError(msg::DuplicateName, newName);
}

void TComponent::SetSubComponent(bool value) noexcept {
    if (value)
        FComponentStyle.Include(csSubComponent);
    else
        FComponentStyle.Exclude(csSubComponent);
}

void TComponent::SetComponentStateItem(TComponentStateItem item, bool on) noexcept {
    if (on)
        FComponentState.Include(item);
    else
        FComponentState.Exclude(item);
}

void TComponent::Destroying() noexcept {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    // Components of the same owner hear of each other through the owner.
    if (FOwner && component->FOwner == FOwner) return;
    if (!Contains(FFreeNotifies, component)) FFreeNotifies.push_back(component);
    if (!Contains(component->FFreeNotifies, this)) component->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) noexcept {
    if (!component) return;
    EraseOne(FFreeNotifies, component);
    EraseOne(component->FFreeNotifies, this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component && Contains(FFreeNotifies, component))
        RemoveFreeNotification(component);
    NotifyAll(component, operation);
}

// Passes a notification to the owned components, last first. A snapshot
// is walked; one that left the list meanwhile (perhaps freed) is skipped.
void TComponent::NotifyAll(TComponent* component, TOperation operation) {
    if (FComponents.empty()) return;
    const std::vector<TComponent*> snapshot = FComponents;
    const uint32_t removals = FRemovals;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it)
        if (FRemovals == removals || Contains(FComponents, *it)) (*it)->Notification(component, operation);
}

void TComponent::GetChildren(TGetChildProc, TComponent*) {}

void TComponent::SetChildOrder(TComponent*, int) {}

void TComponent::Loading() { FComponentState.Include(csLoading); }

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

} // namespace gcl
