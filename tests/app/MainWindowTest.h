// The main window opened on a database of the test's own, and readers of
// what its task list, tree and note panel show.
#pragma once

#include <string>
#include <vector>

#include "AppWindowTest.h"
#include "app/Main.h"
#include "gcl/rtl/DateTime.h"

namespace qelvo::test {

class TMainWindowTest : public TAppWindowTest {
protected:
    // Today at 09:00 (a Wednesday) for every clock reading of the test.
    static constexpr double Today = 46092;  // 11 March 2026
    TMainWindowTest();

    // Writes the sample database as the default database of the program
    // folder (lists Home, Work and Errands; tags mail and bank;
    // five tasks), then opens the main window on it, shown.
    TMainForm* OpenMainForm();
    // Closes the window without saving anything.
    void CloseMainForm(TMainForm* form);
    void TearDown() override;
    std::string DatabaseFile() const;

    // What the list shows: group captions in order, column-0 captions in
    // list order, the item of a task title.
    static std::vector<std::string> GroupCaptions(TMainForm* form);
    static std::vector<std::string> Titles(TMainForm* form);
    static TGvItem* ItemOf(TMainForm* form, const std::string& title);
    static TuTask* TaskOf(const std::string& title);
    // Selects only the items of the given titles (the first one first).
    static void SelectTasks(TMainForm* form, const std::vector<std::string>& titles);
    // The tree's node texts, and selecting one node as a click would.
    static std::vector<std::string> TreeTexts(TMainForm* form);
    static void SelectTreeNode(TMainForm* form, const std::string& text);
    // Moves the clock every reading of the test sees.
    void SetNow(double now) { FClock.Set(now); }

private:
    std::unique_ptr<TuData> FOwnDatabase;
    gcl::FixedClock FClock;
    gcl::ServiceOverride<gcl::IClock> FUseClock;
};

} // namespace qelvo::test
