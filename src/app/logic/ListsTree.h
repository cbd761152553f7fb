// The lists-and-tags panel as a model: the tree's nodes built from and
// written back to TuData.Folders / TuData.Tags, the selection rules, the
// filter each selection gives, new tags of a task, renaming, deleting,
// moving nodes and dropping tasks onto a node.
#pragma once

#include <string>
#include <vector>

#include "data/uDataMan.h"

namespace qelvo {

// Image of every tag node (CatIcons_24).
inline constexpr int TagNodeImage = 72;
inline constexpr const char* AllNodeText = "All";

struct TTreeNode {
    std::string Text;
    int ImageIndex = -1;  // -1: none (an icon text that is not a number)
    bool Selected = false;
    bool operator==(const TTreeNode&) const = default;
};

// The tree: node 0 is "All", then one node per list or tag in table order.
class TListsTreeModel {
public:
    std::vector<TTreeNode> Nodes;
    bool ListsMode = true;

    // Lists: one node per Folders entry with a name (name before the first
    // 0xF7, image = the number after it). Tags: one node per tag, image 72.
    void BuildListsTree(const gcl::TStrings& folders);
    void BuildTagsTree(const gcl::TStrings& tags);
    // Writes the nodes after "All" back (lists as name, 0xF7, image, 0xF7);
    // only when the tree has more than "All". Modified is set when the
    // table's text changed.
    void StoreListsFromTree(gcl::TStrings& folders, bool& modified) const;
    void StoreTagsFromTree(gcl::TStrings& tags, bool& modified) const;
    // Writes back the table of the current mode.
    void StoreToData(TuData& data) const;

    // Selects the current list (exact name; a list is chosen by its first
    // 50 characters), or for each tag of the tag filter the node of that
    // tag (written exactly so, else in other letters, else with other
    // blanks around it); "All" when nothing matches.
    void RestoreTreeSelection(const std::string& currentFolder, const std::string& tagFilter);
    // The list of the selection (the first selected node; "" for "All" or
    // none), cut to 50 characters.
    std::string SelectedListName() const;
    // The tag filter of the selection: every selected tag but "All", each
    // followed by ","; "" when only "All" or nothing is selected.
    std::string SelectedTagFilter() const;
    int SelectedIndex() const;  // the first selected node, -1 when none
    void Select(int index, bool only = true);

    // Moving a node: up from index 2 or later, down for a node other than
    // "All" that has a next sibling. False when the node did not move.
    bool MoveUp(int index);
    bool MoveDown(int index);
    // Adds a node at the end (a new list or tag).
    void AddNode(const std::string& text, int image);
};

// Adds the tags of a task (comma list) that Data.Tags lacks (case ignored,
// blank ones skipped). True when any was added (Data is then modified).
bool RegisterTaskTags(TuData& data, const std::string& tags);
// The same for the open database (nothing without one).
bool RegisterTaskTags(const std::string& tags);
// Toggles tag T in a comma list: T alone when the list is empty; removed
// when it is one of the items (exact); appended otherwise.
std::string ToggleTag(const std::string& tags, const std::string& tag);
// The filter caption: the list name or "All lists", then " > " and the tag
// filter without its trailing "," or "All tags".
std::string FilterCaption(const std::string& currentFolder, const std::string& tagFilter);

// The Folders entry of the list named Name (the text before its first
// 0xF7 equals Name exactly); -1 when none.
int FindFolderEntry(const gcl::TStrings& folders, const std::string& name);
// The Folders entry of the chosen list Chosen (a task and the filter keep
// a list's name cut to 50 characters): the first whose name cut so is
// Chosen; -1 when none.
int ChosenFolderEntry(const gcl::TStrings& folders, const std::string& chosen);

// Another node than Index (not "All") whose name is Name, letter case and
// blanks around it aside; -1 when none.
int NamesakeNode(const TListsTreeModel& tree, int index, const std::string& name);
// Renaming node Index in place to NewText, blanks around it dropped. An
// empty (blank) name counts as a cancelled edit, and "All" cannot be
// renamed: both give False. Lists rename the stored entry of that name
// (keeping its icon text) and the tasks; tags rename the tag in the table
// and the tasks. A name another node has joins the two: the node goes,
// its tasks (tags: once each) take the other's name, and Joined (when
// given) gets that name; it is cleared after a plain rename.
bool RenameNode(TListsTreeModel& tree, int index, const std::string& newText, TuData& data,
                std::string* joined = nullptr);
// Deleting node Index (not "All"): lists delete the stored entry of that
// name and its tasks; tags remove the tag from the table and the tasks.
bool DeleteNode(TListsTreeModel& tree, int index, TuData& data);
// Dropping tasks on node Index (not "All"): lists move the tasks to that
// list, tags toggle the tag. Tasks not in Data are skipped.
bool DropOnNode(const TListsTreeModel& tree, int index, const std::vector<TuTask*>& tasks, TuData& data);
// Characters a new tag name may not hold (swallowed while typing).
bool IsTagNameKeySwallowed(char c);
// Whether Name holds none of them: a tag named "a,b" would be one tag in
// the tag table and two in every task given it.
bool IsTagNameAllowed(const std::string& name);
// Whether a list may be named Name: the lists are stored as name, 0xF7,
// icon, 0xF7, so a name with 0xF7 would come back cut short and lose its
// tasks.
bool IsListNameAllowed(const std::string& name);

// The chosen list and tag filter after a list (ListsMode) or a tag was
// renamed from OldText to NewText: what was chosen stays chosen under its
// new name.
void FollowRename(bool listsMode, const std::string& oldText, const std::string& newText,
                  std::string& currentFolder, std::string& tagFilter);
// The chosen list and tag filter once the lists and tags were replaced (a
// database loaded or cleared): a list or tag that Data no longer holds is
// no longer chosen ("" for the list means every list).
void KeepExistingFilter(const TuData& data, std::string& currentFolder, std::string& tagFilter);

} // namespace qelvo
