// The base class of the non-visual components.
#include "components/KitComponentBase.h"

#include "components/KitUnitVersioning.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TKitComponent)

namespace {
const TUnitVersionInfo ComponentBaseUnitVersion{"KitComponentBase.cpp", "1.0", "2026-12-07", "components", "", nullptr};
void InitComponentBase() { RegisterUnitVersion(UnitVersionInstance(), ComponentBaseUnitVersion); }
void DoneComponentBase() { UnregisterModuleUnitVersions(UnitVersionInstance()); }
} // namespace

gcl::TUnit KitComponentBaseUnit{"KitComponentBase", &InitComponentBase, &DoneComponentBase};

} // namespace qelvo
