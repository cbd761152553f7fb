// The Windows registry as a store for TRegistry (advapi32, ANSI calls).
#include "gcl/rtl/WinApi.h"

#include "gcl/rtl/Registry.h"

#include <vector>

namespace gcl {

namespace {

HKEY RootHandle(TRegRootKey root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

// An open key, closed when it goes out of scope.
class TKeyHandle {
public:
    TKeyHandle(TRegRootKey root, const std::string& path, REGSAM access) {
        if (RegOpenKeyExA(RootHandle(root), path.c_str(), 0, access, &FKey) != ERROR_SUCCESS) FKey = nullptr;
    }
    ~TKeyHandle() {
        if (FKey) RegCloseKey(FKey);
    }
    TKeyHandle(const TKeyHandle&) = delete;
    TKeyHandle& operator=(const TKeyHandle&) = delete;
    explicit operator bool() const { return FKey != nullptr; }
    HKEY Get() const { return FKey; }

private:
    HKEY FKey = nullptr;
};

class TWin32RegistryStore : public IRegistryStore {
public:
    bool KeyExists(TRegRootKey root, const std::string& path) override {
        return bool(TKeyHandle(root, path, KEY_READ));
    }

    bool CreateKey(TRegRootKey root, const std::string& path) override {
        HKEY key = nullptr;
        if (RegCreateKeyExA(RootHandle(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    bool GetValue(TRegRootKey root, const std::string& path, const std::string& name, TRegDataType& type,
                  std::string& data) override {
        TKeyHandle key(root, path, KEY_READ);
        if (!key) return false;
        DWORD kind = 0, size = 0;
        if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &kind, nullptr, &size) != ERROR_SUCCESS) return false;
        std::vector<BYTE> buf(size + 1);
        // The value may grow between the two calls; ask again until it fits.
        LONG rc;
        while ((rc = RegQueryValueExA(key.Get(), name.c_str(), nullptr, &kind, buf.data(), &size)) == ERROR_MORE_DATA)
            buf.resize(size + 1);
        if (rc != ERROR_SUCCESS) return false;
        data.assign(reinterpret_cast<const char*>(buf.data()), size);
        switch (kind) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            type = kind == REG_SZ ? TRegDataType::String : TRegDataType::ExpandString;
            while (!data.empty() && data.back() == '\0') data.pop_back();
            break;
        case REG_DWORD: type = TRegDataType::Integer; break;
        case REG_BINARY: type = TRegDataType::Binary; break;
        default: type = TRegDataType::Unknown; break;
        }
        return true;
    }

    bool SetString(TRegRootKey root, const std::string& path, const std::string& name,
                   const std::string& value) override {
        TKeyHandle key(root, path, KEY_SET_VALUE);
        return key && RegSetValueExA(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     DWORD(value.size() + 1)) == ERROR_SUCCESS;
    }

    bool DeleteValue(TRegRootKey root, const std::string& path, const std::string& name) override {
        TKeyHandle key(root, path, KEY_SET_VALUE);
        return key && RegDeleteValueA(key.Get(), name.c_str()) == ERROR_SUCCESS;
    }
};

TWin32RegistryStore ProductionStore;

} // namespace

ServiceSlot<IRegistryStore> RegistryStore(&ProductionStore);

} // namespace gcl
