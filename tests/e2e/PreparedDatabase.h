// A database a user has worked in for a while, written as the program
// writes it, for the scenarios that need tasks from the first moment
// (exports, printing, sticky notes); and the main window's menus walked
// with the mouse and the keys.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "app/logic/Options.h"
#include "e2e/ExitsSupport.h"

namespace qelvo::e2e {

// One task of the prepared database as the window shows it.
struct TPreparedTask {
    std::string Title;
    std::string List;
    std::string Tags;       // comma list, "" = none
    std::string Due;        // month/day/year as the file keeps it, "" = none
    std::string DueShown;   // the same date as the window shows it (day first)
    int Priority = 1;       // 0 low, 1 normal, 2 high
    bool Done = false;
    std::vector<std::string> NoteLines;
};

// Three lists, tags, a done task, every priority, notes of one and of
// several lines, dates far from today so no "Today" or "Tomorrow" shows.
inline const std::vector<TPreparedTask>& PreparedTasks() {
    static const std::vector<TPreparedTask> tasks = {
        {"Book the ferry", "Holidays", "", "7/14/2031", "14/07/2031", 2, false, {"Night crossing", "Cabin for two"}},
        {"Call the plumber", "Home", "phone", "", "", 1, false, {}},
        {"Pay rent & <fees>", "Home", "bills", "3/5/2030", "05/03/2030", 2, true, {"Standing order"}},
        {"Buy milk", "Home", "food,shop", "", "", 0, false, {}},
        {"Write the quarterly report", "Work", "", "11/28/2031", "28/11/2031", 1, false, {"Figures from Ann"}},
        {"Renew the parking permit", "Work", "", "", "", 0, false, {}},
    };
    return tasks;
}

// Writes the prepared database to Path.
inline void WritePreparedDatabase(const std::string& path) {
    const std::string sep = "\xF7", line = "\xF8", eol = "\r\n";
    std::string text = "d_id-4711471147" + eol;
    text += "Holidays" + sep + "3" + sep + eol;
    text += "Home" + sep + "1" + sep + eol;
    text += "Work" + sep + "0" + sep + eol;
    text += "<--<*&^Folders^&*>-->" + eol;
    for (const char* tag : {"bills", "food", "phone", "shop"}) text += std::string(tag) + eol;
    text += "<--<*&^Tags^&*>-->" + eol;
    int id = 1;
    for (const TPreparedTask& t : PreparedTasks()) {
        std::string shortForm = t.Priority == 2 ? "+" : t.Priority == 0 ? "-" : "";
        if (!t.Due.empty()) shortForm += ";" + t.Due + ";";
        if (!t.Tags.empty()) shortForm += "[" + t.Tags + "]";
        shortForm += t.Title;
        std::string notes;
        for (const std::string& n : t.NoteLines) notes += n + line;
        char number[16];
        std::snprintf(number, sizeof number, "%010d", id++);
        text += shortForm + sep + (t.Done ? "-d-" : "--") + sep + number + sep + t.List + sep + "1/2/2025" + sep +
                notes + sep + eol;
    }
    WriteFile(path, text);
}

// Starts the program on the prepared database; its main window (nullptr
// when none came).
inline HWND StartOnPrepared(TProgram& p) {
    WritePreparedDatabase(p.DatabasePath());
    p.Start();
    return p.Main();
}

// Opens a menu of the main window's menu bar with a click on its caption
// (File at 18 pixels from the bar's left, View at 52, Tools at 88). The
// menu bar is the topmost bar (a bar floated and docked again comes first
// among the windows).
inline void OpenMainMenu(TProgram& p, HWND main, int captionX) {
    const std::vector<HWND> bars = ChildrenOfClass(main, "TXtToolbar.UnicodeClass");
    ASSERT_FALSE(bars.empty());
    const HWND topmost = *std::min_element(bars.begin(), bars.end(), [](HWND a, HWND b) {
        return RectOf(a).top < RectOf(b).top || (RectOf(a).top == RectOf(b).top && RectOf(a).left < RectOf(b).left);
    });
    const RECT menuBar = RectOf(topmost);
    Click(p, POINT{menuBar.left + captionX, menuBar.top + 11});
}
inline constexpr int FileMenuX = 18, ViewMenuX = 52, ToolsMenuX = 88;

// Opens a menu and takes its entry Steps downwards from the top (Steps
// > 0) or upwards from the bottom (Steps < 0), separators not counted.
inline void ChooseFromMenu(TProgram& p, HWND main, int captionX, int steps) {
    OpenMainMenu(p, main, captionX);
    for (int i = 0; i < steps; ++i) Key(p, VK_DOWN);
    for (int i = 0; i > steps; --i) Key(p, VK_UP);
    Key(p, VK_RETURN);
}


// Entries for ChooseFromMenu. File: Open..., Save as..., Clear
// database..., Print..., the exports to text, HTML and Pendrillax. View:
// Show Group By, Show Filters, the note panel, the Tags column. Tools:
// Make Sticky Note, the Sticky Notes submenu, Options... (the last).
inline constexpr int OpenSteps = 3, SaveAsSteps = 5, ClearDatabaseSteps = 7, PrintSteps = 8, ExportToTextSteps = 9,
                     ExportToHtmlSteps = 10, ExportToPendrillaxSteps = 11;
inline constexpr int ShowGroupBySteps = 5, ShowFiltersSteps = 6, ShowNotePanelSteps = 7, ShowTagsColumnSteps = 8;
inline constexpr int MakeStickyNoteSteps = 2, StickyNotesMenuSteps = 3, OptionsSteps = -1;

// Tools > Theme > the Index-th entry (Default first, then the other 20 by
// name), with the keyboard once the menu is open.
inline constexpr size_t ThemeCount = 21;
inline void ChooseTheme(TProgram& p, HWND main, size_t index) {
    OpenMainMenu(p, main, ToolsMenuX);
    Key(p, VK_UP);    // Options...
    Key(p, VK_UP);    // Theme
    Key(p, VK_RIGHT);
    // The menu wraps round: the shorter way to the entry.
    if (index <= ThemeCount / 2)
        for (size_t i = 0; i < index; ++i) Key(p, VK_DOWN);
    else
        for (size_t i = index; i < ThemeCount; ++i) Key(p, VK_UP);
    Key(p, VK_RETURN);
}

// What the caption ends with while auto-save is on but leaves the open
// database, which is not the default one.
inline constexpr const char* NotAutoSavedNote = "  [Not auto-saved: not the default database]";

// Tools > Options (the Tools menu's last entry) and the dialog's number
// boxes, top to bottom: list font size, note font size, auto-save
// interval; and the "Default Database :" box. Window is null when no
// dialog came, and the boxes when it has not three number boxes.
struct TOptionsDialog {
    HWND Window = nullptr;
    HWND ListFontSize = nullptr, NoteFontSize = nullptr, AutoSaveInterval = nullptr;
    HWND DefaultDatabase = nullptr;
    HWND Ok = nullptr;
};
// The Options dialog the program shows, waiting for it.
inline TOptionsDialog WaitOptionsDialog(TProgram& p) {
    TOptionsDialog d;
    d.Window = p.WaitActiveWindow("TOptionsF");
    if (!d.Window) {
        ADD_FAILURE() << "no Options window, or it was not activated";
        return d;
    }
    std::vector<HWND> spins = ChildrenOfClass(d.Window, "TTxcSpinEdit");
    std::sort(spins.begin(), spins.end(), [](HWND a, HWND b) { return RectOf(a).top < RectOf(b).top; });
    if (spins.size() != 3) {
        ADD_FAILURE() << "the Options window has " << spins.size() << " number boxes";
        return d;
    }
    d.ListFontSize = spins[0];
    d.NoteFontSize = spins[1];
    d.AutoSaveInterval = spins[2];
    const std::vector<HWND> edits = ChildrenOfClass(d.Window, "TTxcEdit");
    if (edits.size() == 1) d.DefaultDatabase = edits.front();
    for (HWND b : ChildrenOfClass(d.Window, "TTxcButton"))
        if (TextOf(b) == "Ok") d.Ok = b;
    return d;
}
inline TOptionsDialog OpenOptionsDialog(TProgram& p, HWND main) {
    ChooseFromMenu(p, main, ToolsMenuX, -1);
    return WaitOptionsDialog(p);
}

// The Options dialog's check boxes, top to bottom: start with Windows,
// minimise to tray, confirm delete, priority colours, auto-save.
inline std::vector<HWND> ChecksOf(HWND dialog) {
    std::vector<HWND> checks = ChildrenOfClass(dialog, "TCheckBox");
    std::sort(checks.begin(), checks.end(), [](HWND a, HWND b) { return RectOf(a).top < RectOf(b).top; });
    return checks;
}

// Waits for a window to close or hide; false when it stayed.
inline bool Closed(HWND w) {
    return WaitUntil([&] { return !IsWindow(w) || !IsWindowVisible(w); });
}

// A key of settings.ini's [Options] section as the program wrote it.
inline std::string Option(const TProgram& p, const std::string& key) {
    return IniValue(p.SettingsPath(), "Options", key);
}

// Puts a number into a number box as a user does: a click into it, the old
// number selected with the keys and typed over.
inline void TypeNumber(TProgram& p, HWND box, int value) {
    const RECT r = RectOf(box);
    Click(p, {r.left + 12, (r.top + r.bottom) / 2});
    Key(p, VK_END);
    Key(p, VK_HOME, Shift);
    Type(p, std::to_string(value));
}

// A point on a top-level window's caption, clear of its icon and buttons.
inline POINT CaptionPointOf(HWND w) {
    const RECT r = RectOf(w);
    return {(r.left + r.right) / 2, r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
}

// Clicks at a point with a modifier key held (VK_CONTROL, VK_SHIFT).
inline void ClickWith(TProgram& p, POINT at, WORD modifier) {
    MoveTo(p, at);
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = modifier;
    INPUT up = down;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &down, sizeof down);
    Click(p, at);
    SendInput(1, &up, sizeof up);
    p.Settle();
}

// The rows of the task list's right-hand part where an orange group line
// starts: the line under each group's caption and the one closing the
// group. Between them lie the group's rows, or the gap and the next caption.
inline std::vector<int> GroupBandRows(HWND main) {
    std::vector<int> rows;
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    if (lists.empty()) return rows;
    const RECT r = RectOf(lists.front());
    const std::vector<COLORREF> column = PixelsOf(RECT{r.right - 40, r.top, r.right - 39, r.bottom});
    bool inBand = false;
    for (size_t y = 0; y < column.size(); ++y) {
        const bool band = column[y] == static_cast<COLORREF>(DefaultUnderlineColor);
        if (band && !inBand) rows.push_back(static_cast<int>(y));
        inBand = band;
    }
    return rows;
}

// Rows of the list as one line of text, for a failure's message.
inline std::string Rows(const std::vector<int>& rows) {
    std::string s;
    for (int y : rows) s += std::to_string(y) + " ";
    return s;
}

// The title of the Index-th task of PreparedTasks() in the task list, as
// the prepared database shows at its start: grouped by list, in file order,
// with the default font size.
inline POINT PreparedTaskPoint(HWND main, size_t index) {
    static const int rowTops[] = {62, 129, 151, 173, 240, 262};
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    if (lists.empty() || index >= std::size(rowTops)) return {};
    const RECT r = RectOf(lists.front());
    return {r.left + 120, r.top + rowTops[index]};
}

// Answers the save dialog that is up as a user does: the file name typed
// where the dialog put the caret, then Enter; false when no dialog came or
// it did not close. With CheckKeyboard, the dialog's file name must have
// the keyboard when it comes.
inline bool TypeFileName(TProgram& p, const std::string& name, bool checkKeyboard = false) {
    HWND dialog = p.WaitDialog();
    if (!dialog) {
        ADD_FAILURE() << "no save dialog";
        return false;
    }
    if (checkKeyboard) {
        EXPECT_TRUE(IsChild(dialog, p.Focus())) << "the dialog's file name does not have the keyboard";
    }
    Type(p, name);
    Key(p, VK_RETURN);
    return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
}

// The save dialog that is up: its file name typed over what it offers,
// then Enter (a question it asks may follow). False when no dialog came.
inline bool ChooseFileName(TProgram& p, const std::string& name) {
    HWND dialog = p.WaitDialog();
    if (!dialog || ChildrenOfClass(dialog, "Edit").empty()) {
        ADD_FAILURE() << "no save dialog";
        return false;
    }
    Key(p, 'A', Ctrl);
    Type(p, name);
    Key(p, VK_RETURN);
    return true;
}

} // namespace qelvo::e2e
