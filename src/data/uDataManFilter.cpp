// The filter of the task database: which tasks pass the six conditions.
// Part of the uDataMan unit.
#include "data/uDataManFilter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "data/uDataManLines.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

namespace {

// Text comparison of the filter: byte order, A-Z folded when Fold.
int CompareBytes(std::string_view a, std::string_view b, bool fold) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = fold ? FoldAZ(a[i]) : static_cast<unsigned char>(a[i]);
        const unsigned char y = fold ? FoldAZ(b[i]) : static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool StartsWithBytes(std::string_view text, std::string_view prefix, bool fold) {
    if (prefix.size() > text.size()) return false;
    return CompareBytes(text.substr(0, prefix.size()), prefix, fold) == 0;
}

bool ContainsBytes(std::string_view text, std::string_view needle, bool fold) {
    if (!fold) return text.find(needle) != std::string_view::npos;
    if (needle.empty()) return true;
    if (needle.size() > text.size()) return false;
    const unsigned char first = FoldAZ(needle[0]);
    const size_t last = text.size() - needle.size();
    for (size_t i = 0; i <= last; ++i) {
        if (FoldAZ(text[i]) != first) continue;
        size_t k = 1;
        while (k < needle.size() && FoldAZ(text[i + k]) == FoldAZ(needle[k])) ++k;
        if (k == needle.size()) return true;
    }
    return false;
}

// ContainsBytes with folding, for a needle that is folded already: only
// the text's bytes are folded, and the scan for the first byte looks for
// both of its cases at once.
bool ContainsFoldedScalar(std::string_view text, std::string_view needle) noexcept {
    if (needle.empty()) return true;
    if (needle.size() > text.size()) return false;
    const unsigned char first = static_cast<unsigned char>(needle[0]);
    const unsigned char firstUpper = first >= 'a' && first <= 'z' ? static_cast<unsigned char>(first - ('a' - 'A')) : first;
    const char* p = text.data();
    const size_t last = text.size() - needle.size();
    for (size_t i = 0; i <= last; ++i) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c != first && c != firstUpper) continue;
        size_t k = 1;
        while (k < needle.size() && FoldAZ(p[i + k]) == static_cast<unsigned char>(needle[k])) ++k;
        if (k == needle.size()) return true;
    }
    return false;
}

#ifdef __SSE2__
// The search of a title over every task (the find box) tests sixteen
// places at once: a place is a candidate when the needle's first and last
// bytes stand there in either case, and only candidates are compared
// whole. Nothing past the text's last byte is read.
struct TFoldedNeedle {
    explicit TFoldedNeedle(std::string_view needle) noexcept : Text(needle), Last(needle.size() - 1) {
        const auto upper = [](char c) {
            return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
        };
        First0 = _mm_set1_epi8(needle[0]);
        First1 = _mm_set1_epi8(upper(needle[0]));
        Last0 = _mm_set1_epi8(needle[Last]);
        Last1 = _mm_set1_epi8(upper(needle[Last]));
    }
    // The candidates among the sixteen places from P (P + Last + 15 is
    // readable), one bit each.
    unsigned Candidates(const char* p) const noexcept {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + Last));
        const __m128i first = _mm_or_si128(_mm_cmpeq_epi8(a, First0), _mm_cmpeq_epi8(a, First1));
        const __m128i last = _mm_or_si128(_mm_cmpeq_epi8(b, Last0), _mm_cmpeq_epi8(b, Last1));
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(first, last)));
    }
    // Whether a candidate at P holds the needle (its ends are known).
    bool Holds(const char* p) const noexcept {
        for (size_t k = 1; k < Last; ++k)
            if (FoldAZ(p[k]) != static_cast<unsigned char>(Text[k])) return false;
        return true;
    }
    bool AnyAt(const char* p, unsigned candidates) const noexcept {
        for (; candidates; candidates &= candidates - 1)
            if (Holds(p + __builtin_ctz(candidates))) return true;
        return false;
    }
    std::string_view Text;
    size_t Last;
    __m128i First0, First1, Last0, Last1;
};

bool ContainsFolded(std::string_view text, std::string_view needle) noexcept {
    if (needle.empty()) return true;
    const size_t n = text.size();
    if (needle.size() > n) return false;
    const TFoldedNeedle folded(needle);
    const size_t last = folded.Last;
    const char* p = text.data();
    if (n < 16 + last) {
        // Fewer than sixteen places: the text is copied where the blocks
        // may be read whole, and only the places it has count.
        if (n > 48) return ContainsFoldedScalar(text, needle);
        alignas(16) char copy[64] = {};
        std::memcpy(copy, p, n);
        return folded.AnyAt(copy, folded.Candidates(copy) & ((1u << (n - last)) - 1));
    }
    size_t i = 0;
    for (; i + 16 + last <= n; i += 16)
        if (folded.AnyAt(p + i, folded.Candidates(p + i))) return true;
    // The last places, in a block that ends with the text (it overlaps
    // places tested already, which do not hold the needle).
    if (i + last < n) {
        const size_t at = n - 16 - last;
        if (folded.AnyAt(p + at, folded.Candidates(p + at))) return true;
    }
    return false;
}
#else
bool ContainsFolded(std::string_view text, std::string_view needle) noexcept {
    return ContainsFoldedScalar(text, needle);
}
#endif

// True when Text, A-Z folded, ends with the folded Suffix.
bool EndsWithFolded(std::string_view text, std::string_view suffix) noexcept {
    if (suffix.size() > text.size()) return false;
    const char* p = text.data() + (text.size() - suffix.size());
    for (size_t k = 0; k < suffix.size(); ++k)
        if (FoldAZ(p[k]) != static_cast<unsigned char>(suffix[k])) return false;
    return true;
}

// The wanted list of a tag search, folded and closed by a comma. Single:
// it names one tag (its only comma is the closing one).
void FoldWanted(const std::string& wanted, std::string& w, bool& single) {
    w.assign(wanted);
    for (char& c : w) c = static_cast<char>(FoldAZ(c));
    if (w.empty() || w.back() != ',') w += ',';
    single = w.find(',') == w.size() - 1;
}

// The tag search that is not exact, on a wanted list W prepared by
// FoldWanted.
bool TagsContain(std::string_view list, const std::string& w, bool single) {
    if (list.empty()) return false;
    if (single) {
        // One tag: the search is one substring test on the folded list
        // with its closing comma, so neither list needs copying. A match
        // that ends on the comma added to a list without one is a match
        // at the list's end.
        if (ContainsFolded(list, w)) return true;
        return list.back() != ',' && EndsWithFolded(list, std::string_view(w).substr(0, w.size() - 1));
    }
    // Several tags: L is worked on in place; each wanted tag found is
    // deleted from L, so a tag wanted twice must be there twice.
    thread_local std::string l;
    l.assign(list);
    for (char& c : l) c = static_cast<char>(FoldAZ(c));
    if (l.back() != ',') l += ',';
    size_t pos = 0;
    while (!l.empty() && pos < w.size()) {
        const size_t comma = w.find(',', pos);
        const std::string_view tag(w.data() + pos, comma - pos + 1);  // with its comma
        const size_t at = l.find(tag);
        if (at == std::string::npos) return false;
        l.erase(at, tag.size());
        pos = comma + 1;
    }
    return pos >= w.size();
}

inline int CompareNumbers(double a, double b) noexcept {
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Operators 0 to 8 on text; the others never hold.
bool TextMatches(std::uint16_t op, std::string_view text, std::string_view v1, std::string_view v2, bool fold) {
    switch (op) {
    case foEqual: return CompareBytes(text, v1, fold) == 0;
    case foNotEqual: return CompareBytes(text, v1, fold) != 0;
    case foLess: return CompareBytes(text, v1, fold) < 0;
    case foLessEqual: return CompareBytes(text, v1, fold) <= 0;
    case foGreater: return CompareBytes(text, v1, fold) > 0;
    case foGreaterEqual: return CompareBytes(text, v1, fold) >= 0;
    case foBetween: return CompareBytes(text, v1, fold) > 0 && CompareBytes(text, v2, fold) < 0;
    case foBeginsWith: return StartsWithBytes(text, v1, fold);
    case foContains: return ContainsBytes(text, v1, fold);
    default: return false;
    }
}

bool NumberMatches(std::uint16_t op, int value, int v1, int v2) {
    switch (op) {
    case foEqual: return value == v1;
    case foNotEqual: return value != v1;
    case foLess: return value < v1;
    case foLessEqual: return value <= v1;
    case foGreater: return value > v1;
    case foGreaterEqual: return value >= v1;
    case foBetween: return value > v1 && value < v2;
    default: return false;
    }
}

// How far ahead Match asks for the next tasks' memory.
constexpr int PrefetchDistance = 32;

} // namespace

void TagSetViews(std::string_view v, std::string& bytes, std::vector<std::string_view>& items) {
    // Room for every item first, so the views into Bytes stay valid.
    bytes.clear();
    bytes.reserve(v.size());
    items.clear();
    size_t pos = 0;
    while (pos <= v.size()) {
        size_t q = v.find(',', pos);
        if (q == std::string_view::npos) q = v.size();
        const std::string_view item = TrimmedRange(v.substr(pos, q - pos));
        if (!item.empty()) {
            const size_t at = bytes.size();
            for (const char c : item) bytes += static_cast<char>(FoldAZ(c));
            items.emplace_back(bytes.data() + at, item.size());
        }
        pos = q + 1;
    }
    if (items.size() < 2) return;
    std::sort(items.begin(), items.end());
    items.erase(std::unique(items.begin(), items.end()), items.end());
}

std::vector<std::string> TagSet(std::string_view v) {
    std::string bytes;
    std::vector<std::string_view> views;
    TagSetViews(v, bytes, views);
    return std::vector<std::string>(views.begin(), views.end());
}

// ---- The filter ------------------------------------------------------------------

void TFieldsFilter::RangeError() {
    throw gcl::ERangeError("Filter condition index out of range");
}

TFilterSystem::TFilterSystem() = default;

bool TFilterSystem::Match(int taskIndex, TuTask* task) {
    if (taskIndex == -1) {
        FTask = task;
    } else {
        if (!Data) return false;
        const TuTaskList& tasks = *Data->Tasks;
        const int count = tasks.GetCount();
        // (An index outside the list raises, as GetTask does.)
        FTask = taskIndex >= 0 && taskIndex < count ? tasks.TaskAt(taskIndex) : tasks.GetTask(taskIndex);
        // Callers walk the tasks in order. Asking for a task some places
        // ahead lets its memory arrive while this one is tested, instead of
        // every task waiting for its own: first the object (the fields the
        // filter reads span up to three cache lines, as the object need
        // not start on one), then, half the distance later, when the
        // object is there, the text of the title and tags where they do
        // not fit in the object.
        if (taskIndex + PrefetchDistance < count) {
            if (const char* p = reinterpret_cast<const char*>(tasks.TaskAt(taskIndex + PrefetchDistance))) {
                __builtin_prefetch(p);
                __builtin_prefetch(p + 64);
                __builtin_prefetch(p + 128);
            }
        }
        if (taskIndex + PrefetchDistance / 2 < count) {
            if (const TuTask* next = tasks.TaskAt(taskIndex + PrefetchDistance / 2)) {
                if (Conditions[fkTitle].Enabled) __builtin_prefetch(next->Title.View().data());
                if (Conditions[fkTags].Enabled) __builtin_prefetch(next->Tags.View().data());
            }
        }
    }
    if (!FTask) return false;
    // The conditions are independent tests, so the order they are tried in
    // does not change the answer: the tests of the task's numbers and list
    // name go first, the text searches last. The operands that can be
    // malformed are read before any test, so a malformed one raises for
    // every task alike.
    static constexpr int order[] = {fkDone, fkPriority, fkDue, fkFolder, fkTags, fkTitle};
    for (int k : order)
        if (Conditions[k].Enabled) Prepare(k);
    for (int k : order)
        if (Conditions[k].Enabled && !Evaluate(k)) return false;
    return true;
}

[[gnu::always_inline]] inline void TFilterSystem::Prepare(int k) {
    TFieldFilter& c = Conditions[k];
    switch (k) {
    case fkTitle:
    case fkTags:
        Refresh(k);
        break;
    case fkDue:
        // Empty dates stand for date 0, written into the condition.
        if (c.Value1.empty()) c.Value1 = gcl::DateToStr(0);
        if (c.Value2.empty()) c.Value2 = gcl::DateToStr(0);
        if (c.Op != foNoDate && c.Op != foHasDate && c.Op != foNever) Refresh(k);
        break;
    case fkPriority:
        if (c.Value1.empty()) c.Value1 = "-1";
        if (c.Value2.empty()) c.Value2 = "-1";
        Refresh(k);
        break;
    default:
        break;
    }
}

// Re-reads the parsed operands of condition K when its texts changed.
// Returns True when they were already current. Runs for every task, so
// the test stays small and the reading lives in Reload.
[[gnu::always_inline]] inline bool TFilterSystem::Refresh(int k) {
    const TFieldFilter& c = Conditions[k];
    const TCache& cache = FCache[static_cast<size_t>(k)];
    if (cache.Valid && SameText(cache.Source1, c.Value1)) [[likely]] {
        // The tags condition has no second operand; the title's counts
        // only for "between" (folding it cannot fail, so a stale copy is
        // harmless until then).
        if (k == fkTags || (k == fkTitle && c.Op != foBetween) || SameText(cache.Source2, c.Value2)) return true;
    }
    Reload(k);
    return false;
}

[[gnu::noinline]] void TFilterSystem::Reload(int k) {
    const TFieldFilter& c = Conditions[k];
    TCache& cache = FCache[static_cast<size_t>(k)];
    cache.Valid = false;
    switch (k) {
    case fkTitle:
        cache.Lower1 = gcl::LowerCase(c.Value1);
        cache.Lower2 = gcl::LowerCase(c.Value2);
        break;
    case fkTags:
        FoldWanted(c.Value1, cache.Wanted, cache.SingleTag);
        break;
    case fkDue:
        // Compared by calendar day only: the whole days, as CompareDate
        // takes them.
        cache.Day1 = std::trunc(gcl::StrToDate(c.Value1));
        cache.Day2 = std::trunc(gcl::StrToDate(c.Value2));
        break;
    case fkPriority:
        cache.Int1 = gcl::StrToInt(c.Value1);
        cache.Int2 = gcl::StrToInt(c.Value2);
        break;
    default:
        break;
    }
    cache.Source1 = c.Value1;
    cache.Source2 = c.Value2;
    cache.Valid = true;
}

bool TFilterSystem::PassesEvery() const {
    for (int k = TFieldsFilter::Low; k <= TFieldsFilter::High; ++k)
        if (Conditions[k].Enabled && !(k == fkFolder && Conditions[k].Value1.empty())) return false;
    return true;
}

bool TFilterSystem::MatchCondition(int k) {
    if (!FTask) return false;
    Prepare(k);
    return Evaluate(k);
}

[[gnu::always_inline]] inline bool TFilterSystem::Evaluate(int k) const {
    const TFieldFilter& c = Conditions[k];
    const TuTask& task = *FTask;
    const TCache& cache = FCache[static_cast<size_t>(k)];
    switch (k) {
    case fkTitle:
        if (c.Op == foContains) return ContainsFolded(task.Title, cache.Lower1);
        return TextMatches(c.Op, task.Title, cache.Lower1, cache.Lower2, true);
    case fkFolder:
        if (c.Value1.empty()) return true;
        return TextMatches(c.Op, task.Folder, c.Value1, c.Value2, false);
    case fkTags:
        if (c.Op == foEqual) return TagSet(task.Tags) == TagSet(c.Value1);
        return TagsContain(task.Tags, cache.Wanted, cache.SingleTag);
    case fkDue: {
        if (c.Op == foNoDate) return task.Due == 0;
        if (c.Op == foHasDate) return task.Due != 0;
        if (c.Op == foNever) return false;
        const double day = std::trunc(task.Due);
        const int r = CompareNumbers(day, cache.Day1);
        switch (c.Op) {
        case foEqual: return r == 0;
        case foNotEqual: return r != 0;
        case foLess: return r < 0 && task.Due > 0;  // no date is never "earlier"
        case foLessEqual: return (r < 0 && task.Due > 0) || r == 0;
        case foGreater: return r > 0;
        case foGreaterEqual: return r >= 0;
        case foBetween: return r > 0 && CompareNumbers(day, cache.Day2) < 0;
        default: return false;
        }
    }
    case fkPriority:
        return NumberMatches(c.Op, task.Priority, cache.Int1, cache.Int2);
    case fkDone:
        return c.Value1 == "D" ? task.Done : !task.Done;
    default:
        return false;
    }
}

bool TagsMatch(const std::string& list, const std::string& wanted, bool exact) {
    if (exact) return TagSet(list) == TagSet(wanted);
    if (list.empty()) return false;
    thread_local std::string w;
    bool single = false;
    FoldWanted(wanted, w, single);
    return TagsContain(list, w, single);
}

int CompareDateTimeParts(bool useDate, bool useTime, double a, double b) {
    if (useDate && !useTime) return gcl::CompareDate(a, b);
    if (useTime && !useDate) {
        const long long ta = std::llround(gcl::TimeOf(StripSeconds(a)) * 86400000.0);
        const long long tb = std::llround(gcl::TimeOf(StripSeconds(b)) * 86400000.0);
        return ta < tb ? -1 : (ta > tb ? 1 : 0);
    }
    if (useDate && useTime) {
        const double sa = StripSeconds(a), sb = StripSeconds(b);
        return sa < sb ? -1 : (sa > sb ? 1 : 0);
    }
    return 0;
}

void GetDateRange(double& startDate, double& endDate, std::uint16_t period, double aDate) {
    switch (period) {
    case 0:
        startDate = aDate;
        endDate = aDate;
        break;
    case 1:
        startDate = gcl::StartOfTheWeek(aDate);
        endDate = gcl::EndOfTheWeek(aDate);
        break;
    case 2:
        startDate = gcl::StartOfTheMonth(aDate);
        endDate = gcl::EndOfTheMonth(aDate);
        break;
    case 3:
        startDate = gcl::StartOfTheYear(aDate);
        endDate = gcl::EndOfTheYear(aDate);
        break;
    default:
        break;
    }
}

} // namespace qelvo
