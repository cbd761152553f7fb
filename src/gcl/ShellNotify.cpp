// The production notification-area service.
#include "gcl/ShellNotify.h"

namespace gcl {

namespace {

class TShellNotifyIcon : public INotifyIconService {
public:
    bool NotifyIcon(DWORD message, NOTIFYICONDATAA& data) override { return Shell_NotifyIconA(message, &data) != FALSE; }
};

} // namespace

ServiceSlot<INotifyIconService>& NotifyIconService() {
    static TShellNotifyIcon production;
    static ServiceSlot<INotifyIconService> slot(&production);
    return slot;
}

bool ShellNotifyIcon(DWORD message, NOTIFYICONDATAA& data) { return NotifyIconService()->NotifyIcon(message, data); }

} // namespace gcl
