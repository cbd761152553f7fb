// Helpers for tests of the class library's windows (win32 build).
#pragma once

#include <functional>

namespace qelvo::test {

// Handles pending messages through the application's loop (with its key
// pre-processing and idle work) until `done` returns true or `milliseconds`
// have passed. Returns whether `done` became true (true when no predicate
// is given and the time ran out).
bool PumpApplication(unsigned milliseconds, const std::function<bool()>& done = {});

} // namespace qelvo::test
