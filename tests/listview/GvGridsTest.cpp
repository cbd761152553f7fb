// Grid layouts with a window: report rows and group margins, icon rows,
// neighbours across groups for the arrow and page keys, point look-ups,
// collapsing groups and the cell sizes the layouts divide by.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <string>
#include <vector>

#include "gcl/Forms.h"
#include "listview/GvListview.h"
#include "listview/GvWindowFixture.h"

using namespace qelvo;
using gcl::TPoint;
using gcl::TRect;

namespace {

class GvGridsTest : public qelvo::test::GvWindowFixture {
public:
    TGvGroup* AddGroup(int Items) {
        TGvGroup* group = LV->GetGroups()->Add(nullptr);
        for (int i = 0; i < Items; ++i) group->GetItems()->Add(nullptr)->SetCaption(L"item " + std::to_wstring(i));
        return group;
    }
    void OnExpand(TCustomGvListview*, TGvGroup*) { Events.push_back("expand"); }
    void OnCollapse(TCustomGvListview*, TGvGroup*) { Events.push_back("collapse"); }

    std::vector<std::string> Events;
};

TEST_F(GvGridsTest, ReportRowsMarginsNeighboursAndCollapsing) {
    LV->BeginUpdate();
    LV->SetView(elsReport);
    LV->SetShowGroupMargins(true);
    TGvPaintInfoGroup* info = LV->GetPaintInfoGroup();
    info->GetMarginTop()->SetSize(24);
    info->GetMarginBottom()->SetVisible(true);
    info->GetMarginBottom()->SetSize(5);
    LV->GetCellSizes()->GetReport()->SetHeight(23);
    TGvColumns* columns = LV->GetHeader()->GetColumns();
    for (int width : {320, 150, 100}) columns->Add(nullptr)->SetWidth(width);
    TGvGroup* g0 = AddGroup(3);
    TGvGroup* g1 = AddGroup(3);
    TGvGroup* g2 = AddGroup(2);
    g1->GetItem(1)->SetVisible(false);
    LV->EndUpdate();

    // The first group starts at 2; rows follow the top margin; a group ends
    // its bottom margin below its last row, the last group 4 pixels below.
    EXPECT_EQ(g0->GetDisplayRect(), (TRect{0, 2, 570, 100}));
    EXPECT_EQ(g0->GetItem(0)->GetDisplayRect(), (TRect{0, 26, 570, 49}));
    EXPECT_EQ(g0->GetItem(2)->GetDisplayRect(), (TRect{0, 72, 570, 95}));
    EXPECT_EQ(g1->GetItem(0)->GetDisplayRect(), (TRect{0, 124, 570, 147}));
    EXPECT_EQ(g1->GetItem(1)->GetDisplayRect(), (TRect{0, 147, 570, 147}));
    EXPECT_EQ(g1->GetItem(2)->GetDisplayRect(), (TRect{0, 147, 570, 170}));
    EXPECT_EQ(g1->GetDisplayRect(), (TRect{0, 100, 570, 175}));
    EXPECT_EQ(g2->GetItem(1)->GetDisplayRect(), (TRect{0, 222, 570, 245}));
    EXPECT_EQ(g2->GetDisplayRect(), (TRect{0, 175, 570, 249}));
    EXPECT_EQ(LV->GetScrollbars()->GetViewRect(), (TRect{0, 0, 570, 249}));
    EXPECT_EQ(g2->GetGrid()->GetColumnCount(), 1);
    EXPECT_EQ(g1->MarginRectTop(), (TRect{0, 100, 570, 124}));
    EXPECT_EQ(g1->MarginRectBottom(), (TRect{0, 170, 570, 175}));
    // The hidden item takes no place in the list's or its group's count of
    // shown items.
    EXPECT_EQ(g1->GetItem(1)->GetVisibleIndex(), -1);
    EXPECT_EQ(g1->GetItem(1)->GetVisibleIndexInGroup(), -1);
    EXPECT_EQ(g1->GetItem(2)->GetVisibleIndex(), 4);
    EXPECT_EQ(g1->GetItem(2)->GetVisibleIndexInGroup(), 1);
    EXPECT_EQ(g2->GetItem(0)->GetVisibleIndex(), 5);
    EXPECT_EQ(g1->VisibleItemCount(), 2);

    // Up and down run over the visible items of the whole list.
    TGvGroups* groups = LV->GetGroups();
    EXPECT_EQ(groups->AdjacentItem(g0->GetItem(2), adjDown), g1->GetItem(0));
    EXPECT_EQ(groups->AdjacentItem(g1->GetItem(0), adjDown), g1->GetItem(2));
    EXPECT_EQ(groups->AdjacentItem(g1->GetItem(2), adjDown), g2->GetItem(0));
    EXPECT_EQ(groups->AdjacentItem(g2->GetItem(0), adjUp), g1->GetItem(2));
    EXPECT_EQ(groups->AdjacentItem(g2->GetItem(1), adjDown), nullptr);
    EXPECT_EQ(groups->AdjacentItem(g1->GetItem(0), adjLeft), g0->GetItem(2));
    EXPECT_EQ(groups->AdjacentItem(g0->GetItem(0), adjUp), nullptr);
    EXPECT_THROW(groups->AdjacentItem(g1->GetItem(1), adjDown), gcl::Exception);
    // A page down from the top row lands on the last row in the window.
    TGvItem* page = groups->AdjacentItem(g0->GetItem(0), adjPageDown);
    ASSERT_NE(page, nullptr);
    EXPECT_LE(page->GetDisplayRect().Bottom, LV->GetClientHeight() + 23);

    // Points: rows, margins and the gaps between groups.
    EXPECT_EQ(groups->ItemByPoint(TPoint{10, 26}), g0->GetItem(0));
    EXPECT_EQ(groups->ItemByPoint(TPoint{569, 48}), g0->GetItem(0));
    EXPECT_EQ(groups->ItemByPoint(TPoint{10, 150}), g1->GetItem(2));
    EXPECT_EQ(groups->ItemByPoint(TPoint{10, 110}), nullptr);
    EXPECT_EQ(groups->ItemByPoint(TPoint{570, 30}), nullptr);
    EXPECT_EQ(groups->GroupByPoint(TPoint{10, 110}), g1);

    // Collapsing fires its event, closes the group to its margins and moves
    // the groups below it up; the scroll range follows.
    LV->OnGroupExpand = TGroupExpandEvent(this, &GvGridsTest::OnExpand);
    LV->OnGroupCollapse = TGroupCollapseEvent(this, &GvGridsTest::OnCollapse);
    g1->SetExpanded(false);
    g1->SetExpanded(false);
    EXPECT_EQ(Events, (std::vector<std::string>{"collapse"}));
    EXPECT_EQ(g1->GetDisplayRect(), (TRect{0, 100, 570, 129}));
    EXPECT_EQ(g2->GetItem(0)->GetDisplayRect(), (TRect{0, 153, 570, 176}));
    EXPECT_EQ(LV->GetScrollbars()->GetViewRect().Bottom, 203);
    EXPECT_EQ(groups->AdjacentItem(g0->GetItem(2), adjDown), g2->GetItem(0));
    g1->SetExpanded(true);
    EXPECT_EQ(Events, (std::vector<std::string>{"collapse", "expand"}));
    EXPECT_EQ(LV->GetScrollbars()->GetViewRect().Bottom, 249);
    // Without Expandable nothing changes.
    info->SetExpandable(false);
    g1->SetExpanded(false);
    EXPECT_TRUE(g1->GetExpanded());

    // Drop positions split a row at its vertical middle.
    TGvGroup* target = nullptr;
    int index = -2;
    g0->GetGrid()->FindInsertPosition(TPoint{400, 26 + 10}, target, index);
    EXPECT_EQ(target, g0);
    EXPECT_EQ(index, 0);
    g0->GetGrid()->FindInsertPosition(TPoint{10, 26 + 12}, target, index);
    EXPECT_EQ(index, 1);
    g0->GetGrid()->FindInsertPosition(TPoint{10, 12}, target, index);
    EXPECT_EQ(index, -1);

    // A group whose last item is hidden ends below its last shown row.
    g2->GetItem(1)->SetVisible(false);
    EXPECT_EQ(g2->GetItem(1)->GetDisplayRect(), (TRect{0, 222, 570, 222}));
    EXPECT_EQ(g2->GetDisplayRect(), (TRect{0, 175, 570, 226}));
    EXPECT_EQ(LV->GetScrollbars()->GetViewRect().Bottom, 226);
}

TEST_F(GvGridsTest, IconRowsAndNeighboursAcrossGroups) {
    LV->BeginUpdate();
    LV->SetView(elsIcon);
    TGvGroup* g0 = AddGroup(7);
    TGvGroup* g1 = AddGroup(2);
    LV->EndUpdate();
    // 3 cells of 75 fit the window: 7 items take 3 rows.
    EXPECT_EQ(g0->GetGrid()->GetColumnCount(), 3);
    EXPECT_EQ(g0->GetGrid()->GetRowCount(), 3);
    EXPECT_EQ(g0->GetItem(4)->GetDisplayRect(), (TRect{75, 75, 150, 150}));
    EXPECT_EQ(g0->GetItem(6)->GetDisplayRect(), (TRect{0, 150, 75, 225}));
    EXPECT_EQ(g1->GetItem(1)->GetDisplayRect(), (TRect{75, 225, 150, 300}));

    TGvGroups* groups = LV->GetGroups();
    EXPECT_EQ(groups->AdjacentItem(g0->GetItem(1), adjDown), g0->GetItem(4));
    EXPECT_EQ(groups->AdjacentItem(g0->GetItem(6), adjUp), g0->GetItem(3));
    EXPECT_EQ(groups->AdjacentItem(g0->GetItem(6), adjRight), g1->GetItem(0));
    // Down from column 2 of the last row: the next group's row is shorter,
    // so the nearest column to its left.
    EXPECT_EQ(groups->AdjacentItem(g0->GetItem(5), adjDown), g1->GetItem(1));
    EXPECT_EQ(groups->AdjacentItem(g0->GetItem(4), adjDown), g1->GetItem(1));
    EXPECT_EQ(groups->AdjacentItem(g1->GetItem(1), adjUp), g0->GetItem(4));
    EXPECT_EQ(groups->AdjacentItem(g1->GetItem(0), adjLeft), g0->GetItem(6));

    // A hidden item keeps no cell: the next one takes its place.
    g0->GetItem(1)->SetVisible(false);
    EXPECT_EQ(g0->GetItem(2)->GetDisplayRect(), (TRect{75, 0, 150, 75}));
    EXPECT_EQ(g0->GetItem(1)->GetDisplayRect().Width(), 0);
}

// The grid view flows items through the visible columns.
TEST_F(GvGridsTest, GridViewRowsFollowTheVisibleColumns) {
    LV->BeginUpdate();
    LV->SetView(elsGrid);
    TGvGroup* group = AddGroup(7);
    LV->EndUpdate();
    // No column: the items get empty rectangles and no row.
    EXPECT_EQ(group->GetGrid()->GetRowCount(), 0);
    EXPECT_EQ(group->GetItem(3)->GetDisplayRect().Width(), 0);
    TGvColumns* columns = LV->GetHeader()->GetColumns();
    for (int width : {40, 50, 60}) columns->Add(nullptr)->SetWidth(width);
    LV->GetGroups()->Rebuild(true);
    EXPECT_EQ(group->GetGrid()->GetColumnCount(), 3);
    EXPECT_EQ(group->GetGrid()->GetRowCount(), 3);
    EXPECT_EQ(group->GetItem(1)->GetDisplayRect(), (TRect{40, 0, 90, 17}));
    EXPECT_EQ(group->GetItem(6)->GetDisplayRect(), (TRect{0, 34, 40, 51}));
    // A hidden column takes no cell.
    columns->GetColumns(1)->SetVisible(false);
    LV->GetGroups()->Rebuild(true);
    EXPECT_EQ(group->GetGrid()->GetColumnCount(), 2);
    EXPECT_EQ(group->GetGrid()->GetRowCount(), 4);
    EXPECT_EQ(group->GetItem(1)->GetDisplayRect(), (TRect{40, 0, 100, 17}));
}

// Window width changes: AutoSpring columns share them (nothing to share
// without one), the fixed single column spans the client width less one.
TEST_F(GvGridsTest, HeaderFollowsTheWindowWidth) {
    LV->SetView(elsReport);
    TGvHeader* header = LV->GetHeader();
    TGvColumns* columns = header->GetColumns();
    for (int i = 0; i < 3; ++i) columns->Add(nullptr)->SetWidth(100);
    header->Resize(300);
    header->Resize(340);  // no AutoSpring column: nothing changes, nothing fails
    EXPECT_EQ(columns->GetColumns(0)->GetWidth(), 100);
    columns->GetColumns(0)->SetAutoSpring(true);
    columns->GetColumns(2)->SetAutoSpring(true);
    header->Resize(343);  // 3 pixels shared by two: 1.5 each
    EXPECT_EQ(columns->GetColumns(0)->GetWidth(), 101);
    EXPECT_EQ(columns->GetColumns(1)->GetWidth(), 100);
    EXPECT_EQ(columns->GetColumns(2)->GetWidth(), 101);
    header->Resize(344);  // half a pixel each, plus the halves kept
    EXPECT_EQ(columns->GetColumns(0)->GetWidth(), 102);
    EXPECT_EQ(columns->GetColumns(2)->GetWidth(), 102);
    header->Resize(340);  // shrinking: 2 each
    EXPECT_EQ(columns->GetColumns(0)->GetWidth(), 100);
    EXPECT_EQ(columns->GetColumns(2)->GetWidth(), 100);
    // A real resize of the window reaches the header (its client width).
    const int frame = LV->GetWidth() - LV->GetClientWidth();
    LV->SetBounds(0, 0, 340 + 20 + frame, 200);
    EXPECT_EQ(columns->GetColumns(0)->GetWidth(), 110);

    header->SetFixedSingleColumn(true);
    EXPECT_FALSE(columns->GetColumns(1)->GetVisible());
    EXPECT_EQ(columns->GetColumns(0)->GetWidth(), LV->GetClientWidth() - 1);
    LV->SetBounds(0, 0, 250, 200);
    EXPECT_EQ(columns->GetColumns(0)->GetWidth(), LV->GetClientWidth() - 1);
    header->Rebuild(true);
    EXPECT_EQ(columns->GetColumns(0)->GetWidth(), LV->GetClientWidth() - 1);
    header->SetFixedSingleColumn(false);
    EXPECT_TRUE(columns->GetColumns(1)->GetVisible());
}

TEST_F(GvGridsTest, CellSizesNeverReachZero) {
    TGvCellSize* icon = LV->GetCellSizes()->GetIcon();
    icon->SetWidth(0);
    EXPECT_EQ(icon->GetWidth(), 1);
    icon->SetAutoSize(true);
    icon->SetAutoWidth(0);
    EXPECT_EQ(icon->GetWidth(), 1);
    // A layout over such cells neither divides by zero nor fails.
    LV->SetView(elsIcon);
    TGvGroup* group = AddGroup(3);
    group->GetItem(0)->SetCaption(L"");
    LV->GetGroups()->Rebuild(true);
    EXPECT_GT(group->GetGrid()->GetColumnCount(), 0);
    LV->SetView(elsList);
    LV->GetCellSizes()->GetList()->SetAutoSize(true);
    LV->GetCellSizes()->GetList()->SetAutoWidth(0);
    LV->GetGroups()->Rebuild(true);
    EXPECT_GT(group->GetGrid()->GetRowCount(), 0);
}

} // namespace
