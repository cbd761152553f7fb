// The HTML report of the task list, built from the print template: a group
// row, the table opening, one header cell per column and one task row (a
// line per column and a note row), filled with the list's columns, groups
// and selected items inside a fixed document head. Printing, the print
// preview and the HTML export all show this report.
//
// The builder works on TReportList, a plain copy of what the task list
// shows, so it needs no window.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qelvo {

// The printed columns: entry i is list column i (0 title, 1 tags, 2 due
// date; the list has no column 3, whose entry stays 0 and ""). Widths are
// percentages of the header width, 0 = not printed; Names are the column
// captions and also the placeholders of the item lines.
struct TCols {
    std::array<std::int32_t, 4> Widths{};
    std::array<std::string, 4> Names{};
};

// One item of the task list as the report and the text export see it.
struct TReportItem {
    std::array<std::string, 4> Captions{};  // the column texts the list shows
    bool Checked = false;                   // the task is done
    int Priority = 1;                       // 0 low, 1 normal, 2 high
    std::string Notes;                      // the task's note (CR LF lines)
    int GroupIndex = -1;                    // the item's group (items of one group follow each other)
    std::string GroupCaption;
    bool Selected = false;
};

struct TReportList {
    std::vector<TReportItem> Items;  // in list order
    bool Grouped = false;            // grouping is on (not "Nothing")
};

// When fewer than two items are selected, every item is selected (so a
// report or an export covers the whole list); more leave the selection.
void SelectAllUnlessSeveral(TReportList& list);

// The line that marks a removed template line.
inline constexpr const char* TemplateSeparator = "<<<--->>>";

struct THtmlReportOptions {
    std::int32_t Width = 670;      // page width in pixels
    bool Notes = true;             // print note rows
    bool Priorities = true;        // priority colours and pictures
    bool SelectionOnly = false;    // otherwise fewer than two selected means all
    std::string Heading;
    // The heading as typed, when it came from a wide text box: it takes the
    // place of Heading, and characters the code page lacks are written as
    // numeric character references instead of "?".
    std::wstring WideHeading;
    TCols Cols;
    std::int32_t FontDelta = 5;    // pixels added to the first font size of a line
    std::int32_t Margin = 0;
    std::string AppDir;            // folder holding "Print Templates" (trailing separator)
    unsigned CodePage = 0;         // the code page the texts are in (0: the system's)
};

// The report for a template given as its lines. The list's selection may
// grow (see SelectAllUnlessSeveral).
std::string BuildHtmlReportFromLines(const std::vector<std::string>& templateLines, const THtmlReportOptions& options,
                                     TReportList& list);
// The report for the template file TemplatePath; a missing or unreadable
// template raises a file error.
void BuildHtmlReport(std::string& html, const THtmlReportOptions& options, const std::string& templatePath,
                     TReportList& list);

// The lines of a text split at CR LF, CR or LF; a final line break adds
// no empty line.
std::vector<std::string> SplitTextLines(const std::string& text);

// ---- Pieces of the builder, one template line or list each ----------------------

// "<TableWidth>" := Width - 2 * Margin, "<Heading>" := the heading; font size scaled.
std::string FillReportHeader(const std::string& tableLine, const THtmlReportOptions& options);
// The header cells of the printed columns.
std::vector<std::string> FillReportColumns(const std::vector<std::string>& cells, const THtmlReportOptions& options);
// The group row with "<GroupName>" := Caption.
std::string FillReportGroup(const std::string& groupLine, const std::string& caption, std::int32_t fontDelta);
// One task row: a copy of the item lines filled for Item (removed lines
// become TemplateSeparator).
std::vector<std::string> FillReportItem(const std::vector<std::string>& itemLines, const TReportItem& item,
                                        const THtmlReportOptions& options);
// The group and task rows of the selected items.
std::vector<std::string> FillReportItems(const std::string& groupLine, const std::vector<std::string>& itemLines,
                                         const THtmlReportOptions& options, TReportList& list);
// Drops every TemplateSeparator line.
void StripTemplateSeparators(std::vector<std::string>& lines);
// The first "font-size:N px" of the line becomes N + Delta; anything else
// leaves the line as it is.
std::string ScaleFontSizes(const std::string& line, std::int32_t delta);
// The name browsers know a code page by ("windows-1252", "shift_jis",
// "utf-8"); "" for one they have no name for (the report is then written
// as UTF-8).
std::string CodePageCharset(unsigned codePage);
// "#rrggbb" in lower-case hexadecimal from a 00BBGGRR colour.
std::string ColorToHtml(std::int32_t color);
// &, <, > and " as character references.
std::string HtmlEscape(const std::string& text);
// HtmlEscape for a wide text: characters of the code page as its bytes,
// the others as numeric character references ("&#8594;").
std::string HtmlEscapeWide(const std::wstring& text);

// Row colours by priority (00BBGGRR): low #677483, normal #000000, high #cc0000.
inline constexpr std::array<std::int32_t, 3> ReportPriorityColors = {0x837467, 0x000000, 0x0000CC};
// Row pictures by priority, relative to the program's folder.
inline constexpr std::array<const char*, 3> ReportPriorityPictures = {
    "Print Templates/plow.gif", "Print Templates/pnormal.gif", "Print Templates/phigh.gif"};

} // namespace qelvo
