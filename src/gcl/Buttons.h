// The speed button: a windowless button with a glyph and a caption that
// can stay down, alone (AllowAllUp) or as one of a group (GroupIndex).
#pragma once

#include <memory>

#include "gcl/Controls.h"
#include "gcl/Graphics.h"
#include "gcl/rtl/Init.h"

namespace gcl {

GCL_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
GCL_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)

class TSpeedButton : public TGraphicControl {
    GCL_CLASS(TSpeedButton, TGraphicControl)
public:
    using TControl::GetCaption;
    using TControl::SetCaption;

    bool GetAllowAllUp() const noexcept { return FAllowAllUp; }
    // Tells the other buttons of the group too.
    void SetAllowAllUp(bool value);
    // Buttons of one parent with the same non-zero GroupIndex: one is down
    // at a time. 0: the button never stays down.
    int GetGroupIndex() const noexcept { return FGroupIndex; }
    void SetGroupIndex(int value);
    bool GetDown() const noexcept { return FDown; }
    // Down needs a GroupIndex; a down button goes up only with AllowAllUp.
    void SetDown(bool value);
    bool GetFlat() const noexcept { return FFlat; }
    void SetFlat(bool value);
    TBitmap* GetGlyph() const noexcept { return FGlyph.get(); }
    void SetGlyph(TBitmap* value);
    // Images side by side in Glyph: up, disabled, down, down and stuck.
    int GetNumGlyphs() const noexcept { return FNumGlyphs; }
    void SetNumGlyphs(int value);
    TButtonLayout GetLayout() const noexcept { return FLayout; }
    void SetLayout(TButtonLayout value);
    // Pixels between the edge and the glyph (-1: centred).
    int GetMargin() const noexcept { return FMargin; }
    void SetMargin(int value);
    // Pixels between glyph and caption.
    int GetSpacing() const noexcept { return FSpacing; }
    void SetSpacing(int value);
    bool GetTransparent() const noexcept { return FTransparent; }
    void SetTransparent(bool value);
    TButtonState GetState() const noexcept { return FState; }
    bool GetMouseInControl() const noexcept { return FMouseInControl; }

    void Dispatch(TMessage& message) override;

protected:
    // Down and GroupIndex follow the action.
    TBasicActionLinkClass GetActionLinkClass() const override;
    explicit TSpeedButton(TComponent* owner);
    ~TSpeedButton() override;

    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void GlyphChanged(TObject* sender);
    void UpdateExclusive();
    void DrawFace(HDC dc, const RECT& rect);
    void DrawGlyphAndCaption(TRect rect);

    std::unique_ptr<TBitmap> FGlyph;
    TButtonState FState = bsUp;
    TButtonLayout FLayout = blGlyphLeft;
    int FGroupIndex = 0;
    int FNumGlyphs = 1;
    int FMargin = -1;
    int FSpacing = 4;
    bool FDown = false;
    bool FAllowAllUp = false;
    bool FFlat = false;
    bool FTransparent = true;
    bool FDragging = false;
    bool FMouseInControl = false;
};

extern TUnit ButtonsUnit;

} // namespace gcl
