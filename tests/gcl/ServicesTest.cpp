// The window part's replaceable outside-world calls and start-up units:
// the notification-area call and the common controls' initialisation.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "gcl/Controls.h"
#include "gcl/ShellNotify.h"

using namespace gcl;

namespace {

// Records the calls, fails the first `Failures` of them with `Error`.
class TRecordingNotifyIcon : public INotifyIconService {
public:
    struct TCall {
        DWORD Message;
        UINT Id;
        UINT Flags;
        std::string Tip;
    };
    std::vector<TCall> Calls;
    int Failures = 0;
    DWORD Error = 0;

    bool NotifyIcon(DWORD message, NOTIFYICONDATAA& data) override {
        Calls.push_back({message, data.uID, data.uFlags, data.szTip});
        if (Failures > 0) {
            --Failures;
            SetLastError(Error);
            return false;
        }
        return true;
    }
};

} // namespace

TEST(Services, NotifyIconGoesThroughTheReplaceableService) {
    TRecordingNotifyIcon shell;
    ServiceSlot<INotifyIconService>& slot = NotifyIconService();
    INotifyIconService* production = &slot.Get();
    {
        ServiceOverride<INotifyIconService> scope(slot, shell);
        NOTIFYICONDATAA data{};
        data.cbSize = sizeof data;
        data.uID = 7;
        data.uFlags = NIF_TIP;
        std::strcpy(data.szTip, "Qelvo");
        EXPECT_TRUE(ShellNotifyIcon(NIM_ADD, data));
        // A failure leaves its reason for the caller's retry rule.
        shell.Failures = 1;
        shell.Error = ERROR_TIMEOUT;
        SetLastError(0);
        EXPECT_FALSE(ShellNotifyIcon(NIM_MODIFY, data));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
        EXPECT_TRUE(ShellNotifyIcon(NIM_DELETE, data));
        ASSERT_EQ(shell.Calls.size(), 3u);
        EXPECT_EQ(shell.Calls[0].Message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(shell.Calls[1].Message, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_EQ(shell.Calls[2].Message, static_cast<DWORD>(NIM_DELETE));
        EXPECT_EQ(shell.Calls[0].Id, 7u);
        EXPECT_EQ(shell.Calls[0].Flags, static_cast<UINT>(NIF_TIP));
        EXPECT_EQ(shell.Calls[0].Tip, "Qelvo");
    }
    EXPECT_EQ(&slot.Get(), production);
}

TEST(Services, CommonControlsInitialiseOnceFromTheirOwnUnit) {
    // The window core's unit no longer does it; the last unit of the
    // table does, once however often it is listed.
    const int before = CommonControlsUnit.InitCount();
    {
        TUnitScope outer{&ControlsUnit, &CommonControlsUnit};
        TUnitScope inner{&CommonControlsUnit};
        EXPECT_EQ(CommonControlsUnit.InitCount(), before + 2);
        WNDCLASSEXA info{};
        info.cbSize = sizeof info;
        EXPECT_TRUE(GetClassInfoExA(nullptr, DATETIMEPICK_CLASSA, &info));
        EXPECT_TRUE(GetClassInfoExA(nullptr, WC_TREEVIEWA, &info));
    }
    EXPECT_EQ(CommonControlsUnit.InitCount(), before);
    EXPECT_STREQ(CommonControlsUnit.Name(), "CommonControls");
}
