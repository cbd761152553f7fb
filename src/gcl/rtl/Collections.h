// TCollection: an owned, ordered list of TCollectionItem objects of one
// class, streamed as a collection value.
//
// Items are created by the collection (Add, Insert), through the item
// class's virtual constructor Create(Collection), and die through Delete,
// Clear or their own Free(). An item joins its collection in its
// constructor (it gets its ID there); the collection hears of it through
// Notify(item, cnAdded) and Update once the item is complete, in
// TCollectionItem::AfterConstruction.
//
// A collection is a plain object owned by its holder (usually a member or
// std::unique_ptr of a component). Its destructor frees the items without
// notifications; call Clear() first where the notifications matter.
#pragma once

#include <string>
#include <type_traits>
#include <vector>

#include "gcl/rtl/Objects.h"
#include "gcl/rtl/Sets.h"

namespace gcl {

class TCollection;
class TCollectionItem;

using TCollectionItemMetaClass = TClassOf<TCollectionItem, TMetaClass, TCollection*>;
// A class reference to an item class; Create(Collection) is its virtual
// constructor.
using TCollectionItemClass = const TCollectionItemMetaClass*;

GCL_ENUM(TCollectionNotification, cnAdded, cnExtracting, cnDeleting)

class TCollectionItem : public TPersistent {
    GCL_CLASS_META(TCollectionItem, TPersistent, TCollectionItemMetaClass)
public:
    TCollection* GetCollection() const noexcept { return FCollection; }
    // Moves the item to another collection (null: none).
    virtual void SetCollection(TCollection* value);
    // The position in the collection (0-based), or -1.
    int GetIndex() const noexcept;
    // Moves the item to position value within its collection.
    virtual void SetIndex(int value);
    // A number unique within the collection, given at insertion.
    int GetID() const noexcept { return FID; }
    virtual std::string GetDisplayName() const;
    virtual void SetDisplayName(const std::string& value);

    TPersistent* GetOwner() const override;
    std::string GetNamePath() const override;

    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;

protected:
    explicit TCollectionItem(TCollection* collection);
    ~TCollectionItem() override;

    // Reports a change of this item (or, with allItems, of all of them)
    // to the collection unless it is updating.
    void Changed(bool allItems);
    // Stores a property value and reports the change as Changed does;
    // nothing when the value is unchanged.
    template <class T>
    void StoreAndChange(T& field, const std::type_identity_t<T>& value, bool allItems) {
        if (value == field) return;
        field = value;
        Changed(allItems);
    }

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

class TCollection : public TPersistent {
    GCL_CLASS(TCollection, TPersistent)
public:
    explicit TCollection(TCollectionItemClass itemClass);
    ~TCollection() override;

    TCollectionItemClass GetItemClass() const noexcept { return FItemClass; }
    int GetCount() const noexcept { return static_cast<int>(FItems.size()); }
    // The item at index (0-based); EListError when out of range.
    TCollectionItem* GetItems(int index) const;
    // Assigns value to the item at index.
    void SetItems(int index, TCollectionItem* value);

    TCollectionItem* Add();
    // A new item at position index.
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    TCollectionItem* FindItemID(int id) const noexcept;

    virtual void BeginUpdate();
    virtual void EndUpdate();
    int GetUpdateCount() const noexcept { return FUpdateCount; }

    // Copies the items of another collection (item-wise Assign).
    void Assign(TPersistent* source) override;
    // "<owner path>.<property name>" when the owner publishes this
    // collection, else the class name.
    std::string GetNamePath() const override;

protected:
    // Called when an item changes (item) or the whole collection does
    // (null), outside BeginUpdate/EndUpdate.
    virtual void Update(TCollectionItem* item);
    virtual void Notify(TCollectionItem* item, TCollectionNotification action);
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item, TCollectionNotification action);
    void FreeAll() noexcept;

    TCollectionItemClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
};

// A collection with an owner for streaming paths.
class TOwnedCollection : public TCollection {
    GCL_CLASS(TOwnedCollection, TCollection)
public:
    TOwnedCollection(TPersistent* owner, TCollectionItemClass itemClass)
        : TCollection(itemClass), FOwner(owner) {}
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};

} // namespace gcl
