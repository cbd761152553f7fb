// Light themed controls that paint on their parent's background: the panel
// object (hot tracking with one shared timer, a pushed state for the mouse
// and the Space key) and the text object (an auto-sized caption with
// margins, alignment and wrapping), and the text object's margins.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <memory>
#include <string>

#include "gcl/Controls.h"
#include "gcl/Graphics.h"
#include "gcl/Timers.h"
#include "theming/Tx.h"

namespace qelvo {

// Four margins; OnChange fires on every change and once after Assign.
class TTxControlMargins : public gcl::TPersistent {
    GCL_CLASS(TTxControlMargins, gcl::TPersistent)
public:
    TTxControlMargins() = default;
    void Assign(gcl::TPersistent* source) override;

    int32_t GetLeft() const noexcept { return FLeft; }
    void SetLeft(int32_t value) { SetValue(FLeft, value); }
    int32_t GetTop() const noexcept { return FTop; }
    void SetTop(int32_t value) { SetValue(FTop, value); }
    int32_t GetRight() const noexcept { return FRight; }
    void SetRight(int32_t value) { SetValue(FRight, value); }
    int32_t GetBottom() const noexcept { return FBottom; }
    void SetBottom(int32_t value) { SetValue(FBottom, value); }

    gcl::TNotifyEvent OnChange;

private:
    void SetValue(int32_t& field, int32_t value);
    void Changed();

    int32_t FLeft = 0;
    int32_t FTop = 0;
    int32_t FRight = 0;
    int32_t FBottom = 0;
};

// Panel option bit: paint double-buffered.
inline constexpr uint8_t poDoubleBuffered = 0x01;

class TTxPanelObject : public gcl::TCustomControl {
    GCL_CLASS(TTxPanelObject, gcl::TCustomControl)
public:
    void Dispatch(gcl::TMessage& message) override;
    void BeforeDestruction() noexcept override;

    bool GetMouseInControl() const noexcept { return FMouseInControl; }
    bool GetPushed() const noexcept { return FPushed; }
    uint8_t GetPanelOptions() const noexcept { return FPanelOptions; }
    void SetPanelOptions(uint8_t value);
    bool GetFocusOnlyWhenActive() const noexcept { return FFocusOnlyWhenActive; }
    void SetFocusOnlyWhenActive(bool value) noexcept { FFocusOnlyWhenActive = value; }
    bool GetSpacePushes() const noexcept { return FSpacePushes; }
    void SetSpacePushes(bool value) noexcept { FSpacePushes = value; }

    // The panel object whose mouse-over state the shared timer watches, or
    // null; and the number of live panel objects (the timer lives while
    // there is one).
    static TTxPanelObject* HotObject() noexcept;
    static gcl::TTimer* HotTimer() noexcept;

protected:
    explicit TTxPanelObject(gcl::TComponent* owner);
    ~TTxPanelObject() override;

    void CreateParams(gcl::TCreateParams& params) override;
    void MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;
    void MouseMove(gcl::TShiftState shift, int x, int y) override;
    void MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;
    void KeyDown(uint16_t& key, gcl::TShiftState shift) override;
    void KeyUp(uint16_t& key, gcl::TShiftState shift) override;

    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    virtual int GetCurrentHeight() { return GetHeight(); }
    virtual int GetCurrentWidth() { return GetWidth(); }

    // The hot-tracking steps: becoming and ceasing to be the control under
    // the mouse.
    void MouseEnter();
    void MouseLeave();
    void SetPushedState(bool value);

private:
    void HotTimerTick(gcl::TObject* sender);
    void StopHotTracking() noexcept;

    bool FFocusedByMouse = false;
    bool FMouseInControl = false;
    uint8_t FPanelOptions = 0;
    bool FPushed = false;
    bool FFocusOnlyWhenActive = false;
    bool FSpacePushes = false;
};

GCL_ENUM(TTextWrapping, twNone, twEndEllipsis, twPathEllipsis, twWrap)

class TTxTextObject : public TTxPanelObject {
    GCL_CLASS(TTxTextObject, TTxPanelObject)
public:
    void Dispatch(gcl::TMessage& message) override;

    gcl::TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(gcl::TAlignment value);
    TTxControlMargins* GetMargins() const noexcept { return FMargins.get(); }
    void SetMargins(TTxControlMargins* value) { FMargins->Assign(value); }
    TTextWrapping GetWrapping() const noexcept { return FWrapping; }
    void SetWrapping(TTextWrapping value);
    bool GetShowAccelChar() const noexcept { return FShowAccelChar; }
    void SetShowAccelChar(bool value);
    using gcl::TControl::GetCaption;
    using gcl::TControl::SetCaption;

    // Sets the height to the measured text height (AutoSize).
    void AdjustHeight();
    // The DrawText flags of the alignment, wrapping and accelerator settings.
    uint32_t GetDrawTextFlags();

protected:
    explicit TTxTextObject(gcl::TComponent* owner);
    ~TTxTextObject() override;

    void CreateParams(gcl::TCreateParams& params) override;
    void Paint() override;
    void Loaded() override;
    bool CanAutoSize(int& newWidth, int& newHeight) override;

    virtual void DoAdjustFont(gcl::TFont*) {}
    virtual void GetTextHeight(gcl::TCanvas* canvas, int& height);
    virtual int DoDrawText(gcl::TCanvas* canvas, TRect& rect, uint32_t flags);
    virtual void MarginsChanged();
    virtual void GetFocusRect(TRect& rect) { rect = TRect{}; }
    virtual void GetTextCaption(std::string& text) { text = GetCaption(); }
    virtual gcl::TAlignment GetAlignmentValue() { return FAlignment; }
    virtual void GetTextMargins(TRect& rect) { rect = TRect{}; }

private:
    void MarginsChange(gcl::TObject* sender);
    // Measures the height the text needs at the control's width.
    int MeasureHeight();

    gcl::TAlignment FAlignment = gcl::taLeftJustify;
    std::unique_ptr<TTxControlMargins> FMargins;
    TTextWrapping FWrapping = twNone;
    bool FShowAccelChar = true;
    bool FAdjusting = false;
};

} // namespace qelvo
