// Slot-pool blocks on Windows: whole allocation units of the system (64 KB,
// aligned to their size), reserved sixteen at a time, so that freeing a
// few hundred blocks together (a database freed) gives a few regions back
// to the system instead of making a system call per block.
#include <cstdint>
#include <map>

#include "gcl/rtl/SlotPool.h"
#include "gcl/rtl/WinApi.h"

namespace gcl {

static_assert(TSlotPool::BlockSize == 64 * 1024, "the system's allocation granularity");

namespace {

constexpr std::size_t RegionBlocks = 16;
constexpr std::size_t RegionSize = RegionBlocks * TSlotPool::BlockSize;
constexpr std::uint32_t AllBlocks = (std::uint32_t(1) << RegionBlocks) - 1;

// The regions held, each with a bit per block handed out; a region goes
// back to the system when its last block does.
class TRegions {
public:
    void* Take() noexcept {
        AcquireSRWLockExclusive(&FLock);
        void* block = nullptr;
        auto it = FRegions.find(FHint);
        if (it == FRegions.end() || it->second == AllBlocks)
            for (it = FRegions.begin(); it != FRegions.end() && it->second == AllBlocks; ++it) {
            }
        if (it == FRegions.end()) it = NewRegion();
        if (it != FRegions.end()) {
            const unsigned i = static_cast<unsigned>(__builtin_ctz(~it->second));
            it->second |= std::uint32_t(1) << i;
            FHint = it->first;
            block = reinterpret_cast<void*>(it->first + i * TSlotPool::BlockSize);
        }
        ReleaseSRWLockExclusive(&FLock);
        return block;
    }

    void Give(void* Block) noexcept {
        const auto address = reinterpret_cast<std::uintptr_t>(Block);
        AcquireSRWLockExclusive(&FLock);
        auto it = FRegions.upper_bound(address);
        if (it != FRegions.begin()) {
            --it;
            if (address - it->first < RegionSize) {
                it->second &= ~(std::uint32_t(1) << ((address - it->first) / TSlotPool::BlockSize));
                if (it->second == 0) {
                    VirtualFree(reinterpret_cast<void*>(it->first), 0, MEM_RELEASE);
                    FRegions.erase(it);
                }
            }
        }
        ReleaseSRWLockExclusive(&FLock);
    }

private:
    // Pages of a region count only once they are touched.
    std::map<std::uintptr_t, std::uint32_t>::iterator NewRegion() noexcept {
        void* memory = VirtualAlloc(nullptr, RegionSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (!memory) return FRegions.end();
        try {
            return FRegions.emplace(reinterpret_cast<std::uintptr_t>(memory), 0).first;
        } catch (...) {
            VirtualFree(memory, 0, MEM_RELEASE);
            return FRegions.end();
        }
    }

    SRWLOCK FLock = SRWLOCK_INIT;
    std::map<std::uintptr_t, std::uint32_t> FRegions;  // base -> blocks handed out
    std::uintptr_t FHint = 0;                         // the region a block came from last
};

// Never destroyed: blocks may be given back as late as the end of the
// process.
TRegions& Regions() {
    static TRegions* const regions = new TRegions;
    return *regions;
}

} // namespace

void* AllocateSlotBlock() noexcept { return Regions().Take(); }

void FreeSlotBlock(void* Block) noexcept { Regions().Give(Block); }

} // namespace gcl
