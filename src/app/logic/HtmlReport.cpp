// The HTML report: template roles, placeholders and the fixed document head.
#include "app/logic/HtmlReport.h"

#include "gcl/rtl/Files.h"
#include "gcl/rtl/Maths.h"
#include "gcl/rtl/Strings.h"

#include <string_view>

namespace qelvo {

namespace {

// Replaces the first occurrence of What in Line; False when it is absent.
bool ReplaceFirst(std::string& line, const std::string& what, const std::string& with) {
    const size_t p = line.find(what);
    if (p == std::string::npos) return false;
    line.replace(p, what.size(), with);
    return true;
}

void ReplaceAll(std::string& s, const std::string& what, const std::string& with) {
    size_t p = s.find(what);
    while (p != std::string::npos) {
        s.replace(p, what.size(), with);
        p = s.find(what, p + with.size());
    }
}

int FindMarker(const std::vector<std::string>& lines, const char* marker, size_t from) {
    for (size_t i = from; i < lines.size(); ++i)
        if (gcl::SameText(lines[i], marker)) return static_cast<int>(i);
    return -1;
}

// The note as report text: escaped, every line followed by "<br/>", pairs
// of blanks kept as non-breaking spaces.
std::string NoteToHtml(const std::string& notes) {
    std::string out;
    for (const std::string& line : SplitTextLines(HtmlEscape(notes))) out += line + "<br/>";
    ReplaceAll(out, "  ", "&nbsp;&nbsp;");
    return out;
}

// The address of a picture beside the program: "file:///" and its path
// with "/" for "\\" ("file:///C:/Program%20Files/..."; the drive's ":" as
// it is, which every browser reads, where the older "|" in its place is
// read on Windows only), every blank, control character and character
// that would end or change the address ("#", "%", "?", quotes, brackets,
// a ":" past the drive's) as a %-escape, and escaped for an attribute.
// Letters of the code page stay as they are: the browser reads them in the
// document's code page.
std::string PictureUrl(const std::string& folder, const char* picture) {
    static const char hex[] = "0123456789ABCDEF";
    std::string path = "file:///";
    bool colonSeen = false;
    for (const char c : folder + picture) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\\' || c == '/')
            path += '/';
        else if (c == ':' && !colonSeen) {
            path += ':';
            colonSeen = true;
        } else if (b <= 0x20 || b == 0x7F || std::string_view("\"#%'()<>?`{}|:").find(c) != std::string_view::npos) {
            path += '%';
            path += hex[b >> 4];
            path += hex[b & 15];
        } else {
            path += c;
        }
    }
    return HtmlEscape(path);
}

} // namespace

std::vector<std::string> SplitTextLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string cur;
    bool pending = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(cur);
            cur.clear();
            pending = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            cur += c;
            pending = true;
        }
    }
    if (pending) lines.push_back(cur);
    return lines;
}

void SelectAllUnlessSeveral(TReportList& list) {
    int selected = 0;
    for (const TReportItem& item : list.Items)
        if (item.Selected) ++selected;
    if (selected < 2)
        for (TReportItem& item : list.Items) item.Selected = true;
}

std::string HtmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string HtmlEscapeWide(const std::wstring& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        std::uint32_t code = static_cast<std::uint16_t>(text[i]);
        size_t units = 1;
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) {
            const std::uint32_t low = static_cast<std::uint16_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                units = 2;
            }
        }
        const std::wstring one = text.substr(i, units);
        const std::string ansi = gcl::WideToAnsi(one);
        if (code != 0 && gcl::AnsiToWide(ansi) == one)
            out += HtmlEscape(ansi);
        else
            out += "&#" + gcl::IntToStr(static_cast<std::int64_t>(code)) + ";";
        i += units - 1;
    }
    return out;
}

namespace {

// The heading as report text.
std::string HeadingHtml(const THtmlReportOptions& options) {
    return options.WideHeading.empty() ? HtmlEscape(options.Heading) : HtmlEscapeWide(options.WideHeading);
}

} // namespace

std::string ScaleFontSizes(const std::string& line, std::int32_t delta) {
    static const std::string key = "font-size:";
    const size_t p = line.find(key);
    if (p == std::string::npos) return line;
    const size_t start = p + key.size();
    const size_t px = line.find("px", start);
    if (px == std::string::npos) return line;
    const std::string number = line.substr(start, px - start);
    size_t i = 0;
    bool negative = false;
    if (i < number.size() && (number[i] == '-' || number[i] == '+')) negative = number[i++] == '-';
    if (i == number.size() || number.size() - i > 9) return line;
    long long n = 0;
    for (; i < number.size(); ++i) {
        if (number[i] < '0' || number[i] > '9') return line;
        n = n * 10 + (number[i] - '0');
    }
    if (negative) n = -n;
    std::string out = line;
    out.replace(start, px - start, gcl::IntToStr(n + delta));
    return out;
}

std::string ColorToHtml(std::int32_t color) {
    const std::uint32_t c = static_cast<std::uint32_t>(color);
    return gcl::Format("#%.2x%.2x%.2x", {c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF});
}

std::string FillReportHeader(const std::string& tableLine, const THtmlReportOptions& options) {
    std::string line = tableLine;
    ReplaceFirst(line, "<TableWidth>", gcl::IntToStr(options.Width - 2 * options.Margin));
    ReplaceFirst(line, "<Heading>", HeadingHtml(options));
    return ScaleFontSizes(line, options.FontDelta);
}

std::vector<std::string> FillReportColumns(const std::vector<std::string>& cells, const THtmlReportOptions& options) {
    std::vector<std::string> out;
    const int tableWidth = options.Width - 2 * options.Margin;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i < options.Cols.Widths.size() && options.Cols.Widths[i] > 0) {
            std::string line = cells[i];
            const double w = static_cast<double>(tableWidth) * options.Cols.Widths[i] / 100.0;
            ReplaceFirst(line, "<ColWidth>", gcl::IntToStr(gcl::Round(w)));
            ReplaceFirst(line, "<ColName>", HtmlEscape(gcl::Trim(options.Cols.Names[i])));
            out.push_back(ScaleFontSizes(line, options.FontDelta));
        } else {
            out.push_back(TemplateSeparator);
        }
    }
    StripTemplateSeparators(out);
    return out;
}

std::string FillReportGroup(const std::string& groupLine, const std::string& caption, std::int32_t fontDelta) {
    std::string line = groupLine;
    ReplaceFirst(line, "<GroupName>", HtmlEscape(caption));
    return ScaleFontSizes(line, fontDelta);
}

std::vector<std::string> FillReportItem(const std::vector<std::string>& itemLines, const TReportItem& item,
                                        const THtmlReportOptions& options) {
    std::vector<std::string> lines = itemLines;
    if (lines.empty()) return lines;
    const size_t last = lines.size() - 1;
    for (size_t i = 0; i < last; ++i) {
        std::string& line = lines[i];
        // Lines past the four columns have no column to belong to.
        if (i >= options.Cols.Widths.size() || options.Cols.Widths[i] <= 0) {
            line = TemplateSeparator;
            continue;
        }
        const std::string caption = gcl::Trim(item.Captions[i]);
        ReplaceFirst(line, "<" + options.Cols.Names[i] + ">", caption.empty() ? "&nbsp;" : HtmlEscape(caption));
        line = ScaleFontSizes(line, options.FontDelta);
        if (i != 0) continue;
        if (options.Priorities) {
            const size_t p = static_cast<size_t>(item.Priority >= 0 && item.Priority <= 2 ? item.Priority : 1);
            ReplaceFirst(line, "<tr style=\"", "<tr style=\"color:" + ColorToHtml(ReportPriorityColors[p]) + ";");
            ReplaceFirst(line, "<td style=\"",
                         "<td style=\"background:no-repeat url('" +
                             PictureUrl(options.AppDir, ReportPriorityPictures[p]) + "');");
        }
        if (item.Checked) ReplaceFirst(line, "text-decoration:none", "text-decoration:line-through");
    }
    std::string& noteRow = lines[last];
    if (options.Notes && !gcl::Trim(item.Notes).empty())
        ReplaceFirst(noteRow, "<Note>", NoteToHtml(item.Notes));
    else
        noteRow = TemplateSeparator;
    return lines;
}

std::vector<std::string> FillReportItems(const std::string& groupLine, const std::vector<std::string>& itemLines,
                                         const THtmlReportOptions& options, TReportList& list) {
    if (!options.SelectionOnly) SelectAllUnlessSeveral(list);
    std::vector<std::string> out;
    bool first = true;
    int group = -1;
    for (const TReportItem& item : list.Items) {
        if (!item.Selected) continue;
        if (list.Grouped && (first || item.GroupIndex != group))
            out.push_back(FillReportGroup(groupLine, item.GroupCaption, options.FontDelta));
        first = false;
        group = item.GroupIndex;
        std::vector<std::string> row = FillReportItem(itemLines, item, options);
        StripTemplateSeparators(row);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

void StripTemplateSeparators(std::vector<std::string>& lines) {
    std::erase(lines, std::string(TemplateSeparator));
}

std::string CodePageCharset(unsigned codePage) {
    switch (codePage) {
    case 866: return "ibm866";
    case 874: return "windows-874";
    case 932: return "shift_jis";
    case 936: return "gbk";
    case 949: return "euc-kr";
    case 950: return "big5";
    case 10000: return "macintosh";
    case 20127: return "us-ascii";
    case 20866: return "koi8-r";
    case 21866: return "koi8-u";
    case 20932:
    case 51932: return "euc-jp";
    case 50220: return "iso-2022-jp";
    case 54936: return "gb18030";
    case 65001: return "utf-8";
    default: break;
    }
    if (codePage >= 1250 && codePage <= 1258) return "windows-" + gcl::IntToStr(static_cast<std::int64_t>(codePage));
    // ISO 8859 parts 1 to 16 (there is no part 12).
    if (codePage >= 28591 && codePage <= 28606 && codePage != 28602)
        return "iso-8859-" + gcl::IntToStr(static_cast<std::int64_t>(codePage - 28590));
    return std::string();
}

std::string BuildHtmlReportFromLines(const std::vector<std::string>& t, const THtmlReportOptions& options,
                                     TReportList& list) {
    const std::string groupLine = t.size() > 0 ? t[0] : std::string();
    const std::string tableLine = t.size() > 1 ? t[1] : std::string();
    const int header = FindMarker(t, "<Header>", 2);
    const int itemMarker = header >= 0 ? FindMarker(t, "<Item>", static_cast<size_t>(header) + 1) : -1;
    std::vector<std::string> cells, itemLines;
    if (header >= 0) {
        cells.assign(t.begin() + 2, t.begin() + header);
        if (itemMarker >= 0) itemLines.assign(t.begin() + header + 1, t.begin() + itemMarker);
    }

    // The page names the code page its text is in; one that browsers know
    // no name for is written as UTF-8 instead.
    const unsigned codePage = options.CodePage ? options.CodePage : gcl::AnsiCodePage();
    const std::string named = CodePageCharset(codePage);
    std::vector<std::string> out = {
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"",
        "\"http://www.w3.org/TR/html4/loose.dtd\">",
        "<html>",
        "<head>",
        "<title>" + HeadingHtml(options) + "</title>",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + (named.empty() ? "utf-8" : named) +
            "\">",
        "</head>",
        "<body>",
    };
    out.push_back(FillReportHeader(tableLine, options));
    for (std::string& cell : FillReportColumns(cells, options)) out.push_back(std::move(cell));
    for (std::string& row : FillReportItems(groupLine, itemLines, options, list)) out.push_back(std::move(row));
    out.push_back("</table>");
    out.push_back("</body>");
    out.push_back("</html>");

    std::string html;
    for (const std::string& line : out) html += line + "\r\n";
    return named.empty() ? gcl::Utf8Encode(gcl::AnsiToWide(html, options.CodePage)) : html;
}

void BuildHtmlReport(std::string& html, const THtmlReportOptions& options, const std::string& templatePath,
                     TReportList& list) {
    const std::vector<std::string> lines = SplitTextLines(gcl::ReadFileBytes(templatePath));
    html = BuildHtmlReportFromLines(lines, options, list);
}

} // namespace qelvo
