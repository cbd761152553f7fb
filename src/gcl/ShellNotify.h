// The shell's notification-area call (Shell_NotifyIconA) behind a
// replaceable service, so the tray icon and its tests run without touching
// the real taskbar.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <shellapi.h>

#include "gcl/rtl/Services.h"

namespace gcl {

class INotifyIconService {
public:
    virtual ~INotifyIconService() = default;
    // Shell_NotifyIconA(message, &data) for NIM_ADD, NIM_MODIFY, NIM_DELETE,
    // NIM_SETFOCUS and NIM_SETVERSION. True on success; on failure the
    // reason is left in GetLastError (0 or ERROR_TIMEOUT when the shell
    // was busy), as the system call leaves it.
    virtual bool NotifyIcon(DWORD message, NOTIFYICONDATAA& data) = 0;
};
// Production: Shell_NotifyIconA. Tests install their own with
// ServiceOverride<INotifyIconService>.
ServiceSlot<INotifyIconService>& NotifyIconService();

// Shell_NotifyIconA through NotifyIconService().
bool ShellNotifyIcon(DWORD message, NOTIFYICONDATAA& data);

} // namespace gcl
