// The themed tree view's border looks and painting.
#include "theming/TxcTreeView.h"

namespace qelvo {

GCL_PUBLISHED(TTxcTreeView,
    GCL_PROP(HotTracking).Default(true),
    GCL_PROP(Themed).Default(true))

TTxcTreeView::TTxcTreeView(gcl::TComponent* owner)
    : TTreeView(owner), FBorderCanvas(std::make_unique<TCanvas>()) {
    SetParentColor(false);
    SetDoubleBuffered(true);
    AddThemeListener(this);
}

TTxcTreeView::~TTxcTreeView() = default;

void TTxcTreeView::BeforeDestruction() noexcept {
    RemoveThemeListener(this);
    inherited::BeforeDestruction();
}

void TTxcTreeView::SetThemed(bool value) {
    FThemed = value;
    RedrawFrame();
}

void TTxcTreeView::SetHotTracking(bool value) {
    if (value == FHotTracking) return;
    FHotTracking = value;
    RedrawFrame();
}

void TTxcTreeView::MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    FBorder.MouseDown();
    RedrawFrame();
    inherited::MouseDown(button, shift, x, y);
}

void TTxcTreeView::MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) {
    FBorder.MouseUp(Focused());
    RedrawFrame();
    inherited::MouseUp(button, shift, x, y);
}

void TTxcTreeView::Resize() {
    RedrawFrame();
    inherited::Resize();
}

void TTxcTreeView::Dispatch(gcl::TMessage& message) {
    if (message.Msg == WM_SKIN_THEMECHANGE) {
        if (message.WParam == 2) RedrawFrame();
        return;
    }
    inherited::Dispatch(message);
    TxcBorderMessage(this, FBorder, FBorderCanvas.get(), FThemed, FHotTracking, message);
}

} // namespace qelvo
