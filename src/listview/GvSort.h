// Sorting of groups and items and automatic grouping by key.
#pragma once

#include "listview/GvGrids.h"

#include <unordered_map>

namespace qelvo {

// ---- Sorting and automatic grouping --------------------------------------------------------

using TGvGroupCompareFunc = int (TCustomGvListview::*)(TGvColumn* Column, TGvGroup* Group1, TGvGroup* Group2);
using TGvItemCompareFunc = int (TCustomGvListview::*)(TGvColumn* Column, TGvGroup* Group, TGvItem* Item1,
                                                      TGvItem* Item2);

// One sort algorithm; sorts the entries Min..Max of a collection in place by
// writing its list slots (no notifications).
class TGvSorter : public gcl::TObject {
    GCL_CLASS(TGvSorter, gcl::TObject)
public:
    explicit TGvSorter(TGvSortManager* AOwner) : FOwner(AOwner) {}
    TGvSortManager* GetOwner() const noexcept { return FOwner; }
    virtual void Sort(TGvColumn* Column, TGvCollection* Collection, int Min, int Max, TGvGroupCompareFunc GroupCompare,
                      TGvItemCompareFunc ItemCompare, bool UseInterfaces) = 0;

protected:
    // The comparison in force: negative when A sorts before B.
    int Compare(TGvCollectionItem* A, TGvCollectionItem* B) const;
    // Takes the comparison for entries Min..Max; when it is the default
    // caption comparison, each caption's sort key is prepared once here.
    void Prepare(TGvColumn* Column, TGvCollection* Collection, int Min, int Max, TGvGroupCompareFunc GroupCompare,
                 TGvItemCompareFunc ItemCompare, bool UseInterfaces);
    // The list to reorder (its entries are numbered anew afterwards).
    TGvEntryList& Slots(TGvCollection* Collection) const {
        Collection->FNumbered = false;
        return Collection->FList;
    }

    TGvColumn* FColumn = nullptr;
    TGvGroupCompareFunc FGroupCompare = nullptr;
    TGvItemCompareFunc FItemCompare = nullptr;
    TGvGroup* FGroup = nullptr;
    bool FUseInterfaces = false;
    // The prepared sort keys (by the entries' sort slots), or none.
    TWideSortKeySet FKeys;
    bool FDescending = false;

private:
    TGvSortManager* FOwner;
};

class TGvQuickSort : public TGvSorter {
    GCL_CLASS(TGvQuickSort, TGvSorter)
public:
    using TGvSorter::TGvSorter;
    void Sort(TGvColumn* Column, TGvCollection* Collection, int Min, int Max, TGvGroupCompareFunc GroupCompare,
              TGvItemCompareFunc ItemCompare, bool UseInterfaces) override;

private:
    void QuickSort(TGvEntryList& List, int L, int R);
};

class TGvBubbleSort : public TGvSorter {
    GCL_CLASS(TGvBubbleSort, TGvSorter)
public:
    using TGvSorter::TGvSorter;
    void Sort(TGvColumn* Column, TGvCollection* Collection, int Min, int Max, TGvGroupCompareFunc GroupCompare,
              TGvItemCompareFunc ItemCompare, bool UseInterfaces) override;
};

// The default: a stable top-down merge sort with a half-size buffer.
class TGvMergeSort : public TGvSorter {
    GCL_CLASS(TGvMergeSort, TGvSorter)
public:
    using TGvSorter::TGvSorter;
    void Sort(TGvColumn* Column, TGvCollection* Collection, int Min, int Max, TGvGroupCompareFunc GroupCompare,
              TGvItemCompareFunc ItemCompare, bool UseInterfaces) override;

private:
    using TSlots = TGvEntryList;
    bool LessOrEqual(TGvCollectionItem* A, TGvCollectionItem* B) const { return Compare(A, B) <= 0; }
    // Sorts List[Lo, Hi) using Buffer from position B.
    void SortInPlace(TSlots& List, int Lo, int Hi, TSlots& Buffer, int B);
    // Sorts Source[Lo, Hi) into Dest from position D.
    void SortInto(TSlots& Source, int Lo, int Hi, TSlots& Dest, int D);
    void Merge(TSlots& Left, int LeftLo, int LeftHi, TSlots& Right, int RightLo, int RightHi, TSlots& Dest, int D);
    // With prepared keys: a stable sort of the entries by their keys (the
    // same order, ties included, as the merge over the keys gives): a radix
    // sort on each key's leading eight bytes, then the runs that share them
    // by the next eight and the rest.
    void SortByKeys(TSlots& List, int Min, int Max);
};

struct TGvGroupKeyEntry {
    TGvItem* Item = nullptr;
    uint32_t Key = 0;
};

// Sorting of groups and items, and automatic regrouping by key.
class TGvSortManager : public TGvOwnedPersistent {
    GCL_CLASS(TGvSortManager, TGvOwnedPersistent)
public:
    explicit TGvSortManager(TCustomGvListview* AOwner);
    ~TGvSortManager() override;

    TGvSortAlgorithm GetAlgorithm() const noexcept { return FAlgorithm; }
    void SetAlgorithm(TGvSortAlgorithm Value);
    bool GetAutoRegroup() const noexcept { return FAutoRegroup; }
    void SetAutoRegroup(bool Value);
    bool GetAutoSort() const noexcept { return FAutoSort; }
    void SetAutoSort(bool Value);
    TGvSorter* GetSorter() const noexcept { return FSorter.get(); }

    // Rebuilds every group from the items' keys, then sorts.
    virtual void ReGroup(TGvColumn* Column);
    // Sorts the groups, then the items of each group.
    void SortAll(bool Force = false);
    bool CollectionSupportsCompare(TGvCollection* Collection) const;
    // Puts Item into the group of Key, creating that group when needed.
    void AddToGroupByKey(TGvItem* Item, int ColumnIndex, uint32_t Key);

private:
    TGvSortAlgorithm FAlgorithm = esaMergeSort;
    bool FAutoRegroup = false;
    bool FAutoSort = false;
    std::vector<TGvGroupKeyEntry> FKeyList;
    std::unique_ptr<TGvSorter> FSorter;
    // While ReGroup places items: the group of each key met so far, and
    // the last key placed with its group (keys come in runs).
    bool FRegrouping = false;
    std::unordered_map<uint32_t, TGvGroup*> FGroupOfKey;
    uint32_t FLastKey = 0;
    TGvGroup* FLastKeyGroup = nullptr;
};

} // namespace qelvo
