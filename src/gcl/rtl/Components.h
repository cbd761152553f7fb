// TComponent: named objects in an ownership tree, with free notification.
//
// An owner frees its components. A component is created with
// T::Create(Owner) (or through its metaclass, TComponentClass::Create) and
// destroyed only by Free(); its C++ destructor is protected. Free() runs
// BeforeDestruction() while the object is still complete:
//   1. csDestroying is set on it and all it owns (Destroying());
//   2. descendants run their own steps here (OnDestroy, windows), then
//      call inherited::BeforeDestruction();
//   3. the owned components are freed, last created first;
//   4. references (TComponentRef) are cleared, free-notification
//      subscribers get Notification(this, opRemove);
//   5. the component leaves its owner, which gets Notification(this,
//      opRemove) and passes it to its other components.
// Notification loops work on snapshots and skip components that left
// meanwhile, so a component may free itself inside Notification.
//
// A pointer to a component that may die first is held in a
// TComponentRef<T>, which becomes null when the component is freed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gcl/rtl/Events.h"
#include "gcl/rtl/Interfaces.h"
#include "gcl/rtl/Objects.h"
#include "gcl/rtl/Sets.h"

namespace gcl {

class TComponent;

GCL_ENUM(TComponentStateItem, csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor)
using TComponentState = TSet<TComponentStateItem>;

GCL_ENUM(TComponentStyleItem, csInheritable, csCheckPropAvail, csSubComponent, csTransient)
using TComponentStyle = TSet<TComponentStyleItem>;

GCL_ENUM(TOperation, opInsert, opRemove)

using TComponentMetaClass = TClassOf<TComponent, TMetaClass, TComponent*>;
// A class reference to a component class; Create(Owner) is its virtual
// constructor.
using TComponentClass = const TComponentMetaClass*;

using TGetChildProc = TEvent<void(TComponent* Child)>;

// The component class cls, or EInvalidCast when cls is not one.
TComponentClass AsComponentClass(TClass cls);

// True when name is a valid identifier: a letter or "_", then letters,
// digits and "_".
bool IsValidIdent(const std::string& name) noexcept;

// The untyped part of TComponentRef.
class TComponentRefBase {
public:
    TComponent* GetComponent() const noexcept { return FComponent; }

protected:
    TComponentRefBase() noexcept = default;
    ~TComponentRefBase();
    void Attach(TComponent* component);
    void Detach() noexcept;

private:
    friend class TComponent;
    TComponent* FComponent = nullptr;
};

// A pointer to a component that becomes null when the component is freed.
template <class T>
class TComponentRef : public TComponentRefBase {
public:
    TComponentRef() noexcept = default;
    TComponentRef(T* component) { Attach(component); }
    TComponentRef(const TComponentRef& other) : TComponentRefBase() { Attach(other.Get()); }
    ~TComponentRef() = default;
    TComponentRef& operator=(const TComponentRef& other) {
        Attach(other.Get());
        return *this;
    }
    TComponentRef& operator=(T* component) {
        Attach(component);
        return *this;
    }

    T* Get() const noexcept { return static_cast<T*>(GetComponent()); }
    T* operator->() const noexcept { return Get(); }
    operator T*() const noexcept { return Get(); }
    explicit operator bool() const noexcept { return Get() != nullptr; }
};

class TComponent : public TPersistent {
    GCL_CLASS_META(TComponent, TPersistent, TComponentMetaClass)
public:
    TComponent* GetOwner() const noexcept override { return FOwner; }
    int GetComponentCount() const noexcept { return static_cast<int>(FComponents.size()); }
    // The owned component at index (0-based); EListError when out of range.
    TComponent* GetComponents(int index) const;
    // The position in the owner's list, or -1 without owner.
    int GetComponentIndex() const noexcept;
    void SetComponentIndex(int value);

    // Takes ownership of component (which leaves its previous owner).
    // Raises EComponentError when its name is taken here.
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    // Frees the owned components, last first.
    void DestroyComponents() noexcept;
    // The owned component named name (case ignored), or null.
    TComponent* FindComponent(const std::string& name) const noexcept;

    const std::string& GetName() const noexcept { return FName; }
    // Raises EComponentError for an invalid identifier or a name its owner
    // already has (case ignored). "" is always accepted.
    virtual void SetName(const std::string& value);
    intptr_t GetTag() const noexcept { return FTag; }
    void SetTag(intptr_t value) noexcept { FTag = value; }

    TComponentState GetComponentState() const noexcept { return FComponentState; }
    TComponentStyle GetComponentStyle() const noexcept { return FComponentStyle; }
    // Marks the component as a published sub-object of its owner, streamed
    // inline rather than as a reference.
    void SetSubComponent(bool value) noexcept;
    // Sets csDestroying on this component and everything it owns.
    void Destroying() noexcept;

    // Asks for Notification(this, opRemove) on component when this one is
    // freed, and the other way round.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component) noexcept;

    // The streaming parent (controls: their parent window).
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual bool HasParent() const { return false; }
    virtual void SetParentComponent(TComponent*) {}
    // Calls proc for each child that root streams under this component.
    virtual void GetChildren(TGetChildProc proc, TComponent* root);
    virtual void SetChildOrder(TComponent* child, int order);

    std::string GetNamePath() const override { return FName; }

    // Components are not reference counted (see Interfaces.h).
    ULONG ObjAddRef() noexcept { return static_cast<ULONG>(-1); }
    ULONG ObjRelease() noexcept { return static_cast<ULONG>(-1); }

    void BeforeDestruction() noexcept override;

protected:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    // Called on the owner, the owned components and the subscribers when a
    // component is inserted or removed. Overrides call inherited.
    virtual void Notification(TComponent* component, TOperation operation);
    // Streaming: Loading() sets csLoading; Loaded() runs after the whole
    // tree is read and references are resolved, and clears csLoading.
    virtual void Loading();
    virtual void Loaded();
    virtual void ValidateRename(TComponent* component, const std::string& curName,
                                const std::string& newName);

    void SetComponentStateItem(TComponentStateItem item, bool on) noexcept;

private:
    friend class TComponentRefBase;
    friend class TFiler;
    friend class TReader;
    friend class TWriter;
    friend class TFormLoadScope;

    void Insert(TComponent* component);
    void Remove(TComponent* component) noexcept;
    void NotifyAll(TComponent* component, TOperation operation);
    void Unlink() noexcept;

    TComponent* FOwner = nullptr;
    std::string FName;
    intptr_t FTag = 0;
    TComponentState FComponentState;
    TComponentStyle FComponentStyle{csInheritable};
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    std::vector<TComponentRefBase*> FRefs;
    uint32_t FRemovals = 0;  // counts Remove calls, for NotifyAll
};

// Whether a component's state holds FLAG; whether it is being loaded from
// a stream, designed or destroyed.
inline bool InState(const TComponent* component, TComponentStateItem flag) noexcept {
    return component->GetComponentState().Contains(flag);
}
inline bool IsLoading(const TComponent* component) noexcept {
    return component->GetComponentState().Contains(csLoading);
}
inline bool IsDesigning(const TComponent* component) noexcept {
    return component->GetComponentState().Contains(csDesigning);
}
inline bool IsDestroying(const TComponent* component) noexcept {
    return component->GetComponentState().Contains(csDestroying);
}

} // namespace gcl
