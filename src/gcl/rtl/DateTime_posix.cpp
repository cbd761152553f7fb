// Native clock and format settings: the local time from the C library and
// the fixed English settings.
#include "gcl/rtl/DateTime.h"

#include <ctime>

namespace gcl::detail {

double SystemNow() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    double date = 0, time = 0;
    TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date);
    // A leap second (tm_sec 60) counts as the last second of the minute.
    TryEncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                  static_cast<int>(ts.tv_nsec / 1000000), time);
    return date + time;
}

TFormatSettings LoadLocaleFormatSettings() { return DefaultFormatSettings(); }

} // namespace gcl::detail
