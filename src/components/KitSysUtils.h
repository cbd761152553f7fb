// Small system services of the components: the shell version, showing a
// window without the minimise animation, utility message windows, the
// classification of the running Windows, module names and file versions.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <string>

#include "gcl/rtl/Events.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Interfaces.h"
#include "gcl/rtl/Libraries.h"
#include "gcl/rtl/SysInfo.h"

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

// ---- System facts read at start-up ----------------------------------------------

struct TKitSystemFacts {
    DWORD ProcessorCount = 1;
    DWORD PageSize = 4096;
    DWORD AllocationGranularity = 65536;
    bool IsWinNT = true;
    uint32_t Kernel32ProductVersion = 0;   // non-NT systems only
    TWindowsVersion WindowsVersion = wvUnknown;
};
// Valid while KitSysUtilsUnit is initialised.
const TKitSystemFacts& KitSystemFacts() noexcept;

// ---- Character tables --------------------------------------------------------------

// For each byte value of the system code page: its character type
// (GetStringTypeExA, CT_CTYPE1, user default locale), its lower-case,
// upper-case and case-swapped forms. Built at start-up.
uint16_t KitCharType(uint8_t c) noexcept;
char KitCharLower(uint8_t c) noexcept;
char KitCharUpper(uint8_t c) noexcept;
char KitCharSwapCase(uint8_t c) noexcept;

// ---- Interface-based critical section ----------------------------------------------------

struct IKitCriticalSection : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{3F0B7A52-6C1D-4E8B-9A47-2D5E8C31B904}");
    virtual void GCL_STDCALL Enter() = 0;
    virtual void GCL_STDCALL Leave() = 0;
};

// A reference-counted critical section behind the interface.
class TKitCoreIntfCriticalSection : public gcl::TInterfacedObject, public IKitCriticalSection {
    GCL_CLASS(TKitCoreIntfCriticalSection, gcl::TInterfacedObject)
public:
    TKitCoreIntfCriticalSection() = default;
    GCL_IUNKNOWN
    bool GetInterface(const gcl::TGUID& iid, void** out) override;
    void GCL_STDCALL Enter() override { FSection.Enter(); }
    void GCL_STDCALL Leave() override { FSection.Leave(); }

protected:
    ~TKitCoreIntfCriticalSection() override = default;

private:
    gcl::TCriticalSection FSection;
};

// The process-wide one, made at start-up or on first use.
IKitCriticalSection* GlobalKitCriticalSection();

// Reads the system facts, builds the character tables and the critical
// section; registers the unit's version record.
extern gcl::TUnit KitSysUtilsUnit;

// kernel32.dll for the components' entry points that not every system has.
extern gcl::TSystemLibrary KitKernel32Library;

} // namespace qelvo
