// What the user does to tasks in the task list, without the list: the
// priority keys, the hot zones under the mouse, title edits, deleting,
// moving tasks to a list, the quick panels' edits of the chosen tasks
// and dropping tasks onto another group.
//
// A command on several chosen tasks changes them all as one change: each
// task takes the new value, and the database is marked modified once.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/logic/LayoutSettings.h"
#include "data/uDataMan.h"

namespace qelvo {

// Ctrl+Up: 0 -> 1 -> 2 -> 0. Ctrl+Down: 2 -> 1 -> 0 -> 2.
int PriorityUp(int priority);
int PriorityDown(int priority);
// Sets the priority (from the keys or the "Priority" menu); marks the
// database modified.
void SetTaskPriority(TuTask& task, int priority, TuData& data);
void SetTasksPriority(const std::vector<TuTask*>& tasks, int priority, TuData& data);
// Space on several chosen tasks, as a check box standing for them all:
// every one is done unless all already are, then none is. The result is
// the state they took.
bool TickTasks(const std::vector<TuTask*>& tasks, TuData& data);

// ---- Keys in the list ------------------------------------------------------------

// Virtual keys the list's key table knows.
inline constexpr unsigned VkReturn = 0x0D, VkSpace = 0x20, VkF2 = 0x71, VkPrior = 0x21, VkNext = 0x22, VkEnd = 0x23, VkHome = 0x24, VkLeft = 0x25,
                          VkUp = 0x26, VkRight = 0x27, VkDown = 0x28, VkDelete = 0x2E;
enum class TListCommand {
    None, FocusTree, DeleteTasks, EditTitle, PriorityUp, PriorityDown, EditTags, EditDueDate, EditFolder, EditNote,
    ChooseFirst, ChooseFocused, TickChosen
};
struct TListKeyDecision {
    TListCommand Command = TListCommand::None;
    bool DoDefault = true;  // the list's own handling of the key
};
// The list's keys: Left/Right to the side tree (when it shows), Delete,
// Enter to edit the title, Ctrl+Up/Down to change the priority (with a
// selection); with Shift, T, D, L and N edit tags, due date, list and note.
// While no task has the list's focus, Up, Down, Home, End, Page Up and
// Page Down without Ctrl choose the first task (the list draws no focus
// mark, so its own first move, which only marks the first task, showed
// nothing); End then goes on to the last through the list's own move.
// Space (tick) and F2 (edit the title) act on the task at the focus: with
// none chosen, that task, which no mark shows (a fold moved the focus to
// the next task shown), is chosen first and the key does nothing more;
// Down too, which would go on past it. With several chosen, Space ticks
// them all (TickTasks).
TListKeyDecision ListKeyDecision(unsigned key, bool shift, bool ctrl, bool hasSelection, bool sidePanelVisible,
                                 bool hasFocusedTask = true, bool severalChosen = false);

// ---- Hot zones ---------------------------------------------------------------------

enum class THotZone { None, Priority, DueDate, Tags };
// Both edges included.
bool PointInRect(int left, int top, int right, int bottom, int x, int y);
bool PointInRect(const TRect32& rect, int x, int y);
// The zone at X inside list column Column (0 title, 1 tags, 2 due date),
// X counted from the left edge of that column's header: the priority icon
// at 17..31 of column 0, the date at 0..14 of column 2, the tags at 0..14
// of column 1. Only in the visible rows: PointerY - HeaderHeight must not
// pass ViewHeight.
THotZone HotZoneAt(int column, int x, int pointerY, int headerHeight, int viewHeight);

// ---- Title edits ---------------------------------------------------------------------

// The caption without a leading numbering prefix ("<digits>. "), removed
// once; any other text is left whole.
std::string StripNumberingPrefix(const std::string& caption);
// The end of an in-place title edit. A blank title is refused (the task
// keeps its title, False); otherwise the title (trimmed) is stored, the
// task's entry in Data.Tasks follows, and the database is modified.
bool ApplyTitleEdit(TuTask& task, const std::string& caption, TuData& data);

// ---- Delete --------------------------------------------------------------------------

// Takes the given tasks out of Data.Tasks (those not in it are skipped)
// and hands them over: the list may still show them, so the caller frees
// them (by dropping the result) only after the list is rebuilt. Marks the
// database modified when any task was removed.
std::vector<std::unique_ptr<TuTask>> DeleteTasks(TuData& data, const std::vector<TuTask*>& tasks);

// ---- Lists -----------------------------------------------------------------------------

// The list name of a Folders entry: the text before its first 0xF7.
std::string FolderEntryName(const std::string& entry);
// The icon of a Folders entry (the number between the first and second
// 0xF7); False when it is not a number.
bool TryFolderEntryIcon(const std::string& entry, int& icon);
// The names of the list menus ("Move To List", "Add to list" and the
// filter bar's), one per Folders entry with a name, as the side tree has
// its nodes (an item's Tag is its place).
std::vector<std::string> ListMenuCaptions(const gcl::TStrings& folders);
// The item shown in bold in "Move To List" for a task of list Folder: the
// place among ListMenuCaptions of the first entry whose name is exactly
// that list, -1 when none.
int MoveToListMark(const gcl::TStrings& folders, const std::string& folder);
// Moves the tasks to the list Name (cut to 50 characters).
void MoveTasksToList(const std::vector<TuTask*>& tasks, const std::string& name, TuData& data);

// ---- Quick panels on the chosen tasks -----------------------------------------------------

// The date panel's OK: Due := Date (as KeptDue keeps it) when Checked,
// else 0. The result is the due column's new text: DateToStr (Date) for a
// due year 1902 or later.
std::string ApplyDueEdit(TuTask& task, bool checked, double date, TuData& data);
std::string ApplyDueEdit(const std::vector<TuTask*>& tasks, bool checked, double date, TuData& data);
// The tags panel's OK: Tags := NormalizeTagList (Text); new tags go to
// Data.Tags. The result is the new Tags.
std::string ApplyTagsEdit(TuTask& task, const std::string& text, TuData& data, bool* tagsAdded = nullptr);
std::string ApplyTagsEdit(const std::vector<TuTask*>& tasks, const std::string& text, TuData& data,
                          bool* tagsAdded = nullptr);
// The date the date panel starts from: the task's due date when it has
// one, else Now.
double DuePanelStartDate(const TuTask& task, double now);

// ---- Dragging between groups -------------------------------------------------------------

// Whether the list accepts a drag of its own items (grouping on).
bool ListAcceptsDrag(int groupMode);
// Dropping Tasks on Target's group: by GroupMode the tasks take Target's
// list (1), due date (2), priority (3) or tags (4). Tasks not in
// Data.Tasks are skipped. False when nothing was applied.
bool ApplyDrop(int groupMode, const TuTask& target, const std::vector<TuTask*>& tasks, TuData& data);

} // namespace qelvo
