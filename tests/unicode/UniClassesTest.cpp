// Wide string lists: line splitting, text files with and without
// byte-order marks (byte for byte against the fixtures), sorting and
// duplicates with their error texts, change events, the 8-bit view,
// assignment to and from the class library's 8-bit lists, and the
// wide-name file stream.
#include "gcl/rtl/WinApi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"
#include "support/TestEnvironment.h"
#include "unicode/UniClasses.h"
#include "unicode/UniSystem.h"
#include "unicode/UniWideStrUtils.h"
#include "unicode/UniTestSupport.h"

using namespace qelvo;

using qelvo::test::W;
using qelvo::test::Lines;

namespace {

std::string Fixture(const std::string& name) { return qelvo::test::TestDataDir() + "unicode\\" + name; }

std::string FileBytes(const std::wstring& name) {
    TUniFileStream stream(name, gcl::fmOpenRead);
    std::string bytes(static_cast<size_t>(stream.GetSize()), '\0');
    if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    return bytes;
}

const std::vector<std::wstring> FixtureLines{W("Ωμέγα"), W("汉字 𝄞"), W("Dansk æøå")};

// Records the change events of a list, with the update depth each saw.
class TEventLog : public gcl::TObject {
public:
    explicit TEventLog(TUniStringList& list) : FList(list) {
        list.OnChanging = gcl::TNotifyEvent(this, &TEventLog::Changing);
        list.OnChange = gcl::TNotifyEvent(this, &TEventLog::Change);
    }
    std::vector<std::string> Events;

private:
    void Changing(gcl::TObject*) { Events.push_back("changing" + std::to_string(FList.GetUpdateCount())); }
    void Change(gcl::TObject*) { Events.push_back("change" + std::to_string(FList.GetUpdateCount())); }
    TUniStringList& FList;
};

int ByLength(TUniStringList* list, int index1, int index2) {
    return static_cast<int>(list->Get(index1).size()) - static_cast<int>(list->Get(index2).size());
}

template <class E>
std::string ErrorOf(void (*action)(TUniStringList&), TUniStringList& list) {
    try {
        action(list);
    } catch (const E& e) {
        return e.GetMessage();
    }
    return "(none)";
}

class TCountingAdapter : public gcl::TInterfacedObject, public IWideStringsAdapter {
public:
    GCL_IUNKNOWN
    bool GetInterface(const gcl::TGUID& iid, void** out) override {
        return gcl::QueryInterfaces<IWideStringsAdapter>(this, iid, out) || gcl::TInterfacedObject::GetInterface(iid, out);
    }
    void GCL_STDCALL ReferenceStrings(TWideStrings* strings) override { Log.push_back(strings ? "reference" : "null"); }
    void GCL_STDCALL ReleaseStrings() override { Log.push_back("release"); }
    std::vector<std::string> Log;
};

} // namespace

TEST(UniWideStrings, TextSplittingAndJoining) {
    struct Case {
        std::wstring Text;
        std::vector<std::wstring> Lines;
    };
    const Case cases[] = {
        {L"a\n\rb", {L"a", L"", L"b"}},
        {L"a\r\n", {L"a"}},
        {L"a\rb\nc", {L"a", L"b", L"c"}},
        {L"a\x2028" L"b", {L"a", L"b"}},
        {L"a\r\n\x2028" L"b", {L"a", L"b"}},  // CR, LF and U+2028 make one break
        {L"a\n\nb", {L"a", L"", L"b"}},
        {L"\r\n", {L""}},
        {L"", {}},
        {L"last", {L"last"}},
    };
    TUniStringList list;
    for (const Case& c : cases) {
        list.SetTextStr(c.Text);
        EXPECT_EQ(Lines(list), c.Lines);
    }
    list.Clear();
    EXPECT_EQ(list.GetTextStr(), L"");
    list.Add(L"");
    EXPECT_EQ(list.GetTextStr(), L"\r\n");
    list.SetText(W("Ω\r\næ").c_str());
    wchar_t* text = list.GetText();
    EXPECT_EQ(std::wstring(text), W("Ω\r\næ\r\n"));
    WStrDispose(text);
    list.SetText(nullptr);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(UniStrings, ByteOrderMarkMatrix) {
    struct Case {
        const char* File;
        TStreamCharSet CharSet;
        std::vector<std::wstring> Lines;
        int64_t PositionAfterMark;
    };
    const Case cases[] = {
        {"utf16le_bom.txt", csUnicode, FixtureLines, 2},
        {"utf16be_bom.txt", csUnicodeSwapped, FixtureLines, 2},
        {"utf8_bom.txt", csUtf8, FixtureLines, 3},
        {"ansi.txt", csAnsi, {W("Dansk æøå"), W("Æble")}, 0},
        {"only_bom.txt", csUnicode, {}, 2},
        {"two_bytes.txt", csAnsi, {L"ab"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        TUniStringList list;
        list.Add(L"old");
        list.LoadFromFile(gcl::AnsiToWide(Fixture(c.File)));
        EXPECT_EQ(list.GetLastFileCharSet(), c.CharSet);
        EXPECT_EQ(Lines(list), c.Lines);

        TUniFileStream stream(gcl::AnsiToWide(Fixture(c.File)), gcl::fmOpenRead | gcl::fmShareDenyWrite);
        EXPECT_EQ(AutoDetectCharacterSet(stream), c.CharSet);
        EXPECT_EQ(stream.GetPosition(), c.PositionAfterMark);
    }
    // Without a mark the text is UTF-16 LE (the base list, or WithBOM off).
    TUniStringList list;
    gcl::TMemoryStream raw;
    raw.LoadFromFile(Fixture("utf16le_nobom.txt"));
    list.LoadFromStreamWithCharset(raw, false);
    EXPECT_EQ(Lines(list), FixtureLines);
    raw.SetPosition(0);
    list.TWideStrings::LoadFromStream(raw);
    EXPECT_EQ(Lines(list), FixtureLines);
    gcl::TMemoryStream one;
    one.WriteBuffer("x", 1);
    one.SetPosition(0);
    EXPECT_EQ(AutoDetectCharacterSet(one), csAnsi);
    EXPECT_EQ(one.GetPosition(), 0);
}

TEST(UniStrings, SavingIsUtf16WithMarkByteForByte) {
    qelvo::test::TempDir dir;
    const std::string expected = FileBytes(gcl::AnsiToWide(Fixture("utf16le_bom.txt")));
    const std::wstring name = gcl::AnsiToWide(dir.Path()) + W("汉字 Ωμέγα.txt");
    TUniStringList list;
    for (const std::wstring& s : FixtureLines) list.Add(s);
    list.SaveToFile(name);
    EXPECT_EQ(FileBytes(name), expected);

    // A UTF-8 file read and saved comes out as UTF-16 LE with its mark.
    list.LoadFromFile(gcl::AnsiToWide(Fixture("utf8_bom.txt")));
    list.SaveToFile(name);
    EXPECT_EQ(FileBytes(name), expected);
    list.LoadFromFile(name);
    EXPECT_EQ(list.GetLastFileCharSet(), csUnicode);
    EXPECT_EQ(Lines(list), FixtureLines);

    // The base list writes no mark.
    gcl::TMemoryStream plain;
    list.TWideStrings::SaveToStream(plain);
    gcl::TMemoryStream raw;
    raw.LoadFromFile(Fixture("utf16le_nobom.txt"));
    ASSERT_EQ(plain.GetSize(), raw.GetSize());
    EXPECT_EQ(std::memcmp(plain.GetMemory(), raw.GetMemory(), static_cast<size_t>(raw.GetSize())), 0);
    gcl::TMemoryStream withoutMark;
    list.SaveToStreamWithBOM(withoutMark, false);
    EXPECT_EQ(withoutMark.GetSize(), raw.GetSize());
}

TEST(UniFileStream, ErrorsNameTheFileAndTheSystemText) {
    qelvo::test::TempDir dir;
    const std::wstring missing = gcl::AnsiToWide(dir.Path()) + W("missing æ.txt");
    for (bool win9x : {false, true}) {
        SCOPED_TRACE(win9x ? "9x" : "NT");
        gcl::TFixedOSVersion version(win9x ? gcl::TOSVersionInfo{gcl::PlatformWin32Windows, 4, 10, 2222}
                                           : gcl::TOSVersionInfo{});
        gcl::ServiceOverride<gcl::IOSVersion> use(gcl::OSVersion, version);
        try {
            TUniFileStream stream(missing, gcl::fmOpenRead);
            ADD_FAILURE() << "opened";
        } catch (const gcl::EFOpenError& e) {
            EXPECT_EQ(e.GetMessage(), "Cannot open file \"" + gcl::WideToAnsi(missing) + "\". " +
                                          gcl::WideToAnsi(WideSysErrorMessage(ERROR_FILE_NOT_FOUND)));
        }
        try {
            TUniFileStream stream(missing + L"\\sub\\x.txt", gcl::fmCreate);
            ADD_FAILURE() << "created";
        } catch (const gcl::EFCreateError& e) {
            EXPECT_EQ(e.GetMessage(), "Cannot create file \"" + gcl::WideToAnsi(missing) + "\\sub\\x.txt\". " +
                                          gcl::WideToAnsi(WideSysErrorMessage(ERROR_PATH_NOT_FOUND)));
        }
    }
    TUniFileStream created(missing, gcl::fmCreate);
    created.WriteBuffer("1234", 4);
    EXPECT_EQ(created.GetSize(), 4);
    EXPECT_EQ(created.GetFileName(), missing);
}

TEST(UniStringList, SortingDuplicatesAndErrors) {
    TUniStringList list;
    for (const char* s : {"pear", "Apple", "fig", "cherry", "Banana"}) list.Add(W(s));
    // Switching Sorted on sorts the list, so binary searches find everything.
    list.SetSorted(true);
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"Apple", L"Banana", L"cherry", L"fig", L"pear"}));
    for (const char* s : {"banana", "FIG", "Pear"}) EXPECT_GE(list.IndexOf(W(s)), 0) << s;
    EXPECT_EQ(list.IndexOf(L"kiwi"), -1);

    // Duplicates.
    EXPECT_EQ(list.Add(L"FIG"), 3);  // dupIgnore: the existing index
    EXPECT_EQ(list.GetCount(), 5);
    list.SetDuplicates(gcl::dupError);
    EXPECT_EQ(ErrorOf<gcl::EStringListError>([](TUniStringList& l) { l.Add(L"Fig"); }, list),
              "String list does not allow duplicates");
    list.SetDuplicates(gcl::dupAccept);
    list.Add(L"Fig");
    int index = -1;
    EXPECT_TRUE(list.Find(L"fig", index));
    EXPECT_EQ(index, 3);  // the first equal item
    EXPECT_EQ(list.GetCount(), 6);
    EXPECT_FALSE(list.Find(L"grape", index));
    EXPECT_EQ(index, 5);  // where it would go

    EXPECT_EQ(ErrorOf<gcl::EStringListError>([](TUniStringList& l) { l.Put(0, L"x"); }, list),
              "Operation not allowed on sorted list");
    EXPECT_EQ(ErrorOf<gcl::EStringListError>([](TUniStringList& l) { l.Insert(0, L"x"); }, list),
              "Operation not allowed on sorted list");
    EXPECT_EQ(ErrorOf<gcl::EStringListError>([](TUniStringList& l) { l.Get(6); }, list),
              "List index out of bounds (6)");
    EXPECT_EQ(ErrorOf<gcl::EStringListError>([](TUniStringList& l) { l.Delete(-1); }, list),
              "List index out of bounds (-1)");
    EXPECT_EQ(ErrorOf<gcl::EStringListError>([](TUniStringList& l) { l.SetCapacity(2); }, list),
              "List capacity out of bounds (2)");

    // Sort and CustomSort do nothing on a sorted list.
    std::vector<std::wstring> before = Lines(list);
    list.CustomSort(&ByLength);
    EXPECT_EQ(Lines(list), before);

    // A case-sensitive sorted list is sorted again under its comparison.
    list.SetCaseSensitive(true);
    for (int i = 1; i < list.GetCount(); ++i) EXPECT_LE(gcl::WideCompareStr(list.Get(i - 1), list.Get(i)), 0);
    EXPECT_EQ(list.IndexOf(L"FIG"), -1);
    EXPECT_GE(list.IndexOf(L"Fig"), 0);

    // Unsorted: IndexOf ignores case (Greek too) unless CaseSensitive.
    TUniStringList plain;
    plain.Add(W("ωμέγα"));
    plain.Add(L"key=value");
    EXPECT_EQ(plain.IndexOf(W("ΩΜΈΓΑ")), 0);
    EXPECT_EQ(plain.IndexOfName(L"KEY"), 1);
    plain.SetCaseSensitive(true);
    EXPECT_EQ(plain.IndexOf(W("ΩΜΈΓΑ")), -1);
    EXPECT_EQ(ErrorOf<gcl::EStringListError>([](TUniStringList& l) { l.Insert(3, L"x"); }, plain),
              "List index out of bounds (3)");
    plain.Insert(2, L"end");
    EXPECT_EQ(plain.Get(2), L"end");

    TUniStringList names;
    names.SetSorted(true);
    for (const char* s : {"b=2", "a=1", "ab=3", "c"}) names.Add(W(s));
    EXPECT_EQ(names.IndexOfName(L"ab"), 1);
    EXPECT_EQ(names.IndexOfName(L"A"), 0);
    EXPECT_EQ(names.IndexOfName(L"c"), -1);
    EXPECT_EQ(names.IndexOfName(L"zz"), -1);
}

TEST(UniStringList, CustomSortExchangeMoveAndCapacity) {
    TUniStringList list;
    gcl::TObject tags[4];
    const wchar_t* words[] = {L"three", L"a", L"eleven", L"to"};
    for (int i = 0; i < 4; ++i) list.AddObject(words[i], &tags[i]);
    list.CustomSort(&ByLength);
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"a", L"to", L"three", L"eleven"}));
    EXPECT_EQ(list.GetObject(0), &tags[1]);  // objects travel with their strings
    EXPECT_EQ(list.GetObject(3), &tags[2]);
    list.Exchange(0, 3);
    EXPECT_EQ(list.Get(0), L"eleven");
    EXPECT_EQ(list.GetObject(0), &tags[2]);
    list.Move(0, 2);
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"to", L"three", L"eleven", L"a"}));
    EXPECT_EQ(list.GetObject(2), &tags[2]);
    EXPECT_EQ(list.IndexOfObject(&tags[1]), 3);

    // Growth: by 4 up to 8 items, by 16 up to 64, then by a quarter.
    TUniStringList grow;
    std::vector<int> capacities;
    for (int i = 0; i < 100; ++i) {
        grow.Add(std::to_wstring(i));
        if (capacities.empty() || capacities.back() != grow.GetCapacity()) capacities.push_back(grow.GetCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
    grow.Clear();
    EXPECT_EQ(grow.GetCapacity(), 0);
}

TEST(UniStringList, ChangeEvents) {
    TUniStringList list;
    TEventLog log(list);
    list.Add(L"a");
    list.Add(L"b");
    list.Put(0, L"c");
    list.PutObject(0, nullptr);
    list.Exchange(0, 1);
    list.Delete(0);
    EXPECT_EQ(log.Events.size(), 12u);
    log.Events.clear();

    // A bracket: one changing event before the list counts as updating and
    // one change event after it stopped, none in between.
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add(L"x");
    list.Sort();
    list.EndUpdate();
    list.Add(L"y");
    list.EndUpdate();
    EXPECT_EQ(log.Events, (std::vector<std::string>{"changing0", "change0"}));
    log.Events.clear();
    list.EndUpdate();  // unbalanced: ignored
    EXPECT_TRUE(log.Events.empty());

    list.SetTextStr(L"1\r\n2\r\n3");
    EXPECT_EQ(log.Events, (std::vector<std::string>{"changing0", "change0"}));
    log.Events.clear();
    list.Clear();
    list.Clear();  // nothing to clear: no events
    EXPECT_EQ(log.Events.size(), 2u);

    // Freeing a list fires nothing.
    log.Events.clear();
    {
        TUniStringList* temp = new TUniStringList();
        TEventLog tempLog(*temp);
        temp->Add(L"z");
        tempLog.Events.clear();
        delete temp;
        EXPECT_TRUE(tempLog.Events.empty());
    }
}

TEST(UniWideStrings, AssignWithEightBitLists) {
    gcl::TObject tag;
    gcl::TStringList ansi;
    ansi.AddObject("Dansk \xE6\xF8\xE5", &tag);
    ansi.Add("two");
    ansi.SetDelimiter(';');
    ansi.SetNameValueSeparator(':');

    TUniStringList wide;
    wide.Add(L"old");
    wide.Assign(&ansi);
    EXPECT_EQ(Lines(wide), (std::vector<std::wstring>{W("Dansk æøå"), L"two"}));
    EXPECT_EQ(wide.GetObject(0), &tag);
    EXPECT_EQ(wide.GetDelimiter(), L';');
    EXPECT_EQ(wide.GetNameValueSeparator(), L':');
    EXPECT_EQ(wide.GetQuoteChar(), L'"');

    // Back to an 8-bit list: the 8-bit list's Assign asks the wide one.
    wide.Add(W("汉字"));
    wide.PutObject(1, &tag);
    gcl::TStringList back;
    back.Add("old");
    back.Assign(&wide);
    ASSERT_EQ(back.GetCount(), 3);
    EXPECT_EQ(back.Get(0), "Dansk \xE6\xF8\xE5");
    EXPECT_EQ(back.Get(2), "??");
    EXPECT_EQ(back.GetObject(1), &tag);
    EXPECT_EQ(back.GetDelimiter(), ';');
    EXPECT_EQ(back.GetNameValueSeparator(), ':');

    // Wide to wide: strings, objects and separators.
    TUniStringList copy;
    copy.Assign(&wide);
    EXPECT_TRUE(copy.Equals(wide));
    EXPECT_EQ(copy.GetObject(1), &tag);
    EXPECT_EQ(copy.GetDelimiter(), L';');
    copy.Put(0, W("Dansk ÆØÅ"));
    EXPECT_FALSE(copy.Equals(wide));  // Equals compares exactly

    TUniStringList fresh;
    EXPECT_EQ(fresh.GetDelimiter(), L',');
    EXPECT_EQ(fresh.GetNameValueSeparator(), L'=');
    EXPECT_THROW(fresh.Assign(nullptr), gcl::EConvertError);
}

TEST(UniStrings, EightBitViewAndAdapter) {
    TUniStringList list;
    list.Add(W("Dansk æøå"));
    list.Add(W("汉字"));
    TAnsiStrings* view = list.GetAnsiStrings();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetCount(), 2);
    EXPECT_EQ(view->Get(0), "Dansk \xE6\xF8\xE5");
    EXPECT_EQ(view->Get(1), "??");
    view->Add("\xC6" "ble");
    EXPECT_EQ(list.Get(2), W("Æble"));
    view->Put(2, "p\xE6re");
    EXPECT_EQ(list.Get(2), W("pære"));
    view->Delete(1);
    EXPECT_EQ(list.GetCount(), 2);

    gcl::TStringList source;
    source.Add("one");
    list.SetAnsiStrings(&source);
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"one"}));

    TAnsiStringsForWideStringsAdapter utf8(&list, 65001);
    list.Put(0, W("汉字"));
    EXPECT_EQ(utf8.Get(0), "汉字");
    gcl::TMemoryStream greek;
    greek.WriteBuffer("\xD9\xEC\r\n\xE1", 5);
    greek.SetPosition(0);
    utf8.LoadFromStreamEx(greek, 1253);
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{W("Ωμ"), W("α")}));
    gcl::TMemoryStream out;
    utf8.SaveToStreamEx(out, 65001);
    EXPECT_EQ(std::string(static_cast<const char*>(out.GetMemory()), static_cast<size_t>(out.GetSize())),
              "Ωμ\r\nα\r\n");

    // The adapter interface: referenced when set, released when replaced
    // and when the list goes.
    gcl::ComPtr<TCountingAdapter> first(new TCountingAdapter());
    gcl::ComPtr<TCountingAdapter> second(new TCountingAdapter());
    {
        TUniStringList owner;
        owner.SetStringsAdapter(first.Get());
        owner.SetStringsAdapter(second.Get());
        EXPECT_EQ(owner.GetStringsAdapter(), second.Get());
    }
    EXPECT_EQ(first->Log, (std::vector<std::string>{"reference", "release"}));
    EXPECT_EQ(second->Log, (std::vector<std::string>{"reference", "release"}));
}
