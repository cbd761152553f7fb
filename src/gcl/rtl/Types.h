// Small value types shared by the event signatures: points and rectangles
// (laid out like the Win32 POINT and RECT), the shift state and the mouse
// buttons.
#pragma once

#include <cstdint>

#include "gcl/rtl/Sets.h"

namespace gcl {

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    friend constexpr bool operator==(const TPoint&, const TPoint&) noexcept = default;
};

// Left, top, right, bottom; right and bottom are exclusive.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    constexpr int32_t Width() const noexcept { return Right - Left; }
    constexpr int32_t Height() const noexcept { return Bottom - Top; }
    friend constexpr bool operator==(const TRect&, const TRect&) noexcept = default;
};

constexpr TPoint Point(int32_t x, int32_t y) noexcept { return {x, y}; }
constexpr TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) noexcept {
    return {left, top, right, bottom};
}

GCL_ENUM(TShiftStateItem, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)
using TShiftState = TSet<TShiftStateItem>;

GCL_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle)

} // namespace gcl
