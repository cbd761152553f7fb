// The list view's hint window.
#include "listview/GvInternal.h"

namespace qelvo {

using namespace gvdetail;

GCL_IMPLEMENT_CLASS(TGvHintInfo)
GCL_IMPLEMENT_CLASS(TGvHintWindow)

gcl::TRect TGvHintWindow::CalcHintRect(int MaxWidth, const std::string& Hint, void* Data) {
    auto* data = static_cast<TGvHintData*>(Data);
    TCustomGvListview* lv = data ? data->Listview : nullptr;
    if (!lv || !lv->GetHintInfo()) return inherited::CalcHintRect(MaxWidth, Hint, Data);
    FListview = lv;
    TGvHintInfo* info = lv->GetHintInfo();
    info->TargetObj = data->TargetObj;
    info->HintType = data->HintType;
    info->Text = data->Text.empty() ? gcl::AnsiToWide(Hint) : data->Text;
    info->CursorRect = data->CursorRect;
    info->Position = data->CursorPos;
    info->Color = GetColor();
    info->Bounds = TRect{0, 0, MaxWidth, 0};
    // The window may not exist yet: measure on the shared screen canvas.
    gcl::TCanvas& canvas = gcl::MeasureCanvas();
    canvas.SetFont(GetFont());
    canvas.RequiredState(gcl::TCanvasState{gcl::csHandleValid, gcl::csFontValid});
    info->Canvas = &canvas;
    lv->DoHintCustomInfo(info->TargetObj, info);
    if (info->HintType == ehtText || info->HintType == ehtToolTip) {
        TRect bounds{0, 0, std::max(MaxWidth, 1), 0};
        DrawTextWEx(canvas.GetHandle(), info->Text, bounds, -1,
                    static_cast<TCommonDrawTextWFlags>(dtCalcRect | AlignFlags(lv->GetHintAlignment())));
        bounds.Right += 6;
        bounds.Bottom += 2;
        info->Bounds = bounds;
    }
    if (info->Color != GetColor()) SetColor(info->Color);
    return info->Bounds;
}

void TGvHintWindow::ActivateHint(const gcl::TRect& Rect, const std::string& Hint) {
    inherited::ActivateHint(Rect, Hint);
}

void TGvHintWindow::ActivateHintData(const gcl::TRect& Rect, const std::string& Hint, void* Data) {
    inherited::ActivateHintData(Rect, Hint, Data);
}

bool TGvHintWindow::IsHintMsg(const MSG& Msg) { return inherited::IsHintMsg(Msg); }

void TGvHintWindow::Paint() {
    TCustomGvListview* lv = FListview.Get();
    TGvHintInfo* info = lv ? lv->GetHintInfo() : nullptr;
    if (!info) {
        inherited::Paint();
        return;
    }
    gcl::TCanvas* canvas = GetCanvas();
    TRect client = GetClientRect();
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(client);
    canvas->GetBrush()->SetColor(gcl::clWindowFrame);
    canvas->FrameRect(client);
    TRect inner = client;
    gcl::InflateRect(inner, -2, -2);
    if (info->HintType == ehtCustomDraw) {
        info->Bounds = inner;
        info->Canvas = canvas;
        lv->DoHintCustomDraw(info->TargetObj, info);
        return;
    }
    canvas->SetFont(GetFont());
    canvas->GetBrush()->SetStyle(gcl::bsClear);
    DrawTextWEx(canvas->GetHandle(), info->Text, inner, -1, AlignFlags(lv->GetHintAlignment()));
}

} // namespace qelvo
