// Compound bars: the compound items control and bar, the status toolbar's
// grip, and the title bar (activation, resize borders, the title
// toolbar's mouse, the caption buttons, painting).
#include <gtest/gtest.h>

#include <vector>

#include "controls/XtCompound.h"
#include "controls/XtTestSupport.h"
#include "gcl/ExtCtrls.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Init.h"
#include "support/Screenshot.h"
#include "support/WindowTest.h"
#include "theming/TxBars.h"
#include "toolbar/BarHook.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

// Stands before a form's window procedure: system commands are recorded
// and kept from the system (whose move and size loops would wait for the
// mouse).
struct TSysCommandTrap : gcl::TObject {
    explicit TSysCommandTrap(gcl::TCustomForm* form) : Form(form), Prev(form->GetWindowProc()) {
        form->SetWindowProc(gcl::TWndMethod(this, &TSysCommandTrap::Proc));
    }
    ~TSysCommandTrap() override { Form->SetWindowProc(Prev); }
    void Proc(gcl::TMessage& m) {
        if (m.Msg == WM_SYSCOMMAND) {
            Commands.push_back(static_cast<unsigned>(m.WParam & 0xFFFF));
            return;
        }
        Prev(m);
    }
    gcl::TCustomForm* Form;
    gcl::TWndMethod Prev;
    std::vector<unsigned> Commands;
};

class XtCompound : public XtFormTest {
protected:
    static void SetUpTestSuite() {
        StartExtendedControls();
        gcl::InitializeUnits({&gcl::OleUnit, &BarHookUnit, &BarItemUnit, &TxBarsUnit});
    }
    // A form of 400 x 300 with a title bar made as a streamed form would be.
    TXtTitleBar* MakeTitleBarForm() {
        Form->SetBorderStyle(gcl::bsSizeable);
        Form->SetBounds(80, 80, 400, 300);
        Form->HandleNeeded();
        TXtTitleBar* bar;
        {
            gcl::TFormLoadScope scope(Form);
            bar = TXtTitleBar::Create(Form);
            bar->SetParent(Form);
            bar->SetCaption(L"Title bar");
            scope.Finish();
        }
        return bar;
    }
    static void Press(gcl::TWinControl* control, int x, int y, bool twice = false, bool right = false) {
        const LPARAM at = MAKELPARAM(x, y);
        control->Perform(WM_MOUSEMOVE, 0, at);
        control->Perform(right ? WM_RBUTTONDOWN : twice ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN,
                         right ? MK_RBUTTON : MK_LBUTTON, at);
        control->Perform(right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
    }
};

TEST_F(XtCompound, CompoundBarCarriesItemsOnItsOwnToolbarAndFollowsTheDocksHeight) {
    auto* bar = Make<TXtCompoundBar>(Form, 0, 0, 300, 10);
    ASSERT_NE(bar->GetDock(), nullptr);
    ASSERT_NE(bar->GetToolbar(), nullptr);
    EXPECT_TRUE(bar->GetToolbar()->GetCompoundToolbar());
    EXPECT_EQ(bar->GetToolbar()->GetCurrentDock(), bar->GetDock());
    EXPECT_EQ(bar->GetToolbar()->GetDockMode(), dmCannotFloatOrChangeDocks);
    auto* item = TXtItem::Create(Form);
    item->SetCaption(L"Item");
    bar->GetItems()->Add(item);
    Form->Show();
    PumpMessages(50);
    EXPECT_EQ(bar->GetHeight(), bar->GetDock()->GetHeight());
    EXPECT_GT(bar->GetHeight(), 10);
    // Another bar may not dock in the control's dock.
    bool accept = true;
    auto* other = TXtToolbar::Create(Form);
    bar->GetDock()->OnRequestDock(bar->GetDock(), other, accept);
    EXPECT_FALSE(accept);
    // The window class does not repaint the whole control on every size.
    EXPECT_EQ(GetClassLongA(bar->GetHandle(), GCL_STYLE) & (CS_HREDRAW | CS_VREDRAW), 0u);
    // The owner may paint the dock's background.
    struct TPaint : gcl::TObject {
        int Calls = 0;
        void Draw(gcl::TObject*, TCanvas*, const TRect&, TXtPaintStage, bool&) { ++Calls; }
    } paint;
    bar->OnDrawDockBackground = TXtDrawEvent(&paint, &TPaint::Draw);
    RedrawWindow(bar->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_GE(paint.Calls, 2);
}

TEST_F(XtCompound, StatusToolbarGripSizesTheFormFromItsCorner) {
    Form->SetBorderStyle(gcl::bsSizeable);
    auto* dock = Make<TXtDock>(Form, 0, 0, 300, 30);
    dock->SetPosition(dpBottom);
    auto* bar = TXtStatusToolbar::Create(Form);
    bar->SetParent(dock);
    bar->SetStretch(true);
    auto* label = TXtLabelItem::Create(Form);
    label->SetCaption(L"Ready");

    auto* separator = TXtSeparatorItem::Create(Form);
    auto* last = TXtLabelItem::Create(Form);
    last->SetCustomWidth(1);
    bar->GetItems()->Add(label);
    bar->GetItems()->Add(separator);
    bar->GetItems()->Add(last);
    Form->Show();
    PumpMessages(50);
    const TRect grip = bar->GetGripRect();
    ASSERT_FALSE(gcl::IsRectEmpty(grip));
    // A separator reaching into the grip is not painted; one clear of it is.
    EXPECT_FALSE(bar->HidesSeparator(bar->GetView()->Find(separator)));
    label->SetCustomWidth(grip.Left - bar->GetView()->Find(label)->BoundsRect.Left - 3);
    bar->GetView()->ValidatePositions();
    EXPECT_EQ(grip.Width(), GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(bar->GetRightAlignMargin(), grip.Width());
    EXPECT_TRUE(bar->HidesSeparator(bar->GetView()->Find(separator)));
    EXPECT_FALSE(bar->HidesSeparator(bar->GetView()->Find(label)));
    TSysCommandTrap trap(Form);
    Press(bar, grip.Left + 2, grip.Top + grip.Height() / 2);
    EXPECT_EQ(trap.Commands, std::vector<unsigned>{0xF008});
    // Without the grip, or on a form that cannot be sized, there is none.
    bar->SetSizeGrip(false);
    EXPECT_TRUE(gcl::IsRectEmpty(bar->GetGripRect()));
    EXPECT_EQ(bar->GetRightAlignMargin(), 4);
    EXPECT_FALSE(bar->HidesSeparator(bar->GetView()->Find(separator)));
    bar->SetSizeGrip(true);
    Form->SetBorderStyle(gcl::bsSingle);
    PumpMessages(50);
    EXPECT_TRUE(gcl::IsRectEmpty(bar->GetGripRect()));
}

TEST_F(XtCompound, TitleBarTakesTheFormsFrameWhileActiveAndGivesItBack) {
    TXtTitleBar* bar = MakeTitleBarForm();
    const int dx = 2 * GetSystemMetrics(SM_CXFRAME);
    const int dy = GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME);
    EXPECT_EQ(Form->GetBorderStyle(), gcl::bsNone);
    EXPECT_EQ(Form->GetWidth(), 400 - dx);
    EXPECT_EQ(Form->GetHeight(), 300 - dy);
    EXPECT_NE(GetWindowLongA(Form->GetHandle(), GWL_STYLE) & WS_SYSMENU, 0);
    Form->Show();
    EXPECT_TRUE(bar->GetDock()->GetVisible());
    EXPECT_EQ(bar->GetAlign(), gcl::alClient);
    bar->SetActive(false);
    EXPECT_EQ(Form->GetBorderStyle(), gcl::bsSizeable);
    EXPECT_EQ(Form->GetWidth(), 400);
    EXPECT_EQ(Form->GetHeight(), 300);
    EXPECT_FALSE(bar->GetDock()->GetVisible());
    bar->SetActive(true);
    EXPECT_EQ(Form->GetBorderStyle(), gcl::bsNone);
    EXPECT_EQ(Form->GetWidth(), 400 - dx);
    // Controls on the bar keep clear of its frame.
    auto* inner = Make<gcl::TPanel>(bar, 0, 0, 10, 10);
    inner->SetAlign(gcl::alClient);
    EXPECT_EQ(inner->GetLeft(), bar->GetFrameSize());
    EXPECT_EQ(inner->GetWidth(), bar->GetWidth() - 2 * bar->GetFrameSize());
}

TEST_F(XtCompound, TitleBarEdgesSizeTheFormWithinTenPixels) {
    TXtTitleBar* bar = MakeTitleBarForm();
    Form->Show();
    PumpMessages(50);
    const int w = bar->GetWidth(), h = bar->GetHeight();
    struct TCase {
        int X, Y;
        int Command;
    };
    const TCase cases[] = {{0, h / 2, 0xF001},     {9, h / 2, 0xF001},      {10, h / 2, 0},
                           {w - 1, h / 2, 0xF002}, {w - 10, h / 2, 0xF002}, {w / 2, 0, 0xF003},
                           {3, 3, 0xF004},         {w - 3, 3, 0xF005},      {w / 2, h - 1, 0xF006},
                           {3, h - 3, 0xF007},     {w - 3, h - 3, 0xF008},  {w / 2, h / 2, 0}};
    for (const TCase& c : cases) EXPECT_EQ(bar->SizeCommandAt(TPoint{c.X, c.Y}), c.Command) << c.X << "," << c.Y;

    TSysCommandTrap trap(Form);
    Press(bar, 3, h / 2);
    Press(bar, w - 3, h - 3);
    // The top border reaches over the caption strip's toolbar.
    TXtToolbar* toolbar = bar->GetToolbar();
    const TPoint top = toolbar->ScreenToClient(bar->ClientToScreen(TPoint{w / 2, 8}));
    ASSERT_GE(top.Y, 0);
    Press(toolbar, top.X, top.Y);
    EXPECT_EQ(trap.Commands, (std::vector<unsigned>{0xF001, 0xF008, 0xF003}));
    // A fixed size or an inactive bar does not size the form.
    bar->SetFixedSize(true);
    EXPECT_EQ(bar->SizeCommandAt(TPoint{3, 3}), 0);
    bar->SetFixedSize(false);
    bar->SetActive(false);
    EXPECT_EQ(bar->SizeCommandAt(TPoint{3, 3}), 0);
}

TEST_F(XtCompound, TitleToolbarMovesTheFormAndItsButtonsActOnIt) {
    TXtTitleBar* bar = MakeTitleBarForm();
    Form->Show();
    PumpMessages(50);
    TXtTitleBarButtonOptions* options = bar->GetOptions();
    TXtToolbar* toolbar = bar->GetToolbar();
    TBarCustomItem* items = toolbar->GetItems();
    ASSERT_NE(options->GetSystemMenuButton(), nullptr);
    EXPECT_EQ(items->GetItem(0), options->GetSystemMenuButton());
    EXPECT_EQ(items->GetItem(1), options->GetCaptionLabel());
    EXPECT_EQ(items->GetItem(items->GetCount() - 1), options->GetCloseButton());
    EXPECT_EQ(options->GetCaptionLabel()->GetCaption(), L"Title bar");
    EXPECT_FALSE(options->GetIcon()->GetEmpty());
    options->SetSystemImageIndex(-7);
    EXPECT_EQ(options->GetSystemImageIndex(), -1);

    TSysCommandTrap trap(Form);
    toolbar->GetView()->ValidatePositions();
    const TRect label = toolbar->GetView()->Find(options->GetCaptionLabel())->BoundsRect;
    const int y = label.Top + label.Height() / 2;
    Press(toolbar, label.Left + 30, y);
    EXPECT_EQ(trap.Commands, std::vector<unsigned>{0xF012});
    // A double click on the caption maximises through the maximise button.
    Press(toolbar, label.Left + 30, y, true);
    EXPECT_TRUE(bar->IsFormMaximized());
    EXPECT_EQ(options->GetMaximizeButton()->GetImageIndex(), XtGlyphRestore);
    // Maximised, the caption does not move the form, and the edges do not size it.
    trap.Commands.clear();
    Press(toolbar, label.Left + 30, y);
    EXPECT_TRUE(trap.Commands.empty());
    EXPECT_EQ(bar->SizeCommandAt(TPoint{3, 3}), 0);
    options->GetMaximizeButton()->Click();
    EXPECT_FALSE(bar->IsFormMaximized());
    EXPECT_EQ(options->GetMaximizeButton()->GetImageIndex(), XtGlyphMaximize);
    options->GetMinimizeButton()->Click();
    EXPECT_EQ(trap.Commands, std::vector<unsigned>{SC_MINIMIZE});
    // The close button and a double click on the system button close the form.
    struct TCloses : gcl::TObject {
        int Count = 0;
        void Query(gcl::TObject*, bool& CanClose) {
            ++Count;
            CanClose = false;
        }
    } closes;
    Form->OnCloseQuery = gcl::TCloseQueryEvent(&closes, &TCloses::Query);
    options->GetCloseButton()->Click();
    PumpMessages(50);
    toolbar->GetView()->ValidatePositions();
    const TRect system = toolbar->GetView()->Find(options->GetSystemMenuButton())->BoundsRect;
    // (Its top pixels belong to the top resize border.)
    Press(toolbar, (system.Left + system.Right) / 2, system.Bottom - 3, true);
    EXPECT_EQ(closes.Count, 2);
    Form->OnCloseQuery = {};
}

TEST_F(XtCompound, ScreenshotOfATitleBarForm) {
    TXtTitleBar* bar = MakeTitleBarForm();
    bar->SetCaption(L"Qelvo \x2013 title bar");
    auto* dock = Make<TXtDock>(bar, 0, 0, 100, 30);
    dock->SetPosition(dpBottom);
    auto* status = TXtStatusToolbar::Create(Form);
    status->SetParent(dock);
    status->SetStretch(true);
    auto* label = TXtLabelItem::Create(Form);
    label->SetCaption(L"Ready");
    status->GetItems()->Add(label);
    Form->Show();
    PumpMessages(200);
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "xt_titlebar_default.bmp"), 20);
    SelectTheme("Tristan");
    PumpMessages(200);
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "xt_titlebar_tristan.bmp"), 20);
    SelectTheme("Default");
    TVisualStylesScope classic(false);
    PumpMessages(200);
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "xt_titlebar_classic.bmp"), 20);
}

} // namespace

namespace {

TEST_F(XtCompound, MaximisedTitleBarFormFillsTheWorkAreaUnlessFullScreen) {
    TXtTitleBar* bar = MakeTitleBarForm();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(Form->GetHandle(), MONITOR_DEFAULTTONEAREST), &monitor));
    MINMAXINFO info{};
    info.ptMaxSize = POINT{12345, 12345};
    SendMessageA(Form->GetHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_LE(info.ptMaxSize.x, monitor.rcWork.right - monitor.rcWork.left);
    EXPECT_LE(info.ptMaxSize.y, monitor.rcWork.bottom - monitor.rcWork.top);
    EXPECT_GE(info.ptMaxSize.x, monitor.rcWork.right - monitor.rcWork.left - 1);
    EXPECT_EQ(info.ptMaxPosition.x, monitor.rcWork.left - monitor.rcMonitor.left);
    // Full-screen maximising, or an inactive bar, leaves the maximised size alone.
    bar->SetFullScreenMaximize(true);
    MINMAXINFO plain{};
    plain.ptMaxSize = POINT{12345, 12345};
    SendMessageA(Form->GetHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&plain));
    EXPECT_NE(plain.ptMaxSize.x, info.ptMaxSize.x);
}

} // namespace
