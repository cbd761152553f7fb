// Finding an item by typing its first letters, and the mouse-gesture
// settings.
#pragma once

#include "listview/GvDragDrop.h"

namespace qelvo {

GCL_ENUM(TGvIncrementalSearchDir, eisdForward, eisdBackward)
GCL_ENUM(TCoolIncrementalSearchStart, eissStartOver, eissLastHit, eissFocusedNode)
GCL_ENUM(TGvIncrementalSearchItemType, eisiAll, eisiInitializedOnly, eisiVisible)

namespace msg {
inline constexpr const char* GvSearchTimerKill = "Can not Destroy Incremental Search Timer";
} // namespace msg

// Moves the focus to the first item whose caption starts with what the
// user types; the typed text is forgotten after ResetTime milliseconds
// without a key.
class TGvIncrementalSearchManager : public TGvOwnedPersistent {
    GCL_CLASS(TGvIncrementalSearchManager, TGvOwnedPersistent)
public:
    explicit TGvIncrementalSearchManager(TCustomGvListview* AOwner) : TGvOwnedPersistent(AOwner) {}
    ~TGvIncrementalSearchManager() override;

    TGvIncrementalSearchDir GetDirection() const noexcept { return FDirection; }
    void SetDirection(TGvIncrementalSearchDir Value) noexcept { FDirection = Value; }
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value);
    int GetResetTime() const noexcept { return FResetTime; }
    void SetResetTime(int Value) noexcept { FResetTime = Value; }
    TCoolIncrementalSearchStart GetStartType() const noexcept { return FStartType; }
    void SetStartType(TCoolIncrementalSearchStart Value) noexcept { FStartType = Value; }
    TGvIncrementalSearchItemType GetItemType() const noexcept { return FItemType; }
    void SetItemType(TGvIncrementalSearchItemType Value) noexcept { FItemType = Value; }

    const std::wstring& GetSearchBuffer() const noexcept { return FSearchBuffer; }
    TGvItem* GetSearchItem() const noexcept { return FSearchItem; }
    TGvItem* GetNextSearchItem() const noexcept { return FNextSearchItem; }
    bool Searching() const noexcept { return FSearching; }
    bool TimerRunning() const noexcept { return FTimerRunning; }

    // A key went down (WM_KEYDOWN): starts a search when none runs.
    void HandleKeyDown();
    // A character arrived (WM_CHAR, an 8-bit character of the keyboard
    // layout's code page).
    void KeyPress(gcl::TMessage& Message);
    void StartSearch();
    // The reset time has passed: the typed text is forgotten.
    void EndSearch();
    void ResetSearch() noexcept;
    void SetSearchItem(TGvItem* Item) noexcept;
    // Drops every reference to the object (it is going away).
    void Forget(TGvCollectionItem* Obj) noexcept;

private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR Id, DWORD);
    void StartTimer();
    // Raises when the timer cannot be killed.
    void StopTimer();
    // Without raising (destruction).
    void StopTimerQuietly() noexcept;
    TGvItem* FirstOfSet() const;
    TGvItem* LastOfSet() const;
    TGvItem* StepInSet(TGvItem* Item, bool Forward) const;
    // The item after Item in Direction within the set.
    TGvItem* NextInDirection(TGvItem* Item) const;
    TGvItem* StartOfSet() const { return FDirection == eisdBackward ? LastOfSet() : FirstOfSet(); }
    bool Matches(TGvItem* Item);
    void SearchFromItem();

    TGvIncrementalSearchDir FDirection = eisdForward;
    bool FEnabled = false;
    int FResetTime = 2000;
    TCoolIncrementalSearchStart FStartType = eissStartOver;
    TGvIncrementalSearchItemType FItemType = eisiVisible;
    std::wstring FSearchBuffer;
    TGvItem* FSearchItem = nullptr;
    TGvItem* FNextSearchItem = nullptr;
    UINT_PTR FTimerID = 0;
    bool FTimerRunning = false;
    bool FSearching = false;
};

// The mouse-gesture settings: which buttons draw a gesture and how far the
// mouse must move to count.
class TGvGestureManager : public TGvOwnedPersistent {
    GCL_CLASS(TGvGestureManager, TGvOwnedPersistent)
public:
    explicit TGvGestureManager(TCustomGvListview* AOwner) : TGvOwnedPersistent(AOwner) {}
    TCommonMouseButtons GetButton() const noexcept { return FButton; }
    void SetButton(TCommonMouseButtons Value) noexcept { FButton = Value; }
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value) noexcept { FEnabled = Value; }
    int GetTolerance() const noexcept { return FTolerance; }
    void SetTolerance(int Value) noexcept { FTolerance = Value; }

private:
    TCommonMouseButtons FButton{cmbRight};
    bool FEnabled = false;
    int FTolerance = 3;
};

} // namespace qelvo
