// The colour cache rules, the stock glyphs of a theme unit, the base of
// the cache themes and the start-up table that registers the themes.
#include "themes/ThemeCommon.h"

#include <iterator>
#include <vector>

#include "theming/Tx.h"
#include "theming/TxUtils.h"
#include "themes/TxAluminumTheme.h"
#include "themes/TxAthenTheme.h"
#include "themes/TxDreamTheme.h"
#include "themes/TxMirandaTheme.h"
#include "themes/TxMonaiTheme.h"
#include "themes/TxNexos2Theme.h"
#include "themes/TxNexos3Theme.h"
#include "themes/TxNexos4Theme.h"
#include "themes/TxNexos5Theme.h"
#include "themes/TxNexosXTheme.h"
#include "themes/TxOffice11AdaptiveTheme.h"
#include "themes/TxOfficeCTheme.h"
#include "themes/TxReliferTheme.h"
#include "themes/TxRomaTheme.h"
#include "themes/TxSentimoXTheme.h"
#include "themes/TxStripesTheme.h"
#include "themes/TxTristan2Theme.h"
#include "themes/TxTristanTheme.h"
#include "themes/TxWhidbeyTheme.h"
#include "themes/TxZezioTheme.h"

namespace qelvo {

using gcl::TCanvas;

TPopupJoint PaintCachePopupFrame(HDC dc, const TRect& rect, const TRect& parentItemRect,
                                 const TThemeColorCache& cache, TColor jointColor) {
    TRect r = rect;
    FrameRectColor(dc, r, cache.PopupBorderColor, true);
    FillRectColor(dc, r, cache.PopupBackground);
    // The popup of a themed item overlaps the item by its border's pixel.
    const TPopupJoint joint = PopupJointOf(r, parentItemRect);
    if (jointColor != clNone) {
        if (joint.Horizontal) DrawLineColor(dc, joint.X1, joint.Y, joint.X2, joint.Y, jointColor);
        if (joint.Vertical) DrawLineColor(dc, joint.X, joint.Y1, joint.X, joint.Y2, jointColor);
    }
    return joint;
}

TRect PaintPanelCaptionBorder(TCanvas* canvas, const TRect& rect, bool topCaption, TColor outer) {
    const TColor effective = canvas->GetBrush()->GetColor();
    HDC dc = canvas->GetHandle();
    const int intensity = ColorIntensity(gcl::clBtnFace);
    TRect r = rect;
    if (LowColorScreen || intensity < 64 || intensity > 250) {
        FrameRectColor(dc, r, effective, true);
        canvas->GetBrush()->SetBitmap(gcl::AllocPatternBitmap(effective, intensity < 64 ? gcl::clWhite : gcl::clBtnShadow));
        canvas->FrameRect(r);
        canvas->GetBrush()->SetBitmap(nullptr);
        SetCaptionCornerPixels(dc, r, topCaption, effective);
        gcl::InflateRect(r, -1, -1);
        FrameRectColor(dc, r, effective, true);
    } else {
        FrameRectColor(dc, r, outer, true);
        FrameRectColor(dc, r, effective, true);
        SetCaptionCornerPixels(dc, r, topCaption, outer);
    }
    canvas->GetBrush()->SetColor(effective);
    return r;
}

void PaintPopupItemMarks(HDC dc, const TRect& rect, const TTxItemInfo& itemInfo, TColor line, TColor pressedLine,
                         TColor text) {
    const int m = GetSystemMetrics(SM_CXMENUCHECK);
    if (itemInfo.ItemOptions & IO_COMBO) {
        const int x = rect.Right - m - 1;
        const TColor color = !itemInfo.Enabled ? text : itemInfo.HoverKind == 2 ? pressedLine : line;
        DrawLineColor(dc, x, rect.Top + 1, x, rect.Bottom - 1, color);
    }
    if (itemInfo.ItemOptions & IO_SUBMENUITEM) {
        const int x = rect.Right - (2 * m) / 3 - 1, y = rect.Bottom / 2;
        DrawTriangle(dc, {x, y - 3}, {x, y + 3}, {x + 3, y}, text);
    }
}

void PaintEditFrameButton(TTxTheme* theme, TCanvas* canvas, const TRect& rect, int inset, const TTxItemInfo& itemInfo,
                          const TTxEditFrameInfo& editFrameInfo) {
    const int width = editFrameInfo.RightBtnWidth;
    if (width <= 0) return;
    TRect button = Inset(rect, inset);
    button.Left = button.Right - width;
    theme->PaintEditButton(canvas, button, itemInfo, editFrameInfo.RightBtnInfo);
}

void PaintTablePageScrollButton(HDC dc, const TRect& rect, int direction, bool hot, const TThemeColorCache& cache) {
    const TColor(&hotRow)[3] = cache.ButtonColorTable[brHot];
    TRect r = rect;
    FrameRectColor(dc, r, hot ? hotRow[cpFrame] : gcl::clBtnShadow, true);
    FillRectColor(dc, r, hot ? hotRow[cpBody] : gcl::clBtnFace);
    DrawScrollArrow(dc, r, direction, hot ? hotRow[cpText] : cache.ButtonColorTable[brNormal][cpText]);
}

TFrameControlColors TableFrameControlColors(const TThemeColorCache& cache, int state) {
    const bool disabled = state & PFS_DISABLED, pushed = state & PFS_PUSHED, hot = state & PFS_HOT,
               mixed = state & PFS_MIXED;
    const auto& table = cache.ButtonColorTable;
    TFrameControlColors colors;
    colors.Outline = disabled ? gcl::clBtnShadow
                     : pushed ? table[brPushed][cpFrame]
                     : hot    ? table[brHot][cpFrame]
                              : gcl::clBtnShadow;
    colors.Fill = disabled ? clNone : pushed ? table[brPushed][cpBody] : hot ? table[brHot][cpBody] : clNone;
    colors.MixedPattern = !disabled && !pushed && !hot && mixed;
    colors.Mark = disabled ? table[brDisabled][cpText]
                  : pushed ? table[brPushed][cpText]
                  : mixed  ? gcl::clBtnShadow
                  : hot    ? table[brHot][cpText]
                           : table[brNormal][cpText];
    return colors;
}

TCacheEnvironment ThemeCacheEnvironment() {
    TCacheEnvironment env;
    for (int i = 0; i < SysColorCount; ++i) env.SysColors[static_cast<size_t>(i)] = ResolveColor(gcl::SysColor(i));
    env.LowColorScreen = LowColorScreen;
    env.VisualStylesOn = VisualStylesOn;
    env.NearestColor = &NearestColor;
    return env;
}

TColor CacheViewColor(const TThemeColorCache& cache, uint32_t viewType, TColor otherColor) {
    if (IsToolbarView(viewType)) return IsMenuBarView(viewType) ? cache.MenuBarBackground : cache.ToolbarBackground;
    if (IsPopupView(viewType)) return IsViewKind(viewType, VT_LISTPOPUP) ? gcl::clWindow : cache.PopupBackground;
    if (viewType & VT_DOCKPANELGROUP) return cache.DockPanelBackground;
    return otherColor;
}

void AdjustCachedColor(TColor& color) {
    if (color == clNone) return;
    color = NearestColor(ResolveColor(color));
}

// ---- Item states ---------------------------------------------------------------

TButtonRow ButtonRowOf(const TTxItemInfo& info) noexcept {
    if (!info.Enabled) return info.HoverKind == 1 ? brDisabledHot : brDisabled;
    if (info.PopupOpen) return brPopupOpen;
    if (info.Pushed) return brPushed;
    if (info.Selected) return IsHot(info) ? brCheckedHot : brChecked;
    return IsHot(info) ? brHot : brNormal;
}

TMenuRow MenuRowOf(const TTxItemInfo& info) noexcept {
    if (info.Enabled) return IsHot(info) ? mrHot : mrNormal;
    return info.HoverKind == 1 ? mrDisabledHot : mrDisabled;
}

bool UsesMenuTable(const TTxItemInfo& info) noexcept {
    return IsViewKind(info.ViewType, VT_POPUPMENU) && (info.ItemOptions & IO_TOOLBARSTYLE) == 0;
}

TColor ButtonPartColor(const TThemeColorCache& cache, const TTxItemInfo& info, TColorPart part,
                       const TPartFallbacks& fallbacks) {
    TColor color = cache.ButtonColorTable[ButtonRowOf(info)][part];
    if (!IsOpaqueToolbarItem(info)) return color;
    if (part == cpBody && color == clNone) return cache.ToolbarBackground;
    if (part == cpFrame) {
        if (info.Selected) return gcl::clWindowFrame;
        if (color == clNone) return fallbacks.Frame;
    }
    return color;
}

TColor ItemPartColor(const TThemeColorCache& cache, const TTxItemInfo& info, TColorPart part,
                     const TPartFallbacks& fallbacks) {
    if (UsesMenuTable(info) && !(fallbacks.ParentUsesButtonRow && info.IsPopupParent != 0))
        return cache.MenuItemColorTable[MenuRowOf(info)][part];
    TColor color = cache.ButtonColorTable[ButtonRowOf(info)][part];
    if (IsOpaqueToolbarItem(info) && color == clNone) {
        if (part == cpBody) return cache.ToolbarBackground;
        if (part == cpFrame) return fallbacks.Frame;
    }
    return color;
}

TColor CacheItemColor(TTxTheme* theme, const TThemeColorCache& cache, const TTxItemInfo& info,
                      const TPartFallbacks& fallbacks) {
    const TColor color = ItemPartColor(cache, info, cpBody, fallbacks);
    return color != clNone ? color : theme->ViewColor(info.ViewType);
}

TColor CacheItemImageBackground(TTxTheme* theme, const TThemeColorCache& cache, const TTxItemInfo& info,
                                const TPartFallbacks& fallbacks) {
    const TColor color = ButtonPartColor(cache, info, cpBody, fallbacks);
    return color != clNone ? color : theme->ViewColor(info.ViewType);
}

TButtonRow CloseButtonRow(uint32_t closeButtonState) noexcept {
    if (closeButtonState & CDBS_PRESSED) return brPushed;
    if (closeButtonState & CDBS_HOT) return brHot;
    return brNormal;
}

TButtonRow FloatingCloseButtonRow(uint32_t closeButtonState, bool active) noexcept {
    return active ? CloseButtonRow(closeButtonState) : brDisabled;
}

TPoint RaisedImageOffset(const TTxItemInfo& info) noexcept {
    const bool raised = info.Enabled && IsHot(info) && !info.Selected && !(info.Pushed && !info.PopupOpen);
    return raised ? TPoint{-1, -1} : TPoint{0, 0};
}

void ItemOutlineCuts(const TTxItemInfo& info, TRect& rect, int& leftCut, int& rightCut) noexcept {
    leftCut = rightCut = 2;
    if (info.IsPopupParent == 3) {
        rect.Left -= 1;
        leftCut = 1;
    } else if (info.IsPopupParent == 2) {
        rightCut = 1;
    }
    if (!(info.ItemOptions & IO_TOOLBARSTYLE)) leftCut = rightCut = 1;
}

// ---- Stock glyphs ------------------------------------------------------------------

int MDIGlyphIndex(unsigned buttonKind) noexcept {
    switch (buttonKind) {
    case 0: return 0;
    case 1: return 2;
    case 3: return 3;
    default: return -1;
    }
}

void TThemeStock::Acquire() {
    if (ThemeInstanceCount++ > 0) return;
    try {
        StockImages = gcl::TImageList::CreateSize(16, 16);
        StockImages->SetAllocBy(1);
        // A program without the resource keeps an empty list: the MDI
        // buttons then show their faces only.
        StockImages->ResourceLoad(gcl::rtBitmap, "TxGLYPHS", gcl::clWhite);
        if (WithBitmap) {
            StockBitmap = new gcl::TBitmap();
            StockBitmap->SetPixelFormat(gcl::pf24bit);
        }
    } catch (...) {
        --ThemeInstanceCount;
        Release();
        ++ThemeInstanceCount;
        throw;
    }
}

void TThemeStock::Release() noexcept {
    if (ThemeInstanceCount > 0 && --ThemeInstanceCount > 0) return;
    delete StockBitmap;
    StockBitmap = nullptr;
    if (StockImages) StockImages->Free();
    StockImages = nullptr;
}

void DrawStockGlyph(HDC dc, int x, int y, gcl::TImageList* images, int index, TColor color) {
    if (color == clNone || !images || index < 0 || index >= images->GetCount()) return;
    const int w = images->GetWidth(), h = images->GetHeight();
    // The image drawn over a key colour: the glyph is what stays key (the
    // list's transparent white) or shows white (an unmasked list).
    constexpr uint32_t Key = 0x00FF00FF;
    gcl::TBitmap image;
    image.SetPixelFormat(gcl::pf32bit);
    image.SetSize(w, h);
    HDC imageDC = image.GetCanvas()->GetHandle();
    for (int row = 0; row < h; ++row) {
        auto* pixels = static_cast<uint32_t*>(image.GetScanLine(row));
        for (int col = 0; col < w; ++col) pixels[col] = Key;
    }
    images->DrawEx(imageDC, 0, 0, index, ILD_TRANSPARENT);
    GdiFlush();
    const int rowBytes = ((w + 15) / 16) * 2;
    std::vector<uint8_t> bits(static_cast<size_t>(rowBytes) * h, 0);
    for (int row = 0; row < h; ++row) {
        const auto* pixels = static_cast<const uint32_t*>(image.GetScanLine(row));
        for (int col = 0; col < w; ++col) {
            const uint32_t p = pixels[col] & 0xFFFFFF;
            if (p == Key || p == 0xFFFFFF) bits[row * rowBytes + col / 8] |= static_cast<uint8_t>(0x80 >> (col % 8));
        }
    }
    HBITMAP glyph = CreateBitmap(w, h, 1, 1, bits.data());
    HDC glyphDC = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(glyphDC, glyph);
    PaintSetBits(dc, x, y, w, h, glyphDC, color);
    SelectObject(glyphDC, old);
    DeleteDC(glyphDC);
    DeleteObject(glyph);
}

// ---- Check boxes and radio buttons ----------------------------------------------------

void PaintCheckRadio(TCanvas* canvas, const TRect& rect, int kind, int state, const TFrameControlColors& colors) {
    if (kind != PFC_CHECKBOX && kind != PFC_RADIOBUTTON) return;
    gcl::TPen* pen = canvas->GetPen();
    gcl::TBrush* brush = canvas->GetBrush();
    pen->SetColor(colors.Outline);
    pen->SetStyle(colors.Outline == clNone ? gcl::psClear : gcl::psSolid);
    if (colors.MixedPattern)
        brush->SetBitmap(gcl::AllocPatternBitmap(gcl::clWindow, gcl::clBtnFace));
    else if (colors.Fill != clNone)
        brush->SetColor(colors.Fill);
    else
        brush->SetStyle(gcl::bsClear);
    TRect r = rect;
    gcl::InflateRect(r, -1, -1);
    if (kind == PFC_CHECKBOX)
        canvas->Rectangle(r);
    else
        canvas->Ellipse(r);
    brush->SetBitmap(nullptr);
    pen->SetStyle(gcl::psSolid);
    brush->SetStyle(gcl::bsSolid);
    if (colors.Mark == clNone) return;
    if (kind == PFC_CHECKBOX) {
        if (state & (PFS_CHECKED | PFS_MIXED))
            FillCheckTick(canvas->GetHandle(), (r.Left + r.Right) / 2 - 1, (r.Top + r.Bottom) / 2 + 1, colors.Mark);
    } else if (state & PFS_CHECKED) {
        gcl::InflateRect(r, -3, -3);
        pen->SetColor(colors.Mark);
        brush->SetColor(colors.Mark);
        canvas->Ellipse(r);
    }
}

// ---- Item images -------------------------------------------------------------------------

void PaintItemImage(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, TCustomImageList* imageList,
                    int imageIndex, TColor background) {
    const bool dark = ColorIntensity(background) < 80;
    if (!itemInfo.Enabled) {
        DrawDisabledImage(canvas, rect, imageList, imageIndex, dark, gcl::clBtnShadow);
        return;
    }
    const bool hot = IsHot(itemInfo);
    if (!itemInfo.Selected && !itemInfo.Pushed && !hot) {
        if (dark || WhiteButtonFace || LowColorScreen)
            DrawImageBrightened(canvas, rect, imageList, imageIndex, dark);
        else
            DrawImageTinted(canvas, rect, imageList, imageIndex, gcl::clWindow, 255);
    } else if (hot && !itemInfo.Selected && (!itemInfo.Pushed || itemInfo.PopupOpen)) {
        DrawImageShaded(canvas, rect, imageList, imageIndex, 1);
        TRect shadow = rect;
        gcl::OffsetRect(shadow, 1, 1);
        DrawImageShaded(canvas, shadow, imageList, imageIndex, 1);
        TRect raised = rect;
        gcl::OffsetRect(raised, -1, -1);
        DrawImageBrightened(canvas, raised, imageList, imageIndex, dark);
    } else {
        DrawImageBrightened(canvas, rect, imageList, imageIndex, dark);
    }
}

// ---- Cache themes ----------------------------------------------------------------------

void CommonViewBorder(uint32_t viewType, TPoint& border) {
    if (IsPopupView(viewType) && !IsToolbarView(viewType)) {
        border = {2, 2};
    } else if (!IsToolbarView(viewType) && !(viewType & VT_DOCKPANELGROUP)) {
        border = {0, 0};
    } else if (viewType & VT_FLOATING) {
        border = (viewType & VT_SIZABLE) ? TPoint{GetSystemMetrics(SM_CXFRAME) - 1, GetSystemMetrics(SM_CYFRAME) - 1}
                                         : TPoint{GetSystemMetrics(SM_CXDLGFRAME) - 1, GetSystemMetrics(SM_CYDLGFRAME) - 1};
    } else {
        border = {2, 2};
    }
}

GCL_IMPLEMENT_CLASS(TTxCacheTheme)

TTxCacheTheme::TTxCacheTheme(const std::string& name, TThemeStock& stock, TThemeColorCache& cache,
                             TPartFallbacks fallbacks)
    : TTxTheme(name), FStock(&stock), FCache(&cache), FFallbacks(fallbacks) {
    FStock->Acquire();
}

TTxCacheTheme::~TTxCacheTheme() { FStock->Release(); }

TPoint TTxCacheTheme::ImageOffset(TCanvas*, const TTxItemInfo& itemInfo, TCustomImageList*) {
    return RaisedImageOffset(itemInfo);
}

TColor TTxCacheTheme::ItemColor(const TTxItemInfo& itemInfo) {
    return CacheItemColor(this, *FCache, itemInfo, FFallbacks);
}

TColor TTxCacheTheme::ItemTextColor(const TTxItemInfo& itemInfo) { return ItemPart(itemInfo, cpText); }

TColor TTxCacheTheme::ItemImageBackground(const TTxItemInfo& itemInfo) {
    return CacheItemImageBackground(this, *FCache, itemInfo, FFallbacks);
}

void TTxCacheTheme::ThemeMargins(int marginID, TTxMarginRect& margins) {
    switch (marginID) {
    case 1: margins = {2, 2, 2, 2}; break;
    case 2: margins = {1, 1, 3, 3}; break;
    case 3: margins = {3, 3, 1, 1}; break;
    default: margins = {}; break;
    }
}

void TTxCacheTheme::ViewBorder(uint32_t viewType, TPoint& border) { CommonViewBorder(viewType, border); }

TColor TTxCacheTheme::ViewColor(uint32_t viewType) { return CacheViewColor(*FCache, viewType, gcl::clBtnFace); }

bool TTxCacheTheme::BooleanMetric(int index) { return index == 5 || index == 6 || index == 7; }

void TTxCacheTheme::ViewMargins(uint32_t, TTxMarginRect& margins) { margins = TTxMarginRect{}; }

void TTxCacheTheme::PaintChevron(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    PaintButton(canvas, rect, itemInfo);
    DrawChevronGlyph(canvas, rect, itemInfo.IsVertical, ItemPart(itemInfo, cpText));
}

void TTxCacheTheme::PaintMDIButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                   unsigned buttonKind) {
    PaintButton(canvas, rect, itemInfo);
    const int index = MDIGlyphIndex(buttonKind);
    gcl::TImageList* images = FStock->StockImages;
    if (index < 0 || !images) return;
    DrawStockGlyph(canvas->GetHandle(), (rect.Left + rect.Right - images->GetWidth()) / 2,
                   (rect.Top + rect.Bottom - images->GetHeight()) / 2, images, index, ItemPart(itemInfo, cpText));
}

// ---- Registration ----------------------------------------------------------------------

namespace {

struct TThemeEntry {
    const char* Name;
    TTxThemeClass (*ThemeClass)();
};

// In the themes' fixed order.
constexpr TThemeEntry ThemeTable[] = {
    {"Stripes", [] { return static_cast<TTxThemeClass>(TTxStripesTheme::StaticClass()); }},
    {"Athen", [] { return static_cast<TTxThemeClass>(TTxAthenTheme::StaticClass()); }},
    {"Nexos2", [] { return static_cast<TTxThemeClass>(TTxNexos2Theme::StaticClass()); }},
    {"Nexos3", [] { return static_cast<TTxThemeClass>(TTxNexos3Theme::StaticClass()); }},
    {"Nexos4", [] { return static_cast<TTxThemeClass>(TTxNexos4Theme::StaticClass()); }},
    {"Nexos5", [] { return static_cast<TTxThemeClass>(TTxNexos5Theme::StaticClass()); }},
    {"NexosX", [] { return static_cast<TTxThemeClass>(TTxNexosXTheme::StaticClass()); }},
    {"Office11Adaptive", [] { return static_cast<TTxThemeClass>(TTxOffice11AdaptiveTheme::StaticClass()); }},
    {"Dream", [] { return static_cast<TTxThemeClass>(TTxDreamTheme::StaticClass()); }},
    {"Zezio", [] { return static_cast<TTxThemeClass>(TTxZezioTheme::StaticClass()); }},
    {"Roma", [] { return static_cast<TTxThemeClass>(TTxRomaTheme::StaticClass()); }},
    {"Tristan", [] { return static_cast<TTxThemeClass>(TTxTristanTheme::StaticClass()); }},
    {"Tristan2", [] { return static_cast<TTxThemeClass>(TTxTristan2Theme::StaticClass()); }},
    {"Aluminum", [] { return static_cast<TTxThemeClass>(TTxAluminumTheme::StaticClass()); }},
    {"OfficeC", [] { return static_cast<TTxThemeClass>(TTxOfficeCTheme::StaticClass()); }},
    {"Whidbey", [] { return static_cast<TTxThemeClass>(TTxWhidbeyTheme::StaticClass()); }},
    {"Relifer", [] { return static_cast<TTxThemeClass>(TTxReliferTheme::StaticClass()); }},
    {"SentimoX", [] { return static_cast<TTxThemeClass>(TTxSentimoXTheme::StaticClass()); }},
    {"Monai", [] { return static_cast<TTxThemeClass>(TTxMonaiTheme::StaticClass()); }},
    {"Miranda", [] { return static_cast<TTxThemeClass>(TTxMirandaTheme::StaticClass()); }},
};

// A failed registration takes back the ones made before it, so the unit
// stays wholly unstarted.
void RegisterThemes() {
    TxUnit.Initialize();
    size_t done = 0;
    try {
        for (; done < std::size(ThemeTable); ++done) RegisterTheme(ThemeTable[done].Name, ThemeTable[done].ThemeClass());
    } catch (...) {
        while (done > 0) UnregisterTheme(ThemeTable[--done].Name);
        TxUnit.Finalize();
        throw;
    }
}

void FinalizeThemes() { TxUnit.Finalize(); }

} // namespace

gcl::TUnit ThemesUnit{"Themes", &RegisterThemes, &FinalizeThemes};

} // namespace qelvo
