#include "gcl/rtl/Exceptions.h"

namespace gcl {

void Abort() { throw EAbort("Operation aborted"); }

void Assert(bool condition, const char* message, const char* unit) {
    if (!condition) throw EAssertionFailed(message ? message : "Assertion failed", unit ? unit : "");
}

} // namespace gcl
