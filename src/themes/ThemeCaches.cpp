// The themes' colour-cache formulas, one function per theme, over an
// environment of resolved system colours; the shared record helpers.
#include "themes/ThemeCaches.h"

#include <utility>

namespace qelvo {

// ---- Record helpers ------------------------------------------------------------------

TColor Contrasted(TColor color, TColor background, int amount) {
    AdjustContrast(color, background, amount);
    return color;
}

void SetRow(TColor (&row)[3], TColor body, TColor text, TColor frame) {
    row[cpBody] = body;
    row[cpText] = text;
    row[cpFrame] = frame;
}

void OrderGradientPair(TColor first, TColor second, TColor& dark, TColor& light) {
    const int lf = ColorIntensity(first), ls = ColorIntensity(second);
    dark = ResolveColor(first);
    light = ResolveColor(second);
    if (ls < lf) std::swap(dark, light);
    if (ls - lf < 30) {
        if (IsDarkColor(dark, 100))
            light = ShiftColor(light, lf - ls);
        else
            dark = ShiftColor(dark, lf - ls);
    }
}

TOfficeCState InitialOfficeCState() {
    TOfficeCState state;
    state.SchemeLight = MixColors(0xFFFFFF, 0x00FFFF, 75);
    state.SchemeDark = MixColors(0x008000, 0x00FFFF, 25);
    state.SchemeHotLight = 0xFFFFFF;
    state.SchemeHotDark = MixColors(0x008000, 0x00FFFF, 25);
    return state;
}

TNexosOptions Nexos2InitialOptions() {
    return {.ColoredCaptions = true, .DimpleStatusGrip = true, .BaseColor = 0x30C8A8, .SecondColor = 0xC0C0C0};
}
TNexosOptions Nexos3InitialOptions() { return {.ColoredCaptions = true, .BaseColor = 0xE0A030, .SecondColor = 0xC0C0C0}; }
TNexosOptions Nexos4InitialOptions() {
    return {.BaseColor = 0xF6DAC9, .SecondColor = 0xC0C0C0, .MixedColor = MixColors(0xF6DAC9, 0xC0C0C0, 90)};
}
TNexosOptions Nexos5InitialOptions() {
    TNexosOptions options = Nexos4InitialOptions();
    options.ColoredCaptions = true;
    return options;
}
TNexosOptions NexosXInitialOptions() { return {.BaseColor = 0xD09020, .SecondColor = 0xC0C0C0}; }
TNexosOptions DreamInitialOptions() { return {.FlatMenuBar = true, .ColoredCaptions = true, .BaseColor = 0xD09020}; }
TNexosOptions OfficeCInitialOptions() { return {.FlatMenuBar = true, .ColoredCaptions = true}; }

void SetNexosUnitColors(TNexosColors& colors, TColor base) {
    colors.CaptionStartColor = MixColors(base, 0xFFFFFF, 80);
    colors.CaptionEndColor = 0xFFFFFF;
    colors.GripFaceColor = 0xC0C0C0;
    colors.GripShadowColor = 0x808080;
    colors.GripLightColor = 0xFFFFFF;
}

// ---- The environment -------------------------------------------------------------------

namespace {

// The indexes of the system colours the formulas name.
enum : int {
    ixWindow = 5, ixWindowFrame = 6, ixMenuText = 7, ixWindowText = 8, ixHighlight = 13, ixHighlightText = 14,
    ixBtnFace = 15, ixBtnShadow = 16, ixGrayText = 17, ixBtnText = 18, ixBtnHighlight = 20,
    ixGradientActiveCaption = 27, ixGradientInactiveCaption = 28
};

// The system colours themselves (not resolved).
namespace sys {
constexpr TColor Of(int index) { return static_cast<TColor>(0xFF000000u | static_cast<uint32_t>(index)); }
constexpr TColor clWindow = Of(ixWindow), clWindowText = Of(ixWindowText), clHighlight = Of(ixHighlight),
                 clHighlightText = Of(ixHighlightText), clBtnFace = Of(ixBtnFace), clBtnShadow = Of(ixBtnShadow),
                 clGrayText = Of(ixGrayText), clBtnText = Of(ixBtnText), clBtnHighlight = Of(ixBtnHighlight);
} // namespace sys

} // namespace

TCacheFormulas::TCacheFormulas(const TCacheEnvironment& env)
    : FEnv(env), clWindow(env.SysColors[ixWindow]), clWindowFrame(env.SysColors[ixWindowFrame]),
      clMenuText(env.SysColors[ixMenuText]), clWindowText(env.SysColors[ixWindowText]),
      clHighlight(env.SysColors[ixHighlight]), clHighlightText(env.SysColors[ixHighlightText]),
      clBtnFace(env.SysColors[ixBtnFace]), clBtnShadow(env.SysColors[ixBtnShadow]),
      clGrayText(env.SysColors[ixGrayText]), clBtnText(env.SysColors[ixBtnText]),
      clBtnHighlight(env.SysColors[ixBtnHighlight]), clGradientActiveCaption(env.SysColors[ixGradientActiveCaption]),
      clGradientInactiveCaption(env.SysColors[ixGradientInactiveCaption]), LowColorScreen(env.LowColorScreen),
      VisualStylesOn(env.VisualStylesOn) {}

TColor TCacheFormulas::Resolve(TColor color) const {
    if ((static_cast<uint32_t>(color) & 0xFF000000u) != 0xFF000000u) return color;
    const uint32_t index = static_cast<uint32_t>(color) & 0xFF;
    return index < static_cast<uint32_t>(SysColorCount) ? FEnv.SysColors[index] : 0;
}

void TCacheFormulas::Adjust(TColor& color) const {
    if (color == clNone) return;
    color = Resolve(color);
    if (FEnv.NearestColor) color = FEnv.NearestColor(color);
}

TColor TCacheFormulas::BlendColorNearest(TColor c1, TColor c2, int w) const {
    TColor color = BlendColor(c1, c2, w);
    Adjust(color);
    return color;
}

// ---- Athen and the themes built on it ------------------------------------------------------

void TCacheFormulas::Athen(TAthenColorCache& c) const {
    c.ToolbarBackground = AthenWhite;
    TColor hl = MixColors(clHighlight, clWindow, 20);
    AdjustContrast(hl, c.ToolbarBackground, 50);
    const TColor dk = MixColors(clBtnShadow, clWindow, 90);
    c.MenuBarBackground = 0xFFFFFF;
    c.PopupBackground = 0xFFFFFF;
    c.DockPanelBackground = 0xFFFFFF;
    c.PopupBorderColor = 0xC0C0C0;
    const TColor inactiveText = Contrasted(dk, clBtnFace, 120);
    SetRow(c.FloatingFrameColors[frActive], 0x909090, 0xFFFFFF, Contrasted(0x000000, clBtnShadow, 180));
    SetRow(c.FloatingFrameColors[frInactive], 0x909090, clBtnFace, inactiveText);
    SetRow(c.PanelFrameColors[frActive], 0x909090, 0xFFFFFF, 0x000000);
    SetRow(c.PanelFrameColors[frInactive], clBtnShadow, clBtnFace, inactiveText);

    const TColor tb = c.ToolbarBackground;
    const TColor normalText = Contrasted(clBtnText, tb, 180);
    const TColor hotFrame = MixColors(0xE0A030, 0xD0D0D0, 60);
    SetRow(c.ButtonColorTable[brNormal], clNone, normalText, clNone);
    SetRow(c.ButtonColorTable[brDisabled], clNone, Contrasted(dk, tb, 80), 0xD0D0D0);
    SetRow(c.ButtonColorTable[brChecked], Contrasted(MixColors(clHighlight, MixColors(clBtnFace, clWindow, 50), 10), tb, 5),
         normalText, 0xD0D0D0);
    SetRow(c.ButtonColorTable[brPushed], MixColors(clHighlight, clWindow, 30), 0x000000, 0x0000FF);
    SetRow(c.ButtonColorTable[brHot], hl, Contrasted(clMenuText, hl, 180), hotFrame);
    SetRow(c.ButtonColorTable[brDisabledHot], hl, dk, clHighlight);
    const TColor checkedHot = Contrasted(MixColors(clHighlight, clWindow, 50), tb, 30);
    SetRow(c.ButtonColorTable[brCheckedHot], checkedHot, Contrasted(0x000000, checkedHot, 180),
         Contrasted(clHighlight, checkedHot, 100));
    SetRow(c.ButtonColorTable[brPopupOpen], tb, normalText, hotFrame);

    const TColor grayText = MixColors(clGrayText, clWindow, 70);
    SetRow(c.MenuItemColorTable[mrNormal], clNone, Contrasted(clWindowText, c.PopupBackground, 180), clNone);
    SetRow(c.MenuItemColorTable[mrDisabled], clNone, Contrasted(grayText, c.PopupBackground, 80), clNone);
    SetRow(c.MenuItemColorTable[mrHot], c.ButtonColorTable[brHot][cpBody], c.ButtonColorTable[brHot][cpText], 0xC0C0C0);
    SetRow(c.MenuItemColorTable[mrDisabledHot], c.PopupBackground, grayText, clHighlight);
    c.SeparatorColor = Contrasted(MixColors(clBtnShadow, clWindow, 70), tb, 50);
    c.MenuSeparatorColor = c.SeparatorColor;
    c.StatusPaneColor = clNone;
    AdjustAll(c);
}

void TCacheFormulas::Office11Adaptive(TAthenColorCache& c, TGradientPair& p) const {
    const bool styles = VisualStylesOn;
    const TColor x = styles ? MixColors(clGradientInactiveCaption, clGradientActiveCaption, 25) : clBtnFace;
    const TColor y = styles ? BlendColorNearest(clHighlight, clWindow, 8) : clWindow;
    OrderGradientPair(x, y, p.Dark, p.Light);
    if (styles && ColorIntensity(y) - ColorIntensity(x) > 40) {
        const TColor oldDark = p.Dark;
        p.Dark = MixColors(p.Dark, p.Light, 80);
        p.Light = MixColors(oldDark, p.Light, 20);
    }
    if (styles) {
        p.GripBase = BlendColorNearest(clHighlight, p.Light, 48);
        p.GripShade = clHighlight;
        p.GripLight = p.Light;
        p.Edge = clHighlight;
        p.Mid = MixColors(p.Dark, p.Light, 50);
        p.MenuBar = p.Mid;
    } else {
        p.GripBase = p.Dark;
        p.GripShade = clBtnShadow;
        p.GripLight = clBtnHighlight;
        p.Edge = MixColors(clBtnShadow, p.Dark, 95);
        p.Mid = clBtnFace;
        p.MenuBar = clBtnFace;
    }

    c.ToolbarBackground = p.Light;
    const TColor tb = c.ToolbarBackground;
    const TColor hl = Contrasted(MixColors(clHighlight, clWindow, styles ? 70 : 20), tb, 50);
    const TColor dk = styles ? MixColors(p.Mid, 0x000000, 75) : MixColors(clBtnShadow, clWindow, 90);
    c.MenuBarBackground = p.MenuBar;
    c.PopupBackground = MixColors(clBtnFace, clWindow, 143);
    c.DockPanelBackground = c.PopupBackground;
    c.PopupBorderColor = Contrasted(MixColors(clBtnText, clHighlight, 20), c.PopupBackground, 100);
    const TColor border = Contrasted(MixColors(clBtnText, p.Dark, 15), tb, 120);
    const TColor inactiveText = Contrasted(dk, clBtnFace, 120);
    SetRow(c.FloatingFrameColors[frActive], border, p.MenuBar, clBtnText);
    SetRow(c.FloatingFrameColors[frInactive], border, clBtnFace, inactiveText);
    SetRow(c.PanelFrameColors[frActive], MixColors(clBtnText, p.Dark, 30), p.MenuBar, clBtnText);
    SetRow(c.PanelFrameColors[frInactive], clBtnShadow, clBtnFace, inactiveText);

    const TColor normalText = Contrasted(clBtnText, tb, 180);
    SetRow(c.ButtonColorTable[brNormal], clNone, normalText, clNone);
    SetRow(c.ButtonColorTable[brDisabled], clNone, Contrasted(dk, tb, 80), clNone);
    SetRow(c.ButtonColorTable[brChecked], Contrasted(MixColors(clHighlight, MixColors(clBtnFace, clWindow, 50), 10), tb, 5),
         normalText, clHighlight);
    SetRow(c.ButtonColorTable[brPushed], MixColors(clHighlight, clWindow, styles ? 50 : 30), clHighlightText, clHighlight);
    const TColor hotFrame = Contrasted(clHighlight, tb, 100);
    SetRow(c.ButtonColorTable[brHot], hl, styles ? clHighlightText : Contrasted(clMenuText, hl, 180), hotFrame);
    SetRow(c.ButtonColorTable[brDisabledHot], hl, dk, clHighlight);
    const TColor checkedHot = Contrasted(MixColors(clHighlight, clWindow, 50), tb, 30);
    SetRow(c.ButtonColorTable[brCheckedHot], checkedHot, Contrasted(clHighlightText, checkedHot, 180),
         Contrasted(clHighlight, checkedHot, 100));
    SetRow(c.ButtonColorTable[brPopupOpen], tb, normalText, c.PopupBorderColor);

    const TColor grayText = MixColors(clGrayText, clWindow, 70);
    SetRow(c.MenuItemColorTable[mrNormal], clNone, Contrasted(clWindowText, c.PopupBackground, 180), clNone);
    SetRow(c.MenuItemColorTable[mrDisabled], clNone, Contrasted(grayText, c.PopupBackground, 80), clNone);
    SetRow(c.MenuItemColorTable[mrHot], hl, c.ButtonColorTable[brHot][cpText],
         styles ? hotFrame : MixColors(clHighlight, clWindow, 50));
    SetRow(c.MenuItemColorTable[mrDisabledHot], c.PopupBackground, grayText, clHighlight);
    c.SeparatorColor = Contrasted(MixColors(clBtnShadow, clWindow, 70), tb, 50);
    c.MenuSeparatorColor = c.SeparatorColor;
    c.StatusPaneColor = Contrasted(MixColors(clWindow, clBtnFace, 30), clBtnFace, 30);
    AdjustAll(c);
    Adjust(p.MenuBar);
}

void TCacheFormulas::Whidbey(TAthenColorCache& c, TGradientPair& p) const {
    OrderGradientPair(clBtnFace, clWindow, p.Dark, p.Light);
    p.GripBase = p.Dark;
    p.GripShade = clBtnShadow;
    p.GripLight = clBtnHighlight;
    p.Edge = MixColors(clBtnShadow, p.Dark, 95);
    p.Mid = MixColors(p.Dark, p.Light, 50);
    p.MenuBar = p.Mid;

    const TColor hot = MixColors(clHighlight, clWindow, 20);
    const TColor gray = MixColors(clBtnText, p.Light, 50);
    c.MenuBarBackground = p.Mid;
    c.ToolbarBackground = p.Mid;
    c.PopupBackground = MixColors(clBtnFace, clWindow, 143);
    c.DockPanelBackground = c.PopupBackground;
    c.PopupBorderColor = Contrasted(MixColors(clBtnText, clBtnShadow, 20), c.PopupBackground, 100);
    const TColor tb = c.ToolbarBackground;
    const TColor border = Contrasted(MixColors(clBtnText, clBtnShadow, 15), tb, 120);
    const TColor inactiveText = Contrasted(gray, clBtnFace, 120);
    SetRow(c.FloatingFrameColors[frActive], border, clBtnShadow, Contrasted(clBtnHighlight, clBtnShadow, 180));
    SetRow(c.FloatingFrameColors[frInactive], border, clBtnFace, inactiveText);
    SetRow(c.PanelFrameColors[frActive], clBtnShadow, clBtnFace, clBtnText);
    SetRow(c.PanelFrameColors[frInactive], clBtnShadow, clBtnFace, inactiveText);

    const TColor normalText = Contrasted(clBtnText, tb, 180);
    SetRow(c.ButtonColorTable[brNormal], clNone, normalText, clNone);
    SetRow(c.ButtonColorTable[brDisabled], clNone, gray, clNone);
    SetRow(c.ButtonColorTable[brChecked], Contrasted(MixColors(clHighlight, MixColors(clBtnFace, clWindow, 50), 10), tb, 5),
         normalText, clHighlight);
    SetRow(c.ButtonColorTable[brPushed], MixColors(clHighlight, clWindow, 50), clHighlightText,
         Contrasted(clHighlight, tb, 80));
    SetRow(c.ButtonColorTable[brHot], hot, Contrasted(clWindowFrame, hot, 180), Contrasted(clHighlight, tb, 100));
    SetRow(c.ButtonColorTable[brDisabledHot], hot, gray, clHighlight);
    const TColor checkedHot = Contrasted(MixColors(clHighlight, clWindow, 40), tb, 30);
    SetRow(c.ButtonColorTable[brCheckedHot], checkedHot, Contrasted(clHighlightText, checkedHot, 180),
         Contrasted(clHighlight, checkedHot, 100));
    SetRow(c.ButtonColorTable[brPopupOpen], MixColors(clBtnFace, clWindow, 183), normalText, c.PopupBorderColor);

    SetRow(c.MenuItemColorTable[mrNormal], clNone, Contrasted(clWindowText, c.PopupBackground, 180), clNone);
    SetRow(c.MenuItemColorTable[mrDisabled], clNone, gray, clNone);
    for (int part = 0; part < 3; ++part) c.MenuItemColorTable[mrHot][part] = c.ButtonColorTable[brHot][part];
    SetRow(c.MenuItemColorTable[mrDisabledHot], c.PopupBackground, MixColors(clGrayText, clWindow, 70), clHighlight);
    c.MenuSeparatorColor = Contrasted(MixColors(clBtnShadow, clWindow, 70), c.PopupBackground, 50);
    c.SeparatorColor = MixColors(clBtnShadow, clWindow, 70);
    c.StatusPaneColor = Contrasted(MixColors(clWindow, clBtnFace, 30), clBtnFace, 30);
    AdjustAll(c);
}

// ---- Zezio, Stripes, Tristan and Aluminum ---------------------------------------------------

void TCacheFormulas::Zezio(TZezioColorCache& c, TZezioColors& z) const {
    c.MenuBarBackground = clBtnFace;
    c.ToolbarBackground = clBtnFace;
    c.PopupBackground = clWindow;
    c.DockPanelBackground = clWindow;
    z.EditFrameColor = clBtnShadow;
    z.EditFrameHotColor = MixColors(clBtnFace, clWindow, 75);
    c.PopupBorderColor = clBtnShadow;
    SetRow(c.MenuItemColorTable[mrNormal], clNone, Contrasted(clBtnText, c.PopupBackground, 180), clNone);
    SetRow(c.MenuItemColorTable[mrDisabled], clNone, Contrasted(MixColors(clGrayText, clWindow, 70), c.PopupBackground, 80),
         clNone);
    SetRow(c.MenuItemColorTable[mrHot], clHighlight, clHighlightText, clBtnShadow);
    SetRow(c.MenuItemColorTable[mrDisabledHot], c.PopupBackground, MixColors(clGrayText, clWindow, 50), clNone);
    const TColor normalText = Contrasted(clBtnText, c.ToolbarBackground, 180);
    SetRow(c.ButtonColorTable[brNormal], clNone, normalText, clNone);
    SetRow(c.ButtonColorTable[brDisabled], clNone, Contrasted(MixColors(clGrayText, clWindow, 70), c.ToolbarBackground, 80),
         MixColors(clBtnFace, clWindow, 50));
    SetRow(c.ButtonColorTable[brChecked], clNone, normalText, clBtnShadow);
    SetRow(c.ButtonColorTable[brPushed], MixColors(clHighlight, 0xFFFFFF, 50), clBtnText, clHighlight);
    SetRow(c.ButtonColorTable[brHot], MixColors(clHighlight, clWindow, 20), clBtnText, clBtnShadow);
    SetRow(c.ButtonColorTable[brDisabledHot], clBtnHighlight, MixColors(clBtnShadow, clWindow, 90), clNone);
    SetRow(c.ButtonColorTable[brCheckedHot], Contrasted(MixColors(clHighlight, 0xFFFFFF, 25), c.ToolbarBackground, 30),
         clBtnText, clBtnShadow);
    SetRow(c.ButtonColorTable[brPopupOpen], MixColors(clHighlight, 0xFFFFFF, 80), clBtnText, clBtnShadow);
    c.MenuSplitLineColor = clBtnText;
    c.StatusPaneDotColor = clBtnText;
    z.DisabledGlyphColor = MixColors(clBtnShadow, clWindow, 90);
    AdjustAll(c);
}

void TCacheFormulas::Stripes(TStripesColors& s) const {
    s.Face = clBtnFace;
    s.Panel = BlendColorNearest(clBtnFace, clWindow, 64);
    s.Shadow = LowColorScreen ? clBtnShadow : BlendColor(clBtnShadow, clBtnFace, 210);
}

void TCacheFormulas::Tristan(TTristanColorCache& c, TTristanColors& unit, const TTristanCacheOptions& options) const {
    unit.TristanGradientColor = BlendColorNearest(clBtnShadow, clBtnFace, 48);
    unit.TristanLightColor = 0xFFFFFF;
    unit.TristanGripFaceColor = sys::clBtnFace;
    unit.TristanGripShadowColor = 0x808080;
    unit.TristanGripLightColor = 0xFFFFFF;
    unit.TristanEdgeColor = BlendColorNearest(clBtnShadow, unit.TristanGradientColor, 64);

    if (options.LowColorMode && LowColorScreen) {
        // Plain system colours, not snapped.
        c.MenuBarBackground = sys::clBtnFace;
        c.ToolbarBackground = sys::clBtnFace;
        c.PopupBackground = sys::clWindow;
        c.DockPanelBackground = sys::clWindow;
        c.PopupBorderColor = sys::clBtnText;
        for (auto& row : c.FloatingFrameColors) SetRow(row, sys::clBtnShadow, sys::clBtnShadow, sys::clBtnHighlight);
        for (auto& row : c.PanelFrameColors) SetRow(row, sys::clBtnShadow, sys::clBtnFace, sys::clBtnText);
        SetRow(c.ButtonColorTable[brNormal], clNone, sys::clBtnText, clNone);
        SetRow(c.ButtonColorTable[brDisabled], clNone, sys::clBtnShadow, clNone);
        SetRow(c.ButtonColorTable[brChecked], sys::clWindow, sys::clWindowText, sys::clHighlight);
        SetRow(c.ButtonColorTable[brPushed], sys::clHighlight, sys::clHighlightText, sys::clHighlight);
        SetRow(c.ButtonColorTable[brHot], sys::clWindow, sys::clWindowText, sys::clHighlight);
        SetRow(c.ButtonColorTable[brDisabledHot], sys::clWindow, sys::clBtnShadow, sys::clHighlight);
        SetRow(c.ButtonColorTable[brCheckedHot], sys::clHighlight, sys::clHighlightText, sys::clHighlight);
        SetRow(c.ButtonColorTable[brPopupOpen], sys::clBtnFace, sys::clBtnText, c.PopupBorderColor);
        SetRow(c.MenuItemColorTable[mrNormal], clNone, sys::clWindowText, clNone);
        SetRow(c.MenuItemColorTable[mrDisabled], clNone, sys::clGrayText, clNone);
        SetRow(c.MenuItemColorTable[mrHot], sys::clWindow, sys::clWindowText, sys::clHighlight);
        SetRow(c.MenuItemColorTable[mrDisabledHot], sys::clWindow, sys::clGrayText, sys::clHighlight);
        c.GripColor = sys::clBtnText;
        c.SeparatorColor = sys::clBtnShadow;
        c.MenuSeparatorColor = sys::clBtnShadow;
        c.HotShadowColor = sys::clBtnFace;
        c.ButtonLightColor = sys::clBtnShadow;
        return;
    }

    const bool plain = options.PlainHighlightFrames;
    c.MenuBarBackground = clBtnFace;
    c.ToolbarBackground = unit.TristanLightColor;
    c.PopupBackground = clWindow;
    c.DockPanelBackground = clWindow;
    c.PopupBorderColor = Contrasted(MixColors(clBtnText, clBtnShadow, 20), c.PopupBackground, 100);
    const TColor hotFace = Contrasted(MixColors(clHighlight, clWindow, 30), c.ToolbarBackground, 50);
    const TColor dimText = MixColors(clBtnShadow, clWindow, 90);

    const TColor floatingBorder = Contrasted(MixColors(clBtnText, clBtnShadow, 15), c.ToolbarBackground, 120);
    const TColor inactiveText = Contrasted(dimText, clBtnFace, 120);
    SetRow(c.FloatingFrameColors[frActive], floatingBorder, clBtnShadow, Contrasted(clBtnText, clBtnShadow, 180));
    SetRow(c.FloatingFrameColors[frInactive], floatingBorder, clBtnFace, inactiveText);
    SetRow(c.PanelFrameColors[frActive], clBtnShadow, clBtnFace, clBtnText);
    SetRow(c.PanelFrameColors[frInactive], clBtnShadow, clBtnFace, inactiveText);

    const TColor halfHighlight = MixColors(clHighlight, clWindow, 50);
    const TColor normalText = Contrasted(clBtnText, c.ToolbarBackground, 180);
    SetRow(c.ButtonColorTable[brNormal], clNone, normalText, clNone);
    SetRow(c.ButtonColorTable[brDisabled], clNone, Contrasted(dimText, c.ToolbarBackground, 80), clNone);
    SetRow(c.ButtonColorTable[brChecked],
         Contrasted(MixColors(clHighlight, MixColors(clBtnFace, clWindow, 50), 10), c.ToolbarBackground, 5), normalText,
         plain ? clHighlight : halfHighlight);
    SetRow(c.ButtonColorTable[brPushed], halfHighlight, plain ? clHighlight : halfHighlight,
         plain ? clHighlight : MixColors(clHighlight, clWindow, 30));
    SetRow(c.ButtonColorTable[brHot], hotFace, plain ? Contrasted(clMenuText, hotFace, 180) : clMenuText,
         Contrasted(plain ? clHighlight : halfHighlight, c.ToolbarBackground, 100));
    SetRow(c.ButtonColorTable[brDisabledHot], hotFace, dimText, clHighlight);
    const TColor checkedHot = Contrasted(halfHighlight, c.ToolbarBackground, 30);
    SetRow(c.ButtonColorTable[brCheckedHot], checkedHot, Contrasted(clHighlightText, checkedHot, 180),
         Contrasted(plain ? clHighlight : halfHighlight, checkedHot, 100));
    SetRow(c.ButtonColorTable[brPopupOpen], c.ToolbarBackground, normalText, c.PopupBorderColor);

    SetRow(c.MenuItemColorTable[mrNormal], clNone, Contrasted(clWindowText, c.PopupBackground, 180), clNone);
    const TColor grayText = MixColors(clGrayText, clWindow, 70);
    SetRow(c.MenuItemColorTable[mrDisabled], clNone, Contrasted(grayText, c.PopupBackground, 80), clNone);
    for (int part = 0; part < 3; ++part) c.MenuItemColorTable[mrHot][part] = c.ButtonColorTable[brHot][part];
    SetRow(c.MenuItemColorTable[mrDisabledHot], c.PopupBackground, grayText, clHighlight);

    c.GripColor = Contrasted(MixColors(clBtnShadow, clWindow, 75), c.ToolbarBackground, 85);
    c.SeparatorColor = Contrasted(MixColors(clBtnShadow, clWindow, 70), c.ToolbarBackground, 50);
    c.MenuSeparatorColor = c.SeparatorColor;
    c.HotShadowColor = MixColors(0x000000, hotFace, 25);
    c.ButtonLightColor = Contrasted(MixColors(clWindow, clBtnFace, 30), clBtnFace, 30);
    AdjustAll(c);
}

void TCacheFormulas::Aluminum(TAluminumColorCache& c, TAluminumColors& a) const {
    double h = 0, s = 0, l = 0;
    ColorToHSL(clHighlight, h, s, l);
    a.Highlight = HSLToColor(h, s, l < 0.4 ? 0.4 : l);
    const TColor highlight = a.Highlight;
    const TColor hotFace = MixColors(highlight, clWindow, 30);
    const TColor dimGrey = MixColors(AluminumMidGrey, clWindow, 90);
    a.DockColor = ShiftColor(AluminumGrey, -24);
    a.StatusBarColor = ShiftColor(AluminumGrey, -16);
    a.BrushStrength = 12;

    c.MenuBarBackground = AluminumGrey;
    c.ToolbarBackground = AluminumGrey;
    c.PopupBackground = MixColors(a.DockColor, clWindow, 100);
    c.DockPanelBackground = c.PopupBackground;
    c.PopupBorderColor = Contrasted(MixColors(0x000000, AluminumMidGrey, 20), c.PopupBackground, 100);
    const TColor floatingBorder = Contrasted(MixColors(0x000000, AluminumMidGrey, 15), c.ToolbarBackground, 120);
    const TColor inactiveText = Contrasted(dimGrey, AluminumDarkGrey, 120);
    SetRow(c.FloatingFrameColors[frActive], floatingBorder, AluminumMidGrey, Contrasted(AluminumGrey, AluminumMidGrey, 180));
    SetRow(c.FloatingFrameColors[frInactive], floatingBorder, AluminumDarkGrey, inactiveText);
    SetRow(c.PanelFrameColors[frActive], AluminumMidGrey, AluminumDarkGrey, 0x000000);
    SetRow(c.PanelFrameColors[frInactive], AluminumMidGrey, AluminumDarkGrey, inactiveText);

    const TColor normalText = Contrasted(0x000000, c.ToolbarBackground, 180);
    SetRow(c.ButtonColorTable[brNormal], clNone, normalText, clNone);
    SetRow(c.ButtonColorTable[brDisabled], clNone, Contrasted(AluminumMidGrey, c.ToolbarBackground, 80), clNone);
    SetRow(c.ButtonColorTable[brChecked],
         Contrasted(MixColors(highlight, MixColors(AluminumDarkGrey, clWindow, 50), 10), c.ToolbarBackground, 5), normalText,
         clHighlight);
    SetRow(c.ButtonColorTable[brPushed], MixColors(highlight, clWindow, 50), clHighlightText, clHighlight);
    SetRow(c.ButtonColorTable[brHot], hotFace, Contrasted(clMenuText, hotFace, 180),
         Contrasted(clHighlight, c.ToolbarBackground, 100));
    SetRow(c.ButtonColorTable[brDisabledHot], hotFace, dimGrey, clHighlight);
    const TColor checkedHot = Contrasted(MixColors(highlight, clWindow, 50), c.ToolbarBackground, 30);
    SetRow(c.ButtonColorTable[brCheckedHot], checkedHot, Contrasted(clHighlightText, checkedHot, 180),
         Contrasted(clHighlight, checkedHot, 100));
    SetRow(c.ButtonColorTable[brPopupOpen], MixColors(c.ToolbarBackground, c.PopupBackground, 50), normalText,
         c.PopupBorderColor);

    SetRow(c.MenuItemColorTable[mrNormal], clNone, Contrasted(clWindowText, c.PopupBackground, 180), clNone);
    const TColor grayText = MixColors(clGrayText, clWindow, 70);
    SetRow(c.MenuItemColorTable[mrDisabled], clNone, Contrasted(grayText, c.PopupBackground, 80), clNone);
    for (int part = 0; part < 3; ++part) c.MenuItemColorTable[mrHot][part] = c.ButtonColorTable[brHot][part];
    SetRow(c.MenuItemColorTable[mrDisabledHot], c.PopupBackground, grayText, clHighlight);
    c.SeparatorColor = Contrasted(AluminumMidGrey, c.ToolbarBackground, 50);
    // The dock and status-bar colours stay as computed.
    AdjustAll(c);
}

// ---- The Nexos family ------------------------------------------------------------------

void TCacheFormulas::Nexos(TNexosColorCache& c, TColor base, TColor bars, TColor popups) const {
    c.MenuBarBackground = bars;
    c.ToolbarBackground = bars;
    c.PopupBackground = popups;
    c.DockPanelBackground = popups;
    c.ToolbarShadowColor = 0xA0A0A0;
    c.EditFrameColor = MixColors(0xC0C0C0, 0xFFFFFF, 80);
    c.PopupBorderColor = 0xC0C0C0;
    const TColor hotFace = Contrasted(MixColors(base, 0xFFFFFF, 80), c.ToolbarBackground, 50);
    const TColor frameBorder = MixColors(0x808080, 0xFFFFFF, 80);
    const TColor activeText = Contrasted(0xFFFFFF, 0x808080, 180);
    SetRow(c.FloatingFrameColors[frActive], frameBorder, 0xC0C0C0, activeText);
    SetRow(c.FloatingFrameColors[frInactive], frameBorder, base, Contrasted(0xC0C0C0, 0xC0C0C0, 120));
    SetRow(c.PanelFrameColors[frActive], frameBorder, 0xC0C0C0, activeText);
    SetRow(c.PanelFrameColors[frInactive], 0x808080, 0xC0C0C0, Contrasted(0xC0C0C0, 0x808080, 120));

    const TColor hotFrame = Contrasted(MixColors(base, 0xFFFFFF, 80), c.ToolbarBackground, 100);
    const TColor normalText = Contrasted(0x000000, c.ToolbarBackground, 180);
    const TColor light50 = MixColors(0xC0C0C0, 0xFFFFFF, 50);
    SetRow(c.ButtonColorTable[brNormal], clNone, normalText, clNone);
    SetRow(c.ButtonColorTable[brDisabled], 0xFFFFFF, Contrasted(MixColors(0x808080, 0xFFFFFF, 70), c.ToolbarBackground, 80),
            light50);
    SetRow(c.ButtonColorTable[brChecked], Contrasted(0xC0C0C0, c.ToolbarBackground, 5), normalText, light50);
    SetRow(c.ButtonColorTable[brPushed], MixColors(base, 0xFFFFFF, 80), 0x000000, base);
    SetRow(c.ButtonColorTable[brHot], hotFace, 0x000000, hotFrame);
    SetRow(c.ButtonColorTable[brDisabledHot], hotFace, MixColors(clBtnShadow, clWindow, 90), clNone);
    const TColor checkedHot = Contrasted(MixColors(base, 0xFFFFFF, 25), c.ToolbarBackground, 30);
    SetRow(c.ButtonColorTable[brCheckedHot], checkedHot, Contrasted(0xFFFFFF, checkedHot, 180),
            Contrasted(MixColors(base, 0xFFFFFF, 25), checkedHot, 100));
    SetRow(c.ButtonColorTable[brPopupOpen], MixColors(base, 0xFFFFFF, 80), 0x000000, base);

    SetRow(c.MenuItemColorTable[mrNormal], clNone, Contrasted(0x000000, c.PopupBackground, 180), clNone);
    SetRow(c.MenuItemColorTable[mrDisabled], clNone, Contrasted(MixColors(0x808080, 0xFFFFFF, 70), c.PopupBackground, 80),
            clNone);
    SetRow(c.MenuItemColorTable[mrHot], base, 0x000000, hotFrame);
    SetRow(c.MenuItemColorTable[mrDisabledHot], c.PopupBackground, MixColors(0x808080, 0xFFFFFF, 50), clNone);
    c.MenuSplitLineColor = 0x000000;
    c.StatusPaneDotColor = 0x000000;
}

void TCacheFormulas::AdjustKeepingEdges(TNexosColorCache& c) const {
    const TColor shadow = c.ToolbarShadowColor, editFrame = c.EditFrameColor;
    AdjustAll(c);
    c.ToolbarShadowColor = shadow;
    c.EditFrameColor = editFrame;
}

void TCacheFormulas::Nexos2Entries(TNexosColorCache& c, TNexosColors& unit, TColor base, TColor bars,
                                   TColor popups) const {
    SetNexosUnitColors(unit, base);
    Nexos(c, base, bars, popups);
    c.ButtonColorTable[brHot][cpText] = 0xFFFFFF;
    c.ButtonColorTable[brCheckedHot][cpText] = 0x000000;
    c.MenuItemColorTable[mrHot][cpText] = 0xFFFFFF;
}

void TCacheFormulas::Nexos2(TNexosColorCache& c, TNexosColors& unit, const TNexosOptions& options) const {
    Nexos2Entries(c, unit, options.BaseColor, 0xF4F4F4, 0xFFFFFF);
    // The shadow and edit-frame colours keep their computed values.
    AdjustKeepingEdges(c);
}

void TCacheFormulas::Nexos3(TNexosColorCache& c, TNexosColors& unit, TNexosOptions& options,
                            const TNexos3Options& n3) const {
    // The caption start and the hot face come from the accent as it was
    // before this run; the rest from the accent the option gives.
    TNexosOptions& o = options;
    const TColor previous = o.BaseColor;
    o.BaseColor = n3.BlueAccent ? 0xE0A030 : 0xA8A8A8;
    Nexos2Entries(c, unit, o.BaseColor, 0xF7F7F7, 0xF7F7F7);
    unit.CaptionStartColor = MixColors(previous, 0xFFFFFF, 80);
    const TColor hotFace = Contrasted(MixColors(previous, 0xFFFFFF, 80), c.ToolbarBackground, 50);
    c.ButtonColorTable[brHot][cpBody] = hotFace;
    c.ButtonColorTable[brDisabledHot][cpBody] = hotFace;
    const TColor base = o.BaseColor;
    const TColor activeText = Contrasted(n3.HotTextColor, 0x808080, 180);
    c.FloatingFrameColors[frActive][fpCaptionText] = activeText;
    c.PanelFrameColors[frActive][fpBorder] = c.FloatingFrameColors[frActive][fpBorder];
    c.PanelFrameColors[frInactive][fpBorder] = 0xC0C0C0;
    c.PanelFrameColors[frActive][fpCaptionText] = activeText;
    c.ButtonColorTable[brChecked][cpText] = c.ButtonColorTable[brNormal][cpText];
    c.ButtonColorTable[brChecked][cpFrame] = MixColors(base, 0xFFFFFF, 90);
    c.ButtonColorTable[brPushed][cpBody] = MixColors(base, 0xFFFFFF, 50);
    c.ButtonColorTable[brHot][cpText] = n3.HotTextColor;
    c.ButtonColorTable[brHot][cpFrame] = MixColors(base, 0xFFFFFF, 80);
    c.ButtonColorTable[brCheckedHot][cpFrame] = MixColors(base, 0xFFFFFF, 75);
    c.MenuItemColorTable[mrHot][cpText] = 0xFFFFFF;
    c.MenuItemColorTable[mrHot][cpFrame] = c.ButtonColorTable[brHot][cpFrame];
    AdjustKeepingEdges(c);
}

void TCacheFormulas::Nexos4(TNexosColorCache& c, TNexosColors& unit, const TNexosOptions& options) const {
    SetNexosUnitColors(unit, options.BaseColor);
    Nexos(c, options.BaseColor, 0xF4F4F4);
    AdjustAll(c);
}

void TCacheFormulas::Nexos5(TNexosColorCache& c, TNexosColors& unit, const TNexosOptions& options) const {
    SetNexosUnitColors(unit, options.BaseColor);
    Nexos(c, options.BaseColor, 0xFFFFFF);
    unit.GripFaceColor = 0x909090;
    c.ToolbarShadowColor = 0xA8A8A8;
    const TColor activeText = Contrasted(0x000000, 0x808080, 180);
    c.FloatingFrameColors[frActive][fpCaptionText] = activeText;
    c.PanelFrameColors[frActive][fpCaptionText] = activeText;
    c.MenuItemColorTable[mrHot][cpText] = c.ButtonColorTable[brHot][cpText];
    AdjustAll(c);
}

void TCacheFormulas::NexosX(TNexosColorCache& c, const TNexosOptions& options) const {
    Nexos(c, options.BaseColor, 0xF4F4F4);
    c.ButtonColorTable[brCheckedHot][cpText] = 0x000000;
    c.MenuItemColorTable[mrHot][cpText] = 0xFFFFFF;
    AdjustAll(c);
}

void TCacheFormulas::Dream(TNexosColorCache& c) const {
    // Not snapped: system colours stay system colours.
    c.MenuBarBackground = 0xFFFFFF;
    c.ToolbarBackground = DreamGradientDark;
    c.PopupBackground = 0xFFFFFF;
    c.DockPanelBackground = 0xFFFFFF;
    c.PopupBorderColor = 0xC0C0C0;
    c.EditFrameColor = 0xD0D0D0;
    c.ToolbarShadowColor = 0xC0C0C0;
    const TColor tb = c.ToolbarBackground;
    const TColor hotFace = Contrasted(MixColors(clHighlight, clWindow, 20), tb, 50);
    SetRow(c.FloatingFrameColors[frActive], 0x909090, 0xFFFFFF, Contrasted(0x000000, clBtnShadow, 180));
    SetRow(c.FloatingFrameColors[frInactive], 0x909090, sys::clBtnFace, Contrasted(0xC0C0C0, clBtnFace, 120));
    SetRow(c.PanelFrameColors[frActive], 0x909090, 0xFFFFFF, 0x000000);
    SetRow(c.PanelFrameColors[frInactive], sys::clBtnShadow, sys::clBtnFace, Contrasted(0xC0C0C0, clBtnFace, 120));
    const TColor normalText = Contrasted(clBtnText, tb, 180);
    SetRow(c.ButtonColorTable[brNormal], clNone, normalText, clNone);
    SetRow(c.ButtonColorTable[brDisabled], clNone, Contrasted(0xC0C0C0, tb, 80), 0xD0D0D0);
    SetRow(c.ButtonColorTable[brChecked], Contrasted(MixColors(clHighlight, MixColors(clBtnFace, clWindow, 50), 10), tb, 5),
            normalText, 0xC0C0C0);
    SetRow(c.ButtonColorTable[brPushed], MixColors(clHighlight, clWindow, 30), 0x000000, 0x0000FF);
    SetRow(c.ButtonColorTable[brHot], hotFace, Contrasted(clMenuText, hotFace, 180), 0xA0A0A0);
    SetRow(c.ButtonColorTable[brDisabledHot], hotFace, 0xC0C0C0, sys::clHighlight);
    const TColor checkedHot = Contrasted(MixColors(clHighlight, clWindow, 50), tb, 30);
    SetRow(c.ButtonColorTable[brCheckedHot], checkedHot, Contrasted(0x000000, checkedHot, 180),
            Contrasted(clHighlight, checkedHot, 100));
    SetRow(c.ButtonColorTable[brPopupOpen], tb, normalText, 0xA0A0A0);
    const TColor grayText = MixColors(clGrayText, clWindow, 70);
    SetRow(c.MenuItemColorTable[mrNormal], clNone, Contrasted(clWindowText, c.PopupBackground, 180), clNone);
    SetRow(c.MenuItemColorTable[mrDisabled], clNone, Contrasted(grayText, c.PopupBackground, 80), clNone);
    SetRow(c.MenuItemColorTable[mrHot], hotFace, c.ButtonColorTable[brHot][cpText], 0xC0C0C0);
    SetRow(c.MenuItemColorTable[mrDisabledHot], c.PopupBackground, grayText, sys::clHighlight);
    c.MenuSplitLineColor = 0xC0C0C0;
    c.StatusPaneDotColor = clNone;
}

void TCacheFormulas::OfficeC(TOfficeCColorCache& c, TNexosColors& unit, TOfficeCState& s) const {
    s.GradientDark = s.SchemeDark;
    s.GradientLight = s.SchemeLight;
    const TColor light = s.GradientLight, dark = s.GradientDark;
    s.MenuBarColor = BlendColorNearest(light, dark, 128);
    s.EdgeColor = MixColors(dark, 0x000000, 75);
    unit.GripFaceColor = MixColors(dark, 0xFFFFFF, 48);
    unit.GripShadowColor = MixColors(dark, 0x000000, 75);
    unit.GripLightColor = BlendColorNearest(dark, 0xFFFFFF, 64);

    c.MenuBarBackground = s.MenuBarColor;
    c.ToolbarBackground = light;
    c.PopupBackground = MixColors(light, clWindow, 143);
    c.DockPanelBackground = c.PopupBackground;
    const TColor tb = c.ToolbarBackground;
    const TColor face = Contrasted(MixColors(dark, clWindow, 70), tb, 50);
    const TColor muted = MixColors(dark, clBtnText, 80);
    c.PopupBorderColor = Contrasted(MixColors(clBtnText, dark, 20), c.PopupBackground, 100);
    const TColor floatingBorder = Contrasted(MixColors(clBtnText, dark, 15), tb, 120);
    const TColor inactiveText = Contrasted(muted, clBtnFace, 120);
    SetRow(c.FloatingFrameColors[frActive], floatingBorder, s.MenuBarColor, clBtnText);
    SetRow(c.FloatingFrameColors[frInactive], floatingBorder, clBtnFace, inactiveText);
    SetRow(c.PanelFrameColors[frActive], dark, s.MenuBarColor, clBtnText);
    SetRow(c.PanelFrameColors[frInactive], light, s.MenuBarColor, inactiveText);
    const TColor normalText = Contrasted(clBtnText, tb, 180);
    const TColor hotText = BlendColorNearest(clHighlightText, 0x000000, 48);
    SetRow(c.ButtonColorTable[brNormal], clNone, normalText, clNone);
    SetRow(c.ButtonColorTable[brDisabled], clNone, muted, clNone);
    SetRow(c.ButtonColorTable[brChecked], Contrasted(MixColors(dark, MixColors(clBtnFace, clWindow, 50), 10), tb, 5),
            normalText, dark);
    SetRow(c.ButtonColorTable[brPushed], MixColors(dark, clWindow, 50), hotText, dark);
    SetRow(c.ButtonColorTable[brHot], face, hotText, Contrasted(MixColors(s.SchemeHotLight, s.SchemeHotDark, 20), tb, 100));
    SetRow(c.ButtonColorTable[brDisabledHot], face, muted, dark);
    const TColor checkedHot = Contrasted(MixColors(dark, clWindow, 50), tb, 30);
    SetRow(c.ButtonColorTable[brCheckedHot], checkedHot, Contrasted(clHighlightText, checkedHot, 180),
            Contrasted(s.SchemeHotDark, checkedHot, 100));
    SetRow(c.ButtonColorTable[brPopupOpen], MixColors(dark, clWindow, 50), hotText, c.PopupBorderColor);
    SetRow(c.MenuItemColorTable[mrNormal], clNone, Contrasted(clWindowText, c.PopupBackground, 180), clNone);
    SetRow(c.MenuItemColorTable[mrDisabled], clNone, muted, clNone);
    for (int part = 0; part < 3; ++part) c.MenuItemColorTable[mrHot][part] = c.ButtonColorTable[brHot][part];
    SetRow(c.MenuItemColorTable[mrDisabledHot], c.PopupBackground, MixColors(clGrayText, clWindow, 70), dark);
    c.SeparatorColor = Contrasted(MixColors(dark, clWindow, 70), tb, 50);
    c.MenuSeparatorColor = s.GradientPopups ? dark : c.SeparatorColor;
    c.MenuSplitLineColor = c.MenuSeparatorColor;
    c.EditFrameColor = clWindow;
    c.ToolbarShadowColor = s.EdgeColor;
    c.StatusPaneDotColor = clNone;
    AdjustAll(c);
    c.DisabledEditFrameColor = muted;
}

void TCacheFormulas::Relifer(TReliferColorCache& c, TNexosColors& unit, const TNexosOptions& options) const {
    SetNexosUnitColors(unit, options.BaseColor);
    Nexos(c, options.BaseColor, 0xF0F0F0, 0xF0F0F0);
    const TColor activeText = Contrasted(0x000000, 0x808080, 180);
    c.FloatingFrameColors[frActive][fpCaptionText] = activeText;
    c.PanelFrameColors[frActive][fpCaptionText] = activeText;
    AdjustAll(c);
    // The caption line, edit frame and bevel colours keep their values.
    c.ToolbarShadowColor = 0xA8A8A8;
    c.EditFrameColor = MixColors(0xC0C0C0, 0xFFFFFF, 80);
    c.BevelLightColor = 0xFFFFFF;
    c.BevelShadowColor = 0xC0C0C0;
}

} // namespace qelvo
