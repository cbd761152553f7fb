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

// The screen rectangle of the caret of Window's thread; empty when it has
// none.
inline RECT CaretRectOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    RECT r{};
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndCaret) return r;
    r = info.rcCaret;
    MapWindowPoints(info.hwndCaret, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Blanks in a picture of the parts (PixelsOfAll) what lies in Hole.
inline void BlankPixelsIn(std::vector<COLORREF>& pixels, const std::vector<RECT>& parts, const RECT& hole) {
    size_t start = 0;
    for (const RECT& r : parts) {
        const LONG width = std::max<LONG>(r.right - r.left, 1);
        const LONG height = std::max<LONG>(r.bottom - r.top, 0);
        for (LONG y = std::max(hole.top, r.top); y < std::min(hole.bottom, r.top + height); ++y)
            for (LONG x = std::max(hole.left, r.left); x < std::min(hole.right, r.left + width); ++x) {
                const size_t i = start + static_cast<size_t>((y - r.top) * width + (x - r.left));
                if (i < pixels.size()) pixels[i] = 0;
            }
        start += static_cast<size_t>(width) * static_cast<size_t>(height);
    }
}

// Whether the parts show what they show once the main window was painted
// whole again (its frame and every child); says where they differ when not.
// The caret is left out: it blinks on its own timer, and a loaded machine
// can take longer than a blink between the two pictures.
inline ::testing::AssertionResult ShowsAsAWholeRepaint(const TProgram& p, HWND main, const std::vector<RECT>& parts) {
    p.Settle();
    std::vector<COLORREF> before = PixelsOfAll(parts);
    const RECT caretBefore = CaretRectOf(main);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    p.Settle();
    std::vector<COLORREF> after = PixelsOfAll(parts);
    for (const RECT& caret : {caretBefore, CaretRectOf(main)}) {
        BlankPixelsIn(before, parts, caret);
        BlankPixelsIn(after, parts, caret);
    }
    return SamePixels(before, after, parts) << " from a repaint";
}

} // namespace qelvo::e2e
