// TRegistry over the replaceable store, and the in-memory store.
#include "gcl/rtl/Registry.h"

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Strings.h"

#include <cstdint>
#include <set>

namespace gcl {

namespace {

std::string FillName(const char* format, const std::string& name) { return Format(format, {name}); }

// "a\\b\" -> "a\b": no empty levels, no leading or trailing "\".
std::string NormalizePath(const std::string& path) {
    std::string r;
    size_t i = 0;
    while (i < path.size()) {
        size_t j = path.find('\\', i);
        if (j == std::string::npos) j = path.size();
        if (j > i) {
            if (!r.empty()) r += '\\';
            r.append(path, i, j - i);
        }
        i = j + 1;
    }
    return r;
}

} // namespace

// ---- TMemRegistryStore ------------------------------------------------

struct TMemRegistryStore::TData {
    struct TValue {
        TRegDataType Type = TRegDataType::Unknown;
        std::string Data;
    };
    struct TKey {
        std::map<std::string, TValue> Values;    // by lower-case name
    };
    // Keys by (root, lower-case normalised path); the roots always exist.
    std::map<std::pair<uint32_t, std::string>, TKey> Keys;

    TKey* Find(TRegRootKey root, const std::string& path) {
        std::string p = LowerCase(NormalizePath(path));
        if (p.empty()) return &Keys[{uint32_t(root), p}];
        auto it = Keys.find({uint32_t(root), p});
        return it == Keys.end() ? nullptr : &it->second;
    }
};

TMemRegistryStore::TMemRegistryStore() : FData(std::make_unique<TData>()) {}
TMemRegistryStore::~TMemRegistryStore() = default;

bool TMemRegistryStore::KeyExists(TRegRootKey root, const std::string& path) {
    return FData->Find(root, path) != nullptr;
}

bool TMemRegistryStore::CreateKey(TRegRootKey root, const std::string& path) {
    std::string p = LowerCase(NormalizePath(path));
    size_t i = 0;
    while (i <= p.size()) {
        size_t j = p.find('\\', i);
        if (j == std::string::npos) j = p.size();
        FData->Keys[{uint32_t(root), p.substr(0, j)}];
        i = j + 1;
    }
    return true;
}

bool TMemRegistryStore::GetValue(TRegRootKey root, const std::string& path, const std::string& name,
                                 TRegDataType& type, std::string& data) {
    TData::TKey* key = FData->Find(root, path);
    if (!key) return false;
    auto it = key->Values.find(LowerCase(name));
    if (it == key->Values.end()) return false;
    type = it->second.Type;
    data = it->second.Data;
    return true;
}

bool TMemRegistryStore::SetString(TRegRootKey root, const std::string& path, const std::string& name,
                                  const std::string& value) {
    TData::TKey* key = FData->Find(root, path);
    if (!key) return false;
    key->Values[LowerCase(name)] = {TRegDataType::String, value};
    return true;
}

bool TMemRegistryStore::DeleteValue(TRegRootKey root, const std::string& path, const std::string& name) {
    TData::TKey* key = FData->Find(root, path);
    return key && key->Values.erase(LowerCase(name)) > 0;
}

void TMemRegistryStore::SetValue(TRegRootKey root, const std::string& path, const std::string& name,
                                 TRegDataType type, const std::string& data) {
    CreateKey(root, path);
    FData->Find(root, path)->Values[LowerCase(name)] = {type, data};
}

// ---- TRegistry ----------------------------------------------------------

TRegistry::TRegistry() = default;
TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(TRegRootKey value) {
    if (value == FRootKey) return;
    CloseKey();
    FRootKey = value;
}

void TRegistry::SetRootKey(HKEY__* value) {
    SetRootKey(TRegRootKey(uint32_t(reinterpret_cast<uintptr_t>(value))));
}

std::string TRegistry::ResolvePath(const std::string& key) const {
    bool absolute = !key.empty() && key[0] == '\\';
    if (absolute || !FKeyOpen || FCurrentPath.empty()) return NormalizePath(key);
    return NormalizePath(FCurrentPath + "\\" + key);
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    std::string path = ResolvePath(key);
    IRegistryStore& store = RegistryStore.Get();
    bool ok = canCreate ? store.CreateKey(FRootKey, path) : store.KeyExists(FRootKey, path);
    if (!ok) return false;
    FCurrentPath = path;
    FKeyOpen = true;
    FReadOnly = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    std::string path = ResolvePath(key);
    if (!RegistryStore->KeyExists(FRootKey, path)) return false;
    FCurrentPath = path;
    FKeyOpen = true;
    FReadOnly = true;
    return true;
}

void TRegistry::CloseKey() {
    FCurrentPath.clear();
    FKeyOpen = false;
    FReadOnly = false;
}

bool TRegistry::ValueExists(const std::string& name) {
    TRegDataType type;
    std::string data;
    return RegistryStore->GetValue(FRootKey, FCurrentPath, name, type, data);
}

std::string TRegistry::ReadString(const std::string& name) {
    TRegDataType type = TRegDataType::Unknown;
    std::string data;
    if (!RegistryStore->GetValue(FRootKey, FCurrentPath, name, type, data)) return std::string();
    if (type != TRegDataType::String && type != TRegDataType::ExpandString)
        throw ERegistryException(FillName(msg::RegInvalidDataType, name));
    return data;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    if (FReadOnly || !RegistryStore->SetString(FRootKey, FCurrentPath, name, value))
        throw ERegistryException(FillName(msg::RegSetDataFailed, name));
}

bool TRegistry::DeleteValue(const std::string& name) {
    if (FReadOnly) return false;
    return RegistryStore->DeleteValue(FRootKey, FCurrentPath, name);
}

} // namespace gcl
