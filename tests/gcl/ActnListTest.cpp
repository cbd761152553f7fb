// Actions, action lists, action links and shortcut dispatch.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"
#include <richedit.h>

#include <functional>
#include <string>
#include <vector>

#include "gcl/ActnList.h"
#include "gcl/Buttons.h"
#include "gcl/ExtCtrls.h"
#include "gcl/Forms.h"
#include "gcl/Menus.h"
#include "gcl/StdCtrls.h"
#include "support/ApplicationTest.h"

using namespace gcl;
using qelvo::test::PumpApplication;

namespace {


// Records what the handlers of actions and lists see.
class TActionLog : public TObject {
public:
    std::vector<std::string> Lines;
    bool ListHandles = false;
    bool DisableOnUpdate = false;
    int Updates = 0;

    void Execute(TObject* sender) {
        auto* action = static_cast<TCustomAction*>(sender);
        TComponent* client = action->GetActionComponent();
        Lines.push_back("execute " + action->GetName() + (action->GetChecked() ? " checked" : " unchecked") +
                        (client ? " from " + client->GetName() : std::string()));
    }
    void Update(TObject* sender) {
        ++Updates;
        if (DisableOnUpdate) static_cast<TCustomAction*>(sender)->SetEnabled(false);
    }
    void ListExecute(TBasicAction* action, bool& handled) {
        Lines.push_back("list " + action->GetName());
        handled = ListHandles;
    }
    void OtherClick(TObject* sender) { Lines.push_back("click " + static_cast<TComponent*>(sender)->GetName()); }
    void Hint(std::string& hint, bool& canShow) {
        hint = "[" + hint + "]";
        canShow = hint != "[secret]";
    }
};

class TActnControl : public TCustomControl {
    GCL_CLASS(TActnControl, TCustomControl)
public:
    using TControl::ActionChange;
    using TControl::GetActionLink;
    using TControl::GetCaption;
    using TControl::SetCaption;
    void DoClick() { Click(); }

protected:
    explicit TActnControl(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 80, 24); }
};
GCL_IMPLEMENT_CLASS(TActnControl)

class TActnGraphic : public TGraphicControl {
    GCL_CLASS(TActnGraphic, TGraphicControl)
public:
    using TControl::GetCaption;
    using TControl::SetCaption;

protected:
    explicit TActnGraphic(TComponent* owner) : TGraphicControl(owner) {}
};
GCL_IMPLEMENT_CLASS(TActnGraphic)

class TActnForm : public TForm {
    GCL_CLASS(TActnForm, TForm)
protected:
    explicit TActnForm(TComponent* owner) : TForm(owner, 0) {
        SetCaption("Actions test");
        SetBounds(120, 120, 300, 200);
    }
};
GCL_IMPLEMENT_CLASS(TActnForm)

TAction* NewAction(TComponent* owner, TCustomActionList* list, const std::string& name, TActionLog& log) {
    TAction* action = TAction::Create(owner);
    action->SetName(name);
    action->SetActionList(list);
    action->SetOnExecute(TNotifyEvent(&log, &TActionLog::Execute));
    return action;
}

// Presses a key with the given modifiers held, through the message loop.
void PressKey(HWND window, uint16_t key, bool ctrl) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    BYTE saved[256];
    std::copy(state, state + 256, saved);
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_LCONTROL] = state[VK_CONTROL];
    SetKeyboardState(state);
    PostMessageA(window, WM_KEYDOWN, key, 0x00000001);
    PostMessageA(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
    PumpApplication(50);
    SetKeyboardState(saved);
}

class ActionsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        InitializeUnits({&FormsUnit, &MenusUnit, &StdCtrlsUnit, &ButtonsUnit});
    }
    static void TearDownTestSuite() { FinalizeUnits({&FormsUnit, &MenusUnit, &StdCtrlsUnit, &ButtonsUnit}); }
    void SetUp() override { Owner = TComponent::Create(nullptr); }
    void TearDown() override {
        Owner->Free();
        PumpApplication(10);
    }
    // Outlives the components, whose handlers point into it.
    TActionLog Log;
    TComponent* Owner = nullptr;
};

} // namespace

TEST_F(ActionsTest, AutoCheckGroupsAndTheExecuteChain) {
    TActionLog& log = Log;
    TActionList* list = TActionList::Create(Owner);
    TAction* date = NewAction(Owner, list, "DateGroupA", log);
    TAction* tags = NewAction(Owner, list, "TagsGroupA", log);
    TAction* other = NewAction(Owner, list, "OtherA", log);
    for (TAction* a : {date, tags}) {
        a->SetAutoCheck(true);
        a->SetGroupIndex(1);
    }
    other->SetGroupIndex(2);
    other->SetChecked(true);
    EXPECT_EQ(list->GetActionCount(), 3);
    EXPECT_EQ(tags->GetIndex(), 1);

    // AutoCheck flips before OnExecute; checking one member unchecks the rest.
    EXPECT_TRUE(date->Execute());
    EXPECT_TRUE(tags->Execute());
    EXPECT_FALSE(date->GetChecked());
    EXPECT_TRUE(tags->GetChecked());
    // Executing the checked member again leaves the whole group unchecked.
    EXPECT_TRUE(tags->Execute());
    EXPECT_FALSE(tags->GetChecked());
    EXPECT_FALSE(date->GetChecked());
    EXPECT_TRUE(other->GetChecked());
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"execute DateGroupA checked", "execute TagsGroupA checked",
                                                   "execute TagsGroupA unchecked"}));

    // Setting Checked directly follows the group rule too, within the list
    // and the group only.
    date->SetChecked(true);
    tags->SetChecked(true);
    EXPECT_FALSE(date->GetChecked());
    EXPECT_TRUE(other->GetChecked());
    date->SetGroupIndex(2);
    date->SetChecked(true);
    EXPECT_FALSE(other->GetChecked());
    EXPECT_TRUE(tags->GetChecked());

    // The list's OnExecute runs first and may handle the action.
    log.Lines.clear();
    list->OnExecute = TActionEvent(&log, &TActionLog::ListExecute);
    other->Execute();
    log.ListHandles = true;
    other->Execute();
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"list OtherA", "execute OtherA unchecked", "list OtherA"}));
    list->OnExecute = nullptr;

    // Execute updates first; a disabled action does nothing, not even the
    // AutoCheck flip.
    log.Lines.clear();
    date->SetOnUpdate(TNotifyEvent(&log, &TActionLog::Update));
    log.DisableOnUpdate = true;
    const bool checked = date->GetChecked();
    EXPECT_FALSE(date->Execute());
    EXPECT_EQ(log.Updates, 1);
    EXPECT_EQ(date->GetChecked(), checked);
    EXPECT_TRUE(log.Lines.empty());

    // An action nobody handles goes to the application window.
    THintAction* hint = THintAction::Create(Owner);
    hint->SetHint("from the status bar");
    struct THook {
        std::string Seen;
        bool Hook(TMessage& m) {
            if (m.Msg != CM_ACTIONEXECUTE) return false;
            auto* action = reinterpret_cast<TObject*>(m.LParam);
            if (auto* h = dynamic_cast<THintAction*>(action)) Seen = h->GetHint();
            m.Result = 1;
            return true;
        }
    } hook;
    Application->HookMainWindow(TWindowHook(&hook, &THook::Hook));
    EXPECT_TRUE(hint->Execute());
    Application->UnhookMainWindow(TWindowHook(&hook, &THook::Hook));
    EXPECT_EQ(hook.Seen, "from the status bar");
    EXPECT_FALSE(hint->Execute());

    // The hint veto, Assign, and an action leaving its list when freed.
    date->OnHint = THintEvent(&log, &TActionLog::Hint);
    std::string text = "open";
    EXPECT_TRUE(date->DoHint(text));
    EXPECT_EQ(text, "[open]");
    text = "secret";
    EXPECT_FALSE(date->DoHint(text));
    date->SetCaption("&Date");
    date->SetShortCut(ShortCut('D', TShiftState{ssAlt}));
    other->Assign(date);
    EXPECT_EQ(other->GetCaption(), "&Date");
    EXPECT_EQ(other->GetShortCut(), date->GetShortCut());
    EXPECT_EQ(other->GetGroupIndex(), 2);
    EXPECT_TRUE(other->GetAutoCheck());
    other->Free();
    EXPECT_EQ(list->GetActionCount(), 2);
    list->Free();
    EXPECT_EQ(date->GetActionList(), nullptr);
    EXPECT_EQ(date->GetIndex(), -1);
}

TEST_F(ActionsTest, LinkedControlsFollowTheActionAndRunItWhenClicked) {
    TActionLog& log = Log;
    TActionList* list = TActionList::Create(Owner);
    TAction* action = NewAction(Owner, list, "SaveA", log);
    action->SetCaption("&Save");
    action->SetHint("Save|Saves the list");
    TActnControl* control = TActnControl::Create(Owner);
    control->SetName("SaveButton");
    TActnGraphic* graphic = TActnGraphic::Create(Owner);

    control->SetAction(action);
    graphic->SetAction(action);
    EXPECT_EQ(control->GetAction(), action);
    EXPECT_EQ(control->GetActionLink()->ClassType(), TWinControlActionLink::StaticClass());
    EXPECT_EQ(action->GetClients(1)->ClassType(), TControlActionLink::StaticClass());
    EXPECT_EQ(TButtonActionLink::StaticClass()->ClassParent(), TWinControlActionLink::StaticClass());
    EXPECT_EQ(TSpeedButtonActionLink::StaticClass()->ClassParent(), TControlActionLink::StaticClass());
    EXPECT_TRUE(control->GetControlStyle().Contains(csActionClient));
    EXPECT_EQ(control->GetCaption(), "&Save");
    EXPECT_EQ(control->GetHint(), "Save|Saves the list");
    EXPECT_TRUE(control->OnClick == action->OnExecute);
    EXPECT_TRUE(control->GetActionLink()->IsOnExecuteLinked());
    EXPECT_EQ(action->GetClientCount(), 2);

    // Changes of the action reach the clients; every change applies the
    // whole action again, to each client.
    graphic->SetCaption("Mine");
    action->SetCaption("Save &As");
    EXPECT_EQ(graphic->GetCaption(), "Save &As");
    action->SetEnabled(false);
    EXPECT_EQ(control->GetCaption(), "Save &As");
    EXPECT_FALSE(control->GetEnabled());
    EXPECT_FALSE(graphic->GetEnabled());
    action->SetVisible(false);
    EXPECT_FALSE(control->GetVisible());
    action->SetVisible(true);
    action->SetEnabled(true);

    // A click runs the action with the control as its ActionComponent; an
    // OnClick of its own runs instead of the action.
    control->DoClick();
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"execute SaveA unchecked from SaveButton"}));
    EXPECT_EQ(action->GetActionComponent(), nullptr);
    control->OnClick = TNotifyEvent(&log, &TActionLog::OtherClick);
    EXPECT_FALSE(control->GetActionLink()->IsOnExecuteLinked());
    control->DoClick();
    EXPECT_EQ(log.Lines.back(), "click SaveButton");
    // A new OnExecute only reaches clients still tied to the old one.
    action->SetOnExecute(TNotifyEvent(&log, &TActionLog::OtherClick));
    EXPECT_TRUE(graphic->OnClick == action->OnExecute);

    // The idle update reaches bound controls of visible forms.
    action->SetOnUpdate(TNotifyEvent(&log, &TActionLog::Update));
    TActnForm* form = TActnForm::Create(Owner);
    control->SetParent(form);
    form->Show();
    log.Updates = 0;
    Application->UpdateActions();
    EXPECT_EQ(log.Updates, 1);

    // Loading keeps the values a control has of its own.
    TActnControl* loaded = TActnControl::Create(Owner);
    loaded->SetHint("own hint");
    loaded->ActionChange(action, true);
    EXPECT_EQ(loaded->GetHint(), "own hint");
    EXPECT_EQ(loaded->GetCaption(), "Save &As");

    // Either side may go first.
    control->Free();
    EXPECT_EQ(action->GetClientCount(), 1);
    action->Free();
    EXPECT_EQ(graphic->GetAction(), nullptr);
    EXPECT_FALSE(graphic->GetControlStyle().Contains(csActionClient));
}

// TButtonControl and TSpeedButton name links of their own.
TEST_F(ActionsTest, ButtonAndSpeedButtonLinksReachPublishedState) {
    TActionLog& log = Log;
    TActionList* list = TActionList::Create(Owner);
    TAction* action = NewAction(Owner, list, "HideDoneA", log);
    action->SetAutoCheck(true);
    action->SetGroupIndex(3);
    TActnForm* form = TActnForm::Create(Owner);
    TCheckBox* check = TCheckBox::Create(Owner);
    check->SetParent(form);
    check->HandleNeeded();
    TSpeedButton* speed = TSpeedButton::Create(Owner);
    speed->SetParent(form);
    speed->SetAllowAllUp(true);  // else a grouped button cannot be let up

    check->SetAction(action);
    speed->SetAction(action);
    EXPECT_EQ(action->GetClients(0)->ClassType(), TButtonActionLink::StaticClass());
    EXPECT_EQ(action->GetClients(1)->ClassType(), TSpeedButtonActionLink::StaticClass());
    EXPECT_EQ(speed->GetGroupIndex(), 3);

    // Checking the action checks the clients without running the action.
    action->SetChecked(true);
    EXPECT_TRUE(check->GetChecked());
    EXPECT_EQ(SendMessageA(check->GetHandle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(speed->GetDown());
    EXPECT_TRUE(log.Lines.empty());
    EXPECT_TRUE(check->OnClick == action->OnExecute);
    action->SetChecked(false);
    EXPECT_FALSE(check->GetChecked());
    EXPECT_FALSE(speed->GetDown());

}

// Any control runs its action when clicked with the mouse: a windowless
// label through its parent's window, a panel through its own.
TEST_F(ActionsTest, LabelsAndPanelsRunTheirActionWhenClicked) {
    TActionLog& log = Log;
    TAction* action = NewAction(Owner, nullptr, "OpenA", log);
    action->SetCaption("Open");
    TActnForm* form = TActnForm::Create(Owner);
    TLabel* label = TLabel::Create(Owner);
    label->SetName("OpenLabel");
    label->SetBounds(10, 10, 60, 20);
    label->SetParent(form);
    TPanel* panel = TPanel::Create(Owner);
    panel->SetName("OpenPanel");
    panel->SetBounds(10, 50, 120, 40);
    panel->SetParent(form);
    label->SetAction(action);
    panel->SetAction(action);
    EXPECT_EQ(label->GetCaption(), "Open");
    EXPECT_EQ(panel->GetCaption(), "Open");
    form->Show();

    SendMessageA(form->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
    SendMessageA(form->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(15, 15));
    SendMessageA(panel->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));

    SendMessageA(panel->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"execute OpenA unchecked from OpenLabel",
                                                   "execute OpenA unchecked from OpenPanel"}));

    // Unbinding ends the link and leaves the control as it is.
    panel->SetAction(nullptr);
    EXPECT_EQ(panel->GetAction(), nullptr);
    EXPECT_FALSE(panel->GetControlStyle().Contains(csActionClient));
    EXPECT_EQ(action->GetClientCount(), 1);
    EXPECT_EQ(panel->GetCaption(), "Open");
}

// Without an OnHint handler a new application hint goes out as a hint
// action, which reaches the application window.
TEST_F(ActionsTest, ApplicationHintIsExecutedAsAHintAction) {
    struct THook : TObject {
        std::vector<std::string> Seen;
        bool Hook(TMessage& message) {
            if (message.Msg != CM_ACTIONEXECUTE) return false;
            auto* action = dynamic_cast<THintAction*>(reinterpret_cast<TObject*>(message.LParam));
            if (action) Seen.push_back(action->GetHint());
            return false;
        }
    } hook;
    Application->HookMainWindow(TWindowHook(&hook, &THook::Hook));
    Application->SetHint("Saves the list");
    Application->SetHint("Saves the list");
    TNotifyEvent onHint = Application->OnHint;
    struct THandler : TObject {
        int Calls = 0;
        void Hint(TObject*) { ++Calls; }
    } handler;
    Application->OnHint = TNotifyEvent(&handler, &THandler::Hint);
    Application->SetHint("Deletes the task");
    Application->OnHint = onHint;
    Application->SetHint("");
    Application->UnhookMainWindow(TWindowHook(&hook, &THook::Hook));
    EXPECT_EQ(hook.Seen, (std::vector<std::string>{"Saves the list", ""}));
    EXPECT_EQ(handler.Calls, 1);
}

TEST_F(ActionsTest, ShortCutsRunTheFormsActionBeforeTheFocusedEdit) {
    TActionLog& log = Log;
    TActnForm* form = TActnForm::Create(Owner);
    TActionList* list = TActionList::Create(form);
    TAction* all = NewAction(form, list, "FDateAll", log);
    all->SetShortCut(ShortCut('A', TShiftState{ssCtrl}));
    TEdit* edit = TEdit::Create(form);
    edit->SetParent(form);
    edit->SetText("hello world");
    form->Show();
    HWND window = edit->GetHandle();
    SendMessageA(window, EM_SETSEL, 0, 0);

    // Ctrl+A runs the form's action and never reaches the edit.
    PressKey(window, 'A', true);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"execute FDateAll unchecked"}));
    EXPECT_EQ(edit->GetSelLength(), 0);

    // A shortcut changed at run time takes effect at once.
    all->SetShortCut(ShortCut('B', TShiftState{ssCtrl}));
    PressKey(window, 'A', true);
    EXPECT_EQ(log.Lines.size(), 1u);
    PressKey(window, 'B', true);
    EXPECT_EQ(log.Lines.size(), 2u);
    PressKey(window, 'B', false);
    EXPECT_EQ(log.Lines.size(), 2u);

    // A disabled action lets the key through to the next match.
    TAction* second = NewAction(form, list, "SecondA", log);
    second->SetShortCut(all->GetShortCut());
    all->SetEnabled(false);
    PressKey(window, 'B', true);
    EXPECT_EQ(log.Lines.back(), "execute SecondA unchecked");
    second->SetEnabled(false);
    const size_t count = log.Lines.size();
    PressKey(window, 'B', true);
    EXPECT_EQ(log.Lines.size(), count);
}

namespace {

// An edit answering every key's dialog code, as a label editor does.
WNDPROC GLabelEditorProc = nullptr;
LRESULT CALLBACK LabelEditorProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETDLGCODE) return DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    return CallWindowProcA(GLabelEditorProc, window, msg, wParam, lParam);
}

} // namespace

// The keys a text box takes for itself, and the windows that are text
// boxes: an edit, an in-place editor of the "Edit" class that answers
// every key's dialog code (as the tree view's label editor does) and a
// rich edit that keeps its selection, but not a button or the form.
TEST_F(ActionsTest, TextEditingKeysAndTextBoxes) {
    for (TShortCut key : {ShortCut('A', TShiftState{ssCtrl}), ShortCut('V', TShiftState{ssCtrl}),
                          ShortCut('Z', TShiftState{ssCtrl}), ShortCut(VK_INSERT, TShiftState{ssShift}),
                          ShortCut(VK_DELETE, TShiftState{}), ShortCut(VK_BACK, TShiftState{ssCtrl}),
                          ShortCut(VK_LEFT, TShiftState{ssCtrl, ssShift}), ShortCut(VK_END, TShiftState{ssShift})})
        EXPECT_TRUE(IsTextEditingKey(key)) << ShortCutToText(key);
    for (TShortCut key : {ShortCut('D', TShiftState{ssCtrl}), ShortCut('A', TShiftState{ssAlt}),
                          ShortCut('A', TShiftState{ssCtrl, ssShift}), ShortCut('A', TShiftState{}),
                          ShortCut(VK_LEFT, TShiftState{ssAlt}), ShortCut(VK_DELETE, TShiftState{ssCtrl, ssShift}),
                          ShortCut(VK_F2, TShiftState{}), ShortCut(VK_UP, TShiftState{ssCtrl})})
        EXPECT_FALSE(IsTextEditingKey(key)) << ShortCutToText(key);

    TActnForm* form = TActnForm::Create(Owner);
    TEdit* edit = TEdit::Create(form);
    edit->SetParent(form);
    TButton* button = TButton::Create(form);
    button->SetParent(form);
    form->Show();
    EXPECT_TRUE(IsTextBox(edit->GetHandle()));
    EXPECT_FALSE(IsTextBox(button->GetHandle()));
    EXPECT_FALSE(IsTextBox(form->GetHandle()));
    EXPECT_FALSE(IsTextBox(nullptr));
    HWND editor = CreateWindowExA(0, "Edit", "", WS_CHILD, 0, 0, 50, 20, form->GetHandle(), nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(editor, nullptr);
    GLabelEditorProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LabelEditorProc)));
    EXPECT_EQ(SendMessageA(editor, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL, 0);
    EXPECT_TRUE(IsTextBox(editor));
    DestroyWindow(editor);
    // A rich edit that keeps its selection asks for none on Tab.
    ASSERT_NE(LoadLibraryA("riched20.dll"), nullptr);
    HWND rich = CreateWindowExA(0, "RichEdit20A", "", WS_CHILD | ES_MULTILINE | ES_SAVESEL, 0, 0, 50, 20,
                                form->GetHandle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(rich, nullptr);
    EXPECT_TRUE(IsTextBox(rich));
    DestroyWindow(rich);
}

// Ctrl, Shift or Alt pressed before the key they modify asks no action or
// menu: even one given such a key as its shortcut stays idle, and the key
// reaches the focused control as any other unclaimed key does.
TEST_F(ActionsTest, AModifierKeyOnItsOwnIsNoShortCut) {
    TActionLog& log = Log;
    TActnForm* form = TActnForm::Create(Owner);
    TActionList* list = TActionList::Create(form);
    TAction* bare = NewAction(form, list, "BareCtrlA", log);
    bare->SetShortCut(ShortCut(VK_CONTROL, TShiftState{ssCtrl}));
    TAction* all = NewAction(form, list, "CtrlAA", log);
    all->SetShortCut(ShortCut('A', TShiftState{ssCtrl}));
    TMainMenu* menu = TMainMenu::Create(form);
    TMenuItem* item = TMenuItem::Create(form);
    item->SetCaption("Shift");
    item->SetShortCut(ShortCut(VK_SHIFT, TShiftState{ssShift}));
    menu->GetItems()->Add(item);
    struct TKeys {
        std::vector<uint16_t> Down;
        void KeyDown(TObject*, uint16_t& key, TShiftState) { Down.push_back(key); }
    } keys;
    TEdit* edit = TEdit::Create(form);
    edit->SetParent(form);
    edit->OnKeyDown = TKeyEvent(&keys, &TKeys::KeyDown);
    form->Show();
    HWND window = edit->GetHandle();

    PressKey(window, VK_CONTROL, true);
    PressKey(window, VK_SHIFT, false);
    EXPECT_TRUE(log.Lines.empty());
    EXPECT_EQ(keys.Down, (std::vector<uint16_t>{VK_CONTROL, VK_SHIFT}));
    // The key after it is matched with Ctrl as before.
    PressKey(window, 'A', true);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"execute CtrlAA unchecked"}));
    EXPECT_EQ(keys.Down.size(), 2u);
    TMessage m = MakeMessage(WM_KEYDOWN, VK_LCONTROL, 0x001D0001);
    EXPECT_EQ(ShortCutFromMessage(TWMKey(m)), 0);
}

// Shortcut matching reads the modifier keys once per key message offered:
// the answer holds for that message only, never for another key or one
// taken from the queue later, and an inner scope has its own.
TEST_F(ActionsTest, ShortCutModifiersAreReadOnceForTheKeyMessageOffered) {
    BYTE saved[256] = {};
    GetKeyboardState(saved);
    auto hold = [](bool shift, bool ctrl) {
        BYTE state[256] = {};
        state[VK_SHIFT] = state[VK_LSHIFT] = shift ? 0x80 : 0;
        state[VK_CONTROL] = state[VK_LCONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(state);
    };
    auto shortCutOf = [](uintptr_t key, intptr_t keyData) {
        TMessage m = MakeMessage(WM_KEYDOWN, key, keyData);
        return ShortCutFromMessage(TWMKey(m));
    };
    const intptr_t keyData = 0x001E0001, altKeyData = keyData | 0x20000000;
    hold(false, true);
    {
        const TKeyMessageScope scope('A', keyData);
        EXPECT_TRUE(InKeyMessageScope('A', keyData));
        EXPECT_FALSE(InKeyMessageScope('B', keyData));
        hold(false, false);
        EXPECT_EQ(KeyMessageShiftState('A', keyData), TShiftState{ssCtrl});
        EXPECT_EQ(shortCutOf('A', keyData), ShortCut('A', TShiftState{ssCtrl}));
        EXPECT_EQ(shortCutOf('B', keyData), ShortCut('B', TShiftState{}));
        EXPECT_EQ(shortCutOf('A', altKeyData), ShortCut('A', TShiftState{ssAlt}));
        hold(true, false);
        {
            const TKeyMessageScope inner('A', altKeyData);
            hold(false, false);
            EXPECT_EQ(shortCutOf('A', altKeyData), ShortCut('A', TShiftState{ssShift, ssAlt}));
            EXPECT_EQ(shortCutOf('A', keyData), ShortCut('A', TShiftState{}));
        }
        EXPECT_EQ(shortCutOf('A', keyData), ShortCut('A', TShiftState{ssCtrl}));

        // A message taken from the queue meanwhile (a dialog's loop) has
        // its own time: the same key data then reads the keyboard.
        const LONG before = GetMessageTime();
        Sleep(30);
        PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
        MSG msg{};
        while (PeekMessageA(&msg, nullptr, WM_NULL, WM_NULL, PM_REMOVE)) {}
        ASSERT_NE(GetMessageTime(), before);
        EXPECT_EQ(shortCutOf('A', keyData), ShortCut('A', TShiftState{}));
    }
    EXPECT_FALSE(InKeyMessageScope('A', keyData));
    hold(false, true);
    EXPECT_EQ(shortCutOf('A', keyData), ShortCut('A', TShiftState{ssCtrl}));
    SetKeyboardState(saved);
}
