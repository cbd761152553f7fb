// System services of the Windows build: the version GetVersionExA reports
// and ShellExecuteA "open" (ShellExecuteExW without messages for wide
// targets).
#include "gcl/rtl/WinApi.h"
#include <shellapi.h>

#include "gcl/rtl/SysInfo.h"

#include "gcl/rtl/Libraries.h"

namespace gcl {

namespace {

class TWin32OSVersion : public IOSVersion {
public:
    TOSVersionInfo GetVersion() override {
        // Asked once; the answer cannot change while the process runs.
        static const TOSVersionInfo info = Query();
        return info;
    }

private:
    static TOSVersionInfo Query() {
        TOSVersionInfo result;
        OSVERSIONINFOA vi{};
        vi.dwOSVersionInfoSize = sizeof vi;
        if (GetVersionExA(&vi)) {
            result.Platform = int(vi.dwPlatformId);
            result.MajorVersion = int(vi.dwMajorVersion);
            result.MinorVersion = int(vi.dwMinorVersion);
            // Windows 9x keeps the version in the high word of the build number.
            result.BuildNumber = vi.dwPlatformId == VER_PLATFORM_WIN32_NT ? int(vi.dwBuildNumber)
                                                                          : int(vi.dwBuildNumber & 0xFFFF);
        }
        return result;
    }
};

class TWin32Shell : public IShell {
public:
    bool Open(const std::string& target, const std::string& params) override {
        // shell32 is bound on first use, so programs that never open
        // anything do not load it.
        static TSystemLibrary shell32{"shell32.dll"};
        static TLibraryProc<HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)> shellExecuteA{
            shell32, "ShellExecuteA"};
        auto shellExecute = shellExecuteA.Get();
        if (!shellExecute || target.empty()) return false;
        HINSTANCE rc = shellExecute(nullptr, "open", target.c_str(), params.empty() ? nullptr : params.c_str(),
                                    nullptr, SW_SHOWNORMAL);
        return reinterpret_cast<INT_PTR>(rc) > 32;
    }
    bool OpenSilently(const std::wstring& target, const std::wstring& params) override {
        static TSystemLibrary shell32{"shell32.dll"};
        static TLibraryProc<BOOL(WINAPI*)(SHELLEXECUTEINFOW*)> shellExecuteExW{shell32, "ShellExecuteExW"};
        auto shellExecute = shellExecuteExW.Get();
        if (!shellExecute || target.empty()) return false;
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_FLAG_NO_UI;
        info.lpVerb = L"open";
        info.lpFile = target.c_str();
        info.lpParameters = params.empty() ? nullptr : params.c_str();
        info.nShow = SW_SHOWNORMAL;
        return shellExecute(&info) != FALSE;
    }
};

TWin32OSVersion ProductionOSVersion;
TWin32Shell ProductionShell;

} // namespace

ServiceSlot<IOSVersion> OSVersion(&ProductionOSVersion);
ServiceSlot<IShell> Shell(&ProductionShell);

} // namespace gcl
