#include "unicode/UniGraphics.h"

#include <climits>

namespace qelvo {

SIZE WideCanvasTextExtent(gcl::TCanvas* canvas, const std::wstring& text) {
    SIZE size{0, 0};
    canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
    int n = text.size() > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(text.size());
    GetTextExtentPoint32W(canvas->GetHandle(), text.c_str(), n, &size);
    return size;
}

int WideCanvasTextWidth(gcl::TCanvas* canvas, const std::wstring& text) {
    return WideCanvasTextExtent(canvas, text).cx;
}

int WideCanvasTextHeight(gcl::TCanvas* canvas, const std::wstring& text) {
    return WideCanvasTextExtent(canvas, text).cy;
}

} // namespace qelvo
