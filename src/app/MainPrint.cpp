// The print and export commands over the task list, and the main
// window's print and export handlers.
#include "app/MainPrint.h"

#include "app/Main.h"
#include "app/PrintForm.h"
#include "app/logic/TaskPresentation.h"
#include "app/logic/AppMessages.h"
#include "app/logic/LayoutSettings.h"
#include "app/logic/TextExport.h"
#include "data/uDataMan.h"
#include "gcl/Dialogs.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"

namespace qelvo {

namespace {

// The HTML export's fixed report settings.
constexpr std::int32_t HtmlExportWidth = 800;

// A save dialog for one command. A file that is there already (another
// program's database, a text of the user's) is replaced only when the
// user says so.
class TCommandSaveDialog {
public:
    TCommandSaveDialog(const char* filter, const char* defaultExt) : FDialog(gcl::TSaveDialog::Create(nullptr)) {
        FDialog->SetFilter(filter);
        FDialog->SetDefaultExt(defaultExt);
        FDialog->SetOptions(gcl::TOpenOptions{gcl::ofHideReadOnly, gcl::ofOverwritePrompt});
    }
    ~TCommandSaveDialog() { FDialog->Free(); }
    TCommandSaveDialog(const TCommandSaveDialog&) = delete;
    TCommandSaveDialog& operator=(const TCommandSaveDialog&) = delete;
    // The chosen name, or "" when the user cancelled.
    std::string Execute() { return FDialog->Execute() ? FDialog->GetFileName() : std::string(); }

private:
    gcl::TSaveDialog* FDialog;
};

void ShowError(const std::string& text) {
    gcl::ShowMessageBox(text, msg::AppTitle, MB_OK | MB_ICONERROR);
}

// An export over the open database's own file is refused, with a
// message: the next start would read the export as the database, and
// the program, finding its file changed by another writer, would not
// save over it.
bool RefusedAsDatabase(const std::string& fileName, const std::string& database) {
    if (database.empty() || !gcl::SameFile(fileName, database)) return false;
    ShowError(msg::ExportOverDatabaseHead + fileName);
    return true;
}

// The export writes FileName for the name Chosen in the dialog, which
// asked about Chosen only: a file of the name the export adds its
// extension to is replaced only when the user says so too.
bool MayReplace(const std::string& fileName, const std::string& chosen) {
    if (gcl::SameText(fileName, chosen) || !gcl::FileExists(fileName)) return true;
    return gcl::ShowMessageBox(fileName + msg::ReplaceExportTail, msg::AppTitle, MB_YESNO | MB_ICONWARNING) == IDYES;
}

// Whether the export may write FileName, the file it makes of the name
// Chosen in the dialog: never the open database's own file, and one that
// is there only when the user says so.
bool MayWriteExport(const std::string& fileName, const std::string& chosen, const std::string& database) {
    return !RefusedAsDatabase(fileName, database) && MayReplace(fileName, chosen);
}

// Writes Text to FileName and opens it with Program ("" = the file's own
// program); a failure is shown and nothing is opened.
void WriteAndOpen(const std::string& fileName, const std::string& text, const std::string& program) {
    std::string message;
    if (!WriteExportFile(fileName, text, message)) {
        ShowError(message);
        return;
    }
    if (program.empty())
        gcl::Shell->Open(fileName);
    else
        gcl::Shell->Open(program, NotepadParameter(fileName));
}

// Every item in the list's order (groups in order, each group's items in
// order), found group by group: a look-up by global index walks the groups.
std::vector<TGvItem*> AllItems(TCustomGvListview* list) {
    std::vector<TGvItem*> all;
    TGvGroups* groups = list->GetGroups();
    for (int g = 0; g < groups->GetCount(); ++g) {
        TGvItems* items = groups->GetGroups(g)->GetItems();
        for (int i = 0; i < items->GetCount(); ++i) all.push_back(items->GetItems(i));
    }
    return all;
}

} // namespace

TReportList TaskListReport(TCustomGvListview* list, bool grouped) {
    TReportList report;
    report.Grouped = grouped;
    const int columns = list->GetHeader()->GetColumns()->GetCount();
    // A group's caption is made when asked: once per group, not per item.
    const TGvGroup* captionOf = nullptr;
    std::string caption;
    for (TGvItem* item : AllItems(list)) {
        TReportItem entry;
        for (int c = 0; c < columns && c < static_cast<int>(entry.Captions.size()); ++c)
            entry.Captions[static_cast<std::size_t>(c)] = gcl::WideToAnsi(item->GetCaptions(c));
        entry.Checked = item->GetChecked();
        entry.Selected = item->GetSelected();
        if (const auto* task = static_cast<const TuTask*>(item->GetData())) {
            entry.Priority = task->Priority;
            entry.Notes = task->Notes;
        }
        if (auto* owner = dynamic_cast<TGvItems*>(item->GetCollection()))
            if (TGvGroup* group = owner->GetOwnerGroup()) {
                entry.GroupIndex = group->GetIndex();
                if (group != captionOf) {
                    caption = gcl::WideToAnsi(group->GetCaption());
                    captionOf = group;
                }
                entry.GroupCaption = caption;
            }
        report.Items.push_back(std::move(entry));
    }
    return report;
}

TCols TaskListColumns(TCustomGvListview* list) {
    std::vector<TColumnInfo> columns;
    TGvColumns* all = list->GetHeader()->GetColumns();
    for (int i = 0; i < all->GetCount(); ++i) {
        TGvColumn* column = all->GetColumns(i);
        columns.push_back({column->GetWidth(), column->GetVisible(), gcl::WideToAnsi(column->GetCaption())});
    }
    return BuildColumnRecord(columns, list->GetClientWidth());
}

void ApplyReportSelection(TCustomGvListview* list, const TReportList& report) {
    const std::vector<TGvItem*> items = AllItems(list);
    // One change of the selection, however many items it takes: the runs
    // are made, the list repainted and the window told once, at the end.
    const TGvSelectionChange change(list->GetSelection());
    for (std::size_t i = 0; i < items.size() && i < report.Items.size(); ++i)
        items[i]->SetSelected(report.Items[i].Selected);
}

void PrintTaskList(TCustomGvListview* list, bool grouped) {
    if (list->GetItems()->GetCount() == 0) return;
    if (!gcl::FileExists(PrintTemplateFileName())) {
        ShowError(msg::TemplateMissingHead + PrintTemplateFileName());
        return;
    }
    TReportList report = TaskListReport(list, grouped);
    TPrintF* window =
        TPrintF::Create(nullptr, report, TaskListColumns(list), false, std::string(msg::PrintHeading), false);
    ApplyReportSelection(list, report);
    // Whichever way the window ends, it goes, and the tasks the report
    // selected are unselected again.
    struct TCloseWindow {
        TPrintF* Window;
        TCustomGvListview* List;
        ~TCloseWindow() {
            Window->Free();
            List->GetSelection()->ClearAll();
        }
    } close{window, list};
    window->ShowModal();
}

void ExportTaskListToHtml(TCustomGvListview* list, bool grouped, const std::string& database) {
    if (list->GetItems()->GetCount() == 0) return;
    TCommandSaveDialog dialog(msg::HtmlExportFilter, "html");
    const std::string chosen = dialog.Execute();
    if (chosen.empty()) return;
    THtmlReportOptions options;
    options.Width = HtmlExportWidth;
    options.Heading = msg::HtmlExportHeading;
    options.Cols = TaskListColumns(list);
    options.AppDir = AppDir();
    TReportList report = TaskListReport(list, grouped);
    std::string html;
    try {
        BuildHtmlReport(html, options, PrintTemplateFileName(), report);
    } catch (const gcl::Exception&) {
        ShowError(msg::TemplateMissingHead + PrintTemplateFileName());
        return;
    }
    const std::string fileName = HtmlExportFileName(chosen);
    if (!MayWriteExport(fileName, chosen, database)) return;
    list->GetSelection()->ClearAll();
    WriteAndOpen(fileName, html, std::string());
}

void ExportTaskListToText(TCustomGvListview* list, bool grouped, const std::string& database) {
    if (list->GetItems()->GetCount() == 0) return;
    TReportList report = TaskListReport(list, grouped);
    const std::string text = BuildTextExport(report);
    list->GetSelection()->ClearAll();
    TCommandSaveDialog dialog(msg::TextExportFilter, "txt");
    const std::string chosen = dialog.Execute();
    if (chosen.empty()) return;
    const std::string fileName = TextExportFileName(chosen);
    if (!MayWriteExport(fileName, chosen, database)) return;
    WriteAndOpen(fileName, text, "notepad");
}

void ExportDatabaseToPendrillax(const TuData& data) {
    TCommandSaveDialog dialog(msg::PendrillaxFilter, "jmw");
    const std::string chosen = dialog.Execute();
    if (chosen.empty() || RefusedAsDatabase(chosen, data.FileName)) return;
    try {
        ExportJmw(data, chosen);
    } catch (const gcl::Exception& e) {
        ShowError(e.GetMessage());
    }
}

// ---- The main window's commands -------------------------------------------------------

namespace {
bool TaskListGrouped() {
    return LiveSettings.GroupMode > 0;
}
} // namespace

void TMainForm::PrintMExecute(gcl::TObject*) {
    CommitNote();
    PrintTaskList(List, TaskListGrouped());
}

void TMainForm::ExportToHTMLMExecute(gcl::TObject*) {
    CommitNote();
    ExportTaskListToHtml(List, TaskListGrouped(), GetOpenFileName());
}

void TMainForm::ExportToTextMExecute(gcl::TObject*) {
    CommitNote();
    ExportTaskListToText(List, TaskListGrouped(), GetOpenFileName());
}

void TMainForm::ExportToPdMExecute(gcl::TObject*) {
    CommitNote();
    if (Database) ExportDatabaseToPendrillax(*Database);
}

} // namespace qelvo
