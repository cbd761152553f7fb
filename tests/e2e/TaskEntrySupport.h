// What the quick-entry and editing scenarios share: a prepared database of
// two lists, the places of the main window's controls, the task lines of
// the saved file, text on the clipboard and the word that refuses text the
// database cannot hold.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/E2eDriver.h"

namespace qelvo::e2e {

// Lists "Work" (icon 0) and "Home" (icon 3), the tag "home", and in Work
// the tasks "Call Tom" (high priority) and "Write report" (with a note).
inline std::string TwoListsDatabase() {
    return "d_id-0123456789\r\n"
           "Work\xF7" "0\xF7\r\n"
           "Home\xF7" "3\xF7\r\n"
           "<--<*&^Folders^&*>-->\r\n"
           "home\r\n"
           "<--<*&^Tags^&*>-->\r\n"
           "+Call Tom\xF7--\xF7" "1111111111\xF7Work\xF7" "1/2/2025\xF7\xF7\r\n"
           "Write report\xF7--\xF7" "2222222222\xF7Work\xF7" "1/2/2025\xF7Two pages\xF8\xF7\r\n";
}

// Starts the program on TwoListsDatabase and returns its main window.
inline HWND StartOnTwoLists(TProgram& p) {
    WriteFile(p.DatabasePath(), TwoListsDatabase());
    p.Start();
    return p.Main();
}

// The text of a window as wide text, asked across processes.
inline std::wstring WideTextOf(HWND w) {
    wchar_t text[4096] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(w, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &copied);
    return text;
}

// The note editor's window, looked for each time it is used: the program
// makes it when it is first needed (a task chosen, its place clicked or
// reached by Tab), so it may be missing when the parts are first read.
struct TNoteEditorWindow {
    HWND Main = nullptr;
    HWND Get() const {
        const std::vector<HWND> all = ChildrenOfClass(Main, "TKitRichEdit");
        return all.empty() ? nullptr : all.front();
    }
    operator HWND() const { return Get(); }
};

// The controls a user finds on the main window.
struct TMainWindowParts {
    HWND Main = nullptr;
    HWND TopEdit = nullptr;      // the quick-entry edit
    HWND List = nullptr;         // the task list
    HWND Tree = nullptr;         // lists and tags
    HWND NewListLabel = nullptr; // "< New List >"
    HWND NotePanel = nullptr;    // its caption is the note's title
    HWND SidePanel = nullptr;    // the panel holding the tree, under its tabs
    TNoteEditorWindow NoteEditor;

    explicit TMainWindowParts(HWND main) : Main(main) {
        for (HWND w : ChildrenOfClass(main, "TXtEdit.UnicodeClass"))
            if (ClassOf(GetParent(w)) == "TXtToolbar.UnicodeClass") TopEdit = w;
        List = First(ChildrenOfClass(main, "TGvListview"));
        Tree = First(ChildrenOfClass(main, "TUniTreeView.UnicodeClass"));
        NoteEditor.Main = main;
        for (HWND w : ChildrenOfClass(main, "TXtLabel.UnicodeClass"))
            if (TextOf(w) == "< New List >" || TextOf(w) == "< New tag >") NewListLabel = w;
        // The note's panel is the dockable panel that does not hold the tree.
        for (HWND w : ChildrenOfClass(main, "TXtDockablePanel.UnicodeClass"))
            (IsChild(w, Tree) ? SidePanel : NotePanel) = w;
    }
    static HWND First(const std::vector<HWND>& all) { return all.empty() ? nullptr : all.front(); }

    // The middle of row Index of the side tree (rows of 24 pixels).
    POINT TreeRow(int index) const {
        const RECT r = RectOf(Tree);
        return {r.left + 60, r.top + 12 + 24 * index};
    }
    // The middle of task Index of the list's first group (under the header
    // and the group's caption; rows are 23 pixels high), X pixels from the
    // list's left edge (10 is the check box).
    POINT ListItem(int index, int x = 120) const {
        const RECT r = RectOf(List);
        return {r.left + x, r.top + 64 + 23 * index};
    }
    // The "Add:" drop-down of the quick-entry bar.
    POINT AddButton() const {
        const RECT r = RectOf(TopEdit);
        return {r.left - 30, (r.top + r.bottom) / 2};
    }
    std::string NoteCaption() const { return TextOf(NotePanel); }
    // The chosen task's title, which the note panel names ("No note -
    // Title"); "Note" when none is chosen.
    std::string ChosenTask() const {
        const std::string caption = NoteCaption();
        const std::string prefix = "No note - ";
        return caption.compare(0, prefix.size(), prefix) == 0 ? caption.substr(prefix.size()) : caption;
    }
};

// The sort mark of the task list's header column whose right edge is at
// client x Right (Origin: the list's client origin on the screen): 1
// pointing up (ascending), -1 pointing down, 0 none. The mark is a grey
// triangle at the column's right end, widest at its base.
inline int SortMarkOf(POINT origin, int right) {
    const RECT area{origin.x + right - 22, origin.y + 2, origin.x + right - 3, origin.y + 19};
    const std::vector<COLORREF> pixels = PixelsOf(area);
    const int width = area.right - area.left;
    std::vector<int> rows;
    for (size_t row = 0; row * width < pixels.size(); ++row) {
        int count = 0;
        for (int x = 0; x < width; ++x)
            if (pixels[row * width + x] == RGB(128, 128, 128)) ++count;
        if (count > 0) rows.push_back(count);
    }
    if (rows.size() < 2 || rows.front() == rows.back()) return 0;
    return rows.front() < rows.back() ? 1 : -1;
}

// A point of a dockable panel's caption bar where no tab or button lies,
// to drag the panel by.
inline POINT PanelCaptionPoint(HWND panel) {
    const std::vector<HWND> caption = ChildrenOfClass(panel, "TXtDockablePanelToolbar.UnicodeClass");
    if (caption.empty()) return POINT{};
    const RECT r = RectOf(caption.front());
    return POINT{r.right - 40, (r.top + r.bottom) / 2};
}

// The visible top-level windows of a class (a calendar, a drop-down list).
inline std::vector<HWND> VisibleTops(const TProgram& p, const std::string& className) {
    std::vector<HWND> out;
    for (HWND w : p.TopWindows())
        if (ClassOf(w) == className) out.push_back(w);
    return out;
}

// The task lines of a saved database (after the tags marker).
inline std::vector<std::string> TaskLines(const std::string& file) {
    std::vector<std::string> lines;
    const std::string marker = "<--<*&^Tags^&*>-->\r\n";
    size_t at = file.find(marker);
    if (at == std::string::npos) return lines;
    at += marker.size();
    while (at < file.size()) {
        size_t end = file.find("\r\n", at);
        if (end == std::string::npos) end = file.size();
        if (end > at) lines.push_back(file.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// The task line whose title part contains Title ("" when none).
inline std::string TaskLine(const std::string& file, const std::string& title) {
    for (const std::string& line : TaskLines(file)) {
        const std::string shortForm = line.substr(0, line.find('\xF7'));
        if (shortForm.find(title) != std::string::npos) return line;
    }
    return std::string();
}

// The fields of a task line: short form, done mark, id, list, created, note.
inline std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> out;
    size_t at = 0;
    for (size_t end; (end = line.find('\xF7', at)) != std::string::npos; at = end + 1)
        out.push_back(line.substr(at, end - at));
    return out;
}

// The list the saved task whose title part holds Title belongs to ("" when
// none).
inline std::string ListOf(const std::string& file, const std::string& title) {
    const std::vector<std::string> fields = Fields(TaskLine(file, title));
    return fields.size() > 3 ? fields[3] : std::string();
}

// The popup menus shown now, the first opened first.
inline std::vector<HWND> PopupMenus(const TProgram& p) {
    std::vector<HWND> out;
    for (HWND w : p.TopWindows())
        if (ClassOf(w) == "TXtPopupWindow") out.insert(out.begin(), w);
    return out;
}

// Waits until the program shows Count menus: a menu comes, or goes, a
// moment after the input that opens or closes it is taken.
inline bool MenusShown(const TProgram& p, size_t count) {
    return WaitUntil([&] { return PopupMenus(p).size() == count; });
}

// Puts Text on the clipboard as the user's other programs would.
inline void PutOnClipboard(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    auto* chars = static_cast<wchar_t*>(GlobalLock(block));
    text.copy(chars, text.size());
    chars[text.size()] = 0;
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

// The message box that says why text the database cannot hold did not go
// in, answered with Enter.
inline bool RefusedWithAWord(TProgram& p, const char* what) {
    HWND box = p.WaitDialog();
    if (!box) {
        ADD_FAILURE() << what << " went in without a word";
        return false;
    }
    EXPECT_EQ(TextOf(box), "Qelvo") << what;
    EXPECT_NE(ChildTexts(box).find("8-bit character set"), std::string::npos) << what << ": " << ChildTexts(box);
    Key(p, VK_RETURN);
    return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

// The edit menu that a right click (or the menu key) opened; nullptr when
// none came.
inline HWND OpenEditMenu(TProgram& p, HWND edit, bool byKey = false) {
    if (byKey) {
        Key(p, VK_APPS);
    } else {
        const RECT r = RectOf(edit);
        Click(p, POINT{r.left + 20, (r.top + r.bottom) / 2}, true);
    }
    HWND menu = nullptr;
    WaitUntil([&] {
        for (HWND w : p.TopWindows())
            if (ClassOf(w) == "#32768") menu = w;
        return menu != nullptr;
    }, 3000);
    return menu;
}

// Chooses a command of an edit's menu by its underlined letter.
inline void ChooseFromEditMenu(TProgram& p, HWND edit, char letter) {
    ASSERT_NE(OpenEditMenu(p, edit), nullptr);
    Key(p, letter);
}

// The popup menu that is up (a context menu, a menu of the menu bar or of
// a bar's button); nullptr when none is.
inline HWND PopupOf(const TProgram& p) {
    for (HWND w : p.TopWindows())
        if (ClassOf(w) == "TXtPopupWindow") return w;
    return nullptr;
}

// Field Index of the saved task line whose title part holds Title ("" when
// none does).
inline std::string FieldOf(const std::string& file, const std::string& title, size_t index) {
    const std::vector<std::string> fields = Fields(TaskLine(file, title));
    return index < fields.size() ? fields[index] : std::string();
}

// The short form (priority, due date, tags, title) of the saved task whose
// title part holds Title ("" when there is none).
inline std::string ShortFormOf(const std::string& file, const std::string& title) { return FieldOf(file, title, 0); }

inline int WidthOf(HWND w) {
    const RECT r = RectOf(w);
    return r.right - r.left;
}

// The background of the selected row in the first-start theme: the
// highlight blended half into the white.
inline constexpr COLORREF SelectionBlue = RGB(0x97, 0xCA, 0xFC);

// The group-by toolbar: the narrowest bar below the quick-entry bar.
inline HWND GroupByBar(HWND main, const TMainWindowParts& parts) {
    HWND groupBy = nullptr;
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass")) {
        const RECT r = RectOf(w);
        if (r.right - r.left < 300 && r.top > RectOf(parts.TopEdit).bottom &&
            (!groupBy || r.top < RectOf(groupBy).top))
            groupBy = w;
    }
    return groupBy;
}

// A key of the "columns" section of the program's column settings file.
inline std::string Inicol(const TProgram& p, const char* key) {
    return IniValue(p.SettingsPath() + "col", "columns", key);
}

} // namespace qelvo::e2e
