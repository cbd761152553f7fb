// What the task list shows, read from outside the program through its
// HTML export (File > Export to HTML): the group captions in order and
// the tasks under them. The export holds the whole list while fewer than
// two tasks are chosen and only the chosen ones otherwise, so it also
// tells which tasks are chosen. And the tasks of a saved database as the
// program's own data layer reads them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "e2e/PreparedDatabase.h"

namespace qelvo::e2e {

// The HTML export of the list as it is now, written to Name in the
// program's folder; "" when the save dialog did not come or go.
inline std::string ExportedList(TProgram& p, HWND main, const std::string& name) {
    ChooseFromMenu(p, main, FileMenuX, ExportToHtmlSteps);
    if (!TypeFileName(p, p.PathOf(name))) return std::string();
    return WrittenFile(p.PathOf(name + ".html"));
}

// The group captions of an exported list, in order.
inline std::vector<std::string> ExportedGroups(const std::string& html) {
    std::vector<std::string> captions;
    const std::string open = "padding:14px 4px 3px 4px\">";
    for (size_t at = html.find(open); at != std::string::npos; at = html.find(open, at)) {
        at += open.size();
        captions.push_back(html.substr(at, html.find("</td>", at) - at));
    }
    return captions;
}

// Those of Titles that an exported list holds, in the list's order.
inline std::vector<std::string> ExportedTasks(const std::string& html, const std::vector<std::string>& titles) {
    std::map<size_t, std::string> found;
    for (const std::string& title : titles) {
        const size_t at = html.find(". " + title + "<");
        if (at != std::string::npos) found[at] = title;
    }
    std::vector<std::string> out;
    for (const auto& entry : found) out.push_back(entry.second);
    return out;
}

// One task of a saved database, as the program reads it back.
struct TSavedTask {
    std::string Tags;
    int Priority = 1;
    bool Done = false;
    double Due = 0;
    bool operator==(const TSavedTask&) const = default;
};

// Every task of a database file by title.
inline std::map<std::string, TSavedTask> SavedTasks(const std::string& path) {
    std::map<std::string, TSavedTask> tasks;
    TuData data;
    if (!data.LoadFromFile(path)) return tasks;
    for (int i = 0; i < data.Tasks->GetCount(); ++i) {
        const TuTask* t = data.Tasks->GetTask(i);
        tasks[std::string(t->Title)] = {std::string(t->Tags), t->Priority, t->Done, t->Due};
    }
    return tasks;
}

} // namespace qelvo::e2e
