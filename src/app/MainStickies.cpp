// The main window's sticky notes: loading the companion library, making,
// showing and closing the note windows, the notes' messages, and the main
// window's sticky-note commands.
#include "app/MainStickies.h"

#include "app/Main.h"
#include "app/logic/AppMessages.h"
#include "app/logic/LayoutSettings.h"
#include "app/logic/MainShell.h"
#include "app/logic/Options.h"
#include "data/uDataMan.h"
#include "gcl/Dialogs.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

TStickyNotes::TStickyNotes(std::string libraryPath, TScreenSize screenSize)
    : FLibraryPath(std::move(libraryPath)), FScreenSize(std::move(screenSize)),
      FCascade(FScreenSize().first, FScreenSize().second) {}

TStickyNotes::TStickyNotes(std::string libraryPath, int screenWidth, int screenHeight)
    : TStickyNotes(std::move(libraryPath), [screenWidth, screenHeight] { return std::pair(screenWidth, screenHeight); }) {}

TStickyNotes::TStickyNotes()
    : TStickyNotes(AppDir() + JotpaperLibraryName,
                   [] { return std::pair(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)); }) {}

void TStickyNotes::FollowScreen() {
    const auto [width, height] = FScreenSize();
    FCascade.SetScreen(width, height);
}

TStickyNotes::~TStickyNotes() {
    if (!FLibrary) return;
    // The note windows run the library's code: they go first.
    CloseAll();
    if (NoteWindows.IsEmpty()) FreeLibrary(FLibrary);
}

bool TStickyNotes::Available() {
    if (!FTried) {
        FTried = true;
        // The companion lies beside the program, not in the system folder,
        // so it is loaded by its full path (its own dependencies are looked
        // for beside it too).
        FLibrary = LoadLibraryExA(FLibraryPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        if (FLibrary)
            FShowDllForm = reinterpret_cast<TShowDllForm>(
                reinterpret_cast<void*>(GetProcAddress(FLibrary, ShowDllFormName)));
        if (!FShowDllForm) {
            if (FLibrary) FreeLibrary(FLibrary);
            FLibrary = nullptr;
            FReason = msg::StickyNotesMissing;
        }
    }
    return FShowDllForm != nullptr;
}

int TStickyNotes::Make(HWND parent, const std::vector<TNoteInfo>& notes) {
    if (!Available()) return 0;
    FollowScreen();
    int made = 0;
    for (const TNoteInfo& info : notes) {
        int left = 0, top = 0;
        FCascade.Next(left, top);
        HWND note = FShowDllForm(parent, info.Title.c_str(), info.Note.c_str(), info.DateFormat.c_str(), info.Flag1,
                                 info.Flag2, info.Due, left, top);
        if (!note) continue;
        NoteWindows.Add(reinterpret_cast<std::uintptr_t>(note));
        ++made;
    }
    return made;
}

void TStickyNotes::ShowAll() {
    for (std::uintptr_t handle : NoteWindows.Snapshot())
        SetWindowPos(reinterpret_cast<HWND>(handle), HWND_TOP, 0, 0, 0, 0, ShowAllFlags);
}

void TStickyNotes::CloseAll() {
    if (NoteWindows.IsEmpty()) return;
    // A note reports its closing while it is destroyed and so leaves the
    // list by itself; entries go by value, never by position.
    const bool empty =
        NoteWindows.CloseAll([](std::uintptr_t handle) { return DestroyWindow(reinterpret_cast<HWND>(handle)) != 0; });
    if (empty) {
        FollowScreen();
        FCascade.Reset();
    }
}

TNoteMessage TStickyNotes::CopyData(WPARAM wParam, std::uintptr_t code) {
    const TNoteMessage action = NoteMessageAction(code, !NoteWindows.IsEmpty());
    switch (action) {
    case TNoteMessage::Closed:
        NoteWindows.Remove(static_cast<std::uintptr_t>(wParam));
        if (NoteWindows.IsEmpty()) {
            FollowScreen();
            FCascade.Reset();
        }
        break;
    case TNoteMessage::CloseAll: CloseAll(); break;
    case TNoteMessage::ShowAll: ShowAll(); break;
    case TNoteMessage::Ignore: break;
    }
    return action;
}

bool MakeStickyNotes(TCustomGvListview* list, TStickyNotes& notes, HWND parent, const std::string& dateTimeFormat) {
    if (!notes.Available()) {
        gcl::ShowMessageBox(notes.GetUnavailableReason(), msg::AppTitle, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    TGvSelectionManager* selection = list->GetSelection();
    if (selection->GetCount() == 0) return true;
    if (selection->GetCount() > MaxStickyNotesAtOnce) {
        gcl::ShowMessageBox(gcl::Format(msg::TooManyStickyNotes, {MaxStickyNotesAtOnce, selection->GetCount()}),
                            msg::AppTitle, MB_OK | MB_ICONINFORMATION);
        return true;
    }
    std::vector<TNoteInfo> infos;
    for (TGvItem* item = selection->First(); item; item = selection->Next(item))
        if (const auto* task = static_cast<const TuTask*>(item->GetData()))
            infos.push_back(NoteInfoFor(*task, dateTimeFormat));
    struct TUpdate {
        TCustomGvListview* List;
        explicit TUpdate(TCustomGvListview* list) : List(list) { List->BeginUpdate(); }
        ~TUpdate() { List->EndUpdate(true); }
    } update(list);
    notes.Make(parent, infos);
    return true;
}

// ---- The main window's commands -------------------------------------------------------

void TMainForm::MakeStickyNoteAExecute(gcl::TObject*) {
    // A note being typed goes with its task onto the paper.
    CommitNote();
    if (MakeStickyNotes(List, StickyNotes, GetHandle(), Options.DateTimeFormat)) return;
    // Without the companion library the commands stay off, and say why.
    for (TMainAction* action : {MakeStickyNoteA, ShowAllSA, CloseAllSA}) {
        action->SetEnabled(false);
        action->SetHint(StickyNotes.GetUnavailableReason());
    }
}

void TMainForm::ShowAllSAExecute(gcl::TObject*) {
    StickyNotes.ShowAll();
}

void TMainForm::CloseAllSAExecute(gcl::TObject*) {
    StickyNotes.CloseAll();
}

void TMainForm::WMCopyData(gcl::TMessage& Message) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(Message.LParam);
    if (data) StickyNotes.CopyData(Message.WParam, data->dwData);
    Message.Result = 1;
}

} // namespace qelvo
