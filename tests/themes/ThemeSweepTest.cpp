// Every paint operation of every visual theme, in every item state and on
// degenerate rectangles: nothing raises, the DC's saved states are given
// back and no GDI object is left behind. Also the test pictures of each
// theme (toolbar, popup menu, floating window, dock, status bar).
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <memory>
#include <string>
#include <vector>

#include "ThemeTestSupport.h"
#include "gcl/ImgList.h"
#include "themes/ThemeCommon.h"

using namespace qelvo;
using gcl::TRect;
using qelvo::test::PixelCanvas;
using qelvo::test::TFixedSysColors;
using qelvo::test::TGdiObjectCounter;

namespace {

const char* const ThemeNames[] = {"Stripes", "Athen", "Nexos2", "Nexos3", "Nexos4", "Nexos5", "NexosX", "Office11Adaptive", "Dream", "Zezio", "Roma", "Tristan", "Tristan2", "Aluminum", "OfficeC", "Whidbey", "Relifer", "SentimoX", "Monai", "Miranda"};

std::vector<TTxItemInfo> ItemStates() {
    std::vector<TTxItemInfo> states;
    const uint32_t views[] = {VT_TOOLBAR,       VT_TOOLBAR | VT_OPAQUE, VT_TOOLBAR | VT_FLOATING, VT_MENUBAR,
                              VT_POPUPMENU,     VT_LISTPOPUP,           VT_TOOLBOXPOPUP,          VT_CHEVRONPOPUP,
                              VT_DOCKPANEL,     VT_STATUSBAR,           0x1004};
    for (uint32_t view : views)
        for (int state = 0; state < 64; state += 3) {
            TTxItemInfo info{};
            info.ViewType = view;
            info.Enabled = state & 1;
            info.Pushed = state & 2;
            info.HoverKind = static_cast<uint8_t>((state >> 2) % 3);
            info.Selected = state & 8;
            info.PopupOpen = state & 16;
            info.IsVertical = state & 32;
            info.IsPopupParent = static_cast<uint8_t>(state % 4);
            info.ItemOptions = (state & 4 ? IO_TOOLBARSTYLE : 0) | (state & 8 ? IO_SUBMENUITEM | IO_COMBO : 0) |
                               (state & 16 ? IO_DESIGNING : 0) | (state & 32 ? IO_RADIO : 0);
            info.ImageWidth = info.ImageHeight = state & 2 ? 16 : 0;
            info.PopupMargin = state & 1 ? 22 : 0;
            states.push_back(info);
        }
    return states;
}

const TRect Rects[] = {{2, 2, 40, 24}, {3, 3, 3, 3}, {10, 10, 2, 4}, {4, 4, 5, 5}, {0, 0, 1, 30}, {0, 0, 60, 1}};

void PaintEverything(TTxTheme* theme, PixelCanvas& canvas, gcl::TImageList* images) {
    gcl::TCanvas* c = canvas.Canvas();
    const std::vector<TTxItemInfo> states = ItemStates();
    for (const TRect& r : Rects) {
        for (const TTxItemInfo& info : states) {
            theme->PaintButton(c, r, info);
            theme->PaintCaption(c, r, info, "&Caption", DT_SINGLELINE | DT_VCENTER, info.IsVertical);
            theme->PaintCheckMark(c, r, info);
            theme->PaintChevron(c, r, info);
            theme->PaintDropDownArrow(c, r, info);
            theme->PaintControlFrame(c, r, info);
            theme->PaintImage(c, r, info, images, 0);
            theme->PaintMenuItem(c, r, info);
            theme->PaintMenuItemFrame(c, r, info);
            theme->PaintSeparator(c, r, info, true, false);
            theme->PaintSeparator(c, r, info, false, true);
            for (unsigned kind = 0; kind < 5; ++kind) theme->PaintMDIButton(c, r, info, kind);
            for (uint32_t buttonState : {0u, 1u, 2u, 4u, 6u, 8u}) {
                TTxEditFrameInfo edit;
                edit.RightBtnWidth = buttonState & 1 ? 0 : 13;
                edit.RightBtnInfo = {buttonState % 3 == 0 ? EBT_DROPDOWN : EBT_SPIN, buttonState};
                theme->PaintEditFrame(c, r, info, edit);
                theme->PaintEditButton(c, r, info, edit.RightBtnInfo);
            }
            theme->ItemColor(info);
            theme->ItemTextColor(info);
            theme->ItemImageBackground(info);
            theme->ImageOffset(c, info, images);
        }
        for (uint32_t view : {VT_TOOLBAR, VT_TOOLBAR | VT_OPAQUE, VT_MENUBAR, VT_POPUPMENU, VT_LISTPOPUP,
                              VT_DOCKPANEL, VT_TOOLBAR | VT_FLOATING, VT_STATUSBAR, 0x1004u, VT_CHEVRONPOPUP}) {
            theme->PaintBackground(c, TRect{}, r, TRect{0, 0, 200, 200}, 0x00C0C0, false, view);
            theme->PaintBackground(c, r, r, r, gcl::clBtnFace, false, view);
            for (int dragStyle = 0; dragStyle < 3; ++dragStyle)
                for (uint32_t close : {0u, 1u, 3u, 5u}) {
                    TTxToolbarFrameInfo frame;
                    frame.ViewType = view;
                    frame.AllowDrag = dragStyle != 2 || close;
                    frame.IsVertical = close & 2;
                    frame.BorderStyle = 1;
                    frame.BorderSize = {2, 2};
                    frame.ClientWidth = r.Width();
                    frame.ClientHeight = r.Height();
                    frame.DragHandleStyle = dragStyle;
                    frame.CloseButtonState = close;
                    frame.Caption = "Panel";
                    frame.EffectiveColor = 0xD0D0D0;
                    theme->PaintToolbarFrame(c, r, frame);
                    TTxPanelCaptionInfo panel;
                    static_cast<TTxToolbarFrameInfo&>(panel) = frame;
                    theme->PaintPanelCaptionArea(c, r, panel);
                    TTxFloatingFrameInfo floating;
                    floating.ViewType = view | VT_FLOATING;
                    floating.ClientWidth = r.Width();
                    floating.ClientHeight = r.Height();
                    floating.ShowCaption = dragStyle != 1;
                    floating.BorderSize = {3, 3};
                    floating.CloseButtonState = close;
                    floating.RedrawPart = 7;
                    floating.Caption = "Floating";
                    floating.EffectiveColor = 0xD0D0D0;
                    floating.Active = close & 4;
                    theme->PaintFloatingFrame(c, r, floating);
                }
            TTxPopupFrameInfo popup;
            popup.ViewType = view;
            theme->PaintPopupFrame(c, r, popup);
            popup.ParentItemRect = TRect{r.Left + 1, r.Top - 10, r.Right + 5, r.Top + 1};
            theme->PaintPopupFrame(c, r, popup);
            popup.ParentItemRect = TRect{r.Left - 10, r.Top - 5, r.Left + 1, r.Bottom + 5};
            theme->PaintPopupFrame(c, r, popup);
            TPoint border;
            theme->ViewBorder(view, border);
            TTxMarginRect margins;
            theme->ViewMargins(view, margins);
            theme->ViewColor(view);
        }
        theme->PaintDockBackground(c, TRect{0, 0, 80, 40}, r, 0);
        for (int direction = 0; direction < 6; ++direction) {
            theme->PaintPageScrollButton(c, r, direction, false);
            theme->PaintPageScrollButton(c, r, direction, true);
        }
        for (int kind = 0; kind < 4; ++kind)
            for (int state = 0; state < 32; ++state) theme->PaintFrameControl(c, r, kind, state, 0);
        for (int part = 0; part < 5; ++part) theme->PaintStatusBarPart(c, r, part);
    }
    for (int id = 0; id < 5; ++id) {
        TTxMarginRect margins;
        theme->ThemeMargins(id, margins);
    }
    for (int index = 0; index < 100; ++index) {
        theme->IntegerMetric(index);
        theme->BooleanMetric(index);
    }
    theme->PopupShadowKind();
}

class ThemeSweep : public testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() { test::StartThemes(); }
};

TEST_P(ThemeSweep, EveryOperationStateAndDegenerateRectangle) {
    ASSERT_TRUE(TGdiObjectCounter::Installed());
    TFixedSysColors colors;
    TTxTheme* theme = AcquireTheme(GetParam());
    std::unique_ptr<gcl::TImageList> images(gcl::TImageList::CreateSize(16, 16));
    {
        auto bitmap = std::make_unique<gcl::TBitmap>();
        bitmap->SetPixelFormat(gcl::pf24bit);
        bitmap->SetSize(16, 16);
        bitmap->GetCanvas()->GetBrush()->SetColor(0x0080FF);
        bitmap->GetCanvas()->FillRect(TRect{2, 2, 14, 14});
        images->AddMasked(bitmap.get(), gcl::clWhite);
    }
    for (bool lowColor : {false, true}) {
        test::TThemingFlagsScope flags(lowColor, lowColor);
        theme->SetupColorCache();
        // The first pass fills the layer's shared caches; the second must balance.
        for (int pass = 0; pass < 2; ++pass) {
            TGdiObjectCounter counter;
            {
                PixelCanvas canvas(200, 200, 0xFF00FF);
                canvas.ClipTo(TRect{0, 0, 200, 200});
                const int depth = test::SaveDepth(canvas.DC());
                EXPECT_NO_THROW(PaintEverything(theme, canvas, images.get()));
                EXPECT_EQ(test::SaveDepth(canvas.DC()), depth);
            }
            if (pass == 1) {
                EXPECT_EQ(counter.Balance(), 0) << GetParam() << " low colour " << lowColor;
            }
        }
    }
    theme->SetupColorCache();
    images.release()->Free();
    ReleaseTheme(theme);
}

INSTANTIATE_TEST_SUITE_P(Themes, ThemeSweep, testing::ValuesIn(ThemeNames));

// ---- Pictures ------------------------------------------------------------------------------------

TTxItemInfo ItemIn(uint32_t view, bool enabled, uint8_t hover, bool pushed = false, bool selected = false) {
    TTxItemInfo info{};
    info.ViewType = view;
    info.Enabled = enabled;
    info.HoverKind = hover;
    info.Pushed = pushed;
    info.Selected = selected;
    info.ItemOptions = view & VT_TOOLBARGROUP ? IO_TOOLBARSTYLE : 0;
    return info;
}

// Runs paint with the DC's origin at rect's top-left and the item's own
// rectangle (0, 0, width, height): items are painted in their own
// coordinates, as the toolbar framework does.
template <class Paint>
void AtItem(PixelCanvas& canvas, const TRect& rect, Paint paint) {
    const int saved = SaveDC(canvas.DC());
    SetViewportOrgEx(canvas.DC(), rect.Left, rect.Top, nullptr);
    paint(TRect{0, 0, rect.Width(), rect.Height()});
    RestoreDC(canvas.DC(), saved);
    canvas.Canvas()->Refresh();
}

void PaintTestForm(TTxTheme* theme, PixelCanvas& canvas) {
    gcl::TCanvas* c = canvas.Canvas();
    c->GetFont()->SetName("Tahoma");
    c->GetFont()->SetHeight(-11);
    // The dock with a docked toolbar.
    theme->PaintDockBackground(c, TRect{0, 0, 320, 240}, TRect{0, 0, 320, 32}, 0);
    TTxToolbarFrameInfo frame;
    frame.ViewType = VT_TOOLBAR;
    frame.AllowDrag = true;
    frame.BorderStyle = 1;
    frame.BorderSize = {2, 2};
    frame.ClientWidth = 236;
    frame.ClientHeight = 22;
    frame.CloseButtonState = CDBS_VISIBLE;
    frame.EffectiveColor = theme->ViewColor(VT_TOOLBAR);
    c->GetBrush()->SetColor(frame.EffectiveColor);
    AtItem(canvas, TRect{2, 2, 242, 28}, [&](const TRect& r) { theme->PaintToolbarFrame(c, r, frame); });
    const TRect client{20, 4, 238, 26};
    theme->PaintBackground(c, TRect{0, 0, 320, 32}, client, client, frame.EffectiveColor, false, VT_TOOLBAR);
    const TTxItemInfo buttons[] = {ItemIn(VT_TOOLBAR, true, 0), ItemIn(VT_TOOLBAR, true, 2),
                                   ItemIn(VT_TOOLBAR, true, 2, true), ItemIn(VT_TOOLBAR, true, 0, false, true),
                                   ItemIn(VT_TOOLBAR, false, 0)};
    const char* captions[] = {"New", "Hot", "Down", "On", "Off"};
    int x = 22;
    for (int i = 0; i < 5; ++i) {
        AtItem(canvas, TRect{x, 5, x + 34, 25}, [&](const TRect& r) {
            theme->PaintButton(c, r, buttons[i]);
            c->GetFont()->SetColor(clNone);
            theme->PaintCaption(c, r, buttons[i], captions[i], DT_CENTER | DT_VCENTER | DT_SINGLELINE, false);
        });
        x += 36;
    }
    TTxItemInfo separator = ItemIn(VT_TOOLBAR, true, 0);
    AtItem(canvas, TRect{x, 5, x + 6, 25}, [&](const TRect& r) { theme->PaintSeparator(c, r, separator, false, false); });
    TTxItemInfo chevron = ItemIn(VT_TOOLBAR, true, 2);
    AtItem(canvas, TRect{x + 8, 5, x + 20, 25}, [&](const TRect& r) { theme->PaintChevron(c, r, chevron); });

    // A popup menu under the second button, opened from it.
    const TRect popup{58, 32, 208, 150};
    TTxPopupFrameInfo popupInfo;
    popupInfo.ParentItemRect = TRect{58 - popup.Left, 5 - popup.Top, 92 - popup.Left, 33 - popup.Top};
    AtItem(canvas, popup, [&](const TRect& local) {
        theme->PaintPopupFrame(c, local, popupInfo);
        const TRect inner{1, 1, local.Right - 1, local.Bottom - 1};
        theme->PaintBackground(c, TRect{}, inner, inner, theme->ViewColor(VT_POPUPMENU), false, VT_POPUPMENU);
    });
    const char* items[] = {"Open", "Checked", "Submenu", "", "Disabled"};
    for (int i = 0; i < 5; ++i) {
        TTxItemInfo info = ItemIn(VT_POPUPMENU, i != 4, i == 0 ? 2 : 0, false, i == 1);
        info.PopupMargin = 22;
        if (i == 2) info.ItemOptions |= IO_SUBMENUITEM;
        const TRect item{popup.Left + 2, popup.Top + 3 + i * 22, popup.Right - 2, popup.Top + 3 + i * 22 + 20};
        AtItem(canvas, item, [&](const TRect& r) {
            if (i == 3) {
                theme->PaintSeparator(c, r, info, true, false);
                return;
            }
            theme->PaintMenuItem(c, r, info);
            if (info.Selected) theme->PaintCheckMark(c, TRect{r.Left, r.Top, r.Left + 22, r.Bottom}, info);
            c->GetFont()->SetColor(clNone);
            theme->PaintCaption(c, TRect{r.Left + 28, r.Top, r.Right, r.Bottom}, info, items[i],
                                DT_LEFT | DT_VCENTER | DT_SINGLELINE, false);
        });
    }

    // A floating toolbar.
    TTxFloatingFrameInfo floating;
    floating.ViewType = VT_TOOLBAR | VT_FLOATING;
    floating.ClientWidth = 90;
    floating.ClientHeight = 30;
    floating.ShowCaption = true;
    floating.BorderSize = {3, 3};
    floating.CloseButtonState = CDBS_VISIBLE;
    floating.RedrawPart = 7;
    floating.Caption = "Floating";
    floating.EffectiveColor = theme->ViewColor(VT_TOOLBAR);
    floating.Active = true;
    const int captionHeight = GetSystemMetrics(SM_CYSMCAPTION);
    const TRect floatRect{220, 40, 220 + 96, 40 + 36 + captionHeight};
    c->GetBrush()->SetColor(floating.EffectiveColor);
    AtItem(canvas, floatRect, [&](const TRect& r) { theme->PaintFloatingFrame(c, r, floating); });
    const TRect floatClient{223, 43 + captionHeight, 313, 73 + captionHeight};
    theme->PaintBackground(c, TRect{}, floatClient, floatClient, floating.EffectiveColor, false,
                           VT_TOOLBAR | VT_FLOATING);
    AtItem(canvas, TRect{226, 45 + captionHeight, 250, 69 + captionHeight},
           [&](const TRect& r) { theme->PaintButton(c, r, ItemIn(VT_TOOLBAR, true, 2)); });

    // Check boxes and radio buttons (plain, checked, mixed, disabled), and a status bar.
    for (int i = 0; i < 4; ++i) {
        const int state = i == 0 ? 0 : i == 1 ? PFS_CHECKED : i == 2 ? PFS_MIXED : PFS_CHECKED | PFS_DISABLED;
        theme->PaintFrameControl(c, TRect{220 + i * 20, 140, 233 + i * 20, 153}, PFC_CHECKBOX, state, 0);
        theme->PaintFrameControl(c, TRect{220 + i * 20, 160, 233 + i * 20, 173}, PFC_RADIOBUTTON, state, 0);
    }
    theme->PaintStatusBarPart(c, TRect{0, 218, 320, 240}, 0);
    theme->PaintStatusBarPart(c, TRect{0, 218, 120, 240}, 1);
    theme->PaintStatusBarPart(c, TRect{300, 218, 320, 240}, 3);
}

TEST(ThemePictures, TestFormPaintedByEachTheme) {
    test::StartThemes();
    TFixedSysColors colors;
    for (const char* name : ThemeNames) {
        TTxTheme* theme = AcquireTheme(name);
        PixelCanvas canvas(320, 240, 0xE0E0E0);
        PaintTestForm(theme, canvas);
        EXPECT_TRUE(canvas.SaveBmp(std::string("theme-") + name + ".bmp"));
        // Something of each part was painted.
        EXPECT_GT(canvas.CountNot(TRect{2, 2, 242, 28}, 0xE0E0E0), 240 * 24) << name;
        EXPECT_GT(canvas.CountNot(TRect{60, 34, 206, 148}, 0xE0E0E0), 140 * 100);
        ReleaseTheme(theme);
    }
}

// Every registered theme (the built-in "Default" first) paints the test
// form into one picture, five to a row, each under its name.
TEST(ThemePictures, ContactSheetOfEveryRegisteredTheme) {
    test::StartThemes();
    TFixedSysColors colors;
    std::vector<std::string> names;
    for (const TTxThemeRecord& record : RegisteredThemes()) names.push_back(record.Name);
    ASSERT_EQ(names.front(), "Default");
    constexpr int Columns = 5, CellWidth = 324, CellHeight = 260;
    const int rows = (static_cast<int>(names.size()) + Columns - 1) / Columns;
    PixelCanvas sheet(Columns * CellWidth, rows * CellHeight, 0x404040);
    sheet.Canvas()->GetFont()->SetName("Tahoma");
    sheet.Canvas()->GetFont()->SetHeight(-11);
    sheet.Canvas()->GetFont()->SetColor(gcl::clWhite);
    sheet.Canvas()->GetBrush()->SetStyle(gcl::bsClear);
    for (size_t i = 0; i < names.size(); ++i) {
        TTxTheme* theme = AcquireTheme(names[i]);
        PixelCanvas form(320, 240, 0xE0E0E0);
        PaintTestForm(theme, form);
        ReleaseTheme(theme);
        const int x = static_cast<int>(i % Columns) * CellWidth + 2, y = static_cast<int>(i / Columns) * CellHeight;
        sheet.Canvas()->TextOut(x, y + 2, names[i]);
        BitBlt(sheet.DC(), x, y + 18, 320, 240, form.DC(), 0, 0, SRCCOPY);
        EXPECT_NE(sheet.Pixel(x + 100, y + 18 + 80), 0x404040u) << names[i];
    }
    EXPECT_TRUE(sheet.SaveBmp("theme-contact-sheet.bmp"));
}

// Choosing every theme in turn and going back to the first frees what each
// one made: its stock, its caches and the layer's objects it asked for.
TEST(ThemeSwitching, EveryThemeInTurnAndBackLeavesNoGdiObject) {
    ASSERT_TRUE(TGdiObjectCounter::Installed());
    test::StartThemes();
    TFixedSysColors colors;
    std::vector<std::string> names;
    for (const TTxThemeRecord& record : RegisteredThemes()) names.push_back(record.Name);
    names.push_back(names.front());
    // The first round fills the layer's shared caches; the second must balance.
    for (int pass = 0; pass < 2; ++pass) {
        TGdiObjectCounter counter;
        {
            PixelCanvas canvas(320, 240, 0xE0E0E0);
            TTxTheme* current = nullptr;
            for (const std::string& name : names) {
                TTxTheme* next = AcquireTheme(name);
                if (current) ReleaseTheme(current);
                current = next;
                PaintTestForm(current, canvas);
            }
            ReleaseTheme(current);
        }
        if (pass == 1) {
            EXPECT_EQ(counter.Balance(), 0);
        }
    }
}

} // namespace
