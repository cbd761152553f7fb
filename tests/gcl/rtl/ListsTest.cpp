#include <gtest/gtest.h>

#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/TypInfo.h"
#include "gcl/rtl/Streams.h"
#include "gcl/rtl/Strings.h"
#include "support/TestEnvironment.h"
#include "support/StringHelpers.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace gcl;

using qelvo::test::Items;

namespace {

#define EXPECT_RAISES(E, text, stmt)                     \
    do {                                                 \
        try {                                            \
            stmt;                                        \
            ADD_FAILURE() << "no exception: " #stmt;     \
        } catch (const E& e) {                           \
            EXPECT_EQ(e.GetMessage(), text) << #stmt;    \
        }                                                \
    } while (0)

using V = std::vector<std::string>;

// Counts frees through a flag the test owns.
class TCounted : public TObject {
public:
    explicit TCounted(int* frees) : FFrees(frees) {}
    ~TCounted() override { ++*FFrees; }

private:
    int* FFrees;
};

class TRecordingList : public TList {
public:
    std::vector<std::pair<void*, TListNotification>> Log;

protected:
    void Notify(void* item, TListNotification action) override { Log.push_back({item, action}); }
};

class TEventSink : public TObject {
public:
    std::string Log;
    void Changing(TObject*) { Log += "<"; }
    void Changed(TObject*) { Log += ">"; }
};

int CompareInts(void* a, void* b) {
    intptr_t x = reinterpret_cast<intptr_t>(a), y = reinterpret_cast<intptr_t>(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

void* P(intptr_t v) { return reinterpret_cast<void*>(v); }

} // namespace

TEST(TListTest, ItemsIndicesAndErrors) {
    TList list;
    EXPECT_EQ(list.Add(P(1)), 0);
    EXPECT_EQ(list.Add(P(2)), 1);
    list.Insert(0, P(3));    // 3 1 2
    list.Insert(3, P(4));    // 3 1 2 4
    EXPECT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list.GetItem(0), P(3));
    EXPECT_EQ(list.IndexOf(P(2)), 2);
    EXPECT_EQ(list.IndexOf(P(9)), -1);
    list.Exchange(0, 3);     // 4 1 2 3
    list.Move(0, 2);         // 1 2 4 3
    EXPECT_EQ(list[0], P(1));
    EXPECT_EQ(list[2], P(4));
    list.Move(3, 0);         // 3 1 2 4
    EXPECT_EQ(list[0], P(3));
    EXPECT_EQ(list[3], P(4));
    EXPECT_EQ(list.Remove(P(1)), 1);
    EXPECT_EQ(list.Remove(P(1)), -1);
    EXPECT_EQ(list.Extract(P(4)), P(4));
    EXPECT_EQ(list.Extract(P(4)), nullptr);
    list.SetItem(0, nullptr);
    list.Add(nullptr);
    list.Pack();
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list[0], P(2));

    EXPECT_RAISES(EListError, "List index out of bounds (1)", list.GetItem(1));
    EXPECT_RAISES(EListError, "List index out of bounds (-1)", list.Delete(-1));
    EXPECT_RAISES(EListError, "List index out of bounds (3)", list.Insert(3, P(1)));
    EXPECT_RAISES(EListError, "List index out of bounds (5)", list.Exchange(0, 5));
    EXPECT_RAISES(EListError, "List index out of bounds (7)", list.Move(0, 7));
    EXPECT_RAISES(EListError, "List capacity out of bounds (0)", list.SetCapacity(0));
    list.SetCapacity(100);
    EXPECT_GE(list.GetCapacity(), 100);
    list.SetCount(3);
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list[2], nullptr);
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCapacity(), 0);
}

TEST(TListTest, SortAndNotifications) {
    TList list;
    for (intptr_t v : {5, 3, 9, 1, 5, 7, 2, 8, 0, 6}) list.Add(P(v));
    list.Sort(CompareInts);
    for (int i = 1; i < list.GetCount(); ++i) EXPECT_LE(CompareInts(list[i - 1], list[i]), 0);

    // A comparison that lies must not take the sort out of the list.
    TList big;
    for (intptr_t v = 0; v < 1000; ++v) big.Add(P(v * 7919 % 1000));
    big.Sort([](void*, void*) { return -1; });
    big.Sort([](void*, void*) { return 1; });
    EXPECT_EQ(big.GetCount(), 1000);

    TRecordingList rec;
    rec.Add(P(1));
    rec.Add(P(2));
    rec.Add(P(3));
    rec.Delete(0);
    rec.Extract(P(2));
    rec.SetItem(0, P(4));
    rec.Clear();
    using N = std::pair<void*, TListNotification>;
    std::vector<N> expected = {{P(1), lnAdded},     {P(2), lnAdded},   {P(3), lnAdded},
                               {P(1), lnDeleted},   {P(2), lnExtracted}, {P(3), lnDeleted},
                               {P(4), lnAdded},     {P(4), lnDeleted}};
    EXPECT_EQ(rec.Log, expected);
}

TEST(TObjectListTest, OwnsObjectsUnlessTold) {
    int frees = 0;
    {
        TObjectList list;
        list.Add(new TCounted(&frees));
        list.Add(new TCounted(&frees));
        TObject* third = new TCounted(&frees);
        list.Add(third);
        list.Delete(0);
        EXPECT_EQ(frees, 1);
        EXPECT_EQ(list.Extract(third), third);
        EXPECT_EQ(frees, 1);
        third->Free();
        EXPECT_EQ(frees, 2);
        list.SetItem(0, new TCounted(&frees));    // the replaced object is freed
        EXPECT_EQ(frees, 3);
    }
    EXPECT_EQ(frees, 4);    // the last one went with the list

    frees = 0;
    TCounted a(&frees);
    {
        TObjectList list(false);
        list.Add(&a);
        list.Remove(&a);
        list.Add(&a);
    }
    EXPECT_EQ(frees, 0);
}

TEST(TStringListTest, SortedDuplicatesAndFind) {
    TStringList list;
    list.Add("pear");
    list.Add("Apple");
    list.Add("fig");
    list.AddObject("apple", nullptr);
    list.SetSorted(true);    // sorts first
    EXPECT_EQ(LowerCase(list[0]) + LowerCase(list[1]), "appleapple");    // equal items in either order
    EXPECT_EQ(list[2], "fig");
    EXPECT_EQ(list[3], "pear");

    int index = -1;
    list.SetDuplicates(dupAccept);
    EXPECT_TRUE(list.Find("APPLE", index));
    EXPECT_EQ(index, 0);    // the first equal item
    EXPECT_FALSE(list.Find("banana", index));
    EXPECT_EQ(index, 2);    // the insertion point
    EXPECT_EQ(list.Add("Fig"), 2);    // dupAccept inserts before the equal items
    EXPECT_EQ(list.GetCount(), 5);

    list.SetDuplicates(dupIgnore);
    int count = list.GetCount();
    int at = list.Add("PEAR");
    EXPECT_EQ(list[at], "pear");
    EXPECT_EQ(list.GetCount(), count);

    list.SetDuplicates(dupError);
    EXPECT_RAISES(EStringListError, "String list does not allow duplicates", list.Add("fig"));
    EXPECT_RAISES(EStringListError, "Operation not allowed on sorted list", list.Insert(0, "a"));
    EXPECT_RAISES(EStringListError, "Operation not allowed on sorted list", list.Put(0, "a"));
    EXPECT_RAISES(EStringListError, "List index out of bounds (99)", list.Get(99));
    EXPECT_RAISES(EStringListError, "List index out of bounds (-1)", list.Delete(-1));
    EXPECT_EQ(list.IndexOf("FIG"), list.IndexOf("fig"));
    EXPECT_EQ(list.IndexOf("kiwi"), -1);

    // Moving inside a sorted list is refused before anything is lost.
    count = list.GetCount();
    EXPECT_RAISES(EStringListError, "Operation not allowed on sorted list", list.Move(0, 2));
    EXPECT_EQ(list.GetCount(), count);

    // Case sensitivity: "apple" and "Apple" become distinct, and a sorted
    // list is put in the new order so that Find keeps working.
    TStringList cs;
    for (const char* s : {"b", "B", "a", "A", "c"}) cs.Add(s);
    cs.SetSorted(true);
    cs.SetCaseSensitive(true);
    EXPECT_EQ(Items(cs), (V{"A", "B", "a", "b", "c"}));
    for (const char* s : {"A", "B", "a", "b", "c"}) {
        EXPECT_TRUE(cs.Find(s, index)) << s;
        EXPECT_EQ(cs[index], s);
    }
    cs.SetSorted(false);
    EXPECT_EQ(cs.IndexOf("a"), 2);
    cs.SetCaseSensitive(false);
    EXPECT_EQ(cs.IndexOf("a"), 0);
}

TEST(TStringListTest, ObjectsTravelWithTheirStrings) {
    TStringList list;
    TObject o1, o2, o3, o4;
    list.AddObject("c", &o3);
    list.AddObject("a", &o1);
    list.AddObject("d", &o4);
    list.AddObject("b", &o2);
    list.Exchange(0, 3);    // b a d c
    EXPECT_EQ(list.GetObject(0), &o2);
    EXPECT_EQ(list.GetObject(3), &o3);
    list.Move(0, 2);        // a d b c
    EXPECT_EQ(Items(list), (V{"a", "d", "b", "c"}));
    EXPECT_EQ(list.GetObject(2), &o2);
    list.Move(3, 0);        // c a d b
    EXPECT_EQ(list.GetObject(0), &o3);
    list.Sort();
    EXPECT_EQ(Items(list), (V{"a", "b", "c", "d"}));
    TObject* expected[] = {&o1, &o2, &o3, &o4};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list.GetObject(i), expected[i]);
    EXPECT_EQ(list.IndexOfObject(&o4), 3);
    list.Put(3, "z");
    EXPECT_EQ(list.GetObject(3), &o4);    // Put keeps the object
    list.CustomSort([](TStringList* l, int a, int b) { return l->GetRef(b).compare(l->GetRef(a)); });
    EXPECT_EQ(Items(list), (V{"z", "c", "b", "a"}));
    EXPECT_EQ(list.GetObject(0), &o4);

    // A large sort keeps every pairing.
    TStringList big;
    std::vector<std::unique_ptr<TObject>> objects;
    std::map<std::string, TObject*> pairs;
    for (int i = 0; i < 2000; ++i) {
        objects.push_back(std::make_unique<TObject>());
        std::string s = "item" + std::to_string(i * 7919 % 2000);
        big.AddObject(s, objects.back().get());
        pairs[s] = objects.back().get();
    }
    big.Sort();
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(big.GetObject(i), pairs[big[i]]);
        if (i > 0) {
            ASSERT_LT(big[i - 1], big[i]);
        }
    }
}

// Entries with and without strings (long ones, short ones, empty ones)
// keep their strings and objects through every change, checked against
// a plain model after each step.
class TAppendingList : public TStringList {
public:
    using TStringList::AppendObjects;
};

TEST(TStringListTest, EntriesWithAndWithoutStringsKeepThemThroughChanges) {
    TAppendingList list;
    std::vector<std::pair<std::string, TObject*>> model;
    std::vector<std::unique_ptr<TObject>> objects;
    for (int i = 0; i < 8; ++i) objects.push_back(std::make_unique<TObject>());
    auto text = [](unsigned k) {
        switch (k % 4) {
        case 0: return std::string();
        case 1: return std::string(1, char('a' + k % 26));
        case 2: return "entry " + std::to_string(k);
        default: return std::string(40 + k % 7, char('A' + k % 26));  // beyond any string's own room
        }
    };
    auto check = [&](int step) {
        ASSERT_EQ(list.GetCount(), int(model.size())) << "step " << step;
        for (int i = 0; i < list.GetCount(); ++i) {
            ASSERT_EQ(list.GetRef(i), model[size_t(i)].first) << "step " << step << " entry " << i;
            ASSERT_EQ(list.Get(i), model[size_t(i)].first);
            ASSERT_EQ(list.GetObject(i), model[size_t(i)].second) << "step " << step << " entry " << i;
        }
    };
    unsigned seed = 12345;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    for (int step = 0; step < 3000; ++step) {
        const unsigned n = unsigned(model.size());
        TObject* object = objects[next(8)].get();
        const std::string s = text(next(1000));
        switch (next(n ? 9 : 3)) {
        case 0:
            list.AddObject(s, object);
            model.emplace_back(s, object);
            break;
        case 1: {
            const unsigned at = next(n + 1);
            list.InsertObject(int(at), s, object);
            model.insert(model.begin() + at, {s, object});
            break;
        }
        case 2: {
            TObject* added[3] = {object, nullptr, objects[0].get()};
            list.AppendObjects(added, 3);
            for (TObject* o : added) model.emplace_back(std::string(), o);
            break;
        }
        case 3: {
            const unsigned at = next(n);
            list.Put(int(at), s);
            model[at].first = s;
            break;
        }
        case 4: {
            const unsigned at = next(n);
            list.PutObject(int(at), object);
            model[at].second = object;
            break;
        }
        case 5: {
            const unsigned at = next(n);
            list.Delete(int(at));
            model.erase(model.begin() + at);
            break;
        }
        case 6: {
            const unsigned a = next(n), b = next(n);
            list.Exchange(int(a), int(b));
            std::swap(model[a], model[b]);
            break;
        }
        case 7: {
            const unsigned from = next(n), to = next(n);
            list.Move(int(from), int(to));
            auto entry = model[from];
            model.erase(model.begin() + from);
            model.insert(model.begin() + to, entry);
            break;
        }
        default:
            if (next(20) == 0) {
                // Case-sensitive, so that the model's byte order is the list's.
                list.SetCaseSensitive(true);
                list.CustomSort([](TStringList* l, int a, int b) {
                    const int c = l->GetRef(a).compare(l->GetRef(b));
                    return c != 0 ? c : (l->GetObject(a) < l->GetObject(b) ? -1 : l->GetObject(a) > l->GetObject(b));
                });
                std::sort(model.begin(), model.end());
            }
            break;
        }
        check(step);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(model.size(), 100u);
    // Finding and clearing.
    list.Put(0, "needle");
    EXPECT_EQ(list.IndexOf("NEEDLE"), list.GetCaseSensitive() ? -1 : 0);
    list.SetCaseSensitive(false);
    EXPECT_EQ(list.IndexOf("NEEDLE"), 0);
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(TStringListTest, TextLinesAndBreaks) {
    TStringList list;
    list.SetText("a\r\nb\rc\nd");
    EXPECT_EQ(Items(list), (V{"a", "b", "c", "d"}));
    list.SetText("a\r\n");
    EXPECT_EQ(Items(list), (V{"a"}));    // a final break adds no empty line
    list.SetText("a\r\n\r\n");
    EXPECT_EQ(Items(list), (V{"a", ""}));
    list.SetText("\n\nx");
    EXPECT_EQ(Items(list), (V{"", "", "x"}));
    list.SetText("a\n\rb");    // LF then CR: two breaks
    EXPECT_EQ(Items(list), (V{"a", "", "b"}));
    list.SetText("");
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetText(), "");
    list.SetText(std::string("x\0y\nz", 5));    // NUL bytes are data
    EXPECT_EQ(list[0], std::string("x\0y", 3));
    list.SetText("one\ntwo");
    EXPECT_EQ(list.GetText(), "one\r\ntwo\r\n");    // CR LF after every line
    list.Clear();
    list.Add("");
    EXPECT_EQ(list.GetText(), "\r\n");
}

TEST(TStringListTest, CommaAndDelimitedText) {
    TStringList list;
    list.SetCommaText("a,b c,\"d,e\",\"f \"\"g\"\"\" ,,h,");
    EXPECT_EQ(Items(list), (V{"a", "b", "c", "d,e", "f \"g\"", "", "h", ""}));
    EXPECT_EQ(list.GetCommaText(), "a,b,c,\"d,e\",\"f \"\"g\"\"\",,h,");

    list.Clear();
    list.Add("");
    EXPECT_EQ(list.GetCommaText(), "\"\"");
    list.SetCommaText("\"\"");
    EXPECT_EQ(Items(list), (V{""}));
    list.SetCommaText("  ");
    EXPECT_EQ(list.GetCommaText(), "");
    EXPECT_EQ(list.GetCount(), 0);
    list.SetCommaText("\"unterminated");
    EXPECT_EQ(Items(list), (V{"unterminated"}));
    list.SetCommaText("0,clRed,$00FF00");
    EXPECT_EQ(Items(list), (V{"0", "clRed", "$00FF00"}));

    // Delimiter and quote character of the list, round trip.
    list.SetDelimiter(';');
    list.SetQuoteChar('\'');
    list.Clear();
    for (const char* s : {"x;y", "it's", "plain", "two words"}) list.Add(s);
    std::string text = list.GetDelimitedText();
    EXPECT_EQ(text, "'x;y';'it''s';plain;'two words'");
    TStringList back;
    back.SetDelimiter(';');
    back.SetQuoteChar('\'');
    back.SetDelimitedText(text);
    EXPECT_TRUE(back.Equals(list));
    EXPECT_EQ(list.GetCommaText(), "x;y,it's,plain,\"two words\"");
    EXPECT_EQ(list.GetDelimiter(), ';');    // CommaText leaves the list's own settings
}

TEST(TStringListTest, NamesValuesAssignAndEquals) {
    TStringList list;
    list.Add("Width=804");
    list.Add("comment");
    list.Add("Height=500=x");
    EXPECT_EQ(list.GetName(0), "Width");
    EXPECT_EQ(list.GetName(1), "");
    EXPECT_EQ(list.GetValue("height"), "500=x");
    EXPECT_EQ(list.GetValue("missing"), "");
    EXPECT_EQ(list.IndexOfName("HEIGHT"), 2);
    list.SetValue("Width", "1024");
    EXPECT_EQ(list[0], "Width=1024");
    list.SetValue("Top", "5");
    EXPECT_EQ(list[3], "Top=5");
    list.SetValue("Width", "");
    EXPECT_EQ(list.IndexOfName("Width"), -1);
    list.SetNameValueSeparator(':');
    list.Add("a:b");
    EXPECT_EQ(list.GetValue("A"), "b");

    TObject obj;
    list.PutObject(0, &obj);
    TStringList copy;
    copy.Add("old");
    copy.Assign(&list);
    EXPECT_TRUE(copy.Equals(list));
    EXPECT_EQ(copy.GetObject(0), &obj);
    EXPECT_EQ(copy.GetNameValueSeparator(), ':');
    copy.Put(0, copy[0] + "!");
    EXPECT_FALSE(copy.Equals(list));
    TStringList upper;
    for (int i = 0; i < list.GetCount(); ++i) upper.Add(list[i]);
    upper.Put(0, "COMMENT");
    EXPECT_FALSE(upper.Equals(list));    // Equals compares exactly

    list.AddStrings(list);    // adding a list to itself doubles it
    EXPECT_EQ(list.GetCount(), 8);

    TPersistent other;
    EXPECT_RAISES(EConvertError, "Cannot assign a TPersistent to a TStringList", copy.Assign(&other));
}

TEST(TStringListTest, ChangeEventsAndUpdates) {
    TEventSink sink;
    TStringList list;
    list.OnChanging = TNotifyEvent(&sink, &TEventSink::Changing);
    list.OnChange = TNotifyEvent(&sink, &TEventSink::Changed);
    list.Add("a");
    list.Add("b");
    EXPECT_EQ(sink.Log, "<><>");
    sink.Log.clear();
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("c");
    list.Delete(0);
    list.Exchange(0, 1);
    list.EndUpdate();
    EXPECT_EQ(sink.Log, "<");
    list.EndUpdate();
    EXPECT_EQ(sink.Log, "<>");
    sink.Log.clear();
    list.SetText("x\ny\nz");    // one batch
    EXPECT_EQ(sink.Log, "<>");
    sink.Log.clear();
    list.Clear();
    list.Clear();    // nothing to clear: no events
    EXPECT_EQ(sink.Log, "<>");
    sink.Log.clear();
    {
        TStringsUpdate update(list);
        list.Add("q");
    }
    EXPECT_EQ(sink.Log, "<>");
    sink.Log.clear();
    list.SetSorted(true);
    EXPECT_EQ(sink.Log, "");    // one item: nothing to sort
    list.Add("p");
    EXPECT_EQ(sink.Log, "<>");
}

TEST(TStringListTest, FilesAndStreams) {
    qelvo::test::TempDir dir;
    TStringList list;
    list.Add("first");
    list.Add("caf\xE9 \xF7\xBD");    // 8-bit bytes go through untouched
    list.Add("");
    list.SaveToFile(dir.File("list.txt"));
    TMemoryStream raw;
    raw.LoadFromFile(dir.File("list.txt"));
    EXPECT_EQ(std::string(static_cast<const char*>(raw.GetMemory()), size_t(raw.GetSize())),
              "first\r\ncaf\xE9 \xF7\xBD\r\n\r\n");

    TStringList back;
    back.LoadFromFile(dir.File("list.txt"));
    EXPECT_TRUE(back.Equals(list));

    // LoadFromStream reads the rest of the stream from its position.
    TMemoryStream stream;
    stream.WriteBuffer("skip|one\ntwo", 12);
    stream.SetPosition(5);
    back.LoadFromStream(stream);
    EXPECT_EQ(Items(back), (V{"one", "two"}));
    TMemoryStream out;
    back.SaveToStream(out);
    EXPECT_EQ(out.GetSize(), 10);

    EXPECT_THROW(back.LoadFromFile(dir.File("missing.txt")), EFOpenError);
    EXPECT_EQ(back.GetCount(), 2);    // a failed load leaves the list alone
}

TEST(TStringListTest, LargeListsStayFast) {
    // 100k items with objects: appending, searching sorted and deleting
    // from the end are linear or logarithmic per item.
    TStringList list;
    TObject marker;
    for (int i = 0; i < 100000; ++i) list.AddObject("task" + std::to_string(i), &marker);
    EXPECT_EQ(list.IndexOf("TASK99999"), 99999);
    list.SetSorted(true);
    int index;
    for (int i = 0; i < 100000; i += 997) ASSERT_TRUE(list.Find("task" + std::to_string(i), index));
    while (list.GetCount() > 0) list.Delete(list.GetCount() - 1);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(TChangeLinkTest, ChangeReachesHandlerAndSenderForgetsLink) {
    struct TSender : TObject, IChangeLinkSender {
        std::vector<TChangeLink*> Links;
        void UnRegisterChanges(TChangeLink* link) override { std::erase(Links, link); }
    } sender;
    TEventSink sink;
    auto* link = new TChangeLink;
    link->SetSender(&sender);
    link->OnChange = TNotifyEvent(&sink, &TEventSink::Changed);
    sender.Links.push_back(link);
    link->Change();
    EXPECT_EQ(sink.Log, ">");
    link->Free();
    EXPECT_TRUE(sender.Links.empty());
}

namespace {

// A component with a string list as a published sub-object.
class TLsMemo : public TComponent {
    GCL_CLASS(TLsMemo, TComponent)
public:
    TStringList* GetLines() const { return FLines.get(); }

protected:
    explicit TLsMemo(TComponent* owner) : TComponent(owner), FLines(std::make_unique<TStringList>()) {}

private:
    std::unique_ptr<TStringList> FLines;
};

} // namespace

GCL_PUBLISHED(TLsMemo, GCL_PROP_RO(Lines))

TEST(TStringListTest, StreamsAsStringsProperty) {
    TLsMemo* memo = TLsMemo::Create(nullptr);
    memo->SetName("Memo1");
    memo->GetLines()->SetText("first\nsecond line\n\n" + std::string(300, 'x'));
    TMemoryStream stream;
    WriteComponentToStream(stream, memo);

    TLsMemo* copy = TLsMemo::Create(nullptr);
    copy->GetLines()->Add("replaced");
    stream.SetPosition(0);
    ReadComponentFromStream(stream, copy);
    EXPECT_TRUE(copy->GetLines()->Equals(*memo->GetLines()));

    // An empty list writes nothing: reading keeps what the target has.
    memo->GetLines()->Clear();
    TMemoryStream empty;
    WriteComponentToStream(empty, memo);
    EXPECT_LT(empty.GetSize(), stream.GetSize() - 300);
    empty.SetPosition(0);
    ReadComponentFromStream(empty, copy);
    EXPECT_EQ(copy->GetLines()->GetCount(), 4);
    memo->Free();
    copy->Free();
}
