// The list view's hints: the record a hint is shown from, the settings a
// handler may change, and the hint window that measures and paints them.
#pragma once

#include "listview/GvListviewControl.h"

#include "gcl/Forms.h"

namespace qelvo {

// What the control hands the hint window about the hint it shows (the
// hint data of CM_HINTSHOW).
struct TGvHintData {
    TCustomGvListview* Listview = nullptr;
    TGvCollectionItem* TargetObj = nullptr;
    TGvHintType HintType = ehtText;
    gcl::TPoint CursorPos;
    std::wstring Text;
    gcl::TRect CursorRect;
};

// The settings of the hint being shown, as OnHintCustomInfo may change them.
class TGvHintInfo : public gcl::TPersistent {
    GCL_CLASS(TGvHintInfo, gcl::TPersistent)
public:
    TGvHintInfo() = default;
    TGvCollectionItem* TargetObj = nullptr;
    TGvHintType HintType = ehtText;
    std::wstring Text;
    gcl::TRect CursorRect;
    gcl::TPoint Position;
    gcl::TColor Color = gcl::clInfoBk;
    int HideTimeout = 0;
    int ReshowTimeout = 0;
    // The hint's text rectangle: (0, 0, MaxWidth, 0) before measuring.
    gcl::TRect Bounds;
    // The canvas to measure or paint with (the hint window's).
    gcl::TCanvas* Canvas = nullptr;
};

// The hint window of the list view: text hints are measured with the list
// view's hint alignment and grow by (6, 2); custom-drawn hints are sized
// and painted by the list view's handlers.
class TGvHintWindow : public gcl::THintWindow {
    GCL_CLASS(TGvHintWindow, gcl::THintWindow)
public:
    gcl::TRect CalcHintRect(int MaxWidth, const std::string& Hint, void* Data) override;
    void ActivateHint(const gcl::TRect& Rect, const std::string& Hint) override;
    void ActivateHintData(const gcl::TRect& Rect, const std::string& Hint, void* Data) override;
    bool IsHintMsg(const MSG& Msg) override;
    // The list view of the hint shown last, or null.
    TCustomGvListview* GetListview() const noexcept { return FListview.Get(); }

protected:
    explicit TGvHintWindow(gcl::TComponent* AOwner) : gcl::THintWindow(AOwner) {}
    void Paint() override;

private:
    gcl::TComponentRef<TCustomGvListview> FListview;
};

} // namespace qelvo
