// Typed spin-edit values: any text in any mode either reads as a finite
// value whose own text reads back, or is refused; nothing overflows.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "toolbar/TxSpinValue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    qelvo::TTxSpinValue spin;
    spin.SetValueType(static_cast<qelvo::TSEValueType>(data[0] % 3));
    if (data[0] & 4) {
        spin.SetMinValue(-1000);
        spin.SetMaxValue(1000);
    }
    double v = 0;
    if (!spin.TextToValue(text, v)) return 0;
    if (!std::isfinite(v)) std::abort();
    std::string own = spin.GetValueText(v);
    double again = 0;
    if (!spin.TextToValue(own, again)) std::abort();
    if (spin.GetValueType() != qelvo::evtFloat && again != std::nearbyint(spin.ClipValue(v)) &&
        std::fabs(v) < 9e15)
        std::abort();
    spin.SetValue(v);
    spin.StepUp();
    spin.StepDown();
    (void)spin.GetIntValue();
    return 0;
}
