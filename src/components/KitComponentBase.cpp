// The base class of the non-visual components.
#include "components/KitComponentBase.h"

#include "components/KitUnitVersioning.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TKitComponent)

namespace {
const TUnitVersionInfo UnitVersion{"KitComponentBase.cpp", "1.0", "2026-12-07", "components", "", nullptr};
void Init() { RegisterUnitVersion(UnitVersionInstance(), UnitVersion); }
void Done() { UnregisterModuleUnitVersions(UnitVersionInstance()); }
} // namespace

gcl::TUnit KitComponentBaseUnit{"KitComponentBase", &Init, &Done};

} // namespace qelvo
