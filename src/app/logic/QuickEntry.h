// The quick-entry bar without its controls: the two modes and their
// looks, the placeholder texts, the rewrites of the typed text by the date,
// tags and priority commands, the ";;" and "[[" keys, the tag check list's
// rules and where a floating panel opens.
#pragma once

#include <string>
#include <vector>

namespace qelvo {

enum class TQuickMode { Add, Find };

// Captions and images of the two mode buttons in a mode.
struct TQuickModeLook {
    const char* ModeCaption;    // tBtn2
    int ModeImage;
    const char* SwitchCaption;  // tBtn1
    int SwitchImage;
};
inline constexpr int AddImage = 40;
inline constexpr int FindImage = 47;
TQuickModeLook QuickModeLook(TQuickMode mode);
// The mode a mode-button image stands for (47 is Find).
TQuickMode QuickModeFromImage(int modeImage);
// The mode tBtn1's click switches to, read from its caption.
TQuickMode SwitchTarget(const std::string& switchCaption);

inline constexpr const char* NewTaskPlaceholder = "< new task >";
inline constexpr const char* SearchPlaceholder = "search...";
// True when the edit's text is a placeholder to clear on entering it.
bool IsPlaceholderText(const std::string& text);
// The text the Add commands work on: the placeholder showing in the edit
// is no task text, so it reads as empty.
std::string QuickEntryText(const std::string& editText);
// True when the task Text makes has a title: a text of a priority mark, a
// due date and tags alone would make a task the list never shows (it shows
// tasks by their titles) and every save writes.
bool QuickEntryHasTitle(const std::string& text);

// True when Text comes back unchanged from the system's 8-bit code page,
// the form tasks and notes are saved in (a character it lacks would be
// saved as "?" or as a similar letter).
bool FitsCodePage(const std::wstring& text);

// The date picker's display format (DTM_SETFORMAT) for a date format of
// the date routines ("dd/MM/yyyy"; "/" stands for the date separator, "m"
// for the month as "M" does, quoted text is kept), so that the picker shows
// dates as the list does.
std::string PickerDateFormat(const std::string& dateFormat, char dateSeparator);

// The date panel's OK in quick-entry mode: the first ";...;" token of Text
// is replaced by the chosen date (";t;" today, ";t1;" tomorrow, else ";" +
// DateToStr + ";"), after the priority mark; without Checked the token is
// only removed. Nothing else of the text is touched.
std::string QuickDateRewrite(const std::string& text, bool checked, double date, double now);
// The tags panel's OK in quick-entry mode: the first "[...]" tag token is
// replaced by "[" + NormalizeTagList (TagsText) + "]" after the priority
// mark. When the tags are blank or begin with ",", Text is returned as it
// was.
std::string QuickTagsRewrite(const std::string& text, const std::string& tagsText);
// The "Priority" submenu: Tag 1 high ("+"), 2 low ("-"), 0 normal; any
// mark already in front is replaced.
std::string QuickPriorityRewrite(const std::string& text, int tag);

// Typing ";" after ";" or "[" after "[" (Add mode, text not empty): the
// earlier character goes, the key is swallowed and the date or tags panel
// opens. Caret is the 0-based insertion point.
enum class TDoubleKey { None, OpenDatePanel, OpenTagsPanel };
TDoubleKey DoubleKeyRule(std::string& text, int& caret, char key, bool addMode);
// The same on the edit's wide text (caret in UTF-16 units).
TDoubleKey DoubleKeyRule(std::wstring& text, int& caret, wchar_t key, bool addMode);

// The tag check list: a line per tag of the database and its check.
struct TCheckListModel {
    std::vector<std::string> Items;
    std::vector<bool> Checked;
    // First line equal to Text ignoring A-Z case, -1 when none.
    int IndexOf(const std::string& text) const;
    void SetItems(const std::vector<std::string>& items);
};
// Checks exactly the lines named in Text (a comma list).
void FilterQuickTagsList(const std::string& text, TCheckListModel& checkList);
// The edit text from the checked lines: joined with "," in list order.
std::string CheckedTagsText(const TCheckListModel& checkList);
// Keys the tags edit swallows.
bool IsQuickTagsKeySwallowed(char c);
// Takes those marks out of a text that came in some other way (a paste),
// moving the caret (a character index) with the text before it; false when
// there was none.
bool DropSwallowedTagMarks(std::wstring& text, int& caret);

// Where a floating panel opens for a point in the form's client area: it
// flips above or left of the point when it would leave the client area,
// and stays inside it for a point outside (the top-left corner first).
struct TPoint32 {
    int X = 0, Y = 0;
    bool operator==(const TPoint32&) const = default;
};
TPoint32 ShowPanelPosition(TPoint32 point, int panelWidth, int panelHeight, int clientWidth, int clientHeight);

} // namespace qelvo
