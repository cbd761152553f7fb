#include "gcl/rtl/Exceptions.h"

#include "gcl/rtl/Files.h"
#include "gcl/rtl/Strings.h"

namespace gcl {

void RaiseLastOSError() { RaiseLastOSError(detail::LastSystemError()); }

void RaiseLastOSError(unsigned long code) {
    std::string text = code == 0 ? std::string() : SysErrorMessage(code);
    if (text.empty()) text = Format(msg::SystemErrorCode, {static_cast<int64_t>(code)});
    throw EOSError(text, code);
}

int Win32Check(int value) {
    if (value == 0) RaiseLastOSError(detail::LastSystemError());
    return value;
}

void Abort() { throw EAbort("Operation aborted"); }

void Assert(bool condition, const char* message, const char* unit) {
    if (!condition) throw EAssertionFailed(message ? message : "Assertion failed", unit ? unit : "");
}

} // namespace gcl
