// Slot-pool blocks on Windows: whole allocation units of the system, which
// are aligned to their 64 KB size.
#include "gcl/rtl/SlotPool.h"
#include "gcl/rtl/WinApi.h"

namespace gcl {

static_assert(TSlotPool::BlockSize == 64 * 1024, "the system's allocation granularity");

void* AllocateSlotBlock() noexcept {
    return VirtualAlloc(nullptr, TSlotPool::BlockSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FreeSlotBlock(void* Block) noexcept { VirtualFree(Block, 0, MEM_RELEASE); }

} // namespace gcl
