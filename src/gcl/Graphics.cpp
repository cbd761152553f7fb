#include "gcl/Graphics.h"

#include <uxtheme.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <unordered_map>

#include "gcl/rtl/Strings.h"
#include "gcl/rtl/ThreadVars.h"

namespace gcl {

// ---- Colours -----------------------------------------------------------------

namespace {

class TSystemColors : public ISysColorService {
public:
    COLORREF GetColor(int index) override { return GetSysColor(index); }
};

} // namespace

ServiceSlot<ISysColorService>& SysColorService() {
    static TSystemColors production;
    static ServiceSlot<ISysColorService> slot(&production);
    return slot;
}

TColor ColorToRGB(TColor color) noexcept {
    if (IsSysColor(color)) return static_cast<TColor>(SysColorService()->GetColor(color & 0xFF));
    return color;
}

COLORREF ColorToColorRef(TColor color) noexcept {
    TColor rgb = ColorToRGB(color);
    if (rgb == clNone || rgb == clDefault) return static_cast<COLORREF>(rgb) & 0x00FFFFFFu;
    return static_cast<COLORREF>(rgb);
}

namespace {

const TIdentMapEntry ColorEntries[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
};

} // namespace

const TIdentMap ColorIdents{ColorEntries, static_cast<int>(sizeof ColorEntries / sizeof ColorEntries[0])};

bool ColorToIdent(TColor color, std::string& ident) {
    return ColorIdents.IntToIdent(color, ident);
}

bool IdentToColor(const std::string& ident, TColor& color) {
    int32_t value = 0;
    if (!ColorIdents.IdentToInt(ident, value)) return false;
    color = value;
    return true;
}

std::string ColorToString(TColor color) {
    std::string ident;
    if (ColorToIdent(color, ident)) return ident;
    return "$" + IntToHex(color, 8);
}

TColor StringToColor(const std::string& text) {
    TColor color = 0;
    if (IdentToColor(text, color)) return color;
    return StrToInt(text);
}

// ---- Visual styles ---------------------------------------------------------

namespace {

class TSystemVisualStyles : public IVisualStyleService {
public:
    bool Active() override { return IsAppThemed() && IsThemeActive(); }
};

int ScreenPixelsPerInch() noexcept {
    static const int ppi = [] {
        HDC dc = GetDC(nullptr);
        int value = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
        if (dc) ReleaseDC(nullptr, dc);
        return value > 0 ? value : 96;
    }();
    return ppi;
}

} // namespace

ServiceSlot<IVisualStyleService>& VisualStyleService() {
    static TSystemVisualStyles production;
    static ServiceSlot<IVisualStyleService> slot(&production);
    return slot;
}

bool VisualStylesActive() {
    return VisualStyleService()->Active();
}

// ---- Shared GDI objects --------------------------------------------------------
//
// Fonts, pens and brushes with equal attributes share one GDI object. The
// cache holds weak references only: an object is deleted as soon as no
// font, pen, brush or canvas holds it. The cache itself is never destroyed,
// so objects still alive at process exit are left to the system.

namespace {

void DeleteGdiObject(void* handle) noexcept {
    DeleteObject(static_cast<HGDIOBJ>(handle));
}
void KeepStockObject(void*) noexcept {}

detail::TGdiResource StockResource(int object) {
    return detail::TGdiResource(GetStockObject(object), &KeepStockObject);
}

class TResourceCache {
public:
    // The shared object for key, made by make() when none is alive.
    template <class Make>
    detail::TGdiResource Get(const void* key, size_t size, Make make) {
        std::string k(static_cast<const char*>(key), size);
        std::lock_guard<std::mutex> guard(FLock);
        auto it = FByKey.find(k);
        if (it != FByKey.end())
            if (detail::TGdiResource alive = it->second.lock()) return alive;
        HGDIOBJ handle = make();
        if (!handle) throw EOutOfResources(msg::OutOfResources);
        detail::TGdiResource resource(handle, &DeleteGdiObject);
        FByKey[k] = resource;
        FByHandle[handle] = resource;
        if (++FInserts % 64 == 0) Prune();
        return resource;
    }

    // The live shared object with this handle, or null.
    detail::TGdiResource Find(HGDIOBJ handle) {
        std::lock_guard<std::mutex> guard(FLock);
        auto it = FByHandle.find(handle);
        return it == FByHandle.end() ? nullptr : it->second.lock();
    }

    // Takes ownership of a handle made elsewhere, so that later adopters of
    // the same handle share it instead of deleting it twice.
    detail::TGdiResource Adopt(HGDIOBJ handle) {
        std::lock_guard<std::mutex> guard(FLock);
        auto it = FByHandle.find(handle);
        if (it != FByHandle.end())
            if (detail::TGdiResource alive = it->second.lock()) return alive;
        detail::TGdiResource resource(handle, &DeleteGdiObject);
        FByHandle[handle] = resource;
        if (++FInserts % 64 == 0) Prune();
        return resource;
    }

private:
    void Prune() {
        std::erase_if(FByKey, [](const auto& e) { return e.second.expired(); });
        std::erase_if(FByHandle, [](const auto& e) { return e.second.expired(); });
    }

    std::mutex FLock;
    std::unordered_map<std::string, std::weak_ptr<void>> FByKey;
    std::unordered_map<HGDIOBJ, std::weak_ptr<void>> FByHandle;
    unsigned FInserts = 0;
};

TResourceCache& Resources() {
    static TResourceCache* cache = new TResourceCache;
    return *cache;
}

} // namespace

// ---- TGraphicsObject -----------------------------------------------------------

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

// ---- TFont -------------------------------------------------------------------

TFont::TFont() : FPixelsPerInch(ScreenPixelsPerInch()) {
    std::memset(&FLogFont, 0, sizeof FLogFont);
    FLogFont.lfHeight = -MulDiv(8, FPixelsPerInch, 72);
    FLogFont.lfWeight = FW_NORMAL;
    FLogFont.lfCharSet = DEFAULT_CHARSET;
    FLogFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    FLogFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    FLogFont.lfQuality = DEFAULT_QUALITY;
    FLogFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    std::strcpy(FLogFont.lfFaceName, "MS Sans Serif");
}

TFont::~TFont() = default;

void TFont::Assign(TPersistent* source) {
    if (auto* font = dynamic_cast<TFont*>(source)) {
        if (font == this) return;
        FPixelsPerInch = font->FPixelsPerInch;
        if (std::memcmp(&FLogFont, &font->FLogFont, sizeof FLogFont) == 0 && FColor == font->FColor) return;
        FLogFont = font->FLogFont;
        FColor = font->FColor;
        FResource = font->FResource;
        Changed();
        return;
    }
    inherited::Assign(source);
}

HFONT TFont::GetHandle() {
    if (!FResource) {
        const LOGFONTA lf = FLogFont;
        FResource = Resources().Get(&lf, sizeof lf, [&lf] { return CreateFontIndirectA(&lf); });
    }
    return static_cast<HFONT>(FResource.get());
}

void TFont::SetHandle(HFONT value) {
    if (FResource && value == FResource.get()) return;
    if (!value) {
        FResource.reset();
        return;
    }
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    if (GetObjectType(value) != OBJ_FONT || GetObjectA(value, sizeof lf, &lf) == 0)
        throw EInvalidGraphic(msg::InvalidFontHandle);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
    size_t len = std::strlen(lf.lfFaceName);
    std::memset(lf.lfFaceName + len, 0, LF_FACESIZE - len);
    FLogFont = lf;
    FResource = Resources().Adopt(value);
    Changed();
}

void TFont::SetLogFont(const LOGFONTA& value) {
    LOGFONTA lf = value;
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
    size_t len = std::strlen(lf.lfFaceName);
    std::memset(lf.lfFaceName + len, 0, LF_FACESIZE - len);
    if (std::memcmp(&lf, &FLogFont, sizeof lf) == 0) return;
    FLogFont = lf;
    LogFontChanged();
}

void TFont::LogFontChanged() {
    FResource.reset();
    Changed();
}

TFontName TFont::GetName() const {
    return TFontName(FLogFont.lfFaceName);
}

void TFont::SetName(const TFontName& value) {
    char face[LF_FACESIZE] = {};
    std::strncpy(face, value.c_str(), LF_FACESIZE - 1);
    if (std::memcmp(face, FLogFont.lfFaceName, LF_FACESIZE) == 0) return;
    std::memcpy(FLogFont.lfFaceName, face, LF_FACESIZE);
    LogFontChanged();
}

int TFont::GetSize() const noexcept {
    return -MulDiv(FLogFont.lfHeight, 72, FPixelsPerInch);
}

void TFont::SetSize(int value) {
    SetHeight(-MulDiv(value, FPixelsPerInch, 72));
}

void TFont::SetHeight(int value) {
    if (FLogFont.lfHeight == value) return;
    FLogFont.lfHeight = value;
    LogFontChanged();
}

TFontStyles TFont::GetStyle() const noexcept {
    TFontStyles style;
    if (FLogFont.lfWeight >= FW_BOLD) style.Include(fsBold);
    if (FLogFont.lfItalic) style.Include(fsItalic);
    if (FLogFont.lfUnderline) style.Include(fsUnderline);
    if (FLogFont.lfStrikeOut) style.Include(fsStrikeOut);
    return style;
}

void TFont::SetStyle(TFontStyles value) {
    if (GetStyle() == value) return;
    if (value.Contains(fsBold)) {
        if (FLogFont.lfWeight < FW_BOLD) FLogFont.lfWeight = FW_BOLD;
    } else if (FLogFont.lfWeight >= FW_BOLD) {
        FLogFont.lfWeight = FW_NORMAL;
    }
    FLogFont.lfItalic = value.Contains(fsItalic);
    FLogFont.lfUnderline = value.Contains(fsUnderline);
    FLogFont.lfStrikeOut = value.Contains(fsStrikeOut);
    LogFontChanged();
}

void TFont::SetColor(TColor value) {
    if (FColor == value) return;
    FColor = value;
    Changed();
}

void TFont::SetCharset(TFontCharset value) {
    if (FLogFont.lfCharSet == value) return;
    FLogFont.lfCharSet = value;
    LogFontChanged();
}

TFontPitch TFont::GetPitch() const noexcept {
    switch (FLogFont.lfPitchAndFamily & 0x03) {
    case FIXED_PITCH: return fpFixed;
    case VARIABLE_PITCH: return fpVariable;
    default: return fpDefault;
    }
}

void TFont::SetPitch(TFontPitch value) {
    if (GetPitch() == value) return;
    BYTE pitch = value == fpFixed ? FIXED_PITCH : value == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    FLogFont.lfPitchAndFamily = static_cast<BYTE>((FLogFont.lfPitchAndFamily & 0xF0) | pitch);
    LogFontChanged();
}

void TFont::SetOrientation(int value) {
    if (FLogFont.lfEscapement == value && FLogFont.lfOrientation == value) return;
    FLogFont.lfEscapement = value;
    FLogFont.lfOrientation = value;
    LogFontChanged();
}

// ---- TPen --------------------------------------------------------------------

TPen::TPen() = default;
TPen::~TPen() = default;

void TPen::Assign(TPersistent* source) {
    if (auto* pen = dynamic_cast<TPen*>(source)) {
        if (pen == this) return;
        if (FColor == pen->FColor && FWidth == pen->FWidth && FStyle == pen->FStyle) return;
        FColor = pen->FColor;
        FWidth = pen->FWidth;
        FStyle = pen->FStyle;
        FResource = pen->FResource;
        FResolved = pen->FResolved;
        Changed();
        return;
    }
    inherited::Assign(source);
}

HPEN TPen::GetHandle() {
    COLORREF resolved = ColorToColorRef(FColor);
    if (!FResource || resolved != FResolved) {
        if (FStyle == psClear) {
            FResource = StockResource(NULL_PEN);
        } else {
            static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL,
                                         PS_INSIDEFRAME};
            struct {
                int Style, Width;
                COLORREF Color;
            } key{styles[FStyle], FWidth, resolved};
            FResource = Resources().Get(&key, sizeof key,
                                        [&key] { return CreatePen(key.Style, key.Width, key.Color); });
        }
        FResolved = resolved;
    }
    return static_cast<HPEN>(FResource.get());
}

void TPen::Invalidate() {
    FResource.reset();
    Changed();
}

void TPen::SetColor(TColor value) {
    if (FColor == value) return;
    FColor = value;
    Invalidate();
}

void TPen::SetWidth(int value) {
    if (value < 0) value = 0;
    if (FWidth == value) return;
    FWidth = value;
    Invalidate();
}

void TPen::SetStyle(TPenStyle value) {
    if (FStyle == value) return;
    FStyle = value;
    Invalidate();
}

// ---- TBrush ------------------------------------------------------------------

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

void TBrush::Assign(TPersistent* source) {
    if (auto* brush = dynamic_cast<TBrush*>(source)) {
        if (brush == this) return;
        if (FColor == brush->FColor && FStyle == brush->FStyle && FBitmap == brush->FBitmap) return;
        FColor = brush->FColor;
        FStyle = brush->FStyle;
        FBitmap = brush->FBitmap;
        FResource = brush->FResource;
        FResolved = brush->FResolved;
        Changed();
        return;
    }
    inherited::Assign(source);
}

HBRUSH TBrush::GetHandle() {
    if (FBitmap && FResource) return static_cast<HBRUSH>(FResource.get());
    COLORREF resolved = ColorToColorRef(FColor);
    if (!FResource || resolved != FResolved) {
        if (FStyle == bsClear) {
            FResource = StockResource(NULL_BRUSH);
        } else {
            struct {
                int Style;
                COLORREF Color;
            } key{FStyle, resolved};
            FResource = Resources().Get(&key, sizeof key, [&key]() -> HGDIOBJ {
                static const int hatches[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL,
                                              HS_CROSS, HS_DIAGCROSS};
                if (key.Style == bsSolid) return CreateSolidBrush(key.Color);
                return CreateHatchBrush(hatches[key.Style], key.Color);
            });
        }
        FResolved = resolved;
    }
    return static_cast<HBRUSH>(FResource.get());
}

void TBrush::Invalidate() {
    FResource.reset();
    if (FBitmap && !FBitmap->GetEmpty()) {
        HBRUSH pattern = CreatePatternBrush(FBitmap->GetHandle());
        if (!pattern) throw EOutOfResources(msg::OutOfResources);
        FResource = detail::TGdiResource(pattern, &DeleteGdiObject);
    }
    Changed();
}

void TBrush::SetColor(TColor value) {
    if (FColor == value && FStyle != bsClear) return;
    FColor = value;
    if (FStyle == bsClear) FStyle = bsSolid;
    Invalidate();
}

void TBrush::SetStyle(TBrushStyle value) {
    if (FStyle == value) return;
    FStyle = value;
    Invalidate();
}

void TBrush::SetBitmap(TBitmap* value) {
    if (FBitmap == value) return;
    FBitmap = value;
    Invalidate();
}

TBitmap* AllocPatternBitmap(TColor color1, TColor color2) {
    static auto* cache = new std::map<std::pair<COLORREF, COLORREF>, std::unique_ptr<TBitmap>>;
    const COLORREF c1 = ColorToColorRef(color1), c2 = ColorToColorRef(color2);
    std::unique_ptr<TBitmap>& slot = (*cache)[{c1, c2}];
    if (!slot) {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->SetSize(8, 8);
        HDC dc = bitmap->GetCanvas()->GetHandle();
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) SetPixelV(dc, x, y, ((x + y) & 1) == 0 ? c1 : c2);
        bitmap->GetHandle();  // out of the canvas, ready to be a brush pattern
        slot = std::move(bitmap);
    }
    return slot.get();
}

// ---- TCanvas -----------------------------------------------------------------

namespace {

// Objects that may be kept alive for the DC beyond those currently
// selected. An older one may come back through RestoreDC, so only the
// oldest beyond this count are let go.
constexpr size_t MaxRetained = 32;

bool IsObjectOfType(HGDIOBJ object, int type) noexcept {
    DWORD actual = GetObjectType(object);
    if (type == OBJ_PEN) return actual == OBJ_PEN || actual == OBJ_EXTPEN;
    return actual == static_cast<DWORD>(type);
}

HGDIOBJ DefaultObject(int type) noexcept {
    switch (type) {
    case OBJ_FONT: return GetStockObject(SYSTEM_FONT);
    case OBJ_PEN: return GetStockObject(BLACK_PEN);
    default: return GetStockObject(WHITE_BRUSH);
    }
}

} // namespace

TCanvas::TCanvas() : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
    InitializeCriticalSection(&FLock);
    FFont->OnChange = TNotifyEvent(this, &TCanvas::FontChanged);
    FPen->OnChange = TNotifyEvent(this, &TCanvas::PenChanged);
    FBrush->OnChange = TNotifyEvent(this, &TCanvas::BrushChanged);
}

TCanvas::~TCanvas() {
    SetHandle(nullptr);
    DeleteCriticalSection(&FLock);
}

HDC TCanvas::GetHandle() {
    RequiredState({csHandleValid});
    return FHandle;
}

void TCanvas::SetHandle(HDC value) noexcept {
    if (FHandle == value) return;
    if (FHandle) {
        Deselect(FFontSlot, OBJ_FONT);
        Deselect(FPenSlot, OBJ_PEN);
        Deselect(FBrushSlot, OBJ_BRUSH);
        FRetained.clear();
    }
    FHandle = value;
    FFontSlot = FPenSlot = FBrushSlot = TSlot{};
}

void TCanvas::Lock() {
    EnterCriticalSection(&FLock);
    ++FLockCount;
}

void TCanvas::Unlock() {
    --FLockCount;
    LeaveCriticalSection(&FLock);
}

bool TCanvas::TryLock() {
    if (!TryEnterCriticalSection(&FLock)) return false;
    ++FLockCount;
    return true;
}

void TCanvas::Retain(const detail::TGdiResource& resource) {
    for (const auto& r : FRetained)
        if (r == resource) return;
    FRetained.push_back(resource);
    if (FRetained.size() <= MaxRetained) return;
    HGDIOBJ font = GetCurrentObject(FHandle, OBJ_FONT), pen = GetCurrentObject(FHandle, OBJ_PEN),
            brush = GetCurrentObject(FHandle, OBJ_BRUSH);
    for (auto it = FRetained.begin(); it != FRetained.end() && FRetained.size() > MaxRetained;) {
        HGDIOBJ h = it->get();
        if (h != font && h != pen && h != brush)
            it = FRetained.erase(it);
        else
            ++it;
    }
}

void TCanvas::SelectInto(TSlot& slot, HGDIOBJ object, const detail::TGdiResource& keep, int type) {
    Retain(keep);
    HGDIOBJ old = SelectObject(FHandle, object);
    if (!old || old == object) return;
    for (const auto& r : FRetained)
        if (r.get() == old) return;  // one of ours
    if (IsObjectOfType(old, type)) slot.Displaced = old;
}

void TCanvas::Deselect(TSlot& slot, int type) noexcept {
    HGDIOBJ current = GetCurrentObject(FHandle, type);
    bool ours = false;
    for (const auto& r : FRetained)
        if (r.get() == current) ours = true;
    if (ours) {
        HGDIOBJ back = slot.Displaced && IsObjectOfType(slot.Displaced, type) ? slot.Displaced : DefaultObject(type);
        SelectObject(FHandle, back);
    }
    slot = TSlot{};
}

void TCanvas::RequiredState(TCanvasState state) {
    if (state.Empty()) return;
    if (!FHandle) {
        CreateHandle();
        if (!FHandle) throw EInvalidOperation(msg::NoCanvasHandle);
    }
    if (state.Contains(csFontValid)) {
        HFONT font = FFont->GetHandle();
        if (FFontSlot.Dirty || GetCurrentObject(FHandle, OBJ_FONT) != font) {
            SelectInto(FFontSlot, font, FFont->FResource, OBJ_FONT);
            SetTextColor(FHandle, ColorToColorRef(FFont->GetColor()));
            FFontSlot.Dirty = false;
        }
    }
    if (state.Contains(csPenValid)) {
        HPEN pen = FPen->GetHandle();
        if (FPenSlot.Dirty || GetCurrentObject(FHandle, OBJ_PEN) != pen) {
            SelectInto(FPenSlot, pen, FPen->FResource, OBJ_PEN);
            FPenSlot.Dirty = false;
        }
    }
    if (state.Contains(csBrushValid)) {
        HBRUSH brush = FBrush->GetHandle();
        if (FBrushSlot.Dirty || GetCurrentObject(FHandle, OBJ_BRUSH) != brush) {
            SelectInto(FBrushSlot, brush, FBrush->FResource, OBJ_BRUSH);
            SetBkColor(FHandle, ColorToColorRef(FBrush->GetColor()));
            SetBkMode(FHandle, FBrush->GetStyle() == bsClear ? TRANSPARENT : OPAQUE);
            FBrushSlot.Dirty = false;
        }
    }
}

void TCanvas::Refresh() noexcept {
    if (!FHandle) return;
    Deselect(FFontSlot, OBJ_FONT);
    Deselect(FPenSlot, OBJ_PEN);
    Deselect(FBrushSlot, OBJ_BRUSH);
}

void TCanvas::FontChanged(TObject*) {
    FFontSlot.Dirty = true;
}

void TCanvas::PenChanged(TObject*) {
    FPenSlot.Dirty = true;
}

void TCanvas::BrushChanged(TObject*) {
    FBrushSlot.Dirty = true;
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

TPoint TCanvas::GetPenPos() {
    RequiredState({csHandleValid});
    POINT p{};
    GetCurrentPositionEx(FHandle, &p);
    return TPoint{p.x, p.y};
}

TRect TCanvas::GetClipRect() {
    RequiredState({csHandleValid});
    RECT r{};
    GetClipBox(FHandle, &r);
    return FromRECT(r);
}

TColor TCanvas::GetPixels(int x, int y) {
    RequiredState({csHandleValid});
    COLORREF c = GetPixel(FHandle, x, y);
    return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixels(int x, int y, TColor color) {
    Changing();
    RequiredState({csHandleValid});
    SetPixelV(FHandle, x, y, ColorToColorRef(color));
    Changed();
}

void TCanvas::MoveTo(int x, int y) {
    RequiredState({csHandleValid});
    MoveToEx(FHandle, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::LineTo(FHandle, x, y);
    Changed();
}

void TCanvas::Polyline(const TPoint* points, int count) {
    if (count <= 0) return;
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Polyline(FHandle, reinterpret_cast<const POINT*>(points), count);
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
    Polyline(points.data(), static_cast<int>(points.size()));
}

void TCanvas::Polygon(const TPoint* points, int count) {
    if (count <= 0) return;
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Polygon(FHandle, reinterpret_cast<const POINT*>(points), count);
    Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
    Polygon(points.data(), static_cast<int>(points.size()));
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Rectangle(FHandle, x1, y1, x2, y2);
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::RoundRect(FHandle, x1, y1, x2, y2, cornerWidth, cornerHeight);
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Ellipse(FHandle, x1, y1, x2, y2);
    Changed();
}

void TCanvas::AngleArc(int x, int y, unsigned radius, float startAngle, float sweepAngle) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    // GDI's AngleArc first draws a line from the current position to the
    // arc's start; starting there leaves only the arc.
    const double a = startAngle * 3.14159265358979323846 / 180.0;
    MoveToEx(FHandle, x + static_cast<int>(std::lround(radius * std::cos(a))),
             y - static_cast<int>(std::lround(radius * std::sin(a))), nullptr);
    ::AngleArc(FHandle, x, y, radius, startAngle, sweepAngle);
    Changed();
}

void TCanvas::FillRect(const TRect& rect) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    RECT r = ToRECT(rect);
    ::FillRect(FHandle, &r, FBrush->GetHandle());
    Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    RECT r = ToRECT(rect);
    ::FrameRect(FHandle, &r, FBrush->GetHandle());
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& rect) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    RECT r = ToRECT(rect);
    ::DrawFocusRect(FHandle, &r);
    Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    const int n = static_cast<int>(text.size());
    ::TextOutA(FHandle, x, y, text.data(), n);
    SIZE size{};
    GetTextExtentPoint32A(FHandle, text.data(), n, &size);
    MoveToEx(FHandle, x + size.cx, y, nullptr);
    Changed();
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    UINT options = ETO_CLIPPED;
    if (FBrush->GetStyle() != bsClear) options |= ETO_OPAQUE;
    RECT r = ToRECT(rect);
    ExtTextOutA(FHandle, x, y, options, &r, text.data(), static_cast<UINT>(text.size()), nullptr);
    Changed();
}

TSize TCanvas::TextExtent(const std::string& text) {
    RequiredState({csHandleValid, csFontValid});
    SIZE size{};
    GetTextExtentPoint32A(FHandle, text.data(), static_cast<int>(text.size()), &size);
    return TSize{size.cx, size.cy};
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!graphic || graphic->GetEmpty()) return;
    StretchDraw(Bounds(x, y, graphic->GetWidth(), graphic->GetHeight()), graphic);
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
    if (!graphic || graphic->GetEmpty()) return;
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    graphic->Draw(this, rect);
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
    if (!source) return;
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    source->RequiredState({csHandleValid, csFontValid, csBrushValid});
    StretchBlt(FHandle, dest.Left, dest.Top, dest.Width(), dest.Height(), source->FHandle, sourceRect.Left,
               sourceRect.Top, sourceRect.Width(), sourceRect.Height(), FCopyMode);
    Changed();
}

// ---- Screen and memory canvases ----------------------------------------------

TScreenCanvas::~TScreenCanvas() {
    if (!HandleAllocated()) return;
    HDC dc = GetHandle();
    SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
}

void TScreenCanvas::CreateHandle() {
    SetHandle(GetDC(nullptr));
}

TMemoryCanvas::~TMemoryCanvas() {
    if (!HandleAllocated()) return;
    HDC dc = GetHandle();
    SetHandle(nullptr);
    DeleteDC(dc);
}

void TMemoryCanvas::CreateHandle() {
    SetHandle(CreateCompatibleDC(nullptr));
}

TCanvas& MeasureCanvas() {
    static TMemoryCanvas* canvas = new TMemoryCanvas;
    return *canvas;
}

// ---- TGraphic ----------------------------------------------------------------

void TGraphic::SetTransparent(bool value) {
    if (FTransparent == value) return;
    FTransparent = value;
    Changed();
}

void TGraphic::Changed() {
    if (OnChange) OnChange(this);
}

// ---- TBitmap -----------------------------------------------------------------

// The memory canvas of a bitmap: a DC made on demand with the bitmap
// selected, let go whenever the bitmap's handle is handed out or replaced.
class TBitmapCanvas : public TCanvas {
    GCL_CLASS(TBitmapCanvas, TCanvas)
public:
    explicit TBitmapCanvas(TBitmap* bitmap) : FBitmap(bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }

    void FreeContext() noexcept {
        if (!FDC) return;
        Lock();
        HDC dc = FDC;
        FDC = nullptr;
        SetHandle(nullptr);
        if (FOldBitmap) SelectObject(dc, FOldBitmap);
        FOldBitmap = nullptr;
        DeleteDC(dc);
        Unlock();
    }

protected:
    void CreateHandle() override {
        HDC dc = CreateCompatibleDC(nullptr);
        if (!dc) throw EOutOfResources(msg::OutOfResources);
        if (FBitmap->FHandle) FOldBitmap = SelectObject(dc, FBitmap->FHandle);
        FDC = dc;
        SetHandle(dc);
    }

private:
    TBitmap* FBitmap;
    HDC FDC = nullptr;
    HGDIOBJ FOldBitmap = nullptr;
};

namespace {

int BitsPerPixel(TPixelFormat format) noexcept {
    switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    default: return 0;
    }
}

bool IsDibFormat(TPixelFormat format) noexcept {
    return format >= pf4bit && format <= pf32bit;
}

// A default colour table for new palette bitmaps: the 16 VGA colours, or
// a 3-3-2 colour cube for 256 colours.
int DefaultColorTable(int bits, RGBQUAD* table) noexcept {
    static const uint32_t vga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                     0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                     0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};  // 0xRRGGBB
    if (bits == 4) {
        for (int i = 0; i < 16; ++i)
            table[i] = RGBQUAD{BYTE(vga[i] & 0xFF), BYTE((vga[i] >> 8) & 0xFF), BYTE(vga[i] >> 16), 0};
        return 16;
    }
    for (int i = 0; i < 256; ++i) {
        table[i].rgbRed = BYTE(((i >> 5) & 7) * 255 / 7);
        table[i].rgbGreen = BYTE(((i >> 2) & 7) * 255 / 7);
        table[i].rgbBlue = BYTE((i & 3) * 255 / 3);
        table[i].rgbReserved = 0;
    }
    return 256;
}

// A DC with a bitmap selected, for copying; restores and frees on exit.
class TSelectedDC {
public:
    explicit TSelectedDC(HBITMAP bitmap) : FDC(CreateCompatibleDC(nullptr)) {
        if (!FDC) throw EOutOfResources(msg::OutOfResources);
        FOld = SelectObject(FDC, bitmap);
    }
    ~TSelectedDC() {
        SelectObject(FDC, FOld);
        DeleteDC(FDC);
    }
    TSelectedDC(const TSelectedDC&) = delete;
    TSelectedDC& operator=(const TSelectedDC&) = delete;
    HDC Handle() const noexcept { return FDC; }

private:
    HDC FDC;
    HGDIOBJ FOld;
};

// Whether the first row in a DIB section's memory is its top row. GetObject
// reports a positive height for top-down DIBs too, so ask GDI: flip the
// first byte in memory and see whether the top-left pixel changes. The
// byte is put back at once.
bool DibIsTopDown(HBITMAP handle, const DIBSECTION& ds, uint8_t* bits, int height) noexcept {
    if (ds.dsBmih.biHeight < 0) return true;
    if (height < 2) return false;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return false;
    bool topDown = false;
    if (HGDIOBJ old = SelectObject(dc, handle)) {
        GdiFlush();
        const COLORREF before = GetPixel(dc, 0, 0);
        const uint8_t saved = bits[0];
        bits[0] = static_cast<uint8_t>(~saved);
        const COLORREF after = GetPixel(dc, 0, 0);
        bits[0] = saved;
        topDown = before != after;
        SelectObject(dc, old);
    }
    DeleteDC(dc);
    return topDown;
}

// Black text on white for the time of a copy out of a canvas's DC, so
// that colour-to-monochrome conversion does not follow the canvas brush.
class TPlainColors {
public:
    explicit TPlainColors(HDC dc) noexcept
        : FDC(dc), FText(SetTextColor(dc, RGB(0, 0, 0))), FBk(SetBkColor(dc, RGB(255, 255, 255))) {}
    ~TPlainColors() {
        SetTextColor(FDC, FText);
        SetBkColor(FDC, FBk);
    }
    TPlainColors(const TPlainColors&) = delete;
    TPlainColors& operator=(const TPlainColors&) = delete;

private:
    HDC FDC;
    COLORREF FText, FBk;
};

} // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
    FCanvas.reset();
    if (FHandle) DeleteObject(FHandle);
}

TCanvas* TBitmap::GetCanvas() {
    if (!FCanvas) {
        FCanvas = std::make_unique<TBitmapCanvas>(this);
        FCanvas->OnChange = TNotifyEvent(this, &TBitmap::CanvasChanged);
    }
    return FCanvas.get();
}

void TBitmap::CanvasChanged(TObject*) {
    Changed();
}

void TBitmap::FreeContext() noexcept {
    if (FCanvas) FCanvas->FreeContext();
}

HBITMAP TBitmap::GetHandle() {
    FreeContext();
    return FHandle;
}

HBITMAP TBitmap::CreateBitmapHandle(TPixelFormat format, int width, int height, const RGBQUAD* colors,
                                    int colorCount) {
    HBITMAP result = nullptr;
    if (format == pfDevice) {
        HDC screen = GetDC(nullptr);
        result = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
    } else if (format == pf1bit) {
        result = CreateBitmap(width, height, 1, 1, nullptr);
    } else if (IsDibFormat(format)) {
        struct {
            BITMAPINFOHEADER Header;
            RGBQUAD Colors[256];
        } info{};
        const int bits = BitsPerPixel(format);
        info.Header.biSize = sizeof(BITMAPINFOHEADER);
        info.Header.biWidth = width;
        info.Header.biHeight = height;  // bottom-up, as GDI prefers
        info.Header.biPlanes = 1;
        info.Header.biBitCount = static_cast<WORD>(bits);
        info.Header.biCompression = BI_RGB;
        if (format == pf16bit) {
            info.Header.biCompression = BI_BITFIELDS;
            auto* masks = reinterpret_cast<DWORD*>(info.Colors);
            masks[0] = 0xF800;
            masks[1] = 0x07E0;
            masks[2] = 0x001F;
        } else if (bits <= 8) {
            int count = colors && colorCount > 0 ? std::min(colorCount, 1 << bits) : 0;
            if (count)
                std::memcpy(info.Colors, colors, count * sizeof(RGBQUAD));
            else
                count = DefaultColorTable(bits, info.Colors);
            info.Header.biClrUsed = static_cast<DWORD>(count);
        }
        void* pixels = nullptr;
        result = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels,
                                  nullptr, 0);
    } else {
        throw EInvalidGraphicOperation(msg::InvalidPixelFormat);
    }
    if (!result) throw EOutOfResources(msg::OutOfResources);
    if (!IsDibFormat(format)) {  // DDB contents start undefined
        TSelectedDC dc(result);
        PatBlt(dc.Handle(), 0, 0, width, height, BLACKNESS);
    }
    return result;
}

void TBitmap::Adopt(HBITMAP handle) {
    DIBSECTION ds;
    std::memset(&ds, 0, sizeof ds);
    TPixelFormat format = pfDevice;
    uint8_t* bits = nullptr;
    int stride = 0;
    bool topDown = false;
    int width = 0, height = 0;
    if (handle) {
        if (GetObjectType(handle) != OBJ_BITMAP) throw EInvalidGraphic(msg::InvalidBitmapHandle);
        int n = GetObjectA(handle, sizeof ds, &ds);
        if (n < static_cast<int>(sizeof(BITMAP))) throw EInvalidGraphic(msg::InvalidBitmapHandle);
        width = ds.dsBm.bmWidth;
        height = std::abs(ds.dsBm.bmHeight);
        if (n == static_cast<int>(sizeof(DIBSECTION)) && ds.dsBm.bmBits) {
            const int bpp = ds.dsBmih.biBitCount;
            bits = static_cast<uint8_t*>(ds.dsBm.bmBits);
            stride = ((width * bpp + 31) / 32) * 4;
            topDown = DibIsTopDown(handle, ds, bits, height);
            switch (bpp) {
            case 1: format = pfCustom; break;  // a 1-bit DIB: pf1bit means a monochrome DDB
            case 4: format = pf4bit; break;
            case 8: format = pf8bit; break;
            case 16:
                format = ds.dsBmih.biCompression == BI_BITFIELDS && ds.dsBitfields[1] == 0x07E0 ? pf16bit : pf15bit;
                break;
            case 24: format = pf24bit; break;
            case 32: format = pf32bit; break;
            default: format = pfCustom; break;
            }
        } else {
            format = ds.dsBm.bmBitsPixel == 1 && ds.dsBm.bmPlanes == 1 ? pf1bit : pfDevice;
        }
    }
    FreeContext();
    if (FHandle && FHandle != handle) DeleteObject(FHandle);
    FHandle = handle;
    FBits = bits;
    FStride = stride;
    FTopDown = topDown;
    if (handle) {
        FPixelFormat = format;
        FWidth = width;
        FHeight = height;
    }
}

void TBitmap::ConvertTo(TPixelFormat format, int width, int height) {
    if (width <= 0 || height <= 0) {
        FreeContext();
        if (FHandle) DeleteObject(FHandle);
        FHandle = nullptr;
        FBits = nullptr;
        FStride = 0;
        FPixelFormat = format;
        FWidth = std::max(width, 0);
        FHeight = std::max(height, 0);
        return;
    }
    const int bits = BitsPerPixel(format);
    RGBQUAD colors[256];
    int colorCount = 0;
    if (FHandle && bits >= 1 && bits <= 8 && BitsPerPixel(FPixelFormat) == bits && FBits)
        colorCount = static_cast<int>(GetDIBColorTable(GetCanvas()->GetHandle(), 0, 256, colors));
    HBITMAP created = CreateBitmapHandle(format, width, height, colors, colorCount);
    if (FHandle) {
        const int w = std::min(width, FWidth), h = std::min(height, FHeight);
        if (format == FPixelFormat && FBits) {
            // Same DIB layout: copy the bytes (keeps alpha, which BitBlt may not).
            GdiFlush();
            FreeContext();
            TBitmap probe;
            probe.Adopt(created);
            const int rowBytes = (w * bits + 7) / 8;
            for (int y = 0; y < h; ++y)
                std::memcpy(probe.GetScanLine(y), GetScanLine(y), static_cast<size_t>(rowBytes));
            probe.ReleaseHandle();
        } else {
            HDC source = GetCanvas()->GetHandle();
            TSelectedDC dest(created);
            TPlainColors plain(source);
            BitBlt(dest.Handle(), 0, 0, w, h, source, 0, 0, SRCCOPY);
        }
    }
    Adopt(created);
    FPixelFormat = format;
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == FWidth && height == FHeight) return;
    ConvertTo(FPixelFormat == pfCustom ? pfDevice : FPixelFormat, width, height);
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
    if (value == FPixelFormat) return;
    if (value == pfCustom) throw EInvalidGraphicOperation(msg::InvalidPixelFormat);
    ConvertTo(value, FWidth, FHeight);
    Changed();
}

void TBitmap::SetMonochrome(bool value) {
    if (value == GetMonochrome()) return;
    SetPixelFormat(value ? pf1bit : pfDevice);
}

void TBitmap::SetHandle(HBITMAP value) {
    if (value == FHandle) return;
    Adopt(value);
    if (!value) {
        FWidth = FHeight = 0;
    }
    Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
    FreeContext();
    HBITMAP handle = FHandle;
    FHandle = nullptr;
    FBits = nullptr;
    FStride = 0;
    FWidth = FHeight = 0;
    return handle;
}

void* TBitmap::GetScanLine(int row) {
    if (row < 0 || row >= FHeight || !FHandle) throw EInvalidGraphicOperation(msg::ScanLineRange);
    if (!FBits) throw EInvalidGraphicOperation(msg::ScanLineNoDib);
    GdiFlush();
    const int physical = FTopDown ? row : FHeight - 1 - row;
    return FBits + static_cast<ptrdiff_t>(physical) * FStride;
}

int TBitmap::GetScanLineSize() const noexcept {
    return FBits ? FStride : 0;
}

void TBitmap::Assign(TPersistent* source) {
    if (source == this) return;
    if (!source) {
        SetHandle(nullptr);
        return;
    }
    auto* bitmap = dynamic_cast<TBitmap*>(source);
    if (!bitmap) {
        inherited::Assign(source);
        return;
    }
    HBITMAP created = nullptr;
    if (!bitmap->GetEmpty()) {
        RGBQUAD colors[256];
        int colorCount = 0;
        const int bits = BitsPerPixel(bitmap->FPixelFormat);
        const TPixelFormat format = bitmap->FPixelFormat == pfCustom ? pf32bit : bitmap->FPixelFormat;
        if (bitmap->FBits && bits >= 1 && bits <= 8)
            colorCount = static_cast<int>(GetDIBColorTable(bitmap->GetCanvas()->GetHandle(), 0, 256, colors));
        created = CreateBitmapHandle(format, bitmap->FWidth, bitmap->FHeight, colors, colorCount);
        if (bitmap->FBits && format == bitmap->FPixelFormat) {
            GdiFlush();
            bitmap->FreeContext();
            TBitmap probe;
            probe.Adopt(created);
            const int rowBytes = (bitmap->FWidth * bits + 7) / 8;
            for (int y = 0; y < bitmap->FHeight; ++y)
                std::memcpy(probe.GetScanLine(y), bitmap->GetScanLine(y), static_cast<size_t>(rowBytes));
            probe.ReleaseHandle();
        } else {
            HDC sourceDC = bitmap->GetCanvas()->GetHandle();
            TSelectedDC dest(created);
            TPlainColors plain(sourceDC);
            BitBlt(dest.Handle(), 0, 0, bitmap->FWidth, bitmap->FHeight, sourceDC, 0, 0, SRCCOPY);
        }
    }
    Adopt(created);
    FPixelFormat = bitmap->FPixelFormat == pfCustom ? pf32bit : bitmap->FPixelFormat;
    FWidth = bitmap->FWidth;
    FHeight = bitmap->FHeight;
    FTransparentColor = bitmap->FTransparentColor;
    FTransparentMode = bitmap->FTransparentMode;
    if (GetTransparent() != bitmap->GetTransparent())
        SetTransparent(bitmap->GetTransparent());  // fires Changed
    else
        Changed();
}

TColor TBitmap::GetTransparentColor() {
    if (FTransparentMode == tmFixed) return FTransparentColor;
    if (GetEmpty()) return clDefault;
    return GetCanvas()->GetPixels(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor value) {
    const TTransparentMode mode = value == clDefault ? tmAuto : tmFixed;
    if (value == FTransparentColor && mode == FTransparentMode) return;
    FTransparentColor = value;
    FTransparentMode = mode;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
    if (value == FTransparentMode) return;
    if (value == tmAuto) FTransparentColor = clDefault;
    FTransparentMode = value;
    Changed();
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect) {
    if (GetEmpty()) return;
    HDC dest = canvas->GetHandle();
    const COLORREF transparent = GetTransparent() ? ColorToColorRef(GetTransparentColor()) : 0;
    HDC source = GetCanvas()->GetHandle();
    const int w = rect.Width(), h = rect.Height();
    if (GetTransparent()) {
        TransparentBlt(dest, rect.Left, rect.Top, w, h, source, 0, 0, FWidth, FHeight, transparent);
    } else if (w == FWidth && h == FHeight) {
        BitBlt(dest, rect.Left, rect.Top, w, h, source, 0, 0, canvas->GetCopyMode());
    } else {
        const int old = SetStretchBltMode(dest, FPixelFormat == pf1bit ? BLACKONWHITE : COLORONCOLOR);
        StretchBlt(dest, rect.Left, rect.Top, w, h, source, 0, 0, FWidth, FHeight, canvas->GetCopyMode());
        SetStretchBltMode(dest, old);
    }
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
    auto handle = static_cast<HBITMAP>(LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!handle) throw EResNotFound(Format(msg::ResNotFound, {name}));
    SetHandle(handle);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
    auto handle = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!handle) throw EResNotFound(Format(msg::ResNotFound, {IntToStr(id)}));
    SetHandle(handle);
}

// ---- TIcon -------------------------------------------------------------------

TIcon::~TIcon() {
    if (FHandle) DestroyIcon(FHandle);
}

void TIcon::SetHandle(HICON value) {
    if (value == FHandle) return;
    int width = 0, height = 0;
    if (value) {
        ICONINFO info{};
        if (!GetIconInfo(value, &info)) throw EInvalidGraphic(msg::InvalidIconHandle);
        BITMAP bm{};
        if (info.hbmColor) {
            GetObjectA(info.hbmColor, sizeof bm, &bm);
            width = bm.bmWidth;
            height = bm.bmHeight;
        } else if (info.hbmMask) {
            GetObjectA(info.hbmMask, sizeof bm, &bm);
            width = bm.bmWidth;
            height = bm.bmHeight / 2;
        }
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
    }
    if (FHandle) DestroyIcon(FHandle);
    FHandle = value;
    FWidth = width;
    FHeight = height;
    Changed();
}

HICON TIcon::ReleaseHandle() {
    HICON handle = FHandle;
    FHandle = nullptr;
    FWidth = FHeight = 0;
    return handle;
}

void TIcon::Assign(TPersistent* source) {
    if (source == this) return;
    if (!source) {
        SetHandle(nullptr);
        return;
    }
    auto* icon = dynamic_cast<TIcon*>(source);
    if (!icon) {
        inherited::Assign(source);
        return;
    }
    HICON copy = nullptr;
    if (icon->FHandle) {
        copy = static_cast<HICON>(CopyImage(icon->FHandle, IMAGE_ICON, 0, 0, 0));
        if (!copy) throw EOutOfResources(msg::OutOfResources);
    }
    SetHandle(copy);
}

void TIcon::LoadFromResourceName(HINSTANCE instance, const std::string& name, int width, int height) {
    const UINT flags = width == 0 && height == 0 ? LR_DEFAULTSIZE : 0;
    auto handle = static_cast<HICON>(LoadImageA(instance, name.c_str(), IMAGE_ICON, width, height, flags));
    if (!handle) throw EResNotFound(Format(msg::ResNotFound, {name}));
    SetHandle(handle);
}

void TIcon::LoadFromResourceID(HINSTANCE instance, int id, int width, int height) {
    const UINT flags = width == 0 && height == 0 ? LR_DEFAULTSIZE : 0;
    auto handle = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, width, height, flags));
    if (!handle) throw EResNotFound(Format(msg::ResNotFound, {IntToStr(id)}));
    SetHandle(handle);
}

void TIcon::Draw(TCanvas* canvas, const TRect& rect) {
    if (!FHandle) return;
    DrawIconEx(canvas->GetHandle(), rect.Left, rect.Top, FHandle, rect.Width(), rect.Height(), 0, nullptr,
               DI_NORMAL);
}

// ---- TPicture ----------------------------------------------------------------

TPicture::~TPicture() {
    gcl::Free(FGraphic);
}

void TPicture::SetOwned(TGraphic* graphic) {
    TGraphic* old = FGraphic;
    FGraphic = graphic;
    if (graphic) graphic->OnChange = TNotifyEvent(this, &TPicture::GraphicChanged);
    gcl::Free(old);
    if (OnChange) OnChange(this);
}

void TPicture::GraphicChanged(TObject*) {
    if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(TGraphic* value) {
    if (value == FGraphic) return;
    if (!value) {
        SetOwned(nullptr);
        return;
    }
    auto* copy = static_cast<TGraphic*>(value->ClassType()->NewInstance());
    try {
        copy->Assign(value);
    } catch (...) {
        copy->Free();
        throw;
    }
    SetOwned(copy);
}

TBitmap* TPicture::GetBitmap() {
    if (!dynamic_cast<TBitmap*>(FGraphic)) SetOwned(TBitmap::Create());
    return static_cast<TBitmap*>(FGraphic);
}

TIcon* TPicture::GetIcon() {
    if (!dynamic_cast<TIcon*>(FGraphic)) SetOwned(TIcon::Create());
    return static_cast<TIcon*>(FGraphic);
}

void TPicture::Assign(TPersistent* source) {
    if (source == this) return;
    if (!source) {
        SetGraphic(nullptr);
    } else if (auto* picture = dynamic_cast<TPicture*>(source)) {
        SetGraphic(picture->FGraphic);
    } else if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
        SetGraphic(graphic);
    } else {
        inherited::Assign(source);
    }
}

// ---- Metaclasses -------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGraphicsObject)

GCL_PUBLISHED(TFont,
    GCL_PROP(Charset).Default(TFontCharset(DEFAULT_CHARSET)),
    GCL_PROP(Color).Default(clWindowText).Idents(ColorIdents),
    GCL_PROP(Height),
    GCL_PROP(Name),
    GCL_PROP(Pitch).Default(fpDefault),
    GCL_PROP(Size).Stored(false),
    GCL_PROP(Style).Default(TFontStyles{}))

GCL_PUBLISHED(TPen,
    GCL_PROP(Color).Default(clBlack).Idents(ColorIdents),
    GCL_PROP(Style).Default(psSolid),
    GCL_PROP(Width).Default(1))

GCL_PUBLISHED(TBrush,
    GCL_PROP(Color).Default(clWhite).Idents(ColorIdents),
    GCL_PROP(Style).Default(bsSolid))

GCL_IMPLEMENT_CLASS(TCanvas)
GCL_IMPLEMENT_CLASS(TScreenCanvas)
GCL_IMPLEMENT_CLASS(TMemoryCanvas)
GCL_IMPLEMENT_CLASS(TBitmapCanvas)
GCL_IMPLEMENT_CLASS(TGraphic)
GCL_IMPLEMENT_CLASS(TBitmap)
GCL_IMPLEMENT_CLASS(TIcon)
GCL_IMPLEMENT_CLASS(TPicture)

namespace {
void InitializeGraphics() {
    RegisterClasses({TFont::StaticClass(), TPen::StaticClass(), TBrush::StaticClass(), TBitmap::StaticClass(),
                     TIcon::StaticClass(), TPicture::StaticClass()});
}
void FinalizeGraphics() {
    for (TClass cls : {TFont::StaticClass(), TPen::StaticClass(), TBrush::StaticClass(), TBitmap::StaticClass(),
                       TIcon::StaticClass(), TPicture::StaticClass()})
        UnRegisterClass(cls);
}
} // namespace

TUnit GraphicsUnit{"Graphics", &InitializeGraphics, &FinalizeGraphics};

// ---- Paint buffers ---------------------------------------------------------

namespace {

struct TKeptPaintBuffer {
    HDC DC;
    HBITMAP Bitmap;
    HGDIOBJ OldBitmap;
    int Width;
    int Height;
    unsigned Generation;
    bool InUse;
};
constinit thread_local TThreadVar<TKeptPaintBuffer> GKeptPaintBuffer;
std::atomic<unsigned> GDisplayGeneration{0};

void FreeKeptPaintBuffer(TKeptPaintBuffer& kept) noexcept {
    if (kept.DC) {
        SelectObject(kept.DC, kept.OldBitmap);
        DeleteDC(kept.DC);
    }
    if (kept.Bitmap) DeleteObject(kept.Bitmap);
    kept = TKeptPaintBuffer{};
}

} // namespace

TPaintBuffer::TPaintBuffer(HDC dc, int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    TKeptPaintBuffer& kept = GKeptPaintBuffer.Get();
    const unsigned generation = GDisplayGeneration.load(std::memory_order_relaxed);
    if (!kept.InUse && GetObjectType(dc) == OBJ_DC) {
        // A bitmap too small in one direction grows in that one and keeps
        // the other, so that a wide bar and a tall panel painted in turn
        // share one bitmap rather than make it anew each time.
        int keptWidth = width, keptHeight = height;
        if (kept.DC && kept.Generation == generation) {
            keptWidth = std::max(width, kept.Width);
            keptHeight = std::max(height, kept.Height);
        }
        if (kept.DC && (kept.Generation != generation || kept.Width < width || kept.Height < height))
            FreeKeptPaintBuffer(kept);
        if (!kept.DC) {
            HDC memory = CreateCompatibleDC(dc);
            HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, keptWidth, keptHeight) : nullptr;
            if (bitmap) {
                kept.DC = memory;
                kept.Bitmap = bitmap;
                kept.OldBitmap = SelectObject(memory, bitmap);
                kept.Width = keptWidth;
                kept.Height = keptHeight;
                kept.Generation = generation;
            } else if (memory) {
                DeleteDC(memory);
            }
        }
        if (kept.DC) {
            kept.InUse = true;
            FKept = true;
            FDC = kept.DC;
            FSaved = SaveDC(FDC);
            IntersectClipRect(FDC, 0, 0, width, height);
            PatBlt(FDC, 0, 0, width, height, BLACKNESS);
            return;
        }
    }
    FDC = CreateCompatibleDC(dc);
    FBitmap = CreateCompatibleBitmap(dc, width, height);
    FOldBitmap = SelectObject(FDC, FBitmap);
}

TPaintBuffer::~TPaintBuffer() {
    if (FKept) {
        RestoreDC(FDC, FSaved);
        GKeptPaintBuffer->InUse = false;
        return;
    }
    SelectObject(FDC, FOldBitmap);
    DeleteObject(FBitmap);
    DeleteDC(FDC);
}

void TPaintBuffer::DisplayChanged() noexcept { GDisplayGeneration.fetch_add(1, std::memory_order_relaxed); }

} // namespace gcl
