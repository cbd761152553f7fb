// Kept drawings: a drawing copied from what an earlier one of the same
// kind over the same pixels made is, pixel for pixel, the drawing made
// again; it is made once for each such pair, and one that reaches outside
// its size is always made. What is kept lasts from paint to paint until a
// theme, the system's colours, settings or display change, and a picture
// of an image list is made anew once the list changed.
#include <gtest/gtest.h>

#include "listview/GvInternal.h"
#include "gcl/ImgList.h"
#include "listview/GvListviewFixture.h"
#include "listview/GvWindowFixture.h"
#include "support/PixelCanvas.h"

using namespace qelvo;
using gcl::TRect;
using gvdetail::DrawKept;
using gvdetail::TKeptDrawingKey;
using qelvo::test::PixelCanvas;

namespace {

class GvKeptDrawingTest : public qelvo::test::GvUnitsFixture {
protected:
    void TearDown() override { gvdetail::ForgetKeptDrawings(); }
};

// Stripes of two colours, so that places differ in what lies beneath and
// places a stripe apart agree.
void Stripes(PixelCanvas& c) {
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) c.Set(x, y, (x / 8) % 2 ? RGB(200, 40, 40) : RGB(250, 250, 250));
}

// A drawing that depends on what it lands on: a square inverted with a
// pattern, and a dot in the text colour.
void Mark(HDC dc, int x, int y, int size, COLORREF tint) {
    HBRUSH brush = CreateSolidBrush(tint);
    HGDIOBJ old = SelectObject(dc, brush);
    PatBlt(dc, x + 1, y + 1, size - 2, size - 2, PATINVERT);
    SelectObject(dc, old);
    DeleteObject(brush);
    SetPixel(dc, x, y, GetTextColor(dc));
}

TEST_F(GvKeptDrawingTest, ACopyIsTheDrawingMadeAgainAndIsMadeOncePerKindAndBackground) {
    PixelCanvas kept(96, 40), made(96, 40);
    Stripes(kept);
    Stripes(made);
    int draws = 0;
    for (PixelCanvas* c : {&kept, &made}) SetTextColor(c->DC(), RGB(0, 0, 255));
    // Three kinds, each on a row of its own, at places two stripes apart
    // (the same beneath), then between stripes (another beneath, the same
    // at both places, the mark at the left included).
    for (int kind = 0; kind < 3; ++kind)
        for (int x : {0, 16, 32, 4, 20, 48}) {
            const COLORREF tint = RGB(40 * kind, 90, 160);
            const TRect where{x, 4 + 12 * kind, x + 8, 12 + 12 * kind};
            TKeptDrawingKey key;
            key.Parts[0] = static_cast<uintptr_t>(kind);
            DrawKept(kept.DC(), where, key, [&](HDC dc, int at, int top) {
                ++draws;
                Mark(dc, at, top, 8, tint);
            });
            Mark(made.DC(), where.Left, where.Top, 8, tint);
        }
    EXPECT_TRUE(kept.SameAs(made));
    // Per kind: one over white, one over the mark's end and red.
    EXPECT_EQ(draws, 6);

    // Another text colour is another drawing.
    for (PixelCanvas* c : {&kept, &made}) SetTextColor(c->DC(), RGB(0, 160, 0));
    TKeptDrawingKey key;
    DrawKept(kept.DC(), TRect{64, 30, 72, 38}, key, [&](HDC dc, int x, int y) {
        ++draws;
        Mark(dc, x, y, 8, RGB(0, 90, 160));
    });
    Mark(made.DC(), 64, 30, 8, RGB(0, 90, 160));
    EXPECT_EQ(draws, 7);
    EXPECT_TRUE(kept.SameAs(made));
}

TEST_F(GvKeptDrawingTest, CopiesFollowTheOriginAndTheClipAndADrawingThatReachesOutIsAlwaysMade) {
    PixelCanvas kept(60, 30), made(60, 30);
    for (PixelCanvas* c : {&kept, &made}) {
        Stripes(*c);
        SetWindowOrgEx(c->DC(), -5, 3, nullptr);
        IntersectClipRect(c->DC(), 0, 0, 40, 20);
    }
    int draws = 0;
    for (int x : {0, 16, 32}) {
        const TRect where{x, 2, x + 8, 10};
        TKeptDrawingKey key;
        DrawKept(kept.DC(), where, key, [&](HDC dc, int at, int top) {
            ++draws;
            Mark(dc, at, top, 8, RGB(0, 90, 160));
        });
        Mark(made.DC(), where.Left, where.Top, 8, RGB(0, 90, 160));
        // A line two pixels longer than its place on each side.
        key.Parts[0] = 9;
        const TRect line{x, 14, x + 8, 15};
        DrawKept(kept.DC(), line, key, [&](HDC dc, int at, int top) {
            ++draws;
            PatBlt(dc, at - 2, top, 12, 1, BLACKNESS);
        });
        PatBlt(made.DC(), x - 2, 14, 12, 1, BLACKNESS);
    }
    EXPECT_TRUE(kept.SameAs(made));
    // The mark made once (the row above the bitmap counts as the same
    // beneath everywhere); the line made for the kept one, then each time.
    EXPECT_EQ(draws, 1 + 2 + 1 + 1);
}

TEST_F(GvKeptDrawingTest, OnAMirroredCanvasTheDrawingIsMadeEachTime) {
    PixelCanvas kept(40, 20), made(40, 20);
    for (PixelCanvas* c : {&kept, &made}) {
        Stripes(*c);
        SetLayout(c->DC(), LAYOUT_RTL);
    }
    int draws = 0;
    for (int x : {0, 16}) {
        const TRect where{x, 2, x + 8, 10};
        DrawKept(kept.DC(), where, TKeptDrawingKey{}, [&](HDC dc, int at, int top) {
            ++draws;
            Mark(dc, at, top, 8, RGB(0, 90, 160));
        });
        Mark(made.DC(), where.Left, where.Top, 8, RGB(0, 90, 160));
    }
    EXPECT_TRUE(kept.SameAs(made));
    EXPECT_EQ(draws, 2);
}

class GvKeptAcrossPaintsTest : public qelvo::test::GvWindowFixture {
protected:
    void TearDown() override {
        gvdetail::ForgetKeptDrawings();
        GvWindowFixture::TearDown();
    }

public:
    // The whole client area painted into a 32-bit bitmap.
    std::unique_ptr<PixelCanvas> Paint() {
        auto c = std::make_unique<PixelCanvas>(LV->GetClientWidth(), LV->GetClientHeight());
        LV->PaintRect(c->Canvas(), TRect{0, 0, LV->GetClientWidth(), LV->GetClientHeight()}, false);
        return c;
    }
};

TEST_F(GvKeptAcrossPaintsTest, KeptUntilTheThemeTheColoursTheSettingsOrTheDisplayChange) {
    PixelCanvas c(40, 20);
    int draws = 0;
    // Always over the same pixels.
    auto draw = [&] {
        Stripes(c);
        DrawKept(c.DC(), TRect{0, 2, 8, 10}, TKeptDrawingKey{}, [&](HDC dc, int x, int y) {
            ++draws;
            Mark(dc, x, y, 8, RGB(0, 90, 160));
        });
    };
    draw();
    ASSERT_EQ(draws, 1);
    // A paint of a list view leaves what was kept.
    Paint();
    draw();
    EXPECT_EQ(draws, 1);
    int expected = 1;
    for (UINT message : {UINT(WM_THEMECHANGED), UINT(WM_SYSCOLORCHANGE), UINT(gcl::CM_SYSCOLORCHANGE),
                         UINT(WM_SETTINGCHANGE), UINT(WM_DISPLAYCHANGE)}) {
        SCOPED_TRACE(message);
        LV->Perform(message, 0, 0);
        EXPECT_EQ(gvdetail::KeptDrawingCount(), 0u);
        draw();
        draw();
        EXPECT_EQ(draws, ++expected);
    }
    // Closing the themes (switching them off, a window going) drops it too.
    LV->SetThemed(false);
    EXPECT_EQ(gvdetail::KeptDrawingCount(), 0u);
    draw();
    EXPECT_EQ(draws, ++expected);
}

// A picture of Size pixels: a block of a colour on magenta, which is
// transparent.
std::unique_ptr<gcl::TBitmap> Block(COLORREF Colour, int Size) {
    auto b = std::make_unique<gcl::TBitmap>();
    b->SetPixelFormat(gcl::pf24bit);
    b->SetSize(Size, Size);
    b->GetCanvas()->GetBrush()->SetColor(gcl::clFuchsia);
    b->GetCanvas()->FillRect(TRect{0, 0, Size, Size});
    b->GetCanvas()->GetBrush()->SetColor(static_cast<gcl::TColor>(Colour));
    b->GetCanvas()->FillRect(TRect{3, 3, Size - 3, Size - 3});
    return b;
}

TEST_F(GvKeptAcrossPaintsTest, APictureIsMadeAnewOnceItsImageListChanged) {
    LV->SetView(elsReport);
    LV->GetHeader()->SetVisible(true);
    LV->GetHeader()->GetColumns()->Add(nullptr)->SetWidth(200);
    gcl::TImageList* images = gcl::TImageList::CreateSize(16, 16);
    auto block = Block;
    images->AddMasked(block(RGB(255, 0, 0), 16).get(), gcl::clFuchsia);
    LV->SetImagesSmall(images);
    for (int i = 0; i < 4; ++i) {
        TGvItem* item = LV->GetItems()->Add(nullptr);
        item->SetCaptions(0, L"task " + std::to_wstring(i));
        item->SetImageIndexes(0, 0);
    }
    const auto red = Paint();
    EXPECT_GE(red->CountOf(RGB(255, 0, 0)), 4 * 10 * 10);
    // Another picture in the same place of the same list.
    images->ReplaceMasked(0, block(RGB(0, 0, 255), 16).get(), gcl::clFuchsia);
    const auto blue = Paint();
    EXPECT_EQ(blue->CountOf(RGB(255, 0, 0)), 0);
    EXPECT_GE(blue->CountOf(RGB(0, 0, 255)), 4 * 10 * 10);
    // Another size: the pictures of the old one are not copied.
    images->SetSize(12, 12);
    images->AddMasked(block(RGB(0, 160, 0), 12).get(), gcl::clFuchsia);
    const auto green = Paint();
    gvdetail::ForgetKeptDrawings();
    const auto made = Paint();
    EXPECT_EQ(green->CountOf(RGB(0, 0, 255)), 0);
    EXPECT_GE(green->CountOf(RGB(0, 160, 0)), 4 * 6 * 6);
    EXPECT_TRUE(green->SameAs(*made));
    LV->SetImagesSmall(nullptr);
    gcl::Free(images);
}

TEST_F(GvKeptAcrossPaintsTest, AGroupsPictureIsMadeAnewOnceItsImageListChangedAndGreyedForADisabledGroup) {
    LV->SetView(elsReport);
    LV->GetHeader()->SetVisible(true);
    LV->GetHeader()->GetColumns()->Add(nullptr)->SetWidth(200);
    LV->SetShowGroupMargins(true);
    LV->GetPaintInfoGroup()->GetMarginTop()->SetSize(24);
    gcl::TImageList* images = gcl::TImageList::CreateSize(16, 16);
    images->AddMasked(Block(RGB(255, 0, 0), 16).get(), gcl::clFuchsia);
    LV->SetImagesGroup(images);
    std::vector<TGvGroup*> groups;
    for (int g = 0; g < 3; ++g) {
        TGvGroup* group = LV->GetGroups()->Add(nullptr);
        group->SetCaption(L"group " + std::to_wstring(g));
        group->SetImageIndex(0);
        group->GetItems()->Add(nullptr)->SetCaptions(0, L"task");
        groups.push_back(group);
    }
    const auto red = Paint();
    EXPECT_GE(red->CountOf(RGB(255, 0, 0)), 3 * 10 * 10);
    images->ReplaceMasked(0, Block(RGB(0, 0, 255), 16).get(), gcl::clFuchsia);
    const auto blue = Paint();
    EXPECT_EQ(blue->CountOf(RGB(255, 0, 0)), 0);
    EXPECT_GE(blue->CountOf(RGB(0, 0, 255)), 3 * 10 * 10);
    // A disabled group shows the greyed picture, the others the kept one.
    groups[1]->SetEnabled(false);
    const auto greyed = Paint();
    gvdetail::ForgetKeptDrawings();
    const auto made = Paint();
    EXPECT_TRUE(greyed->SameAs(*made));
    EXPECT_GE(greyed->CountOf(RGB(0, 0, 255)), 2 * 10 * 10);
    EXPECT_LT(greyed->CountOf(RGB(0, 0, 255)), 3 * 10 * 10);
    LV->SetImagesGroup(nullptr);
    gcl::Free(images);
}

} // namespace
