// Theme switching and its three-step broadcast, system changes passed on to
// theme listeners, the window queries, the parent-background painter and
// the font settings.
#include "theming/Tx.h"

#include <gtest/gtest.h>

#include "gcl/Controls.h"
#include "gcl/Dialogs.h"
#include "gcl/ExtCtrls.h"
#include "gcl/Forms.h"
#include "theming/TxRecordingTheme.h"
#include "theming/TxTestSupport.h"
#include "toolbar/BarDock.h"
#include "toolbar/BarItem.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

// A theme whose creation fails.
class TBrokenTheme : public TTxRecordingTheme {
    GCL_CLASS(TBrokenTheme, TTxRecordingTheme)
public:
    void AfterConstruction() override { throw gcl::Exception("cannot make the theme"); }

protected:
    explicit TBrokenTheme(const std::string& name) : TTxRecordingTheme(name) {}
};
GCL_IMPLEMENT_CLASS(TBrokenTheme)

using TEntry = TMessageRecorder::TEntry;

class TxSwitching : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartThemingLayer(); }
    void SetUp() override {
        RegisterTheme("Recording", TTxRecordingTheme::StaticClass());
        RegisterTheme("Broken", TBrokenTheme::StaticClass());
    }
    void TearDown() override {
        SelectTheme("Default");
        UnregisterTheme("Recording");
        UnregisterTheme("Broken");
    }
    std::vector<TEntry> Log;
    std::vector<TEntry> ThemeChanges() {
        std::vector<TEntry> out;
        for (const auto& e : Log)
            if (e.Msg == WM_SKIN_THEMECHANGE) out.push_back(e);
        return out;
    }
};

TEntry Change(const char* name, uintptr_t step, intptr_t lParam = 1) {
    return TEntry{WM_SKIN_THEMECHANGE, step, lParam, name};
}

} // namespace

TEST_F(TxSwitching, SelectBroadcastsThreeStepsInRegistrationOrder) {
    TMessageRecorder a("a", &Log), b("b", &Log);
    AddThemeListener(&a);
    AddThemeListener(&b);
    AddThemeListener(&a);  // once only
    SelectTheme("recording");
    EXPECT_EQ(CurrentThemeName(), "Recording");
    EXPECT_NE(dynamic_cast<TTxRecordingTheme*>(CurrentTheme), nullptr);
    EXPECT_EQ(ThemeChanges(), (std::vector<TEntry>{Change("a", 1), Change("b", 1), Change("a", 2), Change("b", 2),
                                                   Change("a", 3), Change("b", 3)}));
    // The current theme again: still all three steps.
    Log.clear();
    SelectTheme("Recording");
    EXPECT_EQ(ThemeChanges().size(), 6u);
    EXPECT_EQ(RegisteredThemes()[static_cast<size_t>(FindRegisteredTheme("Recording"))].RefCount, 1);
    RemoveThemeListener(&a);
    RemoveThemeListener(&b);
}

TEST_F(TxSwitching, UnknownOrBrokenThemesChangeNothing) {
    TMessageRecorder a("a", &Log);
    AddThemeListener(&a);
    TTxTheme* before = CurrentTheme;
    SelectTheme("Nowhere");
    SelectTheme("Broken");
    EXPECT_EQ(CurrentTheme, before);
    EXPECT_EQ(CurrentThemeName(), "Default");
    EXPECT_TRUE(ThemeChanges().empty());
    // The old theme is still alive and usable.
    EXPECT_EQ(CurrentTheme->IntegerMetric(50), 6);
    EXPECT_EQ(RegisteredThemes()[0].RefCount, 1);
    RemoveThemeListener(&a);
}

TEST_F(TxSwitching, EveryListenerGetsEveryStepDespiteErrorsAndRemovals) {
    TMessageRecorder a("a", &Log), thrower("thrower", &Log), leaver("leaver", &Log), c("c", &Log);
    thrower.OnMessage = [](TMessageRecorder*, gcl::TMessage& m) {
        if (m.WParam == 1) throw gcl::Exception("listener failed");
    };
    leaver.OnMessage = [](TMessageRecorder* self, gcl::TMessage& m) {
        if (m.WParam == 2) RemoveThemeListener(self);
    };
    for (auto* l : {&a, &thrower, &leaver, &c}) AddThemeListener(l);
    gcl::TScriptedDialogs dialogs;  // the failure goes to the application's handler
    dialogs.ExpectMessage("listener failed", gcl::mrOk);
    gcl::ServiceOverride<gcl::IDialogService> use(gcl::DialogService(), dialogs);
    SelectTheme("Recording");
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(ThemeChanges(),
              (std::vector<TEntry>{Change("a", 1), Change("thrower", 1), Change("leaver", 1), Change("c", 1),
                                   Change("a", 2), Change("thrower", 2), Change("leaver", 2), Change("c", 2),
                                   Change("a", 3), Change("thrower", 3), Change("c", 3)}));
    for (auto* l : {&a, &thrower, &c}) RemoveThemeListener(l);
}

TEST_F(TxSwitching, SystemChangesReachThemeListenersWithLParamZero) {
    TMessageRecorder a("a", &Log);
    AddThemeListener(&a);
    SendMessageA(ThemeManager()->GetWindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
    SendMessageA(ThemeManager()->GetWindowHandle(), WM_ACTIVATEAPP, FALSE, 0);
    SendMessageA(ThemeManager()->GetWindowHandle(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(ThemeChanges(), (std::vector<TEntry>{Change("a", 1, 0), Change("a", 2, 0), Change("a", 3, 0),
                                                   Change("a", 5, 0), Change("a", 4, 0)}));
    RemoveThemeListener(&a);
}

namespace {

// A control that answers the theming queries.
class TAnsweringPanel : public gcl::TCustomControl {
    GCL_CLASS(TAnsweringPanel, gcl::TCustomControl)
public:
    uint32_t ViewType = 0;
    TColor Effective = clNone;
    bool ErasesBackground = false;
    bool DeclinesErase = false;  // leaves the background to others, as a dock does
    void Dispatch(gcl::TMessage& m) override {
        if (m.Msg == WM_SKIN_VIEWTYPE) {
            m.Result = ViewType;
            return;
        }
        if (m.Msg == WM_SKIN_EFFECTIVECOLOR && Effective != clNone) {
            m.WParam = static_cast<uintptr_t>(Effective);
            m.Result = 1;
            return;
        }
        if (m.Msg == WM_ERASEBKGND && ErasesBackground) {
            HDC dc = reinterpret_cast<HDC>(m.WParam);
            FillRectColor(dc, TRect{0, 0, 400, 400}, 0x00FF00);  // in its own client coordinates
            FillRectColor(dc, TRect{30, 20, 31, 21}, 0x0000FF);  // a marker pixel at (30, 20)
            m.Result = 1;
            return;
        }
        if (m.Msg == WM_ERASEBKGND && DeclinesErase) {
            m.Result = 0;
            return;
        }
        inherited::Dispatch(m);
    }

protected:
    explicit TAnsweringPanel(gcl::TComponent* owner) : TCustomControl(owner) {}
};
GCL_IMPLEMENT_CLASS(TAnsweringPanel)

class TxQueries : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartThemingLayer(); }
};

// A dock that leaves its erase to others and paints its background red.
class TRedDock : public TBarDock {
    GCL_CLASS(TRedDock, TBarDock)
public:
    bool Uses = true;
    TRect Seen;
    bool UsingBackground() override { return Uses; }
    void DrawBackground(HDC dc, const TRect& drawRect) override {
        Seen = drawRect;
        FillRectColor(dc, drawRect, 0xFF0000);
    }
    void Dispatch(gcl::TMessage& m) override {
        if (m.Msg == WM_ERASEBKGND) {
            m.Result = 0;
            return;
        }
        inherited::Dispatch(m);
    }

protected:
    explicit TRedDock(gcl::TComponent* owner) : TBarDock(owner) {}
};
GCL_IMPLEMENT_CLASS(TRedDock)

} // namespace

TEST_F(TxQueries, ViewTypeAndEffectiveColor) {
    EXPECT_EQ(QueryControlViewType(nullptr), 0u);
    EXPECT_EQ(QueryEffectiveColor(nullptr), gcl::clBtnFace);
    auto* panel = TAnsweringPanel::Create(nullptr);
    panel->ViewType = VT_TOOLBAR;
    panel->SetColor(0x123456);
    EXPECT_EQ(QueryControlViewType(panel), VT_TOOLBAR);
    EXPECT_EQ(QueryEffectiveColor(panel), 0x123456);  // no answer: its Color
    panel->Effective = 0x654321;
    EXPECT_EQ(QueryEffectiveColor(panel), 0x654321);
    panel->Free();
    auto* form = gcl::TForm::Create(nullptr, 0);
    form->SetColor(0x0000FF);
    EXPECT_EQ(QueryEffectiveColor(form), 0x0000FF);
    form->SetFormStyle(gcl::fsMDIForm);
    EXPECT_EQ(QueryEffectiveColor(form), gcl::clBtnFace);
    form->Free();
}

TEST_F(TxQueries, ViewTypeOfAView) {
    gcl::TUnitScope units{&BarItemUnit};
    EXPECT_EQ(QueryViewType(nullptr), 0u);
    auto* owner = TAnsweringPanel::Create(nullptr);
    auto* root = TBarRootItem::Create(owner);
    TBarView* windowless = TBarView::Create(owner, nullptr, root, nullptr, true, false, false);
    EXPECT_EQ(QueryViewType(windowless), 0u);
    auto* window = TAnsweringPanel::Create(owner);
    window->ViewType = VT_MENUBAR;
    TBarView* view = TBarView::Create(owner, nullptr, root, window, true, false, false);
    EXPECT_EQ(QueryViewType(view), VT_MENUBAR);
    owner->Free();
}

TEST_F(TxQueries, ParentBackgroundFromEraseDockOrColour) {
    auto* form = gcl::TForm::Create(nullptr, 0);
    form->SetBounds(0, 0, 300, 200);
    auto* parent = TAnsweringPanel::Create(form);
    parent->SetParent(form);
    parent->SetBounds(0, 0, 200, 150);
    parent->SetColor(0x00FFFF);
    auto* child = TAnsweringPanel::Create(form);
    child->SetParent(parent);
    child->SetBounds(25, 15, 40, 30);
    form->HandleNeeded();
    TPaintTarget target(40, 30);

    // The parent erases: its pixel (30, 20) lands at the child's (5, 5).
    parent->ErasesBackground = true;
    DrawParentBackground(child, target.DC(), TRect{0, 0, 40, 30});
    EXPECT_EQ(target.Pixel(5, 5), 0x0000FF);
    EXPECT_EQ(target.Pixel(6, 5), 0x00FF00);

    // Neither: the parent's effective colour.
    parent->ErasesBackground = false;
    parent->DeclinesErase = true;
    target.Fill(0);
    DrawParentBackground(child, target.DC(), TRect{0, 0, 40, 30});
    EXPECT_EQ(target.Pixel(10, 10), 0x00FFFF);

    // A dock paints the part behind the child, in its own coordinates;
    // without a background it is its colour that shows.
    auto* dock = TRedDock::Create(form);
    dock->SetParent(form);
    dock->SetColor(0x00FF00);
    child->SetParent(dock);
    child->SetBounds(25, 15, 40, 30);
    target.Fill(0);
    DrawParentBackground(child, target.DC(), TRect{0, 0, 40, 30});
    EXPECT_EQ(dock->Seen, gcl::Rect(25, 15, 65, 45));
    EXPECT_EQ(target.CountNot(TRect{0, 0, 40, 30}, 0xFF0000), 0);  // lands behind the child, all of it
    dock->Uses = false;
    dock->Seen = TRect{};
    DrawParentBackground(child, target.DC(), TRect{0, 0, 40, 30});
    EXPECT_EQ(dock->Seen, TRect{});
    EXPECT_EQ(target.Pixel(10, 10), 0x00FF00);
    // No parent at all: button face.
    auto* orphan = TAnsweringPanel::Create(nullptr);
    DrawParentBackground(orphan, target.DC(), TRect{0, 0, 4, 4});
    EXPECT_EQ(target.Pixel(1, 1), Sys(gcl::clBtnFace));
    orphan->Free();
    form->Free();
}

TEST(TxFontSettings, ApplyToFontAndLogFont) {
    TFontSettings settings;
    settings.SetSize(150);
    settings.SetBold(tsTrue);
    settings.SetItalic(tsFalse);
    settings.SetColor(0x0000FF);
    settings.SetName("Arial");
    gcl::TFont font;
    font.SetSize(8);
    font.SetStyle(gcl::TFontStyles{gcl::fsItalic, gcl::fsUnderline});
    settings.Apply(&font);
    EXPECT_EQ(font.GetSize(), 12);
    EXPECT_EQ(font.GetColor(), 0x0000FF);
    EXPECT_EQ(font.GetName(), "Arial");
    EXPECT_EQ(font.GetStyle(), (gcl::TFontStyles{gcl::fsBold, gcl::fsUnderline}));

    LOGFONTA lf{};
    lf.lfHeight = -11;
    lf.lfItalic = 1;
    TColor color = 0x111111;
    settings.Apply(lf, color);
    EXPECT_EQ(lf.lfHeight, -16);  // (-1650 + 50) / 100, toward zero
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(std::string(lf.lfFaceName), "Arial");
    EXPECT_EQ(color, 0x0000FF);

    TFontSettings plain;  // defaults leave everything
    LOGFONTA kept = lf;
    TColor keptColor = 0x222222;
    plain.Apply(kept, keptColor);
    EXPECT_EQ(kept.lfHeight, -16);
    EXPECT_EQ(keptColor, 0x222222);

    settings.SetName(std::string(40, 'x'));
    settings.Apply(lf, color);
    EXPECT_EQ(std::string(lf.lfFaceName), std::string(31, 'x'));  // at most 31 characters

    HFONT source = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    settings.SetName("Tahoma");
    HFONT made = settings.CreateTransformedFont(source, color);
    ASSERT_NE(made, nullptr);
    LOGFONTA out{};
    GetObjectA(made, sizeof out, &out);
    EXPECT_EQ(out.lfHeight, -16);
    EXPECT_EQ(out.lfWeight, FW_BOLD);
    DeleteObject(made);
    DeleteObject(source);
}

namespace {
int ChangeCount = 0;
void CountChange(gcl::TObject*) { ++ChangeCount; }
} // namespace

TEST(TxFontSettings, ChangesFireOnlyForNewValues) {
    TFontSettings a, b;
    a.OnChange = gcl::TNotifyEvent(&CountChange);
    ChangeCount = 0;
    a.SetBold(tsDefault);
    a.SetSize(100);
    a.SetName("");
    EXPECT_EQ(ChangeCount, 0);
    a.SetBold(tsTrue);
    a.SetBold(tsTrue);
    EXPECT_EQ(ChangeCount, 1);
    b.SetBold(tsTrue);
    a.Assign(&b);  // equal: nothing
    EXPECT_EQ(ChangeCount, 1);
    b.SetUnderline(tsFalse);
    b.SetColor(0x123);
    a.Assign(&b);  // once for all seven
    EXPECT_EQ(ChangeCount, 2);
    EXPECT_EQ(a.GetUnderline(), tsFalse);
    EXPECT_EQ(a.GetColor(), 0x123);
    gcl::TFont font;
    EXPECT_THROW(a.Assign(&font), gcl::EConvertError);
}

TEST(TxStartUp, SoundWarmUpStartsOnNT) { EXPECT_TRUE(StartSoundWarmUp()); }
