// Popup animation: a popup about to be shown fades in (alpha blending of a
// layered window) or slides in from the side it opens towards, from a
// snapshot taken before it shows. A worker thread keeps time and posts one
// step message at a time; all drawing happens on the popup's own thread.
// One animation runs per thread.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>

#include "gcl/rtl/Init.h"
#include "gcl/rtl/Objects.h"

namespace qelvo {

// Posted by the worker: draw the next step (LParam the animation number).
inline constexpr UINT WM_ANIM_STEP = 0x955;
// Sent (SendNotifyMessage) when the animation has ended and the final
// image is on screen.
inline constexpr UINT WM_ANIM_DONE = 0x956;

// Starts the animation of Wnd, whose position and size are final and which
// is not yet visible; the window is shown without being painted. Fade
// falls back to a slide where the system cannot blend. Direction: the
// popup's opening side (1 leftward, 2 rightward, 4 downward, 8 upward).
void StartPopupAnimation(HWND Wnd, bool Fade, uint8_t Direction);
// The animated window's handler of WM_ANIM_STEP.
void StepPopupAnimation(const gcl::TMessage& Message);
// Ends the running animation at once with the full image: with Wnd, only
// when Wnd is the window animated; with null, whatever runs on this thread.
void CancelPopupAnimation(HWND Wnd);
// Whether an animation of Wnd (any window when null) runs on this thread.
bool PopupAnimationRunning(HWND Wnd) noexcept;

// Its finalisation ends the running animation of the finalising thread.
extern gcl::TUnit BarAnimUnit;

} // namespace qelvo
