// The themed combo box: a standard combo box whose border and drop-down
// button the current theme draws, following the mouse, the focus and the
// drop-down state.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <string>

#include "gcl/StdCtrls.h"
#include "theming/Tx.h"
#include "theming/TxcEdit.h"

namespace qelvo {

class TTxcComboBox : public gcl::TComboBox {
    GCL_CLASS(TTxcComboBox, gcl::TComboBox)
public:
    void Dispatch(gcl::TMessage& message) override;
    void BeforeDestruction() noexcept override;

    bool GetThemed() const noexcept { return FThemed; }
    void SetThemed(bool value);
    bool GetHotTracking() const noexcept { return FHotTracking; }
    void SetHotTracking(bool value);
    bool GetThemedSelect() const noexcept { return FThemedSelect; }
    void SetThemedSelect(bool value);
    bool GetCoverBorder() const noexcept { return FCoverBorder; }
    void SetCoverBorder(bool value);
    const TTxcBorderLook& GetBorderLook() const noexcept { return FBorder; }
    // The state the frame paints with: "normal", "over" or "down".
    std::string FrameStateName();
    // Paints the themed frame and drop-down button onto dc.
    void PaintFrame(HDC dc);

protected:
    explicit TTxcComboBox(gcl::TComponent* owner);

    void MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;
    void MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;
    void DropDown() override;
    void CloseUp() override;

private:
    // The combo box or its edit window has the focus.
    bool HasFocus();

    TTxcBorderLook FBorder;
    bool FThemed = true;
    bool FHotTracking = true;
    bool FThemedSelect = false;
    bool FCoverBorder = false;
};

} // namespace qelvo
