// The extended popup menu: the popup opens for a control, its owner sees
// the popup's view before the loop runs, and the control and its children
// hear CM_POPUPMENUCLOSED; the extended button's drop-down stays open
// until that notice arrives.
#include <gtest/gtest.h>

#include <vector>

#include "controls/XtControls.h"
#include "controls/XtTestSupport.h"
#include "gcl/ExtCtrls.h"
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
    QueueKey('X', true, 'x');
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
    void MakeBar(int DockWidth = 400) {
        Dock = Make<TXtDock>(Form, 0, 0, DockWidth, 30);
        Bar = TXtToolbar::Create(Form);
        Bar->SetCurrentDock(Dock);
        Bar->SetParent(Dock);
    }
    TXtItem* AddItem(const wchar_t* Caption) {
        auto* item = TXtItem::Create(Form);
        item->SetCaption(Caption);
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

} // namespace
