// System services of the native build: a fixed Windows NT 6.1 version and
// a shell that opens nothing.
#include "gcl/rtl/SysInfo.h"

namespace gcl {

namespace {

class TNativeOSVersion : public IOSVersion {
public:
    TOSVersionInfo GetVersion() override { return TOSVersionInfo(); }
};

class TNativeShell : public IShell {
public:
    bool Open(const std::string&, const std::string&) override { return false; }
};

TNativeOSVersion ProductionOSVersion;
TNativeShell ProductionShell;

} // namespace

ServiceSlot<IOSVersion> OSVersion(&ProductionOSVersion);
ServiceSlot<IShell> Shell(&ProductionShell);

} // namespace gcl
