// The scroll-bar manager: view rectangle, scroll offsets and the window's
// bars.
#pragma once

#include "listview/GvInput.h"

namespace qelvo {

// The view rectangle, the scroll offsets into it and the window's bars.
class TGvScrollbarManager : public TGvOwnedPersistent {
    GCL_CLASS(TGvScrollbarManager, TGvOwnedPersistent)
public:
    explicit TGvScrollbarManager(TCustomGvListview* AOwner) : TGvOwnedPersistent(AOwner) {}
    bool GetHorzEnabled() const noexcept { return FHorzEnabled; }
    void SetHorzEnabled(bool Value);
    bool GetSnapHorzView() const noexcept { return FSnapHorzView; }
    void SetSnapHorzView(bool Value) noexcept { FSnapHorzView = Value; }
    bool GetVertEnabled() const noexcept { return FVertEnabled; }
    void SetVertEnabled(bool Value);

    int GetOffsetX() const noexcept { return FOffsetX; }
    int GetOffsetY() const noexcept { return FOffsetY; }
    void SetOffsetX(int Value);
    void SetOffsetY(int Value);
    gcl::TRect GetViewRect() const noexcept { return FViewRect; }
    void SetViewRect(const gcl::TRect& Value, bool ForceInvalidate);
    int ViewWidth() const noexcept { return FViewRect.Right - FViewRect.Left; }
    int ViewHeight() const noexcept { return FViewRect.Bottom - FViewRect.Top; }
    int MaxOffsetX() const;
    int MaxOffsetY() const;
    int LineStep() const;
    bool HorzBarVisible() const;
    bool VertBarVisible() const;
    gcl::TPoint MapWindowToView(gcl::TPoint Point, bool IncludeHeader = true) const;
    gcl::TPoint MapViewToWindow(gcl::TPoint Point, bool IncludeHeader = true) const;
    gcl::TRect MapWindowRectToViewRect(const gcl::TRect& R, bool IncludeHeader = true) const;
    gcl::TRect MapViewRectToWindowRect(const gcl::TRect& R, bool IncludeHeader = true) const;
    void Scroll(int DeltaX, int DeltaY);
    // The window's WM_VSCROLL and WM_HSCROLL: lines, pages, the thumb and
    // the ends (whole cells in a horizontal view with SnapHorzView).
    void WMVScroll(gcl::TMessage& Msg);
    void WMHScroll(gcl::TMessage& Msg);
    void ReCalculateScrollbars(bool Redraw, bool Force);
    void ValidateOffsets(int& X, int& Y) const;

private:
    bool FHorzEnabled = true;
    bool FSnapHorzView = true;
    bool FVertEnabled = true;
    int FOffsetX = 0;
    int FOffsetY = 0;
    bool FRecalculating = false;
    gcl::TRect FViewRect;
};

} // namespace qelvo
