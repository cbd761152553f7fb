// All groups freed by the groups' clear in one walk: the same events, in
// the same order, as when each group is freed on its own, and no reference
// left in the list view to a group or an item of one.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gcl/Forms.h"
#include "listview/GvHints.h"
#include "listview/GvListview.h"
#include "listview/GvListviewFixture.h"

using namespace qelvo;

namespace {

// Of no built-in kind: the walk frees it as every group was freed before.
class TOwnGroup : public TGvGroupVirtual {
    GCL_CLASS(TOwnGroup, TGvGroupVirtual)
protected:
    explicit TOwnGroup(TGvCollection* ACollection) : TGvGroupVirtual(ACollection) {}
};
GCL_IMPLEMENT_CLASS(TOwnGroup)

class GvGroupsWalkTest : public qelvo::test::GvListviewFixture {
public:
    void Log(const char* What, TGvCollectionItem* Entry) {
        Events.push_back(std::string(What) + " " + std::to_string(Entry->GetTag()) +
                         (Entry->GetVisible() ? " v" : " -") + (Entry->GetChecked() ? "c" : "-") +
                         (Entry->GetSelected() ? "s" : "-") + (Entry->GetFocused() ? "f" : "-") +
                         (Entry->IsDestroying() ? "d" : "-"));
    }
    void OnCheck(TCustomGvListview*, TGvItem* Item) { Log("check", Item); }
    void OnVisibility(TCustomGvListview*, TGvItem* Item) { Log("visibility", Item); }
    void OnFreeing(TCustomGvListview*, TGvItem* Item) { Log("freeing", Item); }
    void OnFocus(TCustomGvListview*, TGvItem* Item) { Log("focus", Item); }
    void OnSelection(TCustomGvListview*, TGvItem* Item) { Log("selection", Item); }
    void OnGroupFreeing(TCustomGvListview*, TGvGroup* Group) {
        Log("group freeing", Group);
        // Its items are gone by now.
        if (Group->ItemCount() != 0) Events.back() += " with items";
    }
    void OnStructure(gcl::TObject*) { Events.push_back("structure"); }

    // Four groups of GroupKind (tags 10..40) with three items each (tags
    // group + 0..2), the last group's items never made; some checked, one
    // hidden and checked, one selected and given up again; references of
    // every kind to groups and items. Pending: a Tab move pending
    // (an edit in progress), Focused: an item keeps the focus. Then the
    // groups are cleared; the events are returned.
    std::vector<std::string> ClearGroups(TGvCollectionItemClass GroupKind, bool Pending, bool Focused) {
        gcl::Free(LV);
        LV = TGvListview::Create(nullptr);
        LV->SetAllowHiddenCheckedItems(true);
        TGvSelectionManager* selection = LV->GetSelection();
        selection->SetMultiSelect(true);
        TGvGroups* groups = LV->GetGroups();
        groups->SetItemClass(GroupKind);
        std::vector<TGvGroup*> made;
        for (int g = 1; g <= 4; ++g) {
            TGvGroup* group = groups->Add(nullptr);
            group->SetTag(g * 10);
            made.push_back(group);
            if (g == 4) continue;
            group->GetItems()->SetItemClass(g == 2 ? TGvItemStored::StaticClass() : TGvItemVirtual::StaticClass());
            for (int i = 0; i < 3; ++i) {
                TGvItem* item = group->GetItems()->Add(nullptr);
                item->SetTag(g * 10 + i);
                if (i != 1) item->SetChecked(true);
            }
        }
        made[2]->GetItem(2)->SetVisible(false);
        made[1]->GetItem(1)->SetSelected(true);
        made[1]->GetItem(1)->SetSelected(false);
        selection->SetAnchorItem(made[0]->GetItem(1));
        LV->GetHotTrack()->SetPendingObject(made[2], gcl::TPoint{1, 1});
        LV->GetHotTrack()->SetPendingObjectCheck(made[1]->GetItem(0));
        LV->GetCheckManager()->SetPendingObject(made[0]->GetItem(2));
        LV->GetHintData()->TargetObj = made[1];
        LV->GetHintInfo()->TargetObj = made[2]->GetItem(0);
        if (Pending) LV->GetEditManager()->SetTabMoveFocusItem(made[0]->GetItem(0));
        if (Focused) selection->SetFocusedItem(made[2]->GetItem(1));
        EXPECT_EQ(LV->GetCheckedCount(), 6);
        LV->OnItemCheckChange = TItemCheckChangeEvent(this, &GvGroupsWalkTest::OnCheck);
        LV->OnItemVisibilityChanged = TItemVisibilityChangeEvent(this, &GvGroupsWalkTest::OnVisibility);
        LV->OnItemFreeing = TItemFreeingEvent(this, &GvGroupsWalkTest::OnFreeing);
        LV->OnItemFocusChanged = TItemFocusChangeEvent(this, &GvGroupsWalkTest::OnFocus);
        LV->OnGroupFreeing = TGroupFreeingEvent(this, &GvGroupsWalkTest::OnGroupFreeing);
        LV->OnItemStructureChange = gcl::TNotifyEvent(this, &GvGroupsWalkTest::OnStructure);
        Events.clear();
        groups->Clear();
        EXPECT_EQ(groups->GetCount(), 0);
        EXPECT_EQ(LV->GetCheckedCount(), 0);
        EXPECT_EQ(selection->GetCount(), 0);
        EXPECT_EQ(selection->GetFocusedItem(), nullptr);
        EXPECT_EQ(selection->GetAnchorItem(), nullptr);
        EXPECT_EQ(LV->GetEditManager()->GetTabMoveFocusItem(), nullptr);
        EXPECT_EQ(LV->GetCheckManager()->GetPendingObject(), nullptr);
        EXPECT_EQ(LV->GetHotTrack()->GetHotObject(), nullptr);
        EXPECT_EQ(LV->GetHotTrack()->GetHotCheckItem(), nullptr);
        EXPECT_EQ(LV->GetHintData()->TargetObj, nullptr);
        EXPECT_EQ(LV->GetHintInfo()->TargetObj, nullptr);
        return Events;
    }

    std::vector<std::string> Events;
};

TEST_F(GvGroupsWalkTest, TheOneWalkFiresWhatFreeingEachGroupFires) {
    for (bool focused : {false, true}) {
        SCOPED_TRACE(focused ? "an item keeps the focus" : "no focus");
        // Without an edit pending the groups of the built-in kinds go in the
        // one walk; with one, and for a kind of the program's own, each
        // group is freed on its own.
        const std::vector<std::string> walk = ClearGroups(TGvGroupVirtual::StaticClass(), false, focused);
        EXPECT_EQ(walk, ClearGroups(TGvGroupStored::StaticClass(), false, focused));
        EXPECT_EQ(walk, ClearGroups(TOwnGroup::StaticClass(), false, focused));
        EXPECT_EQ(walk, ClearGroups(TGvGroupVirtual::StaticClass(), true, focused));
        EXPECT_EQ(walk, ClearGroups(TOwnGroup::StaticClass(), true, focused));

        // Last group first; each group's items last first, then the items'
        // structure change, then the group's freeing; a group without
        // items has neither of the first two.
        ASSERT_FALSE(walk.empty());
        EXPECT_EQ(walk.front(), "group freeing 40 v---d");
        auto at = [&](const std::string& e) { return std::find(walk.begin(), walk.end(), e) - walk.begin(); };
        if (focused) {
            // The focus goes when its own group's items are cleared.
            EXPECT_EQ(walk[1], "focus 31 v---d");
        }
        EXPECT_LT(at("freeing 32 ----d"), at("freeing 30 ----d"));
        EXPECT_LT(at("freeing 30 ----d"), at("group freeing 30 v---d"));
        EXPECT_EQ(walk[static_cast<size_t>(at("group freeing 30 v---d")) - 1], "structure");
        EXPECT_LT(at("group freeing 30 v---d"), at("freeing 22 ----d"));
        EXPECT_LT(at("group freeing 20 v---d"), at("freeing 12 ----d"));
        EXPECT_EQ(walk.back(), "group freeing 10 v---d");
        EXPECT_EQ(std::count(walk.begin(), walk.end(), "structure"), 3);
        // The hidden checked item keeps its check until it goes.
        EXPECT_NE(std::find(walk.begin(), walk.end(), "check 32 ----d"), walk.end());
        EXPECT_EQ(std::count_if(walk.begin(), walk.end(),
                                [](const std::string& e) { return e.find("with items") != std::string::npos; }),
                  0);
    }
}

TEST_F(GvGroupsWalkTest, AFocusAndSelectionsAmongManyGroupsGoAsEachGroupsOwnFreeTakesThem) {
    // Hundreds of small groups, items chosen in several of them and one
    // focused: the groups around the focused one's go in the walk, and
    // the events are those of freeing every group on its own.
    auto clear = [&](TGvCollectionItemClass GroupKind) {
        gcl::Free(LV);
        LV = TGvListview::Create(nullptr);
        TGvSelectionManager* selection = LV->GetSelection();
        selection->SetMultiSelect(true);
        TGvGroups* groups = LV->GetGroups();
        groups->SetItemClass(GroupKind);
        for (int g = 0; g < 300; ++g) {
            TGvGroup* group = groups->Add(nullptr);
            group->SetTag(g * 10);
            group->GetItems()->SetItemClass(TGvItemVirtual::StaticClass());
            for (int i = 0; i < 3; ++i) group->GetItems()->Add(nullptr)->SetTag(g * 10 + i);
        }
        for (int g : {0, 150, 299}) groups->GetGroups(g)->GetItem(1)->SetSelected(true);
        selection->SetFocusedItem(groups->GetGroups(150)->GetItem(2));
        selection->SetAnchorItem(groups->GetGroups(7)->GetItem(0));
        LV->GetHotTrack()->SetPendingObjectCheck(groups->GetGroups(150)->GetItem(0));
        LV->OnItemSelectionChanged = TItemSelectionChangeEvent(this, &GvGroupsWalkTest::OnSelection);
        LV->OnItemFocusChanged = TItemFocusChangeEvent(this, &GvGroupsWalkTest::OnFocus);
        LV->OnGroupFreeing = TGroupFreeingEvent(this, &GvGroupsWalkTest::OnGroupFreeing);
        Events.clear();
        groups->Clear();
        EXPECT_EQ(groups->GetCount(), 0);
        EXPECT_EQ(selection->GetCount(), 0);
        EXPECT_EQ(selection->GetFocusedItem(), nullptr);
        EXPECT_EQ(selection->GetAnchorItem(), nullptr);
        EXPECT_EQ(LV->GetHotTrack()->GetHotCheckItem(), nullptr);
        return Events;
    };
    const std::vector<std::string> walk = clear(TGvGroupVirtual::StaticClass());
    EXPECT_EQ(walk, clear(TOwnGroup::StaticClass()));
    EXPECT_EQ(std::count(walk.begin(), walk.end(), "focus 1502 v---d"), 1);
    auto at = [&](const std::string& e) { return std::find(walk.begin(), walk.end(), e) - walk.begin(); };
    EXPECT_LT(at("selection 2991 v---d"), at("group freeing 2990 v---d"));
    EXPECT_LT(at("group freeing 1510 v---d"), at("selection 1501 v---d"));
    EXPECT_LT(at("selection 1501 v---d"), at("focus 1502 v---d"));
    EXPECT_LT(at("focus 1502 v---d"), at("group freeing 1500 v---d"));
    EXPECT_LT(at("group freeing 1500 v---d"), at("selection 1 v---d"));
    EXPECT_EQ(walk.back(), "group freeing 0 v---d");
    EXPECT_EQ(std::count_if(walk.begin(), walk.end(),
                            [](const std::string& e) { return e.rfind("group freeing", 0) == 0; }),
              300);
}

TEST_F(GvGroupsWalkTest, AClearUnderAutoSortComparesNoGroupItFrees) {
    // With auto-sort on, the clear of the groups, in the walk or group by
    // group, leaves nothing to sort: no group is compared, none is asked
    // for once freed, and the items' structure changes still fire.
    for (TGvCollectionItemClass kind : {TGvGroupVirtual::StaticClass(), TOwnGroup::StaticClass()}) {
        SCOPED_TRACE(kind->ClassName());
        gcl::Free(LV);
        LV = TGvListview::Create(nullptr);
        TGvGroups* groups = LV->GetGroups();
        groups->SetItemClass(kind);
        for (int g = 0; g < 6; ++g) {
            TGvGroup* group = groups->Add(nullptr);
            group->SetTag(g);
            for (int i = 0; i < 2; ++i) group->GetItems()->Add(nullptr)->SetTag(g * 10 + i);
        }
        int compared = 0;
        struct TCounter {
            int* Count;
            int Compare(TCustomGvListview*, TGvGroup*, TGvGroup*) {
                ++*Count;
                return 0;
            }
        } counter{&compared};
        LV->OnGroupCompare = TGroupCompareEvent(&counter, &TCounter::Compare);
        LV->OnItemStructureChange = gcl::TNotifyEvent(this, &GvGroupsWalkTest::OnStructure);
        LV->GetSort()->SetAutoSort(true);
        compared = 0;
        Events.clear();
        groups->Clear();
        EXPECT_EQ(compared, 0);
        EXPECT_EQ(std::count(Events.begin(), Events.end(), "structure"), 6);
        EXPECT_EQ(groups->GetCount(), 0);
    }
}

TEST_F(GvGroupsWalkTest, GroupsAndItemsComeBackWholeAfterTheWalk) {
    // Many small groups, freed in one walk inside an update bracket and
    // outside, then made again: the list's counts and indexes are right.
    TGvGroups* groups = LV->GetGroups();
    groups->SetItemClass(TGvGroupVirtual::StaticClass());
    for (int round = 0; round < 3; ++round) {
        const bool bracket = round != 1;
        if (bracket) LV->BeginUpdate();
        groups->Clear();
        for (int g = 0; g < 400; ++g) {
            TGvGroup* group = groups->Add(nullptr);
            group->SetTag(g);
            group->GetItems()->SetItemClass(TGvItemVirtual::StaticClass());
            for (int i = 0; i < g % 4; ++i) {
                TGvItem* item = group->GetItems()->Add(nullptr);
                item->SetTag(g * 10 + i);
                item->SetChecked(i == 1);
            }
        }
        if (bracket) LV->EndUpdate();
        ASSERT_EQ(groups->GetCount(), 400);
        EXPECT_EQ(LV->GetItems()->GetCount(), 100 * (0 + 1 + 2 + 3));
        EXPECT_EQ(LV->GetCheckedCount(), 200);
        EXPECT_EQ(groups->GetGroups(399)->GetIndex(), 399);
        EXPECT_EQ(groups->GetGroups(399)->GetItem(2)->GetTag(), 3992);
        EXPECT_EQ(groups->GetGroups(7)->GetItem(2)->GetIndex(), 2);
    }
    groups->Clear();
    EXPECT_EQ(LV->GetItems()->GetCount(), 0);
    EXPECT_EQ(LV->GetCheckedCount(), 0);
}


// Items started as the I-th of a refill: data &Values[I], tag I + 1000,
// checked when I is a multiple of three.
struct TRefill {
    std::vector<int>* Values;
};
void RefillAt(const void* Source, int Index, TGvItems::TItemStart& Start) {
    Start.Data = &(*static_cast<const TRefill*>(Source)->Values)[static_cast<size_t>(Index)];
    Start.Tag = Index + 1000;
    Start.Checked = Index % 3 == 0;
}

TEST_F(GvGroupsWalkTest, ItemsMadeAfterTheWalkInOneUpdateStartAsNewItems) {
    // A refill: groups cleared inside an update bracket and made again in
    // it, the pools holding the memory of the items freed for the items
    // made. These start as new items all the same (no state, place, check
    // or caption of an item freed), and the checked count is right once
    // the bracket ends, with fewer items, more, or of another kind.
    std::vector<int> values(300);
    TRefill source{&values};
    TGvGroups* groups = LV->GetGroups();
    groups->SetItemClass(TGvGroupVirtual::StaticClass());
    auto fillOld = [&](int Groups, TGvCollectionItemClass Kind) {
        for (int g = 0; g < Groups; ++g) {
            TGvItems* items = groups->Add(nullptr)->GetItems();
            items->SetItemClass(Kind);
            for (int i = 0; i < 40; ++i) {
                TGvItem* item = items->Add(nullptr);
                item->SetTag(g * 100 + i);
                item->SetChecked(i % 2 == 0);
                item->SetBold(i % 5 == 0);
                item->SetCut(i % 7 == 0);
                item->SetGhosted(i % 4 == 1);
                item->SetMarked(i % 6 == 1);
                item->SetCaptions(0, L"old caption");
                if (i == 9) item->SetVisible(false);
                if (i == 11) item->SetEnabled(false);
            }
        }
    };
    auto expectNew = [&](TGvItems* Items, int Count, TGvCollectionItemClass Kind) {
        ASSERT_EQ(Items->GetCount(), Count);
        for (int i = 0; i < Count; ++i) {
            SCOPED_TRACE(i);
            const TGvItem* item = Items->GetItems(i);
            ASSERT_EQ(item->ClassType(), Kind);
            EXPECT_EQ(item->GetData(), &values[static_cast<size_t>(i)]);
            EXPECT_EQ(item->GetTag(), i + 1000);
            EXPECT_EQ(item->GetIndex(), i);
            EXPECT_EQ(item->OwnerItems(), Items);
            EXPECT_EQ(item->GetChecked(), i % 3 == 0);
            EXPECT_TRUE(item->GetVisible() && item->GetEnabled());
            EXPECT_FALSE(item->GetBold() || item->GetCut() || item->GetGhosted() || item->GetMarked() ||
                         item->GetSelected() || item->GetFocused() || item->GetHotTracking() ||
                         item->GetInitialized() || item->IsDestroying());
            EXPECT_EQ(item->GetSelectionGroup(), nullptr);
            EXPECT_EQ(item->GetPaintInfo(), nullptr);
            if (Kind == TGvItemStored::StaticClass()) {
                EXPECT_EQ(item->GetCaptions(0), L"");
            }
        }
    };
    auto checkedOf = [](int Count) { return (Count + 2) / 3; };
    // Old groups of 40 items of OldKind replaced, in one update, by groups
    // of Counts items of Kind.
    auto refill = [&](int OldGroups, TGvCollectionItemClass OldKind, const std::vector<int>& Counts,
                      TGvCollectionItemClass Kind) {
        groups->Clear();
        fillOld(OldGroups, OldKind);
        LV->BeginUpdate();
        groups->Clear();
        int checked = 0;
        for (int count : Counts) {
            TGvItems* items = groups->Add(nullptr)->GetItems();
            items->SetItemClass(Kind);
            items->AddStarted(count, &RefillAt, &source);
            checked += checkedOf(count);
        }
        LV->EndUpdate();
        ASSERT_EQ(groups->GetCount(), static_cast<int>(Counts.size()));
        for (size_t g = 0; g < Counts.size(); ++g)
            expectNew(groups->GetGroups(static_cast<int>(g))->GetItems(), Counts[g], Kind);
        EXPECT_EQ(LV->GetCheckedCount(), checked);
    };
    for (TGvCollectionItemClass kind : {TGvCollectionItemClass(TGvItemVirtual::StaticClass()),
                                        TGvCollectionItemClass(TGvItemStored::StaticClass())}) {
        SCOPED_TRACE(kind->ClassName());
        // More items than were freed, fewer, and of the other kind.
        refill(3, kind, {100, 50}, kind);
        EXPECT_EQ(LV->GetItems()->GetCount(), 150);
        refill(4, kind, {30}, kind);
        refill(1, kind, {60},
               kind == TGvItemVirtual::StaticClass() ? TGvCollectionItemClass(TGvItemStored::StaticClass())
                                                     : TGvCollectionItemClass(TGvItemVirtual::StaticClass()));
    }

    // A handler that follows the items' frees sees each of them go at the
    // clear, as outside a bracket, an item once chosen among them too.
    groups->Clear();
    fillOld(2, TGvItemVirtual::StaticClass());
    groups->GetGroups(1)->GetItem(3)->SetSelected(true);
    groups->GetGroups(1)->GetItem(3)->SetSelected(false);
    LV->BeginUpdate();
    LV->OnItemFreeing = TItemFreeingEvent(this, &GvGroupsWalkTest::OnFreeing);
    groups->Clear();
    EXPECT_EQ(Events.size(), 80u);
    LV->OnItemFreeing = TItemFreeingEvent();
    TGvItems* after = groups->Add(nullptr)->GetItems();
    after->SetItemClass(TGvItemVirtual::StaticClass());
    after->AddStarted(20, &RefillAt, &source);
    LV->EndUpdate();
    expectNew(after, 20, TGvItemVirtual::StaticClass());
    EXPECT_EQ(LV->GetCheckedCount(), checkedOf(20));
}

} // namespace
