// The task list of the main window: the list view, its popup menus, the
// refresh from the database and the filter, painting, grouping, sorting,
// numbering and the commands on the tasks.
#include "app/Main.h"

namespace qelvo {

void TMainForm::CreateTaskList() {
    List = TGvListview::Create(this);
    List->SetName("List");
    List->SetParent(this);
    List->SetAlign(gcl::alClient);
    List->SetView(elsReport);
    List->GetHeader()->SetVisible(true);
    TGvColumns* columns = List->GetHeader()->GetColumns();
    const wchar_t* captions[] = {L"Title", L"Tags", L"Due"};
    const int widths[] = {320, 150, 100};
    for (int i = 0; i < 3; ++i) {
        TGvColumn* column = columns->Add(nullptr);
        column->SetCaption(captions[i]);
        column->SetWidth(widths[i]);
    }
    List->GetCellSizes()->GetReport()->SetHeight(23);
}

void TMainForm::RefreshTaskList() {}

} // namespace qelvo
