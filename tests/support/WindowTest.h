// Helpers for tests that need real windows (win32 build, under Wine and Xvfb).
#pragma once

#include <functional>

namespace qelvo::test {

// Processes pending messages of this thread for at most `milliseconds`,
// or until `done` returns true. Returns whether `done` became true
// (always true when no predicate is given and the time ran out).
bool PumpMessages(unsigned milliseconds, const std::function<bool()>& done = {});

// Moves the mouse pointer to a corner of the screen outside the window
// `window` (an HWND), so that what the window hot-tracks comes from the
// test alone and not from wherever earlier programs left the pointer.
void MovePointerOutside(void* window);

// A hidden top-level window owned by the test, for parenting controls and
// receiving messages. Destroyed with the object.
class HiddenTestWindow {
public:
    HiddenTestWindow();
    ~HiddenTestWindow();
    HiddenTestWindow(const HiddenTestWindow&) = delete;
    HiddenTestWindow& operator=(const HiddenTestWindow&) = delete;
    void* Handle() const { return FHandle; }   // an HWND

private:
    void* FHandle;
};

} // namespace qelvo::test
