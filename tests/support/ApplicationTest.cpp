#include "support/ApplicationTest.h"

#include "gcl/rtl/WinApi.h"

#include "gcl/Forms.h"

namespace qelvo::test {

bool PumpApplication(unsigned milliseconds, const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    for (;;) {
        gcl::Application->ProcessMessages();
        if (done && done()) return true;
        if (GetTickCount() - start >= milliseconds) return !done;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

} // namespace qelvo::test
