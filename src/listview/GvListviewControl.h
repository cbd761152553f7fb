// The list view's events and the control: TCustomGvListview and the
// published TGvListview.
#pragma once

#include "listview/GvEditing.h"
#include "listview/GvItemViews.h"

#include "gcl/Menus.h"
#include "listview/LvDataObject.h"

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

// Image drawing of entries that draw their image themselves.
using TGroupImageDrawEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, gcl::TCanvas* ACanvas,
                                              const TGvRectArrayObject& RectArray, TGvAlphaBlender* AlphaBlender)>;
using TColumnImageDrawEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, gcl::TCanvas* ACanvas,
                                               const TGvRectArrayObject& RectArray, TGvAlphaBlender* AlphaBlender)>;
using TItemImageDrawEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, TGvColumn* Column, gcl::TCanvas* ACanvas,
                     const TGvRectArrayObject& RectArray, TGvAlphaBlender* AlphaBlender)>;
using TGroupImageDrawIsCustomEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, bool& IsCustom)>;
using TColumnImageDrawIsCustomEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, bool& IsCustom)>;
using TItemImageDrawIsCustomEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, TGvColumn* Column, bool& IsCustom)>;
using TGroupImageGetSizeEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, int& ImageWidth, int& ImageHeight)>;
using TColumnImageGetSizeEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, int& ImageWidth, int& ImageHeight)>;
using TItemImageGetSizeEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, TGvColumn* Column,
                                                int& ImageWidth, int& ImageHeight)>;
using TItemThumbnailDrawEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, gcl::TCanvas* ACanvas,
                                                 gcl::TRect ARect, TGvAlphaBlender* AlphaBlender, bool& DoDefault)>;

// Views and grids a handler may choose instead of the defaults.
using TGroupCustomViewEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, TGvListStyle ViewStyle, TGvViewGroupClass& View)>;
using TItemCustomViewEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, TGvListStyle ViewStyle, TGvViewItemClass& View)>;
using TColumnCustomViewEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, TGvViewColumnClass& View)>;
using TCustomGridEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, TGvListStyle ViewStyle, TGvGridGroupClass& Grid)>;

// Mouse, keys and clicks.
using TItemMouseDownEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, TCommonMouseButton Button, bool& DoDefault)>;
using TItemMouseUpEvent = TItemMouseDownEvent;
using TItemContextMenuEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvHitInfoItem HitInfo,
                                               gcl::TPoint WindowPoint, gcl::TPopupMenu*& Menu, bool& Handled)>;
using TGroupContextMenuEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvHitInfoGroup HitInfo,
                                                gcl::TPoint WindowPoint, gcl::TPopupMenu*& Menu, bool& Handled)>;
using TColumnContextMenuEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvHitInfoColumn HitInfo,
                                                 gcl::TPoint WindowPoint, gcl::TPopupMenu*& Menu)>;
using THeaderMouseEvent = gcl::TEvent<void(TCustomGvListview* Sender, TCommonMouseButton MouseButton,
                                           gcl::TShiftState Shift, int X, int Y, TGvColumn* Column)>;
using TGvClipboardEvent = gcl::TEvent<void(TCustomGvListview* Sender, bool& Handled)>;
using TGvClipboardCutEvent = gcl::TEvent<void(TCustomGvListview* Sender, bool& MarkAsCut, bool& Handled)>;
using TColumnClickEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TCommonMouseButton Button, TGvColumn* const& Column)>;
using TColumnDblClickEvent = gcl::TEvent<void(TCustomGvListview* Sender, TCommonMouseButton Button,
                                              gcl::TPoint MousePos, TGvColumn* const& Column)>;
using TColumnDropDownButtonClickEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, TCommonMouseButton Button,
                     gcl::TShiftState ShiftState, gcl::TPoint WindowPt, bool& DoDefault)>;
using TColumnSizeChangingEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvColumn* Column, int Width, int NewWidth, bool& Allow)>;
// The list view's double click (it replaces the control's plain one).
using TDblClickEvent = gcl::TEvent<void(TCustomGvListview* Sender, TCommonMouseButton Button,
                                        gcl::TPoint MousePos, gcl::TShiftState ShiftState)>;
using TGroupClickEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvGroup* Group, TCommonKeyStates KeyStates,
                                          TGvGroupHitTestInfoSet HitTest)>;
using TGroupDblClickEvent = gcl::TEvent<void(TCustomGvListview* Sender, TCommonMouseButton Button,
                                             gcl::TPoint MousePos, TGvHitInfoGroup HitInfo)>;
using THeaderDblClickEvent = gcl::TEvent<void(TCustomGvListview* Sender, TCommonMouseButton MouseButton,
                                              gcl::TPoint MousePos, gcl::TShiftState ShiftState)>;
using TItemClickEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, TCommonKeyStates KeyStates,
                                         TGvItemHitTestInfoSet HitInfo)>;
using TItemDblClickEvent = gcl::TEvent<void(TCustomGvListview* Sender, TCommonMouseButton Button,
                                            gcl::TPoint MousePos, TGvHitInfoItem HitInfo)>;
using TGvKeyActionEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, uint16_t& CharCode, gcl::TShiftState& Shift, bool& DoDefault)>;
using TGvGestureEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, const std::wstring& Gesture, bool& DoDefaultMouseAction)>;
// The incremental search's comparison (no Sender): CompareResult 0 means
// the item matches SearchBuffer.
using TIncrementalSearchEvent = gcl::TEvent<void(TGvCollectionItem* Item, const std::wstring& SearchBuffer,
                                                 bool& Handled, int& CompareResult)>;

// Hints.
struct TGvHintData;
using THintCustomDrawEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvCollectionItem* TargetObj, const TGvHintInfo* Info)>;
using THintCustomizeInfoEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvCollectionItem* TargetObj, TGvHintInfo* Info)>;
using THintPauseTimeEvent = gcl::TEvent<void(TCustomGvListview* Sender, bool HintWindowShown, int& PauseDelay)>;
using THintPopupEvent = gcl::TEvent<void(TCustomGvListview* Sender, TGvCollectionItem* TargetObj,
                                         TGvHintType HintType, gcl::TPoint MousePos, std::wstring& AText,
                                         int& HideTimeout, int& ReShowTimeout, bool& Allow)>;

// In-place editing.
using TItemCreateEditorEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, gcl::ComPtr<IGvCellEditor>& Editor)>;
using TItemEditedEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, gcl::TVariant& NewValue, bool& Accept)>;
using TItemGetEditMenuEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvBaseEditor* Editor, gcl::TPopupMenu*& Menu)>;
using TGvItemGetCaptionEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TGvItem* Item, TGvColumn* Column, std::wstring& Caption)>;

// Drag and drop.
using TGetDragImageEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, gcl::TBitmap* Image, gcl::TPoint DragStartPt, gcl::TPoint& HotSpot,
                     gcl::TColor& TransparentColor, bool& Handled)>;
using TOLEDropTargetDragDropEvent = gcl::TEvent<void(
    TCustomGvListview* Sender, ::IDataObject* DataObject, TCommonKeyStates KeyState, gcl::TPoint WindowPt,
    TCommonDropEffects AvailableEffects, TCommonDropEffect& DesiredDropEffect, bool& Handled)>;
using TOLEDropTargetDragEnterEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, ::IDataObject* DataObject, TCommonKeyStates KeyState,
                     gcl::TPoint WindowPt, TCommonDropEffects AvailableEffects, TCommonDropEffect& DesiredDropEffect)>;
using TOLEDropTargetDragLeaveEvent = gcl::TEvent<void(TCustomGvListview* Sender)>;
using TOLEDropTargetDragOverEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TCommonKeyStates KeyState, gcl::TPoint WindowPt,
                     TCommonDropEffects AvailableEffects, TCommonDropEffect& DesiredDropEffect)>;
using TOLEDropSourceDragStartEvent = gcl::TEvent<void(
    TCustomGvListview* Sender, ::IDataObject* ADataObject, TCommonDropEffects& AvailableEffects, bool& AllowDrag)>;
using TOLEDropSourceDragEndEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, ::IDataObject* ADataObject, TCommonOLEDragResult DragResult,
                     TCommonDropEffects ResultEffect, TCommonKeyStates KeyStates)>;
using TOLEDropSourceGiveFeedbackEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, TCommonDropEffects Effect, bool& UseDefaultCursors)>;
using TOLEDropSourceQueryContineDragEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, bool EscapeKeyPressed, TCommonKeyStates KeyStates,
                     TGvQueryDragResult& QueryResult)>;
using TOLEGetCustomFormatsEvent = gcl::TEvent<void(TCustomGvListview* Sender, TFormatEtcArray& Formats)>;
using TOLEGetDataEvent = gcl::TEvent<void(TCustomGvListview* Sender, const FORMATETC& FormatEtcIn, STGMEDIUM& Medium,
                                          bool& Handled)>;
using FOLEGetDataObjectEvent =
    gcl::TEvent<void(TCustomGvListview* Sender, gcl::ComPtr<::IDataObject>& DataObject)>;
using TOLEQueryDataEvent = gcl::TEvent<void(TCustomGvListview* Sender, const FORMATETC& FormatEtcIn,
                                            bool& FormatAvailable, bool& Handled)>;

// A worker's result handed to the control's thread (message WM_APP + 0x164).
using TWMThreadRequest = gcl::TMessage;
using TThreadCallbackEvent = gcl::TEvent<void(TCustomGvListview* Sender, TWMThreadRequest& Msg)>;

// The control's transient mouse, drag and check states.
inline constexpr uint16_t gcsLeftButtonDown = 0x0001;
inline constexpr uint16_t gcsRightButtonDown = 0x0002;
inline constexpr uint16_t gcsMiddleButtonDown = 0x0004;
inline constexpr uint16_t gcsItemDragPending = 0x0010;
inline constexpr uint16_t gcsItemDragging = 0x0020;
inline constexpr uint16_t gcsGclDragging = 0x0040;
inline constexpr uint16_t gcsRectSelectPending = 0x0080;
inline constexpr uint16_t gcsRectSelecting = 0x0100;
inline constexpr uint16_t gcsCheckPending = 0x0400;
inline constexpr uint16_t gcsGroupToggled = 0x0800;
inline constexpr uint16_t gcsHeaderCapture = 0x1000;
inline constexpr uint16_t gcsScrolling = 0x2000;
inline constexpr uint16_t gcsDropTargetRegistered = 0x4000;
inline constexpr uint16_t gcsSuppressContextMenu = 0x8000;
// The message by which a worker thread hands the control a result.
inline constexpr UINT GvMsgThreadCallBack = WM_APP + 0x164;

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
    // The kind of item that groups made from now on hold (stored items
    // unless set): a list whose items ask for their texts when painted
    // names the virtual kind here before it fills.
    TGvCollectionItemClass GetItemClass() const noexcept { return FItemClass; }
    void SetItemClass(TGvCollectionItemClass Value) noexcept { FItemClass = Value; }
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
    // Keeps the off-screen bitmap of painting between paints (it only
    // grows); off, every paint makes a bitmap of the client size.
    bool GetCacheDoubleBufferBits() const noexcept { return FCacheDoubleBufferBits; }
    void SetCacheDoubleBufferBits(bool Value);
    // The kept bitmap (nil unless CacheDoubleBufferBits is on).
    gcl::TBitmap* GetDoubleBufferBitmap() const noexcept { return FDoubleBuffer.get(); }
    // Grows the kept bitmap to at least Width x Height (and 1 x 1).
    void GrowBufferBitmap(int Width, int Height);
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
    // Invalidates the client area for a new layout or look of the rows:
    // the rows, and the header too unless it still shows as the window
    // last painted it whole (TGvHeader::ShowsAsPainted).
    void InvalidateView();

    // Paints the control's content in ARect (window coordinates) into any
    // canvas: the same code the window paints with. SelectedOnly paints
    // only the selected items.
    virtual void PaintRect(gcl::TCanvas* ACanvas, const gcl::TRect& ARect, bool SelectedOnly = false);
    // Whether the control has the focus. While PaintRect runs, the answer
    // it found when it started: the rows ask it one by one, and asking the
    // system for the focus is a trip to the window server under Wine.
    bool PaintsFocused() const noexcept;
    // Whether the rows show where the keyboard is: the control has it and
    // no item is selected (a selection shows it otherwise). The focus
    // rectangle then lies around the focused item's row, or just inside
    // the rows' area when no item has the focus, UseFocusRect or not (that
    // keeps the frame off selected items).
    bool ShowsKeyboardPlace() const noexcept;
    // While PaintRect runs, the top of the first row it paints (view
    // coordinates): a row above it is not painted this time. Outside a
    // paint, a value above every row.
    int PaintedTop() const noexcept { return FPaintedTop; }
    // The painter of an entry: OnGroupCustomView (OnItemCustomView,
    // OnColumnCustomView) may choose its class, else the class of the
    // current view style. Views keep no state, so one object per class
    // serves every entry.
    TGvViewGroup* GroupView(TGvGroup* Group = nullptr);
    TGvViewColumn* ColumnView(TGvColumn* Column = nullptr);
    TGvViewItem* ItemView(TGvItem* Item);
    // The default view classes of a style.
    virtual TGvViewItemClass ItemViewClass(TGvListStyle ViewStyle) const;
    virtual TGvViewGroupClass GroupViewClass() const;
    virtual TGvViewColumnClass ColumnViewClass() const;
    TGvViewReportItem* ReportItemView();
    // A canvas to measure text with (a small bitmap's, kept).
    gcl::TCanvas* MeasureCanvas();

    virtual TGvColumn* FocusedColumn();
    virtual void SetFocusIfAllowed();

    // ---- Input: the mouse and key state machine.
    uint16_t GetControlStates() const noexcept { return FStates; }
    bool HasState(uint16_t State) const noexcept { return (FStates & State) != 0; }
    // The point of the last press or move (client coordinates).
    gcl::TPoint GetLastMousePoint() const noexcept { return FLastMousePoint; }
    // Whether WindowPoint counts as over the header: on the shown bar, or
    // anywhere while the header holds the mouse.
    bool IsOverHeader(gcl::TPoint WindowPoint, bool Force = false);
    // The hot object and the hot check box taken again from where the
    // pointer is now: after the pointer left the window (none), or after
    // the view moved under a resting pointer. A press, drag or band keeps
    // what it lit, and so does a header that holds the mouse.
    void HotTrackAtPointer();
    // Clears every transient state but Scrolling, DropTargetRegistered and
    // SuppressContextMenu, and lets go of a pressed check box.
    virtual void ClearStates();
    virtual void HandleMouseDown(TCommonMouseButton Button, gcl::TMessage& Msg);
    virtual void HandleMouseUp(TCommonMouseButton Button, gcl::TMessage& Msg);
    virtual void HandleDblClick(TCommonMouseButton Button, gcl::TMessage& Msg);
    // A left (Left) or right button press on the view or the header.
    void ButtonPress(bool Left, gcl::TMessage& Msg);
    // Whether the second press of a double click of the left (Left) or
    // right button is taken as a press of its own, and not as a double
    // click: it lands on an item that is not chosen (the first press did
    // not choose it: the list was refilled, filtered or scrolled between
    // the two, or a Ctrl press let go of it), so it chooses the item the
    // user points at; or, with the left button, on a part that acts on
    // every press (a check box, a group's fold button), which acts again.
    bool DoubleClickIsPress(bool Left, const gcl::TMessage& Msg);
    // The keys after OnKeyAction: navigation (across groups), Space, Escape,
    // Ctrl+A, the clipboard keys, Ctrl+numeric plus and F2.
    virtual void HandleKeyDown(uint16_t CharCode, gcl::TShiftState Shift);
    // A press that may become a drag or a rubber band.
    void BeginDragDetect(TCommonKeyStates KeyStates, gcl::TPoint WindowPoint, bool AllowRect, bool AllowDrag);
    // Ends a running drag or band and every transient state.
    void EndDragging(gcl::TPoint WindowPoint);
    // The gesture drawn since the last press.
    const std::wstring& GetGesturePath() const noexcept { return FGesturePath; }
    // Item with its group, the column under ViewPoint and the parts hit.
    TGvHitInfoItem ItemHitInfo(TGvItem* Item, gcl::TPoint ViewPoint);
    // Clears every item's Cut mark, then marks the selected items cut.
    void MarkSelectedCut();
    // The clipboard operations: nothing in the base but the cut, which asks
    // OnClipboardCut (MarkAsCut False, Handled True) and marks the selection
    // cut when both come back True.
    virtual void CopyToClipboard();
    virtual void CutToClipboard();
    virtual void PasteFromClipboard();
    // The clipboard commands of Ctrl+C, Ctrl+X and Ctrl+V: the event first,
    // the operation when the handler left it unhandled.
    void ClipboardCopyCommand();
    void ClipboardCutCommand();
    void ClipboardPasteCommand();
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
    // Image drawing: the is-custom question starts False.
    virtual void DoGroupImageDraw(TGvGroup* Group, gcl::TCanvas* ACanvas, const TGvRectArrayObject& RectArray,
                                  TGvAlphaBlender* AlphaBlender);
    virtual void DoGroupImageDrawIsCustom(TGvGroup* Group, bool& IsCustom);
    virtual void DoGroupImageGetSize(TGvGroup* Group, int& ImageWidth, int& ImageHeight);
    virtual void DoColumnImageDraw(TGvColumn* Column, gcl::TCanvas* ACanvas, const TGvRectArrayObject& RectArray,
                                   TGvAlphaBlender* AlphaBlender);
    virtual void DoColumnImageDrawIsCustom(TGvColumn* Column, bool& IsCustom);
    virtual void DoColumnImageGetSize(TGvColumn* Column, int& ImageWidth, int& ImageHeight);
    virtual void DoItemImageDraw(TGvItem* Item, TGvColumn* Column, gcl::TCanvas* ACanvas,
                                 const TGvRectArrayObject& RectArray, TGvAlphaBlender* AlphaBlender);
    virtual void DoItemImageDrawIsCustom(TGvItem* Item, TGvColumn* Column, bool& IsCustom);
    virtual void DoItemImageGetSize(TGvItem* Item, TGvColumn* Column, int& ImageWidth, int& ImageHeight);
    virtual void DoItemThumbnailDraw(TGvItem* Item, gcl::TCanvas* ACanvas, const gcl::TRect& ARect,
                                     TGvAlphaBlender* AlphaBlender, bool& DoDefault);
    // Views and grids: the handler may replace the default class.
    virtual void DoGroupCustomView(TGvGroup* Group, TGvListStyle ViewStyle, TGvViewGroupClass& View);
    virtual void DoItemCustomView(TGvItem* Item, TGvListStyle ViewStyle, TGvViewItemClass& View);
    virtual void DoColumnCustomView(TGvColumn* Column, TGvViewColumnClass& View);
    virtual void DoCustomGrid(TGvGroup* Group, TGvListStyle ViewStyle, TGvGridGroupClass& Grid);
    virtual void DoViewChange();
    // Mouse and keys.
    virtual void DoItemMouseDown(TGvItem* Item, TCommonMouseButton Button, bool& DoDefault);
    virtual void DoItemMouseUp(TGvItem* Item, TCommonMouseButton Button, bool& DoDefault);
    // Menu starts nil.
    virtual void DoItemContextMenu(const TGvHitInfoItem& HitInfo, gcl::TPoint WindowPoint, gcl::TPopupMenu*& Menu,
                                   bool& Handled);
    virtual void DoGroupContextMenu(const TGvHitInfoGroup& HitInfo, gcl::TPoint WindowPoint, gcl::TPopupMenu*& Menu,
                                    bool& Handled);
    virtual void DoColumnContextMenu(const TGvHitInfoColumn& HitInfo, gcl::TPoint WindowPoint,
                                     gcl::TPopupMenu*& Menu);
    virtual void DoHeaderMouseDown(TCommonMouseButton MouseButton, gcl::TShiftState Shift, int X, int Y,
                                   TGvColumn* Column);
    virtual void DoHeaderMouseUp(TCommonMouseButton MouseButton, gcl::TShiftState Shift, int X, int Y,
                                 TGvColumn* Column);
    virtual void DoHeaderMouseMove(gcl::TShiftState Shift, int X, int Y);
    virtual void DoHeaderDblClick(TCommonMouseButton MouseButton, gcl::TPoint MousePos, gcl::TShiftState ShiftState);
    virtual void DoColumnClick(TCommonMouseButton Button, TGvColumn* Column);
    virtual void DoColumnDblClick(TCommonMouseButton Button, gcl::TPoint MousePos, TGvColumn* Column);
    virtual void DoColumnDropDownButtonClick(TGvColumn* Column, TCommonMouseButton Button, gcl::TShiftState ShiftState,
                                             gcl::TPoint WindowPt, bool& DoDefault);
    virtual void DoColumnSizeChanged(TGvColumn* Column);
    virtual void DoColumnSizeChanging(TGvColumn* Column, int Width, int NewWidth, bool& Allow);
    virtual void DoDblClick(TCommonMouseButton Button, gcl::TPoint MousePos, gcl::TShiftState ShiftState);
    virtual void DoGroupClick(TGvGroup* Group, TCommonKeyStates KeyStates, TGvGroupHitTestInfoSet HitTest);
    virtual void DoGroupDblClick(TCommonMouseButton Button, gcl::TPoint MousePos, const TGvHitInfoGroup& HitInfo);
    virtual void DoItemClick(TGvItem* Item, TCommonKeyStates KeyStates, TGvItemHitTestInfoSet HitInfo);
    virtual void DoItemDblClick(TCommonMouseButton Button, gcl::TPoint MousePos, const TGvHitInfoItem& HitInfo);
    virtual void DoKeyAction(uint16_t& CharCode, gcl::TShiftState& Shift, bool& DoDefault);
    virtual void DoMouseGesture(const std::wstring& Gesture, bool& DoDefaultMouseAction);
    // The incremental search's comparison of Item with SearchBuffer (0 is a
    // match): the handler's answer, else the caption cut to the buffer's
    // length compared ignoring case.
    virtual int DoIncrementalSearch(TGvCollectionItem* Item, const std::wstring& SearchBuffer);
    // Clipboard.
    virtual void DoClipboardCopy(bool& Handled);
    virtual void DoClipboardCut(bool& MarkAsCut, bool& Handled);
    virtual void DoClipboardPaste(bool& Handled);
    // Hints.
    virtual void DoHintCustomDraw(TGvCollectionItem* TargetObj, const TGvHintInfo* Info);
    virtual void DoHintCustomInfo(TGvCollectionItem* TargetObj, TGvHintInfo* Info);
    virtual void DoHintPauseTime(bool HintWindowShown, int& PauseDelay);
    virtual void DoHintPopup(TGvCollectionItem* TargetObj, TGvHintType HintType, gcl::TPoint MousePos,
                             std::wstring& AText, int& HideTimeout, int& ReShowTimeout, bool& Allow);
    // In-place editing. The default editor for a handler that leaves Editor
    // nil belongs to the editors' own unit.
    virtual void DoItemCreateEditor(TGvItem* Item, gcl::ComPtr<IGvCellEditor>& Editor);
    virtual void DoItemEditEnd(TGvItem* Item);
    virtual void DoItemEdited(TGvItem* Item, gcl::TVariant& NewValue, bool& Accept);
    virtual void DoItemGetEditCaption(TGvItem* Item, TGvColumn* Column, std::wstring& Caption);
    virtual void DoItemGetEditMenu(TGvBaseEditor* Editor, gcl::TPopupMenu*& Menu);
    // Drag and drop. The data object is held for the length of each call.
    virtual void DoGetDragImage(gcl::TBitmap* Image, gcl::TPoint DragStartPt, gcl::TPoint& HotSpot,
                                gcl::TColor& TransparentColor, bool& Handled);
    virtual void DoOLEDragDrop(::IDataObject* DataObject, TCommonKeyStates KeyState, gcl::TPoint WindowPt,
                               TCommonDropEffects AvailableEffects, TCommonDropEffect& DesiredDropEffect,
                               bool& Handled);
    virtual void DoOLEDragEnd(::IDataObject* ADataObject, TCommonOLEDragResult DragResult,
                              TCommonDropEffects ResultEffect, TCommonKeyStates KeyStates);
    virtual void DoOLEDragEnter(::IDataObject* DataObject, TCommonKeyStates KeyState, gcl::TPoint WindowPt,
                                TCommonDropEffects AvailableEffects, TCommonDropEffect& DesiredDropEffect);
    virtual void DoOLEDragLeave();
    virtual void DoOLEDragOver(TCommonKeyStates KeyState, gcl::TPoint WindowPt, TCommonDropEffects AvailableEffects,
                               TCommonDropEffect& DesiredDropEffect);
    virtual void DoOLEDragStart(::IDataObject* ADataObject, TCommonDropEffects& AvailableEffects, bool& AllowDrag);
    virtual void DoOLEGetCustomFormats(TFormatEtcArray& Formats);
    // Medium starts zeroed and Handled False.
    virtual void DoOLEGetData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool& Handled);
    // DataObject is released and nil before the handler.
    virtual void DoOLEGetDataObject(gcl::ComPtr<::IDataObject>& DataObject);
    virtual void DoOLEGiveFeedback(TCommonDropEffects Effect, bool& UseDefaultCursors);
    virtual void DoOLEQueryContineDrag(bool EscapeKeyPressed, TCommonKeyStates KeyStates,
                                       TGvQueryDragResult& QueryResult);
    virtual void DoOLEQueryData(const FORMATETC& FormatEtcIn, bool& FormatAvailable, bool& Handled);
    virtual void DoThreadCallBack(TWMThreadRequest& Msg);

    // Runs the system's drag loop with the allowed effects.
    virtual HRESULT ExecuteDragDrop(::IDataObject* DataObject, ::IDropSource* DropSource,
                                    TCommonDropEffects OKEffects, DWORD& Effect);
    TGvOLEDragManager* GetDragManager() const noexcept { return FDragManager; }
    TGvDragRectManager* GetDragRectManager() const noexcept { return FDragRectManager; }
    TGvDropTargetManager* GetDropTargetManager() const noexcept { return FDropTarget.Get(); }
    TGvIncrementalSearchManager* GetIncrementalSearch() const noexcept { return FIncrementalSearch; }
    TGvGestureManager* GetGesture() const noexcept { return FGesture; }
    // Drops every drag, search and header reference to an object that goes
    // away.
    void ForgetInputReferences(TGvCollectionItem* Obj) noexcept;
    // Drops, at once, every reference the control and its managers hold to
    // an entry of Entries (selection anchor and focus, hot and check-hot
    // entry, pending check, edit, drag, drop, search, hints), each as the
    // entry's own free would: for a collection freed in one go.
    void ForgetEntriesOf(const TGvCollection* Entries) noexcept;
    // The same for every group of Groups and every item of those groups
    // but Except and its items (which its own free lets go of): for the
    // groups freed in one go.
    void ForgetGroupsOf(const TGvGroups* Groups, const TGvGroup* Except = nullptr) noexcept;
    // The settings of the hint being shown, and the record CM_HINTSHOW
    // hands the hint window.
    TGvHintInfo* GetHintInfo() const noexcept { return FHintInfo.get(); }
    TGvHintData* GetHintData() const noexcept { return FHintData.get(); }

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
    GV_EVENT(TGroupImageDrawEvent, OnGroupImageDraw)
    GV_EVENT(TGroupImageDrawIsCustomEvent, OnGroupImageDrawIsCustom)
    GV_EVENT(TGroupImageGetSizeEvent, OnGroupImageGetSize)
    GV_EVENT(TColumnImageDrawEvent, OnColumnImageDraw)
    GV_EVENT(TColumnImageDrawIsCustomEvent, OnColumnImageDrawIsCustom)
    GV_EVENT(TColumnImageGetSizeEvent, OnColumnImageGetSize)
    GV_EVENT(TItemImageDrawEvent, OnItemImageDraw)
    GV_EVENT(TItemImageDrawIsCustomEvent, OnItemImageDrawIsCustom)
    GV_EVENT(TItemImageGetSizeEvent, OnItemImageGetSize)
    GV_EVENT(TItemThumbnailDrawEvent, OnItemThumbnailDraw)
    GV_EVENT(TGroupCustomViewEvent, OnGroupCustomView)
    GV_EVENT(TItemCustomViewEvent, OnItemCustomView)
    GV_EVENT(TColumnCustomViewEvent, OnColumnCustomView)
    GV_EVENT(TCustomGridEvent, OnCustomGrid)
    GV_EVENT(TViewChangedEvent, OnViewChange)
    GV_EVENT(TItemMouseDownEvent, OnItemMouseDown)
    GV_EVENT(TItemMouseUpEvent, OnItemMouseUp)
    GV_EVENT(TItemContextMenuEvent, OnItemContextMenu)
    GV_EVENT(TGroupContextMenuEvent, OnGroupContextMenu)
    GV_EVENT(TColumnContextMenuEvent, OnColumnContextMenu)
    GV_EVENT(THeaderMouseEvent, OnHeaderMouseDown)
    GV_EVENT(THeaderMouseEvent, OnHeaderMouseUp)
    GV_EVENT(gcl::TMouseMoveEvent, OnHeaderMouseMove)
    GV_EVENT(THeaderDblClickEvent, OnHeaderDblClick)
    GV_EVENT(TColumnClickEvent, OnColumnClick)
    GV_EVENT(TColumnDblClickEvent, OnColumnDblClick)
    GV_EVENT(TColumnDropDownButtonClickEvent, OnColumnDropDownButtonClick)
    GV_EVENT(TColumnSizeChangedEvent, OnColumnSizeChanged)
    GV_EVENT(TColumnSizeChangingEvent, OnColumnSizeChanging)
    GV_EVENT(TDblClickEvent, OnDblClick)
    GV_EVENT(TGroupClickEvent, OnGroupClick)
    GV_EVENT(TGroupDblClickEvent, OnGroupDblClick)
    GV_EVENT(TItemClickEvent, OnItemClick)
    GV_EVENT(TItemDblClickEvent, OnItemDblClick)
    GV_EVENT(TGvKeyActionEvent, OnKeyAction)
    GV_EVENT(TGvGestureEvent, OnMouseGesture)
    GV_EVENT(TIncrementalSearchEvent, OnIncrementalSearch)
    GV_EVENT(TGvClipboardEvent, OnClipboardCopy)
    GV_EVENT(TGvClipboardCutEvent, OnClipboardCut)
    GV_EVENT(TGvClipboardEvent, OnClipboardPaste)
    GV_EVENT(THintCustomDrawEvent, OnHintCustomDraw)
    GV_EVENT(THintCustomizeInfoEvent, OnHintCustomInfo)
    GV_EVENT(THintPauseTimeEvent, OnHintPauseTime)
    GV_EVENT(THintPopupEvent, OnHintPopup)
    GV_EVENT(TItemCreateEditorEvent, OnItemCreateEditor)
    GV_EVENT(TItemEditEnd, OnItemEditEnd)
    GV_EVENT(TItemEditedEvent, OnItemEdited)
    GV_EVENT(TGvItemGetCaptionEvent, OnItemGetEditCaption)
    GV_EVENT(TItemGetEditMenuEvent, OnItemGetEditMenu)
    GV_EVENT(TGetDragImageEvent, OnGetDragImage)
    GV_EVENT(TOLEDropTargetDragDropEvent, OnOLEDragDrop)
    GV_EVENT(TOLEDropSourceDragEndEvent, OnOLEDragEnd)
    GV_EVENT(TOLEDropTargetDragEnterEvent, OnOLEDragEnter)
    GV_EVENT(TOLEDropTargetDragLeaveEvent, OnOLEDragLeave)
    GV_EVENT(TOLEDropTargetDragOverEvent, OnOLEDragOver)
    GV_EVENT(TOLEDropSourceDragStartEvent, OnOLEDragStart)
    GV_EVENT(TOLEGetCustomFormatsEvent, OnOLEGetCustomFormats)
    GV_EVENT(TOLEGetDataEvent, OnOLEGetData)
    GV_EVENT(FOLEGetDataObjectEvent, OnOLEGetDataObject)
    GV_EVENT(TOLEDropSourceGiveFeedbackEvent, OnOLEGiveFeedback)
    GV_EVENT(TOLEDropSourceQueryContineDragEvent, OnOLEQueryContineDrag)
    GV_EVENT(TOLEQueryDataEvent, OnOLEQueryData)
    GV_EVENT(TThreadCallbackEvent, OnThreadCallBack)

protected:
    explicit TCustomGvListview(gcl::TComponent* AOwner);
    ~TCustomGvListview() override;

    void Loaded() override;
    // The list view raises its own OnDblClick from its double-click handling.
    void DblClick() override {}
    void CreateParams(gcl::TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(gcl::TMessage& Message) override;
    // The class library's drag (CM_DRAG) with the item drag manager's steps.
    void HandleDragMessage(gcl::TMessage& Message);
    // The end of a class-library drag of the items: its loop took the
    // button's release, so the drag states are cleared here.
    void DoEndDrag(gcl::TObject* Target, int X, int Y) override;
    // Hands the header the mouse messages and the context menu that land on
    // it; true when the header took the message.
    bool RouteToHeader(gcl::TMessage& Message);
    // Paints through an off-screen 32-bit bitmap; nothing while updating.
    void PaintWindow(HDC DC) override;
    // The window frame: the "listview" theme's border with visual styles,
    // the bevels without.
    void WMNCCalcSize(gcl::TMessage& Message);
    void WMNCPaint(gcl::TMessage& Message);
    // What a scroll bar of the window shows: where it lies in the window,
    // its arrows, thumb and parts' states, and whether the window takes
    // input.
    struct TScrollBarLook {
        int Left = 0;
        int Top = 0;
        int Right = 0;
        int Bottom = 0;
        int LineButton = 0;
        int ThumbTop = 0;
        int ThumbBottom = 0;
        DWORD States[CCHILDREN_SCROLLBAR + 1] = {};
        bool Enabled = false;
        bool operator==(const TScrollBarLook&) const = default;
    };
    // A scroll bar's picture as the system last drew it, with its look.
    struct TKeptScrollBar {
        TScrollBarLook Look;
        std::unique_ptr<gcl::TBitmap> Picture;
    };
    // The look of the vertical (0) or horizontal (1) bar; false when the
    // window shows no such bar.
    bool ScrollBarLookNow(int Bar, const RECT& Window, TScrollBarLook& Look);
    // With visual styles the system draws a scroll bar in milliseconds
    // under Wine: a frame repainted while each shown bar looks as it was
    // last drawn copies the bars' pictures instead (nothing is drawn and
    // false is returned when one does not, or when the mouse may be
    // tracking a bar). KeepScrollBars takes the pictures the system drew
    // of the bars wholly on the screen and not under the mouse.
    bool PaintKeptScrollBars(HDC WindowDC, const RECT& Window);
    void KeepScrollBars(HDC WindowDC, const RECT& Window);
    void ForgetScrollBars() noexcept;
    // The window is about to change its size by DeltaX, DeltaY (new minus
    // old); nothing in the base.
    virtual void DoResize(int DeltaX, int DeltaY);
    // The end-of-update hook: a forced layout pass and the scroll bars.
    void Rebuild() override;
    virtual TGvPaintInfoColumn* CreatePaintInfoColumn();
    virtual TGvPaintInfoGroup* CreatePaintInfoGroup();
    virtual TGvGroups* CreateGroups();
    virtual TGvPaintInfoItem* CreatePaintInfoItem();
    // The wheel scrolls by rows (or a cell across); Shift swaps the axis
    // and Ctrl scrolls a page when modifiers are on.
    bool DoMouseWheel(gcl::TShiftState Shift, int WheelDelta, gcl::TPoint MousePos) override;

private:
    friend class TGvItem;
    friend class TGvItems;

    // The focus rectangle of ShowsKeyboardPlace, over Rows (the rows' area
    // in view coordinates) or the focused item's row.
    void PaintKeyboardPlace(gcl::TCanvas* ACanvas, const gcl::TRect& Rows);

    // Whether an entry is one whose references ForgetReferencesIf drops.
    using TForgetsEntry = bool (*)(const TGvCollectionItem* Obj, const void* Context) noexcept;
    void ForgetReferencesIf(TForgetsEntry Belongs, const void* Context) noexcept;

    // The messages of the input state machine; False for any other.
    bool DispatchInput(gcl::TMessage& Msg);
    void MouseMoveMessage(gcl::TMessage& Msg);
    // The hot object and hot check box for a point of the client area
    // below the header (the hot-tracking steps of a move).
    void HotTrackAt(gcl::TPoint WindowPt);
    // Appends the direction of a move with a gesture button held.
    void RecordGesture(TCommonKeyStates Keys, gcl::TPoint WindowPt);
    // A move while a drag or band is pending or running.
    void DragMove(TCommonKeyStates Keys, gcl::TPoint WindowPt);
    void ContextMenuMessage(gcl::TMessage& Msg);
    // CM_HINTSHOW: the item or group under the cursor, OnHintPopup's say
    // (or, for tool tips, whether the caption is cut off) and the hint
    // window's record.
    void HintShowMessage(gcl::TMessage& Msg);
    // The keyboard's move of the focus (Shift and Ctrl as the keys say).
    void MoveFocusTo(TGvItem* Target, gcl::TShiftState Shift);

    uint16_t FStates = 0;
    gcl::TPoint FLastMousePoint;
    std::wstring FGesturePath;

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
    gcl::ComPtr<TGvDropTargetManager> FDropTarget;
    TGvDragRectManager* FDragRectManager = nullptr;
    TGvOLEDragManager* FDragManager = nullptr;
    TGvIncrementalSearchManager* FIncrementalSearch = nullptr;
    TGvGestureManager* FGesture = nullptr;
    // The item pools keep emptied blocks while an update bracket is open.
    bool FHoldsItemSlots = false;
    void ReleaseItemSlots() noexcept;
    struct THintInfoDeleter {
        void operator()(TGvHintInfo* Info) const noexcept;
    };
    std::unique_ptr<TGvHintInfo, THintInfoDeleter> FHintInfo;
    struct THintDataDeleter {
        void operator()(TGvHintData* Data) const noexcept;
    };
    std::unique_ptr<TGvHintData, THintDataDeleter> FHintData;
    struct TViewDeleter {
        void operator()(gcl::TObject* View) const noexcept { gcl::Free(View); }
    };
    std::unique_ptr<gcl::TBitmap> FMeasureBitmap;
    // One view object per view class in use.
    std::vector<std::unique_ptr<TGvOwnedPersistentView, TViewDeleter>> FViews;
    template <class V, class Meta>
    V* CachedView(const Meta* ViewClass);
    std::unique_ptr<gcl::TBitmap> FGroupCollapseButton;
    std::unique_ptr<gcl::TBitmap> FGroupExpandButton;
    std::unique_ptr<TGvGlobalItems> FItems;
    TGvCollectionItemClass FItemClass = nullptr;
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
    bool FCacheDoubleBufferBits = false;
    // Set while the window paints itself (WM_PAINT without a DC of the
    // sender's): what it paints then is what the screen shows.
    bool FPaintsOwnWindow = false;
    int8_t FPaintFocus = -1;    // -1 outside PaintRect, else whether it had the focus at its start
    int FPaintedTop = -0x7FFFFFFF;
    std::unique_ptr<gcl::TBitmap> FDoubleBuffer;
    TKeptScrollBar FKeptScrollBars[2];  // vertical, horizontal
    TGvListStyle FView = elsIcon;
    TGvDefaultWheelScroll FWheelMouseDefaultScroll = edwsVert;
    bool FWheelMouseScrollModifierEnabled = true;
    // Wheel turns not yet scrolled: a part of a notch from a fine wheel,
    // in notches times the lines of a notch (WHEEL_DELTA units).
    int FWheelRest = 0;
    int FTiltRest = 0;    // the same for the wheel tilted sideways
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

// An update bracket of a list view: BeginUpdate now, EndUpdate when it
// goes out of scope, also when an exception leaves the scope (an error
// of EndUpdate itself is dropped: a destructor cannot pass it on).
class TListviewUpdate {
public:
    explicit TListviewUpdate(TCustomGvListview* lv, bool invalidate = true) : FListview(lv), FInvalidate(invalidate) {
        if (FListview) FListview->BeginUpdate();
    }
    ~TListviewUpdate() {
        if (FListview) {
            try {
                FListview->EndUpdate(FInvalidate);
            } catch (...) {
            }
        }
    }
    TListviewUpdate(const TListviewUpdate&) = delete;
    TListviewUpdate& operator=(const TListviewUpdate&) = delete;

private:
    TCustomGvListview* FListview;
    bool FInvalidate;
};

} // namespace qelvo
