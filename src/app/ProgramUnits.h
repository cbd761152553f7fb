// The program's unit table: every unit qelvo.exe starts, in start-up order
// (the program and the window tests run the same table).
#pragma once

#include <vector>

#include "gcl/rtl/Init.h"

namespace qelvo {

// The class library first (graphics, then windows, then the application
// object), then the layers built on it, and last the common controls'
// initialisation. Finalisation runs in reverse.
const std::vector<gcl::TUnit*>& ProgramUnits();

} // namespace qelvo
