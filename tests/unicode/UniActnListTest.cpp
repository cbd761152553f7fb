// Wide actions, the wide action links of controls and menu items, wide
// action properties in form streams, and the application's wide hint
// going out as a wide hint action.
#include "gcl/rtl/WinApi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gcl/ActnList.h"
#include "gcl/Buttons.h"
#include "gcl/ExtCtrls.h"
#include "gcl/Forms.h"
#include "gcl/Menus.h"
#include "gcl/StdCtrls.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Strings.h"
#include "support/WindowTest.h"
#include "unicode/UniActnList.h"
#include "unicode/UniControls.h"
#include "unicode/UniForms.h"
#include "unicode/UniMenus.h"
#include "unicode/UniTestSupport.h"

using namespace qelvo;

using qelvo::test::W;
using qelvo::test::TOwned;

namespace {

// Controls wired to wide actions the way the Unicode controls are.
#define UNI_TEST_ACTION_CLIENT                                                                     \
public:                                                                                            \
    gcl::TControlActionLink* Link() const { return GetActionLink(); }                              \
    void ActionChange(gcl::TObject* sender, bool checkDefaults) override {                         \
        WideActionChange(this, sender, checkDefaults);                                             \
        inherited::ActionChange(sender, checkDefaults);                                            \
    }                                                                                              \
    gcl::TBasicActionLinkClass GetActionLinkClass() const override {                               \
        return WideActionLinkClassFor(this, inherited::GetActionLinkClass());                      \
    }

class TUniTestSpeedButton : public gcl::TSpeedButton {
    GCL_CLASS(TUniTestSpeedButton, gcl::TSpeedButton)
    UNI_TEST_ACTION_CLIENT
protected:
    explicit TUniTestSpeedButton(gcl::TComponent* owner) : gcl::TSpeedButton(owner) {}
};

// A panel with a Unicode window.
class TUniTestActionPanel : public gcl::TPanel {
    GCL_CLASS(TUniTestActionPanel, gcl::TPanel)
    UNI_TEST_ACTION_CLIENT
protected:
    explicit TUniTestActionPanel(gcl::TComponent* owner) : gcl::TPanel(owner) {}
    void CreateWindowHandle(const gcl::TCreateParams& params) override { CreateWideWindowHandle(this, params, nullptr); }
};

// Records, at each change of its text, what the action reads meanwhile.
class TUniTestActionLabel : public gcl::TLabel {
    GCL_CLASS(TUniTestActionLabel, gcl::TLabel)
    UNI_TEST_ACTION_CLIENT
public:
    struct TSeen {
        std::wstring Text;         // the label's new wide text
        std::string AnsiCaption;   // the action's 8-bit caption then
        std::wstring WideCaption;  // UniActionGetCaption then
        std::wstring Incoming;     // GetActionWideCaption then
    };
    gcl::TCustomAction* Watched = nullptr;
    std::vector<TSeen> Seen;
    void WndProc(gcl::TMessage& message) override {
        inherited::WndProc(message);
        if (message.Msg == gcl::CM_TEXTCHANGED && Watched)
            Seen.push_back({WideControlGetText(this), Watched->GetCaption(), UniActionGetCaption(Watched),
                            GetActionWideCaption(Watched, L"(value)")});
    }

protected:
    explicit TUniTestActionLabel(gcl::TComponent* owner) : gcl::TLabel(owner) {}
};

#undef UNI_TEST_ACTION_CLIENT

// Every action that reaches the application window.
struct TExecuted {
    std::string ClassName;
    std::wstring Hint;
};
std::vector<TExecuted> GExecuted;
bool RecordExecute(gcl::TMessage& message) {
    if (message.Msg != gcl::CM_ACTIONEXECUTE) return false;
    auto* action = reinterpret_cast<gcl::TCustomAction*>(message.LParam);
    GExecuted.push_back({action->ClassName(), UniActionGetHint(action)});
    return false;
}

std::string WriteRoot(gcl::TComponent* root) {
    gcl::TMemoryStream stream;
    gcl::TWriter writer(stream);
    writer.WriteRootComponent(root);
    return std::string(static_cast<const char*>(stream.GetMemory()), static_cast<size_t>(stream.GetSize()));
}

void ReadRoot(const std::string& bytes, gcl::TComponent* root) {
    gcl::TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    stream.SetPosition(0);
    gcl::ReadComponentFromStream(stream, root);
}

// A wide string property as it is written: name, kind 18, count, UTF-16 LE.
std::string WideProperty(const std::string& name, const std::wstring& value) {
    std::string bytes(1, static_cast<char>(name.size()));
    bytes += name;
    bytes += '\x12';
    const auto count = static_cast<uint32_t>(value.size());
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((count >> (8 * i)) & 0xFF);
    for (wchar_t c : value) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

bool Contains(const std::string& bytes, const std::string& part) { return bytes.find(part) != std::string::npos; }

} // namespace

GCL_IMPLEMENT_CLASS(TUniTestSpeedButton)
GCL_IMPLEMENT_CLASS(TUniTestActionPanel)
GCL_IMPLEMENT_CLASS(TUniTestActionLabel)

class UniActnListTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        gcl::FormsUnit.Initialize();
        gcl::MenusUnit.Initialize();
        UniControlsUnit.Initialize();
        UniFormsUnit.Initialize();
        UniActnListUnit.Initialize();
        UniMenusUnit.Initialize();
    }
    static void TearDownTestSuite() {
        UniMenusUnit.Finalize();
        UniActnListUnit.Finalize();
        UniFormsUnit.Finalize();
        UniControlsUnit.Finalize();
        gcl::MenusUnit.Finalize();
        gcl::FormsUnit.Finalize();
    }
    qelvo::test::HiddenTestWindow FHost;
};

TEST_F(UniActnListTest, EachKindOfControlGetsItsWideLink) {
    TOwned<TUniAction> action(TUniAction::Create(nullptr));
    TOwned<TUniTestSpeedButton> button(TUniTestSpeedButton::Create(nullptr));
    TOwned<TUniTestActionPanel> panel(TUniTestActionPanel::Create(nullptr));
    TOwned<TUniTestActionLabel> label(TUniTestActionLabel::Create(nullptr));
    button->SetAction(action.Get());
    panel->SetAction(action.Get());
    label->SetAction(action.Get());
    EXPECT_EQ(button->Link()->ClassType(), TUniSpeedButtonActionLink::StaticClass());
    EXPECT_EQ(panel->Link()->ClassType(), TUniWinControlActionLink::StaticClass());
    EXPECT_EQ(label->Link()->ClassType(), TUniControlActionLink::StaticClass());

    TOwned<gcl::TCheckBox> check(gcl::TCheckBox::Create(nullptr));
    EXPECT_EQ(WideActionLinkClassFor(check.Get(), gcl::TButtonActionLink::StaticClass()),
              TUniButtonActionLink::StaticClass());
    // The wide link must descend directly from the link the control
    // would have had.
    EXPECT_THROW(WideActionLinkClassFor(panel.Get(), gcl::TControlActionLink::StaticClass()), gcl::EAssertionFailed);
    EXPECT_THROW(WideActionLinkClassFor(label.Get(), gcl::TWinControlActionLink::StaticClass()),
                 gcl::EAssertionFailed);
    EXPECT_THROW(WideActionLinkClassFor(button.Get(), gcl::TControlActionLink::StaticClass()), gcl::EAssertionFailed);
}

TEST_F(UniActnListTest, WideCaptionAndHintReachBoundControlsAndSurviveRecreation) {
    TOwned<TUniAction> action(TUniAction::Create(nullptr));
    const std::wstring caption = W("汉字 字汉");
    const std::wstring hint = W("Ελληνικά|長いヒント");
    action->SetCaption(caption);
    action->SetHint(hint);
    EXPECT_EQ(action->gcl::TCustomAction::GetCaption(), "?? ??");
    EXPECT_EQ(action->GetCaption(), caption);

    TOwned<TUniTestActionPanel> panel(TUniTestActionPanel::Create(nullptr));
    panel->SetParentWindow(static_cast<HWND>(FHost.Handle()));
    panel->HandleNeeded();
    ASSERT_TRUE(IsWindowUnicode(panel->GetHandle()));
    TOwned<TUniTestActionLabel> label(TUniTestActionLabel::Create(nullptr));
    TOwned<TUniTestSpeedButton> button(TUniTestSpeedButton::Create(nullptr));
    for (gcl::TControl* c : std::vector<gcl::TControl*>{panel.Get(), label.Get(), button.Get()}) {
        c->SetAction(action.Get());
        EXPECT_EQ(WideControlGetText(c), caption) << c->ClassName();
        EXPECT_EQ(WideControlGetHint(c), hint) << c->ClassName();
    }
    EXPECT_FALSE(IsWideCaptionStored(panel.Get()));
    EXPECT_FALSE(IsWideHintStored(label.Get()));

    // A new text with the same 8-bit form still reaches every control.
    const std::wstring next = W("字汉 汉字");
    action->SetCaption(next);
    action->SetHint(W("Ωμέγα|短い"));
    for (gcl::TControl* c : std::vector<gcl::TControl*>{panel.Get(), label.Get(), button.Get()}) {
        EXPECT_EQ(WideControlGetText(c), next) << c->ClassName();
        EXPECT_EQ(WideControlGetHint(c), W("Ωμέγα|短い")) << c->ClassName();
    }

    // The window goes and comes back with the wide caption, still linked.
    panel->RecreateWnd();
    panel->HandleNeeded();
    EXPECT_EQ(WideControlGetText(panel.Get()), next);
    EXPECT_TRUE(panel->Link()->IsCaptionLinked());
    action->SetCaption(caption);
    EXPECT_EQ(WideControlGetText(panel.Get()), caption);

    // A control with a text of its own streams it; the action's next
    // change puts the action's text back.
    WideControlSetText(panel.Get(), W("字字 字字"));
    EXPECT_TRUE(IsWideCaptionStored(panel.Get()));
    EXPECT_FALSE(IsWideCaptionStored(label.Get()));
    action->SetCaption(W("汉汉 汉汉"));
    EXPECT_EQ(WideControlGetText(panel.Get()), W("汉汉 汉汉"));
    EXPECT_EQ(WideControlGetText(label.Get()), W("汉汉 汉汉"));

    // A plain action compares its 8-bit caption converted.
    TOwned<gcl::TAction> plain(gcl::TAction::Create(nullptr));
    plain->SetCaption("Dansk \xE6");
    label->SetAction(plain.Get());
    EXPECT_EQ(WideControlGetText(label.Get()), W("Dansk æ"));
    plain->SetCaption("Ny");
    EXPECT_EQ(WideControlGetText(label.Get()), L"Ny");
}

TEST_F(UniActnListTest, LinksReadTheOldCaptionUntilTheActionHasTheNewOne) {
    TOwned<TUniAction> action(TUniAction::Create(nullptr));
    action->SetCaption(L"Hello");
    TOwned<TUniTestActionLabel> label(TUniTestActionLabel::Create(nullptr));
    label->SetAction(action.Get());
    label->Watched = action.Get();

    // The link writes the label while the action's 8-bit caption is still
    // the old one: the action reads as before, the link gets the new text.
    action->SetCaption(W("字字字字字"));
    ASSERT_EQ(label->Seen.size(), 1u);
    EXPECT_EQ(label->Seen[0].Text, W("字字字字字"));
    EXPECT_EQ(label->Seen[0].AnsiCaption, "Hello");
    EXPECT_EQ(label->Seen[0].WideCaption, L"Hello");
    EXPECT_EQ(label->Seen[0].Incoming, W("字字字字字"));
    EXPECT_EQ(UniActionGetCaption(action.Get()), W("字字字字字"));
    EXPECT_EQ(GetActionWideCaption(action.Get(), L"(value)"), L"(value)");

    // The same 8-bit form: the action goes through an empty caption, and
    // from then on the old wide caption reads as empty too.
    label->Seen.clear();
    action->SetCaption(W("汉字汉字汉"));
    ASSERT_EQ(label->Seen.size(), 2u);
    EXPECT_EQ(label->Seen[0].Text, L"");
    EXPECT_EQ(label->Seen[0].AnsiCaption, "?????");
    EXPECT_EQ(label->Seen[0].WideCaption, W("字字字字字"));
    EXPECT_EQ(label->Seen[0].Incoming, L"(value)");
    EXPECT_EQ(label->Seen[1].Text, W("汉字汉字汉"));
    EXPECT_EQ(label->Seen[1].AnsiCaption, "");
    EXPECT_EQ(label->Seen[1].WideCaption, L"");
    EXPECT_EQ(label->Seen[1].Incoming, W("汉字汉字汉"));
    EXPECT_EQ(WideControlGetText(label.Get()), W("汉字汉字汉"));

    // 8-bit code changed the action's caption: the wide one follows.
    action->gcl::TCustomAction::SetCaption("Plain");
    EXPECT_EQ(action->GetCaption(), L"Plain");
    EXPECT_EQ(WideControlGetText(label.Get()), L"Plain");
    label->Watched = nullptr;

    // Hints take the same road.
    action->SetHint(W("字字字字字"));
    action->SetHint(W("汉字汉字汉"));
    EXPECT_EQ(WideControlGetHint(label.Get()), W("汉字汉字汉"));
    EXPECT_EQ(action->GetHint(), W("汉字汉字汉"));

    // Only wide actions have a companion.
    TOwned<gcl::TAction> plain(gcl::TAction::Create(nullptr));
    UniActionSetCaption(plain.Get(), W("Dansk æ 汉"));
    EXPECT_EQ(plain->GetCaption(), "Dansk \xE6 ?");
    EXPECT_EQ(plain->GetComponentCount(), 0);
    EXPECT_EQ(UniActionGetCaption(plain.Get()), W("Dansk æ ?"));
    EXPECT_EQ(action->GetComponentCount(), 1);
    EXPECT_THROW(FindActionHelper(nullptr), gcl::EAssertionFailed);
}

TEST_F(UniActnListTest, ActionChangeWithCheckDefaultsKeepsTheControlsOwnTexts) {
    TOwned<TUniAction> action(TUniAction::Create(nullptr));
    action->SetCaption(W("汉字"));
    action->SetHint(W("Ωμέγα"));
    TOwned<TUniTestActionLabel> own(TUniTestActionLabel::Create(nullptr));
    WideControlSetText(own.Get(), W("Мой"));
    WideControlSetHint(own.Get(), W("Моя подсказка"));
    WideActionChange(own.Get(), action.Get(), true);
    EXPECT_EQ(WideControlGetText(own.Get()), W("Мой"));
    EXPECT_EQ(WideControlGetHint(own.Get()), W("Моя подсказка"));

    // Empty texts, and a caption that is only the control's name, take
    // the action's.
    TOwned<TUniTestActionLabel> empty(TUniTestActionLabel::Create(nullptr));
    WideActionChange(empty.Get(), action.Get(), true);
    EXPECT_EQ(WideControlGetText(empty.Get()), W("汉字"));
    EXPECT_EQ(WideControlGetHint(empty.Get()), W("Ωμέγα"));
    TOwned<TUniTestActionLabel> named(TUniTestActionLabel::Create(nullptr));
    named->SetName("Label1");
    WideControlSetText(named.Get(), L"Label1");
    WideActionChange(named.Get(), action.Get(), true);
    EXPECT_EQ(WideControlGetText(named.Get()), W("汉字"));

    // Without CheckDefaults the action wins; a plain action is left to
    // the class library.
    WideActionChange(own.Get(), action.Get(), false);
    EXPECT_EQ(WideControlGetText(own.Get()), W("汉字"));
    EXPECT_EQ(WideControlGetHint(own.Get()), W("Ωμέγα"));
    TOwned<gcl::TAction> plain(gcl::TAction::Create(nullptr));
    plain->SetCaption("x");
    WideActionChange(own.Get(), plain.Get(), false);
    EXPECT_EQ(WideControlGetText(own.Get()), W("汉字"));

    // The control's whole ActionChange (the class library's part after
    // the wide one) keeps the own caption too.
    TOwned<TUniTestActionLabel> loading(TUniTestActionLabel::Create(nullptr));
    WideControlSetText(loading.Get(), W("Мой"));
    loading->ActionChange(action.Get(), true);
    EXPECT_EQ(WideControlGetText(loading.Get()), W("Мой"));
    EXPECT_EQ(WideControlGetHint(loading.Get()), W("Ωμέγα"));
}

TEST_F(UniActnListTest, WideActionPropertiesInFormStreams) {
    TOwned<gcl::TActionList> list(gcl::TActionList::Create(nullptr));
    list->SetName("Actions");
    TUniAction* action = TUniAction::Create(list.Get());
    action->SetName("OpenAction");
    action->SetActionList(list.Get());
    const std::wstring caption = W("&Öffnen 汉字");
    const std::wstring hint = W("Öffnen|Ελληνικά 長い");
    action->SetCaption(caption);
    action->SetHint(hint);
    action->SetShortCut(gcl::ShortCut('O', gcl::TShiftState{gcl::ssCtrl}));

    const std::string bytes = WriteRoot(list.Get());
    EXPECT_TRUE(Contains(bytes, WideProperty("Caption", caption)));
    EXPECT_TRUE(Contains(bytes, WideProperty("Hint", hint)));
    EXPECT_FALSE(Contains(bytes, "CaptionW"));

    TOwned<gcl::TActionList> copy(gcl::TActionList::Create(nullptr));
    ReadRoot(bytes, copy.Get());
    ASSERT_EQ(copy->GetActionCount(), 1);
    auto* read = dynamic_cast<TUniAction*>(copy->GetActions(0));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetName(), "OpenAction");
    EXPECT_EQ(read->GetCaption(), caption);
    EXPECT_EQ(read->GetHint(), hint);
    EXPECT_EQ(read->GetShortCut(), action->GetShortCut());
    EXPECT_EQ(WriteRoot(copy.Get()).substr(4 + 1 + 11), bytes.substr(4 + 1 + 11));

    // Older streams carry an 8-bit form under "CaptionW": read and dropped.
    std::string older = bytes;
    const std::string marker = WideProperty("Hint", hint);
    older.insert(older.find(marker), std::string("\x08" "CaptionW" "\x06\x02??", 13));
    TOwned<gcl::TActionList> third(gcl::TActionList::Create(nullptr));
    ReadRoot(older, third.Get());
    EXPECT_EQ(static_cast<TUniAction*>(third->GetActions(0))->GetCaption(), caption);

    // Assign copies the wide texts, not only their 8-bit forms.
    TOwned<TUniAction> assigned(TUniAction::Create(nullptr));
    assigned->Assign(action);
    EXPECT_EQ(assigned->GetCaption(), caption);
    EXPECT_EQ(assigned->GetHint(), hint);
    EXPECT_EQ(assigned->GetShortCut(), action->GetShortCut());
}

TEST_F(UniActnListTest, AHintActionWithTheWideHintsAnsiFormGoesOutWide) {
    ASSERT_NE(gcl::Application->GetHandle(), nullptr);
    gcl::Application->HookMainWindow(gcl::TWindowHook(&RecordExecute));
    GExecuted.clear();

    // The class library's hint action for the new 8-bit hint is replaced
    // by a wide hint action with the wide hint.
    UniApplication->SetHint(W("Ωμέγα 汉字"));
    ASSERT_FALSE(GExecuted.empty());
    EXPECT_EQ(GExecuted.back().ClassName, "TUniHintAction");
    EXPECT_EQ(GExecuted.back().Hint, W("Ωμέγα 汉字"));
    for (const TExecuted& e : GExecuted) EXPECT_EQ(e.ClassName, "TUniHintAction");

    // Another wide hint with the same 8-bit form goes out too.
    GExecuted.clear();
    UniApplication->SetHint(W("汉字汉字 Ωμ"));
    ASSERT_FALSE(GExecuted.empty());
    EXPECT_EQ(GExecuted.back().Hint, W("汉字汉字 Ωμ"));

    // The substitution answers as handled; hint actions with another
    // hint, and other classes of hint action, pass unchanged.
    GExecuted.clear();
    TOwned<gcl::THintAction> same(gcl::THintAction::Create(nullptr));
    same->SetHint(gcl::Application->GetHint());
    EXPECT_TRUE(gcl::Application->ExecuteAction(same.Get()));
    TOwned<gcl::THintAction> other(gcl::THintAction::Create(nullptr));
    other->SetHint("Something else");
    EXPECT_FALSE(gcl::Application->ExecuteAction(other.Get()));
    TOwned<TUniHintAction> wide(TUniHintAction::Create(nullptr));
    wide->SetHint(W("Ωμ"));
    EXPECT_FALSE(gcl::Application->ExecuteAction(wide.Get()));
    ASSERT_EQ(GExecuted.size(), 3u);
    EXPECT_EQ(GExecuted[0].ClassName, "TUniHintAction");
    EXPECT_EQ(GExecuted[0].Hint, W("汉字汉字 Ωμ"));
    EXPECT_EQ(GExecuted[1].ClassName, "THintAction");
    EXPECT_EQ(GExecuted[2].ClassName, "TUniHintAction");
    EXPECT_EQ(GExecuted[2].Hint, W("Ωμ"));

    gcl::Application->UnhookMainWindow(gcl::TWindowHook(&RecordExecute));
    UniApplication->SetHint(L"");
}

TEST_F(UniActnListTest, TheMainFormsIdleControlRefreshesTheWideHint) {
    gcl::TForm* form = nullptr;
    gcl::Application->CreateForm(form);
    ASSERT_EQ(gcl::Application->GetMainForm(), form);
    form->SetBounds(40, 40, 300, 200);
    TUniTestActionPanel* panel = TUniTestActionPanel::Create(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 300, 200);
    form->Show();
    SetWindowPos(form->GetHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    qelvo::test::PumpMessages(50);

    // The first pumped message puts the idle control on the main form.
    MSG msg{};
    msg.message = WM_NULL;
    EXPECT_FALSE(UniApplication->ProcessMessage(msg));
    TUniAppIdleEventControl* idle = nullptr;
    int idleControls = 0;
    for (int i = 0; i < form->GetControlCount(); ++i)
        if (auto* c = dynamic_cast<TUniAppIdleEventControl*>(form->GetControls(i))) {
            idle = c;
            ++idleControls;
        }
    UniApplication->ProcessMessage(msg);
    for (int i = 0; i < form->GetControlCount(); ++i)
        if (dynamic_cast<TUniAppIdleEventControl*>(form->GetControls(i)) && form->GetControls(i) != idle)
            ++idleControls;
    ASSERT_NE(idle, nullptr);
    EXPECT_EQ(idleControls, 1);
    EXPECT_TRUE(idle->GetControlStyle().Contains(gcl::csActionClient));
    EXPECT_EQ(idle->GetWidth(), 0);

    // The mouse over a control whose wide hint has the 8-bit form of the
    // application's hint: the idle update makes the wide hint go out.
    WideControlSetHint(panel, W("汉字 汉字"));
    const gcl::TPoint centre = panel->ClientToScreen(gcl::TPoint{150, 100});
    SetCursorPos(centre.X, centre.Y);
    POINT p{};
    GetCursorPos(&p);
    if (p.x == centre.X && p.y == centre.Y &&
        gcl::FindDragTarget(gcl::TPoint{p.x, p.y}, true) == panel) {
        gcl::Application->HookMainWindow(gcl::TWindowHook(&RecordExecute));
        gcl::Application->SetHint("?? ??");
        ASSERT_FALSE(GExecuted.empty());
        EXPECT_EQ(GExecuted.back().Hint, W("汉字 汉字"));
        // Another wide hint with the same 8-bit form under the mouse (as
        // when the mouse moves to another control): the 8-bit hint does not
        // change by itself, the idle update sends the wide one out.
        WideControlSetHint(panel, W("字字 字字"));
        GExecuted.clear();
        gcl::Application->UpdateActions();
        ASSERT_FALSE(GExecuted.empty());
        EXPECT_EQ(GExecuted.back().ClassName, "TUniHintAction");
        EXPECT_EQ(GExecuted.back().Hint, W("字字 字字"));
        // Nothing new while the wide hint stays the same.
        GExecuted.clear();
        gcl::Application->UpdateActions();
        EXPECT_TRUE(GExecuted.empty());
        gcl::Application->UnhookMainWindow(gcl::TWindowHook(&RecordExecute));
    } else {
        ADD_FAILURE() << "the mouse could not be put over the panel";
    }
    SetCursorPos(2, 2);
    UniApplication->SetHint(L"");

    // The idle control goes with its form; the next main form gets one.
    form->Free();
    EXPECT_EQ(gcl::Application->GetMainForm(), nullptr);
    EXPECT_FALSE(UniApplication->ProcessMessage(msg));
}

TEST_F(UniActnListTest, MenuItemsFollowWideActionsAndStreamWideTexts) {
    TOwned<gcl::TPopupMenu> popup(gcl::TPopupMenu::Create(nullptr));
    popup->SetName("Popup");
    TUniMenuItem* open = TUniMenuItem::Create(popup.Get());
    open->SetName("OpenItem");
    popup->GetItems()->Add(open);
    TUniMenuItem* bound = TUniMenuItem::Create(popup.Get());
    bound->SetName("BoundItem");
    popup->GetItems()->Add(bound);

    TOwned<TUniAction> action(TUniAction::Create(nullptr));
    action->SetCaption(W("Բարեւ"));
    action->SetHint(W("Ελληνικά|長い"));
    bound->SetAction(action.Get());
    ASSERT_NE(bound->GetActionLink(), nullptr);
    EXPECT_EQ(bound->GetActionLink()->ClassType(), TUniMenuActionLink::StaticClass());
    EXPECT_EQ(bound->GetWideCaption(), W("Բարեւ"));
    EXPECT_EQ(bound->GetWideHint(), W("Ελληνικά|長い"));

    // The caption stays linked for a change of case; another text of the
    // same 8-bit form is the item's own.
    gcl::TMenuActionLink* link = bound->GetActionLink();
    bound->SetWideCaption(W("ԲԱՐԵՒ"));
    EXPECT_TRUE(link->IsCaptionLinked());
    action->SetCaption(W("汉字汉字汉"));
    EXPECT_EQ(bound->GetWideCaption(), W("汉字汉字汉"));
    bound->SetWideCaption(W("字字字字字"));
    EXPECT_FALSE(link->IsCaptionLinked());
    EXPECT_TRUE(bound->IsCaptionStored());
    // Hot-key marks count for nothing in the comparison.
    bound->SetWideCaption(W("&Բարեւ"));
    action->SetCaption(W("&բԱՐԵՒ"));
    EXPECT_TRUE(link->IsCaptionLinked());
    EXPECT_EQ(bound->GetWideCaption(), W("&բԱՐԵՒ"));
    EXPECT_FALSE(bound->IsCaptionStored());
    EXPECT_FALSE(bound->IsHintStored());
    action->SetHint(W("Ωμέγα|短い"));
    EXPECT_EQ(bound->GetWideHint(), W("Ωμέγα|短い"));

    // Streaming: the item's own wide texts as wide strings; none for the
    // texts the action supplies.
    open->SetWideCaption(W("&Öffnen 汉字"));
    open->SetWideHint(W("Öffnen|Ελληνικά"));
    const std::string bytes = WriteRoot(popup.Get());
    EXPECT_TRUE(Contains(bytes, WideProperty("Caption", W("&Öffnen 汉字"))));
    EXPECT_TRUE(Contains(bytes, WideProperty("Hint", W("Öffnen|Ελληνικά"))));
    EXPECT_FALSE(Contains(bytes, WideProperty("Caption", W("&բԱՐԵՒ"))));
    EXPECT_FALSE(Contains(bytes, WideProperty("Hint", W("Ωμέγα|短い"))));

    bound->SetAction(nullptr);
    EXPECT_TRUE(bound->IsCaptionStored());
    const std::string unbound = WriteRoot(popup.Get());
    TOwned<gcl::TPopupMenu> copy(gcl::TPopupMenu::Create(nullptr));
    ReadRoot(unbound, copy.Get());
    ASSERT_EQ(copy->GetItems()->GetCount(), 2);
    auto* first = dynamic_cast<TUniMenuItem*>(copy->GetItems()->GetItems(0));
    auto* second = dynamic_cast<TUniMenuItem*>(copy->GetItems()->GetItems(1));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->GetWideCaption(), W("&Öffnen 汉字"));
    EXPECT_EQ(first->GetWideHint(), W("Öffnen|Ελληνικά"));
    EXPECT_EQ(second->GetWideCaption(), W("&բԱՐԵՒ"));
    EXPECT_EQ(second->GetWideHint(), W("Ωμέγα|短い"));
}
