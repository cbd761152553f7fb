// Panels: a container with the standard raised or lowered bevels, a
// border and a caption.
#pragma once

#include "gcl/Controls.h"
#include "gcl/StdCtrls.h"
#include "gcl/rtl/Init.h"

namespace gcl {

// A container that paints its own frame in the client area: the outer
// bevel, BorderWidth pixels in its colour, the inner bevel, then the
// caption in the middle (Alignment decides left, right or centre). The
// children are aligned inside the frame. These bevels are the panel's own
// (drawn in the client area), not the non-client bevels of TWinControl.
class TCustomPanel : public TCustomControl {
    GCL_CLASS(TCustomPanel, TCustomControl)
public:
    using TControl::GetCaption;
    using TControl::SetCaption;

    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment value);
    TBevelCut GetBevelInner() const noexcept { return FBevelInner; }
    void SetBevelInner(TBevelCut value);
    TBevelCut GetBevelOuter() const noexcept { return FBevelOuter; }
    void SetBevelOuter(TBevelCut value);
    TBevelWidth GetBevelWidth() const noexcept { return FBevelWidth; }
    void SetBevelWidth(TBevelWidth value);
    TBorderWidth GetBorderWidth() const noexcept { return FBorderWidth; }
    void SetBorderWidth(TBorderWidth value);
    using TWinControl::GetBorderStyle;
    using TWinControl::SetBorderStyle;
    // True: the whole panel repaints when it is resized.
    bool GetFullRepaint() const noexcept { return FFullRepaint; }
    void SetFullRepaint(bool value);
    // Kept for form files; the panel does nothing with it.
    bool GetLocked() const noexcept { return FLocked; }
    void SetLocked(bool value) noexcept { FLocked = value; }
    // The size of the frame on each side (border and bevels).
    int FrameSize() const noexcept;

    void Dispatch(TMessage& message) override;

protected:
    explicit TCustomPanel(TComponent* owner);

    void CreateParams(TCreateParams& params) override;
    void AdjustClientRect(TRect& rect) override;
    void Paint() override;

private:
    TAlignment FAlignment = taCenter;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    TBevelWidth FBevelWidth = 1;
    TBorderWidth FBorderWidth = 0;
    bool FFullRepaint = true;
    bool FLocked = false;
};

class TPanel : public TCustomPanel {
    GCL_CLASS(TPanel, TCustomPanel)
protected:
    explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

// Draws width nested frames inside rect (which shrinks by width on each
// side): the top and left edges in topColor, the bottom and right edges in
// bottomColor.
void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

extern TUnit ExtCtrlsUnit;

} // namespace gcl
