// Small system services of the components: the shell version, showing a
// window without the minimise animation, utility message windows, the
// classification of the running Windows, module names and file versions.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <string>

#include "gcl/rtl/Events.h"

namespace qelvo {

// The most significant version word of shell32.dll (0x00050000 is shell
// 5), read once; 0 when unreadable.
uint32_t GetShellVersion();

// ShowWindow with the system's minimise and restore animation switched off
// for the call (and back on afterwards when it was on).
bool ShowWindowNoAnimate(HWND window, int showCommand);

// A hidden tool window of class className ("TPUtilWindowEx" by default)
// whose messages go to method; without a method the default window
// procedure answers. DeallocateHWndEx destroys it.
HWND AllocateHWndEx(gcl::TWndMethod method, const char* className = nullptr);
void DeallocateHWndEx(HWND window) noexcept;

// ---- Windows version ---------------------------------------------------------

enum TWindowsVersion {
    wvUnknown, wvWin95, wvWin95OSR2, wvWin98, wvWin98SE, wvWinME, wvWinNT31, wvWinNT35, wvWinNT351, wvWinNT4,
    wvWin2000, wvWinXP, wvWin2003, wvWinXP64, wvWin2003R2, wvWinVista, wvWinServer2008
};

// What the classification looks at.
struct TWindowsVersionData {
    int Platform = VER_PLATFORM_WIN32_NT;
    int MajorVersion = 0;
    int MinorVersion = 0;
    std::string ServicePack;            // the service-pack text, trimmed
    uint32_t Kernel32ProductVersion = 0;// most significant word (9x only)
    bool ServerR2 = false;              // the SM_SERVERR2 metric
    bool X86Processor = true;           // the native processor is 32-bit x86
    bool Workstation = true;            // the product type is a workstation
};

TWindowsVersion ClassifyWindowsVersion(const TWindowsVersionData& data);
// The data of the running system: platform and version from the OS-version
// service, the rest from the system.
TWindowsVersionData ReadWindowsVersionData();
TWindowsVersion GetWindowsVersion();

// GetNativeSystemInfo when kernel32 has it (true), else GetSystemInfo.
bool GetNativeSystemInfoOrSystemInfo(SYSTEM_INFO& info);

// The full path of a module (null: the program).
std::string GetModuleFileName(HMODULE module);

// True, with the fixed version record, when the file has a version
// resource whose root value is exactly a fixed record.
bool GetFileVersionFixedInfo(const std::string& fileName, VS_FIXEDFILEINFO& info);

} // namespace qelvo
