// Menus: menu items, main and popup menus, the popup list and shortcuts.
//
// Menu items
// ----------
// A TMenuItem is a component in a tree of items (Parent, Items[]); a menu
// (TMainMenu, TPopupMenu) holds the root item. An item with children owns
// a Windows submenu (Handle), made on demand; every item has a command
// identifier (Command) unique in the process, by which WM_COMMAND finds it.
//
// The Windows menu is built from the items: each visible item becomes a
// string item (MFT_STRING, InsertMenuItemA), a separator (Caption "-"),
// or an owner-drawn item when the menu is OwnerDraw or has Images. The
// string is the Caption followed by a tab and ShortCutToText(ShortCut),
// the latter only when ShortCut is not 0 and the item has no children,
// and never for the top-level items of a main menu. A change of a
// property reaches the Windows menu through the virtual MenuChanged: in
// place (SetMenuItemInfoA) for a change of the item's own state, by
// refilling the parent's submenu when items appear or disappear. After
// refilling a submenu, the parent calls MenuChanged(false) on each item it
// wrote, so that descendants which add to the Windows item (wide strings)
// can do so again; the base class has nothing to do then.
//
// Popup menus
// -----------
// TPopupMenu::Popup runs OnPopup (DoPopup, where items may be rebuilt),
// lets the items' actions update, builds the Windows menu (only here: the
// handle of a popup menu is made lazily) and shows it with TrackPopupMenu.
// The owner window of every popup is the popup list's hidden window: one
// process-wide TPopupList object, held in the replaceable global
// PopupList, receives WM_COMMAND (the chosen item is clicked),
// WM_INITMENUPOPUP, WM_MENUSELECT (the application's hint follows the
// selected item), WM_MEASUREITEM and WM_DRAWITEM (owner-drawn items) for
// the popup menus it lists.
//
// Shortcuts
// ---------
// A TShortCut is the virtual key in the low byte plus scShift (0x2000),
// scCtrl (0x4000) and scAlt (0x8000). Menus answer CM_ISSHORTCUT, which
// forms send to their components before the focused control sees a key.
//
// Controls
// --------
// A control's PopupMenu (TControl::SetPopupMenu, defined in Menus.cpp) pops
// up on WM_CONTEXTMENU when OnContextPopup did not handle it and the menu
// has AutoPopup: at the pointer, or at the control's client origin for a
// keyboard request, with the control as PopupComponent.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gcl/ActnList.h"
#include "gcl/Controls.h"
#include "gcl/Graphics.h"
#include "gcl/ImgList.h"
#include "gcl/rtl/Components.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Init.h"

namespace gcl {

class TMenu;
class TMenuItem;
class TPopupMenu;
class TMenuActionLink;

namespace msg {
inline constexpr const char* MenuIndexError = "Menu index out of range";
inline constexpr const char* MenuReinserted = "Menu inserted twice";
inline constexpr const char* MenuNotFound = "Sub-menu is not in menu";
inline constexpr const char* NoMenuHandle = "Cannot create the menu";
inline constexpr const char* NoMenuCommand = "Too many menu items";
} // namespace msg

// ---- Shortcuts ---------------------------------------------------------------------

// TShortCut, scShift, scCtrl, scAlt, scNone and the shortcut helpers
// (ShortCut, ShortCutToKey, ShortCutToText, TextToShortCut,
// ShortCutFromMessage) are declared in ActnList.h, which this header
// includes: actions own shortcuts and show them in hints.

// Menu and control texts: "&" marks the next character as the hot key,
// "&&" is a literal "&".
inline constexpr char cHotkeyPrefix = '&';
inline constexpr const char* cLineCaption = "-";
// The text without its hot-key marks.
std::string StripHotkey(const std::string& text);

// ---- Menu items -----------------------------------------------------------------------

GCL_ENUM(TFindItemKind, fkCommand, fkHandle, fkShortCut)
GCL_ENUM(TPopupAlignment, paLeft, paRight, paCenter)
GCL_ENUM(TTrackButton, tbRightButton, tbLeftButton)

using TMenuChangeEvent = TEvent<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;
using TMenuDrawItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    TEvent<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;
using TMenuMeasureItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

class TMenuItem : public TComponent {
    GCL_CLASS(TMenuItem, TComponent)
public:
    // ---- State. Each setter does nothing for an unchanged value and then
    // updates the Windows menu (MenuChanged).
    const std::string& GetCaption() const noexcept { return FCaption; }
    virtual void SetCaption(const std::string& value);
    // The hint only is stored; it does not touch the Windows menu.
    const std::string& GetHint() const noexcept { return FHint; }
    void SetHint(const std::string& value) { FHint = value; }
    TShortCut GetShortCut() const noexcept { return FShortCut; }
    void SetShortCut(TShortCut value);
    bool GetChecked() const noexcept { return FChecked; }
    // Checking a radio item unchecks the radio items of its group among
    // its siblings.
    void SetChecked(bool value);
    bool GetRadioItem() const noexcept { return FRadioItem; }
    void SetRadioItem(bool value);
    int GetGroupIndex() const noexcept { return FGroupIndex; }
    void SetGroupIndex(int value);
    // The default item is drawn bold; a double click on a tray icon or
    // list may click it.
    bool GetDefault() const noexcept { return FDefault; }
    void SetDefault(bool value);
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool value);
    bool GetVisible() const noexcept { return FVisible; }
    void SetVisible(bool value);
    int GetImageIndex() const noexcept { return FImageIndex; }
    void SetImageIndex(int value);
    // Click flips Checked.
    bool GetAutoCheck() const noexcept { return FAutoCheck; }
    void SetAutoCheck(bool value);
    int GetHelpContext() const noexcept { return FHelpContext; }
    void SetHelpContext(int value) noexcept { FHelpContext = value; }
    // True for a separator (Caption "-").
    bool IsLine() const noexcept { return FCaption == cLineCaption; }

    // ---- Action
    TBasicAction* GetAction() const noexcept;
    // Makes the link (GetActionLinkClass), applies the action's properties
    // (keeping non-default values while loading); null frees the link.
    void SetAction(TBasicAction* value);
    TMenuActionLink* GetActionLink() const noexcept;

    // ---- The tree
    int GetCount() const noexcept { return static_cast<int>(FItems.size()); }
    // EListError "Menu index out of range" when out of range.
    TMenuItem* GetItems(int index) const;
    void Add(TMenuItem* item);
    // Raises EInvalidOperation "Menu inserted twice" for an item that has a
    // parent already.
    void Insert(int index, TMenuItem* item);
    // Takes the item out (it is not freed).
    void Delete(int index);
    void Remove(TMenuItem* item);
    // Frees every child.
    void Clear();
    int IndexOf(const TMenuItem* item) const noexcept;
    // The child whose caption without hot-key marks equals caption (case
    // ignored), or null.
    TMenuItem* Find(const std::string& caption) const;
    TMenuItem* GetParent() const noexcept { return FParent; }
    // The menu the item belongs to, or null.
    TMenu* GetParentMenu() const noexcept;
    int GetMenuIndex() const noexcept { return FParent ? FParent->IndexOf(this) : -1; }
    void SetMenuIndex(int value);

    // ---- The Windows menu
    // The item's submenu (for the root item: the menu), made on demand.
    HMENU GetHandle();
    bool HandleAllocated() const noexcept { return FHandle != nullptr; }
    // The WM_COMMAND identifier.
    uint16_t GetCommand() const noexcept { return FCommand; }

    // Runs the item: nothing when disabled; AutoCheck flips Checked (unless
    // the action does it); an OnClick other than the action's OnExecute
    // runs by itself, else the action, else OnClick.
    virtual void Click();
    // The idle update of the item's action.
    virtual void InitiateAction();
    // InitiateAction on every child.
    void InitiateActions();

    // ---- Streaming
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* value) override;
    void GetChildren(TGetChildProc proc, TComponent* root) override;
    void SetChildOrder(TComponent* child, int order) override;

    // ---- Events
    TNotifyEvent OnClick;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;
    TNotifyEvent GetOnClick() const noexcept { return OnClick; }
    void SetOnClick(TNotifyEvent value) noexcept { OnClick = value; }
    TMenuDrawItemEvent GetOnDrawItem() const noexcept { return OnDrawItem; }
    void SetOnDrawItem(TMenuDrawItemEvent value) noexcept { OnDrawItem = value; }
    TAdvancedMenuDrawItemEvent GetOnAdvancedDrawItem() const noexcept { return OnAdvancedDrawItem; }
    void SetOnAdvancedDrawItem(TAdvancedMenuDrawItemEvent value) noexcept { OnAdvancedDrawItem = value; }
    TMenuMeasureItemEvent GetOnMeasureItem() const noexcept { return OnMeasureItem; }
    void SetOnMeasureItem(TMenuMeasureItemEvent value) noexcept { OnMeasureItem = value; }

    // The DT_ flags for text in this item's menu: left and right swapped,
    // plus DT_RTLREADING, in a right-to-left menu.
    uint32_t DrawTextBiDiModeFlags(uint32_t flags) const;

    void BeforeDestruction() noexcept override;

protected:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    // Writes a change of the item to the Windows menu: in place, or
    // (rebuild) by refilling the parent's submenu; then tells the menu.
    virtual void MenuChanged(bool rebuild);
    // True while the item's own MenuChanged writes to the Windows menu, or
    // while its parent refills the submenu it sits in.
    bool GetUpdatingMenu() const noexcept;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

    // Applies a TCustomAction's properties; with checkDefaults only to the
    // properties that still have their default value.
    virtual void ActionChange(TObject* sender, bool checkDefaults);
    virtual TBasicActionLinkClass GetActionLinkClass();

    // Owner draw. The GCL measures first (caption, shortcut and image or
    // check column in the menu font), then OnMeasureItem may change the
    // result.
    virtual void MeasureItem(TCanvas* canvas, int& width, int& height);
    // OnAdvancedDrawItem, else OnDrawItem, else the GCL's drawing:
    // background, image or check mark, caption and shortcut text through
    // DoDrawText (bold for the default item).
    virtual void AdvancedDrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state, bool topLevel);
    // Draws (or, with DT_CALCRECT, measures into rect) one text of the
    // item with the brush cleared; a disabled item is drawn embossed.
    virtual void DoDrawText(TCanvas* canvas, const std::string& text, TRect& rect, bool selected, uint32_t flags);

    // The text of the item's Windows string: Caption, then a tab and the
    // shortcut text where the rules above allow one.
    std::string GetMenuString() const;

private:
    friend class TMenu;
    friend class TMainMenu;
    friend class TPopupList;
    friend bool MeasureMenuItem(TMenuItem* item, MEASUREITEMSTRUCT& measure);
    friend bool DrawMenuItem(TMenuItem* item, const DRAWITEMSTRUCT& draw);

    // Refills the item's submenu with its visible children.
    void RebuildHandle();
    // Writes the item's entry into its parent's submenu at position.
    void WriteEntry(HMENU menu, int position, bool insert);
    // The item's position among the visible items of its parent, or -1.
    int VisibleIndex() const noexcept;
    bool IsOwnerDraw() const noexcept;
    bool IsTopLevelOfMainMenu() const noexcept;
    void DestroyMenuHandle() noexcept;
    void DoActionChange(TObject* sender);
    void TurnSiblingsOff();
    // The item and its descendants, depth first, until fn answers true.
    template <class F>
    TMenuItem* Walk(F&& fn);

    std::string FCaption;
    std::string FHint;
    TShortCut FShortCut = 0;
    bool FChecked = false;
    bool FRadioItem = false;
    bool FDefault = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FAutoCheck = false;
    bool FUpdatingMenu = false;
    int FGroupIndex = 0;
    int FImageIndex = -1;
    int FHelpContext = 0;
    uint16_t FCommand = 0;
    HMENU FHandle = nullptr;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on the root item of a menu
    std::vector<TMenuItem*> FItems;
    std::unique_ptr<TBasicActionLink> FActionLink;
};

// Measures and draws an owner-drawn menu item for WM_MEASUREITEM and
// WM_DRAWITEM (the popup list calls these; so does a form for its main
// menu). False when the message is not for a menu.
bool MeasureMenuItem(TMenuItem* item, MEASUREITEMSTRUCT& measure);
bool DrawMenuItem(TMenuItem* item, const DRAWITEMSTRUCT& draw);

// ---- Menus ------------------------------------------------------------------------------

class TMenu : public TComponent {
    GCL_CLASS(TMenu, TComponent)
public:
    // The Windows menu of the root item, made on demand.
    HMENU GetHandle() { return FItems->GetHandle(); }
    bool HandleAllocated() const noexcept { return FItems->HandleAllocated(); }
    TMenuItem* GetItems() const noexcept { return FItems; }

    bool GetOwnerDraw() const noexcept { return FOwnerDraw; }
    void SetOwnerDraw(bool value);
    TBiDiMode GetBiDiMode() const noexcept { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode value);
    bool IsRightToLeft() const noexcept { return FBiDiMode != bdLeftToRight; }
    // Images make the items owner-drawn (except a main menu's bar).
    TCustomImageList* GetImages() const noexcept { return FImages.Get(); }
    void SetImages(TCustomImageList* value);

    // The first item (root included, depth first) whose command, submenu
    // handle or shortcut is value.
    TMenuItem* FindItem(uintptr_t value, TFindItemKind kind) const;
    // Clicks the enabled item whose ShortCut matches the key and the shift
    // state (its action updated first); true when one ran.
    virtual bool IsShortCut(TWMKey& message);
    // Clicks the item with that command; true when there was one.
    bool DispatchCommand(uint16_t command);
    // For WM_INITMENUPOPUP: the item whose submenu opens updates its
    // children's actions and is clicked (its OnClick may fill the
    // submenu); true when the submenu is one of this menu.
    bool DispatchPopup(HMENU submenu);

    // Answers CM_ISSHORTCUT, which forms send to their components.
    void Dispatch(TMessage& message) override;
    void GetChildren(TGetChildProc proc, TComponent* root) override;
    void SetChildOrder(TComponent* child, int order) override;

    TMenuChangeEvent OnChange;
    TMenuChangeEvent GetOnChange() const noexcept { return OnChange; }
    void SetOnChange(TMenuChangeEvent value) noexcept { OnChange = value; }

    void BeforeDestruction() noexcept override;

protected:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    // Called after an item changed the Windows menu; fires OnChange.
    virtual void MenuChanged(TObject* sender, TMenuItem* source, bool rebuild);
    // The kind of Windows menu the root item makes.
    virtual HMENU CreateMenuHandle();
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TMenuItem;

    void ImageListChange(TObject* sender);

    TMenuItem* FItems;
    bool FOwnerDraw = false;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TComponentRef<TCustomImageList> FImages;
    std::unique_ptr<TChangeLink> FImageChangeLink;
};

// A menu bar. Put on a window with SetWindowHandle; the bar is redrawn
// after every change.
class TMainMenu : public TMenu {
    GCL_CLASS(TMainMenu, TMenu)
public:
    HWND GetWindowHandle() const noexcept { return FWindowHandle; }
    // Shows the menu on the window (null takes it off the window it is on).
    // A form shows its Menu by itself.
    void SetWindowHandle(HWND value);
    void BeforeDestruction() noexcept override;

protected:
    explicit TMainMenu(TComponent* owner) : TMenu(owner) {}

    void MenuChanged(TObject* sender, TMenuItem* source, bool rebuild) override;
    HMENU CreateMenuHandle() override;

private:
    HWND FWindowHandle = nullptr;
};

class TPopupMenu : public TMenu {
    GCL_CLASS(TPopupMenu, TMenu)
public:
    // Shows the menu at the screen point (PopupPoint). Descendants may
    // replace it completely; the Windows menu is made here only.
    virtual void Popup(int x, int y);

    TPoint GetPopupPoint() const noexcept { return FPopupPoint; }
    // The control (or other component) the menu was popped up for.
    TComponent* GetPopupComponent() const noexcept { return FPopupComponent.Get(); }
    void SetPopupComponent(TComponent* value) { FPopupComponent = value; }
    TPopupAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TPopupAlignment value) noexcept { FAlignment = value; }
    // WM_CONTEXTMENU pops the menu up only while AutoPopup is on.
    bool GetAutoPopup() const noexcept { return FAutoPopup; }
    void SetAutoPopup(bool value) noexcept { FAutoPopup = value; }
    TTrackButton GetTrackButton() const noexcept { return FTrackButton; }
    void SetTrackButton(TTrackButton value) noexcept { FTrackButton = value; }

    TNotifyEvent OnPopup;
    TNotifyEvent GetOnPopup() const noexcept { return OnPopup; }
    void SetOnPopup(TNotifyEvent value) noexcept { OnPopup = value; }

    void BeforeDestruction() noexcept override;

protected:
    explicit TPopupMenu(TComponent* owner);

    // Fires OnPopup.
    virtual void DoPopup(TObject* sender);
    // For descendants that show the menu their own way.
    void SetPopupPoint(TPoint value) noexcept { FPopupPoint = value; }

private:
    TPoint FPopupPoint;
    TComponentRef<TComponent> FPopupComponent;
    TPopupAlignment FAlignment = paLeft;
    TTrackButton FTrackButton = tbRightButton;
    bool FAutoPopup = true;
};

// ---- The popup list ------------------------------------------------------------------

// The popup menus of the process and the hidden window that owns them while
// they show. Descendants override WndProc and pass what they do not handle
// to the inherited one.
class TPopupList : public TObject {
    GCL_CLASS(TPopupList, TObject)
public:
    TPopupList() = default;
    ~TPopupList() override;

    // The hidden owner window, made on first use.
    HWND GetWindow();
    void Add(TPopupMenu* menu);
    void Remove(TPopupMenu* menu) noexcept;
    int GetCount() const noexcept { return static_cast<int>(FMenus.size()); }
    TPopupMenu* GetItems(int index) const;
    // The Windows menu most recently opened (WM_INITMENUPOPUP), or null.
    HMENU GetPopupHandle() const noexcept { return FPopupHandle; }
    // The item with that command or submenu handle in any listed menu.
    TMenuItem* FindItem(uintptr_t value, TFindItemKind kind) const;

protected:
    // WM_COMMAND clicks the item; WM_INITMENUPOPUP records the menu and
    // dispatches the popup; WM_MENUSELECT sets the application's hint to
    // the long part of the selected item's hint ("" when none);
    // WM_MEASUREITEM and WM_DRAWITEM go to owner-drawn items. The rest goes
    // to DefWindowProcA.
    virtual void WndProc(TMessage& message);

private:
    friend TPopupList* SetPopupList(TPopupList* value);

    void MainWndProc(TMessage& message);

    std::vector<TPopupMenu*> FMenus;
    HWND FWindow = nullptr;
    HMENU FPopupHandle = nullptr;
};

// The popup list in use (made by MenusUnit).
extern TPopupList* PopupList;
// Makes value the popup list: the listed menus move over to it. Returns
// the old list, which the caller frees.
TPopupList* SetPopupList(TPopupList* value);

// Registers the menu classes and makes the popup list; initialises
// ActnListUnit.
extern TUnit MenusUnit;

// ---- The action link of menu items --------------------------------------------------

class TMenuActionLink : public TActionLink {
    GCL_CLASS(TMenuActionLink, TActionLink)
public:
    explicit TMenuActionLink(TObject* client) : TActionLink(client) { AssignClient(client); }

    TMenuItem* GetClient() const noexcept { return FClient; }

    bool IsAutoCheckLinked() override;
    bool IsCaptionLinked() override;
    bool IsCheckedLinked() override;
    bool IsEnabledLinked() override;
    bool IsGroupIndexLinked() override;
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
    void SetGroupIndex(int value) override;
    void SetHelpContext(int value) override;
    void SetHint(const std::string& value) override;
    void SetImageIndex(int value) override;
    void SetShortCut(TShortCut value) override;
    void SetVisible(bool value) override;
    void SetOnExecute(TNotifyEvent value) override;

protected:
    void AssignClient(TObject* client) override;

    TMenuItem* FClient = nullptr;
};

} // namespace gcl
