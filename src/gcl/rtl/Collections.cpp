#include "gcl/rtl/Collections.h"

#include <algorithm>
#include <cstdio>

#include "gcl/rtl/TypInfo.h"

namespace gcl {

namespace {

[[noreturn]] void RaiseIndex(int index) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, msg::ListIndexError, index);
    throw EListError(buffer);
}

} // namespace

// ---- TCollectionItem ---------------------------------------------------

GCL_IMPLEMENT_CLASS(TCollectionItem)

TCollectionItem::TCollectionItem(TCollection* collection) {
    if (collection) collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
    if (FCollection) std::erase(FCollection->FItems, this);
}

void TCollectionItem::AfterConstruction() {
    inherited::AfterConstruction();
    if (!FCollection) return;
    if (!InheritsFrom(FCollection->FItemClass)) {
        std::erase(FCollection->FItems, this);  // never announced
        FCollection = nullptr;
        throw EListError(msg::InvalidPropertyValue);
    }
    FCollection->Notify(this, cnAdded);
    FCollection->Changed();
}

void TCollectionItem::BeforeDestruction() noexcept {
    if (FCollection) FCollection->RemoveItem(this, cnDeleting);
    inherited::BeforeDestruction();
}

void TCollectionItem::SetCollection(TCollection* value) {
    if (value == FCollection) return;
    if (value && !InheritsFrom(value->FItemClass)) throw EListError(msg::InvalidPropertyValue);
    if (FCollection) FCollection->RemoveItem(this, cnExtracting);
    if (value) {
        value->InsertItem(this);
        value->Notify(this, cnAdded);
        value->Changed();
    }
}

int TCollectionItem::GetIndex() const noexcept {
    if (!FCollection) return -1;
    auto& items = FCollection->FItems;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int value) {
    int current = GetIndex();
    if (current < 0) return;
    auto& items = FCollection->FItems;
    value = std::clamp(value, 0, static_cast<int>(items.size()) - 1);
    if (value == current) return;
    items.erase(items.begin() + current);
    items.insert(items.begin() + value, this);
    Changed(true);
}

std::string TCollectionItem::GetDisplayName() const { return ClassName(); }

void TCollectionItem::SetDisplayName(const std::string&) { Changed(false); }

void TCollectionItem::Changed(bool allItems) {
    if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(allItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

std::string TCollectionItem::GetNamePath() const {
    if (!FCollection) return ClassName();
    return FCollection->GetNamePath() + "[" + std::to_string(GetIndex()) + "]";
}

// ---- TCollection -------------------------------------------------------

GCL_IMPLEMENT_CLASS(TCollection)
GCL_IMPLEMENT_CLASS(TOwnedCollection)

TCollection::TCollection(TCollectionItemClass itemClass) : FItemClass(itemClass) {}

TCollection::~TCollection() { FreeAll(); }

void TCollection::FreeAll() noexcept {
    while (!FItems.empty()) {
        TCollectionItem* item = FItems.back();
        FItems.pop_back();
        item->FCollection = nullptr;
        item->Free();
    }
}

TCollectionItem* TCollection::GetItems(int index) const {
    if (index < 0 || index >= GetCount()) RaiseIndex(index);
    return FItems[index];
}

void TCollection::SetItems(int index, TCollectionItem* value) { GetItems(index)->Assign(value); }

TCollectionItem* TCollection::Add() { return FItemClass->Create(this); }

TCollectionItem* TCollection::Insert(int index) {
    TCollectionItem* item = Add();
    item->SetIndex(index);
    return item;
}

void TCollection::Delete(int index) { GetItems(index)->Free(); }

void TCollection::Clear() {
    if (FItems.empty()) return;
    TUpdateGuard<TCollection> update(*this);
    while (!FItems.empty()) FItems.back()->Free();
}

TCollectionItem* TCollection::FindItemID(int id) const noexcept {
    for (TCollectionItem* item : FItems)
        if (item->FID == id) return item;
    return nullptr;
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    Changed();
}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::InsertItem(TCollectionItem* item) {
    FItems.push_back(item);
    item->FCollection = this;
    item->FID = FNextID++;
}

void TCollection::RemoveItem(TCollectionItem* item, TCollectionNotification action) {
    Notify(item, action);
    std::erase(FItems, item);
    item->FCollection = nullptr;
    Changed();
}

void TCollection::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TCollection*>(source);
    if (!other) return inherited::Assign(source);
    if (other == this) return;
    TUpdateGuard<TCollection> update(*this);
    Clear();
    for (TCollectionItem* item : other->FItems) Add()->Assign(item);
}

std::string TCollection::GetNamePath() const {
    TPersistent* owner = GetOwner();
    if (!owner) return ClassName();
    std::string path = owner->GetNamePath();
    if (path.empty()) return ClassName();
    for (const TPropInfo* info : GetPropList(owner->ClassType(), TTypeKinds{tkClass}))
        if (info->GetValue(owner).AsObject() == this) return path + "." + info->Name();
    return ClassName();
}

} // namespace gcl
