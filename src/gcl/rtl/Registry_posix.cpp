// The native build has no system registry: an in-memory store stands in.
#include "gcl/rtl/Registry.h"

namespace gcl {

namespace {
TMemRegistryStore ProductionStore;
} // namespace

ServiceSlot<IRegistryStore> RegistryStore(&ProductionStore);

} // namespace gcl
