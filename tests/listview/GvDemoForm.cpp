// The demo form of the list view tests.
#include "listview/GvDemoForm.h"

namespace qelvo::test {

GCL_IMPLEMENT_CLASS(TDemoForm)

TDemoForm::TDemoForm(gcl::TComponent* owner) : gcl::TForm(owner) {
    SetBorderStyle(gcl::bsNone);
    SetBounds(10, 10, 640, 480);
}

void SetUpLikeTheMainWindow(TGvListview* lv) {
    lv->SetView(elsReport);
    lv->GetHeader()->SetVisible(true);
    TGvColumns* columns = lv->GetHeader()->GetColumns();
    const wchar_t* captions[] = {L"Title", L"Tags", L"Due"};
    const int widths[] = {320, 150, 100};
    for (int i = 0; i < 3; ++i) {
        TGvColumn* column = columns->Add(nullptr);
        column->SetCaption(captions[i]);
        column->SetWidth(widths[i]);
    }
    lv->SetShowGroupMargins(true);
    lv->GetPaintInfoGroup()->GetMarginTop()->SetSize(24);
    lv->GetPaintInfoGroup()->SetBandColor(gcl::clRed);
    lv->GetPaintInfoItem()->SetCheckType(ectBox);
    lv->GetPaintInfoItem()->SetGridLines(true);
    lv->GetSelection()->SetFullRowSelect(true);
    lv->GetCellSizes()->GetReport()->SetHeight(23);
}

TGvGroup* AddGroup(TGvListview* lv, const std::wstring& Caption, int Items) {
    TGvGroup* group = lv->GetGroups()->Add(nullptr);
    group->SetCaption(Caption);
    for (int i = 0; i < Items; ++i) {
        TGvItem* item = group->GetItems()->Add(nullptr);
        item->SetCaptions(0, Caption + L" task " + std::to_wstring(i + 1));
        item->SetCaptions(1, i % 3 == 0 ? L"home" : L"work");
        item->SetCaptions(2, L"12/" + std::to_wstring(i % 28 + 1) + L"/2026");
        item->SetChecked(i % 4 == 1);
    }
    return group;
}

} // namespace qelvo::test
