// The version globals; the platform files provide the services.
#include "gcl/rtl/SysInfo.h"

namespace gcl {

const TOSVersionField Win32Platform{&TOSVersionInfo::Platform};
const TOSVersionField Win32MajorVersion{&TOSVersionInfo::MajorVersion};
const TOSVersionField Win32MinorVersion{&TOSVersionInfo::MinorVersion};
const TOSVersionField Win32BuildNumber{&TOSVersionInfo::BuildNumber};

} // namespace gcl
