// The program's surroundings in end-to-end scenarios: an environment variable a
// started program inherits, and a day that ends a few seconds after the
// programs started under it.
#pragma once

#include <string>

#include "e2e/E2eDriver.h"

namespace qelvo::e2e {

// Sets an environment variable that the next started program inherits,
// and takes it away again.
class TEnvironmentScope {
public:
    TEnvironmentScope(const char* name, const std::string& value) : FName(name) {
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~TEnvironmentScope() { SetEnvironmentVariableA(FName, nullptr); }
    TEnvironmentScope(const TEnvironmentScope&) = delete;
    TEnvironmentScope& operator=(const TEnvironmentScope&) = delete;

private:
    const char* FName;
};

// A clock shift (QELVO_CLOCK_SHIFT) under which a program starts at
// second Second of a minute: its auto-save, due every minute, comes
// 60 - Second seconds later.
inline std::string ShiftToSecond(int second) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    int shift = second - now.wSecond;
    if (shift < 0) shift += 60;
    return std::to_string(shift);
}

// The programs started while it lives see their midnight Lead seconds
// from its making: their clock runs behind the system's by the time since
// the system's last midnight. Midnight is the tick count of that moment.
class TDayEndingSoon {
public:
    explicit TDayEndingSoon(long long lead) : TDayEndingSoon(lead, LocalNow()) {}
    ULONGLONG Midnight() const { return FMidnight; }

private:
    static SYSTEMTIME LocalNow() {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        return now;
    }
    TDayEndingSoon(long long lead, const SYSTEMTIME& now)
        : FMidnight(GetTickCount64() + ULONGLONG(lead * 1000 - now.wMilliseconds)),
          FShift("QELVO_CLOCK_SHIFT",
                 std::to_string(-(now.wHour * 3600LL + now.wMinute * 60LL + now.wSecond) - lead)) {}

    ULONGLONG FMidnight;
    TEnvironmentScope FShift;
};

} // namespace qelvo::e2e
