// The units of the program's window tests, started once per test program.
#include "AppWindowTest.h"

#include <algorithm>

#include "support/ApplicationTest.h"

#include "app/ProgramUnits.h"
#include "app/logic/AppMessages.h"
#include "app/logic/LayoutSettings.h"
#include "app/logic/TextExport.h"
#include "gcl/rtl/Files.h"
#include "gcl/Controls.h"
#include "gcl/rtl/Init.h"

namespace qelvo::test {

std::string InstallPrintTemplate() {
    const std::string folder = AppDir() + "Print Templates";
    gcl::ForceDirectories(folder);
    const std::string shipped = TestDataDir() + ".." + gcl::PathDelim + ".." + gcl::PathDelim + "src" +
                                gcl::PathDelim + "app" + gcl::PathDelim + "print" + gcl::PathDelim + "Default.rkm";
    const std::string text = gcl::ReadFileBytes(shipped);
    const std::string path = PrintTemplateFileName();
    EXPECT_TRUE(gcl::WriteFileAtomic(path, text.data(), text.size()));
    return path;
}

TReportList SampleReportList() {
    TReportList list;
    list.Grouped = true;
    auto add = [&](const char* title, const char* tags, const char* due, int priority, bool done, const char* notes,
                   int group, const char* groupCaption) {
        TReportItem item;
        item.Captions = {title, tags, due, ""};
        item.Priority = priority;
        item.Checked = done;
        item.Notes = notes;
        item.GroupIndex = group;
        item.GroupCaption = groupCaption;
        list.Items.push_back(item);
    };
    add("Water the plants", "", "Today", 0, false, "Twice a week\r\nthe ferns  first", 0, "Home");
    add("Pay <rent> & bills", "bills", "Tomorrow", 2, true, "", 0, "Home");
    add("Send the report", "work, mail", "", 1, false, "", 1, "Work");
    return list;
}

TCols SampleCols() {
    return BuildColumnRecord({{320, true, "Title"}, {150, true, "Tags"}, {100, true, "Due"}}, 570);
}

void StartAppUnits() {
    static bool started = false;
    if (started) return;
    started = true;
    // The program's own table, so the windows meet what they meet in qelvo.exe.
    gcl::InitializeUnits(ProgramUnits());
}

void ClickControl(gcl::TControl* control) {
    control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    control->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

THeldKeys::THeldKeys(bool ctrl, bool shift) {
    GetKeyboardState(FSaved);
    BYTE state[256];
    std::copy(FSaved, FSaved + 256, state);
    state[VK_CONTROL] = state[VK_LCONTROL] = ctrl ? 0x80 : 0;
    state[VK_SHIFT] = state[VK_LSHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
}

THeldKeys::~THeldKeys() { SetKeyboardState(FSaved); }

void PressShortcut(HWND window, uint16_t key, bool ctrl, bool shift) {
    THeldKeys held(ctrl, shift);
    PostMessageA(window, WM_KEYDOWN, key, 0x00000001);
    PostMessageA(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
    PumpApplication(60);
}

namespace {
gcl::TCustomForm* WatchedForm = nullptr;
void CALLBACK ModalTimeout(HWND, UINT, UINT_PTR, DWORD) {
    GCL_GUARD(nullptr, {
        if (WatchedForm) WatchedForm->SetModalResult(gcl::mrAbort);
    });
}
} // namespace

TModalWatchdog::TModalWatchdog(gcl::TCustomForm* form, unsigned milliseconds)
    : FTimer(SetTimer(nullptr, 0, milliseconds, &ModalTimeout)) {
    WatchedForm = form;
}

TModalWatchdog::~TModalWatchdog() {
    KillTimer(nullptr, FTimer);
    WatchedForm = nullptr;
}

namespace {
TCustomGvListview* CloserList = nullptr;
int CloserSelected = -1;
void CALLBACK CloserTick(HWND, UINT, UINT_PTR timer, DWORD) {
    GCL_GUARD(nullptr, {
        HWND window = FindWindowA(nullptr, msg::PrintWindowCaption);
        if (!window || !IsWindowVisible(window)) return;
        KillTimer(nullptr, timer);
        CloserSelected = CloserList ? CloserList->GetSelection()->GetCount() : 0;
        PostMessageA(window, WM_CLOSE, 0, 0);
    });
}
} // namespace

TPrintWindowCloser::TPrintWindowCloser(TCustomGvListview* list) : FTimer(SetTimer(nullptr, 0, 50, &CloserTick)) {
    CloserList = list;
    CloserSelected = -1;
}

TPrintWindowCloser::~TPrintWindowCloser() {
    KillTimer(nullptr, FTimer);
    CloserList = nullptr;
}

int TPrintWindowCloser::SelectedWhileOpen() const {
    return CloserSelected;
}

} // namespace qelvo::test
