// The themed panel: a standard panel whose border ring, or whole face, the
// current theme paints as a toolbar button. Also the pieces every themed
// standard control shares: the item record of a named state and the
// theme's background pass.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <string>

#include "gcl/ExtCtrls.h"
#include "gcl/ImgList.h"
#include "theming/Tx.h"

namespace qelvo {

// The record a themed standard control paints with: toolbar view type,
// options 0x21, no image, and the state flags of the state name ("normal",
// "over", "down", "checked", "checked-hot" or "checkedhot",
// "checked-down"; any other name sets none).
TTxItemInfo TxcStateInfo(const std::string& stateName, bool enabled);

// The theme's background pass over rect: PaintBackground in the toolbar
// colour, PaintDockBackground, then a second PaintBackground in
// secondColor when the theme asks for it (BooleanMetric 5), else a second
// PaintDockBackground.
void PaintTxcBackground(TCanvas* canvas, const TRect& rect, TColor secondColor);

// The face of a themed control inside rect: clipped to rect, the
// background pass over rect grown by (dx, dy) on each side, so that the
// theme's edges fall outside.
void PaintTxcClippedBackground(TCanvas* canvas, const TRect& rect, int dx, int dy);

// Runs paint(dc) on the DC of a WM_PAINT that carries one (a double
// buffer), else on the control's window DC.
template <class F>
void WithPaintDC(gcl::TWinControl* control, const gcl::TMessage& message, F paint) {
    if (message.WParam != 0) {
        paint(reinterpret_cast<HDC>(message.WParam));
        return;
    }
    if (!control->HandleAllocated()) return;
    const HWND wnd = control->GetHandle();
    const HDC dc = GetDC(wnd);
    try {
        paint(dc);
    } catch (...) {
        ReleaseDC(wnd, dc);
        throw;
    }
    ReleaseDC(wnd, dc);
}

// Replaces the image list a control shows (field), moving its change link
// and free notification from the old list to the new one.
void ReplaceImageList(gcl::TComponent* control, gcl::TCustomImageList*& field, gcl::TCustomImageList* value,
                      gcl::TChangeLink* link);

class TTxcPanel : public gcl::TPanel {
    GCL_CLASS(TTxcPanel, gcl::TPanel)
public:
    void Dispatch(gcl::TMessage& message) override;
    void BeforeDestruction() noexcept override;

    bool GetThemed() const noexcept { return FThemed; }
    void SetThemed(bool value);
    bool GetThemeBackground() const noexcept { return FThemeBackground; }
    void SetThemeBackground(bool value);

protected:
    explicit TTxcPanel(gcl::TComponent* owner);

    void Paint() override;

private:
    bool FThemed = true;
    bool FThemeBackground = false;
};

} // namespace qelvo
