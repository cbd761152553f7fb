// How the task list presents the tasks: the view state of the main
// window, the texts, images and check state of a task's item, the paint
// style of a cell, group keys, captions, images and order for each
// grouping mode, item order and numbering. RefreshTaskList's whole rule,
// from the database and a filter to ordered groups of tasks, is
// BuildTaskListLayout; the list view then only shows the result.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/logic/FilterBar.h"
#include "gcl/rtl/SlotPool.h"
#include "app/logic/HtmlReport.h"
#include "data/uDataMan.h"

namespace qelvo {

// The list chosen in the side tree; copied into every new task.
struct TFolderRef {
    std::int32_t Icon = 0;
    std::string Name;  // at most 50 characters; "" = every list ("All")
};

// Grouping modes (absolute values of TLiveSettings::GroupMode).
enum : int { gmNone = 0, gmList = 1, gmDate = 2, gmPriority = 3, gmTags = 4 };

// The main window's view state.
struct TLiveSettings {
    TFolderRef CurrentFolder;
    TFieldFilter DateFilter;  // copied whole into the due-date condition
    std::string TagFilter;    // comma list of the tags chosen in the tree; "" = all
    // 0 none, 1 list, 2 due date, 3 priority, 4 tags; negative while
    // grouping is off but the mode is remembered.
    int GroupMode = gmList;
    // The filter of the last refresh.
    std::unique_ptr<TFilterSystem> Filter;
};
extern TLiveSettings LiveSettings;

inline constexpr std::array<const char*, 3> PriorityCaptions = {"Low", "Normal", "High"};

// ---- One item ------------------------------------------------------------------

// The column texts: column 1 is the tags with ", " between them, column 2
// the due date ("Today", "Tomorrow" or in DateTimeFormat; "" without one).
std::string TagsCaption(std::string_view tags);
std::string DueCaption(double due, double now, const std::string& dateTimeFormat);

struct TTaskItemView {
    std::array<std::string, 3> Captions;
    std::array<int, 3> Images{};  // column 0 the priority (0..2), the others 3
    bool Checked = false;
};
TTaskItemView TaskItemView(const TuTask& task, double now, const std::string& dateTimeFormat);
// One cell of the view above, made when the list paints it: the text of
// Column ("" past the third; Number > 0 puts "Number. " before the title)
// and its image (-1 past the third).
std::string TaskCellCaption(const TuTask& task, int column, int number, double now,
                            const std::string& dateTimeFormat);
int TaskCellImage(const TuTask& task, int column);
// False for a task the list does not show (none, or an empty title).
bool ShowsAsItem(const TuTask* task);

// Ticking an item's check box: Done follows at once and the database is
// modified. False when nothing changed.
bool ApplyItemCheck(TuTask& task, bool checked, TuData& data);

struct TItemPaintStyle {
    bool StrikeOut = false;   // done
    bool Italic = false;      // overdue
    bool UseColor = false;    // colours by priority
    std::int32_t Color = 0;   // 00BBGGRR
    int FontSize = 11;
};
inline constexpr const char* ListFontName = "Arial";
inline constexpr std::array<std::int32_t, 3> ListPriorityColors = {0x837467, 0x000000, 0x0000CC};
// Group captions: bold, this colour, the list font size.
inline constexpr std::int32_t GroupCaptionColor = 0x003B3B3B;
// A selected row keeps the selection's own text colour: the priority
// colours are for the rows on the list's background.
TItemPaintStyle ItemPaintStyle(const TuTask* task, bool checked, double now, bool distinguishPriorities,
                               int listFontSize, bool selected = false);

// ---- Grouping ------------------------------------------------------------------------

// Texts and the int each stands for: an open table of slots (the text's
// hash, its value, where its bytes lie in one buffer of copies), so that a
// look-up touches one slot and one text rather than a node, its string
// and a bucket list.
class TTextKeys {
public:
    // The key of Text; -1 when the text was not met.
    int Find(std::string_view text) const noexcept;
    void Add(std::string_view text, int key);
    static std::uint32_t Hash(std::string_view text) noexcept;

private:
    struct TSlot {
        std::uint32_t Hash = 0;
        std::int32_t Key = -1;  // -1: free
        std::uint32_t At = 0;   // the text's first byte in FBytes
        std::uint32_t Size = 0;
    };
    void Grow();
    std::vector<TSlot> FSlots;
    std::string FBytes;
    size_t FCount = 0;
};

// The keys of date and tag groups: one entry per distinct date text or
// tag set seen, kept for the whole run, so a group's key stays the same
// across refreshes.
class TGroupKeys {
public:
    // A task's key is mostly found in place, from its whole day or its
    // tags text's number: inline, as the layout asks for every task.
    int DateKey(const TuTask& task) {
        const double due = task.Due;
        if (std::fabs(due) < 1e8) {
            const int64_t at = int64_t(static_cast<int32_t>(due)) - FDayBase;
            if (at >= 0 && at < static_cast<int64_t>(FDaySlots.size()))
                if (const int key = FDaySlots[static_cast<size_t>(at)]; key >= 0) return key;
        }
        return NewDateKey(task);
    }
    int TagKey(const TuTask& task) {
        if (task.Tags.empty()) {
            if (FNoTagsKey >= 0) return FNoTagsKey;
        } else if (const std::uint32_t number = task.Tags.Memo(); number > 0 && number < FKeyOfTagText.size()) {
            if (const int key = FKeyOfTagText[number]; key >= 0) return key;
        }
        return NewTagKey(task);
    }
    // The date text or tag set of a key ("" when unknown).
    std::string DateText(int key) const;
    std::string TagText(int key) const;
    // The same, read in place (valid until the next key is made).
    std::string_view TagTextView(int key) const;
    // How many tag set keys were made: at most that many groups by tags,
    // unless new tag sets come.
    int TagKeyCount() const noexcept;

private:
    int NewDateKey(const TuTask& task);
    int NewTagKey(const TuTask& task);
    int DateTextKey(double due);
    std::unique_ptr<gcl::TStringList> FDateGroupKeys;
    std::unique_ptr<gcl::TStringList> FTagGroupKeys;
    // The first key of each date text and of each tag set, and of the
    // empty tag text, so that a key is found without a pass over the keys.
    // A tag set is found by its normalised text (NormalTagSet).
    std::unordered_map<std::string, int> FDateIndex;
    TTextKeys FTagIndex;
    int FNoTagsKey = -1;
    // The key found for each whole day and for each tags text as written,
    // so that a task needs neither a date text nor a tag set of its own
    // when its day or text was seen before.
    std::unordered_map<int32_t, int> FDayKeys;
    // The same for the days near the others (real dates lie close
    // together, and tasks without one are on day 0), at their places in a
    // vector from FDayBase (-1: not seen yet); far days stay in the map.
    int* DaySlot(int32_t day);
    std::vector<int> FDaySlots;
    int64_t FDayBase = 0;
    // The key of each tags text as written, by the text's number among
    // every tags text the run has met (TagTextNumber; -1: not seen yet).
    std::vector<int> FKeyOfTagText;
    // A tags text's set (TagSetViews) as one text, its items joined by
    // commas, made in these reused buffers without a block per tag: the
    // first grouping meets tens of thousands of texts.
    std::string_view NormalTagSet(std::string_view text);
    std::string FSetBytes;
    std::vector<std::string_view> FSetItems;
    std::string FSetText;
};

// The number of a tags text as written among every one the run has met
// (1 up, the same text the same number for the whole run). A task's tags
// text keeps its number as its memo, so it is found by the text once and
// then read from the task, until the text changes.
std::uint32_t TagTextNumber(const TTaskText& tags);

// The group key of a task for Mode (absolute value); mode 0 gives -1.
int AutoGroupGetKey(int mode, const TuTask& task, const TuData& data, TGroupKeys& keys);
// The caption of the group with Key, opened by Task.
std::string GroupCaption(int mode, int key, const TuTask& task, const TGroupKeys& keys);
// The group image (Others16): list none (-1), date 10, priority the first
// task's priority, tags 46.
int GroupImageIndex(int mode, const TuTask& firstTask);

// A group's tasks, kept in the class library's small-block pools: a layout
// of thousands of small groups takes no heap block per group.
using TTaskVector = std::vector<TuTask*, gcl::TSlotAllocator<TuTask*>>;

struct TTaskGroup {
    int Key = -1;
    std::string Caption;  // empty when the layout was made without captions
    int ImageIndex = -1;
    TTaskVector Tasks;
    // The task that opened the group (the first met in the database): the
    // group's caption and image are made from it and the key.
    const TuTask* First = nullptr;
    // Where the done marks of the group's tasks begin in its layout's Done.
    std::uint32_t DoneAt = 0;
};

// Group order: lists in table order (unknown lists first), dates
// ascending (no date first), priorities high to low; tags and none keep
// the creation order. Groups that all differ are sorted in O(n log n);
// groups that tie (or have no first task) keep the order an exchange of
// pairs on the first task of each group gives them.
void SortGroups(int mode, std::vector<TTaskGroup>& groups);
// That exchange of pairs itself: i from the first group, j from the one
// after it, groups i and j exchanged when j comes first; O(n^2).
void ExchangeSortGroups(int mode, std::vector<TTaskGroup>& groups);

// Whether A sorts after B for a sort column (1 title, 2 tags, 3 due date;
// other columns compare nothing).
bool TaskSortsAfter(int column, const TuTask& a, const TuTask& b);
// The order of the items for a sort column: ascending by TaskSortsAfter,
// equal items in their given order; descending is that order reversed
// (equal items too). Column 0 (no header clicked) leaves the order
// unchanged. O(n log n).
void SortItems(int column, bool ascending, std::vector<TuTask*>& items);
void SortItems(int column, bool ascending, TTaskVector& items);

// The order of the positions of Tasks for a sort column, as SortItems
// orders them ascending (equal tasks by position). Null when no such
// order exists (column outside 1..3, or a due date that is not a number).
// Made into Order.
bool SortedPositions(int column, const std::vector<TuTask*>& tasks, std::vector<std::uint32_t>& order);

// The ascending order of every task of the database for one sort column,
// kept from one refresh to the next, so that a refresh that changes only
// what is shown walks the kept order rather than sorting again. The kept
// order is checked against the tasks on each use (the same tasks in the
// same places, still in order by their present texts or dates), so an edit
// made anywhere needs to tell it nothing: a changed task makes it sort anew.
// Told of a database that marks every change (TrustChangeMarkOf), it reads
// no task while the database's change mark and the tasks are the same.
class TTaskOrderCache {
public:
    // The positions of Tasks (the database's tasks in their order) sorted
    // as SortedPositions sorts them; null when they have no such order.
    const std::vector<std::uint32_t>* Order(int column, const std::vector<TuTask*>& tasks);
    // How many times the order was made by sorting every task (rather
    // than kept, or mended where a few tasks changed, came or went).
    int GetSortCount() const noexcept { return FSortCount; }
    // Each list of Lists (tasks of Tasks, in the order a list shows them;
    // no task twice) ordered as SortedPositions orders it: Positions[l]
    // gets list l's positions, taken from the kept order of Tasks (kept or
    // mended as Order keeps it), so that a list sorted again by a column
    // header reads no text of a task whose key was kept. Tasks with equal
    // keys keep their order in the list. False (Positions undefined) when
    // Tasks has no such order or a task of the lists is not among Tasks.
    bool SortLists(int column, const std::vector<TuTask*>& tasks, const std::vector<std::vector<TuTask*>>& lists,
                   std::vector<std::vector<std::uint32_t>>& positions);
    // A database whose every change of the content gives a new change mark
    // (TuData::ChangeMark), as the program's edits do: the same tasks in
    // the same places under the mark the order was last made or checked
    // under are taken as they were, and no task is read again. Null (as
    // at first): every use checks the tasks.
    void TrustChangeMarkOf(const TuData* data) noexcept {
        FMarkOf = data;
        FMark = 0;
    }
    // Told by an edit of that database that no task it kept changed its
    // key (a done mark, a priority, a note; tasks gone; tasks added at the
    // end), the order follows at once: the tasks gone leave it, a few
    // added are put in their places, and the database's present mark is
    // taken, so that the next use reads no task. Before: the database's
    // mark before the edit. An order not up to date at Before, or tasks
    // that came otherwise or too many, leave the next use to check the
    // tasks as before. True when it followed.
    bool Follow(std::uint64_t before);
    // Whether the order for Column stands for Data's tasks as they are,
    // with nothing to read or check: it was made, checked or followed for
    // them under Data's present change mark (a database it was told to
    // trust). Reads no task.
    bool UpToDate(int column, const TuData& data) const noexcept;

    // A task's key as kept: its first 24 folded bytes and the text's
    // length while they hold it whole (255 past them), or its due date.
    struct TKey {
        std::uint64_t A = 0;
        std::uint64_t B = 0;
        std::uint64_t C = 0;
        std::uint32_t Size = 0;
        friend bool operator==(const TKey& x, const TKey& y) noexcept {
            return x.A == y.A && x.B == y.B && x.C == y.C && x.Size == y.Size;
        }
    };

private:
    // Keeps or mends the order for Tasks; false when it must be made anew.
    bool Keep(int column, const std::vector<TuTask*>& tasks);
    int FColumn = 0;
    std::vector<TuTask*> FTasks;
    std::vector<std::uint32_t> FOrder;
    // The key of each task at its position when the order was made.
    std::vector<TKey> FKeys;
    // The places k in the order where the tasks at k - 1 and k have equal
    // keys (they are told apart by the rest of their texts).
    std::vector<std::uint32_t> FTies;
    int FSortCount = 0;
    // Sorted by title, each task whose key is kept has this number (of
    // this order, made once in the run) as its title's memo; a title that
    // changed since has lost it, so the others need not be read again.
    // 0: no memos (none left to take).
    std::uint32_t FStamp = 0;
    const TuData* FMarkOf = nullptr;
    // FMarkOf's change mark when the order was last made or checked (0: none).
    std::uint64_t FMark = 0;
};

// A click on a column header: the column's Tag flips between 1 and 0 (any
// other value becomes 1), and the list sorts by that column (index + 1),
// ascending when the new Tag is 1. The first click sorts ascending.
void HeaderClick(int& columnTag, int columnIndex, int& sortColumn, bool& sortAscending);

// A grouping action (Tag = its mode) after it toggled itself: the new
// GroupMode (negative while the "Nothing" button is checked, remembering
// the mode), whether "Nothing" gets checked (an action clicked off), and
// whether the list regroups by itself.
struct TGroupingChange {
    int GroupMode = 0;
    bool CheckNoGroup = false;
    bool AutoRegroup = false;
};
TGroupingChange GroupingAction(int tag, bool senderChecked, bool noGroupChecked);

// The task list's row height for a list font size on a screen of
// PixelsPerInch dots per inch: the text is sized in points, so the rows
// grow with the screen as the text does (22 pixels for 11 points at 96).
inline int ListRowHeight(int listFontSize, int pixelsPerInch) {
    return ((listFontSize + 11) * pixelsPerInch + 48) / 96;
}

// The height of a group's header (the group's top margin) that holds a
// caption CaptionHeight pixels high above a band BandHeight pixels high:
// the list's own 30 pixels, or as much more as a large list font needs.
inline constexpr int MinGroupHeaderHeight = 30;
inline int GroupHeaderHeight(int captionHeight, int bandHeight) {
    return captionHeight + bandHeight > MinGroupHeaderHeight ? captionHeight + bandHeight : MinGroupHeaderHeight;
}

// "n. " + title: the numbered caption of the item at global index Index.
std::string NumberedCaption(int index, const std::string& title);

// ---- The whole list ----------------------------------------------------------------------

struct TTaskListState {
    int GroupMode = gmList;     // LiveSettings.GroupMode
    bool Grouped = true;        // the "Nothing" button is not checked
    int SortColumn = 0;
    bool SortAscending = false;
    bool CountItems = true;     // numbering
    // Whether the layout names its groups (GroupCaption); a list that asks
    // for each caption when it shows the group needs none.
    bool GroupCaptions = true;
};

struct TTaskListLayout {
    bool Grouped = false;
    std::vector<TTaskGroup> Groups;  // one unnamed group when not grouped
    // Whether each task shown is done (1) or not (0), a group's tasks in
    // their order from its DoneAt on, read while the walk over the
    // database met the task: the list's items take their checks from here
    // rather than from the tasks, which they would meet in no order of
    // memory. Empty when the layout does not give them (the tasks tell).
    std::vector<std::uint8_t> Done;
};

// The places of the tasks that the last searches of the titles passed,
// kept so that a search text that holds one of those texts (a character
// typed, a paste around the text, Backspace back to a text typed before)
// tests only the tasks that text passed: a title without a text holds no
// longer one with it in it. The kept places serve only a filter whose
// other conditions are the same, over the same tasks in the same places,
// and never a text the same as the last one (the refresh after a command
// that changed tasks tests every task again). They rest on one rule: only
// tasks the list shows are edited between refreshes, so every task edited
// since a kept pass is among its places, and those are tested whole again.
class TSearchNarrowing {
public:
    // Before the pass of Filter over Tasks: the places that may pass, in
    // order (valid until Keep), or null when every task is tested.
    // Record: whether the pass's result is to be kept (Keep).
    const std::vector<std::uint32_t>* Begin(const TFilterSystem& filter, const TuTaskList& tasks, bool& record);
    // A vector to record the pass in (room kept from earlier passes, and
    // not the candidates').
    std::vector<std::uint32_t> TakeBuffer();
    // After a pass that Begin said to record: the places that passed, in order.
    void Keep(std::vector<std::uint32_t> passed);
    // Drops what is kept and its memory (another database, or tasks freed).
    // (Otherwise the memory stays for the next search, as the list's items'
    // does: under Wine new pages cost a fault each.)
    void Forget() noexcept;
    // Whether the last Begin gave candidates.
    bool GetNarrowed() const noexcept { return FNarrowed; }

private:
    // One search kept: its text as typed and folded, and the places it passed.
    struct TKept {
        std::string Text;
        std::string Folded;
        std::vector<std::uint32_t> Passed;
    };
    static constexpr size_t NoEntry = static_cast<size_t>(-1);
    static constexpr size_t MaxKept = 16;
    // Gives Entry's room to the spare vector when that has less.
    void Recycle(std::vector<std::uint32_t>& entry) noexcept;
    TFieldsFilter FConditions;  // the kept passes' conditions, as built (before the pass)
    std::vector<TuTask*> FTasks;
    // Each text holds the one before it; the last is the latest search.
    std::vector<TKept> FKept;
    std::vector<std::uint32_t> FSpare;
    std::string FText, FFolded;  // of the pass begun
    size_t FFrom = NoEntry;      // the entry whose places the pass tests
    bool FNarrowed = false;
    bool FValid = false;
};

// The places of the tasks the last pass of a filter over every task let
// through, kept so that a refresh that changes only the grouping, the
// order or the numbering takes them again rather than testing every task:
// the filter's answer holds while its conditions, the database's content
// (its change mark, TuData::ChangeMark) and the tasks in their places are
// the same. Nothing the filter reads lies elsewhere: a date condition
// holds its days as dates, not as "today".
class TFilterAnswer {
public:
    // Before a pass of Filter over Data: the places that passed last time,
    // in order, when that answer still holds (valid until Keep or
    // Forget); else null, and the pass is to be kept with Keep.
    const std::vector<std::uint32_t>* Begin(const TFilterSystem& filter, const TuData& data);
    // A vector to record that pass in (the room of the answer dropped).
    std::vector<std::uint32_t> TakeBuffer();
    // After a pass Begin gave no answer for: the places that passed.
    void Keep(const std::vector<std::uint32_t>& passed);
    void Keep(std::vector<std::uint32_t>&& passed);
    // Drops the answer and its memory.
    void Forget() noexcept;
    // How many passes Begin answered (rather than leaving them to the filter).
    int GetAnswered() const noexcept { return FAnswered; }

private:
    // A number standing for the tasks in their places (each task's
    // address, in order), so that no copy of them is kept.
    static std::uint64_t TasksKey(const TuTaskList& tasks) noexcept;
    TFieldsFilter FConditions;
    const TuData* FData = nullptr;
    std::uint64_t FMark = 0;
    std::uint64_t FTasksKey = 0;
    int FCount = -1;
    std::vector<std::uint32_t> FPassed;
    bool FValid = false;
    int FAnswered = 0;
};

// Every task of Data passing Filter, grouped, in group and item order.
// With an order cache, the items are ordered by the kept order where that
// is quicker than sorting them (the layout is the same either way); with
// a narrowing, a growing search tests only the tasks its last text passed;
// with an answer, a filter over unchanged content tests no task again.
TTaskListLayout BuildTaskListLayout(TuData& data, TFilterSystem& filter, const TTaskListState& state,
                                    TGroupKeys& keys, TTaskOrderCache* orders = nullptr,
                                    TSearchNarrowing* narrowing = nullptr, TFilterAnswer* answer = nullptr);
// A refresh: a new filter built from the bars (kept in LiveSettings.Filter,
// replacing the previous one), then the layout of the list.
TTaskListLayout RefreshTaskListLayout(TuData& data, const TFilterBarState& bar, const TTaskListState& state,
                                      TGroupKeys& keys, TTaskOrderCache* orders = nullptr,
                                      TSearchNarrowing* narrowing = nullptr, TFilterAnswer* answer = nullptr);
// The list as the report and the export read it: the column texts the
// list shows (numbered when CountItems), groups, nothing selected.
TReportList LayoutToReportList(const TTaskListLayout& layout, const TTaskListState& state, double now,
                               const std::string& dateTimeFormat);

} // namespace qelvo
