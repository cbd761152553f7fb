#include "data/uDataMan.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <mutex>
#include <new>
#include <optional>
#include <stdexcept>
#include <thread>
#include <unordered_set>
#include <vector>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#ifdef _WIN32
#include "gcl/rtl/WinApi.h"
#endif

#include "data/uDataManLines.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Jobs.h"
#include "gcl/rtl/Maths.h"
#include "gcl/rtl/SlotPool.h"
#include "gcl/rtl/Streams.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TuTask)
GCL_IMPLEMENT_CLASS(TuTaskList)

namespace {

constexpr char FS = FieldSeparator;
constexpr char NS = NoteLineSeparator;
constexpr std::string_view DoneToken = "-d-";
constexpr std::string_view NotDoneToken = "--";

const std::string& IndFormat() {
    static const std::string fmt = IndependentDateFormat;
    return fmt;
}



#ifdef __SSE2__
// A bit for each byte of the 16 at P that equals the needle's.
inline unsigned MatchMask(const char* p, __m128i needle) noexcept {
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), needle)));
}
#endif

// The search under the loader's byte searches: calls F (Base, Mask) for
// the stretches of V from From on that hold a byte C, Mask having bit J
// set for a C at Base + J, in order, until F returns True (then so does
// ScanForByte). It goes 16 bytes at a time; the last stretch is the 16
// bytes that end where V ends, with the bytes seen before masked off, so
// that no line ends in a byte-by-byte loop and nothing past V is read.
template <class F>
[[gnu::always_inline]] inline bool ScanForByte(std::string_view v, char c, size_t from, F&& f) noexcept {
    const char* p = v.data();
    const size_t n = v.size();
    size_t i = from;
#ifdef __SSE2__
    if (n >= 16) {
        const __m128i needle = _mm_set1_epi8(c);
        for (; i + 16 <= n; i += 16)
            if (const unsigned mask = MatchMask(p + i, needle); mask && f(i, mask)) return true;
        if (i >= n) return false;
        const size_t base = n - 16;
        const unsigned shift = static_cast<unsigned>(i - base);
        const unsigned mask = MatchMask(p + base, needle) >> shift << shift;
        return mask && f(base, mask);
    }
#endif
    for (; i < n; ++i)
        if (p[i] == c && f(i, 1u)) return true;
    return false;
}

inline unsigned LowestBit(unsigned mask) noexcept {
    return static_cast<unsigned>(__builtin_ctz(mask));
}

// V.find(C, From), inlined: the loader looks for separators in every
// line, mostly over short stretches where a library call costs more than
// the search.
[[gnu::always_inline]] inline size_t FindByte(std::string_view v, char c, size_t from = 0) noexcept {
    size_t found = std::string_view::npos;
    ScanForByte(v, c, from, [&found](size_t base, unsigned mask) {
        found = base + LowestBit(mask);
        return true;
    });
    return found;
}

// The positions of the first Max bytes C in V (fewer when V holds fewer),
// found in one pass; returns how many.
template <size_t Max>
size_t FindBytes(std::string_view v, char c, size_t (&at)[Max]) noexcept {
    size_t k = 0;
    ScanForByte(v, c, 0, [&](size_t base, unsigned mask) {
        for (; mask; mask &= mask - 1) {
            at[k++] = base + LowestBit(mask);
            if (k == Max) return true;
        }
        return false;
    });
    return k;
}

// How many bytes C V holds, and where the last one is (npos: none).
size_t CountByte(std::string_view v, char c, size_t& last) noexcept {
    size_t count = 0;
    last = std::string_view::npos;
    ScanForByte(v, c, 0, [&](size_t base, unsigned mask) {
        last = base + 31 - static_cast<size_t>(__builtin_clz(mask));
        for (; mask; mask &= mask - 1) ++count;
        return false;
    });
    return count;
}

bool HasDueDate(double due) {
    return gcl::YearOf(due) > 1901;
}

// A line written by another hand may hold a due day the file does not
// keep (most tasks have none, which needs no look at the calendar).
inline void DropUnwrittenDue(TuTask& task) noexcept {
    if (task.Due != 0) task.Due = KeptDue(task.Due);
}

void AppendIndDate(std::string& out, double date) {
    int y, m, d;
    gcl::DecodeDate(date, y, m, d);
    if (y == 0) return;
    AppendInt(out, m);
    out += '/';
    AppendInt(out, d);
    out += '/';
    AppendInt(out, y);
}

void AppendDateMode(std::string& out, const std::string& fmt, double date) {
    if (fmt == IndependentDateFormat)
        AppendIndDate(out, date);
    else
        out += DateToStrMode(fmt, date);
}

// IndStrToDate on a view: "/" is appended unless the text ends with one,
// then month, day and year are cut at "/" in that order (a part with no
// "/" after it reads as empty) and read from their leading digits.
[[gnu::noinline]] double IndViewToDateAnyForm(std::string_view text) {
    const bool closed = !text.empty() && text.back() == '/';
    const size_t n = text.size();
    size_t pos = 0;
    int parts[3];
    for (int& part : parts) {
        std::string_view token;
        size_t q = pos <= n ? text.find('/', pos) : std::string_view::npos;
        if (q != std::string_view::npos) {
            token = text.substr(pos, q - pos);
            pos = q + 1;
        } else if (!closed && pos <= n) {
            token = text.substr(pos);  // up to the appended "/"
            pos = n + 1;
        }
        part = token.empty() ? 0 : gcl::StrToLeadingInt(token);
    }
    double result;
    if (gcl::TryEncodeDate(parts[2], parts[0], parts[1], result)) return result;
    return 0;
}

// TryEncodeDate's answer (0 for no date).
inline double DateOrZero(int year, int month, int day) noexcept {
    double result;
    return gcl::TryEncodeDate(year, month, day, result) ? result : 0;
}

// IndViewToDate, with the form the file always has read inline.
inline double IndViewToDate(std::string_view text) {
    // The form the file always has (m/d/yyyy, one or two digits for month
    // and day) read directly.
    const size_t n0 = text.size();
    if (n0 >= 8 && n0 <= 10) {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
        auto digit = [p](size_t i) { return static_cast<unsigned>(p[i]) - '0'; };
        const size_t s1 = p[1] == '/' ? 1 : 2;  // the two slashes
        const size_t s2 = n0 - 5;
        const size_t dayDigits = s2 - s1 - 1;
        if (p[s1] == '/' && p[s2] == '/' && (dayDigits == 1 || dayDigits == 2)) {
            const unsigned m0 = digit(0), m1 = digit(s1 - 1), d0 = digit(s1 + 1), d1 = digit(s2 - 1);
            const unsigned y0 = digit(s2 + 1), y1 = digit(s2 + 2), y2 = digit(s2 + 3), y3 = digit(s2 + 4);
            // Tested together rather than one by one: which digits a date
            // has varies from line to line and would defeat prediction.
            if (((m0 > 9) | (m1 > 9) | (d0 > 9) | (d1 > 9) | (y0 > 9) | (y1 > 9) | (y2 > 9) | (y3 > 9)) == 0) {
                // Worked out without branches, for the same reason.
                const unsigned twoMonthDigits = static_cast<unsigned>(s1 - 1);
                const unsigned twoDayDigits = static_cast<unsigned>(dayDigits - 1);
                const int month = static_cast<int>(m0 + twoMonthDigits * (m0 * 9 + m1));
                const int day = static_cast<int>(d0 + twoDayDigits * (d0 * 9 + d1));
                const int year = static_cast<int>(((y0 * 10 + y1) * 10 + y2) * 10 + y3);
                return DateOrZero(year, month, day);
            }
        }
    }
    return IndViewToDateAnyForm(text);
}

// The date of a trimmed, non-empty due token: "t" today, "tN" today + N
// days (Fallback when N is not a number), else a date text.
double DueFromToken(std::string_view token, bool independent, double fallback, bool strict) {
    if (token[0] == 't') {
        if (token.size() == 1) return gcl::Date();
        int days;
        if (gcl::TryStrToInt(std::string(token.substr(1)), days)) return gcl::Date() + days;
        return fallback;
    }
    if (strict) return gcl::StrToDate(std::string(token));
    if (independent) return IndViewToDate(token);
    return StrToDateMode(std::string(token), false);
}

// ---- Round-trip escape of task lines ------------------------------------------
//
// The plain task line cannot carry every text: 0xF7 inside a field splits
// the line, 0xF8 inside a note splits a note line, CR or LF inside a title,
// tag, list name or id splits the file line, and a title or tag list that
// the short form's grammar reads differently comes back changed (a title
// "+1 for Bob" of a normal task reads as a high-priority "1 for Bob", a
// title "Call Bob; then Ann; done" loses "; then Ann;", a one-letter tag
// list "[a]" stays in the title).
//
// Such a task is written as an escaped line, and only such a task: every
// line that round-trips as it is keeps the plain form byte for byte. An
// escaped line has a seventh field holding "%" (so it ends "...÷%÷"). The
// plain form never has one: it ends right after the note field, which is
// empty or ends with 0xF8, so older files always read as plain lines. In
// an escaped line:
//   - the title, the tags, the id, the list name and every note line hold
//     "%" and two upper-case hex digits in place of each byte below 0x20
//     and of "%", ";", "[", "]", 0xF7 and 0xF8; a title that begins with
//     "+" or "-" has that byte escaped too;
//   - the short form is read literally: an optional "+" or "-", an
//     optional ";date;", an optional "[tags]", then the title, with no
//     trimming and no tag-list normalisation, then the escapes decoded.
// Readers that know nothing of the escape still find the priority, due
// date, done flag, dates and list of an escaped line; they show the
// escapes in the texts.
constexpr std::string_view EscapeMark = "%";

inline bool MustEscape(unsigned char c) noexcept {
    return c < 0x20 || c == '%' || c == ';' || c == '[' || c == ']' || c == 0xF7 || c == 0xF8;
}

void AppendEscaped(std::string& out, std::string_view s, bool guardPriorityMark) {
    static constexpr char hex[] = "0123456789ABCDEF";
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (MustEscape(c) || (guardPriorityMark && i == 0 && (c == '+' || c == '-'))) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
}

inline int HexValue(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Decodes "%XX"; a "%" without two hex digits after it stays as it is.
void AppendUnescaped(std::string& out, std::string_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            const int hi = HexValue(s[i + 1]);
            const int lo = HexValue(s[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += s[i];
    }
}

// Every line of Text followed by Sep (JoinLines), escaped or plain.
void AppendJoinedLines(std::string& out, std::string_view text, char sep, bool escaped) {
    ForEachLine(text, [&](std::string_view line) {
        if (escaped)
            AppendEscaped(out, line, false);
        else
            out += line;
        out += sep;
    });
}

// The length of SplitToText's result for Text: the pieces up to the last
// Sep, each Sep becoming CR LF; 0 when Text has no Sep.
size_t JoinedPiecesSize(std::string_view text, char sep) noexcept {
    if (text.empty()) return 0;
    size_t last;
    const size_t count = CountByte(text, sep, last);
    return count ? last + 1 + count : 0;
}

// The loader copies texts 16 bytes at a time where it may read and write
// up to 15 bytes past their ends (its line buffer and its text blocks
// keep that much room after their data): most texts are short, and a
// library call per text costs more than the copy.
constexpr size_t CopySlack = 16;
// Every line the task reader reads has this many readable bytes after it
// (the file reader's buffer keeps them; a single line is copied first),
// so its searches and copies may run past the ends of the texts in it.
constexpr size_t LineSlack = 64;

inline void CopyWithSlack(char* to, const char* from, size_t n) noexcept {
    for (size_t i = 0; i < n; i += 16) std::memcpy(to + i, from + i, 16);
}

// Writes that result (JoinedPiecesSize bytes) to Out.
void WriteJoinedPieces(std::string_view text, char sep, char* out) noexcept {
    size_t pos = 0;
    for (size_t at = FindByte(text, sep); at != std::string_view::npos; at = FindByte(text, sep, at + 1)) {
        std::memcpy(out, text.data() + pos, at - pos);
        out += at - pos;
        *out++ = '\r';
        *out++ = '\n';
        pos = at + 1;
    }
}

// The note of a task line, written in one pass with CopySlack: the
// bytes from In up to End or the first 0xF7, whichever comes first, as
// SplitToText gives them (the pieces up to the last 0xF8, each 0xF8 as
// CR LF), written to Out. Returns their length; In is left at that 0xF7
// or at End. Reads up to 15 bytes past End and writes up to
// 2 * (End - In) + 15 bytes.
size_t WriteNoteWithSlack(const char*& in, const char* end, char* out) noexcept {
    const char* p = in;
    char* o = out;
    char* done = out;  // the end of the last piece written
#ifdef __SSE2__
    const __m128i ns = _mm_set1_epi8(NS), fs = _mm_set1_epi8(FS);
    while (p < end) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o), v);
        const unsigned pieces = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, ns)));
        const unsigned fields = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, fs)));
        const size_t left = static_cast<size_t>(end - p);
        const unsigned mask = (pieces | fields) & (left >= 16 ? 0xFFFFu : (1u << left) - 1);
        if (!mask) {
            p += std::min<size_t>(16, left);
            o += 16;
            continue;
        }
        const unsigned j = LowestBit(mask);
        if (fields & (1u << j)) {
            p += j;
            break;
        }
        o[j] = '\r';
        o[j + 1] = '\n';
        o += j + 2;
        p += j + 1;
        done = o;
    }
#else
    for (; p < end && *p != FS; ++p) {
        if (*p == NS) {
            *o++ = '\r';
            *o++ = '\n';
            done = o;
        } else {
            *o++ = *p;
        }
    }
#endif
    in = p;
    return static_cast<size_t>(done - out);
}

// SplitToText, optionally decoding every piece.
void SplitPieces(std::string_view text, char sep, std::string& result, bool escaped) {
    if (!escaped) {
        if (const size_t n = JoinedPiecesSize(text, sep)) {
            std::string built(n, '\0');
            WriteJoinedPieces(text, sep, built.data());
            result = std::move(built);
        }
        return;
    }
    size_t q = FindByte(text, sep);
    if (q == std::string_view::npos) return;
    result.clear();
    size_t pos = 0;
    while (q != std::string_view::npos) {
        AppendUnescaped(result, text.substr(pos, q - pos));
        result += FileLineEnd;
        pos = q + 1;
        q = FindByte(text, sep, pos);
    }
}

// Byte classes for the escape decision, looked up in one table.
enum : unsigned char {
    LineBreaking = 1,  // 0xF7, CR, LF: would split the task line or the file line
    NoteBreaking = 2,  // 0xF7, 0xF8: would split the line or a note line
    TitleToken = 4,    // ";", "[": may start a due or tags token
    TagsToken = 8,     // ";", "[", "]": may end the tags token early or start a due token
};

struct TByteClasses {
    unsigned char Of[256] = {};
    constexpr TByteClasses() {
        Of[0xF7] = LineBreaking | NoteBreaking;
        Of[0x0D] = Of[0x0A] = LineBreaking;
        Of[0xF8] = NoteBreaking;
        Of[0x3B] = TitleToken | TagsToken;  // ";"
        Of[0x5B] = TitleToken | TagsToken;  // "["
        Of[0x5D] = TagsToken;               // "]"
    }
};
constexpr TByteClasses ByteClasses;

// The classes of all bytes of S together.
unsigned char ClassesOf(std::string_view s) noexcept {
    unsigned char classes = 0;
    for (char c : s) classes |= ByteClasses.Of[static_cast<unsigned char>(c)];
    return classes;
}

// True when NormalizeTagList leaves the list as it is: no item begins or
// ends with a blank, and the list does not end with ",".
bool IsNormalTagList(std::string_view v) noexcept {
    if (v.empty()) return true;
    if (v.back() == ',') return false;
    bool blank = false;
    for (char c : v) blank |= IsBlank(c);
    if (!blank) return true;
    for (size_t i = 0; i < v.size(); ++i)
        if (IsBlank(v[i]) && (i == 0 || v[i - 1] == ',' || i + 1 == v.size() || v[i + 1] == ','))
            return false;
    return true;
}

// IsNormalTagList for a view in a line read (32 bytes from its start are
// readable).
inline bool IsNormalTagListWithSlack(std::string_view v) noexcept {
#ifdef __SSE2__
    if (v.size() <= 32) {
        // No blank at all (the common case) decides at once.
        const __m128i space = _mm_set1_epi8(0x20);
        auto blanks = [space](const char* p) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(b, space), b)));
        };
        std::uint32_t mask = blanks(v.data());
        if (v.size() > 16) mask |= blanks(v.data() + 16) << 16;
        const std::uint32_t used = v.size() == 32 ? ~0u : (1u << v.size()) - 1;
        if ((mask & used) == 0) return v.empty() || v.back() != ',';
    }
#endif
    return IsNormalTagList(v);
}

// NormalizeTagList on a view, into Out.
void NormalizeTagsInto(std::string_view text, std::string& out) {
    out.clear();
    const size_t n = text.size();
    // The text with a "," appended unless it ends with one.
    const size_t length = (n > 0 && text[n - 1] == ',') ? n : n + 1;
    size_t pos = 0;
    while (length - pos >= 2) {
        size_t q = text.find(',', pos);
        if (q == std::string_view::npos) q = n;
        out += TrimmedRange(text.substr(pos, q - pos));
        out += ',';
        pos = q + 1;
    }
    if (!out.empty()) out.pop_back();
}

// True when Line equals Marker ignoring A-Z case.
bool IsMarker(std::string_view line, std::string_view marker) {
    if (line.size() != marker.size()) return false;
    for (size_t i = 0; i < line.size(); ++i)
        if (FoldAZ(line[i]) != FoldAZ(marker[i])) return false;
    return true;
}

// Deleting a list or tag first renames it to nothing; the entry that
// emptied is then the first empty one (when the name was found at all).
void DeleteFirstEmpty(gcl::TStringList& list) {
    for (int i = 0; i < list.GetCount(); ++i)
        if (list.GetRef(i).empty()) {
            list.Delete(i);
            return;
        }
}

} // namespace

// ---- Text routines -------------------------------------------------------------

void CutToken(std::string& source, char sep, std::string& token) {
    const size_t p = source.find(sep);
    if (p == std::string::npos) {
        token.clear();
        return;
    }
    token.assign(source, 0, p);
    source.erase(0, p + 1);
}

std::string CopyBetween(const std::string& text, const std::string& open, const std::string& close) {
    if (open.empty()) return std::string();
    const size_t p = text.find(open);
    if (p == std::string::npos) return std::string();
    const size_t start = p + open.size();
    const std::string& closing = close.empty() ? open : close;
    const size_t q = text.find(closing, start);
    if (q == std::string::npos) return std::string();
    return text.substr(start, q - start);
}

void RemoveBetween(std::string& text, const std::string& open, const std::string& close) {
    if (open.empty()) return;
    const size_t p = text.find(open);
    if (p == std::string::npos) return;
    const std::string& closing = close.empty() ? open : close;
    const size_t q = text.rfind(closing);
    if (q == std::string::npos || q < p) return;
    text.erase(p, q + closing.size() - p);
}

std::string NormalizeTagList(const std::string& text) {
    std::string result;
    NormalizeTagsInto(text, result);
    return result;
}

double ExtractDue(std::string& text, bool independent, bool remove) {
    // Raw is the text between the first and the second ";". The first
    // occurrence of ";" + Raw + ";" is then the token itself, since no ";"
    // comes before the first one.
    const size_t p = text.find(';');
    if (p == std::string::npos) return 0;
    const size_t q = text.find(';', p + 1);
    if (q == std::string::npos) return 0;
    const std::string_view token = TrimmedRange(std::string_view(text).substr(p + 1, q - p - 1));
    if (token.empty()) return 0;
    const double result = DueFromToken(token, independent, 0, false);
    if (remove) text.erase(p, q - p + 1);
    return result;
}

double ParseDueToken(const std::string& text) {
    const double now = gcl::Now();
    const size_t p = text.find(';');
    if (p == std::string::npos) return now;
    const size_t q = text.find(';', p + 1);
    if (q == std::string::npos) return now;
    const std::string_view token = TrimmedRange(std::string_view(text).substr(p + 1, q - p - 1));
    if (token.empty()) return now;
    return DueFromToken(token, false, now, true);
}

std::string ExtractTags(std::string& text, bool remove) {
    // As in ExtractDue, the first "[" + Raw + "]" is the token found.
    const size_t p = text.find('[');
    if (p == std::string::npos) return std::string();
    const size_t q = text.find(']', p + 1);
    if (q == std::string::npos) return std::string();
    std::string list;
    NormalizeTagsInto(TrimmedRange(std::string_view(text).substr(p + 1, q - p - 1)), list);
    if (list.size() < 2) return std::string();
    if (remove) text.erase(p, q - p + 1);
    return list;
}

std::string ParseTagsToken(const std::string& text) {
    std::string copy = text;
    return ExtractTags(copy, false);
}

std::string DateToIndStr(double date) {
    std::string s;
    AppendIndDate(s, date);
    return s;
}

double IndStrToDate(const std::string& text) {
    return IndViewToDate(text);
}

std::string DateToStrMode(const std::string& fmt, double date) {
    if (fmt == IndependentDateFormat) return DateToIndStr(date);
    if (!fmt.empty()) return gcl::FormatDateTime(fmt, date);
    return gcl::DateToStr(date);
}

double StrToDateMode(const std::string& text, bool independent) {
    if (independent) return IndStrToDate(text);
    double result;
    if (gcl::TryReadDatePrefix(text, result)) return result;
    return 0;
}

std::string JoinLines(const std::string& text, char sep) {
    std::string result;
    result.reserve(text.size() + 1);
    AppendJoinedLines(result, text, sep, false);
    return result;
}

void SplitToText(const std::string& text, char sep, std::string& result) {
    if (&text == &result) {
        const std::string copy = text;
        SplitPieces(copy, sep, result, false);
    } else {
        SplitPieces(text, sep, result, false);
    }
}

std::string NewRandomId() {
    // The generator is seeded from the clock once; seeding on every call
    // would repeat ids made within one tick of the clock.
    static const bool seeded = (gcl::Randomize(), true);
    (void)seeded;
    std::string id(10, '0');
    for (char& c : id) c = static_cast<char>('0' + gcl::Random(10));
    return id;
}

double StripSeconds(double dt) {
    return gcl::RecodeMilliSecond(gcl::RecodeSecond(dt, 0), 0);
}

int IndexOfName(const gcl::TStrings& list, const std::string& name) {
    int loose = -1;
    for (int i = 0; i < list.GetCount(); ++i) {
        const std::string entry = list.Get(i);
        if (entry == name) return i;
        if (loose < 0 && gcl::SameText(entry, name)) loose = i;
    }
    return loose;
}

int IndexOfStart(const gcl::TStrings& list, const std::string& text) {
    const int count = list.GetCount();
    for (int i = 0; i < count; ++i) {
        const std::string s = list.Get(i);
        if (s.size() >= text.size() && s.compare(0, text.size(), text) == 0) return i;
    }
    return -1;
}

int IndexOfContains(const gcl::TStrings& list, const std::string& text) {
    const int count = list.GetCount();
    for (int i = 0; i < count; ++i)
        if (list.Get(i).find(text) != std::string::npos) return i;
    return -1;
}

// ---- Task memory -----------------------------------------------------------------
//
// A database holds its tasks by the hundred thousand, and they are made
// and freed together (a file loaded, a database cleared). Each task takes
// a slot of the class library's slot pool instead of a heap block of its
// own: no heap header per task, a slot taken or given back in a few
// instructions, and the tasks of a file side by side in the order of the
// file. The sanitizer builds give every task a heap block of its own (the
// pool does that there), so that they still see each one.
//
// A file load takes whole blocks of slots and leaves its tasks marked
// there: a marked task is a plain TuTask none of whose texts is in a heap
// block of its own, and what it holds is one reference to the text block
// its block of slots names for its run of slots (TTaskRuns). Freeing a
// marked task is giving back that reference and the slot, so a database
// loaded and freed again is freed without reading its tasks: a few runs
// per block of slots, and each block given back whole. A text moving to a
// heap block (TTaskText's hook) or a task the loader cannot describe so
// takes the mark off; such tasks are freed the usual way.

// The runs of slots of one block of task slots that a file load filled:
// run R starts at slot First[R], and each marked task in it holds one
// reference to Block[R] (null: none). Runs come in the order of the slots.
// (A member of TuTask::TFreer, so not file-local.)
struct TTaskRuns {
    static constexpr std::size_t Capacity = 6;
    std::uint32_t Count;
    std::uint32_t First[Capacity];
    TTextBlock* Block[Capacity];
};

namespace {

void TaskTextOnHeap(const TTaskText* field) noexcept;

// Never destroyed: tasks may be freed as late as the end of the process.
gcl::TSlotPool& TaskSlots() {
    static gcl::TSlotPool* slots = [] {
        auto* pool = new gcl::TSlotPool(sizeof(TuTask), alignof(TuTask), gcl::TSlotExtras{true, sizeof(TTaskRuns)});
        TTaskText::SetHeapTextHook(&TaskTextOnHeap);
        return pool;
    }();
    return *slots;
}

// A text of a task's field went to a heap block: the task, if marked,
// now needs its destructor.
void TaskTextOnHeap(const TTaskText* field) noexcept {
    TaskSlots().Unmark(field);
}

// A task's slot: 88 bytes in 32-bit programs (see the order of its fields).
static_assert(sizeof(void*) != 4 || sizeof(TuTask) == 88);

// More than the slots a block of task slots holds.
constexpr std::size_t MaxTaskSlots = gcl::TSlotPool::BlockSize / sizeof(TuTask);

} // namespace

void* TuTask::operator new(std::size_t size) {
    if (size == sizeof(TuTask)) return TaskSlots().Take();
    return ::operator new(size);
}

namespace {

// The memory of the tasks of a file read, a whole block of slots at a
// time; what is left is given back when the stash goes. Made describes
// the task made in the slot taken last.
class TTaskMemoryStash {
public:
    TTaskMemoryStash() = default;
    TTaskMemoryStash(const TTaskMemoryStash&) = delete;
    TTaskMemoryStash& operator=(const TTaskMemoryStash&) = delete;
    ~TTaskMemoryStash() { GiveBackRest(); }

    // Room for one TuTask.
    void* Take() {
        if (FNext == FCount) Refill();
        return FFirst + FNext++ * FStep;
    }
    // The task in the slot taken last is read: it holds one reference to
    // Block (or none), and Clean says none of its texts is in a heap block.
    void Made(TTextBlock* block, bool clean) noexcept {
        if (!FRuns) return;
        TTaskRuns& runs = *FRuns;
        if (clean && (runs.Count == 0 || runs.Block[runs.Count - 1] != block)) {
            if (runs.Count == TTaskRuns::Capacity) {
                clean = false;
            } else {
                runs.First[runs.Count] = static_cast<std::uint32_t>(FNext - 1);
                runs.Block[runs.Count] = block;
                ++runs.Count;
            }
        }
        if (!clean) TaskSlots().Unmark(FFirst + (FNext - 1) * FStep);
    }

private:
    void Refill() {
        GiveBackRest();
        gcl::TSlotPool& slots = TaskSlots();
        size_t count = 0;
        FFirst = static_cast<char*>(slots.TakeBlock(count));
        FStep = slots.SlotSize();
        FCount = count;
        FNext = 0;
        FRuns = gcl::TSlotPool::Pooled ? static_cast<TTaskRuns*>(slots.BlockData(FFirst)) : nullptr;
    }
    void GiveBackRest() noexcept {
        void* rest[MaxTaskSlots];
        size_t n = 0;
        for (size_t i = FNext; i < FCount && n < MaxTaskSlots; ++i) rest[n++] = FFirst + i * FStep;
        if (n) TaskSlots().GiveMany(rest, n);
        FNext = FCount = 0;
        FFirst = nullptr;
        FRuns = nullptr;
    }
    char* FFirst = nullptr;
    std::size_t FStep = 0;  // from one slot to the next
    std::size_t FNext = 0;
    std::size_t FCount = 0;
    TTaskRuns* FRuns = nullptr;
};

} // namespace

// Frees the tasks handed to it, as gcl::Free does one by one. Those of a
// block of slots that come one after another are given back together (the
// whole block at once when they are all it holds), and the references to
// one text block together; a marked task is not read at all.
class TuTask::TFreer {
public:
    TFreer() = default;
    TFreer(const TFreer&) = delete;
    TFreer& operator=(const TFreer&) = delete;
    ~TFreer() {
        EndBlock();
        if (FText) FText->Release(FHeld);
    }

    __attribute__((always_inline)) void Add(TuTask* task) noexcept {
        if (!task) return;
        const std::uintptr_t base = reinterpret_cast<std::uintptr_t>(task) & ~std::uintptr_t(gcl::TSlotPool::BlockSize - 1);
        if (base != FBase) StartBlock(task, base);
        if (FMarks) [[likely]] {
            const std::size_t slot = FPool.SlotIndex(task);
            if ((FMarks[slot / gcl::TSlotPool::MarkBits].load(std::memory_order_relaxed) >> (slot % gcl::TSlotPool::MarkBits)) & 1) {
                if (slot < FRunFirst || slot >= FRunEnd) StartRun(slot);
                ++FRunHeld;
                Keep(task);
                return;
            }
        }
        Destroy(task);
    }

private:
    // Task is the first of another block of slots (or of none).
    __attribute__((noinline)) void StartBlock(TuTask* task, std::uintptr_t base) noexcept {
        EndBlock();
        FBase = base;
        const bool owned = FPool.Owns(task);
        FMarks = owned ? FPool.Marks(task) : nullptr;
        FRuns = owned ? static_cast<const TTaskRuns*>(FPool.BlockData(task)) : nullptr;
        FRunFirst = FRunEnd = 0;
    }
    // The tasks of the block handed so far are freed.
    void EndBlock() noexcept {
        EndRun();
        if (FPending) FPool.GiveMany(FSlots, FPending);
        FPending = 0;
    }
    // A marked task outside the run of slots counted so far.
    __attribute__((noinline)) void StartRun(std::size_t slot) noexcept {
        EndRun();
        std::size_t r = FRuns->Count - 1;
        while (r > 0 && FRuns->First[r] > slot) --r;
        FRunFirst = FRuns->First[r];
        FRunEnd = r + 1 < FRuns->Count ? FRuns->First[r + 1] : ~std::size_t(0);
        FRunBlock = FRuns->Block[r];
    }
    void EndRun() noexcept {
        if (FRunHeld && FRunBlock) Hold(FRunBlock, FRunHeld);
        FRunHeld = 0;
        FRunFirst = FRunEnd = 0;
    }
    // A task that is not marked: destroyed the usual way.
    __attribute__((noinline)) void Destroy(TuTask* task) noexcept {
        if (task->ClassType() != StaticClass()) {
            gcl::Free(task);
            return;
        }
        if (TTextBlock* own = task->FTextBlock) {
            Hold(own, 1);
            task->FTextBlock = nullptr;
        }
        task->TuTask::BeforeDestruction();  // the class is known: no virtual calls
        task->TuTask::~TuTask();
        Keep(task);
    }
    // Count more references to Block to give back.
    void Hold(TTextBlock* block, std::uint32_t count) noexcept {
        if (block != FText) {
            if (FText) FText->Release(FHeld);
            FText = block;
            FHeld = 0;
        }
        FHeld += count;
    }
    // The memory of a task destroyed (or needing no destructor).
    void Keep(TuTask* task) noexcept {
        if (FPending == MaxTaskSlots) [[unlikely]] {
            FPool.GiveMany(FSlots, FPending);
            FPending = 0;
        }
        FSlots[FPending++] = task;
    }

    gcl::TSlotPool& FPool = TaskSlots();
    std::uintptr_t FBase = 1;  // no block's
    const gcl::TSlotPool::TMarkWord* FMarks = nullptr;  // the block's marks (null: not the pool's)
    const TTaskRuns* FRuns = nullptr;
    // The run of slots the marked tasks counted last are in.
    std::size_t FRunFirst = 0;
    std::size_t FRunEnd = 0;
    TTextBlock* FRunBlock = nullptr;
    std::uint32_t FRunHeld = 0;  // references to FRunBlock counted
    TTextBlock* FText = nullptr;
    std::uint32_t FHeld = 0;  // references to FText not yet given back
    std::size_t FPending = 0;
    void* FSlots[MaxTaskSlots];
};

void TuTask::FreeMany(TuTask* const* tasks, std::size_t count) noexcept {
    TFreer freer;
    for (std::size_t i = 0; i < count; ++i) freer.Add(tasks[i]);
}

void TuTask::operator delete(void* p, std::size_t size) noexcept {
    (void)size;
    if (!p) return;
    if (size == sizeof(TuTask)) {
        TaskSlots().Give(p);
        return;
    }
    ::operator delete(p);
}

// ---- TuTask ----------------------------------------------------------------------

TuTask::TuTask() {
    Id = NewRandomId();
    Created = gcl::Now();
    Priority = 1;
}

TuTask::TuTask(const std::string& line, bool full, bool independent) {
    if (!full) {
        Id = NewRandomId();
        Created = gcl::Now();
        Priority = 1;
    }
    FromString(line, full, independent);
}

TuTask::~TuTask() {
    if (FTextBlock) FTextBlock->Release();
}

void TuTask::ParseShortForm(std::string& work, bool independent) {
    Priority = 1;
    if (!work.empty() && work[0] == '+') {
        Priority = 2;
        work.erase(0, 1);
    } else if (!work.empty() && work[0] == '-') {
        Priority = 0;
        work.erase(0, 1);
    }
    Due = ExtractDue(work, independent, true);
    Tags = ExtractTags(work, true);
    Title.assign(TrimmedRange(work));
}

struct TuTask::TReadCache {
    TReadCache() = default;
    TReadCache(const TReadCache&) = delete;
    TReadCache& operator=(const TReadCache&) = delete;
    ~TReadCache() { Close(); }

    // The texts of the tasks read go to blocks of growing size (a small
    // file takes little room); a task with more text than a share of the
    // largest block gets a block of its own.
    static constexpr size_t FirstBlockSize = 16 * 1024;
    static constexpr size_t LastBlockSize = 1024 * 1024;
    static constexpr size_t OwnBlockSize = LastBlockSize / 8;
    TTextBlock* Block = nullptr;  // the block being filled; the cache holds a reference
    size_t Used = 0;
    std::uint32_t Holders = 0;    // tasks given Block, counted into it when it is closed
    size_t NextSize = FirstBlockSize;

    // Room for N bytes (and CopySlack after them) for the texts of one
    // task; Commit then says how many of them it used.
    char* Reserve(size_t n) {
        if (n > OwnBlockSize) {
            Own = TTextBlock::New(n + CopySlack);
            return Own->Bytes();
        }
        if (!Block || Block->GetCapacity() - CopySlack - Used < n) {
            // The blocks grow from small ones: a task of more text than the
            // next one holds (tens of thousands of bytes early in a file)
            // gets a block that holds it.
            TTextBlock* next = TTextBlock::New(std::max(NextSize, n + CopySlack));
            Close();
            Block = next;
            Used = 0;
            NextSize = std::min(NextSize * 2, LastBlockSize);
        }
        return Block->Bytes() + Used;
    }
    // Task (a new task) keeps the first N bytes of the room reserved last;
    // it holds a reference to their block from now on.
    void Commit(size_t n, TuTask* task) noexcept {
        if (TTextBlock* own = Own) {
            Own = nullptr;
            if (n)
                task->FTextBlock = own;
            else
                own->Release();
            return;
        }
        if (!n) return;
        Used += n;
        task->FTextBlock = Block;
        ++Holders;
    }
    TTextBlock* Own = nullptr;  // a block of one task's own, between Reserve and Commit
    // The line buffer of the file being read: a text inside it may be
    // read CopySlack bytes past its end.
    const char* Buffer = nullptr;
    const char* BufferEnd = nullptr;
    bool InBuffer(std::string_view v) const noexcept {
        return v.data() >= Buffer && v.data() + v.size() + CopySlack <= BufferEnd;
    }

    // A task none of whose texts went to a block holds a reference to the
    // block being filled all the same, so that the tasks of a file come in
    // long runs of one block each.
    void ShareBlock(TuTask* task) noexcept {
        if (task->FTextBlock || !Block) return;
        task->FTextBlock = Block;
        ++Holders;
    }
    // Counts the block's tasks into it and lets go of the cache's own
    // reference.
    void Close() noexcept {
        if (!Block) return;
        Block->AddRef(Holders);
        Block->Release();
        Block = nullptr;
        Holders = 0;
    }
};

// The short form of a plain line read without copying it, for the shape
// the writer gives it: the priority mark, a due token (if any) first, a
// tags token (if any) right after it; Title and TagList are left for the
// caller to store (TagList may lie in a buffer of this thread that the
// next call reuses). False, with nothing changed, for any other shape,
// which ParseShortForm then reads.
bool TuTask::ParsePlainShortForm(std::string_view work, bool independent, std::string_view& title,
                                 std::string_view& tagList) {
    std::uint8_t priority = 1;
    if (!work.empty() && (work[0] == '+' || work[0] == '-')) {
        priority = work[0] == '+' ? 2 : 0;
        work.remove_prefix(1);
    }
    double due = 0;
    const size_t p = FindByte(work, ';');
    if (p != std::string_view::npos) {
        const size_t q = FindByte(work, ';', p + 1);
        if (q != std::string_view::npos) {
            const std::string_view token = TrimmedRange(Slice(work, p + 1, q));
            if (!token.empty()) {
                if (p != 0) return false;
                due = DueFromToken(token, independent, 0, false);
                work.remove_prefix(q + 1);
            }
        }
    }
    std::string_view tags = Slice(work, 0, 0);
    thread_local std::string normalized;
    const size_t b = FindByte(work, '[');
    if (b != std::string_view::npos) {
        const size_t e = FindByte(work, ']', b + 1);
        if (e != std::string_view::npos) {
            const std::string_view raw = TrimmedRange(Slice(work, b + 1, e));
            if (IsNormalTagListWithSlack(raw)) {
                tags = raw;
            } else {
                NormalizeTagsInto(raw, normalized);
                tags = normalized;
            }
            if (tags.size() < 2) {
                tags = Slice(work, 0, 0);
            } else {
                if (b != 0) return false;
                work.remove_prefix(e + 1);
            }
        }
    }
    Priority = priority;
    Due = due;
    tagList = tags;
    title = TrimmedRange(work);
    return true;
}

void TuTask::ParseEscapedShortForm(std::string_view work, bool independent) {
    size_t pos = 0;
    Priority = 1;
    if (!work.empty() && (work[0] == '+' || work[0] == '-')) {
        Priority = work[0] == '+' ? 2 : 0;
        pos = 1;
    }
    Due = 0;
    if (pos < work.size() && work[pos] == ';') {
        const size_t q = work.find(';', pos + 1);
        if (q != std::string_view::npos) {
            const std::string_view token = TrimmedRange(work.substr(pos + 1, q - pos - 1));
            if (!token.empty())
                Due = independent ? IndViewToDate(token) : StrToDateMode(std::string(token), false);
            pos = q + 1;
        }
    }
    std::string text;
    if (pos < work.size() && work[pos] == '[') {
        const size_t q = work.find(']', pos + 1);
        if (q != std::string_view::npos) {
            AppendUnescaped(text, work.substr(pos + 1, q - pos - 1));
            pos = q + 1;
        }
    }
    Tags = text;
    text.clear();
    AppendUnescaped(text, work.substr(pos));
    Title = text;
}

void TuTask::FromString(const std::string& line, bool full, bool independent) {
    if (full) {
        ReadLine(line, independent);
        return;
    }
    std::string work = line;
    ParseShortForm(work, independent);
}

void TuTask::ReadLine(std::string_view line, bool independent) {
    // The reader may read past the end of a line (LineSlack): the line is
    // read from a copy with room after it.
    thread_local std::string padded;
    padded.assign(line);
    padded.append(LineSlack, '\0');
    struct TRelease {
        ~TRelease() {
            if (padded.capacity() > 64 * 1024) std::string().swap(padded);
        }
    } release;
    ReadFields(std::string_view(padded.data(), line.size()), independent, nullptr);
    DropUnwrittenDue(*this);
}

namespace {

// The first byte from From on of the N bytes at P that is A, B or C; N
// when there is none. Reads up to 15 bytes past the N (LineSlack).
template <char A, char B = A, char C = A>
[[gnu::always_inline]] inline size_t FindAnyWithSlack(const char* p, size_t from, size_t n) noexcept {
#ifdef __SSE2__
    const __m128i a = _mm_set1_epi8(A), b = _mm_set1_epi8(B), c = _mm_set1_epi8(C);
    for (size_t i = from; i < n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        __m128i hit = _mm_cmpeq_epi8(v, a);
        if constexpr (B != A) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(v, b));
        if constexpr (C != A && C != B) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(v, c));
        if (const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit)))
            return std::min(i + LowestBit(mask), n);
    }
    return n;
#else
    for (size_t i = from; i < n; ++i)
        if (p[i] == A || p[i] == B || p[i] == C) return i;
    return n;
#endif
}

// A bit for each 0xF7 among the 64 bytes at P (read whole: LineSlack).
inline std::uint64_t FieldEnds64(const char* p) noexcept {
    std::uint64_t mask = 0;
#ifdef __SSE2__
    const __m128i fs = _mm_set1_epi8(FS);
    for (unsigned k = 0; k < 4; ++k)
        mask |= std::uint64_t(static_cast<unsigned>(_mm_movemask_epi8(
                    _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k)), fs))))
                << (16 * k);
#else
    for (unsigned k = 0; k < 64; ++k) mask |= std::uint64_t(p[k] == FS) << k;
#endif
    return mask;
}

inline size_t LowestBit64(std::uint64_t mask) noexcept {
    return static_cast<size_t>(__builtin_ctzll(mask));
}

} // namespace

bool TuTask::ReadWrittenLine(std::string_view line, TReadCache& cache) {
    // A plain line with file dates in the shape the writer gives it:
    // "+" or "-" or neither, ";due;" or not, "[tags]" (a normal list of two
    // characters or more) or not, the title, and no other ";" or "[" in the
    // short form (nor a ";" in the tags without a due token); Done, Id,
    // Folder and Created within the 64 bytes after the short form; the
    // note's 0xF7 ending the line. It reads as the full reader reads it,
    // in fewer passes over the line, and nothing is changed unless it is
    // read: False leaves the line to the full reader.
    const char* const p = line.data();
    const size_t n = line.size();
    if (n == 0 || n > std::numeric_limits<std::uint32_t>::max() / 2) return false;

    // The short form.
    size_t pos = 0;
    std::uint8_t priority = 1;
    if (p[0] == '+' || p[0] == '-') {
        priority = p[0] == '+' ? 2 : 0;
        pos = 1;
    }
    double due = 0;
    std::string_view tags = Slice(line, pos, pos);
    bool dueRead = false;
    size_t t = FindAnyWithSlack<FS, ';', '['>(p, pos, n);
    if (t < n && p[t] == ';') {
        const size_t q = FindAnyWithSlack<';', FS>(p, t + 1, n);
        if (t != pos || q == n || p[q] != ';') return false;
        const std::string_view token = TrimmedRange(Slice(line, t + 1, q));
        if (token.empty()) return false;
        due = DueFromToken(token, true, 0, false);
        dueRead = true;
        pos = q + 1;
        t = FindAnyWithSlack<FS, '['>(p, pos, n);
    }
    if (t < n && p[t] == '[') {
        // Without a due token, a ";" in the tags could start one.
        const size_t e = dueRead ? FindAnyWithSlack<']', FS>(p, t + 1, n) : FindAnyWithSlack<']', FS, ';'>(p, t + 1, n);
        if (t != pos || e == n || p[e] != ']') return false;
        tags = TrimmedRange(Slice(line, t + 1, e));
        if (tags.size() < 2 || !IsNormalTagListWithSlack(tags)) return false;
        pos = e + 1;
        t = dueRead ? FindAnyWithSlack<FS>(p, pos, n) : FindAnyWithSlack<FS, ';'>(p, pos, n);
    }
    if (t == n || p[t] != FS) return false;
    const size_t at0 = t;
    const std::string_view title = TrimmedRange(Slice(line, pos, at0));

    // Done, Id, Folder, Created: the next four 0xF7 within 64 bytes.
    std::uint64_t m1 = FieldEnds64(p + at0 + 1);
    if (const size_t rest = n - at0 - 1; rest < 64) m1 &= (std::uint64_t(1) << rest) - 1;
    const std::uint64_t m2 = m1 & (m1 - 1), m3 = m2 & (m2 - 1), m4 = m3 & (m3 - 1);
    if (m4 == 0) return false;
    const size_t at1 = at0 + 1 + LowestBit64(m1), at2 = at0 + 1 + LowestBit64(m2);
    const size_t at3 = at0 + 1 + LowestBit64(m3), at4 = at0 + 1 + LowestBit64(m4);
    const std::string_view id = Slice(line, at1 + 1, at2);
    const std::string_view folder = Slice(line, at2 + 1, std::min(at3, at2 + 1 + MaxFolderLength));

    // The note, written to the room reserved as it is read: its lines up
    // to the last 0xF8, each 0xF8 as CR LF, and the 0xF7 after it the last
    // byte of the line.
    // The tags text goes to the block when it would fill the memo's bytes
    // inside its field: grouping by tags keeps its number there.
    auto room = [](size_t size) { return TTaskText::NeedsBlock(size) ? size + 1 : 0; };
    auto tagsRoom = [](size_t size) { return TTaskText::NeedsBlockForMemo(size) ? size + 1 : 0; };
    const size_t noteRoom = 2 * (n - at4 - 1) + 1;
    char* const start =
        cache.Reserve(room(title.size()) + tagsRoom(tags.size()) + room(id.size()) + room(folder.size()) + noteRoom);
    const char* in = p + at4 + 1;
    const size_t notes = WriteNoteWithSlack(in, p + n, start);
    if (in + 1 != p + n || *in != FS) {
        cache.Commit(0, this);
        return false;
    }
    char* const noteEnd = start + notes;

    // Everything read: the fields are set.
    Priority = priority;
    Due = due;
    Done = Slice(line, at0 + 1, at1) == DoneToken;
    Created = IndViewToDate(Slice(line, at3 + 1, at4));
    char* next = start;
    if (TTaskText::NeedsBlock(notes)) {
        *noteEnd = '\0';
        Notes.SetBlockText(start, static_cast<std::uint32_t>(notes));
        next = noteEnd + 1;
    } else if (notes) {
        Notes.SetInlineText(start, notes);
    }
    auto put = [&next](TTaskText& field, std::string_view v, bool inBlock) __attribute__((always_inline)) {
        if (!inBlock) {
            field.SetInlineText(v.data(), v.size());
            return;
        }
        CopyWithSlack(next, v.data(), v.size());
        next[v.size()] = '\0';
        field.SetBlockText(next, static_cast<std::uint32_t>(v.size()));
        next += v.size() + 1;
    };
    put(Title, title, TTaskText::NeedsBlock(title.size()));
    put(Tags, tags, TTaskText::NeedsBlockForMemo(tags.size()));
    put(Id, id, TTaskText::NeedsBlock(id.size()));
    put(Folder, folder, TTaskText::NeedsBlock(folder.size()));
    cache.Commit(static_cast<size_t>(next - start), this);
    return true;
}

void TuTask::ReadFields(std::string_view line, bool independent, TReadCache* cache) {
    if (cache && independent && ReadWrittenLine(line, *cache)) return;
    // The short form is the text before the first 0xF7 (none: empty, and
    // the whole line is left for the other fields). Done, Id, Folder,
    // Created, Notes: each ends at the next 0xF7; one without a 0xF7 after
    // it is missing and reads as empty, and so are all after it. An escaped
    // line holds "%" between the sixth and the seventh 0xF7.
    size_t at[7];
    const size_t found = FindBytes(line, FS, at);
    // Every text read is a view into Line, also an empty one.
    const std::string_view work = Slice(line, 0, found == 0 ? 0 : at[0]);
    // Field J after the short form (Done 0, Id 1, Folder 2, Created 3,
    // Notes 4). Worked out where used: zeroing an array of them first
    // costs more than reading them.
    const std::string_view none = Slice(line, line.size(), line.size());
    auto field = [&](size_t j) { return j + 1 < found ? Slice(line, at[j] + 1, at[j + 1]) : none; };
    const bool escaped = found == 7 && Slice(line, at[5] + 1, at[6]) == EscapeMark;

    std::string_view title, tags;
    bool shortFormRead = false;  // Title and Tags still to store
    if (escaped) {
        ParseEscapedShortForm(work, independent);
    } else if (ParsePlainShortForm(work, independent, title, tags)) {
        shortFormRead = true;
    } else {
        thread_local std::string scratch;
        scratch.assign(work);
        ParseShortForm(scratch, independent);
    }
    Done = field(0) == DoneToken;
    if (!independent)
        Created = StrToDateMode(std::string(field(3)), false);
    else
        Created = IndViewToDate(field(3));

    // A note without a 0xF8 leaves Notes as it was (SplitToText).
    if (escaped) {
        std::string text;
        AppendUnescaped(text, field(1));
        Id = text;
        text.clear();
        AppendUnescaped(text, field(2));
        if (text.size() > MaxFolderLength) text.resize(MaxFolderLength);
        Folder = text;
        if (FindByte(field(4), NS) != std::string_view::npos) {
            SplitPieces(field(4), NS, text, true);
            Notes = text;
        }
        return;
    }
    const std::string_view id = field(1);
    const std::string_view list = field(2);
    const std::string_view folder = Slice(list, 0, std::min(list.size(), MaxFolderLength));
    const std::string_view notes = field(4);
    if (!cache) {
        if (shortFormRead) {
            Title = title;
            Tags = tags;
        }
        Id = id;
        Folder = folder;
        if (const size_t notesSize = JoinedPiecesSize(notes, NS)) {
            std::string text(notesSize, '\0');
            WriteJoinedPieces(notes, NS, text.data());
            Notes = text;
        }
        return;
    }

    // Reading a file: the texts too long to be held in their fields go to
    // the file's text block, side by side. Room for the note is reserved
    // for its longest result (every 0xF8 doubled).
    // (A tags text that would fill the memo's bytes in its field goes to
    // the block too: grouping by tags keeps its number there.)
    auto room = [](size_t n) { return TTaskText::NeedsBlock(n) ? n + 1 : 0; };
    auto tagsRoom = [](size_t n) { return TTaskText::NeedsBlockForMemo(n) ? n + 1 : 0; };
    const size_t notesRoom = notes.empty() ? 0 : 2 * notes.size() + 1;
    const size_t needed = (shortFormRead ? room(title.size()) + tagsRoom(tags.size()) : 0) + room(id.size()) +
                          room(folder.size()) + notesRoom;
    // A field keeps its length in 32 bits.
    constexpr size_t MaxText = std::numeric_limits<std::uint32_t>::max() - 1;
    if (std::max({title.size(), tags.size(), id.size(), notes.size()}) > MaxText / 2 &&
        std::max({title.size(), tags.size(), id.size(), JoinedPiecesSize(notes, NS)}) > MaxText)
        throw std::length_error("task text too long");
    if (!needed) {
        // Every text is held in its field.
        if (shortFormRead) {
            Title.SetInlineText(title.data(), title.size());
            if (cache->InBuffer(tags))
                Tags.SetInlineText(tags.data(), tags.size());
            else
                Tags.assign(tags);
        }
        Id.SetInlineText(id.data(), id.size());
        Folder.SetInlineText(folder.data(), folder.size());
        return;
    }
    char* const start = cache->Reserve(needed);
    char* p = start;
    // V lies in the line buffer, or (the tags) may lie elsewhere.
    auto put = [&p](TTaskText& field, std::string_view v, bool inBuffer, bool inBlock) __attribute__((always_inline)) {
        if (!inBlock) {
            if (inBuffer)
                field.SetInlineText(v.data(), v.size());
            else
                field.assign(v);
            return;
        }
        if (inBuffer)
            CopyWithSlack(p, v.data(), v.size());
        else
            std::memcpy(p, v.data(), v.size());
        p[v.size()] = '\0';
        field.SetBlockText(p, static_cast<std::uint32_t>(v.size()));
        p += v.size() + 1;
    };
    if (shortFormRead) {
        put(Title, title, true, TTaskText::NeedsBlock(title.size()));
        put(Tags, tags, cache->InBuffer(tags), TTaskText::NeedsBlockForMemo(tags.size()));
    }
    put(Id, id, true, TTaskText::NeedsBlock(id.size()));
    put(Folder, folder, true, TTaskText::NeedsBlock(folder.size()));
    if (!notes.empty()) {
        // Short notes are moved into the field.
        const char* in = notes.data();
        const size_t n = WriteNoteWithSlack(in, notes.data() + notes.size(), p);
        if (TTaskText::NeedsBlock(n)) {
            p[n] = '\0';
            Notes.SetBlockText(p, static_cast<std::uint32_t>(n));
            p += n + 1;
        } else if (n) {
            Notes.SetInlineText(p, n);
        }
    }
    cache->Commit(static_cast<size_t>(p - start), this);
}

void TuTask::AppendShortForm(std::string& out, const std::string& dateFmt) const {
    if (Priority == 0)
        out += '-';
    else if (Priority == 2)
        out += '+';
    if (HasDueDate(Due)) {
        out += ';';
        AppendDateMode(out, dateFmt, Due);
        out += ';';
    }
    if (!Tags.empty()) {
        out += '[';
        out += Tags;
        out += ']';
    }
    out += Title;
}

void TuTask::AppendEscapedShortForm(std::string& out, const std::string& dateFmt) const {
    if (Priority == 0)
        out += '-';
    else if (Priority == 2)
        out += '+';
    if (HasDueDate(Due)) {
        out += ';';
        AppendDateMode(out, dateFmt, Due);
        out += ';';
    }
    if (!Tags.empty()) {
        out += '[';
        AppendEscaped(out, Tags, false);
        out += ']';
    }
    AppendEscaped(out, Title, true);
}

bool TuTask::LineNeedsEscape(std::string_view shortForm, const std::string& dateFmt) const {
    const unsigned char title = ClassesOf(Title);
    const unsigned char tags = ClassesOf(Tags);
    if (((title | tags | ClassesOf(Id) | ClassesOf(Folder)) & LineBreaking) || (ClassesOf(Notes) & NoteBreaking))
        return true;

    // Only a title or tag list with one of these traits can read back
    // differently; for those, read the short form back and compare.
    bool doubtful = false;
    if (!Title.empty())
        doubtful = Title[0] == '+' || Title[0] == '-' || IsBlank(Title[0]) || IsBlank(Title.back()) ||
                   (title & TitleToken);
    if (!Tags.empty() && !doubtful)
        doubtful = Tags.size() < 2 || (tags & TagsToken) || !IsNormalTagList(Tags);
    if (!doubtful) return false;

    TuTask probe{TEmpty{}};
    std::string work(shortForm);
    const bool independent = dateFmt == IndependentDateFormat;
    probe.ParseShortForm(work, independent);
    const std::uint8_t priority = (Priority == 0 || Priority == 2) ? Priority : 1;
    if (probe.Priority != priority || probe.Tags != Tags || probe.Title != Title) return true;
    const bool hasDue = HasDueDate(Due);
    if (independent) return probe.Due != (hasDue ? std::trunc(Due) : 0.0);
    return (probe.Due != 0) != hasDue;
}

std::string TuTask::GetShortText(const std::string& dateFmt) const {
    std::string s;
    AppendShortForm(s, dateFmt);
    return s;
}

std::string TuTask::ToString(const std::string& dateFmt, bool full) const {
    if (!full) return GetShortText(dateFmt);
    std::string s;
    AppendLine(s, dateFmt);
    return s;
}

void TuTask::AppendLine(std::string& out, const std::string& dateFmt) const {
    const size_t start = out.size();
    AppendShortForm(out, dateFmt);
    const bool escaped = LineNeedsEscape(std::string_view(out).substr(start), dateFmt);
    if (escaped) {
        out.resize(start);
        AppendEscapedShortForm(out, dateFmt);
    }
    out += FS;
    out += Done ? DoneToken : NotDoneToken;
    out += FS;
    if (escaped) {
        AppendEscaped(out, Id, false);
        out += FS;
        AppendEscaped(out, Folder, false);
    } else {
        out += Id;
        out += FS;
        out += Folder;
    }
    out += FS;
    AppendDateMode(out, dateFmt, Created);
    out += FS;
    AppendJoinedLines(out, Notes, NS, escaped);
    out += FS;
    if (escaped) {
        out += EscapeMark;
        out += FS;
    }
}

// ---- TuTaskList ------------------------------------------------------------------

namespace {

// Frees a whole list's worth of tasks (TuTask::FreeMany).
void FreeTasks(const std::vector<TuTask*>& tasks) noexcept {
    TuTask::FreeMany(tasks.data(), tasks.size());
}


} // namespace

std::vector<TuTask*> TuTaskList::TaskPointers() const {
    std::vector<TuTask*> tasks(static_cast<size_t>(GetCount()));
    for (size_t i = 0; i < tasks.size(); ++i) tasks[i] = static_cast<TuTask*>(ObjectAt(static_cast<int>(i)));
    return tasks;
}

TuTaskList::~TuTaskList() {
    // Straight from the entries, in order.
    TuTask::TFreer freer;
    const int count = GetCount();
    for (int i = 0; i < count; ++i) freer.Add(static_cast<TuTask*>(ObjectAt(i)));
}

void TuTaskList::Clear() {
    // The entries go first, so that no entry names a task being freed.
    std::vector<TuTask*> tasks = TaskPointers();
    gcl::TStringList::Clear();
    FreeTasks(tasks);
}

void TuTaskList::Delete(int index) {
    gcl::TObject* obj = GetObject(index);
    gcl::TStringList::Delete(index);
    gcl::Free(obj);
}

TuTask* TuTaskList::Extract(int index) {
    TuTask* task = GetTask(index);
    gcl::TStringList::Delete(index);
    return task;
}

std::vector<TuTask*> TuTaskList::ExtractAll(const std::vector<TuTask*>& tasks) {
    struct TWanted {
        std::unordered_set<const gcl::TObject*> Tasks;
        std::vector<TuTask*> Out;
    } wanted;
    wanted.Tasks.reserve(tasks.size());
    for (const TuTask* task : tasks)
        if (task) wanted.Tasks.insert(task);
    if (wanted.Tasks.empty()) return {};
    RemoveEntriesIf(
        [](gcl::TObject* object, void* context) {
            auto* w = static_cast<TWanted*>(context);
            if (!object || !w->Tasks.count(object)) return false;
            w->Out.push_back(static_cast<TuTask*>(object));
            return true;
        },
        &wanted);
    return std::move(wanted.Out);
}

std::vector<TuTask*> TuTaskList::Held(const std::vector<TuTask*>& tasks) const {
    std::unordered_set<const TuTask*> asked(tasks.begin(), tasks.end());
    std::unordered_set<const TuTask*> held;
    held.reserve(asked.size());
    for (int i = 0, count = GetCount(); i < count && held.size() < asked.size(); ++i) {
        const TuTask* task = static_cast<const TuTask*>(ObjectAt(i));
        if (task && asked.count(task)) held.insert(task);
    }
    std::vector<TuTask*> out;
    out.reserve(held.size());
    for (TuTask* task : tasks)
        if (held.count(task)) out.push_back(task);
    return out;
}

const std::string& TuTaskList::Stored(const std::string& s, gcl::TObject* object) const {
    static const std::string none;
    if (!object || GetSorted()) return s;
    const TuTask* task = static_cast<const TuTask*>(object);
    return s == task->Title ? none : s;
}

std::string_view TuTaskList::View(int index) const {
    const std::string& s = gcl::TStringList::GetRef(index);
    if (s.empty())
        if (const TuTask* task = GetTask(index)) return task->Title.View();
    return s;
}

std::string TuTaskList::GetRef(int index) const {
    return std::string(View(index));
}

std::string TuTaskList::Get(int index) const {
    return std::string(View(index));
}

void TuTaskList::Put(int index, const std::string& s) {
    gcl::TStringList::Put(index, Stored(s, GetObject(index)));
}

void TuTaskList::PutObject(int index, gcl::TObject* object) {
    // An entry that reads as its task's title keeps that text.
    if (gcl::TStringList::GetRef(index).empty() && GetObject(index) != object)
        if (const TuTask* task = GetTask(index)) gcl::TStringList::Put(index, task->Title);
    gcl::TStringList::PutObject(index, object);
}

int TuTaskList::AddObject(const std::string& s, gcl::TObject* object) {
    return gcl::TStringList::AddObject(Stored(s, object), object);
}

void TuTaskList::InsertObject(int index, const std::string& s, gcl::TObject* object) {
    gcl::TStringList::InsertObject(index, Stored(s, object), object);
}

int TuTaskList::IndexOf(const std::string& s) const {
    if (GetSorted()) return gcl::TStringList::IndexOf(s);
    const int count = GetCount();
    std::string entry;
    for (int i = 0; i < count; ++i) {
        entry.assign(View(i));
        if (CompareStrings(entry, s) == 0) return i;
    }
    return -1;
}

void TuTaskList::KeepTitleCopies() {
    for (int i = 0; i < GetCount(); ++i)
        if (gcl::TStringList::GetRef(i).empty())
            if (const TuTask* task = GetTask(i); task && !task->Title.empty()) gcl::TStringList::Put(i, task->Title);
}

void TuTaskList::Sort() {
    // Sorted lists compare the strings they keep.
    KeepTitleCopies();
    gcl::TStringList::Sort();
}

// ---- TuData ----------------------------------------------------------------------

TuData::TuData()
    : Tags(std::make_unique<gcl::TStringList>()),
      Folders(std::make_unique<gcl::TStringList>()),
      Tasks(std::make_unique<TuTaskList>()) {}

TuData::~TuData() = default;

std::uint64_t TModifiedFlag::NewMark() noexcept {
    static std::atomic<std::uint64_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

void TuData::Clear() {
    Folders->Clear();
    Tags->Clear();
    Tasks->Clear();
    Modified.Touch();
}

// ---- Writing the file text ---------------------------------------------------------
//
// The file is built in one buffer that grows ahead of the line being
// written, so that a task line is written with plain byte copies rather
// than through string appends. A task whose line is plain (no byte any
// field may not hold as it is, a title and tag list the short form reads
// back as they are) is written directly; any other goes through
// TuTask::AppendLine, which makes the escape decision in full.

namespace {

#ifdef __SSE2__
// A bit for each byte of the 16 at P that is one of the bytes a field
// of a plain line never holds as it is: CR, LF, ";", "[", "]", 0xF7,
// 0xF8 (a stricter set than the escape rule's: a task with any of them
// takes the full way).
inline unsigned SpecialMask(const char* p) noexcept {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i m = _mm_cmpeq_epi8(b, _mm_set1_epi8('\r'));
    m = _mm_or_si128(m, _mm_cmpeq_epi8(b, _mm_set1_epi8('\n')));
    m = _mm_or_si128(m, _mm_cmpeq_epi8(b, _mm_set1_epi8(';')));
    m = _mm_or_si128(m, _mm_cmpeq_epi8(b, _mm_set1_epi8('[')));
    m = _mm_or_si128(m, _mm_cmpeq_epi8(b, _mm_set1_epi8(']')));
    m = _mm_or_si128(m, _mm_cmpeq_epi8(b, _mm_set1_epi8('\xF7')));
    m = _mm_or_si128(m, _mm_cmpeq_epi8(b, _mm_set1_epi8('\xF8')));
    return static_cast<unsigned>(_mm_movemask_epi8(m));
}

// A bit for each byte of the 16 at P that is CR or LF (Breaks) or 0xF7
// or 0xF8 (returned).
inline unsigned NoteMask(const char* p, unsigned& breaks) noexcept {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i br = _mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(b, _mm_set1_epi8('\n')));
    const __m128i sep =
        _mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8('\xF7')), _mm_cmpeq_epi8(b, _mm_set1_epi8('\xF8')));
    breaks = static_cast<unsigned>(_mm_movemask_epi8(br));
    return static_cast<unsigned>(_mm_movemask_epi8(sep));
}
#endif

// N bytes from S to D, inline: the lines are made of many short copies,
// for which a library call costs more than the copy (and some C
// libraries copy the last few bytes one instruction at a time). Nothing
// outside the N bytes is read or written.
[[gnu::always_inline]] inline void CopyBytes(char* d, const char* s, size_t n) noexcept {
#ifdef __SSE2__
    if (n >= 16) {
        const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + n - 16));
        for (size_t i = 0; i + 16 <= n; i += 16)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + n - 16), last);
        return;
    }
#endif
    if (n >= 8) {
        std::uint64_t a, b;
        std::memcpy(&a, s, 8);
        std::memcpy(&b, s + n - 8, 8);
        std::memcpy(d, &a, 8);
        std::memcpy(d + n - 8, &b, 8);
    } else if (n >= 4) {
        std::uint32_t a, b;
        std::memcpy(&a, s, 4);
        std::memcpy(&b, s + n - 4, 4);
        std::memcpy(d, &a, 4);
        std::memcpy(d + n - 4, &b, 4);
    } else {
        for (size_t i = 0; i < n; ++i) d[i] = s[i];
    }
}

// True when the N bytes at P hold none of the bytes SpecialMask finds.
// The 15 bytes after them must be readable (P lies in the file text's
// buffer, which keeps that much room after the line).
inline bool HasNoSpecial(const char* p, size_t n) noexcept {
#ifdef __SSE2__
    unsigned any = 0;
    for (size_t i = 0; i < n; i += 16) {
        const unsigned mask = SpecialMask(p + i);
        any |= n - i >= 16 ? mask : mask & ((1u << (n - i)) - 1);
    }
    return any == 0;
#else
    struct TSpecialBytes {
        bool Of[256] = {};
        constexpr TSpecialBytes() {
            for (unsigned char c : {'\r', '\n', ';', '[', ']', '\xF7', '\xF8'}) Of[c] = true;
        }
    };
    static constexpr TSpecialBytes special;
    bool found = false;
    for (size_t i = 0; i < n; ++i) found |= special.Of[static_cast<unsigned char>(p[i])];
    return !found;
#endif
}

// Note (lines split at CR LF, CR or LF) written at Out as its lines each
// followed by 0xF8, as AppendJoinedLines writes them; Out has room for
// the note's size plus one. Returns the end of what was written, or null
// (nothing to rely on written) when the note holds 0xF7 or 0xF8.
char* WriteNoteLines(std::string_view note, char* out) noexcept {
    const char* p = note.data();
    const size_t n = note.size();
    if (n == 0) return out;
    size_t from = 0;  // the start of the line not yet written
    auto lineBreak = [&](size_t at) {
        if (at < from) return;  // the LF of a CR LF already taken
        CopyBytes(out, p + from, at - from);
        out += at - from;
        *out++ = NS;
        from = at + 1 + (p[at] == '\r' && at + 1 < n && p[at + 1] == '\n');
    };
    size_t i = 0;
#ifdef __SSE2__
    if (n >= 16) {
        for (; i + 16 <= n; i += 16) {
            unsigned breaks;
            if (NoteMask(p + i, breaks)) return nullptr;
            for (; breaks; breaks &= breaks - 1) lineBreak(i + LowestBit(breaks));
        }
        if (i < n) {
            const size_t base = n - 16;
            const unsigned shift = static_cast<unsigned>(i - base);
            unsigned breaks;
            if (NoteMask(p + base, breaks) >> shift) return nullptr;
            for (breaks = breaks >> shift << shift; breaks; breaks &= breaks - 1) lineBreak(base + LowestBit(breaks));
        }
        i = n;
    }
#endif
    for (; i < n; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        if (c == 0xF7 || c == 0xF8) return nullptr;
        if (c == '\r' || c == '\n') lineBreak(i);
    }
    // The last line, unless the note ends with its break.
    if (from < n) {
        CopyBytes(out, p + from, n - from);
        out += n - from;
        *out++ = NS;
    }
    return out;
}

// The file's form of dates (AppendIndDate) for the days a file's tasks
// use, kept by day number: a file's tasks share few days.
class TDayTexts {
public:
    TDayTexts() {
        for (TEntry& e : FEntries) e.Day = std::numeric_limits<int>::min();
    }
    // The year of Date as DecodeDate gives it, and its text at Out (none
    // for year 0); returns the end of the text.
    char* Write(double date, char* out, int& year) {
        // Every day DecodeDate reads lies well inside this range, and a
        // day number then names one result.
        if (!(date > -1e6 && date < 1e7)) return Decode(date, out, year);
        const int day = static_cast<int>(date);
        TEntry& e = FEntries[static_cast<unsigned>(day) & (Size - 1)];
        if (e.Day != day) {
            char* end = Decode(date, e.Text, e.Year);
            e.Length = static_cast<unsigned char>(end - e.Text);
            e.Day = day;
        }
        year = e.Year;
        CopyBytes(out, e.Text, sizeof e.Text);
        return out + e.Length;
    }

    // The longest text: "12/31/9999" plus room for any year DecodeDate gives.
    static constexpr size_t MaxText = 16;

private:
    static char* Decode(double date, char* out, int& year) {
        int m, d;
        gcl::DecodeDate(date, year, m, d);
        if (year == 0) return out;
        out = std::to_chars(out, out + 4, m).ptr;
        *out++ = '/';
        out = std::to_chars(out, out + 4, d).ptr;
        *out++ = '/';
        return std::to_chars(out, out + 6, year).ptr;
    }
    struct TEntry {
        int Day;
        int Year;
        unsigned char Length;
        char Text[MaxText];
    };
    static constexpr size_t Size = 1024;
    TEntry FEntries[Size];
};

// The file text, written into one buffer that grows ahead of each line.
class TFileTextWriter {
public:
    explicit TFileTextWriter(size_t expected) { FOut.resize(expected); }

    // Room for N more bytes at the end, which Take then claims.
    char* Room(size_t n) {
        if (FUsed + n > FOut.size()) FOut.resize(std::max(FOut.size() + FOut.size() / 2, FUsed + n));
        return FOut.data() + FUsed;
    }
    void Take(const char* end) { FUsed = static_cast<size_t>(end - FOut.data()); }
    void Append(std::string_view s) {
        char* p = Room(s.size());
        std::memcpy(p, s.data(), s.size());
        Take(p + s.size());
    }
    void Line(std::string_view s) {
        Append(s);
        Append(FileLineEnd);
    }

    // The task's line and its line break.
    void Task(const TuTask& t, const std::string& fmt, bool independent) {
        if (!independent || !WritePlain(t)) {
            FScratch.clear();
            t.AppendLine(FScratch, fmt);
            Line(FScratch);
        }
    }

    // Writes on in Buffer from its start, over its old bytes; it grows to
    // Expected bytes first when it is smaller.
    void Begin(std::string&& buffer, size_t expected) {
        FOut = std::move(buffer);
        FUsed = 0;
        if (FOut.size() < expected) FOut.resize(expected);
    }
    // The buffer, whose first Used bytes are the text written since Begin.
    std::string End(size_t& used) {
        used = FUsed;
        FUsed = 0;
        return std::move(FOut);
    }

    // The whole text.
    std::string Result() && {
        FOut.resize(FUsed);
        return std::move(FOut);
    }

private:
    static char* Put(char* p, std::string_view s) noexcept {
        CopyBytes(p, s.data(), s.size());
        return p + s.size();
    }

    // The plain line of T, when it is one (see the rule above); False
    // with nothing written otherwise. Each text is checked where it was
    // copied to.
    bool WritePlain(const TuTask& t) {
        const std::string_view title = t.Title.View(), tags = t.Tags.View(), id = t.Id.View(),
                               folder = t.Folder.View(), notes = t.Notes.View();
        // A title the short form would read differently.
        if (!title.empty() && (title[0] == '+' || title[0] == '-' || IsBlank(title[0]) || IsBlank(title.back())))
            return false;
        // The fields, the separators, two dates, the note's 0xF8s, and
        // the room HasNoSpecial reads after a text.
        char* const start = Room(title.size() + tags.size() + id.size() + folder.size() + notes.size() +
                                 2 * TDayTexts::MaxText + 48);
        char* p = start;
        if (t.Priority == 0)
            *p++ = '-';
        else if (t.Priority == 2)
            *p++ = '+';
        {
            int year;
            char* dateEnd = FDays.Write(t.Due, p + 1, year);
            if (year > 1901) {
                *p = ';';
                p = dateEnd;
                *p++ = ';';
            }
        }
        if (!tags.empty()) {
            // A tag list the short form would normalise.
            if (tags.size() < 2) return false;
            *p++ = '[';
            const std::string_view copied(p, tags.size());
            p = Put(p, tags);
            if (!HasNoSpecial(copied.data(), copied.size()) || !IsNormalTagListWithSlack(copied)) return false;
            *p++ = ']';
        }
        p = Put(p, title);
        if (!HasNoSpecial(p - title.size(), title.size())) return false;
        *p++ = FS;
        p = Put(p, t.Done ? DoneToken : NotDoneToken);
        *p++ = FS;
        p = Put(p, id);
        if (!HasNoSpecial(p - id.size(), id.size())) return false;
        *p++ = FS;
        p = Put(p, folder);
        if (!HasNoSpecial(p - folder.size(), folder.size())) return false;
        *p++ = FS;
        int year;
        p = FDays.Write(t.Created, p, year);
        *p++ = FS;
        p = WriteNoteLines(notes, p);
        if (!p) return false;
        *p++ = FS;
        *p++ = '\r';
        *p++ = '\n';
        Take(p);
        return true;
    }

    std::string FOut;
    size_t FUsed = 0;
    std::string FScratch;
    TDayTexts FDays;
};

// The header lines of the file text: the database id, the lists and the
// tags, each list ended by its marker.
void WriteHeader(const TuData& data, TFileTextWriter& out) {
    out.Line(data.DbId);
    for (int i = 0; i < data.Folders->GetCount(); ++i) out.Line(data.Folders->GetRef(i));
    out.Line(FoldersMarker);
    for (int i = 0; i < data.Tags->GetCount(); ++i) out.Line(data.Tags->GetRef(i));
    out.Line(TagsMarker);
}

// The lines of tasks [From, To) of Data.
void WriteTasks(const TuData& data, int from, int to, TFileTextWriter& out) {
    const std::string& fmt = IndFormat();
    const bool independent = fmt == IndependentDateFormat;
    for (int i = from; i < to; ++i)
        if (const TuTask* t = data.Tasks->GetTask(i)) out.Task(*t, fmt, independent);
}

// The file text of Data.
void WriteFileText(const TuData& data, TFileTextWriter& out) {
    WriteHeader(data, out);
    WriteTasks(data, 0, data.Tasks->GetCount(), out);
}

// A save split over threads. The file text is cut into pieces: the first
// holds the header lines and the first tasks, each other one the tasks
// that follow, a fixed number of tasks a piece. Makers (the caller's
// thread and helpers) each take the next piece not yet taken and make
// its text in a buffer of their own; the writer writes the pieces in
// their order as they become ready, and a third thread flushes what is
// written to the disk while the rest is written, so that the flush
// before the file is put in place waits for the last part only. Makers
// run at most Window pieces ahead of the writer, so memory stays small
// whatever the size of the file; buffers go round between them.
class TSavePipeline {
public:
    TSavePipeline(const TuData& data, const TuData::TWrittenBytes& written, int tasksPerPiece, int window)
        : FData(data),
          FOnWritten(written),
          FTasksPerPiece(std::max(tasksPerPiece, 1)),
          FPieceCount(std::max((data.Tasks->GetCount() + FTasksPerPiece - 1) / FTasksPerPiece, 1)),
          FWindow(std::max(window, 1)),
          ExpectedPieceSize(size_t(FTasksPerPiece) * 160 + 4096),
          FPieces(static_cast<size_t>(FPieceCount)) {}

    int PieceCount() const noexcept { return FPieceCount; }

    // The file is open: the writer may begin.
    void Open(gcl::TAtomicFileWriter& file) noexcept {
        std::lock_guard lock(FMutex);
        FFile = &file;
        FChanged.notify_all();
    }

    // A maker: makes pieces until every piece is taken.
    void Make() noexcept {
        TFileTextWriter out(0);
        for (;;) {
            int piece;
            std::string buffer;
            {
                std::unique_lock lock(FMutex);
                FChanged.wait(lock, [this] {
                    return FFailed || FTaken == FPieceCount || FTaken < FPiecesWritten + FWindow;
                });
                if (FFailed || FTaken == FPieceCount) return;
                piece = FTaken++;
                if (!FFree.empty()) {
                    buffer = std::move(FFree.back());
                    FFree.pop_back();
                }
            }
            size_t used = 0;
            try {
                out.Begin(std::move(buffer), ExpectedPieceSize);
                MakePiece(piece, out);
                buffer = out.End(used);
            } catch (...) {
                Fail();
                return;
            }
            std::lock_guard lock(FMutex);
            FPieces[static_cast<size_t>(piece)] = {std::move(buffer), used, true};
            FChanged.notify_all();
        }
    }

    // The writer: writes the pieces in order as they become ready.
    void Write() noexcept {
        for (int piece = 0; piece < FPieceCount; ++piece) {
            TPiece p;
            {
                std::unique_lock lock(FMutex);
                TPiece& slot = FPieces[static_cast<size_t>(piece)];
                FChanged.wait(lock, [&] { return FFailed || (slot.Ready && FFile); });
                if (FFailed) break;
                p = std::move(slot);
            }
            if (!WriteBytes(p.Bytes.data(), p.Used)) {
                Fail();
                break;
            }
            std::lock_guard lock(FMutex);
            FPiecesWritten = piece + 1;
            FBytesWritten += p.Used;
            // A buffer goes back while pieces remain to be taken; the
            // rest are freed here (after the lock, with P) rather than by
            // the caller at the end.
            if (FTaken < FPieceCount) FFree.push_back(std::move(p.Bytes));
            FChanged.notify_all();
        }
        std::lock_guard lock(FMutex);
        FWriterDone = true;
        FChanged.notify_all();
    }

    // The flusher: puts what is written on the disk beside the writer
    // until the writer is done, again as soon as FlushAtLeast more bytes
    // are written after each flush, so that the disk is busy from the
    // first pieces on whatever its speed.
    void FlushBeside() noexcept {
        size_t flushed = 0;
        for (;;) {
            size_t upTo;
            {
                std::unique_lock lock(FMutex);
                FChanged.wait(lock, [&] { return FFailed || FWriterDone || FBytesWritten - flushed >= FlushAtLeast; });
                if (FFailed || FWriterDone) return;
                upTo = FBytesWritten;
            }
            if (!FFile->Flush()) {
                Fail();
                return;
            }
            flushed = upTo;
        }
    }

    // Every piece made and written in order by the calling thread alone
    // (the file open).
    void MakeAndWrite() noexcept {
        try {
            TFileTextWriter out(0);
            std::string buffer;
            for (int piece = 0; piece < FPieceCount; ++piece) {
                size_t used = 0;
                out.Begin(std::move(buffer), ExpectedPieceSize);
                MakePiece(piece, out);
                buffer = out.End(used);
                if (!WriteBytes(buffer.data(), used)) {
                    Fail();
                    return;
                }
            }
        } catch (...) {
            Fail();
        }
    }

    // Stops every thread of the save at its next step.
    void Fail() noexcept {
        std::lock_guard lock(FMutex);
        FFailed = true;
        FChanged.notify_all();
    }

    bool Failed() noexcept {
        std::lock_guard lock(FMutex);
        return FFailed;
    }

    // The least that is written between two flushes beside the writer.
    static constexpr size_t FlushAtLeast = 512 * 1024;

private:
    struct TPiece {
        std::string Bytes;
        size_t Used = 0;
        bool Ready = false;
    };

    void MakePiece(int piece, TFileTextWriter& out) {
        if (piece == 0) WriteHeader(FData, out);
        const int from = piece * FTasksPerPiece;
        WriteTasks(FData, from, std::min(FData.Tasks->GetCount(), from + FTasksPerPiece), out);
    }

    // Writes bytes to the file and hands them on.
    bool WriteBytes(const char* p, size_t n) noexcept {
        if (!FFile->Write(p, n)) return false;
        if (FOnWritten) {
            try {
                FOnWritten(std::string_view(p, n));
            } catch (...) {
                return false;
            }
        }
        return true;
    }

    const TuData& FData;
    gcl::TAtomicFileWriter* FFile = nullptr;  // set by Open
    const TuData::TWrittenBytes& FOnWritten;
    const int FTasksPerPiece;
    const int FPieceCount;
    const int FWindow;
    // A piece's buffer to begin with (it grows when the guess is short).
    const size_t ExpectedPieceSize;
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::vector<TPiece> FPieces;
    std::vector<std::string> FFree;
    int FTaken = 0;  // pieces taken by makers
    int FPiecesWritten = 0;
    size_t FBytesWritten = 0;
    bool FWriterDone = false;
    bool FFailed = false;
};

// The helpers a save takes by default: the processors left after the
// caller's and the writer's, at most two (with more, the text is made
// faster than the disk takes it, and the writer waits for a processor
// on a busy machine).
int DefaultSaveHelpers() noexcept {
    const int processors = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(processors - 2, 0, 2);
}

} // namespace

std::string TuData::GetFileText() const {
    // The size is guessed from the number of tasks rather than measured,
    // which would mean a second walk over every task; the buffer grows
    // when the guess is short.
    TFileTextWriter out(DbId.size() + 64 + (size_t(Folders->GetCount()) + size_t(Tags->GetCount())) * 32 +
                        size_t(Tasks->GetCount()) * 160);
    WriteFileText(*this, out);
    return std::move(out).Result();
}

bool TuData::SaveToFile(const std::string& fileName, std::string* written) {
    std::string bytes;
    const bool saved = SaveToFile(
        fileName, [&](std::string_view piece) { if (written) bytes += piece; }, nullptr);
    if (saved && written) *written = std::move(bytes);
    return saved;
}

bool TuData::SaveToFile(const std::string& fileName, const TWrittenBytes& written,
                        const std::function<bool()>& mayReplace, const TSaveSplit& split) {
    try {
        const int helpers = split.Helpers < 0 ? DefaultSaveHelpers() : split.Helpers;
        TSavePipeline pipeline(*this, written, split.TasksPerPiece, helpers + 3);
        std::optional<gcl::TAtomicFileWriter> file;
        {
            gcl::TJobGroup jobs;
            // The pieces are made while the temporary file is opened, and
            // what interrupted saves of other processes left behind goes
            // meanwhile (never a file of this process).
            const bool removing = jobs.Start([&fileName] { gcl::RemoveStaleTempFiles(fileName); });
            // A text of one piece is made and written by the caller alone.
            const bool writing = pipeline.PieceCount() > 1 && jobs.Start([&pipeline] { pipeline.Write(); });
            if (writing) {
                // No more helpers than pieces for them; a helper or the
                // flusher that cannot be had leaves its work to the others.
                for (int i = 0; i < std::min(helpers, pipeline.PieceCount() - 1); ++i)
                    if (!jobs.Start([&pipeline] { pipeline.Make(); })) break;
                jobs.Start([&pipeline] { pipeline.FlushBeside(); });
            }
            try {
                if (!removing) gcl::RemoveStaleTempFiles(fileName);
                file.emplace(fileName);
                if (file->IsOpen())
                    pipeline.Open(*file);
                else
                    pipeline.Fail();
                if (writing)
                    pipeline.Make();
                else if (file->IsOpen())
                    pipeline.MakeAndWrite();
            } catch (...) {
                pipeline.Fail();
            }
            if (!jobs.Wait()) pipeline.Fail();
        }
        if (pipeline.Failed() || !file->Commit(mayReplace)) return false;
        Modified.Saved();
        return true;
    } catch (...) {
        return false;
    }
}

namespace {

// The lines of a file, read a block at a time (CR LF, CR or LF end a
// line; a break at the very end adds no empty line, as in ForEachLine).
// A line stays valid until the next call of Next.
class TLineReader {
public:
    // Read, when given, is handed every block as it comes from the file.
    TLineReader(const std::string& fileName, const TuData::TWrittenBytes* read)
        : FStream(fileName, gcl::fmOpenRead | gcl::fmShareDenyNone), FBuffer(BlockSize + LineSlack), FRead(read) {}

    // A database that another editor saved again as Unicode: UTF-16 (with
    // its byte order mark), or UTF-8 (with its mark, or holding the field
    // separator as its two UTF-8 bytes; a file in the code page holds the
    // separator's own byte, which UTF-8 never allows). Such a file is read
    // whole and its text in the code page takes its place in the buffer;
    // of a file in the code page only the first block is looked at (its
    // first byte that UTF-8 does not allow ends the test), and its lines
    // are read from there as before.
    void ReadUnicodeAsCodePage() {
        Refill();
        const auto bytes = [this] { return std::string_view(FBuffer.data(), FEnd); };
        const auto starts = [&bytes](std::string_view mark) { return bytes().substr(0, mark.size()) == mark; };
        std::wstring wide;
        if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
            while (!FEof) Refill();
            const bool big = FBuffer[0] == '\xFE';
            wide.reserve(FEnd / 2);
            for (size_t i = 2; i + 1 < FEnd; i += 2) {
                const unsigned a = static_cast<unsigned char>(FBuffer[i]);
                const unsigned b = static_cast<unsigned char>(FBuffer[i + 1]);
                wide += static_cast<wchar_t>(big ? (a << 8) | b : (b << 8) | a);
            }
        } else {
            const bool marked = starts("\xEF\xBB\xBF");
            bool separator = false;
            size_t i = marked ? 3 : 0;
            for (;;) {
                const size_t at = ValidUtf8Up(bytes(), i, separator);
                if (at == std::string_view::npos) return;
                i = at;
                if (FEof) break;
                Refill();
            }
            if (i < FEnd || !(marked || separator)) return;
            wide = gcl::Utf8Decode(std::string(bytes().substr(marked ? 3 : 0)));
        }
        const std::string text = gcl::WideToAnsi(wide);
        FBuffer.assign(text.size() + LineSlack, '\0');
        std::memcpy(FBuffer.data(), text.data(), text.size());
        FPos = FScan = 0;
        FEnd = text.size();
    }

    // The buffer the lines lie in, with the room after the data.
    const char* Data() const noexcept { return FBuffer.data(); }
    const char* DataEnd() const noexcept { return FBuffer.data() + FBuffer.size(); }

    int64_t GetFileSize() { return FStream.GetSize(); }

    bool Next(std::string_view& line) {
        for (;;) {
            const char* data = FBuffer.data();
            const size_t at = FindBreak(data + FScan, FEnd - FScan);
            if (at != std::string_view::npos) {
                size_t j = FScan + at;
                // A CR that ends the bytes read so far may be the first
                // half of a CR LF.
                if (data[j] == '\r' && j + 1 == FEnd && !FEof) {
                    FScan = j;
                    Refill();
                    continue;
                }
                line = std::string_view(data + FPos, j - FPos);
                j += (data[j] == '\r' && j + 1 < FEnd && data[j + 1] == '\n') ? 2 : 1;
                FPos = FScan = j;
                return true;
            }
            if (FEof) {
                if (FPos == FEnd) return false;
                line = std::string_view(data + FPos, FEnd - FPos);
                FPos = FScan = FEnd;
                return true;
            }
            FScan = FEnd;
            Refill();
        }
    }

private:
    static constexpr size_t BlockSize = 256 * 1024;

    // The offset of the first CR or LF in [P, P + N), or npos.
    static size_t FindBreak(const char* p, size_t n) noexcept {
        size_t i = 0;
#ifdef __SSE2__
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i lf = _mm_set1_epi8('\n');
        for (; i + 16 <= n; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
            if (mask) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
        }
#endif
        for (; i < n; ++i)
            if (p[i] == '\r' || p[i] == '\n') return i;
        return std::string_view::npos;
    }

    // Where the whole UTF-8 sequences of Bytes from At end (a sequence
    // cut by the end of the bytes read so far is left to the next call);
    // npos at a byte UTF-8 does not allow. Separator is set once the field
    // separator's two bytes have been met.
    static size_t ValidUtf8Up(std::string_view bytes, size_t at, bool& separator) noexcept {
        while (at < bytes.size()) {
            const unsigned c = static_cast<unsigned char>(bytes[at]);
            if (c < 0x80) {
                ++at;
                continue;
            }
            const size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
            if (n == 0) return std::string_view::npos;
            if (at + n > bytes.size()) break;
            for (size_t k = 1; k < n; ++k)
                if ((static_cast<unsigned char>(bytes[at + k]) & 0xC0) != 0x80) return std::string_view::npos;
            const unsigned second = static_cast<unsigned char>(bytes[at + 1]);
            if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) || (c == 0xF0 && second < 0x90) ||
                (c == 0xF4 && second > 0x8F))
                return std::string_view::npos;
            separator = separator || (c == 0xC3 && second == 0xB7);
            at += n;
        }
        return at;
    }

    // Moves the unfinished line to the front (growing the buffer when it
    // fills it) and reads the next block behind it.
    void Refill() {
        if (FPos > 0) {
            std::memmove(FBuffer.data(), FBuffer.data() + FPos, FEnd - FPos);
            FEnd -= FPos;
            FScan -= FPos;
            FPos = 0;
        }
        if (FEnd == FBuffer.size() - LineSlack) FBuffer.resize((FBuffer.size() - LineSlack) * 2 + LineSlack);
        const size_t room = std::min<size_t>(FBuffer.size() - LineSlack - FEnd, 0x40000000);
        const int32_t n = FStream.Read(FBuffer.data() + FEnd, static_cast<int32_t>(room));
        if (n <= 0) {
            FEof = true;
            return;
        }
        if (FRead && *FRead) (*FRead)(std::string_view(FBuffer.data() + FEnd, static_cast<size_t>(n)));
        FEnd += static_cast<size_t>(n);
    }

    gcl::TFileStream FStream;
    std::vector<char> FBuffer;
    size_t FPos = 0;   // start of the current line
    size_t FScan = 0;  // where the search for its end goes on
    size_t FEnd = 0;   // end of the bytes read
    bool FEof = false;
    const TuData::TWrittenBytes* FRead;
};

// Tasks read but not yet in a task list; freed unless handed over.
class TTaskBatch {
public:
    TTaskBatch() = default;
    TTaskBatch(const TTaskBatch&) = delete;
    TTaskBatch& operator=(const TTaskBatch&) = delete;
    ~TTaskBatch() {
        for (gcl::TObject* task : FTasks) gcl::Free(task);
    }
    std::vector<gcl::TObject*> FTasks;  // TuTasks
};

} // namespace

double KeptDue(double due) {
    return HasDueDate(due) ? due : 0;
}

bool IsFileMarker(std::string_view line) {
    return IsMarker(line, FoldersMarker) || IsMarker(line, TagsMarker);
}

bool TuData::LoadFromFile(const std::string& fileName) {
    return LoadFromFile(fileName, nullptr);
}

bool TuData::LoadFromFile(const std::string& fileName, const TWrittenBytes& read) {
    // Everything is read into new lists first; the database changes only
    // once the whole file has been read. The file is read a block at a
    // time, so that it is never in memory whole beside its tasks.
    try {
        gcl::RemoveStaleTempFiles(fileName);
        if (!gcl::FileExists(fileName)) return false;
        TLineReader reader(fileName, &read);
        reader.ReadUnicodeAsCodePage();

        // Line 0 is the id. The lines before the first list marker are
        // lists, those between it and the first tag marker tags, those
        // after the tag marker tasks. A file whose tag marker comes first
        // has no tags, and its lines between the two markers are both
        // lists and tasks.
        std::string dbId;
        auto folders = std::make_unique<gcl::TStringList>();
        auto tags = std::make_unique<gcl::TStringList>();
        TTaskBatch batch;
        // Room for the tasks of a file of typical lines, so that growing
        // the list while reading is rare.
        batch.FTasks.reserve(static_cast<size_t>(std::min<int64_t>(reader.GetFileSize() / 128, 1 << 24)) + 16);
        size_t count = 0;
        bool folderMarker = false, tagMarker = false;
        std::string_view line;
        auto cache = std::make_unique<TuTask::TReadCache>();
        TTaskMemoryStash memory;
        auto addTask = [&batch, &cache, &reader, &memory](std::string_view text) {
            cache->Buffer = reader.Data();
            cache->BufferEnd = reader.DataEnd();
            batch.FTasks.push_back(nullptr);
            auto* task = ::new (memory.Take()) TuTask(TuTask::TEmpty{});
            batch.FTasks.back() = task;
            task->ReadFields(text, true, cache.get());
            DropUnwrittenDue(*task);
            cache->ShareBlock(task);
            memory.Made(task->FTextBlock, task->HoldsNoHeapText());
        };
        while (!(folderMarker && tagMarker) && reader.Next(line)) {
            const size_t i = count++;
            bool isFolderMarker = false, isTagMarker = false;
            if (!folderMarker && IsMarker(line, FoldersMarker))
                isFolderMarker = true;
            else if (!tagMarker && IsMarker(line, TagsMarker))
                isTagMarker = true;
            if (i == 0) {
                // A first line that is a marker is no id: the id line was
                // taken out, and the marker divides the file as it stands
                // (kept as the id, it would be written again before the
                // marker and read back as a list or tag at the next start).
                if (!isFolderMarker && !isTagMarker) dbId.assign(line);
            } else {
                if (!folderMarker && !isFolderMarker)
                    folders->Add(std::string(line));
                else if (folderMarker && !tagMarker && !isTagMarker)
                    tags->Add(std::string(line));
                if (tagMarker) addTask(line);
            }
            folderMarker = folderMarker || isFolderMarker;
            tagMarker = tagMarker || isTagMarker;
        }
        if (!folderMarker || !tagMarker) return false;
        while (reader.Next(line)) {
            ++count;
            addTask(line);
        }
        if (count < 3) return false;
        if (dbId.empty()) dbId = "d_id-" + NewRandomId();

        auto tasks = std::make_unique<TuTaskList>();
        // Every entry reads as its task's title.
        tasks->AppendObjects(batch.FTasks.data(), batch.FTasks.size());
        batch.FTasks.clear();
        std::string newFileName = fileName;

        // Nothing below can fail.
        Folders.swap(folders);
        Tags.swap(tags);
        Tasks.swap(tasks);
        DbId.swap(dbId);
        FileName.swap(newFileName);
        Modified = false;
        return true;
    } catch (...) {
        return false;
    }
}

void TuData::RenameFolder(const std::string& oldLine, const std::string& newLine) {
    const int index = IndexOfName(*Folders, oldLine);
    if (index < 0) return;
    Folders->Put(index, newLine);
    Modified.Touch();

    const size_t sep = newLine.find(FS);
    std::string newName = sep == std::string::npos ? std::string() : newLine.substr(0, sep);
    if (newName.size() > MaxFolderLength) newName.resize(MaxFolderLength);
    // A task keeps at most 50 characters of its list's name, so the tasks
    // of a list with a longer name carry the name cut to 50.
    const size_t oldSep = oldLine.find(FS);
    const std::string_view oldCut = oldSep == std::string::npos || oldSep <= MaxFolderLength
                                        ? std::string_view()
                                        : std::string_view(oldLine).substr(0, MaxFolderLength);

    std::vector<TuTask*> doomed;
    for (int i = 0; i < Tasks->GetCount(); ++i) {
        TuTask* task = Tasks->GetTask(i);
        const bool inList = task && ((oldLine.size() > task->Folder.size() &&
                                      oldLine.compare(0, task->Folder.size(), task->Folder) == 0 &&
                                      oldLine[task->Folder.size()] == FS) ||
                                     (!oldCut.empty() && task->Folder == oldCut));
        if (!inList) continue;
        if (!newLine.empty())
            task->Folder = newName;
        else
            doomed.push_back(task);
        Modified = true;
    }
    // The list's tasks go in one pass over the task list, not one pass each.
    for (TuTask* task : Tasks->ExtractAll(doomed)) gcl::Free(task);
}

void TuData::RenameTag(const std::string& oldName, const std::string& newName) {
    const int index = IndexOfName(*Tags, oldName);
    if (index < 0) return;
    // A task's tag is the table's tag in any letter case and with blanks
    // around it (the filter and the tags a task brings in compare so), but
    // only as a whole name, and only when no other tag of the table is
    // written as it, or closer to it: a database can hold Home and home,
    // or Home and " Home", and each keeps its own tasks.
    const std::string renamed = Tags->Get(index);
    const std::string trimmedOld = gcl::Trim(renamed);
    std::vector<std::pair<std::string, int>> spellings;
    for (int i = 0; i < Tags->GetCount(); ++i)
        if (gcl::SameText(gcl::Trim(Tags->GetRef(i)), trimmedOld)) spellings.emplace_back(Tags->GetRef(i), i);
    auto ownerOf = [&](const std::string& item) {
        for (const auto& [spelling, entry] : spellings)
            if (spelling == item) return entry;
        for (const auto& [spelling, entry] : spellings)
            if (gcl::SameText(spelling, item)) return entry;
        return spellings.front().second;
    };
    Tags->Put(index, newName);
    Modified.Touch();
    if (trimmedOld.empty()) return;

    const std::string lowerOld = gcl::LowerCase(trimmedOld);
    for (int i = 0; i < Tasks->GetCount(); ++i) {
        TuTask* task = Tasks->GetTask(i);
        if (!task || gcl::LowerCase(task->Tags).find(lowerOld) == std::string::npos) continue;
        std::string s;
        size_t pos = 0;
        bool first = true;
        while (pos <= task->Tags.size()) {
            size_t q = task->Tags.find(',', pos);
            if (q == std::string::npos) q = task->Tags.size();
            const std::string item = task->Tags.substr(pos, q - pos);
            pos = q + 1;
            const bool named = gcl::SameText(gcl::Trim(item), trimmedOld) && ownerOf(item) == index;
            if (named && newName.empty()) continue;
            if (!first) s += ',';
            s += named ? newName : item;
            first = false;
        }
        if (!s.empty() && s.back() == ',') s.pop_back();
        if (!s.empty() && s.front() == ',') s.erase(0, 1);
        task->Tags = std::move(s);
        Modified = true;
    }
}

void TuData::DeleteFolder(const std::string& line) {
    RenameFolder(line, std::string());
    DeleteFirstEmpty(*Folders);
    Modified = true;
}

void TuData::DeleteTag(const std::string& name) {
    RenameTag(name, std::string());
    DeleteFirstEmpty(*Tags);
    Modified = true;
}

} // namespace qelvo
