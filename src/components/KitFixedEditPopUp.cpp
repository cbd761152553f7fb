// The shared edit context menu.
#include "components/KitFixedEditPopUp.h"

#include "components/KitExStdCtrls.h"
#include "components/KitUnitVersioning.h"
#include "gcl/StdCtrls.h"

namespace qelvo {

using namespace gcl;

bool FixedPopupBuiltInCaptions = false;

namespace {

// Item positions and the system menu's command ids for them.
enum : int { ItemUndo = 0, ItemCut = 2, ItemCopy = 3, ItemPaste = 4, ItemDelete = 5, ItemSelectAll = 7 };
struct TSystemCaption {
    int Position;
    UINT SystemId;
};
constexpr TSystemCaption SystemCaptions[] = {{ItemUndo, WM_UNDO},   {ItemCut, WM_CUT},     {ItemCopy, WM_COPY},
                                            {ItemPaste, WM_PASTE}, {ItemDelete, WM_CLEAR}, {ItemSelectAll, EM_SETSEL}};

THiddenPopupObject* GHidden = nullptr;

} // namespace

HWND EditWindowOf(TWinControl* control) {
    if (!control || !control->HandleAllocated()) return nullptr;
    HWND handle = control->GetHandle();
    if (dynamic_cast<TCustomComboBox*>(control)) {
        if (HWND edit = FindWindowExA(handle, nullptr, "Edit", nullptr)) return edit;
    }
    return handle;
}

GCL_IMPLEMENT_CLASS(THiddenPopupObject)

TPopupMenu* THiddenPopupObject::GetPopupMenu() {
    if (!FMenu) BuildMenu();
    return FMenu;
}

void THiddenPopupObject::BuildMenu() {
    FMenu = TPopupMenu::Create(this);
    struct {
        const char* Caption;
        void (THiddenPopupObject::*Click)(TObject*);
    } const items[] = {{"&Undo", &THiddenPopupObject::UndoClick},
                       {"-", nullptr},
                       {"Cu&t", &THiddenPopupObject::CutClick},
                       {"&Copy", &THiddenPopupObject::CopyClick},
                       {"&Paste", &THiddenPopupObject::PasteClick},
                       {"&Delete", &THiddenPopupObject::DeleteClick},
                       {"-", nullptr},
                       {"Select &All", &THiddenPopupObject::SelectAllClick}};
    for (const auto& entry : items) {
        TMenuItem* item = TMenuItem::Create(FMenu);
        item->SetCaption(entry.Caption);
        if (entry.Click) item->OnClick = TNotifyEvent(this, entry.Click);
        FMenu->GetItems()->Add(item);
    }
    if (!FixedPopupBuiltInCaptions) LoadSystemCaptions();
}

void THiddenPopupObject::LoadSystemCaptions() {
    // Without the system menu (Wine's user32 has none) the built-in
    // captions stay.
    HMODULE user32 = GetModuleHandleA("user32.dll");
    HMENU menu = user32 ? LoadMenuA(user32, MAKEINTRESOURCEA(1)) : nullptr;
    if (!menu) return;
    if (HMENU sub = GetSubMenu(menu, 0)) {
        for (const TSystemCaption& entry : SystemCaptions) {
            char caption[256] = {};
            if (GetMenuStringA(sub, entry.SystemId, caption, 255, MF_BYCOMMAND) > 0)
                FMenu->GetItems()->GetItems(entry.Position)->SetCaption(caption);
        }
    }
    DestroyMenu(menu);
}

void THiddenPopupObject::UpdateItems() {
    TWinControl* control = GetEditControl();
    if (!control || !control->HandleAllocated()) return;
    TPopupMenu* menu = GetPopupMenu();
    menu->SetPopupComponent(control);
    HWND edit = EditWindowOf(control);
    DWORD start = 0;
    DWORD end = 0;
    LRESULT packed = SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    int selLength = static_cast<int>(end) - static_cast<int>(start);
    if (selLength <= 0 && packed > 0) selLength = HIWORD(packed) - LOWORD(packed);
    bool readOnly = (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) != 0;
    auto* memo = dynamic_cast<TKitExCustomMemo*>(control);
    int textLength = memo ? memo->SelectableTextLength() : control->GetTextLen();
    TClipboardCommands permitted = PermittedClipboardCommands(control);
    TMenuItem* items = menu->GetItems();
    items->GetItems(ItemUndo)->SetEnabled(permitted.Contains(caUndo) && SendMessageA(edit, EM_CANUNDO, 0, 0) != 0);
    items->GetItems(ItemCut)->SetEnabled(selLength > 0 && !readOnly && permitted.Contains(caCut));
    items->GetItems(ItemCopy)->SetEnabled(selLength > 0 && permitted.Contains(caCopy));
    items->GetItems(ItemPaste)->SetEnabled(!readOnly && permitted.Contains(caPaste));
    items->GetItems(ItemDelete)->SetEnabled(selLength >= 1 && !readOnly);
    // A rich text's selection may take its final paragraph mark too.
    items->GetItems(ItemSelectAll)->SetEnabled(textLength > 0 && selLength < textLength);
}

void THiddenPopupObject::Send(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    TWinControl* control = GetEditControl();
    if (control && control->HandleAllocated()) control->Perform(msg, wParam, lParam);
}

void THiddenPopupObject::UndoClick(TObject*) {
    TWinControl* control = GetEditControl();
    if (!control || !control->HandleAllocated()) return;
    if (dynamic_cast<TCustomComboBox*>(control))
        SendMessageA(EditWindowOf(control), WM_UNDO, 0, 0);
    else
        control->Perform(WM_UNDO);
}

void THiddenPopupObject::CutClick(TObject*) { Send(WM_CUT); }
void THiddenPopupObject::CopyClick(TObject*) { Send(WM_COPY); }
void THiddenPopupObject::PasteClick(TObject*) { Send(WM_PASTE); }
void THiddenPopupObject::DeleteClick(TObject*) { Send(WM_CLEAR); }
void THiddenPopupObject::SelectAllClick(TObject*) { Send(EM_SETSEL, 0, -1); }

TPopupMenu* GetFixedEditPopup(TWinControl* control, bool update) {
    if (!GHidden) GHidden = THiddenPopupObject::Create(nullptr);
    GHidden->SetEditControl(control);
    TPopupMenu* menu = GHidden->GetPopupMenu();
    if (update) GHidden->UpdateItems();
    return menu;
}

namespace {
const TUnitVersionInfo FixedEditPopUpUnitVersion{"KitFixedEditPopUp.cpp", "1.0", "2026-12-07", "components", "", nullptr};
void InitFixedEditPopUp() { RegisterUnitVersion(UnitVersionInstance(), FixedEditPopUpUnitVersion); }
void DoneFixedEditPopUp() {
    if (GHidden) {
        GHidden->Free();
        GHidden = nullptr;
    }
    UnregisterModuleUnitVersions(UnitVersionInstance());
}
} // namespace

gcl::TUnit KitFixedEditPopUpUnit{"KitFixedEditPopUp", &InitFixedEditPopUp, &DoneFixedEditPopUp};

} // namespace qelvo
