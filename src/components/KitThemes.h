// Theme support of the extended controls: the control-style routine that
// takes only the theme-related flags. (The class library already keeps a
// device context's state around WM_PRINTCLIENT painting, so no start-up fix
// is needed for printing controls into a device context.)
#pragma once

#include "gcl/Controls.h"

namespace qelvo {

// Adds to the control's style the members of style that concern themes
// (csNeedsBorderPaint, csParentBackground); the others are ignored.
void IncludeThemeStyle(gcl::TControl* control, gcl::TControlStyle style);

} // namespace qelvo
