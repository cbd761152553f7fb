// The Nexos4 theme: its unit values and colour cache; it paints as the
// Nexos family does.
#include "themes/TxNexos4Theme.h"

#include "theming/TxUtils.h"

namespace qelvo {

namespace {

TNexosUnitState Nexos4Unit{TThemeStock{true},
                           Nexos4InitialOptions(),
                           TNexosColors{}};

} // namespace

GCL_IMPLEMENT_CLASS(TTxNexos4Theme)

TTxNexos4Theme::TTxNexos4Theme(const std::string& name) : TTxNexos4Theme(name, Nexos4Unit) {}

TTxNexos4Theme::TTxNexos4Theme(const std::string& name, TNexosUnitState& unit)
    : TTxNexosFamilyTheme(name, unit, FCache4) {}

TTxNexos4Theme::TTxNexos4Theme(const std::string& name, TNexosUnitState& unit, TNexosColorCache& cache)
    : TTxNexosFamilyTheme(name, unit, cache) {}

void TTxNexos4Theme::SetupColorCache() {
    CurrentCacheFormulas().Nexos4(*FCache, FUnit->Colors, FUnit->Options);
}

} // namespace qelvo
