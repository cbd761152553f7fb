// Saves what a window shows on the screen, for looking at test forms.
#pragma once

#include <string>

namespace qelvo::test {

// Copies the screen area of window (an HWND) into a 24-bit BMP file named
// fileName beside the test executable (the folder QELVO_SCREENSHOT_DIR
// names, when set). Returns the number of colour changes seen on a coarse
// walk over the picture (a blank window gives a handful), or -1 when the
// file could not be written.
int SaveWindowScreenshot(void* window, const std::string& fileName);

} // namespace qelvo::test
