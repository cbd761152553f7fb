// Item views of every style (geometry and painting), hit tests of items,
// groups and header columns, the selection painters (plain, blended,
// rounded, gradient) and the header's pressed, drop-down and mirrored looks.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <uxtheme.h>
#include <vssym32.h>

#include "gcl/Forms.h"
#include "gcl/ImgList.h"
#include "listview/GvListview.h"
#include "listview/GvWindowFixture.h"
#include "support/ApplicationTest.h"
#include "support/Screenshot.h"

using namespace qelvo;
using gcl::TPoint;
using gcl::TRect;

namespace {

// A list view that lays out and paints right-to-left.
class TMirroredListview : public TGvListview {
    GCL_CLASS(TMirroredListview, TGvListview)
public:
    bool UseRightToLeftAlignment() const override { return true; }

protected:
    explicit TMirroredListview(gcl::TComponent* AOwner) : TGvListview(AOwner) {}
};
GCL_IMPLEMENT_CLASS(TMirroredListview)

class TViewsForm : public gcl::TForm {
    GCL_CLASS(TViewsForm, gcl::TForm)
protected:
    explicit TViewsForm(gcl::TComponent* owner) : gcl::TForm(owner) {
        SetBorderStyle(gcl::bsNone);
        SetBounds(10, 10, 520, 360);
    }
};
GCL_IMPLEMENT_CLASS(TViewsForm)

TPoint Centre(const TRect& R) { return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }

bool Near(COLORREF a, COLORREF b, int tolerance = 3) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

class GvItemViewsTest : public qelvo::test::GvWindowFixture {
protected:
    void SetUp() override {
        MakeListview(400, 300);
        LV->SetThemed(false);
    }
    void TearDown() override {
        qelvo::test::GvWindowFixture::TearDown();
        gcl::Free(Images);
    }

public:
    // An image list of Size x Size images, one red square.
    gcl::TImageList* MakeImages(int Size) {
        gcl::TImageList* list = gcl::TImageList::CreateSize(Size, Size);
        gcl::TBitmap image;
        image.SetPixelFormat(gcl::pf24bit);
        image.SetSize(Size, Size);
        image.GetCanvas()->GetBrush()->SetColor(gcl::clRed);
        image.GetCanvas()->FillRect(TRect{0, 0, Size, Size});
        list->Add(&image, nullptr);
        return list;
    }
    TGvItem* AddItem(TGvGroup* Group, const std::wstring& Caption) {
        TGvItem* item = Group->GetItems()->Add(nullptr);
        item->SetCaption(Caption);
        return item;
    }
    void Paint() {
        Bitmap = std::make_unique<gcl::TBitmap>();
        Bitmap->SetPixelFormat(gcl::pf32bit);
        Bitmap->SetSize(LV->GetClientWidth(), LV->GetClientHeight());
        Bitmap->GetCanvas()->GetBrush()->SetColor(gcl::clWhite);
        Bitmap->GetCanvas()->FillRect(TRect{0, 0, LV->GetClientWidth(), LV->GetClientHeight()});
        LV->PaintRect(Bitmap->GetCanvas(), TRect{0, 0, LV->GetClientWidth(), LV->GetClientHeight()});
    }
    COLORREF Pixel(int x, int y) { return GetPixel(Bitmap->GetCanvas()->GetHandle(), x, y); }
    // An item's rectangle in window coordinates.
    TRect WindowRect(const TRect& ViewRect) { return LV->GetScrollbars()->MapViewRectToWindowRect(ViewRect); }
    void OnThumbnail(TCustomGvListview*, TGvItem*, gcl::TCanvas* ACanvas, TRect ARect, TGvAlphaBlender*,
                     bool& DoDefault) {
        ACanvas->GetBrush()->SetStyle(gcl::bsSolid);
        ACanvas->GetBrush()->SetColor(gcl::clLime);
        ACanvas->FillRect(ARect);
        DoDefault = false;
    }

    gcl::TImageList* Images = nullptr;
    std::unique_ptr<gcl::TBitmap> Bitmap;
};

TEST_F(GvItemViewsTest, EveryStyleHasItsViewAndItsGeometry) {
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    TGvItem* item = AddItem(group, L"Alpha beta gamma delta epsilon zeta eta theta iota");
    AddItem(group, L"Second");
    item->SetImageIndex(0);
    Images = MakeImages(32);
    LV->SetImagesLarge(Images);
    LV->SetImagesExLarge(Images);
    const TGvListStyle styles[] = {elsIcon, elsSmallIcon, elsList, elsReport,
                                   elsThumbnail, elsTile, elsFilmStrip, elsGrid};
    const gcl::TClass classes[] = {TGvViewIconItem::StaticClass(),      TGvViewSmallIconItem::StaticClass(),
                                   TGvViewListItem::StaticClass(),      TGvViewReportItem::StaticClass(),
                                   TGvViewThumbnailItem::StaticClass(), TGvViewTileItem::StaticClass(),
                                   TGvViewFilmStripItem::StaticClass(), TGvViewGridItem::StaticClass()};
    for (int i = 0; i < 8; ++i) {
        LV->SetView(styles[i]);
        EXPECT_EQ(LV->ItemView(item)->ClassType(), classes[i]) << i;
    }

    // Icons: the cell of the icon cell size, the image centred 2 pixels
    // below the top with 4 pixels under it, the caption centred below in
    // two lines (all of them in the full text rectangle).
    LV->SetView(elsIcon);
    TGvRectArrayObject R;
    LV->ItemView(item)->CalcRects(item, nullptr, LV->MeasureCanvas(), R);
    const TRect cell = item->GetDisplayRect();
    EXPECT_EQ(cell.Width(), LV->GetCellSizes()->GetIcon()->GetWidth());
    EXPECT_EQ(cell.Height(), LV->GetCellSizes()->GetIcon()->GetHeight());
    EXPECT_EQ(R.BoundsRect.Left, cell.Left + 1);
    EXPECT_EQ(R.IconRect.Top, cell.Top + 2);
    EXPECT_EQ(R.IconRect.Height(), 32 + 4);
    EXPECT_EQ(R.IconRect.Left, R.BoundsRect.Left + (R.BoundsRect.Width() - 32) / 2);
    EXPECT_EQ(R.LabelRect.Top, R.IconRect.Bottom + 1);
    const int line = LV->GetFont()->GetHeight() < 0 ? -LV->GetFont()->GetHeight() : 13;
    EXPECT_GE(R.TextRect.Height(), 2 * line);
    EXPECT_GT(R.FullTextRect.Height(), R.TextRect.Height());
    EXPECT_EQ((R.TextRect.Left + R.TextRect.Right) / 2, (R.LabelRect.Left + R.LabelRect.Right) / 2);

    // Thumbnails: a square image area above one caption line.
    LV->SetView(elsThumbnail);
    LV->ItemView(item)->CalcRects(item, nullptr, LV->MeasureCanvas(), R);
    EXPECT_EQ(item->GetDisplayRect().Width(), LV->GetCellSizes()->GetThumbnail()->GetWidth());
    EXPECT_EQ(R.IconRect.Width(), R.IconRect.Height());
    EXPECT_GT(R.IconRect.Width(), 100);
    EXPECT_GT(R.TextRect.Top, R.IconRect.Bottom);
    EXPECT_LE(R.TextRect.Right, R.BoundsRect.Right);
    TGvItemHitTestInfoSet hit;
    EXPECT_TRUE(item->HitTestAt(Centre(R.IconRect), hit));
    EXPECT_TRUE(hit.Contains(ehtOnIcon));
    EXPECT_TRUE(item->HitTestAt(Centre(R.TextRect), hit));
    EXPECT_TRUE(hit.Contains(ehtOnText));

    // Tiles: the image at the left, then the caption and one line per
    // detail column; lines that do not fit are dropped.
    LV->SetView(elsTile);
    LV->GetPaintInfoItem()->SetTileDetailCount(2);
    item->SetCaptions(1, L"detail one");
    item->SetCaptions(2, L"detail two");
    item->SetDetails(0, 1);
    item->SetDetails(1, 2);
    LV->ItemView(item)->CalcRects(item, nullptr, LV->MeasureCanvas(), R);
    ASSERT_EQ(R.TextLines.size(), 3u);
    EXPECT_EQ(R.TextLines[1].Top, R.TextLines[0].Bottom);
    EXPECT_EQ(R.TextLines[2].Top, R.TextLines[1].Bottom);
    EXPECT_GE(R.TextLines[0].Left, R.IconRect.Right);
    EXPECT_EQ(R.IconRect.Left, R.CheckRect.Right + LV->GetPaintInfoItem()->GetImageIndent());
    gcl::TSize text{0, 0};
    TextExtentW(L"Xg", LV->GetFont(), text);
    LV->GetCellSizes()->GetTile()->SetHeight(2 * text.cy + 6);
    LV->ItemView(item)->CalcRects(item, nullptr, LV->MeasureCanvas(), R);
    EXPECT_EQ(R.TextLines.size(), 2u);

    // Painting every style leaves pixels in the item's cell.
    LV->GetHeader()->GetColumns()->Add(nullptr)->SetWidth(200);
    for (TGvListStyle style : styles) {
        LV->SetView(style);
        Paint();
        const TRect r = WindowRect(item->GetDisplayRect());
        bool inked = false;
        for (int y = r.Top; y < r.Bottom && !inked; ++y)
            for (int x = r.Left; x < std::min<int>(r.Right, LV->GetClientWidth()) && !inked; ++x)
                inked = Pixel(x, y) != RGB(255, 255, 255);
        EXPECT_TRUE(inked) << static_cast<int>(style);
    }
}

TEST_F(GvItemViewsTest, ThumbnailsDrawThemselvesAndFrameTheirImage) {
    LV->SetView(elsThumbnail);
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    TGvItem* item = AddItem(group, L"Photo");
    TGvRectArrayObject R;
    LV->ItemView(item)->CalcRects(item, nullptr, LV->MeasureCanvas(), R);
    LV->OnItemThumbnailDraw = {this, &GvItemViewsTest::OnThumbnail};
    Paint();
    const TRect icon = WindowRect(R.IconRect);
    EXPECT_EQ(Pixel(Centre(icon).X, Centre(icon).Y), RGB(0, 255, 0));
    // ShowBorder: one frame in BorderColor around the image area.
    EXPECT_EQ(Pixel(icon.Left - 1, Centre(icon).Y), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(Pixel(icon.Left - 2, Centre(icon).Y), RGB(255, 255, 255));
    // Selected: three frames in the selection colour.
    LV->GetSelection()->SetPopupMode(true);
    LV->GetSelection()->SetColor(gcl::clRed);
    item->SetSelected(true);
    Paint();
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(Pixel(icon.Left - i, Centre(icon).Y), RGB(255, 0, 0)) << i;
}

TEST_F(GvItemViewsTest, HitTestsOfItemsGroupsAndColumns) {
    LV->SetView(elsReport);
    LV->GetHeader()->SetVisible(true);
    TGvColumns* columns = LV->GetHeader()->GetColumns();
    for (int width : {100, 3, 100}) columns->Add(nullptr)->SetWidth(width);
    LV->SetShowGroupMargins(true);
    LV->GetPaintInfoGroup()->GetMarginTop()->SetSize(24);
    LV->GetPaintInfoItem()->SetCheckType(ectBox);
    LV->GetSelection()->SetFullRowSelect(true);
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    group->SetCaption(L"Inbox");
    TGvItem* item = AddItem(group, L"Task");
    LV->GetGroups()->Rebuild(true);

    TGvRectArrayObject R;
    LV->ItemView(item)->CalcRects(item, columns->GetColumns(0), LV->MeasureCanvas(), R);
    TGvItemHitTestInfoSet hit;
    ASSERT_TRUE(item->HitTestAt(Centre(R.CheckRect), hit));
    EXPECT_TRUE(hit.Contains(ehtOnCheck));
    ASSERT_TRUE(item->HitTestAt(Centre(R.TextRect), hit));
    EXPECT_TRUE(hit.Contains(ehtOnText));
    EXPECT_TRUE(hit.Contains(ehtOnLabel));
    // Full-row selection: anywhere on the row selects, also without a canvas.
    const TRect row = item->GetDisplayRect();
    EXPECT_TRUE(item->SelectionHitPt(TPoint{row.Right - 2, row.Top + 2}));
    LV->GetSelection()->SetFullRowSelect(false);
    EXPECT_FALSE(item->SelectionHitPt(TPoint{row.Right - 2, row.Top + 2}));
    item->SetEnabled(false);
    EXPECT_FALSE(item->SelectionHitPt(Centre(R.TextRect)));

    TGvRectArrayObject G;
    LV->GroupView(group)->GroupRectArray(group, gmeTop, group->MarginRectTop(), G);
    TGvGroupHitTestInfoSet groupHit;
    ASSERT_TRUE(group->HitTestAt(Centre(G.ExpandButtonRect), groupHit));
    EXPECT_EQ(groupHit, (TGvGroupHitTestInfoSet{egtOnHeader, egtOnExpandButton}));
    ASSERT_TRUE(group->HitTestAt(Centre(G.TextRect), groupHit));
    EXPECT_EQ(groupHit, (TGvGroupHitTestInfoSet{egtOnHeader, egtOnText}));
    EXPECT_FALSE(group->HitTestAt(Centre(row), groupHit));

    // Header: the resize zone runs from 4 pixels left (exclusive) to 4
    // right (inclusive) of a right edge; where zones overlap the later
    // column by position wins.
    TGvHeader* header = LV->GetHeader();
    TGvColumn* column = nullptr;
    EXPECT_TRUE(header->HitResizeZone(TPoint{98, 5}, column));
    EXPECT_EQ(column, columns->GetColumns(0));
    EXPECT_FALSE(header->HitResizeZone(TPoint{96, 5}, column));
    EXPECT_TRUE(header->HitResizeZone(TPoint{102, 5}, column));
    EXPECT_EQ(column, columns->GetColumns(1));
    EXPECT_FALSE(header->HitResizeZone(TPoint{102, 0}, column));
    header->SetSizeable(false);
    EXPECT_FALSE(header->HitResizeZone(TPoint{104, 5}, column));
    columns->GetColumns(2)->SetClickable(false);
    EXPECT_FALSE(header->HitClickableColumn(TPoint{150, 5}, column));
    EXPECT_EQ(column, columns->GetColumns(2));
    EXPECT_TRUE(header->HitClickableColumn(TPoint{50, 5}, column));
    EXPECT_TRUE(header->HitHotTrack(TPoint{105, 5}, column));
    EXPECT_FALSE(header->HitCheckBox(TPoint{10, 10}, column));
    LV->GetPaintInfoColumn()->SetCheckType(ectBox);
    TGvRectArrayObject C;
    LV->ColumnView(columns->GetColumns(0))->CalcRects(columns->GetColumns(0), nullptr, C);
    EXPECT_TRUE(header->HitCheckBox(Centre(C.CheckRect), column));
    // A drop-down button that always shows takes a square at the right.
    columns->GetColumns(0)->GetDropDownButton()->SetVisible(true);
    columns->GetColumns(0)->GetDropDownButton()->SetAlwaysShow(true);
    LV->ColumnView(columns->GetColumns(0))->CalcRects(columns->GetColumns(0), nullptr, C);
    EXPECT_EQ(C.DropDownRect.Width(), C.LabelRect.Height());
    EXPECT_EQ(C.DropDownRect.Left, C.LabelRect.Right);
    EXPECT_TRUE(header->HitDropDownButton(Centre(C.DropDownRect), column));
}

// With nothing selected, the list with the keyboard shows where it is:
// the focus rectangle around its rows when no item has the focus, then
// around the focused item's row, although UseFocusRect keeps the frame off
// selected items; a selection (which looks the same with or without the
// keyboard here) and a list without the keyboard show none.
TEST_F(GvItemViewsTest, TheKeyboardsPlaceShowsWhileNothingIsSelected) {
    LV->SetView(elsReport);
    LV->GetHeader()->GetColumns()->Add(nullptr)->SetWidth(200);
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    TGvItem* item = AddItem(group, L"x");
    AddItem(group, L"y");
    TGvSelectionManager* selection = LV->GetSelection();
    selection->SetFullRowSelect(true);
    selection->SetPopupMode(true);
    selection->SetUseFocusRect(false);
    LV->GetCellSizes()->GetReport()->SetHeight(20);
    LV->GetGroups()->Rebuild(true);
    const TRect row = WindowRect(item->GetDisplayRect());
    const int top = LV->GetHeader()->RuntimeHeight();
    // The dots of a frame on the rows' left edge, below the items, and on
    // the item's top edge, right of its caption.
    auto edgeDots = [&] {
        int dots = 0;
        for (int y = top + 60; y < LV->GetClientHeight() - 2; ++y) dots += Pixel(0, y) != RGB(255, 255, 255);
        return dots;
    };
    auto rowDots = [&] {
        int dots = 0;
        for (int x = 60; x < row.Right - 2; ++x) dots += Pixel(x, row.Top) != RGB(255, 255, 255);
        return dots;
    };

    Paint();
    EXPECT_EQ(edgeDots(), 0) << "a mark without the keyboard";
    EXPECT_EQ(rowDots(), 0);
    LV->SetFocus();
    ASSERT_TRUE(LV->Focused());
    EXPECT_TRUE(LV->ShowsKeyboardPlace());
    Paint();
    EXPECT_GT(edgeDots(), 10) << "no mark around the rows";
    EXPECT_EQ(rowDots(), 0);
    selection->SetFocusedItem(item);
    Paint();
    EXPECT_EQ(edgeDots(), 0);
    EXPECT_GT(rowDots(), 10) << "no mark on the focused item's row";

    item->SetSelected(true);
    EXPECT_FALSE(LV->ShowsKeyboardPlace());
    Paint();
    std::vector<COLORREF> focused;
    for (int x = 0; x < row.Right; ++x) focused.push_back(Pixel(x, row.Top));
    ::SetFocus(nullptr);
    Paint();
    for (int x = 0; x < row.Right; ++x) ASSERT_EQ(Pixel(x, row.Top), focused[static_cast<size_t>(x)]) << x;
    EXPECT_EQ(edgeDots(), 0);
}

TEST_F(GvItemViewsTest, SelectionPaintersPlainBlendedRoundedAndGradient) {
    LV->SetView(elsReport);
    LV->GetHeader()->GetColumns()->Add(nullptr)->SetWidth(380);
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    TGvItem* item = AddItem(group, L"x");
    AddItem(group, L"y");
    TGvSelectionManager* selection = LV->GetSelection();
    selection->SetFullRowSelect(true);
    selection->SetFullItemPaint(true);
    selection->SetPopupMode(true);  // the active colours without the focus
    selection->SetColor(gcl::clRed);
    selection->SetBorderColor(gcl::clBlue);
    selection->SetUseFocusRect(false);
    LV->GetCellSizes()->GetReport()->SetHeight(20);
    item->SetSelected(true);
    LV->GetGroups()->Rebuild(true);
    const TRect row = WindowRect(item->GetDisplayRect());
    const int x = row.Right - 20;
    const int y = (row.Top + row.Bottom) / 2;

    Paint();
    EXPECT_EQ(Pixel(x, y), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(x, row.Top), RGB(0, 0, 255));
    // The unselected row has no block, not even behind its caption.
    const TRect other = WindowRect(group->GetItem(1)->GetDisplayRect());
    for (int px = other.Left; px < other.Right; ++px)
        ASSERT_NE(Pixel(px, (other.Top + other.Bottom) / 2), RGB(255, 0, 0)) << px;

    // Blended: half red over white, framed.
    selection->SetAlphaBlend(true);
    Paint();
    EXPECT_TRUE(Near(Pixel(x, y), RGB(255, 127, 127))) << std::hex << Pixel(x, y);
    EXPECT_EQ(Pixel(x, row.Top), RGB(0, 0, 255));

    // Rounded: the corner stays outside the block.
    selection->SetRoundRect(true);
    selection->SetRoundRectRadius(8);
    Paint();
    EXPECT_EQ(Pixel(row.Left, row.Top), RGB(255, 255, 255));
    EXPECT_TRUE(Near(Pixel(x, y), RGB(255, 127, 127), 6)) << std::hex << Pixel(x, y);

    // Blended gradient: 80 parts gradient to 20 parts background.
    selection->SetRoundRect(false);
    selection->SetGradient(true);
    selection->SetGradientColorTop(RGB(0, 0, 0));
    selection->SetGradientColorBottom(RGB(0, 0, 250));
    Paint();
    const COLORREF top = Pixel(x, row.Top + 1);
    const COLORREF bottom = Pixel(x, row.Bottom - 2);
    EXPECT_TRUE(Near(top, RGB(51, 51, 51), 12)) << std::hex << top;
    EXPECT_GT(GetBValue(bottom), GetBValue(top) + 100);

    // Gradient without blending: the rows fade from top to bottom colour.
    selection->SetAlphaBlend(false);
    Paint();
    EXPECT_TRUE(Near(Pixel(x, row.Top + 1), RGB(0, 0, 0), 30));
    EXPECT_GT(GetBValue(Pixel(x, row.Bottom - 2)), 200);
    EXPECT_EQ(Pixel(x, row.Top), RGB(0, 0, 255));
}

TEST_F(GvItemViewsTest, HeaderPressedDropDownAndMirroredLooks) {
    LV->SetView(elsReport);
    LV->GetHeader()->SetVisible(true);
    TGvColumn* column = LV->GetHeader()->GetColumns()->Add(nullptr);
    column->SetWidth(150);
    column->SetCaption(L"Title");
    LV->GetGroups()->Rebuild(true);
    auto headerRow = [&](int y) {
        std::vector<COLORREF> pixels;
        for (int x = 0; x < 150; ++x) pixels.push_back(Pixel(x, y));
        return pixels;
    };
    Paint();
    const auto normal = headerRow(1);
    column->SetClicking(true);
    Paint();
    EXPECT_NE(headerRow(1), normal);  // the sunken edge
    column->SetClicking(false);

    // The drop-down button of the classic look.
    column->GetDropDownButton()->SetVisible(true);
    column->GetDropDownButton()->SetAlwaysShow(true);
    TGvRectArrayObject C;
    LV->ColumnView(column)->CalcRects(column, nullptr, C);
    Paint();
    bool dark = false;
    for (int px = C.DropDownRect.Left; px < C.DropDownRect.Right; ++px)
        for (int py = C.DropDownRect.Top; py < C.DropDownRect.Bottom; ++py)
            dark = dark || Pixel(px, py) == RGB(0, 0, 0);
    EXPECT_TRUE(dark);  // the arrow

    // Themed (when the header theme exists): mirrored right to left, the
    // button's background rows are the reverse of the plain ones.
    gcl::Free(LV);
    LV = TMirroredListview::Create(nullptr);
    LV->SetBounds(0, 0, 400, 300);
    LV->SetBevelKind(gcl::bkNone);
    LV->SetParentWindow(static_cast<HWND>(Parent->Handle()));
    LV->HandleNeeded();
    LV->SetView(elsReport);
    LV->GetHeader()->SetVisible(true);
    LV->GetPaintInfoColumn()->SetStyle(ehbsThemed);
    LV->GetHeader()->GetColumns()->Add(nullptr)->SetWidth(150);
    LV->GetGroups()->Rebuild(true);
    if (!LV->DrawWithThemes() || !LV->GetThemeManager()->GetHeaderTheme()) GTEST_SKIP() << "no header theme";
    Paint();
    const auto mirrored = headerRow(LV->GetHeader()->GetHeight() / 2);
    LV->SetThemed(false);
    LV->SetThemed(true);
    gcl::TBitmap plain;
    plain.SetPixelFormat(gcl::pf32bit);
    plain.SetSize(150, LV->GetHeader()->GetHeight());
    RECT r{0, 0, 150, LV->GetHeader()->GetHeight()};
    DrawThemeBackground(LV->GetThemeManager()->GetHeaderTheme(), plain.GetCanvas()->GetHandle(), HP_HEADERITEM,
                        HIS_NORMAL, &r, nullptr);
    std::vector<COLORREF> expected;
    for (int x = 149; x >= 0; --x) expected.push_back(GetPixel(plain.GetCanvas()->GetHandle(), x, r.bottom / 2));
    EXPECT_EQ(mirrored, expected);
}

TEST_F(GvItemViewsTest, TheFocusedItemsWholeCaptionStaysInsideItsGroup) {
    LV->SetView(elsIcon);
    const std::wstring longCaption =
        L"one two three four five six seven eight nine ten eleven twelve thirteen fourteen fifteen sixteen";
    TGvGroup* first = LV->GetGroups()->Add(nullptr);
    TGvItem* a = AddItem(first, longCaption);
    TGvGroup* last = LV->GetGroups()->Add(nullptr);
    TGvItem* b = AddItem(last, longCaption);
    LV->GetGroups()->Rebuild(true);
    const int cell = LV->GetCellSizes()->GetIcon()->GetHeight();
    EXPECT_EQ(first->GetDisplayRect().Height(), cell);
    EXPECT_EQ(last->GetDisplayRect().Height(), cell);

    // In the last group the focused item's caption grows the group.
    b->SetFocused(true);
    LV->GetGroups()->Rebuild(true);
    TGvRectArrayObject R;
    LV->ItemView(b)->CalcRects(b, nullptr, LV->MeasureCanvas(), R);
    ASSERT_GT(R.FullTextRect.Bottom, b->GetDisplayRect().Bottom);
    EXPECT_EQ(last->GetDisplayRect().Bottom, R.FullTextRect.Bottom);

    // Elsewhere only under ResizeGroupOnFocus.
    a->SetFocused(true);
    LV->GetGroups()->Rebuild(true);
    EXPECT_EQ(first->GetDisplayRect().Height(), cell);
    EXPECT_EQ(last->GetDisplayRect().Height(), cell);
    LV->GetSelection()->SetResizeGroupOnFocus(true);
    LV->GetGroups()->Rebuild(true);
    LV->ItemView(a)->CalcRects(a, nullptr, LV->MeasureCanvas(), R);
    EXPECT_EQ(first->GetDisplayRect().Bottom, R.FullTextRect.Bottom);
    EXPECT_EQ(last->GetDisplayRect().Top, first->GetDisplayRect().Bottom);
}

TEST_F(GvItemViewsTest, BlendBitmapFollowsTheItemsState) {
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    TGvItem* item = AddItem(group, L"x");
    gcl::TBitmap image;
    image.SetPixelFormat(gcl::pf32bit);
    image.SetSize(10, 10);
    image.GetCanvas()->GetBrush()->SetColor(gcl::clWhite);
    image.GetCanvas()->FillRect(TRect{0, 0, 10, 10});
    gcl::TBitmap target;
    target.SetPixelFormat(gcl::pf32bit);
    target.SetSize(40, 40);
    auto draw = [&] {
        target.GetCanvas()->GetBrush()->SetColor(gcl::clBlack);
        target.GetCanvas()->FillRect(TRect{0, 0, 40, 40});
        TGvAlphaBlender blender;
        blender.BlendBitmap(LV, item, &image, TRect{0, 0, 40, 40}, target.GetCanvas());
        return GetPixel(target.GetCanvas()->GetHandle(), 20, 20);
    };
    LV->GetSelection()->SetInactiveColor(gcl::clRed);
    // A disabled item of an unfocused list view is drawn as it is, centred.
    item->SetEnabled(false);
    EXPECT_EQ(draw(), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(target.GetCanvas()->GetHandle(), 14, 14), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(target.GetCanvas()->GetHandle(), 15, 15), RGB(255, 255, 255));
    // A selected one is blended with the inactive colour at DisabledBlendAlpha.
    item->SetEnabled(true);
    item->SetSelected(true);
    EXPECT_TRUE(Near(draw(), RGB(255, 127, 127))) << std::hex << draw();
    LV->SetDisabledBlendAlpha(255);
    EXPECT_TRUE(Near(draw(), RGB(255, 0, 0)));
}


TEST_F(GvItemViewsTest, IconTileAndThumbnailScreenshots) {
    TViewsForm* form = TViewsForm::Create(nullptr);
    TGvListview* lv = TGvListview::Create(form);
    lv->SetParent(form);
    lv->SetAlign(gcl::alClient);
    Images = MakeImages(32);
    gcl::TImageList* large = MakeImages(64);
    lv->SetImagesLarge(Images);
    lv->SetImagesExLarge(large);
    lv->BeginUpdate();
    lv->SetShowGroupMargins(true);
    lv->GetPaintInfoGroup()->GetMarginTop()->SetSize(24);
    lv->GetPaintInfoItem()->SetCheckType(ectBox);
    lv->GetPaintInfoItem()->SetTileDetailCount(2);
    lv->GetSelection()->SetPopupMode(true);
    for (const wchar_t* caption : {L"Inbox", L"Work"}) {
        TGvGroup* group = lv->GetGroups()->Add(nullptr);
        group->SetCaption(caption);
        for (int i = 0; i < 5; ++i) {
            TGvItem* item = group->GetItems()->Add(nullptr);
            item->SetCaption(std::wstring(caption) + L" task " + std::to_wstring(i + 1) +
                             (i == 1 ? L" with a caption long enough to wrap" : L""));
            item->SetCaptions(1, L"home");
            item->SetCaptions(2, L"12/" + std::to_wstring(i + 1) + L"/2026");
            item->SetDetails(0, 1);
            item->SetDetails(1, 2);
            item->SetImageIndex(i % 2 ? 0 : -1);
            item->SetChecked(i == 2);
        }
    }
    lv->GetGroups()->GetGroups(0)->GetItem(1)->SetSelected(true);
    lv->EndUpdate();
    form->Show();
    const std::pair<TGvListStyle, const char*> shots[] = {
        {elsIcon, "listview_icons.bmp"}, {elsTile, "listview_tiles.bmp"}, {elsThumbnail, "listview_thumbnails.bmp"}};
    for (const auto& [style, file] : shots) {
        lv->SetView(style);
        lv->Invalidate();
        qelvo::test::PumpApplication(150);
        EXPECT_GT(qelvo::test::SaveWindowScreenshot(form->GetHandle(), file), 20) << file;
    }
    gcl::Free(form);
    gcl::Free(large);
}

} // namespace
