// The collection stream of items, groups and columns and the whole-control
// stream: byte-exact against golden files, round trips, old versions and
// damaged input.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gcl/Forms.h"
#include "gcl/rtl/Filer.h"
#include "listview/GvListview.h"
#include "listview/GvListviewFixture.h"
#include "support/TestEnvironment.h"

using namespace qelvo;

namespace {

std::vector<char> ReadFixture(const std::string& name) {
    std::ifstream in(qelvo::test::TestDataDir() + "/listview/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<char> Bytes(gcl::TMemoryStream& s) {
    const char* p = static_cast<const char*>(s.GetMemory());
    return std::vector<char>(p, p + s.GetSize());
}

void Load(gcl::TMemoryStream& s, const std::vector<char>& bytes) {
    s.Clear();
    s.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    s.SetPosition(0);
}

void PutInt(std::vector<char>& out, int32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF));
}

class GvStreamTest : public qelvo::test::GvListviewFixture {
protected:

    // The content of the golden files, built through the public surface.
    void BuildMainWindowColumns() {
        const wchar_t* captions[] = {L"Title", L"Tags", L"Due"};
        const int widths[] = {320, 150, 100};
        for (int i = 0; i < 3; ++i) {
            TGvColumn* column = LV->GetHeader()->GetColumns()->Add(nullptr);
            column->SetCaption(captions[i]);
            column->SetWidth(widths[i]);
        }
    }
    void BuildGroups() {
        TGvGroup* work = LV->GetGroups()->Add(nullptr);
        work->SetCaption(L"Work");
        work->SetImageIndex(2);
        TGvItem* milk = work->GetItems()->Add(nullptr);
        milk->SetCaptions(0, L"Buy milk");
        milk->SetCaptions(1, L"shop");
        milk->SetCaptions(2, L"01/02/2024");
        milk->SetImageIndex(1);
        milk->SetGroupKey(0, 3);
        milk->SetChecked(true);
        milk->SetSelected(true);
        TGvItem* mom = work->GetItems()->Add(nullptr);
        mom->SetCaption(L"Call mom");
        mom->SetDetails(1, 7);
        mom->SetImageOverlayIndexes(2, 4);
        mom->SetStateImageIndex(0);
        mom->SetBold(true);
        TGvItem* hidden = work->GetItems()->Add(nullptr);
        hidden->SetCaption(L"Hidden \u00e9t\u00e9");
        hidden->SetVisible(false);
        TGvGroup* home = LV->GetGroups()->Add(nullptr);
        home->SetCaption(L"Home");
        home->GetItems()->Add(nullptr)->SetCaption(L"Water plants");
    }

};

TEST_F(GvStreamTest, GoldenFilesAreWrittenByteExact) {
    BuildMainWindowColumns();
    BuildGroups();

    gcl::TMemoryStream columns;
    LV->GetHeader()->GetColumns()->WriteItems(columns);
    EXPECT_EQ(Bytes(columns), ReadFixture("columns.bin"));

    // The worked example: version, count, the class name with its real
    // length (15), magic, record version, state 0x0880.
    const unsigned char head[] = {0x05, 0, 0, 0, 0x03, 0, 0, 0, 0x0F, 0, 0, 0};
    ASSERT_GE(columns.GetSize(), 37);
    EXPECT_EQ(std::memcmp(columns.GetMemory(), head, sizeof head), 0);
    EXPECT_EQ(std::memcmp(static_cast<char*>(columns.GetMemory()) + 12, "TGvColumnStored", 15), 0);
    const unsigned char record[] = {0xFF, 0xFE, 0xCE, 0x00, 0x05, 0, 0, 0, 0x80, 0x08};
    EXPECT_EQ(std::memcmp(static_cast<char*>(columns.GetMemory()) + 27, record, sizeof record), 0);

    gcl::TMemoryStream items;
    LV->GetGroups()->GetGroups(0)->GetItems()->WriteItems(items);
    EXPECT_EQ(Bytes(items), ReadFixture("items.bin"));

    gcl::TMemoryStream groups;
    LV->GetGroups()->WriteItems(groups);
    EXPECT_EQ(Bytes(groups), ReadFixture("groups.bin"));

    LV->SetView(elsReport);
    gcl::TMemoryStream whole;
    LV->SaveToStream(whole);
    EXPECT_EQ(Bytes(whole), ReadFixture("listview.bin"));
}

TEST_F(GvStreamTest, GoldenFilesReadBackToTheSameObjects) {
    gcl::TMemoryStream s;
    Load(s, ReadFixture("listview.bin"));
    LV->LoadFromStream(s);
    EXPECT_EQ(s.GetPosition(), s.GetSize());
    EXPECT_EQ(LV->GetView(), elsReport);

    TGvGroups* groups = LV->GetGroups();
    ASSERT_EQ(groups->GetCount(), 2);
    EXPECT_EQ(groups->GetGroups(0)->GetCaption(), L"Work");
    EXPECT_EQ(groups->GetGroups(0)->GetImageIndex(), 2);
    EXPECT_EQ(groups->GetGroups(1)->GetCaption(), L"Home");
    ASSERT_EQ(groups->GetGroups(0)->ItemCount(), 3);
    TGvItem* milk = groups->GetGroups(0)->GetItem(0);
    EXPECT_EQ(milk->ClassType(), TGvItemStored::StaticClass());
    EXPECT_EQ(milk->GetCaptions(2), L"01/02/2024");
    EXPECT_TRUE(milk->GetChecked());
    EXPECT_TRUE(milk->GetSelected());
    EXPECT_EQ(milk->GetImageIndex(), 1);
    EXPECT_EQ(milk->GetGroupKey(0), 3u);
    EXPECT_EQ(milk->GetGroupKey(1), GvNoGroupKey);
    TGvItem* mom = groups->GetGroups(0)->GetItem(1);
    EXPECT_TRUE(mom->GetBold());
    EXPECT_EQ(mom->GetDetails(1), 7);
    EXPECT_EQ(mom->GetImageOverlayIndexes(2), 4);
    EXPECT_EQ(mom->GetImageOverlayIndexes(0), -1);
    EXPECT_EQ(mom->GetStateImageIndex(), 0);
    TGvItem* hidden = groups->GetGroups(0)->GetItem(2);
    EXPECT_FALSE(hidden->GetVisible());
    EXPECT_EQ(hidden->GetCaption(), L"Hidden \u00e9t\u00e9");
    EXPECT_EQ(LV->GetSelection()->GetCount(), 1);
    EXPECT_EQ(LV->GetCheckedCount(), 1);

    TGvColumns* columns = LV->GetHeader()->GetColumns();
    ASSERT_EQ(columns->GetCount(), 3);
    EXPECT_EQ(columns->GetColumns(0)->GetCaption(), L"Title");
    EXPECT_EQ(columns->GetColumns(0)->GetWidth(), 320);
    EXPECT_EQ(columns->GetColumns(2)->GetPosition(), 2);
    EXPECT_TRUE(columns->GetColumns(1)->GetAutoToggleSortGlyph());

    // Writing again gives the same bytes.
    gcl::TMemoryStream again;
    LV->SaveToStream(again);
    EXPECT_EQ(Bytes(again), ReadFixture("listview.bin"));

    // Each collection stream on its own round-trips too.
    for (const char* name : {"items.bin", "groups.bin", "columns.bin"}) {
        TGvListview* other = TGvListview::Create(nullptr);
        gcl::TMemoryStream in;
        Load(in, ReadFixture(name));
        TGvCollection* target = std::string(name) == "columns.bin"
                                    ? static_cast<TGvCollection*>(other->GetHeader()->GetColumns())
                                : std::string(name) == "groups.bin"
                                    ? static_cast<TGvCollection*>(other->GetGroups())
                                    : static_cast<TGvCollection*>(other->GetItems()->Add(nullptr)->OwnerItems());
        target->ReadItems(in);
        gcl::TMemoryStream out;
        target->WriteItems(out);
        EXPECT_EQ(Bytes(out), ReadFixture(name)) << name;
        gcl::Free(other);
    }
}

TEST_F(GvStreamTest, OldVersionsAndStateWords) {
    TGvItems* items = LV->GetItems()->Add(nullptr)->OwnerItems();
    // Version 4: no class names; the collection's current ItemClass is used.
    // The first record carries the magic with version 4, the second has no
    // magic at all and counts as version 2 (state word first).
    std::vector<char> v4;
    PutInt(v4, 4);
    PutInt(v4, 2);
    for (unsigned char c : {0xFF, 0xFE, 0xCE, 0x00}) v4.push_back(static_cast<char>(c));
    PutInt(v4, 4);
    v4.push_back(static_cast<char>(0x80));
    v4.push_back(static_cast<char>(0x28));  // enabled, visible, bold
    PutInt(v4, 0);                           // captions
    PutInt(v4, 0);                           // details
    PutInt(v4, 0);                           // image indexes
    PutInt(v4, 0);                           // overlays
    PutInt(v4, 1);                           // group keys (version > 2)
    PutInt(v4, 9);
    PutInt(v4, 1);                           // state image indexes
    PutInt(v4, 5);
    v4.push_back(static_cast<char>(0x80));   // 0x0480: selected, enabled, not visible
    v4.push_back(static_cast<char>(0x04));
    PutInt(v4, 1);                           // captions: "A"
    PutInt(v4, 1);
    v4.push_back('A');
    v4.push_back(0);
    PutInt(v4, 0);
    PutInt(v4, 0);
    PutInt(v4, 0);
    // version 2: no group keys and no state image indexes follow
    gcl::TMemoryStream s;
    Load(s, v4);
    items->ReadItems(s);
    EXPECT_EQ(s.GetPosition(), s.GetSize());
    ASSERT_EQ(items->GetCount(), 2);
    TGvItem* first = items->GetItems(0);
    EXPECT_EQ(first->ClassType(), TGvItemStored::StaticClass());
    EXPECT_TRUE(first->GetBold());
    EXPECT_TRUE(first->GetVisible());
    EXPECT_EQ(first->GetGroupKey(0), 9u);
    EXPECT_EQ(first->GetStateImageIndex(), 5);
    TGvItem* second = items->GetItems(1);
    EXPECT_EQ(second->GetCaption(), L"A");
    // Selected is applied first; hiding the item then deselects it.
    EXPECT_FALSE(second->GetSelected());
    EXPECT_FALSE(second->GetVisible());
    EXPECT_EQ(second->GetStateImageIndex(), -1);
    EXPECT_EQ(LV->GetSelection()->GetCount(), 0);

    // After a version-5 stream the ItemClass is the class of the last entry.
    gcl::TMemoryStream v5;
    std::vector<char> bytes;
    PutInt(bytes, 5);
    PutInt(bytes, 1);
    PutInt(bytes, 14);
    for (char c : std::string("TGvItemVirtual")) bytes.push_back(c);
    for (unsigned char c : {0xFF, 0xFE, 0xCE, 0x00, 0x05, 0, 0, 0, 0x80, 0x08}) bytes.push_back(static_cast<char>(c));
    Load(v5, bytes);
    items->ReadItems(v5);
    ASSERT_EQ(items->GetCount(), 1);
    EXPECT_EQ(items->GetItems(0)->ClassType(), TGvItemVirtual::StaticClass());
    EXPECT_EQ(items->GetItemClass(), TGvItemVirtual::StaticClass());
    EXPECT_EQ(items->Add(nullptr)->ClassType(), TGvItemVirtual::StaticClass());
}

TEST_F(GvStreamTest, ColumnRecordsOfVersionOneAndUntrustedValues) {
    TGvColumns* columns = LV->GetHeader()->GetColumns();
    // Version 1 (magic present): no AutoSortOnClick byte; the byte after
    // AutoSizeOnDblClk is AutoSpring.
    std::vector<char> bytes;
    PutInt(bytes, 5);
    PutInt(bytes, 3);
    auto column = [&](int version, int position, int width) {
        PutInt(bytes, 15);
        for (char c : std::string("TGvColumnStored")) bytes.push_back(c);
        for (unsigned char c : {0xFF, 0xFE, 0xCE, 0x00}) bytes.push_back(static_cast<char>(c));
        PutInt(bytes, version);
        bytes.push_back(static_cast<char>(0x80));
        bytes.push_back(0x08);
        bytes.push_back(1);  // alignment right
        bytes.push_back(0);  // AutoSizeOnDblClk
        if (version > 1) bytes.push_back(1);  // AutoSortOnClick
        bytes.push_back(1);  // AutoSpring
        bytes.push_back(0);  // AutoToggleSortGlyph
        PutInt(bytes, position);
        bytes.push_back(9);  // an unknown sort direction
        bytes.push_back(42); // the stream-only byte
        bytes.push_back(1);  // Clickable
        PutInt(bytes, width);
        for (int i = 0; i < 4; ++i) PutInt(bytes, 0);
    };
    column(1, 7, -40);
    column(5, 7, 80);
    column(5, -3, 60);
    gcl::TMemoryStream s;
    Load(s, bytes);
    columns->ReadItems(s);
    ASSERT_EQ(columns->GetCount(), 3);
    TGvColumn* first = columns->GetColumns(0);
    EXPECT_EQ(first->GetAlignment(), taRightJustify);
    EXPECT_FALSE(first->GetAutoSizeOnDblClk());
    EXPECT_FALSE(first->GetAutoSortOnClick());
    EXPECT_TRUE(first->GetAutoSpring());
    EXPECT_EQ(first->GetSortDirection(), esdNone);
    EXPECT_EQ(first->GetStreamByte(), 42);
    EXPECT_TRUE(columns->GetColumns(1)->GetAutoSortOnClick());
    // Widths never negative; positions 0..n-1 in stored order, ties kept.
    EXPECT_EQ(first->GetWidth(), 0);
    EXPECT_EQ(columns->GetColumns(2)->GetPosition(), 0);
    EXPECT_EQ(first->GetPosition(), 1);
    EXPECT_EQ(columns->GetColumns(1)->GetPosition(), 2);
    // The stream-only byte is written back as read.
    gcl::TMemoryStream out;
    columns->WriteItems(out);
    out.SetPosition(0);
    columns->ReadItems(out);
    EXPECT_EQ(columns->GetColumns(0)->GetStreamByte(), 42);
}

TEST_F(GvStreamTest, DamagedStreamsRaiseReadErrors) {
    TGvGroups* groups = LV->GetGroups();
    auto expectReadError = [&](const std::vector<char>& bytes, const std::string& message) {
        gcl::TMemoryStream s;
        Load(s, bytes);
        try {
            groups->ReadItems(s);
            ADD_FAILURE() << "no error for " << message;
        } catch (const gcl::EReadError& e) {
            if (!message.empty()) {
                EXPECT_EQ(e.GetMessage(), message);
            }
        }
    };
    std::vector<char> negative;
    PutInt(negative, 5);
    PutInt(negative, -1);
    expectReadError(negative, "");

    std::vector<char> huge;
    PutInt(huge, 5);
    PutInt(huge, 0x7FFFFFFF);
    expectReadError(huge, "");

    std::vector<char> longName;
    PutInt(longName, 5);
    PutInt(longName, 1);
    PutInt(longName, 1000000);
    expectReadError(longName, "");

    std::vector<char> unknown;
    PutInt(unknown, 5);
    PutInt(unknown, 1);
    PutInt(unknown, 5);
    for (char c : std::string("TFont")) unknown.push_back(c);
    expectReadError(unknown, msg::GvUnregisteredClass);

    std::vector<char> wrongFamily;
    PutInt(wrongFamily, 5);
    PutInt(wrongFamily, 1);
    PutInt(wrongFamily, 15);
    for (char c : std::string("TGvColumnStored")) wrongFamily.push_back(c);
    expectReadError(wrongFamily, msg::GvUnregisteredClass);

    // A caption whose length runs past the end.
    gcl::TMemoryStream good;
    TGvGroup* g = groups->Add(nullptr);
    g->SetCaption(L"abc");
    groups->WriteItems(good);
    std::vector<char> truncated = Bytes(good);
    truncated.resize(truncated.size() - 20);
    expectReadError(truncated, "");

    // A broken whole-control stream leaves the update bracket closed.
    std::vector<char> view;
    PutInt(view, 5);
    view.push_back(12);
    gcl::TMemoryStream s;
    Load(s, view);
    EXPECT_THROW(LV->LoadFromStream(s), gcl::EReadError);
    EXPECT_EQ(LV->GetUpdateCount(), 0);
}

TEST_F(GvStreamTest, FormFilesCarryTheCollectionsAsItems) {
    BuildMainWindowColumns();
    BuildGroups();
    LV->SetName("List");
    gcl::TMemoryStream form;
    gcl::WriteComponentToStream(form, LV);
    form.SetPosition(0);
    TGvListview* copy = TGvListview::Create(nullptr);
    gcl::ReadComponentFromStream(form, copy);
    gcl::TMemoryStream a, b;
    LV->GetHeader()->GetColumns()->WriteItems(a);
    copy->GetHeader()->GetColumns()->WriteItems(b);
    EXPECT_EQ(Bytes(a), Bytes(b));
    gcl::TMemoryStream c, d;
    LV->GetGroups()->WriteItems(c);
    copy->GetGroups()->WriteItems(d);
    EXPECT_EQ(Bytes(c), Bytes(d));
    gcl::Free(copy);

    // An empty collection writes no "Items" data; HideFromForm none at all.
    TGvListview* empty = TGvListview::Create(nullptr);
    empty->SetName("Empty");
    gcl::TMemoryStream e;
    gcl::WriteComponentToStream(e, empty);
    std::string text(static_cast<char*>(e.GetMemory()), static_cast<size_t>(e.GetSize()));
    EXPECT_EQ(text.find("Items"), std::string::npos);
    gcl::Free(empty);
    LV->GetGroups()->SetHideFromForm(true);
    gcl::TMemoryStream f;
    gcl::WriteComponentToStream(f, LV);
    std::string withColumns(static_cast<char*>(f.GetMemory()), static_cast<size_t>(f.GetSize()));
    EXPECT_NE(withColumns.find("Header.Columns.Items"), std::string::npos);
    EXPECT_EQ(withColumns.find("Groups.Items"), std::string::npos);
}

} // namespace
