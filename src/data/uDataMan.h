// The task database: one task (TuTask) and its two text forms, the open
// database (TuData) with its file, the task filter (TFilterSystem), the
// small text routines the task grammar rests on, and the export to the
// Pendrillax database format.
//
// All text is 8-bit text in the system code page. A date-time is a double
// (days since 30 December 1899 plus the time of day as a fraction); a due
// date whose year is 1901 or earlier means "no due date".
//
// The database file (*.kpx), lines ended by CR LF:
//   line 1        the database id ("d_id-" and ten digits)
//   next lines    one list per line: name, 0xF7, icon index, 0xF7
//   marker        "<--<*&^Folders^&*>-->"
//   next lines    one tag name per line
//   marker        "<--<*&^Tags^&*>-->"
//   rest          one task per line (see TuTask::ToString)
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/uDataManText.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Objects.h"

namespace qelvo {

// Separators of the task line: 0xF7 ends every field, 0xF8 ends every
// line of the note.
inline constexpr char FieldSeparator = '\xF7';
inline constexpr char NoteLineSeparator = '\xF8';
// The end of each line the database and its exports write.
inline constexpr std::string_view FileLineEnd = "\r\n";
// The two marker lines of the database file (found ignoring A-Z case).
inline constexpr const char* FoldersMarker = "<--<*&^Folders^&*>-->";
inline constexpr const char* TagsMarker = "<--<*&^Tags^&*>-->";
// Whether a line of the file reads as one of the markers: no id, list
// entry or tag may be written as one, or the file would read back
// divided elsewhere.
bool IsFileMarker(std::string_view line);
// A due date as the file keeps it: a day of 1902 or later stays, anything
// else (a year of 1901 or before, a day beyond the calendar) is no due
// date (0). Such a day would otherwise show no date yet count as overdue,
// and be gone after the next save; typed entry and reading the file keep
// dates by it alike.
double KeptDue(double due);
// The longest list name a task keeps.
inline constexpr std::size_t MaxFolderLength = 50;
// The date format name that writes dates as month/day/year without
// leading zeros, whatever the locale.
inline constexpr const char* IndependentDateFormat = "ind";

// ---- The task ------------------------------------------------------------------

class TuTask : public gcl::TObject {
    GCL_CLASS(TuTask, gcl::TObject)
public:
    // The fields the filter tests on every task come first, so that for
    // most tasks it reads one cache line of the object. The small fields
    // share one word, so that a task takes 88 bytes in 32-bit programs.
    std::uint8_t Priority = 0;   // 0 low, 1 normal, 2 high
    bool Done = false;
    std::int16_t FolderIcon = 0; // icon of the task's list (an index of the lists' icons); filled together with Folder
    TTaskText Folder;            // name of the task's list, at most 50 characters (cut by whoever sets it)

private:
    // The block holding the texts of a task read from a file (one
    // reference, given back when the task is freed); null otherwise.
    // Here rather than last, in the room the dates' alignment leaves.
    TTextBlock* FTextBlock = nullptr;

public:
    double Due = 0;              // due date; year <= 1901 = no due date
    double Created = 0;          // creation moment
    // The texts are TTaskText (uDataManText.h): used as std::string is,
    // and converted to it where a std::string is wanted.
    TTaskText Title;             // task text, trimmed
    TTaskText Tags;              // comma list of tag names, each trimmed; "" = none
    TTaskText Id;                // ten random digits
    TTaskText Notes;             // note, lines separated by CR LF

    // A new task: Created = Now, a new random Id, Priority 1.
    TuTask();
    // Full: an empty task (no defaults) read from a database line.
    // Otherwise a new task (as above) read from quick-entry text.
    // Independent: dates are month/day/year (the file's form) rather
    // than the process date format.
    TuTask(const std::string& line, bool full, bool independent);
    ~TuTask() override;

    static TuTask* CreateFromString(const std::string& line, bool full, bool independent) {
        return new TuTask(line, full, independent);
    }

    // Tasks live in blocks of equal slots rather than one heap block each
    // (see uDataMan.cpp); new and delete work as for any object.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;
    // Frees every task of Tasks (null entries are skipped), as gcl::Free
    // does one by one, for lists of many tasks.
    static void FreeMany(TuTask* const* tasks, std::size_t count) noexcept;

    // The short form, also the quick-entry syntax: priority mark ("-" low,
    // "+" high), ";due;" when there is a due date, "[tags]" when there are
    // tags, then the title. DateFmt as in DateToStrMode.
    std::string GetShortText(const std::string& dateFmt) const;
    // The short form; with Full, a whole database line (without the line
    // break): short form, 0xF7, "-d-" or "--", 0xF7, Id, 0xF7, Folder, 0xF7,
    // Created, 0xF7, every note line followed by 0xF8, 0xF7. A task whose
    // texts would not read back unchanged from that line (separators or
    // line breaks in them, a title the short form would take apart) is
    // written in the escaped form described in uDataMan.cpp instead.
    std::string ToString(const std::string& dateFmt, bool full) const;
    // Reads a database line (Full) or quick-entry text into the fields.
    void FromString(const std::string& line, bool full, bool independent);

    // Appends the database line (ToString (DateFmt, True)) to Out.
    void AppendLine(std::string& out, const std::string& dateFmt) const;
    // FromString (Line, True, Independent) without a copy of the line.
    void ReadLine(std::string_view line, bool independent);

private:
    friend class TuData;
    friend class TuTaskList;
    struct TEmpty {};
    explicit TuTask(TEmpty) {}
    // What reading one file keeps from task to task (the block the
    // tasks' texts go to).
    struct TReadCache;
    void ReadFields(std::string_view line, bool independent, TReadCache* cache);
    bool ReadWrittenLine(std::string_view line, TReadCache& cache);
    void ParseShortForm(std::string& work, bool independent);
    bool ParsePlainShortForm(std::string_view work, bool independent, std::string_view& title, std::string_view& tags);
    void ParseEscapedShortForm(std::string_view work, bool independent);
    void AppendShortForm(std::string& out, const std::string& dateFmt) const;
    void AppendEscapedShortForm(std::string& out, const std::string& dateFmt) const;
    bool LineNeedsEscape(std::string_view shortForm, const std::string& dateFmt) const;
    // Frees tasks handed to it one after another (uDataMan.cpp).
    class TFreer;
    // No text of the task is in a heap block of its field's own.
    bool HoldsNoHeapText() const noexcept {
        return Folder.HoldsNoHeapBlock() && Title.HoldsNoHeapBlock() && Tags.HoldsNoHeapBlock() &&
               Id.HoldsNoHeapBlock() && Notes.HoldsNoHeapBlock();
    }
};

// ---- Text routines -------------------------------------------------------------

// Token := the text before the first Sep; that text and the Sep leave
// Source. Without a Sep, Token is empty and Source unchanged.
void CutToken(std::string& source, char sep, std::string& token);
// The text between the first Open and the next Close after it (the next
// Open when Close is empty); "" when either is missing.
std::string CopyBetween(const std::string& text, const std::string& open, const std::string& close);
// Deletes from the first Open through the last Close (the last Open when
// Close is empty), both included; nothing when either is missing.
void RemoveBetween(std::string& text, const std::string& open, const std::string& close);
// The comma list with every item trimmed; a trailing empty item goes.
std::string NormalizeTagList(const std::string& text);
// The due date of the ";...;" token of Text (0 = none); Remove deletes
// the token. "t" is today, "tN" today + N days.
double ExtractDue(std::string& text, bool independent, bool remove);
// As ExtractDue, for presetting a date picker: starts from Now, reads
// other tokens with the strict reader of the process date format (raises
// EConvertError), and leaves Text alone.
double ParseDueToken(const std::string& text);
// The normalised tag list of the "[...]" token ("" when it has fewer than
// two characters); Remove deletes the token.
std::string ExtractTags(std::string& text, bool remove);
std::string ParseTagsToken(const std::string& text);
// month/day/year without leading zeros ("3/5/2025"); "" for a date
// outside the calendar.
std::string DateToIndStr(double date);
// Reads month/day/year; 0 unless they form a valid date.
double IndStrToDate(const std::string& text);
// Fmt "ind": DateToIndStr; another format: FormatDateTime with it; "":
// the process short date format.
std::string DateToStrMode(const std::string& fmt, double date);
// Independent: IndStrToDate. Otherwise a text that begins with a date in
// the process date format gives that date, any other text 0.
double StrToDateMode(const std::string& text, bool independent);
// Every line of Text (split at CR LF, CR or LF) followed by Sep.
std::string JoinLines(const std::string& text, char sep);
// The pieces of Text between Seps as lines, CR LF after each; the tail
// after the last Sep is dropped. Result is untouched when Text has no Sep.
void SplitToText(const std::string& text, char sep, std::string& result);
// Ten random digits. The generator is seeded from the clock once per
// process, so ids made in one clock tick still differ.
std::string NewRandomId();
// The same moment with seconds and milliseconds 0.
double StripSeconds(double dt);
// First index whose string begins with / contains Text, else -1.
int IndexOfStart(const gcl::TStrings& list, const std::string& text);
int IndexOfContains(const gcl::TStrings& list, const std::string& text);
// The entry of a list or tag table that Name stands for: the one written
// exactly so, else the first that differs from it in letter case only;
// -1 when none. A database can hold two names that differ in letter case
// alone, and each keeps its own entry.
int IndexOfName(const gcl::TStrings& list, const std::string& name);

// ---- The database ----------------------------------------------------------------

// The task list of a database: each entry is a task's title with the
// TuTask as its object, and the list owns those tasks. Delete and Clear
// free them (as does the destructor); Extract takes a task out without
// freeing it, for a caller that must keep it alive a little longer (a
// view still showing it). PutObject does not free the object it replaces.
//
// An entry added or set with its task's own title keeps no copy of it:
// its string reads as the task's Title, also after the title changes (so
// an entry given an empty string for a task with a title reads as the
// title too). Any other string is kept as given. A sorted task list keeps
// copies.
class TuTaskList : public gcl::TStringList {
    GCL_CLASS(TuTaskList, gcl::TStringList)
public:
    TuTaskList() = default;
    ~TuTaskList() override;

    std::string Get(int index) const override;
    // The entry's string (see above); the same as Get.
    std::string GetRef(int index) const;
    void Clear() override;
    void Delete(int index) override;
    void Put(int index, const std::string& s) override;
    void PutObject(int index, gcl::TObject* object) override;
    int AddObject(const std::string& s, gcl::TObject* object) override;
    void InsertObject(int index, const std::string& s, gcl::TObject* object) override;
    int IndexOf(const std::string& s) const override;
    void Sort() override;
    // Removes entry Index and hands its task to the caller.
    TuTask* Extract(int index);
    // Removes every entry whose task is one of Tasks, in one pass over the
    // list, and hands those tasks to the caller in list order.
    std::vector<TuTask*> ExtractAll(const std::vector<TuTask*>& tasks);
    // Those of Tasks that are entries of this list, in the order given,
    // found in one pass over the list.
    std::vector<TuTask*> Held(const std::vector<TuTask*>& tasks) const;
    // The task of entry Index (null for an entry without one).
    TuTask* GetTask(int index) const { return static_cast<TuTask*>(GetObject(index)); }
    // The same for 0 <= Index < GetCount(), unchecked and inline, for
    // walks over every task.
    TuTask* TaskAt(int index) const noexcept { return static_cast<TuTask*>(ObjectAt(index)); }

private:
    friend class TuData;
    // The string to keep for S with Object: none when it is the task's title.
    const std::string& Stored(const std::string& s, gcl::TObject* object) const;
    // The entry's string without a copy: the stored one, or the task's title.
    std::string_view View(int index) const;
    // Gives every entry that reads as its task's title a copy of it.
    void KeepTitleCopies();
    // The tasks of every entry, in order (null for an entry without one).
    std::vector<TuTask*> TaskPointers() const;
};

// How TuData::SaveToFile splits its work. The task lines are made in
// pieces of TasksPerPiece tasks, by the calling thread and Helpers more
// threads at once, while another thread writes the pieces in order as
// they are ready and one more puts them on the disk meanwhile. Helpers
// -1 takes as many as the processors leave (at most two); 0 makes every
// piece on the calling thread. Threads that cannot be had leave their
// work to the others; without a writer thread the caller makes and
// writes each piece in turn. The bytes are the same whatever the split.
struct TSaveSplit {
    int Helpers = -1;
    int TasksPerPiece = 4096;
};

// The database's unsaved-changes flag, which also marks each change: every
// path that changes the database's tasks, lists or tags sets the flag (or
// the change would never be saved), and each time it is set, whatever
// to, it takes a new mark, never given out before in the process (a save
// clears it and keeps the mark: it changes no content). So a mark seen
// again means the content has not changed since: what was worked out from
// the tasks then still holds. Reads and assigns as a bool.
class TModifiedFlag {
public:
    TModifiedFlag() noexcept : FMark(NewMark()) {}
    TModifiedFlag(const TModifiedFlag& other) noexcept : FModified(other.FModified), FMark(NewMark()) {}
    TModifiedFlag& operator=(bool modified) noexcept {
        FModified = modified;
        FMark = NewMark();
        return *this;
    }
    TModifiedFlag& operator=(const TModifiedFlag& other) noexcept { return *this = other.FModified; }
    operator bool() const noexcept { return FModified; }
    // The mark of the content as it stands.
    std::uint64_t Mark() const noexcept { return FMark; }
    // A new mark with the flag as it is (a change that leaves it alone).
    void Touch() noexcept { FMark = NewMark(); }
    // The flag cleared by a save: the content, and so its mark, stay.
    void Saved() noexcept { FModified = false; }

private:
    static std::uint64_t NewMark() noexcept;
    bool FModified = false;
    std::uint64_t FMark;
};

class TuData {
public:
    TuData();
    ~TuData();
    TuData(const TuData&) = delete;
    TuData& operator=(const TuData&) = delete;

    // The three lists belong to the database. LoadFromFile replaces them
    // with the lists it read, so keep no pointer to them across a load.
    std::unique_ptr<gcl::TStringList> Tags;     // one tag name per entry
    std::unique_ptr<gcl::TStringList> Folders;  // name, 0xF7, icon index, 0xF7
    std::unique_ptr<TuTaskList> Tasks;          // title -> owned TuTask
    std::string DbId;                           // "d_id-" and ten digits
    std::string FileName;                       // the open database file
    TModifiedFlag Modified;                     // unsaved changes, and the mark of the content

    // The mark of the content as it stands (Modified.Mark): the same
    // mark, the same tasks, lists and tags.
    std::uint64_t ChangeMark() const noexcept { return Modified.Mark(); }

    // Empties the three lists (the tasks are freed); DbId, FileName and
    // Modified stay (the content takes a new mark).
    void Clear();
    // Writes the database file. The new content goes to a temporary file
    // beside FileName that then replaces it in one step, so a failed save
    // (False) leaves the previous file as it was. True clears Modified;
    // FileName is not changed. Saving and loading both first remove the
    // temporary files of FileName that a process ended before putting in
    // place (gcl::RemoveStaleTempFiles). Written, when given, receives the
    // bytes the file now holds (after a successful save only).
    bool SaveToFile(const std::string& fileName, std::string* written = nullptr);
    // SaveToFile in full: the bytes go to Written piece by piece, in
    // order, as each reaches the file (on a thread of the save's own,
    // before SaveToFile returns), and once the new file is complete, on
    // the disk and closed, right before it would replace FileName,
    // MayReplace (when given) is asked whether it may: False leaves
    // FileName as it was and the result False, as for a failed save.
    // Split: how the work is shared out.
    using TWrittenBytes = std::function<void(std::string_view)>;
    bool SaveToFile(const std::string& fileName, const TWrittenBytes& written,
                    const std::function<bool()>& mayReplace, const TSaveSplit& split = TSaveSplit());
    // Reads a database file. On success the content is replaced, FileName
    // set and Modified cleared; on failure (missing file, fewer than three
    // lines, a missing marker, a read error) the database is left exactly
    // as it was and the result is False.
    bool LoadFromFile(const std::string& fileName);
    // LoadFromFile, with every byte read from the file handed to Read in
    // order, as read (before any conversion of a file in Unicode).
    bool LoadFromFile(const std::string& fileName, const TWrittenBytes& read);
    // Renames a list (whole Folders entries, found by IndexOfName) and the
    // Folder of its tasks; an empty NewLine deletes the list's tasks. The
    // tasks of a list whose name is longer than 50 characters are those
    // whose Folder is its name cut to 50, as tasks store it.
    void RenameFolder(const std::string& oldLine, const std::string& newLine);
    // Renames a tag in Tags (found by IndexOfName) and in every task; an
    // empty NewName removes it from the tasks. A task's tag is the table's
    // tag written in any letter case and with any blanks around it, unless
    // the table holds that spelling, or one closer to it, as a tag of its
    // own.
    void RenameTag(const std::string& oldName, const std::string& newName);
    // Deletes a list entry together with all its tasks.
    void DeleteFolder(const std::string& line);
    // Deletes a tag and removes it from every task.
    void DeleteTag(const std::string& name);

    // The whole file content SaveToFile writes.
    std::string GetFileText() const;
};

} // namespace qelvo

#include "data/uDataManExport.h"
#include "data/uDataManFilter.h"
