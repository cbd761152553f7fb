// The grouped list view: groups that own their items, a header with
// columns, a flat view over all items, the persistent base classes of every
// list-view object, the 16-bit state word with its query / change / notify
// protocol, the collection stream, the stored, virtual and interfaced kinds
// of items, groups and columns, sorting and automatic grouping, and the
// control that owns it all.
//
// Ownership: the control owns Groups, Items (a view), Header (which owns
// Columns) and its managers; a group owns its Items collection; a
// collection owns its entries. Entries and collections die through Free()
// (their destructors are protected), so their destruction steps run while
// they are still complete.
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
class TGvPaintInfoBasic;
class TGvPaintInfoItem;
class TGvPaintInfoGroup;
class TGvPaintInfoColumn;
class TGvGlobalItems;
class TGvGlobalImageManager;
class TGvSelectionGroupList;
class TGvDynamicDataHelper;
class TGvItemDynamicDataHelper;

namespace msg {
inline constexpr const char* GvExchangeBetweenGroups = "exchange of items between different groups is not yet supported";
inline constexpr const char* GvUnregisteredClass =
    "If using custom item types for Item, Groups or Columns you must register them with the streaming system "
    "with RegisterClass(TMyGvClassItemType)";
inline constexpr const char* GvDefaultGroupCaption = "Default Group";
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

// A group margin. Layout uses RuntimeSize, never Size.
class TGvMargin : public TGvOwnedPersistent {
    GCL_CLASS(TGvMargin, TGvOwnedPersistent)
public:
    explicit TGvMargin(TCustomGvListview* AOwner) : TGvOwnedPersistent(AOwner) {}
    void Assign(gcl::TPersistent* Source) override;
    int GetSize() const noexcept { return FSize; }
    // A negative value stores 0; a change re-lays the groups.
    void SetSize(int Value);
    bool GetVisible() const noexcept { return FVisible; }
    void SetVisible(bool Value);
    // Size while Visible and the control shows group margins, else 0.
    int RuntimeSize() const;

protected:
    int FSize = 30;
    bool FVisible = false;
};

class TGvHeaderMargin : public TGvMargin {
    GCL_CLASS(TGvHeaderMargin, TGvMargin)
public:
    explicit TGvHeaderMargin(TCustomGvListview* AOwner) : TGvMargin(AOwner) { FVisible = true; }
};

// The footer margin: a caption and an image below the items, and the text
// settings they are drawn with.
class TCustomGvFooterMargin : public TGvMargin {
    GCL_CLASS(TCustomGvFooterMargin, TGvMargin)
public:
    explicit TCustomGvFooterMargin(TCustomGvListview* AOwner) : TGvMargin(AOwner) {}
    void Assign(gcl::TPersistent* Source) override;

    const std::wstring& GetCaption() const noexcept { return FCaption; }
    void SetCaption(const std::wstring& Value);
    int GetImageIndex() const noexcept { return FImageIndex; }
    void SetImageIndex(int Value);
    int GetImageOverlayIndex() const noexcept { return FImageOverlayIndex; }
    void SetImageOverlayIndex(int Value);
    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment Value);
    int GetCaptionIndent() const noexcept { return FCaptionIndent; }
    void SetCaptionIndent(int Value);
    int GetCaptionLines() const noexcept { return FCaptionLines; }
    void SetCaptionLines(int Value);
    int GetImageIndent() const noexcept { return FImageIndent; }
    void SetImageIndent(int Value);
    TCommonVAlignment GetVAlignment() const noexcept { return FVAlignment; }
    void SetVAlignment(TCommonVAlignment Value);

private:
    void Repaint();
    std::wstring FCaption;
    int FImageIndex = -1;
    int FImageOverlayIndex = -1;
    TAlignment FAlignment = taLeftJustify;
    int FCaptionIndent = 2;
    int FCaptionLines = 1;
    int FImageIndent = 2;
    TCommonVAlignment FVAlignment = cvaCenter;
};

class TGvFooterMargin : public TCustomGvFooterMargin {
    GCL_CLASS(TGvFooterMargin, TCustomGvFooterMargin)
public:
    explicit TGvFooterMargin(TCustomGvListview* AOwner) : TCustomGvFooterMargin(AOwner) {}
};

// ---- Paint info ----------------------------------------------------------------------

// The shared look of items, groups or columns. Setters do nothing for an
// unchanged value and repaint the list view otherwise.
class TGvPaintInfoBasic : public TGvOwnedPersistent {
    GCL_CLASS(TGvPaintInfoBasic, TGvOwnedPersistent)
public:
    explicit TGvPaintInfoBasic(TCustomGvListview* AOwner) : TGvOwnedPersistent(AOwner) {}
    // Copies every field but ShowBorder.
    void Assign(gcl::TPersistent* Source) override;

    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment Value);
    int GetBorder() const noexcept { return FBorder; }
    void SetBorder(int Value);
    gcl::TColor GetBorderColor() const noexcept { return FBorderColor; }
    void SetBorderColor(gcl::TColor Value);
    int GetCaptionIndent() const noexcept { return FCaptionIndent; }
    void SetCaptionIndent(int Value);
    int GetCaptionLines() const noexcept { return FCaptionLines; }
    void SetCaptionLines(int Value);
    bool GetCheckFlat() const noexcept { return FCheckFlat; }
    void SetCheckFlat(bool Value);
    int GetCheckIndent() const noexcept { return FCheckIndent; }
    void SetCheckIndent(int Value);
    int GetCheckSize() const noexcept { return FCheckSize; }
    void SetCheckSize(int Value);
    TGvCheckType GetCheckType() const noexcept { return FCheckType; }
    void SetCheckType(TGvCheckType Value);
    int GetImageIndent() const noexcept { return FImageIndent; }
    void SetImageIndent(int Value);
    bool GetShowBorder() const noexcept { return FShowBorder; }
    void SetShowBorder(bool Value) noexcept { FShowBorder = Value; }
    TCommonVAlignment GetVAlignment() const noexcept { return FVAlignment; }
    void SetVAlignment(TCommonVAlignment Value);

protected:
    // Repaints the whole list view (not at once).
    void Repaint();

private:
    TAlignment FAlignment = taLeftJustify;
    int FBorder = 4;
    gcl::TColor FBorderColor = gcl::clHighlight;
    int FCaptionIndent = 4;
    int FCaptionLines = 1;
    bool FCheckFlat = false;
    int FCheckIndent = 2;
    int FCheckSize = 12;
    TGvCheckType FCheckType = ectNone;
    int FImageIndent = 2;
    bool FShowBorder = true;
    TCommonVAlignment FVAlignment = cvaCenter;
};

class TGvPaintInfoBaseItem : public TGvPaintInfoBasic {
    GCL_CLASS(TGvPaintInfoBaseItem, TGvPaintInfoBasic)
public:
    explicit TGvPaintInfoBaseItem(TCustomGvListview* AOwner) : TGvPaintInfoBasic(AOwner) {}
    void Assign(gcl::TPersistent* Source) override;
    gcl::TColor GetGridLineColor() const noexcept { return FGridLineColor; }
    void SetGridLineColor(gcl::TColor Value);
    bool GetGridLines() const noexcept { return FGridLines; }
    void SetGridLines(bool Value);
    bool GetHideCaption() const noexcept { return FHideCaption; }
    void SetHideCaption(bool Value);
    // The number of detail lines of tile items, shared by all stored items.
    int GetTileDetailCount() const noexcept { return FTileDetailCount; }
    void SetTileDetailCount(int Value);

private:
    gcl::TColor FGridLineColor = gcl::clBtnFace;
    bool FGridLines = false;
    bool FHideCaption = false;
    int FTileDetailCount = 1;
};

class TGvPaintInfoItem : public TGvPaintInfoBaseItem {
    GCL_CLASS(TGvPaintInfoItem, TGvPaintInfoBaseItem)
public:
    explicit TGvPaintInfoItem(TCustomGvListview* AOwner) : TGvPaintInfoBaseItem(AOwner) {}
};

class TGvPaintInfoBaseColumn : public TGvPaintInfoBasic {
    GCL_CLASS(TGvPaintInfoBaseColumn, TGvPaintInfoBasic)
public:
    explicit TGvPaintInfoBaseColumn(TCustomGvListview* AOwner) : TGvPaintInfoBasic(AOwner) {}
    void Assign(gcl::TPersistent* Source) override;
    gcl::TColor GetColor() const noexcept { return FColor; }
    void SetColor(gcl::TColor Value);
    bool GetHilightFocused() const noexcept { return FHilightFocused; }
    void SetHilightFocused(bool Value);
    gcl::TColor GetHilightFocusedColor() const noexcept { return FHilightFocusedColor; }
    void SetHilightFocusedColor(gcl::TColor Value);
    bool GetHotTrack() const noexcept { return FHotTrack; }
    void SetHotTrack(bool Value) noexcept { FHotTrack = Value; }
    TGvHeaderImagePosition GetImagePosition() const noexcept { return FImagePosition; }
    void SetImagePosition(TGvHeaderImagePosition Value);
    TGvSortGlyphAlign GetSortGlyphAlign() const noexcept { return FSortGlyphAlign; }
    void SetSortGlyphAlign(TGvSortGlyphAlign Value);
    int GetSortGlyphIndent() const noexcept { return FSortGlyphIndent; }
    void SetSortGlyphIndent(int Value);
    TGvHeaderButtonStyle GetStyle() const noexcept { return FStyle; }
    void SetStyle(TGvHeaderButtonStyle Value);

private:
    void RepaintHeader();
    gcl::TColor FColor = gcl::clBtnFace;
    bool FHilightFocused = false;
    gcl::TColor FHilightFocusedColor = 0xF7F7F7;
    bool FHotTrack = true;
    TGvHeaderImagePosition FImagePosition = ehpLeft;
    TGvSortGlyphAlign FSortGlyphAlign = esgaRight;
    int FSortGlyphIndent = 2;
    TGvHeaderButtonStyle FStyle = ehbsThick;
};

class TCustomGvPaintInfoBaseColumn : public TGvPaintInfoBaseColumn {
    GCL_CLASS(TCustomGvPaintInfoBaseColumn, TGvPaintInfoBaseColumn)
public:
    explicit TCustomGvPaintInfoBaseColumn(TCustomGvListview* AOwner) : TGvPaintInfoBaseColumn(AOwner) {}
};

class TGvPaintInfoColumn : public TCustomGvPaintInfoBaseColumn {
    GCL_CLASS(TGvPaintInfoColumn, TCustomGvPaintInfoBaseColumn)
public:
    explicit TGvPaintInfoColumn(TCustomGvListview* AOwner) : TCustomGvPaintInfoBaseColumn(AOwner) {}
};

class TGvPaintInfoBaseGroup : public TGvPaintInfoBasic {
    GCL_CLASS(TGvPaintInfoBaseGroup, TGvPaintInfoBasic)
public:
    explicit TGvPaintInfoBaseGroup(TCustomGvListview* AOwner);
    ~TGvPaintInfoBaseGroup() override;
    void Assign(gcl::TPersistent* Source) override;

    bool GetBandBlended() const noexcept { return FBandBlended; }
    void SetBandBlended(bool Value);
    gcl::TColor GetBandColor() const noexcept { return FBandColor; }
    void SetBandColor(gcl::TColor Value);
    gcl::TColor GetBandColorFade() const noexcept { return FBandColorFade; }
    void SetBandColorFade(gcl::TColor Value);
    bool GetBandEnabled() const noexcept { return FBandEnabled; }
    void SetBandEnabled(bool Value);
    bool GetBandFullWidth() const noexcept { return FBandFullWidth; }
    void SetBandFullWidth(bool Value);
    int GetBandIndent() const noexcept { return FBandIndent; }
    void SetBandIndent(int Value);
    int GetBandLength() const noexcept { return FBandLength; }
    void SetBandLength(int Value);
    int GetBandMargin() const noexcept { return FBandMargin; }
    void SetBandMargin(int Value);
    uint8_t GetBandRadius() const noexcept { return FBandRadius; }
    void SetBandRadius(uint8_t Value);
    int GetBandThickness() const noexcept { return FBandThickness; }
    void SetBandThickness(int Value);
    bool GetExpandable() const noexcept { return FExpandable; }
    // Switching it off expands every group first.
    void SetExpandable(bool Value);
    int GetExpandImageIndent() const noexcept { return FExpandImageIndent; }
    void SetExpandImageIndent(int Value);
    TGvFooterMargin* GetMarginBottom() const noexcept { return FMarginBottom; }
    TGvMargin* GetMarginLeft() const noexcept { return FMarginLeft; }
    TGvMargin* GetMarginRight() const noexcept { return FMarginRight; }
    TGvHeaderMargin* GetMarginTop() const noexcept { return FMarginTop; }
    // Each setter frees the old margin object and keeps the new one.
    void SetMarginBottom(TGvFooterMargin* Value);
    void SetMarginLeft(TGvMargin* Value);
    void SetMarginRight(TGvMargin* Value);
    void SetMarginTop(TGvHeaderMargin* Value);

private:
    bool FBandBlended = true;
    gcl::TColor FBandColor = gcl::clBlue;
    gcl::TColor FBandColorFade = gcl::clWindow;
    bool FBandEnabled = true;
    bool FBandFullWidth = false;
    int FBandIndent = 0;
    int FBandLength = 300;
    int FBandMargin = 2;
    uint8_t FBandRadius = 4;
    int FBandThickness = 3;
    bool FExpandable = true;
    int FExpandImageIndent = 4;
    TGvFooterMargin* FMarginBottom = nullptr;
    TGvMargin* FMarginLeft = nullptr;
    TGvMargin* FMarginRight = nullptr;
    TGvHeaderMargin* FMarginTop = nullptr;
};

class TGvPaintInfoGroup : public TGvPaintInfoBaseGroup {
    GCL_CLASS(TGvPaintInfoGroup, TGvPaintInfoBaseGroup)
public:
    explicit TGvPaintInfoGroup(TCustomGvListview* AOwner) : TGvPaintInfoBaseGroup(AOwner) {}
};

// ---- Data holders -------------------------------------------------------------------------

// Per-column data of stored objects. A write at index i grows the array to
// i + 1 entries, filling with the read default.
class TGvDynamicDataHelper : public gcl::TObject {
    GCL_CLASS(TGvDynamicDataHelper, gcl::TObject)
public:
    TGvDynamicDataHelper() = default;

    std::wstring GetCaption(int Index) const;
    void SetCaption(int Index, const std::wstring& Value);
    int32_t GetDetail(int Index) const;
    void SetDetail(int Index, int32_t Value);
    uint32_t GetGroupKey(int Index) const;
    void SetGroupKey(int Index, uint32_t Value);
    int32_t GetImageIndex(int Index) const;
    void SetImageIndex(int Index, int32_t Value);
    int32_t GetOverlayIndex(int Index) const;
    void SetOverlayIndex(int Index, int32_t Value);

    // Captions, Details, ImageIndexes, OverlayIndexes.
    virtual void LoadFromStream(gcl::TStream& S, int Version);
    virtual void SaveToStream(gcl::TStream& S, int Version);

    std::vector<std::wstring> Captions;
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
    void SetStateImageIndex(int Index, int32_t Value);

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
    TGvObjectStates GetState() const noexcept { return FState; }
    bool HasState(TGvObjectStateItem Item) const noexcept { return FState.Contains(Item); }
    // The own paint info, or null (the list view's default of the kind is
    // used then). With Owns, it is freed with the object.
    TGvPaintInfoBasic* GetPaintInfo() const noexcept { return FPaintInfo; }
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
    bool IsDestroying() const noexcept { return FState.Contains(esosDestroying); }

    // Captions and images of column 0, and by column.
    virtual std::wstring GetCaption() const { return GetCaptions(0); }
    virtual void SetCaption(const std::wstring& Value) { SetCaptions(0, Value); }
    virtual std::wstring GetCaptions(int Column) const;
    virtual void SetCaptions(int Column, const std::wstring& Value);
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

    void SetStateBit(TGvObjectStateItem Item, bool Value) noexcept;


private:
    friend class TGvCollection;
    friend class TGvSortManager;

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
    bool FOwnsPaintInfo = false;
    TGvPaintInfoBasic* FPaintInfo = nullptr;
    intptr_t FTag = 0;
    TGvObjectStates FState;
    int FVisibleIndex = -1;
    TNotifierSink FNotifierSink;
};

// ---- Collections ---------------------------------------------------------------------------

// The owned, ordered list of the groups of a list view, the items of a
// group or the columns of the header.
class TGvCollection : public TGvOwnedPersistent {
    GCL_CLASS(TGvCollection, TGvOwnedPersistent)
public:
    int GetCount() const noexcept { return static_cast<int>(FList.size()); }
    // The entry at Index (no range check).
    TGvCollectionItem* GetItems(int Index) const { return FList[static_cast<size_t>(Index)]; }
    // Replaces the list slot (no re-indexing, no notification).
    void SetItems(int Index, TGvCollectionItem* Value) { FList[static_cast<size_t>(Index)] = Value; }
    int VisibleCount() const noexcept { return static_cast<int>(FVisibleList.size()); }
    TGvCollectionItem* VisibleItems(int Index) const;
    std::vector<TGvCollectionItem*>& VisibleList() noexcept { return FVisibleList; }
    std::vector<TGvCollectionItem*>& List() noexcept { return FList; }

    // A new entry of ItemClass with Data; null when the class cannot be made.
    TGvCollectionItem* Add(void* Data);
    virtual void Clear(bool FreeItems = true);
    void Exchange(int Index1, int Index2);
    // Takes Item out of its collection and puts it into this one at Index
    // (clamped), re-indexing both and signalling both structure changes.
    void MoveItem(TGvCollectionItem* Item, int Index);
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
    // True while Exchange signals its change.
    bool GetExchanging() const noexcept { return FExchanging; }
    // Removes Item from the lists without freeing it.
    void Extract(TGvCollectionItem* Item);

    int FReIndexCount = 0;

private:
    friend class TGvCollectionItem;
    friend class TGvSortManager;
    friend class TGvSorter;

    bool FHideFromForm = false;
    std::vector<TGvCollectionItem*> FList;
    intptr_t FTag = 0;
    std::vector<TGvCollectionItem*> FVisibleList;
    TGvCollectionItemClass FItemClass;
    TGvCollectionItemClass FBaseClass;
    bool FExchanging = false;
    bool FClearing = false;
};

// The items of one group.
class TGvItems : public TGvCollection {
    GCL_CLASS(TGvItems, TGvCollection)
public:
    TGvGroup* GetOwnerGroup() const noexcept { return FOwnerGroup; }
    TGvItem* GetItems(int Index) const;
    void SetItems(int Index, TGvItem* Value);
    TGvItem* Add(void* Data);
    // The collection's Clear inside the selection manager's batch and
    // group-selection lock.
    void Clear(bool FreeItems = true) override;

protected:
    TGvItems(TCustomGvListview* AOwner, TGvGroup* AOwnerGroup);
    void DoStructureChange() override;

private:
    TGvGroup* FOwnerGroup;
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
    TGvItem* PrevEditableItem(TGvItem* Item) const;
    TGvItem* NextVisibleInGroup(TGvGroup* Group, TGvItem* Item) const;

    TGvGroup* GroupByPoint(gcl::TPoint ViewPoint) const;
    TGvItem* ItemByPoint(gcl::TPoint ViewPoint) const;
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

private:
    friend class TCustomGvListview;
    TGvItem* SearchItem(TGvItem* Item, TGvItemSearch Mode, bool Forward) const;
    bool ItemQualifies(TGvItem* Item, TGvItemSearch Mode) const;

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
    // The list view's image list of the size its view shows.
    gcl::TCustomImageList* GetImageList(int Column) const override;

    void Invalidate(bool ImmediateUpdate) override;
    void MakeVisible(TGvMakeVisiblePos Position) override;
    void LoadFromStream(gcl::TStream& S, int& Version) override;
    void SaveToStream(gcl::TStream& S, int Version) override;

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
    void SelectionRepaint(bool Losing);

    TGvSelectionGroupList* FSelectionGroup = nullptr;
    int FVisibleIndexInGroup = -1;
};

// Data kept in the item's own DataHelper.
class TGvItemStored : public TGvItem {
    GCL_CLASS(TGvItemStored, TGvItem)
public:
    TGvItemDynamicDataHelper* GetDataHelper() const noexcept { return FDataHelper.get(); }

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
    explicit TGvItemStored(TGvCollection* ACollection);

private:
    std::unique_ptr<TGvItemDynamicDataHelper> FDataHelper;
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

protected:
    explicit TGvItemInterfaced(TGvCollection* ACollection) : TGvItem(ACollection) {}
};

// ---- Groups ---------------------------------------------------------------------------------

// A captioned section that owns its items.
class TGvGroup : public TGvCollectionItem {
    GCL_CLASS(TGvGroup, TGvCollectionItem)
public:
    TGvItems* GetItems() const noexcept { return FItems; }
    TGvItem* GetItem(int Index) const;
    int ItemCount() const;
    int VisibleItemCount() const noexcept { return static_cast<int>(FVisibleItems.size()); }
    TGvItem* VisibleItem(int Index) const;
    std::vector<TGvItem*>& VisibleItems() noexcept { return FVisibleItems; }
    TGvItem* ItemByPoint(gcl::TPoint ViewPoint) const;
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

    // Places the group's items below PrevGroup: fills the visible-item list
    // and the items' visible indexes; NextVisibleIndex runs over the list.
    virtual void RebuildLayout(TGvGroup* PrevGroup, int& NextVisibleIndex);

    void LoadFromStream(gcl::TStream& S, int& Version) override;
    void SaveToStream(gcl::TStream& S, int Version) override;
    void BeforeDestruction() noexcept override;

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
    TGvItems* FItems = nullptr;
    uint32_t FKey = 0;
    std::vector<TGvItem*> FVisibleItems;
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
    TGvDynamicDataHelper* GetDataHelper() const noexcept { return FDataHelper.get(); }
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
    std::unique_ptr<TGvDynamicDataHelper> FDataHelper;
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

// ---- Columns ---------------------------------------------------------------------------------

class TGvColumnDropDownButton : public gcl::TPersistent {
    GCL_CLASS(TGvColumnDropDownButton, gcl::TPersistent)
public:
    explicit TGvColumnDropDownButton(TGvColumn* AOwner) : FOwner(AOwner) {}
    bool GetAlwaysShow() const noexcept { return FAlwaysShow; }
    void SetAlwaysShow(bool Value);
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value);
    bool GetVisible() const noexcept { return FVisible; }
    void SetVisible(bool Value);
    TGvColumn* GetOwnerColumn() const noexcept { return FOwner; }
    // 0x01 hot, 0x02 pressed, 0x04 captured.
    uint8_t State = 0;

private:
    void Repaint();
    bool FAlwaysShow = false;
    bool FEnabled = true;
    bool FVisible = false;
    TGvColumn* FOwner;
};

// One header button and, for every item, the cell of that caption index.
class TGvColumn : public TGvCollectionItem {
    GCL_CLASS(TGvColumn, TGvCollectionItem)
public:
    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool GetAutoSizeOnDblClk() const noexcept { return FAutoSizeOnDblClk; }
    void SetAutoSizeOnDblClk(bool Value) noexcept { FAutoSizeOnDblClk = Value; }
    bool GetAutoSortOnClick() const noexcept { return FAutoSortOnClick; }
    void SetAutoSortOnClick(bool Value) noexcept { FAutoSortOnClick = Value; }
    bool GetAutoSpring() const noexcept { return FAutoSpring; }
    void SetAutoSpring(bool Value) noexcept { FAutoSpring = Value; }
    bool GetAutoToggleSortGlyph() const noexcept { return FAutoToggleSortGlyph; }
    void SetAutoToggleSortGlyph(bool Value) noexcept { FAutoToggleSortGlyph = Value; }
    bool GetClickable() const noexcept { return FClickable; }
    void SetClickable(bool Value) noexcept { FClickable = Value; }
    gcl::TColor GetColor() const;
    void SetColor(gcl::TColor Value);
    TGvColumnDropDownButton* GetDropDownButton() const noexcept { return FDropDownButton.get(); }
    int GetPosition() const noexcept { return FPosition; }
    // Clamped to 0..Count-1; the columns in between move over; the header
    // re-lays and repaints (also for the current value).
    virtual void SetPosition(int Value);
    TGvSortDirection GetSortDirection() const noexcept { return FSortDirection; }
    void SetSortDirection(TGvSortDirection Value);
    uint8_t GetStreamByte() const noexcept { return FStreamByte; }
    int GetWidth() const noexcept { return FWidth; }
    // A negative value stores 0.
    virtual void SetWidth(int Value);

    void Invalidate(bool ImmediateUpdate) override;
    // Scrolls the column horizontally into view (emvTop and emvAuto align
    // its left edge with the view's left edge, in either direction).
    void MakeVisible(TGvMakeVisiblePos Position) override;
    gcl::TCustomImageList* DefaultImageList(int ImageSize) const override;
    void LoadFromStream(gcl::TStream& S, int& Version) override;
    void SaveToStream(gcl::TStream& S, int Version) override;
    void BeforeDestruction() noexcept override;

protected:
    explicit TGvColumn(TGvCollection* ACollection);
    ~TGvColumn() override;

    bool CanChangeCheck() override;
    bool CanChangeEnable() override;
    bool CanChangeFocus() override;
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
    void FocusGain() override;
    void FocusLose() override;
    void Initialize() override;
    void SelectionGain() override;
    void SelectionLose() override;
    void VisibilityGain() override;
    void VisibilityLose() override;

    // Direct field access for the header's renumbering.
    friend class TGvHeader;
    friend class TGvColumns;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSizeOnDblClk = true;
    bool FAutoSortOnClick = false;
    bool FAutoSpring = false;
    bool FAutoToggleSortGlyph = true;
    bool FClickable = true;
    std::unique_ptr<TGvColumnDropDownButton> FDropDownButton;
    int FPosition = 0;
    TGvSortDirection FSortDirection = esdNone;
    uint8_t FStreamByte = 0;
    int FWidth = 50;

private:
    void VisibilityChanged();
};

class TGvColumnInterfaced : public TGvColumn {
    GCL_CLASS(TGvColumnInterfaced, TGvColumn)
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
    explicit TGvColumnInterfaced(TGvCollection* ACollection) : TGvColumn(ACollection) {}
};

class TGvColumnStored : public TGvColumn {
    GCL_CLASS(TGvColumnStored, TGvColumn)
public:
    TGvDynamicDataHelper* GetDataHelper() const noexcept { return FDataHelper.get(); }
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
    explicit TGvColumnStored(TGvCollection* ACollection);

private:
    std::unique_ptr<TGvDynamicDataHelper> FDataHelper;
};

class TGvColumnVirtual : public TGvColumn {
    GCL_CLASS(TGvColumnVirtual, TGvColumn)
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
    explicit TGvColumnVirtual(TGvCollection* ACollection) : TGvColumn(ACollection) {}
};

// ---- Header ------------------------------------------------------------------------------

// The column header bar: owns the columns, keeps their display order and
// lays out one rectangle per column.
class TGvHeader : public TGvOwnedPersistent {
    GCL_CLASS(TGvHeader, TGvOwnedPersistent)
    friend class TGvColumn;

public:
    explicit TGvHeader(TCustomGvListview* AOwner);
    ~TGvHeader() override;
    void BeforeDestruction() noexcept override;

    TGvColumns* GetColumns() const noexcept { return FColumns; }
    TGvColumn* FirstColumn() const;
    TGvColumn* LastColumn() const;
    TGvColumn* NextColumn(TGvColumn* Column) const;
    TGvColumn* PrevColumn(TGvColumn* Column) const;
    TGvColumn* FirstVisibleColumn() const;
    TGvColumn* LastVisibleColumn() const;
    TGvColumn* NextVisibleColumn(TGvColumn* Column) const;
    TGvColumn* PrevVisibleColumn(TGvColumn* Column) const;
    TGvColumn* FirstColumnByPosition() const;
    TGvColumn* LastColumnByPosition() const;
    // All columns sorted by Position.
    const std::vector<TGvColumn*>& Positions() const noexcept { return FPositions; }
    void ClearLists();

    bool GetAutoSizeHeight() const noexcept { return FAutoSizeHeight; }
    void SetAutoSizeHeight(bool Value);
    int GetAutoSizeHeightMargin() const noexcept { return FAutoSizeHeightMargin; }
    void SetAutoSizeHeightMargin(int Value);
    gcl::TColor GetColor() const noexcept { return FColor; }
    void SetColor(gcl::TColor Value);
    bool GetDraggable() const noexcept { return FDraggable; }
    void SetDraggable(bool Value) noexcept { FDraggable = Value; }
    bool GetFixedSingleColumn() const noexcept { return FFixedSingleColumn; }
    void SetFixedSingleColumn(bool Value);
    gcl::TFont* GetFont() const noexcept { return FFont.get(); }
    void SetFont(gcl::TFont* Value) { FFont->Assign(Value); }
    // Under AutoSizeHeight at least the font's text height plus the margin.
    int GetHeight() const;
    // The stored height, without the font fitting.
    int GetNominalHeight() const noexcept { return FHeight; }
    void SetHeight(int Value);
    gcl::TCustomImageList* GetImages() const noexcept { return FImages.Get(); }
    void SetImages(gcl::TCustomImageList* Value);
    bool GetShowInAllViews() const noexcept { return FShowInAllViews; }
    void SetShowInAllViews(bool Value);
    bool GetSizeable() const noexcept { return FSizeable; }
    void SetSizeable(bool Value) noexcept { FSizeable = Value; }
    bool GetVisible() const noexcept { return FVisible; }
    void SetVisible(bool Value);
    bool GetStreamColumns() const noexcept { return FStreamColumns; }
    void SetStreamColumns(bool Value) noexcept { FStreamColumns = Value; }

    // Visible and shown by the view (report and grid, or ShowInAllViews).
    bool Shown() const;
    int RuntimeHeight() const;
    gcl::TRect DisplayRect() const;
    // The union of the column rectangles (view coordinates).
    gcl::TRect GetHeaderRect() const noexcept { return FHeaderRect; }
    bool FollowsHorizontalScroll() const;
    // Sorts the positions list, renumbers Position 0..n-1, rebuilds the
    // visible-column list and the column rectangles.
    void Rebuild(bool Force = false);
    void Invalidate(bool ImmediateUpdate);
    void LoadFromStream(gcl::TStream& S) override;
    void SaveToStream(gcl::TStream& S) override;

private:
    bool FAutoSizeHeight = true;
    int FAutoSizeHeightMargin = 8;
    gcl::TColor FColor = gcl::clBtnFace;
    TGvColumns* FColumns = nullptr;
    bool FDraggable = true;
    bool FFixedSingleColumn = false;
    std::unique_ptr<gcl::TFont> FFont;
    int FHeight = 21;
    gcl::TComponentRef<gcl::TCustomImageList> FImages;
    bool FShowInAllViews = false;
    bool FSizeable = true;
    bool FVisible = false;
    bool FStreamColumns = true;
    std::vector<TGvColumn*> FPositions;
    gcl::TRect FHeaderRect;
};

// ---- Managers ----------------------------------------------------------------------------

// Selection, focus, anchor and focused column.
class TGvSelectionManager : public TGvOwnedPersistent {
    GCL_CLASS(TGvSelectionManager, TGvOwnedPersistent)
public:
    explicit TGvSelectionManager(TCustomGvListview* AOwner) : TGvOwnedPersistent(AOwner) {}

    int GetCount() const noexcept { return FCount; }
    TGvItem* First() const;
    TGvItem* Next(TGvItem* Item) const;
    void ClearAll();
    void ClearAllExcept(TGvItem* Item);
    void SelectAll();
    void InvertSelection();
    void SelectFirst();
    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const noexcept { return FUpdateCount; }
    void GroupSelectionBeginUpdate() noexcept { ++FGroupSelectionUpdateCount; }
    // The last one rebuilds the selection groups.
    void GroupSelectionEndUpdate();
    void GainingSelection(TGvItem* Item);
    void LosingSelection(TGvItem* Item);
    void BuildSelectionGroupings(bool Force);

    TGvItem* GetFocusedItem() const noexcept { return FFocusedItem; }
    void SetFocusedItem(TGvItem* Value);
    TGvItem* GetAnchorItem() const noexcept { return FAnchorItem; }
    void SetAnchorItem(TGvItem* Value);
    // While none is set, the header's first column becomes the focused one.
    TGvColumn* GetFocusedColumn();
    TGvColumn* PeekFocusedColumn() const noexcept { return FFocusedColumn; }
    void SetFocusedColumn(TGvColumn* Value);

    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value);
    bool GetMultiSelect() const noexcept { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool GetGroupSelections() const noexcept { return FGroupSelections; }
    void SetGroupSelections(bool Value);
    bool GetFullRowSelect() const noexcept { return FFullRowSelect; }
    void SetFullRowSelect(bool Value) noexcept { FFullRowSelect = Value; }
    bool GetResizeGroupOnFocus() const noexcept { return FResizeGroupOnFocus; }
    void SetResizeGroupOnFocus(bool Value) noexcept { FResizeGroupOnFocus = Value; }

private:
    friend class TGvItem;
    friend class TGvColumn;
    enum class TWork { Clear, Select, Invert };
    void Work(TWork Mode, TGvItem* Except);
    void Notify();

    int FCount = 0;
    TGvColumn* FFocusedColumn = nullptr;
    TGvItem* FFocusedItem = nullptr;
    TGvItem* FAnchorItem = nullptr;
    int FGroupSelectionUpdateCount = 0;
    int FChangedCount = 0;
    int FUpdateCount = 0;
    bool FEnabled = true;
    bool FMultiSelect = false;
    bool FGroupSelections = false;
    bool FFullRowSelect = false;
    bool FResizeGroupOnFocus = false;
};

// The object whose check box is being pressed.
class TGvCheckManager : public TGvOwnedPersistent {
    GCL_CLASS(TGvCheckManager, TGvOwnedPersistent)
public:
    explicit TGvCheckManager(TCustomGvListview* AOwner) : TGvOwnedPersistent(AOwner) {}
    TGvCollectionItem* GetPendingObject() const noexcept { return FPendingObject; }
    // Moves the check-pending state from the old object to the new one.
    void SetPendingObject(TGvCollectionItem* Value);

private:
    TGvCollectionItem* FPendingObject = nullptr;
};

// Hot tracking: the object under the mouse and the item whose check box is.
class TGvHotTrackManager : public TGvOwnedPersistent {
    GCL_CLASS(TGvHotTrackManager, TGvOwnedPersistent)
public:
    explicit TGvHotTrackManager(TCustomGvListview* AOwner) : TGvOwnedPersistent(AOwner) {}
    gcl::TColor GetColor() const noexcept { return FColor; }
    void SetColor(gcl::TColor Value) noexcept { FColor = Value; }
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value) noexcept { FEnabled = Value; }
    gcl::TCursor GetCursor() const noexcept { return FCursor; }
    void SetCursor(gcl::TCursor Value) noexcept { FCursor = Value; }
    TGvHotTrackRectGroups GetGroupTrack() const noexcept { return FGroupTrack; }
    void SetGroupTrack(TGvHotTrackRectGroups Value) noexcept { FGroupTrack = Value; }
    TGvHotTrackRectItems GetItemTrack() const noexcept { return FItemTrack; }
    void SetItemTrack(TGvHotTrackRectItems Value) noexcept { FItemTrack = Value; }
    bool GetOnlyFocused() const noexcept { return FOnlyFocused; }
    void SetOnlyFocused(bool Value) noexcept { FOnlyFocused = Value; }
    bool GetUnderline() const noexcept { return FUnderline; }
    void SetUnderline(bool Value) noexcept { FUnderline = Value; }

    TGvCollectionItem* GetHotObject() const noexcept { return FHotObject; }
    TGvItem* GetHotCheckItem() const noexcept { return FHotCheckItem; }
    void SetPendingObject(TGvCollectionItem* Obj, gcl::TPoint MousePos);
    void SetPendingObjectCheck(TGvItem* Item);
    // Forgets Obj without notifications (it is going away).
    void Forget(TGvCollectionItem* Obj) noexcept;

private:
    gcl::TColor FColor = gcl::clHighlight;
    bool FEnabled = false;
    gcl::TCursor FCursor = gcl::crHandPoint;
    TGvHotTrackRectGroups FGroupTrack{htgIcon, htgText};
    TGvHotTrackRectItems FItemTrack{htiIcon, htiText};
    bool FOnlyFocused = false;
    bool FUnderline = true;
    TGvCollectionItem* FHotObject = nullptr;
    TGvItem* FHotCheckItem = nullptr;
};

// In-place editing: settings and the references to what is being edited.
class TGvEditManager : public TGvOwnedPersistent {
    GCL_CLASS(TGvEditManager, TGvOwnedPersistent)
public:
    explicit TGvEditManager(TCustomGvListview* AOwner);
    int GetAutoEditDelayTime() const noexcept { return FAutoEditDelayTime; }
    void SetAutoEditDelayTime(int Value) noexcept { FAutoEditDelayTime = Value; }
    gcl::TColor GetColor() const noexcept { return FColor; }
    void SetColor(gcl::TColor Value) noexcept { FColor = Value; }
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value);
    gcl::TFont* GetFont() const noexcept { return FFont.get(); }
    void SetFont(gcl::TFont* Value) { FFont->Assign(Value); }
    bool GetTabMoveFocus() const noexcept { return FTabMoveFocus; }
    void SetTabMoveFocus(bool Value) noexcept { FTabMoveFocus = Value; }
    bool GetTabEditColumns() const noexcept { return FTabEditColumns; }
    void SetTabEditColumns(bool Value) noexcept { FTabEditColumns = Value; }

    // True while editing or while a Tab move is pending.
    bool Editing() const noexcept { return FEditing || FTabMoveFocusItem != nullptr; }
    TGvItem* GetEditItem() const noexcept { return FEditItem; }
    TGvColumn* GetEditColumn() const noexcept { return FEditColumn; }
    TGvItem* GetTabMoveFocusItem() const noexcept { return FTabMoveFocusItem; }
    TGvColumn* GetTabMoveFocusColumn() const noexcept { return FTabMoveFocusColumn; }
    void SetTabMoveFocusItem(TGvItem* Value) noexcept { FTabMoveFocusItem = Value; }
    void SetTabMoveFocusColumn(TGvColumn* Value) noexcept { FTabMoveFocusColumn = Value; }
    // Stops a running edit's loop and a pending click-to-edit.
    void StopEdit();
    // Drops every reference to the object (it is going away).
    void Forget(TGvCollectionItem* Obj) noexcept;

private:
    int FAutoEditDelayTime = 300;
    gcl::TColor FColor = gcl::clWindow;
    bool FEnabled = false;
    std::unique_ptr<gcl::TFont> FFont;
    bool FTabMoveFocus = false;
    bool FTabEditColumns = false;
    bool FStopFlag = false;
    bool FEditing = false;
    TGvItem* FEditItem = nullptr;
    TGvColumn* FEditColumn = nullptr;
    TGvItem* FTabMoveFocusItem = nullptr;
    TGvColumn* FTabMoveFocusColumn = nullptr;
};

// The view rectangle, the scroll offsets into it and the window's bars.
class TGvScrollbarManager : public TGvOwnedPersistent {
    GCL_CLASS(TGvScrollbarManager, TGvOwnedPersistent)
public:
    explicit TGvScrollbarManager(TCustomGvListview* AOwner) : TGvOwnedPersistent(AOwner) {}
    bool GetHorzEnabled() const noexcept { return FHorzEnabled; }
    void SetHorzEnabled(bool Value);
    bool GetSnapHorzView() const noexcept { return FSnapHorzView; }
    void SetSnapHorzView(bool Value) noexcept { FSnapHorzView = Value; }
    bool GetVertEnabled() const noexcept { return FVertEnabled; }
    void SetVertEnabled(bool Value);

    int GetOffsetX() const noexcept { return FOffsetX; }
    int GetOffsetY() const noexcept { return FOffsetY; }
    void SetOffsetX(int Value);
    void SetOffsetY(int Value);
    gcl::TRect GetViewRect() const noexcept { return FViewRect; }
    void SetViewRect(const gcl::TRect& Value, bool ForceInvalidate);
    int ViewWidth() const noexcept { return FViewRect.Right - FViewRect.Left; }
    int ViewHeight() const noexcept { return FViewRect.Bottom - FViewRect.Top; }
    int MaxOffsetX() const;
    int MaxOffsetY() const;
    int LineStep() const;
    bool HorzBarVisible() const;
    bool VertBarVisible() const;
    gcl::TPoint MapWindowToView(gcl::TPoint Point, bool IncludeHeader = true) const;
    gcl::TPoint MapViewToWindow(gcl::TPoint Point, bool IncludeHeader = true) const;
    gcl::TRect MapWindowRectToViewRect(const gcl::TRect& R, bool IncludeHeader = true) const;
    gcl::TRect MapViewRectToWindowRect(const gcl::TRect& R, bool IncludeHeader = true) const;
    void Scroll(int DeltaX, int DeltaY);
    void ReCalculateScrollbars(bool Redraw, bool Force);
    void ValidateOffsets(int& X, int& Y) const;

private:
    bool FHorzEnabled = true;
    bool FSnapHorzView = true;
    bool FVertEnabled = true;
    int FOffsetX = 0;
    int FOffsetY = 0;
    bool FRecalculating = false;
    gcl::TRect FViewRect;
};

// One cell size; Width and Height read the auto pair under AutoSize, else
// the fixed pair (at least 1).
class TGvCellSize : public TGvOwnedPersistent {
    GCL_CLASS(TGvCellSize, TGvOwnedPersistent)
public:
    explicit TGvCellSize(TCustomGvListview* AOwner) : TGvCellSize(AOwner, 75, 75) {}
    void Assign(gcl::TPersistent* Source) override;
    bool GetAutoSize() const noexcept { return FAutoSize; }
    void SetAutoSize(bool Value);
    int GetHeight() const noexcept;
    void SetHeight(int Value);
    int GetWidth() const noexcept;
    void SetWidth(int Value);
    void SetSize(int Width, int Height);
    int GetAutoWidth() const noexcept { return FAutoWidth; }
    void SetAutoWidth(int Value) noexcept { FAutoWidth = Value; }

protected:
    TGvCellSize(TCustomGvListview* AOwner, int Width, int Height)
        : TGvOwnedPersistent(AOwner), FAutoHeight(Height), FAutoWidth(Width), FHeight(Height), FWidth(Width) {}

private:
    bool FAutoSize = false;
    int FAutoHeight;
    int FAutoWidth;
    int FHeight;
    int FWidth;
};

#define GV_CELL_SIZE(Class, Base, W, H)                                                   \
    class Class : public Base {                                                           \
        GCL_CLASS(Class, Base)                                                            \
    public:                                                                               \
        explicit Class(TCustomGvListview* AOwner) : Base(AOwner, W, H) {}                 \
                                                                                          \
    protected:                                                                            \
        Class(TCustomGvListview* AOwner, int Width, int Height) : Base(AOwner, Width, Height) {} \
    };
GV_CELL_SIZE(TGvCellSizeIcon, TGvCellSize, 75, 75)
GV_CELL_SIZE(TGvCellSizeSmallIcon, TGvCellSize, 200, 17)
GV_CELL_SIZE(TGvCellSizeList, TGvCellSize, 200, 17)
GV_CELL_SIZE(TGvCellSizeReport, TGvCellSize, 75, 17)
GV_CELL_SIZE(TGvCellSizeThumbnail, TGvCellSize, 125, 143)
GV_CELL_SIZE(TGvCellSizeTile, TGvCellSize, 218, 58)
GV_CELL_SIZE(TGvCellSizeFilmStrip, TGvCellSizeThumbnail, 125, 143)
GV_CELL_SIZE(TGvCellGrid, TGvCellSizeReport, 75, 17)
#undef GV_CELL_SIZE

class TGvCellSizes : public TGvOwnedPersistent {
    GCL_CLASS(TGvCellSizes, TGvOwnedPersistent)
public:
    explicit TGvCellSizes(TCustomGvListview* AOwner);
    ~TGvCellSizes() override;
    TGvCellSize* GetFilmStrip() const noexcept { return FFilmStrip; }
    TGvCellSize* GetIcon() const noexcept { return FIcon; }
    TGvCellSize* GetSmallIcon() const noexcept { return FSmallIcon; }
    TGvCellSize* GetGrid() const noexcept { return FGrid; }
    TGvCellSize* GetThumbnail() const noexcept { return FThumbnail; }
    TGvCellSize* GetTile() const noexcept { return FTile; }
    TGvCellSize* GetList() const noexcept { return FList; }
    TGvCellSize* GetReport() const noexcept { return FReport; }
    // The cell size of a view style.
    TGvCellSize* ForView(TGvListStyle View) const;

private:
    TGvCellSize* FIcon;
    TGvCellSize* FSmallIcon;
    TGvCellSize* FThumbnail;
    TGvCellSize* FTile;
    TGvCellSize* FList;
    TGvCellSize* FReport;
    TGvCellSize* FFilmStrip;
    TGvCellSize* FGrid;
};

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
    void Prepare(TGvColumn* Column, TGvCollection* Collection, TGvGroupCompareFunc GroupCompare,
                 TGvItemCompareFunc ItemCompare, bool UseInterfaces);
    std::vector<TGvCollectionItem*>& Slots(TGvCollection* Collection) const { return Collection->FList; }

    TGvColumn* FColumn = nullptr;
    TGvGroupCompareFunc FGroupCompare = nullptr;
    TGvItemCompareFunc FItemCompare = nullptr;
    TGvGroup* FGroup = nullptr;
    bool FUseInterfaces = false;

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
    void QuickSort(std::vector<TGvCollectionItem*>& List, int L, int R);
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
    using TSlots = std::vector<TGvCollectionItem*>;
    bool LessOrEqual(TGvCollectionItem* A, TGvCollectionItem* B) const { return Compare(A, B) <= 0; }
    // Sorts List[Lo, Hi) using Buffer from position B.
    void SortInPlace(TSlots& List, int Lo, int Hi, TSlots& Buffer, int B);
    // Sorts Source[Lo, Hi) into Dest from position D.
    void SortInto(TSlots& Source, int Lo, int Hi, TSlots& Dest, int D);
    void Merge(TSlots& Left, int LeftLo, int LeftHi, TSlots& Right, int RightLo, int RightHi, TSlots& Dest, int D);
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
};

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

    virtual TGvColumn* FocusedColumn();
    virtual void SetFocusIfAllowed();
    // Clears every item's Cut mark, then marks the selected items cut.
    void MarkSelectedCut();
    virtual bool GroupCaptionsShown() const;
    // The whole-control stream: version, view, groups, columns.
    virtual void LoadFromStream(gcl::TStream& S);
    virtual void SaveToStream(gcl::TStream& S);
    // The default caption comparison of two objects for Column.
    static int DefaultCaptionCompare(TGvColumn* Column, TGvCollectionItem* Item1, TGvCollectionItem* Item2);
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

protected:
    explicit TCustomGvListview(gcl::TComponent* AOwner);
    ~TCustomGvListview() override;

    void Loaded() override;
    void CreateParams(gcl::TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(gcl::TMessage& Message) override;
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
    TGvScrollbarManager* FScrollbars = nullptr;
    TGvCheckManager* FCheckManager = nullptr;
    TGvSelectionManager* FSelection = nullptr;
    TGvGroups* FGroups = nullptr;
    TGvHeader* FHeader = nullptr;
    TGvEditManager* FEditManager = nullptr;
    TGvGlobalImageManager* FGlobalImageManager = nullptr;
    TGvCellSizes* FCellSizes = nullptr;
    TGvSortManager* FSort = nullptr;
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

#undef GV_EVENT

// ---- Helpers of this unit ------------------------------------------------------------------

// (A * WeightA + B * WeightB) div (WeightA + WeightB); 0 when both weights are 0.
uint32_t MixValue(uint32_t A, uint32_t B, uint32_t WeightA, uint32_t WeightB);
// Mixes the first three bytes of every target pixel with the source's (both
// 32-bit, of equal size); with Blur the target is first softened.
void BlendBitmaps(gcl::TBitmap* Source, gcl::TBitmap* Target, uint32_t WeightSource, bool Blur, uint32_t WeightTarget);
// The "GvListview.Header" format, no target device, all aspects, index -1,
// TYMED_HGLOBAL.
void HeaderClipboardFormatEtc(FORMATETC& F);
// The captions of both objects at the column's collection index (0 without
// a column), compared ignoring case; negated for a descending column.
int DefaultSortCompare(TGvColumn* Column, TGvCollectionItem* Item1, TGvCollectionItem* Item2);
// The registered "GvListview.Header" clipboard format.
extern CLIPFORMAT CF_GVHEADER;

// Initialises the list view's base units, OLE, the header clipboard format
// and the registration of the thirteen item, group and column kinds.
extern gcl::TUnit GvListviewUnit;

} // namespace qelvo
