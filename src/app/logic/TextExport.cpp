// The text export, the column record and the export file names.
#include "app/logic/TextExport.h"

#include "app/logic/AppMessages.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

namespace {

bool EndsWithText(const std::string& s, const std::string& ending) {
    return s.size() >= ending.size() && gcl::SameText(s.substr(s.size() - ending.size()), ending);
}

} // namespace

void FormatTextExportLine(const TReportItem& item, std::vector<std::string>& text) {
    const std::string box = item.Checked ? "[X]" : "  ";
    std::string first;
    switch (item.Priority) {
    case 0: first = "   " + box + "-"; break;
    case 2: first = "   " + box + "+"; break;
    default: first = "     " + box; break;
    }
    first += item.Captions[0] + std::string(8, ' ') + item.Captions[2];
    text.push_back(first);
    if (!item.Captions[1].empty()) text.push_back(std::string(19, ' ') + "[ " + item.Captions[1] + " ]");
    if (!gcl::Trim(item.Notes).empty())
        for (const std::string& line : SplitTextLines(item.Notes)) text.push_back(std::string(11, ' ') + line);
}

std::string BuildTextExport(TReportList& list) {
    SelectAllUnlessSeveral(list);
    std::vector<std::string> lines;
    bool first = true;
    int group = -1;
    for (const TReportItem& item : list.Items) {
        if (!item.Selected) continue;
        if (list.Grouped && (first || item.GroupIndex != group)) lines.push_back(item.GroupCaption);
        first = false;
        group = item.GroupIndex;
        FormatTextExportLine(item, lines);
    }
    std::string out;
    for (const std::string& line : lines) out += line + "\r\n";
    return out;
}

TCols BuildColumnRecord(const std::vector<TColumnInfo>& columns, int headerWidth) {
    TCols cols;
    for (size_t i = 0; i < columns.size() && i < cols.Widths.size(); ++i) {
        const TColumnInfo& c = columns[i];
        cols.Widths[i] = (c.Visible && c.Width > 26 && headerWidth > 0) ? c.Width * 100 / headerWidth : 0;
        cols.Names[i] = c.Caption;
    }
    return cols;
}

std::string HtmlExportFileName(const std::string& chosen) {
    return EndsWithText(chosen, ".html") ? chosen : chosen + ".html";
}

std::string TextExportFileName(const std::string& chosen) {
    return EndsWithText(chosen, ".txt") ? chosen : chosen + ".txt";
}

bool WriteExportFile(const std::string& fileName, const std::string& text, std::string& message) {
    if (gcl::WriteFileAtomic(fileName, text.data(), text.size())) {
        message.clear();
        return true;
    }
    message = std::string(msg::ExportWriteFailedHead) + fileName;
    return false;
}

std::string NotepadParameter(const std::string& fileName) {
    return "\"" + fileName + "\"";
}

} // namespace qelvo
