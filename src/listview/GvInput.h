// Input-side managers: hot tracking and in-place editing settings.
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

// In-place editing: settings and the references to what is being edited.
class TGvEditManager : public TGvOwnedPersistent {
    GCL_CLASS(TGvEditManager, TGvOwnedPersistent)
public:
    explicit TGvEditManager(TCustomGvListview* AOwner);
    int GetAutoEditDelayTime() const noexcept { return FAutoEditDelayTime; }
    void SetAutoEditDelayTime(int Value) noexcept { FAutoEditDelayTime = Value; }
    gcl::TColor GetColor() const noexcept { return FColor; }
    void SetColor(gcl::TColor Value) noexcept { FColor = Value; }
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value);
    gcl::TFont* GetFont() const noexcept { return FFont.get(); }
    void SetFont(gcl::TFont* Value) { FFont->Assign(Value); }
    bool GetTabMoveFocus() const noexcept { return FTabMoveFocus; }
    void SetTabMoveFocus(bool Value) noexcept { FTabMoveFocus = Value; }
    bool GetTabEditColumns() const noexcept { return FTabEditColumns; }
    void SetTabEditColumns(bool Value) noexcept { FTabEditColumns = Value; }

    // True while editing or while a Tab move is pending.
    bool Editing() const noexcept { return FEditing || FTabMoveFocusItem != nullptr; }
    TGvItem* GetEditItem() const noexcept { return FEditItem; }
    TGvColumn* GetEditColumn() const noexcept { return FEditColumn; }
    TGvItem* GetTabMoveFocusItem() const noexcept { return FTabMoveFocusItem; }
    TGvColumn* GetTabMoveFocusColumn() const noexcept { return FTabMoveFocusColumn; }
    void SetTabMoveFocusItem(TGvItem* Value) noexcept { FTabMoveFocusItem = Value; }
    void SetTabMoveFocusColumn(TGvColumn* Value) noexcept { FTabMoveFocusColumn = Value; }
    // Stops a running edit's loop and a pending click-to-edit.
    void StopEdit();
    // Drops every reference to the object (it is going away).
    void Forget(TGvCollectionItem* Obj) noexcept;

private:
    int FAutoEditDelayTime = 300;
    gcl::TColor FColor = gcl::clWindow;
    bool FEnabled = false;
    std::unique_ptr<gcl::TFont> FFont;
    bool FTabMoveFocus = false;
    bool FTabEditColumns = false;
    bool FStopFlag = false;
    bool FEditing = false;
    TGvItem* FEditItem = nullptr;
    TGvColumn* FEditColumn = nullptr;
    TGvItem* FTabMoveFocusItem = nullptr;
    TGvColumn* FTabMoveFocusColumn = nullptr;
};

} // namespace qelvo
