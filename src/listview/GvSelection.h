// The selection manager (selection, focus, anchor, focused column) and the
// check manager.
#pragma once

#include "listview/GvHeader.h"

namespace qelvo {

// ---- Managers ----------------------------------------------------------------------------

// Selection, focus, anchor and focused column.
class TGvSelectionManager : public TGvOwnedPersistent {
    GCL_CLASS(TGvSelectionManager, TGvOwnedPersistent)
public:
    explicit TGvSelectionManager(TCustomGvListview* AOwner) : TGvOwnedPersistent(AOwner) {}

    int GetCount() const noexcept { return FCount; }
    TGvItem* First() const;
    TGvItem* Next(TGvItem* Item) const;
    void ClearAll();
    void ClearAllExcept(TGvItem* Item);
    void SelectAll();
    void InvertSelection();
    void SelectFirst();
    // Selects FromItem to ToItem (either order) along the visible-item walk,
    // or with RectSelect every visible item meeting the union of their
    // rectangles; ClearFirst clears the selection first. Multi-select only.
    void SelectRange(TGvItem* FromItem, TGvItem* ToItem, bool RectSelect, bool ClearFirst);
    // Selects every visible item meeting ViewRect (view coordinates).
    void SelectRect(const gcl::TRect& ViewRect, bool ClearFirst);
    // The rubber band moved from PrevBandRect to BandRect (view
    // coordinates): items the band covers become selected and those it left
    // deselected; with cksControl each item the band passes flips instead.
    void DragSelect(TCommonKeyStates KeyStates, const gcl::TRect& BandRect, const gcl::TRect& PrevBandRect);
    // With the focused item in Group (just collapsed), the focus moves to
    // the first enabled item after it that NextVisibleItem yields, or to
    // none.
    void FocusPastGroup(const TGvGroup* Group);
    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const noexcept { return FUpdateCount; }
    void GroupSelectionBeginUpdate() noexcept { ++FGroupSelectionUpdateCount; }
    // The last one rebuilds the selection groups, and repaints the list once
    // when a selection changed inside the bracket.
    void GroupSelectionEndUpdate();
    // Runs Steps as one change of the selection: inside BeginUpdate and a
    // group-selection bracket, both ended (in reverse order) also when
    // Steps throws.
    template <class F>
    void Change(F&& Steps) {
        BeginUpdate();
        GroupSelectionBeginUpdate();
        try {
            Steps();
        } catch (...) {
            GroupSelectionEndUpdate();
            EndUpdate();
            throw;
        }
        GroupSelectionEndUpdate();
        EndUpdate();
    }
    // Whether a group-selection bracket is open; a selection change inside
    // one asks for the repaint at its end through GroupSelectionRepaint.
    bool GroupSelectionUpdating() const noexcept { return FGroupSelectionUpdateCount > 0; }
    void GroupSelectionRepaint() noexcept { FGroupSelectionRepaint = true; }
    void GainingSelection(TGvItem* Item);
    void LosingSelection(TGvItem* Item);
    // The view is repainted where the mark of the keyboard's place may
    // have come or gone (TCustomGvListview::ShowsKeyboardPlace).
    void KeyboardPlaceChanged();
    void BuildSelectionGroupings(bool Force);

    TGvItem* GetFocusedItem() const noexcept { return FFocusedItem; }
    void SetFocusedItem(TGvItem* Value);
    TGvItem* GetAnchorItem() const noexcept { return FAnchorItem; }
    void SetAnchorItem(TGvItem* Value);
    // While none is set, the header's first column becomes the focused one.
    TGvColumn* GetFocusedColumn();
    TGvColumn* PeekFocusedColumn() const noexcept { return FFocusedColumn; }
    void SetFocusedColumn(TGvColumn* Value);

    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value);
    // The buttons that select on a click.
    TCommonMouseButtons GetMouseButton() const noexcept { return FMouseButton; }
    void SetMouseButton(TCommonMouseButtons Value) noexcept { FMouseButton = Value; }
    bool GetRectSelect() const noexcept { return FRectSelect; }
    void SetRectSelect(bool Value) noexcept { FRectSelect = Value; }
    bool GetMultiSelect() const noexcept { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool GetGroupSelections() const noexcept { return FGroupSelections; }
    void SetGroupSelections(bool Value);
    bool GetFullRowSelect() const noexcept { return FFullRowSelect; }
    void SetFullRowSelect(bool Value) noexcept { FFullRowSelect = Value; }
    bool GetResizeGroupOnFocus() const noexcept { return FResizeGroupOnFocus; }
    // How selected items look.
    gcl::TColor GetColor() const noexcept { return FColor; }
    void SetColor(gcl::TColor Value) noexcept { FColor = Value; }
    gcl::TColor GetTextColor() const noexcept { return FTextColor; }
    void SetTextColor(gcl::TColor Value) noexcept { FTextColor = Value; }
    gcl::TColor GetBorderColor() const noexcept { return FBorderColor; }
    void SetBorderColor(gcl::TColor Value) noexcept { FBorderColor = Value; }
    gcl::TColor GetInactiveColor() const noexcept { return FInactiveColor; }
    void SetInactiveColor(gcl::TColor Value) noexcept { FInactiveColor = Value; }
    gcl::TColor GetInactiveTextColor() const noexcept { return FInactiveTextColor; }
    void SetInactiveTextColor(gcl::TColor Value) noexcept { FInactiveTextColor = Value; }
    gcl::TColor GetInactiveBorderColor() const noexcept { return FInactiveBorderColor; }
    void SetInactiveBorderColor(gcl::TColor Value) noexcept { FInactiveBorderColor = Value; }
    bool GetFullItemPaint() const noexcept { return FFullItemPaint; }
    void SetFullItemPaint(bool Value);
    bool GetPopupMode() const noexcept { return FPopupMode; }
    void SetPopupMode(bool Value) noexcept { FPopupMode = Value; }
    bool GetUseFocusRect() const noexcept { return FUseFocusRect; }
    void SetUseFocusRect(bool Value) noexcept { FUseFocusRect = Value; }
    void SetResizeGroupOnFocus(bool Value) noexcept { FResizeGroupOnFocus = Value; }
    // Blended, gradient and rounded selection blocks.
    bool GetAlphaBlend() const noexcept { return FAlphaBlend; }
    void SetAlphaBlend(bool Value) noexcept { FAlphaBlend = Value; }
    uint8_t GetBlendAlphaImage() const noexcept { return FBlendAlphaImage; }
    void SetBlendAlphaImage(uint8_t Value) noexcept { FBlendAlphaImage = Value; }
    uint8_t GetBlendAlphaTextRect() const noexcept { return FBlendAlphaTextRect; }
    void SetBlendAlphaTextRect(uint8_t Value) noexcept { FBlendAlphaTextRect = Value; }
    bool GetBlendIcon() const noexcept { return FBlendIcon; }
    void SetBlendIcon(bool Value);
    bool GetBlurAlphaBkGnd() const noexcept { return FBlurAlphaBkGnd; }
    void SetBlurAlphaBkGnd(bool Value);
    bool GetForceDefaultBlend() const noexcept { return FForceDefaultBlend; }
    void SetForceDefaultBlend(bool Value) noexcept { FForceDefaultBlend = Value; }
    bool GetFullCellPaint() const noexcept { return FFullCellPaint; }
    void SetFullCellPaint(bool Value);
    bool GetGradient() const noexcept { return FGradient; }
    void SetGradient(bool Value);
    gcl::TColor GetGradientColorBottom() const noexcept { return FGradientColorBottom; }
    void SetGradientColorBottom(gcl::TColor Value);
    gcl::TColor GetGradientColorTop() const noexcept { return FGradientColorTop; }
    void SetGradientColorTop(gcl::TColor Value);
    bool GetRoundRect() const noexcept { return FRoundRect; }
    void SetRoundRect(bool Value) noexcept { FRoundRect = Value; }
    uint8_t GetRoundRectRadius() const noexcept { return FRoundRectRadius; }
    void SetRoundRectRadius(uint8_t Value) noexcept { FRoundRectRadius = Value; }
    // The rubber band: its look, and the settings of the control's band
    // manager, read and written through to it.
    bool GetAlphaBlendSelRect() const noexcept { return FAlphaBlendSelRect; }
    void SetAlphaBlendSelRect(bool Value) noexcept { FAlphaBlendSelRect = Value; }
    uint8_t GetBlendAlphaSelRect() const noexcept { return FBlendAlphaSelRect; }
    void SetBlendAlphaSelRect(uint8_t Value) noexcept { FBlendAlphaSelRect = Value; }
    gcl::TColor GetBlendColorSelRect() const noexcept { return FBlendColorSelRect; }
    void SetBlendColorSelRect(gcl::TColor Value) noexcept { FBlendColorSelRect = Value; }
    gcl::TColor GetBorderColorSelRect() const noexcept { return FBorderColorSelRect; }
    void SetBorderColorSelRect(gcl::TColor Value) noexcept { FBorderColorSelRect = Value; }
    gcl::TColor GetBlendColor() const noexcept { return FBlendColor; }
    void SetBlendColor(gcl::TColor Value) noexcept { FBlendColor = Value; }
    bool GetAutoScroll() const;
    void SetAutoScroll(bool Value);
    uint8_t GetAutoScrollAccelerator() const;
    void SetAutoScrollAccelerator(uint8_t Value);
    int GetAutoScrollDelay() const;
    void SetAutoScrollDelay(int Value);
    int GetAutoScrollMargin() const;
    void SetAutoScrollMargin(int Value);
    int GetAutoScrollTime() const;
    void SetAutoScrollTime(int Value);
    bool GetEnableDragSelect() const;
    void SetEnableDragSelect(bool Value);
    TCommonMouseButtons GetMouseButtonSelRect() const;
    void SetMouseButtonSelRect(TCommonMouseButtons Value);

private:
    friend class TGvItem;
    friend class TGvColumn;
    enum class TWork { Clear, Select, Invert };
    // Except: an item left as it is; ExceptCounted: whether its selection
    // is in the count yet.
    void Work(TWork Mode, TGvItem* Except, bool ExceptCounted = true);
    void Notify();

    int FCount = 0;
    TGvColumn* FFocusedColumn = nullptr;
    TGvItem* FFocusedItem = nullptr;
    TGvItem* FAnchorItem = nullptr;
    int FGroupSelectionUpdateCount = 0;
    bool FGroupSelectionRepaint = false;
    int FChangedCount = 0;
    int FUpdateCount = 0;
    bool FEnabled = true;
    TCommonMouseButtons FMouseButton{cmbLeft};
    bool FRectSelect = false;
    bool FMultiSelect = false;
    bool FGroupSelections = false;
    bool FFullRowSelect = false;
    bool FResizeGroupOnFocus = false;
    gcl::TColor FColor = gcl::clHighlight;
    gcl::TColor FTextColor = gcl::clHighlightText;
    gcl::TColor FBorderColor = gcl::clHighlight;
    gcl::TColor FInactiveColor = gcl::clInactiveBorder;
    gcl::TColor FInactiveTextColor = gcl::clBlack;
    gcl::TColor FInactiveBorderColor = gcl::clInactiveBorder;
    bool FFullItemPaint = false;
    bool FPopupMode = false;
    bool FUseFocusRect = true;
    bool FAlphaBlend = false;
    uint8_t FBlendAlphaImage = 128;
    uint8_t FBlendAlphaTextRect = 128;
    bool FBlendIcon = true;
    bool FBlurAlphaBkGnd = false;
    bool FForceDefaultBlend = false;
    bool FFullCellPaint = false;
    bool FGradient = false;
    gcl::TColor FGradientColorBottom = 0xFCEFD5;
    gcl::TColor FGradientColorTop = 0xFDF8F1;
    bool FRoundRect = false;
    uint8_t FRoundRectRadius = 4;
    bool FAlphaBlendSelRect = false;
    uint8_t FBlendAlphaSelRect = 70;
    gcl::TColor FBlendColorSelRect = gcl::clHighlight;
    gcl::TColor FBorderColorSelRect = gcl::clHighlight;
    gcl::TColor FBlendColor = gcl::clHighlight;
};

// One change of the selection however many items it takes or gives up:
// the runs of selected rows are made, the list repainted and the window
// told once, when the scope ends.
class TGvSelectionChange {
public:
    explicit TGvSelectionChange(TGvSelectionManager* Selection) : FSelection(Selection) {
        FSelection->BeginUpdate();
        FSelection->GroupSelectionBeginUpdate();
    }
    ~TGvSelectionChange() {
        FSelection->GroupSelectionEndUpdate();
        FSelection->EndUpdate();
    }
    TGvSelectionChange(const TGvSelectionChange&) = delete;
    TGvSelectionChange& operator=(const TGvSelectionChange&) = delete;

private:
    TGvSelectionManager* FSelection;
};

// The object whose check box is being pressed.
class TGvCheckManager : public TGvOwnedPersistent {
    GCL_CLASS(TGvCheckManager, TGvOwnedPersistent)
public:
    explicit TGvCheckManager(TCustomGvListview* AOwner) : TGvOwnedPersistent(AOwner) {}
    TGvCollectionItem* GetPendingObject() const noexcept { return FPendingObject; }
    // Moves the check-pending state from the old object to the new one.
    void SetPendingObject(TGvCollectionItem* Value);

private:
    TGvCollectionItem* FPendingObject = nullptr;
};

} // namespace qelvo
