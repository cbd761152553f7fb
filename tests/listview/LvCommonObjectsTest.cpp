// The canvas-control base (update bracket, visual-style handles) and the
// process-wide helpers: the stream helper and the check-bound cache.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <string>
#include <vector>

#include "gcl/Forms.h"
#include "listview/GvListview.h"
#include "listview/GvListviewFixture.h"
#include "listview/LvCommonObjects.h"
#include "support/WindowTest.h"

using namespace qelvo;

namespace {

class TProbeControl : public TCommonCanvasControl {
    GCL_CLASS(TProbeControl, TCommonCanvasControl)
public:
    int Rebuilds = 0;
    int EndUpdates = 0;
    void Ended(gcl::TObject*) { ++EndUpdates; }

protected:
    explicit TProbeControl(gcl::TComponent* AOwner) : TCommonCanvasControl(AOwner) {}
    void Rebuild() override { ++Rebuilds; }
};
GCL_IMPLEMENT_CLASS(TProbeControl)

struct TStylesOn : gcl::IVisualStyleService {
    bool Active() override { return true; }
};

class LvCommonObjectsTest : public qelvo::test::GvUnitsFixture {};

TEST_F(LvCommonObjectsTest, StreamHelperWritesLittleEndianIntegersAndStrings) {
    ASSERT_NE(StreamHelper, nullptr);
    gcl::TMemoryStream s;
    StreamHelper->WriteString(s, "");
    EXPECT_EQ(s.GetSize(), 4);
    EXPECT_EQ(std::string(static_cast<char*>(s.GetMemory()), 4), std::string(4, '\0'));
    StreamHelper->WriteInteger(s, -2);
    StreamHelper->WriteString(s, "Due");
    const unsigned char expected[] = {0, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 'D', 'u', 'e'};
    ASSERT_EQ(s.GetSize(), static_cast<int64_t>(sizeof expected));
    EXPECT_EQ(std::memcmp(s.GetMemory(), expected, sizeof expected), 0);
    s.SetPosition(0);
    std::string text = "x";
    StreamHelper->ReadString(s, text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(StreamHelper->ReadInteger(s), -2);
    StreamHelper->ReadString(s, text);
    EXPECT_EQ(text, "Due");
    EXPECT_THROW(StreamHelper->ReadInteger(s), gcl::EReadError);

    // Lengths are checked against what is left.
    for (int32_t length : {-1, 4, 0x7FFFFFFF}) {
        gcl::TMemoryStream bad;
        StreamHelper->WriteInteger(bad, length);
        bad.WriteBuffer("abc", 3);
        bad.SetPosition(0);
        EXPECT_THROW(StreamHelper->ReadString(bad, text), gcl::EReadError) << length;
    }

    // Check-box bounds are measured once per size.
    CheckBoundManager->Clear();
    gcl::TRect r;
    CheckBoundManager->Bound(13, r);
    CheckBoundManager->Bound(13, r);
    CheckBoundManager->Bound(11, r);
    EXPECT_EQ(CheckBoundManager->GetCount(), 2);
    ASSERT_NE(CheckBoundManager->Find(13), nullptr);
    EXPECT_EQ(CheckBoundManager->Find(13)->Bounds, CheckBounds(13));
    EXPECT_EQ(CheckBoundManager->Find(12), nullptr);
    EXPECT_EQ(MarlettFont->GetName(), "marlett");
    EXPECT_NE(ILIsEqualFunc, nullptr);
}

TEST_F(LvCommonObjectsTest, UpdateBracketRunsTheHookOnceAtTheOutermostEnd) {
    TProbeControl* control = TProbeControl::Create(nullptr);
    control->OnEndUpdate = gcl::TNotifyEvent(control, &TProbeControl::Ended);
    control->BeginUpdate();
    control->BeginUpdate();
    control->EndUpdate();
    EXPECT_EQ(control->Rebuilds, 0);
    EXPECT_EQ(control->GetUpdateCount(), 1);
    control->EndUpdate();
    EXPECT_EQ(control->Rebuilds, 1);
    EXPECT_EQ(control->EndUpdates, 1);
    // An unmatched EndUpdate keeps the count at 0 and still runs both.
    control->EndUpdate(false);
    EXPECT_EQ(control->GetUpdateCount(), 0);
    EXPECT_EQ(control->Rebuilds, 2);
    EXPECT_EQ(control->EndUpdates, 2);
    // The canvas starts from the control's font and brush.
    control->GetFont()->SetSize(17);
    control->SetColor(gcl::clYellow);
    EXPECT_EQ(control->GetCanvas()->GetFont()->GetSize(), 17);
    EXPECT_EQ(control->GetCanvas()->GetBrush()->GetColor(), control->GetBrush()->GetColor());
    control->Free();
}

TEST_F(LvCommonObjectsTest, ThemeHandlesFollowTheWindowAndTheThemedSwitch) {
    TStylesOn styles;
    gcl::ServiceOverride<gcl::IVisualStyleService> override(gcl::VisualStyleService(), styles);
    qelvo::test::HiddenTestWindow parent;
    TProbeControl* control = TProbeControl::Create(nullptr);
    EXPECT_TRUE(control->GetThemed());
    EXPECT_FALSE(control->GetThemeManager()->GetLoaded());  // no window yet
    control->SetBounds(0, 0, 100, 60);
    control->SetParentWindow(static_cast<HWND>(parent.Handle()));
    control->HandleNeeded();
    EXPECT_TRUE(control->GetThemeManager()->GetLoaded());
    EXPECT_TRUE(control->DrawWithThemes());
    // Each class opens when first asked for, once.
    TCommonThemeManager* themes = control->GetThemeManager();
    const int before = themes->OpenCount();
    const HTHEME button = themes->GetButtonTheme();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(themes->GetButtonTheme(), button);
    EXPECT_EQ(themes->OpenCount(), before + 1);
    EXPECT_NE(themes->GetHeaderTheme(), nullptr);
    const int opened = themes->OpenCount();

    control->SetThemed(false);
    EXPECT_FALSE(control->GetThemed());
    EXPECT_FALSE(control->GetThemeManager()->GetLoaded());
    EXPECT_EQ(control->GetThemeManager()->OpenCount(), 0);
    EXPECT_EQ(themes->GetButtonTheme(), nullptr);
    EXPECT_FALSE(control->DrawWithThemes());
    control->SetThemed(true);
    EXPECT_TRUE(control->GetThemeManager()->GetLoaded());
    EXPECT_NE(themes->GetButtonTheme(), nullptr);
    EXPECT_NE(themes->GetHeaderTheme(), nullptr);
    EXPECT_EQ(control->GetThemeManager()->OpenCount(), opened);

    // Invalidating before and after the window exists is safe.
    gcl::TRect r{0, 0, 10, 10};
    control->SafeInvalidateRect(&r, true);
    control->SafeInvalidateRect(nullptr, false);
    control->Free();
}

} // namespace
