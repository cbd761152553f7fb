// The grouped list view's vocabulary: view styles, hit-test and state sets,
// the interfaces of data objects and the persistent base classes that every
// list-view object descends from.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gcl/Graphics.h"
#include "gcl/ImgList.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Interfaces.h"
#include "gcl/rtl/Objects.h"
#include "gcl/rtl/Sets.h"
#include "gcl/rtl/Streams.h"
#include "gcl/rtl/Variants.h"
#include "listview/LvCommonObjects.h"
#include "listview/LvCommonUtilities.h"

namespace qelvo {

class TCustomGvListview;
class TGvCollection;
class TGvCollectionItem;
class TGvItem;
class TGvGroup;
class TGvColumn;
class TGvItems;
class TGvGroups;
class TGvColumns;
class TGvHeader;
class TGvSelectionManager;
class TGvSortManager;
class TGvSorter;
class TGvEditManager;
class TGvHotTrackManager;
class TGvCheckManager;
class TGvScrollbarManager;
class TGvCellSizes;
class TGvCellSize;
class TGvGridGroup;
class TGvPaintInfoBasic;
class TGvPaintInfoItem;
class TGvPaintInfoGroup;
class TGvPaintInfoColumn;
class TGvGlobalItems;
class TGvGlobalImageManager;
class TGvSelectionGroupList;
class TGvDynamicDataHelper;
class TGvItemDynamicDataHelper;
class TGvAlphaBlender;
class TGvHintInfo;
class TGvBaseEditor;
struct IGvCellEditor;
struct TGvRectArrayObject;

namespace msg {
inline constexpr const char* GvExchangeBetweenGroups = "exchange of items between different groups is not yet supported";
inline constexpr const char* GvUnregisteredClass =
    "If using custom item types for Item, Groups or Columns you must register them with the streaming system "
    "with RegisterClass(TMyGvClassItemType)";
inline constexpr const char* GvDefaultGroupCaption = "Default Group";
inline constexpr const char* GvAdjacentOfHiddenItem = "Can not find TGvGroups.AdjacentItem of an Invisible Item";
} // namespace msg

// ---- Vocabulary ------------------------------------------------------------------

GCL_ENUM(TGvListStyle, elsIcon, elsSmallIcon, elsList, elsReport, elsThumbnail, elsTile, elsFilmStrip, elsGrid)
GCL_ENUM(TGvSortDirection, esdNone, esdAscending, esdDescending)
GCL_ENUM(TGvSortAlgorithm, esaQuickSort, esaBubbleSort, esaMergeSort)
GCL_ENUM(TGvImageKind, eikNormal, eikOverlay, eikState)
GCL_ENUM(TGvCheckType, ectNone, ectNoneWithSpace, ectBox, ectRadio)
GCL_ENUM(TGvHotTrackState, ehsEnable, ehsDisable)
GCL_ENUM(TGvHintType, ehtText, ehtToolTip, ehtCustomDraw)
GCL_ENUM(TGvDefaultWheelScroll, edwsHorz, edwsVert)
GCL_ENUM(TGvHeaderImagePosition, ehpLeft, ehpTop, ehpRight, ehpBottom)
GCL_ENUM(TGvSortGlyphAlign, esgaLeft, esgaRight)
GCL_ENUM(TGvHeaderButtonStyle, ehbsThick, ehbsFlat, ehbsPlate, ehbsThemed)
GCL_ENUM(TGvItemHitTestInfo, ehtStateIcon, ehtOnIcon, ehtOnLabel, ehtOnClickSelectBounds, ehtOnDragSelectBounds,
         ehtOnText, ehtOnCheck, ehtOnEdit)
using TGvItemHitTestInfoSet = gcl::TSet<TGvItemHitTestInfo>;
GCL_ENUM(TGvGroupHitTestInfo, egtOnBand, egtOnCheckbox, egtOnExpandButton, egtOnIcon, egtOnLabel, egtOnText,
         egtOnHeader, egtOnFooter, egtOnLeftMargin, egtOnRightMargin)
using TGvGroupHitTestInfoSet = gcl::TSet<TGvGroupHitTestInfo>;
GCL_ENUM(TGvHotTrackRectGroup, htgIcon, htgText, htgTopMargin, htgBottomMargin, htgLeftMargin, htgRightMargin,
         htgAnyWhere)
using TGvHotTrackRectGroups = gcl::TSet<TGvHotTrackRectGroup>;
GCL_ENUM(TGvHotTrackRectItem, htiIcon, htiText, htiAnyWhere)
using TGvHotTrackRectItems = gcl::TSet<TGvHotTrackRectItem>;
// Where MakeVisible puts an object: at the top (left), in the middle, at
// the bottom (right), or only as far as needed.
GCL_ENUM(TGvMakeVisiblePos, emvTop, emvMiddle, emvBottom, emvAuto)
// The parts of a header column a point can hit.
GCL_ENUM(TGvColumnHitTestInfo, ectOnCheckbox, ectOnIcon, ectOnLabel, ectOnText, ectOnDropDownButton,
         ectOnResizeZone)
using TGvColumnHitTestInfoSet = gcl::TSet<TGvColumnHitTestInfo>;
// What an OLE drag source answers when asked whether to go on.
GCL_ENUM(TGvQueryDragResult, eqdrContinue, eqdrQuit, eqdrDrop)
// The directions of TGvGroups::AdjacentItem.
GCL_ENUM(TGvAdjacentDirection, adjLeft, adjRight, adjUp, adjDown, adjPageDown, adjPageUp)

// The state word of every item, group and column; bit i is value i
// (Checked 0x0001 ... Ghosted 0x8000).
GCL_ENUM(TGvObjectStateItem, esosChecked, esosCheckPending, esosCheckHot, esosClicking, esosCut, esosDestroying,
         esosDropTarget, esosEnabled, esosFocused, esosInitialized, esosSelected, esosVisible, esosHotTracking,
         esosBold, esosMarked, esosGhosted)
using TGvObjectStates = gcl::TSet<TGvObjectStateItem>;
// The states a collection stream keeps: Checked, Enabled, Selected,
// Visible and Bold.
inline constexpr uint16_t GvStreamStateMask = 0x2C81;
// The record magic of the collection stream (bytes FF FE CE 00).
inline constexpr uint32_t GvStreamMagic = 0x00CEFEFF;
inline constexpr int32_t GvStreamVersion = 5;
// The group key that means "no key given".
inline constexpr uint32_t GvNoGroupKey = 65535;

// What a point hit: the item (with its group and the column under the
// point), the group, or the header column, with the parts hit.
struct TGvHitInfoItem {
    TGvItem* Item = nullptr;
    TGvGroup* Group = nullptr;
    TGvColumn* Column = nullptr;
    TGvItemHitTestInfoSet HitInfo;
};
struct TGvHitInfoGroup {
    TGvGroup* Group = nullptr;
    TGvGroupHitTestInfoSet HitInfo;
};
struct TGvHitInfoColumn {
    TGvColumn* Column = nullptr;
    TGvColumnHitTestInfoSet HitInfo;
};

// ---- Interfaces of data objects ---------------------------------------------------

// The sink an item hands to a data object that wants to notify it.
struct IGvNotifier : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{5B0B0F7E-4C52-4E0A-9B43-6B2B58C1D4A2}");
    virtual void GCL_STDCALL Invalidate(bool ImmediateUpdate) = 0;
};
// A data object that items register their notification sink with.
struct IGvItemNotification : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{F10150F9-17E3-43B6-8C05-33283FF1B14E}");
    virtual void GCL_STDCALL Register(IGvNotifier* Notifier) = 0;
    virtual void GCL_STDCALL UnRegister(IGvNotifier* Notifier) = 0;
};
struct IGvCaptions : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{6C838C0E-22A5-48D4-80C6-E266E950D3CF}");
    virtual gcl::TVariant GCL_STDCALL GetCaption(int Column) = 0;
};
struct IGvCaptionsEditable : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{F1403B00-7163-4FB7-804F-1A5500CD980A}");
    virtual gcl::TVariant GCL_STDCALL GetCaption(int Column) = 0;
    virtual void GCL_STDCALL SetCaption(int Column, const gcl::TVariant& Value) = 0;
};
struct IGvChecks : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{E8820F40-2EE3-4718-B54A-39318D2D1232}");
    virtual bool GCL_STDCALL GetChecked() = 0;
    virtual void GCL_STDCALL SetChecked(bool Value) = 0;
};
struct IGvImages : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{20C419F5-F3DD-40C4-8526-88322E182C49}");
    virtual int GCL_STDCALL GetImageIndex(int Column, TGvImageKind ImageKind) = 0;
};
struct IGvImagesEditable : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{DC580B13-1D19-46BB-885F-FC5CE9B2BE66}");
    virtual int GCL_STDCALL GetImageIndex(int Column, TGvImageKind ImageKind) = 0;
    virtual void GCL_STDCALL SetImageIndex(int Column, TGvImageKind ImageKind, int Value) = 0;
};
struct IGvDetails : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{AE1D21EB-BA52-4C24-9EB1-B35733299489}");
    virtual int GCL_STDCALL GetDetailCount() = 0;
    virtual int GCL_STDCALL GetDetail(int Line) = 0;
};
struct IGvDetailsEditable : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{BBD853F9-D803-4478-B5A8-EE02FF47DC80}");
    virtual int GCL_STDCALL GetDetailCount() = 0;
    virtual int GCL_STDCALL GetDetail(int Line) = 0;
    virtual void GCL_STDCALL SetDetail(int Line, int Value) = 0;
    virtual void GCL_STDCALL SetDetailCount(int Value) = 0;
};
struct IGvGroupKey : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{2B87BB19-A133-4D43-9164-AC456747EB19}");
    virtual uint32_t GCL_STDCALL GetGroupKey(int Column) = 0;
};
struct IGvGroupKeyEditable : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{26EFE2C6-2DE2-4795-94E3-0DB0CAA38B09}");
    virtual uint32_t GCL_STDCALL GetGroupKey(int Column) = 0;
    virtual void GCL_STDCALL SetGroupKey(int Column, uint32_t Key) = 0;
};
struct IGvImageList : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{298932FB-A0AE-4A0A-BE34-A782743A0579}");
    virtual gcl::TCustomImageList* GCL_STDCALL GetImageList(int Column) = 0;
};
struct IGvStateImageList : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{F0202D63-92A7-4C2F-9CA4-CBDE4DE0ED30}");
    virtual gcl::TCustomImageList* GCL_STDCALL GetStateImageList(int Column) = 0;
};
// A data object that draws an entry's image itself. Column is the item's
// column (null for groups and columns).
struct IGvCustomImage : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{00260055-6915-43B5-9D43-379E7F61EEA9}");
    virtual void GCL_STDCALL DrawImageIsCustom(TGvColumn* Column, bool& IsCustom) = 0;
    virtual void GCL_STDCALL DrawImage(TGvColumn* Column, gcl::TCanvas* ACanvas, const TGvRectArrayObject& RectArray,
                                       TGvAlphaBlender* AlphaBlender) = 0;
    virtual void GCL_STDCALL GetSize(TGvColumn* Column, int& ImageWidth, int& ImageHeight) = 0;
};
// A data object that draws an item's thumbnail; DoDefault False keeps the
// view from drawing the image.
struct IGvThumbnail : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{F9CA8297-0CB3-4C47-905F-3D1497C4FC4D}");
    virtual void GCL_STDCALL ThumbnailDraw(gcl::TCanvas* ACanvas, const gcl::TRect& ARect,
                                           TGvAlphaBlender* AlphaBlender, bool& DoDefault) = 0;
};
// Compare: called on one entry's data object with the other's as Target;
// below 0 means Target sorts before the object asked.
struct IGvCompare : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{0761D4F5-D451-4A6D-BFDC-B3000FFD0299}");
    virtual int GCL_STDCALL Compare(gcl::IUnknown* Target, TGvColumn* Column) = 0;
};

// ---- Persistent bases ------------------------------------------------------------------

class TGvPersistent : public gcl::TPersistent {
    GCL_CLASS(TGvPersistent, gcl::TPersistent)
public:
    TGvPersistent() = default;
};

// A persistent object owned by a list view (its streaming owner too).
class TGvOwnedPersistent : public TGvPersistent {
    GCL_CLASS(TGvOwnedPersistent, TGvPersistent)
public:
    explicit TGvOwnedPersistent(TCustomGvListview* AOwner) : FOwnerListview(AOwner) {}
    TCustomGvListview* GetOwnerListview() const noexcept { return FOwnerListview; }
    gcl::TPersistent* GetOwner() const override;
    virtual void LoadFromStream(gcl::TStream&) {}
    virtual void SaveToStream(gcl::TStream&) {}

protected:
    TCustomGvListview* FOwnerListview;
};

class TGvOwnedPersistentView : public TGvOwnedPersistent {
    GCL_CLASS(TGvOwnedPersistentView, TGvOwnedPersistent)
public:
    using TGvOwnedPersistent::TGvOwnedPersistent;
};

// The families of views and grids: each class reference's Create is the
// virtual constructor of its family (views take the list view, grids the
// list view and the group).
class TGvViewGroup;
class TGvViewColumn;
class TGvViewItem;
class TGvGridGroup;
using TGvViewGroupMetaClass = gcl::TClassOf<TGvViewGroup, TGvOwnedPersistentView::TMetaClassType, TCustomGvListview*>;
using TGvViewColumnMetaClass =
    gcl::TClassOf<TGvViewColumn, TGvOwnedPersistentView::TMetaClassType, TCustomGvListview*>;
using TGvViewItemMetaClass = gcl::TClassOf<TGvViewItem, TGvOwnedPersistentView::TMetaClassType, TCustomGvListview*>;
using TGvGridGroupMetaClass =
    gcl::TClassOf<TGvGridGroup, TGvOwnedPersistent::TMetaClassType, TCustomGvListview*, TGvGroup*>;
using TGvViewGroupClass = const TGvViewGroupMetaClass*;
using TGvViewColumnClass = const TGvViewColumnMetaClass*;
using TGvViewItemClass = const TGvViewItemMetaClass*;
using TGvGridGroupClass = const TGvGridGroupMetaClass*;

// A view object that works for one item, group or column.
class TGvOwnedPersistentGroupItem : public TGvOwnedPersistentView {
    GCL_CLASS(TGvOwnedPersistentGroupItem, TGvOwnedPersistentView)
public:
    explicit TGvOwnedPersistentGroupItem(TGvCollectionItem* AOwner);
    TGvCollectionItem* GetOwnerItem() const noexcept { return FOwnerItem; }

private:
    TGvCollectionItem* FOwnerItem;
};

// A reference-counted persistent object: the count starts at 1 while it is
// built and is 0 once built; the Release that brings it back to 0 frees it.
class TGvInterfacedPersistent : public gcl::TPersistent, public gcl::IUnknown {
    GCL_CLASS(TGvInterfacedPersistent, gcl::TPersistent)
public:
    GCL_IUNKNOWN
    bool GetInterface(const gcl::TGUID& iid, void** out) override;
    gcl::ULONG ObjAddRef() noexcept { return static_cast<gcl::ULONG>(InterlockedIncrement(&FRefCount)); }
    gcl::ULONG ObjRelease() noexcept;
    void AfterConstruction() override;
    LONG GetRefCount() const noexcept { return FRefCount; }

protected:
    TGvInterfacedPersistent() = default;
    ~TGvInterfacedPersistent() override = default;

private:
    volatile LONG FRefCount = 1;
};

class TGvOwnedInterfacedPersistent : public TGvInterfacedPersistent {
    GCL_CLASS(TGvOwnedInterfacedPersistent, TGvInterfacedPersistent)
public:
    TCustomGvListview* GetOwnerListview() const noexcept { return FOwnerListview; }

protected:
    explicit TGvOwnedInterfacedPersistent(TCustomGvListview* AOwner) : FOwnerListview(AOwner) {}

private:
    TCustomGvListview* FOwnerListview;
};

} // namespace qelvo
