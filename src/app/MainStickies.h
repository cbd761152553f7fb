// The main window's sticky notes: the companion library loaded from the
// program's folder on first use, the note windows it opens (kept in
// NoteWindows) placed by the cascade, Show All, Close All, and the
// WM_COPYDATA messages the notes send back.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/jotpaper/Jotpaper.h"
#include "app/logic/Notes.h"
#include "listview/GvListview.h"

namespace qelvo {

class TStickyNotes {
public:
    // The screen's width and height as they are now.
    using TScreenSize = std::function<std::pair<int, int>()>;

    // Notes made through the library at LibraryPath (by default the
    // program's folder + "Jotpaper.dll"), on a screen whose size ScreenSize
    // tells each time a note is placed (a display may change while the
    // program runs), or on a screen of a fixed size.
    TStickyNotes(std::string libraryPath, TScreenSize screenSize);
    TStickyNotes(std::string libraryPath, int screenWidth, int screenHeight);
    // The primary screen and the library beside the program.
    TStickyNotes();
    // Closes the notes still open before the library goes.
    ~TStickyNotes();
    TStickyNotes(const TStickyNotes&) = delete;
    TStickyNotes& operator=(const TStickyNotes&) = delete;

    // Loads the library on the first call; False (with GetUnavailableReason)
    // when it or its ShowDllForm is missing. The answer is kept.
    bool Available();
    const std::string& GetUnavailableReason() const noexcept { return FReason; }
    const std::string& GetLibraryPath() const noexcept { return FLibraryPath; }

    // One note window per note, each at the cascade's next position, for
    // the window Parent; the handles go to NoteWindows. Returns how many
    // windows were made (0 when the library is unavailable).
    int Make(HWND parent, const std::vector<TNoteInfo>& notes);
    // Brings every note to the top without moving or activating it.
    void ShowAll();
    // Destroys every note; notes that could not be destroyed stay listed.
    // An empty list puts the cascade back at its start.
    void CloseAll();
    // A WM_COPYDATA message from a note (wParam, the data's dwData):
    // 0 forgets that note, 1 closes all, 2 shows all; acted on only while
    // a note is open. Returns what was done.
    TNoteMessage CopyData(WPARAM wParam, std::uintptr_t code);

    const TNoteCascade& GetCascade() const noexcept { return FCascade; }

private:
    // The cascade takes the screen's size of the moment.
    void FollowScreen();

    std::string FLibraryPath;
    TScreenSize FScreenSize;
    TNoteCascade FCascade;
    HMODULE FLibrary = nullptr;
    TShowDllForm FShowDllForm = nullptr;
    bool FTried = false;
    std::string FReason;
};

// Make Sticky Note: one note per task selected in List (in selection
// order, the note showing its due date in DateTimeFormat), inside one
// update bracket of the list that ends however the calls end. Without
// the library the reason is shown and False returned (the caller turns
// the sticky-note commands off); True otherwise.
bool MakeStickyNotes(TCustomGvListview* list, TStickyNotes& notes, HWND parent, const std::string& dateTimeFormat);

} // namespace qelvo
