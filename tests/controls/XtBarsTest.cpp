// The extended popup menu: the popup opens for a control, its owner sees
// the popup's view before the loop runs, and the control and its children
// hear CM_POPUPMENUCLOSED; the extended button's drop-down stays open
// until that notice arrives.
#include <gtest/gtest.h>

#include <vector>

#include "controls/XtControls.h"
#include "controls/XtTestSupport.h"
#include "gcl/ExtCtrls.h"
#include "gcl/rtl/Strings.h"
#include "support/Screenshot.h"
#include "support/WindowTest.h"
#include "theming/TxBars.h"
#include "toolbar/BarHook.h"
#include "toolbar/MenuScript.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

// A control that records the popup-closed notices it hears.
class TNoticeListener : public gcl::TCustomControl {
    GCL_CLASS(TNoticeListener, gcl::TCustomControl)
public:
    std::vector<uintptr_t> Notices;
    void Dispatch(gcl::TMessage& Message) override {
        if (Message.Msg == CM_POPUPMENUCLOSED) Notices.push_back(Message.WParam);
        inherited::Dispatch(Message);
    }

protected:
    using gcl::TCustomControl::TCustomControl;
};
GCL_IMPLEMENT_CLASS(TNoticeListener)

// A bar that counts the paints it gets (through the message loop or sent
// by its own layout pass).
class TPaintCountingBar : public TXtToolbar {
    GCL_CLASS(TPaintCountingBar, TXtToolbar)
public:
    int Paints = 0;
    int ScreenErases = 0;  // erases of the bar's own window on the screen
    void Dispatch(gcl::TMessage& Message) override {
        if (Message.Msg == WM_PAINT) ++Paints;
        if (Message.Msg == WM_ERASEBKGND && HandleAllocated() &&
            WindowFromDC(reinterpret_cast<HDC>(Message.WParam)) == GetHandle())
            ++ScreenErases;
        inherited::Dispatch(Message);
    }

protected:
    using TXtToolbar::TXtToolbar;
};
GCL_IMPLEMENT_CLASS(TPaintCountingBar)

// A control that counts the times its window moved.
class TMoveCounter : public gcl::TCustomControl {
    GCL_CLASS(TMoveCounter, gcl::TCustomControl)
public:
    int Moves = 0;
    void Dispatch(gcl::TMessage& Message) override {
        if (Message.Msg == WM_WINDOWPOSCHANGED) {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
            if (pos && !(pos->flags & SWP_NOMOVE)) ++Moves;
        }
        inherited::Dispatch(Message);
    }

protected:
    using gcl::TCustomControl::TCustomControl;
};
GCL_IMPLEMENT_CLASS(TMoveCounter)

struct TPopupEvents : gcl::TObject {
    std::vector<TBarView*> Views;
    void InitPopup(gcl::TObject*, TBarView* View) { Views.push_back(View); }
};

class XtBars : public XtFormTest {
protected:
    static void SetUpTestSuite() {
        StartExtendedControls();
        gcl::InitializeUnits({&gcl::OleUnit, &BarHookUnit, &BarItemUnit, &TxBarsUnit});
    }
    TXtPopupMenu* MakeMenu() {
        auto* menu = TXtPopupMenu::Create(Form);
        for (const wchar_t* caption : {L"&First", L"&Second"}) {
            auto* item = TXtItem::Create(Form);
            item->SetCaption(caption);
            menu->GetItems()->Add(item);
        }
        return menu;
    }
    // The popup-closed notices queued for wnd (taken from the queue).
    static std::vector<WPARAM> QueuedNotices(HWND wnd) {
        std::vector<WPARAM> notices;
        MSG msg;
        while (PeekMessageA(&msg, wnd, CM_POPUPMENUCLOSED, CM_POPUPMENUCLOSED, PM_REMOVE)) notices.push_back(msg.wParam);
        return notices;
    }
};

TEST_F(XtBars, PopupForAControlReturnsTheItemAndTellsTheControlAndItsChildren) {
    auto* panel = Make<gcl::TPanel>(Form, 20, 20, 120, 60);
    auto* child = Make<TNoticeListener>(panel, 5, 5, 30, 20);
    Form->Show();
    TXtPopupMenu* menu = MakeMenu();
    TPopupEvents events;
    menu->OnInitPopup = TXtPopupEvent(&events, &TPopupEvents::InitPopup);

    QueueKey(VK_DOWN);
    QueueKey(VK_RETURN);
    TLoopWatchdog watchdog;
    TBarCustomItem* clicked = menu->PopupEx(0, 0, panel, true);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(clicked, menu->GetItems()->GetItem(0));
    ASSERT_EQ(events.Views.size(), 1u);
    EXPECT_NE(events.Views[0], nullptr);
    // Posted to the control, sent to its children at once.
    EXPECT_EQ(QueuedNotices(panel->GetHandle()), std::vector<WPARAM>{reinterpret_cast<WPARAM>(menu)});
    EXPECT_EQ(child->Notices, std::vector<uintptr_t>{reinterpret_cast<uintptr_t>(menu)});
}

TEST_F(XtBars, PopupWithoutAControlTellsNobody) {
    Form->Show();
    TXtPopupMenu* menu = MakeMenu();
    QueueKey(VK_ESCAPE);
    TLoopWatchdog watchdog;
    TBarCustomItem* clicked = nullptr;
    EXPECT_TRUE(menu->InternalPopup(100, 100, nullptr, true, clicked));
    EXPECT_EQ(clicked, nullptr);
    EXPECT_TRUE(QueuedNotices(nullptr).empty());
}

TEST_F(XtBars, ButtonDropDownStaysOpenUntilTheMenuSaysItClosed) {
    auto* button = Make<TXtButton>(Form, 20, 20, 90, 26);
    TXtPopupMenu* menu = MakeMenu();
    button->SetDropDownMenu(menu);
    Form->Show();
    QueueKey(VK_ESCAPE);
    TLoopWatchdog watchdog;
    button->Click();
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(menu->GetPopupComponent(), button);
    EXPECT_TRUE(button->GetDroppedDown());
    PumpMessages(20);
    EXPECT_FALSE(button->GetDroppedDown());
}

TEST_F(XtBars, SystemMenuBecomesItemsWithItsStatesAndImages) {
    Form->SetBorderStyle(gcl::bsSizeable);
    Form->Show();
    auto* root = TXtSubmenuItem::Create(Form);
    EXPECT_FALSE(CopyMenuToItems(nullptr, root));
    EXPECT_FALSE(CopyMenuToItems(GetSystemMenu(Form->GetHandle(), FALSE), nullptr));
    const HMENU system = GetSystemMenu(Form->GetHandle(), FALSE);
    EnableMenuItem(system, SC_RESTORE, MF_BYCOMMAND | MF_GRAYED);
    CheckMenuItem(system, SC_MOVE, MF_BYCOMMAND | MF_CHECKED);
    ASSERT_TRUE(CopyMenuToItems(system, root));
    ASSERT_EQ(root->GetCount(), GetMenuItemCount(system));
    TBarCustomItem* close = nullptr;
    TBarCustomItem* restore = nullptr;
    TBarCustomItem* move = nullptr;
    int separators = 0;
    for (int i = 0; i < root->GetCount(); ++i) {
        TBarCustomItem* item = root->GetItem(i);
        if (gcl::is<TXtSeparatorItem>(item)) ++separators;
        if (item->GetTag() == SC_CLOSE) close = item;
        if (item->GetTag() == SC_RESTORE) restore = item;
        if (item->GetTag() == SC_MOVE) move = item;
    }
    EXPECT_GE(separators, 1);
    ASSERT_NE(close, nullptr);
    ASSERT_NE(restore, nullptr);
    EXPECT_EQ(static_cast<TXtItem*>(close)->GetCaption(), GetWideMenuString(system, root->IndexOf(close)));
    EXPECT_TRUE(close->GetOptions().Contains(tboDefault));
    EXPECT_FALSE(restore->GetEnabled());
    ASSERT_NE(move, nullptr);
    EXPECT_TRUE(move->GetChecked());
    EXPECT_FALSE(close->GetChecked());

    auto* popup = TXtPopupMenu::Create(Form);
    ASSERT_TRUE(FillSystemMenuItems(Form, false, true, popup, true, false));
    EXPECT_EQ(popup->GetPopupComponent(), Form);
    EXPECT_EQ(popup->GetImages(), XtGlyphs);
    for (int i = 0; i < popup->GetItems()->GetCount(); ++i) {
        TBarCustomItem* item = popup->GetItems()->GetItem(i);
        switch (item->GetTag()) {
        case SC_CLOSE: EXPECT_EQ(item->GetImageIndex(), 0); EXPECT_TRUE(item->GetVisible()); break;
        case SC_MAXIMIZE: EXPECT_FALSE(item->GetVisible()); EXPECT_EQ(item->GetImageIndex(), 1); break;
        case SC_MINIMIZE: EXPECT_TRUE(item->GetVisible()); EXPECT_EQ(item->GetImageIndex(), 2); break;
        case SC_RESTORE: EXPECT_FALSE(item->GetEnabled()); EXPECT_EQ(item->GetImageIndex(), 3); break;
        case SC_SIZE: EXPECT_FALSE(item->GetVisible()); break;
        case SC_MOVE: EXPECT_TRUE(item->GetEnabled()); break;   // every entry enabled first
        default: break;
        }
    }
}

TEST_F(XtBars, SystemMenuPopupCarriesOutTheChosenCommand) {
    Form->SetBorderStyle(gcl::bsSizeable);
    Form->Show();
    // Escape: no command.
    QueueKey(VK_ESCAPE);
    {
        TLoopWatchdog watchdog;
        EXPECT_EQ(ShowSystemMenuPopup(Form, TPoint{60, 60}, true, true), 0);
    }
    // Maximize chosen by its accelerator is carried out on the form.
    TPopupEvents events;
    QueueKey('X');
    {
        TLoopWatchdog watchdog;
        EXPECT_EQ(ShowSystemMenuPopup(Form, TPoint{60, 60}, true, true,
                                      TXtPopupEvent(&events, &TPopupEvents::InitPopup)),
                  SC_MAXIMIZE);
    }
    EXPECT_EQ(Form->GetWindowState(), gcl::wsMaximized);
    EXPECT_EQ(events.Views.size(), 1u);
}

} // namespace

namespace {

struct TBarEvents : gcl::TObject {
    std::vector<TBarItemChangedAction> Actions;
    void Notified(gcl::TObject*, TBarCustomItem*, bool, TBarItemChangedAction Action, int, TBarCustomItem*) {
        Actions.push_back(Action);
    }
    int Inserted() const { return static_cast<int>(std::count(Actions.begin(), Actions.end(), tbicInserted)); }
};

class XtToolbars : public XtBars {
protected:
    TXtDock* Dock = nullptr;
    TXtToolbar* Bar = nullptr;
    void MakeBar(int DockWidth = 400) { MakeBarOf(TXtToolbar::Create(Form), DockWidth); }
    // A bar that counts its paints, docked like MakeBar's.
    TPaintCountingBar* MakePaintCountingBar() {
        auto* bar = TPaintCountingBar::Create(Form);
        MakeBarOf(bar, 400);
        return bar;
    }
    void MakeBarOf(TXtToolbar* ABar, int DockWidth) {
        Dock = Make<TXtDock>(Form, 0, 0, DockWidth, 30);
        Bar = ABar;
        Bar->SetCurrentDock(Dock);
        Bar->SetParent(Dock);
    }
    // What the bar answers CM_HINTSHOW over Item, with shortcuts in hints.
    static gcl::THintInfo HintOver(TXtToolbar* ABar, TBarCustomItem* Item) {
        const bool saved = gcl::Application->GetHintShortCuts();
        gcl::Application->SetHintShortCuts(true);
        const TRect r = ABar->GetView()->Find(Item)->BoundsRect;
        gcl::THintInfo info;
        info.CursorPos = TPoint{r.Left + 2, r.Top + 2};
        ABar->Perform(gcl::CM_HINTSHOW, 0, reinterpret_cast<intptr_t>(&info));
        gcl::Application->SetHintShortCuts(saved);
        return info;
    }
    template <class T = TXtItem>
    T* NewItem(const wchar_t* Caption) {
        auto* item = T::Create(Form);
        item->SetCaption(Caption);
        return item;
    }
    TXtItem* AddItem(const wchar_t* Caption) {
        TXtItem* item = NewItem(Caption);
        Bar->GetItems()->Add(item);
        return item;
    }
};

TEST_F(XtToolbars, NewBarsAndDocksStartWithTheirDefaults) {
    MakeBar();
    EXPECT_TRUE(Bar->GetChevronVertical());
    EXPECT_FALSE(Bar->GetCompoundToolbar());
    EXPECT_TRUE(Bar->GetCustomizable());
    EXPECT_EQ(Bar->GetCustomizingCount(), 0);
    EXPECT_EQ(Bar->GetItemNotificationLock(), 0);
    EXPECT_EQ(Bar->GetDisplayMode(), tbdmSelectiveCaption);
    EXPECT_FALSE(Bar->GetAnchoringInProgress());
    EXPECT_TRUE(gcl::IsRectEmpty(Bar->GetDropMarkRect()));
    EXPECT_EQ(Bar->GetDragItemViewer(), nullptr);
    ASSERT_NE(Bar->GetItemCache(), nullptr);
    EXPECT_EQ(Bar->GetItemCache()->GetCount(), 0);
    ASSERT_NE(Bar->GetXtView(), nullptr);
    EXPECT_EQ(Bar->GetXtView()->GetMaxSize(), -1);
    EXPECT_EQ(Bar->GetRightAlignMargin(), 0);
    EXPECT_TRUE(gcl::is<TXtChevronItem>(Bar->GetChevronItem()));
    EXPECT_EQ(gcl::FindClass("TXtToolbar"), TXtToolbar::StaticClass());
    EXPECT_EQ(gcl::FindClass("TXtDock"), TXtDock::StaticClass());

    Bar->SetCustomizingCount(-3);
    EXPECT_EQ(Bar->GetCustomizingCount(), 0);
    Bar->EndItemNotificationLock();
    EXPECT_EQ(Bar->GetItemNotificationLock(), 0);
    Bar->BeginItemNotificationLock();
    Bar->BeginItemNotificationLock();
    Bar->EndItemNotificationLock();
    EXPECT_EQ(Bar->GetItemNotificationLock(), 1);
}

TEST_F(XtToolbars, WideCaptionAndHintRoundTrip) {
    MakeBar();
    Bar->HandleNeeded();
    const std::wstring greek = L"\x0391\x03C1\x03C7\x03B5\x03AF\x03BF";
    Bar->SetCaption(greek);
    EXPECT_EQ(Bar->GetCaption(), greek);
    Bar->SetHint(L"\x6253\x5F00|long");
    EXPECT_EQ(Bar->GetHint(), L"\x6253\x5F00|long");
}

TEST_F(XtToolbars, ImageAboveCaptionModeSetsAndClearsBothOptions) {
    MakeBar();
    Bar->SetDisplayMode(tbdmImageAboveCaption);
    EXPECT_TRUE(Bar->GetOptions().Contains(tboImageAboveCaption));
    EXPECT_TRUE(Bar->GetOptions().Contains(tboSameWidth));
    Bar->SetDisplayMode(tbdmTextOnly);
    EXPECT_FALSE(Bar->GetOptions().Contains(tboImageAboveCaption));
    EXPECT_FALSE(Bar->GetOptions().Contains(tboSameWidth));
}

TEST_F(XtToolbars, NotificationLockSilencesInsertions) {
    MakeBar();
    TBarEvents events;
    Bar->OnItemNotification = TXtItemNotificationEvent(&events, &TBarEvents::Notified);
    AddItem(L"One");
    EXPECT_EQ(events.Inserted(), 1);
    Bar->BeginItemNotificationLock();
    AddItem(L"Two");
    EXPECT_EQ(events.Inserted(), 1);
    Bar->EndItemNotificationLock();
    AddItem(L"Three");
    EXPECT_EQ(events.Inserted(), 2);
}

TEST_F(XtToolbars, MaxSizeLimitsTheThicknessOfViewers) {
    MakeBar();
    TXtItem* item = AddItem(L"Tall");
    item->SetCustomHeight(40);
    Form->Show();
    PumpMessages(50);
    EXPECT_EQ(Bar->GetView()->Find(item)->BoundsRect.Height(), 40);
    Bar->GetXtView()->SetMaxSize(18);
    EXPECT_EQ(Bar->GetView()->Find(item)->BoundsRect.Height(), 18);
}

// A toolbar whose drag steps the tests call directly.
class TDragToolbar : public TXtToolbar {
    GCL_CLASS(TDragToolbar, TXtToolbar)
public:
    using TXtToolbar::DragDrop;
    using TXtToolbar::DragOver;

protected:
    using TXtToolbar::TXtToolbar;
};

struct TPaintEvents : gcl::TObject {
    std::vector<TXtPaintStage> DockStages;
    bool ClearDefault = false;
    void DockBackground(gcl::TObject*, TCanvas* Canvas, const TRect& Rect, TXtPaintStage Stage, bool& PaintDefault) {
        DockStages.push_back(Stage);
        if (Stage != pstPrePaint) return;
        Canvas->GetBrush()->SetColor(gcl::clRed);
        Canvas->FillRect(Rect);
        if (ClearDefault) PaintDefault = false;
    }
    int LabelClicks = 0;
    void LabelClick(gcl::TObject*) { ++LabelClicks; }
    std::vector<TBarCustomItem*> Closed;
    void ClosePopup(gcl::TObject*, TBarCustomItem* Clicked) { Closed.push_back(Clicked); }
};

TEST_F(XtToolbars, SpacerPushesTheFollowingItemsToTheFarEdgeAndNeverGoesNegative) {
    MakeBar();
    AddItem(L"Left");
    auto* spacer = TXtRightAlignSpacerItem::Create(Form);
    Bar->GetItems()->Add(spacer);
    TXtItem* right = AddItem(L"Right");
    Form->Show();
    PumpMessages(50);
    Bar->Resize();
    EXPECT_GT(spacer->GetCustomWidth(), 100);
    TRect margins;
    Bar->GetView()->GetMargins(tbvoHorizontal, margins);
    EXPECT_EQ(Bar->GetView()->Find(right)->BoundsRect.Right,
              Dock->GetWidth() - Bar->GetNonClientLength() - margins.Right);
    EXPECT_EQ(Bar->GetLastAnchorEdge(), Bar->GetView()->Find(right)->BoundsRect.Right);

    // Not enough room: the spacer gets 0, not "natural width".
    for (int i = 0; i < 8; ++i) AddItem(L"A rather wide button");
    Bar->Resize();
    EXPECT_EQ(spacer->GetCustomWidth(), 0);
}

TEST_F(XtToolbars, ItemChangesInOneScopeMoveAHostedControlOnceToWhereTheLayoutPutsIt) {
    MakeBar();
    TXtItem* first = AddItem(L"Find");
    TXtItem* second = AddItem(L"Add:");
    auto* control = TMoveCounter::Create(Form);
    control->SetBounds(0, 0, 60, 18);
    control->SetParent(Bar);
    TBarControlItem* hosted = FindRootControlItem(Bar->GetItems(), control);
    ASSERT_NE(hosted, nullptr);
    Form->Show();
    PumpMessages(50);
    const int before = control->GetLeft();
    control->Moves = 0;
    {
        TXtToolbarChanges changes(Bar);
        first->SetCaption(L"A much longer caption");
        second->SetCaption(L"And another long one:");
        EXPECT_EQ(control->Moves, 0);
        EXPECT_EQ(control->GetLeft(), before);
    }
    EXPECT_EQ(control->Moves, 1);
    EXPECT_TRUE(Bar->GetView()->GetValidated());
    EXPECT_GT(control->GetLeft(), before);
    EXPECT_EQ(control->GetLeft(), Bar->GetView()->Find(hosted)->BoundsRect.Left);
    EXPECT_EQ(Bar->GetItemNotificationLock(), 0);

    // A scope without changes lays nothing out.
    control->Moves = 0;
    { TXtToolbarChanges nothing(Bar); }
    EXPECT_EQ(control->Moves, 0);
    // Nor does a bar that is not there.
    { TXtToolbarChanges none(nullptr); }
}

TEST_F(XtToolbars, ItemChangesInOneScopeKeepTheItemsAfterASpacerAtTheFarEdge) {
    MakeBar();
    TXtItem* left = AddItem(L"Left");
    auto* spacer = TXtRightAlignSpacerItem::Create(Form);
    Bar->GetItems()->Add(spacer);
    TXtItem* right = AddItem(L"Right");
    Form->Show();
    PumpMessages(50);
    Bar->Resize();
    const int width = spacer->GetCustomWidth();
    {
        TXtToolbarChanges changes(Bar);
        left->SetCaption(L"Left, now much wider");
        right->SetCaption(L"Right, wider too");
    }
    EXPECT_LT(spacer->GetCustomWidth(), width);
    TRect margins;
    Bar->GetView()->GetMargins(tbvoHorizontal, margins);
    EXPECT_EQ(Bar->GetView()->Find(right)->BoundsRect.Right,
              Dock->GetWidth() - Bar->GetNonClientLength() - margins.Right);
}

TEST_F(XtToolbars, ABarSizedByItsOwnLayoutIsPaintedOnceForIt) {
    auto* bar = MakePaintCountingBar();
    TXtItem* item = AddItem(L"Short");
    Form->Show();
    PumpMessages(50);
    const int width = bar->GetWidth();
    bar->Paints = 0;
    item->SetCaption(L"A caption a good deal longer");
    EXPECT_GT(bar->GetWidth(), width);
    // Painted whole with the window's next paint, not at once.
    EXPECT_EQ(bar->Paints, 0);
    EXPECT_TRUE(bar->GetView()->GetWholePaintPending());
    PumpMessages(50);
    EXPECT_EQ(bar->Paints, 1);
    EXPECT_FALSE(bar->GetView()->GetWholePaintPending());
    // Nothing is left to paint afterwards.
    PumpMessages(50);
    EXPECT_EQ(bar->Paints, 1);

    // A size from outside the bar's layout is still painted at once.
    bar->Paints = 0;
    bar->SetBounds(bar->GetLeft(), bar->GetTop(), bar->GetWidth(), bar->GetHeight() + 4);
    EXPECT_GE(bar->Paints, 1);
}

// What a window's client area shows on the screen, pixel by pixel.
std::vector<COLORREF> ClientPixels(HWND Wnd) {
    RECT r{};
    GetClientRect(Wnd, &r);
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(Wnd);
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x) pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(Wnd, dc);
    return pixels;
}

TEST_F(XtToolbars, LayoutsThatMoveItemsInOneActionShareOneWholePaintWithoutErasingTheScreen) {
    auto* bar = MakePaintCountingBar();
    TXtItem* first = AddItem(L"One");
    TXtItem* second = AddItem(L"Two");
    TXtItem* third = AddItem(L"Three");
    Form->Show();
    PumpMessages(50);
    bar->Paints = 0;
    bar->ScreenErases = 0;
    // An item that waits for a repaint of its own, then changes that move
    // items and size the bar, one after the other.
    third->SetChecked(true);
    first->SetCaption(L"The first caption, longer");
    second->SetCaption(L"The second caption, longer too");
    EXPECT_EQ(bar->Paints, 0);
    PumpMessages(50);
    EXPECT_EQ(bar->Paints, 1);
    EXPECT_EQ(bar->ScreenErases, 0) << "the screen showed the bare background before the items";
    // What the paint left is what a paint of the whole bar shows: both
    // new captions and nothing of the old layout.
    const std::vector<COLORREF> painted = ClientPixels(bar->GetHandle());
    RedrawWindow(bar->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessages(20);
    EXPECT_TRUE(painted == ClientPixels(bar->GetHandle()));

    // A bar hidden when its items move waits for nothing; shown again it
    // paints as any window does.
    bar->Hide();
    first->SetCaption(L"One");
    EXPECT_FALSE(bar->GetView()->GetWholePaintPending());
    bar->Show();
    PumpMessages(50);
    const std::vector<COLORREF> shown = ClientPixels(bar->GetHandle());
    RedrawWindow(bar->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessages(20);
    EXPECT_TRUE(shown == ClientPixels(bar->GetHandle()));
}

TEST_F(XtToolbars, ItemsAfterASpacerAreMeasuredUnseenAndPaintedOnceWhereTheyEnd) {
    auto* bar = MakePaintCountingBar();
    bar->SetStretch(true);
    bar->SetShrinkMode(tbsmNone);
    TXtItem* left = AddItem(L"Left");
    auto* spacer = TXtRightAlignSpacerItem::Create(Form);
    Bar->GetItems()->Add(spacer);
    TXtItem* right = AddItem(L"Right");
    Form->Show();
    PumpMessages(50);
    Bar->Resize();
    PumpMessages(50);
    TRect margins;
    Bar->GetView()->GetMargins(tbvoHorizontal, margins);
    const int farEdge = Dock->GetWidth() - Bar->GetNonClientLength() - margins.Right;
    const int width = spacer->GetCustomWidth();
    // A wider item before the spacer, then the alignment alone.
    Bar->GetView()->BeginUpdate();
    left->SetCaption(L"Left, now wider");
    Bar->GetView()->EndUpdate();
    PumpMessages(50);
    bar->Paints = 0;
    Bar->RightAlignItems();
    // The pass with the spacer at 0 that measures the items is not shown;
    // the final one is painted with the window's next paint.
    EXPECT_EQ(bar->Paints, 0);
    PumpMessages(50);
    EXPECT_EQ(bar->Paints, 1);
    PumpMessages(50);
    EXPECT_EQ(bar->Paints, 1);
    EXPECT_LT(spacer->GetCustomWidth(), width);
    EXPECT_EQ(Bar->GetView()->Find(right)->BoundsRect.Right, farEdge);
    EXPECT_FALSE(Bar->GetView()->GetDeferPaint());
}

TEST_F(XtToolbars, ShrinkingDockReanchorsAndGrowingDockDoesNot) {
    MakeBar();
    TXtItem* anchored = AddItem(L"Anchored");
    anchored->SetAnchored(true);
    Form->Show();
    PumpMessages(50);
    Bar->AnchorItems(false);
    auto* viewer = dynamic_cast<TXtItemViewer*>(Bar->GetView()->Find(anchored));
    ASSERT_NE(viewer, nullptr);
    // The origin is the dock's size when the item was first anchored (when
    // it was added); the dock has followed the form's width since.
    const int dockWidth = Dock->GetWidth();
    const int extra = dockWidth - viewer->AnchorOrigin.X;
    EXPECT_EQ(viewer->AnchorExtra, extra);
    const int wide = viewer->BoundsRect.Width();

    // The dock follows the form's width.
    Form->SetWidth(Form->GetWidth() - 30);
    EXPECT_EQ(Dock->GetPrevWidth(), dockWidth);
    EXPECT_EQ(viewer->AnchorExtra, extra - 30);
    EXPECT_EQ(Bar->GetView()->Find(anchored)->BoundsRect.Width(), wide - 30);

    Form->SetWidth(Form->GetWidth() + 60);
    EXPECT_EQ(Dock->GetWidth(), dockWidth + 30);
    EXPECT_EQ(viewer->AnchorExtra, extra - 30);
}

TEST_F(XtToolbars, DroppingAnItemMovesItAndItsOwnPlaceKeepsTheOrder) {
    Dock = Make<TXtDock>(Form, 0, 0, 400, 30);
    auto* bar = TDragToolbar::Create(Form);
    Bar = bar;
    Bar->SetCurrentDock(Dock);
    Bar->SetParent(Dock);
    TXtItem* a = AddItem(L"Alpha");
    TXtItem* b = AddItem(L"Beta");
    TXtItem* c = AddItem(L"Gamma");
    Form->Show();
    PumpMessages(50);
    Bar->SetCustomizingCount(1);
    auto centreOf = [&](TBarCustomItem* item, int dx) {
        const TRect r = Bar->GetView()->Find(item)->BoundsRect;
        return TPoint{(r.Left + r.Right) / 2 + dx, (r.Top + r.Bottom) / 2};
    };
    auto drop = [&](TBarCustomItem* item, TPoint p) {
        auto* drag = TXtItemDragObject::Create(Bar, item);
        bool accept = false;
        bar->DragOver(drag, p.X, p.Y, gcl::dsDragMove, accept);
        EXPECT_TRUE(accept);
        bar->DragDrop(drag, p.X, p.Y);
        drag->Free();
    };
    // On its own right half: the item stays where it is.
    drop(b, centreOf(b, 3));
    EXPECT_EQ(Bar->GetItems()->IndexOf(b), 1);
    EXPECT_TRUE(gcl::IsRectEmpty(Bar->GetDropMarkRect()));
    // Onto the right half of Gamma: last.
    drop(a, centreOf(c, 3));
    EXPECT_EQ(Bar->GetItems()->IndexOf(a), 2);
    EXPECT_EQ(Bar->GetItems()->IndexOf(b), 0);
    // Onto the left half of Beta (now first): first.
    drop(c, centreOf(b, -3));
    EXPECT_EQ(Bar->GetItems()->IndexOf(c), 0);

    // The drop position: before or after a viewer, a 4-pixel mark across the bar.
    TRect mark;
    int index = -1;
    TBarItemViewer* viewer = nullptr;
    ASSERT_TRUE(CalcDropPosition(Bar->GetItems(), Bar->GetView(), centreOf(a, 3), mark, index, viewer));
    EXPECT_EQ(index, 3);
    EXPECT_EQ(mark.Left, viewer->BoundsRect.Right);
    EXPECT_EQ(mark.Width(), 4);
    EXPECT_EQ(mark.Height(), Bar->GetClientHeight());
    ASSERT_TRUE(CalcTabDropIndex(Bar->GetItems(), Bar->GetView(), centreOf(b, 3), index, viewer, 1));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(CalcDropPosition(Bar->GetItems(), Bar->GetView(), TPoint{-50, -50}, mark, index, viewer));
}

TEST_F(XtToolbars, DropMarkIsAnIBeam) {
    TPaintTarget target(10, 20, gcl::clWhite);
    target.Canvas()->GetBrush()->SetColor(gcl::clBlack);
    DrawDropMark(target.Canvas(), TRect{2, 0, 8, 20});
    const TColor black = gcl::clBlack;
    EXPECT_NE(target.Pixel(2, 0), black);   // rounded corners
    EXPECT_EQ(target.Pixel(3, 0), black);
    EXPECT_EQ(target.Pixel(2, 1), black);   // the flanges span the mark
    EXPECT_EQ(target.Pixel(7, 2), black);
    EXPECT_NE(target.Pixel(2, 10), black);  // the stem is narrower
    EXPECT_EQ(target.Pixel(3, 10), black);
    EXPECT_EQ(target.Pixel(6, 10), black);
    EXPECT_EQ(target.Pixel(2, 18), black);
    EXPECT_EQ(target.Pixel(4, 19), black);
    EXPECT_NE(target.Pixel(8, 10), black);
    TPaintTarget empty(10, 20, gcl::clWhite);
    DrawDropMark(empty.Canvas(), TRect{5, 5, 5, 10});
    EXPECT_EQ(empty.Pixel(5, 7), gcl::clWhite);
}

TEST_F(XtToolbars, ControlsOnACompoundBarGetItemsOfTheBarsOwner) {
    MakeBar();
    Bar->SetCompoundToolbar(true);
    auto* panel = gcl::TPanel::Create(Form);
    panel->SetBounds(0, 0, 40, 18);
    panel->SetParent(Bar);
    TBarControlItem* item = FindRootControlItem(Bar->GetItems(), panel);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetOwner(), Form);
    EXPECT_EQ(Bar->GetItems()->GetCount(), 1);
}

TEST_F(XtToolbars, AcceleratorOfALabelFocusesItsControlAndLabelClicksRun) {
    MakeBar();
    auto* edit = gcl::TEdit::Create(Form);
    edit->SetParent(Form);
    edit->SetBounds(10, 60, 100, 20);
    auto* label = TXtLabelItem::Create(Form);
    label->SetCaption(L"&Name:");
    label->SetControl(edit);
    TPaintEvents events;
    label->OnClick = gcl::TNotifyEvent(&events, &TPaintEvents::LabelClick);
    Bar->GetItems()->Add(label);
    Form->Show();
    PumpMessages(50);
    EXPECT_EQ(Bar->Perform(gcl::CM_DIALOGCHAR, 'x', 0), 0);
    EXPECT_EQ(Bar->Perform(gcl::CM_DIALOGCHAR, 'n', 0), 1);
    EXPECT_TRUE(edit->Focused());

    const TRect r = Bar->GetView()->Find(label)->BoundsRect;
    const LPARAM at = MAKELPARAM((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    Dock->SetAllowDrag(false);   // a press on a label would otherwise move the bar
    Bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    Bar->Perform(WM_LBUTTONUP, 0, at);
    EXPECT_EQ(events.LabelClicks, 1);
}

TEST_F(XtToolbars, DockBackgroundHandlerPaintsUnderTheBar) {
    MakeBar();
    AddItem(L"One");
    TPaintEvents events;
    Dock->SetOnDrawBackground(TXtDrawEvent(&events, &TPaintEvents::DockBackground));
    EXPECT_TRUE(Dock->UsingBackground());
    Form->Show();
    PumpMessages(50);
    events.ClearDefault = true;
    events.DockStages.clear();
    TPaintTarget target(Bar->GetClientWidth(), Bar->GetClientHeight(), gcl::clWhite);
    EXPECT_EQ(Bar->Perform(WM_ERASEBKGND, reinterpret_cast<uintptr_t>(target.DC()), 0), 1);
    ASSERT_EQ(events.DockStages.size(), 1u);
    EXPECT_EQ(target.Pixel(Bar->GetClientWidth() - 2, 2), gcl::clRed);
}

TEST_F(XtToolbars, DisplayModesChooseBetweenImageAndCaption) {
    MakeBar();
    TXtItem* item = AddItem(L"Open");
    item->SetImageIndex(0);
    Form->Show();
    PumpMessages(50);
    auto* viewer = dynamic_cast<TXtItemViewer*>(Bar->GetView()->Find(item));
    ASSERT_NE(viewer, nullptr);
    Bar->SetDisplayMode(tbdmImageOnly);
    EXPECT_TRUE(viewer->IsImageShown());
    EXPECT_FALSE(viewer->CaptionShown());
    Bar->SetDisplayMode(tbdmTextOnly);
    EXPECT_FALSE(viewer->IsImageShown());
    EXPECT_TRUE(viewer->CaptionShown());
}

TEST_F(XtToolbars, BitmapHintCarriesTheShortcut) {
    MakeBar();
    TXtItem* open = AddItem(L"Open...");
    open->SetShortCut(gcl::ShortCut('O', gcl::TShiftState{gcl::ssCtrl}));
    Form->Show();
    PumpMessages(50);
    TBarItemViewer* viewer = Bar->GetView()->Find(open);
    const gcl::THintInfo info = HintOver(Bar, open);
    EXPECT_EQ(info.HintStr, "Open (Ctrl+O)");
    EXPECT_EQ(info.HintWindowClass, TBitmapHint::StaticClass());
    EXPECT_EQ(info.HideTimeout, BitmapHintHideTimeout);
    ASSERT_EQ(info.HintData, XtHintBitmap);
    EXPECT_EQ(info.CursorRect, viewer->BoundsRect);
    gcl::TCanvas* canvas = XtHintBitmap->GetCanvas();
    canvas->GetFont()->Assign(gcl::Screen->GetHintFont());
    EXPECT_EQ(XtHintBitmap->GetWidth(), canvas->TextWidth("Open (Ctrl+O)") + 8);
}

TEST_F(XtToolbars, ToolbarStylePopupIsLaidOutAsAToolbarAndReportsItsClose) {
    MakeBar();
    auto* sub = TXtSubmenuItem::Create(Form);
    sub->SetCaption(L"&More");
    sub->SetToolbarStylePopup(true);
    TPaintEvents events;
    sub->SetOnClosePopup(TXtClosePopupEvent(&events, &TPaintEvents::ClosePopup));
    auto* inner = TXtItem::Create(Form);
    inner->SetCaption(L"Inner");
    sub->Add(inner);
    Bar->GetItems()->Add(sub);
    Form->Show();
    PumpMessages(50);
    TBarPopupWindow* popup = sub->CreatePopup(nullptr, nullptr, false, false, false, TPoint{100, 100}, tbpaLeft);
    ASSERT_TRUE(gcl::is<TXtPopupWindow>(popup));
    ASSERT_TRUE(gcl::is<TXtPopupWindowView>(popup->GetView()));
    EXPECT_TRUE(popup->GetView()->GetIsToolbar());
    popup->Free();
    ASSERT_EQ(events.Closed.size(), 1u);
    EXPECT_EQ(events.Closed[0], nullptr);
}

TEST_F(XtToolbars, FloatingBarDrawsItsWideCaptionItself) {
    MakeBar();
    AddItem(L"One");
    Bar->SetCaption(L"\x0391\x03C1\x03C7\x03B5\x03AF\x03BF");
    Form->Show();
    PumpMessages(50);
    Bar->SetFloating(true);
    PumpMessages(50);
    ASSERT_TRUE(gcl::is<TXtFloatingWindowParent>(Bar->GetFloatParent()));
    char text[32] = "x";
    GetWindowTextA(Bar->GetFloatParent()->GetHandle(), text, sizeof(text));
    EXPECT_STREQ(text, "");
}

TEST_F(XtToolbars, ItemCacheFindsAndCopiesEntries) {
    TXtItemCacheCollection cache;
    auto* item = TXtItem::Create(Form);
    item->SetName("OpenItem");
    EXPECT_EQ(cache.IndexOfItem(nullptr), -1);
    EXPECT_EQ(cache.AddItem(item, TRect{3, 4, 13, 24}), 0);
    TXtItemCache* entry = cache.GetItems(0);
    EXPECT_EQ(entry->GetLeft(), 3);
    EXPECT_EQ(entry->GetWidth(), 10);
    EXPECT_EQ(entry->GetHeight(), 20);
    EXPECT_EQ(cache.IndexOfItem(item), 0);
    TXtItemCache* copy = cache.Add();
    copy->Assign(entry);
    EXPECT_EQ(copy->GetItem(), item);
    EXPECT_EQ(copy->GetTop(), 4);
    item->Free();
    EXPECT_EQ(entry->GetItem(), nullptr);
    EXPECT_EQ(entry->GetName(), "OpenItem");
}

} // namespace


namespace {

// The done-when demo: a menu bar and a toolbar on an extended dock, the
// theme menu open.
TEST_F(XtToolbars, DemoMenuBarWithTheThemeMenuOpen) {
    Form->SetBounds(60, 60, 460, 560);
    Form->SetCaption("Extended bars");
    MakeBar();
    Bar->SetMenuBar(true);
    Bar->SetCaption(L"Menu");
    auto* file = NewItem<TXtSubmenuItem>(L"&File");
    auto* themeMenu = NewItem<TXtSubmenuItem>(L"&Theme");
    auto* themes = TXtThemeGroupItem::Create(Form);
    themeMenu->Add(themes);
    themes->Recreate();
    Bar->GetItems()->Add(file);
    Bar->GetItems()->Add(themeMenu);

    auto* tools = TXtToolbar::Create(Form);
    tools->SetCurrentDock(Dock);
    tools->SetDockRow(1);
    tools->SetParent(Dock);
    tools->SetCaption(L"\x0395\x03C1\x03B3\x03B1\x03BB\x03B5\x03AF\x03B1");
    TXtItem* greek = NewItem(L"\x0391\x03C1\x03C7\x03B5\x03AF\x03BF");
    TXtItem* chinese = NewItem(L"\x6253\x5F00");
    chinese->SetHint(L"Open|Opens a list");
    chinese->SetShortCut(gcl::ShortCut('O', gcl::TShiftState{gcl::ssCtrl}));
    tools->GetItems()->Add(greek);
    tools->GetItems()->Add(chinese);
    Form->Show();
    PumpMessages(100);

    TBarItemViewer* open = tools->GetView()->Find(chinese);
    const gcl::THintInfo info = HintOver(tools, chinese);
    EXPECT_EQ(info.HintStr, "Open (Ctrl+O)");
    ASSERT_EQ(info.HintData, XtHintBitmap);
    auto* hintWindow = static_cast<TBitmapHint*>(TBitmapHint::Create(nullptr));
    const TPoint at = tools->ClientToScreen(TPoint{open->BoundsRect.Left, open->BoundsRect.Bottom + 4});
    hintWindow->ActivateHintData(TRect{at.X, at.Y, at.X + 10, at.Y + 10}, info.HintStr, info.HintData);
    PumpMessages(100);
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "xt_bars_toolbar.bmp"), 20);
    hintWindow->Free();

    TBarItemViewer* viewer = Bar->GetView()->Find(themeMenu);
    const TPoint below = Bar->ClientToScreen(TPoint{viewer->BoundsRect.Left, viewer->BoundsRect.Bottom});
    TBarPopupWindow* popup = themeMenu->CreatePopup(nullptr, nullptr, false, false, false, below, tbpaLeft);
    ASSERT_TRUE(gcl::is<TXtPopupWindow>(popup));
    PumpMessages(300);
    std::vector<TBarCustomItem*> rows;
    for (int i = 0; i < popup->GetView()->GetViewerCount(); ++i) {
        TBarCustomItem* item = popup->GetView()->GetViewers(i)->GetItem();
        if (item->GetGroupIndex() == TXtRadioGroupItem::GeneratedGroupIndex) rows.push_back(item);
    }
    ASSERT_EQ(rows.size(), RegisteredThemes().size());
    EXPECT_EQ(dynamic_cast<TXtCustomItem*>(rows[0])->GetCaption(), L"Default");
    EXPECT_TRUE(rows[0]->GetChecked());
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "xt_bars_theme_menu.bmp"), 20);
    popup->Free();

    // Choosing an entry switches the theme and moves the check.
    rows[1]->Click();
    EXPECT_EQ(CurrentThemeName(), gcl::WideToAnsi(dynamic_cast<TXtCustomItem*>(rows[1])->GetCaption()));
    EXPECT_TRUE(rows[1]->GetChecked());
    EXPECT_FALSE(rows[0]->GetChecked());
}

} // namespace

GCL_IMPLEMENT_CLASS(TDragToolbar)
