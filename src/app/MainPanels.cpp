// The bars and panels around the task list: the quick-entry bar with its
// date and tags panels, the filter bar, the lists-and-tags panel and the
// note panel.
#include "app/Main.h"

namespace qelvo {

// ---- Quick-entry bar -------------------------------------------------------------------

void TMainForm::CreateQuickEntryBar() {}

void TMainForm::FocusTopEdit() {}

// ---- Filter bar ------------------------------------------------------------------------------

void TMainForm::CreateFilterBar() {
    FiltersPanel = TXtToolbar::Create(this);
    FiltersPanel->SetName("FiltersPanel");
    FiltersPanel->SetDockRow(3);
    FiltersPanel->SetParent(TopDock);
    TXtLabelItem* label = TXtLabelItem::Create(this);
    label->SetCaption(L"Filters :");
    FiltersPanel->GetItems()->Add(label);
}

// ---- Lists and tags panel ----------------------------------------------------------------

void TMainForm::CreateListsPanel() {
    OrgPanel = TXtDockablePanel::Create(this);
    OrgPanel->SetName("OrgPanel");
    OrgPanel->SetDockedWidth(200);
    OrgPanel->SetParent(LeftDock);
}

void TMainForm::RebuildSideTree() {}

void TMainForm::StoreSideTree() {}

// ---- Note panel ------------------------------------------------------------------------------

void TMainForm::CreateNotePanel() {
    NoteEdit = TXtDockablePanel::Create(this);
    NoteEdit->SetName("NoteEdit");
    NoteEdit->SetCaption(L"Note");
    NoteEdit->SetDockedHeight(80);
    NoteEdit->SetParent(NoteDock);
}

void TMainForm::CommitNote() {}

void TMainForm::SetNoteFontSize(int) {}

} // namespace qelvo
