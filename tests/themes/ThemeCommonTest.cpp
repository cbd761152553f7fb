// What the visual themes share: the start-up registration, the item-state
// rows and colour lookups of the cache, the unit stock and its instance
// count, switching themes without leaking GDI objects.
#include <gtest/gtest.h>

#include <algorithm>
#include "gcl/rtl/WinApi.h"

#include <fstream>
#include <memory>
#include <sstream>

#include "CacheDump.h"
#include "ThemeTestSupport.h"
#include "support/TestEnvironment.h"
#include "app/logic/LayoutSettings.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Lists.h"
#include "theming/Tx.h"
#include "themes/ThemeCommon.h"
#include "themes/TxAluminumTheme.h"
#include "themes/TxTristan2Theme.h"
#include "themes/TxTristanTheme.h"

using namespace qelvo;
using gcl::TRect;
using qelvo::test::Item;
using qelvo::test::TFixedSysColors;
using qelvo::test::TGdiObjectCounter;

namespace {

class ThemeCommon : public testing::Test {
protected:
    static void SetUpTestSuite() { test::StartThemes(); }
};

TEST_F(ThemeCommon, ThemesAreRegisteredInTheirOrderAfterDefault) {
    std::vector<std::string> names;
    for (const TTxThemeRecord& record : RegisteredThemes()) names.push_back(record.Name);
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(names[0], "Default");
    // The themes of this library in the table's order, whatever else is registered.
    const std::vector<std::string> table{"Stripes", "Athen", "Nexos2", "Nexos3", "Nexos4", "Nexos5", "NexosX", "Office11Adaptive", "Dream", "Zezio", "Roma", "Tristan", "Tristan2", "Aluminum", "OfficeC", "Whidbey", "Relifer", "SentimoX", "Monai", "Miranda"};
    std::vector<std::string> ours;
    for (const std::string& name : names)
        if (std::find(table.begin(), table.end(), name) != table.end()) ours.push_back(name);
    EXPECT_EQ(ours, table);
    EXPECT_EQ(RegisteredThemes()[FindRegisteredTheme("tristan")].ThemeClass, TTxTristanTheme::StaticClass());
    // The unit runs once: a second start registers nothing twice.
    EXPECT_NO_THROW(ThemesUnit.Initialize());
    ThemesUnit.Finalize();
    EXPECT_THROW(RegisterTheme("TRISTAN", TTxTristanTheme::StaticClass()), gcl::Exception);
}

// A first start without settings selects the theme menu's item 17 (after
// item 8): with the 21 themes of the program that is "Tristan".
TEST_F(ThemeCommon, TheFirstStartSelectsTristan) {
    const std::vector<std::string> menu = ThemeMenuNames();
    ASSERT_EQ(menu.size(), 21u);
    EXPECT_EQ(menu.front(), "Default");
    EXPECT_TRUE(std::is_sorted(menu.begin() + 1, menu.end()));
    TLayoutSettings layout;
    test::TempDir folder;  // empty: no settings.ini
    LoadLayoutSettings(folder.File("settings.ini"), layout, static_cast<int>(menu.size()));
    ASSERT_EQ(layout.Theme, DefaultThemeIndex);
    EXPECT_EQ(menu[StartupThemeIndex], "Nexos4");
    EXPECT_EQ(menu[layout.Theme], "Tristan");

    SelectTheme(menu[StartupThemeIndex]);
    SelectTheme(menu[layout.Theme]);
    EXPECT_EQ(CurrentThemeName(), "Tristan");
    TTxTheme* theme = AcquireTheme(CurrentThemeName());
    EXPECT_EQ(theme->ClassType(), TTxTristanTheme::StaticClass());
    ReleaseTheme(theme);
    SelectTheme("Default");
}

TEST_F(ThemeCommon, AFailedStartTakesBackItsRegistrations) {
    // With "Aluminum" taken, the table cannot register it: the unit stays
    // unstarted and the two names before it are free again. The theming
    // layer stays up meanwhile.
    TxUnit.Initialize();
    ThemesUnit.Finalize();
    std::vector<std::string> table;
    for (const TTxThemeRecord& record : RegisteredThemes())
        if (record.Name != "Default") table.push_back(record.Name);
    for (const std::string& name : table) UnregisterTheme(name);
    RegisterTheme("Aluminum", TTxTristanTheme::StaticClass());
    EXPECT_THROW(ThemesUnit.Initialize(), gcl::Exception);
    EXPECT_EQ(ThemesUnit.InitCount(), 0);
    EXPECT_FALSE(IsThemeRegistered("Tristan"));
    EXPECT_FALSE(IsThemeRegistered("Tristan2"));
    EXPECT_FALSE(IsThemeRegistered("Nexos2"));
    UnregisterTheme("Aluminum");
    ThemesUnit.Initialize();
    for (const std::string& name : table) EXPECT_TRUE(IsThemeRegistered(name)) << name;
    EXPECT_EQ(RegisteredThemes()[FindRegisteredTheme("Aluminum")].ThemeClass, TTxAluminumTheme::StaticClass());
    TxUnit.Finalize();
}

TEST_F(ThemeCommon, ButtonRowsFollowTheStateRuleInOrder) {
    TTxItemInfo info = Item(VT_TOOLBAR, false, 1);
    EXPECT_EQ(ButtonRowOf(info), brDisabledHot);
    info.HoverKind = 2;
    EXPECT_EQ(ButtonRowOf(info), brDisabled) << "a disabled item under the mouse is plain disabled";
    info = Item(VT_TOOLBAR);
    info.Selected = true;
    info.Pushed = true;
    info.PopupOpen = true;
    EXPECT_EQ(ButtonRowOf(info), brPopupOpen);
    info.PopupOpen = false;
    EXPECT_EQ(ButtonRowOf(info), brPushed);
    info.Pushed = false;
    EXPECT_EQ(ButtonRowOf(info), brChecked);
    info.HoverKind = 1;
    EXPECT_EQ(ButtonRowOf(info), brCheckedHot);
    info.Selected = false;
    EXPECT_EQ(ButtonRowOf(info), brHot);
    info.HoverKind = 0;
    EXPECT_EQ(ButtonRowOf(info), brNormal);

    TTxItemInfo menu = Item(VT_POPUPMENU, true, 2);
    menu.Pushed = menu.Selected = menu.PopupOpen = true;
    EXPECT_EQ(MenuRowOf(menu), mrHot);
    menu.HoverKind = 0;
    EXPECT_EQ(MenuRowOf(menu), mrNormal);
    menu.Enabled = false;
    EXPECT_EQ(MenuRowOf(menu), mrDisabled);
    menu.HoverKind = 1;
    EXPECT_EQ(MenuRowOf(menu), mrDisabledHot);
}

TEST_F(ThemeCommon, LookupsTakeTheRightTableAndOpaqueFallbacks) {
    TThemeColorCache cache;
    for (int row = 0; row < 8; ++row)
        for (int part = 0; part < 3; ++part) cache.ButtonColorTable[row][part] = 0x010000 * row + part;
    for (int row = 0; row < 4; ++row)
        for (int part = 0; part < 3; ++part) cache.MenuItemColorTable[row][part] = 0x100 * (row + 1) + part;
    cache.ToolbarBackground = 0xABCDEF;
    cache.ButtonColorTable[brChecked][cpBody] = clNone;
    cache.ButtonColorTable[brChecked][cpFrame] = clNone;
    cache.ButtonColorTable[brNormal][cpFrame] = clNone;

    EXPECT_EQ(ItemPartColor(cache, Item(VT_POPUPMENU, true, 2), cpText), 0x301);
    TTxItemInfo toolbarStyle = Item(VT_POPUPMENU, true, 2);
    toolbarStyle.ItemOptions = IO_TOOLBARSTYLE;
    EXPECT_EQ(ItemPartColor(cache, toolbarStyle, cpText), 0x040001);
    for (uint32_t popup : {VT_LISTPOPUP, VT_TOOLBOXPOPUP, VT_CHEVRONPOPUP})
        EXPECT_EQ(ItemPartColor(cache, Item(popup, true, 2), cpBody), 0x040000) << popup;

    TTxItemInfo checked = Item(VT_TOOLBAR | VT_OPAQUE);
    checked.Selected = true;
    EXPECT_EQ(ButtonPartColor(cache, checked, cpBody), 0xABCDEF);
    EXPECT_EQ(ButtonPartColor(cache, checked, cpFrame), gcl::clWindowFrame);
    EXPECT_EQ(ItemPartColor(cache, checked, cpFrame), gcl::clBtnShadow);
    EXPECT_EQ(ItemPartColor(cache, checked, cpFrame, TPartFallbacks{0x9F9F9F}), 0x9F9F9F);
    EXPECT_EQ(ButtonPartColor(cache, Item(VT_TOOLBAR | VT_OPAQUE), cpFrame), gcl::clBtnShadow);
    TTxItemInfo translucent = checked;
    translucent.ViewType = VT_TOOLBAR;
    EXPECT_EQ(ButtonPartColor(cache, translucent, cpBody), clNone);
    EXPECT_EQ(ButtonPartColor(cache, translucent, cpFrame), clNone);

    TTxItemInfo parent = Item(VT_POPUPMENU, true, 2);
    parent.IsPopupParent = 1;
    EXPECT_EQ(ItemPartColor(cache, parent, cpBody), 0x300);
    EXPECT_EQ(ItemPartColor(cache, parent, cpBody, TPartFallbacks{gcl::clBtnShadow, true}), 0x040000);
}

TEST_F(ThemeCommon, ImageOffsetsCloseRowsAndSnapping) {
    TTxItemInfo info = Item(VT_TOOLBAR, true, 2);
    EXPECT_EQ(RaisedImageOffset(info), (TPoint{-1, -1}));
    info.Pushed = true;
    EXPECT_EQ(RaisedImageOffset(info), (TPoint{0, 0}));
    info.PopupOpen = true;
    EXPECT_EQ(RaisedImageOffset(info), (TPoint{-1, -1}));
    info.Selected = true;
    EXPECT_EQ(RaisedImageOffset(info), (TPoint{0, 0}));
    EXPECT_EQ(RaisedImageOffset(Item(VT_TOOLBAR, false, 1)), (TPoint{0, 0}));

    EXPECT_EQ(CloseButtonRow(CDBS_VISIBLE), brNormal);
    EXPECT_EQ(CloseButtonRow(CDBS_VISIBLE | CDBS_HOT), brHot);
    EXPECT_EQ(CloseButtonRow(CDBS_VISIBLE | CDBS_HOT | CDBS_PRESSED), brPushed);
    EXPECT_EQ(FloatingCloseButtonRow(CDBS_VISIBLE | CDBS_PRESSED, false), brDisabled);
    EXPECT_EQ(FloatingCloseButtonRow(CDBS_VISIBLE | CDBS_PRESSED, true), brPushed);

    TFixedSysColors colors;
    TColor none = clNone, system = gcl::clBtnFace, plain = 0x123456;
    AdjustCachedColor(none);
    AdjustCachedColor(system);
    AdjustCachedColor(plain);
    EXPECT_EQ(none, clNone);
    EXPECT_EQ(system, static_cast<TColor>(RGB(212, 208, 200)));
    EXPECT_EQ(plain, 0x123456);
    EXPECT_EQ(MDIGlyphIndex(0), 0);
    EXPECT_EQ(MDIGlyphIndex(1), 2);
    EXPECT_EQ(MDIGlyphIndex(2), -1);
    EXPECT_EQ(MDIGlyphIndex(3), 3);
}

TEST_F(ThemeCommon, InstancesShareTheirUnitStockAndSiblingsKeepTheirOwn) {
    TTxTheme* first = TTxTristanTheme::Create("Tristan");
    auto* tristan = static_cast<TTxTristanTheme*>(first);
    TThemeStock& stock = tristan->Stock();
    EXPECT_EQ(stock.ThemeInstanceCount, 1);
    ASSERT_NE(stock.StockImages, nullptr);
    EXPECT_EQ(stock.StockImages->GetCount(), 4);
    EXPECT_EQ(stock.StockBitmap, nullptr);
    gcl::TImageList* images = stock.StockImages;
    TTxTheme* second = TTxTristanTheme::Create("Tristan");
    EXPECT_EQ(stock.ThemeInstanceCount, 2);
    EXPECT_EQ(stock.StockImages, images);
    TTxTheme* sibling = TTxTristan2Theme::Create("Tristan2");
    EXPECT_NE(&static_cast<TTxTristanTheme*>(sibling)->Stock(), &stock);
    EXPECT_EQ(stock.ThemeInstanceCount, 2);
    gcl::Free(first);
    EXPECT_EQ(stock.ThemeInstanceCount, 1);
    EXPECT_EQ(stock.StockImages, images);
    gcl::Free(second);
    EXPECT_EQ(stock.ThemeInstanceCount, 0);
    EXPECT_EQ(stock.StockImages, nullptr);
    gcl::Free(sibling);
}

// Each theme builds its cache from the system colours the class library
// gives (here the classic ones) and the theming layer's flags: its common
// entries are those of the natively tested tables.
TEST_F(ThemeCommon, ThemesBuildTheirCachesFromTheInstalledSystemColours) {
    TFixedSysColors colors;
    std::ifstream in(test::TestDataDir() + "themes" + gcl::PathDelim + "caches-classic.txt", std::ios::binary);
    ASSERT_TRUE(in.good());
    std::stringstream golden;
    golden << in.rdbuf();
    const std::pair<const char*, const char*> themes[] = {
        {"Athen", "Athen"}, {"Office11Adaptive", VisualStylesOn ? "Office11AdaptiveStyled" : "Office11Adaptive"},
        {"Whidbey", "Whidbey"}, {"Zezio", "Zezio"}, {"Miranda", "Zezio"}, {"Tristan", "Tristan"},
        {"Tristan2", "Tristan2"}, {"Aluminum", "Aluminum"}, {"Nexos2", "Nexos2"}, {"Nexos3", "Nexos3"},
        {"Nexos4", "Nexos4"}, {"Nexos5", "Nexos5"}, {"NexosX", "NexosX"}, {"Dream", "Dream"},
        {"Relifer", "Relifer"}, {"SentimoX", "Relifer"}, {"OfficeC", "OfficeC"}};
    for (const auto& [name, table] : themes) {
        TTxTheme* theme = AcquireTheme(name);
        theme->SetupColorCache();
        test::TCacheDump dump(table);
        if (auto* cached = dynamic_cast<TTxCacheTheme*>(theme))
            dump.Base(cached->ColorCache());
        else
            dump.Base(static_cast<TTxAluminumTheme*>(theme)->Cache());
        std::istringstream lines(dump.Text());
        int count = 0;
        for (std::string line; std::getline(lines, line); ++count)
            EXPECT_NE(golden.str().find(line + "\n"), std::string::npos) << name << ": " << line;
        EXPECT_EQ(count, 53) << name;
        ReleaseTheme(theme);
    }
}

// A theme hears WM_SKIN_SYSCHANGE and rebuilds its cache on WParam 2 only.
TEST_F(ThemeCommon, CachesAreRebuiltOnTheSecondSystemChangeStepOnly) {
    TFixedSysColors colors;
    TTxTheme* theme = AcquireTheme("Tristan");
    auto* tristan = static_cast<TTxTristanTheme*>(theme);
    const TColor before = tristan->Cache().MenuBarBackground;
    colors.Set(COLOR_BTNFACE, RGB(10, 20, 30));
    for (uintptr_t step : {1u, 3u}) {
        gcl::TMessage m{WM_SKIN_SYSCHANGE, step, 0, 0};
        theme->Dispatch(m);
        EXPECT_EQ(tristan->Cache().MenuBarBackground, before) << step;
    }
    gcl::TMessage m{WM_SKIN_SYSCHANGE, 2, 0, 0};
    theme->Dispatch(m);
    EXPECT_EQ(tristan->Cache().MenuBarBackground, static_cast<TColor>(RGB(10, 20, 30)));
    ReleaseTheme(theme);
}

TEST_F(ThemeCommon, SwitchingBetweenThemesLeavesNoGdiObjectBehind) {
    ASSERT_TRUE(TGdiObjectCounter::Installed());
    const char* names[] = {"Default", "Tristan", "Tristan2", "Aluminum"};
    auto round = [&] {
        for (const char* name : names) {
            SelectTheme(name);
            EXPECT_EQ(CurrentThemeName(), name);
        }
        for (int i = 3; i >= 0; --i) SelectTheme(names[i]);
    };
    round();  // shared caches of the layer are made once
    TGdiObjectCounter counter;
    round();
    round();
    EXPECT_GT(counter.Created(), 0);
    EXPECT_EQ(counter.Balance(), 0);
    SelectTheme("Tristan");
    EXPECT_EQ(CurrentThemeName(), "Tristan");
}

} // namespace
