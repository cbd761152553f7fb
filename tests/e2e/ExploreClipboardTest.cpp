// The clipboard as other programs leave it: held open by another program
// while the user pastes, copies and ends the program, and tags pasted into
// the tags panel with the marks of the quick-entry text in them.
#include <gtest/gtest.h>

#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// Another program that holds the clipboard open, as a clipboard manager
// does while it reads it.
class TClipboardHolder {
public:
    TClipboardHolder() : FWindow(CreateWindowA("STATIC", "holder", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr)) {}
    ~TClipboardHolder() {
        Release();
        DestroyWindow(FWindow);
    }
    TClipboardHolder(const TClipboardHolder&) = delete;
    TClipboardHolder& operator=(const TClipboardHolder&) = delete;

    bool Hold() { return FHeld = OpenClipboard(FWindow) != FALSE; }
    void Release() {
        if (FHeld) CloseClipboard();
        FHeld = false;
    }

private:
    HWND FWindow;
    bool FHeld = false;
};

} // namespace

TEST(ExploreClipboardScenario, AClipboardHeldOpenByAnotherProgramNeitherHangsNorCrashesTheProgram) {
    TProgram p("clipboard-held");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(1));  // Write report: "Two pages"
    const HWND note = parts.NoteEditor;
    PutOnClipboard(L"pasted");
    TClipboardHolder holder;
    ASSERT_TRUE(holder.Hold());

    // Pastes into the note, the quick-entry box and the title editor take
    // nothing and come back at once, the keyboard where it was.
    Key(p, 'N', Shift);
    Key(p, VK_END, Ctrl);
    Key(p, 'V', Ctrl);
    EXPECT_EQ(TextOf(note), "Two pages\r\n");
    EXPECT_EQ(p.Focus(), note);
    Click(p, CenterOf(parts.TopEdit));
    Key(p, 'V', Ctrl);
    EXPECT_EQ(TextOf(parts.TopEdit), "");
    Click(p, parts.ListItem(1));
    Key(p, VK_RETURN);
    const HWND editor = p.Focus();
    Key(p, VK_END);
    Key(p, VK_INSERT, Shift);
    EXPECT_EQ(TextOf(editor), "Write report");
    Key(p, VK_ESCAPE);
    holder.Release();

    // Text copied from the note, and the clipboard held again as the
    // program ends: it ends cleanly (it crashed in the end of OLE, which
    // called into the freed rich-edit library) and saved the note typed.
    Key(p, 'N', Shift);
    Key(p, VK_END, Ctrl);
    Type(p, " more");
    Key(p, VK_HOME, Ctrl | Shift);
    Key(p, 'C', Ctrl);
    ASSERT_TRUE(holder.Hold());
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    holder.Release();
    EXPECT_EQ(Fields(TaskLine(ReadFile(p.DatabasePath()), "Write report")).at(5), "Two pages\xF8 more\xF8");
}

TEST(ExploreClipboardScenario, TagsPastedIntoTheTagsPanelLeaveTheQuickEntryMarksOut) {
    TProgram p("clipboard-tags");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.TreeRow(1));  // Work: Enter adds there
    Click(p, CenterOf(parts.TopEdit));
    Type(p, "Buy milk");
    Key(p, VK_HOME);
    Type(p, "[[");
    const HWND tagsEdit = p.Focus();
    ASSERT_NE(tagsEdit, parts.TopEdit) << "no tags panel";

    // The marks typed are swallowed; pasted they are left out too (they
    // went in, and the new task's title began with the tags after "]").
    PutOnClipboard(L"x]y;z[w, two");
    Key(p, 'V', Ctrl);
    EXPECT_EQ(TextOf(tagsEdit), "xyzw, two");
    Type(p, "s");
    EXPECT_EQ(TextOf(tagsEdit), "xyzw, twos") << "the caret moved";
    Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(parts.TopEdit), "[xyzw,twos]Buy milk");
    Key(p, VK_RETURN);

    // The tags of a task in the list, edited with Shift+T: the same.
    Click(p, parts.ListItem(0));
    Key(p, 'T', Shift);
    Key(p, VK_UP);  // from the tags to the edit
    PutOnClipboard(L"[home];");
    Key(p, 'V', Ctrl);
    EXPECT_EQ(TextOf(p.Focus()), "home");
    Key(p, VK_RETURN);

    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Buy milk")).at(0), "[xyzw,twos]Buy milk");
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom")).at(0), "+[home]Call Tom");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
