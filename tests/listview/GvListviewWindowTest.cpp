// The list view with a window: the layout pass, the header's column
// rectangles, the scroll-bar manager and scrolling items and columns into
// view.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <tuple>
#include <utility>
#include <vector>

#include "gcl/Forms.h"
#include "listview/GvListview.h"
#include "listview/GvWindowFixture.h"

using namespace qelvo;
using gcl::TRect;

namespace {

class GvListviewWindowTest : public qelvo::test::GvWindowFixture {
protected:
    void SetUp() override {
        MakeListview(300, 200);
        LV->OnScroll = TGvScrollEvent(this, &GvListviewWindowTest::OnScroll);
    }

public:
    void OnScroll(TCustomGvListview*, int DeltaX, int DeltaY) { Scrolls.push_back({DeltaX, DeltaY}); }

    // Lays the report view out to a view of Width x Height: one item in the
    // first group, one row as tall as the view less the first group's top
    // (2) and the last group's bottom gap (4), under a column as wide as the
    // view that is then taken away again.
    void LayOutView(int Width, int Height) {
        LV->SetView(elsReport);
        TGvGroup* group = LV->GetGroups()->GetGroups(0);
        if (group->ItemCount() == 0) group->GetItems()->Add(nullptr);
        TGvColumn* filler = LV->GetHeader()->GetColumns()->Add(nullptr);
        filler->SetWidth(Width);
        LV->GetCellSizes()->GetReport()->SetHeight(Height - 6);
        LV->GetGroups()->Rebuild(true);
        gcl::Free(filler);
    }

    std::vector<gcl::TPoint> Scrolls;
};

TEST_F(GvListviewWindowTest, LayoutPassNumbersVisibleGroupsAndItems) {
    TGvGroups* groups = LV->GetGroups();
    LV->BeginUpdate();
    TGvGroup* g0 = groups->Add(nullptr);
    TGvGroup* g1 = groups->Add(nullptr);
    TGvGroup* g2 = groups->Add(nullptr);
    for (TGvGroup* g : {g0, g1, g2})
        for (int i = 0; i < 3; ++i) g->GetItems()->Add(nullptr);
    g0->GetItem(1)->SetVisible(false);
    g1->SetVisible(false);
    // Nothing is laid out while the bracket is open.
    EXPECT_EQ(g0->GetVisibleIndex(), -1);
    LV->EndUpdate();
    EXPECT_EQ(groups->VisibleCount(), 2);
    EXPECT_EQ(groups->VisibleGroup(1), g2);
    EXPECT_EQ(groups->VisibleGroup(2), nullptr);
    EXPECT_EQ(g0->GetVisibleIndex(), 0);
    EXPECT_EQ(g1->GetVisibleIndex(), -1);
    EXPECT_EQ(g2->GetVisibleIndex(), 1);
    EXPECT_EQ(g0->GetItem(0)->GetVisibleIndex(), 0);
    EXPECT_EQ(g0->GetItem(1)->GetVisibleIndex(), -1);
    EXPECT_EQ(g0->GetItem(2)->GetVisibleIndex(), 1);
    EXPECT_EQ(g0->GetItem(2)->GetVisibleIndexInGroup(), 1);
    EXPECT_EQ(g0->VisibleItemCount(), 2);
    EXPECT_EQ(g2->GetItem(0)->GetVisibleIndex(), 2);
    // A collapsed group places none of its items.
    g2->SetExpanded(false);
    EXPECT_EQ(g2->VisibleItemCount(), 0);
    EXPECT_EQ(g2->GetItem(0)->GetVisibleIndex(), -1);

    // The header lays its columns out in position order.
    LV->SetView(elsReport);
    LV->GetHeader()->SetVisible(true);
    LV->GetHeader()->SetAutoSizeHeight(false);
    TGvColumns* columns = LV->GetHeader()->GetColumns();
    const int widths[] = {120, 80, 60};
    for (int w : widths) columns->Add(nullptr)->SetWidth(w);
    columns->GetColumns(2)->SetPosition(0);
    EXPECT_EQ(columns->GetColumns(2)->GetDisplayRect(), (TRect{0, 0, 60, 21}));
    EXPECT_EQ(columns->GetColumns(0)->GetDisplayRect(), (TRect{60, 0, 180, 21}));
    EXPECT_EQ(columns->GetColumns(1)->GetDisplayRect(), (TRect{180, 0, 260, 21}));
    EXPECT_EQ(LV->GetHeader()->FirstColumnByPosition(), columns->GetColumns(2));
    const int clientWidth = LV->GetClientWidth();
    EXPECT_EQ(LV->GetHeader()->GetHeaderRect().Right, std::max(260, clientWidth));
    columns->GetColumns(0)->SetVisible(false);
    LV->GetHeader()->Rebuild(true);
    EXPECT_EQ(columns->GetColumns(0)->GetDisplayRect().Width(), 0);
    EXPECT_EQ(columns->GetColumns(1)->GetDisplayRect(), (TRect{60, 0, 140, 21}));
    EXPECT_EQ(columns->VisibleCount(), 2);
    EXPECT_EQ(LV->GetHeader()->RuntimeHeight(), 21);
    LV->SetView(elsIcon);
    EXPECT_EQ(LV->GetHeader()->RuntimeHeight(), 0);
}

// A vertical scroll bar that comes or goes with a layout narrows or widens
// the client area: the header is laid out for the area
// it is shown in, not the one it was measured in first.
TEST_F(GvListviewWindowTest, TheLayoutFollowsAScrollBarThatComesOrGoes) {
    LV->SetView(elsReport);
    LV->GetHeader()->SetVisible(true);
    LV->GetHeader()->GetColumns()->Add(nullptr)->SetWidth(100);
    TGvGroups* groups = LV->GetGroups();
    const int wide = LV->GetClientWidth();
    auto laidOutFor = [&](int width) {
        EXPECT_EQ(LV->GetClientWidth(), width);
        EXPECT_EQ(LV->GetHeader()->GetHeaderRect().Right, width);
    };
    LV->BeginUpdate();
    TGvGroup* group = groups->Add(nullptr);
    for (int i = 0; i < 40; ++i) group->GetItems()->Add(nullptr);
    LV->EndUpdate();
    ASSERT_TRUE(GetWindowLongA(LV->GetHandle(), GWL_STYLE) & WS_VSCROLL);
    const int narrow = LV->GetClientWidth();
    ASSERT_LT(narrow, wide);
    laidOutFor(narrow);
    LV->BeginUpdate();
    group->GetItems()->Clear();
    group->GetItems()->Add(nullptr);
    LV->EndUpdate();
    ASSERT_FALSE(GetWindowLongA(LV->GetHandle(), GWL_STYLE) & WS_VSCROLL);
    laidOutFor(wide);
}

// A scroll bar that comes or goes with a refill leaves every group and row
// where a layout made for the new client area places them: in the report
// view, whose rows follow the columns alone, as in a view whose cells flow
// with the width.
TEST_F(GvListviewWindowTest, RowsStandAsAFreshLayoutPlacesThemWhenABarComesOrGoes) {
    LV->GetHeader()->SetVisible(true);
    for (int w : {100, 80}) LV->GetHeader()->GetColumns()->Add(nullptr)->SetWidth(w);
    TGvGroups* groups = LV->GetGroups();
    using TPlace = std::tuple<int, int, TRect>;
    auto places = [&] {
        std::vector<TPlace> out;
        for (int g = 0; g < groups->GetCount(); ++g) {
            TGvGroup* group = groups->GetGroups(g);
            out.emplace_back(group->GetVisibleIndex(), -1, group->GetDisplayRect());
            for (int i = 0; i < group->ItemCount(); ++i) {
                TGvItem* item = group->GetItem(i);
                out.emplace_back(item->GetVisibleIndex(), item->GetVisibleIndexInGroup(), item->GetDisplayRect());
            }
        }
        return out;
    };
    auto range = [&] {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE;
        GetScrollInfo(LV->GetHandle(), SB_VERT, &info);
        return std::make_pair(info.nMax, info.nPage);
    };
    for (TGvListStyle view : {elsReport, elsIcon}) {
        LV->SetView(view);
        for (int count : {60, 1, 60, 0, 60}) {
            SCOPED_TRACE(testing::Message() << "view " << int(view) << ", " << count << " items a group");
            LV->BeginUpdate();
            groups->Clear();
            for (int g = 0; g < 2; ++g) {
                TGvGroup* group = groups->Add(nullptr);
                for (int i = 0; i < count; ++i) group->GetItems()->Add(nullptr);
            }
            LV->EndUpdate();
            const bool bar = (GetWindowLongA(LV->GetHandle(), GWL_STYLE) & WS_VSCROLL) != 0;
            ASSERT_EQ(bar, count == 60);
            const std::vector<TPlace> laidOut = places();
            const auto bars = range();
            const TRect header = LV->GetHeader()->GetHeaderRect();
            if (view == elsReport) {
                EXPECT_EQ(header.Right, LV->GetClientWidth());
            }
            // A pass over the area the list has now places everything alike.
            groups->Rebuild(true);
            EXPECT_EQ(places(), laidOut);
            EXPECT_EQ(range(), bars);
            EXPECT_EQ(LV->GetHeader()->GetHeaderRect(), header);
        }
    }
}

TEST_F(GvListviewWindowTest, ScrollbarManagerClampsMapsAndReports) {
    TGvScrollbarManager* bars = LV->GetScrollbars();
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    const TRect client = LV->GetClientRect();
    // The view is as large as the client area: no bar.
    LayOutView(client.Width(), client.Height());
    EXPECT_EQ(bars->GetViewRect(), (TRect{0, 0, client.Width(), client.Height()}));
    EXPECT_FALSE(bars->VertBarVisible());
    EXPECT_FALSE(bars->HorzBarVisible());
    bars->SetOffsetY(10);
    EXPECT_EQ(bars->GetOffsetY(), 0);
    EXPECT_TRUE(Scrolls.empty());

    LayOutView(900, 1000);
    EXPECT_TRUE(bars->VertBarVisible());
    EXPECT_TRUE(bars->HorzBarVisible());
    const TRect inner = LV->GetClientRect();
    EXPECT_EQ(bars->MaxOffsetY(), 1000 - inner.Height());
    EXPECT_EQ(bars->MaxOffsetX(), 900 - inner.Width());
    bars->SetOffsetY(50);
    ASSERT_EQ(Scrolls.size(), 1u);
    EXPECT_EQ(Scrolls[0].X, 0);
    EXPECT_EQ(Scrolls[0].Y, -50);  // the content moved up
    bars->Scroll(0, 0);
    EXPECT_EQ(Scrolls.size(), 1u);
    bars->SetOffsetY(100000);
    EXPECT_EQ(bars->GetOffsetY(), bars->MaxOffsetY());
    bars->Scroll(-30, 0);
    EXPECT_EQ(bars->GetOffsetX(), 0);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(LV->GetHandle(), SB_VERT, &info);
    EXPECT_EQ(info.nMax, 999);
    EXPECT_EQ(info.nPos, bars->GetOffsetY());

    const gcl::TPoint p{17, 23};
    EXPECT_EQ(bars->MapViewToWindow(bars->MapWindowToView(p, true), true), p);
    EXPECT_EQ(bars->MapWindowToView(p, false).Y, 23 + bars->GetOffsetY());

    // In the list view offsets snap to whole cells.
    LV->SetView(elsList);
    LV->GetCellSizes()->GetList()->SetWidth(100);
    for (int i = 0; i < 300; ++i) group->GetItems()->Add(nullptr);
    LV->GetGroups()->Rebuild(true);
    ASSERT_GT(bars->ViewWidth(), 1000);
    bars->SetOffsetX(130);
    EXPECT_EQ(bars->GetOffsetX() % 100, 0);

    // Clearing a collection with a window scrolls back to the start.
    group->GetItems()->Clear();
    LayOutView(900, 1000);
    bars->SetOffsetY(40);
    group->GetItems()->Add(nullptr);
    group->GetItems()->Clear();
    EXPECT_EQ(bars->GetOffsetY(), 0);
    EXPECT_EQ(bars->GetOffsetX(), 0);
}

TEST_F(GvListviewWindowTest, ItemsAndColumnsScrollIntoView) {
    TGvScrollbarManager* bars = LV->GetScrollbars();
    LV->SetView(elsReport);
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    TGvItem* item = group->GetItems()->Add(nullptr);
    LayOutView(2000, 2000);
    const TRect client = LV->GetClientRect();

    item->SetDisplayRect(TRect{0, 600, 100, 617});
    item->MakeVisible(emvAuto);
    EXPECT_EQ(bars->GetOffsetY(), 617 - client.Height());
    EXPECT_EQ(bars->GetOffsetX(), 0);
    item->SetDisplayRect(TRect{0, 100, 100, 117});
    item->MakeVisible(emvAuto);
    EXPECT_EQ(bars->GetOffsetY(), 100);
    item->MakeVisible(emvAuto);  // already in view: nothing moves
    EXPECT_EQ(bars->GetOffsetY(), 100);
    item->SetDisplayRect(TRect{0, 1000, 100, 1017});
    item->MakeVisible(emvMiddle);
    EXPECT_EQ(bars->GetOffsetY(), 1000 - (client.Height() - 17) / 2);
    item->MakeVisible(emvTop);  // wholly in view now: nothing moves
    EXPECT_EQ(bars->GetOffsetY(), 1000 - (client.Height() - 17) / 2);
    item->SetDisplayRect(TRect{0, 1500, 100, 1517});
    item->MakeVisible(emvTop);
    EXPECT_EQ(bars->GetOffsetY(), 1500);

    // A column off to the left is brought in as well as one to the right.
    TGvColumns* columns = LV->GetHeader()->GetColumns();
    TGvColumn* first = columns->Add(nullptr);
    TGvColumn* wide = columns->Add(nullptr);
    first->SetWidth(200);
    wide->SetWidth(900);
    LV->GetHeader()->Rebuild(true);
    bars->SetOffsetX(500);
    ASSERT_EQ(bars->GetOffsetX(), 500);
    first->MakeVisible(emvAuto);
    EXPECT_EQ(bars->GetOffsetX(), 0);
    TGvColumn* third = columns->Add(nullptr);
    third->SetWidth(100);
    LV->GetHeader()->Rebuild(true);
    third->MakeVisible(emvTop);
    EXPECT_EQ(bars->GetOffsetX(), std::min(1100, bars->MaxOffsetX()));
    third->SetVisible(false);
    bars->SetOffsetX(0);
    third->MakeVisible(emvAuto);  // hidden: nothing
    EXPECT_EQ(bars->GetOffsetX(), 0);
}

// A stored group or item asks for a repaint when one of its values
// changes, and not when it is set to the value it holds (the program sets
// group images while the list paints).
TEST_F(GvListviewWindowTest, StoredEntriesRepaintOnlyWhenAValueChanges) {
    ShowWindow(static_cast<HWND>(Parent->Handle()), SW_SHOWNOACTIVATE);
    LV->SetView(elsReport);
    LV->GetHeader()->GetColumns()->Add(nullptr)->SetWidth(280);
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    TGvItem* item = group->GetItems()->Add(nullptr);
    group->SetCaption(L"Group");
    group->SetImageIndex(2);
    group->SetDetails(0, 5);
    item->SetCaption(L"Item");
    item->SetImageIndexes(0, 1);
    item->SetStateImageIndexes(0, 3);
    LV->GetGroups()->Rebuild(true);
    const HWND wnd = LV->GetHandle();
    auto painted = [wnd] {
        UpdateWindow(wnd);
        ValidateRect(wnd, nullptr);
    };
    auto pending = [wnd] { return GetUpdateRect(wnd, nullptr, FALSE) != FALSE; };
    painted();
    ASSERT_FALSE(pending());

    group->SetCaption(L"Group");
    group->SetImageIndex(2);
    group->SetImageOverlayIndexes(0, -1);
    group->SetDetails(0, 5);
    item->SetCaption(L"Item");
    item->SetImageIndexes(0, 1);
    item->SetImageOverlayIndexes(0, -1);
    item->SetStateImageIndexes(0, 3);
    item->SetDetails(0, 0);
    EXPECT_FALSE(pending());

    group->SetImageIndex(3);
    EXPECT_TRUE(pending());
    EXPECT_EQ(group->GetImageIndex(), 3);
    painted();
    item->SetCaption(L"Changed");
    EXPECT_TRUE(pending());
    painted();
    item->SetStateImageIndexes(0, 4);
    EXPECT_TRUE(pending());
    // An unchanged value is still stored, so the arrays grow as before.
    auto* stored = static_cast<TGvItemStored*>(item);
    item->SetImageIndexes(4, -1);
    EXPECT_EQ(stored->GetDataHelper()->ImageIndexes.size(), 5u);
}

} // namespace
