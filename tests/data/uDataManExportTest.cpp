// The Pendrillax export: list entries, the record text and the file,
// pinned byte for byte by a fixture written from the format description.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Lists.h"
#include "support/TestEnvironment.h"
#include "data/DataTestSupport.h"

namespace qelvo::test {
namespace {

using gcl::EncodeDate;

const std::string BD = "\xBD", BE = "\xBE", BF = "\xBF";

// The date-time text of the export follows the process settings; the
// program's dates are "dd/MM/yyyy", the time format is the fixed one.
// The database of fixtures/data/database/sample.jmw.
void BuildJmwSample(TuData& data) {
    data.DbId = "d_id-0123456789";
    data.Folders->Add("Work" + F + "0" + F);
    data.Folders->Add("Home" + F + "3" + F);
    data.Folders->Add("Odd" + F + "x" + F);
    data.Tags->Add("work");
    data.Tags->Add("home");
    TuTask* a = new TuTask();
    a->Title = "Call Tom";
    a->Created = EncodeDate(2025, 3, 5) + gcl::EncodeTime(14, 30, 0, 0);
    a->Folder = "Work";
    a->Priority = 2;
    a->Due = EncodeDate(2025, 3, 10);
    a->Id = "1234567890";
    a->Tags = "work,home";
    data.Tasks->AddObject(a->Title, a);
    TuTask* b = new TuTask();
    b->Title = "Plain task";
    b->Created = EncodeDate(2024, 12, 31);
    b->Folder = "Home";
    b->FolderIcon = 3;
    b->Done = true;
    b->Priority = 0;
    b->Notes = "first\r\nsecond";
    b->Id = "0000000001";
    data.Tasks->AddObject(b->Title, b);
    data.Tasks->AddObject("no task", nullptr);
}

TEST(uDataManExport, ListEntries) {
    gcl::TStringList lines;
    std::string text = "old";
    BuildFolderEntries(lines, text);
    EXPECT_EQ(text, "");
    lines.Add("Home" + F + "3");
    lines.Add("tag");
    lines.Add("Odd" + F + "x" + F);
    BuildFolderEntries(lines, text);
    EXPECT_EQ(text, "Home->" + BF + "0" + BF + "0" + BF + "3" + BF + "\r\n" +  //
                        "tag->" + BF + "0" + BF + "0" + BF + "72" + BF + "\r\n" +  //
                        "Odd->" + BF + "0" + BF + "0" + BF + "72" + BF + "\r\n");
}

TEST(uDataManExport, RecordText) {
    gcl::FormatSettingsOverride fo(ProgramSettings());
    TuData data;
    data.DbId = "d_id-1";
    // Without lists and tags the first two lines are a lone 0xBD.
    EXPECT_EQ(BuildJmwText(data), BD + "\r\n" + BD + "\r\n" + "d_id-1" + BD + "30/12/1899" + BD + "\r\n");

    BuildJmwSample(data);
    const std::string text = BuildJmwText(data);
    // One line per task between the list lines and the id line.
    size_t lines = 0, pos = 0;
    while ((pos = text.find("\r\n", pos)) != std::string::npos) ++lines, pos += 2;
    EXPECT_EQ(lines, 5u);
    const size_t start = text.find("Plain task");
    const std::string line = text.substr(start, text.find("\r\n", start) - start);
    size_t fields = 0;
    for (char c : line) fields += c == '\xBD';
    EXPECT_EQ(fields, 39u);
    EXPECT_NE(line.find(BD + "5" + BD + BD + BD + "20" + BD), std::string::npos);  // fields 31-34 of a done task
    EXPECT_NE(line.find(BD + "first" + BE + "second" + BE + BD), std::string::npos);
}

// Titles, names, tags and notes may hold the letters whose bytes are the
// export's marks (one half, three quarters, the inverted question mark):
// written as they are they would end a field or an entry early, so every
// record keeps its 39 fields and each list entry its four parts.
TEST(uDataManExport, LettersThatAreTheFormatsMarksKeepTheRecordsWhole) {
    gcl::FormatSettingsOverride fo(ProgramSettings());
    TuData data;
    data.DbId = "d_id-1";
    data.Folders->Add("Bits \xBE" + F + "2" + F);
    data.Tags->Add("\xBFque");
    TuTask* t = new TuTask();
    t->Title = "Buy \xBD kg \xBF" "flour?";
    t->Folder = "Bits \xBE";
    t->Tags = "\xBFque";
    t->Notes = "\xBD cup\r\nthen \xBE";
    t->Id = "0000000009";
    data.Tasks->AddObject(t->Title, t);
    const std::string text = BuildJmwText(data);

    auto lineWith = [&](const std::string& part) {
        const size_t at = text.find(part);
        if (at == std::string::npos) return std::string();
        const size_t start = text.rfind("\r\n", at);
        const size_t from = start == std::string::npos ? 0 : start + 2;
        return text.substr(from, text.find("\r\n", at) - from);
    };
    auto count = [](const std::string& s, const std::string& mark) {
        size_t n = 0;
        for (char c : s) n += c == mark[0];
        return n;
    };
    EXPECT_EQ(lineWith("Bits 3/4->"), "Bits 3/4->" + BF + "0" + BF + "0" + BF + "2" + BF + BE + BD);
    EXPECT_EQ(lineWith("?que->"), "?que->" + BF + "0" + BF + "0" + BF + "72" + BF + BE + BD);
    const std::string task = lineWith("Buy 1/2 kg ?flour?" + BD);
    ASSERT_FALSE(task.empty()) << text;
    EXPECT_EQ(count(task, BD), 39u);
    EXPECT_EQ(count(task, BF), 4u);    // the task's list entry alone
    EXPECT_EQ(count(task, BE), 2u);    // one after each note line
    EXPECT_NE(task.find(BD + "1/2 cup" + BE + "then 3/4" + BE + BD), std::string::npos);
    EXPECT_NE(task.find(BD + "?que," + BD), std::string::npos);
}

TEST(uDataManExport, SampleFileByteForByte) {
    gcl::FormatSettingsOverride fo(ProgramSettings());
    TuData data;
    BuildJmwSample(data);
    TempDir dir;
    ExportJmw(data, dir.File("out.jmw"));
    const std::string fixture = ReadTestFile(TestDataDir() + "data/database/sample.jmw");
    ASSERT_FALSE(fixture.empty());
    EXPECT_EQ(ReadTestFile(dir.File("out.jmw")), fixture);
    EXPECT_FALSE(data.Modified);
    EXPECT_THROW(ExportJmw(data, dir.File("no-such-folder/out.jmw")), gcl::Exception);
}

} // namespace
} // namespace qelvo::test
