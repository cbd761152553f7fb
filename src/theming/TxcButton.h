// The themed button: a push button drawn as a toolbar button of the
// current theme, with an optional glyph, a check state, exclusive groups,
// hot tracking and a focus look.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <memory>

#include "gcl/ImgList.h"
#include "gcl/StdCtrls.h"
#include "theming/Tx.h"

namespace qelvo {

GCL_ENUM(TGlyphLayout, glyLeft, glyRight, glyTop, glyBottom)
GCL_ENUM(TEllipsisStyle, esNone, esEndEllipsis, esPathEllipsis)

// The looks a themed button paints (the state chosen for the next paint).
enum TTxcButtonLook : uint8_t { blNormal, blOver, blDown, blChecked, blCheckedHot };

class TTxcButton : public gcl::TButton {
    GCL_CLASS(TTxcButton, gcl::TButton)
public:
    void Dispatch(gcl::TMessage& message) override;
    void BeforeDestruction() noexcept override;

    bool GetChecked() override { return FChecked; }
    void SetChecked(bool value) override;
    int GetGroupIndex() const noexcept { return FGroupIndex; }
    void SetGroupIndex(int value);
    gcl::TCustomImageList* GetImages() const noexcept { return FImages; }
    void SetImages(gcl::TCustomImageList* value);
    int GetImageIndex() const noexcept { return FImageIndex; }
    void SetImageIndex(int value);
    bool GetAutoSize() const noexcept { return FAutoSize; }
    void SetAutoSize(bool value) override;
    TGlyphLayout GetGlyphLayout() const noexcept { return FGlyphLayout; }
    void SetGlyphLayout(TGlyphLayout value);
    int GetGlyphSpacing() const noexcept { return FGlyphSpacing; }
    void SetGlyphSpacing(int value);
    TEllipsisStyle GetEllipsisStyle() const noexcept { return FEllipsisStyle; }
    void SetEllipsisStyle(TEllipsisStyle value);
    bool GetCheckable() const noexcept { return FCheckable; }
    void SetCheckable(bool value) noexcept { FCheckable = value; }
    bool GetFramed() const noexcept { return FFramed; }
    void SetFramed(bool value);
    bool GetAllowAllUp() const noexcept { return FAllowAllUp; }
    void SetAllowAllUp(bool value) noexcept { FAllowAllUp = value; }
    bool GetThemed() const noexcept { return FThemed; }
    void SetThemed(bool value);
    bool GetHotTracking() const noexcept { return FHotTracking; }
    void SetHotTracking(bool value);
    bool GetExtraFrame() const noexcept { return FExtraFrame; }
    void SetExtraFrame(bool value);
    bool GetShowFocus() const noexcept { return FShowFocus; }
    void SetShowFocus(bool value);

    TTxcButtonLook GetLook() const noexcept { return FLook; }
    bool GetMouseInside() const noexcept { return FMouseInside; }
    bool GetPressed() const noexcept { return FPressed; }
    // The state name the next paint uses.
    std::string PaintStateName();

    gcl::TNotifyEvent OnChange;

protected:
    explicit TTxcButton(gcl::TComponent* owner);
    ~TTxcButton() override;

    void Notification(gcl::TComponent* component, gcl::TOperation operation) override;
    void ActionChange(gcl::TObject* sender, bool checkDefaults) override;
    void MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;
    void MouseMove(gcl::TShiftState shift, int x, int y) override;
    void MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;
    void KeyDown(uint16_t& key, gcl::TShiftState shift) override;
    void KeyUp(uint16_t& key, gcl::TShiftState shift) override;

private:
    void Announce();
    void ApplyAutoSize();
    void ImageListChange(gcl::TObject* sender);
    void PaintThemed(HDC dc);
    bool HasGlyph() const noexcept { return FImages && FImageIndex >= 0; }

    bool FChecked = false;
    int FGroupIndex = 0;
    gcl::TCustomImageList* FImages = nullptr;
    std::unique_ptr<gcl::TChangeLink> FImageChangeLink;
    int FImageIndex = -1;
    bool FAutoSize = false;
    TGlyphLayout FGlyphLayout = glyLeft;
    int FGlyphSpacing = 4;
    TEllipsisStyle FEllipsisStyle = esNone;
    bool FCheckable = false;
    bool FFramed = true;
    bool FAllowAllUp = false;
    std::unique_ptr<gcl::TControlCanvas> FCanvas;
    bool FThemed = true;
    bool FHotTracking = true;
    bool FExtraFrame = false;
    TTxcButtonLook FLook = blNormal;
    bool FMouseInside = false;
    bool FPressed = false;
    bool FShowFocus = true;
};

// The size of text drawn in font (one line, with accelerator marks).
gcl::TSize MeasureTextInFont(gcl::TFont* font, const std::string& text);

} // namespace qelvo
