// Small helpers of the repaint scenarios: what parts of the screen show,
// compared with what they show once the main window was painted whole.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "e2e/E2eDriver.h"

namespace qelvo::e2e {

inline bool HasVerticalBar(HWND w) { return (GetWindowLongA(w, GWL_STYLE) & WS_VSCROLL) != 0; }

// The pixels of some screen rectangles, one after the other.
inline std::vector<COLORREF> PixelsOfAll(const std::vector<RECT>& parts) {
    std::vector<COLORREF> pixels;
    for (const RECT& r : parts) {
        const std::vector<COLORREF> some = PixelsOf(r);
        pixels.insert(pixels.end(), some.begin(), some.end());
    }
    return pixels;
}

// Whether two pictures of the same parts are the same; says how many
// pixels differ and where the first one lies when not.
inline ::testing::AssertionResult SamePixels(const std::vector<COLORREF>& before, const std::vector<COLORREF>& after,
                                             const std::vector<RECT>& parts) {
    if (before == after) return ::testing::AssertionSuccess();
    size_t changed = 0;
    size_t first = after.size();
    for (size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (before[i] != after[i]) {
            ++changed;
            if (first == after.size()) first = i;
        }
    auto failure = ::testing::AssertionFailure() << changed << " pixels differ";
    // The part and place of the first, for the one who reads the failure.
    for (const RECT& r : parts) {
        const size_t width = static_cast<size_t>(std::max<LONG>(r.right - r.left, 1));
        const size_t size = width * static_cast<size_t>(std::max<LONG>(r.bottom - r.top, 0));
        if (first < size) {
            failure << ", the first at x " << r.left + static_cast<LONG>(first % width) << ", y "
                    << r.top + static_cast<LONG>(first / width) << " of the screen";
            break;
        }
        first -= std::min(first, size);
    }
    return failure;
}

// Whether the parts show what they show once the main window was painted
// whole again (its frame and every child); says where they differ when not.
inline ::testing::AssertionResult ShowsAsAWholeRepaint(const TProgram& p, HWND main, const std::vector<RECT>& parts) {
    p.Settle();
    const std::vector<COLORREF> before = PixelsOfAll(parts);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    p.Settle();
    return SamePixels(before, PixelsOfAll(parts), parts) << " from a repaint";
}

} // namespace qelvo::e2e
