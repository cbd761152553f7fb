// The themed tree view: a standard tree view whose border the current
// theme draws, following the mouse and the focus as the themed edit's.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <memory>

#include "gcl/ComCtrls.h"
#include "theming/TxcEdit.h"

namespace qelvo {

class TTxcTreeView : public gcl::TTreeView {
    GCL_CLASS(TTxcTreeView, gcl::TTreeView)
public:
    void Dispatch(gcl::TMessage& message) override;
    void BeforeDestruction() noexcept override;

    bool GetThemed() const noexcept { return FThemed; }
    void SetThemed(bool value);
    bool GetHotTracking() const noexcept { return FHotTracking; }
    void SetHotTracking(bool value);
    const TTxcBorderLook& GetBorderLook() const noexcept { return FBorder; }
    void RedrawFrame() { RedrawTxcFrame(this); }

protected:
    explicit TTxcTreeView(gcl::TComponent* owner);
    ~TTxcTreeView() override;

    void MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;
    void MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;
    void Resize() override;

private:
    std::unique_ptr<TCanvas> FBorderCanvas;
    TTxcBorderLook FBorder;
    bool FThemed = true;
    bool FHotTracking = true;
};

} // namespace qelvo
