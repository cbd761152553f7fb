// Groups, their item lists, grids and visible lists live in the small-block
// pools: thousands of small groups made, laid out, reordered, collapsed,
// cleared and made again keep every item in its place, and item batches
// of every size around the stack-listed ones are made and freed as one by
// one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listview/GvListview.h"
#include "listview/GvListviewFixture.h"
#include "listview/GvWindowFixture.h"

using namespace qelvo;
using gcl::TPoint;
using gcl::TRect;

namespace {

class GvGroupPoolsTest : public qelvo::test::GvWindowFixture {
protected:
    // Count groups of 1 to 7 items each (Data points into Values).
    void MakeGroups(int Count) {
        Values.assign(static_cast<size_t>(Count) * 7, 0);
        for (int g = 0; g < Count; ++g) {
            TGvGroup* group = LV->GetGroups()->Add(nullptr);
            group->SetKey(static_cast<uint32_t>(g));
            std::vector<int*> data;
            for (int i = 0; i <= g % 7; ++i) data.push_back(&Values[static_cast<size_t>(g) * 7 + static_cast<size_t>(i)]);
            group->GetItems()->AddMany(data);
        }
    }
    // A report list of foldable groups in one column, Count groups made
    // in one update.
    void MakeReportList(int Count) {
        LV->SetView(elsReport);
        LV->SetItemClass(TGvItemVirtual::StaticClass());
        LV->GetPaintInfoGroup()->SetExpandable(true);
        LV->GetHeader()->GetColumns()->Add(nullptr)->SetWidth(200);
        LV->BeginUpdate();
        MakeGroups(Count);
        LV->EndUpdate();
    }
    // Every group lists its items as visible (or none when collapsed), in
    // order; visible indexes run on over the groups and rows go down.
    void ExpectLaidOut() {
        TGvGroups* groups = LV->GetGroups();
        int next = 0;
        int bottom = 0;
        for (int g = 0; g < groups->GetCount(); ++g) {
            TGvGroup* group = groups->GetGroups(g);
            ASSERT_EQ(group->GetIndex(), g);
            ASSERT_GE(group->GetDisplayRect().Top, bottom) << g;
            bottom = group->GetDisplayRect().Top;
            if (!group->GetExpanded()) {
                EXPECT_EQ(group->VisibleItemCount(), 0) << g;
                continue;
            }
            ASSERT_EQ(group->VisibleItemCount(), group->ItemCount()) << g;
            for (int i = 0; i < group->ItemCount(); ++i) {
                TGvItem* item = group->GetItem(i);
                ASSERT_EQ(group->VisibleItem(i), item) << g;
                EXPECT_EQ(item->GetIndex(), i);
                EXPECT_EQ(item->OwnerGroup(), group);
                EXPECT_EQ(item->GetVisibleIndex(), next++) << g;
                EXPECT_EQ(item->GetVisibleIndexInGroup(), i);
                EXPECT_EQ(item->GetData(), &Values[group->GetKey() * 7 + static_cast<size_t>(i)]);
            }
        }
    }
    std::vector<int> Values;
};

TEST_F(GvGroupPoolsTest, ThousandsOfSmallGroupsLayOutReorderCollapseAndClearAsAnyGroups) {
    MakeReportList(3000);
    ASSERT_EQ(LV->GetGroups()->GetCount(), 3000);
    ExpectLaidOut();

    // The groups in reverse order, as the task list orders them.
    LV->BeginUpdate();
    TGvGroups* groups = LV->GetGroups();
    std::vector<TGvCollectionItem*> reversed(groups->List().rbegin(), groups->List().rend());
    groups->List().assign(reversed.begin(), reversed.end());
    groups->ReIndexItems(true);
    LV->EndUpdate();
    EXPECT_EQ(groups->GetGroups(0)->GetKey(), 2999u);
    ExpectLaidOut();

    // Every third group collapsed, then all expanded again.
    LV->BeginUpdate();
    for (int g = 0; g < groups->GetCount(); g += 3) groups->GetGroups(g)->SetExpanded(false);
    LV->EndUpdate();
    ExpectLaidOut();
    groups->ExpandAll();
    ExpectLaidOut();

    // Cleared and made again from the same pools.
    LV->BeginUpdate();
    groups->Clear();
    LV->EndUpdate();
    EXPECT_EQ(groups->GetCount(), 0);
    EXPECT_EQ(LV->GetItems()->GetCount(), 0);
    LV->BeginUpdate();
    MakeGroups(500);
    LV->EndUpdate();
    EXPECT_EQ(LV->GetItems()->GetCount(), 500 / 7 * 28 + 1 + 2 + 3);  // 71 full weeks of 1..7, then 1, 2, 3
    ExpectLaidOut();
}

// Report rows are laid out without making the groups' grids; a grid made
// when first asked answers as one the layout went through.
TEST_F(GvGroupPoolsTest, GroupsLaidOutBeforeTheirGridsAnswerAsGroupsLaidOutThroughThem) {
    MakeReportList(300);
    TGvGroups* groups = LV->GetGroups();
    ExpectLaidOut();
    auto places = [&] {
        std::vector<TRect> rects;
        for (int g = 0; g < groups->GetCount(); ++g) {
            rects.push_back(groups->GetGroups(g)->GetDisplayRect());
            for (int i = 0; i < groups->GetGroups(g)->ItemCount(); ++i)
                rects.push_back(groups->GetGroups(g)->GetItem(i)->GetDisplayRect());
        }
        return rects;
    };
    const std::vector<TRect> laidOut = places();

    // Hit tests and arrow keys across groups whose grids nobody asked for.
    TGvGroup* g10 = groups->GetGroups(10);
    TGvGroup* g11 = groups->GetGroups(11);
    const TRect row = g10->GetItem(1)->GetDisplayRect();
    EXPECT_EQ(groups->ItemByPoint(TPoint{row.Left + 5, row.Top + row.Height() / 2}), g10->GetItem(1));
    EXPECT_EQ(groups->AdjacentItem(g10->GetItem(g10->ItemCount() - 1), adjDown), g11->GetItem(0));
    EXPECT_EQ(groups->AdjacentItem(g11->GetItem(0), adjUp), g10->GetItem(g10->ItemCount() - 1));
    EXPECT_EQ(g11->GetGrid()->GetRowCount(), g11->ItemCount());

    // A group folded and opened before its grid was made.
    TGvGroup* g20 = groups->GetGroups(20);
    const int below = groups->GetGroups(21)->GetDisplayRect().Top;
    g20->SetExpanded(false);
    EXPECT_LT(groups->GetGroups(21)->GetDisplayRect().Top, below);
    EXPECT_EQ(g20->GetGrid()->GetRowCount(), 0);
    ExpectLaidOut();
    g20->SetExpanded(true);
    EXPECT_EQ(g20->GetGrid()->GetRowCount(), g20->ItemCount());
    EXPECT_EQ(places(), laidOut);

    // Every grid asked for at last counts the rows the layout placed, and a
    // layout through the grids places every row where it stood.
    for (int g = 0; g < groups->GetCount(); ++g) {
        TGvGridGroup* grid = groups->GetGroups(g)->GetGrid();
        ASSERT_EQ(grid->ClassType(), TGvGridReportGroup::StaticClass());
        EXPECT_EQ(grid->GetColumnCount(), 1) << g;
        EXPECT_EQ(grid->GetRowCount(), groups->GetGroups(g)->VisibleItemCount()) << g;
    }
    groups->Rebuild(true);
    EXPECT_EQ(places(), laidOut);

    // Another view replaces the grids, and the report view comes back whole.
    LV->SetView(elsList);
    EXPECT_EQ(groups->GetGroups(5)->GetGrid()->ClassType(), TGvGridListGroup::StaticClass());
    LV->SetView(elsReport);
    EXPECT_EQ(places(), laidOut);
    ExpectLaidOut();
}

class GvItemBatchesTest : public qelvo::test::GvListviewFixture {
public:
    void OnFreeing(TCustomGvListview*, TGvItem* Item) { Freed.push_back(static_cast<int>(Item->GetTag())); }
    std::vector<int> Freed;
};

TEST_F(GvItemBatchesTest, BatchesOfEverySizeAndMixedKindsAreMadeAndFreedAsOneByOne) {
    LV->OnItemFreeing = TItemFreeingEvent(this, &GvItemBatchesTest::OnFreeing);
    std::vector<int> values(200);
    for (int count : {1, 31, 32, 33, 63, 64, 65, 200}) {
        SCOPED_TRACE(count);
        TGvGroup* group = LV->GetGroups()->Add(nullptr);
        TGvItems* items = group->GetItems();
        items->SetItemClass(TGvItemVirtual::StaticClass());
        std::vector<int*> data;
        for (int i = 0; i < count; ++i) data.push_back(&values[static_cast<size_t>(i)]);
        items->AddMany(data);
        // Stored items between them: the clear frees both kinds.
        items->SetItemClass(TGvItemStored::StaticClass());
        for (int i = 0; i < 3; ++i) items->Add(nullptr);
        ASSERT_EQ(items->GetCount(), count + 3);
        for (int i = 0; i < items->GetCount(); ++i) {
            TGvItem* item = items->GetItems(i);
            item->SetTag(i);
            EXPECT_EQ(item->ClassType(), i < count ? TGvItemVirtual::StaticClass() : TGvItemStored::StaticClass());
            if (i < count) {
                EXPECT_EQ(item->GetData(), &values[static_cast<size_t>(i)]);
            }
        }
        Freed.clear();
        items->Clear();
        EXPECT_EQ(items->GetCount(), 0);
        // Freed last to first, each once.
        std::vector<int> expected;
        for (int i = count + 2; i >= 0; --i) expected.push_back(i);
        EXPECT_EQ(Freed, expected);
    }
}

} // namespace
