// Native builds have no system colours: the Windows default colours stand
// in, so the colour routines give the same answers as on a fresh desktop.
#include "theming/TxUtilsCore.h"

namespace qelvo {

TColor ResolveColor(TColor color) {
    static constexpr TColor Defaults[31] = {
        0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
        0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
        0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
        0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x6A240A, 0xC8D0D4};
    if ((static_cast<uint32_t>(color) & 0xFF000000u) != 0xFF000000u) return color;
    const uint32_t index = static_cast<uint32_t>(color) & 0xFF;
    return index < 31 ? Defaults[index] : 0;
}

} // namespace qelvo
