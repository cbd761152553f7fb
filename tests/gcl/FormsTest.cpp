// The application object, forms, modal and nested loops, the screen and
// the exception firewall.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "gcl/Controls.h"
#include "gcl/Dialogs.h"
#include "gcl/Forms.h"
#include "gcl/Timers.h"
#include "gcl/rtl/TypInfo.h"
#include "support/ApplicationTest.h"

using namespace gcl;
using qelvo::test::PumpApplication;

namespace {


// A minimal push button: a superclassed BUTTON whose click (reflected
// BN_CLICKED) runs OnClick and closes a modal form with its ModalResult.
class TFrmButton : public TWinControl {
    GCL_CLASS(TFrmButton, TWinControl)
public:
    TModalResult ModalResult = mrNone;

    void Click() override {
        if (ModalResult != mrNone) {
            if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(ModalResult);
        }
        inherited::Click();
    }
    void Dispatch(TMessage& message) override {
        if (message.Msg == CN_COMMAND && HiWord(message.WParam) == BN_CLICKED) {
            Click();
            return;
        }
        inherited::Dispatch(message);
    }

protected:
    explicit TFrmButton(TComponent* owner) : TWinControl(owner) {
        SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
        SetBounds(10, 10, 75, 25);
        SetTabStop(true);
    }
    void CreateParams(TCreateParams& params) override {
        inherited::CreateParams(params);
        CreateSubClass(params, "BUTTON");
        params.Style |= BS_PUSHBUTTON;
    }
};
GCL_IMPLEMENT_CLASS(TFrmButton)

class TFrmForm : public TForm {
    GCL_CLASS(TFrmForm, TForm)
public:
    std::vector<std::string>* Log = nullptr;
    TFrmButton* Button = nullptr;
    int ChildrenAtCreate = -1;
    TCloseAction NextClose = caHide;

    void Created(TObject*) { ChildrenAtCreate = GetControlCount(); }
    void Destroyed(TObject*) {
        if (Log) Log->push_back("destroy, children " + std::to_string(GetControlCount()) + ", button " + Button->GetName());
    }
    void Shown(TObject*) {
        if (Log) Log->push_back("show");
    }
    void Hidden(TObject*) {
        if (Log) Log->push_back("hide");
    }
    void Closing(TObject*, TCloseAction& action) {
        if (Log) Log->push_back("close");
        action = NextClose;
        NextClose = caHide;
    }

protected:
    explicit TFrmForm(TComponent* owner) : TForm(owner) {
        SetCaption("Forms test");
        SetBounds(100, 100, 240, 160);
        Button = TFrmButton::Create(this);
        Button->SetName("Button");
        Button->SetParent(this);
        OnCreate = TNotifyEvent(this, &TFrmForm::Created);
        OnDestroy = TNotifyEvent(this, &TFrmForm::Destroyed);
        OnShow = TNotifyEvent(this, &TFrmForm::Shown);
        OnHide = TNotifyEvent(this, &TFrmForm::Hidden);
        OnClose = TCloseEvent(this, &TFrmForm::Closing);
    }
};
GCL_IMPLEMENT_CLASS(TFrmForm)

class TFrmEager : public TForm {
    GCL_CLASS(TFrmEager, TForm)
public:
    bool CreatedHidden = false;
    void Created(TObject*) { CreatedHidden = !HandleAllocated(); }

protected:
    explicit TFrmEager(TComponent* owner) : TForm(owner) {
        SetBounds(300, 300, 100, 60);
        OnCreate = TNotifyEvent(this, &TFrmEager::Created);
        SetVisible(true);
    }
};
GCL_IMPLEMENT_CLASS(TFrmEager)

// Records what reaches Application->OnException.
class TExceptionLog : public TObject {
public:
    std::vector<std::string> Messages;
    std::vector<TObject*> Senders;
    void Handle(TObject* sender, Exception& e) {
        Messages.push_back(e.GetMessage());
        Senders.push_back(sender);
    }
};

class TClicks : public TObject {
public:
    int Count = 0;
    void Boom(TObject*) { throw EConvertError("boom"); }
    void Abort(TObject*) { gcl::Abort(); }
    void Foreign(TObject*) { throw std::runtime_error("foreign"); }
    void Count1(TObject*) { ++Count; }
};

// A thread timer that ends a modal loop that went wrong, so no test hangs.
TCustomForm* GModalGuard = nullptr;
void CALLBACK ModalTimeout(HWND, UINT, UINT_PTR, DWORD) {
    GCL_GUARD(nullptr, {
        if (GModalGuard) GModalGuard->SetModalResult(mrAbort);
    });
}
class TModalGuard {
public:
    explicit TModalGuard(TCustomForm* form) : FTimer(SetTimer(nullptr, 0, 5000, &ModalTimeout)) { GModalGuard = form; }
    ~TModalGuard() {
        KillTimer(nullptr, FTimer);
        GModalGuard = nullptr;
    }

private:
    UINT_PTR FTimer;
};

void CALLBACK QuitTimeout(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); }

// Puts another application object in place for a test that must end its
// loop (Terminated cannot be undone).
class TPrivateApplication {
public:
    TPrivateApplication() : FSaved(Application) { Application = TApplication::Create(nullptr); }
    ~TPrivateApplication() {
        FreeAndNil(Application);
        Application = FSaved;
        // Nothing of the private loop may reach the shared one.
        MSG m;
        while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    TPrivateApplication(const TPrivateApplication&) = delete;
    TPrivateApplication& operator=(const TPrivateApplication&) = delete;

private:
    TApplication* FSaved;
};

class FormsAndApplication : public ::testing::Test {
protected:
    static void SetUpTestSuite() { FormsUnit.Initialize(); }
    static void TearDownTestSuite() { FormsUnit.Finalize(); }
    void TearDown() override {
        Application->OnException = nullptr;
        PumpApplication(20);
    }
};

} // namespace

namespace {

// Whether the watched window's owner was visible when the window was told
// it shows.
HWND ShowWatched = nullptr;
int OwnerVisibleAtShow = -1;

LRESULT CALLBACK WatchShow(int code, WPARAM wParam, LPARAM lParam) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && cwp->hwnd == ShowWatched && cwp->message == WM_SHOWWINDOW && cwp->wParam)
        OwnerVisibleAtShow = IsWindowVisible(GetWindow(ShowWatched, GW_OWNER)) ? 1 : 0;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST_F(FormsAndApplication, ApplicationWindowOwnsFormsAndHooksSeeItsMessages) {
    HWND app = Application->GetHandle();
    ASSERT_TRUE(IsWindow(app));
    char cls[32] = {};
    GetClassNameA(app, cls, sizeof cls);
    EXPECT_STREQ(cls, "TApplication");
    Application->SetTitle("Forms test title");
    char title[64] = {};
    GetWindowTextA(app, title, sizeof title);
    EXPECT_STREQ(title, "Forms test title");
    EXPECT_NE(Application->GetExeName().find("gcl_tests"), std::string::npos);

    TFrmForm* form = TFrmForm::Create(nullptr);
    EXPECT_EQ(GetWindow(form->GetHandle(), GW_OWNER), app);
    EXPECT_FALSE(IsWindowVisible(app));
    // The taskbar button comes with the first form, and before it: the
    // form's own showing finds its owner shown already.
    ShowWatched = form->GetHandle();
    OwnerVisibleAtShow = -1;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, &WatchShow, nullptr, GetCurrentThreadId());
    form->Show();
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(IsWindowVisible(form->GetHandle()));
    EXPECT_TRUE(IsWindowVisible(app));
    EXPECT_EQ(OwnerVisibleAtShow, 1);
    form->Hide();
    EXPECT_FALSE(IsWindowVisible(app));

    // Hooks see the messages first, may answer them and may unhook
    // themselves while they run.
    struct THooks : TObject {
        std::vector<std::string> Calls;
        bool First(TMessage& m) {
            if (m.Msg != CM_ACTIONEXECUTE) return false;
            Calls.push_back("first");
            Application->UnhookMainWindow(TWindowHook(this, &THooks::First));
            return false;
        }
        bool Second(TMessage& m) {
            if (m.Msg != CM_ACTIONEXECUTE) return false;
            Calls.push_back("second");
            m.Result = 1;
            return true;
        }
    } hooks;
    Application->HookMainWindow(TWindowHook(&hooks, &THooks::First));
    Application->HookMainWindow(TWindowHook(&hooks, &THooks::Second));
    EXPECT_TRUE(Application->ExecuteAction(form));
    EXPECT_TRUE(Application->ExecuteAction(form));
    EXPECT_EQ(hooks.Calls, (std::vector<std::string>{"first", "second", "second"}));
    Application->UnhookMainWindow(TWindowHook(&hooks, &THooks::Second));
    EXPECT_FALSE(Application->ExecuteAction(form));
    form->Free();
}

TEST_F(FormsAndApplication, ExceptionsReachOnExceptionAndTheLoopGoesOn) {
    TExceptionLog log;
    TClicks clicks;
    Application->OnException = TExceptionEvent(&log, &TExceptionLog::Handle);
    TFrmForm* form = TFrmForm::Create(nullptr);
    form->Button->OnClick = TNotifyEvent(&clicks, &TClicks::Boom);
    TFrmButton* second = TFrmButton::Create(form);
    second->SetParent(form);
    second->SetBounds(100, 10, 75, 25);
    second->OnClick = TNotifyEvent(&clicks, &TClicks::Count1);
    form->Show();

    // The click's exception surfaces in the form's window procedure and
    // goes to OnException; the next message is handled as usual.
    PostMessageA(form->Button->GetHandle(), BM_CLICK, 0, 0);
    PostMessageA(second->GetHandle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpApplication(2000, [&] { return clicks.Count == 1; }));
    EXPECT_EQ(log.Messages, std::vector<std::string>{"boom"});
    ASSERT_EQ(log.Senders.size(), 1u);
    EXPECT_EQ(log.Senders[0], form);

    // EAbort is silent; other C++ exceptions arrive as gcl::Exception.
    form->Button->OnClick = TNotifyEvent(&clicks, &TClicks::Abort);
    PostMessageA(form->Button->GetHandle(), BM_CLICK, 0, 0);
    PumpApplication(200);
    EXPECT_EQ(log.Messages.size(), 1u);
    form->Button->OnClick = TNotifyEvent(&clicks, &TClicks::Foreign);
    SendMessageA(form->Button->GetHandle(), BM_CLICK, 0, 0);
    EXPECT_EQ(log.Messages, (std::vector<std::string>{"boom", "foreign"}));

    // Without OnException the message goes to a message box, through the
    // dialog service.
    Application->OnException = nullptr;
    TScriptedDialogs script;
    script.ExpectMessage("boom.", mrOk);
    {
        ServiceOverride<IDialogService> use(DialogService(), script);
        form->Button->OnClick = TNotifyEvent(&clicks, &TClicks::Boom);
        SendMessageA(form->Button->GetHandle(), BM_CLICK, 0, 0);
    }
    EXPECT_TRUE(script.Done());
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].Flags & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));

    // A timer's handler is inside the firewall too.
    Application->OnException = TExceptionEvent(&log, &TExceptionLog::Handle);
    TTimer* timer = TTimer::Create(nullptr);
    timer->SetInterval(10);
    timer->OnTimer = TNotifyEvent(&clicks, &TClicks::Boom);
    EXPECT_TRUE(PumpApplication(2000, [&] { return log.Messages.size() >= 3; }));
    timer->Free();
    EXPECT_EQ(log.Messages.back(), "boom");
    form->Free();
}

TEST_F(FormsAndApplication, TimerFreedInsideItsOwnHandler) {
    struct TSelfFree : TObject {
        TTimer* Timer = nullptr;
        int Calls = 0;
        void Fire(TObject* sender) {
            ++Calls;
            EXPECT_EQ(sender, Timer);
            FreeAndNil(Timer);
        }
    } handler;
    handler.Timer = TTimer::Create(nullptr);
    handler.Timer->SetInterval(5);
    handler.Timer->OnTimer = TNotifyEvent(&handler, &TSelfFree::Fire);
    EXPECT_TRUE(PumpApplication(2000, [&] { return handler.Calls > 0; }));
    PumpApplication(100);  // no second call, no crash
    EXPECT_EQ(handler.Calls, 1);
    EXPECT_EQ(handler.Timer, nullptr);
}

TEST_F(FormsAndApplication, ShowModalEndsThroughTheButtonsModalResult) {
    TFrmForm* other = TFrmForm::Create(nullptr);
    other->Show();
    TFrmForm* dialog = TFrmForm::Create(nullptr);
    dialog->Button->ModalResult = mrOk;
    struct TProbe : TObject {
        HWND Other = nullptr;
        std::vector<bool> OtherEnabled;
        void Shown(TObject*) { OtherEnabled.push_back(IsWindowEnabled(Other) != 0); }
    } probe;
    probe.Other = other->GetHandle();
    dialog->OnShow = TNotifyEvent(&probe, &TProbe::Shown);
    {
        TModalGuard guard(dialog);
        PostMessageA(dialog->Button->GetHandle(), BM_CLICK, 0, 0);
        EXPECT_EQ(dialog->ShowModal(), mrOk);
    }
    EXPECT_EQ(probe.OtherEnabled, std::vector<bool>{false});  // disabled while modal
    EXPECT_TRUE(IsWindowEnabled(other->GetHandle()));          // and back afterwards
    EXPECT_FALSE(dialog->GetVisible());
    EXPECT_FALSE(dialog->GetFormState().Contains(fsModal));
    EXPECT_THROW((other->ShowModal()), EInvalidOperation);   // a visible form cannot go modal

    // OnClose with caNone keeps the modal form open; Close means mrCancel.
    std::vector<std::string> log;
    dialog->Log = &log;
    dialog->NextClose = caNone;
    {
        TModalGuard guard(dialog);
        PostMessageA(dialog->Button->GetHandle(), BM_CLICK, 0, 0);
        PostMessageA(dialog->Button->GetHandle(), BM_CLICK, 0, 0);
        EXPECT_EQ(dialog->ShowModal(), mrOk);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"close", "close", "hide"}));  // OnShow is the probe's
    {
        TModalGuard guard(dialog);
        PostMessageA(dialog->GetHandle(), WM_CLOSE, 0, 0);
        EXPECT_EQ(dialog->ShowModal(), mrCancel);
    }
    dialog->Log = nullptr;
    dialog->Free();
    other->Free();
}

// The keyboard comes back after a modal dialog to the control that had it,
// unless its form made another control its active one meanwhile (a list
// rebuilt under the dialog that emptied the control).
TEST_F(FormsAndApplication, ShowModalGivesTheKeyboardBackToTheFormsActiveControl) {
    TFrmForm* other = TFrmForm::Create(nullptr);
    TFrmButton* second = TFrmButton::Create(other);
    second->SetParent(other);
    second->SetBounds(0, 60, 80, 24);
    other->Show();
    SetForegroundWindow(other->GetHandle());
    TFrmForm* dialog = TFrmForm::Create(nullptr);
    dialog->Button->ModalResult = mrOk;
    struct TProbe : TObject {
        TCustomForm* Other = nullptr;
        TWinControl* Next = nullptr;
        void Shown(TObject*) {
            if (Next) Other->SetActiveControl(Next);
        }
    } probe;
    probe.Other = other;
    dialog->OnShow = TNotifyEvent(&probe, &TProbe::Shown);
    for (TWinControl* next : {static_cast<TWinControl*>(nullptr), static_cast<TWinControl*>(second)}) {
        other->Button->SetFocus();
        ASSERT_EQ(GetFocus(), other->Button->GetHandle());
        probe.Next = next;
        {
            TModalGuard guard(dialog);
            PostMessageA(dialog->Button->GetHandle(), BM_CLICK, 0, 0);
            EXPECT_EQ(dialog->ShowModal(), mrOk);
        }
        EXPECT_EQ(GetFocus(), (next ? next : other->Button)->GetHandle());
        EXPECT_EQ(other->GetActiveControl(), next ? next : other->Button);
    }
    dialog->Free();
    other->Free();
}

TEST_F(FormsAndApplication, FormLifecycleAndCloseActions) {
    std::vector<std::string> log;
    TFrmForm* form = TFrmForm::Create(nullptr);
    form->Log = &log;
    EXPECT_EQ(form->ChildrenAtCreate, 1);  // OnCreate runs after the controls exist
    EXPECT_FALSE(form->HandleAllocated()); // and makes no window
    int forms = Screen->GetFormCount();
    EXPECT_EQ(Screen->GetForms(forms - 1), form);

    form->Show();
    form->NextClose = caNone;
    form->Close();
    EXPECT_TRUE(form->GetVisible());
    form->Close();  // caHide
    EXPECT_FALSE(form->GetVisible());
    form->Show();
    form->NextClose = caFree;
    TComponentRef<TFrmForm> alive(form);
    TFrmForm* fresh = TFrmForm::Create(nullptr);
    for (const TPropInfo* prop : GetPropList(TForm::StaticClass())) {
        if (prop->HasDefault()) {
            EXPECT_TRUE(prop->IsDefaultValue(fresh)) << prop->Name();
        }
    }
    fresh->Free();
    form->Close();
    EXPECT_TRUE(alive);  // released later, not inside Close
    EXPECT_TRUE(PumpApplication(1000, [&] { return !alive; }));
    EXPECT_EQ(Screen->GetFormCount(), forms - 1);
    EXPECT_EQ(log, (std::vector<std::string>{"show", "close", "close", "hide", "show", "close",
                                             "destroy, children 1, button Button"}));

    // A form made visible while it is built shows once it is complete.
    TFrmEager* eager = TFrmEager::Create(nullptr);
    EXPECT_TRUE(eager->GetVisible());
    ASSERT_TRUE(eager->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(eager->GetHandle()));
    EXPECT_TRUE(eager->CreatedHidden);
    eager->Free();
}

TEST_F(FormsAndApplication, NestedLoopsHandTheQuitOn) {
    TPrivateApplication scope;
    struct TNested : TObject {
        bool Ran = false;
        bool TerminatedInside = false;
        void Proc(TMessage& m) {
            if (m.Msg == WM_APP + 7) {
                Ran = true;
                PostQuitMessage(3);
                Application->ProcessMessages();  // nested: sees the quit, posts it again
                TerminatedInside = Application->GetTerminated();
                m.Result = 1;
                return;
            }
            m.Result = DefWindowProcA(Window, m.Msg, m.WParam, m.LParam);
        }
        HWND Window = nullptr;
    } nested;
    nested.Window = AllocateHWnd(TWndMethod(&nested, &TNested::Proc));
    PostMessageA(nested.Window, WM_APP + 7, 0, 0);
    Application->ProcessMessages();
    EXPECT_TRUE(nested.Ran);
    EXPECT_TRUE(nested.TerminatedInside);
    EXPECT_TRUE(Application->GetTerminated());
    // The outer loop took the quit that the nested one handed on.
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    DeallocateHWnd(nested.Window);
}

TEST_F(FormsAndApplication, ClosingTheMainFormEndsRun) {
    TPrivateApplication scope;
    std::vector<std::string> log;
    TFrmForm* main = nullptr;
    Application->CreateForm(main);
    ASSERT_EQ(Application->GetMainForm(), main);
    EXPECT_TRUE(main->HandleAllocated());
    TFrmForm* second = nullptr;
    Application->CreateForm(second);
    EXPECT_EQ(Application->GetMainForm(), main);
    main->Log = &log;
    UINT_PTR safety = SetTimer(nullptr, 0, 5000, &QuitTimeout);
    PostMessageA(main->GetHandle(), WM_CLOSE, 0, 0);
    Application->Run();  // returns: closing the main form terminates
    KillTimer(nullptr, safety);
    EXPECT_TRUE(Application->GetTerminated());
    EXPECT_TRUE(main->GetVisible());
    EXPECT_EQ(log, (std::vector<std::string>{"show", "close"}));
    main->Log = nullptr;  // the application frees its forms at the end
}

TEST_F(FormsAndApplication, MinimizeAndRestoreHideAndShowTheForms) {
    TFrmForm* main = nullptr;
    Application->CreateForm(main);
    main->Show();
    PumpApplication(50);
    HWND app = Application->GetHandle();
    struct THook : TObject {
        int Minimizes = 0;
        bool Watch(TMessage& m) {
            if (m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) == SC_MINIMIZE) ++Minimizes;
            return false;
        }
    } hook;
    Application->HookMainWindow(TWindowHook(&hook, &THook::Watch));
    // The main form's minimise goes through the application window.
    SendMessageA(main->GetHandle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Application->UnhookMainWindow(TWindowHook(&hook, &THook::Watch));
    EXPECT_EQ(hook.Minimizes, 1);
    EXPECT_FALSE(IsWindowVisible(main->GetHandle()));
    EXPECT_TRUE(IsIconic(app));
    EXPECT_TRUE(main->GetVisible());
    Application->Restore();
    EXPECT_TRUE(IsWindowVisible(main->GetHandle()));
    EXPECT_FALSE(IsIconic(app));
    main->Free();
    EXPECT_EQ(Application->GetMainForm(), nullptr);
}

TEST_F(FormsAndApplication, ScreenMetricsCursorsAndFocus) {
    EXPECT_GT(Screen->GetWidth(), 0);
    EXPECT_GT(Screen->GetHeight(), 0);
    TRect work = Screen->GetWorkAreaRect();
    EXPECT_GT(work.Width(), 0);
    EXPECT_LE(work.Width(), Screen->GetDesktopRect().Width());
    EXPECT_EQ(Screen->GetPixelsPerInch(), 96);
    EXPECT_GE(Screen->GetColorDepth(), 16);
    EXPECT_FALSE(Screen->GetHintFont()->GetName().empty());
    EXPECT_FALSE(Screen->GetFonts().empty());

    // Cursors by number: the built-in ones, the program's own, the arrow
    // for unknown numbers.
    EXPECT_EQ(Screen->GetCursors(crHandPoint), LoadCursorA(nullptr, IDC_HAND));
    EXPECT_EQ(Screen->GetCursors(crSizeNWSE), LoadCursorA(nullptr, IDC_SIZENWSE));
    EXPECT_EQ(Screen->GetCursors(crDefault), LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(Screen->GetCursors(4242), LoadCursorA(nullptr, IDC_ARROW));
    HCURSOR own = LoadCursorA(nullptr, IDC_CROSS);
    Screen->SetCursors(10, own);
    EXPECT_EQ(Screen->GetCursors(10), own);

    // A forced cursor wins over the control's.
    TFrmForm* form = TFrmForm::Create(nullptr);
    form->Show();
    form->Button->SetCursor(crHandPoint);
    Screen->SetCursor(crHourGlass);
    form->Button->Perform(WM_SETCURSOR, reinterpret_cast<uintptr_t>(form->Button->GetHandle()),
                          MAKELONG(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
    Screen->SetCursor(crDefault);
    form->Button->Perform(WM_SETCURSOR, reinterpret_cast<uintptr_t>(form->Button->GetHandle()),
                          MAKELONG(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));

    // Focus makes the control and its form the screen's active ones.
    form->Button->SetFocus();
    EXPECT_EQ(Screen->GetActiveControl(), form->Button);
    EXPECT_EQ(Screen->GetActiveForm(), form);
    form->Free();
    EXPECT_EQ(Screen->GetActiveControl(), nullptr);
    EXPECT_EQ(Screen->GetActiveForm(), nullptr);
}

namespace {

// A component that answers the form's shortcut question as told and logs
// each time it is asked; its handler may change the form's components.
class TShortCutProbe : public TComponent {
    GCL_CLASS(TShortCutProbe, TComponent)
public:
    std::vector<std::string>* Log = nullptr;
    bool Answer = false;
    std::function<void()> WhenAsked;
    void Dispatch(TMessage& message) override {
        if (message.Msg != CM_ISSHORTCUT) {
            TComponent::Dispatch(message);
            return;
        }
        Log->push_back(GetName());
        if (WhenAsked) WhenAsked();
        message.Result = Answer ? 1 : 0;
    }

protected:
    explicit TShortCutProbe(TComponent* owner) : TComponent(owner) {}
};
GCL_IMPLEMENT_CLASS(TShortCutProbe)

class TShortCutHandler : public TObject {
public:
    bool Handles = false;
    int Calls = 0;
    void ShortCut(TWMKey&, bool& handled) {
        ++Calls;
        handled = Handles;
    }
};

} // namespace

// The form's own handler first, then its components in their order, the
// first that answers winning; controls are not asked, and a component a
// handler frees or moves is asked only while the form still owns it.
TEST_F(FormsAndApplication, ShortCutsAskTheFormsComponentsInOrder) {
    std::vector<std::string> log;
    TFrmForm* form = TFrmForm::Create(nullptr); // owns its button, a control
    auto probe = [&](const char* name, bool answer) {
        TShortCutProbe* p = TShortCutProbe::Create(form);
        p->SetName(name);
        p->Log = &log;
        p->Answer = answer;
        return p;
    };
    TShortCutProbe* a = probe("A", false);
    TShortCutProbe* b = probe("B", true);
    TShortCutProbe* c = probe("C", true);
    TMessage key = MakeMessage(WM_KEYDOWN, VK_F7, 0);

    EXPECT_TRUE(form->IsShortCut(key));
    EXPECT_EQ(log, (std::vector<std::string>{"A", "B"}));

    // The form's handler decides first.
    TShortCutHandler handler;
    handler.Handles = true;
    form->OnShortCut = TShortCutEvent(&handler, &TShortCutHandler::ShortCut);
    log.clear();
    EXPECT_TRUE(form->IsShortCut(key));
    EXPECT_EQ(handler.Calls, 1);
    EXPECT_TRUE(log.empty());
    handler.Handles = false;

    // A moved to the end: the new order counts.
    a->SetComponentIndex(form->GetComponentCount() - 1);
    log.clear();
    EXPECT_TRUE(form->IsShortCut(key));
    EXPECT_EQ(log, (std::vector<std::string>{"B"}));
    a->SetComponentIndex(1);

    // Asking A frees B: B is not asked, C answers.
    a->WhenAsked = [&] { FreeAndNil(b); };
    log.clear();
    EXPECT_TRUE(form->IsShortCut(key));
    EXPECT_EQ(log, (std::vector<std::string>{"A", "C"}));

    // Asking A moves C before it and a new D to the end: C, still owned, is
    // asked in the order of the list as it was; D was not there yet.
    TShortCutProbe* d = nullptr;
    c->Answer = false;
    a->WhenAsked = [&] {
        c->SetComponentIndex(0);
        d = probe("D", true);
    };
    log.clear();
    EXPECT_FALSE(form->IsShortCut(key));
    EXPECT_EQ(log, (std::vector<std::string>{"A", "C"}));
    ASSERT_NE(d, nullptr);

    // A handler takes C, now last, from the form: it is no longer asked.
    c->SetComponentIndex(form->GetComponentCount() - 1);
    d->Answer = false;
    a->WhenAsked = [&] { form->RemoveComponent(c); };
    log.clear();
    EXPECT_FALSE(form->IsShortCut(key));
    EXPECT_EQ(log, (std::vector<std::string>{"A", "D"}));
    c->Free();
    form->Free();
}

namespace {

// The work area the system gives for the monitor nearest to r.
TRect SystemWorkAreaNear(const TRect& r) {
    const RECT rect{r.Left, r.Top, r.Right, r.Bottom};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info)) return TRect{};
    return FromRECT(info.rcWork);
}

} // namespace

TEST_F(FormsAndApplication, ScreenKeepsTheDisplaysAnswersUntilTheSystemAnnouncesAChange) {
    // What the screen keeps is what the system answers.
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(Screen->GetWidth(), GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(Screen->GetHeight(), GetSystemMetrics(SM_CYSCREEN));
        EXPECT_EQ(Screen->GetDesktopRect(),
                  Bounds(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)));
        RECT work{};
        ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
        EXPECT_EQ(Screen->GetWorkAreaRect(), FromRECT(work));
        // The nearest monitor's work area, for places on the screen, across
        // its edge and far beyond it on every side.
        const int w = Screen->GetWidth();
        const int h = Screen->GetHeight();
        for (const TRect& r : {Rect(10, 10, 300, 200), Rect(w - 50, h - 50, w + 400, h + 300),
                               Rect(-5000, -5000, -4000, -4500), Rect(w + 9000, 20, w + 9500, 400),
                               Rect(30, h + 7000, 600, h + 7300), Rect(-100, -100, w + 100, h + 100)})
            EXPECT_EQ(Screen->GetWorkAreaNear(r), SystemWorkAreaNear(r)) << r.Left << "," << r.Top;
        // Each announcement of a change reaching the application makes
        // the kept answers stale; they are asked again and still agree.
        const unsigned before = SystemSettingsGeneration();
        SendMessageA(Application->GetHandle(), WM_DISPLAYCHANGE, 32, MAKELPARAM(w, h));
        SendMessageA(Application->GetHandle(), WM_DPICHANGED, MAKEWPARAM(96, 96), 0);
        SendMessageA(Application->GetHandle(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
        EXPECT_EQ(SystemSettingsGeneration(), before + 3);
    }
}

namespace {

// A form class of its own, so that its window class is registered while
// the test's application icon is in place.
class TFrmIconForm : public TForm {
    GCL_CLASS(TFrmIconForm, TForm)
protected:
    explicit TFrmIconForm(TComponent* owner) : TForm(owner, 0) {}
};
GCL_IMPLEMENT_CLASS(TFrmIconForm)

// The icon a window shows in its caption and task switcher: the one it was
// given, else its class's.
HICON IconShownBy(HWND wnd) {
    if (HICON given = reinterpret_cast<HICON>(SendMessageA(wnd, WM_GETICON, ICON_BIG, 0))) return given;
    return reinterpret_cast<HICON>(GetClassLongPtrA(wnd, GCLP_HICON));
}

} // namespace

TEST_F(FormsAndApplication, FormsShowTheApplicationsIconOrTheirOwn) {
    TIcon appIcon;
    appIcon.SetHandle(CopyIcon(LoadIconA(nullptr, IDI_INFORMATION)));
    TIcon ownIcon;
    ownIcon.SetHandle(CopyIcon(LoadIconA(nullptr, IDI_WARNING)));
    ASSERT_TRUE(appIcon.HandleAllocated() && ownIcon.HandleAllocated());
    TIcon saved;
    saved.Assign(Application->GetIcon());
    Application->SetIcon(&appIcon);
    const HICON application = Application->GetIcon()->GetHandle();
    // The first form of its class shows the application's icon, which its
    // window class carries, as its small icon too (the caption draws the
    // big one shrunk, as for a window given the icon).
    TFrmIconForm* first = TFrmIconForm::Create(nullptr);
    first->HandleNeeded();
    EXPECT_EQ(IconShownBy(first->GetHandle()), application);
    EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrA(first->GetHandle(), GCLP_HICONSM)), application);
    // A form of the same class with an icon of its own is given it.
    TFrmIconForm* second = TFrmIconForm::Create(nullptr);
    second->SetIcon(&ownIcon);
    second->HandleNeeded();
    EXPECT_EQ(IconShownBy(second->GetHandle()), second->GetIcon()->GetHandle());
    EXPECT_NE(second->GetIcon()->GetHandle(), application);
    // A dialog frame shows only an icon given to the window: it is given
    // the application's.
    TFrmIconForm* dialog = TFrmIconForm::Create(nullptr);
    dialog->SetBorderStyle(bsDialog);
    dialog->HandleNeeded();
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dialog->GetHandle(), WM_GETICON, ICON_BIG, 0)), application);
    dialog->Free();
    // A window made again for the first shows the application's icon still.
    first->RecreateWnd();
    first->HandleNeeded();
    EXPECT_EQ(IconShownBy(first->GetHandle()), application);
    second->Free();
    first->Free();
    Application->SetIcon(&saved);
}

TEST_F(FormsAndApplication, CursorsNamedByResourceLoadWhenFirstAskedFor) {
    const HINSTANCE module = GetModuleHandleA(nullptr);
    // This program has no such cursor: the fallback, else the arrow of an
    // unknown number.
    Screen->SetCursorResource(40, module, "NO_SUCH_CURSOR", IDC_CROSS);
    Screen->SetCursorResource(41, module, "NO_SUCH_CURSOR");
    EXPECT_EQ(Screen->GetCursors(40), LoadCursorA(nullptr, IDC_CROSS));
    EXPECT_EQ(Screen->GetCursors(40), LoadCursorA(nullptr, IDC_CROSS));
    EXPECT_EQ(Screen->GetCursors(41), LoadCursorA(nullptr, IDC_ARROW));
    // The later of a handle and a resource for one number wins, whether
    // the resource was loaded yet or not.
    const HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    Screen->SetCursors(42, cross);
    Screen->SetCursorResource(42, module, "NO_SUCH_CURSOR", IDC_IBEAM);
    EXPECT_EQ(Screen->GetCursors(42), LoadCursorA(nullptr, IDC_IBEAM));
    Screen->SetCursorResource(43, module, "NO_SUCH_CURSOR", IDC_IBEAM);
    Screen->SetCursors(43, cross);
    EXPECT_EQ(Screen->GetCursors(43), cross);
    Screen->SetCursorResource(40, module, "NO_SUCH_CURSOR", IDC_SIZEALL);
    EXPECT_EQ(Screen->GetCursors(40), LoadCursorA(nullptr, IDC_SIZEALL));
}

TEST_F(FormsAndApplication, CursorAliasesTakeTheirSourceWhenFirstAskedFor) {
    const HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    // The source as it is when the alias is first asked for, not when it
    // was named.
    Screen->SetCursorAlias(50, 51);
    Screen->SetCursors(51, cross);
    EXPECT_EQ(Screen->GetCursors(50), cross);
    EXPECT_EQ(Screen->GetCursors(50), cross);
    // A built-in source.
    Screen->SetCursorAlias(52, crSizeAll);
    EXPECT_EQ(Screen->GetCursors(52), LoadCursorA(nullptr, IDC_SIZEALL));
    // The later of an alias and a handle wins.
    Screen->SetCursorAlias(53, crSizeAll);
    Screen->SetCursors(53, cross);
    EXPECT_EQ(Screen->GetCursors(53), cross);
    Screen->SetCursors(54, cross);
    Screen->SetCursorAlias(54, crSizeAll);
    EXPECT_EQ(Screen->GetCursors(54), LoadCursorA(nullptr, IDC_SIZEALL));
    // A number naming itself, or a ring of them, answers as an unknown
    // number instead of looping.
    Screen->SetCursorAlias(55, 55);
    EXPECT_EQ(Screen->GetCursors(55), LoadCursorA(nullptr, IDC_ARROW));
    Screen->SetCursorAlias(56, 57);
    Screen->SetCursorAlias(57, 56);
    EXPECT_EQ(Screen->GetCursors(56), LoadCursorA(nullptr, IDC_ARROW));
}
