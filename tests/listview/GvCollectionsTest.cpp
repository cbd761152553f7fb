// Items, groups and columns collections, the state word protocol of their
// entries, the stored / virtual / interfaced kinds and the references the
// managers hold to entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gcl/Forms.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"
#include "listview/GvListview.h"
#include "listview/GvListviewFixture.h"

using namespace qelvo;

namespace {

// A stored item larger than the item slots: its memory comes from the heap.
class TBigItem : public TGvItemStored {
    GCL_CLASS(TBigItem, TGvItemStored)
public:
    ~TBigItem() override { ++Destroyed; }
    wchar_t Note[200] = {};
    static int Destroyed;

protected:
    explicit TBigItem(TGvCollection* ACollection) : TGvItemStored(ACollection) {}
};
GCL_IMPLEMENT_CLASS(TBigItem)
int TBigItem::Destroyed = 0;

// A paint info that counts its destructions.
class TCountedPaintInfo : public TGvPaintInfoItem {
    GCL_CLASS(TCountedPaintInfo, TGvPaintInfoItem)
public:
    explicit TCountedPaintInfo(TCustomGvListview* AOwner) : TGvPaintInfoItem(AOwner) {}
    ~TCountedPaintInfo() override { ++Destroyed; }
    static int Destroyed;
};
GCL_IMPLEMENT_CLASS(TCountedPaintInfo)
int TCountedPaintInfo::Destroyed = 0;

class GvCollectionsTest : public qelvo::test::GvListviewFixture {
protected:

public:

    TGvItem* AddItem(TGvGroup* group, const std::wstring& caption) {
        TGvItem* item = group->GetItems()->Add(nullptr);
        item->SetCaption(caption);
        return item;
    }

    // Event recorders.
    void Log(const std::string& s) { Events.push_back(s); }
    void OnItemCheckChanging(TCustomGvListview*, TGvItem*, bool& Allow) {
        Log("checking");
        Allow = AllowChecks;
    }
    void OnItemFocusChanging(TCustomGvListview*, TGvItem* Item, bool& Allow) {
        if (Item == Sticky && Item->GetFocused()) Allow = false;
    }
    void OnItemSelectionChanged(TCustomGvListview*, TGvItem*) { Log("sel"); }
    void OnItemSelectionsChanged(TCustomGvListview*) { Log("sels"); }
    void OnItemFreeing(TCustomGvListview*, TGvItem*) { Log("freeing"); }
    void OnEditBegin(TCustomGvListview*, TGvItem* Item, int&, bool& Allow) { Allow = Item->GetCaption() != L"locked"; }
    void OnGroupExpand(TCustomGvListview*, TGvGroup*) { Log("expand"); }
    void OnGroupCollapse(TCustomGvListview*, TGvGroup*) { Log("collapse"); }
    void OnItemStructure(gcl::TObject*) { Log("structure"); }
    void OnGetCaption(TCustomGvListview*, TGvItem* Item, int Column, std::wstring& Caption) {
        Caption = L"v" + std::to_wstring(Item->GetIndex()) + L"." + std::to_wstring(Column);
    }
    void OnSetCaption(TCustomGvListview*, TGvItem*, int Column, const std::wstring& Caption) {
        Log("set " + std::to_string(Column) + " " + gcl::WideToAnsi(Caption));
    }
    void OnGetImageIndex(TCustomGvListview*, TGvItem*, int Column, TGvImageKind Kind, int& Index) {
        Index = Column * 10 + static_cast<int>(Kind);
    }
    void OnGroupImage(TCustomGvListview*, TGvGroup*, TGvImageKind Kind, int& Index) { Index = 100 + Kind; }

    std::vector<std::string> Events;
    bool AllowChecks = true;
    TGvItem* Sticky = nullptr;
};

TEST_F(GvCollectionsTest, GlobalItemsAddCountIndexAndExchange) {
    TGvGlobalItems* items = LV->GetItems();
    EXPECT_EQ(items->GetCount(), 0);
    TGvItem* a = items->Add(nullptr);
    ASSERT_EQ(LV->GetGroups()->GetCount(), 1);
    EXPECT_EQ(LV->GetGroups()->GetGroups(0)->GetCaption(), L"Default Group");
    EXPECT_EQ(a->OwnerGroup(), LV->GetGroups()->GetGroups(0));
    TGvGroup* second = LV->GetGroups()->Add(nullptr);
    TGvItem* b = items->Add(nullptr);  // the last group, whatever groups exist
    EXPECT_EQ(b->OwnerGroup(), second);
    EXPECT_EQ(second->GetCaption(), L"");
    TGvItem* c = items->Add(reinterpret_cast<void*>(0x1234));
    EXPECT_EQ(c->GetData(), reinterpret_cast<void*>(0x1234));
    EXPECT_EQ(items->GetCount(), 3);
    EXPECT_EQ(items->GetItems(0), a);
    EXPECT_EQ(items->GetItems(2), c);
    try {
        items->GetItems(3);
        ADD_FAILURE();
    } catch (const gcl::EListError& e) {
        EXPECT_EQ(e.GetMessage(), "List index out of bounds (3)");
    }
    EXPECT_THROW(items->GetItems(-1), gcl::EListError);

    items->Exchange(1, 2);
    EXPECT_EQ(second->GetItem(0), c);
    EXPECT_EQ(second->GetItem(1), b);
    EXPECT_EQ(c->GetIndex(), 0);
    EXPECT_EQ(b->GetIndex(), 1);
    try {
        items->Exchange(0, 1);
        ADD_FAILURE();
    } catch (const gcl::Exception& e) {
        EXPECT_EQ(e.GetMessage(), "exchange of items between different groups is not yet supported");
    }
    EXPECT_EQ(LV->GetGroups()->GetGroups(0)->GetItem(0), a);

    // Groups without items: Count is 0 and every index is out of range.
    items->Clear();
    EXPECT_EQ(LV->GetGroups()->GetCount(), 0);
    LV->GetGroups()->Add(nullptr);
    EXPECT_EQ(items->GetCount(), 0);
    EXPECT_THROW(items->GetItems(0), gcl::EListError);
}

TEST_F(GvCollectionsTest, ReserveMakesRoomAndChangesNothingElse) {
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    TGvItems* items = group->GetItems();
    TGvItem* first = items->Add(nullptr);
    items->Reserve(0);
    items->Reserve(-5);
    items->Reserve(100);
    EXPECT_EQ(items->GetCount(), 1);
    EXPECT_EQ(items->GetItems(0), first);
    EXPECT_EQ(first->GetIndex(), 0);
    std::vector<TGvItem*> added{first};
    for (int i = 1; i < 100; ++i) added.push_back(items->Add(reinterpret_cast<void*>(static_cast<intptr_t>(i))));
    EXPECT_EQ(items->GetCount(), 100);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(items->GetItems(i), added[static_cast<size_t>(i)]);
        EXPECT_EQ(added[static_cast<size_t>(i)]->GetIndex(), i);
        EXPECT_EQ(added[static_cast<size_t>(i)]->OwnerGroup(), group);
    }
    // Fewer than held: the entries stay as they are.
    items->Reserve(10);
    EXPECT_EQ(items->GetCount(), 100);
    EXPECT_EQ(items->GetItems(99), added.back());
}

TEST_F(GvCollectionsTest, StateWordQueriesAndNotifications) {
    LV->OnItemCheckChanging = TItemCheckChangingEvent(this, &GvCollectionsTest::OnItemCheckChanging);
    TGvItem* item = LV->GetItems()->Add(nullptr);
    EXPECT_TRUE(item->GetVisible());
    EXPECT_TRUE(item->GetEnabled());
    EXPECT_EQ(item->GetVisibleIndex(), -1);

    // Unchanged values ask nothing; a refusing query keeps the value.
    item->SetChecked(false);
    EXPECT_TRUE(Events.empty());
    AllowChecks = false;
    item->SetChecked(true);
    EXPECT_FALSE(item->GetChecked());
    EXPECT_EQ(Events.size(), 1u);
    AllowChecks = true;
    item->SetChecked(true);
    EXPECT_TRUE(item->GetChecked());
    EXPECT_EQ(LV->GetCheckedCount(), 1);

    // A disabled item refuses the check without asking.
    Events.clear();
    item->SetChecked(false);
    item->SetEnabled(false);
    Events.clear();
    item->SetChecked(true);
    EXPECT_FALSE(item->GetChecked());
    EXPECT_TRUE(Events.empty());

    // Focus and selection need a visible, enabled object.
    item->SetSelected(true);
    item->SetFocused(true);
    EXPECT_FALSE(item->GetSelected());
    EXPECT_FALSE(item->GetFocused());
    item->SetEnabled(true);
    item->SetSelected(true);
    item->SetFocused(true);
    EXPECT_TRUE(item->GetSelected());
    EXPECT_TRUE(item->GetFocused());
    EXPECT_EQ(LV->GetSelection()->GetFocusedItem(), item);
    // Disabling unfocuses and deselects first.
    item->SetEnabled(false);
    EXPECT_FALSE(item->GetSelected());
    EXPECT_FALSE(item->GetFocused());
    EXPECT_EQ(LV->GetSelection()->GetCount(), 0);
    EXPECT_EQ(LV->GetSelection()->GetFocusedItem(), nullptr);
    item->SetEnabled(true);

    // Hiding unchecks unless hidden checked items are allowed.
    item->SetChecked(true);
    item->SetVisible(false);
    EXPECT_FALSE(item->GetChecked());
    EXPECT_EQ(LV->GetCheckedCount(), 0);
    item->SetVisible(true);
    LV->SetAllowHiddenCheckedItems(true);
    item->SetChecked(true);
    item->SetVisible(false);
    EXPECT_TRUE(item->GetChecked());

    // The paint-only states just flip.
    item->SetCut(true);
    item->SetGhosted(true);
    item->SetBold(true);
    EXPECT_EQ(item->GetState().Mask() & 0x8010u, 0x8010u);
    EXPECT_EQ(item->GetState().Mask() & 0x2000u, 0x2000u);
    item->SetInitialized(true);
    EXPECT_TRUE(item->GetInitialized());
}

TEST_F(GvCollectionsTest, GroupsHideTheirItemsAndSearchSkipsClosedGroups) {
    TGvGroups* groups = LV->GetGroups();
    TGvGroup* g0 = groups->Add(nullptr);
    TGvGroup* g1 = groups->Add(nullptr);
    TGvGroup* g2 = groups->Add(nullptr);
    TGvGroup* g3 = groups->Add(nullptr);
    TGvItem* a = AddItem(g0, L"a");
    TGvItem* b = AddItem(g0, L"b");
    TGvItem* c = AddItem(g1, L"c");
    TGvItem* d = AddItem(g2, L"d");
    TGvItem* e = AddItem(g3, L"e");
    TGvItem* f = AddItem(g3, L"f");
    b->SetVisible(false);
    EXPECT_EQ(groups->NextVisibleItem(a), c);
    g1->SetExpanded(false);
    g2->SetEnabled(false);
    EXPECT_FALSE(d->GetEnabled());
    EXPECT_EQ(groups->NextVisibleItem(a), e);
    EXPECT_EQ(groups->PrevVisibleItem(e), a);
    EXPECT_EQ(groups->NextItem(a), b);
    EXPECT_EQ(groups->PrevItem(f), e);
    EXPECT_EQ(groups->NextItem(f), nullptr);
    EXPECT_EQ(groups->FirstVisibleItem(), a);
    EXPECT_EQ(groups->LastItem(), f);
    EXPECT_EQ(groups->FirstInGroup(g3), e);
    EXPECT_EQ(groups->FirstInGroup(nullptr), nullptr);
    EXPECT_EQ(groups->NextVisibleInGroup(g0, a), nullptr);
    EXPECT_EQ(groups->ItemCount(), 6);
    EXPECT_EQ(groups->NextVisibleGroup(g0), g2);  // collapsed g1 is passed over

    // The editable search asks OnItemEditBegin as a query only.
    LV->OnItemEditBegin = TItemEditBegin(this, &GvCollectionsTest::OnEditBegin);
    e->SetCaption(L"locked");
    EXPECT_EQ(groups->NextEditableItem(a), f);
    EXPECT_EQ(groups->PrevEditableItem(f), a);

    // Hiding a group hides every item; an item cannot be shown inside it.
    g0->SetVisible(false);
    EXPECT_FALSE(a->GetVisible());
    a->SetVisible(true);
    EXPECT_FALSE(a->GetVisible());
    // Showing the group shows every item, also those hidden one by one.
    g0->SetVisible(true);
    EXPECT_TRUE(a->GetVisible());
    EXPECT_TRUE(b->GetVisible());

    // Expanding fires the event; an unchanged value or a paint info that is
    // not Expandable fires nothing.
    LV->OnGroupExpand = TGroupExpandEvent(this, &GvCollectionsTest::OnGroupExpand);
    LV->OnGroupCollapse = TGroupCollapseEvent(this, &GvCollectionsTest::OnGroupCollapse);
    Events.clear();
    g1->SetExpanded(false);
    g1->SetExpanded(true);
    EXPECT_EQ(Events, (std::vector<std::string>{"expand"}));
    LV->GetPaintInfoGroup()->SetExpandable(false);
    g1->SetExpanded(false);
    EXPECT_TRUE(g1->GetExpanded());
    LV->GetPaintInfoGroup()->SetExpandable(true);
    g1->SetExpanded(false);
    g2->SetExpanded(false);
    // Switching Expandable off expands every group first.
    LV->GetPaintInfoGroup()->SetExpandable(false);
    EXPECT_TRUE(g1->GetExpanded());
    EXPECT_TRUE(g2->GetExpanded());

    // Collection-level visibility walks.
    EXPECT_EQ(groups->PrevVisible(groups->GetGroups(0)), nullptr);
    g1->SetVisible(false);
    EXPECT_EQ(groups->NextVisible(g0), g2);
    EXPECT_EQ(groups->PrevVisible(g2), g0);
}

TEST_F(GvCollectionsTest, MarginsAndPaintInfo) {
    TGvPaintInfoGroup* info = LV->GetPaintInfoGroup();
    TGvMargin* left = info->GetMarginLeft();
    left->SetSize(-5);
    EXPECT_EQ(left->GetSize(), 0);
    left->SetSize(12);
    left->SetVisible(true);
    EXPECT_EQ(left->RuntimeSize(), 0);  // ShowGroupMargins is off
    LV->SetShowGroupMargins(true);
    EXPECT_EQ(left->RuntimeSize(), 12);
    EXPECT_TRUE(info->GetMarginTop()->GetVisible());
    EXPECT_FALSE(info->GetMarginBottom()->GetVisible());
    EXPECT_EQ(info->GetMarginBottom()->GetSize(), 30);

    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    group->SetDisplayRect(gcl::TRect{0, 0, 200, 100});
    EXPECT_EQ(group->MarginRectLeft(), (gcl::TRect{0, 0, 12, 100}));
    EXPECT_EQ(group->MarginRectTop(), (gcl::TRect{12, 0, 200, 30}));
    EXPECT_EQ(group->MarginRectBottom(), gcl::TRect{});
    EXPECT_EQ(group->ClientRect(), (gcl::TRect{12, 30, 200, 100}));
    LV->SetShowGroupMargins(false);
    EXPECT_EQ(group->MarginRectTop(), gcl::TRect{});
    EXPECT_EQ(group->ClientRect(), (gcl::TRect{0, 0, 200, 100}));

    // Assign copies all but ShowBorder.
    TGvPaintInfoItem* other = TGvPaintInfoItem::Create(LV);
    other->SetCaptionIndent(9);
    other->SetGridLines(true);
    other->SetShowBorder(false);
    LV->GetPaintInfoItem()->Assign(other);
    EXPECT_EQ(LV->GetPaintInfoItem()->GetCaptionIndent(), 9);
    EXPECT_TRUE(LV->GetPaintInfoItem()->GetGridLines());
    EXPECT_TRUE(LV->GetPaintInfoItem()->GetShowBorder());
    gcl::Free(other);

    // Stored detail counts live in the shared paint info.
    TGvItem* a = LV->GetItems()->Add(nullptr);
    TGvItem* b = LV->GetItems()->Add(nullptr);
    a->SetDetailCount(4);
    EXPECT_EQ(b->GetDetailCount(), 4);
    group->SetDetailCount(3);
    EXPECT_EQ(LV->GetPaintInfoGroup()->GetCaptionLines(), 3);
    EXPECT_EQ(LV->GetGroups()->GetGroups(0)->GetDetailCount(), 3);
}

TEST_F(GvCollectionsTest, AnEntrysOwnPaintInfoIsFreedOnlyWhenItOwnsIt) {
    TCountedPaintInfo::Destroyed = 0;
    TGvItem* item = LV->GetItems()->Add(nullptr);
    EXPECT_EQ(item->GetPaintInfo(), nullptr);
    EXPECT_EQ(item->PaintInfo(), LV->GetPaintInfoItem());  // the kind's default

    // Not owned: it outlives its entry and its replacement.
    auto* shared = TCountedPaintInfo::Create(LV);
    shared->SetCaptionIndent(7);
    item->SetPaintInfo(shared, false);
    EXPECT_EQ(item->GetPaintInfo(), shared);
    EXPECT_EQ(item->PaintInfo(), shared);
    auto* owned = TCountedPaintInfo::Create(LV);
    item->SetPaintInfo(owned, true);
    EXPECT_EQ(TCountedPaintInfo::Destroyed, 0);
    EXPECT_EQ(item->GetPaintInfo(), owned);

    // Owned: set again it stays, replaced or cleared it goes.
    item->SetPaintInfo(owned, true);
    EXPECT_EQ(TCountedPaintInfo::Destroyed, 0);
    item->SetPaintInfo(shared, false);
    EXPECT_EQ(TCountedPaintInfo::Destroyed, 1);
    EXPECT_EQ(item->GetPaintInfo()->GetCaptionIndent(), 7);
    item->SetPaintInfo(TCountedPaintInfo::Create(LV), true);
    item->SetPaintInfo(nullptr, true);
    EXPECT_EQ(TCountedPaintInfo::Destroyed, 2);
    EXPECT_EQ(item->PaintInfo(), LV->GetPaintInfoItem());

    // Freed with the entry that owns it, and only then.
    TGvItem* other = LV->GetItems()->Add(nullptr);
    other->SetPaintInfo(TCountedPaintInfo::Create(LV), true);
    item->SetPaintInfo(shared, false);
    gcl::Free(item);
    EXPECT_EQ(TCountedPaintInfo::Destroyed, 2);
    gcl::Free(other);
    EXPECT_EQ(TCountedPaintInfo::Destroyed, 3);
    EXPECT_EQ(shared->GetCaptionIndent(), 7);
    gcl::Free(shared);
    EXPECT_EQ(TCountedPaintInfo::Destroyed, 4);
}

TEST_F(GvCollectionsTest, StoredKindsGrowTheirArrays) {
    TGvItem* item = LV->GetItems()->Add(nullptr);
    EXPECT_EQ(item->GetCaptions(7), L"");
    EXPECT_EQ(item->GetImageIndexes(7), -1);
    EXPECT_EQ(item->GetGroupKey(7), GvNoGroupKey);
    EXPECT_EQ(item->GetStateImageIndexes(7), -1);
    item->SetCaptions(5, L"five");
    auto* stored = static_cast<TGvItemStored*>(item);
    ASSERT_EQ(stored->GetDataHelper()->Captions.size(), 6u);
    EXPECT_EQ(item->GetCaptions(4), L"");
    item->SetImageIndexes(2, 8);
    EXPECT_EQ(stored->GetDataHelper()->ImageIndexes, (std::vector<int32_t>{-1, -1, 8}));
    item->SetGroupKey(1, 4);
    EXPECT_EQ(stored->GetDataHelper()->GroupKeys, (std::vector<uint32_t>{GvNoGroupKey, 4}));
    item->SetCaptions(-1, L"ignored");
    EXPECT_EQ(item->GetCaptions(-1), L"");
    EXPECT_EQ(item->GetDisplayName(), "TGvItemStored");
    item->SetCaption(L"x");
    EXPECT_EQ(item->GetDisplayName(), "x");

    // The stored captions read, compare and convert like wide strings.
    item->SetCaptions(1, L"a caption longer than a short string holds");
    const TGvCaptions& captions = stored->GetDataHelper()->Captions;
    EXPECT_EQ(captions[1], L"a caption longer than a short string holds");
    EXPECT_EQ(captions[1], std::wstring(L"a caption longer than a short string holds"));
    const std::wstring copied = captions[1];
    EXPECT_EQ(copied, item->GetCaptions(1));
    EXPECT_EQ(captions, (std::vector<std::wstring>{L"x", copied, L"", L"", L"", L"five"}));
    const std::vector<std::wstring> all = captions;
    EXPECT_EQ(all.size(), 6u);
    // Setting the same text again is no change; another one is.
    EXPECT_FALSE(stored->GetDataHelper()->SetCaption(1, copied));
    EXPECT_TRUE(stored->GetDataHelper()->SetCaption(1, L"other"));
    EXPECT_EQ(item->GetCaptions(1), L"other");
    // They take texts the ways wide-string arrays do.
    TGvItemDynamicDataHelper helper;
    helper.Captions.push_back(L"one");
    helper.Captions.push_back(std::wstring(L"two"));
    EXPECT_EQ(helper.GetCaption(1), L"two");
    helper.Captions = {L"three", L"four", L"five"};
    EXPECT_EQ(helper.Captions, (std::vector<std::wstring>{L"three", L"four", L"five"}));
    const std::wstring& bound = helper.Captions[2];
    EXPECT_EQ(bound, L"five");

    TGvColumn* column = LV->GetHeader()->GetColumns()->Add(nullptr);
    column->SetDetails(2, 6);
    EXPECT_EQ(column->GetDetails(2), 6);
    EXPECT_EQ(column->GetDetails(9), 0);
}

// Items of every size live side by side: stored and virtual items in the
// item slots, a larger subclass on the heap; each keeps its data and frees
// the right way, in any order, and freed memory serves new items.
TEST_F(GvCollectionsTest, ItemsOfEverySizeComeAndGoTogether) {
    TGvGroup* stored = LV->GetGroups()->Add(nullptr);
    TGvGroup* big = LV->GetGroups()->Add(nullptr);
    big->GetItems()->SetItemClass(TBigItem::StaticClass());
    TGvGroup* virtuals = LV->GetGroups()->Add(nullptr);
    virtuals->GetItems()->SetItemClass(TGvItemVirtual::StaticClass());
    TBigItem::Destroyed = 0;
    for (int round = 0; round < 3; ++round) {
        LV->BeginUpdate();
        for (int i = 0; i < 3000; ++i) {
            AddItem(stored, L"stored " + std::to_wstring(i));
            auto* b = static_cast<TBigItem*>(AddItem(big, L"big " + std::to_wstring(i)));
            b->Note[0] = L'n';
            b->Note[199] = static_cast<wchar_t>(i);
            virtuals->GetItems()->Add(nullptr)->SetTag(i);
        }
        LV->EndUpdate();
        ASSERT_EQ(big->GetItem(0)->ClassType(), TBigItem::StaticClass());
        for (int i = 0; i < 3000; i += 97) {
            EXPECT_EQ(stored->GetItem(i)->GetCaption(), L"stored " + std::to_wstring(i));
            EXPECT_EQ(big->GetItem(i)->GetCaption(), L"big " + std::to_wstring(i));
            EXPECT_EQ(static_cast<TBigItem*>(big->GetItem(i))->Note[199], static_cast<wchar_t>(i));
            EXPECT_EQ(virtuals->GetItem(i)->GetTag(), i);
        }
        // Every other item first, then the rest with the groups.
        for (TGvGroup* group : {stored, big, virtuals})
            for (int i = group->ItemCount() - 1; i >= 0; i -= 2) gcl::Free(group->GetItem(i));
        EXPECT_EQ(stored->ItemCount(), 1500);
        EXPECT_EQ(TBigItem::Destroyed, 1500 + 3000 * round);
        for (TGvGroup* group : {stored, big, virtuals}) group->GetItems()->Clear();
        EXPECT_EQ(TBigItem::Destroyed, 3000 * (round + 1));
    }
}

TEST_F(GvCollectionsTest, VirtualAndInterfacedKindsAskTheirSources) {
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    group->GetItems()->SetItemClass(TGvItemVirtual::StaticClass());
    LV->OnItemGetCaption = TItemGetCaptionEvent(this, &GvCollectionsTest::OnGetCaption);
    LV->OnItemSetCaption = TItemSetCaptionEvent(this, &GvCollectionsTest::OnSetCaption);
    LV->OnItemGetImageIndex = TItemGetImageIndexEvent(this, &GvCollectionsTest::OnGetImageIndex);
    TGvItem* v = group->GetItems()->Add(nullptr);
    EXPECT_EQ(v->GetCaptions(2), L"v0.2");
    EXPECT_EQ(v->GetCaption(), L"v0.0");
    EXPECT_EQ(v->GetImageIndexes(3), 30);
    EXPECT_EQ(v->GetImageOverlayIndexes(3), 31);
    EXPECT_EQ(v->GetStateImageIndexes(1), 12);
    v->SetCaptions(1, L"new");
    EXPECT_EQ(Events, (std::vector<std::string>{"set 1 new"}));
    EXPECT_EQ(v->GetGroupKey(0), 0u);

    LV->GetGroups()->SetItemClass(TGvGroupVirtual::StaticClass());
    LV->OnGroupGetImageIndex = TGroupGetImageIndexEvent(this, &GvCollectionsTest::OnGroupImage);
    TGvGroup* vg = LV->GetGroups()->Add(nullptr);
    EXPECT_EQ(vg->GetImageIndex(), 100);
    EXPECT_EQ(vg->GetImageOverlayIndex(), 101);
}

// The control's item kind reaches every group made after it is set,
// including the default group that Items.Add makes; a class that is no
// item leaves the stored kind.
TEST_F(GvCollectionsTest, GroupsMadeLaterTakeTheControlsItemKind) {
    TGvGroup* before = LV->GetGroups()->Add(nullptr);
    LV->SetItemClass(TGvItemVirtual::StaticClass());
    LV->OnItemGetCaption = TItemGetCaptionEvent(this, &GvCollectionsTest::OnGetCaption);
    EXPECT_EQ(before->GetItems()->Add(nullptr)->ClassType(), TGvItemStored::StaticClass());
    TGvGroup* after = LV->GetGroups()->Add(nullptr);
    TGvItem* item = after->GetItems()->Add(nullptr);
    EXPECT_EQ(item->ClassType(), TGvItemVirtual::StaticClass());
    EXPECT_EQ(item->GetCaptions(2), L"v0.2");
    LV->GetGroups()->Clear(true);
    EXPECT_EQ(LV->GetItems()->Add(nullptr)->ClassType(), TGvItemVirtual::StaticClass());
    LV->SetItemClass(TGvGroupStored::StaticClass());
    EXPECT_EQ(LV->GetGroups()->Add(nullptr)->GetItems()->Add(nullptr)->ClassType(), TGvItemStored::StaticClass());
    LV->SetItemClass(nullptr);
    EXPECT_EQ(LV->GetGroups()->Add(nullptr)->GetItems()->Add(nullptr)->ClassType(), TGvItemStored::StaticClass());
}

TEST_F(GvCollectionsTest, AClearOfTheSelectionLeavesOnlyTheItemKeptAcrossGroups) {
    // The clear stops once the count says nothing but the kept item is
    // left: items chosen before and after the kept one, in other groups,
    // a hidden one and an item whose handler refuses to let go are all
    // met, and each item cleared fires once.
    TGvSelectionManager* selection = LV->GetSelection();
    selection->SetMultiSelect(true);
    std::vector<std::vector<TGvItem*>> items(4);
    for (int g = 0; g < 4; ++g) {
        TGvGroup* group = LV->GetGroups()->Add(nullptr);
        for (int i = 0; i < 4; ++i) items[g].push_back(AddItem(group, std::to_wstring(g * 10 + i)));
    }
    LV->OnItemSelectionChanged = TItemSelectionChangeEvent(this, &GvCollectionsTest::OnItemSelectionChanged);
    TGvItem* kept = items[1][2];
    for (TGvItem* item : {items[0][3], kept, items[2][0], items[3][3]}) item->SetSelected(true);
    items[3][3]->SetVisible(false);
    Events.clear();
    selection->ClearAllExcept(kept);
    EXPECT_EQ(selection->GetCount(), 1);
    EXPECT_TRUE(kept->GetSelected());
    EXPECT_FALSE(items[0][3]->GetSelected());
    EXPECT_FALSE(items[2][0]->GetSelected());
    EXPECT_FALSE(items[3][3]->GetSelected());
    EXPECT_EQ(std::count(Events.begin(), Events.end(), "sel"), 2);  // the hidden one lost it when hidden
    // The kept item alone, or not selected at all: nothing changes or fires.
    Events.clear();
    selection->ClearAllExcept(kept);
    selection->ClearAllExcept(items[3][0]);
    EXPECT_EQ(selection->GetCount(), 0);
    EXPECT_EQ(std::count(Events.begin(), Events.end(), "sel"), 1);
    // Every item chosen, the kept one first: all the others go.
    selection->SelectAll();
    selection->ClearAllExcept(items[0][0]);
    EXPECT_EQ(selection->GetCount(), 1);
    EXPECT_EQ(selection->First(), items[0][0]);
    EXPECT_EQ(selection->Next(items[0][0]), nullptr);
    // Without MultiSelect, choosing one item clears the one chosen before,
    // wherever it stands.
    selection->SetMultiSelect(false);
    items[3][2]->SetSelected(true);
    items[0][1]->SetSelected(true);
    EXPECT_EQ(selection->GetCount(), 1);
    EXPECT_FALSE(items[3][2]->GetSelected());
    EXPECT_EQ(selection->First(), items[0][1]);
}

TEST_F(GvCollectionsTest, SelectionManagerCountsBatchesAndFocus) {
    TGvSelectionManager* selection = LV->GetSelection();
    LV->OnItemSelectionChanged = TItemSelectionChangeEvent(this, &GvCollectionsTest::OnItemSelectionChanged);
    LV->OnItemSelectionsChanged = TGvItemSelectionsChangedEvent(this, &GvCollectionsTest::OnItemSelectionsChanged);
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    std::vector<TGvItem*> items;
    for (int i = 0; i < 5; ++i) items.push_back(AddItem(group, std::to_wstring(i)));

    // Without MultiSelect a selection replaces the others and takes focus.
    items[0]->SetSelected(true);
    items[1]->SetSelected(true);
    EXPECT_FALSE(items[0]->GetSelected());
    EXPECT_EQ(selection->GetCount(), 1);
    EXPECT_EQ(selection->GetFocusedItem(), items[1]);
    EXPECT_TRUE(items[1]->GetFocused());
    EXPECT_FALSE(items[0]->GetFocused());
    selection->SelectAll();
    EXPECT_EQ(selection->GetCount(), 1);

    // A batch fires OnItemSelectionsChanged once.
    selection->SetMultiSelect(true);
    EXPECT_EQ(selection->GetCount(), 0);
    Events.clear();
    selection->SelectAll();
    EXPECT_EQ(selection->GetCount(), 5);
    EXPECT_EQ(std::count(Events.begin(), Events.end(), "sel"), 5);
    EXPECT_EQ(std::count(Events.begin(), Events.end(), "sels"), 1);
    EXPECT_EQ(selection->First(), items[0]);
    items[2]->SetVisible(false);
    EXPECT_EQ(selection->Next(items[1]), items[3]);
    items[1]->SetSelected(false);
    selection->InvertSelection();  // the hidden item cannot be selected
    EXPECT_EQ(selection->GetCount(), 1);
    EXPECT_TRUE(items[1]->GetSelected());
    EXPECT_FALSE(items[2]->GetSelected());
    EXPECT_FALSE(items[0]->GetSelected());
    selection->ClearAll();
    EXPECT_EQ(selection->GetCount(), 0);
    EXPECT_EQ(selection->First(), nullptr);
    // The last item alone selected is found; deselected, nothing is.
    items[4]->SetSelected(true);
    EXPECT_EQ(selection->First(), items[4]);
    items[4]->SetSelected(false);
    EXPECT_EQ(selection->First(), nullptr);
    selection->SelectFirst();
    EXPECT_TRUE(items[0]->GetSelected());
    EXPECT_EQ(selection->GetFocusedItem(), items[0]);

    // A refused focus change leaves the old item focused.
    LV->OnItemFocusChanging = TItemFocusChangingEvent(this, &GvCollectionsTest::OnItemFocusChanging);
    Sticky = items[0];
    selection->SetFocusedItem(items[3]);
    EXPECT_EQ(selection->GetFocusedItem(), items[0]);
    EXPECT_FALSE(items[3]->GetFocused());
    Sticky = nullptr;
    selection->SetFocusedItem(items[3]);
    EXPECT_EQ(selection->GetFocusedItem(), items[3]);
    EXPECT_FALSE(items[0]->GetFocused());

    // A disabled manager does nothing; switching it off clears first.
    selection->SelectAll();
    selection->SetEnabled(false);
    EXPECT_EQ(selection->GetCount(), 0);
    selection->SelectAll();
    EXPECT_EQ(selection->GetCount(), 0);
    selection->SetEnabled(true);

    // Runs of adjacent selected items form reference-counted groups.
    selection->SetGroupSelections(true);
    items[2]->SetVisible(true);
    items[0]->SetSelected(true);
    items[1]->SetSelected(true);
    items[3]->SetSelected(true);
    selection->BuildSelectionGroupings(true);
    ASSERT_NE(items[0]->GetSelectionGroup(), nullptr);
    EXPECT_EQ(items[0]->GetSelectionGroup(), items[1]->GetSelectionGroup());
    EXPECT_EQ(items[0]->GetSelectionGroup()->GetRefCount(), 2);
    EXPECT_EQ(items[3]->GetSelectionGroup(), nullptr);
    // Disabling a member drops its reference; the groups are built anew
    // and a run of one has none.
    items[1]->SetEnabled(false);
    EXPECT_EQ(items[1]->GetSelectionGroup(), nullptr);
    EXPECT_EQ(items[0]->GetSelectionGroup(), nullptr);
    items[4]->SetSelected(true);
    ASSERT_NE(items[3]->GetSelectionGroup(), nullptr);
    EXPECT_EQ(items[3]->GetSelectionGroup()->GetCount(), 2);
}

TEST_F(GvCollectionsTest, DestroyedEntriesLeaveNoReferencesBehind) {
    LV->OnItemFreeing = TItemFreeingEvent(this, &GvCollectionsTest::OnItemFreeing);
    LV->OnItemStructureChange = gcl::TNotifyEvent(this, &GvCollectionsTest::OnItemStructure);
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    TGvItem* a = AddItem(group, L"a");
    TGvItem* b = AddItem(group, L"b");
    TGvItem* c = AddItem(group, L"c");
    TGvSelectionManager* selection = LV->GetSelection();
    selection->SetMultiSelect(true);
    a->SetSelected(true);
    a->SetChecked(true);
    selection->SetFocusedItem(a);
    selection->SetAnchorItem(a);
    LV->GetEditManager()->SetTabMoveFocusItem(a);
    LV->GetCheckManager()->SetPendingObject(a);
    EXPECT_TRUE(a->GetCheckPending());
    LV->GetHotTrack()->SetPendingObjectCheck(a);
    EXPECT_TRUE(LV->GetEditManager()->Editing());

    Events.clear();
    a->Free();
    EXPECT_EQ(selection->GetFocusedItem(), nullptr);
    EXPECT_EQ(selection->GetAnchorItem(), nullptr);
    EXPECT_EQ(selection->GetCount(), 0);
    EXPECT_EQ(LV->GetCheckedCount(), 0);
    EXPECT_EQ(LV->GetEditManager()->GetTabMoveFocusItem(), nullptr);
    EXPECT_FALSE(LV->GetEditManager()->Editing());
    EXPECT_EQ(LV->GetCheckManager()->GetPendingObject(), nullptr);
    EXPECT_EQ(LV->GetHotTrack()->GetHotCheckItem(), nullptr);
    // The freed item left its collection, which re-indexed.
    ASSERT_EQ(group->ItemCount(), 2);
    EXPECT_EQ(group->GetItem(0), b);
    EXPECT_EQ(b->GetIndex(), 0);
    EXPECT_EQ(c->GetIndex(), 1);
    EXPECT_NE(std::find(Events.begin(), Events.end(), "freeing"), Events.end());
    EXPECT_NE(std::find(Events.begin(), Events.end(), "structure"), Events.end());

    // Columns: the focused column and the edit manager's column go too.
    TGvColumns* columns = LV->GetHeader()->GetColumns();
    TGvColumn* c0 = columns->Add(nullptr);
    TGvColumn* c1 = columns->Add(nullptr);
    selection->SetFocusedColumn(c1);
    LV->GetEditManager()->SetTabMoveFocusColumn(c1);
    c1->Free();
    EXPECT_EQ(selection->PeekFocusedColumn(), nullptr);
    EXPECT_EQ(LV->GetEditManager()->GetTabMoveFocusColumn(), nullptr);
    EXPECT_EQ(selection->GetFocusedColumn(), c0);  // defaults to the first column
    EXPECT_EQ(columns->GetCount(), 1);

    // Clear without freeing leaves the entries destroying, deselected, out.
    TGvItems* items = group->GetItems();
    b->SetSelected(true);
    std::vector<TGvItem*> kept{b, c};
    items->Clear(false);
    EXPECT_EQ(items->GetCount(), 0);
    EXPECT_TRUE(b->IsDestroying());
    EXPECT_FALSE(b->GetSelected());
    EXPECT_EQ(selection->GetCount(), 0);
    for (TGvItem* item : kept) {
        // They are no longer listed, so freeing them touches nothing.
        item->Free();
    }
}

TEST_F(GvCollectionsTest, NoGuardedEventReachesItsHandlerWhileTheControlDies) {
    TGvListview* lv = TGvListview::Create(nullptr);
    lv->OnItemVisibilityChanged = TItemVisibilityChangeEvent(this, &GvCollectionsTest::OnItemSelectionChanged);
    lv->OnItemSelectionChanged = TItemSelectionChangeEvent(this, &GvCollectionsTest::OnItemSelectionChanged);
    lv->OnItemSelectionsChanged = TGvItemSelectionsChangedEvent(this, &GvCollectionsTest::OnItemSelectionsChanged);
    lv->OnItemFreeing = TItemFreeingEvent(this, &GvCollectionsTest::OnItemFreeing);
    lv->GetSelection()->SetMultiSelect(true);
    for (int i = 0; i < 3; ++i) lv->GetItems()->Add(nullptr)->SetSelected(true);
    Events.clear();
    lv->Free();
    EXPECT_EQ(Events, (std::vector<std::string>{"freeing", "freeing", "freeing"}));

    // A task panel's window follows the expanded state of its group.
    LV->GetGroups()->SetItemClass(TGvGroupTaskPanel::StaticClass());
    auto* panel = static_cast<TGvGroupTaskPanel*>(LV->GetGroups()->Add(nullptr));
    EXPECT_FALSE(panel->GetTaskWindowCreated());
    panel->SetTaskWindow(TGvListview::Create(nullptr));
    EXPECT_TRUE(panel->GetTaskWindowCreated());
    panel->SetExpanded(false);
    EXPECT_EQ(panel->GetTaskWindow()->GetHeight(), 0);
    panel->SetHeight(120);
    panel->SetExpanded(true);
    EXPECT_EQ(panel->GetTaskWindow()->GetHeight(), 120);
    // An entry class outside the family is never created.
    LV->GetGroups()->SetItemClass(TGvItemStored::StaticClass());
    EXPECT_EQ(LV->GetGroups()->Add(nullptr), nullptr);
}

TEST_F(GvCollectionsTest, ColumnsPositionWidthAndSortDirection) {
    TGvColumns* columns = LV->GetHeader()->GetColumns();
    TGvColumn* only = columns->Add(nullptr);
    only->SetPosition(5);
    EXPECT_EQ(only->GetPosition(), 0);
    TGvColumn* c1 = columns->Add(nullptr);
    TGvColumn* c2 = columns->Add(nullptr);
    EXPECT_EQ(c1->GetPosition(), 1);
    EXPECT_EQ(c2->GetPosition(), 2);
    c2->SetPosition(0);
    EXPECT_EQ(c2->GetPosition(), 0);
    EXPECT_EQ(only->GetPosition(), 1);
    EXPECT_EQ(c1->GetPosition(), 2);
    c2->SetPosition(9);  // clamped to the last position
    EXPECT_EQ(c2->GetPosition(), 2);
    EXPECT_EQ(only->GetPosition(), 0);
    EXPECT_EQ(c1->GetPosition(), 1);

    c1->SetWidth(-10);
    EXPECT_EQ(c1->GetWidth(), 0);
    EXPECT_EQ(c1->GetColor(), LV->GetHeader()->GetColor());

    TGvSelectionManager* selection = LV->GetSelection();
    selection->SetFocusedColumn(only);
    c1->SetSortDirection(esdNone);
    EXPECT_EQ(selection->PeekFocusedColumn(), only);
    c1->SetSortDirection(esdDescending);
    EXPECT_EQ(selection->PeekFocusedColumn(), c1);

    // Moving an entry between collections of one family.
    TGvGroup* g0 = LV->GetGroups()->Add(nullptr);
    TGvGroup* g1 = LV->GetGroups()->Add(nullptr);
    TGvItem* x = AddItem(g0, L"x");
    TGvItem* y = AddItem(g1, L"y");
    g1->GetItems()->MoveItem(x, 0);
    EXPECT_EQ(g0->ItemCount(), 0);
    EXPECT_EQ(g1->GetItem(0), x);
    EXPECT_EQ(x->OwnerGroup(), g1);
    EXPECT_EQ(y->GetIndex(), 1);
    EXPECT_THROW(columns->MoveItem(y, 0), gcl::EInvalidCast);
}

// The auto-sized header height is the font's text height plus the margin,
// and it follows every change of the font, however often it is read.
TEST_F(GvCollectionsTest, AutoSizedHeaderHeightFollowsItsFont) {
    TGvHeader* header = LV->GetHeader();
    header->SetHeight(4);
    auto textHeight = [](gcl::TFont* font) {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font->GetHandle());
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return static_cast<int>(tm.tmHeight);
    };
    const int small = header->GetHeight();
    EXPECT_EQ(small, textHeight(header->GetFont()) + 8);
    EXPECT_EQ(header->GetHeight(), small);
    header->GetFont()->SetSize(24);
    const int large = header->GetHeight();
    EXPECT_EQ(large, textHeight(header->GetFont()) + 8);
    EXPECT_GT(large, small);
    gcl::TFont other;
    other.SetName("Tahoma");
    other.SetSize(16);
    header->SetFont(&other);
    EXPECT_EQ(header->GetHeight(), textHeight(&other) + 8);
    header->SetAutoSizeHeightMargin(2);
    EXPECT_EQ(header->GetHeight(), textHeight(&other) + 2);
    header->SetAutoSizeHeight(false);
    EXPECT_EQ(header->GetHeight(), 4);
}

// Positions stay a permutation of 0..Count-1 however columns come and go,
// with or without a window.
TEST_F(GvCollectionsTest, ColumnPositionsHaveNoGapsAfterAColumnIsFreed) {
    TGvColumns* columns = LV->GetHeader()->GetColumns();
    auto positions = [&] {
        std::vector<int> result;
        for (int i = 0; i < columns->GetCount(); ++i) result.push_back(columns->GetColumns(i)->GetPosition());
        return result;
    };
    for (int i = 0; i < 4; ++i) columns->Add(nullptr);
    TGvColumn* last = columns->GetColumns(3);
    gcl::Free(columns->GetColumns(1));
    EXPECT_EQ(positions(), (std::vector<int>{0, 1, 2}));
    last->SetPosition(0);
    EXPECT_EQ(positions(), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(LV->GetHeader()->FirstColumnByPosition(), last);

    // A column moved in from elsewhere takes the next free position.
    columns->Add(nullptr)->SetPosition(1);
    std::vector<int> sorted = positions();
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int>{0, 1, 2, 3}));
    gcl::Free(last);
    sorted = positions();
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int>{0, 1, 2}));
}

// The header's popup menu is a reference that a freed menu clears.
TEST_F(GvCollectionsTest, PopupMenuHeaderIsClearedWhenTheMenuIsFreed) {
    gcl::TPopupMenu* menu = gcl::TPopupMenu::Create(nullptr);
    LV->SetPopupMenuHeader(menu);
    EXPECT_EQ(LV->GetPopupMenuHeader(), menu);
    gcl::Free(menu);
    EXPECT_EQ(LV->GetPopupMenuHeader(), nullptr);
}

TEST_F(GvCollectionsTest, ConstructionDefaultsMatchThePublishedOnes) {
    EXPECT_EQ(LV->GetView(), elsIcon);
    EXPECT_EQ(LV->GetColor(), gcl::clWindow);
    EXPECT_TRUE(LV->GetTabStop());
    EXPECT_TRUE(LV->GetShowThemedBorder());
    EXPECT_EQ(LV->GetDisabledBlendAlpha(), 128);
    EXPECT_TRUE(LV->GetGroupCollapseButton()->GetEmpty());
    EXPECT_EQ(LV->GetBevelKind(), gcl::bkTile);
    EXPECT_EQ(LV->GetSort()->GetAlgorithm(), esaMergeSort);

    std::vector<std::string> mismatches;
    auto check = [&](gcl::TObject* obj) {
        for (const std::string& line : gcl::CheckPublishedDefaults(obj)) mismatches.push_back(line);
    };
    check(LV->GetHeader());
    check(LV->GetPaintInfoItem());
    check(LV->GetPaintInfoGroup());
    check(LV->GetPaintInfoColumn());
    check(LV->GetPaintInfoGroup()->GetMarginTop());
    check(LV->GetPaintInfoGroup()->GetMarginBottom());
    check(LV->GetSelection());
    check(LV->GetSort());
    check(LV->GetEditManager());
    check(LV->GetHotTrack());
    check(LV->GetScrollbars());
    check(LV->GetCellSizes()->GetTile());
    check(LV->GetCellSizes()->GetList());
    check(LV->GetItems()->Add(nullptr));
    check(LV->GetHeader()->GetColumns()->Add(nullptr));
    check(LV->GetGroups()->GetGroups(0));
    LV->GetGroups()->SetItemClass(TGvGroupTaskPanel::StaticClass());
    auto* panel = static_cast<TGvGroupTaskPanel*>(LV->GetGroups()->Add(nullptr));
    check(panel);
    EXPECT_EQ(panel->GetHeight(), 200);
    std::string all;
    for (const std::string& line : mismatches) all += line + "\n";
    EXPECT_TRUE(mismatches.empty()) << all;

    // The view decides the wheel direction.
    LV->SetWheelMouseDefaultScroll(edwsVert);
    LV->SetView(elsList);
    EXPECT_EQ(LV->GetWheelMouseDefaultScroll(), edwsHorz);
    LV->SetView(elsFilmStrip);
    EXPECT_EQ(LV->GetWheelMouseDefaultScroll(), edwsHorz);
    LV->SetWheelMouseDefaultScroll(edwsHorz);
    LV->SetView(elsTile);
    EXPECT_EQ(LV->GetWheelMouseDefaultScroll(), edwsVert);

    // Default bitmaps load once and take magenta as transparent colour.
    TGvGlobalImageManager* images = LV->GetGlobalImageManager();
    gcl::TBitmap* expand = images->GetGroupExpandButton();
    EXPECT_EQ(images->GetGroupExpandButton(), expand);
    EXPECT_EQ(images->GetLoadCount(), 1);
    EXPECT_FALSE(expand->GetEmpty());
    EXPECT_EQ(expand->GetWidth(), 9);
    EXPECT_TRUE(expand->GetTransparent());
    EXPECT_EQ(expand->GetTransparentColor(), 0xFF00FF);
    EXPECT_EQ(images->GetColumnSortDown()->GetWidth(), 16);

    // A freed image list leaves the property empty.
    gcl::TImageList* list = gcl::TImageList::CreateSize(16, 16);
    LV->SetImagesSmall(list);
    LV->SetView(elsReport);
    EXPECT_EQ(LV->GetImagesSmall(), list);
    EXPECT_EQ(LV->GetItems()->GetItems(0)->GetImageList(0), list);
    list->Free();
    EXPECT_EQ(LV->GetImagesSmall(), nullptr);
}

} // namespace
