// Shared pieces of the program's window tests: the units the forms need,
// a program folder of the test's own, scripted dialogs and an in-memory
// registry for every test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/logic/AppLogicTest.h"
#include "app/logic/HtmlReport.h"
#include "gcl/Dialogs.h"
#include "gcl/Forms.h"
#include "listview/GvListview.h"
#include "gcl/rtl/Registry.h"
#include "gcl/rtl/SysInfo.h"

namespace qelvo::test {

// Starts the program's units once.
void StartAppUnits();

// Records the shell's open requests instead of opening anything.
class TRecordingShell : public gcl::IShell {
public:
    struct TRequest {
        std::string Target;
        std::string Params;
    };
    bool Open(const std::string& target, const std::string& params = "") override {
        Requests.push_back({target, params});
        return true;
    }
    std::vector<TRequest> Requests;
};

// Copies the shipped print template into the program folder's
// "Print Templates"; returns its path there.
std::string InstallPrintTemplate();

// A small task list as the report reads it: three tasks in two groups
// (low with a note, high and done, normal with tags), none selected.
TReportList SampleReportList();
// The column record of a header 570 pixels wide: title 320, tags 150,
// due 100.
TCols SampleCols();

// A left click at (2, 2) of the control, through its mouse messages.
void ClickControl(gcl::TControl* control);

// Holds Ctrl and Shift down (or up) in the thread's keyboard state, which
// key handlers read, for its lifetime.
class THeldKeys {
public:
    THeldKeys(bool ctrl, bool shift);
    ~THeldKeys();
    THeldKeys(const THeldKeys&) = delete;
    THeldKeys& operator=(const THeldKeys&) = delete;

private:
    unsigned char FSaved[256];
};
// A key posted to a window with Ctrl (and Shift) held and handled by the
// application's loop, where the form finds its actions' shortcuts.
void PressShortcut(HWND window, uint16_t key, bool ctrl, bool shift = false);

// Ends a modal loop that is still running after its bound (mrAbort), so
// no test hangs on a dialog that did not close.
class TModalWatchdog {
public:
    TModalWatchdog(gcl::TCustomForm* form, unsigned milliseconds = 5000);
    ~TModalWatchdog();
    TModalWatchdog(const TModalWatchdog&) = delete;
    TModalWatchdog& operator=(const TModalWatchdog&) = delete;

private:
    UINT_PTR FTimer;
};

// Closes the print window as soon as it shows (a thread timer), noting
// how many items of List were selected then.
class TPrintWindowCloser {
public:
    explicit TPrintWindowCloser(TCustomGvListview* list);
    ~TPrintWindowCloser();
    TPrintWindowCloser(const TPrintWindowCloser&) = delete;
    TPrintWindowCloser& operator=(const TPrintWindowCloser&) = delete;
    // -1 while the window has not been seen.
    int SelectedWhileOpen() const;

private:
    UINT_PTR FTimer;
};

class TAppWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartAppUnits(); }
    void SetUp() override { Dialogs.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; }; }
    void TearDown() override { EXPECT_TRUE(Dialogs.Done()) << Dialogs.Pending() << " dialogs not shown"; }

    TProgramFolder App;
    gcl::TMemRegistryStore Registry;
    gcl::ServiceOverride<gcl::IRegistryStore> UseRegistry{gcl::RegistryStore, Registry};
    gcl::TScriptedDialogs Dialogs;
    gcl::ServiceOverride<gcl::IDialogService> UseDialogs{gcl::DialogService(), Dialogs};
    TRecordingShell Shell;
    gcl::ServiceOverride<gcl::IShell> UseShell{gcl::Shell, Shell};
};

} // namespace qelvo::test
