// The side tree of lists and tags as an end-to-end scenario reads it from
// outside the program: its top-level nodes (text, place, selection),
// asked of the tree view through memory in the program's process; and
// the saved file's lines and task fields it is checked against.
#pragma once

#include <gtest/gtest.h>

#include "e2e/E2eDriver.h"

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

namespace qelvo::e2e {

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

inline LRESULT Ask(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(w, msg, wp, lp, SMTO_NORMAL, WaitBound, &result);
    return static_cast<LRESULT>(result);
}

// The top-level nodes of a tree view of the program, as it shows them.
inline std::vector<TNodeInfo> Nodes(const TProgram& p, HWND tree) {
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

inline std::string Texts(const std::vector<TNodeInfo>& nodes) {
    std::string all;
    for (const TNodeInfo& n : nodes) all += (all.empty() ? "" : "|") + n.Text + (n.Selected ? "*" : "");
    return all;
}

inline std::string Texts(const TProgram& p, HWND tree) { return Texts(Nodes(p, tree)); }

inline POINT Middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// Starts the program on a database file of the text File; its main window.
inline HWND StartOn(TProgram& p, const std::string& file) {
    WriteFile(p.DatabasePath(), file);
    p.Start();
    return p.Main();
}

inline HWND TreeOf(HWND main) {
    const auto trees = ChildrenOfClass(main, "TUniTreeView.UnicodeClass");
    return trees.empty() ? nullptr : trees.front();
}

// Clicks the middle of the top-level node showing text (right: with the
// right button).
inline void ClickNode(const TProgram& p, HWND tree, const std::string& text, bool right = false) {
    for (const TNodeInfo& n : Nodes(p, tree))
        if (n.Text == text) {
            Click(p, Middle(n.Rect), right);
            return;
        }
    ADD_FAILURE() << "no node " << text << " in " << Texts(p, tree);
}

// The "Tags" tab on the side panel's title bar.
inline POINT TagsTabPoint(HWND main) {
    for (HWND w : ChildrenOfClass(main, "TXtDockablePanelToolbar.UnicodeClass"))
        if (RectOf(w).right - RectOf(w).left < 300) return {RectOf(w).left + 86, RectOf(w).top + 11};
    return {};
}

// The lines of a saved file, without their line breaks.
inline std::vector<std::string> Lines(const std::string& file) {
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
inline std::vector<std::string> SavedTask(const std::string& file, const std::string& title) {
    for (const std::string& line : Lines(file)) {
        std::vector<std::string> fields;
        size_t pos = 0;
        for (size_t q; (q = line.find("\xF7", pos)) != std::string::npos; pos = q + 1)
            fields.push_back(line.substr(pos, q - pos));
        if (fields.size() >= 6 && fields[0].size() >= title.size() &&
            fields[0].compare(fields[0].size() - title.size(), title.size(), title) == 0)
            return fields;
    }
    return {};
}

// Lists Work (icon 0) and Home (icon 3), tags work and home; "Write
// report" and "Both" (tags work and home) in Work, "Buy milk" in Home.
inline std::string ThreeTasksDatabase() {
    const std::string sep = "\xF7";
    return "d_id-0123456789\r\nWork" + sep + "0" + sep + "\r\nHome" + sep + "3" + sep +
           "\r\n<--<*&^Folders^&*>-->\r\nwork\r\nhome\r\n<--<*&^Tags^&*>-->\r\n"
           "[work]Write report" + sep + "--" + sep + "1000000001" + sep + "Work" + sep + "1/2/2025" + sep + sep +
           "\r\n[home]Buy milk" + sep + "--" + sep + "1000000002" + sep + "Home" + sep + "1/2/2025" + sep + sep +
           "\r\n[work,home]Both" + sep + "--" + sep + "1000000003" + sep + "Work" + sep + "1/2/2025" + sep + sep +
           "\r\n";
}

// The message box that refuses a list or tag name (its text holds Word),
// answered with Enter; False when none came or it stayed.
inline bool NameRefused(TProgram& p, const std::string& what, const std::string& word = "A tag name cannot hold") {
    HWND box = p.WaitDialog();
    if (!box) {
        ADD_FAILURE() << what << " went in without a word";
        return false;
    }
    EXPECT_NE(ChildTexts(box).find(word), std::string::npos) << what << ": " << ChildTexts(box);
    Key(p, VK_RETURN);
    return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

} // namespace qelvo::e2e
