// The extent of wide text on a canvas (the wide function on every family).
#pragma once

#include <string>

#include "gcl/Graphics.h"

namespace qelvo {

// Gives the canvas a DC and its font, then measures the whole text with
// GetTextExtentPoint32W.
SIZE WideCanvasTextExtent(gcl::TCanvas* canvas, const std::wstring& text);
int WideCanvasTextWidth(gcl::TCanvas* canvas, const std::wstring& text);
int WideCanvasTextHeight(gcl::TCanvas* canvas, const std::wstring& text);

} // namespace qelvo
