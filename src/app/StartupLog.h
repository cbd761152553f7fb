// Timestamps of the program's start, to see where its time goes. With the
// environment variable QELVO_STARTUP_LOG naming a file, every mark appends
// a line to it: milliseconds since the process was created, since the
// previous mark, and what was just done; the first idle moment of the
// message loop (the window shown and painted) is the last mark. Without
// the variable a mark tests one flag and nothing is written.
#pragma once

namespace qelvo {

void StartupMark(const char* What) noexcept;

// Marks "idle" the first time the application's message loop has nothing
// left to do, then writes the log's last line (only while a log is kept).
void MarkStartupIdle();

} // namespace qelvo
