// The hot-track and edit managers.
#include "listview/GvInternal.h"

namespace qelvo {

using namespace gvdetail;

GCL_PUBLISHED(TGvHotTrackManager,
    GCL_PROP(Color).Default(gcl::clHighlight).Idents(gcl::ColorIdents),
    GCL_PROP(Enabled).Default(false),
    GCL_PROP(Cursor).Default(gcl::crHandPoint),
    GCL_PROP(GroupTrack).Default(TGvHotTrackRectGroups{htgIcon, htgText}),
    GCL_PROP(ItemTrack).Default(TGvHotTrackRectItems{htiIcon, htiText}),
    GCL_PROP(OnlyFocused).Default(false),
    GCL_PROP(Underline).Default(true))

void TGvHotTrackManager::SetPendingObject(TGvCollectionItem* Obj, TPoint MousePos) {
    if (Obj == FHotObject) return;
    TGvCollectionItem* old = FHotObject;
    FHotObject = nullptr;
    TCustomGvListview* lv = FOwnerListview;
    if ((FEnabled || !Obj) && lv && lv->HandleAllocated()) {
        HWND wnd = lv->GetHandle();
        const bool captured = GetCapture() == wnd;
        if (captured) ReleaseCapture();
        lv->SetCursor(Obj ? FCursor : gcl::crDefault);
        if (Obj) SetCapture(wnd);
    }
    if (old) old->SetHotTracking(false);
    if (Obj) Obj->SetHotTracking(true, MousePos);
    FHotObject = Obj;
}

void TGvHotTrackManager::SetPendingObjectCheck(TGvCollectionItem* Item) {
    if (Item == FHotCheckItem) return;
    TGvCollectionItem* old = FHotCheckItem;
    FHotCheckItem = Item;
    if (old) old->SetCheckHot(false);
    if (Item) Item->SetCheckHot(true);
}

void TGvHotTrackManager::Forget(TGvCollectionItem* Obj) noexcept {
    if (FHotObject == Obj) FHotObject = nullptr;
    if (FHotCheckItem == Obj) FHotCheckItem = nullptr;
}

GCL_PUBLISHED(TGvEditManager,
    GCL_PROP(AutoEditDelayTime).Default(300),
    GCL_PROP(Color).Default(gcl::clWindow).Idents(gcl::ColorIdents),
    GCL_PROP(Enabled).Default(false),
    GCL_PROP(Font),
    GCL_PROP(TabMoveFocus).Default(false))

TGvEditManager::TGvEditManager(TCustomGvListview* AOwner)
    : TGvOwnedPersistent(AOwner), FFont(std::make_unique<gcl::TFont>()) {
    if (AOwner) FFont->Assign(AOwner->GetFont());
}

void TGvEditManager::SetEnabled(bool Value) {
    StopEdit();
    FEnabled = Value;
}

void TGvEditManager::StopEdit() { FStopFlag = true; }

void TGvEditManager::Forget(TGvCollectionItem* Obj) noexcept {
    if (FEditItem == Obj) FEditItem = nullptr;
    if (FEditColumn == Obj) FEditColumn = nullptr;
    if (FTabMoveFocusItem == Obj) FTabMoveFocusItem = nullptr;
    if (FTabMoveFocusColumn == Obj) FTabMoveFocusColumn = nullptr;
}

} // namespace qelvo
