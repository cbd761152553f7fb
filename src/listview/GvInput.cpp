// The hot-track manager.
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

} // namespace qelvo
