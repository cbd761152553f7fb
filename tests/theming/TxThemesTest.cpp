// The theme registry with its messages, the frame geometry helpers, and the
// theme manager's window turning system changes into WM_SKIN_SYSCHANGE.
#include "theming/TxThemes.h"

#include <gtest/gtest.h>

#include "gcl/Dialogs.h"
#include "gcl/rtl/Lists.h"
#include "theming/TxDefaultTheme.h"
#include "theming/TxRecordingTheme.h"
#include "theming/TxTestSupport.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

class TxRegistry : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartThemingLayer(); }
    void TearDown() override {
        UnregisterTheme("Recording");
        UnregisterTheme("Second");
        UnregisterTheme("Alpha");
    }
};

std::string MessageOf(void (*fn)()) {
    try {
        fn();
    } catch (const gcl::Exception& e) {
        return e.GetMessage();
    }
    return "(no error)";
}

} // namespace

TEST_F(TxRegistry, RegisterFindAndListInOrder) {
    RegisterTheme("Recording", TTxRecordingTheme::StaticClass());
    RegisterTheme("Second", TTxRecordingTheme::StaticClass());
    EXPECT_EQ(FindRegisteredTheme("Default"), 0);
    EXPECT_EQ(FindRegisteredTheme("RECORDING"), 1);
    EXPECT_EQ(FindRegisteredTheme("second"), 2);
    EXPECT_EQ(FindRegisteredTheme("Third"), -1);
    EXPECT_TRUE(IsThemeRegistered("dEfAuLt"));
    gcl::TStringList names;
    ListRegisteredThemes(&names);
    ASSERT_EQ(names.GetCount(), 3);
    EXPECT_EQ(names.Get(0), "Default");
    EXPECT_EQ(names.Get(1), "Recording");
    EXPECT_EQ(names.Get(2), "Second");
    EXPECT_THROW(ListRegisteredThemes(nullptr), gcl::EAssertionFailed);
}

TEST_F(TxRegistry, TheThemeMenuListsDefaultFirstThenTheNamesSorted) {
    std::vector<std::string> names{"Tristan2", "aluminum", "Default", "Tristan", "NexosX", "Nexos5", "OfficeC",
                                   "Office11Adaptive"};
    OrderThemeMenuNames(names);
    const std::vector<std::string> expected{"Default", "aluminum", "Nexos5", "NexosX", "Office11Adaptive",
                                            "OfficeC", "Tristan", "Tristan2"};
    EXPECT_EQ(names, expected);
    std::vector<std::string> none{"b", "A"};
    OrderThemeMenuNames(none);
    EXPECT_EQ(none, (std::vector<std::string>{"A", "b"}));
    RegisterTheme("Recording", TTxRecordingTheme::StaticClass());
    RegisterTheme("Alpha", TTxRecordingTheme::StaticClass());
    EXPECT_EQ(ThemeMenuNames(), (std::vector<std::string>{"Default", "Alpha", "Recording"}));
}

TEST_F(TxRegistry, RegistrationErrors) {
    EXPECT_EQ(MessageOf([] { RegisterTheme("", TTxRecordingTheme::StaticClass()); }), "Cannot register theme");
    EXPECT_EQ(MessageOf([] { RegisterTheme("Recording", nullptr); }), "Cannot register theme");
    EXPECT_EQ(MessageOf([] { RegisterTheme("default", TTxRecordingTheme::StaticClass()); }),
              "Theme default is already registered");
    EXPECT_EQ(MessageOf([] { AcquireTheme("Nowhere"); }), "Unknown theme Nowhere");
    EXPECT_EQ(MessageOf([] {
                  TTxTheme* none = nullptr;
                  ReleaseTheme(none);
              }),
              "Cannot release theme");
}

TEST_F(TxRegistry, AcquireSharesAndReleaseFrees) {
    RegisterTheme("Recording", TTxRecordingTheme::StaticClass());
    TTxTheme* a = AcquireTheme("RECORDING");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetName(), "Recording");  // the registered name, not the asked one
    auto* recording = dynamic_cast<TTxRecordingTheme*>(a);
    ASSERT_NE(recording, nullptr);
    EXPECT_EQ(recording->ColorCacheBuilds, 1);
    ASSERT_EQ(recording->SysChanges.size(), 1u);  // told once at creation
    EXPECT_LE(recording->SysChanges[0], 1u);

    TTxTheme* b = AcquireTheme("Recording");
    EXPECT_EQ(a, b);
    EXPECT_EQ(RegisteredThemes()[1].RefCount, 2);
    ReleaseTheme(b);
    EXPECT_EQ(b, a);  // still held: the variable keeps its value
    EXPECT_EQ(RegisteredThemes()[1].Instance, a);
    ReleaseTheme(a);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(RegisteredThemes()[1].Instance, nullptr);
    // Releasing an instance whose count is spent names the theme.
    TTxTheme* c = AcquireTheme("Recording");
    TTxTheme* stale = c;
    const_cast<TTxThemeRecord&>(RegisteredThemes()[1]).RefCount = 0;
    try {
        ReleaseTheme(stale);
        ADD_FAILURE() << "no error";
    } catch (const gcl::Exception& e) {
        EXPECT_EQ(e.GetMessage(), "Cannot release theme Recording");
    }
    const_cast<TTxThemeRecord&>(RegisteredThemes()[1]).RefCount = 1;
    // A theme in use cannot leave the registry.
    EXPECT_EQ(MessageOf([] { UnregisterTheme("Recording"); }), "Cannot release theme Recording");
    EXPECT_EQ(MessageOf([] { UnregisterTheme("Default"); }), "Cannot release theme Default");
    ReleaseTheme(c);
    UnregisterTheme("Recording");
    EXPECT_FALSE(IsThemeRegistered("Recording"));
}

TEST_F(TxRegistry, ThemesRebuildColoursOnSystemChangeStepTwo) {
    RegisterTheme("Recording", TTxRecordingTheme::StaticClass());
    TTxTheme* theme = AcquireTheme("Recording");
    auto* recording = static_cast<TTxRecordingTheme*>(theme);
    SendMessageA(ThemeManager()->GetWindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(recording->ColorCacheBuilds, 2);
    ASSERT_GE(recording->SysChanges.size(), 4u);
    EXPECT_EQ(std::vector<uintptr_t>(recording->SysChanges.end() - 3, recording->SysChanges.end()),
              (std::vector<uintptr_t>{1, 2, 3}));
    const int listeners = ThemeManager()->ListenerCount();
    ReleaseTheme(theme);
    EXPECT_EQ(ThemeManager()->ListenerCount(), listeners - 1);  // a freed theme stops listening
}

TEST_F(TxRegistry, TheManagerHearsTheSystemThroughTheApplicationWindow) {
    RegisterTheme("Recording", TTxRecordingTheme::StaticClass());
    TTxTheme* theme = AcquireTheme("Recording");
    auto* recording = static_cast<TTxRecordingTheme*>(theme);
    // With an application window the manager makes none: colour and
    // theme changes and the application's activation reach it there.
    ASSERT_NE(gcl::Application->GetHandle(), nullptr);
    EXPECT_EQ(ThemeManager()->GetWindowHandle(), gcl::Application->GetHandle());
    const int builds = recording->ColorCacheBuilds;
    const size_t heard = recording->SysChanges.size();
    SendMessageA(gcl::Application->GetHandle(), WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(recording->ColorCacheBuilds, builds + 1);
    SendMessageA(gcl::Application->GetHandle(), WM_ACTIVATEAPP, FALSE, 0);
    ASSERT_GT(recording->SysChanges.size(), heard);
    EXPECT_EQ(recording->SysChanges.back(), 5u);
    ReleaseTheme(theme);
    // Heard again after a release and a new theme.
    theme = AcquireTheme("Recording");
    recording = static_cast<TTxRecordingTheme*>(theme);
    const int again = recording->ColorCacheBuilds;
    SendMessageA(gcl::Application->GetHandle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(recording->ColorCacheBuilds, again + 1);
    ReleaseTheme(theme);
}

TEST(TxGeometry, DragHandleAndToolbarCloseButton) {
    TTxToolbarFrameInfo info;
    info.BorderSize = {2, 2};
    info.ClientWidth = 100;
    info.ClientHeight = 24;
    for (int style = 0; style < 3; ++style) {
        info.DragHandleStyle = style;
        info.AllowDrag = false;
        info.CloseButtonState = CDBS_VISIBLE;
        EXPECT_EQ(GetDragHandleSize(info), 0);
        info.AllowDrag = true;
        EXPECT_EQ(GetDragHandleSize(info), 14);
        info.CloseButtonState = 0;
        static constexpr int WithoutClose[3] = {9, 0, 6};
        EXPECT_EQ(GetDragHandleSize(info), WithoutClose[style]);
    }
    info.DragHandleStyle = 0;
    info.CloseButtonState = CDBS_VISIBLE;
    TRect r;
    CalcToolbarCloseButtonRect(info, r);
    EXPECT_EQ(r, gcl::Rect(2, 2, 15, 15));       // top of the side handle
    info.IsVertical = true;
    CalcToolbarCloseButtonRect(info, r);
    EXPECT_EQ(r, gcl::Rect(89, 2, 102, 15));     // right end of the top handle
}

TEST(TxGeometry, FloatingCaptionAndCloseButton) {
    const int h = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    TTxFloatingFrameInfo info;
    info.ClientWidth = 120;
    info.BorderSize = {3, 4};
    TRect r;
    CalcFloatingCaptionRect(info, 0, r);
    EXPECT_EQ(r, gcl::Rect(0, 0, 120, h));
    CalcFloatingCaptionRect(info, CR_EXCLUDECLOSEBUTTON, r);
    EXPECT_EQ(r, gcl::Rect(0, 0, 120 - h, h));
    CalcFloatingCaptionRect(info, CR_EXCLUDECLOSEBUTTON | CR_OFFSET, r);
    EXPECT_EQ(r, gcl::Rect(3, 4, 123 - h, 4 + h));
    CalcFloatingCloseButtonRect(info, true, r);
    EXPECT_EQ(r, gcl::Rect(123 - h, 4, 123, 4 + h));
    CalcFloatingCloseButtonRect(info, false, r);
    EXPECT_EQ(r, gcl::Rect(120 - h, 0, 120, h));
}

namespace {

class TxManager : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartThemingLayer(); }
    void SetUp() override { AddSysChangeListener(&FListener); }
    void TearDown() override { RemoveSysChangeListener(&FListener); }
    // The steps heard since the last Mark.
    std::vector<uintptr_t> Steps() {
        std::vector<uintptr_t> out;
        const auto all = FListener.Of(WM_SKIN_SYSCHANGE);
        for (size_t i = FMark; i < all.size(); ++i) out.push_back(all[i].WParam);
        return out;
    }
    void Mark() { FMark = FListener.Of(WM_SKIN_SYSCHANGE).size(); }
    TMessageRecorder FListener{"listener"};
    size_t FMark = 0;
};

} // namespace

TEST_F(TxManager, SystemChangesReachListenersInThreeSteps) {
    HWND wnd = ThemeManager()->GetWindowHandle();
    for (UINT msg : {static_cast<UINT>(WM_SYSCOLORCHANGE), static_cast<UINT>(WM_DISPLAYCHANGE),
                     static_cast<UINT>(WM_THEMECHANGED)}) {
        Mark();
        SendMessageA(wnd, msg, 0, 0);
        EXPECT_EQ(Steps(), (std::vector<uintptr_t>{1, 2, 3})) << msg;
    }
    for (const auto& e : FListener.Of(WM_SKIN_SYSCHANGE)) EXPECT_EQ(e.LParam, 0);
}

TEST_F(TxManager, ActivationSendsFourAndFiveOnce) {
    HWND wnd = ThemeManager()->GetWindowHandle();
    SendMessageA(wnd, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(Steps(), (std::vector<uintptr_t>{5}));
    SendMessageA(wnd, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(Steps(), (std::vector<uintptr_t>{5, 4}));
}

TEST_F(TxManager, ARaisingListenerDoesNotSilenceTheOthers) {
    TMessageRecorder thrower("thrower");
    thrower.OnMessage = [](TMessageRecorder*, gcl::TMessage&) { throw gcl::Exception("listener failed"); };
    RemoveSysChangeListener(&FListener);
    AddSysChangeListener(&thrower);
    AddSysChangeListener(&FListener);
    gcl::TScriptedDialogs dialogs;  // each failure goes to the application's handler
    for (int i = 0; i < 3; ++i) dialogs.ExpectMessage("listener failed", gcl::mrOk);
    gcl::ServiceOverride<gcl::IDialogService> use(gcl::DialogService(), dialogs);
    SendMessageA(ThemeManager()->GetWindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
    RemoveSysChangeListener(&thrower);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(Steps(), (std::vector<uintptr_t>{1, 2, 3}));
}

TEST_F(TxManager, UseVisualStylesSwitchesTheModeAndItsMetrics) {
    TTxTheme* theme = AcquireTheme("Default");
    {
        TVisualStylesScope classic(false);
        EXPECT_FALSE(VisualStylesOn);
        EXPECT_FALSE(theme->BooleanMetric(5));
        EXPECT_EQ(theme->IntegerMetric(10), 11);
        // Unloaded: no entry point, no handle, however the themes ask.
        EXPECT_EQ(uxtheme::DrawThemeBackground(), nullptr);
        EXPECT_EQ(uxtheme::OpenThemeData(), nullptr);
        for (int i = 0; i < vscCount; ++i) EXPECT_EQ(VisualStylesHandle(static_cast<TTxVisualStylesClass>(i)), nullptr);
        EXPECT_EQ(Steps(), (std::vector<uintptr_t>{1, 2, 3}));
    }
    // Wine runs with visual styles on.
    EXPECT_TRUE(VisualStylesOn);
    EXPECT_TRUE(theme->BooleanMetric(5));
    EXPECT_NE(VisualStylesHandle(vscToolbar), nullptr);
    EXPECT_NE(uxtheme::DrawThemeBackground(), nullptr);
    EXPECT_GT(theme->IntegerMetric(10), 2);
    ReleaseTheme(theme);
}

TEST_F(TxManager, ScreenFlagsFollowTheSystem) {
    ThemeManager()->RefreshSystemState();
    HDC screen = GetDC(nullptr);
    const bool low = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES) < 12;
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(LowColorDepth, low);
    EXPECT_EQ(WhiteButtonFace, Sys(gcl::clBtnFace) == 0xFFFFFF);
    EXPECT_EQ(LowColorScreen, LowColorDepth || WhiteButtonFace);
    EXPECT_EQ(&PopupMenuColor, &MenuColor);
    EXPECT_EQ(&PopupMenuFlag, &FlatMenusOn);
    // Menu style 2 without system flat menus: flat menus in window colours.
    ThemeManager()->SetMenuStyle(2);
    EXPECT_TRUE(FlatMenusOn);
    ThemeManager()->SetMenuStyle(0);
}
