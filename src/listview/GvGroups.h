// Groups: captioned sections that own their items, and the group kinds.
#pragma once

#include "listview/GvCollections.h"

namespace qelvo {

// ---- Groups ---------------------------------------------------------------------------------

// A captioned section that owns its items.
class TGvGroup : public TGvCollectionItem {
    GCL_CLASS(TGvGroup, TGvCollectionItem)
public:
    // Groups, like their item lists and grids, live in the class library's
    // small-block pools: a list of thousands of groups takes no heap block
    // per group.
    static void* operator new(std::size_t Size) { return gcl::SmallSlots().Take(Size); }
    static void operator delete(void* P, std::size_t Size) noexcept { gcl::SmallSlots().Give(P, Size); }
    TGvItems* GetItems() const noexcept { return FItems; }
    TGvItem* GetItem(int Index) const;
    int ItemCount() const;
    int VisibleItemCount() const noexcept { return static_cast<int>(FVisibleItems.size()); }
    TGvItem* VisibleItem(int Index) const;
    TGvItemList& VisibleItems() noexcept { return FVisibleItems; }
    TGvItem* ItemByPoint(gcl::TPoint ViewPoint) const;
    // Which parts of the group's margins lie under ViewPoint: the margin
    // (header, footer, left, right) and the first part hit in it (icon,
    // text, label, expand button, band, check box). True when any was hit.
    bool HitTestAt(gcl::TPoint ViewPoint, TGvGroupHitTestInfoSet& HitInfo);
    bool GetExpanded() const noexcept { return FExpanded; }
    // Inside an update bracket: stores the value, fires OnGroupExpand or
    // OnGroupCollapse and re-lays the groups. Nothing when unchanged or
    // when the group paint info is not Expandable.
    virtual void SetExpanded(bool Value);
    uint32_t GetKey() const noexcept { return FKey; }
    void SetKey(uint32_t Value) noexcept { FKey = Value; }

    // Margin rectangles in view coordinates (all zero when hidden).
    gcl::TRect MarginRectTop() const;
    gcl::TRect MarginRectBottom() const;
    gcl::TRect MarginRectLeft() const;
    gcl::TRect MarginRectRight() const;
    // The display rectangle less the four margins.
    gcl::TRect ClientRect() const;
    gcl::TCustomImageList* DefaultImageList(int ImageSize) const override;

    // The layout's walk over every group (thousands of small ones lie
    // apart in memory) fetches each one's parts some turns ahead: the
    // group itself, then what it points to (its item list, grid and
    // visible items), then its item list's entries, each step a few turns
    // after the last.
    void FetchSelf() const noexcept {
        __builtin_prefetch(this);
        __builtin_prefetch(reinterpret_cast<const char*>(this) + sizeof(TGvGroup) - 1);
    }
    void FetchParts() const noexcept {
        if (FItems) __builtin_prefetch(FItems);
        if (FGrid) __builtin_prefetch(FGrid);
        if (!FVisibleItems.empty()) __builtin_prefetch(FVisibleItems.data());
    }
    void FetchItemList() const noexcept {
        if (FItems) __builtin_prefetch(FItems->EntriesAt());
    }

    // Places the group's items below PrevGroup through its grid: the items'
    // rectangles, the visible-item list and the items' visible indexes;
    // NextVisibleIndex runs over the list.
    virtual void RebuildLayout(TGvGroup* PrevGroup, int& NextVisibleIndex);
    // The grid of the list view's current style, made (or replaced) on use:
    // of the class OnCustomGrid names, else of GridClass.
    TGvGridGroup* GetGrid() const;
    // The class of the grid GetGrid gives (without making it).
    TGvGridGroupClass WantedGridClass() const;
    // The grid class of a view style.
    virtual TGvGridGroupClass GridClass(TGvListStyle ViewStyle) const;

    void LoadFromStream(gcl::TStream& S, int& Version) override;
    void SaveToStream(gcl::TStream& S, int Version) override;
    void BeforeDestruction() noexcept override;
    // Whether the groups' one walk may free the group: a built-in kind
    // without data object.
    bool BulkFreeable() const noexcept;
    // Frees the group (gone after the call) as its own free does, while its
    // collection's one walk frees every group: neither it nor any of its
    // items is focused, and the list view holds no reference to them.
    // FireFreeing: whether OnGroupFreeing has a handler.
    void FreeInGroupsWalk(TCustomGvListview* Listview, bool FireFreeing) noexcept;

protected:
    explicit TGvGroup(TGvCollection* ACollection);
    ~TGvGroup() override;

    bool CanChangeCheck() override { return GetEnabled(); }
    bool CanChangeFocus() override { return false; }
    bool CanChangeSelection() override;
    bool CanChangeVisibility() override;
    TGvPaintInfoBasic* DefaultPaintInfo() const override;
    void Freeing() override;
    void BoldGain() override { Invalidate(false); }
    void BoldLose() override { Invalidate(false); }
    void GhostedGain() override { Invalidate(false); }
    void GhostedLose() override { Invalidate(false); }
    void CheckGain() override;
    void CheckLose() override;
    void EnableGain() override;
    void EnableLose() override;
    void HotTrackGain(gcl::TPoint MousePos) override;
    void HotTrackLose() override;
    void Initialize() override;
    void SelectionGain() override;
    void SelectionLose() override;
    void VisibilityGain() override;
    void VisibilityLose() override;

private:
    friend class TGvSortManager;
    bool FExpanded = true;
    // Laid out as report rows without a grid (none made yet).
    mutable bool FRowsWithoutGrid = false;
    mutable TGvGridGroup* FGrid = nullptr;
    TGvItems* FItems = nullptr;
    uint32_t FKey = 0;
    TGvItemList FVisibleItems;
};

class TGvGroupInterfaced : public TGvGroup {
    GCL_CLASS(TGvGroupInterfaced, TGvGroup)
public:
    std::wstring GetCaptions(int Column) const override;
    void SetCaptions(int Column, const std::wstring& Value) override;
    int GetImageIndexes(int Column) const override;
    void SetImageIndexes(int Column, int Value) override;
    int GetImageOverlayIndexes(int Column) const override;
    void SetImageOverlayIndexes(int Column, int Value) override;
    gcl::TCustomImageList* GetImageList(int Column) const override;
    int GetDetailCount() const override;
    void SetDetailCount(int Value) override;
    int GetDetails(int Line) const override;
    void SetDetails(int Line, int Value) override;

    bool ImageDrawIsCustom(TGvColumn* Column) override;
    void ImageGetSize(TGvColumn* Column, int& ImageWidth, int& ImageHeight) override;
    void ImageDraw(TGvColumn* Column, gcl::TCanvas* ACanvas, const TGvRectArrayObject& RectArray,
                   TGvAlphaBlender* AlphaBlender) override;

protected:
    explicit TGvGroupInterfaced(TGvCollection* ACollection) : TGvGroup(ACollection) {}
};

class TGvGroupVirtual : public TGvGroup {
    GCL_CLASS(TGvGroupVirtual, TGvGroup)
public:
    std::wstring GetCaptions(int Column) const override;
    void SetCaptions(int Column, const std::wstring& Value) override;
    int GetImageIndexes(int Column) const override;
    void SetImageIndexes(int Column, int Value) override;
    int GetImageOverlayIndexes(int Column) const override;
    void SetImageOverlayIndexes(int Column, int Value) override;
    gcl::TCustomImageList* GetImageList(int Column) const override;
    int GetDetailCount() const override;
    void SetDetailCount(int Value) override;
    int GetDetails(int Line) const override;
    void SetDetails(int Line, int Value) override;

protected:
    explicit TGvGroupVirtual(TGvCollection* ACollection) : TGvGroup(ACollection) {}
};

class TGvBaseGroupStored : public TGvGroup {
    GCL_CLASS(TGvBaseGroupStored, TGvGroup)
public:
    TGvDynamicDataHelper* GetDataHelper() noexcept { return &FDataHelper; }
    const TGvDynamicDataHelper* GetDataHelper() const noexcept { return &FDataHelper; }
    const TGvCaption* PeekCaption(int Column) const override { return &FDataHelper.CaptionRef(Column); }
    std::wstring GetCaptions(int Column) const override;
    void SetCaptions(int Column, const std::wstring& Value) override;
    int GetImageIndexes(int Column) const override;
    void SetImageIndexes(int Column, int Value) override;
    int GetImageOverlayIndexes(int Column) const override;
    void SetImageOverlayIndexes(int Column, int Value) override;
    int GetDetailCount() const override;
    void SetDetailCount(int Value) override;
    int GetDetails(int Line) const override;
    void SetDetails(int Line, int Value) override;
    void LoadFromStream(gcl::TStream& S, int& Version) override;
    void SaveToStream(gcl::TStream& S, int Version) override;

protected:
    explicit TGvBaseGroupStored(TGvCollection* ACollection);

private:
    // Held in the group itself: one heap block less for each of thousands
    // of groups made and freed per refresh.
    TGvDynamicDataHelper FDataHelper;
};

class TGvGroupStored : public TGvBaseGroupStored {
    GCL_CLASS(TGvGroupStored, TGvBaseGroupStored)
protected:
    explicit TGvGroupStored(TGvCollection* ACollection) : TGvBaseGroupStored(ACollection) {}
};

// A stored group that can host a child window whose height follows the
// group's expanded state.
class TGvGroupTaskPanel : public TGvBaseGroupStored {
    GCL_CLASS(TGvGroupTaskPanel, TGvBaseGroupStored)
public:
    int GetHeight() const noexcept { return FHeight; }
    void SetHeight(int Value);
    gcl::TWinControl* GetTaskWindow() const noexcept { return FTaskWindow; }
    // Takes ownership of the window.
    void SetTaskWindow(gcl::TWinControl* Value);
    bool GetTaskWindowCreated() const noexcept { return FTaskWindow != nullptr; }
    void SetExpanded(bool Value) override;
    void LoadFromStream(gcl::TStream& S, int& Version) override;
    void SaveToStream(gcl::TStream& S, int Version) override;
    void BeforeDestruction() noexcept override;

protected:
    explicit TGvGroupTaskPanel(TGvCollection* ACollection) : TGvBaseGroupStored(ACollection) {}

private:
    int FHeight = 200;
    gcl::TWinControl* FTaskWindow = nullptr;
};

} // namespace qelvo
