// Items made with the state they start in (AddStarted): their data, tag
// and check state are those given, the list view counts the checked ones,
// and from then on they behave as items whose state was set one by one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listview/GvListview.h"
#include "listview/GvListviewFixture.h"

using namespace qelvo;

namespace {

// Of no built-in kind: its check state and tag are set as anyone sets them.
class TOwnStartedItem : public TGvItemVirtual {
    GCL_CLASS(TOwnStartedItem, TGvItemVirtual)
protected:
    explicit TOwnStartedItem(TGvCollection* ACollection) : TGvItemVirtual(ACollection) {}
};
GCL_IMPLEMENT_CLASS(TOwnStartedItem)

class GvStartedItemsTest : public qelvo::test::GvListviewFixture {
public:
    void OnCheck(TCustomGvListview*, TGvItem* Item) { Checks.push_back(static_cast<int>(Item->GetTag())); }
    void OnStructure(gcl::TObject*) { ++Structures; }

    // Count items in Items, the I-th with Values[I] as data, tag I + 1000
    // and checked when I is a multiple of three (the first Count of them).
    struct TSource {
        std::vector<int>* Values;
    };
    static void StartAt(const void* Source, int Index, TGvItems::TItemStart& Start) {
        Start.Data = &(*static_cast<const TSource*>(Source)->Values)[static_cast<size_t>(Index)];
        Start.Tag = Index + 1000;
        Start.Checked = Index % 3 == 0;
    }

    std::vector<int> Checks;
    int Structures = 0;
};

TEST_F(GvStartedItemsTest, ItemsStartWithTheirDataTagAndCheckStateAsIfEachWereSet) {
    std::vector<int> values(200);
    TSource source{&values};
    for (TGvCollectionItemClass kind : {TGvCollectionItemClass(TGvItemVirtual::StaticClass()),
                                        TGvCollectionItemClass(TGvItemStored::StaticClass())}) {
        SCOPED_TRACE(kind->ClassName());
        LV->GetGroups()->Clear();
        // What the same items show when made one by one and then set.
        TGvGroup* byHand = LV->GetGroups()->Add(nullptr);
        byHand->GetItems()->SetItemClass(kind);
        for (int i = 0; i < 200; ++i) {
            TGvItem* item = byHand->GetItems()->Add(&values[static_cast<size_t>(i)]);
            item->SetTag(i + 1000);
            if (i % 3 == 0) item->SetChecked(true);
        }
        ASSERT_EQ(LV->GetCheckedCount(), 67);
        LV->OnItemCheckChange = TItemCheckChangeEvent(this, &GvStartedItemsTest::OnCheck);
        LV->OnItemStructureChange = gcl::TNotifyEvent(this, &GvStartedItemsTest::OnStructure);
        Checks.clear();
        Structures = 0;
        TGvGroup* started = LV->GetGroups()->Add(nullptr);
        TGvItems* items = started->GetItems();
        items->SetItemClass(kind);
        items->AddStarted(200, &GvStartedItemsTest::StartAt, &source);
        // No item changed: no check event; one structure change in all.
        EXPECT_TRUE(Checks.empty());
        EXPECT_EQ(Structures, 1);
        EXPECT_EQ(LV->GetCheckedCount(), 134);
        ASSERT_EQ(items->GetCount(), 200);
        for (int i = 0; i < 200; ++i) {
            TGvItem* item = items->GetItems(i);
            TGvItem* same = byHand->GetItems()->GetItems(i);
            ASSERT_EQ(item->ClassType(), kind);
            EXPECT_EQ(item->GetData(), same->GetData());
            EXPECT_EQ(item->GetTag(), same->GetTag());
            EXPECT_EQ(item->GetChecked(), i % 3 == 0);
            EXPECT_EQ(item->GetState(), same->GetState()) << i;
            EXPECT_EQ(item->GetIndex(), i);
        }
        // Unchecked by the user, or checked later, each counts and tells
        // as any item does.
        items->GetItems(0)->SetChecked(false);
        items->GetItems(1)->SetChecked(true);
        items->GetItems(3)->SetChecked(true);  // already checked: nothing
        EXPECT_EQ(Checks, (std::vector<int>{1000, 1001}));
        EXPECT_EQ(LV->GetCheckedCount(), 134);
        // Freed one at a time or all together, the count comes back down.
        gcl::Free(items->GetItems(3));
        EXPECT_EQ(LV->GetCheckedCount(), 133);
        LV->GetGroups()->Clear();
        EXPECT_EQ(LV->GetCheckedCount(), 0);
        LV->OnItemCheckChange = TItemCheckChangeEvent();
        LV->OnItemStructureChange = gcl::TNotifyEvent();
    }
}

TEST_F(GvStartedItemsTest, ItemsOfOtherKindsAreSetAsAnyoneSetsThem) {
    std::vector<int> values(7);
    TSource source{&values};
    LV->OnItemCheckChange = TItemCheckChangeEvent(this, &GvStartedItemsTest::OnCheck);
    TGvItems* items = LV->GetGroups()->Add(nullptr)->GetItems();
    items->SetItemClass(TOwnStartedItem::StaticClass());
    items->AddStarted(7, &GvStartedItemsTest::StartAt, &source);
    ASSERT_EQ(items->GetCount(), 7);
    EXPECT_EQ(items->GetItems(6)->ClassType(), TOwnStartedItem::StaticClass());
    EXPECT_EQ(items->GetItems(6)->GetTag(), 1006);
    EXPECT_EQ(Checks, (std::vector<int>{1000, 1003, 1006}));
    EXPECT_EQ(LV->GetCheckedCount(), 3);
    // None at all: nothing happens.
    Checks.clear();
    items->AddStarted(0, &GvStartedItemsTest::StartAt, &source);
    EXPECT_EQ(items->GetCount(), 7);
    EXPECT_TRUE(Checks.empty());
}

} // namespace
