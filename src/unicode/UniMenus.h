// Wide menu items and hot-key marks (WideShortCutToText is in
// UniActnList.h, with the actions that own shortcuts).
//
// A TUniMenuItem keeps a wide caption and hint beside the 8-bit ones of
// the class library's item. On the NT family, whenever the class library
// has written the item to the Windows menu (MenuChanged, Loaded), the
// item writes its wide string over it with SetMenuItemInfoW: the wide
// caption, and for an item with a shortcut and no children (not on a main
// menu's bar) a tab and WideShortCutToText. Separators, bitmaps and
// owner-drawn items keep what the class library wrote.
//
// An item's wide Caption and Hint stream as wide strings unless its action
// link supplies them; a wide action gives the item its wide caption and
// hint through TUniMenuActionLink.
#pragma once

#include <string>

#include "gcl/Menus.h"
#include "gcl/rtl/Init.h"
#include "unicode/UniActnList.h"

namespace qelvo {

// The text without hot-key marks: each "&" goes and the character after
// it stays ("&&" leaves "&"). With a far-east system locale a mark of the
// form "(&X)" goes with its four characters.
std::wstring WideStripHotKey(const std::wstring& text);

class TUniMenuItem : public gcl::TMenuItem {
    GCL_CLASS(TUniMenuItem, gcl::TMenuItem)
public:
    // The wide caption; the class library may have moved the hot-key
    // marks of the 8-bit caption, and the wide one follows them. Raises
    // EUniInternalError when the two cannot be brought in step.
    std::wstring GetWideCaption();
    void SetWideCaption(const std::wstring& value);
    std::wstring GetWideHint();
    void SetWideHint(const std::wstring& value);
    // False while the action link supplies the caption (hint).
    bool IsCaptionStored();
    bool IsHintStored();

    // Writes the wide strings of this item and every item below it into
    // their Windows menus (NT only; string items only).
    void UpdateMenuStrings();
    void InitiateAction() override;

protected:
    explicit TUniMenuItem(gcl::TComponent* owner) : gcl::TMenuItem(owner) {}
    void MenuChanged(bool rebuild) override;
    void Loaded() override;
    void DefineProperties(gcl::TFiler& filer) override;
    // A wide action's caption and hint, then the inherited properties.
    void ActionChange(gcl::TObject* sender, bool checkDefaults) override;
    gcl::TBasicActionLinkClass GetActionLinkClass() override;
    // Owner-drawn items measure and draw the wide caption and the wide
    // shortcut text where the class library hands the 8-bit ones.
    void DoDrawText(gcl::TCanvas* canvas, const std::string& text, gcl::TRect& rect, bool selected,
                    uint32_t flags) override;

private:
    void UpdateMenuString();
    void SyncHotKeyPosition();

    std::wstring FWideCaption;
    std::wstring FWideHint;
    HKL FKeyboardLayout = nullptr;
};

// The link of a TUniMenuItem and its action: the caption is linked when
// the class library's test holds and the wide captions are equal without
// their hot-key marks, ignoring case; the hint when the wide hints are
// equal too. A linked item gets the action's wide values.
class TUniMenuActionLink : public gcl::TMenuActionLink {
    GCL_CLASS(TUniMenuActionLink, gcl::TMenuActionLink)
public:
    explicit TUniMenuActionLink(gcl::TObject* client) : gcl::TMenuActionLink(client) {}
    bool IsCaptionLinked() override;
    bool IsHintLinked() override;
    void SetCaption(const std::string& value) override;
    void SetHint(const std::string& value) override;
};

// The popup list that keeps the application's wide hint in step with the
// selected menu item: WM_MENUSELECT sets UniApplication's hint to the long
// part of the item's wide hint ("" when no item is found); with a
// middle-east system locale, WM_INITMENUPOPUP writes the first visible
// wide item of each popup menu again. Both then go to the inherited
// handler.
class TUniPopupList : public gcl::TPopupList {
    GCL_CLASS(TUniPopupList, gcl::TPopupList)
public:
    TUniPopupList() = default;

protected:
    void WndProc(gcl::TMessage& message) override;
};

// Makes a TUniPopupList the popup list and registers TUniMenuItem for
// form streams while it is initialised.
extern gcl::TUnit UniMenusUnit;

} // namespace qelvo
