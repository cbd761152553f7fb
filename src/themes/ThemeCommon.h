// What the visual themes share: the colour cache and the rules that turn
// an item's state into a row of it, the per-unit stock of glyphs with its
// instance count, the base class of the themes that keep a colour cache,
// the one-bit glyphs, and the table that registers every theme at start-up.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <type_traits>

#include "gcl/Graphics.h"
#include "gcl/ImgList.h"
#include "gcl/rtl/Init.h"
#include "theming/TxThemes.h"
#include "themes/ThemeCaches.h"
#include "themes/ThemePaint.h"

namespace qelvo {

// ---- Colour cache -------------------------------------------------------------

// The toolbar kind whose background and frame some themes paint like a
// docked toolbar's.
inline constexpr uint32_t VT_GRADIENTTOOLBAR = 0x1004;

// The environment of the cache formulas now: the system colours through
// the class library (so tests replace them through its service), the
// theming layer's flags, and snapping on its screen bitmap.
TCacheEnvironment ThemeCacheEnvironment();
inline TCacheFormulas CurrentCacheFormulas() { return TCacheFormulas(ThemeCacheEnvironment()); }

// The view colours of a cache: menu bars, toolbars, popups (clWindow for
// list popups), dock panels, and otherColor for any other view.
TColor CacheViewColor(const TThemeColorCache& cache, uint32_t viewType, TColor otherColor);

// Snaps a colour to what the screen shows; clNone stays, a system colour
// becomes its RGB value.
void AdjustCachedColor(TColor& color);
// Snaps every entry of a cache made only of colours.
template <class Cache>
void AdjustCachedColors(Cache& cache) {
    static_assert(std::is_trivially_copyable_v<Cache> && sizeof(Cache) % sizeof(TColor) == 0);
    auto* entries = reinterpret_cast<TColor*>(&cache);
    for (size_t i = 0; i < sizeof(Cache) / sizeof(TColor); ++i) AdjustCachedColor(entries[i]);
}

// ---- Item states ---------------------------------------------------------------

// A toolbar view painted opaque (bits 0x1000 and 0x200).
inline bool IsOpaqueToolbarItem(const TTxItemInfo& info) noexcept {
    return IsViewKind(info.ViewType, VT_TOOLBARGROUP | VT_OPAQUE);
}
// Enabled and under the mouse or the keyboard.
inline bool IsHot(const TTxItemInfo& info) noexcept { return info.HoverKind != 0; }
TButtonRow ButtonRowOf(const TTxItemInfo& info) noexcept;
TMenuRow MenuRowOf(const TTxItemInfo& info) noexcept;
// Items of popup menus (not toolbar-style) take the menu table.
bool UsesMenuTable(const TTxItemInfo& info) noexcept;

// How a theme's lookups fall back on opaque toolbars.
struct TPartFallbacks {
    TColor Frame = gcl::clBtnShadow;      // for a clNone frame
    bool ParentUsesButtonRow = false; // popup parents take the button table too
};

// The button table's entry by the button rule; on an opaque toolbar a
// clNone body becomes ToolbarBackground, a checked item's frame
// clWindowFrame and a clNone frame the fallback frame.
TColor ButtonPartColor(const TThemeColorCache& cache, const TTxItemInfo& info, TColorPart part,
                       const TPartFallbacks& fallbacks = {});
// The menu table for popup-menu items, else the button table with the
// opaque-toolbar fallbacks for body and frame (no clWindowFrame rule).
TColor ItemPartColor(const TThemeColorCache& cache, const TTxItemInfo& info, TColorPart part,
                     const TPartFallbacks& fallbacks = {});

// The answers every cache theme gives from its cache: the item's body
// (the view's colour when clNone), text and image background.
TColor CacheItemColor(TTxTheme* theme, const TThemeColorCache& cache, const TTxItemInfo& info,
                      const TPartFallbacks& fallbacks);
TColor CacheItemImageBackground(TTxTheme* theme, const TThemeColorCache& cache, const TTxItemInfo& info,
                                const TPartFallbacks& fallbacks);

// Close buttons of docked toolbars and panel captions: pushed, hot or
// normal; a floating window's is disabled while the window is inactive.
TButtonRow CloseButtonRow(uint32_t closeButtonState) noexcept;
TButtonRow FloatingCloseButtonRow(uint32_t closeButtonState, bool active) noexcept;

// (-1, -1) for an enabled hot item that is not checked and not held
// down (unless its popup is open); (0, 0) otherwise.
TPoint RaisedImageOffset(const TTxItemInfo& info) noexcept;

// The corner cuts of an item's outline: 2 on toolbar-style items, else 1.
// Where a split item's button and arrow parts meet, the button's right
// corners are cut by 1 and the arrow part moves out by one to its left, its
// left corners cut by 1.
void ItemOutlineCuts(const TTxItemInfo& info, TRect& rect, int& leftCut, int& rightCut) noexcept;

// ---- Stock glyphs of a theme unit ------------------------------------------------------

// The image of the stock glyphs for an MDI button kind (0 close, 1
// minimize, 3 restore); -1 for any other kind.
int MDIGlyphIndex(unsigned buttonKind) noexcept;

// One per theme unit: the instances alive and the stock they share. The
// first instance loads the "TxGLYPHS" images (white is transparent) and,
// where the unit has one, a 24-bit bitmap; the last one frees them.
struct TThemeStock {
    constexpr explicit TThemeStock(bool withBitmap) noexcept : WithBitmap(withBitmap) {}
    TThemeStock(const TThemeStock&) = delete;
    TThemeStock& operator=(const TThemeStock&) = delete;

    void Acquire();
    void Release() noexcept;

    const bool WithBitmap;
    int ThemeInstanceCount = 0;
    gcl::TImageList* StockImages = nullptr;
    gcl::TBitmap* StockBitmap = nullptr;
};

// Paints the glyph of stock image `index` (its glyph pixels, the ones the
// list treats as transparent) with its top-left corner at (x, y) in color.
void DrawStockGlyph(HDC dc, int x, int y, gcl::TImageList* images, int index, TColor color);

// ---- Frames every cache theme paints alike -------------------------------------------

// A popup's frame: a border in the cache's popup border colour round its
// background; where the item that opened it meets the popup (measured
// against the inset rectangle), that edge in jointColor (clNone: none).
// Answers the joint.
TPopupJoint PaintCachePopupFrame(HDC dc, const TRect& rect, const TRect& parentItemRect,
                                 const TThemeColorCache& cache, TColor jointColor);

// The frame of a panel caption area: on a low-colour screen or with a
// very dark or very light button face, three rings in the panel colour
// (the canvas brush colour on entry), the middle one patterned with white
// or the button shadow; otherwise a ring in outer and one in the panel
// colour. The corner pixels inside the first ring (top-left and top-right
// for a caption across the top, else top-left and bottom-left) take the
// outer colour. Answers the rectangle inside the rings; the brush keeps
// the panel colour.
TRect PaintPanelCaptionBorder(gcl::TCanvas* canvas, const TRect& rect, bool topCaption, TColor outer);

// The marks at the right end of a popup item: a combo item's split line
// SM_CXMENUCHECK + 1 from the right edge (in line; while pressed in
// pressedLine; disabled in text) and a submenu item's arrow in text.
void PaintPopupItemMarks(HDC dc, const TRect& rect, const TTxItemInfo& itemInfo, TColor line, TColor pressedLine,
                         TColor text);

// The button at the right end of an edit item, RightBtnWidth wide inside
// rect inset by `inset`, painted by the theme's PaintEditButton; nothing
// when the item has none.
void PaintEditFrameButton(TTxTheme* theme, gcl::TCanvas* canvas, const TRect& rect, int inset,
                          const TTxItemInfo& itemInfo, const TTxEditFrameInfo& editFrameInfo);

// A page-scroll button from the button table: framed in the button
// shadow over the button face, or in the hot row, with its arrow.
void PaintTablePageScrollButton(HDC dc, const TRect& rect, int direction, bool hot, const TThemeColorCache& cache);

// ---- Check boxes and radio buttons ----------------------------------------------------

struct TFrameControlColors {
    TColor Outline = clNone;
    TColor Fill = clNone;       // clNone: not filled
    bool MixedPattern = false;  // fill with the clWindow / clBtnFace checkerboard instead
    TColor Pattern1 = clNone;   // else, when set, the checkerboard of these two
    TColor Pattern2 = clNone;
    TColor Mark = clNone;
};
// A check box (kind 1: rectangle and filled tick when checked or mixed) or
// radio button (kind 2: ellipse and a dot when checked) in rect shrunk by
// one; the canvas pen and brush are left solid.
void PaintCheckRadio(gcl::TCanvas* canvas, const TRect& rect, int kind, int state, const TFrameControlColors& colors);
// The colours of a check box or radio button from the button table:
// outlined in the button shadow (pushed or hot: that row's frame), filled
// while pushed or hot, the mixed checkerboard when plain, the mark in the
// row's text (mixed: the button shadow).
TFrameControlColors TableFrameControlColors(const TThemeColorCache& cache, int state);

// ---- Item images -------------------------------------------------------------------------

// An item's image by its state over a background of the given colour:
// disabled as a silhouette (dark background) or grey shading; plain tinted
// toward clWindow on a light background (brightened on a dark one, a
// low-colour screen or a white button face); hot with a shadow and raised
// by a pixel; checked or pushed brightened in place.
void PaintItemImage(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, TCustomImageList* imageList,
                    int imageIndex, TColor background);

// ---- Themes with a colour cache --------------------------------------------------------

// The view borders most themes give: popups 2 x 2, floating toolbars and
// panels their window frame less one, docked ones 2 x 2, others none.
void CommonViewBorder(uint32_t viewType, TPoint& border);

// The base of the themes that keep a colour cache of their own. Creation:
// the stock is taken by the first instance and the instance counted, then
// (after construction) the theme listens to system changes and builds its
// cache; destruction runs the other way. The answers most of them share:
// button content 2 all round, edit text 1 beside and 3 above and below,
// status panes 3 beside and 1 above and below; the common view borders; the
// cache's view colours over the button face; the Boolean metrics 5 to 7.
class TTxCacheTheme : public TTxTheme {
    GCL_CLASS(TTxCacheTheme, TTxTheme)
public:
    TPoint ImageOffset(gcl::TCanvas* canvas, const TTxItemInfo& itemInfo, TCustomImageList* imageList) override;
    TColor ItemColor(const TTxItemInfo& itemInfo) override;
    TColor ItemTextColor(const TTxItemInfo& itemInfo) override;
    TColor ItemImageBackground(const TTxItemInfo& itemInfo) override;
    void ThemeMargins(int marginID, TTxMarginRect& margins) override;
    void ViewBorder(uint32_t viewType, TPoint& border) override;
    TColor ViewColor(uint32_t viewType) override;
    bool BooleanMetric(int index) override;
    void ViewMargins(uint32_t viewType, TTxMarginRect& margins) override;
    void PaintChevron(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintMDIButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                        unsigned buttonKind) override;

    const TThemeColorCache& ColorCache() const noexcept { return *FCache; }
    TThemeStock& Stock() const noexcept { return *FStock; }
    // The cache lookups with this theme's fallbacks.
    TColor ButtonPart(const TTxItemInfo& info, TColorPart part) const {
        return ButtonPartColor(*FCache, info, part, FFallbacks);
    }
    TColor ItemPart(const TTxItemInfo& info, TColorPart part) const {
        return ItemPartColor(*FCache, info, part, FFallbacks);
    }

protected:
    TTxCacheTheme(const std::string& name, TThemeStock& stock, TThemeColorCache& cache,
                  TPartFallbacks fallbacks = {});
    ~TTxCacheTheme() override;

private:
    TThemeStock* FStock;
    TThemeColorCache* FCache;
    TPartFallbacks FFallbacks;
};

// ---- Registration ----------------------------------------------------------------------

// Registers every visual theme in its fixed order (once; runs the
// theming layer's units first). Registrations stay for the whole run.
extern gcl::TUnit ThemesUnit;

} // namespace qelvo
