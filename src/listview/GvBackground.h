// The list view's background: an optional image (tiled or placed once,
// opaque, transparent or blended) and an optional caption, painted before
// groups and items; and the alpha blender the painting shares.
#pragma once

#include "listview/GvSort.h"

namespace qelvo {

// Blends rectangles of a canvas with a colour.
class TGvAlphaBlender : public TGvPersistent {
    GCL_CLASS(TGvAlphaBlender, TGvPersistent)
public:
    TGvAlphaBlender() = default;
    // Blends Rect (view coordinates with ViewCoordinates, else window
    // coordinates, clipped to the client area) of the bitmap selected into
    // Canvas with Color at the constant Alpha.
    void Blend(TCustomGvListview* ListView, gcl::TCanvas* Canvas, bool ViewCoordinates, uint8_t Alpha,
               gcl::TColor Color, const gcl::TRect& Rect);
    // Draws Bitmap centred in Rect, blended with the colour the item's
    // state asks for (selected, hilighted, or disabled in a focused list
    // view), else as it is.
    void BlendBitmap(TCustomGvListview* ListView, TGvItem* Item, gcl::TBitmap* Bitmap, const gcl::TRect& Rect,
                     gcl::TCanvas* Canvas);
    // How an item's image is blended: alpha and colour, and whether at all.
    static bool BlendParameters(TCustomGvListview* ListView, TGvItem* Item, uint8_t& Alpha, gcl::TColor& Color);
};

class TGvBackgroundManager : public TGvOwnedPersistent {
    GCL_CLASS(TGvBackgroundManager, TGvOwnedPersistent)
public:
    explicit TGvBackgroundManager(TCustomGvListview* AOwner);
    ~TGvBackgroundManager() override;
    // Copies the image, Enabled, OffsetX, OffsetY and Tile.
    void Assign(gcl::TPersistent* Source) override;

    bool GetAlphaBlend() const noexcept { return FAlphaBlend; }
    void SetAlphaBlend(bool Value);
    gcl::TBitmap* GetAlphaImage() const noexcept { return FAlphaImage.get(); }
    void SetAlphaImage(gcl::TBitmap* Value);
    int GetBlendAlpha() const noexcept { return FBlendAlpha; }
    void SetBlendAlpha(int Value);
    TCommonBlendMode GetBlendMode() const noexcept { return FBlendMode; }
    void SetBlendMode(TCommonBlendMode Value);
    const std::wstring& GetCaption() const noexcept { return FCaption; }
    void SetCaption(const std::wstring& Value);
    TAlignment GetCaptionAlignment() const noexcept { return FCaptionAlignment; }
    void SetCaptionAlignment(TAlignment Value);
    bool GetCaptionShow() const noexcept { return FCaptionShow; }
    void SetCaptionShow(bool Value);
    bool GetCaptionShowOnlyWhenEmpty() const noexcept { return FCaptionShowOnlyWhenEmpty; }
    void SetCaptionShowOnlyWhenEmpty(bool Value);
    bool GetCaptionSingleLine() const noexcept { return FCaptionSingleLine; }
    void SetCaptionSingleLine(bool Value);
    TCommonVAlignment GetCaptionVAlignment() const noexcept { return FCaptionVAlignment; }
    void SetCaptionVAlignment(TCommonVAlignment Value);
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value);
    gcl::TBitmap* GetImage() const noexcept { return FImage.get(); }
    void SetImage(gcl::TBitmap* Value);
    bool GetOffsetTrack() const noexcept { return FOffsetTrack; }
    void SetOffsetTrack(bool Value);
    int GetOffsetX() const noexcept { return FOffsetX; }
    void SetOffsetX(int Value);
    int GetOffsetY() const noexcept { return FOffsetY; }
    void SetOffsetY(int Value);
    bool GetTile() const noexcept { return FTile; }
    void SetTile(bool Value);
    bool GetTransparent() const noexcept { return FTransparent; }
    void SetTransparent(bool Value);
    TGvAlphaBlender* GetAlphaBlender() const noexcept { return FAlphaBlender.get(); }

    // Paints ARect (window coordinates) of the background.
    void PaintTo(gcl::TCanvas* ACanvas, const gcl::TRect& ARect, bool PaintDefault);
    // The control moved by (DeltaX, DeltaY): under OffsetTrack the image
    // offset follows.
    void ControlMoved(int DeltaX, int DeltaY);
    // The left (top) edge of the first tile for an offset and image size:
    // less than one image size left of (above) the area's origin.
    static int FirstTile(int Offset, int Size);

private:
    void Changed();
    bool FAlphaBlend = false;
    std::unique_ptr<gcl::TBitmap> FAlphaImage;
    int FBlendAlpha = 128;
    TCommonBlendMode FBlendMode = cbmConstantAlphaAndColor;
    std::wstring FCaption;
    TAlignment FCaptionAlignment = taCenter;
    bool FCaptionShow = false;
    bool FCaptionShowOnlyWhenEmpty = true;
    bool FCaptionSingleLine = true;
    TCommonVAlignment FCaptionVAlignment = cvaCenter;
    bool FEnabled = false;
    std::unique_ptr<gcl::TBitmap> FImage;
    bool FOffsetTrack = false;
    int FOffsetX = 0;
    int FOffsetY = 0;
    bool FTile = true;
    bool FTransparent = false;
    std::unique_ptr<TGvAlphaBlender> FAlphaBlender;
};

} // namespace qelvo
