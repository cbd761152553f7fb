// Popup menus and the modal menu loop with input queued before the loop
// starts: keyboard navigation, Enter and the deferred click, Escape, a
// click outside that reaches its target, the submenu delay, WM_QUIT; the
// popup window's showing and the popup animation; the accessible objects
// of popups, toolbars and menu bars.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <algorithm>
#include <string>
#include <vector>

#include "gcl/ComObj.h"
#include "gcl/Forms.h"
#include "support/ApplicationTest.h"
#include "support/Screenshot.h"
#include "toolbar/BarAnim.h"
#include "toolbar/BarEditItem.h"
#include "toolbar/BarItem.h"
#include "toolbar/MenuScript.h"

using namespace qelvo;
using gcl::TComponent;
using qelvo::test::QueueKey;
using qelvo::test::TLoopScript;
using qelvo::test::TLoopWatchdog;

namespace {

// Counts clicks and records where they ran.
struct TClickLog : gcl::TObject {
    std::vector<std::string> Clicks;
    std::vector<std::string> Popups;
    void Clicked(gcl::TObject* Sender) { Clicks.push_back(static_cast<TBarCustomItem*>(Sender)->GetCaption()); }
    void Popped(TBarCustomItem* Sender, bool) { Popups.push_back(Sender->GetCaption()); }
};

// A window receiving the clicks that leave a menu.
class TClickTarget : public gcl::TCustomControl {
    GCL_CLASS(TClickTarget, gcl::TCustomControl)
public:
    int RightDowns = 0;
    void Dispatch(gcl::TMessage& m) override {
        if (m.Msg == WM_RBUTTONDOWN) ++RightDowns;
        inherited::Dispatch(m);
    }

protected:
    explicit TClickTarget(TComponent* owner) : gcl::TCustomControl(owner) {}
};
GCL_IMPLEMENT_CLASS(TClickTarget)

// A toolbar-like host answering WM_GETOBJECT through its view.
class TAccHost : public gcl::TCustomControl {
    GCL_CLASS(TAccHost, gcl::TCustomControl)
public:
    TBarView* View = nullptr;
    void Dispatch(gcl::TMessage& m) override {
        if (m.Msg == WM_GETOBJECT && View && View->HandleWMGetObject(m)) return;
        inherited::Dispatch(m);
    }

protected:
    explicit TAccHost(TComponent* owner) : gcl::TCustomControl(owner) {}
    void Paint() override {
        if (View) View->DrawViewers(GetCanvas());
    }
};
GCL_IMPLEMENT_CLASS(TAccHost)

class THostView : public TBarView {
    GCL_CLASS(THostView, TBarView)
protected:
    THostView(TComponent* owner, TBarCustomItem* item, gcl::TWinControl* window)
        : TBarView(owner, nullptr, item, window, true, false, false) {}
};
GCL_IMPLEMENT_CLASS(THostView)

// A popup window that refuses the animation.
class TNoAnimPopupWindow : public TBarPopupWindow {
    GCL_CLASS(TNoAnimPopupWindow, TBarPopupWindow)
public:
    std::vector<WPARAM> Showing;
    void Dispatch(gcl::TMessage& m) override {
        if (m.Msg == WM_POPUP_SHOWING) {
            Showing.push_back(m.WParam);
            m.Result = 1;
            return;
        }
        inherited::Dispatch(m);
    }

protected:
    TNoAnimPopupWindow(TComponent* o, TBarView* v, TBarCustomItem* i, bool c) : TBarPopupWindow(o, v, i, c) {}
};
GCL_IMPLEMENT_CLASS(TNoAnimPopupWindow)

class TNoAnimItem : public TBarCustomItem {
    GCL_CLASS(TNoAnimItem, TBarCustomItem)
public:
    TBarPopupWindowClass GetPopupWindowClass() override { return TNoAnimPopupWindow::StaticClass(); }

protected:
    explicit TNoAnimItem(TComponent* o) : TBarCustomItem(o) {}
};
GCL_IMPLEMENT_CLASS(TNoAnimItem)

// The system's menu animation settings for one scope.
struct TMenuAnimationScope {
    BOOL OldAnim = FALSE, OldFade = FALSE;
    TMenuAnimationScope(bool animate, bool fade) {
        SystemParametersInfoA(SPI_GETMENUANIMATION, 0, &OldAnim, 0);
        SystemParametersInfoA(SPI_GETMENUFADE, 0, &OldFade, 0);
        SystemParametersInfoA(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(static_cast<intptr_t>(animate)), 0);
        SystemParametersInfoA(SPI_SETMENUFADE, 0, reinterpret_cast<void*>(static_cast<intptr_t>(fade)), 0);
    }
    ~TMenuAnimationScope() {
        SystemParametersInfoA(SPI_SETMENUANIMATION, 0, reinterpret_cast<void*>(static_cast<intptr_t>(OldAnim)), 0);
        SystemParametersInfoA(SPI_SETMENUFADE, 0, reinterpret_cast<void*>(static_cast<intptr_t>(OldFade)), 0);
    }
};

class BarPopupTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gcl::InitializeUnits({&gcl::FormsUnit, &gcl::OleUnit, &BarItemUnit, &BarAnimUnit, &BarAccUnit});
    }

    void SetUp() override {
        Form = gcl::TForm::Create(nullptr);
        Form->SetBorderStyle(gcl::bsNone);
        Form->SetBounds(20, 20, 560, 420);
        Form->SetColor(gcl::clBtnFace);
        Form->Show();
        Root = TBarRootItem::Create(Form);
        Log = new TClickLog;
        DrainQueue();
    }
    void TearDown() override {
        gcl::FreeAndNil(Form);
        delete Log;
        qelvo::test::PumpApplication(20);
        DrainQueue();
    }
    // Nothing left over from a test reaches the next one.
    static void DrainQueue() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_QUIT) DispatchMessageA(&msg);
    }
    template <class T = TBarCustomItem>
    T* Item(const std::string& caption, TBarCustomItem* parent = nullptr) {
        T* item = T::Create(Form);
        item->SetCaption(caption);
        item->OnClick = gcl::TNotifyEvent(Log, &TClickLog::Clicked);
        (parent ? parent : Root)->Add(item);
        return item;
    }
    TBarCustomItem* Submenu(const std::string& caption, TBarCustomItem* parent = nullptr) {
        TBarCustomItem* item = Item(caption, parent);
        item->SetItemStyle(item->GetItemStyle() | tbisSubmenu);
        item->OnPopup = TBarPopupEvent(Log, &TClickLog::Popped);
        return item;
    }
    static BOOL CALLBACK CollectPopup(HWND wnd, LPARAM lp) {
        auto* popup = dynamic_cast<TBarPopupWindow*>(gcl::FindControl(wnd));
        if (popup && IsWindowVisible(wnd)) reinterpret_cast<std::vector<TBarPopupWindow*>*>(lp)->push_back(popup);
        return TRUE;
    }
    // The popup windows shown now, outermost first.
    static std::vector<TBarPopupWindow*> OpenPopups() {
        std::vector<TBarPopupWindow*> list;
        EnumThreadWindows(GetCurrentThreadId(), &CollectPopup, reinterpret_cast<LPARAM>(&list));
        auto depth = [](TBarPopupWindow* w) {
            int d = 0;
            for (TBarView* v = w->GetView(); v; v = v->GetParentView()) ++d;
            return d;
        };
        std::sort(list.begin(), list.end(), [&](TBarPopupWindow* a, TBarPopupWindow* b) { return depth(a) < depth(b); });
        return list;
    }

    gcl::TForm* Form = nullptr;
    TBarRootItem* Root = nullptr;
    TClickLog* Log = nullptr;
};

TEST_F(BarPopupTest, KeyboardNavigationWrapsAndEnterClicksOnTheNextPump) {
    TBarCustomItem* open = Item("&Open");
    TBarSeparatorItem::Create(Form)->SetParentComponent(Root);
    TBarCustomItem* hidden = Item("Hidden");
    hidden->SetVisible(false);
    TBarCustomItem* save = Item("&Save");
    (void)open;

    // Up from nothing selects the last item, Down wraps to the first and
    // skips the separator and the hidden item on the way to Save.
    QueueKey(VK_UP);
    QueueKey(VK_DOWN);
    QueueKey(VK_DOWN);
    QueueKey(VK_RETURN);
    TLoopWatchdog watchdog;
    TBarCustomItem* chosen = Root->Popup(100, 100, false);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(chosen, save);
    EXPECT_TRUE(Log->Clicks.empty()) << "the click runs after the loop, on the next pump";
    qelvo::test::PumpApplication(500, [&] { return !Log->Clicks.empty(); });
    EXPECT_EQ(Log->Clicks, std::vector<std::string>{"&Save"});
    EXPECT_TRUE(OpenPopups().empty());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(BarPopupTest, EscapeAndUniqueAcceleratorsAndReturnClickedItemOnly) {
    Item("&Open");
    TBarCustomItem* print = Item("&Print");
    Item("&Properties");
    Item("E&xit");

    QueueKey(VK_ESCAPE);
    TLoopWatchdog watchdog;
    EXPECT_EQ(Root->Popup(100, 100, false), nullptr);

    // P is shared: it only selects. X is unique: it executes at once.
    // Enter waits until the loop has read the letters before it.
    TLoopScript script;
    script.Then([] {
        QueueKey('P');
        QueueKey('P');
        QueueKey('P');
    })
        .WaitFor(&qelvo::test::NoKeysQueued)
        .Then([] { QueueKey(VK_RETURN); });
    script.Start();
    EXPECT_EQ(Root->Popup(100, 100, false, tbpaLeft, true), print);
    EXPECT_TRUE(script.Finished());
    QueueKey('X');
    EXPECT_EQ(Root->Popup(100, 100, false, tbpaLeft, true)->GetCaption(), "E&xit");
    EXPECT_FALSE(watchdog.Fired());
    qelvo::test::PumpApplication(100);
    EXPECT_TRUE(Log->Clicks.empty()) << "only the item was asked for";
}

TEST_F(BarPopupTest, LettersTypedIntoARunningMenuCountOnceEach) {
    Item("&Open");
    TBarCustomItem* print = Item("&Print");
    TBarCustomItem* properties = Item("&Properties");
    TBarCustomItem* exit = Item("E&xit");

    auto selected = []() -> TBarCustomItem* {
        const std::vector<TBarPopupWindow*> popups = OpenPopups();
        if (popups.empty()) return nullptr;
        TBarItemViewer* viewer = popups.at(0)->GetView()->GetSelected();
        return viewer ? viewer->GetItem() : nullptr;
    };
    // Each letter typed while the menu runs, one after the other, as a
    // user types them: P selects the next item that shares it.
    std::vector<TBarCustomItem*> seen;
    TLoopScript script;
    script.Then([] { QueueKey('P'); })
        .WaitFor(&qelvo::test::NoKeysQueued)
        .Then([&] {
            seen.push_back(selected());
            QueueKey('P');
        })
        .WaitFor(&qelvo::test::NoKeysQueued)
        .Then([&] {
            seen.push_back(selected());
            QueueKey('P');
        })
        .WaitFor(&qelvo::test::NoKeysQueued)
        .Then([&] {
            seen.push_back(selected());
            QueueKey('X');
        });
    script.Start();
    TLoopWatchdog watchdog;
    EXPECT_EQ(Root->Popup(100, 100, false, tbpaLeft, true), exit);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(seen, (std::vector<TBarCustomItem*>{print, properties, print}));
}

TEST_F(BarPopupTest, ARightClickOutsideEndsTheMenuAndReachesItsTarget) {
    Item("&Open");
    auto* target = TClickTarget::Create(Form);
    target->SetBounds(400, 300, 100, 80);
    target->SetParent(Form);
    UpdateWindow(Form->GetHandle());
    qelvo::test::QueueMouse(target->GetHandle(), WM_RBUTTONDOWN, 10, 10);
    TLoopWatchdog watchdog;
    EXPECT_EQ(Root->Popup(40, 40, true), nullptr);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(target->RightDowns, 0);
    qelvo::test::PumpApplication(200, [&] { return target->RightDowns > 0; });
    EXPECT_EQ(target->RightDowns, 1);
}

TEST_F(BarPopupTest, ASubmenuOpensAfterTheMenuShowDelayUnderTheMouse) {
    // The system's delay for this test, whatever it was before.
    struct TDelayScope {
        UINT Old = 0;
        TDelayScope() { SystemParametersInfoA(SPI_GETMENUSHOWDELAY, 0, &Old, 0); }
        ~TDelayScope() { SystemParametersInfoA(SPI_SETMENUSHOWDELAY, Old, nullptr, 0); }
        void Set(UINT ms) { SystemParametersInfoA(SPI_SETMENUSHOWDELAY, ms, nullptr, 0); }
    } delay;
    TBarCustomItem* open = Item("&Open");
    TBarCustomItem* more = Submenu("&More");
    TBarCustomItem* deep = Item("&Deep", more);

    auto pointAt = [](TBarCustomItem* item) {
        TBarPopupWindow* popup = OpenPopups().at(0);
        TBarItemViewer* v = popup->GetView()->Find(item);
        qelvo::test::QueueMouse(popup->GetHandle(), WM_MOUSEMOVE, v->BoundsRect.Left + 5, v->BoundsRect.Top + 3);
    };
    auto selected = [](TBarCustomItem* item) {
        TBarView* view = OpenPopups().at(0)->GetView();
        return view->GetSelected() == view->Find(item);
    };
    // A delay far longer than the test: with the pointer resting on the
    // submenu item for rounds of the loop, the submenu stays shut. Then a
    // short one, taken when the pointer comes to the item again: the
    // submenu opens with no more input.
    delay.Set(600000);
    size_t popupsWhileResting = 0;
    int rounds = 0;
    TLoopScript script;
    script.Then([&] { pointAt(more); })
        .WaitFor([&] { return selected(more) && ++rounds >= 10; })
        .Then([&] {
            popupsWhileResting = OpenPopups().size();
            delay.Set(50);
            pointAt(open);
        })
        .WaitFor([&] { return selected(open); })
        .Then([&] { pointAt(more); })
        .WaitFor([&] { return OpenPopups().size() == 2; })
        .Then([&] {
            // The submenu's first item by keyboard, then Enter.
            QueueKey(VK_DOWN);
            QueueKey(VK_RETURN);
        });
    script.Start();
    TLoopWatchdog watchdog;
    TBarCustomItem* chosen = Root->Popup(60, 60, false);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(popupsWhileResting, 1u) << "the submenu waits for the delay";
    EXPECT_EQ(chosen, deep);
    EXPECT_EQ(Log->Popups, std::vector<std::string>{"&More"});
}

TEST_F(BarPopupTest, QuitEndsTheMenuAndStaysQueued) {
    Item("&Open");
    PostQuitMessage(7);
    TLoopWatchdog watchdog;
    EXPECT_EQ(Root->Popup(100, 100, false), nullptr);
    EXPECT_FALSE(watchdog.Fired());
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(BarPopupTest, ALoopStartsWithChildPopupAnimationAllowed) {
    auto* host = TAccHost::Create(Form);
    host->SetBounds(0, 0, 300, 24);
    host->SetParent(Form);
    Item("&File");
    auto* view = THostView::Create(Form, Root, host);
    host->View = view;
    view->SetState(vsNoAnimation | vsModal);
    QueueKey(VK_ESCAPE);
    TLoopWatchdog watchdog;
    {
        TBarModalHandler handler(host->GetHandle());
        handler.RunMenuLoop(view, false, false, false, false);
    }
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(view->GetState() & vsNoAnimation, 0);
    EXPECT_EQ(view->DoneAction().DoneAction, tbdaCancel);
}

// ---- The edit item ----------------------------------------------------------------------------

// Types into the edit control as soon as editing begins.
struct TTyping : gcl::TObject {
    std::string Keys;
    UINT After = 0;   // a key for the menu loop once the edit has ended
    int Began = 0;
    void Begin(TBarEditItem*, TBarEditItemViewer*, gcl::TEdit* edit) {
        ++Began;
        for (char c : Keys) PostMessageA(edit->GetHandle(), WM_CHAR, static_cast<unsigned char>(c), 1);
        if (After) QueueKey(After);
    }
};

class BarEditItemTest : public BarPopupTest {
protected:
    void SetUp() override {
        BarPopupTest::SetUp();
        SetActiveWindow(Form->GetHandle());
        SetFocus(Form->GetHandle());
        Edit = TBarEditItem::Create(Form);
        Edit->SetEditCaption("&Find:");
        Edit->SetText("old");
        Edit->OnBeginEdit = TBarBeginEditEvent(&Typing, &TTyping::Begin);
        Root->Add(Edit);
        After = Item("&After");
    }
    TBarCustomItem* Run() {
        QueueKey(VK_DOWN);
        QueueKey(VK_RETURN);
        TLoopWatchdog watchdog;
        TBarCustomItem* chosen = Root->Popup(100, 100, false, tbpaLeft, true);
        EXPECT_FALSE(watchdog.Fired());
        EXPECT_EQ(Typing.Began, 1);
        return chosen;
    }
    TTyping Typing;
    TBarEditItem* Edit = nullptr;
    TBarCustomItem* After = nullptr;
};

TEST_F(BarEditItemTest, EnterAcceptsAndEndsTheMenu) {
    Typing.Keys = "new\r";
    EXPECT_EQ(Run(), nullptr);
    EXPECT_EQ(Edit->GetText(), "new");
    EXPECT_EQ(GetFocus(), Form->GetHandle()) << "the focus is back";
}

TEST_F(BarEditItemTest, TabAcceptsAndMovesOnWithoutEndingTheMenu) {
    Typing.Keys = "tab\t";
    Typing.After = VK_RETURN;   // runs the item Tab moved to
    EXPECT_EQ(Run(), After);
    EXPECT_EQ(Edit->GetText(), "tab");
}

TEST_F(BarEditItemTest, EscapeKeepsTheOldTextAndAcceptCanRefuse) {
    Typing.Keys = "zzz\x1b";
    Typing.After = VK_ESCAPE;
    EXPECT_EQ(Run(), nullptr);
    EXPECT_EQ(Edit->GetText(), "old");

    struct TRefuse : gcl::TObject {
        void Accept(gcl::TObject*, std::string&, bool& accept) { accept = false; }
    } refuse;
    Edit->OnAcceptText = TBarAcceptTextEvent(&refuse, &TRefuse::Accept);
    Typing.Began = 0;
    Typing.Keys = "no\r";
    Typing.After = 0;
    EXPECT_EQ(Run(), nullptr);
    EXPECT_EQ(Edit->GetText(), "old");
}

TEST_F(BarEditItemTest, CaseRulesAndViewerChoice) {
    Edit->SetCharCase(gcl::ecUpperCase);
    Edit->SetText("abc");
    EXPECT_EQ(Edit->GetText(), "ABC");
    Edit->SetCharCase(gcl::ecLowerCase);
    EXPECT_EQ(Edit->GetText(), "abc");
    auto* host = TAccHost::Create(Form);
    host->SetBounds(0, 0, 40, 300);
    host->SetParent(Form);
    auto* view = THostView::Create(Form, Root, host);
    view->SetOrientation(tbvoVertical);
    view->ValidatePositions();
    EXPECT_EQ(view->Find(Edit)->ClassType(), TBarItemViewer::StaticClass()) << "a plain button when vertical";
    Edit->SetEditOptions(TBarEditItemOptions{tboUseEditWhenVertical});
    view->ValidatePositions();
    EXPECT_EQ(view->Find(Edit)->ClassType(), TBarEditItemViewer::StaticClass());
}

// ---- The popup window ------------------------------------------------------------------------

TEST_F(BarPopupTest, PopupWindowStylesFrameAndPlacement) {
    Item("&Open");
    Item("&Save");
    TBarPopupWindow* popup = Root->CreatePopup(nullptr, nullptr, false, false, false, gcl::TPoint{300, 200}, tbpaRight);
    HWND wnd = popup->GetHandle();
    EXPECT_TRUE(GetWindowLongA(wnd, GWL_STYLE) & WS_POPUP);
    EXPECT_FALSE(GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(GetWindowLongA(wnd, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST), WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    RECT wr{}, cr{};
    GetWindowRect(wnd, &wr);
    GetClientRect(wnd, &cr);
    EXPECT_EQ(wr.right, 300) << "right-aligned at the point";
    EXPECT_EQ(wr.top, 200);
    EXPECT_EQ(wr.right - wr.left - cr.right, 6) << "a 3-pixel frame on each side";
    const gcl::TPoint size = popup->GetView()->UpdatePositions();
    EXPECT_EQ(cr.bottom, size.Y) << "the window fits the laid-out items";
    EXPECT_EQ(cr.right, size.X);
    // WM_CLOSE cannot tear it away.
    SendMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(wnd));
    popup->Free();
}

TEST_F(BarPopupTest, APopupThatAnswersTheShowQueryIsShownAtOnce) {
    TMenuAnimationScope anim(true, true);
    TBarCustomItem* menu = Item<TNoAnimItem>("Menu");
    Item("&Open", menu);
    auto* popup = static_cast<TNoAnimPopupWindow*>(
        menu->CreatePopup(nullptr, nullptr, false, false, false, gcl::TPoint{100, 100}, tbpaLeft));
    EXPECT_FALSE(PopupAnimationRunning(nullptr));
    EXPECT_TRUE(IsWindowVisible(popup->GetHandle()));
    qelvo::test::PumpApplication(200, [&] { return popup->Showing.size() >= 2; });
    EXPECT_EQ(popup->Showing, (std::vector<WPARAM>{1, 3}));
    popup->Free();
}

TEST_F(BarPopupTest, APopupAtAPointSlidesWhenTheSystemAnimatesMenus) {
    TMenuAnimationScope anim(true, false);
    Item("&Open");
    TBarPopupWindow* popup = Root->CreatePopup(nullptr, nullptr, false, false, false, gcl::TPoint{120, 90}, tbpaLeft);
    EXPECT_EQ(popup->GetSlideDirection(), tbadDownward | tbadRightward);
    EXPECT_TRUE(PopupAnimationRunning(popup->GetHandle()));
    qelvo::test::PumpApplication(1000, [] { return !PopupAnimationRunning(nullptr); });
    EXPECT_FALSE(PopupAnimationRunning(nullptr));
    EXPECT_TRUE(IsWindowVisible(popup->GetHandle()));
    popup->Free();
}

TEST_F(BarPopupTest, ThePopupMenuComponentShowsItsItems) {
    auto* menu = TBarPopupMenu::Create(Form);
    TBarCustomItem* open = TBarCustomItem::Create(Form);
    open->SetCaption("&Open");
    menu->GetItems()->Add(open);
    int popups = 0;
    struct TCount : gcl::TObject {
        int* N;
        void Popped(gcl::TObject*) { ++*N; }
    } count;
    count.N = &popups;
    menu->OnPopup = gcl::TNotifyEvent(&count, &TCount::Popped);
    QueueKey(VK_DOWN);
    QueueKey(VK_RETURN);
    TLoopWatchdog watchdog;
    EXPECT_EQ(menu->PopupReturning(50, 60, true), open);
    EXPECT_EQ(popups, 1) << "OnPopup fires as the menu opens";
    EXPECT_EQ(menu->GetPopupPoint(), gcl::Point(50, 60));
    QueueKey(VK_ESCAPE);
    menu->Popup(70, 80);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(popups, 2);
    EXPECT_EQ(menu->GetPopupPoint(), gcl::Point(70, 80));
}

// ---- Animation --------------------------------------------------------------------------------

// A window that records the animation messages it gets.
class TAnimWindow : public gcl::TCustomControl {
    GCL_CLASS(TAnimWindow, gcl::TCustomControl)
public:
    std::vector<UINT> Messages;
    void Dispatch(gcl::TMessage& m) override {
        if (m.Msg == WM_ANIM_STEP) {
            Messages.push_back(m.Msg);
            StepPopupAnimation(m);
            return;
        }
        if (m.Msg == WM_ANIM_DONE) {
            Messages.push_back(m.Msg);
            return;
        }
        inherited::Dispatch(m);
    }

protected:
    explicit TAnimWindow(TComponent* owner) : gcl::TCustomControl(owner) {}
    void CreateParams(gcl::TCreateParams& p) override {
        inherited::CreateParams(p);
        p.Style = WS_POPUP;
        p.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    }
    void Paint() override {
        GetCanvas()->GetBrush()->SetColor(gcl::clRed);
        GetCanvas()->FillRect(GetClientRect());
    }
};
GCL_IMPLEMENT_CLASS(TAnimWindow)

class BarAnimTest : public BarPopupTest {
protected:
    TAnimWindow* Window() {
        auto* w = TAnimWindow::Create(Form);
        w->SetParentWindow(GetDesktopWindow());
        w->SetVisible(false);
        w->SetBounds(200, 150, 120, 90);
        w->HandleNeeded();
        return w;
    }
    // A clean end: visible, not layered, no window region.
    static void ExpectCleanEnd(HWND wnd) {
        EXPECT_TRUE(IsWindowVisible(wnd));
        EXPECT_EQ(GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(GetWindowRgn(wnd, rgn), ERROR) << "no region left to clip the popup";
        DeleteObject(rgn);
    }
};

TEST_F(BarAnimTest, SlideAndFadeStepInOrderAndEndClean) {
    for (bool fade : {false, true}) {
        SCOPED_TRACE(fade ? "fade" : "slide");
        TAnimWindow* w = Window();
        HWND wnd = w->GetHandle();
        StartPopupAnimation(wnd, fade, tbadDownward | tbadRightward);
        EXPECT_TRUE(PopupAnimationRunning(wnd));
        EXPECT_TRUE(IsWindowVisible(wnd));
        EXPECT_EQ((GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0, fade);
        auto done = [&] { return std::find(w->Messages.begin(), w->Messages.end(), WM_ANIM_DONE); };
        qelvo::test::PumpApplication(10000, [&] { return done() != w->Messages.end(); });
        ASSERT_NE(done(), w->Messages.end());
        EXPECT_GE(done() - w->Messages.begin(), 1) << "at least the last step, then done";
        EXPECT_EQ(std::count(w->Messages.begin(), w->Messages.end(), WM_ANIM_DONE), 1);
        // The worker's last step may already wait in the queue when an
        // earlier one ends the animation (a busy machine): it comes after
        // the end and changes nothing.
        qelvo::test::PumpApplication(50);
        EXPECT_TRUE(std::all_of(done() + 1, w->Messages.end(), [](UINT m) { return m == WM_ANIM_STEP; }));
        EXPECT_FALSE(PopupAnimationRunning(nullptr));
        ExpectCleanEnd(wnd);
        w->Free();
    }
}

TEST_F(BarAnimTest, CancelledHalfWayEndsCleanAndLaterStepsChangeNothing) {
    TAnimWindow* w = Window();
    HWND wnd = w->GetHandle();
    StartPopupAnimation(wnd, false, tbadUpward);
    qelvo::test::PumpApplication(40);
    CancelPopupAnimation(wnd);
    EXPECT_FALSE(PopupAnimationRunning(nullptr));
    ExpectCleanEnd(wnd);
    // Steps of the ended animation (and its done notice) change nothing.
    qelvo::test::PumpApplication(100);
    ExpectCleanEnd(wnd);
    EXPECT_EQ(std::count(w->Messages.begin(), w->Messages.end(), WM_ANIM_DONE), 1);

    // A second animation finishes the first completely before it starts.
    TAnimWindow* w2 = Window();
    StartPopupAnimation(wnd, true, 0);
    StartPopupAnimation(w2->GetHandle(), false, tbadLeftward);
    ExpectCleanEnd(wnd);
    EXPECT_TRUE(PopupAnimationRunning(w2->GetHandle()));
    CancelPopupAnimation(nullptr);
    ExpectCleanEnd(w2->GetHandle());
    w2->Free();
    w->Free();
}

// ---- Accessibility ----------------------------------------------------------------------------

struct TAcc {
    gcl::ComPtr<IAccessible> Obj;
    static VARIANT Self() {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = CHILDID_SELF;
        return v;
    }
    static TAcc FromWindow(HWND wnd) {
        TAcc a;
        AccessibleObjectFromWindow(wnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), a.Obj.PutVoid());
        return a;
    }
    TAcc Child(long n) const {
        TAcc a;
        VARIANT v = Self();
        v.lVal = n;
        gcl::ComPtr<IDispatch> disp;
        if (SUCCEEDED(Obj->get_accChild(v, disp.Put())) && disp)
            disp->QueryInterface(__uuidof(IAccessible), a.Obj.PutVoid());
        return a;
    }
    std::wstring Name() const {
        gcl::TBStr s;
        Obj->get_accName(Self(), s.Put());
        return s.Get() ? s.ToWide() : L"";
    }
    std::wstring Shortcut() const {
        gcl::TBStr s;
        Obj->get_accKeyboardShortcut(Self(), s.Put());
        return s.Get() ? s.ToWide() : L"";
    }
    std::wstring Action() const {
        gcl::TBStr s;
        Obj->get_accDefaultAction(Self(), s.Put());
        return s.Get() ? s.ToWide() : L"";
    }
    long Role() const {
        VARIANT v;
        VariantInit(&v);
        Obj->get_accRole(Self(), &v);
        return v.lVal;
    }
    long State() const {
        VARIANT v;
        VariantInit(&v);
        Obj->get_accState(Self(), &v);
        return v.lVal;
    }
    long Count() const {
        long n = -1;
        Obj->get_accChildCount(&n);
        return n;
    }
};

TEST_F(BarPopupTest, AccessibleObjectsOfAPopup) {
    TBarCustomItem* open = Item("&Open");
    open->SetShortCut(gcl::ShortCut('O', gcl::TShiftState{gcl::ssCtrl}));
    TBarCustomItem* disabled = Item("&Gone");
    disabled->SetEnabled(false);
    disabled->SetChecked(true);
    Submenu("&More");
    TBarPopupWindow* popup = Root->CreatePopup(nullptr, nullptr, false, false, false, gcl::TPoint{80, 80}, tbpaLeft);
    TAcc view = TAcc::FromWindow(popup->GetHandle());
    ASSERT_TRUE(view.Obj);
    EXPECT_EQ(view.Role(), ROLE_SYSTEM_MENUPOPUP);
    EXPECT_EQ(view.Count(), 3);
    TAcc first = view.Child(1);
    ASSERT_TRUE(first.Obj);
    EXPECT_EQ(first.Name(), L"Open\tCtrl+O");
    EXPECT_EQ(first.Shortcut(), L"o");
    EXPECT_EQ(first.Role(), ROLE_SYSTEM_MENUITEM);
    EXPECT_EQ(first.Action(), L"Execute");
    TAcc gone = view.Child(2);
    EXPECT_EQ(gone.State() & (STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_CHECKED),
              STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_CHECKED);
    EXPECT_EQ(gone.Action(), L"");
    TAcc more = view.Child(3);
    EXPECT_TRUE(more.State() & STATE_SYSTEM_HASPOPUP);
    EXPECT_EQ(more.Action(), L"Open");
    VARIANT four = TAcc::Self();
    four.lVal = 4;
    gcl::ComPtr<IDispatch> none;
    EXPECT_EQ(view.Obj->get_accChild(four, none.Put()), E_INVALIDARG);
    TAcc self = view.Child(0);
    EXPECT_EQ(self.Role(), ROLE_SYSTEM_MENUPOPUP);

    // Closed: every method of the objects still held fails.
    popup->Free();
    gcl::TBStr name;
    EXPECT_EQ(first.Obj->get_accName(TAcc::Self(), name.Put()), E_FAIL);
    long count = 0;
    EXPECT_EQ(view.Obj->get_accChildCount(&count), E_FAIL);
}

TEST_F(BarPopupTest, AccessibleObjectsOfAToolbarAndAMenuBar) {
    auto* host = TAccHost::Create(Form);
    host->SetBounds(0, 0, 400, 24);
    host->SetParent(Form);
    SetWindowTextA(host->GetHandle(), "Standard");
    Item("&File");
    Item("&Edit");
    auto* view = THostView::Create(Form, Root, host);
    host->View = view;
    view->UpdatePositions();
    TAcc bar = TAcc::FromWindow(host->GetHandle());
    ASSERT_TRUE(bar.Obj);
    EXPECT_EQ(bar.Role(), ROLE_SYSTEM_TOOLBAR);
    EXPECT_EQ(bar.Name(), L"Standard");
    EXPECT_EQ(bar.Count(), 2);
    EXPECT_EQ(bar.Child(2).Name(), L"Edit");
    EXPECT_EQ(bar.Child(2).Role(), ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(bar.Shortcut(), L"");

    view->SetStyle(vsMenuBar);
    EXPECT_EQ(bar.Role(), ROLE_SYSTEM_MENUBAR);
    EXPECT_EQ(bar.Shortcut(), AltKeyName());
    EXPECT_EQ(bar.Child(1).Shortcut(), AltKeyName() + L"+f");
    EXPECT_EQ(bar.Child(1).Role(), ROLE_SYSTEM_MENUITEM);
}

// ---- A look at a popup ----------------------------------------------------------------------

TEST_F(BarPopupTest, ScreenshotOfAPopupWithAnOpenSubmenu) {
    Item("&New task");
    Item("&Open...")->SetShortCut(gcl::ShortCut('O', gcl::TShiftState{gcl::ssCtrl}));
    TBarSeparatorItem::Create(Form)->SetParentComponent(Root);
    TBarCustomItem* checked = Item("Show &completed");
    checked->SetChecked(true);
    Item("&Disabled")->SetEnabled(false);
    TBarCustomItem* more = Submenu("&More");
    Item("Sub &one", more);
    Item("Sub &two", more);
    TBarPopupWindow* popup = Root->CreatePopup(nullptr, nullptr, false, true, false, gcl::TPoint{60, 60}, tbpaLeft);
    TBarPopupView* view = popup->GetView();
    view->Select(view->Find(more), false);
    view->OpenChildPopup(false);
    ASSERT_NE(view->GetOpenChildWindow(), nullptr);
    qelvo::test::PumpApplication(100);
    qelvo::test::SaveWindowScreenshot(Form->GetHandle(), "toolbar_popup.bmp");
    popup->Free();
}

} // namespace
