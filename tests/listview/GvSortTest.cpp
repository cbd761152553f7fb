// Sorting (merge, quick and bubble sort, interface comparison) and
// automatic regrouping by key.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gcl/Forms.h"
#include "gcl/rtl/Strings.h"
#include "listview/GvListview.h"
#include "listview/GvListviewFixture.h"

using namespace qelvo;

namespace {

// A data object that answers the item interfaces.
class TTaskData : public gcl::TInterfacedObject,
                  public IGvCaptionsEditable,
                  public IGvChecks,
                  public IGvCompare,
                  public IGvGroupKey,
                  public IGvItemNotification {
    GCL_CLASS(TTaskData, gcl::TInterfacedObject)
public:
    GCL_IUNKNOWN
    bool GetInterface(const gcl::TGUID& iid, void** out) override {
        return gcl::QueryInterfaces<IGvCaptionsEditable, IGvChecks, IGvCompare, IGvGroupKey, IGvItemNotification>(
                   this, iid, out) ||
               inherited::GetInterface(iid, out);
    }
    gcl::TVariant GCL_STDCALL GetCaption(int Column) override {
        return Column == 0 ? gcl::TVariant(Title) : gcl::TVariant(Rank);
    }
    void GCL_STDCALL SetCaption(int, const gcl::TVariant& Value) override { Title = Value.ToWide(); }
    bool GCL_STDCALL GetChecked() override { return Done; }
    void GCL_STDCALL SetChecked(bool Value) override { Done = Value; }
    uint32_t GCL_STDCALL GetGroupKey(int) override { return 7; }
    // Below 0 when Target sorts before this object: by Rank.
    int GCL_STDCALL Compare(gcl::IUnknown* Target, TGvColumn*) override {
        auto* other = dynamic_cast<TTaskData*>(Target);
        ++Calls;
        return other->Rank - Rank;
    }
    void GCL_STDCALL Register(IGvNotifier* Notifier) override { Sink = Notifier; }
    void GCL_STDCALL UnRegister(IGvNotifier* Notifier) override {
        if (Sink == Notifier) Sink = nullptr;
    }

    std::wstring Title;
    int Rank = 0;
    bool Done = false;
    IGvNotifier* Sink = nullptr;
    static int Calls;

protected:
    TTaskData() = default;
};
GCL_IMPLEMENT_CLASS(TTaskData)
int TTaskData::Calls = 0;

class GvSortTest : public qelvo::test::GvUnitsFixture {
protected:
    void SetUp() override {
        LV = TGvListview::Create(nullptr);
        Column0 = LV->GetHeader()->GetColumns()->Add(nullptr);
        Column1 = LV->GetHeader()->GetColumns()->Add(nullptr);
    }
    void TearDown() override { gcl::Free(LV); }

public:

    TGvItem* Add(TGvGroup* group, const std::wstring& c0, const std::wstring& c1 = L"", intptr_t tag = 0) {
        TGvItem* item = group->GetItems()->Add(nullptr);
        item->SetCaptions(0, c0);
        item->SetCaptions(1, c1);
        item->SetTag(tag);
        return item;
    }
    static std::vector<intptr_t> Tags(TGvGroup* group) {
        std::vector<intptr_t> tags;
        for (int i = 0; i < group->ItemCount(); ++i) tags.push_back(group->GetItem(i)->GetTag());
        return tags;
    }
    static std::vector<std::wstring> Captions(TGvGroups* groups) {
        std::vector<std::wstring> captions;
        for (int i = 0; i < groups->GetCount(); ++i) captions.push_back(groups->GetGroups(i)->GetCaption());
        return captions;
    }
    static bool IndexesFollowOrder(TGvGroup* group) {
        for (int i = 0; i < group->ItemCount(); ++i)
            if (group->GetItem(i)->GetIndex() != i) return false;
        return true;
    }

    void OnGetKey(TCustomGvListview*, TGvItem* Item, int, TGvGroups*, uint32_t& Key) {
        if (Item->GetCaptions(1) == L"high") {
            Key = 2;
        } else if (Item->GetCaptions(1) == L"low") {
            Key = 0;
        } else if (Item->GetCaptions(1) == L"normal") {
            Key = 1;
        }
    }
    void OnCreateGroup(TCustomGvListview* Sender, TGvItem*, int, TGvGroups* Groups, TGvGroup*& Group, bool& DoDefault) {
        ++Created;
        if (ReuseFirst && Groups->GetCount() > 0) {
            Group = Groups->GetGroups(0);
            return;
        }
        Group = Groups->Add(nullptr);
        Group->SetCaption(L"G" + std::to_wstring(Groups->GetCount()));
        DoDefault = false;
        (void)Sender;
    }
    int OnItemCompareReverse(TCustomGvListview*, TGvColumn*, TGvGroup*, TGvItem* A, TGvItem* B, bool& DoDefault) {
        DoDefault = !UseHandler;
        return static_cast<int>(B->GetTag() - A->GetTag());
    }
    void OnStructure(gcl::TObject*) { ++Structures; }
    // The comparison the prepared keys stand for, asked pair by pair.
    int OnItemCompareByText(TCustomGvListview*, TGvColumn* Column, TGvGroup*, TGvItem* A, TGvItem* B, bool& DoDefault) {
        DoDefault = false;
        ++TextCompares;
        return DefaultSortCompare(Column, A, B);
    }
    int TextCompares = 0;

    TGvListview* LV = nullptr;
    TGvColumn* Column0 = nullptr;
    TGvColumn* Column1 = nullptr;
    int Created = 0;
    bool ReuseFirst = false;
    bool UseHandler = true;
    int Structures = 0;
};

TEST_F(GvSortTest, MergeSortIsStableAscendingAndDescending) {
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    // Keys with many ties; the tag records the original order.
    const wchar_t* keys[] = {L"b", L"a", L"B", L"c", L"a", L"b", L"A", L"c", L"b", L"a", L"C"};
    for (int i = 0; i < 11; ++i) Add(group, keys[i], L"", i);
    LV->GetSelection()->SetFocusedColumn(Column0);
    LV->GetSort()->SortAll();
    EXPECT_EQ(Tags(group), (std::vector<intptr_t>{1, 4, 6, 9, 0, 2, 5, 8, 3, 7, 10}));
    EXPECT_TRUE(IndexesFollowOrder(group));
    // Descending keeps equal entries in their previous relative order too.
    Column0->SetSortDirection(esdDescending);
    LV->GetSort()->SortAll();
    EXPECT_EQ(Tags(group), (std::vector<intptr_t>{3, 7, 10, 0, 2, 5, 8, 1, 4, 6, 9}));

    // Every length from 0 to 40 sorts right and stays stable.
    for (int n = 0; n <= 40; ++n) {
        group->GetItems()->Clear();
        for (int i = 0; i < n; ++i) Add(group, std::wstring(1, wchar_t(L'a' + (i * 7) % 5)), L"", i);
        Column0->SetSortDirection(esdAscending);
        LV->GetSort()->SortAll();
        for (int i = 1; i < n; ++i) {
            const std::wstring prev = group->GetItem(i - 1)->GetCaption();
            const std::wstring cur = group->GetItem(i)->GetCaption();
            ASSERT_LE(prev, cur) << n;
            if (prev == cur) {
                ASSERT_LT(group->GetItem(i - 1)->GetTag(), group->GetItem(i)->GetTag()) << n;
            }
        }
    }
}

// Thousands of captions with long shared beginnings and many ties sort
// like a stable sort of their lower-case texts, both ways.
TEST_F(GvSortTest, LargeGroupsSortLikeAStableSortOfTheirTexts) {
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    LV->GetSelection()->SetFocusedColumn(Column0);
    std::vector<std::wstring> captions;
    unsigned x = 7;
    const wchar_t* starts[] = {L"", L"Water the plants ", L"water the Plants", L"Call 0", L"call 1", L"zz"};
    LV->BeginUpdate();
    for (int i = 0; i < 3000; ++i) {
        x = x * 1103515245u + 12345u;
        std::wstring caption = starts[(x >> 16) % 6];
        caption += std::to_wstring((x >> 8) % 40);
        if ((x >> 20) % 3 == 0) caption += L" Now";
        captions.push_back(caption);
        Add(group, caption, L"", i);
    }
    LV->EndUpdate();
    auto lower = [](std::wstring s) {
        for (wchar_t& c : s)
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        return s;
    };
    for (TGvSortDirection direction : {esdAscending, esdDescending}) {
        std::vector<intptr_t> expected(captions.size());
        for (size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<intptr_t>(i);
        std::stable_sort(expected.begin(), expected.end(), [&](intptr_t a, intptr_t b) {
            const std::wstring la = lower(captions[static_cast<size_t>(a)]);
            const std::wstring lb = lower(captions[static_cast<size_t>(b)]);
            return direction == esdAscending ? la < lb : lb < la;
        });
        // Each sort starts from the order of the tags.
        group->GetItems()->Clear();
        for (size_t i = 0; i < captions.size(); ++i) Add(group, captions[i], L"", static_cast<intptr_t>(i));
        Column0->SetSortDirection(direction);
        LV->GetSort()->SortAll();
        EXPECT_EQ(Tags(group), expected) << direction;
        EXPECT_TRUE(IndexesFollowOrder(group));
    }
}

// The prepared sort keys give exactly the order of the pairwise caption
// comparison: case, accents, punctuation the locale ignores, digits, empty
// captions and ties, ascending and descending, with every sorter.
TEST_F(GvSortTest, PreparedKeysOrderLikeThePairwiseComparison) {
    const wchar_t* captions[] = {L"b",  L"a-b", L"ab",     L"a'b", L"A",      L"",     L"co-op", L"coop",
                                 L"\u00e4", L"Z",   L"z",      L"10",  L"9",      L" a",   L"a ",    L"\u00c4b",
                                 L"ae", L"\u00e6", L"Ab",   L"aB",  L"-",      L"_x",   L"x_",    L"\u00df",
                                 L"ss", L"a",   L"B",      L"",    L"zz",     L"\u00e9t\u00e9"};
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    LV->GetSelection()->SetFocusedColumn(Column0);
    for (TGvSortAlgorithm algorithm : {esaMergeSort, esaQuickSort, esaBubbleSort}) {
        LV->GetSort()->SetAlgorithm(algorithm);
        for (TGvSortDirection direction : {esdAscending, esdDescending}) {
            Column0->SetSortDirection(direction);
            std::vector<intptr_t> orders[2];
            for (int pass = 0; pass < 2; ++pass) {
                group->GetItems()->Clear();
                for (int i = 0; i < 30; ++i) Add(group, captions[i], L"", i);
                LV->OnItemCompare = pass == 0 ? TItemCompareEvent() : TItemCompareEvent(this, &GvSortTest::OnItemCompareByText);
                TextCompares = 0;
                LV->GetSort()->SortAll();
                orders[pass] = Tags(group);
                if (pass == 1) {
                    EXPECT_GT(TextCompares, 0);
                }
            }
            LV->OnItemCompare = TItemCompareEvent();
            // Equal signs of every comparison give the same permutation.
            EXPECT_EQ(orders[0], orders[1]) << algorithm << " " << direction;
        }
    }
}

TEST_F(GvSortTest, QuickAndBubbleSortAndTheComparisonChoice) {
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    const wchar_t* keys[] = {L"m", L"c", L"x", L"a", L"c", L"q", L"b", L"c"};
    for (int i = 0; i < 8; ++i) Add(group, keys[i], L"", i);
    LV->GetSelection()->SetFocusedColumn(Column0);

    TGvSorter* merge = LV->GetSort()->GetSorter();
    LV->GetSort()->SetAlgorithm(esaMergeSort);
    EXPECT_EQ(LV->GetSort()->GetSorter(), merge);

    LV->GetSort()->SetAlgorithm(esaQuickSort);
    LV->GetSort()->SortAll();
    std::vector<std::wstring> sorted;
    for (int i = 0; i < 8; ++i) sorted.push_back(group->GetItem(i)->GetCaption());
    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));

    // The shaker sort is stable (from the original order again).
    group->GetItems()->Clear();
    for (int i = 0; i < 8; ++i) Add(group, keys[i], L"", i);
    LV->GetSort()->SetAlgorithm(esaBubbleSort);
    Column0->SetSortDirection(esdDescending);
    LV->GetSort()->SortAll();
    EXPECT_EQ(Tags(group), (std::vector<intptr_t>{2, 5, 0, 1, 4, 7, 6, 3}));
    Column0->SetSortDirection(esdAscending);
    LV->GetSort()->SortAll();
    EXPECT_EQ(Tags(group), (std::vector<intptr_t>{3, 6, 1, 4, 7, 0, 5, 2}));

    // A handler result counts only when it clears DoDefault.
    LV->GetSort()->SetAlgorithm(esaMergeSort);
    LV->OnItemCompare = TItemCompareEvent(this, &GvSortTest::OnItemCompareReverse);
    LV->GetSort()->SortAll();
    EXPECT_EQ(Tags(group), (std::vector<intptr_t>{7, 6, 5, 4, 3, 2, 1, 0}));
    UseHandler = false;
    LV->GetSort()->SortAll();
    EXPECT_EQ(Tags(group), (std::vector<intptr_t>{3, 6, 7, 4, 1, 0, 5, 2}));
}

TEST_F(GvSortTest, CaptionsAreComparedByCollectionIndexAfterReordering) {
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    Add(group, L"2", L"b", 0);
    Add(group, L"1", L"c", 1);
    Add(group, L"3", L"a", 2);
    Column1->SetPosition(0);  // the second column is now shown first
    EXPECT_EQ(Column1->GetPosition(), 0);
    LV->GetSelection()->SetFocusedColumn(Column1);
    LV->GetSort()->SortAll();
    EXPECT_EQ(Tags(group), (std::vector<intptr_t>{2, 0, 1}));  // by the second captions
    EXPECT_EQ(DefaultSortCompare(Column1, group->GetItem(0), group->GetItem(1)), WideStrIComp(L"a", L"b"));
    EXPECT_LT(DefaultSortCompare(nullptr, group->GetItem(1), group->GetItem(0)), 0);  // "2" before "3"
}

TEST_F(GvSortTest, InterfacesDecideWhenEveryEntryAnswersThem) {
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    group->GetItems()->SetItemClass(TGvItemInterfaced::StaticClass());
    std::vector<gcl::ComPtr<gcl::IUnknown>> keep;
    const int ranks[] = {3, 1, 2, 1};
    for (int i = 0; i < 4; ++i) {
        TTaskData* data = TTaskData::Create();
        data->Rank = ranks[i];
        data->Title = L"t" + std::to_wstring(i);
        gcl::IUnknown* unknown = static_cast<IGvCaptionsEditable*>(data);
        keep.emplace_back(unknown);
        TGvItem* item = group->GetItems()->Add(nullptr);
        item->SetDataInf(unknown);
        item->SetTag(i);
        EXPECT_EQ(data->Sink != nullptr, true);
    }
    EXPECT_TRUE(LV->GetSort()->CollectionSupportsCompare(group->GetItems()));
    TTaskData::Calls = 0;
    LV->GetSort()->SortAll();
    EXPECT_GT(TTaskData::Calls, 0);
    // Ascending rank, stable: A <= B when B.Compare(A) <= 0.
    EXPECT_EQ(Tags(group), (std::vector<intptr_t>{1, 3, 2, 0}));

    // The interfaced kind reads and writes through the data object.
    TGvItem* item = group->GetItem(0);
    auto* data = dynamic_cast<TTaskData*>(item->GetDataInf());
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(item->GetCaption(), L"t1");
    EXPECT_EQ(item->GetCaptions(1), L"1");
    item->SetCaption(L"renamed");
    EXPECT_EQ(data->Title, L"renamed");
    item->SetChecked(true);
    EXPECT_TRUE(data->Done);
    EXPECT_TRUE(item->GetChecked());
    EXPECT_EQ(item->GetGroupKey(3), 7u);
    EXPECT_EQ(item->GetImageIndex(), -1);  // no image interface
    EXPECT_EQ(item->GetDetailCount(), 0);
    // Dropping the data object unregisters the item's sink.
    item->SetDataInf(nullptr);
    EXPECT_EQ(data->Sink, nullptr);

    // One entry without the interface: captions decide.
    EXPECT_FALSE(LV->GetSort()->CollectionSupportsCompare(group->GetItems()));
}

TEST_F(GvSortTest, ReGroupWithTheDefaultKey) {
    TGvGroup* old = LV->GetGroups()->Add(nullptr);
    old->SetCaption(L"old");
    Add(old, L"banana", L"", 0);
    Add(old, L"apple", L"", 1);
    Add(old, L"", L"", 2);
    TGvGroup* other = LV->GetGroups()->Add(nullptr);
    Add(other, L"Avocado", L"", 3);
    Add(other, L"\u00e9clair", L"", 4);

    // Off: one group of key 0 without a caption set by the manager.
    LV->GetSort()->ReGroup(Column0);
    ASSERT_EQ(LV->GetGroups()->GetCount(), 1);
    TGvGroup* single = LV->GetGroups()->GetGroups(0);
    EXPECT_EQ(single->GetKey(), 0u);
    EXPECT_EQ(single->GetCaption(), L"");
    EXPECT_EQ(single->ItemCount(), 5);
    EXPECT_TRUE(IndexesFollowOrder(single));

    LV->GetSort()->SetAutoRegroup(true);  // regroups at once
    EXPECT_TRUE(LV->GetShowGroupMargins());
    TGvGroups* groups = LV->GetGroups();
    // Groups ordered by caption; the empty-caption group (key 0) has none.
    EXPECT_EQ(Captions(groups), (std::vector<std::wstring>{L"", L"A", L"B", L"\u00e9"}));
    EXPECT_EQ(groups->GetGroups(1)->GetKey(), static_cast<uint32_t>(L'a'));
    EXPECT_EQ(Tags(groups->GetGroups(1)), (std::vector<intptr_t>{1, 3}));
    EXPECT_EQ(Tags(groups->GetGroups(2)), (std::vector<intptr_t>{0}));
    EXPECT_EQ(Tags(groups->GetGroups(0)), (std::vector<intptr_t>{2}));
    // A key computed from the caption is not written to the item.
    EXPECT_EQ(groups->GetGroups(1)->GetItem(0)->GetGroupKey(0), GvNoGroupKey);
    for (int g = 0; g < groups->GetCount(); ++g) {
        EXPECT_TRUE(IndexesFollowOrder(groups->GetGroups(g)));
        for (int i = 0; i < groups->GetGroups(g)->ItemCount(); ++i)
            EXPECT_EQ(groups->GetGroups(g)->GetItem(i)->OwnerGroup(), groups->GetGroups(g));
    }
    EXPECT_EQ(LV->GetItems()->GetCount(), 5);

    // An empty list yields no group at all.
    LV->GetItems()->Clear();
    LV->GetSort()->ReGroup(Column0);
    EXPECT_EQ(LV->GetGroups()->GetCount(), 0);
}

TEST_F(GvSortTest, ReGroupWithHandlers) {
    TGvGroup* start = LV->GetGroups()->Add(nullptr);
    Add(start, L"Pay rent", L"high", 0);
    Add(start, L"Water plants", L"low", 1);
    Add(start, L"Read", L"", 2);
    Add(start, L"Call bank", L"high", 3);
    Add(start, L"Tidy", L"normal", 4);
    LV->OnAutoGroupGetKey = TAutoGroupGetKeyEvent(this, &GvSortTest::OnGetKey);
    LV->OnAutoSortGroupCreate = TAutoSortGroupCreateEvent(this, &GvSortTest::OnCreateGroup);
    LV->GetSort()->SetAutoRegroup(true);
    TGvGroups* groups = LV->GetGroups();
    // Keys 2, 0, 'r', 2, 1: four groups, created in first-met order and
    // then sorted by caption (G1 = key 2, G2 = key 0, G3 = 'r', G4 = key 1).
    EXPECT_EQ(Created, 4);
    EXPECT_EQ(Captions(groups), (std::vector<std::wstring>{L"G1", L"G2", L"G3", L"G4"}));
    EXPECT_EQ(Tags(groups->GetGroups(0)), (std::vector<intptr_t>{3, 0}));  // sorted by caption
    EXPECT_EQ(groups->GetGroups(0)->GetKey(), 2u);
    // A key from the handler is stored for the column.
    EXPECT_EQ(groups->GetGroups(0)->GetItem(0)->GetGroupKey(0), 2u);
    EXPECT_EQ(groups->GetGroups(2)->GetItem(0)->GetGroupKey(0), GvNoGroupKey);

    // A handler that hands back an existing group: every item ends in it
    // and belongs to its item collection.
    ReuseFirst = true;
    Created = 0;
    LV->GetSort()->ReGroup(Column0);
    ASSERT_EQ(groups->GetCount(), 1);
    EXPECT_EQ(groups->GetGroups(0)->ItemCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(groups->GetGroups(0)->GetItem(i)->OwnerGroup(), groups->GetGroups(0));
        EXPECT_EQ(groups->GetGroups(0)->GetItem(i)->GetIndex(), i);
    }
}

TEST_F(GvSortTest, AutoSortFollowsAddsButNotExchanges) {
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    LV->OnItemStructureChange = gcl::TNotifyEvent(this, &GvSortTest::OnStructure);
    LV->GetSort()->SetAutoSort(true);
    EXPECT_EQ(LV->GetSelection()->PeekFocusedColumn(), Column0);
    // Each Add sorts while the new item's caption is still empty, so it
    // lands first.
    Add(group, L"c", L"", 0);
    Add(group, L"a", L"", 1);
    Add(group, L"b", L"", 2);
    EXPECT_EQ(Tags(group), (std::vector<intptr_t>{2, 1, 0}));
    EXPECT_EQ(Structures, 3);
    // An exchange keeps the order the caller asked for.
    group->GetItems()->Exchange(0, 2);
    EXPECT_EQ(Tags(group), (std::vector<intptr_t>{0, 1, 2}));
    EXPECT_EQ(Structures, 4);
    EXPECT_EQ(group->GetItem(0)->GetIndex(), 0);
    // A column whose direction changes sorts at once.
    Column0->SetSortDirection(esdDescending);
    EXPECT_EQ(Tags(group), (std::vector<intptr_t>{0, 2, 1}));
    Column0->SetSortDirection(esdAscending);
    EXPECT_EQ(Tags(group), (std::vector<intptr_t>{1, 2, 0}));
}

} // namespace
