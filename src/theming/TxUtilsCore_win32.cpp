// On Windows system colours resolve through the class library, whose
// system-colour service tests may replace.
#include "theming/TxUtilsCore.h"

#include "gcl/Graphics.h"

namespace qelvo {

TColor ResolveColor(TColor color) { return gcl::ColorToRGB(color); }

} // namespace qelvo
