// Tabs: tab items that look like the tabs of a tab control in each painting
// style (classic, visual styles, the current toolbar theme, flat), and the
// painters of a tab and of the pane under the tabs.
#pragma once

#include "controls/XtItem.h"

namespace qelvo {

GCL_ENUM(TXtTabThemeType, tttNone, tttWindows, tttTx, tttFlat)
GCL_ENUM(TXtTabPosition, ttpTop, ttpBottom)

class TXtTabToolbar;

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

// The tab toolbar Tab sits on (its parent component), when it is one.
bool GetTabToolbar(TBarCustomItem* Tab, TXtTabToolbar*& Toolbar);
// From Tab's viewer on its toolbar, the next (Forward) or previous
// selectable viewer whose item is a tab; null when none, or, with
// StopAtNonTab, when a selectable viewer that is not a tab comes first.
TBarItemViewer* GetAdjacentTab(TBarCustomItem* Tab, bool Forward, bool StopAtNonTab);
// The toolbar's view has viewers and the first one shows Tab.
bool IsFirstTab(TBarCustomItem* Tab);

} // namespace qelvo
