// The shared edit context menu (Undo, Cut, Copy, Paste, Delete, Select
// All) for any edit-like windowed control: it sends the classic edit
// messages to the control it was asked for and enables each command from
// that control's state.
#pragma once

#include "gcl/rtl/WinApi.h"

#include "gcl/Controls.h"
#include "gcl/Menus.h"
#include "gcl/rtl/Components.h"
#include "gcl/rtl/Init.h"

namespace qelvo {

// False (the program's setting): the captions come from the system's own
// edit menu (menu resource 1 of user32), where it has them.
extern bool FixedPopupBuiltInCaptions;

// The process-wide holder of the menu and of the control it serves.
class THiddenPopupObject : public gcl::TComponent {
    GCL_CLASS(THiddenPopupObject, gcl::TComponent)
public:
    gcl::TWinControl* GetEditControl() const noexcept { return FEditControl.Get(); }
    void SetEditControl(gcl::TWinControl* value) { FEditControl = value; }
    // The menu, built on first use.
    gcl::TPopupMenu* GetPopupMenu();
    // Enables the items from the current control's state.
    void UpdateItems();

protected:
    explicit THiddenPopupObject(gcl::TComponent* owner) : TComponent(owner) {}

private:
    void BuildMenu();
    void LoadSystemCaptions();
    void UndoClick(gcl::TObject* sender);
    void CutClick(gcl::TObject* sender);
    void CopyClick(gcl::TObject* sender);
    void PasteClick(gcl::TObject* sender);
    void DeleteClick(gcl::TObject* sender);
    void SelectAllClick(gcl::TObject* sender);
    // Sends msg through the current control's dispatch, when it has a window.
    void Send(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);

    gcl::TComponentRef<gcl::TWinControl> FEditControl;
    gcl::TPopupMenu* FMenu = nullptr;
};

// Makes control the menu's current control, builds the menu when needed,
// updates the enabled states when update is set, and answers the menu.
gcl::TPopupMenu* GetFixedEditPopup(gcl::TWinControl* control, bool update);

// The window that takes the edit messages of control: the edit window of
// a combo box, else the control's own.
HWND EditWindowOf(gcl::TWinControl* control);

extern gcl::TUnit KitFixedEditPopUpUnit;

} // namespace qelvo
