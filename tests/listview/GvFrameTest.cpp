// The list view's window frame (the themed border and the classic bevels),
// the resize hook and the kept off-screen bitmap of painting.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <memory>
#include <vector>

#include "gcl/Forms.h"
#include "listview/GvDemoForm.h"
#include "listview/GvListview.h"
#include "listview/GvWindowFixture.h"
#include "support/ApplicationTest.h"
#include "support/PixelCanvas.h"
#include "support/Screenshot.h"
#include "support/WindowTest.h"

using namespace qelvo;
using gcl::TPoint;
using gcl::TRect;

namespace {

// A list view that records the resize hook.
class TResizeRecordingListview : public TGvListview {
    GCL_CLASS(TResizeRecordingListview, TGvListview)
public:
    std::vector<TPoint> Deltas;

protected:
    explicit TResizeRecordingListview(gcl::TComponent* AOwner) : TGvListview(AOwner) {}
    void DoResize(int DeltaX, int DeltaY) override { Deltas.push_back(TPoint{DeltaX, DeltaY}); }
};
GCL_IMPLEMENT_CLASS(TResizeRecordingListview)

class GvFrameTest : public qelvo::test::GvWindowFixture {
protected:
    // The client area's distance from each edge of the window.
    TRect Insets() const {
        RECT window{};
        GetWindowRect(LV->GetHandle(), &window);
        RECT client{};
        GetClientRect(LV->GetHandle(), &client);
        MapWindowPoints(LV->GetHandle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
        return TRect{client.left - window.left, client.top - window.top, window.right - client.right,
                     window.bottom - client.bottom};
    }
    bool ThemedFrame() const { return LV->DrawWithThemes() && LV->GetThemeManager()->GetListviewTheme(); }
};

TEST_F(GvFrameTest, TheFrameTakesTheThemesBorderOrTheBevels) {
    // Classic: the class library's bevels and border width.
    LV->SetThemed(false);
    EXPECT_EQ(Insets(), (TRect{0, 0, 0, 0}));
    LV->SetBevelKind(gcl::bkTile);
    const TRect bevel = Insets();
    EXPECT_GT(bevel.Left, 0);
    EXPECT_EQ(bevel, (TRect{bevel.Left, bevel.Left, bevel.Left, bevel.Left}));
    LV->SetBorderWidth(3);
    EXPECT_EQ(Insets().Left, bevel.Left + 3);
    LV->SetBorderWidth(0);
    LV->SetBevelKind(gcl::bkNone);

    // Themed: the theme's border plus one pixel plus the border width, on
    // every side, bevels or not; ShowThemedBorder changes only the look.
    LV->SetThemed(true);
    if (!ThemedFrame()) GTEST_SKIP() << "no visual styles";
    const TRect themed = Insets();
    EXPECT_GE(themed.Left, 1);
    EXPECT_EQ(themed, (TRect{themed.Left, themed.Left, themed.Left, themed.Left}));
    LV->SetBorderWidth(2);
    EXPECT_EQ(Insets().Left, themed.Left + 2);
    LV->SetShowThemedBorder(false);
    EXPECT_EQ(Insets().Left, themed.Left + 2);
    // The client area follows: the layout uses what is left.
    EXPECT_EQ(LV->GetClientWidth(), LV->GetWidth() - 2 * (themed.Left + 2));
}

// On screen: the themed border is drawn around the client area, its fill
// only when ShowThemedBorder is off; classic bevels draw an edge; the
// square between two scroll bars is button face.
TEST_F(GvFrameTest, TheFrameIsPaintedOnScreen) {
    using namespace qelvo::test;
    TDemoForm* form = TDemoForm::Create(nullptr);
    TGvListview* lv = TGvListview::Create(form);
    lv->SetParent(form);
    lv->SetBounds(20, 20, 400, 300);
    lv->BeginUpdate();
    SetUpLikeTheMainWindow(lv);
    AddGroup(lv, L"Inbox", 30);
    lv->GetHeader()->GetColumns()->GetColumns(0)->SetWidth(600);
    lv->EndUpdate();
    form->Show();
    PumpApplication(300);
    auto screenPixel = [&](int x, int y) {
        RedrawWindow(lv->GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        RECT window{};
        GetWindowRect(lv->GetHandle(), &window);
        HDC screen = GetDC(nullptr);
        const COLORREF c = GetPixel(screen, window.left + x, window.top + y);
        ReleaseDC(nullptr, screen);
        return static_cast<gcl::TColor>(c);
    };
    const gcl::TColor window = gcl::ColorToRGB(gcl::clWindow);
    const LONG style = GetWindowLongA(lv->GetHandle(), GWL_STYLE);
    ASSERT_TRUE((style & WS_VSCROLL) && (style & WS_HSCROLL));
    RECT client{};
    GetClientRect(lv->GetHandle(), &client);
    MapWindowPoints(lv->GetHandle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT windowRect{};
    GetWindowRect(lv->GetHandle(), &windowRect);
    const int cornerX = client.right - windowRect.left + 3;
    const int cornerY = client.bottom - windowRect.top + 3;
    EXPECT_EQ(screenPixel(cornerX, cornerY), gcl::ColorToRGB(gcl::clBtnFace));
    EXPECT_GT(SaveWindowScreenshot(form->GetHandle(), "listview_frame.bmp"), 5);
    if (lv->DrawWithThemes() && lv->GetThemeManager()->GetListviewTheme()) {
        const gcl::TColor border = screenPixel(0, 100);
        EXPECT_NE(border, window);
        lv->SetShowThemedBorder(false);
        EXPECT_NE(screenPixel(0, 100), border);
        lv->SetShowThemedBorder(true);
    }
    lv->SetThemed(false);
    lv->SetBevelKind(gcl::bkTile);
    PumpApplication(50);
    EXPECT_NE(screenPixel(0, 100), window);
    EXPECT_GT(SaveWindowScreenshot(form->GetHandle(), "listview_frame_classic.bmp"), 5);
    gcl::Free(form);
}

TEST_F(GvFrameTest, DoResizeHearsEachChangeOfSize) {
    auto* lv = TResizeRecordingListview::Create(nullptr);
    lv->SetBounds(0, 0, 200, 100);
    lv->SetParentWindow(static_cast<HWND>(Parent->Handle()));
    lv->HandleNeeded();
    lv->Deltas.clear();
    lv->SetBounds(0, 0, 230, 90);
    lv->SetBounds(15, 15, 230, 90);  // a move only
    lv->SetBounds(15, 15, 230, 100);
    EXPECT_EQ(lv->Deltas, (std::vector<TPoint>{TPoint{30, -10}, TPoint{0, 10}}));
    gcl::Free(lv);
}

// With CacheDoubleBufferBits the bitmap of painting is kept and only
// grows; painting through it gives the same pixels as a fresh one.
TEST_F(GvFrameTest, TheKeptBitmapGrowsAndPaintsTheSame) {
    using qelvo::test::PixelCanvas;
    LV->BeginUpdate();
    qelvo::test::SetUpLikeTheMainWindow(LV);
    qelvo::test::AddGroup(LV, L"Inbox", 12);
    LV->EndUpdate();
    EXPECT_EQ(LV->GetDoubleBufferBitmap(), nullptr);
    PixelCanvas fresh(LV->GetClientWidth(), LV->GetClientHeight());
    LV->Perform(WM_PRINTCLIENT, reinterpret_cast<uintptr_t>(fresh.DC()), PRF_CLIENT);

    LV->SetCacheDoubleBufferBits(true);
    gcl::TBitmap* kept = LV->GetDoubleBufferBitmap();
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->GetPixelFormat(), gcl::pf32bit);
    EXPECT_GE(kept->GetWidth(), LV->GetClientWidth());
    EXPECT_GE(kept->GetHeight(), LV->GetClientHeight());
    PixelCanvas cached(LV->GetClientWidth(), LV->GetClientHeight(), RGB(0, 0, 0));
    LV->Perform(WM_PRINTCLIENT, reinterpret_cast<uintptr_t>(cached.DC()), PRF_CLIENT);
    EXPECT_TRUE(cached.SameAs(fresh));
    // Painted twice, the second paint still starts clean.
    LV->Perform(WM_PRINTCLIENT, reinterpret_cast<uintptr_t>(cached.DC()), PRF_CLIENT);
    EXPECT_TRUE(cached.SameAs(fresh));
    EXPECT_EQ(LV->GetDoubleBufferBitmap(), kept);

    const int width = kept->GetWidth();
    const int height = kept->GetHeight();
    LV->SetBounds(0, 0, LV->GetWidth() + 50, LV->GetHeight() + 20);
    EXPECT_EQ(kept->GetWidth(), width + 50);
    EXPECT_EQ(kept->GetHeight(), height + 20);
    LV->SetBounds(0, 0, 0, 0);
    EXPECT_EQ(kept->GetWidth(), width + 50);
    EXPECT_EQ(kept->GetHeight(), height + 20);
    LV->SetCacheDoubleBufferBits(false);
    EXPECT_EQ(LV->GetDoubleBufferBitmap(), nullptr);
}

// With visual styles a bar whose look was drawn before is copied from a
// picture of it: whatever the bar shows is what the system draws for the
// look the bar has now, whether it comes back as it was or with another
// thumb.
TEST_F(GvFrameTest, AScrollBarShowsWhatTheSystemDrawsForItsLook) {
    using namespace qelvo::test;
    TDemoForm* form = TDemoForm::Create(nullptr);
    form->SetBounds(40, 40, 500, 300);
    auto fill = [](TGvListview* lv, int items) {
        lv->BeginUpdate();
        lv->GetGroups()->Clear();
        if (items > 0) AddGroup(lv, L"Inbox", items);
        lv->EndUpdate();
    };
    // A list view made with its items, whose frame the system draws first.
    auto make = [&](int left, int items) {
        TGvListview* lv = TGvListview::Create(form);
        lv->SetBounds(left, 10, 200, 220);
        lv->BeginUpdate();
        SetUpLikeTheMainWindow(lv);
        lv->EndUpdate();
        fill(lv, items);
        lv->SetParent(form);
        return lv;
    };
    // The vertical bar's pixels as the frame paints them now (none when
    // the bar is hidden).
    auto barPixels = [](TGvListview* lv) -> std::unique_ptr<PixelCanvas> {
        RedrawWindow(lv->GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        SCROLLBARINFO info{};
        info.cbSize = sizeof info;
        if (!GetScrollBarInfo(lv->GetHandle(), OBJID_VSCROLL, &info) ||
            (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)))
            return nullptr;
        RECT window{};
        GetWindowRect(lv->GetHandle(), &window);
        const RECT& bar = info.rcScrollBar;
        auto pixels = std::make_unique<PixelCanvas>(bar.right - bar.left, bar.bottom - bar.top);
        HDC dc = GetWindowDC(lv->GetHandle());
        BitBlt(pixels->DC(), 0, 0, pixels->Width(), pixels->Height(), dc, bar.left - window.left,
               bar.top - window.top, SRCCOPY);
        ReleaseDC(lv->GetHandle(), dc);
        return pixels;
    };
    TGvListview* lv = make(10, 30);
    form->Show();
    PumpApplication(200);
    if (!lv->DrawWithThemes() || !lv->GetThemeManager()->GetListviewTheme()) {
        gcl::Free(form);
        GTEST_SKIP() << "no visual styles";
    }
    // The mouse away from the bars, which it would draw hot.
    RECT formRect{};
    GetWindowRect(form->GetHandle(), &formRect);
    SetCursorPos(formRect.right + 40, formRect.bottom + 40);
    // 30 tasks, again 30 (the picture), 60 (another thumb: not the picture
    // of 30), again 60, and 30 once more.
    for (int items : {30, 30, 60, 60, 30}) {
        SCOPED_TRACE(items);
        fill(lv, 0);
        EXPECT_EQ(barPixels(lv), nullptr);
        fill(lv, items);
        const std::unique_ptr<PixelCanvas> shown = barPixels(lv);
        ASSERT_NE(shown, nullptr);
        TGvListview* fresh = make(260, items);
        PumpApplication(50);
        const std::unique_ptr<PixelCanvas> drawn = barPixels(fresh);
        ASSERT_NE(drawn, nullptr);
        ASSERT_EQ(shown->Width(), drawn->Width());
        ASSERT_EQ(shown->Height(), drawn->Height());
        EXPECT_TRUE(shown->SameAs(*drawn));
        gcl::Free(fresh);
    }
    gcl::Free(form);
}

} // namespace
