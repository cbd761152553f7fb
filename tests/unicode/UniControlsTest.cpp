// Wide captions and hints kept beside the 8-bit ones of controls, on both
// Windows families, and the wide text extent of a canvas.
#include "gcl/rtl/WinApi.h"

#include <gtest/gtest.h>

#include <string>

#include "gcl/Controls.h"
#include "gcl/Forms.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"
#include "support/WindowTest.h"
#include "unicode/UniControls.h"
#include "unicode/UniGraphics.h"
#include "unicode/UniTestSupport.h"

using namespace qelvo;

using qelvo::test::W;
using qelvo::test::Windows98;

namespace {

class TUniTestLabel : public gcl::TGraphicControl {
    GCL_CLASS(TUniTestLabel, gcl::TGraphicControl)
public:
    using TControl::GetText;
    using TControl::SetText;
    int TextChanges = 0;
    void WndProc(gcl::TMessage& message) override {
        if (message.Msg == gcl::CM_TEXTCHANGED) ++TextChanges;
        inherited::WndProc(message);
    }

protected:
    explicit TUniTestLabel(gcl::TComponent* owner) : gcl::TGraphicControl(owner) {}
};

class TUniTestPanel : public gcl::TCustomControl {
    GCL_CLASS(TUniTestPanel, gcl::TCustomControl)
public:
    using TControl::GetText;
    using TControl::SetText;
    int TextChanges = 0;
    void WndProc(gcl::TMessage& message) override {
        if (message.Msg == gcl::CM_TEXTCHANGED) ++TextChanges;
        inherited::WndProc(message);
    }

protected:
    explicit TUniTestPanel(gcl::TComponent* owner) : gcl::TCustomControl(owner) {}
};

// A window procedure that keeps its text wide, standing for a Unicode
// control window.
std::wstring GWideWindowText;
WNDPROC GPreviousProc = nullptr;
LRESULT CALLBACK WideTextProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SETTEXT:
        GWideWindowText = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
        return TRUE;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(GWideWindowText.size());
    case WM_GETTEXT: {
        size_t n = std::min(GWideWindowText.size(), static_cast<size_t>(wParam ? wParam - 1 : 0));
        auto* buffer = reinterpret_cast<wchar_t*>(lParam);
        if (wParam) {
            GWideWindowText.copy(buffer, n);
            buffer[n] = 0;
        }
        return static_cast<LRESULT>(n);
    }
    default:
        return CallWindowProcW(GPreviousProc, wnd, msg, wParam, lParam);
    }
}

} // namespace

GCL_IMPLEMENT_CLASS(TUniTestLabel)
GCL_IMPLEMENT_CLASS(TUniTestPanel)

class UniControlsTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        gcl::FormsUnit.Initialize();
        UniControlsUnit.Initialize();
    }
    static void TearDownTestSuite() {
        UniControlsUnit.Finalize();
        gcl::FormsUnit.Finalize();
    }
};

TEST_F(UniControlsTest, WindowlessControlKeepsWideCaption) {
    TUniTestLabel* label = TUniTestLabel::Create(nullptr);
    EXPECT_EQ(WideControlGetText(label), L"");
    WideControlSetText(label, W("汉字"));
    EXPECT_EQ(label->GetText(), "??");
    EXPECT_EQ(WideControlGetText(label), W("汉字"));
    EXPECT_EQ(label->TextChanges, 1);

    // Another text with the same 8-bit form still reaches the control.
    WideControlSetText(label, W("字汉"));
    EXPECT_EQ(WideControlGetText(label), W("字汉"));
    EXPECT_EQ(label->TextChanges, 3);
    WideControlSetText(label, W("字汉"));
    EXPECT_EQ(label->TextChanges, 3);

    // 8-bit code changed the caption: the wide caption follows.
    label->SetText("Dansk \xE6");
    EXPECT_EQ(WideControlGetText(label), W("Dansk æ"));

    // The companion goes with the control.
    ASSERT_NE(FindWideControlHelper(label), nullptr);
    label->Free();
    TUniTestLabel* next = TUniTestLabel::Create(nullptr);
    EXPECT_EQ(FindWideControlHelper(next), nullptr);
    EXPECT_EQ(WideControlGetText(next), L"");
    next->Free();
}

TEST_F(UniControlsTest, WindowedControlBeforeAndWithItsWindow) {
    qelvo::test::HiddenTestWindow host;
    TUniTestPanel* panel = TUniTestPanel::Create(nullptr);

    // No window yet: the companion keeps the wide text; an 8-bit change
    // made meanwhile is not lost.
    WideControlSetText(panel, W("Ελληνικά"));
    EXPECT_FALSE(panel->HandleAllocated());
    EXPECT_EQ(WideControlGetText(panel), W("Ελληνικά"));
    panel->SetText("plain");
    EXPECT_EQ(WideControlGetText(panel), L"plain");

    // An 8-bit window holds the 8-bit form only.
    WideControlSetText(panel, W("Ελληνικά"));
    panel->SetParentWindow(static_cast<HWND>(host.Handle()));
    panel->HandleNeeded();
    EXPECT_EQ(panel->GetText(), "????????");
    EXPECT_EQ(WideControlGetText(panel), L"????????");
    ASSERT_TRUE(panel->HandleAllocated());
    WideControlSetText(panel, W("汉字 æ"));
    EXPECT_EQ(panel->GetText(), "?? \xE6");
    EXPECT_EQ(WideControlGetText(panel), W("?? æ"));

    // A Unicode window holds the wide text itself; a change is announced
    // once, an unchanged text not at all.
    HWND wnd = panel->GetHandle();
    GWideWindowText.clear();
    GPreviousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WideTextProc)));
    ASSERT_TRUE(IsWindowUnicode(wnd));
    panel->TextChanges = 0;
    WideControlSetText(panel, W("汉字 æ"));
    EXPECT_EQ(GWideWindowText, W("汉字 æ"));
    EXPECT_EQ(WideControlGetText(panel), W("汉字 æ"));
    EXPECT_EQ(panel->TextChanges, 1);
    WideControlSetText(panel, W("汉字 æ"));
    EXPECT_EQ(panel->TextChanges, 1);
    {
        // On 9x the 8-bit text is used whatever the window.
        gcl::TFixedOSVersion version(Windows98);
        gcl::ServiceOverride<gcl::IOSVersion> use(gcl::OSVersion, version);
        EXPECT_EQ(WideControlGetText(panel), W("?? æ"));
    }
    SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GPreviousProc));
    panel->Free();
}

TEST_F(UniControlsTest, WideHintsAndTheControlChain) {
    qelvo::test::HiddenTestWindow host;
    TUniTestPanel* parent = TUniTestPanel::Create(nullptr);
    parent->SetParentWindow(static_cast<HWND>(host.Handle()));
    TUniTestLabel* child = TUniTestLabel::Create(parent);
    child->SetParent(parent);

    WideControlSetHint(parent, W("短い|長いヒント"));
    EXPECT_EQ(parent->GetHint(), "??|?????");
    EXPECT_EQ(WideControlGetHint(parent), W("短い|長いヒント"));
    EXPECT_EQ(WideControlGetHint(child), L"");
    EXPECT_EQ(WideGetHintOfControlChain(child), W("短い|長いヒント"));
    EXPECT_EQ(WideGetShortHint(WideGetHintOfControlChain(child)), W("短い"));
    EXPECT_EQ(WideGetLongHint(WideGetHintOfControlChain(child)), W("長いヒント"));
    EXPECT_EQ(WideGetShortHint(L"whole"), L"whole");
    EXPECT_EQ(WideGetLongHint(L"whole"), L"whole");
    EXPECT_EQ(WideGetLongHint(L"a|b|c"), L"b|c");

    WideControlSetHint(child, W("Ωμέγα"));
    EXPECT_EQ(WideGetHintOfControlChain(child), W("Ωμέγα"));
    parent->SetHint("ansi");
    EXPECT_EQ(WideControlGetHint(parent), L"ansi");
    EXPECT_TRUE(IsWideHintStored(child));
    EXPECT_TRUE(IsWideCaptionStored(child));

    {
        // 9x: no companion, the hint is the 8-bit one.
        gcl::TFixedOSVersion version(Windows98);
        gcl::ServiceOverride<gcl::IOSVersion> use(gcl::OSVersion, version);
        TUniTestLabel* other = TUniTestLabel::Create(nullptr);
        WideControlSetHint(other, W("Dansk æ 汉"));
        EXPECT_EQ(other->GetHint(), "Dansk \xE6 ?");
        EXPECT_EQ(FindWideControlHelper(other), nullptr);
        EXPECT_EQ(WideControlGetHint(other), W("Dansk æ ?"));
        WideControlSetText(other, W("汉"));
        EXPECT_EQ(other->GetText(), "?");
        EXPECT_EQ(FindWideControlHelper(other), nullptr);
        other->Free();
    }
    parent->Free();
}

TEST_F(UniControlsTest, CanvasTextExtent) {
    gcl::TCanvas canvas;
    HDC dc = CreateCompatibleDC(nullptr);
    canvas.SetHandle(dc);
    SIZE wide = WideCanvasTextExtent(&canvas, L"WWWW");
    SIZE narrow = WideCanvasTextExtent(&canvas, L"iiii");
    EXPECT_GT(wide.cx, narrow.cx);
    EXPECT_GT(wide.cy, 0);
    EXPECT_EQ(WideCanvasTextWidth(&canvas, L"WWWW"), wide.cx);
    EXPECT_EQ(WideCanvasTextHeight(&canvas, L"WWWW"), wide.cy);
    EXPECT_EQ(WideCanvasTextWidth(&canvas, L""), 0);
    EXPECT_GT(WideCanvasTextWidth(&canvas, W("ωμέγα")), 0);
    canvas.SetHandle(nullptr);
    DeleteDC(dc);
}
