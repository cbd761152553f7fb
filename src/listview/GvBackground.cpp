// The background manager and the alpha blender.
#include "listview/GvInternal.h"

namespace qelvo {

using namespace gvdetail;

GCL_IMPLEMENT_CLASS(TGvAlphaBlender)

GCL_PUBLISHED(TGvBackgroundManager,
    GCL_PROP(AlphaBlend).Default(false),
    GCL_PROP(AlphaImage),
    GCL_PROP(BlendAlpha).Default(128),
    GCL_PROP(BlendMode).Default(cbmConstantAlphaAndColor),
    GCL_PROP(Caption),
    GCL_PROP(CaptionAlignment).Default(taCenter),
    GCL_PROP(CaptionShow).Default(false),
    GCL_PROP(CaptionShowOnlyWhenEmpty).Default(true),
    GCL_PROP(CaptionSingleLine).Default(true),
    GCL_PROP(CaptionVAlignment).Default(cvaCenter),
    GCL_PROP(Enabled).Default(false),
    GCL_PROP(Image),
    GCL_PROP(OffsetTrack).Default(false),
    GCL_PROP(OffsetX).Default(0),
    GCL_PROP(OffsetY).Default(0),
    GCL_PROP(Tile).Default(true),
    GCL_PROP(Transparent).Default(false))

// ---- Alpha blender ---------------------------------------------------------------------------

void TGvAlphaBlender::Blend(TCustomGvListview* ListView, gcl::TCanvas* Canvas, bool ViewCoordinates, uint8_t Alpha,
                            gcl::TColor Color, const TRect& Rect) {
    if (!ListView || !Canvas || gcl::IsRectEmpty(Rect)) return;
    HDC dc = Canvas->GetHandle();
    BITMAP info{};
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info) || info.bmBitsPixel != 32) return;
    TRect area;
    if (ViewCoordinates && ListView->GetScrollbars()) {
        const TRect whole = ListView->GetScrollbars()->MapWindowRectToViewRect(TRect{0, 0, info.bmWidth, info.bmHeight});
        if (!gcl::IntersectRect(area, whole, Rect)) return;
        area = ListView->GetScrollbars()->MapViewRectToWindowRect(area);
    } else if (!gcl::IntersectRect(area, Rect, ClientRectOf(ListView))) {
        return;
    }
    const gcl::TColor rgb = gcl::ColorToRGB(Color);
    AlphaBlend(dc, dc, area, static_cast<int32_t>(rgb), Alpha, cbmConstantAlphaAndColor, TPoint{area.Left, area.Top});
}

bool TGvAlphaBlender::BlendParameters(TCustomGvListview* ListView, TGvItem* Item, uint8_t& Alpha, gcl::TColor& Color) {
    if (!ListView || !Item) return false;
    TGvSelectionManager* selection = ListView->GetSelection();
    const bool focused = ListView->PaintsFocused();
    if (focused && Item->GetEnabled()) {
        Alpha = selection->GetBlendAlphaImage();
        Color = selection->GetColor();
    } else if (focused) {
        Alpha = ListView->GetDisabledBlendAlpha();
        Color = ListView->GetDisabledBlendColor();
    } else {
        Alpha = ListView->GetDisabledBlendAlpha();
        Color = selection->GetInactiveColor();
    }
    return Item->GetSelected() || Item->GetDropTarget() || (!Item->GetEnabled() && focused);
}

void TGvAlphaBlender::BlendBitmap(TCustomGvListview* ListView, TGvItem* Item, gcl::TBitmap* Bitmap, const TRect& Rect,
                                  gcl::TCanvas* Canvas) {
    if (!Bitmap || !Canvas || gcl::IsRectEmpty(Rect)) return;
    const int left = Rect.Left + (Rect.Width() - Bitmap->GetWidth()) / 2;
    const int top = Rect.Top + (Rect.Height() - Bitmap->GetHeight()) / 2;
    uint8_t alpha = 0;
    gcl::TColor color = gcl::clNone;
    if (!BlendParameters(ListView, Item, alpha, color) || Bitmap->GetEmpty()) {
        Canvas->Draw(left, top, Bitmap);
        return;
    }
    gcl::TBitmap copy;
    copy.Assign(Bitmap);
    copy.SetPixelFormat(gcl::pf32bit);
    copy.SetTransparent(Bitmap->GetTransparent());
    copy.SetTransparentColor(Bitmap->GetTransparentColor());
    HDC dc = copy.GetCanvas()->GetHandle();
    AlphaBlend(dc, dc, TRect{0, 0, copy.GetWidth(), copy.GetHeight()}, static_cast<int32_t>(gcl::ColorToRGB(color)),
               alpha, cbmConstantAlphaAndColor, TPoint{0, 0});
    Canvas->Draw(left, top, &copy);
}

// ---- Background manager ----------------------------------------------------------------------

TGvBackgroundManager::TGvBackgroundManager(TCustomGvListview* AOwner)
    : TGvOwnedPersistent(AOwner),
      FAlphaImage(std::make_unique<gcl::TBitmap>()),
      FImage(std::make_unique<gcl::TBitmap>()),
      FAlphaBlender(std::make_unique<TGvAlphaBlender>()) {
    FAlphaImage->SetPixelFormat(gcl::pf32bit);
    FImage->SetPixelFormat(gcl::pf32bit);
}

TGvBackgroundManager::~TGvBackgroundManager() = default;

void TGvBackgroundManager::Changed() {
    if (FOwnerListview) FOwnerListview->SafeInvalidateRect(nullptr, false);
}

void TGvBackgroundManager::Assign(gcl::TPersistent* Source) {
    if (auto* source = dynamic_cast<TGvBackgroundManager*>(Source)) {
        FImage->Assign(source->FImage.get());
        FEnabled = source->FEnabled;
        FOffsetX = source->FOffsetX;
        FOffsetY = source->FOffsetY;
        FTile = source->FTile;
        Changed();
        return;
    }
    inherited::Assign(Source);
}

#define GV_BACKGROUND_SETTER(Name, Type)                      \
    void TGvBackgroundManager::Set##Name(Type Value) {        \
        if (Value == F##Name) return;                         \
        F##Name = Value;                                      \
        Changed();                                            \
    }
GV_BACKGROUND_SETTER(AlphaBlend, bool)
GV_BACKGROUND_SETTER(BlendAlpha, int)
GV_BACKGROUND_SETTER(BlendMode, TCommonBlendMode)
GV_BACKGROUND_SETTER(Caption, const std::wstring&)
GV_BACKGROUND_SETTER(CaptionAlignment, TAlignment)
GV_BACKGROUND_SETTER(CaptionShow, bool)
GV_BACKGROUND_SETTER(CaptionShowOnlyWhenEmpty, bool)
GV_BACKGROUND_SETTER(CaptionSingleLine, bool)
GV_BACKGROUND_SETTER(CaptionVAlignment, TCommonVAlignment)
GV_BACKGROUND_SETTER(Enabled, bool)
GV_BACKGROUND_SETTER(OffsetTrack, bool)
GV_BACKGROUND_SETTER(OffsetX, int)
GV_BACKGROUND_SETTER(OffsetY, int)
GV_BACKGROUND_SETTER(Tile, bool)
#undef GV_BACKGROUND_SETTER

void TGvBackgroundManager::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    FImage->SetTransparent(Value);
    Changed();
}

void TGvBackgroundManager::SetImage(gcl::TBitmap* Value) {
    FImage->Assign(Value);
    FImage->SetPixelFormat(gcl::pf32bit);
    FImage->SetTransparent(FTransparent);
    Changed();
}

void TGvBackgroundManager::SetAlphaImage(gcl::TBitmap* Value) {
    FAlphaImage->Assign(Value);
    FAlphaImage->SetPixelFormat(gcl::pf32bit);
    Changed();
}

void TGvBackgroundManager::ControlMoved(int DeltaX, int DeltaY) {
    if (!FOffsetTrack || (DeltaX == 0 && DeltaY == 0)) return;
    FOffsetX += DeltaX;
    FOffsetY += DeltaY;
    Changed();
}

int TGvBackgroundManager::FirstTile(int Offset, int Size) {
    if (Size <= 0) return 0;
    int start = Offset % Size;
    if (start > 0) start -= Size;
    return start;
}

void TGvBackgroundManager::PaintTo(gcl::TCanvas* ACanvas, const TRect& ARect, bool PaintDefault) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv || !ACanvas) return;
    bool doDefault = true;
    lv->DoPaintBkGnd(ACanvas, ARect, FAlphaBlender.get(), doDefault);
    if (!doDefault) return;
    HDC dc = ACanvas->GetHandle();
    if (FEnabled && !FImage->GetEmpty()) {
        ACanvas->GetBrush()->SetStyle(gcl::bsSolid);
        ACanvas->GetBrush()->SetColor(lv->GetColor());
        ACanvas->FillRect(ARect);
        gcl::TBitmap* image = FImage.get();
        gcl::TBitmap blended;
        if (FAlphaBlend) {
            blended.Assign(FImage.get());
            blended.SetPixelFormat(gcl::pf32bit);
            const TRect whole{0, 0, blended.GetWidth(), blended.GetHeight()};
            HDC target = blended.GetCanvas()->GetHandle();
            if (FBlendMode == cbmConstantAlphaAndColor) {
                AlphaBlend(target, target, whole, static_cast<int32_t>(gcl::ColorToRGB(lv->GetColor())), FBlendAlpha,
                           cbmConstantAlphaAndColor, TPoint{0, 0});
                image = &blended;
            } else if (FAlphaImage->GetWidth() == blended.GetWidth() && FAlphaImage->GetHeight() == blended.GetHeight()) {
                AlphaBlend(FAlphaImage->GetCanvas()->GetHandle(), target, whole, 0, FBlendAlpha, FBlendMode,
                           TPoint{0, 0});
                image = &blended;
            }
        }
        const int w = image->GetWidth();
        const int h = image->GetHeight();
        auto drawAt = [&](int x, int y) {
            if (FTransparent)
                ACanvas->Draw(x, y, image);
            else
                BitBlt(dc, x, y, w, h, image->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
        };
        if (FTile && w > 0 && h > 0) {
            for (int y = FirstTile(FOffsetY, h); y < ARect.Bottom; y += h)
                for (int x = FirstTile(FOffsetX, w); x < ARect.Right; x += w)
                    if (x + w > ARect.Left && y + h > ARect.Top) drawAt(x, y);
        } else {
            drawAt(FOffsetX, FOffsetY);
        }
    } else if (PaintDefault) {
        ACanvas->GetBrush()->SetStyle(gcl::bsSolid);
        ACanvas->GetBrush()->SetColor(lv->GetColor());
        ACanvas->FillRect(ARect);
    }
    const bool empty = !lv->GetGroups() || !lv->GetGroups()->FirstVisibleItem();
    if (FCaptionShow && !FCaption.empty() && (!FCaptionShowOnlyWhenEmpty || empty)) {
        ACanvas->SetFont(lv->GetFont());
        ACanvas->GetBrush()->SetStyle(gcl::bsClear);
        SetBkMode(dc, TRANSPARENT);
        TRect client = ClientRectOf(lv);
        TCommonDrawTextWFlags flags = FCaptionSingleLine ? dtSingleLine : 0;
        flags |= FCaptionAlignment == taLeftJustify ? dtLeft : FCaptionAlignment == taRightJustify ? dtRight : dtCenter;
        flags |= FCaptionVAlignment == cvaTop ? dtTop : FCaptionVAlignment == cvaBottom ? dtBottom : dtVCenter;
        DrawTextWEx(dc, FCaption, client, FCaptionSingleLine ? 1 : -1, flags);
    }
}

} // namespace qelvo
