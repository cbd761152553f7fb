// The extended panels, labels, buttons, check boxes and speed buttons:
// background through clNone, faces by painting style, repainting on theme
// changes, the check box's cycle, groups, auto-repeat, links, keys and a
// test form in every painting style.
#include <gtest/gtest.h>

#include <vector>

#include "controls/XtControls.h"
#include "controls/XtTestSupport.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Streams.h"
#include "gcl/rtl/SysInfo.h"
#include "unicode/UniActnList.h"
#include "support/Screenshot.h"
#include "support/WindowTest.h"
#include "theming/TxcComboBox.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

class XtControls : public XtFormTest {};

struct TClicks : gcl::TObject {
    int Count = 0;
    void Click(gcl::TObject*) { ++Count; }
};

struct TRecordingShell : gcl::IShell {
    std::vector<std::pair<std::wstring, std::wstring>> Opened;
    bool Open(const std::string&, const std::string&) override {
        ADD_FAILURE() << "the 8-bit open may show messages";
        return false;
    }
    bool OpenSilently(const std::wstring& target, const std::wstring& params) override {
        Opened.emplace_back(target, params);
        return false;  // a failure is ignored
    }
};

// ---- Panels ----------------------------------------------------------------------------

TEST_F(XtControls, PanelShowsItsParentThroughClNone) {
    TVisualStylesScope classic(false);
    Form->SetColor(gcl::clRed);
    TXtPanel* panel = Make<TXtPanel>(Form, 10, 10, 120, 60);
    EXPECT_EQ(panel->GetColor(), clNone);
    TPaintTarget target(120, 60, gcl::clWhite);
    PaintControl(panel, target);
    EXPECT_EQ(target.Pixel(60, 30), gcl::clRed);
    EXPECT_TRUE(panel->GetBufferValid());
    // The etched edge rings the face.
    EXPECT_EQ(target.Pixel(0, 30), Sys(gcl::clBtnShadow));
    panel->SetColor(gcl::clBlue);
    panel->InvalidateBackground(false);
    PaintControl(panel, target);
    EXPECT_EQ(target.Pixel(60, 30), gcl::clBlue);
    // Without borders no edge shows.
    panel->SetBorders(false);
    PaintControl(panel, target);
    EXPECT_EQ(target.Pixel(0, 30), gcl::clBlue);
}

TEST_F(XtControls, PanelFaceFollowsThePaintingStyle) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    TXtPanel* panel = Make<TXtPanel>(Form, 10, 10, 120, 60);
    TPaintTarget target(120, 60);
    PaintControl(panel, target);
    EXPECT_EQ(theme->Count("PaintControlFrame"), 1);
    EXPECT_EQ(theme->Count("PaintButton"), 0);
    panel->SetTxStyleBackground(true);
    PaintControl(panel, target);
    ASSERT_NE(theme->Last("PaintButton"), nullptr);
    EXPECT_TRUE(theme->Last("PaintButton")->Item.Selected);
    // Without borders the face grows by 3 so its ring falls outside.
    panel->SetTxStyleBackground(false);
    panel->SetBorders(false);
    PaintControl(panel, target);
    EXPECT_EQ(theme->Last("PaintControlFrame")->Rect, (TRect{-3, -3, 123, 63}));
    // The two-stage event sees both stages and can keep the default away.
    struct TStages : gcl::TObject {
        std::vector<TXtPaintStage> Seen;
        void Draw(gcl::TObject*, TCanvas*, const TRect&, TXtPaintStage stage, bool& paintDefault) {
            Seen.push_back(stage);
            paintDefault = false;
        }
    } stages;
    panel->OnDrawBackground = TXtDrawEvent(&stages, &TStages::Draw);
    const int frames = theme->Count("PaintControlFrame");
    panel->InvalidateBackground(false);
    PaintControl(panel, target);
    EXPECT_EQ(stages.Seen, (std::vector<TXtPaintStage>{pstPrePaint, pstPostPaint}));
    EXPECT_EQ(theme->Count("PaintControlFrame"), frames);
}

TEST_F(XtControls, ThemeChangeRepaintsPanelsAndTheirChildren) {
    TXtPanel* panel = Make<TXtPanel>(Form, 10, 10, 200, 100);
    TXtPanel* inner = Make<TXtPanel>(panel, 10, 10, 100, 50);
    TPaintTarget target(200, 100);
    PaintControl(panel, target);
    PaintControl(inner, target);
    EXPECT_TRUE(panel->GetBufferValid() && inner->GetBufferValid());
    UseRecordingTheme();
    EXPECT_FALSE(panel->GetBufferValid());
    EXPECT_FALSE(inner->GetBufferValid());
    PaintControl(inner, target);
    panel->InvalidateBackground(true);  // the child hears it through its queue
    EXPECT_TRUE(inner->GetBufferValid());
    PumpMessages(200, [&] { return !inner->GetBufferValid(); });
    EXPECT_FALSE(inner->GetBufferValid());
}

TEST_F(XtControls, HotPanelFollowsTheMouseAndItsFocusedChild) {
    UseRecordingTheme();
    TXtPanel* panel = Make<TXtPanel>(Form, 10, 10, 200, 100);
    panel->SetHotTrack(true);
    gcl::TEdit* edit = Make<gcl::TEdit>(panel, 10, 10, 80, 21);
    panel->Perform(gcl::CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(panel));
    EXPECT_TRUE(panel->GetHot());
    panel->Perform(gcl::CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(edit));
    EXPECT_TRUE(panel->GetChildFocused());
    panel->Perform(gcl::CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(panel));
    EXPECT_TRUE(panel->GetHot());
    panel->Perform(gcl::CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(Form));
    EXPECT_FALSE(panel->GetHot());
}

// ---- Labels and links ----------------------------------------------------------------------

TEST_F(XtControls, LinkOpensThroughTheShellService) {
    TRecordingShell shell;
    gcl::ServiceOverride<gcl::IShell> use(gcl::Shell, shell);
    TXtLabel* label = Make<TXtLabel>(Form, 10, 10, 100, 20);
    label->SetCaption(L"< New List >");
    TClicks clicks;
    label->OnClick = gcl::TNotifyEvent(&clicks, &TClicks::Click);
    label->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    label->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(clicks.Count, 1);
    EXPECT_TRUE(shell.Opened.empty());  // no link text, nothing opened
    label->SetLinkText(L"http://example.invalid/\u03B1");
    label->SetLinkTextParams(L"-x");
    label->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    label->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(clicks.Count, 2);
    ASSERT_EQ(shell.Opened.size(), 1u);
    EXPECT_EQ(shell.Opened[0].first, L"http://example.invalid/\u03B1");
    EXPECT_EQ(shell.Opened[0].second, L"-x");
}

TEST_F(XtControls, LinkFontShowsWhileHot) {
    TXtLabel* label = Make<TXtLabel>(Form, 10, 10, 100, 20);
    label->SetCaption(L"Open");
    EXPECT_FALSE(label->GetLinkShown());  // no link text
    label->SetLinkText(L"x");
    EXPECT_FALSE(label->GetLinkShown());
    label->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));  // the press makes it hot
    EXPECT_TRUE(label->GetLinkShown());
    label->Perform(WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
    EXPECT_EQ(label->GetLinkFont()->GetColor(), gcl::clBlue);
    EXPECT_TRUE(label->GetLinkFont()->GetStyle().Contains(gcl::fsUnderline));
}

TEST_F(XtControls, LabelGlyphSpaceAndFocusControl) {
    gcl::TImageList* images = gcl::TImageList::Create(Form);
    images->SetSize(16, 16);
    gcl::TBitmap bitmap;
    bitmap.SetSize(16, 16);
    images->Add(&bitmap, nullptr);
    TXtLabel* label = Make<TXtLabel>(Form, 10, 10, 100, 20);
    label->SetCaption(L"Caption");
    TRect content, caption, glyph;
    label->CalcContentRect(content, caption, glyph);
    const int plain = content.Width();
    label->SetImages(images);
    label->SetImageIndex(5);  // past the count: no glyph, no space
    label->CalcContentRect(content, caption, glyph);
    EXPECT_EQ(content.Width(), plain);
    label->SetImageIndex(0);
    label->CalcContentRect(content, caption, glyph);
    EXPECT_EQ(content.Width(), plain + 16 + 4);
    EXPECT_EQ(label->GetWidth(), content.Width());  // auto-sized
    images->Free();
    EXPECT_EQ(label->GetImages(), nullptr);
    label->CalcContentRect(content, caption, glyph);
    label->SetUnderline(true);
    TRect underlined;
    label->CalcContentRect(underlined, caption, glyph);
    EXPECT_EQ(underlined.Height(), content.Height() + 1);

    gcl::TEdit* edit = Make<gcl::TEdit>(Form, 10, 40, 80, 21);
    label->SetFocusControl(edit);
    edit->Free();
    EXPECT_EQ(label->GetFocusControl(), nullptr);
}

TEST_F(XtControls, DisabledLabelIsEmbossedOnlyClassically) {
    TVisualStylesScope classic(false);
    Form->SetColor(gcl::clWhite);
    TXtLabel* label = Make<TXtLabel>(Form, 10, 10, 100, 30);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 100, 30);
    label->SetCaption(L"Disabled");
    label->GetFont()->SetSize(14);
    label->SetEnabled(false);
    label->SetThemeType(thtNone);
    TPaintTarget target(100, 30, gcl::clWhite);
    PaintControl(label, target);
    const TColor highlight = Sys(gcl::clBtnHighlight);
    const TColor shadow = Sys(gcl::clBtnShadow);
    EXPECT_GT(target.CountOf(TRect{0, 0, 100, 30}, shadow), 10);
    Form->SetColor(gcl::clBlack);
    PaintControl(label, target);
    EXPECT_GT(target.CountOf(TRect{0, 0, 100, 30}, highlight), 5);
    label->SetThemeType(thtTx);
    UseRecordingTheme();
    PaintControl(label, target);
    EXPECT_EQ(target.CountOf(TRect{0, 0, 100, 30}, highlight), 0);
}

TEST_F(XtControls, DrawnHintUsesTheBitmapHintWindow) {
    TXtLabel* label = Make<TXtLabel>(Form, 10, 10, 100, 20);
    label->SetHint(L"Hint text");
    gcl::THintInfo info;
    info.HintMaxWidth = 300;
    label->Perform(gcl::CM_HINTSHOW, 0, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.HintWindowClass, nullptr);  // no handler: the standard hint
    struct TOwnDraw : gcl::TObject {
        void Draw(gcl::TObject*, gcl::TBitmap*, std::wstring&, bool& paintDefault) { paintDefault = false; }
    } draw;
    label->OnDrawHint = TXtDrawHintEvent(&draw, &TOwnDraw::Draw);
    label->Perform(gcl::CM_HINTSHOW, 0, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.HintWindowClass, TBitmapHint::StaticClass());
    EXPECT_EQ(info.HintData, XtHintBitmap);
    EXPECT_EQ(info.HideTimeout, 60000);
    EXPECT_GT(XtHintBitmap->GetWidth(), 8);
}

// ---- Check boxes ------------------------------------------------------------------------------

TEST_F(XtControls, CheckBoxCycleAndClicks) {
    TXtCheckBox* box = Make<TXtCheckBox>(Form, 10, 10, 100, 20);
    TClicks clicks;
    box->OnClick = gcl::TNotifyEvent(&clicks, &TClicks::Click);
    EXPECT_EQ(box->GetGroupIndex(), -1);
    box->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    box->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(box->GetState(), gcl::cbChecked);
    EXPECT_EQ(clicks.Count, 1);
    box->SetAllowGrayed(true);
    box->SetState(gcl::cbUnchecked);  // in code: one OnClick, no toggle
    EXPECT_EQ(box->GetState(), gcl::cbUnchecked);
    EXPECT_EQ(clicks.Count, 2);
    const gcl::TCheckBoxState cycle[] = {gcl::cbGrayed, gcl::cbChecked, gcl::cbUnchecked};
    for (gcl::TCheckBoxState expected : cycle) {
        box->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        box->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        EXPECT_EQ(box->GetState(), expected);
    }
    EXPECT_EQ(clicks.Count, 5);
    box->SetChecked(true);
    EXPECT_EQ(box->GetState(), gcl::cbChecked);
    EXPECT_TRUE(box->GetChecked());
    EXPECT_EQ(clicks.Count, 6);
    box->SetChecked(true);
    EXPECT_EQ(clicks.Count, 6);
}

TEST_F(XtControls, CheckBoxGlyphFollowsItsState) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    TXtCheckBox* box = Make<TXtCheckBox>(Form, 10, 10, 100, 20);
    box->SetCaption(L"Check");
    box->SetThemeType(thtTx);
    box->SetState(gcl::cbGrayed);
    TPaintTarget target(100, 20);
    PaintControl(box, target);
    ASSERT_NE(theme->Last("PaintFrameControl"), nullptr);
    EXPECT_EQ(theme->Last("PaintFrameControl")->Arg2 & PFS_MIXED, PFS_MIXED);
    EXPECT_EQ(XtCheckGlyphs->GetCount(), 1);
    // The glyph stands left of the caption.
    EXPECT_EQ(box->GetLastGlyphRect().Left, 0);
    EXPECT_EQ(box->GetLastCaptionRect().Left, 13 + 4);
}

// ---- Groups -------------------------------------------------------------------------------------

TEST_F(XtControls, GroupsAreExclusiveByExactClass) {
    TXtButton* a = Make<TXtButton>(Form, 10, 10, 75, 25);
    TXtButton* b = Make<TXtButton>(Form, 90, 10, 75, 25);
    TXtSpeedButton* speed = Make<TXtSpeedButton>(Form, 170, 10, 23, 22);
    TXtCheckBox* box1 = Make<TXtCheckBox>(Form, 10, 50, 80, 20);
    TXtCheckBox* box2 = Make<TXtCheckBox>(Form, 10, 80, 80, 20);
    speed->SetGroupIndex(0);
    speed->SetChecked(true);
    a->SetChecked(true);
    EXPECT_TRUE(a->GetChecked());
    b->SetChecked(true);
    EXPECT_FALSE(a->GetChecked());
    EXPECT_TRUE(b->GetChecked());
    EXPECT_TRUE(speed->GetChecked());  // another class: another group
    box1->SetChecked(true);
    box2->SetChecked(true);
    EXPECT_TRUE(box1->GetChecked());  // -1 never joins a group
    // Joining a group announces a checked control.
    b->SetGroupIndex(3);
    a->SetChecked(true);
    EXPECT_TRUE(b->GetChecked());
    a->SetGroupIndex(3);
    EXPECT_FALSE(b->GetChecked());
}

TEST_F(XtControls, SpeedButtonFlipsInItsGroupAndNeverTakesFocus) {
    TXtSpeedButton* speed = Make<TXtSpeedButton>(Form, 10, 10, 23, 22);
    EXPECT_EQ(speed->GetWidth(), 23);
    EXPECT_EQ(speed->GetHeight(), 22);
    EXPECT_FALSE(speed->CanFocus());
    speed->SetGroupIndex(2);
    speed->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    speed->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(speed->GetChecked());
    speed->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    speed->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_FALSE(speed->GetChecked());
}

// ---- Buttons -------------------------------------------------------------------------------------

TEST_F(XtControls, RepeatingButtonClicksAtPressThenEvery100ms) {
    TXtButton* button = Make<TXtButton>(Form, 10, 10, 75, 25);
    button->SetRepeating(true);
    TClicks clicks;
    button->OnClick = gcl::TNotifyEvent(&clicks, &TClicks::Click);
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks.Count, 1);
    gcl::TTimer* timer = button->GetRepeatTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->GetInterval(), 400u);
    EXPECT_TRUE(timer->GetEnabled());
    timer->OnTimer(timer);
    EXPECT_EQ(timer->GetInterval(), 100u);
    EXPECT_EQ(clicks.Count, 2);
    timer->OnTimer(timer);
    EXPECT_EQ(clicks.Count, 3);
    button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(button->GetRepeatTimer(), nullptr);
    EXPECT_EQ(clicks.Count, 3);  // the release adds no click
    // Cancel mode stops it too.
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    button->Perform(WM_CANCELMODE);
    EXPECT_EQ(button->GetRepeatTimer(), nullptr);
}

TEST_F(XtControls, ButtonKeysAndModalResult) {
    Form->Show();
    TXtButton* ok = Make<TXtButton>(Form, 10, 10, 75, 25);
    TXtButton* cancel = Make<TXtButton>(Form, 90, 10, 75, 25);
    ok->SetDefault(true);
    ok->SetModalResult(gcl::mrOk);
    cancel->SetCancel(true);
    cancel->SetModalResult(gcl::mrCancel);
    cancel->Perform(gcl::CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(Form));
    ok->Perform(gcl::CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(Form));
    EXPECT_TRUE(ok->GetActive());
    EXPECT_EQ(ok->Perform(gcl::CM_DIALOGKEY, VK_RETURN, 0), 1);
    EXPECT_EQ(Form->GetModalResult(), gcl::mrOk);
    EXPECT_EQ(cancel->Perform(gcl::CM_DIALOGKEY, VK_RETURN, 0), 0);
    EXPECT_EQ(cancel->Perform(gcl::CM_DIALOGKEY, VK_ESCAPE, 0), 1);
    EXPECT_EQ(Form->GetModalResult(), gcl::mrCancel);
    // Focus on another button takes the default look away.
    ok->Perform(gcl::CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(cancel));
    EXPECT_FALSE(ok->GetActive());
    // The accelerator focuses and clicks.
    TClicks clicks;
    cancel->SetCaption(L"&Close");
    cancel->OnClick = gcl::TNotifyEvent(&clicks, &TClicks::Click);
    EXPECT_EQ(cancel->Perform(gcl::CM_DIALOGCHAR, 'c', 0), 1);
    EXPECT_EQ(clicks.Count, 1);
    EXPECT_EQ(cancel->Perform(gcl::CM_DIALOGCHAR, 'x', 0), 0);
    Form->SetModalResult(gcl::mrNone);
}

TEST_F(XtControls, SpaceClicksButtonsAndCheckBoxes) {
    TXtButton* button = Make<TXtButton>(Form, 10, 10, 75, 25);
    TXtCheckBox* box = Make<TXtCheckBox>(Form, 10, 50, 100, 20);
    TClicks clicks;
    button->OnClick = gcl::TNotifyEvent(&clicks, &TClicks::Click);
    button->Perform(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(clicks.Count, 0);
    button->Perform(WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(clicks.Count, 1);
    box->Perform(WM_KEYDOWN, VK_SPACE, 0);
    box->Perform(WM_KEYUP, VK_SPACE, 0);
    EXPECT_TRUE(box->GetChecked());
}

TEST_F(XtControls, BitmapSkinNeedsFourEqualRows) {
    TXtButton* button = Make<TXtButton>(Form, 10, 10, 40, 20);
    button->SetThemeType(thtNone);
    gcl::TBitmap skin;
    skin.SetPixelFormat(gcl::pf32bit);
    skin.SetSize(10, 8);
    skin.GetCanvas()->GetBrush()->SetColor(gcl::clLime);
    skin.GetCanvas()->FillRect(TRect{0, 0, 10, 8});
    button->SetBitmapTransparent(false);
    button->SetBitmap(&skin);
    TPaintTarget target(40, 20, gcl::clWhite);
    PaintControl(button, target);
    EXPECT_EQ(target.Pixel(20, 2), gcl::clLime);
    skin.SetSize(10, 9);
    button->SetBitmap(&skin);
    PaintControl(button, target);
    EXPECT_NE(target.Pixel(20, 2), gcl::clLime);
}

TEST_F(XtControls, DropMarkShowsWithAMenu) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    theme->IntegerMetrics[20] = 12;
    TXtButton* button = Make<TXtButton>(Form, 10, 10, 90, 25);
    button->SetCaption(L"Menu");
    TPaintTarget target(90, 25);
    PaintControl(button, target);
    EXPECT_EQ(theme->Count("PaintDropDownArrow"), 0);
    gcl::TPopupMenu* menu = gcl::TPopupMenu::Create(Form);
    button->SetDropDownMenu(menu);
    PaintControl(button, target);
    ASSERT_NE(theme->Last("PaintDropDownArrow"), nullptr);
    EXPECT_EQ(theme->Last("PaintDropDownArrow")->Rect, (TRect{90 - 12 - 1, 0, 89, 25}));
    menu->Free();
    EXPECT_EQ(button->GetDropDownMenu(), nullptr);
}

TEST_F(XtControls, DropMarkPixelsUnderTheDefaultTheme) {
    TVisualStylesScope classic(false);
    TXtButton* button = Make<TXtButton>(Form, 10, 10, 90, 25);
    gcl::TPopupMenu* menu = gcl::TPopupMenu::Create(Form);
    button->SetDropDownMenu(menu);
    TPaintTarget target(90, 25, gcl::clWhite);
    PaintControl(button, target);
    const int metric = std::max(CurrentTheme->IntegerMetric(20), 10);
    EXPECT_GT(target.CountOf(TRect{90 - metric - 1, 5, 89, 20}, Sys(gcl::clBtnText)), 2);
}

TEST_F(XtControls, HotThemeButtonIsTheIdleFaceTintedLighter) {
    SelectTheme("Tristan");
    TPaintTarget idle(60, 24, gcl::clWhite);
    DrawThemedButton(idle.Canvas(), TRect{0, 0, 60, 24}, true, false, false, false, false, false, thtTx);
    TPaintTarget hot(60, 24, gcl::clWhite);
    DrawThemedButton(hot.Canvas(), TRect{0, 0, 60, 24}, true, false, true, false, false, false, thtTx);
    int lighter = 0, darker = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 60; ++x) {
            const int a = ColorIntensity(idle.Pixel(x, y)), b = ColorIntensity(hot.Pixel(x, y));
            if (b > a) ++lighter;
            if (b < a - 2) ++darker;  // the blend truncates: near-white may lose a level
        }
    EXPECT_GT(lighter, 300);
    EXPECT_EQ(darker, 0);
}

TEST_F(XtControls, DrainingClicksEndsAndKeepsOthersInOrder) {
    HiddenTestWindow window;
    const HWND wnd = static_cast<HWND>(window.Handle());
    PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    PostQuitMessage(7);
    PostMessageA(wnd, WM_RBUTTONUP, 0, MAKELPARAM(2, 2));
    DrainButtonClicks(nullptr);
    std::vector<UINT> seen;
    MSG msg;
    int exitCode = -1;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) exitCode = static_cast<int>(msg.wParam);
        if (msg.message == WM_QUIT || msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONUP)
            seen.push_back(msg.message);
    }
    EXPECT_EQ(seen, (std::vector<UINT>{WM_LBUTTONDOWN, WM_RBUTTONUP, WM_QUIT}));
    EXPECT_EQ(exitCode, 7);
}

// ---- A test form in every painting style ------------------------------------------------

struct TTestForm {
    TXtPanel* Panel;
    std::vector<gcl::TControl*> Themed;
};

TTestForm BuildTestForm(gcl::TForm* form, TXtThemeType style) {
    form->SetColor(gcl::clBtnFace);
    TXtPanel* panel = TXtPanel::Create(form);
    panel->SetParent(form);
    panel->SetBounds(8, 8, 380, 190);
    panel->SetThemeType(style);
    panel->SetCaption(L"Panel");
    TXtLabel* label = TXtLabel::Create(form);
    label->SetParent(panel);
    label->SetBounds(12, 12, 200, 20);
    label->SetCaption(L"Due &date:");
    label->SetCaptionGlow(gldBottomRight);
    label->SetCaptionGlowColor(gcl::clWhite);
    TXtButton* button = TXtButton::Create(form);
    button->SetParent(panel);
    button->SetBounds(12, 40, 90, 25);
    button->SetCaption(L"OK");
    button->SetDefault(true);
    button->SetThemeType(style);
    TXtButton* menuButton = TXtButton::Create(form);
    menuButton->SetParent(panel);
    menuButton->SetBounds(110, 40, 100, 25);
    menuButton->SetCaption(L"More");
    menuButton->SetThemeType(style);
    menuButton->SetDropDownMenu(gcl::TPopupMenu::Create(form));
    TXtCheckBox* check = TXtCheckBox::Create(form);
    check->SetParent(panel);
    check->SetBounds(12, 76, 160, 20);
    check->SetCaption(L"Show done tasks");
    check->SetThemeType(style);
    check->SetChecked(true);
    TXtSpeedButton* speed = TXtSpeedButton::Create(form);
    speed->SetParent(panel);
    speed->SetBounds(220, 40, 23, 25);
    speed->SetCaption(L"B");
    speed->SetThemeType(style);
    speed->SetGroupIndex(1);
    speed->SetChecked(true);
    TXtLabel* link = TXtLabel::Create(form);
    link->SetParent(panel);
    link->SetBounds(12, 104, 200, 20);
    link->SetCaption(L"< New List >");
    link->SetLinkText(L"< New List >");
    link->SetUnderline(true);
    TXtButton* disabled = TXtButton::Create(form);
    disabled->SetParent(panel);
    disabled->SetBounds(250, 40, 90, 25);
    disabled->SetCaption(L"Disabled");
    disabled->SetThemeType(style);
    disabled->SetEnabled(false);
    TXtCheckBox* grayed = TXtCheckBox::Create(form);
    grayed->SetParent(panel);
    grayed->SetBounds(190, 76, 160, 20);
    grayed->SetCaption(L"Grayed, disabled");
    grayed->SetThemeType(style);
    grayed->SetAllowGrayed(true);
    grayed->SetState(gcl::cbGrayed);
    grayed->SetEnabled(false);
    TTxcComboBox* combo = TTxcComboBox::Create(form);
    combo->SetParent(panel);
    combo->SetBounds(12, 132, 160, 21);
    combo->GetItems()->Add("dd/MM/yyyy");
    combo->SetItemIndex(0);
    combo->SetThemed(style == thtTx);
    return TTestForm{panel, {label, button, menuButton, check, speed, link}};
}

TEST_F(XtControls, TestFormInEveryPaintingStyle) {
    struct TCase {
        const char* File;
        const char* Theme;
        bool Styles;
        TXtThemeType Style;
    };
    const TCase cases[] = {{"xt_classic.bmp", "Default", false, thtNone},
                           {"xt_visual_styles.bmp", "Default", true, thtWindows},
                           {"xt_default_theme.bmp", "Default", true, thtTx},
                           {"xt_tristan_theme.bmp", "Tristan", true, thtTx}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        TVisualStylesScope styles(c.Styles);
        SelectTheme(c.Theme);
        gcl::TForm* form = gcl::TForm::Create(nullptr, 0);
        form->SetBounds(60, 60, 410, 240);
        form->SetCaption(c.File);
        TTestForm built = BuildTestForm(form, c.Style);
        form->Show();
        PumpMessages(300);
        EXPECT_TRUE(built.Panel->GetBufferValid());
        EXPECT_GT(SaveWindowScreenshot(form->GetHandle(), c.File), 20);
        form->Free();
    }
    SelectTheme("Default");
}

} // namespace

namespace {

// ---- Wide text, actions and streaming -------------------------------------------------------

TEST_F(XtControls, WideCaptionLivesInTheWindowAndStreams) {
    TXtLabel* label = Make<TXtLabel>(Form, 10, 10, 100, 20);
    label->SetCaption(L"\u03B1\u03C9 list");
    label->SetLinkText(L"http://example.invalid/\u03C9");
    label->SetCaptionGlow(gldAll);
    label->HandleNeeded();
    EXPECT_EQ(label->GetCaption(), L"\u03B1\u03C9 list");
    wchar_t text[32] = {};
    GetWindowTextW(label->GetHandle(), text, 32);
    EXPECT_EQ(std::wstring(text), L"\u03B1\u03C9 list");
    gcl::TMemoryStream stream;
    gcl::WriteComponentToStream(stream, label);
    stream.SetPosition(0);
    TXtLabel* copy = Make<TXtLabel>(Form, 10, 40, 100, 20);
    gcl::ReadComponentFromStream(stream, copy);
    EXPECT_EQ(copy->GetCaption(), L"\u03B1\u03C9 list");
    EXPECT_EQ(copy->GetLinkText(), L"http://example.invalid/\u03C9");
    EXPECT_EQ(copy->GetCaptionGlow(), gldAll);
}

TEST_F(XtControls, ActionGivesWideCaptionCheckAndImage) {
    TUniAction* action = TUniAction::Create(Form);
    action->SetCaption(std::wstring(L"\u03A9 Save"));
    action->SetChecked(true);
    action->SetImageIndex(3);
    TXtButton* button = Make<TXtButton>(Form, 10, 10, 75, 25);
    button->SetAction(action);
    EXPECT_EQ(button->GetCaption(), L"\u03A9 Save");
    EXPECT_TRUE(button->GetChecked());
    EXPECT_EQ(button->GetImageIndex(), 3);
    action->SetCaption(std::wstring(L"\u03A9 Close"));
    EXPECT_EQ(button->GetCaption(), L"\u03A9 Close");
    action->SetChecked(false);
    EXPECT_FALSE(button->GetChecked());
}

// ---- Painters on rows and edit borders -----------------------------------------------------

TEST_F(XtControls, ListRowsAndEditBordersByStyle) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    TPaintTarget target(100, 20, gcl::clWhite);
    DrawListItemBackground(target.Canvas(), TRect{0, 0, 100, 20}, true, thtTx, false, false);
    EXPECT_EQ(theme->Count("PaintButton"), 1);
    EXPECT_EQ(theme->Count("ItemTextColor"), 1);
    DrawListItemBackground(target.Canvas(), TRect{0, 0, 100, 20}, false, thtTx, false, false);
    EXPECT_EQ(theme->Count("PaintButton"), 1);  // an unselected row is only filled
    gcl::TEdit* edit = Make<gcl::TEdit>(Form, 10, 10, 100, 21);
    edit->HandleNeeded();
    PaintEditNonClient(edit, true, thtTx);
    ASSERT_NE(theme->Last("PaintEditFrame"), nullptr);
    EXPECT_EQ(theme->Last("PaintEditFrame")->Rect.Width(), edit->GetWidth());
    EXPECT_EQ(theme->Last("PaintEditFrame")->Item.HoverKind, 2);
    // Classic rows: the highlight colour.
    SelectTheme("Default");
    TVisualStylesScope classic(false);
    target.Canvas()->GetBrush()->SetColor(gcl::clWindow);
    DrawListItemBackground(target.Canvas(), TRect{0, 0, 100, 20}, true, thtTx, false, false);
    EXPECT_EQ(target.Pixel(50, 10), Sys(gcl::clHighlight));
}

TEST_F(XtControls, VisualStylesPanelStaysCold) {
    TVisualStylesScope styles(true);
    if (!VisualStylesUsable()) GTEST_SKIP() << "no visual styles here";
    TXtPanel* panel = Make<TXtPanel>(Form, 10, 10, 200, 100);
    panel->SetThemeType(thtWindows);
    panel->SetHotTrack(true);
    panel->Perform(gcl::CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(panel));
    EXPECT_FALSE(panel->GetHot());
    panel->SetThemeType(thtNone);
    panel->Perform(gcl::CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(panel));
    EXPECT_TRUE(panel->GetHot());
}

} // namespace
