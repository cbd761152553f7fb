// "Nexos4": very light grey striped toolbars, white popups, pale blue
// glass faces for hot and pushed items with cut-corner outlines, a
// reddish outline round a hot menu item's check area, dotted separators
// and dimple grips: the Nexos family's common look.
#pragma once

#include "themes/NexosFamily.h"

namespace qelvo {

class TTxNexos4Theme : public TTxNexosFamilyTheme {
    GCL_CLASS(TTxNexos4Theme, TTxNexosFamilyTheme)
public:
    void SetupColorCache() override;

protected:
    explicit TTxNexos4Theme(const std::string& name);
    // A sibling with its own unit, on this theme's cache or on its own.
    TTxNexos4Theme(const std::string& name, TNexosUnitState& unit);
    TTxNexos4Theme(const std::string& name, TNexosUnitState& unit, TNexosColorCache& cache);

    // The unit colours and the family's cache over the given bars.

    TNexosColorCache FCache4;
};

} // namespace qelvo
