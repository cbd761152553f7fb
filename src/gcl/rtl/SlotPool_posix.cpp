// Slot-pool regions natively: aligned heap blocks.
#include <cstdlib>

#include "gcl/rtl/SlotPool.h"

namespace gcl {

void* AllocateSlotRegion() noexcept {
    return std::aligned_alloc(TSlotPool::BlockSize, SlotRegionBlocks * TSlotPool::BlockSize);
}

void FreeSlotRegion(void* Region) noexcept { std::free(Region); }

} // namespace gcl
