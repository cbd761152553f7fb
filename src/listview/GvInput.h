// Input-side managers: hot tracking.
#pragma once

#include "listview/GvSelection.h"

namespace qelvo {

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
    // The item or column whose check box is under the mouse.
    TGvCollectionItem* GetHotCheckItem() const noexcept { return FHotCheckItem; }
    void SetPendingObject(TGvCollectionItem* Obj, gcl::TPoint MousePos);
    void SetPendingObjectCheck(TGvCollectionItem* Item);
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
    TGvCollectionItem* FHotCheckItem = nullptr;
};

} // namespace qelvo
