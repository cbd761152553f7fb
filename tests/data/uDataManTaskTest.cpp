// One task and its two text forms: the text routines of the task grammar,
// the quick-entry syntax, the database line, and the escape that makes
// every stored text read back as it was written.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Lists.h"
#include "data/DataTestSupport.h"

namespace qelvo::test {
namespace {

using gcl::EncodeDate;

// The program runs with "dd/MM/yyyy" as its date formats.

// Reads a database line into a fresh task.
TuTask FromLine(const std::string& line) {
    return TuTask(line, true, true);
}

void ExpectSameTask(const TuTask& a, const TuTask& b, const std::string& context) {
    SCOPED_TRACE(context);
    EXPECT_EQ(a.Title, b.Title);
    EXPECT_EQ(a.Tags, b.Tags);
    EXPECT_EQ(a.Folder, b.Folder);
    EXPECT_EQ(a.Id, b.Id);
    EXPECT_EQ(a.Notes, b.Notes);
    EXPECT_EQ(a.Done, b.Done);
    EXPECT_EQ(a.Due, b.Due);
    EXPECT_EQ(a.Created, b.Created);
    EXPECT_EQ(a.Priority, b.Priority);
}

TEST(uDataManText, TokenRoutines) {
    std::string s = "ab;cd;ef", t;
    CutToken(s, ';', t);
    EXPECT_EQ(t, "ab");
    EXPECT_EQ(s, "cd;ef");
    s = "no separator";
    CutToken(s, ';', t);
    EXPECT_EQ(t, "");
    EXPECT_EQ(s, "no separator");

    EXPECT_EQ(CopyBetween("x;12;y;z", ";", ""), "12");
    EXPECT_EQ(CopyBetween("a[b]c]", "[", "]"), "b");
    EXPECT_EQ(CopyBetween("a;;b", ";", ""), "");
    EXPECT_EQ(CopyBetween("a;b", ";", ""), "");
    EXPECT_EQ(CopyBetween("a]b[", "[", "]"), "");

    s = "a[b]c[d]e";
    RemoveBetween(s, "[", "]");
    EXPECT_EQ(s, "ae");  // first open through last close
    s = "a;b;c;d";
    RemoveBetween(s, ";", "");
    EXPECT_EQ(s, "ad");
    s = "a]b[c";
    RemoveBetween(s, "[", "]");
    EXPECT_EQ(s, "a]b[c");
    s = "abc";
    RemoveBetween(s, "[", "]");
    EXPECT_EQ(s, "abc");

    EXPECT_EQ(NormalizeTagList(" work , home "), "work,home");
    EXPECT_EQ(NormalizeTagList("a,,b"), "a,,b");  // empty items stay
    EXPECT_EQ(NormalizeTagList("a,b,"), "a,b");
    EXPECT_EQ(NormalizeTagList("Ab"), "Ab");      // no case change
    EXPECT_EQ(NormalizeTagList(""), "");
    EXPECT_EQ(NormalizeTagList(","), "");

    EXPECT_EQ(JoinLines("x\r\ny", '|'), "x|y|");
    EXPECT_EQ(JoinLines("x\ny\rz\r\n", '|'), "x|y|z|");
    EXPECT_EQ(JoinLines("", '|'), "");
    EXPECT_EQ(JoinLines("\r\n\r\n", '|'), "||");

    std::string r = "kept";
    SplitToText("no sep", '|', r);
    EXPECT_EQ(r, "kept");
    SplitToText("a|b|tail", '|', r);
    EXPECT_EQ(r, "a\r\nb\r\n");
    SplitToText("|", '|', r);
    EXPECT_EQ(r, "\r\n");

    gcl::TStringList list;
    list.Add("Work\xF7" "0\xF7");
    list.Add("Workshop\xF7" "2\xF7");
    EXPECT_EQ(IndexOfStart(list, "Workshop"), 1);
    EXPECT_EQ(IndexOfStart(list, "Work\xF7"), 0);
    EXPECT_EQ(IndexOfStart(list, "shop"), -1);
    EXPECT_EQ(IndexOfContains(list, "shop"), 1);
    EXPECT_EQ(IndexOfContains(list, "\xF7" "2"), 1);
    EXPECT_EQ(IndexOfContains(list, "home"), -1);
}

TEST(uDataManText, DateText) {
    EXPECT_EQ(DateToIndStr(EncodeDate(2025, 3, 5)), "3/5/2025");
    EXPECT_EQ(DateToIndStr(EncodeDate(2024, 12, 31) + 0.75), "12/31/2024");
    EXPECT_EQ(DateToIndStr(1e9), "");  // outside the calendar
    EXPECT_EQ(IndStrToDate("3/5/2025"), EncodeDate(2025, 3, 5));
    EXPECT_EQ(IndStrToDate("3/5/2025/"), EncodeDate(2025, 3, 5));
    EXPECT_EQ(IndStrToDate("03/05/2025xyz"), EncodeDate(2025, 3, 5));
    EXPECT_EQ(IndStrToDate("2/30/2025"), 0);
    EXPECT_EQ(IndStrToDate("12/31/1899"), 1);
    EXPECT_EQ(IndStrToDate("3/5"), 0);
    EXPECT_EQ(IndStrToDate(""), 0);
    EXPECT_EQ(IndStrToDate("junk"), 0);

    gcl::FormatSettingsOverride o(ProgramSettings());
    const double d = EncodeDate(2025, 3, 5);
    EXPECT_EQ(DateToStrMode("ind", d), "3/5/2025");
    EXPECT_EQ(DateToStrMode("", d), "05/03/2025");
    EXPECT_EQ(DateToStrMode("yyyy-mm-dd", d), "2025-03-05");
    EXPECT_EQ(StrToDateMode("3/5/2025", true), d);
    EXPECT_EQ(StrToDateMode("05/03/2025 and more", false), d);
    EXPECT_EQ(StrToDateMode("tomorrow", false), 0);

    const double t = EncodeDate(2025, 3, 5) + gcl::EncodeTime(10, 42, 37, 512);
    EXPECT_EQ(StripSeconds(t), EncodeDate(2025, 3, 5) + gcl::EncodeTime(10, 42, 0, 0));
}

TEST(uDataManText, RandomIdsAreTenDigitsAndDiffer) {
    // Many ids within one tick of a stopped clock must still differ.
    gcl::FixedClock clock(EncodeDate(2025, 3, 5));
    gcl::ServiceOverride<gcl::IClock> o(gcl::Clock, clock);
    std::set<std::string> ids;
    for (int i = 0; i < 500; ++i) {
        const std::string id = NewRandomId();
        ASSERT_EQ(id.size(), 10u);
        EXPECT_EQ(id.find_first_not_of("0123456789"), std::string::npos);
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 500u);
    TuTask a, b;
    EXPECT_NE(a.Id, b.Id);
    EXPECT_EQ(a.Priority, 1);
    EXPECT_EQ(a.Created, EncodeDate(2025, 3, 5));
}

TEST(uDataManQuickEntry, SyntaxAndEdgeCases) {
    gcl::FormatSettingsOverride fo(ProgramSettings());
    const double today = EncodeDate(2025, 3, 5);
    gcl::FixedClock clock(today + 0.5);
    gcl::ServiceOverride<gcl::IClock> co(gcl::Clock, clock);

    TuTask t("+;t2;[ work , home ] Buy milk", false, false);
    EXPECT_EQ(t.Priority, 2);
    EXPECT_EQ(t.Due, today + 2);
    EXPECT_EQ(t.Tags, "work,home");
    EXPECT_EQ(t.Title, "Buy milk");
    EXPECT_EQ(t.Created, today + 0.5);
    EXPECT_EQ(t.Id.size(), 10u);

    EXPECT_EQ(TuTask("-Buy milk", false, false).Priority, 0);
    EXPECT_EQ(TuTask("-Buy milk", false, false).Title, "Buy milk");
    TuTask blank(" +Buy milk", false, false);
    EXPECT_EQ(blank.Priority, 1);
    EXPECT_EQ(blank.Title, "+Buy milk");

    TuTask empty(";;Buy milk", false, false);
    EXPECT_EQ(empty.Title, ";;Buy milk");
    EXPECT_EQ(empty.Due, 0);

    TuTask junk(";xyz;Buy", false, false);
    EXPECT_EQ(junk.Title, "Buy");
    EXPECT_EQ(junk.Due, 0);

    EXPECT_EQ(TuTask("[a]Buy", false, false).Tags, "");
    EXPECT_EQ(TuTask("[a]Buy", false, false).Title, "[a]Buy");
    EXPECT_EQ(TuTask("[ab]Buy", false, false).Tags, "ab");
    EXPECT_EQ(TuTask("[ab]Buy", false, false).Title, "Buy");

    EXPECT_EQ(TuTask(";t;x", false, false).Due, today);
    EXPECT_EQ(TuTask(";t-3;x", false, false).Due, today - 3);
    EXPECT_EQ(TuTask(";tx;x", false, false).Due, 0);
    EXPECT_EQ(TuTask(";05/03/2025;x", false, false).Due, today);
    EXPECT_EQ(TuTask(";05/03/2025 later;x", false, false).Due, today);  // lenient reader
    // Priority is taken before the tokens go, so a mark after them stays.
    TuTask late(";t;+x", false, false);
    EXPECT_EQ(late.Priority, 1);
    EXPECT_EQ(late.Title, "+x");

    // The preset readers of the quick-entry panels leave the text alone.
    const std::string text = "+;06/03/2025;[a, b]x";
    EXPECT_EQ(ParseDueToken(text), today + 1);
    EXPECT_EQ(ParseTagsToken(text), "a,b");
    EXPECT_EQ(ParseDueToken("no token"), today + 0.5);
    EXPECT_EQ(ParseDueToken(";tx;"), today + 0.5);
    EXPECT_EQ(ParseDueToken(";t1;"), today + 1);
    EXPECT_THROW(ParseDueToken(";xyz;"), gcl::EConvertError);
    std::string kept = "[a]x";
    EXPECT_EQ(ExtractTags(kept, true), "");
    EXPECT_EQ(kept, "[a]x");
}

TEST(uDataManTaskLine, ExactForms) {
    TuTask task;
    task.Title = "Call Tom";
    task.Priority = 2;
    task.Due = EncodeDate(2025, 3, 5);
    task.Tags = "a,b";
    task.Id = "0123456789";
    task.Folder = "Work";
    task.Created = EncodeDate(2025, 1, 2) + 0.25;
    EXPECT_EQ(task.GetShortText("ind"), "+;3/5/2025;[a,b]Call Tom");
    EXPECT_EQ(task.ToString("ind", false), "+;3/5/2025;[a,b]Call Tom");
    EXPECT_EQ(task.ToString("ind", true), "+;3/5/2025;[a,b]Call Tom" + F + "--" + F + "0123456789" + F + "Work" + F +
                                              "1/2/2025" + F + F);

    task.Priority = 1;
    task.Due = EncodeDate(1901, 12, 31);  // year 1901: no due date
    task.Tags.clear();
    task.Done = true;
    task.Notes = "x\r\ny";
    const std::string line = "Call Tom" + F + "-d-" + F + "0123456789" + F + "Work" + F + "1/2/2025" + F + "x" + N +
                             "y" + N + F;
    EXPECT_EQ(task.ToString("ind", true), line);

    const TuTask back = FromLine(line);
    EXPECT_EQ(back.Title, "Call Tom");
    EXPECT_TRUE(back.Done);
    EXPECT_EQ(back.Notes, "x\r\ny\r\n");
    EXPECT_EQ(back.Created, EncodeDate(2025, 1, 2));
    EXPECT_EQ(back.Due, 0);
    EXPECT_EQ(back.Priority, 1);
    EXPECT_EQ(back.Folder, "Work");
    EXPECT_EQ(back.Id, "0123456789");

    const TuTask low = FromLine("-;12/31/2024;[x,y]Low" + F + "--" + F + "1" + F + "L" + F + "13/1/2024" + F + F);
    EXPECT_EQ(low.Priority, 0);
    EXPECT_EQ(low.Due, EncodeDate(2024, 12, 31));
    EXPECT_EQ(low.Tags, "x,y");
    EXPECT_EQ(low.Created, 0);  // unreadable date
}

TEST(uDataManTaskLine, DamagedLinesReadAsFarAsTheyGo) {
    // No separator at all: every field is empty.
    TuTask none = FromLine("just text");
    EXPECT_EQ(none.Title, "");
    EXPECT_EQ(none.Priority, 1);
    EXPECT_EQ(none.Id, "");
    // A field without a separator after it is missing, and so is the rest.
    TuTask cut = FromLine("Title" + F + "-d-" + F + "123" + F + "List");
    EXPECT_EQ(cut.Title, "Title");
    EXPECT_TRUE(cut.Done);
    EXPECT_EQ(cut.Id, "123");
    EXPECT_EQ(cut.Folder, "");
    EXPECT_EQ(cut.Notes, "");
    // A note without its closing 0xF8 loses the tail.
    TuTask note = FromLine("T" + F + "--" + F + F + F + F + "a" + N + "tail" + F);
    EXPECT_EQ(note.Notes, "a\r\n");
    // A list name longer than 50 characters is cut.
    TuTask longList = FromLine("T" + F + "--" + F + F + std::string(80, 'L') + F + F + F);
    EXPECT_EQ(longList.Folder, std::string(50, 'L'));
    EXPECT_EQ(FromLine("").Title, "");
    // Text after the note field that is not the escape mark is ignored.
    TuTask extra = FromLine("a%3Bb" + F + "--" + F + F + F + F + F + "x" + F);
    EXPECT_EQ(extra.Title, "a%3Bb");
}

TEST(uDataManTaskLine, EscapeOnlyWhereNeeded) {
    TuTask task;
    task.Id = "0123456789";
    task.Folder = "Work";
    task.Created = EncodeDate(2025, 1, 2);
    const std::string tail = F + "--" + F + "0123456789" + F + "Work" + F + "1/2/2025" + F + F;

    // Texts the grammar reads back unchanged keep the plain form, even
    // with ";", "[" or a leading mark where they do no harm.
    task.Title = "100% done";
    EXPECT_EQ(task.ToString("ind", true), "100% done" + tail);
    task.Title = "a;b";
    EXPECT_EQ(task.ToString("ind", true), "a;b" + tail);
    task.Priority = 2;
    task.Title = "+1 for Bob";
    EXPECT_EQ(task.ToString("ind", true), "++1 for Bob" + tail);
    task.Priority = 1;
    task.Due = EncodeDate(2025, 3, 5);
    task.Title = "Call Bob; then Ann; done";
    EXPECT_EQ(task.ToString("ind", true), ";3/5/2025;Call Bob; then Ann; done" + tail);
    task.Due = 0;
    task.Tags = "a,b";
    task.Title = "see [x]";
    EXPECT_EQ(task.ToString("ind", true), "[a,b]see [x]" + tail);
    task.Tags.clear();

    // These would read back changed, so they are escaped.
    task.Title = "+1 for Bob";
    EXPECT_EQ(task.ToString("ind", true), "%2B1 for Bob" + tail + "%" + F);
    task.Title = "Call Bob; then Ann; done";
    EXPECT_EQ(task.ToString("ind", true), "Call Bob%3B then Ann%3B done" + tail + "%" + F);
    task.Title = "Sm\xF8rrebr\xF8" "d \xF7 2";
    EXPECT_EQ(task.ToString("ind", true), "Sm%F8rrebr%F8d %F7 2" + tail + "%" + F);
    task.Title = "x";
    task.Tags = "a";
    EXPECT_EQ(task.ToString("ind", true), "[a]x" + tail + "%" + F);
}

TEST(uDataManTaskLine, HostileTextsRoundTrip) {
    struct Case {
        std::string Title, Tags, Folder, Notes;
        std::uint16_t Priority;
        double Due;
    };
    const double due = EncodeDate(2025, 3, 5);
    const Case cases[] = {
        {"+1 for Bob", "", "Work", "", 1, 0},
        {"-minus first", "", "Work", "", 1, 0},
        {"Call Bob; then Ann; done", "", "Work", "", 1, 0},
        {";t2;x", "", "", "", 1, 0},
        {";3/5/2025;x", "", "", "", 1, due},
        {"[ab]x", "", "", "", 2, 0},
        {"x", "a", "", "", 1, 0},
        {"x", "a, b", "", "", 1, 0},
        {"x", "a,b,", "", "", 1, 0},
        {"x", "]", "", "", 1, 0},
        {"x", "a;b;c", "", "", 0, due},
        {"x", "a[b", "", "", 1, 0},
        {"  padded  ", "", "", "", 1, 0},
        {"Bl\xE5" "b\xE6r \xF7 gr\xF8" "d", "s\xF8" "d,\xF7", "K\xF8kken\xF7", "Line \xF7 one\r\nZ\xF8" "e\r\n", 1, due},
        {"two\r\nlines", "tag\nx", "li\rst", "", 1, 0},
        {"100%", "%41", "%", "%\r\n%F7\r\n", 2, 0},
        {"", "", "", "\xF8\r\n", 1, 0},
        {"\x01\x1B", "", "", "", 1, 0},
    };
    for (const Case& c : cases) {
        TuTask task;
        task.Title = c.Title;
        task.Tags = c.Tags;
        task.Folder = c.Folder;
        task.Notes = c.Notes;
        task.Priority = c.Priority;
        task.Due = c.Due;
        task.Created = EncodeDate(2024, 2, 29);
        task.Done = c.Priority == 2;
        const std::string line = task.ToString("ind", true);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << c.Title;
        ExpectSameTask(FromLine(line), task, c.Title);
    }
}

TEST(uDataManTaskLine, RandomTextsRoundTrip) {
    // Texts drawn from the bytes that matter to the grammar and a few
    // others; notes are made of whole lines, as the reader returns them.
    std::mt19937 rng(20250305);
    const std::string alphabet = std::string("ab ;[]+-,%\t\r\n\xF7\xF8\xE6") + '\0';
    auto text = [&](size_t maxLength, const std::string& from) {
        std::string s(rng() % (maxLength + 1), ' ');
        for (char& c : s) c = from[rng() % from.size()];
        return s;
    };
    const std::string noBreaks = "ab ;[]+-,%\t\xF7\xF8\xE6";
    for (int i = 0; i < 3000; ++i) {
        TuTask task;
        task.Title = text(12, alphabet);
        task.Tags = text(6, alphabet);
        task.Folder = text(8, alphabet);
        task.Id = text(4, alphabet);
        task.Notes.clear();
        for (int n = int(rng() % 3); n > 0; --n) task.Notes += text(6, noBreaks) + "\r\n";
        task.Priority = static_cast<std::uint16_t>(rng() % 3);
        task.Due = rng() % 2 ? EncodeDate(2000 + int(rng() % 30), 1 + int(rng() % 12), 1 + int(rng() % 28)) : 0;
        task.Created = EncodeDate(2024, 1, 1) + rng() % 400;
        task.Done = rng() % 2;
        const std::string line = task.ToString("ind", true);
        ASSERT_EQ(line.find_first_of("\r\n"), std::string::npos);
        const TuTask back = FromLine(line);
        if (back.Title != task.Title || back.Tags != task.Tags || back.Folder != task.Folder ||
            back.Id != task.Id || back.Notes != task.Notes || back.Priority != task.Priority ||
            back.Due != task.Due || back.Done != task.Done || back.Created != task.Created) {
            ExpectSameTask(back, task, "random case " + std::to_string(i));
            break;
        }
    }
}

TEST(uDataManTaskLine, TheShortFormOfALineReadsAsQuickEntryReadsIt) {
    // The database reader takes the common shapes of the short form
    // without copying it; whatever the shape, it must come out as the
    // quick-entry reader (with file dates) reads the same text.
    std::mt19937 rng(7);
    const char* const pieces[] = {"+", "-", ";", ";3/5/2025;", ";t;", ";t2;", ";x;", "; ;", "[", "]", "[a,b]",
                                  "[ab]", "[a]", "[ x , y ]", "[a,,b]", "[,]", " ", "Buy", "milk", ",", "t"};
    for (int i = 0; i < 20000; ++i) {
        std::string work;
        for (int n = int(rng() % 6); n > 0; --n) work += pieces[rng() % (sizeof pieces / sizeof *pieces)];
        const TuTask typed(work, false, true);
        const TuTask read = FromLine(work + F + "--" + F + "1" + F + "L" + F + "1/2/2025" + F + F);
        if (read.Priority != typed.Priority || read.Due != typed.Due || read.Tags != typed.Tags ||
            read.Title != typed.Title) {
            ADD_FAILURE() << "short form \"" << work << "\": priority " << int(read.Priority) << "/" << int(typed.Priority)
                          << ", due " << read.Due << "/" << typed.Due << ", tags \"" << read.Tags << "\"/\""
                          << typed.Tags << "\", title \"" << read.Title << "\"/\"" << typed.Title << "\"";
            break;
        }
    }
}

} // namespace
} // namespace qelvo::test
