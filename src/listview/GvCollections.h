// The collection base and its entry base with the 16-bit state word, the
// items, groups and columns collections, the flat item view, the default
// bitmap store and the item kinds.
#pragma once

#include "listview/GvPaintInfo.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "gcl/rtl/SlotPool.h"

namespace qelvo {

// ---- Data holders -------------------------------------------------------------------------

// A stored caption: UTF-16 text kept in a pooled slot rather than a heap
// block of its own (a list holds captions by the hundred thousand). It reads
// and compares like std::wstring and becomes one where one is wanted.
class TGvCaption : public std::basic_string<wchar_t, std::char_traits<wchar_t>, gcl::TSlotAllocator<wchar_t>> {
    using TText = std::basic_string<wchar_t, std::char_traits<wchar_t>, gcl::TSlotAllocator<wchar_t>>;

public:
    using TText::TText;
    TGvCaption() noexcept = default;
    TGvCaption(std::wstring_view Text) : TText(Text.data(), Text.size()) {}
    TGvCaption(const std::wstring& Text) : TText(Text.data(), Text.size()) {}
    TGvCaption& operator=(std::wstring_view Text) {
        assign(Text.data(), Text.size());
        return *this;
    }
    TGvCaption& operator=(const std::wstring& Text) { return *this = std::wstring_view(Text); }

    std::wstring_view View() const noexcept { return std::wstring_view(data(), size()); }
    operator std::wstring() const { return std::wstring(data(), size()); }

    friend bool operator==(const TGvCaption& A, const TGvCaption& B) noexcept { return A.View() == B.View(); }
    friend bool operator==(const TGvCaption& A, const std::wstring& B) noexcept { return A.View() == B; }
    friend bool operator==(const TGvCaption& A, const wchar_t* B) noexcept { return A.View() == B; }
};

// The captions of an object by column, in a pooled array; compares with and
// becomes a std::vector<std::wstring> where one is wanted.
class TGvCaptions : public std::vector<TGvCaption, gcl::TSlotAllocator<TGvCaption>> {
    using TArray = std::vector<TGvCaption, gcl::TSlotAllocator<TGvCaption>>;

public:
    using TArray::TArray;
    using TArray::operator=;

    operator std::vector<std::wstring>() const { return std::vector<std::wstring>(begin(), end()); }
    friend bool operator==(const TGvCaptions& A, const std::vector<std::wstring>& B) noexcept {
        return std::equal(A.begin(), A.end(), B.begin(), B.end(),
                          [](const TGvCaption& a, const std::wstring& b) { return a == b; });
    }
};

// Per-column data of stored objects. A write at index i grows the array to
// i + 1 entries, filling with the read default; it answers whether the
// value read at i changed.
class TGvDynamicDataHelper : public gcl::TObject {
    GCL_CLASS(TGvDynamicDataHelper, gcl::TObject)
public:
    TGvDynamicDataHelper() = default;

    std::wstring GetCaption(int Index) const;
    // The stored caption itself (an empty one past the end).
    const TGvCaption& CaptionRef(int Index) const;
    bool SetCaption(int Index, const std::wstring& Value);
    int32_t GetDetail(int Index) const;
    bool SetDetail(int Index, int32_t Value);
    uint32_t GetGroupKey(int Index) const;
    bool SetGroupKey(int Index, uint32_t Value);
    int32_t GetImageIndex(int Index) const;
    bool SetImageIndex(int Index, int32_t Value);
    int32_t GetOverlayIndex(int Index) const;
    bool SetOverlayIndex(int Index, int32_t Value);

    // Captions, Details, ImageIndexes, OverlayIndexes.
    virtual void LoadFromStream(gcl::TStream& S, int Version);
    virtual void SaveToStream(gcl::TStream& S, int Version);

    TGvCaptions Captions;
    std::vector<int32_t> Details;
    std::vector<uint32_t> GroupKeys;
    std::vector<int32_t> ImageIndexes;
    std::vector<int32_t> OverlayIndexes;
};

class TGvItemDynamicDataHelper : public TGvDynamicDataHelper {
    GCL_CLASS(TGvItemDynamicDataHelper, TGvDynamicDataHelper)
public:
    TGvItemDynamicDataHelper() = default;

    int32_t GetStateImageIndex(int Index) const;
    bool SetStateImageIndex(int Index, int32_t Value);

    // Then GroupKeys and StateImageIndexes (read only from version 3 on).
    void LoadFromStream(gcl::TStream& S, int Version) override;
    void SaveToStream(gcl::TStream& S, int Version) override;

    std::vector<int32_t> StateImageIndexes;
};

// ---- Collection items ----------------------------------------------------------------------

using TGvCollectionItemMetaClass = gcl::TClassOf<TGvCollectionItem, gcl::TMetaClass, TGvCollection*>;
// A class reference to an item, group or column class; Create(Collection)
// is its virtual constructor.
using TGvCollectionItemClass = const TGvCollectionItemMetaClass*;

// The common base of every item, group and column: the state word with its
// query / change / notify protocol, the index in the collection, the user
// data, the display rectangle and the record of the collection stream.
// The lists of a collection's entries and of a group's visible items keep
// their storage in the class library's small-block pools: a list of
// thousands of small groups takes no heap block per group.
using TGvEntryList = std::vector<TGvCollectionItem*, gcl::TSlotAllocator<TGvCollectionItem*>>;
using TGvItemList = std::vector<TGvItem*, gcl::TSlotAllocator<TGvItem*>>;

class TGvCollectionItem : public TGvPersistent {
    GCL_CLASS_META(TGvCollectionItem, TGvPersistent, TGvCollectionItemMetaClass)
public:
    TGvCollection* GetCollection() const noexcept { return FCollection; }
    TCustomGvListview* OwnerListview() const noexcept;
    gcl::TPersistent* GetOwner() const override;

    void* GetData() const noexcept { return FData; }
    virtual void SetData(void* Value);
    gcl::IUnknown* GetDataInf() const noexcept { return FDataInf.Get(); }
    // Unregisters the notification sink from the old data object and
    // registers it with the new one when they support IGvItemNotification.
    void SetDataInf(gcl::IUnknown* Value);
    gcl::TRect GetDisplayRect() const noexcept { return FDisplayRect; }
    void SetDisplayRect(const gcl::TRect& Value) noexcept { FDisplayRect = Value; }
    // The position in the collection (-1 without one).
    virtual int GetIndex() const;
    int GetVisibleIndex() const noexcept { return FVisibleIndex; }
    void SetVisibleIndex(int Value) noexcept { FVisibleIndex = Value; }
    intptr_t GetTag() const noexcept { return FTag; }
    void SetTag(intptr_t Value) noexcept { FTag = Value; }
    TGvObjectStates GetState() const noexcept;
    bool HasState(TGvObjectStateItem Item) const noexcept;
    // The own paint info, or null (the list view's default of the kind is
    // used then). With Owns, it is freed with the object.
    TGvPaintInfoBasic* GetPaintInfo() const noexcept {
        return reinterpret_cast<TGvPaintInfoBasic*>(FPaintInfo & ~OwnsPaintInfoBit);
    }
    void SetPaintInfo(TGvPaintInfoBasic* Value, bool Owns);
    // The paint info in force: the own one or the kind's default.
    TGvPaintInfoBasic* PaintInfo() const;

    // State properties.
    bool GetBold() const noexcept { return FState.Contains(esosBold); }
    void SetBold(bool Value);
    virtual bool GetChecked() const { return FState.Contains(esosChecked); }
    virtual void SetChecked(bool Value);
    bool GetCut() const noexcept { return FState.Contains(esosCut); }
    void SetCut(bool Value);
    bool GetEnabled() const noexcept { return FState.Contains(esosEnabled); }
    void SetEnabled(bool Value);
    bool GetFocused() const noexcept { return FState.Contains(esosFocused); }
    void SetFocused(bool Value);
    bool GetGhosted() const noexcept { return FState.Contains(esosGhosted); }
    void SetGhosted(bool Value);
    bool GetSelected() const noexcept { return FState.Contains(esosSelected); }
    void SetSelected(bool Value);
    bool GetVisible() const noexcept { return FState.Contains(esosVisible); }
    void SetVisible(bool Value);
    bool GetHotTracking() const noexcept { return FState.Contains(esosHotTracking); }
    void SetHotTracking(bool Value, gcl::TPoint MousePos = {});
    bool GetDropTarget() const noexcept { return FState.Contains(esosDropTarget); }
    void SetDropTarget(bool Value);
    bool GetInitialized() const noexcept { return FState.Contains(esosInitialized); }
    virtual void SetInitialized(bool Value);
    bool GetCheckPending() const noexcept { return FState.Contains(esosCheckPending); }
    void SetCheckPending(bool Value);
    bool GetCheckHot() const noexcept { return FState.Contains(esosCheckHot); }
    void SetCheckHot(bool Value);
    bool GetClicking() const noexcept { return FState.Contains(esosClicking); }
    void SetClicking(bool Value);
    bool GetMarked() const noexcept { return FState.Contains(esosMarked); }
    void SetMarked(bool Value);
    bool IsDestroying() const noexcept;

    // Captions and images of column 0, and by column.
    virtual std::wstring GetCaption() const { return GetCaptions(0); }
    virtual void SetCaption(const std::wstring& Value) { SetCaptions(0, Value); }
    virtual std::wstring GetCaptions(int Column) const;
    virtual void SetCaptions(int Column, const std::wstring& Value);
    // The caption of Column where the entry keeps it itself (the stored
    // kinds), so that sorting and grouping read it without a copy; null
    // where it must be asked for.
    virtual const TGvCaption* PeekCaption(int) const { return nullptr; }
    virtual int GetImageIndex() const { return GetImageIndexes(0); }
    virtual void SetImageIndex(int Value) { SetImageIndexes(0, Value); }
    virtual int GetImageIndexes(int Column) const;
    virtual void SetImageIndexes(int Column, int Value);
    virtual int GetImageOverlayIndex() const { return GetImageOverlayIndexes(0); }
    virtual void SetImageOverlayIndex(int Value) { SetImageOverlayIndexes(0, Value); }
    virtual int GetImageOverlayIndexes(int Column) const;
    virtual void SetImageOverlayIndexes(int Column, int Value);
    // Further kind data: detail lines and image lists.
    virtual int GetDetailCount() const;
    virtual void SetDetailCount(int Value);
    virtual int GetDetails(int Line) const;
    virtual void SetDetails(int Line, int Value);
    virtual gcl::TCustomImageList* GetImageList(int Column) const;
    // Image size 0: ImagesSmall, 1: ImagesLarge, 2: ImagesExLarge.
    virtual gcl::TCustomImageList* DefaultImageList(int ImageSize) const;

    // Entries that draw their image themselves: the question (False unless
    // told otherwise), the size and the drawing. Column is the item's column
    // (null for groups and columns). The base asks the list view's events.
    virtual bool ImageDrawIsCustom(TGvColumn* Column);
    virtual void ImageGetSize(TGvColumn* Column, int& ImageWidth, int& ImageHeight);
    virtual void ImageDraw(TGvColumn* Column, gcl::TCanvas* ACanvas, const TGvRectArrayObject& RectArray,
                           TGvAlphaBlender* AlphaBlender);

    // The caption, or the class name when the caption is empty.
    virtual std::string GetDisplayName() const;
    virtual bool CanDrag() const { return true; }

    // Repaints the object (nothing while the list view is updating).
    virtual void Invalidate(bool ImmediateUpdate);
    virtual void MakeVisible(TGvMakeVisiblePos) {}
    // The record of the collection stream: magic, version, the state word
    // (masked). Loading a record without magic counts as version 2.
    virtual void LoadFromStream(gcl::TStream& S, int& Version);
    virtual void SaveToStream(gcl::TStream& S, int Version);

    void BeforeDestruction() noexcept override;

protected:
    explicit TGvCollectionItem(TGvCollection* ACollection);
    ~TGvCollectionItem() override;

    // Queries: may the state change?
    virtual bool CanChangeBold() { return true; }
    virtual bool CanChangeCheck() { return true; }
    virtual bool CanChangeEnable() { return true; }
    virtual bool CanChangeFocus() { return true; }
    virtual bool CanChangeHotTracking() { return true; }
    virtual bool CanChangeSelection() { return true; }
    virtual bool CanChangeVisibility() { return true; }
    // The kind's default paint info.
    virtual TGvPaintInfoBasic* DefaultPaintInfo() const { return nullptr; }
    virtual void Freeing() {}
    // Gain notifications.
    virtual void BoldGain() {}
    virtual void CheckGain() {}
    virtual void EnableGain() {}
    virtual void FocusGain() {}
    virtual void GhostedGain() {}
    virtual void DropTargetGain() {}
    virtual void HotTrackGain(gcl::TPoint) {}
    virtual void SelectionGain() {}
    virtual void VisibilityGain() {}
    // Loss notifications.
    virtual void BoldLose() {}
    virtual void GhostedLose() {}
    virtual void HotTrackLose() {}
    virtual void Initialize() {}
    virtual void CheckLose() {}
    virtual void EnableLose() {}
    virtual void FocusLose() {}
    virtual void DropTargetLose() {}
    virtual void SelectionLose() {}
    virtual void VisibilityLose() {}

    void SetStateBit(TGvObjectStateItem Item, bool Value) noexcept {
        if (Value)
            FState.Include(Item);
        else
            FState.Exclude(Item);
    }


private:
    friend class TGvCollection;
    friend class TGvItems;
    friend class TGvSortManager;
    friend class TGvSorter;

    // The notification sink handed to data objects; not reference counted.
    struct TNotifierSink : IGvNotifier {
        TGvCollectionItem* Owner = nullptr;
        gcl::HRESULT GCL_STDCALL QueryInterface(const gcl::TGUID&, void** out) override;
        gcl::ULONG GCL_STDCALL AddRef() override { return static_cast<gcl::ULONG>(-1); }
        gcl::ULONG GCL_STDCALL Release() override { return static_cast<gcl::ULONG>(-1); }
        void GCL_STDCALL Invalidate(bool ImmediateUpdate) override;
    };

    TGvCollection* FCollection;
    void* FData = nullptr;
    gcl::ComPtr<gcl::IUnknown> FDataInf;
    gcl::TRect FDisplayRect;
    int FIndex = -1;
    // The own paint info's address, with OwnsPaintInfoBit set when the
    // object frees it (a flag of its own would take a word of every item).
    static constexpr std::uintptr_t OwnsPaintInfoBit = 1;
    std::uintptr_t FPaintInfo = 0;
    intptr_t FTag = 0;
    TGvObjectStates FState;
    int FVisibleIndex = -1;
    // The entry's place in the sorter's prepared keys while a sort runs.
    int FSortSlot = 0;
    TNotifierSink FNotifierSink;
};

// ---- Collections ---------------------------------------------------------------------------

// The owned, ordered list of the groups of a list view, the items of a
// group or the columns of the header.
class TGvCollection : public TGvOwnedPersistent {
    GCL_CLASS(TGvCollection, TGvOwnedPersistent)
public:
    int GetCount() const noexcept { return static_cast<int>(FList.size()) - FHoles; }
    // The entry at Index (no range check).
    TGvCollectionItem* GetItems(int Index) const {
        if (Index >= FFirstHole) Settle();
        return FList[static_cast<size_t>(Index)];
    }
    // Replaces the list slot (no re-indexing, no notification).
    void SetItems(int Index, TGvCollectionItem* Value) {
        Settle();
        FList[static_cast<size_t>(Index)] = Value;
        FNumbered = false;
        if (Value && (Value->GetSelected() || Value->GetFocused())) FSelectionSeen = true;
    }
    int VisibleCount() const noexcept { return static_cast<int>(FVisibleList.size()); }
    TGvCollectionItem* VisibleItems(int Index) const;
    TGvEntryList& VisibleList() noexcept { return FVisibleList; }
    // Where the list of entries lies, to fetch it ahead of a walk.
    const void* EntriesAt() const noexcept { return FList.data(); }
    // The list itself, to change at will (the entries are numbered anew).
    TGvEntryList& List() noexcept {
        Settle();
        FNumbered = false;
        return FList;
    }

    // A new entry of ItemClass with Data; null when the class cannot be made.
    TGvCollectionItem* Add(void* Data);
    // Room for Count entries in all, so that adding that many grows the
    // list once (nothing else changes).
    void Reserve(int Count) {
        if (Count > 0) FList.reserve(static_cast<size_t>(Count));
    }
    virtual void Clear(bool FreeItems = true);
    void Exchange(int Index1, int Index2);
    // Takes Item out of its collection and puts it into this one at Index
    // (clamped), re-indexing both and signalling both structure changes.
    void MoveItem(TGvCollectionItem* Item, int Index);
    // Numbers the entries by their positions (nothing to do when no change
    // of the list has broken the numbering since it was last done).
    void ReIndexItems(bool Force = false);
    virtual TGvCollectionItem* FirstVisible() const;
    virtual TGvCollectionItem* LastVisible() const;
    virtual TGvCollectionItem* NextVisible(TGvCollectionItem* Item) const;
    virtual TGvCollectionItem* PrevVisible(TGvCollectionItem* Item) const;
    virtual void MakeAllVisible();
    virtual void BeginUpdate();
    virtual void EndUpdate(bool Invalidate = true);
    // The collection stream: version, count, then per entry its class name
    // (from version 5 on) and its record.
    virtual void ReadItems(gcl::TStream& S);
    virtual void WriteItems(gcl::TStream& S);

    TGvCollectionItemClass GetItemClass() const noexcept { return FItemClass; }
    void SetItemClass(TGvCollectionItemClass Value) noexcept { FItemClass = Value; }
    bool GetHideFromForm() const noexcept { return FHideFromForm; }
    void SetHideFromForm(bool Value) noexcept { FHideFromForm = Value; }
    intptr_t GetTag() const noexcept { return FTag; }
    void SetTag(intptr_t Value) noexcept { FTag = Value; }
    int GetReIndexCount() const noexcept { return FReIndexCount; }
    bool GetClearing() const noexcept { return FClearing; }

    void BeforeDestruction() noexcept override;

protected:
    // BaseClass: what every entry read from a stream must descend from.
    TGvCollection(TCustomGvListview* AOwner, TGvCollectionItemClass BaseClass);
    ~TGvCollection() override;

    void DefineProperties(gcl::TFiler& Filer) override;
    virtual void DoItemAdd(TGvCollectionItem*, int) {}
    virtual void DoStructureChange() {}
    // The clear's own work: every entry marked destroying and without
    // focus or selection, freed when FreeItems, and the lists emptied;
    // nothing is signalled.
    void ClearEntries(bool FreeItems);
    // Appends Item to the list with its index, and signals its adding.
    void AppendEntry(TGvCollectionItem* Item);
    // Frees every entry, last first, while the collection clears itself
    // (each already destroying, without focus or selection); the list
    // still names them.
    virtual void FreeEntries();
    // True while Exchange signals its change.
    bool GetExchanging() const noexcept { return FExchanging; }
    // True while a clear frees entries none of which was selected or
    // focused (each counts as destroying from the start).
    bool GetEntriesDestroying() const noexcept { return FEntriesDestroying; }
    // Removes Item from the lists without freeing it.
    void Extract(TGvCollectionItem* Item);
    // Takes Item, which is being freed, out of the lists: its place in the
    // list is left empty until the list is next read past it (Settle).
    void Vacate(TGvCollectionItem* Item);
    // Closes the list up over the places that freed entries left empty.
    void Settle() const noexcept {
        if (FHoles > 0) CloseUp();
    }
    // Keeps the entries Keep marks (entry I stays when Keep[I] is not 0),
    // in their order, and frees the others as ClearEntries frees them:
    // each one that goes is destroying and loses its focus and selection
    // (their events fire) before it leaves the lists, and the entries gone
    // are handed to FreeOutside together; nothing else is signalled.
    void RetainEntries(const std::vector<std::uint8_t>& Keep);
    // Frees entries RetainEntries took out of the lists (each destroying),
    // last first; their frees leave the lists as they are.
    virtual void FreeOutside(TGvEntryList& Gone);

    int FReIndexCount = 0;

private:
    friend class TGvCollectionItem;
    friend class TGvSortManager;
    friend class TGvSorter;

    void CloseUp() const noexcept;

    bool FHideFromForm = false;
    // The entries in order. An entry freed on its own leaves its place
    // empty (null) rather than moving every entry after it, so that many
    // entries freed one by one (inside an update) cost one walk that
    // closes the list up, when the list is next read past the first empty
    // place (FFirstHole) or laid out; GetCount leaves the FHoles empty
    // places out, and every reader of the list settles it first.
    mutable TGvEntryList FList;
    mutable int FHoles = 0;
    static constexpr int NoHole = 0x7FFFFFFF;
    mutable int FFirstHole = NoHole;
    // Every entry's stored index is its position in FList (empty places
    // counted). Whatever moves entries other than at the end clears it.
    bool FNumbered = true;
    intptr_t FTag = 0;
    TGvEntryList FVisibleList;
    TGvCollectionItemClass FItemClass;
    TGvCollectionItemClass FBaseClass;
    bool FExchanging = false;
    bool FClearing = false;
    // Set when an entry is selected or focused, or comes in so from another
    // collection, and cleared when the collection is emptied: while it is
    // clear no entry is selected or focused, and a clear has neither to
    // take away.
    bool FSelectionSeen = false;
    // While a clear frees entries none of which was selected or focused,
    // each of them is destroying from the start, as if marked one by one
    // before the first is freed; the free loop is then the only walk over
    // the entries.
    bool FEntriesDestroying = false;
};

inline bool TGvCollectionItem::IsDestroying() const noexcept {
    return FState.Contains(esosDestroying) || (FCollection && FCollection->FEntriesDestroying);
}

inline TGvObjectStates TGvCollectionItem::GetState() const noexcept {
    TGvObjectStates state = FState;
    if (FCollection && FCollection->FEntriesDestroying) state.Include(esosDestroying);
    return state;
}

inline bool TGvCollectionItem::HasState(TGvObjectStateItem Item) const noexcept {
    return Item == esosDestroying ? IsDestroying() : FState.Contains(Item);
}

// The items of one group.
class TGvItems : public TGvCollection {
    GCL_CLASS(TGvItems, TGvCollection)
public:
    // In the small-block pools, as the groups that own them.
    static void* operator new(std::size_t Size) { return gcl::SmallSlots().Take(Size); }
    static void operator delete(void* P, std::size_t Size) noexcept { gcl::SmallSlots().Give(P, Size); }
    TGvGroup* GetOwnerGroup() const noexcept { return FOwnerGroup; }
    TGvItem* GetItems(int Index) const;
    void SetItems(int Index, TGvItem* Value);
    TGvItem* Add(void* Data);
    // Count new items at the end, the I-th with DataAt(Source, I), as Add
    // makes each (the item-add notification and the data are set item by
    // item), but with one structure change for all of them at the end.
    // Made, when given, is called with each item as soon as it has its
    // data (its check state or tag set while the item is at hand, rather
    // than in a second walk over every item).
    using TDataAt = void* (*)(const void* Source, int Index);
    using TItemMade = void (*)(const void* Source, int Index, TGvItem* Item);
    void AddMany(int Count, TDataAt DataAt, const void* Source, TItemMade Made = nullptr);
    // What an item made by AddStarted starts with.
    struct TItemStart {
        void* Data = nullptr;
        bool Checked = false;
        intptr_t Tag = 0;
    };
    using TStartAt = void (*)(const void* Source, int Index, TItemStart& Start);
    // Count new items at the end, as AddMany makes them, the I-th starting
    // as StartAt(Source, I) says: with its data, its tag, and checked or
    // not. An item that starts checked is counted so without a check
    // change (its state never changed: no event, no repaint asked), so a
    // list filled with items many of which are checked makes each at the
    // cost of an unchecked one.
    void AddStarted(int Count, TStartAt StartAt, const void* Source);
    template <class T>
    void AddMany(const std::vector<T*>& Data) {
        AddMany(static_cast<int>(Data.size()),
                [](const void* Source, int Index) -> void* {
                    return (*static_cast<const std::vector<T*>*>(Source))[static_cast<size_t>(Index)];
                },
                &Data);
    }
    // The collection's Clear inside the selection manager's batch and
    // group-selection lock.
    void Clear(bool FreeItems = true) override;
    // Keeps the items Keep marks (item I stays when Keep[I] is not 0), in
    // their order, and frees the others in one walk, inside the brackets
    // Clear holds: each one that goes loses its focus and selection first,
    // the list view drops its references to it, and its events fire as its
    // own free fires them; one structure change for all. The kept items
    // keep their state. Keep holds one mark per item.
    void Retain(const std::vector<std::uint8_t>& Keep);

protected:
    TGvItems(TCustomGvListview* AOwner, TGvGroup* AOwnerGroup);
    void DoStructureChange() override;
    // The list view's references to the items are dropped once for all of
    // them, and the items of the built-in kinds go back to their pool
    // together; each item's events fire as its own free fires them.
    void FreeEntries() override;
    // The same walk over the items Retain takes out, whose references the
    // list view drops first (and the group's visible items).
    void FreeOutside(TGvEntryList& Gone) override;

private:
    friend class TGvGroup;
    // Frees Items (this collection's, out of the list or all of it), last
    // first: those of the built-in kinds back to their pool together.
    void FreeItems(const TGvEntryList& Items);
    // Clear(true) inside the one walk of the groups' clear, which holds the
    // update and selection brackets and has dropped the list view's
    // references to the items already: the items are freed and the
    // structure event fires, the rest is the groups' clear's.
    void ClearInGroupsWalk();

    TGvGroup* FOwnerGroup;
    // Set while ClearInGroupsWalk runs: the references are gone.
    bool FReferencesDropped = false;
};

enum class TGvItemSearch { Any, Visible, Initialized, Editable };

// The groups of a list view.
class TGvGroups : public TGvCollection {
    GCL_CLASS(TGvGroups, TGvCollection)
public:
    TGvGroup* GetGroups(int Index) const;
    TGvGroup* Add(void* Data);
    void Clear(bool FreeItems = true) override;
    // An entry of the visible-group list, or null outside it.
    TGvGroup* VisibleGroup(int Index) const;
    int ItemCount() const;

    TGvGroup* FirstGroup() const;
    TGvGroup* FirstVisibleGroup() const;
    TGvGroup* LastGroup() const;
    TGvGroup* LastVisibleGroup() const;
    TGvGroup* NextGroup(TGvGroup* Group) const;
    TGvGroup* PrevGroup(TGvGroup* Group) const;
    // Only a group that is both expanded and visible is accepted.
    TGvGroup* NextVisibleGroup(TGvGroup* Group) const;
    TGvGroup* PrevVisibleGroup(TGvGroup* Group) const;

    TGvItem* FirstItem() const;
    TGvItem* FirstVisibleItem() const;
    TGvItem* FirstInitializedItem() const;
    TGvItem* LastItem() const;
    TGvItem* LastVisibleItem() const;
    TGvItem* LastInitializedItem() const;
    TGvItem* FirstInGroup(TGvGroup* Group) const;
    TGvItem* FirstVisibleInGroup(TGvGroup* Group) const;
    TGvItem* NextItem(TGvItem* Item) const;
    TGvItem* PrevItem(TGvItem* Item) const;
    TGvItem* NextVisibleItem(TGvItem* Item) const;
    TGvItem* PrevVisibleItem(TGvItem* Item) const;
    TGvItem* NextInitializedItem(TGvItem* Item) const;
    TGvItem* PrevInitializedItem(TGvItem* Item) const;
    TGvItem* NextEditableItem(TGvItem* Item) const;
    // Whether Item may be edited: visible, and OnItemEditBegin allows it.
    bool ItemEditable(TGvItem* Item) const { return Item && ItemQualifies(Item, TGvItemSearch::Editable); }
    TGvItem* PrevEditableItem(TGvItem* Item) const;
    TGvItem* NextVisibleInGroup(TGvGroup* Group, TGvItem* Item) const;

    TGvGroup* GroupByPoint(gcl::TPoint ViewPoint) const;
    TGvItem* ItemByPoint(gcl::TPoint ViewPoint) const;
    // Asks the item's group's grid for the neighbouring item.
    TGvItem* AdjacentItem(TGvItem* Item, TGvAdjacentDirection Direction) const;
    TGvGroup* FirstGroupInRect(const gcl::TRect& ViewRect) const;
    TGvGroup* NextGroupInRect(TGvGroup* Group, const gcl::TRect& ViewRect) const;
    TGvItem* FirstItemInRect(const gcl::TRect& ViewRect) const;
    TGvItem* NextItemInRect(TGvItem* Item, const gcl::TRect& ViewRect) const;
    int CellHeight() const;
    int CellWidth() const;
    void GetViewRect(gcl::TRect& R) const;
    void ExpandAll();
    void MakeAllVisible() override;
    void InvalidateGroup(TGvGroup* Group, bool ImmediateUpdate);
    // The layout pass: visible-group list, indexes, scroll bars. Waits for
    // the end of an update bracket unless forced; needs a window.
    void Rebuild(bool Force = false);
    bool GetRebuilding() const noexcept { return FRebuilding; }
    bool GetStreamGroups() const noexcept { return FStreamGroups; }
    void SetStreamGroups(bool Value) noexcept { FStreamGroups = Value; }
    void LoadFromStream(gcl::TStream& S) override;
    void SaveToStream(gcl::TStream& S) override;

protected:
    explicit TGvGroups(TCustomGvListview* AOwner);
    void DoStructureChange() override;
    // While no group, no item is focused and no edit runs (and no group
    // selected: the clear's one-walk kind), the list view's references to
    // the groups and their items are dropped once and each group of a
    // built-in kind is freed with its items in the one walk, without the
    // update and selection brackets and the references of each group's own
    // free; the events fire as that free fires them, group by group.
    void FreeEntries() override;

private:
    friend class TCustomGvListview;
    TGvItem* SearchItem(TGvItem* Item, TGvItemSearch Mode, bool Forward) const;
    bool ItemQualifies(TGvItem* Item, TGvItemSearch Mode) const;
    // One layout pass of Rebuild over the client area the list has now.
    void LayOut(TCustomGvListview* lv, bool Force);
    // Whether a pass over a client area of another size places every group
    // and row as the last one did (report rows of the built-in kinds).
    bool RowsIgnoreClientSize(TCustomGvListview* lv) const;

    bool FStreamGroups = true;
    bool FRebuilding = false;
};

// The columns of the header.
class TGvColumns : public TGvCollection {
    GCL_CLASS(TGvColumns, TGvCollection)
public:
    TGvColumn* GetColumns(int Index) const;
    // The collection's Add; the new column takes the header's Color.
    TGvColumn* Add(void* Data);
    TGvColumn* ColumnByPoint(gcl::TPoint ViewPoint) const;
    // Also empties the header's position and visible-column lists.
    void Clear(bool FreeItems = true) override;
    // After loading, widths are at least 0 and positions run 0..n-1,
    // stable by the stored positions.
    void ReadItems(gcl::TStream& S) override;

protected:
    explicit TGvColumns(TCustomGvListview* AOwner);
    void DoStructureChange() override;
};

// The list view's Items: one index over all items of all groups.
class TGvGlobalItems : public gcl::TObject {
    GCL_CLASS(TGvGlobalItems, gcl::TObject)
public:
    explicit TGvGlobalItems(TCustomGvListview* AOwner) : FOwnerListview(AOwner) {}
    // Adds to the last group, creating "Default Group" when there is none.
    TGvItem* Add(void* Data);
    void Clear();
    int GetCount() const;
    // EListError "List index out of bounds (%d)" outside 0..Count-1.
    TGvItem* GetItems(int Index) const;
    // Both items must be in one group (Exception otherwise, nothing changes).
    void Exchange(int Index1, int Index2);
    TCustomGvListview* GetOwnerListview() const noexcept { return FOwnerListview; }

private:
    TCustomGvListview* FOwnerListview;
};

// The four default bitmaps, loaded on first use.
class TGvGlobalImageManager : public TGvOwnedPersistent {
    GCL_CLASS(TGvGlobalImageManager, TGvOwnedPersistent)
public:
    explicit TGvGlobalImageManager(TCustomGvListview* AOwner);
    ~TGvGlobalImageManager() override;
    gcl::TBitmap* GetGroupExpandButton();
    gcl::TBitmap* GetGroupCollapseButton();
    gcl::TBitmap* GetColumnSortUp();
    gcl::TBitmap* GetColumnSortDown();
    void SetGroupExpandButton(gcl::TBitmap* Value) { FGroupExpandButton->Assign(Value); }
    void SetGroupCollapseButton(gcl::TBitmap* Value) { FGroupCollapseButton->Assign(Value); }
    void SetColumnSortUp(gcl::TBitmap* Value) { FColumnSortUp->Assign(Value); }
    void SetColumnSortDown(gcl::TBitmap* Value) { FColumnSortDown->Assign(Value); }
    // How many bitmaps have been loaded.
    int GetLoadCount() const noexcept { return FLoadCount; }

private:
    gcl::TBitmap* Load(gcl::TBitmap* Bitmap, const char* Resource, int Kind);
    std::unique_ptr<gcl::TBitmap> FGroupExpandButton;
    std::unique_ptr<gcl::TBitmap> FGroupCollapseButton;
    std::unique_ptr<gcl::TBitmap> FColumnSortUp;
    std::unique_ptr<gcl::TBitmap> FColumnSortDown;
    int FLoadCount = 0;
};

// ---- Items ------------------------------------------------------------------------------

// A run of adjacent selected items painted as one block; each member holds
// one reference.
class TGvSelectionGroupList : public gcl::TObject {
    GCL_CLASS(TGvSelectionGroupList, gcl::TObject)
public:
    TGvSelectionGroupList() = default;
    void Add(TGvItem* Item);
    void IncRef() noexcept { ++FRefCount; }
    // Frees the list when the count reaches 0.
    void DecRef() noexcept;
    int GetRefCount() const noexcept { return FRefCount; }
    int GetCount() const noexcept { return static_cast<int>(FItems.size()); }
    TGvItem* GetItems(int Index) const { return FItems[static_cast<size_t>(Index)]; }
    TGvItem* FirstItem() const noexcept { return FItems.empty() ? nullptr : FItems.front(); }
    gcl::TRect DisplayRect;

private:
    std::vector<TGvItem*> FItems;
    int FRefCount = 0;
};

// The list entry: one row in report view.
class TGvItem : public TGvCollectionItem {
    GCL_CLASS(TGvItem, TGvCollectionItem)
public:
    // Items live in slots the size of a stored item, side by side in a
    // pool, so a list of many items takes no heap block per item; larger
    // subclasses take theirs from the heap.
    static void* operator new(std::size_t Size);
    static void operator delete(void* P, std::size_t Size) noexcept;
    // While held (nested), the item pools keep the memory of items freed
    // for the items made next (see gcl::TSlotPool::Hold).
    static void HoldSlots() noexcept;
    static void ReleaseSlots() noexcept;

    TGvGroup* OwnerGroup() const;
    TGvItems* OwnerItems() const;
    int GetVisibleIndexInGroup() const noexcept { return FVisibleIndexInGroup; }
    void SetVisibleIndexInGroup(int Value) noexcept { FVisibleIndexInGroup = Value; }
    TGvSelectionGroupList* GetSelectionGroup() const noexcept { return FSelectionGroup; }
    // Takes a reference to Value and drops the one to the old list.
    void SetSelectionGroup(TGvSelectionGroupList* Value);

    virtual uint32_t GetGroupKey(int) const { return 0; }
    virtual void SetGroupKey(int, uint32_t) {}
    virtual int GetStateImageIndex() const { return GetStateImageIndexes(0); }
    virtual void SetStateImageIndex(int Value) { SetStateImageIndexes(0, Value); }
    virtual int GetStateImageIndexes(int Column) const;
    virtual void SetStateImageIndexes(int Column, int Value);
    virtual gcl::TCustomImageList* GetStateImageList(int Column) const;
    gcl::TCustomImageList* DefaultImageList(int ImageSize) const override;
    // Draws the item's thumbnail into ARect itself; DoDefault False keeps
    // the view from drawing the image.
    virtual void ThumbnailDraw(gcl::TCanvas* ACanvas, const gcl::TRect& ARect, TGvAlphaBlender* AlphaBlender,
                               bool& DoDefault);
    // The list view's image list of the size its view shows.
    gcl::TCustomImageList* GetImageList(int Column) const override;

    void Invalidate(bool ImmediateUpdate) override;
    void MakeVisible(TGvMakeVisiblePos Position) override;
    void LoadFromStream(gcl::TStream& S, int& Version) override;
    void SaveToStream(gcl::TStream& S, int Version) override;

    // The rectangles of the item in Column (the first column by position
    // without one), measured with the control's canvas while it has a
    // window.
    void RectArray(TGvColumn* Column, TGvRectArrayObject& R);
    // Which parts of the item lie under ViewPoint (in the column under the
    // point); True when any was hit.
    bool HitTestAt(gcl::TPoint ViewPoint, TGvItemHitTestInfoSet& HitInfo);
    // Whether a click at ViewPoint (a band over ViewRect) selects the item:
    // enabled items only; in report view with full-row selection the whole
    // row, otherwise the icon and caption, stretched to the row's height.
    bool SelectionHitPt(gcl::TPoint ViewPoint);
    bool SelectionHit(const gcl::TRect& ViewRect);
    // Asks the edit manager to edit the item in Column (nil: its caption);
    // returns when the edit has ended.
    void Edit(TGvColumn* Column = nullptr);

    void BeforeDestruction() noexcept override;

protected:
    explicit TGvItem(TGvCollection* ACollection) : TGvCollectionItem(ACollection) {}

    bool CanChangeCheck() override;
    bool CanChangeEnable() override;
    bool CanChangeFocus() override;
    bool CanChangeSelection() override;
    bool CanChangeVisibility() override;
    TGvPaintInfoBasic* DefaultPaintInfo() const override;
    void Freeing() override;
    void BoldGain() override { Invalidate(false); }
    void BoldLose() override { Invalidate(false); }
    void CheckGain() override;
    void CheckLose() override;
    void EnableGain() override;
    void EnableLose() override;
    void FocusGain() override;
    void FocusLose() override;
    void GhostedGain() override;
    void GhostedLose() override;
    void HotTrackGain(gcl::TPoint MousePos) override;
    void HotTrackLose() override;
    void Initialize() override;
    void SelectionGain() override;
    void SelectionLose() override;
    void VisibilityGain() override;
    void VisibilityLose() override;

private:
    friend class TGvItems;
    void SelectionRepaint(bool Losing);
    // For TGvItems::FreeEntries: whether the item is of a built-in kind
    // whose free it may do in bulk, what that free does to the item before
    // its destructor runs (the list view's references to it already
    // dropped), and the pool of its slot.
    bool BulkFreeable() const noexcept;
    void BulkBeforeDestruction(TCustomGvListview* Listview, bool AllowHiddenChecked, bool FireVisibility,
                               bool FireFreeing, bool FireCheck) noexcept;
    static gcl::TSlotPool& SlotsOf(std::size_t Size) noexcept;

    TGvSelectionGroupList* FSelectionGroup = nullptr;
    int FVisibleIndexInGroup = -1;
};

// Data kept in the item's own DataHelper.
class TGvItemStored : public TGvItem {
    GCL_CLASS(TGvItemStored, TGvItem)
public:
    TGvItemDynamicDataHelper* GetDataHelper() noexcept { return &FDataHelper; }
    const TGvItemDynamicDataHelper* GetDataHelper() const noexcept { return &FDataHelper; }
    const TGvCaption* PeekCaption(int Column) const override { return &FDataHelper.CaptionRef(Column); }

    std::wstring GetCaptions(int Column) const override;
    void SetCaptions(int Column, const std::wstring& Value) override;
    int GetImageIndexes(int Column) const override;
    void SetImageIndexes(int Column, int Value) override;
    int GetImageOverlayIndexes(int Column) const override;
    void SetImageOverlayIndexes(int Column, int Value) override;
    int GetStateImageIndexes(int Column) const override;
    void SetStateImageIndexes(int Column, int Value) override;
    int GetDetailCount() const override;
    void SetDetailCount(int Value) override;
    int GetDetails(int Line) const override;
    void SetDetails(int Line, int Value) override;
    uint32_t GetGroupKey(int Column) const override;
    void SetGroupKey(int Column, uint32_t Key) override;
    void LoadFromStream(gcl::TStream& S, int& Version) override;
    void SaveToStream(gcl::TStream& S, int Version) override;

protected:
    friend class TGvItems;
    explicit TGvItemStored(TGvCollection* ACollection);

private:
    // Held in the item itself: one heap block less for each of many items.
    TGvItemDynamicDataHelper FDataHelper;
};

// Data asked from the list view's events each time.
class TGvItemVirtual : public TGvItem {
    GCL_CLASS(TGvItemVirtual, TGvItem)
public:
    std::wstring GetCaptions(int Column) const override;
    void SetCaptions(int Column, const std::wstring& Value) override;
    int GetImageIndexes(int Column) const override;
    void SetImageIndexes(int Column, int Value) override;
    int GetImageOverlayIndexes(int Column) const override;
    void SetImageOverlayIndexes(int Column, int Value) override;
    int GetStateImageIndexes(int Column) const override;
    void SetStateImageIndexes(int Column, int Value) override;
    gcl::TCustomImageList* GetImageList(int Column) const override;
    gcl::TCustomImageList* GetStateImageList(int Column) const override;
    int GetDetailCount() const override;
    void SetDetailCount(int Value) override;
    int GetDetails(int Line) const override;
    void SetDetails(int Line, int Value) override;
    uint32_t GetGroupKey(int Column) const override;
    void SetGroupKey(int Column, uint32_t Key) override;

protected:
    friend class TGvItems;
    explicit TGvItemVirtual(TGvCollection* ACollection) : TGvItem(ACollection) {}
};

// Data asked from the object behind DataInf through the IGv* interfaces.
class TGvItemInterfaced : public TGvItem {
    GCL_CLASS(TGvItemInterfaced, TGvItem)
public:
    std::wstring GetCaptions(int Column) const override;
    void SetCaptions(int Column, const std::wstring& Value) override;
    int GetImageIndexes(int Column) const override;
    void SetImageIndexes(int Column, int Value) override;
    int GetImageOverlayIndexes(int Column) const override;
    void SetImageOverlayIndexes(int Column, int Value) override;
    int GetStateImageIndexes(int Column) const override;
    void SetStateImageIndexes(int Column, int Value) override;
    gcl::TCustomImageList* GetImageList(int Column) const override;
    gcl::TCustomImageList* GetStateImageList(int Column) const override;
    int GetDetailCount() const override;
    void SetDetailCount(int Value) override;
    int GetDetails(int Line) const override;
    void SetDetails(int Line, int Value) override;
    uint32_t GetGroupKey(int Column) const override;
    void SetGroupKey(int Column, uint32_t Key) override;
    bool GetChecked() const override;
    void SetChecked(bool Value) override;
    bool ImageDrawIsCustom(TGvColumn* Column) override;
    void ImageGetSize(TGvColumn* Column, int& ImageWidth, int& ImageHeight) override;
    void ImageDraw(TGvColumn* Column, gcl::TCanvas* ACanvas, const TGvRectArrayObject& RectArray,
                   TGvAlphaBlender* AlphaBlender) override;
    void ThumbnailDraw(gcl::TCanvas* ACanvas, const gcl::TRect& ARect, TGvAlphaBlender* AlphaBlender,
                       bool& DoDefault) override;

protected:
    explicit TGvItemInterfaced(TGvCollection* ACollection) : TGvItem(ACollection) {}
};

} // namespace qelvo
