// The version globals and the shell's default wide open; the platform
// files provide the services.
#include "gcl/rtl/SysInfo.h"

#include "gcl/rtl/Strings.h"

namespace gcl {

bool IShell::OpenSilently(const std::wstring& target, const std::wstring& params) {
    return Open(WideToAnsi(target), WideToAnsi(params));
}

const TOSVersionField Win32Platform{&TOSVersionInfo::Platform};
const TOSVersionField Win32MajorVersion{&TOSVersionInfo::MajorVersion};
const TOSVersionField Win32MinorVersion{&TOSVersionInfo::MinorVersion};
const TOSVersionField Win32BuildNumber{&TOSVersionInfo::BuildNumber};

} // namespace gcl
