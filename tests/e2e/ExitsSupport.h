// Small helpers of the exit, save and settings scenarios: databases
// written and read with the program's own data layer, the window's close
// box, the buttons of a message box and the notification area.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "data/uDataMan.h"
#include "e2e/BarItemsSupport.h"
#include "e2e/E2eDriver.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

// Writes a database holding the list Work and in it the tasks titles, in
// that order; then the empty lists OtherLists.
inline void WriteWorkDatabase(const std::string& path, const std::vector<std::string>& titles,
                              const std::vector<std::string>& otherLists = {}) {
    MakeFolderOf(path);
    TuData data;
    data.Folders->Add("Work\xF7" "0\xF7");
    for (const std::string& list : otherLists) data.Folders->Add(list + "\xF7" "1\xF7");
    for (const std::string& title : titles) {
        TuTask* task = new TuTask();
        task->Title = title;
        task->Folder = std::string("Work");
        data.Tasks->AddObject(title, task);
    }
    data.SaveToFile(path);
}

// "Task 00" .. "Task <count - 1>", in that order.
inline std::vector<std::string> NumberedTitles(int count) {
    std::vector<std::string> titles;
    for (int i = 0; i < count; ++i) {
        char title[16];
        std::snprintf(title, sizeof title, "Task %02d", i);
        titles.push_back(title);
    }
    return titles;
}

// Writes a database holding the list Work and no task.
inline void WriteEmptyDatabase(const std::string& path) { WriteWorkDatabase(path, {}); }


// Task 00 .. Task <count - 1> in the list Work.
inline void WriteNumberedTasks(const std::string& path, int count) { WriteWorkDatabase(path, NumberedTitles(count)); }

using TTitles = std::vector<std::string>;

// Whether Titles holds Title.
inline bool Holds(const TTitles& titles, const std::string& title) {
    return std::find(titles.begin(), titles.end(), title) != titles.end();
}

// The task titles of a database file, in file order; {"<unreadable>"}
// when it cannot be read.
inline std::vector<std::string> TitlesIn(const std::string& path) {
    TuData data;
    if (!data.LoadFromFile(path)) return {"<unreadable>"};
    std::vector<std::string> titles;
    for (int i = 0; i < data.Tasks->GetCount(); ++i) titles.push_back(std::string(data.Tasks->GetTask(i)->Title));
    return titles;
}

// The list names of a database file.
inline std::vector<std::string> ListsIn(const std::string& path) {
    TuData data;
    std::vector<std::string> lists;
    if (!data.LoadFromFile(path)) return lists;
    for (int i = 0; i < data.Folders->GetCount(); ++i) {
        const std::string line = data.Folders->Get(i);
        lists.push_back(line.substr(0, line.find('\xF7')));
    }
    return lists;
}

// The close box at the right end of a top-level window's caption.
inline POINT CloseBoxOf(HWND w) {
    const RECT r = RectOf(w);
    const int frame = GetSystemMetrics(SM_CXFRAME), size = GetSystemMetrics(SM_CXSIZE);
    return {r.right - frame - size / 2, r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
}

// The button of a message box or dialog whose text is Caption.
inline HWND ButtonOf(HWND box, const std::string& caption) {
    for (HWND b : ChildrenOfClass(box, "Button"))
        if (TextOf(b) == caption) return b;
    return nullptr;
}

// Waits for a message box, checks it holds Text, and clicks the button
// Caption ("&Yes", "&No", "Cancel", "OK"). False when any of it failed.
inline bool Answer(TProgram& p, const std::string& text, const std::string& caption) {
    HWND box = p.WaitDialog();
    if (!box) return false;
    const std::string texts = ChildTexts(box);
    if (texts.find(text) == std::string::npos) {
        ADD_FAILURE() << "the box says:\n" << texts << "expected:\n" << text;
        return false;
    }
    HWND button = ButtonOf(box, caption);
    if (!button) {
        ADD_FAILURE() << "no button " << caption << " in:\n" << texts;
        return false;
    }
    Click(p, CenterOf(button));
    return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

// Types a task into the focused quick-entry box and adds it (AddTask
// first focuses the box with New task, Ctrl+N);
// when "All" is the current list, the first list of the menu of lists
// that opens takes it.
inline void EnterTask(TProgram& p, const std::string& title) {
    Type(p, title);
    Key(p, VK_RETURN);
    if (p.TopWindows().size() > 1) {
        Key(p, VK_DOWN);
        Key(p, VK_RETURN);
    }
}
inline void AddTask(TProgram& p, const std::string& title) {
    Key(p, 'N', Ctrl);
    EnterTask(p, title);
}

// Answers the save dialog that is up with a full file name.
inline bool SaveDialogAnswer(TProgram& p, const std::string& fileName) {
    HWND dialog = p.WaitDialog();
    if (!dialog || ChildrenOfClass(dialog, "Edit").empty()) {
        ADD_FAILURE() << "no save dialog";
        return false;
    }
    Click(p, CenterOf(ChildrenOfClass(dialog, "Edit").front()));
    Key(p, 'A', Ctrl);
    Type(p, fileName);
    Key(p, VK_RETURN);
    return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
}

// Hides the program to the notification area with the hot key, then
// opens its icon's menu there and takes the menu's last item (Exit and
// save) by its keys. The keys wait until the menu has the keyboard (its
// thread holds the mouse and a window of the program the front), and
// Return until End has selected the item.
inline void ExitFromTheTray(TProgram& p, HWND main) {
    TComScope com;
    Key(p, 'O', Ctrl | Shift);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    Click(p, TrayIconPoint(), true);
    ASSERT_TRUE(MenusShown(p, 1)) << DescribeTray();
    const HWND menu = PopupMenus(p).front();
    const auto menuHasTheKeys = [&] {
        DWORD pid = 0;
        GetWindowThreadProcessId(GetForegroundWindow(), &pid);
        return p.ThreadInfo().hwndCapture != nullptr && pid == p.ProcessId();
    };
    ASSERT_TRUE(WaitUntil(menuHasTheKeys)) << DescribeTray();
    Key(p, VK_END);
    ASSERT_TRUE(WaitUntil([&] { return SelectedItemOf(menu).rfind("Exit and save", 0) == 0; }))
        << "selected: \"" << SelectedItemOf(menu) << "\"; " << DescribeTray();
    Key(p, VK_RETURN);
}

// What the question before a file is replaced says.
inline const char* const ReplaceQuestion = "already exists";

} // namespace qelvo::e2e
