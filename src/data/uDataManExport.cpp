// The Pendrillax export: the database as one item of a named-stream
// container.
#include "data/uDataMan.h"

#include <memory>
#include <string>
#include <string_view>

#include "data/NsStreamCol.h"
#include "data/uDataManLines.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Streams.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

namespace {

// The Pendrillax separators: end of a field, end of an entry of a
// multi-entry field, end of a part of a list entry.
constexpr char BD = '\xBD';
constexpr char BE = '\xBE';
constexpr char BF = '\xBF';

struct FreeDeleter {
    void operator()(gcl::TObject* obj) const noexcept { gcl::Free(obj); }
};


// Appends a text of the user's to the export. The export's three marks
// are letters of the system code page ("\xBD" is one half, "\xBE" three
// quarters, "\xBF" the inverted question mark), so a title, name, tag or
// note holding one would end its field or entry early and shift every
// field after it: those letters are written as "1/2", "3/4" and "?".
void AppendText(std::string& out, std::string_view text) {
    for (size_t from = 0;;) {
        const size_t at = text.find_first_of("\xBD\xBE\xBF", from);
        out += text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from);
        if (at == std::string_view::npos) return;
        out += text[at] == BD ? "1/2" : text[at] == BE ? "3/4" : "?";
        from = at + 1;
    }
}

// One list entry: name, "->", 0xBF, "0", 0xBF, "0", 0xBF, icon, 0xBF.
void AppendListEntry(std::string& out, std::string_view name, int icon) {
    AppendText(out, name);
    out += "->";
    out += BF;
    out += '0';
    out += BF;
    out += '0';
    out += BF;
    AppendInt(out, icon);
    out += BF;
}

// The entry of a Folders or Tags line: the name before the first 0xF7,
// the icon from the text between the first and the second, 72 when that
// is not a number (tag lines have none).
void AppendLineEntry(std::string& out, std::string line) {
    if (line.empty() || line.back() != FieldSeparator) line += FieldSeparator;
    const size_t first = line.find(FieldSeparator);
    const size_t second = line.find(FieldSeparator, first + 1);
    const std::string iconText =
        second == std::string::npos ? std::string() : line.substr(first + 1, second - first - 1);
    AppendListEntry(out, std::string_view(line).substr(0, first), gcl::StrToIntDef(iconText, 72));
}

void AppendField(std::string& out, std::string_view value) {
    AppendText(out, value);
    out += BD;
}

} // namespace

void BuildFolderEntries(const gcl::TStrings& lines, std::string& text) {
    text.clear();
    for (int i = 0; i < lines.GetCount(); ++i) {
        AppendLineEntry(text, lines.Get(i));
        text += FileLineEnd;
    }
}

std::string BuildJmwText(const TuData& data) {
    std::string out;
    const std::string zeroDate = gcl::DateTimeToStr(0);

    for (const gcl::TStringList* lines : {data.Folders.get(), data.Tags.get()}) {
        std::string entries;
        BuildFolderEntries(*lines, entries);
        ForEachLine(entries, [&](std::string_view entry) {
            out += entry;
            out += BE;
        });
        out += BD;
        out += FileLineEnd;
    }

    for (int i = 0; i < data.Tasks->GetCount(); ++i) {
        const TuTask* t = data.Tasks->GetTask(i);
        if (!t) continue;
        AppendField(out, t->Title);                                // 1
        AppendField(out, gcl::DateTimeToStr(t->Created));          // 2
        AppendListEntry(out, t->Folder, t->FolderIcon);            // 3
        out += BD;
        AppendField(out, gcl::BoolToStr(t->Done));                 // 4
        AppendField(out, gcl::IntToStr(3 - int(t->Priority)));     // 5
        AppendField(out, gcl::DateTimeToStr(t->Due));              // 6
        AppendField(out, zeroDate);                                // 7
        AppendField(out, zeroDate);                                // 8
        AppendField(out, gcl::BoolToStr(false));                   // 9
        AppendField(out, "0");                                     // 10
        AppendField(out, "");                                      // 11
        AppendField(out, "1000000");                               // 12
        for (int k = 13; k <= 17; ++k) AppendField(out, "0");      // 13-17
        AppendField(out, gcl::BoolToStr(false));                   // 18
        AppendField(out, gcl::BoolToStr(false));                   // 19
        AppendField(out, zeroDate);                                // 20
        AppendField(out, "0");                                     // 21
        AppendField(out, gcl::BoolToStr(false));                   // 22
        AppendField(out, gcl::BoolToStr(false));                   // 23
        AppendField(out, "");                                      // 24
        AppendField(out, "");                                      // 25
        AppendField(out, "");                                      // 26
        ForEachLine(t->Notes, [&](std::string_view line) {        // 27
            AppendText(out, line);
            out += BE;
        });
        out += BD;
        AppendField(out, gcl::BoolToStr(true));                    // 28
        AppendField(out, t->Id);                                   // 29
        AppendField(out, t->Tags.empty() ? std::string() : t->Tags + ",");  // 30
        AppendField(out, t->Done ? "5" : "0");                     // 31
        AppendField(out, "");                                      // 32
        AppendField(out, "");                                      // 33
        AppendField(out, t->Done ? "20" : "0");                    // 34
        AppendField(out, gcl::FloatToStr(0));                      // 35
        AppendField(out, "0");                                     // 36
        AppendField(out, gcl::FloatToStr(0));                      // 37
        AppendField(out, "0");                                     // 38
        AppendField(out, zeroDate);                                // 39
        out += FileLineEnd;
    }

    AppendField(out, data.DbId);
    AppendField(out, zeroDate);
    out += FileLineEnd;
    return out;
}

void ExportJmw(const TuData& data, const std::string& fileName) {
    const std::string text = BuildJmwText(data);
    gcl::TMemoryStream stream;
    stream.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
    std::unique_ptr<TNsStreams, FreeDeleter> container(TNsStreams::Create(static_cast<gcl::TComponent*>(nullptr)));
    container->AddStream(".jmw", &stream);
    container->SetCompressed(false);
    container->SaveToFile(fileName);
}

} // namespace qelvo
