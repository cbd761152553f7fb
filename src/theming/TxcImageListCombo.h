// The image-list combo: a themed owner-drawn combo box whose items are
// the images of an image list, each shown with its number.
#pragma once

#include "gcl/rtl/WinApi.h"

#include "gcl/ImgList.h"
#include "theming/TxcComboBox.h"

namespace qelvo {

using TDrawItemLabelEvent =
    gcl::TEvent<void(gcl::TObject* Sender, int Index, gcl::TFont* Font, gcl::TOwnerDrawState State)>;

class TTxcImageListCombo : public TTxcComboBox {
    GCL_CLASS(TTxcImageListCombo, TTxcComboBox)
public:
    TCustomImageList* GetImages() const noexcept { return FImages; }
    // One item per image ("0", "1", ...); with AutoHeight the items are
    // two pixels taller than the images.
    void SetImages(TCustomImageList* value);
    bool GetAutoHeight() const noexcept { return FAutoHeight; }
    void SetAutoHeight(bool value);

    TDrawItemLabelEvent OnDrawItemLabel;

protected:
    explicit TTxcImageListCombo(gcl::TComponent* owner);

    void Notification(gcl::TComponent* component, gcl::TOperation operation) override;
    void DrawItem(int index, TRect rect, gcl::TOwnerDrawState state) override;
    // The dropped list is as wide as its widest image and number (with
    // room for its scroll bar), however narrow the field.
    void DropDown() override;

private:
    TCustomImageList* FImages = nullptr;
    bool FAutoHeight = true;
};

} // namespace qelvo
