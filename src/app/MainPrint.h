// The main window's print and export commands: the task list read as the
// report and the text export see it (column texts, groups, selection),
// its column record, and printing, the HTML and text exports and the
// export of the database to the Pendrillax format.
#pragma once

#include <string>

#include "app/logic/HtmlReport.h"
#include "listview/GvListview.h"

namespace qelvo {

class TuData;

// The items of List in list order: the column texts it shows, check
// state, the task's priority and note, group and selection. Grouped is
// whether grouping is on (not "Nothing").
TReportList TaskListReport(TCustomGvListview* list, bool grouped);
// The column record of List's columns over the header's width.
TCols TaskListColumns(TCustomGvListview* list);
// Gives List the selection of Report (the report may have selected all).
void ApplyReportSelection(TCustomGvListview* list, const TReportList& report);

// Print: the print window with the report of List, shown modally;
// afterwards nothing is selected. Nothing happens for an empty list.
void PrintTaskList(TCustomGvListview* list, bool grouped);
// Export to HTML: a save dialog, the report (800 pixels wide) written to
// the chosen name (".html" appended unless it ends so) and, only when it
// was written, that file opened by the shell; a write error is shown.
// Afterwards nothing is selected. Nothing happens for an empty list.
// No export replaces the file of the open database (Database): it is
// refused with a message and nothing is written.
void ExportTaskListToHtml(TCustomGvListview* list, bool grouped, const std::string& database = std::string());
// Export to text: the text export of List to the chosen name, then
// opened in Notepad (only when written); afterwards nothing is selected.
void ExportTaskListToText(TCustomGvListview* list, bool grouped, const std::string& database = std::string());
// Export to the Pendrillax database: a save dialog, then the whole of
// Data in that format; the database's unsaved state does not change.
// Data's own file is refused.
void ExportDatabaseToPendrillax(const TuData& data);

} // namespace qelvo
