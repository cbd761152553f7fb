// The themes' colour caches computed without a screen: every theme's
// table for the classic system colours against a golden file, the values
// that the themes' looks depend on, system colours a test chooses, the
// low-colour mode and the snapping to screen colours.
#include "themes/ThemeCaches.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "CacheDump.h"
#include "gcl/rtl/Files.h"
#include "support/TestEnvironment.h"

using namespace qelvo;
using qelvo::test::ClassicEnvironment;
using qelvo::test::TCacheDump;

namespace {

constexpr TColor PureWhite = 0xFFFFFF;
constexpr TColor PackedRgb(uint32_t r, uint32_t g, uint32_t b) { return RGBColor(r, g, b); }
constexpr int ixBtnFace = 15, ixBtnShadow = 16, ixHighlight = 13;
constexpr TColor SysBtnFace = static_cast<TColor>(0xFF00000Fu);

// Every cache theme's entries and unit colours for one environment.
std::string DumpAll(const TCacheEnvironment& env) {
    const TCacheFormulas f(env);
    std::string text;
    auto add = [&text](const TCacheDump& dump) { text += dump.Text(); };
    const std::vector<std::string> athenOwn{"MenuSeparatorColor", "SeparatorColor", "StatusPaneColor"};
    const std::vector<std::string> pairNames{"Pair.Dark", "Pair.Light", "Pair.GripBase", "Pair.GripShade",
                                             "Pair.GripLight", "Pair.Edge", "Pair.Mid", "Pair.MenuBar"};
    const std::vector<std::string> nexosOwn{"ToolbarShadowColor", "EditFrameColor", "MenuSplitLineColor",
                                            "StatusPaneDotColor"};
    const std::vector<std::string> nexosUnit{"Unit.CaptionStartColor", "Unit.CaptionEndColor", "Unit.GripFaceColor",
                                             "Unit.GripShadowColor", "Unit.GripLightColor"};
    {
        TAthenColorCache c;
        f.Athen(c);
        TCacheDump d("Athen");
        EXPECT_TRUE(d.Cache(c, athenOwn));
        add(d);
    }
    for (bool styles : {false, true}) {
        TCacheEnvironment e = env;
        e.VisualStylesOn = styles;
        TAthenColorCache c;
        TGradientPair p;
        TCacheFormulas(e).Office11Adaptive(c, p);
        TCacheDump d(styles ? "Office11AdaptiveStyled" : "Office11Adaptive");
        EXPECT_TRUE(d.Cache(c, athenOwn));
        EXPECT_TRUE(d.Colors(p, pairNames));
        add(d);
    }
    {
        TAthenColorCache c;
        TGradientPair p;
        f.Whidbey(c, p);
        TCacheDump d("Whidbey");
        EXPECT_TRUE(d.Cache(c, athenOwn));
        EXPECT_TRUE(d.Colors(p, pairNames));
        add(d);
    }
    {
        TZezioColorCache c;
        TZezioColors z;
        f.Zezio(c, z);
        TCacheDump d("Zezio");
        EXPECT_TRUE(d.Cache(c, {"MenuSplitLineColor", "StatusPaneDotColor"}));
        EXPECT_TRUE(d.Colors(z, {"EditFrameColor", "EditFrameHotColor", "DisabledGlyphColor"}));
        add(d);
    }
    {
        TStripesColors s;
        f.Stripes(s);
        TCacheDump d("Stripes");
        EXPECT_TRUE(d.Colors(s, {"Face", "Panel", "Shadow"}));
        add(d);
    }
    const std::vector<std::string> tristanOwn{"GripColor", "MenuSeparatorColor", "SeparatorColor", "HotShadowColor",
                                              "ButtonLightColor"};
    const std::vector<std::string> tristanUnit{"Unit.GradientColor", "Unit.LightColor", "Unit.GripFaceColor",
                                               "Unit.GripShadowColor", "Unit.GripLightColor", "Unit.EdgeColor"};
    for (int variant = 0; variant < 3; ++variant) {
        TCacheEnvironment e = env;
        e.LowColorScreen = variant == 2;
        const TTristanCacheOptions options{.LowColorMode = true, .PlainHighlightFrames = variant == 1};
        TTristanColorCache c;
        TTristanColors unit;
        TCacheFormulas(e).Tristan(c, unit, variant == 1 ? TTristanCacheOptions{false, true} : options);
        TCacheDump d(variant == 0 ? "Tristan" : variant == 1 ? "Tristan2" : "TristanLowColor");
        EXPECT_TRUE(d.Cache(c, tristanOwn));
        EXPECT_TRUE(d.Colors(unit, tristanUnit));
        add(d);
    }
    {
        TAluminumColorCache c;
        TAluminumColors a;
        f.Aluminum(c, a);
        TCacheDump d("Aluminum");
        EXPECT_TRUE(d.Cache(c, {"SeparatorColor"}));
        EXPECT_TRUE(d.Colors(a, {"Highlight", "DockColor", "StatusBarColor", "BrushStrength"}));
        add(d);
    }
    auto nexos = [&](const char* name, auto build) {
        TNexosColorCache c;
        TNexosColors unit;
        build(c, unit);
        TCacheDump d(name);
        EXPECT_TRUE(d.Cache(c, nexosOwn));
        EXPECT_TRUE(d.Colors(unit, nexosUnit));
        add(d);
    };
    nexos("Nexos2", [&](TNexosColorCache& c, TNexosColors& u) { f.Nexos2(c, u, Nexos2InitialOptions()); });
    nexos("Nexos3", [&](TNexosColorCache& c, TNexosColors& u) {
        TNexosOptions options = Nexos3InitialOptions();
        f.Nexos3(c, u, options, TNexos3Options{});
    });
    nexos("Nexos4", [&](TNexosColorCache& c, TNexosColors& u) { f.Nexos4(c, u, Nexos4InitialOptions()); });
    nexos("Nexos5", [&](TNexosColorCache& c, TNexosColors& u) { f.Nexos5(c, u, Nexos5InitialOptions()); });
    nexos("NexosX", [&](TNexosColorCache& c, TNexosColors&) { f.NexosX(c, NexosXInitialOptions()); });
    nexos("Dream", [&](TNexosColorCache& c, TNexosColors&) { f.Dream(c); });
    {
        TReliferColorCache c;
        TNexosColors unit;
        f.Relifer(c, unit, Nexos4InitialOptions());
        std::vector<std::string> own = nexosOwn;
        own.insert(own.end(), {"BevelLightColor", "BevelShadowColor"});
        TCacheDump d("Relifer");
        EXPECT_TRUE(d.Cache(c, own));
        EXPECT_TRUE(d.Colors(unit, nexosUnit));
        add(d);
    }
    {
        TOfficeCColorCache c;
        TNexosColors unit;
        TOfficeCState s = InitialOfficeCState();
        f.OfficeC(c, unit, s);
        std::vector<std::string> own = nexosOwn;
        own.insert(own.end(), {"DisabledEditFrameColor", "MenuSeparatorColor", "SeparatorColor"});
        TCacheDump d("OfficeC");
        EXPECT_TRUE(d.Cache(c, own));
        EXPECT_TRUE(d.Colors(unit, nexosUnit));
        for (auto [name, color] : {std::pair{"Scheme.GradientLight", s.GradientLight},
                                   std::pair{"Scheme.GradientDark", s.GradientDark},
                                   std::pair{"Scheme.MenuBarColor", s.MenuBarColor},
                                   std::pair{"Scheme.EdgeColor", s.EdgeColor}})
            d.Line(name, color);
        add(d);
    }
    return text;
}

std::string GoldenPath() {
    return test::TestDataDir() + "themes" + gcl::PathDelim + "caches-classic.txt";
}

// The differing lines, at most a few.
std::string FirstDifferences(const std::string& expected, const std::string& actual) {
    std::istringstream e(expected), a(actual);
    std::string le, la, out;
    int shown = 0, line = 0;
    while (shown < 8) {
        const bool he = static_cast<bool>(std::getline(e, le)), ha = static_cast<bool>(std::getline(a, la));
        if (!he && !ha) break;
        ++line;
        if (le != la) {
            out += "line " + std::to_string(line) + ": expected \"" + le + "\", got \"" + la + "\"\n";
            ++shown;
        }
    }
    return out;
}

} // namespace

// Every theme's cache for the classic colours. QELVO_UPDATE_GOLDEN=1
// writes the file anew (then read it through before checking it in).
TEST(ThemeCaches, EveryThemesTableForTheClassicColoursMatchesTheGoldenFile) {
    const std::string actual = DumpAll(ClassicEnvironment());
    if (std::getenv("QELVO_UPDATE_GOLDEN")) {
        std::ofstream(GoldenPath(), std::ios::binary) << actual;
        GTEST_SKIP() << "golden file written";
    }
    std::ifstream in(GoldenPath(), std::ios::binary);
    ASSERT_TRUE(in.good()) << GoldenPath();
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(expected.str().size(), actual.size());
    EXPECT_TRUE(expected.str() == actual) << FirstDifferences(expected.str(), actual);
}

TEST(ThemeCaches, TristanAndTristan2) {
    const TCacheFormulas f(ClassicEnvironment());
    TTristanColorCache c;
    TTristanColors unit;
    f.Tristan(c, unit, {});
    EXPECT_EQ(unit.TristanGradientColor, PackedRgb(195, 192, 185));
    EXPECT_EQ(unit.TristanEdgeColor, PackedRgb(177, 175, 170));
    EXPECT_EQ(unit.TristanGripFaceColor, SysBtnFace);
    EXPECT_EQ(c.MenuBarBackground, PackedRgb(212, 208, 200));
    EXPECT_EQ(c.ToolbarBackground, PureWhite);
    EXPECT_EQ(c.PopupBackground, PureWhite);
    EXPECT_EQ(c.PanelFrameColors[frActive][fpBorder], PackedRgb(128, 128, 128));
    EXPECT_EQ(c.FloatingFrameColors[frInactive][fpBorder], c.FloatingFrameColors[frActive][fpBorder]);
    EXPECT_EQ(c.ButtonColorTable[brNormal][cpBody], clNone);
    EXPECT_EQ(c.ButtonColorTable[brPushed][cpBody], PackedRgb(133, 146, 181));
    EXPECT_EQ(c.ButtonColorTable[brPushed][cpFrame], PackedRgb(182, 189, 210));
    EXPECT_EQ(c.ButtonColorTable[brChecked][cpFrame], PackedRgb(133, 146, 181));
    EXPECT_EQ(c.ButtonColorTable[brPopupOpen][cpFrame], c.PopupBorderColor);
    EXPECT_EQ(c.ButtonColorTable[brDisabledHot][cpFrame], PackedRgb(10, 36, 106));
    for (int part = 0; part < 3; ++part) EXPECT_EQ(c.MenuItemColorTable[mrHot][part], c.ButtonColorTable[brHot][part]);
    EXPECT_EQ(c.MenuItemColorTable[mrDisabledHot][cpText], PackedRgb(166, 166, 166));
    // Kept as the table stands: a held button's text is its face colour.
    EXPECT_EQ(c.ButtonColorTable[brPushed][cpText], c.ButtonColorTable[brPushed][cpBody]);

    // Tristan2: the highlight itself for frames and pushed texts, and no
    // low-colour mode.
    TCacheEnvironment low = ClassicEnvironment();
    low.LowColorScreen = true;
    TTristanColorCache c2;
    TCacheFormulas(low).Tristan(c2, unit, {.LowColorMode = false, .PlainHighlightFrames = true});
    EXPECT_EQ(c2.ToolbarBackground, PureWhite);
    EXPECT_EQ(c2.ButtonColorTable[brChecked][cpFrame], PackedRgb(10, 36, 106));
    EXPECT_EQ(c2.ButtonColorTable[brPushed][cpText], PackedRgb(10, 36, 106));
    EXPECT_EQ(c2.ButtonColorTable[brPushed][cpBody], PackedRgb(133, 146, 181));
}

TEST(ThemeCaches, LowColourTristanKeepsPlainSystemColoursUnsnapped) {
    TCacheEnvironment low = ClassicEnvironment();
    low.LowColorScreen = true;
    low.NearestColor = [](TColor) -> TColor { return 0x123456; };
    TTristanColorCache c;
    TTristanColors unit;
    TCacheFormulas(low).Tristan(c, unit, {});
    EXPECT_EQ(c.ToolbarBackground, SysBtnFace);
    EXPECT_EQ(c.PopupBorderColor, static_cast<TColor>(0xFF000012u));
    EXPECT_EQ(c.ButtonColorTable[brPushed][cpBody], static_cast<TColor>(0xFF00000Du));
    EXPECT_EQ(c.ButtonColorTable[brNormal][cpBody], clNone);
    EXPECT_EQ(c.MenuItemColorTable[mrDisabled][cpText], static_cast<TColor>(0xFF000011u));
}

TEST(ThemeCaches, SystemColoursComeFromTheEnvironment) {
    TCacheEnvironment env = ClassicEnvironment();
    env.SysColors[ixBtnFace] = PackedRgb(10, 20, 30);
    env.SysColors[ixBtnShadow] = PackedRgb(1, 2, 3);
    env.SysColors[ixHighlight] = PackedRgb(200, 0, 0);
    const TCacheFormulas f(env);
    TTristanColorCache t;
    TTristanColors unit;
    f.Tristan(t, unit, {});
    EXPECT_EQ(t.MenuBarBackground, PackedRgb(10, 20, 30));
    EXPECT_EQ(unit.TristanGradientColor, BlendColor(PackedRgb(1, 2, 3), PackedRgb(10, 20, 30), 48));
    EXPECT_EQ(t.ButtonColorTable[brDisabledHot][cpFrame], PackedRgb(200, 0, 0));
    TZezioColorCache z;
    TZezioColors zc;
    f.Zezio(z, zc);
    EXPECT_EQ(zc.EditFrameColor, PackedRgb(1, 2, 3));
    EXPECT_EQ(z.MenuItemColorTable[mrHot][cpBody], PackedRgb(200, 0, 0));
    // A system colour passed to Resolve takes the environment's value.
    EXPECT_EQ(f.Resolve(SysBtnFace), PackedRgb(10, 20, 30));
    EXPECT_EQ(f.Resolve(0x0000FF), 0x0000FF);
}

TEST(ThemeCaches, EntriesAreSnappedExceptWhereAThemeKeepsThem) {
    TCacheEnvironment env = ClassicEnvironment();
    env.NearestColor = [](TColor c) -> TColor { return static_cast<TColor>(static_cast<uint32_t>(c) & 0xF0F0F0u); };
    const TCacheFormulas f(env);
    TColor none = clNone, system = SysBtnFace;
    f.Adjust(none);
    f.Adjust(system);
    EXPECT_EQ(none, clNone);
    EXPECT_EQ(system, static_cast<TColor>(0xC0D0D0));
    TAthenColorCache athen;
    f.Athen(athen);
    EXPECT_EQ(athen.ButtonColorTable[brNormal][cpBody], clNone);
    EXPECT_EQ(athen.ButtonColorTable[brHot][cpFrame] & 0x0F0F0F, 0);
    // Nexos2 keeps its shadow and edit-frame colours as computed.
    TNexosColorCache n2;
    TNexosColors unit;
    f.Nexos2(n2, unit, Nexos2InitialOptions());
    EXPECT_EQ(n2.ToolbarShadowColor, 0xA0A0A0);
    EXPECT_EQ(n2.EditFrameColor, MixColors(0xC0C0C0, 0xFFFFFF, 80));
    EXPECT_EQ(n2.PopupBorderColor, 0xC0C0C0);
    EXPECT_EQ(n2.ToolbarBackground, 0xF0F0F0);
    // Dream snaps nothing, so its system-colour entries stay system colours.
    TNexosColorCache dream;
    f.Dream(dream);
    EXPECT_EQ(dream.FloatingFrameColors[frInactive][fpCaption], SysBtnFace);
    EXPECT_EQ(dream.PanelFrameColors[frInactive][fpBorder], static_cast<TColor>(0xFF000010u));
    EXPECT_EQ(dream.ToolbarBackground, DreamGradientDark);
}

TEST(ThemeCaches, TheNexosFamily) {
    const TCacheFormulas f(ClassicEnvironment());
    TNexosColorCache c;
    TNexosColors unit;
    f.Nexos2(c, unit, Nexos2InitialOptions());
    EXPECT_EQ(c.ButtonColorTable[brPushed][cpFrame], 0x30C8A8);  // the accent
    EXPECT_EQ(c.MenuItemColorTable[mrHot][cpBody], 0x30C8A8);
    EXPECT_EQ(c.ButtonColorTable[brHot][cpText], PureWhite);
    EXPECT_EQ(unit.CaptionStartColor, MixColors(0x30C8A8, 0xFFFFFF, 80));

    // Nexos3 switches its accent; the caption start and the hot face keep
    // the accent it had before the rebuild.
    TNexosOptions options = Nexos3InitialOptions();
    options.BaseColor = 0x123456;
    f.Nexos3(c, unit, options, TNexos3Options{.BlueAccent = false});
    EXPECT_EQ(options.BaseColor, 0xA8A8A8);
    EXPECT_EQ(unit.CaptionStartColor, MixColors(0x123456, 0xFFFFFF, 80));
    EXPECT_EQ(c.ButtonColorTable[brPushed][cpBody], MixColors(0xA8A8A8, 0xFFFFFF, 50));
    f.Nexos3(c, unit, options, TNexos3Options{});
    EXPECT_EQ(options.BaseColor, 0xE0A030);
    EXPECT_EQ(c.ToolbarBackground, 0xF7F7F7);

    f.Nexos5(c, unit, Nexos5InitialOptions());
    EXPECT_EQ(c.ToolbarBackground, PureWhite);
    EXPECT_EQ(c.ToolbarShadowColor, 0xA8A8A8);
    EXPECT_EQ(unit.GripFaceColor, 0x909090);
    f.NexosX(c, NexosXInitialOptions());
    EXPECT_EQ(c.MenuItemColorTable[mrHot][cpBody], 0xD09020);
    EXPECT_EQ(c.MenuItemColorTable[mrHot][cpText], PureWhite);

    TOfficeCColorCache o;
    TOfficeCState s = InitialOfficeCState();
    f.OfficeC(o, unit, s);
    const TColor light = PackedRgb(255, 255, 191), dark = PackedRgb(191, 223, 0);
    EXPECT_EQ(s.SchemeLight, light);
    EXPECT_EQ(s.SchemeDark, dark);
    EXPECT_EQ(o.ToolbarBackground, light);
    EXPECT_EQ(o.MenuBarBackground, BlendColor(light, dark, 128));
    EXPECT_EQ(o.MenuSeparatorColor, dark);
    EXPECT_EQ(o.DisabledEditFrameColor, MixColors(dark, 0x000000, 80));
    s.GradientPopups = false;
    f.OfficeC(o, unit, s);
    EXPECT_EQ(o.MenuSeparatorColor, o.SeparatorColor);
}

TEST(ThemeCaches, InitialOptionsOfTheNexosUnits) {
    EXPECT_EQ(Nexos2InitialOptions().BaseColor, 0x30C8A8);
    EXPECT_TRUE(Nexos2InitialOptions().DimpleStatusGrip);
    EXPECT_EQ(Nexos4InitialOptions().MixedColor, MixColors(0xF6DAC9, 0xC0C0C0, 90));
    EXPECT_TRUE(Nexos5InitialOptions().ColoredCaptions);
    EXPECT_FALSE(Nexos4InitialOptions().ColoredCaptions);
    EXPECT_TRUE(DreamInitialOptions().FlatMenuBar);
    EXPECT_TRUE(OfficeCInitialOptions().FlatMenuBar);
}
