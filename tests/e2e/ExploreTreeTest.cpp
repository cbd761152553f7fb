// The side panel of lists and tags together with a grouped, filtered task
// list: names given in place that other nodes already carry, the tree's
// keyboard, and deleting what the filter names.
#include <gtest/gtest.h>

#include "e2e/E2eDriver.h"

#include <commctrl.h>

#include <cstring>

namespace qelvo::e2e {

namespace {

struct TNodeInfo {
    std::string Text;
    RECT Rect{};  // screen coordinates, the whole row
    bool Selected = false;
};

// Memory in the program's process for the tree's answers.
class TRemoteBlock {
public:
    TRemoteBlock(DWORD processId, size_t size) {
        FProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (FProcess) FAddress = VirtualAllocEx(FProcess, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~TRemoteBlock() {
        if (FAddress) VirtualFreeEx(FProcess, FAddress, 0, MEM_RELEASE);
        if (FProcess) CloseHandle(FProcess);
    }
    bool Valid() const { return FAddress != nullptr; }
    char* At(size_t offset) const { return static_cast<char*>(FAddress) + offset; }
    void Write(size_t offset, const void* data, size_t size) const {
        WriteProcessMemory(FProcess, At(offset), data, size, nullptr);
    }
    void Read(size_t offset, void* data, size_t size) const {
        ReadProcessMemory(FProcess, At(offset), data, size, nullptr);
    }

private:
    HANDLE FProcess = nullptr;
    void* FAddress = nullptr;
};

LRESULT Ask(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(w, msg, wp, lp, SMTO_NORMAL, WaitBound, &result);
    return static_cast<LRESULT>(result);
}

// The top-level nodes of a tree view of the program, as it shows them.
std::vector<TNodeInfo> Nodes(const TProgram& p, HWND tree) {
    std::vector<TNodeInfo> nodes;
    TRemoteBlock block(p.ProcessId(), 4096);
    if (!block.Valid()) return nodes;
    auto item = reinterpret_cast<HTREEITEM>(Ask(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item) {
        TNodeInfo node;
        TVITEMW query{};
        query.mask = TVIF_TEXT | TVIF_HANDLE;
        query.hItem = item;
        query.pszText = reinterpret_cast<wchar_t*>(block.At(512));
        query.cchTextMax = 256;
        block.Write(0, &query, sizeof query);
        Ask(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.At(0)));
        wchar_t text[256] = {};
        block.Read(512, text, sizeof text - sizeof(wchar_t));
        for (const wchar_t* c = text; *c; ++c) node.Text += static_cast<char>(*c < 256 ? *c : '?');
        RECT r{};
        std::memcpy(&r, &item, sizeof item);
        block.Write(0, &r, sizeof r);
        Ask(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(block.At(0)));
        block.Read(0, &r, sizeof r);
        MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&r), 2);
        node.Rect = r;
        node.Selected = (Ask(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_SELECTED) & TVIS_SELECTED) != 0;
        nodes.push_back(node);
        item = reinterpret_cast<HTREEITEM>(Ask(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    return nodes;
}

std::string Texts(const std::vector<TNodeInfo>& nodes) {
    std::string all;
    for (const TNodeInfo& n : nodes) all += (all.empty() ? "" : "|") + n.Text + (n.Selected ? "*" : "");
    return all;
}


std::string Texts(const TProgram& p, HWND tree) { return Texts(Nodes(p, tree)); }

POINT Middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

HWND TreeOf(HWND main) {
    const auto trees = ChildrenOfClass(main, "TUniTreeView.UnicodeClass");
    return trees.empty() ? nullptr : trees.front();
}

// Clicks the middle of the top-level node showing text (right: with the
// right button).
void ClickNode(const TProgram& p, HWND tree, const std::string& text, bool right = false) {
    for (const TNodeInfo& n : Nodes(p, tree))
        if (n.Text == text) {
            Click(p, Middle(n.Rect), right);
            return;
        }
    ADD_FAILURE() << "no node " << text << " in " << Texts(p, tree);
}

const std::string Sep = "\xF7";

// The lists of a saved database (name and icon entries, as stored).
std::vector<std::string> Lines(const std::string& file) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < file.size()) {
        size_t end = file.find("\r\n", pos);
        if (end == std::string::npos) end = file.size();
        lines.push_back(file.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

// The fields of the saved task whose title field ends with title; empty
// when there is none.
std::vector<std::string> SavedTask(const std::string& file, const std::string& title) {
    for (const std::string& line : Lines(file)) {
        std::vector<std::string> fields;
        size_t pos = 0;
        for (size_t q; (q = line.find(Sep, pos)) != std::string::npos; pos = q + 1)
            fields.push_back(line.substr(pos, q - pos));
        if (fields.size() >= 6 && fields[0].size() >= title.size() &&
            fields[0].compare(fields[0].size() - title.size(), title.size(), title) == 0)
            return fields;
    }
    return {};
}

void Save(const TProgram& p) { Key(p, 'S', Ctrl); }

std::string ThreeTasksDatabase() {
    return "d_id-0123456789\r\nWork" + Sep + "0" + Sep + "\r\nHome" + Sep + "3" + Sep +
           "\r\n<--<*&^Folders^&*>-->\r\nwork\r\nhome\r\n<--<*&^Tags^&*>-->\r\n"
           "[work]Write report" + Sep + "--" + Sep + "1000000001" + Sep + "Work" + Sep + "1/2/2025" + Sep + Sep +
           "\r\n[home]Buy milk" + Sep + "--" + Sep + "1000000002" + Sep + "Home" + Sep + "1/2/2025" + Sep + Sep +
           "\r\n[work,home]Both" + Sep + "--" + Sep + "1000000003" + Sep + "Work" + Sep + "1/2/2025" + Sep + Sep +
           "\r\n";
}

} // namespace

TEST(ExploreTreeScenario, AnEditEndedByEscLeavesTheTreesKeysWorking) {
    TProgram p("explore-tree-esc");
    WriteFile(p.DatabasePath(), ThreeTasksDatabase());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ASSERT_EQ(Texts(p, tree), "All*|Work|Home");

    // Lists: Enter opens the name's editor, Esc closes it unchanged; then
    // Delete asks, Enter edits again, Ctrl+Right shows the tags.
    ClickNode(p, tree, "Work");
    Key(p, VK_RETURN);
    ASSERT_EQ(ChildrenOfClass(tree, "Edit").size(), 1u);
    Type(p, "Office");
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(ChildrenOfClass(tree, "Edit").empty());
    EXPECT_EQ(Texts(p, tree), "All|Work*|Home");
    Key(p, VK_DELETE);
    HWND box = p.WaitDialog();
    EXPECT_NE(box, nullptr) << "Delete did nothing after an edit ended by Esc";
    if (box) {
        Key(p, 'N');
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    }
    Key(p, VK_RETURN);
    EXPECT_EQ(ChildrenOfClass(tree, "Edit").size(), 1u) << "Enter did not edit the name again";
    Key(p, VK_ESCAPE);
    Key(p, VK_RIGHT, Ctrl);
    EXPECT_EQ(Texts(p, tree), "All*|work|home") << "Ctrl+Right did not show the tags";

    // Tags: the same after Esc, and Right gives the keyboard to the tasks.
    ClickNode(p, tree, "home");
    Key(p, VK_RETURN);
    Type(p, "house");
    Key(p, VK_ESCAPE);
    EXPECT_EQ(Texts(p, tree), "All|work|home*");
    Key(p, VK_DELETE);  // a tag goes without a question
    EXPECT_EQ(Texts(p, tree), "All|work") << "Delete did nothing after an edit ended by Esc";
    Key(p, VK_LEFT, Ctrl);
    EXPECT_EQ(Texts(p, tree), "All|Work*|Home");
    Save(p);
    const std::string saved = ReadFile(p.DatabasePath());
    const auto both = SavedTask(saved, "Both");
    ASSERT_FALSE(both.empty()) << saved;
    EXPECT_EQ(both[0], "[work]Both");
    EXPECT_EQ(both[3], "Work");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
