// Tabs: tab items that look like the tabs of a tab control in each painting
// style (classic, visual styles, the current toolbar theme, flat), the
// painters of a tab and of the pane under the tabs, the tab toolbar that
// keeps one active tab, fits or hides tabs by width and reorders them by
// dragging, and the tab set that hosts it and paints the pane.
#pragma once

#include "controls/XtCompound.h"
#include "controls/XtItem.h"

namespace qelvo {

GCL_ENUM(TXtTabThemeType, tttNone, tttWindows, tttTx, tttFlat)
GCL_ENUM(TXtTabPosition, ttpTop, ttpBottom)

class TXtTabToolbar;
class TXtCustomTabSet;

// ---- Painters ---------------------------------------------------------------------------

// tttTx becomes tttWindows under the theme "Default"; then tttWindows
// becomes tttNone unless visual styles are usable.
TXtTabThemeType GetTabThemeType(TXtTabThemeType ThemeType);
// One tab in the resolved style (an unchecked classic or flat tab draws
// nothing). Edge 1 the left-edge tab, 2 the right-edge tab, else 0; Bottom
// mirrors the shape for tabs under the pane.
void DrawXPTab(TCanvas* Canvas, const TRect& Rect, bool Enabled, bool Checked, bool HotTrack, bool Focused,
               bool Bottom, TXtTabThemeType ThemeType, int Edge);
// The pane under the tabs.
void DrawXPTabControlBackground(TCanvas* Canvas, const TRect& Rect, TColor Color, TXtTabThemeType ThemeType,
                                bool Bottom);

// ---- Tab items ------------------------------------------------------------------------------

// An item drawn as a tab. On a tab toolbar the toolbar's position, style
// and colour hold and a click asks the tab set before it checks the tab;
// elsewhere it is an ordinary item with its own position and style.
class TXtTabItem : public TXtCustomItem {
    GCL_CLASS(TXtTabItem, TXtCustomItem)
public:
    // Tab items share this group index, so one tab of a bar is checked.
    static constexpr int TabGroupIndex = 7777;

    TXtTabPosition GetTabPosition() const;
    void SetTabPosition(TXtTabPosition Value);
    TXtTabThemeType GetThemeType() const;
    void SetThemeType(TXtTabThemeType Value);
    // The tab toolbar's colour, else clBtnFace.
    TColor GetTabColor() const;

    // Draws the tab (Separator: only the line at its right side) in the
    // item's style and TabColor.
    virtual void DrawTab(TCanvas* Canvas, const TRect& Rect, bool Enabled, bool Checked, bool HotTrack, bool Bottom,
                         bool Separator, int Edge);

    // An unchecked, enabled tab on a tab toolbar becomes the active tab
    // when the tab set allows it; then the ordinary click.
    void Click() override;
    void DoDrawAdjustFont(gcl::TFont* Font, int State) override;
    void DoDrawItem(gcl::TCanvas* Canvas, const TRect& Rect, const TTxItemInfo& ItemInfo, TXtPaintStage PaintStage,
                    bool& PaintDefault) override;
    void DoDrawCaption(gcl::TCanvas* Canvas, const TRect& ClientAreaRect, int State, std::wstring& Caption,
                       TRect& CaptionRect, uint32_t& CaptionFormat, bool IsTextRotated, TXtPaintStage PaintStage,
                       bool& PaintDefault) override;
    void DoDrawImage(gcl::TCanvas* Canvas, const TTxItemInfo& ItemInfo, TXtPaintStage PaintStage,
                     gcl::TCustomImageList*& ImageList, int& ImageIndex, TRect& Rect, bool& PaintDefault) override;
    // A tab's control is shown by the tab set, not toggled by the item.
    void ToggleControl() override {}

protected:
    explicit TXtTabItem(gcl::TComponent* AOwner);

private:
    // The rectangle a checked tab covers in its view's coordinates: its
    // bounds grown towards the pane, and in visual styles widened over
    // its neighbouring tabs.
    TRect CheckedTabRect(TBarItemViewer* Viewer, bool Windows);

    // Kept in step with the tab toolbar while the item is on one.
    mutable TXtTabPosition FTabPosition = ttpTop;
    mutable TXtTabThemeType FThemeType = tttWindows;
};

// The drag of a tab to another place on its tab toolbar.
class TXtTabItemDragObject : public TXtCustomDragObject {
    GCL_CLASS(TXtTabItemDragObject, TXtCustomDragObject)
public:
    TXtTabItemDragObject(gcl::TControl* ASourceControl, TBarCustomItem* ASourceItem);
};

// ---- The tab toolbar ------------------------------------------------------------------------

// A toolbar of tabs with one active tab (checked, its control shown); tabs
// that find no room are hidden and come back when there is room again, or
// share the room (TabAutofit); the active tab may be dragged to another place.
class TXtTabToolbar : public TXtToolbar {
    GCL_CLASS(TXtTabToolbar, TXtToolbar)
public:
    TXtTabThemeType GetThemeType() const noexcept { return FThemeType; }
    void SetThemeType(TXtTabThemeType Value);
    // True while tabs are fitted, hidden or shown.
    bool GetUpdating() const noexcept { return FUpdating; }
    bool GetTabAutofit() const noexcept { return FTabAutofit; }
    void SetTabAutofit(bool Value);
    int GetTabAutofitMaxSize() const noexcept { return FTabAutofitMaxSize; }
    void SetTabAutofitMaxSize(int Value);
    TColor GetTabColor() const noexcept { return FTabColor; }
    void SetTabColor(TColor Value);
    TXtTabPosition GetTabPosition() const noexcept { return FTabPosition; }
    void SetTabPosition(TXtTabPosition Value);
    bool GetTabDragReorder() const noexcept { return FTabDragReorder; }
    void SetTabDragReorder(bool Value) noexcept { FTabDragReorder = Value; }
    // The tabs hidden for lack of room, with their bounds when hidden.
    TXtItemCacheCollection* GetHiddenItems() const noexcept { return FHiddenItems.get(); }
    int GetActiveTabIndex() const noexcept { return FActiveTabIndex; }
    // Normalised to -1 outside the items; an index that is no tab keeps
    // the active tab. Only with a tab set, which may refuse the change.
    void SetActiveTabIndex(int Value);
    // The tab at ActiveTabIndex, or null.
    TXtTabItem* GetActiveTab() const;
    TXtCustomTabSet* GetTabSet() const noexcept { return FTabSet; }

    // Scrolls hidden tabs in until Tab shows.
    void MakeTabVisible(TXtTabItem* Tab);
    // Shows the hidden tab before the first shown one and hides the last.
    void ScrollLeft();
    // Shows the hidden tab after the last shown one and hides the first
    // hidden-able one.
    void ScrollRight();
    // TabAutofit: every tab gets an equal share of the dock's width (at
    // most TabAutofitMaxSize, never below 0).
    void TabAutofitUpdate();
    // Hides the tabs past the dock's end and shows hidden ones that fit
    // again; the first selectable tab always stays.
    void FitTabs();

    void RightAlignItems() override { FitTabs(); }
    bool CanItemClick(TBarCustomItem* Item, gcl::TMouseButton Button, gcl::TShiftState Shift, int X,
                      int Y) override;
    void DoItemNotification(TBarCustomItem* Ancestor, bool Relayed, TBarItemChangedAction Action, int Index,
                            TBarCustomItem* Item) override;
    void DrawNCArea(HDC DC) override;
    void BeforeDestruction() noexcept override;

    // Makes Index the active tab without asking the tab set again.
    void ApplyActiveTab(int Index);
    // Sets the index only (the tab set's bookkeeping around insertions,
    // deletions and moves).
    void SetActiveTabIndexField(int Index) noexcept { FActiveTabIndex = Index; }

protected:
    explicit TXtTabToolbar(gcl::TComponent* AOwner);
    void DoStartDrag(gcl::TDragObject*& DragObject) override;
    void DragOver(gcl::TObject* Source, int X, int Y, gcl::TDragState State, bool& Accept) override;

private:
    int NormalizedTabIndex(int Value) const;
    void RedrawFrame();
    // Shows a hidden tab again and forgets its cache entry; its width.
    int ShowHiddenTab(int CacheIndex);
    void HideTab(TBarItemViewer* Viewer);

    TXtTabThemeType FThemeType = tttWindows;
    bool FUpdating = false;
    bool FTabAutofit = false;
    int FTabAutofitMaxSize = 200;
    TColor FTabColor = gcl::clBtnFace;
    TXtTabPosition FTabPosition = ttpTop;
    bool FTabDragReorder = false;
    std::unique_ptr<TXtItemCacheCollection> FHiddenItems;
    int FActiveTabIndex = -1;
    TXtCustomTabSet* FTabSet = nullptr;
    gcl::TComponentRef<TXtTabItem> FDragTab;
};

// ---- The tab set ----------------------------------------------------------------------------------

using TXtTabChangeEvent = gcl::TEvent<void(gcl::TObject* Sender, int TabIndex)>;
using TXtTabChangingEvent = gcl::TEvent<void(gcl::TObject* Sender, int TabIndex, int NewTabIndex, bool& Allow)>;

// A tab toolbar over a pane: the active tab's control is shown in it.
class TXtCustomTabSet : public TXtCompoundItemsControl {
    GCL_CLASS(TXtCustomTabSet, TXtCompoundItemsControl)
public:
    TXtTabToolbar* GetTabToolbar() const;
    int GetActiveTabIndex() const;
    // While loading, kept and applied in Loaded.
    void SetActiveTabIndex(int Value);
    bool GetTabAutofit() const;
    void SetTabAutofit(bool Value);
    TXtTabThemeType GetThemeType() const;
    void SetThemeType(TXtTabThemeType Value);
    TXtTabPosition GetTabPosition() const;
    void SetTabPosition(TXtTabPosition Value);
    bool GetTabBackgroundBorders() const noexcept { return FTabBackgroundBorders; }
    void SetTabBackgroundBorders(bool Value);

    TXtDrawEvent OnDrawBackground;
    TXtTabChangeEvent OnActiveTabChange;
    TXtTabChangingEvent OnActiveTabChanging;
    TXtTabChangeEvent OnActiveTabReorder;
    TXtTabChangingEvent OnActiveTabReordering;

    const gcl::TComponent::TMetaClassType* GetToolbarClass() override;
    void InvalidateBackground(bool Repaint) override;
    virtual void DoDrawBackground(gcl::TCanvas* Canvas, const TRect& Rect, TXtPaintStage PaintStage,
                                  bool& PaintDefault);
    virtual bool HasOwnBackground() { return true; }
    virtual bool CanActiveTabChange(int TabIndex, int NewTabIndex);
    virtual void DoActiveTabChange(int TabIndex);
    virtual bool CanActiveTabReorder(int TabIndex, int NewTabIndex);
    virtual void DoActiveTabReorder(int NewTabIndex);
    virtual void ItemNotification(TBarCustomItem* Sender, bool Relayed, TBarItemChangedAction Action, int Index,
                                  TBarCustomItem* Item);
    // A tab that is the only item becomes active.
    virtual void TabInserted(TXtTabItem* Tab);
    // Brings a hidden tab back into the room the deleted one left.
    virtual void TabDeleted(TXtTabItem* Tab);
    virtual void ItemClick(TBarCustomItem* Item);

    void Dispatch(gcl::TMessage& Message) override;
    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;

    // Posted to itself after the active tab was replaced by a click: the
    // active tab is applied again so its change events fire.
    static constexpr uint32_t CM_REAPPLYACTIVETAB = 8801;

protected:
    explicit TXtCustomTabSet(gcl::TComponent* AOwner);
    // Resolves the hidden tabs read from a stream by their names.
    void Loaded() override;
    // "HiddenItems": the tab toolbar's hidden tabs.
    void DefineProperties(gcl::TFiler& Filer) override;

private:
    void ReadHiddenItems(gcl::TReader& Reader);
    void WriteHiddenItems(gcl::TWriter& Writer);
    void EraseBackground(gcl::TMessage& Message);
    bool IsLoadingNow() const;

    int FUpdateState = 0;   // 1 inside a begin/end update of the items, 2 a tab was deleted there
    gcl::TComponentRef<TXtTabItem> FDeletedTab;
    bool FTabBackgroundBorders = true;
    int FActiveTabIndexWhileLoading = -1;
    bool FReentrant = false;
    std::unique_ptr<gcl::TBitmap> FBackgroundBitmap;
};

class TXtTabSet : public TXtCustomTabSet {
    GCL_CLASS(TXtTabSet, TXtCustomTabSet)
protected:
    explicit TXtTabSet(gcl::TComponent* AOwner) : TXtCustomTabSet(AOwner) {}
};

// The tab toolbar Tab sits on (its parent component), when it is one.
bool GetTabToolbar(TBarCustomItem* Tab, TXtTabToolbar*& Toolbar);
// From Tab's viewer on its toolbar, the next (Forward) or previous
// selectable viewer whose item is a tab; null when none, or, with
// StopAtNonTab, when a selectable viewer that is not a tab comes first.
TBarItemViewer* GetAdjacentTab(TBarCustomItem* Tab, bool Forward, bool StopAtNonTab);
// The toolbar's view has viewers and the first one shows Tab.
bool IsFirstTab(TBarCustomItem* Tab);

} // namespace qelvo
