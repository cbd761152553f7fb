// The Unicode tree view: the "Utf8Data" node stream byte for byte, its
// cutting rule and its damage checks, form-stream round trips, wide texts
// through the window (display requests, re-creation, label editing,
// sorting) and the node class hook.
#include "gcl/rtl/WinApi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gcl/ComCtrls.h"
#include "gcl/Forms.h"
#include "gcl/Messages.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"
#include "support/WindowTest.h"
#include "unicode/UniActnList.h"
#include "unicode/UniComCtrls.h"
#include "unicode/UniControls.h"
#include "unicode/UniSysUtils.h"
#include "support/StringHelpers.h"

using namespace qelvo;

using qelvo::test::W;

namespace {

std::string Int32Bytes(int32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

// One node record as the stream lays it out: Size, ImageIndex,
// SelectedIndex, StateIndex, OverlayIndex, Data, Count, L, text.
std::string Record(const std::vector<int32_t>& fields, const std::string& text) {
    std::string bytes = Int32Bytes(static_cast<int32_t>(25 + text.size()));
    for (int32_t field : fields) bytes += Int32Bytes(field);
    bytes += static_cast<char>(text.size());
    return bytes + text;
}

std::string Marked(const std::string& utf8) { return "\xEF\xBB\xBF" + utf8; }

std::string Utf8DataOf(TUniTreeNodes* nodes) {
    gcl::TMemoryStream stream;
    nodes->WriteUtf8Data(stream);
    return std::string(static_cast<const char*>(stream.GetMemory()), static_cast<size_t>(stream.GetSize()));
}

void ReadUtf8Data(TUniTreeNodes* nodes, const std::string& bytes) {
    gcl::TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    stream.SetPosition(0);
    nodes->ReadUtf8Data(stream);
}

// The nodes in tree order, a dash per level.
std::wstring Shape(TUniTreeNodes* nodes) {
    std::wstring s;
    for (TUniTreeNode* n = nodes->GetFirstNode(); n; n = n->GetNext())
        s += std::wstring(static_cast<size_t>(n->GetLevel()), L'-') + n->GetText() + L' ';
    return s;
}

// The text the window shows for a node, asked the wide way.
std::wstring WindowTextW(gcl::TTreeNode* node, int bufferSize = 300) {
    std::vector<wchar_t> buffer(static_cast<size_t>(bufferSize) + 1, L'#');
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = node->GetItemId();
    item.pszText = buffer.data();
    item.cchTextMax = bufferSize;
    if (!SendMessageW(node->GetHandle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return L"<none>";
    return item.pszText ? item.pszText : L"";
}

std::wstring WindowTextOf(HWND handle) {
    wchar_t buffer[300] = {};
    GetWindowTextW(handle, buffer, 300);
    return buffer;
}

class TUniTreeForm : public gcl::TForm {
    GCL_CLASS(TUniTreeForm, gcl::TForm)
protected:
    explicit TUniTreeForm(gcl::TComponent* owner) : gcl::TForm(owner) {
        SetBorderStyle(gcl::bsNone);
        SetBounds(30, 30, 360, 300);
    }
};

class TTaggedNode : public TUniTreeNode {
    GCL_CLASS(TTaggedNode, TUniTreeNode)
public:
    explicit TTaggedNode(gcl::TTreeNodes* owner) : TUniTreeNode(owner) {}
};

// Records what the tree view reports.
class TUniTreeLog : public gcl::TObject {
public:
    std::vector<std::wstring> Events;
    std::wstring EditedTo;
    std::string AnsiEditedTo;
    std::vector<int> KeyPresses;
    gcl::TClass NodeClass = nullptr;

    void Edited(gcl::TObject*, TUniTreeNode* node, std::wstring& s) {
        Events.push_back(L"edited " + (node ? node->GetText() : L"nil") + L" -> " + s);
        if (!EditedTo.empty()) s = EditedTo;
    }
    void AnsiEdited(gcl::TObject*, gcl::TTreeNode*, std::string& s) {
        Events.push_back(L"ansi " + gcl::AnsiToWide(s));
        if (!AnsiEditedTo.empty()) s = AnsiEditedTo;
    }
    void Cancel(gcl::TObject*, gcl::TTreeNode*) { Events.push_back(L"cancel"); }
    void KeyPress(gcl::TObject*, char& key) { KeyPresses.push_back(static_cast<unsigned char>(key)); }
    void CreateNodeClass(gcl::TObject*, gcl::TClass& nodeClass) {
        if (NodeClass) nodeClass = NodeClass;
    }
    // By wide length, longest first.
    void Compare(gcl::TObject*, gcl::TTreeNode* a, gcl::TTreeNode* b, intptr_t, int& result) {
        result = static_cast<int>(TUniTreeNodes::WideTextOf(b).size()) -
                 static_cast<int>(TUniTreeNodes::WideTextOf(a).size());
    }
};

} // namespace

GCL_IMPLEMENT_CLASS(TUniTreeForm)
GCL_IMPLEMENT_CLASS(TTaggedNode)

class UniComCtrlsTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        gcl::InitializeUnits({&gcl::FormsUnit, &gcl::ComCtrlsUnit, &UniControlsUnit, &UniComCtrlsUnit, &gcl::CommonControlsUnit});
    }
    static void TearDownTestSuite() {
        gcl::FinalizeUnits({&gcl::FormsUnit, &gcl::ComCtrlsUnit, &UniControlsUnit, &UniComCtrlsUnit, &gcl::CommonControlsUnit});
    }
    void SetUp() override {
        Form = TUniTreeForm::Create(nullptr);
        Tree = TUniTreeView::Create(Form);
        Tree->SetName("Tree");
        Tree->SetBounds(10, 10, 300, 260);
        Tree->SetParent(Form);
    }
    void TearDown() override {
        gcl::FreeAndNil(Form);
        qelvo::test::PumpMessages(20);
    }

    // "Todo Lists" with lists in three languages, one of them with a
    // sub-list.
    void Build() {
        TUniTreeNodes* nodes = Tree->GetItems();
        TUniTreeNode* root = nodes->Add(nullptr, L"Todo Lists");
        TUniTreeNode* chinese = nodes->AddChild(root, W("工作清单"));
        nodes->AddChild(chinese, W("Ελληνικά καθήκοντα"));
        nodes->AddChild(root, W("Indkøb og ærinder på Ø"));
    }

    TUniTreeForm* Form = nullptr;
    TUniTreeView* Tree = nullptr;
    TUniTreeLog Log;
};

TEST_F(UniComCtrlsTest, Utf8DataIsByteExact) {
    TUniTreeNodes* nodes = Tree->GetItems();
    // The main window's tree: one root "All", images 0, no state, no
    // overlay, no data: Size 31, the whole property 39 bytes.
    nodes->Add(nullptr, L"All");
    const std::string all = Utf8DataOf(nodes);
    EXPECT_EQ(all.size(), 39u);
    EXPECT_EQ(all, Int32Bytes(1) + Record({0, 0, -1, -1, 0, 0}, Marked("All")));

    // Nested nodes follow their parent at once, children in order.
    TUniTreeNode* root = nodes->GetFirstNode();
    root->SetImageIndex(1);
    root->SetSelectedIndex(2);
    TUniTreeNode* alpha = nodes->AddChild(root, W("Α"));
    TUniTreeNode* x = nodes->AddChild(alpha, L"x");
    x->SetStateIndex(2);
    x->SetOverlayIndex(0);
    x->SetData(reinterpret_cast<void*>(7));
    nodes->AddChild(root, L"");
    nodes->Add(nullptr, W("Ø"));
    const std::string expected = Int32Bytes(2) + Record({1, 2, -1, -1, 0, 2}, Marked("All")) +
                                 Record({0, 0, -1, -1, 0, 1}, Marked("Α")) +
                                 Record({0, 0, 2, 0, 7, 0}, Marked("x")) + Record({0, 0, -1, -1, 0, 0}, Marked("")) +
                                 Record({0, 0, -1, -1, 0, 0}, Marked("Ø"));
    EXPECT_EQ(Utf8DataOf(nodes), expected);

    // Read back into another tree, the nodes write the same bytes again.
    TUniTreeView* copy = TUniTreeView::Create(Form);
    ReadUtf8Data(copy->GetItems(), expected);
    EXPECT_EQ(Shape(copy->GetItems()), W("All -Α --x - Ø "));
    EXPECT_EQ(Utf8DataOf(copy->GetItems()), expected);

    // In a form stream the bytes are the tree's "Items.Utf8Data", a binary
    // value after the class library's "Items.Data".
    nodes->Clear();
    nodes->Add(nullptr, L"All");
    gcl::TMemoryStream component;
    gcl::WriteComponentToStream(component, Tree);
    const std::string bytes(static_cast<const char*>(component.GetMemory()), static_cast<size_t>(component.GetSize()));
    const size_t data = bytes.find("\x0AItems.Data");
    const size_t utf8 = bytes.find("\x0EItems.Utf8Data");
    ASSERT_NE(data, std::string::npos);
    ASSERT_NE(utf8, std::string::npos);
    EXPECT_LT(data, utf8);
    EXPECT_EQ(bytes.substr(utf8 + 15, 5), "\x0A" + Int32Bytes(39));
    EXPECT_EQ(bytes.substr(utf8 + 20, 39), all);
}

TEST_F(UniComCtrlsTest, FormStreamRoundTripKeepsWideTexts) {
    Build();
    TUniTreeNodes* nodes = Tree->GetItems();
    nodes->GetItem(1)->SetImageIndex(3);
    nodes->GetItem(2)->SetData(reinterpret_cast<void*>(42));
    Tree->SetHint(W("Lister · 清单"));
    Tree->SetSortType(gcl::stNone);
    gcl::TMemoryStream stream;
    gcl::WriteComponentToStream(stream, Tree);
    stream.SetPosition(0);
    auto* read = dynamic_cast<TUniTreeView*>(gcl::ReadComponentFromStream(stream, nullptr));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(Shape(read->GetItems()), Shape(nodes));
    EXPECT_EQ(read->GetItems()->GetItem(1)->GetImageIndex(), 3);
    EXPECT_EQ(read->GetItems()->GetItem(2)->GetData(), reinterpret_cast<void*>(42));
    EXPECT_EQ(read->GetItems()->GetItem(3)->GetText(), W("Indkøb og ærinder på Ø"));
    EXPECT_EQ(read->GetHint(), W("Lister · 清单"));
    read->Free();

    // Without an ancestor an empty tree writes no "Utf8Data"; against an
    // ancestor only a difference in wide text or data is written, even
    // when the 8-bit texts agree.
    nodes->Clear();
    gcl::TMemoryStream empty;
    gcl::WriteComponentToStream(empty, Tree);
    const std::string emptyBytes(static_cast<const char*>(empty.GetMemory()), static_cast<size_t>(empty.GetSize()));
    EXPECT_EQ(emptyBytes.find("Utf8Data"), std::string::npos);

    auto* ancestor = TUniTreeView::Create(nullptr);
    ancestor->SetName("Tree");
    ancestor->GetItems()->Add(nullptr, W("工作"));
    nodes->Add(nullptr, W("工作"));
    auto writeDescendent = [&] {
        gcl::TMemoryStream s;
        gcl::TWriter writer(s);
        writer.WriteDescendent(Tree, ancestor);
        return std::string(static_cast<const char*>(s.GetMemory()), static_cast<size_t>(s.GetSize()));
    };
    EXPECT_EQ(writeDescendent().find("Utf8Data"), std::string::npos);
    nodes->GetFirstNode()->SetText(W("清单"));  // the same 8-bit form "??"
    ASSERT_EQ(nodes->GetFirstNode()->gcl::TTreeNode::GetText(), ancestor->GetItems()->GetFirstNode()->gcl::TTreeNode::GetText());
    EXPECT_NE(writeDescendent().find("Utf8Data"), std::string::npos);
    ancestor->Free();
}

TEST_F(UniComCtrlsTest, RecordTextsAreCutAtCharacterBoundaries) {
    TUniTreeNodes* nodes = Tree->GetItems();
    const std::wstring ascii(255, L'a');
    const std::wstring han(100, static_cast<wchar_t>(0x6C49));   // 3 UTF-8 bytes each
    const std::wstring accented(200, static_cast<wchar_t>(0xE9));  // 2 bytes each
    // 249 letters and a character outside the BMP (4 bytes): 253 bytes do
    // not fit, and half of the pair must not stay.
    const std::wstring pair = std::wstring(249, L'b') + W("😀");
    for (const std::wstring& text : {ascii, han, accented, pair}) nodes->Add(nullptr, text);

    EXPECT_EQ(Utf8NodeRecordText(ascii), Marked(std::string(252, 'a')));
    EXPECT_EQ(Utf8NodeRecordText(han).size(), 255u);
    EXPECT_EQ(Utf8NodeRecordText(accented).size(), 255u);
    EXPECT_EQ(Utf8NodeRecordText(pair), Marked(std::string(249, 'b')));
    EXPECT_EQ(Utf8NodeRecordText(W("ab😀")), Marked("ab\xF0\x9F\x98\x80"));

    TUniTreeView* copy = TUniTreeView::Create(Form);
    ReadUtf8Data(copy->GetItems(), Utf8DataOf(nodes));
    TUniTreeNodes* read = copy->GetItems();
    ASSERT_EQ(read->GetCount(), 4);
    EXPECT_EQ(read->GetItem(0)->GetText(), ascii.substr(0, 252));
    EXPECT_EQ(read->GetItem(1)->GetText(), han.substr(0, 84));
    EXPECT_EQ(read->GetItem(2)->GetText(), accented.substr(0, 126));
    EXPECT_EQ(read->GetItem(3)->GetText(), pair.substr(0, 249));

    // Only the stream record is cut: Assign copies every text whole.
    const std::wstring longText(300, static_cast<wchar_t>(0x6E05));
    nodes->GetItem(1)->SetText(longText);
    copy->SetItems(nodes);
    EXPECT_EQ(read->GetItem(1)->GetText(), longText);
    EXPECT_EQ(read->GetItem(3)->GetText(), pair);
    EXPECT_EQ(Shape(read), Shape(nodes));
}

TEST_F(UniComCtrlsTest, ReaderTakesAnsiRecordsAndRefusesDamage) {
    TUniTreeNodes* nodes = Tree->GetItems();
    // A record without the mark is 8-bit text.
    ReadUtf8Data(nodes, Int32Bytes(1) + Record({0, 0, -1, -1, 0, 0}, "Caf\xE9"));
    ASSERT_EQ(nodes->GetCount(), 1);
    EXPECT_EQ(nodes->GetFirstNode()->GetText(), W("Café"));

    // Damage raises the stream read error and keeps what was read.
    const std::string good = Int32Bytes(3) + Record({0, 0, -1, -1, 0, 0}, Marked("一")) +
                             Record({0, 0, -1, -1, 0, 0}, Marked("二")) + Record({0, 0, -1, -1, 0, 0}, Marked("三"));
    ReadUtf8Data(nodes, good);
    EXPECT_EQ(Shape(nodes), W("一 二 三 "));
    auto expectReadError = [&](const std::string& bytes) {
        EXPECT_THROW(ReadUtf8Data(nodes, bytes), gcl::EReadError);
    };
    expectReadError(good.substr(0, good.size() - 2));
    ASSERT_GE(nodes->GetCount(), 2);
    EXPECT_EQ(nodes->GetItem(0)->GetText(), W("一"));
    EXPECT_EQ(nodes->GetItem(1)->GetText(), W("二"));

    const std::string first = Int32Bytes(2) + Record({0, 0, -1, -1, 0, 0}, Marked("一"));
    // A size that disagrees with the text length.
    std::string mismatch = Record({0, 0, -1, -1, 0, 0}, Marked("ab"));
    mismatch.replace(0, 4, Int32Bytes(31));
    expectReadError(first + mismatch + std::string(8, '\0'));
    EXPECT_EQ(nodes->GetFirstNode()->GetText(), W("一"));
    // A size above the largest record, a negative size, a negative count.
    expectReadError(first + Int32Bytes(281) + std::string(281, '\0'));
    expectReadError(first + Int32Bytes(-5) + std::string(40, '\0'));
    expectReadError(Int32Bytes(-1));
    // A child count the stream cannot hold.
    expectReadError(Int32Bytes(1) + Record({0, 0, -1, -1, 0, 1000000}, Marked("p")) + Record({0, 0, -1, -1, 0, 0}, Marked("c")));
    EXPECT_EQ(Shape(nodes), W("p -c "));
    // An empty stream, a cut root count.
    expectReadError("");
    expectReadError(Int32Bytes(1).substr(0, 2));
    EXPECT_FALSE(nodes->GetReading());
}

TEST_F(UniComCtrlsTest, WindowShowsWideTextsAndKeepsThemOverRecreation) {
    Build();
    TUniTreeNodes* nodes = Tree->GetItems();
    TUniTreeNode* root = nodes->GetItem(0);
    TUniTreeNode* chinese = nodes->GetItem(1);
    TUniTreeNode* greek = nodes->GetItem(2);
    TUniTreeNode* danish = nodes->GetItem(3);
    root->Expand(false);  // the Chinese list stays collapsed
    HWND first = Tree->GetHandle();
    ASSERT_TRUE(IsWindowUnicode(first));
    EXPECT_EQ(SendMessageW(first, TVM_GETUNICODEFORMAT, 0, 0), 1);
    EXPECT_EQ(WindowTextW(greek), W("Ελληνικά καθήκοντα"));
    EXPECT_EQ(WindowTextW(danish), W("Indkøb og ærinder på Ø"));
    EXPECT_FALSE(chinese->GetExpanded());

    // A short buffer gets what fits with the terminator; a buffer of no
    // size is not written.
    EXPECT_EQ(WindowTextW(chinese, 3), W("工作"));
    wchar_t buffer[4] = {L'#', L'#', L'#', L'#'};
    NMTVDISPINFOW info{};
    info.hdr.hwndFrom = first;
    info.hdr.code = TVN_GETDISPINFOW;
    info.item.mask = TVIF_TEXT;
    info.item.hItem = chinese->GetItemId();
    info.item.lParam = reinterpret_cast<LPARAM>(chinese);
    info.item.pszText = buffer;
    info.item.cchTextMax = 0;
    Tree->Perform(gcl::CN_NOTIFY, 0, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(buffer[0], L'#');
    info.item.cchTextMax = 2;
    Tree->Perform(gcl::CN_NOTIFY, 0, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(std::wstring(buffer, 3), W("工") + std::wstring(1, L'\0') + L"#");

    // The window asks for a new text after a wide change, also when the
    // 8-bit forms are equal; a text the window hands back reaches the node.
    chinese->SetText(W("清单清单"));
    EXPECT_EQ(WindowTextW(chinese), W("清单清单"));
    std::wstring dansk = W("Dansk æøå");
    info.hdr.code = TVN_SETDISPINFOW;
    info.item.hItem = danish->GetItemId();
    info.item.lParam = reinterpret_cast<LPARAM>(danish);
    info.item.pszText = dansk.data();
    Tree->Perform(gcl::CN_NOTIFY, 0, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(danish->GetText(), dansk);
    EXPECT_EQ(WindowTextW(danish), dansk);

    // Re-creation (a style change) keeps every wide text, collapsed
    // children included, and the sort type.
    Tree->SetSortType(gcl::stText);
    EXPECT_EQ(Shape(nodes), W("Todo Lists -Dansk æøå -清单清单 --Ελληνικά καθήκοντα "));
    Tree->SetToolTips(false);
    HWND second = Tree->GetHandle();
    EXPECT_NE(first, second);
    EXPECT_TRUE(IsWindowUnicode(second));
    EXPECT_EQ(Tree->GetSortType(), gcl::stText);
    EXPECT_EQ(SendMessageW(second, TVM_GETCOUNT, 0, 0), 4);
    EXPECT_FALSE(chinese->GetExpanded());
    for (TUniTreeNode* node = nodes->GetFirstNode(); node; node = node->GetNext())
        EXPECT_EQ(WindowTextW(node), node->GetText());
    EXPECT_EQ(WindowTextW(greek), W("Ελληνικά καθήκοντα"));
    Tree->RecreateWnd();
    Tree->HandleNeeded();
    EXPECT_EQ(WindowTextW(greek), W("Ελληνικά καθήκοντα"));
    EXPECT_EQ(Shape(nodes), W("Todo Lists -Dansk æøå -清单清单 --Ελληνικά καθήκοντα "));

    // 8-bit code changing a node's text wins over the kept wide text.
    chinese->SetText(std::string("Plain"));
    EXPECT_EQ(chinese->GetText(), L"Plain");
    EXPECT_EQ(WindowTextW(chinese), L"Plain");

    // Typed queries: a row holds its node, below the last node is nothing.
    Form->Show();
    TUniTreeNode* last = chinese;  // the last row: its child is hidden
    gcl::TRect top = root->DisplayRect(true);
    gcl::TRect bottom = last->DisplayRect(false);
    EXPECT_EQ(Tree->GetNodeAt(top.Left + 2, top.Top + 2), root);
    EXPECT_EQ(Tree->GetNodeAt(top.Left + 2, bottom.Bottom + 5), nullptr);
    Tree->SetSelected(last);
    EXPECT_EQ(Tree->GetSelected(), last);
    EXPECT_EQ(Tree->GetSelections(0), last);
}

TEST_F(UniComCtrlsTest, LabelEditingDeliversWideText) {
    Build();
    Tree->FullExpand();
    Tree->OnEdited = TUniTVEditedEvent(&Log, &TUniTreeLog::Edited);
    Tree->OnCancelEdit = gcl::TTVChangedEvent(&Log, &TUniTreeLog::Cancel);
    Tree->OnKeyPress = gcl::TKeyPressEvent(&Log, &TUniTreeLog::KeyPress);
    Form->Show();
    HWND handle = Tree->GetHandle();
    TUniTreeNodes* nodes = Tree->GetItems();
    TUniTreeNode* node = nodes->GetItem(3);
    auto edit = [&](const std::wstring& text, bool cancel) {
        HWND editor = reinterpret_cast<HWND>(
            SendMessageW(handle, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(node->GetItemId())));
        if (!editor) return false;
        if (!text.empty()) SetWindowTextW(editor, text.c_str());
        SendMessageW(handle, TVM_ENDEDITLABELNOW, cancel ? 1 : 0, 0);
        qelvo::test::PumpMessages(50, [&] { return !Tree->IsEditing(); });
        return true;
    };

    ASSERT_TRUE(edit(W("Ελληνικά 工作"), false));
    ASSERT_EQ(Log.Events.size(), 1u);  // once, however often the window reports the end
    EXPECT_EQ(Log.Events[0], W("edited Indkøb og ærinder på Ø -> Ελληνικά 工作"));
    EXPECT_EQ(node->GetText(), W("Ελληνικά 工作"));
    EXPECT_EQ(WindowTextW(node), W("Ελληνικά 工作"));

    // The handler may change the text.
    Log.EditedTo = W("Ωμέγα");
    ASSERT_TRUE(edit(L"x", false));
    EXPECT_EQ(node->GetText(), W("Ωμέγα"));
    Log.EditedTo.clear();

    // Without the wide handler the 8-bit one sees the text converted; a
    // text it leaves alone stays wide, one it changes is taken.
    Tree->OnEdited = nullptr;
    Tree->gcl::TCustomTreeView::OnEdited = gcl::TTVEditedEvent(&Log, &TUniTreeLog::AnsiEdited);
    ASSERT_TRUE(edit(W("Dansk ø 工"), false));
    EXPECT_EQ(Log.Events.back(), W("ansi Dansk ø ?"));
    EXPECT_EQ(node->GetText(), W("Dansk ø 工"));
    Log.AnsiEditedTo = "Caf\xE9";
    ASSERT_TRUE(edit(W("工"), false));
    EXPECT_EQ(node->GetText(), W("Café"));

    // Cancelling reaches OnCancelEdit and keeps the text.
    const size_t before = Log.Events.size();
    ASSERT_TRUE(edit(W("never"), true));
    ASSERT_EQ(Log.Events.size(), before + 1);
    EXPECT_EQ(Log.Events.back(), L"cancel");
    EXPECT_EQ(node->GetText(), W("Café"));

    Tree->gcl::TCustomTreeView::OnEdited = nullptr;

    // Keys typed into the editor pass the tree's key event; a character
    // above 255 shows there as 255 and reaches the editor whole.
    HWND editor = reinterpret_cast<HWND>(
        SendMessageW(handle, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(node->GetItemId())));
    ASSERT_NE(editor, nullptr);
    SendMessageW(editor, EM_SETSEL, 0, -1);
    SendMessageW(editor, WM_CHAR, 0x3A9, 1);
    SendMessageW(editor, WM_CHAR, 'z', 1);
    EXPECT_EQ(Log.KeyPresses, (std::vector<int>{255, 'z'}));
    EXPECT_EQ(WindowTextOf(editor), W("Ωz"));
    SendMessageW(handle, TVM_ENDEDITLABELNOW, 0, 0);
    qelvo::test::PumpMessages(50, [&] { return !Tree->IsEditing(); });
    EXPECT_EQ(node->GetText(), W("Ωz"));
}

TEST_F(UniComCtrlsTest, SortingComparesWideTexts) {
    TUniTreeNodes* nodes = Tree->GetItems();
    // Their 8-bit forms are all "?": only the wide comparison orders them.
    for (const char* s : {"γάμμα", "άλφα", "βήτα"}) nodes->Add(nullptr, W(s));
    TUniTreeNode* parent = nodes->GetItem(0);
    nodes->AddChild(parent, W("ψ"));
    nodes->AddChild(parent, W("ω"));
    nodes->AddChild(parent, W("φ"));
    // Before there is a window the nodes sort themselves, the same way.
    ASSERT_FALSE(Tree->HandleAllocated());
    Tree->AlphaSort(true);
    EXPECT_EQ(Shape(nodes), W("άλφα βήτα γάμμα -φ -ψ -ω "));
    Tree->HandleNeeded();
    Tree->GetItems()->GetItem(0)->MoveTo(nullptr, gcl::naAdd);
    Tree->AlphaSort(true);
    EXPECT_EQ(Shape(nodes), W("άλφα βήτα γάμμα -φ -ψ -ω "));
    // The window shows that order.
    auto root = reinterpret_cast<HTREEITEM>(SendMessageW(Tree->GetHandle(), TVM_GETNEXTITEM, TVGN_ROOT, 0));
    EXPECT_EQ(nodes->GetNode(root)->GetText(), W("άλφα"));

    // OnCompare decides when set.
    Tree->OnCompare = gcl::TTVCompareEvent(&Log, &TUniTreeLog::Compare);
    nodes->Add(nullptr, W("δέλτα-δέλτα"));
    Tree->AlphaSort(false);
    EXPECT_EQ(nodes->GetFirstNode()->GetText(), W("δέλτα-δέλτα"));
    Tree->OnCompare = nullptr;

    // A sorted tree keeps new and renamed nodes in wide order.
    Tree->SetSortType(gcl::stText);
    TUniTreeNode* alpha = nodes->GetFirstNode();
    EXPECT_EQ(alpha->GetText(), W("άλφα"));
    nodes->Add(nullptr, W("ακρίδα"));
    alpha->SetText(W("ωμέγα"));
    std::wstring roots;
    for (TUniTreeNode* n = nodes->GetFirstNode(); n; n = n->GetNextSibling()) roots += n->GetText() + L' ';
    EXPECT_EQ(roots, W("ακρίδα βήτα γάμμα δέλτα-δέλτα ωμέγα "));
}

// A wide action gives the tree its wide hint through a wide link.
TEST_F(UniComCtrlsTest, WideActionGivesItsHint) {
    TUniAction* action = TUniAction::Create(Form);
    action->SetHint(W("整理清单|按名称"));
    Tree->SetAction(action);
    ASSERT_EQ(action->GetClientCount(), 1);
    EXPECT_EQ(action->GetClients(0)->ClassType(), TUniWinControlActionLink::StaticClass());
    EXPECT_EQ(Tree->GetHint(), W("整理清单|按名称"));
    action->SetHint(W("Ωμέγα"));
    EXPECT_EQ(Tree->GetHint(), W("Ωμέγα"));
    EXPECT_FALSE(Tree->IsHintStored());
}

TEST_F(UniComCtrlsTest, NodeClassComesFromTheHook) {
    TUniTreeNodes* nodes = Tree->GetItems();
    Tree->OnCreateNodeClass = TUniTVCreateNodeClassEvent(&Log, &TUniTreeLog::CreateNodeClass);
    Log.NodeClass = TTaggedNode::StaticClass();
    TUniTreeNode* tagged = nodes->Add(nullptr, W("标签"));
    ASSERT_NE(tagged, nullptr);
    EXPECT_EQ(tagged->ClassType(), TTaggedNode::StaticClass());
    EXPECT_EQ(tagged->GetText(), W("标签"));

    Log.NodeClass = gcl::TTreeNode::StaticClass();
    try {
        nodes->AddChild(tagged, L"plain");
        FAIL() << "a class that is not a TUniTreeNode was taken";
    } catch (const EUniInternalError& e) {
        EXPECT_EQ(e.GetMessage(), "Internal Error: OnCreateNodeClass.ItemClass must inherit from TUniTreeNode.");
    }
    EXPECT_EQ(nodes->GetCount(), 1);
}

TEST_F(UniComCtrlsTest, NinetyEightFamilyTakesTheEightBitRoad) {
    const gcl::TOSVersionInfo windows98{gcl::PlatformWin32Windows, 4, 10, 2222};
    gcl::TFixedOSVersion version(windows98);
    gcl::ServiceOverride<gcl::IOSVersion> use(gcl::OSVersion, version);
    Build();
    TUniTreeNodes* nodes = Tree->GetItems();
    Tree->FullExpand();
    HWND handle = Tree->GetHandle();
    EXPECT_FALSE(IsWindowUnicode(handle));
    // The window shows the 8-bit forms; the nodes keep their wide texts.
    char buffer[64] = {};
    TVITEMA item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = nodes->GetItem(3)->GetItemId();
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    ASSERT_TRUE(SendMessageA(handle, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(item.pszText, gcl::WideToAnsi(W("Indkøb og ærinder på Ø")).c_str());
    EXPECT_EQ(nodes->GetItem(1)->GetText(), W("工作清单"));
    Tree->RecreateWnd();
    Tree->HandleNeeded();
    EXPECT_EQ(nodes->GetItem(2)->GetText(), W("Ελληνικά καθήκοντα"));
    EXPECT_EQ(SendMessageA(Tree->GetHandle(), TVM_GETCOUNT, 0, 0), 4);
}
