// The lists-and-tags tree model and its commands.
#include "app/logic/ListsTree.h"

#include <algorithm>
#include <unordered_set>

#include "app/logic/MainShell.h"
#include "app/logic/TaskCommands.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

namespace {

// The items of a comma list as written, empty ones kept ("" gives one).
std::vector<std::string> CommaParts(const std::string& list) {
    std::vector<std::string> parts;
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t q = list.find(',', pos);
        if (q == std::string::npos) q = list.size();
        parts.push_back(list.substr(pos, q - pos));
        pos = q + 1;
    }
    return parts;
}

// Items with each name once, in the first spelling met: letter case and
// blanks around a name aside (a blank item is no name and always stays).
std::vector<std::string> FirstOfEachName(std::vector<std::string> items) {
    std::vector<std::string> once;
    for (std::string& item : items) {
        const bool repeated = std::any_of(once.begin(), once.end(), [&](const std::string& o) {
            return !gcl::Trim(item).empty() && gcl::SameText(gcl::Trim(o), gcl::Trim(item));
        });
        if (!repeated) once.push_back(std::move(item));
    }
    return once;
}

std::string JoinCommas(const std::vector<std::string>& items) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) out += (i > 0 ? "," : "") + items[i];
    return out;
}

void StoreLines(const std::vector<std::string>& lines, gcl::TStrings& table, bool& modified) {
    const std::string old = table.GetText();
    table.Clear();
    for (const std::string& line : lines) table.Add(line);
    if (table.GetText() != old) modified = true;
}

// The tag node (not "All") that Name stands for: the one written exactly
// so, else the first in other letters, else the first with other blanks
// around it; -1 when none (a blank name names none).
int TagNodeOf(const std::vector<TTreeNode>& nodes, const std::string& name) {
    const std::string trimmed = gcl::Trim(name);
    if (trimmed.empty()) return -1;
    int loose = -1, looser = -1;
    for (size_t i = 1; i < nodes.size(); ++i) {
        const std::string& text = nodes[i].Text;
        if (text == name) return static_cast<int>(i);
        if (loose < 0 && gcl::SameText(text, name)) loose = static_cast<int>(i);
        if (looser < 0 && gcl::SameText(gcl::Trim(text), trimmed)) looser = static_cast<int>(i);
    }
    return loose > 0 ? loose : looser;
}

bool ValidNode(const TListsTreeModel& tree, int index) {
    return index > 0 && index < static_cast<int>(tree.Nodes.size());
}

} // namespace

void TListsTreeModel::BuildListsTree(const gcl::TStrings& folders) {
    ListsMode = true;
    Nodes.assign(1, TTreeNode{AllNodeText, -1, false});
    for (int i = 0; i < folders.GetCount(); ++i) {
        const std::string entry = folders.Get(i);
        const std::string name = FolderEntryName(entry);
        if (name.empty()) continue;
        int icon = -1;
        if (!TryFolderEntryIcon(entry, icon)) icon = -1;
        Nodes.push_back(TTreeNode{name, icon, false});
    }
}

void TListsTreeModel::BuildTagsTree(const gcl::TStrings& tags) {
    ListsMode = false;
    Nodes.assign(1, TTreeNode{AllNodeText, -1, false});
    for (int i = 0; i < tags.GetCount(); ++i) Nodes.push_back(TTreeNode{tags.Get(i), TagNodeImage, false});
}

void TListsTreeModel::StoreListsFromTree(gcl::TStrings& folders, bool& modified) const {
    if (Nodes.size() <= 1) return;
    std::vector<std::string> lines;
    for (size_t i = 1; i < Nodes.size(); ++i)
        lines.push_back(Nodes[i].Text + FieldSeparator + gcl::IntToStr(Nodes[i].ImageIndex) + FieldSeparator);
    StoreLines(lines, folders, modified);
}

void TListsTreeModel::StoreTagsFromTree(gcl::TStrings& tags, bool& modified) const {
    if (Nodes.size() <= 1) return;
    std::vector<std::string> lines;
    for (size_t i = 1; i < Nodes.size(); ++i) lines.push_back(Nodes[i].Text);
    StoreLines(lines, tags, modified);
}

void TListsTreeModel::StoreToData(TuData& data) const {
    bool modified = false;
    if (ListsMode)
        StoreListsFromTree(*data.Folders, modified);
    else
        StoreTagsFromTree(*data.Tags, modified);
    if (modified) data.Modified = true;
}

void TListsTreeModel::RestoreTreeSelection(const std::string& currentFolder, const std::string& tagFilter) {
    for (TTreeNode& n : Nodes) n.Selected = false;
    bool any = false;
    if (ListsMode) {
        for (size_t i = 1; i < Nodes.size() && !currentFolder.empty(); ++i)
            if (Nodes[i].Text.substr(0, MaxFolderLength) == currentFolder) {
                Nodes[i].Selected = any = true;
                break;
            }
    } else {
        // Each tag of the filter chooses the one node it names: a database
        // can hold tags that differ in letter case or blanks alone.
        for (const std::string& wanted : CommaParts(tagFilter))
            if (const int node = TagNodeOf(Nodes, wanted); node > 0)
                Nodes[static_cast<size_t>(node)].Selected = any = true;
    }
    if (!any && !Nodes.empty()) Nodes[0].Selected = true;
}

int TListsTreeModel::SelectedIndex() const {
    for (size_t i = 0; i < Nodes.size(); ++i)
        if (Nodes[i].Selected) return static_cast<int>(i);
    return -1;
}

void TListsTreeModel::Select(int index, bool only) {
    if (only)
        for (TTreeNode& n : Nodes) n.Selected = false;
    if (index >= 0 && index < static_cast<int>(Nodes.size())) Nodes[static_cast<size_t>(index)].Selected = true;
}

std::string TListsTreeModel::SelectedListName() const {
    const int i = SelectedIndex();
    if (i <= 0) return std::string();
    return Nodes[static_cast<size_t>(i)].Text.substr(0, MaxFolderLength);
}

std::string TListsTreeModel::SelectedTagFilter() const {
    std::string filter;
    for (size_t i = 1; i < Nodes.size(); ++i)
        if (Nodes[i].Selected) filter += Nodes[i].Text + ",";
    return filter;
}

bool TListsTreeModel::MoveUp(int index) {
    if (index < 2 || index >= static_cast<int>(Nodes.size())) return false;
    std::swap(Nodes[static_cast<size_t>(index)], Nodes[static_cast<size_t>(index - 1)]);
    return true;
}

bool TListsTreeModel::MoveDown(int index) {
    if (index < 1 || index + 1 >= static_cast<int>(Nodes.size())) return false;
    std::swap(Nodes[static_cast<size_t>(index)], Nodes[static_cast<size_t>(index + 1)]);
    return true;
}

void TListsTreeModel::AddNode(const std::string& text, int image) {
    Nodes.push_back(TTreeNode{text, image, false});
}

bool RegisterTaskTags(TuData& data, const std::string& tags) {
    if (tags.empty()) return false;
    bool added = false;
    // The names there are, A-Z case aside (as IndexOf compares), looked up
    // at once: a task of tens of thousands of tags from a file edited
    // elsewhere took minutes, each tag searched for along the whole table.
    std::unordered_set<std::string> known;
    known.reserve(static_cast<size_t>(data.Tags->GetCount()));
    for (int i = 0; i < data.Tags->GetCount(); ++i) known.insert(gcl::LowerCase(data.Tags->GetRef(i)));
    size_t pos = 0;
    for (size_t comma; (comma = tags.find(',', pos)) != std::string::npos || pos < tags.size(); pos = comma + 1) {
        if (comma == std::string::npos) comma = tags.size();
        const std::string tag = tags.substr(pos, comma - pos);
        if (gcl::Trim(tag).empty()) continue;
        // A tag written as a marker would end the tags in the file; the
        // task keeps it, the tag table does not list it.
        if (IsFileMarker(tag) || !known.insert(gcl::LowerCase(tag)).second) continue;
        data.Tags->Add(tag);
        added = true;
    }
    if (added) data.Modified = true;
    return added;
}

bool RegisterTaskTags(const std::string& tags) {
    return Database != nullptr && RegisterTaskTags(*Database, tags);
}

std::string ToggleTag(const std::string& tags, const std::string& tag) {
    if (tags.empty()) return tag;
    std::vector<std::string> items = CommaParts(tags);
    const auto named = std::find(items.begin(), items.end(), tag);
    if (named != items.end())
        items.erase(named);
    else
        items.push_back(tag);
    std::string out = JoinCommas(items);
    while (!out.empty() && out.back() == ',') out.pop_back();
    return out;
}

std::string FilterCaption(const std::string& currentFolder, const std::string& tagFilter) {
    std::string t = tagFilter;
    if (!t.empty() && t.back() == ',') t.pop_back();
    return (currentFolder.empty() ? std::string("All lists") : currentFolder) + " > " +
           (t.empty() ? std::string("All tags") : t);
}

int FindFolderEntry(const gcl::TStrings& folders, const std::string& name) {
    for (int i = 0; i < folders.GetCount(); ++i)
        if (FolderEntryName(folders.Get(i)) == name) return i;
    return -1;
}

int ChosenFolderEntry(const gcl::TStrings& folders, const std::string& chosen) {
    for (int i = 0; i < folders.GetCount(); ++i)
        if (FolderEntryName(folders.Get(i)).substr(0, MaxFolderLength) == chosen) return i;
    return -1;
}

int NamesakeNode(const TListsTreeModel& tree, int index, const std::string& name) {
    for (size_t i = 1; i < tree.Nodes.size(); ++i)
        if (static_cast<int>(i) != index && gcl::SameText(gcl::Trim(tree.Nodes[i].Text), name))
            return static_cast<int>(i);
    return -1;
}

namespace {

// Every task of list From joins list Into; From's entry goes.
void MergeList(const std::string& from, const std::string& into, TuData& data) {
    const std::string fromCut = from.substr(0, MaxFolderLength);
    const std::string intoCut = into.substr(0, MaxFolderLength);
    for (int i = 0; i < data.Tasks->GetCount(); ++i)
        if (TuTask* task = data.Tasks->GetTask(i); task && task->Folder == fromCut) task->Folder = intoCut;
    const int entry = FindFolderEntry(*data.Folders, from);
    if (entry >= 0) data.Folders->Delete(entry);
    data.Modified = true;
}

// Every task's tag From becomes Into, once; From's entry goes.
void MergeTag(const std::string& from, const std::string& into, TuData& data) {
    const int entry = IndexOfName(*data.Tags, from);
    data.RenameTag(from, into);
    if (entry >= 0) data.Tags->Delete(entry);
    for (int i = 0; i < data.Tasks->GetCount(); ++i)
        if (TuTask* task = data.Tasks->GetTask(i)) {
            // Only a task that has the tag twice now is written.
            std::string once = JoinCommas(FirstOfEachName(CommaParts(task->Tags)));
            if (task->Tags != once) task->Tags = std::move(once);
        }
    data.Modified = true;
}

} // namespace

bool RenameNode(TListsTreeModel& tree, int index, const std::string& newText, TuData& data, std::string* joined) {
    const std::string name = gcl::Trim(newText);
    if (!ValidNode(tree, index) || name.empty()) return false;
    TTreeNode& node = tree.Nodes[static_cast<size_t>(index)];
    // A name another list or tag already has: the two become one, under the
    // name (and in the place) the other one has.
    if (const int other = NamesakeNode(tree, index, name); other > 0) {
        const std::string into = tree.Nodes[static_cast<size_t>(other)].Text;
        if (tree.ListsMode)
            MergeList(node.Text, into, data);
        else
            MergeTag(node.Text, into, data);
        tree.Nodes.erase(tree.Nodes.begin() + index);
        if (joined) *joined = into;
        return true;
    }
    if (tree.ListsMode) {
        const int entry = FindFolderEntry(*data.Folders, node.Text);
        if (entry >= 0) {
            const std::string oldLine = data.Folders->Get(entry);
            const std::string newLine = name + oldLine.substr(FolderEntryName(oldLine).size());
            data.RenameFolder(oldLine, newLine);
        }
    } else {
        data.RenameTag(node.Text, name);
    }
    node.Text = name;
    if (joined) joined->clear();
    return true;
}

bool DeleteNode(TListsTreeModel& tree, int index, TuData& data) {
    if (!ValidNode(tree, index)) return false;
    const std::string text = tree.Nodes[static_cast<size_t>(index)].Text;
    if (tree.ListsMode) {
        const int entry = FindFolderEntry(*data.Folders, text);
        if (entry >= 0) data.DeleteFolder(data.Folders->Get(entry));
    } else {
        data.DeleteTag(text);
    }
    tree.Nodes.erase(tree.Nodes.begin() + index);
    return true;
}

bool DropOnNode(const TListsTreeModel& tree, int index, const std::vector<TuTask*>& tasks, TuData& data) {
    if (!ValidNode(tree, index)) return false;
    const std::string& text = tree.Nodes[static_cast<size_t>(index)].Text;
    bool applied = false;
    // Those the database holds, found in one pass (not a search each).
    for (TuTask* task : data.Tasks->Held(tasks)) {
        if (tree.ListsMode)
            task->Folder = text.substr(0, MaxFolderLength);
        else
            task->Tags = ToggleTag(task->Tags, text);
        data.Modified = true;
        applied = true;
    }
    return applied;
}

bool IsTagNameKeySwallowed(char c) {
    return c == ',' || c == '[' || c == ']' || c == ';';
}

bool IsTagNameAllowed(const std::string& name) {
    return std::none_of(name.begin(), name.end(), IsTagNameKeySwallowed);
}

bool IsListNameAllowed(const std::string& name) {
    return name.find('\xF7') == std::string::npos;
}

namespace {

// The items of a tag filter ("a,b,"), as written, empty ones left out.
std::vector<std::string> FilterItems(const std::string& filter) {
    std::vector<std::string> items = CommaParts(filter);
    std::erase(items, std::string());
    return items;
}

std::string JoinFilter(const std::vector<std::string>& items) {
    std::string filter;
    for (const std::string& item : items) filter += item + ",";
    return filter;
}

} // namespace

void FollowRename(bool listsMode, const std::string& oldText, const std::string& newText,
                  std::string& currentFolder, std::string& tagFilter) {
    if (listsMode) {
        if (!currentFolder.empty() && currentFolder == oldText.substr(0, MaxFolderLength))
            currentFolder = newText.substr(0, MaxFolderLength);
        return;
    }
    std::vector<std::string> items = FilterItems(tagFilter);
    bool renamed = false;
    for (std::string& item : items)
        if (gcl::SameText(gcl::Trim(item), gcl::Trim(oldText))) {
            item = newText;
            renamed = true;
        }
    // A tag renamed to one the filter also names is in it once.
    if (renamed) tagFilter = JoinFilter(FirstOfEachName(std::move(items)));
}

void KeepExistingFilter(const TuData& data, std::string& currentFolder, std::string& tagFilter) {
    if (!currentFolder.empty() && ChosenFolderEntry(*data.Folders, currentFolder) < 0) currentFolder.clear();
    std::vector<std::string> kept;
    for (const std::string& item : FilterItems(tagFilter))
        for (int i = 0; i < data.Tags->GetCount(); ++i)
            if (gcl::SameText(gcl::Trim(data.Tags->Get(i)), gcl::Trim(item))) {
                kept.push_back(item);
                break;
            }
    tagFilter = JoinFilter(kept);
}

} // namespace qelvo
