// A prepared database for scenarios that need tasks to look at: three
// lists, tags, the three priorities, due dates around today, done and open
// tasks, written as the program writes its file.
#pragma once

#include <string>

#include "e2e/E2eDriver.h"

namespace qelvo::e2e {

// One task of the sample: its title, list, tags, priority (0 low, 1 normal,
// 2 high), due date in days from today (NoDue for none) and done state.
struct TSampleTask {
    const char* Title;
    const char* List;
    const char* Tags;
    int Priority;
    int DueInDays;
    bool Done;
};
inline constexpr int NoDue = 9999;

// The tasks of the sample, in file order.
const TSampleTask* SampleTasks(int& count);
// Writes Data\ActualData.kpx with the sample into the program's folder.
void WriteSampleDatabase(const TProgram& p);
// Starts the program over the sample and waits for its main window.
HWND StartWithSample(TProgram& p);

} // namespace qelvo::e2e
