// The HTML report, the text export and the column record, from the
// fixture database report.kpx through the task list's rules.
#include <gtest/gtest.h>

#include "AppLogicTest.h"
#include "app/logic/HtmlReport.h"
#include "app/logic/TaskPresentation.h"
#include "app/logic/TextExport.h"
#include "gcl/rtl/Files.h"

namespace qelvo {
namespace {

using test::AppFixture;
using test::ReadFile;

// The fixture's day: Wednesday 5 March 2025, 10:30.
double FixtureNow() {
    return gcl::EncodeDate(2025, 3, 5) + gcl::EncodeTime(10, 30, 0, 0);
}

// The fixture database as the task list shows it: grouped by list (lists
// in table order, the unknown "Holidays" first), numbered.
TReportList FixtureList(TuData& data, bool grouped, bool counted) {
    EXPECT_TRUE(data.LoadFromFile(AppFixture("report.kpx")));
    TFilterSystem filter;
    TGroupKeys keys;
    TTaskListState state;
    state.GroupMode = gmList;
    state.Grouped = grouped;
    state.CountItems = counted;
    const TTaskListLayout layout = BuildTaskListLayout(data, filter, state, keys);
    return LayoutToReportList(layout, state, FixtureNow(), "ddddd");
}

TCols FixtureCols() {
    // Title 320, tags 150, due 100 pixels in a header of 570.
    return BuildColumnRecord({{320, true, "Title"}, {150, true, "Tags"}, {100, true, "Due"}}, 570);
}

THtmlReportOptions FixtureReportOptions() {
    THtmlReportOptions o;
    o.Width = 670;
    o.Heading = "To Do List";
    o.Cols = FixtureCols();
    o.AppDir = "C:\\Program Files\\Qelvo\\";
    return o;
}

TEST(Report, ColumnRecord) {
    const TCols cols = FixtureCols();
    EXPECT_EQ((std::array<std::int32_t, 4>{56, 26, 17, 0}), cols.Widths);
    EXPECT_EQ((std::array<std::string, 4>{"Title", "Tags", "Due", ""}), cols.Names);
    // Hidden, or 26 pixels or narrower: not printed.
    const TCols some = BuildColumnRecord({{300, true, "Title"}, {150, false, "Tags"}, {26, true, "Due"}}, 600);
    EXPECT_EQ((std::array<std::int32_t, 4>{50, 0, 0, 0}), some.Widths);
    EXPECT_EQ("Due", some.Names[2]);
    EXPECT_EQ((std::array<std::int32_t, 4>{}), BuildColumnRecord({{300, true, "Title"}}, 0).Widths);
}

TEST(Report, HtmlReportGolden) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    TuData data;
    TReportList list = FixtureList(data, true, true);
    ASSERT_EQ(5u, list.Items.size());
    list.Items[1].Selected = true;  // one selected item: the report holds all
    std::string html;
    BuildHtmlReport(html, FixtureReportOptions(), AppFixture("small.rkm"), list);
    test::ExpectGolden("report.html", html);
    for (const TReportItem& item : list.Items) EXPECT_TRUE(item.Selected);

    // What the golden file pins, spelled out.
    EXPECT_EQ(0u, html.find("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"\r\n"
                            "\"http://www.w3.org/TR/html4/loose.dtd\">\r\n<html>\r\n<head>\r\n"
                            "<title>To Do List</title>\r\n"));
    EXPECT_NE(std::string::npos, html.find("<table width=\"670\"><caption style=\"font-size:19px\">To Do List"));
    EXPECT_NE(std::string::npos,
              html.find("<tr style=\"color:#cc0000;x\"><td style=\"background:no-repeat "
                        "url('file:///C:/Program%20Files/Qelvo/Print%20Templates/phigh.gif');font-size:17px;"
                        "text-decoration:line-through\">4. Pay rent &amp; &lt;fees&gt;</td>"));
    EXPECT_NE(std::string::npos, html.find("Bank&nbsp;&nbsp;transfer<br/>ref &quot;A1&quot;<br/>"));
    EXPECT_EQ(std::string::npos, html.find("<td><></td>"));  // the list has no fourth column
    EXPECT_LT(html.find(">Holidays<"), html.find(">Work<"));
    EXPECT_LT(html.find(">Work<"), html.find(">Home<"));
    EXPECT_TRUE(html.ends_with("</table>\r\n</body>\r\n</html>\r\n"));
}

// A heading typed into the print window's wide text box keeps every
// character: those the code page lacks (an arrow, Cyrillic, a character
// beyond the basic plane) as numeric references, in the title and in the
// table's heading, the rest escaped as any report text.
TEST(Report, WideHeadingKeepsCharactersOutsideTheCodePage) {
    EXPECT_EQ("Tasks &#8594; &#1047;&#1072; &amp; &lt;b&gt; caf\xE9 &#128512;",
              HtmlEscapeWide(L"Tasks \u2192 \u0417\u0430 & <b> caf\u00E9 " + std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}));
    EXPECT_EQ("&#55357;x", HtmlEscapeWide(std::wstring{wchar_t(0xD83D), L'x'}));  // a lone surrogate
    EXPECT_EQ("", HtmlEscapeWide(L""));

    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    TuData data;
    TReportList list = FixtureList(data, true, true);
    THtmlReportOptions o = FixtureReportOptions();
    o.WideHeading = L"Week \u2192 plan";
    o.Heading = "Week ? plan";
    std::string html;
    BuildHtmlReport(html, o, AppFixture("small.rkm"), list);
    EXPECT_NE(std::string::npos, html.find("<title>Week &#8594; plan</title>"));
    EXPECT_NE(std::string::npos, html.find("<caption style=\"font-size:19px\">Week &#8594; plan"));
    EXPECT_EQ(std::string::npos, html.find("Week ? plan"));
}

TEST(Report, HiddenColumnsNotesAndSelection) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    TuData data;
    TReportList list = FixtureList(data, false, false);
    list.Items[1].Selected = true;
    list.Items[3].Selected = true;
    THtmlReportOptions o = FixtureReportOptions();
    o.Cols.Widths[1] = 0;  // the tags column is hidden
    o.Notes = false;
    o.Priorities = false;
    o.SelectionOnly = true;
    o.Width = 100;
    std::string html;
    BuildHtmlReport(html, o, AppFixture("small.rkm"), list);
    EXPECT_EQ(std::string::npos, html.find("<td>phone"));  // no tags cells
    EXPECT_EQ(std::string::npos, html.find("<td><"));      // nor the fourth column
    EXPECT_EQ(std::string::npos, html.find(">Tags</th>"));
    EXPECT_EQ(std::string::npos, html.find("<Note>"));
    EXPECT_EQ(std::string::npos, html.find("colspan"));
    EXPECT_EQ(std::string::npos, html.find("color:#"));
    EXPECT_EQ(std::string::npos, html.find(".gif"));
    EXPECT_EQ(std::string::npos, html.find("class=\"g\""));  // not grouped: no group rows
    EXPECT_NE(std::string::npos, html.find("<table width=\"100\">"));
    EXPECT_NE(std::string::npos, html.find("<th width=\"56\" style=\"font-size:15px\">Title</th>"));
    EXPECT_NE(std::string::npos, html.find("<th width=\"17\">Due</th>"));
    // Only the two selected tasks.
    EXPECT_NE(std::string::npos, html.find(">Call Tom<"));
    EXPECT_NE(std::string::npos, html.find(">Plan trip<"));
    EXPECT_NE(std::string::npos, html.find("<td>Tomorrow</td>"));
    EXPECT_EQ(std::string::npos, html.find("Write report"));
    EXPECT_FALSE(list.Items[2].Selected);
}

TEST(Report, ShippedTemplate) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    TuData data;
    TReportList list = FixtureList(data, true, false);
    std::string html;
    const std::string shipped = test::TestDataDir() + ".." + gcl::PathDelim + ".." + gcl::PathDelim + "src" +
                                gcl::PathDelim + "app" + gcl::PathDelim + "print" + gcl::PathDelim + "Default.rkm";
    BuildHtmlReport(html, FixtureReportOptions(), shipped, list);
    EXPECT_NE(std::string::npos, html.find("Print%20Templates/phigh.gif')"));
    EXPECT_NE(std::string::npos, html.find("Print%20Templates/plow.gif')"));
    EXPECT_NE(std::string::npos, html.find("Print%20Templates/pnormal.gif')"));
    EXPECT_NE(std::string::npos, html.find("line-through"));
    EXPECT_EQ(std::string::npos, html.find("<Title>"));
    EXPECT_EQ(std::string::npos, html.find("<<<"));
    // Three header cells, one row per task, a group row per list.
    auto count = [&html](const std::string& what) {
        size_t n = 0;
        for (size_t p = html.find(what); p != std::string::npos; p = html.find(what, p + 1)) ++n;
        return n;
    };
    EXPECT_EQ(3u, count("<th "));
    EXPECT_EQ(5u, count("<tr style=\"color:"));
    EXPECT_EQ(3u, count("2px solid #e46d34"));
    EXPECT_EQ(2u, count("<br/>") - 1);  // two note lines and "Ask Ann"

    EXPECT_THROW(BuildHtmlReport(html, FixtureReportOptions(), AppFixture("missing.rkm"), list), gcl::Exception);
}

TEST(Report, TemplatePieces) {
    EXPECT_EQ("a font-size:17px b", ScaleFontSizes("a font-size:12px b", 5));
    EXPECT_EQ("font-size:17px;font-size:12px", ScaleFontSizes("font-size:12px;font-size:12px", 5));
    EXPECT_EQ("font-size:xpx", ScaleFontSizes("font-size:xpx", 5));
    EXPECT_EQ("font-size:12", ScaleFontSizes("font-size:12", 5));
    EXPECT_EQ("font-size:3px", ScaleFontSizes("font-size:-2px", 5));
    EXPECT_EQ("no size", ScaleFontSizes("no size", 5));
    EXPECT_EQ("font-size:1.5em; padding:2px", ScaleFontSizes("font-size:1.5em; padding:2px", 5));

    EXPECT_EQ("#cc0000", ColorToHtml(0x0000CC));
    EXPECT_EQ("#677483", ColorToHtml(0x837467));
    EXPECT_EQ("#000000", ColorToHtml(0));
    EXPECT_EQ("a&amp;b &lt;i&gt; &quot;q&quot; 'x'", HtmlEscape("a&b <i> \"q\" 'x'"));

    // A template without markers gives no header cells and no rows.
    TReportList list;
    list.Items.resize(2);
    const std::string html = BuildHtmlReportFromLines({"<g>", "<table>"}, THtmlReportOptions(), list);
    EXPECT_NE(std::string::npos, html.find("<body>\r\n<table>\r\n</table>\r\n"));

    // A note of blanks only has no note row; the caption of an empty column is a non-breaking space.
    THtmlReportOptions o;
    o.Cols.Widths = {50, 50, 0, 0};
    o.Cols.Names = {"Title", "Tags", "Due", ""};
    TReportItem item;
    item.Captions = {" Buy ", "", "", ""};
    item.Notes = "  \r\n";
    std::vector<std::string> row = FillReportItem({"<tr style=\"\"><td style=\"\"><Title>", "<Tags>", "<Due>", "<Note>"},
                                                  item, o);
    EXPECT_EQ((std::vector<std::string>{"<tr style=\"color:#000000;\"><td style=\"background:no-repeat "
                                        "url('file:///Print%20Templates/pnormal.gif');\">Buy",
                                        "&nbsp;", TemplateSeparator, TemplateSeparator}),
              row);

    // The program's folder in the picture's url: brackets and blanks are
    // written as escapes.
    o.Priorities = true;
    o.AppDir = "C:\\Program Files (x86)\\Qelvo\\";
    row = FillReportItem({"<tr style=\"\"><td style=\"\"><Title>", "<Tags>", "<Due>", "<Note>"}, item, o);
    EXPECT_EQ("<tr style=\"color:#000000;\"><td style=\"background:no-repeat "
              "url('file:///C:/Program%20Files%20%28x86%29/Qelvo/Print%20Templates/pnormal.gif');\">Buy",
              row[0]);
}

// What a browser needs to read the report as written: the code page its
// bytes are in, and addresses of the priority pictures that survive any
// folder the program lives in (a blank, "#", "%", a quote or a bracket
// would end or change an unquoted address, and the browser then drops the
// whole style).
TEST(Report, BrowsersReadTheCodePageAndEveryPictureAddress) {
    TReportList list;
    const std::string html = BuildHtmlReportFromLines({"<g>", "<table>"}, THtmlReportOptions(), list);
    EXPECT_NE(std::string::npos,
              html.find("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"));

    THtmlReportOptions o;
    o.Cols.Widths = {100, 0, 0, 0};
    o.Cols.Names = {"Title", "", "", ""};
    o.AppDir = "C:\\My Files #2\\50% off (x86)\\Bob's \"tools\" & more\\";
    TReportItem item;
    item.Captions = {"Buy", "", "", ""};
    item.Priority = 2;
    const std::vector<std::string> row = FillReportItem({"<tr style=\"\"><td style=\"\"><Title>", "<Note>"}, item, o);
    EXPECT_EQ("<tr style=\"color:#cc0000;\"><td style=\"background:no-repeat "
              "url('file:///C:/My%20Files%20%232/50%25%20off%20%28x86%29/Bob%27s%20%22tools%22%20&amp;%20more/"
              "Print%20Templates/phigh.gif');\">Buy",
              row[0]);
    // Letters of the code page stay: the browser reads them in the page's.
    o.AppDir = "C:\\Caf\xE9\\";
    EXPECT_NE(std::string::npos,
              FillReportItem({"<tr style=\"\"><td style=\"\"><Title>", "<Note>"}, item, o)[0].find(
                  "url('file:///C:/Caf\xE9/Print%20Templates/phigh.gif')"));

    // The text stays in its code page (the euro sign is 0x80 in 1252) and
    // the page names that code page; one browsers have no name for is
    // written as UTF-8, and the page says so.
    THtmlReportOptions euro;
    euro.Heading = "Rent \x80 500";
    std::string page = BuildHtmlReportFromLines({"<g>", "<table><Heading>"}, euro, list);
    EXPECT_NE(std::string::npos, page.find("<title>Rent \x80 500</title>"));
    EXPECT_NE(std::string::npos, page.find("charset=windows-1252\""));
    euro.CodePage = 1250;
    page = BuildHtmlReportFromLines({"<g>", "<table><Heading>"}, euro, list);
    EXPECT_NE(std::string::npos, page.find("<title>Rent \x80 500</title>"));
    EXPECT_NE(std::string::npos, page.find("charset=windows-1250\""));
    EXPECT_EQ("windows-1252", CodePageCharset(1252));
    EXPECT_EQ("windows-874", CodePageCharset(874));
    EXPECT_EQ("shift_jis", CodePageCharset(932));
    EXPECT_EQ("gbk", CodePageCharset(936));
    EXPECT_EQ("utf-8", CodePageCharset(65001));
    EXPECT_EQ("iso-8859-1", CodePageCharset(28591));
    EXPECT_EQ("iso-8859-15", CodePageCharset(28605));
    EXPECT_EQ("", CodePageCharset(28602));  // there is no part 12
    EXPECT_EQ("", CodePageCharset(437));
    EXPECT_EQ("", CodePageCharset(0));
#ifdef _WIN32
    // Code page 437 (the console's) has the pound sign at 0x9C.
    euro.CodePage = 437;
    euro.Heading = "Rent \x9C 500";
    page = BuildHtmlReportFromLines({"<g>", "<table><Heading>"}, euro, list);
    EXPECT_NE(std::string::npos, page.find("<title>Rent \xC2\xA3 500</title>"));
    EXPECT_NE(std::string::npos, page.find("charset=utf-8\""));
#endif
}

TEST(Report, TextExportGolden) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    TuData data;
    TReportList list = FixtureList(data, true, true);
    const std::string text = BuildTextExport(list);
    test::ExpectGolden("export.txt", text);
    for (const TReportItem& item : list.Items) EXPECT_TRUE(item.Selected);

    // A done high-priority task due today tagged bills: two lines, then its note.
    std::vector<std::string> lines;
    TReportItem pay;
    pay.Captions = {"Pay", "bills", "Today", ""};
    pay.Checked = true;
    pay.Priority = 2;
    FormatTextExportLine(pay, lines);
    EXPECT_EQ((std::vector<std::string>{"   [X]+Pay        Today", std::string(19, ' ') + "[ bills ]"}), lines);
    lines.clear();
    TReportItem plain;
    plain.Captions = {"Plain", "", "", ""};
    plain.Notes = " \r\n";
    FormatTextExportLine(plain, lines);
    EXPECT_EQ((std::vector<std::string>{"       Plain        "}), lines);
    lines.clear();
    TReportItem low;
    low.Captions = {"Low", "", "", ""};
    low.Priority = 0;
    low.Notes = "one\r\n  two";
    FormatTextExportLine(low, lines);
    EXPECT_EQ((std::vector<std::string>{"     -Low        ", std::string(11, ' ') + "one",
                                        std::string(11, ' ') + "  two"}),
              lines);

    // Not grouped: no group lines; two selected: only those.
    TuData data2;
    TReportList flat = FixtureList(data2, false, false);
    flat.Items[2].Selected = flat.Items[4].Selected = true;
    EXPECT_EQ("     -Buy milk        01/03/2025\r\n" + std::string(19, ' ') + "[ shop, food ]\r\n"
              "       Write report        \r\n",
              BuildTextExport(flat));
}

TEST(Report, ExportWritesReportFailures) {
    test::TProgramFolder app;
    std::string message = "old";
    const std::string file = HtmlExportFileName(app.File("report"));
    EXPECT_TRUE(WriteExportFile(file, "<html>\r\n", message));
    EXPECT_EQ("", message);
    EXPECT_EQ("<html>\r\n", ReadFile(app.File("report.html")));
    const std::string bad = app.File("no-folder") + gcl::PathDelim + "x.txt";
    EXPECT_FALSE(WriteExportFile(bad, "x", message));
    EXPECT_EQ("The file could not be written: " + bad, message);
    EXPECT_FALSE(gcl::FileExists(bad));
}

TEST(Report, ExportFileNames) {
    EXPECT_EQ("report.html", HtmlExportFileName("report"));
    EXPECT_EQ("report.html", HtmlExportFileName("report.html"));
    EXPECT_EQ("A.HTML", HtmlExportFileName("A.HTML"));
    EXPECT_EQ("C:\\site.html\\r.html", HtmlExportFileName("C:\\site.html\\r"));
    EXPECT_EQ("x.html.txt.html", HtmlExportFileName("x.html.txt"));
    EXPECT_EQ("list.txt", TextExportFileName("list"));
    EXPECT_EQ("list.TXT", TextExportFileName("list.TXT"));
    EXPECT_EQ("\"C:\\My Files\\list.txt\"", NotepadParameter("C:\\My Files\\list.txt"));
}

} // namespace
} // namespace qelvo
