// Wide menu items read back from the Windows menu, wide shortcut texts
// and hot-key marks.
#include "gcl/rtl/WinApi.h"

#include <gtest/gtest.h>

#include <string>

#include "gcl/Forms.h"
#include "gcl/Menus.h"
#include "gcl/rtl/Strings.h"
#include "unicode/UniControls.h"
#include "unicode/UniForms.h"
#include "unicode/UniMenus.h"
#include "support/StringHelpers.h"

using namespace qelvo;

using qelvo::test::W;

namespace {

std::wstring MenuString(HMENU menu, UINT command) {
    wchar_t buffer[256] = {};
    int n = GetMenuStringW(menu, command, buffer, 256, MF_BYCOMMAND);
    return std::wstring(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

bool FarEastLocale() {
    LANGID lang = PRIMARYLANGID(LANGIDFROMLCID(GetSystemDefaultLCID()));
    return lang == LANG_CHINESE || lang == LANG_JAPANESE || lang == LANG_KOREAN;
}

} // namespace

class UniMenusTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        gcl::FormsUnit.Initialize();
        gcl::MenusUnit.Initialize();
        UniControlsUnit.Initialize();
        UniFormsUnit.Initialize();
        UniMenusUnit.Initialize();
    }
    static void TearDownTestSuite() {
        UniMenusUnit.Finalize();
        UniFormsUnit.Finalize();
        UniControlsUnit.Finalize();
        gcl::MenusUnit.Finalize();
        gcl::FormsUnit.Finalize();
    }
};

TEST_F(UniMenusTest, HotKeyMarksAndShortCutTexts) {
    struct Case {
        const char* text;
        const char* stripped;
    } cases[] = {
        {"&File", "File"}, {"Save &As...", "Save As..."}, {"A&&B", "A&B"}, {"&&&X", "&X"},
        {"end&", "end"},   {"Ελ&ληνικά", "Ελληνικά"},       {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(WideStripHotKey(W(c.text)), W(c.stripped)) << c.text;
    // The far-east form of a mark goes whole only with such a locale.
    EXPECT_EQ(WideStripHotKey(W("文件(&F)")), FarEastLocale() ? W("文件") : W("文件(F)"));

    EXPECT_EQ(WideShortCutToText(0), L"");
    EXPECT_EQ(WideShortCutToText(gcl::ShortCut(VK_F5, gcl::TShiftState{gcl::ssShift, gcl::ssCtrl})),
              L"Shift+Ctrl+F5");
    EXPECT_EQ(WideShortCutToText(gcl::ShortCut(VK_DELETE, gcl::TShiftState{})), L"Del");
    // Letters and digits are the keyboard layout's characters.
    const wchar_t s = static_cast<wchar_t>(MapVirtualKeyW('S', 2) & 0xFFFF);
    EXPECT_EQ(WideShortCutToText(gcl::ShortCut('S', gcl::TShiftState{gcl::ssCtrl, gcl::ssAlt})),
              std::wstring(L"Ctrl+Alt+") + s);
    EXPECT_EQ(WideShortCutToText(gcl::ShortCut('7', gcl::TShiftState{})), L"7");
}

TEST_F(UniMenusTest, WideStringsInTheWindowsMenu) {
    gcl::TPopupMenu* popup = gcl::TPopupMenu::Create(nullptr);
    TUniMenuItem* open = TUniMenuItem::Create(popup);
    TUniMenuItem* plain = TUniMenuItem::Create(popup);
    popup->GetItems()->Add(open);
    popup->GetItems()->Add(plain);
    open->SetWideCaption(W("&Öffnen 汉字"));
    open->SetShortCut(gcl::ShortCut('O', gcl::TShiftState{gcl::ssCtrl}));
    plain->SetWideCaption(W("Ελληνικά"));
    HMENU menu = popup->GetHandle();

    const std::wstring tab = L"\t" + WideShortCutToText(open->GetShortCut());
    EXPECT_EQ(MenuString(menu, open->GetCommand()), W("&Öffnen 汉字") + tab);
    // No shortcut: the caption alone, without a trailing tab.
    EXPECT_EQ(MenuString(menu, plain->GetCommand()), W("Ελληνικά"));

    // Another wide caption with the same 8-bit form still reaches the menu.
    open->SetWideCaption(W("&Öffnen 字汉"));
    EXPECT_EQ(MenuString(menu, open->GetCommand()), W("&Öffnen 字汉") + tab);
    // Refilling the submenu (an item joins) keeps the wide strings.
    TUniMenuItem* extra = TUniMenuItem::Create(popup);
    extra->SetCaption("Extra");
    popup->GetItems()->Insert(0, extra);
    EXPECT_EQ(MenuString(menu, open->GetCommand()), W("&Öffnen 字汉") + tab);
    EXPECT_EQ(MenuString(menu, plain->GetCommand()), W("Ελληνικά"));
    EXPECT_EQ(MenuString(menu, extra->GetCommand()), L"Extra");
    open->SetShortCut(0);
    EXPECT_EQ(MenuString(menu, open->GetCommand()), W("&Öffnen 字汉"));

    // The class library moved the 8-bit hot-key mark: the wide caption
    // follows it; a new 8-bit caption replaces the wide one.
    open->SetCaption(gcl::WideToAnsi(W("Ö&ffnen 字汉")));
    EXPECT_EQ(open->GetWideCaption(), W("Ö&ffnen 字汉"));
    EXPECT_EQ(MenuString(menu, open->GetCommand()), W("Ö&ffnen 字汉"));
    open->SetCaption("Close");
    EXPECT_EQ(open->GetWideCaption(), L"Close");
    EXPECT_EQ(MenuString(menu, open->GetCommand()), L"Close");

    // The wide hint beside the 8-bit one.
    plain->SetWideHint(W("Ωμέγα|long"));
    EXPECT_EQ(plain->GetHint(), gcl::WideToAnsi(W("Ωμέγα|long")));
    EXPECT_EQ(plain->GetWideHint(), W("Ωμέγα|long"));

    // Selecting an item in a popup menu shows its wide hint.
    ASSERT_NE(dynamic_cast<TUniPopupList*>(gcl::PopupList), nullptr);
    HWND owner = gcl::PopupList->GetWindow();
    SendMessageW(owner, WM_MENUSELECT, MAKEWPARAM(plain->GetCommand(), MF_STRING), reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(UniApplication->GetHint(), L"long");
    plain->SetWideHint(W("Kort|Ωμέγα 汉字"));
    SendMessageW(owner, WM_MENUSELECT, MAKEWPARAM(plain->GetCommand(), MF_STRING), reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(UniApplication->GetHint(), W("Ωμέγα 汉字"));
    EXPECT_EQ(gcl::Application->GetHint(), gcl::WideToAnsi(W("Ωμέγα 汉字")));
    SendMessageW(owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);   // the menu closed
    EXPECT_EQ(UniApplication->GetHint(), L"");

    plain->SetHint("Dansk \xE6");
    EXPECT_EQ(plain->GetWideHint(), W("Dansk æ"));
    popup->Free();
}

TEST_F(UniMenusTest, OwnerDrawnItemsMeasureTheWideText) {
    auto measure = [](gcl::TMenuItem* item) {
        MEASUREITEMSTRUCT m{};
        m.CtlType = ODT_MENU;
        EXPECT_TRUE(gcl::MeasureMenuItem(item, m));
        return static_cast<int>(m.itemWidth);
    };
    const std::wstring cyrillic = W("ЖЖЖЖЖЖЖЖЖЖЖЖ");
    TUniMenuItem* wide = TUniMenuItem::Create(nullptr);
    wide->SetWideCaption(cyrillic);
    gcl::TMenuItem* ansi = gcl::TMenuItem::Create(nullptr);
    ansi->SetCaption(gcl::WideToAnsi(cyrillic));
    TUniMenuItem* same = TUniMenuItem::Create(nullptr);
    same->SetWideCaption(gcl::AnsiToWide(gcl::WideToAnsi(cyrillic)));
    // The wide caption is measured, not its 8-bit form ("?" marks).
    EXPECT_EQ(measure(same), measure(ansi));
    EXPECT_GT(measure(wide), measure(ansi));
    // The shortcut text is measured in its wide form as well.
    wide->SetShortCut(gcl::ShortCut(VK_F2, gcl::TShiftState{gcl::ssCtrl}));
    ansi->SetShortCut(wide->GetShortCut());
    EXPECT_GT(measure(wide), measure(ansi));
    wide->Free();
    ansi->Free();
    same->Free();
}
