// The image-list combo: its items from the image list and their drawing.
#include "theming/TxcImageListCombo.h"

#include <algorithm>
#include <string>

#include "theming/TxcPanel.h"

namespace qelvo {

GCL_PUBLISHED(TTxcImageListCombo,
    GCL_PROP(AutoHeight).Default(true),
    GCL_PROP(Images))

TTxcImageListCombo::TTxcImageListCombo(gcl::TComponent* owner) : TTxcComboBox(owner) {
    SetParentColor(false);
    SetDoubleBuffered(true);
    SetStyle(gcl::csOwnerDrawFixed);
}

void TTxcImageListCombo::SetImages(TCustomImageList* value) {
    // The list is free-notified, so a freed list leaves no dangling pointer.
    if (FImages && FImages != value) FImages->RemoveFreeNotification(this);
    FImages = value;
    if (FImages) FImages->FreeNotification(this);
    GetItems()->Clear();
    if (FImages) {
        for (int i = 0; i < FImages->GetCount(); ++i) GetItems()->Add(std::to_string(i));
        if (FAutoHeight) SetItemHeight(FImages->GetHeight() + 2);
    }
    Invalidate();
}

void TTxcImageListCombo::SetAutoHeight(bool value) {
    FAutoHeight = value;
    if (FImages) SetImages(FImages);
}

void TTxcImageListCombo::Notification(gcl::TComponent* component, gcl::TOperation operation) {
    inherited::Notification(component, operation);
    if (operation == gcl::opRemove && component == FImages) {
        FImages = nullptr;
        Invalidate();
    }
}

void TTxcImageListCombo::DropDown() {
    inherited::DropDown();
    if (!FImages || !HandleAllocated()) return;
    TCanvas* canvas = GetCanvas();
    canvas->SetFont(GetFont());
    int widest = 0;
    for (int i = 0; i < GetItems()->GetCount(); ++i) widest = std::max(widest, canvas->TextWidth(GetItems()->Get(i)));
    // As DrawItem lays an item out: 4, the image, 4, the number; then 8.
    const int width = 4 + FImages->GetWidth() + 4 + widest + 8 + GetSystemMetrics(SM_CXVSCROLL) + 2;
    Perform(CB_SETDROPPEDWIDTH, static_cast<uintptr_t>(std::max(width, GetWidth())));
}

void TTxcImageListCombo::DrawItem(int index, TRect rect, gcl::TOwnerDrawState state) {
    TCanvas* canvas = GetCanvas();
    canvas->SetFont(GetFont());
    canvas->GetBrush()->SetStyle(gcl::bsSolid);
    const bool selected = state.Contains(gcl::odSelected);
    const TTxItemInfo info = TxcStateInfo(selected ? "over" : "normal", GetEnabled());
    TColor text;
    if (selected) {
        text = GetThemedSelect() ? CurrentTheme->ItemTextColor(info) : gcl::clHighlightText;
        canvas->GetBrush()->SetColor(GetThemedSelect() ? CurrentTheme->ItemColor(info) : gcl::clHighlight);
    } else {
        text = GetThemedSelect() ? CurrentTheme->ItemTextColor(info) : gcl::clWindowText;
        canvas->GetBrush()->SetColor(GetColor());
    }
    canvas->GetPen()->SetColor(text);
    canvas->GetFont()->SetColor(text);
    canvas->FillRect(rect);
    if (FImages) {
        const int y = rect.Top + (rect.Height() - FImages->GetHeight()) / 2;
        FImages->Draw(canvas, rect.Left + 4, y, index, GetEnabled());
        const std::string label = index < GetItems()->GetCount() ? GetItems()->Get(index) : std::string();
        const int left = rect.Left + 4 + FImages->GetWidth() + 4;
        RECT lr{left, rect.Top, left + canvas->TextWidth(label), rect.Bottom};
        canvas->GetBrush()->SetStyle(gcl::bsClear);
        if (OnDrawItemLabel) OnDrawItemLabel(this, index, canvas->GetFont(), state);
        canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid});
        DrawTextA(canvas->GetHandle(), label.c_str(), static_cast<int>(label.size()), &lr, DT_VCENTER | DT_SINGLELINE);
        canvas->GetBrush()->SetStyle(gcl::bsSolid);
    }
    if (OnDrawItem) OnDrawItem(this, index, rect, state);
}

} // namespace qelvo
