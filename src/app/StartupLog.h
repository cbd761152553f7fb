// Timestamps of the program's start, to see where its time goes. With the
// environment variable QELVO_STARTUP_LOG naming a file, every mark appends
// a line to it: milliseconds since the process was created, since the
// previous mark, and what was just done; the first idle moment of the
// message loop (the window shown and painted) is the last mark. Without
// the variable a mark tests one flag and nothing is written.
#pragma once

#include <vector>

#include "gcl/rtl/Init.h"

namespace qelvo {

void StartupMark(const char* What) noexcept;

// Initialises a unit table for its lifetime, like gcl::TUnitScope, with a
// mark after each unit.
class TStartupUnits {
public:
    explicit TStartupUnits(const std::vector<gcl::TUnit*>& Units);
    ~TStartupUnits();
    TStartupUnits(const TStartupUnits&) = delete;
    TStartupUnits& operator=(const TStartupUnits&) = delete;

private:
    std::vector<gcl::TUnit*> FDone;
};

// Marks "idle" the first time the application's message loop has nothing
// left to do, then writes the log's last line (only while a log is kept).
void MarkStartupIdle();

} // namespace qelvo
