// Wide values in form streams: the "Strings" property of wide lists (byte
// for byte against a fixture), the older list properties "WideStrings",
// "WideStringsW" and "WideStrings_UTF7", the "W" and "_UTF7" properties of
// wide character and wide string properties, synced wide strings and the
// component companions.
#include "gcl/rtl/WinApi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"
#include "support/TestEnvironment.h"
#include "unicode/UniClasses.h"
#include "unicode/UniTestSupport.h"

using namespace qelvo;

using qelvo::test::W;
using qelvo::test::Lines;
using qelvo::test::TOwned;

namespace {

class TUniTestHolder : public gcl::TComponent {
    GCL_CLASS(TUniTestHolder, gcl::TComponent)
public:
    TUniStringList* GetItems() const { return FItems.get(); }
    void SetItems(TUniStringList* value) { FItems->Assign(value); }
    TUniStringList* GetL() const { return FL.get(); }
    void SetL(TUniStringList* value) { FL->Assign(value); }
    wchar_t GetMark() const { return FMark; }
    void SetMark(wchar_t value) { FMark = value; }
    const std::wstring& GetTitle() const { return FTitle; }
    void SetTitle(const std::wstring& value) { FTitle = value; }
    bool StoreMark = true;

protected:
    explicit TUniTestHolder(gcl::TComponent* owner)
        : gcl::TComponent(owner), FItems(std::make_unique<TUniStringList>()), FL(std::make_unique<TUniStringList>()) {}
    void DefineProperties(gcl::TFiler& filer) override {
        inherited::DefineProperties(filer);
        DefineWideProperties(filer, this);
    }
    bool IsMarkStored() const { return StoreMark; }

private:
    std::unique_ptr<TUniStringList> FItems;
    std::unique_ptr<TUniStringList> FL;
    wchar_t FMark = L'*';
    std::wstring FTitle;
};

} // namespace

GCL_PUBLISHED(TUniTestHolder, GCL_PROP(Items), GCL_PROP(L), GCL_PROP(Mark).Default(L'*').StoredBy<&Self::IsMarkStored>(),
              GCL_PROP(Title))

namespace {

TOwned<TUniTestHolder> NewHolder() {
    TOwned<TUniTestHolder> h(TUniTestHolder::Create(nullptr));
    h->SetName("Holder");
    return h;
}

std::string Write(TUniTestHolder* holder, TUniTestHolder* ancestor = nullptr) {
    gcl::TMemoryStream stream;
    gcl::TWriter writer(stream);
    writer.WriteDescendent(holder, ancestor);
    return std::string(static_cast<const char*>(stream.GetMemory()), static_cast<size_t>(stream.GetSize()));
}

void Read(const std::string& bytes, TUniTestHolder* holder) {
    gcl::TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    stream.SetPosition(0);
    gcl::ReadComponentFromStream(stream, holder);
}

// A form stream of a TUniTestHolder, property by property.
class TFormBytes {
public:
    TFormBytes() { FBytes = std::string("GCF0") + Str("TUniTestHolder") + Str("Holder"); }
    TFormBytes& Prop(const std::string& name) { return Raw(Str(name)); }
    TFormBytes& Ansi(const std::string& s) { return Raw(std::string(1, '\x06') + Str(s)); }
    TFormBytes& Wide(const std::wstring& s) {
        FBytes += '\x12';
        Int32(static_cast<int32_t>(s.size()));
        for (wchar_t c : s) {
            FBytes += static_cast<char>(c & 0xFF);
            FBytes += static_cast<char>((c >> 8) & 0xFF);
        }
        return *this;
    }
    TFormBytes& ListBegin() { return Raw("\x01"); }
    TFormBytes& ListEnd() { return Raw(std::string(1, '\0')); }
    TFormBytes& Raw(const std::string& bytes) {
        FBytes += bytes;
        return *this;
    }
    std::string End() const { return FBytes + std::string(2, '\0'); }

private:
    static std::string Str(const std::string& s) { return std::string(1, static_cast<char>(s.size())) + s; }
    void Int32(int32_t v) {
        for (int i = 0; i < 4; ++i) FBytes += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    std::string FBytes;
};

std::string ReadError(const std::string& bytes) {
    auto holder = NewHolder();
    try {
        Read(bytes, holder.P);
    } catch (const gcl::EReadError& e) {
        return e.GetMessage();
    }
    return "(none)";
}

} // namespace

TEST(UniStreaming, WideListAndWideCharRoundTripByteForByte) {
    auto holder = NewHolder();
    for (const char* s : {"Ωμέγα", "汉字 𝄞", "", "Dansk æøå"}) holder->GetItems()->Add(W(s));
    holder->SetMark(0x03A9);
    holder->SetTitle(W("Ελληνικά"));
    const std::string bytes = Write(holder.P);

    gcl::TMemoryStream fixture;
    fixture.LoadFromFile(qelvo::test::TestDataDir() + "unicode\\holder.gcf");
    EXPECT_EQ(bytes, std::string(static_cast<const char*>(fixture.GetMemory()), static_cast<size_t>(fixture.GetSize())));

    auto copy = NewHolder();
    copy->GetItems()->Add(L"replaced");
    Read(bytes, copy.P);
    EXPECT_TRUE(copy->GetItems()->Equals(*holder->GetItems()));
    EXPECT_EQ(copy->GetMark(), wchar_t(0x03A9));
    EXPECT_EQ(copy->GetTitle(), W("Ελληνικά"));

    // Nothing to store: no list, no mark.
    auto empty = NewHolder();
    EXPECT_EQ(Write(empty.P), TFormBytes().End());
    empty->SetMark(L'x');
    empty->StoreMark = false;
    EXPECT_EQ(Write(empty.P), TFormBytes().End());

    // Against an ancestor only what differs is written.
    auto ancestor = NewHolder();
    ancestor->GetItems()->Assign(holder->GetItems());
    ancestor->SetMark(0x03A9);
    ancestor->SetTitle(W("Ελληνικά"));
    EXPECT_EQ(Write(holder.P, ancestor.P), TFormBytes().End());
    ancestor->GetItems()->Add(L"more");
    const std::string diff = Write(holder.P, ancestor.P);
    EXPECT_NE(diff.find("Items.Strings"), std::string::npos);
    EXPECT_EQ(diff.find("MarkW"), std::string::npos);
}

TEST(UniStreaming, OlderAndSingleValueListProperties) {
    // "WideStringsW" fills an empty list from UTF-8; "WideStrings_UTF7",
    // "TitleW" and "Title_UTF7" are read and dropped; "MarkW" may be an
    // 8-bit string and "Mark_UTF7" is UTF-7.
    auto holder = NewHolder();
    Read(TFormBytes()
             .Prop("L.WideStringsW").ListBegin().Ansi("汉字").Ansi("æ").ListEnd()
             .Prop("L.WideStrings_UTF7").ListBegin().Ansi("+ZeVnLIqe-").ListEnd()
             .Prop("TitleW").Ansi("ignored")
             .Prop("Title_UTF7").Ansi("+AOk-")
             .Prop("MarkW").Ansi("\xE6")
             .End(),
         holder.P);
    EXPECT_EQ(Lines(*holder->GetL()), (std::vector<std::wstring>{W("汉字"), W("æ")}));
    EXPECT_EQ(holder->GetTitle(), L"");
    EXPECT_EQ(holder->GetMark(), wchar_t(0xE6));

    Read(TFormBytes().Prop("Mark_UTF7").Ansi("+A6k-").End(), holder.P);
    EXPECT_EQ(holder->GetMark(), wchar_t(0x03A9));
    Read(TFormBytes().Prop("MarkW").Wide(L"").End(), holder.P);
    EXPECT_EQ(holder->GetMark(), L'\0');

    // "WideStringsW" into a list that already has items is dropped.
    auto filled = NewHolder();
    Read(TFormBytes()
             .Prop("L.Strings").ListBegin().Wide(W("Ω")).Ansi("ansi \xE6").ListEnd()
             .Prop("L.WideStringsW").ListBegin().Ansi("dropped").ListEnd()
             .End(),
         filled.P);
    EXPECT_EQ(Lines(*filled->GetL()), (std::vector<std::wstring>{W("Ω"), W("ansi æ")}));

    // "WideStrings" reads like "Strings"; one value (8-bit or wide) is a text.
    Read(TFormBytes().Prop("L.WideStrings").ListBegin().Wide(W("一")).Wide(W("二")).ListEnd().End(), filled.P);
    EXPECT_EQ(Lines(*filled->GetL()), (std::vector<std::wstring>{W("一"), W("二")}));
    Read(TFormBytes().Prop("L.Strings").Ansi("a\r\nb").End(), filled.P);
    EXPECT_EQ(Lines(*filled->GetL()), (std::vector<std::wstring>{L"a", L"b"}));
    Read(TFormBytes().Prop("L.Strings").Wide(W("α\nβ\r\n")).End(), filled.P);
    EXPECT_EQ(Lines(*filled->GetL()), (std::vector<std::wstring>{W("α"), W("β")}));

    // Malformed wide characters.
    EXPECT_EQ(ReadError(TFormBytes().Prop("MarkW").Wide(L"ab").End()), "Invalid property value");
    EXPECT_EQ(ReadError(TFormBytes().Prop("MarkW").Raw("\x02\x05").End()), "Invalid property value");
    EXPECT_EQ(ReadError(TFormBytes().Prop("MarkW").Ansi("ab").End()), "Invalid property value");
}

TEST(UniSynced, WideValueBesideAnsiValue) {
    struct TAnsiSide : gcl::TObject {
        std::string Value;
        std::vector<std::string> Calls;
    } side;
    auto set = [](gcl::TObject* obj, const std::string& value) {
        auto* s = static_cast<TAnsiSide*>(obj);
        s->Calls.push_back(value);
        s->Value = value;
    };
    std::wstring wide;
    SetSyncedWideString(W("汉字"), wide, side.Value, set, &side);
    EXPECT_EQ(side.Calls, (std::vector<std::string>{"??"}));
    EXPECT_EQ(GetSyncedWideString(wide, side.Value), W("汉字"));

    // Another text with the same 8-bit form: "" first, so the owner sees a change.
    side.Calls.clear();
    SetSyncedWideString(W("字汉"), wide, side.Value, set, &side);
    EXPECT_EQ(side.Calls, (std::vector<std::string>{"", "??"}));
    EXPECT_EQ(wide, W("字汉"));

    // The same text again: nothing.
    side.Calls.clear();
    SetSyncedWideString(W("字汉"), wide, side.Value, set, &side);
    EXPECT_TRUE(side.Calls.empty());

    // 8-bit code changed the 8-bit side: the wide value follows.
    side.Value = "abc";
    EXPECT_EQ(GetSyncedWideString(wide, side.Value), L"abc");
    EXPECT_EQ(wide, L"abc");
}

namespace {

class TTestHelper : public TWideComponentHelper {
    GCL_CLASS(TTestHelper, TWideComponentHelper)
protected:
    TTestHelper(gcl::TComponent* component, TWideComponentHelperList* list) : TWideComponentHelper(component, list) {}
};

} // namespace

GCL_IMPLEMENT_CLASS(TTestHelper)

TEST(UniCompanions, OrderedListAndLifetime) {
    try {
        TWideComponentHelper::StaticClass()->Create(nullptr);
        ADD_FAILURE() << "created";
    } catch (const EUniInternalError& e) {
        EXPECT_EQ(e.GetMessage(), "UNI Internal Error: TWideComponentHelper.Create should never be encountered.");
    }

    auto* list = new TWideComponentHelperList();
    std::vector<gcl::TComponent*> components;
    for (int i = 0; i < 5; ++i) components.push_back(gcl::TComponent::Create(nullptr));
    for (gcl::TComponent* c : {components[3], components[0], components[4], components[1]}) TTestHelper::Create(c, list);
    ASSERT_EQ(list->GetCount(), 4);
    for (int i = 1; i < list->GetCount(); ++i)
        EXPECT_LT(reinterpret_cast<uintptr_t>(list->GetItem(i - 1)->GetComponent()),
                  reinterpret_cast<uintptr_t>(list->GetItem(i)->GetComponent()));
    for (int i : {0, 1, 3, 4}) {
        TWideComponentHelper* helper = FindWideComponentHelper(list, components[i]);
        ASSERT_NE(helper, nullptr);
        EXPECT_EQ(helper->GetComponent(), components[i]);
    }
    EXPECT_EQ(FindWideComponentHelper(list, components[2]), nullptr);
    EXPECT_EQ(FindWideComponentHelper(nullptr, components[0]), nullptr);

    // A companion goes with its component.
    components[3]->Free();
    EXPECT_EQ(list->GetCount(), 3);
    EXPECT_EQ(FindWideComponentHelper(list, components[4])->GetComponent(), components[4]);

    // The list frees the companions still in it; the components live on.
    delete list;
    for (int i : {0, 1, 2, 4}) components[i]->Free();
}
