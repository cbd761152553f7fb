// The list view's events and the control: TCustomGvListview and the
// published TGvListview.
#pragma once

#include "listview/GvViews.h"

#include "gcl/Menus.h"

namespace qelvo {

// ---- Events ---------------------------------------------------------------------------------

using TGvItemEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item)>;
using TGvItemAllowEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, bool& Allow)>;
using TGvGroupEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group)>;
using TGvGroupAllowEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, bool& Allow)>;
using TGvColumnEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column)>;
using TGvColumnAllowEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, bool& Allow)>;

using TItemCheckChangeEvent = TGvItemEvent;
using TItemEditEnd = TGvItemEvent;
using TItemEnableChangeEvent = TGvItemEvent;
using TItemFocusChangeEvent = TGvItemEvent;
using TItemFreeingEvent = TGvItemEvent;
using TItemInitializeEvent = TGvItemEvent;
using TItemSelectionChangeEvent = TGvItemEvent;
using TItemVisibilityChangeEvent = TGvItemEvent;
using TItemCheckChangingEvent = TGvItemAllowEvent;
using TItemEnableChangingEvent = TGvItemAllowEvent;
using TItemFocusChangingEvent = TGvItemAllowEvent;
using TItemSelectionChangingEvent = TGvItemAllowEvent;
using TItemVisibilityChangingEvent = TGvItemAllowEvent;
using TGroupCollapseEvent = TGvGroupEvent;
using TGroupExpandEvent = TGvGroupEvent;
using TGroupFreeingEvent = TGvGroupEvent;
using TGroupInitializeEvent = TGvGroupEvent;
using TGroupVisibilityChangeEvent = TGvGroupEvent;
using TGroupCollapsingEvent = TGvGroupAllowEvent;
using TGroupExpandingEvent = TGvGroupAllowEvent;
using TGroupVisibilityChangingEvent = TGvGroupAllowEvent;
using TColumnCheckChangeEvent = TGvColumnEvent;
using TColumnEnableChangeEvent = TGvColumnEvent;
using TColumnFreeingEvent = TGvColumnEvent;
using TColumnInitializeEvent = TGvColumnEvent;
using TColumnSelectionChangeEvent = TGvColumnEvent;
using TColumnSizeChangedEvent = TGvColumnEvent;
using TColumnVisibilityChangeEvent = TGvColumnEvent;
using TColumnCheckChangingEvent = TGvColumnAllowEvent;
using TColumnEnableChangingEvent = TGvColumnAllowEvent;
using TColumnSelectionChangingEvent = TGvColumnAllowEvent;
using TColumnVisibilityChangingEvent = TGvColumnAllowEvent;
using TGvItemSelectionsChangedEvent = gcl::TEvent<void(TCustomGvListview* Sender)>;

using TItemLoadFromStreamEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, gcl::TStream& S, int Version)>;
using TItemSaveToStreamEvent = TItemLoadFromStreamEvent;
using TGroupLoadFromStreamEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, gcl::TStream& S, int Version)>;
using TGroupSaveToStreamEvent = TGroupLoadFromStreamEvent;
using TGvColumnLoadFromStreamEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, gcl::TStream& S, int Version)>;
using TGvColumnSaveToStreamEvent = TGvColumnLoadFromStreamEvent;

using TGroupGetCaptionEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, std::wstring& Caption)>;
using TGroupSetCaptionEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, const std::wstring& Caption)>;
using TItemGetCaptionEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, int Column, std::wstring& Caption)>;
using TItemSetCaptionEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, int Column, const std::wstring& Caption)>;
using TColumnGetCaptionEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, int Line, std::wstring& Caption)>;
using TColumnSetCaptionEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, const std::wstring& Caption)>;

using TGroupGetDetailEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, int Line, int& Detail)>;
using TGroupSetDetailEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, int Line, const int& Detail)>;
using TColumnGetDetailEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, int Line, int& Detail)>;
using TColumnSetDetailEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, int Line, const int& Detail)>;
using TItemGetTileDetailEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, int Line, int& Detail)>;
using TItemSetTileDetailEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, int Line, const int& Detail)>;
using TGroupGetDetailCountEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, int& Count)>;
using TColumnGetDetailCountEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, int& Count)>;
using TItemGetTileDetailCountEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, int& Count)>;

using TGroupGetImageIndexEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, TGvImageKind ImageKind, int& ImageIndex)>;
using TGroupSetImageIndexEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, TGvImageKind ImageKind, int ImageIndex)>;
using TColumnGetImageIndexEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, TGvImageKind ImageKind, int& ImageIndex)>;
using TColumnSetImageIndexEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, TGvImageKind ImageKind, int ImageIndex)>;
using TItemGetImageIndexEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, int Column,
                                                 TGvImageKind ImageKind, int& ImageIndex)>;
using TItemSetImageIndexEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, int Column,
                                                 TGvImageKind ImageKind, int ImageIndex)>;
using TGroupGetImageListEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, gcl::TCustomImageList*& ImageList)>;
using TColumnGetImageListEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, gcl::TCustomImageList*& ImageList)>;
using TItemGetImageListEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, int Column, gcl::TCustomImageList*& ImageList)>;

using TItemHotTrackEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, TGvHotTrackState State, gcl::TPoint MousePos)>;
using TGroupHotTrackEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, TGvHotTrackState State, gcl::TPoint MousePos)>;
using TAutoGroupGetKeyEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, int ColumnIndex,
                                               TGvGroups* Groups, uint32_t& Key)>;
using TAutoSortGroupCreateEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, int ColumnIndex,
                                                   TGvGroups* Groups, TGvGroup*& Group, bool& DoDefaultAction)>;
using TGroupCompareEvent = gcl::TEvent<int(TCustomGvListview* Sender, TGvGroup* Item1, TGvGroup* Item2)>;
using TItemCompareEvent = gcl::TEvent<int(TCustomGvListview* Sender, TGvColumn* Column, TGvGroup* Group,
                                          TGvItem* Item1, TGvItem* Item2, bool& DoDefault)>;
using TItemEditBegin = gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, int& Column, bool& Allow)>;
using TItemGetGroupKeyEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, int FocusedColumn, uint32_t& GroupKey)>;
using TItemSetGroupKeyEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, int Column, uint32_t Key)>;
using TGvScrollEvent = gcl::TEvent<void(TCustomGvListview* Sender, int DeltaX, int DeltaY)>;
using TViewChangedEvent = gcl::TEvent<void(TCustomGvListview* Sender)>;
using TPaintBkGndEvent = gcl::TEvent<void(TCustomGvListview* Sender, gcl::TCanvas* ACanvas, gcl::TRect AWindowRect,
                                          TGvAlphaBlender* AlphaBlender, bool& DoDefault)>;
using TPaintHeaderBkGndEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, gcl::TCanvas* ACanvas, gcl::TRect ARect, bool& Handled)>;
using TAfterPaintEvent = gcl::TEvent<void(TCustomGvListview* Sender, gcl::TCanvas* ACanvas, gcl::TRect ClipRect)>;
using TGroupPaintTextEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, gcl::TCanvas* ACanvas)>;
using TColumnPaintTextEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, gcl::TCanvas* ACanvas)>;
using TItemPaintTextEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, int Position, gcl::TCanvas* ACanvas)>;

// Declares an event field OnX with GetOnX / SetOnX for publishing.
#define GV_EVENT(Type, Name)                                         \
public:                                                              \
    Type Name;                                                       \
    Type Get##Name() const noexcept { return Name; }                 \
    void Set##Name(Type Value) noexcept { Name = Value; }

// ---- The control -------------------------------------------------------------------------------

// The grouped list-view control. Events fire through the virtual Do
// methods; a handler counts as assigned when its code is set.
class TCustomGvListview : public TCommonCanvasControl {
    GCL_CLASS(TCustomGvListview, TCommonCanvasControl)
public:
    void BeginUpdate() override;
    void EndUpdate(bool Invalidate = true) override;

    TGvGroups* GetGroups() const noexcept { return FGroups; }
    TGvGlobalItems* GetItems() const noexcept { return FItems.get(); }
    TGvHeader* GetHeader() const noexcept { return FHeader; }
    TGvSelectionManager* GetSelection() const noexcept { return FSelection; }
    TGvBackgroundManager* GetBackGround() const noexcept { return FBackGround; }
    // The header's context menu (not owned; cleared when the menu is freed).
    gcl::TPopupMenu* GetPopupMenuHeader() const noexcept { return FPopupMenuHeader.Get(); }
    void SetPopupMenuHeader(gcl::TPopupMenu* Value) { FPopupMenuHeader = Value; }
    // Takes the manager over and frees the one it replaces.
    void SetBackGround(TGvBackgroundManager* Value);
    void SetSelection(TGvSelectionManager* Value);
    TGvSortManager* GetSort() const noexcept { return FSort; }
    TGvScrollbarManager* GetScrollbars() const noexcept { return FScrollbars; }
    TGvEditManager* GetEditManager() const noexcept { return FEditManager; }
    TGvHotTrackManager* GetHotTrack() const noexcept { return FHotTrack; }
    TGvCheckManager* GetCheckManager() const noexcept { return FCheckManager; }
    TGvCellSizes* GetCellSizes() const noexcept { return FCellSizes; }
    TGvGlobalImageManager* GetGlobalImageManager() const noexcept { return FGlobalImageManager; }
    virtual TGvPaintInfoColumn* GetPaintInfoColumn() const noexcept { return FPaintInfoColumn; }
    virtual void SetPaintInfoColumn(TGvPaintInfoColumn* Value);
    virtual TGvPaintInfoGroup* GetPaintInfoGroup() const noexcept { return FPaintInfoGroup; }
    virtual void SetPaintInfoGroup(TGvPaintInfoGroup* Value);
    virtual TGvPaintInfoItem* GetPaintInfoItem() const noexcept { return FPaintInfoItem; }
    virtual void SetPaintInfoItem(TGvPaintInfoItem* Value);

    gcl::TFont* GetGroupFont() const noexcept { return FGroupFont.get(); }
    void SetGroupFont(gcl::TFont* Value) { FGroupFont->Assign(Value); }
    gcl::TBitmap* GetGroupCollapseButton() const noexcept { return FGroupCollapseButton.get(); }
    void SetGroupCollapseButton(gcl::TBitmap* Value);
    gcl::TBitmap* GetGroupExpandButton() const noexcept { return FGroupExpandButton.get(); }
    void SetGroupExpandButton(gcl::TBitmap* Value);

    TGvListStyle GetView() const noexcept { return FView; }
    virtual void SetView(TGvListStyle Value);
    bool GetShowGroupMargins() const noexcept { return FShowGroupMargins; }
    void SetShowGroupMargins(bool Value);
    bool GetShowInactive() const noexcept { return FShowInactive; }
    void SetShowInactive(bool Value);
    bool GetShowThemedBorder() const noexcept { return FShowThemedBorder; }
    void SetShowThemedBorder(bool Value);
    bool GetAllowHiddenCheckedItems() const noexcept { return FAllowHiddenCheckedItems; }
    void SetAllowHiddenCheckedItems(bool Value) noexcept { FAllowHiddenCheckedItems = Value; }
    uint8_t GetDisabledBlendAlpha() const noexcept { return FDisabledBlendAlpha; }
    void SetDisabledBlendAlpha(uint8_t Value) noexcept { FDisabledBlendAlpha = Value; }
    gcl::TColor GetDisabledBlendColor() const noexcept { return FDisabledBlendColor; }
    void SetDisabledBlendColor(gcl::TColor Value) noexcept { FDisabledBlendColor = Value; }
    TGvDefaultWheelScroll GetWheelMouseDefaultScroll() const noexcept { return FWheelMouseDefaultScroll; }
    void SetWheelMouseDefaultScroll(TGvDefaultWheelScroll Value) noexcept { FWheelMouseDefaultScroll = Value; }
    bool GetWheelMouseScrollModifierEnabled() const noexcept { return FWheelMouseScrollModifierEnabled; }
    void SetWheelMouseScrollModifierEnabled(bool Value) noexcept { FWheelMouseScrollModifierEnabled = Value; }
    TAlignment GetHintAlignment() const noexcept { return FHintAlignment; }
    void SetHintAlignment(TAlignment Value) noexcept { FHintAlignment = Value; }
    TGvHintType GetHintType() const noexcept { return FHintType; }
    void SetHintType(TGvHintType Value) noexcept { FHintType = Value; }

    gcl::TCustomImageList* GetImagesExLarge() const noexcept { return FImagesExLarge.Get(); }
    void SetImagesExLarge(gcl::TCustomImageList* Value);
    gcl::TCustomImageList* GetImagesGroup() const noexcept { return FImagesGroup.Get(); }
    void SetImagesGroup(gcl::TCustomImageList* Value);
    gcl::TCustomImageList* GetImagesLarge() const noexcept { return FImagesLarge.Get(); }
    void SetImagesLarge(gcl::TCustomImageList* Value);
    gcl::TCustomImageList* GetImagesSmall() const noexcept { return FImagesSmall.Get(); }
    void SetImagesSmall(gcl::TCustomImageList* Value);
    gcl::TCustomImageList* GetImagesState() const noexcept { return FImagesState.Get(); }
    void SetImagesState(gcl::TCustomImageList* Value);

    // The number of checked items.
    int GetCheckedCount() const noexcept { return FCheckedCount; }
    bool IsDestroying() const noexcept { return GetComponentState().Contains(gcl::csDestroying); }
    bool IsLoading() const noexcept { return GetComponentState().Contains(gcl::csLoading); }
    // Whether the header is shown by the current view.
    bool HeaderShown() const;

    // Paints the control's content in ARect (window coordinates) into any
    // canvas: the same code the window paints with. SelectedOnly paints
    // only the selected items.
    virtual void PaintRect(gcl::TCanvas* ACanvas, const gcl::TRect& ARect, bool SelectedOnly = false);
    // The shared painters (made on first use).
    TGvViewGroup* GroupView();
    TGvViewColumn* ColumnView();
    TGvViewReportItem* ReportItemView();

    virtual TGvColumn* FocusedColumn();
    virtual void SetFocusIfAllowed();
    // Clears every item's Cut mark, then marks the selected items cut.
    void MarkSelectedCut();
    // Fits the cells of the current view to their contents: the small-icon,
    // list and grid cell sizes turn AutoSize on, report columns size to fit
    // (with VisibleOnly only the visible ones).
    void AutoFitAllCells(bool VisibleOnly);
    virtual bool GroupCaptionsShown() const;
    // The whole-control stream: version, view, groups, columns.
    virtual void LoadFromStream(gcl::TStream& S);
    virtual void SaveToStream(gcl::TStream& S);
    // The default caption comparison of two objects for Column.
    static int DefaultCaptionCompare(TGvColumn* Column, TGvCollectionItem* Item1, TGvCollectionItem* Item2);
    // Whether groups (items) are ordered by the default caption comparison:
    // no OnGroupCompare (OnItemCompare) handler. A descendant that overrides
    // DoGroupCompare or DoItemCompare answers False here.
    virtual bool DefaultCompareApplies(bool Groups) const { return Groups ? !OnGroupCompare : !OnItemCompare; }
    // Comparisons handed to the sort manager.
    int GroupCompare(TGvColumn* Column, TGvGroup* Group1, TGvGroup* Group2);
    int ItemCompare(TGvColumn* Column, TGvGroup* Group, TGvItem* Item1, TGvItem* Item2);

    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;

    // ---- Do methods: each fires its event when assigned.
    virtual void DoAutoGroupGetKey(TGvItem* Item, int ColumnIndex, TGvGroups* Groups, uint32_t& Key);
    virtual void DoAutoSortGroupCreate(TGvItem* Item, int ColumnIndex, TGvGroups* Groups, TGvGroup*& Group,
                                       bool& DoDefaultAction);
    virtual void DoColumnCheckChanged(TGvColumn* Column);
    virtual void DoColumnCheckChanging(TGvColumn* Column, bool& Allow);
    virtual void DoColumnEnableChanged(TGvColumn* Column);
    virtual void DoColumnEnableChanging(TGvColumn* Column, bool& Allow);
    virtual void DoColumnFocusChanged(TGvColumn* Column);
    virtual void DoColumnFocusChanging(TGvColumn* Column, bool& Allow);
    virtual void DoColumnFreeing(TGvColumn* Column);
    virtual void DoColumnInitialize(TGvColumn* Column);
    virtual void DoColumnSelectionChanged(TGvColumn* Column);
    virtual void DoColumnSelectionChanging(TGvColumn* Column, bool& Allow);
    virtual void DoColumnVisibilityChanged(TGvColumn* Column);
    virtual void DoColumnVisibilityChanging(TGvColumn* Column, bool& Allow);
    virtual void DoColumnLoadFromStream(TGvColumn* Column, gcl::TStream& S, int Version);
    virtual void DoColumnSaveToStream(TGvColumn* Column, gcl::TStream& S, int Version);
    virtual void DoColumnGetCaption(TGvColumn* Column, int Line, std::wstring& Caption);
    virtual void DoColumnSetCaption(TGvColumn* Column, const std::wstring& Caption);
    virtual void DoColumnGetDetail(TGvColumn* Column, int Line, int& Detail);
    virtual void DoColumnSetDetail(TGvColumn* Column, int Line, const int& Detail);
    virtual void DoColumnGetDetailCount(TGvColumn* Column, int& Count);
    virtual void DoColumnSetDetailCount(TGvColumn* Column, int Count);
    virtual void DoColumnGetImageIndex(TGvColumn* Column, TGvImageKind ImageKind, int& ImageIndex);
    virtual void DoColumnSetImageIndex(TGvColumn* Column, TGvImageKind ImageKind, int ImageIndex);
    virtual void DoColumnGetImageList(TGvColumn* Column, gcl::TCustomImageList*& ImageList);
    virtual void DoColumnStructureChange();
    virtual void DoGroupCollapse(TGvGroup* Group);
    virtual void DoGroupCollapsing(TGvGroup* Group, bool& Allow);
    virtual void DoGroupExpand(TGvGroup* Group);
    virtual void DoGroupExpanding(TGvGroup* Group, bool& Allow);
    virtual void DoGroupFreeing(TGvGroup* Group);
    virtual void DoGroupInitialize(TGvGroup* Group);
    virtual void DoGroupSelectionChanged(TGvGroup* Group);
    virtual void DoGroupSelectionChanging(TGvGroup* Group, bool& Allow);
    virtual void DoGroupVisibilityChanged(TGvGroup* Group);
    virtual void DoGroupVisibilityChanging(TGvGroup* Group, bool& Allow);
    virtual void DoGroupLoadFromStream(TGvGroup* Group, gcl::TStream& S, int Version);
    virtual void DoGroupSaveToStream(TGvGroup* Group, gcl::TStream& S, int Version);
    virtual void DoGroupGetCaption(TGvGroup* Group, std::wstring& Caption);
    virtual void DoGroupSetCaption(TGvGroup* Group, const std::wstring& Caption);
    virtual void DoGroupGetDetail(TGvGroup* Group, int Line, int& Detail);
    virtual void DoGroupSetDetail(TGvGroup* Group, int Line, const int& Detail);
    virtual void DoGroupGetDetailCount(TGvGroup* Group, int& Count);
    virtual void DoGroupSetDetailCount(TGvGroup* Group, int Count);
    virtual void DoGroupGetImageIndex(TGvGroup* Group, TGvImageKind ImageKind, int& ImageIndex);
    virtual void DoGroupSetImageIndex(TGvGroup* Group, TGvImageKind ImageKind, int ImageIndex);
    virtual void DoGroupGetImageList(TGvGroup* Group, gcl::TCustomImageList*& ImageList);
    virtual void DoGroupHotTrack(TGvGroup* Group, TGvHotTrackState State, gcl::TPoint MousePos);
    virtual int DoGroupCompare(TGvGroup* Item1, TGvGroup* Item2);
    virtual void DoGroupStructureChange();
    virtual void DoItemCheckChange(TGvItem* Item);
    virtual void DoItemCheckChanging(TGvItem* Item, bool& Allow);
    virtual void DoItemEditBegin(TGvItem* Item, int& Column, bool& Allow);
    virtual void DoItemEnableChange(TGvItem* Item);
    virtual void DoItemEnableChanging(TGvItem* Item, bool& Allow);
    virtual void DoItemFocusChanged(TGvItem* Item);
    virtual void DoItemFocusChanging(TGvItem* Item, bool& Allow);
    virtual void DoItemFreeing(TGvItem* Item);
    virtual void DoItemInitialize(TGvItem* Item);
    virtual void DoItemSelectionChanged(TGvItem* Item);
    virtual void DoItemSelectionChanging(TGvItem* Item, bool& Allow);
    virtual void DoItemSelectionsChanged();
    virtual void DoItemVisibilityChanged(TGvItem* Item);
    virtual void DoItemVisibilityChanging(TGvItem* Item, bool& Allow);
    virtual void DoItemLoadFromStream(TGvItem* Item, gcl::TStream& S, int Version);
    virtual void DoItemSaveToStream(TGvItem* Item, gcl::TStream& S, int Version);
    virtual void DoItemGetCaption(TGvItem* Item, int Column, std::wstring& Caption);
    virtual void DoItemSetCaption(TGvItem* Item, int Column, const std::wstring& Caption);
    virtual void DoItemGetTileDetail(TGvItem* Item, int Line, int& Detail);
    virtual void DoItemSetTileDetail(TGvItem* Item, int Line, const int& Detail);
    virtual void DoItemGetTileDetailCount(TGvItem* Item, int& Count);
    virtual void DoItemSetTileDetailCount(TGvItem* Item, int Count);
    virtual void DoItemGetImageIndex(TGvItem* Item, int Column, TGvImageKind ImageKind, int& ImageIndex);
    virtual void DoItemSetImageIndex(TGvItem* Item, int Column, TGvImageKind ImageKind, int ImageIndex);
    virtual void DoItemGetImageList(TGvItem* Item, int Column, gcl::TCustomImageList*& ImageList);
    virtual void DoItemGetStateImageList(TGvItem* Item, int Column, gcl::TCustomImageList*& ImageList);
    virtual void DoItemGetGroupKey(TGvItem* Item, int FocusedColumn, uint32_t& GroupKey);
    virtual void DoItemSetGroupKey(TGvItem* Item, int Column, uint32_t Key);
    virtual void DoItemHotTrack(TGvItem* Item, TGvHotTrackState State, gcl::TPoint MousePos);
    virtual int DoItemCompare(TGvColumn* Column, TGvGroup* Group, TGvItem* Item1, TGvItem* Item2);
    virtual void DoItemStructureChange();
    virtual void DoScroll(int DeltaX, int DeltaY);
    virtual void DoPaintBkGnd(gcl::TCanvas* ACanvas, const gcl::TRect& AWindowRect, TGvAlphaBlender* AlphaBlender,
                              bool& DoDefault);
    virtual void DoPaintHeaderBkGnd(gcl::TCanvas* ACanvas, const gcl::TRect& ARect, bool& Handled);
    virtual void DoAfterPaint(gcl::TCanvas* ACanvas, const gcl::TRect& ClipRect);
    virtual void DoGroupPaintText(TGvGroup* Group, gcl::TCanvas* ACanvas);
    virtual void DoColumnPaintText(TGvColumn* Column, gcl::TCanvas* ACanvas);
    virtual void DoItemPaintText(TGvItem* Item, int Position, gcl::TCanvas* ACanvas);

    // ---- Events
    GV_EVENT(TAutoGroupGetKeyEvent, OnAutoGroupGetKey)
    GV_EVENT(TAutoSortGroupCreateEvent, OnAutoSortGroupCreate)
    GV_EVENT(TColumnCheckChangeEvent, OnColumnCheckChanged)
    GV_EVENT(TColumnCheckChangingEvent, OnColumnCheckChanging)
    GV_EVENT(TColumnEnableChangeEvent, OnColumnEnableChanged)
    GV_EVENT(TColumnEnableChangingEvent, OnColumnEnableChanging)
    GV_EVENT(TColumnFreeingEvent, OnColumnFreeing)
    GV_EVENT(TColumnInitializeEvent, OnColumnInitialize)
    GV_EVENT(TColumnSelectionChangeEvent, OnColumnSelectionChanged)
    GV_EVENT(TColumnSelectionChangingEvent, OnColumnSelectionChanging)
    GV_EVENT(TColumnVisibilityChangeEvent, OnColumnVisibilityChanged)
    GV_EVENT(TColumnVisibilityChangingEvent, OnColumnVisibilityChanging)
    GV_EVENT(TGvColumnLoadFromStreamEvent, OnColumnLoadFromStream)
    GV_EVENT(TGvColumnSaveToStreamEvent, OnColumnSaveToStream)
    GV_EVENT(TColumnGetCaptionEvent, OnColumnGetCaption)
    GV_EVENT(TColumnSetCaptionEvent, OnColumnSetCaption)
    GV_EVENT(TColumnGetDetailEvent, OnColumnGetDetail)
    GV_EVENT(TColumnSetDetailEvent, OnColumnSetDetail)
    GV_EVENT(TColumnGetDetailCountEvent, OnColumnGetDetailCount)
    GV_EVENT(TColumnGetImageIndexEvent, OnColumnGetImageIndex)
    GV_EVENT(TColumnSetImageIndexEvent, OnColumnSetImageIndex)
    GV_EVENT(TColumnGetImageListEvent, OnColumnGetImageList)
    GV_EVENT(gcl::TNotifyEvent, OnColumnStructureChange)
    GV_EVENT(TGroupCollapseEvent, OnGroupCollapse)
    GV_EVENT(TGroupCollapsingEvent, OnGroupCollapsing)
    GV_EVENT(TGroupExpandEvent, OnGroupExpand)
    GV_EVENT(TGroupExpandingEvent, OnGroupExpanding)
    GV_EVENT(TGroupFreeingEvent, OnGroupFreeing)
    GV_EVENT(TGroupInitializeEvent, OnGroupInitialize)
    GV_EVENT(TGroupVisibilityChangeEvent, OnGroupVisibilityChanged)
    GV_EVENT(TGroupVisibilityChangingEvent, OnGroupVisibilityChanging)
    GV_EVENT(TGroupLoadFromStreamEvent, OnGroupLoadFromStream)
    GV_EVENT(TGroupSaveToStreamEvent, OnGroupSaveToStream)
    GV_EVENT(TGroupGetCaptionEvent, OnGroupGetCaption)
    GV_EVENT(TGroupSetCaptionEvent, OnGroupSetCaption)
    GV_EVENT(TGroupGetDetailEvent, OnGroupGetDetail)
    GV_EVENT(TGroupSetDetailEvent, OnGroupSetDetail)
    GV_EVENT(TGroupGetDetailCountEvent, OnGroupGetDetailCount)
    GV_EVENT(TGroupGetImageIndexEvent, OnGroupGetImageIndex)
    GV_EVENT(TGroupSetImageIndexEvent, OnGroupSetImageIndex)
    GV_EVENT(TGroupGetImageListEvent, OnGroupGetImageList)
    GV_EVENT(TGroupHotTrackEvent, OnGroupHotTrack)
    GV_EVENT(TGroupCompareEvent, OnGroupCompare)
    GV_EVENT(gcl::TNotifyEvent, OnGroupStructureChange)
    GV_EVENT(TItemCheckChangeEvent, OnItemCheckChange)
    GV_EVENT(TItemCheckChangingEvent, OnItemCheckChanging)
    GV_EVENT(TItemEditBegin, OnItemEditBegin)
    GV_EVENT(TItemEnableChangeEvent, OnItemEnableChange)
    GV_EVENT(TItemEnableChangingEvent, OnItemEnableChanging)
    GV_EVENT(TItemFocusChangeEvent, OnItemFocusChanged)
    GV_EVENT(TItemFocusChangingEvent, OnItemFocusChanging)
    GV_EVENT(TItemFreeingEvent, OnItemFreeing)
    GV_EVENT(TItemInitializeEvent, OnItemInitialize)
    GV_EVENT(TItemSelectionChangeEvent, OnItemSelectionChanged)
    GV_EVENT(TItemSelectionChangingEvent, OnItemSelectionChanging)
    GV_EVENT(TGvItemSelectionsChangedEvent, OnItemSelectionsChanged)
    GV_EVENT(TItemVisibilityChangeEvent, OnItemVisibilityChanged)
    GV_EVENT(TItemVisibilityChangingEvent, OnItemVisibilityChanging)
    GV_EVENT(TItemLoadFromStreamEvent, OnItemLoadFromStream)
    GV_EVENT(TItemSaveToStreamEvent, OnItemSaveToStream)
    GV_EVENT(TItemGetCaptionEvent, OnItemGetCaption)
    GV_EVENT(TItemSetCaptionEvent, OnItemSetCaption)
    GV_EVENT(TItemGetTileDetailEvent, OnItemGetTileDetail)
    GV_EVENT(TItemSetTileDetailEvent, OnItemSetTileDetail)
    GV_EVENT(TItemGetTileDetailCountEvent, OnItemGetTileDetailCount)
    GV_EVENT(TItemGetImageIndexEvent, OnItemGetImageIndex)
    GV_EVENT(TItemSetImageIndexEvent, OnItemSetImageIndex)
    GV_EVENT(TItemGetImageListEvent, OnItemGetImageList)
    GV_EVENT(TItemGetGroupKeyEvent, OnItemGetGroupKey)
    GV_EVENT(TItemSetGroupKeyEvent, OnItemSetGroupKey)
    GV_EVENT(TItemHotTrackEvent, OnItemHotTrack)
    GV_EVENT(TItemCompareEvent, OnItemCompare)
    GV_EVENT(gcl::TNotifyEvent, OnItemStructureChange)
    GV_EVENT(TGvScrollEvent, OnScroll)
    GV_EVENT(TPaintBkGndEvent, OnPaintBkGnd)
    GV_EVENT(TPaintHeaderBkGndEvent, OnPaintHeaderBkGnd)
    GV_EVENT(TAfterPaintEvent, OnAfterPaint)
    GV_EVENT(TGroupPaintTextEvent, OnGroupPaintText)
    GV_EVENT(TColumnPaintTextEvent, OnColumnPaintText)
    GV_EVENT(TItemPaintTextEvent, OnItemPaintText)

protected:
    explicit TCustomGvListview(gcl::TComponent* AOwner);
    ~TCustomGvListview() override;

    void Loaded() override;
    void CreateParams(gcl::TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(gcl::TMessage& Message) override;
    // Paints through an off-screen 32-bit bitmap; nothing while updating.
    void PaintWindow(HDC DC) override;
    // The end-of-update hook: a forced layout pass and the scroll bars.
    void Rebuild() override;
    virtual TGvPaintInfoColumn* CreatePaintInfoColumn();
    virtual TGvPaintInfoGroup* CreatePaintInfoGroup();
    virtual TGvGroups* CreateGroups();
    virtual TGvPaintInfoItem* CreatePaintInfoItem();

private:
    friend class TGvItem;

    std::unique_ptr<gcl::TFont> FGroupFont;
    TGvPaintInfoColumn* FPaintInfoColumn = nullptr;
    TGvPaintInfoGroup* FPaintInfoGroup = nullptr;
    TGvPaintInfoItem* FPaintInfoItem = nullptr;
    TGvHotTrackManager* FHotTrack = nullptr;
    TGvBackgroundManager* FBackGround = nullptr;
    gcl::TComponentRef<gcl::TPopupMenu> FPopupMenuHeader;
    TGvScrollbarManager* FScrollbars = nullptr;
    TGvCheckManager* FCheckManager = nullptr;
    TGvSelectionManager* FSelection = nullptr;
    TGvGroups* FGroups = nullptr;
    TGvHeader* FHeader = nullptr;
    TGvEditManager* FEditManager = nullptr;
    TGvGlobalImageManager* FGlobalImageManager = nullptr;
    TGvCellSizes* FCellSizes = nullptr;
    TGvSortManager* FSort = nullptr;
    struct TViewDeleter {
        void operator()(gcl::TObject* View) const noexcept { gcl::Free(View); }
    };
    std::unique_ptr<TGvViewGroup, TViewDeleter> FGroupView;
    std::unique_ptr<TGvViewColumn, TViewDeleter> FColumnView;
    std::unique_ptr<TGvViewReportItem, TViewDeleter> FReportItemView;
    std::unique_ptr<gcl::TBitmap> FGroupCollapseButton;
    std::unique_ptr<gcl::TBitmap> FGroupExpandButton;
    std::unique_ptr<TGvGlobalItems> FItems;
    gcl::TComponentRef<gcl::TCustomImageList> FImagesExLarge;
    gcl::TComponentRef<gcl::TCustomImageList> FImagesGroup;
    gcl::TComponentRef<gcl::TCustomImageList> FImagesLarge;
    gcl::TComponentRef<gcl::TCustomImageList> FImagesSmall;
    gcl::TComponentRef<gcl::TCustomImageList> FImagesState;
    TAlignment FHintAlignment = taLeftJustify;
    TGvHintType FHintType = ehtText;
    bool FAllowHiddenCheckedItems = false;
    uint8_t FDisabledBlendAlpha = 128;
    gcl::TColor FDisabledBlendColor = gcl::clWindow;
    bool FShowGroupMargins = false;
    bool FShowInactive = false;
    bool FShowThemedBorder = true;
    TGvListStyle FView = elsIcon;
    TGvDefaultWheelScroll FWheelMouseDefaultScroll = edwsVert;
    bool FWheelMouseScrollModifierEnabled = true;
    int FCheckedCount = 0;
};

// The published list view.
class TGvListview : public TCustomGvListview {
    GCL_CLASS(TGvListview, TCustomGvListview)
public:
    TGvPaintInfoColumn* GetPaintInfoColumn() const noexcept override { return inherited::GetPaintInfoColumn(); }
    TGvPaintInfoGroup* GetPaintInfoGroup() const noexcept override { return inherited::GetPaintInfoGroup(); }
    TGvPaintInfoItem* GetPaintInfoItem() const noexcept override { return inherited::GetPaintInfoItem(); }

protected:
    explicit TGvListview(gcl::TComponent* AOwner) : TCustomGvListview(AOwner) {}
};

} // namespace qelvo
