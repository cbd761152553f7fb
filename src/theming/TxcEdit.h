// The themed edit: a standard single-line edit whose border the current
// theme draws, following the mouse and the focus. Also the border looks
// and the border painter the themed tree view shares.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <string>

#include "gcl/StdCtrls.h"
#include "theming/Tx.h"

namespace qelvo {

// The look of a themed border: normal, over or down, and whether the mouse
// is inside. Each step answers whether the frame should be redrawn.
struct TTxcBorderLook {
    enum : uint8_t { Normal, Over, Down };
    bool Inside = false;
    uint8_t Look = Normal;

    bool MouseEnter(bool focused, bool hotTracking) noexcept;
    bool MouseLeave(bool focused, bool hotTracking) noexcept;
    void MouseDown() noexcept { Look = Down; }
    void MouseUp(bool focused) noexcept;
    // The state name the border paints with.
    std::string StateName(bool hotTracking, bool focused, bool designing, bool enabled) const;
};

// Paints the themed border ring of a control's window into its window DC
// on canvas, in the given state; the ring inside it gets color.
void PaintTxcBorder(gcl::TWinControl* control, TCanvas* canvas, const std::string& stateName, TColor color);
// RedrawWindow over the client rectangle with the frame (0x501).
void RedrawTxcFrame(gcl::TWinControl* control);

// The border's share of a message, after the control's own handling: the
// look transitions (mouse enter and leave, focus), redraws, and the
// themed border after the standard non-client painting (on canvas).
void TxcBorderMessage(gcl::TWinControl* control, TTxcBorderLook& look, TCanvas* canvas, bool themed,
                      bool hotTracking, gcl::TMessage& message);

class TTxcEdit : public gcl::TEdit {
    GCL_CLASS(TTxcEdit, gcl::TEdit)
public:
    void Dispatch(gcl::TMessage& message) override;
    void BeforeDestruction() noexcept override;

    bool GetThemed() const noexcept { return FThemed; }
    void SetThemed(bool value);
    gcl::TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(gcl::TAlignment value);
    bool GetDefaultPasswordSymbol() const noexcept { return FDefaultPasswordSymbol; }
    void SetDefaultPasswordSymbol(bool value);
    bool GetHotTracking() const noexcept { return FHotTracking; }
    void SetHotTracking(bool value);
    const TTxcBorderLook& GetBorderLook() const noexcept { return FBorder; }
    void RedrawFrame() { RedrawTxcFrame(this); }

protected:
    explicit TTxcEdit(gcl::TComponent* owner);

    void CreateParams(gcl::TCreateParams& params) override;
    void MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;
    void MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;
    void Resize() override;

private:
    TTxcBorderLook FBorder;
    bool FThemed = true;
    gcl::TAlignment FAlignment = gcl::taLeftJustify;
    bool FDefaultPasswordSymbol = false;
    bool FHotTracking = true;
};

} // namespace qelvo
