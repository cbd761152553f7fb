#include "gcl/ImgList.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "gcl/rtl/Strings.h"

namespace gcl {

namespace {

COLORREF ListColor(TColor color) noexcept {
    if (color == clNone) return CLR_NONE;
    if (color == clDefault) return CLR_DEFAULT;
    return ColorToColorRef(color);
}

const UINT DrawingStyleFlags[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};

UINT StyleFlags(TDrawingStyle style, TImageType type) noexcept {
    return DrawingStyleFlags[style] | (type == itMask ? ILD_MASK : 0);
}

UINT LoadFlags(TLoadResources flags) noexcept {
    UINT result = 0;
    if (flags.Contains(lrDefaultColor)) result |= LR_DEFAULTCOLOR;
    if (flags.Contains(lrDefaultSize)) result |= LR_DEFAULTSIZE;
    if (flags.Contains(lrFromFile)) result |= LR_LOADFROMFILE;
    if (flags.Contains(lrMap3DColors)) result |= LR_LOADMAP3DCOLORS;
    if (flags.Contains(lrTransparent)) result |= LR_LOADTRANSPARENT;
    if (flags.Contains(lrMonoChrome)) result |= LR_MONOCHROME;
    return result;
}

// Keeps the text and background colours of a DC for a mono-to-colour blit
// (0 bits black, 1 bits white) and restores them.
class TMonoColors {
public:
    explicit TMonoColors(HDC dc) : FDC(dc), FText(SetTextColor(dc, RGB(0, 0, 0))), FBk(SetBkColor(dc, RGB(255, 255, 255))) {}
    ~TMonoColors() {
        SetTextColor(FDC, FText);
        SetBkColor(FDC, FBk);
    }
    TMonoColors(const TMonoColors&) = delete;
    TMonoColors& operator=(const TMonoColors&) = delete;

private:
    HDC FDC;
    COLORREF FText, FBk;
};

} // namespace

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {
    ResetOverlays();
    NewChangeStamp();
}

void TCustomImageList::NewChangeStamp() noexcept {
    static std::atomic<uint64_t> last{0};
    FChangeStamp = ++last;
}

void TCustomImageList::ResetOverlays() noexcept {
    for (int& overlay : FOverlays) overlay = -1;
}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* link : FClients) link->SetSender(nullptr);
    FreeHandle();
}

void TCustomImageList::BeforeDestruction() noexcept {
    // Links outliving the list must not call back into it.
    std::vector<TChangeLink*> clients;
    clients.swap(FClients);
    for (TChangeLink* link : clients) link->SetSender(nullptr);
    inherited::BeforeDestruction();
}

void TCustomImageList::CreateImageList() {
    const UINT flags = ILC_COLOR32 | (FMasked ? ILC_MASK : 0);
    FHandle = ImageList_Create(FWidth, FHeight, flags, FAllocBy, FAllocBy);
    if (!FHandle) throw EOutOfResources(msg::OutOfResources);
    ImageList_SetBkColor(FHandle, ListColor(FBkColor));
    NewChangeStamp();
}

void TCustomImageList::FreeHandle() noexcept {
    if (FHandle && !FShareImages) ImageList_Destroy(FHandle);
    FHandle = nullptr;
    ResetOverlays();
    NewChangeStamp();
}

HIMAGELIST TCustomImageList::GetHandle() {
    if (!FHandle) CreateImageList();
    return FHandle;
}

void TCustomImageList::SetHandle(HIMAGELIST value) {
    if (value == FHandle) return;
    FreeHandle();
    FHandle = value;
    if (value) {
        int width = 0, height = 0;
        ImageList_GetIconSize(value, &width, &height);
        FWidth = width;
        FHeight = height;
        COLORREF bk = ImageList_GetBkColor(value);
        FBkColor = bk == CLR_NONE ? clNone : static_cast<TColor>(bk);
    }
    Change();
}

int TCustomImageList::GetCount() const noexcept {
    return FHandle ? ImageList_GetImageCount(FHandle) : 0;
}

void TCustomImageList::SetSize(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == FWidth && height == FHeight) return;
    FWidth = width;
    FHeight = height;
    if (FHandle) ImageList_SetIconSize(FHandle, width, height);  // removes the images
    ResetOverlays();
    Change();
}

void TCustomImageList::SetMasked(bool value) {
    if (value == FMasked) return;
    FMasked = value;
    if (FHandle) {
        FreeHandle();
        CreateImageList();
    }
    Change();
}

void TCustomImageList::SetBkColor(TColor value) {
    if (value == FBkColor) return;
    FBkColor = value;
    if (FHandle) ImageList_SetBkColor(FHandle, ListColor(value));
    Change();
}

void TCustomImageList::SetBlendColor(TColor value) {
    if (value == FBlendColor) return;
    FBlendColor = value;
    Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle value) {
    if (value == FDrawingStyle) return;
    FDrawingStyle = value;
    Change();
}

void TCustomImageList::SetImageType(TImageType value) {
    if (value == FImageType) return;
    FImageType = value;
    Change();
}

void TCustomImageList::Assign(TPersistent* source) {
    if (source == this) return;
    if (!source) {
        Clear();
        return;
    }
    auto* list = dynamic_cast<TCustomImageList*>(source);
    if (!list) {
        inherited::Assign(source);
        return;
    }
    HIMAGELIST copy = nullptr;
    if (list->FHandle) {
        copy = ImageList_Duplicate(list->FHandle);
        if (!copy) throw EOutOfResources(msg::OutOfResources);
    }
    FreeHandle();
    FHandle = copy;
    FShareImages = false;
    FWidth = list->FWidth;
    FHeight = list->FHeight;
    FAllocBy = list->FAllocBy;
    FMasked = list->FMasked;
    FBkColor = list->FBkColor;
    FBlendColor = list->FBlendColor;
    FDrawingStyle = list->FDrawingStyle;
    FImageType = list->FImageType;
    std::copy(std::begin(list->FOverlays), std::end(list->FOverlays), std::begin(FOverlays));
    Change();
}

void TCustomImageList::CheckIndex(int index) const {
    if (index < 0 || index >= GetCount()) throw EInvalidOperation(Format(msg::ImageIndexError, {index}));
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
    if (!image || image->GetEmpty()) throw EInvalidOperation(msg::ImageAddError);
    HBITMAP maskHandle = mask && !mask->GetEmpty() ? mask->GetHandle() : nullptr;
    int index = ImageList_Add(GetHandle(), image->GetHandle(), maskHandle);
    if (index < 0) throw EInvalidOperation(msg::ImageAddError);
    Change();
    return index;
}

// Adds (replaceIndex < 0) or replaces an image with a mask made from the
// pixels of maskColor. ImageList_AddMasked turns those pixels of the
// bitmap it is given black, so both paths work on a 24-bit copy.
int TCustomImageList::AddMaskedCopy(TBitmap* image, TColor maskColor, int replaceIndex) {
    if (!image || image->GetEmpty())
        throw EInvalidOperation(replaceIndex < 0 ? msg::ImageAddError : msg::ImageReplaceError);
    if (maskColor == clNone || maskColor == clDefault) maskColor = image->GetTransparentColor();
    TBitmap copy;
    copy.SetPixelFormat(pf24bit);
    copy.SetSize(image->GetWidth(), image->GetHeight());
    BitBlt(copy.GetCanvas()->GetHandle(), 0, 0, image->GetWidth(), image->GetHeight(),
           image->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
    const COLORREF mask = ColorToColorRef(maskColor);
    HIMAGELIST list = GetHandle();
    if (replaceIndex < 0) {
        int index = ImageList_AddMasked(list, copy.GetHandle(), mask);
        if (index < 0) throw EInvalidOperation(msg::ImageAddError);
        return index;
    }
    // Replace with a mask made the same way: white where the colour matches.
    TBitmap maskBitmap;
    maskBitmap.SetMonochrome(true);
    maskBitmap.SetSize(copy.GetWidth(), copy.GetHeight());
    HDC source = copy.GetCanvas()->GetHandle();
    HDC maskDC = maskBitmap.GetCanvas()->GetHandle();
    COLORREF oldBk = ::SetBkColor(source, mask);
    BitBlt(maskDC, 0, 0, copy.GetWidth(), copy.GetHeight(), source, 0, 0, SRCCOPY);
    ::SetBkColor(source, oldBk);
    {
        // Masked pixels of the image must be black for transparent drawing.
        TMonoColors colors(source);
        constexpr DWORD DestAndNotSource = 0x00220326;
        BitBlt(source, 0, 0, copy.GetWidth(), copy.GetHeight(), maskDC, 0, 0, DestAndNotSource);
    }
    if (!ImageList_Replace(list, replaceIndex, copy.GetHandle(), maskBitmap.GetHandle()))
        throw EInvalidOperation(msg::ImageReplaceError);
    return replaceIndex;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
    int index = AddMaskedCopy(image, maskColor, -1);
    Change();
    return index;
}

int TCustomImageList::AddIcon(TIcon* icon) {
    if (!icon || icon->GetEmpty()) throw EInvalidOperation(msg::ImageAddError);
    int index = ImageList_ReplaceIcon(GetHandle(), -1, icon->GetHandle());
    if (index < 0) throw EInvalidOperation(msg::ImageAddError);
    Change();
    return index;
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
    CheckIndex(index);
    if (!image || image->GetEmpty()) throw EInvalidOperation(msg::ImageReplaceError);
    HBITMAP maskHandle = mask && !mask->GetEmpty() ? mask->GetHandle() : nullptr;
    if (!ImageList_Replace(FHandle, index, image->GetHandle(), maskHandle))
        throw EInvalidOperation(msg::ImageReplaceError);
    Change();
}

void TCustomImageList::ReplaceMasked(int index, TBitmap* image, TColor maskColor) {
    CheckIndex(index);
    AddMaskedCopy(image, maskColor, index);
    Change();
}

void TCustomImageList::ReplaceIcon(int index, TIcon* icon) {
    CheckIndex(index);
    if (!icon || icon->GetEmpty() || ImageList_ReplaceIcon(FHandle, index, icon->GetHandle()) < 0)
        throw EInvalidOperation(msg::ImageReplaceError);
    Change();
}

void TCustomImageList::Delete(int index) {
    CheckIndex(index);
    ImageList_Remove(FHandle, index);
    Change();
}

void TCustomImageList::Clear() {
    if (FHandle) ImageList_Remove(FHandle, -1);
    ResetOverlays();
    Change();
}

void TCustomImageList::GetIcon(int index, TIcon* icon) {
    CheckIndex(index);
    if (!icon) return;
    HICON handle = ImageList_GetIcon(FHandle, index, ILD_NORMAL);
    if (!handle) throw EOutOfResources(msg::OutOfResources);
    icon->SetHandle(handle);
}

bool TCustomImageList::Overlay(int imageIndex, TOverlay overlay) {
    if (overlay > 14 || imageIndex < 0 || imageIndex >= GetCount()) return false;
    if (!ImageList_SetOverlayImage(FHandle, imageIndex, overlay + 1)) return false;
    FOverlays[overlay] = imageIndex;
    return true;
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
    Draw(canvas, x, y, index, FDrawingStyle, FImageType, enabled);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
                            bool enabled) {
    if (!FHandle || !canvas) return;
    DoDraw(index, canvas, x, y, StyleFlags(style, type), enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, TOverlay overlay, bool enabled) {
    DrawOverlay(canvas, x, y, imageIndex, overlay, FDrawingStyle, FImageType, enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, TOverlay overlay,
                                   TDrawingStyle style, TImageType type, bool enabled) {
    if (!FHandle || !canvas || overlay > 14) return;
    DoDraw(imageIndex, canvas, x, y, StyleFlags(style, type) | INDEXTOOVERLAYMASK(overlay + 1), enabled);
}

void TCustomImageList::DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled) {
    HDC dc = canvas->GetHandle();
    if (!enabled) {
        DrawDisabled(dc, x, y, index);
        return;
    }
    DrawEx(dc, x, y, index, style, ListColor(FBkColor), ListColor(FBlendColor));
}

bool TCustomImageList::DrawEx(HDC dc, int x, int y, int index, UINT style, COLORREF background,
                              COLORREF foreground) {
    if (!FHandle) return false;
    const UINT overlay = (style & ILD_OVERLAYMASK) >> 8;
    const bool drawn =
        ImageList_DrawEx(FHandle, index, dc, x, y, 0, 0, background, foreground, style & ~ILD_OVERLAYMASK) != FALSE;
    if (drawn && overlay >= 1 && overlay <= 15) {
        const int image = FOverlays[overlay - 1];
        if (image >= 0 && image < GetCount()) {
            const UINT overlayStyle = (style & ~(ILD_OVERLAYMASK | ILD_BLEND25 | ILD_BLEND50)) | ILD_TRANSPARENT;
            ImageList_DrawEx(FHandle, image, dc, x, y, 0, 0, CLR_NONE, CLR_NONE, overlayStyle);
        }
    }
    return drawn;
}

// The greyed look: the image's dark pixels become a one-bit shape, drawn
// once in clBtnHighlight one pixel down and right and once in clBtnShadow
// on top, so the image seems pressed into the surface.
void TCustomImageList::DrawDisabled(HDC dc, int x, int y, int index) {
    if (index < 0 || index >= GetCount()) return;
    const int w = FWidth, h = FHeight;
    TBitmap image;
    image.SetPixelFormat(pf32bit);
    image.SetSize(w, h);
    HDC imageDC = image.GetCanvas()->GetHandle();
    PatBlt(imageDC, 0, 0, w, h, WHITENESS);
    ImageList_DrawEx(FHandle, index, imageDC, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);

    // One-bit rows are word-aligned for CreateBitmap; 1 = background, 0 = ink.
    const int rowBytes = ((w + 15) / 16) * 2;
    std::vector<uint8_t> bits(static_cast<size_t>(rowBytes) * h, 0xFF);
    for (int row = 0; row < h; ++row) {
        const auto* pixels = static_cast<const uint8_t*>(image.GetScanLine(row));
        for (int col = 0; col < w; ++col) {
            const uint8_t* p = pixels + col * 4;  // B, G, R, A
            const int luminance = (p[2] * 30 + p[1] * 59 + p[0] * 11) / 100;
            if (luminance < 192) bits[row * rowBytes + col / 8] &= static_cast<uint8_t>(~(0x80 >> (col % 8)));
        }
    }
    HBITMAP shape = CreateBitmap(w, h, 1, 1, bits.data());
    if (!shape) return;
    HDC shapeDC = CreateCompatibleDC(dc);
    HGDIOBJ oldShape = SelectObject(shapeDC, shape);
    {
        TMonoColors colors(dc);
        constexpr DWORD PaintInk = 0x00B8074A;  // pattern where the source is 0, else the destination
        HBRUSH highlight = CreateSolidBrush(ColorToColorRef(clBtnHighlight));
        HGDIOBJ oldBrush = SelectObject(dc, highlight);
        BitBlt(dc, x + 1, y + 1, w, h, shapeDC, 0, 0, PaintInk);
        HBRUSH shadow = CreateSolidBrush(ColorToColorRef(clBtnShadow));
        SelectObject(dc, shadow);
        BitBlt(dc, x, y, w, h, shapeDC, 0, 0, PaintInk);
        SelectObject(dc, oldBrush);
        DeleteObject(highlight);
        DeleteObject(shadow);
    }
    SelectObject(shapeDC, oldShape);
    DeleteDC(shapeDC);
    DeleteObject(shape);
}

bool TCustomImageList::GetInstRes(HINSTANCE instance, TResType type, const std::string& name, int width,
                                  TLoadResources flags, TColor maskColor) {
    UINT loadFlags = LoadFlags(flags);
    if (flags.Contains(lrFromFile)) instance = nullptr;
    if (type == rtBitmap) {
        HANDLE loaded = LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, loadFlags | LR_CREATEDIBSECTION);
        if (!loaded) return false;
        TBitmap bitmap;
        bitmap.SetHandle(static_cast<HBITMAP>(loaded));
        if (width <= 0) width = bitmap.GetHeight();
        FreeHandle();
        FWidth = std::max(width, 1);
        FHeight = std::max(bitmap.GetHeight(), 1);
        CreateImageList();
        DIBSECTION dib{};
        const bool plain24 = GetObjectA(loaded, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBitsPixel == 24;
        if (maskColor == clNone) {
            if (ImageList_Add(FHandle, bitmap.GetHandle(), nullptr) < 0) throw EInvalidOperation(msg::ImageAddError);
        } else if (plain24 && maskColor != clDefault) {
            // The loaded bitmap is this call's own and already the 24-bit
            // form a masked add needs: it takes the black of the masked
            // pixels itself, with no copy made (a DIB section and two
            // DCs less for each strip a program loads at start).
            if (ImageList_AddMasked(FHandle, static_cast<HBITMAP>(loaded), ColorToColorRef(maskColor)) < 0)
                throw EInvalidOperation(msg::ImageAddError);
        } else {
            AddMaskedCopy(&bitmap, maskColor, -1);
        }
    } else {
        const UINT kind = type == rtIcon ? IMAGE_ICON : IMAGE_CURSOR;
        if (width <= 0) width = FWidth;
        HANDLE loaded = LoadImageA(instance, name.c_str(), kind, width, width, loadFlags);
        if (!loaded) return false;
        FreeHandle();
        FWidth = FHeight = width;
        CreateImageList();
        int index = ImageList_ReplaceIcon(FHandle, -1, static_cast<HICON>(loaded));
        if (kind == IMAGE_ICON)
            DestroyIcon(static_cast<HICON>(loaded));
        else
            DestroyCursor(static_cast<HCURSOR>(loaded));
        if (index < 0) throw EInvalidOperation(msg::ImageAddError);
    }
    FShareImages = false;
    Change();
    return true;
}

bool TCustomImageList::GetResource(TResType type, const std::string& name, int width, TLoadResources flags,
                                   TColor maskColor) {
    return GetInstRes(GetModuleHandleA(nullptr), type, name, width, flags, maskColor);
}

bool TCustomImageList::ResInstLoad(HINSTANCE instance, TResType type, const std::string& name, TColor maskColor) {
    return GetInstRes(instance, type, name, FWidth, TLoadResources(), maskColor);
}

bool TCustomImageList::ResourceLoad(TResType type, const std::string& name, TColor maskColor) {
    return ResInstLoad(GetModuleHandleA(nullptr), type, name, maskColor);
}

void TCustomImageList::RegisterChanges(TChangeLink* value) {
    if (!value) return;
    if (std::find(FClients.begin(), FClients.end(), value) == FClients.end()) FClients.push_back(value);
    value->SetSender(this);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* value) {
    auto it = std::find(FClients.begin(), FClients.end(), value);
    if (it == FClients.end()) return;
    FClients.erase(it);
    value->SetSender(nullptr);
}

void TCustomImageList::Change() {
    NewChangeStamp();
    if (GetComponentState().Contains(csDestroying)) return;
    // A link's handler may unregister links (or free them): work on a
    // snapshot and skip those that left meanwhile.
    const std::vector<TChangeLink*> snapshot = FClients;
    for (TChangeLink* link : snapshot)
        if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
    if (OnChange) OnChange(this);
}

TImageList* TImageList::CreateSize(int width, int height) {
    TImageList* list = Create(nullptr);
    list->SetSize(width, height);
    return list;
}

GCL_IMPLEMENT_CLASS(TCustomImageList)

GCL_PUBLISHED(TImageList,
    GCL_PROP(AllocBy).Default(4),
    GCL_PROP(BlendColor).Default(clNone).Idents(ColorIdents),
    GCL_PROP(BkColor).Default(clNone).Idents(ColorIdents),
    GCL_PROP(DrawingStyle).Default(dsNormal),
    GCL_PROP(Height).Default(16),
    GCL_PROP(ImageType).Default(itImage),
    GCL_PROP(Masked).Default(true),
    GCL_PROP(OnChange),
    GCL_PROP(ShareImages).Default(false),
    GCL_PROP(Width).Default(16))

namespace {
void InitializeImgList() {
    RegisterClasses({TImageList::StaticClass()});
}
void FinalizeImgList() {
    UnRegisterClass(TImageList::StaticClass());
}
} // namespace

TUnit ImgListUnit{"ImgList", &InitializeImgList, &FinalizeImgList};

} // namespace gcl
