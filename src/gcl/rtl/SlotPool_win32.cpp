// Slot-pool regions on Windows: whole allocation units of the system,
// which are aligned to their 64 KB size.
#include "gcl/rtl/SlotPool.h"
#include "gcl/rtl/WinApi.h"

namespace gcl {

static_assert(TSlotPool::BlockSize == 64 * 1024, "the system's allocation granularity");

void* AllocateSlotRegion() noexcept {
    // Pages of a region count only once they are touched.
    return VirtualAlloc(nullptr, SlotRegionBlocks * TSlotPool::BlockSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FreeSlotRegion(void* Region) noexcept { VirtualFree(Region, 0, MEM_RELEASE); }

} // namespace gcl
