// The components' drag cursors on the screen object.
#include "components/KitLibUtils.h"

#include "components/KitUnitVersioning.h"
#include "gcl/Forms.h"

namespace qelvo {

namespace {

const TUnitVersionInfo LibUtilsUnitVersion{"KitLibUtils.cpp", "1.0", "2026-12-07", "components", "", nullptr};

void InitLibUtils() {
    // The drag cursors load when a drag first shows them.
    if (gcl::Screen) {
        gcl::Screen->SetCursorAlias(crKitMultiDrag, gcl::crMultiDrag);
        gcl::Screen->SetCursorAlias(crKitDrag, gcl::crDrag);
        gcl::Screen->SetCursorAlias(crKitMultiDragLink, gcl::crMultiDrag);
        gcl::Screen->SetCursorAlias(crKitMultiDragAlt, gcl::crMultiDrag);
    }
    RegisterUnitVersion(UnitVersionInstance(), LibUtilsUnitVersion);
}

void DoneLibUtils() { UnregisterModuleUnitVersions(UnitVersionInstance()); }

} // namespace

gcl::TUnit KitLibUtilsUnit{"KitLibUtils", &InitLibUtils, &DoneLibUtils};

} // namespace qelvo
