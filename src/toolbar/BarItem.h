// The item tree: items that are at once menu entries and toolbar buttons,
// their sub-items, change notifications, clicks, radio groups, action
// links, shortcuts, the deferred click and popup placement. The unit's
// viewers and views live in BarItemViewer.h and BarView.h, included below.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "gcl/ActnList.h"
#include "gcl/Controls.h"
#include "gcl/ImgList.h"
#include "gcl/rtl/Components.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Sets.h"
#include "toolbar/BarCommon.h"

namespace qelvo {

class TBarCustomItem;
class TBarItemViewer;
class TBarView;
class TBarPopupWindow;
struct TBarPopupWindowMetaClass;
using TBarPopupWindowClass = const TBarPopupWindowMetaClass*;

// Item and viewer lookups that fail.
class EBarItemError : public gcl::Exception {
public:
    using gcl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EBarItemError"; }
};

GCL_ENUM(TBarItemChangedAction, tbicInserted, tbicDeleting, tbicSubitemsChanged, tbicSubitemsBeginUpdate,
         tbicSubitemsEndUpdate, tbicInvalidate, tbicInvalidateAndResize, tbicRecreateItemViewers, tbicNameChanged,
         tbicSubMenuImagesChanged)
GCL_ENUM(TBarItemDisplayMode, nbdmDefault, nbdmTextOnly, nbdmTextOnlyInMenus, nbdmImageAndText)
GCL_ENUM(TBarItemOption, tboDefault, tboDropdownArrow, tboImageAboveCaption, tboLongHintInMenuOnly, tboNoAutoHint,
         tboNoRotation, tboSameWidth, tboShowHint, tboToolbarStyle, tboToolbarSize)
using TBarItemOptions = gcl::TSet<TBarItemOption>;
// Where a popup opened at a point lies: its left edge, right edge or
// centre at the point.
GCL_ENUM(TBarPopupAnchor, tbpaLeft, tbpaRight, tbpaCenter)

// The item style: what kind of entry an item is and how views treat it.
using TBarItemStyle = uint16_t;
inline constexpr TBarItemStyle tbisSubmenu = 0x0001;             // opens its sub-items as a popup
inline constexpr TBarItemStyle tbisSelectable = 0x0002;
inline constexpr TBarItemStyle tbisSeparator = 0x0004;
inline constexpr TBarItemStyle tbisEmbeddedGroup = 0x0008;       // sub-items shown in place of it
inline constexpr TBarItemStyle tbisClicksTransparent = 0x0010;
inline constexpr TBarItemStyle tbisCombo = 0x0020;               // button part plus drop-down part
inline constexpr TBarItemStyle tbisNoAutoOpen = 0x0040;
inline constexpr TBarItemStyle tbisSubitemsEditable = 0x0080;
inline constexpr TBarItemStyle tbisNoLineBreak = 0x0100;         // a separator that may stay inside a line
inline constexpr TBarItemStyle tbisRightAlign = 0x0200;
inline constexpr TBarItemStyle tbisDontSelectFirst = 0x0400;
inline constexpr TBarItemStyle tbisRedrawOnSelChange = 0x0800;
inline constexpr TBarItemStyle tbisRedrawOnMouseOverChange = 0x1000;
inline constexpr TBarItemStyle tbisStretch = 0x2000;
inline constexpr TBarItemStyle tbisDefaultStyle = tbisSelectable | tbisRedrawOnSelChange | tbisRedrawOnMouseOverChange;

using TBarPopupEvent = gcl::TEvent<void(TBarCustomItem* Sender, bool FromLink)>;
using TBarSelectEvent = gcl::TEvent<void(TBarCustomItem* Sender, TBarItemViewer* Viewer, bool Selecting)>;
using TBarItemChangeHandler = gcl::TEvent<void(TBarCustomItem* Sender, bool Relayed, TBarItemChangedAction Action,
                                               int Index, TBarCustomItem* Item)>;

// How a modal menu ended (kept by the root view, carried out after the loop).
enum TBarDoneAction : uint8_t {
    tbdaNone = 0,           // not ended yet
    tbdaCancel = 1,         // ended without an action
    tbdaClickItem = 2,      // click ClickItem (play the command sound when Sound)
    tbdaOpenSystemMenu = 3, // send Key as a menu key to Wnd
    tbdaHelpContext = 4,    // show help for HelpContext
};

struct TBarDoneActionData {
    TBarDoneAction DoneAction = tbdaNone;
    TBarCustomItem* ClickItem = nullptr;
    HWND Wnd = nullptr;
    int HelpContext = 0;
    bool Sound = false;
    WPARAM Key = 0;
};

// Popup animation directions.
inline constexpr uint8_t tbadLeftward = 1;
inline constexpr uint8_t tbadRightward = 2;
inline constexpr uint8_t tbadDownward = 4;
inline constexpr uint8_t tbadUpward = 8;

// The popup's placement, filled when the popup is made and adjusted by
// GetPopupPosition. Screen pixels.
struct TBarPopupPositionRec {
    bool PositionAsSubmenu = false;
    TBarPopupAnchor Alignment = tbpaLeft;
    // Open towards the side opposite to the usual one. GetPopupPosition
    // sets it when it places the popup there; the popup's view keeps it.
    bool Opposite = false;
    gcl::TRect MonitorRect;      // work area of the monitor
    gcl::TRect ParentItemRect;   // the parent viewer on the screen
    int NCSizeX = 0;             // popup frame sizes
    int NCSizeY = 0;
    int X = 0;
    int Y = 0;
    int W = 0;
    int H = 0;
    uint8_t AnimDir = 0;
    bool PlaySound = true;
};

// A change link on an image list that remembers the image size it saw.
class TBarImageChangeLink : public gcl::TChangeLink {
    GCL_CLASS(TBarImageChangeLink, gcl::TChangeLink)
public:
    TBarImageChangeLink() = default;
    int SeenWidth = 0;
    int SeenHeight = 0;
};

// Ties an item to an action: each property follows the action while the
// item still shows the action's value.
class TBarCustomItemActionLink : public gcl::TActionLink {
    GCL_CLASS(TBarCustomItemActionLink, gcl::TActionLink)
public:
    explicit TBarCustomItemActionLink(gcl::TObject* client);

    TBarCustomItem* GetClient() const noexcept { return FClient; }

    bool IsAutoCheckLinked() override;
    bool IsCaptionLinked() override;
    bool IsCheckedLinked() override;
    bool IsEnabledLinked() override;
    bool IsHelpContextLinked() override;
    bool IsHintLinked() override;
    bool IsImageIndexLinked() override;
    bool IsShortCutLinked() override;
    bool IsVisibleLinked() override;
    bool IsOnExecuteLinked() override;

    void SetAutoCheck(bool value) override;
    void SetCaption(const std::string& value) override;
    void SetChecked(bool value) override;
    void SetEnabled(bool value) override;
    void SetHelpContext(int value) override;
    void SetHint(const std::string& value) override;
    void SetImageIndex(int value) override;
    void SetShortCut(gcl::TShortCut value) override;
    void SetVisible(bool value) override;
    void SetOnExecute(gcl::TNotifyEvent value) override;

protected:
    void AssignClient(gcl::TObject* client) override;

    TBarCustomItem* FClient = nullptr;
};

// The class of an item's viewers: created with (View, Item, GroupLevel).
using TBarItemViewerMetaClass = gcl::TClassOf<TBarItemViewer, gcl::TMetaClass, TBarView*, TBarCustomItem*, int>;
using TBarItemViewerClass = const TBarItemViewerMetaClass*;

// A control that holds a root item (a toolbar, a popup menu): a streamed
// item whose parent is such a control joins that root.
class IBarItemContainer {
public:
    virtual TBarCustomItem* GetItems() = 0;

protected:
    ~IBarItemContainer() = default;
};

class TBarCustomItem : public gcl::TComponent {
    GCL_CLASS(TBarCustomItem, gcl::TComponent)
public:
    // ---- Sub-items
    // The sub-item at Index; EBarItemError outside 0..Count-1.
    TBarCustomItem* GetItem(int Index) const;
    TBarCustomItem* operator[](int Index) const { return GetItem(Index); }
    int GetCount() const noexcept { return static_cast<int>(FItems.size()); }
    void Add(TBarCustomItem* AItem) { Insert(GetCount(), AItem); }
    // EBarItemError when AItem already has a parent (or would hold this
    // item) or NewIndex is outside 0..Count; the tree is then unchanged.
    void Insert(int NewIndex, TBarCustomItem* AItem);
    // Takes the sub-item out of the tree without freeing it.
    void Delete(int Index);
    int IndexOf(const TBarCustomItem* AItem) const noexcept;
    void Remove(TBarCustomItem* AItem);
    // Frees every sub-item, last first.
    void Clear();
    void Move(int CurIndex, int NewIndex);
    void BeginSubitemsUpdate();
    void EndSubitemsUpdate();
    TBarCustomItem* GetParent() const noexcept { return FParent; }
    // The item whose sub-items are shown for this one: LinkSubitems, else itself.
    TBarCustomItem* SubitemsSource() noexcept { return FLinkSubitems ? FLinkSubitems : this; }

    // ---- Change notifications
    // A handler registered twice is called once and needs two unregistrations.
    void RegisterNotification(TBarItemChangeHandler Handler);
    void UnregisterNotification(TBarItemChangeHandler Handler);
    // Tells the handlers (and, through embedded groups and linking items,
    // the handlers of the items that show this one). Handlers may
    // unregister themselves or others, and may free the item.
    void Notify(TBarItemChangedAction Action, int Index, TBarCustomItem* Item);
    // The item's look changed: the parent's views repaint it, and lay out
    // again when NeedResize.
    virtual void Changed(bool NeedResize);

    // ---- Properties
    gcl::TBasicAction* GetAction() const noexcept;
    void SetAction(gcl::TBasicAction* Value);
    TBarCustomItemActionLink* GetActionLink() const noexcept { return FActionLink; }
    bool GetAutoCheck() const noexcept { return FAutoCheck; }
    void SetAutoCheck(bool Value);
    const std::string& GetCaption() const noexcept { return FCaption; }
    void SetCaption(const std::string& Value);
    bool GetChecked() const noexcept { return FChecked; }
    void SetChecked(bool Value);
    TBarItemDisplayMode GetDisplayMode() const noexcept { return FDisplayMode; }
    void SetDisplayMode(TBarItemDisplayMode Value);
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value);
    TBarItemOptions GetEffectiveOptions() const noexcept { return FEffectiveOptions; }
    int GetGroupIndex() const noexcept { return FGroupIndex; }
    void SetGroupIndex(int Value);
    int GetHelpContext() const noexcept { return FHelpContext; }
    void SetHelpContext(int Value);
    const std::string& GetHint() const noexcept { return FHint; }
    void SetHint(const std::string& Value);
    int GetImageIndex() const noexcept { return FImageIndex; }
    void SetImageIndex(int Value);
    gcl::TCustomImageList* GetImages() const noexcept { return FImages; }
    void SetImages(gcl::TCustomImageList* Value);
    gcl::TCustomImageList* GetSubMenuImages() const noexcept { return FSubMenuImages; }
    void SetSubMenuImages(gcl::TCustomImageList* Value);
    bool GetInheritOptions() const noexcept { return FInheritOptions; }
    void SetInheritOptions(bool Value);
    TBarItemOptions GetMaskOptions() const noexcept { return FMaskOptions; }
    void SetMaskOptions(TBarItemOptions Value);
    TBarItemOptions GetOptions() const noexcept { return FOptions; }
    void SetOptions(TBarItemOptions Value);
    TBarCustomItem* GetLinkSubitems() const noexcept { return FLinkSubitems; }
    void SetLinkSubitems(TBarCustomItem* Value);
    // The items whose LinkSubitems is this one.
    const std::vector<TBarCustomItem*>& GetLinkingItems() const noexcept { return FLinkingItems; }
    bool GetRadioItem() const noexcept { return FRadioItem; }
    void SetRadioItem(bool Value);
    gcl::TShortCut GetShortCut() const noexcept { return FShortCut; }
    void SetShortCut(gcl::TShortCut Value);
    bool GetVisible() const noexcept { return FVisible; }
    void SetVisible(bool Value);
    TBarItemStyle GetItemStyle() const noexcept { return FItemStyle; }
    void SetItemStyle(TBarItemStyle Value) noexcept { FItemStyle = Value; }
    bool HasStyle(TBarItemStyle Bits) const noexcept { return (FItemStyle & Bits) != 0; }
    // The control (toolbar, popup menu) that owns this root item.
    gcl::TComponent* GetParentComponentField() const noexcept { return FParentComponent; }
    void SetParentComponentField(gcl::TComponent* Value) noexcept { FParentComponent = Value; }

    gcl::TNotifyEvent OnClick;
    TBarPopupEvent OnPopup;
    TBarSelectEvent OnSelect;
    gcl::TNotifyEvent GetOnClick() const noexcept { return OnClick; }
    void SetOnClick(gcl::TNotifyEvent Value) noexcept { OnClick = Value; }
    TBarPopupEvent GetOnPopup() const noexcept { return OnPopup; }
    void SetOnPopup(TBarPopupEvent Value) noexcept { OnPopup = Value; }
    TBarSelectEvent GetOnSelect() const noexcept { return OnSelect; }
    void SetOnSelect(TBarSelectEvent Value) noexcept { OnSelect = Value; }

    // ---- Clicks, shortcuts, popups
    // Toggles AutoCheck items, then runs OnClick or the action; nothing
    // for a disabled item.
    virtual void Click();
    // The action's update step.
    virtual void InitiateAction();
    // Fires OnPopup, then Click unless the item is a combo item.
    virtual void DoPopup(TBarCustomItem* Sender, bool FromLink);
    // The text after the first tab of Caption (when the tab is not last),
    // else the ShortCut's text.
    std::string GetShortCutText() const;
    // Finds the item bound to the key of a key message among the effective
    // sub-items (popup handlers may fill menus on the way) and clicks it;
    // true when an enabled item was clicked.
    bool HandleShortCutKey(gcl::TWMKey& Message);
    // Opens the sub-items as a popup window (placed beside ParentViewer, or
    // at APopupPoint without one) and shows it; the parent view records it
    // as its open popup.
    virtual TBarPopupWindow* CreatePopup(TBarView* ParentView, TBarItemViewer* ParentViewer, bool PositionAsSubmenu,
                                         bool SelectFirstItem, bool Customizing, gcl::TPoint APopupPoint,
                                         TBarPopupAnchor Alignment);
    // Opens the sub-items as a modal popup menu at a screen point and returns
    // the item chosen, or null. The chosen item's click runs on the next
    // pump of the message loop, unless ReturnClickedItemOnly.
    TBarCustomItem* Popup(int X, int Y, bool TrackRightButton, TBarPopupAnchor Alignment = tbpaLeft,
                          bool ReturnClickedItemOnly = false);
    virtual TBarPopupWindowClass GetPopupWindowClass();
    // Adjusts a popup's placement to its monitor and parent item.
    virtual void GetPopupPosition(TBarView* ParentView, TBarPopupWindow* PopupWindow, TBarPopupPositionRec& Rec);
    virtual TBarView* GetChevronParentView() { return nullptr; }
    virtual TBarItemViewerClass GetItemViewerClass(TBarView* View);
    virtual bool NeedToRecreateViewer(TBarItemViewer*) { return false; }

    // ---- Effective options
    void UpdateEffectiveOptions();

    // ---- Streaming: a property linked to the action is not stored.
    bool IsAutoCheckStored() const;
    bool IsCaptionStored() const;
    bool IsCheckedStored() const;
    bool IsEnabledStored() const;
    bool IsHelpContextStored() const;
    bool IsHintStored() const;
    bool IsImageIndexStored() const;
    bool IsShortCutStored() const;
    bool IsVisibleStored() const;
    bool IsOnClickStored() const;
    // The sub-items that Root owns are streamed under this item.
    void GetChildren(gcl::TGetChildProc Proc, gcl::TComponent* Root) override;

    // ---- Component
    void SetName(const std::string& Value) override;
    gcl::TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }
    void SetParentComponent(gcl::TComponent* Value) override;
    void BeforeDestruction() noexcept override;

protected:
    explicit TBarCustomItem(gcl::TComponent* AOwner);
    ~TBarCustomItem() override;

    // Stores a property value and tells the views (NeedResize: they lay the
    // item out again); nothing when the value is unchanged.
    template <class T>
    void StoreAndChange(T& Field, const std::type_identity_t<T>& Value, bool NeedResize) {
        if (Value == Field) return;
        Field = Value;
        Changed(NeedResize);
    }

    virtual void EnabledChanged();
    virtual void ActionChange(gcl::TObject* Sender, bool CheckDefaults);
    virtual gcl::TBasicActionLinkClass GetActionLinkClass();
    void Loaded() override;
    void Notification(gcl::TComponent* AComponent, gcl::TOperation Operation) override;

private:
    friend class TBarCustomItemActionLink;
    struct TNotifyWalk;
    struct THandlerRec {
        TBarItemChangeHandler Handler;
        int RefCount;
    };

    void RelayNotify(TBarCustomItem* Ancestor, int NestingLevel, TBarItemChangedAction Action, int Index,
                     TBarCustomItem* Item);
    void UncheckRadioGroup();
    void DoActionChange(gcl::TObject* Sender);
    void SetImagesLink(gcl::TCustomImageList*& Field, TBarImageChangeLink*& Link, gcl::TCustomImageList* Value,
                       void (TBarCustomItem::*OnChange)(gcl::TObject*), bool& NeedResize);
    void ImageListChanged(gcl::TObject* Sender);
    void SubMenuImageListChanged(gcl::TObject* Sender);
    void FreeActionLink() noexcept;
    bool IsActionLinked(bool (gcl::TActionLink::*Test)()) const;

    TBarCustomItemActionLink* FActionLink = nullptr;
    bool FAutoCheck = false;
    std::string FCaption;
    bool FChecked = false;
    TBarItemDisplayMode FDisplayMode = nbdmDefault;
    bool FEnabled = true;
    TBarItemOptions FEffectiveOptions;
    int FGroupIndex = 0;
    int FHelpContext = 0;
    std::string FHint;
    int FImageIndex = -1;
    gcl::TCustomImageList* FImages = nullptr;
    TBarImageChangeLink* FImagesChangeLink = nullptr;
    std::vector<TBarCustomItem*> FItems;
    TBarItemStyle FItemStyle = tbisDefaultStyle;
    std::vector<TBarCustomItem*> FLinkingItems;
    TBarItemOptions FMaskOptions;
    TBarItemOptions FOptions;
    bool FInheritOptions = true;
    std::vector<THandlerRec> FChangeHandlers;
    TNotifyWalk* FNotifyWalks = nullptr;   // walks running over this item
    TBarCustomItem* FParent = nullptr;
    gcl::TComponent* FParentComponent = nullptr;
    bool FRadioItem = false;
    gcl::TShortCut FShortCut = 0;
    gcl::TCustomImageList* FSubMenuImages = nullptr;
    TBarImageChangeLink* FSubMenuImagesChangeLink = nullptr;
    TBarCustomItem* FLinkSubitems = nullptr;
    bool FVisible = true;
};

// The root of a toolbar's or popup menu's tree.
class TBarRootItem : public TBarCustomItem {
    GCL_CLASS(TBarRootItem, TBarCustomItem)
protected:
    explicit TBarRootItem(gcl::TComponent* AOwner) : TBarCustomItem(AOwner) {}
};

// A group whose sub-items are shown in its place.
class TBarGroupItem : public TBarCustomItem {
    GCL_CLASS(TBarGroupItem, TBarCustomItem)
protected:
    explicit TBarGroupItem(gcl::TComponent* AOwner);
};

class TBarSeparatorItem : public TBarCustomItem {
    GCL_CLASS(TBarSeparatorItem, TBarCustomItem)
public:
    // A blank separator keeps its space and draws nothing.
    bool GetBlank() const noexcept { return FBlank; }
    void SetBlank(bool Value);
    TBarItemViewerClass GetItemViewerClass(TBarView* View) override;

protected:
    explicit TBarSeparatorItem(gcl::TComponent* AOwner);

private:
    bool FBlank = false;
};

// An item that shows a control in a toolbar.
class TBarControlItem : public TBarCustomItem {
    GCL_CLASS(TBarControlItem, TBarCustomItem)
public:
    // An item showing AControl (which it frees with itself unless KeepControl).
    static TBarControlItem* CreateControlItem(gcl::TComponent* AOwner, gcl::TControl* AControl);

    gcl::TControl* GetControl() const noexcept { return FControl.Get(); }
    void SetControl(gcl::TControl* Value);
    bool GetKeepControl() const noexcept { return FKeepControl; }
    void SetKeepControl(bool Value) noexcept { FKeepControl = Value; }

    void BeforeDestruction() noexcept override;

protected:
    explicit TBarControlItem(gcl::TComponent* AOwner);
    void Notification(gcl::TComponent* AComponent, gcl::TOperation Operation) override;

private:
    gcl::TComponentRef<gcl::TControl> FControl;
    bool FKeepControl = false;
};

// ---- Deferred clicks and the end of a menu -----------------------------------

// Counts the calling thread's live items and viewers (their constructors
// add 1, their destructions take 1); the deferred-click window goes with
// the last one.
void CountLiveObject(int Delta) noexcept;

// Runs Object's click on this thread's next message pump (message 0x500 to
// the thread's hidden window): an item's Click, or a viewer's deferred
// execute with Arg not 0.
void PostDeferredClick(gcl::TObject* Object, WPARAM Arg);
// Cancels the deferred clicks of Object that have not run yet.
void CancelDeferredClicks(gcl::TObject* Object) noexcept;
// The hidden window of the calling thread (null while it has no live items).
HWND DeferredClickWindow() noexcept;

// Carries out how a menu ended: a click is posted (unless
// ReturnClickedItemOnly) and its item returned; a menu key goes to its
// window; help is shown.
TBarCustomItem* ProcessDoneAction(const TBarDoneActionData& DoneActionData, bool ReturnClickedItemOnly);

// The placement rules of GetPopupPosition, on a record alone: ParentView
// (may be null) tells whether the parent is vertical and which of its
// viewers a placement would cover.
void AdjustPopupPosition(TBarView* ParentView, TBarPopupPositionRec& Rec);

} // namespace qelvo

#include "toolbar/BarItemViewer.h"
#include "toolbar/BarView.h"
#include "toolbar/BarAcc.h"
#include "toolbar/BarPopup.h"
#include "toolbar/BarMenuLoop.h"
