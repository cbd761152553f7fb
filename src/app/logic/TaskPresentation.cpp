// Item texts, paint style, grouping, group and item order, numbering.
#include "app/logic/TaskPresentation.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

TLiveSettings LiveSettings;

std::string TagsCaption(std::string_view tags) {
    std::string out;
    out.reserve(tags.size() + static_cast<size_t>(std::count(tags.begin(), tags.end(), ',')));
    for (char c : tags) {
        out += c;
        if (c == ',') out += ' ';
    }
    return out;
}

std::string DueCaption(double due, double now, const std::string& dateTimeFormat) {
    if (gcl::YearOf(due) <= 1901) return std::string();
    const double day = gcl::DateOf(due);
    if (day == gcl::DateOf(now)) return "Today";
    if (day == gcl::DateOf(gcl::IncDay(now, 1))) return "Tomorrow";
    return gcl::FormatDateTime(dateTimeFormat, due);
}

TTaskItemView TaskItemView(const TuTask& task, double now, const std::string& dateTimeFormat) {
    TTaskItemView v;
    v.Captions[0] = task.Title;
    v.Captions[1] = TagsCaption(task.Tags);
    v.Captions[2] = DueCaption(task.Due, now, dateTimeFormat);
    v.Images = {static_cast<int>(task.Priority), 3, 3};
    v.Checked = task.Done;
    return v;
}

std::string TaskCellCaption(const TuTask& task, int column, int number, double now,
                            const std::string& dateTimeFormat) {
    switch (column) {
    case 0: return number > 0 ? NumberedCaption(number - 1, task.Title) : std::string(task.Title);
    case 1: return TagsCaption(task.Tags);
    case 2: return DueCaption(task.Due, now, dateTimeFormat);
    default: return std::string();
    }
}

int TaskCellImage(const TuTask& task, int column) {
    if (column == 0) return static_cast<int>(task.Priority);
    return column == 1 || column == 2 ? 3 : -1;
}

bool ShowsAsItem(const TuTask* task) {
    return task != nullptr && !task->Title.empty();
}

bool ApplyItemCheck(TuTask& task, bool checked, TuData& data) {
    if (task.Done == checked) return false;
    task.Done = checked;
    data.Modified = true;
    return true;
}

TItemPaintStyle ItemPaintStyle(const TuTask* task, bool checked, double now, bool distinguishPriorities,
                               int listFontSize, bool selected) {
    TItemPaintStyle s;
    s.StrikeOut = checked;
    if (task && task->Due > 0 && gcl::DateOf(now) > gcl::DateOf(task->Due)) s.Italic = true;
    if (distinguishPriorities && task && !selected) {
        s.UseColor = true;
        s.Color = ListPriorityColors[task->Priority <= 2 ? task->Priority : 1];
    }
    s.FontSize = listFontSize;
    return s;
}

// ---- Grouping ---------------------------------------------------------------------------

int TGroupKeys::NewDateKey(const TuTask& task) {
    if (!FDateGroupKeys) FDateGroupKeys = std::make_unique<gcl::TStringList>();
    // The date text depends on the whole day only.
    const bool byDay = std::isfinite(task.Due) && std::fabs(task.Due) < 1e8;
    const int32_t day = byDay ? static_cast<int32_t>(std::trunc(task.Due)) : 0;
    int* slot = byDay ? DaySlot(day) : nullptr;
    if (slot && *slot >= 0) return *slot;
    if (byDay && !slot) {
        const auto seen = FDayKeys.find(day);
        if (seen != FDayKeys.end()) return seen->second;
    }
    const int key = DateTextKey(task.Due);
    if (slot)
        *slot = key;
    else if (byDay)
        FDayKeys.emplace(day, key);
    return key;
}

int* TGroupKeys::DaySlot(int32_t day) {
    // At most this many days in the vector (4 MB of keys).
    constexpr int64_t MaxDays = int64_t(1) << 20;
    int64_t at = int64_t(day) - FDayBase;
    if (at < 0 || at >= static_cast<int64_t>(FDaySlots.size())) {
        const int64_t end = FDayBase + static_cast<int64_t>(FDaySlots.size());
        const int64_t low = FDaySlots.empty() ? int64_t(day) - 512 : std::min<int64_t>(FDayBase, int64_t(day) - 512);
        const int64_t high = FDaySlots.empty() ? int64_t(day) + 512 : std::max<int64_t>(end, int64_t(day) + 512);
        if (high - low > MaxDays) return nullptr;
        std::vector<int> slots(static_cast<size_t>(high - low), -1);
        std::copy(FDaySlots.begin(), FDaySlots.end(), slots.begin() + (FDayBase - low));
        FDaySlots.swap(slots);
        FDayBase = low;
        at = int64_t(day) - FDayBase;
    }
    return &FDaySlots[static_cast<size_t>(at)];
}

int TGroupKeys::DateTextKey(double due) {
    std::string s = gcl::DateToStr(due);
    // Date texts are compared exactly (the list's own look-up ignores A-Z
    // case, which never matters for texts made by one format).
    const auto found = FDateIndex.find(s);
    if (found != FDateIndex.end()) return found->second;
    const int key = FDateGroupKeys->Add(s);
    FDateIndex.emplace(std::move(s), key);
    return key;
}

int TGroupKeys::NewTagKey(const TuTask& task) {
    if (!FTagGroupKeys) FTagGroupKeys = std::make_unique<gcl::TStringList>();
    // A task takes the first key naming the same set of tags: one without
    // tags, or with separators only, that of the empty set.
    if (task.Tags.empty()) {
        if (FNoTagsKey < 0) {
            FNoTagsKey = FTagIndex.Find(std::string_view());
            if (FNoTagsKey < 0) {
                FNoTagsKey = FTagGroupKeys->Add(std::string());
                FTagIndex.Add(std::string_view(), FNoTagsKey);
            }
        }
        return FNoTagsKey;
    }
    const std::string_view text = task.Tags;
    const std::uint32_t number = TagTextNumber(task.Tags);
    if (number < FKeyOfTagText.size() && FKeyOfTagText[number] >= 0) return FKeyOfTagText[number];
    const std::string_view set = NormalTagSet(text);
    int key = FTagIndex.Find(set);
    if (key < 0) {
        key = FTagGroupKeys->Add(std::string(text));
        FTagIndex.Add(set, key);
    }
    if (number >= FKeyOfTagText.size()) FKeyOfTagText.resize(std::max<size_t>(number + 1, 2 * FKeyOfTagText.size()), -1);
    FKeyOfTagText[number] = key;
    return key;
}

std::string_view TGroupKeys::NormalTagSet(std::string_view text) {
    TagSetViews(text, FSetBytes, FSetItems);
    if (FSetItems.size() == 1) return FSetItems.front();
    FSetText.clear();
    for (const std::string_view item : FSetItems) {
        if (!FSetText.empty()) FSetText += ',';
        FSetText += item;
    }
    return FSetText;
}

namespace {

// Texts as written numbered 1 up for the whole run, each text's number
// kept as its memo. (Only the program's thread groups tasks.)
class TTextNumbers {
public:
    std::uint32_t Number(const TTaskText& text) {
        if (const std::uint32_t memo = text.Memo()) return memo;
        int number = FNumbers.Find(text.View());
        if (number < 0) {
            number = ++FCount;
            FNumbers.Add(text.View(), number);
        }
        text.SetMemo(static_cast<std::uint32_t>(number));
        return static_cast<std::uint32_t>(number);
    }

private:
    TTextKeys FNumbers;
    int FCount = 0;
};

TTextNumbers& TagTexts() {
    static TTextNumbers numbers;
    return numbers;
}

// The list names of the tasks (Folder), numbered the same way.
TTextNumbers& ListTexts() {
    static TTextNumbers numbers;
    return numbers;
}

} // namespace

std::uint32_t TagTextNumber(const TTaskText& tags) {
    return TagTexts().Number(tags);
}

namespace {
// Whether N bytes at A and B are the same, four at a time: the texts are
// short and met once per task (the run-time library's memcmp is a call
// and a byte loop on some systems).
bool SameBytes(const char* a, const char* b, size_t n) noexcept {
    for (; n >= 4; a += 4, b += 4, n -= 4) {
        std::uint32_t x, y;
        std::memcpy(&x, a, 4);
        std::memcpy(&y, b, 4);
        if (x != y) return false;
    }
    for (; n > 0; ++a, ++b, --n)
        if (*a != *b) return false;
    return true;
}
} // namespace

std::uint32_t TTextKeys::Hash(std::string_view text) noexcept {
    // Four bytes a step, the rest one by one: a text is hashed once per
    // task on every refresh grouped by tags.
    std::uint32_t h = 2166136261u ^ static_cast<std::uint32_t>(text.size());
    const char* p = text.data();
    size_t n = text.size();
    for (; n >= 4; p += 4, n -= 4) {
        std::uint32_t word;
        std::memcpy(&word, p, 4);
        h = (h ^ word) * 0x01000193u;
        h ^= h >> 13;
    }
    for (; n > 0; ++p, --n) h = (h ^ static_cast<unsigned char>(*p)) * 16777619u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    return h ^ (h >> 16);
}

int TTextKeys::Find(std::string_view text) const noexcept {
    if (FSlots.empty()) return -1;
    const std::uint32_t hash = Hash(text);
    const size_t mask = FSlots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const TSlot& slot = FSlots[i];
        if (slot.Key < 0) return -1;
        if (slot.Hash == hash && slot.Size == text.size() && SameBytes(FBytes.data() + slot.At, text.data(), text.size()))
            return slot.Key;
    }
}

void TTextKeys::Add(std::string_view text, int key) {
    // At most half the slots are used, so a look-up soon meets a free one.
    if (2 * (FCount + 1) > FSlots.size()) Grow();
    const std::uint32_t hash = Hash(text);
    const size_t mask = FSlots.size() - 1;
    size_t i = hash & mask;
    while (FSlots[i].Key >= 0) i = (i + 1) & mask;
    FSlots[i] = TSlot{hash, key, static_cast<std::uint32_t>(FBytes.size()), static_cast<std::uint32_t>(text.size())};
    FBytes.append(text);
    ++FCount;
}

void TTextKeys::Grow() {
    std::vector<TSlot> old(FSlots.empty() ? 64 : FSlots.size() * 2);
    old.swap(FSlots);
    const size_t mask = FSlots.size() - 1;
    for (const TSlot& slot : old) {
        if (slot.Key < 0) continue;
        size_t i = slot.Hash & mask;
        while (FSlots[i].Key >= 0) i = (i + 1) & mask;
        FSlots[i] = slot;
    }
}

std::string TGroupKeys::DateText(int key) const {
    if (!FDateGroupKeys || key < 0 || key >= FDateGroupKeys->GetCount()) return std::string();
    return FDateGroupKeys->GetRef(key);
}

std::string TGroupKeys::TagText(int key) const { return std::string(TagTextView(key)); }

int TGroupKeys::TagKeyCount() const noexcept { return FTagGroupKeys ? FTagGroupKeys->GetCount() : 0; }

std::string_view TGroupKeys::TagTextView(int key) const {
    if (!FTagGroupKeys || key < 0 || key >= FTagGroupKeys->GetCount()) return std::string_view();
    return FTagGroupKeys->GetRef(key);
}

int AutoGroupGetKey(int mode, const TuTask& task, const TuData& data, TGroupKeys& keys) {
    switch (mode < 0 ? -mode : mode) {
    case gmList: return IndexOfStart(*data.Folders, task.Folder + FieldSeparator);
    case gmDate: return keys.DateKey(task);
    case gmPriority: return task.Priority;
    case gmTags: return keys.TagKey(task);
    default: return -1;
    }
}

std::string GroupCaption(int mode, int key, const TuTask& task, const TGroupKeys& keys) {
    switch (mode < 0 ? -mode : mode) {
    case gmList: return task.Folder;
    case gmDate: {
        double d = 0;
        if (!gcl::TryStrToDate(keys.DateText(key), d) || d <= 0) return "No Due Date specified";
        return gcl::FormatDateTime("dd mmmm yyyy, dddd", d);
    }
    case gmPriority: return std::string("Priority: ") + PriorityCaptions[key >= 0 && key <= 2 ? key : 1];
    case gmTags: {
        std::string_view t = keys.TagTextView(key);
        // A text of separators names no tag (the empty set's key).
        if (std::all_of(t.begin(), t.end(), [](char c) { return c == ',' || static_cast<unsigned char>(c) <= ' '; }))
            return "No Tags specified";
        if (t.back() == ',') t.remove_suffix(1);
        return TagsCaption(t);
    }
    default: return std::string();
    }
}

int GroupImageIndex(int mode, const TuTask& firstTask) {
    switch (mode < 0 ? -mode : mode) {
    case gmDate: return 10;
    case gmPriority: return firstTask.Priority;
    case gmTags: return 46;
    default: return -1;
    }
}

void SortGroups(int mode, std::vector<TTaskGroup>& groups) {
    mode = mode < 0 ? -mode : mode;
    if (mode != gmList && mode != gmDate && mode != gmPriority) return;
    // Each group's place by one number: its list's key, its first task's
    // day, or its first task's priority (high first). Groups whose numbers
    // all differ have one order, found by sorting the numbers.
    std::vector<std::pair<double, std::uint32_t>> order(groups.size());
    bool distinct = true;
    for (size_t g = 0; g < groups.size() && distinct; ++g) {
        const TTaskGroup& group = groups[g];
        double value = 0;
        if (mode == gmList)
            value = group.Key;
        else if (group.Tasks.empty())
            distinct = false;  // not comparable
        else
            value = mode == gmDate ? gcl::DateOf(group.Tasks.front()->Due) : -double(group.Tasks.front()->Priority);
        distinct = distinct && !std::isnan(value);
        order[g] = {value, static_cast<std::uint32_t>(g)};
    }
    if (distinct) {
        std::sort(order.begin(), order.end());
        for (size_t k = 1; k < order.size() && distinct; ++k) distinct = order[k - 1].first != order[k].first;
    }
    if (distinct) {
        std::vector<TTaskGroup> sorted;
        sorted.reserve(groups.size());
        for (const auto& entry : order) sorted.push_back(std::move(groups[entry.second]));
        groups.swap(sorted);
        return;
    }
    // Groups that tie, or cannot be compared, keep the order the exchange
    // of pairs has always given them.
    ExchangeSortGroups(mode, groups);
}

void ExchangeSortGroups(int mode, std::vector<TTaskGroup>& groups) {
    auto exchange = [mode](const TTaskGroup& gi, const TTaskGroup& gj) {
        if (mode == gmList) return gi.Key > gj.Key;
        if (gi.Tasks.empty() || gj.Tasks.empty()) return false;
        if (mode == gmDate) return gcl::DateOf(gj.Tasks.front()->Due) < gcl::DateOf(gi.Tasks.front()->Due);
        return gi.Tasks.front()->Priority < gj.Tasks.front()->Priority;
    };
    for (size_t i = 0; i + 1 < groups.size(); ++i)
        for (size_t j = i + 1; j < groups.size(); ++j)
            if (exchange(groups[i], groups[j])) std::swap(groups[i], groups[j]);
}

bool TaskSortsAfter(int column, const TuTask& a, const TuTask& b) {
    switch (column) {
    case 1: return gcl::CompareText(a.Title, b.Title) > 0;
    case 2: return gcl::CompareText(a.Tags, b.Tags) > 0;
    case 3: return b.Due < a.Due;
    default: return false;
    }
}

namespace {

// Eight bytes of a text from At on, folded as CompareText folds them, in
// one number that orders as the texts do (a shorter text is padded with
// zero bytes, which order first, as a shorter text does); texts whose
// numbers are equal are told apart by the next eight bytes and the eight
// after them, then by CompareText itself.
[[gnu::always_inline]] inline std::uint64_t FoldedBytes(std::string_view s, size_t at) noexcept {
    // The eight bytes read at once (zeros past the end), the first the
    // highest.
    std::uint64_t key = 0;
    if (at + 8 <= s.size())
        std::memcpy(&key, s.data() + at, 8);
    else
        for (size_t i = at; i < s.size(); ++i) key |= std::uint64_t{static_cast<unsigned char>(s[i])} << (8 * (i - at));
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__);
    key = __builtin_bswap64(key);
    // a..z to A..Z in every byte at once: a byte below 0x80 whose low seven
    // bits lie in 'a'..'z' loses 0x20.
    constexpr std::uint64_t Ones = 0x0101010101010101ull;
    constexpr std::uint64_t High = 0x8080808080808080ull;
    const std::uint64_t low7 = key & ~High;
    const std::uint64_t atLeastA = low7 + (0x80 - 'a') * Ones;
    const std::uint64_t pastZ = low7 + (0x80 - 'z' - 1) * Ones;
    const std::uint64_t lower = atLeastA & ~pastZ & ~key & High;
    return key - (lower >> 2);
}

// One entry of a sort: the prepared key, the position before the sort
// (the last word between equal items, which keeps the sort stable) and
// the task.
struct TSortEntry {
    std::uint64_t Prefix;
    std::uint64_t Prefix2;
    std::uint64_t Prefix3;
    double Due;
    std::uint32_t Position;
    TuTask* Task;
    // The text's length while the three words hold it whole (at most 24
    // bytes), else 255: two entries of the same such length and equal
    // words have texts CompareText finds equal.
    std::uint8_t WholeSize;
};

// The key of a task for a sort column (1 title, 2 tags, 3 due date).
[[gnu::always_inline]] inline void PrepareKey(int column, TuTask* task, std::uint32_t position,
                                              TSortEntry& e) noexcept {
    e.Position = position;
    e.Task = task;
    if (column != 3) {
        const std::string_view text = column == 1 ? task->Title.View() : task->Tags.View();
        e.Prefix = FoldedBytes(text, 0);
        e.Prefix2 = text.size() > 8 ? FoldedBytes(text, 8) : 0;
        e.Prefix3 = text.size() > 16 ? FoldedBytes(text, 16) : 0;
        e.Due = 0;
        e.WholeSize = text.size() <= 24 ? static_cast<std::uint8_t>(text.size()) : 255;
    } else {
        e.Prefix = 0;
        e.Prefix2 = 0;
        e.Prefix3 = 0;
        e.Due = task->Due;
        e.WholeSize = 0;
    }
}

// The keys of every task; false when a due date is not a number (the
// dates have no order then).
bool PrepareKeys(int column, const std::vector<TuTask*>& tasks, std::vector<TSortEntry>& entries) {
    const size_t count = tasks.size();
    entries.resize(count);
    for (size_t i = 0; i < count; ++i) {
        // The tasks and their texts lie scattered over the heap: fetch
        // ahead, the tasks first, then the texts of the tasks come by then.
        if (i + 16 < count) __builtin_prefetch(tasks[i + 16]);
        if (column != 3 && i + 8 < count)
            __builtin_prefetch(column == 1 ? tasks[i + 8]->Title.View().data() : tasks[i + 8]->Tags.View().data());
        PrepareKey(column, tasks[i], static_cast<std::uint32_t>(i), entries[i]);
        if (column == 3 && std::isnan(entries[i].Due)) return false;
    }
    return true;
}

// Whether A sorts before B: by key, then by the whole text, then by
// position.
bool SortsBefore(int column, const TSortEntry& a, const TSortEntry& b) {
    if (column == 3) {
        if (a.Due != b.Due) return a.Due < b.Due;
    } else {
        if (a.Prefix != b.Prefix) return a.Prefix < b.Prefix;
        if (a.Prefix2 != b.Prefix2) return a.Prefix2 < b.Prefix2;
        if (a.Prefix3 != b.Prefix3) return a.Prefix3 < b.Prefix3;
        if (a.WholeSize == b.WholeSize && a.WholeSize <= 24) return a.Position < b.Position;
        const int d = column == 1 ? gcl::CompareText(a.Task->Title, b.Task->Title)
                                  : gcl::CompareText(a.Task->Tags, b.Task->Tags);
        if (d != 0) return d < 0;
    }
    return a.Position < b.Position;
}

// The first word of an entry's key as a number that orders as the key
// does: the first folded bytes, or the due date's bits turned so that
// they order as the dates (nought of either sign alike).
std::uint64_t LeadingKey(int column, const TSortEntry& e) noexcept {
    if (column != 3) return e.Prefix;
    std::uint64_t bits = 0;
    const double due = e.Due == 0 ? 0.0 : e.Due;
    std::memcpy(&bits, &due, sizeof bits);
    return bits >> 63 ? ~bits : bits | (std::uint64_t{1} << 63);
}

// The sorted entries of every task (their positions are the tasks').
// Entries are ordered by their leading key with a radix sort (eight
// passes of a byte, each stable, skipped where every key has the same
// byte), which keeps equal leading keys in the order of their positions;
// the runs of equal leading keys are then sorted by the rest of their
// keys and texts. (The order is the one a sort by SortsBefore makes.)
bool SortedEntries(int column, const std::vector<TuTask*>& tasks, std::vector<TSortEntry>& entries) {
    if (column < 1 || column > 3 || !PrepareKeys(column, tasks, entries)) return false;
    const size_t count = entries.size();
    auto before = [column](const TSortEntry& a, const TSortEntry& b) { return SortsBefore(column, a, b); };
    if (count < 256) {
        std::sort(entries.begin(), entries.end(), before);
        return true;
    }
    struct TRadix {
        std::uint64_t Key;
        std::uint32_t At;  // the entry's place in Entries
    };
    std::vector<TRadix> from(count), to(count);
    for (size_t i = 0; i < count; ++i)
        from[i] = TRadix{LeadingKey(column, entries[i]), static_cast<std::uint32_t>(i)};
    // The bits some key has and the bits every key has: a byte every key
    // has alike orders nothing.
    std::uint64_t some = 0, every = ~std::uint64_t{0};
    for (const TRadix& r : from) {
        some |= r.Key;
        every &= r.Key;
    }
    for (unsigned shift = 0; shift < 64; shift += 8) {
        if ((((some ^ every) >> shift) & 0xFF) == 0) continue;
        std::uint32_t counts[257] = {};
        for (const TRadix& r : from) ++counts[((r.Key >> shift) & 0xFF) + 1];
        for (size_t b = 1; b < 257; ++b) counts[b] += counts[b - 1];
        for (const TRadix& r : from) to[counts[(r.Key >> shift) & 0xFF]++] = r;
        from.swap(to);
    }
    std::vector<TSortEntry> sorted(count);
    for (size_t i = 0; i < count; ++i) sorted[i] = entries[from[i].At];
    // Equal leading keys: by the rest (the due dates are whole keys).
    if (column != 3)
        for (size_t i = 0; i < count;) {
            size_t j = i + 1;
            while (j < count && from[j].Key == from[i].Key) ++j;
            if (j - i > 1) {
                const auto first = sorted.begin() + static_cast<std::ptrdiff_t>(i);
                std::sort(first, first + static_cast<std::ptrdiff_t>(j - i), before);
            }
            i = j;
        }
    entries.swap(sorted);
    return true;
}

} // namespace

bool SortedPositions(int column, const std::vector<TuTask*>& tasks, std::vector<std::uint32_t>& order) {
    order.clear();
    std::vector<TSortEntry> entries;
    if (!SortedEntries(column, tasks, entries)) return false;
    order.resize(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) order[i] = entries[i].Position;
    return true;
}

void SortItems(int column, bool ascending, std::vector<TuTask*>& items) {
    if (column < 1 || column > 3) return;
    // Stable, so equal items keep the database order; descending is the
    // ascending order turned round, so a second header click flips the
    // list exactly. The keys are prepared once per item, so that most
    // comparisons read neither the tasks nor their texts.
    std::vector<std::uint32_t> order;
    if (!SortedPositions(column, items, order)) {
        // A due date that is not a number has no order: the plain sort
        // keeps whatever order it makes of it.
        std::stable_sort(items.begin(), items.end(),
                         [column](const TuTask* a, const TuTask* b) { return TaskSortsAfter(column, *b, *a); });
        if (!ascending) std::reverse(items.begin(), items.end());
        return;
    }
    const std::vector<TuTask*> given = items;
    for (size_t i = 0; i < order.size(); ++i) items[i] = given[order[i]];
    if (!ascending) std::reverse(items.begin(), items.end());
}

void SortItems(int column, bool ascending, TTaskVector& items) {
    if (column < 1 || column > 3 || items.size() < 2) return;
    std::vector<TuTask*> sorted(items.begin(), items.end());
    SortItems(column, ascending, sorted);
    std::copy(sorted.begin(), sorted.end(), items.begin());
}

namespace {

// A task's key as the kept order keeps it: the folded bytes, or the due
// date's bits (nought of either sign alike, as they compare equal).
TTaskOrderCache::TKey KeepKey(int column, const TSortEntry& e) noexcept {
    TTaskOrderCache::TKey key{e.Prefix, e.Prefix2, e.Prefix3, e.WholeSize};
    if (column == 3) {
        const double due = e.Due == 0 ? 0.0 : e.Due;
        std::memcpy(&key.A, &due, sizeof due);
    }
    return key;
}

TSortEntry EntryOf(int column, const TTaskOrderCache::TKey& key, TuTask* task, std::uint32_t position) noexcept {
    TSortEntry e{key.A, key.B, key.C, 0, position, task, static_cast<std::uint8_t>(key.Size)};
    if (column == 3) {
        std::memcpy(&e.Due, &key.A, sizeof e.Due);
        e.Prefix = 0;
    }
    return e;
}

// A number for an order made anew, never given before in the run; 0
// once they are used up.
std::uint32_t NewOrderStamp() noexcept {
    static std::uint32_t last = 0;
    if (last >= TTaskText::MaxMemo) return 0;
    return ++last;
}

// One bit per place of a task list, with the count of set bits before
// each word once Count has run (for Before).
class TPlaceBits {
public:
    TPlaceBits() = default;
    explicit TPlaceBits(size_t places) { Resize(places); }
    void Resize(size_t places) { FWords.assign((places + 63) / 64, 0); }
    void Set(size_t at) noexcept { FWords[at / 64] |= std::uint64_t{1} << (at % 64); }
    bool Has(size_t at) const noexcept { return (FWords[at / 64] >> (at % 64)) & 1; }
    void Count() {
        FBefore.resize(FWords.size());
        std::uint32_t total = 0;
        for (size_t w = 0; w < FWords.size(); ++w) {
            FBefore[w] = total;
            total += static_cast<std::uint32_t>(std::popcount(FWords[w]));
        }
    }
    // How many set places lie before At (after Count).
    size_t Before(size_t at) const noexcept {
        const std::uint64_t below = (std::uint64_t{1} << (at % 64)) - 1;
        return FBefore[at / 64] + static_cast<size_t>(std::popcount(FWords[at / 64] & below));
    }
    // Calls F with each set place, in order.
    template <class F>
    void ForEach(F&& f) const {
        for (size_t w = 0; w < FWords.size(); ++w)
            for (std::uint64_t bits = FWords[w]; bits; bits &= bits - 1)
                f(w * 64 + static_cast<size_t>(std::countr_zero(bits)));
    }

private:
    std::vector<std::uint64_t> FWords;
    std::vector<std::uint32_t> FBefore;
};

} // namespace

const std::vector<std::uint32_t>* TTaskOrderCache::Order(int column, const std::vector<TuTask*>& tasks) {
    if (column < 1 || column > 3) return nullptr;
    const std::uint64_t mark = FMarkOf ? FMarkOf->ChangeMark() : 0;
    if (column == FColumn && mark != 0 && mark == FMark && tasks == FTasks) return &FOrder;
    FMark = 0;
    if (column == FColumn && Keep(column, tasks)) {
        FMark = mark;
        return &FOrder;
    }
    FColumn = 0;
    FTasks.clear();
    FKeys.clear();
    FTies.clear();
    FOrder.clear();
    ++FSortCount;
    std::vector<TSortEntry> entries;
    if (!SortedEntries(column, tasks, entries)) return nullptr;
    const size_t count = entries.size();
    FOrder.resize(count);
    FKeys.resize(count);
    for (size_t k = 0; k < count; ++k) {
        const TSortEntry& e = entries[k];
        FOrder[k] = e.Position;
        FKeys[e.Position] = KeepKey(column, e);
        if (k > 0 && KeepKey(column, entries[k - 1]) == FKeys[e.Position])
            FTies.push_back(static_cast<std::uint32_t>(k));
    }
    FColumn = column;
    FTasks = tasks;
    FMark = mark;
    FStamp = column == 1 ? NewOrderStamp() : 0;
    if (FStamp)
        for (TuTask* task : FTasks) task->Title.SetMemo(FStamp);
    return &FOrder;
}

bool TTaskOrderCache::Keep(int column, const std::vector<TuTask*>& tasks) {
    // Where each kept task stands now: a walk over both lists in their
    // order, which follows deleted tasks and tasks added at the end (a
    // task met out of its old order counts as deleted and added). The
    // kept keys move down to their new places in the same walk (a task
    // never stands later than it did), so no second set of keys is made;
    // a false answer makes the order anew, keys and all.
    const size_t count = tasks.size();
    const bool same = tasks == FTasks;
    // The tasks gone from their old places and the tasks to be placed
    // anew (changed keys, added), as bits: the walk over the kept order
    // below meets them at random, and bits stay in the nearest caches.
    TPlaceBits gone;
    TPlaceBits dirty(count);
    size_t dirtyCount = 0;
    if (!same) {
        gone.Resize(FTasks.size());
        size_t i = 0;
        for (size_t j = 0; j < FTasks.size(); ++j)
            if (i < count && tasks[i] == FTasks[j])
                FKeys[i++] = FKeys[j];
            else
                gone.Set(j);
        const size_t kept = i;
        FKeys.resize(count);
        for (; i < count; ++i) dirty.Set(i);
        dirtyCount = count - kept;
        // Many deleted or added: sorting anew is as quick.
        if ((FTasks.size() - kept) + dirtyCount > count / 16 + 16) return false;
        gone.Count();
    }
    std::vector<TKey>& present = FKeys;
    // Each task's key now against the kept one; a title still holding this
    // order's memo is as it was when its key was kept.
    const std::uint32_t stamp = column == 1 ? FStamp : 0;
    // How many tasks were read again (every one without this order's memo),
    // and, sorted by title, which: the others' titles are as they were.
    size_t read = 0;
    TPlaceBits reread(stamp ? count : 0);
    TSortEntry e{};
    for (size_t i = 0; i < count; ++i) {
        if (i + 16 < count) __builtin_prefetch(tasks[i + 16]);
        if (stamp && !dirty.Has(i) && tasks[i]->Title.Memo() == stamp) continue;
        ++read;
        if (stamp) reread.Set(i);
        if (column != 3 && i + 8 < count)
            __builtin_prefetch(column == 1 ? tasks[i + 8]->Title.View().data() : tasks[i + 8]->Tags.View().data());
        PrepareKey(column, tasks[i], static_cast<std::uint32_t>(i), e);
        if (column == 3 && std::isnan(e.Due)) return false;
        const TKey key = KeepKey(column, e);
        if (stamp) tasks[i]->Title.SetMemo(stamp);
        if (!dirty.Has(i) && key == present[i]) continue;
        present[i] = key;
        if (!dirty.Has(i)) ++dirtyCount;
        dirty.Set(i);
        if (dirtyCount > count / 16 + 16) return false;
    }
    auto before = [&](std::uint32_t a, std::uint32_t b) {
        return SortsBefore(column, EntryOf(column, present[a], tasks[a], a),
                           EntryOf(column, present[b], tasks[b], b));
    };
    if (same && dirtyCount == 0) {
        // Every title as it was when the order was made or last mended
        // (each still holds this order's memo): the order stands.
        if (stamp && read == 0) return true;
        // The keys are as they were: only tasks with equal keys may have
        // changed places (by the rest of their texts).
        for (std::uint32_t k : FTies)
            if (!before(FOrder[k - 1], FOrder[k])) return false;
        return true;
    }
    // A few tasks changed, came or went: the others keep their order, and
    // the changed ones are sorted and put in their places. The tasks kept
    // follow each other as before, their keys unchanged; two of them have
    // equal keys exactly when every step between them in the old order was
    // a tie, and only such pairs may have changed places (by the rest of
    // their texts), so only they are compared again. (Tie marks the kept
    // task whose key equals the kept one before it.)
    constexpr std::uint32_t Tie = 0x80000000u;
    std::vector<std::uint32_t> kept;
    kept.reserve(count);
    {
        size_t tie = 0;          // the next of FTies
        bool chain = false;      // every step since the last kept task a tie
        for (size_t k = 0; k < FOrder.size(); ++k) {
            const bool step = tie < FTies.size() && FTies[tie] == k;
            if (step) ++tie;
            chain = chain && step;
            const std::uint32_t old = FOrder[k];
            // A kept task moved down by the tasks gone before it.
            if (!same && gone.Has(old)) continue;
            const auto at = static_cast<std::uint32_t>(same ? old : old - gone.Before(old));
            if (dirty.Has(at)) continue;
            // (Two titles not read again are as they were when their
            // order was last found: it stands.)
            if (chain) {
                const std::uint32_t last = kept.back() & ~Tie;
                if ((!stamp || reread.Has(last) || reread.Has(at)) && !before(last, at)) return false;
            }
            kept.push_back(chain ? at | Tie : at);
            chain = true;
        }
    }
    std::vector<std::uint32_t> changed;
    changed.reserve(dirtyCount);
    dirty.ForEach([&](size_t i) { changed.push_back(static_cast<std::uint32_t>(i)); });
    std::sort(changed.begin(), changed.end(), before);
    // Each changed task goes where a search of the kept ones puts it; the
    // kept runs between are copied, and only the places beside a changed
    // task compare keys to find the ties.
    FOrder.resize(count);
    FTies.clear();
    size_t out = 0;
    size_t from = 0;
    bool lastKept = false;  // the task placed last was a kept one
    auto place = [&](std::uint32_t at, bool isKept, bool keptTie) {
        if (out > 0) {
            const bool tie = isKept && lastKept ? keptTie : present[FOrder[out - 1]] == present[at];
            if (tie) FTies.push_back(static_cast<std::uint32_t>(out));
        }
        FOrder[out++] = at;
        lastKept = isKept;
    };
    for (std::uint32_t c : changed) {
        const auto end = std::partition_point(kept.begin() + static_cast<std::ptrdiff_t>(from), kept.end(),
                                              [&](std::uint32_t k) { return before(k & ~Tie, c); });
        const size_t to = static_cast<size_t>(end - kept.begin());
        for (; from < to; ++from) place(kept[from] & ~Tie, true, (kept[from] & Tie) != 0);
        place(c, false, false);
    }
    for (; from < kept.size(); ++from) place(kept[from] & ~Tie, true, (kept[from] & Tie) != 0);
    if (!same) FTasks = tasks;
    return true;
}

bool TTaskOrderCache::UpToDate(int column, const TuData& data) const noexcept {
    if (column < 1 || column > 3 || column != FColumn || FMarkOf != &data || FMark == 0 ||
        FMark != data.ChangeMark())
        return false;
    const TuTaskList& list = *data.Tasks;
    if (static_cast<size_t>(list.GetCount()) != FTasks.size()) return false;
    for (size_t i = 0; i < FTasks.size(); ++i)
        if (list.TaskAt(static_cast<int>(i)) != FTasks[i]) return false;
    return true;
}

bool TTaskOrderCache::Follow(std::uint64_t before) {
    if (!FMarkOf || FColumn == 0 || FMark == 0 || FMark != before) return false;
    // Until followed, the next use checks the tasks.
    FMark = 0;
    const TuTaskList& list = *FMarkOf->Tasks;
    const size_t count = static_cast<size_t>(list.GetCount());
    const int column = FColumn;
    // The tasks kept, in their order, and those gone; the rest of the
    // list came after them.
    TPlaceBits gone(FTasks.size());
    size_t kept = 0;
    for (size_t j = 0; j < FTasks.size(); ++j)
        if (kept < count && list.TaskAt(static_cast<int>(kept)) == FTasks[j])
            ++kept;
        else
            gone.Set(j);
    const size_t goneCount = FTasks.size() - kept;
    // Each task added costs a move of the order: past a few, the next use
    // mends it in one pass.
    constexpr size_t MostAdded = 16;
    if (count - kept > MostAdded) return false;
    std::vector<TSortEntry> added;
    for (size_t i = kept; i < count; ++i) {
        TuTask* task = list.TaskAt(static_cast<int>(i));
        if (!task) return false;
        added.emplace_back();
        PrepareKey(column, task, static_cast<std::uint32_t>(i), added.back());
        if (column == 3 && std::isnan(added.back().Due)) return false;
    }
    if (goneCount > 0) {
        // The tasks gone leave the order; the others move down by the
        // tasks gone before them. Two kept tasks that now follow each
        // other have equal keys exactly when every step between them was
        // a tie.
        gone.Count();
        std::vector<std::uint32_t> ties;
        size_t out = 0;
        size_t tie = 0;
        bool chain = false;
        for (size_t k = 0; k < FOrder.size(); ++k) {
            const bool step = tie < FTies.size() && FTies[tie] == k;
            if (step) ++tie;
            chain = chain && step;
            const std::uint32_t old = FOrder[k];
            if (gone.Has(old)) continue;
            if (chain) ties.push_back(static_cast<std::uint32_t>(out));
            FOrder[out++] = static_cast<std::uint32_t>(old - gone.Before(old));
            chain = true;
        }
        FOrder.resize(out);
        FTies.swap(ties);
        size_t at = 0;
        for (size_t j = 0; j < FTasks.size(); ++j)
            if (!gone.Has(j)) {
                FKeys[at] = FKeys[j];
                FTasks[at++] = FTasks[j];
            }
        FKeys.resize(at);
        FTasks.resize(at);
    }
    for (const TSortEntry& e : added) {
        const TKey key = KeepKey(column, e);
        FKeys.push_back(key);
        FTasks.push_back(e.Task);
        const auto end = std::partition_point(FOrder.begin(), FOrder.end(), [&](std::uint32_t k) {
            return SortsBefore(column, EntryOf(column, FKeys[k], FTasks[k], k), e);
        });
        const auto at = static_cast<std::uint32_t>(end - FOrder.begin());
        FOrder.insert(end, e.Position);
        // The tie between the tasks now either side of it goes, the later
        // ties move up a place, and its own with either neighbour come.
        auto t = std::lower_bound(FTies.begin(), FTies.end(), at);
        if (t != FTies.end() && *t == at) t = FTies.erase(t);
        for (auto u = t; u != FTies.end(); ++u) ++*u;
        if (at + 1 < FOrder.size() && FKeys[FOrder[at + 1]] == key) t = FTies.insert(t, at + 1);
        if (at > 0 && FKeys[FOrder[at - 1]] == key) FTies.insert(t, at);
        if (FStamp) e.Task->Title.SetMemo(FStamp);
    }
    FMark = FMarkOf->ChangeMark();
    return true;
}

bool TTaskOrderCache::SortLists(int column, const std::vector<TuTask*>& tasks,
                                const std::vector<std::vector<TuTask*>>& lists,
                                std::vector<std::vector<std::uint32_t>>& positions) {
    const std::vector<std::uint32_t>* order = Order(column, tasks);
    if (!order) return false;
    // Where each task of the lists stands: an open table by the task's
    // address (its list and place there), at most half full.
    size_t total = 0;
    for (const auto& list : lists) total += list.size();
    if (total > tasks.size()) return false;
    struct TListSlot {
        const TuTask* Task;
        std::uint32_t List;
        std::uint32_t At;
    };
    size_t size = 16;
    while (size < 2 * total) size *= 2;
    const size_t mask = size - 1;
    std::vector<TListSlot> table(size, TListSlot{nullptr, 0, 0});
    auto homeOf = [mask](const TuTask* task) -> size_t {
        const std::uint64_t h = (reinterpret_cast<std::uintptr_t>(task) >> 3) * 0x9E3779B97F4A7C15ull;
        return static_cast<size_t>(h >> 32) & mask;
    };
    auto slotOf = [&](const TuTask* task) -> TListSlot& {
        size_t at = homeOf(task);
        while (table[at].Task && table[at].Task != task) at = (at + 1) & mask;
        return table[at];
    };
    for (size_t l = 0; l < lists.size(); ++l) {
        const std::vector<TuTask*>& list = lists[l];
        for (size_t k = 0; k < list.size(); ++k) {
            if (k + 8 < list.size() && list[k + 8]) __builtin_prefetch(&table[homeOf(list[k + 8])]);
            const TuTask* task = list[k];
            if (!task) return false;
            TListSlot& slot = slotOf(task);
            if (slot.Task) return false;  // twice
            slot = TListSlot{task, static_cast<std::uint32_t>(l), static_cast<std::uint32_t>(k)};
        }
    }
    positions.assign(lists.size(), {});
    for (size_t l = 0; l < lists.size(); ++l) positions[l].reserve(lists[l].size());
    // The kept order, walked once, deals each task to its list (by its
    // address alone: no task is read but those with tied keys). Tasks
    // with equal keys (a tie of the kept keys whose whole texts compare
    // equal) stand together in it as one run, and within a list go by
    // their places there: an entry of the same run as the entry before it
    // in its list is noted (its list and place), and such runs are put in
    // order after.
    std::vector<std::uint32_t> lastRun(lists.size(), 0);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> tied;
    std::uint32_t run = 0;
    size_t tie = 0;
    size_t found = 0;
    const size_t n = order->size();
    for (size_t k = 0; k < n; ++k) {
        // Ahead: the task's address (read at random from Tasks), then its
        // place in the table.
        if (k + 16 < n) __builtin_prefetch(&tasks[(*order)[k + 16]]);
        if (k + 8 < n) __builtin_prefetch(&table[homeOf(tasks[(*order)[k + 8]])]);
        bool same = false;
        if (tie < FTies.size() && FTies[tie] == k) {
            ++tie;
            // (Equal keys that hold their texts whole, or dates, are equal.)
            const TuTask* a = tasks[(*order)[k - 1]];
            const TuTask* b = tasks[(*order)[k]];
            same = column == 3 || FKeys[(*order)[k]].Size <= 24 ||
                   (column == 1 ? gcl::CompareText(a->Title, b->Title) : gcl::CompareText(a->Tags, b->Tags)) == 0;
        }
        if (!same) ++run;
        const TListSlot& slot = slotOf(tasks[(*order)[k]]);
        if (!slot.Task) continue;
        ++found;
        std::vector<std::uint32_t>& out = positions[slot.List];
        if (lastRun[slot.List] == run) tied.emplace_back(slot.List, static_cast<std::uint32_t>(out.size()));
        lastRun[slot.List] = run;
        out.push_back(slot.At);
    }
    if (found != total) return false;
    // Each noted entry joins the one before it: a chain of them, from the
    // entry before the first, is one run.
    std::sort(tied.begin(), tied.end());
    for (size_t t = 0; t < tied.size();) {
        const std::uint32_t list = tied[t].first;
        const std::uint32_t from = tied[t].second - 1;
        std::uint32_t to = tied[t].second + 1;
        for (++t; t < tied.size() && tied[t].first == list && tied[t].second == to; ++t) ++to;
        std::vector<std::uint32_t>& out = positions[list];
        std::sort(out.begin() + from, out.begin() + to);
    }
    return true;
}

void HeaderClick(int& columnTag, int columnIndex, int& sortColumn, bool& sortAscending) {
    columnTag = columnTag == 1 ? 0 : 1;
    sortAscending = columnTag == 1;
    sortColumn = columnIndex + 1;
}

TGroupingChange GroupingAction(int tag, bool senderChecked, bool noGroupChecked) {
    TGroupingChange c;
    const int mode = tag < 0 ? -tag : tag;
    // An action clicked off leaves "Nothing" checked: "Nothing" itself
    // clicked again (its auto-check took the mark off) is checked again,
    // so some grouping always shows as the one in force.
    c.CheckNoGroup = !senderChecked;
    const bool noGroup = noGroupChecked || c.CheckNoGroup;
    c.AutoRegroup = senderChecked && mode != 0;
    c.GroupMode = (senderChecked && !noGroup) ? mode : -mode;
    return c;
}

std::string NumberedCaption(int index, const std::string& title) {
    return gcl::IntToStr(index + 1) + ". " + title;
}

// ---- The whole list ---------------------------------------------------------------------------

namespace {

bool SameCondition(const TFieldFilter& a, const TFieldFilter& b) {
    return a.Enabled == b.Enabled && a.Op == b.Op && a.Value1 == b.Value1 && a.Value2 == b.Value2 &&
           a.Name == b.Name && a.Extra == b.Extra;
}

// A title search with a text (what a narrowing keeps a result for).
bool SearchesTitles(const TFieldFilter& c) {
    return c.Enabled && c.Op == foContains && !c.Value1.empty();
}

} // namespace

const std::vector<std::uint32_t>* TSearchNarrowing::Begin(const TFilterSystem& filter, const TuTaskList& tasks,
                                                          bool& record) {
    FFrom = NoEntry;
    FNarrowed = false;
    // Until Keep, nothing is kept (a pass that raised leaves nothing).
    const bool valid = FValid;
    FValid = false;
    const TFieldFilter& search = filter.Conditions[fkTitle];
    record = SearchesTitles(search);
    // (The vectors keep their room for the next search: under Wine a
    // large new block is new pages.)
    if (!record) return nullptr;
    const size_t count = static_cast<size_t>(tasks.GetCount());
    bool same = valid && !FKept.empty() && FTasks.size() == count;
    for (int k = TFieldsFilter::Low; same && k <= TFieldsFilter::High; ++k)
        same = k == fkTitle || SameCondition(filter.Conditions[k], FConditions[k]);
    // The tasks as they stand now, compared with the kept ones on the way
    // (a place is written only when it changed: mostly none is).
    FTasks.resize(count);
    for (size_t i = 0; i < count; ++i) {
        TuTask* task = tasks.TaskAt(static_cast<int>(i));
        if (FTasks[i] != task) {
            same = false;
            FTasks[i] = task;
        }
    }
    FConditions = filter.Conditions;
    FText = search.Value1;
    FFolded = gcl::LowerCase(search.Value1);
    // The latest kept text that the new one holds; never the last text
    // itself.
    if (same && FText != FKept.back().Text)
        for (size_t j = FKept.size(); j-- > 0;)
            if (FFolded.find(FKept[j].Folded) != std::string::npos) {
                FFrom = j;
                break;
            }
    FNarrowed = FFrom != NoEntry;
    if (!FNarrowed)
        // A search of every task: the kept places give their room.
        while (!FKept.empty()) {
            Recycle(FKept.back().Passed);
            FKept.pop_back();
        }
    return FNarrowed ? &FKept[FFrom].Passed : nullptr;
}

void TSearchNarrowing::Recycle(std::vector<std::uint32_t>& entry) noexcept {
    if (entry.capacity() > FSpare.capacity()) FSpare.swap(entry);
    entry = std::vector<std::uint32_t>();
}

std::vector<std::uint32_t> TSearchNarrowing::TakeBuffer() {
    std::vector<std::uint32_t> buffer;
    buffer.swap(FSpare);
    buffer.clear();
    return buffer;
}

void TSearchNarrowing::Keep(std::vector<std::uint32_t> passed) {
    // The entries after the one the pass started from go (a text the new
    // one does not hold); the new text comes after it, or takes its place
    // when it is that text again.
    const size_t keep = FFrom == NoEntry ? 0 : FFrom + (FKept[FFrom].Text == FText ? 0 : 1);
    while (FKept.size() > keep) {
        Recycle(FKept.back().Passed);
        FKept.pop_back();
    }
    if (FKept.size() == MaxKept) {
        Recycle(FKept.front().Passed);
        FKept.erase(FKept.begin());
    }
    FKept.push_back(TKept{FText, FFolded, std::move(passed)});
    FFrom = NoEntry;
    FValid = true;
}

void TSearchNarrowing::Forget() noexcept {
    FValid = false;
    FFrom = NoEntry;
    FNarrowed = false;
    FTasks = std::vector<TuTask*>();
    FKept = std::vector<TKept>();
    FSpare = std::vector<std::uint32_t>();
}

std::uint64_t TFilterAnswer::TasksKey(const TuTaskList& tasks) noexcept {
    std::uint64_t key = 0xCBF29CE484222325u;
    const int count = tasks.GetCount();
    for (int i = 0; i < count; ++i)
        key = (key ^ static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(tasks.TaskAt(i)))) * 0x100000001B3u;
    return key;
}

const std::vector<std::uint32_t>* TFilterAnswer::Begin(const TFilterSystem& filter, const TuData& data) {
    const int count = data.Tasks->GetCount();
    const std::uint64_t tasksKey = TasksKey(*data.Tasks);
    bool same = FValid && FData == &data && FMark == data.ChangeMark() && FCount == count && FTasksKey == tasksKey;
    for (int k = TFieldsFilter::Low; same && k <= TFieldsFilter::High; ++k)
        same = SameCondition(filter.Conditions[k], FConditions[k]);
    if (same) {
        ++FAnswered;
        return &FPassed;
    }
    // Until Keep, nothing is kept (a pass that raised leaves nothing).
    FValid = false;
    FConditions = filter.Conditions;
    FData = &data;
    FMark = data.ChangeMark();
    FCount = count;
    FTasksKey = tasksKey;
    return nullptr;
}

std::vector<std::uint32_t> TFilterAnswer::TakeBuffer() {
    std::vector<std::uint32_t> buffer;
    buffer.swap(FPassed);
    buffer.clear();
    return buffer;
}

void TFilterAnswer::Keep(const std::vector<std::uint32_t>& passed) {
    // (Into the room of the last answer: under Wine new pages cost a fault each.)
    FPassed.assign(passed.begin(), passed.end());
    FValid = true;
}

void TFilterAnswer::Keep(std::vector<std::uint32_t>&& passed) {
    FPassed = std::move(passed);
    FValid = true;
}

void TFilterAnswer::Forget() noexcept {
    FValid = false;
    FData = nullptr;
    FPassed = std::vector<std::uint32_t>();
}

TTaskListLayout BuildTaskListLayout(TuData& data, TFilterSystem& filter, const TTaskListState& state,
                                    TGroupKeys& keys, TTaskOrderCache* orders, TSearchNarrowing* narrowing,
                                    TFilterAnswer* answer) {
    TTaskListLayout layout;
    filter.Data = &data;
    const int count = data.Tasks->GetCount();
    const int mode = state.GroupMode < 0 ? -state.GroupMode : state.GroupMode;
    layout.Grouped = state.Grouped && mode != gmNone;
    if (!layout.Grouped) layout.Groups.emplace_back();
    // Grouped by tags, thousands of groups: room for as many as there are
    // tag sets known, so that they are not moved again and again as they
    // come.
    if (layout.Grouped && mode == gmTags)
        layout.Groups.reserve(static_cast<size_t>(std::min(keys.TagKeyCount(), count)) + 1);
    // Where each key's group stands in the layout: keys are small numbers
    // (places in the key tables, list indexes from -1, priorities), found
    // at their place in a vector; any other key in a map.
    constexpr int DenseKeys = 1 << 20;
    std::vector<std::uint32_t> byDenseKey;
    std::unordered_map<int, size_t> byKey;
    auto groupOfKey = [&](int key, const TuTask& task) -> size_t {
        const bool dense = key >= -1 && key < DenseKeys;
        std::uint32_t* slot = nullptr;
        if (dense) {
            const size_t at = static_cast<size_t>(key + 1);
            if (at >= byDenseKey.size()) byDenseKey.resize(std::max(at + 1, 2 * byDenseKey.size()), UINT32_MAX);
            slot = &byDenseKey[at];
            if (*slot != UINT32_MAX) return *slot;
        } else if (const auto it = byKey.find(key); it != byKey.end()) {
            return it->second;
        }
        const size_t group = layout.Groups.size();
        if (dense)
            *slot = static_cast<std::uint32_t>(group);
        else
            byKey.emplace(key, group);
        TTaskGroup g;
        g.Key = key;
        if (state.GroupCaptions) g.Caption = GroupCaption(mode, key, task, keys);
        g.ImageIndex = GroupImageIndex(mode, task);
        g.First = &task;
        layout.Groups.push_back(std::move(g));
        return group;
    };
    // The group of a list looked up once per text rather than per task.
    TTextKeys byText;
    // The texts met lately, by their length and outer bytes: a few lists
    // mixed through the tasks are mostly found here with one comparison,
    // before the table hashes the whole text.
    struct TRecent {
        std::string_view Text;
        size_t Group = 0;
        bool Used = false;
    };
    std::array<TRecent, 64> recent{};
    auto recentSlot = [](std::string_view text) -> size_t {
        if (text.empty()) return 0;
        const auto first = static_cast<unsigned char>(text.front());
        const auto last = static_cast<unsigned char>(text.back());
        const auto middle = static_cast<unsigned char>(text[text.size() / 2]);
        return (text.size() * 7u + first * 3u + middle * 5u + last) & 63u;
    };
    // The group of each list name by the name's number (its memo), for the
    // names that keep one.
    std::vector<std::uint32_t> byListNumber;
    auto groupOf = [&](const TuTask& task) -> size_t {
        if (!layout.Grouped) return 0;
        // (A tag text is mostly met once: its key is found straight away.)
        if (mode == gmDate) return groupOfKey(keys.DateKey(task), task);
        if (mode == gmTags) return groupOfKey(keys.TagKey(task), task);
        if (mode != gmList) return groupOfKey(AutoGroupGetKey(mode, task, data, keys), task);
        if (task.Folder.KeepsMemo()) {
            const std::uint32_t number = ListTexts().Number(task.Folder);
            if (number < byListNumber.size() && byListNumber[number] != UINT32_MAX) return byListNumber[number];
            const size_t group = groupOfKey(AutoGroupGetKey(mode, task, data, keys), task);
            if (number >= byListNumber.size())
                byListNumber.resize(std::max<size_t>(number + 1, 2 * byListNumber.size()), UINT32_MAX);
            byListNumber[number] = static_cast<std::uint32_t>(group);
            return group;
        }
        const std::string_view text = task.Folder.View();
        TRecent& seen = recent[recentSlot(text)];
        if (seen.Used && text == seen.Text) return seen.Group;
        int group = byText.Find(text);
        if (group < 0) {
            group = static_cast<int>(groupOfKey(AutoGroupGetKey(mode, task, data, keys), task));
            byText.Add(text, group);
        }
        seen = TRecent{text, static_cast<size_t>(group), true};
        return seen.Group;
    };
    // One pass over the tasks: the group of each shown task by its place
    // in the database (NotShown for the others), the groups in the order
    // they are first met, and how many tasks each takes. (One number per
    // task, in memory kept from one layout to the next: under Wine a new
    // large vector is new pages, a fault each, at every refresh.)
    // (A shown task's entry holds its group, and its done mark in the top bit.)
    constexpr std::uint32_t NotShown = UINT32_MAX;
    constexpr std::uint32_t DoneBit = 0x80000000u;
    thread_local std::vector<std::uint32_t> groupAtKept;
    std::vector<std::uint32_t>& groupAt = groupAtKept;
    groupAt.assign(static_cast<size_t>(count), NotShown);
    std::vector<std::uint32_t> sizes;
    size_t shown = 0;
    // The list texts lie apart from the tasks: fetched ahead as well.
    const bool listTexts = layout.Grouped && mode == gmList;
    // A filter every task passes tests none; one whose answer was kept
    // over the same content takes that answer as it is.
    const bool every = filter.PassesEvery();
    const std::vector<std::uint32_t>* answered = answer && !every ? answer->Begin(filter, data) : nullptr;
    const bool keepAnswer = answer && !every && !answered;
    bool record = false;
    const std::vector<std::uint32_t>* candidates =
        narrowing && !answered ? narrowing->Begin(filter, *data.Tasks, record) : nullptr;
    if (answered) candidates = answered;
    std::vector<std::uint32_t> passed;
    if (record || keepAnswer) {
        passed = record ? narrowing->TakeBuffer() : answer->TakeBuffer();
        passed.reserve(candidates ? candidates->size() : static_cast<size_t>(count));
    }
    // Ahead: the task the walk tests some steps later, if any (its list
    // text is fetched).
    auto admit = [&](int i, const TuTask* ahead) {
        if (record || keepAnswer) passed.push_back(static_cast<std::uint32_t>(i));
        if (listTexts && ahead) __builtin_prefetch(ahead->Folder.data());
        TuTask* task = data.Tasks->TaskAt(i);
        if (!ShowsAsItem(task)) return;
        const auto g = static_cast<std::uint32_t>(groupOf(*task));
        if (g >= sizes.size()) sizes.resize(layout.Groups.size(), 0);
        ++sizes[g];
        groupAt[static_cast<size_t>(i)] = g | (task->Done ? DoneBit : 0u);
        ++shown;
    };
    if (candidates) {
        // The candidates lie apart: each task (all of it), then its texts,
        // are fetched some places ahead along them; never the tasks
        // between them, which the walk does not read.
        const std::vector<std::uint32_t>& at = *candidates;
        const size_t n = at.size();
        for (size_t k = 0; k < n; ++k) {
            if (k + 16 < n)
                if (const char* p = reinterpret_cast<const char*>(data.Tasks->TaskAt(static_cast<int>(at[k + 16])))) {
                    __builtin_prefetch(p);
                    __builtin_prefetch(p + 64);
                    __builtin_prefetch(p + sizeof(TuTask) - 1);
                }
            const TuTask* ahead = k + 8 < n ? data.Tasks->TaskAt(static_cast<int>(at[k + 8])) : nullptr;
            if (ahead) __builtin_prefetch(ahead->Title.View().data());
            const int i = static_cast<int>(at[k]);
            if (answered || filter.Match(-1, data.Tasks->TaskAt(i))) admit(i, ahead);
        }
    } else if (every) {
        // (Each task is fetched some places ahead, as Match does.)
        constexpr int Ahead = 32;
        for (int i = 0; i < count; ++i) {
            if (i + Ahead < count)
                if (const char* p = reinterpret_cast<const char*>(data.Tasks->TaskAt(i + Ahead))) {
                    __builtin_prefetch(p);
                    __builtin_prefetch(p + 64);
                    __builtin_prefetch(p + sizeof(TuTask) - 1);
                }
            if (data.Tasks->TaskAt(i)) admit(i, listTexts && i + 8 < count ? data.Tasks->TaskAt(i + 8) : nullptr);
        }
    } else {
        for (int i = 0; i < count; ++i)
            if (filter.Match(i, nullptr)) admit(i, listTexts && i + 8 < count ? data.Tasks->TaskAt(i + 8) : nullptr);
    }
    if (record) {
        if (keepAnswer) answer->Keep(passed);
        narrowing->Keep(std::move(passed));
    } else if (keepAnswer) {
        answer->Keep(std::move(passed));
    }
    sizes.resize(layout.Groups.size(), 0);
    // A sort column with many tasks shown: the kept order of all tasks,
    // walked once, is quicker than sorting the shown ones.
    const std::vector<std::uint32_t>* order = nullptr;
    // Every task of the database, for the kept order.
    std::vector<TuTask*> all;
    // Fewer shown (a list of some thousands) take it too when it stands as
    // it is: a walk over every task's place costs less than their sort.
    if (orders && state.SortColumn >= 1 && state.SortColumn <= 3 && shown >= 64 &&
        (shown * 8 >= static_cast<size_t>(count) ||
         (shown * 64 >= static_cast<size_t>(count) && orders->UpToDate(state.SortColumn, data)))) {
        all.resize(static_cast<size_t>(count));
        bool whole = true;
        for (int i = 0; i < count; ++i) whole = (all[static_cast<size_t>(i)] = data.Tasks->TaskAt(i)) && whole;
        // (An entry without a task has no key.)
        if (whole) order = orders->Order(state.SortColumn, all);
    }
    // Each group's tasks are written in place, at the next place of its
    // vector (of its size), and their done marks at the next of its run
    // in the layout's Done.
    std::vector<TuTask**> next(sizes.size());
    std::vector<std::uint8_t*> nextDone(sizes.size());
    auto placeGroups = [&] {
        layout.Done.resize(shown);
        std::uint32_t at = 0;
        for (size_t g = 0; g < sizes.size(); ++g) {
            TTaskGroup& group = layout.Groups[g];
            group.Tasks.resize(sizes[g]);
            group.DoneAt = at;
            next[g] = group.Tasks.data();
            nextDone[g] = layout.Done.data() + at;
            at += sizes[g];
        }
    };
    if (!order) {
        placeGroups();
        for (int i = 0; i < count; ++i)
            if (const std::uint32_t e = groupAt[static_cast<size_t>(i)]; e != NotShown) {
                const std::uint32_t g = e & ~DoneBit;
                *next[g]++ = data.Tasks->TaskAt(i);
                *nextDone[g]++ = static_cast<std::uint8_t>(e >> 31);
            }
        // (Each group takes its run of marks along.)
        if (layout.Grouped) SortGroups(mode, layout.Groups);
        // A sort moves the tasks away from their marks.
        if (state.SortColumn >= 1 && state.SortColumn <= 3) layout.Done.clear();
        for (TTaskGroup& g : layout.Groups) SortItems(state.SortColumn, state.SortAscending, g.Tasks);
        return layout;
    }
    // The groups are put in order by their first tasks in database order,
    // as without a kept order; then each is filled in the sorted order.
    // Each group's vector takes its size first, and a group sorted by its
    // first task holds that task (the one that opened it) for the sort.
    const bool sortsByFirst = layout.Grouped && (mode == gmDate || mode == gmPriority);
    for (size_t g = 0; g < layout.Groups.size(); ++g) {
        TTaskGroup& group = layout.Groups[g];
        group.Tasks.reserve(sizes[g]);
        if (sortsByFirst) group.Tasks.push_back(const_cast<TuTask*>(group.First));
    }
    if (layout.Grouped && (mode == gmList || mode == gmDate || mode == gmPriority)) {
        // Each task's group is named by the group's place after its sort,
        // found by its key.
        std::unordered_map<int, std::uint32_t> made;
        for (size_t g = 0; g < layout.Groups.size(); ++g)
            made.emplace(layout.Groups[g].Key, static_cast<std::uint32_t>(g));
        SortGroups(mode, layout.Groups);
        std::vector<std::uint32_t> place(layout.Groups.size());
        for (size_t g = 0; g < layout.Groups.size(); ++g) {
            place[made.at(layout.Groups[g].Key)] = static_cast<std::uint32_t>(g);
            layout.Groups[g].Tasks.clear();
        }
        for (std::uint32_t& e : groupAt)
            if (e != NotShown) e = place[e & ~DoneBit] | (e & DoneBit);
        std::vector<std::uint32_t> placed(sizes.size());
        for (size_t g = 0; g < sizes.size(); ++g) placed[place[g]] = sizes[g];
        sizes.swap(placed);
    }
    placeGroups();
    // The walk in sorted order finds each task's group by its place, and
    // the task beside it in All (both read at random: fetched some steps
    // ahead).
    const std::uint32_t* sorted = order->data();
    const size_t n = order->size();
    auto take = [&](size_t k, size_t ahead) {
        if (ahead < n) {
            __builtin_prefetch(&groupAt[sorted[ahead]]);
            __builtin_prefetch(&all[sorted[ahead]]);
        }
        const std::uint32_t at = sorted[k];
        if (const std::uint32_t e = groupAt[at]; e != NotShown) {
            const std::uint32_t g = e & ~DoneBit;
            *next[g]++ = all[at];
            *nextDone[g]++ = static_cast<std::uint8_t>(e >> 31);
        }
    };
    // Descending is the ascending order turned round, equal tasks too.
    constexpr size_t Ahead = 16;
    if (state.SortAscending)
        for (size_t k = 0; k < n; ++k) take(k, k + Ahead);
    else
        for (size_t k = n; k-- > 0;) take(k, k >= Ahead ? k - Ahead : n);
    return layout;
}

TTaskListLayout RefreshTaskListLayout(TuData& data, const TFilterBarState& bar, const TTaskListState& state,
                                      TGroupKeys& keys, TTaskOrderCache* orders, TSearchNarrowing* narrowing,
                                      TFilterAnswer* answer) {
    auto filter = std::make_unique<TFilterSystem>();
    BuildFilter(*filter, bar);
    filter->Data = &data;
    LiveSettings.Filter = std::move(filter);
    return BuildTaskListLayout(data, *LiveSettings.Filter, state, keys, orders, narrowing, answer);
}

TReportList LayoutToReportList(const TTaskListLayout& layout, const TTaskListState& state, double now,
                               const std::string& dateTimeFormat) {
    TReportList list;
    list.Grouped = layout.Grouped;
    int index = 0;
    for (size_t g = 0; g < layout.Groups.size(); ++g) {
        const TTaskGroup& group = layout.Groups[g];
        for (const TuTask* task : group.Tasks) {
            const TTaskItemView v = TaskItemView(*task, now, dateTimeFormat);
            TReportItem item;
            item.Captions = {v.Captions[0], v.Captions[1], v.Captions[2], std::string()};
            if (state.CountItems) item.Captions[0] = NumberedCaption(index, task->Title);
            item.Checked = v.Checked;
            item.Priority = task->Priority;
            item.Notes = task->Notes;
            item.GroupIndex = static_cast<int>(g);
            item.GroupCaption = group.Caption;
            list.Items.push_back(std::move(item));
            ++index;
        }
    }
    return list;
}

} // namespace qelvo
