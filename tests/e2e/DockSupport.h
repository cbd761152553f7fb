// Helpers of the scenarios that move the main window's bars and panels
// with the mouse: finding the bars of the top dock, their grips, the
// floating windows and the two dockable panels.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/E2eDriver.h"
#include "e2e/ExitsSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

inline std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The toolbars of the main window's bar dock, top to bottom: the menu bar,
// the quick-entry bar, the group-by bar and the filter bar as they start.
inline std::vector<HWND> DockedBars(HWND main) {
    std::vector<HWND> bars;
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass"))
        if (ClassOf(GetParent(w)) == "TXtDock") bars.push_back(w);
    std::sort(bars.begin(), bars.end(), [](HWND a, HWND b) {
        const RECT ra = RectOf(a), rb = RectOf(b);
        return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    return bars;
}

// A point of a docked bar's grip.
inline POINT GripOf(HWND bar) {
    const RECT r = RectOf(bar);
    return POINT{r.left + 3, (r.top + r.bottom) / 2};
}

// The first floating window of the program (a floating bar or panel).
inline HWND FloatingWindow(const TProgram& p) {
    for (HWND w : p.TopWindows())
        if (ClassOf(w) == "TXtFloatingWindowParent") return w;
    return nullptr;
}

// The side panel (lists and tags) and the note panel ("Note").
inline HWND Panel(HWND main, bool note) {
    for (HWND w : ChildrenOfClass(main, "TXtDockablePanel.UnicodeClass"))
        if ((TextOf(w) == "Note") == note) return w;
    return nullptr;
}

// Starts the program on a database holding one task, "Alpha task" in the
// list Work; its main window, nullptr when none came.
inline HWND StartOnOneTask(TProgram& p) {
    WriteWorkDatabase(p.DatabasePath(), {"Alpha task"});
    p.Start();
    return p.Main();
}

inline int IniInt(const std::string& path, const std::string& section, const std::string& key) {
    return std::atoi(IniValue(path, section, key).c_str());
}

} // namespace qelvo::e2e
