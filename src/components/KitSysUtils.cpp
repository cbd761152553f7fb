// Shell version, animation-free showing, utility windows, the Windows
// version classification and file-version reading.
#include "components/KitSysUtils.h"

#include <vector>

#include "components/KitUnitVersioning.h"
#include "gcl/Timers.h"
#include "gcl/rtl/Libraries.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"

namespace qelvo {

bool GetFileVersionFixedInfo(const std::string& fileName, VS_FIXEDFILEINFO& info) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &handle);
    if (size == 0) return false;
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(fileName.c_str(), 0, size, data.data())) return false;
    void* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\", &fixed, &length) || !fixed || length != sizeof(VS_FIXEDFILEINFO))
        return false;
    info = *static_cast<VS_FIXEDFILEINFO*>(fixed);
    return true;
}

uint32_t GetShellVersion() {
    static const uint32_t version = [] {
        VS_FIXEDFILEINFO info{};
        return GetFileVersionFixedInfo("shell32.dll", info) ? static_cast<uint32_t>(info.dwFileVersionMS) : 0u;
    }();
    return version;
}

bool ShowWindowNoAnimate(HWND window, int showCommand) {
    ANIMATIONINFO animation{};
    animation.cbSize = sizeof(animation);
    bool animated = SystemParametersInfoA(SPI_GETANIMATION, sizeof(animation), &animation, 0) && animation.iMinAnimate;
    if (animated) {
        animation.iMinAnimate = 0;
        SystemParametersInfoA(SPI_SETANIMATION, sizeof(animation), &animation, 0);
    }
    bool result = ShowWindow(window, showCommand) != 0;
    if (animated) {
        animation.iMinAnimate = 1;
        SystemParametersInfoA(SPI_SETANIMATION, sizeof(animation), &animation, 0);
    }
    return result;
}

HWND AllocateHWndEx(gcl::TWndMethod method, const char* className) {
    return gcl::AllocateHWnd(method, className ? className : "TPUtilWindowEx");
}

void DeallocateHWndEx(HWND window) noexcept { gcl::DeallocateHWnd(window); }

TWindowsVersion ClassifyWindowsVersion(const TWindowsVersionData& data) {
    const std::string& sp = data.ServicePack;
    if (data.Platform == VER_PLATFORM_WIN32_WINDOWS) {
        if (data.MinorVersion < 10) return (sp == "B" || sp == "C") ? wvWin95OSR2 : wvWin95;
        if (data.MinorVersion < 90) {
            if (data.Kernel32ProductVersion == 0x0004005A) return wvWinME;
            return (sp == "A" || sp == "B") ? wvWin98SE : wvWin98;
        }
        if (data.MinorVersion == 90) return wvWinME;
        return wvUnknown;
    }
    if (data.Platform != VER_PLATFORM_WIN32_NT) return wvUnknown;
    switch (data.MajorVersion) {
    case 3:
        if (data.MinorVersion == 1) return wvWinNT31;
        if (data.MinorVersion == 5) return wvWinNT35;
        if (data.MinorVersion == 51) return wvWinNT351;
        return wvUnknown;
    case 4:
        return wvWinNT4;
    case 5:
        if (data.MinorVersion == 0) return wvWin2000;
        if (data.MinorVersion == 1) return wvWinXP;
        if (data.MinorVersion == 2) {
            if (data.ServerR2) return wvWin2003R2;
            if (data.X86Processor) return wvWin2003;
            return data.Workstation ? wvWinXP64 : wvWin2003;
        }
        return wvUnknown;
    case 6:
        if (data.MinorVersion == 0) return data.Workstation ? wvWinVista : wvWinServer2008;
        return wvUnknown;
    default:
        return wvUnknown;
    }
}

namespace {
gcl::TLibraryProc<void(WINAPI*)(SYSTEM_INFO*)> GetNativeSystemInfoProc{KitKernel32Library, "GetNativeSystemInfo"};
} // namespace

bool GetNativeSystemInfoOrSystemInfo(SYSTEM_INFO& info) {
    if (auto proc = GetNativeSystemInfoProc.Get()) {
        proc(&info);
        return true;
    }
    GetSystemInfo(&info);
    return false;
}

TWindowsVersionData ReadWindowsVersionData() {
    gcl::TOSVersionInfo os = gcl::OSVersion->GetVersion();
    TWindowsVersionData data;
    data.Platform = os.Platform;
    data.MajorVersion = os.MajorVersion;
    data.MinorVersion = os.MinorVersion;
    OSVERSIONINFOEXA extended{};
    extended.dwOSVersionInfoSize = sizeof(extended);
    if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended))) {
        data.ServicePack = gcl::Trim(extended.szCSDVersion);
        data.Workstation = extended.wProductType == VER_NT_WORKSTATION;
    }
    if (data.Platform == VER_PLATFORM_WIN32_WINDOWS) {
        VS_FIXEDFILEINFO info{};
        if (GetFileVersionFixedInfo("kernel32.dll", info)) data.Kernel32ProductVersion = info.dwProductVersionMS;
    }
    data.ServerR2 = GetSystemMetrics(SM_SERVERR2) != 0;
    SYSTEM_INFO system{};
    GetNativeSystemInfoOrSystemInfo(system);
    data.X86Processor = system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL;
    return data;
}

TWindowsVersion GetWindowsVersion() { return ClassifyWindowsVersion(ReadWindowsVersionData()); }

std::string GetModuleFileName(HMODULE module) {
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(module, buffer, sizeof(buffer));
    return std::string(buffer, length);
}

// ---- Start-up facts, character tables, critical section ---------------------------------

GCL_IMPLEMENT_CLASS(TKitCoreIntfCriticalSection)

bool TKitCoreIntfCriticalSection::GetInterface(const gcl::TGUID& iid, void** out) {
    return gcl::QueryInterfaces<IKitCriticalSection>(this, iid, out) || inherited::GetInterface(iid, out);
}

namespace {

TKitSystemFacts GFacts;
uint16_t GCharTypes[256];
char GCharLower[256];
char GCharUpper[256];
char GCharSwap[256];
gcl::ComPtr<IKitCriticalSection> GCriticalSection;

void BuildCharTables() {
    char chars[256];
    for (int i = 0; i < 256; ++i) chars[i] = static_cast<char>(i);
    // NUL stops nothing here: the counts are explicit.
    GetStringTypeExA(LOCALE_USER_DEFAULT, CT_CTYPE1, chars, 256, reinterpret_cast<WORD*>(GCharTypes));
    std::copy(std::begin(chars), std::end(chars), std::begin(GCharLower));
    std::copy(std::begin(chars), std::end(chars), std::begin(GCharUpper));
    CharLowerBuffA(GCharLower, 256);
    CharUpperBuffA(GCharUpper, 256);
    for (int i = 0; i < 256; ++i) {
        if (GCharTypes[i] & C1_UPPER)
            GCharSwap[i] = GCharLower[i];
        else if (GCharTypes[i] & C1_LOWER)
            GCharSwap[i] = GCharUpper[i];
        else
            GCharSwap[i] = chars[i];
    }
}

void ReadSystemFacts() {
    SYSTEM_INFO system{};
    GetNativeSystemInfoOrSystemInfo(system);
    GFacts.ProcessorCount = system.dwNumberOfProcessors;
    GFacts.PageSize = system.dwPageSize;
    GFacts.AllocationGranularity = system.dwAllocationGranularity;
    GFacts.IsWinNT = gcl::Win32Platform == gcl::PlatformWin32NT;
    GFacts.Kernel32ProductVersion = 0;
    if (!GFacts.IsWinNT) {
        VS_FIXEDFILEINFO info{};
        if (GetFileVersionFixedInfo("kernel32.dll", info)) GFacts.Kernel32ProductVersion = info.dwProductVersionMS;
    }
    GFacts.WindowsVersion = GetWindowsVersion();
}

const TUnitVersionInfo SysUtilsUnitVersion{"KitSysUtils.cpp", "1.0", "2026-12-07", "components", "", nullptr};

void InitSysUtils() {
    ReadSystemFacts();
    BuildCharTables();
    GlobalKitCriticalSection();
    RegisterUnitVersion(UnitVersionInstance(), SysUtilsUnitVersion);
}

void DoneSysUtils() {
    UnregisterModuleUnitVersions(UnitVersionInstance());
    GCriticalSection.Reset();
}

} // namespace

const TKitSystemFacts& KitSystemFacts() noexcept { return GFacts; }
uint16_t KitCharType(uint8_t c) noexcept { return GCharTypes[c]; }
char KitCharLower(uint8_t c) noexcept { return GCharLower[c]; }
char KitCharUpper(uint8_t c) noexcept { return GCharUpper[c]; }
char KitCharSwapCase(uint8_t c) noexcept { return GCharSwap[c]; }

IKitCriticalSection* GlobalKitCriticalSection() {
    if (!GCriticalSection)
        GCriticalSection = gcl::ComPtr<IKitCriticalSection>(TKitCoreIntfCriticalSection::Create());
    return GCriticalSection.Get();
}

gcl::TUnit KitSysUtilsUnit{"KitSysUtils", &InitSysUtils, &DoneSysUtils};

gcl::TSystemLibrary KitKernel32Library{"kernel32.dll"};

} // namespace qelvo
