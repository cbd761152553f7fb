// Unicode windows: the wide window class, the trap in front of the class
// library's message handling, characters above 255, re-creation.
#include "gcl/rtl/WinApi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gcl/Controls.h"
#include "gcl/Forms.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"
#include "support/WindowTest.h"
#include "unicode/UniControls.h"
#include "unicode/UniSysUtils.h"
#include "unicode/UniTestSupport.h"

using namespace qelvo;

using qelvo::test::W;
using qelvo::test::Windows98;
using qelvo::test::TextOf;

namespace {

// A plain windowed control on the system's edit class, made Unicode.
class TUniTrapEdit : public gcl::TWinControl {
    GCL_CLASS(TUniTrapEdit, gcl::TWinControl)
public:
    using TControl::GetText;
    using TControl::SetText;
    std::vector<int> KeyPresses;

protected:
    explicit TUniTrapEdit(gcl::TComponent* owner) : gcl::TWinControl(owner) {}
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

// The same, created with the class library's own initial procedure.
class TUniTrapIdeEdit : public TUniTrapEdit {
    GCL_CLASS(TUniTrapIdeEdit, TUniTrapEdit)
protected:
    explicit TUniTrapIdeEdit(gcl::TComponent* owner) : TUniTrapEdit(owner) {}
    void CreateWindowHandle(const gcl::TCreateParams& params) override {
        CreateWideWindowHandle(this, params, L"EDIT", true);
    }
};

} // namespace

GCL_IMPLEMENT_CLASS(TUniTrapEdit)
GCL_IMPLEMENT_CLASS(TUniTrapIdeEdit)

class UniControlsTrapTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        gcl::FormsUnit.Initialize();
        UniControlsUnit.Initialize();
    }
    static void TearDownTestSuite() {
        UniControlsUnit.Finalize();
        gcl::FormsUnit.Finalize();
    }

    TUniTrapEdit* MakeEdit() {
        TUniTrapEdit* edit = TUniTrapEdit::Create(nullptr);
        edit->SetParentWindow(static_cast<HWND>(FHost.Handle()));
        return edit;
    }

    qelvo::test::HiddenTestWindow FHost;
};

TEST_F(UniControlsTrapTest, WideWindowHoldsWideTextBothWays) {
    TUniTrapEdit* edit = MakeEdit();
    // Given before the window exists, the wide caption reaches the window.
    WideControlSetText(edit, W("Ελληνικά 汉字"));
    HWND handle = edit->GetHandle();
    ASSERT_NE(handle, nullptr);
    EXPECT_TRUE(IsWindowUnicode(handle));
    wchar_t className[128] = {};
    GetClassNameW(handle, className, 128);
    EXPECT_EQ(std::wstring(className), L"TUniTrapEdit.UnicodeClass");
    EXPECT_EQ(TextOf(handle), W("Ελληνικά 汉字"));

    TWinControlTrap* trap = TWinControlTrap::FindByWindow(handle);
    ASSERT_NE(trap, nullptr);
    EXPECT_EQ(trap->GetControl(), edit);
    EXPECT_EQ(TWinControlTrap::FindByControl(edit), trap);

    // Wide messages from outside keep the text whole; the class library's
    // own 8-bit requests are converted by the system.
    const std::wstring danish = W("Dansk æøå 中文");
    EXPECT_TRUE(SendMessageW(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(danish.c_str())));
    EXPECT_EQ(TextOf(handle), danish);
    EXPECT_EQ(WideControlGetText(edit), danish);
    EXPECT_EQ(edit->GetText(), gcl::WideToAnsi(danish));
    EXPECT_EQ(SendMessageW(handle, WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(danish.size()));

    edit->SetText("plain \xE6");
    EXPECT_EQ(TextOf(handle), gcl::AnsiToWide("plain \xE6"));
    WideControlSetText(edit, W("Ωμέγα"));
    EXPECT_EQ(TextOf(handle), W("Ωμέγα"));

    // The window answers notification-format queries for Unicode windows.
    EXPECT_EQ(SendMessageW(handle, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(handle), NF_QUERY), NFR_UNICODE);
    HWND ansiWindow = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, handle, nullptr, nullptr, nullptr);
    ASSERT_NE(ansiWindow, nullptr);
    EXPECT_EQ(SendMessageW(handle, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(ansiWindow), NF_QUERY), NFR_ANSI);
    DestroyWindow(ansiWindow);

    // The trap goes with the control.
    edit->Free();
    EXPECT_EQ(TWinControlTrap::FindByWindow(handle), nullptr);
    EXPECT_EQ(TWinControlTrap::FindByControl(edit), nullptr);
}

TEST_F(UniControlsTrapTest, CharactersAbove255ArriveWhole) {
    TUniTrapEdit* edit = MakeEdit();
    HWND handle = edit->GetHandle();
    SendMessageW(handle, WM_CHAR, 0x4E2D, 1);   // 中
    SendMessageW(handle, WM_CHAR, 'a', 1);
    SendMessageW(handle, WM_CHAR, 0x00E6, 1);   // æ, an 8-bit character
    SendMessageW(handle, WM_CHAR, 0x03A9, 1);   // Ω
    EXPECT_EQ(TextOf(handle), W("中aæΩ"));
    // The 8-bit key handling sees 255 for characters beyond 8 bits.
    const std::vector<int> expected{255, 'a', static_cast<unsigned char>(gcl::WideToAnsi(W("æ"))[0]), 255};
    EXPECT_EQ(edit->KeyPresses, expected);

    // A key handler that swallows the character stops it for the window.
    edit->OnKeyPress = +[](gcl::TObject*, char& key) { key = 0; };
    SendMessageW(handle, WM_CHAR, 0x4E2D, 1);
    EXPECT_EQ(TextOf(handle), W("中aæΩ"));
    edit->Free();

    // The two conversions, on their own.
    gcl::TMessage message{};
    message.Msg = WM_CHAR;
    message.WParam = 0x4E2D;
    MakeWMCharMsgSafeForAnsi(message);
    EXPECT_EQ(message.WParam, (0x4E2Du << 16) | 255u);
    RestoreWMCharMsg(message);
    EXPECT_EQ(message.WParam, 0x4E2Du);
    message.WParam = 'x';
    MakeWMCharMsgSafeForAnsi(message);
    EXPECT_EQ(message.WParam, static_cast<uintptr_t>('x'));
    message.WParam = 255;
    RestoreWMCharMsg(message);
    EXPECT_EQ(message.WParam, 255u);
}

TEST_F(UniControlsTrapTest, RecreationAndLettingGoOfTheWindow) {
    TUniTrapEdit* edit = MakeEdit();
    HWND handle = edit->GetHandle();
    const std::wstring text = W("汉字 Ελληνικά Æblegrød");
    SendMessageW(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    TWinControlTrap* trap = TWinControlTrap::FindByControl(edit);
    ASSERT_NE(trap, nullptr);

    // A text without an 8-bit form survives the window's re-creation, and
    // the same trap serves the new window.
    edit->RecreateWnd();
    edit->HandleNeeded();
    handle = edit->GetHandle();
    EXPECT_EQ(TextOf(handle), text);
    EXPECT_EQ(WideControlGetText(edit), text);
    EXPECT_EQ(TWinControlTrap::FindByControl(edit), trap);
    EXPECT_EQ(TWinControlTrap::FindByWindow(handle), trap);
    // Only one filter in the control's message chain after re-creation.
    edit->KeyPresses.clear();
    SendMessageW(handle, WM_CHAR, 0x4E2D, 1);
    EXPECT_EQ(edit->KeyPresses, std::vector<int>{255});

    // Destroying the window while the control lives keeps the wide text.
    edit->SetParentWindow(nullptr);
    EXPECT_FALSE(edit->HandleAllocated());
    EXPECT_EQ(WideControlGetText(edit), W("中") + text);  // typed at the caret, at the start
    edit->SetParentWindow(static_cast<HWND>(FHost.Handle()));
    handle = edit->GetHandle();
    EXPECT_EQ(TextOf(handle), W("中") + text);

    // The registered destroy message makes the trap let go of the window.
    UINT destroyMessage = RegisterWindowMessageA("UniControls.DestroyWindow");
    EXPECT_EQ(UniDestroyWindowMessage(), destroyMessage);
    edit->Perform(destroyMessage, 0, 0);
    EXPECT_EQ(TWinControlTrap::FindByWindow(handle), nullptr);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(static_cast<uintptr_t>(GetWindowLongPtrW(handle, GWLP_WNDPROC))),
              &gcl::GclWindowProc);
    // The window lives on under the class library's 8-bit handling, with
    // the 8-bit edit procedure (a wide one would overrun 8-bit buffers).
    WNDCLASSA editClass{};
    ASSERT_TRUE(GetClassInfoA(nullptr, "EDIT", &editClass));
    EXPECT_EQ(edit->GetDefWndProc(), editClass.lpfnWndProc);
    EXPECT_EQ(edit->GetText(), gcl::WideToAnsi(W("中") + text));
    EXPECT_EQ(TWinControlTrap::FindByControl(edit), trap);
    edit->Free();
    EXPECT_EQ(TWinControlTrap::FindByControl(edit), nullptr);
}

TEST_F(UniControlsTrapTest, NinetyEightFamilyAndInternalErrors) {
    {
        gcl::TFixedOSVersion version(Windows98);
        gcl::ServiceOverride<gcl::IOSVersion> use(gcl::OSVersion, version);
        TUniTrapEdit* edit = MakeEdit();
        edit->SetText("eight bit");
        HWND handle = edit->GetHandle();
        EXPECT_FALSE(IsWindowUnicode(handle));
        EXPECT_EQ(TWinControlTrap::FindByControl(edit), nullptr);
        char buffer[64] = {};
        GetWindowTextA(handle, buffer, 64);
        EXPECT_STREQ(buffer, "eight bit");
        edit->Free();
    }
    TUniTrapEdit* edit = MakeEdit();
    gcl::TCreateParams params;
    try {
        CreateUnicodeHandle_ComCtl(edit, params, L"");
        ADD_FAILURE() << "no error";
    } catch (const EUniInternalError& e) {
        EXPECT_EQ(e.GetMessage(), "UNI Internal Error: Only call CreateUnicodeHandle_ComCtl for Common Controls.");
    }
    edit->Free();
}

TEST_F(UniControlsTrapTest, WindowsMadeWithTheClassLibrarysInitialProcedure) {
    TUniTrapIdeEdit* edit = TUniTrapIdeEdit::Create(nullptr);
    edit->SetParentWindow(static_cast<HWND>(FHost.Handle()));
    WideControlSetText(edit, W("Ελληνικά 汉字"));
    HWND handle = edit->GetHandle();
    EXPECT_TRUE(IsWindowUnicode(handle));
    EXPECT_EQ(TextOf(handle), W("Ελληνικά 汉字"));
    EXPECT_EQ(gcl::FindControl(handle), edit);
    SendMessageW(handle, WM_CHAR, 0x4E2D, 1);
    EXPECT_EQ(edit->KeyPresses, std::vector<int>{255});
    ASSERT_NE(TWinControlTrap::FindByWindow(handle), nullptr);

    // Such a trap frees itself with its window; the next window gets a
    // new one, and the wide text survives.
    edit->SetParentWindow(nullptr);
    EXPECT_EQ(TWinControlTrap::FindByControl(edit), nullptr);
    edit->SetParentWindow(static_cast<HWND>(FHost.Handle()));
    handle = edit->GetHandle();
    EXPECT_EQ(TextOf(handle), W("中Ελληνικά 汉字"));
    EXPECT_NE(TWinControlTrap::FindByWindow(handle), nullptr);
    edit->Free();
}
