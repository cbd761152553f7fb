#ifdef _WIN32
#include "gcl/rtl/WinApi.h"
#endif

#include <gtest/gtest.h>

#include "gcl/rtl/Registry.h"

#include <string>


using namespace gcl;

namespace {

const std::string RunKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Exercises TRegistry against whatever store is installed; Base is a
// key path (with a leading "\") the test may create.
void ExerciseRegistry(const std::string& base) {
    TRegistry reg;
    EXPECT_EQ(reg.GetRootKey(), TRegRootKey::CurrentUser);
    EXPECT_FALSE(reg.OpenKey(base + "\\Missing", false));
    EXPECT_FALSE(reg.OpenKeyReadOnly(base + "\\Missing"));
    EXPECT_FALSE(reg.HasCurrentKey());

    ASSERT_TRUE(reg.OpenKey(base + "\\App", true));
    EXPECT_EQ(reg.GetCurrentPath(), base.substr(1) + "\\App");
    EXPECT_FALSE(reg.ValueExists("Qelvo"));
    EXPECT_EQ(reg.ReadString("Qelvo"), "");
    reg.WriteString("Qelvo", "\"C:\\Program Files\\Qelvo\\qelvo.exe\"");
    EXPECT_TRUE(reg.ValueExists("qelvo"));    // names ignore case
    EXPECT_EQ(reg.ReadString("QELVO"), "\"C:\\Program Files\\Qelvo\\qelvo.exe\"");
    reg.WriteString("Qelvo", "");
    EXPECT_TRUE(reg.ValueExists("Qelvo"));
    EXPECT_EQ(reg.ReadString("Qelvo"), "");
    reg.WriteString("", "default value");
    EXPECT_EQ(reg.ReadString(""), "default value");

    // A relative path opens below the open key; an absolute one from the root.
    ASSERT_TRUE(reg.OpenKey("Sub\\Deeper", true));
    EXPECT_EQ(reg.GetCurrentPath(), base.substr(1) + "\\App\\Sub\\Deeper");
    reg.WriteString("x", "1");
    ASSERT_TRUE(reg.OpenKeyReadOnly(base + "\\app\\SUB\\deeper"));
    EXPECT_EQ(reg.ReadString("X"), "1");
    EXPECT_THROW(reg.WriteString("x", "2"), ERegistryException);
    EXPECT_FALSE(reg.DeleteValue("x"));
    EXPECT_EQ(reg.ReadString("x"), "1");

    ASSERT_TRUE(reg.OpenKey(base + "\\App", false));
    EXPECT_TRUE(reg.DeleteValue("Qelvo"));
    EXPECT_FALSE(reg.DeleteValue("Qelvo"));
    EXPECT_FALSE(reg.ValueExists("Qelvo"));
    reg.CloseKey();
    EXPECT_FALSE(reg.HasCurrentKey());
    EXPECT_EQ(reg.GetCurrentPath(), "");
    // A failed open keeps the key that was open.
    ASSERT_TRUE(reg.OpenKey(base + "\\App", false));
    EXPECT_FALSE(reg.OpenKey("Nope", false));
    EXPECT_EQ(reg.GetCurrentPath(), base.substr(1) + "\\App");
}

} // namespace

TEST(RegistryTest, InMemoryStore) {
    TMemRegistryStore store;
    ServiceOverride<IRegistryStore> use(RegistryStore, store);
    ExerciseRegistry("\\Software\\QelvoTest");

    // The start-with-Windows value, as the options dialog uses it.
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey(RunKey, false));
    ASSERT_TRUE(reg.OpenKey(RunKey, true));
    reg.WriteString("Qelvo", "\"C:\\q.exe\"");
    TRegistry other;
    ASSERT_TRUE(other.OpenKeyReadOnly(RunKey));
    EXPECT_TRUE(other.ValueExists("Qelvo"));

    // Non-string data cannot be read as a string.
    store.SetValue(TRegRootKey::CurrentUser, "Software\\QelvoTest\\Bin", "Flags", TRegDataType::Integer,
                   std::string("\1\0\0\0", 4));
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\QelvoTest\\Bin"));
    EXPECT_TRUE(reg.ValueExists("Flags"));
    try {
        reg.ReadString("Flags");
        ADD_FAILURE();
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.GetMessage(), "Invalid data type for 'Flags'");
    }

    // Roots are separate.
    TRegistry machine;
    machine.SetRootKey(TRegRootKey::LocalMachine);
    EXPECT_FALSE(machine.OpenKey(RunKey, false));
    EXPECT_EQ(machine.GetRootKey(), TRegRootKey::LocalMachine);
}

#ifdef _WIN32
TEST(RegistryTest, WindowsRegistry) {
    std::string base = "\\Software\\QelvoTest" + std::to_string(GetCurrentProcessId());
    ExerciseRegistry(base);
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);    // the <windows.h> value is accepted too
    EXPECT_EQ(reg.GetRootKey(), TRegRootKey::CurrentUser);
    ASSERT_TRUE(reg.OpenKey(base + "\\Bin", true));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (base.substr(1) + "\\Bin").c_str(), 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    DWORD one = 1;
    RegSetValueExA(key, "Flags", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegCloseKey(key);
    EXPECT_TRUE(reg.ValueExists("Flags"));
    EXPECT_THROW(reg.ReadString("Flags"), ERegistryException);
    reg.CloseKey();
    RegDeleteTreeA(HKEY_CURRENT_USER, base.substr(1).c_str());
    EXPECT_FALSE(reg.OpenKey(base, false));
}
#endif
