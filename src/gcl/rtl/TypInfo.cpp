#include "gcl/rtl/TypInfo.h"

#include <cstdio>

namespace gcl {

namespace {

[[noreturn]] void RaiseProperty(const char* format, std::string_view name) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, std::string(name).c_str());
    throw EPropertyError(buffer);
}

} // namespace

namespace detail {

const TPropList& InheritProperties(TClass parent) {
    static const TPropList empty;
    return parent ? parent->Properties() : empty;
}

void RaiseObjectType(const TObject* obj) { RaiseProperty(msg::PropertyType, obj->ClassName()); }

void RaiseMethodType() { throw EPropertyError(msg::InvalidPropertyValue); }

} // namespace detail

void TPropValue::RaiseKind() { throw EPropertyError(msg::InvalidPropertyValue); }

// ---- TIdentMap ---------------------------------------------------------

bool TIdentMap::IntToIdent(int32_t value, std::string& ident) const {
    for (int i = 0; i < Count; ++i)
        if (Entries[i].Value == value) {
            ident = Entries[i].Name;
            return true;
        }
    return false;
}

bool TIdentMap::IdentToInt(std::string_view ident, int32_t& value) const {
    for (int i = 0; i < Count; ++i)
        if (detail::SameIdent(Entries[i].Name, ident)) {
            value = Entries[i].Value;
            return true;
        }
    return false;
}

// ---- TPropInfo ---------------------------------------------------------

void TPropInfo::Check(TObject* instance) const {
    if (!instance || !instance->InheritsFrom(FOwner)) RaiseProperty(msg::PropertyType, FName);
}

TPropValue TPropInfo::GetValue(TObject* instance) const {
    Check(instance);
    return FGetter(instance);
}

void TPropInfo::SetValue(TObject* instance, const TPropValue& value) const {
    Check(instance);
    if (!FSetter) RaiseProperty(msg::ReadOnlyProperty, FName);
    FSetter(instance, value);
}

bool TPropInfo::IsStored(TObject* instance) const {
    Check(instance);
    return FStoredFn ? FStoredFn(instance) : FStoredConst;
}

bool TPropInfo::IsDefaultValue(TObject* instance) const {
    TPropValue value = GetValue(instance);
    switch (FKind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet:
        return HasDefault() && value.AsOrdinal() == FDefault;
    case tkFloat:
        return value.AsFloat() == 0.0;
    case tkString:
        return value.AsString().empty();
    case tkWString:
        return value.AsWString().empty();
    case tkClass:
        return value.AsObject() == nullptr;
    case tkMethod:
        return !value.AsMethod().Assigned();
    case tkUnknown:
        break;
    }
    return false;
}

// ---- TPropList ---------------------------------------------------------

TPropList::TPropList(TClass owner, TClass parent, std::vector<TPropInfo> own) : FOwn(std::move(own)) {
    const TPropList& inherited = detail::InheritProperties(parent);
    FItems.assign(inherited.begin(), inherited.end());
    for (TPropInfo& info : FOwn) {
        info.FOwner = owner;
        bool replaced = false;
        for (const TPropInfo*& item : FItems)
            if (detail::SameIdent(item->Name(), info.Name())) {
                item = &info;
                replaced = true;
                break;
            }
        if (!replaced) FItems.push_back(&info);
    }
}

const TPropInfo* TPropList::Find(std::string_view name) const noexcept {
    for (const TPropInfo* info : FItems)
        if (detail::SameIdent(info->Name(), name)) return info;
    return nullptr;
}

// ---- Lookup ------------------------------------------------------------

const TPropInfo* GetPropInfo(TClass cls, std::string_view name) noexcept {
    return cls ? cls->Properties().Find(name) : nullptr;
}

const TPropInfo* GetPropInfo(const TObject* instance, std::string_view name) noexcept {
    return instance ? GetPropInfo(instance->ClassType(), name) : nullptr;
}

std::vector<const TPropInfo*> GetPropList(TClass cls, TTypeKinds kinds) {
    std::vector<const TPropInfo*> result;
    for (const TPropInfo* info : cls->Properties())
        if (kinds.Contains(info->Kind())) result.push_back(info);
    return result;
}

TPropValue GetPropValue(TObject* instance, std::string_view name) {
    const TPropInfo* info = GetPropInfo(instance, name);
    if (!info) RaiseProperty(msg::UnknownProperty, name);
    return info->GetValue(instance);
}

void SetPropValue(TObject* instance, std::string_view name, const TPropValue& value) {
    const TPropInfo* info = GetPropInfo(instance, name);
    if (!info) RaiseProperty(msg::UnknownProperty, name);
    info->SetValue(instance, value);
}

std::vector<std::string> CheckPublishedDefaults(TObject* instance) {
    std::vector<std::string> mismatches;
    for (const TPropInfo* info : instance->ClassType()->Properties()) {
        if (!tkOrdinal.Contains(info->Kind()) || !info->HasDefault()) continue;
        int64_t value = info->GetValue(instance).AsOrdinal();
        if (value != info->GetDefault())
            mismatches.push_back(instance->ClassName() + "." + info->Name() + ": default " +
                                 std::to_string(info->GetDefault()) + ", value " + std::to_string(value));
    }
    return mismatches;
}

} // namespace gcl
