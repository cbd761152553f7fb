// The theme control-style routine.
#include "components/KitThemes.h"

namespace qelvo {

void IncludeThemeStyle(gcl::TControl* control, gcl::TControlStyle style) {
    if (!control) return;
    gcl::TControlStyle themed = style & gcl::TControlStyle{gcl::csNeedsBorderPaint, gcl::csParentBackground};
    control->SetControlStyle(control->GetControlStyle() | themed);
}

} // namespace qelvo
