// The note panel's caption and commits; the sticky notes' cascade, window
// list and messages.
#include <gtest/gtest.h>

#include "app/logic/Notes.h"
#include "data/uDataMan.h"

namespace qelvo {
namespace {

TEST(Notes, Captions) {
    TuTask t;
    t.Title = "Call";
    EXPECT_EQ("No note - Call", NoteCaption(&t));
    t.Notes = "x\r\n";
    EXPECT_EQ("Note: Call", NoteCaption(&t));
    EXPECT_EQ("Note", NoteCaption(nullptr));
}

TEST(Notes, EditorCommitsToTheTaskItShows) {
    TuData data;
    TuTask a, b;
    a.Notes = "old a";
    b.Notes = "old b";
    TNoteEditor editor;
    EXPECT_EQ("old a", editor.Show(&a, "", data));
    EXPECT_FALSE(editor.Commit("unchanged", data));  // not typed: nothing written
    EXPECT_EQ("old a", a.Notes);
    EXPECT_FALSE(data.Modified);

    // Typing, then selecting another task: the text goes to the first one.
    editor.Show(&a, "", data);
    editor.Edited();
    EXPECT_EQ("old b", editor.Show(&b, "new a", data));
    EXPECT_EQ("new a", a.Notes);
    EXPECT_EQ("old b", b.Notes);
    EXPECT_TRUE(data.Modified);
    EXPECT_EQ(&b, editor.GetTask());

    // Esc drops the typing.
    editor.Edited();
    EXPECT_EQ("old b", editor.Revert(data));
    EXPECT_FALSE(editor.Commit("dropped", data));
    EXPECT_EQ("old b", b.Notes);

    // A save or exit commits whatever the selection is now.
    editor.Edited();
    EXPECT_TRUE(editor.Commit("new b", data));
    EXPECT_EQ("new b", b.Notes);

    // A task that goes away takes its pending edit with it.
    editor.Edited();
    editor.Forget(&a);  // not the shown one: nothing happens
    EXPECT_TRUE(editor.GetModified());
    editor.Forget(&b);
    EXPECT_EQ(nullptr, editor.GetTask());
    EXPECT_FALSE(editor.Commit("lost", data));
    EXPECT_EQ("", editor.Show(nullptr, "", data));
}

TEST(Notes, EditorCommitsAChangeFromTheShownTextWithoutTyping) {
    TuData data;
    TuTask a, b;
    a.Notes = "one\rtwo";
    b.Notes = "old b";
    TNoteEditor editor;
    // The window shows the note with its own line breaks: not a change.
    editor.Show(&a, "", data);
    editor.Shown("one\r\ntwo");
    EXPECT_FALSE(editor.Commit("one\r\ntwo", data));
    EXPECT_EQ("one\rtwo", a.Notes);
    EXPECT_FALSE(data.Modified);
    // A cut the window did not count as typing is written once; the text
    // written is the new one to compare with.
    EXPECT_TRUE(editor.Commit("two", data));
    EXPECT_EQ("two", a.Notes);
    EXPECT_TRUE(data.Modified);
    data.Modified = false;
    EXPECT_FALSE(editor.Commit("two", data));
    EXPECT_FALSE(data.Modified);
    // Showing another task writes a pending change to the first one.
    EXPECT_EQ("old b", editor.Show(&b, "wo", data));
    EXPECT_EQ("wo", a.Notes);
    EXPECT_EQ("old b", b.Notes);
    // Esc forgets the shown text until the window tells it again.
    editor.Shown("old b");
    editor.Revert(data);
    EXPECT_FALSE(editor.Commit("anything", data));
    EXPECT_EQ("old b", b.Notes);
    // A task gone takes the shown text with it.
    editor.Shown("old b");
    editor.Forget(&b);
    EXPECT_FALSE(editor.Commit("lost", data));
    EXPECT_EQ("old b", b.Notes);
}

TEST(Notes, EscAfterASaveInTheMiddleOfTheTypingGoesBackToTheNoteBeforeTheEdit) {
    TuData data;
    TuTask a, b;
    a.Notes = "old a";
    b.Notes = "old b";
    TNoteEditor editor;
    editor.Show(&a, "", data);
    // The auto-save takes the typing into the task (and so into the file)...
    editor.Edited();
    EXPECT_TRUE(editor.Commit("old a, new", data, true));
    EXPECT_EQ("old a, new", a.Notes);
    editor.Edited();
    EXPECT_TRUE(editor.Commit("old a, newer", data, true));
    // ... and Esc drops the whole edit, a change for the next save.
    data.Modified = false;
    EXPECT_EQ("old a", editor.Revert(data));
    EXPECT_EQ("old a", a.Notes);
    EXPECT_TRUE(data.Modified);
    // A save the user asked for, or leaving the note, ends the edit: Esc
    // then goes back to what was written.
    editor.Edited();
    editor.Commit("kept", data, true);
    editor.Edited();
    EXPECT_TRUE(editor.Commit("kept too", data));
    data.Modified = false;
    EXPECT_EQ("kept too", editor.Revert(data));
    EXPECT_FALSE(data.Modified);
    // Another task shown ends it as well.
    editor.Edited();
    editor.Commit("typed in a", data, true);
    EXPECT_EQ("old b", editor.Show(&b, "typed in a", data));
    EXPECT_EQ("old b", editor.Revert(data));
    EXPECT_EQ("typed in a", a.Notes);
}

TEST(Notes, Cascade) {
    TNoteCascade c(1024, 768);
    int left = 0, top = 0;
    c.Next(left, top);
    EXPECT_EQ(256 + 40, left);
    EXPECT_EQ(192 + 40, top);
    c.Next(left, top);
    EXPECT_EQ(336, left);
    EXPECT_EQ(272, top);
    // Near the bottom (top > 468): a sixth down, a third further left.
    for (int i = 0; i < 4; ++i) c.Next(left, top);
    EXPECT_EQ(496, left);
    EXPECT_EQ(432, top);
    c.Next(left, top);  // 536, 472: restart
    EXPECT_EQ(536 - 536 / 3, left);
    EXPECT_EQ(128, top);
    // Near the right edge (left > 624): an eighth of the left.
    TNoteCascade r(1024, 2000);
    for (int i = 0; i < 9; ++i) r.Next(left, top);
    EXPECT_EQ(616, left);
    r.Next(left, top);
    EXPECT_EQ(656 / 8, left);
    EXPECT_EQ(2000 / 6, top);
    r.Reset();
    EXPECT_EQ(256, r.GetLeft());
    EXPECT_EQ(500, r.GetTop());
}

TEST(Notes, WindowListAndMessages) {
    TNoteWindowList list;
    list.Add(11);
    list.Add(22);
    list.Add(33);
    // A note that reports its own closing while Close All runs removes
    // only itself; the next one is still closed.
    std::vector<std::uintptr_t> destroyed;
    const bool empty = list.CloseAll([&](std::uintptr_t h) {
        destroyed.push_back(h);
        if (h == 11) list.Remove(11);  // code 0 during DestroyWindow
        return h != 33;                // 33 refuses
    });
    EXPECT_FALSE(empty);
    EXPECT_EQ((std::vector<std::uintptr_t>{11, 22, 33}), destroyed);
    EXPECT_EQ((std::vector<std::uintptr_t>{33}), list.Snapshot());
    EXPECT_FALSE(list.Remove(22));
    EXPECT_TRUE(list.Remove(33));
    EXPECT_TRUE(list.IsEmpty());

    EXPECT_EQ(TNoteMessage::Ignore, NoteMessageAction(0, false));
    EXPECT_EQ(TNoteMessage::Closed, NoteMessageAction(0, true));
    EXPECT_EQ(TNoteMessage::CloseAll, NoteMessageAction(1, true));
    EXPECT_EQ(TNoteMessage::ShowAll, NoteMessageAction(2, true));
    EXPECT_EQ(TNoteMessage::Ignore, NoteMessageAction(3, true));

    TuTask t;
    t.Title = "T";
    t.Notes = "N";
    t.Due = 45000;
    const TNoteInfo info = NoteInfoFor(t, "ddddd");
    EXPECT_EQ("T", info.Title);
    EXPECT_EQ("N", info.Note);
    EXPECT_EQ("ddddd", info.DateFormat);
    EXPECT_EQ(45000, info.Due);
    EXPECT_FALSE(info.Flag1 || info.Flag2);
}

} // namespace
} // namespace qelvo
