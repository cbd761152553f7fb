// The extended controls' shared unit: the painting-style layer (XtPaint),
// the skin options and bitmap hint (XtSkins), and the unit's start-up,
// which makes the resources every extended control shares.
#pragma once

#include "controls/XtPaint.h"
#include "controls/XtSkins.h"
#include "gcl/rtl/Init.h"

namespace qelvo {

// Starts the theming layer (counted), then makes the hint bitmap, the
// hand cursor, the screen cursors crXtMove and crXtCancel (from the
// program's "CZMOVE" and "CZCANCEL", else the system's move and no-drop
// cursors), the theme nexus, the skin options and the glyph list of
// "XTGLYPHS" (empty without the resource).
extern gcl::TUnit XtItemUnit;

} // namespace qelvo
