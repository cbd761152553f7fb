// The Nexos4 theme: its unit values and colour cache; it paints as the
// Nexos family does.
#include "themes/TxNexos4Theme.h"

#include "theming/TxUtils.h"

namespace qelvo {

namespace {

TNexosUnitState Nexos4Unit{TThemeStock{true},
                           TNexosOptions{.BaseColor = 0xF6DAC9,
                                         .SecondColor = 0xC0C0C0,
                                         .MixedColor = MixColors(0xF6DAC9, 0xC0C0C0, 90)},
                           TNexosColors{}};

} // namespace

GCL_IMPLEMENT_CLASS(TTxNexos4Theme)

TTxNexos4Theme::TTxNexos4Theme(const std::string& name) : TTxNexos4Theme(name, Nexos4Unit) {}

TTxNexos4Theme::TTxNexos4Theme(const std::string& name, TNexosUnitState& unit)
    : TTxNexosFamilyTheme(name, unit, FCache4) {}

TTxNexos4Theme::TTxNexos4Theme(const std::string& name, TNexosUnitState& unit, TNexosColorCache& cache)
    : TTxNexosFamilyTheme(name, unit, cache) {}

void TTxNexos4Theme::SetupNexos4Cache(TColor bars) {
    const TColor base = Options().BaseColor;
    SetNexosUnitColors(FUnit->Colors, base);
    SetupNexosCache(*FCache, base, bars);
}

void TTxNexos4Theme::SetupColorCache() {
    SetupNexos4Cache(0xF4F4F4);
    AdjustCachedColors(*FCache);
}

} // namespace qelvo
