// The components' drag cursors on the screen object.
#include "components/KitLibUtils.h"

#include "components/KitUnitVersioning.h"
#include "gcl/Forms.h"

namespace qelvo {

namespace {

const TUnitVersionInfo UnitVersion{"KitLibUtils.cpp", "1.0", "2026-12-07", "components", "", nullptr};

void Init() {
    if (gcl::Screen) {
        HCURSOR multiDrag = gcl::Screen->GetCursors(gcl::crMultiDrag);
        gcl::Screen->SetCursors(crKitMultiDrag, multiDrag);
        gcl::Screen->SetCursors(crKitDrag, gcl::Screen->GetCursors(gcl::crDrag));
        gcl::Screen->SetCursors(crKitMultiDragLink, multiDrag);
        gcl::Screen->SetCursors(crKitMultiDragAlt, multiDrag);
    }
    RegisterUnitVersion(UnitVersionInstance(), UnitVersion);
}

void Done() { UnregisterModuleUnitVersions(UnitVersionInstance()); }

} // namespace

gcl::TUnit KitLibUtilsUnit{"KitLibUtils", &Init, &Done};

} // namespace qelvo
