// The note panel's rules (the caption, and when the editor's text goes
// back into a task) and the sticky-note windows' bookkeeping (the cascade
// of their positions, the list of open note windows and the messages
// they send).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qelvo {

class TuData;
class TuTask;

// ---- Note panel -----------------------------------------------------------------

// "Note: " + title when the task has a note, "No note - " + title when
// not, "Note" without a task.
std::string NoteCaption(const TuTask* task);

// The note editor as a small state machine. It remembers the task whose
// note it shows, so an edit is always written to that task, never to
// whatever is selected later. Commit runs before every selection change,
// refresh, save, close or exit.
class TNoteEditor {
public:
    // Shows Task's note (nullptr clears the editor): commits a pending edit
    // first. Returns the editor's new text.
    std::string Show(TuTask* task, const std::string& editorText, TuData& data);
    // The user typed: the editor is modified.
    void Edited() { FModified = true; }
    // The editor's text as it reads once a note is shown (in its own form
    // of line breaks): a text that differs from it at a commit was edited,
    // however the change came (an editor's window may not count a cut, a
    // clear or an undo as typing). Show and Revert forget it.
    void Shown(std::string editorText) { FShown = std::move(editorText); }
    // Writes a modified editor into its task (Data becomes modified);
    // False when there was nothing to write. With TypingGoesOn (a save the
    // user did not ask for, in the middle of the typing) the note as it was
    // before the edit stays what Esc goes back to.
    bool Commit(const std::string& editorText, TuData& data, bool typingGoesOn = false);
    // Esc: the edit is dropped; returns the stored note to show again (the
    // one from before the edit, put back when a save took the typing).
    std::string Revert(TuData& data);
    // The task is going away (deleted, database cleared or reloaded): a
    // pending edit goes with it.
    void Forget(const TuTask* task);
    void ForgetAll();
    TuTask* GetTask() const { return FTask; }
    bool GetModified() const { return FModified; }

private:
    TuTask* FTask = nullptr;
    bool FModified = false;
    std::optional<std::string> FShown;
    std::optional<std::string> FBefore;
};

// ---- Sticky notes -------------------------------------------------------------------

// What ShowDllForm gets for one task.
struct TNoteInfo {
    std::string Title;
    std::string Note;
    std::string DateFormat;
    double Due = 0;
    bool Flag1 = false;
    bool Flag2 = false;
};
TNoteInfo NoteInfoFor(const TuTask& task, const std::string& dateTimeFormat);

// The cascade of new note windows over a screen of the given size.
class TNoteCascade {
public:
    TNoteCascade(int screenWidth, int screenHeight);
    // The position of the next note: 40 pixels right and down; near the
    // bottom it restarts a sixth down and a third further left, near the
    // right edge at an eighth of the current left.
    void Next(int& left, int& top);
    // Back to a quarter of the screen (when no note is open any more).
    void Reset();
    // The screen's size from now on (the display was changed): the next
    // places are kept on it by the rules above.
    void SetScreen(int screenWidth, int screenHeight);
    int GetLeft() const { return FLeft; }
    int GetTop() const { return FTop; }

private:
    int FScreenWidth, FScreenHeight;
    int FLeft, FTop;
};

// The open note windows by their handle values. Entries are found by
// value, so a note that removes itself while others are being closed
// never costs another note its entry.
class TNoteWindowList {
public:
    void Add(std::uintptr_t handle) { FHandles.push_back(handle); }
    // True when the handle was listed.
    bool Remove(std::uintptr_t handle);
    bool IsEmpty() const { return FHandles.empty(); }
    int Count() const { return static_cast<int>(FHandles.size()); }
    // A copy to walk while windows close.
    std::vector<std::uintptr_t> Snapshot() const { return FHandles; }

    // Close All: destroys every listed window (Destroy reports success);
    // destroyed ones leave the list, failures stay. True when the list
    // ended empty.
    template <class TDestroy>
    bool CloseAll(TDestroy destroy) {
        for (std::uintptr_t h : Snapshot())
            if (destroy(h)) Remove(h);
        return IsEmpty();
    }

private:
    std::vector<std::uintptr_t> FHandles;
};

// The open note windows of this run.
extern TNoteWindowList NoteWindows;

// WM_COPYDATA codes of the note windows.
enum class TNoteMessage { Ignore, Closed, CloseAll, ShowAll };
// Messages count only while a note is open; unknown codes are ignored.
TNoteMessage NoteMessageAction(std::uintptr_t code, bool anyNoteOpen);
// SetWindowPos flags of Show All: no size, no move, no activation.
inline constexpr unsigned ShowAllFlags = 19;
// The most notes one command makes: each is a window of its own, a
// thousand of them keep the program busy for seconds and more than a few
// thousand run out of the system's window handles.
inline constexpr int MaxStickyNotesAtOnce = 100;

} // namespace qelvo
