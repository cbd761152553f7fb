// Fuzzes the program's text rules: the quick-entry rewrites, the numbering
// strip, the tag rules and the HTML report built from an arbitrary
// template and task texts.
//
// The input is cut at NUL bytes into pieces: the first is the typed text,
// the second a tag text, the rest are template lines. Checks:
//   - a rewrite without a new date never grows the text;
//   - the numbering strip leaves a tail of the caption;
//   - the report is always a whole document, and no inserted task text
//     adds markup of its own (every "<" of the output comes from the
//     template, the fixed head or the "<br/>" ending a note line).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/logic/HtmlReport.h"
#include "app/logic/ListsTree.h"
#include "app/logic/QuickEntry.h"
#include "app/logic/TaskCommands.h"
#include "app/logic/TextExport.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_applogic: %s\n", what);
    std::abort();
}

size_t Count(const std::string& s, char c) {
    size_t n = 0;
    for (char x : s) n += x == c;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            pieces.emplace_back();
        else
            pieces.back() += static_cast<char>(data[i]);
    }
    const std::string text = pieces[0];
    const std::string tags = pieces.size() > 1 ? pieces[1] : std::string();

    using namespace qelvo;
    if (QuickDateRewrite(text, false, 0, 45000).size() > text.size()) Fail("date rewrite grew the text");
    QuickDateRewrite(text, true, 45001, 45000);
    QuickTagsRewrite(text, tags);
    QuickPriorityRewrite(text, static_cast<int>(size % 3));
    const std::string stripped = StripNumberingPrefix(text);
    if (!text.ends_with(stripped)) Fail("numbering strip is not a tail");
    ToggleTag(tags, text);
    FilterCaption(text, tags);
    TCheckListModel list;
    list.SetItems({"a", "bb", text});
    FilterQuickTagsList(tags, list);
    CheckedTagsText(list);

    // The report: template from the remaining pieces, texts from the first two.
    std::vector<std::string> lines(pieces.begin() + (pieces.size() > 2 ? 2 : pieces.size()), pieces.end());
    size_t templateAngles = 0;
    for (const std::string& l : lines) templateAngles += Count(l, '<');
    TReportList report;
    report.Grouped = size % 2 == 0;
    for (int i = 0; i < 3; ++i) {
        TReportItem item;
        item.Captions = {text, tags, text, tags};
        item.Notes = tags;
        item.GroupCaption = text;
        item.GroupIndex = i / 2;
        item.Priority = i;
        item.Checked = i == 1;
        report.Items.push_back(item);
    }
    THtmlReportOptions options;
    options.Heading = text;
    options.AppDir = tags;
    options.Cols.Names = {"Title", "Tags", "Due", ""};
    options.Cols.Widths = {50, 30, 20, 0};
    const std::string html = BuildHtmlReportFromLines(lines, options, report);
    if (!html.ends_with("</table>\r\n</body>\r\n</html>\r\n")) Fail("report is not a whole document");
    // Each template line can be used once per item, group and header; the
    // fixed parts add a known number. Inserted texts add none.
    const size_t fixedAngles = Count(html.substr(0, html.find("<body>") + 6), '<') + 3 + 3 * 8;
    size_t breaks = 0;  // note lines end in "<br/>" by design
    for (size_t p = html.find("<br/>"); p != std::string::npos; p = html.find("<br/>", p + 1)) ++breaks;
    if (Count(html, '<') - breaks > fixedAngles + templateAngles * 8) Fail("task text added markup");
    BuildTextExport(report);
    return 0;
}
