// Note panel captions and commits; sticky-note cascade and window list.
#include "app/logic/Notes.h"

#include <algorithm>

#include "data/uDataMan.h"

namespace qelvo {

TNoteWindowList NoteWindows;

std::string NoteCaption(const TuTask* task) {
    if (!task) return "Note";
    return (task->Notes.empty() ? "No note - " : "Note: ") + task->Title;
}

std::string TNoteEditor::Show(TuTask* task, const std::string& editorText, TuData& data) {
    Commit(editorText, data);
    FTask = task;
    FModified = false;
    FShown.reset();
    FBefore.reset();
    return task ? task->Notes : std::string();
}

bool TNoteEditor::Commit(const std::string& editorText, TuData& data, bool typingGoesOn) {
    const bool write = FTask && (FModified || (FShown && editorText != *FShown));
    if (!typingGoesOn)
        FBefore.reset();
    else if (write && !FBefore)
        FBefore = FTask->Notes;
    if (write) {
        FTask->Notes = editorText;
        data.Modified = true;
    }
    FModified = false;
    // The editor keeps showing the text: only a change from here counts.
    if (FShown) *FShown = editorText;
    return write;
}

std::string TNoteEditor::Revert(TuData& data) {
    FModified = false;
    FShown.reset();
    if (FTask && FBefore && FTask->Notes != *FBefore) {
        FTask->Notes = *FBefore;
        data.Modified = true;
    }
    FBefore.reset();
    return FTask ? FTask->Notes : std::string();
}

void TNoteEditor::Forget(const TuTask* task) {
    if (task && task == FTask) ForgetAll();
}

void TNoteEditor::ForgetAll() {
    FTask = nullptr;
    FModified = false;
    FShown.reset();
    FBefore.reset();
}

TNoteInfo NoteInfoFor(const TuTask& task, const std::string& dateTimeFormat) {
    TNoteInfo info;
    info.Title = task.Title;
    info.Note = task.Notes;
    info.DateFormat = dateTimeFormat;
    info.Due = task.Due;
    return info;
}

TNoteCascade::TNoteCascade(int screenWidth, int screenHeight)
    : FScreenWidth(screenWidth), FScreenHeight(screenHeight), FLeft(screenWidth / 4), FTop(screenHeight / 4) {}

void TNoteCascade::Next(int& left, int& top) {
    FLeft += 40;
    FTop += 40;
    if (FTop > FScreenHeight - 300) {
        FLeft -= FLeft / 3;
        FTop = FScreenHeight / 6;
    }
    if (FLeft > FScreenWidth - 400) {
        FLeft /= 8;
        FTop = FScreenHeight / 6;
    }
    left = FLeft;
    top = FTop;
}

void TNoteCascade::Reset() {
    FLeft = FScreenWidth / 4;
    FTop = FScreenHeight / 4;
}

void TNoteCascade::SetScreen(int screenWidth, int screenHeight) {
    FScreenWidth = screenWidth;
    FScreenHeight = screenHeight;
}

bool TNoteWindowList::Remove(std::uintptr_t handle) {
    const auto it = std::find(FHandles.begin(), FHandles.end(), handle);
    if (it == FHandles.end()) return false;
    FHandles.erase(it);
    return true;
}

TNoteMessage NoteMessageAction(std::uintptr_t code, bool anyNoteOpen) {
    if (!anyNoteOpen) return TNoteMessage::Ignore;
    switch (code) {
    case 0: return TNoteMessage::Closed;
    case 1: return TNoteMessage::CloseAll;
    case 2: return TNoteMessage::ShowAll;
    default: return TNoteMessage::Ignore;
    }
}

} // namespace qelvo
