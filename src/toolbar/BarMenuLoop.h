// The modal menu loop: while a menu bar, a toolbar's drop-down or a popup
// menu is open, this loop holds the mouse capture on one window, routes
// every mouse and keyboard message and the view timers to the views of the
// open chain and stops when a view records how the menu ends, when the
// capture or the active window changes, or on a click outside (which stays
// queued for its target). Part of the BarItem unit (include
// toolbar/BarItem.h).
#pragma once

#include <cstdint>

#include "toolbar/BarItem.h"

namespace qelvo {

// Options of TBarView::RunToolbarMenu.
inline constexpr int tbrmMouseDown = 1;          // a mouse press started the menu
inline constexpr int tbrmExecuteSelected = 2;    // execute the selection at once
inline constexpr int tbrmFromAccessibility = 4;  // started by an accessibility client

// Owns the capture window of one menu loop: made before the loop, freed
// after it. The capture, the foreground lock and the menu start and end
// events follow its lifetime.
class TBarModalHandler {
public:
    // ExistingWnd null: the handler makes a hidden window of its own.
    explicit TBarModalHandler(HWND ExistingWnd);
    ~TBarModalHandler();
    TBarModalHandler(const TBarModalHandler&) = delete;
    TBarModalHandler& operator=(const TBarModalHandler&) = delete;

    HWND GetWnd() const noexcept { return FWnd; }
    // The top popup window while the loop of a popup menu runs; a
    // WM_CANCELMODE to the handler's own window cancels its chain.
    TBarPopupWindow* GetTopPopup() const noexcept { return FTopPopup; }
    void SetTopPopup(TBarPopupWindow* Value) noexcept { FTopPopup = Value; }

    // Runs the loop on RootView's chain; the outcome is in RootView's
    // done action.
    void RunMenuLoop(TBarView* RootView, bool MouseDown, bool ExecuteSelected, bool FromAccessibility,
                     bool TrackRightButton);

private:
    void WndProc(gcl::TMessage& Message);

    bool FOwnsWnd = false;
    bool FMenuStartSent = false;
    HWND FWnd = nullptr;
    TBarPopupWindow* FTopPopup = nullptr;
};

// In X of the menu loop's last mouse position (TBarView::MenuLoopMousePos):
// read the position again.
inline constexpr int MenuLoopMousePosInvalid = INT32_MIN;

} // namespace qelvo
