// The list view's input on a real window: hit tests of groups and items,
// range, rectangle and band selection.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <vector>

#include "gcl/Forms.h"
#include "listview/GvListview.h"
#include "listview/GvWindowFixture.h"

using namespace qelvo;
using gcl::TPoint;
using gcl::TRect;

namespace {

// A report view with two groups of five items each and two columns.
class GvInputTest : public qelvo::test::GvWindowFixture {
protected:
    void SetUp() override {
        MakeListview(320, 240);
        LV->BeginUpdate();
        LV->SetView(elsReport);
        LV->GetHeader()->SetVisible(true);
        LV->GetHeader()->SetAutoSizeHeight(false);
        TGvColumns* columns = LV->GetHeader()->GetColumns();
        columns->Add(nullptr)->SetWidth(150);
        columns->Add(nullptr)->SetWidth(100);
        for (int g = 0; g < 2; ++g) {
            TGvGroup* group = LV->GetGroups()->Add(nullptr);
            group->SetCaption(g == 0 ? L"First" : L"Second");
            for (int i = 0; i < 5; ++i) {
                TGvItem* item = group->GetItems()->Add(nullptr);
                item->SetCaption(L"Item " + std::to_wstring(g * 5 + i));
                item->SetCaptions(1, L"x");
            }
        }
        LV->EndUpdate();
    }

    TGvItem* Item(int Index) const { return LV->GetItems()->GetItems(Index); }
    TGvGroup* Group(int Index) const { return LV->GetGroups()->GetGroups(Index); }
    // The centre of an item's caption text (view coordinates).
    TPoint TextCentre(TGvItem* item) {
        TGvRectArrayObject R;
        item->RectArray(nullptr, R);
        return TPoint{(R.TextRect.Left + R.TextRect.Right) / 2, (R.TextRect.Top + R.TextRect.Bottom) / 2};
    }
    std::vector<int> Selected() const {
        std::vector<int> result;
        for (int i = 0; i < LV->GetItems()->GetCount(); ++i)
            if (Item(i)->GetSelected()) result.push_back(i);
        return result;
    }
};

TEST_F(GvInputTest, GroupHitTestFindsTheMarginAndItsPart) {
    LV->SetShowGroupMargins(true);
    TGvGroup* group = Group(0);
    const TRect top = group->MarginRectTop();
    ASSERT_FALSE(gcl::IsRectEmpty(top));
    TGvGroupHitTestInfoSet hit;
    // The expand button sits at the left of the caption band.
    TGvRectArrayObject R;
    LV->GroupView()->GroupRectArray(group, gmeTop, top, R);
    ASSERT_FALSE(gcl::IsRectEmpty(R.ExpandButtonRect));
    EXPECT_TRUE(group->HitTestAt(TPoint{R.ExpandButtonRect.Left + 1, R.ExpandButtonRect.Top + 1}, hit));
    EXPECT_TRUE(hit.Contains(egtOnHeader));
    EXPECT_TRUE(hit.Contains(egtOnExpandButton));
    EXPECT_FALSE(hit.Contains(egtOnText));
    // The caption's text.
    EXPECT_TRUE(group->HitTestAt(TPoint{R.TextRect.Left + 2, (R.TextRect.Top + R.TextRect.Bottom) / 2}, hit));
    EXPECT_TRUE(hit.Contains(egtOnHeader));
    EXPECT_TRUE(hit.Contains(egtOnText));
    EXPECT_FALSE(hit.Contains(egtOnExpandButton));
    // An item row is no margin.
    const TRect row = Item(0)->GetDisplayRect();
    EXPECT_FALSE(group->HitTestAt(TPoint{row.Left + 5, row.Top + 2}, hit));
    EXPECT_TRUE(hit.Empty());
    // Without margins nothing of a margin is ever hit.
    LV->SetShowGroupMargins(false);
    EXPECT_FALSE(group->HitTestAt(TPoint{R.TextRect.Left + 2, (R.TextRect.Top + R.TextRect.Bottom) / 2}, hit));
}

TEST_F(GvInputTest, ItemHitTestAndSelectableArea) {
    LV->GetPaintInfoItem()->SetCheckType(ectBox);
    LV->GetGroups()->Rebuild(true);
    TGvItem* item = Item(2);
    TGvRectArrayObject R;
    item->RectArray(nullptr, R);
    ASSERT_GT(R.TextRect.Width(), 10);  // measured with the control's canvas
    TGvItemHitTestInfoSet hit;
    const TPoint check{(R.CheckRect.Left + R.CheckRect.Right) / 2, (R.CheckRect.Top + R.CheckRect.Bottom) / 2};
    EXPECT_TRUE(item->HitTestAt(check, hit));
    EXPECT_TRUE(hit.Contains(ehtOnCheck));
    EXPECT_FALSE(hit.Contains(ehtOnText));
    EXPECT_TRUE(item->HitTestAt(TextCentre(item), hit));
    EXPECT_TRUE(hit.Contains(ehtOnText));
    EXPECT_TRUE(hit.Contains(ehtOnLabel));
    EXPECT_TRUE(hit.Contains(ehtOnClickSelectBounds));
    EXPECT_FALSE(hit.Contains(ehtOnCheck));
    // The second column has no check box: its cell answers for itself.
    const TRect cell = LV->GetHeader()->GetColumns()->GetColumns(1)->GetDisplayRect();
    const TPoint inSecond{cell.Left + 8, (item->GetDisplayRect().Top + item->GetDisplayRect().Bottom) / 2};
    EXPECT_TRUE(item->HitTestAt(inSecond, hit));
    EXPECT_FALSE(hit.Contains(ehtOnCheck));

    // Without full-row selection only the icon and caption select; with it,
    // the whole row.
    EXPECT_TRUE(item->SelectionHitPt(TextCentre(item)));
    const TPoint farRight{item->GetDisplayRect().Right - 3, item->GetDisplayRect().Top + 2};
    EXPECT_FALSE(item->SelectionHitPt(farRight));
    LV->GetSelection()->SetFullRowSelect(true);
    EXPECT_TRUE(item->SelectionHitPt(farRight));
    // A disabled item is never hit.
    item->SetEnabled(false);
    EXPECT_FALSE(item->SelectionHitPt(farRight));
}

TEST_F(GvInputTest, RangeSelectionRunsAcrossGroupsInEitherOrder) {
    TGvSelectionManager* selection = LV->GetSelection();
    selection->SetMultiSelect(true);
    selection->SelectRange(Item(3), Item(6), false, true);
    EXPECT_EQ(Selected(), (std::vector<int>{3, 4, 5, 6}));
    selection->SelectRange(Item(7), Item(2), false, true);
    EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4, 5, 6, 7}));
    // Without clearing first the old selection stays.
    selection->ClearAll();
    Item(0)->SetSelected(true);
    selection->SelectRange(Item(8), Item(9), false, false);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 8, 9}));
    // Hidden items are passed over.
    Item(4)->SetVisible(false);
    selection->SelectRange(Item(3), Item(5), false, true);
    EXPECT_EQ(Selected(), (std::vector<int>{3, 5}));
    // Single selection: nothing.
    selection->SetMultiSelect(false);
    selection->SelectRange(Item(0), Item(2), false, true);
    EXPECT_TRUE(Selected().empty());
}

TEST_F(GvInputTest, BandSelectionFollowsTheBand) {
    TGvSelectionManager* selection = LV->GetSelection();
    selection->SetMultiSelect(true);
    selection->SetFullRowSelect(true);
    int changes = 0;
    struct Counter {
        int* Count;
        void Changed(TCustomGvListview*) { ++*Count; }
    } counter{&changes};
    LV->OnItemSelectionsChanged = TGvItemSelectionsChangedEvent(&counter, &Counter::Changed);
    const TRect r1 = Item(1)->GetDisplayRect();
    const TRect r3 = Item(3)->GetDisplayRect();
    // A band from row 1 to row 3.
    TRect band{r1.Left + 5, r1.Top + 2, r1.Left + 40, r3.Top + 2};
    selection->DragSelect(TCommonKeyStates{}, band, TRect{});
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(changes, 1);
    // Shrunk back to row 2: rows the band left are deselected.
    TRect smaller{band.Left, band.Top, band.Right, Item(2)->GetDisplayRect().Top + 2};
    selection->DragSelect(TCommonKeyStates{}, smaller, band);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2}));
    // With Ctrl each row the band passes over flips.
    selection->ClearAll();
    Item(2)->SetSelected(true);
    selection->DragSelect(TCommonKeyStates{cksControl}, band, TRect{});
    EXPECT_EQ(Selected(), (std::vector<int>{1, 3}));
    // A band of one point still selects the row under it.
    selection->ClearAll();
    const TRect r4 = Item(4)->GetDisplayRect();
    selection->SelectRect(TRect{r4.Left + 5, r4.Top + 1, r4.Left + 6, r4.Top + 2}, false);
    EXPECT_EQ(Selected(), (std::vector<int>{4}));
}

} // namespace
