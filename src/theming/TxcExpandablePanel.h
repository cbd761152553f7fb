// The expandable panel: a themed box with a caption header and an arrow
// button that collapses the box to its header and expands it again.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <memory>
#include <string>
#include <vector>

#include "gcl/rtl/Lists.h"
#include "theming/TxDkPanels.h"

namespace qelvo {

GCL_ENUM(TPanelArrowPosition, apTop, apMiddle, apBottom, apWithCaption)
GCL_ENUM(TPanelArrowAlignment, aaLeft, aaRight)
GCL_ENUM(THeaderPaintStyle, hpsNormal, hpsHot, hpsDown, hpsChecked, hpsCheckedHot, hpsCheckedDown)

class TTxcExpandablePanel : public TTxPanelObject {
    GCL_CLASS(TTxcExpandablePanel, TTxPanelObject)
public:
    void Dispatch(gcl::TMessage& message) override;

    int GetOriginalHeight() const noexcept { return FOriginalHeight; }
    void SetOriginalHeight(int value);
    const std::string& GetCaption() const noexcept { return FCaption; }
    void SetCaption(const std::string& value);
    bool GetExpanded() const noexcept { return FExpanded; }
    void SetExpanded(bool value);
    TPanelArrowPosition GetArrowPosition() const noexcept { return FArrowPosition; }
    void SetArrowPosition(TPanelArrowPosition value);
    TPanelArrowAlignment GetArrowAlign() const noexcept { return FArrowAlign; }
    void SetArrowAlign(TPanelArrowAlignment value);
    bool GetShowArrow() const noexcept { return FShowArrow; }
    void SetShowArrow(bool value);
    THeaderPaintStyle GetHeaderPaintStyle() const noexcept { return FHeaderPaintStyle; }
    void SetHeaderPaintStyle(THeaderPaintStyle value);
    THeaderPaintStyle GetPanelPaintStyle() const noexcept { return FPanelPaintStyle; }
    void SetPanelPaintStyle(THeaderPaintStyle value);

    // The text block height of the header and the caption's offset in it.
    int GetHeaderHeight() const noexcept { return FHeaderHeight; }
    int GetCaptionOffset() const noexcept { return FCaptionOffset; }
    // The arrow button's rectangle for the current size and header.
    TRect GetArrowRect() const noexcept;
    // Collapses an expanded panel or expands a collapsed one (arrow click).
    void Toggle();

    gcl::TNotifyEvent OnCaptionClick;
    gcl::TNotifyEvent OnBtnClick;
    gcl::TNotifyEvent OnExpand;
    gcl::TNotifyEvent OnCollapse;

protected:
    explicit TTxcExpandablePanel(gcl::TComponent* owner);
    ~TTxcExpandablePanel() override;

    void AdjustClientRect(TRect& rect) override;
    void Paint() override;
    void MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;
    void MouseMove(gcl::TShiftState shift, int x, int y) override;
    void MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;
    void Resize() override;

public:
    void SetBounds(int left, int top, int width, int height) override;

protected:

private:
    void PaintBox(TCanvas* canvas, TRect r, THeaderPaintStyle style);
    void UpdateHeaderMetrics(TCanvas* canvas);
    bool InArrow(int x, int y) const noexcept;
    int CollapsedHeight() const noexcept { return FHeaderHeight + 9; }
    // Hides the controls of a collapsed panel (Tab passes over them) and
    // shows again those it hid when the panel expands.
    void ShowContents();

    int FOriginalHeight = 150;
    std::string FCaption;
    int FHeaderHeight = 18;
    bool FArrowHot = false;
    bool FArrowDown = false;
    int FCaptionOffset = 0;
    bool FExpanded = true;
    TPanelArrowPosition FArrowPosition = apWithCaption;
    TPanelArrowAlignment FArrowAlign = aaLeft;
    TRect FArrowRect;
    std::unique_ptr<gcl::TStringList> FCaptionLines;
    bool FShowArrow = true;
    THeaderPaintStyle FHeaderPaintStyle = hpsNormal;
    THeaderPaintStyle FPanelPaintStyle = hpsNormal;
    std::vector<gcl::TComponentRef<gcl::TControl>> FHiddenContents;
};

// The state name of a header paint style.
const char* HeaderPaintStyleStateName(THeaderPaintStyle style) noexcept;

} // namespace qelvo
