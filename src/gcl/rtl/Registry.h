// Registry access: TRegistry opens a key below a root key and reads and
// writes its string values.
//
// TRegistry works through the replaceable store RegistryStore: the
// Windows registry in the Windows build, an in-memory store natively.
// Tests install their own TMemRegistryStore on either platform.
//
// Key paths use "\" between levels. A path that starts with "\" is taken
// from the root key; any other path is relative to the open key.
#pragma once

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Services.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

struct HKEY__;    // the Win32 HKEY handle type (STRICT)

namespace gcl {

enum class TRegRootKey : uint32_t {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
};

// The Win32 names, unless <windows.h> already defines them (its HKEY
// values are accepted by TRegistry::SetRootKey as well).
#ifndef HKEY_CURRENT_USER
inline constexpr TRegRootKey HKEY_CLASSES_ROOT = TRegRootKey::ClassesRoot;
inline constexpr TRegRootKey HKEY_CURRENT_USER = TRegRootKey::CurrentUser;
inline constexpr TRegRootKey HKEY_LOCAL_MACHINE = TRegRootKey::LocalMachine;
inline constexpr TRegRootKey HKEY_USERS = TRegRootKey::Users;
#endif

namespace msg {
inline constexpr const char* RegSetDataFailed = "Failed to set data for '%s'";
inline constexpr const char* RegInvalidDataType = "Invalid data type for '%s'";
} // namespace msg

// Value kinds a store reports.
enum class TRegDataType { Unknown, String, ExpandString, Integer, Binary };

// A registry store. Paths are absolute below the root, without a leading
// "\" ("" is the root key itself). Names compare ignoring A-Z case.
class IRegistryStore {
public:
    virtual ~IRegistryStore() = default;
    virtual bool KeyExists(TRegRootKey root, const std::string& path) = 0;
    // Creates the key and its missing parents; true when it exists afterwards.
    virtual bool CreateKey(TRegRootKey root, const std::string& path) = 0;
    // False when the key or the value is missing; Type tells the kind.
    virtual bool GetValue(TRegRootKey root, const std::string& path, const std::string& name,
                          TRegDataType& type, std::string& data) = 0;
    virtual bool SetString(TRegRootKey root, const std::string& path, const std::string& name,
                           const std::string& value) = 0;
    virtual bool DeleteValue(TRegRootKey root, const std::string& path, const std::string& name) = 0;
};

extern ServiceSlot<IRegistryStore> RegistryStore;

// A registry kept in memory (the native production store and the one
// tests install).
class TMemRegistryStore : public IRegistryStore {
public:
    TMemRegistryStore();
    ~TMemRegistryStore() override;
    bool KeyExists(TRegRootKey root, const std::string& path) override;
    bool CreateKey(TRegRootKey root, const std::string& path) override;
    bool GetValue(TRegRootKey root, const std::string& path, const std::string& name, TRegDataType& type,
                  std::string& data) override;
    bool SetString(TRegRootKey root, const std::string& path, const std::string& name,
                   const std::string& value) override;
    bool DeleteValue(TRegRootKey root, const std::string& path, const std::string& name) override;
    // Stores a value of any kind (tests use it for non-string values).
    void SetValue(TRegRootKey root, const std::string& path, const std::string& name, TRegDataType type,
                  const std::string& data);

private:
    struct TData;
    std::unique_ptr<TData> FData;
};

class TRegistry {
public:
    TRegistry();
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    TRegRootKey GetRootKey() const noexcept { return FRootKey; }
    // Changing the root closes the open key.
    void SetRootKey(TRegRootKey value);
    void SetRootKey(HKEY__* value);
    // Path of the open key below the root, without a leading "\".
    const std::string& GetCurrentPath() const noexcept { return FCurrentPath; }
    bool HasCurrentKey() const noexcept { return FKeyOpen; }

    // Opens Key for reading and writing, creating it (and its parents)
    // when CanCreate is set. False when it cannot be opened; the previous
    // key then stays open.
    bool OpenKey(const std::string& key, bool canCreate);
    // Opens an existing key for reading only.
    bool OpenKeyReadOnly(const std::string& key);
    void CloseKey();

    // Values of the open key (of the root key when none is open). Names
    // compare ignoring case; "" is the key's default value.
    bool ValueExists(const std::string& name);
    // "" when the value is missing; ERegistryException when it is not a
    // string.
    std::string ReadString(const std::string& name);
    // Writes a REG_SZ value; ERegistryException on failure.
    void WriteString(const std::string& name, const std::string& value);
    bool DeleteValue(const std::string& name);

private:
    std::string ResolvePath(const std::string& key) const;

    TRegRootKey FRootKey = TRegRootKey::CurrentUser;
    std::string FCurrentPath;
    bool FKeyOpen = false;
    bool FReadOnly = false;
};

} // namespace gcl
