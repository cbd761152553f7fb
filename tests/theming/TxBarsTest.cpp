// The themed toolbar side: what each viewer, popup, toolbar, dock and panel
// asks the theme for, popup window classes with drop shadows, snapping,
// the multi-dock's sharing of its length, the border and splitter loops
// driven by mouse messages, theme switches, and the themed edit, spin-edit
// and label items.
#include <gtest/gtest.h>

#include <cstring>

#include "gcl/Forms.h"
#include "gcl/ExtCtrls.h"
#include "gcl/ImgList.h"
#include "gcl/rtl/SysInfo.h"
#include "gcl/rtl/Init.h"
#include "theming/TxBars.h"
#include "theming/TxDockPanels.h"
#include "theming/TxExtItems.h"
#include "theming/TxItems.h"
#include "theming/TxRecordingTheme.h"
#include "theming/TxTestSupport.h"
#include "toolbar/BarAcc.h"
#include "toolbar/BarAnim.h"
#include "toolbar/BarHook.h"
#include "support/WindowTest.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

class TxBars : public TThemedFormTest {
protected:
    static void SetUpTestSuite() {
        StartThemingLayer();
        gcl::InitializeUnits(
            {&gcl::OleUnit, &BarHookUnit, &BarItemUnit, &BarAnimUnit, &BarAccUnit, &TxBarsUnit});
        gcl::CommonControlsUnit.Initialize();
    }
    void SetUp() override {
        TThemedFormTest::SetUp();
        Form->SetBounds(30, 30, 480, 360);
        Form->SetClientWidth(460);
        Form->SetClientHeight(300);
    }
    void TearDown() override {
        PumpMessages(20);
        TThemedFormTest::TearDown();
    }
    template <class T>
    T* Make(gcl::TWinControl* parent) {
        T* control = T::Create(Form);
        control->SetParent(parent);
        return control;
    }
    TTxMultiDock* MakeMultiDock(TBarDockPosition position) {
        auto* dock = TTxMultiDock::Create(Form);
        dock->SetPosition(position);
        dock->SetParent(Form);
        return dock;
    }
    TTxDockablePanel* MakePanel(TBarDock* dock, const char* caption, int split) {
        auto* panel = TTxDockablePanel::Create(Form);
        panel->SetName(std::string("Panel") + caption);
        gcl::TControlSeam::SetText(panel, caption);
        panel->SetSplitHeight(split);
        panel->SetSplitWidth(split);
        panel->SetParent(dock);
        return panel;
    }
    void Paint(gcl::TWinControl* control) {
        RedrawWindow(control->GetHandle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
};

// Posts a mouse message to Wnd at a screen point (client coordinates in
// LParam, as the system posts them to the capturing window).
void PostMouse(HWND wnd, UINT msg, int screenX, int screenY) {
    POINT p{screenX, screenY};
    ScreenToClient(wnd, &p);
    PostMessageA(wnd, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(p.x, p.y));
}

POINT WindowOrigin(gcl::TWinControl* control) {
    RECT r{};
    GetWindowRect(control->GetHandle(), &r);
    return POINT{r.left, r.top};
}

struct TChangeLog : gcl::TObject {
    std::vector<std::string> Changes;
    std::vector<double> Values;
    void Change(gcl::TObject*, const std::string& text) { Changes.push_back(text); }
    void Value(TTxCustomSpinEditItem*, double v) { Values.push_back(v); }
};

// ---- Window-free rules -------------------------------------------------------------------

TEST(TxBarsRules, SplitSizesShareTheLengthByRunningRoundedShares) {
    std::vector<TTxSplitEntry> two{{100, 0, 1000}, {100, 0, 1000}};
    DistributeSplitSizes(two, 300);
    EXPECT_EQ(two[0].Size, 150);
    EXPECT_EQ(two[1].Size, 150);

    std::vector<TTxSplitEntry> three{{100, 0, 1000}, {100, 0, 1000}, {100, 0, 1000}};
    DistributeSplitSizes(three, 400);
    EXPECT_EQ(three[0].Size, 133);
    EXPECT_EQ(three[1].Size, 134);
    EXPECT_EQ(three[2].Size, 133);

    // A limit takes an entry out; the rest still adds up exactly.
    std::vector<TTxSplitEntry> limited{{100, 0, 110}, {100, 0, 1000}, {100, 0, 1000}};
    DistributeSplitSizes(limited, 400);
    EXPECT_EQ(limited[0].Size, 110);
    EXPECT_EQ(limited[1].Size + limited[2].Size, 290);

    // Minimums above the length: every entry at its minimum.
    std::vector<TTxSplitEntry> cramped{{100, 80, 1000}, {100, 90, 1000}};
    DistributeSplitSizes(cramped, 100);
    EXPECT_EQ(cramped[0].Size, 80);
    EXPECT_EQ(cramped[1].Size, 90);
}

TEST(TxBarsRules, SplitterDragIsAbsorbedNearestFirstAndGivenBack) {
    std::vector<TTxSplitEntry> e{{150, 40, 1000}, {150, 40, 1000}};
    DragSplitter(e, {150, 150}, 0, 30);
    EXPECT_EQ(e[0].Size, 180);
    EXPECT_EQ(e[1].Size, 120);
    // The panel after the splitter cannot go below its minimum: the rest
    // is taken back from the one before.
    DragSplitter(e, {150, 150}, 0, 500);
    EXPECT_EQ(e[0].Size, 260);
    EXPECT_EQ(e[1].Size, 40);
    // Three panels: the nearest before the splitter takes what it can first.
    std::vector<TTxSplitEntry> t{{100, 40, 1000}, {100, 40, 1000}, {100, 40, 1000}};
    DragSplitter(t, {100, 100, 100}, 1, -90);
    EXPECT_EQ(t[0].Size, 70);
    EXPECT_EQ(t[1].Size, 40);
    EXPECT_EQ(t[2].Size, 190);
}

TEST(TxBarsRules, FloatingWindowSnapsToTheWorkAreaLeftAndTopWin) {
    const TRect work{0, 0, 800, 600};
    int x = 795 - 100, y = 50;
    SnapToWorkArea(x, y, 100, 80, work, 12);
    EXPECT_EQ(x, 700);
    EXPECT_EQ(y, 50);
    x = 11;
    y = 600 - 80 - 5;
    SnapToWorkArea(x, y, 100, 80, work, 12);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 520);
    x = 12;   // not within 12
    SnapToWorkArea(x, y, 100, 80, work, 12);
    EXPECT_EQ(x, 12);
    // A window as wide as the area near both edges goes to the left one.
    x = 5;
    SnapToWorkArea(x, y, 800, 80, work, 12);
    EXPECT_EQ(x, 0);
    // No snapping without a distance.
    x = 3;
    SnapToWorkArea(x, y, 100, 80, work, 0);
    EXPECT_EQ(x, 3);
}

// ---- Items and viewers --------------------------------------------------------------------------

TEST_F(TxBars, ItemPropertiesKeepTheirRules) {
    auto* separator = TTxSeparatorItem::Create(Form);
    separator->SetSize(-5);
    EXPECT_EQ(separator->GetSize(), -1);
    auto* sub = TTxSubmenuItem::Create(Form);
    EXPECT_TRUE(sub->HasStyle(tbisSubmenu));
    EXPECT_TRUE(sub->HasStyle(tbisSubitemsEditable));
    sub->SetDropdownCombo(true);
    EXPECT_TRUE(sub->HasStyle(tbisCombo));
    auto* item = TTxItem::Create(Form);
    item->SetStretch(true);
    EXPECT_TRUE(item->HasStyle(tbisStretch));
    auto* label = TTxLabelItem::Create(Form);
    EXPECT_FALSE(label->HasStyle(tbisSelectable));
    EXPECT_TRUE(label->HasStyle(tbisClicksTransparent));
    EXPECT_TRUE(label->HasStyle(tbisStretch));
}

TEST_F(TxBars, ToolbarViewersAskTheThemeWithTheirRecords) {
    auto* dock = Make<TTxDock>(Form);
    auto* bar = Make<TTxToolbar>(dock);
    auto* button = TTxItem::Create(Form);
    button->SetCaption("Go");
    auto* combo = TTxSubmenuItem::Create(Form);
    combo->SetCaption("Combo");
    combo->SetDropdownCombo(true);
    combo->Add(TTxItem::Create(Form));
    auto* narrow = TTxItem::Create(Form);
    narrow->SetCaption("W");
    narrow->SetMinWidth(90);
    bar->GetItems()->Add(button);
    bar->GetItems()->Add(combo);
    bar->GetItems()->Add(narrow);
    Form->Show();
    TTxRecordingTheme* theme = UseRecordingTheme();
    theme->IntegerMetrics[10] = 11;
    theme->IntegerMetrics[20] = 8;
    theme->Calls.clear();
    Paint(bar);

    const TTxThemeCall* frame = theme->Last("PaintToolbarFrame");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Arg1, 0x1001 | 0x400);   // docked toolbar, resizable
    int buttons = 0;
    for (const TTxThemeCall& c : theme->Calls) {
        if (c.Operation != "PaintButton") continue;
        ++buttons;
        EXPECT_EQ(c.Item.ViewType, 0x1401u);
        EXPECT_TRUE(c.Item.ItemOptions & IO_TOOLBARSTYLE);
        EXPECT_TRUE(c.Item.Enabled);
    }
    EXPECT_EQ(buttons, 4);   // one each, two for the combo's parts
    TBarItemViewer* narrowViewer = bar->GetView()->Find(narrow);
    EXPECT_EQ(narrowViewer->BoundsRect.Width(), 90);   // MinWidth wins

    // The combo pushed on its arrow: the arrow part is pushed, the button is not.
    auto* comboViewer = static_cast<TTxItemViewer*>(bar->GetView()->Find(combo));
    theme->Calls.clear();
    gcl::TBitmap bitmap;
    bitmap.SetSize(80, 24);
    comboViewer->Paint(bitmap.GetCanvas(), TRect{0, 0, 80, 24}, true, true, false);
    std::vector<const TTxThemeCall*> parts;
    for (const TTxThemeCall& c : theme->Calls)
        if (c.Operation == "PaintButton") parts.push_back(&c);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_FALSE(parts[0]->Item.Pushed);
    EXPECT_EQ(parts[0]->Item.IsPopupParent, 2);
    EXPECT_TRUE(parts[1]->Item.Pushed);
    EXPECT_EQ(parts[1]->Item.IsPopupParent, 3);
    EXPECT_EQ(parts[1]->Rect.Width(), 11);
    EXPECT_EQ(parts[0]->Item.HoverKind, 2);
}

TEST_F(TxBars, MenuRowsAndSeparatorsInAPopup) {
    auto* root = TTxSubmenuItem::Create(Form);
    auto* open = TTxItem::Create(Form);
    open->SetCaption("&Open");
    open->SetShortCut(gcl::ShortCut('O', gcl::TShiftState{gcl::ssCtrl}));
    auto* checked = TTxItem::Create(Form);
    checked->SetCaption("Radio");
    checked->SetRadioItem(true);
    checked->SetChecked(true);
    root->Add(open);
    root->Add(TTxSeparatorItem::Create(Form));
    root->Add(checked);
    TTxRecordingTheme* theme = UseRecordingTheme();
    theme->Calls.clear();
    TBarPopupWindow* popup = root->CreatePopup(nullptr, nullptr, false, false, false, gcl::TPoint{100, 100}, tbpaLeft);
    Paint(popup);
    EXPECT_TRUE(gcl::is<TTxPopupWindow>(popup));
    EXPECT_TRUE(gcl::is<TTxPopupView>(popup->GetView()));
    const TTxThemeCall* frame = theme->Last("PaintPopupFrame");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Arg1, 0x2001);
    EXPECT_EQ(theme->Count("PaintMenuItem"), 2);
    const TTxThemeCall* row = theme->Last("PaintMenuItem");
    EXPECT_EQ(row->Item.ViewType, 0x2001u);
    EXPECT_FALSE(row->Item.ItemOptions & IO_TOOLBARSTYLE);
    const TTxThemeCall* mark = theme->Last("PaintCheckMark");
    ASSERT_NE(mark, nullptr);
    EXPECT_TRUE(mark->Item.ItemOptions & IO_RADIO);
    const TTxThemeCall* separator = theme->Last("PaintSeparator");
    ASSERT_NE(separator, nullptr);
    EXPECT_EQ(separator->Arg1, 1);   // across the popup
    // The shortcut is painted right-aligned after the caption.
    bool shortcut = false;
    for (const TTxThemeCall& c : theme->Calls)
        if (c.Operation == "PaintCaption" && c.Text == "Ctrl+O") shortcut = (c.Arg1 & DT_RIGHT) != 0;
    EXPECT_TRUE(shortcut);
    // A menu row without images is measured with a 16-pixel image column.
    EXPECT_GE(popup->GetView()->Find(open)->BoundsRect.Height(), 16);
    popup->Free();
}

// The image column of a menu widens with the rows' font and narrows with
// it again: the font's metrics are those of the font the view has now,
// however often it changed and after a change of the system's settings.
TEST_F(TxBars, MenuImageColumnFollowsTheFontOfItsRows) {
    auto* root = TTxSubmenuItem::Create(Form);
    auto* open = TTxItem::Create(Form);
    open->SetCaption("&Open");
    root->Add(open);
    TBarPopupWindow* popup = root->CreatePopup(nullptr, nullptr, false, false, false, gcl::TPoint{100, 100}, tbpaLeft);
    TBarItemViewer* viewer = popup->GetView()->Find(open);
    ASSERT_NE(viewer, nullptr);
    gcl::TFont* font = popup->GetView()->GetFont();
    ASSERT_NE(font, nullptr);
    font->SetSize(8);
    const int small = GetPopupMargin(viewer);
    font->SetSize(36);
    const int large = GetPopupMargin(viewer);
    EXPECT_GT(large, small);
    font->SetSize(8);
    EXPECT_EQ(GetPopupMargin(viewer), small);
    font->SetStyle(gcl::TFontStyles{gcl::fsItalic});
    font->SetSize(36);
    EXPECT_EQ(GetPopupMargin(viewer), large);
    gcl::NoteSystemSettingsChange();
    EXPECT_EQ(GetPopupMargin(viewer), large);
    font->SetSize(8);
    EXPECT_EQ(GetPopupMargin(viewer), small);
    popup->Free();
}

TEST_F(TxBars, PopupWindowsUseAShadowClassUnlessTheyAreLists) {
    auto* root = TTxSubmenuItem::Create(Form);
    root->Add(TTxItem::Create(Form));
    TBarPopupWindow* popup = root->CreatePopup(nullptr, nullptr, false, false, false, gcl::TPoint{60, 60}, tbpaLeft);
    char name[128] = {};
    GetClassNameA(popup->GetHandle(), name, sizeof name);
    const DWORD style = GetClassLongA(popup->GetHandle(), GCL_STYLE);
    if (IsWindowsXP()) {
        EXPECT_EQ(name[strlen(name) - 1], 'S') << name;
        EXPECT_TRUE(style & CS_DROPSHADOW);
    }
    EXPECT_FALSE(style & CS_DBLCLKS);
    EXPECT_EQ(QueryControlViewType(popup), 0x2001u);
    EXPECT_TRUE(static_cast<TTxPopupWindow*>(popup)->CanDrawShadow());
    popup->Free();

    // A tool-box item's popup answers 0x2004; its viewers are toolbar style.
    root->SetToolBoxPopup(true);
    popup = root->CreatePopup(nullptr, nullptr, false, false, false, gcl::TPoint{60, 60}, tbpaLeft);
    EXPECT_EQ(QueryControlViewType(popup), 0x2004u);
    EXPECT_TRUE(popup->GetView()->GetViewers(0)->IsToolbarStyle());
    popup->Free();
}

// The shadow strips a theme draws beside a popup live as windows of their
// own: hiding the popup takes them off the screen at once, even while the
// popup itself lives on (a box shown from inside its menu's loop).
TEST_F(TxBars, APopupsDrawnShadowsGoWhenItIsHidden) {
    auto* root = TTxSubmenuItem::Create(Form);
    root->Add(TTxItem::Create(Form));
    TTxRecordingTheme* theme = UseRecordingTheme();
    theme->ShadowKind = 2;
    TBarPopupWindow* popup = root->CreatePopup(nullptr, nullptr, false, false, false, gcl::TPoint{60, 60}, tbpaLeft);
    PumpMessages(20);
    auto shadowsShown = [] {
        struct TCount {
            static BOOL CALLBACK Visit(HWND w, LPARAM data) {
                char name[64] = {};
                GetClassNameA(w, name, sizeof name);
                if (IsWindowVisible(w) && (!strcmp(name, "THorzShadow") || !strcmp(name, "TVertShadow")))
                    ++*reinterpret_cast<int*>(data);
                return TRUE;
            }
        };
        int n = 0;
        EnumThreadWindows(GetCurrentThreadId(), &TCount::Visit, reinterpret_cast<LPARAM>(&n));
        return n;
    };
    ASSERT_GT(shadowsShown(), 0) << "the theme's shadows were not drawn";
    // Moved, they follow it; hidden, they go.
    SetWindowPos(popup->GetHandle(), nullptr, 80, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_GT(shadowsShown(), 0);
    ShowWindow(popup->GetHandle(), SW_HIDE);
    EXPECT_EQ(shadowsShown(), 0);
    popup->Free();
    theme->ShadowKind = 0;
}

TEST_F(TxBars, MenuAnimationModesFollowTheSystem) {
    TTxMenuAnimation anim(5);
    EXPECT_EQ(anim.GetAnimationMode(), 5);   // NT 5 and later under Wine
    EXPECT_EQ(anim.GetAnimation(), 3);
    anim.SetAnimationMode(3);
    EXPECT_EQ(anim.GetAnimation(), 1);
    anim.SetAnimationMode(0);
    EXPECT_EQ(anim.GetAnimation(), 0);
    {
        gcl::TFixedOSVersion win98{{gcl::PlatformWin32Windows, 4, 10, 2222}};
        gcl::ServiceOverride<gcl::IOSVersion> use(gcl::OSVersion, win98);
        anim.SetAnimationMode(5);
        EXPECT_EQ(anim.GetAnimationMode(), 4);   // no fade on the 9x family
        for (int i = 0; i < 20; ++i) {
            anim.SetAnimationMode(2);
            EXPECT_LE(anim.GetAnimation(), 2);
        }
        gcl::TFixedOSVersion win95{{gcl::PlatformWin32Windows, 4, 0, 950}};
        gcl::ServiceOverride<gcl::IOSVersion> old(gcl::OSVersion, win95);
        anim.SetAnimationMode(4);
        EXPECT_EQ(anim.GetAnimationMode(), 0);
    }
}

// ---- Toolbars, docks and floating windows -------------------------------------------------------

TEST_F(TxBars, ToolbarColourAndViewTypeFollowWhereItIs) {
    auto* panel = Make<gcl::TPanel>(Form);
    panel->SetBounds(0, 0, 300, 60);
    panel->SetColor(0x123456);
    auto* bar = Make<TTxToolbar>(panel);
    EXPECT_EQ(bar->GetColor(), clNone);
    EXPECT_EQ(bar->GetEffectiveColor(), 0x123456);   // the panel's colour
    EXPECT_EQ(QueryControlViewType(bar), 0x1001u | 0x400 | 0x200);   // opaque items on a form
    bar->SetColor(0x00FF00);
    EXPECT_EQ(bar->GetEffectiveColor(), 0x00FF00);
    EXPECT_EQ(QueryEffectiveColor(bar), 0x00FF00);

    auto* dock = Make<TTxDock>(Form);
    bar->SetParent(dock);
    EXPECT_EQ(QueryControlViewType(bar), 0x1001u | 0x400);   // docked: transparent items
    bar->SetItemTransparency(itDisable);
    EXPECT_EQ(QueryControlViewType(bar), 0x1001u | 0x400 | 0x200);
    bar->SetMenuBar(true);
    EXPECT_EQ(QueryControlViewType(bar), 0x1002u | 0x400 | 0x200);
    // A dock with "none" shows its parent's colour.
    Form->SetColor(0x010203);
    EXPECT_EQ(QueryEffectiveColor(dock), 0x010203);
}

TEST_F(TxBars, FloatingToolbarSnapsWithinItsDistance) {
    auto* dock = Make<TTxDock>(Form);
    auto* bar = Make<TTxToolbar>(dock);
    auto* item = TTxItem::Create(Form);
    item->SetCaption("Float");
    bar->GetItems()->Add(item);
    bar->SetSnapDistance(-3);
    EXPECT_EQ(bar->GetSnapDistance(), 0);
    bar->SetSnapDistance(12);
    Form->Show();
    bar->SetFloating(true);
    auto* fp = dynamic_cast<TTxFloatingWindowParent*>(bar->GetFloatParent());
    ASSERT_NE(fp, nullptr);
    EXPECT_EQ(fp->GetSnapDistance(), 12);
    const TRect work = MonitorRectOfRect(TRect{0, 0, 10, 10}, true);
    fp->SetBounds(work.Left + 9, work.Top + 40, fp->GetWidth(), fp->GetHeight());
    EXPECT_EQ(fp->GetLeft(), work.Left);
    EXPECT_EQ(fp->GetTop(), work.Top + 40);
    fp->SetBounds(work.Left + 100, work.Bottom - fp->GetHeight() - 11, fp->GetWidth(), fp->GetHeight());
    EXPECT_EQ(fp->GetTop(), work.Bottom - fp->GetHeight());
    fp->SetBounds(work.Left + 100, work.Top + 100, fp->GetWidth(), fp->GetHeight());
    EXPECT_EQ(fp->GetLeft(), work.Left + 100);

    TTxRecordingTheme* theme = UseRecordingTheme();
    theme->Calls.clear();
    RedrawWindow(fp->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    const TTxThemeCall* frame = theme->Last("PaintFloatingFrame");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Arg1 & 0xFFFF, 0x1001 | 0x800 | 0x400);
    EXPECT_EQ(frame->Arg2, 7);
}

TEST_F(TxBars, DockPaintsTheThemedBackgroundAndParentBackgroundBehindControls) {
    auto* dock = Make<TTxDock>(Form);
    auto* bar = Make<TTxToolbar>(dock);
    bar->GetItems()->Add(TTxItem::Create(Form));
    Form->Show();
    TTxRecordingTheme* theme = UseRecordingTheme();
    theme->BooleanMetrics[5] = true;
    EXPECT_TRUE(dock->ThemedBackground());
    EXPECT_TRUE(dock->UsingBackground());
    theme->Calls.clear();
    Paint(dock);
    const TTxThemeCall* background = theme->Last("PaintDockBackground");
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->Arg1, 1);   // a top dock
    dock->SetColor(0x00FFFF);
    EXPECT_FALSE(dock->ThemedBackground());
}

// ---- The multi-dock and dockable panels ----------------------------------------------------------

namespace {

// The pixels of a window as the screen shows it, frame included.
std::vector<uint32_t> WindowPixels(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    gcl::TBitmap bitmap;
    bitmap.SetPixelFormat(gcl::pf32bit);
    bitmap.SetSize(w, h);
    HDC dc = GetWindowDC(wnd);
    BitBlt(bitmap.GetCanvas()->GetHandle(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
    ReleaseDC(wnd, dc);
    GdiFlush();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < h; ++y) {
        const auto* row = static_cast<const uint32_t*>(bitmap.GetScanLine(y));
        pixels.insert(pixels.end(), row, row + w);
    }
    return pixels;
}

} // namespace

// A docked panel's new caption shows on its caption bar as a whole repaint
// shows it, and its client area is not painted again for it.
TEST_F(TxBars, DockedPanelCaptionChangeRepaintsTheCaptionOnly) {
    auto* dock = MakeMultiDock(dpLeft);
    auto* panel = MakePanel(dock, "Lists", 100);
    MakePanel(dock, "Note", 100);
    Form->Show();
    Paint(Form);
    PumpMessages(20);
    const HWND wnd = panel->GetHandle();
    const std::vector<uint32_t> before = WindowPixels(wnd);
    gcl::TControlSeam::SetText(panel, "Lists and more lists");
    RECT invalid{};
    GetUpdateRect(wnd, &invalid, FALSE);
    EXPECT_TRUE(IsRectEmpty(&invalid)) << "the client area is to be painted again: " << invalid.left << ","
                                       << invalid.top << "," << invalid.right << "," << invalid.bottom;
    UpdateWindow(wnd);
    PumpMessages(20);
    const std::vector<uint32_t> shown = WindowPixels(wnd);
    EXPECT_NE(shown, before);
    Paint(Form);
    PumpMessages(20);
    EXPECT_EQ(WindowPixels(wnd), shown);
}

TEST_F(TxBars, MultiDockSharesItsLengthAndTakesOnlyPanels) {
    Form->SetClientHeight(300);
    auto* dock = MakeMultiDock(dpLeft);
    auto* a = MakePanel(dock, "Lists", 100);
    auto* b = MakePanel(dock, "Note", 100);
    Form->Show();
    ASSERT_EQ(dock->GetHeight(), 300);
    EXPECT_EQ(a->GetHeight(), 150);
    EXPECT_EQ(b->GetHeight(), 150);
    EXPECT_EQ(a->GetTop(), 0);
    EXPECT_EQ(b->GetTop(), 150);
    EXPECT_EQ(a->GetEffectiveDockPos(), 0);
    EXPECT_EQ(b->GetEffectiveDockPos(), 150);
    EXPECT_EQ(dock->GetWidth(), a->GetWidth());

    auto* bar = TTxToolbar::Create(Form);
    try {
        bar->SetParent(dock);
        FAIL() << "a toolbar went into a multi-dock";
    } catch (const gcl::EInvalidOperation& e) {
        EXPECT_EQ(e.GetMessage(), "Cannot insert TTxToolbar into TTxMultiDock");
    }
    EXPECT_EQ(bar->GetParent(), nullptr);
    EXPECT_EQ(bar->GetCurrentDock(), nullptr);

    a->SetMinClientWidth(3);
    EXPECT_EQ(a->GetMinClientWidth(), 8);
}

TEST_F(TxBars, PanelCaptionRunsAcrossTheSideItDocksOn) {
    auto* bottom = MakeMultiDock(dpBottom);
    auto* left = MakeMultiDock(dpLeft);
    auto* panel = MakePanel(bottom, "Note", 0);
    Form->Show();
    EXPECT_TRUE(panel->IsVertCaption());
    const int caption = GetSystemMetrics(SM_CYSMCAPTION);
    EXPECT_EQ(panel->GetWidth() - panel->GetClientWidth(), 4 + caption);
    EXPECT_EQ(panel->GetHeight() - panel->GetClientHeight(), 4);
    EXPECT_EQ(panel->GetHeight(), 128 + 4);   // DockedHeight
    panel->SetParent(left);
    EXPECT_FALSE(panel->IsVertCaption());
    EXPECT_EQ(panel->GetHeight() - panel->GetClientHeight(), 4 + caption);
    EXPECT_EQ(panel->GetWidth(), 128 + 4);   // DockedWidth

    TTxRecordingTheme* theme = UseRecordingTheme();
    theme->Calls.clear();
    RedrawWindow(panel->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    const TTxThemeCall* area = theme->Last("PaintPanelCaptionArea");
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->Arg1, 0x4001 | 0x400);
    EXPECT_EQ(area->Arg2, 1);   // close button shown
    EXPECT_EQ(area->Text, "Note");
}

TEST_F(TxBars, SplitterAndBorderFollowTheMouseWithinTheLimits) {
    Form->SetClientHeight(300);
    auto* dock = MakeMultiDock(dpLeft);
    auto* a = MakePanel(dock, "Lists", 100);
    auto* b = MakePanel(dock, "Note", 100);
    Form->Show();
    PumpMessages(50);

    // The hit codes: a splitter at A's bottom edge, B's top edge, the free border.
    const POINT ao = WindowOrigin(a);
    EXPECT_EQ(a->Perform(WM_NCHITTEST, 0, MAKELPARAM(ao.x + 40, ao.y + a->GetHeight() - 1)), HT_DP_SPLITBOTTOM);
    const POINT bo = WindowOrigin(b);
    EXPECT_EQ(b->Perform(WM_NCHITTEST, 0, MAKELPARAM(bo.x + 40, bo.y)), HT_DP_SPLITTOP);
    EXPECT_EQ(a->Perform(WM_NCHITTEST, 0, MAKELPARAM(ao.x + a->GetWidth() - 1, ao.y + 60)), HTRIGHT);
    EXPECT_EQ(a->Perform(WM_NCHITTEST, 0, MAKELPARAM(ao.x + 30, ao.y + 5)), HT_TB2K_DRAGHANDLE);

    // Drag the splitter down by 30 through the window's own message.
    const int sx = ao.x + 40, sy = ao.y + a->GetHeight() - 1;
    PostMouse(a->GetHandle(), WM_MOUSEMOVE, sx, sy + 10);
    PostMouse(a->GetHandle(), WM_MOUSEMOVE, sx, sy + 30);
    PostMouse(a->GetHandle(), WM_LBUTTONUP, sx, sy + 30);
    SendMessageA(a->GetHandle(), WM_NCLBUTTONDOWN, HT_DP_SPLITBOTTOM, MAKELPARAM(sx, sy));
    EXPECT_EQ(a->GetSplitHeight(), 180);
    EXPECT_EQ(b->GetSplitHeight(), 120);
    EXPECT_EQ(b->GetTop(), 180);
    EXPECT_EQ(GetCapture(), nullptr);

    // Far down: B keeps its minimum height (32 + frame and caption).
    const int minB = 32 + 4 + GetSystemMetrics(SM_CYSMCAPTION);
    PostMouse(a->GetHandle(), WM_MOUSEMOVE, sx, sy + 900);
    PostMouse(a->GetHandle(), WM_LBUTTONUP, sx, sy + 900);
    SendMessageA(a->GetHandle(), WM_NCLBUTTONDOWN, HT_DP_SPLITBOTTOM, MAKELPARAM(sx, ao.y + a->GetHeight() - 1));
    EXPECT_EQ(b->GetSplitHeight(), minB);
    EXPECT_EQ(a->GetSplitHeight(), 300 - minB);

    // The free border: 40 wider, then far too narrow (the minimum holds).
    const int width = a->GetDockedWidth();
    const POINT o = WindowOrigin(a);
    const int rx = o.x + a->GetWidth() - 1, ry = o.y + 60;
    PostMouse(a->GetHandle(), WM_MOUSEMOVE, rx + 40, ry);
    PostMouse(a->GetHandle(), WM_LBUTTONUP, rx + 40, ry);
    SendMessageA(a->GetHandle(), WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(rx, ry));
    EXPECT_EQ(a->GetDockedWidth(), width + 40);
    EXPECT_EQ(dock->GetWidth(), width + 40 + 4);
    EXPECT_EQ(b->GetWidth(), a->GetWidth());
    const int rx2 = WindowOrigin(a).x + a->GetWidth() - 1;
    PostMouse(a->GetHandle(), WM_MOUSEMOVE, rx2 - 500, ry);
    PostMouse(a->GetHandle(), WM_LBUTTONUP, rx2 - 500, ry);
    SendMessageA(a->GetHandle(), WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(rx2, ry));
    EXPECT_EQ(a->GetDockedWidth(), 32);

    // Escape puts the old width back.
    a->SetDockedWidth(100);
    const int rx3 = WindowOrigin(a).x + a->GetWidth() - 1;
    PostMouse(a->GetHandle(), WM_MOUSEMOVE, rx3 + 50, ry);
    PostMessageA(a->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageA(a->GetHandle(), WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(rx3, ry));
    EXPECT_EQ(a->GetDockedWidth(), 100);
}

TEST_F(TxBars, PositionDataKeepsTheSixPanelValues) {
    auto* dock = MakeMultiDock(dpLeft);
    auto* panel = MakePanel(dock, "Lists", 90);
    panel->SetDockedWidth(140);
    struct TStore {
        std::vector<std::pair<std::string, int>> Values;
        static void Write(const std::string&, const std::string& name, int32_t v, void* extra) {
            static_cast<TStore*>(extra)->Values.emplace_back(name, v);
        }
        static int32_t Read(const std::string&, const std::string& name, int32_t def, void* extra) {
            for (auto& [n, v] : static_cast<TStore*>(extra)->Values)
                if (n == name) return v + 1;
            return def;
        }
    } store;
    TBarWritePositionData write;
    write.WriteIntProc = &TStore::Write;
    write.ExtraData = &store;
    panel->WritePositionData(write);
    ASSERT_EQ(store.Values.size(), 6u);
    EXPECT_EQ(store.Values[0], (std::pair<std::string, int>{"DPDockedWidth", 140}));
    EXPECT_EQ(store.Values[1].first, "DPDockedHeight");
    EXPECT_EQ(store.Values[4].first, "DPSplitWidth");
    EXPECT_EQ(store.Values[5], (std::pair<std::string, int>{"DPSplitHeight", 90}));
    TBarReadPositionData read;
    read.ReadIntProc = &TStore::Read;
    read.ExtraData = &store;
    panel->ReadPositionData(read);
    EXPECT_EQ(panel->GetDockedWidth(), 141);
    EXPECT_EQ(panel->GetSplitHeight(), 91);
}

TEST_F(TxBars, ThemeSwitchReframesEveryWindowAndBalancesItsUpdates) {
    auto* dock = Make<TTxDock>(Form);
    auto* bar = Make<TTxToolbar>(dock);
    bar->GetItems()->Add(TTxItem::Create(Form));
    auto* multi = MakeMultiDock(dpLeft);
    auto* panel = MakePanel(multi, "Lists", 0);
    Form->Show();
    TTxRecordingTheme* theme = UseRecordingTheme();
    EXPECT_GT(theme->Count("PaintToolbarFrame"), 0);
    EXPECT_GT(theme->Count("PaintPanelCaptionArea"), 0);
    EXPECT_EQ(bar->GetEffectiveColor(), 0x040404);   // the theme's view colour
    EXPECT_EQ(panel->GetEffectiveColor(), 0x040404);
    SelectTheme("Default");
    // Updates were closed again: the panel and the bar still lay out at once.
    panel->SetDockedWidth(150);
    EXPECT_EQ(panel->GetWidth(), 150 + 4);
    auto* more = TTxItem::Create(Form);
    more->SetCaption("More");
    const int before = bar->GetWidth();
    bar->GetItems()->Add(more);
    PumpMessages(20);
    EXPECT_GT(bar->GetWidth(), before);
}

// ---- Edit, spin-edit and label items --------------------------------------------------------

TEST_F(TxBars, SpinEditItemReadsLimitsAndStepsOnceForEachChange) {
    auto* spin = TTxSpinEditItem::Create(Form);
    TChangeLog log;
    spin->OnChange = TTxEditChange(&log, &TChangeLog::Change);
    spin->OnValueChange = TSEChangeEvent(&log, &TChangeLog::Value);
    EXPECT_EQ(spin->GetText(), "0");
    EXPECT_EQ(spin->GetAlignment(), gcl::taRightJustify);
    spin->SetMinValue(0);
    spin->SetMaxValue(50);
    spin->SetValue(12);
    EXPECT_EQ(spin->GetText(), "12");
    spin->SetValue(80);
    EXPECT_EQ(spin->GetText(), "50");
    EXPECT_EQ(log.Values, (std::vector<double>{12, 50}));
    spin->StepDown();
    EXPECT_EQ(spin->GetIntValue(), 49);
    spin->SetValue(48.5);
    EXPECT_EQ(spin->GetIntValue(), 48);   // halves to even
    EXPECT_EQ(spin->GetText(), "48");
    EXPECT_TRUE(log.Changes.empty());   // property and step changes fire no OnChange

    // Typed text: accepted and re-formatted, or refused.
    std::string typed = "3*4";
    EXPECT_TRUE(spin->DoAcceptText(typed));
    EXPECT_EQ(typed, "12");
    typed = "1e4999";
    EXPECT_FALSE(spin->DoAcceptText(typed));
    spin->SetTextEx("7", tbetsEditControl);
    EXPECT_EQ(spin->GetValue(), 7);
    EXPECT_EQ(log.Changes, (std::vector<std::string>{}));   // the spin item reports edits from the editor only

    // The editor: each different text once, case ignored.
    auto* editor = TTxEdit::Create(Form);
    editor->SetParent(Form);
    editor->SetText("9");
    spin->HandleEditChange(editor);
    spin->HandleEditChange(editor);
    editor->SetText("9");
    spin->HandleEditChange(editor);
    editor->SetText("10");
    spin->HandleEditChange(editor);
    EXPECT_EQ(log.Changes, (std::vector<std::string>{"9", "10"}));
}

TEST_F(TxBars, SpinButtonsStepAndRepeatAt400ThenEvery100Milliseconds) {
    auto* dock = Make<TTxDock>(Form);
    auto* bar = Make<TTxToolbar>(dock);
    auto* spin = TTxSpinEditItem::Create(Form);
    spin->SetEditWidth(70);
    bar->GetItems()->Add(spin);
    Form->Show();
    auto* viewer = dynamic_cast<TTxSpinEditViewer*>(bar->GetView()->Find(spin));
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->GetAccRole(), 52);
    const int w = viewer->BoundsRect.Width();
    const int h = viewer->BoundsRect.Height();
    EXPECT_FALSE(viewer->IsPtInButtonPart(w - 3, 3));
    EXPECT_TRUE(viewer->IsPtInButtonPart(5, 3));
    bool onMenu = false;
    viewer->MouseDown(gcl::TShiftState{}, w - 4, 2, onMenu);   // the upper half
    EXPECT_EQ(spin->GetIntValue(), 1);
    EXPECT_EQ(viewer->GetPressedPart(), 1);
    ASSERT_NE(viewer->GetRepeatTimer(), nullptr);
    EXPECT_EQ(viewer->GetRepeatTimer()->GetInterval(), 400u);
    EXPECT_TRUE(PumpMessages(2000, [&] { return spin->GetIntValue() >= 2; }));
    EXPECT_EQ(viewer->GetRepeatTimer()->GetInterval(), 100u);
    viewer->MouseUp(w - 4, 2, false);
    EXPECT_EQ(viewer->GetPressedPart(), 0);
    EXPECT_EQ(viewer->GetRepeatTimer(), nullptr);
    const int reached = spin->GetIntValue();
    viewer->MouseDown(gcl::TShiftState{}, w - 4, h - 2, onMenu);   // the lower half
    EXPECT_EQ(spin->GetIntValue(), reached - 1);
    viewer->LosingCapture();
    EXPECT_EQ(viewer->GetRepeatTimer(), nullptr);
}

TEST_F(TxBars, EditItemSizesFollowTheThemeMetrics) {
    auto* dock = Make<TTxDock>(Form);
    auto* bar = Make<TTxToolbar>(dock);
    auto* edit = TTxEditItem::Create(Form);
    edit->SetEditWidth(90);
    bar->GetItems()->Add(edit);
    Form->Show();
    TTxRecordingTheme* theme = UseRecordingTheme();
    theme->IntegerMetrics[60] = 2;
    theme->IntegerMetrics[62] = 1;
    gcl::TBitmap bitmap;
    auto* viewer = dynamic_cast<TTxEditItemViewer*>(bar->GetView()->Find(edit));
    ASSERT_NE(viewer, nullptr);
    int w = 0, h = 0;
    viewer->CalcSize(bitmap.GetCanvas(), w, h);
    EXPECT_EQ(w, 90);
    EXPECT_EQ(h % 2, 1);   // odd without Boolean metric 4
    theme->BooleanMetrics[4] = true;
    int h2 = 0;
    viewer->CalcSize(bitmap.GetCanvas(), w, h2);
    EXPECT_EQ(h2 % 2, 0);
    EXPECT_LE(std::abs(h2 - h), 1);

    theme->Calls.clear();
    Paint(bar);
    const TTxThemeCall* frame = theme->Last("PaintEditFrame");
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->Item.ItemOptions & IO_TOOLBARSTYLE);
    EXPECT_EQ(frame->Arg2, 0);   // no button
}

TEST_F(TxBars, LabelSizeAddsItsMarginThreeTimes) {
    auto* dock = Make<TTxDock>(Form);
    auto* bar = Make<TTxToolbar>(dock);
    auto* label = TTxLabelItem::Create(Form);
    bar->GetItems()->Add(label);
    Form->Show();
    TBarItemViewer* viewer = bar->GetView()->Find(label);
    gcl::TBitmap bitmap;
    int w0 = 0, h0 = 0;
    viewer->CalcSize(bitmap.GetCanvas(), w0, h0);
    label->SetCaption("0");
    int w1 = 0, h1 = 0;
    viewer->CalcSize(bitmap.GetCanvas(), w1, h1);
    EXPECT_EQ(w0, w1);   // an empty caption measures as "0"
    EXPECT_EQ(h0, h1);
    label->SetMargin(3);
    int w2 = 0, h2 = 0;
    viewer->CalcSize(bitmap.GetCanvas(), w2, h2);
    EXPECT_EQ(w2 - w1, 9);
    EXPECT_EQ(h2 - h1, 9);
}

// Keys typed into whatever has the focus, one step per timer tick, while
// a local loop runs (the loop dispatches the thread timer).
struct TTypist {
    static inline std::vector<std::pair<UINT, WPARAM>> Keys;
    static inline size_t Next = 0;
    static inline UINT_PTR Timer = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND focus = GetFocus();
        if (Next >= Keys.size()) {
            KillTimer(nullptr, Timer);
            Timer = 0;
            return;
        }
        if (!focus) return;
        PostMessageA(focus, Keys[Next].first, Keys[Next].second, Keys[Next].first == WM_KEYUP ? 0xC0000001 : 1);
        ++Next;
    }
    explicit TTypist(std::vector<std::pair<UINT, WPARAM>> keys) {
        Keys = std::move(keys);
        Next = 0;
        Timer = SetTimer(nullptr, 0, 30, &Tick);
    }
    ~TTypist() {
        if (Timer) KillTimer(nullptr, Timer);
        Timer = 0;
    }
};

TEST_F(TxBars, SpinEditorStepsWithTheArrowKeysAndReportsEachChangeOnce) {
    auto* dock = Make<TTxDock>(Form);
    auto* bar = Make<TTxToolbar>(dock);
    auto* spin = TTxSpinEditItem::Create(Form);
    spin->SetEditWidth(70);
    spin->SetMaxValue(5);
    bar->GetItems()->Add(spin);
    TChangeLog log;
    spin->OnChange = TTxEditChange(&log, &TChangeLog::Change);
    spin->OnValueChange = TSEChangeEvent(&log, &TChangeLog::Value);
    Form->Show();
    SetForegroundWindow(Form->GetHandle());
    auto* viewer = dynamic_cast<TTxSpinEditViewer*>(bar->GetView()->Find(spin));
    ASSERT_NE(viewer, nullptr);
    // Up, Up, Down, then Enter; each step once, Enter adds no change.
    TTypist typist({{WM_KEYDOWN, VK_UP}, {WM_KEYUP, VK_UP}, {WM_KEYDOWN, VK_UP}, {WM_KEYUP, VK_UP},
                    {WM_KEYDOWN, VK_DOWN}, {WM_KEYUP, VK_DOWN}, {WM_CHAR, VK_RETURN}});
    viewer->DoExecute();
    EXPECT_EQ(spin->GetIntValue(), 1);
    EXPECT_EQ(spin->GetText(), "1");
    EXPECT_EQ(log.Changes, (std::vector<std::string>{"1", "2", "1"}));
    EXPECT_EQ(log.Values, (std::vector<double>{1, 2, 1}));
    EXPECT_EQ(viewer->GetEditControl(), nullptr);
}

TEST_F(TxBars, LabelsAndChevronsAskTheTheme) {
    auto* dock = Make<TTxDock>(Form);
    dock->SetPosition(dpLeft);
    auto* bar = Make<TTxToolbar>(dock);
    auto* label = TTxLabelItem::Create(Form);
    label->SetCaption("&Width");
    label->SetShowAccelChar(false);
    bar->GetItems()->Add(label);
    auto* crowded = Make<TTxToolbar>(dock);
    crowded->SetDockRow(1);
    for (int i = 0; i < 30; ++i) {
        auto* item = TTxItem::Create(Form);
        item->SetCaption("Item");
        crowded->GetItems()->Add(item);
    }
    Form->Show();
    ASSERT_TRUE(bar->GetView()->Find(label)->Show);
    TTxRecordingTheme* theme = UseRecordingTheme();
    theme->Calls.clear();
    Paint(bar);
    Paint(crowded);
    const TTxThemeCall* caption = nullptr;
    for (const TTxThemeCall& c : theme->Calls)
        if (c.Operation == "PaintCaption" && c.Text == "&Width") caption = &c;
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->Arg1, 0x25 | DT_NOPREFIX);
    EXPECT_EQ(caption->Arg2, 1);   // rotated on a vertical bar
    EXPECT_TRUE(caption->Item.IsVertical);
    const TTxThemeCall* chevron = theme->Last("PaintChevron");
    ASSERT_NE(chevron, nullptr);
    EXPECT_TRUE(chevron->Item.IsVertical);
    EXPECT_TRUE(chevron->Item.ItemOptions & IO_TOOLBARSTYLE);
    EXPECT_EQ(chevron->Item.ViewType, 0x1401u);
}

TEST_F(TxBars, PopupMenuOpensBesideItsRectangle) {
    auto* menu = TTxPopupMenu::Create(Form);
    auto* root = gcl::as<TTxRootItem>(menu->GetItems());
    for (const char* caption : {"Cut", "Copy", "Paste"}) {
        auto* item = TTxItem::Create(Form);
        item->SetCaption(caption);
        root->Add(item);
    }
    const TRect work = MonitorRectOfRect(TRect{0, 0, 1, 1}, true);
    // Room below: under the rectangle, its left edge at the rectangle's.
    const TRect high{work.Left + 100, work.Top + 100, work.Left + 180, work.Top + 120};
    TBarPopupWindow* popup = root->CreatePopupEx(false, high, tbpaLeft);
    EXPECT_EQ(popup->GetLeft(), high.Left);
    EXPECT_EQ(popup->GetTop(), high.Bottom);
    EXPECT_EQ(static_cast<TTxPopupWindow*>(popup)->GetParentRect(), high);
    EXPECT_TRUE(gcl::IsRectEmpty(root->GetPopupRect()));   // put back
    popup->Free();
    // No room below: above it; right alignment ends at its right edge.
    const TRect low{work.Left + 300, work.Bottom - 30, work.Left + 380, work.Bottom - 10};
    popup = root->CreatePopupEx(false, low, tbpaRight);
    EXPECT_EQ(popup->GetTop() + popup->GetHeight(), low.Top);
    EXPECT_EQ(popup->GetLeft() + popup->GetWidth(), low.Right);
    popup->Free();
    // The modal menu: Escape ends it with nothing chosen (posted from a
    // timer inside the loop to the window holding the capture; a second
    // tick takes the capture away should the loop still run).
    struct TEscape {
        static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
            static int ticks = 0;
            if (HWND capture = GetCapture(); capture && ticks++ == 0) {
                PostMessageA(capture, WM_KEYDOWN, VK_ESCAPE, 1);
                return;
            }
            KillTimer(nullptr, id);
            ReleaseCapture();
        }
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, &TEscape::Tick);
    EXPECT_EQ(menu->PopupAtRect(high, true), nullptr);
    KillTimer(nullptr, timer);
    EXPECT_EQ(menu->GetPopupPoint(), gcl::Point(high.Left, high.Bottom));
}

} // namespace
