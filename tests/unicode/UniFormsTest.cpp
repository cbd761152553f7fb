// The wide message pump, the application's wide title and hint, and the
// Unicode hint window.
#include "gcl/rtl/WinApi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gcl/ActnList.h"
#include "gcl/Controls.h"
#include "gcl/Forms.h"
#include "gcl/rtl/Strings.h"
#include "support/WindowTest.h"
#include "unicode/UniControls.h"
#include "unicode/UniForms.h"
#include "unicode/UniTestSupport.h"

using namespace qelvo;

using qelvo::test::W;
using qelvo::test::TextOf;

namespace {

class TUniFormsTestEdit : public gcl::TWinControl {
    GCL_CLASS(TUniFormsTestEdit, gcl::TWinControl)
public:
    std::vector<int> KeyPresses;

protected:
    explicit TUniFormsTestEdit(gcl::TComponent* owner) : gcl::TWinControl(owner) {}
    void CreateParams(gcl::TCreateParams& params) override {
        inherited::CreateParams(params);
        CreateSubClass(params, "EDIT");
        params.Style |= ES_AUTOHSCROLL;
    }
    void CreateWindowHandle(const gcl::TCreateParams& params) override {
        CreateWideWindowHandle(this, params, L"EDIT");
    }
    void KeyPress(char& key) override {
        KeyPresses.push_back(static_cast<unsigned char>(key));
        inherited::KeyPress(key);
    }
};

int GMessagesSeen = 0;
bool GSwallow = false;
void CountMessage(MSG& msg, bool& handled) {
    if (msg.message == WM_CHAR) ++GMessagesSeen;
    handled = GSwallow;
}

} // namespace

GCL_IMPLEMENT_CLASS(TUniFormsTestEdit)

class UniFormsTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        gcl::FormsUnit.Initialize();
        UniControlsUnit.Initialize();
        UniFormsUnit.Initialize();
    }
    static void TearDownTestSuite() {
        UniFormsUnit.Finalize();
        UniControlsUnit.Finalize();
        gcl::FormsUnit.Finalize();
    }
};

TEST_F(UniFormsTest, PostedCharactersAbove255ReachUnicodeWindowsWhole) {
    ASSERT_NE(UniApplication, nullptr);
    qelvo::test::HiddenTestWindow host;
    TUniFormsTestEdit* edit = TUniFormsTestEdit::Create(nullptr);
    edit->SetParentWindow(static_cast<HWND>(host.Handle()));
    HWND handle = edit->GetHandle();

    MSG direct{};
    direct.hwnd = handle;
    direct.message = WM_CHAR;
    direct.wParam = 0x5B57;
    EXPECT_TRUE(UniApplication->ProcessMessage(direct));
    EXPECT_EQ(TextOf(handle), W("字"));
    SendMessageW(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    edit->KeyPresses.clear();

    // Through the class library's own message loop.
    PostMessageW(handle, WM_CHAR, 0x4E2D, 1);   // 中
    PostMessageW(handle, WM_CHAR, 0x03A9, 1);   // Ω
    PostMessageW(handle, WM_CHAR, 'k', 1);
    gcl::Application->ProcessMessages();
    EXPECT_EQ(TextOf(handle), W("中Ωk"));
    EXPECT_EQ(edit->KeyPresses, (std::vector<int>{255, 255, 'k'}));

    // Application.OnMessage sees the characters the pump handles, and a
    // message it handles goes no further.
    gcl::Application->OnMessage = &CountMessage;
    GMessagesSeen = 0;
    PostMessageW(handle, WM_CHAR, 0x6C49, 1);   // 汉
    gcl::Application->ProcessMessages();
    EXPECT_EQ(GMessagesSeen, 1);
    EXPECT_EQ(TextOf(handle), W("中Ωk汉"));
    GSwallow = true;
    PostMessageW(handle, WM_CHAR, 0x5B57, 1);   // 字
    gcl::Application->ProcessMessages();
    EXPECT_EQ(GMessagesSeen, 2);
    EXPECT_EQ(TextOf(handle), W("中Ωk汉"));
    GSwallow = false;
    gcl::Application->OnMessage = nullptr;

    // Messages for 8-bit windows and 8-bit characters are left alone.
    MSG msg{};
    msg.hwnd = static_cast<HWND>(host.Handle());
    msg.message = WM_CHAR;
    msg.wParam = 0x4E2D;
    EXPECT_EQ(UniApplication->ProcessMessage(msg), IsWindowUnicode(msg.hwnd) != FALSE);
    msg.hwnd = handle;
    msg.wParam = 'a';
    EXPECT_FALSE(UniApplication->ProcessMessage(msg));
    edit->Free();
}

TEST_F(UniFormsTest, WideTitleAndHint) {
    const std::wstring title = W("Qelvo — 待办 Ελληνικά");
    UniApplication->SetTitle(title);
    EXPECT_EQ(UniApplication->GetTitle(), title);
    EXPECT_EQ(gcl::Application->GetTitle(), gcl::WideToAnsi(title));
    UniApplication->SetTitle(L"Plain");
    EXPECT_EQ(UniApplication->GetTitle(), L"Plain");
    EXPECT_EQ(gcl::Application->GetTitle(), "Plain");

    const std::wstring hint = W("Ωμέγα 汉字");
    UniApplication->SetHint(hint);
    EXPECT_EQ(gcl::Application->GetHint(), gcl::WideToAnsi(hint));
    EXPECT_EQ(UniApplication->GetHint(), hint);
    // 8-bit code changed the hint meanwhile: the wide hint follows.
    gcl::Application->SetHint("Dansk \xE6");
    EXPECT_EQ(UniApplication->GetHint(), W("Dansk æ"));
    UniApplication->SetHint(L"");
}

TEST_F(UniFormsTest, HintWindowIsUnicodeAndMeasuresAsItPaints) {
    qelvo::test::HiddenTestWindow host;
    TUniFormsTestEdit* edit = TUniFormsTestEdit::Create(nullptr);
    edit->SetParentWindow(static_cast<HWND>(host.Handle()));
    edit->HandleNeeded();
    WideControlSetHint(edit, W("Kort|Ελληνικά 汉字 hint"));

    // CM_HINTSHOW on a Unicode control brings the wide hint window.
    gcl::THintInfo info;
    info.HintControl = edit;
    info.HintWindowClass = gcl::THintWindow::StaticClass();
    edit->Perform(gcl::CM_HINTSHOW, 0, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.HintWindowClass, TUniCustomHintWindow::StaticClass());
    EXPECT_EQ(info.HintStr, gcl::WideToAnsi(W("Ελληνικά 汉字 hint")));
    EXPECT_EQ(UniApplication->GetHintControl(), edit);

    auto* window = static_cast<TUniCustomHintWindow*>(TUniCustomHintWindow::StaticClass()->Create(nullptr));
    EXPECT_EQ(window->WideHintFor(info.HintStr), W("Ελληνικά 汉字 hint"));
    EXPECT_EQ(window->WideHintFor("other"), L"other");

    // A long hint wraps within the width it is given.
    std::string words;
    for (int i = 0; i < 20; ++i) words += "word ";
    gcl::TRect wide = window->CalcHintRect(2000, words, nullptr);
    gcl::TRect narrow = window->CalcHintRect(100, words, nullptr);
    EXPECT_LE(narrow.Width(), 106);
    EXPECT_GT(narrow.Height(), wide.Height());
    EXPECT_GT(wide.Width(), 106);

    window->ActivateHint(gcl::TRect{10, 10, 10 + narrow.Width(), 10 + narrow.Height()}, info.HintStr);
    ASSERT_TRUE(window->HandleAllocated());
    EXPECT_TRUE(IsWindowUnicode(window->GetHandle()));
    window->Free();

    // The hint control may go before the hint.
    edit->Free();
    EXPECT_EQ(UniApplication->GetHintControl(), nullptr);
}

TEST_F(UniFormsTest, HintWindowShowsTheWideHintWithItsActionsShortCut) {
    qelvo::test::HiddenTestWindow host;
    TUniFormsTestEdit* edit = TUniFormsTestEdit::Create(nullptr);
    edit->SetParentWindow(static_cast<HWND>(host.Handle()));
    edit->HandleNeeded();
    gcl::TAction* action = gcl::TAction::Create(nullptr);
    action->SetShortCut(gcl::scCtrl | 'O');
    edit->SetAction(action);
    WideControlSetHint(edit, W("打开|打开一个文件"));
    auto* window = static_cast<TUniCustomHintWindow*>(TUniCustomHintWindow::StaticClass()->Create(nullptr));
    auto shown = [&] {
        gcl::THintInfo info;
        info.HintControl = edit;
        info.HintWindowClass = gcl::THintWindow::StaticClass();
        info.HintStr = gcl::GetShortHint(edit->GetHint());
        if (edit->Perform(gcl::CM_HINTSHOW, 0, reinterpret_cast<intptr_t>(&info)) != 0) return std::wstring(L"(none)");
        return window->WideHintFor(info.HintStr);
    };

    // The class library adds the shortcut to the 8-bit hint ("?? (Ctrl+O)");
    // the wide window shows the wide hint with the shortcut's wide text.
    EXPECT_EQ(shown(), W("打开一个文件 (Ctrl+O)"));
    WideControlSetHint(edit, W("打开"));
    EXPECT_EQ(shown(), W("打开 (Ctrl+O)"));
    gcl::Application->SetHintShortCuts(false);
    EXPECT_EQ(shown(), W("打开"));
    gcl::Application->SetHintShortCuts(true);
    // An 8-bit hint that is not the wide hint's stays as it is.
    EXPECT_EQ(window->WideHintFor("?? (Ctrl+P)"), L"?? (Ctrl+P)");
    // A change of the action hands the control the action's hint again.
    action->SetShortCut(0);
    WideControlSetHint(edit, W("打开"));
    EXPECT_EQ(shown(), W("打开"));

    window->Free();
    edit->Free();
    action->Free();
}

// The idle pass's hint sync: the kept wide hint takes the control's wide
// hint under the mouse once Application's 8-bit hint is its form, and
// lets go of it when the 8-bit hint is cleared, also after passes that
// had nothing to follow.
TEST_F(UniFormsTest, IdlePassesFollowTheWideHintUnderTheMouse) {
    qelvo::test::HiddenTestWindow host;
    const HWND hostHandle = static_cast<HWND>(host.Handle());
    SetWindowPos(hostHandle, HWND_TOPMOST, 100, 100, 200, 120, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    TUniFormsTestEdit* edit = TUniFormsTestEdit::Create(nullptr);
    edit->SetParentWindow(hostHandle);
    edit->SetBounds(0, 0, 200, 120);
    edit->HandleNeeded();
    const std::wstring wide = W("Ωμέγα 汉字");
    WideControlSetHint(edit, wide);
    RECT r{};
    GetWindowRect(edit->GetHandle(), &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ASSERT_EQ(gcl::FindGclWindow(WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2})), edit);

    // Nothing to follow: both hints empty.
    gcl::Application->SetHint("");
    UniApplication->FollowHintUnderMouse();
    EXPECT_EQ(UniApplication->GetHint(), L"");
    // The 8-bit side shows the hint under the mouse: the wide one follows.
    gcl::Application->SetHint(gcl::WideToAnsi(wide));
    UniApplication->FollowHintUnderMouse();
    EXPECT_EQ(UniApplication->GetHint(), wide);
    // An 8-bit hint of another control: the kept one is not taken for it.
    gcl::Application->SetHint("Other");
    UniApplication->FollowHintUnderMouse();
    EXPECT_EQ(UniApplication->GetHint(), L"Other");
    // Cleared while a wide hint is kept, then shown again.
    gcl::Application->SetHint(gcl::WideToAnsi(wide));
    UniApplication->FollowHintUnderMouse();
    gcl::Application->SetHint("");
    UniApplication->FollowHintUnderMouse();
    EXPECT_EQ(UniApplication->GetHint(), L"");
    UniApplication->FollowHintUnderMouse();
    gcl::Application->SetHint(gcl::WideToAnsi(wide));
    UniApplication->FollowHintUnderMouse();
    EXPECT_EQ(UniApplication->GetHint(), wide);

    UniApplication->SetHint(L"");
    edit->Free();
}
