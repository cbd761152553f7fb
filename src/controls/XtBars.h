// The extended popup menu: its popups are opened beside the control they
// are shown for, its owner may adjust the popup's view before the menu
// runs, and the control hears CM_POPUPMENUCLOSED when the menu is done.
// Also a window's system menu shown as such a popup.
#pragma once

#include "gcl/Forms.h"
#include "theming/TxBars.h"

namespace qelvo {

// Posted to the control a popup menu was shown for (WParam the menu) and
// broadcast to its children when the menu has closed.
inline constexpr uint32_t CM_POPUPMENUCLOSED = 0xB457;

using TXtPopupEvent = gcl::TEvent<void(gcl::TObject* Sender, TBarView* PopupView)>;

class TXtPopupMenu;

// The popup menu's root item: hands the popup's view to its menu.
class TXtRootItem : public TTxRootItem {
    GCL_CLASS(TXtRootItem, TTxRootItem)
public:
    void InitPopupView(TBarPopupView* View) override;

protected:
    using TTxRootItem::TTxRootItem;
};

class TXtPopupMenu : public TTxPopupMenu {
    GCL_CLASS(TXtPopupMenu, TTxPopupMenu)
public:
    TXtPopupEvent OnInitPopup;
    TXtPopupEvent GetOnInitPopup() const noexcept { return OnInitPopup; }
    void SetOnInitPopup(TXtPopupEvent Value) noexcept { OnInitPopup = Value; }

    virtual void DoInitPopup(TBarView* PopupView);
    // Runs the menu beside PopupControl's screen rectangle (a control
    // without a parent: at the point X, Y); ClickedItem is the item
    // chosen. Tells a windowed PopupControl and its children
    // CM_POPUPMENUCLOSED afterwards. True when the menu was shown.
    virtual bool InternalPopup(int X, int Y, gcl::TControl* PopupControl, bool ReturnClickedItemOnly,
                               TBarCustomItem*& ClickedItem);
    virtual TBarCustomItem* PopupEx(int X, int Y, gcl::TControl* PopupControl, bool ReturnClickedItemOnly);
    void Popup(int X, int Y) override;

protected:
    using TTxPopupMenu::TTxPopupMenu;
    const gcl::TComponent::TMetaClassType* RootItemClass() override { return TXtRootItem::StaticClass(); }
};

} // namespace qelvo

namespace qelvo {

// ---- The system menu as items ------------------------------------------------------------

// Appends one item per entry of Menu to ParentItem (separators, submenus
// and plain items with the wide text, the command id as Tag, the disabled,
// checked and default states); false for a null parent or a handle that is
// no menu.
bool CopyMenuToItems(HMENU Menu, TBarCustomItem* ParentItem);
// Fills Popup with Form's system menu: the glyph images, every entry
// enabled, then shown and enabled by the window's state and the flags.
// Form becomes the popup's PopupComponent. False when the menu could not
// be copied.
bool FillSystemMenuItems(gcl::TCustomForm* Form, bool ShowSize, bool ShowMinimize, TXtPopupMenu* Popup,
                         bool ShowClose = true, bool ShowMaximize = true);
// Shows Form's system menu at the screen point; answers the chosen command
// (0 for none). With Execute the command is carried out on the form.
int ShowSystemMenuPopup(gcl::TCustomForm* Form, TPoint Point, bool ShowSize, bool Execute,
                        TXtPopupEvent InitPopupEvent = {}, bool ShowClose = true, bool ShowMaximize = true,
                        bool ShowMinimize = true);

} // namespace qelvo
