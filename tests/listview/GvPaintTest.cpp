// Painting of the list view into an off-screen 32-bit bitmap (classic and
// themed): header buttons, group bands, expand glyphs, selection fill,
// check boxes, sort glyphs and grid lines at their rows, columns and
// colours; and the demo form with the main window's list settings, saved
// as a screenshot.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <string>
#include <vector>

#include "gcl/Controls.h"
#include "gcl/Forms.h"
#include "listview/GvListview.h"
#include "support/ApplicationTest.h"
#include "support/Screenshot.h"
#include "listview/GvDemoForm.h"
#include "listview/GvWindowFixture.h"

using namespace qelvo;
using qelvo::test::AddGroup;
using qelvo::test::SetUpLikeTheMainWindow;
using qelvo::test::TDemoForm;
using gcl::TRect;

namespace {

class GvPaintTest : public qelvo::test::GvWindowFixture {
protected:
    void SetUp() override {
        MakeListview(640, 400);
        LV->BeginUpdate();
        SetUpLikeTheMainWindow(LV);
        G0 = AddGroup(LV, L"Inbox", 5);
        G1 = AddGroup(LV, L"Shopping", 3);
        LV->EndUpdate();
    }

public:
    // Paints the whole client area into a 32-bit bitmap.
    void Paint() {
        Bitmap = std::make_unique<gcl::TBitmap>();
        Bitmap->SetPixelFormat(gcl::pf32bit);
        Bitmap->SetSize(LV->GetClientWidth(), LV->GetClientHeight());
        LV->PaintRect(Bitmap->GetCanvas(), TRect{0, 0, LV->GetClientWidth(), LV->GetClientHeight()}, false);
    }
    COLORREF Pixel(int x, int y) { return GetPixel(Bitmap->GetCanvas()->GetHandle(), x, y); }
    static COLORREF Sys(int index) { return GetSysColor(index); }
    // Whether any pixel of R (window coordinates) is darker than 0x40 in
    // every channel.
    bool HasDarkPixel(const TRect& R) {
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x) {
                const COLORREF c = Pixel(x, y);
                if (GetRValue(c) < 0x40 && GetGValue(c) < 0x40 && GetBValue(c) < 0x40) return true;
            }
        return false;
    }
    void OnPaintBkGnd(TCustomGvListview*, gcl::TCanvas* ACanvas, TRect, TGvAlphaBlender*, bool& DoDefault) {
        ACanvas->GetBrush()->SetColor(gcl::clLime);
        ACanvas->FillRect(TRect{0, 0, LV->GetClientWidth(), LV->GetClientHeight()});
        DoDefault = false;
    }
    bool HasPixelOtherThan(const TRect& R, COLORREF colour) {
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                if (Pixel(x, y) != colour) return true;
        return false;
    }

    TGvGroup* G0 = nullptr;
    TGvGroup* G1 = nullptr;
    std::unique_ptr<gcl::TBitmap> Bitmap;
};

TEST_F(GvPaintTest, ClassicPixelsAtTheirRowsColumnsAndColours) {
    LV->SetThemed(false);
    LV->GetSelection()->SetInactiveColor(gcl::clYellow);
    LV->GetSelection()->SetInactiveBorderColor(gcl::clYellow);
    TGvColumn* title = LV->GetHeader()->GetColumns()->GetColumns(0);
    title->SetSortDirection(esdAscending);
    G0->GetItem(1)->SetSelected(true);
    G0->GetItem(0)->SetChecked(true);
    Paint();
    const int hh = LV->GetHeader()->RuntimeHeight();
    ASSERT_GT(hh, 0);
    const COLORREF window = Sys(COLOR_WINDOW);
    const COLORREF face = Sys(COLOR_BTNFACE);

    // Header: classic buttons in the column colour; the sort glyph at the
    // right of the title column.
    EXPECT_EQ(Pixel(250, hh / 2), face);
    EXPECT_EQ(Pixel(400, hh / 2), face);
    EXPECT_TRUE(HasPixelOtherThan(TRect{300, 2, 318, hh - 2}, face));

    // Group 0: top margin 2..26 (view), band lines at 21, 22, 23 from the
    // band colour fading towards the window colour.
    EXPECT_EQ(Pixel(0, hh + 21), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(0, hh + 23), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(0, hh + 24), window);
    EXPECT_EQ(Pixel(0, hh + 20), window);
    const COLORREF middle = Pixel(150, hh + 22);
    EXPECT_EQ(GetRValue(middle), 255);
    EXPECT_GT(GetGValue(middle), 100);
    EXPECT_LT(GetGValue(middle), 155);
    EXPECT_EQ(Pixel(305, hh + 22), window);  // past the band's length
    // The expand glyph sits at the margin's left; the caption after it.
    EXPECT_TRUE(HasPixelOtherThan(TRect{4, hh + 2, 16, hh + 19}, window));
    EXPECT_TRUE(HasDarkPixel(TRect{20, hh + 2, 120, hh + 19}));

    const TRect box = CheckBounds(12);
    // Rows of 23 from 26: a grid line on each row's last pixel row and at
    // each column's right edge.
    const COLORREF grid = face;
    EXPECT_EQ(Pixel(400, hh + 26 + 22), grid);
    EXPECT_EQ(Pixel(400, hh + 26 + 21), window);
    EXPECT_EQ(Pixel(319, hh + 26 + 10), grid);
    EXPECT_EQ(Pixel(469, hh + 26 + 10), grid);

    // The selected row (26 + 23 .. 26 + 46) is filled across all columns in
    // the inactive colour (the control has no focus), from the left of the
    // caption's selection rectangle.
    EXPECT_EQ(Pixel(400, hh + 49 + 11), RGB(255, 255, 0));
    EXPECT_EQ(Pixel(560, hh + 49 + 11), RGB(255, 255, 0));
    EXPECT_EQ(Pixel(2 + box.Width() + 2, hh + 49 + 11), RGB(255, 255, 0));
    EXPECT_EQ(Pixel(2 + box.Width() + 1, hh + 49 + 11), window);
    EXPECT_EQ(Pixel(400, hh + 72 + 11), window);

    // Check boxes in the title column: the checked one shows its mark.
    const int boxTop = 26 + (23 - box.Height()) / 2;
    TRect checked{2 + 3, hh + boxTop + 3, 2 + box.Width() - 3, hh + boxTop + box.Height() - 3};
    EXPECT_TRUE(HasDarkPixel(checked));
    TRect unchecked = checked;
    gcl::OffsetRect(unchecked, 0, 2 * 23);
    EXPECT_FALSE(HasDarkPixel(unchecked));
    // Captions start after the check box.
    EXPECT_TRUE(HasDarkPixel(TRect{2 + box.Width() + 4, hh + 26 + 4, 120, hh + 26 + 19}));
}

TEST_F(GvPaintTest, ASelectedRunShowsInEveryRowAPaintDrawsWhereverItsFirstRowLies) {
    LV->SetThemed(false);
    TGvSelectionManager* selection = LV->GetSelection();
    selection->SetMultiSelect(true);
    selection->SetGroupSelections(true);
    selection->SetInactiveColor(gcl::clYellow);
    selection->SetInactiveBorderColor(gcl::clYellow);
    TGvGroup* long_ = AddGroup(LV, L"Long", 60);
    // One range chosen at once makes one run of all its rows.
    selection->SelectRange(long_->GetItem(0), long_->GetItem(59), false, true);
    ASSERT_NE(long_->GetItem(0)->GetSelectionGroup(), nullptr);
    EXPECT_EQ(long_->GetItem(0)->GetSelectionGroup()->GetCount(), 60);
    EXPECT_EQ(long_->GetItem(59)->GetSelectionGroup(), long_->GetItem(0)->GetSelectionGroup());
    // Scrolled until the run's first row lies above the list: the rows
    // shown are still filled.
    const int hh = LV->GetHeader()->RuntimeHeight();
    const int y = long_->GetItem(30)->GetDisplayRect().Top;
    LV->GetScrollbars()->SetOffsetY(y);
    Paint();
    EXPECT_EQ(Pixel(400, hh + 11), RGB(255, 255, 0));
    EXPECT_EQ(Pixel(400, hh + 23 * 5 + 11), RGB(255, 255, 0));
    // A paint of one row in the middle of the run (a check box ticked, a
    // row scrolled in) fills that row too.
    gcl::TBitmap row;
    row.SetPixelFormat(gcl::pf32bit);
    row.SetSize(LV->GetClientWidth(), LV->GetClientHeight());
    const TRect third{0, hh + 23 * 3, LV->GetClientWidth(), hh + 23 * 4};
    LV->PaintRect(row.GetCanvas(), third, false);
    EXPECT_EQ(GetPixel(row.GetCanvas()->GetHandle(), 400, hh + 23 * 3 + 11), RGB(255, 255, 0));
    // A drag's pointer crossing the run upwards: the row it left and the
    // row under it, now the drop target, are painted together. The row
    // left keeps its fill (the drop target, the first row of the paint,
    // filled itself alone, and every row of the run below it went bare).
    long_->GetItem(32)->SetDropTarget(true);
    gcl::TBitmap pair;
    pair.SetPixelFormat(gcl::pf32bit);
    pair.SetSize(LV->GetClientWidth(), LV->GetClientHeight());
    LV->PaintRect(pair.GetCanvas(), TRect{0, hh + 23 * 2, LV->GetClientWidth(), hh + 23 * 4}, false);
    HDC dc = pair.GetCanvas()->GetHandle();
    EXPECT_EQ(GetPixel(dc, 400, hh + 23 * 3 + 11), RGB(255, 255, 0));
    EXPECT_NE(GetPixel(dc, 400, hh + 23 * 2 + 11), RGB(255, 255, 0)) << "the drop target looks as the others";
    EXPECT_NE(GetPixel(dc, 400, hh + 23 * 2 + 11), gcl::ColorToRGB(LV->GetColor())) << "the drop target is bare";
    long_->GetItem(32)->SetDropTarget(false);
}

TEST_F(GvPaintTest, AnAreaWithinTheHeaderDrawsTheHeaderAloneAndOneReachingBelowItDrawsTheRowsThere) {
    LV->SetThemed(false);
    Paint();
    const int w = LV->GetClientWidth();
    const int h = LV->GetClientHeight();
    const int hh = LV->GetHeader()->RuntimeHeight();
    ASSERT_GT(hh, 0);
    ASSERT_EQ(Pixel(0, hh + 21), RGB(255, 0, 0));  // group 0's band
    // Paints Area into a bitmap filled with lime first.
    auto paintArea = [&](const TRect& area) {
        auto b = std::make_unique<gcl::TBitmap>();
        b->SetPixelFormat(gcl::pf32bit);
        b->SetSize(w, h);
        b->GetCanvas()->GetBrush()->SetColor(gcl::clLime);
        b->GetCanvas()->FillRect(TRect{0, 0, w, h});
        LV->PaintRect(b->GetCanvas(), area, false);
        return b;
    };
    const COLORREF lime = RGB(0, 255, 0);
    // The header's band alone: the header as the whole paint drew it, and
    // nothing of the groups or items beneath.
    {
        auto b = paintArea(TRect{0, 0, w, hh});
        HDC dc = b->GetCanvas()->GetHandle();
        int differing = 0;
        for (int y = 0; y < hh; ++y)
            for (int x = 0; x < w; ++x) differing += GetPixel(dc, x, y) != Pixel(x, y);
        EXPECT_EQ(differing, 0);
        EXPECT_EQ(GetPixel(dc, 0, hh + 21), lime);
        EXPECT_EQ(GetPixel(dc, 400, hh + 26 + 22), lime);
    }
    // An area from the header down to a group's band, and the band's
    // pixel row alone: the band is drawn, as the whole paint drew it.
    {
        auto b = paintArea(TRect{0, 0, w, hh + 22});
        EXPECT_EQ(GetPixel(b->GetCanvas()->GetHandle(), 0, hh + 21), RGB(255, 0, 0));
        auto band = paintArea(TRect{0, hh + 21, w, hh + 22});
        EXPECT_EQ(GetPixel(band->GetCanvas()->GetHandle(), 0, hh + 21), RGB(255, 0, 0));
        auto line = paintArea(TRect{0, hh + 26 + 22, w, hh + 26 + 23});
        EXPECT_EQ(GetPixel(line->GetCanvas()->GetHandle(), 400, hh + 26 + 22), Pixel(400, hh + 26 + 22));
    }
    // Without a header the rows begin at the top.
    LV->GetHeader()->SetVisible(false);
    ASSERT_EQ(LV->GetHeader()->RuntimeHeight(), 0);
    {
        auto b = paintArea(TRect{0, 21, w, 22});
        EXPECT_EQ(GetPixel(b->GetCanvas()->GetHandle(), 0, 21), RGB(255, 0, 0));
    }
}

TEST_F(GvPaintTest, GroupsFoldedInsideOneUpdateAreLaidOutAtItsEnd) {
    const int open = G1->GetDisplayRect().Top;
    const int rows = G0->GetItem(4)->GetDisplayRect().Bottom - G0->GetItem(0)->GetDisplayRect().Top;
    ASSERT_GT(rows, 0);
    // Folded on its own: laid out at once.
    G0->SetExpanded(false);
    EXPECT_EQ(G1->GetDisplayRect().Top, open - rows);
    G0->SetExpanded(true);
    EXPECT_EQ(G1->GetDisplayRect().Top, open);
    // Folded and unfolded inside a caller's update: laid out once, at its
    // end, as if folded alone.
    LV->BeginUpdate();
    G1->SetExpanded(false);
    G0->SetExpanded(false);
    G1->SetExpanded(true);
    LV->EndUpdate();
    EXPECT_EQ(G1->GetDisplayRect().Top, open - rows);
    EXPECT_FALSE(G0->GetExpanded());
    EXPECT_TRUE(G1->GetExpanded());
    Paint();
    const int hh = LV->GetHeader()->RuntimeHeight();
    // Under the folded group's caption the next group's band follows.
    EXPECT_EQ(Pixel(0, hh + (open - rows) + 21), RGB(255, 0, 0));
}

TEST_F(GvPaintTest, ThemedPathAndWhatPaintingLeavesOut) {
    ASSERT_TRUE(LV->GetThemed() || !LV->DrawWithThemes());
    G0->GetItem(0)->SetChecked(true);
    Paint();
    const int hh = LV->GetHeader()->RuntimeHeight();
    // The band and grid lines do not depend on the theme.
    EXPECT_EQ(Pixel(0, hh + 21), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(400, hh + 26 + 22), Sys(COLOR_BTNFACE));
    const TRect box = CheckBounds(12);
    const int boxTop = 26 + (23 - box.Height()) / 2;
    EXPECT_TRUE(HasPixelOtherThan(TRect{2, hh + boxTop, 2 + box.Width(), hh + boxTop + box.Height()},
                                  Sys(COLOR_WINDOW)));

    // A collapsed group paints its margin only: the next group moves up.
    G0->SetExpanded(false);
    Paint();
    EXPECT_EQ(G1->GetDisplayRect().Top, 2 + 24);
    EXPECT_EQ(Pixel(0, hh + 26 + 21), RGB(255, 0, 0));
    // Only the selected items with SelectedOnly.
    LV->GetSelection()->SetInactiveColor(gcl::clYellow);
    G1->GetItem(0)->SetSelected(true);
    gcl::TBitmap blank;
    blank.SetPixelFormat(gcl::pf32bit);
    blank.SetSize(LV->GetClientWidth(), LV->GetClientHeight());
    blank.GetCanvas()->GetBrush()->SetColor(gcl::clWhite);
    blank.GetCanvas()->FillRect(TRect{0, 0, blank.GetWidth(), blank.GetHeight()});
    LV->PaintRect(blank.GetCanvas(), TRect{0, 0, blank.GetWidth(), blank.GetHeight()}, true);
    EXPECT_EQ(GetPixel(blank.GetCanvas()->GetHandle(), 0, hh + 26 + 21), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(blank.GetCanvas()->GetHandle(), 400, hh + 26 + 24 + 11), RGB(255, 255, 0));
}

// The background tiles from the offset, less than one image left of the
// area; its caption shows only while the list is empty.
TEST_F(GvPaintTest, BackgroundTilesAndCaption) {
    EXPECT_EQ(TGvBackgroundManager::FirstTile(30, 100), -70);
    EXPECT_EQ(TGvBackgroundManager::FirstTile(-30, 100), -30);
    EXPECT_EQ(TGvBackgroundManager::FirstTile(0, 100), 0);
    LV->GetItems()->Clear();
    LV->SetView(elsIcon);  // no header, no groups: the background alone
    gcl::TBitmap image;
    image.SetPixelFormat(gcl::pf32bit);
    image.SetSize(10, 10);
    image.GetCanvas()->GetBrush()->SetColor(gcl::clRed);
    image.GetCanvas()->FillRect(TRect{0, 0, 5, 10});
    image.GetCanvas()->GetBrush()->SetColor(gcl::clBlue);
    image.GetCanvas()->FillRect(TRect{5, 0, 10, 10});
    TGvBackgroundManager* background = LV->GetBackGround();
    background->SetImage(&image);
    background->SetEnabled(true);
    background->SetOffsetX(3);
    Paint();
    EXPECT_EQ(Pixel(0, 0), RGB(0, 0, 255));   // image column 7
    EXPECT_EQ(Pixel(3, 0), RGB(255, 0, 0));   // column 0
    EXPECT_EQ(Pixel(13, 15), RGB(255, 0, 0)); // the next tile, next row
    background->SetOffsetX(-3);
    Paint();
    EXPECT_EQ(Pixel(0, 0), RGB(255, 0, 0));   // column 3
    EXPECT_EQ(Pixel(2, 0), RGB(0, 0, 255));   // column 5
    // Placed once: only at the offset.
    background->SetTile(false);
    background->SetOffsetX(20);
    Paint();
    EXPECT_EQ(Pixel(20, 0), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(35, 0), GetSysColor(COLOR_WINDOW));
    background->SetEnabled(false);

    background->SetCaption(L"Nothing to do");
    background->SetCaptionShow(true);
    Paint();
    const int cx = LV->GetClientWidth() / 2;
    const int cy = LV->GetClientHeight() / 2;
    EXPECT_TRUE(HasDarkPixel(TRect{cx - 60, cy - 10, cx + 60, cy + 10}));
    LV->GetItems()->Add(nullptr);
    Paint();
    EXPECT_FALSE(HasDarkPixel(TRect{cx - 60, cy - 10, cx + 60, cy + 10}));
    // Painting can be taken over.
    LV->OnPaintBkGnd = TPaintBkGndEvent(this, &GvPaintTest::OnPaintBkGnd);
    Paint();
    EXPECT_EQ(Pixel(cx, cy), RGB(0, 255, 0));
}

// Columns fit their widest caption (hidden items too), the title column
// with the check box; an empty list gives 0.
TEST_F(GvPaintTest, ColumnsSizeToTheirContents) {
    TGvColumns* columns = LV->GetHeader()->GetColumns();
    G1->GetItem(2)->SetCaptions(1, L"a much longer tag list than the others");
    G1->GetItem(2)->SetVisible(false);
    gcl::TFont font;
    font.Assign(LV->GetFont());
    gcl::TSize longest{0, 0};
    TextExtentW(L"a much longer tag list than the others", &font, longest);
    columns->GetColumns(1)->AutoSizeToFit();
    EXPECT_EQ(columns->GetColumns(1)->GetWidth(), longest.cx + 8);
    gcl::TSize title{0, 0};
    TextExtentW(L"Shopping task 1", &font, title);
    columns->GetColumns(0)->AutoSizeToFit();
    EXPECT_EQ(columns->GetColumns(0)->GetWidth(), title.cx + 8 + 2 + CheckBounds(12).Width());
    // The report layout follows the new widths.
    EXPECT_EQ(G0->GetItem(0)->GetDisplayRect().Right, columns->GetColumns(2)->GetDisplayRect().Right);
    LV->GetItems()->Clear();
    LV->AutoFitAllCells(true);
    EXPECT_EQ(columns->GetColumns(2)->GetWidth(), 0);
}

TEST_F(GvPaintTest, DemoFormScreenshot) {
    TDemoForm* form = TDemoForm::Create(nullptr);
    TGvListview* lv = TGvListview::Create(form);
    lv->SetParent(form);
    lv->SetAlign(gcl::alClient);
    lv->BeginUpdate();
    SetUpLikeTheMainWindow(lv);
    const wchar_t* lists[] = {L"Inbox", L"Work", L"Home", L"Shopping", L"Someday"};
    const int counts[] = {60, 90, 70, 50, 40};
    std::vector<TGvGroup*> groups;
    for (int i = 0; i < 5; ++i) groups.push_back(AddGroup(lv, lists[i], counts[i]));
    groups[1]->SetExpanded(false);
    lv->GetHeader()->GetColumns()->GetColumns(2)->SetSortDirection(esdDescending);
    groups[0]->GetItem(2)->SetSelected(true);
    groups[0]->GetItem(3)->SetSelected(true);
    lv->EndUpdate();
    form->Show();
    qelvo::test::PumpApplication(300);
    const int distinct = qelvo::test::SaveWindowScreenshot(form->GetHandle(), "listview_demo.bmp");
    EXPECT_GT(distinct, 20);
    lv->SetThemed(false);
    qelvo::test::PumpApplication(200);
    EXPECT_GT(qelvo::test::SaveWindowScreenshot(form->GetHandle(), "listview_demo_classic.bmp"), 20);
    gcl::Free(form);
}

} // namespace
