// Sorters, the sort manager and automatic grouping.
#include "listview/GvInternal.h"

namespace qelvo {

using namespace gvdetail;

// ---- Sorters --------------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvSorter)
GCL_IMPLEMENT_CLASS(TGvQuickSort)
GCL_IMPLEMENT_CLASS(TGvBubbleSort)
GCL_IMPLEMENT_CLASS(TGvMergeSort)

void TGvSorter::Prepare(TGvColumn* Column, TGvCollection* Collection, int Min, int Max,
                        TGvGroupCompareFunc GroupCompare, TGvItemCompareFunc ItemCompare, bool UseInterfaces) {
    FColumn = Column;
    FGroupCompare = GroupCompare;
    FItemCompare = ItemCompare;
    FUseInterfaces = UseInterfaces;
    auto* items = dynamic_cast<TGvItems*>(Collection);
    FGroup = items ? items->GetOwnerGroup() : nullptr;
    FKeys = TWideSortKeySet{};
    if (UseInterfaces) return;
    TCustomGvListview* lv = FOwner ? FOwner->GetOwnerListview() : nullptr;
    bool byCaption = !GroupCompare && !ItemCompare;
    if (GroupCompare == &TCustomGvListview::GroupCompare) byCaption = lv && lv->DefaultCompareApplies(true);
    if (ItemCompare == &TCustomGvListview::ItemCompare && !GroupCompare)
        byCaption = lv && lv->DefaultCompareApplies(false);
    if (!byCaption) return;
    // The default comparison of groups reads column 0 in ascending order.
    TGvColumn* column = GroupCompare ? nullptr : Column;
    const int index = column ? column->GetIndex() : 0;
    FDescending = column && column->GetSortDirection() == esdDescending;
    TGvEntryList& list = Slots(Collection);
    // Stored captions are read in place; the others are asked for once.
    const size_t count = static_cast<size_t>(Max - Min + 1);
    std::vector<std::wstring_view> captions(count);
    std::vector<std::wstring> asked;
    std::vector<size_t> askedSlots;
    for (int i = Min; i <= Max; ++i) {
        // The entries lie scattered over the heap: the entry, then its
        // caption, are fetched ahead.
        if (i + 24 <= Max) __builtin_prefetch(list[static_cast<size_t>(i + 24)]);
        if (i + 12 <= Max) __builtin_prefetch(list[static_cast<size_t>(i + 12)]->PeekCaption(index));
        TGvCollectionItem* entry = list[static_cast<size_t>(i)];
        entry->FSortSlot = i - Min;
        if (const TGvCaption* caption = entry->PeekCaption(index)) {
            captions[static_cast<size_t>(i - Min)] = caption->View();
        } else {
            asked.push_back(entry->GetCaptions(index));
            askedSlots.push_back(static_cast<size_t>(i - Min));
        }
    }
    for (size_t k = 0; k < asked.size(); ++k) captions[askedSlots[k]] = asked[k];
    FKeys = WideStrSortKeySet(captions);
}

int TGvSorter::Compare(TGvCollectionItem* A, TGvCollectionItem* B) const {
    if (FKeys.Count() > 0) {
        const int r = FKeys.Compare(static_cast<size_t>(A->FSortSlot), static_cast<size_t>(B->FSortSlot));
        const int sign = (r > 0) - (r < 0);
        return FDescending ? -sign : sign;
    }
    if (FUseInterfaces) {
        // B is asked with A as target: below 0 means A sorts before B.
        gcl::ComPtr<IGvCompare> compare;
        if (B->GetDataInf() && gcl::Supports(B->GetDataInf(), compare)) return compare->Compare(A->GetDataInf(), FColumn);
        return 0;
    }
    TCustomGvListview* lv = FOwner ? FOwner->GetOwnerListview() : nullptr;
    if (lv && FGroupCompare)
        return (lv->*FGroupCompare)(FColumn, static_cast<TGvGroup*>(A), static_cast<TGvGroup*>(B));
    if (lv && FItemCompare)
        return (lv->*FItemCompare)(FColumn, FGroup, static_cast<TGvItem*>(A), static_cast<TGvItem*>(B));
    return DefaultSortCompare(FColumn, A, B);
}

void TGvQuickSort::Sort(TGvColumn* Column, TGvCollection* Collection, int Min, int Max,
                        TGvGroupCompareFunc GroupCompare, TGvItemCompareFunc ItemCompare, bool UseInterfaces) {
    if (!Collection) return;
    Max = std::min(Max, Collection->GetCount() - 1);
    if (Min < 0 || Max - Min + 1 < 2) return;
    Prepare(Column, Collection, Min, Max, GroupCompare, ItemCompare, UseInterfaces);
    QuickSort(Slots(Collection), Min, Max);
}

void TGvQuickSort::QuickSort(TGvEntryList& List, int L, int R) {
    while (L < R) {
        int i = L;
        int j = R;
        TGvCollectionItem* pivot = List[(static_cast<unsigned>(L) + static_cast<unsigned>(R)) >> 1];
        do {
            while (Compare(List[i], pivot) < 0) ++i;
            while (Compare(List[j], pivot) > 0) --j;
            if (i <= j) {
                std::swap(List[i], List[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (L < j) QuickSort(List, L, j);
        L = i;
    }
}

void TGvBubbleSort::Sort(TGvColumn* Column, TGvCollection* Collection, int Min, int Max,
                         TGvGroupCompareFunc GroupCompare, TGvItemCompareFunc ItemCompare, bool UseInterfaces) {
    if (!Collection) return;
    Max = std::min(Max, Collection->GetCount() - 1);
    if (Min < 0 || Max - Min + 1 < 2) return;
    Prepare(Column, Collection, Min, Max, GroupCompare, ItemCompare, UseInterfaces);
    TGvEntryList& list = Slots(Collection);
    int lo = Min;
    int hi = Max;
    while (lo < hi) {
        // Forward: lift an entry that is greater than its successor and let
        // the smaller ones after it move down.
        int lastMove = lo;
        int j = lo + 1;
        while (j <= hi) {
            if (Compare(list[j - 1], list[j]) <= 0) {
                ++j;
                continue;
            }
            TGvCollectionItem* x = list[j - 1];
            int k = j;
            while (k <= hi && Compare(list[k], x) < 0) {
                list[k - 1] = list[k];
                ++k;
            }
            list[k - 1] = x;
            lastMove = k - 1;
            j = lastMove + 2;
        }
        hi = lastMove - 1;
        // Backward: the mirror image.
        lastMove = hi;
        j = hi - 1;
        while (j >= lo) {
            if (Compare(list[j + 1], list[j]) >= 0) {
                --j;
                continue;
            }
            TGvCollectionItem* x = list[j + 1];
            int k = j;
            while (k >= lo && Compare(x, list[k]) < 0) {
                list[k + 1] = list[k];
                --k;
            }
            list[k + 1] = x;
            lastMove = k + 1;
            j = lastMove - 2;
        }
        lo = lastMove + 1;
    }
}

void TGvMergeSort::Sort(TGvColumn* Column, TGvCollection* Collection, int Min, int Max,
                        TGvGroupCompareFunc GroupCompare, TGvItemCompareFunc ItemCompare, bool UseInterfaces) {
    if (!Collection) return;
    Max = std::min(Max, Collection->GetCount() - 1);
    if (Min < 0 || Max - Min + 1 < 2) return;
    Prepare(Column, Collection, Min, Max, GroupCompare, ItemCompare, UseInterfaces);
    if (FKeys.Count() > 0) {
        SortByKeys(Slots(Collection), Min, Max);
        return;
    }
    TSlots buffer(static_cast<size_t>((Max - Min + 2) / 2));
    SortInPlace(Slots(Collection), Min, Max + 1, buffer, 0);
}

namespace {
// A sort entry: eight bytes of its key as two numbers, and its slot.
struct TKeyEntry {
    uint32_t High;
    uint32_t Low;
    uint32_t Slot;
    bool LeadBefore(const TKeyEntry& Other) const noexcept {
        return High != Other.High ? High < Other.High : Low < Other.Low;
    }
    bool LeadEquals(const TKeyEntry& Other) const noexcept { return High == Other.High && Low == Other.Low; }
    unsigned Byte(unsigned B) const noexcept { return ((B < 4 ? Low : High) >> (8 * (B & 3))) & 0xFF; }
};

// A stable radix sort of the entries on their eight bytes, the last byte
// first; a byte that is the same in every entry takes no pass.
void RadixSortByLead(std::vector<TKeyEntry>& Entries) {
    const size_t n = Entries.size();
    uint32_t counts[8][256] = {};
    for (const TKeyEntry& e : Entries) {
        for (unsigned b = 0; b < 4; ++b) {
            ++counts[b][(e.Low >> (8 * b)) & 0xFF];
            ++counts[b + 4][(e.High >> (8 * b)) & 0xFF];
        }
    }
    std::vector<TKeyEntry> spare(n);
    for (unsigned b = 0; b < 8; ++b) {
        uint32_t* count = counts[b];
        if (count[Entries[0].Byte(b)] == n) continue;
        uint32_t next = 0;
        for (unsigned v = 0; v < 256; ++v) {
            const uint32_t c = count[v];
            count[v] = next;
            next += c;
        }
        for (const TKeyEntry& e : Entries) spare[count[e.Byte(b)]++] = e;
        Entries.swap(spare);
    }
}
} // namespace

void TGvMergeSort::SortByKeys(TSlots& List, int Min, int Max) {
    // Each entry with the leading bytes of its key beside it: most entries
    // are told apart by those alone. Descending order is the ascending
    // order of the inverted bytes.
    const size_t n = static_cast<size_t>(Max - Min + 1);
    const bool descending = FDescending;
    const uint64_t flip = descending ? ~uint64_t(0) : 0;
    auto setLead = [&](TKeyEntry& e, size_t From) {
        const uint64_t lead = FKeys.Lead(e.Slot, From) ^ flip;
        e.High = static_cast<uint32_t>(lead >> 32);
        e.Low = static_cast<uint32_t>(lead);
    };
    std::vector<TKeyEntry> order(n);
    for (size_t i = 0; i < n; ++i) {
        order[i].Slot = static_cast<uint32_t>(i);
        setLead(order[i], 0);
    }
    // Equal keys keep their order through the slot number, so the order is
    // total: (key, slot) gives what a stable sort of the keys gives.
    auto byLead = [&](const TKeyEntry& a, const TKeyEntry& b) {
        if (!a.LeadEquals(b)) return a.LeadBefore(b);
        const int r = FKeys.Compare(a.Slot, b.Slot);
        if (r != 0) return descending ? r > 0 : r < 0;
        return a.Slot < b.Slot;
    };
    if (n < 256) {
        std::sort(order.begin(), order.end(), byLead);
    } else {
        // Entries with the same leading bytes end up side by side in slot
        // order; each such run is ordered by the next eight bytes, then by
        // the rest of the keys.
        RadixSortByLead(order);
        for (size_t lo = 0; lo < n;) {
            size_t hi = lo + 1;
            while (hi < n && order[hi].LeadEquals(order[lo])) ++hi;
            if (hi - lo > 1) {
                for (size_t k = lo; k < hi; ++k) setLead(order[k], 8);
                std::sort(order.begin() + static_cast<ptrdiff_t>(lo), order.begin() + static_cast<ptrdiff_t>(hi),
                          byLead);
            }
            lo = hi;
        }
    }
    const TSlots before(List.begin() + Min, List.begin() + Max + 1);
    for (size_t i = 0; i < n; ++i) List[static_cast<size_t>(Min) + i] = before[order[i].Slot];
}

void TGvMergeSort::Merge(TSlots& Left, int LeftLo, int LeftHi, TSlots& Right, int RightLo, int RightHi, TSlots& Dest,
                         int D) {
    // Ties take the left (earlier) entry first; once the left run is used
    // up the rest of the right run is already in place.
    int i = LeftLo;
    int j = RightLo;
    int k = D;
    while (i < LeftHi) {
        if (j >= RightHi || LessOrEqual(Left[static_cast<size_t>(i)], Right[static_cast<size_t>(j)]))
            Dest[static_cast<size_t>(k++)] = Left[static_cast<size_t>(i++)];
        else
            Dest[static_cast<size_t>(k++)] = Right[static_cast<size_t>(j++)];
    }
}

void TGvMergeSort::SortInPlace(TSlots& List, int Lo, int Hi, TSlots& Buffer, int B) {
    const int n = Hi - Lo;
    if (n >= 3) {
        const int m = n / 2;
        SortInPlace(List, Hi - m, Hi, Buffer, B);
        SortInto(List, Lo, Hi - m, Buffer, B);
        Merge(Buffer, B, B + n - m, List, Hi - m, Hi, List, Lo);
    } else if (n == 2) {
        if (!LessOrEqual(List[static_cast<size_t>(Lo)], List[static_cast<size_t>(Lo + 1)]))
            std::swap(List[static_cast<size_t>(Lo)], List[static_cast<size_t>(Lo + 1)]);
    }
}

void TGvMergeSort::SortInto(TSlots& Source, int Lo, int Hi, TSlots& Dest, int D) {
    const int n = Hi - Lo;
    if (n >= 3) {
        const int m = n / 2;
        SortInto(Source, Lo + m, Hi, Dest, D + m);
        // The lower part is sorted in place with the still free front of
        // Dest as its buffer.
        SortInPlace(Source, Lo, Lo + m, Dest, D);
        Merge(Source, Lo, Lo + m, Dest, D + m, D + n, Dest, D);
    } else if (n == 2) {
        TGvCollectionItem* a = Source[static_cast<size_t>(Lo)];
        TGvCollectionItem* b = Source[static_cast<size_t>(Lo + 1)];
        if (LessOrEqual(a, b)) {
            Dest[static_cast<size_t>(D)] = a;
            Dest[static_cast<size_t>(D + 1)] = b;
        } else {
            Dest[static_cast<size_t>(D)] = b;
            Dest[static_cast<size_t>(D + 1)] = a;
        }
    } else if (n == 1) {
        Dest[static_cast<size_t>(D)] = Source[static_cast<size_t>(Lo)];
    }
}

// ---- TGvSortManager ------------------------------------------------------------------------

GCL_PUBLISHED(TGvSortManager,
    GCL_PROP(Algorithm).Default(esaMergeSort),
    GCL_PROP(AutoRegroup).Default(false),
    GCL_PROP(AutoSort).Default(false))

TGvSortManager::TGvSortManager(TCustomGvListview* AOwner)
    : TGvOwnedPersistent(AOwner), FSorter(std::make_unique<TGvMergeSort>(this)) {}

TGvSortManager::~TGvSortManager() = default;

void TGvSortManager::SetAlgorithm(TGvSortAlgorithm Value) {
    if (Value == FAlgorithm) return;
    FSorter.reset();
    switch (Value) {
    case esaQuickSort:
        FSorter = std::make_unique<TGvQuickSort>(this);
        break;
    case esaBubbleSort:
        FSorter = std::make_unique<TGvBubbleSort>(this);
        break;
    case esaMergeSort:
        FSorter = std::make_unique<TGvMergeSort>(this);
        break;
    }
    FAlgorithm = Value;
}

namespace {
TGvColumn* FocusedOrFirstColumn(TCustomGvListview* lv) {
    if (!lv) return nullptr;
    if (lv->GetSelection() && lv->GetSelection()->PeekFocusedColumn()) return lv->GetSelection()->PeekFocusedColumn();
    return lv->GetHeader() ? lv->GetHeader()->FirstColumn() : nullptr;
}

// A group key shown as a caption: the character upper-cased the ANSI way
// (only a to z change).
std::wstring KeyCaption(uint32_t key) {
    std::string text = gcl::WideToAnsi(std::wstring(1, static_cast<wchar_t>(key & 0xFFFF)));
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return gcl::AnsiToWide(text);
}
} // namespace

void TGvSortManager::SetAutoRegroup(bool Value) {
    if (Value == FAutoRegroup) return;
    TCustomGvListview* lv = FOwnerListview;
    TListviewUpdate update(lv);
    if (lv) lv->SetShowGroupMargins(Value);
    FAutoRegroup = Value;
    ReGroup(FocusedOrFirstColumn(lv));
}

void TGvSortManager::SetAutoSort(bool Value) {
    if (Value == FAutoSort) return;
    FAutoSort = Value;
    TCustomGvListview* lv = FOwnerListview;
    if (lv && lv->GetSelection() && !lv->GetSelection()->PeekFocusedColumn() && lv->GetHeader())
        lv->GetSelection()->SetFocusedColumn(lv->GetHeader()->FirstColumn());
    if (Value) SortAll(false);
}

void TGvSortManager::ReGroup(TGvColumn* Column) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv || !lv->GetGroups()) return;
    TGvGroups* groups = lv->GetGroups();
    lv->BeginUpdate();
    try {
        const int columnIndex = Column ? Column->GetIndex() : 0;
        FKeyList.assign(static_cast<size_t>(groups->ItemCount()), TGvGroupKeyEntry{});
        size_t k = 0;
        for (int g = 0; g < groups->GetCount(); ++g) {
            TGvItems* items = groups->GetGroups(g)->GetItems();
            if (!items) continue;
            items->Settle();
            items->FNumbered = false;
            const int count = items->GetCount();
            for (int i = 0; i < count; ++i) {
                // Items and their captions lie scattered over the heap: the
                // item, then its caption, then the caption's text are
                // fetched ahead, each once the one before has arrived.
                if (i + 24 < count) __builtin_prefetch(items->FList[static_cast<size_t>(i + 24)]);
                if (i + 16 < count) __builtin_prefetch(items->FList[static_cast<size_t>(i + 16)]->PeekCaption(0));
                if (i + 8 < count) {
                    const TGvCaption* ahead = items->FList[static_cast<size_t>(i + 8)]->PeekCaption(0);
                    if (ahead) __builtin_prefetch(ahead->data());
                }
                TGvItem* item = items->GetItems(i);
                uint32_t key = 0;
                if (FAutoRegroup) {
                    key = GvNoGroupKey;
                    lv->DoAutoGroupGetKey(item, columnIndex, groups, key);
                    if (key != GvNoGroupKey) {
                        item->SetGroupKey(columnIndex, key);
                    } else {
                        // The key is the first character, lower-cased alone.
                        const TGvCaption* peeked = item->PeekCaption(0);
                        const std::wstring asked = peeked ? std::wstring() : item->GetCaption();
                        const std::wstring_view caption = peeked ? peeked->View() : std::wstring_view(asked);
                        key = caption.empty() ? 0 : static_cast<uint16_t>(WideCharLower(caption[0]));
                    }
                }
                FKeyList[k++] = TGvGroupKeyEntry{item, key};
                item->FCollection = nullptr;
                items->FList[static_cast<size_t>(i)] = nullptr;
            }
        }
        for (int g = 0; g < groups->GetCount(); ++g) {
            if (TGvItems* items = groups->GetGroups(g)->GetItems()) {
                auto& list = items->FList;
                list.erase(std::remove(list.begin(), list.end(), nullptr), list.end());
                items->FVisibleList.clear();
            }
            groups->GetGroups(g)->FVisibleItems.clear();
        }
        groups->Clear(true);
        {
            gcl::TFlagScope regrouping(FRegrouping);
            FGroupOfKey.clear();
            FLastKeyGroup = nullptr;
            for (size_t i = 0; i < FKeyList.size(); ++i) {
                if (i + 16 < FKeyList.size()) __builtin_prefetch(FKeyList[i + 16].Item, 1);
                AddToGroupByKey(FKeyList[i].Item, columnIndex, FKeyList[i].Key);
            }
        }
        FGroupOfKey.clear();
        FLastKeyGroup = nullptr;
        SortAll(false);
    } catch (...) {
        FGroupOfKey.clear();
        FLastKeyGroup = nullptr;
        // No item may be left without a group: the ones not placed yet go
        // to the last group (a new one when there is none).
        for (const TGvGroupKeyEntry& entry : FKeyList) {
            if (!entry.Item || entry.Item->FCollection) continue;
            try {
                TGvGroup* group = groups->LastGroup();
                if (!group) group = groups->Add(nullptr);
                if (group) {
                    group->FItems->FNumbered = false;
                    group->FItems->FList.push_back(entry.Item);
                    entry.Item->FCollection = group->FItems;
                    if (entry.Item->GetSelected() || entry.Item->GetFocused()) group->FItems->FSelectionSeen = true;
                    group->FItems->ReIndexItems(false);
                }
            } catch (...) {
            }
        }
        FKeyList.clear();
        lv->EndUpdate(true);
        throw;
    }
    FKeyList.clear();
    lv->EndUpdate(true);
}

void TGvSortManager::AddToGroupByKey(TGvItem* Item, int ColumnIndex, uint32_t Key) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv || !Item) return;
    TGvGroups* groups = lv->GetGroups();
    TGvGroup* group = nullptr;
    bool known = false;
    if (FRegrouping) {
        if (FLastKeyGroup && FLastKey == Key && FLastKeyGroup->GetCollection() == groups) {
            group = FLastKeyGroup;
        } else {
            auto it = FGroupOfKey.find(Key);
            if (it != FGroupOfKey.end() && it->second->GetCollection() == groups) group = it->second;
        }
        known = group != nullptr;
    }
    for (int g = 0; g < groups->GetCount() && !group; ++g)
        if (groups->GetGroups(g)->FKey == Key) group = groups->GetGroups(g);
    if (!group) {
        bool doDefaultAction = true;
        lv->DoAutoSortGroupCreate(Item, ColumnIndex, groups, group, doDefaultAction);
        // A group that is not one of this list view's groups cannot take
        // the item.
        if (!group || group->GetCollection() != groups) group = groups->Add(nullptr);
        if (doDefaultAction && Key != 0) group->SetCaption(KeyCaption(Key));
        group->FKey = Key;
    }
    if (FRegrouping) {
        if (!known) FGroupOfKey[Key] = group;
        FLastKey = Key;
        FLastKeyGroup = group;
    }
    // The item belongs to the items of the group that received it.
    group->FItems->FList.push_back(Item);
    Item->FCollection = group->FItems;
    if (Item->GetSelected() || Item->GetFocused()) group->FItems->FSelectionSeen = true;
    Item->FIndex = static_cast<int>(group->FItems->FList.size()) - 1;
}

void TGvSortManager::SortAll(bool) {
    TCustomGvListview* lv = FOwnerListview;
    if (!FSorter || !lv || !lv->GetGroups()) return;
    if (lv->GetEditManager()) lv->GetEditManager()->StopEdit();
    TGvGroups* groups = lv->GetGroups();
    FSorter->Sort(nullptr, groups, 0, groups->GetCount() - 1, &TCustomGvListview::GroupCompare, nullptr,
                  CollectionSupportsCompare(groups));
    // The sorters move list slots only; the indexes follow here, so they
    // are right also while there is no window to lay out.
    groups->ReIndexItems(false);
    TGvColumn* column = lv->GetSelection() ? lv->GetSelection()->GetFocusedColumn() : nullptr;
    for (int g = 0; g < groups->GetCount(); ++g) {
        TGvItems* items = groups->GetGroups(g)->GetItems();
        if (!items) continue;
        FSorter->Sort(column, items, 0, items->GetCount() - 1, nullptr, &TCustomGvListview::ItemCompare,
                      CollectionSupportsCompare(items));
        items->ReIndexItems(false);
    }
    // Inside an update bracket the closing EndUpdate lays the list out.
    if (!groups->GetRebuilding() && lv->GetUpdateCount() == 0) groups->Rebuild(true);
}

bool TGvSortManager::CollectionSupportsCompare(TGvCollection* Collection) const {
    if (!Collection) return false;
    for (int i = 0; i < Collection->GetCount(); ++i) {
        gcl::IUnknown* data = Collection->GetItems(i)->GetDataInf();
        if (!data) return false;
        gcl::ComPtr<IGvCompare> compare;
        if (!gcl::Supports(data, compare)) return false;
    }
    return true;
}

} // namespace qelvo
