// The task's text fields: TTaskText used as std::string is, at the
// lengths where it changes how it holds the text, and the texts of loaded
// tasks, which live in shared blocks: changed while an old view is held,
// moved to another database, kept after their database is gone, freed
// from several threads.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "data/uDataMan.h"
#include "support/TestEnvironment.h"

namespace qelvo::test {
namespace {

constexpr std::size_t Inline = TTaskText::InlineCapacity;

// Lengths around the change from the object's own room to a heap block.
const std::size_t Lengths[] = {0, 1, Inline - 1, Inline, Inline + 1, Inline + 2, 64, 1000};

std::string LetterText(std::size_t n, char first = 'a') {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += static_cast<char>(first + i % 26);
    return s;
}

// Checks T against the std::string it should equal, through every way of
// reading it.
void ExpectText(const TTaskText& t, const std::string& s) {
    EXPECT_EQ(t.size(), s.size());
    EXPECT_EQ(t.empty(), s.empty());
    EXPECT_EQ(t.View(), s);
    EXPECT_EQ(std::string(t), s);
    EXPECT_EQ(t.c_str()[s.size()], '\0');
    EXPECT_EQ(std::string(t.c_str()), s.substr(0, s.find('\0')));
    EXPECT_TRUE(t == s);
    EXPECT_TRUE(s == t);
    EXPECT_FALSE(t != s);
}

// A database file of COUNT tasks whose texts all need a block: long
// titles, tags, list names and notes.
std::string LongTasksFile(int count) {
    std::string file = "d_id-0000000001\r\nA very long list name indeed\xF7" "0\xF7\r\n<--<*&^Folders^&*>-->\r\n"
                       "<--<*&^Tags^&*>-->\r\n";
    for (int i = 0; i < count; ++i) {
        file += "+;3/5/2025;[errands,home,shopping]Task number " + std::to_string(i) +
                " with a title that needs a block\xF7--\xF7" + std::to_string(1000000000 + i) +
                "\xF7" "A very long list name indeed\xF7" "2/1/2024\xF7" "first note line\xF8second note line\xF8\xF7\r\n";
    }
    return file;
}

} // namespace

TEST(TTaskText, EveryLengthReadsAsTheStringItWasGiven) {
    for (std::size_t n : Lengths) {
        SCOPED_TRACE(n);
        const std::string s = LetterText(n);
        TTaskText t;
        ExpectText(t, "");
        t = s;
        ExpectText(t, s);
        TTaskText copy(t);
        ExpectText(copy, s);
        copy = "x";
        ExpectText(t, s);  // copies are independent
        TTaskText assigned;
        assigned = t;
        ExpectText(assigned, s);
        t = std::string_view(s);
        ExpectText(t, s);
        t = s.c_str();
        ExpectText(t, s);
        // From inside itself, longer and shorter.
        t = t.View().substr(n / 2);
        ExpectText(t, s.substr(n / 2));
        t.clear();
        ExpectText(t, "");
    }
    // Bytes 0 and 0xFF are text like any other.
    TTaskText t;
    t = std::string("a\0b\xFF", 4);
    ExpectText(t, std::string("a\0b\xFF", 4));
}

TEST(TTaskText, ChangesAgreeWithStdString) {
    for (std::size_t n : Lengths) {
        for (std::size_t extra : {std::size_t(0), std::size_t(1), Inline, std::size_t(40)}) {
            SCOPED_TRACE(std::to_string(n) + "+" + std::to_string(extra));
            const std::string base = LetterText(n);
            const std::string more = LetterText(extra, 'A');
            std::string s = base;
            TTaskText t;
            t = base;

            s += more;
            t += more;
            ExpectText(t, s);
            s += 'z';
            t += 'z';
            ExpectText(t, s);
            s.insert(s.size() / 2, more);
            t.insert(t.size() / 2, more);
            ExpectText(t, s);
            s.erase(1, extra + 2);
            t.erase(1, extra + 2);
            ExpectText(t, s);
            s.replace(0, 1, more);
            t.replace(0, 1, more);
            ExpectText(t, s);
            s.resize(s.size() + extra, '-');
            t.resize(t.size() + extra, '-');
            ExpectText(t, s);
            s.resize(s.size() / 2);
            t.resize(t.size() / 2);
            ExpectText(t, s);
            if (!s.empty()) {
                s.pop_back();
                t.pop_back();
            }
            ExpectText(t, s);
            s.push_back('!');
            t.push_back('!');
            ExpectText(t, s);
            s.insert(0, 3, '#');
            t.insert(0, 3, '#');
            ExpectText(t, s);
            t[0] = '$';
            s[0] = '$';
            ExpectText(t, s);
        }
    }
}

TEST(TTaskText, ReadsComparesAndJoinsLikeStdString) {
    TTaskText t;
    t = "Call Bob about the quarterly report";
    const std::string s = t;
    EXPECT_EQ(t.find("Bob"), s.find("Bob"));
    EXPECT_EQ(t.find('o', 7), s.find('o', 7));
    EXPECT_EQ(t.rfind('o'), s.rfind('o'));
    EXPECT_EQ(t.find_first_of("aeiou"), s.find_first_of("aeiou"));
    EXPECT_EQ(t.find_last_not_of("t"), s.find_last_not_of("t"));
    EXPECT_EQ(t.find("nothing"), TTaskText::npos);
    EXPECT_EQ(t.substr(5, 3), "Bob");
    EXPECT_EQ(t.front(), 'C');
    EXPECT_EQ(t.back(), 't');
    EXPECT_EQ(t.at(1), 'a');
    EXPECT_THROW(t.at(t.size()), std::out_of_range);
    EXPECT_THROW(t.insert(t.size() + 1, "x"), std::out_of_range);
    EXPECT_THROW(t.erase(t.size() + 1), std::out_of_range);
    EXPECT_TRUE(t.starts_with("Call"));
    EXPECT_TRUE(t.ends_with('t'));
    EXPECT_EQ(std::string(t.begin(), t.end()), s);

    TTaskText a, b;
    a = "apple";
    b = "banana";
    EXPECT_LT(a, b);
    EXPECT_GT(b, "apple");
    EXPECT_LT("aardvark", a);
    EXPECT_LE(a, std::string("apple"));
    EXPECT_EQ(a.compare("apple"), 0);
    EXPECT_LT(a.compare("b"), 0);
    EXPECT_EQ(a + b, "applebanana");
    EXPECT_EQ(a + ',', "apple,");
    EXPECT_EQ("[" + a + "]", "[apple]");
    EXPECT_EQ(std::string("x") + a, "xapple");
    EXPECT_EQ(a + std::string("x"), "applex");

    // Where a std::string is wanted.
    std::string target = "old";
    target = a;
    EXPECT_EQ(target, "apple");
    target += b;
    EXPECT_EQ(target, "applebanana");
    const std::string& bound = b;
    EXPECT_EQ(bound, "banana");
    std::string_view view = b;
    EXPECT_EQ(view, "banana");
    const std::string chosen = a.empty() ? std::string("none") : a;
    EXPECT_EQ(chosen, "apple");
    std::ostringstream out;
    out << a;
    EXPECT_EQ(out.str(), "apple");

    swap(a, b);
    EXPECT_EQ(a, "banana");
    EXPECT_EQ(b, "apple");
}

TEST(TTaskText, LoadedTasksKeepEveryTextAndSaveTheSameBytes) {
    TempDir dir;
    const std::string file = LongTasksFile(300);
    WriteTestFile(dir.File("a.kpx"), file);
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(dir.File("a.kpx")));
    ASSERT_EQ(data.Tasks->GetCount(), 300);
    const TuTask* t = data.Tasks->GetTask(299);
    EXPECT_EQ(t->Title, "Task number 299 with a title that needs a block");
    EXPECT_EQ(t->Tags, "errands,home,shopping");
    EXPECT_EQ(t->Id, "1000000299");
    EXPECT_EQ(t->Folder, "A very long list name indeed");
    EXPECT_EQ(t->Notes, "first note line\r\nsecond note line\r\n");
    EXPECT_EQ(t->Title.c_str()[t->Title.size()], '\0');
    EXPECT_EQ(data.Tasks->Get(299), t->Title);
    EXPECT_EQ(data.GetFileText(), file);
}

TEST(TTaskText, ALoadedTextChangedWhileItsOldValueIsStillRead) {
    TempDir dir;
    WriteTestFile(dir.File("a.kpx"), LongTasksFile(3));
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(dir.File("a.kpx")));
    TuTask* t = data.Tasks->GetTask(1);
    TuTask* next = data.Tasks->GetTask(2);

    // A view of the old title taken before the change still reads it (the
    // old bytes stay in the block while the task lives); the neighbour's
    // texts in the same block are untouched by every change below.
    const std::string_view old = t->Title;
    t->Title = "A new title that is longer than the old one was, by far";
    EXPECT_EQ(old, "Task number 1 with a title that needs a block");
    EXPECT_EQ(t->Title, "A new title that is longer than the old one was, by far");

    // Changes in place, shorter, to the object's own room and back.
    t->Notes[0] = 'F';
    t->Tags.erase(0, 8);
    t->Folder.resize(4);
    t->Id += "-x";
    EXPECT_EQ(t->Notes, "First note line\r\nsecond note line\r\n");
    EXPECT_EQ(t->Tags, "home,shopping");
    EXPECT_EQ(t->Folder, "A ve");
    EXPECT_EQ(t->Id, "1000000001-x");
    t->Notes = std::string(t->Notes) + "third\r\n";
    EXPECT_EQ(t->Notes, "First note line\r\nsecond note line\r\nthird\r\n");

    EXPECT_EQ(next->Title, "Task number 2 with a title that needs a block");
    EXPECT_EQ(next->Tags, "errands,home,shopping");
    EXPECT_EQ(next->Notes, "first note line\r\nsecond note line\r\n");

    // A copy of a loaded text is a text of its own.
    TTaskText copy = next->Title;
    copy[0] = 'X';
    EXPECT_EQ(next->Title[0], 'T');

    // Reading a line again into a loaded task.
    next->FromString("-[a,b]Again\xF7-d-\xF7" "42\xF7L\xF7" "1/2/2020\xF7n\xF8\xF7", true, true);
    EXPECT_EQ(next->Title, "Again");
    EXPECT_EQ(next->Tags, "a,b");
    EXPECT_EQ(next->Notes, "n\r\n");
    EXPECT_TRUE(next->Done);
}

TEST(TTaskText, TasksOutliveTheirDatabaseAndMoveToAnother) {
    TempDir dir;
    WriteTestFile(dir.File("a.kpx"), LongTasksFile(50));
    WriteTestFile(dir.File("b.kpx"), LongTasksFile(2));
    auto first = std::make_unique<TuData>();
    ASSERT_TRUE(first->LoadFromFile(dir.File("a.kpx")));
    TuData second;
    ASSERT_TRUE(second.LoadFromFile(dir.File("b.kpx")));

    // Taken out (as for undo) and moved to the other database; then the
    // first database loads another file and is freed.
    TuTask* kept = first->Tasks->Extract(10);
    TuTask* moved = first->Tasks->Extract(20);
    second.Tasks->AddObject(moved->Title, moved);
    ASSERT_TRUE(first->LoadFromFile(dir.File("b.kpx")));
    first.reset();

    EXPECT_EQ(kept->Title, "Task number 10 with a title that needs a block");
    EXPECT_EQ(kept->Notes, "first note line\r\nsecond note line\r\n");
    EXPECT_EQ(moved->Title, "Task number 21 with a title that needs a block");
    ASSERT_EQ(second.Tasks->GetCount(), 3);
    EXPECT_EQ(second.Tasks->Get(2), "Task number 21 with a title that needs a block");
    const std::string saved = second.GetFileText();
    EXPECT_NE(saved.find("Task number 21 with a title that needs a block\xF7--\xF7" "1000000021\xF7"),
              std::string::npos);
    gcl::Free(kept);
}

TEST(TTaskText, TasksOfOneBlockFreedFromSeveralThreads) {
    TempDir dir;
    WriteTestFile(dir.File("a.kpx"), LongTasksFile(2000));
    for (int round = 0; round < 5; ++round) {
        TuData data;
        ASSERT_TRUE(data.LoadFromFile(dir.File("a.kpx")));
        std::vector<TuTask*> halves[2];
        while (data.Tasks->GetCount() > 0) {
            const int i = data.Tasks->GetCount() - 1;
            halves[i % 2].push_back(data.Tasks->Extract(i));
        }
        std::thread other([&halves] {
            for (TuTask* t : halves[1]) gcl::Free(t);
        });
        for (TuTask* t : halves[0]) gcl::Free(t);
        other.join();
    }
}

TEST(TTaskText, ATaskWithMoreTextThanABlockHolds) {
    TempDir dir;
    const std::string title(300000, 't');
    const std::string notes(200000, 'n');
    std::string file = "d_id-0000000001\r\n<--<*&^Folders^&*>-->\r\n<--<*&^Tags^&*>-->\r\n";
    file += "Short one\xF7--\xF7" "1\xF7L\xF7" "2/1/2024\xF7\xF7\r\n";
    file += title + "\xF7--\xF7" "2\xF7L\xF7" "2/1/2024\xF7" + notes + "\xF8\xF7\r\n";
    file += "Short two\xF7--\xF7" "3\xF7L\xF7" "2/1/2024\xF7\xF7\r\n";
    WriteTestFile(dir.File("a.kpx"), file);
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(dir.File("a.kpx")));
    ASSERT_EQ(data.Tasks->GetCount(), 3);
    EXPECT_EQ(data.Tasks->GetTask(1)->Title, title);
    EXPECT_EQ(data.Tasks->GetTask(1)->Notes, notes + "\r\n");
    EXPECT_EQ(data.Tasks->GetTask(2)->Title, "Short two");
    EXPECT_EQ(data.GetFileText(), file);
    data.Tasks->Delete(1);
    EXPECT_EQ(data.Tasks->GetTask(1)->Title, "Short two");
}

} // namespace qelvo::test

namespace qelvo::test {
namespace {

// A memo kept with a text at Length, set and read; then Change applied,
// after which the memo must be gone and the text read as Expected.
void ExpectChangeDropsMemo(std::size_t length, const char* what, void (*change)(TTaskText&)) {
    TTaskText t(LetterText(length));
    t.SetMemo(77);
    std::string expected = LetterText(length);
    TTaskText reference(expected);
    change(reference);
    change(t);
    EXPECT_EQ(t.Memo(), 0u) << what << " at length " << length;
    EXPECT_EQ(t.View(), reference.View()) << what << " at length " << length;
}

} // namespace

TEST(TTaskText, AMemoStaysWithTheTextUntilAnyChange) {
    for (std::size_t n : Lengths) {
        // Room for a memo: a text held outside, or inside with four bytes spare.
        const bool room = n > Inline || n <= TTaskText::MemoInlineLimit;
        TTaskText t(LetterText(n));
        EXPECT_EQ(t.Memo(), 0u) << n;
        t.SetMemo(TTaskText::MaxMemo);
        EXPECT_EQ(t.Memo(), room ? TTaskText::MaxMemo : 0u) << n;
        // The memo never shows in the text, and reading keeps it.
        ExpectText(t, LetterText(n));
        const TTaskText& constant = t;
        if (n > 0) {
            EXPECT_EQ(constant[0], 'a');
        }
        EXPECT_EQ(t.Memo(), room ? TTaskText::MaxMemo : 0u) << n;
        t.SetMemo(TTaskText::MaxMemo + 1);  // too large: not kept, the old one stays
        EXPECT_EQ(t.Memo(), room ? TTaskText::MaxMemo : 0u) << n;
        // A copy is a text of its own, without the memo.
        TTaskText copy(t);
        EXPECT_EQ(copy.Memo(), 0u);
        TTaskText assigned;
        assigned = t;
        EXPECT_EQ(assigned.Memo(), 0u);
        if (!room) continue;
        ExpectChangeDropsMemo(n, "assign of the same text", [](TTaskText& x) { x = std::string(x.View()); });
        ExpectChangeDropsMemo(n, "assign of another", [](TTaskText& x) { x = "other"; });
        ExpectChangeDropsMemo(n, "append", [](TTaskText& x) { x += "z"; });
        ExpectChangeDropsMemo(n, "push_back", [](TTaskText& x) { x.push_back('z'); });
        ExpectChangeDropsMemo(n, "clear", [](TTaskText& x) { x.clear(); });
        ExpectChangeDropsMemo(n, "resize", [](TTaskText& x) { x.resize(x.size() + 3, '-'); });
        ExpectChangeDropsMemo(n, "insert", [](TTaskText& x) { x.insert(0, "q"); });
        ExpectChangeDropsMemo(n, "replace", [](TTaskText& x) { x.replace(0, 0, "r"); });
        ExpectChangeDropsMemo(n, "swap", [](TTaskText& x) {
            TTaskText other("swapped");
            x.swap(other);
        });
        if (n == 0) continue;
        ExpectChangeDropsMemo(n, "pop_back", [](TTaskText& x) { x.pop_back(); });
        ExpectChangeDropsMemo(n, "erase", [](TTaskText& x) { x.erase(0, 1); });
        // Writes through the text's own bytes.
        ExpectChangeDropsMemo(n, "operator[]", [](TTaskText& x) { x[0] = 'Q'; });
        ExpectChangeDropsMemo(n, "at", [](TTaskText& x) { x.at(0) = 'Q'; });
        ExpectChangeDropsMemo(n, "data", [](TTaskText& x) { x.data()[0] = 'Q'; });
    }
}

TEST(TTaskText, ALoadedTextChangedInPlaceLosesItsMemo) {
    // Loaded texts lie in the tasks' blocks, where a text of the same
    // length is overwritten in place: the memo must go all the same, and a
    // neighbour's memo in the same block stays.
    TempDir dir;
    WriteTestFile(dir.File("a.kpx"), LongTasksFile(3));
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(dir.File("a.kpx")));
    TuTask* t = data.Tasks->GetTask(1);
    TuTask* next = data.Tasks->GetTask(2);
    t->Tags.SetMemo(5);
    next->Tags.SetMemo(6);
    ASSERT_EQ(t->Tags.Memo(), 5u);
    t->Tags = "errands,home,shopxing";
    EXPECT_EQ(t->Tags, "errands,home,shopxing");
    EXPECT_EQ(t->Tags.Memo(), 0u);
    EXPECT_EQ(next->Tags.Memo(), 6u);
    // Renaming a tag rewrites the tasks' texts; reading a line again sets them anew.
    t->Tags.SetMemo(5);
    data.Tags->Add("home");
    data.RenameTag("home", "hove");
    EXPECT_EQ(t->Tags, "errands,hove,shopxing");
    EXPECT_EQ(t->Tags.Memo(), 0u);
    EXPECT_EQ(next->Tags.Memo(), 0u);
    next->Tags.SetMemo(6);
    next->FromString("-[a,b]Again\xF7-d-\xF7" "42\xF7L\xF7" "1/2/2020\xF7n\xF8\xF7", true, true);
    EXPECT_EQ(next->Tags.Memo(), 0u);
    // Loading the file again makes every task anew, without memos.
    t->Tags.SetMemo(5);
    ASSERT_TRUE(data.LoadFromFile(dir.File("a.kpx")));
    for (int i = 0; i < data.Tasks->GetCount(); ++i) EXPECT_EQ(data.Tasks->GetTask(i)->Tags.Memo(), 0u);
}


TEST(TTaskText, LoadedTagsOfEveryLengthKeepAMemo) {
    // Grouping by tags keeps each tags text's number as its memo: a tags
    // text read from a file has room for one at every length (one that
    // would fill the memo's bytes inside its field is held in the file's
    // block), reads as written and is written back unchanged. Lines with
    // short other texts and with long ones, and lines whose note has no
    // line end (read the general way, and written back without it).
    std::string file = "d_id-0000000001\r\nHome\xF7" "0\xF7\r\n<--<*&^Folders^&*>-->\r\n<--<*&^Tags^&*>-->\r\n";
    std::string written = file;
    std::vector<std::string> tags;
    for (std::size_t n = 2; n <= 2 * Inline; ++n) {
        std::string t = LetterText(n, 'a');
        if (n > 2) t[n / 2] = ',';
        for (int shape = 0; shape < 3; ++shape) {
            tags.push_back(t);
            const std::string id = std::to_string(1000000000 + tags.size());
            std::string line;
            if (shape == 0)
                line = "[" + t + "]Short\xF7--\xF7" + id + "\xF7Home\xF7" "2/1/2024\xF7\xF7\r\n";
            else if (shape == 1)
                line = "+;3/5/2025;[" + t + "]A title long enough for a block\xF7-d-\xF7" + id +
                       "\xF7Home\xF7" "2/1/2024\xF7" "a note line\xF8\xF7\r\n";
            else
                line = "[" + t + "]Odd\xF7--\xF7" + id + "\xF7Home\xF7" "2/1/2024\xF7note\xF7\r\n";
            file += line;
            written += shape == 2 ? "[" + t + "]Odd\xF7--\xF7" + id + "\xF7Home\xF7" "2/1/2024\xF7\xF7\r\n" : line;
        }
    }
    TempDir dir;
    WriteTestFile(dir.File("tags.kpx"), file);
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(dir.File("tags.kpx")));
    ASSERT_EQ(data.Tasks->GetCount(), static_cast<int>(tags.size()));
    for (int i = 0; i < data.Tasks->GetCount(); ++i) {
        TuTask* t = data.Tasks->GetTask(i);
        SCOPED_TRACE(tags[static_cast<std::size_t>(i)]);
        ExpectText(t->Tags, tags[static_cast<std::size_t>(i)]);
        EXPECT_TRUE(t->Tags.KeepsMemo());
        t->Tags.SetMemo(40 + static_cast<std::uint32_t>(i));
    }
    for (int i = 0; i < data.Tasks->GetCount(); ++i) {
        const TuTask* t = data.Tasks->GetTask(i);
        EXPECT_EQ(t->Tags.Memo(), 40u + static_cast<std::uint32_t>(i));
        ExpectText(t->Tags, tags[static_cast<std::size_t>(i)]);
        EXPECT_EQ(t->Title, i % 3 == 0 ? "Short" : i % 3 == 1 ? "A title long enough for a block" : "Odd");
        EXPECT_EQ(t->Id, std::to_string(1000000001 + i));
        EXPECT_EQ(t->Folder, "Home");
    }
    EXPECT_EQ(data.GetFileText(), written);
}

} // namespace qelvo::test
