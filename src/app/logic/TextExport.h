// The plain-text export of the task list, the column record that the
// print and export commands hand to the report, and the file-name rules of
// the two exports.
#pragma once

#include <string>
#include <vector>

#include "app/logic/HtmlReport.h"

namespace qelvo {

// The lines of one task: the box ("[X]" done, two blanks otherwise) after
// three blanks with "-" (low) or "+" (high), or after five blanks (normal);
// the title (column 0), eight blanks, the due text (column 2); then, when
// there are tags (column 1), nineteen blanks, "[ ", the tags, " ]"; then
// every note line after eleven blanks when the note is not blank.
void FormatTextExportLine(const TReportItem& item, std::vector<std::string>& text);

// The whole export: selects every item unless two or more are selected,
// then the selected items in list order, a group caption line before the
// first item of each group when the list is grouped. Lines end in CR LF.
std::string BuildTextExport(TReportList& list);

struct TColumnInfo {
    int Width = 0;
    bool Visible = true;
    std::string Caption;
};
// The column record: entry i of Widths := width * 100 div HeaderWidth
// for a visible column wider than 26 pixels, else 0; Names[i] := caption.
// Entries past the given columns stay 0 and "".
TCols BuildColumnRecord(const std::vector<TColumnInfo>& columns, int headerWidth);

// The name the HTML export writes: the chosen name, with ".html" appended
// unless it already ends in ".html" (any letter case).
std::string HtmlExportFileName(const std::string& chosen);
// The same rule for ".txt", for the text export.
std::string TextExportFileName(const std::string& chosen);
// Writes an export (HTML or text) to FileName in one step. On failure the
// previous file stays, Message holds the text to show, and the result is
// False: the caller opens the file only on success, and exactly this name.
bool WriteExportFile(const std::string& fileName, const std::string& text, std::string& message);
// Notepad's parameter for a file: the name in double quotes.
std::string NotepadParameter(const std::string& fileName);

} // namespace qelvo
