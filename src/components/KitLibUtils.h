// Library-wide start-up of the components: the screen cursors the
// components' drag operations use.
#pragma once

#include "gcl/rtl/Init.h"

namespace qelvo {

// The screen cursors the components drag with: 100, 102 and 103 show the
// system's multi-drag cursor, 101 the drag cursor.
inline constexpr short crKitMultiDrag = 100;
inline constexpr short crKitDrag = 101;
inline constexpr short crKitMultiDragLink = 102;
inline constexpr short crKitMultiDragAlt = 103;

// Needs the screen (FormsUnit).
extern gcl::TUnit KitLibUtilsUnit;

} // namespace qelvo
