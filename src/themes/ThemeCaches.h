// The colour caches of the visual themes: the records with their
// item-state rows, and each theme's formulas over an environment of system
// colours, screen flags and colour snapping. Window-free: it builds
// natively too, so every theme's table is tested with chosen system colours.
#pragma once

#include <array>
#include <cstdint>
#include <type_traits>

#include "theming/TxUtilsCore.h"

namespace qelvo {

// ---- Cache records -------------------------------------------------------------

enum TFrameRow { frActive, frInactive };
enum TFramePart { fpBorder, fpCaption, fpCaptionText };
enum TMenuRow { mrNormal, mrDisabled, mrHot, mrDisabledHot };
enum TButtonRow { brNormal, brDisabled, brChecked, brPushed, brHot, brDisabledHot, brCheckedHot, brPopupOpen };
enum TColorPart { cpBody, cpText, cpFrame };

// The entries every cache theme holds; a theme's own cache derives from it
// and adds its single colours (all members TColor, so the whole cache can
// be snapped entry by entry).
struct TThemeColorCache {
    TColor MenuBarBackground = clNone;
    TColor ToolbarBackground = clNone;
    TColor PopupBackground = clNone;
    TColor DockPanelBackground = clNone;
    TColor PopupBorderColor = clNone;
    TColor FloatingFrameColors[2][3] = {};
    TColor PanelFrameColors[2][3] = {};
    TColor MenuItemColorTable[4][3] = {};
    TColor ButtonColorTable[8][3] = {};
};

// Cache formulas: a colour made to stand off a background, and a row of
// a table set at once.
TColor Contrasted(TColor color, TColor background, int amount);
void SetRow(TColor (&row)[3], TColor body, TColor text, TColor frame);

// Orders two colours by intensity (the darker first, the first of equal
// ones) and, when they lie fewer than 30 intensity units apart, shifts the
// lighter one (over a dark colour) or the darker one by the difference.
// System colours are resolved before they are weighed.
void OrderGradientPair(TColor first, TColor second, TColor& dark, TColor& light);

// ---- Each theme's records -------------------------------------------------------------

struct TAthenColorCache : TThemeColorCache {
    TColor MenuSeparatorColor = clNone;
    TColor SeparatorColor = clNone;
    TColor StatusPaneColor = clNone;
};

// The fixed colours of Athen's edges.
inline constexpr TColor AthenSilver = 0xC0C0C0;
inline constexpr TColor AthenWhite = 0xFFFFFF;
inline constexpr TColor AthenShadow = 0xADADAD; // 30 % of 0x808080 over silver

// Office11Adaptive's and Whidbey's base pair of gradient colours and the
// colours derived from it.
struct TGradientPair {
    TColor Dark = 0;
    TColor Light = 0xFFFFFF;
    TColor GripBase = 0;
    TColor GripShade = 0;
    TColor GripLight = 0xFFFFFF;
    TColor Edge = 0;
    TColor Mid = 0;
    TColor MenuBar = 0;
};

struct TZezioColorCache : TThemeColorCache {
    TColor MenuSplitLineColor = clNone;
    TColor StatusPaneDotColor = clNone;
};
// Zezio's colours outside its cache.
struct TZezioColors {
    TColor EditFrameColor = 0;
    TColor EditFrameHotColor = 0;
    TColor DisabledGlyphColor = 0;
};

// The Default-based Stripes themes' three colours.
struct TStripesColors {
    TColor Face = 0;
    TColor Panel = 0;
    TColor Shadow = 0;
};

// The colours of a Tristan unit, shared by its instances and set each
// time one of them builds its cache.
struct TTristanColors {
    TColor TristanGradientColor = 0;
    TColor TristanLightColor = 0xFFFFFF;
    TColor TristanGripFaceColor = 0;
    TColor TristanGripShadowColor = 0x808080;
    TColor TristanGripLightColor = 0xFFFFFF;
    TColor TristanEdgeColor = 0;
};

struct TTristanColorCache : TThemeColorCache {
    TColor GripColor = clNone;
    TColor MenuSeparatorColor = clNone;
    TColor SeparatorColor = clNone;
    TColor HotShadowColor = clNone;
    TColor ButtonLightColor = clNone;
};

// How Tristan2's cache differs from Tristan's.
struct TTristanCacheOptions {
    bool LowColorMode = true;          // plain system colours below 12 bits per pixel
    bool PlainHighlightFrames = false; // the highlight itself for frames and pushed texts
};

struct TAluminumColorCache : TThemeColorCache {
    TColor SeparatorColor = clNone;
};
// Aluminum's greys and the colours it keeps outside its cache.
inline constexpr TColor AluminumGrey = 0xDFDFDF;
inline constexpr TColor AluminumMidGrey = 0x9F9F9F;
inline constexpr TColor AluminumDarkGrey = 0xC7C7C7;
struct TAluminumColors {
    TColor Highlight = 0;     // the highlight, lightness at least 0.4
    TColor DockColor = 0;
    TColor StatusBarColor = 0;
    int BrushStrength = 12;
};

// The option values of a Nexos theme unit, set once before the theme is
// registered; their initial values decide the look.
struct TNexosOptions {
    bool FlatMenuBar = false;        // paint menu-bar items like toolbar buttons
    bool SolidToolbarShadow = true;  // solid shadow edges (else every third pixel)
    bool ColoredCaptions = false;    // coloured glass caption bars
    bool CaptionGlow = false;        // a halo behind caption texts
    bool DimpleStatusGrip = false;   // dimples (else diagonal lines) as the size grip
    bool GlassCheckBoxes = true;     // a hot checked box keeps the glass face
    int GradientFaces = 1;           // gradient (else dithered) pushed edit buttons
    TColor BaseColor = 0xF6DAC9;     // the accent
    TColor SecondColor = 0xC0C0C0;   // pushed and checked faces
    TColor MixedColor = 0;           // a checked, hot, unpushed button
};

// The initial option values of the Nexos-family units.
TNexosOptions Nexos2InitialOptions();
TNexosOptions Nexos3InitialOptions();
TNexosOptions Nexos4InitialOptions();  // Nexos4's, Relifer's and SentimoX's
TNexosOptions Nexos5InitialOptions();
TNexosOptions NexosXInitialOptions();
TNexosOptions DreamInitialOptions();
TNexosOptions OfficeCInitialOptions();

// Unit colours that each cache rebuild of a Nexos theme sets.
struct TNexosColors {
    TColor CaptionStartColor = 0;
    TColor CaptionEndColor = 0xFFFFFF;
    TColor GripFaceColor = 0xC0C0C0;
    TColor GripShadowColor = 0x808080;
    TColor GripLightColor = 0xFFFFFF;
};

struct TNexosColorCache : TThemeColorCache {
    TColor ToolbarShadowColor = clNone;
    TColor EditFrameColor = clNone;
    TColor MenuSplitLineColor = clNone;
    TColor StatusPaneDotColor = clNone;
};

struct TReliferColorCache : TNexosColorCache {
    TColor BevelLightColor = clNone;
    TColor BevelShadowColor = clNone;
};

struct TOfficeCColorCache : TNexosColorCache {
    TColor DisabledEditFrameColor = clNone;
    TColor MenuSeparatorColor = clNone;
    TColor SeparatorColor = clNone;
};

// OfficeC's options, scheme and the colours each cache rebuild derives.
struct TOfficeCState {
    bool GradientMenuBar = true;  // the menu bar in the toolbar gradient
    bool GradientPopups = true;   // popups shaded over their whole width (else a band at the left)
    TColor SchemeLight = 0;
    TColor SchemeDark = 0;
    TColor SchemeHotLight = 0;
    TColor SchemeHotDark = 0;
    TColor GradientLight = 0;
    TColor GradientDark = 0;
    TColor MenuBarColor = 0;
    TColor EdgeColor = 0;
    // Set by each background painted: the last one was a vertical toolbar's.
    bool VerticalBackground = false;
};
// The scheme OfficeC starts with: pale yellow and a yellow-green.
TOfficeCState InitialOfficeCState();

// Nexos3's accent switch and hot text colour.
struct TNexos3Options {
    bool BlueAccent = true;
    TColor HotTextColor = 0x000000;
};

// Dream's darker gradient end (its toolbars' background).
inline constexpr TColor DreamGradientDark = 0xDCD8D0;

// The common cache of the Nexos family: very light grey bars, white
// popups, the accent in hot, pushed and popup-open faces. The unit colours
// are constants of the accent.
void SetNexosUnitColors(TNexosColors& colors, TColor base);

// ---- The formulas --------------------------------------------------------------

// Number of system colours (COLOR_SCROLLBAR to COLOR_MENUBAR).
inline constexpr int SysColorCount = 31;

// What the formulas read besides constants: the system colours as RGB by
// their index, the theming layer's screen flags, and the colour the screen
// shows for a colour.
struct TCacheEnvironment {
    std::array<TColor, SysColorCount> SysColors{};
    bool LowColorScreen = false;
    bool VisualStylesOn = false;
    // Null: every colour shows as it is (a true-colour screen).
    TColor (*NearestColor)(TColor color) = nullptr;
};

// Builds caches from one environment. The formulas name system colours as
// the members below, which hold them resolved; every finished cache entry
// is snapped to what the screen shows (clNone stays).
class TCacheFormulas {
public:
    explicit TCacheFormulas(const TCacheEnvironment& env);

    // A system colour by its index resolved, a colour snapped.
    TColor Resolve(TColor color) const;
    void Adjust(TColor& color) const;
    template <class Cache>
    void AdjustAll(Cache& cache) const {
        static_assert(std::is_trivially_copyable_v<Cache> && sizeof(Cache) % sizeof(TColor) == 0);
        auto* entries = reinterpret_cast<TColor*>(&cache);
        for (size_t i = 0; i < sizeof(Cache) / sizeof(TColor); ++i) Adjust(entries[i]);
    }

    void Athen(TAthenColorCache& c) const;
    void Office11Adaptive(TAthenColorCache& c, TGradientPair& p) const;
    void Whidbey(TAthenColorCache& c, TGradientPair& p) const;
    void Zezio(TZezioColorCache& c, TZezioColors& z) const;
    void Stripes(TStripesColors& s) const;
    void Tristan(TTristanColorCache& c, TTristanColors& unit, const TTristanCacheOptions& options) const;
    void Aluminum(TAluminumColorCache& c, TAluminumColors& a) const;
    void Nexos(TNexosColorCache& c, TColor base, TColor bars, TColor popups = 0xFFFFFF) const;
    void Nexos2(TNexosColorCache& c, TNexosColors& unit, const TNexosOptions& options) const;
    // Sets the accent by the switch (the caption start and hot face still
    // come from the accent as it was before).
    void Nexos3(TNexosColorCache& c, TNexosColors& unit, TNexosOptions& options, const TNexos3Options& n3) const;
    void Nexos4(TNexosColorCache& c, TNexosColors& unit, const TNexosOptions& options) const;
    void Nexos5(TNexosColorCache& c, TNexosColors& unit, const TNexosOptions& options) const;
    void NexosX(TNexosColorCache& c, const TNexosOptions& options) const;
    void Dream(TNexosColorCache& c) const;
    void OfficeC(TOfficeCColorCache& c, TNexosColors& unit, TOfficeCState& s) const;
    void Relifer(TReliferColorCache& c, TNexosColors& unit, const TNexosOptions& options) const;

protected:
    TColor BlendColorNearest(TColor c1, TColor c2, int w) const;
    // Nexos2's cache without snapping (Nexos3 builds on it).
    void Nexos2Entries(TNexosColorCache& c, TNexosColors& unit, TColor base, TColor bars, TColor popups) const;
    // Snaps all but the shadow and edit-frame colours.
    void AdjustKeepingEdges(TNexosColorCache& c) const;

    const TCacheEnvironment FEnv;
    // The system colours the formulas use, resolved.
    const TColor clWindow, clWindowFrame, clMenuText, clWindowText, clHighlight, clHighlightText, clBtnFace,
        clBtnShadow, clGrayText, clBtnText, clBtnHighlight, clGradientActiveCaption, clGradientInactiveCaption;
    const bool LowColorScreen;
    const bool VisualStylesOn;
};

} // namespace qelvo
