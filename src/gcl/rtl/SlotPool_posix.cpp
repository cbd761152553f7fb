// Slot-pool blocks natively: aligned heap blocks.
#include <cstdlib>

#include "gcl/rtl/SlotPool.h"

namespace gcl {

void* AllocateSlotBlock() noexcept { return std::aligned_alloc(TSlotPool::BlockSize, TSlotPool::BlockSize); }

void FreeSlotBlock(void* Block) noexcept { std::free(Block); }

} // namespace gcl
