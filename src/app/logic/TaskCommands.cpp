// Task list commands: priority keys, hot zones, edits, delete, move, drop.
#include "app/logic/TaskCommands.h"

#include <algorithm>
#include <unordered_set>

#include "app/logic/ListsTree.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

int PriorityUp(int priority) {
    return priority >= 2 || priority < 0 ? 0 : priority + 1;
}

int PriorityDown(int priority) {
    return priority <= 0 || priority > 2 ? 2 : priority - 1;
}

void SetTaskPriority(TuTask& task, int priority, TuData& data) {
    SetTasksPriority({&task}, priority, data);
}

void SetTasksPriority(const std::vector<TuTask*>& tasks, int priority, TuData& data) {
    if (tasks.empty()) return;
    for (TuTask* task : tasks) task->Priority = static_cast<std::uint8_t>(priority);
    data.Modified = true;
}

bool TickTasks(const std::vector<TuTask*>& tasks, TuData& data) {
    const bool done = !std::all_of(tasks.begin(), tasks.end(), [](const TuTask* t) { return t->Done; });
    if (tasks.empty()) return done;
    for (TuTask* task : tasks) task->Done = done;
    data.Modified = true;
    return done;
}

TListKeyDecision ListKeyDecision(unsigned key, bool shift, bool ctrl, bool hasSelection, bool sidePanelVisible,
                                 bool hasFocusedTask, bool severalChosen) {
    TListKeyDecision d;
    if (key == VkSpace && severalChosen && !ctrl) {
        d.Command = TListCommand::TickChosen;
        d.DoDefault = false;
        return d;
    }
    if (!hasFocusedTask && !ctrl) {
        switch (key) {
        case VkUp:
        case VkDown:
        case VkHome:
        case VkEnd:
        case VkPrior:
        case VkNext:
            // End goes on from the first task to the last, as the list
            // moves from a focused task.
            d.Command = TListCommand::ChooseFirst;
            d.DoDefault = key == VkEnd;
            return d;
        default:
            break;
        }
    }
    if ((key == VkSpace || key == VkF2 || (key == VkDown && !shift && !ctrl)) && !hasSelection && hasFocusedTask) {
        d.Command = TListCommand::ChooseFocused;
        d.DoDefault = false;
        return d;
    }
    switch (key) {
    case VkLeft:
    case VkRight:
        d.DoDefault = false;
        if (sidePanelVisible) d.Command = TListCommand::FocusTree;
        return d;
    case VkDelete:
        d.Command = TListCommand::DeleteTasks;
        return d;
    case VkReturn:
        d.Command = TListCommand::EditTitle;
        d.DoDefault = false;
        return d;
    case VkUp:
    case VkDown:
        if (ctrl && hasSelection) {
            d.Command = key == VkUp ? TListCommand::PriorityUp : TListCommand::PriorityDown;
            d.DoDefault = false;
        }
        return d;
    default:
        break;
    }
    if (shift) {
        switch (key) {
        case 'T': d.Command = TListCommand::EditTags; break;
        case 'D': d.Command = TListCommand::EditDueDate; break;
        case 'L': d.Command = TListCommand::EditFolder; break;
        case 'N': d.Command = TListCommand::EditNote; break;
        default: break;
        }
    }
    return d;
}

bool PointInRect(int left, int top, int right, int bottom, int x, int y) {
    return left <= x && x <= right && top <= y && y <= bottom;
}

bool PointInRect(const TRect32& rect, int x, int y) {
    return PointInRect(rect.Left, rect.Top, rect.Right, rect.Bottom, x, y);
}

THotZone HotZoneAt(int column, int x, int pointerY, int headerHeight, int viewHeight) {
    if (pointerY - headerHeight > viewHeight) return THotZone::None;
    switch (column) {
    case 0: return (x >= 17 && x <= 31) ? THotZone::Priority : THotZone::None;
    case 1: return (x >= 0 && x <= 14) ? THotZone::Tags : THotZone::None;
    case 2: return (x >= 0 && x <= 14) ? THotZone::DueDate : THotZone::None;
    default: return THotZone::None;
    }
}

std::string StripNumberingPrefix(const std::string& caption) {
    size_t i = 0;
    while (i < caption.size() && caption[i] >= '0' && caption[i] <= '9') ++i;
    if (i == 0 || caption.compare(i, 2, ". ") != 0) return caption;
    return caption.substr(i + 2);
}

bool ApplyTitleEdit(TuTask& task, const std::string& caption, TuData& data) {
    const std::string title = gcl::Trim(caption);
    if (title.empty()) return false;
    task.Title = title;
    const int i = data.Tasks->IndexOfObject(&task);
    if (i >= 0) data.Tasks->Put(i, title);
    data.Modified = true;
    return true;
}

std::vector<std::unique_ptr<TuTask>> DeleteTasks(TuData& data, const std::vector<TuTask*>& tasks) {
    // One pass over the database takes them all out (a search and a move
    // of the rest for each task made deleting 100,000 take seconds); they
    // are handed over in the order asked.
    const std::vector<TuTask*> extracted = data.Tasks->ExtractAll(tasks);
    std::unordered_set<const TuTask*> taken(extracted.begin(), extracted.end());
    std::vector<std::unique_ptr<TuTask>> removed;
    removed.reserve(extracted.size());
    for (TuTask* task : tasks)
        if (taken.erase(task)) removed.emplace_back(task);
    if (!removed.empty()) data.Modified = true;
    return removed;
}

std::string FolderEntryName(const std::string& entry) {
    const size_t p = entry.find(FieldSeparator);
    return p == std::string::npos ? entry : entry.substr(0, p);
}

bool TryFolderEntryIcon(const std::string& entry, int& icon) {
    const size_t p = entry.find(FieldSeparator);
    if (p == std::string::npos) return false;
    const size_t q = entry.find(FieldSeparator, p + 1);
    const std::string text = entry.substr(p + 1, q == std::string::npos ? std::string::npos : q - p - 1);
    return gcl::TryStrToInt(text, icon);
}

std::vector<std::string> ListMenuCaptions(const gcl::TStrings& folders) {
    std::vector<std::string> out;
    for (int i = 0; i < folders.GetCount(); ++i) {
        std::string name = FolderEntryName(folders.Get(i));
        if (!name.empty()) out.push_back(std::move(name));
    }
    return out;
}

int MoveToListMark(const gcl::TStrings& folders, const std::string& folder) {
    const int entry = folder.empty() ? -1 : IndexOfStart(folders, folder + FieldSeparator);
    if (entry < 0) return -1;
    int place = 0;
    for (int i = 0; i < entry; ++i) place += !FolderEntryName(folders.Get(i)).empty();
    return place;
}

void MoveTasksToList(const std::vector<TuTask*>& tasks, const std::string& name, TuData& data) {
    if (tasks.empty()) return;
    for (TuTask* task : tasks) task->Folder = name.substr(0, MaxFolderLength);
    data.Modified = true;
}

std::string ApplyDueEdit(TuTask& task, bool checked, double date, TuData& data) {
    return ApplyDueEdit(std::vector<TuTask*>{&task}, checked, date, data);
}

std::string ApplyDueEdit(const std::vector<TuTask*>& tasks, bool checked, double date, TuData& data) {
    const double due = checked ? KeptDue(date) : 0;
    for (TuTask* task : tasks) task->Due = due;
    if (!tasks.empty()) data.Modified = true;
    return gcl::YearOf(due) >= 1902 ? gcl::DateToStr(date) : std::string();
}

std::string ApplyTagsEdit(TuTask& task, const std::string& text, TuData& data, bool* tagsAdded) {
    return ApplyTagsEdit(std::vector<TuTask*>{&task}, text, data, tagsAdded);
}

std::string ApplyTagsEdit(const std::vector<TuTask*>& tasks, const std::string& text, TuData& data, bool* tagsAdded) {
    const std::string tags = NormalizeTagList(text);
    // The tasks' tags are one text, registered once.
    const bool added = !tasks.empty() && RegisterTaskTags(data, tags);
    if (tagsAdded) *tagsAdded = added;
    for (TuTask* task : tasks) task->Tags = tags;
    if (!tasks.empty()) data.Modified = true;
    return tags;
}

double DuePanelStartDate(const TuTask& task, double now) {
    return gcl::YearOf(task.Due) > 1901 ? task.Due : now;
}

bool ListAcceptsDrag(int groupMode) {
    return groupMode > 0;
}

bool ApplyDrop(int groupMode, const TuTask& target, const std::vector<TuTask*>& tasks, TuData& data) {
    if (groupMode == 0 || tasks.empty()) return false;
    bool applied = false;
    // Those the database holds, found in one pass (not a search each).
    for (TuTask* task : data.Tasks->Held(tasks)) {
        switch (groupMode < 0 ? -groupMode : groupMode) {
        case 1:
            task->FolderIcon = target.FolderIcon;
            task->Folder = target.Folder;
            break;
        case 2: task->Due = target.Due; break;
        case 3: task->Priority = target.Priority; break;
        case 4: task->Tags = target.Tags; break;
        default: continue;
        }
        data.Modified = true;
        applied = true;
    }
    return applied;
}

} // namespace qelvo
