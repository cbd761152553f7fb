// The demo form of the list view tests: a borderless form and a list view
// set up like the main window's task list, with groups of made-up tasks.
#pragma once

#include <string>

#include "gcl/Forms.h"
#include "listview/GvListview.h"

namespace qelvo::test {

class TDemoForm : public gcl::TForm {
    GCL_CLASS(TDemoForm, gcl::TForm)
protected:
    explicit TDemoForm(gcl::TComponent* owner);
};

// The main window's list settings: report view, three columns, groups
// with a band, check boxes, full-row selection, grid lines, rows of 23.
void SetUpLikeTheMainWindow(TGvListview* lv);

// A group captioned Caption with Items tasks ("<Caption> task <n>", tags,
// due dates, every fourth from the second checked).
TGvGroup* AddGroup(TGvListview* lv, const std::wstring& Caption, int Items);

} // namespace qelvo::test
