// The extended popup menu and its root item; the system menu as items.
#include "controls/XtBars.h"

#include "controls/XtItem.h"
#include "gcl/Controls.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TXtRootItem)
GCL_PUBLISHED(TXtPopupMenu, GCL_PROP(OnInitPopup))

void TXtRootItem::InitPopupView(TBarPopupView* View) {
    if (auto* menu = dynamic_cast<TXtPopupMenu*>(GetOwner())) menu->DoInitPopup(View);
}

void TXtPopupMenu::DoInitPopup(TBarView* PopupView) {
    if (OnInitPopup) OnInitPopup(this, PopupView);
}

bool TXtPopupMenu::InternalPopup(int X, int Y, gcl::TControl* PopupControl, bool ReturnClickedItemOnly,
                                 TBarCustomItem*& ClickedItem) {
    static constexpr TBarPopupAnchor anchors[] = {tbpaLeft, tbpaRight, tbpaCenter};
    ClickedItem = nullptr;
    TRect exclude{X, Y, X, Y};
    if (PopupControl && PopupControl->GetParent()) {
        const TPoint topLeft = PopupControl->ClientToScreen(TPoint{0, 0});
        exclude = TRect{topLeft.X, topLeft.Y, topLeft.X + PopupControl->GetWidth(),
                        topLeft.Y + PopupControl->GetHeight()};
    }
    auto* root = gcl::as<TTxRootItem>(GetItems());
    auto* control = dynamic_cast<gcl::TWinControl*>(PopupControl);
    // The control hears of the close also when the menu loop raised.
    auto tellClosed = [this, control] {
        if (!control || !control->HandleAllocated()) return;
        PostMessageA(control->GetHandle(), CM_POPUPMENUCLOSED, reinterpret_cast<WPARAM>(this), 0);
        gcl::TMessage message{CM_POPUPMENUCLOSED, reinterpret_cast<uintptr_t>(this), 0, 0};
        control->Broadcast(message);
    };
    try {
        ClickedItem = root->PopupEx(exclude, anchors[GetAlignment()], ReturnClickedItemOnly,
                                    GetTrackButton() != gcl::tbLeftButton);
    } catch (...) {
        tellClosed();
        throw;
    }
    tellClosed();
    return true;
}

TBarCustomItem* TXtPopupMenu::PopupEx(int X, int Y, gcl::TControl* PopupControl, bool ReturnClickedItemOnly) {
    TBarCustomItem* clicked = nullptr;
    InternalPopup(X, Y, PopupControl, ReturnClickedItemOnly, clicked);
    return clicked;
}

void TXtPopupMenu::Popup(int X, int Y) { PopupEx(X, Y, nullptr, false); }

// ==== The system menu as items ==================================================================

bool CopyMenuToItems(HMENU Menu, TBarCustomItem* ParentItem) {
    if (!ParentItem || !Menu || !IsMenu(Menu)) return false;
    const int count = GetMenuItemCount(Menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;   // 23
        if (!GetMenuItemInfoW(Menu, static_cast<UINT>(i), TRUE, &info)) continue;
        if (info.fType & MFT_SEPARATOR) {
            ParentItem->Add(TXtSeparatorItem::Create(ParentItem->GetOwner()));
            continue;
        }
        TXtCustomItem* item = info.hSubMenu ? static_cast<TXtCustomItem*>(TXtSubmenuItem::Create(ParentItem->GetOwner()))
                                            : TXtItem::Create(ParentItem->GetOwner());
        item->SetCaption(GetWideMenuString(Menu, i));
        item->SetTag(static_cast<intptr_t>(info.wID));
        if (info.fState & (MFS_GRAYED | MFS_DISABLED)) item->SetEnabled(false);
        if (info.fState & MFS_CHECKED) item->SetChecked(true);
        if (info.fState & MFS_DEFAULT) {
            TBarItemOptions options = item->GetOptions();
            options.Include(tboDefault);
            item->SetOptions(options);
        }
        ParentItem->Add(item);
    }
    return true;
}

bool FillSystemMenuItems(gcl::TCustomForm* Form, bool ShowSize, bool ShowMinimize, TXtPopupMenu* Popup,
                         bool ShowClose, bool ShowMaximize) {
    if (!Form || !Popup) return false;
    if (!CopyMenuToItems(GetSystemMenu(Form->GetHandle(), FALSE), Popup->GetItems())) return false;
    Popup->SetImages(XtGlyphs);
    const bool maximized = IsZoomed(Form->GetHandle()) != 0;
    const bool normal = !maximized && !IsIconic(Form->GetHandle());
    TBarRootItem* items = Popup->GetItems();
    for (int i = 0; i < items->GetCount(); ++i) {
        TBarCustomItem* item = items->GetItem(i);
        item->SetEnabled(true);
        switch (item->GetTag()) {
        case SC_CLOSE: {
            item->SetVisible(ShowClose);
            TBarItemOptions options = item->GetOptions();
            options.Include(tboDefault);
            item->SetOptions(options);
            item->SetImageIndex(0);
            break;
        }
        case SC_MAXIMIZE:
            item->SetVisible(ShowMaximize);
            item->SetEnabled(!maximized);
            item->SetImageIndex(1);
            break;
        case SC_MINIMIZE:
            item->SetVisible(ShowMinimize);
            item->SetImageIndex(2);
            break;
        case SC_RESTORE:
            item->SetVisible(ShowMaximize);
            item->SetEnabled(!normal);
            item->SetImageIndex(3);
            break;
        case SC_MOVE: item->SetEnabled(!maximized); break;
        case SC_SIZE:
            item->SetVisible(ShowSize);
            item->SetEnabled(!maximized);
            break;
        default: break;
        }
    }
    Popup->SetPopupComponent(Form);
    return true;
}

int ShowSystemMenuPopup(gcl::TCustomForm* Form, TPoint Point, bool ShowSize, bool Execute,
                        TXtPopupEvent InitPopupEvent, bool ShowClose, bool ShowMaximize, bool ShowMinimize) {
    ReleaseCapture();
    std::unique_ptr<TXtPopupMenu, void (*)(TXtPopupMenu*)> popup(TXtPopupMenu::Create(nullptr),
                                                                [](TXtPopupMenu* menu) { menu->Free(); });
    if (!FillSystemMenuItems(Form, ShowSize, ShowMinimize, popup.get(), ShowClose, ShowMaximize)) return 0;
    if (InitPopupEvent) popup->OnInitPopup = InitPopupEvent;
    TBarCustomItem* clicked = popup->PopupEx(Point.X, Point.Y, nullptr, true);
    if (!clicked) return 0;
    const int command = static_cast<int>(clicked->GetTag());
    // An entry the program added to the system menu is an ordinary item.
    if (command < SC_SIZE || command > SC_CONTEXTHELP) clicked->Click();
    if (!Execute || command < 1) return command;
    switch (command) {
    case SC_MAXIMIZE: Form->SetWindowState(gcl::wsMaximized); break;
    case SC_RESTORE: Form->SetWindowState(gcl::wsNormal); break;
    case SC_CLOSE:
    case SC_SIZE:
    case SC_MOVE:
    case SC_MINIMIZE: Form->Perform(WM_SYSCOMMAND, static_cast<uintptr_t>(command), 0); break;
    default: break;
    }
    return command;
}

} // namespace qelvo
