// Items cleared and made by the collection at once: a cleared collection
// leaves no reference to its items anywhere in the list view, and its items'
// events fire as when each item is freed on its own; items made together
// are those Add makes one at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "gcl/Forms.h"
#include "listview/GvHints.h"
#include "listview/GvListview.h"
#include "listview/GvListviewFixture.h"

using namespace qelvo;

namespace {

// Of no built-in kind: its collection frees it the way every item was freed
// before, one at a time, which the bulk path must match.
class TOwnVirtualItem : public TGvItemVirtual {
    GCL_CLASS(TOwnVirtualItem, TGvItemVirtual)
protected:
    explicit TOwnVirtualItem(TGvCollection* ACollection) : TGvItemVirtual(ACollection) {}
};
GCL_IMPLEMENT_CLASS(TOwnVirtualItem)

class TOwnStoredItem : public TGvItemStored {
    GCL_CLASS(TOwnStoredItem, TGvItemStored)
public:
    wchar_t Note[100] = {};

protected:
    explicit TOwnStoredItem(TGvCollection* ACollection) : TGvItemStored(ACollection) {}
};
GCL_IMPLEMENT_CLASS(TOwnStoredItem)

class GvBulkItemsTest : public qelvo::test::GvListviewFixture {
protected:

public:
    void Log(const char* What, TGvItem* Item) {
        Events.push_back(std::string(What) + " " + std::to_string(Item->GetTag()) + (Item->GetVisible() ? " v" : " -") +
                         (Item->GetChecked() ? "c" : "-") + (Item->GetSelected() ? "s" : "-") +
                         (Item->GetFocused() ? "f" : "-") + (Item->IsDestroying() ? "d" : "-"));
    }
    void OnCheck(TCustomGvListview*, TGvItem* Item) { Log("check", Item); }
    void OnVisibility(TCustomGvListview*, TGvItem* Item) { Log("visibility", Item); }
    void OnFreeing(TCustomGvListview*, TGvItem* Item) { Log("freeing", Item); }
    void OnSelection(TCustomGvListview*, TGvItem* Item) { Log("selection", Item); }
    void OnFocus(TCustomGvListview*, TGvItem* Item) { Log("focus", Item); }
    void OnSelections(TCustomGvListview*) { Events.push_back("selections"); }
    void OnStructure(gcl::TObject*) { Events.push_back("structure"); }

    void AssignEvents(bool Visibility, bool Freeing) {
        LV->OnItemCheckChange = TItemCheckChangeEvent(this, &GvBulkItemsTest::OnCheck);
        LV->OnItemSelectionChanged = TItemSelectionChangeEvent(this, &GvBulkItemsTest::OnSelection);
        LV->OnItemFocusChanged = TItemFocusChangeEvent(this, &GvBulkItemsTest::OnFocus);
        LV->OnItemSelectionsChanged = TGvItemSelectionsChangedEvent(this, &GvBulkItemsTest::OnSelections);
        if (Visibility) LV->OnItemVisibilityChanged = TItemVisibilityChangeEvent(this, &GvBulkItemsTest::OnVisibility);
        if (Freeing) LV->OnItemFreeing = TItemFreeingEvent(this, &GvBulkItemsTest::OnFreeing);
    }

    // Six items of Kind in a first group, with every kind of reference the
    // list view keeps pointing at them, and one item in a second group
    // that keeps a reference of its own; then the first group's items are
    // cleared. The events of the clear are in Events.
    void ClearRichGroup(TGvCollectionItemClass Kind, bool AllowHiddenChecked, bool Visibility = true,
                        bool Freeing = true) {
        MakeRichGroup(Kind, AllowHiddenChecked, Visibility, Freeing);
        TGvGroup* first = LV->GetGroups()->GetGroups(0);
        TGvGroup* second = LV->GetGroups()->GetGroups(1);
        first->GetItems()->Clear();
        EXPECT_EQ(first->ItemCount(), 0);
        ExpectNoReferenceLeft();
        EXPECT_EQ(LV->GetCheckedCount(), 1);
        EXPECT_EQ(LV->GetSelection()->GetCount(), 0);
        EXPECT_EQ(second->GetItem(0), Other);
        EXPECT_TRUE(Other->GetChecked());
    }

    // The groups and references of ClearRichGroup, before the clear; the
    // first group's items in Rich.
    void MakeRichGroup(TGvCollectionItemClass Kind, bool AllowHiddenChecked, bool Visibility = true,
                       bool Freeing = true) {
        LV->SetAllowHiddenCheckedItems(AllowHiddenChecked);
        TGvSelectionManager* selection = LV->GetSelection();
        selection->SetMultiSelect(true);
        TGvGroup* first = LV->GetGroups()->Add(nullptr);
        TGvGroup* second = LV->GetGroups()->Add(nullptr);
        first->GetItems()->SetItemClass(Kind);
        std::vector<TGvItem*> items;
        for (int i = 0; i < 6; ++i) {
            items.push_back(first->GetItems()->Add(nullptr));
            items.back()->SetTag(i);
        }
        Other = second->GetItems()->Add(nullptr);
        Other->SetTag(100);
        items[1]->SetChecked(true);
        items[3]->SetChecked(true);
        items[5]->SetChecked(true);
        items[5]->SetVisible(false);  // checked and hidden where allowed
        items[2]->SetSelected(true);
        items[4]->SetSelected(true);
        selection->SetFocusedItem(items[4]);
        selection->SetAnchorItem(items[2]);
        LV->GetEditManager()->SetTabMoveFocusItem(items[1]);
        LV->GetCheckManager()->SetPendingObject(items[0]);
        LV->GetHotTrack()->SetPendingObjectCheck(items[3]);
        LV->GetHotTrack()->SetPendingObject(items[2], gcl::TPoint{1, 1});
        LV->GetHintData()->TargetObj = items[4];
        LV->GetHintInfo()->TargetObj = items[1];
        // What refers to the other group's item stays.
        Other->SetChecked(true);
        ASSERT_EQ(LV->GetCheckedCount(), AllowHiddenChecked ? 4 : 3);
        ASSERT_EQ(selection->GetCount(), 2);
        ASSERT_EQ(selection->GetFocusedItem(), items[4]);
        ASSERT_EQ(LV->GetHotTrack()->GetHotObject(), items[2]);
        AssignEvents(Visibility, Freeing);
        Events.clear();
        Rich = items;
    }

    void ExpectNoReferenceLeft() {
        TGvSelectionManager* selection = LV->GetSelection();
        EXPECT_EQ(selection->GetFocusedItem(), nullptr);
        EXPECT_EQ(selection->GetAnchorItem(), nullptr);
        EXPECT_EQ(LV->GetEditManager()->GetTabMoveFocusItem(), nullptr);
        EXPECT_EQ(LV->GetEditManager()->GetEditItem(), nullptr);
        EXPECT_EQ(LV->GetCheckManager()->GetPendingObject(), nullptr);
        EXPECT_EQ(LV->GetHotTrack()->GetHotCheckItem(), nullptr);
        EXPECT_EQ(LV->GetHotTrack()->GetHotObject(), nullptr);
        EXPECT_EQ(LV->GetHintData()->TargetObj, nullptr);
        EXPECT_EQ(LV->GetHintInfo()->TargetObj, nullptr);
    }

    TGvItem* Other = nullptr;
    std::vector<TGvItem*> Rich;
    std::vector<std::string> Events;
};

// Items a collection keeps while it frees the others (a filter that hides
// some of the tasks shown): those that go fire what a clear fires for
// them, in its order, and leave no reference behind; those kept stay as
// they were, in their order, with their choice, checks and references.
TEST_F(GvBulkItemsTest, ItemsKeptStayAsTheyWereAndTheOthersGoAsAClearTakesThem) {
    for (TGvCollectionItemClass kind : {TGvItemVirtual::StaticClass(), TOwnVirtualItem::StaticClass()}) {
        SCOPED_TRACE(kind->ClassName());
        ClearRichGroup(kind, false);
        const std::vector<std::string> cleared = Events;
        gcl::Free(LV);
        LV = TGvListview::Create(nullptr);
        MakeRichGroup(kind, false);
        TGvItems* items = LV->GetGroups()->GetGroups(0)->GetItems();
        items->Retain(std::vector<std::uint8_t>(6, 0));
        EXPECT_EQ(cleared, Events);
        EXPECT_EQ(items->GetCount(), 0);
        ExpectNoReferenceLeft();
        EXPECT_EQ(LV->GetCheckedCount(), 1);
        gcl::Free(LV);
        LV = TGvListview::Create(nullptr);

        // Items 1 (checked, the edit's next) and 4 (chosen, focused, under
        // a hint) stay; 0, 2, 3 and 5 go with every reference to them.
        MakeRichGroup(kind, false);
        items = LV->GetGroups()->GetGroups(0)->GetItems();
        const std::vector<TGvItem*> rich = Rich;
        EXPECT_THROW(items->Retain(std::vector<std::uint8_t>(5, 1)), gcl::EListError);
        items->Retain({0, 1, 0, 0, 1, 0});
        for (const std::string& event : Events)
            EXPECT_TRUE(event.find(" 1 ") == std::string::npos && event.find(" 4 ") == std::string::npos) << event;
        EXPECT_NE(std::find(Events.begin(), Events.end(), "freeing 0 ----d"), Events.end());
        EXPECT_NE(std::find(Events.begin(), Events.end(), "freeing 5 ----d"), Events.end());
        ASSERT_EQ(items->GetCount(), 2);
        EXPECT_EQ(items->GetItems(0), rich[1]);
        EXPECT_EQ(items->GetItems(1), rich[4]);
        EXPECT_EQ(rich[1]->GetIndex(), 0);
        EXPECT_EQ(rich[4]->GetIndex(), 1);
        EXPECT_TRUE(rich[1]->GetChecked());
        EXPECT_TRUE(rich[4]->GetSelected());
        EXPECT_FALSE(rich[1]->IsDestroying() || rich[4]->IsDestroying());
        TGvSelectionManager* selection = LV->GetSelection();
        EXPECT_EQ(selection->GetCount(), 1);
        EXPECT_EQ(selection->GetFocusedItem(), rich[4]);
        EXPECT_EQ(selection->GetAnchorItem(), nullptr);
        EXPECT_EQ(LV->GetEditManager()->GetTabMoveFocusItem(), rich[1]);
        EXPECT_EQ(LV->GetCheckManager()->GetPendingObject(), nullptr);
        EXPECT_EQ(LV->GetHotTrack()->GetHotCheckItem(), nullptr);
        EXPECT_EQ(LV->GetHotTrack()->GetHotObject(), nullptr);
        EXPECT_EQ(LV->GetHintData()->TargetObj, rich[4]);
        EXPECT_EQ(LV->GetHintInfo()->TargetObj, rich[1]);
        EXPECT_EQ(LV->GetCheckedCount(), 2);
        // Keeping every item changes nothing.
        Events.clear();
        items->Retain({1, 1});
        EXPECT_TRUE(Events.empty());
        EXPECT_EQ(items->GetCount(), 2);
        gcl::Free(LV);
        LV = TGvListview::Create(nullptr);
    }
}

TEST_F(GvBulkItemsTest, ABulkClearMatchesFreeingEachItemInEventsAndReferences) {
    for (bool allowHidden : {false, true}) {
        SCOPED_TRACE(allowHidden ? "hidden items keep their checks" : "hidden items lose their checks");
        // Items of the built-in kinds are cleared in bulk; the same items
        // of a kind of the program's own are freed one at a time.
        ClearRichGroup(TGvItemVirtual::StaticClass(), allowHidden);
        const std::vector<std::string> bulk = Events;
        gcl::Free(LV);
        LV = TGvListview::Create(nullptr);
        ClearRichGroup(TOwnVirtualItem::StaticClass(), allowHidden);
        EXPECT_EQ(bulk, Events);
        gcl::Free(LV);
        LV = TGvListview::Create(nullptr);
        ClearRichGroup(TGvItemStored::StaticClass(), allowHidden);
        EXPECT_EQ(bulk, Events);
        gcl::Free(LV);
        LV = TGvListview::Create(nullptr);
        // Focus and selection go first; then, last item first, each item's
        // check and visibility (in the order the setting asks for) and its
        // freeing; the selection batch ends with one notification.
        ASSERT_GE(bulk.size(), 3u);
        EXPECT_EQ(bulk[0], "selection 2 v---d");
        EXPECT_EQ(bulk[1], "focus 4 v-s-d");
        EXPECT_EQ(bulk[bulk.size() - 2], "freeing 0 ----d");
        EXPECT_EQ(bulk.back(), "selections");
        const std::vector<std::string> item3 =
            allowHidden ? std::vector<std::string>{"visibility 3 -c--d", "check 3 ----d", "freeing 3 ----d"}
                        : std::vector<std::string>{"check 3 v---d", "visibility 3 ----d", "freeing 3 ----d"};
        auto at = std::find(bulk.begin(), bulk.end(), item3[0]);
        ASSERT_LE(at + 3, bulk.end());
        EXPECT_EQ(std::vector<std::string>(at, at + 3), item3);

        // With only some handlers assigned (a check handler, as the task
        // list has), the same ones fire in the same order.
        for (int handlers = 0; handlers < 3; ++handlers) {
            const bool visibility = handlers == 1, freeing = handlers == 2;
            ClearRichGroup(TGvItemVirtual::StaticClass(), allowHidden, visibility, freeing);
            const std::vector<std::string> some = Events;
            gcl::Free(LV);
            LV = TGvListview::Create(nullptr);
            ClearRichGroup(TOwnVirtualItem::StaticClass(), allowHidden, visibility, freeing);
            EXPECT_EQ(some, Events);
            gcl::Free(LV);
            LV = TGvListview::Create(nullptr);
            if (handlers == 0) {
                EXPECT_EQ(some.size(), allowHidden ? 7u : 6u);
            }
        }
    }
}

TEST_F(GvBulkItemsTest, ClearingAllGroupsDropsEveryReferenceWithoutHandlers) {
    // No handler at all: nothing fires, and still nothing refers to an item.
    TGvSelectionManager* selection = LV->GetSelection();
    selection->SetMultiSelect(true);
    for (int g = 0; g < 3; ++g) {
        TGvGroup* group = LV->GetGroups()->Add(nullptr);
        group->GetItems()->SetItemClass(TGvItemVirtual::StaticClass());
        for (int i = 0; i < 500; ++i) {
            TGvItem* item = group->GetItems()->Add(nullptr);
            if (i % 3 == 0) item->SetChecked(true);
            if (i % 50 == 0) item->SetSelected(true);
        }
    }
    TGvItem* last = LV->GetGroups()->GetGroups(2)->GetItem(499);
    selection->SetFocusedItem(last);
    selection->SetAnchorItem(LV->GetGroups()->GetGroups(1)->GetItem(50));
    LV->GetHotTrack()->SetPendingObject(LV->GetGroups()->GetGroups(0)->GetItem(7), gcl::TPoint{});
    LV->GetHotTrack()->SetPendingObjectCheck(LV->GetGroups()->GetGroups(1)->GetItem(8));
    LV->GetEditManager()->SetTabMoveFocusItem(last);
    LV->GetCheckManager()->SetPendingObject(last);
    LV->GetHintData()->TargetObj = last;
    LV->GetHintInfo()->TargetObj = LV->GetGroups()->GetGroups(0)->GetItem(0);
    EXPECT_EQ(LV->GetCheckedCount(), 3 * 167);
    LV->GetGroups()->Clear();
    EXPECT_EQ(LV->GetGroups()->GetCount(), 0);
    ExpectNoReferenceLeft();
    EXPECT_EQ(LV->GetCheckedCount(), 0);
    EXPECT_EQ(selection->GetCount(), 0);
    EXPECT_EQ(selection->First(), nullptr);

    // The list view is whole afterwards: items come and go again, inside an
    // update bracket (where the pools keep their memory) and outside.
    for (int round = 0; round < 3; ++round) {
        LV->BeginUpdate();
        LV->GetItems()->Clear();
        for (int i = 0; i < 2000; ++i) LV->GetItems()->Add(nullptr)->SetTag(round * 10000 + i);
        LV->EndUpdate();
        ASSERT_EQ(LV->GetItems()->GetCount(), 2000);
        EXPECT_EQ(LV->GetItems()->GetItems(1999)->GetTag(), round * 10000 + 1999);
    }
}

TEST_F(GvBulkItemsTest, ItemsMadeTogetherAreThoseAddMakesOneByOne) {
    LV->OnItemStructureChange = gcl::TNotifyEvent(this, &GvBulkItemsTest::OnStructure);
    std::vector<int> values(700);
    std::vector<int*> data;
    for (int& v : values) data.push_back(&v);
    for (TGvCollectionItemClass kind : {TGvCollectionItemClass(TGvItemVirtual::StaticClass()),
                                        TGvCollectionItemClass(TGvItemStored::StaticClass()),
                                        TGvCollectionItemClass(TOwnStoredItem::StaticClass())}) {
        SCOPED_TRACE(kind->ClassName());
        TGvGroup* group = LV->GetGroups()->Add(nullptr);
        TGvItems* items = group->GetItems();
        items->SetItemClass(kind);
        TGvItem* first = items->Add(nullptr);
        Events.clear();
        items->AddMany(data);
        // One structure change for the whole batch.
        EXPECT_EQ(Events, std::vector<std::string>{"structure"});
        ASSERT_EQ(items->GetCount(), 701);
        EXPECT_EQ(items->GetItems(0), first);
        for (int i = 0; i < 700; ++i) {
            TGvItem* item = items->GetItems(i + 1);
            ASSERT_EQ(item->ClassType(), kind);
            EXPECT_EQ(item->GetData(), &values[static_cast<size_t>(i)]);
            EXPECT_EQ(item->GetIndex(), i + 1);
            EXPECT_EQ(item->OwnerGroup(), group);
            EXPECT_TRUE(item->GetVisible());
            EXPECT_TRUE(item->GetEnabled());
        }
        // They behave as any item: captions, checks, a single free.
        items->GetItems(5)->SetCaption(L"five");
        if (kind != TGvItemVirtual::StaticClass()) {
            EXPECT_EQ(items->GetItems(5)->GetCaption(), L"five");
        }
        items->GetItems(6)->SetChecked(true);
        EXPECT_EQ(LV->GetCheckedCount(), 1);
        gcl::Free(items->GetItems(6));
        EXPECT_EQ(LV->GetCheckedCount(), 0);
        EXPECT_EQ(items->GetCount(), 700);
        EXPECT_EQ(items->GetItems(6)->GetIndex(), 6);
        // None at all, or a class that makes no items: nothing happens.
        Events.clear();
        items->AddMany(std::vector<int*>{});
        EXPECT_TRUE(Events.empty());
    }
    TGvItems* items = LV->GetGroups()->GetGroups(0)->GetItems();
    items->SetItemClass(TGvColumnStored::StaticClass());
    items->AddMany(data);
    EXPECT_EQ(items->GetCount(), 700);
    LV->GetGroups()->Clear();
    EXPECT_EQ(LV->GetItems()->GetCount(), 0);
}

// Items freed one by one inside an update (their places are closed up
// once, not at each free): whatever reads the list in between, by index,
// by an item's index, by its neighbours, or adds, moves, swaps or sorts,
// finds the items left in their order, numbered by their places.
TEST_F(GvBulkItemsTest, ItemsFreedOneByOneInsideAnUpdateLeaveTheOthersInOrder) {
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    TGvGroup* other = LV->GetGroups()->Add(nullptr);
    TGvItems* items = group->GetItems();
    std::vector<TGvItem*> made;
    for (int i = 0; i < 20; ++i) {
        made.push_back(items->Add(nullptr));
        made.back()->SetTag(i);
    }
    auto tags = [](TGvItems* list) {
        std::vector<intptr_t> out;
        for (int i = 0; i < list->GetCount(); ++i) {
            EXPECT_EQ(list->GetItems(i)->GetIndex(), i);
            out.push_back(list->GetItems(i)->GetTag());
        }
        return out;
    };
    LV->BeginUpdate();
    gcl::Free(made[7]);
    gcl::Free(made[3]);
    EXPECT_EQ(items->GetCount(), 18);
    EXPECT_EQ(items->GetItems(2)->GetTag(), 2);
    EXPECT_EQ(made[19]->GetIndex(), 17);
    EXPECT_EQ(items->NextVisible(made[2]), made[4]);
    EXPECT_EQ(items->PrevVisible(made[8]), made[6]);
    EXPECT_EQ(items->GetItems(3)->GetTag(), 4);
    // From the end by index, every second one; then an item added and
    // one freed before it is read.
    for (int i = items->GetCount() - 1; i >= 12; i -= 2) gcl::Free(items->GetItems(i));
    TGvItem* added = items->Add(nullptr);
    added->SetTag(20);
    EXPECT_EQ(added->GetIndex(), 15);
    gcl::Free(made[0]);
    EXPECT_EQ(added->GetIndex(), 14);
    EXPECT_EQ(tags(items), (std::vector<intptr_t>{1, 2, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 16, 18, 20}));
    // Moved to the other group, reordered through the list itself (the
    // items' numbers no longer their places), then freed.
    gcl::Free(made[5]);
    other->GetItems()->MoveItem(made[6], 0);
    std::swap(items->List()[0], items->List()[1]);
    gcl::Free(made[9]);
    gcl::Free(made[2]);
    EXPECT_EQ(tags(items), (std::vector<intptr_t>{1, 4, 8, 10, 11, 12, 13, 14, 16, 18, 20}));
    EXPECT_EQ(tags(other->GetItems()), (std::vector<intptr_t>{6}));
    gcl::Free(made[18]);
    gcl::Free(made[1]);
    LV->EndUpdate();
    EXPECT_EQ(tags(items), (std::vector<intptr_t>{4, 8, 10, 11, 12, 13, 14, 16, 20}));
    EXPECT_EQ(LV->GetItems()->GetCount(), 10);
    // Every item freed but one, then the group cleared.
    LV->BeginUpdate();
    for (int i = items->GetCount() - 1; i > 0; --i) gcl::Free(items->GetItems(i - 1));
    EXPECT_EQ(tags(items), (std::vector<intptr_t>{20}));
    items->Clear();
    LV->EndUpdate();
    EXPECT_EQ(items->GetCount(), 0);
}

TEST_F(GvBulkItemsTest, EachItemMadeTogetherIsHandedOnAsItIsMade) {
    LV->OnItemStructureChange = gcl::TNotifyEvent(this, &GvBulkItemsTest::OnStructure);
    LV->OnItemCheckChange = TItemCheckChangeEvent(this, &GvBulkItemsTest::OnCheck);
    std::vector<int> values(300);
    struct TSource {
        std::vector<int>* Values;
        std::vector<std::string>* Events;
        int Start;  // where the batch begins in its collection
        int ThrowAt;
    };
    auto dataAt = [](const void* Source, int Index) -> void* {
        return &(*static_cast<const TSource*>(Source)->Values)[static_cast<size_t>(Index)];
    };
    // Each item arrives already in its collection, at its place, with its
    // data: a check or a tag set here counts as set on any item.
    auto made = [](const void* Source, int Index, TGvItem* Item) {
        const TSource* s = static_cast<const TSource*>(Source);
        if (Index == s->ThrowAt) throw gcl::Exception("no more");
        if (Item->GetData() != &(*s->Values)[static_cast<size_t>(Index)] || Item->GetIndex() != s->Start + Index ||
            Item->OwnerItems()->GetItems(s->Start + Index) != Item)
            s->Events->push_back("out of place " + std::to_string(Index));
        Item->SetTag(Index + 100);
        if (Index % 3 == 0) Item->SetChecked(true);
    };
    for (TGvCollectionItemClass kind : {TGvCollectionItemClass(TGvItemVirtual::StaticClass()),
                                        TGvCollectionItemClass(TOwnVirtualItem::StaticClass())}) {
        SCOPED_TRACE(kind->ClassName());
        TGvItems* items = LV->GetGroups()->Add(nullptr)->GetItems();
        items->SetItemClass(kind);
        items->Add(nullptr);
        Events.clear();
        TSource source{&values, &Events, 1, -1};
        items->AddMany(300, dataAt, &source, made);
        ASSERT_EQ(items->GetCount(), 301);
        EXPECT_EQ(LV->GetCheckedCount(), 100);
        // The check events, then one structure change for the batch.
        ASSERT_EQ(Events.size(), 101u);
        EXPECT_EQ(Events.front(), "check 100 vc---");
        EXPECT_EQ(Events.back(), "structure");
        for (int i = 0; i < 300; ++i) {
            TGvItem* item = items->GetItems(i + 1);
            EXPECT_EQ(item->GetTag(), i + 100);
            EXPECT_EQ(item->GetChecked(), i % 3 == 0);
        }
        // A handler that fails leaves the items made so far (the failing
        // one too, which is the collection's by then) and still reports
        // the change of structure.
        Events.clear();
        source.Start = 301;
        source.ThrowAt = 10;
        EXPECT_THROW(items->AddMany(300, dataAt, &source, made), gcl::Exception);
        ASSERT_EQ(items->GetCount(), 312);
        EXPECT_EQ(Events.back(), "structure");
        EXPECT_EQ(items->GetItems(311)->GetData(), &values[10]);
        EXPECT_EQ(LV->GetCheckedCount(), 104);
        // A failure past the first slots taken for a batch: the slots not
        // used go back, none that an item holds, so the items made next
        // take memory of their own.
        source.Start = 312;
        source.ThrowAt = 150;
        EXPECT_THROW(items->AddMany(300, dataAt, &source, made), gcl::Exception);
        ASSERT_EQ(items->GetCount(), 463);
        source.Start = 463;
        source.ThrowAt = -1;
        items->AddMany(300, dataAt, &source, made);
        ASSERT_EQ(items->GetCount(), 763);
        std::vector<TGvItem*> all;
        for (int i = 0; i < items->GetCount(); ++i) all.push_back(items->GetItems(i));
        std::sort(all.begin(), all.end());
        EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
        for (int i = 0; i < 300; ++i) {
            EXPECT_EQ(items->GetItems(463 + i)->GetData(), &values[static_cast<size_t>(i)]);
            EXPECT_EQ(items->GetItems(463 + i)->GetTag(), i + 100);
        }
        for (int i = 0; i <= 150; ++i) EXPECT_EQ(items->GetItems(312 + i)->GetData(), &values[static_cast<size_t>(i)]);
        EXPECT_EQ(std::count_if(Events.begin(), Events.end(),
                                [](const std::string& e) { return e.rfind("out of place", 0) == 0; }),
                  0);
        LV->GetGroups()->Clear();
        EXPECT_EQ(LV->GetCheckedCount(), 0);
    }
}

// A clear whose items never had a focus or selection walks them once; one
// whose items had them first takes those away. Either way every item is
// destroying before the first is freed, and the same events fire.
class GvClearWalkTest : public GvBulkItemsTest {
public:
    // Each event also says how many items of the cleared collection are
    // not destroying at that moment.
    void OnCheckCounted(TCustomGvListview*, TGvItem* Item) { Counted("check", Item); }
    void OnVisibilityCounted(TCustomGvListview*, TGvItem* Item) { Counted("visibility", Item); }
    void OnFreeingCounted(TCustomGvListview*, TGvItem* Item) {
        Counted("freeing", Item);
        // An item not yet freed cannot be selected any more.
        if (Item == Items.back() && !Items.front()->GetSelected()) Items.front()->SetSelected(true);
    }
    void Counted(const char* What, TGvItem* Item) {
        Log(What, Item);
        int alive = 0;
        for (int i = 0; i < Cleared->GetCount(); ++i)
            if (!Cleared->GetItems(i)->IsDestroying() ||
                !Cleared->GetItems(i)->HasState(esosDestroying) ||
                !Cleared->GetItems(i)->GetState().Contains(esosDestroying))
                ++alive;
        Events.back() += " alive " + std::to_string(alive);
    }

    // Eight items of Kind, some checked, one hidden; with Touched one of
    // them was selected and focused, and lost both, before the clear.
    std::vector<std::string> ClearEight(TGvCollectionItemClass Kind, bool Touched) {
        gcl::Free(LV);
        LV = TGvListview::Create(nullptr);
        LV->GetSelection()->SetMultiSelect(true);
        TGvGroup* group = LV->GetGroups()->Add(nullptr);
        Cleared = group->GetItems();
        Cleared->SetItemClass(Kind);
        Items.clear();
        for (int i = 0; i < 8; ++i) {
            Items.push_back(Cleared->Add(nullptr));
            Items.back()->SetTag(i);
            if (i % 3 != 1) Items.back()->SetChecked(true);
        }
        Items[4]->SetVisible(false);
        if (Touched) {
            Items[2]->SetSelected(true);
            LV->GetSelection()->SetFocusedItem(Items[2]);
            Items[2]->SetSelected(false);
            LV->GetSelection()->SetFocusedItem(nullptr);
        }
        EXPECT_EQ(LV->GetSelection()->GetCount(), 0);
        AssignEvents(false, false);
        LV->OnItemCheckChange = TItemCheckChangeEvent(this, &GvClearWalkTest::OnCheckCounted);
        LV->OnItemVisibilityChanged = TItemVisibilityChangeEvent(this, &GvClearWalkTest::OnVisibilityCounted);
        LV->OnItemFreeing = TItemFreeingEvent(this, &GvClearWalkTest::OnFreeingCounted);
        Events.clear();
        Cleared->Clear();
        EXPECT_EQ(Cleared->GetCount(), 0);
        EXPECT_EQ(LV->GetCheckedCount(), 0);
        EXPECT_EQ(LV->GetSelection()->GetCount(), 0);
        EXPECT_EQ(LV->GetSelection()->GetFocusedItem(), nullptr);
        return Events;
    }

    TGvItems* Cleared = nullptr;
    std::vector<TGvItem*> Items;
};

TEST_F(GvClearWalkTest, AClearOfItemsNeverSelectedFiresWhatTheFullClearFires) {
    for (TGvCollectionItemClass kind : {TGvCollectionItemClass(TGvItemVirtual::StaticClass()),
                                        TGvCollectionItemClass(TGvItemStored::StaticClass()),
                                        TGvCollectionItemClass(TOwnVirtualItem::StaticClass())}) {
        SCOPED_TRACE(kind->ClassName());
        const std::vector<std::string> once = ClearEight(kind, false);
        const std::vector<std::string> full = ClearEight(kind, true);
        EXPECT_EQ(once, full);
        // Last item first; no item is left alive while any event fires, and
        // the freeing handler's attempt to select one is refused.
        ASSERT_FALSE(once.empty());
        EXPECT_EQ(once.front(), "visibility 7 ----d alive 0");
        EXPECT_EQ(once.back(), "freeing 0 ----d alive 0");
        EXPECT_EQ(std::count_if(once.begin(), once.end(),
                                [](const std::string& e) { return e.rfind("selection", 0) == 0; }),
                  0);
    }
    // Items made and freed together keep the same events as well.
    const std::vector<std::string> once = ClearEight(TGvItemVirtual::StaticClass(), false);
    ClearEight(TOwnVirtualItem::StaticClass(), false);
    EXPECT_EQ(once, Events);
}

TEST_F(GvClearWalkTest, ItemsSelectedElsewhereLoseTheirSelectionWhenTheirNewGroupClears) {
    TGvSelectionManager* selection = LV->GetSelection();
    selection->SetMultiSelect(true);
    TGvGroup* start = LV->GetGroups()->Add(nullptr);
    start->GetItems()->SetItemClass(TGvItemStored::StaticClass());
    int tag = 0;
    for (const wchar_t* caption : {L"apple", L"banana", L"avocado", L"cherry"}) {
        TGvItem* item = start->GetItems()->Add(nullptr);
        item->SetCaption(caption);
        item->SetTag(tag++);
    }
    TGvItem* banana = start->GetItem(1);
    TGvItem* cherry = start->GetItem(3);
    banana->SetSelected(true);
    selection->SetFocusedItem(cherry);
    // Regrouping by first letter moves each item to a new group.
    LV->GetSort()->SetAutoRegroup(true);
    TGvGroups* groups = LV->GetGroups();
    ASSERT_EQ(groups->GetCount(), 3);
    ASSERT_NE(banana->OwnerGroup(), cherry->OwnerGroup());
    EXPECT_EQ(selection->GetCount(), 1);
    AssignEvents(false, false);
    Events.clear();
    banana->OwnerItems()->Clear();
    EXPECT_EQ(selection->GetCount(), 0);
    EXPECT_EQ(Events, (std::vector<std::string>{"selection 1 v---d", "selections"}));
    Events.clear();
    cherry->OwnerItems()->Clear();
    EXPECT_EQ(selection->GetFocusedItem(), nullptr);
    EXPECT_EQ(Events, (std::vector<std::string>{"focus 3 v---d"}));

    // An item moved by hand into another collection, selected, takes its
    // selection along as well.
    TGvItems* target = groups->GetGroups(0)->GetItems();
    TGvItems* source = LV->GetGroups()->Add(nullptr)->GetItems();
    TGvItem* moved = source->Add(nullptr);
    moved->SetTag(9);
    moved->SetSelected(true);
    target->MoveItem(moved, 0);
    source->Clear();
    EXPECT_EQ(selection->GetCount(), 1);
    Events.clear();
    target->Clear();
    EXPECT_EQ(selection->GetCount(), 0);
    ASSERT_FALSE(Events.empty());
    EXPECT_EQ(Events.front(), "selection 9 v---d");
}

TEST_F(GvClearWalkTest, ClearsInsideASelectionBatchLeaveTheSelectionRight) {
    TGvSelectionManager* selection = LV->GetSelection();
    selection->SetMultiSelect(true);
    TGvItems* kept = LV->GetGroups()->Add(nullptr)->GetItems();
    TGvItems* selected = LV->GetGroups()->Add(nullptr)->GetItems();
    TGvItems* untouched = LV->GetGroups()->Add(nullptr)->GetItems();
    for (TGvItems* items : {kept, selected, untouched})
        for (int i = 0; i < 40; ++i) items->Add(nullptr)->SetTag(i);
    AssignEvents(false, false);
    Events.clear();
    selection->BeginUpdate();
    kept->GetItems(3)->SetSelected(true);
    selected->GetItems(5)->SetSelected(true);
    selected->GetItems(6)->SetSelected(true);
    selection->SetFocusedItem(selected->GetItems(6));
    untouched->Clear();
    EXPECT_EQ(selection->GetCount(), 3);
    selected->Clear();
    EXPECT_EQ(selection->GetCount(), 1);
    EXPECT_EQ(selection->GetFocusedItem(), nullptr);
    EXPECT_EQ(std::count(Events.begin(), Events.end(), "selections"), 0);
    selection->EndUpdate();
    // One notice for the whole batch, and the item that stays is the one
    // selected.
    EXPECT_EQ(std::count(Events.begin(), Events.end(), "selections"), 1);
    EXPECT_EQ(Events.back(), "selections");
    EXPECT_EQ(selection->First(), kept->GetItems(3));
    EXPECT_EQ(selection->GetCount(), 1);
    // Refilled collections start with nothing seen: they clear in one walk
    // and the selection stays as it is.
    for (TGvItems* items : {selected, untouched})
        for (int i = 0; i < 40; ++i) items->Add(nullptr)->SetTag(100 + i);
    Events.clear();
    selected->Clear();
    untouched->Clear();
    EXPECT_TRUE(Events.empty());
    EXPECT_EQ(selection->First(), kept->GetItems(3));
    kept->Clear();
    EXPECT_EQ(selection->GetCount(), 0);
    EXPECT_EQ(selection->First(), nullptr);
}

} // namespace
