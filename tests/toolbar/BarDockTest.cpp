// Docks, dockable and floating windows, the drag and size loops, toolbars,
// the chevron and the menu bar, on a test form with four docks. Loops run
// on input queued before they start, under a watchdog.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <algorithm>
#include <string>
#include <vector>

#include "gcl/Forms.h"
#include "gcl/ExtCtrls.h"
#include "gcl/StdCtrls.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Streams.h"
#include "support/ApplicationTest.h"
#include "support/Screenshot.h"
#include "toolbar/BarAnim.h"
#include "toolbar/BarEditItem.h"
#include "toolbar/BarToolbar.h"
#include "toolbar/MenuScript.h"
#include "support/PixelCanvas.h"

using namespace qelvo;
using gcl::TComponent;
using gcl::TPoint;
using gcl::TRect;
using qelvo::test::QueueKey;
using qelvo::test::TLoopScript;
using qelvo::test::TLoopWatchdog;

namespace {

struct TClicks : gcl::TObject {
    std::vector<std::string> Log;
    void Clicked(gcl::TObject* Sender) { Log.push_back(static_cast<TBarCustomItem*>(Sender)->GetCaption()); }
};

class BarDockTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gcl::InitializeUnits({&gcl::FormsUnit, &gcl::OleUnit, &BarHookUnit, &BarItemUnit, &BarAnimUnit, &BarAccUnit});
    }

    void SetUp() override {
        Form = gcl::TForm::Create(nullptr);
        Form->SetBorderStyle(gcl::bsNone);
        Form->SetBounds(30, 30, 640, 440);
        Form->SetColor(gcl::clWindow);
        Top = Dock(dpTop);
        Bottom = Dock(dpBottom);
        Left = Dock(dpLeft);
        Right = Dock(dpRight);
        Form->Show();
        Clicks = new TClicks;
        Drain();
    }
    void TearDown() override {
        gcl::FreeAndNil(Form);
        delete Clicks;
        qelvo::test::PumpApplication(20);
        Drain();
    }
    static void Drain() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_QUIT) DispatchMessageA(&msg);
    }
    TBarDock* Dock(TBarDockPosition pos) {
        TBarDock* d = TBarDock::Create(Form);
        d->SetPosition(pos);
        d->SetParent(Form);
        return d;
    }
    TBarCustomToolbar* Bar(TBarDock* dock, const std::vector<std::string>& captions, int row = 0, int pos = -1) {
        TBarCustomToolbar* bar = TBarCustomToolbar::Create(Form);
        bar->SetHideWhenInactive(false);
        bar->SetDockRow(row);
        bar->SetDockPos(pos);
        for (const std::string& c : captions) {
            TBarCustomItem* item = TBarCustomItem::Create(Form);
            item->SetCaption(c);
            item->OnClick = gcl::TNotifyEvent(Clicks, &TClicks::Clicked);
            bar->GetRootItem()->Add(item);
        }
        bar->SetParent(dock);
        return bar;
    }
    TBarCustomToolbar* MenuBar() {
        TBarCustomToolbar* bar = Bar(Top, {}, 0, 0);
        bar->SetMenuBar(true);
        for (const char* caption : {"&File", "&Edit", "&View", "&Tools"}) {
            TBarCustomItem* item = TBarCustomItem::Create(Form);
            item->SetCaption(caption);
            item->SetItemStyle(item->GetItemStyle() | tbisSubmenu);
            for (const char* sub : {"&New", "&Open", "E&xit"}) {
                TBarCustomItem* s = TBarCustomItem::Create(Form);
                s->SetCaption(sub);
                s->OnClick = gcl::TNotifyEvent(Clicks, &TClicks::Clicked);
                item->Add(s);
            }
            bar->GetRootItem()->Add(item);
        }
        return bar;
    }
    static int RowThickness(TBarCustomToolbar* bar) { return bar->GetToolbarBaseSize().Y + 4; }
    static std::vector<TBarPopupWindow*> OpenPopups() {
        std::vector<TBarPopupWindow*> list;
        EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&list));
        return list;
    }
    static BOOL CALLBACK Collect(HWND wnd, LPARAM lp) {
        auto* popup = dynamic_cast<TBarPopupWindow*>(gcl::FindControl(wnd));
        if (popup && IsWindowVisible(wnd)) reinterpret_cast<std::vector<TBarPopupWindow*>*>(lp)->push_back(popup);
        return TRUE;
    }

    gcl::TForm* Form = nullptr;
    TBarDock *Top = nullptr, *Bottom = nullptr, *Left = nullptr, *Right = nullptr;
    TClicks* Clicks = nullptr;
};

TEST_F(BarDockTest, DockThicknessesAndBarBounds) {
    // Empty docks take no room; FixAlign keeps one pixel.
    EXPECT_EQ(Top->GetHeight(), 0);
    EXPECT_EQ(Left->GetWidth(), 0);
    Left->SetFixAlign(true);
    EXPECT_EQ(Left->GetWidth(), 1);

    TBarCustomToolbar* menu = MenuBar();
    TBarCustomToolbar* tools = Bar(Top, {"One", "Two", "Three"}, 1, 0);
    TBarCustomToolbar* side = Bar(Left, {"A", "B"});
    const int menuRow = RowThickness(menu);
    EXPECT_EQ(menu->GetBoundsRect(), (TRect{0, 0, Top->GetClientWidth(), menuRow})) << "full size on row 0";
    EXPECT_EQ(tools->GetTop(), menuRow);
    EXPECT_EQ(tools->GetLeft(), 0);
    TPoint base;
    tools->GetBaseSize(base);
    EXPECT_EQ(tools->GetWidth(), base.X + tools->DockedNCSize(false).X);
    EXPECT_EQ(tools->GetHeight(), RowThickness(tools));
    EXPECT_EQ(Top->GetHeight(), menuRow + RowThickness(tools));
    EXPECT_EQ(Left->GetWidth(), side->GetToolbarBaseSize().X + 4);
    EXPECT_EQ(Left->GetTop(), Top->GetHeight()) << "the form aligns its docks";

    // A bottom dock keeps its bottom edge as it fills and empties.
    const int bottomEdge = Bottom->GetTop() + Bottom->GetHeight();
    TBarCustomToolbar* status = Bar(Bottom, {"Status"});
    EXPECT_EQ(Bottom->GetTop() + Bottom->GetHeight(), bottomEdge);
    EXPECT_GT(Bottom->GetHeight(), 0);
    status->Free();
    EXPECT_EQ(Bottom->GetHeight(), 0);
    EXPECT_EQ(Bottom->GetTop(), bottomEdge);
}

TEST_F(BarDockTest, RowsRenumberAndFullSizeBarsGetARowOfTheirOwn) {
    TBarCustomToolbar* a = Bar(Top, {"A"}, 0, 0);
    TBarCustomToolbar* b = Bar(Top, {"B"}, 5, 0);
    TBarCustomToolbar* c = Bar(Top, {"C"}, 9, 0);
    EXPECT_EQ(a->GetEffectiveDockRow(), 0);
    EXPECT_EQ(b->GetEffectiveDockRow(), 1);
    EXPECT_EQ(c->GetEffectiveDockRow(), 2);

    TBarCustomToolbar* d = Bar(Top, {"D"}, 0, 200);
    EXPECT_EQ(d->GetEffectiveDockRow(), 0);
    d->SetFullSize(true);
    EXPECT_NE(a->GetEffectiveDockRow(), d->GetEffectiveDockRow()) << "a full-size bar takes a row to itself";
    EXPECT_EQ(d->GetWidth(), Top->GetClientWidth());
    EXPECT_EQ(c->GetEffectiveDockRow(), 3) << "later rows move down";
}

TEST_F(BarDockTest, EqualKeysKeepListOrderAndPositionsPack) {
    TBarCustomToolbar* a = Bar(Top, {"First"}, 0, 10);
    TBarCustomToolbar* b = Bar(Top, {"Second"}, 0, 10);
    TBarCustomToolbar* c = Bar(Top, {"Third"}, 0, 10);
    EXPECT_LT(a->GetLeft(), b->GetLeft());
    EXPECT_LT(b->GetLeft(), c->GetLeft());
    EXPECT_EQ(a->GetLeft(), 10);
    EXPECT_EQ(b->GetLeft(), a->GetLeft() + a->GetWidth()) << "packed after the bar before";
    // DockPos -8 goes before bars at 0 and -1.
    TBarCustomToolbar* d = Bar(Top, {"Zero"}, 0, -8);
    EXPECT_EQ(d->GetLeft(), 0);
    EXPECT_EQ(Top->GetToolbars(0), d);
}

TEST_F(BarDockTest, NarrowRowsWrapOrShrink) {
    Form->SetWidth(200);
    TBarCustomToolbar* a = Bar(Top, {"Alpha", "Beta", "Gamma"}, 0, 0);
    TBarCustomToolbar* b = Bar(Top, {"Delta", "Epsilon", "Zeta"}, 0, 150);
    // Chevron bars count only their smallest length: they fit by shrinking.
    EXPECT_EQ(b->GetEffectiveDockRow(), 0);
    a->SetShrinkMode(tbsmNone);
    b->SetShrinkMode(tbsmNone);
    EXPECT_EQ(a->GetEffectiveDockRow(), 0);
    EXPECT_EQ(b->GetEffectiveDockRow(), 1) << "the later bar wraps onto a new row";
    EXPECT_LE(b->GetLeft() + b->GetWidth(), Top->GetClientWidth()) << "its gap gives way first";
    a->SetShrinkMode(tbsmChevron);
    b->SetShrinkMode(tbsmChevron);
    // One row only: the bars shrink and show their chevrons.
    Top->SetLimitToOneRow(true);
    Top->ArrangeToolbars();
    EXPECT_EQ(b->GetEffectiveDockRow(), 0);
    EXPECT_LE(a->GetWidth() + b->GetWidth(), Top->GetClientWidth());
    TBarItemViewer* chevron = b->GetView()->Find(b->GetChevronItem());
    EXPECT_TRUE(chevron->Show || a->GetView()->Find(a->GetChevronItem())->Show);
}

TEST_F(BarDockTest, TheChevronShowsTheHiddenItemsAndIsDisabledForControlsAlone) {
    Form->SetWidth(220);
    Top->SetLimitToOneRow(true);
    TBarCustomToolbar* bar = Bar(Top, {"Alpha", "Beta", "Gamma", "Delta", "Epsilon"}, 0, 0);
    bar->GetView()->ValidatePositions();
    TBarItemViewer* chevron = bar->GetView()->Find(bar->GetChevronItem());
    ASSERT_TRUE(chevron->Show);
    EXPECT_EQ(chevron->BoundsRect.Width(), 12);
    EXPECT_TRUE(bar->GetChevronItem()->GetEnabled());
    std::vector<std::string> hidden;
    for (int i = 0; i < bar->GetView()->GetViewerCount(); ++i)
        if (bar->GetView()->GetViewers(i)->OffEdge) hidden.push_back(bar->GetView()->GetViewers(i)->GetItem()->GetCaption());
    ASSERT_FALSE(hidden.empty());

    // Its popup shows exactly the hidden items.
    bar->GetView()->Select(chevron, false);
    bar->GetView()->OpenChildPopup(false);
    TBarView* popupView = bar->GetView()->GetOpenChildView();
    ASSERT_NE(popupView, nullptr);
    std::vector<std::string> shown;
    for (int i = 0; i < popupView->GetViewerCount(); ++i)
        if (popupView->GetViewers(i)->Show) shown.push_back(popupView->GetViewers(i)->GetItem()->GetCaption());
    EXPECT_EQ(shown, hidden);
    bar->GetView()->CloseChildPopups();

    // Only a control gave way: the chevron is there but disabled.
    TBarCustomToolbar* withEdit = Bar(Bottom, {"Go"}, 0, 0);
    withEdit->SetChevronPriorityForNewItems(tbcpLowest);
    Bottom->SetLimitToOneRow(true);
    gcl::TEdit* edit = gcl::TEdit::Create(Form);
    edit->SetBounds(0, 0, 400, 20);
    edit->SetParent(withEdit);
    withEdit->GetRootItem()->Move(withEdit->GetRootItem()->GetCount() - 1, 1);
    withEdit->Arrange();
    withEdit->GetView()->ValidatePositions();
    TBarItemViewer* chevron2 = withEdit->GetView()->Find(withEdit->GetChevronItem());
    EXPECT_TRUE(chevron2->Show);
    EXPECT_FALSE(withEdit->GetChevronItem()->GetEnabled());
}

// The item a bar keeps longer than its dock's whole room (a dock made
// narrower) does not hold the bar past the dock's end: the bar fits the
// dock and its chevron lies inside it.
TEST_F(BarDockTest, AnItemLongerThanTheDockLeavesTheChevronInside) {
    Form->SetWidth(400);
    TBarCustomToolbar* bar = Bar(Top, {"A caption longer than the dock is wide", "Beta", "Gamma"}, 0, 0);
    bar->GetView()->RaisePriority(bar->GetView()->GetViewers(0));
    Top->ArrangeToolbars();
    Form->SetWidth(160);
    Top->ArrangeToolbars();
    bar->GetView()->ValidatePositions();
    EXPECT_LE(bar->GetLeft() + bar->GetWidth(), Top->GetClientWidth());
    TBarItemViewer* chevron = bar->GetView()->Find(bar->GetChevronItem());
    ASSERT_TRUE(chevron->Show);
    EXPECT_TRUE(bar->GetChevronItem()->GetEnabled());
    EXPECT_LE(chevron->BoundsRect.Right, bar->GetClientWidth());
    EXPECT_LE(bar->GetView()->GetViewers(0)->BoundsRect.Right, chevron->BoundsRect.Left);
}

TEST_F(BarDockTest, FloatAndDockBackKeepTheWindowHandle) {
    TBarCustomToolbar* bar = Bar(Top, {"One", "Two"});
    bar->SetName("Tools");
    const HWND wnd = bar->GetHandle();
    bar->SetFloatingPosition(TPoint{200, 200});
    bar->SetFloating(true);
    ASSERT_TRUE(bar->GetFloating());
    EXPECT_EQ(bar->GetHandle(), wnd);
    EXPECT_EQ(Top->GetHeight(), 0);
    TBarFloatingWindowParent* fp = bar->GetFloatParent();
    ASSERT_NE(fp, nullptr);
    const HWND fw = fp->GetHandle();
    EXPECT_EQ(GetParent(wnd), fw);
    char expected[64];
    snprintf(expected, sizeof expected, "NBFloatingWindowParent_%.8X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(fp)));
    EXPECT_EQ(fp->GetName(), expected);
    const LONG style = GetWindowLongA(fw, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_BORDER | WS_THICKFRAME), WS_POPUP | WS_BORDER | WS_THICKFRAME);
    EXPECT_EQ(GetWindowLongA(fw, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, WS_EX_TOOLWINDOW) << "the system adds only the edge";
    EXPECT_TRUE(IsWindowVisible(fw));

    // Hit codes of the frame: caption, close button, edges (no corners
    // for toolbars).
    RECT wr{};
    GetWindowRect(fw, &wr);
    const TPoint b = bar->GetFloatingBorderSize();
    const int cap = GetSystemMetrics(SM_CYSMCAPTION);
    auto hit = [&](int x, int y) { return SendMessageA(fw, WM_NCHITTEST, 0, MAKELPARAM(wr.left + x, wr.top + y)); };
    EXPECT_EQ(hit(b.X + 2, b.Y + cap / 2), HT_TB2K_CAPTION);
    EXPECT_EQ(hit(wr.right - wr.left - b.X - 3, b.Y + cap / 2), HT_TB2K_CLOSEBUTTON);
    EXPECT_EQ(hit(0, (wr.bottom - wr.top) / 2), HTLEFT);
    EXPECT_EQ(hit(wr.right - wr.left - 1, (wr.bottom - wr.top) / 2), HTRIGHT);
    EXPECT_EQ(hit(1, 0), HTTOP) << "no corner zones without corner sizing";
    EXPECT_EQ(hit((wr.right - wr.left) / 2, wr.bottom - wr.top - 1), HTBOTTOM);
    EXPECT_EQ(hit(b.X + 2, b.Y + cap + 2), HTCLIENT);
    bar->SetCloseButton(false);
    EXPECT_EQ(hit(wr.right - wr.left - b.X - 3, b.Y + cap / 2), HT_TB2K_CAPTION);

    // A double-click on the caption docks it back where it came from.
    SendMessageA(fw, WM_NCLBUTTONDBLCLK, HT_TB2K_CAPTION, 0);
    EXPECT_TRUE(bar->GetDocked());
    EXPECT_EQ(bar->GetCurrentDock(), Top);
    EXPECT_EQ(bar->GetHandle(), wnd);
    EXPECT_FALSE(IsWindow(fw)) << "the floating window it left is freed";
    EXPECT_EQ(Top->GetHeight(), RowThickness(bar));
}

TEST_F(BarDockTest, ADragMovesABarToAnotherDock) {
    for (bool smooth : {true, false}) {
        SCOPED_TRACE(smooth ? "smooth" : "outline");
        TBarCustomToolbar* bar = Bar(Top, {"One", "Two"});
        TBarCustomToolbar* other = Bar(Top, {"Other"}, 0, 300);
        (void)other;
        bar->SetSmoothDrag(smooth);
        const HWND wnd = bar->GetHandle();
        // Onto the left dock: the pointer goes to the form's left edge.
        POINT target{4, 200};
        ClientToScreen(Form->GetHandle(), &target);
        SetCursorPos(target.x, target.y);
        PostMessageA(wnd, WM_MOUSEMOVE, 0, 0);
        PostMessageA(wnd, WM_LBUTTONUP, 0, 0);
        TLoopWatchdog watchdog;
        bar->BeginMoving(4, 4);
        EXPECT_FALSE(watchdog.Fired());
        EXPECT_EQ(bar->GetCurrentDock(), Left);
        EXPECT_EQ(bar->GetHandle(), wnd);
        EXPECT_FALSE(bar->GetDragging());
        EXPECT_EQ(bar->GetView()->GetOrientation(), tbvoVertical);
        EXPECT_GT(Left->GetWidth(), 0);
        EXPECT_EQ(bar->GetLastDock(), Left);
        bar->Free();
        other->Free();
    }
    // Escape leaves an outline drag without effect.
    TBarCustomToolbar* bar = Bar(Top, {"One"});
    bar->SetSmoothDrag(false);
    POINT target{4, 200};
    ClientToScreen(Form->GetHandle(), &target);
    SetCursorPos(target.x, target.y);
    PostMessageA(bar->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
    TLoopWatchdog watchdog;
    bar->BeginMoving(4, 4);
    EXPECT_EQ(bar->GetCurrentDock(), Top);
}

struct TRefuseDock : gcl::TObject {
    void Request(gcl::TObject*, TBarCustomDockableWindow*, bool& accept) { accept = false; }
};

TEST_F(BarDockTest, DragRulesCtrlCannotFloatAndRefusingDocks) {
    POINT leftEdge{4, 200};
    ClientToScreen(Form->GetHandle(), &leftEdge);
    POINT middle{320, 220};
    ClientToScreen(Form->GetHandle(), &middle);
    TLoopWatchdog watchdog;

    // Ctrl keeps the bar floating even over a dock.
    TBarCustomToolbar* bar = Bar(Top, {"One", "Two"});
    SetCursorPos(leftEdge.x, leftEdge.y);
    PostMessageA(bar->GetHandle(), WM_KEYDOWN, VK_CONTROL, 0);
    PostMessageA(bar->GetHandle(), WM_LBUTTONUP, 0, 0);
    bar->BeginMoving(4, 4);
    EXPECT_TRUE(bar->GetFloating());
    bar->Free();

    // A bar that cannot float stays where it was when let go away from docks.
    bar = Bar(Top, {"One", "Two"});
    bar->SetDockMode(dmCannotFloat);
    SetCursorPos(middle.x, middle.y);
    PostMessageA(bar->GetHandle(), WM_LBUTTONUP, 0, 0);
    bar->BeginMoving(4, 4);
    EXPECT_EQ(bar->GetCurrentDock(), Top);
    bar->Free();

    // A dock that refuses is not a target: the bar floats instead.
    TRefuseDock refuse;
    Left->OnRequestDock = TBarRequestDockEvent(&refuse, &TRefuseDock::Request);
    bar = Bar(Top, {"One", "Two"});
    SetCursorPos(leftEdge.x, leftEdge.y);
    PostMessageA(bar->GetHandle(), WM_LBUTTONUP, 0, 0);
    bar->BeginMoving(4, 4);
    EXPECT_NE(bar->GetCurrentDock(), Left);
    EXPECT_TRUE(bar->GetFloating());
    EXPECT_FALSE(watchdog.Fired());

    // A floating bar with neither a last nor a default dock stays afloat on
    // a double-click; the docked close button is an 11-pixel square.
    bar->SetUseLastDock(false);
    bar->DoubleClick();
    EXPECT_TRUE(bar->GetFloating());
    bar->SetDefaultDock(Bottom);
    bar->DoubleClick();
    EXPECT_EQ(bar->GetCurrentDock(), Bottom);
    bar->SetCloseButtonWhenDocked(true);
    const TRect close = bar->GetDockedCloseButtonRect(false);
    EXPECT_EQ(close.Width(), 11);
    EXPECT_EQ(close.Height(), 11);
}

TEST_F(BarDockTest, LeftRightDockAcceptance) {
    // The literal rule: on a left or right dock the pointer must lie within
    // the dock's height (grown by 3) and within the band around it.
    TBarCustomToolbar* bar = Bar(Top, {"One", "Two"});
    RECT lr{};
    GetWindowRect(Left->GetHandle(), &lr);
    POINT below{lr.left + 2, lr.bottom + 10};   // below the dock: refused
    SetCursorPos(below.x, below.y);
    PostMessageA(bar->GetHandle(), WM_LBUTTONUP, 0, 0);
    TLoopWatchdog watchdog;
    bar->BeginMoving(4, 4);
    EXPECT_NE(bar->GetCurrentDock(), Left);
}

TEST_F(BarDockTest, AFloatingResizePassesOnlyThroughWidthsThatChangeTheLineCount) {
    TBarCustomToolbar* bar = Bar(Top, {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta"});
    bar->SetFloatingPosition(TPoint{150, 150});
    bar->SetFloating(true);
    std::vector<TPoint> sizes;
    bar->ListFloatingSizes(sizes);
    ASSERT_GE(sizes.size(), 3u);
    int lastLines = 0;
    std::vector<int> lines;
    for (TPoint s : sizes) {
        bar->SetFloatingWrapWidth(s.X == sizes.front().X ? 0 : s.X);
        TPoint size;
        bar->DoArrange(false, dtFloating, size, nullptr, true);
        EXPECT_EQ(size.X, s.X);
        lines.push_back(bar->GetLastWrappedLines());
        EXPECT_GT(bar->GetLastWrappedLines(), lastLines) << "each width has more lines than the one before";
        lastLines = bar->GetLastWrappedLines();
    }
    bar->SetFloatingWrapWidth(0);

    // Dragging the right edge left snaps to a listed width.
    TBarFloatingWindowParent* fp = bar->GetFloatParent();
    RECT wr{};
    GetWindowRect(fp->GetHandle(), &wr);
    const int nc = bar->FloatingNCSize().X;
    const int goal = sizes[1].X + nc + 3;   // a little wider than the second width
    SetCursorPos(wr.right - 1, (wr.top + wr.bottom) / 2);
    TLoopScript script;
    script.Then([&] {
              SetCursorPos(wr.left + goal, (wr.top + wr.bottom) / 2);
              PostMessageA(fp->GetHandle(), WM_MOUSEMOVE, 0, 0);
          })
        .Then([&] { PostMessageA(fp->GetHandle(), WM_LBUTTONUP, 0, 0); });
    script.Start();
    TLoopWatchdog watchdog;
    bar->BeginSizing(twshRight);
    EXPECT_FALSE(watchdog.Fired());
    const int client = bar->GetClientWidth();
    EXPECT_TRUE(std::any_of(sizes.begin(), sizes.end(), [&](TPoint s) { return s.X == client; }))
        << "client width " << client;
    EXPECT_NE(client, sizes.front().X);
}

TEST_F(BarDockTest, MenuBarKeys) {
    TBarCustomToolbar* menu = MenuBar();
    menu->GetView()->ValidatePositions();
    const HWND wnd = menu->GetHandle();
    TBarView* view = menu->GetView();

    // Alt (or F10) alone: the first item is selected, nothing opens.
    std::string selected;
    size_t popups = 99;
    TLoopScript script;
    script.Then([&] {
        selected = view->GetSelected() ? view->GetSelected()->GetItem()->GetCaption() : "";
        popups = OpenPopups().size();
        QueueKey(VK_ESCAPE);
    });
    script.Start();
    TLoopWatchdog watchdog;
    EXPECT_EQ(SendMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, 0), 1);
    EXPECT_EQ(selected, "&File");
    EXPECT_EQ(popups, 0u);
    EXPECT_EQ(view->GetSelected(), nullptr) << "the loop is over";

    // Alt+E: one match opens its menu at once; Down and Enter click an item.
    TLoopScript script2;
    script2.Then([&] {
        popups = OpenPopups().size();
        QueueKey(VK_DOWN);
        QueueKey(VK_RETURN);
    });
    script2.Start();
    EXPECT_EQ(SendMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, 'e'), 1);
    EXPECT_EQ(popups, 1u);
    qelvo::test::PumpApplication(300, [&] { return !Clicks->Log.empty(); });
    EXPECT_EQ(Clicks->Log, std::vector<std::string>{"&Open"});

    // Alt+Space and Alt+hyphen are left to the system; an unknown letter
    // beeps and opens nothing.
    EXPECT_EQ(SendMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, ' '), 0);
    EXPECT_EQ(SendMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, '-'), 0);
    EXPECT_EQ(SendMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, 'q'), 1);
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(BarDockTest, APlainToolbarClicksAUniqueAcceleratorWithoutAlt) {
    TBarCustomToolbar* bar = Bar(Top, {"&Save", "&Print", "&Preview"});
    EXPECT_EQ(bar->Perform(gcl::CM_DIALOGCHAR, 's'), 1);
    qelvo::test::PumpApplication(300, [&] { return !Clicks->Log.empty(); });
    EXPECT_EQ(Clicks->Log, std::vector<std::string>{"&Save"});
    EXPECT_EQ(bar->Perform(gcl::CM_DIALOGCHAR, 'p'), 0) << "two matches do nothing";
}

TEST_F(BarDockTest, ShortcutsOfToolbarsReachTheWholeForm) {
    TBarCustomToolbar* bar = Bar(Top, {"Refresh"});
    bar->GetRootItem()->GetItem(0)->SetShortCut(gcl::ShortCut(VK_F5, gcl::TShiftState{}));
    SetActiveWindow(Form->GetHandle());
    ASSERT_NE(gcl::Application->GetHandle(), nullptr);
    EXPECT_EQ(SendMessageA(gcl::Application->GetHandle(), gcl::CM_APPKEYDOWN, VK_F5, 0), 0) << "not asked yet";
    bar->SetProcessShortCuts(true);
    EXPECT_EQ(SendMessageA(gcl::Application->GetHandle(), gcl::CM_APPKEYDOWN, VK_F5, 0), 1);
    EXPECT_EQ(Clicks->Log, std::vector<std::string>{"Refresh"});
    // Under a modal window the form is disabled as a window: its
    // shortcuts wait.
    EnableWindow(Form->GetHandle(), FALSE);
    EXPECT_EQ(SendMessageA(gcl::Application->GetHandle(), gcl::CM_APPKEYDOWN, VK_F5, 0), 0);
    EnableWindow(Form->GetHandle(), TRUE);
    EXPECT_EQ(Clicks->Log.size(), 1u);
    bar->SetProcessShortCuts(false);
    EXPECT_EQ(SendMessageA(gcl::Application->GetHandle(), gcl::CM_APPKEYDOWN, VK_F5, 0), 0);
}

TEST_F(BarDockTest, TheMenuBarHooksRetrievedMessagesOnlyWhileItIsOne) {
    ASSERT_EQ(ThreadHookHandle(thkGetMessage), nullptr);
    TBarCustomToolbar* menu = MenuBar();
    EXPECT_NE(ThreadHookHandle(thkGetMessage), nullptr);
    // The class library's forms have no MDI client: Alt+letter and
    // Alt+hyphen keep the window they were typed in.
    for (WPARAM ch : {WPARAM('e'), WPARAM('-')}) {
        PostMessageA(Top->GetHandle(), WM_SYSCHAR, ch, 0);
        MSG msg{};
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_SYSCHAR, WM_SYSCHAR, PM_REMOVE));
        EXPECT_EQ(msg.hwnd, Top->GetHandle());
    }
    menu->SetMenuBar(false);
    EXPECT_EQ(ThreadHookHandle(thkGetMessage), nullptr);
    menu->SetMenuBar(true);
    menu->Free();
    EXPECT_EQ(ThreadHookHandle(thkGetMessage), nullptr) << "a freed menu bar leaves the hook";
}

TEST_F(BarDockTest, OnlyFloatingBarsHookTheThreadsMessages) {
    ASSERT_EQ(ThreadHookHandle(thkCallWndProc), nullptr);
    TBarCustomToolbar* bar = Bar(Top, {"One"});
    TBarCustomToolbar* other = Bar(Top, {"Two"});
    EXPECT_EQ(ThreadHookHandle(thkCallWndProc), nullptr) << "docked bars send their messages unhooked";
    EXPECT_EQ(ThreadHookHandle(thkCBT), nullptr);

    bar->SetFloatingPosition(TPoint{200, 200});
    bar->SetFloating(true);
    other->SetFloatingPosition(TPoint{300, 200});
    other->SetFloating(true);
    EXPECT_NE(ThreadHookHandle(thkCallWndProc), nullptr);
    EXPECT_NE(ThreadHookHandle(thkCBT), nullptr);
    // A floating window whose owner goes away is handed to the application.
    HWND fw = bar->GetFloatParent()->GetHandle();
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(fw, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    DestroyWindow(owner);
    EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrA(fw, GWLP_HWNDPARENT)), gcl::Application->GetHandle());

    other->SetFloating(false);
    EXPECT_NE(ThreadHookHandle(thkCallWndProc), nullptr) << "one bar still floats";
    bar->SetFloating(false);
    EXPECT_EQ(ThreadHookHandle(thkCallWndProc), nullptr);
    EXPECT_EQ(ThreadHookHandle(thkCBT), nullptr);
    bar->SetFloating(true);
    bar->Free();
    EXPECT_EQ(ThreadHookHandle(thkCallWndProc), nullptr) << "a freed floating bar leaves the hooks";
    EXPECT_EQ(ThreadHookHandle(thkCBT), nullptr);
}

TEST_F(BarDockTest, TabSkipsTheControlsOfShownControlItems) {
    TBarCustomToolbar* bar = Bar(Top, {"One"});
    auto* hosted = gcl::TPanel::Create(Form);
    hosted->SetBounds(0, 0, 40, 18);
    hosted->SetParent(bar);
    auto* inner = gcl::TEdit::Create(Form);
    inner->SetParent(hosted);
    auto* outside = gcl::TEdit::Create(Form);
    outside->SetParent(Form);
    ASSERT_EQ(bar->GetRootItem()->GetCount(), 2) << "the panel got a control item";
    std::vector<gcl::TWinControl*> list;
    Form->GetTabOrderList(list);
    EXPECT_TRUE(gcl::Contains(list, static_cast<gcl::TWinControl*>(outside)));
    EXPECT_TRUE(gcl::Contains(list, static_cast<gcl::TWinControl*>(bar)));
    EXPECT_FALSE(gcl::Contains(list, static_cast<gcl::TWinControl*>(hosted)));
    EXPECT_FALSE(gcl::Contains(list, static_cast<gcl::TWinControl*>(inner)));
    // A control item that is not shown (its control is hidden) leaves the
    // control in the order.
    hosted->SetVisible(false);
    bar->GetView()->InvalidatePositions();
    list.clear();
    Form->GetTabOrderList(list);
    EXPECT_TRUE(gcl::Contains(list, static_cast<gcl::TWinControl*>(hosted)));
}

// Counts context requests and says whether it handles them.
struct TContextLog : gcl::TObject {
    int Requests = 0;
    bool Handle = false;
    void Requested(gcl::TObject*, TPoint, bool& Handled) {
        ++Requests;
        Handled = Handle;
    }
    int Popups = 0;
    void Popped(gcl::TObject*) { ++Popups; }
};

TEST_F(BarDockTest, ARightClickOnABarsFrameShowsItsPopupMenu) {
    TBarCustomToolbar* bar = Bar(Top, {"One"});
    auto* menu = TBarPopupMenu::Create(Form);
    TBarCustomItem* hide = TBarCustomItem::Create(Form);
    hide->SetCaption("&Hide");
    menu->GetItems()->Add(hide);
    bar->SetPopupMenu(menu);
    TContextLog log;
    bar->OnContextPopup = gcl::TContextPopupEvent(&log, &TContextLog::Requested);
    menu->OnPopup = gcl::TNotifyEvent(&log, &TContextLog::Popped);
    TLoopWatchdog watchdog;

    // On the drag handle of the docked bar: the event, then the menu at the
    // pointer.
    const TPoint handle = bar->ClientToScreen(TPoint{-4, 3});
    QueueKey(VK_ESCAPE);
    SendMessageA(bar->GetHandle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(bar->GetHandle()),
                 MAKELPARAM(handle.X, handle.Y));
    EXPECT_EQ(log.Requests, 1);
    EXPECT_EQ(log.Popups, 1);
    EXPECT_EQ(menu->GetPopupPoint(), handle);
    // An event that handles the request keeps the menu shut.
    log.Handle = true;
    SendMessageA(bar->GetHandle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(bar->GetHandle()),
                 MAKELPARAM(handle.X, handle.Y));
    EXPECT_EQ(log.Requests, 2);
    EXPECT_EQ(log.Popups, 1);
    log.Handle = false;

    // On the caption of the floating bar: the floating window passes the
    // right button up on as the bar's context request.
    bar->SetFloatingPosition(TPoint{Form->GetLeft() + 200, Form->GetTop() + 200});
    bar->SetFloating(true);
    TBarFloatingWindowParent* fp = bar->GetFloatParent();
    ASSERT_NE(fp, nullptr);
    const TRect caption = fp->GetCaptionRect(true, true);
    const TPoint onCaption{fp->GetLeft() + caption.Left + 3, fp->GetTop() + caption.Top + 3};
    QueueKey(VK_ESCAPE);
    SendMessageA(fp->GetHandle(), WM_NCRBUTTONUP, HT_TB2K_CAPTION, MAKELPARAM(onCaption.X, onCaption.Y));
    EXPECT_EQ(log.Requests, 3);
    EXPECT_EQ(log.Popups, 2);
    EXPECT_EQ(menu->GetPopupPoint(), onCaption);
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(BarDockTest, StreamsKnowWhetherTheyWereWrittenAtRunTime) {
    // The new components stream by class name.
    gcl::TUnitScope units{&BarEditItemUnit, &BarDockUnit, &BarToolbarUnit};
    for (const char* name : {"TBarDock", "TBarCustomToolbar", "TBarEditItem", "TBarPopupMenu"})
        EXPECT_NE(gcl::GetClass(name), nullptr) << name;

    TBarCustomToolbar* bar = Bar(Top, {"One"});
    bar->SetName("Tools");
    EXPECT_TRUE(bar->HasParent());
    EXPECT_EQ(bar->GetParentComponent(), Top);
    gcl::TMemoryStream stream;
    gcl::WriteComponentToStream(stream, bar);
    TBarCustomToolbar* copy = Bar(Top, {});
    copy->SetName("Copy");
    EXPECT_FALSE(copy->GetSavedAtRunTime());
    stream.SetPosition(0);
    gcl::ReadComponentFromStream(stream, copy);
    EXPECT_TRUE(copy->GetSavedAtRunTime());

    // Floating, the bar is a top-level component of its form.
    bar->SetFloating(true);
    EXPECT_FALSE(bar->HasParent());
    EXPECT_EQ(bar->GetParentComponent(), nullptr);
    // A floating position read at run time is on the screen already ...
    copy->SetFloatingPosition(TPoint{250, 260});
    copy->SetFloating(true);
    stream.SetPosition(0);
    gcl::ReadComponentFromStream(stream, copy);
    EXPECT_EQ(copy->GetFloatParent()->GetLeft(), 250);
    EXPECT_EQ(copy->GetFloatParent()->GetTop(), 260);
}

TEST_F(BarDockTest, AFloatingBarOfAFormMadeInCodeIsPlacedFromTheFormsClientArea) {
    TBarCustomToolbar* bar = nullptr;
    {
        gcl::TFormLoadScope scope(nullptr);
        bar = TBarCustomToolbar::Create(Form);
        bar->SetHideWhenInactive(false);
        TBarCustomItem* item = TBarCustomItem::Create(Form);
        item->SetCaption("Palette");
        bar->GetRootItem()->Add(item);
        bar->SetParent(Form);
        bar->SetFloatingPosition(TPoint{40, 30});
        bar->SetFloating(true);
        scope.Finish();
    }
    ASSERT_TRUE(bar->GetFloating());
    const TPoint expected = Form->ClientToScreen(TPoint{40, 30});
    EXPECT_EQ(bar->GetFloatingPosition(), expected);
    EXPECT_EQ(bar->GetFloatParent()->GetLeft(), expected.X);
    EXPECT_EQ(bar->GetFloatParent()->GetTop(), expected.Y);

    // One placed off the screen is brought back onto it, whole.
    {
        gcl::TFormLoadScope scope(nullptr);
        bar = TBarCustomToolbar::Create(Form);
        bar->SetParent(Form);
        bar->SetFloatingPosition(TPoint{-5000, -5000});
        bar->SetFloating(true);
        scope.Finish();
    }
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(bar->GetFloatParent()->GetLeft(), work.left);
    EXPECT_EQ(bar->GetFloatParent()->GetTop(), work.top);
}

// A background whose colour tells where a pixel lies from the top-left of
// the rectangle it is asked to paint: red counts columns, green rows.
class TRampBackground : public TBarBasicBackground {
    GCL_CLASS(TRampBackground, TBarBasicBackground)
public:
    bool Paints = true;
    int SysColorChanges = 0;
    void Draw(HDC DC, const TRect& R) override {
        RECT clip;
        if (GetClipBox(DC, &clip) == NULLREGION) return;
        const int left = std::max<int>(R.Left, clip.left), top = std::max<int>(R.Top, clip.top);
        const int right = std::min<int>(R.Right, clip.right), bottom = std::min<int>(R.Bottom, clip.bottom);
        if (right <= left || bottom <= top) return;
        qelvo::test::PixelCanvas picture(right - left, bottom - top);
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) picture.Set(x - left, y - top, Expected(x - R.Left, y - R.Top));
        BitBlt(DC, left, top, right - left, bottom - top, picture.DC(), 0, 0, SRCCOPY);
    }
    static COLORREF Expected(int x, int y) { return RGB(x & 0xFF, y & 0xFF, 0x80); }
    HPALETTE GetPalette() override { return nullptr; }
    void RegisterChanges(gcl::TNotifyEvent Proc) override { Changes = Proc; }
    void UnregisterChanges(gcl::TNotifyEvent Proc) override {
        if (Changes == Proc) Changes = gcl::TNotifyEvent();
    }
    void SysColorChanged() override { ++SysColorChanges; }
    bool UsingBackground() override { return Paints; }
    gcl::TNotifyEvent Changes;

protected:
    explicit TRampBackground(TComponent* AOwner) : TBarBasicBackground(AOwner) {}
};
GCL_IMPLEMENT_CLASS(TRampBackground)

// The point of a window's client area in its form's client coordinates.
TPoint InForm(gcl::TWinControl* control, gcl::TCustomForm* form, TPoint p = TPoint{0, 0}) {
    return form->ScreenToClient(control->ClientToScreen(p));
}

TEST_F(BarDockTest, TheDockBackgroundLinesUpAcrossDocksAndBars) {
    auto* ramp = TRampBackground::Create(Form);
    Top->SetBackground(ramp);
    Left->SetBackground(ramp);
    EXPECT_TRUE(ramp->Changes) << "the dock listens for changes of the picture";
    TBarCustomToolbar* bar = Bar(Top, {"One", "Two"}, 0, 40);
    Bar(Left, {"A"});
    Drain();
    Top->SetBoundLines(TBarDockBoundLines{blTop, blLeft});

    // The docks erase with the picture anchored at the form's client origin.
    for (TBarDock* dock : {Top, Left}) {
        qelvo::test::PixelCanvas c(dock->GetClientWidth(), dock->GetClientHeight(), RGB(0, 0, 0));
        EXPECT_EQ(dock->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(c.DC()), 0), 1);
        const TPoint at = InForm(dock, Form, TPoint{3, 2});
        EXPECT_EQ(c.At(3, 2), TRampBackground::Expected(at.X, at.Y)) << dock->GetPosition();
    }
    // So does the bar's client area ...
    qelvo::test::PixelCanvas client(bar->GetClientWidth(), bar->GetClientHeight(), RGB(0, 0, 0));
    EXPECT_EQ(bar->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(client.DC()), 0), 1);
    TPoint at = InForm(bar, Form, TPoint{5, 1});
    EXPECT_EQ(client.At(5, 1), TRampBackground::Expected(at.X, at.Y));
    // ... and its frame inside the outer pixel, the drag handle included.
    RECT wr;
    GetWindowRect(bar->GetHandle(), &wr);
    qelvo::test::PixelCanvas frame(wr.right - wr.left, wr.bottom - wr.top, RGB(0, 0, 0));
    SendMessageA(bar->GetHandle(), WM_PRINT, reinterpret_cast<WPARAM>(frame.DC()), PRF_NONCLIENT);
    const TPoint windowInForm = Form->ScreenToClient(TPoint{wr.left, wr.top});
    for (TPoint p : {TPoint{1, 1}, TPoint{7, 10}, TPoint{frame.Width() - 2, frame.Height() - 2}})
        EXPECT_EQ(frame.At(p.X, p.Y), TRampBackground::Expected(windowInForm.X + p.X, windowInForm.Y + p.Y))
            << p.X << "," << p.Y;
    EXPECT_NE(frame.At(0, 0), TRampBackground::Expected(windowInForm.X, windowInForm.Y)) << "the raised edge";
    EXPECT_EQ(frame.At(8, 5), RGB(0, 0, 0)) << "the client area is left alone";

    // On the screen: one picture runs across both docks and the bars' frames.
    Drain();
    EXPECT_GT(qelvo::test::SaveWindowScreenshot(Form->GetHandle(), "toolbar_dock_background.bmp"), 20);

    // A moved bar repaints itself at once, a part waiting for its paint
    // included; one waiting for a whole repaint is left to it.
    Drain();
    RECT pending{0, 0, 4, 4};
    InvalidateRect(bar->GetHandle(), &pending, FALSE);
    bar->SetDockPos(90);
    EXPECT_EQ(bar->GetLeft(), 90);
    EXPECT_FALSE(GetUpdateRect(bar->GetHandle(), &pending, FALSE));
    InvalidateRect(bar->GetHandle(), nullptr, FALSE);
    bar->SetDockPos(100);
    EXPECT_TRUE(GetUpdateRect(bar->GetHandle(), &pending, FALSE));

    // Off the bars, the bars keep their colour; the dock still paints.
    Top->SetBackgroundOnToolbars(false);
    client.Fill(RGB(0, 0, 0));
    bar->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(client.DC()), 0);
    EXPECT_EQ(client.At(5, 1), gcl::ColorToRGB(gcl::clBtnFace));
    frame.Fill(RGB(0, 0, 0));
    SendMessageA(bar->GetHandle(), WM_PRINT, reinterpret_cast<WPARAM>(frame.DC()), PRF_NONCLIENT);
    EXPECT_EQ(frame.At(7, 10), gcl::ColorToRGB(gcl::clBtnFace));
    // A background that does not paint leaves the dock its colour.
    ramp->Paints = false;
    qelvo::test::PixelCanvas dockCanvas(Top->GetClientWidth(), Top->GetClientHeight(), RGB(0, 0, 0));
    Top->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dockCanvas.DC()), 0);
    EXPECT_EQ(dockCanvas.At(3, 2), gcl::ColorToRGB(gcl::clBtnFace));

    Top->Perform(gcl::CM_SYSCOLORCHANGE);
    EXPECT_EQ(ramp->SysColorChanges, 1);
    ramp->Free();
    EXPECT_EQ(Top->GetBackground(), nullptr);
    EXPECT_EQ(Left->GetBackground(), nullptr);
}

TEST_F(BarDockTest, ScreenshotOfTheTestFormWithAPopupOpen) {
    TBarCustomToolbar* menu = MenuBar();
    Bar(Top, {"&New", "&Open", "&Save"}, 1, 0);
    Bar(Top, {"Cut", "Copy", "Paste"}, 1, 150);
    Bar(Left, {"A", "B", "C"});
    Bar(Right, {"X", "Y"});
    Bar(Bottom, {"Ready"})->SetFullSize(true);
    TBarCustomToolbar* floating = Bar(Top, {"Floating", "Bar"}, 2, 0);
    floating->SetName("Palette");
    floating->SetFloatingPosition(TPoint{Form->GetLeft() + 380, Form->GetTop() + 220});
    floating->SetFloating(true);
    TBarView* view = menu->GetView();
    view->SetState(view->GetState() | vsModal);
    view->Select(view->Find(menu->GetRootItem()->GetItem(1)), false);
    view->OpenChildPopup(true);
    qelvo::test::PumpApplication(150);
    EXPECT_GT(qelvo::test::SaveWindowScreenshot(Form->GetHandle(), "toolbar_docks.bmp"), 20);
    view->CloseChildPopups();
    view->SetState(0);
}

} // namespace
