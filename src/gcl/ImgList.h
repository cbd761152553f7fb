// Image lists: a row of equally sized images over a common-controls
// HIMAGELIST, with masks, overlays, blended and greyed drawing, loading
// from resources, and change links for the controls that show them.
//
// The HIMAGELIST is made on first use (ILC_COLOR32, plus ILC_MASK when
// Masked). Changing Width or Height keeps the handle but removes every
// image; changing Masked makes a new, empty list. Clients that must follow
// such changes register a TChangeLink; a freed link unregisters itself.
#pragma once

#include "gcl/rtl/WinApi.h"
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gcl/Graphics.h"
#include "gcl/rtl/Components.h"
#include "gcl/rtl/Lists.h"

namespace gcl {

namespace msg {
inline constexpr const char* ImageIndexError = "Image list index out of bounds (%d)";
inline constexpr const char* ImageAddError = "Unable to add an image to the image list";
inline constexpr const char* ImageReplaceError = "Unable to replace an image of the image list";
} // namespace msg

// dsFocus and dsSelected blend the image with BlendColor (25% and 50%).
GCL_ENUM(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent)
// itMask draws the image's mask instead of the image.
GCL_ENUM(TImageType, itImage, itMask)
GCL_ENUM(TResType, rtBitmap, rtCursor, rtIcon)
GCL_ENUM(TLoadResource, lrDefaultColor, lrDefaultSize, lrFromFile, lrMap3DColors, lrTransparent, lrMonoChrome)
using TLoadResources = TSet<TLoadResource>;
// Overlay images 0..14 (the list's overlay slots 1..15).
using TOverlay = uint8_t;

class TCustomImageList : public TComponent, public IChangeLinkSender {
    GCL_CLASS(TCustomImageList, TComponent)
public:
    // Copies the images and settings of another image list; null clears.
    void Assign(TPersistent* source) override;
    void BeforeDestruction() noexcept override;

    int GetWidth() const noexcept { return FWidth; }
    void SetWidth(int value) { SetSize(value, FHeight); }
    int GetHeight() const noexcept { return FHeight; }
    void SetHeight(int value) { SetSize(FWidth, value); }
    // Removes every image when the size changes.
    void SetSize(int width, int height);
    int GetAllocBy() const noexcept { return FAllocBy; }
    void SetAllocBy(int value) noexcept { FAllocBy = value > 0 ? value : 1; }
    int GetCount() const noexcept;

    // The HIMAGELIST, made on first use.
    HIMAGELIST GetHandle();
    // Adopts an image list (freed with this one unless ShareImages); its
    // image size becomes Width and Height.
    void SetHandle(HIMAGELIST value);
    bool HandleAllocated() const noexcept { return FHandle != nullptr; }
    void HandleNeeded() { GetHandle(); }
    // A number that no other state of any image list of the process had:
    // a new one is taken whenever the handle is made, adopted or freed and
    // at every change, so that a picture drawn from the list may be kept
    // while the number stays (a shared list's images may change unseen).
    uint64_t GetChangeStamp() const noexcept { return FChangeStamp; }

    bool GetMasked() const noexcept { return FMasked; }
    // Makes a new, empty list when the value changes.
    void SetMasked(bool value);
    // The colour drawn behind masked images; clNone draws them transparent.
    TColor GetBkColor() const noexcept { return FBkColor; }
    void SetBkColor(TColor value);
    // The colour dsFocus/dsSelected blend with; clNone blends with the
    // destination, clDefault with the highlight colour.
    TColor GetBlendColor() const noexcept { return FBlendColor; }
    void SetBlendColor(TColor value);
    TDrawingStyle GetDrawingStyle() const noexcept { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle value);
    TImageType GetImageType() const noexcept { return FImageType; }
    void SetImageType(TImageType value);
    // A shared list's handle is not destroyed with the component.
    bool GetShareImages() const noexcept { return FShareImages; }
    void SetShareImages(bool value) noexcept { FShareImages = value; }

    // Adds the images of a bitmap (a strip of Width-wide cells) with an
    // optional mask bitmap; returns the index of the first new image.
    int Add(TBitmap* image, TBitmap* mask);
    // As Add, the mask made from the pixels of maskColor (clDefault or
    // clNone: the bitmap's transparent colour). The bitmap is not changed.
    int AddMasked(TBitmap* image, TColor maskColor);
    int AddIcon(TIcon* icon);
    void Replace(int index, TBitmap* image, TBitmap* mask);
    void ReplaceMasked(int index, TBitmap* image, TColor maskColor);
    void ReplaceIcon(int index, TIcon* icon);
    void Delete(int index);
    void Clear();
    // The image as a new icon handle owned by icon.
    void GetIcon(int index, TIcon* icon);
    // Makes image imageIndex overlay number overlay (0..14) for
    // DrawOverlay and INDEXTOOVERLAYMASK(overlay + 1). False for a bad
    // image or overlay number.
    bool Overlay(int imageIndex, TOverlay overlay);

    // Draws with the list's DrawingStyle and ImageType; a disabled image is
    // drawn greyed (embossed in clBtnHighlight and clBtnShadow).
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
    void Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
              bool enabled = true);
    // Draws image index on dc with ILD_* style and background and blend
    // colours (CLR_NONE, CLR_DEFAULT or RGB), as ImageList_DrawEx does. The
    // overlay named in style (INDEXTOOVERLAYMASK) is drawn by the list
    // itself, on top and unblended, so it shows on every platform.
    bool DrawEx(HDC dc, int x, int y, int index, UINT style, COLORREF background = CLR_NONE,
                COLORREF foreground = CLR_NONE);
    // As Draw, with overlay image `overlay` on top.
    void DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, TOverlay overlay, bool enabled = true);
    void DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, TOverlay overlay, TDrawingStyle style,
                     TImageType type, bool enabled = true);

    // Replaces the list with the images of a resource (a bitmap cut into
    // width-wide cells, an icon or a cursor of that size). maskColor clNone
    // adds the images unmasked. False when the resource does not exist.
    bool GetInstRes(HINSTANCE instance, TResType type, const std::string& name, int width,
                    TLoadResources flags, TColor maskColor);
    // GetInstRes on the program's module.
    bool GetResource(TResType type, const std::string& name, int width, TLoadResources flags,
                     TColor maskColor);
    // GetInstRes with the list's Width and default flags.
    bool ResInstLoad(HINSTANCE instance, TResType type, const std::string& name, TColor maskColor);
    bool ResourceLoad(TResType type, const std::string& name, TColor maskColor);

    // Change links hear every change of the images or their size.
    void RegisterChanges(TChangeLink* value);
    void UnRegisterChanges(TChangeLink* value) override;

    TNotifyEvent OnChange;
    TNotifyEvent GetOnChange() const noexcept { return OnChange; }
    void SetOnChange(TNotifyEvent value) noexcept { OnChange = value; }

protected:
    explicit TCustomImageList(TComponent* owner);
    ~TCustomImageList() override;

    // Notifies the change links, then OnChange.
    virtual void Change();
    // Draws image index with ILD_* style (overlay bits included).
    virtual void DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled);

private:
    void CreateImageList();
    void FreeHandle() noexcept;
    void NewChangeStamp() noexcept;
    void ResetOverlays() noexcept;
    void CheckIndex(int index) const;
    void DrawDisabled(HDC dc, int x, int y, int index);
    int AddMaskedCopy(TBitmap* image, TColor maskColor, int replaceIndex);

    HIMAGELIST FHandle = nullptr;
    int FWidth = 16;
    int FHeight = 16;
    int FAllocBy = 4;
    bool FMasked = true;
    bool FShareImages = false;
    TColor FBkColor = clNone;
    TColor FBlendColor = clNone;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    int FOverlays[15];  // the image of each overlay slot, or -1
    std::vector<TChangeLink*> FClients;
    uint64_t FChangeStamp = 0;
};

class TImageList : public TCustomImageList {
    GCL_CLASS(TImageList, TCustomImageList)
public:
    // An ownerless list of width x height images.
    static TImageList* CreateSize(int width, int height);

protected:
    explicit TImageList(TComponent* owner) : TCustomImageList(owner) {}
};

// Registers TImageList for reading by class name.
extern TUnit ImgListUnit;

} // namespace gcl
