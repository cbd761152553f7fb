// Shell version, animation-free showing, utility windows, the Windows
// version classification and file-version reading.
#include "components/KitSysUtils.h"

#include <vector>

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
gcl::TSystemLibrary Kernel32Library{"kernel32.dll"};
gcl::TLibraryProc<void(WINAPI*)(SYSTEM_INFO*)> GetNativeSystemInfoProc{Kernel32Library, "GetNativeSystemInfo"};
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

} // namespace qelvo
