// The themed spin button: an up/down button pair drawn as a theme
// edit-button, repeating its click while held.
#pragma once

#include "gcl/rtl/WinApi.h"

#include "gcl/Controls.h"
#include "gcl/Timers.h"
#include "theming/Tx.h"

namespace qelvo {

class TTxcSpinButton : public gcl::TWinControl {
    GCL_CLASS(TTxcSpinButton, gcl::TWinControl)
public:
    enum : uint8_t { LookNormal, LookOver, LookDown };
    enum : uint8_t { HalfLower, HalfUpper, HalfNone };

    void Dispatch(gcl::TMessage& message) override;
    void BeforeDestruction() noexcept override;

    bool GetHotTracking() const noexcept { return FHotTracking; }
    void SetHotTracking(bool value);
    uint8_t GetLook() const noexcept { return FLook; }
    uint8_t GetPressedHalf() const noexcept { return FPressedHalf; }
    gcl::TTimer* GetRepeatTimer() const noexcept { return FTimer; }
    // One step: the lower half fires OnDownClick, the upper OnUpClick.
    void TimerTick(gcl::TObject* sender);

    gcl::TNotifyEvent OnUpClick;
    gcl::TNotifyEvent OnDownClick;

protected:
    explicit TTxcSpinButton(gcl::TComponent* owner);

    void MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;
    void MouseMove(gcl::TShiftState shift, int x, int y) override;
    void MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;

private:
    uint8_t HalfAt(int y) const noexcept { return y <= GetHeight() / 2 ? HalfUpper : HalfLower; }
    void PaintButtons(HDC dc);

    uint8_t FLook = LookNormal;
    bool FInside = false;
    bool FPressed = false;
    uint8_t FPressedHalf = HalfNone;
    gcl::TTimer* FTimer = nullptr;
    bool FFired = false;
    bool FHotTracking = true;
};

} // namespace qelvo
